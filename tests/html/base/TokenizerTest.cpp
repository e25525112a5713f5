// The HTML tokenizer: line ends, character references, tags and attributes, comments, includes,
// character sets.
#include "html/base/HtmlTokenizer.h"
#include "platform/core/CodePage.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace velmoran;

namespace {

struct Tok {
    Symb Sy;
    std::u16string Text;
};

// All tokens of a text, with the token buffer of text tokens.
std::vector<Tok> Tokens(THtmlTokenizer& t, const std::string& html)
{
    t.SetSource(html);
    t.GetCh();
    std::vector<Tok> out;
    for (int guard = 0; guard < 10000; ++guard) {
        t.NextToken();
        if (t.Sy == EofSy)
            break;
        out.push_back({t.Sy, t.Token.S()});
    }
    return out;
}

std::u16string TextOf(const std::string& html)
{
    THtmlTokenizer t;
    std::u16string s;
    for (const Tok& k : Tokens(t, html))
        if (k.Sy == TextSy)
            s += k.Text;
    return s;
}


}  // namespace

TEST(Tokenizer, EveryLineEndFormIsOneBlankAndTabsAreBlanks)
{
    // In text a run of white space is one blank; the normalised character is CR in every case.
    EXPECT_EQ(TextOf("a\r\nb\n\rc\rd\ne\tf"), u"a b c d e f");
    THtmlTokenizer t;
    t.SetSource("x\r\ny\n\rz\rw\nv");
    int lineEnds = 0;
    for (t.GetCh(); t.Ch != 0; t.GetCh())
        if (t.Ch == 13)
            ++lineEnds;
    EXPECT_EQ(lineEnds, 4);
    t.SetSource("\r\n\r\n");
    lineEnds = 0;
    for (t.GetCh(); t.Ch != 0; t.GetCh())
        ++lineEnds;
    EXPECT_EQ(lineEnds, 2);
}

TEST(Tokenizer, NamedReferencesAreCaseSensitiveAndUnknownOnesStayText)
{
    EXPECT_EQ(EntityCount(), 253);
    EXPECT_EQ(LookupEntity("Auml"), 196);
    EXPECT_EQ(LookupEntity("auml"), 228);
    EXPECT_EQ(LookupEntity("apos"), 8217);
    EXPECT_EQ(LookupEntity("euro"), 8364);
    EXPECT_EQ(LookupEntity("AUML"), -1);
    EXPECT_EQ(TextOf("&Auml;&auml;&apos;"), std::u16string(u"\u00C4\u00E4\u2019"));
    EXPECT_EQ(TextOf("a &foo; b"), u"a &foo; b");
    EXPECT_EQ(TextOf("&hellip &hellip;"), u"\u2026 \u2026");
    EXPECT_EQ(TextOf("R&D"), u"R&D");
}

TEST(Tokenizer, NumericReferencesDecimalHexAndTruncated)
{
    EXPECT_EQ(TextOf("&#65;&#x42;&#X43"), u"ABC");
    EXPECT_EQ(TextOf("&#9;x"), u" x");
    EXPECT_EQ(TextOf("&#7;"), u"?");
    EXPECT_EQ(TextOf("&#xZ"), u"&#xZ");
    EXPECT_EQ(TextOf("&#;"), u"&#;");
    EXPECT_EQ(TextOf("&"), u"&");
    EXPECT_EQ(TextOf("&#"), u"&#");
    EXPECT_EQ(TextOf("&#99999999999999;"), u"?");
    EXPECT_EQ(TextOf("&#128512;"), std::u16string(u"\U0001F600"));
}

// Attribute values go through the same reference reader as text: the same truncated and
// unusable references, written into bytes of the code page (Windows-1252 for a quoted title,
// which has no emoji).
TEST(Tokenizer, AttributeReferencesReadLikeTextReferences)
{
    THtmlTokenizer t;
    t.SetSource("<a title=\"&#xZ &#; &#9;x &#7; &#65;&#x42;&#X43 &foo; &#128512;\">");
    t.GetCh();
    t.NextToken();
    ASSERT_EQ(t.Attributes.Count(), 1);
    EXPECT_EQ(t.Attributes[0]->Name, "&#xZ &#;  x ? ABC &foo; ?");
}

TEST(Tokenizer, References127To159MeanWindows1252InEveryDocument)
{
    // &#128; is the euro sign and &#150; the en dash, in a Windows-1252 and in a UTF-8 document.
    EXPECT_EQ(TextOf("&#128;&#150;"), std::u16string(u"\u20AC\u2013"));
    EXPECT_EQ(TextOf("\xEF\xBB\xBF" "&#128;&#x96;"), std::u16string(u"\u20AC\u2013"));
    THtmlTokenizer t;
    t.SetSource("\xEF\xBB\xBF<a title=&#128;>");
    t.PropCodePage = kUtf8CodePage;
    t.GetCh();
    t.NextToken();
    ASSERT_EQ(t.Attributes.Count(), 1);
    EXPECT_EQ(t.Attributes[0]->Name, "\xE2\x82\xAC");
}

// A reference in a quoted value is a character of the page's code page, as one written there: in
// a UTF-8 page "Gr&ouml;&szlig;e" was Windows-1252 bytes ("Gr��e") and "a&auml;b.png" named no
// file. A file name goes to the file system in UTF-8 from either page.
TEST(Tokenizer, QuotedValuesTakeReferencesInThePagesCodePage)
{
    for (const int codePage : {kUtf8CodePage, kAnsiCodePage}) {
        THtmlTokenizer t;
        t.SetSource("<img alt=\"Gr&ouml;&szlig;e\" src='a&auml;b.png'>");
        t.CodePage = t.PropCodePage = codePage;
        t.GetCh();
        t.NextToken();
        ASSERT_EQ(t.Attributes.Count(), 2);
        EXPECT_EQ(t.Attributes[0]->Name, codePage == kUtf8CodePage ? "Gr\xC3\xB6\xC3\x9F" "e" : "Gr\xF6\xDF" "e");
        EXPECT_EQ(t.Attributes[1]->FileName(), "a\xC3\xA4" "b.png");
    }
}

TEST(Tokenizer, TextInUtf8AfterTheSignature)
{
    THtmlTokenizer t;
    const auto info = t.SetSource("\xEF\xBB\xBF" "Gr\xC3\xBC\xC3\x9F" "e");
    EXPECT_TRUE(info.Utf8Signature);
    t.PropCodePage = kUtf8CodePage;
    t.GetCh();
    EXPECT_EQ(t.SIndex, 3);
    t.NextToken();
    EXPECT_EQ(t.Token.S(), u"Gr\u00FC\u00DFe");
    EXPECT_EQ(t.Token.Indexes().front(), 3);
}

TEST(Tokenizer, TagsSelfClosingHeadingsAndEndTags)
{
    THtmlTokenizer t;
    const auto toks = Tokens(t, "<p/><br/><h3>x</h3></br><foo><P>");
    ASSERT_EQ(toks.size(), 8u);
    EXPECT_EQ(toks[0].Sy, PSy);
    EXPECT_EQ(toks[1].Sy, BRSy);
    EXPECT_EQ(toks[2].Sy, HeadingSy);
    EXPECT_EQ(toks[3].Sy, TextSy);
    EXPECT_EQ(toks[4].Sy, HeadingEndSy);
    EXPECT_EQ(toks[5].Sy, CommandSy);  // BR has no end symbol
    EXPECT_EQ(toks[6].Sy, CommandSy);
    EXPECT_EQ(toks[7].Sy, PSy);

    t.SetSource("<h3 align=center>");
    t.GetCh();
    t.NextToken();
    EXPECT_EQ(t.Sy, HeadingSy);
    EXPECT_EQ(t.HeadingLevel, 3);
    EXPECT_EQ(TagName(TableSy), "table");
    EXPECT_EQ(EndTagName(TableEndSy), "table");
    EXPECT_EQ(EndSymbolOf(LISy), NoSy);
}

TEST(Tokenizer, LessThanThatStartsNoTagIsText)
{
    EXPECT_EQ(TextOf("a < b <5"), u"a < b <5");
}

TEST(Tokenizer, AttributesQuotedUnquotedNumericAndBare)
{
    THtmlTokenizer t;
    t.SetSource("<table border width=50% height=\"50%\" align='center' title=\"a\nb\" alt=\"x&hellip y&hellip;\" class=\"k\n l\">");
    t.GetCh();
    t.NextToken();
    ASSERT_EQ(t.Sy, TableSy);
    const TAttributeList& a = t.Attributes;
    ASSERT_EQ(a.Count(), 7);
    EXPECT_EQ(a[0]->Which, BorderSy);
    EXPECT_EQ(a[0]->Value, 1);
    EXPECT_EQ(a[1]->Which, WidthSy);
    EXPECT_EQ(a[1]->Value, 50);
    EXPECT_EQ(a[1]->Name, "50%");
    EXPECT_EQ(a[2]->Value, 50);
    EXPECT_EQ(a[2]->Name, "50%");
    EXPECT_EQ(a[3]->Name, "center");
    EXPECT_EQ(a[4]->Which, TitleSy);
    EXPECT_EQ(a[4]->Name, "a\r\nb");
    EXPECT_EQ(a[5]->Name, "x&hellip y\x85");  // above 255 only with ";"
    EXPECT_EQ(a[6]->Name, "k l") << "a line end is dropped, not turned into a blank";
}

TEST(Tokenizer, AttributeNumbersRoundAndBadNumbersGiveZero)
{
    THtmlTokenizer t;
    t.SetSource("<td colspan=\"2.5\" rowspan=\"x\" width=\" 7 \" size=+2 other=\"1.5\" width=\"60px\" height=12px>");
    t.GetCh();
    t.NextToken();
    const TAttributeList& a = t.Attributes;
    ASSERT_EQ(a.Count(), 7);
    EXPECT_EQ(a[5]->Value, 60);  // a size with its unit reads its number
    EXPECT_EQ(a[6]->Value, 12);
    EXPECT_EQ(a[0]->Value, 2);  // half to even
    EXPECT_EQ(a[1]->Value, 0);
    EXPECT_EQ(a[2]->Value, 7);
    EXPECT_EQ(a[3]->Value, 2);
    EXPECT_EQ(a[3]->Name, "+2");
    EXPECT_EQ(a[4]->Which, OtherAttribute);
    EXPECT_EQ(a[4]->WhichName, "other");
}

TEST(Tokenizer, CommentsDeclarationsAndServerBlocksAreSkipped)
{
    EXPECT_EQ(TextOf("a<!-- x -- y -->b<!DOCTYPE html>c<% code %>d<!-- z -- >e<!-- w --!>f"), u"abcdef");
    EXPECT_EQ(TextOf("a<!---->b"), u"ab");
    EXPECT_EQ(TextOf("a<% never closed"), u"a");
}

TEST(Tokenizer, OpenCommentAtEndRaises)
{
    THtmlTokenizer t;
    EXPECT_THROW(Tokens(t, "text <!-- never closed"), EParseError);
    EXPECT_THROW(Tokens(t, "<!DOCTYPE"), EParseError);
    try {
        Tokens(t, "<!--");
    } catch (const EParseError& e) {
        EXPECT_EQ(e.Message(), "Open Comment at End of HTML File");
    }
}

TEST(Tokenizer, IncludeDirectivesInsertTextAndNestWithinLimits)
{
    THtmlTokenizer t;
    std::vector<std::string> seen;
    t.OnInclude = [&](const std::string& cmd, const std::vector<std::string>& params, std::string& text) {
        seen.push_back(cmd);
        for (const auto& p : params)
            seen.push_back(p);
        if (cmd == "inc")
            text = "[in]";
    };
    EXPECT_EQ(TextOf("x"), u"x");
    std::u16string s;
    for (const Tok& k : Tokens(t, "a<!--#inc file=\"a&amp;b\" n=5 -->b"))
        s += k.Text;
    EXPECT_EQ(s, u"a[in]b");
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1], "file=a&b");
    EXPECT_EQ(seen[2], "n=5");

    // A text that includes itself stops after 16 levels.
    int calls = 0;
    t.OnInclude = [&](const std::string&, const std::vector<std::string>&, std::string& text) {
        ++calls;
        text = "<!--#self -->x";
    };
    s.clear();
    for (const Tok& k : Tokens(t, "<!--#self -->"))
        s += k.Text;
    EXPECT_EQ(s, std::u16string(16, u'x'));
    EXPECT_EQ(calls, 17);
}

TEST(Tokenizer, SourcePreparation)
{
    THtmlTokenizer t;
    std::string withNuls = "a";
    withNuls += std::string(101, '\0');
    withNuls += "b";
    t.SetSource(withNuls);
    EXPECT_EQ(t.Document(), "a" + std::string(100, ' '));
    const auto info = t.SetSource("\x1b$B\x30\x21\x1b(Bx");
    EXPECT_TRUE(info.Iso2022Jp);
    EXPECT_EQ(t.Document(), "\x88\x9f" "x");
    EXPECT_EQ(EucJpToShiftJis("\xb0\xa1y"), "\x88\x9f" "y");
}

// ISO-2022-JP starts in ASCII: the letters before the first shift to JIS X 0208 are single bytes
// and stay as they are; only the pair after "ESC $ B" (30 21, "亜") becomes Shift-JIS 88 9F.
TEST(Tokenizer, Iso2022JpTextBeforeTheFirstShiftStaysAscii)
{
    EXPECT_EQ(Iso2022JpToShiftJis("ab\x1b$B\x30\x21\x1b(Bxy"), "ab\x88\x9f" "xy");
    EXPECT_EQ(Iso2022JpToShiftJis("Text"), "Text");
}

namespace {

// The C library's converters are the reference for the Japanese conversions: they map from their
// own tables, not by our arithmetic. The converted text, or none when the input is no character.
using LibraryConverter = std::unique_ptr<void, int (*)(iconv_t)>;
std::optional<std::string> Convert(const LibraryConverter& converter, std::string in)
{
    iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
    char out[64];
    char *inp = in.data(), *outp = out;
    std::size_t inLeft = in.size(), outLeft = sizeof out;
    if (iconv(converter.get(), &inp, &inLeft, &outp, &outLeft) == static_cast<std::size_t>(-1))
        return std::nullopt;
    return std::string(out, sizeof out - outLeft);
}

}  // namespace

// Japanese pages are read as Shift-JIS: every JIS X 0208 character, written in ISO-2022-JP or in
// EUC-JP, must become the Shift-JIS bytes the C library gives for it (the rows from 0x5F on
// among them, whose lead bytes start at 0xE0), and an EUC-JP half-width katakana (SS2 and one
// byte) its single Shift-JIS byte, leaving the letter after it alone.
TEST(Tokenizer, JapaneseInputBecomesTheStandardShiftJis)
{
    const LibraryConverter fromJis(iconv_open("SHIFT_JIS", "ISO-2022-JP"), iconv_close);
    const LibraryConverter fromEuc(iconv_open("SHIFT_JIS", "EUC-JP"), iconv_close);
    ASSERT_NE(fromJis.get(), reinterpret_cast<iconv_t>(-1));
    ASSERT_NE(fromEuc.get(), reinterpret_cast<iconv_t>(-1));
    int characters = 0, wrongJis = 0, wrongEuc = 0;
    for (int row = 0x21; row <= 0x7E; ++row)
        for (int cell = 0x21; cell <= 0x7E; ++cell) {
            const std::string jis = "\x1b$B" + std::string{char(row), char(cell)} + "\x1b(B";
            const std::optional<std::string> expected = Convert(fromJis, jis);
            if (!expected)
                continue;  // no character there
            ++characters;
            const std::string euc{char(row | 0x80), char(cell | 0x80)};
            if (Iso2022JpToShiftJis(jis) != *expected && ++wrongJis == 1)
                ADD_FAILURE() << "ISO-2022-JP row " << std::hex << row << " cell " << cell;
            if (EucJpToShiftJis(euc) != *expected && ++wrongEuc == 1)
                ADD_FAILURE() << "EUC-JP row " << std::hex << row << " cell " << cell;
        }
    EXPECT_EQ(characters, 6879);
    EXPECT_EQ(wrongJis, 0);
    EXPECT_EQ(wrongEuc, 0);

    for (int kana = 0xA1; kana <= 0xDF; ++kana) {
        const std::string euc = "\x8e" + std::string(1, char(kana)) + "a";
        ASSERT_EQ(EucJpToShiftJis(euc), Convert(fromEuc, euc).value_or("?")) << std::hex << kana;
    }
}

TEST(Tokenizer, CharsetNamesBySubstringInTableOrder)
{
    int cs = -1;
    EXPECT_TRUE(LookupCharset("windows-1251", cs));
    EXPECT_EQ(cs, 204);
    EXPECT_TRUE(LookupCharset("ISO-8859-15", cs));
    EXPECT_EQ(cs, 0);
    EXPECT_TRUE(LookupCharset("iso-8859-2", cs));
    EXPECT_EQ(cs, 31);
    EXPECT_TRUE(LookupCharset("EUC-JP", cs));
    EXPECT_EQ(cs, 30);
    EXPECT_FALSE(LookupCharset("utf-8", cs));
    THtmlTokenizer t;
    t.SetSource("\xb0\xa1");
    EXPECT_TRUE(t.LookupDocumentCharset("euc-jp", cs));
    EXPECT_EQ(cs, 128);
    EXPECT_EQ(t.Document(), "\x88\x9f");
}

TEST(Tokenizer, ControlCharactersNeverStallTheReader)
{
    THtmlTokenizer t;
    const auto toks = Tokens(t, std::string("a\x01\x02" "b", 4));
    ASSERT_GE(toks.size(), 2u);
    EXPECT_EQ(TextOf(std::string("a\x01" "b", 3)), u"a?b");
}

TEST(Tokenizer, IdAttributesAreRegisteredOutsideThePreScan)
{
    THtmlTokenizer t;
    std::vector<std::pair<std::string, int>> ids;
    t.OnRegisterID = [&](const std::string& id, int pos) { ids.emplace_back(id, pos); };
    Tokens(t, "<p id=first>x<p id=\"\">");
    ASSERT_EQ(ids.size(), 1u);
    EXPECT_EQ(ids[0].first, "first");
    t.PreScan = true;
    Tokens(t, "<p id=second>");
    EXPECT_EQ(ids.size(), 1u);
}

TEST(Tokenizer, IncludedTextIsCappedAt16MegabytesPerDocument)
{
    THtmlTokenizer t;
    int calls = 0;
    const std::string chunk = std::string(3u * 1024u * 1024u, 'a');
    t.OnInclude = [&](const std::string&, const std::vector<std::string>&, std::string& text) {
        ++calls;
        text = "<!--#more-->" + chunk;
    };
    t.PreScan = true;  // nothing is collected; only the amount read matters
    t.SetSource("<!--#more-->");
    t.GetCh();
    std::size_t read = 0;
    while (t.Ch != 0) {
        ++read;
        t.GetCh();
    }
    EXPECT_EQ(calls, 6);  // the sixth text would pass 16 MB
    EXPECT_EQ(read, 5 * (chunk.size()));
}

// The cap is 16 MB itself: included texts that add up to exactly 16 MB are all read.
TEST(Tokenizer, IncludedTextOfExactly16MegabytesIsRead)
{
    THtmlTokenizer t;
    const std::string directive = "<!--#more-->";
    const std::size_t half = THtmlTokenizer::kMaxIncludeBytes / 2;
    int calls = 0;
    t.OnInclude = [&](const std::string&, const std::vector<std::string>&, std::string& text) {
        ++calls;
        text = calls == 1 ? directive + std::string(half - directive.size(), 'a') : std::string(half, 'b');
    };
    t.PreScan = true;
    t.SetSource(directive);
    t.GetCh();
    std::size_t read = 0;
    while (t.Ch != 0) {
        ++read;
        t.GetCh();
    }
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(read, THtmlTokenizer::kMaxIncludeBytes - directive.size());
}

// Pre-formatted text keeps its blanks and still decodes its references: "&lt;" in a <PRE> listing
// is a "<", "&amp;" an "&".
TEST(Tokenizer, PreformattedTextDecodesItsReferences)
{
    THtmlTokenizer t;
    t.PreMode = true;
    std::u16string text;
    for (const Tok& k : Tokens(t, "if a &lt; b  &amp;&amp; c"))
        if (k.Sy == TextSy)
            text += k.Text;
    EXPECT_EQ(text, u"if a < b  && c");
}

// Every tag of the table, written in lower case: its start symbol, and its end symbol or, for a
// tag without one, CommandSy; every heading level, and the two tags whose content readers start
// at their ">".
struct TagCase {
    const char* Name;
    Symb Start;
    Symb End;
};

const TagCase kTags[] = {
    {"html", HtmlSy, HtmlEndSy}, {"title", TitleSy, TitleEndSy}, {"body", BodySy, BodyEndSy},
    {"head", HeadSy, HeadEndSy}, {"b", BSy, BEndSy}, {"i", ISy, IEndSy}, {"h", HeadingSy, HeadingEndSy},
    {"em", EmSy, EmEndSy}, {"strong", StrongSy, StrongEndSy}, {"u", USy, UEndSy}, {"cite", CiteSy, CiteEndSy},
    {"var", VarSy, VarEndSy}, {"tt", TTSy, TTEndSy}, {"code", CodeSy, CodeEndSy}, {"kbd", KbdSy, KbdEndSy},
    {"samp", SampSy, SampEndSy}, {"ol", OLSy, OLEndSy}, {"ul", ULSy, ULEndSy}, {"dir", DirSy, DirEndSy},
    {"menu", MenuSy, MenuEndSy}, {"dl", DLSy, DLEndSy}, {"a", ASy, AEndSy}, {"address", AddressSy, AddressEndSy},
    {"blockquote", BlockQuoteSy, BlockQuoteEndSy}, {"pre", PreSy, PreEndSy}, {"center", CenterSy, CenterEndSy},
    {"table", TableSy, TableEndSy}, {"td", TDSy, TDEndSy}, {"th", THSy, THEndSy},
    {"caption", CaptionSy, CaptionEndSy}, {"form", FormSy, FormEndSy}, {"textarea", TextAreaSy, TextAreaEndSy},
    {"select", SelectSy, SelectEndSy}, {"option", OptionSy, OptionEndSy}, {"font", FontSy, FontEndSy},
    {"sub", SubSy, SubEndSy}, {"sup", SupSy, SupEndSy}, {"big", BigSy, BigEndSy}, {"small", SmallSy, SmallEndSy},
    {"p", PSy, PEndSy}, {"map", MapSy, MapEndSy}, {"frameset", FrameSetSy, FrameSetEndSy},
    {"noframes", NoFramesSy, NoFramesEndSy}, {"script", ScriptSy, ScriptEndSy}, {"div", DivSy, DivEndSy},
    {"s", SSy, SEndSy}, {"strike", StrikeSy, StrikeEndSy}, {"tr", TRSy, TREndSy}, {"nobr", NoBrSy, NoBrEndSy},
    {"style", StyleSy, StyleEndSy}, {"span", SpanSy, SpanEndSy}, {"colgroup", ColGroupSy, ColGroupEndSy},
    {"label", LabelSy, LabelEndSy}, {"thead", THeadSy, THeadEndSy}, {"tbody", TBodySy, TBodyEndSy},
    {"tfoot", TFootSy, TFootEndSy}, {"object", ObjectSy, ObjectEndSy},
    {"li", LISy, CommandSy}, {"br", BRSy, CommandSy}, {"hr", HRSy, CommandSy}, {"dd", DDSy, CommandSy},
    {"dt", DTSy, CommandSy}, {"img", ImageSy, CommandSy}, {"base", BaseSy, CommandSy},
    {"button", ButtonSy, CommandSy}, {"input", InputSy, CommandSy}, {"selected", SelectedSy, CommandSy},
    {"basefont", BaseFontSy, CommandSy}, {"area", AreaSy, CommandSy}, {"frame", FrameSy, CommandSy},
    {"page", PageSy, CommandSy}, {"bgsound", BgSoundSy, CommandSy}, {"wrap", WrapSy, CommandSy},
    {"meta", MetaSy, CommandSy}, {"panel", PanelSy, CommandSy}, {"wbr", WbrSy, CommandSy},
    {"link", LinkSy, CommandSy}, {"col", ColSy, CommandSy}, {"param", ParamSy, CommandSy},
    {"readonly", ReadonlySy, CommandSy},
};

TEST(Tokenizer, EveryTagOfTheTableWithItsEndTag)
{
    ASSERT_EQ(std::size(kTags), static_cast<std::size_t>(kTagCount));
    THtmlTokenizer t;
    for (const TagCase& tag : kTags) {
        const std::string name = tag.Name;
        const auto toks = Tokens(t, "<" + name + " class=x>x</" + name + ">");
        ASSERT_EQ(toks.size(), 3u) << name;
        EXPECT_EQ(toks[0].Sy, tag.Start) << name;
        EXPECT_EQ(toks[2].Sy, tag.End) << name;
        EXPECT_EQ(TagName(tag.Start), name);
        if (tag.End != CommandSy) {
            EXPECT_EQ(EndTagName(tag.End), name);
        }
    }
}

TEST(Tokenizer, HeadingLevelsOneToSix)
{
    THtmlTokenizer t;
    for (int level = 1; level <= 6; ++level) {
        const std::string n = std::to_string(level);
        t.SetSource("<h" + n + ">x</H" + n + ">");
        t.GetCh();
        t.NextToken();
        EXPECT_EQ(t.Sy, HeadingSy) << level;
        EXPECT_EQ(t.HeadingLevel, level);
        t.NextToken();
        t.NextToken();
        EXPECT_EQ(t.Sy, HeadingEndSy) << level;
        EXPECT_EQ(t.HeadingLevel, level);
    }
    // A digit outside 1..6 belongs to the name, which is then no tag of the table; after H and a
    // digit 1..6 the name ends, so "h12" is a heading of level 1.
    for (const char* other : {"<h0>", "<h7>"}) {
        t.SetSource(other);
        t.GetCh();
        t.NextToken();
        EXPECT_EQ(t.Sy, CommandSy) << other;
        EXPECT_EQ(t.HeadingLevel, 0) << other;
    }
    t.SetSource("<h12>");
    t.GetCh();
    t.NextToken();
    EXPECT_EQ(t.Sy, HeadingSy);
    EXPECT_EQ(t.HeadingLevel, 1);
}

TEST(Tokenizer, ScriptAndStyleLeaveTheirClosingBracketToTheirContentReaders)
{
    THtmlTokenizer t;
    for (const char* tag : {"<script>", "<style>", "<textarea>", "<pre>"}) {
        t.SetSource(std::string(tag) + "x");
        t.GetCh();
        t.NextToken();
        const bool readerStartsAtBracket = std::string(tag) == "<script>" || std::string(tag) == "<style>";
        EXPECT_EQ(t.Ch, readerStartsAtBracket ? '>' : 'x') << tag;
    }
}
