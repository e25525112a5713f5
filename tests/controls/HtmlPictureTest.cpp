// Caption pictures with GIFs and bitmaps the tests write: the GIF frame scan (bounded by the
// stream's end), frame selection, bitmaps, failures, the HIMETRIC size, drawing, the addresses
// of LoadFromURL, the cache (one picture for every spelling of a file) and the container.
#include "controls/ControlResources.h"
#include "controls/MiniHtml.h"
#include "controls/PictureContainer.h"
#include "html/base/image/KeptImages.h"
#include "platform/RecordingCanvas.h"
#include "platform/TestFont.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Stream.h"
#include "tests/html/base/image/ImageTestSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include <algorithm>
#include <filesystem>
#include <memory>

using namespace velmoran;

namespace {

// Three frames on a 20x10 screen: all of it, 5x3 at (6,4), 2x2 at (12,1).
std::string ThreeFrameGif()
{
    imagetest::GifWriter gif(20, 10, imagetest::TestPalette(4));
    gif.Control(1, 10, -1);
    gif.Image(0, 0, 20, 10, std::vector<std::uint8_t>(200, 1));
    gif.Control(1, 10, -1);
    gif.Image(6, 4, 5, 3, std::vector<std::uint8_t>(15, 2));
    gif.Control(1, 10, -1);
    gif.Image(12, 1, 2, 2, std::vector<std::uint8_t>(4, 3));
    return gif.Finish();
}

std::string Bitmap(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes.toStdString();
}

void Load(THtmlPicture& picture, const std::string& bytes)
{
    TMemoryStream stream(bytes);
    picture.LoadFromStream(&stream);
}

// A caption drawn into width x 100 pixels with the pictures of the cache.
TMiniHtmlInputs CaptionWithPictures(const std::string& text, THtmlPictureCache& cache, int width)
{
    TMiniHtmlInputs in;
    in.Text = text;
    in.Rect = {0, 0, width, 100};
    in.PictureCache = &cache;
    return in;
}

class HtmlPicture : public ::testing::Test {};

}  // namespace

TEST_F(HtmlPicture, GifFramesAreCountedAndSelected)
{
    THtmlPicture picture;
    Load(picture, ThreeFrameGif());
    EXPECT_EQ(picture.FrameCount(), 3);
    EXPECT_EQ(picture.Width(), 20);
    EXPECT_EQ(picture.FrameWidth(), 20);
    EXPECT_EQ(picture.FrameHeight(), 10);
    // The screen's size is read from the file's own bytes, also from a file beyond 64 KB.
    {
        imagetest::GifWriter large(20, 10, imagetest::TestPalette(4));
        large.Comment(std::string(70000, 'c'));
        large.Image(0, 0, 20, 10, std::vector<std::uint8_t>(200, 1));
        THtmlPicture commented;
        Load(commented, large.Finish());
        EXPECT_EQ(commented.FrameWidth(), 20);
        EXPECT_EQ(commented.FrameHeight(), 10);
    }
    TRect seen{-1, -1, -1, -1};
    int changes = 0;
    picture.OnFrameChange = [&](THtmlPicture* sender) {
        seen = sender->FrameRect();
        ++changes;
    };
    picture.SetFrame(2);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(seen, (TRect{6, 4, 11, 7}));
    // The selected frame is drawn composed on the whole screen, at the rectangle's corner.
    TestFontEngine fonts;
    RecordingCanvas canvas(fonts);
    picture.Draw(canvas, {5, 5, 100, 100});
    EXPECT_EQ(canvas.Calls(), (std::vector<std::string>{"StretchBlt 5,5,25,15 from 0,0,20,10 of 20x10"}));
    // A frame beyond the count draws nothing.
    picture.SetFrame(5);
    canvas.Clear();
    picture.Draw(canvas, {5, 5, 100, 100});
    EXPECT_TRUE(canvas.Calls().empty());
}

// The scan reads a frame's rectangle only when all 8 bytes after the introducer are there; the
// buffers are sized exactly, so a read past the end shows under the address sanitizer.
TEST_F(HtmlPicture, TruncatedGifIsNeverReadPastItsEnd)
{
    const std::string gif = ThreeFrameGif();
    const std::size_t last = gif.rfind("\x21\xF9\x04");
    ASSERT_NE(last, std::string::npos);
    for (std::size_t size = last + 8; size <= last + 18; ++size) {
        const auto bytes = std::make_unique<std::uint8_t[]>(size);
        std::copy(gif.begin(), gif.begin() + static_cast<std::ptrdiff_t>(size), bytes.get());
        const TGifFrameScan scan = ScanGifFrames(bytes.get(), size, 3);
        EXPECT_EQ(scan.Count, size > last + 9 ? 3 : 2) << size;
        if (size < last + 17)
            EXPECT_EQ(scan.Width, 0) << size;
        else
            EXPECT_EQ(scan.Width, 2) << size;
        // Through the picture: it keeps the bytes even when they do not decode.
        THtmlPicture picture;
        try {
            Load(picture, gif.substr(0, size));
        } catch (const Exception&) {
        }
        picture.FrameCount();
        try {
            picture.SetFrame(3);
        } catch (const Exception&) {
        }
    }
}

TEST_F(HtmlPicture, BitmapsHaveNoFramesAndKeepTheirSize)
{
    THtmlPicture picture;
    int changes = 0;
    picture.OnChange = [&](THtmlPicture*) { ++changes; };
    Load(picture, Bitmap(13, 7));
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(picture.Empty());
    EXPECT_EQ(picture.FrameCount(), -1);
    // Through HIMETRIC and back.
    EXPECT_EQ(picture.Width(), 13);
    EXPECT_EQ(picture.Height(), 7);
    picture.SetFrame(2);
    EXPECT_EQ(picture.Width(), 13);
    TestFontEngine fonts;
    RecordingCanvas canvas(fonts);
    picture.Stretch = true;
    picture.Draw(canvas, {0, 0, 26, 14});
    EXPECT_EQ(canvas.Calls(), (std::vector<std::string>{"StretchBlt 0,0,26,14 from 0,0,13,7 of 13x7"}));
    // The bytes come back unchanged.
    TMemoryStream saved;
    picture.SaveToStream(saved);
    EXPECT_EQ(saved.ToString(), Bitmap(13, 7));
    // Assigned: the same picture; nullptr empties it.
    THtmlPicture copy;
    copy.Assign(&picture);
    EXPECT_EQ(copy.Width(), 13);
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
    EXPECT_EQ(copy.Width(), 0);
}

// Icons and metafiles: sized from their headers, a metafile drawn into the rectangle (on the
// screen from an image played once, on a printer by its records), a damaged one refused with the
// format message.
TEST_F(HtmlPicture, IconsAndMetafiles)
{
    const auto file = [](const char* name) {
        TMemoryStream stream;
        stream.LoadFromFile(std::string(VELMORAN_TEST_DATA) + "/image/" + name);
        return std::string(stream.View());
    };
    THtmlPicture picture;
    Load(picture, file("symbol.ico"));
    EXPECT_EQ(picture.Width(), 32);
    EXPECT_EQ(picture.FrameCount(), -1);
    for (const char* name : {"zeichnung.wmf", "fenster.wmf", "zeichnung.emf"}) {
        Load(picture, file(name));
        EXPECT_EQ(picture.Width(), 200) << name;
        EXPECT_EQ(picture.Height(), 100) << name;
        TestFontEngine fonts;
        picture.Stretch = true;
        // On the screen from the image it was played into, once for the size.
        RecordingCanvas screen(fonts);
        picture.Draw(screen, {10, 20, 210, 120});
        picture.Draw(screen, {10, 20, 210, 120});
        const std::string blt = "StretchBlt 10,20,210,120 from 0,0,200,100 of 200x100 alpha";
        EXPECT_EQ(screen.Calls(), (std::vector<std::string>{blt, blt})) << name;
        // On a printer the records: at (10, 20) the rectangle from (5,10)-(60,70) lands at (15,30)-(70,90).
        RecordingCanvas printer(fonts);
        printer.SetDeviceCaps(LOGPIXELSX, 600);
        printer.SetDeviceCaps(LOGPIXELSY, 600);
        picture.Draw(printer, {10, 20, 210, 120});
        const std::vector<std::string> calls = printer.Calls();
        EXPECT_NE(std::find(calls.begin(), calls.end(), "Rectangle 15,30,70,90"), calls.end()) << name;
        EXPECT_TRUE(std::any_of(calls.begin(), calls.end(),
                                [](const std::string& c) { return c.rfind("StretchBlt ", 0) == 0; }))
            << name;
        picture.Stretch = false;
    }
    std::string cut = file("zeichnung.emf");
    cut.resize(cut.size() - 30);
    try {
        Load(picture, cut);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Could not load image. Invalid format");
    }
}

TEST_F(HtmlPicture, GarbageRaisesFromStreamsAndEmptiesFromFiles)
{
    THtmlPicture picture;
    try {
        Load(picture, std::string(64, 'x'));
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Could not load image. Invalid format");
    }
    EXPECT_EQ(picture.Width(), 0);
    // A damaged icon (its one entry empty) raises too.
    std::string icon("\0\0\1\0\1\0", 6);
    icon.resize(80, '\0');
    EXPECT_THROW(Load(picture, icon), Exception);
    velmoran::testing::TempFolder folder;
    velmoran::testing::TempFolder::Write(folder / "kaputt.gif", "GIF89a kaputt");
    picture.LoadFromFile(folder / "kaputt.gif");
    EXPECT_TRUE(picture.Empty());
    picture.LoadFromFile(folder / "fehlt.bmp");
    EXPECT_TRUE(picture.Empty());
}

TEST_F(HtmlPicture, AddressesOfLoadFromURL)
{
    THtmlPicture resource;
    resource.LoadFromURL("res://Tropfen.bmp");
    EXPECT_FALSE(resource.Empty());
    EXPECT_EQ(resource.Width(), 16);
    EXPECT_EQ(resource.ID(), "res://Tropfen.bmp");
    THtmlPicture missing;
    missing.LoadFromURL("RES://tropfen.bmp");  // the name's case counts
    EXPECT_TRUE(missing.Empty());
    // Only the pictures' own folder is read: no name that climbs out of it, and no empty one.
    std::string bytes = "vorher";
    EXPECT_TRUE(ReadPictureResource("Tropfen.bmp", bytes));
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    bytes = "vorher";
    EXPECT_FALSE(ReadPictureResource("../bitmaps/PREV1.xpm", bytes));
    EXPECT_FALSE(ReadPictureResource("", bytes));
    EXPECT_EQ(bytes, "vorher");

    velmoran::testing::TempFolder folder;
    velmoran::testing::TempFolder::Write(folder / "bild.bmp", Bitmap(3, 2));
    std::string path = folder / "bild.bmp";
    std::replace(path.begin(), path.end(), '/', '\\');
    THtmlPicture file;
    file.LoadFromURL("FILE://" + path);
    EXPECT_EQ(file.Width(), 3);

    // Remote addresses load nothing; no download starts.
    THtmlPicture remote;
    remote.LoadFromURL("http://example.org/a.gif");
    EXPECT_TRUE(remote.Empty());
    EXPECT_EQ(remote.URL(), "http://example.org/a.gif");
    EXPECT_TRUE(remote.DownloadStarted());
    EXPECT_EQ(remote.ID(), "");
    remote.LoadFromURL("http://example.org/b.gif");
    EXPECT_EQ(remote.URL(), "http://example.org/a.gif");
    THtmlPicture direct;
    direct.Asynch = false;
    direct.LoadFromURL("http://example.org/a.gif");
    EXPECT_EQ(direct.ID(), "http://example.org/a.gif");
    EXPECT_FALSE(direct.DownloadStarted());
}

// Clearing the cache frees its pictures and empties the list, so that no lookup can reach a
// freed picture afterwards (under the address sanitizer).
TEST_F(HtmlPicture, ClearedCacheFindsNothingAndLookupsAreCaseSensitive)
{
    THtmlPictureCache cache;
    THtmlPicture* picture = cache.AddPicture();
    picture->Asynch = false;
    picture->LoadFromURL("http://x/Bild.gif");
    EXPECT_EQ(cache.FindPicture("http://x/Bild.gif"), picture);
    EXPECT_EQ(cache.FindPicture("http://x/bild.gif"), nullptr);
    cache.ClearPictures();
    EXPECT_EQ(cache.Count(), 0);
    EXPECT_EQ(cache.FindPicture("http://x/Bild.gif"), nullptr);

    TPictureContainer container;
    TPictureItem& item = container.Items().Add();
    item.Name = "Logo";
    Load(item.Picture(), Bitmap(4, 4));
    EXPECT_EQ(container.FindPicture("LOGO"), &item.Picture());
    EXPECT_EQ(container.FindPicture("Logo"), nullptr);
    TPictureItem& copy = container.Items().Add();
    copy.Assign(item);
    EXPECT_EQ(copy.Name, "Logo");
    EXPECT_EQ(copy.Picture().Width(), 4);
}

// One file is one picture however a caption spells its address: the cache finds it by the file's
// canonical path, so that thirty spellings of one metafile shown at one size keep one picture and
// one image, not thirty of each. Another file stays a picture of its own. The images and the
// decoded pictures count in one budget.
TEST_F(HtmlPicture, EverySpellingOfOneFileIsOnePicture)
{
    velmoran::testing::TempFolder folder;
    const std::string emf = imagetest::FullSizeEllipsesEmf(40, 30, 2);
    const std::string file = folder.WriteFile("bild.emf", emf);
    folder.WriteFile("anderes.emf", emf);
    std::filesystem::create_symlink(file, folder / "verweis.emf");
    const std::string dir = folder / "";
    std::string backslashed = file;
    std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
    std::vector<std::string> spellings = {"FILE://" + file, "file://" + file, "File://" + backslashed,
                                          "FILE://" + dir + "/bild.emf", "FILE://" + dir + "../" +
                                          std::filesystem::path(folder / "").parent_path().filename().string() +
                                          "/bild.emf", "FILE://" + dir + "verweis.emf"};
    for (std::string dots = "./"; spellings.size() < 30; dots += "./")
        spellings.push_back("FILE://" + dir + dots + "bild.emf");
    std::string caption;
    for (const std::string& address : spellings)
        caption += "<IMG SRC=\"" + address + "\" WIDTH=\"80\" HEIGHT=\"60\">";

    TestFontEngine fonts;
    RecordingCanvas canvas(fonts, 3000, 100);
    THtmlPictureCache cache;
    TMiniHtmlInputs in = CaptionWithPictures(caption, cache, 3000);
    TMiniHtmlOutputs out;
    const int keptBefore = TKeptImages::Shared().Count();
    DrawMiniHtml(canvas, in, out);
    EXPECT_EQ(cache.Count(), 1);
    EXPECT_EQ(TKeptImages::Shared().Count(), keptBefore + 1);
    const auto calls = canvas.Calls();
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(), [](const std::string& c) { return c.rfind("StretchBlt ", 0) == 0; }),
              30);

    in.Text += "<IMG SRC=\"FILE://" + dir + "anderes.emf\" WIDTH=\"80\" HEIGHT=\"60\">";
    DrawMiniHtml(canvas, in, out);
    EXPECT_EQ(cache.Count(), 2);
    cache.ClearPictures();
    EXPECT_EQ(TKeptImages::Shared().Count(), keptBefore);

    // A decoded picture counts in the same budget while it lives.
    const std::int64_t heldBefore = TKeptImages::Shared().Held();
    auto bitmap = std::make_unique<THtmlPicture>();
    Load(*bitmap, Bitmap(30, 20));
    EXPECT_EQ(TKeptImages::Shared().Held(), heldBefore + 30 * 20 * 4);
    bitmap.reset();
    EXPECT_EQ(TKeptImages::Shared().Held(), heldBefore);
}

// A caption's paint is one paint of its pictures: one metafile shown at more sizes than a picture
// keeps has all of them kept, and the next paint draws them as they are.
TEST_F(HtmlPicture, ACaptionKeepsEverySizeItShowsAPictureAt)
{
    velmoran::testing::TempFolder folder;
    const std::string file = folder.WriteFile("groessen.emf", imagetest::FullSizeEllipsesEmf(40, 30, 2));
    const int sizes = TKeptImages::kSizesPerPicture + 1;
    std::string caption;
    for (int i = 0; i < sizes; ++i)
        caption += "<IMG SRC=\"FILE://" + file + "\" WIDTH=\"" + std::to_string(40 + i) + "\" HEIGHT=\"30\">";
    TestFontEngine fonts;
    RecordingCanvas canvas(fonts, 1000, 100);
    THtmlPictureCache cache;
    const TMiniHtmlInputs in = CaptionWithPictures(caption, cache, 1000);
    TMiniHtmlOutputs out;
    const int keptBefore = TKeptImages::Shared().Count();
    for (int paint = 0; paint < 2; ++paint) {
        DrawMiniHtml(canvas, in, out);
        EXPECT_EQ(TKeptImages::Shared().Count(), keptBefore + sizes) << paint;
    }
    cache.ClearPictures();
    EXPECT_EQ(TKeptImages::Shared().Count(), keptBefore);
}
