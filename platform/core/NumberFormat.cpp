// Number formatting and parsing on decimal digit strings, so that rounding is decimal and exact.
#include "platform/core/NumberFormat.h"

#include "platform/core/Exceptions.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace velmoran {

DecimalDigits ToDecimalDigits(double value, int precision)
{
    DecimalDigits number;
    precision = std::clamp(precision, 1, 17);
    if (value == 0.0 || !std::isfinite(value))
        return number;
    number.Negative = value < 0;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", precision - 1, std::fabs(value));
    // buffer: d[.ddd]e±XX
    std::string digits(1, buffer[0]);
    const char* p = buffer + 1;
    if (*p == '.') {
        ++p;
        while (*p >= '0' && *p <= '9')
            digits += *p++;
    }
    number.Exponent = std::atoi(p + 1) + 1;
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    number.Digits = std::move(digits);
    return number;
}

void RoundDecimalDigits(DecimalDigits& number, int decimals)
{
    const long keep = static_cast<long>(number.Exponent) + decimals;
    if (keep >= static_cast<long>(number.Digits.size()))
        return;
    if (keep < 0) {
        number.Digits.clear();
        return;
    }
    const bool up = number.Digits[static_cast<std::size_t>(keep)] >= '5';
    number.Digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        std::size_t i = number.Digits.size();
        while (i > 0 && number.Digits[i - 1] == '9') {
            number.Digits[i - 1] = '0';
            --i;
        }
        if (i == 0) {
            number.Digits.insert(number.Digits.begin(), '1');
            ++number.Exponent;
        } else {
            ++number.Digits[i - 1];
        }
    }
    while (!number.Digits.empty() && number.Digits.back() == '0')
        number.Digits.pop_back();
}

namespace {

char DigitAt(const DecimalDigits& n, long index)
{
    return index >= 0 && index < static_cast<long>(n.Digits.size()) ? n.Digits[static_cast<std::size_t>(index)] : '0';
}

// Digits before the decimal point, without leading zeros ("" for values below 1).
std::string IntegerDigits(const DecimalDigits& n)
{
    std::string out;
    for (long i = 0; i < n.Exponent; ++i)
        out += DigitAt(n, i);
    return out;
}

// `count` digits after the decimal point.
std::string FractionDigits(const DecimalDigits& n, int count)
{
    std::string out;
    for (int j = 0; j < count; ++j)
        out += DigitAt(n, static_cast<long>(n.Exponent) + j);
    return out;
}

std::string NonFinite(double value)
{
    if (std::isnan(value))
        return "NAN";
    return value < 0 ? "-INF" : "INF";
}

// One section of a display format, taken apart.
struct FormatSection {
    std::string Prefix;
    std::string Suffix;
    int IntegerMin = 0;
    int DecimalsMin = 0;
    int DecimalsMax = 0;
    bool Thousands = false;
    bool HasPlaceholder = false;
};

FormatSection ParseSection(std::string_view text)
{
    FormatSection section;
    bool afterPoint = false;
    bool zeroSeen = false;
    std::string pending;  // literal text since the last placeholder
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"' || c == '\'') {
            const std::size_t end = text.find(c, i + 1);
            const std::size_t stop = end == std::string_view::npos ? text.size() : end;
            pending.append(text.substr(i + 1, stop - i - 1));
            i = stop;
            continue;
        }
        if (c == '0' || c == '#') {
            if (!section.HasPlaceholder) {
                section.Prefix = pending;
                section.HasPlaceholder = true;
            }
            pending.clear();
            if (afterPoint) {
                ++section.DecimalsMax;
                if (c == '0')
                    section.DecimalsMin = section.DecimalsMax;
            } else {
                zeroSeen = zeroSeen || c == '0';
                if (zeroSeen)
                    ++section.IntegerMin;
            }
            continue;
        }
        if (c == '.' && !afterPoint) {
            afterPoint = true;
            continue;
        }
        if (c == ',') {
            section.Thousands = true;
            continue;
        }
        pending += c;
    }
    if (section.HasPlaceholder)
        section.Suffix = pending;
    else
        section.Prefix = pending;
    return section;
}

std::vector<std::string_view> SplitSections(std::string_view format)
{
    std::vector<std::string_view> sections;
    std::size_t start = 0;
    char quote = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            sections.push_back(format.substr(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(format.substr(start));
    return sections;
}

bool AllZero(const std::string& digits)
{
    return std::all_of(digits.begin(), digits.end(), [](char c) { return c == '0'; });
}

// The significant digits written out in place, without an exponent however large or small.
std::string PlainDigits(const DecimalDigits& number, const FormatSettings& settings)
{
    std::string out = number.Negative ? "-" : "";
    const std::string integer = IntegerDigits(number);
    out += integer.empty() ? "0" : integer;
    const int fractionCount = static_cast<int>(number.Digits.size()) - number.Exponent;
    if (fractionCount > 0) {
        out += settings.DecimalSeparator;
        out += FractionDigits(number, fractionCount);
    }
    return out;
}

// Up to 15 significant digits; with `exponents`, very small or large values in scientific form.
std::string GeneralFloat(double value, const FormatSettings& settings, bool exponents)
{
    if (!std::isfinite(value))
        return NonFinite(value);
    const DecimalDigits number = ToDecimalDigits(value, 15);
    if (number.IsZero())
        return "0";
    if (!exponents || (number.Exponent <= 15 && number.Exponent >= -3))
        return PlainDigits(number, settings);
    std::string out = number.Negative ? "-" : "";
    out += number.Digits[0];
    if (number.Digits.size() > 1) {
        out += settings.DecimalSeparator;
        out += number.Digits.substr(1);
    }
    out += 'E';
    out += std::to_string(number.Exponent - 1);
    return out;
}

}  // namespace

std::string FormatFloat(std::string_view format, double value, const FormatSettings& settings)
{
    if (!std::isfinite(value))
        return NonFinite(value);
    if (format.empty())
        return FloatToStr(value, settings);

    const std::vector<std::string_view> sections = SplitSections(format);
    std::size_t index = 0;
    if (value < 0 && sections.size() > 1 && !sections[1].empty())
        index = 1;
    else if (value == 0 && sections.size() > 2 && !sections[2].empty())
        index = 2;
    const FormatSection section = ParseSection(sections[index]);
    if (!section.HasPlaceholder)
        return section.Prefix;

    DecimalDigits number = ToDecimalDigits(value, 15);
    RoundDecimalDigits(number, section.DecimalsMax);

    std::string integer = IntegerDigits(number);
    if (static_cast<int>(integer.size()) < section.IntegerMin)
        integer.insert(0, section.IntegerMin - integer.size(), '0');
    std::string fraction = FractionDigits(number, section.DecimalsMax);
    while (static_cast<int>(fraction.size()) > section.DecimalsMin && fraction.back() == '0')
        fraction.pop_back();

    std::string out;
    const bool showSign = index == 0 && number.Negative && !(AllZero(integer) && AllZero(fraction));
    if (showSign)
        out += '-';
    out += section.Prefix;
    out += section.Thousands ? GroupThousands(integer, settings.ThousandSeparator) : integer;
    if (!fraction.empty()) {
        out += settings.DecimalSeparator;
        out += fraction;
    }
    out += section.Suffix;
    return out;
}

std::string FloatToStr(double value, const FormatSettings& settings)
{
    return GeneralFloat(value, settings, true);
}

std::string FloatToPlainStr(double value, const FormatSettings& settings)
{
    return GeneralFloat(value, settings, false);
}

std::string FormatFixed(int width, int decimals, double value, const FormatSettings& settings)
{
    std::string text;
    if (!std::isfinite(value)) {
        text = NonFinite(value);
    } else {
        decimals = std::max(decimals, 0);
        DecimalDigits number = ToDecimalDigits(value, 17);
        RoundDecimalDigits(number, decimals);
        std::string integer = IntegerDigits(number);
        if (integer.empty())
            integer = "0";
        if (number.Negative && !number.IsZero())
            text += '-';
        text += integer;
        if (decimals > 0) {
            text += settings.DecimalSeparator;
            text += FractionDigits(number, decimals);
        }
    }
    const std::size_t field = static_cast<std::size_t>(width < 0 ? -static_cast<long>(width) : width);
    if (text.size() < field) {
        if (width < 0)
            text.append(field - text.size(), ' ');
        else
            text.insert(0, field - text.size(), ' ');
    }
    return text;
}

std::string FormatNumber(int decimals, double value, const FormatSettings& settings)
{
    const std::string fixed = FormatFixed(0, decimals, value, settings);
    if (!std::isfinite(value))
        return fixed;
    const std::size_t sign = fixed.front() == '-' ? 1 : 0;
    std::size_t end = fixed.find(settings.DecimalSeparator, sign);
    if (end == std::string::npos)
        end = fixed.size();
    return fixed.substr(0, sign) + GroupThousands(std::string_view(fixed).substr(sign, end - sign), settings.ThousandSeparator) +
           fixed.substr(end);
}

std::string GroupThousands(std::string_view digits, char separator)
{
    std::string out;
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += separator;
        out += digits[i];
    }
    return out;
}

std::string IntToStr(long long value)
{
    return std::to_string(value);
}

namespace {

std::string_view TrimBlanks(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

}  // namespace

std::optional<double> TryStrToFloat(std::string_view text, const FormatSettings& settings)
{
    const std::string_view trimmed = TrimBlanks(text);
    std::string normal;
    std::size_t i = 0;
    if (i < trimmed.size() && (trimmed[i] == '+' || trimmed[i] == '-'))
        normal += trimmed[i++];
    bool mantissaDigits = false;
    bool point = false;
    for (; i < trimmed.size(); ++i) {
        const char c = trimmed[i];
        if (c >= '0' && c <= '9') {
            mantissaDigits = true;
            normal += c;
        } else if (c == settings.DecimalSeparator && !point) {
            point = true;
            normal += '.';
        } else {
            break;
        }
    }
    if (!mantissaDigits)
        return std::nullopt;
    if (i < trimmed.size() && (trimmed[i] == 'e' || trimmed[i] == 'E')) {
        normal += 'e';
        ++i;
        if (i < trimmed.size() && (trimmed[i] == '+' || trimmed[i] == '-'))
            normal += trimmed[i++];
        bool exponentDigits = false;
        for (; i < trimmed.size() && trimmed[i] >= '0' && trimmed[i] <= '9'; ++i) {
            exponentDigits = true;
            normal += trimmed[i];
        }
        if (!exponentDigits)
            return std::nullopt;
    }
    if (i != trimmed.size())
        return std::nullopt;
    const char* begin = normal.data();
    if (*begin == '+')
        ++begin;
    double result = 0;
    const auto [end, error] = std::from_chars(begin, normal.data() + normal.size(), result);
    if (error != std::errc() || end != normal.data() + normal.size())
        return std::nullopt;
    return result;
}

double StrToFloat(std::string_view text, const FormatSettings& settings)
{
    if (const auto value = TryStrToFloat(text, settings))
        return *value;
    throw EConvertError::InvalidFloat(text);
}

std::optional<int> TryStrToInt(std::string_view text)
{
    std::string_view trimmed = TrimBlanks(text);
    bool negative = false;
    if (!trimmed.empty() && (trimmed.front() == '+' || trimmed.front() == '-')) {
        negative = trimmed.front() == '-';
        trimmed.remove_prefix(1);
    }
    if (trimmed.empty())
        return std::nullopt;
    long long value = 0;
    for (const char c : trimmed) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX || value < INT_MIN)
        return std::nullopt;
    return static_cast<int>(value);
}

int StrToInt(std::string_view text)
{
    if (const auto value = TryStrToInt(text))
        return *value;
    throw EConvertError::InvalidInteger(text);
}

}  // namespace velmoran
