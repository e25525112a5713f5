// The aligned grid's row and column work and its other behaviours: records and hints moving with
// inserted, moved and exchanged rows and columns; sorting with the default text compare, both
// ways, with the records along and a recursion that stays shallow on ordered and equal rows;
// copying, cutting and pasting through the clipboard; the last column filling the width; the
// fixed-cell clicks; and the cell hints.
#include "tests/controls/AlignedGridSupport.h"

#include "platform/Clipboard.h"
#include "platform/HintPlacement.h"

#include <gtest/gtest.h>

#include <QHelpEvent>
#include <QMouseEvent>
#include <QToolTip>

#include <cmath>

using namespace velmoran;
using namespace velmoran::aligned;
using velmoran::testing::TestAlignedGrid;

namespace {

std::vector<std::string> Column(const TAlignedGrid& grid, int col)
{
    std::vector<std::string> texts;
    for (int row = 1; row < grid.RowCount(); ++row)
        texts.push_back(grid.Cells(col, row));
    return texts;
}

void Click(TAlignedGrid& grid, int x, int y)
{
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(x, y), grid.viewport()->mapToGlobal(QPointF(x, y)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(grid.viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(x, y), grid.viewport()->mapToGlobal(QPointF(x, y)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(grid.viewport(), &release);
}

}  // namespace

TEST(AlignedGridMaintenance, RecordsAndHintsStayWithTheirRowsAndColumns)
{
    TestAlignedGrid grid;
    grid.SetCells(2, 2, "b2");
    grid.SetColorCell(2, 2, 0x00FFFF);
    grid.SetHintCell(2, 2, "Hinweis");
    grid.SetAlignRow(2, agRight);
    grid.SetAlignCol(2, agCenter);

    grid.InsertRow(1);
    EXPECT_EQ(grid.Cells(2, 3), "b2");
    EXPECT_EQ(grid.EffectiveBrush(2, 3).Color(), 0x00FFFFu);
    EXPECT_EQ(grid.HintCell(2, 3), "Hinweis");
    EXPECT_EQ(grid.AlignAt(TAlignedGrid::RowPlace(3)), agRight);
    EXPECT_EQ(grid.EffectiveBrush(2, 2).Color(), 0xFFFFFFu);

    grid.InsertColumn(1);
    EXPECT_EQ(grid.EffectiveBrush(3, 3).Color(), 0x00FFFFu);
    EXPECT_EQ(grid.AlignAt(TAlignedGrid::ColPlace(3)), agCenter);
    EXPECT_EQ(grid.HintCell(3, 3), "Hinweis");

    grid.MoveColumn(3, 5);
    EXPECT_EQ(grid.Cells(5, 3), "b2");
    EXPECT_EQ(grid.EffectiveBrush(5, 3).Color(), 0x00FFFFu);
    EXPECT_EQ(grid.AlignAt(TAlignedGrid::ColPlace(5)), agCenter);

    grid.ExchangeRows(3, 1);
    EXPECT_EQ(grid.Cells(5, 1), "b2");
    EXPECT_EQ(grid.HintCell(5, 1), "Hinweis");
    EXPECT_EQ(grid.AlignAt(TAlignedGrid::RowPlace(1)), agRight);
    EXPECT_EQ(grid.AlignAt(TAlignedGrid::RowPlace(3)), agDefault);
    EXPECT_EQ(grid.EffectiveBrush(5, 3).Color(), 0xFFFFFFu);
}

TEST(AlignedGridMaintenance, TheEditedCellFollowsItsRow)
{
    TestAlignedGrid grid;
    grid.SetOptions(grid.Options() | goEditing);
    grid.MoveCurrent(2, 2);
    grid.ShowEditor();
    grid.InsertRow(1);
    EXPECT_EQ(grid.Editor()->EditRow, 3);
}

// Moves with the editor on row or column 0 of a grid without fixed cells: the editor's cell
// follows its own row when it moves and steps aside when another moves past it.
TEST(AlignedGridMaintenance, TheEditorOnRowZeroFollowsMovedRows)
{
    TestAlignedGrid grid;
    grid.SetFixedCols(0);
    grid.SetFixedRows(0);
    grid.SetOptions(grid.Options() | goEditing);
    grid.MoveCurrent(0, 0);
    grid.ShowEditor();
    ASSERT_NE(grid.Editor(), nullptr);
    ASSERT_EQ(grid.Editor()->EditRow, 0);
    grid.MoveRow(0, 2);
    EXPECT_EQ(grid.Editor()->EditRow, 2);
    grid.MoveRow(3, 0);
    EXPECT_EQ(grid.Editor()->EditRow, 3);
    grid.MoveRow(0, 3);
    EXPECT_EQ(grid.Editor()->EditRow, 2);
    grid.MoveRow(2, 0);
    EXPECT_EQ(grid.Editor()->EditRow, 0);
    grid.MoveRow(1, 2);  // past it, not over it
    EXPECT_EQ(grid.Editor()->EditRow, 0);

    ASSERT_EQ(grid.Editor()->EditCol, 0);
    grid.MoveColumn(0, 3);
    EXPECT_EQ(grid.Editor()->EditCol, 3);
    grid.MoveColumn(4, 0);
    EXPECT_EQ(grid.Editor()->EditCol, 4);
    grid.MoveColumn(4, 1);
    EXPECT_EQ(grid.Editor()->EditCol, 1);
}

TEST(AlignedGridSort, DefaultCompareIsPlainTextAndRecordsMoveAlong)
{
    TestAlignedGrid grid;
    grid.SetRowCount(6);
    const char* texts[] = {"9", "10", "b", "a", "10"};
    for (int row = 1; row <= 5; ++row) {
        grid.SetCells(1, row, texts[row - 1]);
        grid.SetCells(2, row, std::string("r") + texts[row - 1]);
    }
    grid.SetColorCell(3, 1, 0x00FFFF);  // stays with the row of "9"
    grid.SetHintCell(2, 4, "a-Zeile");
    grid.SortRows(1, 1, 5, true);
    EXPECT_EQ(Column(grid, 1), (std::vector<std::string>{"10", "10", "9", "a", "b"}));
    EXPECT_EQ(Column(grid, 2), (std::vector<std::string>{"r10", "r10", "r9", "ra", "rb"}));
    EXPECT_EQ(grid.EffectiveBrush(3, 3).Color(), 0x00FFFFu);
    EXPECT_EQ(grid.HintCell(2, 4), "a-Zeile");
    grid.SortRows(1, 1, 5, false);
    EXPECT_EQ(Column(grid, 1), (std::vector<std::string>{"b", "a", "9", "10", "10"}));
    EXPECT_EQ(grid.EffectiveBrush(3, 3).Color(), 0x00FFFFu);
    EXPECT_EQ(grid.HintCell(2, 2), "a-Zeile");

    // Columns by a row, with a compare event of the caller's.
    grid.SetCells(1, 1, "3");
    grid.SetCells(2, 1, "1");
    grid.SetCells(3, 1, "2");
    grid.SetCells(4, 1, "0");
    grid.OnCompareRow = [](TAlignedGrid& g, int row, int c1, int c2) {
        const int a = std::stoi(g.Cells(c1, row)), b = std::stoi(g.Cells(c2, row));
        return b < a ? rel_greater : b == a ? rel_equal : rel_smaller;
    };
    grid.SortColumns(1, 1, 3, true);
    EXPECT_EQ(grid.Cells(1, 1) + grid.Cells(2, 1) + grid.Cells(3, 1) + grid.Cells(4, 1), "1230");
    // A range past the last column ends at it.
    grid.SortColumns(1, 1, 99, false);
    EXPECT_EQ(grid.Cells(1, 1) + grid.Cells(2, 1) + grid.Cells(3, 1) + grid.Cells(4, 1), "3210");
}

TEST(AlignedGridSort, RecursionStaysShallowOnOrderedReversedAndEqualRows)
{
    constexpr int n = 3000;
    const int bound = static_cast<int>(std::log2(n)) + 2;
    for (int pattern = 0; pattern < 3; ++pattern) {
        TestAlignedGrid grid;
        grid.SetColCount(2);
        grid.SetRowCount(n + 1);
        for (int row = 1; row <= n; ++row) {
            char text[8];
            std::snprintf(text, sizeof text, "%05d", pattern == 0 ? row : pattern == 1 ? n - row : 7);
            grid.SetCells(1, row, text);
        }
        grid.SortRows(1, 1, n, true);
        EXPECT_LE(grid.LastSortDepth(), bound) << pattern;
        EXPECT_GE(grid.LastSortDepth(), 2) << pattern;  // the depth is counted, not left at its start
        for (int row = 2; row <= n; ++row)
            ASSERT_LE(grid.Cells(1, row - 1), grid.Cells(1, row)) << pattern << " " << row;
    }
}

TEST(AlignedGridClipboard, CopyCutAndPasteTabSeparatedText)
{
    MemoryClipboard clipboard;
    ScopedClipboard scoped(clipboard);
    TestAlignedGrid grid;
    const char* texts[] = {"a", "b", "c", "d", "e", "f"};
    for (int i = 0; i < 6; ++i)
        grid.SetCells(1 + i % 3, 1 + i / 3, texts[i]);
    grid.SetSelection(TGridRect{1, 1, 3, 2});
    grid.CopyToClipboard();
    EXPECT_EQ(clipboard.Text(), u"a\tb\tc\t\r\nd\te\tf\t\r\n");

    grid.RespectEditability = true;
    grid.SetEditCell(2, 2, false);
    grid.Key(Qt::Key_Delete, Qt::ShiftModifier);  // cut
    EXPECT_EQ(clipboard.Text(), u"a\tb\tc\t\r\nd\te\tf\t\r\n");
    EXPECT_EQ(grid.Cells(1, 1) + grid.Cells(3, 2), "");
    EXPECT_EQ(grid.Cells(2, 2), "e");

    // Two lines into one selected cell fill only that cell.
    clipboard.SetText(u"x\ty\r\nz\r\n");
    grid.SetSelection(TGridRect{2, 1, 2, 1});
    grid.Key(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(grid.Cells(2, 1), "x");
    EXPECT_EQ(grid.Cells(3, 1), "");
    EXPECT_EQ(grid.Cells(2, 2), "e");

    // Without a bottom or right edge the grid grows; read-only cells stay as they are.
    grid.PasteText("1\t2\t3\r\n4\t5\t6\r\n7\t8\t9", TGridRect{3, 2, -1, -1});
    EXPECT_EQ(grid.ColCount(), 6);
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.Cells(5, 4), "9");
    grid.RespectEditability = false;
    grid.PasteText("p\tq", TGridRect{1, 2, -1, -1});
    EXPECT_EQ(grid.Cells(2, 2), "q");

    // A range ending at the first row takes one line: the grid does not grow downwards.
    grid.PasteText("l0\r\nl1\r\nl2\r\nl3\r\nl4\r\nl5\r\nl6\r\nl7", TGridRect{1, 0, -1, 0});
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.Cells(1, 0), "l0");
    EXPECT_EQ(grid.Cells(1, 1), "");

    // A short text of many lines and one very long line grows the grid only so far.
    grid.PasteText(std::string(3000, '\t') + std::string(3000, '\n'), TGridRect{1, 1, -1, -1});
    EXPECT_LE(static_cast<long long>(grid.ColCount()) * grid.RowCount(), 1'000'000);
    EXPECT_EQ(grid.ColCount(), 3001);

    // With the clipboard keys switched off nothing happens.
    grid.ClipboardHandling = false;
    clipboard.SetText(u"unverändert");
    grid.SetSelection(TGridRect{1, 1, 1, 1});
    grid.Key(Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(clipboard.Text(), u"unverändert");
}

TEST(AlignedGridOther, TheLastColumnFillsTheWidth)
{
    TestAlignedGrid grid;
    grid.show();
    grid.SetAutoAdjustLastCol(true);
    // 300 - 4 x 50 - 5 lines.
    EXPECT_EQ(grid.ColWidths(4), 95);
    grid.resize(400, 120);
    EXPECT_EQ(grid.ColWidths(4), 195);
    grid.SetGridLineWidth(3);
    EXPECT_EQ(grid.ColWidths(4), 185);
}

TEST(AlignedGridOther, FixedRowAndColumnClicks)
{
    TestAlignedGrid grid;
    grid.show();
    std::vector<std::string> clicks;
    grid.OnFixedColClick = [&](TAlignedGrid&, int col) { clicks.push_back("col " + std::to_string(col)); };
    grid.OnFixedRowClick = [&](TAlignedGrid&, int row) { clicks.push_back("row " + std::to_string(row)); };
    Click(grid, 120, 10);  // header of column 2
    Click(grid, 10, 50);   // fixed cell of row 2
    Click(grid, 10, 10);   // the corner
    Click(grid, 120, 50);  // a scrolling cell
    Click(grid, 10, 30);   // fixed cell of row 1, the first below the fixed row
    EXPECT_EQ(clicks, (std::vector<std::string>{"col 2", "row 2", "row 1"}));
    EXPECT_EQ(std::pair(grid.Col(), grid.Row()), std::pair(2, 2));
    // Only the left button counts.
    for (const QPoint at : {QPoint(120, 10), QPoint(10, 50)}) {
        QMouseEvent right(QEvent::MouseButtonPress, QPointF(at), grid.viewport()->mapToGlobal(QPointF(at)),
                          Qt::RightButton, Qt::RightButton, Qt::NoModifier);
        QCoreApplication::sendEvent(grid.viewport(), &right);
    }
    EXPECT_EQ(clicks.size(), 3u);
}

TEST(AlignedGridOther, HintsAtTheCellsLeftEdgeBelowIt)
{
    TestAlignedGrid grid;
    grid.show();
    grid.SetHintCell(2, 1, "Richtwert: 1,25");
    std::string hint;
    THintInfo info;
    ASSERT_TRUE(grid.CellHint(2, 1, hint, info));
    EXPECT_EQ(hint, "Richtwert: 1,25");
    EXPECT_EQ(info.Position, grid.viewport()->mapToGlobal(QPoint(102, 47)));
    EXPECT_FALSE(grid.CellHint(3, 1, hint, info));
    // The tool-tip event over the cell shows it, not the grid's own tool-tip.
    grid.setToolTip(QStringLiteral("Gitter"));
    const QPoint over = grid.viewport()->mapToGlobal(QPoint(110, 30));
    QHelpEvent help(QEvent::ToolTip, QPoint(110, 30), over);
    QCoreApplication::sendEvent(grid.viewport(), &help);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Richtwert: 1,25"));
    // There, not a cursor's height lower.
    ASSERT_NE(ShownHintWindow(), nullptr);
    EXPECT_EQ(ShownHintWindow()->pos(), grid.viewport()->mapToGlobal(QPoint(102, 47)));
    QToolTip::hideText();
    // So does the one over a cell of the first column.
    grid.SetHintCell(0, 2, "Zeile 2");
    const QPoint first = grid.viewport()->mapToGlobal(QPoint(10, 50));
    QHelpEvent firstHelp(QEvent::ToolTip, QPoint(10, 50), first);
    QCoreApplication::sendEvent(grid.viewport(), &firstHelp);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Zeile 2"));
    QToolTip::hideText();
    grid.OnShowHintCell = [](TAlignedGrid&, int col, int, std::string& text, bool& canShow, THintInfo&) {
        canShow = col != 2;
        text = "geändert";
    };
    EXPECT_FALSE(grid.CellHint(2, 1, hint, info));
    EXPECT_TRUE(grid.CellHint(3, 1, hint, info));
    EXPECT_EQ(hint, "geändert");
}
