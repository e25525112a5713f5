// Field definitions and field objects: value conversions between the native slot formats and
// text, numbers, dates and variants.
#include "memtable/Fields.h"

#include "memtable/DataSet.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Exceptions.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/CodePage.h"
#include "platform/core/ScopeExit.h"
#include "platform/core/Text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

namespace velmoran {

int FieldDataSize(TFieldType type, int size)
{
    // Definitions are checked when added; a field object made with any other size still gets a
    // slot width that cannot overflow.
    size = std::clamp(size, 0, kMaxFieldSize);
    switch (type) {
    case ftString:
    case ftFixedChar:
        return size + 1;
    case ftSmallint:
    case ftWord:
    case ftBoolean:
        return 2;
    case ftInteger:
    case ftAutoInc:
    case ftDate:
    case ftTime:
        return 4;
    case ftFloat:
    case ftCurrency:
    case ftDateTime:
    case ftLargeint:
        return 8;
    case ftBCD:
        return 34;
    case ftBytes:
        return size;
    case ftVarBytes:
        return size + 2;
    case ftWideString:
        return size * 2 + 4;
    case ftGuid:
        return 39;
    default:
        return 0;
    }
}

bool IsBlobType(TFieldType type)
{
    switch (type) {
    case ftBlob:
    case ftMemo:
    case ftGraphic:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
    case ftOraBlob:
    case ftOraClob:
        return true;
    default:
        return false;
    }
}

std::vector<std::string> SplitFieldNames(std::string_view names)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= names.size()) {
        std::size_t end = names.find(';', start);
        if (end == std::string_view::npos)
            end = names.size();
        std::string part = Trim(names.substr(start, end - start));
        if (!part.empty())
            parts.push_back(part);
        start = end + 1;
    }
    return parts;
}

bool SameFieldName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// ---- definitions ----

std::string TFieldDef::DisplayName() const
{
    return parent_ ? parent_->DisplayName() + "." + name_ : name_;
}

namespace {
void CheckFieldSize(const std::string& name, int size)
{
    if (size < 0 || size > kMaxFieldSize)
        throw EDatabaseError("Die Felddefinition '" + name + "' hat die Größe " + std::to_string(size) + "; erlaubt sind 0 bis " +
                             std::to_string(kMaxFieldSize) + ".");
}
}  // namespace

TFieldDef& TFieldDef::AddChild(std::string name, TFieldType type, int size, bool required)
{
    CheckFieldSize(name, size);
    auto def = std::make_unique<TFieldDef>(std::move(name), type, size, required);
    def->parent_ = this;
    children_.push_back(std::move(def));
    return *children_.back();
}

TFieldDef& TFieldDefs::Add(std::string name, TFieldType type, int size, bool required)
{
    CheckFieldSize(name, size);
    defs_.push_back(std::make_unique<TFieldDef>(std::move(name), type, size, required));
    return *defs_.back();
}

const TFieldDef* TFieldDefs::Find(std::string_view name) const
{
    for (const auto& def : defs_)
        if (SameFieldName(def->Name(), name))
            return def.get();
    return nullptr;
}

namespace {

void CopyChildren(const TFieldDef& source, TFieldDef& destination)
{
    for (const auto& child : source.Children())
        CopyChildren(*child, destination.AddChild(child->Name(), child->DataType(), child->Size(), child->Required()));
}

}  // namespace

TFieldDef& CopyFieldDef(const TFieldDef& source, TFieldDefs& destination)
{
    TFieldDef& copy = destination.Add(source.Name(), source.DataType(), source.Size(), source.Required());
    CopyChildren(source, copy);
    return copy;
}

void CopyFieldDefs(const TFieldDefs& source, TFieldDefs& destination)
{
    if (&source == &destination)
        return;
    destination.Clear();
    for (int i = 0; i < source.Count(); ++i)
        CopyFieldDef(source[i], destination);
}

namespace {

int EntryCount(const TFieldDef& def)
{
    int children = 0;
    for (const auto& child : def.Children())
        children += EntryCount(*child);
    return 1 + (def.DataType() == ftArray ? def.Size() : 1) * children;
}

void NumberDef(TFieldDef& def, int& next)
{
    def.SetFieldNo(++next);
    int children = 0;
    for (const auto& child : def.Children()) {
        NumberDef(*child, next);
        children += EntryCount(*child);
    }
    // Later repetitions of an array's elements only take numbers.
    if (def.DataType() == ftArray && def.Size() > 1)
        next += (def.Size() - 1) * children;
}

}  // namespace

int TFieldDefs::AssignFieldNumbers()
{
    int next = 0;
    for (auto& def : defs_)
        NumberDef(*def, next);
    return next;
}

// ---- TField ----

TField::TField(std::string fieldName, TFieldType type, int size)
    : fieldName_(std::move(fieldName)), dataType_(type), size_(size)
{
}

TField::~TField() = default;

bool TField::GetData(void* buffer) const
{
    if (isValidating_) {
        if (!validating_)
            return false;
        if (buffer)
            std::memcpy(buffer, validating_, static_cast<std::size_t>(DataSize()));
        return true;
    }
    if (!dataSet_)
        throw EDatabaseError("Feld '" + fieldName_ + "' hat keine Datenmenge");
    return dataSet_->GetFieldData(*this, buffer);
}

void TField::SetData(const void* buffer)
{
    if (!dataSet_)
        throw EDatabaseError("Feld '" + fieldName_ + "' hat keine Datenmenge");
    dataSet_->SetFieldData(*this, buffer);
}

bool TField::IsNull() const
{
    return !GetData(nullptr);
}

void TField::Clear()
{
    SetData(nullptr);
}

void TField::Validate(const void* buffer)
{
    if (!OnValidate)
        return;
    const ScopedValue<bool> validating(isValidating_, true);
    const ScopedValue<const void*> record(validating_, buffer);
    OnValidate(*this);
}

void TField::Change()
{
    if (OnChange)
        OnChange(*this);
}

void TField::SetText(std::string_view text)
{
    if (text.empty())
        Clear();
    else
        SetTextValue(text);
}

void TField::AccessError(std::string_view typeName) const
{
    throw EDatabaseError("Zugriff auf Feld '" + DisplayName() + "' als Typ " + std::string(typeName) +
                         " nicht möglich");
}

std::string TField::AsString() const { AccessError("String"); }
void TField::SetAsString(std::string_view) { AccessError("String"); }
double TField::AsFloat() const { AccessError("Float"); }
void TField::SetAsFloat(double) { AccessError("Float"); }
int TField::AsInteger() const { AccessError("Integer"); }
void TField::SetAsInteger(int) { AccessError("Integer"); }
TDateTime TField::AsDateTime() const { AccessError("DateTime"); }
void TField::SetAsDateTime(TDateTime) { AccessError("DateTime"); }

// ---- TStringField ----

TStringField::TStringField(std::string fieldName, int size) : TField(std::move(fieldName), ftString, size) {}

std::string TStringField::AsString() const
{
    std::string slot(static_cast<std::size_t>(DataSize()), '\0');
    if (!GetData(slot.data()))
        return {};
    slot.resize(std::strlen(slot.c_str()));
    return Cp1252ToUtf8(slot);
}

void TStringField::SetAsString(std::string_view value)
{
    // Only what the slot keeps is converted: a value may be megabytes long.
    std::string slot = Utf8ToCp1252(FirstCharacters(value, static_cast<std::size_t>(Size())));
    // A zero byte would end the text early; the slot is cut to the field's size.
    slot.resize(std::min(std::strlen(slot.c_str()), static_cast<std::size_t>(Size())));
    slot.resize(static_cast<std::size_t>(DataSize()), '\0');
    SetData(slot.data());
}

double TStringField::AsFloat() const { return StrToFloat(AsString()); }
void TStringField::SetAsFloat(double value) { SetAsString(FloatToStr(value)); }
int TStringField::AsInteger() const { return StrToInt(AsString()); }
void TStringField::SetAsInteger(int value) { SetAsString(IntToStr(value)); }
TDateTime TStringField::AsDateTime() const { return StrToDate(AsString()); }
void TStringField::SetAsDateTime(TDateTime value) { SetAsString(DateToStr(value)); }

// ---- numeric fields ----

TNumericField::TNumericField(std::string fieldName, TFieldType type) : TField(std::move(fieldName), type)
{
    Alignment = taRightJustify;
}

TIntegerField::TIntegerField(std::string fieldName)
    : TIntegerField(std::move(fieldName), ftInteger, INT32_MIN, INT32_MAX)
{
}

TIntegerField::TIntegerField(std::string fieldName, TFieldType type, int minRange, int maxRange)
    : TNumericField(std::move(fieldName), type), minRange_(minRange), maxRange_(maxRange)
{
}

TSmallintField::TSmallintField(std::string fieldName) : TIntegerField(std::move(fieldName), ftSmallint, -32768, 32767) {}
TWordField::TWordField(std::string fieldName) : TIntegerField(std::move(fieldName), ftWord, 0, 65535) {}

int TIntegerField::AsInteger() const
{
    switch (DataType()) {
    case ftSmallint: {
        std::int16_t v = 0;
        return GetData(&v) ? v : 0;
    }
    case ftWord: {
        std::uint16_t v = 0;
        return GetData(&v) ? v : 0;
    }
    default: {
        std::int32_t v = 0;
        return GetData(&v) ? v : 0;
    }
    }
}

void TIntegerField::SetAsInteger(int value)
{
    if (value < minRange_ || value > maxRange_)
        throw EDatabaseError(IntToStr(value) + " ist kein gültiger Wert für Feld '" + DisplayName() +
                             "'. Der erlaubte Bereich ist " + IntToStr(minRange_) + " bis " + IntToStr(maxRange_));
    switch (DataType()) {
    case ftSmallint: {
        auto v = static_cast<std::int16_t>(value);
        SetData(&v);
        break;
    }
    case ftWord: {
        auto v = static_cast<std::uint16_t>(value);
        SetData(&v);
        break;
    }
    default: {
        auto v = static_cast<std::int32_t>(value);
        SetData(&v);
        break;
    }
    }
}

std::string TIntegerField::AsString() const
{
    return IsNull() ? std::string() : IntToStr(AsInteger());
}

void TIntegerField::SetAsString(std::string_view value)
{
    if (value.empty())
        Clear();
    else
        SetAsInteger(StrToInt(value));
}

double TIntegerField::AsFloat() const { return AsInteger(); }

void TIntegerField::SetAsFloat(double value)
{
    double rounded = std::nearbyint(value);
    if (!(rounded >= minRange_ && rounded <= maxRange_))
        throw EDatabaseError(FloatToStr(value) + " ist kein gültiger Wert für Feld '" + DisplayName() +
                             "'. Der erlaubte Bereich ist " + IntToStr(minRange_) + " bis " + IntToStr(maxRange_));
    SetAsInteger(static_cast<int>(rounded));
}

// ---- TFloatField ----

TFloatField::TFloatField(std::string fieldName) : TNumericField(std::move(fieldName), ftFloat) {}
TFloatField::TFloatField(std::string fieldName, TFieldType type) : TNumericField(std::move(fieldName), type) {}

double TFloatField::AsFloat() const
{
    double v = 0;
    return GetData(&v) ? v : 0.0;
}

void TFloatField::SetAsFloat(double value) { SetData(&value); }

int TFloatField::AsInteger() const
{
    double rounded = std::nearbyint(AsFloat());
    if (!(rounded >= INT32_MIN && rounded <= INT32_MAX))
        throw EConvertError::InvalidInteger(FloatToStr(AsFloat()));
    return static_cast<int>(rounded);
}

void TFloatField::SetAsInteger(int value) { SetAsFloat(value); }

std::string TFloatField::AsString() const
{
    double v = 0;
    return GetData(&v) ? FloatToStr(v, FormatSettings::Current()) : std::string();
}

void TFloatField::SetAsString(std::string_view value)
{
    if (value.empty())
        Clear();
    else
        SetAsFloat(StrToFloat(value, FormatSettings::Current()));
}

std::string TFloatField::DisplayText() const
{
    double v = 0;
    if (!GetData(&v))
        return {};
    return FormatFloat(DisplayFormat(), v, FormatSettings::Current());
}

// ---- TDateField ----

TDateField::TDateField(std::string fieldName) : TDateTimeField(std::move(fieldName), ftDate) {}

TDateTime TDateField::AsDateTime() const
{
    std::int32_t day = 0;
    return GetData(&day) ? static_cast<TDateTime>(day) - kDateDelta : 0.0;
}

void TDateField::SetAsDateTime(TDateTime value)
{
    double day = std::trunc(value) + kDateDelta;
    if (!(day >= 1 && day <= INT32_MAX))
        throw EConvertError::InvalidFloat(FloatToStr(value));
    auto v = static_cast<std::int32_t>(day);
    SetData(&v);
}

std::string TDateField::AsString() const
{
    return IsNull() ? std::string() : DateToStr(AsDateTime());
}

void TDateField::SetAsString(std::string_view value)
{
    if (value.empty())
        Clear();
    else
        SetAsDateTime(StrToDate(value));
}

// ---- creation and the field list ----

std::unique_ptr<TField> CreateField(std::string name, TFieldType type, int size)
{
    switch (type) {
    case ftString:
        return std::make_unique<TStringField>(std::move(name), size);
    case ftSmallint:
        return std::make_unique<TSmallintField>(std::move(name));
    case ftInteger:
        return std::make_unique<TIntegerField>(std::move(name));
    case ftWord:
        return std::make_unique<TWordField>(std::move(name));
    case ftFloat:
        return std::make_unique<TFloatField>(std::move(name));
    case ftDate:
        return std::make_unique<TDateField>(std::move(name));
    case ftBoolean:
        return std::make_unique<TBooleanField>(std::move(name));
    case ftLargeint:
        return std::make_unique<TLargeintField>(std::move(name));
    case ftAutoInc:
        return std::make_unique<TAutoIncField>(std::move(name));
    case ftWideString:
        return std::make_unique<TWideStringField>(std::move(name), size);
    case ftCurrency:
        return std::make_unique<TCurrencyField>(std::move(name));
    case ftBCD:
        return std::make_unique<TBCDField>(std::move(name), size);
    case ftTime:
        return std::make_unique<TTimeField>(std::move(name));
    case ftDateTime:
        return std::make_unique<TDateTimeField>(std::move(name));
    case ftMemo:
        return std::make_unique<TMemoField>(std::move(name));
    default:
        if (IsBlobType(type))
            return std::make_unique<TBlobField>(std::move(name), type);
        return std::make_unique<TField>(std::move(name), type, size);
    }
}

std::unique_ptr<TField> CreateFieldForDef(const TFieldDef& def)
{
    return CreateField(def.Name(), def.DataType(), def.Size());
}

TField* TFields::FindField(std::string_view name) const
{
    for (const auto& field : fields_)
        if (SameFieldName(field->FieldName(), name))
            return field.get();
    return nullptr;
}

TField& TFields::Add(std::unique_ptr<TField> field)
{
    fields_.push_back(std::move(field));
    return *fields_.back();
}

// ---- native values and variants ----

namespace {

constexpr double kMsPerDay = 86400000.0;

template <typename T>
T ReadNative(const std::byte* native)
{
    T value{};
    std::memcpy(&value, native, sizeof value);
    return value;
}

template <typename T>
void WriteNative(std::byte* native, T value)
{
    std::memcpy(native, &value, sizeof value);
}

std::int32_t TimeToMilliseconds(TDateTime value)
{
    double ms = std::nearbyint((value - std::floor(value)) * kMsPerDay);
    return static_cast<std::int32_t>(std::fmod(ms, kMsPerDay));
}

}  // namespace

TVariant NativeToVariant(const TField& field, const std::byte* native)
{
    switch (field.DataType()) {
    case ftString:
    case ftFixedChar:
    case ftGuid: {
        const char* text = reinterpret_cast<const char*>(native);
        return TVariant(Cp1252ToUtf8(std::string_view(text, ::strnlen(text, static_cast<std::size_t>(field.DataSize())))));
    }
    case ftSmallint:
        return TVariant::Smallint(ReadNative<std::int16_t>(native));
    case ftWord:
        return TVariant(static_cast<int>(ReadNative<std::uint16_t>(native)));
    case ftBoolean:
        return TVariant(ReadNative<std::int16_t>(native) != 0);
    case ftInteger:
    case ftAutoInc:
        return TVariant(static_cast<int>(ReadNative<std::int32_t>(native)));
    case ftLargeint:
        return TVariant::Int64(ReadNative<std::int64_t>(native));
    case ftFloat:
        return TVariant(ReadNative<double>(native));
    case ftCurrency:
        return TVariant::Currency(static_cast<std::int64_t>(std::nearbyint(ReadNative<double>(native) * 10000.0)));
    case ftBCD: {
        auto value = BcdToCurrency(ReadNative<TBcd>(native));
        return value ? TVariant::Currency(*value) : TVariant::Null();
    }
    case ftDate:
        return TVariant::Date(static_cast<double>(ReadNative<std::int32_t>(native)) - kDateDelta, dkDate);
    case ftTime:
        return TVariant::Date(ReadNative<std::int32_t>(native) / kMsPerDay, dkTime);
    case ftDateTime:
        return TVariant::Date(ReadNative<double>(native) / kMsPerDay - kDateDelta, dkDateTime);
    case ftWideString: {
        std::uint32_t bytes = std::min<std::uint32_t>(ReadNative<std::uint32_t>(native),
                                                       static_cast<std::uint32_t>(field.Size() * 2));
        std::u16string text(bytes / 2, u'\0');
        std::memcpy(text.data(), native + 4, text.size() * 2);
        return TVariant(std::move(text));
    }
    default:
        return TVariant::Null();
    }
}

void VariantToNative(const TField& field, const TVariant& value, std::byte* native)
{
    std::memset(native, 0, static_cast<std::size_t>(field.DataSize()));
    switch (field.DataType()) {
    case ftString:
    case ftFixedChar:
    case ftGuid: {
        std::string text = Utf8ToCp1252(value.AsString());
        std::size_t limit = static_cast<std::size_t>(field.DataSize() - 1);
        text.resize(std::min({std::strlen(text.c_str()), limit}));
        std::memcpy(native, text.data(), text.size());
        break;
    }
    case ftSmallint:
    case ftWord: {
        int v = value.AsInteger();
        bool word = field.DataType() == ftWord;
        if (v < (word ? 0 : -32768) || v > (word ? 65535 : 32767))
            throw EVariantError(IntToStr(v) + " ist kein gültiger Wert für Feld '" + field.DisplayName() + "'");
        if (word)
            WriteNative(native, static_cast<std::uint16_t>(v));
        else
            WriteNative(native, static_cast<std::int16_t>(v));
        break;
    }
    case ftBoolean:
        WriteNative(native, static_cast<std::int16_t>(value.AsBoolean() ? 1 : 0));
        break;
    case ftInteger:
    case ftAutoInc:
        WriteNative(native, static_cast<std::int32_t>(value.AsInteger()));
        break;
    case ftLargeint:
        WriteNative(native, value.AsInt64());
        break;
    case ftFloat:
        WriteNative(native, value.AsDouble());
        break;
    case ftCurrency:
        WriteNative(native, static_cast<double>(value.AsCurrency()) / 10000.0);
        break;
    case ftBCD:
        // A BCD field's own precision; a plain field of the type takes the largest.
        if (const auto* bcd = dynamic_cast<const TBCDField*>(&field))
            WriteNative(native, CurrencyToBcd(value.AsCurrency(), bcd->WritePrecision()));
        else
            WriteNative(native, CurrencyToBcd(value.AsCurrency(), std::max(32, field.Size() + 1)));
        break;
    case ftDate: {
        const double day = std::floor(value.AsDateTime()) + kDateDelta;
        if (!(day >= 1 && day <= INT32_MAX))
            throw EConvertError::InvalidFloat(FloatToStr(value.AsDateTime()));
        WriteNative(native, static_cast<std::int32_t>(day));
        break;
    }
    case ftTime:
        WriteNative(native, TimeToMilliseconds(value.AsDateTime()));
        break;
    case ftDateTime: {
        TDateTime t = value.AsDateTime();
        double day = std::floor(t) + kDateDelta;
        WriteNative(native, day * kMsPerDay + TimeToMilliseconds(t));
        break;
    }
    case ftWideString: {
        std::u16string text = value.AsWideString();
        text.resize(std::min(text.size(), static_cast<std::size_t>(field.Size())));
        WriteNative(native, static_cast<std::uint32_t>(text.size() * 2));
        std::memcpy(native + 4, text.data(), text.size() * 2);
        break;
    }
    default:
        throw EVariantError("Feld '" + field.DisplayName() + "' kann keinen Variantenwert aufnehmen");
    }
}

TVariant TField::AsVariant() const
{
    std::array<std::byte, 64> local{};
    std::vector<std::byte> heap;
    std::byte* native = local.data();
    if (DataSize() > static_cast<int>(local.size())) {
        heap.resize(static_cast<std::size_t>(DataSize()));
        native = heap.data();
    }
    if (!GetData(native))
        return TVariant::Null();
    return NativeToVariant(*this, native);
}

TVariant TField::OldValue() const
{
    if (!dataSet_)
        throw EDatabaseError("Feld '" + fieldName_ + "' hat keine Datenmenge");
    return dataSet_->FieldOldValue(*this);
}

// ---- Boolean, Largeint, AutoInc ----

TBooleanField::TBooleanField(std::string fieldName) : TField(std::move(fieldName), ftBoolean) {}

bool TBooleanField::AsBoolean() const
{
    std::int16_t v = 0;
    return GetData(&v) && v != 0;
}

void TBooleanField::SetAsBoolean(bool value)
{
    auto v = static_cast<std::int16_t>(value ? 1 : 0);
    SetData(&v);
}

std::string TBooleanField::AsString() const
{
    return IsNull() ? std::string() : AsBoolean() ? "True" : "False";
}

void TBooleanField::SetAsString(std::string_view value)
{
    if (value.empty()) {
        Clear();
        return;
    }
    try {
        SetAsBoolean(TVariant(std::string(value)).AsBoolean());
    } catch (const EVariantError&) {
        throw EConvertError("'" + Excerpt(value) + "' ist kein gültiger Boolescher Wert");
    }
}

TLargeintField::TLargeintField(std::string fieldName) : TNumericField(std::move(fieldName), ftLargeint) {}

std::int64_t TLargeintField::AsLargeInt() const
{
    std::int64_t v = 0;
    return GetData(&v) ? v : 0;
}

void TLargeintField::SetAsLargeInt(std::int64_t value) { SetData(&value); }

std::string TLargeintField::AsString() const
{
    return IsNull() ? std::string() : IntToStr(AsLargeInt());
}

void TLargeintField::SetAsString(std::string_view value)
{
    std::string_view text = TrimView(value);
    if (text.empty()) {
        Clear();
        return;
    }
    std::int64_t v = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (error != std::errc() || end != text.data() + text.size())
        throw EConvertError::InvalidInteger(value);
    SetAsLargeInt(v);
}

void TLargeintField::SetAsFloat(double value)
{
    double rounded = std::nearbyint(value);
    if (!(rounded >= -9.2e18 && rounded <= 9.2e18))
        throw EConvertError::InvalidInteger(FloatToStr(value));
    SetAsLargeInt(static_cast<std::int64_t>(rounded));
}

int TLargeintField::AsInteger() const
{
    std::int64_t v = AsLargeInt();
    if (v < INT32_MIN || v > INT32_MAX)
        throw EConvertError::InvalidInteger(IntToStr(v));
    return static_cast<int>(v);
}

TAutoIncField::TAutoIncField(std::string fieldName) : TIntegerField(std::move(fieldName), ftAutoInc, INT32_MIN, INT32_MAX) {}

// ---- wide text ----

TWideStringField::TWideStringField(std::string fieldName, int size) : TField(std::move(fieldName), ftWideString, size) {}

std::u16string TWideStringField::AsWideString() const
{
    TVariant value = AsVariant();
    return value.IsNull() ? std::u16string() : value.AsWideString();
}

void TWideStringField::SetAsWideString(std::u16string_view value)
{
    std::vector<std::byte> native(static_cast<std::size_t>(DataSize()));
    VariantToNative(*this, TVariant(std::u16string(value)), native.data());
    SetData(native.data());
}

std::string TWideStringField::AsString() const { return WideToUtf8(AsWideString()); }
void TWideStringField::SetAsString(std::string_view value)
{
    // Only what the field keeps is converted: a value may be megabytes long.
    SetAsWideString(Utf8ToWide(FirstCharacters(value, static_cast<std::size_t>(Size()))));
}

// ---- currency, time, date-time ----

TCurrencyField::TCurrencyField(std::string fieldName) : TFloatField(std::move(fieldName), ftCurrency)
{
    SetDisplayFormat("#,##0.00");
    Currency = true;
}

TTimeField::TTimeField(std::string fieldName) : TDateTimeField(std::move(fieldName), ftTime) {}

TDateTime TTimeField::AsDateTime() const
{
    std::int32_t ms = 0;
    return GetData(&ms) ? ms / kMsPerDay : 0.0;
}

void TTimeField::SetAsDateTime(TDateTime value)
{
    std::int32_t ms = TimeToMilliseconds(value);
    SetData(&ms);
}

std::string TTimeField::AsString() const { return IsNull() ? std::string() : TimeToStr(AsDateTime()); }

void TTimeField::SetAsString(std::string_view value)
{
    if (value.empty()) {
        Clear();
        return;
    }
    auto time = TryTextToDateTime(value);
    if (!time)
        throw EConvertError("'" + Excerpt(value) + "' ist keine gültige Zeit");
    SetAsDateTime(*time);
}

TDateTimeField::TDateTimeField(std::string fieldName) : TField(std::move(fieldName), ftDateTime) {}
TDateTimeField::TDateTimeField(std::string fieldName, TFieldType type) : TField(std::move(fieldName), type) {}

TDateTime TDateTimeField::AsDateTime() const
{
    double ms = 0;
    return GetData(&ms) ? ms / kMsPerDay - kDateDelta : 0.0;
}

void TDateTimeField::SetAsDateTime(TDateTime value)
{
    std::byte native[8];
    VariantToNative(*this, TVariant::Date(value, dkDateTime), native);
    SetData(native);
}

std::string TDateTimeField::AsString() const
{
    return IsNull() ? std::string() : TVariant::Date(AsDateTime(), dkDateTime).AsString();
}

void TDateTimeField::SetAsString(std::string_view value)
{
    if (value.empty()) {
        Clear();
        return;
    }
    auto dateTime = TryTextToDateTime(value);
    if (!dateTime)
        throw EConvertError("'" + Excerpt(value) + "' ist kein gültiges Datum mit Uhrzeit");
    SetAsDateTime(*dateTime);
}

// ---- blobs and memos ----

TBlobField::TBlobField(std::string fieldName, TFieldType type) : TField(std::move(fieldName), type), BlobType(type) {}

std::string TBlobField::AsBytes() const
{
    if (!DataSet())
        throw EDatabaseError("Feld '" + FieldName() + "' hat keine Datenmenge");
    std::unique_ptr<TBlobStream> stream = DataSet()->CreateBlobStream(const_cast<TBlobField&>(*this), bmRead);
    std::string bytes(static_cast<std::size_t>(stream->Size()), '\0');
    stream->SetPosition(0);
    stream->ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    return bytes;
}

void TBlobField::SetAsBytes(std::string_view bytes)
{
    if (!DataSet())
        throw EDatabaseError("Feld '" + FieldName() + "' hat keine Datenmenge");
    std::unique_ptr<TBlobStream> stream = DataSet()->CreateBlobStream(*this, bmWrite);
    stream->WriteString(bytes);
    // Closing hands the contents to the record; a failure there reaches the caller.
    stream->Close();
}

void TBlobField::LoadFromStream(TStream& source)
{
    TMemoryStream bytes;
    bytes.CopyFrom(source, 0);
    SetAsBytes(bytes.View());
}

void TBlobField::SaveToStream(TStream& target) const
{
    target.WriteString(AsBytes());
}

TMemoField::TMemoField(std::string fieldName) : TBlobField(std::move(fieldName), ftMemo)
{
    Transliterate = true;
}

std::string TMemoField::AsString() const { return Cp1252ToUtf8(AsBytes()); }
void TMemoField::SetAsString(std::string_view value) { SetAsBytes(Utf8ToCp1252(value)); }

}  // namespace velmoran
