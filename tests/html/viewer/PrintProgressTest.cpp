// Tests of the print-progress window: the status texts, Cancel and Esc between pages, an error of
// the run raised again after the window closed, and a viewer whose window goes during the run.
#include "tests/support/TempFolder.h"
#include "tests/support/TestApp.h"
#include "PdfProbe.h"

#include "html/viewer/MetaFilePrinter.h"
#include "html/viewer/PrnStatusForm.h"
#include "platform/Printer.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include "tests/html/viewer/PrintPagesText.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace velmoran {
namespace {

using testing::App;
using testing::TempFolder;

using test::Lines;

class PrintProgressTest : public ::testing::Test {
protected:
    PrintProgressTest() : saved_(SetSelectedPrinter(Printer::Pdf(folder_ / "status.pdf")))
    {
        App();
        viewer_.LoadDocumentString(Lines(120));
    }
    ~PrintProgressTest() override { SetSelectedPrinter(saved_); }
    std::string File() const { return folder_ / "status.pdf"; }

    TempFolder folder_;
    Printer saved_;
    TPageViewer viewer_;
    TPrnStatusForm form_;
};

TEST_F(PrintProgressTest, ShowsFormattingThenEachPage)
{
    viewer_.LoadDocumentString("Eine Seite");
    std::vector<std::string> shown;
    viewer_.OnPageEvent = [&](TPageViewer*, int, bool&) {
        shown.push_back(form_.StatusLabel()->text().toStdString());
        EXPECT_TRUE(form_.isVisible());
    };
    bool abort = true;
    form_.DoPrint(viewer_, 1, 99999, abort);
    EXPECT_FALSE(abort);
    EXPECT_EQ(shown, (std::vector<std::string>{"Formatieren", "Seite 1", "Seite 1"}));
    EXPECT_FALSE(form_.isVisible());
    EXPECT_EQ(form_.windowTitle().toStdString(), "Druckerstatus");
    EXPECT_EQ(form_.CancelButton()->text().toStdString(), "Abbruch");
    // The owner's handler is its own again.
    ASSERT_TRUE(viewer_.OnPageEvent);
}

TEST_F(PrintProgressTest, CancelWhileFormattingStopsAtTheNextCallback)
{
    std::vector<int> pages;
    viewer_.OnPageEvent = [&](TPageViewer*, int page, bool&) {
        pages.push_back(page);
        if (page == 0)
            form_.CancelButton()->click();
    };
    bool abort = false;
    form_.DoPrint(viewer_, 1, 99999, abort);
    EXPECT_TRUE(abort);
    EXPECT_EQ(pages, (std::vector<int>{0, 1}));
    // No page of the range was reached: the job was aborted and left no file.
    EXPECT_FALSE(QFile::exists(QString::fromStdString(File())));
}

TEST_F(PrintProgressTest, EscAndTheCloseButtonOnlyCancel)
{
    std::vector<int> pages;
    viewer_.OnPageEvent = [&](TPageViewer*, int page, bool&) {
        pages.push_back(page);
        if (page == 1 && pages.size() == 3) {
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&form_, &esc);
            QCloseEvent close;
            QApplication::sendEvent(&form_, &close);
            EXPECT_TRUE(form_.isVisible());
        }
    };
    bool abort = false;
    form_.DoPrint(viewer_, 1, 99999, abort);
    EXPECT_TRUE(abort);
    EXPECT_TRUE(form_.Canceled());
    EXPECT_EQ(pages, (std::vector<int>{0, 1, 1, 2}));
    // The page under way was finished and the job ended normally.
    EXPECT_EQ(test::PdfPageCount(File()), 2);
}

TEST_F(PrintProgressTest, ErrorOfTheRunIsRaisedAfterTheWindowClosed)
{
    viewer_.OnPageEvent = [&](TPageViewer*, int page, bool&) {
        if (page == 1)
            throw std::runtime_error("Druckfehler");
    };
    bool abort = false;
    EXPECT_THROW(form_.DoPrint(viewer_, 1, 99999, abort), std::runtime_error);
    EXPECT_FALSE(form_.isVisible());
    EXPECT_FALSE(QFile::exists(QString::fromStdString(File())));
}

// A page handler may delete the window with the viewer in it, during a print or a preview: the
// run ends there, the window closes, and nothing is given back to the viewer that went. A window
// deleted before the run began prints nothing and answers as cancelled.
TEST_F(PrintProgressTest, AViewerWhoseWindowGoesDuringTheRunIsLeftAlone)
{
    for (const bool preview : {false, true}) {
        auto* window = new QWidget;
        auto* viewer = new TPageViewer(window);
        viewer->LoadDocumentString(Lines(120));
        const QPointer<TPageViewer> watch(viewer);
        viewer->OnPageEvent = [window](TPageViewer*, int page, bool&) {
            if (page == 1)
                delete window;
        };
        bool abort = true;
        TMetaFilePrinter recorder;
        if (preview)
            form_.DoPreview(*viewer, recorder, abort);
        else
            form_.DoPrint(*viewer, 1, 99999, abort);
        EXPECT_TRUE(watch.isNull()) << preview;
        EXPECT_FALSE(abort) << preview;
        EXPECT_FALSE(form_.isVisible()) << preview;
        EXPECT_EQ(recorder.PageCount(), 0) << preview;
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(File())));

    auto* window = new QWidget;
    auto* viewer = new TPageViewer(window);
    QMetaObject::invokeMethod(qApp, [window] { delete window; }, Qt::QueuedConnection);
    bool abort = false;
    form_.DoPrint(*viewer, 1, 99999, abort);
    EXPECT_TRUE(abort);
    EXPECT_FALSE(form_.isVisible());
}

}  // namespace
}  // namespace velmoran
