// Parse alone, and parse + layout, of a generated result page (long bordered tables with spans,
// sub- and superscripts and formatted numbers) at 800 and 1200 pixels, beside Qt's rich-text
// document (setHtml + layout at the same width) on the same page, at 1, 2 and 4 MB; the paint of
// one screen; and the cut of the 1 MB page into printed pages. Peak memory is measured by the
// separate driver layout_memory, one process per figure.
#include "bench/layout/ResultPage.h"
#include "html/layout/HtmlParser.h"
#include "html/layout/SectionList.h"
#include "platform/QtCanvas.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

using namespace velmoran;
using velmoran::bench::Page;

namespace {

void ParseAndLayout(benchmark::State& state)
{
    const std::string& html = Page(static_cast<int>(state.range(0)));
    const int width = static_cast<int>(state.range(1));
    QtCanvas canvas;
    for (auto _ : state) {
        TSectionList doc;
        doc.Styles.BuildDefaultStyleSheet(DefaultSheetOptions{});
        ParseHtmlDocument(html, doc);
        int maxWidth = 0;
        benchmark::DoNotOptimize(doc.LayoutDocument(canvas, width, maxWidth));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(html.size()));
}

// The parse alone, to tell its share of the parse + layout figure.
void ParseOnly(benchmark::State& state)
{
    const std::string& html = Page(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TSectionList doc;
        doc.Styles.BuildDefaultStyleSheet(DefaultSheetOptions{});
        ParseHtmlDocument(html, doc);
        benchmark::DoNotOptimize(doc.Count());
    }
}

// The 1 MB page laid out for the screen at 800, then laid out for the printer, cut into pages 1123
// high (A4 at 96 pixels per inch) and painted page by page into an image that is not written, and
// laid out for the screen again.
void PageCut(benchmark::State& state)
{
    const std::string& html = Page(static_cast<int>(state.range(0)));
    constexpr int width = 794, pageHeight = 1123, screenWidth = 800;
    const auto doc = bench::ParsedDocument(html);
    QtCanvas canvas;
    int maxWidth = 0;
    doc->LayoutDocument(canvas, screenWidth, maxWidth);
    int pages = 0;
    for (auto _ : state)
        pages = bench::CutIntoPages(*doc, width, pageHeight, screenWidth);
    state.counters["pages"] = pages;
}

void PaintScreen(benchmark::State& state)
{
    const std::string& html = Page(static_cast<int>(state.range(0)));
    constexpr int width = 800, height = 600;
    TSectionList doc;
    doc.Styles.BuildDefaultStyleSheet(DefaultSheetOptions{});
    ParseHtmlDocument(html, doc);
    QtCanvas measure;
    int maxWidth = 0;
    const int docHeight = doc.LayoutDocument(measure, width, maxWidth);
    QImage image(width, height, QImage::Format_RGB32);
    // A screen in the middle of the document.
    doc.SetYOffset(docHeight / 2);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        QtCanvas canvas(&painter);
        benchmark::DoNotOptimize(doc.PaintDocument(canvas, {0, 0, width, height}));
    }
}

void QtRichText(benchmark::State& state)
{
    const QString html = QString::fromLatin1(Page(static_cast<int>(state.range(0))).c_str());
    const int width = static_cast<int>(state.range(1));
    for (auto _ : state) {
        QTextDocument doc;
        doc.setHtml(html);
        doc.setTextWidth(width);
        benchmark::DoNotOptimize(doc.documentLayout()->documentSize());
    }
}

void SizesAndWidths(benchmark::internal::Benchmark* b)
{
    for (int megabytes : {1, 2, 4})
        for (int width : {800, 1200})
            b->Args({megabytes, width});
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(ParseOnly)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(ParseAndLayout)->Apply(SizesAndWidths);
BENCHMARK(QtRichText)->Apply(SizesAndWidths);
BENCHMARK(PaintScreen)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(PageCut)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    velmoran::InstallQtScreenFonts();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
