// Frames of boxes, cells and tables: the CSS border of a box with its per-side styles and colours,
// the one-pixel 3-D frames of bordered tables and their cells, and the colour helpers they use.
#pragma once

#include "html/layout/Colors.h"
#include "platform/GdiTypes.h"

#include <array>

namespace velmoran {

class Canvas;

// Border styles as the style table numbers them.
enum BorderStyleKind : int { bssNone, bssSolid, bssInset, bssOutset, bssGroove, bssRidge, bssDashed, bssDotted, bssDouble };

// Each channel times 0.75, rounded (system colours resolved first).
TColor Darker(TColor color);

// A CSS border between the outer and the inner rectangle; colours and styles per side in the
// order left, top, right, bottom. With a background colour and any dashed, dotted or double side
// only the ring is filled with that colour.
void DrawBorder(Canvas& canvas, TRect outer, TRect inner, const std::array<TColor, 4>& colors,
                const std::array<int, 4>& styles, TColor background, bool printing);

// A frame of the given width: one pixel wide, top and left in one colour and bottom and right in
// the other (light on top and left when raised); wider, a solid CSS border.
void DrawBorder3D(Canvas& canvas, const TRect& rect, int width, TColor light, TColor dark, bool raised);

// The raised or sunken frame of a table, cell or image in the document's colours: silver light
// when the document background is white or when printing, else the button highlight; button
// shadow dark; both black when monochromeBlack is set on a one-bit printer.
void DrawDocumentBorder3D(Canvas& canvas, const TRect& rect, bool raised, TColor documentBackground, bool printing,
                          bool monochromeBlack, int width = 1);

}  // namespace velmoran
