// The Windows-1252 table and the conversions built on it.
#include "platform/core/Cp1252.h"

#include "platform/core/CodePage.h"

#include <algorithm>
#include <array>

namespace velmoran {

namespace {

// Code points of the bytes 0x80..0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

char32_t Cp1252ToUnicode(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return kHighControls[byte - 0x80];
    return byte;
}

char UnicodeToCp1252(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<char>(codePoint);
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == codePoint)
            return static_cast<char>(0x80 + i);
    return '?';
}

bool InCp1252(char32_t codePoint)
{
    return codePoint == U'?' || UnicodeToCp1252(codePoint) != '?';
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char32_t DecodeUtf8(std::string_view text, std::size_t& pos)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    int length = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        cp = lead & 0x07;
    } else {
        ++pos;
        return 0xFFFD;
    }
    if (pos + length > text.size()) {
        ++pos;
        return 0xFFFD;
    }
    for (int i = 1; i < length; ++i) {
        const unsigned char c = byte(pos + i);
        if ((c & 0xC0) != 0x80) {
            ++pos;
            return 0xFFFD;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return 0xFFFD;
    }
    pos += length;
    return cp;
}

namespace {

bool IsAscii(char c)
{
    return static_cast<unsigned char>(c) < 0x80;
}

// Where the first byte beyond ASCII from `from` on is; the size when there is none.
std::size_t NextBeyondAscii(std::string_view bytes, std::size_t from)
{
    while (from < bytes.size() && IsAscii(bytes[from]))
        ++from;
    return from;
}

// Appends Windows-1252 bytes as UTF-8: runs of ASCII as they are, each other byte as its character.
void AppendCp1252(std::string& out, std::string_view bytes)
{
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        const std::size_t beyond = NextBeyondAscii(bytes, at);
        out.append(bytes.substr(at, beyond - at));
        if (beyond == bytes.size())
            break;
        AppendUtf8(out, Cp1252ToUnicode(static_cast<unsigned char>(bytes[beyond])));
        at = beyond;
    }
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    AppendCp1252(out, bytes);
    return out;
}

namespace {

// Whether the character at pos is one UTF-8 sequence, not a stray byte; pos moves past it. A
// replacement character of its own is three bytes long: one byte taken means a broken sequence.
bool NextIsUtf8(std::string_view bytes, std::size_t& pos)
{
    const std::size_t start = pos;
    return !(DecodeUtf8(bytes, pos) == 0xFFFD && pos - start == 1);
}

bool AllAscii(std::string_view bytes)
{
    for (const char c : bytes)
        if (!IsAscii(c))
            return false;
    return true;
}

// Whether bytes without a byte-order mark read as UTF-8: more sequences beyond ASCII than stray
// bytes, so that one stray byte does not turn every umlaut of a UTF-8 file into two characters.
bool MostlyUtf8(std::string_view bytes)
{
    std::size_t sequences = 0, stray = 0;
    for (std::size_t pos = 0; pos < bytes.size();) {
        if (IsAscii(bytes[pos]))
            ++pos;
        else if (!NextIsUtf8(bytes, pos))
            ++stray;
        else
            ++sequences;
    }
    return sequences > stray;
}

// The length of a code point in UTF-8.
std::size_t Utf8Length(char32_t cp)
{
    return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
}

// How long the bytes are as UTF-8 when read as Windows-1252.
std::size_t Cp1252Utf8Size(std::string_view bytes)
{
    std::size_t size = 0;
    for (const char c : bytes)
        size += Utf8Length(Cp1252ToUnicode(static_cast<unsigned char>(c)));
    return size;
}

// How long the bytes are when read as UTF-8, each stray byte as its Windows-1252 character.
std::size_t AsUtf8Size(std::string_view bytes)
{
    std::size_t size = 0;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t start = pos;
        if (IsAscii(bytes[pos]))
            ++pos, ++size;
        else
            size += NextIsUtf8(bytes, pos) ? pos - start
                                           : Utf8Length(Cp1252ToUnicode(static_cast<unsigned char>(bytes[start])));
    }
    return size;
}

// Appends bytes read as UTF-8, each stray byte as its Windows-1252 character; the lines with such
// bytes are told to strayLine, numbered on from `line`, the number of the first.
void AppendAsUtf8(std::string& out, std::string_view bytes, std::size_t line,
                  const std::function<void(std::size_t)>& strayLine)
{
    std::size_t told = 0;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t start = pos;
        if (IsAscii(bytes[pos])) {
            while (pos < bytes.size() && IsAscii(bytes[pos]))
                line += bytes[pos++] == '\n' ? 1 : 0;
            out.append(bytes.substr(start, pos - start));
            continue;
        }
        if (NextIsUtf8(bytes, pos)) {
            out.append(bytes.substr(start, pos - start));
            continue;
        }
        AppendUtf8(out, Cp1252ToUnicode(static_cast<unsigned char>(bytes[start])));
        if (strayLine && told != line)
            strayLine(told = line);
    }
}

std::size_t LineBreaks(std::string_view bytes)
{
    std::size_t breaks = 0;
    for (const char c : bytes)
        breaks += c == '\n' ? 1 : 0;
    return breaks;
}

// Goes through the lines of a text (each with its line break): `ascii` gets each run of whole lines
// without bytes beyond ASCII at once, `other` every other line with its number, counted from 1.
template <class Ascii, class Other>
void ForEachLine(std::string_view bytes, Ascii&& ascii, Other&& other)
{
    std::size_t number = 1;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t beyond = NextBeyondAscii(bytes, at);
        std::size_t lineStart = beyond;
        if (beyond < bytes.size()) {
            const std::size_t lastBreak = bytes.rfind('\n', beyond);
            lineStart = lastBreak == std::string_view::npos || lastBreak < at ? at : lastBreak + 1;
        }
        if (lineStart > at) {
            const std::string_view run = bytes.substr(at, lineStart - at);
            ascii(run);
            number += LineBreaks(run);
        }
        if (beyond == bytes.size())
            break;
        const std::size_t end = std::min(bytes.find('\n', beyond), bytes.size() - 1);
        other(bytes.substr(lineStart, end + 1 - lineStart), number++);
        at = end + 1;
    }
}

// A text that is Windows-1252 on the whole may hold lines written as UTF-8 (a file put together
// from two sources): each line is read as what it mostly is. Where the lines differ, the lines
// read as Windows-1252 that hold bytes beyond ASCII are the stray ones: the reader is told which
// lines were guessed. Two passes, each deciding every line anew, so that nothing but the text made
// is kept: the first learns whether the lines differ and how long the text becomes.
std::string MixedLinesToUtf8(std::string_view bytes, const std::function<void(std::size_t)>& strayLine)
{
    bool anyUtf8 = false;
    std::size_t size = 0;
    ForEachLine(
        bytes, [&](std::string_view run) { size += run.size(); },
        [&](std::string_view line, std::size_t) {
            const bool utf8 = MostlyUtf8(line);
            anyUtf8 = anyUtf8 || utf8;
            size += utf8 ? AsUtf8Size(line) : Cp1252Utf8Size(line);
        });
    std::string out;
    out.reserve(size);
    ForEachLine(
        bytes, [&](std::string_view run) { out.append(run); },
        [&](std::string_view line, std::size_t number) {
            if (MostlyUtf8(line)) {
                AppendAsUtf8(out, line, number, strayLine);
                return;
            }
            AppendCp1252(out, line);
            if (anyUtf8 && strayLine)
                strayLine(number);
        });
    return out;
}

}  // namespace

std::string TextFileToUtf8(std::string_view bytes, const std::function<void(std::size_t line)>& strayLine)
{
    if (AllAscii(bytes))
        return std::string(bytes);
    if (bytes.starts_with(kUtf8Signature))
        bytes.remove_prefix(kUtf8Signature.size());
    else if (!MostlyUtf8(bytes))
        return MixedLinesToUtf8(bytes, strayLine);
    std::string out;
    out.reserve(AsUtf8Size(bytes));
    AppendAsUtf8(out, bytes, 1, strayLine);
    return out;
}

std::string Utf8ToCp1252(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size())
        out += UnicodeToCp1252(DecodeUtf8(text, pos));
    return out;
}

}  // namespace velmoran
