// Metafiles and icons: the hand-made files of tests/data/image (see make_pictures.py there) read
// with their sizes; played, they show the drawing they describe, at their own size and scaled
// (a rendered comparison at the places the drawing fixes); damaged files are refused, and what a
// damaged record or an unknown one holds is skipped; a play stops after its budget of records and
// before a drawing past its draw budget or a bitmap past its decoding budget; a metafile shown as
// a picture is played once for each size it is shown at, its images kept within one budget, what a
// paint draws kept while it runs; of an icon's pictures
// the largest and deepest is taken, with its transparency.
#include "html/base/image/IconDecode.h"
#include "html/base/image/KeptImages.h"
#include "html/base/image/Metafile.h"
#include "html/base/image/MetafileImage.h"
#include "platform/QtCanvas.h"
#include "platform/RecordingCanvas.h"
#include "platform/TestFont.h"
#include "tests/html/base/image/ImageTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace velmoran;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Load(const std::string& name)
{
    std::ifstream in(std::string(VELMORAN_TEST_DATA) + "/image/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::optional<TMetafile> Read(const Bytes& bytes)
{
    return ReadMetafile(bytes.data(), bytes.size());
}

QImage Render(const TMetafile& metafile, int width, int height, const std::string& artifact = {})
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QtCanvas canvas(&painter);
        PlayMetafile(canvas, metafile, {0, 0, width, height});
    }
    if (!artifact.empty()) {
        QDir().mkpath(QStringLiteral(VELMORAN_ARTIFACTS "/html"));
        image.save(QString::fromStdString(std::string(VELMORAN_ARTIFACTS "/html/") + artifact));
    }
    return image;
}

// Whether the image is near that colour at the point of the drawing, scaled by `scale`.
::testing::AssertionResult ColourAt(const QImage& image, double scale, int x, int y, QRgb expected)
{
    const QRgb pixel = image.pixel(static_cast<int>(x * scale), static_cast<int>(y * scale));
    const int d = std::abs(qRed(pixel) - qRed(expected)) + std::abs(qGreen(pixel) - qGreen(expected)) +
                  std::abs(qBlue(pixel) - qBlue(expected));
    if (d <= 30)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "at " << x << "," << y << " (scale " << scale << "): " << std::hex
                                         << pixel << " instead of " << expected;
}

bool AnyDark(const QImage& image, int left, int top, int right, int bottom)
{
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (qGray(image.pixel(x, y)) < 80)
                return true;
    return false;
}

// The drawing every hand-made metafile holds; `box` is the rectangle's colour, `line` the line's.
void ExpectTheDrawing(const QImage& image, double scale, QRgb box, QRgb line)
{
    EXPECT_TRUE(ColourAt(image, scale, 30, 40, box));
    EXPECT_TRUE(ColourAt(image, scale, 100, 55, qRgb(255, 255, 0)));   // the triangle
    EXPECT_TRUE(ColourAt(image, scale, 167, 40, qRgb(255, 0, 0)));     // the ellipse
    EXPECT_TRUE(ColourAt(image, scale, 100, 4, qRgb(255, 255, 255)));  // nothing above
    EXPECT_TRUE(ColourAt(image, scale, 142, 12, qRgb(255, 255, 255))); // outside the ellipse
    EXPECT_TRUE(ColourAt(image, scale, 100, 96, line));
    // The 2 x 2 bitmap: red and white above, blue and green below.
    EXPECT_TRUE(ColourAt(image, scale, 160, 80, qRgb(255, 0, 0)));
    EXPECT_TRUE(ColourAt(image, scale, 180, 80, qRgb(255, 255, 255)));
    EXPECT_TRUE(ColourAt(image, scale, 160, 92, qRgb(0, 0, 255)));
    EXPECT_TRUE(ColourAt(image, scale, 180, 92, qRgb(0, 255, 0)));
    // The text stands right of the rectangle's left edge below it.
    EXPECT_TRUE(AnyDark(image, static_cast<int>(10 * scale), static_cast<int>(74 * scale), static_cast<int>(60 * scale),
                        static_cast<int>(94 * scale)));
}

TEST(Metafiles, TheHandMadeFilesReadWithTheirSizes)
{
    for (const char* name : {"zeichnung.wmf", "fenster.wmf", "zeichnung.emf"}) {
        const std::optional<TMetafile> m = Read(Load(name));
        ASSERT_TRUE(m) << name;
        // 200 x 100 pixels at 96 ppi in hundredths of a millimetre.
        EXPECT_EQ(m->HimetricWidth, 5292) << name;
        EXPECT_EQ(m->HimetricHeight, 2646) << name;
        EXPECT_EQ(m->Kind, std::string(name).ends_with(".emf") ? TMetafileKind::Emf : TMetafileKind::Wmf);
    }
    // Other pictures are no metafiles.
    const Bytes icon = Load("symbol.ico");
    EXPECT_FALSE(LooksLikeMetafile(icon.data(), icon.size()));
    EXPECT_FALSE(Read(icon));
}

TEST(Metafiles, PlayedTheyShowTheirDrawingAtAnySize)
{
    const QRgb blue = qRgb(0, 0, 255), green = qRgb(0, 255, 0);
    const TMetafile placeable = *Read(Load("zeichnung.wmf"));
    ExpectTheDrawing(Render(placeable, 200, 100, "zeichnung-wmf.png"), 1, blue, green);
    ExpectTheDrawing(Render(placeable, 400, 200, "zeichnung-wmf-2x.png"), 2, blue, green);
    // Without the placeable header the window gives the same picture.
    const QImage window = Render(*Read(Load("fenster.wmf")), 200, 100, "fenster-wmf.png");
    ExpectTheDrawing(window, 1, blue, green);
    const TMetafile enhanced = *Read(Load("zeichnung.emf"));
    ExpectTheDrawing(Render(enhanced, 200, 100, "zeichnung-emf.png"), 1, green, blue);
    ExpectTheDrawing(Render(enhanced, 400, 200, "zeichnung-emf-2x.png"), 2, green, blue);

    // Played into a smaller place it stays inside it.
    QImage image(300, 150, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QtCanvas canvas(&painter);
        PlayMetafile(canvas, enhanced, {50, 25, 150, 75});
    }
    EXPECT_TRUE(ColourAt(image, 1, 50 + 15, 25 + 20, green));
    EXPECT_FALSE(AnyDark(image, 0, 0, 300, 24));
    EXPECT_FALSE(AnyDark(image, 151, 0, 300, 150));
}

// The placeable file with one record replaced.
Bytes WithRecord(Bytes wmf, std::size_t at, const Bytes& record)
{
    wmf.insert(wmf.begin() + static_cast<std::ptrdiff_t>(at), record.begin(), record.end());
    return wmf;
}

TEST(Metafiles, DamagedFilesAreRefusedAndDamagedRecordsSkipped)
{
    const Bytes wmf = Load("zeichnung.wmf");
    const Bytes emf = Load("zeichnung.emf");
    // Cut inside a record, or a record longer than the file.
    EXPECT_FALSE(Read(Bytes(wmf.begin(), wmf.end() - 9)));
    EXPECT_FALSE(Read(Bytes(emf.begin(), emf.end() - 30)));
    Bytes longRecord = wmf;
    longRecord[22 + 18] = 0xFF;  // the first record's length
    longRecord[22 + 19] = 0xFF;
    EXPECT_FALSE(Read(longRecord));
    Bytes zeroRecord = wmf;
    std::memset(&zeroRecord[22 + 18], 0, 4);
    EXPECT_FALSE(Read(zeroRecord));
    Bytes noInch = wmf;
    noInch[14] = noInch[15] = 0;
    EXPECT_FALSE(Read(noInch));
    Bytes oddEmf = emf;
    oddEmf[88 + 4] = 13;  // a record length that is no multiple of 4
    EXPECT_FALSE(Read(oddEmf));
    // A header claiming a picture of kilometres.
    Bytes huge = emf;
    huge[32 + 3] = 0x40;
    EXPECT_FALSE(Read(huge));
    // Without the placeable header a file needs a window.
    const Bytes window = Load("fenster.wmf");
    Bytes noWindow = window;
    // The window extent record (the third, after 8 and 10 bytes) becomes an unknown one.
    noWindow[18 + 8 + 10 + 4] = 0x99;
    noWindow[18 + 8 + 10 + 5] = 0x09;
    EXPECT_FALSE(Read(noWindow));

    // A polygon claiming 1000 points with 2 there, and a record nobody knows: both are skipped,
    // and the rest of the drawing stands.
    const Bytes shortPolygon = {5, 0, 0, 0, 0x24, 0x03, 0xE8, 0x03, 1, 0};
    const Bytes unknown = {4, 0, 0, 0, 0x99, 0x09, 7, 7};
    const std::size_t records = 22 + 18;
    const std::optional<TMetafile> patched = Read(WithRecord(WithRecord(wmf, records, unknown), records, shortPolygon));
    ASSERT_TRUE(patched);
    ExpectTheDrawing(Render(*patched, 200, 100), 1, qRgb(0, 0, 255), qRgb(0, 255, 0));
}

// A play stops after its budget of records with the drawing as far as it got: each budget gives
// the first calls of the whole play. A file of more records than the budget (a few megabytes of
// ellipses) stops at it.
TEST(Metafiles, APlayStopsAfterItsBudgetOfRecords)
{
    TestFontEngine fonts;
    for (const char* name : {"zeichnung.wmf", "zeichnung.emf"}) {
        const TMetafile metafile = *Read(Load(name));
        const auto calls = [&](std::size_t budget) {
            RecordingCanvas canvas(fonts);
            PlayMetafile(canvas, metafile, {0, 0, 200, 100}, budget);
            return canvas.Calls();
        };
        const std::vector<std::string> whole = calls(kMetafileRecordBudget);
        ASSERT_FALSE(whole.empty());
        EXPECT_TRUE(calls(0).empty());
        std::size_t drawn = 0;
        for (std::size_t budget = 1; budget <= 60; ++budget) {
            const std::vector<std::string> part = calls(budget);
            ASSERT_LE(part.size(), whole.size());
            EXPECT_TRUE(std::equal(part.begin(), part.end(), whole.begin())) << name << ", " << budget;
            EXPECT_GE(part.size(), drawn) << name << ", " << budget;
            drawn = part.size();
        }
        EXPECT_EQ(drawn, whole.size()) << name;
    }

    const int total = static_cast<int>(kMetafileRecordBudget) + 2000;
    const std::string many = imagetest::EllipsesEmf(400, 300, total);
    const std::optional<TMetafile> big = Read(Bytes(many.begin(), many.end()));
    ASSERT_TRUE(big);
    RecordingCanvas canvas(fonts, 400, 300);
    PlayMetafile(canvas, *big, {0, 0, 400, 300});
    const auto calls = canvas.Calls();
    const auto ellipses = std::count_if(calls.begin(), calls.end(), [](const std::string& c) { return c.rfind("Ellipse ", 0) == 0; });
    // The header, the brushes and their selections take their share of the budget.
    EXPECT_LT(ellipses, static_cast<long>(kMetafileRecordBudget));
    EXPECT_GT(ellipses, static_cast<long>(kMetafileRecordBudget) * 98 / 100);
}

// A canvas that keeps the pictures drawn onto it.
class PictureCatcher : public RecordingCanvas {
public:
    using RecordingCanvas::RecordingCanvas;
    std::vector<QImage> Pictures;

protected:
    void DoStretchBlt(const TRect& destination, const QImage& image, const QImage* mask, const TRect& source) override
    {
        Pictures.push_back(image);
        RecordingCanvas::DoStretchBlt(destination, image, mask, source);
    }
};

QImage OnWhite(const QImage& picture)
{
    QImage image(picture.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).drawImage(0, 0, picture);
    return image;
}

// A play stops before the drawing that would pass its draw budget: a few records of shapes as
// large as the picture cost what they fill, so a huge target or many of them cannot take minutes.
// What is charged is what can be seen (the clip), and a printer's pixels count as their share of
// a screen pixel, so that a print draws what the screen draws.
TEST(Metafiles, APlayStopsBeforeTheDrawingThatWouldPassItsDrawBudget)
{
    TestFontEngine fonts;
    const std::string file = imagetest::FullSizeEllipsesEmf(100, 100, 50);
    const TMetafile metafile = *Read(Bytes(file.begin(), file.end()));
    const auto ellipses = [&](RecordingCanvas& canvas, const TRect& target, double budget) {
        PlayMetafile(canvas, metafile, target, kMetafileRecordBudget, budget);
        const auto calls = canvas.Calls();
        return std::count_if(calls.begin(), calls.end(), [](const std::string& c) { return c.rfind("Ellipse ", 0) == 0; });
    };
    // Each ellipse costs its 100 x 100 pixels and its outline of 400.
    const double each = 100 * 100 + 400;
    RecordingCanvas screen(fonts);
    EXPECT_EQ(ellipses(screen, {0, 0, 100, 100}, 10.5 * each), 10);
    RecordingCanvas exact(fonts);
    EXPECT_EQ(ellipses(exact, {0, 0, 100, 100}, 10 * each), 10);
    RecordingCanvas under(fonts);
    EXPECT_EQ(ellipses(under, {0, 0, 100, 100}, 10 * each - 1), 9);
    // At 20000 x 20000 on an 800 x 600 canvas each costs what is seen of it and its whole outline.
    RecordingCanvas huge(fonts, 800, 600);
    EXPECT_EQ(ellipses(huge, {0, 0, 20000, 20000}, 10.5 * (800 * 600 + 80000)), 10);
    // The printer at 600 ppi draws the picture at its print size as the screen does.
    RecordingCanvas printer(fonts, 5000, 5000);
    printer.SetDeviceCaps(LOGPIXELSX, 600);
    printer.SetDeviceCaps(LOGPIXELSY, 600);
    EXPECT_EQ(ellipses(printer, {0, 0, 625, 625}, 10.5 * each), 10);
}

// The bitmaps of a play are charged the pixels they decode to before they are decoded, whatever
// they are drawn into: bitmaps of 100 x 100 pixels drawn into one pixel each stop the play at the
// one that would pass the budget, and nothing after it is drawn; a budget for all of them draws
// them all and what follows.
TEST(Metafiles, APlayStopsBeforeTheBitmapWhoseDecodingWouldPassItsBudget)
{
    TestFontEngine fonts;
    std::string records;
    for (int i = 0; i < 5; ++i)
        records += imagetest::StretchDibitsEmfRecord(10 * i, 0, 1, 1, 100, 100);
    records += imagetest::EmfRecord(42, {0, 0, 50, 50});
    const std::string file = imagetest::BuildEmf(100, 100, records);
    const TMetafile metafile = *Read(Bytes(file.begin(), file.end()));
    const auto play = [&](double bitmapBudget) {
        RecordingCanvas canvas(fonts);
        PlayMetafile(canvas, metafile, {0, 0, 100, 100}, kMetafileRecordBudget, kMetafileDrawBudget, bitmapBudget);
        return canvas.Calls();
    };
    const auto count = [](const std::vector<std::string>& calls, const char* what) {
        return std::count_if(calls.begin(), calls.end(), [&](const std::string& c) { return c.rfind(what, 0) == 0; });
    };
    EXPECT_EQ(play(2.5 * 100 * 100), (std::vector<std::string>{"StretchBlt 0,0,1,1 from 0,0,100,100 of 100x100",
                                                               "StretchBlt 10,0,11,1 from 0,0,100,100 of 100x100"}));
    EXPECT_EQ(count(play(3 * 100 * 100), "StretchBlt "), 3);
    for (const double all : {5.0 * 100 * 100, kMetafileBitmapBudget}) {
        const std::vector<std::string> calls = play(all);
        EXPECT_EQ(count(calls, "StretchBlt "), 5);
        EXPECT_EQ(count(calls, "Ellipse "), 1);
    }
}

// Shown as a picture, a metafile is played once into an image of each size it is shown at: the
// paints of that size draw the same image, another size plays it again and keeps both (mirrored,
// it stays mirrored). A size beyond the pixels an image may have is drawn from an image of fewer
// pixels, stretched; a picture not seen at all is not played. A printer's canvas, finer than the
// screen, gets the records themselves.
TEST(Metafiles, APictureIsPlayedOnceForEachSizeItIsShownAt)
{
    TestFontEngine fonts;
    const QRgb green = qRgb(0, 255, 0), blue = qRgb(0, 0, 255);
    TKeptImages kept;
    TMetafileImage picture(*Read(Load("zeichnung.emf")), kept, {200 * 100, kMetafileDrawBudget});
    PictureCatcher screen(fonts);
    picture.Draw(screen, {10, 20, 210, 120});
    picture.Draw(screen, {10, 20, 210, 120});
    const std::string blt = "StretchBlt 10,20,210,120 from 0,0,200,100 of 200x100 alpha";
    EXPECT_EQ(screen.Calls(), (std::vector<std::string>{blt, blt}));
    ASSERT_EQ(screen.Pictures.size(), 2u);
    EXPECT_EQ(screen.Pictures[0].cacheKey(), screen.Pictures[1].cacheKey());
    EXPECT_EQ(picture.Plays(), 1);
    // Transparent where the records draw nothing.
    EXPECT_EQ(qAlpha(screen.Pictures[0].pixel(100, 4)), 0);
    ExpectTheDrawing(OnWhite(screen.Pictures[0]), 1, green, blue);

    // Two sizes shown in turn are played once each.
    picture.Draw(screen, {0, 0, 100, 50});
    picture.Draw(screen, {10, 20, 210, 120});
    picture.Draw(screen, {0, 0, 100, 50});
    EXPECT_EQ(picture.Plays(), 2);
    EXPECT_EQ(kept.Count(), 2);
    picture.Draw(screen, {200, 0, 0, 100});
    ASSERT_EQ(screen.Pictures.size(), 6u);
    const QImage mirrored = OnWhite(screen.Pictures[5]);
    EXPECT_TRUE(ColourAt(mirrored, 1, 200 - 30, 40, green));
    EXPECT_TRUE(ColourAt(mirrored, 1, 200 - 167, 40, qRgb(255, 0, 0)));
    EXPECT_EQ(picture.Plays(), 3);

    // 5000 x 5000 on an 800 x 600 screen: an image of 141 x 141 pixels stretched, kept as well.
    PictureCatcher large(fonts, 800, 600);
    picture.Draw(large, {0, 0, 5000, 5000});
    picture.Draw(large, {0, 0, 5000, 5000});
    const std::string stretched = "StretchBlt 0,0,5000,5000 from 0,0,141,141 of 141x141 alpha";
    EXPECT_EQ(large.Calls(), (std::vector<std::string>{stretched, stretched}));
    EXPECT_EQ(picture.Plays(), 4);
    EXPECT_EQ(MetafileImageSize(1000000, 20, 200 * 100), (TSize{31622, 1}));
    picture.Draw(large, {900, 0, 1900, 500});
    EXPECT_EQ(picture.Plays(), 4);

    RecordingCanvas printer(fonts);
    printer.SetDeviceCaps(LOGPIXELSX, 600);
    printer.SetDeviceCaps(LOGPIXELSY, 600);
    picture.Draw(printer, {10, 20, 210, 120});
    const std::vector<std::string> printed = printer.Calls();
    EXPECT_NE(std::find(printed.begin(), printed.end(), "Rectangle 15,30,70,90"), printed.end());
    EXPECT_EQ(picture.Plays(), 4);
}

// The images kept for metafiles have one budget with the decoded pictures: keeping one that would
// pass it lets go of those drawn longest ago, a picture keeps only its latest few sizes, and a
// picture going takes its images with it.
TEST(Metafiles, KeptImagesStayWithinOneBudget)
{
    const std::int64_t each = 10 * 10 * 4;
    TKeptImages kept(3 * each);
    const int a = 0, b = 0;
    const auto image = [] { return QImage(10, 10, QImage::Format_ARGB32_Premultiplied); };
    kept.Keep(&a, 10, 10, image());
    kept.Keep(&b, 10, 10, image());
    kept.Keep(&a, -10, 10, image());
    ASSERT_NE(kept.Find(&a, 10, 10), nullptr);  // now drawn last: b's goes first
    kept.Keep(&b, 10, -10, image());
    EXPECT_EQ(kept.Bytes(), 3 * each);
    EXPECT_EQ(kept.Find(&b, 10, 10), nullptr);
    EXPECT_NE(kept.Find(&a, 10, 10), nullptr);
    EXPECT_NE(kept.Find(&a, -10, 10), nullptr);
    kept.Keep(&a, 10, 10, image());  // the same size again replaces its image
    EXPECT_EQ(kept.Count(), 3);
    // Larger than the whole budget: not kept, nothing let go.
    kept.Keep(&b, 20, 20, QImage(20, 20, QImage::Format_ARGB32_Premultiplied));
    EXPECT_EQ(kept.Count(), 3);
    kept.Forget(&a);
    EXPECT_EQ(kept.Count(), 1);
    EXPECT_EQ(kept.Bytes(), each);

    // A decoded picture holding a place leaves less room, until it goes.
    TKeptImages held(3 * each);
    {
        const TKeptImages::Place place = held.Hold(2 * each);
        held.Keep(&a, 10, 10, image());
        held.Keep(&b, 10, 10, image());
        EXPECT_EQ(held.Count(), 1);
        EXPECT_EQ(held.Held(), 2 * each);
    }
    EXPECT_EQ(held.Held(), 0);

    TKeptImages many(100 * each);
    for (int size = 1; size <= TKeptImages::kSizesPerPicture + 2; ++size)
        many.Keep(&a, size, 10, image());
    EXPECT_EQ(many.Count(), TKeptImages::kSizesPerPicture);
    EXPECT_EQ(many.Find(&a, 1, 10), nullptr);
    EXPECT_NE(many.Find(&a, TKeptImages::kSizesPerPicture + 2, 10), nullptr);
}

// What a paint draws stays kept while it runs: one picture drawn at more sizes than a picture
// keeps, or pictures past the budget, keep what fits - the sizes all, the pictures drawn first -
// instead of each image driving out one the paint drew, so that the next paint finds them (the
// caption tests show it plays nothing again). A later paint lets go of them as before.
TEST(Metafiles, WhatAPaintDrawsStaysKept)
{
    const std::int64_t each = 10 * 10 * 4;
    const int a = 0, b = 0;
    const auto image = [] { return QImage(10, 10, QImage::Format_ARGB32_Premultiplied); };
    const int sizes = TKeptImages::kSizesPerPicture + 2;

    TKeptImages kept(100 * each);
    {
        const TKeptImages::Paint paint;
        for (int size = 1; size <= sizes; ++size)
            kept.Keep(&a, size, 10, image());
        EXPECT_EQ(kept.Count(), sizes);
    }
    {
        const TKeptImages::Paint paint;
        for (int size = 1; size <= sizes; ++size)
            EXPECT_NE(kept.Find(&a, size, 10), nullptr) << size;
    }
    // A paint that draws one more size lets go of the oldest sizes the paints before drew.
    {
        const TKeptImages::Paint paint;
        kept.Keep(&a, sizes + 1, 10, image());
    }
    EXPECT_EQ(kept.Count(), TKeptImages::kSizesPerPicture);
    EXPECT_EQ(kept.Find(&a, 1, 10), nullptr);

    // Five pictures in a budget of three: the first three are kept, the others are not, and the
    // next paint finds the three; within the budget all along.
    TKeptImages three(3 * each);
    const int pictures[5] = {};
    for (int round = 0; round < 2; ++round) {
        const TKeptImages::Paint paint;
        for (const int& picture : pictures)
            if (!three.Find(&picture, 10, 10))
                three.Keep(&picture, 10, 10, image());
        EXPECT_EQ(three.Bytes(), 3 * each);
    }
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(three.Find(&pictures[i], 10, 10) != nullptr, i < 3) << i;
    // A paint opened inside one is part of it: what either drew stays.
    {
        const TKeptImages::Paint outer;
        ASSERT_NE(three.Find(&pictures[2], 10, 10), nullptr);
        {
            const TKeptImages::Paint inner;
            ASSERT_NE(three.Find(&pictures[0], 10, 10), nullptr);
            ASSERT_NE(three.Find(&pictures[1], 10, 10), nullptr);
        }
        three.Keep(&b, 10, 10, image());
        EXPECT_EQ(three.Find(&b, 10, 10), nullptr);
        for (int i = 0; i < 3; ++i)
            EXPECT_NE(three.Find(&pictures[i], 10, 10), nullptr) << i;
    }
}

TEST(Icons, TheLargestDeepestPictureIsTakenWithItsTransparency)
{
    const Bytes icon = Load("symbol.ico");
    ASSERT_TRUE(IsIconFile(icon.data(), icon.size()));
    const QImage image = DecodeIcon(icon.data(), icon.size());
    ASSERT_EQ(image.size(), QSize(32, 32));
    // The 32-bit red disc, not the green 8-bit picture of the same size.
    EXPECT_EQ(image.pixel(16, 16), qRgba(255, 0, 0, 255));
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);

    // Damaged: cut short, or an entry pointing past the end; only such entries: nothing.
    EXPECT_TRUE(DecodeIcon(icon.data(), 40).isNull());
    Bytes pastEnd = icon;
    for (int entry = 0; entry < 3; ++entry)
        pastEnd[6 + 16 * entry + 15] = 0x7F;
    EXPECT_TRUE(DecodeIcon(pastEnd.data(), pastEnd.size()).isNull());
    // Without the 32-bit entry the 8-bit picture of the same size wins over the smaller one.
    Bytes twoEntries = icon;
    twoEntries[4] = 2;
    const QImage green = DecodeIcon(twoEntries.data(), twoEntries.size());
    ASSERT_EQ(green.size(), QSize(32, 32));
    EXPECT_EQ(green.pixel(5, 5), qRgba(0, 255, 0, 255));
}

}  // namespace
