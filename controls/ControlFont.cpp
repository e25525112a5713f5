// Control fonts; see ControlFont.h.
#include "controls/ControlFont.h"

#include "html/base/WideText.h"

namespace velmoran {

int PointsToPixels(int points)
{
    return MulDiv(points, kPixelsPerInch, 72);
}

LogicalFont TFont::Logical() const
{
    LogicalFont font;
    font.Face = Name;
    font.Height = -PointsToPixels(Size);
    font.Weight = Bold ? 700 : 400;
    font.Italic = Italic;
    font.Underline = Underline;
    font.StrikeOut = StrikeOut;
    return font;
}

}  // namespace velmoran
