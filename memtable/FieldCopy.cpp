// Copying between field objects: their properties (for a table that takes over another's
// structure or joins its store) and their values (for copying records between datasets).
#include "memtable/DataSet.h"

#include <algorithm>
#include <vector>

namespace velmoran {

namespace {

// Copies the properties of one kind of field when both fields are of that kind.
template <typename Kind, typename Copy>
void CopyKind(const TField& source, TField& destination, Copy copy)
{
    const auto* from = dynamic_cast<const Kind*>(&source);
    auto* to = dynamic_cast<Kind*>(&destination);
    if (from && to)
        copy(*from, *to);
}

}  // namespace

void CopyFieldProperties(const TField& source, TField& destination)
{
    destination.EditMask = source.EditMask;
    destination.DisplayWidth = source.DisplayWidth;
    // A label that is only the field's name stays unset, so that it follows a later rename.
    if (source.DisplayLabel() != source.FieldName())
        destination.SetDisplayLabel(source.DisplayLabel());
    destination.SetRequired(source.Required());
    destination.SetReadOnly(source.ReadOnly());
    destination.Visible = source.Visible;
    destination.DefaultExpression = source.DefaultExpression;
    destination.Alignment = source.Alignment;
    destination.ProviderFlags = source.ProviderFlags;
    CopyKind<TNumericField>(source, destination, [](const TNumericField& from, TNumericField& to) {
        to.SetDisplayFormat(from.DisplayFormat());
        to.SetEditFormat(from.EditFormat());
    });
    CopyKind<TIntegerField>(source, destination, [](const TIntegerField& from, TIntegerField& to) {
        to.MaxValue = from.MaxValue;
        to.MinValue = from.MinValue;
    });
    CopyKind<TLargeintField>(source, destination, [](const TLargeintField& from, TLargeintField& to) {
        to.MaxValue = from.MaxValue;
        to.MinValue = from.MinValue;
    });
    CopyKind<TDateTimeField>(source, destination,
                             [](const TDateTimeField& from, TDateTimeField& to) { to.DisplayFormat = from.DisplayFormat; });
    CopyKind<TBooleanField>(source, destination,
                            [](const TBooleanField& from, TBooleanField& to) { to.DisplayValues = from.DisplayValues; });
    CopyKind<TStringField>(source, destination,
                           [](const TStringField& from, TStringField& to) { to.Transliterate = from.Transliterate; });
    CopyKind<TFloatField>(source, destination, [](const TFloatField& from, TFloatField& to) {
        to.MaxValue = from.MaxValue;
        to.MinValue = from.MinValue;
        to.Precision = from.Precision;
        to.Currency = from.Currency;
    });
    CopyKind<TBlobField>(source, destination, [](const TBlobField& from, TBlobField& to) {
        to.BlobType = from.BlobType;
        to.Transliterate = from.Transliterate;
    });
}

std::unique_ptr<TField> CloneField(const TField& source)
{
    std::unique_ptr<TField> field = CreateField(source.FieldName(), source.DataType(), source.Size());
    field->SetFieldKind(source.FieldKind());
    CopyFieldProperties(source, *field);
    return field;
}

void AssignFieldValue(TField& destination, const TField& source)
{
    if (source.IsNull()) {
        destination.Clear();
        return;
    }
    const auto* sourceBlob = dynamic_cast<const TBlobField*>(&source);
    auto* destinationBlob = dynamic_cast<TBlobField*>(&destination);
    if (sourceBlob && destinationBlob) {
        destinationBlob->SetAsBytes(sourceBlob->AsBytes());
        return;
    }
    if (sourceBlob || destinationBlob) {
        destination.SetAsString(source.AsString());
        return;
    }
    std::vector<std::byte> native(static_cast<std::size_t>(std::max({destination.DataSize(), source.DataSize(), 1})));
    if (destination.DataType() == source.DataType() && destination.DataSize() == source.DataSize()) {
        source.GetData(native.data());
        destination.SetData(native.data());
        return;
    }
    const TVariant value = source.AsVariant();
    if (value.IsNullOrEmpty()) {
        destination.Clear();
        return;
    }
    VariantToNative(destination, value, native.data());
    destination.SetData(native.data());
}

}  // namespace velmoran
