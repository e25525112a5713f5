// layout_memory MODE MB [WIDTH]: the peak memory one parse + layout of the generated result page
// takes, in MiB per MB of HTML, read from the process's maximum resident size (getrusage). One
// process per figure, as the peak never falls back:
//   ours   - our document parsed and laid out at WIDTH (default 800);
//   qt     - Qt's rich-text document (setHtml + layout at WIDTH);
//   print  - ours laid out for the screen, then cut into pages 1123 high and laid out for the
//            screen again; it prints the screen document's peak and the peak with the print.
#include "bench/layout/ResultPage.h"
#include "platform/QtCanvas.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QTextDocument>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace velmoran;

namespace {

double PeakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "Aufruf: layout_memory ours|qt|print MB [BREITE]\n");
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    InstallQtScreenFonts();
    const std::string mode = argv[1];
    const int megabytes = std::atoi(argv[2]);
    const int width = argc > 3 ? std::atoi(argv[3]) : 800;
    const std::string& html = bench::Page(megabytes);
    // The fonts and Qt's own start-up are not the document's: measure a tiny page first.
    {
        QtCanvas canvas;
        int widest = 0;
        bench::ParsedDocument("<table><tr><td>x</td></tr></table>")->LayoutDocument(canvas, width, widest);
        QTextDocument doc;
        doc.setHtml(QStringLiteral("<table><tr><td>x</td></tr></table>"));
        doc.setTextWidth(width);
        (void)doc.documentLayout()->documentSize();
    }
    const double base = PeakMiB();
    const double mb = static_cast<double>(html.size()) / (1 << 20);
    if (mode == "qt") {
        QTextDocument doc;
        doc.setHtml(QString::fromLatin1(html.c_str()));
        doc.setTextWidth(width);
        (void)doc.documentLayout()->documentSize();
        std::printf("qt %d MB at %d: %.1f MiB per MB\n", megabytes, width, (PeakMiB() - base) / mb);
        return 0;
    }
    const auto doc = bench::ParsedDocument(html);
    QtCanvas canvas;
    int widest = 0;
    doc->LayoutDocument(canvas, width, widest);
    const double screen = PeakMiB() - base;
    std::printf("ours %d MB at %d: %.1f MiB per MB\n", megabytes, width, screen / mb);
    if (mode == "print") {
        const int pages = bench::CutIntoPages(*doc, 794, 1123, width);
        const double both = PeakMiB() - base;
        std::printf("print %d pages: peak %.1f MiB with the print, %.2f times the screen document\n", pages, both,
                    both / screen);
    }
    return 0;
}
