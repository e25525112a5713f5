// Tests of document images: fetching from files, the host and the cache, sizing by attributes and
// aspect ratio, placeholders for missing pictures, drawing, and tiled block backgrounds.
#include "tests/html/layout/ParserTestSupport.h"

#include "html/base/image/StockImages.h"
#include "platform/RecordingCanvas.h"
#include "tests/support/TempFolder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace velmoran::testing {
namespace {

std::string PngBytes(int w, int h, QRgb color)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "PNG");
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// Serves pictures from a folder, or from memory for names starting with "mem:" ("mem:wait" later).
class PictureHost : public THtmlDocumentHost {
public:
    std::string Folder;
    int Requests = 0;
    std::string BasePath() const override { return Folder; }
    bool RequestImage(const std::string& src, std::string& content) override
    {
        if (src.rfind("mem:", 0) != 0)
            return false;
        ++Requests;
        content = src == "mem:wait" ? std::string() : PngBytes(12, 6, qRgb(0, 0, 255));
        return true;
    }
};

// The images of a page's text sections, in document order.
std::vector<TImageObj*> ImagesOf(ParsedPage& page)
{
    std::vector<TImageObj*> out;
    for (TSection* s : page.All<TSection>())
        for (auto& o : s->Images)
            if (auto* i = dynamic_cast<TImageObj*>(o.get()))
                out.push_back(i);
    return out;
}

struct ImagePage {
    TempFolder Pictures;
    PictureHost Host;
    std::unique_ptr<ParsedPage> Page;
    std::unique_ptr<RecordingCanvas> Canvas;

    explicit ImagePage(const std::string& html, int width = 420)
    {
        Host.Folder = Pictures.Folder();
        TempFolder::Write(Pictures / "red.png", PngBytes(30, 20, qRgb(255, 0, 0)));
        TempFolder::Write(Pictures / "tile.png", PngBytes(10, 10, qRgb(0, 255, 0)));
        TempFolder::Write(Pictures / "strip.png", PngBytes(1, 10, qRgb(0, 0, 255)));
        Page = std::make_unique<ParsedPage>(&Host);
        Page->Parse(html);
        Canvas = std::make_unique<RecordingCanvas>(Page->Fonts, 800, 2000);
        int mw = 0;
        Page->Doc.LayoutDocument(*Canvas, width, mw);
    }
    std::vector<TImageObj*> Images() { return ImagesOf(*Page); }
    std::vector<std::string> Paint(TRect clip = {0, 0, 800, 2000})
    {
        Canvas->Clear();
        Page->Doc.PaintDocument(*Canvas, clip);
        return Canvas->Calls();
    }
};

int Count(const std::vector<std::string>& calls, const std::string& prefix)
{
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const std::string& c) { return c.rfind(prefix, 0) == 0; }));
}

TEST(DocumentImages, FetchedFromFileSizedAndDrawn)
{
    ImagePage p("<p><img src='red.png'><img src='red.png' width=60><img src='red.png' height=10></p>");
    auto images = p.Images();
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(images[0]->ObjWidth, 30);
    EXPECT_EQ(images[0]->ObjHeight, 20);
    EXPECT_TRUE(images[0]->ImageKnown);
    EXPECT_EQ(images[1]->ObjWidth, 60);  // the height follows the aspect ratio
    EXPECT_EQ(images[1]->ObjHeight, 40);
    EXPECT_EQ(images[2]->ObjWidth, 15);
    EXPECT_EQ(p.Page->Doc.ImageCache().Count(), 1);  // one cache entry serves all three
    const auto calls = p.Paint();
    EXPECT_EQ(Count(calls, "StretchBlt"), 3);
    // The first image sits on the baseline of a line grown to hold it.
    EXPECT_EQ(calls[0].rfind("StretchBlt 10,", 0), 0u) << calls[0];
}

// A width or height of 0 given by CSS hides the picture as the attribute 0 does (it was ignored);
// a CSS value that is no length leaves the attribute's size.
TEST(DocumentImages, ZeroSizesFromStyleAsFromAttributes)
{
    ImagePage p("<p><img src='red.png' width=0 height=0><img src='red.png' style='width:0;height:0'>"
                "<img src='red.png' width=60 style='width:0px'><img src='red.png' height=10 style='height:foo'></p>");
    auto images = p.Images();
    ASSERT_EQ(images.size(), 4u);
    for (int i : {0, 1, 2}) {
        EXPECT_EQ(images[static_cast<std::size_t>(i)]->ObjWidth, 0) << i;
        EXPECT_EQ(images[static_cast<std::size_t>(i)]->ObjHeight, 0) << i;
    }
    EXPECT_EQ(images[3]->ObjHeight, 10);
    EXPECT_EQ(images[3]->ObjWidth, 15);
}

TEST(DocumentImages, PercentWidthBordersAndLinks)
{
    ImagePage p("<p><img src='red.png' width='50%' border=2><a href='x'><img src='red.png'></a></p>");
    auto images = p.Images();
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0]->ObjWidth, (400 - 4) * 50 / 100 + 4);
    EXPECT_EQ(images[1]->BorderSize, 1);  // a linked image gets a border
    EXPECT_EQ(images[1]->ObjWidth, 32);
    const auto calls = p.Paint();
    EXPECT_EQ(Count(calls, "Rectangle"), 2);
}

TEST(DocumentImages, HostSuppliesOrDelaysAndMissingShowsPlaceholder)
{
    ImagePage p("<p><img src='mem:blue'><img src='mem:wait'><img src='nothere.png' alt='abc'><img src='nothere.png'></p>");
    auto images = p.Images();
    ASSERT_EQ(images.size(), 4u);
    EXPECT_EQ(images[0]->ObjWidth, 12);
    EXPECT_TRUE(images[1]->Delayed);
    EXPECT_FALSE(images[1]->Missing);
    EXPECT_TRUE(images[2]->Missing);
    // 8-point Arial of the test font: 11 pixels high, 5 wide.
    EXPECT_EQ(images[2]->ObjWidth, 3 * 5 + 26);
    EXPECT_EQ(images[2]->ObjHeight, 24);
    EXPECT_EQ(images[3]->ObjWidth, 24);
    const auto calls = p.Paint();
    // The picture and the delayed symbol; the two failed pictures show theirs with its mask.
    EXPECT_EQ(Count(calls, "StretchBlt"), 2);
    EXPECT_TRUE(std::any_of(calls.begin(), calls.end(), [](const std::string& c) { return c == "TextOut 0,0 'abc'" || c.find("'abc'") != std::string::npos; }));
    // A second layout asks the host for nothing more: the delayed picture waits for the viewer.
    const int before = p.Host.Requests;
    int mw = 0;
    p.Page->Doc.LayoutDocument(*p.Canvas, 420, mw);
    EXPECT_EQ(p.Host.Requests, before);
}

TEST(DocumentImages, OneFileUnderManySpellingsIsDecodedOnce)
{
    // Six spellings of one file, a symbolic link among them: one picture in the cache, counted
    // once against the document's budget.
    TempFolder dir;
    std::filesystem::create_directories(dir / "sub");
    TempFolder::Write(dir / "sub/red.png", PngBytes(30, 20, qRgb(255, 0, 0)));
    std::filesystem::create_symlink(dir / "sub/red.png", dir / "alias.png");
    const std::string html = "<img src='sub/red.png'><img src='./sub/red.png'><img src='sub/../sub/red.png'>"
                             "<img src='" + (dir / "sub/red.png") + "'><img src='sub/./../sub//red.png'>"
                             "<img src='alias.png'>";
    PictureHost host;
    host.Folder = dir.Folder();
    ParsedPage page(&host);
    page.Parse(html);
    RecordingCanvas canvas(page.Fonts, 800, 600);
    int mw = 0;
    page.Doc.LayoutDocument(canvas, 420, mw);
    const auto images = ImagesOf(page);
    ASSERT_EQ(images.size(), 6u);
    for (TImageObj* image : images)
        EXPECT_FALSE(image->Missing);
    EXPECT_EQ(page.Doc.ImageCache().Count(), 1);
    EXPECT_EQ(page.Doc.PictureBytes(), images[0]->Image->ByteCount());
}

// Picture names as the file system has them: "a.png" and "A.png" are two pictures (both showed the
// first), "Bildä.png" named in a Windows-1252 page is found in UTF-8; a size with its unit reads
// its number (it read 0: the picture vanished).
TEST(DocumentImages, NamesAsTheFileSystemHasThemAndSizesWithAUnit)
{
    TempFolder dir;
    TempFolder::Write(dir / "a.png", PngBytes(10, 10, qRgb(0, 255, 0)));
    TempFolder::Write(dir / "A.png", PngBytes(12, 6, qRgb(0, 0, 255)));
    TempFolder::Write(dir / "Bild\xC3\xA4.png", PngBytes(30, 20, qRgb(255, 0, 0)));
    PictureHost host;
    host.Folder = dir.Folder();
    ParsedPage page(&host);
    page.Parse("<img src='a.png'><img src='A.png'><img src='Bild\xE4.png' width='60px' height=10px>");
    RecordingCanvas canvas(page.Fonts, 800, 600);
    int mw = 0;
    page.Doc.LayoutDocument(canvas, 420, mw);
    const auto images = ImagesOf(page);
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(images[0]->ObjWidth, 10);
    EXPECT_EQ(images[1]->ObjWidth, 12);
    EXPECT_FALSE(images[2]->Missing);
    EXPECT_EQ(images[2]->ObjWidth, 60);
    EXPECT_EQ(images[2]->ObjHeight, 10);
}

TEST(DocumentImages, PicturesBeyondTheBudgetAreDrawnAsMissing)
{
    // The budget holds the red picture and the strip, not the tile besides them; a picture the
    // document has already costs nothing again.
    TempFolder dir;
    TempFolder::Write(dir / "red.png", PngBytes(30, 20, qRgb(255, 0, 0)));
    TempFolder::Write(dir / "tile.png", PngBytes(10, 10, qRgb(0, 255, 0)));
    TempFolder::Write(dir / "strip.png", PngBytes(1, 10, qRgb(0, 0, 255)));
    PictureHost host;
    host.Folder = dir.Folder();
    ParsedPage page(&host);
    const std::int64_t red = 30 * 20 * 4, strip = 1 * 10 * 4;
    page.Doc.PictureBudget = red + strip + 100;
    page.Parse("<img src='red.png'><img src='tile.png'><img src='strip.png'><img src='red.png'>");
    RecordingCanvas canvas(page.Fonts, 800, 600);
    int mw = 0;
    page.Doc.LayoutDocument(canvas, 420, mw);
    const auto images = ImagesOf(page);
    ASSERT_EQ(images.size(), 4u);
    EXPECT_FALSE(images[0]->Missing);
    EXPECT_TRUE(images[1]->Missing);
    EXPECT_FALSE(images[2]->Missing);
    EXPECT_FALSE(images[3]->Missing);
    EXPECT_LE(page.Doc.PictureBytes(), page.Doc.PictureBudget);
    EXPECT_EQ(page.Doc.ImageCache().Count(), 2);
}

// The head of a grey PNG of the given size with a few bytes of data: 190 KB of such a file once
// decoded into 784 MB at every reference.
std::string HugePngHead(std::uint32_t w, std::uint32_t h)
{
    std::string png = PngBytes(1, 1, qRgb(0, 0, 0));
    for (int i = 0; i < 4; ++i) {
        png[16 + i] = static_cast<char>(w >> (24 - 8 * i));
        png[20 + i] = static_cast<char>(h >> (24 - 8 * i));
    }
    return png;
}

TEST(DocumentImages, APictureTooLargeIsRefusedBeforeDecodingAndStaysRefused)
{
    TempFolder dir;
    std::filesystem::create_directories(dir / "sub");
    TempFolder::Write(dir / "huge.png", HugePngHead(14000, 14000));
    PictureHost host;
    host.Folder = dir.Folder();
    ParsedPage page(&host);
    std::string html;
    for (int i = 0; i < 20; ++i)
        html += "<img src='huge.png'><img src='./huge.png'><img src='sub/../huge.png'>";
    page.Parse(html);
    RecordingCanvas canvas(page.Fonts, 800, 600);
    int mw = 0;
    page.Doc.LayoutDocument(canvas, 420, mw);
    for (TImageObj* image : ImagesOf(page))
        EXPECT_TRUE(image->Missing);
    EXPECT_EQ(page.Doc.PictureBytes(), 0);
    EXPECT_EQ(page.Doc.ImageCache().Count(), 0);

    // The refusal holds for the document under every spelling, whatever the file holds now; it
    // is not read again. Another document reads it anew.
    TempFolder::Write(dir / "huge.png", PngBytes(3, 3, qRgb(255, 0, 0)));
    TTransparencyKind transparent = TTransparencyKind::NoTransparency;
    bool fromCache = false, delayed = false;
    QImage mask;
    EXPECT_EQ(page.Doc.FetchImage("sub/../huge.png", transparent, fromCache, delayed, mask), nullptr);
    ParsedPage other(&host);
    EXPECT_NE(other.Doc.FetchImage("huge.png", transparent, fromCache, delayed, mask), nullptr);

    // What the header declares (width x height x 4) is compared with what the budget has left.
    TempFolder::Write(dir / "ten.png", PngBytes(10, 10, qRgb(0, 255, 0)));
    ParsedPage tight(&host), exact(&host);
    tight.Doc.PictureBudget = 10 * 10 * 4 - 1;
    exact.Doc.PictureBudget = 10 * 10 * 4;
    EXPECT_EQ(tight.Doc.FetchImage("ten.png", transparent, fromCache, delayed, mask), nullptr);
    EXPECT_NE(exact.Doc.FetchImage("ten.png", transparent, fromCache, delayed, mask), nullptr);
}

TEST(DocumentImages, FloatingImagesNarrowTheLinesAndAreDrawnLast)
{
    ImagePage p("<p style='margin-top:0'><img src='red.png' align=left>ab cd</p>"
                "<p style='margin-top:0'><img src='red.png' align=right>ef</p>");
    auto images = p.Images();
    ASSERT_EQ(images.size(), 2u);
    // The left float with its 3-pixel spaces pushes the text to 10 + 3 + 30 + 3.
    const auto calls = p.Paint();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "TextOut 46,22 'ab cd'"), 1);
    // The floats are drawn after all text.
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls[calls.size() - 2].rfind("StretchBlt 13,10,43,30", 0), 0u) << calls[calls.size() - 2];
    // The right float stands at the right edge less its space, at the second paragraph (Y 40).
    EXPECT_EQ(calls.back().rfind("StretchBlt 377,40,407,60", 0), 0u) << calls.back();
}

// The tops of the floats that a paint of the rows top..bottom of a paragraph of `count` floating
// pictures draws, and of those it should: the floats its clip and the 40 pixels around it (as its
// lines take in) meet.
struct FloatsPainted {
    std::vector<int> Drawn, Meeting;
};

FloatsPainted PaintFloats(int count, int top, int bottom)
{
    std::string html = "<p style='margin:0'>";
    for (int i = 0; i < count; ++i)
        html += "<img src='red.png' align=left>" + std::string(20, 'w') + " w w w w w w w w w ";
    html += "</p>";
    ImagePage p(html);
    EXPECT_EQ(p.Page->All<TSection>().size(), 1u);
    FloatsPainted f;
    for (const TImageObj* image : p.Images())
        if (image->DrawYY + image->ObjHeight > top - 40 && image->DrawYY <= bottom + 40)
            f.Meeting.push_back(image->DrawYY);
    for (const std::string& call : p.Paint({0, top, 800, bottom}))
        if (call.rfind("StretchBlt ", 0) == 0)
            f.Drawn.push_back(std::stoi(call.substr(call.find(',') + 1)));
    return f;
}

// A paragraph of many floating pictures (or many pictures at all) is painted a clip at a time:
// each paint draws the floats that reach into it (with the 40 pixels around it that its lines
// take in), and no longer looks at every picture of the paragraph, which made printing 80,000
// pictures take seconds page after page.
TEST(DocumentImages, APaintDrawsTheFloatsItsClipMeets)
{
    const FloatsPainted f = PaintFloats(30, 300, 400);
    ASSERT_GE(f.Meeting.size(), 2u);
    ASSERT_LE(f.Meeting.size(), 10u);
    EXPECT_EQ(f.Drawn, f.Meeting);
}

// A text of fewer floats than it takes to index them walks them at each paint: just below that
// count and at it, a paint draws the same floats, those its clip meets. Of the 40 rows around the
// first clip, the float at 90 (20 high) misses the top by one row and the one at 218 the bottom;
// a clip one row taller at each end takes both in.
TEST(DocumentImages, FewFloatsAreDrawnAsIndexedOnesAre)
{
    const int indexed = static_cast<int>(TFloatBands::kMinIndexed);
    for (const int count : {indexed - 1, indexed}) {
        const FloatsPainted inside = PaintFloats(count, 150, 177);
        const FloatsPainted edges = PaintFloats(count, 149, 178);
        EXPECT_FALSE(inside.Meeting.empty()) << count;
        EXPECT_LT(inside.Meeting.size(), static_cast<std::size_t>(count)) << count;
        EXPECT_EQ(edges.Meeting.size(), inside.Meeting.size() + 2) << count;
        EXPECT_EQ(edges.Meeting.front(), 90) << count;
        EXPECT_EQ(edges.Meeting.back(), 218) << count;
        EXPECT_EQ(inside.Drawn, inside.Meeting) << count;
        EXPECT_EQ(edges.Drawn, edges.Meeting) << count;
    }
}

// A list-style image replaces the bullet: its left edge 16 left of the content, its bottom on
// the first line's baseline - also when the page is scrolled.
TEST(DocumentImages, ListStyleImageStandsOnTheFirstBaseline)
{
    ImagePage p("<ul style='list-style-image: url(red.png)'><li>eins<li>zwei</ul>");
    // Content at 10 + 35 = 45; baselines 22 and 38; the picture is 30 x 20.
    auto pictures = [&] {
        std::vector<std::string> out;
        for (const auto& c : p.Paint())
            if (c.rfind("StretchBlt", 0) == 0 || c.rfind("Ellipse", 0) == 0)
                out.push_back(c);
        return out;
    };
    EXPECT_EQ(pictures(), (std::vector<std::string>{"StretchBlt 29,2,59,22 from 0,0,30,20 of 30x20",
                                                    "StretchBlt 29,18,59,38 from 0,0,30,20 of 30x20"}));
    p.Page->Doc.SetYOffset(10);
    EXPECT_EQ(pictures(), (std::vector<std::string>{"StretchBlt 29,-8,59,12 from 0,0,30,20 of 30x20",
                                                    "StretchBlt 29,8,59,28 from 0,0,30,20 of 30x20"}));
}

TEST(BlockBackgrounds, ColourAndTilesOnlyInTheVisibleRows)
{
    ImagePage p("<div style='background-color:#0000ff;background-image:url(tile.png);height:200px'></div>");
    const auto all = p.Paint();
    EXPECT_EQ(Count(all, "FillRect 10,10,410,210"), 1);
    EXPECT_EQ(Count(all, "StretchBlt"), 40 * 20);
    const auto part = p.Paint(TRect{0, 0, 800, 35});
    // Rows 0..34 of the page: the box starts at 10, so tiles of rows 10..39 (3 rows).
    EXPECT_EQ(Count(part, "StretchBlt"), 40 * 3);
    EXPECT_EQ(Count(part, "FillRect 10,10,410,35"), 1);
}

TEST(BlockBackgrounds, PositionAndRepeat)
{
    ImagePage p("<div style='background-image:url(tile.png);background-repeat:no-repeat;"
                "background-position:right;height:50px'></div>");
    const auto calls = p.Paint();
    ASSERT_EQ(Count(calls, "StretchBlt"), 1);
    EXPECT_EQ(calls[0].rfind("StretchBlt 400,", 0), 0u) << calls[0];
    ImagePage q("<div style='background-image:url(tile.png);background-repeat:repeat-x;height:50px'></div>");
    EXPECT_EQ(Count(q.Paint(), "StretchBlt"), 40);
    // A strip one pixel wide is stretched to 100 pixels before tiling: 4 tiles across 400.
    ImagePage strip("<div style='background-image:url(strip.png);background-repeat:repeat-x;height:50px'></div>");
    const auto stripCalls = strip.Paint();
    ASSERT_EQ(Count(stripCalls, "StretchBlt"), 4);
    EXPECT_EQ(Count(stripCalls, "StretchBlt 10,10,110,20 "), 1);
}

// The placeholders draw their symbol unscaled in the room they keep left of the alt text: the
// delayed picture plain, the failed one with its mask.
TEST(DocumentImages, PlaceholdersShowTheDelayedAndTheFailedPicture)
{
    ImagePage p("<p><img src='mem:wait'><img src='nothere.png' alt='abc'></p>");
    auto images = p.Images();
    ASSERT_EQ(images.size(), 2u);
    const auto calls = p.Paint();
    std::vector<std::string> symbols;
    for (const std::string& c : calls)
        if (c.find("StretchBlt") != std::string::npos)
            symbols.push_back(c);
    ASSERT_EQ(symbols.size(), 2u);
    EXPECT_EQ(symbols[0].rfind("StretchBlt ", 0), 0u) << symbols[0];
    EXPECT_NE(symbols[0].find(" of 16x16"), std::string::npos) << symbols[0];
    EXPECT_EQ(symbols[1].rfind("MaskedStretchBlt ", 0), 0u) << symbols[1];
    EXPECT_NE(symbols[1].find(" of 16x16"), std::string::npos) << symbols[1];
    EXPECT_NE(symbols[1].find(" from 0,0,16,16 "), std::string::npos) << symbols[1];
    EXPECT_FALSE(DelayedImageBitmap().isNull());
    EXPECT_EQ(ErrorImageMask().size(), ErrorImageBitmap().size());
}

// The body's background picture is asked for once, whatever comes of it: the viewer asks for it
// at every paint, and a picture the host answers later (delayed) or not at all must not be asked
// for again each time; a page without one asks for nothing.
TEST(DocumentImages, TheBackgroundPictureIsAskedForOnceWhateverTheOutcome)
{
    ImagePage waiting("<body background='mem:wait'><p>a</p></body>");
    waiting.Page->Doc.GetBackgroundBitmap();
    waiting.Page->Doc.GetBackgroundBitmap();
    waiting.Page->Doc.GetBackgroundBitmap();
    EXPECT_EQ(waiting.Host.Requests, 1);

    ImagePage shown("<body background='mem:blue'><p>a</p></body>");
    TImageObject* first = shown.Page->Doc.GetBackgroundBitmap();
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(shown.Page->Doc.GetBackgroundBitmap(), first);
    EXPECT_EQ(shown.Host.Requests, 1);
}

// Pictures a page shows stay in the cache however many loads pass; once no document shows them
// (the page is cleared for the next load, and its print copy is gone) the ageing frees them after
// the cache's count of loads, instead of keeping every picture ever shown until the program ends.
TEST(DocumentImages, PicturesAgeOutOfTheCacheOnceNoPageShowsThem)
{
    ImagePage p("<body background='tile.png'><p><img src='red.png'><img src='red.png'><img src='mem:blue'></p>");
    TSectionList& doc = p.Page->Doc;
    ASSERT_NE(doc.GetBackgroundBitmap(), nullptr);
    TStringBitmapList& cache = doc.ImageCache();
    ASSERT_EQ(cache.Count(), 3);
    auto bump = [&](int loads) {
        for (int i = 0; i < loads; ++i)
            cache.BumpAndCheck();
    };
    bump(10);
    EXPECT_EQ(cache.Count(), 3);  // shown
    auto copy = doc.CreateCopy();
    doc.Clear();
    bump(10);
    EXPECT_EQ(cache.Count(), 3);  // the print copy still draws them
    copy.reset();
    bump(1);  // unused for more than four loads
    EXPECT_EQ(cache.Count(), 0);

    ImagePage q("<p><img src='red.png'></p>");
    TStringBitmapList& fresh = q.Page->Doc.ImageCache();
    q.Page->Doc.Clear();
    for (int load = 1; load <= 4; ++load) {
        fresh.BumpAndCheck();
        ASSERT_EQ(fresh.Count(), 1) << "load " << load;
    }
    fresh.BumpAndCheck();
    EXPECT_EQ(fresh.Count(), 0);
}

}  // namespace
}  // namespace velmoran::testing
