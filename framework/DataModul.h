// A calculation module's common data: the current and the default common record and the three
// value tables that show the current record to the report engine and the shell: `d` (one row:
// header, clarifier and plant data), `dl` (four rows, one per load case) and `dp` (one row: the
// parameter set). The record is the master copy; RecordToTables rebuilds the tables from it.
#pragma once

#include "framework/CommonRecord.h"
#include "memtable/MemTable.h"
#include "platform/core/AtomicFile.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace velmoran {

class TStream;

class TDataModul {
public:
    // Creates the three tables with their fields, display formats and labels and opens them;
    // they stay empty until the first mapping. Both records are zero.
    TDataModul();
    TDataModul(const TDataModul&) = delete;
    TDataModul& operator=(const TDataModul&) = delete;

    TzebMemTable d;
    TzebMemTable dl;
    TzebMemTable dp;

    TCommonRecord CurrentRecord;
    TCommonRecord DefaultRecord;

    // The field object named table name plus field name ("dProjekt", "dlQD", "dpfTh"); null
    // (FindFieldObject) or EDatabaseError (FieldObject) when there is none.
    TField* FindFieldObject(std::string_view name) const;
    TField& FieldObject(std::string_view name) const;

    // The three tables in the order a module hands them on: d, dl, dp.
    std::vector<TDataSet*> DataSets() { return {&d, &dl, &dp}; }

    // Rebuilds the tables from CurrentRecord; the fixed load-case texts are written into the
    // record first. `d` and `dp` keep one row each, edited in place (fields the mapping does not
    // fill keep their values); `dl` gets four fresh rows in block order, the active ones numbered
    // 1, 2, ... in LNR.
    void RecordToTables();
    // Writes the fixed names and texts of the four load cases into CurrentRecord.
    void SetLoadCaseNames();

    // CurrentRecord to or from a calculation file; a successful load ends with RecordToTables.
    // A failed load (file missing, unreadable or shorter than a record) changes nothing.
    SaveResult SaveRecordToFile(const std::string& fileName) const;
    bool LoadRecordFromFile(const std::string& fileName);
    // DefaultRecord to or from the defaults file; the load happens only when the file exists
    // and does not touch the tables.
    SaveResult SaveSecondRecordToFile(const std::string& fileName) const;
    bool LoadSecondRecordFromFile(const std::string& fileName);
    // CurrentRecord to or from a stream image from position 0; no mapping.
    void SaveRecordToStream(TStream& stream) const;
    bool LoadRecordFromStream(TStream& stream);

private:
    void MapHeader();
    void MapLoadCases();
    void MapParameters();

    std::unordered_map<std::string, TField*> fieldObjects_;
};

// Puts a table with at most one row into edit state: its row is edited, or a row is appended
// when it is empty.
void EditSingleRow(TDataSet& table);

}  // namespace velmoran
