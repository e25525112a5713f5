// Comparing a picture a test made with a recorded one; see ImageCompare.h.
#include "tests/support/ImageCompare.h"

#include <QColor>

#include <cstdlib>

namespace velmoran::testing {

namespace {

bool Near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance && std::abs(qAlpha(a) - qAlpha(b)) <= tolerance;
}

}  // namespace

ImageComparison CompareImages(const QImage& actual, const QImage& recorded, int tolerance)
{
    ImageComparison result;
    result.SameSize = actual.size() == recorded.size();
    if (!result.SameSize)
        return result;
    const QImage a = actual.convertToFormat(QImage::Format_ARGB32);
    const QImage b = recorded.convertToFormat(QImage::Format_ARGB32);
    result.Diff = QImage(b.size(), QImage::Format_RGB32);
    for (int y = 0; y < b.height(); ++y) {
        const auto* lineA = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* lineB = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(result.Diff.scanLine(y));
        for (int x = 0; x < b.width(); ++x) {
            if (Near(lineA[x], lineB[x], tolerance)) {
                const int grey = 160 + qGray(lineB[x]) * 95 / 255;
                out[x] = qRgb(grey, grey, grey);
            } else {
                ++result.Differing;
                out[x] = qRgb(255, 0, 0);
            }
        }
    }
    return result;
}

}  // namespace velmoran::testing
