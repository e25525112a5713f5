// Name tables of the HTML tokenizer's symbols; see HtmlSymbols.h.
#include "html/base/HtmlSymbols.h"

#include "html/base/WideText.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace velmoran {

const char* const kTagNames[kTagCount] = {
    "HTML", "TITLE", "BODY", "HEAD", "B", "I", "H", "EM", "STRONG", "U", "CITE", "VAR", "TT", "CODE", "KBD",
    "SAMP", "OL", "UL", "DIR", "MENU", "DL", "A", "ADDRESS", "BLOCKQUOTE", "PRE", "CENTER", "TABLE", "TD", "TH",
    "CAPTION", "FORM", "TEXTAREA", "SELECT", "OPTION", "FONT", "SUB", "SUP", "BIG", "SMALL", "P", "MAP",
    "FRAMESET", "NOFRAMES", "SCRIPT", "DIV", "S", "STRIKE", "TR", "NOBR", "STYLE", "SPAN", "COLGROUP", "LABEL",
    "THEAD", "TBODY", "TFOOT", "OBJECT",
    "LI", "BR", "HR", "DD", "DT", "IMG", "BASE", "BUTTON", "INPUT", "SELECTED", "BASEFONT", "AREA", "FRAME",
    "PAGE", "BGSOUND", "WRAP", "META", "PANEL", "WBR", "LINK", "COL", "PARAM", "READONLY"};

namespace {

struct AttrRow {
    const char* Name;
    Symb Sy;
};

// Searched in order; the first match wins (the second VALUE row is never reached).
const AttrRow kAttributes[] = {
    {"HREF", HrefSy}, {"NAME", NameSy}, {"SRC", SrcSy}, {"ALT", AltSy}, {"ALIGN", AlignSy}, {"TEXT", TextSy},
    {"BGCOLOR", BGColorSy}, {"LINK", LinkSy}, {"BACKGROUND", BackgroundSy}, {"COLSPAN", ColSpanSy},
    {"ROWSPAN", RowSpanSy}, {"BORDER", BorderSy}, {"CELLPADDING", CellPaddingSy},
    {"CELLSPACING", CellSpacingSy}, {"VALIGN", VAlignSy}, {"WIDTH", WidthSy}, {"START", StartSy},
    {"VALUE", ValueSy}, {"TYPE", TypeSy}, {"CHECKBOX", CheckBoxSy}, {"RADIO", RadioSy}, {"METHOD", MethodSy},
    {"ACTION", ActionSy}, {"CHECKED", CheckedSy}, {"SIZE", SizeSy}, {"MAXLENGTH", MaxLengthSy},
    {"COLS", ColsSy}, {"ROWS", RowsSy}, {"MULTIPLE", MultipleSy}, {"VALUE", ValueSy},
    {"SELECTED", SelectedSy}, {"FACE", FaceSy}, {"COLOR", ColorSy}, {"TRANSP", TranspSy}, {"CLEAR", ClearSy},
    {"ISMAP", IsMapSy}, {"BORDERCOLOR", BorderColorSy}, {"USEMAP", UseMapSy}, {"SHAPE", ShapeSy},
    {"COORDS", CoordsSy}, {"NOHREF", NoHrefSy}, {"HEIGHT", HeightSy}, {"PLAIN", PlainSy},
    {"TARGET", TargetSy}, {"NORESIZE", NoResizeSy}, {"SCROLLING", ScrollingSy}, {"HSPACE", HSpaceSy},
    {"LANGUAGE", LanguageSy}, {"FRAMEBORDER", FrameBorderSy}, {"MARGINWIDTH", MarginWidthSy},
    {"MARGINHEIGHT", MarginHeightSy}, {"LOOP", LoopSy}, {"ONCLICK", OnClickSy}, {"WRAP", WrapSy},
    {"NOSHADE", NoShadeSy}, {"HTTP-EQUIV", HttpEqSy}, {"CONTENT", ContentSy}, {"ENCTYPE", EncTypeSy},
    {"VLINK", VLinkSy}, {"OLINK", OLinkSy}, {"ACTIVE", ActiveSy}, {"VSPACE", VSpaceSy}, {"CLASS", ClassSy},
    {"ID", IDSy}, {"STYLE", StyleSy}, {"REL", RelSy}, {"REV", RevSy}, {"NOWRAP", NoWrapSy},
    {"BORDERCOLORLIGHT", BorderColorLightSy}, {"BORDERCOLORDARK", BorderColorDarkSy}, {"CHARSET", CharSetSy},
    {"RATIO", RatioSy}, {"TITLE", TitleSy}, {"ONFOCUS", OnFocusSy}, {"ONBLUR", OnBlurSy},
    {"ONCHANGE", OnChangeSy}, {"SPAN", SpanSy}, {"TABINDEX", TabIndexSy}, {"BGPROPERTIES", BGPropertiesSy},
    {"DISABLED", DisabledSy}, {"TOPMARGIN", TopMarginSy}, {"LEFTMARGIN", LeftMarginSy}, {"LABEL", LabelSy},
    {"READONLY", ReadonlySy}};
static_assert(sizeof(kAttributes) / sizeof(kAttributes[0]) == 84);

}  // namespace

// Both look-ups run for every tag and attribute of a page, so the tables are hashed once.
namespace {

// A fixed table of upper-case names, open addressing on a short hash: a look-up costs a few dozen
// instructions. The first row of a name is the one kept, as a linear search would find it.
class NameTable {
public:
    void Add(std::string_view name, Symb sy)
    {
        std::size_t i = Hash(name) & kMask;
        while (slots_[i].Used) {
            if (slots_[i].Name == name)
                return;
            i = (i + 1) & kMask;
        }
        slots_[i] = {name, sy, true};
    }
    Symb Find(std::string_view name, Symb none) const
    {
        for (std::size_t i = Hash(name) & kMask;; i = (i + 1) & kMask) {
            if (!slots_[i].Used)
                return none;
            if (slots_[i].Name == name)
                return slots_[i].Sy;
        }
    }

private:
    static constexpr std::size_t kMask = 255;  // room for both tables at less than half full
    struct Slot {
        std::string_view Name;
        Symb Sy = NoSy;
        bool Used = false;
    };
    static std::size_t Hash(std::string_view name)
    {
        std::uint32_t h = 2166136261u;
        for (char c : name)
            h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
        return h ^ (h >> 13);
    }
    std::array<Slot, kMask + 1> slots_{};
};

}  // namespace

Symb LookupTag(std::string_view upperName)
{
    static const NameTable byName = [] {
        NameTable t;
        for (int i = 0; i < kTagCount; ++i)
            t.Add(kTagNames[i], static_cast<Symb>(i));
        return t;
    }();
    return byName.Find(upperName, NoSy);
}

Symb LookupAttribute(std::string_view upperName)
{
    static const NameTable byName = [] {
        NameTable t;
        for (const AttrRow& row : kAttributes)
            t.Add(row.Name, row.Sy);
        return t;
    }();
    return byName.Find(upperName, OtherAttribute);
}

std::string TagName(Symb sy)
{
    if (sy < kTagCount)
        return LowerCase(kTagNames[sy]);
    return {};
}

std::string EndTagName(Symb sy)
{
    if (sy >= HtmlEndSy && sy <= ObjectEndSy)
        return LowerCase(kTagNames[sy - HtmlEndSy]);
    return {};
}

Symb EndSymbolOf(Symb sy)
{
    if (sy < kEndTagCount)
        return static_cast<Symb>(sy + HtmlEndSy);
    return NoSy;
}

std::string AttributeName(Symb sy)
{
    for (const AttrRow& row : kAttributes)
        if (row.Sy == sy)
            return row.Name;
    return {};
}

}  // namespace velmoran
