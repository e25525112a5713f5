// menushot: renders toolbars and open menus offscreen as PNG files, for a person to look at.
//   menushot --out DIR
// Writes toolbar.png, toolbar-wrapped.png, toolbar-vertical.png, menu.png, menu-left.png,
// menu-scroll.png, images.png and slide-128.png (a menu sliding in, half way). Popup chains are
// composed at their places on a fake 640 x 480 screen; the pictures come from the program's one
// toolbar strip.
#include "platform/CanvasText.h"
#include "platform/QtCanvas.h"
#include "platform/SystemColors.h"
#include "platform/SystemParams.h"
#include "platform/core/CodePage.h"
#include "toolbar/TBarAnimation.h"
#include "toolbar/TBarPopupWindow.h"
#include "toolbar/TBarView.h"
#include "toolbar/ToolbarImages.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace velmoran;

namespace {

const QRect kScreen(0, 0, 640, 480);

// A toolbar window for the pictures: a view that sizes the widget.
class ToolbarHost : public QWidget, public TBarViewHost {
public:
    explicit ToolbarHost(TBarCustomItem& root)
    {
        view_ = std::make_unique<ToolbarView>(*this, root);
    }
    TBarView& View() { return *view_; }
    QWidget& HostWidget() override { return *this; }
    ColorRef HostColor() const override { return SystemColor(COLOR_BTNFACE); }
    LogicalFont HostFont() const override { return *TBarMenuFont(); }

private:
    class ToolbarView : public TBarView {
    public:
        ToolbarView(ToolbarHost& host, TBarCustomItem& root) : TBarView(&host, nullptr, &root, true, false, false), host_(host) {}
        void AutoSize(int width, int height) override { host_.resize(width, height); }

    private:
        ToolbarHost& host_;
    };
    std::unique_ptr<TBarView> view_;
};

template <typename T>
T* Add(TBarCustomItem& parent, const std::string& caption, int image = -1)
{
    auto* item = new T(&parent);
    item->SetCaption(caption);
    item->SetImageIndex(image);
    parent.Add(item);
    return item;
}

void AddSeparator(TBarCustomItem& parent)
{
    parent.Add(new TBarSeparatorItem(&parent));
}

int Index(ToolbarImage image)
{
    return ImageIndexOf(image);
}

// The toolbar of the pictures: one button in every state.
struct ToolbarTree {
    TBarRootItem root;
    TBarItem* hot = nullptr;
    TBarItem* pushed = nullptr;
    TBarSubmenuItem* split = nullptr;

    ToolbarTree()
    {
        root.SetSubMenuImages(&ToolbarImages());
        Add<TBarItem>(root, "&Neu", Index(ToolbarImage::New));
        hot = Add<TBarItem>(root, "Ö&ffnen", Index(ToolbarImage::Open));
        pushed = Add<TBarItem>(root, "&Speichern", Index(ToolbarImage::Save));
        AddSeparator(root);
        Add<TBarItem>(root, "&Kopieren", Index(ToolbarImage::Copy))->SetChecked(true);
        Add<TBarItem>(root, "&Drucken", Index(ToolbarImage::Print))->SetEnabled(false);
        AddSeparator(root);
        split = Add<TBarSubmenuItem>(root, "Seiten&ansicht", Index(ToolbarImage::PrintPreview));
        split->SetDropdownCombo(true);
        Add<TBarItem>(*split, "&Bildschirm");
        auto* arrow = Add<TBarSubmenuItem>(root, "&Parameter", Index(ToolbarImage::Parameters));
        arrow->SetOptions(tboDropdownArrow);
        Add<TBarItem>(*arrow, "&Modell");
        AddSeparator(root);
        auto* both = Add<TBarItem>(root, "&Eingabe", Index(ToolbarImage::InputDialog));
        both->SetDisplayMode(TBarItemDisplayMode::nbdmImageAndText);
        Add<TBarItem>(root, "&Hilfe");
    }
};

void FillBackground(QImage& image, ColorRef color)
{
    image.fill(ToQColor(color));
}

bool Save(const QImage& image, const QString& dir, const char* name)
{
    const QString path = dir + "/" + name;
    if (!image.save(path)) {
        std::fprintf(stderr, "menushot: %s kann nicht geschrieben werden\n", path.toLocal8Bit().constData());
        return false;
    }
    std::printf("%s\n", path.toLocal8Bit().constData());
    return true;
}

// The toolbar painted on button face, its hot and pushed buttons painted in their state.
QImage RenderToolbar(ToolbarTree& tree, TBarViewOrientation orientation, int wrapOffset)
{
    ToolbarHost host(tree.root);
    TBarView& view = host.View();
    view.SetOrientation(orientation);
    view.SetWrapOffset(wrapOffset);
    view.UpdatePositions();
    QImage image(host.size(), QImage::Format_RGB32);
    FillBackground(image, SystemColor(COLOR_BTNFACE));
    QPainter painter(&image);
    QtCanvas canvas(&painter);
    view.PaintViewers(canvas, TRect{0, 0, host.width(), host.height()});
    view.SetSelected(view.FindViewer(tree.hot));
    view.DrawItem(canvas, *view.Selected());
    view.SetSelected(view.FindViewer(tree.pushed));
    view.SetCaptured(true);
    view.SetMouseOverSelected(true);
    view.DrawItem(canvas, *view.Selected());
    view.SetSelected(view.FindViewer(tree.split));
    view.SetCaptured(true);
    view.SetMouseOverSelected(false);
    view.DrawItem(canvas, *view.Selected());
    view.SetSelected(nullptr);
    painter.end();
    // A margin of button face inside a dark line, so that the buttons' edges show.
    QImage framed(image.width() + 10, image.height() + 10, QImage::Format_RGB32);
    framed.fill(QColor(0x80, 0x80, 0x80));
    QPainter framer(&framed);
    framer.fillRect(1, 1, framed.width() - 2, framed.height() - 2, ToQColor(SystemColor(COLOR_BTNFACE)));
    framer.drawImage(5, 5, image);
    return framed;
}

// The menu of the pictures: images, shortcuts, a tick, a radio dot, a disabled line, separators and
// a submenu in the second place.
struct MenuTree {
    TBarRootItem root;
    TBarSubmenuItem* menu = nullptr;
    TBarSubmenuItem* submenu = nullptr;

    explicit MenuTree(int extraLines = 0)
    {
        menu = Add<TBarSubmenuItem>(root, "&Datei");
        menu->SetSubMenuImages(&ToolbarImages());
        Add<TBarItem>(*menu, "&Neu", Index(ToolbarImage::New))->SetShortCut(scCtrl | 'N');
        submenu = Add<TBarSubmenuItem>(*menu, "&Vorlage");
        auto* screen = Add<TBarItem>(*submenu, "&Bildschirmvorlage", Index(ToolbarImage::ScreenTemplate));
        Add<TBarItem>(*submenu, "&Druckvorlage", Index(ToolbarImage::PrintTemplate));
        AddSeparator(*submenu);
        auto* standard = Add<TBarItem>(*submenu, "&Standard");
        standard->SetRadioItem(true);
        standard->SetGroupIndex(1);
        standard->SetChecked(true);
        auto* own = Add<TBarItem>(*submenu, "&Eigene");
        own->SetRadioItem(true);
        own->SetGroupIndex(1);
        (void)screen;
        Add<TBarItem>(*menu, "Ö&ffnen...", Index(ToolbarImage::Open))->SetShortCut(scCtrl | 'O');
        Add<TBarItem>(*menu, "&Speichern", Index(ToolbarImage::Save))->SetShortCut(scCtrl | 'S');
        AddSeparator(*menu);
        Add<TBarItem>(*menu, "S&ymbolleiste")->SetChecked(true);
        Add<TBarItem>(*menu, "&Drucken...", Index(ToolbarImage::Print))->SetShortCut(scCtrl | 'P');
        Add<TBarItem>(*menu, "Seiten&ansicht", Index(ToolbarImage::PrintPreview))->SetEnabled(false);
        for (int i = 1; i <= extraLines; ++i)
            Add<TBarItem>(*menu, "Zeile " + std::to_string(i));
        AddSeparator(*menu);
        Add<TBarItem>(*menu, "&Beenden")->SetShortCut(scAlt | 0x73);
    }
};

// The popup windows of a chain painted at their places on the fake screen.
QImage Compose(const std::vector<TBarPopupWindow*>& windows)
{
    QImage screen(kScreen.size(), QImage::Format_RGB32);
    screen.fill(QColor(0x3A, 0x6E, 0xA5));
    QPainter painter(&screen);
    QRect used;
    for (TBarPopupWindow* window : windows) {
        painter.save();
        painter.translate(window->pos());
        {
            QtCanvas canvas(&painter);
            window->PaintTo(canvas, TRect{0, 0, window->width(), window->height()});
        }
        painter.restore();
        used = used.united(window->geometry());
    }
    painter.end();
    return screen.copy(used.adjusted(-12, -12, 12, 12).intersected(kScreen));
}

QImage RenderMenu(QPoint at)
{
    MenuTree tree;
    TBarPopupRequest request;
    request.PopupPoint = at;
    std::unique_ptr<TBarPopupWindow> root;
    TBarPopupWindow* menu = CreatePopup(*tree.menu, request, &root);
    TBarView& view = menu->View();
    view.SetKeyboardCuesShown(true);
    TBarItemViewer* second = view.FindViewer(tree.submenu);
    view.SetSelected(second);
    TBarPopupRequest child;
    child.ParentView = &view;
    child.ParentViewer = second;
    child.PositionAsSubmenu = true;
    TBarPopupWindow* sub = CreatePopup(*tree.submenu, child);
    return Compose({menu, sub});
}

// A menu sliding down, at step 128 of 255: the window shows its lower half at the top.
QImage RenderSlide()
{
    MenuTree tree;
    TBarPopupRequest request;
    request.PopupPoint = QPoint(40, 40);
    std::unique_ptr<TBarPopupWindow> root;
    TBarPopupWindow* menu = CreatePopup(*tree.menu, request, &root);
    QImage capture(menu->size(), QImage::Format_RGB32);
    {
        QPainter painter(&capture);
        QtCanvas canvas(&painter);
        menu->PaintTo(canvas, TRect{0, 0, menu->width(), menu->height()});
    }
    const QPoint offset = SlideOffset(menu->size(), 4, 128);
    QImage image(menu->width() + 24, menu->height() + 24, QImage::Format_RGB32);
    image.fill(QColor(0x3A, 0x6E, 0xA5));
    QPainter painter(&image);
    painter.translate(12, 12);
    // The window's mask: its rectangle moved by the offset, inside the window.
    painter.setClipRect(QRect(QPoint(0, 0), menu->size()).intersected(QRect(offset, menu->size())));
    painter.drawImage(offset, capture);
    return image;
}

QImage RenderScrollingMenu()
{
    MenuTree tree(30);
    TBarPopupRequest request;
    request.PopupPoint = QPoint(40, 60);
    std::unique_ptr<TBarPopupWindow> root;
    TBarPopupWindow* menu = CreatePopup(*tree.menu, request, &root);
    for (int i = 0; i < 4; ++i)
        menu->View().ScrollStep(true);
    return Compose({menu});
}

QImage RenderImages()
{
    const int count = static_cast<int>(ToolbarImage::Count);
    const int rowHeight = 24;
    QImage image(260, count * rowHeight + 8, QImage::Format_RGB32);
    FillBackground(image, SystemColor(COLOR_BTNFACE));
    QPainter painter(&image);
    QtCanvas canvas(&painter);
    const LogicalFont font = *TBarMenuFont();
    canvas.SetFont(font);
    canvas.SetBkMode(BkMode::Transparent);
    for (int i = 0; i < count; ++i) {
        const int y = 4 + i * rowHeight;
        ToolbarImages().Draw(canvas, 8, y + 4, i, true);
        ToolbarImages().Draw(canvas, 32, y + 4, i, false);
        TRect text{60, y, 256, y + rowHeight};
        const std::string name = std::to_string(i) + "  " + ToolbarImageName(static_cast<ToolbarImage>(i));
        DrawText(canvas, Utf8ToWide(name), text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    return image;
}

}  // namespace

int main(int argc, char** argv)
{
    QString out;
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--out" && i + 1 < argc)
            out = QString::fromLocal8Bit(argv[++i]);
    if (out.isEmpty()) {
        std::fprintf(stderr, "Aufruf: menushot --out ORDNER\n");
        return 2;
    }
    ChooseDisplayPlatform();
    QApplication app(argc, argv);
    InstallQtScreenFonts();
    QDir().mkpath(out);
    SystemParamsOverride().Monitors = std::vector<std::pair<QRect, QRect>>{{kScreen, kScreen}};
    SystemParamsOverride().KeyboardCues = true;
    TBarMenuFontUser menuFont;

    ToolbarTree toolbar;
    bool ok = Save(RenderToolbar(toolbar, TBarViewOrientation::voHorizontal, 0), out, "toolbar.png");
    ok = Save(RenderToolbar(toolbar, TBarViewOrientation::voHorizontal, 120), out, "toolbar-wrapped.png") && ok;
    ok = Save(RenderToolbar(toolbar, TBarViewOrientation::voVertical, 0), out, "toolbar-vertical.png") && ok;
    ok = Save(RenderMenu(QPoint(40, 40)), out, "menu.png") && ok;
    ok = Save(RenderMenu(QPoint(kScreen.right() - 200, 40)), out, "menu-left.png") && ok;
    ok = Save(RenderScrollingMenu(), out, "menu-scroll.png") && ok;
    ok = Save(RenderImages(), out, "images.png") && ok;
    ok = Save(RenderSlide(), out, "slide-128.png") && ok;
    return ok ? 0 : 1;
}
