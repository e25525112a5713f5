// The 8 x 8 pattern brush: how the recording canvas writes it, and which colour a Qt fill gives
// each pixel for a brush origin, so that dithers of neighbouring buttons line up.
#include "platform/QtCanvas.h"
#include "platform/RecordingCanvas.h"
#include "platform/SystemColors.h"
#include "platform/TestFont.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

namespace velmoran {
namespace {

constexpr std::uint64_t kDither = 0x55AA55AA55AA55AAull;

TEST(PatternBrush, RecordingWritesRowsColoursAndOrigin)
{
    TestFontEngine fonts;
    RecordingCanvas canvas(fonts);
    canvas.SetBrushOrg(1, 0);
    canvas.SelectBrush(PatternBrush(kDither, SystemColor(COLOR_BTNFACE), SystemColor(COLOR_BTNHIGHLIGHT)));
    canvas.FillRect(TRect{2, 3, 10, 12});
    // A shape fill takes the same brush; the origin is part of the state line.
    canvas.SetBrushOrg(0, 1);
    canvas.SelectPen({PenStyle::Null});
    canvas.Rectangle(0, 0, 4, 4);
    const std::vector<std::string> expected = {
        "Brush pattern 55AA55AA55AA55AA #C0C0C0 #FFFFFF origin 1,0",
        "FillRect 2,3,10,12 brush", "Pen null",
        "Brush pattern 55AA55AA55AA55AA #C0C0C0 #FFFFFF origin 0,1", "Rectangle 0,0,4,4"};
    EXPECT_EQ(canvas.Lines(), expected) << canvas.Text();
}

QImage Filled(int originX, int originY, int windowOrgX = 0)
{
    QImage image(16, 8, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    QtCanvas canvas(&painter);
    canvas.SetWindowOrg(windowOrgX, 0);
    canvas.SetBrushOrg(originX, originY);
    canvas.SelectBrush(PatternBrush(kDither, RGBRef(255, 0, 0), RGBRef(0, 0, 255)));
    canvas.FillRect(TRect{windowOrgX, 0, 16 + windowOrgX, 8});
    return image;
}

bool IsRed(const QImage& image, int x, int y)
{
    return image.pixel(x, y) == qRgb(255, 0, 0);
}

TEST(PatternBrush, QtFillFollowsTheBrushOrigin)
{
    // Row 0 is 0x55: the leftmost pixel is clear (blue), the next set (red).
    const QImage plain = Filled(0, 0);
    EXPECT_FALSE(IsRed(plain, 0, 0));
    EXPECT_TRUE(IsRed(plain, 1, 0));
    EXPECT_TRUE(IsRed(plain, 0, 1));
    EXPECT_TRUE(IsRed(plain, 9, 0));
    // Origin 1,0: the pattern starts one pixel further right, so every pixel turns over.
    const QImage shifted = Filled(1, 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_NE(IsRed(plain, x, y), IsRed(shifted, x, y)) << x << "," << y;
}

TEST(PatternBrush, TheOriginCountsInDeviceUnitsWhateverTheMapping)
{
    // A window origin moved by one unit still dithers from the device origin.
    const QImage plain = Filled(0, 0);
    const QImage moved = Filled(0, 0, 1);
    for (int x = 1; x < 16; ++x)
        ASSERT_EQ(IsRed(plain, x, 0), IsRed(moved, x, 0)) << x;
}

}  // namespace
}  // namespace velmoran
