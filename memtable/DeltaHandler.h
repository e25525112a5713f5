// The delta handler: walks the records of an in-memory table with versioning and hands each
// change since the last clean state to a step of its own (insert, delete, modify or unmodified),
// so that a subclass can apply the changes elsewhere. A step may ask for a retry.
#pragma once

#include "memtable/Component.h"
#include "memtable/RecordStore.h"
#include "memtable/Variant.h"

#include <functional>

namespace velmoran {

class TzebCustomMemTable;
class TField;

class TzebCustomDeltaHandler : public TComponent {
public:
    using GetValueEvent = std::function<void(TzebCustomDeltaHandler&, const TField&, TVariant& value)>;

    TzebCustomDeltaHandler() = default;
    ~TzebCustomDeltaHandler() override;

    TzebCustomMemTable* DataSet() const { return table_; }
    void SetDataSet(TzebCustomMemTable* table);
    // May change a value before a step sees it.
    GetValueEvent OnGetValue;

    // Runs the steps for every record of the store; "Delta handler is not assigned to any
    // memorytables." without a table.
    void Resolve();

    // While a step runs: the record and its oldest version (the values before the changes).
    const TzebRecord* Record() const { return record_; }
    const TzebRecord* OriginalRecord() const { return original_; }
    TVariant Value(const TField& field);
    TVariant OriginalValue(const TField& field);

protected:
    // The steps; all do nothing here. Setting `retry` runs the step again.
    virtual void BeforeRecord() {}
    virtual void InsertRecord(bool& /*retry*/) {}
    virtual void DeleteRecord(bool& /*retry*/) {}
    virtual void ModifyRecord(bool& /*retry*/) {}
    virtual void UnmodifiedRecord(bool& /*retry*/) {}
    virtual void AfterRecord() {}
    void Notification(TComponent* removed) override;

private:
    TVariant ValueIn(const TzebRecord* record, const TField& field);

    TzebCustomMemTable* table_ = nullptr;
    const TzebRecord* record_ = nullptr;
    const TzebRecord* original_ = nullptr;
};

}  // namespace velmoran
