// DrawText on the recording canvas with the fixed-metric test font (16-pixel font: characters
// 8 wide, ascent 12, average width 8), where every position is plain arithmetic: alignments,
// word breaks, the end ellipsis, the calculated rectangle, prefixes and tabs; and rotated fonts
// on the recording canvas and on a Qt image.
#include "platform/CanvasText.h"
#include "platform/QtCanvas.h"
#include "platform/RecordingCanvas.h"
#include "platform/TestFont.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

using namespace velmoran;

namespace {

LogicalFont Font16()
{
    LogicalFont font;
    font.Face = "Arial";
    font.Height = -16;
    return font;
}

// The fixture carries the function's name, so that the tests read platform.DrawText.*; the
// function itself is called qualified.
class DrawText : public ::testing::Test {
protected:
    DrawText() : canvas_(fonts_) { canvas_.SetFont(Font16()); }

    // Draws and returns the drawing calls.
    std::vector<std::string> Draw(std::u16string_view text, TRect rect, unsigned flags)
    {
        canvas_.Clear();
        height_ = velmoran::DrawText(canvas_, text, rect, flags);
        rect_ = rect;
        return canvas_.Calls();
    }

    TestFontEngine fonts_;
    RecordingCanvas canvas_;
    int height_ = 0;
    TRect rect_;
};

using Calls = std::vector<std::string>;

}  // namespace

TEST_F(DrawText, SingleLinesAlignInBothDirections)
{
    const TRect box{0, 0, 100, 40};
    EXPECT_EQ(Draw(u"abc", box, DT_SINGLELINE), (Calls{"TextOut 0,0 'abc'"}));
    EXPECT_EQ(Draw(u"abc", box, DT_SINGLELINE | DT_CENTER | DT_VCENTER), (Calls{"TextOut 38,12 'abc'"}));
    EXPECT_EQ(Draw(u"abc", box, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM), (Calls{"TextOut 76,24 'abc'"}));
    EXPECT_EQ(height_, 16);
    // Vertical placement belongs to single lines; several lines start at the top.
    EXPECT_EQ(Draw(u"abc", box, DT_BOTTOM), (Calls{"TextOut 0,0 'abc'"}));
    // The text's own alignment is set for the call only.
    canvas_.SetTextAlign(TA_BASELINE | TA_UPDATECP);
    Draw(u"abc", box, DT_SINGLELINE);
    EXPECT_EQ(canvas_.GetTextAlign(), TA_BASELINE | TA_UPDATECP);
}

TEST_F(DrawText, WordBreakKeepsWordsWholeAndLineBreaksCount)
{
    // "aaa bbb" is 56 pixels and fits into 60; "ccc" goes on.
    EXPECT_EQ(Draw(u"aaa bbb ccc", {0, 0, 60, 100}, DT_WORDBREAK),
              (Calls{"TextOut 0,0 'aaa bbb'", "TextOut 0,16 'ccc'"}));
    EXPECT_EQ(height_, 32);
    // A word wider than the line stays whole on a line of its own.
    EXPECT_EQ(Draw(u"aaaaaaaaaa bb", {0, 0, 40, 100}, DT_WORDBREAK),
              (Calls{"TextOut 0,0 'aaaaaaaaaa'", "TextOut 0,16 'bb'"}));
    EXPECT_EQ(Draw(u"eins\r\nzwei\nx", {0, 0, 400, 100}, 0),
              (Calls{"TextOut 0,0 'eins'", "TextOut 0,16 'zwei'", "TextOut 0,32 'x'"}));
    // Centred lines each by their own width.
    EXPECT_EQ(Draw(u"aaa bbb ccc", {0, 0, 60, 100}, DT_WORDBREAK | DT_CENTER),
              (Calls{"TextOut 2,0 'aaa bbb'", "TextOut 18,16 'ccc'"}));
}

TEST_F(DrawText, EndEllipsisCutsInsideTheRectangle)
{
    // 80 pixels into 50: three characters and "..." (24) make 48.
    EXPECT_EQ(Draw(u"abcdefghij", {0, 0, 50, 20}, DT_SINGLELINE | DT_END_ELLIPSIS), (Calls{"TextOut 0,0 'abc...'"}));
    EXPECT_EQ(Draw(u"abcdef", {0, 0, 50, 20}, DT_SINGLELINE | DT_END_ELLIPSIS), (Calls{"TextOut 0,0 'abcdef'"}));
    EXPECT_EQ(Draw(u"abcdefghij", {0, 0, 20, 20}, DT_SINGLELINE | DT_END_ELLIPSIS), (Calls{"TextOut 0,0 '...'"}));
}

TEST_F(DrawText, CalculatedRectangleDrawsNothing)
{
    EXPECT_TRUE(Draw(u"abc", {10, 5, 200, 100}, DT_SINGLELINE | DT_CALCRECT).empty());
    EXPECT_EQ(rect_, (TRect{10, 5, 34, 21}));
    EXPECT_TRUE(Draw(u"aaa bbb ccc", {0, 0, 60, 100}, DT_WORDBREAK | DT_CALCRECT).empty());
    EXPECT_EQ(rect_, (TRect{0, 0, 56, 32}));
    // The prefix mark takes no room; the ellipsis does not shorten the measure.
    Draw(u"&a&&b", {0, 0, 100, 100}, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(rect_.Right, 24);
    Draw(u"abcdefghij", {0, 0, 50, 100}, DT_SINGLELINE | DT_CALCRECT | DT_END_ELLIPSIS);
    EXPECT_EQ(rect_.Right, 80);
}

TEST_F(DrawText, PrefixUnderlinesOneCharacterUnlessSwitchedOff)
{
    canvas_.SetTextColor(0x0000FF);
    // "D" underlined one pixel below the baseline (12) in the text colour.
    EXPECT_EQ(Draw(u"x&Datei", {0, 0, 100, 20}, DT_SINGLELINE),
              (Calls{"TextOut 0,0 'xDatei'", "FillRect 8,13,16,14 #FF0000"}));
    EXPECT_EQ(Draw(u"a&&b", {0, 0, 100, 20}, DT_SINGLELINE), (Calls{"TextOut 0,0 'a&b'"}));
    EXPECT_EQ(Draw(u"a&&b&", {0, 0, 100, 20}, DT_SINGLELINE), (Calls{"TextOut 0,0 'a&b'"}));
    EXPECT_EQ(Draw(u"&Datei && x", {0, 0, 200, 20}, DT_SINGLELINE | DT_NOPREFIX), (Calls{"TextOut 0,0 '&Datei && x'"}));
}

TEST_F(DrawText, TabsExpandToEightAverageCharacters)
{
    EXPECT_EQ(Draw(u"a\tb\tc", {0, 0, 400, 20}, DT_SINGLELINE | DT_EXPANDTABS),
              (Calls{"TextOut 0,0 'a'", "TextOut 64,0 'b'", "TextOut 128,0 'c'"}));
    Draw(u"a\tb", {0, 0, 400, 20}, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT);
    EXPECT_EQ(rect_.Right, 72);
}

TEST_F(DrawText, RotatedFontReachesTheRecordingAndTurnsTheQtText)
{
    LogicalFont rotated = Font16();
    rotated.Escapement = 900;
    canvas_.SetFont(rotated);
    Draw(u"ab", {0, 0, 100, 20}, DT_SINGLELINE);
    EXPECT_NE(canvas_.Text().find("Font Arial -16 400 escapement 900\n"), std::string::npos) << canvas_.Text();

    // On a Qt image the text runs upwards from the reference point: taller than wide, and above it.
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QtCanvas canvas(&painter);
        LogicalFont font = rotated;
        font.Height = -30;
        canvas.SetFont(font);
        canvas.SetBkMode(BkMode::Transparent);
        canvas.SetTextAlign(TA_BASELINE);
        canvas.TextOut(100, 150, u"HHHHH");
    }
    int left = 200, right = 0, top = 200, bottom = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    ASSERT_LT(left, right);
    EXPECT_GT(bottom - top, 2 * (right - left));
    EXPECT_LE(bottom, 151);
    EXPECT_LT(right, 101);
}
