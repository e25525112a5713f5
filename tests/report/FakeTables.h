// Small hand-made tables for the engine tests: rows of typed values behind the dataset view
// the report engine reads through, with counters of the positioning calls.
#pragma once

#include "report/ReportDataSet.h"

#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace velmoran::test {

class FakeDataSet;

class FakeField : public ReportField {
public:
    FakeField(FakeDataSet& owner, std::size_t column, std::string name, ReportFieldType type)
        : owner_(owner), column_(column), name_(std::move(name)), type_(type) {}
    std::string Name() const override { return name_; }
    ReportFieldType Type() const override { return type_; }
    std::string AsString() const override;
    double AsFloat() const override;
    TDateTime AsDateTime() const override { return AsFloat(); }
    ReportDataSet& DataSet() override;

private:
    FakeDataSet& owner_;
    std::size_t column_;
    std::string name_;
    ReportFieldType type_;
};

using FakeValue = std::variant<double, std::string>;

class FakeDataSet : public ReportDataSet {
public:
    FakeDataSet& AddField(std::string name, ReportFieldType type)
    {
        fields_.push_back(std::make_unique<FakeField>(*this, fields_.size(), std::move(name), type));
        return *this;
    }
    FakeDataSet& AddRow(std::vector<FakeValue> row)
    {
        rows_.push_back(std::move(row));
        return *this;
    }

    void Open() override { ++opened; }
    void First() override { current = 0; }
    void MoveBy(int distance) override
    {
        current = std::max(0, std::min(current + distance, static_cast<int>(rows_.size()) - 1));
    }
    int RecordCount() override { return static_cast<int>(rows_.size()); }
    std::size_t FieldCount() override { return fields_.size(); }
    ReportField& Field(std::size_t index) override { return *fields_.at(index); }

    const FakeValue* Value(std::size_t column) const
    {
        if (current < 0 || current >= static_cast<int>(rows_.size()) || column >= rows_[current].size())
            return nullptr;
        return &rows_[current][column];
    }

    int opened = 0;
    int current = 0;

private:
    std::vector<std::unique_ptr<FakeField>> fields_;
    std::vector<std::vector<FakeValue>> rows_;
};

inline std::string FakeField::AsString() const
{
    const FakeValue* value = owner_.Value(column_);
    if (value == nullptr)
        return {};
    if (const auto* text = std::get_if<std::string>(value))
        return *text;
    return std::to_string(std::get<double>(*value));
}

inline double FakeField::AsFloat() const
{
    const FakeValue* value = owner_.Value(column_);
    if (value == nullptr)
        return 0;
    if (const auto* number = std::get_if<double>(value))
        return *number;
    return 0;
}

inline ReportDataSet& FakeField::DataSet() { return owner_; }

}  // namespace velmoran::test
