// The display palette, the colour lookups, error diffusion and the octree quantiser, and the
// loading path on a display forced to 8 or 4 bits.
#include "html/base/image/DisplayPalette.h"
#include "html/base/image/ImageLoad.h"
#include "platform/core/Stream.h"
#include "tests/html/base/image/ImageTestSupport.h"

#include <gtest/gtest.h>

#include <set>

using namespace velmoran;
using namespace imagetest;

TEST(DisplayPalette, LayoutOfThePalette)
{
    const TPalette palette = MakeDisplayPalette();
    ASSERT_EQ(palette.size(), 256u);
    EXPECT_EQ(palette[0], qRgb(0, 0, 0));
    EXPECT_EQ(palette[10], qRgb(55, 55, 55));
    EXPECT_EQ(palette[11], qRgb(115, 55, 55));  // red varies fastest
    EXPECT_EQ(palette[16], qRgb(55, 115, 55));
    EXPECT_EQ(palette[224], qRgb(235, 255, 255));  // the cube without white
    EXPECT_EQ(palette[225], qRgb(135, 135, 135));
    EXPECT_EQ(palette[244], qRgb(245, 245, 245));
    EXPECT_EQ(palette[245], qRgb(255, 255, 254));
    EXPECT_EQ(palette[255], qRgb(255, 255, 255));
    EXPECT_EQ(CubePalette216()[215], qRgb(255, 255, 255));
    EXPECT_EQ(DefaultPalette20().size(), 20u);
}

TEST(DisplayPalette, DisplayDepthsAndTheCopyRule)
{
    EXPECT_EQ(ColorBitsForScreenDepth(1), 4);
    EXPECT_EQ(ColorBitsForScreenDepth(4), 4);
    EXPECT_EQ(ColorBitsForScreenDepth(8), 8);
    EXPECT_EQ(ColorBitsForScreenDepth(16), 24);
    EXPECT_EQ(DisplayColorBits(), 24);
    EXPECT_TRUE(ThePalette().empty());
    EXPECT_TRUE(CopyPalette(MakeDisplayPalette()).empty());
    {
        ScopedDisplayColorBits eight(8);
        EXPECT_EQ(ThePalette().size(), 256u);
        EXPECT_EQ(CopyPalette(ThePalette()), ThePalette());
        EXPECT_TRUE(CopyPalette({}).empty());
    }
    EXPECT_TRUE(ThePalette().empty());
}

TEST(DisplayPalette, Lookups)
{
    TNetscapeColorLookup netscape;
    int r = 47, g = 48, b = 252;
    EXPECT_EQ(netscape.Lookup(r, g, b), 11);
    EXPECT_EQ(qRgb(r, g, b), qRgb(0, 51, 255));
    r = g = b = 255;
    EXPECT_EQ(netscape.Lookup(r, g, b), 215);

    TFastColorLookup display(MakeDisplayPalette());
    r = g = b = 255;
    const int white = display.Lookup(r, g, b);
    EXPECT_TRUE(white == 245 || white == 255) << white;
    EXPECT_TRUE(white < 10 || white > 224);
    r = 115, g = 55, b = 55;
    EXPECT_EQ(display.Lookup(r, g, b), 11);
}

TEST(DisplayPalette, EnginesScanAlternately)
{
    TFastColorLookup lookup(DefaultPalette20());
    TDitherEngine engine(5, lookup);
    EXPECT_EQ(engine.Column(), 0);
    for (int i = 0; i < 5; ++i)
        engine.Dither(10, 10, 10);
    engine.NextLine();
    EXPECT_EQ(engine.Direction(), -1);
    EXPECT_EQ(engine.Column(), 4);
    engine.NextLine();
    EXPECT_EQ(engine.Column(), 0);
}

TEST(DisplayPalette, ReductionKinds)
{
    const QImage picture = TestPicture(32, 24);
    const QImage copy = ReduceColors(picture, ReduceTo24Bit, DitherFloydSteinberg);
    EXPECT_EQ(copy.format(), QImage::Format_RGB888);
    EXPECT_EQ(copy.pixel(5, 5), picture.pixel(5, 5));

    const QImage unpainted = ReduceColors(picture, 2, DitherFloydSteinberg);
    EXPECT_EQ(unpainted.format(), QImage::Format_Indexed8);
    EXPECT_EQ(unpainted.size(), picture.size());
    EXPECT_EQ(unpainted.colorCount(), 0);

    // A flat colour of the palette comes back without noise, with either engine.
    QImage flat(16, 16, QImage::Format_RGB32);
    flat.fill(qRgb(165, 205, 115));
    for (int dither : {DitherNearest, DitherFloydSteinberg}) {
        const QImage reduced = ReduceColors(flat, ReduceToDisplay, dither);
        std::set<int> indexes;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                indexes.insert(reduced.pixelIndex(x, y));
        ASSERT_EQ(indexes.size(), 1u);
        EXPECT_EQ(reduced.color(*indexes.begin()), qRgb(165, 205, 115));
    }

    // Error diffusion keeps the mean of a colour between palette entries.
    QImage between(40, 40, QImage::Format_RGB32);
    between.fill(qRgb(100, 100, 100));
    const QImage dithered = ReduceColors(between, ReduceToSystem20, DitherFloydSteinberg);
    double sum = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            sum += qRed(dithered.pixel(x, y));
    EXPECT_NEAR(sum / 1600, 100, 6);
    const QImage nearest = ReduceColors(between, ReduceToSystem20, DitherNearest);
    EXPECT_EQ(nearest.pixel(0, 0), nearest.pixel(39, 39));

    const QImage cube = ReduceColors(picture, ReduceToCube216, DitherNearest);
    EXPECT_EQ(cube.colorCount(), 216);
}

TEST(DisplayPalette, OctreeQuantiser)
{
    QImage flat(10, 10, QImage::Format_RGB32);
    flat.fill(qRgb(17, 99, 201));
    const QImage reduced = ReduceColors(flat, ReduceToQuantized, DitherFloydSteinberg);
    EXPECT_EQ(reduced.color(10), qRgb(17, 99, 201));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(reduced.pixelIndex(x, y), 10);

    TColorQuantizer quantizer(236, 8);
    std::uint32_t state = 3;
    for (int i = 0; i < 20000; ++i) {
        state = state * 1664525u + 1013904223u;
        quantizer.AddColor(state >> 24, (state >> 16) & 0xFF, (state >> 8) & 0xFF);
        ASSERT_LE(quantizer.LeafCount(), 236);
    }
    EXPECT_LE(quantizer.Colors().size(), 236u);
    EXPECT_GT(quantizer.Colors().size(), 100u);
}

TEST(DisplayPalette, ForcedEightBitDisplayReducesLoadedPictures)
{
    PngSpec spec{20, 12, 2, 8};
    const std::string png = BuildPng(spec, PngSamples(spec, 2));
    const std::string jpeg = EncodeJpeg(TestPicture(20, 12), 90, false, false);
    {
        ScopedDisplayColorBits eight(8);
        for (const std::string* bytes : {&png, &jpeg}) {
            TMemoryStream stream(*bytes);
            TTransparencyKind kind = TTransparencyKind::NoTransparency;
            QImage mask;
            const QImage picture = DecodeImageStream(&stream, kind, mask);
            ASSERT_EQ(picture.format(), QImage::Format_Indexed8);
            EXPECT_EQ(picture.size(), QSize(20, 12));
            const TPalette& palette = ThePalette();
            const QList<QRgb> table = picture.colorTable();
            EXPECT_EQ(std::vector<QRgb>(table.begin(), table.end()), palette);
        }
    }
    {
        ScopedDisplayColorBits four(4);
        TMemoryStream stream(png);
        TTransparencyKind kind = TTransparencyKind::NoTransparency;
        QImage mask;
        const QImage picture = DecodeImageStream(&stream, kind, mask);
        EXPECT_EQ(picture.colorCount(), 20);
    }
    // On the true-colour display palette pictures come back as 32-bit pictures.
    PngSpec indexed{4, 4, 3, 4};
    indexed.Plte = std::string(3 * 16, '\x40');
    TMemoryStream stream(BuildPng(indexed, PngSamples(indexed, 1)));
    TTransparencyKind kind = TTransparencyKind::NoTransparency;
    QImage mask;
    EXPECT_EQ(DecodeImageStream(&stream, kind, mask).depth(), 32);
    EXPECT_TRUE(DitherBitmap(QImage()).isNull());
}
