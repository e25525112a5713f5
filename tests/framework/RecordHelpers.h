// What the record and table tests of the framework and of the modules built on it share: records
// of random bytes, a record's bytes as a file holds them, and a value table's rows as text.
#pragma once

#include "memtable/DataSet.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace velmoran::testing {

// A record whose every byte comes from a generator seeded with `seed`.
template <class Record>
Record RandomRecord(unsigned seed)
{
    Record r;
    std::mt19937 gen(seed);
    for (auto& b : r.Raw())
        b = static_cast<std::uint8_t>(gen());
    return r;
}

template <class Record>
std::string Bytes(const Record& r)
{
    return {reinterpret_cast<const char*>(r.Data()), Record::kSize};
}

// Every value of every row of a table as text ("<null>" for an empty field), row by row; the
// cursor ends on the first row.
inline std::vector<std::string> Contents(TDataSet& table)
{
    std::vector<std::string> out;
    for (table.First(); !table.Eof(); table.Next()) {
        std::string row;
        for (const auto& field : table.Fields())
            row += (field->IsNull() ? std::string("<null>") : field->AsString()) + "|";
        out.push_back(row);
    }
    table.First();
    return out;
}

// The table moved to row `row` (0-based).
inline TDataSet& Row(TDataSet& table, int row)
{
    table.First();
    table.MoveBy(row);
    return table;
}

}  // namespace velmoran::testing
