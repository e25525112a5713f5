// The shared helpers: accelerator handling of captions, turned text with its underline, glyph
// rows, and the list helpers.
#include "platform/RecordingCanvas.h"
#include "platform/TestFont.h"
#include "toolbar/TBarCommon.h"

#include <gtest/gtest.h>

using namespace velmoran;

TEST(Captions, AcceleratorTable)
{
    struct Case {
        const char* caption;
        const char* stripped;
        char32_t accel;
    };
    for (const Case& c : {Case{"&Datei", "Datei", U'D'}, Case{"Öffnen...", "Öffnen...", 0},
                          Case{"a&&b&C", "a&bC", U'C'}, Case{"&&", "&", 0}, Case{"&Über", "Über", U'Ü'},
                          Case{"Ende&", "Ende", 0}}) {
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(StripAccelChars(c.caption), c.stripped);
        EXPECT_EQ(GetAccelChar(c.caption), c.accel);
    }
    EXPECT_EQ(EscapeAmpersands("b&c.vda"), "b&&c.vda");
    EXPECT_EQ(StripTrailingPunctuation("Öffnen..."), "Öffnen");
    EXPECT_EQ(StripTrailingPunctuation("Name:"), "Name");
    EXPECT_EQ(StripTrailingPunctuation("Name::"), "Name:");
    EXPECT_EQ(CharLowerOf(U'Ä'), U'ä');
}

TEST(Captions, WidthLeavesOutAccelerators)
{
    TestFontEngine fonts;
    RecordingCanvas canvas(fonts);
    EXPECT_EQ(GetTextWidth(canvas, "&Datei", true), GetTextWidth(canvas, "Datei", false));
    EXPECT_GT(GetTextWidth(canvas, "&Datei", false), GetTextWidth(canvas, "Datei", false));
}

TEST(RotatedText, RunsDownwardsWithTheUnderlineAlongItsBaseline)
{
    TestFontEngine fonts;
    RecordingCanvas canvas(fonts);
    LogicalFont font;
    font.Face = "Liberation Sans";
    font.Height = -11;
    canvas.SetFont(font);
    const TextMetrics metrics = canvas.GetTextMetrics();
    const int before = canvas.TextExtent(u"Da").cx;
    const int accel = canvas.TextExtent(u"t").cx;
    const int width = canvas.TextExtent(u"Datei").cx;
    canvas.SetTextColor(0x0000FF);
    DrawRotatedText(canvas, "Da&tei", TRect{10, 20, 40, 220}, 0);
    EXPECT_EQ(canvas.Font(), font);  // the font is put back

    const int x = 10 + (30 - metrics.Height) / 2;
    const int y = 20 + (200 - width) / 2;
    const int line = x + metrics.Descent - 2;
    auto num = [](int v) { return std::to_string(v); };
    const std::vector<std::string> expected{
        "TextOut " + num(x) + "," + num(y) + " 'Datei'",
        "FillRect " + num(line) + "," + num(y + before) + "," + num(line + 1) + "," + num(y + before + accel) + " #FF0000"};
    EXPECT_EQ(canvas.Calls(), expected) << canvas.Text();
    // The face stays; only the angle changes.
    EXPECT_NE(canvas.Text().find("Font Liberation Sans -11 400 escapement 2700"), std::string::npos) << canvas.Text();

    canvas.Clear();
    DrawRotatedText(canvas, "Da&tei", TRect{10, 20, 40, 220}, DT_HIDEPREFIX);
    EXPECT_EQ(canvas.Calls().size(), 1u);
}

TEST(Glyphs, RowsOfBitsBecomePixels)
{
    TestFontEngine fonts;
    RecordingCanvas canvas(fonts);
    DrawGlyphRows(canvas, {0xC0, 0x40}, 8, 5, 7, 0x563412);
    const std::vector<std::string> expected{"FillRect 5,7,6,8 #123456", "FillRect 6,7,7,8 #123456",
                                            "FillRect 6,8,7,9 #123456"};
    EXPECT_EQ(canvas.Calls(), expected) << canvas.Text();
}

TEST(Lists, AddOnceRemoveAndFreeWhenEmpty)
{
    std::unique_ptr<std::vector<int*>> list;
    int a = 0, b = 0;
    EXPECT_TRUE(AddToList(list, &a));
    EXPECT_FALSE(AddToList(list, &a));
    EXPECT_TRUE(AddToList(list, &b, true));
    EXPECT_EQ(*list, (std::vector<int*>{&b, &a}));
    RemoveFromList(list, &a);
    RemoveFromList(list, &b);
    EXPECT_EQ(list, nullptr);
}
