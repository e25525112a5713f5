// Keyword lookup of the module commands.
#include "framework/ModuleCommand.h"

namespace velmoran {

const std::vector<std::string>& ModuleKeywords()
{
    static const std::vector<std::string> keywords = {
        "INITDATA", "READDATA", "SAVEDATA", "EDITPARAMS", "SETTODATA", "CALCULATE",
        "EDIT",     "PUSHDATA", "POPDATA",  "CHECKTOPICS", "EDITSPECIAL"};
    return keywords;
}

std::optional<ModuleCommand> ParseModuleCommand(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    const auto& keywords = ModuleKeywords();
    for (std::size_t i = 0; i < keywords.size(); ++i)
        if (keywords[i] == upper)
            return static_cast<ModuleCommand>(i);
    return std::nullopt;
}

}  // namespace velmoran
