// The print result of the main window on the real module, report engine and "Standard.vpt":
// header and footer, printing through the dialog and progress window into a PDF, "FILEPRINT",
// export, and what happens when the build, the printer or the export file fails.
#include "tests/shell/CalculationFixture.h"

#include "framework/ui/MainDlg.h"
#include "html/viewer/PageViewer.h"
#include "platform/Printer.h"
#include "platform/RecordingCanvas.h"
#include "platform/TestFont.h"
#include "platform/core/CodePage.h"
#include "tests/html/viewer/PdfProbe.h"

#include <gtest/gtest.h>


#include <algorithm>
#include <filesystem>
#include <fstream>

using namespace velmoran;
using velmoran::testing::ExpandedPage;
namespace fs = std::filesystem;

namespace {

class Print : public velmoran::testing::CalculationFixture {
protected:
    Print() : saved_(SetSelectedPrinter(Printer::Pdf(""))) {}
    ~Print() override { SetSelectedPrinter(saved_); }

    static std::string Artifact(const std::string& name)
    {
        const std::string dir = std::string(VELMORAN_ARTIFACTS) + "/print";
        fs::create_directories(dir);
        fs::remove(dir + "/" + name);
        return dir + "/" + name;
    }
    TMainForm& Opened()
    {
        TMainForm& window = Form();
        window.OpenCalculationFile(Example());
        return window;
    }
    void AnswerPrint(const std::string& file, bool all = true, int from = 1, int to = 9999)
    {
        PrintDialogAnswer answer;
        answer.AllPages = all;
        answer.FromPage = from;
        answer.ToPage = to;
        answer.PdfFileName = file;
        prompts.AnswerPrint(answer);
    }
    // The first word of the report's body on a page: the topmost word below the header lines.
    static double BodyTop(const std::string& file, int page)
    {
        double top = 1e9;
        for (const test::PdfWord& w : test::PdfWords(file, page))
            if (w.YMin > 60 && w.YMin < 700)
                top = std::min(top, w.YMin);
        return top;
    }
    std::vector<std::string> ErrorTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& m : prompts.Messages())
            if (m.Type == MsgDlgType::Error)
                texts.push_back(m.Text);
        return texts;
    }
    // Replaces the print template by a text of its own.
    void UsePrintTemplate(const std::string& text)
    {
        TMemoryStream& stream = shell.Templates.PrintTemplateStream();
        stream.Clear();
        stream.WriteString(text);
    }

    Printer saved_;
};

TEST_F(Print, HeaderAndFooterCarryProjectEngineerPageFileAndVersion)
{
    TMainForm& window = Opened();
    const std::string project = Module().GetValueText("Projekt");
    const std::string engineer = Module().GetValueText("Bearbeiter");
    ASSERT_FALSE(project.empty());
    TestFontEngine fonts;
    RecordingCanvas canvas(fonts, 800, 1100);
    const int w = 700;
    bool stop = false;
    window.ReportViewerPrintHeader(canvas, 3, w, 60, stop);
    window.ReportViewerPrintFooter(canvas, 3, w, 60, stop);
    EXPECT_FALSE(stop);

    const std::vector<std::string> calls = canvas.Calls();
    ASSERT_EQ(calls.size(), 4u) << canvas.Text();
    EXPECT_EQ(calls[0], "TextOut 50,25 '" + project + "   bearbeitet von: " + engineer + "'");
    const int pageWidth = canvas.TextExtent(u"Seite 3").cx;
    EXPECT_EQ(calls[1], "TextOut " + std::to_string(w - 50 - pageWidth) + ",25 'Seite 3'");
    EXPECT_EQ(calls[2], "TextOut 50,40 'File: Beispiel.vda'");
    const int versionWidth = canvas.TextExtent(u"Velmoran Version 1.02").cx;
    EXPECT_EQ(calls[3], "TextOut " + std::to_string(w - 75 - versionWidth) + ",40 'Velmoran Version 1.02'");
    EXPECT_NE(canvas.Text().find("Font Arial -11"), std::string::npos) << canvas.Text();

    // A new calculation has no file name after "File: ".
    window.SetFileId("");
    canvas.Clear();
    window.ReportViewerPrintFooter(canvas, 1, w, 60, stop);
    EXPECT_EQ(canvas.Calls().front(), "TextOut 50,40 'File: '");
}

TEST_F(Print, TheExamplePrintsThroughTheDialogIntoAPdfWithHeaderAndFooterOnEveryPage)
{
    TMainForm& window = Opened();
    const std::string file = Artifact("Beispiel.pdf");
    AnswerPrint(file);
    window.FilePrintExecute();

    ASSERT_EQ(prompts.PrintRequests().size(), 1u);
    const PrintDialogOptions& asked = prompts.PrintRequests()[0];
    EXPECT_EQ(asked.MaxPage, 9999);
    EXPECT_TRUE(asked.PageNumbersSelectable);
    EXPECT_EQ(asked.PdfFileName, shell.Folders.DataPath + "Beispiel.pdf");
    EXPECT_TRUE(prompts.Messages().empty());
    EXPECT_FALSE(window.PrintRunning());

    const int pages = test::PdfPageCount(file);
    ASSERT_GE(pages, 2);
    const std::string project = Module().GetValueText("Projekt");
    const std::string engineer = Module().GetValueText("Bearbeiter");
    for (int page = 1; page <= pages; ++page) {
        const std::string text = test::PdfToText(file, page);
        EXPECT_NE(text.find(project), std::string::npos) << page;
        EXPECT_NE(text.find("bearbeitet von:"), std::string::npos) << page;
        EXPECT_NE(text.find(engineer), std::string::npos) << page;
        EXPECT_NE(text.find("Seite " + std::to_string(page)), std::string::npos) << page;
        EXPECT_NE(text.find("File: Beispiel.vda"), std::string::npos) << page;
        EXPECT_NE(text.find("Velmoran Version 1.02"), std::string::npos) << page;
    }

    // Page 2 alone: one sheet, its body where page 2 of the whole print has it.
    const std::string second = Artifact("Beispiel-Seite2.pdf");
    AnswerPrint(second, false, 2, 2);
    window.FilePrintExecute();
    ASSERT_EQ(test::PdfPageCount(second), 1);
    const std::string text = test::PdfToText(second, 1);
    EXPECT_NE(text.find("Seite 2"), std::string::npos);
    EXPECT_EQ(text.find("Seite 1"), std::string::npos);
    EXPECT_NEAR(BodyTop(second, 1), BodyTop(file, 2), 0.5);
}

TEST_F(Print, ANewCalculationProposesVelmoranPdfAndCancelPrintsNothing)
{
    TMainForm& window = Opened();
    window.SetFileId("");
    prompts.AnswerPrint(std::nullopt);
    window.FilePrintExecute();
    ASSERT_EQ(prompts.PrintRequests().size(), 1u);
    EXPECT_EQ(prompts.PrintRequests()[0].PdfFileName, shell.Folders.DataPath + "Velmoran.pdf");
    EXPECT_FALSE(fs::exists(shell.Folders.DataPath + "Velmoran.pdf"));
}

TEST_F(Print, FilePrintWritesThePresetPdfAndTheWindowTakesNoCommandOrCloseMeanwhile)
{
    TMainForm& window = Opened();
    int pagesSeen = 0;
    bool closed = true;
    window.ReportViewer->OnPageEvent = [&](TPageViewer*, int page, bool&) {
        // The run reports page 1 twice (before and after it); one look while it prints is enough.
        if (page != 1 || pagesSeen++ > 0)
            return;
        EXPECT_TRUE(window.PrintRunning());
        closed = window.close();
        window.Actions().FileExport->Execute();
        window.Actions().FilePrint->Execute();
        bool handled = false;
        window.HandleHotSpot("FILEPRINT", handled);
        EXPECT_TRUE(handled);
    };
    ASSERT_TRUE(window.ExecuteCommand("FILEPRINT"));
    EXPECT_EQ(pagesSeen, 2);
    EXPECT_FALSE(closed);
    EXPECT_TRUE(prompts.FileRequests().empty());
    EXPECT_TRUE(prompts.PrintRequests().empty());
    const std::string file = shell.Folders.DataPath + "Beispiel.pdf";
    // Printed without a dialog, the link says where the file went.
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0].Text, "Der Ausdruck wurde in die Datei „" + file + "“ geschrieben.");
    EXPECT_EQ(prompts.Messages()[0].Type, MsgDlgType::Information);
    EXPECT_FALSE(window.PrintRunning());

    ASSERT_GE(test::PdfPageCount(file), 2);
    EXPECT_NE(test::PdfToText(file, 2).find("Seite 2"), std::string::npos);
    // After the run the window closes again.
    EXPECT_TRUE(window.close());
}

TEST_F(Print, ExportWritesTheExpandedPrintTemplateOfTheLoadCaseShown)
{
    TMainForm& window = Opened();
    const std::string file = files / "Bericht.html";
    prompts.AnswerFile(file);
    window.FileExportExecute();
    ASSERT_EQ(prompts.FileRequests().size(), 1u);
    EXPECT_EQ(prompts.FileRequests()[0].Options.DefaultExt, "html");
    std::ifstream in(file, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written, ExpandedPage("Standard.vpt", Example()));

    // The print result uses the load case on screen.
    window.ExecuteCommand("SETINDEX +");
    ASSERT_EQ(window.LoadCase, 1);
    prompts.AnswerFile(file);
    window.FileExportExecute();
    std::ifstream again(file, std::ios::binary);
    const std::string second((std::istreambuf_iterator<char>(again)), std::istreambuf_iterator<char>());
    EXPECT_EQ(second, ExpandedPage("Standard.vpt", Example(), 1));
    EXPECT_NE(second, written);
    EXPECT_TRUE(prompts.Messages().empty());
}

TEST_F(Print, AFailedBuildShowsItsErrorAndNothingIsPrintedOrExported)
{
    TMainForm& window = Opened();
    // A good print first, so that the viewer holds a document that must not go out again.
    ASSERT_TRUE(window.ExecuteCommand("FILEPRINT"));
    const std::string preset = shell.Folders.DataPath + "Beispiel.pdf";
    ASSERT_TRUE(fs::exists(preset));
    fs::remove(preset);

    UsePrintTemplate("<html><body>|QD#x|</body></html>\r\n");
    // The report engine reads items in capitals.
    const std::string message = "'X' ist kein gültiger Integerwert";
    window.FilePrintExecute();
    EXPECT_TRUE(prompts.PrintRequests().empty());
    window.ExecuteCommand("FILEPRINT");
    EXPECT_FALSE(fs::exists(preset));

    const std::string file = files / "Bericht.html";
    prompts.AnswerFile(file);
    window.FileExportExecute();
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(ErrorTexts(), (std::vector<std::string>{message, message, message}));
}

TEST_F(Print, FailedPrintsAndExportsShowTheirErrorAndLeaveNoFile)
{
    TMainForm& window = Opened();
    const std::string pdf = files / "fehlt/Beispiel.pdf";
    AnswerPrint(pdf);
    window.FilePrintExecute();
    EXPECT_EQ(ErrorTexts(), (std::vector<std::string>{"Die Datei „" + pdf +
                                                      "“ konnte nicht geschrieben werden: Der Ordner existiert nicht."}));
    EXPECT_FALSE(fs::exists(pdf));

    const std::string html = files / "fehlt/Bericht.html";
    prompts.AnswerFile(html);
    window.FileExportExecute();
    ASSERT_EQ(prompts.Messages().size(), 2u);
    EXPECT_NE(prompts.Messages()[1].Text.find("konnte nicht gespeichert werden"), std::string::npos);
    EXPECT_FALSE(fs::exists(html));
    EXPECT_FALSE(fs::exists(files / "fehlt"));
}

}  // namespace
