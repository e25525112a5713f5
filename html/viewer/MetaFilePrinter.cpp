// The page recorder of the print preview; see MetaFilePrinter.h.
#include "html/viewer/MetaFilePrinter.h"

#include "html/base/WideText.h"
#include "html/viewer/PrinterJob.h"
#include "platform/QtCanvas.h"

#include <QPainter>
#include <QPrinter>

namespace velmoran {

const char* const kPrinterNotAvailable = "Kein Drucker verfügbar";

namespace {

std::optional<PrinterMeasures> SelectedPrinterMeasures()
{
    const std::unique_ptr<QPrinter> printer = SelectedPrinter().MakeJobPrinter();
    if (!printer || !printer->isValid())
        return std::nullopt;
    return MeasuresOf(*printer);
}

// Arial 10 at the screen's pixels per inch.
LogicalFont FirstPageFont()
{
    LogicalFont font;
    font.Face = "Arial";
    font.Height = -MulDiv(10, kPixelsPerInch, 72);
    return font;
}

}  // namespace

TMetaFilePrinter::TMetaFilePrinter() : ReferenceDevice(SelectedPrinterMeasures) {}

TMetaFilePrinter::~TMetaFilePrinter()
{
    CloseCanvas();
}

void TMetaFilePrinter::CloseCanvas()
{
    canvas_.reset();
    if (painter_) {
        painter_->end();
        // The page the painter drew is the last one kept (a new page joins after this).
        if (!pages_.empty())
            pages_.back()->Pack();
    }
    painter_.reset();
}

void TMetaFilePrinter::BeginDoc()
{
    const std::optional<PrinterMeasures> device = ReferenceDevice ? ReferenceDevice() : std::nullopt;
    if (!device)
        throw Exception(kPrinterNotAvailable);
    CloseCanvas();
    printing_ = true;
    pages_.clear();
    device_ = *device;
    NewPage();
}

void TMetaFilePrinter::NewPage()
{
    auto page = std::make_unique<MetafilePage>(device_);
    auto painter = std::make_unique<QPainter>(page.get());
    auto canvas = std::make_unique<QtCanvas>(painter.get());
    ApplyMeasures(*canvas, device_);
    canvas->SelectPen(Pen{PenStyle::Solid, 0, 0xFFFFFF});
    canvas->SelectBrush(Brush{BrushStyle::Solid, 0xFFFFFF});
    canvas->Rectangle(0, 0, device_.PhysicalWidth, device_.PhysicalHeight);
    if (!canvas_) {
        canvas->SetFont(FirstPageFont());
        canvas->SelectBrush(Brush{BrushStyle::Null});
    }
    CloseCanvas();
    pages_.push_back(std::move(page));
    painter_ = std::move(painter);
    canvas_ = std::move(canvas);
    pageUsed_ = false;
    if (OnPageEvent) {
        bool stop = false;
        OnPageEvent(*this, PageCount(), stop);
    }
}

void TMetaFilePrinter::SetUnits(TUnits units)
{
    units_ = units;
    conversionFactor_ = units == TUnits::unCentimeters ? 2.54 : 1.0;
}

void TMetaFilePrinter::EndDoc()
{
    printing_ = false;
    CloseCanvas();
    if (!pageUsed_ && !pages_.empty())
        pages_.pop_back();
    pageUsed_ = false;
}

void TMetaFilePrinter::Abort()
{
    printing_ = false;
    CloseCanvas();
    pages_.clear();
    pageUsed_ = false;
}

QtCanvas& TMetaFilePrinter::Canvas()
{
    if (!canvas_)
        throw EPrinter(kPrinterNotPrinting);
    pageUsed_ = true;
    return *canvas_;
}

}  // namespace velmoran
