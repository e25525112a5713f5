// The sizing of frames as arithmetic without widgets: the ROWS and COLS lists, the sizes they give
// over an extent, dragged sizes fitted to a new extent, the split lines between frames, the line
// nearest to a point and the sizes after a line was dragged.
#pragma once

#include <string>
#include <vector>

namespace velmoran {

// The size entries of a ROWS or COLS list (at most 20): n >= 0 pixels (at most 5000), -1..-99 a
// relative weight, -101..-1000 a percentage (-(100 + n)). Numbers of any length are capped.
std::vector<int> ParseSizeList(const std::string& text);
// The sizes in pixels of the entries over an extent: pixels first, then percentages of what is
// left, then the rest shared by weight; pixel entries that do not fit are scaled down and the
// others get 0. An extent of 0 or less gives every entry 0.
std::vector<int> ComputeFrameSizes(const std::vector<int>& specs, int extent);
// Sizes whose total is `basis` fitted to another extent: the running sums are scaled and rounded,
// so that the frames keep their proportions and fill the extent without gaps from rounding.
std::vector<int> ScaleFrameSizes(const std::vector<int>& sizes, int basis, int extent);
// The split lines between frames of the given sizes laid one after the other from `start`.
std::vector<int> SplitLines(const std::vector<int>& sizes, int start);
// The split line nearest to a place within 5 pixels, on a tie the one at or before it; -1 when
// there is none.
int NearestSplit(const std::vector<int>& lines, int along);
// The sizes after split line `split`, running between its neighbours `before` and `after`, was
// dragged to `at`: the two frames beside it take the new place, the others keep their sizes.
std::vector<int> MoveSplitLine(std::vector<int> sizes, int split, int before, int after, int at);

}  // namespace velmoran
