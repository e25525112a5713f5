// Field definitions and field objects of the dataset layer. A field object reads and writes its
// value through its dataset in the native format of its type (see FieldDataSize) and converts it
// to and from text, numbers and dates. Names and text values are UTF-8; text slots of records
// hold Windows-1252 bytes.
#pragma once

#include "memtable/Variant.h"
#include "platform/core/Alignment.h"
#include "platform/core/DateTime.h"
#include "platform/core/Stream.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmoran {

class TDataSet;

// Data types of fields; the ordinals (0 to 35) appear in messages.
enum class TFieldType : std::uint8_t {
    ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD,
    ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic,
    ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary, ftCursor, ftFixedChar, ftWideString,
    ftLargeint, ftADT, ftArray, ftReference, ftDataSet, ftOraBlob, ftOraClob, ftVariant,
    ftInterface, ftIDispatch, ftGuid
};
using enum TFieldType;

enum class TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc };
using enum TFieldKind;

// The largest size a field definition may have (characters of a text, bytes of a byte field,
// elements of an array): a damaged or hostile table file cannot ask for gigabytes per record.
constexpr int kMaxFieldSize = 65535;

// Width in bytes of a value of the type in its native form (the value slot of a record):
// text Size + 1 (zero-terminated), small integers 2, integers and dates 4, floats 8, ...;
// 0 for the types stored outside the record and for containers.
int FieldDataSize(TFieldType type, int size);
bool IsBlobType(TFieldType type);

// How a field's value is aligned where it is shown.
using enum TAlignment;

// What a field takes part in when its changes are applied elsewhere.
using TProviderFlags = std::uint8_t;
constexpr TProviderFlags pfInUpdate = 1;
constexpr TProviderFlags pfInWhere = 2;
constexpr TProviderFlags pfInKey = 4;
constexpr TProviderFlags pfHidden = 8;

// The names of a field-name list "A;B;C" (blanks around a name dropped, empty names skipped).
std::vector<std::string> SplitFieldNames(std::string_view names);

// One field definition: name, type, size, required flag; ftADT and ftArray definitions hold
// child definitions (an array's child is repeated Size times).
class TFieldDef {
public:
    TFieldDef(std::string name, TFieldType type, int size, bool required)
        : name_(std::move(name)), type_(type), size_(size), required_(required) {}

    const std::string& Name() const { return name_; }
    // The name qualified with the names of the parents ("Adresse.Ort").
    std::string DisplayName() const;
    TFieldType DataType() const { return type_; }
    int Size() const { return size_; }
    bool Required() const { return required_; }
    // 1-based number in the flattened definition order; 0 until numbered.
    int FieldNo() const { return fieldNo_; }
    void SetFieldNo(int fieldNo) { fieldNo_ = fieldNo; }

    TFieldDef& AddChild(std::string name, TFieldType type, int size = 0, bool required = false);
    const std::vector<std::unique_ptr<TFieldDef>>& Children() const { return children_; }
    const TFieldDef* Parent() const { return parent_; }

private:
    std::string name_;
    TFieldType type_;
    int size_;
    bool required_;
    int fieldNo_ = 0;
    const TFieldDef* parent_ = nullptr;
    std::vector<std::unique_ptr<TFieldDef>> children_;
};

class TFieldDefs {
public:
    // A size outside 0..kMaxFieldSize raises EDatabaseError and adds nothing (so does AddChild).
    TFieldDef& Add(std::string name, TFieldType type, int size = 0, bool required = false);
    void Clear() { defs_.clear(); }
    int Count() const { return static_cast<int>(defs_.size()); }
    TFieldDef& operator[](int index) { return *defs_.at(static_cast<std::size_t>(index)); }
    const TFieldDef& operator[](int index) const { return *defs_.at(static_cast<std::size_t>(index)); }
    // Case-insensitive; null when absent.
    const TFieldDef* Find(std::string_view name) const;
    // Numbers every definition in flattened order (children after their parent, an array's
    // children Size times) and returns the number of entries.
    int AssignFieldNumbers();

private:
    std::vector<std::unique_ptr<TFieldDef>> defs_;
};

// Copies a definition with its children to the end of a list; replaces a whole list.
TFieldDef& CopyFieldDef(const TFieldDef& source, TFieldDefs& destination);
void CopyFieldDefs(const TFieldDefs& source, TFieldDefs& destination);

// Base of every field object. A plain TField serves types that have no class of their own: it
// reads and writes only the native value (GetData/SetData) and the null state.
class TField {
public:
    TField(std::string fieldName, TFieldType type, int size = 0);
    virtual ~TField();
    TField(const TField&) = delete;
    TField& operator=(const TField&) = delete;

    const std::string& FieldName() const { return fieldName_; }
    // The label shown for the field: DisplayLabel when set, else the field name.
    std::string DisplayLabel() const { return displayLabel_.empty() ? fieldName_ : displayLabel_; }
    void SetDisplayLabel(std::string label) { displayLabel_ = std::move(label); }
    std::string DisplayName() const { return DisplayLabel(); }
    TFieldType DataType() const { return dataType_; }
    int Size() const { return size_; }
    int DataSize() const { return FieldDataSize(dataType_, size_); }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool Required() const { return required_; }
    void SetRequired(bool required) { required_ = required; }

    // Kept for whoever shows or copies the field; the table does not act on them, except that a
    // new record starts with DefaultExpression written as text.
    std::string EditMask;
    int DisplayWidth = 0;
    bool Visible = true;
    std::string DefaultExpression;
    TAlignment Alignment = taLeftJustify;
    TProviderFlags ProviderFlags = pfInUpdate | pfInWhere;

    TFieldKind FieldKind() const { return fieldKind_; }
    void SetFieldKind(TFieldKind kind) { fieldKind_ = kind; }
    bool IsDataField() const { return fieldKind_ == fkData || fieldKind_ == fkInternalCalc; }
    TDataSet* DataSet() const { return dataSet_; }
    // 1-based number of the field's definition while its dataset is open; -1 otherwise and for
    // calculated fields.
    int FieldNo() const { return fieldNo_; }
    // Offset of a calculated field's entry within the calculated-field area.
    int CalcOffset() const { return calcOffset_; }

    bool IsNull() const;
    void Clear();

    virtual std::string AsString() const;
    virtual void SetAsString(std::string_view value);
    virtual double AsFloat() const;
    virtual void SetAsFloat(double value);
    virtual int AsInteger() const;
    virtual void SetAsInteger(int value);
    virtual TDateTime AsDateTime() const;
    virtual void SetAsDateTime(TDateTime value);
    // The value read from its native form by the data type, for every type (null for a null
    // value; byte and blob types read as null).
    TVariant AsVariant() const;
    // The value before the record's changes (with versioning, of its oldest version).
    TVariant OldValue() const;
    // The text for editing and the text for display; both empty for a null value.
    virtual std::string Text() const { return AsString(); }
    virtual std::string DisplayText() const { return AsString(); }
    // Parses the text in the user's locale; an empty text makes the field null.
    void SetText(std::string_view text);

    // Native value access through the dataset. GetData answers the null test (false for null);
    // `buffer` may be null to ask only that. SetData with null writes a null value.
    bool GetData(void* buffer) const;
    void SetData(const void* buffer);

    // Runs OnValidate with the field showing the value about to be written (null: null value).
    void Validate(const void* buffer);
    // Called by the dataset after the field's value changed.
    void Change();

    std::function<void(TField&)> OnValidate;
    std::function<void(TField&)> OnChange;

    // Used by the dataset layer.
    void Bind(TDataSet* dataSet) { dataSet_ = dataSet; }
    void SetFieldNo(int fieldNo) { fieldNo_ = fieldNo; }
    void SetCalcOffset(int offset) { calcOffset_ = offset; }

protected:
    [[noreturn]] void AccessError(std::string_view typeName) const;
    virtual void SetTextValue(std::string_view text) { SetAsString(text); }

private:
    std::string fieldName_;
    std::string displayLabel_;
    TFieldType dataType_;
    int size_;
    bool readOnly_ = false;
    bool required_ = false;
    TFieldKind fieldKind_ = fkData;
    TDataSet* dataSet_ = nullptr;
    int fieldNo_ = -1;
    int calcOffset_ = 0;
    const void* validating_ = nullptr;  // value under validation
    bool isValidating_ = false;
};

// Text of at most Size characters (default 20); longer values are cut.
class TStringField : public TField {
public:
    explicit TStringField(std::string fieldName, int size = 20);
    bool Transliterate = true;
    std::string AsString() const override;
    void SetAsString(std::string_view value) override;
    double AsFloat() const override;
    void SetAsFloat(double value) override;
    int AsInteger() const override;
    void SetAsInteger(int value) override;
    TDateTime AsDateTime() const override;
    void SetAsDateTime(TDateTime value) override;
};

// Numbers: right-aligned, with formats kept for display and editing.
class TNumericField : public TField {
public:
    TNumericField(std::string fieldName, TFieldType type);
    // TFloatField shows its values through DisplayFormat; the others only keep the formats.
    const std::string& DisplayFormat() const { return displayFormat_; }
    void SetDisplayFormat(std::string format) { displayFormat_ = std::move(format); }
    const std::string& EditFormat() const { return editFormat_; }
    void SetEditFormat(std::string format) { editFormat_ = std::move(format); }

private:
    std::string displayFormat_;
    std::string editFormat_;
};

// Whole numbers; the subclasses narrow the range and the storage width. MinValue and MaxValue
// are kept as they are given (0 and 0: no limit of its own); the range of the type is checked.
class TIntegerField : public TNumericField {
public:
    explicit TIntegerField(std::string fieldName);
    int MinValue = 0;
    int MaxValue = 0;
    std::string AsString() const override;
    void SetAsString(std::string_view value) override;
    double AsFloat() const override;
    // Rounds half to even; a value outside the range is refused.
    void SetAsFloat(double value) override;
    int AsInteger() const override;
    void SetAsInteger(int value) override;
    int MinRange() const { return minRange_; }
    int MaxRange() const { return maxRange_; }

protected:
    TIntegerField(std::string fieldName, TFieldType type, int minRange, int maxRange);

private:
    int minRange_;
    int maxRange_;
};

class TSmallintField : public TIntegerField {
public:
    explicit TSmallintField(std::string fieldName);
};

class TWordField : public TIntegerField {
public:
    explicit TWordField(std::string fieldName);
};

// A double; DisplayText uses DisplayFormat (the general format when it is empty). The limits,
// the precision and the currency flag are kept as given.
class TFloatField : public TNumericField {
public:
    explicit TFloatField(std::string fieldName);
    TFloatField(std::string fieldName, TFieldType type);
    double MinValue = 0;
    double MaxValue = 0;
    int Precision = 15;
    bool Currency = false;

    std::string AsString() const override;
    void SetAsString(std::string_view value) override;
    double AsFloat() const override;
    void SetAsFloat(double value) override;
    // Rounds half to even.
    int AsInteger() const override;
    void SetAsInteger(int value) override;
    std::string Text() const override { return DisplayText(); }
    std::string DisplayText() const override;
};

// True or false, stored as a 16-bit number (non-zero is true); texts "True" and "False".
class TBooleanField : public TField {
public:
    explicit TBooleanField(std::string fieldName);
    // Texts for true and false ("Ja;Nein"), kept as given.
    std::string DisplayValues;
    bool AsBoolean() const;
    void SetAsBoolean(bool value);
    std::string AsString() const override;
    // "True"/"False" and "Wahr"/"Falsch" in any case, or a number.
    void SetAsString(std::string_view value) override;
    int AsInteger() const override { return AsBoolean() ? 1 : 0; }
    void SetAsInteger(int value) override { SetAsBoolean(value != 0); }
};

// A signed 64-bit whole number; MinValue and MaxValue are kept as given.
class TLargeintField : public TNumericField {
public:
    explicit TLargeintField(std::string fieldName);
    std::int64_t MinValue = 0;
    std::int64_t MaxValue = 0;
    std::int64_t AsLargeInt() const;
    void SetAsLargeInt(std::int64_t value);
    std::string AsString() const override;
    void SetAsString(std::string_view value) override;
    double AsFloat() const override { return static_cast<double>(AsLargeInt()); }
    void SetAsFloat(double value) override;
    int AsInteger() const override;
    void SetAsInteger(int value) override { SetAsLargeInt(value); }
};

// Counted by the table: each new record gets the next number.
class TAutoIncField : public TIntegerField {
public:
    explicit TAutoIncField(std::string fieldName);
};

// Text of at most Size UTF-16 characters, stored as a 32-bit byte count and the characters.
class TWideStringField : public TField {
public:
    explicit TWideStringField(std::string fieldName, int size = 20);
    std::u16string AsWideString() const;
    void SetAsWideString(std::u16string_view value);
    std::string AsString() const override;
    void SetAsString(std::string_view value) override;
};

// An amount of money, stored as a double like a float; shown with two decimals.
class TCurrencyField : public TFloatField {
public:
    explicit TCurrencyField(std::string fieldName);
};

// A packed decimal. Its values are written with at most Precision digits (at least Size + 1;
// 0 takes the largest, 32); a value with more whole digits does not fit.
class TBCDField : public TField {
public:
    TBCDField(std::string fieldName, int size = 4) : TField(std::move(fieldName), ftBCD, size) {}
    int Precision = 0;
    int WritePrecision() const { return std::max(Precision > 0 ? Precision : 32, Size() + 1); }
};

// A date and time stored as milliseconds counted from day 1 (1 January of year 1); the base of
// the date and the time fields. DisplayFormat is kept as given.
class TDateTimeField : public TField {
public:
    explicit TDateTimeField(std::string fieldName);
    std::string DisplayFormat;
    std::string AsString() const override;
    // A date, optionally followed by a time "hh:nn[:ss]".
    void SetAsString(std::string_view value) override;
    double AsFloat() const override { return AsDateTime(); }
    void SetAsFloat(double value) override { SetAsDateTime(value); }
    TDateTime AsDateTime() const override;
    void SetAsDateTime(TDateTime value) override;

protected:
    TDateTimeField(std::string fieldName, TFieldType type);
};

// A time of day stored as milliseconds (the date part is dropped).
class TTimeField : public TDateTimeField {
public:
    explicit TTimeField(std::string fieldName);
    std::string AsString() const override;
    void SetAsString(std::string_view value) override;
    TDateTime AsDateTime() const override;
    void SetAsDateTime(TDateTime value) override;
};

// A date stored as a day number, day 1 being 1 January of year 1 (TDateTime 0 is day 693594).
class TDateField : public TDateTimeField {
public:
    explicit TDateField(std::string fieldName);
    std::string AsString() const override;
    void SetAsString(std::string_view value) override;
    TDateTime AsDateTime() const override;
    // The time of day is dropped.
    void SetAsDateTime(TDateTime value) override;
};

// Bytes of any length kept outside the record, read and written as a whole through the
// dataset's blob stream. BlobType and Transliterate are kept as given.
class TBlobField : public TField {
public:
    explicit TBlobField(std::string fieldName, TFieldType type = ftBlob);
    TFieldType BlobType;
    bool Transliterate = false;

    std::string AsBytes() const;
    // An empty value makes the field null.
    void SetAsBytes(std::string_view bytes);
    std::string AsString() const override { return AsBytes(); }
    void SetAsString(std::string_view value) override { SetAsBytes(value); }
    void LoadFromStream(TStream& source);
    void SaveToStream(TStream& target) const;
};

// Text of any length kept like a blob, as Windows-1252 bytes; read and written as UTF-8.
class TMemoField : public TBlobField {
public:
    explicit TMemoField(std::string fieldName);
    std::string AsString() const override;
    void SetAsString(std::string_view value) override;
};

// The native form of a variant for a field of the field's type and size (texts cut to the size),
// into `native` of the field's DataSize. Raises EVariantError when the variant has no such form.
void VariantToNative(const TField& field, const TVariant& value, std::byte* native);
// The variant of a native value of the field's type.
TVariant NativeToVariant(const TField& field, const std::byte* native);

// Creates the field object for a type: the classes above for their types, a plain TField for
// every other type.
std::unique_ptr<TField> CreateField(std::string name, TFieldType type, int size);
std::unique_ptr<TField> CreateFieldForDef(const TFieldDef& def);
// Copies what a field shows and checks beyond its value: label, width, mask, flags, default
// expression, alignment, and the formats and limits of its kind where both fields are of it.
void CopyFieldProperties(const TField& source, TField& destination);
// A new field object of the same class, name, size and kind with the source's properties.
std::unique_ptr<TField> CloneField(const TField& source);
// Gives `destination` the value of `source` (of the current records of their datasets): the
// native value when both have the same form, blob contents through blob streams, else the
// value converted through a variant. A null source value makes the destination null.
void AssignFieldValue(TField& destination, const TField& source);

// The fields of a dataset in field order.
class TFields {
public:
    int Count() const { return static_cast<int>(fields_.size()); }
    TField& operator[](int index) const { return *fields_.at(static_cast<std::size_t>(index)); }
    // Case-insensitive; null when absent.
    TField* FindField(std::string_view name) const;
    TField& Add(std::unique_ptr<TField> field);
    void Clear() { fields_.clear(); }
    auto begin() const { return fields_.begin(); }
    auto end() const { return fields_.end(); }

private:
    std::vector<std::unique_ptr<TField>> fields_;
};

bool SameFieldName(std::string_view a, std::string_view b);

}  // namespace velmoran
