// The drag outline of the drag and size modes. There is no desktop to draw on, so the outline is
// a frameless overlay window that lets the mouse through, masked to the frame region and filled
// with the halftone checkerboard; where the outline was inverted, erased and drawn again, the
// overlay is moved and reshaped.
#pragma once

#include "platform/Canvas.h"
#include "platform/Region.h"

#include <QRect>
#include <QSize>
#include <QWidget>

namespace velmoran {

// The checkerboard brush of the outline: rows alternating 0x55 and 0xAA.
Brush CreateHalftoneBrush();
// The rectangle less the rectangle shrunk by the frame size; empty for an empty rectangle.
Region CreateFrameRegion(const QRect& rect, QSize size);

class TBarDragOutline : public QWidget {
public:
    TBarDragOutline();

    // Shows the outline at the rectangle (screen coordinates) with a frame of the given
    // thickness; an empty rectangle hides it.
    void Draw(const QRect& rect, QSize frame);
    QRect OutlineRect() const { return rect_; }
    QSize FrameSize() const { return frame_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect rect_;
    QSize frame_;
};

}  // namespace velmoran
