// Canvas measuring and the screen's font engine; see Canvas.h.
#include "platform/Canvas.h"

#include "platform/QtCanvas.h"

namespace velmoran {

namespace {

FontEngine*& CurrentScreenFonts()
{
    static FontEngine* engine = nullptr;
    return engine;
}

}  // namespace

FontEngine& ScreenFonts()
{
    if (FontEngine* e = CurrentScreenFonts())
        return *e;
    static QtFontEngine qt;
    return qt;
}

ScopedScreenFonts::ScopedScreenFonts(FontEngine& engine) : previous_(CurrentScreenFonts())
{
    CurrentScreenFonts() = &engine;
}

ScopedScreenFonts::~ScopedScreenFonts()
{
    CurrentScreenFonts() = previous_;
}

std::vector<int> Canvas::CharAdvances(std::u16string_view text) const
{
    std::vector<int> advances(text.size(), 0);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        std::size_t units = 1;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            units = 2;
        }
        advances[i] = fonts_->CharAdvance(font_, c) + extra_;
        i += units - 1;
    }
    return advances;
}

TextSize Canvas::TextExtent(std::u16string_view text) const
{
    int width = 0;
    for (int a : CharAdvances(text))
        width += a;
    return {width, GetTextMetrics().Height};
}

int Canvas::TextFitCount(std::u16string_view text, int maxWidth, int* extent) const
{
    const std::vector<int> advances = CharAdvances(text);
    int width = 0;
    std::size_t n = 0;
    while (n < advances.size() && width + advances[n] <= maxWidth) {
        width += advances[n];
        ++n;
    }
    // A surrogate pair is never split.
    if (n > 0 && n < text.size() && text[n] >= 0xDC00 && text[n] <= 0xDFFF) {
        --n;
        width -= advances[n];
    }
    if (extent)
        *extent = width;
    return static_cast<int>(n);
}

}  // namespace velmoran
