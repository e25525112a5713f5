// Canonical text forms of simple selectors, shared by the attribute list (CLASS values) and the
// style-sheet parser (selector keys).
#pragma once

#include <string>
#include <string_view>

namespace velmoran {

// Puts a simple selector (no blanks) into canonical order: the element name, then every class
// (after "."), then every pseudo-class (after ":"), then the ID (after "#"), each group sorted
// alphabetically. "a:hover.x" gives "a.x:hover", "#m.b.a" gives ".a.b#m". A ">" at the end stays.
std::string CanonicalSimpleSelector(std::string_view selector);

}  // namespace velmoran
