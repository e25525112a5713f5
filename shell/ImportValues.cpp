// The import of single values into a calculation's tables.
#include "shell/ImportValues.h"

#include "memtable/DataSet.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Text.h"

namespace velmoran {

namespace {

// The tables an import searches, in this order, found by name rather than by their place in the
// module's list: the order of the list does not decide which table takes a name two of them hold.
constexpr const char* kImportTables[] = {"d", "dl", "dp"};
constexpr std::size_t kImportTableCount = 3;

// The tables named d, dl and dp in that order; a module with none of them gets the first three of
// its list, so that its values are imported too.
std::vector<TDataSet*> ImportTables(const std::vector<TDataSet*>& tables)
{
    std::vector<TDataSet*> found;
    for (const char* name : kImportTables)
        for (TDataSet* table : tables)
            if (table && SameText(table->Name, name)) {
                found.push_back(table);
                break;
            }
    if (found.empty())
        for (TDataSet* table : tables)
            if (table && found.size() < kImportTableCount)
                found.push_back(table);
    return found;
}

TDataSet* TableWithField(const std::vector<TDataSet*>& tables, const std::string& field)
{
    for (TDataSet* table : tables)
        if (table->FindField(field))
            return table;
    return nullptr;
}

void ImportLine(const std::vector<TDataSet*>& tables, std::string_view line)
{
    const std::size_t separator = line.find(';');
    if (separator == std::string_view::npos)
        return;
    std::string name = UpperCase(Trim(line.substr(0, separator)));
    const std::string value = Trim(line.substr(separator + 1));
    int record = 0;
    if (const std::size_t hash = name.find('#'); hash != std::string::npos) {
        const std::string digit = name.substr(hash + 1, 1);
        if (digit.size() != 1 || digit[0] < '0' || digit[0] > '9')
            throw EConvertError::InvalidInteger(digit);
        record = digit[0] - '0';
        name = Trim(name.substr(0, hash));
    }
    TDataSet* table = TableWithField(tables, name);
    if (!table)
        return;
    if (!table->Active())
        table->Open();
    if (table->RecordCount() > 1) {
        table->First();
        if (record > 0 && record < table->RecordCount())
            table->MoveBy(record);
    }
    table->Edit();
    try {
        table->FieldByName(name).SetText(value);
        table->Post();
    } catch (...) {
        table->Cancel();
        throw;
    }
}

}  // namespace

void ImportValueLines(const std::vector<TDataSet*>& moduleTables, std::string_view text)
{
    const std::vector<TDataSet*> tables = ImportTables(moduleTables);
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        ImportLine(tables, line);
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
}

}  // namespace velmoran
