// The index of ranges that meet a range (see RangeIndex.h).
#include "html/layout/RangeIndex.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <numeric>

namespace velmoran {

void TRangeIndex::Assign(const std::vector<TYBand>& ranges)
{
    const std::size_t count = ranges.size();
    if (count == 0) {
        // Nothing kept: an index of nothing is asked without its tree.
        *this = TRangeIndex{};
        return;
    }
    byTop_.resize(count);
    std::iota(byTop_.begin(), byTop_.end(), std::size_t{0});
    std::stable_sort(byTop_.begin(), byTop_.end(),
                     [&](std::size_t a, std::size_t b) { return ranges[a].Top < ranges[b].Top; });
    tops_.resize(count);
    leaves_ = std::bit_ceil(std::max<std::size_t>(count, 1));
    bottoms_.assign(2 * leaves_, std::numeric_limits<int>::min());
    for (std::size_t j = 0; j < count; ++j) {
        tops_[j] = ranges[byTop_[j]].Top;
        bottoms_[leaves_ + j] = ranges[byTop_[j]].Bottom;
    }
    for (std::size_t v = leaves_; v-- > 1;)
        bottoms_[v] = std::max(bottoms_[2 * v], bottoms_[2 * v + 1]);
}

void TRangeIndex::Collect(std::size_t v, std::size_t low, std::size_t high, std::size_t end, int top,
                          std::vector<std::size_t>& found) const
{
    // A node passed through holds a range that is found, unless it straddles `end`, which at
    // most one node of each depth does.
    if (low >= end || bottoms_[v] < top)
        return;
    if (v >= leaves_) {
        found.push_back(byTop_[v - leaves_]);
        return;
    }
    const std::size_t middle = low + (high - low) / 2;
    Collect(2 * v, low, middle, end, top, found);
    Collect(2 * v + 1, middle, high, end, top, found);
}

std::vector<std::size_t> TRangeIndex::Meeting(int top, int bottom) const
{
    std::vector<std::size_t> found;
    if (byTop_.empty() || top > bottom)
        return found;
    // The ranges that start at or above the bottom, of those the ones that reach the top.
    const auto end = static_cast<std::size_t>(std::upper_bound(tops_.begin(), tops_.end(), bottom) - tops_.begin());
    Collect(1, 0, leaves_, end, top, found);
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace velmoran
