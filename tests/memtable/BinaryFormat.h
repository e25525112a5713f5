// A simple binary format for in-memory tables, used by the tests and by mtquery: a header with
// the saved fields' names (and, with the definitions option, their types, sizes and required
// flags, and the index definitions), then every record as a marker byte followed by each field's
// value (a null flag, and a length-prefixed copy of the native value or of the blob's bytes).
// Loading fills the table's fields by name; a closed table without field objects takes the
// saved definitions and opens. Every count and length is checked against the bytes that remain
// before anything is made; a load that fails leaves such a table closed with its own definitions.
#pragma once

#include "memtable/MemTable.h"
#include "memtable/StreamFormat.h"

#include <memory>
#include <vector>

namespace velmoran {

class TBinaryTableFormat : public TzebCustomStreamFormat {
protected:
    void BeforeLoad(TzebCustomMemTable& table) override;
    void AfterLoad(TzebCustomMemTable& table) override;
    void SaveDefinitions(TzebCustomMemTable& table) override;
    void SaveData(TzebCustomMemTable& table) override;
    void LoadDefinitions(TzebCustomMemTable& table) override;
    int LoadFieldCount(TzebCustomMemTable& table) override;
    void LoadData(TzebCustomMemTable& table) override;

private:
    void MapLoadedFields(TzebCustomMemTable& table);

    // The definitions of a table the load gave the saved structure, as they were before.
    struct Structure {
        TFieldDefs FieldDefs;
        TIndexDefs IndexDefs;
    };
    std::unique_ptr<Structure> structure_;
    std::vector<std::string> loadedNames_;
    // Per saved field: the table field it fills, or -1.
    std::vector<int> loadedTargets_;
};

}  // namespace velmoran
