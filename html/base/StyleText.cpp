// Canonical forms of simple selectors; see StyleText.h.
#include "html/base/StyleText.h"

#include <algorithm>
#include <vector>

namespace velmoran {

std::string CanonicalSimpleSelector(std::string_view selector)
{
    std::string child;
    if (!selector.empty() && selector.back() == '>') {
        child = ">";
        selector.remove_suffix(1);
    }
    std::string element;
    std::vector<std::string> classes, pseudos, ids;
    std::vector<std::string>* target = nullptr;
    std::string current;
    auto flush = [&] {
        if (target)
            target->push_back(current);
        else
            element += current;
        current.clear();
    };
    for (char c : selector) {
        if (c == '.' || c == ':' || c == '#') {
            flush();
            target = c == '.' ? &classes : c == ':' ? &pseudos : &ids;
        } else {
            current += c;
        }
    }
    flush();
    std::sort(classes.begin(), classes.end());
    std::sort(pseudos.begin(), pseudos.end());
    std::sort(ids.begin(), ids.end());
    std::string out = element;
    for (const auto& c : classes)
        out += "." + c;
    for (const auto& p : pseudos)
        out += ":" + p;
    for (const auto& i : ids)
        out += "#" + i;
    return out + child;
}

}  // namespace velmoran
