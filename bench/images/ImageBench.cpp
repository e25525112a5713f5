// Decoding speed of our PNG, GIF and JPEG decoders against Qt's readers on the same files.
#include "html/base/image/GifImage.h"
#include "html/base/image/JpegDecode.h"
#include "html/base/image/PngDecode.h"
#include "platform/core/Stream.h"
#include "tests/html/base/image/ImageTestSupport.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <cstring>

using namespace velmoran;

namespace {

constexpr int kWidth = 2000, kHeight = 1500;

// A picture like a photograph: smooth gradients with some noise.
QImage Photo()
{
    QImage image = imagetest::TestPicture(kWidth, kHeight);
    std::uint32_t state = 1;
    for (int y = 0; y < kHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            state = state * 1664525u + 1013904223u;
            const int n = static_cast<int>((state >> 24) % 9) - 4;
            line[x] = qRgb(std::clamp(qRed(line[x]) + n, 0, 255), std::clamp(qGreen(line[x]) - n, 0, 255),
                           std::clamp(qBlue(line[x]) + n / 2, 0, 255));
        }
    }
    return image;
}

const std::string& PngFile()
{
    static const std::string bytes = [] {
        TPNGImage png;
        png.SetPicture(Photo());
        TMemoryStream stream;
        png.SaveToStream(stream);
        return stream.ToString();
    }();
    return bytes;
}

const std::string& GifFile()
{
    static const std::string bytes = [] {
        const QImage photo = Photo().convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
        const QList<QRgb> table = photo.colorTable();
        std::vector<QRgb> palette(table.begin(), table.end());
        palette.resize(256, 0);
        std::vector<std::uint8_t> pixels(std::size_t(kWidth) * kHeight);
        for (int y = 0; y < kHeight; ++y)
            std::memcpy(pixels.data() + std::size_t(y) * kWidth, photo.constScanLine(y), kWidth);
        imagetest::GifWriter writer(kWidth, kHeight, palette);
        writer.Image(0, 0, kWidth, kHeight, pixels);
        return writer.Finish();
    }();
    return bytes;
}

const std::string& JpegFile()
{
    static const std::string bytes = imagetest::EncodeJpeg(Photo(), 90, false, false);
    return bytes;
}

QImage QtRead(const std::string& bytes, const char* format)
{
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    QImageReader reader(&buffer, format);
    return reader.read();
}

void PngOurs(benchmark::State& state)
{
    const std::string& bytes = PngFile();
    for (auto _ : state) {
        TPNGImage png;
        png.LoadFromBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        benchmark::DoNotOptimize(png.Picture().constBits());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
void PngQt(benchmark::State& state)
{
    const std::string& bytes = PngFile();
    for (auto _ : state)
        benchmark::DoNotOptimize(QtRead(bytes, "png").constBits());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
void GifOurs(benchmark::State& state)
{
    const std::string& bytes = GifFile();
    for (auto _ : state) {
        bool nonAnimated = false;
        auto image = GifImageFromBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), nonAnimated);
        benchmark::DoNotOptimize(image->Strip().Image().constBits());
    }
}
void GifQt(benchmark::State& state)
{
    const std::string& bytes = GifFile();
    for (auto _ : state)
        benchmark::DoNotOptimize(QtRead(bytes, "gif").constBits());
}
void JpegOurs(benchmark::State& state)
{
    const std::string& bytes = JpegFile();
    for (auto _ : state) {
        TJPEGImage jpeg;
        jpeg.LoadFromBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        benchmark::DoNotOptimize(jpeg.Bitmap().constBits());
    }
}
void JpegQt(benchmark::State& state)
{
    const std::string& bytes = JpegFile();
    for (auto _ : state)
        benchmark::DoNotOptimize(QtRead(bytes, "jpeg").constBits());
}

}  // namespace

BENCHMARK(PngOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(PngQt)->Unit(benchmark::kMillisecond);
BENCHMARK(GifOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(GifQt)->Unit(benchmark::kMillisecond);
BENCHMARK(JpegOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(JpegQt)->Unit(benchmark::kMillisecond);
