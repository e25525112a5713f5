// The floating pictures of a text by where they are drawn (see FloatBands.h).
#include "html/layout/FloatBands.h"

#include <algorithm>
#include <cstdint>

namespace velmoran {

namespace {

// The rows of document Y a placed float is drawn in.
TYBand BandOf(const TFloatingObj& o)
{
    TYBand band;
    band.Add(o.DrawYY);
    band.Add(std::int64_t{o.DrawYY} + std::max(0, o.ObjHeight - 1));
    return band;
}

bool Meets(const TYBand& band, int top, int bottom) { return band.Top <= bottom && band.Bottom >= top; }

}  // namespace

void TFloatBands::Place(const TImageObjList& images)
{
    std::vector<int> places;
    for (int i = 0; i < images.Count(); ++i)
        if (images[i]->IsFloat())
            places.push_back(i);
    if (places.empty()) {
        placed_.reset();
        return;
    }
    if (!placed_)
        placed_ = std::make_unique<Placed>();
    placed_->Places = std::move(places);
    std::vector<TYBand> bands;
    if (placed_->Places.size() >= kMinIndexed)
        for (const int i : placed_->Places)
            bands.push_back(BandOf(*images[i]));
    placed_->Bands.Assign(bands);
}

std::vector<int> TFloatBands::Meeting(const TImageObjList& images, int top, int bottom) const
{
    std::vector<int> found;
    if (!placed_)
        return found;
    if (placed_->Places.size() < kMinIndexed) {
        for (const int i : placed_->Places)
            if (Meets(BandOf(*images[i]), top, bottom))
                found.push_back(i);
        return found;
    }
    for (const std::size_t k : placed_->Bands.Meeting(top, bottom))
        found.push_back(placed_->Places[k]);
    return found;
}

}  // namespace velmoran
