// Field definitions and field objects: value conversions between the native slot formats and
// text, numbers and dates.
#include "memtable/Fields.h"

#include "memtable/DataSet.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Exceptions.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/ScopeExit.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace velmoran {

int FieldDataSize(TFieldType type, int size)
{
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

TFieldDef& TFieldDef::AddChild(std::string name, TFieldType type, int size, bool required)
{
    auto def = std::make_unique<TFieldDef>(std::move(name), type, size, required);
    def->parent_ = this;
    children_.push_back(std::move(def));
    return *children_.back();
}

TFieldDef& TFieldDefs::Add(std::string name, TFieldType type, int size, bool required)
{
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
    std::string slot = Utf8ToCp1252(value);
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

// ---- integer fields ----

TIntegerField::TIntegerField(std::string fieldName)
    : TIntegerField(std::move(fieldName), ftInteger, INT32_MIN, INT32_MAX)
{
}

TIntegerField::TIntegerField(std::string fieldName, TFieldType type, int minRange, int maxRange)
    : TField(std::move(fieldName), type), minRange_(minRange), maxRange_(maxRange)
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

TFloatField::TFloatField(std::string fieldName) : TField(std::move(fieldName), ftFloat) {}

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
    return FormatFloat(displayFormat_, v, FormatSettings::Current());
}

// ---- TDateField ----

TDateField::TDateField(std::string fieldName) : TField(std::move(fieldName), ftDate) {}

TDateTime TDateField::AsDateTime() const
{
    std::int32_t day = 0;
    return GetData(&day) ? static_cast<TDateTime>(day - kDateDelta) : 0.0;
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

std::unique_ptr<TField> CreateFieldForDef(const TFieldDef& def)
{
    switch (def.DataType()) {
    case ftString:
        return std::make_unique<TStringField>(def.Name(), def.Size());
    case ftSmallint:
        return std::make_unique<TSmallintField>(def.Name());
    case ftInteger:
        return std::make_unique<TIntegerField>(def.Name());
    case ftWord:
        return std::make_unique<TWordField>(def.Name());
    case ftFloat:
        return std::make_unique<TFloatField>(def.Name());
    case ftDate:
        return std::make_unique<TDateField>(def.Name());
    default:
        return std::make_unique<TField>(def.Name(), def.DataType(), def.Size());
    }
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

}  // namespace velmoran
