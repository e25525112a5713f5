// Non-client areas for child widgets, which Qt does not have: the widget's rectangle stands for
// the window rectangle, the client area is inset by the non-client sizes on each side, and
// children are placed at client coordinates plus that inset through one function. Painting draws
// the non-client part first, then the client part with the origin moved to the client area;
// hit testing outside the client area is answered by the widget's own codes.
#pragma once

#include "platform/GdiTypes.h"

#include <QMargins>
#include <algorithm>
#include <QWidget>

namespace velmoran {

class Canvas;

// The standard hit-test codes: the client area and nowhere.
constexpr int HTNOWHERE = 0;
constexpr int HTCLIENT = 1;

class NonClientWidget : public QWidget {
public:
    explicit NonClientWidget(QWidget* parent = nullptr) : QWidget(parent) {}

    // The non-client sizes on each side.
    QMargins NonClientMargins() const { return margins_; }
    // The client area in window coordinates, and its size.
    QRect ClientRect() const { return rect().marginsRemoved(margins_); }
    int ClientWidth() const { return std::max(0, width() - margins_.left() - margins_.right()); }
    int ClientHeight() const { return std::max(0, height() - margins_.top() - margins_.bottom()); }
    QPoint ClientToWindow(QPoint point) const { return point + QPoint(margins_.left(), margins_.top()); }
    QPoint WindowToClient(QPoint point) const { return point - QPoint(margins_.left(), margins_.top()); }
    // Places a child at client coordinates.
    void SetChildBounds(QWidget& child, const QRect& clientBounds) const;

    // The hit-test code of a point in window coordinates: HTCLIENT inside the client area,
    // otherwise what NonClientHitTest answers.
    int HitTest(QPoint point) const;

protected:
    // Changes the non-client sizes; the children keep their client positions.
    void SetNonClientMargins(const QMargins& margins);
    // The code of a point outside the client area (HTNOWHERE here).
    virtual int NonClientHitTest(QPoint /*point*/) const { return HTNOWHERE; }
    // Draws the non-client area into the canvas in window coordinates.
    virtual void PaintNonClient(Canvas& /*canvas*/) {}
    // Draws the client area in client coordinates (nothing here).
    virtual void PaintClient(Canvas& /*canvas*/) {}
    // Both parts, as paintEvent draws them (tests draw into a recording canvas).
    void PaintWindow(Canvas& canvas);

    void paintEvent(QPaintEvent* event) override;

private:
    QMargins margins_;
};

}  // namespace velmoran
