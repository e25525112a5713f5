// The style list and the cascade: the default sheet, rule order, class lists, IDs, link states,
// compound selectors with ancestors, the STYLE attribute that wins over every rule, and the memo
// of the cascade's results.
#include "html/style/CascadeMemo.h"
#include "html/style/StyleList.h"
#include "html/style/StyleSheetParser.h"
#include "platform/TestFont.h"

#include <gtest/gtest.h>

using namespace velmoran;

namespace {

// Opens elements the way the HTML parser does: a new set on the property stack that inherits from
// the enclosing one and then runs the cascade with the element's tag, class, ID, pseudo-class and
// STYLE attribute.
class Page {
public:
    explicit Page(const std::string& css = "", DefaultSheetOptions options = {})
    {
        Styles.BuildDefaultStyleSheet(options);
        if (!css.empty())
            ParseLinkedStyleSheet(Styles, css, "");
        Stack.Push()->Copy(*Styles.DefaultProp());
    }
    TProperties& Open(const std::string& tag, const std::string& cls = "", const std::string& id = "",
                      const std::string& pseudo = "", const std::string& style = "")
    {
        TProperties* parent = Stack.Last();
        TProperties* p = Stack.Push();
        p->Inherit(tag, parent);
        std::unique_ptr<TProperties> attr;
        if (!style.empty()) {
            attr = std::make_unique<TProperties>();
            ParseStyleAttribute(style, *attr);
        }
        p->ApplyStyles(Styles, tag, cls, id, pseudo, "", attr.get());
        return *p;
    }
    void Close() { Stack.Pop(); }

    TestFontEngine Fonts;
    ScopedScreenFonts Scoped{Fonts};
    TStyleList Styles;
    TPropStack Stack;
};

}  // namespace

TEST(DefaultSheet, HeadingsListsAndInlineElements)
{
    DefaultSheetOptions o;
    o.FontSize = 10;
    o.LinkColor = 0x0000FF;
    Page page("", o);
    TProperties& h1 = page.Open("h1");
    EXPECT_EQ(h1.Props[FontSize], PropValue(20.0));
    EXPECT_EQ(h1.Props[FontWeight], PropValue("bold"));
    EXPECT_EQ(h1.GetVertMargins().Top, 19);
    page.Close();
    EXPECT_EQ(page.Open("h6").Props[FontSize], PropValue(8 * 10 / 12.0));
    page.Close();
    TProperties& ul = page.Open("ul");
    EXPECT_EQ(ul.Props[PaddingLeft], PropValue(35));
    EXPECT_EQ(ul.GetListStyleType(), 0);  // blank
    EXPECT_TRUE(ul.GetVertMargins().TopDefault);
    TProperties& li = page.Open("li");
    EXPECT_EQ(li.Props[ListStyleType], PropValue("blank"));  // inherited
    EXPECT_EQ(li.Props[PaddingLeft], PropValue(UnsetInteger));
    page.Close();
    page.Close();
    TProperties& p = page.Open("p");
    TProperties& small = page.Open("small");
    EXPECT_DOUBLE_EQ(small.Props[FontSize].Real(), 7.5);  // 0.75em of the inherited 10pt
    page.Close();
    page.Close();
    (void)p;
    TProperties& pre = page.Open("pre");
    EXPECT_EQ(pre.Props[FontFamily], PropValue("Courier New"));
    TProperties& inPre = page.Open("p");
    EXPECT_EQ(inPre.Props[MarginTop], PropValue(0));  // "p 11pre" after "p"
    EXPECT_EQ(inPre.Props[MarginBottom], PropValue(DefaultMarginLength));
}

TEST(Cascade, RulesOfOneSelectorMergeInOrderAndLaterKeysWin)
{
    Page page("p { color: red; font-style: italic } .x { color: lime } p.x { color: blue } p { color: navy }");
    TProperties& plain = page.Open("p");
    EXPECT_EQ(plain.Props[Color], PropValue(0x800000u));  // the later rule for p
    EXPECT_TRUE(plain.Originals[Color]);
    page.Close();
    TProperties& x = page.Open("p", "x");
    EXPECT_EQ(x.Props[Color], PropValue(0xFF0000u));  // p, then .x, then p.x
    EXPECT_EQ(x.Props[FontStyle], PropValue("italic"));
    page.Close();

    TStyleList list;
    auto a = std::make_unique<TProperties>();
    a->Props[Color] = 1;
    a->Props[FontStyle] = "italic";
    auto b = std::make_unique<TProperties>();
    b->Props[Color] = 2;
    list.Add("em", std::move(a));
    list.Add("em", std::move(b));  // a duplicate key: both are merged, in the order added
    TProperties e;
    list.ApplyStyles(e, "em", "", "", "", "", nullptr);
    EXPECT_EQ(e.Props[Color], PropValue(2));
    EXPECT_EQ(e.Props[FontStyle], PropValue("italic"));
}

TEST(Cascade, RulesAddedBetweenReadsKeepTheirOrder)
{
    // Entries added after the list was read are merged in later; a key's entries still follow in
    // the order they were added, and the first stays the one found.
    TStyleList list;
    auto rule = [](int color) {
        auto p = std::make_unique<TProperties>();
        p->Props[Color] = color;
        return p;
    };
    TProperties* first = list.Add("td", rule(1));
    list.Add("b", rule(2));
    EXPECT_EQ(list.Key(0), "b");  // a read sorts what was added so far
    list.Add("td", rule(3));
    list.Add("a", rule(4));
    EXPECT_EQ(list.Find("td"), first);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Key(0), "a");
    EXPECT_EQ(list.Key(2), "td");
    EXPECT_EQ(list.Entry(2).Props[Color], PropValue(1));
    EXPECT_EQ(list.Entry(3).Props[Color], PropValue(3));
    TProperties e;
    list.ApplyStyles(e, "td", "", "", "", "", nullptr);
    EXPECT_EQ(e.Props[Color], PropValue(3));  // the later rule wins

    // A sheet of many rules: each selector's entry is found, in key order.
    std::string sheet;
    for (int i = 0; i < 20000; ++i)
        sheet += ".c" + std::to_string(i) + " { margin-left: " + std::to_string(i % 50) + "px }\n";
    TStyleList big;
    ParseLinkedStyleSheet(big, sheet, "");
    ASSERT_NE(big.Find(".c19999"), nullptr);
    EXPECT_EQ(big.Find(".c19999")->Props[MarginLeft], PropValue("49px"));
    for (int i = 1; i < big.Count(); ++i)
        ASSERT_LE(big.Key(i - 1), big.Key(i));
}

TEST(Cascade, ClassListsIdsAndTheStyleAttribute)
{
    Page page(".a { color: red; font-weight: bold } .b { color: lime } .a.b { font-style: italic }"
              " p.b { text-align: right } #main { text-indent: 5px } p#main:hover { color: #010203 }");
    TProperties& p = page.Open("p", "a.b", "main", "", "color: blue");
    EXPECT_EQ(p.Props[Color], PropValue(0xFF0000u));  // the STYLE attribute wins over all classes
    EXPECT_EQ(p.Props[FontWeight], PropValue("bold"));
    EXPECT_EQ(p.Props[FontStyle], PropValue("italic"));
    EXPECT_EQ(p.Props[TextAlign], PropValue("right"));
    EXPECT_EQ(p.Props[TextIndent], PropValue("5px"));
    EXPECT_EQ(p.PropClass, "a.b");
    EXPECT_EQ(p.PropID, "main");
    page.Close();
    TProperties& hover = page.Open("p", "", "main", "hover");
    EXPECT_EQ(hover.Props[Color], PropValue(0x02030201u));
    EXPECT_TRUE(hover.Props[TextAlign] == page.Stack[0]->Props[TextAlign]);  // "p" itself is skipped for hover
}

TEST(Cascade, LinkColoursAndTheFourLinkStates)
{
    DefaultSheetOptions o;
    o.LinkColor = 0x0000FF;
    o.VisitedColor = 0x800080;
    o.HoverColor = 0x00FF00;
    Page page(":link { color: #112233 } a { font-weight: bold } :visited { color: #445566 }", o);
    EXPECT_EQ(page.Styles.Find("::link")->Props[FontWeight], PropValue("bold"));  // "a" also goes to "::link"
    EXPECT_EQ(page.Styles.Find("::hover")->Props[Color], PropValue(0x02665544u));   // :visited then coloured it
    EXPECT_EQ(page.Styles.Find("::visited")->Props[Color], PropValue(0x02332211u));  // :link coloured it

    TProperties& a = page.Open("a", "", "", "link");
    ASSERT_TRUE(a.HasFontInfo());
    EXPECT_EQ(a.Props[Color], PropValue(0x02332211u));
    const auto& st = a.FIArray->Ar;
    EXPECT_EQ(st[0].Color, 0x02332211u);
    EXPECT_EQ(st[0].Style, fsBold | fsUnderline);
    EXPECT_EQ(st[1].Color, 0x02665544u);  // visited: "::visited", then the ":visited" rule
    EXPECT_EQ(st[2].Color, 0x02665544u);  // hover
    EXPECT_EQ(st[3].Color, 0x02665544u);  // visited and hover
    EXPECT_EQ(page.Stack.Count(), 2);     // the temporary sets are gone

    // A child of the link carries the states and its own rules go into each of them.
    TProperties& b = page.Open("i");
    ASSERT_TRUE(b.HasFontInfo());
    for (const auto& s : b.FIArray->Ar)
        EXPECT_TRUE(s.Style & fsItalic);
}

TEST(Cascade, CompoundSelectorsMatchAncestors)
{
    Page page("div p { color: red } div > p.note { font-weight: bold } ul li { font-style: italic }"
              " .box em { color: lime } div p.intro { color: blue } div p.x { text-indent: 3px }"
              " #nav a:link { color: #010101 } body > p { text-align: center }");
    page.Open("body");
    page.Open("div", "box");
    TProperties& note = page.Open("p", "note");
    EXPECT_EQ(note.Props[Color], PropValue(0x0000FFu));
    EXPECT_EQ(note.Props[FontWeight], PropValue("bold"));
    EXPECT_TRUE(note.Props[TextAlign] != PropValue("center"));  // body is not its parent
    TProperties& em = page.Open("em");
    EXPECT_EQ(em.Props[Color], PropValue(0x00FF00u));
    page.Close();
    page.Close();
    TProperties& span = page.Open("span");
    TProperties& deep = page.Open("p", "note");  // div > span > p: not a child of div
    EXPECT_EQ(deep.Props[Color], PropValue(0x0000FFu));
    EXPECT_TRUE(deep.Props[FontWeight] != PropValue("bold"));
    (void)span;
    page.Close();
    page.Close();
    page.Close();
    TProperties& top = page.Open("p", "x");
    EXPECT_EQ(top.Props[TextAlign], PropValue("center"));
    page.Close();
    page.Open("div");
    TProperties& px = page.Open("p", "x");
    EXPECT_EQ(px.Props[TextIndent], PropValue("3px"));  // found past the entry for "div p.intro"
    EXPECT_TRUE(px.Props[Color] != PropValue(0xFF0000u));
    page.Close();
    page.Close();
    page.Open("div", "", "nav");
    TProperties& link = page.Open("a", "", "", "link");
    EXPECT_EQ(link.Props[Color], PropValue(0x02010101u));
}

// An ID in a compound selector narrows the rule: "#nav a" colours only the anchors inside the
// element with that ID, and "div a#top" only the anchor with that ID; a menu rule must not spill
// onto every link of the page.
TEST(Cascade, IdsInCompoundSelectorsMustMatch)
{
    Page page("#nav a { color: red } div a#top { font-style: italic }");
    page.Open("div");
    TProperties& plain = page.Open("a");
    EXPECT_TRUE(plain.Props[Color] != PropValue(0x0000FFu));
    EXPECT_TRUE(plain.Props[FontStyle] != PropValue("italic"));
    page.Close();
    TProperties& top = page.Open("a", "", "top");
    EXPECT_EQ(top.Props[FontStyle], PropValue("italic"));
    EXPECT_TRUE(top.Props[Color] != PropValue(0x0000FFu));
    page.Close();
    page.Close();
    page.Open("div", "", "nav");
    TProperties& inNav = page.Open("a");
    EXPECT_EQ(inNav.Props[Color], PropValue(0x0000FFu));
    EXPECT_TRUE(inNav.Props[FontStyle] != PropValue("italic"));
}

// Every rule's set starts with its offsets and box lengths unset; merging a later rule that names
// none of them leaves what an earlier rule gave, the last of them ("left") included.
TEST(Cascade, ALaterRuleKeepsTheOffsetsItDoesNotName)
{
    Page page("p { position: relative; top: 2px; left: 10px; margin-left: 4px } .x { color: red }");
    TProperties& p = page.Open("p", "x");
    EXPECT_EQ(p.GetPosition(), 2);
    EXPECT_EQ(p.Props[piTop], PropValue("2px"));
    EXPECT_EQ(p.Props[piLeft], PropValue("10px"));
    EXPECT_EQ(p.Props[MarginLeft], PropValue("4px"));
    EXPECT_EQ(p.Props[Color], PropValue(0x0000FFu));
}

TEST(Cascade, ReDerivedLinkRebuildsItsStatesAndRulesKeepUnnamedValues)
{
    Page page("a:hover { color: red } div { z-index: 3 } p { color: navy }");
    page.Open("b");
    TProperties& a = page.Open("a", "", "", "link");
    page.Open("i");
    // "b" closes out of order: the sets above it are re-derived from their new neighbour.
    a.MergeUnset(*page.Stack[0]);
    ASSERT_TRUE(a.HasFontInfo());
    EXPECT_EQ(a.FIArray->Ar[2].Color, 0x0000FFu);
    EXPECT_EQ(page.Stack.Count(), 4);
    page.Close();
    page.Close();
    page.Close();

    TProperties& div = page.Open("div");
    EXPECT_EQ(div.GetZIndex(), 3);
    TProperties& p = page.Open("p");
    EXPECT_EQ(p.GetZIndex(), 3);  // the rule for p does not name z-index
    EXPECT_FALSE(p.Originals[ZIndex]);
}

namespace {

// The font a set makes when nothing is shared: the same values on a set of no stack.
TMyFont UnsharedFont(const TProperties& p)
{
    TProperties alone;
    alone.Copy(p);
    return alone.GetFont();
}

bool SameFont(const TMyFont& a, const TMyFont& b)
{
    return a.Name == b.Name && a.Height == b.Height && a.Style == b.Style && a.Color == b.Color &&
           a.BGColor == b.BGColor && a.Charset == b.Charset && a.CharExtra == b.CharExtra &&
           a.tmHeight == b.tmHeight && a.tmDescent == b.tmDescent;
}

}  // namespace

// The cells of a result page share the fonts their values make; what one element sets for
// itself (a STYLE attribute, a :hover rule, a value changed afterwards) stays its own.
TEST(SharedFonts, EqualCellsShareAFontAndOwnValuesDoNotLeak)
{
    Page page("td:hover { font-style: italic } .gross { font-size: 20pt }");
    page.Open("table");
    page.Open("tr");
    TProperties& first = page.Open("td");
    const TMyFont plain = first.GetFont();
    const int plainEm = first.EmSize;
    page.Close();
    TProperties& second = page.Open("td");
    EXPECT_TRUE(SameFont(second.GetFont(), plain));
    EXPECT_EQ(second.EmSize, plainEm);
    EXPECT_EQ(second.ExSize, plainEm / 2);
    page.Close();

    TProperties& styled = page.Open("td", "", "", "", "color: red; letter-spacing: 3px");
    const TMyFont red = styled.GetFont();
    EXPECT_NE(red.Color, plain.Color);
    EXPECT_EQ(red.CharExtra, 3);
    EXPECT_TRUE(SameFont(red, UnsharedFont(styled)));
    page.Close();
    TProperties& hover = page.Open("td", "", "", "hover");
    EXPECT_TRUE(hover.GetFont().Style & fsItalic);
    page.Close();
    TProperties& big = page.Open("td", "gross");
    EXPECT_LT(big.GetFont().Height, plain.Height);
    EXPECT_GT(big.EmSize, plainEm);
    page.Close();

    // After all of them a plain cell gets the plain font again.
    TProperties& last = page.Open("td");
    EXPECT_TRUE(SameFont(last.GetFont(), plain));
    EXPECT_EQ(last.EmSize, plainEm);
    // A value changed on one set after its font was made gives it a new font, and none to others.
    last.Props[FontWeight] = PropValue("bold");
    last.DropFont();
    EXPECT_EQ(last.GetFont().Style & fsBold, fsBold);
    page.Close();
    EXPECT_TRUE(SameFont(page.Open("td").GetFont(), plain));
}

// More distinct fonts than the stack keeps: each set still gets the font its own values make.
TEST(SharedFonts, ManyDistinctFontsEachStayRight)
{
    Page page;
    page.Open("table");
    for (int round = 0; round < 2; ++round) {
        int previous = 0;
        for (int points = 6; points < 56; ++points) {
            TProperties& cell = page.Open("td", "", "", "", "font-size: " + std::to_string(points) + "pt");
            const TMyFont font = cell.GetFont();
            EXPECT_TRUE(SameFont(font, UnsharedFont(cell))) << points << " pt";
            EXPECT_LT(font.Height, previous) << points << " pt";  // taller with every point
            previous = font.Height;
            page.Close();
        }
    }
}

// Cells with the same inputs take the remembered result, which is what the cascade gives them;
// whatever makes one cell differ (STYLE attribute, pseudo-class, a changed parent, a new rule)
// neither takes a remembered result nor leaves its own values to the next cell.
TEST(SharedStyles, EqualCellsTakeOneResultAndOwnValuesDoNotLeak)
{
    Page page("td:hover { font-style: italic } .zahl { text-align: right }");
    TCascadeMemo memo;
    auto open = [&](const std::string& tag, const std::string& cls = "", const std::string& pseudo = "",
                    const std::string& style = "") -> TProperties& {
        return *memo.Open(page.Stack, page.Styles, tag, cls, "", pseudo, "", style);
    };
    open("table");
    TProperties& row = open("tr");
    const std::array<PropValue, PropCount> plain = open("td").Props;
    page.Close();
    EXPECT_EQ(memo.Hits(), 0);
    EXPECT_EQ(open("td").Props, plain);
    EXPECT_EQ(memo.Hits(), 1);
    page.Close();
    // The cascade itself gives the same values.
    EXPECT_EQ(page.Open("td").Props, plain);
    page.Close();

    const PropValue red = page.Open("td", "", "", "", "color: #FF0000").Props[Color];
    page.Close();
    ASSERT_NE(red, plain[Color]);
    EXPECT_EQ(open("td", "", "", "color: #FF0000").Props[Color], red);
    page.Close();
    TProperties& hover = open("td", "", "hover");
    EXPECT_EQ(hover.Props[FontStyle], PropValue("italic"));
    page.Close();
    EXPECT_EQ(memo.Hits(), 1);
    EXPECT_EQ(open("td").Props, plain);
    EXPECT_EQ(memo.Hits(), 2);
    page.Close();

    // Another class is another result, remembered apart.
    EXPECT_EQ(open("td", "zahl").Props[TextAlign], PropValue("right"));
    page.Close();
    EXPECT_EQ(open("td", "zahl").Props[TextAlign], PropValue("right"));
    EXPECT_EQ(memo.Hits(), 3);
    page.Close();

    // A value changed on the parent after the result was remembered reaches the next cell.
    row.Props[Color] = PropValue(0x123456u);
    EXPECT_EQ(open("td").Props[Color], PropValue(0x123456u));
    page.Close();
    // So does a rule read after it.
    ParseLinkedStyleSheet(page.Styles, "td { color: #FF0000 }", "");
    EXPECT_EQ(open("td").Props[Color], red);
    page.Close();
    EXPECT_EQ(memo.Hits(), 3);
}
