// A client-side image map: the areas of a MAP element and the hit test over them.
#pragma once

#include "html/base/Attributes.h"
#include "platform/GdiTypes.h"

#include <memory>
#include <string>
#include <vector>

namespace velmoran {

// The shape of one area as its coordinates give it. Nothing is built from it up front: a hit
// test asks the shape itself, in time linear in its points, so an area costs what its
// coordinates cost however large it is.
struct TMapShape {
    enum class Kind { Rectangle, Circle, Polygon };
    Kind Shape = Kind::Rectangle;
    // Rectangle: the top-left and the bottom-right corner, both inclusive. Circle: the centre.
    // Polygon: the vertices.
    std::vector<TPoint> Points;
    int Radius = 0;

    // Rectangle: within the corners. Circle: the pixels whose centres lie within radius + 1/2 of
    // the centre pixel's centre (the ellipse in x - r, y - r, x + r + 1, y + r + 1). Polygon: by
    // the winding rule, a pixel counting as its top-left corner, with an edge's top row and left
    // column inside and its bottom row and right column outside.
    bool Contains(int x, int y) const;
    // The smallest rectangle holding every pixel the shape can contain.
    TRect Bounds() const;
};

class TMapItem {
public:
    static constexpr int kMaxAreas = 1000;
    static constexpr int kMaxCoords = 301;
    // Coordinates are read within ±1,000,000 pixels; circles and polygons wider or higher than
    // this are left out, as they always were.
    static constexpr int kMaxShapeExtent = 32767;

    // Adds one AREA from its attributes (HREF, NOHREF, TARGET, TITLE, SHAPE, COORDS); areas with
    // too few numbers, circles and polygons wider or higher than kMaxShapeExtent, and areas past
    // the 1000th, are skipped.
    void AddArea(const TAttributeList& attributes);
    // The first area containing the point: true with a new link record when its HREF is not empty.
    bool FindArea(int x, int y, std::string& title, std::unique_ptr<TUrlTarget>& urlTarget) const;
    int AreaCount() const { return static_cast<int>(Areas.size()); }

    std::string MapName;  // upper-cased by its creator
    struct Area {
        std::string Href;
        TMapShape Shape;
    };
    std::vector<Area> Areas;
    std::vector<std::string> AreaTargets;
    std::vector<std::string> AreaTitles;
};

}  // namespace velmoran
