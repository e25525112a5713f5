// The index of the sections a paint must visit (see PaintIndex.h).
#include "html/layout/PaintIndex.h"

#include "html/layout/SectionList.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <numeric>
#include <vector>

namespace velmoran {

struct TPaintIndex::Bands {
    int Layout = -1;                  // the document's layout count the bands come from
    std::size_t Count = 0;
    std::vector<std::size_t> ByTop;   // the sections in the order of their tops
    std::vector<int> Tops;            // their tops in that order
    // A tree over ByTop: node 1 the whole, node v the halves 2v and 2v + 1, the leaves from
    // Leaves on; each holds the furthest bottom of its sections.
    std::vector<int> Bottoms;
    std::size_t Leaves = 1;
    TYBand Whole;

    // Adds to `found` the sections of node v (the places [low, high) of ByTop) that come before
    // place `end` and reach down to `top`. A node passed through holds such a section, unless it
    // straddles `end`, which at most one node of each depth does.
    void Collect(std::size_t v, std::size_t low, std::size_t high, std::size_t end, int top,
                 std::vector<std::size_t>& found) const
    {
        if (low >= end || Bottoms[v] < top)
            return;
        if (v >= Leaves) {
            found.push_back(ByTop[v - Leaves]);
            return;
        }
        const std::size_t middle = low + (high - low) / 2;
        Collect(2 * v, low, middle, end, top, found);
        Collect(2 * v + 1, middle, high, end, top, found);
    }
};

TPaintIndex::TPaintIndex() = default;
TPaintIndex::~TPaintIndex() = default;

void TPaintIndex::Reset()
{
    if (bands_)
        bands_->Layout = -1;
}

const TPaintIndex::Bands& TPaintIndex::Current(std::size_t count, const SectionAt& at, const TSectionList& document)
{
    if (!bands_)
        bands_ = std::make_unique<Bands>();
    Bands& r = *bands_;
    if (r.Layout == document.LayoutCount && r.Count == count)
        return r;
    std::vector<TYBand> bands(count);
    r.Whole = TYBand{};
    for (std::size_t i = 0; i < count; ++i) {
        bands[i] = at(i)->PaintBand();
        r.Whole.Add(bands[i]);
    }
    r.ByTop.resize(count);
    std::iota(r.ByTop.begin(), r.ByTop.end(), std::size_t{0});
    std::stable_sort(r.ByTop.begin(), r.ByTop.end(),
                     [&](std::size_t a, std::size_t b) { return bands[a].Top < bands[b].Top; });
    r.Tops.resize(count);
    r.Leaves = std::bit_ceil(count);
    r.Bottoms.assign(2 * r.Leaves, std::numeric_limits<int>::min());
    for (std::size_t j = 0; j < count; ++j) {
        r.Tops[j] = bands[r.ByTop[j]].Top;
        r.Bottoms[r.Leaves + j] = bands[r.ByTop[j]].Bottom;
    }
    for (std::size_t v = r.Leaves; v-- > 1;)
        r.Bottoms[v] = std::max(r.Bottoms[2 * v], r.Bottoms[2 * v + 1]);
    r.Count = count;
    r.Layout = document.LayoutCount;
    return r;
}

std::vector<std::size_t> TPaintIndex::ToPaint(std::size_t count, const SectionAt& at, const TSectionList* document,
                                              const TRect& clip)
{
    std::vector<std::size_t> found;
    if (count < kMinSections || !document) {
        bands_.reset();
        found.resize(count);
        std::iota(found.begin(), found.end(), std::size_t{0});
        return found;
    }
    const Bands& r = Current(count, at, *document);
    TYBand band;
    band.Add(std::int64_t{clip.Top} + document->YOff - kSlack);
    band.Add(std::int64_t{clip.Bottom} + document->YOff + kSlack);
    // The sections that start above the band's bottom, of those the ones that reach its top.
    const auto end = static_cast<std::size_t>(std::upper_bound(r.Tops.begin(), r.Tops.end(), band.Bottom) -
                                              r.Tops.begin());
    r.Collect(1, 0, r.Leaves, end, band.Top, found);
    std::sort(found.begin(), found.end());
    return found;
}

TYBand TPaintIndex::Reach(std::size_t count, const SectionAt& at, const TSectionList* document)
{
    if (count >= kMinSections && document)
        return Current(count, at, *document).Whole;
    TYBand band;
    for (std::size_t i = 0; i < count; ++i)
        band.Add(at(i)->PaintBand());
    return band;
}

}  // namespace velmoran
