// Lengths, font sizes, families and font objects; see Fonts.h.
#include "html/style/Fonts.h"

#include "html/base/CheckedIndex.h"
#include "html/base/WideText.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <unordered_map>

namespace velmoran {

namespace {

double defaultFontSize = 12.0;

// Splits a length into its number and its unit: the unit starts at the first character that is
// no part of the number, or at an "e".
bool SplitLength(std::string_view text, double& number, std::string& unit)
{
    const std::string s = LowerCase(Trim(text));
    std::size_t i = 0;
    while (i < s.size() && (std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == '.' || s[i] == '-' || s[i] == '+'))
        ++i;
    const std::string num = s.substr(0, i);
    unit = Trim(s.substr(i));
    char* end = nullptr;
    number = std::strtod(num.c_str(), &end);
    return !num.empty() && end != num.c_str() && *end == 0;
}

}  // namespace

std::string PropValue::ToString() const
{
    if (IsInt())
        return std::to_string(Int());
    if (IsReal()) {
        std::ostringstream os;
        os << Real();
        return os.str();
    }
    if (IsText())
        return Text();
    return {};
}

double DefaultFontSize()
{
    return defaultFontSize;
}

void SetDefaultFontSize(double points)
{
    defaultFontSize = points;
}

int LengthToPixels(std::string_view text, bool relative, int base, int def, int exSize, int emSize)
{
    double n = 0;
    std::string unit;
    if (!SplitLength(text, n, unit))
        return def;
    const double ppi = kPixelsPerInch;
    double v;
    if (unit == "in")
        v = n * ppi;
    else if (unit == "cm")
        v = n * ppi / 2.54;
    else if (unit == "mm")
        v = n * ppi / 25.4;
    else if (unit == "pt")
        v = n * ppi / 72;
    else if (unit == "px")
        v = n;
    else if (unit == "pc")
        v = n * ppi / 6;
    else if (unit == "em")
        v = n * emSize;
    else if (unit == "ex")
        v = n * exSize;
    else if (unit == "%")
        v = n * base / 100;
    else if (unit.empty())
        v = relative ? n * base : n;
    else
        return def;
    return RoundLength(v);
}

HtmlFontSizes::HtmlFontSizes(double basePoints)
{
    static constexpr std::array<int, 8> normal{0, 8, 10, 12, 14, 18, 24, 36};
    static constexpr std::array<int, 8> pre{0, 7, 8, 10, 12, 15, 20, 30};
    for (int i = 1; i <= 7; ++i) {
        At(normal_, i) = basePoints * At(normal, i) / 12.0;
        At(pre_, i) = basePoints * At(pre, i) / 12.0;
    }
}

double HtmlFontSizes::Points(int htmlSize, bool preformatted) const
{
    htmlSize = std::clamp(htmlSize, 1, 7);
    return preformatted ? At(pre_, htmlSize) : At(normal_, htmlSize);
}

double FontSizeToPoints(std::string_view text, double parentSize)
{
    const double d = defaultFontSize;
    double n = 0;
    std::string unit;
    if (SplitLength(text, n, unit)) {
        if (unit == "in")
            return n * 72;
        if (unit == "cm")
            return n * 72 / 2.54;
        if (unit == "mm")
            return n * 72 / 25.4;
        if (unit == "pt")
            return n;
        if (unit == "pc")
            return n * 12;
        if (unit == "em")
            return n * parentSize;
        if (unit == "ex")
            return n * parentSize / 2;
        if (unit == "%")
            return n * parentSize / 100;
        if (unit == "px" || unit.empty())
            return n * 72 / kPixelsPerInch;
        return d;
    }
    const std::string word = LowerCase(Trim(text));
    if (word == "smaller")
        return 0.75 * parentSize;
    if (word == "larger")
        return 1.25 * parentSize;
    if (word == "xx-small")
        return d / 1.5;
    if (word == "x-small")
        return d / 1.2;
    if (word == "small")
        return d;
    if (word == "medium")
        return 1.2 * d;
    if (word == "large")
        return 1.5 * d;
    if (word == "x-large")
        return 2 * d;
    if (word == "xx-large")
        return 3 * d;
    return d;
}

namespace {
std::string FindInstalledFontFamily(std::string_view list, const std::vector<std::string>& installed);
}

std::string FirstInstalledFontFamily(std::string_view list)
{
    // The installed families are asked once per font engine: the list is long, and pages ask for
    // a family with nearly every element.
    static FontEngine* engine = nullptr;
    static std::vector<std::string> families;
    static std::unordered_map<std::string, std::string> answers;
    static const std::pair<const std::string, std::string>* last = nullptr;  // the latest answer
    if (engine != &ScreenFonts()) {
        engine = &ScreenFonts();
        families = engine->Families();
        answers.clear();
        last = nullptr;
    }
    // The answer for a list is kept as long as the engine stays the same: pages repeat a handful of
    // lists thousands of times.
    if (last && last->first == list)
        return last->second;
    if (answers.size() > 4096)
        answers.clear();
    auto known = answers.find(std::string(list));
    if (known == answers.end())
        known = answers.emplace(std::string(list), FindInstalledFontFamily(list, families)).first;
    last = &*known;
    return known->second;
}

namespace {
std::string FindInstalledFontFamily(std::string_view list, const std::vector<std::string>& installed)
{
    std::string rest(list);
    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t comma = rest.find(',', start);
        if (comma == std::string::npos)
            comma = rest.size();
        std::string name = Trim(rest.substr(start, comma - start));
        if (name.size() >= 2 && (name.front() == '"' || name.front() == '\'') && name.back() == name.front())
            name = Trim(name.substr(1, name.size() - 2));
        const std::string lower = LowerCase(name);
        if (lower == "serif")
            name = "Times New Roman";
        else if (lower == "monospace")
            name = "Courier New";
        else if (lower == "sans-serif" || lower == "helvetica")
            name = "Arial";
        else if (lower == "cursive")
            name = "Lucida Handwriting";
        for (const auto& family : installed)
            if (!name.empty() && SameText(family, name))
                return family;
        start = comma + 1;
    }
    return {};
}
}  // namespace

LogicalFont TMyFont::Logical() const
{
    LogicalFont lf;
    lf.Face = Name;
    lf.Height = Height;
    lf.Weight = (Style & fsBold) ? 700 : 400;
    lf.Italic = (Style & fsItalic) != 0;
    lf.Underline = (Style & fsUnderline) != 0;
    lf.StrikeOut = (Style & fsStrikeOut) != 0;
    lf.Charset = Charset;
    return lf;
}

void TMyFont::UpdateMetrics()
{
    const TextMetrics m = ScreenFonts().Metrics(Logical());
    tmHeight = m.Height;
    tmDescent = m.Descent;
    tmExternalLeading = m.ExternalLeading;
    tmAveCharWidth = m.AveCharWidth;
    tmMaxCharWidth = m.MaxCharWidth;
    tmCharset = m.Charset;
}

bool TMyFont::IsSelectedIn(const Canvas& canvas) const
{
    const LogicalFont& lf = canvas.Font();
    return lf.Height == Height && lf.Weight == ((Style & fsBold) ? 700 : 400) && lf.Italic == ((Style & fsItalic) != 0) &&
           lf.Underline == ((Style & fsUnderline) != 0) && lf.StrikeOut == ((Style & fsStrikeOut) != 0) &&
           lf.Charset == Charset && lf.Escapement == 0 && lf.Face == Name;
}

void TMyFont::SelectInto(Canvas& canvas) const
{
    // Text is measured run by run; a run in the font already selected need not select it again.
    if (!IsSelectedIn(canvas))
        canvas.SetFont(Logical());
    canvas.SetTextCharacterExtra(CharExtra);
}

}  // namespace velmoran
