// The same words laid out as one long paragraph and as paragraphs of about 1 KB, at 1, 2 and 4 MB:
// parse and layout for the screen, and the print path (the document laid out for the printer and
// cut into pages, each page painted). A paragraph should cost what its words cost: the long one no
// more than about twice the short ones, at every size.
// The same words each in a bordered SPAN (about 31,000 of them a megabyte): a layout with the first
// screen painted, and the print path. Every bordered element is placed once per layout and each
// line draws only those it holds, so these grow with the words too.
#include "bench/layout/ResultPage.h"
#include "html/layout/HtmlParser.h"
#include "html/layout/SectionList.h"
#include "platform/QtCanvas.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <array>
#include <map>
#include <tuple>
#include <string>
#include <utility>

using namespace velmoran;

namespace {

// Ordinary words of a result page's prose, in source lines of about 80 characters; with
// paragraphs, a new one begins after about every kilobyte; bordered, each word is a SPAN with a
// border.
std::string Words(std::size_t bytes, bool paragraphs, bool bordered = false)
{
    static constexpr std::array<const char*, 16> words{
        "Belebungsbecken", "der",         "Schlamm",  "wird",   "mit",        "Sauerstoff",
        "versorgt",        "und",         "die",      "Anlage", "berechnet",  "Denitrifikation",
        "im",              "Nachkl\xE4rbecken", "bei",   "Trockenwetter"};
    std::string html = "<html><body><p>";
    html.reserve(bytes + 1024);
    std::size_t line = 0, paragraph = 0;
    unsigned next = 7;
    while (html.size() < bytes) {
        next = next * 1103515245u + 12345u;
        const std::string word = bordered ? "<span style='border:1px solid #808080'>" +
                                                std::string(words[(next >> 16) % words.size()]) + "</span>"
                                          : words[(next >> 16) % words.size()];
        html += word;
        line += word.size() + 1;
        paragraph += word.size() + 1;
        if (paragraphs && paragraph >= 1024) {
            html += "</p>\n<p>";
            paragraph = line = 0;
        } else if (line >= 80) {
            html += '\n';
            line = 0;
        } else {
            html += ' ';
        }
    }
    html += "</p></body></html>";
    return html;
}

const std::string& Page(int megabytes, bool paragraphs, bool bordered = false)
{
    static std::map<std::tuple<int, bool, bool>, std::string> pages;
    auto& page = pages[{megabytes, paragraphs, bordered}];
    if (page.empty())
        page = Words(static_cast<std::size_t>(megabytes) << 20, paragraphs, bordered);
    return page;
}

void Layout(benchmark::State& state, bool paragraphs)
{
    const std::string& html = Page(static_cast<int>(state.range(0)), paragraphs);
    QtCanvas canvas;
    for (auto _ : state) {
        const auto doc = bench::ParsedDocument(html);
        int maxWidth = 0;
        benchmark::DoNotOptimize(doc->LayoutDocument(canvas, 800, maxWidth));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(html.size()));
}

void Print(benchmark::State& state, bool paragraphs)
{
    const std::string& html = Page(static_cast<int>(state.range(0)), paragraphs);
    const auto doc = bench::ParsedDocument(html);
    QtCanvas canvas;
    int maxWidth = 0;
    doc->LayoutDocument(canvas, 800, maxWidth);
    int pages = 0;
    for (auto _ : state)
        pages = bench::CutIntoPages(*doc, 794, 1123, 800);
    state.counters["pages"] = pages;
}

// A layout for the screen and the paint of its first screen, as a window shows a page.
void BorderedLayoutAndPaint(benchmark::State& state, bool paragraphs)
{
    const std::string& html = Page(static_cast<int>(state.range(0)), paragraphs, true);
    const auto doc = bench::ParsedDocument(html);
    QtCanvas measure;
    QImage screen(800, 600, QImage::Format_RGB32);
    for (auto _ : state) {
        int maxWidth = 0;
        doc->LayoutDocument(measure, 800, maxWidth);
        QPainter painter(&screen);
        QtCanvas canvas(&painter);
        doc->SetYOffset(0);
        doc->PaintDocument(canvas, {0, 0, 800, 600});
    }
    state.counters["spans"] = static_cast<double>(doc->InlineList.size());
}

void BorderedPrint(benchmark::State& state)
{
    const std::string& html = Page(static_cast<int>(state.range(0)), false, true);
    const auto doc = bench::ParsedDocument(html);
    QtCanvas canvas;
    int maxWidth = 0;
    doc->LayoutDocument(canvas, 800, maxWidth);
    int pages = 0;
    for (auto _ : state)
        pages = bench::CutIntoPages(*doc, 794, 1123, 800);
    state.counters["pages"] = pages;
}

void OneParagraphLayout(benchmark::State& state) { Layout(state, false); }
void KilobyteParagraphsLayout(benchmark::State& state) { Layout(state, true); }
void OneParagraphPrint(benchmark::State& state) { Print(state, false); }
void KilobyteParagraphsPrint(benchmark::State& state) { Print(state, true); }

void Sizes(benchmark::internal::Benchmark* b)
{
    b->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);
}

void BorderedOneParagraphLayoutAndPaint(benchmark::State& state) { BorderedLayoutAndPaint(state, false); }
void BorderedKilobyteParagraphsLayoutAndPaint(benchmark::State& state) { BorderedLayoutAndPaint(state, true); }

BENCHMARK(OneParagraphLayout)->Apply(Sizes);
BENCHMARK(KilobyteParagraphsLayout)->Apply(Sizes);
BENCHMARK(OneParagraphPrint)->Apply(Sizes);
BENCHMARK(KilobyteParagraphsPrint)->Apply(Sizes);
BENCHMARK(BorderedOneParagraphLayoutAndPaint)->Apply(Sizes);
BENCHMARK(BorderedKilobyteParagraphsLayoutAndPaint)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BorderedPrint)->Apply(Sizes);

}  // namespace
