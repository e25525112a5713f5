// Fuzz target: the help file readers over arbitrary bytes: the help index with its index page and
// keyword search, the pop-up file, and the context map's stored form data.
#include "help/HelpContextMap.h"
#include "help/HelpIndex.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Stream.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace velmoran;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const THelpIndex index = ParseHelpIndex(bytes);
    IndexPageSource(index);
    KeywordTopics(index, bytes.substr(0, 8), true);
    ParsePopupTopics(bytes);
    TMemoryStream stream;
    stream.WriteString(bytes);
    stream.SetPosition(0);
    THelpContextMap map;
    try {
        map.ReadFileData(stream);
        map.Lookup(bytes);
    } catch (const EReadError&) {
        // a count that does not fit is rejected
    }
    return 0;
}
