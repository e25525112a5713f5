// The symbols of the HTML tokenizer: one start symbol per known tag, an end symbol for the first
// 57 of them, one symbol per attribute name and the special token kinds, with the name tables and
// the symbol sets the element routines use as terminators.
#pragma once

#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace velmoran {

enum Symb : std::uint8_t {
    // tags with an end symbol (table order)
    HtmlSy, TitleSy, BodySy, HeadSy, BSy, ISy, HeadingSy, EmSy, StrongSy, USy, CiteSy, VarSy, TTSy, CodeSy,
    KbdSy, SampSy, OLSy, ULSy, DirSy, MenuSy, DLSy, ASy, AddressSy, BlockQuoteSy, PreSy, CenterSy, TableSy,
    TDSy, THSy, CaptionSy, FormSy, TextAreaSy, SelectSy, OptionSy, FontSy, SubSy, SupSy, BigSy, SmallSy, PSy,
    MapSy, FrameSetSy, NoFramesSy, ScriptSy, DivSy, SSy, StrikeSy, TRSy, NoBrSy, StyleSy, SpanSy, ColGroupSy,
    LabelSy, THeadSy, TBodySy, TFootSy, ObjectSy,
    // tags without an end symbol
    LISy, BRSy, HRSy, DDSy, DTSy, ImageSy, BaseSy, ButtonSy, InputSy, SelectedSy, BaseFontSy, AreaSy, FrameSy,
    PageSy, BgSoundSy, WrapSy, MetaSy, PanelSy, WbrSy, LinkSy, ColSy, ParamSy, ReadonlySy,
    // end symbols, in the order of the first 57 tags
    HtmlEndSy, TitleEndSy, BodyEndSy, HeadEndSy, BEndSy, IEndSy, HeadingEndSy, EmEndSy, StrongEndSy, UEndSy,
    CiteEndSy, VarEndSy, TTEndSy, CodeEndSy, KbdEndSy, SampEndSy, OLEndSy, ULEndSy, DirEndSy, MenuEndSy,
    DLEndSy, AEndSy, AddressEndSy, BlockQuoteEndSy, PreEndSy, CenterEndSy, TableEndSy, TDEndSy, THEndSy,
    CaptionEndSy, FormEndSy, TextAreaEndSy, SelectEndSy, OptionEndSy, FontEndSy, SubEndSy, SupEndSy, BigEndSy,
    SmallEndSy, PEndSy, MapEndSy, FrameSetEndSy, NoFramesEndSy, ScriptEndSy, DivEndSy, SEndSy, StrikeEndSy,
    TREndSy, NoBrEndSy, StyleEndSy, SpanEndSy, ColGroupEndSy, LabelEndSy, THeadEndSy, TBodyEndSy, TFootEndSy,
    ObjectEndSy,
    // attribute names that are not also tag names (TEXT reads as TextSy)
    HrefSy, NameSy, SrcSy, AltSy, AlignSy, BGColorSy, BackgroundSy, ColSpanSy, RowSpanSy, BorderSy,
    CellPaddingSy, CellSpacingSy, VAlignSy, WidthSy, StartSy, ValueSy, TypeSy, CheckBoxSy, RadioSy, MethodSy,
    ActionSy, CheckedSy, SizeSy, MaxLengthSy, ColsSy, RowsSy, MultipleSy, FaceSy, ColorSy, TranspSy, ClearSy,
    IsMapSy, BorderColorSy, UseMapSy, ShapeSy, CoordsSy, NoHrefSy, HeightSy, PlainSy, TargetSy, NoResizeSy,
    ScrollingSy, HSpaceSy, LanguageSy, FrameBorderSy, MarginWidthSy, MarginHeightSy, LoopSy, OnClickSy,
    NoShadeSy, HttpEqSy, ContentSy, EncTypeSy, VLinkSy, OLinkSy, ActiveSy, VSpaceSy, ClassSy, IDSy, RelSy,
    RevSy, NoWrapSy, BorderColorLightSy, BorderColorDarkSy, CharSetSy, RatioSy, OnFocusSy, OnBlurSy,
    OnChangeSy, TabIndexSy, BGPropertiesSy, DisabledSy, TopMarginSy, LeftMarginSy,
    // special token kinds
    TextSy, EofSy, CommandSy, OtherAttribute, EolSy, OtherChar,
    NoSy  // "no symbol"
};

constexpr int kTagCount = 80;
constexpr int kEndTagCount = 57;
static_assert(HtmlEndSy == kTagCount && ObjectEndSy == kTagCount + kEndTagCount - 1);

// Upper-case tag names in table order; a tag's start symbol is its index.
extern const char* const kTagNames[kTagCount];

// The start symbol of an upper-case tag name, NoSy when it is not in the table.
Symb LookupTag(std::string_view upperName);
// The symbol of an upper-case attribute name, OtherAttribute when it is not in the table.
Symb LookupAttribute(std::string_view upperName);
// Lower-case tag name of a start symbol, empty for other symbols.
std::string TagName(Symb sy);
// Lower-case tag name of an end symbol, empty for other symbols.
std::string EndTagName(Symb sy);
// The end symbol of a start symbol, NoSy when the tag has none.
Symb EndSymbolOf(Symb sy);
// Upper-case attribute name of an attribute symbol (for reports), empty when it has none.
std::string AttributeName(Symb sy);

// A set of symbols, used as terminator sets by the element routines.
class SymbSet {
public:
    SymbSet() = default;
    SymbSet(std::initializer_list<Symb> symbols)
    {
        for (Symb s : symbols)
            bits_.set(s);
    }
    bool Has(Symb s) const { return bits_.test(s); }
    SymbSet operator+(const SymbSet& other) const
    {
        SymbSet r = *this;
        r.bits_ |= other.bits_;
        return r;
    }
    SymbSet operator-(const SymbSet& other) const
    {
        SymbSet r = *this;
        r.bits_ &= ~other.bits_;
        return r;
    }

private:
    std::bitset<256> bits_;
};

}  // namespace velmoran
