// Colour texts of style sheets and attributes to colour values. Colours are Windows colour
// references (red in the low byte); hexadecimal and rgb() colours carry the palette-relative flag
// 0x02000000, named colours are stored as the name table holds them, system colours are
// 0x80000000 plus the system colour index.
#pragma once

#include <cstdint>
#include <string_view>

namespace velmoran {

using TColor = std::uint32_t;

constexpr TColor NoColor = 0x1FFFFFFF;
constexpr TColor kPaletteRelative = 0x02000000;
constexpr TColor kSystemColorBase = 0x80000000;

// Parses a colour text (trimmed, any case): a colour name, "rgb(r, g, b)" with numbers or
// percentages, or hexadecimal "#rrggbb" / "#rgb" (the "#" may be left out unless requireHash).
// Returns false and leaves color alone when the text is no colour.
bool ParseColor(std::string_view text, bool requireHash, TColor& color);

// Number of names in the colour table (176).
int ColorNameCount();

// RGB red, green, blue as a colour reference.
constexpr TColor RGBColor(int r, int g, int b)
{
    return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}

}  // namespace velmoran
