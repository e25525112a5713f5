// The caption engine on the recording canvas with the fixed-metric test font: a 16-pixel base
// font (characters 8 wide, bold 9, "gh" 16 high, a quarter 4) in the rectangle 0,0,200,100,
// whose lines start at x = 1. Sub- and superscripts, alignment, indents and lists, wrapping,
// line ends, malformed captions, entities, anchors and hover, fonts and colours, images, the
// paragraph and body backgrounds, shadow, error underline, hidden text and the plain text.
#include "controls/MiniHtml.h"
#include "controls/PictureContainer.h"
#include "controls/MiniHtmlText.h"
#include "platform/ImageList.h"
#include "platform/RecordingCanvas.h"
#include "platform/TestFont.h"
#include "platform/core/Stream.h"
#include "tests/html/base/image/ImageTestSupport.h"

#include <gtest/gtest.h>

#include <QImage>

#include <functional>
#include <memory>

using namespace velmoran;

namespace {

using Calls = std::vector<std::string>;

class MiniHtml : public ::testing::Test {
protected:
    MiniHtml() { Fresh(); }

    // A new canvas, so that every state line of the next caption is written.
    void Fresh()
    {
        canvas_ = std::make_unique<RecordingCanvas>(fonts_);
        LogicalFont font;
        font.Face = "Arial";
        font.Height = -16;
        canvas_->SetFont(font);
        canvas_->SelectBrush(Brush{BrushStyle::Solid, SystemColor(COLOR_BTNFACE)});
    }

    // Paints the caption (after adjusting the inputs) and returns the drawing calls.
    Calls Paint(const std::string& text, const std::function<void(TMiniHtmlInputs&)>& adjust = {})
    {
        TMiniHtmlInputs in;
        in.Text = text;
        in.Rect = {0, 0, 200, 100};
        in.Images = &images_;
        if (adjust)
            adjust(in);
        Fresh();
        DrawMiniHtml(*canvas_, in, out_);
        return canvas_->Calls();
    }
    // Only the text outputs.
    Calls Texts(const std::string& text, const std::function<void(TMiniHtmlInputs&)>& adjust = {})
    {
        Calls texts;
        for (const std::string& call : Paint(text, adjust))
            if (call.rfind("TextOut", 0) == 0)
                texts.push_back(call);
        return texts;
    }
    // The hit test at a point.
    bool Hit(const std::string& text, int x, int y)
    {
        Paint(text, [&](TMiniHtmlInputs& in) {
            in.AnchorTestOnly = true;
            in.X = x;
            in.Y = y;
        });
        return out_.Hit;
    }
    // The last state line of a kind written before a call (the canvas's default when none was).
    std::string StateBefore(const std::string& call, const std::string& key) const
    {
        std::string state = key == "TextColor" ? "#000000" : key == "BkMode" ? "opaque" : key == "BkColor" ? "#FFFFFF" : "";
        for (const std::string& line : canvas_->Lines()) {
            if (line == call)
                return state;
            if (line.rfind(key + " ", 0) == 0)
                state = line.substr(key.size() + 1);
        }
        return "(no call " + call + ")";
    }

    TestFontEngine fonts_;
    std::unique_ptr<RecordingCanvas> canvas_;
    ImageList images_{32, 32};
    TMiniHtmlOutputs out_;
};

}  // namespace

TEST_F(MiniHtml, SubscriptLowersItsTextByAQuarterAndGrowsTheLine)
{
    EXPECT_EQ(Texts("H<SUB>2</SUB>O"), (Calls{"TextOut 1,0 'H'", "TextOut 9,4 '2'", "TextOut 17,0 'O'"}));
    EXPECT_EQ(out_.Height, 16 + 4);
    EXPECT_EQ(out_.Width, 24);
    // A superscript raises its text; the line grows above.
    EXPECT_EQ(Texts("m<SUP>3</SUP>/d"), (Calls{"TextOut 1,4 'm'", "TextOut 9,0 '3'", "TextOut 17,4 '/d'"}));
    EXPECT_EQ(out_.Height, 20);
    // Measuring alone gives the same size.
    Paint("H<SUB>2</SUB>O", [](TMiniHtmlInputs& in) { in.MeasureOnly = true; });
    EXPECT_TRUE(canvas_->Calls().empty());
    EXPECT_EQ(out_.Height, 20);
}

TEST_F(MiniHtml, ParagraphAlignmentPersistsOverLines)
{
    EXPECT_EQ(Texts("<P ALIGN=\"right\">ab<BR>cd<BR><P ALIGN=\"left\">ef"),
              (Calls{"TextOut 184,0 'ab'", "TextOut 184,16 'cd'", "TextOut 1,32 'ef'"}));
    EXPECT_EQ(Texts("<P ALIGN=\"center\">ab</P>cd"), (Calls{"TextOut 92,0 'ab'", "TextOut 92,16 'cd'"}));
    EXPECT_EQ(Texts("<P INDENT=\"10\">ab"), (Calls{"TextOut 11,0 'ab'"}));
    // A line wider than the rectangle stays at the left.
    EXPECT_EQ(Texts("<P ALIGN=\"right\">aaaaaaaaaaaaaaaaaaaaaaaaaaaaa"), (Calls{"TextOut 1,0 'aaaaaaaaaaaaaaaaaaaaaaaaaaaaa'"}));
}

TEST_F(MiniHtml, IndentAndBulletLists)
{
    EXPECT_EQ(Texts("a<IND X=\"50\">b"), (Calls{"TextOut 1,0 'a'", "TextOut 50,0 'b'"}));
    // Only a clean number beyond the running width moves on.
    EXPECT_EQ(Texts("abc<IND X=\"5\">d<IND X=\"6x\">e"), (Calls{"TextOut 1,0 'abc'", "TextOut 25,0 'd'", "TextOut 33,0 'e'"}));
    EXPECT_EQ(Texts("<UL><LI>one<LI>two</UL>"),
              (Calls{"TextOut 1,0 '\u2022'", "TextOut 13,0 'one'", "TextOut 1,16 '\u2022'", "TextOut 13,16 'two'"}));
    EXPECT_EQ(out_.Height, 32);
    EXPECT_EQ(out_.Width, 12 + 24);
    // The second level: indented once more, an "o".
    EXPECT_EQ(Texts("<UL><UL><LI>x</UL></UL>"), (Calls{"TextOut 13,0 'o'", "TextOut 25,0 'x'"}));
    // Numbers past any window are read as 1,000,000, so that indents, positions and angles add up
    // within range.
    EXPECT_EQ(Texts("<P INDENT=\"99999999999\">a<IND X=\"99999999999\"><R A=\"99999999999\">b"),
              (Calls{"TextOut 1000001,0 'a'", "TextOut 1000000,0 'b'"}));
}

TEST_F(MiniHtml, WordWrapKeepsWordsWithTheirPredecessors)
{
    const auto narrow = [](TMiniHtmlInputs& in) { in.Rect = {0, 0, 70, 100}; };
    EXPECT_EQ(Texts("aaa bbb ccc", narrow), (Calls{"TextOut 1,0 'aaa '", "TextOut 33,0 'bbb '", "TextOut 1,16 'ccc'"}));
    EXPECT_EQ(out_.Width, 56);  // the trailing space does not count
    EXPECT_EQ(out_.Height, 32);
    // "ccc" follows a tag, not a space: it is not broken off "bbb".
    EXPECT_EQ(Texts("aaa bbb<B>ccc</B>", narrow), (Calls{"TextOut 1,0 'aaa '", "TextOut 33,0 'bbb'", "TextOut 57,0 'ccc'"}));
    // A word wider than the line stays on the line it comes to.
    EXPECT_EQ(Texts("a bbbbbbbbbbbb c", narrow), (Calls{"TextOut 1,0 'a '", "TextOut 17,0 'bbbbbbbbbbbb '", "TextOut 1,16 'c'"}));
}

// Without wrapping, a piece that runs past the line's end is cut with "..." and ends the
// caption, even when a tag stands before it.
TEST_F(MiniHtml, WithoutWrapTheFirstLineEndsInAnEllipsisAndNothingFollows)
{
    const auto noWrap = [](TMiniHtmlInputs& in) {
        in.WordWrap = false;
        in.Rect = {0, 0, 100, 100};
    };
    EXPECT_EQ(Texts("Kurz <B>ziemlich</B><BR>zweite", noWrap), (Calls{"TextOut 1,0 'Kurz '", "TextOut 41,0 'zie...'"}));
    EXPECT_EQ(out_.Height, 16);
    // A caption that fits keeps its lines.
    EXPECT_EQ(Texts("Kurz<BR>zweite", noWrap), (Calls{"TextOut 1,0 'Kurz'", "TextOut 1,16 'zweite'"}));
}

TEST_F(MiniHtml, LineBreaksRulesAndMalformedCaptions)
{
    EXPECT_EQ(Texts("a<BR>b"), (Calls{"TextOut 1,0 'a'", "TextOut 1,16 'b'"}));
    EXPECT_EQ(out_.PlainText, "a\rb");
    EXPECT_EQ(Texts("a\r\nb"), (Calls{"TextOut 1,0 'a'", "TextOut 1,16 'b'"}));
    const Calls rule = Paint("a<HR>b");
    EXPECT_NE(std::find(rule.begin(), rule.end(), "LineTo 200,17 from 1,17"), rule.end());
    // Only tags, or nothing: the height of "gh".
    Paint("<B></B><I></I>");
    EXPECT_EQ(out_.Height, 16);
    Paint("");
    EXPECT_EQ(out_.Height, 16);
    // A tag without ">" ends the caption; so does a "<" with fewer than three characters left.
    EXPECT_EQ(Texts("ab<B cd"), (Calls{"TextOut 1,0 'ab'"}));
    EXPECT_EQ(Texts("ab<x"), (Calls{"TextOut 1,0 'ab'"}));
    EXPECT_EQ(Texts("ab<"), (Calls{"TextOut 1,0 'ab'"}));
    EXPECT_EQ(out_.PlainText, "ab");
    // Unknown tags are consumed.
    EXPECT_EQ(Texts("a<Q>b"), (Calls{"TextOut 1,0 'a'", "TextOut 9,0 'b'"}));
}

// Every entity is decoded once: what decoding produced is not decoded again, so an encoded
// entity shows as written and "&amp;" as one "&".
TEST_F(MiniHtml, EntitiesAreDecodedOnce)
{
    EXPECT_EQ(Texts("&amp;quot; &amp;lt; &amp;"), (Calls{"TextOut 1,0 '&quot; '", "TextOut 57,0 '&lt; '", "TextOut 97,0 '&'"}));
    EXPECT_EQ(Texts("a&lt;b"), (Calls{"TextOut 1,0 'a<b'"}));
    // An encoded tag is text; the font stays as it is.
    const Calls encoded = Paint("&lt;B&gt;x");
    EXPECT_EQ(encoded.back(), "TextOut 1,0 '<B>x'");
    EXPECT_EQ(StateBefore("TextOut 1,0 '<B>x'", "Font"), "Arial -16 400");
    EXPECT_EQ(Texts("&QUOT;&Euro;&sect;&nbsp;x"), (Calls{"TextOut 1,0 '\"\u20AC\u00A7 x'"}));
    EXPECT_EQ(DecodeCaptionEntities("&amp;amp;"), "&&amp;");
    EXPECT_EQ(DecodeCaptionEntities("&&quot;"), "&&quot;");
    EXPECT_EQ(DecodePieceEntities("&&lt;"), "&&lt;");
}

TEST_F(MiniHtml, HashTagsLoseTheirBrackets)
{
    Paint("x<#name>y");
    EXPECT_EQ(out_.PlainText, "x#namey");
    Paint("x<#name");
    EXPECT_EQ(out_.PlainText, "x#name");
    // Only the first one.
    Paint("<#a><#b>c");
    EXPECT_EQ(out_.PlainText, "#ac");
}

TEST_F(MiniHtml, AnchorsAreHitOnTheirTextOnly)
{
    const std::string caption = "<A HREF=\"x\">Link</A> Text";
    EXPECT_TRUE(Hit(caption, 10, 8));
    EXPECT_EQ(out_.HrefUnderPoint, "x");
    EXPECT_EQ(out_.AnchorUnderPoint, 1);
    EXPECT_EQ(out_.AnchorRect, (TRect{1, 0, 33, 16}));
    EXPECT_EQ(out_.AnchorCount, 1);
    EXPECT_FALSE(Hit(caption, 100, 8));
    EXPECT_FALSE(Hit(caption, 10, 30));
    EXPECT_FALSE(Hit(caption, 10, 0));  // the row's top is outside
    // The second of two anchors, and on an aligned line.
    EXPECT_TRUE(Hit("<A HREF=\"a\">eins</A> <A HREF=\"b\">zwei</A>", 50, 8));
    EXPECT_EQ(out_.HrefUnderPoint, "b");
    EXPECT_EQ(out_.AnchorUnderPoint, 2);
    EXPECT_EQ(out_.AnchorCount, 2);
    EXPECT_TRUE(Hit("<P ALIGN=\"right\"><A HREF=\"r\">ab</A>", 190, 8));
    EXPECT_FALSE(Hit("<P ALIGN=\"right\"><A HREF=\"r\">ab</A>", 10, 8));
    // An anchor on the second line.
    EXPECT_TRUE(Hit("eins<BR><A HREF=\"z\">zwei</A>", 10, 20));
    EXPECT_EQ(out_.AnchorRect, (TRect{1, 16, 33, 32}));
}

TEST_F(MiniHtml, AnchorsAreUnderlinedColouredAndFocused)
{
    const Calls calls = Paint("<A HREF=\"x\">Link</A> Text", [](TMiniHtmlInputs& in) { in.FocusedAnchor = 1; });
    EXPECT_EQ(StateBefore("TextOut 1,0 'Link'", "Font"), "Arial -16 400 underline");
    EXPECT_EQ(StateBefore("TextOut 1,0 'Link'", "TextColor"), "#0000FF");
    EXPECT_EQ(StateBefore("TextOut 41,0 'Text'", "TextColor"), "#000000");
    EXPECT_EQ(StateBefore("TextOut 41,0 'Text'", "Font"), "Arial -16 400");  // the underline ends with it
    EXPECT_NE(std::find(calls.begin(), calls.end(), "FocusRect 0,0,34,16"), calls.end());
    EXPECT_EQ(out_.FocusedHref, "x");
    // Selected captions keep their colours.
    Paint("<A HREF=\"x\">Link</A>", [](TMiniHtmlInputs& in) { in.Selected = true; });
    EXPECT_EQ(StateBefore("TextOut 1,0 'Link'", "TextColor"), "#000000");
}

TEST_F(MiniHtml, HoverStylesOnlyTheHoveredAnchor)
{
    const auto hover = [](TMiniHtmlInputs& in) {
        in.HoverStyling = true;
        in.HoveredAnchor = 1;
        in.HoverBackground = 0x00FFFF;
        in.HoverFontColor = 0x0000FF;
    };
    Paint("<A HREF=\"a\">eins</A> <A HREF=\"b\">zwei</A>", hover);
    EXPECT_EQ(StateBefore("TextOut 1,0 'eins'", "Font"), "Arial -16 400 underline");
    EXPECT_EQ(StateBefore("TextOut 1,0 'eins'", "TextColor"), "#FF0000");
    EXPECT_EQ(StateBefore("TextOut 1,0 'eins'", "BkMode"), "opaque");
    EXPECT_EQ(StateBefore("TextOut 1,0 'eins'", "BkColor"), "#FFFF00");
    EXPECT_EQ(StateBefore("TextOut 41,0 'zwei'", "Font"), "Arial -16 400");
    EXPECT_EQ(StateBefore("TextOut 41,0 'zwei'", "TextColor"), "#0000FF");
    EXPECT_EQ(StateBefore("TextOut 41,0 'zwei'", "BkMode"), "transparent");
}

TEST_F(MiniHtml, FontsAndColours)
{
    Paint("<FONT SIZE=\"5\" COLOR=\"#FF0000\" FACE=\"Courier New\">x</FONT>y");
    EXPECT_EQ(StateBefore("TextOut 1,0 'x'", "Font"), "Courier New -21 400");
    EXPECT_EQ(StateBefore("TextOut 1,0 'x'", "TextColor"), "#FF0000");
    EXPECT_EQ(StateBefore("TextOut 11,5 'y'", "Font"), "Arial -16 400");
    EXPECT_EQ(StateBefore("TextOut 11,5 'y'", "TextColor"), "#000000");
    // SIZE without quotes and a point size of its own.
    Paint("<FONT SIZE=9>x");
    EXPECT_EQ(StateBefore(canvas_->Calls().back(), "Font"), "Arial -12 400");
    // System colours become their pixels; an unknown name is black.
    Paint("<FONT COLOR=\"clBtnFace\">x");
    EXPECT_EQ(StateBefore(canvas_->Calls().back(), "TextColor"), "#C0C0C0");
    EXPECT_EQ(ParseHtmlColor("clred"), 0x0000FFu);
    EXPECT_EQ(ParseHtmlColor("clbtnface"), SystemColor(COLOR_BTNFACE));
    EXPECT_EQ(ParseHtmlColor("clinfobk"), SystemColor(COLOR_INFOBK));
    EXPECT_EQ(ParseHtmlColor("rot"), 0u);
    // Bold, italic, underline and strike-out, each closed again.
    Paint("<B><I><U><S>x</S></U></I></B>y");
    EXPECT_EQ(StateBefore("TextOut 1,0 'x'", "Font"), "Arial -16 700 italic underline strikeout");
    EXPECT_EQ(StateBefore("TextOut 10,0 'y'", "Font"), "Arial -16 400");
    // Highlight, and a rotated font.
    Paint("<HI>x</HI>y");
    EXPECT_EQ(StateBefore("TextOut 1,0 'x'", "BkColor"), "#000080");
    EXPECT_EQ(StateBefore("TextOut 1,0 'x'", "TextColor"), "#FFFFFF");
    EXPECT_EQ(StateBefore("TextOut 9,0 'y'", "BkMode"), "transparent");
    Paint("<R A=\"90\">x</R>y");
    EXPECT_EQ(StateBefore("TextOut 1,0 'x'", "Font"), "Arial -16 400 escapement 900");
    EXPECT_EQ(StateBefore("TextOut 9,0 'y'", "Font"), "Arial -16 400");
}

TEST_F(MiniHtml, ListImagesInAndOutOfRange)
{
    QImage strip(32, 32, QImage::Format_RGB32);
    strip.fill(Qt::red);
    images_.AddMasked(strip, 0xFF00FF);
    Calls calls = Paint("a<IMG SRC=\"IDX:0\">b");
    EXPECT_NE(std::find(calls.begin(), calls.end(), "StretchBlt 9,0,41,32 from 0,0,32,32 of 32x32 alpha"), calls.end());
    EXPECT_EQ(calls.back(), "TextOut 41,16 'b'");
    EXPECT_EQ(out_.Height, 32);
    EXPECT_EQ(Texts("a<IMG SRC=\"IDX:1\">b"), (Calls{"TextOut 1,0 'a'", "TextOut 9,0 'b'"}));
    EXPECT_EQ(Texts("a<IMG SRC=\"IDX:99999999999\">b"), (Calls{"TextOut 1,0 'a'", "TextOut 9,0 'b'"}));
    EXPECT_EQ(out_.Height, 16);
    // So does a named picture that is not there, or is there empty, whatever size is asked for.
    EXPECT_EQ(Texts("a<IMG SRC=\"LOGO\" WIDTH=\"20\" HEIGHT=\"20\">b"), (Calls{"TextOut 1,0 'a'", "TextOut 9,0 'b'"}));
    TPictureContainer container;
    container.Items().Add().Name = "LEER";
    const auto withContainer = [&container](TMiniHtmlInputs& in) { in.PictureContainer = &container; };
    EXPECT_EQ(Texts("a<IMG SRC=\"LOGO\" WIDTH=\"20\" HEIGHT=\"20\">b", withContainer),
              (Calls{"TextOut 1,0 'a'", "TextOut 9,0 'b'"}));
    EXPECT_EQ(Texts("a<IMG SRC=\"leer\" WIDTH=\"20\" HEIGHT=\"20\">b", withContainer),
              (Calls{"TextOut 1,0 'a'", "TextOut 9,0 'b'"}));
    EXPECT_EQ(out_.Height, 16);
    // Text after an image aligned TOP stands at the line's top, MIDDLE halfway.
    EXPECT_EQ(Texts("a<IMG SRC=\"IDX:0\" ALIGN=\"TOP\">b"), (Calls{"TextOut 1,16 'a'", "TextOut 41,0 'b'"}));
    EXPECT_EQ(Texts("a<IMG SRC=\"IDX:0\" ALIGN=\"MIDDLE\">b"), (Calls{"TextOut 1,16 'a'", "TextOut 41,8 'b'"}));
    // An image past the line's end opens the next line.
    calls = Paint("aaa<IMG SRC=\"IDX:0\">", [](TMiniHtmlInputs& in) { in.Rect = {0, 0, 40, 100}; });
    EXPECT_NE(std::find(calls.begin(), calls.end(), "StretchBlt 1,16,33,48 from 0,0,32,32 of 32x32 alpha"), calls.end());
    EXPECT_EQ(out_.Height, 16 + 32);
    // An image inside an anchor is hit inside its rows.
    EXPECT_TRUE(Hit("<A HREF=\"bild\"><IMG SRC=\"IDX:0\"></A>", 10, 20));
    EXPECT_EQ(out_.HrefUnderPoint, "bild");
    EXPECT_FALSE(Hit("<A HREF=\"bild\"><IMG SRC=\"IDX:0\"></A>", 40, 20));
    // Text raised by an image aligned TOP is hit where it stands, in the line's upper rows.
    const std::string raised = "a<IMG SRC=\"IDX:0\" ALIGN=\"TOP\"><A HREF=\"r\">bc</A>";
    EXPECT_TRUE(Hit(raised, 45, 8));
    EXPECT_EQ(out_.HrefUnderPoint, "r");
    EXPECT_FALSE(Hit(raised, 45, 24));
}

TEST_F(MiniHtml, BackgroundsShadowErrorUnderlineAndHiddenText)
{
    Calls calls = Paint("<BODY BGCOLOR=\"#00FF00\">x");
    EXPECT_EQ(calls.front(), "FillRect 0,0,200,100 #00FF00");
    calls = Paint("<BODY BGCOLOR=\"clWindow\">x");
    EXPECT_EQ(calls.front(), "FillRect 0,0,200,100 #FFFFFF");
    calls = Paint("<P BGCOLOR=\"#0000FF\">x");
    EXPECT_EQ(calls.front(), "FillRect 0,0,200,16 #0000FF");
    EXPECT_EQ(StateBefore("TextOut 1,0 'x'", "BkColor"), "#0000FF");
    // A background picture is tiled over the rectangle; one without a height in pixels (a frame
    // of a tenth of a millimetre) is not drawn at all.
    TPictureContainer container;
    TMemoryStream tile(imagetest::BuildEmf(80, 60, ""));
    container.Items().Add().Name = "KACHEL";
    container.FindPicture("KACHEL")->LoadFromStream(&tile);
    std::string flatBytes = imagetest::BuildEmf(80, 1, "");
    const std::int32_t tenth = 10;  // the frame's bottom, in hundredths of a millimetre
    flatBytes.replace(36, 4, reinterpret_cast<const char*>(&tenth), 4);
    TMemoryStream flat(flatBytes);
    container.Items().Add().Name = "FLACH";
    container.FindPicture("FLACH")->LoadFromStream(&flat);
    ASSERT_EQ(container.FindPicture("FLACH")->Width(), 80);
    ASSERT_EQ(container.FindPicture("FLACH")->Height(), 0);
    const auto tiles = [&](const std::string& name) {
        int count = 0;
        for (const std::string& call : Paint("<BODY BACKGROUND=\"" + name + "\">x",
                                             [&container](TMiniHtmlInputs& in) { in.PictureContainer = &container; }))
            count += call.rfind("StretchBlt ", 0) == 0 ? 1 : 0;
        return count;
    };
    EXPECT_EQ(tiles("kachel"), 6);
    EXPECT_EQ(tiles("flach"), 0);
    // The shadow first, offset and grey, then the text.
    EXPECT_EQ(Texts("<SHAD>x</SHAD>y", [](TMiniHtmlInputs& in) { in.ShadowOffset = 2; }),
              (Calls{"TextOut 3,2 'x'", "TextOut 1,0 'x'", "TextOut 9,0 'y'"}));
    EXPECT_EQ(StateBefore("TextOut 3,2 'x'", "TextColor"), "#808080");
    // The red zig-zag from x 0 (1 rounded down to even) to the piece's end at 17.
    calls = Paint("<E>ab</E>c");
    EXPECT_NE(std::find(calls.begin(), calls.end(), "Polyline 0,17 2,15 4,17 6,15 8,17 10,15 12,17 14,15 16,17"),
              calls.end())
        << canvas_->Text();
    EXPECT_EQ(StateBefore("Polyline 0,17 2,15 4,17 6,15 8,17 10,15 12,17 14,15 16,17", "Pen"), "solid 1 #FF0000");
    // Hidden text takes no room but stays in the plain text.
    EXPECT_EQ(Texts("<Z>hidden</Z>x"), (Calls{"TextOut 1,0 'x'"}));
    EXPECT_EQ(out_.PlainText, "hiddenx");
    EXPECT_EQ(out_.Width, 8);
}

TEST_F(MiniHtml, AcceleratorAndAnchorTargets)
{
    EXPECT_EQ(CaptionAccelerator("&Frachten"), U'F');
    EXPECT_EQ(CaptionAccelerator("<B>Kon&zentrationen</B>"), U'Z');
    EXPECT_EQ(CaptionAccelerator("a&amp;b &&c"), 0u);
    // Only the letter after the "&" decides: lower case a to z goes upper, anything else stays.
    EXPECT_EQ(CaptionAccelerator("A&bc"), U'B');
    EXPECT_EQ(CaptionAccelerator("z&A"), U'A');
    EXPECT_EQ(CaptionAccelerator("x&az"), U'A');
    EXPECT_EQ(CaptionAccelerator("Q&z"), U'Z');
    EXPECT_EQ(CaptionAccelerator("a&{"), U'{');
    EXPECT_EQ(CaptionAccelerator("a&`"), U'`');
    EXPECT_EQ(CaptionAccelerator("<A HREF=\"&x\">y</A>"), 0u);
    // An "&" that ends a piece of text before a tag marks nothing; a later one still does.
    EXPECT_EQ(CaptionAccelerator("Q &<SUB>x</SUB> &Frachten"), U'F');
    EXPECT_TRUE(IsCaptionAddress("https://example.org"));
    EXPECT_TRUE(IsCaptionAddress("mailto:x"));
    // Anything with "://" goes to the shell (which refuses all but web and mail); any other
    // scheme is a link of the program's own.
    EXPECT_TRUE(IsCaptionAddress("file:///etc/passwd"));
    EXPECT_TRUE(IsCaptionAddress("seite.htm?a=http://x"));
    EXPECT_FALSE(IsCaptionAddress("page1"));
    EXPECT_FALSE(IsCaptionAddress("C:\\Hilfe"));
    EXPECT_FALSE(IsCaptionAddress("EDIT:VarQD"));
    EXPECT_FALSE(IsCaptionAddress("foo:bar"));
    EXPECT_FALSE(IsCaptionAddress("javascript:x"));
    EXPECT_EQ(LeadingNumber("99999999999"), 1000000);
    EXPECT_EQ(LeadingNumber("12ab"), 12);
    EXPECT_EQ(LeadingNumber("x"), 0);
}

// A rule ends its line: what follows starts on the next one, below the rule, and the caption
// grows by a line; a rule after a break lies under the second line.
TEST_F(MiniHtml, RuleEndsTheLine)
{
    EXPECT_EQ(Paint("a<HR>b"), (Calls{"TextOut 1,0 'a'", "LineTo 200,17 from 1,17", "TextOut 1,16 'b'"}));
    EXPECT_EQ(out_.Height, 32);
    EXPECT_EQ(out_.Width, 8);
    EXPECT_EQ(Paint("<HR>b"), (Calls{"LineTo 200,17 from 1,17", "TextOut 1,16 'b'"}));
    EXPECT_EQ(out_.Height, 32);
    EXPECT_EQ(Paint("a<BR><HR>b"),
              (Calls{"TextOut 1,0 'a'", "LineTo 200,33 from 1,33", "TextOut 1,32 'b'"}));
    EXPECT_EQ(out_.Height, 48);
}

// An anchor is hit down to its line's bottom pixel, and not on the next line's first one.
TEST_F(MiniHtml, AnchorsAreHitDownToTheLinesBottomPixel)
{
    const std::string caption = "<A HREF=\"x\">Link</A> Text";
    EXPECT_TRUE(Hit(caption, 10, 15));
    EXPECT_FALSE(Hit(caption, 10, 16));
    const std::string second = "eins<BR><A HREF=\"z\">zwei</A>";
    EXPECT_TRUE(Hit(second, 10, 31));
    EXPECT_FALSE(Hit(second, 10, 32));
    EXPECT_FALSE(Hit(second, 10, 16));
    EXPECT_TRUE(Hit(second, 1, 20));   // the anchor's first column
    EXPECT_FALSE(Hit(second, 35, 20));  // right of it
    // A subscript on the line adds room below the text; the anchor is hit where it is drawn
    // (rows 0 to 15), not in that room.
    const std::string water = "H<SUB>2</SUB>O <A HREF=\"w\">Link</A>";
    EXPECT_TRUE(Hit(water, 45, 2));
    EXPECT_TRUE(Hit(water, 45, 15));
    EXPECT_FALSE(Hit(water, 45, 17));
}

// A wrapped anchor: the focused one is framed on each of its lines; one that is not focused has
// no frame on either.
TEST_F(MiniHtml, AWrappedAnchorIsFramedOnEachLineOnlyWhenFocused)
{
    const std::string caption = "<A HREF=\"a\">aaa bbb ccc</A> <A HREF=\"b\">dd</A>";
    const auto focus = [](int anchor) {
        return [anchor](TMiniHtmlInputs& in) {
            in.Rect = {0, 0, 70, 100};
            in.FocusedAnchor = anchor;
        };
    };
    const auto frames = [](const Calls& calls) {
        Calls found;
        for (const std::string& call : calls)
            if (call.rfind("FocusRect", 0) == 0)
                found.push_back(call);
        return found;
    };
    EXPECT_EQ(frames(Paint(caption, focus(1))).size(), 2u);
    const Calls second = frames(Paint(caption, focus(2)));
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(out_.FocusedHref, "b");
    EXPECT_TRUE(frames(Paint(caption, focus(0))).empty());
}
