// The way to the next cell: every direction's walk over a 4 x 3 grid with one fixed row and
// column, the four end policies at each walk's end, cells that fail the test skipped, the walk
// ending where it began, and a grid of a single cell. On the widget: Tab and Shift+Tab with tab
// stops, the inserted row of lc_newcolrow and the focus leaving with lc_exit.
#include "tests/controls/AlignedGridSupport.h"

#include <gtest/gtest.h>

#include <QApplication>

using namespace velmoran;
using namespace velmoran::aligned;
using velmoran::testing::TestAlignedGrid;

namespace {

const TGridShape kShape{4, 3, 1, 1};

bool Any(int, int)
{
    return true;
}

struct Walk {
    T_nextcell Direction;
    std::vector<std::pair<int, int>> Order;
    TNextCell Grown;   // lc_newcolrow at the end
    TNextCell Corner;  // lc_first at the end
};

const Walk kWalks[] = {
    {nc_rightdown, {{1, 1}, {2, 1}, {3, 1}, {1, 2}, {2, 2}, {3, 2}}, {TNextCell::InsertRow, 1, 3, 3}, {TNextCell::Cell, 1, 1}},
    {nc_downright, {{1, 1}, {1, 2}, {2, 1}, {2, 2}, {3, 1}, {3, 2}}, {TNextCell::InsertCol, 4, 1, 4}, {TNextCell::Cell, 1, 1}},
    {nc_leftdown, {{3, 1}, {2, 1}, {1, 1}, {3, 2}, {2, 2}, {1, 2}}, {TNextCell::InsertRow, 3, 3, 3}, {TNextCell::Cell, 3, 1}},
    {nc_downleft, {{3, 1}, {3, 2}, {2, 1}, {2, 2}, {1, 1}, {1, 2}}, {TNextCell::InsertCol, 1, 1, 1}, {TNextCell::Cell, 3, 1}},
    {nc_leftup, {{3, 2}, {2, 2}, {1, 2}, {3, 1}, {2, 1}, {1, 1}}, {TNextCell::InsertRow, 3, 1, 1}, {TNextCell::Cell, 3, 2}},
    {nc_upleft, {{3, 2}, {3, 1}, {2, 2}, {2, 1}, {1, 2}, {1, 1}}, {TNextCell::InsertCol, 1, 2, 1}, {TNextCell::Cell, 3, 2}},
    {nc_rightup, {{1, 2}, {2, 2}, {3, 2}, {1, 1}, {2, 1}, {3, 1}}, {TNextCell::InsertRow, 1, 1, 1}, {TNextCell::Cell, 1, 2}},
    {nc_upright, {{1, 2}, {1, 1}, {2, 2}, {2, 1}, {3, 2}, {3, 1}}, {TNextCell::InsertCol, 4, 2, 4}, {TNextCell::Cell, 1, 2}},
};

}  // namespace

TEST(AlignedGridNavigation, EveryDirectionWalksItsOrderAndEachPolicyActsAtTheEnd)
{
    for (const Walk& walk : kWalks) {
        SCOPED_TRACE(walk.Direction);
        for (std::size_t i = 0; i + 1 < walk.Order.size(); ++i) {
            const auto [col, row] = walk.Order[i];
            const auto [nextCol, nextRow] = walk.Order[i + 1];
            EXPECT_EQ(NextCell(kShape, col, row, walk.Direction, lc_stop, Any),
                      (TNextCell{TNextCell::Cell, nextCol, nextRow}));
        }
        const auto [lastCol, lastRow] = walk.Order.back();
        EXPECT_EQ(NextCell(kShape, lastCol, lastRow, walk.Direction, lc_newcolrow, Any), walk.Grown);
        EXPECT_EQ(NextCell(kShape, lastCol, lastRow, walk.Direction, lc_stop, Any),
                  (TNextCell{TNextCell::Stay, lastCol, lastRow}));
        EXPECT_EQ(NextCell(kShape, lastCol, lastRow, walk.Direction, lc_first, Any), walk.Corner);
        EXPECT_EQ(NextCell(kShape, lastCol, lastRow, walk.Direction, lc_exit, Any),
                  (TNextCell{TNextCell::Leave, lastCol, lastRow}));
    }
}

TEST(AlignedGridNavigation, SkipsCellsThatFailAndStopsWhereItBegan)
{
    auto only = [](int c, int r) { return [c, r](int col, int row) { return col == c && row == r; }; };
    EXPECT_EQ(NextCell(kShape, 1, 1, nc_rightdown, lc_stop, only(2, 2)), (TNextCell{TNextCell::Cell, 2, 2}));
    // The walk goes as far as it must: to the last cell, and down a grid one column wide.
    EXPECT_EQ(NextCell(kShape, 1, 1, nc_rightdown, lc_stop, only(3, 2)), (TNextCell{TNextCell::Cell, 3, 2}));
    EXPECT_EQ(NextCell({1, 8, 0, 0}, 0, 0, nc_rightdown, lc_stop, only(0, 7)), (TNextCell{TNextCell::Cell, 0, 7}));
    // After the last cell lc_first goes on from the first cell.
    EXPECT_EQ(NextCell(kShape, 3, 2, nc_rightdown, lc_first, only(2, 1)), (TNextCell{TNextCell::Cell, 2, 1}));
    EXPECT_EQ(NextCell(kShape, 2, 2, nc_rightdown, lc_first, only(2, 2)), (TNextCell{TNextCell::Stay, 2, 2}));
    EXPECT_EQ(NextCell(kShape, 2, 2, nc_rightdown, lc_first, [](int, int) { return false; }),
              (TNextCell{TNextCell::Stay, 2, 2}));
    // Nothing further in the walk: the end policy.
    EXPECT_EQ(NextCell(kShape, 2, 2, nc_rightdown, lc_exit, only(1, 1)), (TNextCell{TNextCell::Leave, 2, 2}));
    // A grid without scrolling cells stays.
    EXPECT_EQ(NextCell({2, 2, 2, 1}, 1, 1, nc_rightdown, lc_first, Any).What, TNextCell::Stay);
    EXPECT_EQ(Reversed(nc_downleft), nc_upright);
    EXPECT_EQ(Reversed(Reversed(nc_leftdown)), nc_leftdown);
}

TEST(AlignedGridNavigation, TabFollowsTheTabStopsAndShiftTabGoesBack)
{
    TestAlignedGrid grid;
    grid.SetOptions(grid.Options() | goTabs);
    grid.SetTabStops(2, false);
    grid.MoveCurrent(1, 1);
    grid.Key(Qt::Key_Tab);
    EXPECT_EQ(std::pair(grid.Col(), grid.Row()), std::pair(3, 1));
    grid.Key(Qt::Key_Tab);
    grid.Key(Qt::Key_Tab);
    EXPECT_EQ(std::pair(grid.Col(), grid.Row()), std::pair(1, 2));
    grid.Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(std::pair(grid.Col(), grid.Row()), std::pair(4, 1));
    grid.Key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(std::pair(grid.Col(), grid.Row()), std::pair(3, 1));
    // At the end, lc_first goes back to the first cell.
    grid.MoveCurrent(4, 3);
    grid.Key(Qt::Key_Tab);
    EXPECT_EQ(std::pair(grid.Col(), grid.Row()), std::pair(1, 1));
}

TEST(AlignedGridNavigation, TheWidgetInsertsARowOrLeavesForTheNextControl)
{
    auto* grid = new TestAlignedGrid;
    velmoran::testing::FormWithNext form(grid);
    QLineEdit* next = form.Next;
    ASSERT_TRUE(grid->hasFocus());

    grid->MoveCurrent(4, 3);
    grid->GoToNextCell(nc_rightdown, lc_newcolrow, Any);
    EXPECT_EQ(grid->RowCount(), 5);
    EXPECT_EQ(std::pair(grid->Col(), grid->Row()), std::pair(1, 4));

    grid->MoveCurrent(4, 4);
    grid->GoToNextCell(nc_rightdown, lc_exit, Any);
    QApplication::processEvents();
    EXPECT_TRUE(next->hasFocus());
    EXPECT_EQ(std::pair(grid->Col(), grid->Row()), std::pair(4, 4));
}

// A grid without fixed cells walks from column and row 0, and a step off the left edge at
// column 0 is the walk's end; a grid whose columns (or rows) are all fixed has no cell to go to.
TEST(AlignedGridNavigation, NoFixedCellsAndAllFixedColumns)
{
    const TGridShape open{3, 2, 0, 0};
    EXPECT_EQ(NextCell(open, 1, 0, nc_leftdown, lc_stop, Any), (TNextCell{TNextCell::Cell, 0, 0}));
    EXPECT_EQ(NextCell(open, 0, 0, nc_leftdown, lc_stop, Any), (TNextCell{TNextCell::Cell, 2, 1}));
    EXPECT_EQ(NextCell(open, 0, 1, nc_leftdown, lc_exit, Any), (TNextCell{TNextCell::Leave, 0, 1}));
    EXPECT_EQ(NextCell(open, 0, 1, nc_leftdown, lc_first, Any), (TNextCell{TNextCell::Cell, 2, 0}));
    EXPECT_EQ(NextCell(open, 2, 1, nc_rightdown, lc_first, Any), (TNextCell{TNextCell::Cell, 0, 0}));
    EXPECT_EQ(NextCell(open, 0, 1, nc_upright, lc_stop, Any), (TNextCell{TNextCell::Cell, 0, 0}));
    EXPECT_EQ(NextCell(open, 0, 0, nc_upleft, lc_newcolrow, Any), (TNextCell{TNextCell::InsertCol, 0, 1, 0}));

    for (const TGridShape fixed : {TGridShape{2, 3, 2, 1}, TGridShape{3, 2, 1, 2}})
        for (const T_lastcell policy : {lc_stop, lc_newcolrow, lc_first, lc_exit})
            EXPECT_EQ(NextCell(fixed, 1, 1, nc_rightdown, policy, Any), (TNextCell{TNextCell::Stay, 1, 1}));
    // One column left open: the walk stays in it.
    EXPECT_EQ(NextCell(TGridShape{2, 3, 1, 1}, 1, 1, nc_rightdown, lc_stop, Any), (TNextCell{TNextCell::Cell, 1, 2}));
}

// A grid of a single cell has nowhere to walk: the first step is already the walk's end, where
// Tab must still leave the grid (lc_exit) or add a row (lc_newcolrow) rather than stay put.
TEST(AlignedGridNavigation, ASingleCellGridLeavesOrGrowsAtOnce)
{
    for (const TGridShape one : {TGridShape{1, 1, 0, 0}, TGridShape{2, 2, 1, 1}}) {
        const int cell = one.FixedCols;
        EXPECT_EQ(NextCell(one, cell, cell, nc_rightdown, lc_exit, Any), (TNextCell{TNextCell::Leave, cell, cell}));
        EXPECT_EQ(NextCell(one, cell, cell, nc_rightdown, lc_newcolrow, Any),
                  (TNextCell{TNextCell::InsertRow, cell, cell + 1, cell + 1}));
        EXPECT_EQ(NextCell(one, cell, cell, nc_leftup, lc_newcolrow, Any),
                  (TNextCell{TNextCell::InsertRow, cell, cell, cell}));
        EXPECT_EQ(NextCell(one, cell, cell, nc_rightdown, lc_first, Any), (TNextCell{TNextCell::Stay, cell, cell}));
    }

    auto* grid = new TestAlignedGrid;
    grid->SetFixedCols(0);
    grid->SetFixedRows(0);
    grid->SetColCount(1);
    grid->SetRowCount(1);
    grid->SetOptions(grid->Options() | goTabs);
    velmoran::testing::FormWithNext form(grid);
    ASSERT_TRUE(grid->hasFocus());
    grid->AfterLastCellTab = lc_newcolrow;
    grid->Key(Qt::Key_Tab);
    EXPECT_EQ(grid->RowCount(), 2);
    EXPECT_EQ(std::pair(grid->Col(), grid->Row()), std::pair(0, 1));
    grid->SetRowCount(1);
    grid->AfterLastCellTab = lc_exit;
    grid->Key(Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_TRUE(form.Next->hasFocus());
}
