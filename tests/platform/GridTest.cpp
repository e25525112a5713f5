// The grid base: cell geometry with fixed cells and line widths, scrolling that keeps the fixed
// cells, keyboard moves and range selection, a refused move, and rows and columns that take
// their cells along.
#include "platform/Grid.h"
#include "tests/support/TestApp.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include <vector>

using namespace velmoran;

namespace {

// A grid of 10 x 20 cells of 30 x 20 pixels with one line pixel, viewport 200 x 150.
class TestGrid : public TStringGrid {
public:
    TestGrid()
    {
        SetScrollBars(TScrollStyle::None);
        setFrameStyle(QFrame::NoFrame);
        SetColCount(10);
        SetRowCount(20);
        SetDefaultColWidth(30);
        SetDefaultRowHeight(20);
        resize(200, 150);
        show();
    }
    bool refuse = false;
    std::vector<TGridCoord> asked;
    int topLeftChanges = 0;
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        keyPressEvent(&event);
    }

protected:
    bool SelectCell(int col, int row) override
    {
        asked.push_back({col, row});
        return !refuse;
    }
    void TopLeftChanged() override { ++topLeftChanges; }
};

}  // namespace

TEST(GridGeometry, CellRectsCountFixedCellsAndLineWidths)
{
    TestGrid grid;
    EXPECT_EQ(grid.CellRect(0, 0), (TRect{0, 0, 30, 20}));
    EXPECT_EQ(grid.CellRect(2, 1), (TRect{62, 21, 92, 41}));
    grid.SetGridLineWidth(3);
    grid.SetColWidths(1, 50);
    EXPECT_EQ(grid.CellRect(2, 1), (TRect{86, 23, 116, 43}));
    // Without the normal vertical lines only the fixed column keeps its line.
    grid.SetOptions(kDefaultGridOptions & ~goVertLine);
    EXPECT_EQ(grid.CellRect(2, 1), (TRect{83, 23, 113, 43}));
    // A cell beyond the viewport has no rectangle; negative sizes and counts count as 0.
    EXPECT_TRUE(grid.CellRect(9, 1).IsEmpty());
    grid.SetColCount(-3);
    EXPECT_EQ(grid.ColCount(), 0);
    EXPECT_EQ(grid.FixedCols(), 0);
}

TEST(GridGeometry, MouseToCellAndCellRectRoundTrip)
{
    TestGrid grid;
    grid.SetGridLineWidth(2);
    grid.SetTopRow(5);
    for (int row : {0, 5, 6, 9})
        for (int col : {0, 1, 3, 5}) {
            const TRect r = grid.CellRect(col, row);
            ASSERT_FALSE(r.IsEmpty()) << col << "," << row;
            EXPECT_EQ(grid.MouseToCell(r.Left, r.Top), (TGridCoord{col, row}));
            EXPECT_EQ(grid.MouseToCell(r.Right - 1, r.Bottom - 1), (TGridCoord{col, row}));
            // The line belongs to the cell before it.
            EXPECT_EQ(grid.MouseToCell(r.Right + 1, r.Bottom + 1), (TGridCoord{col, row}));
        }
    EXPECT_EQ(grid.MouseToCell(-1, 5), (TGridCoord{-1, -1}));
    EXPECT_EQ(grid.MouseToCell(5, 5000), (TGridCoord{-1, -1}));
}

TEST(GridScrolling, ScrollsByWholeCellsWhileFixedCellsStay)
{
    TestGrid grid;
    grid.SetTopRow(4);
    grid.SetLeftCol(3);
    EXPECT_EQ(grid.TopRow(), 4);
    EXPECT_EQ(grid.LeftCol(), 3);
    EXPECT_EQ(grid.topLeftChanges, 2);
    EXPECT_EQ(grid.CellRect(0, 0), (TRect{0, 0, 30, 20}));
    EXPECT_EQ(grid.CellRect(3, 4), (TRect{31, 21, 61, 41}));
    EXPECT_TRUE(grid.CellRect(2, 4).IsEmpty());
    EXPECT_EQ(grid.MouseToCell(31, 21), (TGridCoord{3, 4}));
    // The top row stops where the last row just fits: 150 - 21 leaves room for six rows.
    grid.SetTopRow(100);
    EXPECT_EQ(grid.TopRow(), 14);
    EXPECT_EQ(grid.VisibleRowCount(), 6);
    grid.SetTopRow(0);
    EXPECT_EQ(grid.TopRow(), 1);

    // The scroll bar follows, and a scroll bar move scrolls the cells.
    TestGrid bars;
    bars.SetScrollBars(TScrollStyle::Both);
    bars.verticalScrollBar()->setValue(3);
    EXPECT_EQ(bars.TopRow(), 4);
    bars.SetTopRow(7);
    EXPECT_EQ(bars.verticalScrollBar()->value(), 6);
}

TEST(GridKeyboard, MovesAndExtendsTheSelection)
{
    TestGrid grid;
    EXPECT_EQ((TGridCoord{grid.Col(), grid.Row()}), (TGridCoord{1, 1}));
    grid.Key(Qt::Key_Down);
    grid.Key(Qt::Key_Right);
    EXPECT_EQ((TGridCoord{grid.Col(), grid.Row()}), (TGridCoord{2, 2}));
    grid.Key(Qt::Key_Down, Qt::ShiftModifier);
    grid.Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(grid.Selection(), (TGridRect{2, 2, 3, 3}));
    EXPECT_EQ(grid.Anchor(), (TGridCoord{2, 2}));
    grid.Key(Qt::Key_Left);
    EXPECT_EQ(grid.Selection(), (TGridRect{2, 3, 2, 3}));
    // Home/End in the row, Ctrl+ to the corners; never into the fixed cells.
    grid.Key(Qt::Key_End);
    EXPECT_EQ(grid.Col(), 9);
    EXPECT_GE(grid.LeftCol(), 4);
    grid.Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ((TGridCoord{grid.Col(), grid.Row()}), (TGridCoord{1, 1}));
    EXPECT_EQ(grid.LeftCol(), 1);
    grid.Key(Qt::Key_Up);
    grid.Key(Qt::Key_Left);
    EXPECT_EQ((TGridCoord{grid.Col(), grid.Row()}), (TGridCoord{1, 1}));
    grid.Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ((TGridCoord{grid.Col(), grid.Row()}), (TGridCoord{9, 19}));
    EXPECT_EQ(grid.TopRow(), 14);
    // Page Down moves by the visible rows.
    grid.Key(Qt::Key_Home, Qt::ControlModifier);
    grid.Key(Qt::Key_PageDown);
    EXPECT_EQ(grid.Row(), 7);
    // Without range selection Shift does not extend.
    grid.SetOptions(kDefaultGridOptions & ~goRangeSelect);
    grid.Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(grid.Selection(), (TGridRect{1, 8, 1, 8}));
    // Row select covers every normal column.
    grid.SetOptions(kDefaultGridOptions | goRowSelect);
    EXPECT_EQ(grid.Selection(), (TGridRect{1, 8, 9, 8}));
}

TEST(GridKeyboard, TabFollowsTabStopsAndWraps)
{
    TestGrid grid;
    grid.SetOptions(kDefaultGridOptions | goTabs);
    grid.SetTabStops(2, false);
    grid.Key(Qt::Key_Tab);
    EXPECT_EQ(grid.Col(), 3);
    grid.SetCol(9);
    grid.Key(Qt::Key_Tab);
    EXPECT_EQ((TGridCoord{grid.Col(), grid.Row()}), (TGridCoord{1, 2}));
    grid.Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ((TGridCoord{grid.Col(), grid.Row()}), (TGridCoord{9, 1}));
}

TEST(GridSelection, ARefusedCellKeepsTheCurrentOne)
{
    TestGrid grid;
    grid.refuse = true;
    grid.Key(Qt::Key_Down);
    grid.SetCol(4);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(100, 50), QPointF(100, 50), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &press);
    EXPECT_EQ((TGridCoord{grid.Col(), grid.Row()}), (TGridCoord{1, 1}));
    ASSERT_EQ(grid.asked.size(), 3u);
    EXPECT_EQ(grid.asked[0], (TGridCoord{1, 2}));
    EXPECT_EQ(grid.asked[2], (TGridCoord{3, 2}));
    grid.refuse = false;
    QApplication::sendEvent(grid.viewport(), &press);
    EXPECT_EQ((TGridCoord{grid.Col(), grid.Row()}), (TGridCoord{3, 2}));
}

TEST(GridContents, RowsAndColumnsMoveWithTheirCellsAndObjects)
{
    TestGrid grid;
    int marker = 0;
    for (int row = 0; row < 4; ++row)
        grid.SetCells(1, row, "r" + std::to_string(row));
    grid.SetObjects(1, 3, &marker);
    grid.SetRowHeights(3, 33);
    grid.MoveRow(3, 1);
    EXPECT_EQ(grid.Cells(1, 1), "r3");
    EXPECT_EQ(grid.Cells(1, 2), "r1");
    EXPECT_EQ(grid.Objects(1, 1), &marker);
    EXPECT_EQ(grid.RowHeights(1), 33);
    grid.ExchangeRows(0, 2);
    EXPECT_EQ(grid.Cells(1, 0), "r1");
    EXPECT_EQ(grid.Cells(1, 2), "r0");
    grid.InsertRow(1);
    EXPECT_EQ(grid.RowCount(), 21);
    EXPECT_EQ(grid.Cells(1, 1), "");
    EXPECT_EQ(grid.Cells(1, 2), "r3");
    grid.DeleteRow(0);
    EXPECT_EQ(grid.Cells(1, 1), "r3");
    EXPECT_EQ(grid.RowCount(), 20);

    grid.SetCells(4, 0, "c4");
    grid.InsertColumn(2);
    EXPECT_EQ(grid.Cells(5, 0), "c4");
    grid.ExchangeColumns(5, 1);
    EXPECT_EQ(grid.Cells(1, 0), "c4");
    EXPECT_EQ(grid.Cells(5, 1), "r3");
    grid.DeleteColumn(1);
    EXPECT_EQ(grid.Cells(4, 1), "r3");
    // Shrinking drops the cells; out of range reads empty.
    grid.SetRowCount(1);
    grid.SetRowCount(3);
    EXPECT_EQ(grid.Cells(4, 1), "");
    EXPECT_EQ(grid.Cells(40, 1), "");
}

TEST(GridMouse, SizingByMouseAndDraggingARange)
{
    TestGrid grid;
    grid.SetOptions(kDefaultGridOptions | goColSizing);
    auto send = [&](QEvent::Type type, QPoint p, Qt::MouseButtons buttons) {
        QMouseEvent event(type, p, p, type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(grid.viewport(), &event);
    };
    // The right edge of column 1 in the fixed row, dragged 15 pixels on.
    send(QEvent::MouseButtonPress, QPoint(60, 5), Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(75, 5), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(75, 5), Qt::NoButton);
    EXPECT_EQ(grid.ColWidths(1), 45);
    EXPECT_EQ(grid.ColWidths(2), 30);
    // Without the option the same press only lands in the fixed row: nothing moves.
    grid.SetOptions(kDefaultGridOptions);
    send(QEvent::MouseButtonPress, QPoint(75, 5), Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(90, 5), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(90, 5), Qt::NoButton);
    EXPECT_EQ(grid.ColWidths(1), 45);
    // A drag over normal cells selects the range from the pressed cell.
    send(QEvent::MouseButtonPress, QPoint(50, 25), Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(100, 70), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(100, 70), Qt::NoButton);
    EXPECT_EQ(grid.Selection(), (TGridRect{1, 1, 2, 3}));
    EXPECT_EQ(grid.Anchor(), (TGridCoord{1, 1}));
}
