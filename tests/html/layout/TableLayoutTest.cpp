// Table layout and painting: the grid with its spans, column widths from pixel, percent and given
// table widths, row heights, cell defaults and vertical alignment, and the cell draw calls. Cells
// get their sizes from a stand-in whose content text reads "min max height" (e.g. "40 80 20").
#include "tests/html/layout/ParserTestSupport.h"
#include "html/layout/SectionList.h"
#include "platform/RecordingCanvas.h"
#include "platform/SystemColors.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <sstream>

namespace velmoran {
namespace {

using testing::ParsedPage;

class SizedCells : public TCellContentOps {
public:
    struct Size {
        int Min = 0, Max = 0, Height = 0;
    };
    static Size Of(TCellObj& cell)
    {
        Size s;
        for (int i = 0; i < cell.Cell->Count(); ++i)
            if (auto* t = dynamic_cast<TSection*>((*cell.Cell)[i])) {
                std::istringstream in(WideToUtf8(t->Text));
                in >> s.Min >> s.Max >> s.Height;
                break;
            }
        return s;
    }
    void MinMaxWidth(Canvas&, TCellObj& cell, int& mn, int& mx) override
    {
        const Size s = Of(cell);
        mn = s.Min;
        mx = s.Max;
    }
    int Layout(Canvas&, TCellObj& cell, int x, int y, int width, int, int&) override
    {
        Laid.push_back({x, y, width});
        return Of(cell).Height;
    }
    void Paint(Canvas&, TCellObj& cell, const TRect&, int x, int y) override
    {
        Painted.push_back({x, y, Of(cell).Height});
    }
    std::vector<std::array<int, 3>> Laid, Painted;
};

class TableFixture : public ::testing::Test {
protected:
    ThtmlTable& Table(const std::string& html, int index = 0)
    {
        pages.push_back(std::make_unique<ParsedPage>());
        pages.back()->Parse(html);
        auto tables = pages.back()->All<ThtmlTable>();
        EXPECT_GT(static_cast<int>(tables.size()), index);
        ThtmlTable& t = *tables[static_cast<std::size_t>(index)];
        t.ContentOps = &ops;
        return t;
    }
    int Layout(ThtmlTable& t, int width, int height = 0)
    {
        int curs = 0, maxW = 0;
        return t.LayoutTable(canvas, 0, 0, width, height, curs, maxW);
    }
    std::vector<int> Widths(ThtmlTable& t) { return t.Widths; }

    ParsedPage page;
    std::vector<std::unique_ptr<ParsedPage>> pages;
    SizedCells ops;
    RecordingCanvas canvas{page.Fonts, 800, 600};
};

TEST_F(TableFixture, SpansBuildAlignedGrid)
{
    // A column span beyond the real columns drops to them; a row span past the last row is cut.
    auto& t = Table("<table><tr><td colspan=3>1 1 1</td></tr><tr><td>1 1 1</td><td rowspan=5>1 1 1</td></tr>"
                    "<tr><td>1 1 1</td></tr></table>");
    t.InitializeCellSpecs();
    EXPECT_EQ(t.NumCols, 2);
    EXPECT_EQ(t.Rows[0]->Items(0)->ColSpan, 2);
    EXPECT_EQ(t.Rows[1]->Items(1)->RowSpan, 2);
    ASSERT_EQ(t.Rows[2]->Count(), 2);
    EXPECT_TRUE(t.Rows[2]->Items(1)->IsPlaceholder());

    // Row and column span together keep the cells below in their columns.
    auto& u = Table("<table><tr><td colspan=2 rowspan=2>1 1 1</td><td>a</td></tr><tr><td>b</td></tr>"
                    "<tr><td>c</td><td>d</td><td>e</td></tr></table>");
    u.InitializeCellSpecs();
    EXPECT_EQ(u.NumCols, 3);
    ASSERT_EQ(u.Rows[1]->Count(), 3);
    EXPECT_TRUE(u.Rows[1]->Items(0)->IsPlaceholder());
    EXPECT_TRUE(u.Rows[1]->Items(1)->IsPlaceholder());
    EXPECT_FALSE(u.Rows[1]->Items(2)->IsPlaceholder());
}

TEST_F(TableFixture, WidthsWithoutTableWidth)
{
    // Maxima that fit are taken; otherwise the room beyond the minima goes by slack.
    auto& t = Table("<table cellspacing=0 cellpadding=0><tr><td>20 100 10</td><td>40 60 10</td></tr></table>");
    Layout(t, 500);
    EXPECT_EQ(Widths(t), (std::vector<int>{100, 60}));
    EXPECT_EQ(t.TableWidth, 160);
    Layout(t, 120);
    EXPECT_EQ(Widths(t), (std::vector<int>{20 + 48, 40 + 12}));
    Layout(t, 30);
    EXPECT_EQ(Widths(t), (std::vector<int>{20, 40}));
}

TEST_F(TableFixture, PixelWidthsOfCells)
{
    // A pixel WIDTH fixes both measures of its column; padding and spacing come on top.
    auto& t = Table("<table cellspacing=2 cellpadding=3><tr><td width=100>10 20 10</td><td>30 300 10</td></tr></table>");
    Layout(t, 800);
    EXPECT_TRUE(t.FixedCellWidths);
    EXPECT_EQ(Widths(t), (std::vector<int>{100 + 6 + 2, 300 + 6 + 2}));
    Layout(t, 300);
    const auto w = Widths(t);
    EXPECT_EQ(w[0], 108);
    EXPECT_EQ(w[0] + w[1], 298);
}

TEST_F(TableFixture, PercentColumnsInGivenTableWidth)
{
    auto& t = Table("<table cellspacing=0><tr><td width=\"30%\">5 5 5</td><td width=\"70%\">5 5 5</td></tr></table>");
    t.SpecWidth = 500;
    Layout(t, 800);
    EXPECT_EQ(Widths(t), (std::vector<int>{150, 350}));
    EXPECT_EQ(t.TableWidth, 500);
}

TEST_F(TableFixture, GivenTableWidthSharesRoomBySlack)
{
    auto& t = Table("<table cellspacing=0 cellpadding=0><tr><td>10 110 5</td><td>10 10 5</td></tr></table>");
    t.SpecWidth = 400;
    Layout(t, 800);
    EXPECT_EQ(Widths(t), (std::vector<int>{390, 10}));
    int mn = 0, mx = 0;
    t.GetMinMaxWidth(canvas, mn, mx);
    EXPECT_EQ(mn, 400);
    EXPECT_EQ(mx, 400);
}

TEST_F(TableFixture, PercentagesTooWideForRoomEnd)
{
    // Percentages adding up to far more than the room, with minima that do not fit: the rounds end
    // and the columns still fill the width.
    auto& t = Table("<table cellspacing=0 cellpadding=0><tr><td width=\"90%\">100 200 5</td><td width=\"90%\">100 900 5</td>"
                    "<td width=\"90%\">10 50 5</td></tr></table>");
    Layout(t, 300);
    int sum = 0;
    for (int w : Widths(t))
        sum += w;
    EXPECT_EQ(sum, 300);
    EXPECT_GE(Widths(t)[0], 100);
}

TEST_F(TableFixture, SpanningCellWidensItsColumns)
{
    auto& t = Table("<table cellspacing=0 cellpadding=0><tr><td colspan=2>100 100 5</td></tr>"
                    "<tr><td>20 20 5</td><td>20 60 5</td></tr></table>");
    int mn = 0, mx = 0;
    t.GetMinMaxWidth(canvas, mn, mx);
    EXPECT_EQ(mn, 100);
    EXPECT_EQ(mx, 100);
}

TEST_F(TableFixture, RowHeightsAndAlignment)
{
    // Rows take their tallest cell; a row span taller than its rows shares the rest.
    auto& t = Table("<table cellspacing=0 cellpadding=0><tr><td>5 5 20</td><td rowspan=2>5 5 70</td></tr>"
                    "<tr><td>5 5 10</td></tr></table>");
    EXPECT_EQ(Layout(t, 400), 70);
    EXPECT_EQ(t.Heights, (std::vector<int>{20 + 20, 10 + 20}));

    // A bottom-aligned content of 20 in a row of 50 moves down by 30; middle by 15.
    auto& u = Table("<table cellspacing=0 cellpadding=0><tr><td valign=bottom>5 5 20</td><td height=50>5 5 5</td>"
                    "<td>5 5 20</td></tr></table>");
    Layout(u, 400);
    EXPECT_EQ(u.Rows[0]->Items(0)->ContentShift, 30);
    EXPECT_EQ(u.Rows[0]->Items(2)->ContentShift, 15);
}

TEST_F(TableFixture, PercentRowHeightsFillTableHeight)
{
    auto& t = Table("<table cellspacing=0 cellpadding=0><tr height=\"25%\"><td>5 5 10</td></tr>"
                    "<tr><td>5 5 10</td></tr></table>");
    EXPECT_EQ(Layout(t, 400, 200), 200);
    EXPECT_EQ(t.Heights, (std::vector<int>{50, 150}));
    // Every row given in pixels: the desired heights stand when the table is taller.
    auto& u = Table("<table cellspacing=0 cellpadding=0><tr height=30><td>5 5 10</td></tr>"
                    "<tr height=40><td>5 5 10</td></tr></table>");
    Layout(u, 400, 140);
    EXPECT_EQ(u.Heights, (std::vector<int>{60, 80}));
}

TEST_F(TableFixture, CellDefaultsOfBorderedTable)
{
    auto& t = Table("<table border cellpadding=0><tr><td>5 5 5</td><td style=\"padding: 4px\">5 5 5</td></tr></table>");
    t.InitializeCellSpecs();
    const TCellObj& a = *t.Rows[0]->Items(0);
    EXPECT_EQ(a.Padding, (std::array<int, 4>{1, 1, 1, 1}));
    EXPECT_EQ(a.Border, (std::array<int, 4>{1, 1, 1, 1}));
    EXPECT_EQ(a.HorizontalExtra, 4);
    EXPECT_EQ(t.Rows[0]->Items(1)->HorizontalExtra, 10);
}

TEST_F(TableFixture, PaintsBackgroundAndFrames)
{
    auto& t = Table("<table border=1 cellspacing=2 cellpadding=1><tr><td bgcolor=#FF0000>5 5 10</td><td bgcolor=#00FF00></td></tr></table>");
    Layout(t, 400);
    canvas.Clear();
    t.PaintTable(canvas, {0, 0, 800, 600}, 0, 0);
    const std::string calls = ::testing::PrintToString(canvas.Calls());
    // The colour reaches one pixel under the frame: from the box (2, 2) + border 1 - 1.
    EXPECT_NE(calls.find("FillRect 2,2,"), std::string::npos) << canvas.Text();
    EXPECT_NE(calls.find("#FF0000"), std::string::npos);
    // The empty cell fills its colour but has no frame.
    EXPECT_NE(calls.find("#00FF00"), std::string::npos);
    int lines = 0;
    for (const auto& c : canvas.Calls())
        lines += c.rfind("Line", 0) == 0;
    EXPECT_EQ(lines, 4) << canvas.Text();
    ASSERT_EQ(ops.Painted.size(), 1u);
    EXPECT_EQ(ops.Painted[0][0], 2 + 2);
}

TEST_F(TableFixture, CellsNearTheTopStillPaintContent)
{
    auto& t = Table("<table cellspacing=0 cellpadding=0><tr><td>5 5 100</td></tr><tr><td>5 5 100</td></tr></table>");
    Layout(t, 400);
    // The second row runs from 50 above the canvas top to 50 below it: its bottom is less than 200
    // below the top, and it is painted all the same.
    t.Document->YOff = 150;
    t.PaintTable(canvas, {0, 0, 800, 600}, 0, 0);
    ASSERT_EQ(ops.Painted.size(), 1u);
    EXPECT_EQ(ops.Painted[0][1], 100);
    ops.Painted.clear();
    t.Document->YOff = 350;  // the first row ends 250 above: left out
    t.PaintTable(canvas, {0, 0, 800, 600}, 0, 0);
    EXPECT_EQ(ops.Painted.size(), 0u);
}

TEST_F(TableFixture, PrintingMovesShortRowsButNotToThePageTop)
{
    auto& t = Table("<table cellspacing=0 cellpadding=0><tr><td>5 5 80</td></tr><tr><td>5 5 80</td></tr>"
                    "<tr><td>5 5 300</td></tr></table>");
    Layout(t, 400);
    t.Document->Printing = true;
    // Page 0..120: the second row (80..160) crosses and moves the cut to 80.
    t.Document->YOff = 0;
    t.Document->PageCutY = 120;
    t.PaintTable(canvas, {0, 0, 800, 120}, 0, 0);
    EXPECT_EQ(t.Document->PageCutY, 80);
    // A short row that starts the page is not moved: the cut stays where it is.
    t.Document->YOff = 80;
    t.Document->PageCutY = 80 + 60;
    t.PaintTable(canvas, {0, 0, 800, 60}, 0, 0);
    EXPECT_EQ(t.Document->PageCutY, 140);
    // A tall row is cut.
    t.Document->YOff = 160;
    t.Document->PageCutY = 160 + 200;
    t.PaintTable(canvas, {0, 0, 800, 200}, 0, 0);
    EXPECT_EQ(t.Document->PageCutY, 360);
}

TEST_F(TableFixture, PrintedPartsRepeatHeaderAndFooter)
{
    // Header 20, footer 20, ten body rows of 40: a page of 200 holds the header, some rows and the
    // footer; the next page starts with the header again.
    std::string body;
    for (int i = 0; i < 10; ++i)
        body += "<tr><td>5 5 40</td></tr>";
    auto& t = Table("<table cellspacing=0 cellpadding=0><thead><tr><td>5 5 20</td></tr></thead>"
                    "<tfoot><tr><td>5 5 20</td></tr></tfoot><tbody>" + body + "</tbody></table>");
    Layout(t, 400);
    ASSERT_TRUE(t.TableHeader);
    TSectionList& doc = *t.Document;
    doc.Printing = true;
    doc.YOff = 0;
    doc.PageCutY = 200;
    t.PaintTable(canvas, {0, 0, 400, 200}, 0, 0);
    // Lowered by footer + 5: 175; rows of 40 from 20 end at 60, 100, 140, 180: the cut is at 140.
    EXPECT_EQ(doc.PageCutY, 140);
    EXPECT_EQ(t.TablePartRec.TablePart, 5);
    EXPECT_EQ(t.TablePartRec.PartStart, 420);
    EXPECT_EQ(doc.TablePrinting, &t);
    // The footer strip paints the footer row only.
    ops.Painted.clear();
    doc.YOff = 420 - 140;
    doc.PageCutY = doc.YOff + 160;
    t.PaintTable(canvas, {0, 140, 400, 160}, 0, 0);
    ASSERT_EQ(ops.Painted.size(), 1u);
    EXPECT_EQ(ops.Painted[0][1], 420);
    EXPECT_EQ(t.TablePartRec.TablePart, 1);
    // The header strip at the top of the next page, then the body to its end.
    ops.Painted.clear();
    doc.YOff = 0;
    doc.PageCutY = 20;
    t.PaintTable(canvas, {0, 0, 400, 20}, 0, 0);
    ASSERT_EQ(ops.Painted.size(), 1u);
    EXPECT_EQ(ops.Painted[0][1], 0);
    EXPECT_EQ(t.TablePartRec.TablePart, 2);
    doc.YOff = 140 - 20;
    doc.PageCutY = 140 + 400;
    t.PaintTable(canvas, {0, 20, 400, 420}, 0, 0);
    EXPECT_EQ(t.TablePartRec.TablePart, 0);
    EXPECT_EQ(doc.TablePrinting, nullptr);
}

TEST_F(TableFixture, PrintedTableWhoseHeadDoesNotFitStartsOnTheNextPage)
{
    auto& t = Table("<table cellspacing=4 cellpadding=0><thead><tr><td>5 5 30</td></tr></thead>"
                    "<tfoot><tr><td>5 5 30</td></tr></tfoot><tbody><tr><td>5 5 60</td></tr><tr><td>5 5 60</td></tr>"
                    "</tbody></table>");
    int curs = 0, maxW = 0;
    t.LayoutTable(canvas, 0, 150, 400, 0, curs, maxW);
    TSectionList& doc = *t.Document;
    doc.Printing = true;
    doc.YOff = 0;
    doc.PageCutY = 250;  // header, footer and first body row need 34 + 34 + 64 from 150
    t.PaintTable(canvas, {0, 0, 400, 250}, 0, 150);
    EXPECT_EQ(doc.PageCutY, 152);
    EXPECT_EQ(t.TablePartRec.TablePart, 0);
    EXPECT_TRUE(ops.Painted.empty());
    // At the top of the next page it is painted whole (150 .. 350).
    doc.YOff = 152;
    doc.PageCutY = 152 + 200;
    t.PaintTable(canvas, {0, 0, 400, 200}, 0, 150);
    EXPECT_EQ(doc.PageCutY, 352);
    EXPECT_EQ(ops.Painted.size(), 4u);
    EXPECT_EQ(t.TablePartRec.TablePart, 0);
}

}  // namespace
}  // namespace velmoran

namespace velmoran {
namespace {

// Tables in whole documents, with real cell content measured in the test font.
class TableDocument : public ::testing::Test {
protected:
    int Layout(const std::string& html, int width)
    {
        page.Parse(html);
        int maxWidth = 0;
        return page.Doc.LayoutDocument(canvas, width, maxWidth);
    }
    std::vector<ThtmlTable*> Tables() { return page.All<ThtmlTable>(); }
    // The left edge and the width of the first table of a body without margins, 600 wide; the
    // page is kept for further looks.
    std::pair<int, int> TableLeftAndWidth(const std::string& html)
    {
        auto p = std::make_unique<testing::ParsedPage>();
        p->Parse("<body style=\"margin: 0\">" + html + "</body>");
        int maxWidth = 0;
        p->Doc.LayoutDocument(canvas, 600, maxWidth);
        ThtmlTable* t = p->All<ThtmlTable>()[0];
        const std::pair<int, int> leftAndWidth{t->TableLeft, t->TableWidth};
        pages.push_back(std::move(p));
        return leftAndWidth;
    }

    testing::ParsedPage page;
    std::vector<std::unique_ptr<testing::ParsedPage>> pages;
    RecordingCanvas canvas{page.Fonts, 800, 600};
};

TEST_F(TableDocument, PercentWidthOfTheAvailableWidth)
{
    Layout("<body style=\"margin: 0\"><table width=\"50%\"><tr><td>a</td></tr></table></body>", 600);
    ASSERT_EQ(Tables().size(), 1u);
    EXPECT_EQ(Tables()[0]->TableWidth, 300);
    // A minimum wider than the percentage wins.
    testing::ParsedPage wide;
    int maxWidth = 0;
    wide.Parse("<body style=\"margin: 0\"><table width=\"50%\" cellspacing=0 cellpadding=0><tr><td>"
               "<img width=400 height=10></td></tr></table></body>");
    wide.Doc.LayoutDocument(canvas, 600, maxWidth);
    EXPECT_EQ(wide.All<ThtmlTable>()[0]->TableWidth, 400);
}

// A table without WIDTH is as wide as its columns: its box and its columns must agree, whatever
// a cell spanning them all or a cell of 100 % asks, and it must stay inside its box.
TEST_F(TableDocument, TableWithoutWidthKeepsItsColumnsInItsBox)
{
    auto tableBox = [](testing::ParsedPage& p) { return p.All<TTableBlock>()[0]; };
    // A heading cell over two short columns: the columns widen to the heading, which stays on
    // one line (the box was as wide as the heading and the columns as wide as "x" and "y").
    Layout("<body style=\"margin: 0\"><table cellspacing=0 cellpadding=0><tr><td colspan=2>aaaa bbbb cccc dddd</td></tr>"
           "<tr><td>x</td><td>y</td></tr></table></body>",
           600);
    ThtmlTable* heading = Tables()[0];
    EXPECT_EQ(heading->TableWidth, tableBox(page)->NewWidth);
    EXPECT_GE(heading->TableWidth, 19 * 8);
    const auto texts = page.All<TSection>();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0]->Lines.size(), 1u);
    // A heading wider than the room still fills exactly the room.
    testing::ParsedPage narrow;
    int maxWidth = 0;
    narrow.Parse("<body style=\"margin: 0\"><table cellspacing=0 cellpadding=0><tr><td colspan=2>aaaa bbbb cccc dddd</td></tr>"
                 "<tr><td>x</td><td>y</td></tr></table></body>");
    narrow.Doc.LayoutDocument(canvas, 100, maxWidth);
    EXPECT_EQ(narrow.All<ThtmlTable>()[0]->TableWidth, 100);
    // A cell of 100 % beside a cell of ten letters: the table is as wide as its box, and the ten
    // letters keep their room (before, the first column took the whole box and the second lay
    // outside it).
    testing::ParsedPage full;
    full.Parse("<body style=\"margin: 0\"><table cellspacing=0 cellpadding=0><tr><td width=\"100%\">a</td>"
               "<td>bbbbbbbbbb</td></tr></table></body>");
    full.Doc.LayoutDocument(canvas, 600, maxWidth);
    ThtmlTable* hundred = full.All<ThtmlTable>()[0];
    EXPECT_EQ(hundred->TableWidth, tableBox(full)->NewWidth);
    // "a" takes what the ten letters (80) leave of the box (a maximum of "a " and "bbbbbbbbbb ").
    EXPECT_EQ(hundred->Widths, (std::vector<int>{24, 80}));
}

// A table beside a float takes its width, a percentage of it too, from the room the float leaves
// (a logo on the left cut the date of a page header at the window's edge; one on the right ran
// under the table).
TEST_F(TableDocument, PercentWidthBesideAFloatIsOfTheRoomLeft)
{
    auto table = [&](const std::string& html) { return TableLeftAndWidth(html); };
    const std::string full = "<table width=\"100%\" cellspacing=0><tr><td>x</td></tr></table>";
    EXPECT_EQ(table("<img align=left hspace=0 width=100 height=50>" + full), (std::pair<int, int>{100, 500}));
    EXPECT_EQ(table("<img align=right hspace=0 width=100 height=50>" + full), (std::pair<int, int>{0, 500}));
    EXPECT_EQ(table("<img align=left hspace=0 width=100 height=50><table width=\"50%\" cellspacing=0><tr><td>x</td></tr></table>"),
              (std::pair<int, int>{100, 250}));
    // Centred in the room beside the float, and right-aligned to the float's edge.
    EXPECT_EQ(table("<img align=left hspace=0 width=100 height=50><table width=100 align=center cellspacing=0><tr><td>x</td></tr></table>"),
              (std::pair<int, int>{300, 100}));
    EXPECT_EQ(table("<img align=right hspace=0 width=100 height=50><table width=100 align=right cellspacing=0><tr><td>x</td></tr></table>"),
              (std::pair<int, int>{400, 100}));
    // Without a float nothing changes.
    EXPECT_EQ(table(full), (std::pair<int, int>{0, 600}));
    EXPECT_EQ(table("<table width=100 align=center cellspacing=0><tr><td>x</td></tr></table>"), (std::pair<int, int>{250, 100}));
}

// The room is taken where the table itself stands: a table that clears the float, or that its top
// margin or a caption on top moves below it, has the whole width (a page header cleared below a
// logo kept the logo's indent and lost a quarter of its width).
TEST_F(TableDocument, PercentWidthBelowAFloatIsTheWholeWidth)
{
    const std::string row = " cellspacing=0><tr><td>x</td></tr></table>";
    const std::string left = "<img align=left hspace=0 width=100 height=50>";
    const std::pair<int, int> whole{0, 600};
    EXPECT_EQ(TableLeftAndWidth(left + "<table width=\"100%\" style=\"clear: left\"" + row), whole);
    EXPECT_EQ(TableLeftAndWidth("<img align=right hspace=0 width=100 height=50><table width=\"100%\" style=\"clear: both\"" + row),
              whole);
    // A top margin that reaches below the float, and one that does not.
    EXPECT_EQ(TableLeftAndWidth(left + "<table width=\"100%\" style=\"margin-top: 80px\"" + row), whole);
    EXPECT_EQ(TableLeftAndWidth(left + "<table width=\"100%\" style=\"margin-top: 10px\"" + row),
              (std::pair<int, int>{100, 500}));
    // A caption on top beside a short float, the table below it; beside a tall one, both beside it.
    const std::string captioned = "<table width=\"100%\" cellspacing=0><caption>Titel</caption><tr><td>x</td></tr></table>";
    EXPECT_EQ(TableLeftAndWidth("<img align=right hspace=0 width=100 height=20>" + captioned), whole);
    // The caption itself stands beside the float and keeps clear of it.
    const TBlock* caption = pages.back()->All<TTableAndCaptionBlock>()[0]->CaptionBlock;
    ASSERT_NE(caption, nullptr);
    const auto* title = dynamic_cast<const TSection*>(caption->MyCell->Items(0));
    ASSERT_TRUE(title && !title->Lines.empty());
    EXPECT_LT(title->Lines[0].LineY, 20);
    EXPECT_EQ(title->Lines[0].Width, 500);
    EXPECT_EQ(TableLeftAndWidth("<img align=right hspace=0 width=100 height=200>" + captioned),
              (std::pair<int, int>{0, 500}));
}

// A floating table keeps HSPACE and VSPACE around it as a picture does (the text beside it touched
// it), except where a style gives a margin; a table in the flow has no use for them.
TEST_F(TableDocument, FloatingTableKeepsHSpaceAndVSpace)
{
    const std::string rest = " width=100 cellspacing=0><tr><td>x</td></tr></table>Text daneben";
    // Where the table stands and where the text beside it begins and ends.
    auto layout = [&](const std::string& table) {
        const std::pair<int, int> at = TableLeftAndWidth(table + rest);
        ThtmlTable* t = pages.back()->All<ThtmlTable>()[0];
        const auto* text = pages.back()->All<TSection>().back();
        const LineRec& line = text->Lines.at(0);
        return std::array<int, 4>{at.first, t->YPosition, line.LineIndent, line.LineIndent + line.Width};
    };
    EXPECT_EQ(layout("<table align=left hspace=30 vspace=20"), (std::array<int, 4>{30, 20, 160, 600}));
    EXPECT_EQ(layout("<table align=right hspace=30 vspace=20"), (std::array<int, 4>{470, 20, 0, 440}));
    EXPECT_EQ(layout("<table align=left hspace=30 style=\"margin-left: 5px; margin-top: 2px\""),
              (std::array<int, 4>{5, 2, 135, 600}));
    EXPECT_EQ(layout("<table style=\"float: left\" hspace=30"), (std::array<int, 4>{30, 0, 160, 600}));
    // In the flow the table stands at the left edge, the text below it.
    EXPECT_EQ(TableLeftAndWidth("<table hspace=30 vspace=20" + rest).first, 0);
    EXPECT_EQ(pages.back()->All<ThtmlTable>()[0]->YPosition, 0);
}

TEST_F(TableDocument, NestedTableFillsItsCell)
{
    Layout("<body style=\"margin: 0\"><table width=400 cellspacing=0 cellpadding=0><tr>"
           "<td width=100>x</td><td><table width=\"100%\" cellspacing=0 cellpadding=0><tr><td>in</td><td>ner</td></tr>"
           "</table></td></tr></table></body>",
           600);
    const auto t = Tables();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0]->TableWidth, 400);
    EXPECT_EQ(t[0]->Widths, (std::vector<int>{100, 300}));
    EXPECT_EQ(t[1]->TableWidth, 300);
}

TEST_F(TableDocument, NarrowCellWrapsAndRowGrows)
{
    const int oneLine = Layout("<body style=\"margin: 0\"><table cellspacing=0 cellpadding=0><tr><td>wort</td></tr></table></body>", 600);
    testing::ParsedPage two;
    int maxWidth = 0;
    two.Parse("<body style=\"margin: 0\"><table cellspacing=0 cellpadding=0 width=10><tr><td>wort wort wort</td></tr></table></body>");
    const int threeLines = two.Doc.LayoutDocument(canvas, 600, maxWidth);
    EXPECT_EQ(threeLines, 3 * oneLine);
    // The table is as wide as its longest word, not the 10 pixels asked for.
    const auto* t = two.All<ThtmlTable>()[0];
    EXPECT_EQ(t->TableWidth, t->MinWidths[0]);
}

TEST_F(TableDocument, BorderAttributeFramesTheTableRaisedAndItsCellsSunken)
{
    // The pens and lines of both frames: the cell's first (its top and left in the dark colour),
    // then the table's one pixel outside its box (top and left in the light colour).
    auto frames = [&](const std::string& colours, TColor background = NoColor) {
        testing::ParsedPage p;
        p.Parse("<body style=\"margin: 0\"><table border=1 cellspacing=0" + colours + "><tr><td>a</td></tr></table></body>");
        p.Doc.Background = background;
        RecordingCanvas c{p.Fonts, 800, 600};
        int maxWidth = 0;
        p.Doc.LayoutDocument(c, 600, maxWidth);
        p.Doc.PaintDocument(c, {0, 0, 800, 600});
        std::vector<std::string> out;
        for (const auto& line : c.Lines())
            if (line.rfind("Pen", 0) == 0 || line.rfind("LineTo", 0) == 0)
                out.push_back(line);
        return out;
    };
    auto expected = [](const std::string& light, const std::string& dark) {
        return std::vector<std::string>{"Pen solid 1 " + dark,  "LineTo 1,1 from 20,1",   "LineTo 1,20 from 1,1",
                                        "Pen solid 1 " + light, "LineTo 20,20 from 20,1", "LineTo 0,20 from 20,20",
                                        "LineTo 0,0 from 21,0", "LineTo 0,21 from 0,0",   "Pen solid 1 " + dark,
                                        "LineTo 21,21 from 21,0", "LineTo -1,21 from 21,21"};
    };
    // The document's own 3-D colours on a white page: silver and grey.
    EXPECT_EQ(frames(""), expected("#C0C0C0", "#808080"));
    // So on a page of the system colour "window" (white), and on a white one; on a grey page the
    // light edges are the button highlight.
    EXPECT_EQ(frames("", SystemColor(COLOR_WINDOW)), expected("#C0C0C0", "#808080"));
    EXPECT_EQ(frames("", 0xFFFFFF | kPaletteRelative), expected("#C0C0C0", "#808080"));
    EXPECT_EQ(frames("", 0xE0E0E0), expected("#FFFFFF", "#808080"));
    EXPECT_EQ(frames(" bordercolorlight=#ff0000 bordercolordark=#0000ff"), expected("#FF0000", "#0000FF"));
}


TEST_F(TableDocument, QueriesReachIntoCells)
{
    Layout("<body style=\"margin: 0\"><table cellspacing=0 cellpadding=0><tr><td width=100>abc</td>"
           "<td width=100 href='cell.htm' title='tip'>xyz <a href='in.htm'>lnk</a></td></tr></table></body>",
           600);
    auto& doc = page.Doc;
    std::unique_ptr<TUrlTarget> url;
    std::string title;
    // Over "xyz": the link and title of the whole cell.
    EXPECT_EQ(doc.GetUrlAt(canvas, 110, 5, url, title), 5);
    ASSERT_TRUE(url);
    EXPECT_EQ(url->URL, "cell.htm");
    EXPECT_EQ(title, "tip");
    // The print copy answers alike: its cells share the title and link.
    {
        auto copy = doc.CreateCopy();
        int widest = 0;
        copy->LayoutDocument(canvas, 600, widest);
        std::unique_ptr<TUrlTarget> copied;
        std::string copiedTitle;
        EXPECT_EQ(copy->GetUrlAt(canvas, 110, 5, copied, copiedTitle), 5);
        ASSERT_TRUE(copied);
        EXPECT_EQ(copied->URL, "cell.htm");
        EXPECT_EQ(copiedTitle, "tip");
    }
    // Over "lnk" (four characters of 8 pixels into the cell): the content's own link wins.
    url.reset();
    title.clear();
    EXPECT_EQ(doc.GetUrlAt(canvas, 140, 5, url, title), 5);
    ASSERT_TRUE(url);
    EXPECT_EQ(url->URL, "in.htm");
    // Over "abc": nothing.
    url.reset();
    EXPECT_EQ(doc.GetUrlAt(canvas, 10, 5, url, title), 0);
    // A caret point in the second cell lies right of the first column and comes back.
    const int pos = doc.FindTextForward(u"xyz", 0, true);
    ASSERT_GE(pos, 0);
    EXPECT_GT(pos, doc.FindTextForward(u"abc", 0, true));
    EXPECT_EQ(doc.FindTextBackward(u"abc", pos + 10, true), doc.FindTextForward(u"abc", 0, true));
    int x = 0, y = 0;
    ASSERT_TRUE(doc.CursorToPoint(canvas, pos + 1, x, y));
    EXPECT_EQ(x, 108);
    int lh = 0, base = 0;
    bool inText = false;
    EXPECT_EQ(doc.FindCursorAt(canvas, x + 1, y - 2, lh, base, inText), pos + 1);
    // Characters and source positions of cell text.
    char16_t ch = 0;
    TFontObj* font = nullptr;
    TSectionBase* section = nullptr;
    ASSERT_TRUE(doc.CharAt(pos + 1, ch, font, section));
    EXPECT_EQ(ch, u'y');
    const int source = doc.FindSourcePos(pos);
    ASSERT_GE(source, 0);
    EXPECT_EQ(doc.FindDocPos(source, false), pos);
    doc.SelB = 0;
    doc.SelE = doc.PosCount;
    const std::u16string sel = doc.GetSelText();
    EXPECT_NE(sel.find(u"abc"), std::u16string::npos);
    EXPECT_NE(sel.find(u"xyz lnk"), std::u16string::npos);
}


// The document's cell operations, except that content is always laid out again in place rather
// than moved there from the layout that found the row heights.
class LaidOutInPlace : public TCellContentOps {
public:
    void MinMaxWidth(Canvas& canvas, TCellObj& cell, int& mn, int& mx) override
    {
        DefaultCellContentOps().MinMaxWidth(canvas, cell, mn, mx);
    }
    int Layout(Canvas& canvas, TCellObj& cell, int x, int y, int width, int height, int& curs) override
    {
        return DefaultCellContentOps().Layout(canvas, cell, x, y, width, height, curs);
    }
    void Paint(Canvas& canvas, TCellObj& cell, const TRect& clip, int x, int y) override
    {
        DefaultCellContentOps().Paint(canvas, cell, clip, x, y);
    }
};

// Every place the layout leaves in the text sections of a document.
std::string TextPlaces(testing::ParsedPage& page)
{
    std::ostringstream out;
    for (const TSection* s : page.All<TSection>()) {
        out << WideToUtf8(s->Text) << ": curs " << s->StartCurs << "+" << s->Len << " x " << s->LayoutX << " y "
            << s->YPosition << " draw " << s->DrawTop << ".." << s->DrawBot << " content " << s->ContentTop << ".."
            << s->ContentBot << " h " << s->SectionHeight << "\n";
        for (const LineRec& l : s->Lines)
            out << "  line " << l.Start << "+" << l.Ln << " at " << l.LineIndent << "," << l.LineY << " h " << l.LineHt
                << " w " << l.TextWidth << "\n";
    }
    for (ThtmlTable* t : page.All<ThtmlTable>())
        for (int r = 0; r < t->Rows.Count(); ++r)
            for (const auto& c : *t->Rows[r])
                if (c && c->Cell)
                    out << "cell top " << c->Cell->TopY << " from " << c->Cell->StartPos << "+" << c->Cell->PosCount
                        << " content h " << c->ContentHeight << " shift " << c->ContentShift << "\n";
    return out.str();
}

// Cells whose row heights were found by a layout at the top left are moved into place rather than
// laid out again; every line, section, cell and document position ends where a second layout in
// place puts it, at every width and after a layout at another width.
TEST(TableCellsMovedIntoPlace, EndWhereALayoutInPlacePutsThem)
{
    const std::string html =
        "<body><p>Vorher</p><table border=1 cellpadding=3 width=\"90%\">"
        "<tr><td rowspan=2 valign=bottom>links unten mit langem Text</td><td>S<sub>NH4</sub> m<sup>3</sup>/d</td>"
        "<td align=right valign=top>1.234,5</td></tr>"
        "<tr><td colspan=2 height=60>mitte <a href='x.htm'>Verweis</a> Ende</td></tr>"
        "<tr><td><img src='fehlt.gif' width=20 height=30> Bild</td><td><p>eins</p><p>zwei</p></td>"
        "<td><table cellspacing=0><tr><td>innen</td><td>rechts</td></tr></table></td></tr>"
        "</table><p>Danach</p></body>";
    testing::ParsedPage moved, inPlace;
    moved.Parse(html);
    inPlace.Parse(html);
    LaidOutInPlace again;
    for (ThtmlTable* t : inPlace.All<ThtmlTable>())
        t->ContentOps = &again;
    RecordingCanvas canvas{moved.Fonts, 800, 600};
    for (int width : {600, 240, 600, 1000}) {
        int widest = 0;
        const int height = moved.Doc.LayoutDocument(canvas, width, widest);
        EXPECT_EQ(inPlace.Doc.LayoutDocument(canvas, width, widest), height) << "width " << width;
        EXPECT_EQ(TextPlaces(moved), TextPlaces(inPlace)) << "width " << width;
        EXPECT_EQ(moved.Dump(), inPlace.Dump()) << "width " << width;
    }
    // The moved text answers queries at its new place.
    const int pos = moved.Doc.FindTextForward(u"Verweis", 0, true);
    ASSERT_GE(pos, 0);
    int x = 0, y = 0;
    ASSERT_TRUE(moved.Doc.CursorToPoint(canvas, pos, x, y));
    int lh = 0, base = 0;
    bool inText = false;
    EXPECT_EQ(moved.Doc.FindCursorAt(canvas, x + 1, y - 2, lh, base, inText), pos);
}

TEST_F(TableDocument, DeeplyNestedTablesAreLaidOutOnce)
{
    // Forty tables inside each other: the deep ones keep their row heights, so the layout does not
    // double with every level.
    std::string html = "<body>";
    for (int i = 0; i < 40; ++i)
        html += "<table><tr><td>x</td><td>";
    html += "innen";
    for (int i = 0; i < 40; ++i)
        html += "</td></tr></table>";
    Layout(html + "</body>", 600);
    const auto t = Tables();
    ASSERT_EQ(t.size(), 40u);
    EXPECT_GT(t.back()->TableWidth, 0);
    EXPECT_LT(t.back()->YPosition + t.back()->SectionHeight, t.front()->YPosition + t.front()->SectionHeight);
    EXPECT_GT(t.back()->YPosition, t.front()->YPosition);
}

// The document's cell operations, counting how often each cell's content is laid out.
class CountedLayouts : public TCellContentOps {
public:
    void MinMaxWidth(Canvas& canvas, TCellObj& cell, int& mn, int& mx) override
    {
        DefaultCellContentOps().MinMaxWidth(canvas, cell, mn, mx);
    }
    int Layout(Canvas& canvas, TCellObj& cell, int x, int y, int width, int height, int& curs) override
    {
        ++Laid[&cell];
        return DefaultCellContentOps().Layout(canvas, cell, x, y, width, height, curs);
    }
    void Paint(Canvas& canvas, TCellObj& cell, const TRect& clip, int x, int y) override
    {
        DefaultCellContentOps().Paint(canvas, cell, clip, x, y);
    }
    bool HasContent(const TCellObj& cell) const override { return DefaultCellContentOps().HasContent(cell); }
    bool Shift(TCellObj& cell, int dy, int dcurs, int& height) override
    {
        return DefaultCellContentOps().Shift(cell, dy, dcurs, height);
    }
    bool LaysOutInPlace(const TCellObj& cell) const override { return DefaultCellContentOps().LaysOutInPlace(cell); }
    bool SameInHeights(const TCellObj& cell, int width, int a, int b) const override
    {
        return DefaultCellContentOps().SameInHeights(cell, width, a, b);
    }
    std::map<const TCellObj*, int> Laid;
};

// A table in a table's first cell is laid out once per layout of the outer table: in its place
// while the row heights are found, and kept there. Laid out at the top left first and again in
// place, a nested table's cost doubles with every level of nesting, as result pages nest tables;
// from six levels down row heights are kept, which hides the doubling from the deep test above.
TEST_F(TableDocument, ATableInTheFirstCellIsLaidOutOnceInItsPlace)
{
    Layout("<body><table cellspacing=2 cellpadding=1><tr><td><table cellspacing=0><tr><td>innen</td></tr>"
           "</table></td><td>daneben</td></tr></table></body>",
           600);
    ThtmlTable& outer = *Tables().at(0);
    CountedLayouts counted;
    outer.ContentOps = &counted;
    int widest = 0;
    const int height = page.Doc.LayoutDocument(canvas, 600, widest);
    TCellObj* first = outer.Rows[0]->Items(0);
    TCellObj* second = outer.Rows[0]->Items(1);
    EXPECT_EQ(counted.Laid[first], 1);
    // Text alone is laid out at the top left once and moved into place.
    EXPECT_EQ(counted.Laid[second], 1);
    // Laid out once, it stands where a layout in place puts it: 10 + 2 + 1 down.
    const ThtmlTable& inner = *Tables().at(1);
    EXPECT_EQ(inner.YPosition, 13);
    outer.ContentOps = nullptr;
    EXPECT_EQ(page.Doc.LayoutDocument(canvas, 600, widest), height);
    EXPECT_EQ(Tables().at(1)->YPosition, 13);
}


TEST_F(TableDocument, PrintCopyLaysTablesOutAlike)
{
    const int height = Layout("<body><table border=1 bgcolor=#FF0000><caption>Titel</caption>"
                              "<tr><td rowspan=2>a</td><td>b</td></tr><tr><td>c<table><tr><td>d</td></tr></table></td></tr>"
                              "</table></body>",
                              500);
    auto copy = page.Doc.CreateCopy();
    int maxWidth = 0;
    EXPECT_EQ(copy->LayoutDocument(canvas, 500, maxWidth), height);
    std::vector<ThtmlTable*> copied;
    std::function<void(TCellBasic&)> walk = [&](TCellBasic& cell) {
        for (const auto& s : cell) {
            if (auto* t = dynamic_cast<ThtmlTable*>(s.get())) {
                copied.push_back(t);
                for (const auto& row : t->Rows)
                    for (const auto& c : *row)
                        if (c && c->Cell)
                            walk(*c->Cell);
            } else if (auto* b = dynamic_cast<TBlock*>(s.get())) {
                walk(*b->MyCell);
            }
        }
    };
    walk(*copy);
    const auto original = Tables();
    ASSERT_EQ(copied.size(), original.size());
    for (std::size_t i = 0; i < copied.size(); ++i) {
        EXPECT_EQ(copied[i]->Widths, original[i]->Widths);
        EXPECT_EQ(copied[i]->Heights, original[i]->Heights);
        EXPECT_EQ(copied[i]->YPosition, original[i]->YPosition);
    }
    // Table backgrounds are left out of the copy unless they are printed.
    EXPECT_TRUE(original[0]->Rows[0]->Items(0)->Cell->BkGnd);
    EXPECT_FALSE(copied[0]->Rows[0]->Items(0)->Cell->BkGnd);
}


TEST_F(TableDocument, MissingCellPictureLeavesTheColour)
{
    Layout("<body style=\"margin: 0\"><table cellspacing=0><tr background=\"nirgends.bmp\"><td bgcolor=#00FF00>a</td>"
           "</tr></table></body>",
           600);
    TCellObj& cell = *Tables()[0]->Rows[0]->Items(0);
    EXPECT_EQ(cell.BGImageName, "nirgends.bmp");  // from the row
    EXPECT_EQ(cell.BGImage, nullptr);
    canvas.Clear();
    page.Doc.PaintDocument(canvas, {0, 0, 800, 600});
    EXPECT_NE(canvas.Text().find("#00FF00"), std::string::npos);
    EXPECT_EQ(canvas.Text().find("StretchBlt"), std::string::npos);
}

// A style that names no background picture ("none") leaves a row's BACKGROUND as it leaves a
// cell's: the style replaces the attribute's picture only with one of its own.
TEST_F(TableDocument, AStyleWithoutAPictureLeavesTheRowsAndTheCellsBackground)
{
    Layout("<table><tr background=\"reihe.bmp\" style=\"background-image: none\"><td>a</td>"
           "<td background=\"zelle.bmp\" style=\"background-image: none\">b</td></tr>"
           "<tr background=\"reihe.bmp\" style=\"background-image: url(stil.bmp)\"><td>c</td></tr></table>",
           600);
    EXPECT_EQ(Tables()[0]->Rows[0]->Items(0)->BGImageName, "reihe.bmp");  // from the row
    EXPECT_EQ(Tables()[0]->Rows[0]->Items(1)->BGImageName, "zelle.bmp");
    EXPECT_EQ(Tables()[0]->Rows[1]->Items(0)->BGImageName, "stil.bmp");  // the style's own picture
}

}  // namespace
}  // namespace velmoran
