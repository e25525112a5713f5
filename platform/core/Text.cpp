// The shared text helpers: case mapping, trimming, comparing without regard to case, and text
// made safe for HTML.
#include "platform/core/Text.h"

namespace velmoran {

std::string LowerCase(std::string_view s)
{
    std::string r(s);
    for (char& c : r)
        c = LowerChar(c);
    return r;
}

std::string UpperCase(std::string_view s)
{
    std::string r(s);
    for (char& c : r)
        c = UpperChar(c);
    return r;
}

std::string_view TrimView(std::string_view s)
{
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return s;
}

bool SameText(std::string_view a, std::string_view b)
{
    // Compared in place: this runs for nearly every keyword of every element.
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerChar(a[i]) != LowerChar(b[i]))
            return false;
    return true;
}

std::size_t FindText(std::string_view s, std::string_view sub, std::size_t from)
{
    if (sub.size() > s.size())
        return std::string_view::npos;
    for (std::size_t at = from; at + sub.size() <= s.size(); ++at)
        if (SameText(s.substr(at, sub.size()), sub))
            return at;
    return std::string_view::npos;
}

bool StartsWith(std::string_view s, std::string_view prefix)
{
    return s.substr(0, prefix.size()) == prefix;
}

bool Contains(std::string_view s, std::string_view sub)
{
    return s.find(sub) != std::string_view::npos;
}

std::string_view FirstCharacters(std::string_view text, std::size_t count)
{
    if (count < text.size() / 4)
        text = text.substr(0, 4 * count + 4);
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            continue;
        if (chars == count)
            return text.substr(0, i);
        ++chars;
    }
    return text;
}

std::string CutToCharacters(std::string text, std::size_t count)
{
    text.resize(FirstCharacters(text, count).size());
    return text;
}

std::string Excerpt(std::string_view text, std::size_t count)
{
    // Cut before copying: the value may be megabytes long.
    std::string cut(FirstCharacters(text, count));
    if (cut.size() < text.size())
        cut += "…";
    return cut;
}

std::string HtmlEscaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

}  // namespace velmoran
