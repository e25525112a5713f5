// Text helpers of the HTML library: wide-string search and case mapping, integer helpers,
// percent escapes and turning file URLs into paths.
#pragma once

#include "platform/Canvas.h"
#include "platform/core/Text.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace velmoran {

// a * b / c with a 64-bit intermediate, rounded half away from zero; a zero divisor gives 0 and a
// result beyond the 32-bit range is clamped to it.
int MulDiv(int a, int b, int c);

// Lengths and sizes read from a page (attributes, style sheets) are held within ±1,000,000 pixels:
// the layout adds up and multiplies a few of them, which then stays within the 32-bit range.
constexpr int kMaxLength = 1000000;
constexpr int ClampLength(long long v) { return v < -kMaxLength ? -kMaxLength : v > kMaxLength ? kMaxLength : static_cast<int>(v); }
// A length in pixels as a real number, rounded within the same bounds (NaN gives 0).
int RoundLength(double v);
// A list item's number plus one, staying at the largest number instead of overflowing.
constexpr int NextListNumber(int n) { return n < 2147483647 ? n + 1 : n; }

inline int MinInteger(int a, int b) { return a < b ? a : b; }
inline int MaxInteger(int a, int b) { return a > b ? a : b; }

// 1-based position of sub in s, 0 when absent or when either is empty.
int WideStrIndex(std::u16string_view sub, std::u16string_view s);
// 0-based index of the first / last occurrence of a character, -1 when absent.
int WideStrScan(std::u16string_view s, char16_t ch);
int WideStrRScan(std::u16string_view s, char16_t ch);
std::u16string WideUpperText(std::u16string_view s);
std::u16string WideLowerText(std::u16string_view s);
inline bool WideTextEqual(std::u16string_view a, std::u16string_view b) { return a == b; }
// Drops characters below U+0021 at both ends.
std::u16string WideTrim(std::u16string_view s);

// How many leading characters of a text fit into width pixels on a canvas, and their extent.
inline int FitWideText(const Canvas& canvas, std::u16string_view text, int width, int& extent)
{
    return canvas.TextFitCount(text, width, &extent);
}
// The pixel size of a text on a canvas.
inline TextSize WideTextExtent(const Canvas& canvas, std::u16string_view text)
{
    return canvas.TextExtent(text);
}

// 1-based position of sub in s, searching from start (from the beginning when start <= 1);
// 0 when absent.
int PosFrom(std::string_view sub, std::string_view s, int start);
std::string ReplaceChar(char oldCh, char newCh, std::string s);

// Replaces every "%" followed by two hexadecimal digits by the byte they give, in one pass from
// left to right (a decoded "%" is never read again); other "%" stay as they are. Decoding again
// would read an escaped "%" ("%2541") as a second escape and reach another file than the link's.
std::string DecodePercentEscapes(std::string_view s);
// A path as the path part of an address: every byte but letters, digits, "-", ".", "_", "~" and
// "/" as "%" with two hexadecimal digits, so that DecodePercentEscapes gives the path back
// whatever code page the address is read in.
std::string EncodePercentEscapes(std::string_view path);

// The local path of a file URL: escapes decoded; when it holds "/", the scheme prefix "file:///"
// (else "file://", else "file:/", found without regard to case) is cut out and "|" becomes ":".
// Paths are POSIX paths: a "\" is read as "/".
std::string UrlToDosPath(std::string_view url);
// UrlToDosPath, trimmed; with a server root, a path starting with one "/" (not two) and without
// a drive colon gets the root put in front, unless it was written as a "file:" URL.
std::string UrlToDosPathWithRoot(std::string_view url, std::string_view serverRoot);

}  // namespace velmoran
