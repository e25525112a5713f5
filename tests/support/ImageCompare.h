// Compares a picture a test made with one recorded in the test data: equal when no pixel's
// colour channel differs by more than a small tolerance (anti-aliased edges may differ a little
// between renderers). On a mismatch the picture made and a difference image (changed pixels red
// on a faded copy of the recorded one) go to the build's artifacts for a person to look at.
// With VELMORAN_RECORD_IMAGES=1 in the environment a missing or different recording is written
// instead; record a picture only after looking at it.
#pragma once

#include <QImage>
#include <QString>

#include <gtest/gtest.h>

namespace velmoran::testing {

struct ImageTolerance {
    int Channel = 48;     // the largest difference of one colour channel that counts as equal
    int Pixels = 0;       // how many pixels may differ by more
};

// `recorded` is the full path of the PNG; `artifacts` the folder for the failure pictures.
::testing::AssertionResult MatchesRecordedImage(const QImage& actual, const QString& recorded,
                                                const QString& artifacts, ImageTolerance tolerance = {});

}  // namespace velmoran::testing
