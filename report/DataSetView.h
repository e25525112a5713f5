// The report engine's view of the in-memory tables: each dataset and its field objects seen
// through ReportDataSet and ReportField, with texts handed out in Windows-1252.
#pragma once

#include "report/ReportDataSet.h"

#include <memory>
#include <vector>

namespace velmoran {

class TDataSet;
class TField;

class DataSetView : public ReportDataSet {
public:
    explicit DataSetView(TDataSet& dataSet);
    ~DataSetView() override;

    void Open() override;
    void First() override;
    void MoveBy(int distance) override;
    int RecordCount() override;
    std::size_t FieldCount() override;
    ReportField& Field(std::size_t index) override;

    TDataSet& Source() { return dataSet_; }

private:
    class FieldView;
    TDataSet& dataSet_;
    // Views of the field objects, kept while the dataset keeps its field objects.
    std::vector<std::unique_ptr<FieldView>> fields_;
};

// The report type of a field type: the types the engine formats, Other for the rest.
ReportFieldType ReportTypeOf(TField& field);

}  // namespace velmoran
