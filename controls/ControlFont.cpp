// Control fonts; see ControlFont.h.
#include "controls/ControlFont.h"

#include "html/base/WideText.h"
#include "platform/QtCanvas.h"

#include <QWidget>

#include <cmath>

namespace velmoran {

int PointsToPixels(int points)
{
    return MulDiv(points, kPixelsPerInch, 72);
}

LogicalFont TFont::Logical() const
{
    LogicalFont font;
    font.Face = Name;
    font.Height = Height > 0 ? -Height : -PointsToPixels(Size);
    font.Weight = Bold ? 700 : 400;
    font.Italic = Italic;
    font.Underline = Underline;
    font.StrikeOut = StrikeOut;
    return font;
}

TFont WidgetFont(const QWidget& widget)
{
    const QFont font = widget.font();
    const int pixels = font.pixelSize() > 0 ? font.pixelSize() : static_cast<int>(std::lround(font.pointSizeF() * kPixelsPerInch / 72));
    TFont result;
    result.Name = font.family().toStdString();
    result.Size = MulDiv(pixels, 72, kPixelsPerInch);
    result.Bold = font.weight() >= QFont::DemiBold;
    result.Italic = font.italic();
    result.Underline = font.underline();
    result.StrikeOut = font.strikeOut();
    result.Color = FromQColor(widget.palette().color(QPalette::WindowText));
    return result;
}

}  // namespace velmoran
