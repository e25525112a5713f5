// Numbers as text: display formats ("##0.00"), the general format, the C-style fixed format,
// and the conversions from text. Output uses the locale's decimal separator; rounding is half away
// from zero on the number's 15 significant digits; a value that shows only zeros never gets a sign.
#pragma once

#include "platform/core/FormatSettings.h"

#include <optional>
#include <string>
#include <string_view>

namespace velmoran {

// A number as significant decimal digits: value = 0.d1d2d3... x 10^Exponent.
struct DecimalDigits {
    bool Negative = false;
    std::string Digits;  // no trailing zeros; empty for zero
    int Exponent = 0;
    bool IsZero() const { return Digits.empty(); }
};

// The value with at most `precision` significant digits (1..17); not for NaN or infinity.
DecimalDigits ToDecimalDigits(double value, int precision = 15);
// Rounds half away from zero to `decimals` digits after the decimal point.
void RoundDecimalDigits(DecimalDigits& number, int decimals);

// Display-format subset: "#" and "0" placeholders, "." decimal point, "," thousands grouping,
// quoted literals, up to three sections "positive;negative;zero". An empty format gives the
// general format.
std::string FormatFloat(std::string_view format, double value,
                        const FormatSettings& settings = FormatSettings::Current());

// The general format: up to 15 significant digits, scientific ("1,5E-5", "1E20") for very small
// or large values.
std::string FloatToStr(double value, const FormatSettings& settings = FormatSettings::Current());

// The same significant digits written out in place, never with an exponent ("10000000000000000",
// "0,00001"), for fields that take only digits and the decimal separator.
std::string FloatToPlainStr(double value, const FormatSettings& settings = FormatSettings::Current());

// "%*.*f": fixed notation with `decimals` digits, right-aligned in `width` (left-aligned when
// width is negative).
std::string FormatFixed(int width, int decimals, double value,
                        const FormatSettings& settings = FormatSettings::Current());

// "%.*n": fixed notation with `decimals` digits and the locale's thousand separator in the
// integer part ("1.234,50"), rounded as FormatFixed rounds.
std::string FormatNumber(int decimals, double value, const FormatSettings& settings = FormatSettings::Current());

// A run of decimal digits with a separator before every group of three from the right
// ("1234567" -> "1.234.567").
std::string GroupThousands(std::string_view digits, char separator);

std::string IntToStr(long long value);

// Text to number. Leading and trailing blanks are allowed; the decimal separator is the locale's.
std::optional<double> TryStrToFloat(std::string_view text, const FormatSettings& settings = FormatSettings::Current());
double StrToFloat(std::string_view text, const FormatSettings& settings = FormatSettings::Current());
std::optional<int> TryStrToInt(std::string_view text);
int StrToInt(std::string_view text);

}  // namespace velmoran
