// Text helpers: MulDiv rounding, code pages, percent escapes and file URLs as paths.
#include "html/base/WideText.h"
#include "platform/core/CodePage.h"

#include <gtest/gtest.h>

using namespace velmoran;

TEST(MulDiv, RoundsHalfAwayFromZeroAndSurvivesEdges)
{
    EXPECT_EQ(MulDiv(5, 3, 2), 8);     // 7.5
    EXPECT_EQ(MulDiv(-5, 3, 2), -8);   // -7.5
    EXPECT_EQ(MulDiv(5, -3, -2), 8);
    EXPECT_EQ(MulDiv(7, 1, 3), 2);     // 2.33
    EXPECT_EQ(MulDiv(8, 1, 3), 3);     // 2.67
    EXPECT_EQ(MulDiv(1, 1, 0), 0);
    EXPECT_EQ(MulDiv(2000000000, 3, 2), 2147483647);  // clamped, the product fits in 64 bits
    EXPECT_EQ(MulDiv(2000000000, 2000000000, 2000000000), 2000000000);
}

TEST(CodePage, DefaultIsWindows1252AndOthersConvert)
{
    EXPECT_EQ(MultibyteToWide(0, "\x80\xE4"), u"\u20AC\u00E4");
    EXPECT_EQ(MultibyteToWide(1252, "\x80"), u"\u20AC");
    EXPECT_EQ(MultibyteToWide(65001, "\xC3\xA4"), u"\u00E4");
    EXPECT_EQ(MultibyteToWide(28592, "\xB1"), u"\u0105");  // ISO-8859-2: a with ogonek
    EXPECT_EQ(MultibyteToWide(1251, "\xC0"), u"\u0410");   // Cyrillic A
    EXPECT_EQ(MultibyteToWide(99999, "\x80"), u"\u20AC");  // unknown page: the ANSI retry
    EXPECT_EQ(WideToMultibyte(0, u"\u20AC\u00FC\u2192"), "\x80\xFC?");
    EXPECT_EQ(WideToMultibyte(932, u"\u3042"), "\x82\xA0");
    EXPECT_EQ(WideToUtf8(u"\u00E4\U0001F600"), "\xC3\xA4\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8ToWide("\xF0\x9F\x98\x80"), u"\U0001F600");
}

TEST(CodePage, CharacterLengths)
{
    EXPECT_EQ(CharLengthInCodePage(65001, std::string("\0", 1), 0), 0);
    EXPECT_EQ(CharLengthInCodePage(65001, "\xC3\xA4", 0), 2);
    EXPECT_EQ(CharLengthInCodePage(65001, "\xE2\x82\xAC", 0), 3);
    EXPECT_EQ(CharLengthInCodePage(65001, "\xF0\x9F\x98\x80", 0), 4);
    EXPECT_EQ(CharLengthInCodePage(65001, "\x80", 0), 1);
    EXPECT_EQ(CharLengthInCodePage(932, "\x82\xA0", 0), 2);
    EXPECT_EQ(CharLengthInCodePage(932, "a", 0), 1);
    EXPECT_EQ(CharLengthInCodePage(1252, "\xE4", 0), 1);
}

TEST(WideText, SearchTrimAndCase)
{
    EXPECT_EQ(WideStrIndex(u"lo", u"hello"), 4);
    EXPECT_EQ(WideStrIndex(u"", u"hello"), 0);
    EXPECT_EQ(WideStrIndex(u"x", u""), 0);
    EXPECT_EQ(WideStrScan(u"abca", u'a'), 0);
    EXPECT_EQ(WideStrRScan(u"abca", u'a'), 3);
    EXPECT_EQ(WideStrScan(u"abc", u'z'), -1);
    EXPECT_EQ(WideTrim(u"\t \u00A0x y\r\n"), u"\u00A0x y");
    EXPECT_EQ(WideUpperText(u"stra\u00DFe \u00E4"), u"STRASSE \u00C4");
    EXPECT_EQ(WideLowerText(u"\u00C4B"), u"\u00E4b");
    EXPECT_EQ(PosFrom("ab", "abxab", 2), 4);
    EXPECT_EQ(PosFrom("ab", "abxab", -5), 1);
    EXPECT_EQ(PosFrom("ab", "abxab", 9), 0);
    EXPECT_EQ(ReplaceChar('\\', '/', "a\\b\\c"), "a/b/c");
}

TEST(WideText, PercentEscapesDecodeInOnePass)
{
    EXPECT_EQ(DecodePercentEscapes("a%20b"), "a b");
    EXPECT_EQ(DecodePercentEscapes("a%2541"), "a%41");  // the decoded "%" is not read again
    EXPECT_EQ(DecodePercentEscapes("%41x"), "Ax");
    EXPECT_EQ(DecodePercentEscapes("x%4"), "x%4");
    EXPECT_EQ(DecodePercentEscapes("x%zz%41"), "x%zzA");
    EXPECT_EQ(DecodePercentEscapes("100%"), "100%");
}

TEST(WideText, FileUrlsBecomePosixPaths)
{
    EXPECT_EQ(UrlToDosPath("file:///C|/dir/a%20b.htm"), "C:/dir/a b.htm");
    EXPECT_EQ(UrlToDosPath("FILE:///home/u/x.htm"), "/home/u/x.htm");
    EXPECT_EQ(UrlToDosPath("file://C:/x.htm"), "C:/x.htm");
    EXPECT_EQ(UrlToDosPath("file:/srv/x.htm"), "/srv/x.htm");
    EXPECT_EQ(UrlToDosPath("bilder\\a.gif"), "bilder/a.gif");
    EXPECT_EQ(UrlToDosPath("plain|name"), "plain|name");  // no "/": left alone
    EXPECT_EQ(UrlToDosPathWithRoot(" /img/a.gif ", "/srv/www/"), "/srv/www/img/a.gif");
    EXPECT_EQ(UrlToDosPathWithRoot("//host/a.gif", "/srv/www"), "//host/a.gif");
    EXPECT_EQ(UrlToDosPathWithRoot("img/a.gif", "/srv/www"), "img/a.gif");
    EXPECT_EQ(UrlToDosPathWithRoot("/img/a.gif", ""), "/img/a.gif");
}

// A file URL names a full path of this machine, which starts with "/" as every full path does
// here: the server root is not put before it, as it is before a "/" name of a page.
TEST(WideText, AFileUrlIsAFullPathWhateverTheServerRoot)
{
    EXPECT_EQ(UrlToDosPathWithRoot("file:///home/u/a.gif", "/srv/www"), "/home/u/a.gif");
    EXPECT_EQ(UrlToDosPathWithRoot(" FILE:/srv/x.htm", "/srv/www"), "/srv/x.htm");
    EXPECT_EQ(UrlToDosPathWithRoot("/home/u/a.gif", "/srv/www"), "/srv/www/home/u/a.gif");
}
