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

    // Adds one AREA from its attributes (HREF, NOHREF, TARGET, TITLE, SHAPE, COORDS); areas with
    // too few numbers, and areas past the 1000th, are skipped.
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
