// The print run of a page viewer: the viewer's document put into print mode and laid out at the
// printer's page width (the screen's layout comes back at the end), cut into pages and drawn page by page into the body inside the margins, with the owner's
// header and footer around each page. The page loop is one routine for both outputs: the printer
// job, and the preview's page recorder.
#pragma once

#include "html/viewer/PrintGeometry.h"
#include "platform/GdiTypes.h"

#include <QPointer>

#include <memory>

namespace velmoran {

class Canvas;
class Region;
class TMetaFilePrinter;
class TPageViewer;
class TPrintMode;
class TSectionList;
class TvwPrinter;
struct TTablePartRec;

// Where a run's pages go: the canvas of the page being drawn (asked anew for every page), the
// start of the next page, the printable page size and the clips that differ between the outputs.
class TPrintTarget {
public:
    virtual ~TPrintTarget() = default;
    virtual Canvas& PageCanvas() = 0;
    virtual void NewPage() = 0;
    virtual int PageWidth() = 0;
    virtual int PageHeight() = 0;
    // The clip of a page's body in device units, given the one the printer gets.
    virtual TRect BodyClip(const PrintGeometry& g, const TRect& printerClip) const;
    // The clip the header and footer are drawn with; none on the printer.
    virtual const Region* BandClip() const { return nullptr; }
};

class TPrintRun {
public:
    explicit TPrintRun(TPageViewer& viewer);
    ~TPrintRun();
    TPrintRun(const TPrintRun&) = delete;
    TPrintRun& operator=(const TPrintRun&) = delete;

    // Prints pages fromPage..toPage through the global job printer (one of its own for the run).
    void Print(int fromPage, int toPage);
    // Records every page into the recorder and returns how many were drawn; noOutput makes the
    // print a measuring pass that outputs no text.
    int Preview(TMetaFilePrinter& recorder, bool noOutput);

private:
    // Steps 1 to 3: the page event for formatting, then the document in print mode; false when
    // the viewer is busy or the document empty.
    bool Prepare();
    // The page loop on the target: measures, layout, then pages fromPage..toPage with their
    // headers and footers, until the document ends or the run is stopped. False when the viewer
    // was destroyed during the run.
    bool RunPages(TPrintTarget& target, int fromPage, int toPage);
    // Lets the application process what is pending, then fires the page event; false when the
    // viewer was destroyed meanwhile (a handler closed its window): the run then touches neither
    // the viewer nor its document again.
    bool EventRound(int page);
    // The clean-up around the end of the target's document: what the pages used, then what the
    // viewer gets back.
    void ReleasePages();
    void RestoreViewer();
    // Device measures, mapping and margins of the canvas (steps 6 to 8).
    void Measure(Canvas& canvas, const PrintDeviceInput& device);
    void SetMapping(Canvas& canvas, int originY) const;
    void MakeBodyClip(const TRect& printerClip);
    // One page body at X (the table part loop), then the header and footer when it is in range.
    void DrawBody(Canvas& canvas, int x, bool background);
    void BlankBelowCut(Canvas& canvas, bool background);
    void DrawHeaderFooter(Canvas& canvas, int page, bool& stop);
    void DrawHtmlBand(Canvas& canvas, bool header, int page, bool& stop);
    void FollowTopMargin();
    TTablePartRec* PartRecord() const;
    // The document being printed (while the run's print mode lasts).
    TSectionList& Doc() const;
    void SaveCanvas(Canvas& canvas);
    void RestoreCanvas(Canvas& canvas) const;

    TPageViewer& viewer_;
    QPointer<TPageViewer> alive_;  // null once the viewer is destroyed
    TPrintTarget* target_ = nullptr;
    Canvas* canvas_ = nullptr;
    int page_ = 1;  // the page being drawn
    bool stop_ = false;
    std::unique_ptr<TPrintMode> mode_;  // the viewer's own document, laid out for the printer
    // Made and freed by the run, but children of the viewer's parent: they go with it when a
    // handler closes the window during the run.
    QPointer<TPageViewer> headerViewer_;
    QPointer<TPageViewer> footerViewer_;
    std::unique_ptr<Region> bodyClip_;
    PrintGeometry start_;  // as measured with the top margin at the start
    PrintGeometry g_;      // with the top margin in force
    int dpiX_ = 0, dpiY_ = 0;
    int docHeight_ = 0;
    double startTopMargin_ = 0.0;
    double currentTopMargin_ = 0.0;
    struct Spares;
    std::unique_ptr<Spares> spares_;
};

}  // namespace velmoran
