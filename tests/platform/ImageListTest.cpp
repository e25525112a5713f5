// The image list: a strip cut into images whose mask colour became alpha, the disabled look,
// change notification to registered links, and the free notification of a QPointer.
#include "platform/ImageList.h"
#include "platform/QtCanvas.h"
#include "platform/RecordingCanvas.h"
#include "platform/TestFont.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPointer>

#include <memory>

using namespace velmoran;

namespace {

constexpr QRgb kMagenta = 0xFFFF00FF;

// Two 8x8 images: the first all mask colour but one red pixel, the second a black square.
QImage Strip()
{
    QImage strip(16, 8, QImage::Format_RGB32);
    strip.fill(kMagenta);
    strip.setPixel(2, 3, 0xFFFF0000);
    for (int y = 2; y < 6; ++y)
        for (int x = 10; x < 14; ++x)
            strip.setPixel(x, y, 0xFF000000);
    return strip;
}

QImage DrawOnWhite(const ImageList& list, int index, bool enabled)
{
    QImage image(12, 12, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QtCanvas canvas(&painter);
    list.Draw(canvas, 1, 1, index, enabled);
    return image;
}

}  // namespace

TEST(ImageList, MaskColourBecomesAlpha)
{
    ImageList list(8, 8);
    EXPECT_EQ(list.AddMasked(Strip(), 0xFF00FF), 0);
    ASSERT_EQ(list.Count(), 2);
    const QImage first = list.Image(0);
    EXPECT_EQ(qAlpha(first.pixel(0, 0)), 0);
    EXPECT_EQ(first.pixel(2, 3), 0xFFFF0000u);
    EXPECT_EQ(list.Image(1).pixel(2, 2), 0xFF000000u);
    EXPECT_TRUE(list.Image(2).isNull());
    EXPECT_EQ(list.AddMasked(QImage(4, 8, QImage::Format_RGB32), 0), -1);

    // Drawn, the transparent pixels leave the background.
    const QImage drawn = DrawOnWhite(list, 0, true);
    EXPECT_EQ(drawn.pixel(1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(drawn.pixel(3, 4), 0xFFFF0000u);
}

TEST(ImageList, DisabledDrawingIsEmbossed)
{
    ImageList list(8, 8);
    list.AddMasked(Strip(), 0xFF00FF);
    const QImage normal = DrawOnWhite(list, 1, true);
    const QImage disabled = DrawOnWhite(list, 1, false);
    EXPECT_EQ(normal.pixel(3, 3), 0xFF000000u);
    EXPECT_EQ(disabled.pixel(3, 3), 0xFF808080u);  // the shape in the shadow colour
    EXPECT_EQ(disabled.pixel(7, 7), 0xFFFFFFFFu);  // its highlight one pixel right and down
    EXPECT_EQ(disabled.pixel(8, 8), 0xFFFFFFFFu);  // beyond: the background
    EXPECT_NE(normal, disabled);
}

TEST(ImageList, ChangesReachLiveLinksAndADestroyedListClearsItsPointers)
{
    auto list = std::make_unique<ImageList>(8, 8);
    QPointer<ImageList> reference(list.get());
    int told = 0;
    auto link = std::make_unique<QObject>();
    list->RegisterChanges(link.get(), [&] { ++told; });
    list->AddMasked(Strip(), 0xFF00FF);
    list->Delete(0);
    EXPECT_EQ(told, 2);
    link.reset();
    list->Clear();
    EXPECT_EQ(told, 2);
    auto other = std::make_unique<QObject>();
    list->RegisterChanges(other.get(), [&] { ++told; });
    list->UnRegisterChanges(other.get());
    list->Clear();
    EXPECT_EQ(told, 2);
    list.reset();
    EXPECT_TRUE(reference.isNull());
}
