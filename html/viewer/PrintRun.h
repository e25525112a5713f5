// The print run of a page viewer: a print copy of the document laid out at the printer's page
// width, cut into pages and drawn page by page into the body inside the margins, with the owner's
// header and footer around each page. The steps are the run's own methods so that another output
// (a page recorder) can run them too.
#pragma once

#include "html/viewer/PrintGeometry.h"

#include <memory>

namespace velmoran {

class Canvas;
class Region;
class TPageViewer;
class TSectionList;
class TvwPrinter;
struct TTablePartRec;

class TPrintRun {
public:
    explicit TPrintRun(TPageViewer& viewer);
    ~TPrintRun();
    TPrintRun(const TPrintRun&) = delete;
    TPrintRun& operator=(const TPrintRun&) = delete;

    // Prints pages fromPage..toPage through the global job printer (one of its own for the run).
    void Print(int fromPage, int toPage);

private:
    // Device measures, mapping and margins of the canvas (steps 6 to 8).
    void Measure(Canvas& canvas, const PrintDeviceInput& device);
    void SetMapping(Canvas& canvas, int originY) const;
    void MakeBodyClip();
    // One page body at X (the table part loop), then the header and footer when it is in range.
    void DrawBody(Canvas& canvas, int x, bool background);
    void BlankBelowCut(Canvas& canvas, bool background);
    void DrawHeaderFooter(Canvas& canvas, int page, bool& stop);
    void DrawHtmlBand(Canvas& canvas, bool header, int page, bool& stop);
    void FollowTopMargin();
    TTablePartRec* PartRecord() const;
    void SaveCanvas(Canvas& canvas);
    void RestoreCanvas(Canvas& canvas) const;

    TPageViewer& viewer_;
    std::unique_ptr<TSectionList> copy_;
    std::unique_ptr<TPageViewer> headerViewer_;
    std::unique_ptr<TPageViewer> footerViewer_;
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
