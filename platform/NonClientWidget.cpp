// Emulated non-client areas; see NonClientWidget.h.
#include "platform/NonClientWidget.h"

#include "platform/QtCanvas.h"

#include <QPainter>

namespace velmoran {

void NonClientWidget::SetChildBounds(QWidget& child, const QRect& clientBounds) const
{
    child.setGeometry(clientBounds.translated(margins_.left(), margins_.top()));
}

int NonClientWidget::HitTest(QPoint point) const
{
    if (!rect().contains(point))
        return HTNOWHERE;
    if (ClientRect().contains(point))
        return HTCLIENT;
    return NonClientHitTest(point);
}

void NonClientWidget::SetNonClientMargins(const QMargins& margins)
{
    if (margins == margins_)
        return;
    const QPoint shift(margins.left() - margins_.left(), margins.top() - margins_.top());
    margins_ = margins;
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!child->isWindow())
            child->move(child->pos() + shift);
    update();
}

void NonClientWidget::PaintWindow(Canvas& canvas)
{
    PaintNonClient(canvas);
    canvas.SaveDC();
    const QRect client = ClientRect();
    canvas.IntersectClipRect({client.left(), client.top(), client.right() + 1, client.bottom() + 1});
    canvas.SetViewportOrg(client.left(), client.top());
    PaintClient(canvas);
    canvas.RestoreDC();
}

void NonClientWidget::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    QtCanvas canvas(&painter);
    PaintWindow(canvas);
}

}  // namespace velmoran
