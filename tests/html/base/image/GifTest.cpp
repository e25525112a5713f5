// GIF decoding and animation: palettes, transparency, interlacing, disposal, loop counts and
// timing, frame by frame; the decoder's limits and errors.
#include "html/base/image/GifDecoder.h"
#include "html/base/image/GifImage.h"
#include "platform/QtCanvas.h"
#include "platform/core/Stream.h"
#include "tests/html/base/image/ImageTestSupport.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QPainter>
#include <QImageReader>

using namespace velmoran;
using namespace imagetest;

namespace {

std::vector<std::uint8_t> Pattern(int w, int h, int colours, int seed = 0)
{
    std::vector<std::uint8_t> pixels(std::size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pixels[std::size_t(y) * w + x] = static_cast<std::uint8_t>((x * 3 + y * 7 + seed + (x * y) % 5) % colours);
    return pixels;
}

std::unique_ptr<TGIFImage> Load(const std::string& bytes, bool& nonAnimated)
{
    return GifImageFromBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), nonAnimated);
}

std::unique_ptr<TGIFImage> Load(const std::string& bytes)
{
    bool nonAnimated = false;
    return Load(bytes, nonAnimated);
}

int ErrorCode(const std::string& bytes, std::string* message = nullptr)
{
    try {
        Load(bytes);
    } catch (const EInvalidGraphicOperation& e) {
        if (message != nullptr)
            *message = e.Message();
        return e.Code();
    }
    return 0;
}

QImage QtFirstFrame(const std::string& bytes)
{
    QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    QImageReader reader(&buffer, "gif");
    return reader.read();
}

void ExpectFrame(const QImage& frame, int w, const std::vector<std::uint8_t>& pixels, const std::vector<QRgb>& table,
                 int transparentIndex = -1)
{
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < w; ++x) {
            const int index = pixels[std::size_t(y) * w + x];
            if (index == transparentIndex)
                ASSERT_EQ(qAlpha(frame.pixel(x, y)), 0) << x << "," << y;
            else
                ASSERT_EQ(frame.pixel(x, y), table[index] | 0xFF000000) << x << "," << y;
        }
}

}  // namespace

TEST(Gif, OneFrameWithGlobalPaletteMatchesQt)
{
    const auto palette = TestPalette(16);
    const auto pixels = Pattern(23, 17, 16);
    GifWriter writer(23, 17, palette);
    writer.Comment("Velmoran");
    writer.Image(0, 0, 23, 17, pixels);
    const std::string bytes = writer.Finish();
    WriteSeed("gif", "global.gif", bytes);
    bool nonAnimated = false;
    auto image = Load(bytes, nonAnimated);
    EXPECT_TRUE(nonAnimated);
    EXPECT_FALSE(image->Animate());
    EXPECT_EQ(image->NumFrames(), 1);
    EXPECT_FALSE(image->IsTransparent());
    EXPECT_TRUE(image->GetStaticMask().isNull());
    const QImage ours = image->FrameImage(1);
    ExpectFrame(ours, 23, pixels, palette);
    const QImage qt = QtFirstFrame(bytes).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(qt.size(), ours.size());
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 23; ++x)
            ASSERT_EQ(ours.pixel(x, y), qt.pixel(x, y));
}

TEST(Gif, LargePaletteAndLongDataReachTheFullCodeTable)
{
    // 256 colours of noise fill the 4096-entry table several times, so clear codes follow.
    const auto palette = TestPalette(256);
    std::vector<std::uint8_t> pixels(200 * 150);
    std::uint32_t state = 7;
    for (auto& p : pixels) {
        state = state * 1103515245u + 12345u;
        p = static_cast<std::uint8_t>((state >> 16) & 0xFF);
    }
    GifWriter writer(200, 150, palette);
    writer.Image(0, 0, 200, 150, pixels);
    ExpectFrame(Load(writer.Finish())->FrameImage(1), 200, pixels, palette);
}

TEST(Gif, LocalPalettesInterlacingAndLowerCaseSignature)
{
    const auto global = TestPalette(4);
    const auto local = TestPalette(8);
    for (int height : {1, 2, 3, 4, 5, 9, 17}) {
        const auto pixels = Pattern(6, height, 8, height);
        GifWriter writer(6, height, global, "gif89a");
        writer.Image(0, 0, 6, height, pixels, local, true);
        const std::string bytes = writer.Finish();
        if (height == 9)
            WriteSeed("gif", "interlaced-local.gif", bytes);
        ExpectFrame(Load(bytes)->FrameImage(1), 6, pixels, local);
    }
}

TEST(Gif, InterlacedRowsArriveInPassOrder)
{
    // Nine rows, row r of colour r: the data holds rows in the order 0, 8, 4, 2, 6, 1, 3, 5, 7.
    std::vector<std::uint8_t> pixels;
    for (int r = 0; r < 9; ++r)
        pixels.insert(pixels.end(), 2, static_cast<std::uint8_t>(r));
    GifWriter writer(2, 9, TestPalette(16));
    writer.Image(0, 0, 2, 9, pixels, {}, true);
    TGif gif;
    const std::string bytes = writer.Finish();
    gif.LoadFromBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    for (int r = 0; r < 9; ++r)
        EXPECT_EQ(gif.Image(0).Pixels[std::size_t(r) * 2], r);
}

TEST(Gif, TransparencyDisposalAndComposition)
{
    const auto palette = TestPalette(4);
    GifWriter writer(4, 2, palette);
    writer.Loop(2);
    writer.Control(2, 0, 3);  // frame 1: restore to background, index 3 transparent
    writer.Image(0, 0, 2, 2, {0, 3, 1, 1});
    writer.Control(0, 50, 3);  // frame 2: index 3 transparent
    writer.Image(1, 0, 3, 2, {3, 2, 3, 2, 2, 3});
    writer.Control(1, 1, -1);
    writer.Image(0, 1, 4, 1, {1, 1, 1, 1});
    const std::string bytes = writer.Finish();
    WriteSeed("gif", "animated.gif", bytes);
    bool nonAnimated = true;
    auto image = Load(bytes, nonAnimated);
    EXPECT_FALSE(nonAnimated);
    EXPECT_TRUE(image->Animate());
    EXPECT_TRUE(image->IsTransparent());
    ASSERT_EQ(image->NumFrames(), 3);
    EXPECT_EQ(image->NumIterations(), 3);
    EXPECT_EQ(image->LastDisposal(), 2);

    const QImage f1 = image->FrameImage(1);
    EXPECT_EQ(f1.pixel(0, 0), palette[0]);
    EXPECT_EQ(qAlpha(f1.pixel(1, 0)), 0);  // transparent pixel of the first frame
    EXPECT_EQ(qAlpha(f1.pixel(2, 0)), 0);  // outside the first frame
    EXPECT_EQ(f1.pixel(1, 1), palette[1]);

    // Frame 2 starts from frame 1; frame 1's rectangle is disposed to transparent, and frame 2's
    // transparent pixels leave that.
    const QImage f2 = image->FrameImage(2);
    EXPECT_EQ(qAlpha(f2.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(f2.pixel(0, 1)), 0);
    EXPECT_EQ(qAlpha(f2.pixel(1, 0)), 0);
    EXPECT_EQ(f2.pixel(2, 0), palette[2]);
    EXPECT_EQ(f2.pixel(1, 1), palette[2]);
    EXPECT_EQ(f2.pixel(2, 1), palette[2]);
    EXPECT_EQ(qAlpha(f2.pixel(3, 1)), 0);

    // Frame 3 (after a frame without disposal) keeps frame 2 and paints its row.
    const QImage f3 = image->FrameImage(3);
    EXPECT_EQ(f3.pixel(2, 0), palette[2]);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(f3.pixel(x, 1), palette[1]);

    EXPECT_EQ(image->Frames()[0].Delay, 30);
    EXPECT_EQ(image->Frames()[1].Delay, 500);
    EXPECT_EQ(image->Frames()[2].Delay, 30);
    EXPECT_EQ(image->Frames()[0].Disposal, 2);
}

TEST(Gif, TransparentPixelOfALaterFrameShowsTheEarlierFrame)
{
    const auto palette = TestPalette(4);
    GifWriter writer(2, 1, palette);
    writer.Image(0, 0, 2, 1, {1, 2});
    writer.Control(0, 10, 0);
    writer.Image(0, 0, 2, 1, {0, 3});
    auto image = Load(writer.Finish());
    const QImage f2 = image->FrameImage(2);
    EXPECT_EQ(f2.pixel(0, 0), palette[1]);
    EXPECT_EQ(f2.pixel(1, 0), palette[3]);
}

TEST(Gif, LoopCountsDecideHowOftenTheSequenceRuns)
{
    auto build = [](int loop) {
        GifWriter writer(1, 1, TestPalette(2));
        if (loop >= 0)
            writer.Loop(loop);
        writer.Control(0, 10, -1);
        writer.Image(0, 0, 1, 1, {0});
        writer.Control(0, 20, -1);
        writer.Image(0, 0, 1, 1, {1});
        return writer.Finish();
    };
    // Runs the animation with a clock stepping 10 ms and records the frames shown.
    auto run = [](TGIFImage& image) {
        std::vector<int> shown{image.CurrentFrame()};
        for (std::uint32_t now = 1000; now < 5000 && image.Animate(); now += 10)
            if (image.CheckTime(now))
                shown.push_back(image.CurrentFrame());
        return shown;
    };
    auto once = Load(build(-1));
    EXPECT_EQ(once->NumIterations(), 1);
    EXPECT_EQ(run(*once), (std::vector<int>{1, 2}));
    EXPECT_FALSE(once->Animate());

    auto thrice = Load(build(2));
    EXPECT_EQ(thrice->NumIterations(), 3);
    EXPECT_EQ(run(*thrice), (std::vector<int>{1, 2, 1, 2, 1, 2}));

    auto endless = Load(build(0));
    EXPECT_EQ(endless->NumIterations(), 0);
    const auto shown = run(*endless);
    EXPECT_TRUE(endless->Animate());
    EXPECT_GT(shown.size(), 20u);
}

TEST(Gif, AnimationTimingFollowsTheFrameDelays)
{
    GifWriter writer(1, 1, TestPalette(2));
    writer.Loop(0);
    writer.Control(1, 10, -1);  // 100 ms
    writer.Image(0, 0, 1, 1, {0});
    writer.Control(2, 50, -1);  // 500 ms
    writer.Image(0, 0, 1, 1, {1});
    auto image = Load(writer.Finish());
    EXPECT_FALSE(image->CheckTime(1000));  // the clock starts at the first check
    EXPECT_FALSE(image->CheckTime(1099));
    EXPECT_TRUE(image->CheckTime(1100));
    EXPECT_EQ(image->CurrentFrame(), 2);
    EXPECT_EQ(image->LastDisposal(), 1);
    EXPECT_EQ(image->CurrentInterval(), 500);
    EXPECT_FALSE(image->CheckTime(1599));
    EXPECT_TRUE(image->CheckTime(1600));
    EXPECT_EQ(image->CurrentFrame(), 1);
    EXPECT_EQ(image->LastDisposal(), 2);

    image->SetCurrentFrame(0);  // below the first: the last
    EXPECT_EQ(image->CurrentFrame(), 2);
    EXPECT_EQ(image->LastDisposal(), 2);
    image->SetCurrentFrame(5);  // above the last: the first
    EXPECT_EQ(image->CurrentFrame(), 1);

    auto copy = TGIFImage::CreateCopy(*image);
    EXPECT_TRUE(copy->IsCopy());
    EXPECT_EQ(copy->CurrentFrame(), 1);
    EXPECT_EQ(copy->LastDisposal(), 2);
    EXPECT_EQ(&copy->Strip(), &image->Strip());
    image.reset();
    EXPECT_EQ(copy->FrameImage(2).pixel(0, 0), TestPalette(2)[1]);
}

TEST(Gif, ImageHigherThanTheScreenIsCut)
{
    GifWriter writer(3, 2, TestPalette(4));
    writer.Image(0, 0, 3, 4, Pattern(3, 4, 4));
    TGif gif;
    const std::string bytes = writer.Finish();
    gif.LoadFromBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    EXPECT_EQ(gif.ImageHeight(0), 2);
    EXPECT_EQ(gif.ImageWidth(0), 3);
    EXPECT_THROW(gif.ImageLeft(1), EInvalidGraphicOperation);
    EXPECT_EQ(Load(bytes)->FrameImage(1).size(), QSize(3, 2));
}

TEST(Gif, DataWithoutALeadingClearCodeDecodes)
{
    const auto palette = TestPalette(4);
    const auto pixels = Pattern(7, 5, 4);
    GifWriter writer(7, 5, palette);
    writer.Raw(",");
    writer.Raw(std::string("\0\0\0\0\x07\0\x05\0\0", 9));
    writer.Raw(std::string(1, '\x02'));
    const std::string lzw = LzwEncode(pixels, 2, false);
    writer.Raw(std::string(1, static_cast<char>(lzw.size())) + lzw + std::string(1, '\0'));
    ExpectFrame(Load(writer.Finish())->FrameImage(1), 7, pixels, palette);
}

TEST(Gif, DecoderErrors)
{
    const auto palette = TestPalette(4);
    std::string message;
    EXPECT_EQ(ErrorCode("GIF88a" + std::string(20, '\0'), &message), gif::InvalidSignature);
    EXPECT_EQ(message, "TGif: Invalid GIF Signature Code");
    EXPECT_EQ(ErrorCode("GIF8"), gif::InvalidSignature);

    GifWriter noImage(2, 2, palette);
    EXPECT_EQ(ErrorCode(noImage.Finish(), &message), gif::NoImage);

    GifWriter noTable(2, 2, {});
    noTable.Image(0, 0, 2, 2, {0, 1, 1, 0}, {}, false, 2);
    EXPECT_EQ(ErrorCode(noTable.Finish()), gif::NoColorTable);

    GifWriter badOp(2, 2, palette);
    badOp.Raw("x");
    EXPECT_EQ(ErrorCode(badOp.Finish()), gif::UnknownOperationCode);

    GifWriter unknownExtension(2, 2, palette);
    unknownExtension.Raw("\x21\xAB\x00");
    EXPECT_EQ(ErrorCode(unknownExtension.Finish(), &message), gif::SpecialMessage);
    EXPECT_EQ(message, "TGif: unknown extension: 00AB");

    GifWriter badControl(2, 2, palette);
    badControl.Raw(std::string("\x21\xF9\x05\0\0\0\0\0\0", 9));
    EXPECT_EQ(ErrorCode(badControl.Finish()), gif::InvalidExtensionBlockSize);
    GifWriter badTerminator(2, 2, palette);
    badTerminator.Raw(std::string("\x21\xF9\x04\0\0\0\0\x01", 8));
    EXPECT_EQ(ErrorCode(badTerminator.Finish()), gif::InvalidExtensionTerminator);

    GifWriter zero(2, 2, palette);
    zero.Image(0, 0, 0, 2, {});
    EXPECT_EQ(ErrorCode(zero.Finish()), gif::ZeroSize);

    // A minimum code size above 11 is refused before any table is sized.
    GifWriter codeSize(2, 2, palette);
    codeSize.Raw(std::string(",\0\0\0\0\x02\0\x02\0\0\x0C\x01\x00\x00", 14));
    EXPECT_EQ(ErrorCode(codeSize.Finish()), gif::InvalidLzwCodeSize);

    // Data that starts (without a clear code) with the code being defined has no previous code.
    GifWriter kwkwk(2, 2, palette);
    kwkwk.Raw(std::string(",\0\0\0\0\x02\0\x02\0\0\x02\x01", 12));
    kwkwk.Raw(std::string("\x06\x00", 2));  // code 6 (== next code)
    EXPECT_EQ(ErrorCode(kwkwk.Finish()), gif::InvalidLzwData);

    // An end code right after a clear code.
    GifWriter endAfterClear(2, 2, palette);
    endAfterClear.Raw(std::string(",\0\0\0\0\x02\0\x02\0\0\x02\x01\x2C\x00", 14));
    EXPECT_EQ(ErrorCode(endAfterClear.Finish()), gif::InvalidLzwData);
}

TEST(Gif, SizeLimitsAreCheckedBeforeFramesAreAllocated)
{
    std::string message;
    GifWriter huge(10000, 10000, TestPalette(2));
    huge.Raw(std::string(",\0\0\0\0\x10\x27\x10\x27\0\x02\x02\x04\x05\x00", 15));
    EXPECT_EQ(ErrorCode(huge.Finish(), &message), gif::TooLarge);
    EXPECT_EQ(message, "TGif: Animated GIF too large");

    // Many frames of a screen that alone fits: the strip would not.
    GifWriter many(4000, 4000, TestPalette(2));
    for (int i = 0; i < 6; ++i)
        many.Raw(std::string(",\0\0\0\0\x01\0\x01\0\0\x02\x02\x04\x05\x00", 15));
    EXPECT_EQ(ErrorCode(many.Finish()), gif::TooLarge);

    // Frames much wider than a tiny screen.
    GifWriter wide(1, 100, TestPalette(2));
    for (int i = 0; i < 40; ++i)
        wide.Raw(std::string(",\0\0\0\0\xFF\xFF\x64\0\0\x02\x02\x04\x05\x00", 15));
    EXPECT_EQ(ErrorCode(wide.Finish()), gif::TooLarge);
}

TEST(Gif, TruncatedAndCorruptedFilesFailCleanly)
{
    const auto palette = TestPalette(16);
    GifWriter writer(31, 19, palette);
    writer.Loop(0);
    writer.Control(2, 5, 1);
    writer.Image(0, 0, 31, 19, Pattern(31, 19, 16), {}, true);
    writer.Control(3, 5, 2);
    writer.Image(3, 2, 9, 9, Pattern(9, 9, 16, 3), TestPalette(16));
    const std::string good = writer.Finish();
    ASSERT_EQ(ErrorCode(good), 0);
    for (std::size_t n = 0; n + 1 < good.size(); ++n) {
        const std::string cut = good.substr(0, n);
        try {
            Load(cut);
        } catch (const EInvalidGraphicOperation&) {
        }
    }
    std::uint32_t state = 99;
    for (int round = 0; round < 300; ++round) {
        std::string bad = good;
        for (int k = 0; k < 3; ++k) {
            state = state * 1664525u + 1013904223u;
            bad[(state >> 8) % bad.size()] = static_cast<char>(state >> 24);
        }
        try {
            Load(bad);
        } catch (const EInvalidGraphicOperation&) {
        }
    }
    // The trailer missing is no error.
    EXPECT_EQ(ErrorCode(good.substr(0, good.size() - 1)), 0);
}

TEST(Gif, DrawPaintsTheCurrentFrameThroughTheMask)
{
    const auto palette = TestPalette(4);
    GifWriter writer(2, 1, palette);
    writer.Control(0, 10, 3);
    writer.Image(0, 0, 2, 1, {1, 3});
    writer.Control(0, 10, -1);
    writer.Image(0, 0, 2, 1, {2, 2});
    auto image = Load(writer.Finish());
    QImage target(4, 2, QImage::Format_ARGB32_Premultiplied);
    target.fill(qRgb(9, 9, 9));
    {
        QPainter painter(&target);
        QtCanvas canvas(&painter);
        image->Draw(canvas, 0, 0, 4, 2);
    }
    EXPECT_EQ(image->FrameRect(), QRect(0, 0, 4, 2));
    EXPECT_EQ(target.pixel(0, 0), palette[1]);
    EXPECT_EQ(target.pixel(3, 1), qRgb(9, 9, 9));
    image->SetCurrentFrame(2);
    {
        QPainter painter(&target);
        QtCanvas canvas(&painter);
        image->Draw(canvas, 0, 0, 4, 2);
    }
    EXPECT_EQ(target.pixel(3, 1), palette[2]);
    image->Visible = false;
    image->SetCurrentFrame(1);
    target.fill(0);
    {
        QPainter painter(&target);
        QtCanvas canvas(&painter);
        image->Draw(canvas, 0, 0, 4, 2);
    }
    EXPECT_EQ(target.pixel(0, 0), 0u);
}
