// A control's font as the forms set it: a face, a size in points, a style and a colour (the
// framework's TFont). Captions start from it; the canvas gets its logical font and colour.
#pragma once

#include "platform/Canvas.h"
#include "platform/SystemColors.h"

#include <string>

class QWidget;

namespace velmoran {

struct TFont {
    std::string Name = "MS Sans Serif";
    int Size = 8;  // points
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    ColorRef Color = SystemColor(COLOR_WINDOWTEXT);
    // The character height in pixels where a form gives the font by its height rather than its
    // size (the start dialog's list: 9 pixels, which no whole point size makes); 0 takes Size.
    int Height = 0;

    bool operator==(const TFont&) const = default;

    // The font in pixels on the 96 ppi device (8 points are 11 pixels; Height as it stands).
    LogicalFont Logical() const;
};

// The pixel height of a point size (rounded half away from zero).
int PointsToPixels(int points);

// The font a widget shows (its own or the one it took from its parent), as a control's font:
// the size in whole points of the 96 ppi device, the colour of its window text.
TFont WidgetFont(const QWidget& widget);

}  // namespace velmoran
