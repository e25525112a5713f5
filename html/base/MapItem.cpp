// Image maps; see MapItem.h.
#include "html/base/MapItem.h"

#include "html/base/WideText.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace velmoran {

namespace {

// The leading integer of a coordinate as atoi reads it ("12px" is 12), held within the length
// bounds: shapes are built from sums and doubles of these.
int ReadCoord(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == '\t' || text[i] == '\n' || text[i] == '\r'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min<long long>(value * 10 + (text[i] - '0'), kMaxLength + 1LL);
    return ClampLength(negative ? -value : value);
}

std::vector<int> ReadCoords(const std::string& text)
{
    std::vector<int> numbers;
    std::size_t i = 0;
    while (i < text.size() && static_cast<int>(numbers.size()) < TMapItem::kMaxCoords) {
        while (i < text.size() && (text[i] == ',' || text[i] == ' '))
            ++i;
        std::size_t start = i;
        while (i < text.size() && text[i] != ',' && text[i] != ' ')
            ++i;
        if (i > start)
            numbers.push_back(ReadCoord(std::string_view(text).substr(start, i - start)));
    }
    return numbers;
}

// Whether the pixel's centre lies within radius + 1/2 of the centre pixel's centre: in whole
// numbers, dx² + dy² < r² + r + 1/4, that is dx² + dy² <= r² + r. A negative radius holds nothing.
bool CircleContains(TPoint centre, int radius, int x, int y)
{
    const long long dx = static_cast<long long>(x) - centre.X;
    const long long dy = static_cast<long long>(y) - centre.Y;
    const long long r = radius;
    return r >= 0 && std::abs(dx) <= r && std::abs(dy) <= r && dx * dx + dy * dy <= r * r + r;
}

// The winding number of the point (x, y) by crossings along its row: an edge counts from its top
// row down to the row before its bottom one, and when it crosses the row at x or left of it.
// All in whole numbers: a crossing exactly at x is never lost to rounding.
bool PolygonContains(const std::vector<TPoint>& vertices, int x, int y)
{
    int winding = 0;
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const TPoint a = vertices[i];
        const TPoint b = vertices[(i + 1) % vertices.size()];
        if (a.Y == b.Y)
            continue;
        const bool down = b.Y > a.Y;
        if (y < std::min(a.Y, b.Y) || y >= std::max(a.Y, b.Y))
            continue;
        // The crossing a.X + (y - a.Y) (b.X - a.X) / (b.Y - a.Y) at or left of x, multiplied out.
        const long long across = (static_cast<long long>(y) - a.Y) * (static_cast<long long>(b.X) - a.X);
        const long long room = (static_cast<long long>(x) - a.X) * (static_cast<long long>(b.Y) - a.Y);
        if (down ? across <= room : across >= room)
            winding += down ? 1 : -1;
    }
    return winding != 0;
}

}  // namespace

bool TMapShape::Contains(int x, int y) const
{
    switch (Shape) {
    case Kind::Rectangle:
        return Points[0].X <= x && x <= Points[1].X && Points[0].Y <= y && y <= Points[1].Y;
    case Kind::Circle:
        return CircleContains(Points[0], Radius, x, y);
    case Kind::Polygon:
        return PolygonContains(Points, x, y);
    }
    return false;
}

TRect TMapShape::Bounds() const
{
    switch (Shape) {
    case Kind::Rectangle:
        return {Points[0].X, Points[0].Y, Points[1].X + 1, Points[1].Y + 1};
    case Kind::Circle:
        return {Points[0].X - Radius, Points[0].Y - Radius, Points[0].X + Radius + 1, Points[0].Y + Radius + 1};
    case Kind::Polygon:
        break;
    }
    TRect box{Points[0].X, Points[0].Y, Points[0].X + 1, Points[0].Y + 1};
    for (const TPoint& p : Points) {
        box.Left = std::min(box.Left, p.X);
        box.Top = std::min(box.Top, p.Y);
        box.Right = std::max(box.Right, p.X + 1);
        box.Bottom = std::max(box.Bottom, p.Y + 1);
    }
    return box;
}

void TMapItem::AddArea(const TAttributeList& attributes)
{
    if (AreaCount() >= kMaxAreas)
        return;
    std::string href, target, title, shape, coords;
    for (const auto& a : attributes) {
        const std::string name = LowerCase(a->WhichName);
        if (name == "href")
            href = a->Address();
        else if (name == "nohref")
            href.clear();
        else if (name == "target")
            target = a->Name;
        else if (name == "title")
            title = a->Name;
        else if (name == "shape")
            shape = LowerCase(a->Name.substr(0, 4));
        else if (name == "coords")
            coords = a->Name;
    }
    const std::vector<int> n = ReadCoords(coords);
    TMapShape area;
    if (shape == "circ") {
        if (n.size() < 3 || 2 * n[2] + 1 > kMaxShapeExtent)
            return;
        area = {TMapShape::Kind::Circle, {{n[0], n[1]}}, n[2]};
    } else if (shape == "poly") {
        if (n.size() < 6)
            return;
        area.Shape = TMapShape::Kind::Polygon;
        for (std::size_t i = 0; i + 1 < n.size(); i += 2)
            area.Points.push_back({n[i], n[i + 1]});
        const TRect box = area.Bounds();
        if (box.Width() > kMaxShapeExtent || box.Height() > kMaxShapeExtent)
            return;
    } else {
        if (n.size() < 4)
            return;
        area = {TMapShape::Kind::Rectangle, {{n[0], n[1]}, {n[2], n[3]}}, 0};
    }
    Areas.push_back({href, std::move(area)});
    AreaTargets.push_back(target);
    AreaTitles.push_back(title);
}

bool TMapItem::FindArea(int x, int y, std::string& title, std::unique_ptr<TUrlTarget>& urlTarget) const
{
    for (std::size_t i = 0; i < Areas.size(); ++i) {
        if (!Areas[i].Shape.Contains(x, y))
            continue;
        if (Areas[i].Href.empty())
            return false;
        urlTarget = std::make_unique<TUrlTarget>();
        urlTarget->URL = Areas[i].Href;
        urlTarget->Target = AreaTargets[i];
        title = AreaTitles[i];
        return true;
    }
    return false;
}

}  // namespace velmoran
