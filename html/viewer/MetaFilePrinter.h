// The page recorder of the print preview: it stands in for the printer while the viewer's preview
// run draws its pages, and keeps every page as a recorded page measured in the selected printer's
// device pixels. The preview window fills one through the print-progress window and shows its
// pages.
#pragma once

#include "platform/MetafilePage.h"
#include "platform/Printer.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPainter;

namespace velmoran {

class QtCanvas;

extern const char* const kPrinterNotAvailable;  // "Kein Drucker verfügbar"

// The unit the recorder's measures are given in.
enum class TUnits { unInches, unCentimeters };

class TMetaFilePrinter {
public:
    // Told after each new page with the number of pages; the stop value is not read.
    using TPageEvent = std::function<void(TMetaFilePrinter& sender, int numPage, bool& stopPrinting)>;
    // The device the pages are measured on; none when the system has no printer at all.
    using TReferenceDevice = std::function<std::optional<PrinterMeasures>()>;

    TMetaFilePrinter();
    ~TMetaFilePrinter();
    TMetaFilePrinter(const TMetaFilePrinter&) = delete;
    TMetaFilePrinter& operator=(const TMetaFilePrinter&) = delete;

    // Starts a recording: the pages of the last one go, the device values are taken and the first
    // page is opened. Raises "Kein Drucker verfügbar" (nothing changed) when there is no printer.
    void BeginDoc();
    // Opens the next page: a white sheet; the canvas of the page before is closed.
    void NewPage();
    // Ends the recording; the page the last NewPage opened goes when nothing fetched its canvas.
    void EndDoc();
    // Ends a recording that failed: no page of it stays.
    void Abort();

    // The canvas of the page being recorded (marks the page as used); raises "Der Drucker ist nicht
    // am Drucken" outside a recording.
    QtCanvas& Canvas();
    bool Printing() const { return printing_; }

    int PageCount() const { return static_cast<int>(pages_.size()); }
    const MetafilePage& Page(int index) const { return *pages_.at(static_cast<std::size_t>(index)); }
    // The device values taken at the last BeginDoc (all 0 before the first).
    const PrinterMeasures& Device() const { return device_; }
    int PageWidth() const { return device_.PageWidth; }
    int PageHeight() const { return device_.PageHeight; }

    TUnits Units() const { return units_; }
    void SetUnits(TUnits units);
    // Units per inch: 1.0 for inches, 2.54 for centimetres.
    double ConversionFactor() const { return conversionFactor_; }

    TPageEvent OnPageEvent;
    // The selected printer's measures unless replaced (tests take the printer away here).
    TReferenceDevice ReferenceDevice;

private:
    void CloseCanvas();

    std::vector<std::unique_ptr<MetafilePage>> pages_;
    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<QtCanvas> canvas_;
    PrinterMeasures device_;
    bool printing_ = false;
    bool pageUsed_ = false;
    TUnits units_ = TUnits::unInches;
    // Set with the default unit too: a factor of 0 before the first assignment would make every
    // measure 0.
    double conversionFactor_ = 1.0;
};

}  // namespace velmoran
