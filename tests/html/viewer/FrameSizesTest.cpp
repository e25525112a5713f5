// Tests of the frame sizing without widgets: size lists with their caps, the sizes they give over
// an extent, dragged sizes fitted to another extent, split lines, the line under the mouse and the
// sizes after a drag.
#include "html/viewer/FrameSizes.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

namespace velmoran {
namespace {

TEST(FrameSizes, ListsAreParsedWithCaps)
{
    EXPECT_EQ(ParseSizeList("100,*,2*"), (std::vector<int>{100, -1, -2}));
    EXPECT_EQ(ParseSizeList("50%, 50%"), (std::vector<int>{-150, -150}));
    EXPECT_EQ(ParseSizeList(""), (std::vector<int>{-1}));
    EXPECT_EQ(ParseSizeList(",,"), (std::vector<int>{-1, -1, -1}));
    EXPECT_EQ(ParseSizeList("0"), (std::vector<int>{1}));
    EXPECT_EQ(ParseSizeList("99999999999999999999999999, 500*, 5000%"), (std::vector<int>{5000, -99, -1000}));
    std::string many;
    for (int i = 0; i < 30; ++i)
        many += "10,";
    EXPECT_EQ(ParseSizeList(many).size(), 20u);
}

TEST(FrameSizes, ExtentIsShared)
{
    EXPECT_EQ(ComputeFrameSizes({100, -1, -2}, 400), (std::vector<int>{100, 100, 200}));
    EXPECT_EQ(ComputeFrameSizes({-150, -150}, 400), (std::vector<int>{200, 200}));
    EXPECT_EQ(ComputeFrameSizes({100, -130, -1}, 500), (std::vector<int>{100, 150, 250}));
    // Pixel entries that do not fit are scaled down; the others get nothing.
    EXPECT_EQ(ComputeFrameSizes({300, 300, -1}, 300), (std::vector<int>{150, 150, 0}));
    // Shares are rounded, not cut: 0.6 -> 1, 2.4 -> 2, 597.0 -> 597; 10 % and 20 % of 105 are
    // 31.5 -> 32 pixels, shared 10.7 -> 11 and 21.3 -> 21.
    EXPECT_EQ(ComputeFrameSizes({1, 4, 1000}, 600), (std::vector<int>{1, 2, 597}));
    EXPECT_EQ(ComputeFrameSizes({-110, -120}, 105), (std::vector<int>{11, 21}));
    // A frameset without room gives no frame a negative size.
    EXPECT_EQ(ComputeFrameSizes({100, -1}, 0), (std::vector<int>{0, 0}));
    EXPECT_EQ(ComputeFrameSizes({100, -1}, -50), (std::vector<int>{0, 0}));
    EXPECT_EQ(ComputeFrameSizes({5000, 5000, 5000, 5000, -1000}, 1000000000)[4], 999980000);
}

TEST(FrameSizes, DraggedSizesKeepProportionsAndFillTheExtent)
{
    EXPECT_EQ(ScaleFrameSizes({100, 200, 100}, 400, 200), (std::vector<int>{50, 100, 50}));
    // Rounded running sums: no pixel is lost or gained, whatever the extent.
    for (const int extent : {1, 7, 301, 599, 1000}) {
        const std::vector<int> scaled = ScaleFrameSizes({1, 148, 451}, 600, extent);
        EXPECT_EQ(std::accumulate(scaled.begin(), scaled.end(), 0), extent) << extent;
    }
    EXPECT_EQ(ScaleFrameSizes({100, 200, 100}, 400, 301), (std::vector<int>{75, 151, 75}));
    EXPECT_EQ(ScaleFrameSizes({0, 300}, 300, 100), (std::vector<int>{0, 100}));
    EXPECT_EQ(ScaleFrameSizes({100, 200}, 300, 0), (std::vector<int>{0, 0}));
}

TEST(FrameSizes, SplitLinesLieBetweenTheFrames)
{
    EXPECT_EQ(SplitLines({100, 50, 0, 30}, 2), (std::vector<int>{102, 152, 152}));
    EXPECT_TRUE(SplitLines({400}, 0).empty());
    EXPECT_TRUE(SplitLines({}, 0).empty());
}

TEST(FrameSizes, TheNearestLineWithinFivePixelsIsHit)
{
    const std::vector<int> lines{100, 108};
    EXPECT_EQ(NearestSplit(lines, 104), 0);  // a tie: the line before the point
    EXPECT_EQ(NearestSplit(lines, 105), 1);
    EXPECT_EQ(NearestSplit(lines, 95), 0);
    EXPECT_EQ(NearestSplit(lines, 94), -1);
    EXPECT_EQ(NearestSplit(lines, 113), 1);
    EXPECT_EQ(NearestSplit(lines, 114), -1);
    EXPECT_EQ(NearestSplit({}, 0), -1);
}

TEST(FrameSizes, ADraggedLineMovesOnlyItsTwoFrames)
{
    EXPECT_EQ(MoveSplitLine({100, 100, 100}, 1, 100, 300, 150), (std::vector<int>{100, 50, 150}));
    EXPECT_EQ(MoveSplitLine({100, 100, 100}, 0, 0, 200, 199), (std::vector<int>{199, 1, 100}));
    // A place outside the limits gives no negative size; a line without a frame after it, nothing.
    EXPECT_EQ(MoveSplitLine({100, 100}, 0, 0, 200, 250), (std::vector<int>{250, 0}));
    EXPECT_EQ(MoveSplitLine({100, 100}, 1, 100, 200, 150), (std::vector<int>{100, 100}));
}

}  // namespace
}  // namespace velmoran
