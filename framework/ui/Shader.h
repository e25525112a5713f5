// TShader: a panel painted as a colour gradient in Steps bands from FromColor to ToColor, top to
// bottom (or left to right with Direction), each band overlapping the next by one pixel. It
// replaces the panel's own painting completely: no bevel, no caption.
#pragma once

#include "platform/Canvas.h"

#include <QWidget>

#include <cstdint>

namespace velmoran {

class TShader : public QWidget {
public:
    explicit TShader(QWidget* parent = nullptr);

    ColorRef FromColor() const { return fromColor_; }
    void SetFromColor(ColorRef color);
    ColorRef ToColor() const { return toColor_; }
    void SetToColor(ColorRef color);
    std::uint16_t Steps() const { return steps_; }
    void SetSteps(std::uint16_t steps);
    // True: vertical stripes from left to right; false: horizontal bands from top to bottom.
    bool Direction() const { return direction_; }
    void SetDirection(bool direction);

    // Paints the bands onto the canvas; Steps 0 is stored as 1 first.
    void PaintTo(Canvas& canvas);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ColorRef fromColor_;
    ColorRef toColor_;
    std::uint16_t steps_ = 20;
    bool direction_ = false;
};

}  // namespace velmoran
