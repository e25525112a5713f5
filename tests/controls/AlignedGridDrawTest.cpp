// Drawing the aligned grid's cells on the recording canvas: the text's place per alignment, word
// wrap and ellipsis inside the rectangle shrunk by 2, "&" drawn as it stands, the room of a
// missing grid line, the cell brush and font, the selection colours with and without
// DrawSelection, and on screen the focused cell keeping its colours unless the grid draws focus
// selected.
#include "tests/controls/AlignedGridSupport.h"

#include <gtest/gtest.h>

#include <QApplication>

using namespace velmoran;
using namespace velmoran::aligned;
using velmoran::testing::TestAlignedGrid;

namespace {

using Calls = std::vector<std::string>;

class AlignedGridDraw : public ::testing::Test {
protected:
    AlignedGridDraw() : canvas_(fonts_) {}

    // The drawing calls of cell (1, 1) at 51,21 - 101,41.
    Calls Draw(const std::string& text, unsigned state = 0)
    {
        grid_.SetCells(1, 1, text);
        canvas_.Clear();
        grid_.DrawCell(canvas_, 1, 1, grid_.CellRect(1, 1), state);
        return canvas_.Calls();
    }
    // The text calls only.
    Calls Text(const std::string& text)
    {
        Calls texts;
        for (const std::string& call : Draw(text))
            if (call.rfind("TextOut", 0) == 0)
                texts.push_back(call);
        return texts;
    }

    TestAlignedGrid grid_;
    TestFontEngine fonts_;
    RecordingCanvas canvas_;
};

}  // namespace

TEST_F(AlignedGridDraw, TextPlacedByAlignmentInsideTheShrunkRectangle)
{
    ASSERT_EQ(grid_.CellRect(1, 1), (TRect{51, 21, 101, 41}));
    EXPECT_EQ(Draw("abc"), (Calls{"FillRect 51,21,101,41 #FFFFFF", "TextOut 53,23 'abc'"}));
    grid_.SetAlignCell(1, 1, agRight);
    EXPECT_EQ(Text("abc"), (Calls{"TextOut 75,23 'abc'"}));
    grid_.SetAlignCell(1, 1, agCenter);
    EXPECT_EQ(Text("abc"), (Calls{"TextOut 64,23 'abc'"}));
    // The prefix character stays as it is.
    grid_.SetAlignCell(1, 1, agLeft);
    EXPECT_EQ(Text("a&b"), (Calls{"TextOut 53,23 'a&b'"}));
}

TEST_F(AlignedGridDraw, WordWrapAndEllipsis)
{
    grid_.SetWordwrapAt(TAlignedGrid::CellPlace(1, 1), ww_wordwrap);
    EXPECT_EQ(Text("aaa bbb ccc"), (Calls{"TextOut 53,23 'aaa'", "TextOut 53,39 'bbb'", "TextOut 53,55 'ccc'"}));
    grid_.SetWordwrapAt(TAlignedGrid::CellPlace(1, 1), ww_ellipsis);
    EXPECT_EQ(Text("abcdefghij"), (Calls{"TextOut 53,23 'ab...'"}));
    grid_.SetWordwrapAt(TAlignedGrid::CellPlace(1, 1), ww_none);
    EXPECT_EQ(Text("abcdefghij"), (Calls{"TextOut 53,23 'abcdefghij'"}));
    // The hook has the last word.
    grid_.OnAlignCell = [](TAlignedGrid&, int, int, TMyAlign& alignment, T_Wordwrap& wordwrap) {
        alignment = agRight;
        wordwrap = ww_ellipsis;
    };
    EXPECT_EQ(Text("abcdefghij"), (Calls{"TextOut 59,23 'ab...'"}));
}

TEST_F(AlignedGridDraw, AMissingGridLineLendsItsRoom)
{
    grid_.SetAlignCell(1, 1, agRight);
    // Without horizontal lines the right edge grows; without vertical lines the bottom.
    grid_.SetOptions(grid_.Options() & ~goHorzLine);
    EXPECT_EQ(Text("abc"), (Calls{"TextOut 76,23 'abc'"}));
    grid_.SetOptions((grid_.Options() | goHorzLine) & ~goVertLine);
    EXPECT_EQ(Text("abc"), (Calls{"TextOut 75,23 'abc'"}));
}

TEST_F(AlignedGridDraw, CellBrushAndFontAndTheSelectionColours)
{
    grid_.BrushCell(1, 1)->SetColor(0x00FFFF);
    grid_.FontCell(1, 1)->SetColor(0x0000FF);
    Draw("x");
    EXPECT_EQ(canvas_.Calls().front(), "FillRect 51,21,101,41 #FFFF00");
    EXPECT_NE(canvas_.Text().find("TextColor #FF0000"), std::string::npos) << canvas_.Text();

    // Selected: the selected-cell colours.
    Draw("x", gdSelected);
    EXPECT_EQ(canvas_.Calls().front(), "FillRect 51,21,101,41 #000080");
    EXPECT_NE(canvas_.Text().find("TextColor #FFFFFF"), std::string::npos) << canvas_.Text();
    grid_.SetSelectedColorCell(1, 1, 0x00FF00);
    Draw("x", gdSelected);
    EXPECT_EQ(canvas_.Calls().front(), "FillRect 51,21,101,41 #00FF00");

    // Without DrawSelection a selected cell keeps its own colours.
    grid_.SetDrawSelection(false);
    Draw("x", gdSelected);
    EXPECT_EQ(canvas_.Calls().front(), "FillRect 51,21,101,41 #FFFF00");

    // Fixed cells in the fixed colour; without default drawing only the event draws.
    canvas_.Clear();
    grid_.DrawCell(canvas_, 2, 0, grid_.CellRect(2, 0), gdFixed);
    EXPECT_EQ(canvas_.Calls().front(), "FillRect 102,0,152,20 #C0C0C0");
    int drawn = 0;
    grid_.OnDrawCell = [&](TAlignedGrid&, Canvas&, int, int, const TRect&, unsigned) { ++drawn; };
    grid_.SetDefaultDrawing(false);
    EXPECT_TRUE(Draw("x").empty());
    EXPECT_EQ(drawn, 1);
}

TEST(AlignedGridScreen, TheFocusedCellKeepsItsColoursUnlessDrawnFocusSelected)
{
    TestAlignedGrid grid;
    grid.show();
    grid.activateWindow();
    QApplication::setActiveWindow(&grid);
    grid.setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(grid.hasFocus());
    grid.SetSelection(TGridRect{1, 1, 2, 2});  // current cell (2, 2)
    auto pixel = [&](int col, int row) {
        const TRect r = grid.CellRect(col, row);
        return grid.viewport()->grab().toImage().pixel(r.Left + 10, r.Top + 10) & 0xFFFFFF;
    };
    EXPECT_EQ(pixel(1, 1), 0x000080u);
    EXPECT_EQ(pixel(2, 2), 0xFFFFFFu);
    EXPECT_EQ(pixel(3, 3), 0xFFFFFFu);
    grid.SetOptions(grid.Options() | goDrawFocusSelected);
    EXPECT_EQ(pixel(2, 2), 0x000080u);
    grid.SetDrawSelection(false);
    EXPECT_EQ(pixel(1, 1), 0xFFFFFFu);
}
