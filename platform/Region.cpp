// Regions over QRegion; see Region.h.
#include "platform/Region.h"

#include <QPolygon>

namespace velmoran {

Region::Region(const TRect& rect)
{
    if (!rect.IsEmpty())
        region_ = QRegion(rect.Left, rect.Top, rect.Width(), rect.Height());
}

Region Region::Ellipse(const TRect& bounds)
{
    if (bounds.IsEmpty())
        return {};
    return Region(QRegion(bounds.Left, bounds.Top, bounds.Width(), bounds.Height(), QRegion::Ellipse));
}

Region Region::Polygon(const std::vector<TPoint>& points, PolyFillMode mode)
{
    QPolygon polygon;
    polygon.reserve(static_cast<int>(points.size()));
    for (const TPoint& p : points)
        polygon << QPoint(p.X, p.Y);
    return Region(QRegion(polygon, mode == PolyFillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill));
}

TRect Region::Box() const
{
    if (region_.isEmpty())
        return {};
    const QRect r = region_.boundingRect();
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

bool Region::Intersects(const TRect& rect) const
{
    return !rect.IsEmpty() && region_.intersects(QRect(rect.Left, rect.Top, rect.Width(), rect.Height()));
}

std::vector<TRect> Region::Rects() const
{
    std::vector<TRect> rects;
    for (const QRect& r : region_)
        rects.push_back({r.left(), r.top(), r.left() + r.width(), r.top() + r.height()});
    return rects;
}

void Region::Combine(const Region& other, RegionOp op)
{
    switch (op) {
    case RegionOp::And: region_ &= other.region_; break;
    case RegionOp::Or: region_ |= other.region_; break;
    case RegionOp::Xor: region_ ^= other.region_; break;
    case RegionOp::Diff: region_ -= other.region_; break;
    case RegionOp::Copy: region_ = other.region_; break;
    }
}

}  // namespace velmoran
