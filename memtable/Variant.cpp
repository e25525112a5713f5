// Variant conversions, comparison and arithmetic, and the packed decimal of BCD fields.
#include "memtable/Variant.h"

#include "platform/core/CheckedMath.h"
#include "platform/core/CodePage.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/Text.h"
#include "platform/core/TextCollator.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace velmoran {

TVariant TVariant::Null()
{
    TVariant v;
    v.type_ = varNull;
    return v;
}

TVariant TVariant::Smallint(std::int16_t value)
{
    TVariant v;
    v.type_ = varSmallint;
    v.integer_ = value;
    return v;
}

TVariant TVariant::Int64(std::int64_t value)
{
    TVariant v;
    v.type_ = varInt64;
    v.integer_ = value;
    return v;
}

TVariant TVariant::Currency(std::int64_t tenThousandths)
{
    TVariant v;
    v.type_ = varCurrency;
    v.integer_ = tenThousandths;
    return v;
}

TVariant TVariant::Date(TDateTime value, TDateKind kind)
{
    TVariant v;
    v.type_ = varDate;
    v.double_ = value;
    v.dateKind_ = kind;
    return v;
}

const char* TVariant::TypeName(TVarType type)
{
    switch (type) {
    case varEmpty: return "Empty";
    case varNull: return "Null";
    case varBoolean: return "Boolean";
    case varSmallint: return "Smallint";
    case varInteger: return "Integer";
    case varInt64: return "Int64";
    case varDouble: return "Double";
    case varCurrency: return "Currency";
    case varDate: return "Date";
    case varString: return "String";
    case varOleStr: return "OleStr";
    case varArray: return "Array";
    }
    return "?";
}

void TVariant::CastError(TVarType to) const
{
    throw EVariantError(std::string("Variante des Typs (") + TypeName(type_) + ") kann nicht in den Typ (" +
                        TypeName(to) + ") umgewandelt werden");
}

bool TVariant::IsNumeric() const
{
    switch (type_) {
    case varBoolean:
    case varSmallint:
    case varInteger:
    case varInt64:
    case varDouble:
    case varCurrency:
        return true;
    default:
        return false;
    }
}

double TVariant::TextToDouble() const
{
    std::string text = AsString();
    if (auto value = TryStrToFloat(text))
        return *value;
    FormatSettings point;
    point.DecimalSeparator = '.';
    point.ThousandSeparator = ',';
    if (auto value = TryStrToFloat(text, point))
        return *value;
    CastError(varDouble);
}

bool TVariant::AsBoolean() const
{
    switch (type_) {
    case varBoolean:
    case varSmallint:
    case varInteger:
    case varInt64:
    case varCurrency:
        return integer_ != 0;
    case varDouble:
    case varDate:
        return double_ != 0;
    case varString:
    case varOleStr: {
        std::string text = Trim(AsString());
        if (SameText(text, "true") || SameText(text, "wahr"))
            return true;
        if (SameText(text, "false") || SameText(text, "falsch"))
            return false;
        return TextToDouble() != 0;
    }
    default:
        CastError(varBoolean);
    }
}

std::int64_t TVariant::AsInt64() const
{
    switch (type_) {
    case varBoolean:
    case varSmallint:
    case varInteger:
    case varInt64:
        return integer_;
    case varCurrency:
        return static_cast<std::int64_t>(std::nearbyint(static_cast<double>(integer_) / 10000.0));
    case varDouble:
    case varDate:
    case varString:
    case varOleStr: {
        double rounded = std::nearbyint(AsDouble());
        if (!(rounded >= -9.2e18 && rounded <= 9.2e18))
            CastError(varInt64);
        return static_cast<std::int64_t>(rounded);
    }
    default:
        CastError(varInt64);
    }
}

int TVariant::AsInteger() const
{
    std::int64_t value = AsInt64();
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        CastError(varInteger);
    return static_cast<int>(value);
}

double TVariant::AsDouble() const
{
    switch (type_) {
    case varBoolean:
    case varSmallint:
    case varInteger:
    case varInt64:
        return static_cast<double>(integer_);
    case varCurrency:
        return static_cast<double>(integer_) / 10000.0;
    case varDouble:
    case varDate:
        return double_;
    case varString:
    case varOleStr:
        return TextToDouble();
    default:
        CastError(varDouble);
    }
}

std::int64_t TVariant::AsCurrency() const
{
    if (type_ == varCurrency)
        return integer_;
    if (type_ == varBoolean || type_ == varSmallint || type_ == varInteger || type_ == varInt64)
        return integer_ * 10000;
    double scaled = std::nearbyint(AsDouble() * 10000.0);
    if (!(scaled >= -9.2e18 && scaled <= 9.2e18))
        CastError(varCurrency);
    return static_cast<std::int64_t>(scaled);
}

namespace {

std::optional<TDateTime> TryTextToTime(std::string_view text)
{
    int parts[3] = {0, 0, 0};
    int count = 0;
    std::size_t i = 0;
    while (i < text.size() && count < 3) {
        int value = 0, width = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && width < 3) {
            value = value * 10 + (text[i++] - '0');
            ++width;
        }
        if (width == 0)
            return std::nullopt;
        parts[count++] = value;
        if (i < text.size() && text[i] != ':')
            return std::nullopt;
        if (i < text.size())
            ++i;
    }
    if (count < 2 || i != text.size() || parts[0] > 23 || parts[1] > 59 || parts[2] > 59)
        return std::nullopt;
    return EncodeTime(parts[0], parts[1], parts[2], 0);
}

}  // namespace

std::optional<TDateTime> TryTextToDateTime(std::string_view text)
{
    text = TrimView(text);
    std::size_t blank = text.find(' ');
    if (blank == std::string_view::npos) {
        if (text.find(':') != std::string_view::npos)
            return TryTextToTime(text);
        return TryStrToDate(text);
    }
    auto date = TryStrToDate(text.substr(0, blank));
    auto time = TryTextToTime(TrimView(text.substr(blank + 1)));
    if (!date || !time)
        return std::nullopt;
    return *date + *time;
}

TDateTime TVariant::AsDateTime() const
{
    if (type_ == varString || type_ == varOleStr) {
        if (auto value = TryTextToDateTime(AsString()))
            return *value;
        CastError(varDate);
    }
    return AsDouble();
}

std::string TVariant::AsString() const
{
    switch (type_) {
    case varString:
        return text_;
    case varOleStr:
        return WideToUtf8(wide_);
    case varBoolean:
        return integer_ ? "True" : "False";
    case varSmallint:
    case varInteger:
    case varInt64:
        return IntToStr(integer_);
    case varCurrency:
    case varDouble:
        return FloatToStr(AsDouble());
    case varDate:
        if (dateKind_ == dkDate)
            return DateToStr(double_);
        if (dateKind_ == dkTime)
            return TimeToStr(double_);
        return std::trunc(double_) == double_ ? DateToStr(double_) : DateToStr(double_) + " " + TimeToStr(double_);
    default:
        CastError(varString);
    }
}

std::u16string TVariant::AsWideString() const
{
    return type_ == varOleStr ? wide_ : Utf8ToWide(AsString());
}

// ---- comparison ----

int VarCompareText(std::string_view a, std::string_view b, const TVarCompareOptions& options)
{
    if (a == b)
        return 0;
    return TextCollator::CompareUtf8(a, b, options.LocaleID, options.IgnoreCase);
}

namespace {

template <typename T>
int ThreeWay(T a, T b)
{
    return a < b ? -1 : a > b ? 1 : 0;
}

bool IsIntegral(TVarType type)
{
    return type == varBoolean || type == varSmallint || type == varInteger || type == varInt64;
}

}  // namespace

std::optional<int> VarCompare(const TVariant& a, const TVariant& b, const TVarCompareOptions& options)
{
    if (a.IsNullOrEmpty() || b.IsNullOrEmpty())
        return std::nullopt;
    if (a.IsArray() || b.IsArray())
        throw EVariantError("Variantenfelder können nicht verglichen werden");
    if (a.IsText() && b.IsText())
        return VarCompareText(a.AsString(), b.AsString(), options);
    if (a.Type() == varDate || b.Type() == varDate)
        return ThreeWay(a.AsDateTime(), b.AsDateTime());
    if (IsIntegral(a.Type()) && IsIntegral(b.Type()))
        return ThreeWay(a.AsInt64(), b.AsInt64());
    if (a.Type() == varCurrency && b.Type() == varCurrency)
        return ThreeWay(a.AsCurrency(), b.AsCurrency());
    return ThreeWay(a.AsDouble(), b.AsDouble());
}

// ---- arithmetic ----

namespace {

enum class Operation { Add, Sub, Mul };

bool AddOverflows(Operation op, std::int64_t a, std::int64_t b, std::int64_t& result)
{
    switch (op) {
    case Operation::Add: return __builtin_add_overflow(a, b, &result);
    case Operation::Sub: return __builtin_sub_overflow(a, b, &result);
    case Operation::Mul: return __builtin_mul_overflow(a, b, &result);
    }
    return true;
}

TVariant IntegerResult(std::int64_t value)
{
    if (value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max())
        return TVariant(static_cast<int>(value));
    return TVariant::Int64(value);
}

TVariant Arithmetic(Operation op, const TVariant& a, const TVariant& b)
{
    if (a.IsNullOrEmpty() || b.IsNullOrEmpty())
        return TVariant::Null();
    if (op == Operation::Add && a.IsText() && b.IsText())
        return TVariant(a.AsString() + b.AsString());
    if (IsIntegral(a.Type()) && IsIntegral(b.Type())) {
        std::int64_t result = 0;
        if (!AddOverflows(op, a.AsInt64(), b.AsInt64(), result))
            return IntegerResult(result);
    }
    double x = a.AsDouble();
    double y = b.AsDouble();
    double result = op == Operation::Add ? CheckedAdd(x, y) : op == Operation::Sub ? CheckedSub(x, y) : CheckedMul(x, y);
    if (op != Operation::Mul && (a.Type() == varDate) != (b.Type() == varDate))
        return TVariant::Date(result, a.Type() == varDate ? a.DateKind() : b.DateKind());
    if (a.Type() == varCurrency && b.Type() == varCurrency && op != Operation::Mul)
        return TVariant::Currency(a.AsCurrency() + (op == Operation::Add ? b.AsCurrency() : -b.AsCurrency()));
    return TVariant(result);
}

}  // namespace

TVariant VarAdd(const TVariant& a, const TVariant& b) { return Arithmetic(Operation::Add, a, b); }
TVariant VarSub(const TVariant& a, const TVariant& b) { return Arithmetic(Operation::Sub, a, b); }
TVariant VarMul(const TVariant& a, const TVariant& b) { return Arithmetic(Operation::Mul, a, b); }

TVariant VarDiv(const TVariant& a, const TVariant& b)
{
    if (a.IsNullOrEmpty() || b.IsNullOrEmpty())
        return TVariant::Null();
    return TVariant(CheckedDiv(a.AsDouble(), b.AsDouble()));
}

TVariant VarMod(const TVariant& a, const TVariant& b)
{
    if (a.IsNullOrEmpty() || b.IsNullOrEmpty())
        return TVariant::Null();
    if (IsIntegral(a.Type()) && IsIntegral(b.Type())) {
        std::int64_t divisor = b.AsInt64();
        if (divisor == 0)
            throw EZeroDivide();
        if (divisor == -1)
            return TVariant(0);
        return IntegerResult(a.AsInt64() % divisor);
    }
    double divisor = b.AsDouble();
    if (divisor == 0)
        throw EZeroDivide();
    return TVariant(Checked(std::fmod(a.AsDouble(), divisor)));
}

TVariant VarRem(const TVariant& a, const TVariant& b)
{
    if (a.IsNullOrEmpty() || b.IsNullOrEmpty())
        return TVariant::Null();
    double divisor = b.AsDouble();
    if (divisor == 0)
        throw EZeroDivide();
    double result = Checked(std::remainder(a.AsDouble(), divisor));
    if (IsIntegral(a.Type()) && IsIntegral(b.Type()))
        return IntegerResult(static_cast<std::int64_t>(result));
    return TVariant(result);
}

TVariant VarNeg(const TVariant& a)
{
    if (a.IsNullOrEmpty())
        return TVariant::Null();
    if (IsIntegral(a.Type()) && a.AsInt64() != std::numeric_limits<std::int64_t>::min())
        return IntegerResult(-a.AsInt64());
    if (a.Type() == varCurrency)
        return TVariant::Currency(-a.AsCurrency());
    return TVariant(-a.AsDouble());
}

// ---- BCD ----

TBcd CurrencyToBcd(std::int64_t tenThousandths, int precision)
{
    precision = std::clamp(precision, 1, 64);
    bool negative = tenThousandths < 0;
    // Digits of the magnitude, at least five so that there is a whole digit before the four
    // decimals.
    std::string digits = std::to_string(tenThousandths);
    if (negative)
        digits.erase(0, 1);
    if (digits.size() < 5)
        digits.insert(0, 5 - digits.size(), '0');
    int whole = static_cast<int>(digits.size()) - 4;
    int places = 4;
    while (places > 0 && digits.back() == '0') {
        digits.pop_back();
        --places;
    }
    if (whole > precision)
        throw EVariantError("BCD-Überlauf");
    while (whole + places > precision) {
        digits.pop_back();
        --places;
    }
    TBcd bcd;
    bcd.Precision = static_cast<std::uint8_t>(digits.size());
    bcd.SignSpecialPlaces = static_cast<std::uint8_t>((negative ? 0x80 : 0) | places);
    for (std::size_t i = 0; i < digits.size(); ++i) {
        auto digit = static_cast<std::uint8_t>(digits[i] - '0');
        bcd.Fraction[i / 2] |= static_cast<std::uint8_t>(i % 2 == 0 ? digit << 4 : digit);
    }
    return bcd;
}

std::optional<std::int64_t> BcdToCurrency(const TBcd& bcd)
{
    int precision = bcd.Precision;
    int places = bcd.SignSpecialPlaces & 0x3F;
    if (precision > 64 || places > precision || (bcd.SignSpecialPlaces & 0x40))
        return std::nullopt;
    __int128 value = 0;
    for (int i = 0; i < precision; ++i) {
        int digit = (bcd.Fraction[static_cast<std::size_t>(i / 2)] >> (i % 2 == 0 ? 4 : 0)) & 0xF;
        if (digit > 9)
            return std::nullopt;
        // Decimals beyond the fourth are dropped.
        if (i - (precision - places) >= 4)
            continue;
        value = value * 10 + digit;
        if (value > std::numeric_limits<std::int64_t>::max())
            return std::nullopt;
    }
    for (int kept = std::min(places, 4); kept < 4; ++kept) {
        value *= 10;
        if (value > std::numeric_limits<std::int64_t>::max())
            return std::nullopt;
    }
    auto result = static_cast<std::int64_t>(value);
    return (bcd.SignSpecialPlaces & 0x80) ? -result : result;
}

}  // namespace velmoran
