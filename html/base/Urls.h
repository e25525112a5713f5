// Small functions for addresses in documents: the base of an address, combining a base with a
// relative address, full versus relative addresses, the scheme, and the parts of an address.
// Positions are 1-based; every function is pure.
#pragma once

#include <string>
#include <string_view>

namespace velmoran {

// The text up to and including the last "/" (after the host part), query dropped; "/" appended
// when there is none.
std::string GetBase(std::string_view url);
// The base combined with a relative address, "/../" and "/./" folded.
std::string CombineUrl(std::string_view base, std::string_view relative);
// True when the address names a scheme and host ("://" before its first "/"), or is a mail address.
bool IsFullUrl(std::string_view url);
// The lower-cased scheme.
std::string GetProtocol(std::string_view url);

struct UrlParts {
    std::string Protocol, User, Password, Host, Port, Path;
};
UrlParts ParseUrl(std::string_view url);

// Position of the n-th occurrence of sub: counted from the start for n > 0, from the end for
// n < 0; 0 when there is none.
int PosX(std::string_view sub, std::string_view text, int n);

}  // namespace velmoran
