// Tests of the viewer's printer job: its texts and states, the title given to the spooler, pages
// of a PDF job, an aborted job and an unusable printer.
#include "tests/support/TempFolder.h"
#include "tests/support/TestApp.h"
#include "PdfProbe.h"

#include "html/viewer/PrinterJob.h"
#include "platform/Printer.h"

#include <QFile>
#include <QPrinter>

#include <gtest/gtest.h>

namespace velmoran {
namespace {

using testing::App;
using testing::TempFolder;

// Selects the PDF printer into a file for one test.
class PrinterJobTest : public ::testing::Test {
protected:
    PrinterJobTest() : saved_(SetSelectedPrinter(Printer::Pdf(folder_ / "job.pdf"))) { App(); }
    ~PrinterJobTest() override { SetSelectedPrinter(saved_); }
    std::string File() const { return folder_ / "job.pdf"; }
    static bool Exists(const std::string& file) { return QFile::exists(QString::fromStdString(file)); }

    TempFolder folder_;
    Printer saved_;
};

template <typename Work>
std::string ErrorOf(Work work)
{
    try {
        work();
    } catch (const EPrinter& e) {
        return e.Message();
    }
    return {};
}

TEST_F(PrinterJobTest, JobChecksGiveTheirTexts)
{
    TvwPrinter job;
    EXPECT_EQ(ErrorOf([&] { job.EndDoc(); }), "Der Drucker ist nicht am Drucken");
    EXPECT_EQ(ErrorOf([&] { job.NewPage(); }), "Der Drucker ist nicht am Drucken");
    EXPECT_EQ(ErrorOf([&] { job.Abort(); }), "Der Drucker ist nicht am Drucken");
    // Drawing on the canvas outside a job.
    EXPECT_EQ(ErrorOf([&] { job.Canvas().FillRect({0, 0, 10, 10}, 0); }), "Der Drucker ist nicht am Drucken");
    job.BeginDoc();
    EXPECT_EQ(ErrorOf([&] { job.BeginDoc(); }), "Das Drucken ist im Gang");
    EXPECT_EQ(ErrorOf([&] { job.SetState(TvwPrinter::TState::NoHandle); }), "Das Drucken ist im Gang");
    job.EndDoc();
}

TEST_F(PrinterJobTest, TitleIsCutTo31Characters)
{
    EXPECT_EQ(SpoolerTitle(std::string(40, 'x')), std::string(31, 'x'));
    EXPECT_EQ(SpoolerTitle("Kläranlage"), "Kläranlage");
    TvwPrinter job;
    job.Title = "Bemessung der Belebungsanlage Nord, Stufe 2";
    job.BeginDoc();
    EXPECT_EQ(job.DocumentName(), "Bemessung der Belebungsanlage N");
    EXPECT_EQ(job.JobPrinter()->docName().toStdString(), "Bemessung der Belebungsanlage N");
    job.EndDoc();
}

TEST_F(PrinterJobTest, MeasuringMakesAnInformationContextThatBeginDocReplaces)
{
    TvwPrinter job;
    EXPECT_EQ(job.State(), TvwPrinter::TState::NoHandle);
    const int width = job.PageWidth();
    EXPECT_EQ(job.State(), TvwPrinter::TState::Info);
    EXPECT_FALSE(Exists(File()));
    // A4 (595 points wide) at the PDF printer's resolution: the PDF has no unprintable edge.
    EXPECT_NEAR(width, 595.0 / 72 * job.Canvas().GetDeviceCaps(LOGPIXELSX), 2);
    EXPECT_GT(job.PageHeight(), width);
    job.BeginDoc();
    EXPECT_EQ(job.State(), TvwPrinter::TState::Device);
    EXPECT_EQ(job.PageNumber(), 1);
    job.EndDoc();
    EXPECT_EQ(job.PageNumber(), 0);
}

TEST_F(PrinterJobTest, PagesOfAJobAndTwoJobsOnOneObject)
{
    TvwPrinter job;
    job.BeginDoc();
    job.Canvas().FillRect({100, 100, 400, 400}, 0x000000);
    job.NewPage();
    EXPECT_EQ(job.PageNumber(), 2);
    job.Canvas().FillRect({100, 100, 400, 400}, 0x0000FF);
    job.EndDoc();
    EXPECT_FALSE(job.Printing());
    EXPECT_EQ(test::PdfPageCount(File()), 2);

    // The second job keeps the device context of the first and writes the file anew.
    QPrinter* printer = job.JobPrinter();
    job.BeginDoc();
    EXPECT_EQ(job.JobPrinter(), printer);
    job.Canvas().FillRect({0, 0, 10, 10}, 0);
    job.EndDoc();
    EXPECT_EQ(test::PdfPageCount(File()), 1);
}

TEST_F(PrinterJobTest, AbortLeavesNoFile)
{
    TvwPrinter job;
    job.BeginDoc();
    job.Canvas().FillRect({100, 100, 400, 400}, 0);
    job.NewPage();
    job.Abort();
    EXPECT_FALSE(job.Printing());
    EXPECT_FALSE(job.Aborted());
    EXPECT_FALSE(Exists(File()));
}

TEST_F(PrinterJobTest, UnwritablePathIsAnInvalidPrinter)
{
    SetSelectedPrinter(Printer::Pdf(folder_ / "kein-ordner/job.pdf"));
    TvwPrinter job;
    EXPECT_EQ(ErrorOf([&] { job.BeginDoc(); }), "Ausgewählter Drucker ist ungültig");
    EXPECT_FALSE(job.Printing());
    SetSelectedPrinter(Printer::Pdf(""));
    TvwPrinter unnamed;
    EXPECT_EQ(ErrorOf([&] { unnamed.BeginDoc(); }), "Ausgewählter Drucker ist ungültig");
}

TEST_F(PrinterJobTest, GlobalJobPrinterIsReplaceable)
{
    TvwPrinter& first = vwPrinter();
    EXPECT_EQ(&vwPrinter(), &first);
    TvwPrinter own;
    EXPECT_EQ(SetPrinter(&own), &first);
    EXPECT_EQ(&vwPrinter(), &own);
    EXPECT_EQ(SetPrinter(&first), &own);
}

}  // namespace
}  // namespace velmoran
