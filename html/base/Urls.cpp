// Address helpers; see Urls.h.
#include "html/base/Urls.h"

#include "html/base/WideText.h"

#include <algorithm>

namespace velmoran {

namespace {

constexpr auto npos = std::string::npos;

std::string BeforeQuery(std::string_view url)
{
    const auto q = url.find('?');
    return std::string(q == std::string_view::npos ? url : url.substr(0, q));
}

}  // namespace

std::string GetBase(std::string_view url)
{
    const std::string s = BeforeQuery(Trim(url));
    const auto slashes = s.find("//");
    const std::size_t from = slashes == npos ? 0 : slashes + 2;
    const auto last = s.rfind('/');
    if (last != npos && last >= from)
        return s.substr(0, last + 1);
    return s + "/";
}

std::string CombineUrl(std::string_view baseIn, std::string_view relativeIn)
{
    std::string base = Trim(baseIn);
    const std::string scheme = GetProtocol(base);
    // r: 0-based index of the "/" that ends the host part.
    std::size_t r = npos;
    if (LowerCase(base.substr(0, 8)) == "file:///")
        r = base.find('/', 8);
    else if (const auto p = base.find("://"); p != npos)
        r = base.find('/', p + 3);
    else
        r = base.find('/');
    if (r != npos) {
        if (base.empty() || base.back() != '/')
            base += '/';
    } else {
        base += '/';
        r = base.size() - 1;
    }
    const std::string rel = Trim(relativeIn);
    std::string result;
    if (rel.empty() || rel[0] != '/')
        result = base + rel;
    else if (rel.size() > 1 && rel[1] == '/')
        result = scheme == "file" ? "file:///" + rel : scheme + ":" + rel;
    else
        result = base.substr(0, r + 1) + rel.substr(1);

    for (auto p = result.find("/../"); p != npos; p = result.find("/../")) {
        if (p > r) {
            const auto q = result.rfind('/', p - 1);
            if (q == npos)
                break;
            result.erase(q + 1, p + 4 - (q + 1));
        } else {
            result.erase(p + 1, 3);
        }
    }
    for (auto p = result.find("/./"); p != npos; p = result.find("/./"))
        result.erase(p + 1, 2);
    return result;
}

bool IsFullUrl(std::string_view url)
{
    const std::string s = BeforeQuery(url);
    const auto scheme = s.find("://");
    if (scheme != npos && scheme + 1 == s.find('/'))
        return true;
    return Contains(LowerCase(s), "mailto:");
}

std::string GetProtocol(std::string_view url)
{
    return LowerCase(ParseUrl(BeforeQuery(url)).Protocol);
}

UrlParts ParseUrl(std::string_view urlIn)
{
    UrlParts u;
    const std::string url(urlIn);
    if (url.empty())
        return u;
    std::string rest;
    if (const auto p = url.find("://"); p != npos) {
        u.Protocol = url.substr(0, p);
        rest = url.substr(p + 3);
    } else if (url[0] != '/') {
        if (LowerCase(url.substr(0, 5)) == "http:") {
            u.Protocol = "http";
            if (url.size() >= 7 && url[6] != '/') {
                u.Path = url.substr(5);
                return u;
            }
            rest = url.substr(5);
            while (!rest.empty() && rest[0] == '/' && rest.size() > 1 && rest[1] == '/')
                rest.erase(0, 2);
        } else if (LowerCase(url.substr(0, 7)) == "mailto:") {
            u.Protocol = "mailto";
            rest = url.substr(url.find(':') + 1);
        } else {
            rest = url;
        }
    } else {
        u.Protocol = "http";
        if (url.size() >= 2 && url[1] != '/') {
            u.Path = url;
            return u;
        }
        rest = url.substr(std::min<std::size_t>(2, url.size()));  // "/" alone (the root folder) has no rest
    }
    const auto slash = rest.find('/');
    const std::string authority = slash == npos ? rest : rest.substr(0, slash);
    if (slash != npos)
        u.Path = rest.substr(slash);
    const auto colon = authority.rfind(':');
    const auto at = authority.rfind('@');
    if (colon == npos && at == npos) {
        u.Host = authority;
    } else if (colon != npos && (at == npos || colon > at)) {
        u.Port = authority.substr(colon + 1);
        const std::size_t hostStart = at == npos ? 0 : at + 1;
        u.Host = authority.substr(hostStart, colon - hostStart);
    } else {
        u.Host = authority.substr(at + 1);
    }
    if (at != npos) {
        const std::string info = authority.substr(0, at);
        const auto c = info.find(':');
        if (c == npos) {
            u.User = info;
        } else {
            u.User = info.substr(0, c);
            u.Password = info.substr(c + 1);
        }
    }
    return u;
}

int PosX(std::string_view sub, std::string_view text, int n)
{
    if (sub.empty() || n == 0)
        return 0;
    if (n > 0) {
        std::size_t p = std::string_view::npos;
        std::size_t from = 0;
        for (int k = 0; k < n; ++k) {
            p = text.find(sub, from);
            if (p == std::string_view::npos)
                return 0;
            from = p + 1;
        }
        return static_cast<int>(p) + 1;
    }
    std::size_t p = std::string_view::npos;
    std::size_t from = std::string_view::npos;
    for (int k = 0; k < -n; ++k) {
        p = text.rfind(sub, from);
        if (p == std::string_view::npos)
            return 0;
        if (p == 0 && k + 1 < -n)
            return 0;
        from = p == 0 ? 0 : p - 1;
    }
    return static_cast<int>(p) + 1;
}

}  // namespace velmoran
