// Formatted text in a rectangle, as the controls draw captions, cells and items: DrawText with its
// Windows flags, built on the canvas's own TextOut and measured with CharAdvances alone, so that
// every canvas (Qt, recording, measuring) lays text out alike.
#pragma once

#include "platform/Canvas.h"

#include <string_view>

namespace velmoran {

// DrawText flags. Horizontal: left (0), centre or right; vertical (single line only): top (0),
// centre or bottom.
constexpr unsigned DT_TOP = 0x0;
constexpr unsigned DT_LEFT = 0x0;
constexpr unsigned DT_CENTER = 0x1;
constexpr unsigned DT_RIGHT = 0x2;
constexpr unsigned DT_VCENTER = 0x4;
constexpr unsigned DT_BOTTOM = 0x8;
// Breaks lines between words where a line would pass the right edge; a word longer than the
// line stays whole.
constexpr unsigned DT_WORDBREAK = 0x10;
// One line: carriage returns and line feeds are characters like any other.
constexpr unsigned DT_SINGLELINE = 0x20;
// A tab advances to the next multiple of eight average character widths.
constexpr unsigned DT_EXPANDTABS = 0x40;
// Lines are the font's height plus its external leading.
constexpr unsigned DT_EXTERNALLEADING = 0x200;
// Draws nothing; the rectangle's right and bottom become those of the text.
constexpr unsigned DT_CALCRECT = 0x400;
// "&" is an ordinary character. Without it, "&x" draws x underlined and "&&" one "&".
constexpr unsigned DT_NOPREFIX = 0x800;
// A line wider than the rectangle is cut so that it ends with "..." inside the rectangle.
constexpr unsigned DT_END_ELLIPSIS = 0x8000;

// Draws the text into the rectangle in the canvas's font, colours and background mode (the text
// align is set for the call and put back); nothing is clipped. Returns the height of the text.
int DrawText(Canvas& canvas, std::u16string_view text, TRect& rect, unsigned flags);

}  // namespace velmoran
