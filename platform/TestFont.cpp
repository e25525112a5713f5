// The fixed-metric test font; see TestFont.h.
#include "platform/TestFont.h"

namespace velmoran {

int TestFontEngine::CharHeight(const LogicalFont& font)
{
    if (font.Height == 0)
        return 16;
    return font.Height < 0 ? -font.Height : font.Height;
}

TextMetrics TestFontEngine::Metrics(const LogicalFont& font)
{
    const int h = CharHeight(font);
    TextMetrics m;
    m.Height = h;
    m.Descent = h / 4;
    m.Ascent = h - m.Descent;
    m.InternalLeading = 0;
    m.ExternalLeading = 0;
    m.AveCharWidth = h / 2;
    m.MaxCharWidth = h;
    m.Charset = font.Charset == kDefaultCharset ? kAnsiCharset : font.Charset;
    return m;
}

int TestFontEngine::CharAdvance(const LogicalFont& font, char32_t)
{
    return CharHeight(font) / 2 + (font.Weight >= 600 ? 1 : 0);
}

std::vector<std::string> TestFontEngine::Families()
{
    return {"Arial", "Times New Roman", "Courier New", "Velmoran Test"};
}

}  // namespace velmoran
