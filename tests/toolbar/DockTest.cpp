// The dock's row layout with fake bars of fixed size (a bar of base size 50 x 20 with a single
// drag handle is 60 long on a top dock and makes a row 24 thick): thickness, rows of their own,
// empty rows, gaps, wrapping, shrinking, stretching, the outer edge kept, hidden rows, bound lines,
// and the errors.
#include "toolbar/TBarDock.h"

#include "FakeBar.h"
#include "platform/Canvas.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>

#include <memory>

using namespace velmoran;
using namespace velmoran::testing;

namespace {

}  // namespace

QT_BEGIN_NAMESPACE
inline void PrintTo(const QRect& r, std::ostream* os)
{
    *os << "QRect(" << r.x() << ", " << r.y() << ", " << r.width() << ", " << r.height() << ")";
}
QT_END_NAMESPACE

namespace {

QRect Bounds(const QWidget& bar)
{
    return bar.geometry();
}

}  // namespace

TEST(Dock, ThicknessOfAnEmptyDockAndOfBoundLines)
{
    auto form = ShownForm(400, 300);
    auto* dock = new TBarDock(form.get());
    EXPECT_EQ(dock->height(), 0);
    dock->SetFixAlign(true);
    EXPECT_EQ(dock->height(), 1);

    auto* bar = new FakeBar(dock);
    EXPECT_EQ(dock->height(), 24);
    EXPECT_EQ(Bounds(*bar), QRect(0, 0, 60, 24));
    // Each bound line takes one pixel, and the bars lie inside them.
    dock->SetBoundLines(blTop | blBottom);
    EXPECT_EQ(dock->height(), 26);
    EXPECT_EQ(Bounds(*bar), QRect(0, 1, 60, 24));
    dock->SetBoundLines(blTop | blBottom | blLeft);
    EXPECT_EQ(Bounds(*bar), QRect(1, 1, 60, 24));
}

TEST(Dock, EmptyRowsCloseUpAndOwnRowsPushTheOthersDown)
{
    auto form = ShownForm(400, 300);
    auto* dock = new TBarDock(form.get());
    auto* a = new FakeBar(dock);
    auto* b = new FakeBar(dock);
    a->SetDockRow(0);
    b->SetDockRow(5);
    EXPECT_EQ(a->EffectiveDockRow, 0);
    EXPECT_EQ(b->EffectiveDockRow, 1);
    EXPECT_EQ(dock->height(), 48);
    // The stored rows stay what the program set, until positions are committed.
    EXPECT_EQ(b->DockRow(), 5);
    dock->CommitPositions();
    EXPECT_EQ(b->DockRow(), 1);

    // A full-size bar keeps its row alone and takes the whole length.
    b->SetDockRow(0);
    b->SetDockPos(100);
    EXPECT_EQ(b->EffectiveDockRow, 0);
    a->SetFullSize(true);
    EXPECT_EQ(a->EffectiveDockRow, 0);
    EXPECT_EQ(b->EffectiveDockRow, 1);
    EXPECT_EQ(Bounds(*a), QRect(0, 0, 400, 24));
    a->SetFullSize(false);

    // A bar asking for a new row keeps row 0 to itself; the rest move down.
    b->InsertNewRow = true;
    dock->ArrangeToolbars();
    EXPECT_EQ(b->EffectiveDockRow, 0);
    EXPECT_EQ(a->EffectiveDockRow, 1);
}

TEST(Dock, AGapIsKeptThenConsumedThenTheRowWraps)
{
    auto form = ShownForm(900, 300);
    auto* dock = new TBarDock(form.get());
    auto* a = new FakeBar(dock);
    auto* b = new FakeBar(dock);
    a->SetDockPos(0);
    b->SetDockPos(500);
    EXPECT_EQ(Bounds(*a), QRect(0, 0, 60, 24));
    EXPECT_EQ(Bounds(*b), QRect(500, 0, 60, 24));

    form->resize(400, 300);
    EXPECT_EQ(dock->width(), 400);
    EXPECT_EQ(Bounds(*b), QRect(340, 0, 60, 24));

    // Alone in its new row the bar still wants 500: its gap shrinks until it ends at the dock's end.
    form->resize(100, 300);
    EXPECT_EQ(b->EffectiveDockRow, 1);
    EXPECT_EQ(Bounds(*b), QRect(40, 24, 60, 24));
    EXPECT_EQ(dock->height(), 48);

    // Wider again: the wanted position counts once more.
    form->resize(900, 300);
    EXPECT_EQ(Bounds(*b), QRect(500, 0, 60, 24));
}

TEST(Dock, LimitToOneRowShrinksChevronBarsAndALoneWrapBar)
{
    auto form = ShownForm(100, 300);
    auto* dock = new TBarDock(form.get());
    dock->SetLimitToOneRow(true);
    auto* a = new FakeBar(dock);
    auto* b = new FakeBar(dock);
    a->Mode = b->Mode = TBarShrinkMode::tbsmChevron;
    a->MinShrink = b->MinShrink = 30;
    a->SetDockPos(0);
    b->SetDockPos(60);
    b->SetDockRow(3);
    dock->ArrangeToolbars();
    EXPECT_EQ(b->EffectiveDockRow, 0);
    // 120 wanted in 100: the last chevron bar gives up 20.
    EXPECT_EQ(Bounds(*a), QRect(0, 0, 60, 24));
    EXPECT_EQ(Bounds(*b), QRect(60, 0, 40, 24));
    EXPECT_EQ(b->ShrunkLength, 40);
    EXPECT_EQ(a->ShrunkLength, 0);
    // A bar that wants to lie inside the one before it pushes that one smaller instead.
    b->SetDockPos(10);
    EXPECT_EQ(Bounds(*a), QRect(0, 0, 40, 24));
    EXPECT_EQ(Bounds(*b), QRect(40, 0, 60, 24));
    EXPECT_EQ(a->ShrunkLength, 40);
    EXPECT_EQ(b->ShrunkLength, 0);

    // Bars that cannot shrink stay in the row and stick out.
    a->Mode = b->Mode = TBarShrinkMode::tbsmNone;
    dock->ArrangeToolbars();
    EXPECT_EQ(Bounds(*b), QRect(60, 0, 60, 24));

    // A wrapping bar shrinks only when it is alone in its row.
    a->Mode = b->Mode = TBarShrinkMode::tbsmWrap;
    dock->ArrangeToolbars();
    EXPECT_EQ(Bounds(*b).width(), 60);
    b->hide();
    form->resize(50, 300);
    EXPECT_EQ(Bounds(*a), QRect(0, 0, 50, 24));
}

TEST(Dock, StretchBarsReachTheNextBarOrTheRowsEnd)
{
    auto form = ShownForm(400, 300);
    auto* dock = new TBarDock(form.get());
    auto* a = new FakeBar(dock);
    auto* b = new FakeBar(dock);
    a->SetDockPos(0);
    b->SetDockPos(200);
    a->SetStretch(true);
    EXPECT_EQ(Bounds(*a), QRect(0, 0, 200, 24));
    EXPECT_EQ(Bounds(*b), QRect(200, 0, 60, 24));

    a->SetStretch(false);
    b->SetDockPos(100);
    b->SetStretch(true);
    EXPECT_EQ(Bounds(*a), QRect(0, 0, 60, 24));
    EXPECT_EQ(Bounds(*b), QRect(60, 0, 340, 24));
}

TEST(Dock, BottomAndRightDocksKeepTheirOuterEdge)
{
    auto form = ShownForm(400, 300);
    auto* bottom = new TBarDock(form.get(), TBarDockPosition::dpBottom);
    auto* right = new TBarDock(form.get(), TBarDockPosition::dpRight);
    auto* b1 = new FakeBar(bottom);
    EXPECT_EQ(bottom->geometry(), QRect(0, 276, 400, 24));
    auto* b2 = new FakeBar(bottom);
    b2->SetDockRow(1);
    EXPECT_EQ(bottom->geometry(), QRect(0, 252, 400, 48));
    EXPECT_EQ(Bounds(*b1), QRect(0, 0, 60, 24));
    EXPECT_EQ(Bounds(*b2), QRect(0, 24, 60, 24));

    // On a vertical dock the handle lies at the top: 20 + 4 + 6 long, 50 + 4 thick.
    auto* r1 = new FakeBar(right);
    EXPECT_EQ(Bounds(*r1), QRect(0, 0, 54, 30));
    EXPECT_EQ(right->geometry(), QRect(346, 0, 54, 252));
    auto* r2 = new FakeBar(right);
    r2->SetDockRow(1);
    EXPECT_EQ(right->geometry(), QRect(292, 0, 108, 252));
    // Bound lines of a dock do not move its outer edge either.
    bottom->SetBoundLines(blTop);
    EXPECT_EQ(bottom->geometry(), QRect(0, 251, 400, 49));
}

TEST(Dock, AHiddenRowKeepsItsNumberButTakesNoSpace)
{
    auto form = ShownForm(400, 300);
    auto* dock = new TBarDock(form.get());
    auto* a = new FakeBar(dock);
    auto* b = new FakeBar(dock);
    auto* c = new FakeBar(dock);
    b->SetDockRow(1);
    c->SetDockRow(2);
    EXPECT_EQ(dock->height(), 72);
    std::vector<std::string> log;
    dock->OnInsertRemoveBar = [&log](TBarDock&, bool inserting, TBarCustomDockableWindow&) { log.push_back(inserting ? "in" : "out"); };
    b->hide();
    EXPECT_EQ(log, std::vector<std::string>{"out"});
    EXPECT_EQ(dock->height(), 48);
    EXPECT_EQ(b->EffectiveDockRow, 1);
    EXPECT_EQ(c->EffectiveDockRow, 2);
    EXPECT_EQ(Bounds(*c), QRect(0, 24, 60, 24));
    EXPECT_EQ(dock->GetRowOf(30), 2);
    b->show();
    EXPECT_EQ(dock->height(), 72);
    EXPECT_EQ(dock->DockVisibleList().size(), 3u);
    EXPECT_EQ(a->EffectiveDockRow, 0);
    // A bar that goes takes its row with it.
    delete c;
    EXPECT_EQ(dock->height(), 48);
    EXPECT_EQ(dock->DockList().size(), 2u);
}

TEST(Dock, UpdatesAreGatheredIntoOneArrangement)
{
    auto form = ShownForm(400, 300);
    auto* dock = new TBarDock(form.get());
    auto* a = new FakeBar(dock);
    dock->BeginUpdate();
    a->SetDockPos(100);
    EXPECT_TRUE(dock->ArrangeToolbarsNeeded());
    EXPECT_EQ(Bounds(*a).left(), 0);
    dock->EndUpdate();
    EXPECT_FALSE(dock->ArrangeToolbarsNeeded());
    EXPECT_EQ(Bounds(*a).left(), 100);
}

TEST(Dock, PositionAndParentErrors)
{
    auto form = ShownForm(400, 300);
    auto* dock = new TBarDock(form.get());
    dock->SetPosition(TBarDockPosition::dpLeft);
    EXPECT_EQ(form->Layout().AlignOf(*dock), TAlign::alLeft);
    auto* bar = new FakeBar(dock);
    try {
        dock->SetPosition(TBarDockPosition::dpTop);
        FAIL() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Cannot change Position of a TBarDock if it already contains controls");
    }
    EXPECT_EQ(dock->Position(), TBarDockPosition::dpLeft);

    const std::string wrongParent = "A TBarDock control cannot be placed inside a tool window or another TBarDock";
    try {
        new TBarDock(bar);
        FAIL() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), wrongParent);
    }
    auto* other = new TBarDock(form.get());
    try {
        other->SetParent(dock);
        FAIL() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), wrongParent);
    }
    EXPECT_EQ(other->parentWidget(), form.get());
}

namespace {

// Stripes anchored to the dock's parent: the colour of a pixel depends on where it lies in the form.
ColorRef Stripe(int x, int y)
{
    return ((x + y) / 3) % 2 ? RGBRef(255, 0, 0) : RGBRef(0, 0, 255);
}

class FakeBackground : public TBarBasicBackground {
public:
    void Draw(Canvas& canvas, const TRect& rect) override
    {
        ++draws;
        for (int y = rect.Top; y < rect.Bottom; ++y)
            for (int x = rect.Left; x < rect.Right; ++x)
                canvas.FillRect({x, y, x + 1, y + 1}, Stripe(x, y));
    }
    std::vector<ColorRef> GetPalette() override { return {}; }
    void RegisterChanges(QObject* link, std::function<void()>) override { links.push_back(link); }
    void SysColorChanged() override {}
    void UnregisterChanges(QObject* link) override { std::erase(links, link); }
    bool UsingBackground() override { return true; }
    std::vector<QObject*> links;
    int draws = 0;
};

}  // namespace

TEST(Dock, ABackgroundIsReferencedNotOwned)
{
    auto form = ShownForm(400, 300);
    auto* dock = new TBarDock(form.get());
    auto background = std::make_unique<FakeBackground>();
    EXPECT_FALSE(dock->UsingBackground());
    dock->SetBackground(background.get());
    EXPECT_TRUE(dock->UsingBackground());
    EXPECT_EQ(background->links, std::vector<QObject*>{dock});
    dock->SetBackground(nullptr);
    EXPECT_TRUE(background->links.empty());

    // Drawn on the dock and inside the bars' frames and client areas, one pattern across them.
    dock->SetBackground(background.get());
    auto* bar = new FakeBar(dock);
    bar->Content->hide();
    dock->SetBoundLines(blTop);
    const QImage shot = form->grab().toImage();
    EXPECT_GT(background->draws, 0);
    for (QPoint p : {QPoint(200, 10), QPoint(201, 11), QPoint(1, 10), QPoint(30, 10), QPoint(31, 12), QPoint(58, 20)}) {
        const ColorRef c = Stripe(p.x(), p.y());
        EXPECT_EQ(shot.pixel(p), qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF)) << p.x() << "," << p.y();
    }
    // Without painting on the bars their face is the bar's colour.
    dock->SetBackgroundOnToolbars(false);
    EXPECT_EQ(form->grab().toImage().pixel(30, 10), qRgb(0xC0, 0xC0, 0xC0));

    background.reset();
    EXPECT_EQ(dock->Background(), nullptr);
    EXPECT_FALSE(dock->UsingBackground());
}

TEST(Dock, ADraggedBarLandsWhereItIsDraggedAndTheBarsBehindItStay)
{
    auto form = ShownForm(400, 300);
    auto* dock = new TBarDock(form.get());
    auto* a = new FakeBar(dock);
    auto* b = new FakeBar(dock);
    auto* c = new FakeBar(dock);
    a->SetDockPos(50);
    b->SetDockPos(120);
    c->SetDockPos(250);
    ASSERT_EQ(Bounds(*b), QRect(120, 0, 60, 24));

    // Dragged into the bar before it: that bar gives way out of its gap in front.
    b->Dragging = true;
    b->SetDockPos(70);
    EXPECT_EQ(Bounds(*a), QRect(10, 0, 60, 24));
    EXPECT_EQ(Bounds(*b), QRect(70, 0, 60, 24));
    EXPECT_EQ(Bounds(*c), QRect(250, 0, 60, 24));

    // Dragged within its row it cannot pass its neighbour; without that it sorts in front of it.
    b->DragWithinRow = true;
    b->SetDockPos(20);
    EXPECT_EQ(Bounds(*a), QRect(0, 0, 60, 24));
    EXPECT_EQ(Bounds(*b), QRect(60, 0, 60, 24));
    b->DragWithinRow = false;
    dock->ArrangeToolbars();
    EXPECT_EQ(Bounds(*b), QRect(20, 0, 60, 24));
    EXPECT_EQ(Bounds(*a), QRect(80, 0, 60, 24));
}
