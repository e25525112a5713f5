// Numbers at the ends of the 32-bit range in attributes and style sheets: they are read within
// bounds the layout's arithmetic cannot overflow, so pages holding them lay out with finite,
// non-negative sizes (the sanitizer build runs these pages too) and list numbers stop at the
// largest number instead of wrapping.
#include "tests/html/layout/ParserTestSupport.h"
#include "html/base/WideText.h"
#include "html/layout/SectionList.h"
#include "html/style/Fonts.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cmath>

namespace velmoran {
namespace {

using testing::ParsedPage;

class LargeNumbers : public ::testing::Test {
protected:
    // Parses, lays out 800 pixels wide, paints the whole page and prints it from its copy; returns
    // the height.
    static int LayOutAndPaint(ParsedPage& page, const std::string& html)
    {
        RecordingCanvas canvas{page.Fonts, 800, 600};
        page.Parse(html);
        int maxWidth = 0;
        const int height = page.Doc.LayoutDocument(canvas, 800, maxWidth);
        EXPECT_GE(maxWidth, 0) << html;
        page.Doc.SetYOffset(0);
        page.Doc.PaintDocument(canvas, {0, 0, std::max(800, maxWidth), std::max(1, height)});
        auto copy = page.Doc.CreateCopy();
        copy->Printing = true;
        int copyWidth = 0;
        copy->LayoutDocument(canvas, 800, copyWidth);
        copy->PaintDocument(canvas, {0, 0, 800, 1000});
        return height;
    }
};

TEST_F(LargeNumbers, PagesLayOutWithFiniteNonNegativeSizes)
{
    const char* const pages[] = {
        "<table width=2147483647 border=1><tr><td width=2147483647 height=2147483647>a</td>"
        "<td width=\"100%\">b</td></tr></table>",
        "<table><tr height=2147483647><td>c</td></tr></table><table width=-2147483648><tr><td>d</table>",
        "<p style=\"padding:-2147483648px; margin:2147483647px -99999999em\">e</p>",
        "<div style=\"width:2147483647px; height:-2147483648px; border:2147483647px solid\">f</div>",
        "<p style=\"text-indent:1e30px; line-height:1e12; letter-spacing:2147483647px\">g</p>",
        "<img src=x.png width=2147483647 height=2147483647 border=2147483647>",
        "<img src=y.png align=left width=2147483647 height=5>h<hr width=2147483647>",
        "<table cellpadding=2147483647 cellspacing=2147483647><tr><td style=\"padding:2147483647px\">i</td></tr></table>",
    };
    for (const char* html : pages) {
        ParsedPage page;
        const int height = LayOutAndPaint(page, html);
        EXPECT_GE(height, 0) << html;
        EXPECT_LT(height, 100 * kMaxLength) << html;
        for (TSectionBase* s : page.All<TSectionBase>()) {
            EXPECT_GE(s->SectionHeight, 0) << html;
            EXPECT_LE(s->SectionWidth, 100 * kMaxLength) << html;
        }
    }
}

TEST_F(LargeNumbers, ManyHugeSectionsEndAtTheFarEdge)
{
    // Each size is within its bound, but thousands of them add up beyond the 32-bit range: the
    // positions stop at the far edge instead of wrapping round.
    std::string rows = "<table>", cells = "<table><tr>", blocks;
    for (int i = 0; i < 2200; ++i) {
        rows += "<tr><td height=1000000>x</td></tr>";
        cells += "<td width=1000000>y</td>";
        blocks += "<p style=\"line-height:1000000px; letter-spacing:1000000px\">zz</p>";
    }
    for (const std::string& html : {rows + "</table>", cells + "</tr></table>", blocks}) {
        ParsedPage page;
        const int height = LayOutAndPaint(page, html);
        EXPECT_GT(height, 0);
        EXPECT_LE(height, kMaxExtent + 2 * kMaxLength);
    }
}

TEST_F(LargeNumbers, LengthsAreReadWithinTheirBounds)
{
    EXPECT_EQ(LengthToPixels("-2147483648px", false, 0, 0, 8, 16), -kMaxLength);
    EXPECT_EQ(LengthToPixels("100000000000000000000in", false, 0, 0, 8, 16), kMaxLength);
    EXPECT_EQ(LengthToPixels("99999999999%", false, 2147483647, 0, 8, 16), kMaxLength);
    EXPECT_EQ(RoundLength(std::nan("")), 0);
    ParsedPage page;
    page.Parse("<table><tr><td width=2147483647 height=2147483647>a</td></tr></table><img src=a.png width=2147483647>");
    const TCellObj& cell = *page.All<ThtmlTable>().at(0)->Rows[0]->Items(0);
    EXPECT_EQ(cell.Wd, kMaxLength);
    EXPECT_EQ(cell.SpecHt, kMaxLength);
}

TEST_F(LargeNumbers, ListNumbersStopAtTheLargestNumber)
{
    ParsedPage page;
    LayOutAndPaint(page, "<ol start=2147483647><li>a<li>b<li value=2147483647>c<li>d</ol><ol><li value=-2147483648>e</ol>");
    std::vector<int> numbers;
    for (TBlockLI* li : page.All<TBlockLI>())
        numbers.push_back(li->ListNumber);
    EXPECT_EQ(numbers, (std::vector<int>{2147483647, 2147483647, 2147483647, 2147483647, -2147483647}));
    EXPECT_EQ(TBlockLI::LabelText(2, 2147483647), u"2147483647.");
}

TEST_F(LargeNumbers, WidthsDerivedThroughNestedNegativeMarginsStayWithinTheirBounds)
{
    // Every margin is within its bound, but each box nested in them had 2,000,000 pixels more room
    // than its parent, until a percent of it passed the 32-bit range.
    std::string nested;
    for (int i = 0; i < 300; ++i)
        nested += "<div style=\"margin-left:-1000000px; margin-right:-1000000px\">";
    const std::string pages[] = {
        nested + "<table width=\"100%\" border=1><tr><td width=\"100%\">a</td></tr></table>",
        nested + "<p style=\"text-indent:90%\">b c d</p><table width=\"90%\"><caption>e</caption><tr><td>f</table>",
        nested + "<ul><li style=\"text-indent:50%\"><table width=\"100%\"><tr><td><p style=\"text-indent:80%\">g</table></ul>",
    };
    for (const std::string& html : pages) {
        ParsedPage page;
        LayOutAndPaint(page, html);
        for (ThtmlTable* table : page.All<ThtmlTable>()) {
            EXPECT_LE(table->TableWidth, 3 * kMaxLength);
            EXPECT_GE(table->TableWidth, 0);
        }
        for (TBlock* block : page.All<TBlock>())
            EXPECT_LE(block->NewWidth, 3 * kMaxLength);
        for (TSection* section : page.All<TSection>())
            EXPECT_LE(std::abs(section->TextIndent), kMaxLength);
    }
}

TEST_F(LargeNumbers, ImageMapCoordinatesAreReadWithinTheLengthBounds)
{
    // Circles and polygons of the largest coordinates once overflowed while their regions were made.
    ParsedPage page;
    LayOutAndPaint(page,
                   "<map name=m><area shape=circle coords=\"2147483647,2147483647,2147483647\" href=a.htm>"
                   "<area shape=circ coords=\"-2147483648,-2147483648,99999999999\" href=b.htm>"
                   "<area shape=poly coords=\"2147483647,0,0,2147483647,-2147483648,5\" href=c.htm>"
                   "<area coords=\"-99999999999px,-2147483648,2147483647,2147483647\" href=d.htm></map>"
                   "<img src=x.png usemap=#m width=10 height=10>");
    ASSERT_EQ(page.Doc.MapList.Count(), 1);
    const TMapItem* map = page.Doc.MapList.First();
    // Circles and polygons that large are left out, as they always were; the rectangle stays.
    EXPECT_EQ(map->AreaCount(), 1);
    std::string title;
    std::unique_ptr<TUrlTarget> url;
    // The rectangle reaches from the far corner to the far corner (numbers read as atoi reads them,
    // "px" left out), where the circles and the polygon do not reach.
    ASSERT_TRUE(map->FindArea(-kMaxLength, kMaxLength - 1, title, url));
    EXPECT_EQ(url->URL, "d.htm");
    ASSERT_TRUE(map->FindArea(kMaxLength, -kMaxLength, title, url));
    EXPECT_EQ(url->URL, "d.htm");
    EXPECT_FALSE(map->FindArea(kMaxLength + 1, 0, title, url));
}

}  // namespace
}  // namespace velmoran
