// Tests that long text costs by its size, counted rather than timed: a paragraph of many lines is
// measured a bounded piece at a time and painted only where the clip is, a point finds its line by
// halving, and the bordered elements of a page are placed by halving and drawn on the lines that
// hold them. The costs are what the recording canvas is handed to measure and the steps the
// look-ups of document positions count.
#include "tests/html/layout/ParserTestSupport.h"

#include "html/layout/DocPositions.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace velmoran::testing {
namespace {

// The texts of text outputs, with their quotes.
std::vector<std::string> Texts(const std::vector<std::string>& calls)
{
    std::vector<std::string> texts;
    for (const std::string& call : calls)
        texts.push_back(call.substr(call.find('\'')));
    return texts;
}

// Words of two to five letters.
std::string Words(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += std::string(static_cast<std::size_t>(2 + i % 4), static_cast<char>('a' + i % 26)) + ' ';
    return text;
}

// Laying out a line measures what fits of a piece of bounded length and then the line itself: a
// line that handed over the rest of its paragraph made a long paragraph cost the square of its
// length, and one measured a few characters at a time many calls a line. The widths of the words
// are kept from the first layout, so the second measures the lines alone.
TEST(LongParagraphs, EachLineMeasuresABoundedPieceInAFewCalls)
{
    Laid page("<p>" + Words(1600) + "</p>", 420);
    const TSection* text = page.Page.All<TSection>()[0];
    ASSERT_GT(text->Lines.size(), 100u);
    page.Canvas.Clear();
    page.Layout(420);
    EXPECT_LE(page.Canvas.MeasuredUnits(), 8 * text->Text.size());
    EXPECT_LE(page.Canvas.MeasureCalls(), 4 * text->Lines.size());
}

// A character beyond 16 bits is two units that measure as one character. Wherever a piece measured
// at a time ends, the pair stays whole: cut between its units, it measured as two characters and
// the word after it no longer fitted on the line.
TEST(LongParagraphs, ACharacterOfTwoUnitsMeasuresAsOneWhereverThePieceEnds)
{
    for (int letters = 3; letters < 2048; letters = 2 * letters + 1) {
        const std::string pair = "\xF0\xA0\x80\x80";  // U+20000
        // The line holds the letters, the pair and "b" exactly: 8 pixels each.
        Laid page("<p>" + std::string(static_cast<std::size_t>(letters), 'a') + "&#x20000;b " +
                          std::string(10, 'c') + "</p>",
                      20 + (letters + 2) * 8);
        const TSection* text = page.Page.All<TSection>()[0];
        ASSERT_EQ(text->Lines.size(), 2u) << letters;
        EXPECT_EQ(WideToUtf8(text->Text.substr(0, static_cast<std::size_t>(text->Lines[0].Ln))),
                  std::string(static_cast<std::size_t>(letters), 'a') + pair + "b ")
            << letters;
        EXPECT_EQ(text->Lines[0].TextWidth, (letters + 2) * 8) << letters;
    }
}

// A point finds the line that holds it, from its top to the pixel above the next: at a line's top
// it is that line, one pixel higher the line before. Above the first line (the paragraph's margin)
// and below the last the text holds no line, even asked directly.
TEST(LongParagraphs, APointAtALineTopFindsThatLine)
{
    Laid page("<p>" + Words(60) + "</p><p>" + Words(60) + "</p>", 220);
    TSection* text = page.Page.All<TSection>()[1];
    ASSERT_GT(text->Lines.size(), 3u);
    int lineHeight = 0, baseline = 0;
    bool inText = false;
    for (const LineRec& line : text->Lines) {
        const int first = text->StartCurs + line.Start;
        for (const int y : {line.LineY, line.LineY + line.Height() - 1}) {
            const int at = text->FindCursorAt(page.Canvas, 12, y, lineHeight, baseline, inText);
            EXPECT_GE(at, first) << y;
            EXPECT_LE(at, first + line.Ln) << y;
            EXPECT_EQ(baseline, line.LineY + line.SpaceBefore + line.LineHt - line.Descent) << y;
        }
    }
    const LineRec& last = text->Lines.back();
    EXPECT_EQ(text->FindCursorAt(page.Canvas, 12, text->Lines[0].LineY - 1, lineHeight, baseline, inText), -1);
    EXPECT_EQ(text->FindCursorAt(page.Canvas, 12, last.LineY + last.Height(), lineHeight, baseline, inText), -1);
}

// A paint draws the lines of a long paragraph that reach into its clip (and 40 pixels around it),
// starting at the first and stopping below the clip: one word a line, a line 16 pixels from Y 10,
// a clip over line 50 draws lines 47 to 53.
TEST(LongParagraphs, APaintDrawsOnlyTheLinesAroundItsClip)
{
    std::string words;
    for (int i = 0; i < 100; ++i)
        words += "L" + std::to_string(100 + i).substr(1) + " ";
    Laid page("<p>" + words + "</p>", 20 + 40);
    ASSERT_EQ(page.Page.All<TSection>()[0]->Lines.size(), 100u);
    std::vector<std::string> expected;
    for (int i = 47; i <= 53; ++i)
        expected.push_back("'L" + std::to_string(100 + i).substr(1) + "'");
    EXPECT_EQ(Texts(page.TextCalls({0, 10 + 50 * 16, 800, 10 + 51 * 16})), expected);
}

// Bordered words in one long paragraph and in as many short ones: the first paint after a layout
// places every element around its word, taking a few steps for each, not a walk over the sections
// or the tags before it (which made a page of 100,000 such words take minutes).
TEST(BorderedElements, EachIsPlacedAroundItsWordByHalving)
{
    constexpr int kWords = 300;
    auto bordered = [](int i) { return "<span style='border:2px solid red'>w" + std::to_string(i) + "</span>"; };
    std::string oneParagraph = "<p>", paragraphs;
    for (int i = 0; i < kWords; ++i) {
        oneParagraph += bordered(i) + " x ";
        paragraphs += "<p>" + bordered(i) + " x</p>";
    }
    for (const std::string& html : {oneParagraph + "</p>", paragraphs}) {
        Laid page(html, 420);
        auto& doc = page.Page.Doc;
        ASSERT_EQ(doc.InlineList.size(), static_cast<std::size_t>(kWords));
        doc.DocPosSteps = 0;
        page.Paint();
        EXPECT_LE(doc.DocPosSteps, 64u * kWords);
        for (int i = 0; i < kWords; ++i) {
            const InlineRec& r = doc.InlineList[static_cast<std::size_t>(i)];
            std::u16string word;
            for (int pos = r.StartDoc; pos < r.EndDoc; ++pos) {
                char16_t ch = 0;
                TFontObj* font = nullptr;
                TSectionBase* section = nullptr;
                ASSERT_TRUE(doc.CharAt(pos, ch, font, section)) << i;
                word += ch;
            }
            ASSERT_EQ(WideToUtf8(word), "w" + std::to_string(i));
        }
    }
}

// A line that must not break may run for megabytes: a paint hands the canvas only the glyphs near
// its clip, measuring the rest, so that what comes after the long run still stands where it
// belongs. A clip over the middle of the line draws the characters there (at 8 pixels each).
TEST(LongParagraphs, ALongLineIsDrawnOnlyNearTheClip)
{
    std::string letters;
    for (int i = 0; i < 4000; ++i)
        letters += static_cast<char>('a' + i % 26);
    Laid page("<p><nobr>" + letters + "<b>Ende</b></nobr></p>", 400);
    const TSection* text = page.Page.All<TSection>()[0];
    ASSERT_EQ(text->Lines.size(), 1u);
    auto drawn = [&](int left) { return page.TextCalls({left, 0, left + 400, 100}); };
    // From the start at 10: to 40 pixels beyond the clip, and the character the edge cuts; the bold
    // word at the end lies outside.
    EXPECT_EQ(drawn(0), (std::vector<std::string>{"TextOut 10,22 '" + letters.substr(0, 55) + "'"}));
    // Over character 2000 (at 10 + 16000): from 40 pixels before the clip.
    EXPECT_EQ(drawn(16010), (std::vector<std::string>{"TextOut 15970,22 '" + letters.substr(1995, 62) + "'"}));
    // At the end: the last letters, and the bold word where the whole run ends.
    EXPECT_EQ(drawn(10 + 4000 * 8 - 100), (std::vector<std::string>{"TextOut 31866,22 '" + letters.substr(3982) + "'",
                                                                     "TextOut 32010,22 'Ende'"}));
}

// Bordered words on a line of many of them: the walk along the line that finds where each box
// starts gives what measuring from the line's start gave, also on a justified line whose extra
// pixels do not divide evenly among its spaces (the first spaces of a piece take one more); and a
// paint draws the boxes near its clip, measuring the line once rather than once for every box.
TEST(BorderedElements, BoxesStandAroundTheirWordsOnLongAndJustifiedLines)
{
    auto bordered = [](const std::string& word) { return "<span style='border:2px solid red'>" + word + "</span>"; };
    // The first line "aa bb cc d d" is 96 pixels in 119: 23 pixels over four spaces, three of
    // them one more.
    Laid justified("<p style='text-align:justify'>aa " + bordered("bb") + " cc " + bordered("d d") + " ee ff</p>",
                   20 + 119);
    const TSection* text = justified.Page.All<TSection>()[0];
    ASSERT_EQ(text->Lines[0].Extra % text->Lines[0].Spaces, 3);
    std::vector<int> words, boxes;
    for (const std::string& call : justified.Paint()) {
        if (call.rfind("TextOut", 0) == 0 && (call.find("'bb'") != std::string::npos || call.find("'d d'") != std::string::npos))
            words.push_back(std::stoi(call.substr(8)));
        // The left side of a box: its outer edge 2 pixels left of the word.
        if (call.rfind("Polygon", 0) == 0) {
            const int x = std::stoi(call.substr(8));
            if (call.find(std::to_string(x) + ",", 9) != std::string::npos && std::find(boxes.begin(), boxes.end(), x + 2) == boxes.end())
                boxes.push_back(x + 2);
        }
    }
    ASSERT_EQ(words.size(), 2u);
    for (const int word : words)
        EXPECT_NE(std::find(boxes.begin(), boxes.end(), word), boxes.end()) << word;

    std::string many = "<p><nobr>";
    for (int i = 0; i < 300; ++i)
        many += bordered("w" + std::to_string(100 + i)) + " ";
    Laid line(many + "</nobr></p>", 400);
    const TSection* one = line.Page.All<TSection>()[0];
    ASSERT_EQ(one->Lines.size(), 1u);
    std::size_t polygons = 0;
    for (const std::string& call : line.Paint({0, 0, 400, 100}))
        polygons += call.rfind("Polygon", 0) == 0 ? 1 : 0;
    // Words of 40 pixels and a blank: about 10 boxes in the clip and its 40 pixels, 4 sides each.
    EXPECT_GE(polygons, 4u * 9);
    EXPECT_LE(polygons, 4u * 12);
    EXPECT_LE(line.Canvas.MeasuredUnits(), 8 * one->Text.size());
}

// A line that draws one character asks for the elements at that one position: a bordered element
// there keeps its box, alone in its paragraph or alone on a line of a longer one.
TEST(BorderedElements, OneOnALineOfOneCharacterKeepsItsBox)
{
    const auto sides = [](Laid& page) {
        return std::ranges::count_if(page.Paint(), [](const std::string& call) { return call.starts_with("Polygon"); });
    };
    Laid alone("<p><span style='border:2px solid red'>x</span></p>", 400);
    EXPECT_EQ(sides(alone), 4);
    Laid broken("<p>aaaa <span style='border:2px solid red'>b</span> cccc</p>", 20 + 40);
    ASSERT_EQ(broken.Lines(), (std::vector<std::string>{"aaaa ", "b ", "cccc "}));
    EXPECT_EQ(sides(broken), 4);
}

// Many positions found at once answer as the document answers each: the first text at or after a
// source position, or the last at or before it, across hidden blocks, a caption shown below its
// table (asked before the table), cells, list items and pre-formatted text.
TEST(BorderedElements, PositionsFoundAtOnceAnswerAsTheDocumentDoes)
{
    const std::string html =
        "<p>ab &amp; <b>cd</b></p><div style='display:none'><p>hidden</p></div>"
        "<table><caption align=bottom>Fuss <i>x</i></caption><tr><td>eins</td><td>zwei "
        "<span style='border:1px solid red'>drei</span></td></tr><tr><td colspan=2>vier</td></tr></table>"
        "<ul><li>li one<li>li two</ul><pre>pre\n text</pre><p>end <img width=5 height=5> &lt;</p>";
    Laid page(html, 420);
    auto& doc = page.Page.Doc;
    const TDocPositions positions(doc);
    for (int source = -2; source <= static_cast<int>(html.size()) + 2; ++source)
        for (const bool prev : {false, true})
            EXPECT_EQ(positions.Find(source, prev), doc.FindDocPos(source, prev)) << source << " " << prev;
}

}  // namespace
}  // namespace velmoran::testing
