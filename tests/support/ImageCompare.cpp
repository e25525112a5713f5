// Compares a picture with a recorded PNG and writes the failure pictures (see ImageCompare.h).
#include "tests/support/ImageCompare.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace velmoran::testing {

namespace {

int ChannelDifference(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b)),
                     std::abs(qAlpha(a) - qAlpha(b))});
}

bool Recording()
{
    const char* record = std::getenv("VELMORAN_RECORD_IMAGES");
    return record && std::strcmp(record, "1") == 0;
}

}  // namespace

::testing::AssertionResult MatchesRecordedImage(const QImage& actual, const QString& recorded,
                                                const QString& artifacts, ImageTolerance tolerance)
{
    const QImage made = actual.convertToFormat(QImage::Format_ARGB32);
    const QImage expected = QImage(recorded).convertToFormat(QImage::Format_ARGB32);
    const QString name = QFileInfo(recorded).completeBaseName();
    QString problem;
    QImage diff;
    if (expected.isNull()) {
        problem = QStringLiteral("no recorded picture at ") + recorded;
    } else if (expected.size() != made.size()) {
        problem = QStringLiteral("size %1x%2, recorded %3x%4")
                      .arg(made.width())
                      .arg(made.height())
                      .arg(expected.width())
                      .arg(expected.height());
    } else {
        diff = QImage(made.size(), QImage::Format_ARGB32);
        int differing = 0;
        int largest = 0;
        QPoint first(-1, -1);
        for (int y = 0; y < made.height(); ++y)
            for (int x = 0; x < made.width(); ++x) {
                const QRgb a = made.pixel(x, y);
                const QRgb e = expected.pixel(x, y);
                const int d = ChannelDifference(a, e);
                largest = std::max(largest, d);
                if (d > tolerance.Channel) {
                    if (differing++ == 0)
                        first = QPoint(x, y);
                    diff.setPixel(x, y, qRgb(255, 0, 0));
                } else {
                    const int g = 192 + qGray(e) / 4;
                    diff.setPixel(x, y, qRgb(g, g, g));
                }
            }
        if (differing <= tolerance.Pixels)
            return ::testing::AssertionSuccess();
        problem = QStringLiteral("%1 pixels differ by more than %2 (the first at %3,%4: %5 instead of %6)")
                      .arg(differing)
                      .arg(tolerance.Channel)
                      .arg(first.x())
                      .arg(first.y())
                      .arg(made.pixel(first), 8, 16, QLatin1Char('0'))
                      .arg(expected.pixel(first), 8, 16, QLatin1Char('0'));
    }
    if (Recording()) {
        QDir().mkpath(QFileInfo(recorded).absolutePath());
        if (made.save(recorded))
            return ::testing::AssertionSuccess() << "recorded " << recorded.toStdString();
    }
    QDir().mkpath(artifacts);
    made.save(artifacts + QLatin1Char('/') + name + QStringLiteral("-actual.png"));
    if (!diff.isNull())
        diff.save(artifacts + QLatin1Char('/') + name + QStringLiteral("-diff.png"));
    return ::testing::AssertionFailure() << name.toStdString() << ": " << problem.toStdString() << "; see "
                                         << artifacts.toStdString();
}

}  // namespace velmoran::testing
