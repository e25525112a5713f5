// The text helpers every layer shares: ASCII case mapping, trimming and comparing without regard
// to case. Only the letters A-Z and a-z fold; other bytes, UTF-8 sequences included, stay as they are.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmoran {

constexpr char LowerChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
constexpr char UpperChar(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

std::string LowerCase(std::string_view s);
std::string UpperCase(std::string_view s);

// Drops the characters up to ' ' (controls and blanks) at both ends.
std::string_view TrimView(std::string_view s);
inline std::string Trim(std::string_view s) { return std::string(TrimView(s)); }

// Equal without regard to case.
bool SameText(std::string_view a, std::string_view b);
// The position of sub in s at or after from without regard to case; npos when absent.
std::size_t FindText(std::string_view s, std::string_view sub, std::size_t from = 0);

bool StartsWith(std::string_view s, std::string_view prefix);
bool Contains(std::string_view s, std::string_view sub);

// Text as it may stand in HTML: "&", "<", ">" and '"' as their entities, every other byte as it is.
std::string HtmlEscaped(std::string_view text);

// A name as the German messages quote it: „name“.
inline std::string Quoted(std::string_view name) { return "„" + std::string(name) + "“"; }

// The first `count` characters of a UTF-8 text, and no more than the 4 bytes a character can
// take each (bytes that continue no character count as none); FirstCharacters without copying,
// so that a value of megabytes is cut before it is converted.
std::string_view FirstCharacters(std::string_view text, std::size_t count);
std::string CutToCharacters(std::string text, std::size_t count);
// A value as a message quotes it: up to `count` characters, a longer one cut and ended with "…",
// so that a huge value neither fills the message box nor takes long to show.
std::string Excerpt(std::string_view text, std::size_t count = 80);

// The value of a hexadecimal digit (either case), or -1 for any other character.
constexpr int HexDigitValue(char32_t c)
{
    if (c >= '0' && c <= '9')
        return static_cast<int>(c - '0');
    if (c >= 'a' && c <= 'f')
        return static_cast<int>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F')
        return static_cast<int>(c - 'A' + 10);
    return -1;
}

}  // namespace velmoran
