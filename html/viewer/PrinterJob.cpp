// The viewer's printer job over a QPrinter of its own; an aborted PDF job deletes its partial file.
#include "html/viewer/PrinterJob.h"

#include "platform/Printer.h"

#include <QFile>
#include <QPainter>
#include <QPrinter>

namespace velmoran {

const char* const kPrinterInvalid = "Ausgewählter Drucker ist ungültig";
const char* const kPrinterNotPrinting = "Der Drucker ist nicht am Drucken";
const char* const kPrinterPrinting = "Das Drucken ist im Gang";

TPrinterCanvas::TPrinterCanvas(TvwPrinter& job, QPainter* painter) : QtCanvas(painter), job_(&job) {}

void TPrinterCanvas::Changing() const
{
    if (!job_->Printing())
        throw EPrinter(kPrinterNotPrinting);
}

void TPrinterCanvas::DoLine(TPoint from, TPoint to)
{
    Changing();
    QtCanvas::DoLine(from, to);
}

void TPrinterCanvas::DoPolyline(const std::vector<TPoint>& points)
{
    Changing();
    QtCanvas::DoPolyline(points);
}

void TPrinterCanvas::DoPolygon(const std::vector<TPoint>& points)
{
    Changing();
    QtCanvas::DoPolygon(points);
}

void TPrinterCanvas::DoRectangle(const TRect& rect)
{
    Changing();
    QtCanvas::DoRectangle(rect);
}

void TPrinterCanvas::DoFillRect(const TRect& rect, ColorRef rgb)
{
    Changing();
    QtCanvas::DoFillRect(rect, rgb);
}

void TPrinterCanvas::DoPatternFill(const TRect& rect)
{
    Changing();
    QtCanvas::DoPatternFill(rect);
}

void TPrinterCanvas::DoEllipse(const TRect& rect)
{
    Changing();
    QtCanvas::DoEllipse(rect);
}

void TPrinterCanvas::DoArc(const TRect& rect, TPoint start, TPoint end)
{
    Changing();
    QtCanvas::DoArc(rect, start, end);
}

void TPrinterCanvas::DoFocusRect(const TRect& rect)
{
    Changing();
    QtCanvas::DoFocusRect(rect);
}

void TPrinterCanvas::DoText(const TextOutput& text)
{
    Changing();
    QtCanvas::DoText(text);
}

void TPrinterCanvas::DoStretchBlt(const TRect& destination, const QImage& image, const QImage* mask,
                                  const TRect& source)
{
    Changing();
    QtCanvas::DoStretchBlt(destination, image, mask, source);
}

std::string SpoolerTitle(const std::string& title)
{
    return QString::fromStdString(title).left(31).toStdString();
}

TvwPrinter::TvwPrinter() = default;

TvwPrinter::~TvwPrinter()
{
    if (printing_) {
        try {
            EndDoc();
        } catch (...) {
        }
    }
    canvas_.reset();
    painter_.reset();
    printer_.reset();
}

void TvwPrinter::RequirePrinting() const
{
    if (!printing_)
        throw EPrinter(kPrinterNotPrinting);
}

void TvwPrinter::RequireIdle() const
{
    if (printing_)
        throw EPrinter(kPrinterPrinting);
}

void TvwPrinter::SetState(TState state)
{
    if (state == state_)
        return;
    switch (state) {
    case TState::NoHandle:
        RequireIdle();
        DropContext();
        break;
    case TState::Info:
        if (state_ == TState::NoHandle)
            CreateContext(false);
        break;
    case TState::Device:
        DropContext();
        CreateContext(true);
        break;
    }
}

void TvwPrinter::DropContext()
{
    canvas_.reset();
    painter_.reset();
    printer_.reset();
    state_ = TState::NoHandle;
}

void TvwPrinter::CreateContext(bool device)
{
    const Printer& selected = SelectedPrinter();
    auto printer = selected.MakeJobPrinter();
    if (!printer->isValid() || (selected.IsPdf() && selected.OutputFileName().empty()))
        throw EPrinter(kPrinterInvalid);
    printer_ = std::move(printer);
    outputFile_ = selected.IsPdf() ? selected.OutputFileName() : std::string();
    state_ = device ? TState::Device : TState::Info;
    AttachCanvas();
}

void TvwPrinter::AttachCanvas()
{
    canvas_ = std::make_unique<TPrinterCanvas>(*this, painter_ && painter_->isActive() ? painter_.get() : nullptr);
    if (printer_)
        ApplyMeasures(*canvas_, MeasuresOf(*printer_));
}

void TvwPrinter::BeginDoc()
{
    RequireIdle();
    SetState(TState::Device);
    documentName_ = SpoolerTitle(Title);
    printer_->setDocName(QString::fromStdString(documentName_));
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(printer_.get())) {
        // Nothing was started: no file of this job may stay behind.
        if (!outputFile_.empty())
            QFile::remove(QString::fromStdString(outputFile_));
        throw EPrinter(kPrinterInvalid);
    }
    painter_ = std::move(painter);
    // No spooler abort procedure (kept on purpose): the print run lets pending messages through after each page.
    AttachCanvas();
    printing_ = true;
    aborted_ = false;
    pageNumber_ = 1;
}

void TvwPrinter::EndDoc()
{
    RequirePrinting();
    canvas_.reset();
    if (painter_)
        painter_->end();
    painter_.reset();
    if (aborted_ && !outputFile_.empty())
        QFile::remove(QString::fromStdString(outputFile_));
    printing_ = false;
    aborted_ = false;
    pageNumber_ = 0;
    AttachCanvas();
}

void TvwPrinter::NewPage()
{
    RequirePrinting();
    printer_->newPage();
    ++pageNumber_;
}

void TvwPrinter::Abort()
{
    RequirePrinting();
    printer_->abort();
    aborted_ = true;
    EndDoc();
}

int TvwPrinter::PageWidth()
{
    SetState(TState::Info);
    return MeasuresOf(*printer_).PageWidth;
}

int TvwPrinter::PageHeight()
{
    SetState(TState::Info);
    return MeasuresOf(*printer_).PageHeight;
}

TPrinterCanvas& TvwPrinter::Canvas()
{
    if (!canvas_) {
        SetState(TState::Info);
        if (!canvas_)
            AttachCanvas();
    }
    return *canvas_;
}

namespace {
TvwPrinter*& Installed()
{
    static TvwPrinter* installed = nullptr;
    return installed;
}
}  // namespace

TvwPrinter& vwPrinter()
{
    if (!Installed()) {
        static TvwPrinter defaultPrinter;
        Installed() = &defaultPrinter;
    }
    return *Installed();
}

TvwPrinter* SetPrinter(TvwPrinter* printer)
{
    TvwPrinter* previous = &vwPrinter();
    Installed() = printer;
    return previous;
}

}  // namespace velmoran
