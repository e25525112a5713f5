// The generated result page and the print cut of the layout benchmarks; see ResultPage.h.
#include "bench/layout/ResultPage.h"

#include "html/layout/HtmlParser.h"
#include "html/layout/PrintMode.h"
#include "html/layout/Tables.h"
#include "platform/QtCanvas.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <map>

namespace velmoran::bench {

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

std::unique_ptr<TSectionList> ParsedDocument(const std::string& html)
{
    auto doc = std::make_unique<TSectionList>();
    doc->Styles.BuildDefaultStyleSheet(DefaultSheetOptions{});
    ParseHtmlDocument(html, *doc);
    return doc;
}

namespace {

// Every page of a document laid out for the printer painted into one reused page image.
int PaintPages(TSectionList& document, int height, int width, int pageHeight)
{
    QImage image(width, pageHeight, QImage::Format_RGB32);
    auto partTable = [&]() -> ThtmlTable* { return static_cast<ThtmlTable*>(document.TablePrinting); };
    auto paint = [&](int docY, int imageY, int stripHeight) {
        QPainter painter(&image);
        QtCanvas canvas(&painter);
        canvas.IntersectClipRect({0, imageY, width, imageY + stripHeight});
        document.SetYOffset(docY - imageY);
        document.PaintDocument(canvas, {0, imageY, width, imageY + stripHeight});
    };
    int pages = 0;
    for (int top = 0; top < height;) {
        ++pages;
        image.fill(Qt::white);
        int header = 0;
        if (ThtmlTable* t = partTable(); t && t->TablePartRec.TablePart == 1) {
            header = std::min(t->TablePartRec.PartHeight, pageHeight / 2);
            paint(t->TablePartRec.PartStart, 0, header);
        }
        const int yOffset = top - header;
        paint(top, header, pageHeight - header);
        const int cut = std::min(document.PageCutY, yOffset + pageHeight);
        if (ThtmlTable* t = partTable(); t && t->TablePartRec.TablePart == 5) {
            const int room = std::max(0, std::min(t->TablePartRec.PartHeight, pageHeight - (cut - yOffset)));
            paint(t->TablePartRec.PartStart, cut - yOffset, room);
        }
        if (cut <= top)
            break;
        top = cut;
    }
    return pages;
}

}  // namespace

int CutIntoPages(TSectionList& document, int width, int pageHeight, int screenWidth)
{
    QtCanvas measure;
    int widest = 0;
    int pages = 0;
    {
        TPrintMode printing(document);
        pages = PaintPages(document, document.LayoutDocument(measure, width, widest), width, pageHeight);
    }
    document.LayoutDocument(measure, screenWidth, widest);
    return pages;
}


}  // namespace velmoran::bench
