// Code-page conversion; see CodePage.h.
#include "platform/core/CodePage.h"

#include "platform/core/Cp1252.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace velmoran {

namespace {

// The converter name of a Windows code page, or nullptr when the C library has none for it.
const char* IconvName(int codePage)
{
    switch (codePage) {
    case 1: return "CP850";   // OEM code page of German systems
    case 2: return "MACINTOSH";
    case 437: return "CP437";
    case 850: return "CP850";
    case 874: return "CP874";
    case 932: return "CP932";
    case 936: return "GBK";
    case 949: return "CP949";
    case 950: return "BIG5";
    case 1250: return "CP1250";
    case 1251: return "CP1251";
    case 1253: return "CP1253";
    case 1254: return "CP1254";
    case 1255: return "CP1255";
    case 1256: return "CP1256";
    case 1257: return "CP1257";
    case 1258: return "CP1258";
    case 1361: return "JOHAB";
    case 20127: return "ASCII";
    case 20866: return "KOI8-R";
    case 28591: return "ISO-8859-1";
    case 28592: return "ISO-8859-2";
    case 28593: return "ISO-8859-3";
    case 28594: return "ISO-8859-4";
    case 28595: return "ISO-8859-5";
    case 28596: return "ISO-8859-6";
    case 28597: return "ISO-8859-7";
    case 28598: return "ISO-8859-8";
    case 28599: return "ISO-8859-9";
    case 28605: return "ISO-8859-15";
    case 50220: return "ISO-2022-JP";
    case 51932: return "EUC-JP";
    case 51949: return "EUC-KR";
    default: return nullptr;
    }
}

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv()
    {
        if (Ok())
            iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t Handle() const { return cd_; }

private:
    iconv_t cd_;
};

void AppendUtf16(std::u16string& out, char32_t cp)
{
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
        out += static_cast<char16_t>(cp);
    }
}

// Next code point of UTF-16 text; a lone surrogate is returned as it stands.
char32_t NextUtf16(std::u16string_view text, std::size_t& i)
{
    char32_t c = text[i++];
    if (c >= 0xD800 && c <= 0xDBFF && i < text.size() && text[i] >= 0xDC00 && text[i] <= 0xDFFF)
        c = 0x10000 + ((c - 0xD800) << 10) + (text[i++] - 0xDC00);
    return c;
}

std::u16string IconvToWide(const char* name, std::string_view text)
{
    Iconv cv("UTF-32LE", name);
    if (!cv.Ok())
        return {};
    std::u16string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        char* in = const_cast<char*>(text.data() + pos);
        std::size_t inLeft = text.size() - pos;
        std::vector<char> buf(inLeft * 4 + 16);
        char* outp = buf.data();
        std::size_t outLeft = buf.size();
        const std::size_t r = iconv(cv.Handle(), &in, &inLeft, &outp, &outLeft);
        const std::size_t produced = (buf.size() - outLeft) / 4;
        for (std::size_t k = 0; k < produced; ++k) {
            const auto* p = reinterpret_cast<const unsigned char*>(buf.data() + k * 4);
            AppendUtf16(out, static_cast<char32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (p[3] << 24)));
        }
        pos = text.size() - inLeft;
        if (r == static_cast<std::size_t>(-1)) {
            // An invalid or incomplete sequence: one replacement character, one byte skipped.
            out += u'\uFFFD';
            ++pos;
            iconv(cv.Handle(), nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

std::string IconvFromWide(const char* name, std::u16string_view text)
{
    Iconv cv(name, "UTF-32LE");
    if (!cv.Ok())
        return {};
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t cp = NextUtf16(text, i);
        unsigned char in4[4] = {static_cast<unsigned char>(cp), static_cast<unsigned char>(cp >> 8),
                                static_cast<unsigned char>(cp >> 16), static_cast<unsigned char>(cp >> 24)};
        char* in = reinterpret_cast<char*>(in4);
        std::size_t inLeft = 4;
        char buf[16];
        char* outp = buf;
        std::size_t outLeft = sizeof buf;
        if (iconv(cv.Handle(), &in, &inLeft, &outp, &outLeft) == static_cast<std::size_t>(-1)) {
            out += '?';
            iconv(cv.Handle(), nullptr, nullptr, nullptr, nullptr);
        } else {
            out.append(buf, sizeof buf - outLeft);
        }
    }
    // Shift sequences (ISO-2022) are closed at the end.
    char buf[16];
    char* outp = buf;
    std::size_t outLeft = sizeof buf;
    iconv(cv.Handle(), nullptr, nullptr, &outp, &outLeft);
    out.append(buf, sizeof buf - outLeft);
    return out;
}

}  // namespace

std::u16string Utf8ToWide(std::string_view text)
{
    std::u16string out;
    std::size_t pos = 0;
    while (pos < text.size())
        AppendUtf16(out, DecodeUtf8(text, pos));
    return out;
}

std::string WideToUtf8(std::u16string_view text)
{
    std::string out;
    std::size_t i = 0;
    while (i < text.size())
        AppendUtf8(out, NextUtf16(text, i));
    return out;
}

namespace {

std::u16string ToWideOnce(int codePage, std::string_view text)
{
    if (codePage == 0 || codePage == kAnsiCodePage) {
        std::u16string out;
        out.reserve(text.size());
        for (unsigned char b : text)
            out += static_cast<char16_t>(Cp1252ToUnicode(b));
        return out;
    }
    if (codePage == kUtf8CodePage)
        return Utf8ToWide(text);
    const char* name = IconvName(codePage);
    return name ? IconvToWide(name, text) : std::u16string();
}

std::string FromWideOnce(int codePage, std::u16string_view text)
{
    if (codePage == 0 || codePage == kAnsiCodePage) {
        std::string out;
        std::size_t i = 0;
        while (i < text.size())
            out += UnicodeToCp1252(NextUtf16(text, i));
        return out;
    }
    if (codePage == kUtf8CodePage)
        return WideToUtf8(text);
    const char* name = IconvName(codePage);
    return name ? IconvFromWide(name, text) : std::string();
}

}  // namespace

std::u16string MultibyteToWide(int codePage, std::string_view text)
{
    std::u16string out = ToWideOnce(codePage, text);
    if (out.empty() && !text.empty())
        out = ToWideOnce(kAnsiCodePage, text);
    return out;
}

std::string WideToMultibyte(int codePage, std::u16string_view text)
{
    std::string out = FromWideOnce(codePage, text);
    if (out.empty() && !text.empty())
        out = FromWideOnce(kAnsiCodePage, text);
    return out;
}

std::string MultibyteToUtf8(int codePage, std::string_view text)
{
    const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii || codePage == kUtf8CodePage)
        return std::string(text);
    return WideToUtf8(MultibyteToWide(codePage, text));
}

int CharLengthInCodePage(int codePage, std::string_view text, std::size_t pos)
{
    if (pos >= text.size())
        return 0;
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (codePage == kUtf8CodePage) {
        if (lead == 0)
            return 0;
        if (lead >= 0xC0 && lead <= 0xDF)
            return 2;
        if (lead >= 0xE0 && lead <= 0xEF)
            return 3;
        if (lead >= 0xF0 && lead <= 0xF7)
            return 4;
        return 1;
    }
    const char* name = IconvName(codePage);
    if (!name || lead < 0x80)
        return 1;
    Iconv cv("UTF-32LE", name);
    if (!cv.Ok())
        return 1;
    for (std::size_t len = 1; len <= 4 && pos + len <= text.size(); ++len) {
        char* in = const_cast<char*>(text.data() + pos);
        std::size_t inLeft = len;
        char buf[32];
        char* outp = buf;
        std::size_t outLeft = sizeof buf;
        iconv(cv.Handle(), nullptr, nullptr, nullptr, nullptr);
        const std::size_t r = iconv(cv.Handle(), &in, &inLeft, &outp, &outLeft);
        if (r != static_cast<std::size_t>(-1) && inLeft == 0 && outLeft < sizeof buf)
            return static_cast<int>(len);
        if (r == static_cast<std::size_t>(-1) && errno == EILSEQ)
            return 0;
    }
    return 0;
}

}  // namespace velmoran
