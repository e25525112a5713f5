// A band of document Y: what painting a section may reach, drawing or moving a page cut, so that
// a paint can leave out the sections that cannot reach into its clip.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace velmoran {

struct TYBand {
    int Top = std::numeric_limits<int>::max();  // empty until something is added
    int Bottom = std::numeric_limits<int>::min();

    bool Empty() const { return Top > Bottom; }
    // Widens the band to take in y (a sum of layout values, limited to the range of int).
    void Add(std::int64_t y)
    {
        const int clamped = static_cast<int>(std::clamp<std::int64_t>(y, std::numeric_limits<int>::min(),
                                                                      std::numeric_limits<int>::max()));
        Top = std::min(Top, clamped);
        Bottom = std::max(Bottom, clamped);
    }
    void Add(const TYBand& other)
    {
        if (!other.Empty()) {
            Add(other.Top);
            Add(other.Bottom);
        }
    }
    // The band moved by dy (a relatively positioned block is drawn moved).
    TYBand Moved(int dy) const
    {
        TYBand moved;
        if (!Empty()) {
            moved.Add(std::int64_t{Top} + dy);
            moved.Add(std::int64_t{Bottom} + dy);
        }
        return moved;
    }
};

}  // namespace velmoran
