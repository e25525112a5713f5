// Property sets: inheritance of each group, own-value rules, conversions of declarations, the
// charset table and the getters the layout reads.
#include "html/style/Properties.h"
#include "platform/TestFont.h"

#include <gtest/gtest.h>

using namespace velmoran;

namespace {

// A parent set as the cascade leaves it: a tag and values set on the element itself.
void SetOwn(TProperties& p, int index, const PropValue& v)
{
    p.Props[index] = v;
    p.Originals[index] = true;
}

}  // namespace

TEST(Properties, NewSetsStartUnset)
{
    TProperties p;
    EXPECT_TRUE(p.Props[FontFamily].IsEmpty());
    EXPECT_EQ(p.Props[MarginTop], PropValue(UnsetInteger));
    EXPECT_EQ(p.Props[piLeft], PropValue(UnsetInteger));
    EXPECT_EQ(p.Props[ZIndex], PropValue(0));
    EXPECT_EQ(p.EffectiveBackground, NoColor);
    TProperties q;
    EXPECT_EQ(q.ID, p.ID + 1);
    EXPECT_EQ(PropertyIndex("display"), 59);
    EXPECT_EQ(PropertyIndex("border-left-style"), 30);
    EXPECT_EQ(PropertyIndex("colour"), -1);
    EXPECT_STREQ(PropertyName(38), "line-height");
}

// Values are copied for every element: copies hold the same text, compare by characters and by
// number (0 and -0 alike), and a text lives as long as its last holder, wherever that is.
TEST(Properties, ValuesShareTheirTextAndCompareByContent)
{
    PropValue kept;
    {
        const PropValue text("12px");
        PropValue copy = text;
        EXPECT_TRUE(PropValue::Identical(&copy, &text, 1));
        EXPECT_EQ(copy, PropValue("12px"));
        EXPECT_FALSE(PropValue::Identical(&copy, &kept, 1));
        PropValue moved = std::move(copy);
        EXPECT_TRUE(copy.IsEmpty());
        kept = moved;
        const PropValue& same = kept;
        kept = same;  // assigning a value to itself keeps its text
    }
    EXPECT_EQ(kept.Text(), "12px");
    EXPECT_EQ(PropValue(0.0), PropValue(-0.0));
    EXPECT_FALSE(PropValue(1) == PropValue(1.0));
    EXPECT_EQ(PropValue(-5).Int(), -5);
    EXPECT_EQ(PropValue(0xFF000000u).Color(), 0xFF000000u);
    EXPECT_EQ(KeywordValue("right"), PropValue("right"));
    const PropValue a = KeywordValue("left"), b = KeywordValue("left");
    EXPECT_TRUE(PropValue::Identical(&a, &b, 1));
}

TEST(Inherit, OrdinaryParentPassesTextPropertiesButNoBoxes)
{
    TProperties div;
    div.PropTag = "div";
    SetOwn(div, FontFamily, "Arial");
    SetOwn(div, Color, 0x123456u);
    SetOwn(div, MarginLeft, "2em");
    SetOwn(div, BackgroundColor, 0xFFu);
    SetOwn(div, BorderStyle, "solid");
    SetOwn(div, TextIndent, "10px");
    SetOwn(div, piDisplay, "block");
    SetOwn(div, WordWrap, "break-word");
    div.EffectiveBackground = 0xFFu;
    div.EmSize = 21;
    div.PropTitle = "Hinweis";

    TProperties p;
    p.Inherit("p", &div);
    EXPECT_EQ(p.Props[FontFamily], PropValue("Arial"));
    EXPECT_EQ(p.Props[Color], PropValue(0x123456u));
    EXPECT_EQ(p.Props[TextIndent], PropValue("10px"));
    EXPECT_EQ(p.Props[MarginLeft], PropValue(UnsetInteger));
    EXPECT_TRUE(p.Props[BackgroundColor].IsEmpty());
    EXPECT_TRUE(p.Props[BorderStyle].IsEmpty());
    EXPECT_TRUE(p.Props[piDisplay].IsEmpty());
    EXPECT_FALSE(p.Originals[Color]);  // inherited, not set here
    EXPECT_EQ(p.EffectiveBackground, 0xFFu);
    EXPECT_EQ(p.EmSize, 21);
    EXPECT_EQ(p.ExSize, 10);
    EXPECT_EQ(p.PropTitle, "Hinweis");
    EXPECT_EQ(p.Props[WordWrap], PropValue("break-word"));

    TProperties table;
    table.Inherit("table", &div);
    EXPECT_EQ(table.Props[WordWrap], PropValue("normal"));
}

TEST(Inherit, SpanPassesEverythingButItsBorderAndTableSectionsPassTheirFlags)
{
    TProperties span;
    span.PropTag = "span";
    SetOwn(span, MarginLeft, "5px");
    SetOwn(span, PaddingTop, 3);
    SetOwn(span, BackgroundColor, 0xAAu);
    SetOwn(span, BorderStyle, "dotted");
    TProperties inner;
    inner.Inherit("b", &span);
    EXPECT_EQ(inner.Props[MarginLeft], PropValue("5px"));
    EXPECT_EQ(inner.Props[PaddingTop], PropValue(3));
    EXPECT_EQ(inner.Props[BackgroundColor], PropValue(0xAAu));
    EXPECT_TRUE(inner.Props[BorderStyle].IsEmpty());
    EXPECT_FALSE(inner.Originals[BackgroundColor]);

    TProperties tbody;
    tbody.PropTag = "tbody";
    SetOwn(tbody, BackgroundColor, 0xCCu);
    TProperties row;
    row.Inherit("tr", &tbody);
    EXPECT_EQ(row.Props[BackgroundColor], PropValue(0xCCu));
    EXPECT_TRUE(row.Originals[BackgroundColor]);
    EXPECT_EQ(row.GetOwnBackgroundColor(), 0xCCu);
}

TEST(Properties, AssignPropKeepsOwnValuesAndMergeUnsetTakesTheRest)
{
    TProperties p;
    p.AssignProp(Color, 0x11u);
    p.AssignProp(Color, 0x22u);  // already set here
    EXPECT_EQ(p.Props[Color], PropValue(0x11u));

    TProperties below;
    below.Props[Color] = 0x33u;
    below.Props[FontStyle] = "italic";
    p.MergeUnset(below);
    EXPECT_EQ(p.Props[Color], PropValue(0x11u));
    EXPECT_EQ(p.Props[FontStyle], PropValue("italic"));

    TProperties link;
    link.FIArray = std::make_unique<TFontInfoArray>();
    link.AssignProp(Color, 0x44u);
    link.AssignProp(FontSize, 18.0);
    for (const auto& info : link.FIArray->Ar) {
        EXPECT_EQ(info.Color, 0x44u);
        EXPECT_DOUBLE_EQ(info.Size, 18);
    }
    link.MergeUnset(below);  // below has no link fonts, and this is no link element
    EXPECT_FALSE(link.HasFontInfo());

    // What MergeUnset takes stays taken, not set here: the flags are the element's own, so an
    // inherited colour is no own colour and the font family can still be assigned.
    TProperties fresh;
    TProperties source;
    SetOwn(source, FontFamily, "Arial");
    SetOwn(source, Color, 0x55u);
    SetOwn(source, BackgroundColor, 0x66u);
    fresh.MergeUnset(source);
    EXPECT_EQ(fresh.Props[Color], PropValue(0x55u));
    for (int i = 0; i < PropCount; ++i)
        EXPECT_FALSE(fresh.Originals[i]) << i;
    EXPECT_EQ(fresh.GetOwnColor(), NoColor);
    EXPECT_EQ(fresh.GetOwnBackgroundColor(), NoColor);
    fresh.AssignProp(FontFamily, "Courier New");
    EXPECT_EQ(fresh.Props[FontFamily], PropValue("Courier New"));
}

TEST(Properties, DeclarationsOfAStyleAttribute)
{
    TProperties p;
    p.AddPropertyByName("color", "nonsense");
    EXPECT_EQ(p.Props[Color], PropValue(0));  // black
    p.AddPropertyByName("background-color", "nonsense");
    EXPECT_EQ(p.Props[BackgroundColor], PropValue(NoColor));
    p.AddPropertyByName("border-style", "dashed");
    for (int i : {BorderStyle, BorderTopStyle, BorderRightStyle, BorderBottomStyle, BorderLeftStyle})
        EXPECT_EQ(p.Props[i], PropValue("dashed"));
    p.AddPropertyByName("border-color", "#010203");
    for (int i : {BorderColor, BorderTopColor, BorderLeftColor})
        EXPECT_EQ(p.Props[i], PropValue(0x02030201u));
    p.AddPropertyByName("margin-left", "3em");
    EXPECT_EQ(p.Props[MarginLeft], PropValue("3em"));
    p.AddPropertyByName("visibility", "hidden");
    EXPECT_EQ(p.GetVisibility(), 1);
    p.AddPropertyByName("visibility", "collapse");  // ignored
    EXPECT_EQ(p.GetVisibility(), 1);
    p.AddPropertyByName("text-transform", "uppercase");
    EXPECT_EQ(p.GetTextTransform(), 1);
    p.AddPropertyByName("word-wrap", "anything");
    EXPECT_EQ(p.Props[WordWrap], PropValue("normal"));
    p.AddPropertyByName("font-variant", "italic");  // ignored
    EXPECT_EQ(p.GetFontVariant(), "normal");
    p.AddPropertyByName("font-variant", "small-caps");
    EXPECT_EQ(p.GetFontVariant(), "small-caps");
    p.AddPropertyByName("no-such-property", "1");
    p.AddPropertyByName("border-top-style", "none");  // "none" leaves the overall style
    EXPECT_EQ(p.Props[BorderStyle], PropValue("dashed"));
}

TEST(Properties, CharsetsAndCodePages)
{
    TProperties p;
    p.AssignCharSet(204);
    EXPECT_EQ(p.CodePage, 1251);
    p.AssignCharSet(31);
    EXPECT_EQ(p.Charset, 238);
    EXPECT_EQ(p.CodePage, 28592);
    p.AssignCharSet(0);
    EXPECT_EQ(p.CodePage, 1252);
    p.AssignCharSet(99);  // not in the table: the code page stays
    EXPECT_EQ(p.CodePage, 1252);
    p.FIArray = std::make_unique<TFontInfoArray>();
    p.AssignUTF8();
    EXPECT_EQ(p.CodePage, 65001);
    EXPECT_EQ(p.FIArray->Ar[3].Charset, 0);
}

TEST(Getters, BoxValuesForTheLayout)
{
    TProperties p;
    p.Props[MarginLeft] = "auto";
    p.Props[MarginRight] = "auto";
    p.Props[MarginTop] = DefaultMarginLength;
    p.Props[MarginBottom] = "10%";
    p.Props[PaddingLeft] = "5%";
    p.Props[PaddingTop] = 4;
    p.Props[BorderTopStyle] = "none";
    p.Props[BorderTopWidth] = "thick";
    p.Props[BorderBottomStyle] = "solid";
    p.Props[BorderBottomWidth] = "thin";
    p.Props[BorderLeftStyle] = "double";
    p.Props[BorderRightStyle] = "ridge";
    p.Props[BorderRightWidth] = "3px";
    p.Props[piWidth] = "50%";
    p.Props[piHeight] = "50%";
    p.Props[BackgroundColor] = 0x123u;
    int autos = 0;
    const auto m = p.GetVMarginArray(400, 200, 16, 8, autos);
    EXPECT_EQ(autos, 2);
    EXPECT_EQ(m[MarginLeft], AutoLength);
    EXPECT_EQ(m[MarginRight], AutoLength);
    EXPECT_EQ(m[MarginBottom], 40);
    EXPECT_EQ(m[PaddingLeft], 20);
    EXPECT_EQ(m[PaddingTop], 4);
    EXPECT_EQ(m[PaddingBottom], 0);
    EXPECT_EQ(m[BorderTopWidth], 0);  // thick, but no style
    EXPECT_EQ(m[BorderBottomWidth], 2);
    EXPECT_EQ(m[BorderLeftWidth], 4);  // a style without a width: medium
    EXPECT_EQ(m[BorderRightWidth], 3);
    EXPECT_EQ(m[piWidth], 200);
    EXPECT_EQ(m[piHeight], 100 - 2 - 4);  // a percentage height loses borders and paddings
    EXPECT_EQ(m[piTop], AutoLength);
    EXPECT_EQ(static_cast<TColor>(m[BackgroundColor]), 0x123u);
    EXPECT_EQ(static_cast<TColor>(m[BorderColor]), NoColor);

    const VertMargins v = p.GetVertMargins();
    EXPECT_EQ(v.Top, 14);
    EXPECT_TRUE(v.TopDefault);
    EXPECT_FALSE(v.BottomDefault);

    TProperties w;
    w.Props[piWidth] = 300;
    w.GetVMarginArray(400, 200, 16, 8, autos);
    EXPECT_EQ(autos, 0);

    TProperties cell;
    cell.Props[PaddingTop] = "10%";
    cell.Props[PaddingRight] = "2px";
    EXPECT_EQ(cell.GetCellPaddings(16, 8), (std::array<int, 4>{-10, 2, -1, -1}));
}

TEST(Getters, KeywordsImagesLinesAndBackgrounds)
{
    TProperties p;
    int code = -1;
    EXPECT_FALSE(p.GetVertAlign(code));
    p.Props[VerticalAlign] = "text-top";
    EXPECT_TRUE(p.GetVertAlign(code));
    EXPECT_EQ(code, 1);
    p.Props[psFloat] = "right";
    EXPECT_TRUE(p.GetFloat(code));
    EXPECT_EQ(code, 6);
    p.Props[psClear] = "both";
    EXPECT_TRUE(p.GetClear(code));
    EXPECT_EQ(code, 3);
    EXPECT_EQ(AlignmentKeyword("AbsMiddle"), 2);
    EXPECT_EQ(AlignmentKeyword("justify"), 7);
    EXPECT_EQ(BorderStyleKeyword("double"), 8);
    EXPECT_EQ(BorderStyleKeyword("wavy"), 0);
    p.Props[ListStyleType] = "upper-roman";
    EXPECT_EQ(p.GetListStyleType(), 9);
    std::string url;
    p.Props[ListStyleImage] = "url('bullet.gif')";
    EXPECT_TRUE(p.GetListStyleImage(url));
    EXPECT_EQ(url, "bullet.gif");
    p.Props[BackgroundImage] = "none";
    EXPECT_TRUE(p.GetBackgroundImage(url));
    EXPECT_EQ(url, "");
    p.Props[ZIndex] = "12";
    EXPECT_EQ(p.GetZIndex(), 12);
    p.Props[LineHeight] = "1.5";
    EXPECT_EQ(p.GetLineHeight(20), 30);
    p.Props[LineHeight] = "24px";
    EXPECT_EQ(p.GetLineHeight(20), 24);
    bool pct = false;
    p.Props[TextIndent] = "15%";
    EXPECT_EQ(p.GetTextIndent(pct), 15);
    EXPECT_TRUE(pct);
    p.Props[PageBreakBefore] = "always";
    p.Props[PageBreakInside] = "avoid";
    bool before = false, after = true, inside = false;
    p.GetPageBreaks(before, after, inside);
    EXPECT_TRUE(before);
    EXPECT_FALSE(after);
    EXPECT_TRUE(inside);

    PositionRec x, y;
    p.Props[BackgroundPosition] = "top 30%";
    p.Props[BackgroundRepeat] = "repeat-x";
    p.Props[BackgroundAttachment] = "fixed";
    p.GetBackgroundPos(200, 100, x, y);
    EXPECT_EQ(y.PosType, PositionRec::Top);
    EXPECT_EQ(x.PosType, PositionRec::Percent);
    EXPECT_EQ(x.Value, 30);
    EXPECT_TRUE(x.RepeatD);
    EXPECT_FALSE(y.RepeatD);
    EXPECT_TRUE(x.Fixed && y.Fixed);
    p.Props[BackgroundPosition] = "12px";
    p.Props[BackgroundRepeat] = "no-repeat";
    p.GetBackgroundPos(200, 100, x, y);
    EXPECT_EQ(x.PosType, PositionRec::Pixels);
    EXPECT_EQ(x.Value, 12);
    EXPECT_EQ(y.PosType, PositionRec::Center);
    EXPECT_FALSE(x.RepeatD || y.RepeatD);
}
