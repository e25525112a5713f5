// The same words laid out as one long paragraph and as paragraphs of about 1 KB, at 1, 2 and 4 MB:
// parse and layout for the screen, and the print path (the document laid out for the printer and
// cut into pages, each page painted). A paragraph should cost what its words cost: the long one no
// more than about twice the short ones, at every size.
// The same words each in a bordered SPAN (31,000 to 125,000 of them): a layout with the first
// screen painted, and the print path. Every bordered element is placed once per layout and each
// line draws only those it holds, so these grow with the words too. And the print of a paragraph
// of 40,000 and 80,000 pictures (about 600 and 1,200 pages), and a repaint and a hit test of a
// line of 4 MB.
#include "bench/layout/ResultPage.h"
#include "html/layout/HtmlParser.h"
#include "html/layout/SectionList.h"
#include "platform/QtCanvas.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <array>
#include <map>
#include <memory>
#include <tuple>
#include <string>
#include <utility>

using namespace velmoran;

namespace {

// Ordinary words of a result page's prose, in source lines of about 80 characters; with
// paragraphs, a new one begins after about every kilobyte. With `bordered` set, that many words,
// each a SPAN with a border, else words up to `bytes`.
std::string Words(std::size_t bytes, bool paragraphs, std::size_t bordered = 0)
{
    static constexpr std::array<const char*, 16> words{
        "Belebungsbecken", "der",         "Schlamm",  "wird",   "mit",        "Sauerstoff",
        "versorgt",        "und",         "die",      "Anlage", "berechnet",  "Denitrifikation",
        "im",              "Nachkl\xE4rbecken", "bei",   "Trockenwetter"};
    std::string html = "<html><body><p>";
    html.reserve(bytes + 1024);
    std::size_t line = 0, paragraph = 0, count = 0;
    unsigned next = 7;
    while (bordered > 0 ? count < bordered : html.size() < bytes) {
        next = next * 1103515245u + 12345u;
        const std::string word = bordered > 0 ? "<span style='border:solid'>" +
                                                    std::string(words[(next >> 16) % words.size()]) + "</span>"
                                              : words[(next >> 16) % words.size()];
        ++count;
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

// A page of `megabytes` of words, or of `bordered` thousand bordered words.
const std::string& Page(int megabytes, bool paragraphs, int bordered = 0)
{
    static std::map<std::tuple<int, bool, int>, std::string> pages;
    auto& page = pages[{megabytes, paragraphs, bordered}];
    if (page.empty())
        page = Words(static_cast<std::size_t>(megabytes) << 20, paragraphs, static_cast<std::size_t>(bordered) * 1000);
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

// The page laid out for the screen, then in each run cut into pages as the print loop does.
void PrintPages(benchmark::State& state, const std::string& html)
{
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
    const std::string& html = Page(0, paragraphs, static_cast<int>(state.range(0)));
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

void Print(benchmark::State& state, bool paragraphs)
{
    PrintPages(state, Page(static_cast<int>(state.range(0)), paragraphs));
}

void BorderedPrint(benchmark::State& state)
{
    PrintPages(state, Page(0, false, static_cast<int>(state.range(0))));
}

void PicturesPrint(benchmark::State& state)
{
    static std::map<int, std::string> htmls;
    std::string& html = htmls[static_cast<int>(state.range(0))];
    if (html.empty()) {
        html = "<html><body><p>";
        for (int i = 0; i < state.range(0) * 1000; ++i)
            html += "<img width=100 height=100 alt=''> ";
        html += "</p></body></html>";
    }
    PrintPages(state, html);
}

// A line of 4 MB that must not break: a repaint of the screen over its start, and a hit test.
const TSectionList& NobrLine(std::unique_ptr<TSectionList>& doc)
{
    static const std::string html = [] {
        std::string words = Words(std::size_t{4} << 20, false);
        words.insert(words.find("<p>") + 3, "<nobr>");
        words.insert(words.rfind("</p>"), "</nobr>");
        return words;
    }();
    doc = bench::ParsedDocument(html);
    QtCanvas canvas;
    int maxWidth = 0;
    doc->LayoutDocument(canvas, 800, maxWidth);
    return *doc;
}

void NobrRepaint(benchmark::State& state)
{
    std::unique_ptr<TSectionList> doc;
    NobrLine(doc);
    QImage screen(800, 600, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&screen);
        QtCanvas canvas(&painter);
        doc->PaintDocument(canvas, {0, 0, 800, 600});
    }
}

void NobrHitTest(benchmark::State& state)
{
    std::unique_ptr<TSectionList> doc;
    NobrLine(doc);
    QtCanvas canvas;
    int lineHeight = 0, baseline = 0;
    bool inText = false;
    for (auto _ : state)
        benchmark::DoNotOptimize(doc->FindCursorAt(canvas, 400, 15, lineHeight, baseline, inText));
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
// Thousands of bordered words: about as many as 1, 2 and 4 MB of a page hold.
void Spans(benchmark::internal::Benchmark* b)
{
    b->Arg(31)->Arg(62)->Arg(125)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BorderedOneParagraphLayoutAndPaint)->Apply(Spans);
BENCHMARK(BorderedKilobyteParagraphsLayoutAndPaint)->Arg(62)->Unit(benchmark::kMillisecond);
BENCHMARK(BorderedPrint)->Apply(Spans);
BENCHMARK(PicturesPrint)->Arg(40)->Arg(80)->Unit(benchmark::kMillisecond);
BENCHMARK(NobrRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(NobrHitTest)->Unit(benchmark::kMillisecond);

}  // namespace
