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

// The canvas keeps the current font's measures between measurements: a new font, a restored
// state and justification must each be measured anew, and the extent and the fit count must add
// up the advances exactly as CharAdvances hands them out.
TEST(TestFont, MeasuresFollowTheFontAndAddUpTheAdvances)
{
    TestFontEngine test;
    MeasuringCanvas c(test);
    c.SetFont(Logical("Anything", -20));
    EXPECT_EQ(c.TextExtent(u"ab"), (TextSize{20, 20}));
    c.SetFont(Logical("Anything", -10));
    EXPECT_EQ(c.TextExtent(u"ab"), (TextSize{10, 10}));
    EXPECT_EQ(c.GetTextMetrics().Height, 10);
    const int saved = c.SaveDC();
    c.SetFont(Logical("Anything", -30));
    EXPECT_EQ(c.TextExtent(u"ab").cx, 30);
    c.RestoreDC(saved);
    EXPECT_EQ(c.TextExtent(u"ab"), (TextSize{10, 10}));

    const std::u16string text = u"Zu- und Ablauf 😀 m³/d";
    c.SetTextCharacterExtra(1);
    c.SetTextJustification(7, 3);
    const std::vector<int> advances = c.CharAdvances(text);
    int sum = 0;
    for (int a : advances)
        sum += a;
    EXPECT_EQ(c.TextExtent(text).cx, sum);
    for (int room = -1; room <= sum + 1; ++room) {
        std::size_t n = 0;
        int width = 0;
        while (n < advances.size() && width + advances[n] <= room)
            width += advances[n++];
        if (n > 0 && n < text.size() && text[n] >= 0xDC00 && text[n] <= 0xDFFF)
            width -= advances[--n];
        int extent = -1;
        EXPECT_EQ(c.TextFitCount(text, room, &extent), static_cast<int>(n)) << "room " << room;
        EXPECT_EQ(extent, width) << "room " << room;
    }
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

// Three fonts in turn, more than the engine's two most recent: each is measured as it was the
// first time.
TEST(QtCanvas, FontsTakenInTurnMeasureAsTheFirstTime)
{
    QtFontEngine engine;
    ScopedScreenFonts scoped(engine);
    QtCanvas c;
    const std::vector<LogicalFont> fonts{Logical("Arial", -16), Logical("Times New Roman", -13, 700),
                                         Logical("Courier New", -12)};
    std::vector<TextSize> first;
    for (const auto& lf : fonts) {
        c.SetFont(lf);
        first.push_back(c.TextExtent(u"Belebungsbecken 1.234,5"));
    }
    for (int round = 0; round < 3; ++round)
        for (std::size_t i = 0; i < fonts.size(); ++i) {
            c.SetFont(fonts[i]);
            EXPECT_EQ(c.TextExtent(u"Belebungsbecken 1.234,5"), first[i]) << fonts[i].Face;
            EXPECT_EQ(engine.Metrics(fonts[(i + 1) % fonts.size()]).Height, first[(i + 1) % fonts.size()].cy);
        }
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
