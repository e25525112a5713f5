// Compares a rendered picture with a recorded one: a per-channel tolerance absorbs anti-aliasing,
// a count of differing pixels says how far they are apart, and a diff picture (differing pixels
// red on a faded copy of the recorded one) shows where. With VELMORAN_RECORD_IMAGES=1 in the
// environment a missing or different recording is written instead; record a picture only after
// looking at it.
#pragma once

#include <QImage>

#include <gtest/gtest.h>

#include <string>

namespace velmoran::testing {

struct ImageComparison {
    bool SameSize = false;
    int Differing = 0;  // pixels with a channel further apart than the tolerance
    QImage Diff;
};

ImageComparison CompareImages(const QImage& actual, const QImage& expected, int tolerance);

// Succeeds when actual matches the PNG at expectedPath within the tolerance with at most
// allowedDiffering pixels apart. Otherwise, and when nothing is recorded yet, writes
// <artifactFolder>/<name>.png (what was rendered) and <name>-diff.png there and fails.
::testing::AssertionResult MatchesRecordedImage(const QImage& actual, const std::string& expectedPath,
                                                const std::string& artifactFolder, int tolerance = 16,
                                                int allowedDiffering = 0);

}  // namespace velmoran::testing

#if defined(VELMORAN_TEST_DATA) && defined(VELMORAN_ARTIFACTS)
#include "tests/support/DialogScript.h"

namespace velmoran::testing {

// For the dialog and page pictures: the picture is saved as <artifacts>/<suite>/<name>.png for a
// person to look at and compared with the recording tests/data/<recorded>; a missing recording or
// more than `allowed` differing pixels fail the test.
inline void ExpectLooksLikeRecorded(const QImage& actual, const std::string& recorded, const std::string& suite,
                                    const std::string& name, int tolerance = 24, int allowed = 0)
{
    SaveImage(actual, suite, name);
    EXPECT_TRUE(MatchesRecordedImage(actual, std::string(VELMORAN_TEST_DATA "/") + recorded,
                                     std::string(VELMORAN_ARTIFACTS "/") + suite, tolerance, allowed))
        << name;
}

}  // namespace velmoran::testing
#endif
