// The GDI+ layer: small images stretched without faded edges, temporary files, bitmaps.
#include "html/base/image/GdiPlusBinding.h"
#include "platform/QtCanvas.h"
#include "platform/RecordingCanvas.h"
#include "platform/TestFont.h"
#include "tests/html/base/image/ImageTestSupport.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <filesystem>

using namespace velmoran;
using namespace imagetest;

TEST(GdiPlus, SmallImagesStretchWithoutFadedEdges)
{
    TGpBitmap dot(1, 1);
    dot.SetPixel(0, 0, qRgb(10, 120, 230));
    QImage target(60, 60, QImage::Format_ARGB32_Premultiplied);
    target.fill(qRgb(255, 255, 255));
    {
        QPainter painter(&target);
        QtCanvas canvas(&painter);
        StretchDrawGpImage(canvas, dot, 5, 5, 50, 50);
    }
    for (int y = 5; y < 55; ++y)
        for (int x = 5; x < 55; ++x)
            ASSERT_EQ(target.pixel(x, y), qRgb(10, 120, 230)) << x << "," << y;
    EXPECT_EQ(target.pixel(4, 4), qRgb(255, 255, 255));
    EXPECT_EQ(target.pixel(55, 55), qRgb(255, 255, 255));

    // 20 × 5 heightened to 40: the bottom rows repeat the last row exactly.
    TGpBitmap strip(20, 5);
    for (int x = 0; x < 20; ++x)
        for (int y = 0; y < 5; ++y)
            strip.SetPixel(x, y, qRgb(x * 10, y * 50, 0));
    QImage tall(20, 40, QImage::Format_ARGB32_Premultiplied);
    tall.fill(0);
    {
        QPainter painter(&tall);
        QtCanvas canvas(&painter);
        StretchDrawGpImage(canvas, strip, 0, 0, 20, 40);
    }
    EXPECT_EQ(tall.pixel(19, 39), qRgb(190, 200, 0));
    EXPECT_EQ(tall.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(strip.GetPixel(3, 2), qRgb(30, 100, 0));
    EXPECT_EQ(strip.GetPixel(99, 2), 0u);
}

TEST(GdiPlus, GraphicsOperations)
{
    TGpBitmap canvas(10, 10);
    {
        TGpGraphics graphics(canvas);
        graphics.Clear(qRgba(0, 0, 255, 255));
    }
    EXPECT_EQ(canvas.GetPixel(9, 9), qRgb(0, 0, 255));
    TGpBitmap red(2, 2);
    for (int i = 0; i < 4; ++i)
        red.SetPixel(i % 2, i / 2, qRgb(255, 0, 0));
    {
        QPainter painter(&canvas.Image());
        QtCanvas onImage(&painter);
        DrawGpImage(onImage, red, 1, 1);
    }
    EXPECT_EQ(canvas.GetPixel(2, 2), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.GetPixel(3, 3), qRgb(0, 0, 255));
    {
        QPainter painter(&canvas.Image());
        QtCanvas onImage(&painter);
        DrawGpImageAtScale(onImage, red, 2, 2, 3, 3);
    }
    EXPECT_EQ(canvas.GetPixel(9, 9), qRgb(255, 0, 0));
    {
        TGpGraphics graphics(canvas);
        graphics.Clear(qRgb(0, 0, 0));
        graphics.DrawImagePart(red, 0, 0, 1, 1, 1, 1);
    }
    EXPECT_EQ(canvas.GetPixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.GetPixel(1, 1), qRgb(0, 0, 0));
    EXPECT_EQ(red.ToBitmap().pixel(1, 1), qRgb(255, 0, 0));

    QImage print(4, 4, QImage::Format_RGB32);
    TGpBitmap clear(2, 2);
    {
        QPainter painter(&print);
        QtCanvas onPrint(&painter);
        DrawGpImageViaBitmap(onPrint, clear, 0, 0, 4, 4, qRgb(7, 8, 9));
    }
    EXPECT_EQ(print.pixel(3, 3), qRgb(7, 8, 9));

    // Onto the canvas the shortcuts stretch smoothly and leave its stretch mode alone; a small
    // image enlarged comes stretched already.
    TestFontEngine fonts;
    RecordingCanvas recording(fonts);
    DrawGpImageScaled(recording, red, 2, 2, 1, 1, 20, 20);
    DrawGpImagePart(recording, red, QRect(0, 0, 4, 4), QRect(1, 0, 1, 2));
    EXPECT_EQ(recording.GetStretchBltMode(), StretchMode::BlackOnWhite);
    EXPECT_EQ(recording.Lines(), (std::vector<std::string>{"StretchBlt 2,2,42,42 from 0,0,40,40 of 40x40 alpha",
                                                          "StretchMode halftone",
                                                          "StretchBlt 0,0,4,4 from 1,0,2,2 of 2x2 alpha"}));
}

TEST(GdiPlus, FilesAndTheirErrors)
{
    const std::string dir = std::string(VELMORAN_ARTIFACTS) + "/image";
    try {
        TGpImage missing(dir + "/none.png", false);
        ADD_FAILURE();
    } catch (const EGDIPlus& e) {
        EXPECT_EQ(e.Message(), "Image file " + dir + "/none.png not found.");
    }
    WriteFile(dir + "/junk.png", "not a picture at all");
    try {
        TGpImage junk(dir + "/junk.png", false);
        ADD_FAILURE();
    } catch (const EGDIPlus& e) {
        EXPECT_EQ(e.Message(), "Can't load image file " + dir + "/junk.png.");
    }
    PngSpec spec{3, 2, 2, 8};
    WriteFile(dir + "/temp.png", BuildPng(spec, PngSamples(spec, 1)));
    {
        TGpImage temp(dir + "/temp.png", true);
        EXPECT_EQ(temp.Width(), 3);
        EXPECT_EQ(temp.Height(), 2);
    }
    EXPECT_FALSE(std::filesystem::exists(dir + "/temp.png"));
}
