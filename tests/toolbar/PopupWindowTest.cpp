// Popup windows and the state image list: the window's kind and focus, the painted frame and the
// client inset, scroll arrows, keyboard cues along a chain, CreatePopup on a fake screen, and
// which list DrawState draws from.
#include "ViewHost.h"

#include "platform/QtCanvas.h"
#include "platform/SystemParams.h"
#include "toolbar/TBarCustomImageList.h"
#include "toolbar/TBarPlacement.h"
#include "toolbar/TBarPopupWindow.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

namespace velmoran {
namespace {

using testing::AddItem;
using testing::AddSeparator;
using testing::ViewHost;

const QRect kMonitor(0, 0, 800, 600);
const QRect kWorkArea(0, 0, 800, 560);

class PopupWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        SystemParamsOverride() = {};
        SystemParamsOverride().Monitors = std::vector<std::pair<QRect, QRect>>{{kMonitor, kWorkArea}};
        SystemParamsOverride().KeyboardCues = false;
        menu = AddItem<TBarSubmenuItem>(root, "&Datei");
    }
    void TearDown() override { SystemParamsOverride() = {}; }
    void Lines(int count)
    {
        for (int i = 0; i < count; ++i)
            AddItem<TBarItem>(*menu, "Zeile " + std::to_string(i));
    }

    TBarRootItem root;
    TBarSubmenuItem* menu = nullptr;
    ViewHost host;
};

TEST_F(PopupWindow, TheWindowNeverTakesFocusAndIgnoresCloseRequests)
{
    Lines(2);
    TBarPopupWindow window(nullptr, menu, false);
    EXPECT_EQ(window.windowType(), Qt::Tool);
    const Qt::WindowFlags flags = window.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(flags.testFlag(Qt::X11BypassWindowManagerHint));
    EXPECT_EQ(window.focusPolicy(), Qt::NoFocus);
    window.show();
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
}

TEST_F(PopupWindow, TheFrameIsInsideTheWindowAndAutoSizeAddsIt)
{
    Lines(3);
    TBarPopupWindow window(nullptr, menu, false);
    window.move(50, 60);
    const TSize content = window.View().UpdatePositions();
    EXPECT_EQ(window.geometry(), QRect(50, 60, content.cx + 6, content.cy + 6));
    EXPECT_EQ(window.ClientRect(), QRect(3, 3, content.cx, content.cy));
    // The viewers paint inside the frame.
    TestFontEngine fonts;
    RecordingCanvas canvas(fonts);
    window.PaintTo(canvas, TRect{0, 0, window.width(), window.height()});
    EXPECT_NE(canvas.Text().find("TextOut"), std::string::npos);
    EXPECT_TRUE(window.View().Viewers(0)->BoundsRect.Left == 0);
}

TEST_F(PopupWindow, ScrollArrowsStandInTheirBands)
{
    Lines(60);
    TBarPopupWindow window(nullptr, menu, false);
    window.View().SetMaxHeight(200);
    window.View().UpdatePositions();
    window.View().ScrollStep(true);
    ASSERT_TRUE(window.View().ShowUpArrow());
    ASSERT_TRUE(window.View().ShowDownArrow());
    TestFontEngine fonts;
    RecordingCanvas canvas(fonts);
    window.PaintTo(canvas, TRect{0, 0, window.width(), window.height()});
    const int cx = 3 + (window.width() - 6) / 2;
    const int up = 3 + 19 / 2 - 1;
    const int down = window.height() - 3 - 19 + 19 / 2 - 1;
    const auto point = [](int x, int y) { return std::to_string(x) + "," + std::to_string(y); };
    std::vector<std::string> polygons;
    for (const std::string& call : canvas.Calls())
        if (call.rfind("Polygon", 0) == 0)
            polygons.push_back(call);
    EXPECT_EQ(polygons, (std::vector<std::string>{
                            "Polygon " + point(cx - 3, up + 2) + " " + point(cx + 3, up + 2) + " " + point(cx, up - 1),
                            "Polygon " + point(cx - 3, down - 1) + " " + point(cx + 3, down - 1) + " " +
                                point(cx, down + 2)}));
}

TEST_F(PopupWindow, KeyboardCuesStartHiddenAndPassDownTheChain)
{
    auto* sub = AddItem<TBarSubmenuItem>(*menu, "&Vorlage");
    AddItem<TBarItem>(*sub, "&Standard");
    TBarPopupWindow parent(nullptr, menu, false);
    EXPECT_TRUE(parent.View().HideKeyboardCuesStyle());
    EXPECT_FALSE(parent.View().KeyboardCuesShown());
    // The keyboard was used in the parent: a child opened from it shows the cues too.
    parent.View().SetKeyboardCuesShown(true);
    TBarPopupWindow child(&parent.View(), sub, false);
    EXPECT_TRUE(child.View().HideKeyboardCuesStyle());
    EXPECT_TRUE(child.View().KeyboardCuesShown());
    EXPECT_EQ(child.View().ParentView(), &parent.View());

    // A root popup shows them when the system does.
    SystemParamsOverride().KeyboardCues = true;
    TBarPopupWindow shown(nullptr, menu, false);
    EXPECT_TRUE(shown.View().KeyboardCuesShown());
}

TEST_F(PopupWindow, CreatePopupAtAPointTakesThePlacementsBounds)
{
    Lines(4);
    TBarPopupRequest request;
    request.PopupPoint = QPoint(780, 100);
    request.Alignment = 0;
    std::unique_ptr<TBarPopupWindow> owner;
    TBarPopupWindow* window = CreatePopup(*menu, request, &owner);
    ASSERT_EQ(window, owner.get());
    TBarPopupPlacementInput input;
    input.ItemRect = QRect(request.PopupPoint, QSize(0, 0));
    input.MonitorArea = kWorkArea;
    input.PopupSize = window->size();
    input.PopupPoint = request.PopupPoint;
    EXPECT_EQ(window->pos(), PlacePopup(input).Position);
    // Too wide for the right edge: it opens to the left of the point.
    EXPECT_EQ(window->geometry().right(), 780 - 1);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->View().MonitorRect, kWorkArea);
}

TEST_F(PopupWindow, ATallMenuIsLimitedToTheWorkArea)
{
    Lines(200);
    TBarPopupRequest request;
    request.PopupPoint = QPoint(10, 10);
    std::unique_ptr<TBarPopupWindow> owner;
    TBarPopupWindow* window = CreatePopup(*menu, request, &owner);
    EXPECT_EQ(window->View().MaxHeight(), 560 - 6);
    EXPECT_EQ(window->height(), 560);
    EXPECT_EQ(window->y(), 0);
    EXPECT_TRUE(window->View().ShowDownArrow());
}

TEST_F(PopupWindow, SelectFirstItemSelectsTheFirstSelectableAndShowsCues)
{
    AddSeparator(*menu);
    TBarItem* disabled = AddItem<TBarItem>(*menu, "&Aus");
    disabled->SetEnabled(false);
    Lines(2);
    TBarPopupRequest request;
    request.SelectFirstItem = true;
    std::unique_ptr<TBarPopupWindow> owner;
    TBarPopupWindow* window = CreatePopup(*menu, request, &owner);
    ASSERT_NE(window->View().Selected(), nullptr);
    EXPECT_EQ(&window->View().Selected()->Item(), disabled);
    EXPECT_TRUE(window->View().KeyboardCuesShown());
}

TEST_F(PopupWindow, OnlyAPopupOpenedByTheMouseAnimates)
{
    Lines(2);
    int animations = 0;
    TBarPopupWindow::StartAnimation() = [&](TBarPopupWindow&) {
        ++animations;
        return false;
    };
    SystemParamsOverride().MenuAnimation = true;
    std::unique_ptr<TBarPopupWindow> owner;
    TBarPopupRequest request;
    CreatePopup(*menu, request, &owner);
    EXPECT_EQ(animations, 1);
    // Opened from the keyboard: its first item is selected and it is shown at once.
    request.SelectFirstItem = true;
    CreatePopup(*menu, request, &owner);
    EXPECT_EQ(animations, 1);
    EXPECT_TRUE(owner->isVisible());
    SystemParamsOverride().MenuAnimation = false;
    request.SelectFirstItem = false;
    CreatePopup(*menu, request, &owner);
    EXPECT_EQ(animations, 1);
    TBarPopupWindow::StartAnimation() = nullptr;
}

TEST_F(PopupWindow, TheParentViewRecordsItsOpenSubmenu)
{
    Lines(2);
    testing::TestView& bar = host.MakeView(root, true);
    host.move(0, 0);
    bar.UpdatePositions();
    TBarItemViewer* viewer = bar.FindViewer(menu);
    TBarPopupRequest request;
    request.ParentView = &bar;
    request.ParentViewer = viewer;
    TBarPopupWindow* window = CreatePopup(*menu, request);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(bar.OpenViewer(), viewer);
    EXPECT_EQ(bar.OpenViewerWindow(), window);
    EXPECT_EQ(bar.OpenViewerView(), &window->View());
    EXPECT_EQ(window->View().ParentView(), &bar);
    // A drop-down under a horizontal bar: below the item, at its left edge.
    const QPoint itemCorner = host.mapToGlobal(QPoint(viewer->BoundsRect.Left, viewer->BoundsRect.Bottom));
    EXPECT_EQ(window->pos(), itemCorner);
    bar.CloseChildPopups();
    EXPECT_EQ(bar.OpenViewer(), nullptr);
    EXPECT_EQ(bar.OpenViewerWindow(), nullptr);

    // A popup window freed by other hands leaves no open submenu behind.
    TBarPopupWindow* again = CreatePopup(*menu, request);
    ASSERT_EQ(bar.OpenViewerWindow(), again);
    delete again;
    EXPECT_EQ(bar.OpenViewer(), nullptr);
    EXPECT_EQ(bar.OpenViewerView(), nullptr);
}

// --- the state image list ---------------------------------------------------------------------

ImageList* Solid(QObject* parent, QColor color)
{
    auto* list = new ImageList(4, 4, parent);
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(color);
    list->Add(picture);
    return list;
}

QColor DrawnBy(const TBarCustomImageList& list, bool enabled, bool selected, bool checked)
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QtCanvas canvas(&painter);
        list.DrawState(canvas, 0, 0, 0, enabled, selected, checked);
    }
    return image.pixelColor(1, 1);
}

TEST_F(PopupWindow, StateListDrawStateTakesDisabledThenCheckedThenHot)
{
    QObject owner;
    TBarCustomImageList list(4, 4, &owner);
    QImage own(4, 4, QImage::Format_RGB32);
    own.fill(Qt::red);
    list.Add(own);
    EXPECT_EQ(DrawnBy(list, true, true, true), QColor(Qt::red));
    // Disabled without its own list: this list's embossed shape, not its colour.
    EXPECT_NE(DrawnBy(list, false, false, false), QColor(Qt::red));

    list.SetDisabledImages(Solid(&owner, Qt::green));
    list.SetCheckedImages(Solid(&owner, Qt::blue));
    list.SetHotImages(Solid(&owner, Qt::yellow));
    EXPECT_EQ(DrawnBy(list, true, false, false), QColor(Qt::red));
    EXPECT_EQ(DrawnBy(list, false, true, true), QColor(Qt::green));
    EXPECT_EQ(DrawnBy(list, true, true, true), QColor(Qt::blue));
    EXPECT_EQ(DrawnBy(list, true, true, false), QColor(Qt::yellow));
}

TEST_F(PopupWindow, StateListReferencesClearThemselvesAndAListIsNotItsOwnState)
{
    TBarCustomImageList list(4, 4);
    int changes = 0;
    QObject link;
    list.RegisterChanges(&link, [&] { ++changes; });
    list.SetHotImages(&list);
    EXPECT_EQ(list.HotImages(), nullptr);

    auto* hot = new ImageList(4, 4);
    list.SetHotImages(hot);
    EXPECT_EQ(list.HotImages(), hot);
    const int before = changes;
    // A change of a state list is a change of this list.
    QImage picture(4, 4, QImage::Format_RGB32);
    hot->Add(picture);
    EXPECT_EQ(changes, before + 1);
    delete hot;
    EXPECT_EQ(list.HotImages(), nullptr);
}

TEST_F(PopupWindow, StateListSourceStripRefillsTheListWithMagentaTransparent)
{
    TBarCustomImageList list(2, 2);
    QImage strip(4, 2, QImage::Format_RGB32);
    strip.fill(Qt::black);
    strip.setPixelColor(0, 0, QColor(255, 0, 255));
    list.SetSourceBitmap(strip);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(qAlpha(list.Image(0).pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(list.Image(0).pixel(1, 0)), 255);
    // Another mask colour: black is transparent now, magenta is not.
    list.SetSourceMaskColor(0);
    EXPECT_EQ(qAlpha(list.Image(0).pixel(1, 0)), 0);
    EXPECT_EQ(qAlpha(list.Image(0).pixel(0, 0)), 255);
}

}  // namespace
}  // namespace velmoran
