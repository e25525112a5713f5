// Picture comparison for rendering tests (see ImageCompare.h).
#include "tests/support/ImageCompare.h"

#include <QColor>

#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace velmoran::testing {

ImageComparison CompareImages(const QImage& actual, const QImage& expected, int tolerance)
{
    ImageComparison result;
    result.SameSize = actual.size() == expected.size();
    const QImage a = actual.convertToFormat(QImage::Format_ARGB32);
    const QImage e = expected.convertToFormat(QImage::Format_ARGB32);
    const int width = std::max(a.width(), e.width());
    const int height = std::max(a.height(), e.height());
    result.Diff = QImage(width, height, QImage::Format_ARGB32);
    result.Diff.fill(Qt::white);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool inA = x < a.width() && y < a.height();
            const bool inE = x < e.width() && y < e.height();
            bool differs = inA != inE;
            if (inA && inE) {
                const QRgb pa = a.pixel(x, y);
                const QRgb pe = e.pixel(x, y);
                differs = std::abs(qRed(pa) - qRed(pe)) > tolerance || std::abs(qGreen(pa) - qGreen(pe)) > tolerance
                          || std::abs(qBlue(pa) - qBlue(pe)) > tolerance
                          || std::abs(qAlpha(pa) - qAlpha(pe)) > tolerance;
            }
            if (differs) {
                ++result.Differing;
                result.Diff.setPixel(x, y, qRgb(255, 0, 0));
            } else if (inE) {
                const int grey = 160 + qGray(e.pixel(x, y)) * 95 / 255;
                result.Diff.setPixel(x, y, qRgb(grey, grey, grey));
            }
        }
    return result;
}

::testing::AssertionResult MatchesRecordedImage(const QImage& actual, const std::string& expectedPath,
                                                const std::string& artifactFolder, int tolerance,
                                                int allowedDiffering)
{
    namespace fs = std::filesystem;
    const std::string name = fs::path(expectedPath).stem().string();
    const auto keep = [&](const QImage* diff) {
        fs::create_directories(artifactFolder);
        actual.save(QString::fromStdString((fs::path(artifactFolder) / (name + ".png")).string()));
        if (diff)
            diff->save(QString::fromStdString((fs::path(artifactFolder) / (name + "-diff.png")).string()));
        return (fs::path(artifactFolder) / name).string();
    };
    const QImage expected(QString::fromStdString(expectedPath));
    const char* record = std::getenv("VELMORAN_RECORD_IMAGES");
    if (record && std::string_view(record) == "1") {
        const bool same = !expected.isNull() && actual.size() == expected.size()
                          && CompareImages(actual, expected, tolerance).Differing <= allowedDiffering;
        if (!same) {
            fs::create_directories(fs::path(expectedPath).parent_path());
            if (actual.save(QString::fromStdString(expectedPath)))
                return ::testing::AssertionSuccess() << "recorded " << expectedPath;
        }
    }
    if (expected.isNull())
        return ::testing::AssertionFailure() << "no recorded picture " << expectedPath << "; rendered into "
                                             << keep(nullptr) << ".png (look at it before recording it)";
    const ImageComparison c = CompareImages(actual, expected, tolerance);
    if (c.SameSize && c.Differing <= allowedDiffering)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << name << ": " << c.Differing << " pixels differ (allowed "
                                         << allowedDiffering << ")" << (c.SameSize ? "" : ", sizes differ")
                                         << "; see " << keep(&c.Diff) << "-diff.png";
}

}  // namespace velmoran::testing
