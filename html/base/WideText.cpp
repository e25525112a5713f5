// Text helpers of the HTML library; see WideText.h.
#include "html/base/WideText.h"

#include "platform/core/Text.h"

#include <QString>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace velmoran {

int RoundLength(double v)
{
    if (!(v == v))
        return 0;
    return static_cast<int>(std::lround(std::clamp(v, -double(kMaxLength), double(kMaxLength))));
}

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return 0;
    const std::int64_t num = static_cast<std::int64_t>(a) * b;
    const std::int64_t absNum = num < 0 ? -num : num;
    const std::int64_t absDen = c < 0 ? -static_cast<std::int64_t>(c) : c;
    // Half away from zero: compare twice the remainder with the divisor.
    std::int64_t q = absNum / absDen;
    if (2 * (absNum % absDen) >= absDen)
        ++q;
    if ((num < 0) != (c < 0))
        q = -q;
    if (q > INT_MAX)
        return INT_MAX;
    if (q < INT_MIN)
        return INT_MIN;
    return static_cast<int>(q);
}

int WideStrIndex(std::u16string_view sub, std::u16string_view s)
{
    if (sub.empty() || s.empty())
        return 0;
    const auto p = s.find(sub);
    return p == std::u16string_view::npos ? 0 : static_cast<int>(p) + 1;
}

int WideStrScan(std::u16string_view s, char16_t ch)
{
    const auto p = s.find(ch);
    return p == std::u16string_view::npos ? -1 : static_cast<int>(p);
}

int WideStrRScan(std::u16string_view s, char16_t ch)
{
    const auto p = s.rfind(ch);
    return p == std::u16string_view::npos ? -1 : static_cast<int>(p);
}

std::u16string WideUpperText(std::u16string_view s)
{
    const QString q = QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())).toUpper();
    return q.toStdU16String();
}

std::u16string WideLowerText(std::u16string_view s)
{
    const QString q = QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())).toLower();
    return q.toStdU16String();
}

std::u16string WideTrim(std::u16string_view s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] < 0x21)
        ++b;
    while (e > b && s[e - 1] < 0x21)
        --e;
    return std::u16string(s.substr(b, e - b));
}

int PosFrom(std::string_view sub, std::string_view s, int start)
{
    const std::size_t from = start <= 1 ? 0 : static_cast<std::size_t>(start - 1);
    if (sub.empty() || from > s.size())
        return 0;
    const auto p = s.find(sub, from);
    return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

std::string ReplaceChar(char oldCh, char newCh, std::string s)
{
    for (char& c : s)
        if (c == oldCh)
            c = newCh;
    return s;
}

namespace {

int HexValue(char c) { return HexDigitValue(static_cast<unsigned char>(c)); }

}  // namespace

std::string DecodePercentEscapes(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string EncodePercentEscapes(std::string_view path)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(path.size());
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9');
        if (plain || c == '-' || c == '.' || c == '_' || c == '~' || c == '/')
            out += c;
        else
            out += {'%', kHex[byte >> 4], kHex[byte & 0xF]};
    }
    return out;
}

std::string UrlToDosPath(std::string_view url)
{
    std::string s = ReplaceChar('\\', '/', DecodePercentEscapes(url));
    if (s.find('/') != std::string::npos) {
        const std::string lower = LowerCase(s);
        for (std::string_view prefix : {"file:///", "file://", "file:/"}) {
            const auto p = lower.find(prefix);
            if (p == std::string::npos)
                continue;
            s.erase(p, prefix.size());
            // A drive ("C|/" or "C:/") stays as it is; anything else is an absolute POSIX path.
            const bool drive = s.size() > p + 1 && (s[p + 1] == '|' || s[p + 1] == ':');
            if (!drive && (p >= s.size() || s[p] != '/'))
                s.insert(p, 1, '/');
            break;
        }
        s = ReplaceChar('|', ':', s);
    }
    return s;
}

std::string UrlToDosPathWithRoot(std::string_view url, std::string_view serverRoot)
{
    std::string s = Trim(UrlToDosPath(url));
    // A file URL names its path whole: on this system every full path starts with one "/".
    const bool fileUrl = LowerCase(Trim(url)).rfind("file:", 0) == 0;
    if (!fileUrl && !serverRoot.empty() && !s.empty() && s[0] == '/' && !(s.size() > 1 && s[1] == '/') &&
        !(s.size() > 1 && s[1] == ':')) {
        std::string root(serverRoot);
        while (!root.empty() && (root.back() == '/' || root.back() == '\\'))
            root.pop_back();
        s = ReplaceChar('\\', '/', root) + s;
    }
    return s;
}

}  // namespace velmoran
