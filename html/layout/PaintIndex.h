// Which sections of a list a paint must visit. Painting one screen or one printed page of a long
// document would otherwise walk every section of the body for every page, which makes a print
// cost the square of the document's length. Each section tells the band of document Y that its
// paint may reach (TSectionBase::PaintBand). The bands are not in order (floats, negative margins
// and positioned blocks reach beyond their place, one of them perhaps to the end of the document),
// so over a long list the index sorts them by their tops and keeps a tree of the furthest bottoms
// over that order: a clip finds the sections that start above its bottom by a binary search, and
// of those only the ones reaching into it by the tree, at a cost of the sections found, not of
// those passed over (a block reaching down to the end is one of the few found on every page).
#pragma once

#include "html/layout/YBand.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

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
    // The places of the sections of a list of count sections that a paint of the clip (clip
    // coordinates, the document's Y offset in force) must visit, in list order: those whose band
    // reaches into the clip widened by kSlack.
    std::vector<std::size_t> ToPaint(std::size_t count, const SectionAt& at, const TSectionList* document,
                                     const TRect& clip);
    // The band all sections of the list may reach.
    TYBand Reach(std::size_t count, const SectionAt& at, const TSectionList* document);

private:
    struct Bands;
    // The bands of a long list in order, found again when they come from another layout or another list.
    const Bands& Current(std::size_t count, const SectionAt& at, const TSectionList& document);
    std::unique_ptr<Bands> bands_;  // only for a long list of a document
};

}  // namespace velmoran
