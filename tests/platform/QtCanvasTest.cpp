// The Qt canvas on images, pictures and PDF: text on its baseline at exactly the measured
// advances, opaque and clipped text, pens, brushes and shapes pixel by pixel, clipping with save
// and restore, masked pictures by alpha, the focus rectangle, and the mapping used for printing.
#include "platform/QtCanvas.h"
#include "platform/SystemColors.h"
#include "platform/TestFont.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPicture>

using namespace velmoran;

namespace {

LogicalFont Font(const char* face, int height, int weight = 400)
{
    LogicalFont f;
    f.Face = face;
    f.Height = height;
    f.Weight = weight;
    return f;
}

QImage White(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

bool Dark(const QImage& image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 128;
}

// The box of all pixels that differ from white (left, top, right, bottom exclusive).
TRect InkBox(const QImage& image)
{
    TRect box{image.width(), image.height(), 0, 0};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                box.Left = std::min(box.Left, x);
                box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1);
                box.Bottom = std::max(box.Bottom, y + 1);
            }
    return box;
}

QRgb Rgb(int r, int g, int b)
{
    return qRgb(r, g, b);
}

}  // namespace

TEST(QtCanvas, TextStandsOnItsBaselineAndEndsAtTheMeasuredExtent)
{
    QImage image = White(300, 80);
    int extent = 0;
    {
        QPainter painter(&image);
        QtCanvas c(&painter);
        c.SetFont(Font("Arial", -40));
        c.SetBkMode(BkMode::Transparent);
        c.SetTextAlign(TA_BASELINE | TA_UPDATECP);
        c.MoveTo(10, 50);
        c.TextOut(0, 0, u"HHH");
        extent = c.TextExtent(u"HHH").cx;
        EXPECT_EQ(c.GetCurrentPosition().X, 10 + extent);
    }
    const TRect ink = InkBox(image);
    EXPECT_EQ(ink.Bottom, 50);  // H sits on the baseline
    EXPECT_GE(ink.Left, 10);
    EXPECT_LE(ink.Right, 10 + extent);
    EXPECT_GT(ink.Right, 10 + extent - 10);
    EXPECT_NEAR(ink.Top, 50 - 29, 3);  // the cap height of a 40-pixel sans face

    // Top alignment puts the ascent below the point, bottom alignment the descent above it.
    QImage top = White(300, 80);
    QImage bottom = White(300, 80);
    TextMetrics m;
    {
        QPainter p1(&top);
        QtCanvas c1(&p1);
        c1.SetFont(Font("Arial", -40));
        m = c1.GetTextMetrics();
        c1.TextOut(10, 50 - m.Ascent, u"HHH");
        QPainter p2(&bottom);
        QtCanvas c2(&p2);
        c2.SetFont(Font("Arial", -40));
        c2.SetTextAlign(TA_BOTTOM);
        c2.TextOut(10, 50 + m.Descent, u"HHH");
    }
    EXPECT_EQ(top, image);
    EXPECT_EQ(bottom, image);
}

TEST(QtCanvas, PiecesDrawnOneAfterAnotherMatchTheWholeText)
{
    for (const char* face : {"Arial", "Times New Roman", "Courier New"}) {
        QImage whole = White(500, 40);
        QImage pieces = White(500, 40);
        const std::u16string text = u"AVAVA Wasserstoff, To. LT fi ffi Öl";
        {
            QPainter painter(&whole);
            QtCanvas c(&painter);
            c.SetFont(Font(face, -16));
            c.SetBkMode(BkMode::Transparent);
            c.SetTextAlign(TA_BASELINE | TA_UPDATECP);
            c.MoveTo(3, 25);
            c.TextOut(0, 0, text);
        }
        {
            QPainter painter(&pieces);
            QtCanvas c(&painter);
            c.SetFont(Font(face, -16));
            c.SetBkMode(BkMode::Transparent);
            c.SetTextAlign(TA_BASELINE | TA_UPDATECP);
            c.MoveTo(3, 25);
            for (std::size_t i = 0; i < text.size(); i += 4)
                c.TextOut(0, 0, std::u16string_view(text).substr(i, 4));
            EXPECT_EQ(c.GetCurrentPosition().X, 3 + c.TextExtent(text).cx);
        }
        EXPECT_EQ(whole, pieces) << face;
    }
}

TEST(QtCanvas, LetterSpacingJustificationAndTheTestFontPlaceCharacters)
{
    // With the test font the advances are 20 pixels; the face drawn is the real one.
    TestFontEngine test;
    ScopedScreenFonts scoped(test);
    QImage image = White(300, 60);
    {
        QPainter painter(&image);
        QtCanvas c(&painter);
        c.SetFont(Font("Courier New", -40));
        c.SetBkMode(BkMode::Transparent);
        c.SetTextAlign(TA_BASELINE);
        c.SetTextCharacterExtra(5);
        c.SetTextJustification(30, 1);
        c.TextOut(0, 45, u"I I");  // I at 0 and at 25 + 25 + 30
    }
    // Each I is drawn within its own cell.
    auto columnHasInk = [&](int from, int to) {
        for (int x = from; x < to; ++x)
            for (int y = 0; y < 60; ++y)
                if (Dark(image, x, y))
                    return true;
        return false;
    };
    EXPECT_TRUE(columnHasInk(0, 25));
    EXPECT_FALSE(columnHasInk(25, 80));
    EXPECT_TRUE(columnHasInk(80, 105));
    EXPECT_FALSE(columnHasInk(105, 300));
}

TEST(QtCanvas, OpaqueUnderlinedAndClippedText)
{
    TestFontEngine test;
    ScopedScreenFonts scoped(test);
    QImage image = White(200, 60);
    {
        QPainter painter(&image);
        QtCanvas c(&painter);
        LogicalFont f = Font("Arial", -20);
        f.Underline = true;
        c.SetFont(f);
        c.SetBkColor(RGBRef(255, 255, 0));
        c.SetTextColor(RGBRef(0, 0, 255));
        c.TextOut(10, 5, u"ab");  // cell 10..30 x 5..25, opaque by default
        const TRect box{100, 0, 115, 30};
        c.SetBkMode(BkMode::Transparent);
        c.ExtTextOut(100, 5, ETO_CLIPPED | ETO_OPAQUE, &box, u"WWWW");
    }
    EXPECT_EQ(image.pixel(10, 5), Rgb(255, 255, 0));
    EXPECT_EQ(image.pixel(29, 24), Rgb(255, 255, 0));
    EXPECT_EQ(image.pixel(30, 24), Rgb(255, 255, 255));
    EXPECT_EQ(image.pixel(9, 5), Rgb(255, 255, 255));
    // The underline runs along the whole extent, below the baseline (20).
    bool underline = false;
    for (int y = 20; y < 25; ++y)
        underline = underline || (image.pixel(10, y) == Rgb(0, 0, 255) && image.pixel(29, y) == Rgb(0, 0, 255));
    EXPECT_TRUE(underline);
    // The clipped text fills its box and nothing beyond.
    EXPECT_EQ(image.pixel(100, 0), Rgb(255, 255, 0));
    EXPECT_EQ(image.pixel(114, 29), Rgb(255, 255, 0));
    for (int y = 0; y < 60; ++y)
        for (int x = 115; x < 200; ++x)
            ASSERT_EQ(image.pixel(x, y), Rgb(255, 255, 255)) << x << "," << y;
}

TEST(QtCanvas, LinesRectanglesAndShapesPixelByPixel)
{
    QImage image = White(100, 100);
    {
        QPainter painter(&image);
        QtCanvas c(&painter);
        c.MoveTo(10, 5);
        c.LineTo(20, 5);  // pixels 10..19
        c.LineTo(20, 0);  // pixels 5..1 of column 20
        c.SelectPen({PenStyle::Solid, 3, RGBRef(255, 0, 0)});
        c.MoveTo(30, 10);
        c.LineTo(60, 10);  // rows 9..11
        c.SelectPen({PenStyle::Solid, 1, 0});
        c.SelectBrush({BrushStyle::Solid, RGBRef(0, 255, 0)});
        c.Rectangle(10, 20, 20, 30);  // frame 10..19 x 20..29, green inside
        c.SelectPen({PenStyle::Null});
        c.Rectangle(30, 20, 40, 30);  // the null pen fills 30..38 x 20..28
        c.SelectPen({PenStyle::Solid, 3, RGBRef(0, 0, 255)});
        c.SelectBrush({BrushStyle::Null});
        c.Rectangle(50, 20, 60, 30);  // 3 pixels centred on the outermost ones: 49..51 and 58..60
        c.SelectPen({PenStyle::Null});
        c.SelectBrush({BrushStyle::Solid, 0});
        c.Polygon({{10, 40}, {30, 40}, {30, 60}, {10, 60}});
        c.Ellipse({40, 40, 61, 61});
        c.SelectPen({PenStyle::Dot, 0, 0});
        c.MoveTo(10, 70);
        c.LineTo(50, 70);
        c.SelectPen({PenStyle::Solid, 1, 0});
        c.MoveTo(70, 70);
        c.LineTo(75, 75);  // a diagonal also leaves out its end pixel
    }
    EXPECT_EQ(image.pixel(70, 70), Rgb(0, 0, 0));
    EXPECT_EQ(image.pixel(74, 74), Rgb(0, 0, 0));
    EXPECT_EQ(image.pixel(75, 75), Rgb(255, 255, 255));
    EXPECT_EQ(image.pixel(9, 5), Rgb(255, 255, 255));
    EXPECT_EQ(image.pixel(10, 5), Rgb(0, 0, 0));
    EXPECT_EQ(image.pixel(19, 5), Rgb(0, 0, 0));
    EXPECT_EQ(image.pixel(20, 5), Rgb(0, 0, 0));  // drawn by the second line
    EXPECT_EQ(image.pixel(20, 1), Rgb(0, 0, 0));
    EXPECT_EQ(image.pixel(20, 0), Rgb(255, 255, 255));
    EXPECT_EQ(image.pixel(21, 5), Rgb(255, 255, 255));
    for (int y : {9, 10, 11})
        EXPECT_EQ(image.pixel(45, y), Rgb(255, 0, 0)) << y;
    EXPECT_EQ(image.pixel(45, 8), Rgb(255, 255, 255));
    EXPECT_EQ(image.pixel(45, 12), Rgb(255, 255, 255));

    EXPECT_EQ(image.pixel(10, 20), Rgb(0, 0, 0));
    EXPECT_EQ(image.pixel(19, 29), Rgb(0, 0, 0));
    EXPECT_EQ(image.pixel(11, 21), Rgb(0, 255, 0));
    EXPECT_EQ(image.pixel(18, 28), Rgb(0, 255, 0));
    EXPECT_EQ(image.pixel(20, 29), Rgb(255, 255, 255));
    EXPECT_EQ(image.pixel(30, 20), Rgb(0, 255, 0));
    EXPECT_EQ(image.pixel(38, 28), Rgb(0, 255, 0));
    EXPECT_EQ(image.pixel(39, 28), Rgb(255, 255, 255));
    EXPECT_EQ(image.pixel(38, 29), Rgb(255, 255, 255));
    EXPECT_EQ(image.pixel(49, 19), Rgb(0, 0, 255));
    EXPECT_EQ(image.pixel(51, 21), Rgb(0, 0, 255));
    EXPECT_EQ(image.pixel(52, 22), Rgb(255, 255, 255));
    EXPECT_EQ(image.pixel(60, 30), Rgb(0, 0, 255));
    EXPECT_EQ(image.pixel(61, 31), Rgb(255, 255, 255));

    EXPECT_EQ(image.pixel(10, 40), Rgb(0, 0, 0));
    EXPECT_EQ(image.pixel(29, 59), Rgb(0, 0, 0));
    EXPECT_EQ(image.pixel(30, 50), Rgb(255, 255, 255));
    EXPECT_EQ(image.pixel(50, 50), Rgb(0, 0, 0));
    EXPECT_EQ(image.pixel(41, 41), Rgb(255, 255, 255));  // outside the circle
    // A dotted line has gaps.
    int dark = 0;
    for (int x = 10; x < 50; ++x)
        dark += Dark(image, x, 70) ? 1 : 0;
    EXPECT_GT(dark, 5);
    EXPECT_LT(dark, 35);
}

TEST(QtCanvas, ClippingSavedAndRestoredInsideThePaintersOwnClip)
{
    QImage image = White(100, 100);
    QPainter painter(&image);
    painter.setClipRect(QRect(0, 0, 80, 100));  // the device's own clip
    {
        QtCanvas c(&painter);
        EXPECT_EQ(c.GetClipBox(), (TRect{0, 0, 80, 100}));
        c.SaveDC();
        c.IntersectClipRect({10, 10, 50, 50});
        c.ExcludeClipRect({20, 20, 30, 30});
        c.FillRect({0, 0, 100, 100}, RGBRef(255, 0, 0));
        c.RestoreDC(-1);
        c.FillRect({0, 90, 100, 100}, RGBRef(0, 0, 255));  // only the device's clip
        Region region(TRect{60, 0, 100, 10});
        c.SelectClipRgn(&region);
        c.FillRect({0, 0, 100, 100}, RGBRef(0, 255, 0));
        c.SetMapMode(MapMode::Anisotropic);
        c.SetViewportExt(2, 2);
    }
    // The canvas hands the painter back with its own clip and transform.
    EXPECT_EQ(painter.clipRegion(), QRegion(0, 0, 80, 100));
    EXPECT_TRUE(painter.worldTransform().isIdentity());
    painter.end();
    EXPECT_EQ(image.pixel(9, 9), Rgb(255, 255, 255));
    EXPECT_EQ(image.pixel(10, 10), Rgb(255, 0, 0));
    EXPECT_EQ(image.pixel(49, 49), Rgb(255, 0, 0));
    EXPECT_EQ(image.pixel(50, 49), Rgb(255, 255, 255));
    EXPECT_EQ(image.pixel(25, 25), Rgb(255, 255, 255));
    EXPECT_EQ(image.pixel(79, 95), Rgb(0, 0, 255));
    EXPECT_EQ(image.pixel(80, 95), Rgb(255, 255, 255));
    EXPECT_EQ(image.pixel(60, 0), Rgb(0, 255, 0));
    EXPECT_EQ(image.pixel(79, 9), Rgb(0, 255, 0));
    EXPECT_EQ(image.pixel(85, 5), Rgb(255, 255, 255));
    EXPECT_EQ(image.pixel(60, 10), Rgb(255, 255, 255));
}

TEST(QtCanvas, AClipSetAfterTheClipWasRemovedStillClips)
{
    // A clip, then none, then a clip again: the second clip must hold as the first did.
    QImage image = White(40, 20);
    {
        QPainter painter(&image);
        QtCanvas c(&painter);
        c.SaveDC();
        c.ExcludeClipRect({0, 0, 10, 20});
        c.RestoreDC(-1);
        c.SaveDC();
        c.ExcludeClipRect({20, 5, 30, 15});
        c.FillRect({0, 0, 40, 20}, RGBRef(255, 0, 0));
        c.RestoreDC(-1);
    }
    EXPECT_EQ(image.pixel(5, 5), Rgb(255, 0, 0));
    EXPECT_EQ(image.pixel(25, 10), Rgb(255, 255, 255));
    EXPECT_EQ(image.pixel(35, 10), Rgb(255, 0, 0));
}

TEST(QtCanvas, MaskedPicturesComposeByAlpha)
{
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.fill(qRgb(200, 0, 0));
    QImage mask(2, 2, QImage::Format_Mono);
    mask.setColor(0, qRgb(0, 0, 0));
    mask.setColor(1, qRgb(255, 255, 255));
    mask.fill(0);
    mask.setPixel(1, 1, 1);  // transparent
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(qRgb(0, 0, 90));
    {
        QPainter painter(&image);
        QtCanvas c(&painter);
        c.MaskedStretchBlt({0, 0, 20, 20}, picture, mask);
        const TRect lower{0, 1, 2, 2};
        c.StretchBlt({20, 0, 40, 10}, picture, &lower);
    }
    EXPECT_EQ(image.pixel(0, 0), qRgb(200, 0, 0));
    EXPECT_EQ(image.pixel(19, 9), qRgb(200, 0, 0));
    EXPECT_EQ(image.pixel(10, 10), qRgb(0, 0, 90));
    EXPECT_EQ(image.pixel(19, 19), qRgb(0, 0, 90));
    EXPECT_EQ(image.pixel(9, 19), qRgb(200, 0, 0));
    EXPECT_EQ(image.pixel(39, 9), qRgb(200, 0, 0));
    EXPECT_EQ(image.pixel(39, 10), qRgb(0, 0, 90));
    // Pictures with an alpha channel compose over what is there.
    QImage half(1, 1, QImage::Format_ARGB32);
    half.fill(qRgba(255, 255, 255, 0));
    {
        QPainter painter(&image);
        QtCanvas c(&painter);
        c.StretchBlt({0, 0, 40, 20}, half);
    }
    EXPECT_EQ(image.pixel(19, 19), qRgb(0, 0, 90));
}

TEST(QtCanvas, FocusRectangleInvertsAndTwiceRestores)
{
    QImage image = White(30, 30);
    const QImage before = image;
    {
        QPainter painter(&image);
        QtCanvas c(&painter);
        c.DrawFocusRect({5, 5, 25, 15});
    }
    EXPECT_EQ(image.pixel(5, 5), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(6, 5), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(15, 15), qRgb(255, 255, 255));
    EXPECT_EQ(InkBox(image), (TRect{5, 5, 25, 15}));
    {
        QPainter painter(&image);
        QtCanvas c(&painter);
        c.DrawFocusRect({5, 5, 25, 15});
    }
    EXPECT_EQ(image, before);
}

TEST(QtCanvas, MappingForPrintingScalesDrawingTextAndClip)
{
    // A "printer" at twice the screen's resolution: one logical unit is two device pixels.
    QImage page = White(400, 200);
    QImage screen = White(200, 100);
    for (QImage* target : {&page, &screen}) {
        QPainter painter(target);
        QtCanvas c(&painter);
        if (target == &page) {
            c.SetMapMode(MapMode::Anisotropic);
            c.SetWindowExt(96, 96);
            c.SetViewportExt(192, 192);
        }
        c.SetWindowOrg(0, -10);  // document y 0 lands at logical 10
        c.IntersectClipRect({0, 0, 150, 80});
        c.FillRect({10, 10, 20, 20}, RGBRef(255, 0, 0));
        c.FillRect({140, 0, 160, 5}, RGBRef(0, 255, 0));  // cut at 150
        c.SetFont(Font("Arial", -20));
        c.SetBkMode(BkMode::Transparent);
        c.SetTextAlign(TA_BASELINE);
        c.TextOut(30, 40, u"HH");
    }
    EXPECT_EQ(page.pixel(20, 40), qRgb(255, 0, 0));
    EXPECT_EQ(page.pixel(39, 59), qRgb(255, 0, 0));
    EXPECT_EQ(page.pixel(40, 60), qRgb(255, 255, 255));
    EXPECT_EQ(page.pixel(299, 20), qRgb(0, 255, 0));
    EXPECT_EQ(page.pixel(300, 20), qRgb(255, 255, 255));
    // The text lands at twice the screen's place and size.
    const TRect onScreen = InkBox(screen.copy(25, 25, 100, 30));
    const TRect onPage = InkBox(page.copy(50, 50, 200, 60));
    EXPECT_EQ(onScreen.Bottom + 25, 50);
    EXPECT_EQ(onPage.Bottom + 50, 100);
    EXPECT_NEAR(onPage.Right - onPage.Left, 2 * (onScreen.Right - onScreen.Left), 3);
    EXPECT_NEAR(onPage.Bottom - onPage.Top, 2 * (onScreen.Bottom - onScreen.Top), 3);
}

TEST(QtCanvas, PicturesRecordAndReplayTheDrawing)
{
    QPicture picture;
    {
        QPainter painter(&picture);
        QtCanvas c(&painter);
        c.SetFont(Font("Arial", -20));
        c.SetBkMode(BkMode::Transparent);
        c.TextOut(10, 10, u"Hallo");
        c.FillRect({0, 0, 5, 5}, RGBRef(255, 0, 0));
    }
    QImage direct = White(120, 40);
    {
        QPainter painter(&direct);
        QtCanvas c(&painter);
        c.SetFont(Font("Arial", -20));
        c.SetBkMode(BkMode::Transparent);
        c.TextOut(10, 10, u"Hallo");
        c.FillRect({0, 0, 5, 5}, RGBRef(255, 0, 0));
    }
    QImage replayed = White(120, 40);
    {
        QPainter painter(&replayed);
        painter.drawPicture(0, 0, picture);
    }
    EXPECT_EQ(replayed.pixel(4, 4), qRgb(255, 0, 0));
    // Replayed glyphs may be smoothed a pixel differently.
    const TRect a = InkBox(replayed), b = InkBox(direct);
    EXPECT_NEAR(a.Left, b.Left, 1);
    EXPECT_NEAR(a.Right, b.Right, 1);
    EXPECT_NEAR(a.Top, b.Top, 1);
    EXPECT_NEAR(a.Bottom, b.Bottom, 1);
}

TEST(QtCanvas, DeviceMeasures)
{
    QImage image = White(120, 40);
    QImage mono(8, 8, QImage::Format_Mono);
    QPainter painter(&image);
    QtCanvas c(&painter);
    EXPECT_EQ(c.GetDeviceCaps(HORZRES), 120);
    EXPECT_EQ(c.GetDeviceCaps(VERTRES), 40);
    EXPECT_EQ(c.GetDeviceCaps(BITSPIXEL), 24);
    EXPECT_FALSE(c.IsMonochrome());
    c.SetDeviceCaps(PHYSICALOFFSETX, 25);
    EXPECT_EQ(c.GetDeviceCaps(PHYSICALOFFSETX), 25);
    QPainter monoPainter(&mono);
    EXPECT_TRUE(QtCanvas(&monoPainter).IsMonochrome());
    EXPECT_EQ(QtCanvas().GetDeviceCaps(LOGPIXELSX), 96);
}

TEST(QtCanvas, StyledLinesFillTheirGapsOnlyInOpaqueMode)
{
    QImage image = White(60, 10);
    {
        QPainter painter(&image);
        QtCanvas c(&painter);
        c.SelectPen({PenStyle::Dash, 1, 0});
        c.SetBkColor(RGBRef(255, 0, 0));
        c.MoveTo(0, 2);
        c.LineTo(60, 2);  // opaque by default: red gaps
        c.SetBkMode(BkMode::Transparent);
        c.MoveTo(0, 6);
        c.LineTo(60, 6);
    }
    int red = 0, white = 0;
    for (int x = 0; x < 59; ++x) {
        red += image.pixel(x, 2) == qRgb(255, 0, 0) ? 1 : 0;
        white += image.pixel(x, 6) == qRgb(255, 255, 255) ? 1 : 0;
        ASSERT_NE(image.pixel(x, 2), qRgb(255, 255, 255)) << x;
    }
    EXPECT_GT(red, 5);
    EXPECT_GT(white, 5);
}

TEST(QtCanvas, SampleSheetForAPersonToLookAt)
{
    QImage image = White(420, 160);
    {
        QPainter painter(&image);
        QtCanvas c(&painter);
        c.FillRect({0, 0, 420, 24}, SystemColor(COLOR_BTNFACE));
        c.SetFont(Font("Arial", -13, 700));
        c.SetBkMode(BkMode::Transparent);
        c.SetTextAlign(TA_BASELINE | TA_UPDATECP);
        c.MoveTo(6, 17);
        c.TextOut(0, 0, u"Belebungsbecken ");
        c.SetFont(Font("Times New Roman", -13));
        c.SetTextColor(RGBRef(0, 0, 0x80));
        c.TextOut(0, 0, u"V = 1 234,5 m³");
        c.SetFont(Font("Arial", -16));
        c.SetTextColor(0);
        c.SetTextJustification(40, 3);
        c.MoveTo(6, 50);
        c.TextOut(0, 0, u"Blocksatz mit vier Wörtern");
        c.SetTextJustification(0, 0);
        c.SelectPen({PenStyle::Solid, 1, SystemColor(COLOR_BTNSHADOW)});
        c.SelectBrush({BrushStyle::Solid, RGBRef(0xFF, 0xFF, 0xE1)});
        c.Rectangle(6, 64, 200, 100);
        c.SelectPen({PenStyle::Dot, 3, RGBRef(0xC0, 0, 0), true, PenCap::Flat, PenJoin::Miter});
        c.Polyline({{220, 64}, {410, 64}, {410, 100}});
        c.SelectPen({PenStyle::Solid, 0, 0});
        c.SelectBrush({BrushStyle::Solid, 0});
        c.Ellipse({14, 120, 20, 126});
        c.SelectBrush({BrushStyle::Null});
        c.Ellipse({14, 135, 21, 142});
        c.Arc({220, 110, 260, 150}, {260, 130}, {240, 110});
        c.DrawFocusRect({280, 110, 410, 150});
    }
    const std::string dir = std::string(VELMORAN_ARTIFACTS) + "/platform";
    QDir().mkpath(QString::fromStdString(dir));
    EXPECT_TRUE(image.save(QString::fromStdString(dir + "/canvas-sample.png")));
}

TEST(QtCanvas, PdfPageAtPrinterResolution)
{
    const std::string dir = std::string(VELMORAN_ARTIFACTS) + "/platform";
    QDir().mkpath(QString::fromStdString(dir));
    const QString file = QString::fromStdString(dir + "/canvas-sample.pdf");
    {
        QPdfWriter pdf(file);
        pdf.setResolution(600);
        QPainter painter(&pdf);
        QtCanvas c(&painter);
        EXPECT_EQ(c.GetDeviceCaps(LOGPIXELSX), 600);
        const int dpi = c.GetDeviceCaps(LOGPIXELSX);
        c.SetMapMode(MapMode::Anisotropic);
        c.SetWindowExt(96, 96);
        c.SetViewportExt(dpi, dpi);
        c.IntersectClipRect({48, 48, 700, 1000});
        c.SetFont(Font("Times New Roman", -16));
        c.SetBkMode(BkMode::Transparent);
        c.SetTextAlign(TA_BASELINE | TA_UPDATECP);
        c.MoveTo(48, 80);
        c.TextOut(0, 0, u"Bemessung nach HSG: ");
        LogicalFont bold = Font("Arial", -16, 700);
        bold.Underline = true;
        c.SetFont(bold);
        c.TextOut(0, 0, u"Belebungsbecken");
        c.SelectPen({PenStyle::Solid, 1, SystemColor(COLOR_BTNSHADOW)});
        c.SelectBrush({BrushStyle::Null});
        c.Rectangle(44, 60, 400, 90);
        QImage picture(2, 2, QImage::Format_RGB32);
        picture.fill(qRgb(0, 120, 0));
        QImage mask(2, 2, QImage::Format_Mono);
        mask.setColor(0, qRgb(0, 0, 0));
        mask.setColor(1, qRgb(255, 255, 255));
        mask.fill(0);
        mask.setPixel(0, 0, 1);
        c.MaskedStretchBlt({48, 100, 88, 140}, picture, mask);
    }
    EXPECT_GT(QFileInfo(file).size(), 1000);
}
