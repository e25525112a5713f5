// The controls' text helpers; see StringUtils.h.
#include "controls/StringUtils.h"

namespace velmoran {

std::string ReplaceStr(std::string_view text, std::string_view search, std::string_view replacement)
{
    if (search.empty())
        return std::string(text);
    std::string result;
    std::size_t from = 0;
    for (std::size_t hit = text.find(search); hit != std::string_view::npos; hit = text.find(search, from)) {
        result.append(text.substr(from, hit - from)).append(replacement);
        from = hit + search.size();
    }
    return result.append(text.substr(from));
}

std::string MakeStr(char c, int count)
{
    return count < 1 ? std::string() : std::string(static_cast<std::size_t>(count), c);
}

bool ContainsOnlyChars(std::string_view text, std::string_view chars)
{
    return text.find_first_not_of(chars) == std::string_view::npos;
}

}  // namespace velmoran
