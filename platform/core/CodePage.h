// Code-page conversion between 8-bit page text and UTF-16: Windows-1252 through the program's own
// table, UTF-8 directly, every other Windows code page through the C library's converters.
// The default (ANSI) code page is Windows-1252, never UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace velmoran {

constexpr int kAnsiCodePage = 1252;
constexpr int kUtf8CodePage = 65001;
// The bytes an editor puts before a text it saves as UTF-8 ("byte-order mark").
constexpr std::string_view kUtf8Signature = "\xEF\xBB\xBF";

// Converts 8-bit text of a code page to UTF-16. Code page 0 means the ANSI code page. Bytes that
// are no valid character become U+FFFD. When the code page gives nothing for a non-empty text (an
// unknown code page), the conversion is repeated with the ANSI code page.
std::u16string MultibyteToWide(int codePage, std::string_view text);

// Converts UTF-16 to 8-bit text of a code page; characters the page lacks become '?'. Same retry.
std::string WideToMultibyte(int codePage, std::u16string_view text);

// 8-bit text of a code page as UTF-8, the form file names have here: a page's "Bild\xE4.bmp" in
// Windows-1252 names "Bildä.bmp". UTF-8 text and plain ASCII stand as they are.
std::string MultibyteToUtf8(int codePage, std::string_view text);

// Number of bytes of the character that starts at text[pos]: for UTF-8 by the lead byte (0 for a
// zero byte, 2 for 0xC0-0xDF, 3 for 0xE0-0xEF, 4 for 0xF0-0xF7, else 1); for other code pages
// the length of the first complete character (0 when none can be read).
int CharLengthInCodePage(int codePage, std::string_view text, std::size_t pos);

// UTF-16 <-> UTF-8 for the program's internal text.
std::string WideToUtf8(std::u16string_view text);
std::u16string Utf8ToWide(std::string_view text);

}  // namespace velmoran
