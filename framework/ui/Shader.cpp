// The gradient panel; see Shader.h.
#include "framework/ui/Shader.h"

#include "platform/QtCanvas.h"
#include "platform/SystemColors.h"

#include <QPainter>

#include <cmath>

namespace velmoran {

namespace {

// Round to the nearest integer, halves to even (the rounding of the gradient's steps).
int RoundEven(double value) { return static_cast<int>(std::nearbyint(value)); }

int Red(ColorRef c) { return static_cast<int>(c & 0xFF); }
int Green(ColorRef c) { return static_cast<int>((c >> 8) & 0xFF); }
int Blue(ColorRef c) { return static_cast<int>((c >> 16) & 0xFF); }

}  // namespace

TShader::TShader(QWidget* parent) : QWidget(parent), fromColor_(RGBRef(0, 0, 255)), toColor_(RGBRef(0, 0, 0)) {}

void TShader::SetFromColor(ColorRef color)
{
    fromColor_ = color;
    update();
}

void TShader::SetToColor(ColorRef color)
{
    toColor_ = color;
    update();
}

void TShader::SetSteps(std::uint16_t steps)
{
    steps_ = steps;
    update();
}

void TShader::SetDirection(bool direction)
{
    direction_ = direction;
    update();
}

void TShader::PaintTo(Canvas& canvas)
{
    if (steps_ == 0)
        steps_ = 1;
    const int n = steps_;
    const ColorRef from = ColorToRGB(fromColor_);
    const ColorRef to = ColorToRGB(toColor_);
    const double dr = double(Red(to) - Red(from)) / n;
    const double dg = double(Green(to) - Green(from)) / n;
    const double db = double(Blue(to) - Blue(from)) / n;
    const double band = double(direction_ ? width() : height()) / n;
    for (int i = 0; i < n; ++i) {
        const ColorRef color =
            RGBRef(Red(from) + RoundEven(i * dr), Green(from) + RoundEven(i * dg), Blue(from) + RoundEven(i * db));
        const int p = RoundEven(i * band);
        const int end = p + RoundEven(band) + 1;
        canvas.SelectPen(Pen{PenStyle::Solid, 1, color});
        canvas.SelectBrush(Brush{BrushStyle::Solid, color});
        if (direction_)
            canvas.Rectangle(p, 0, end, height());
        else
            canvas.Rectangle(0, p, width(), end);
    }
}

void TShader::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QtCanvas canvas(&painter);
    PaintTo(canvas);
}

}  // namespace velmoran
