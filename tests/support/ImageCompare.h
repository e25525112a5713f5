// Comparing a picture a test made with a recorded one: pixels whose colour channels differ by
// more than a tolerance (anti-aliasing differs a little between runs of the rasteriser) are
// counted and marked in a difference picture, which the caller saves for a person to look at.
#pragma once

#include <QImage>

namespace velmoran::testing {

struct ImageComparison {
    bool SameSize = false;
    // Pixels with a channel (red, green, blue or alpha) further than the tolerance apart.
    int Differing = 0;
    // The recorded picture dimmed, with every differing pixel in red; empty when the sizes differ.
    QImage Diff;
};

ImageComparison CompareImages(const QImage& actual, const QImage& recorded, int tolerance);

}  // namespace velmoran::testing

#if defined(VELMORAN_TEST_DATA) && defined(VELMORAN_ARTIFACTS)
#include "tests/support/DialogScript.h"

namespace velmoran::testing {

// The picture is saved as <artifacts>/<suite>/<name>.png and compared with the recording
// tests/data/<recorded>; a missing recording or more than `allowed` differing pixels fail the
// test, and a difference picture <name>-diff.png is saved beside the picture. A recording is
// made by copying the saved picture there after looking at it.
inline void ExpectLooksLikeRecorded(const QImage& actual, const std::string& recorded, const std::string& suite,
                                    const std::string& name, int tolerance = 24, int allowed = 0)
{
    SaveImage(actual, suite, name);
    const QImage expected(QStringLiteral(VELMORAN_TEST_DATA "/") + QString::fromStdString(recorded));
    if (expected.isNull()) {
        ADD_FAILURE() << "keine Aufnahme tests/data/" << recorded << " (das Bild steht in " << VELMORAN_ARTIFACTS
                      << "/" << suite << "/" << name << ".png)";
        return;
    }
    const ImageComparison comparison = CompareImages(actual, expected, tolerance);
    if (comparison.SameSize && comparison.Differing <= allowed)
        return;
    if (!comparison.Diff.isNull())
        SaveImage(comparison.Diff, suite, name + "-diff");
    ADD_FAILURE() << name << " weicht von tests/data/" << recorded << " ab: "
                  << (comparison.SameSize ? std::to_string(comparison.Differing) + " Bildpunkte"
                                          : std::string("andere Größe"));
}

}  // namespace velmoran::testing
#endif
