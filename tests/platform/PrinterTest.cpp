// Tests of the selected printer: the PDF printer's page and measures as a canvas reports them, and
// the print dialog on screen and through the scripted service.
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TestApp.h"

#include "platform/Printer.h"
#include "platform/Prompt.h"
#include "platform/QtCanvas.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPrinter>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace velmoran {
namespace {

using testing::App;

TEST(Printer, PdfPrinterIsA4AtHighResolutionIntoItsFile)
{
    App();
    const Printer pdf = Printer::Pdf("/tmp/bericht.pdf");
    EXPECT_TRUE(pdf.IsPdf());
    const auto printer = pdf.MakeJobPrinter();
    EXPECT_EQ(printer->outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(printer->outputFileName().toStdString(), "/tmp/bericht.pdf");
    const PrinterMeasures m = MeasuresOf(*printer);
    EXPECT_GE(m.DpiX, 600);
    EXPECT_EQ(m.DpiX, m.DpiY);
    // A4 (595 × 842 points); the whole sheet is printable.
    EXPECT_NEAR(m.PhysicalWidth, 595.0 / 72 * m.DpiX, 2);
    EXPECT_NEAR(m.PhysicalHeight, 842.0 / 72 * m.DpiY, 2);
    EXPECT_EQ(m.OffsetX, 0);
    EXPECT_EQ(m.OffsetY, 0);
    EXPECT_EQ(m.PageWidth, m.PhysicalWidth);
    EXPECT_EQ(m.PageHeight, m.PhysicalHeight);

    QtCanvas canvas;
    ApplyMeasures(canvas, m);
    EXPECT_EQ(canvas.GetDeviceCaps(PHYSICALWIDTH), m.PhysicalWidth);
    EXPECT_EQ(canvas.GetDeviceCaps(PHYSICALOFFSETY), m.OffsetY);
    EXPECT_EQ(canvas.GetDeviceCaps(HORZRES), m.PageWidth);
    EXPECT_EQ(canvas.GetDeviceCaps(VERTRES), m.PageHeight);
    EXPECT_EQ(canvas.GetDeviceCaps(LOGPIXELSY), m.DpiY);
}

TEST(Printer, SelectionIsReplaceable)
{
    App();
    const Printer before = SetSelectedPrinter(Printer::Pdf("/tmp/a.pdf"));
    EXPECT_EQ(SelectedPrinter().OutputFileName(), "/tmp/a.pdf");
    EXPECT_EQ(SetSelectedPrinter(before).OutputFileName(), "/tmp/a.pdf");
}

// Answers the dialog on screen once it is up.
template <typename Work>
void WhenDialogShows(Work work)
{
    QTimer::singleShot(0, [work] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        work(*dialog);
    });
}

TEST(Printer, PrintDialogOffersAllPagesOrARange)
{
    App();
    PrintDialogOptions options;
    options.PdfFileName = "/tmp/Velmoran.pdf";
    WhenDialogShows([](QDialog& dialog) {
        const auto radios = dialog.findChildren<QRadioButton*>();
        ASSERT_EQ(radios.size(), 2);
        EXPECT_TRUE(radios[0]->isChecked());
        radios[1]->setChecked(true);
        const auto spins = dialog.findChildren<QSpinBox*>();
        ASSERT_EQ(spins.size(), 2);
        EXPECT_EQ(spins[0]->maximum(), 9999);
        spins[0]->setValue(2);
        spins[1]->setValue(3);
        dialog.findChild<QLineEdit*>("PdfFile")->setText("/tmp/andere.pdf");
        dialog.accept();
    });
    const auto answer = RunPrintDialog(options);
    ASSERT_TRUE(answer);
    EXPECT_FALSE(answer->AllPages);
    EXPECT_EQ(answer->FromPage, 2);
    EXPECT_EQ(answer->ToPage, 3);
    EXPECT_EQ(answer->PdfFileName, "/tmp/andere.pdf");

    // All pages; a printer has no file field; cancel answers nothing.
    options.PdfFileName.reset();
    WhenDialogShows([](QDialog& dialog) {
        EXPECT_EQ(dialog.findChild<QLineEdit*>("PdfFile"), nullptr);
        dialog.accept();
    });
    const auto all = RunPrintDialog(options);
    ASSERT_TRUE(all);
    EXPECT_TRUE(all->AllPages);
    EXPECT_EQ(all->FromPage, 1);
    EXPECT_EQ(all->ToPage, 9999);
    WhenDialogShows([](QDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(RunPrintDialog(options));
}

// The PDF field is wide enough for a usual path and shows a longer one's end, so that the file
// name is whole; the tip holds the whole path.
TEST(Printer, ThePdfFieldShowsTheFileName)
{
    App();
    PrintDialogOptions options;
    options.PdfFileName = "/home/ing/Dokumente/Velmoran/Abwasserverband Oberes Tal/Kläranlage Nord/Ausbau "
                          "zweite Stufe/Winterfall/QD20000.pdf";
    WhenDialogShows([&](QDialog& dialog) {
        auto* file = dialog.findChild<QLineEdit*>("PdfFile");
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(file->cursorPosition(), file->text().size());
        EXPECT_GE(file->minimumWidth(), 400);
        EXPECT_EQ(file->toolTip().toStdString(), *options.PdfFileName);
        dialog.reject();
    });
    RunPrintDialog(options);

    options.PdfFileName = "/tmp/a.pdf";
    WhenDialogShows([](QDialog& dialog) {
        auto* file = dialog.findChild<QLineEdit*>("PdfFile");
        ASSERT_NE(file, nullptr);
        EXPECT_GE(file->width(), file->fontMetrics().horizontalAdvance(file->text()));
        dialog.reject();
    });
    RunPrintDialog(options);
}

TEST(Printer, ScriptedServiceAnswersThePrintDialog)
{
    App();
    ScriptedPromptService prompts;
    PrintDialogAnswer range;
    range.AllPages = false;
    range.FromPage = 2;
    range.ToPage = 2;
    prompts.AnswerPrint(range);
    PrintDialogOptions options;
    const auto answer = Prompts().PrintDialog(options);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->FromPage, 2);
    EXPECT_FALSE(Prompts().PrintDialog(options));
    EXPECT_EQ(prompts.PrintRequests().size(), 2u);
}

}  // namespace
}  // namespace velmoran
