// The docked window: its non-client sizes, the frame drawn on the recording canvas (grippers and
// the close glyph), the hit-test codes and the size-all cursor, the close button and the close
// question, moving between docks with its events, the missing form, and a handler that raises in
// the middle of a change of parent.
#include "toolbar/TBarDockableWindow.h"

#include "FakeBar.h"
#include "platform/RecordingCanvas.h"
#include "platform/TestFont.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <map>
#include <stdexcept>

using namespace velmoran;
using namespace velmoran::testing;

namespace {

// The picture the recorded fills make: one character per pixel ('.' untouched, 'w' highlight,
// 's' shadow, 'f' face, 'k' black, '?' anything else).
class Pixels {
public:
    explicit Pixels(const RecordingCanvas& canvas)
    {
        for (const std::string& line : canvas.Calls()) {
            TRect r;
            char hex[8] = {};
            if (std::sscanf(line.c_str(), "FillRect %d,%d,%d,%d #%6s", &r.Left, &r.Top, &r.Right, &r.Bottom, hex) != 5)
                continue;
            const std::string colour(hex);
            const char c = colour == "FFFFFF" ? 'w' : colour == "808080" ? 's' : colour == "C0C0C0" ? 'f' : colour == "000000" ? 'k' : '?';
            for (int y = r.Top; y < r.Bottom; ++y)
                for (int x = r.Left; x < r.Right; ++x)
                    pixels_[{x, y}] = c;
        }
    }
    char At(int x, int y) const
    {
        const auto found = pixels_.find({x, y});
        return found == pixels_.end() ? '.' : found->second;
    }
    std::string Row(int y, int from, int to) const
    {
        std::string row;
        for (int x = from; x < to; ++x)
            row += At(x, y);
        return row;
    }

private:
    std::map<std::pair<int, int>, char> pixels_;
};

Pixels FrameOf(TBarCustomDockableWindow& bar)
{
    TestFontEngine fonts;
    RecordingCanvas canvas(fonts);
    bar.DrawNCArea(canvas);
    return Pixels(canvas);
}

void Click(QWidget& widget, QPoint at, QPoint releaseAt)
{
    QMouseEvent press(QEvent::MouseButtonPress, at, widget.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, releaseAt, widget.mapToGlobal(releaseAt), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &release);
}

}  // namespace

TEST(DockableWindow, DockedNonClientSizes)
{
    auto form = ShownForm(400, 300);
    auto* top = new TBarDock(form.get());
    auto* left = new TBarDock(form.get(), TBarDockPosition::dpLeft);
    auto* bar = new FakeBar(form.get());
    EXPECT_EQ(bar->GetDockedNCAreaSize(), QPoint(0, 0));
    bar->SetCurrentDock(top);
    EXPECT_EQ(bar->GetDockedNCAreaSize(), QPoint(10, 4));
    bar->SetDragHandleStyle(TBarDragHandleStyle::dhNone);
    EXPECT_EQ(bar->GetDockedNCAreaSize(), QPoint(4, 4));
    bar->SetDragHandleStyle(TBarDragHandleStyle::dhDouble);
    EXPECT_EQ(bar->GetDockedNCAreaSize(), QPoint(13, 4));
    for (TBarDragHandleStyle style : {TBarDragHandleStyle::dhNone, TBarDragHandleStyle::dhSingle, TBarDragHandleStyle::dhDouble}) {
        bar->SetCloseButtonWhenDocked(true);
        bar->SetDragHandleStyle(style);
        EXPECT_EQ(bar->GetDockedNCAreaSize(), QPoint(18, 4));
    }
    // The client area lies inside the frame; the contents sit at client (0, 0).
    EXPECT_EQ(bar->ClientRect(), QRect(16, 2, 50, 20));
    EXPECT_EQ(bar->Content->geometry(), QRect(16, 2, 50, 20));
    EXPECT_EQ(bar->geometry(), QRect(0, 0, 68, 24));

    bar->SetCloseButtonWhenDocked(false);
    bar->SetDragHandleStyle(TBarDragHandleStyle::dhSingle);
    bar->SetCurrentDock(left);
    EXPECT_EQ(bar->GetDockedNCAreaSize(), QPoint(4, 10));
    EXPECT_EQ(bar->ClientRect(), QRect(2, 8, 50, 20));
    left->SetAllowDrag(false);
    EXPECT_EQ(bar->GetDockedNCAreaSize(), QPoint(4, 4));
}

TEST(DockableWindow, GrippersAndTheCloseGlyphOnTheRecordingCanvas)
{
    auto form = ShownForm(400, 300);
    auto* dock = new TBarDock(form.get());
    auto* bar = new FakeBar(dock, {50, 12});
    bar->SetDragHandleStyle(TBarDragHandleStyle::dhDouble);
    // 13 + 50 = 63 long, 16 thick: raised edge round the window, two grippers from x = 4 and 7.
    ASSERT_EQ(bar->geometry(), QRect(0, 0, 63, 16));
    Pixels frame = FrameOf(*bar);
    EXPECT_EQ(frame.Row(0, 0, 12), "wwwwwwwwwwww");
    EXPECT_EQ(frame.At(62, 15), 's');
    // Each gripper is 3 wide: light left, face middle, shadow right, from y 2 to 13.
    EXPECT_EQ(frame.Row(2, 2, 11), "ffwwswwsf");
    EXPECT_EQ(frame.Row(8, 2, 11), "ffwfswfsf");
    EXPECT_EQ(frame.Row(13, 2, 11), "ffwssws" "sf");
    EXPECT_EQ(frame.Row(14, 2, 11), "fffffffff");

    // A single gripper is shortened by a pixel at each end.
    bar->SetDragHandleStyle(TBarDragHandleStyle::dhSingle);
    frame = FrameOf(*bar);
    EXPECT_EQ(frame.Row(2, 2, 8), "ffffff");
    EXPECT_EQ(frame.Row(3, 2, 8), "fwwsff");
    EXPECT_EQ(frame.Row(12, 2, 8), "fwssff");

    // The docked close button: the cross in black, its rows as given, inside the button at (5, 4).
    bar->SetCloseButtonWhenDocked(true);
    frame = FrameOf(*bar);
    const char* cross[] = {"........", "kk..kk..", ".kkkk...", "..kk....", ".kkkk...", "kk..kk.."};
    for (int row = 0; row < 6; ++row) {
        std::string expected;
        for (char c : std::string(cross[row]))
            expected += c == 'k' ? 'k' : 'f';
        EXPECT_EQ(frame.Row(4 + row, 5, 13), expected) << "row " << row;
    }
}

TEST(DockableWindow, HitTestCodesAndTheSizeAllCursor)
{
    auto form = ShownForm(400, 300);
    auto* dock = new TBarDock(form.get());
    auto* bar = new FakeBar(dock);
    EXPECT_EQ(bar->HitTest({30, 10}), HTCLIENT);
    EXPECT_EQ(bar->HitTest({4, 10}), kHitDockedFrame);
    EXPECT_EQ(bar->HitTest({30, 0}), kHitDockedFrame);
    EXPECT_EQ(bar->HitTest({5, 5}), kHitDockedFrame);
    bar->SetCloseButtonWhenDocked(true);
    EXPECT_EQ(bar->HitTest({5, 5}), kHitCloseButton);
    EXPECT_EQ(bar->HitTest({5, 20}), kHitDockedFrame);
    // Over a dock that does not allow dragging there is no button to hit.
    dock->SetAllowDrag(false);
    EXPECT_EQ(bar->HitTest({1, 1}), kHitDockedFrame);
    dock->SetAllowDrag(true);

    bar->SetCloseButtonWhenDocked(false);
    QMouseEvent overHandle(QEvent::MouseMove, QPointF(4, 10), bar->mapToGlobal(QPointF(4, 10)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(bar, &overHandle);
    EXPECT_EQ(bar->cursor().shape(), Qt::SizeAllCursor);
    QMouseEvent overClient(QEvent::MouseMove, QPointF(30, 10), bar->mapToGlobal(QPointF(30, 10)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(bar, &overClient);
    EXPECT_EQ(bar->cursor().shape(), Qt::ArrowCursor);
    bar->SetDragHandleStyle(TBarDragHandleStyle::dhNone);
    QMouseEvent overFrame(QEvent::MouseMove, QPointF(1, 10), bar->mapToGlobal(QPointF(1, 10)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(bar, &overFrame);
    EXPECT_EQ(bar->cursor().shape(), Qt::ArrowCursor);
}

TEST(DockableWindow, TheCloseButtonAsksOnCloseQueryAndHidesTheWindow)
{
    auto form = ShownForm(400, 300);
    auto* dock = new TBarDock(form.get());
    auto* bar = new FakeBar(dock);
    bar->SetCloseButtonWhenDocked(true);
    std::string log;
    bool allow = false;
    bar->OnCloseQuery = [&](TBarCustomDockableWindow&, bool& canClose) {
        log += "query;";
        canClose = allow;
    };
    bar->OnClose = [&log](TBarCustomDockableWindow&) { log += "close;"; };
    bar->OnVisibleChanged = [&log](TBarCustomDockableWindow&) { log += "visible;"; };

    // Released outside the button: nothing happens.
    Click(*bar, {5, 5}, {40, 10});
    EXPECT_EQ(log, "");
    EXPECT_FALSE(bar->CloseButtonDown());

    Click(*bar, {5, 5}, {6, 6});
    EXPECT_EQ(log, "query;");
    EXPECT_FALSE(bar->isHidden());

    allow = true;
    Click(*bar, {5, 5}, {6, 6});
    EXPECT_EQ(log, "query;query;visible;close;");
    EXPECT_TRUE(bar->isHidden());
    EXPECT_TRUE(dock->DockVisibleList().empty());
    EXPECT_EQ(dock->height(), 0);
}

TEST(DockableWindow, MovingToAnotherDockFiresTheEventsInOrderAndKeepsTheContents)
{
    auto form = ShownForm(400, 300);
    auto* top = new TBarDock(form.get());
    auto* left = new TBarDock(form.get(), TBarDockPosition::dpLeft);
    auto* bar = new FakeBar(top);
    QWidget* content = bar->Content;
    std::vector<std::string> log;
    bar->OnDockChanging = [&](TBarCustomDockableWindow&, bool floating, TBarDock* to) {
        log.push_back(std::string("changing ") + (to == left ? "left" : "?") + (floating ? " floating" : ""));
    };
    bar->OnRecreating = [&](TBarCustomDockableWindow&) { log.push_back(bar->Content == content ? "recreating" : "recreating?"); };
    bar->OnRecreated = [&](TBarCustomDockableWindow&) { log.push_back(bar->Content == content ? "recreated" : "recreated?"); };
    bar->OnDockChanged = [&](TBarCustomDockableWindow& b) { log.push_back(b.CurrentDock() == left ? "changed" : "changed?"); };
    // The moves of the change itself are held back; one OnMove comes at its end.
    bar->OnMove = [&](TBarCustomDockableWindow&) { log.push_back("move"); };

    bar->SetCurrentDock(left);
    EXPECT_EQ(log, (std::vector<std::string>{"changing left", "recreating", "move", "recreated", "changed"}));
    EXPECT_EQ(bar->parentWidget(), left);
    EXPECT_EQ(content->parentWidget(), bar);
    EXPECT_FALSE(bar->isHidden());
    EXPECT_EQ(top->height(), 0);
    EXPECT_EQ(left->width(), 54);
    EXPECT_EQ(bar->LastDock(), left);
    EXPECT_TRUE(top->DockList().empty());
    EXPECT_EQ(left->DockList(), std::vector<TBarCustomDockableWindow*>{bar});

    // Onto the form itself: undocked, without a frame, the last dock remembered.
    bar->SetCurrentDock(nullptr);
    EXPECT_EQ(bar->parentWidget(), form.get());
    EXPECT_FALSE(bar->Docked());
    EXPECT_EQ(bar->ClientRect(), bar->rect());
    EXPECT_EQ(bar->LastDock(), left);
    EXPECT_EQ(left->width(), 0);
    EXPECT_EQ(bar->HideCount, 0);
    EXPECT_EQ(bar->DisableOnMove, 0);
    EXPECT_EQ(bar->IgnoreBoundsChange, 0);
}

TEST(DockableWindow, WithoutAFormTheWindowSaysSoInGerman)
{
    QWidget plain;
    auto* dock = new TBarDock(&plain);
    auto* bar = new FakeBar(dock);
    bar->setObjectName("Leiste");
    try {
        bar->SetCurrentDock(nullptr);
        FAIL() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Element 'Leiste' hat kein übergeordnetes Fenster");
    }
    EXPECT_EQ(bar->CurrentDock(), dock);
}

TEST(DockableWindow, AHandlerThatRaisesLeavesBothDocksArranging)
{
    auto form = ShownForm(400, 300);
    auto* top = new TBarDock(form.get());
    auto* left = new TBarDock(form.get(), TBarDockPosition::dpLeft);
    auto* bar = new FakeBar(top);
    auto* other = new FakeBar(left);
    bar->OnDockChangingHidden = [](TBarCustomDockableWindow&, bool, TBarDock*) { throw std::runtime_error("nein"); };
    EXPECT_THROW(bar->SetCurrentDock(left), std::runtime_error);
    EXPECT_EQ(top->DisableArrangeToolbars(), 0);
    EXPECT_EQ(left->DisableArrangeToolbars(), 0);
    EXPECT_EQ(bar->DisableArrange(), 0);
    EXPECT_EQ(bar->HideCount, 0);
    EXPECT_EQ(bar->DisableOnMove, 0);
    EXPECT_EQ(bar->IgnoreBoundsChange, 0);
    // Both docks arrange again at once.
    other->SetDockPos(30);
    EXPECT_EQ(other->geometry().top(), 30);
    bar->SetDockPos(100);
    EXPECT_EQ(bar->geometry().left(), 100);

    // A dock whose bar-insert handler raises is arranging again as well.
    bar->OnDockChangingHidden = nullptr;
    left->OnInsertRemoveBar = [](TBarDock&, bool, TBarCustomDockableWindow&) { throw std::runtime_error("nein"); };
    EXPECT_THROW(bar->SetCurrentDock(left), std::runtime_error);
    EXPECT_EQ(top->DisableArrangeToolbars(), 0);
    EXPECT_EQ(left->DisableArrangeToolbars(), 0);

    // Contents that raise while the change ends: the error reaches the caller, the counters are down.
    left->OnInsertRemoveBar = nullptr;
    bar->RaiseOnArrange = true;
    EXPECT_THROW(bar->SetCurrentDock(top), std::runtime_error);
    EXPECT_EQ(top->DisableArrangeToolbars(), 0);
    EXPECT_EQ(left->DisableArrangeToolbars(), 0);
    EXPECT_EQ(bar->DisableArrange(), 0);
    EXPECT_EQ(bar->HideCount, 0);
    bar->RaiseOnArrange = false;
    bar->SetDockPos(50);
    EXPECT_EQ(bar->geometry().left(), 50);
}

namespace {

// A window that treats one widget as its floating tool window, as the floating support will.
class FloatingBar : public FakeBar {
public:
    using FakeBar::FakeBar;
    QWidget* FloatHost = nullptr;
    int ShowingUpdates = 0;
    std::string Keys;
    void UpdateShowing() override { ++ShowingUpdates; }
    bool DialogKey(QKeyEvent& event) override
    {
        Keys += "key " + event.text().toStdString() + ";";
        return true;
    }
    bool KeyMenu(char32_t) override
    {
        Keys += "menu;";
        return true;
    }

protected:
    bool IsFloatingWindowParent(const QWidget* parent) const override { return parent && parent == FloatHost; }
};

}  // namespace

TEST(DockableWindow, AFloatingWindowStaysInItsLastDockAndDocksBackThereOrAtTheDefaultDock)
{
    auto form = ShownForm(400, 300);
    auto* top = new TBarDock(form.get());
    auto* bottom = new TBarDock(form.get(), TBarDockPosition::dpBottom);
    Form host;
    host.show();
    auto* bar = new FloatingBar(nullptr);
    bar->FloatHost = &host;
    bar->SetDockRow(0);
    bar->SetDockPos(40);
    bar->SetParent(top);

    bar->SetParent(&host);
    EXPECT_TRUE(bar->Floating());
    EXPECT_FALSE(bar->Docked());
    EXPECT_EQ(bar->LastDock(), top);
    EXPECT_EQ(top->DockList(), std::vector<TBarCustomDockableWindow*>{bar});
    EXPECT_TRUE(top->DockVisibleList().empty());
    EXPECT_EQ(TBarCustomDockableWindow::FloatingWindowList(), std::vector<TBarCustomDockableWindow*>{bar});

    // The dock offers its floating bars the keyboard menu messages; key-menu commands only to a
    // bar that takes menu events.
    QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
    EXPECT_TRUE(top->RelayDialogKey(key));
    EXPECT_FALSE(top->RelayKeyMenu(U'x'));
    EXPECT_EQ(bar->Keys, "key x;");

    // The shared hook tells floating windows when their form's showing changes.
    const int before = bar->ShowingUpdates;
    host.hide();
    host.show();
    EXPECT_GE(bar->ShowingUpdates, before + 2);

    // A double-click docks it back where it was.
    bar->DoubleClick();
    EXPECT_EQ(bar->CurrentDock(), top);
    EXPECT_EQ(bar->geometry().left(), 40);
    EXPECT_TRUE(TBarCustomDockableWindow::FloatingWindowList().empty());

    // Without a last dock it goes to the start of the default dock's first row.
    bar->SetParent(&host);
    bar->SetUseLastDock(false);
    EXPECT_EQ(bar->LastDock(), nullptr);
    EXPECT_TRUE(top->DockList().empty());
    bar->SetDefaultDock(bottom);
    bar->DoubleClick();
    EXPECT_EQ(bar->CurrentDock(), bottom);
    EXPECT_EQ(bar->DockRow(), 0);
    EXPECT_EQ(bar->DockPos(), -8);
    EXPECT_EQ(bar->geometry().left(), 0);
}
