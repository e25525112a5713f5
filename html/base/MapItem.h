// A client-side image map: the areas of a MAP element and the hit test over them.
#pragma once

#include "html/base/Attributes.h"

#include <QRegion>

#include <memory>
#include <string>
#include <vector>

namespace velmoran {

class TMapItem {
public:
    static constexpr int kMaxAreas = 1000;
    static constexpr int kMaxCoords = 301;
    // Coordinates are read within ±1,000,000 pixels. Qt makes no region of a circle or polygon
    // much wider or higher than this (it gives an empty one): such areas are skipped as well.
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
        QRegion Region;
    };
    std::vector<Area> Areas;
    std::vector<std::string> AreaTargets;
    std::vector<std::string> AreaTitles;
};

}  // namespace velmoran
