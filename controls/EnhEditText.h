// The value rules of the typed edit, without any widget: what class a text belongs to (numeric,
// float, hex), how a text reads as a number and a number as a text for each edit type, what
// writing a text stores, the grouping of money values and the mixed case of names. The edit
// (EnhEdit.h) and its key rules (EnhEditKeys.h) are built on these.
//
// Texts are UTF-16, as the edit holds them, so that positions are the edit's caret positions.
#pragma once

#include "platform/core/FormatSettings.h"

#include <string>
#include <string_view>

namespace velmoran {

enum class TEnhEditType {
    etString,
    etNumeric,
    etFloat,
    etUppercase,
    etMixedCase,
    etLowerCase,
    etPassword,
    etMoney,
    etRange,
    etHex
};

// The properties the rules read.
struct TEnhEditRules {
    TEnhEditType EditType = TEnhEditType::etString;
    int Precision = 0;
    int LengthLimit = 0;  // digits before the decimal separator; 0 is no limit
    std::u16string Prefix;
    std::u16string Suffix;
    bool Signed = false;
    bool AutoThousandSeparator = true;
    bool ExcelStyleDecimalSeparator = false;
    bool CanUndo = true;
    bool ReturnIsTab = false;
    bool TabOnFullLength = false;
};

enum class TTextClass { Numeric, Float, Hex, Other };

// Numeric: digits and "-" only; float: digits, ",", "." and "-" with no thousand separator first
// or fewer than three characters behind the one before; hex: digits, "A"-"F", "a"-"f" and "-".
// An empty text, and one with two "-" or two decimal separators, is Other. One "-" anywhere
// ("5-3") counts as numeric.
TTextClass ClassifyText(std::u16string_view text, const FormatSettings& settings);

// A float text as the edit reads it: with precision 0 thousand separators go; with a precision a
// thousand separator exactly that many characters before the end stands for the decimal
// separator, and the other thousand separators go. A text that does not convert reads 0.
double ParseFloatText(std::u16string_view text, int precision, const FormatSettings& settings);

// FloatValue read of a value text by edit type: numeric and float parse; money without its
// thousand separators and a trailing decimal separator ("" and "-" read 0); hex digit by digit
// (other characters count 0). The other types read 0.
double ValueOfText(std::u16string_view value, const TEnhEditRules& rules, const FormatSettings& settings);

// FloatValue write: the text handed to the Text write. Numeric writes the value rounded to an
// integer; float and money "%g" below their least precision, else the fixed format with
// Precision decimals; hex the truncated value in upper-case hexadecimal. The other types write
// the general format.
std::u16string TextOfValue(double value, const TEnhEditRules& rules, const FormatSettings& settings);
// IntValue write: decimal, or hexadecimal for hex.
std::u16string TextOfInteger(long long value, const TEnhEditRules& rules);

// Text write: a text of the wrong class becomes "0"; float and money with a precision are
// formatted ("%.*f", money "%.*n"); hex is upper-cased. Empty stays empty.
std::u16string WrittenValueText(std::u16string_view text, const TEnhEditRules& rules, const FormatSettings& settings);

// Money grouping of a value text: sign and fraction set aside, the integer part's digits without
// leading zeros (an empty part "0") grouped by thousands (unless AutoThousandSeparator is off).
// Works on the digits as text, so that no digit is lost to a double's precision.
std::u16string GroupMoneyText(std::u16string_view value, const TEnhEditRules& rules, const FormatSettings& settings);

// "john mcdonald iii" -> "John McDonald III": a capital after the start, a blank, "'", ",", "-",
// ".", after "Mc", and for a closing "I", "II", "III" after a blank; ASCII letters only.
std::u16string MixedCaseText(std::u16string_view text);

// A text that shows as an address: with "://", or with "@" after its first character.
bool LooksLikeUrl(std::u16string_view text);
// The address the shell opens for such a text: mail addresses get "mailto:".
std::string UrlToOpen(std::u16string_view text);

// Narrow <-> UTF-16 for texts made of ASCII (numbers).
std::u16string WidenAscii(std::string_view text);

}  // namespace velmoran
