// Tests of the preview's recorded page: it measures as the printer does, and a page replayed
// small lands where the printer would have put it on the whole sheet.
#include "tests/support/TestApp.h"

#include "platform/MetafilePage.h"
#include "platform/QtCanvas.h"

#include <QDir>
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

// --- text on a recorded page --------------------------------------------------------------------

// A sheet at 150 dpi, 4 by 2 inches, printable from 10 pixels in.
PrinterMeasures SmallSheet()
{
    PrinterMeasures m;
    m.PhysicalWidth = 600;
    m.PhysicalHeight = 300;
    m.OffsetX = m.OffsetY = 10;
    m.PageWidth = 580;
    m.PageHeight = 280;
    m.DpiX = m.DpiY = 150;
    return m;
}

// Text as the print run draws it: logical units of a 96 ppi screen mapped onto the printer's pixels,
// several faces, an underline, a justified line, a letter-spaced word, characters Latin-1 lacks and
// pairs a font could join into one glyph.
int DrawText(Canvas& canvas)
{
    canvas.SetMapMode(MapMode::Anisotropic);
    canvas.SetWindowExt(96, 96);
    canvas.SetViewportExt(150, 150);
    canvas.SetBkMode(BkMode::Transparent);
    LogicalFont font;
    font.Face = "Arial";
    font.Height = -13;
    canvas.SetFont(font);
    const std::u16string lines[] = {u"Belebungsbecken mit vorgeschalteter Denitrifikation",
                                    u"Schlammalter 25,0 d; Größe ΩΔ – fi fl ffi שָׁלוֹם עולם"};
    canvas.TextOut(10, 10, lines[0]);
    font.Face = "Times New Roman";
    font.Height = -16;
    font.Weight = 700;
    font.Underline = true;
    canvas.SetFont(font);
    canvas.TextOut(10, 35, lines[1]);
    font = LogicalFont{};
    font.Face = "Courier New";
    font.Height = -12;
    canvas.SetFont(font);
    canvas.SetTextJustification(60, 4);
    canvas.TextOut(10, 65, u"ein Satz mit vier Lücken");
    canvas.SetTextJustification(0, 0);
    canvas.SetTextCharacterExtra(3);
    canvas.TextOut(10, 90, u"gesperrt");
    canvas.SetTextCharacterExtra(0);
    return static_cast<int>(lines[0].size() + lines[1].size()) + 24 + 8;
}

QImage PaintedDirectly(const PrinterMeasures& m)
{
    QImage image(m.PhysicalWidth, m.PhysicalHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(m.OffsetX, m.OffsetY);
    QtCanvas canvas(&painter);
    DrawText(canvas);
    return image;
}

// Pixels that are dark in one picture and light in the other.
int Differing(const QImage& a, const QImage& b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += (qGray(a.pixel(x, y)) < 128) != (qGray(b.pixel(x, y)) < 128);
    return count;
}

int DarkPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qGray(image.pixel(x, y)) < 128;
    return count;
}

// A recorded page keeps its text as text, so it costs a few bytes a character (as outlines it would
// be some 700), packed still less, and its replay shows every character where painting it directly
// puts it: only the edges of glyphs may differ by antialiasing.
TEST(MetafilePage, TextKeptAsTextReplaysAsItPaints)
{
    testing::App();
    const PrinterMeasures m = SmallSheet();
    MetafilePage page(m);
    int characters = 0;
    {
        QPainter painter(&page);
        QtCanvas canvas(&painter);
        characters = DrawText(canvas);
    }
    EXPECT_LT(page.size(), 60u * static_cast<unsigned>(characters));
    EXPECT_EQ(page.Bytes(), static_cast<qsizetype>(page.size()));
    const QImage unpacked = Replayed(page, QSize(m.PhysicalWidth, m.PhysicalHeight));
    // Packed, the page keeps less and shows the same.
    const qsizetype recorded = page.Bytes();
    page.Pack();
    EXPECT_LT(page.Bytes(), recorded / 2);

    const QImage direct = PaintedDirectly(m);
    const QImage replayed = Replayed(page, QSize(m.PhysicalWidth, m.PhysicalHeight));
    EXPECT_EQ(replayed, unpacked);
    const QString artifacts = QStringLiteral(VELMORAN_ARTIFACTS);
    QDir().mkpath(artifacts);
    direct.save(artifacts + "/metafile-text-direct.png");
    replayed.save(artifacts + "/metafile-text-replayed.png");
    const int dark = DarkPixels(direct);
    ASSERT_GT(dark, 2000);
    EXPECT_NEAR(DarkPixels(replayed), dark, dark / 20);
    EXPECT_LT(Differing(direct, replayed), dark / 20);
}

}  // namespace
}  // namespace velmoran
