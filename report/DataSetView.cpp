// Adapts the in-memory tables' datasets and fields to the report engine.
#include "report/DataSetView.h"

#include "memtable/DataSet.h"
#include "memtable/Fields.h"
#include "platform/core/Cp1252.h"

namespace velmoran {

ReportFieldType ReportTypeOf(TField& field)
{
    switch (field.DataType()) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
        return ReportFieldType::String;
    case ftSmallint:
        return ReportFieldType::SmallInt;
    case ftInteger:
        return ReportFieldType::Integer;
    case ftWord:
        return ReportFieldType::Word;
    case ftFloat:
        return ReportFieldType::Float;
    case ftDate:
        return ReportFieldType::Date;
    case ftTime:
        return ReportFieldType::Time;
    default:
        return ReportFieldType::Other;
    }
}

class DataSetView::FieldView : public ReportField {
public:
    FieldView(DataSetView& owner, TField& field) : owner_(owner), field_(field) {}

    std::string Name() const override { return field_.FieldName(); }
    ReportFieldType Type() const override { return ReportTypeOf(field_); }
    std::string AsString() const override { return Utf8ToCp1252(field_.AsString()); }
    double AsFloat() const override { return field_.AsFloat(); }
    TDateTime AsDateTime() const override { return field_.AsDateTime(); }
    bool IsNull() const override { return field_.IsNull(); }
    ReportDataSet& DataSet() override { return owner_; }

    const TField& Source() const { return field_; }

private:
    DataSetView& owner_;
    TField& field_;
};

DataSetView::DataSetView(TDataSet& dataSet) : dataSet_(dataSet) {}
DataSetView::~DataSetView() = default;

void DataSetView::Open()
{
    if (!dataSet_.Active())
        dataSet_.Open();
}

void DataSetView::First() { dataSet_.First(); }
void DataSetView::MoveBy(int distance) { dataSet_.MoveBy(distance); }
int DataSetView::RecordCount() { return dataSet_.RecordCount(); }
std::size_t DataSetView::FieldCount() { return static_cast<std::size_t>(dataSet_.FieldCount()); }

ReportField& DataSetView::Field(std::size_t index)
{
    TField& field = dataSet_.Fields()[static_cast<int>(index)];
    if (fields_.size() <= index)
        fields_.resize(index + 1);
    if (!fields_[index] || &fields_[index]->Source() != &field)
        fields_[index] = std::make_unique<FieldView>(*this, field);
    return *fields_[index];
}

}  // namespace velmoran
