// The style property set of one element: the values of 60 CSS properties, which of them were set
// on the element itself, its selector parts, its font and character set; inheritance from the
// enclosing element and the typed getters the layout reads.
#pragma once

#include "html/base/FreeList.h"
#include "html/style/Colors.h"
#include "html/style/Fonts.h"
#include "html/style/PropValue.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmoran {

enum CssPropertyIndex : int {
    FontFamily, FontSize, FontStyle, FontWeight, TextAlign, TextDecoration, LetterSpacing, BorderStyle,
    Color, BackgroundColor, BorderColor,
    MarginTop, MarginRight, MarginBottom, MarginLeft,
    PaddingTop, PaddingRight, PaddingBottom, PaddingLeft,
    BorderTopWidth, BorderRightWidth, BorderBottomWidth, BorderLeftWidth,
    BorderTopColor, BorderRightColor, BorderBottomColor, BorderLeftColor,
    BorderTopStyle, BorderRightStyle, BorderBottomStyle, BorderLeftStyle,
    piWidth, piHeight, piTop, piBottom, piRight, piLeft,
    Visibility, LineHeight, BackgroundImage, BackgroundPosition, BackgroundRepeat, BackgroundAttachment,
    VerticalAlign, psPosition, ZIndex, ListStyleType, ListStyleImage, psFloat, psClear, TextIndent,
    PageBreakBefore, PageBreakAfter, PageBreakInside, TextTransform, WordWrap, FontVariant,
    BorderCollapse, OverFlow, piDisplay,
    PropCount
};

constexpr int UnsetInteger = -12345678;
constexpr int AutoLength = -12348765;
constexpr int DefaultMarginLength = -12348766;

// The property name of an index, and the index of a name (-1 for names outside the model).
const char* PropertyName(int index);
int PropertyIndex(std::string_view name);

// "top" 1, "middle"/"absmiddle"/"center" 2, "baseline" 3, "bottom" 4, "left" 5, "right" 6,
// "justify" 7, other 0 (any case).
int AlignmentKeyword(std::string_view text);
// "none" 0, "solid" 1, "inset" 2, "outset" 3, "groove" 4, "ridge" 5, "dashed" 6, "dotted" 7,
// "double" 8, unknown 0.
int BorderStyleKeyword(std::string_view text);

// One axis of a background position.
struct PositionRec {
    enum Kind : std::uint8_t { Top, Center, Bottom, Left, Right, Percent, Pixels };
    std::uint8_t PosType = Pixels;
    int Value = 0;
    bool RepeatD = true;
    bool Fixed = false;
};

struct VertMargins {
    int Top = 0;
    int Bottom = 0;
    bool TopDefault = false;
    bool BottomDefault = false;
};

class TStyleList;
class TPropStack;

class TProperties {
public:
    explicit TProperties(TPropStack* stack = nullptr);
    ~TProperties();
    TProperties(const TProperties&) = delete;
    TProperties& operator=(const TProperties&) = delete;

    // All values, charset, code page and default font name; the tag becomes "default".
    void Copy(const TProperties& source);
    void CopyValues(const TProperties& source);
    void Inherit(const std::string& tag, const TProperties* parent);
    // Takes every value not set here from source (re-deriving a set after its neighbour closed).
    void MergeUnset(const TProperties& source);
    // Sets a value (and its set-here flag) only when not yet set on this element.
    void AssignProp(int index, const PropValue& value);
    // A declaration of the element's STYLE attribute.
    void AddPropertyByName(std::string_view name, std::string_view value);
    void AssignCharSet(std::uint8_t charset);
    void AssignUTF8();
    // The cascade for this element (see TStyleList::ApplyStyles).
    void ApplyStyles(TStyleList& styles, const std::string& tag, const std::string& cls, const std::string& id,
                     const std::string& pseudo, const std::string& title, const TProperties* styleAttr);

    // The element's font (built once, then cached); the caller owns the copy.
    TMyFont GetFont();
    // The link-state font of a property set.
    ThtFontInfo FontInfo();

    // --- typed getters ---
    bool GetVertAlign(int& align) const;
    bool GetFloat(int& align) const;
    bool GetClear(int& clear) const;
    int GetListStyleType() const;
    bool GetListStyleImage(std::string& url) const;
    bool GetBackgroundImage(std::string& url) const;
    int GetPosition() const;
    int GetVisibility() const;
    int GetZIndex() const;
    bool DisplayNone() const;
    bool IsOverflowHidden() const;
    bool IsCollapsed() const;
    int GetLineHeight(int normalHeight) const;
    int GetTextIndent(bool& isPercent) const;
    int GetTextTransform() const;
    std::string GetFontVariant() const;
    void GetPageBreaks(bool& before, bool& after, bool& inside) const;
    TColor GetOwnBackgroundColor() const;
    TColor GetOwnColor() const;
    TColor GetBackgroundColor();
    int GetBorderStyle() const;
    bool HasBorderStyle() const;
    void GetBackgroundPos(int width, int height, PositionRec& x, PositionRec& y) const;
    VertMargins GetVertMargins() const;
    // Values 9..36 as integers (colours, pixels, AutoLength); see the layout of blocks.
    std::array<int, PropCount> GetVMarginArray(int width, int height, int emSize, int exSize, int& autoCount) const;
    // Paddings top, right, bottom, left; "%" as the negative percentage; unset -1.
    std::array<int, 4> GetCellPaddings(int emSize, int exSize) const;

    bool HasFontInfo() const { return FIArray != nullptr; }
    // The font cache is dropped whenever values change from outside.
    void DropFont() { font_.reset(); }

    // --- fields ---
    bool LinkFont = false;              // carries per-link-state fonts
    std::string DefFontname;
    std::string PropTag, PropClass, PropID, PropPseudo, PropTitle;
    TColor EffectiveBackground = NoColor;
    std::uint8_t Charset = kDefaultCharset;
    int CodePage = 1252;
    int EmSize = 16;
    int ExSize = 8;
    std::array<PropValue, PropCount> Props;
    std::array<bool, PropCount> Originals{};
    std::unique_ptr<TFontInfoArray> FIArray;
    int ID;                             // sequence number of the set
    TPropStack* PropStack;              // the stack the set lives on, or none
    TStyleList* StyleList = nullptr;    // the style list its cascade ran on

private:
    std::optional<TMyFont> font_;  // built on first use, kept in the set
};

// The fonts built for the sets of one stack, found again by the values that make a font: the
// thousands of cells of a result page share a handful of them, and a font is costly to realise.
class TFontMemo {
public:
    // The font and em size built for values equal to these, or null.
    const TMyFont* Find(const TProperties& props, int& emSize);
    void Remember(const TProperties& props, const TMyFont& font, int emSize);

private:
    struct Entry {
        std::array<PropValue, 8> Values;
        std::string DefFontname;
        std::uint8_t Charset = 0;
        double DefaultSize = 0;
        const void* Engine = nullptr;
        TMyFont Font;
        int EmSize = 0;
    };
    static bool Matches(const Entry& e, const TProperties& props);
    std::vector<Entry> entries_;
    std::size_t next_ = 0;    // the entry a full memo replaces next
    std::size_t recent_ = 0;  // the entry found or added last, tried first
};

// The parser's stack of open elements' property sets; entry 0 is the document default. A set taken
// off the top is kept for the next one pushed, so that the thousands of elements of a page do not
// each allocate and free a set.
class TPropStack : public TFreeList<TProperties> {
public:
    // A new set on top (not yet inheriting).
    TProperties* Push();
    void Pop()
    {
        if (Count() > 0)
            spare_.push_back(Extract(Count() - 1));
    }
    TFontMemo Fonts;

private:
    std::vector<std::unique_ptr<TProperties>> spare_;
};

}  // namespace velmoran

namespace velmoran {

// Converts one declaration into the values of a property set, as style rules and STYLE attributes
// do: "border-style" also sets the four side styles, "border-color" the four side colours, a side
// style other than "none" also the overall style; colours are parsed (an unparsable colour leaves
// the value, except "background-color" which becomes NoColor, and for STYLE attributes "color"
// which becomes black); visibility, text-transform, word-wrap and font-variant become their codes;
// everything else is kept as text. Returns false for names outside the model.
// Converts the box values 9..36 (margins, paddings, border widths, colours and styles, width,
// height, offsets) to integers against a width (percent base) and height: colours or NoColor,
// pixels, AutoLength for "auto" (left/right margins and width count in autoCount), border widths
// 0 without a side style, thin 2, medium 4, thick 6. Blocks keep the unconverted values and convert
// again for every layout width.
std::array<int, PropCount> ConvMargArray(const std::array<PropValue, PropCount>& values, int width, int height,
                                         int emSize, int exSize, int& autoCount);

bool StoreProperty(TProperties& target, std::string_view name, std::string_view value, bool fromAttribute);

// A text value; the alignment words the parser gives cells and paragraphs ("left", "right",
// "center", "justify") are kept once, so that equal elements hold the very same values.
PropValue KeywordValue(const std::string& word);

}  // namespace velmoran
