// The drag, dock and size modes driven by synthetic events (nothing waits on a loop): the row and
// snap rules, a drag between docks, Ctrl, a window that cannot float, the outline mode and its
// overlay, sizing against the minimum, a window of one pixel, and every way a mode can end.
#include "toolbar/TBarDragMode.h"

#include "FakeBar.h"
#include "platform/SystemParams.h"
#include "tests/support/ScriptedPrompts.h"
#include "toolbar/TBarDragOutline.h"
#include "toolbar/TBarFloatingWindow.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

using namespace velmoran;
using namespace velmoran::testing;

namespace {

class SizedBar : public FakeBar {
public:
    using FakeBar::FakeBar;
    void GetMinMaxSize(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight) override
    {
        minWidth = 30;
        minHeight = 10;
        maxWidth = MaxWidth;
        maxHeight = 0;
    }
    void SizingTrack(QRect&, const QRect&) override { ++Tracked; }
    void SizingEnd() override { ++Ended; }
    int MaxWidth = 0;
    int Tracked = 0;
    int Ended = 0;
};

// A widget that counts the mouse releases it is given.
class ReleaseCounter : public QWidget {
public:
    explicit ReleaseCounter(QWidget* parent) : QWidget(parent) { setGeometry(150, 120, 50, 50); show(); }
    int Releases = 0;

protected:
    void mouseReleaseEvent(QMouseEvent*) override { ++Releases; }
};

class DragMode : public ::testing::Test {
protected:
    void SetUp() override
    {
        SystemParamsOverride().Monitors = std::vector<std::pair<QRect, QRect>>{{QRect(0, 0, 1000, 700), QRect(0, 0, 1000, 700)}};
        form = ShownForm(400, 300);
        form->move(100, 100);
        top = new TBarDock(form.get());
        bottom = new TBarDock(form.get(), TBarDockPosition::dpBottom);
        bar = new SizedBar(nullptr, {80, 22});
        bar->SetParent(top);
        for (int row = 0; row < 2; ++row) {
            auto* b = new FakeBar(nullptr, {60, 22});
            b->SetDockRow(row);
            b->SetParent(bottom);
        }
        // Told once the bars listen.
        QApplicationStateChangeEvent active(Qt::ApplicationActive);
        QCoreApplication::sendEvent(qApp, &active);
    }
    void TearDown() override
    {
        if (TBarMode* mode = TBarMode::Running())
            mode->Finish(false);
        form.reset();
        SystemParamsOverride() = {};
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Mouse and key events as the window system delivers them: to the grabbing form.
    void Mouse(QEvent::Type type, QPoint global, Qt::MouseButton button = Qt::NoButton)
    {
        const Qt::MouseButtons buttons = type == QEvent::MouseMove || type == QEvent::MouseButtonPress ? Qt::MouseButtons(Qt::LeftButton) : Qt::MouseButtons();
        QMouseEvent event(type, form->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &event);
    }
    void Key(QEvent::Type type, int key)
    {
        QKeyEvent event(type, key, type == QEvent::KeyPress && key == Qt::Key_Control ? Qt::ControlModifier : Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &event);
    }
    void Release(QPoint global) { Mouse(QEvent::MouseButtonRelease, global, Qt::LeftButton); }
    QPoint Handle() const { return bar->mapToGlobal(QPoint(3, 10)); }
    // The screen point whose outline centre falls `across` pixels into the bottom dock's client
    // area (the bar is grabbed 10 pixels below its top and is 26 high there).
    QPoint IntoBottom(int along, int across) const
    {
        const QPoint client = bottom->mapToGlobal(bottom->ClientRect().topLeft());
        return client + QPoint(along + 3, across - 13 + 10);
    }
    static Qt::CursorShape Cursor()
    {
        return QGuiApplication::overrideCursor() ? QGuiApplication::overrideCursor()->shape() : Qt::BitmapCursor;
    }

    std::unique_ptr<Form> form;
    TBarDock* top = nullptr;
    TBarDock* bottom = nullptr;
    SizedBar* bar = nullptr;
};

class SizeMode : public DragMode {};

void ExpectEnded()
{
    EXPECT_EQ(TBarMode::Running(), nullptr);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

}  // namespace

TEST_F(DragMode, FindRowInsertsJoinsOrAppends)
{
    const std::vector<TBarRowSize> rows{{20, false}, {0, false}, {20, true}};
    struct Case {
        int Position;
        bool FullWindow;
        int Row;
        bool NewRow;
    } cases[] = {
        {0, false, 0, true},    // first quarter of a normal row: a new row before it
        {4, false, 0, true},
        {5, false, 0, false},   // its middle half: joins it
        {14, false, 0, false},
        {15, false, 2, true},   // its last quarter falls to the next (the empty row is skipped)
        {29, false, 2, true},   // upper half of a FullSize row: before it
        {30, false, 3, false},  // lower half: a new last row
        {39, false, 3, false},
        {5, true, 0, true},     // a FullSize window never joins
        {10, true, 2, true},
    };
    for (const Case& c : cases) {
        bool newRow = true;
        EXPECT_EQ(FindRow(rows, 2, c.Position, c.FullWindow, newRow), c.Row) << c.Position;
        EXPECT_EQ(newRow, c.NewRow) << c.Position;
    }
    bool newRow = true;
    EXPECT_EQ(FindRow({}, -1, 50, false, newRow), 0);
    EXPECT_FALSE(newRow);
}

TEST_F(DragMode, TheSnapDistanceIsSharedInTheGrabsProportion)
{
    TDockedSize dock;
    dock.BoundsRect = QRect(100, 0, 200, 30);
    dock.Size = QPoint(101, 21);
    // Grabbed at the left edge: the whole 25 pixels lie before the dock, none after it.
    const TBarGrab left{{0, 10}, {100, 20}};
    EXPECT_TRUE(CheckIfCanDockTo(dock, false, {97 - 25, 10}, left));
    EXPECT_FALSE(CheckIfCanDockTo(dock, false, {97 - 26, 10}, left));
    EXPECT_FALSE(CheckIfCanDockTo(dock, false, {303, 10}, left));
    // Grabbed at the right edge: the other way round.
    const TBarGrab right{{100, 10}, {100, 20}};
    EXPECT_TRUE(CheckIfCanDockTo(dock, false, {327, 10}, right));
    EXPECT_FALSE(CheckIfCanDockTo(dock, false, {328, 10}, right));
    EXPECT_FALSE(CheckIfCanDockTo(dock, false, {96, 10}, right));
    // Across the dock the outline has to touch the dock's rectangle, 3 pixels larger.
    const TBarGrab middle{{50, 10}, {100, 20}};
    EXPECT_TRUE(CheckIfCanDockTo(dock, false, {200, 42}, middle));
    EXPECT_FALSE(CheckIfCanDockTo(dock, false, {200, 43}, middle));
    // A vertical dock also wants the cursor within its length.
    EXPECT_FALSE(CheckIfCanDockTo(dock, true, {200, 34}, middle));

    // A window of one pixel is grabbed at its centre: no division by zero.
    const TBarGrab dot{{0, 0}, {0, 0}};
    EXPECT_EQ(GrabShare(25, 0, 0), 12);
    EXPECT_EQ(OutlineAt(dock, {200, 100}, dot), QRect(150, 90, 101, 21));
    EXPECT_TRUE(CheckIfCanDockTo(dock, false, {97 - 13, 10}, dot));
    EXPECT_FALSE(CheckIfCanDockTo(dock, false, {97 - 14, 10}, dot));
}

// Across a dock running along the form the snap zone lies before and after it as well: a cursor
// a little above the dock's rectangle still docks; a dock standing upright wants the cursor
// within its length.
TEST_F(DragMode, ACursorJustBesideAHorizontalDockStillDocks)
{
    TDockedSize dock;
    dock.BoundsRect = QRect(100, 100, 200, 30);
    dock.Size = QPoint(101, 21);
    const TBarGrab middle{{50, 10}, {100, 20}};
    EXPECT_TRUE(CheckIfCanDockTo(dock, false, {200, 92}, middle));
    EXPECT_TRUE(CheckIfCanDockTo(dock, false, {200, 135}, middle));
    EXPECT_FALSE(CheckIfCanDockTo(dock, true, {200, 92}, middle));
    EXPECT_FALSE(CheckIfCanDockTo(dock, true, {200, 135}, middle));
    EXPECT_TRUE(CheckIfCanDockTo(dock, true, {200, 110}, middle));
    // A tall bar grabbed at its middle reaches the dock while the cursor is still far above it:
    // the snap zone, not the outline, decides.
    TDockedSize tall = dock;
    tall.Size = QPoint(101, 61);
    const TBarGrab centre{{50, 30}, {100, 60}};
    EXPECT_TRUE(CheckIfCanDockTo(tall, false, {200, 97 - 12}, centre));
    EXPECT_FALSE(CheckIfCanDockTo(tall, false, {200, 97 - 13}, centre));
    EXPECT_FALSE(CheckIfCanDockTo(tall, false, {200, 75}, centre));
}

// A floating outline dragged off the work area keeps a grip inside it: grabbed at its right
// border and pulled far to the left, its right edge stays border + 4 pixels inside.
TEST_F(DragMode, AFloatingOutlineKeepsAGripInsideTheWorkArea)
{
    bar->SetFloatingPosition({300, 300});
    bar->SetFloating(true);
    TBarFloatingWindowParent& floating = *bar->FloatParent();
    const QRect start = floating.geometry();
    const QPoint grip(start.right() - 1, start.top() + 10);
    bar->BeginMoving(grip);
    Mouse(QEvent::MouseMove, QPoint(-300, 300));
    Release(QPoint(-300, 300));
    ExpectEnded();
    ASSERT_TRUE(bar->Floating());
    EXPECT_EQ(bar->FloatParent()->geometry().right(), 8);
    EXPECT_EQ(bar->FloatParent()->geometry().size(), start.size());
    // Grabbed at its left border and pulled far to the right: its left edge stays as far inside.
    const QRect now = bar->FloatParent()->geometry();
    bar->BeginMoving(QPoint(now.left() + 1, now.top() + 10));
    Mouse(QEvent::MouseMove, QPoint(1300, 300));
    Release(QPoint(1300, 300));
    ExpectEnded();
    EXPECT_EQ(bar->FloatParent()->geometry().left(), 999 - 8);
}

// Without a close button the top of the gripper is gripper too: a press there drags. A close
// button is shown only where the dock allows dragging; a floating bar has none of its docked one.
TEST_F(DragMode, WithoutACloseButtonTheWholeGripperDrags)
{
    const auto press = [this](QPoint at) {
        QMouseEvent event(QEvent::MouseButtonPress, QPointF(at), bar->mapToGlobal(QPointF(at)), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(bar, &event);
    };
    press({4, 4});
    ASSERT_NE(TBarMode::Running(), nullptr);
    Release(bar->mapToGlobal(QPoint(4, 4)));
    ExpectEnded();

    bar->SetCloseButtonWhenDocked(true);
    top->SetAllowDrag(false);
    press({4, 4});
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(4, 4), bar->mapToGlobal(QPointF(4, 4)), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(bar, &release);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(TBarMode::Running(), nullptr);
    // A press on the client area where no control is drags too, where the dock allows it only.
    bar->Content->hide();
    const QPoint client = bar->ClientToWindow(QPoint(20, 10));
    press(client);
    EXPECT_EQ(TBarMode::Running(), nullptr);
    top->SetAllowDrag(true);
    press(client);
    ASSERT_NE(TBarMode::Running(), nullptr);
    Release(bar->mapToGlobal(client));
    ExpectEnded();
    bar->SetFloating(true);
    QMouseEvent move(QEvent::MouseMove, QPointF(4, 4), bar->mapToGlobal(QPointF(4, 4)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(bar, &move);
    EXPECT_TRUE(bar->Floating());
}

TEST_F(DragMode, BeginMovingReturnsAtOnceAndTimersRunDuringTheDrag)
{
    bar->BeginMoving(Handle());
    ASSERT_NE(TBarMode::Running(), nullptr);
    EXPECT_TRUE(bar->Dragging);
    EXPECT_EQ(QWidget::mouseGrabber(), form.get());
    bool fired = false;
    QTimer::singleShot(0, [&fired] { fired = true; });
    QCoreApplication::processEvents();
    EXPECT_TRUE(fired);
    EXPECT_NE(TBarMode::Running(), nullptr);
    // The release that ends the drag is the drag's: the widget it is sent to does not see it.
    ReleaseCounter under(form.get());
    const QPoint at = Handle();
    QMouseEvent release(QEvent::MouseButtonRelease, under.mapFromGlobal(QPointF(at)), QPointF(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&under, &release);
    ExpectEnded();
    EXPECT_EQ(under.Releases, 0);
    EXPECT_FALSE(bar->Dragging);
    EXPECT_EQ(bar->CurrentDock(), top);
}

TEST_F(DragMode, ADragFromTheTopDockLandsInTheRowAndPlaceOfTheBottomDock)
{
    const int row0 = bottom->GetRowSize(0);
    bar->BeginMoving(Handle());
    // The middle of the second row: the bar joins it, at the dropped position.
    const QPoint drop = IntoBottom(150, row0 + bottom->GetRowSize(1) / 2);
    Mouse(QEvent::MouseMove, drop);
    EXPECT_EQ(bar->CurrentDock(), bottom);
    Release(drop);
    ExpectEnded();
    EXPECT_EQ(bar->CurrentDock(), bottom);
    EXPECT_EQ(bar->DockRow(), 1);
    EXPECT_EQ(bar->DockPos(), 150);
    EXPECT_EQ(bar->geometry().left(), 150);
    EXPECT_EQ(bar->LastDock(), bottom);
    EXPECT_TRUE(top->DockVisibleList().empty());

    // The first quarter of the first row: a row of its own above it.
    bar->BeginMoving(bar->mapToGlobal(QPoint(3, 10)));
    const QPoint above = IntoBottom(20, 2);
    Mouse(QEvent::MouseMove, above);
    Release(above);
    EXPECT_EQ(bar->DockRow(), 0);
    EXPECT_EQ(bottom->GetHighestRow(false), 2);
    EXPECT_EQ(bar->EffectiveDockPos, 20);
}

// In a dock standing upright the rows are columns: the outline's centre across the dock, its
// middle from left to right, decides the column.
TEST_F(DragMode, ADragIntoAnUprightDockLandsInTheColumnUnderTheOutlinesCentre)
{
    auto* left = new TBarDock(form.get(), TBarDockPosition::dpLeft);
    for (int row = 0; row < 2; ++row) {
        auto* b = new FakeBar(nullptr, {60, 22});
        b->SetDockRow(row);
        b->SetParent(left);
    }
    const int first = left->GetRowSize(0);
    const int second = left->GetRowSize(1);
    ASSERT_GT(second, 40);
    const QPoint client = left->mapToGlobal(left->ClientRect().topLeft());
    bar->BeginMoving(Handle());
    // The outline is about as wide as the column and grabbed near its left edge: its centre
    // falls into the middle of the second column.
    const QPoint drop = client + QPoint(first + 3, 120);
    Mouse(QEvent::MouseMove, drop);
    Release(drop);
    ExpectEnded();
    ASSERT_EQ(bar->CurrentDock(), left);
    EXPECT_EQ(bar->DockRow(), 1);
    EXPECT_EQ(bar->geometry().left(), first);
}

TEST_F(DragMode, AWindowOfAnOverfullRowSlidesWithinItsRowOnceDraggedAlongIt)
{
    auto* first = new FakeBar(nullptr, {250, 22});
    first->Mode = TBarShrinkMode::tbsmChevron;
    first->MinShrink = 60;
    first->SetParent(top);
    auto* second = new FakeBar(nullptr, {250, 22});
    second->Mode = TBarShrinkMode::tbsmChevron;
    second->MinShrink = 60;
    second->SetDockPos(200);
    second->SetParent(top);
    ASSERT_EQ(second->EffectiveDockRow, first->EffectiveDockRow);

    const QPoint start = second->mapToGlobal(QPoint(3, 10));
    second->BeginMoving(start);
    ASSERT_TRUE(second->DragRowOverflow);
    Mouse(QEvent::MouseMove, start + QPoint(5, 0));
    EXPECT_FALSE(second->DragWithinRow);
    Mouse(QEvent::MouseMove, start + QPoint(-20, 0));
    EXPECT_TRUE(second->DragWithinRow);
    EXPECT_EQ(Cursor(), Qt::SizeHorCursor);
    // From now on it cannot leave its row, not even for the bottom dock.
    Mouse(QEvent::MouseMove, IntoBottom(100, 10));
    EXPECT_EQ(second->CurrentDock(), top);
    EXPECT_EQ(second->EffectiveDockRow, first->EffectiveDockRow);
    Release(IntoBottom(100, 10));
    ExpectEnded();
    EXPECT_FALSE(second->DragWithinRow);
    EXPECT_EQ(second->CurrentDock(), top);
}

TEST_F(DragMode, CtrlKeepsTheWindowFloatingAndReleasingItDocksWithoutAMove)
{
    bar->BeginMoving(Handle());
    const QPoint drop = IntoBottom(100, 10);
    Key(QEvent::KeyPress, Qt::Key_Control);
    Mouse(QEvent::MouseMove, drop);
    EXPECT_TRUE(bar->Floating());
    Key(QEvent::KeyRelease, Qt::Key_Control);
    EXPECT_EQ(bar->CurrentDock(), bottom);
    // Other keys are swallowed; they change nothing.
    Key(QEvent::KeyPress, Qt::Key_A);
    EXPECT_NE(TBarMode::Running(), nullptr);
    Release(drop);
    EXPECT_EQ(bar->CurrentDock(), bottom);
    // The floating window a drag passed through does not stay behind.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(bar->FloatParent(), nullptr);
}

TEST_F(DragMode, AWindowThatCannotFloatShowsNoAndStaysWhenDroppedOutsideEveryDock)
{
    bar->SetDockPos(30);
    bar->DockMode = TBarDockMode::dmCannotFloat;
    const QRect before = bar->geometry();
    bar->BeginMoving(Handle());
    const QPoint nowhere = form->mapToGlobal(QPoint(200, 150));
    Mouse(QEvent::MouseMove, nowhere);
    EXPECT_EQ(Cursor(), Qt::ForbiddenCursor);
    EXPECT_FALSE(bar->Floating());
    Release(nowhere);
    ExpectEnded();
    EXPECT_EQ(bar->CurrentDock(), top);
    EXPECT_EQ(bar->geometry(), before);
    EXPECT_EQ(bar->DockPos(), 30);
}

TEST_F(DragMode, AFloatingDropRestoresTheRowAndPositionForTheWayBack)
{
    bar->SetDockRow(0);
    bar->SetDockPos(50);
    bar->BeginMoving(Handle());
    const QPoint away = form->mapToGlobal(QPoint(200, 150));
    Mouse(QEvent::MouseMove, away);
    ASSERT_TRUE(bar->Floating());
    // The grab point keeps its proportion: 10 of 25 down the docked bar, 18 of 45 floating.
    EXPECT_EQ(bar->FloatParent()->pos(), away - QPoint(3, 18));
    Release(away);
    EXPECT_TRUE(bar->Floating());
    EXPECT_EQ(bar->DockRow(), 0);
    EXPECT_EQ(bar->DockPos(), 50);
    bar->DoubleClick();
    EXPECT_EQ(bar->CurrentDock(), top);
    EXPECT_EQ(bar->geometry().left(), 50);
}

// A smooth drag that passes over another dock and ends floating leaves LastDock alone: the
// double-click takes the window back to where it came from, not to the dock it crossed.
TEST_F(DragMode, ADockCrossedInASmoothDragIsNotTheDockToReturnTo)
{
    bar->SetDockRow(0);
    bar->SetDockPos(40);
    ASSERT_EQ(bar->LastDock(), top);
    bar->BeginMoving(Handle());
    const QPoint overBottom = IntoBottom(150, bottom->GetRowSize(0) / 2);
    Mouse(QEvent::MouseMove, overBottom);
    ASSERT_EQ(bar->CurrentDock(), bottom);
    EXPECT_EQ(bar->LastDock(), top);
    const QPoint away = form->mapToGlobal(QPoint(200, 120));
    Mouse(QEvent::MouseMove, away);
    ASSERT_TRUE(bar->Floating());
    Release(away);
    ExpectEnded();
    EXPECT_EQ(bar->LastDock(), top);
    // The bottom dock forgot it; the top dock keeps it for the way back.
    const auto& crossed = bottom->DockList();
    EXPECT_EQ(std::count(crossed.begin(), crossed.end(), bar), 0);
    bar->DoubleClick();
    EXPECT_EQ(bar->CurrentDock(), top);
    EXPECT_EQ(bar->DockRow(), 0);
    EXPECT_EQ(bar->geometry().left(), 40);
}

// While it crossed the bottom dock the bar's home dock arranged it hidden at the crossed dock's
// row 0, where the FullSize bar pushed it and the bar behind it down a row. Dropped floating, its
// home dock is arranged again at the restored row: the next drag, begun on the floating caption,
// commits the rows as they were.
TEST_F(DragMode, ABarDroppedFloatingAfterCrossingADockLeavesItsHomeRowsAsTheyWere)
{
    auto* full = new FakeBar(nullptr, {120, 22});
    full->SetFullSize(true);
    bar->SetDockRow(1);
    full->SetParent(top);
    auto* behind = new FakeBar(nullptr, {60, 22});
    behind->SetDockRow(1);
    behind->SetDockPos(200);
    behind->SetParent(top);
    ASSERT_EQ(behind->EffectiveDockRow, 1);

    bar->BeginMoving(Handle());
    const QPoint overBottom = IntoBottom(150, 2);
    Mouse(QEvent::MouseMove, overBottom);
    ASSERT_EQ(bar->CurrentDock(), bottom);
    ASSERT_EQ(bar->DockRow(), 0);
    const QPoint away = form->mapToGlobal(QPoint(200, 150));
    Mouse(QEvent::MouseMove, away);
    ASSERT_TRUE(bar->Floating());
    Release(away);
    ExpectEnded();
    EXPECT_EQ(bar->DockRow(), 1);
    EXPECT_EQ(behind->EffectiveDockRow, 1);

    const QRect floating = bar->FloatParent()->geometry();
    bar->BeginMoving(floating.topLeft() + QPoint(floating.width() / 2, 6));
    Key(QEvent::KeyPress, Qt::Key_Escape);
    ExpectEnded();
    EXPECT_EQ(behind->DockRow(), 1);
    EXPECT_EQ(full->DockRow(), 0);
    bar->DoubleClick();
    EXPECT_EQ(bar->CurrentDock(), top);
    EXPECT_EQ(bar->EffectiveDockRow, 1);
    EXPECT_EQ(behind->EffectiveDockRow, 1);
}

TEST_F(DragMode, EscapeInOutlineModeChangesNothingAndTakesTheOutlineAway)
{
    bar->SmoothDrag = false;
    const QRect before = bar->geometry();
    bar->BeginMoving(Handle());
    const QPoint away = form->mapToGlobal(QPoint(200, 150));
    Mouse(QEvent::MouseMove, away);
    const TBarDragOutline* outline = TBarMode::Running()->Outline();
    ASSERT_NE(outline, nullptr);
    const QPointer<const QWidget> overlay = outline;
    EXPECT_TRUE(outline->isVisible());
    EXPECT_TRUE(outline->windowFlags().testFlag(Qt::WindowTransparentForInput));
    // The floating outline: the floating size, a frame of the border width, the grab kept.
    EXPECT_EQ(outline->OutlineRect(), QRect(away - QPoint(3, 18), QSize(88, 46)));
    EXPECT_EQ(outline->mask(), CreateFrameRegion(QRect(0, 0, 88, 46), QSize(4, 4)).ToQRegion());
    EXPECT_EQ(bar->CurrentDock(), top);

    // Over the bottom dock the docked outline has a frame of one pixel.
    Mouse(QEvent::MouseMove, IntoBottom(100, 10));
    EXPECT_EQ(outline->FrameSize(), QSize(1, 1));
    EXPECT_EQ(bar->CurrentDock(), top);

    Key(QEvent::KeyPress, Qt::Key_Escape);
    ExpectEnded();
    EXPECT_TRUE(overlay.isNull());
    EXPECT_EQ(bar->CurrentDock(), top);
    EXPECT_EQ(bar->geometry(), before);
}

TEST_F(DragMode, AnAcceptedOutlineDragDocksWhereTheOutlineWas)
{
    bar->SmoothDrag = false;
    bar->BeginMoving(Handle());
    const QPoint drop = IntoBottom(120, bottom->GetRowSize(0) / 2);
    Mouse(QEvent::MouseMove, drop);
    EXPECT_EQ(bar->CurrentDock(), top);
    Release(drop);
    EXPECT_EQ(bar->CurrentDock(), bottom);
    EXPECT_EQ(bar->DockRow(), 0);
    EXPECT_EQ(bar->geometry().left(), 120);
}

TEST_F(DragMode, AWindowOfOnePixelDragsWithoutADivisionByZero)
{
    auto* dot = new FakeBar(nullptr, {1, 1});
    dot->SetParent(form.get());
    ASSERT_EQ(dot->size(), QSize(1, 1));
    dot->BeginMoving(dot->mapToGlobal(QPoint(0, 0)));
    const QPoint away = form->mapToGlobal(QPoint(200, 150));
    Mouse(QEvent::MouseMove, away);
    ASSERT_TRUE(dot->Floating());
    // Grabbed at the centre of its floating size (9 x 25).
    EXPECT_EQ(dot->FloatParent()->geometry(), QRect(away - QPoint(4, 12), QSize(9, 25)));
    Release(away);
    ExpectEnded();
}

TEST_F(DragMode, TheFormGoingOrAHandlerRaisingEndsTheMode)
{
    bar->BeginMoving(Handle());
    QTimer::singleShot(0, [this] { form.reset(); });
    QCoreApplication::processEvents();
    ExpectEnded();
    EXPECT_FALSE(form);

    SetUp();
    ScriptedPromptService prompts;
    bar->BeginMoving(Handle());
    bar->RaiseOnArrange = true;
    Mouse(QEvent::MouseMove, IntoBottom(100, 10));
    ExpectEnded();
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0].Text, "arrange");
    bar->RaiseOnArrange = false;
    // No filter is left: later events reach the form as usual and move nothing.
    const QRect before = bar->geometry();
    Mouse(QEvent::MouseMove, IntoBottom(200, 10));
    EXPECT_EQ(bar->geometry(), before);
    EXPECT_FALSE(bar->Dragging);
}

TEST_F(DragMode, LosingTheGrabOrTheApplicationCancels)
{
    bar->BeginMoving(Handle());
    form->releaseMouse();
    Mouse(QEvent::MouseMove, IntoBottom(100, 10));
    ExpectEnded();
    EXPECT_EQ(bar->CurrentDock(), top);

    bar->BeginMoving(Handle());
    QApplicationStateChangeEvent inactive(Qt::ApplicationInactive);
    QCoreApplication::sendEvent(qApp, &inactive);
    ExpectEnded();
    QApplicationStateChangeEvent active(Qt::ApplicationActive);
    QCoreApplication::sendEvent(qApp, &active);
}

TEST_F(SizeMode, SizingStopsAtTheMinimumWithTheOppositeEdgeFixed)
{
    bar->SetFloatingPosition({300, 300});
    bar->SetFloating(true);
    TBarFloatingWindowParent& floating = *bar->FloatParent();
    const QRect start = floating.geometry();
    ASSERT_EQ(start, QRect(300, 300, 88, 46));

    // From the left edge far to the right: 30 + 8 wide, the right edge where it was.
    const QPoint leftEdge(300, 320);
    bar->BeginSizing(0, leftEdge);
    Mouse(QEvent::MouseMove, leftEdge + QPoint(1000, 0));
    EXPECT_EQ(floating.geometry(), QRect(start.right() - 37, 300, 38, 46));
    EXPECT_EQ(bar->size(), QSize(30, 22));
    Release(leftEdge + QPoint(1000, 0));
    ExpectEnded();
    EXPECT_EQ(bar->Ended, 1);

    // The bottom-right corner grows both ways, the top left fixed; a maximum holds the width.
    bar->MaxWidth = 100;
    const QRect now = floating.geometry();
    const QPoint corner = now.bottomRight();
    bar->BeginSizing(7, corner);
    Mouse(QEvent::MouseMove, corner + QPoint(200, 20));
    EXPECT_EQ(floating.geometry(), QRect(now.topLeft(), QSize(108, now.height() + 20)));
    EXPECT_GE(bar->Tracked, 2);
    Key(QEvent::KeyPress, Qt::Key_Escape);
    ExpectEnded();
    // Smooth sizing has already applied what it showed.
    EXPECT_EQ(floating.width(), 108);

    // Outline sizing applies only when accepted.
    bar->SmoothDrag = false;
    bar->BeginSizing(7, floating.geometry().bottomRight());
    Mouse(QEvent::MouseMove, floating.geometry().bottomRight() + QPoint(-20, 0));
    EXPECT_EQ(floating.width(), 108);
    Release(floating.geometry().bottomRight() + QPoint(-20, 0));
    EXPECT_EQ(floating.width(), 88);
}

// A floating bar sized by its top or its top-right corner grows upwards: the top edge follows
// the cursor and the bottom edge stays where it was, as the user sees the frame under the mouse.
TEST_F(SizeMode, SizingFromTheTopMovesTheTopEdgeAndKeepsTheBottom)
{
    bar->SetFloatingPosition({300, 300});
    bar->SetFloating(true);
    TBarFloatingWindowParent& floating = *bar->FloatParent();
    const QRect start = floating.geometry();
    ASSERT_EQ(start, QRect(300, 300, 88, 46));

    const QPoint topRight(start.right(), start.top());
    bar->BeginSizing(HTTOPRIGHT - HTLEFT, topRight);
    Mouse(QEvent::MouseMove, topRight + QPoint(20, -15));
    EXPECT_EQ(floating.geometry(), QRect(300, 285, 108, 61));
    Release(topRight + QPoint(20, -15));
    ExpectEnded();

    const QRect now = floating.geometry();
    const QPoint top(now.center().x(), now.top());
    bar->BeginSizing(HTTOP - HTLEFT, top);
    Mouse(QEvent::MouseMove, top + QPoint(30, 10));
    EXPECT_EQ(floating.geometry(), QRect(300, 295, 108, 51));
    Release(top + QPoint(30, 10));
    ExpectEnded();
}

// On a single monitor the cursor stays inside the work area while a floating bar is sized, and
// the size follows the held cursor; with the option off, or on two monitors, it goes free.
TEST_F(SizeMode, TheCursorStaysInTheWorkAreaWhileAFloatingBarIsSized)
{
    bar->SetFloatingPosition({300, 300});
    bar->SetFloating(true);
    TBarFloatingWindowParent& floating = *bar->FloatParent();
    const QRect start = floating.geometry();
    const QPoint corner = start.bottomRight();
    bar->BeginSizing(7, corner);
    Mouse(QEvent::MouseMove, QPoint(1300, 900));
    EXPECT_EQ(QCursor::pos(), QPoint(999, 699));
    EXPECT_EQ(floating.geometry(), QRect(start.topLeft(), QPoint(999, 699)));
    Release(QPoint(999, 699));
    ExpectEnded();

    SystemParamsOverride().Monitors->push_back({QRect(1000, 0, 800, 600), QRect(1000, 0, 800, 600)});
    const QRect now = floating.geometry();
    bar->BeginSizing(1, QPoint(now.right(), now.top() + 20));
    Mouse(QEvent::MouseMove, QPoint(1100, now.top() + 20));
    EXPECT_EQ(floating.geometry().right(), 1100);
    Release(QPoint(1100, now.top() + 20));
}

// The drag driven as the window system sends it: the press to the bar under the mouse, the
// moves and the release to the form that holds the mouse. A dock that allows no drag keeps its
// bars where they are.
TEST_F(DragMode, APressOnTheGripperDragsOnlyWhereTheDockAllowsIt)
{
    const auto press = [this](QPoint global) {
        QMouseEvent event(QEvent::MouseButtonPress, bar->mapFromGlobal(global), global, Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(bar, &event);
    };
    // Without drag there is no gripper: its place and the frame around the bar stay still.
    top->SetAllowDrag(false);
    press(Handle());
    press(bar->mapToGlobal(QPoint(1, 10)));
    EXPECT_EQ(TBarMode::Running(), nullptr);
    EXPECT_FALSE(bar->Dragging);
    top->SetAllowDrag(true);
    press(Handle());
    ASSERT_NE(TBarMode::Running(), nullptr);
    EXPECT_EQ(QWidget::mouseGrabber(), form.get());
    // The row has room: a move along it does not tie the bar to its row.
    Mouse(QEvent::MouseMove, Handle() + QPoint(-20, 0));
    Mouse(QEvent::MouseMove, Handle() + QPoint(20, 0));
    EXPECT_FALSE(bar->DragRowOverflow);
    EXPECT_FALSE(bar->DragWithinRow);
    const QPoint drop = IntoBottom(120, 5);
    Mouse(QEvent::MouseMove, drop);
    Release(drop);
    ExpectEnded();
    EXPECT_EQ(bar->CurrentDock(), bottom);
}

// Sizing is for a floating bar only, and never while another mode runs.
TEST_F(SizeMode, ADockedBarOrARunningModeStartsNoSizing)
{
    bar->BeginSizing(7, Handle());
    EXPECT_EQ(TBarMode::Running(), nullptr);
    bar->SetFloatingPosition({300, 300});
    bar->SetFloating(true);
    bar->BeginSizing(8, QPoint(300, 300));
    EXPECT_EQ(TBarMode::Running(), nullptr);
    bar->BeginMoving(QPoint(310, 305));
    TBarMode* moving = TBarMode::Running();
    ASSERT_NE(moving, nullptr);
    const QRect before = bar->FloatParent()->geometry();
    bar->BeginSizing(7, before.bottomRight());
    EXPECT_EQ(TBarMode::Running(), moving);
    Key(QEvent::KeyPress, Qt::Key_Escape);
    ExpectEnded();
    EXPECT_EQ(bar->FloatParent()->geometry(), before);
}

// A hidden dock takes no bar: dropped where it would be, the bar floats; shown again it docks.
TEST_F(DragMode, AHiddenDockTakesNoBar)
{
    const QPoint drop = IntoBottom(150, 5);
    bottom->hide();
    bar->BeginMoving(Handle());
    Mouse(QEvent::MouseMove, drop);
    Release(drop);
    ExpectEnded();
    EXPECT_TRUE(bar->Floating());
    bottom->show();
    bar->DockMode = TBarDockMode::dmCanFloat;
    bar->BeginMoving(bar->FloatParent()->geometry().topLeft() + QPoint(20, 8));
    Mouse(QEvent::MouseMove, drop);
    Release(drop);
    ExpectEnded();
    EXPECT_EQ(bar->CurrentDock(), bottom);
}

TEST(DragOutline, TheFrameRegionAndTheHalftoneBrush)
{
    EXPECT_TRUE(CreateFrameRegion(QRect(), QSize(2, 2)).IsEmpty());
    const Region frame = CreateFrameRegion(QRect(10, 10, 20, 10), QSize(2, 3));
    EXPECT_TRUE(frame.Contains(10, 10));
    EXPECT_TRUE(frame.Contains(11, 15));
    EXPECT_FALSE(frame.Contains(12, 15));
    EXPECT_TRUE(frame.Contains(20, 12));
    EXPECT_FALSE(frame.Contains(20, 13));
    EXPECT_TRUE(frame.Contains(29, 19));
    EXPECT_FALSE(frame.Contains(30, 19));
    // A frame thicker than half the rectangle is the whole rectangle.
    EXPECT_EQ(CreateFrameRegion(QRect(0, 0, 4, 4), QSize(3, 3)).ToQRegion(), QRegion(0, 0, 4, 4));

    const Brush brush = CreateHalftoneBrush();
    EXPECT_EQ(brush.Style, BrushStyle::Pattern);
    EXPECT_EQ(brush.Pattern >> 56, 0x55u);
    EXPECT_EQ((brush.Pattern >> 48) & 0xFF, 0xAAu);
}
