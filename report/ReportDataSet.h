// The view of a dataset and its fields that the report engine reads values through: open,
// first, move by, record count, the fields in order, and per field its name, type and value.
#pragma once

#include "platform/core/DateTime.h"

#include <cstddef>
#include <string>

namespace velmoran {

class ReportDataSet;

// Field types as the engine formats them; everything it has no format for is Other.
enum class ReportFieldType { String, SmallInt, Integer, Word, Float, Date, Time, Other };

class ReportField {
public:
    virtual ~ReportField() = default;
    virtual std::string Name() const = 0;
    virtual ReportFieldType Type() const = 0;
    // The value of the current record: as text in Windows-1252, as a number, as a date-time.
    virtual std::string AsString() const = 0;
    virtual double AsFloat() const = 0;
    virtual TDateTime AsDateTime() const = 0;
    // Whether the current record holds no value in the field (a date nobody entered).
    virtual bool IsNull() const { return false; }
    virtual ReportDataSet& DataSet() = 0;
};

class ReportDataSet {
public:
    virtual ~ReportDataSet() = default;
    // Makes the dataset active when it is not.
    virtual void Open() = 0;
    virtual void First() = 0;
    virtual void MoveBy(int distance) = 0;
    virtual int RecordCount() = 0;
    virtual std::size_t FieldCount() = 0;
    virtual ReportField& Field(std::size_t index) = 0;
};

}  // namespace velmoran
