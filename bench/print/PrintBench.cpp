// The 1 MB and 2 MB result pages printed to PDF: through the viewer's print run (layout for the
// paper, page cuts, drawing, PDF output, layout for the screen again) and, for comparison, through
// Qt's rich-text document printed on a PDF printer. One iteration each; the page is loaded beforehand.
#include "bench/layout/ResultPage.h"
#include "html/viewer/PageViewer.h"
#include "platform/Application.h"
#include "platform/Printer.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

using namespace velmoran;
using velmoran::bench::Page;

namespace {

std::string OutputFile(const char* name)
{
    return (QDir::tempPath() + "/velmoran-bench-" + name + ".pdf").toStdString();
}

void PrintPagesPdf(benchmark::State& state)
{
    const int megabytes = static_cast<int>(state.range(0));
    const std::string file = OutputFile("viewer");
    const Printer saved = SetSelectedPrinter(Printer::Pdf(file));
    TPageViewer viewer;
    viewer.resize(800, 600);
    viewer.LoadDocumentString(Page(megabytes));
    for (auto _ : state)
        viewer.PrintPages(1, 99999);
    state.counters["pages"] = viewer.PrintedPage();
    SetSelectedPrinter(saved);
    QFile::remove(QString::fromStdString(file));
}

void RichTextPdf(benchmark::State& state)
{
    const int megabytes = static_cast<int>(state.range(0));
    const std::string file = OutputFile("richtext");
    QTextDocument doc;
    doc.setHtml(QString::fromLatin1(Page(megabytes).c_str()));
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(file));
        doc.print(&printer);
    }
    QFile::remove(QString::fromStdString(file));
}

BENCHMARK(PrintPagesPdf)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(RichTextPdf)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    TApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
