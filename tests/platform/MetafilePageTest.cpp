// Tests of the preview's recorded page: it measures as the printer does, and a page replayed
// small lands where the printer would have put it on the whole sheet.
#include "tests/support/TestApp.h"

#include "platform/MetafilePage.h"
#include "platform/QtCanvas.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace velmoran {
namespace {

// An A4 sheet at 300 dpi whose printable area starts 60 and 80 pixels in.
PrinterMeasures Sheet()
{
    PrinterMeasures m;
    m.PhysicalWidth = 2480;
    m.PhysicalHeight = 3510;
    m.OffsetX = 60;
    m.OffsetY = 80;
    m.PageWidth = 2360;
    m.PageHeight = 3350;
    m.DpiX = 300;
    m.DpiY = 300;
    return m;
}

QImage Replayed(const MetafilePage& page, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    page.Replay(painter, QRect(QPoint(0, 0), size));
    return image;
}

bool Black(const QImage& image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 64;
}

TEST(MetafilePage, MeasuresAsThePrinter)
{
    testing::App();
    MetafilePage page(Sheet());
    // What the print run measures its page with: the printer's resolution and printable area.
    EXPECT_EQ(page.width(), 2360);
    EXPECT_EQ(page.height(), 3350);
    EXPECT_EQ(page.logicalDpiX(), 300);
    EXPECT_EQ(page.logicalDpiY(), 300);
    QPainter painter(&page);
    QtCanvas canvas(&painter);
    EXPECT_EQ(canvas.GetDeviceCaps(LOGPIXELSY), 300);
    EXPECT_EQ(canvas.GetDeviceCaps(HORZRES), 2360);
}

TEST(MetafilePage, ReplayedAtATenthTheRectangleSitsAtItsPlaceOnTheSheet)
{
    testing::App();
    MetafilePage page(Sheet());
    {
        QPainter painter(&page);
        QtCanvas canvas(&painter);
        canvas.SelectPen(Pen{PenStyle::Solid, 0, 0});
        canvas.SelectBrush(Brush{BrushStyle::Solid, 0});
        // Printable-area pixels 100..600 × 200..700: sheet pixels 160..660 × 280..780.
        canvas.Rectangle(100, 200, 600, 700);
    }
    const QImage image = Replayed(page, QSize(248, 351));
    EXPECT_TRUE(Black(image, 17, 29));
    EXPECT_TRUE(Black(image, 64, 76));
    EXPECT_TRUE(Black(image, 40, 50));
    // Not where the recording's own origin would put it without the offsets.
    EXPECT_FALSE(Black(image, 12, 50));
    EXPECT_FALSE(Black(image, 40, 24));
    EXPECT_FALSE(Black(image, 68, 50));
    EXPECT_FALSE(Black(image, 40, 80));
}

TEST(MetafilePage, ASheetOfNoSizeDrawsNothing)
{
    testing::App();
    MetafilePage page{PrinterMeasures{}};
    {
        QPainter painter(&page);
        painter.fillRect(QRect(0, 0, 50, 50), Qt::black);
    }
    const QImage image = Replayed(page, QSize(40, 40));
    EXPECT_FALSE(Black(image, 5, 5));
}

}  // namespace
}  // namespace velmoran
