// The printer the user selected: the system's default printer over QPrinter, or, on a machine
// with no printer installed, a PDF printer (A4, high resolution) writing into a file. Print jobs
// take a QPrinter set up like it; its paper and page rectangles give the device measures a
// printer canvas reports.
#pragma once

#include <memory>
#include <string>

class QPrinter;

namespace velmoran {

class QtCanvas;

// The device measures of a printer, in device pixels: the whole sheet, the printable area and
// where that area starts on the sheet, and the resolution.
struct PrinterMeasures {
    int PhysicalWidth = 0;
    int PhysicalHeight = 0;
    int OffsetX = 0;
    int OffsetY = 0;
    int PageWidth = 0;   // HORZRES
    int PageHeight = 0;  // VERTRES
    int DpiX = 0;
    int DpiY = 0;
};

// The measures of a set-up QPrinter.
PrinterMeasures MeasuresOf(const QPrinter& printer);
// Hands the measures to a canvas (PHYSICAL*, HORZRES, VERTRES, LOGPIXELS*).
void ApplyMeasures(QtCanvas& canvas, const PrinterMeasures& measures);

class Printer {
public:
    // The system's default printer; the PDF printer when none is installed.
    Printer();
    // Always the PDF printer, writing into the file named.
    static Printer Pdf(const std::string& fileName);

    bool IsPdf() const { return pdf_; }
    const std::string& Name() const { return name_; }
    // The file a PDF printer writes into.
    const std::string& OutputFileName() const { return outputFileName_; }
    void SetOutputFileName(const std::string& fileName) { outputFileName_ = fileName; }

    // A QPrinter for one job on this printer.
    std::unique_ptr<QPrinter> MakeJobPrinter() const;

private:
    bool pdf_ = true;
    std::string name_;
    std::string outputFileName_;
};

// The printer in use (the platform's printer selection); created on first use.
Printer& SelectedPrinter();
// Replaces the selection (tests install a PDF printer) and returns the one before.
Printer SetSelectedPrinter(Printer printer);

}  // namespace velmoran
