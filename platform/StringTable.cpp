// The German string table; see StringTable.h.
#include "platform/StringTable.h"

#include <unordered_map>

namespace velmoran {

namespace {

const std::unordered_map<int, std::string>& Table()
{
    static const std::unordered_map<int, std::string> table{
#include "resources/StringTable.inc"
    };
    return table;
}

}  // namespace

std::string LoadStr(int id)
{
    const auto found = Table().find(id);
    return found == Table().end() ? std::string() : found->second;
}

}  // namespace velmoran
