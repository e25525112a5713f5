// One print job of the viewer: a printer of its own set up like the selected printer, a document
// with pages, and the canvas that draws on it. The viewer's print run installs its job as the
// global job printer while it runs.
#pragma once

#include "platform/QtCanvas.h"
#include "platform/core/Exceptions.h"

#include <memory>
#include <string>

class QPainter;
class QPrinter;

namespace velmoran {

// A failure of the printer job.
class EPrinter : public Exception {
public:
    using Exception::Exception;
};

extern const char* const kPrinterInvalid;      // "Ausgewählter Drucker ist ungültig"
extern const char* const kPrinterNotPrinting;  // "Der Drucker ist nicht am Drucken"
extern const char* const kPrinterPrinting;     // "Das Drucken ist im Gang"

class TvwPrinter;

// The canvas of one job: every drawing operation requires the job to be printing.
class TPrinterCanvas : public QtCanvas {
public:
    TPrinterCanvas(TvwPrinter& job, QPainter* painter);
    TvwPrinter& vwPrinter() const { return *job_; }

protected:
    void DoLine(TPoint from, TPoint to) override;
    void DoPolyline(const std::vector<TPoint>& points) override;
    void DoPolygon(const std::vector<TPoint>& points) override;
    void DoRectangle(const TRect& rect) override;
    void DoFillRect(const TRect& rect, ColorRef rgb) override;
    void DoPatternFill(const TRect& rect) override;
    void DoEllipse(const TRect& rect) override;
    void DoArc(const TRect& rect, TPoint start, TPoint end) override;
    void DoFocusRect(const TRect& rect) override;
    void DoText(const TextOutput& text) override;
    void DoStretchBlt(const TRect& destination, const QImage& image, const QImage* mask, const TRect& source) override;

private:
    // Raises "Der Drucker ist nicht am Drucken" outside a job.
    void Changing() const;
    TvwPrinter* job_;
};

class TvwPrinter {
public:
    // No handle; an information context when something is measured; a device context from
    // BeginDoc on, kept for further jobs.
    enum class TState { NoHandle, Info, Device };

    TvwPrinter();
    ~TvwPrinter();
    TvwPrinter(const TvwPrinter&) = delete;
    TvwPrinter& operator=(const TvwPrinter&) = delete;

    std::string Title;
    void BeginDoc();
    void EndDoc();
    void NewPage();
    void Abort();
    int PageWidth();
    int PageHeight();
    TPrinterCanvas& Canvas();

    bool Printing() const { return printing_; }
    bool Aborted() const { return aborted_; }
    int PageNumber() const { return pageNumber_; }
    TState State() const { return state_; }
    void SetState(TState state);
    // The job's own printer (null without a handle); the name the spooler was given.
    QPrinter* JobPrinter() const { return printer_.get(); }
    const std::string& DocumentName() const { return documentName_; }

private:
    void RequirePrinting() const;
    void RequireIdle() const;
    void CreateContext(bool device);
    void DropContext();
    void AttachCanvas();

    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<TPrinterCanvas> canvas_;
    std::string documentName_;
    std::string outputFile_;
    int pageNumber_ = 0;
    bool printing_ = false;
    bool aborted_ = false;
    TState state_ = TState::NoHandle;
};

// The first 31 characters of a title, as the spooler is given it.
std::string SpoolerTitle(const std::string& title);

// The global job printer, created on first use; SetPrinter installs another (not owned; null
// brings back the default one) and returns the one before.
TvwPrinter& vwPrinter();
TvwPrinter* SetPrinter(TvwPrinter* printer);

}  // namespace velmoran
