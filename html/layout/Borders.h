// Drawing helpers for boxes: CSS borders with their nine styles, 3-D frames of tables, cells and
// images, and the darker shade used by inset, outset, groove and ridge sides.
#pragma once

#include "html/style/Colors.h"
#include "platform/GdiTypes.h"

#include <array>

namespace velmoran {

class Canvas;
class TSectionList;

// Each channel times 0.75, rounded (system colours resolved first).
ColorRef Darker(TColor color);

// CSS border between an outer and an inner rectangle; colours and styles per side in the order
// left, top, right, bottom (styles: 0 none, 1 solid, 2 inset, 3 outset, 4 groove, 5 ridge,
// 6 dashed, 7 dotted, 8 double). A background colour (not NoColor) first fills the ring under
// dashed, dotted and double sides.
void DrawBorder(Canvas& canvas, TRect outer, TRect inner, const std::array<TColor, 4>& colors,
                const std::array<int, 4>& styles, TColor background, bool printing);

// A frame of the given width: width 1 draws top/left in one colour and bottom/right in the other
// (light on top/left when raised); wider frames are four solid sides.
void DrawBorder3D(Canvas& canvas, const TRect& rect, int width, TColor light, TColor dark, bool raised);

// The box of a form control: filled with the colour (button face with useBtnFace, unless the
// output is monochrome), then a 3-D frame 2 pixels wide in button shadow and silver; printing on a
// device of 1 bit and 1 plane gives a black 1-pixel frame instead.
void DrawFormControlFrame(Canvas& canvas, const TRect& rect, TColor color, bool useBtnFace, bool raised, bool printing);

// The raised or sunken frame of a table, cell or image in the document's 3-D colours.
void DrawDocumentBorder3D(Canvas& canvas, const TRect& rect, bool raised, const TSectionList& document, int width);

}  // namespace velmoran
