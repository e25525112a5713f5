// Which sections of a list a paint must visit. Painting one screen or one printed page of a long
// document would otherwise walk every section of the body for every page, which makes a print
// cost the square of the document's length. Each section tells the band of document Y that its
// paint may reach (TSectionBase::PaintBand); over a long list the index keeps the furthest bottom
// reached from the front and the highest top still to come from the back, so that two binary searches
// find the run of sections that may reach into a clip. The bands are not in order (floats,
// negative margins and positioned blocks reach beyond their place), which the running extremes
// allow for: a section that starts above the clip but reaches into it is inside the run.
#pragma once

#include "html/layout/YBand.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <utility>

namespace velmoran {

class TSectionBase;
class TSectionList;
struct TRect;

class TPaintIndex {
public:
    // The section at a place of the list.
    using SectionAt = std::function<TSectionBase*(std::size_t)>;
    // Lists shorter than this are walked whole: an index would cost more than it saves.
    static constexpr std::size_t kMinSections = 16;
    // How far outside the clip a section's own paint still looks (text lines 40 pixels, list
    // labels 50): the run found takes in that much more, so that what is left out would have
    // drawn nothing and moved no page cut.
    static constexpr int kSlack = 64;

    TPaintIndex();
    ~TPaintIndex();
    TPaintIndex(const TPaintIndex&) = delete;
    TPaintIndex& operator=(const TPaintIndex&) = delete;

    // The sections were laid out anew: their bands are found again when next asked.
    void Reset();
    // The run [first, last) of a list of count sections that a paint of the clip (clip
    // coordinates, the document's Y offset in force) must visit, in list order.
    std::pair<std::size_t, std::size_t> ToPaint(std::size_t count, const SectionAt& at, const TSectionList* document,
                                                const TRect& clip);
    // The band all sections of the list may reach.
    TYBand Reach(std::size_t count, const SectionAt& at, const TSectionList* document);

private:
    struct Runs;
    // The runs of a long list, found again when they come from another layout or another list.
    const Runs& Current(std::size_t count, const SectionAt& at, const TSectionList& document);
    std::unique_ptr<Runs> runs_;  // only for a long list of a document
};

}  // namespace velmoran
