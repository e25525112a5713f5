// Lengths, font sizes, family lists and the fonts built from property sets, measured with the
// fixed-metric test font.
#include "html/style/Fonts.h"
#include "html/style/Properties.h"
#include "platform/TestFont.h"

#include <gtest/gtest.h>

using namespace velmoran;

TEST(LengthToPixels, UnitsOnA96PpiDevice)
{
    EXPECT_EQ(LengthToPixels("1in", false, 0, -1, 8, 16), 96);
    EXPECT_EQ(LengthToPixels("2.54cm", false, 0, -1, 8, 16), 96);
    EXPECT_EQ(LengthToPixels("10mm", false, 0, -1, 8, 16), 38);   // 37.8
    EXPECT_EQ(LengthToPixels("12pt", false, 0, -1, 8, 16), 16);
    EXPECT_EQ(LengthToPixels("13px", false, 0, -1, 8, 16), 13);
    EXPECT_EQ(LengthToPixels("1pc", false, 0, -1, 8, 16), 16);
    EXPECT_EQ(LengthToPixels("1.5em", false, 0, -1, 8, 16), 24);
    EXPECT_EQ(LengthToPixels("2ex", false, 0, -1, 7, 16), 14);
    EXPECT_EQ(LengthToPixels("25%", false, 300, -1, 8, 16), 75);
    EXPECT_EQ(LengthToPixels(" 2.5 ", false, 300, -1, 8, 16), 3);  // no unit: the number, rounded
    EXPECT_EQ(LengthToPixels("2.5", true, 300, -1, 8, 16), 750);    // ... or times the base
    EXPECT_EQ(LengthToPixels("-3px", false, 0, -1, 8, 16), -3);
    EXPECT_EQ(LengthToPixels("3furlongs", false, 0, -1, 8, 16), -1);
    EXPECT_EQ(LengthToPixels("auto", false, 0, -7, 8, 16), -7);
    EXPECT_EQ(LengthToPixels("", false, 0, -7, 8, 16), -7);
}

TEST(FontSizeToPoints, UnitsAndKeywords)
{
    SetDefaultFontSize(12);
    EXPECT_DOUBLE_EQ(FontSizeToPoints("2em", 12), 24);
    EXPECT_DOUBLE_EQ(FontSizeToPoints("larger", 12), 15);
    EXPECT_DOUBLE_EQ(FontSizeToPoints("smaller", 12), 9);
    EXPECT_DOUBLE_EQ(FontSizeToPoints("1in", 12), 72);
    EXPECT_DOUBLE_EQ(FontSizeToPoints("10pt", 30), 10);
    EXPECT_DOUBLE_EQ(FontSizeToPoints("1pc", 30), 12);
    EXPECT_DOUBLE_EQ(FontSizeToPoints("16px", 30), 12);
    EXPECT_DOUBLE_EQ(FontSizeToPoints("16", 30), 12);
    EXPECT_DOUBLE_EQ(FontSizeToPoints("150%", 10), 15);
    EXPECT_DOUBLE_EQ(FontSizeToPoints("1ex", 10), 5);
    EXPECT_DOUBLE_EQ(FontSizeToPoints("x-large", 99), 24);
    EXPECT_DOUBLE_EQ(FontSizeToPoints("xx-small", 99), 8);
    EXPECT_DOUBLE_EQ(FontSizeToPoints("medium", 99), 14.4);
    EXPECT_DOUBLE_EQ(FontSizeToPoints("enormous", 99), 12);
    EXPECT_DOUBLE_EQ(FontSizeToPoints("3parsec", 99), 12);
}

TEST(FontFamilies, FirstInstalledWithGenericNames)
{
    TestFontEngine test;
    ScopedScreenFonts scoped(test);
    EXPECT_EQ(FirstInstalledFontFamily("Fantasy Sans, 'Courier New', Arial"), "Courier New");
    EXPECT_EQ(FirstInstalledFontFamily("nosuch, helvetica"), "Arial");
    EXPECT_EQ(FirstInstalledFontFamily("\"serif\""), "Times New Roman");
    EXPECT_EQ(FirstInstalledFontFamily("monospace"), "Courier New");
    EXPECT_EQ(FirstInstalledFontFamily("arial"), "Arial");
    EXPECT_EQ(FirstInstalledFontFamily("cursive, nosuch"), "");
    EXPECT_EQ(FirstInstalledFontFamily(""), "");
}

TEST(GetFont, SizeStyleAndMetricsFromTheValues)
{
    TestFontEngine test;
    ScopedScreenFonts scoped(test);
    TProperties p;
    p.Props[FontFamily] = "Verdana, sans-serif";
    p.Props[FontSize] = 12.0;
    p.Props[FontWeight] = "700";
    p.Props[FontStyle] = "oblique";
    p.Props[TextDecoration] = "underline line-through";
    p.Props[Color] = 0x0000FFu;
    p.Props[LetterSpacing] = "0.5em";
    const TMyFont f = p.GetFont();
    EXPECT_EQ(f.Name, "Arial");
    EXPECT_EQ(f.Height, -16);
    EXPECT_EQ(f.Style, fsBold | fsItalic | fsUnderline | fsStrikeOut);
    EXPECT_EQ(f.Color, 0x0000FFu);
    EXPECT_EQ(f.BGColor, NoColor);
    EXPECT_EQ(f.tmHeight, 16);
    EXPECT_EQ(f.tmDescent, 4);
    EXPECT_EQ(f.tmAveCharWidth, 8);
    EXPECT_EQ(p.EmSize, 16);
    EXPECT_EQ(p.ExSize, 8);
    EXPECT_EQ(f.CharExtra, 8);

    MeasuringCanvas canvas(test);
    f.SelectInto(canvas);
    EXPECT_EQ(canvas.TextExtent(u"abc").cx, 3 * (9 + 8));  // bold adds one pixel, letter spacing 8

    TProperties q;
    q.Props[FontSize] = "2em";  // a text size is read against the default size
    q.Props[FontWeight] = "normal";
    q.Props[LetterSpacing] = 3;
    SetDefaultFontSize(9);
    const TMyFont g = q.GetFont();
    EXPECT_EQ(g.Height, -24);
    EXPECT_EQ(g.Style, 0);
    EXPECT_EQ(g.CharExtra, 3);
    SetDefaultFontSize(12);
}

// Runs are measured one after another on one canvas, and a font already selected is not selected
// again: a plain run after a bold run of the same face and size must be measured plain, and the
// other way round.
TEST(GetFont, ARunAfterARunOfAnotherWeightSelectsItsOwnFont)
{
    TestFontEngine test;
    ScopedScreenFonts scoped(test);
    TProperties p;
    p.Props[FontFamily] = "Arial";
    p.Props[FontSize] = 12.0;
    p.Props[FontWeight] = "bold";
    const TMyFont bold = p.GetFont();
    TProperties q;
    q.Props[FontFamily] = "Arial";
    q.Props[FontSize] = 12.0;
    q.Props[FontWeight] = "normal";
    const TMyFont plain = q.GetFont();

    MeasuringCanvas canvas(test);
    bold.SelectInto(canvas);
    EXPECT_EQ(canvas.TextExtent(u"abc").cx, 3 * 9);  // bold adds one pixel to each character
    plain.SelectInto(canvas);
    EXPECT_EQ(canvas.TextExtent(u"abc").cx, 3 * 8);
    bold.SelectInto(canvas);
    EXPECT_EQ(canvas.TextExtent(u"abc").cx, 3 * 9);
}
