// Colour texts: hexadecimal, rgb(), the name table with its system colours, and the one-entry cache.
#include "html/style/Colors.h"

#include <gtest/gtest.h>

using namespace velmoran;

namespace {
TColor Parse(const char* text, bool requireHash = false)
{
    TColor c = 0xDEADBEEF;
    return ParseColor(text, requireHash, c) ? c : 0xDEADBEEF;
}
constexpr TColor kFail = 0xDEADBEEF;
}  // namespace

TEST(ParseColor, HexadecimalCarriesThePaletteFlag)
{
    EXPECT_EQ(Parse("#FF0000"), 0x020000FFu);  // red sits in the low byte
    EXPECT_EQ(Parse("#abc"), Parse("#aabbcc"));
    EXPECT_EQ(Parse(" #AaBbCc "), 0x02CCBBAAu);
    EXPECT_EQ(Parse("00ff00"), 0x0200FF00u);     // the "#" may be left out ...
    EXPECT_EQ(Parse("00ff01", true), kFail);     // ... unless it is required
    EXPECT_EQ(Parse("#00ff01", true), 0x0201FF00u);
    EXPECT_EQ(Parse("#12345g"), kFail);
    EXPECT_EQ(Parse("#1234567"), kFail);
    EXPECT_EQ(Parse(""), kFail);
    EXPECT_EQ(Parse("#"), kFail);
}

TEST(ParseColor, RgbNumbersAndPercentages)
{
    EXPECT_EQ(Parse("rgb(100%, 0%, 50%)"), 0x02000000u + 255 + (0 << 8) + (128 << 16));
    EXPECT_EQ(Parse("RGB( 1 ,2, 3 )"), 0x02030201u);
    EXPECT_EQ(Parse("rgb(300, -5, 255)"), 0x02FF00FFu);  // clamped
    EXPECT_EQ(Parse("rgb(1,2)"), kFail);
    EXPECT_EQ(Parse("rgb(1,2,3"), kFail);
    EXPECT_EQ(Parse("rgb(a,2,3)"), kFail);
}

TEST(ParseColor, NamesAndSystemColours)
{
    EXPECT_EQ(ColorNameCount(), 176);
    EXPECT_EQ(Parse("Red"), 0x0000FFu);  // named colours carry no flag
    EXPECT_EQ(Parse("navy"), 0x800000u);
    EXPECT_EQ(Parse("lightgoldenrodyellow"), 0xD2FAFAu);
    EXPECT_EQ(Parse("grey"), Parse("gray"));
    EXPECT_EQ(Parse("darkslategrey"), Parse("darkslategray"));
    EXPECT_EQ(Parse("transparent"), NoColor);
    EXPECT_EQ(Parse("AppWorkSpace"), 0x8000000Cu);
    EXPECT_EQ(Parse("buttonface"), 0x8000000Fu);
    EXPECT_EQ(Parse("threedface"), 0x8000000Fu);
    EXPECT_EQ(Parse("scrollbar"), 0x80000000u);
    EXPECT_EQ(Parse("hightlighttext"), 0x8000000Eu);  // the only spelling of this system colour
    EXPECT_EQ(Parse("highlighttext"), kFail);
    EXPECT_EQ(Parse("rebeccapurple"), kFail);
    EXPECT_EQ(Parse("bad"), 0x02DDAABBu);  // no name: read as hexadecimal
}

TEST(ParseColor, TheCacheKeepsTheHashRequirementApart)
{
    // The same text, asked first without and then with the "#" requirement, and the other way round.
    EXPECT_EQ(Parse("123456"), 0x02563412u);
    EXPECT_EQ(Parse("123456", true), kFail);
    EXPECT_EQ(Parse("654321", true), kFail);
    EXPECT_EQ(Parse("654321"), 0x02214365u);
    // A failed parse leaves the caller's value alone.
    TColor keep = 7;
    EXPECT_FALSE(ParseColor("nonsense", false, keep));
    EXPECT_EQ(keep, 7u);
    EXPECT_FALSE(ParseColor("nonsense", false, keep));  // from the cache
    EXPECT_EQ(keep, 7u);
}
