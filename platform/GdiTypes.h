// The small value types of drawing in Windows terms: colour references, points and rectangles
// (right and bottom exclusive), pens, brushes and the flag values of text output and mapping.
#pragma once

#include <algorithm>
#include <cstdint>

namespace velmoran {

// A colour reference 0x00BBGGRR (red in the low byte). 0x02000000 marks a palette-relative
// colour (drawn as its RGB part), 0x80000000 + index a system colour; kNoColor is "no colour".
using ColorRef = std::uint32_t;
constexpr ColorRef kNoColor = 0x1FFFFFFF;
constexpr ColorRef kPaletteRelativeFlag = 0x02000000;
constexpr ColorRef kSystemColorFlag = 0x80000000;

constexpr ColorRef RGBRef(int r, int g, int b)
{
    return static_cast<ColorRef>(r & 0xFF) | (static_cast<ColorRef>(g & 0xFF) << 8) |
           (static_cast<ColorRef>(b & 0xFF) << 16);
}
constexpr int RedOf(ColorRef c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(ColorRef c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(ColorRef c) { return static_cast<int>((c >> 16) & 0xFF); }

struct TPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    bool operator==(const TSize&) const = default;
};

// Left and top inclusive, right and bottom exclusive.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool operator==(const TRect&) const = default;
};

// The same rectangle with left above right and top above bottom, however it was given.
inline TRect Normalized(const TRect& r)
{
    return {std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right), std::max(r.Top, r.Bottom)};
}

// SetTextAlign flags.
constexpr unsigned TA_NOUPDATECP = 0;
constexpr unsigned TA_UPDATECP = 1;
constexpr unsigned TA_LEFT = 0;
constexpr unsigned TA_RIGHT = 2;
constexpr unsigned TA_CENTER = 6;
constexpr unsigned TA_TOP = 0;
constexpr unsigned TA_BOTTOM = 8;
constexpr unsigned TA_BASELINE = 24;
constexpr unsigned kTaHorizontalMask = 6;
constexpr unsigned kTaVerticalMask = 24;

// ExtTextOut options.
constexpr unsigned ETO_OPAQUE = 2;
constexpr unsigned ETO_CLIPPED = 4;

enum class BkMode { Transparent = 1, Opaque = 2 };
enum class PolyFillMode { Alternate = 1, Winding = 2 };
// Colour-on-colour stretching takes the nearest pixel, halftone interpolates.
enum class StretchMode { BlackOnWhite = 1, WhiteOnBlack = 2, ColorOnColor = 3, Halftone = 4 };
enum class MapMode { Text = 1, Anisotropic = 8 };

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Null, InsideFrame };
enum class PenCap { Round, Square, Flat };
enum class PenJoin { Round, Bevel, Miter };

// A pen. Width 0 is one device pixel whatever the mapping. A plain pen wider than one unit is
// always solid with round ends; a geometric pen keeps its style, ends and joins at any width.
struct Pen {
    PenStyle Style = PenStyle::Solid;
    int Width = 0;
    ColorRef Color = 0;
    bool Geometric = false;
    PenCap Cap = PenCap::Round;
    PenJoin Join = PenJoin::Round;
    bool operator==(const Pen&) const = default;
};

enum class BrushStyle { Solid, Null, Pattern };

// A brush. A pattern brush repeats eight rows of eight pixels from the canvas's brush origin:
// the top row is the highest byte of Pattern, the leftmost pixel of a row its highest bit; a set
// bit is drawn in Color, a clear one in BackColor (the dither of checked buttons, for one).
struct Brush {
    BrushStyle Style = BrushStyle::Solid;
    ColorRef Color = 0xFFFFFF;
    std::uint64_t Pattern = 0;
    ColorRef BackColor = 0;
    bool operator==(const Brush&) const = default;
};

inline Brush PatternBrush(std::uint64_t rows, ColorRef setColor, ColorRef clearColor)
{
    return Brush{BrushStyle::Pattern, setColor, rows, clearColor};
}

// GetDeviceCaps indexes.
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int PLANES = 14;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int PHYSICALWIDTH = 110;
constexpr int PHYSICALHEIGHT = 111;
constexpr int PHYSICALOFFSETX = 112;
constexpr int PHYSICALOFFSETY = 113;

}  // namespace velmoran
