// A calculation module for the shell's tests: it notes every command it is sent, writes a small
// file for "SaveData" (so that the shell finds the calculation it parked), and holds one table
// `t` with the fields "Projekt" and "Kennung". The test program uses the class directly, and the
// test module library builds it behind the library entry points.
#pragma once

#include "framework/ui/MainDlg.h"
#include "memtable/MemTable.h"
#include "platform/core/Text.h"

#include <fstream>
#include <string>
#include <vector>

namespace velmoran::testing {

class TTestModule : public TMainDlg {
public:
    explicit TTestModule(QWidget* parent = nullptr) : TMainDlg(parent)
    {
        table_.Name = "t";
        table_.AddField<TStringField>("Projekt", 40);
        table_.AddField<TStringField>("Kennung", 40);
        table_.Open();
        table_.Append();
        table_.Post();
        DataSets.push_back(&table_);
    }

    // Each command as "COMMAND argument", the command in upper case.
    std::vector<std::string> Commands;
    // The argument of each command, in the same order.
    std::vector<ModuleArgument> Arguments;

    bool Exec(const std::string& command, const ModuleArgument& arg = {}) override
    {
        Commands.push_back(UpperCase(command) + " " + arg.Text);
        Arguments.push_back(arg);
        if (UpperCase(command) == "SAVEDATA")
            std::ofstream(arg.Text, std::ios::binary) << "gespeichert";
        return true;
    }

    void SetValue(const std::string& field, const std::string& value)
    {
        table_.Edit();
        table_.FieldByName(field).SetAsString(value);
        table_.Post();
    }

    std::string Value(const std::string& field) { return table_.FieldByName(field).AsString(); }

private:
    TzebMemTable table_;
};

}  // namespace velmoran::testing
