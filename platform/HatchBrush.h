// The six hatch brushes of the classic drawing interface as pattern brushes: lines in the
// brush colour on the background colour, every eight pixels.
#pragma once

#include "platform/GdiTypes.h"

#include <cstdint>

namespace velmoran {

// Hatch numbers: 0 horizontal, 1 vertical, 2 forward diagonal, 3 backward diagonal, 4 cross,
// 5 diagonal cross; any other number gives a solid brush in the colour.
inline Brush HatchBrush(int hatch, ColorRef color, ColorRef background)
{
    // Eight rows of eight pixels, the top row in the highest byte.
    static constexpr std::uint64_t kHatches[] = {
        0x00000000FF000000, 0x0808080808080808, 0x8040201008040201,
        0x0102040810204080, 0x08080808FF080808, 0x8142241818244281,
    };
    if (hatch < 0 || hatch > 5)
        return Brush{BrushStyle::Solid, color};
    return PatternBrush(kHatches[hatch], color, background);
}

}  // namespace velmoran
