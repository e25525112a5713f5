// Which of many ranges of document values (Y bands, document positions) meet a given range, found
// at the cost of the ranges found rather than of all of them. The ranges are in no order and may
// nest or overlap (a float or a bordered element may reach far past its neighbours), so the index
// sorts them by their tops and keeps a tree of the furthest bottoms over that order: a query finds
// those that start at or above its bottom by a binary search, and of those only the ones that
// reach its top by the tree, passing over at most one partly matching node of each depth.
#pragma once

#include "html/layout/YBand.h"

#include <cstddef>
#include <vector>

namespace velmoran {

class TRangeIndex {
public:
    // Takes the ranges, both ends inside; the i-th is found as i. An empty band is never found.
    void Assign(const std::vector<TYBand>& ranges);
    void Clear() { Assign({}); }
    std::size_t Count() const { return byTop_.size(); }
    // The numbers of the ranges that meet top..bottom (both inside), in ascending order.
    std::vector<std::size_t> Meeting(int top, int bottom) const;

private:
    // Adds to `found` the ranges of node v (the places [low, high) of byTop_) that come before
    // place `end` and reach down to `top`.
    void Collect(std::size_t v, std::size_t low, std::size_t high, std::size_t end, int top,
                 std::vector<std::size_t>& found) const;

    std::vector<std::size_t> byTop_;  // the ranges in the order of their tops
    std::vector<int> tops_;           // their tops in that order
    // A tree over byTop_: node 1 the whole, node v the halves 2v and 2v + 1, the leaves from
    // leaves_ on; each holds the furthest bottom of its ranges.
    std::vector<int> bottoms_;
    std::size_t leaves_ = 1;
};

}  // namespace velmoran
