// html2png PAGE.html OUT.png [--width 800] [--page-height H] [--hit X,Y]: parses an HTML page the way the
// viewer does (with the viewer's default fonts and colours), lays it out at the width with the real
// fonts and paints it through the Qt canvas into a PNG. With --page-height the document is printed page by page into OUT-01.png, OUT-02.png,
// ...: each page is painted from its top, and the next page starts at the cut the page left.
// --hit prints the link and the title under a point of the rendered page. Form controls print
// their look.
#include "html/layout/PrintMode.h"
#include "html/layout/HtmlParser.h"
#include "html/layout/SectionList.h"
#include "html/layout/Tables.h"
#include "html/viewer/SectionListDocument.h"
#include "platform/QtCanvas.h"
#include "platform/SystemColors.h"
#include "platform/core/Stream.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

using namespace velmoran;

namespace {

class FileHost : public THtmlDocumentHost {
public:
    explicit FileHost(std::string base) : base_(std::move(base)) {}
    std::string BasePath() const override { return base_; }

private:
    std::string base_;
};

QImage NewPage(int width, int height, TColor background)
{
    QImage image(width, std::max(1, height), QImage::Format_RGB32);
    const ColorRef c = background == NoColor ? 0xFFFFFF : ColorToRGB(background);
    image.fill(QColor(RedOf(c), GreenOf(c), BlueOf(c)));
    return image;
}

std::string PageName(const std::string& out, int page)
{
    const auto dot = out.rfind('.');
    char num[16];
    std::snprintf(num, sizeof num, "-%02d", page);
    return dot == std::string::npos ? out + num : out.substr(0, dot) + num + out.substr(dot);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: html2png PAGE.html OUT.png [--width 800] [--page-height H] [--hit X,Y]\n");
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);  // form controls are widgets
    velmoran::InstallQtScreenFonts();
    const std::string file = argv[1];
    const std::string out = argv[2];
    int width = 800;
    int pageHeight = 0;
    int hitX = -1, hitY = -1;
    for (int i = 3; i + 1 < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--width")
            width = std::max(1, std::atoi(argv[++i]));
        else if (a == "--page-height")
            pageHeight = std::max(0, std::atoi(argv[++i]));
        else if (a == "--hit" && std::sscanf(argv[++i], "%d,%d", &hitX, &hitY) != 2)
            hitX = hitY = -1;
    }
    try {
        const auto bytes = ReadFileBytes(file);
        const std::string text(bytes.begin(), bytes.end());
        std::string base = file;
        const auto slash = base.find_last_of('/');
        base = slash == std::string::npos ? std::string() : base.substr(0, slash + 1);
        FileHost host(base);
        // As the program shows the page: the viewer's fonts and colours, and the print options
        // the program's report printing sets (table backgrounds printed).
        TSectionListDocument viewerDocument(&host);
        viewerDocument.SetDefaults(StandardDocumentDefaults());
        viewerDocument.SetOptions(TDocumentOptions{});
        TSectionList& doc = viewerDocument.Sections();
        ParseHtmlDocument(text, doc);

        QtCanvas measure;
        int maxWidth = 0;
        const int height = doc.LayoutDocument(measure, width, maxWidth);
        const int imageWidth = std::max(width, maxWidth);
        if (hitX >= 0) {
            // Inline images learn their place when painted: paint the line under the point first.
            QImage scratch(std::max(1, imageWidth), 1, QImage::Format_RGB32);
            {
                QPainter painter(&scratch);
                QtCanvas canvas(&painter);
                doc.SetYOffset(hitY);
                doc.PaintDocument(canvas, {0, 0, imageWidth, 1});
            }
            std::unique_ptr<TUrlTarget> url;
            std::string title;
            const int flags = doc.GetUrlAt(measure, hitX, hitY, url, title);
            std::printf("hit %d,%d: link \"%s\" target \"%s\" title \"%s\" (flags %d)\n", hitX, hitY,
                        url ? url->URL.c_str() : "", url ? url->Target.c_str() : "", title.c_str(), flags);
        }

        if (pageHeight <= 0) {
            QImage image = NewPage(imageWidth, height, doc.Background);
            {
                QPainter painter(&image);
                QtCanvas canvas(&painter);
                doc.SetYOffset(0);
                doc.PaintDocument(canvas, {0, 0, imageWidth, height});
            }
            if (!image.save(QString::fromStdString(out), "PNG")) {
                std::fprintf(stderr, "cannot write %s\n", out.c_str());
                return 1;
            }
            std::printf("%s: %d x %d\n", out.c_str(), imageWidth, height);
            return 0;
        }

        // The print loop: paint from the page top; the next page starts at the cut. A table with
        // header or footer rows hands over its part record: the header rows are painted at the top
        // of a continued page and the footer rows below the cut.
        // Printed from the document in print mode laid out to the same width, as the viewer prints.
        TPrintMode printing(doc);
        doc.Background = 0xFFFFFF;
        int printedWidth = 0;
        const int printedHeight = doc.LayoutDocument(measure, width, printedWidth);
        TSectionList& printed = doc;
        int top = 0;
        int page = 0;
        auto paintStrip = [&](QImage& image, int docY, int imageY, int stripHeight) {
            QPainter painter(&image);
            QtCanvas canvas(&painter);
            canvas.IntersectClipRect({0, imageY, imageWidth, imageY + stripHeight});
            printed.SetYOffset(docY - imageY);
            printed.PaintDocument(canvas, {0, imageY, imageWidth, imageY + stripHeight});
        };
        auto partTable = [&]() -> ThtmlTable* { return static_cast<ThtmlTable*>(printed.TablePrinting); };
        while (top < printedHeight) {
            ++page;
            QImage image = NewPage(imageWidth, pageHeight, 0xFFFFFF);
            int headerStrip = 0;
            if (ThtmlTable* t = partTable(); t && t->TablePartRec.TablePart == 1) {
                headerStrip = std::min(t->TablePartRec.PartHeight, pageHeight / 2);
                paintStrip(image, t->TablePartRec.PartStart, 0, headerStrip);
            }
            const int yOffset = top - headerStrip;
            {
                QPainter painter(&image);
                QtCanvas canvas(&painter);
                canvas.IntersectClipRect({0, headerStrip, imageWidth, pageHeight});
                printed.SetYOffset(yOffset);
                printed.PaintDocument(canvas, {0, headerStrip, imageWidth, pageHeight});
            }
            // Below the cut belongs to the next page.
            const int cut = std::min(printed.PageCutY, yOffset + pageHeight);
            if (cut - yOffset < pageHeight) {
                QPainter painter(&image);
                painter.fillRect(0, cut - yOffset, imageWidth, pageHeight - (cut - yOffset), Qt::white);
            }
            if (ThtmlTable* t = partTable(); t && t->TablePartRec.TablePart == 5) {
                const int room = std::max(0, std::min(t->TablePartRec.PartHeight, pageHeight - (cut - yOffset)));
                paintStrip(image, t->TablePartRec.PartStart, cut - yOffset, room);
            }
            const std::string name = PageName(out, page);
            if (!image.save(QString::fromStdString(name), "PNG")) {
                std::fprintf(stderr, "cannot write %s\n", name.c_str());
                return 1;
            }
            std::printf("%s: %d .. %d\n", name.c_str(), top, cut);
            if (cut <= top)
                break;  // no progress
            top = cut;
        }
        return 0;
    } catch (const EParseError& e) {
        std::fprintf(stderr, "parse error: %s\n", e.Message().c_str());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
}
