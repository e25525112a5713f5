// toolbardemo: a window with a menu bar and four toolbars, worked by mouse and keyboard.
//   toolbardemo                 opens the window
//   toolbardemo --shot DIR      writes the window at 1000, 420 and 160 pixels wide, "Datei" opened
//                               by Alt+D, the "Vorlagen" submenu and a chevron popup
//   toolbardemo --keys "…"      feeds the keys (e.g. "Alt+D Down Return"), runs until the menu mode
//                               has ended and prints the caption of every item that ran
//   toolbardemo --a11y          prints the accessible tree of the menu bar and of the open "Datei"
//                               menu: role, name, state, keyboard shortcut, default action
// The items are sample data of this program, with the pictures of the shared toolbar strip.
#include "platform/Application.h"
#include "platform/Form.h"
#include "toolbar/TBarCommon.h"
#include "toolbar/TBarDock.h"
#include "toolbar/TBarModalHandler.h"
#include "toolbar/TBarMRUList.h"
#include "toolbar/TBarPopupWindow.h"
#include "toolbar/TBarToolbar.h"
#include "toolbar/ToolbarImages.h"

#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPainter>
#include <QPixmap>

#include <cstdio>
#include <string>
#include <vector>

using namespace velmoran;

namespace {

template <typename T>
T* Add(TBarCustomItem& parent, const std::string& caption, int image = -1, TShortCut shortCut = 0)
{
    auto* item = new T(&parent);
    item->SetCaption(caption);
    item->SetImageIndex(image);
    item->SetShortCut(shortCut);
    parent.Add(item);
    if (!std::is_same_v<T, TBarSubmenuItem>)
        item->OnClick = [](TBarCustomItem& sender) {
            std::printf("%s\n", StripAccelChars(sender.Caption()).c_str());
            std::fflush(stdout);
        };
    return item;
}

void Separator(TBarCustomItem& parent)
{
    parent.Add(new TBarSeparatorItem(&parent));
}

int Image(ToolbarImage image)
{
    return ImageIndexOf(image);
}

QComboBox* Combo(TBarCustomToolbar& bar, const QStringList& entries, int width)
{
    auto* combo = new QComboBox(&bar);
    combo->addItems(entries);
    combo->resize(width, 21);
    combo->setFocusPolicy(Qt::ClickFocus);
    return combo;
}

struct Demo {
    Form form;
    TBarMRUList recent;
    TBarCustomToolbar* menu = nullptr;
    TBarCustomToolbar* fileBar = nullptr;
    TBarSubmenuItem* file = nullptr;
    TBarSubmenuItem* templates = nullptr;
    std::vector<TBarToolbar*> toolbars;

    Demo()
    {
        form.setWindowTitle("toolbardemo");
        auto* top = new TBarDock(&form, TBarDockPosition::dpTop);
        auto* second = new TBarDock(&form, TBarDockPosition::dpTop);
        auto* work = new QWidget(&form);
        work->setAutoFillBackground(true);
        form.Layout().SetAlign(*work, TAlign::alClient);

        menu = new TBarToolbar(top);
        menu->setObjectName("Menü");
        menu->SetMenuBar(true);
        menu->SetDragHandleStyle(TBarDragHandleStyle::dhNone);
        BuildMenu(menu->Items());

        auto* fileToolbar = new TBarToolbar(second);
        fileBar = fileToolbar;
        fileBar->setObjectName("Datei");
        fileBar->SetImages(&ToolbarImages());
        TBarRootItem& f = fileBar->Items();
        Add<TBarItem>(f, "&Neu", Image(ToolbarImage::New), scCtrl | 'N')->SetHint("Neu|Legt eine neue Anlage an");
        Add<TBarItem>(f, "&Öffnen...", Image(ToolbarImage::Open))->SetHint("Öffnen|Öffnet eine Anlage");
        Add<TBarItem>(f, "&Speichern", Image(ToolbarImage::Save))->SetHint("Speichern|Speichert die Anlage");
        Separator(f);
        Add<TBarItem>(f, "Seiten&ansicht", Image(ToolbarImage::PrintPreview))->SetHint("Seitenansicht|");
        Add<TBarItem>(f, "&Drucken", Image(ToolbarImage::Print))->SetHint("Drucken|");
        Add<TBarItem>(f, "&Kopieren", Image(ToolbarImage::Copy))->SetHint("Kopieren|");
        fileBar->SetDockRow(0);

        auto* mode = new TBarToolbar(second);
        mode->setObjectName("Modus");
        mode->SetImages(&ToolbarImages());
        Add<TBarItem>(mode->Items(), "&Eingabe", Image(ToolbarImage::InputDialog))->SetHint("Eingabe|");
        Add<TBarItem>(mode->Items(), "&Parameter", Image(ToolbarImage::Parameters))->SetHint("Parameter|");
        Combo(*mode, {"Bemessung", "Nachweis"}, 110);
        mode->SetDockRow(0);
        mode->SetDockPos(300);

        auto* templateBar = new TBarToolbar(second);
        templateBar->setObjectName("Vorlagen");
        templateBar->SetImages(&ToolbarImages());
        Add<TBarItem>(templateBar->Items(), "&Bildschirm", Image(ToolbarImage::ScreenTemplate))->SetHint("Bildschirmvorlage|");
        Combo(*templateBar, {"Standard", "Kompakt"}, 100);
        Add<TBarItem>(templateBar->Items(), "D&ruck", Image(ToolbarImage::PrintTemplate))->SetHint("Druckvorlage|");
        Combo(*templateBar, {"Bericht", "Kurzbericht"}, 100);
        templateBar->SetDockRow(0);
        templateBar->SetDockPos(500);

        auto* help = new TBarToolbar(second);
        help->setObjectName("Hilfe");
        help->SetImages(&ToolbarImages());
        Add<TBarItem>(help->Items(), "&Inhalt", Image(ToolbarImage::HelpContents))->SetHint("Inhalt|");
        help->SetDockRow(0);
        help->SetDockPos(800);
        toolbars = {fileToolbar, mode, templateBar, help};
    }

    void BuildMenu(TBarCustomItem& root)
    {
        menu->SetImages(&ToolbarImages());
        file = Add<TBarSubmenuItem>(root, "&Datei");
        Add<TBarItem>(*file, "&Neu", Image(ToolbarImage::New), scCtrl | 'N');
        Add<TBarItem>(*file, "&Öffnen...", Image(ToolbarImage::Open), scCtrl | 'O');
        Add<TBarItem>(*file, "&Speichern", Image(ToolbarImage::Save), scCtrl | 'S');
        Separator(*file);
        templates = Add<TBarSubmenuItem>(*file, "&Vorlagen");
        Add<TBarItem>(*templates, "&Bildschirmvorlage...", Image(ToolbarImage::ScreenTemplate));
        Add<TBarItem>(*templates, "&Druckvorlage...", Image(ToolbarImage::PrintTemplate));
        Separator(*file);
        recent.Add("C:\\Anlagen\\Klaerwerk Nord.vlm");
        recent.Add("C:\\Anlagen\\Klaerwerk Sued.vlm");
        recent.Add("C:\\Anlagen\\Ausbau 2027.vlm");
        recent.OnClick = [](TBarMRUList&, const std::string& fileName) {
            std::printf("%s\n", fileName.c_str());
            std::fflush(stdout);
        };
        auto* list = new TBarMRUListItem(file);
        list->SetMRUList(&recent);
        file->Add(list);
        Separator(*file);
        Add<TBarItem>(*file, "&Beenden");
        TBarSubmenuItem* edit = Add<TBarSubmenuItem>(root, "B&earbeiten");
        Add<TBarItem>(*edit, "&Kopieren", Image(ToolbarImage::Copy), scCtrl | 'C');
        Add<TBarItem>(*edit, "&Eingabe...", Image(ToolbarImage::InputDialog));
        TBarSubmenuItem* view = Add<TBarSubmenuItem>(root, "&Ansicht");
        Add<TBarItem>(*view, "&Seitenansicht", Image(ToolbarImage::PrintPreview));
        Add<TBarItem>(*view, "S&ymbolleisten");
        TBarSubmenuItem* settings = Add<TBarSubmenuItem>(root, "&Einstellungen");
        Add<TBarItem>(*settings, "&Parameter...", Image(ToolbarImage::Parameters));
        TBarSubmenuItem* help = Add<TBarSubmenuItem>(root, "&Hilfe");
        Add<TBarItem>(*help, "&Inhalt", Image(ToolbarImage::HelpContents), 0x70);
        Add<TBarItem>(*help, "Inf&o...");
    }
};

void Settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// The form with every shown popup window drawn at its place.
QImage Compose(Form& form)
{
    const QPoint origin = form.mapToGlobal(QPoint(0, 0));
    QRect area(QPoint(0, 0), form.size());
    std::vector<TBarPopupWindow*> popups;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* popup = dynamic_cast<TBarPopupWindow*>(top); popup && popup->isVisible()) {
            popups.push_back(popup);
            area = area.united(popup->geometry().translated(-origin));
        }
    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.drawPixmap(-area.topLeft(), form.grab());
    for (TBarPopupWindow* popup : popups)
        painter.drawPixmap(popup->geometry().topLeft() - origin - area.topLeft(), popup->grab());
    return image;
}

bool Save(const QImage& image, const QString& dir, const char* name)
{
    const QString file = QDir(dir).filePath(name);
    if (!image.save(file)) {
        std::fprintf(stderr, "toolbardemo: %s kann nicht geschrieben werden\n", file.toStdString().c_str());
        return false;
    }
    return true;
}

QWidget* KeyTarget(Form& form)
{
    QWidget* focus = QApplication::focusWidget();
    return focus ? focus : &form;
}

void SendKey(Form& form, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    QKeyEvent event(type, key, modifiers, text);
    QApplication::sendEvent(KeyTarget(form), &event);
}

// One key of the list: "Alt+D", "Down", "Return", "Ctrl+S", "Alt".
bool FeedKey(Form& form, const QString& token)
{
    if (token == "Alt") {
        SendKey(form, QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier, {});
        SendKey(form, QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier, {});
        return true;
    }
    const QKeySequence sequence = QKeySequence::fromString(token);
    if (sequence.isEmpty() || sequence[0].key() == Qt::Key_unknown)
        return false;
    const Qt::Key key = sequence[0].key();
    const Qt::KeyboardModifiers modifiers = sequence[0].keyboardModifiers();
    QString text;
    if (key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde)
        text = QString(QChar(key)).toLower();
    if (modifiers & Qt::ControlModifier)
        text.clear();
    if (modifiers & Qt::AltModifier)
        SendKey(form, QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier, {});
    SendKey(form, QEvent::KeyPress, key, modifiers, text);
    SendKey(form, QEvent::KeyRelease, key, modifiers, text);
    if (modifiers & Qt::AltModifier)
        SendKey(form, QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier, {});
    Settle();
    return true;
}

int RunKeys(Demo& demo, const QString& keys)
{
    for (const QString& token : keys.split(' ', Qt::SkipEmptyParts))
        if (!FeedKey(demo.form, token)) {
            std::fprintf(stderr, "toolbardemo: unbekannte Taste \"%s\"\n", token.toStdString().c_str());
            return 2;
        }
    QElapsedTimer timer;
    timer.start();
    while (TBarModalHandler::Active() && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    Settle();
    return 0;
}

const char* RoleName(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::MenuBar: return "MenuBar";
    case QAccessible::ToolBar: return "ToolBar";
    case QAccessible::PopupMenu: return "PopupMenu";
    case QAccessible::MenuItem: return "MenuItem";
    case QAccessible::PushButton: return "PushButton";
    case QAccessible::ButtonMenu: return "ButtonMenu";
    case QAccessible::Separator: return "Separator";
    case QAccessible::Client: return "Client";
    case QAccessible::ComboBox: return "ComboBox";
    default: return "?";
    }
}

std::string StateText(QAccessible::State state)
{
    std::string text;
    const auto add = [&text](bool set, const char* name) {
        if (set)
            text += (text.empty() ? "" : ",") + std::string(name);
    };
    add(state.hotTracked, "hotTracked");
    add(state.focused, "focused");
    add(state.pressed, "pressed");
    add(state.hasPopup, "hasPopup");
    add(state.invisible, "invisible");
    add(state.focusable, "focusable");
    add(state.disabled, "disabled");
    add(state.checked, "checked");
    return text.empty() ? "-" : text;
}

void PrintAccessible(QAccessibleInterface* object, int depth)
{
    if (!object || !object->isValid())
        return;
    QString name = object->text(QAccessible::Name);
    name.replace('\t', "\\t");
    QString action;
    if (QAccessibleActionInterface* actions = object->actionInterface(); actions && !actions->actionNames().isEmpty())
        action = actions->actionNames().front();
    std::printf("%*s%s \"%s\" [%s] %s %s\n", depth * 2, "", RoleName(object->role()), name.toStdString().c_str(),
                StateText(object->state()).c_str(), object->text(QAccessible::Accelerator).toStdString().c_str(),
                action.isEmpty() ? "" : ("(" + action.toStdString() + ")").c_str());
    if (depth == 0)
        for (int i = 0; i < object->childCount(); ++i)
            PrintAccessible(object->child(i), depth + 1);
}

int PrintAccessibleTree(Demo& demo)
{
    std::printf("Menüleiste:\n");
    PrintAccessible(QAccessible::queryAccessibleInterface(demo.menu), 0);
    FeedKey(demo.form, "Alt+D");
    TBarView* open = demo.menu->View().OpenViewerView();
    if (!open) {
        std::fprintf(stderr, "toolbardemo: \"Datei\" ist nicht offen\n");
        return 1;
    }
    std::printf("\nMenü \"Datei\":\n");
    PrintAccessible(QAccessible::queryAccessibleInterface(open->Window()), 0);
    FeedKey(demo.form, "Escape");
    FeedKey(demo.form, "Escape");
    return 0;
}

int Shots(Demo& demo, const QString& dir)
{
    QDir().mkpath(dir);
    bool ok = true;
    for (int width : {1000, 420, 160}) {
        demo.form.resize(width, 260);
        Settle();
        ok = Save(Compose(demo.form), dir, QString("window-%1.png").arg(width).toStdString().c_str()) && ok;
    }
    demo.form.resize(1000, 260);
    Settle();
    FeedKey(demo.form, "Alt+D");
    ok = Save(Compose(demo.form), dir, "datei-alt-d.png") && ok;
    // Down to "Vorlagen" and open it.
    for (int i = 0; i < 3; ++i)
        FeedKey(demo.form, "Down");
    FeedKey(demo.form, "Right");
    ok = Save(Compose(demo.form), dir, "vorlagen.png") && ok;
    FeedKey(demo.form, "Escape");
    FeedKey(demo.form, "Escape");
    FeedKey(demo.form, "Escape");
    Settle();
    // The chevron of the "Datei" toolbar at 420 pixels.
    demo.form.resize(420, 260);
    Settle();
    TBarToolbar* shrunk = nullptr;
    for (TBarToolbar* bar : demo.toolbars)
        if (TBarItemViewer* viewer = bar->View().FindViewer(&bar->ChevronItem()); viewer && viewer->Show)
            shrunk = bar;
    if (shrunk) {
        TBarToolbarView& view = shrunk->View();
        view.SetSelected(view.FindViewer(&shrunk->ChevronItem()), false);
        TBarModalHandler::EnterToolbarLoop(view, kLoopOpenAtOnce);
        Settle();
        ok = Save(Compose(demo.form), dir, "chevron.png") && ok;
        FeedKey(demo.form, "Escape");
        FeedKey(demo.form, "Escape");
    } else {
        std::fprintf(stderr, "toolbardemo: kein Chevron bei 420 Pixeln\n");
        ok = false;
    }
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    QString shotDir;
    QString keys;
    bool a11y = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--shot" && i + 1 < argc) {
            shotDir = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == "--a11y") {
            a11y = true;
        } else if (arg == "--keys" && i + 1 < argc) {
            keys = QString::fromLocal8Bit(argv[++i]);
        } else {
            std::fprintf(stderr, "Aufruf: toolbardemo [--shot ORDNER] [--keys \"Alt+D Down Return\"] [--a11y]\n");
            return 2;
        }
    }
    Demo demo;
    demo.form.resize(1000, 260);
    demo.form.show();
    demo.form.activateWindow();
    QApplication::setActiveWindow(&demo.form);
    Settle();
    if (!keys.isEmpty())
        return RunKeys(demo, keys);
    if (a11y)
        return PrintAccessibleTree(demo);
    if (!shotDir.isEmpty())
        return Shots(demo, shotDir);
    return app.exec();
}
