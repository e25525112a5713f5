// Tests of the flow layout and painting: line breaking, margins, floats, positioned blocks, list
// labels, rules, borders and backgrounds, recorded with the fixed-metric test font.
#include "tests/html/layout/ParserTestSupport.h"

#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace velmoran::testing {
namespace {

bool Has(const std::vector<std::string>& calls, const std::string& text)
{
    return std::any_of(calls.begin(), calls.end(), [&](const std::string& c) { return c.find(text) != std::string::npos; });
}

int CountPrefix(const std::vector<std::string>& calls, const std::string& prefix)
{
    return static_cast<int>(
        std::count_if(calls.begin(), calls.end(), [&](const std::string& c) { return c.rfind(prefix, 0) == 0; }));
}

// Body margins are 10 pixels; the test font is 8 pixels a character, lines 16 high (ascent 12).
TEST(LineBreaking, SoftHyphenBreaksWithAHyphenOnlyWhenNeeded)
{
    Laid narrow("<p>ab&shy;cd</p>", 20 + 28);
    EXPECT_EQ(narrow.Lines(), (std::vector<std::string>{"ab", "cd "}));
    EXPECT_EQ(narrow.TextCalls(), (std::vector<std::string>{"TextOut 10,22 'ab-'", "TextOut 10,38 'cd'"}));
    Laid wide("<p>ab&shy;cd</p>", 200);
    EXPECT_EQ(wide.TextCalls(), (std::vector<std::string>{"TextOut 10,22 'abcd'"}));
}

TEST(LineBreaking, NoBreakSpaceLongWordsAndBreakWord)
{
    Laid nbsp("<p>aaa&nbsp;bbb ccc</p>", 20 + 40);
    EXPECT_EQ(nbsp.Lines().size(), 2u);
    EXPECT_EQ(nbsp.Lines()[1], "ccc ");
    Laid longWord("<p>abcdefghij kl</p>", 20 + 40);
    EXPECT_EQ(longWord.Lines(), (std::vector<std::string>{"abcdefghij ", "kl "}));
    Laid cut("<p style='word-wrap:break-word'>abcdefghij kl</p>", 20 + 40);
    EXPECT_EQ(cut.Lines(), (std::vector<std::string>{"abcde", "fghij ", "kl "}));
    // However narrow, every line takes a character.
    Laid tiny("<p>abc</p>", 20);
    EXPECT_EQ(tiny.Lines().size(), 1u);
    Laid tinyCut("<p style='word-wrap:break-word'>abc</p>", 20);
    EXPECT_EQ(tinyCut.Lines(), (std::vector<std::string>{"a", "b", "c "}));
}

// A <wbr> lets a word break after it: the least width of the paragraph (what a table cell gives
// it) is its longer part's, and a narrow line breaks there. A line-height of 0 is a height the page
// asks for: the lines stand on one another, not one a line apart.
TEST(LineBreaking, WbrSplitsAWordAndALineHeightOfZeroIsKept)
{
    Laid split("<p>abc<wbr>defgh</p>", 400);
    int least = 0, most = 0;
    split.Page.All<TSection>()[0]->GetMinMaxWidth(split.Canvas, least, most);
    EXPECT_EQ(least, 5 * 8);
    EXPECT_GE(most, 8 * 8);
    Laid narrow("<p>abc<wbr>defgh</p>", 20 + 48);
    EXPECT_EQ(narrow.Lines(), (std::vector<std::string>{"abc", "defgh "}));

    Laid flat("<p style='line-height:0'>ab<br>cd</p>", 400);
    const auto calls = flat.TextCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].substr(0, calls[0].find('\'')), calls[1].substr(0, calls[1].find('\'')));
}

TEST(LineBreaking, JustifySpreadsAllButTheLastLine)
{
    Laid l("<p style='text-align:justify'>aa bb cc dd</p>", 20 + 72);
    auto* s = l.Page.All<TSection>()[0];
    ASSERT_EQ(s->Lines.size(), 2u);
    EXPECT_EQ(s->Lines[0].Extra, 8);
    EXPECT_EQ(s->Lines[0].Spaces, 2);
    EXPECT_EQ(s->Lines[1].Spaces, 0);
    const auto calls = l.TextCalls();
    EXPECT_EQ(calls[0], "TextOut 10,22 'aa bb cc'");
    Laid center("<p align=center>ab</p>", 20 + 100);
    EXPECT_EQ(center.TextCalls()[0], "TextOut 52,22 'ab'");
    Laid right("<p align=right>ab</p>", 20 + 100);
    EXPECT_EQ(right.TextCalls()[0], "TextOut 94,22 'ab'");
}

TEST(LineBreaking, SubscriptSuperscriptAndTextIndent)
{
    Laid l("<p>x<sup>2</sup>y<sub>3</sub>z</p>", 400);
    const auto calls = l.TextCalls();
    // "super" rises by a third of the small font's height, "sub" drops by half its descent plus 1.
    EXPECT_EQ(calls, (std::vector<std::string>{"TextOut 10,22 'x'", "TextOut 18,18 '2'", "TextOut 24,22 'y'",
                                               "TextOut 32,24 '3'", "TextOut 38,22 'z'"}));
    Laid ind("<p style='text-indent:30px'>aa bb</p>", 400);
    EXPECT_EQ(ind.TextCalls()[0], "TextOut 40,22 'aa bb'");
}

TEST(BlockLayout, AdjacentMarginsCollapse)
{
    auto gap = [](const std::string& a, const std::string& b) {
        Laid l("<div style='margin-bottom:" + a + "'>a</div><div style='margin-top:" + b + "'>b</div>", 400);
        auto blocks = l.Page.All<TBlock>();
        TBlock* first = blocks[1];
        TBlock* second = blocks[2];
        return second->ContentTop - (first->ContentTop + 16);
    };
    EXPECT_EQ(gap("20px", "10px"), 20);
    EXPECT_EQ(gap("-5px", "10px"), 5);
    EXPECT_EQ(gap("-5px", "-10px"), -10);
}

TEST(BlockLayout, FloatsNarrowTheTextAndClearMovesBelow)
{
    Laid l("<div style='float:left;width:50px;height:40px'></div><p style='margin-top:0'>text</p>", 400);
    EXPECT_EQ(l.TextCalls()[0], "TextOut 60,22 'text'");
    Laid c("<div style='float:left;width:50px;height:40px'></div><div style='clear:left'>x</div>", 400);
    const auto calls = c.TextCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], "TextOut 10," + std::to_string(10 + 40 + 12) + " 'x'");
    Laid r("<div style='float:right;width:50px;height:40px'></div><p style='margin-top:0' align=right>ab</p>", 400);
    EXPECT_EQ(r.TextCalls()[0], "TextOut 324,22 'ab'");
}

TEST(BlockLayout, TextAfterABreakThatClearsStaysBelowTheFloat)
{
    // The text after <br clear> moves below the float; the height of its section counts that
    // move, so that what follows in the same cell (a paragraph, a table) comes after the cleared
    // line instead of being drawn over it and beside the float.
    const std::string before = "<div style='float:left;width:50px;height:40px'></div>beside<br clear=";
    const int below = 10 + 40 + 12;  // the first row below the float, at its baseline
    for (const char* clear : {"all", "left"})
        for (const char* after : {"<p style='margin:0'>next", "<table cellspacing=0 cellpadding=0><tr><td>next</table>"}) {
            Laid l(before + clear + ">below" + after, 400);
            const auto calls = l.TextCalls();
            ASSERT_EQ(calls.size(), 3u) << clear << after;
            EXPECT_EQ(calls[0], "TextOut 60,22 'beside'");
            EXPECT_EQ(calls[1], "TextOut 10," + std::to_string(below) + " 'below'") << clear << after;
            EXPECT_EQ(calls[2], "TextOut 10," + std::to_string(below + 16) + " 'next'") << clear << after;
        }
}

TEST(BlockLayout, PositionedBlocks)
{
    Laid a("<p>flow</p><div style='position:absolute;left:100px;top:50px;width:40px;background-color:red'>abs</div>",
           400);
    const auto calls = a.Paint();
    EXPECT_TRUE(Has(calls, "TextOut 100,62 'abs'"));
    EXPECT_TRUE(Has(calls, "FillRect 100,50,140,66 #FF0000"));
    // Absolute blocks take no room in the flow.
    EXPECT_EQ(a.Height, 36);  // body margins 10 + one line; the last flow block loses its default margin
    Laid r("<div style='position:relative;left:5px;top:7px'>rel</div>", 400);
    EXPECT_EQ(r.TextCalls()[0], "TextOut 15,29 'rel'");
}

TEST(BlockLayout, PrintCopyLaysOutAbsoluteBlocksOnTheirOwnIndents)
{
    // The print copy of an absolutely positioned block lays its content out against indents of
    // its own, as the original does, and leaves those of the blocks around it alone.
    Laid l("<p>before</p><div style='position:absolute;left:100px;top:50px;width:200px'>abs"
           "<div style='float:left;width:20px;height:20px'></div>x</div><p>after</p>",
           400);
    const auto original = l.TextCalls();
    auto copy = l.Page.Doc.CreateCopy();
    int width = 0;
    for (int pass = 0; pass < 2; ++pass)
        copy->LayoutDocument(l.Canvas, 400, width);
    l.Canvas.Clear();
    copy->PaintDocument(l.Canvas, {0, 0, 800, 2000});
    std::vector<std::string> printed;
    for (const auto& c : l.Canvas.Calls())
        if (c.rfind("TextOut", 0) == 0)
            printed.push_back(c);
    EXPECT_EQ(printed, original);
    EXPECT_EQ(original.size(), 4u);
}

TEST(BlockLayout, ChildrenPaintInZOrder)
{
    Laid l("<div style='position:absolute;z-index:2;background-color:#0000ff;width:10px;height:10px'></div>"
           "<div style='position:absolute;z-index:-1;background-color:#00ff00;width:10px;height:10px'></div>"
           "<div style='background-color:#ff0000;height:10px'></div>",
           400);
    std::vector<std::string> fills;
    for (const auto& c : l.Paint())
        if (c.rfind("FillRect", 0) == 0)
            fills.push_back(c.substr(c.size() - 7));
    EXPECT_EQ(fills, (std::vector<std::string>{"#00FF00", "#FF0000", "#0000FF"}));
}

TEST(ListItems, LabelsByStyle)
{
    EXPECT_EQ(TBlockLI::LabelText(2, 12), u"12.");
    EXPECT_EQ(TBlockLI::LabelText(4, 3), u"c.");
    EXPECT_EQ(TBlockLI::LabelText(8, 27), u"Z.");
    EXPECT_EQ(TBlockLI::LabelText(5, 21), u"xx.");
    EXPECT_EQ(TBlockLI::LabelText(9, 4), u"IV.");
    // Below 1 letters and numerals fall back to the number.
    EXPECT_EQ(TBlockLI::LabelText(5, 0), u"0.");
    EXPECT_EQ(TBlockLI::LabelText(8, -2), u"-2.");

    Laid ol("<ol><li>a<li>b</ol>", 400);
    const auto calls = ol.TextCalls();
    EXPECT_TRUE(Has(calls, "TextOut 19,22 '1.'"));  // ends 10 pixels left of the content
    EXPECT_TRUE(Has(calls, "'1.'"));
    EXPECT_TRUE(Has(calls, "'2.'"));
    Laid alpha("<ol type=a><li>a<li>b</ol>", 400);
    EXPECT_TRUE(Has(alpha.TextCalls(), "'b.'"));
    Laid roman("<ol type=I><li>a<li>b<li>c</ol>", 400);
    EXPECT_TRUE(Has(roman.TextCalls(), "'III.'"));
    Laid ul("<ul><li>a</ul>", 400);
    const auto disc = ul.Paint();
    EXPECT_TRUE(Has(disc, "Ellipse 30,16,35,21"));
}

TEST(Rules, SizesAndShading)
{
    Laid l("<hr><hr width=10><hr size=5 color=red><hr size=25>", 420);
    auto lines = l.Page.All<THorzLine>();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0]->HorzWidth, 400);
    EXPECT_EQ(lines[1]->HorzWidth, 10);
    EXPECT_EQ(lines[2]->SectionHeight, 5);
    EXPECT_EQ(lines[3]->SectionHeight, 2);
    const auto calls = l.Paint();
    EXPECT_TRUE(Has(calls, "FillRect 10,34,410,39 #FF0000"));
    EXPECT_TRUE(Has(calls, "LineTo 214,23 from 214,22"));  // the 10-pixel rule is centred
}

// Pages written for old browsers give a rule's COLOR as bare hex digits, without the "#" a style
// sheet needs: the rule is filled with that colour all the same, as with the "#".
TEST(Rules, AColourOfBareHexDigitsIsTheColour)
{
    Laid l("<hr size=5 color=ff0000><hr size=5 color=\"#0000ff\">", 420);
    const auto calls = l.Paint();
    EXPECT_TRUE(Has(calls, "FillRect 10,10,410,15 #FF0000")) << ::testing::PrintToString(calls);
    EXPECT_TRUE(Has(calls, "FillRect 10,25,410,30 #0000FF")) << ::testing::PrintToString(calls);
}

TEST(Borders, StylesAndBackgroundCalls)
{
    Laid solid("<div style='border:2px solid red;background-color:#00ff00'>x</div>", 400);
    const auto calls = solid.Paint();
    // The padding box is filled first; the four sides are drawn over the children.
    EXPECT_EQ(calls[0], "FillRect 12,12,388,28 #00FF00");
    EXPECT_EQ(CountPrefix(calls, "Polygon"), 4);
    EXPECT_EQ(calls.back(), "Polygon 389,29 10,29 12,27 387,27");
    Laid dashed("<div style='border:3px dashed blue'>x</div>", 400);
    const auto d = dashed.Paint();
    // One line along the middle of the sides, from the bottom of the left side round to its start.
    ASSERT_EQ(CountPrefix(d, "Polyline"), 1);
    EXPECT_EQ(CountPrefix(d, "LineTo"), 0);
    EXPECT_EQ(std::find_if(d.begin(), d.end(), [](const std::string& c) { return c.rfind("Polyline", 0) == 0; })
                  ->rfind("Polyline 11,30 11,11 ", 0),
              0u);
    Laid thin("<div style='border:1px solid black'>x</div>", 400);
    EXPECT_TRUE(Has(thin.Paint(), "LineTo 10,10 from 10,27"));
    Laid inset("<div style='border:4px inset #808080'>x</div>", 400);
    const auto in = inset.Paint();
    ASSERT_EQ(CountPrefix(in, "Polygon"), 4);
    Laid dotted("<div style='border:2px dotted red;background-color:white'>x</div>", 400);
    const auto dt = dotted.Paint();
    EXPECT_EQ(CountPrefix(dt, "Polygon"), 4);  // the ring under the dots takes the background colour
    EXPECT_EQ(CountPrefix(dt, "Polyline"), 1);
}

// Consecutive dashed or dotted sides continue one line only while style, colour and width stay
// the same; the line never runs from the bottom side on into the left one.
TEST(Borders, AlikeBrokenSidesContinueOneLine)
{
    Laid mixed("<div style='border:3px dashed blue;border-left-color:red'>x</div>", 400);
    std::vector<std::string> lines;
    for (const std::string& c : mixed.Paint())
        if (c.rfind("Polyline", 0) == 0)
            lines.push_back(c);
    ASSERT_EQ(lines.size(), 2u);
    // The left side alone, then top, right and bottom as one line of four points.
    EXPECT_EQ(lines[0], "Polyline 11,30 11,11");
    EXPECT_EQ(std::count(lines[1].begin(), lines[1].end(), ','), 4);
    EXPECT_EQ(lines[1].rfind("Polyline 11,11 ", 0), 0u);

    Laid apart("<div style='border:3px dotted blue;border-top-style:solid'>x</div>", 400);
    EXPECT_EQ(CountPrefix(apart.Paint(), "Polyline"), 2);  // left alone, then right and bottom
}

TEST(LineBreaking, FirstLineShortcutMeasuresWithTheWidestCharacterOfAllRuns)
{
    // The first run's widest character (16) times 7 characters fits 112 pixels, but the big run's
    // characters are 24 wide: the line must still break.
    Laid l("<p>a <span style='font-size:48px'>bcdef</span></p>", 20 + 112);
    EXPECT_EQ(l.Lines(), (std::vector<std::string>{"a ", "bcdef "}));
}

TEST(Borders, InlineElementsDrawTheirBoxPerLine)
{
    Laid one("<p>ab <span style='border:2px solid red;padding:1px'>cd</span> ef</p>", 400);
    const auto calls = one.Paint();
    // "ab " is 24 wide: the box around "cd" runs from 34 - 1 - 2 to 50 + 1 + 2, the line's
    // ascent and descent plus the padding and border high.
    EXPECT_EQ(CountPrefix(calls, "Polygon"), 4);
    EXPECT_TRUE(Has(calls, "Polygon 31,28 31,7 33,9 33,26")) << ::testing::PrintToString(calls);
    // Across a line break the box stays open where the element continues.
    Laid two("<p>ab <span style='border:2px solid red'>cd ef</span></p>", 20 + 48);
    const auto split = two.Paint();
    EXPECT_EQ(CountPrefix(split, "Polygon"), 6);
}

// A page may end in text without its closing tags: the blank that closes the last text stands
// at the end of the page, not at the last tag, so a bordered element closed by that tag ends its
// border there (it ran to the end of the text).
TEST(Borders, InlineBoxEndsAtItsTagWhenThePageEndsInText)
{
    const std::string page = "<p>ab <span style='border:2px solid red'>cd</span> ef";
    auto polygons = [](Laid& l) {
        std::vector<std::string> out;
        for (const auto& c : l.Paint())
            if (c.rfind("Polygon", 0) == 0)
                out.push_back(c);
        return out;
    };
    Laid open(page, 400);
    Laid closed(page + "</p></body></html>", 400);
    EXPECT_EQ(polygons(open), polygons(closed));
    EXPECT_EQ(polygons(open).size(), 4u);
    // The closing blank maps to the end of the page.
    TSection* text = open.Page.All<TSection>().back();
    EXPECT_EQ(text->SourcePosAt(static_cast<int>(text->Text.size()) - 1), static_cast<int>(page.size()));
}

TEST(Printing, TextColoursOnMonochromeAndNearWhiteText)
{
    Laid l("<p><font color=red>red</font> <font color=white>white</font> <font color='#f0f0f0'>pale</font></p>", 400);
    auto& doc = l.Page.Doc;
    doc.Printing = true;
    doc.PrintMonoBlack = true;
    doc.PrintTableBackground = true;  // keeps near-white text as it is
    l.Canvas.SetDeviceCaps(BITSPIXEL, 1);
    l.Canvas.SetDeviceCaps(PLANES, 1);
    l.Canvas.Clear();
    doc.PaintDocument(l.Canvas, TRect{0, 0, 800, 500});
    const std::string text = l.Canvas.Text();
    auto colourBefore = [&](const std::string& call) {
        const auto at = text.find(call);
        const auto c = text.rfind("TextColor ", at);
        return c == std::string::npos ? std::string("#000000") : text.substr(c + 10, 7);
    };
    EXPECT_EQ(colourBefore("'red'"), "#000000");
    EXPECT_EQ(colourBefore("'white'"), "#FFFFFF");
    EXPECT_EQ(colourBefore("'pale'"), "#000000");
    // On a colour printer without table backgrounds near-white text prints grey.
    Laid c("<p><font color='#f0f0f0'>pale</font></p>", 400);
    c.Page.Doc.Printing = true;
    c.Canvas.Clear();
    c.Page.Doc.PaintDocument(c.Canvas, TRect{0, 0, 800, 500});
    const std::string t2 = c.Canvas.Text();
    const auto at = t2.find("'pale'");
    EXPECT_EQ(t2.substr(t2.rfind("TextColor ", at) + 10, 7), "#A0A0A0");
}

TEST(PreFormatted, LinesKeepTheirBreaksAndReportTheirWidth)
{
    Laid l("<pre>one two three\nfour</pre>", 20 + 40);
    EXPECT_EQ(l.Lines().size(), 2u);
    int mn = 0, mx = 0;
    auto* pre = l.Page.All<TPreFormated>()[0];
    pre->GetMinMaxWidth(l.Canvas, mn, mx);
    // The fixed-width font of PRE is 12 pixels high, 6 wide; the closing space counts.
    EXPECT_EQ(mx, 14 * 6);
    EXPECT_EQ(mn, mx);
    // Each piece is clipped to the block.
    EXPECT_TRUE(Has(l.Paint(), "ExtTextOut"));
    std::string longLine(1100, 'x');
    Laid wide("<pre>" + longLine + "</pre>", 400);
    auto* w = wide.Page.All<TPreFormated>()[0];
    w->GetMinMaxWidth(wide.Canvas, mn, mx);
    EXPECT_EQ(mx, 1101 * 6);
    EXPECT_EQ(mn, 6000);
}

// A line of PRE keeps its blanks: only the line's final character, its line break, goes undrawn,
// so blanks before it show their background and selection.
TEST(PreFormatted, BlanksAtALinesEndAreDrawnButItsBreakIsNot)
{
    Laid l("<pre><span style='background-color:#ffff00'>ab   \ncd</span></pre>", 400);
    const auto calls = l.Paint();
    EXPECT_TRUE(Has(calls, "'ab   '"));
    EXPECT_FALSE(Has(calls, "'ab'"));
}

class ProgressHost : public THtmlDocumentHost {
public:
    std::vector<int> Reports;
    void DoProgress(int percent) override { Reports.push_back(percent); }
};

TEST(LayoutProgress, ReportedEveryFiftyPositionsAfterTheParseShare)
{
    ProgressHost host;
    ParsedPage page(&host);
    std::string words;
    for (int i = 0; i < 60; ++i)
        words += "word ";
    page.Parse("<p>" + words + "</p>");
    page.Doc.ProgressScale = 75;
    host.Reports.clear();
    RecordingCanvas canvas(page.Fonts, 800, 600);
    int mw = 0;
    page.Doc.LayoutDocument(canvas, 120, mw);
    ASSERT_GE(host.Reports.size(), 4u);
    EXPECT_TRUE(std::is_sorted(host.Reports.begin(), host.Reports.end()));
    EXPECT_GT(host.Reports.front(), 75);
    EXPECT_EQ(host.Reports.back(), 100);
}

TEST(PageCuts, ALineThatCrossesThePageBottomStartsTheNextPage)
{
    Laid l("<p>one</p><p>two</p><p>three</p><p>four</p>", 400);
    auto& doc = l.Page.Doc;
    doc.Printing = true;
    doc.SetYOffset(0);
    l.Canvas.Clear();
    doc.PaintDocument(l.Canvas, TRect{0, 0, 800, 80});
    // Lines at 10, 40, 70 (16 high): the third crosses 80 and moves the cut to its top.
    EXPECT_EQ(doc.PageCutY, 70);
    auto texts = [&] {
        std::vector<std::string> out;
        for (const auto& c : l.Canvas.Calls())
            if (c.rfind("TextOut", 0) == 0)
                out.push_back(c);
        return out;
    };
    EXPECT_EQ(texts(), (std::vector<std::string>{"TextOut 10,22 'one'", "TextOut 10,52 'two'"}));
    doc.SetYOffset(70);
    l.Canvas.Clear();
    doc.PaintDocument(l.Canvas, TRect{0, 0, 800, 80});
    EXPECT_EQ(texts(), (std::vector<std::string>{"TextOut 10,12 'three'", "TextOut 10,42 'four'"}));
    EXPECT_EQ(doc.PageCutY, 150);
}

TEST(PageCuts, BreakBeforeAndAvoidInside)
{
    Laid l("<p>one</p><p style='page-break-before:always'>two</p>", 400);
    auto& doc = l.Page.Doc;
    doc.Printing = true;
    l.Canvas.Clear();
    doc.PaintDocument(l.Canvas, TRect{0, 0, 800, 500});
    EXPECT_EQ(doc.PageCutY, 40);
    Laid a("<p>one</p><div style='page-break-inside:avoid'>a<br>b<br>c</div>", 400);
    a.Page.Doc.Printing = true;
    a.Page.Doc.PaintDocument(a.Canvas, TRect{0, 0, 800, 60});
    EXPECT_EQ(a.Page.Doc.PageCutY, 40);
}

// The print run paints the body of a sheet below the paper's top margin: the clip starts at the
// margin and the Y offset is the page top less the margin. The block rules must measure the page
// from the page top and its height as the body's, not from the sheet's edge.
struct PrintedSheet {
    Laid& L;
    int TopMargin;
    int BodyHeight;

    // Prints the page that starts at the document Y pageTop; returns the cut and keeps the texts.
    int Print(int pageTop)
    {
        auto& doc = L.Page.Doc;
        doc.Printing = true;
        doc.SetYOffset(pageTop - TopMargin);
        L.Canvas.Clear();
        doc.PaintDocument(L.Canvas, TRect{0, TopMargin, 800, TopMargin + BodyHeight});
        Texts.clear();
        for (const auto& c : L.Canvas.Calls())
            if (c.rfind("TextOut", 0) == 0)
                Texts.push_back(c);
        return doc.PageCutY;
    }
    std::vector<std::string> Texts;
};

TEST(PageCuts, ABreakBeforeABlockCountsFromThePageTopBelowThePaperMargin)
{
    // "two" (from 40) asks for a break before it once something was printed. With a top margin of
    // 60 the first page ends at 40 all the same; "two" starts the second page.
    Laid l("<p>one</p><p style='page-break-before:always'>two</p>", 400);
    PrintedSheet sheet{l, 60, 500, {}};
    EXPECT_EQ(sheet.Print(0), 40);
    EXPECT_EQ(sheet.Texts, (std::vector<std::string>{"TextOut 10,82 'one'"}));
    sheet.Print(40);
    EXPECT_EQ(sheet.Texts, (std::vector<std::string>{"TextOut 10,72 'two'"}));
}

TEST(PageCuts, ABlockKeptWholeButTallerThanTheBodyIsCutWhereItStands)
{
    // The kept block (40..120, five lines) is taller than the body of 70 below a top margin of 20:
    // moving it to the next page would not make it fit, so it stays and the page is cut at the top
    // of its line that crosses the body's bottom (56..72), not at the block's top (40).
    Laid l("<p>one</p><div style='page-break-inside:avoid'>a<br>b<br>c<br>d<br>e</div>", 400);
    PrintedSheet sheet{l, 20, 70, {}};
    EXPECT_EQ(sheet.Print(0), 56);
    EXPECT_EQ(sheet.Texts, (std::vector<std::string>{"TextOut 10,42 'one'", "TextOut 10,72 'a'"}));
}

}  // namespace
}  // namespace velmoran::testing
