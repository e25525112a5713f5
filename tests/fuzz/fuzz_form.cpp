// libFuzzer target: reads arbitrary bytes as a stored form: the property list with every value
// skipped, and the aligned grid's record lists read into a record store, as loading does for a
// grid of 64 x 64 cells.
#include "controls/AlignedGridProps.h"

#include "platform/core/Exceptions.h"
#include "platform/core/FormStream.h"
#include "platform/core/Stream.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace velmoran;
using namespace velmoran::aligned;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TMemoryStream stream(std::string_view(reinterpret_cast<const char*>(data), size));
    TFormReader reader(stream);
    TCellPropertyStore store(nullptr);
    try {
        reader.ReadProperties([&](const std::string& name, TFormReader& r) {
            const bool cells = name == "PropCell";
            if (!cells && name != "PropCol" && name != "PropRow")
                return false;
            r.ReadListBegin();
            while (!r.EndOfList()) {
                TPropPlace place{cells ? TPropKind::Cell : TPropKind::Col, r.ReadInteger() & 0xFFFF, 0};
                if (cells)
                    place.Row = r.ReadInteger() & 0xFFFF;
                std::unique_ptr<TCellProperties> record = store.NewRecord();
                record->Read(r);
                if (!cells || (place.Index < 64 && place.Row < 64))
                    store.Put(place, std::move(record));
            }
            r.ReadListEnd();
            return true;
        });
    } catch (const EReadError&) {
    }
    return 0;
}
