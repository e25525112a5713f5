// The layout record of a page; see LayoutRecord.h.
#include "tools/htmldump/LayoutRecord.h"

#include "html/layout/DocumentDump.h"
#include "html/layout/HtmlParser.h"
#include "html/layout/PrintMode.h"
#include "html/layout/Tables.h"
#include "platform/RecordingCanvas.h"
#include "platform/TestFont.h"

#include <algorithm>
#include <memory>
#include <sstream>

namespace velmoran {

namespace {

class RecordHost : public THtmlDocumentHost {
public:
    explicit RecordHost(std::string base) : base_(std::move(base)) {}
    std::string BasePath() const override { return base_; }

private:
    std::string base_;
};

// Prints the document laid out to the width page by page, as the viewer's print loop does: a
// table that repeats its header rows hands over its part record, whose header strip is painted
// at the top of a continued page and whose footer strip below the cut. Each page lists where it
// starts and is cut, the calls that paint it and the part record the table leaves.
class PrintRecorder {
public:
    PrintRecorder(TSectionList& document, FontEngine& fonts, int width, int pageHeight)
        : printing_(document), canvas_(fonts, width, pageHeight), width_(width), pageHeight_(pageHeight)
    {
        int widest = 0;
        height_ = printing_.Document().LayoutDocument(canvas_, width, widest);
    }

    std::string Record()
    {
        int top = 0;
        for (int page = 1; top < height_ && page <= 200; ++page) {
            int header = 0;
            out_ << "page " << page << "\n";
            if (ThtmlTable* t = PartTable(); t && t->TablePartRec.TablePart == 1) {
                header = std::min(t->TablePartRec.PartHeight, pageHeight_ / 2);
                out_ << "  header strip from " << t->TablePartRec.PartStart << " height " << header << "\n";
                Strip(t->TablePartRec.PartStart, 0, header);
            }
            const int yOffset = top - header;
            Strip(top, header, pageHeight_ - header);
            const int cut = std::min(printing_.Document().PageCutY, yOffset + pageHeight_);
            out_ << "  body from " << top << " cut at " << cut
                 << (printing_.Document().TableMoved ? " (a table moved)" : "") << "\n";
            if (ThtmlTable* t = PartTable(); t && t->TablePartRec.TablePart == 5) {
                const int room = std::max(0, std::min(t->TablePartRec.PartHeight, pageHeight_ - (cut - yOffset)));
                out_ << "  footer strip from " << t->TablePartRec.PartStart << " height " << room << "\n";
                Strip(t->TablePartRec.PartStart, cut - yOffset, room);
            }
            if (cut <= top) {
                out_ << "  no progress\n";
                break;
            }
            top = cut;
        }
        return out_.str();
    }

private:
    ThtmlTable* PartTable() const { return static_cast<ThtmlTable*>(printing_.Document().TablePrinting); }

    // Paints the document from document Y docY into the page rows from pageY on; then the part
    // record of the table in progress, which the page loop reads.
    void Strip(int docY, int pageY, int height)
    {
        canvas_.Clear();
        printing_.Document().SetYOffset(docY - pageY);
        printing_.Document().PaintDocument(canvas_, {0, pageY, width_, pageY + height});
        for (const std::string& call : canvas_.Calls())
            out_ << "    " << call << "\n";
        if (ThtmlTable* t = PartTable())
            out_ << "    part " << int(t->TablePartRec.TablePart) << " from " << t->TablePartRec.PartStart
                 << " height " << t->TablePartRec.PartHeight << " footer " << t->TablePartRec.FootHeight << "\n";
    }

    TPrintMode printing_;
    RecordingCanvas canvas_;
    int width_;
    int pageHeight_;
    int height_ = 0;
    std::ostringstream out_;
};

// "unchanged", or the first line where the layout after a print parts from the one before.
std::string ScreenChange(const std::string& before, const std::string& after)
{
    std::istringstream a(before), b(after);
    std::string lineA, lineB;
    for (int n = 1;; ++n) {
        const bool moreA = static_cast<bool>(std::getline(a, lineA));
        const bool moreB = static_cast<bool>(std::getline(b, lineB));
        if (!moreA && !moreB)
            return "unchanged";
        if (!moreA || !moreB || lineA != lineB)
            return "line " + std::to_string(n) + " was \"" + lineA + "\", is \"" + lineB + "\"";
    }
}

}  // namespace

std::string LayoutRecord(const std::string& html, const LayoutRecordOptions& options, const std::string& base)
{
    TestFontEngine fonts;
    ScopedScreenFonts scoped(fonts);
    RecordHost host(base);
    TSectionList doc(&host);
    doc.Styles.BuildDefaultStyleSheet(DefaultSheetOptions{});
    ParseHtmlDocument(html, doc);

    int widest = 0;
    RecordingCanvas measure(fonts, options.Width, 600);
    const int height = doc.LayoutDocument(measure, options.Width, widest);
    std::ostringstream out;
    out << "layout width " << options.Width << ": height " << height << ", widest " << widest << "\n";
    std::string screen;
    DumpOptions dump;
    dump.Styles = false;
    dump.BreakClasses = false;
    dump.Runs = false;
    dump.Positions = true;
    if (options.Paint) {
        // Painted before the dump: inline pictures take their places when they are drawn. The
        // clip reaches down to whatever is drawn below the document's end (positioned blocks).
        const int w = std::max(options.Width, widest);
        int bottom = std::max(height, 1);
        for (const auto& section : doc)
            bottom = std::max(bottom, section->DrawBot);
        RecordingCanvas canvas(fonts, w, bottom);
        doc.SetYOffset(0);
        doc.PaintDocument(canvas, {0, 0, w, bottom});
        screen = DumpDocument(doc, dump);
        out << screen << "paint\n";
        for (const std::string& line : canvas.Lines())
            out << "  " << line << "\n";
    } else {
        screen = DumpDocument(doc, dump);
        out << screen;
    }
    if (options.PageHeight > 0) {
        out << "print pages of " << options.PageHeight << "\n";
        out << PrintRecorder(doc, fonts, options.Width, options.PageHeight).Record();
        // The print lays the document itself out for the paper: laid out again for the screen it
        // must stand where it stood, to the pixel.
        doc.LayoutDocument(measure, options.Width, widest);
        out << "screen layout after the print: " << ScreenChange(screen, DumpDocument(doc, dump)) << "\n";
    }
    return out.str();
}

}  // namespace velmoran
