// The index of the sections a paint must visit (see PaintIndex.h).
#include "html/layout/PaintIndex.h"

#include "html/layout/RangeIndex.h"
#include "html/layout/SectionList.h"

#include <numeric>
#include <vector>

namespace velmoran {

struct TPaintIndex::Bands {
    int Layout = -1;  // the document's layout count the bands come from
    std::size_t Count = 0;
    TRangeIndex Index;
    TYBand Whole;
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
    r.Index.Assign(bands);
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
    return r.Index.Meeting(band.Top, band.Bottom);
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
