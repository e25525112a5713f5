// PNG writing: what is written reads back the same with our reader and with Qt's, palette and
// monochrome pictures keep their indexes, the transparent colour becomes a valid tRNS, and kept
// chunks are written back.
#include "html/base/image/PngDecode.h"
#include "platform/core/Stream.h"
#include "tests/html/base/image/ImageTestSupport.h"

#include <gtest/gtest.h>

#include <QImage>

using namespace velmoran;
using namespace imagetest;

namespace {

std::string Save(TPNGImage& png)
{
    TMemoryStream stream;
    png.SaveToStream(stream);
    return stream.ToString();
}

TPNGImage Read(const std::string& bytes)
{
    TPNGImage png;
    png.LoadFromBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return png;
}

void ExpectSameColours(const QImage& a, const QImage& b)
{
    ASSERT_EQ(a.size(), b.size());
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col)
            ASSERT_EQ(x.pixel(col, row), y.pixel(col, row)) << col << "," << row;
}

}  // namespace

TEST(PngWrite, TrueColourRoundTrip)
{
    TPNGImage png;
    const QImage picture = TestPicture(37, 23);
    png.SetPicture(picture);
    png.Interlaced = true;
    const std::string bytes = Save(png);
    EXPECT_FALSE(png.Interlaced);
    TPNGImage back = Read(bytes);
    EXPECT_EQ(back.ColorType(), 2);
    EXPECT_EQ(back.BitDepth(), 8);
    EXPECT_EQ(back.InterlaceMethod(), 0);
    ExpectSameColours(back.Picture(), picture);
    ExpectSameColours(QtRead(bytes), picture);
}

TEST(PngWrite, AlphaChannelIsWrittenAsRgba)
{
    // Transparent, half transparent and opaque pixels keep their alpha and (where not fully
    // transparent) their colour, read back by our reader and by Qt's; a transparent colour asked
    // for besides adds no tRNS chunk, which RGBA pictures may not carry.
    QImage picture(5, 3, QImage::Format_ARGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            picture.setPixel(x, y, qRgba(40 * x, 60 * y, 200, x == 0 ? 0 : x == 1 ? 128 : 255));
    TPNGImage png;
    png.SetPicture(picture.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    png.SetTransparentColor(qRgb(1, 2, 3));
    const std::string bytes = Save(png);
    EXPECT_EQ(bytes.find("tRNS"), std::string::npos);
    TPNGImage back = Read(bytes);
    EXPECT_EQ(back.ColorType(), 6);
    for (const QImage& read : {back.Picture().convertToFormat(QImage::Format_ARGB32),
                               QtRead(bytes).convertToFormat(QImage::Format_ARGB32)})
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) {
                const QRgb want = picture.pixel(x, y), got = read.pixel(x, y);
                ASSERT_EQ(qAlpha(got), qAlpha(want)) << x << "," << y;
                if (x >= 2) {
                    ASSERT_EQ(got, want) << x << "," << y;
                } else if (x == 1) {
                    ASSERT_NEAR(qRed(got), qRed(want), 2) << y;  // premultiplied on the way in
                }
            }
}

TEST(PngWrite, PaletteAndMonochromePicturesKeepTheirIndexes)
{
    QImage indexed(19, 7, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(255, 0, 0), qRgb(0, 128, 0), qRgb(0, 0, 255), qRgb(9, 9, 9)});
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 19; ++x)
            indexed.setPixel(x, y, (x * y + x) % 4);
    TPNGImage png;
    png.SetPicture(indexed);
    std::string bytes = Save(png);
    TPNGImage back = Read(bytes);
    EXPECT_EQ(back.ColorType(), 3);
    EXPECT_EQ(back.BitDepth(), 8);
    ExpectSameColours(back.Picture(), indexed);

    QImage mono(21, 5, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 21; ++x)
            mono.setPixel(x, y, (x + y) % 3 == 0);
    png.SetPicture(mono);
    bytes = Save(png);
    back = Read(bytes);
    EXPECT_EQ(back.BitDepth(), 1);
    ExpectSameColours(back.Picture(), mono);
    ExpectSameColours(QtRead(bytes), mono);
    WriteSeed("png", "written-mono.png", bytes);
}

TEST(PngWrite, TransparentColourBecomesAValidTrnsChunk)
{
    QImage picture = TestPicture(8, 8);
    picture.setPixel(2, 3, qRgb(1, 2, 3));
    TPNGImage png;
    png.SetPicture(picture);
    png.SetTransparentColor(qRgb(1, 2, 3));
    const std::string bytes = Save(png);
    const auto at = bytes.find("tRNS");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(bytes.substr(at - 4, 4), Be32(6));
    EXPECT_EQ(bytes.substr(at + 4, 6), std::string("\0\1\0\2\0\3", 6));
    const QImage qt = QtRead(bytes);
    EXPECT_EQ(qAlpha(qt.pixel(2, 3)), 0);
    EXPECT_EQ(qAlpha(qt.pixel(3, 3)), 255);
    TPNGImage back = Read(bytes);
    EXPECT_EQ(back.TransparentColor(), qRgb(1, 2, 3));
}

TEST(PngWrite, KeptChunksAreWrittenBackAndGammaInverted)
{
    PngSpec spec{5, 4, 2, 8};
    spec.ChunksBeforeData = {{"tIME", std::string("\x07\xea\x0c\x06\x15\x1e\x00", 7)}};
    const std::string original = BuildPng(spec, PngSamples(spec, 9));
    TPNGImage png = Read(original);
    const std::string bytes = Save(png);
    const auto at = bytes.find("tIME");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(bytes.substr(at + 4, 7), std::string("\x07\xea\x0c\x06\x15\x1e\x00", 7));
    EXPECT_EQ(bytes.find("tRNS"), std::string::npos);
    ExpectSameColours(Read(bytes).Picture(), png.Picture());

    // With a gAMA chunk the written samples go through the inverse table, so reading gives the
    // picture back (within the rounding of the table).
    spec.ChunksBeforeData.clear();
    spec.Gamma = 100000;
    TPNGImage gamma = Read(BuildPng(spec, PngSamples(spec, 10)));
    const QImage decoded = gamma.Picture();
    const QImage again = Read(Save(gamma)).Picture();
    for (int y = 0; y < decoded.height(); ++y)
        for (int x = 0; x < decoded.width(); ++x)
            EXPECT_NEAR(qRed(again.pixel(x, y)), qRed(decoded.pixel(x, y)), 2);
}

TEST(PngWrite, EveryFilterSetGivesTheSamePicture)
{
    const QImage picture = TestPicture(33, 17);
    for (int filters : {1, 2, 4, 8, 16, 27, 31}) {
        TPNGImage png;
        png.SetPicture(picture);
        png.Filters = static_cast<std::uint8_t>(filters);
        ExpectSameColours(Read(Save(png)).Picture(), picture);
    }
}
