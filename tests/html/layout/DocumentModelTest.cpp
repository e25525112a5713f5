// The document objects as the parser creates them: margin collapsing of blocks, table cells and
// rows from attributes and styles, rules, images, and the finishing of text sections.
#include "tests/html/layout/ParserTestSupport.h"

#include <gtest/gtest.h>

using namespace velmoran;
using velmoran::testing::ParsedPage;

TEST(DocumentModel, VerticalMarginsCollapseBetweenNeighbours)
{
    ParsedPage p;
    p.Parse("<p>eins<p>zwei<div style=\"margin-bottom: 20px\">d</div><div style=\"margin-top: 5px\">e</div>"
            "<div style=\"margin-bottom: -10px\">f</div><div style=\"margin-top: 30px\">g</div>"
            "<div style=\"margin-bottom: -10px\">h</div><div style=\"margin-top: -4px\">i</div>");
    const auto paras = p.BlocksWithKey("p.");
    ASSERT_EQ(paras.size(), 2u);
    bool isDefault = true;
    EXPECT_EQ(paras[0]->TopMargin(&isDefault), 0) << "nothing before it: the default top margin goes";
    EXPECT_FALSE(isDefault);
    EXPECT_EQ(paras[0]->BottomMargin(), 0);
    EXPECT_EQ(paras[1]->TopMargin(), 14);
    const auto divs = p.BlocksWithKey("div.");
    ASSERT_EQ(divs.size(), 6u);
    EXPECT_EQ(divs[1]->TopMargin(), 20);   // both positive: the larger
    EXPECT_EQ(divs[0]->BottomMargin(), 0);
    EXPECT_EQ(divs[3]->TopMargin(), 20);   // one negative: the sum
    EXPECT_EQ(divs[5]->TopMargin(), -10);  // both negative: the smaller
}

TEST(DocumentModel, FirstBlockAndAbsoluteBlocksDropTheDefaultTopMargin)
{
    ParsedPage p;
    p.Parse("<div style=\"position: absolute\"><p>abs</p></div><ul><li>x</ul>");
    const auto divs = p.BlocksWithKey("div.");
    ASSERT_EQ(divs.size(), 1u);
    EXPECT_EQ(divs[0]->Positioning, 1);
    EXPECT_EQ(p.BlocksWithKey("p.")[0]->TopMargin(), 0) << "first in its cell, default margin";
    // The list skips the absolutely positioned block when it looks for its neighbour.
    EXPECT_EQ(p.BlocksWithKey("ul.")[0]->TopMargin(), 0);
}

TEST(DocumentModel, ListAfterTextInAnItemHasNoTopMargin)
{
    ParsedPage p;
    p.Parse("<ul><li>Punkt<ul><li>innen</ul></ul>");
    const auto lists = p.BlocksWithKey("ul.");
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_EQ(lists[1]->TopMargin(), 0);
}

TEST(DocumentModel, LastBottomMarginIsRemovedInsideCellsAndItems)
{
    TestFontEngine fonts;
    ScopedScreenFonts scoped(fonts);
    TSectionList doc;
    doc.Styles.BuildDefaultStyleSheet({});
    TProperties props;
    props.Copy(*doc.Styles.DefaultProp());
    props.Props[MarginBottom] = PropValue(DefaultMarginLength);
    TCell cell(&doc);
    auto* a = static_cast<TBlock*>(cell.AddSection(std::make_unique<TBlock>(&doc, props, &cell, nullptr)));
    EXPECT_TRUE(a->HasDefaultBottomMargin());
    EXPECT_TRUE(cell.CheckLastBottomMargin());
    EXPECT_EQ(a->BottomMargin(), 0);
    EXPECT_FALSE(cell.CheckLastBottomMargin());
    // A list item is searched inside.
    auto* li = static_cast<TBlockLI*>(
        cell.AddSection(std::make_unique<TBlockLI>(&doc, props, &cell, ULSy, 1, '1', false, 1, nullptr)));
    auto* inner = static_cast<TBlock*>(
        li->MyCell->AddSection(std::make_unique<TBlock>(&doc, props, li->MyCell.get(), nullptr)));
    EXPECT_TRUE(cell.CheckLastBottomMargin());
    EXPECT_EQ(inner->BottomMargin(), 0);
    EXPECT_TRUE(li->HasDefaultBottomMargin());
}

TEST(DocumentModel, EmptyTextSectionsAreDroppedButClearAndPreLinesStay)
{
    TestFontEngine fonts;
    ScopedScreenFonts scoped(fonts);
    TSectionList doc;
    doc.Styles.BuildDefaultStyleSheet({});
    TProperties props;
    props.Copy(*doc.Styles.DefaultProp());
    TCell cell(&doc);
    EXPECT_EQ(cell.AddSection(std::make_unique<TSection>(&doc, false, nullptr, props, nullptr)), nullptr);
    TokenObj blanks;
    blanks.AddUnicodeChar(u' ', 0);
    blanks.AddUnicodeChar(u' ', 1);
    auto s = std::make_unique<TSection>(&doc, false, nullptr, props, nullptr);
    s->AppendTokens(blanks, false);
    EXPECT_EQ(cell.AddSection(std::move(s)), nullptr) << "blanks only";
    TAttributeList attrs;
    auto clear = std::make_unique<TAttribute>();
    clear->Which = ClearSy;
    clear->WhichName = "clear";
    clear->Name = "right";
    attrs.Add(std::move(clear));
    auto withClear = std::make_unique<TSection>(&doc, false, nullptr, props, &attrs);
    EXPECT_EQ(withClear->ClearAttr, 2);
    EXPECT_NE(cell.AddSection(std::move(withClear)), nullptr);
    EXPECT_NE(cell.AddSection(std::make_unique<TPreFormated>(&doc, nullptr, props, nullptr)), nullptr);
    EXPECT_EQ(cell.Count(), 2);
}

TEST(DocumentModel, FinishingRemovesBlanksAroundBreaksAndFloats)
{
    TestFontEngine fonts;
    ScopedScreenFonts scoped(fonts);
    TSectionList doc;
    doc.Styles.BuildDefaultStyleSheet({});
    TProperties props;
    props.Copy(*doc.Styles.DefaultProp());
    TSection s(&doc, false, nullptr, props, nullptr);
    TokenObj t;
    for (char16_t c : std::u16string(u"a  b "))
        t.AddUnicodeChar(c, 10);
    s.AppendTokens(t, false);
    s.AddSingleChar(kBreakChar, 20);
    TokenObj u;
    u.AddUnicodeChar(u' ', 21);
    u.AddUnicodeChar(u'c', 22);
    s.AppendTokens(u, true);
    TAttributeList attrs;
    auto align = std::make_unique<TAttribute>();
    align->Which = AlignSy;
    align->WhichName = "align";
    align->Name = "right";
    attrs.Add(std::move(align));
    s.AddImage(attrs, 23);
    s.AppendTokens(u, false);
    s.FinishText(30);
    EXPECT_EQ(s.Text, std::u16string(u"a b\bc\x04" u"c "));
    EXPECT_EQ(s.BreakClasses, "yyyynyyyy");
    EXPECT_EQ(s.Images[0]->Pos, 5);
    EXPECT_EQ(s.SourcePosAt(static_cast<int>(s.Text.size()) - 1), 30);
    EXPECT_GT(s.SectionNumber, 0);
    ASSERT_FALSE(s.SourceIndex.empty());
    EXPECT_EQ(s.SourceIndex[0].Index, 10);
}

TEST(DocumentModel, TableCellsFromAttributesAndStyles)
{
    ParsedPage p;
    p.Parse("<style>td.c { width: 100%; background-color: #0000ff } td.h { height: 40px }</style>"
            "<table border=200 cellpadding=-3 bordercolorlight=red>"
            "<tr height=30 bgcolor=yellow><td class=c width=100% bgcolor=#ff0000 colspan=0 rowspan=3>a"
            "<td class=h height=150% href=x.htm target=t>b<td style=\"vertical-align: top; width: 40px\" width=10%>c"
            "</table>");
    const ThtmlTable& t = *p.All<ThtmlTable>()[0];
    EXPECT_EQ(t.BorderWidth, 100);
    EXPECT_EQ(t.CellPadding, 1);
    EXPECT_EQ(t.BorderColorLight, 0x0000FFu);
    const TCellList& row = *t.Rows[0];
    EXPECT_TRUE(row.BkGnd);
    EXPECT_EQ(row.SpecRowHeight, 30);
    const TCellObj& a = *row[0];
    EXPECT_EQ(a.Wd, 1000) << "WIDTH=100% stays; a CSS width of 100% is ignored";
    EXPECT_TRUE(a.AsPercent);
    EXPECT_EQ(a.Cell->BkColor & 0xFFFFFF, 0xFF0000u) << "the CSS colour wins over BGCOLOR";
    EXPECT_EQ(a.ColSpan, 1);
    EXPECT_EQ(a.RowSpan, 3);
    EXPECT_EQ(a.SpecHt, 30) << "the row height raises the cell's";
    const TCellObj& b = *row[1];
    EXPECT_EQ(b.SpecHtPercent, 100);
    EXPECT_EQ(b.SpecHt, 40);
    EXPECT_EQ(b.Cell->Url(), "x.htm");
    EXPECT_EQ(b.Cell->Target(), "t");
    const TCellObj& c = *row[2];
    EXPECT_EQ(c.VAlign, 1);
    EXPECT_EQ(c.Wd, 40);
    EXPECT_FALSE(c.AsPercent);
}

TEST(DocumentModel, RulesFromHrAttributes)
{
    ParsedPage p;
    p.Parse("<hr size=25 width=50% align=left color=#102030><hr size=4 noshade width=300 style=\"text-align: right\">");
    const auto rules = p.All<THorzLine>();
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_EQ(rules[0]->VSize, 2);
    EXPECT_EQ(rules[0]->Align, 1);
    EXPECT_EQ(rules[0]->Color & 0xFFFFFF, 0x302010u);
    EXPECT_EQ(rules[1]->VSize, 4);
    EXPECT_TRUE(rules[1]->NoShade);
    EXPECT_EQ(rules[1]->Align, 3);
    const auto blocks = p.All<THRBlock>();
    EXPECT_EQ(blocks[0]->MargArrayO[piWidth], PropValue("50%"));
    EXPECT_EQ(blocks[1]->MargArrayO[piWidth], PropValue(300));
    EXPECT_EQ(blocks[1]->MargArrayO[piHeight], PropValue(4));
}

TEST(DocumentModel, ImagesFromAttributesAndStyles)
{
    ParsedPage p;
    p.Parse("<img src=a.gif border=0 align=middle><img src=b.gif align=right>"
            "<img src=c.gif style=\"float: left; margin: 5px; width: 50%\" vspace=8 ismap title=T>");
    const auto& images = p.All<TSection>()[0]->Images;
    ASSERT_EQ(images.Count(), 3);
    EXPECT_TRUE(images[0]->NoBorder);
    EXPECT_EQ(images[0]->VertAlign, 2);
    EXPECT_EQ(images[0]->HSpaceL, 0);
    EXPECT_EQ(images[1]->VertAlign, 6);
    EXPECT_EQ(images[1]->HSpaceL, 3);
    EXPECT_EQ(images[1]->HSpaceR, 3);
    const auto& c = *dynamic_cast<TImageObj*>(images[2]);
    EXPECT_EQ(c.VertAlign, 5);
    EXPECT_EQ(c.HSpaceL, 5);
    EXPECT_EQ(c.VSpaceT, 5);
    EXPECT_TRUE(c.IsMap);
    EXPECT_EQ(c.Title, "T");
    EXPECT_TRUE(c.PercentWidth);
    EXPECT_EQ(c.SpecWidth, 50);
}

TEST(DocumentModel, BodyBlockHandsItsBackgroundToTheDocument)
{
    ParsedPage p;
    p.Parse("<body background=\"bild.gif\" bgproperties=fixed>x");
    EXPECT_EQ(p.Doc.BackgroundImageName, "bild.gif");
    EXPECT_EQ(p.Body().BGImage, nullptr);
    EXPECT_EQ(p.Body().Positioning, 0);
}

TEST(DocumentModel, DumpShowsTheTree)
{
    ParsedPage p;
    p.Parse("<h1>T</h1><ul><li>a</ul><table><tr><td colspan=2>z</table><pre>p</pre><hr>");
    const std::string d = p.Dump(true);
    for (const char* part : {"block \"h1.\"", "list-item \"li.\" type=2", "table-and-caption", "cell colspan=2",
                             "pre-text \"p \"", "rule size=2", "run @0 "})
        EXPECT_NE(d.find(part), std::string::npos) << part << "\n" << d;
}
