// Fuzz target: a value import over arbitrary bytes, read as a file from here or from Windows, into
// tables like a calculation's (text, float, integer and date fields, one table with several
// records). A value a field cannot take ends the import with the conversion error; nothing else
// may escape.
#include "memtable/Fields.h"
#include "memtable/MemTable.h"
#include "platform/core/Exceptions.h"
#include "platform/core/FormatSettings.h"
#include "shell/ImportValues.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

using namespace velmoran;

namespace {

struct Tables {
    TzebMemTable d, dl, dp;
    Tables()
    {
        d.Name = "d";
        dl.Name = "dl";
        dp.Name = "dp";
        d.AddField<TStringField>("Projekt", 80);
        d.AddField<TDateTimeField>("Datum");
        dl.AddField<TFloatField>("QD");
        dl.AddField<TIntegerField>("N");
        dp.AddField<TFloatField>("Yh");
        dp.AddField<TBooleanField>("Aktiv");
        for (TzebMemTable* table : {&d, &dl, &dp}) {
            table->Open();
            for (int row = 0; row < (table == &dl ? 4 : 1); ++row) {
                table->Append();
                table->Post();
            }
        }
    }
    std::vector<TDataSet*> All() { return {&d, &dl, &dp}; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const ScopedFormatSettings german(FormatSettings::German());
    static Tables tables;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ImportLog log;
    try {
        ImportValueLines(tables.All(), ImportFileText(bytes, log), &log);
        log.Message();
    } catch (const EConvertError&) {
    }
    return 0;
}
