// The print run: measures, the page loop with the table part loop, the blanking below each cut,
// headers and footers, and the clean-up that puts everything back however the run ends; the
// printer job and the page recorder as the two targets of the page loop.
#include "html/viewer/PrintRun.h"

#include "html/base/WideText.h"
#include "html/layout/PrintMode.h"
#include "html/layout/SectionList.h"
#include "html/layout/Tables.h"
#include "html/viewer/MetaFilePrinter.h"
#include "html/viewer/PageViewer.h"
#include "html/viewer/PrinterJob.h"
#include "html/viewer/SectionListDocument.h"
#include "platform/Region.h"
#include "platform/core/ScopeExit.h"

#include <QCoreApplication>
#include <QString>

#include <algorithm>
#include <limits>

namespace velmoran {

struct TPrintRun::Spares {
    LogicalFont Font;
    Pen SavedPen;
    Brush SavedBrush;
};

namespace {

TSectionList* SectionsOf(TPageViewer& viewer)
{
    auto* document = dynamic_cast<TSectionListDocument*>(&viewer.Document());
    return document ? &document->Sections() : nullptr;
}

}  // namespace

TPrintRun::TPrintRun(TPageViewer& viewer)
    : viewer_(viewer), alive_(&viewer), spares_(std::make_unique<Spares>())
{
}

TPrintRun::~TPrintRun()
{
    delete headerViewer_.data();
    delete footerViewer_.data();
}

TSectionList& TPrintRun::Doc() const
{
    return mode_->Document();
}

TTablePartRec* TPrintRun::PartRecord() const
{
    auto* table = static_cast<ThtmlTable*>(Doc().TablePrinting);
    return table ? &table->TablePartRec : nullptr;
}

void TPrintRun::SaveCanvas(Canvas& canvas)
{
    spares_->Font = canvas.Font();
    spares_->SavedPen = canvas.GetPen();
    spares_->SavedBrush = canvas.GetBrush();
}

void TPrintRun::RestoreCanvas(Canvas& canvas) const
{
    canvas.SetFont(spares_->Font);
    canvas.SelectPen(spares_->SavedPen);
    canvas.SelectBrush(spares_->SavedBrush);
}

void TPrintRun::Measure(Canvas& canvas, const PrintDeviceInput& device)
{
    dpiX_ = device.DpiX;
    dpiY_ = device.DpiY;
    start_ = ComputePrintGeometry(device);
    g_ = start_;
    Doc().ScaleX = 100.0f / static_cast<float>(dpiX_);
    Doc().ScaleY = 100.0f / static_cast<float>(dpiY_);
    SetMapping(canvas, 0);
}

void TPrintRun::SetMapping(Canvas& canvas, int originY) const
{
    canvas.SetMapMode(MapMode::Anisotropic);
    canvas.SetWindowExt(g_.WDpi, g_.WDpi);
    canvas.SetViewportExt(dpiX_, dpiY_);
    canvas.SetWindowOrg(0, originY);
}

void TPrintRun::MakeBodyClip(const TRect& printerClip)
{
    bodyClip_ = std::make_unique<Region>(target_->BodyClip(g_, printerClip));
}

TRect TPrintTarget::BodyClip(const PrintGeometry&, const TRect& printerClip) const
{
    return printerClip;
}

namespace {

// The pages of a print: the job printer's.
class TJobTarget : public TPrintTarget {
public:
    explicit TJobTarget(TvwPrinter& job) : job_(job) {}
    Canvas& PageCanvas() override { return job_.Canvas(); }
    void NewPage() override { job_.NewPage(); }
    int PageWidth() override { return job_.PageWidth(); }
    int PageHeight() override { return job_.PageHeight(); }

private:
    TvwPrinter& job_;
};

// The pages of a preview: the recorder's, each on a canvas of its own and clipped to the page.
class TRecorderTarget : public TPrintTarget {
public:
    explicit TRecorderTarget(TMetaFilePrinter& recorder)
        : recorder_(recorder), pageClip_(TRect{0, 0, recorder.PageWidth(), recorder.PageHeight()})
    {
    }
    Canvas& PageCanvas() override { return recorder_.Canvas(); }
    void NewPage() override { recorder_.NewPage(); }
    int PageWidth() override { return recorder_.PageWidth(); }
    int PageHeight() override { return recorder_.PageHeight(); }
    TRect BodyClip(const PrintGeometry& g, const TRect&) const override
    {
        return {g.LeftDev, std::max(0, g.TopDev), std::min(recorder_.PageWidth(), g.LeftDev + g.WidthDev + 2),
                std::min(recorder_.PageHeight(), g.TopDev + g.HeightDev)};
    }
    const Region* BandClip() const override { return &pageClip_; }

private:
    TMetaFilePrinter& recorder_;
    Region pageClip_;
};

}  // namespace

bool TPrintRun::Prepare()
{
    TPageViewer& v = viewer_;
    stop_ = false;
    if (v.OnPageEvent)
        v.OnPageEvent(&v, 0, stop_);
    v.printedPage_ = 0;
    TSectionList* sections = SectionsOf(v);
    if (v.Processing() || !sections || v.Document().SectionCount() == 0)
        return false;

    mode_ = std::make_unique<TPrintMode>(*sections);
    startTopMargin_ = v.PrintMarginTop;
    currentTopMargin_ = startTopMargin_;
    Doc().Background = 0xFFFFFF;
    return true;
}

void TPrintRun::ReleasePages()
{
    delete headerViewer_.data();
    delete footerViewer_.data();
    if (canvas_)
        canvas_->SelectClipRgn(nullptr);
    canvas_ = nullptr;
    bodyClip_.reset();
}

void TPrintRun::RestoreViewer()
{
    if (!alive_) {
        // The document went with its viewer: there is nothing left to give back.
        if (mode_)
            mode_->Forget();
        mode_.reset();
        return;
    }
    viewer_.printedPage_ = page_ - 1;
    viewer_.PrintMarginTop = startTopMargin_;
    if (!mode_)
        return;
    mode_.reset();
    // Called while a failed run unwinds too: a layout that fails now (out of memory) must not end
    // the program; the window is laid out again by its next resize or load.
    try {
        viewer_.LayOutAgainAfterPrint();
    } catch (...) {
    }
}

void TPrintRun::Print(int fromPage, int toPage)
{
    TPageViewer& v = viewer_;
    if (!Prepare())
        return;

    // A job the viewer holds already takes the pages after its own; else the run has its own job,
    // held by the viewer while it lasts, so that a viewer destroyed during the run aborts it and
    // brings back the printer before it.
    std::unique_ptr<TvwPrinter> ownJob;
    if (!v.jobPrinter_) {
        ownJob = std::make_unique<TvwPrinter>();
        v.SetJobPrinter(ownJob.get());
    }
    TvwPrinter* job = v.jobPrinter_;
    bool completed = false;
    ScopeExit cleanUp([&] {
        ReleasePages();
        if (ownJob && job->Printing()) {
            try {
                // A run that failed leaves no partial document behind.
                if (!completed || page_ - 1 < fromPage)
                    job->Abort();
                else
                    job->EndDoc();
            } catch (...) {
            }
        }
        if (ownJob && alive_)
            v.SetJobPrinter(nullptr);
        ownJob.reset();
        RestoreViewer();
    });

    v.printedPage_ = 1;
    if (!v.DocumentTitle().empty())
        job->Title = QString::fromStdU16String(v.DocumentTitle()).toStdString();
    if (!job->Printing())
        job->BeginDoc();
    else
        job->NewPage();
    TJobTarget target(*job);
    completed = RunPages(target, fromPage, toPage);
}

int TPrintRun::Preview(TMetaFilePrinter& recorder, bool noOutput)
{
    if (!Prepare())
        return 0;
    Doc().NoOutput = noOutput;
    bool completed = false;
    ScopeExit cleanUp([&] {
        ReleasePages();
        if (recorder.Printing()) {
            // A recording that failed keeps no pages.
            if (completed)
                recorder.EndDoc();
            else
                recorder.Abort();
        }
        RestoreViewer();
    });

    viewer_.printedPage_ = 1;
    recorder.BeginDoc();
    TRecorderTarget target(recorder);
    completed = RunPages(target, 1, std::numeric_limits<int>::max());
    return completed ? page_ - 1 : 0;
}

bool TPrintRun::EventRound(int page)
{
    QCoreApplication::processEvents();
    if (alive_ && viewer_.OnPageEvent)
        viewer_.OnPageEvent(&viewer_, page, stop_);
    if (alive_)
        return true;
    // The viewer aborted the job it held as it went, and the job's canvas went with it.
    canvas_ = nullptr;
    return false;
}

bool TPrintRun::RunPages(TPrintTarget& target, int fromPage, int toPage)
{
    TPageViewer& v = viewer_;
    target_ = &target;
    page_ = 1;
    canvas_ = &target.PageCanvas();
    SaveCanvas(*canvas_);

    PrintDeviceInput device;
    device.DpiX = canvas_->GetDeviceCaps(LOGPIXELSX);
    device.DpiY = canvas_->GetDeviceCaps(LOGPIXELSY);
    device.ScreenDpi = canvas_->PixelsPerInch();
    device.PhysicalWidth = canvas_->GetDeviceCaps(PHYSICALWIDTH);
    device.PhysicalHeight = canvas_->GetDeviceCaps(PHYSICALHEIGHT);
    device.OffsetX = canvas_->GetDeviceCaps(PHYSICALOFFSETX);
    device.OffsetY = canvas_->GetDeviceCaps(PHYSICALOFFSETY);
    device.PageWidth = target.PageWidth();
    device.PageHeight = target.PageHeight();
    device.Scale = v.PrintScale();
    device.MarginLeft = v.PrintMarginLeft;
    device.MarginRight = v.PrintMarginRight;
    device.MarginTop = v.PrintMarginTop;
    device.MarginBottom = v.PrintMarginBottom;
    Measure(*canvas_, device);

    int neededWidth = 0;
    docHeight_ = Doc().LayoutDocument(*canvas_, g_.WidthLog, neededWidth);
    MakeBodyClip({g_.LeftDev, g_.TopDev - 1, g_.LeftDev + g_.WidthDev + 2, g_.TopDev + g_.HeightDev + 2});
    if (!EventRound(1))
        return false;
    auto makeBandViewer = [&v] {
        auto* viewer = new TPageViewer(v.parentWidget());
        viewer->hide();
        viewer->SetDefBackground(v.DefBackground());
        viewer->SetDefFontName(v.DefFontName());
        viewer->SetDefFontSize(v.DefFontSize());
        viewer->SetDefFontColor(v.DefFontColor());
        viewer->SetCharSet(v.CharSet());
        viewer->SetMarginHeight(0);
        return viewer;
    };
    if (v.OnPrintHTMLHeader)
        headerViewer_ = makeBandViewer();
    if (v.OnPrintHTMLFooter)
        footerViewer_ = makeBandViewer();

    const bool printBackground = v.htOptions().Has(htPrintBackground);
    int pageTop = 0;
    int& n = page_;
    while (n <= toPage && !stop_) {
        v.printedPage_ = n;
        canvas_ = &target.PageCanvas();
        Canvas& canvas = *canvas_;
        Doc().SetYOffset(pageTop - g_.TopLog);
        SetMapping(canvas, 0);
        canvas.SelectClipRgn(bodyClip_.get());
        const bool shown = n >= fromPage;
        const int x = shown ? g_.LeftLog : 3 * g_.WidthLog + g_.LeftLog;
        if (shown && printBackground)
            v.DrawPrintBackground(canvas, {g_.LeftLog, g_.TopLog, g_.LeftLog + g_.WidthLog, g_.TopLog + g_.HeightLog},
                                  mode_->ScreenBackground());
        DrawBody(canvas, x, shown && printBackground);
        canvas.SelectClipRgn(target.BandClip());
        if (shown && n <= toPage)
            DrawHeaderFooter(canvas, n, stop_);
        FollowTopMargin();
        const int nextTop = Doc().PageCutY;
        if (!EventRound(n))
            return false;
        if (nextTop >= docHeight_ - v.MarginHeight() || nextTop <= pageTop) {
            stop_ = true;
        } else if (!stop_ && fromPage <= n && n < toPage) {
            canvas.SelectClipRgn(nullptr);
            // The recorder closes the page's canvas here.
            canvas_ = nullptr;
            target.NewPage();
        }
        pageTop = nextTop;
        ++n;
    }
    return true;
}

void TPrintRun::DrawBody(Canvas& canvas, int x, bool background)
{
    const TRect body{g_.LeftLog, g_.TopLog, g_.LeftLog + g_.WidthLog, g_.TopLog + g_.HeightLog};
    const int hiddenX = 3 * g_.WidthLog + g_.LeftLog;
    auto toDevY = [this](int y) { return MulDiv(y, dpiY_, g_.WDpi); };
    auto clipBand = [&](int topDev, int bottomDev) {
        const Region band(TRect{g_.LeftDev, topDev, g_.LeftDev + g_.WidthDev + 2, bottomDev});
        canvas.SelectClipRgn(&band);
    };
    auto partOf = [](const TTablePartRec* rec) { return rec ? rec->TablePart & 0x7F : 0; };
    for (;;) {
        TTablePartRec* rec = PartRecord();
        switch (partOf(rec)) {
        case 0:
            Doc().PaintDocument(canvas, body, x);
            BlankBelowCut(canvas, background);
            break;
        case 1: {
            Doc().SetYOffset(rec->PartStart - g_.TopLog);
            clipBand(g_.TopDev, toDevY(g_.TopLog + rec->PartHeight));
            Doc().PaintDocument(canvas, {body.Left, body.Top, body.Right, body.Top + rec->PartHeight}, x);
            break;
        }
        case 2:
        case 4: {
            const int top = Doc().PageCutY - 1 - Doc().YOff;
            Doc().SetYOffset(rec->PartStart - top);
            // Drawn where it cannot be seen first, so that the table finds its cut.
            Doc().PaintDocument(canvas, {body.Left, top, body.Right, body.Bottom}, hiddenX);
            if (TTablePartRec* now = PartRecord())
                now->TablePart = 3;
            const int bottom = Doc().PageCutY - Doc().YOff + 1;
            clipBand(toDevY(top), toDevY(bottom));
            Doc().PaintDocument(canvas, {body.Left, top, body.Right, bottom}, x);
            if (partOf(PartRecord()) != 0 || !PartRecord())
                BlankBelowCut(canvas, background);
            break;
        }
        case 3:
            break;
        case 5: {
            const int savedCut = Doc().PageCutY;
            const int top = savedCut - Doc().YOff;
            const int bottom = top + rec->PartHeight;
            clipBand(toDevY(top), toDevY(bottom));
            Doc().SetYOffset(rec->PartStart - top);
            Doc().PaintDocument(canvas, {body.Left, top, body.Right, bottom}, x);
            Doc().PageCutY = savedCut;
            break;
        }
        default:
            break;
        }
        const int part = partOf(PartRecord());
        if (!PartRecord() || part < 2 || part == 4)
            break;
    }
}

void TPrintRun::BlankBelowCut(Canvas& canvas, bool background)
{
    canvas.SelectPen(Pen{PenStyle::Solid, 0, 0xFFFFFF});
    canvas.SelectBrush(Brush{BrushStyle::Solid, 0xFFFFFF});
    const int right = g_.LeftLog + g_.WidthLog + 1;
    canvas.Rectangle(g_.LeftLog, 0, right, g_.TopLog - 1);
    const int cut = Doc().PageCutY - Doc().YOff;
    canvas.Rectangle(g_.LeftLog, cut, right, g_.TopLog + g_.HeightLog + 1);
    if (background && cut - g_.TopLog < g_.HeightLog) {
        const Region below(TRect{g_.LeftDev, MulDiv(cut, dpiY_, g_.WDpi) - 2, g_.LeftDev + g_.WidthDev,
                                 g_.TopDev + g_.HeightDev});
        canvas.SelectClipRgn(&below);
        viewer_.DrawPrintBackground(canvas, {g_.LeftLog, g_.TopLog, g_.LeftLog + g_.WidthLog, g_.TopLog + g_.HeightLog},
                                    mode_->ScreenBackground());
    }
    RestoreCanvas(canvas);
}

void TPrintRun::DrawHeaderFooter(Canvas& canvas, int page, bool& stop)
{
    TPageViewer& v = viewer_;
    canvas.SelectPen(spares_->SavedPen);
    const unsigned oldAlign = canvas.SetTextAlign(0);
    const int bodyBottom = g_.TopLog + g_.HeightLog;
    if (v.OnPrintHeader) {
        SetMapping(canvas, 0);
        v.OnPrintHeader(&v, canvas, page, g_.PageWidthLog, g_.TopLog, stop);
    }
    if (v.OnPrintFooter) {
        SetMapping(canvas, -bodyBottom);
        v.OnPrintFooter(&v, canvas, page, g_.PageWidthLog, g_.PageHeightLog - bodyBottom, stop);
    }
    DrawHtmlBand(canvas, true, page, stop);
    DrawHtmlBand(canvas, false, page, stop);
    canvas.SetTextAlign(oldAlign);
    RestoreCanvas(canvas);
}

void TPrintRun::DrawHtmlBand(Canvas& canvas, bool header, int page, bool& stop)
{
    TPageViewer& v = viewer_;
    const ThtmlPagePrinted& event = header ? v.OnPrintHTMLHeader : v.OnPrintHTMLFooter;
    TPageViewer* band = header ? headerViewer_.data() : footerViewer_.data();
    if (!event || !band)
        return;
    int xl = g_.LeftLog;
    int xr = g_.LeftLog + g_.WidthLog;
    event(&v, band, page, Doc().PageCutY > docHeight_, xl, xr, stop);
    TSectionList* sections = SectionsOf(*band);
    if (!sections || band->Document().SectionCount() == 0)
        return;
    std::unique_ptr<TSectionList> bandCopy = sections->CreateCopy();
    bandCopy->Printing = true;
    bandCopy->ScaleX = Doc().ScaleX;
    bandCopy->ScaleY = Doc().ScaleY;
    bandCopy->PrintTableBackground = true;
    bandCopy->PrintBackground = true;
    int neededWidth = 0;
    const int h = bandCopy->LayoutDocument(canvas, xr - xl, neededWidth);
    const int bodyBottom = g_.TopLog + g_.HeightLog;
    int bandBottom = 0;
    int yOffset = 0;
    if (header) {
        SetMapping(canvas, 0);
        bandBottom = g_.TopLog;
        yOffset = h - g_.TopLog;
    } else {
        SetMapping(canvas, -bodyBottom);
        bandBottom = std::min(g_.PageHeightLog - bodyBottom, h);
    }
    band->DrawPrintBackground(canvas, {xl, -yOffset, xr, -yOffset + h}, band->Document().Background());
    bandCopy->SetYOffset(yOffset);
    bandCopy->PaintDocument(canvas, {xl, 0, xr, bandBottom}, xl);
}

void TPrintRun::FollowTopMargin()
{
    const double margin = viewer_.PrintMarginTop;
    if (margin == currentTopMargin_)
        return;
    g_ = ShiftTopMargin(start_, margin - startTopMargin_, dpiY_);
    MakeBodyClip({g_.LeftDev, g_.TopDev, g_.LeftDev + g_.WidthDev + 2, g_.TopDev + g_.HeightDev});
    currentTopMargin_ = margin;
}

}  // namespace velmoran
