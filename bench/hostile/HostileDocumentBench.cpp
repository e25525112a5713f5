// Pages whose cost once grew faster than their size through what the document builds from them:
// a huge picture referenced many times, forms with tens of thousands of controls (with their
// window controls on a surface, as the viewer makes them, and in a viewer already shown), tables
// nested a hundred thousand deep and image maps of large areas. Each should cost about what its
// bytes cost.
#include "html/layout/HtmlParser.h"
#include "html/layout/SectionList.h"
#include "html/viewer/PageViewer.h"
#include "platform/RecordingCanvas.h"
#include "bench/hostile/BenchFonts.h"
#include "platform/TestFont.h"

#include <QApplication>
#include <QWidget>

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

using namespace velmoran;

namespace {

using bench::Fonts;

QWidget& Surface()
{
    static int argc = 1;
    static char name[] = "bench_hostile";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QApplication>(argc, argv);
    }();
    static QWidget surface;
    return surface;
}

// A document shown on a surface: its form controls get window controls.
class SurfaceHost : public TNullDocumentHost {
public:
    explicit SurfaceHost(std::string base = {}) : base_(std::move(base)) {}
    QWidget* DrawingSurface() override { return &Surface(); }
    std::string BasePath() const override { return base_; }

private:
    std::string base_;
};

// Parses, lays out and paints a page on a surface, then tears it down.
void ShowPage(const std::string& html, THtmlDocumentHost& host)
{
    auto document = std::make_unique<TSectionList>(&host);
    document->Styles.BuildDefaultStyleSheet({});
    ParseHtmlDocument(html, *document);
    RecordingCanvas canvas(Fonts(), 800, 600);
    int maxWidth = 0;
    const int height = document->LayoutDocument(canvas, 800, maxWidth);
    document->PaintDocument(canvas, {0, 0, 800, 600});
    benchmark::DoNotOptimize(height);
    document.reset();
}

void Inputs(benchmark::State& state)
{
    std::string html = "<form>";
    for (int i = 0; i < state.range(0); ++i)
        html += "<input name=f" + std::to_string(i) + " size=4>";
    html += "</form>";
    Fonts();
    SurfaceHost host;
    for (auto _ : state)
        ShowPage(html, host);
}
BENCHMARK(Inputs)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(1);

void CheckedRadios(benchmark::State& state)
{
    std::string html = "<form>";
    for (int i = 0; i < state.range(0); ++i)
        html += "<input type=radio name=r checked>";
    html += "</form>";
    Fonts();
    SurfaceHost host;
    for (auto _ : state)
        ShowPage(html, host);
}
BENCHMARK(CheckedRadios)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(1);

void SelectedOptions(benchmark::State& state)
{
    std::string html = "<form><select multiple size=10>";
    for (int i = 0; i < state.range(0); ++i)
        html += "<option selected>o" + std::to_string(i);
    html += "</select></form>";
    Fonts();
    SurfaceHost host;
    for (auto _ : state)
        ShowPage(html, host);
}
BENCHMARK(SelectedOptions)->Arg(25000)->Unit(benchmark::kMillisecond)->Iterations(1);

void Forms(benchmark::State& state)
{
    std::string html;
    for (int i = 0; i < state.range(0); ++i)
        html += "<form><input type=checkbox></form>";
    Fonts();
    SurfaceHost host;
    for (auto _ : state)
        ShowPage(html, host);
}
BENCHMARK(Forms)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

// A viewer shown on the screen before its page comes, as the program's viewers are: every window
// control made or shown there is shown at once on a visible surface.
TPageViewer& ShownViewer()
{
    Surface();
    static TPageViewer* viewer = [] {
        auto* v = new TPageViewer;
        v->resize(800, 600);
        v->show();
        QApplication::processEvents();
        return v;
    }();
    return *viewer;
}

// Loads the page into the shown viewer and paints it; the page goes again untimed.
void ShowInViewer(benchmark::State& state, const std::string& html)
{
    Fonts();
    TPageViewer& viewer = ShownViewer();
    for (auto _ : state) {
        viewer.LoadDocumentString(html);
        viewer.PaintPanel()->repaint();
        QApplication::processEvents();
        state.PauseTiming();
        viewer.LoadDocumentString("<p>leer</p>");
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

void InputsInShownViewer(benchmark::State& state)
{
    std::string html = "<form>";
    for (int i = 0; i < state.range(0); ++i)
        html += "<input name=f" + std::to_string(i) + " size=4>";
    ShowInViewer(state, html + "</form>");
}
BENCHMARK(InputsInShownViewer)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(1);

void FormsInShownViewer(benchmark::State& state)
{
    std::string html;
    for (int i = 0; i < state.range(0); ++i)
        html += "<form><input name=f" + std::to_string(i) + "></form>";
    ShowInViewer(state, html);
}
BENCHMARK(FormsInShownViewer)->Arg(25000)->Unit(benchmark::kMillisecond)->Iterations(1);

// A grey PNG of the given size whose rows are all zero: a few hundred kilobytes that would decode
// into width x height x 4 bytes.
std::string BlankPng(std::uint32_t width, std::uint32_t height)
{
    auto be32 = [](std::string& s, std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            s += static_cast<char>((v >> shift) & 0xFF);
    };
    auto chunk = [&](std::string& png, const char* type, const std::string& data) {
        be32(png, static_cast<std::uint32_t>(data.size()));
        std::string body = std::string(type, 4) + data;
        png += body;
        be32(png, static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
    };
    std::string png = "\x89PNG\r\n\x1a\n";
    std::string header;
    be32(header, width);
    be32(header, height);
    header += std::string("\x08\x00\x00\x00\x00", 5);  // 8-bit grey, no interlace
    chunk(png, "IHDR", header);
    z_stream z{};
    deflateInit(&z, Z_BEST_COMPRESSION);
    const std::string row(width + 1, '\0');
    std::string compressed;
    char out[65536];
    for (std::uint32_t y = 0; y < height; ++y) {
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(row.data()));
        z.avail_in = static_cast<uInt>(row.size());
        const int flush = y + 1 == height ? Z_FINISH : Z_NO_FLUSH;
        do {
            z.next_out = reinterpret_cast<Bytef*>(out);
            z.avail_out = sizeof out;
            deflate(&z, flush);
            compressed.append(out, sizeof out - z.avail_out);
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    chunk(png, "IDAT", compressed);
    chunk(png, "IEND", "");
    return png;
}

void HugePicture(benchmark::State& state)
{
    const auto folder = std::filesystem::temp_directory_path() / "velmoran-bench-hostile";
    std::filesystem::create_directories(folder);
    const std::string file = (folder / "gross.png").string();
    if (!std::filesystem::exists(file)) {
        std::ofstream(file, std::ios::binary) << BlankPng(14000, 14000);
    }
    std::string html = "<p>";
    for (int i = 0; i < state.range(0); ++i)
        html += i % 2 ? "<img src=gross.png>" : "<img src=\"./gross.png\">";
    Fonts();
    SurfaceHost host(folder.string());
    for (auto _ : state)
        ShowPage(html, host);
    state.counters["png_bytes"] = static_cast<double>(std::filesystem::file_size(file));
}
BENCHMARK(HugePicture)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(1);

void NestedTables(benchmark::State& state)
{
    std::string html;
    for (int i = 0; i < state.range(0); ++i)
        html += "<table><tr><td>x";
    Fonts();
    TNullDocumentHost host;
    for (auto _ : state)
        ShowPage(html, host);
}
BENCHMARK(NestedTables)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

// Image maps whose areas are short to write and span the largest shape allowed: a triangle, a
// bow-tie, 100 circles and a zigzag of 150 points. Reading the page and asking a few points
// should cost what the bytes cost.
std::string MapPage(int shape)
{
    auto area = [](const std::string& kind, const std::string& coords) {
        return "<area shape=" + kind + " coords=\"" + coords + "\" href=ziel.htm>";
    };
    std::string areas;
    switch (shape) {
    case 0: areas = area("poly", "0,0,32766,0,0,32766"); break;
    case 1: areas = area("poly", "0,0,32766,32766,32766,0,0,32766"); break;
    case 2:
        for (int i = 0; i < 100; ++i)
            areas += area("circle", std::to_string(16383 + i) + ",16383,16383");
        break;
    default: {
        std::string coords;
        for (int i = 0; i < 150; ++i)
            coords += std::to_string(i * 219) + "," + (i % 2 ? "32766," : "0,");
        areas = area("poly", coords);
    }
    }
    return "<map name=m>" + areas + "</map><img src=x.png usemap=#m width=100 height=100>";
}

void ImageMaps(benchmark::State& state)
{
    const std::string html = MapPage(static_cast<int>(state.range(0)));
    static const char* const names[] = {"triangle", "bow-tie", "100 circles", "zigzag of 150 points"};
    state.SetLabel(names[state.range(0)] + std::string(", ") + std::to_string(html.size()) + " bytes");
    Fonts();
    TNullDocumentHost host;
    for (auto _ : state) {
        TSectionList document(&host);
        document.Styles.BuildDefaultStyleSheet({});
        ParseHtmlDocument(html, document);
        std::string title;
        std::unique_ptr<TUrlTarget> url;
        for (int i = 0; i < 10; ++i)
            benchmark::DoNotOptimize(document.MapList.First()->FindArea(i * 3000, i * 3100, title, url));
    }
}
BENCHMARK(ImageMaps)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace
