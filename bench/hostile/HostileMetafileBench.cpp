// A caption picture that is a metafile of many records (4 MB of ellipses): its first paint plays
// it into an image of the size shown, up to the record budget, and every later paint draws that
// image, as a bitmap's paint does (the bitmap of the same size beside it).
#include "controls/PictureContainer.h"
#include "platform/QtCanvas.h"
#include "platform/core/Stream.h"
#include "bench/hostile/BenchFonts.h"
#include "tests/html/base/image/ImageTestSupport.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

using namespace velmoran;

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kEllipses = 166000;

void NeedApplication()
{
    static int argc = 1;
    static char name[] = "bench_hostile";
    static char* argv[] = {name, nullptr};
    if (!QGuiApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        new QGuiApplication(argc, argv);
    }
    bench::Fonts();
}

const std::string& EllipsesFile()
{
    static const std::string bytes = imagetest::EllipsesEmf(kWidth, kHeight, kEllipses);
    return bytes;
}

std::unique_ptr<THtmlPicture> Picture(const std::string& bytes)
{
    auto picture = std::make_unique<THtmlPicture>();
    TMemoryStream stream(bytes);
    picture->LoadFromStream(&stream);
    return picture;
}

// Draws the picture at its own size onto a screen-like canvas over an image.
void Paint(const THtmlPicture& picture, QImage& screen)
{
    QPainter painter(&screen);
    QtCanvas canvas(&painter);
    picture.Draw(canvas, {0, 0, kWidth, kHeight});
}

void MetafileFirstPaint(benchmark::State& state)
{
    NeedApplication();
    QImage screen(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        state.PauseTiming();
        const auto picture = Picture(EllipsesFile());
        state.ResumeTiming();
        Paint(*picture, screen);
    }
    state.counters["emf_bytes"] = static_cast<double>(EllipsesFile().size());
}
BENCHMARK(MetafileFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(1);

void MetafileLaterPaint(benchmark::State& state)
{
    NeedApplication();
    QImage screen(kWidth, kHeight, QImage::Format_RGB32);
    const auto picture = Picture(EllipsesFile());
    Paint(*picture, screen);
    for (auto _ : state)
        Paint(*picture, screen);
}
BENCHMARK(MetafileLaterPaint)->Unit(benchmark::kMillisecond);

void BitmapPaint(benchmark::State& state)
{
    NeedApplication();
    QImage bitmap(kWidth, kHeight, QImage::Format_RGB32);
    bitmap.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    bitmap.save(&buffer, "BMP");
    QImage screen(kWidth, kHeight, QImage::Format_RGB32);
    const auto picture = Picture(bytes.toStdString());
    for (auto _ : state)
        Paint(*picture, screen);
}
BENCHMARK(BitmapPaint)->Unit(benchmark::kMillisecond);

}  // namespace
