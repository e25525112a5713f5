// The halftone drag outline; see TBarDragOutline.h.
#include "toolbar/TBarDragOutline.h"

#include "platform/QtCanvas.h"

#include <QPainter>

namespace velmoran {

Brush CreateHalftoneBrush()
{
    return PatternBrush(0x55AA55AA55AA55AAull, 0x000000, 0xFFFFFF);
}

Region CreateFrameRegion(const QRect& rect, QSize size)
{
    if (rect.isEmpty())
        return Region();
    const QRect inner = rect.adjusted(size.width(), size.height(), -size.width(), -size.height());
    return Region(QRegion(rect) ^ QRegion(inner.isValid() ? inner : QRect()));
}

TBarDragOutline::TBarDragOutline()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowTransparentForInput
                           | Qt::X11BypassWindowManagerHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setObjectName("dragOutline");
}

void TBarDragOutline::Draw(const QRect& rect, QSize frame)
{
    rect_ = rect;
    frame_ = frame;
    if (rect.isEmpty()) {
        hide();
        return;
    }
    setGeometry(rect);
    Region mask = CreateFrameRegion(QRect(QPoint(0, 0), rect.size()), frame);
    setMask(mask.ToQRegion());
    if (!isVisible())
        show();
    raise();
    update();
}

void TBarDragOutline::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QtCanvas canvas(&painter);
    canvas.SelectBrush(CreateHalftoneBrush());
    canvas.FillRect({0, 0, width(), height()});
}

}  // namespace velmoran
