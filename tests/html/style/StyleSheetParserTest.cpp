// The style-sheet reader: selectors and their keys, declarations, shorthands, comments, at-rules,
// STYLE blocks read from the tokenizer, linked sheets and STYLE attributes.
#include "html/style/StyleSheetParser.h"

#include <gtest/gtest.h>

using namespace velmoran;

namespace {

// A STYLE element's content as the tokenizer hands it over (line ends arrive as CR): ch is the
// tokenizer's current character, source the rest of the document.
struct TokenizerSource {
    explicit TokenizerSource(std::string text) : Text(std::move(text)) {}
    char Next() { return Pos < Text.size() ? Text[Pos++] : kEofChar; }
    char Peek() const { return Pos < Text.size() ? Text[Pos] : kEofChar; }
    std::string Rest() const { return Text.substr(Pos); }
    std::string Text;
    std::size_t Pos = 0;
};

void ParseSheet(TStyleList& list, const std::string& css)
{
    ParseLinkedStyleSheet(list, css, "");
}

PropValue Value(const TStyleList& list, const std::string& key, int index)
{
    const TProperties* p = list.Find(key);
    return p ? p->Props[index] : PropValue("<no entry>");
}

}  // namespace

TEST(StyleSheetParser, SelectorListsCaseAndCanonicalKeys)
{
    TStyleList list;
    ParseSheet(list, "H1, h2 { COLOR: Red }\nP.Intro{Color:Red}\na:hover.nav { color: #00f }\n"
                     "#m.b.a { text-align: center }");
    EXPECT_EQ(Value(list, "h1", Color), PropValue(0x0000FFu));
    EXPECT_EQ(Value(list, "h2", Color), PropValue(0x0000FFu));
    EXPECT_EQ(Value(list, "p.intro", Color), PropValue(0x0000FFu));
    EXPECT_EQ(Value(list, "a.nav:hover", Color), PropValue(0x02FF0000u));
    EXPECT_EQ(Value(list, ".a.b#m", TextAlign), PropValue("center"));
    EXPECT_TRUE(list.HoverUsed);
}

TEST(StyleSheetParser, CompoundSelectorsGetNumberedKeys)
{
    TStyleList list;
    ParseSheet(list, "div p { color: red } ul > li { color: blue } ol>li.x, * em { color: lime }");
    EXPECT_NE(list.Find("p 110div "), nullptr);
    EXPECT_NE(list.Find("li 111ul> "), nullptr);
    EXPECT_NE(list.Find("li.x 112ol> "), nullptr);
    EXPECT_NE(list.Find("em"), nullptr);  // "*" reads as a blank: a plain "em" rule
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.NextSeqNumberText(), "13");
    TStyleList deep;
    ParseSheet(deep, "body div.a p b { color: red }");
    EXPECT_NE(deep.Find("b 310p div.a body "), nullptr);
}

TEST(StyleSheetParser, CommentsAtRulesAndBadDeclarations)
{
    TStyleList list;
    ParseSheet(list, "/* one */ /* two */ p { margin: 1px 2px }\n"
                     "@import url(other.css);\n"
                     "@media print { h1 { color: red } }\n"
                     "@media screen, print { h2 { color: red } }\n"
                     "@media all { h3 { color: red } }\n"
                     "@page { margin: 1cm }\n"
                     "h4 { color red; : x; margin-left: 5px; font-weight:bold }");
    EXPECT_EQ(Value(list, "p", MarginTop), PropValue("1px"));
    EXPECT_EQ(Value(list, "p", MarginBottom), PropValue("1px"));
    EXPECT_EQ(Value(list, "p", MarginRight), PropValue("2px"));
    EXPECT_EQ(Value(list, "p", MarginLeft), PropValue("2px"));
    EXPECT_EQ(list.Find("h1"), nullptr);
    EXPECT_EQ(Value(list, "h2", Color), PropValue(0x0000FFu));
    EXPECT_EQ(list.Find("h3"), nullptr);
    EXPECT_TRUE(Value(list, "h4", Color).IsEmpty());
    EXPECT_EQ(Value(list, "h4", MarginLeft), PropValue("5px"));
    EXPECT_EQ(Value(list, "h4", FontWeight), PropValue("bold"));
}

TEST(StyleSheetParser, StyleBlockFromTheTokenizerStopsAtItsEndTag)
{
    TStyleList list;
    TokenizerSource src("\r<!--\rp { color: red }\r-->\r</style><p>Text");
    char ch = '>';  // the tokenizer's current character: the end of the start tag
    ParseStyleSheet(list, ch, [&] { return src.Next(); }, "", false);
    EXPECT_EQ(Value(list, "p", Color), PropValue(0x0000FFu));
    EXPECT_EQ(ch, '<');
    EXPECT_EQ(src.Rest(), "/style><p>Text");
}

TEST(StyleSheetParser, AnOpenCommentEndsAtTheEndTagWithoutEatingIt)
{
    TStyleList list;
    TokenizerSource src("p { color: red } /* not closed </style><h1>Titel</h1>");
    char ch = ' ';
    ParseStyleSheet(list, ch, [&] { return src.Next(); }, "", false, [&] { return src.Peek(); });
    EXPECT_EQ(Value(list, "p", Color), PropValue(0x0000FFu));
    EXPECT_EQ(ch, '<');
    EXPECT_EQ(src.Rest(), "/style><h1>Titel</h1>");
}

// A "<" in a closed comment is comment text: the rules after it are read and a STYLE element ends
// at its end tag only (the rest showed as page text); in a linked sheet no "<" ends a comment. A
// line end of a linked sheet is a blank: "table" and "td" on two lines once became "tabletd".
TEST(StyleSheetParser, CommentsAndLineEndsAsWritten)
{
    TStyleList list;
    TokenizerSource src("\rp { color: red } /* Spalten < 3 */ h1 { color: blue }\r</style><p>Text");
    char ch = '>';
    ParseStyleSheet(list, ch, [&] { return src.Next(); }, "", false, [&] { return src.Peek(); });
    EXPECT_EQ(Value(list, "h1", Color), PropValue(0xFF0000u));
    EXPECT_EQ(src.Rest(), "/style><p>Text");

    TStyleList linked;
    ParseSheet(linked, "/* a </b> c */ table\ntd { margin: 5px\n7px }");
    EXPECT_EQ(Value(linked, "td 110table ", MarginTop), PropValue("5px"));
    EXPECT_EQ(Value(linked, "td 110table ", MarginRight), PropValue("7px"));
}

TEST(StyleSheetParser, Shorthands)
{
    TStyleList list;
    ParseSheet(list, "p { font: italic bold 12px/1.5 arial, helvetica }\n"
                     "h1 { font: 700 2em 'Times New Roman', serif }\n"
                     "div { border: 2px solid #ff0000 }\n"
                     "td { border-left: dotted rgb(0, 128, 0) thin }\n"
                     "body { background: #fff url(bg.gif) repeat-y fixed left top }\n"
                     "ul { list-style: square url(dot.gif) }\n"
                     "pre { padding: 1px 2px 3px; border-color: red blue; border-style: none solid double groove }");
    EXPECT_EQ(Value(list, "p", FontStyle), PropValue("italic"));
    EXPECT_EQ(Value(list, "p", FontWeight), PropValue("bold"));
    EXPECT_EQ(Value(list, "p", FontSize), PropValue("12px"));
    EXPECT_EQ(Value(list, "p", LineHeight), PropValue("1.5"));
    EXPECT_EQ(Value(list, "p", FontFamily), PropValue("arial,helvetica"));
    EXPECT_TRUE(Value(list, "h1", FontWeight).IsEmpty());  // a bare 700 is dropped
    EXPECT_EQ(Value(list, "h1", FontSize), PropValue("2em"));
    EXPECT_EQ(Value(list, "h1", FontFamily), PropValue("'times new roman',serif"));
    for (int i : {BorderTopWidth, BorderRightWidth, BorderBottomWidth, BorderLeftWidth})
        EXPECT_EQ(Value(list, "div", i), PropValue("2px"));
    EXPECT_EQ(Value(list, "div", BorderStyle), PropValue("solid"));
    EXPECT_EQ(Value(list, "div", BorderBottomStyle), PropValue("solid"));
    EXPECT_EQ(Value(list, "div", BorderLeftColor), PropValue(0x020000FFu));
    EXPECT_EQ(Value(list, "td", BorderLeftStyle), PropValue("dotted"));
    EXPECT_EQ(Value(list, "td", BorderLeftColor), PropValue(0x02008000u));
    EXPECT_EQ(Value(list, "td", BorderLeftWidth), PropValue("thin"));
    EXPECT_EQ(Value(list, "body", BackgroundColor), PropValue(0x02FFFFFFu));
    EXPECT_EQ(Value(list, "body", BackgroundImage), PropValue("url(bg.gif)"));
    EXPECT_EQ(Value(list, "body", BackgroundRepeat), PropValue("repeat-y"));
    EXPECT_EQ(Value(list, "body", BackgroundAttachment), PropValue("fixed"));
    EXPECT_EQ(Value(list, "body", BackgroundPosition), PropValue("left top "));
    EXPECT_EQ(Value(list, "ul", ListStyleType), PropValue("square"));
    EXPECT_EQ(Value(list, "ul", ListStyleImage), PropValue("url(dot.gif)"));
    EXPECT_EQ(Value(list, "pre", PaddingTop), PropValue("1px"));
    EXPECT_EQ(Value(list, "pre", PaddingRight), PropValue("2px"));
    EXPECT_EQ(Value(list, "pre", PaddingBottom), PropValue("3px"));
    EXPECT_EQ(Value(list, "pre", PaddingLeft), PropValue("2px"));
    EXPECT_EQ(Value(list, "pre", BorderTopColor), PropValue(0x0000FFu));
    EXPECT_EQ(Value(list, "pre", BorderRightColor), PropValue(0xFF0000u));
    EXPECT_EQ(Value(list, "pre", BorderLeftStyle), PropValue("groove"));
    EXPECT_EQ(Value(list, "pre", BorderTopStyle), PropValue("none"));
}

TEST(StyleSheetParser, LinkedSheetsResolveTheirAddresses)
{
    TStyleList web;
    ParseLinkedStyleSheet(web, "body {\tbackground: url(\"../img/Bg.gif\") }\nli { list-style-image: url(http://x/d.gif) }",
                          "http://h/css/");
    EXPECT_EQ(Value(web, "body", BackgroundImage), PropValue("url(http://h/img/Bg.gif)"));
    EXPECT_EQ(Value(web, "li", ListStyleImage), PropValue("url(http://x/d.gif)"));
    TStyleList local;
    ParseLinkedStyleSheet(local, "p { background-image: url(img\\Kopf.PNG) } h1 { background-image: url(/abs/a.png) }",
                          "/srv/site/css/");
    EXPECT_EQ(Value(local, "p", BackgroundImage), PropValue("url(/srv/site/css/img/Kopf.PNG)"));
    EXPECT_EQ(Value(local, "h1", BackgroundImage), PropValue("url(/abs/a.png)"));
}

// A sheet read from a file comes with the file URL of its folder: its relative names lie beside
// it, and a "/" name stays as written, to be found below the viewer's root as the page's own are
// (the file URL's first folder is no host to put it under).
TEST(StyleSheetParser, ASheetFromAFileKeepsItsRootNames)
{
    TStyleList list;
    ParseLinkedStyleSheet(list, "p { background-image: url(img/a.png) } h1 { background-image: url(/b.png) }",
                          "file:///srv/site/css/");
    EXPECT_EQ(Value(list, "p", BackgroundImage), PropValue("url(file:///srv/site/css/img/a.png)"));
    EXPECT_EQ(Value(list, "h1", BackgroundImage), PropValue("url(/b.png)"));
}

// A linked sheet names its pictures in the code page it is written in, the disk in UTF-8:
// "Bild\xE4.png" of a Windows-1252 sheet is "Bildä.png" beside it. A sheet saved as UTF-8 with its
// signature is UTF-8 whatever its page, and its first rule counts (the signature spoilt it).
TEST(StyleSheetParser, ALinkedSheetNamesItsPicturesInItsCodePage)
{
    TStyleList ansi;
    ParseLinkedStyleSheet(ansi, "p { background-image: url(Bild\xE4.png) }", "file:///css/", 1252);
    EXPECT_EQ(Value(ansi, "p", BackgroundImage), PropValue("url(file:///css/Bild\xC3\xA4.png)"));
    TStyleList utf8;
    ParseLinkedStyleSheet(utf8, "\xEF\xBB\xBFh1 { color: blue } p { list-style: url(Bild\xC3\xA4.png) }",
                          "file:///css/", 1252);
    EXPECT_EQ(Value(utf8, "h1", Color), PropValue(0xFF0000u));
    EXPECT_EQ(Value(utf8, "p", ListStyleImage), PropValue("url(file:///css/Bild\xC3\xA4.png)"));
}

TEST(StyleSheetParser, AnUnreadableLinkedSheetGivesNoRules)
{
    TStyleList list;
    EXPECT_FALSE(LoadLinkedStyleSheet(list, "/no/such/dir/sheet.css", "/no/such/dir/"));
    EXPECT_EQ(list.Count(), 0);
}

TEST(StyleSheetParser, StyleAttributes)
{
    TProperties p;
    ParseStyleAttribute("COLOR: Blue; margin: 0; font-family = \"Courier New\"; bogus; background: url(A.gif)", p);
    EXPECT_EQ(p.Props[Color], PropValue(0xFF0000u));
    for (int i : {MarginTop, MarginRight, MarginBottom, MarginLeft})
        EXPECT_EQ(p.Props[i], PropValue("0"));
    EXPECT_EQ(p.Props[FontFamily], PropValue("courier new"));
    EXPECT_EQ(p.Props[BackgroundImage], PropValue("url(A.gif)"));
    TProperties q;
    ParseStyleAttribute(";;: ;=x; color", q);  // nothing usable, and no endless loop
    EXPECT_TRUE(q.Props[Color].IsEmpty());
}

TEST(StyleSheetParser, ArbitraryTextEndsWithoutHarm)
{
    // Malformed sheets never raise and never hang: pieces of CSS shuffled at random.
    const char* const pieces[] = {"p", "{", "}", ":", ";", "/*", "*/", "<", ">", "@media", "screen", " ", "\r",
                                  "url(", ")", "rgb(", ",", "'", "\"", "#", ".", "-", "!", "font", "margin",
                                  "border", "background", "1px", "/", "a:hover", "*", "=", "<!--", "-->", "@import"};
    unsigned seed = 12345;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    for (int round = 0; round < 500; ++round) {
        std::string css;
        const int n = static_cast<int>(next() % 40);
        for (int k = 0; k < n; ++k)
            css += pieces[next() % (sizeof pieces / sizeof pieces[0])];
        TStyleList list;
        ParseLinkedStyleSheet(list, css, "http://h/");
        TokenizerSource src(css + "</style>");
        char ch = ' ';
        ParseStyleSheet(list, ch, [&] { return src.Next(); }, "", false);
        TProperties p;
        ParseStyleAttribute(css, p);
    }
    SUCCEED();
}
