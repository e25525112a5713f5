// The main window's preview of the print result on the real module, report engine and
// "Standard.vpt": the example previewed with as many pages as its print, shown two pages at fit
// page (build/artifacts/print/preview.png) and printed from the preview; a print template that
// fails shows its error and no preview; the status line while the preview is shown; and that
// nothing of the preview stays after it closed.
#include "tests/shell/CalculationFixture.h"

#include "html/preview/PreviewForm.h"
#include "html/viewer/MetaFilePrinter.h"
#include "platform/Action.h"
#include "platform/AppServices.h"
#include "platform/Printer.h"
#include "tests/html/viewer/PdfProbe.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPointer>
#include <QStatusBar>

#include <gtest/gtest.h>

#include <filesystem>

using namespace velmoran;
namespace fs = std::filesystem;

namespace {

class Preview : public velmoran::testing::CalculationFixture {
protected:
    Preview() : saved_(SetSelectedPrinter(Printer::Pdf(""))) {}
    ~Preview() override { SetSelectedPrinter(saved_); }

    TMainForm& Opened()
    {
        TMainForm& window = Form();
        window.OpenCalculationFile(Example());
        return window;
    }
    void AnswerPrint(const std::string& file)
    {
        PrintDialogAnswer answer;
        answer.AllPages = true;
        answer.PdfFileName = file;
        prompts.AnswerPrint(answer);
    }
    // Runs the preview command with the script on the preview window.
    void RunPreview(TMainForm& window, std::function<void(TPreviewForm&)> script)
    {
        modals.Expect([script](QWidget& shown) {
            auto* preview = dynamic_cast<TPreviewForm*>(&shown);
            ASSERT_NE(preview, nullptr);
            script(*preview);
        });
        window.FilePrintPreviewExecute();
    }
    static bool PreviewLeft()
    {
        for (QWidget* widget : QApplication::allWidgets())
            if (dynamic_cast<TPreviewForm*>(widget))
                return true;
        return false;
    }

    Printer saved_;
};

TEST_F(Preview, TheExampleShowsThePagesOfItsPrintTwoAtATimeAndPrintsFromThePreview)
{
    TMainForm& window = Opened();
    const std::string printed = files / "Beispiel.pdf";
    AnswerPrint(printed);
    window.FilePrintExecute();
    const int pages = test::PdfPageCount(printed);
    ASSERT_GE(pages, 2);

    const std::string fromPreview = files / "Vorschau.pdf";
    AnswerPrint(fromPreview);
    int recorded = 0;
    RunPreview(window, [&](TPreviewForm& preview) {
        recorded = preview.Recorder().PageCount();
        EXPECT_EQ(preview.windowTitle().toStdString(), "Druckvorschau");
        preview.showNormal();
        preview.resize(1200, 800);
        preview.PreviewTwoPages->Execute();
        preview.PreviewFitPage->Execute();
        QApplication::processEvents();
        EXPECT_TRUE(preview.PagePanel2->isVisible());
        const QImage picture = preview.grab().toImage();
        const QString dir = QStringLiteral(VELMORAN_ARTIFACTS "/print");
        QDir().mkpath(dir);
        EXPECT_TRUE(picture.save(dir + QStringLiteral("/preview.png")));

        // The print dialog proposes the calculation's PDF; the answer's file is written.
        preview.PreviewPrint->Execute();
        ASSERT_EQ(prompts.PrintRequests().size(), 2u);
        EXPECT_EQ(prompts.PrintRequests()[1].MaxPage, recorded);
        EXPECT_EQ(prompts.PrintRequests()[1].PdfFileName, shell.Folders.DataPath + "Beispiel.pdf");
        preview.PreviewClose->Execute();
    });
    EXPECT_EQ(recorded, pages);
    EXPECT_EQ(test::PdfPageCount(fromPreview), pages);
    EXPECT_NE(test::PdfToText(fromPreview, 2).find("Seite 2"), std::string::npos);
    EXPECT_TRUE(prompts.Messages().empty());
    EXPECT_FALSE(PreviewLeft());
}

TEST_F(Preview, AFailingPrintTemplateShowsItsErrorAndNoPreview)
{
    TMainForm& window = Opened();
    TMemoryStream& stream = shell.Templates.PrintTemplateStream();
    stream.Clear();
    stream.WriteString("<html><body>|QD#x|</body></html>\r\n");
    // No script: a preview window shown would fail the test.
    window.FilePrintPreviewExecute();
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0].Text, "'X' ist kein gültiger Integerwert");
    EXPECT_TRUE(modals.Shown().empty());
    EXPECT_FALSE(PreviewLeft());
}

TEST_F(Preview, TheStatusLineKeepsItsTextWhileThePreviewIsShownAndNothingOfItStays)
{
    TMainForm& window = Opened();
    AppServices::Instance().SetHint("Vorher");
    ASSERT_EQ(window.StatusBar->currentMessage().toStdString(), "Vorher");
    QPointer<QWidget> shown;
    RunPreview(window, [&](TPreviewForm& preview) {
        shown = &preview;
        EXPECT_EQ(preview.parentWidget(), &window);
        AppServices::Instance().SetHint("Druckvorschau schließen");
        EXPECT_EQ(window.StatusBar->currentMessage().toStdString(), "Vorher");
    });
    // The caller owned the window: it is gone, and its recorder with it.
    EXPECT_TRUE(shown.isNull());
    EXPECT_FALSE(PreviewLeft());
    AppServices::Instance().SetHint("Nachher");
    EXPECT_EQ(window.StatusBar->currentMessage().toStdString(), "Nachher");
    AppServices::Instance().SetHint("");
}

}  // namespace
