// Fuzz target: an in-memory table loaded from arbitrary bytes through the binary table format (as
// mtquery --load does): once into a closed table that takes the saved structure, once into an
// open table with fields of its own. Every failure must be an error with a message; a failed load
// leaves the closed table closed.
#include "memtable/MemTable.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Stream.h"
#include "tests/memtable/BinaryFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace velmoran;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TBinaryTableFormat format;
    {
        TzebMemTable bare;
        TMemoryStream stream(bytes);
        bool loaded = false;
        try {
            bare.LoadFromStreamViaFormat(stream, &format);
            loaded = true;
            for (bare.First(); !bare.Eof(); bare.Next())
                for (int i = 0; i < bare.FieldCount(); ++i)
                    (void)bare.Fields()[i].AsString();  // may refuse a type, with a message
        } catch (const Exception&) {
            if (!loaded && bare.Active())
                std::abort();  // a failed load must not leave the saved structure behind
        }
    }
    {
        TzebMemTable table;
        table.AddField<TStringField>("Name", 20);
        table.AddField<TIntegerField>("Zahl");
        table.AddField<TDateField>("Datum");
        table.AddField<TMemoField>("Notiz");
        table.Open();
        TMemoryStream stream(bytes);
        try {
            table.LoadFromStreamViaFormat(stream, &format);
            for (table.First(); !table.Eof(); table.Next())
                for (int i = 0; i < table.FieldCount(); ++i)
                    (void)table.Fields()[i].AsString();
        } catch (const Exception&) {
        }
    }
    return 0;
}
