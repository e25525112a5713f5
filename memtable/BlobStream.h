// The stream through which the contents of a blob or memo field of an in-memory table are read
// and written. Reading loads the value of the current record (the edit buffer's own block, else
// the stored record's); writing collects bytes that become the edit buffer's value when the
// stream is closed. A stream serves the record that was current when it was opened.
#pragma once

#include "memtable/DataSet.h"
#include "memtable/RecordStore.h"

namespace velmoran {

class TzebCustomMemTable;

class TzebBlobStream : public TBlobStream {
public:
    // Writing (bmWrite, bmReadWrite) fails with "Field %s is read only" on a read-only field
    // (unless values are being loaded) and with "Dataset is not in edit mode." outside the edit
    // and insert states.
    TzebBlobStream(TzebCustomMemTable& table, TField& field, TBlobStreamMode mode);
    ~TzebBlobStream() override;

    std::int64_t Write(const void* buffer, std::int64_t count) override;
    void SetSize(std::int64_t size) override;
    // Hands written contents to the record: an empty stream leaves the field null.
    void Close() override;
    bool Modified() const { return modified_; }

private:
    void LoadValue();

    TzebCustomMemTable& table_;
    TField& field_;
    TBlobStreamMode mode_;
    TzebRecord* buffer_ = nullptr;
    const TzebRecord* stored_ = nullptr;
    int slot_ = -1;
    bool modified_ = false;
    bool closed_ = false;
};

}  // namespace velmoran
