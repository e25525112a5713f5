// The small text and number helpers of the date, list and button controls: replacing every
// occurrence of a text, a run of one character, a character-set test, and integer Max and Min.
#pragma once

#include <string>
#include <string_view>

namespace velmoran {

// Every occurrence of search replaced, scanning left to right without overlap; an empty search
// replaces nothing.
std::string ReplaceStr(std::string_view text, std::string_view search, std::string_view replacement);
// count copies of c; empty for a count below 1.
std::string MakeStr(char c, int count);
// True when every character of text is one of chars (true for the empty text).
bool ContainsOnlyChars(std::string_view text, std::string_view chars);

constexpr int Max(int a, int b) { return a > b ? a : b; }
constexpr int Min(int a, int b) { return a < b ? a : b; }

}  // namespace velmoran
