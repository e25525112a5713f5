// The typed edit's value rules; see EnhEditText.h.
#include "controls/EnhEditText.h"

#include "platform/core/CodePage.h"
#include "platform/core/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace velmoran {

namespace {

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool IsHexLetter(char16_t c)
{
    return (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}

std::string NarrowAscii(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char16_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

// No thousand separator first, none closer than three characters behind the one before.
bool ThousandSeparatorsInPlace(std::u16string_view text, char16_t separator)
{
    std::size_t previous = std::u16string_view::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != separator)
            continue;
        if (i == 0 || (previous != std::u16string_view::npos && i - previous - 1 < 3))
            return false;
        previous = i;
    }
    return true;
}

std::u16string WithoutChar(std::u16string_view text, char16_t c)
{
    std::u16string out;
    for (const char16_t ch : text)
        if (ch != c)
            out += ch;
    return out;
}

double HexValue(std::u16string_view text)
{
    double value = 0;
    double weight = 1;
    for (auto it = text.rbegin(); it != text.rend(); ++it) {
        const char16_t c = *it;
        int digit = 0;
        if (IsDigit(c))
            digit = c - u'0';
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else if (c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        value += digit * weight;
        weight *= 16;
    }
    return value;
}

std::u16string HexText(long long value)
{
    char buffer[32];
    const unsigned long long magnitude =
        value < 0 ? 0ull - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    std::snprintf(buffer, sizeof buffer, "%s%llX", value < 0 ? "-" : "", magnitude);
    return WidenAscii(buffer);
}

long long Truncated(double value)
{
    if (!std::isfinite(value))
        return 0;
    constexpr double kLimit = 9.2e18;
    return static_cast<long long>(std::clamp(std::trunc(value), -kLimit, kLimit));
}

}  // namespace

std::u16string WidenAscii(std::string_view text)
{
    return std::u16string(text.begin(), text.end());
}

TTextClass ClassifyText(std::u16string_view text, const FormatSettings& settings)
{
    if (text.empty())
        return TTextClass::Other;
    const auto count = [&](char16_t c) { return std::count(text.begin(), text.end(), c); };
    if (count(u'-') >= 2 || count(static_cast<char16_t>(settings.DecimalSeparator)) >= 2)
        return TTextClass::Other;
    bool numeric = true, isFloat = true, hex = true;
    for (const char16_t c : text) {
        const bool digit = IsDigit(c) || c == u'-';
        numeric = numeric && digit;
        isFloat = isFloat && (digit || c == u',' || c == u'.');
        hex = hex && (digit || IsHexLetter(c));
    }
    isFloat = isFloat && ThousandSeparatorsInPlace(text, static_cast<char16_t>(settings.ThousandSeparator));
    if (numeric)
        return TTextClass::Numeric;
    if (isFloat)
        return TTextClass::Float;
    return hex ? TTextClass::Hex : TTextClass::Other;
}

double ParseFloatText(std::u16string_view text, int precision, const FormatSettings& settings)
{
    const char16_t thousand = static_cast<char16_t>(settings.ThousandSeparator);
    std::u16string work(text);
    if (precision > 0 && work.size() > static_cast<std::size_t>(precision)) {
        const std::size_t at = work.size() - static_cast<std::size_t>(precision) - 1;
        if (work[at] == thousand)
            work[at] = static_cast<char16_t>(settings.DecimalSeparator);
    }
    // The remaining separators group thousands ("1.234,5" is 1234.5, as money reads it).
    work = WithoutChar(work, thousand);
    return TryStrToFloat(NarrowAscii(work), settings).value_or(0.0);
}

double ValueOfText(std::u16string_view value, const TEnhEditRules& rules, const FormatSettings& settings)
{
    switch (rules.EditType) {
    case TEnhEditType::etNumeric:
    case TEnhEditType::etFloat:
        return ParseFloatText(value, rules.Precision, settings);
    case TEnhEditType::etMoney: {
        std::u16string work = WithoutChar(value, static_cast<char16_t>(settings.ThousandSeparator));
        if (!work.empty() && work.back() == static_cast<char16_t>(settings.DecimalSeparator))
            work.pop_back();
        if (work.empty() || work == u"-")
            return 0;
        return ParseFloatText(work, rules.Precision, settings);
    }
    case TEnhEditType::etHex:
        return HexValue(value);
    default:
        return 0;
    }
}

std::u16string TextOfValue(double value, const TEnhEditRules& rules, const FormatSettings& settings)
{
    switch (rules.EditType) {
    case TEnhEditType::etNumeric:
        // Rounded to an integer without grouping, so that the Text write takes it as numeric.
        return WidenAscii(FormatFixed(0, 0, value, settings));
    case TEnhEditType::etFloat:
        // Without fixed decimals the digits stand in place: the edit takes no exponent.
        if (rules.Precision < 0)
            return WidenAscii(FloatToPlainStr(value, settings));
        return WidenAscii(FormatFixed(0, rules.Precision, value, settings));
    case TEnhEditType::etMoney:
        if (rules.Precision < 1)
            return WidenAscii(FloatToPlainStr(value, settings));
        return WidenAscii(FormatFixed(0, rules.Precision, value, settings));
    case TEnhEditType::etHex:
        return HexText(Truncated(value));
    default:
        return WidenAscii(FloatToStr(value, settings));
    }
}

std::u16string TextOfInteger(long long value, const TEnhEditRules& rules)
{
    if (rules.EditType == TEnhEditType::etHex)
        return HexText(value);
    return WidenAscii(std::to_string(value));
}

std::u16string WrittenValueText(std::u16string_view text, const TEnhEditRules& rules, const FormatSettings& settings)
{
    if (text.empty())
        return {};
    std::u16string s(text);
    const TTextClass textClass = ClassifyText(s, settings);
    const bool numeric = textClass == TTextClass::Numeric;
    bool fits = true;
    switch (rules.EditType) {
    case TEnhEditType::etNumeric: fits = numeric; break;
    case TEnhEditType::etFloat:
    case TEnhEditType::etMoney: fits = numeric || textClass == TTextClass::Float; break;
    case TEnhEditType::etHex: fits = numeric || textClass == TTextClass::Hex; break;
    default: break;
    }
    if (!fits)
        s = u"0";
    if (rules.Precision >= 1 && rules.EditType == TEnhEditType::etMoney)
        s = WidenAscii(FormatNumber(rules.Precision, ValueOfText(s, rules, settings), settings));
    else if (rules.Precision >= 1 && rules.EditType == TEnhEditType::etFloat)
        s = WidenAscii(FormatFixed(0, rules.Precision, ValueOfText(s, rules, settings), settings));
    if (rules.EditType == TEnhEditType::etHex)
        for (char16_t& c : s)
            if (c >= u'a' && c <= u'f')
                c = static_cast<char16_t>(c - 32);
    return s;
}

std::u16string GroupMoneyText(std::u16string_view value, const TEnhEditRules& rules, const FormatSettings& settings)
{
    std::u16string_view rest = value;
    std::u16string sign;
    if (!rest.empty() && rest.front() == u'-') {
        sign = u"-";
        rest.remove_prefix(1);
    }
    const std::size_t point = rest.find(static_cast<char16_t>(settings.DecimalSeparator));
    std::u16string_view fraction;
    if (point != std::u16string_view::npos) {
        fraction = rest.substr(point, 255);
        rest = rest.substr(0, point);
    }
    std::string digits;
    for (const char16_t c : rest)
        if (IsDigit(c) && !(digits.empty() && c == u'0'))
            digits += static_cast<char>(c);
    if (digits.empty())
        digits = "0";
    const std::string grouped = rules.AutoThousandSeparator ? GroupThousands(digits, settings.ThousandSeparator) : digits;
    return sign + WidenAscii(grouped) + std::u16string(fraction);
}

std::u16string MixedCaseText(std::u16string_view text)
{
    const auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; };
    const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
    const auto endsWith = [](std::u16string_view s, std::u16string_view tail) {
        return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
    };
    std::u16string out(text);
    bool capital = true;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const char16_t c = out[i];
        if (c == u' ' || c == u'\'' || c == u',' || c == u'-' || c == u'.') {
            capital = true;
        } else {
            out[i] = capital ? upper(c) : lower(c);
            capital = false;
        }
        const std::u16string_view sofar(out.data(), i + 1);
        if (sofar == u"Mc" || endsWith(sofar, u" Mc"))
            capital = true;
        if (i + 3 >= out.size() && (endsWith(sofar, u" I") || endsWith(sofar, u" II")))
            capital = true;
    }
    return out;
}

bool LooksLikeUrl(std::u16string_view text)
{
    const std::size_t at = text.find(u'@');
    return text.find(u"://") != std::u16string_view::npos || (at != std::u16string_view::npos && at > 0);
}

std::string UrlToOpen(std::u16string_view text)
{
    const std::string url = WideToUtf8(text);
    if (url.find('@') != std::string::npos && url.find("://") == std::string::npos &&
        url.find("mailto:") == std::string::npos)
        return "mailto:" + url;
    return url;
}

}  // namespace velmoran
