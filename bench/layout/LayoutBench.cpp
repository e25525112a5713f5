// Parse + layout of a generated result page (a long bordered table with spans, sub- and
// superscripts and formatted numbers) at two widths, the paint of one screen, and Qt's rich-text
// document (setHtml + layout at the same width) on the same page, at 1 MB and 2 MB.
#include "html/layout/HtmlParser.h"
#include "html/layout/SectionList.h"
#include "platform/QtCanvas.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

using namespace velmoran;

namespace {

// A result page of about the given size: headings, and tables of load-case values with a group
// row spanning all columns every twenty rows.
std::string ResultPage(std::size_t bytes)
{
    std::string html = "<html><head><title>Ergebnis</title></head><body bgcolor=white>\n"
                       "<h2>Bemessung der Belebungsanlage nach HSG</h2>\n";
    char buf[1024];
    int row = 0;
    int table = 0;
    while (html.size() < bytes) {
        ++table;
        std::snprintf(buf, sizeof buf,
                      "<h3>Tabelle %d: Ergebnisse je Lastfall</h3>\n"
                      "<table border=1 cellspacing=0 cellpadding=2 width=\"100%%\">\n"
                      "<tr bgcolor=#C0C0C0><th rowspan=2>Gr&ouml;&szlig;e</th><th rowspan=2>Einheit</th>"
                      "<th colspan=4>Lastfall</th></tr>\n"
                      "<tr bgcolor=#C0C0C0><th>Bemessung</th><th>tiefste Temperatur</th><th>h&ouml;chste Temperatur</th>"
                      "<th>Sonder- lastfall</th></tr>\n",
                      table);
        html += buf;
        for (int i = 0; i < 200 && html.size() < bytes; ++i, ++row) {
            if (i % 20 == 0) {
                std::snprintf(buf, sizeof buf,
                              "<tr><td colspan=6 bgcolor=#E0E0E0><b>Abschnitt %d</b></td></tr>\n", row / 20 + 1);
                html += buf;
            }
            const double v = 1000.0 + row * 3.7;
            std::snprintf(buf, sizeof buf,
                          "<tr><td>S<sub>NH4,AN</sub> Zeile %d</td><td>m<sup>3</sup>/d</td>"
                          "<td align=right>%d.%03d,%02d</td><td align=right>%.2f</td>"
                          "<td align=right>%.1f</td><td align=right>%d,%d</td></tr>\n",
                          row, static_cast<int>(v) / 1000, static_cast<int>(v) % 1000, row % 100, v / 7.0, v / 3.0,
                          row % 50, row % 10);
            html += buf;
        }
        html += "</table>\n<p>Die Werte gelten f&uuml;r die Bemessungstemperatur.</p>\n";
    }
    html += "</body></html>\n";
    return html;
}

const std::string& Page(int megabytes)
{
    static std::map<int, std::string> pages;
    auto& p = pages[megabytes];
    if (p.empty())
        p = ResultPage(static_cast<std::size_t>(megabytes) << 20);
    return p;
}

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

BENCHMARK(ParseAndLayout)->Args({1, 800})->Args({1, 1200})->Args({2, 800})->Args({2, 1200})->Unit(benchmark::kMillisecond);
BENCHMARK(ParseOnly)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(PaintScreen)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(QtRichText)->Args({1, 800})->Args({1, 1200})->Args({2, 800})->Args({2, 1200})->Unit(benchmark::kMillisecond);

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
