// Fuzz target: a settings file over arbitrary bytes: the INI text kept as written, its values
// and the earlier builds' keys and values (Qt's escapes) decoded.
#include "platform/core/IniDocument.h"
#include "platform/core/LegacySettings.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace velmoran;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TIniDocument document(bytes);
    for (const TIniDocument::Entry& entry : document.Entries()) {
        UnescapeLegacyKey(entry.Section);
        UnescapeLegacyKey(entry.Name);
        DecodeLegacyValue(entry.Value);
        document.SetValue(entry.Section, entry.Name, entry.Value);
    }
    DecodeLegacyValue(bytes);
    return 0;
}
