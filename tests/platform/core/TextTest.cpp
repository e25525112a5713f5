// The shared text helpers: only ASCII letters fold, so UTF-8 names and Windows-1252 bytes are
// compared byte for byte; trimming stops at the first printable character.
#include "platform/core/Text.h"

#include <gtest/gtest.h>

using namespace velmoran;

TEST(Text, CaseFoldsOnlyAsciiLetters)
{
    EXPECT_EQ(LowerCase("DosPath Ä \xC4"), "dospath Ä \xC4");
    EXPECT_EQ(UpperCase("refresh_ü1"), "REFRESH_ü1");
    EXPECT_TRUE(SameText("_TOP", "_top"));
    EXPECT_FALSE(SameText("Ä", "ä"));        // UTF-8 bytes differ: not folded
    EXPECT_FALSE(SameText("abc", "abcd"));
    EXPECT_TRUE(SameText("", ""));
}

TEST(Text, TrimDropsControlsAndBlanksAtBothEnds)
{
    EXPECT_EQ(TrimView("\t a b \r\n"), "a b");
    EXPECT_EQ(Trim(" \x01\x1F"), "");
    EXPECT_EQ(TrimView("\xA0x\xA0"), "\xA0x\xA0");  // a Windows-1252 no-break space is text
}

TEST(Text, FindTextIgnoresCaseAndHonoursTheStart)
{
    EXPECT_EQ(FindText("<HTML><Head>", "<head>"), 6u);
    EXPECT_EQ(FindText("url=a; URL=b", "url=", 1), 7u);
    EXPECT_EQ(FindText("abc", "abcd"), std::string_view::npos);
    EXPECT_EQ(FindText("abc", "", 3), 3u);
    EXPECT_EQ(FindText("abc", "c", 4), std::string_view::npos);
}

// A value quoted in a message: a 2 MB one once filled the message box. Up to 80 characters and
// an ellipsis, cut between characters, never inside one.
TEST(Text, ExcerptCutsLongValuesBetweenCharacters)
{
    EXPECT_EQ(Excerpt("12,5"), "12,5");
    EXPECT_EQ(Excerpt(std::string(80, 'x')), std::string(80, 'x'));
    EXPECT_EQ(Excerpt(std::string(2 << 20, 'x')), std::string(80, 'x') + "…");
    EXPECT_EQ(Excerpt("äöü", 2), "äö…");
    EXPECT_EQ(CutToCharacters("Kläranlage", 3), "Klä");
    // Bytes that continue no character count as none, and a cut never looks further than four
    // bytes a character: megabytes of them are not walked.
    EXPECT_EQ(FirstCharacters("a\x80\x80" "b", 1), "a\x80\x80");
    EXPECT_EQ(FirstCharacters(std::string(2 << 20, '\x80'), 3).size(), 16u);
}
