// The text helpers of the date and list controls in one table each: replacing without overlap,
// runs of a character, character-set tests, Max and Min.
#include "controls/StringUtils.h"

#include <gtest/gtest.h>

using namespace velmoran;

TEST(StringUtils, ReplaceMakeAndContainOnly)
{
    struct Replace {
        const char* Text;
        const char* Search;
        const char* Replacement;
        const char* Expected;
    };
    const Replace replaces[] = {
        {"a.b.c", ".", "", "abc"},
        {"aaa", "aa", "b", "ba"},            // left to right, no overlap
        {"17/03/2002", "/", ".", "17.03.2002"},
        {"x", "x", "xx", "xx"},              // the replacement is not searched again
        {"Ende.", ".", "", "Ende"},          // text after the last hit (none) kept
        {"abc", "", "-", "abc"},             // an empty search replaces nothing
        {"", "a", "b", ""},
    };
    for (const Replace& r : replaces)
        EXPECT_EQ(ReplaceStr(r.Text, r.Search, r.Replacement), r.Expected) << r.Text << " / " << r.Search;

    EXPECT_EQ(MakeStr(' ', 3), "   ");
    EXPECT_EQ(MakeStr('x', 0), "");
    EXPECT_EQ(MakeStr('x', -2), "");

    struct Only {
        const char* Text;
        const char* Set;
        bool Expected;
    };
    const Only onlies[] = {
        {"  . .  ", " .", true},
        {"", "0123456789", true},
        {"12.3", "0123456789", false},
        {"1203", "0123456789", true},
    };
    for (const Only& o : onlies)
        EXPECT_EQ(ContainsOnlyChars(o.Text, o.Set), o.Expected) << '"' << o.Text << '"';

    static_assert(Max(3, -2) == 3 && Max(-2, 3) == 3 && Min(3, -2) == -2 && Min(-2, -2) == -2);
}
