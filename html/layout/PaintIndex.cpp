// The index of the sections a paint must visit (see PaintIndex.h).
#include "html/layout/PaintIndex.h"

#include "html/layout/SectionList.h"

#include <algorithm>
#include <vector>

namespace velmoran {

struct TPaintIndex::Runs {
    int Layout = -1;            // the document's layout count the bands come from
    std::vector<int> Bottoms;   // the furthest bottom of sections 0..i
    std::vector<int> Tops;      // the highest top of sections i..end
    TYBand Whole;
};

TPaintIndex::TPaintIndex() = default;
TPaintIndex::~TPaintIndex() = default;

void TPaintIndex::Reset()
{
    if (runs_)
        runs_->Layout = -1;
}

const TPaintIndex::Runs& TPaintIndex::Current(std::size_t count, const SectionAt& at, const TSectionList& document)
{
    if (!runs_)
        runs_ = std::make_unique<Runs>();
    Runs& r = *runs_;
    if (r.Layout == document.LayoutCount && r.Bottoms.size() == count)
        return r;
    std::vector<TYBand> bands(count);
    for (std::size_t i = 0; i < count; ++i)
        bands[i] = at(i)->PaintBand();
    r.Bottoms.resize(count);
    r.Tops.resize(count);
    r.Whole = TYBand{};
    for (std::size_t i = 0; i < count; ++i) {
        r.Whole.Add(bands[i]);
        r.Bottoms[i] = r.Whole.Bottom;
    }
    int top = TYBand{}.Top;
    for (std::size_t i = count; i-- > 0;) {
        top = std::min(top, bands[i].Top);
        r.Tops[i] = top;
    }
    r.Layout = document.LayoutCount;
    return r;
}

std::pair<std::size_t, std::size_t> TPaintIndex::ToPaint(std::size_t count, const SectionAt& at,
                                                         const TSectionList* document, const TRect& clip)
{
    if (count < kMinSections || !document) {
        runs_.reset();
        return {0, count};
    }
    const Runs& r = Current(count, at, *document);
    TYBand band;
    band.Add(std::int64_t{clip.Top} + document->YOff - kSlack);
    band.Add(std::int64_t{clip.Bottom} + document->YOff + kSlack);
    const auto first = std::lower_bound(r.Bottoms.begin(), r.Bottoms.end(), band.Top) - r.Bottoms.begin();
    const auto last = std::upper_bound(r.Tops.begin(), r.Tops.end(), band.Bottom) - r.Tops.begin();
    return {static_cast<std::size_t>(first), static_cast<std::size_t>(std::max(first, last))};
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
