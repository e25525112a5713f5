// A font engine with fixed metrics for tests, so that layout positions are exact arithmetic.
// For a character height of h pixels (a font height of -h, or a cell height of h):
//   Height h, Ascent h - h/4, Descent h/4, no leadings, every character h/2 wide (bold h/2 + 1),
//   AveCharWidth h/2, MaxCharWidth h. Every face name is "installed" and measures the same.
#pragma once

#include "platform/Canvas.h"

namespace velmoran {

class TestFontEngine : public FontEngine {
public:
    TextMetrics Metrics(const LogicalFont& font) override;
    int CharAdvance(const LogicalFont& font, char32_t ch) override;
    // "Arial", "Times New Roman", "Courier New" and "Velmoran Test".
    std::vector<std::string> Families() override;

    static int CharHeight(const LogicalFont& font);
};

}  // namespace velmoran
