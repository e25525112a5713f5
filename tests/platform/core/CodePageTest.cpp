// Text between code pages and UTF-16: UTF-8 in the program's own conversion, and the byte length
// of the character at a place, by which text buffers walk bytes of any code page.
#include "platform/core/CodePage.h"

#include <gtest/gtest.h>

using namespace velmoran;

// UTF-8 to UTF-16 gives exactly the characters of the text, nothing after its last byte: "Grüße"
// is five units, a character beyond 16 bits a surrogate pair.
TEST(CodePage, Utf8ToWideGivesTheCharactersAndNothingMore)
{
    EXPECT_EQ(Utf8ToWide("Gr\xC3\xBC\xC3\x9F" "e"), u"Gr\u00FC\u00DFe");
    EXPECT_EQ(Utf8ToWide("Gr\xC3\xBC\xC3\x9F" "e").size(), 5u);
    EXPECT_EQ(Utf8ToWide("\xE2\x82\xAC"), std::u16string(1, u'\u20AC'));
    EXPECT_EQ(Utf8ToWide("\xF0\x9F\x98\x80"), std::u16string(u"\U0001F600"));
    EXPECT_EQ(Utf8ToWide(""), u"");
    EXPECT_EQ(WideToUtf8(Utf8ToWide("m\xC2\xB3/d")), "m\xC2\xB3/d");
}

// Windows-1252 from UTF-16: U+0080 (a control the code page lacks) and a surrogate standing alone
// become "?", never the byte 0x80 (the euro sign) or a byte of the surrogate; only a high surrogate
// followed by a low one is one character, one "?" (two high ones are two).
TEST(CodePage, Windows1252FromWideMakesOneQuestionMarkOfEachCharacterItLacks)
{
    EXPECT_EQ(WideToMultibyte(1252, std::u16string{u'a', 0x0080, u'b'}), "a?b");
    EXPECT_EQ(WideToMultibyte(1252, std::u16string{0xD800}), "?");
    EXPECT_EQ(WideToMultibyte(1252, std::u16string{0xDC00, 0xDC00, 0xD800, 0xDBFF, u'x'}), "????x");
    EXPECT_EQ(WideToMultibyte(1252, u"\U0001F600\u20AC"), "?\x80");
    EXPECT_EQ(MultibyteToWide(1252, "\x80\x81"), std::u16string(u"\u20AC\u0081"));
}

// The length of the character at a place: in UTF-8 by its lead byte; in Windows-1252 every byte
// is a character of its own, "ä" (E4) included; in Shift-JIS (code page 932) a lead byte 0x82
// starts a character of two bytes ("あ", 82 A0), while ASCII stays one byte.
TEST(CodePage, CharLengthByTheRulesOfEachCodePage)
{
    const std::string utf8 = "a\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80";
    EXPECT_EQ(CharLengthInCodePage(kUtf8CodePage, utf8, 0), 1);
    EXPECT_EQ(CharLengthInCodePage(kUtf8CodePage, utf8, 1), 2);
    EXPECT_EQ(CharLengthInCodePage(kUtf8CodePage, utf8, 3), 3);
    EXPECT_EQ(CharLengthInCodePage(kUtf8CodePage, utf8, 6), 4);
    EXPECT_EQ(CharLengthInCodePage(kUtf8CodePage, utf8, utf8.size()), 0);

    const std::string cp1252 = "\xE4\x80x";
    EXPECT_EQ(CharLengthInCodePage(1252, cp1252, 0), 1);
    EXPECT_EQ(CharLengthInCodePage(1252, cp1252, 1), 1);
    EXPECT_EQ(CharLengthInCodePage(1252, cp1252, 2), 1);

    const std::string sjis = "\x82\xA0" "b";
    EXPECT_EQ(CharLengthInCodePage(932, sjis, 0), 2);
    EXPECT_EQ(CharLengthInCodePage(932, sjis, 2), 1);
    // A lead byte with nothing after it is no complete character.
    EXPECT_EQ(CharLengthInCodePage(932, "\x82", 0), 0);
}
