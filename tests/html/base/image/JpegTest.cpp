// JPEG through libjpeg: baseline, progressive and greyscale pictures written by the test decode
// like Qt's reader; 8-bit output takes the given palette; broken files fail.
#include "html/base/image/JpegDecode.h"
#include "platform/core/Stream.h"
#include "tests/html/base/image/ImageTestSupport.h"

#include <gtest/gtest.h>

#include <QImage>

using namespace velmoran;
using namespace imagetest;

namespace {

TJPEGImage Read(const std::string& bytes)
{
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return jpeg;
}

int LargestDifference(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    int largest = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    return largest;
}

}  // namespace

TEST(Jpeg, BaselineProgressiveAndGreyscaleDecodeLikeQt)
{
    const QImage picture = TestPicture(67, 45);
    for (bool progressive : {false, true})
        for (bool grey : {false, true}) {
            const std::string bytes = EncodeJpeg(picture, 85, progressive, grey);
            WriteSeed("jpeg", std::string(progressive ? "progressive" : "baseline") + (grey ? "-grey" : "") + ".jpg",
                      bytes);
            TJPEGImage jpeg = Read(bytes);
            EXPECT_EQ(jpeg.Progressive(), progressive);
            EXPECT_EQ(jpeg.Grayscale(), grey);
            EXPECT_EQ(jpeg.Width(), 67);
            EXPECT_EQ(jpeg.Height(), 45);
            const QImage ours = jpeg.Bitmap();
            ASSERT_EQ(ours.format(), QImage::Format_RGB32);
            QImage qt;
            ASSERT_TRUE(qt.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()),
                                        "JPEG"));
            ASSERT_EQ(ours.size(), qt.size());
            EXPECT_LE(LargestDifference(ours, qt), 2) << progressive << grey;
            // And close to what was written.
            EXPECT_LE(LargestDifference(ours, grey ? picture.convertToFormat(QImage::Format_Grayscale8) : picture), 60);
        }
}

TEST(Jpeg, EightBitOutputUsesTheGivenPalette)
{
    const std::string bytes = EncodeJpeg(TestPicture(40, 30), 90, false, false);
    TJPEGImage jpeg = Read(bytes);
    jpeg.SetPixelFormat(8);
    const TPalette palette = MakeDisplayPalette();
    jpeg.SetPalette(palette);
    const QImage indexed = jpeg.Bitmap();
    ASSERT_EQ(indexed.format(), QImage::Format_Indexed8);
    ASSERT_EQ(indexed.colorCount(), 256);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(indexed.color(i), palette[static_cast<std::size_t>(i)]);

    // Without a palette libjpeg picks at most 256 colours of its own; greyscale stays grey.
    jpeg.SetPalette({});
    EXPECT_LE(jpeg.Bitmap().colorCount(), 256);
    TJPEGImage grey = Read(EncodeJpeg(TestPicture(40, 30), 90, false, true));
    grey.SetPixelFormat(8);
    const QImage greyBits = grey.Bitmap();
    EXPECT_EQ(greyBits.format(), QImage::Format_Indexed8);
    EXPECT_TRUE(greyBits.isGrayscale());
}

TEST(Jpeg, TruncatedAndCorruptedFilesFail)
{
    const std::string good = EncodeJpeg(TestPicture(48, 32), 80, true, false);
    EXPECT_THROW(Read(""), EJpegError);
    EXPECT_THROW(Read("\xFF\xD8\xFF"), EJpegError);
    for (std::size_t n : {good.size() / 4, good.size() / 2, good.size() - 10}) {
        try {
            TJPEGImage jpeg = Read(good.substr(0, n));
            (void)jpeg.Bitmap();
            ADD_FAILURE() << "a JPEG cut at " << n << " of " << good.size() << " bytes decoded";
        } catch (const EJpegError&) {
        }
    }
    std::uint32_t state = 5;
    for (int round = 0; round < 200; ++round) {
        std::string bad = good;
        for (int k = 0; k < 4; ++k) {
            state = state * 1664525u + 1013904223u;
            bad[(state >> 8) % bad.size()] = static_cast<char>(state >> 24);
        }
        try {
            TJPEGImage jpeg = Read(bad);
            (void)jpeg.Bitmap();
        } catch (const EJpegError&) {
        }
    }
}

TEST(Jpeg, ReadsFromAStream)
{
    TMemoryStream stream(EncodeJpeg(TestPicture(8, 8), 80, false, false));
    TJPEGImage jpeg;
    jpeg.LoadFromStream(stream);
    EXPECT_EQ(jpeg.Bitmap().size(), QSize(8, 8));
}
