// Windows-1252 <-> UTF-8: records, calculation files and templates hold Windows-1252 bytes,
// the program works in UTF-8. One table serves both directions.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace velmoran {

// The Unicode code point of a Windows-1252 byte (the five unassigned bytes map to themselves,
// as the C1 controls, so that every byte survives a round trip).
char32_t Cp1252ToUnicode(unsigned char byte);

// The Windows-1252 byte of a code point, or '?' when the code page has none.
char UnicodeToCp1252(char32_t codePoint);

// Whether Windows-1252 holds the code point.
bool InCp1252(char32_t codePoint);

std::string Cp1252ToUtf8(std::string_view bytes);

// A plain text file's bytes as UTF-8. Files written on Windows hold Windows-1252, files written
// here UTF-8: the bytes are taken as UTF-8 when they begin with its byte-order mark (which is
// dropped), when they hold no byte beyond ASCII, or when more of their characters beyond ASCII are
// UTF-8 sequences than stray bytes. German text in Windows-1252 is hardly ever UTF-8: an umlaut
// byte there stands alone. In a text taken as UTF-8 a stray byte (one that begins no UTF-8
// sequence) is read as its Windows-1252 character, and its line is stray. Any other text is read
// line by line, each line by the same rule, so that UTF-8 lines added to a Windows file keep their
// umlauts; when its lines differ, its Windows-1252 lines with bytes beyond ASCII are stray, as
// they were read by a guess. `strayLine`, when given, is told the number of every stray line
// (counted from 1), once each and in order. Costs the text it returns and no more: no line is kept.
std::string TextFileToUtf8(std::string_view bytes, const std::function<void(std::size_t line)>& strayLine = {});

// Converts UTF-8 to Windows-1252; unmappable characters and invalid UTF-8 sequences become '?'.
std::string Utf8ToCp1252(std::string_view text);

// Appends the UTF-8 encoding of a code point.
void AppendUtf8(std::string& out, char32_t codePoint);

// Decodes one UTF-8 character at text[pos], advancing pos; invalid sequences give U+FFFD
// and advance by one byte.
char32_t DecodeUtf8(std::string_view text, std::size_t& pos);

}  // namespace velmoran
