// The window's commands that only a user reaches: the module commands behind the edit menu, the
// message anchors, the file and import dialogs, a new calculation from a link and the help menu
// (on the test module, which notes what it is sent); the status bar over links, copying by a right
// click, a frameset screen template, the print template box and the recent file kept at close (on
// the design module with the example calculation).
#include "tests/shell/CalculationFixture.h"
#include "tests/shell/TestModule.h"

#include "controls/EnhCombo.h"
#include "controls/HtmlLabel.h"
#include "html/viewer/FrameViewer.h"
#include "html/viewer/PageViewer.h"
#include "platform/AppServices.h"
#include "platform/Clipboard.h"
#include "platform/HelpEngine.h"
#include "shell/Modules.h"
#include "toolbar/TBarMRUList.h"

#include <gtest/gtest.h>

#include <QStackedWidget>
#include <QStatusBar>

#include <filesystem>
#include <fstream>

using namespace velmoran;
using velmoran::testing::TTestModule;

namespace fs = std::filesystem;

namespace {

using Texts = std::vector<std::string>;

class ShellCommands : public velmoran::testing::CalculationFixture {
protected:
    // The window with the test module registered beside the design module and chosen.
    TTestModule& WithTestModule()
    {
        Form();
        const std::string library = program / "Testmodul.so";
        fs::copy_file(VELMORAN_TEST_MODULE, library);
        EXPECT_TRUE(shell.Modules.RegisterModule(library));
        shell.Modules.SelectModule(1);
        auto& module = static_cast<TTestModule&>(*shell.Modules.ModuleDialog());
        module.Commands.clear();
        module.Arguments.clear();
        return module;
    }
};

TEST_F(ShellCommands, TheModuleIsSentWhatTheMenusAndLinksAsk)
{
    TTestModule& module = WithTestModule();

    // The extra dialog of the edit menu.
    form->EditExtraExecute();
    EXPECT_EQ(module.Commands, Texts{"EDITSPECIAL "});

    // A message anchor opens the input dialog at the control it names, in edit mode on page 1.
    module.Commands.clear();
    module.Arguments.clear();
    form->MsgAll->OnAnchorClick(nullptr, "VarQD");
    ASSERT_EQ(module.Commands, Texts{"EDIT VarQD"});
    EXPECT_EQ(module.Arguments[0].Mode, 1);
    EXPECT_EQ(module.Arguments[0].Page, 1);

    // "FILENEW 0": the module index is stored, the current module stays and starts a new calculation.
    module.Commands.clear();
    module.Arguments.clear();
    EXPECT_TRUE(form->ExecuteCommand("FILENEW 0"));
    EXPECT_EQ(shell.Modules.ModuleIndex, 0);
    EXPECT_EQ(shell.Modules.ModuleDialog(), &module);
    ASSERT_EQ(module.Commands, (Texts{"INITDATA " + program.Folder() + "Velmoran.vdt", "EDIT "}));
    EXPECT_EQ(module.Arguments[1].Mode, 0);
    EXPECT_EQ(module.Arguments[1].Page, 1);
    EXPECT_TRUE(form->CalculationLoaded);
}

TEST_F(ShellCommands, TheOpenAndImportDialogs)
{
    TTestModule& module = WithTestModule();

    prompts.AnswerFile(std::nullopt);
    form->FileOpenExecute();
    ASSERT_EQ(prompts.FileRequests().size(), 1u);
    const FileDialogOptions& open = prompts.FileRequests()[0].Options;
    EXPECT_FALSE(prompts.FileRequests()[0].Save);
    EXPECT_EQ(open.Title, "Datei öffnen");
    EXPECT_EQ(open.Filter, "Velmoran-Dateien (*.vda)|*.vda|Alle Dateien (*.*)|*.*");
    EXPECT_EQ(open.DefaultExt, "vda");
    EXPECT_EQ(open.InitialDir, shell.Folders.DataPathNoSlash);
    EXPECT_TRUE(module.Commands.empty());

    // The import reads the file and tells the module twice: once after the values, once after
    // the dialog.
    const std::string file = files.WriteFile("werte.csv", "Projekt;Kläranlage\r\n");
    prompts.AnswerFile(file);
    form->FileImportExecute();
    ASSERT_EQ(prompts.FileRequests().size(), 2u);
    const FileDialogOptions& import = prompts.FileRequests()[1].Options;
    EXPECT_EQ(import.Title, "Daten importieren");
    EXPECT_EQ(import.Filter, "CSV-Dateien (*.csv)|*.csv|Textdateien (*.txt)|*.txt|Alle Dateien (*.*)|*.*");
    EXPECT_EQ(import.DefaultExt, "csv");
    EXPECT_EQ(import.InitialDir, shell.Folders.DataPathNoSlash);
    EXPECT_EQ(module.Commands, (Texts{"SETTODATA ", "SETTODATA "}));
    EXPECT_EQ(module.Value("Projekt"), "Kläranlage");
    EXPECT_EQ(module.Value("Kennung"), "");
    // A file written on Windows holds Windows-1252.
    prompts.AnswerFile(files.WriteFile("windows.csv", "Kennung;Becken \xFC" "ber 2\r\n"));
    form->FileImportExecute();
    EXPECT_EQ(module.Value("Kennung"), "Becken über 2");
    EXPECT_EQ(module.Value("Projekt"), "Kläranlage");

    // A cancelled import dialog sends nothing.
    module.Commands.clear();
    prompts.AnswerFile(std::nullopt);
    form->FileImportExecute();
    EXPECT_TRUE(module.Commands.empty());
}

TEST_F(ShellCommands, HelpReachesTheRouterWithTheModulesHelpFile)
{
    WithTestModule();
    struct Request {
        std::string File;
        int Command;
        long long Data;
    };
    // The classic engine, which the router sends the module's help file to.
    class RecordingEngine : public HelpEngine {
    public:
        std::vector<Request> Requests;
        bool winHelp(QWidget*, const std::string& file, int command, std::int64_t data) override
        {
            Requests.push_back({file, command, data});
            return true;
        }
        bool htmlHelpAvailable() override { return false; }
        QWidget* htmlHelp(QWidget*, const std::string&, int, std::int64_t, const THHPopup*) override { return nullptr; }
    } engine;
    HelpEngine* const previous = SetHelpEngine(&engine);
    form->HelpContents1Execute();
    form->HelpTopicSearch1Execute();
    form->HelpOnHelp1Execute();
    SetHelpEngine(previous);
    const std::vector<Request>& requests = engine.Requests;

    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(shell.Modules.HelpFile(), shell.Folders.HelpPath + "VelmoranTESTMODUL.hlp");
    const int expected[] = {HELP_CONTENTS, HELP_CONTENTS, HELP_HELPONHELP};
    for (std::size_t i = 0; i < requests.size(); ++i) {
        EXPECT_EQ(requests[i].File, shell.Modules.HelpFile()) << i;
        EXPECT_EQ(requests[i].Command, expected[i]) << i;
        EXPECT_EQ(requests[i].Data, 0) << i;
    }
}

TEST_F(ShellCommands, TheStatusBarAndTheRightClickOnTheResultPage)
{
    TMainForm& window = Form(Example());
    window.resize(800, 600);

    // Only a URL with a scheme is shown.
    window.ScreenViewer->OnHotSpotTargetCovered(window.ScreenViewer, "", "http://www.example.org/");
    EXPECT_EQ(window.StatusBar->currentMessage(), "http://www.example.org/");
    window.ScreenViewer->OnHotSpotTargetCovered(window.ScreenViewer, "", "EDITDLG 3");
    EXPECT_EQ(window.StatusBar->currentMessage(), "");

    MemoryClipboard board;
    ScopedClipboard scoped(board);
    TPageViewer& frame = *window.ResultFrame();
    frame.resize(800, 600);
    frame.LoadDocumentString("<p>Belebungsbecken und Nachklärung</p>");
    frame.PanelMouseDown(Qt::LeftButton, Qt::NoModifier, 2, 12);
    frame.PanelMouseMove(Qt::LeftButton, Qt::NoModifier, 400, 12);
    frame.PanelMouseUp(Qt::LeftButton, Qt::NoModifier, 400, 12);
    ASSERT_FALSE(frame.SelText().empty());
    window.ScreenViewer->OnRightClick(&frame, {});
    EXPECT_EQ(board.Text(), frame.SelText());
}

TEST_F(ShellCommands, AFramesetTemplateIsRefreshedIntoItsMainFrame)
{
    TMainForm& window = Form(Example());
    window.resize(800, 600);
    const std::string folder = shell.Templates.TemplateFolder();
    std::ofstream(folder + "Rahmen.vst") << "<html><frameset rows=\"40,*\"><frame name=\"Kopf\" src=\"kopf.htm\">"
                                            "<frame name=\"Main\" src=\"ergebnis.htm\"></frameset></html>";
    std::ofstream(folder + "kopf.htm") << "<p>Kopf</p>";
    std::ofstream(folder + "ergebnis.htm") << "<p>|Projekt|</p>";
    shell.Templates.LoadScreenTemplate(folder + "Rahmen.vst");
    window.ViewResultExecute();

    TPageViewer* main = window.ScreenViewer->GetViewerFromName("Main");
    TPageViewer* head = window.ScreenViewer->GetViewerFromName("Kopf");
    ASSERT_TRUE(main && head);
    EXPECT_EQ(window.ResultFrame(), main);
    // The main frame shows the expanded template, the other frame its own page.
    EXPECT_EQ(main->DocumentSource().find("|Projekt|"), std::string::npos);
    EXPECT_EQ(main->DocumentSource().rfind("<p>", 0), 0u);
    EXPECT_EQ(head->DocumentSource(), "<p>Kopf</p>");
}

TEST_F(ShellCommands, ThePrintTemplateBoxLoadsTheChosenTemplate)
{
    std::ofstream(root.Folder() + "Vorlagen/de/HSG/Kurz.vpt") << "<p>kurz</p>";
    TMainForm& window = Form();
    const auto& items = shell.Templates.PrintTemplates().Items;
    const auto found = std::find(items.begin(), items.end(), "Kurz.vpt");
    ASSERT_NE(found, items.end());
    window.cbxPrintTpl->SetItemIndex(static_cast<int>(found - items.begin()));
    window.cbxPrintTplChange();
    EXPECT_EQ(fs::path(shell.Templates.PrintTemplateName()).filename(), "Kurz.vpt");
    EXPECT_EQ(shell.Templates.PrintTemplateStream().ToString(), "<p>kurz</p>");
    EXPECT_EQ(window.cbxPrintTpl->Text(), "Kurz.vpt");
}

TEST_F(ShellCommands, TheFileIsKeptAsRecentOnceWhenTheWindowCloses)
{
    TMainForm& window = Form(Example());
    window.show();
    Module().Modified = true;
    prompts.Answer(mrCancel);
    EXPECT_FALSE(window.close());
    prompts.Answer(mrNo);
    EXPECT_TRUE(window.close());
    EXPECT_EQ(window.MRUList->Items().Texts(), Texts{Example()});
}

}  // namespace
