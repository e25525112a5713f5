// Page text for the print and preview tests: numbered lines, so that a page's first and last line
// tell where the page was cut.
#pragma once

#include <string>

namespace velmoran::test {

// Lines "Zeile 0" .. "Zeile n-1", one per line.
inline std::string Lines(int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += "Zeile " + std::to_string(i) + "<br>";
    return s;
}

}  // namespace velmoran::test
