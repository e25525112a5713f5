// The Windows-1252 table and the conversions built on it.
#include "platform/core/Cp1252.h"

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

std::string Cp1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : bytes)
        AppendUtf8(out, Cp1252ToUnicode(static_cast<unsigned char>(c)));
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

// Whether bytes without a byte-order mark read as UTF-8: more sequences beyond ASCII than stray
// bytes, so that one stray byte does not turn every umlaut of a UTF-8 file into two characters.
bool MostlyUtf8(std::string_view bytes)
{
    std::size_t sequences = 0, stray = 0;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t start = pos;
        if (!NextIsUtf8(bytes, pos))
            ++stray;
        else if (pos - start > 1)
            ++sequences;
    }
    return sequences > stray;
}

// Appends bytes read as UTF-8, each stray byte as its Windows-1252 character; the offsets of
// those, counted from `base`, go into strayBytes when given.
void AppendAsUtf8(std::string& out, std::string_view bytes, std::size_t base, std::vector<std::size_t>* strayBytes)
{
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t start = pos;
        if (NextIsUtf8(bytes, pos)) {
            out.append(bytes.substr(start, pos - start));
            continue;
        }
        AppendUtf8(out, Cp1252ToUnicode(static_cast<unsigned char>(bytes[start])));
        if (strayBytes)
            strayBytes->push_back(base + start);
    }
}

// The lines of a text, each with its line break.
std::vector<std::string_view> LinesOf(std::string_view bytes)
{
    std::vector<std::string_view> lines;
    while (!bytes.empty()) {
        const std::size_t end = std::min(bytes.find('\n'), bytes.size() - 1);
        lines.push_back(bytes.substr(0, end + 1));
        bytes.remove_prefix(end + 1);
    }
    return lines;
}

// A text that is Windows-1252 on the whole may hold lines written as UTF-8 (a file put together
// from two sources): each line is read as what it mostly is. Where the lines differ, the bytes
// beyond ASCII of the lines read as Windows-1252 are the stray ones: the reader is told which
// lines were guessed.
std::string MixedLinesToUtf8(std::string_view bytes, std::vector<std::size_t>* strayBytes)
{
    const std::vector<std::string_view> lines = LinesOf(bytes);
    std::vector<bool> utf8(lines.size());
    bool anyUtf8 = false;
    for (std::size_t i = 0; i < lines.size(); ++i)
        anyUtf8 |= utf8[i] = MostlyUtf8(lines[i]);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    std::size_t base = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (utf8[i]) {
            AppendAsUtf8(out, lines[i], base, strayBytes);
        } else {
            out += Cp1252ToUtf8(lines[i]);
            for (std::size_t at = 0; anyUtf8 && strayBytes && at < lines[i].size(); ++at)
                if (static_cast<unsigned char>(lines[i][at]) >= 0x80)
                    strayBytes->push_back(base + at);
        }
        base += lines[i].size();
    }
    return out;
}

}  // namespace

std::string TextFileToUtf8(std::string_view bytes, std::vector<std::size_t>* strayBytes)
{
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    std::size_t offset = 0;
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        offset = kByteOrderMark.size();
    else if (!MostlyUtf8(bytes))
        return MixedLinesToUtf8(bytes, strayBytes);
    std::string out;
    out.reserve(bytes.size() - offset);
    AppendAsUtf8(out, bytes.substr(offset), offset, strayBytes);
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
