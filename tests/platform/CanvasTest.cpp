// The font side of the canvas: the test font's exact arithmetic, and the Qt fonts with the
// Liberation faces, whole-pixel advances and extents that add up.
#include "platform/QtCanvas.h"
#include "platform/TestFont.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

using namespace velmoran;

namespace {

LogicalFont Logical(const char* face, int height, int weight = 400)
{
    LogicalFont f;
    f.Face = face;
    f.Height = height;
    f.Weight = weight;
    return f;
}

}  // namespace

TEST(TestFont, MetricsExtentsAndFitCountsAreExact)
{
    TestFontEngine test;
    MeasuringCanvas c(test);
    c.SetFont(Logical("Anything", -20));
    const TextMetrics m = c.GetTextMetrics();
    EXPECT_EQ(m.Height, 20);
    EXPECT_EQ(m.Ascent, 15);
    EXPECT_EQ(m.Descent, 5);
    EXPECT_EQ(m.MaxCharWidth, 20);
    EXPECT_EQ(c.TextExtent(u"Hallo"), (TextSize{50, 20}));
    c.SetTextCharacterExtra(2);
    EXPECT_EQ(c.TextExtent(u"Hallo").cx, 60);
    int extent = 0;
    EXPECT_EQ(c.TextFitCount(u"Hallo Welt", 59, &extent), 4);
    EXPECT_EQ(extent, 48);
    EXPECT_EQ(c.TextFitCount(u"Hallo", 0, &extent), 0);
    EXPECT_EQ(extent, 0);
    // A pair of surrogates is one character and never split.
    c.SetTextCharacterExtra(0);
    EXPECT_EQ(c.CharAdvances(u"a\U0001F600"), (std::vector<int>{10, 10, 0}));
    EXPECT_EQ(c.TextFitCount(u"a\U0001F600", 15, &extent), 1);
}

TEST(QtCanvas, WindowsFacesResolveToLiberation)
{
    EXPECT_EQ(QtFontEngine::ResolveFace("Arial"), "Liberation Sans");
    EXPECT_EQ(QtFontEngine::ResolveFace("times new roman"), "Liberation Serif");
    EXPECT_EQ(QtFontEngine::ResolveFace("Courier New"), "Liberation Mono");
    EXPECT_EQ(QtFontEngine::ResolveFace("Verdana"), "Verdana");
    const QFont f = QtFontEngine::MakeQFont(Logical("Arial", -16, 700));
    EXPECT_EQ(f.pixelSize(), 16);
    EXPECT_FALSE(f.kerning());
    EXPECT_EQ(QFontInfo(f).family(), "Liberation Sans");
    QtFontEngine engine;
    const auto families = engine.Families();
    for (const char* name : {"Arial", "Times New Roman", "Courier New"})
        EXPECT_NE(std::find(families.begin(), families.end(), name), families.end()) << name;
}

TEST(QtCanvas, ExtentsAddUpAndMetricsAreConsistent)
{
    QtFontEngine engine;
    ScopedScreenFonts scoped(engine);
    QtCanvas c;
    for (const auto& lf : {Logical("Arial", -16), Logical("Times New Roman", -13, 700), Logical("Courier New", -12)}) {
        c.SetFont(lf);
        const std::u16string a = u"AVAVA Wasserstoff", b = u"To. LT fi ffi";
        EXPECT_EQ(c.TextExtent(a + b).cx, c.TextExtent(a).cx + c.TextExtent(b).cx) << lf.Face;
        const TextMetrics m = c.GetTextMetrics();
        EXPECT_EQ(m.Height, m.Ascent + m.Descent);
        EXPECT_GE(m.Height, -lf.Height);
        EXPECT_GT(m.AveCharWidth, 0);
        EXPECT_GE(m.MaxCharWidth, m.AveCharWidth);
    }
    c.SetFont(Logical("Courier New", -20));
    const int w = c.TextExtent(u"i").cx;
    EXPECT_EQ(c.TextExtent(u"iiiiWWWW").cx, 8 * w);  // a fixed-pitch face
    EXPECT_EQ(c.TextExtent(u"iiii").cx, 4 * w);
    // A cell height asks for ascent plus descent.
    c.SetFont(Logical("Arial", 20));
    EXPECT_NEAR(c.GetTextMetrics().Height, 20, 1);
}

TEST(QtCanvas, PaintingUsesTheSameFont)
{
    QImage image(50, 20, QImage::Format_RGB32);
    QPainter painter(&image);
    QtCanvas c(&painter);
    c.SetFont(Logical("Times New Roman", -14, 700));
    EXPECT_EQ(painter.font().pixelSize(), 14);
    EXPECT_EQ(painter.font().weight(), QFont::Bold);
    EXPECT_FALSE(painter.font().kerning());
}
