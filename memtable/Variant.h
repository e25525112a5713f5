// The variant value of the dataset layer: what locate and lookup take and give, what the variant
// writer stores into a field, and what a filter expression computes with. Texts are UTF-8 (the
// program's 8-bit text) or UTF-16; currency is a 64-bit integer of ten-thousandths; a date-time
// remembers whether it is a date, a time or both.
#pragma once

#include "platform/core/DateTime.h"
#include "platform/core/Exceptions.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmoran {

enum class TVarType : std::uint8_t {
    varEmpty, varNull, varBoolean, varSmallint, varInteger, varInt64, varDouble, varCurrency, varDate,
    varString, varOleStr, varArray
};
using enum TVarType;

enum class TDateKind : std::uint8_t { dkDate, dkTime, dkDateTime };
using enum TDateKind;

// A value that cannot be turned into the type asked for.
class EVariantError : public Exception {
public:
    using Exception::Exception;
};

class TVariant {
public:
    TVariant() = default;  // empty
    TVariant(bool value) : type_(varBoolean), integer_(value ? 1 : 0) {}
    TVariant(int value) : type_(varInteger), integer_(value) {}
    TVariant(double value) : type_(varDouble), double_(value) {}
    TVariant(const char* text) : type_(varString), text_(text) {}
    TVariant(std::string text) : type_(varString), text_(std::move(text)) {}
    TVariant(std::u16string text) : type_(varOleStr), wide_(std::move(text)) {}
    TVariant(const char16_t* text) : type_(varOleStr), wide_(text) {}
    TVariant(std::vector<TVariant> elements) : type_(varArray), array_(std::move(elements)) {}

    static TVariant Null();
    static TVariant Smallint(std::int16_t value);
    static TVariant Int64(std::int64_t value);
    // `tenThousandths` = value x 10000.
    static TVariant Currency(std::int64_t tenThousandths);
    static TVariant Date(TDateTime value, TDateKind kind = dkDate);

    TVarType Type() const { return type_; }
    bool IsEmpty() const { return type_ == varEmpty; }
    bool IsNull() const { return type_ == varNull; }
    bool IsNullOrEmpty() const { return type_ == varNull || type_ == varEmpty; }
    bool IsText() const { return type_ == varString || type_ == varOleStr; }
    bool IsArray() const { return type_ == varArray; }
    bool IsNumeric() const;
    TDateKind DateKind() const { return dateKind_; }
    const std::vector<TVariant>& Elements() const { return array_; }

    // Conversions; each raises EVariantError when the value has no such form (null included).
    bool AsBoolean() const;
    std::int64_t AsInt64() const;
    int AsInteger() const;
    double AsDouble() const;
    std::int64_t AsCurrency() const;
    TDateTime AsDateTime() const;
    std::string AsString() const;
    std::u16string AsWideString() const;

    // Name of the type for messages ("String", "Double", ...).
    static const char* TypeName(TVarType type);

private:
    [[noreturn]] void CastError(TVarType to) const;
    double TextToDouble() const;

    TVarType type_ = varEmpty;
    TDateKind dateKind_ = dkDateTime;
    std::int64_t integer_ = 0;  // Boolean, integers, currency
    double double_ = 0;         // double, date
    std::string text_;
    std::u16string wide_;
    std::vector<TVariant> array_;
};

// A date "dd.mm.yyyy" (in the short date format), a time "hh:nn[:ss]", or a date followed by a
// blank and a time.
std::optional<TDateTime> TryTextToDateTime(std::string_view text);

// How texts compare: by the collation of a locale id, optionally without regard to case.
struct TVarCompareOptions {
    bool IgnoreCase = false;
    std::uint32_t LocaleID = 1024;
};

// Three-way comparison; no result when either side is null or empty (every comparison with null
// is false). Text against a number or date compares the text converted to that type.
std::optional<int> VarCompare(const TVariant& a, const TVariant& b, const TVarCompareOptions& options = {});
int VarCompareText(std::string_view a, std::string_view b, const TVarCompareOptions& options);

// Arithmetic; a null operand gives null. Adding texts joins them; integers stay integers except
// in division; a date plus or minus a number stays a date.
TVariant VarAdd(const TVariant& a, const TVariant& b);
TVariant VarSub(const TVariant& a, const TVariant& b);
TVariant VarMul(const TVariant& a, const TVariant& b);
TVariant VarDiv(const TVariant& a, const TVariant& b);
// Integer remainder of the truncated division (sign of the dividend).
TVariant VarMod(const TVariant& a, const TVariant& b);
// Remainder of the division rounded to the nearest integer (IEEE remainder).
TVariant VarRem(const TVariant& a, const TVariant& b);
TVariant VarNeg(const TVariant& a);

// The packed decimal of a BCD field: precision (digits), sign bit 7 and decimal places in bits
// 0 to 5 of the second byte, then the digits as nibbles, most significant first.
struct TBcd {
    std::uint8_t Precision = 0;
    std::uint8_t SignSpecialPlaces = 0;
    std::array<std::uint8_t, 32> Fraction{};
};
static_assert(sizeof(TBcd) == 34);

// Currency (ten-thousandths) as a BCD of at most `precision` digits; fraction digits that do not
// fit are dropped. Raises EVariantError when the whole part does not fit.
TBcd CurrencyToBcd(std::int64_t tenThousandths, int precision);
// The BCD as currency; none when it holds more than four decimals' worth of range or is invalid.
std::optional<std::int64_t> BcdToCurrency(const TBcd& bcd);

}  // namespace velmoran
