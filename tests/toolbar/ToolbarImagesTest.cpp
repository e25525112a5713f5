// The shared toolbar pictures: one list for the whole program, every named picture present with
// its mask, and the disabled look drawn embossed.
#include "platform/QtCanvas.h"
#include "platform/SystemColors.h"
#include "toolbar/ToolbarImages.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <set>
#include <string>

namespace velmoran {
namespace {

TEST(ToolbarImages, OneListWithEveryNamedPicture)
{
    TBarCustomImageList& list = ToolbarImages();
    EXPECT_EQ(&list, &ToolbarImages());
    EXPECT_EQ(list.Width(), 16);
    EXPECT_EQ(list.Height(), 16);
    ASSERT_EQ(list.Count(), static_cast<int>(ToolbarImage::Count));
    // The preview window's and the template buttons' pictures are among them, each with a name.
    EXPECT_LT(ImageIndexOf(ToolbarImage::HandTool), list.Count());
    EXPECT_LT(ImageIndexOf(ToolbarImage::PrintTemplate), list.Count());
    std::set<std::string> names;
    for (int i = 0; i < list.Count(); ++i)
        names.insert(ToolbarImageName(static_cast<ToolbarImage>(i)));
    EXPECT_EQ(names.size(), static_cast<std::size_t>(list.Count()));
    EXPECT_EQ(names.count(""), 0u);
}

TEST(ToolbarImages, EveryPictureHasItsMaskAndSomethingToShow)
{
    TBarCustomImageList& list = ToolbarImages();
    for (int i = 0; i < list.Count(); ++i) {
        const QImage image = list.Image(i);
        int transparent = 0;
        int opaque = 0;
        int magenta = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                if (qAlpha(pixel) == 0) {
                    ++transparent;
                    continue;
                }
                ++opaque;
                magenta += (pixel & 0xFFFFFF) == 0xFF00FF;
            }
        const char* name = ToolbarImageName(static_cast<ToolbarImage>(i));
        EXPECT_GT(transparent, 0) << name;
        EXPECT_GT(opaque, 10) << name;
        EXPECT_EQ(magenta, 0) << name;
    }
}

TEST(ToolbarImages, DisabledPicturesAreEmbossed)
{
    QImage image(16, 16, QImage::Format_RGB32);
    const QColor face = ToQColor(SystemColor(COLOR_BTNFACE));
    image.fill(face);
    {
        QPainter painter(&image);
        QtCanvas canvas(&painter);
        ToolbarImages().Draw(canvas, 0, 0, ImageIndexOf(ToolbarImage::Save), false);
    }
    // Only button face, highlight and shadow remain: no colour of the picture itself.
    const std::set<QRgb> allowed = {face.rgb(), ToQColor(SystemColor(COLOR_BTNHIGHLIGHT)).rgb(),
                                    ToQColor(SystemColor(COLOR_BTNSHADOW)).rgb()};
    int shadow = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const QRgb pixel = image.pixel(x, y);
            EXPECT_TRUE(allowed.count(pixel)) << x << "," << y;
            shadow += pixel == ToQColor(SystemColor(COLOR_BTNSHADOW)).rgb();
        }
    EXPECT_GT(shadow, 10);
}

}  // namespace
}  // namespace velmoran
