// Clipping and hit-test regions: sets of pixels built from rectangles, ellipses and polygons and
// combined as Windows regions are, over QRegion.
#pragma once

#include "platform/GdiTypes.h"

#include <QRegion>

#include <vector>

namespace velmoran {

enum class RegionOp { And, Or, Xor, Diff, Copy };

class Region {
public:
    Region() = default;
    explicit Region(const TRect& rect);
    explicit Region(QRegion region) : region_(std::move(region)) {}
    // The ellipse inside the rectangle (right and bottom exclusive).
    static Region Ellipse(const TRect& bounds);
    static Region Polygon(const std::vector<TPoint>& points, PolyFillMode mode);

    bool IsEmpty() const { return region_.isEmpty(); }
    // The bounding box; all zero for an empty region.
    TRect Box() const;
    bool Contains(int x, int y) const { return region_.contains(QPoint(x, y)); }
    bool Intersects(const TRect& rect) const;
    std::vector<TRect> Rects() const;
    void Offset(int dx, int dy) { region_.translate(dx, dy); }
    // This region combined with another; Copy takes the other.
    void Combine(const Region& other, RegionOp op);

    Region operator&(const Region& o) const { return Region(region_ & o.region_); }
    Region operator|(const Region& o) const { return Region(region_ | o.region_); }
    Region operator-(const Region& o) const { return Region(region_ - o.region_); }
    Region operator^(const Region& o) const { return Region(region_ ^ o.region_); }
    bool operator==(const Region& o) const { return region_ == o.region_; }

    const QRegion& ToQRegion() const { return region_; }

private:
    QRegion region_;
};

}  // namespace velmoran
