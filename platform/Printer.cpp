// The selected printer over QPrinter, with the PDF printer for machines without one.
#include "platform/Printer.h"

#include "platform/GdiTypes.h"
#include "platform/QtCanvas.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>

namespace velmoran {

PrinterMeasures MeasuresOf(const QPrinter& printer)
{
    PrinterMeasures m;
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    m.PhysicalWidth = static_cast<int>(std::lround(paper.width()));
    m.PhysicalHeight = static_cast<int>(std::lround(paper.height()));
    m.OffsetX = static_cast<int>(std::lround(page.left() - paper.left()));
    m.OffsetY = static_cast<int>(std::lround(page.top() - paper.top()));
    m.PageWidth = static_cast<int>(std::lround(page.width()));
    m.PageHeight = static_cast<int>(std::lround(page.height()));
    m.DpiX = printer.logicalDpiX();
    m.DpiY = printer.logicalDpiY();
    return m;
}

void ApplyMeasures(QtCanvas& canvas, const PrinterMeasures& m)
{
    canvas.SetDeviceCaps(PHYSICALWIDTH, m.PhysicalWidth);
    canvas.SetDeviceCaps(PHYSICALHEIGHT, m.PhysicalHeight);
    canvas.SetDeviceCaps(PHYSICALOFFSETX, m.OffsetX);
    canvas.SetDeviceCaps(PHYSICALOFFSETY, m.OffsetY);
    canvas.SetDeviceCaps(HORZRES, m.PageWidth);
    canvas.SetDeviceCaps(VERTRES, m.PageHeight);
    canvas.SetDeviceCaps(LOGPIXELSX, m.DpiX);
    canvas.SetDeviceCaps(LOGPIXELSY, m.DpiY);
}

Printer::Printer()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (!info.isNull()) {
        pdf_ = false;
        name_ = info.printerName().toStdString();
    }
}

Printer Printer::Pdf(const std::string& fileName)
{
    Printer p;
    p.pdf_ = true;
    p.name_.clear();
    p.outputFileName_ = fileName;
    return p;
}

std::unique_ptr<QPrinter> Printer::MakeJobPrinter() const
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (pdf_) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setPageSize(QPageSize(QPageSize::A4));
        printer->setPageOrientation(QPageLayout::Portrait);
        // A PDF sheet has no unprintable edge: the page is the whole sheet.
        printer->setFullPage(true);
        printer->setOutputFileName(QString::fromStdString(outputFileName_));
    } else {
        printer->setPrinterName(QString::fromStdString(name_));
    }
    return printer;
}

namespace {
std::unique_ptr<Printer>& Selection()
{
    static std::unique_ptr<Printer> selection;
    return selection;
}
}  // namespace

Printer& SelectedPrinter()
{
    auto& selection = Selection();
    if (!selection)
        selection = std::make_unique<Printer>();
    return *selection;
}

Printer SetSelectedPrinter(Printer printer)
{
    Printer previous = SelectedPrinter();
    *Selection() = std::move(printer);
    return previous;
}

}  // namespace velmoran
