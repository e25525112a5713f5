// Style property sets; see Properties.h.
#include "html/style/Properties.h"

#include "html/base/WideText.h"
#include "html/style/StyleList.h"
#include "platform/core/ScopeExit.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace velmoran {

namespace {

// A length stored as a number, held within the page's bounds; the markers for auto, unset and the
// default margin stay as they are.
int Bounded(int v)
{
    return v == AutoLength || v == UnsetInteger || v == DefaultMarginLength ? v : ClampLength(v);
}

const char* const kPropWords[PropCount] = {
    "font-family", "font-size", "font-style", "font-weight", "text-align", "text-decoration",
    "letter-spacing", "border-style", "color", "background-color", "border-color",
    "margin-top", "margin-right", "margin-bottom", "margin-left",
    "padding-top", "padding-right", "padding-bottom", "padding-left",
    "border-top-width", "border-right-width", "border-bottom-width", "border-left-width",
    "border-top-color", "border-right-color", "border-bottom-color", "border-left-color",
    "border-top-style", "border-right-style", "border-bottom-style", "border-left-style",
    "width", "height", "top", "bottom", "right", "left",
    "visibility", "line-height", "background-image", "background-position", "background-repeat",
    "background-attachment", "vertical-align", "position", "z-index", "list-style-type",
    "list-style-image", "float", "clear", "text-indent", "page-break-before", "page-break-after",
    "page-break-inside", "text-transform", "word-wrap", "font-variant", "border-collapse", "overflow",
    "display",
};

int sequence = 0;

bool IsLengthProp(int i) { return i >= MarginTop && i <= piLeft; }

std::string_view TextOf(const PropValue& v)
{
    return v.IsText() ? std::string_view(v.Text()) : std::string_view();
}

// A number text (digits, optional sign and point) without unit.
bool PlainNumber(const std::string& s, double& n)
{
    const std::string t = Trim(s);
    if (t.empty())
        return false;
    char* end = nullptr;
    n = std::strtod(t.c_str(), &end);
    return end != t.c_str() && *end == 0 && t.find_first_of("eExX") == std::string::npos;
}

bool IsBold(const PropValue& v)
{
    if (v.IsNumber())
        return v.AsNumber() >= 600;
    const std::string t = LowerCase(TextOf(v));
    if (Contains(t, "bold"))
        return true;
    double n = 0;
    return PlainNumber(t, n) && n >= 600;
}

// The url inside "url(...)", unquoted.
std::string ReadUrl(const std::string& value)
{
    std::string s = Trim(value);
    const auto p = LowerCase(s).find("url(");
    if (p != std::string::npos) {
        s = s.substr(p + 4);
        const auto close = s.find(')');
        if (close != std::string::npos)
            s = s.substr(0, close);
        s = Trim(s);
    }
    if (s.size() > 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
        s = s.substr(1, s.size() - 2);
    return s;
}

}  // namespace

const char* PropertyName(int index)
{
    return index >= 0 && index < PropCount ? kPropWords[index] : "";
}

int PropertyIndex(std::string_view name)
{
    for (int i = 0; i < PropCount; ++i)
        if (name == kPropWords[i])
            return i;
    return -1;
}

int AlignmentKeyword(std::string_view text)
{
    const std::string s = LowerCase(Trim(text));
    if (s == "top")
        return 1;
    if (s == "middle" || s == "absmiddle" || s == "center")
        return 2;
    if (s == "baseline")
        return 3;
    if (s == "bottom")
        return 4;
    if (s == "left")
        return 5;
    if (s == "right")
        return 6;
    if (s == "justify")
        return 7;
    return 0;
}

int BorderStyleKeyword(std::string_view text)
{
    static const char* const words[] = {"none", "solid", "inset", "outset", "groove", "ridge", "dashed", "dotted", "double"};
    std::size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ')
        --e;
    const std::string_view s = text.substr(b, e - b);
    for (int i = 0; i < 9; ++i)
        if (SameText(s, words[i]))
            return i;
    return 0;
}

bool StoreProperty(TProperties& t, std::string_view name, std::string_view rawValue, bool fromAttribute)
{
    const int i = PropertyIndex(name);
    if (i < 0)
        return false;
    const std::string value(rawValue);
    auto& p = t.Props;
    // Every value a declaration writes is marked, so that merging takes only declared values.
    const std::array<PropValue, PropCount> before = t.Props;
    const ScopeExit mark([&] {
        for (int k = 0; k < PropCount; ++k)
            if (!(t.Props[k] == before[k]))
                t.Originals[k] = true;
    });
    TColor c = 0;
    switch (i) {
    case BorderStyle:
        p[BorderStyle] = value;
        for (int k = BorderTopStyle; k <= BorderLeftStyle; ++k)
            p[k] = value;
        break;
    case Color:
        if (ParseColor(value, false, c))
            p[Color] = c;
        else if (fromAttribute)
            p[Color] = 0;
        break;
    case BackgroundColor:
        p[BackgroundColor] = ParseColor(value, false, c) ? c : NoColor;
        break;
    case BorderColor:
        if (ParseColor(value, false, c)) {
            p[BorderColor] = c;
            for (int k = BorderTopColor; k <= BorderLeftColor; ++k)
                p[k] = c;
        }
        break;
    case BorderTopColor:
    case BorderRightColor:
    case BorderBottomColor:
    case BorderLeftColor:
        if (ParseColor(value, false, c))
            p[i] = c;
        break;
    case BorderTopStyle:
    case BorderRightStyle:
    case BorderBottomStyle:
    case BorderLeftStyle:
        p[i] = value;
        if (LowerCase(Trim(value)) != "none")
            p[BorderStyle] = value;
        break;
    case Visibility:
        if (value == "visible")
            p[i] = 2;
        else if (value == "hidden")
            p[i] = 1;
        break;
    case TextTransform:
        p[i] = value == "uppercase" ? 1 : value == "lowercase" ? 2 : 0;
        break;
    case WordWrap:
        p[i] = value == "break-word" ? "break-word" : "normal";
        break;
    case FontVariant:
        if (value == "small-caps" || value == "normal")
            p[i] = value;
        break;
    default:
        p[i] = value;
        break;
    }
    t.Originals[i] = true;
    return true;
}

PropValue KeywordValue(const std::string& word)
{
    static const PropValue kept[] = {PropValue("left"), PropValue("right"), PropValue("center"), PropValue("justify")};
    for (const PropValue& v : kept)
        if (v.Text() == word)
            return v;
    return PropValue(word);
}

TProperties::TProperties(TPropStack* stack) : ID(++sequence), PropStack(stack)
{
    // The lengths start unset, z-index at 0; the values are numbers, so a plain copy makes them.
    static const std::array<PropValue, PropCount> initial = [] {
        std::array<PropValue, PropCount> v;
        for (int i = MarginTop; i <= piLeft; ++i)
            v[i] = UnsetInteger;
        v[ZIndex] = 0;
        return v;
    }();
    PropValue::CopyNumbers(Props.data(), initial.data(), PropCount);
}

TProperties::~TProperties() = default;

void TProperties::Copy(const TProperties& source)
{
    Props = source.Props;
    Charset = source.Charset;
    CodePage = source.CodePage;
    DefFontname = source.DefFontname;
    PropTag = "default";
    font_.reset();
}

void TProperties::CopyValues(const TProperties& source)
{
    Props = source.Props;
    font_.reset();
}

void TProperties::Inherit(const std::string& tag, const TProperties* parent)
{
    if (!parent)
        return;
    const std::string& ptag = parent->PropTag;
    if (ptag == "span") {
        for (int i = 0; i < PropCount; ++i)
            if (i != BorderStyle)
                Props[i] = parent->Props[i];
    } else if (ptag == "thead" || ptag == "tbody" || ptag == "tfoot") {
        Props = parent->Props;
        Originals = parent->Originals;
    } else {
        for (int i = 0; i < PropCount; ++i) {
            if (IsLengthProp(i)) {
                Props[i] = UnsetInteger;
                continue;
            }
            switch (i) {
            case BorderStyle: case BackgroundColor: case BorderColor:
            case BackgroundImage: case BackgroundPosition: case BackgroundRepeat: case BackgroundAttachment:
            case psPosition: case psFloat: case psClear:
            case PageBreakBefore: case PageBreakAfter: case PageBreakInside:
            case BorderCollapse: case OverFlow: case piDisplay:
                break;  // not inherited
            default:
                Props[i] = parent->Props[i];
            }
        }
        if (tag == "table")
            Props[WordWrap] = "normal";
    }
    DefFontname = parent->DefFontname;
    EffectiveBackground = parent->EffectiveBackground;
    Charset = parent->Charset;
    CodePage = parent->CodePage;
    PropTitle = parent->PropTitle;
    if (parent->FIArray) {
        FIArray = std::make_unique<TFontInfoArray>(*parent->FIArray);
        LinkFont = true;
    }
    EmSize = parent->EmSize;
    ExSize = EmSize / 2;
    font_.reset();
}

void TProperties::MergeUnset(const TProperties& source)
{
    for (int i = 0; i < PropCount; ++i)
        if (!Originals[i])
            Props[i] = source.Props[i];
    font_.reset();
    if (source.FIArray) {
        FIArray = std::make_unique<TFontInfoArray>(*source.FIArray);
        LinkFont = true;
    } else if (PropPseudo == "link") {
        if (StyleList)
            StyleList->BuildLinkFontInfo(*this);
    } else {
        FIArray.reset();
        LinkFont = false;
    }
}

void TProperties::AssignProp(int index, const PropValue& value)
{
    if (index < 0 || index >= PropCount || Originals[index])
        return;
    Props[index] = value;
    Originals[index] = true;
    font_.reset();
    if (!FIArray)
        return;
    for (auto& info : FIArray->Ar) {
        if (index == FontFamily && value.IsText()) {
            const std::string face = FirstInstalledFontFamily(value.Text());
            info.Name = face.empty() ? value.Text() : face;
        } else if (index == FontSize) {
            info.Size = value.IsText() ? FontSizeToPoints(value.Text(), info.Size) : value.AsNumber();
        } else if (index == Color && value.IsInt()) {
            info.Color = value.Color();
        }
    }
}

void TProperties::AddPropertyByName(std::string_view name, std::string_view value)
{
    if (StoreProperty(*this, name, value, true))
        font_.reset();
}

void TProperties::AssignCharSet(std::uint8_t charset)
{
    struct Row {
        std::uint8_t Charset;
        int CodePage;
    };
    static const Row table[] = {{0, 1252}, {1, 0}, {2, 0}, {77, 2}, {128, 932}, {129, 949}, {130, 1361},
                                {134, 936}, {136, 950}, {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255},
                                {178, 1256}, {186, 1257}, {204, 1251}, {222, 874}, {238, 1250}, {255, 1}};
    if (charset == 31) {  // the pseudo-charset for ISO-8859-2
        Charset = 238;
        CodePage = 28592;
    } else {
        // The screen realises every charset as asked, so the charset delivered is the one requested.
        Charset = charset;
        for (const Row& r : table)
            if (r.Charset == charset)
                CodePage = r.CodePage;
    }
    if (FIArray)
        for (auto& info : FIArray->Ar)
            info.Charset = Charset;
    font_.reset();
}

void TProperties::AssignUTF8()
{
    CodePage = 65001;
    Charset = 0;
    if (FIArray)
        for (auto& info : FIArray->Ar)
            info.Charset = Charset;
    font_.reset();
}

void TProperties::ApplyStyles(TStyleList& styles, const std::string& tag, const std::string& cls,
                              const std::string& id, const std::string& pseudo, const std::string& title,
                              const TProperties* styleAttr)
{
    styles.ApplyStyles(*this, tag, cls, id, pseudo, title, styleAttr);
}

ThtFontInfo TProperties::FontInfo()
{
    ThtFontInfo info;
    const std::string family = FirstInstalledFontFamily(TextOf(Props[FontFamily]));
    info.Name = family.empty() ? DefFontname : family;
    const PropValue& size = Props[FontSize];
    info.Size = size.IsNumber() ? size.AsNumber()
                : size.IsText() ? FontSizeToPoints(size.Text(), DefaultFontSize())
                                : DefaultFontSize();
    const std::string_view style = TextOf(Props[FontStyle]);
    const std::string decoration = LowerCase(TextOf(Props[TextDecoration]));
    if (IsBold(Props[FontWeight]))
        info.Style |= fsBold;
    if (SameText(style, "italic") || SameText(style, "oblique"))
        info.Style |= fsItalic;
    if (Contains(decoration, "underline"))
        info.Style |= fsUnderline;
    if (Contains(decoration, "line-through"))
        info.Style |= fsStrikeOut;
    info.Color = Props[Color].IsInt() ? Props[Color].Color() : 0;
    info.BGColor = Props[BackgroundColor].IsInt() ? Props[BackgroundColor].Color() : NoColor;
    info.Charset = Charset;
    info.LetterSpacing = Props[LetterSpacing];
    return info;
}

namespace {

// The values a font is made from (see FontInfo and GetFont).
constexpr std::array<int, 8> kFontValues{FontFamily, FontSize, FontStyle, TextDecoration,
                                         FontWeight, Color,    BackgroundColor, LetterSpacing};
constexpr std::size_t kFontMemoSize = 32;

}  // namespace

bool TFontMemo::Matches(const Entry& e, const TProperties& props)
{
    for (std::size_t i = 0; i < kFontValues.size(); ++i)
        if (!(e.Values[i] == props.Props[static_cast<std::size_t>(kFontValues[i])]))
            return false;
    return e.Charset == props.Charset && e.DefaultSize == DefaultFontSize() && e.Engine == &ScreenFonts() &&
           e.DefFontname == props.DefFontname;
}

const TMyFont* TFontMemo::Find(const TProperties& props, int& emSize)
{
    if (recent_ < entries_.size() && Matches(entries_[recent_], props)) {
        emSize = entries_[recent_].EmSize;
        return &entries_[recent_].Font;
    }
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (Matches(entries_[i], props)) {
            recent_ = i;
            emSize = entries_[i].EmSize;
            return &entries_[i].Font;
        }
    return nullptr;
}

void TFontMemo::Remember(const TProperties& props, const TMyFont& font, int emSize)
{
    Entry e;
    for (std::size_t i = 0; i < kFontValues.size(); ++i)
        e.Values[i] = props.Props[static_cast<std::size_t>(kFontValues[i])];
    e.DefFontname = props.DefFontname;
    e.Charset = props.Charset;
    e.DefaultSize = DefaultFontSize();
    e.Engine = &ScreenFonts();
    e.Font = font;
    e.EmSize = emSize;
    if (entries_.size() < kFontMemoSize) {
        recent_ = entries_.size();
        entries_.push_back(std::move(e));
        return;
    }
    recent_ = next_;
    entries_[next_] = std::move(e);
    next_ = (next_ + 1) % kFontMemoSize;
}

TMyFont TProperties::GetFont()
{
    int memoEm = 0;
    if (!font_ && PropStack)
        if (const TMyFont* known = PropStack->Fonts.Find(*this, memoEm)) {
            font_.emplace(*known);
            EmSize = memoEm;
            ExSize = EmSize / 2;
        }
    if (!font_) {
        const ThtFontInfo info = FontInfo();
        auto f = std::make_optional<TMyFont>();
        f->Name = info.Name;
        f->Height = -RoundLength(kPixelsPerInch * info.Size / 72);
        f->Style = info.Style;
        f->Color = info.Color;
        f->BGColor = info.BGColor;
        f->Charset = Charset;
        // Realise with the default charset first; only a symbol font keeps what it delivers.
        f->Charset = kDefaultCharset;
        const TextMetrics first = ScreenFonts().Metrics(f->Logical());
        f->Charset = first.Charset == kSymbolCharset ? kSymbolCharset : Charset;
        f->UpdateMetrics();
        const TextMetrics m = ScreenFonts().Metrics(f->Logical());
        EmSize = m.Height - m.InternalLeading;
        ExSize = EmSize / 2;
        const PropValue& ls = Props[LetterSpacing];
        if (ls.IsInt())
            f->CharExtra = ClampLength(ls.Int());
        else if (ls.IsText() && ls.Text() != "normal")
            f->CharExtra = LengthToPixels(ls.Text(), false, EmSize, 0, ExSize, EmSize);
        font_ = std::move(f);
        if (PropStack)
            PropStack->Fonts.Remember(*this, *font_, EmSize);
    }
    return *font_;
}

// ----- typed getters -----

bool TProperties::GetVertAlign(int& align) const
{
    const std::string s = LowerCase(TextOf(Props[VerticalAlign]));
    if (s == "top" || s == "text-top")
        align = 1;
    else if (s == "middle")
        align = 2;
    else if (s == "baseline")
        align = 3;
    else if (s == "bottom")
        align = 4;
    else if (s == "sub")
        align = 8;
    else if (s == "super")
        align = 9;
    else
        return false;
    return true;
}

bool TProperties::GetFloat(int& align) const
{
    const std::string s = LowerCase(TextOf(Props[psFloat]));
    if (s == "left")
        align = 5;
    else if (s == "right")
        align = 6;
    else if (s == "none")
        align = 0;
    else
        return false;
    return true;
}

bool TProperties::GetClear(int& clear) const
{
    const std::string s = LowerCase(TextOf(Props[psClear]));
    if (s == "left")
        clear = 1;
    else if (s == "right")
        clear = 2;
    else if (s == "both")
        clear = 3;
    else if (s == "none")
        clear = 0;
    else
        return false;
    return true;
}

int TProperties::GetListStyleType() const
{
    static const char* const words[] = {"blank", "circle", "decimal", "disc", "lower-alpha",
                                        "lower-roman", "none", "square", "upper-alpha", "upper-roman"};
    const std::string s = LowerCase(TextOf(Props[ListStyleType]));
    for (int i = 0; i < 10; ++i)
        if (s == words[i])
            return i;
    return 0;
}

namespace {
bool ImageUrl(const PropValue& v, std::string& url)
{
    if (!v.IsText())
        return false;
    if (LowerCase(Trim(v.Text())) == "none") {
        url.clear();
        return true;
    }
    if (!Contains(LowerCase(v.Text()), "url("))
        return false;
    url = ReadUrl(v.Text());
    return true;
}
}  // namespace

bool TProperties::GetListStyleImage(std::string& url) const
{
    return ImageUrl(Props[ListStyleImage], url);
}

bool TProperties::GetBackgroundImage(std::string& url) const
{
    return ImageUrl(Props[BackgroundImage], url);
}

int TProperties::GetPosition() const
{
    const std::string s = LowerCase(TextOf(Props[psPosition]));
    return s == "absolute" ? 1 : s == "relative" ? 2 : 0;
}

int TProperties::GetVisibility() const
{
    return Props[Visibility].IsInt() && Props[Visibility].Int() == 1 ? 1 : 2;
}

int TProperties::GetZIndex() const
{
    const PropValue& v = Props[ZIndex];
    if (v.IsInt())
        return v.Int();
    double n = 0;
    return v.IsText() && PlainNumber(v.Text(), n) ? static_cast<int>(n) : 0;
}

bool TProperties::DisplayNone() const
{
    return TextOf(Props[piDisplay]) == "none";
}

bool TProperties::IsOverflowHidden() const
{
    return TextOf(Props[OverFlow]) == "hidden";
}

bool TProperties::IsCollapsed() const
{
    return TextOf(Props[BorderCollapse]) == "collapse";
}

int TProperties::GetLineHeight(int normalHeight) const
{
    const PropValue& v = Props[LineHeight];
    if (v.IsNumber())
        return RoundLength(v.AsNumber());
    if (!v.IsText())
        return -1;
    double n = 0;
    if (PlainNumber(v.Text(), n))
        return RoundLength(normalHeight * n);
    return LengthToPixels(v.Text(), false, EmSize, -1, ExSize, EmSize);
}

int TProperties::GetTextIndent(bool& isPercent) const
{
    isPercent = false;
    const PropValue& v = Props[TextIndent];
    if (v.IsInt())
        return ClampLength(v.Int());
    if (!v.IsText())
        return 0;
    if (Contains(v.Text(), "%")) {
        isPercent = true;
        return std::clamp(RoundLength(std::strtod(v.Text().c_str(), nullptr)), 0, 100);
    }
    return LengthToPixels(v.Text(), false, 0, 0, ExSize, EmSize);
}

int TProperties::GetTextTransform() const
{
    return Props[TextTransform].IsInt() ? Props[TextTransform].Int() : 0;
}

std::string TProperties::GetFontVariant() const
{
    return Props[FontVariant].IsText() ? Props[FontVariant].Text() : "normal";
}

void TProperties::GetPageBreaks(bool& before, bool& after, bool& inside) const
{
    before = TextOf(Props[PageBreakBefore]) == "always";
    after = TextOf(Props[PageBreakAfter]) == "always";
    inside = TextOf(Props[PageBreakInside]) == "avoid";
}

TColor TProperties::GetOwnBackgroundColor() const
{
    return Props[BackgroundColor].IsInt() && Originals[BackgroundColor] ? Props[BackgroundColor].Color() : NoColor;
}

TColor TProperties::GetOwnColor() const
{
    return Props[Color].IsInt() && Originals[Color] ? Props[Color].Color() : NoColor;
}

TColor TProperties::GetBackgroundColor()
{
    const TColor c = GetOwnBackgroundColor();
    if (c != NoColor)
        EffectiveBackground = c;
    return c;
}

int TProperties::GetBorderStyle() const
{
    return BorderStyleKeyword(TextOf(Props[BorderStyle]));
}

bool TProperties::HasBorderStyle() const
{
    return Props[BorderStyle].IsText();
}

void TProperties::GetBackgroundPos(int width, int height, PositionRec& x, PositionRec& y) const
{
    x = PositionRec{};
    y = PositionRec{};
    const PropValue& v = Props[BackgroundPosition];
    if (v.IsText()) {
        const std::string s = LowerCase(Trim(v.Text()));
        const auto blank = s.find(' ');
        std::string words[2] = {s.substr(0, blank), blank == std::string::npos ? std::string() : Trim(s.substr(blank + 1))};
        const auto blank2 = words[1].find(' ');
        if (blank2 != std::string::npos)
            words[1] = words[1].substr(0, blank2);
        PositionRec* recs[2] = {&x, &y};
        auto fill = [&](const std::string& w, PositionRec& r, int extent) {
            if (w == "center") {
                r.PosType = PositionRec::Center;
            } else if (Contains(w, "%")) {
                r.PosType = PositionRec::Percent;
                r.Value = std::clamp(RoundLength(std::strtod(w.c_str(), nullptr)), 0, 100);
            } else if (w == "left") {
                r.PosType = PositionRec::Left;
            } else if (w == "right") {
                r.PosType = PositionRec::Right;
            } else if (w == "top") {
                r.PosType = PositionRec::Top;
            } else if (w == "bottom") {
                r.PosType = PositionRec::Bottom;
            } else {
                r.PosType = PositionRec::Pixels;
                r.Value = LengthToPixels(w, false, extent, 0, ExSize, EmSize);
            }
        };
        // A vertical keyword in the first word moves it to the vertical axis.
        // So does "left"/"right" second: "center left" would otherwise set the vertical axis to "left".
        const bool swap = words[0] == "top" || words[0] == "bottom" || (words[1] == "left" || words[1] == "right");
        if (swap)
            std::swap(recs[0], recs[1]);
        fill(words[0], *recs[0], recs[0] == &x ? width : height);
        if (words[1].empty())
            recs[1]->PosType = PositionRec::Center;
        else
            fill(words[1], *recs[1], recs[1] == &x ? width : height);
    }
    const std::string_view repeat = TextOf(Props[BackgroundRepeat]);
    x.RepeatD = y.RepeatD = true;
    if (repeat == "no-repeat")
        x.RepeatD = y.RepeatD = false;
    else if (repeat == "repeat-x")
        y.RepeatD = false;
    else if (repeat == "repeat-y")
        x.RepeatD = false;
    x.Fixed = y.Fixed = TextOf(Props[BackgroundAttachment]) == "fixed";
}

VertMargins TProperties::GetVertMargins() const
{
    VertMargins m;
    auto one = [&](int index, int& out, bool& isDefault) {
        const PropValue& v = Props[index];
        if (v.IsText())
            out = LengthToPixels(v.Text(), false, 0, 0, ExSize, EmSize);
        else if (v.IsInt() && v.Int() == UnsetInteger)
            out = 0;
        else if (v.IsInt() && v.Int() == DefaultMarginLength) {
            out = 14;
            isDefault = true;
        } else if (v.IsNumber())
            out = RoundLength(std::trunc(v.AsNumber()));
    };
    one(MarginTop, m.Top, m.TopDefault);
    one(MarginBottom, m.Bottom, m.BottomDefault);
    return m;
}

std::array<int, PropCount> TProperties::GetVMarginArray(int width, int height, int emSize, int exSize,
                                                        int& autoCount) const
{
    return ConvMargArray(Props, width, height, emSize, exSize, autoCount);
}

std::array<int, PropCount> ConvMargArray(const std::array<PropValue, PropCount>& Props, int width, int height,
                                         int emSize, int exSize, int& autoCount)
{
    std::array<int, PropCount> m{};
    autoCount = 0;
    auto length = [&](int index, int base, int def) {
        const PropValue& v = Props[index];
        if (v.IsText())
            return LengthToPixels(v.Text(), false, base, def, exSize, emSize);
        if (v.IsInt())
            return v.Int() == UnsetInteger ? def : Bounded(v.Int());
        if (v.IsReal())
            return RoundLength(v.Real());
        return def;
    };
    auto isAuto = [&](int index) { return Props[index].IsText() && LowerCase(Trim(Props[index].Text())) == "auto"; };
    for (int i : {BackgroundColor, BorderColor, BorderTopColor, BorderRightColor, BorderBottomColor, BorderLeftColor})
        m[i] = Props[i].IsInt() ? static_cast<int>(Props[i].Int()) : static_cast<int>(NoColor);
    for (int i = BorderTopStyle; i <= BorderLeftStyle; ++i)
        m[i] = BorderStyleKeyword(TextOf(Props[i]));
    m[MarginTop] = length(MarginTop, width, 0);
    m[MarginBottom] = length(MarginBottom, width, 0);
    for (int i : {MarginRight, MarginLeft}) {
        if (isAuto(i)) {
            m[i] = AutoLength;
            ++autoCount;
        } else {
            m[i] = length(i, width, 0);
        }
    }
    for (int i = PaddingTop; i <= PaddingLeft; ++i)
        m[i] = length(i, width, 0);
    for (int side = 0; side < 4; ++side) {
        const int w = BorderTopWidth + side;
        const int style = BorderTopStyle + side;
        const PropValue& v = Props[w];
        if (m[style] == 0) {
            m[w] = 0;
        } else if (v.IsText()) {
            const std::string t = LowerCase(Trim(v.Text()));
            m[w] = t == "thin" ? 2 : t == "medium" ? 4 : t == "thick" ? 6 : LengthToPixels(t, false, width, 4, exSize, emSize);
        } else if (v.IsInt() && v.Int() != UnsetInteger) {
            m[w] = Bounded(v.Int());
        } else {
            m[w] = 4;
        }
    }
    if (Props[piWidth].IsText() && !isAuto(piWidth)) {
        m[piWidth] = LengthToPixels(Props[piWidth].Text(), false, width, AutoLength, exSize, emSize);
    } else if (Props[piWidth].IsInt() && Props[piWidth].Int() != UnsetInteger) {
        m[piWidth] = Bounded(Props[piWidth].Int());
    } else {
        m[piWidth] = AutoLength;
    }
    if (m[piWidth] == AutoLength)
        ++autoCount;
    if (Props[piHeight].IsText() && !isAuto(piHeight)) {
        m[piHeight] = LengthToPixels(Props[piHeight].Text(), false, height, 0, exSize, emSize);
        if (Contains(Props[piHeight].Text(), "%"))  // a percentage smaller than the borders gives 0
            m[piHeight] = std::max(0, m[piHeight] - (m[BorderTopWidth] + m[BorderBottomWidth] + m[PaddingTop] +
                                                     m[PaddingBottom]));
    } else {
        m[piHeight] = length(piHeight, height, 0);
    }
    for (int i : {piTop, piBottom, piRight, piLeft}) {
        const int base = (i == piTop || i == piBottom) ? height : width;
        m[i] = isAuto(i) ? AutoLength : length(i, base, AutoLength);
    }
    return m;
}

std::array<int, 4> TProperties::GetCellPaddings(int emSize, int exSize) const
{
    std::array<int, 4> pads{};
    for (int k = 0; k < 4; ++k) {
        const PropValue& v = Props[PaddingTop + k];
        if (v.IsText() && Contains(v.Text(), "%"))
            pads[k] = -RoundLength(std::strtod(v.Text().c_str(), nullptr));
        else if (v.IsText())
            pads[k] = LengthToPixels(v.Text(), false, 0, -1, exSize, emSize);
        else if (v.IsInt() && v.Int() != UnsetInteger)
            pads[k] = ClampLength(v.Int());
        else
            pads[k] = -1;
    }
    return pads;
}

TProperties* TPropStack::Push()
{
    if (spare_.empty())
        return Add(std::make_unique<TProperties>(this));
    std::unique_ptr<TProperties> set = std::move(spare_.back());
    spare_.pop_back();
    // A new set in the old one's room: nothing of the element it held is left.
    set->~TProperties();
    new (set.get()) TProperties(this);
    return Add(std::move(set));
}

}  // namespace velmoran
