// PNG reading: every colour type and bit depth, interlaced or not, with and without tRNS, compared
// pixel by pixel with Qt's reader; gamma, text, joined data; and every way a file can be broken.
#include "html/base/image/PngDecode.h"
#include "platform/core/Stream.h"
#include "tests/html/base/image/ImageTestSupport.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>

#include <zlib.h>

using namespace velmoran;
using namespace imagetest;

namespace {

// Compares our picture with Qt's: 8-bit values exactly; for 16-bit depths the high byte of Qt's
// 16-bit value.
void ExpectSamePixels(const QImage& ours, const QImage& qt, int depth, const std::string& what)
{
    ASSERT_FALSE(ours.isNull()) << what;
    ASSERT_FALSE(qt.isNull()) << what;
    ASSERT_EQ(ours.size(), qt.size()) << what;
    const QImage a = ours.convertToFormat(QImage::Format_ARGB32);
    const QImage b16 = qt.convertToFormat(QImage::Format_RGBA64);
    const QImage b8 = qt.convertToFormat(QImage::Format_ARGB32);
    int mismatches = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb mine = a.pixel(x, y);
            QRgb theirs;
            if (depth == 16) {
                const QRgba64 c = reinterpret_cast<const QRgba64*>(b16.constScanLine(y))[x];
                theirs = qRgba(c.red() >> 8, c.green() >> 8, c.blue() >> 8, c.alpha() >> 8);
            } else {
                theirs = b8.pixel(x, y);
            }
            if (qAlpha(mine) == 0 && qAlpha(theirs) == 0)
                continue;  // colour of a fully transparent pixel does not matter
            if (mine != theirs && mismatches++ < 5)
                ADD_FAILURE() << what << " at " << x << "," << y << ": ours " << std::hex << mine << " Qt " << theirs;
        }
    EXPECT_EQ(mismatches, 0) << what;
}

std::string PaletteData(int entries)
{
    std::string plte;
    for (int i = 0; i < entries; ++i) {
        plte.push_back(static_cast<char>(i * 37));
        plte.push_back(static_cast<char>(255 - i * 11));
        plte.push_back(static_cast<char>(i * 5 + 3));
    }
    return plte;
}

// tRNS for the colour type that keys on the colour of the last pixel.
std::string TrnsFor(const PngSpec& spec, const std::vector<std::uint16_t>& samples)
{
    auto be16 = [](int v) { return std::string{static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)}; };
    switch (spec.ColorType) {
    case 0: return be16(samples.back());
    case 2: {
        const std::size_t n = samples.size();  // the last pixel's colour
        return be16(samples[n - 3]) + be16(samples[n - 2]) + be16(samples[n - 1]);
    }
    case 3: {
        std::string alpha;
        for (std::size_t i = 0; i < spec.Plte.size() / 3; ++i)
            alpha.push_back(static_cast<char>(i == 1 ? 0 : (i * 70) & 0xFF));
        return alpha;
    }
    default: return {};
    }
}

TPNGImage Decode(const std::string& bytes)
{
    TPNGImage png;
    png.LoadFromBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return png;
}

int ErrorId(const std::string& bytes)
{
    try {
        Decode(bytes);
    } catch (const EPNGImageException& e) {
        return e.Id();
    } catch (const EZDecompressionError&) {
        return -2;
    }
    return 0;
}

std::string SimpleRgb(int w = 4, int h = 3)
{
    PngSpec spec{w, h, 2, 8};
    return BuildPng(spec, PngSamples(spec, 1));
}

}  // namespace

TEST(PngDecode, EveryColourTypeAndDepthMatchesQt)
{
    const std::pair<int, std::vector<int>> kinds[] = {
        {0, {1, 2, 4, 8, 16}}, {2, {8, 16}}, {3, {1, 2, 4, 8}}, {4, {8, 16}}, {6, {8, 16}}};
    int index = 0;
    for (const auto& [type, depths] : kinds)
        for (int depth : depths)
            for (bool interlace : {false, true})
                for (bool withTrns : {false, true}) {
                    if (withTrns && (type == 4 || type == 6))
                        continue;
                    for (const auto& [w, h] : {std::pair{13, 11}, std::pair{1, 1}, std::pair{3, 9}}) {
                        PngSpec spec{w, h, type, depth, interlace};
                        if (type == 3)
                            spec.Plte = PaletteData(std::min(1 << depth, 200));
                        const auto samples = PngSamples(spec, static_cast<unsigned>(++index));
                        if (withTrns)
                            spec.Trns = TrnsFor(spec, samples);
                        const std::string bytes = BuildPng(spec, samples);
                        const std::string what = "type " + std::to_string(type) + " depth " + std::to_string(depth) +
                                                 (interlace ? " interlaced" : "") + (withTrns ? " tRNS" : "") + " " +
                                                 std::to_string(w) + "x" + std::to_string(h);
                        TPNGImage png = Decode(bytes);
                        EXPECT_EQ(png.Interlaced, interlace);
                        if (type == 2 && depth == 16 && withTrns) {
                            // Qt's reader garbles this one kind; the colours are compared with
                            // the picture without tRNS and the alpha with the key.
                            PngSpec opaque = spec;
                            opaque.Trns.clear();
                            QImage expected = QtRead(BuildPng(opaque, samples)).convertToFormat(QImage::Format_RGBA64);
                            for (int y = 0; y < h; ++y)
                                for (int x = 0; x < w; ++x) {
                                    const std::size_t i = (std::size_t(y) * w + x) * 3;
                                    const std::size_t n = samples.size();
                                    if (samples[i] == samples[n - 3] && samples[i + 1] == samples[n - 2] &&
                                        samples[i + 2] == samples[n - 1])
                                        expected.setPixelColor(x, y, Qt::transparent);
                                }
                            ExpectSamePixels(png.Picture(), expected, depth, what);
                        } else {
                            ExpectSamePixels(png.Picture(), QtRead(bytes), depth, what);
                        }
                        if (w == 13)
                            WriteSeed("png", "t" + std::to_string(type) + "d" + std::to_string(depth) +
                                                 (interlace ? "i" : "") + (withTrns ? "t" : "") + ".png",
                                      bytes);
                    }
                }
}

TEST(PngDecode, TwoBitGreyUsesTheFourStandardLevels)
{
    PngSpec spec{4, 1, 0, 2};
    const std::string bytes = BuildPng(spec, {0, 1, 2, 3});
    const QImage picture = Decode(bytes).Picture();
    EXPECT_EQ(picture.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(picture.pixel(1, 0), qRgb(85, 85, 85));
    EXPECT_EQ(picture.pixel(2, 0), qRgb(170, 170, 170));
    EXPECT_EQ(picture.pixel(3, 0), qRgb(255, 255, 255));
}

TEST(PngDecode, RgbTransparentColourIsReadAsThreeSixteenBitSamples)
{
    PngSpec spec{2, 1, 2, 8};
    spec.Trns = std::string("\x00\x10\x00\x20\x00\x30", 6);
    TPNGImage png = Decode(BuildPng(spec, {0x10, 0x20, 0x30, 0x10, 0x20, 0x31}));
    ASSERT_TRUE(png.TransparentColor().has_value());
    EXPECT_EQ(*png.TransparentColor(), qRgb(0x10, 0x20, 0x30));
    EXPECT_EQ(qAlpha(png.Picture().pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(png.Picture().pixel(1, 0)), 255);

    PngSpec grey{2, 1, 0, 8};
    TPNGImage greyPng = Decode(BuildPng(grey, {1, 2}));
    try {
        greyPng.TransparentColor();
        ADD_FAILURE() << "asking a grey picture for its RGB transparent colour must fail";
    } catch (const EPNGImageException& e) {
        EXPECT_EQ(e.Id(), png::NotRGB);
    }
}

// A palette of any whole number of entries is read: entries the pixels may name but the palette
// lacks are black, and entries beyond what the bit depth can index are never shown (writers often
// keep a full palette for a picture of few colours).
TEST(PngDecode, PalettesOfAnyLengthAreRead)
{
    PngSpec spec{4, 1, 3, 2};
    spec.Plte = PaletteData(3);
    QImage picture = Decode(BuildPng(spec, {0, 1, 2, 3})).Picture();
    EXPECT_EQ(picture.pixel(2, 0), qRgb(74, 233, 13));
    EXPECT_EQ(picture.pixel(3, 0), qRgb(0, 0, 0));

    PngSpec oneBit{3, 1, 3, 1};
    oneBit.Plte = PaletteData(3);  // three entries for a 1-bit picture
    picture = Decode(BuildPng(oneBit, {1, 0, 1})).Picture();
    EXPECT_EQ(picture.pixel(0, 0), qRgb(37, 244, 8));
    EXPECT_EQ(picture.pixel(1, 0), qRgb(0, 255, 3));
    EXPECT_EQ(picture.colorCount(), 2);

    PngSpec full{2, 1, 3, 4};
    full.Plte = PaletteData(256);
    full.Trns = std::string(256, '\x80');
    picture = Decode(BuildPng(full, {15, 2})).Picture();
    EXPECT_EQ(picture.pixel(0, 0), qRgba(43, 90, 78, 0x80));  // entry 15
    EXPECT_EQ(picture.pixel(1, 0), qRgba(74, 233, 13, 0x80));

    PngSpec empty{2, 1, 3, 1};
    empty.ChunksBeforeData.emplace_back("PLTE", "");  // present, with no entry
    picture = Decode(BuildPng(empty, {0, 1})).Picture();
    EXPECT_EQ(picture.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(picture.pixel(1, 0), qRgb(0, 0, 0));
}

TEST(PngDecode, GammaIsAppliedAndAGammaOfZeroIgnored)
{
    PngSpec spec{1, 1, 2, 8};
    spec.Gamma = 100000;  // gamma 1.0: samples go through the exponent 1/2.2
    TPNGImage png = Decode(BuildPng(spec, {64, 128, 255}));
    EXPECT_EQ(png.Gamma(), 100000u);
    const QRgb c = png.Picture().pixel(0, 0);
    EXPECT_EQ(qRed(c), static_cast<int>(std::lround(255 * std::pow(64 / 255.0, 1 / 2.2))));
    EXPECT_EQ(qGreen(c), static_cast<int>(std::lround(255 * std::pow(128 / 255.0, 1 / 2.2))));
    EXPECT_EQ(qBlue(c), 255);

    spec.Gamma = 0;
    TPNGImage zero = Decode(BuildPng(spec, {64, 128, 255}));
    EXPECT_EQ(zero.Gamma(), 0u);
    EXPECT_EQ(zero.Picture().pixel(0, 0), qRgb(64, 128, 255));
}

TEST(PngDecode, TextChunksAndSplitImageData)
{
    PngSpec spec{13, 11, 6, 8};
    spec.SplitData = true;
    spec.ChunksBeforeData = {{"tEXt", std::string("Title\0Kl\xe4ranlage", 16)}, {"tIME", std::string(7, '\1')}};
    const auto samples = PngSamples(spec, 7);
    const std::string bytes = BuildPng(spec, samples);
    TPNGImage png = Decode(bytes);
    // Qt's reader wants the data chunks together; it gets the same picture unsplit.
    PngSpec together = spec;
    together.SplitData = false;
    ExpectSamePixels(png.Picture(), QtRead(BuildPng(together, samples)), 8, "split data");
    const auto texts = png.Texts();
    ASSERT_GE(texts.size(), 1u);
    EXPECT_EQ(texts[0].first, "Title");
    EXPECT_EQ(texts[0].second, "Kl\xe4ranlage");
    EXPECT_GE(png.Chunks().IndexOfName("tIME"), 0);
}

TEST(PngDecode, InterlacedPictureThreeWideSkipsTheEmptyPass)
{
    PngSpec spec{3, 3, 2, 8, true};
    const auto samples = PngSamples(spec, 3);
    const std::string bytes = BuildPng(spec, samples);
    const QImage picture = Decode(bytes).Picture();
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            const std::size_t i = (std::size_t(y) * 3 + x) * 3;
            EXPECT_EQ(picture.pixel(x, y), qRgb(samples[i], samples[i + 1], samples[i + 2]));
        }
}

TEST(PngDecode, BrokenFilesFailWithTheirMessage)
{
    const std::string good = SimpleRgb();
    ASSERT_EQ(ErrorId(good), 0);

    std::string badSignature = good;
    badSignature[7] = 0x0B;
    EXPECT_EQ(ErrorId(badSignature), png::InvalidHeader);

    // IHDR after another chunk.
    std::string headerLater = good.substr(0, 8) + PngChunk("gAMA", Be32(45455)) + good.substr(8);
    EXPECT_EQ(ErrorId(headerLater), png::NoIHDR);

    std::string unknownCritical = good.substr(0, 33) + PngChunk("ABCD", "x") + good.substr(33);
    EXPECT_EQ(ErrorId(unknownCritical), png::UnknownCriticalChunk);
    std::string unknownAncillary = good.substr(0, 33) + PngChunk("abcd", "x") + good.substr(33);
    EXPECT_EQ(ErrorId(unknownAncillary), 0);

    std::string changedByte = good;
    changedByte[45] ^= 0x01;  // inside the IDAT data
    EXPECT_EQ(ErrorId(changedByte), png::CorruptedData);

    PngSpec filterSpec{4, 3, 2, 8};
    filterSpec.ForcedFilter = 5;
    EXPECT_EQ(ErrorId(BuildPng(filterSpec, PngSamples(filterSpec, 2))), png::UnknownFilter);

    PngSpec noPalette{4, 3, 3, 8};
    noPalette.Plte = PaletteData(4);
    auto samples = PngSamples(noPalette, 2);
    noPalette.Plte.clear();
    EXPECT_EQ(ErrorId(BuildPng(noPalette, samples)), png::MissingPalette);

    PngSpec brokenPalette{4, 3, 3, 1};
    brokenPalette.Plte = PaletteData(2);
    samples = PngSamples(brokenPalette, 2);
    brokenPalette.Plte.pop_back();  // a palette entry cut short
    EXPECT_EQ(ErrorId(BuildPng(brokenPalette, samples)), png::InvalidPalette);

    EXPECT_EQ(ErrorId(std::string("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", std::string(13, '\0')) +
                      PngChunk("IEND", "")),
              png::NoImageData);
}

TEST(PngDecode, InvalidHeadersAreRejected)
{
    auto withHeader = [](std::uint32_t w, std::uint32_t h, int depth, int type, int interlace = 0) {
        std::string header = Be32(w) + Be32(h);
        header += static_cast<char>(depth);
        header += static_cast<char>(type);
        header += std::string(2, '\0');
        header += static_cast<char>(interlace);
        return std::string("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", header) + PngChunk("IDAT", "x") +
               PngChunk("IEND", "");
    };
    EXPECT_EQ(ErrorId(withHeader(4, 4, 8, 1)), png::UnknownColorType);
    EXPECT_EQ(ErrorId(withHeader(4, 4, 4, 2)), png::UnknownColorType);   // RGB of 4 bits
    EXPECT_EQ(ErrorId(withHeader(4, 4, 16, 3)), png::UnknownColorType);  // palette of 16 bits
    EXPECT_EQ(ErrorId(withHeader(4, 4, 8, 4 + 3)), png::UnknownColorType);
    EXPECT_EQ(ErrorId(withHeader(0, 4, 8, 2)), png::CorruptedData);
    EXPECT_EQ(ErrorId(withHeader(0x80000000u, 4, 8, 2)), png::CorruptedData);
    EXPECT_EQ(ErrorId(withHeader(4, 4, 8, 2, 2)), png::UnknownInterlace);
    // A huge picture whose data could never fill it is refused before memory is taken.
    EXPECT_EQ(ErrorId(withHeader(30000, 30000, 8, 2)), png::CorruptedData);
    EXPECT_EQ(ErrorId(withHeader(100000, 100000, 8, 6)), png::CorruptedData);
}

TEST(PngDecode, DataThatEndsEarlyIsAFailure)
{
    PngSpec spec{16, 16, 2, 8};
    const std::string raw = PngRawRows(spec, PngSamples(spec, 5));
    // A complete zlib stream that holds only half the rows.
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(size, '\0');
    compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
              static_cast<uLong>(raw.size() / 2), 6);
    packed.resize(size);
    EXPECT_EQ(ErrorId(BuildPngFromRaw(spec, packed)), png::CorruptedData);
    // A zlib stream cut off in the middle.
    compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
              static_cast<uLong>(raw.size()), 6);
    EXPECT_EQ(ErrorId(BuildPngFromRaw(spec, packed.substr(0, packed.size() / 2))), png::CorruptedData);
    // Garbage where the zlib stream should be.
    EXPECT_EQ(ErrorId(BuildPngFromRaw(spec, std::string(40, '\x55'))), -2);
}

TEST(PngDecode, ChunkLengthsAreNeverTrusted)
{
    const std::string good = SimpleRgb();
    // Every truncation of a good file fails cleanly, except the one that only drops IEND.
    for (std::size_t n = 0; n < good.size(); ++n)
        if (n != good.size() - 12) {
            EXPECT_NE(ErrorId(good.substr(0, n)), 0) << n;
        }
    EXPECT_EQ(ErrorId(good.substr(0, good.size() - 12)), 0);
    // A chunk announcing more bytes than the file holds.
    std::string lying = good;
    lying.replace(8 + 25, 4, Be32(0x7FFFFFF0u));
    EXPECT_EQ(ErrorId(lying), png::CorruptedData);
    lying.replace(8 + 25, 4, Be32(0xFFFFFFF0u));
    EXPECT_EQ(ErrorId(lying), png::CorruptedData);
    // An IHDR of the wrong length.
    std::string shortHeader = std::string("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", std::string(12, '\1')) +
                              good.substr(33);
    EXPECT_EQ(ErrorId(shortHeader), png::CorruptedData);
}

TEST(PngDecode, ChunkListAddressing)
{
    TPNGImage png = Decode(SimpleRgb());
    EXPECT_EQ(png.Chunks().Item(0).Name, "IHDR");
    try {
        png.Chunks().Item(png.Chunks().Count());
        ADD_FAILURE();
    } catch (const EPNGImageException& e) {
        EXPECT_EQ(e.Id(), png::ChunkIndexOutOfRange);
        EXPECT_EQ(e.Message(), "Portable Network Graphics format handler error\r\n\r\n"
                               "The chunk index especified is out of the range.");
    }
}

TEST(PngDecode, ReadsFromAStreamPosition)
{
    const std::string bytes = SimpleRgb();
    TMemoryStream stream;
    stream.WriteString("xyz");
    stream.WriteString(bytes);
    stream.SetPosition(3);
    TPNGImage png;
    png.LoadFromStream(stream);
    EXPECT_EQ(png.Picture().size(), QSize(4, 3));
}
