// The HTML parser: paragraphs, headings, line breaks, pre-formatted text, fonts, links, images,
// scripts and style sheets, META charsets, BODY, includes and progress.
#include "tests/html/layout/ParserTestSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace velmoran;
using velmoran::testing::ParsedPage;
using velmoran::testing::TempFolder;

TEST(Parser, TextSectionsAreCleanedAndClosed)
{
    ParsedPage p;
    p.Parse("  Hallo   <b>Welt</b>  &shy;x ");
    ASSERT_EQ(p.Texts(), (std::vector<std::string>{"Hallo Welt x "}));
    TSection* s = p.All<TSection>().front();
    EXPECT_EQ(s->BreakClasses, "yyyyyyyyyysyyy");  // the soft hyphen leaves "s" on the blank before it
    ASSERT_EQ(s->Fonts.Count(), 3);
    EXPECT_EQ(s->Fonts[1]->Pos, 6);
    EXPECT_TRUE(s->Fonts[1]->TheFont.Style & fsBold);
    EXPECT_EQ(s->Fonts[2]->Pos, 10);
    // Source positions follow the characters.
    EXPECT_EQ(s->SourcePosAt(0), 2);
    EXPECT_EQ(s->SourcePosAt(6), 13);
}

TEST(Parser, SeveralParagraphTagsGiveOneBlockWithTheLastAttributes)
{
    ParsedPage p;
    p.Parse("<p align=right><p class=a></p>\n<P class=last align=center>Text");
    const auto paras = p.BlocksWithKey("p.last");
    ASSERT_EQ(paras.size(), 1u);
    EXPECT_EQ(p.All<TBlock>().size(), 2u);  // body and the one paragraph
    ASSERT_EQ(paras[0]->MyCell->Count(), 1);
    EXPECT_EQ(dynamic_cast<TSection*>(paras[0]->MyCell->First())->Justify, 2);
}

TEST(Parser, ParagraphEndedByTableLosesItsBottomMargin)
{
    ParsedPage p;
    p.Parse("<p>vor<table><tr><td>x</table><p>nach");
    const auto paras = p.BlocksWithKey("p.");
    ASSERT_EQ(paras.size(), 2u);
    EXPECT_EQ(paras[0]->BottomMargin(), 0);
    bool isDefault = false;
    paras[1]->BottomMargin(&isDefault);
    EXPECT_TRUE(isDefault);
}

TEST(Parser, HeadingsTakeInlineContentAndEndAtBlocks)
{
    ParsedPage p;
    p.Parse("<h2>Titel <img src=a.gif> <hr> mehr<map name=m></map>danach</h2><h>ohne Stufe");
    const auto heads = p.BlocksWithKey("h2.");
    ASSERT_EQ(heads.size(), 1u);
    // HR and IMG stay inside the heading, MAP ends it.
    EXPECT_EQ(p.All<THRBlock>().size(), 1u);
    EXPECT_EQ(p.All<THRBlock>()[0]->OwnerCell, heads[0]->MyCell.get());
    const std::string dump = p.Dump();
    EXPECT_NE(dump.find("block \"h2.\""), std::string::npos);
    // "danach" is outside the heading; the H without level opened nothing.
    EXPECT_EQ(p.BlocksWithKey("h.").size(), 0u);
    const auto texts = p.Texts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back(), "danachohne Stufe ");
    EXPECT_EQ(p.All<TImageObj>().size(), 0u);  // images live in sections, not as sections
    EXPECT_EQ(p.All<TSection>()[0]->Images.Count(), 1);
}

TEST(Parser, HeadingWithCenterAndPageTag)
{
    ParsedPage p;
    p.Parse("<h1><center>Mitte</center></h1><h3>a<page>b</h3>");
    const auto h1 = p.BlocksWithKey("h1.");
    ASSERT_EQ(h1.size(), 1u);
    EXPECT_EQ(dynamic_cast<TSection*>(h1[0]->MyCell->First())->Justify, 2);
    EXPECT_EQ(p.All<TPage>().size(), 1u);
    const auto h3 = p.BlocksWithKey("h3.");
    ASSERT_EQ(h3.size(), 1u);
    EXPECT_EQ(h3[0]->MyCell->Count(), 1);  // PAGE ended the heading
}

TEST(Parser, LineBreaksEndSectionsAndEmptyLinesKeepABreakCharacter)
{
    ParsedPage p;
    p.Parse("a<br>b<br><br>c<br clear=left>d");
    EXPECT_EQ(p.Texts(), (std::vector<std::string>{"a ", "b ", "\b", "c ", "d "}));
    EXPECT_EQ(p.All<TSection>().back()->ClearAttr, 1);
    ParsedPage q;
    q.Parse("<style>br.p { page-break-after: always }</style>x<br class=p>y");
    EXPECT_EQ(q.All<TPage>().size(), 1u);
}

TEST(Parser, PreformattedTextKeepsBlanksAndLines)
{
    ParsedPage p;
    p.Parse("<pre>a  &lt;b&gt;\n  c<b>d</b>\n</pre>x  y");
    const auto pre = p.All<TPreFormated>();
    ASSERT_EQ(pre.size(), 3u);
    EXPECT_EQ(WideToUtf8(pre[0]->Text), "a  <b> ");
    EXPECT_EQ(pre[0]->BreakClasses.substr(0, 7), "nnnnnnn");
    EXPECT_EQ(WideToUtf8(pre[1]->Text), "  cd ");
    EXPECT_EQ(pre[1]->Fonts.Count(), 3);
    EXPECT_TRUE(pre[2]->Text.empty());
    EXPECT_EQ(p.Texts().back(), "x y ");
}

TEST(Parser, ScriptNeverBecomesTextAndStyleReachesTheSheet)
{
    class ScriptHost : public TNullDocumentHost {
    public:
        bool HasScriptHandler() const override { return true; }
        void Script(const std::string& name, const std::string& language, const std::string& text) override
        {
            Seen.push_back(name + "|" + language + "|" + text);
        }
        std::vector<std::string> Seen;
    } host;
    ParsedPage p(&host);
    p.Parse("<script language=js name=s>if (a<b) x = \"</p>\";\n</SCRIPT >nach"
            "<style><!-- .rot { color: red } --></style><span class=rot>rot</span>");
    ASSERT_EQ(host.Seen.size(), 1u);
    EXPECT_EQ(host.Seen[0], "s|js|if (a<b) x = \"</p>\";\r\n");
    ASSERT_EQ(p.Texts().size(), 1u);
    EXPECT_EQ(p.Texts()[0], "nachrot ");
    TSection* s = p.All<TSection>()[0];
    EXPECT_EQ(s->Fonts.GetFontAt(4)->TheFont.Color & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(s->Fonts.GetFontAt(0)->TheFont.Color & 0xFFFFFF, 0u);
}

TEST(Parser, FontSizesRelativeToTheBaseFont)
{
    ParsedPage p;
    p.Parse("<font size=+2>a</font><font size=9>b</font><basefont size=2><font size=+1>c</font><font size=1>d");
    TSection* s = p.All<TSection>()[0];
    auto height = [&](int pos) { return -s->Fonts.GetFontAt(pos)->TheFont.Height; };
    EXPECT_EQ(height(0), 24);  // size 5: 18 pt
    EXPECT_EQ(height(1), 48);  // size 7: 36 pt
    EXPECT_EQ(height(2), 16);  // base 2 + 1 = 3: 12 pt
    EXPECT_EQ(height(3), 11);  // size 1: 8 pt
    EXPECT_DOUBLE_EQ(HtmlFontSizes().Points(4, true), 12);
    EXPECT_DOUBLE_EQ(HtmlFontSizes(10).Points(3, false), 10);
}

// The table of FONT sizes is a parameter of the parse: a scaled one reaches only its own page.
TEST(Parser, ScaledFontSizesReachOnlyTheirOwnParse)
{
    ParsedPage scaled;
    scaled.FontSizes = HtmlFontSizes(24);
    scaled.Parse("<font size=3>a</font><pre><font size=1>b</font></pre>");
    ParsedPage plain;
    plain.Parse("<font size=3>a</font><pre><font size=1>b</font></pre>");
    auto height = [](ParsedPage& page, int section) {
        return -page.All<TSection>()[static_cast<std::size_t>(section)]->Fonts.GetFontAt(0)->TheFont.Height;
    };
    EXPECT_EQ(height(scaled, 0), 32);  // 24 pt
    EXPECT_EQ(height(plain, 0), 16);   // 12 pt
    EXPECT_EQ(height(scaled, 1), 19);  // pre-formatted size 1: 14 pt
    EXPECT_EQ(height(plain, 1), 9);    // 7 pt
}

TEST(Parser, LinksCarryTheirTargetAndNamesAreRegistered)
{
    ParsedPage p;
    p.Parse("<a name=\"#Oben\"></a>vor <a href=\"ziel.htm\" target=main>Li<b>nk</b></a> nach <a href=b>x</a>");
    TSection* s = p.All<TSection>()[0];
    EXPECT_EQ(WideToUtf8(s->Text), "vor Link nach x ");
    EXPECT_NE(p.Doc.IDNameList.Find("OBEN"), nullptr);
    int linkRuns = 0;
    for (const auto& f : s->Fonts)
        if (f->IsLink()) {
            ++linkRuns;
            EXPECT_TRUE(f->TheFont.Style & fsUnderline);
        }
    EXPECT_EQ(linkRuns, 3);
    EXPECT_EQ(p.Doc.LinkList.size(), 3u);
    EXPECT_EQ(s->Fonts.GetFontAt(4)->UrlTarget().Target, "main");
    EXPECT_EQ(s->Fonts.GetFontAt(6)->UrlTarget().URL, "ziel.htm");
    EXPECT_FALSE(s->Fonts.GetFontAt(9)->IsLink());
}

TEST(Parser, MoreThan400LinksAreFlaggedByThePreScan)
{
    std::string html;
    for (int i = 0; i < 400; ++i)
        html += "<a href=x>l</a>";
    ParsedPage p;
    p.Parse(html);
    EXPECT_FALSE(p.Doc.MoreThan400Links);
    ParsedPage q;
    q.Parse(html + "<a href=y>z</a>");
    EXPECT_TRUE(q.Doc.MoreThan400Links);
}

// A page read without the pre-scan must come out as with it: anchors without HREF and links inside
// comments do not count, and a comment left open at the end still stops the parse.
TEST(Parser, TheLinkCountHoldsWhereThePreScanIsLeftOut)
{
    std::string names;
    for (int i = 0; i < 401; ++i)
        names += "<a name=n" + std::to_string(i) + ">l</a>";
    ParsedPage p;
    p.Parse(names + "<A HREF=x>y</A>");
    EXPECT_FALSE(p.Doc.MoreThan400Links);

    std::string links;
    for (int i = 0; i < 400; ++i)
        links += "<a href=x>l</a>";
    ParsedPage q;
    q.Parse(links + "<!-- <a href=y>z</a> -->");
    EXPECT_FALSE(q.Doc.MoreThan400Links);
    ParsedPage r;
    r.Parse("<!-- x --><A\nHREF=y>z</a>" + links);
    EXPECT_TRUE(r.Doc.MoreThan400Links);

    ParsedPage open;
    EXPECT_THROW(open.Parse("<a href=x>l</a><!-- offen"), EParseError);
}

TEST(Parser, MetaCharsetsAndTheUtf8Signature)
{
    std::vector<std::string> metas;
    ParsedPage p;
    p.OnMeta = [&](const std::string& h, const std::string& n, const std::string& c) { metas.push_back(h + n + c); };
    p.Parse("<meta http-equiv=Content-Type content=\"text/html; charset=windows-1251\">\xC0\xE1");
    EXPECT_EQ(metas.size(), 1u);
    EXPECT_EQ(p.Texts()[0], "\xD0\x90\xD0\xB1 ");  // Cyrillic A, be

    ParsedPage u;
    u.Parse("<meta http-equiv=content-type content=\"text/html; charset=utf-8\">Gr\xC3\xBC\xC3\x9F" "e");
    EXPECT_EQ(u.Texts()[0], "Gr\xC3\xBC\xC3\x9F" "e ");

    ParsedPage s;
    s.Parse("\xEF\xBB\xBF<meta http-equiv=content-type content=\"text/html; charset=windows-1251\">\xC3\xBC");
    EXPECT_EQ(s.Texts()[0], "\xC3\xBC ");  // the signature wins over META
}

// The code page a template's values are written in is the one the parser reads the page in: the
// UTF-8 signature first, then the page's last META charset, as a content type or in the META's
// own CHARSET (the form UTF-8 pages are written with today, once read as Windows-1252), else
// Windows-1252.
TEST(Parser, TheDeclaredCodePageIsTheOneThePageIsReadIn)
{
    const std::pair<std::string, int> pages[] = {
        {"<p>Gr\xFC\xDF" "e", 1252},
        {"\xEF\xBB\xBF<meta charset=windows-1251><p>x", kUtf8CodePage},
        {"<head><meta charset=\"UTF-8\"></head><p>x", kUtf8CodePage},
        {"<meta http-equiv=content-type content='text/html; charset=windows-1251'><p>\xC0", 1251},
        {"<meta charset=utf-8><meta charset=windows-1251><p>x", 1251},
        {"<!-- <meta charset=utf-8> --><p>x", 1252},
        {"\x1b$B$\"\x1b(B<p>x", 932},
    };
    for (const auto& [page, codePage] : pages) {
        ParsedPage parsed;
        parsed.Parse(page);
        EXPECT_EQ(parsed.Result.CodePage == 0 ? kAnsiCodePage : parsed.Result.CodePage, codePage) << page;
        EXPECT_EQ(DeclaredCodePage(page), codePage) << page;
    }
}

// A switch to EUC-JP after text converts the page from the character after the switch on: the
// half-width katakana before it no longer shift the text after it ("bcd" was lost), and the
// first character after it is read whole ("日本" came out as "ﾆ坙{").
TEST(Parser, ASwitchToEucJpConvertsFromTheCharacterAfterIt)
{
    for (const char* change : {"<font charset=euc-jp>", "<meta http-equiv=content-type content='text/html; charset=euc-jp'>"}) {
        ParsedPage parsed;
        parsed.Parse(std::string("<p>\x8E\xB1\x8E\xB2 aefgh ") + change + "\xC6\xFC\xCB\xDC" "bcd</p>");
        std::string text;
        for (const std::string& section : parsed.Texts())
            text += section;
        EXPECT_EQ(text, "\xC5\xBD\xC2\xB1\xC5\xBD\xC2\xB2 aefgh \xE6\x97\xA5\xE6\x9C\xAC" "bcd ") << change;
    }
}

TEST(Parser, BodyAttributesAndASecondBodyIsIgnored)
{
    ParsedPage p;
    p.Parse("<body marginwidth=500 topmargin=-3 bgcolor=#ff0000 text=#00ff00>Inhalt<body marginwidth=7>x");
    TBodyBlock& body = p.Body();
    EXPECT_EQ(body.MargArrayO[MarginLeft], PropValue(200));
    EXPECT_EQ(body.MargArrayO[MarginRight], PropValue(200));
    EXPECT_EQ(body.MargArrayO[MarginBottom], PropValue(0));
    EXPECT_EQ(p.Doc.Background, 0x020000FFu);
    EXPECT_EQ(p.Texts(), (std::vector<std::string>{"Inhaltx "}));
    EXPECT_EQ(p.All<TSection>()[0]->Fonts[0]->TheFont.Color & 0xFFFFFF, 0x00FF00u);
}

TEST(Parser, IncludesAreReadInPlaceAndSelfIncludesStop)
{
    ParsedPage p;
    p.OnInclude = [](const std::string& cmd, const std::vector<std::string>&, std::string& text) {
        text = cmd == "self" ? "x<!--#self-->" : "<b>fett</b>";
    };
    p.Parse("a <!--#fett --> b");
    EXPECT_EQ(p.Texts()[0], "a fett b ");
    ParsedPage q;
    q.OnInclude = p.OnInclude;
    q.Parse("<!--#self-->");
    EXPECT_EQ(q.Texts()[0], std::string(16, 'x') + " ");
}

TEST(Parser, ProgressIsReportedAndAnEmptyDocumentDividesByNothing)
{
    class ProgressHost : public TNullDocumentHost {
    public:
        void DoProgress(int percent) override { Calls.push_back(percent); }
        std::vector<int> Calls;
    } host;
    ParsedPage p(&host);
    p.Doc.ProgressScale = 75;
    p.Parse(std::string(10000, 'a'));
    EXPECT_EQ(host.Calls, (std::vector<int>{0, 4096 * 75 / 10000, 8192 * 75 / 10000}));
    ParsedPage e(&host);
    e.Doc.ProgressScale = 75;
    e.Parse("");
    EXPECT_EQ(host.Calls.size(), 3u);
    EXPECT_TRUE(e.Texts().empty());
}

TEST(Parser, OpenCommentAtTheEndReachesTheCaller)
{
    ParsedPage p;
    EXPECT_THROW(p.Parse("<p>Text <!-- offen"), EParseError);
}

TEST(Parser, ImageAttributesAndMaps)
{
    ParsedPage p;
    p.Parse("<img src=\" a.gif \" width=50% height=20 hspace=-60 align=left alt=\"Bild\r\n\" usemap=\"#karte\" border=30>"
            "<map name=karte><area shape=rect coords=\"0,0,10,10\" href=x></map><map name=offen><area>");
    const auto& img = *dynamic_cast<TImageObj*>(p.All<TSection>()[0]->Images[0]);
    EXPECT_EQ(img.Source, "a.gif");
    EXPECT_TRUE(img.PercentWidth);
    EXPECT_EQ(img.SpecWidth, 50);
    EXPECT_EQ(img.SpecHeight, 20);
    EXPECT_EQ(img.HSpaceL, 40);
    EXPECT_EQ(img.VertAlign, 5);
    EXPECT_EQ(img.Alt, "Bild");
    EXPECT_EQ(img.MapName, "KARTE");
    EXPECT_EQ(img.BorderSize, 10);
    ASSERT_EQ(p.Doc.MapList.Count(), 1);  // an unclosed map is discarded
    EXPECT_EQ(p.Doc.MapList[0]->MapName, "KARTE");
    EXPECT_EQ(p.Doc.MapList[0]->AreaCount(), 1);
}

TEST(Parser, DivisionsCollapseAndHandOnTheirDefaultBottomMargin)
{
    ParsedPage p;
    p.Parse("<div><p>innen</p></div><center>mitte</center>");
    const auto divs = p.BlocksWithKey("div.");
    ASSERT_EQ(divs.size(), 1u);
    EXPECT_TRUE(divs[0]->HasDefaultBottomMargin());
    EXPECT_EQ(p.BlocksWithKey("p.")[0]->BottomMargin(), 0);
    EXPECT_EQ(p.All<TSection>().back()->Justify, 2);
}

TEST(Parser, PlainTextBecomesPreformattedLines)
{
    ParsedPage p;
    ParsePlainText("Zeile <1>\r\n  zwei\x04\ndrei", p.Doc);
    const auto pre = p.All<TPreFormated>();
    ASSERT_EQ(pre.size(), 3u);
    EXPECT_EQ(WideToUtf8(pre[0]->Text), "Zeile <1> ");
    EXPECT_EQ(WideToUtf8(pre[1]->Text), "  zwei? ");
    EXPECT_EQ(WideToUtf8(pre[2]->Text), "drei ");
}

TEST(Parser, TitleBaseAndLinkedSheets)
{
    class SheetHost : public TNullDocumentHost {
    public:
        bool RequestStream(const std::string& url, std::string& content) override
        {
            if (url != "s.css")
                return false;
            content = ".blau {\r\n color: blue }";
            return true;
        }
    } host;
    ParsedPage p(&host);
    std::vector<std::string> links;
    p.OnLink = [&](const std::string& rel, const std::string&, const std::string& href) { links.push_back(rel + href); };
    p.Parse("<head><title>Der &quot;Titel&quot;</title><base href=http://x/ target=rechts>"
            "<link rel=StyleSheet href=s.css><link rel=stylesheet href=fehlt.css></head><span class=blau>b</span>");
    EXPECT_EQ(WideToUtf8(p.Result.Title), "Der \"Titel\"");
    EXPECT_EQ(p.Result.Base, "http://x/");
    EXPECT_EQ(p.Result.BaseTarget, "rechts");
    EXPECT_EQ(links.size(), 2u);
    EXPECT_EQ(p.All<TSection>()[0]->Fonts.GetFontAt(0)->TheFont.Color & 0xFFFFFF, 0xFF0000u);
}

// A sheet named by several LINKs is read and parsed once a page (a large one linked ten times took
// ten times as long): by the name asked of the host, and by its file however that is spelt. Each
// parse of a sheet with a compound rule draws one sequence number.
TEST(Parser, ALinkedSheetIsReadOncePerPage)
{
    struct SheetHost : TNullDocumentHost {
        std::string BasePath() const override { return Folder.Folder(); }
        bool RequestStream(const std::string& url, std::string& content) override
        {
            content = url == "s.css" ? (++Asked, "div b { color: blue }") : "";
            return !content.empty();
        }
        TempFolder Folder;
        int Asked = 0;
    } host;
    host.Folder.WriteFile("stil.css", "div p { color: red }");
    std::filesystem::create_directories(host.Folder / "sub");
    ParsedPage page(&host);
    page.Parse("<link rel=stylesheet href=s.css><link rel=stylesheet href=stil.css><link rel=stylesheet href=s.css>"
               "<link rel=stylesheet href=./stil.css><link rel=stylesheet href=sub/../stil.css>");
    EXPECT_EQ(host.Asked, 1);
    EXPECT_EQ(page.Doc.Styles.NextSeqNumberText(), "12");
}

// A Windows-1252 page names its files in its own code page: the page a link leads to, the sheet a
// LINK reads, the BASE and the pictures of its rules and STYLE attributes are named as the file
// system has them ("Seite\xE4.htm" was not found); an anchor stays as the page's names are
// written.
TEST(Parser, AWindows1252PageNamesItsFilesAsTheFileSystemHasThem)
{
    struct SheetHost : TNullDocumentHost {
        std::string BasePath() const override { return Folder.Folder(); }
        TempFolder Folder;
    } host;
    host.Folder.WriteFile("Stil\xC3\xA4.css", "h1 { color: blue }");
    ParsedPage page(&host);
    page.Parse("<base href='file:///Ordner\xE4/'><link rel=stylesheet href='Stil\xE4.css'>"
               "<style>p { background-image: url(Bild\xE4.png) }</style><h1>T</h1>"
               "<p><a href='Seite\xE4.htm#Gr\xF6\xDF" "e'>x</a></p><div style='background: url(Rand\xE4.png)'>y</div>"
               "<map name=k><area shape=rect coords='0,0,9,9' href='Karte\xE4.htm'></map>");
    EXPECT_EQ(page.Result.Base, "file:///Ordner\xC3\xA4/");
    EXPECT_EQ(page.All<TSection>()[0]->Fonts.GetFontAt(0)->TheFont.Color & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(page.All<TSection>()[1]->Fonts.GetFontAt(0)->UrlTarget().URL, "Seite\xC3\xA4.htm#Gr\xF6\xDF" "e");
    EXPECT_EQ(page.BlocksWithKey("p.")[0]->BGImage->Source, "Bild\xC3\xA4.png");
    EXPECT_EQ(page.BlocksWithKey("div.")[0]->BGImage->Source, "Rand\xC3\xA4.png");
    ASSERT_EQ(page.Doc.MapList.Count(), 1);
    EXPECT_EQ(page.Doc.MapList[0]->Areas[0].Href, "Karte\xC3\xA4.htm");
}

TEST(Parser, AnImageBeforeBodyStaysKnownToTheDocument)
{
    ParsedPage p;
    p.Parse("<img name=logo src=a.gif><body>text");
    TIDObject* logo = p.Doc.IDNameList.Find("logo");
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->GetYPosition(), 0);  // still alive
    EXPECT_EQ(p.All<TSection>().size(), 2u);
}

TEST(Parser, TextTransformAndSmallCapitals)
{
    ParsedPage p;
    p.Parse("<span style=\"text-transform: uppercase\">gro\xDF</span> <span style=\"font-variant: small-caps; font-size: 20pt\">Ab 1c</span>");
    TSection* s = p.All<TSection>()[0];
    EXPECT_EQ(WideToUtf8(s->Text), "GRO\xC3\x9F AB 1C ") << "the sharp s keeps its place";
    // "A" normal, "b" small, " 1" keeps the small run, "c" small, then normal again.
    const int big = -s->Fonts.GetFontAt(5)->TheFont.Height;
    const int small = -s->Fonts.GetFontAt(6)->TheFont.Height;
    EXPECT_LT(small, big);
    EXPECT_EQ(-s->Fonts.GetFontAt(8)->TheFont.Height, small);
    EXPECT_EQ(-s->Fonts.GetFontAt(9)->TheFont.Height, small);
    EXPECT_EQ(s->SourcePosAt(3), 43);
}
