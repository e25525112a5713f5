// The user's road through templates that cannot serve, help and the end of the program, on the
// real main window: a broken standard template at start, a frameset without a frame "Main" and a
// template far too large chosen later, the viewers' load errors in German, Shift+F1 in the
// "Was ist das?" menu, and Beenden while a help window is open.
#include "tests/shell/CalculationFixture.h"

#include "controls/EnhCombo.h"
#include "help/HelpViewerEngine.h"
#include "help/HelpWindow.h"
#include "help/WhatsThis.h"
#include "html/viewer/FrameViewer.h"
#include "html/viewer/PageViewer.h"
#include "platform/Application.h"
#include "platform/HelpEngine.h"
#include "platform/core/Text.h"
#include "shell/MainActions.h"
#include "shell/Settings.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <filesystem>
#include <fstream>

using namespace velmoran;

namespace {

namespace fs = std::filesystem;

using UserRoadTemplates = velmoran::testing::CalculationFixture;

// The module's template folder as the fixture lays it out.
fs::path ModuleTemplates(const TShellState& shell)
{
    return fs::path(shell.Folders.TemplatePath) / "de" / "HSG";
}

void WriteText(const fs::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

std::string Frameset(const std::string& head, const std::string& main, const std::string& mainName = "Main")
{
    return "<html><frameset rows=\"40,*\"><frame name=\"Kopf\" src=\"" + head + "\"><frame name=\"" + mainName +
           "\" src=\"" + main + "\"></frameset></html>";
}

// A file longer than templates may be, without writing its bytes.
void MakeOversized(const fs::path& file)
{
    WriteText(file, "<p>");
    fs::resize_file(file, std::uintmax_t{18} << 20);
}

std::string ShownScreenTemplate(const TMainForm& window)
{
    return window.cbxScreenTpl->currentText().toStdString();
}

void ChooseScreenTemplate(TMainForm& window, const std::string& name)
{
    const int index = window.cbxScreenTpl->findText(QString::fromStdString(name));
    ASSERT_GE(index, 0) << name;
    window.cbxScreenTpl->SetItemIndex(index);
    window.cbxScreenTplChange();
}

THelpViewerEngine& Engine()
{
    InstallHelpViewerEngine();
    return dynamic_cast<THelpViewerEngine&>(*CurrentHelpEngine());
}

// The topic file the help window shows, without its folder ("" when it shows nothing).
std::string ShownTopic()
{
    THelpWindow* help = Engine().Window();
    if (!help || !help->isVisible())
        return {};
    return fs::path(help->Viewer()->GetCurrentFile()).filename().string();
}

void HideHelp()
{
    if (THelpWindow* help = Engine().Window())
        help->hide();
}

}  // namespace

// A standard template that cannot be read whole (a frameset whose frame "Main" names a file that
// is gone; a print template larger than templates may be) stopped the program at every start.
// Now each is told in plain German, naming the file and the reason, and the next template of the
// list serves; with none left the result page stays empty and the program works on.
TEST_F(UserRoadTemplates, ABrokenStandardTemplateAtStartIsToldAndTheNextOneServes)
{
    const fs::path folder = ModuleTemplates(shell);
    fs::copy_file(folder / "Standard.vst", folder / "Kurz.vst");
    fs::copy_file(folder / "Standard.vpt", folder / "Einfach.vpt");
    WriteText(folder / "kopf.htm", "<p>Kopf</p>");
    WriteText(folder / "Standard.vst", Frameset("kopf.htm", "fehlt.htm"));
    MakeOversized(folder / "Standard.vpt");

    TMainForm& window = Form(Example());
    ASSERT_EQ(prompts.Messages().size(), 2u);
    const std::string screen = prompts.Messages()[0].Text;
    EXPECT_TRUE(Contains(screen, "Bildschirmvorlage")) << screen;
    EXPECT_TRUE(Contains(screen, "Standard.vst\xE2\x80\x9C kann nicht verwendet werden")) << screen;
    EXPECT_TRUE(Contains(screen, "fehlt.htm")) << screen;
    // Plain German about the template's frame (it once read "Ihr Frame", as if the user's).
    EXPECT_TRUE(Contains(screen, "Der Frame \xE2\x80\x9EMain\xE2\x80\x9C zeigt eine Datei")) << screen;
    EXPECT_TRUE(Contains(screen, "\xE2\x80\x9EKurz.vst\xE2\x80\x9C verwendet")) << screen;
    const std::string print = prompts.Messages()[1].Text;
    EXPECT_TRUE(Contains(print, "Druckvorlage")) << print;
    EXPECT_TRUE(Contains(print, "größer als 16 MB")) << print;
    EXPECT_TRUE(Contains(print, "\xE2\x80\x9E" "Einfach.vpt\xE2\x80\x9C verwendet")) << print;
    EXPECT_EQ(ShownScreenTemplate(window), "Kurz.vst");
    EXPECT_EQ(window.cbxPrintTpl->currentText().toStdString(), "Einfach.vpt");
    EXPECT_EQ(Page(), velmoran::testing::ExpandedPage("Standard.vst", Example()));

    // Nothing usable left: the next start says so, and the window works without a result page.
    fs::remove(folder / "Kurz.vst");
    fs::remove(folder / "Einfach.vpt");
    form.reset();
    TShellState restarted(Folders(), "de");
    TMainForm again(restarted, Example());
    ASSERT_EQ(prompts.Messages().size(), 4u);
    EXPECT_TRUE(Contains(prompts.Messages()[2].Text, "Eine andere verwendbare Bildschirmvorlage gibt es"));
    EXPECT_TRUE(Contains(prompts.Messages()[3].Text, "Eine andere verwendbare Druckvorlage gibt es"));
    EXPECT_EQ(ShownScreenTemplate(again), "");
    EXPECT_EQ(again.ScreenViewer->GetFrameCount(), 0);
    EXPECT_EQ(ResultDocumentSource(*again.ScreenViewer), "");
    EXPECT_TRUE(again.CalculationLoaded);
    again.ViewResultExecute();
    EXPECT_EQ(prompts.Messages().size(), 4u);
}

// A frameset without a frame "Main" showed no result and said nothing; a template larger than
// templates may be was refused with a message but shown anyway, its box naming the one before.
// Chosen in the box or through the file dialog, each is now told and the template before stays:
// in the box, in the viewer and on the result page.
TEST_F(UserRoadTemplates, ATemplateThatCannotServeIsRefusedAndTheOneBeforeStays)
{
    const fs::path folder = ModuleTemplates(shell);
    WriteText(folder / "kopf.htm", "<p>Kopf</p>");
    WriteText(folder / "inhalt.htm", "<p>Inhalt</p>");
    WriteText(folder / "Rahmen.vst", Frameset("kopf.htm", "inhalt.htm", "Inhalt"));
    MakeOversized(folder / "Riesig.vst");

    TMainForm& window = Form(Example());
    ASSERT_TRUE(prompts.Messages().empty());
    const std::string page = Page();
    ASSERT_FALSE(page.empty());
    const auto stays = [&](const std::string& reason) {
        ASSERT_FALSE(prompts.Messages().empty());
        const std::string told = prompts.Messages().back().Text;
        EXPECT_TRUE(Contains(told, reason)) << told;
        EXPECT_FALSE(Contains(told, "Can't")) << told;
        EXPECT_EQ(ShownScreenTemplate(window), "Standard.vst");
        EXPECT_EQ(fs::path(shell.Templates.ScreenTemplateName()).filename(), "Standard.vst");
        EXPECT_EQ(fs::path(window.ScreenViewer->GetCurrentFile()).filename(), "Standard.vst");
        EXPECT_EQ(Page(), page);
    };

    ChooseScreenTemplate(window, "Rahmen.vst");
    EXPECT_EQ(prompts.Messages().size(), 1u);
    stays("keiner davon heißt \xE2\x80\x9EMain\xE2\x80\x9C");
    ChooseScreenTemplate(window, "Riesig.vst");
    EXPECT_EQ(prompts.Messages().size(), 2u);
    stays("größer als 16 MB");
    prompts.AnswerFile((folder / "Riesig.vst").string());
    window.FileSetScreenTemplateExecute();
    EXPECT_EQ(prompts.Messages().size(), 3u);
    stays("größer als 16 MB");
    // A usable choice still works afterwards.
    fs::copy_file(folder / "Standard.vst", folder / "Kurz.vst");
    prompts.AnswerFile((folder / "Kurz.vst").string());
    window.FileSetScreenTemplateExecute();
    EXPECT_EQ(ShownScreenTemplate(window), "Kurz.vst");
    EXPECT_EQ(Page(), page);
}

// The viewers word their load errors in English. In the main window a frame whose page is gone
// says so in German, and a viewer's load error that reaches the user as a message is German too;
// once the window is gone the library's own wording is back.
TEST_F(UserRoadTemplates, TheViewersLoadErrorsReachTheUserInGerman)
{
    const fs::path folder = ModuleTemplates(shell);
    fs::copy_file(folder / "Standard.vst", folder / "ergebnis.htm");
    WriteText(folder / "Standard.vst", Frameset("kopf-fehlt.htm", "ergebnis.htm"));

    TMainForm& window = Form(Example());
    EXPECT_TRUE(prompts.Messages().empty());
    EXPECT_EQ(Page(), velmoran::testing::ExpandedPage("Standard.vst", Example()));
    TPageViewer* head = window.ScreenViewer->GetViewerFromName("Kopf");
    ASSERT_NE(head, nullptr);
    const std::string shown = head->DocumentSource();
    EXPECT_TRUE(Contains(shown, "kopf-fehlt.htm")) << shown;
    EXPECT_TRUE(Contains(shown, "konnte nicht geladen werden")) << shown;
    EXPECT_TRUE(Contains(shown, "alt=\"Fehler\"")) << shown;
    EXPECT_FALSE(Contains(shown, "Can't")) << shown;

    const std::string missing = (folder / "fehlt.htm").string();
    EXPECT_FALSE(RunGuarded([&] { window.IntroViewer->LoadDocumentFile(missing); }));
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0].Text, "Die Datei \xE2\x80\x9E" + missing + "\xE2\x80\x9C wurde nicht gefunden.");
    form.reset();
    TPageViewer viewer;
    EXPECT_FALSE(RunGuarded([&] { viewer.LoadDocumentFile(missing); }));
    EXPECT_TRUE(Contains(prompts.Messages().back().Text, "Can't locate file"));
}

// Right click, "Was ist das?", Shift+F1 in the open menu and a click on its item: the item's own
// page, the help cursor gone and the next click the program's own again. (The control's page came,
// and the "?" cursor stayed through clicks and Esc.)
TEST_F(UserRoadTemplates, ShiftF1InTheWhatIsThisMenuThenAClickShowsTheItemsPage)
{
    fs::copy(fs::path(VELMORAN_DATA_DIR) / "help", shell.Folders.HelpPath, fs::copy_options::recursive);
    HideHelp();
    TMainForm& window = Form(Example());
    window.show();
    velmoran::testing::Activate(window);
    QTest::mouseClick(window.StatusBar, Qt::RightButton, Qt::NoModifier, window.StatusBar->rect().center());
    QApplication::processEvents();
    QMenu* menu = window.WhatsThis->PopupMenu();
    ASSERT_TRUE(menu->isVisible());
    const QPoint item = menu->actionGeometry(menu->actions().at(0)).center();
    QTest::mouseMove(menu->windowHandle(), item);
    QApplication::processEvents();
    QTest::keyClick(menu->windowHandle(), Qt::Key_F1, Qt::ShiftModifier);
    ASSERT_TRUE(window.WhatsThis->InContextMode());
    QTest::mouseMove(menu->windowHandle(), item);
    QTest::mouseClick(menu->windowHandle(), Qt::LeftButton, Qt::NoModifier, item);
    QApplication::processEvents();

    EXPECT_FALSE(window.WhatsThis->InContextMode());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(ShownTopic(), "WasIstDas.htm");
    HideHelp();
    window.close();
}

// Beenden with a help window open (behind the main window, too) kept the program running until
// the help window was closed, and the settings were written only then. Now the program ends with
// its main window, the help window closes with it, and the settings are there for the next start.
TEST_F(UserRoadTemplates, BeendenWithAHelpWindowOpenEndsTheProgram)
{
    fs::copy(fs::path(VELMORAN_DATA_DIR) / "help", shell.Folders.HelpPath, fs::copy_options::recursive);
    Engine();
    TMainForm& window = Form(Example());
    window.show();
    velmoran::testing::Activate(window);
    window.HelpContents1Execute();
    THelpWindow* help = Engine().Window();
    ASSERT_NE(help, nullptr);
    ASSERT_TRUE(help->isVisible());
    velmoran::testing::Activate(window);  // the help window behind the main window

    // As the program block runs: the loop until the window closes, then the window goes.
    bool stuck = false;
    QTimer::singleShot(0, &window, [&] { window.Actions().FileExit->Execute(); });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        stuck = true;
        HideHelp();
        QApplication::quit();
    });
    watchdog.start(5000);
    QApplication::exec();
    watchdog.stop();
    EXPECT_FALSE(stuck);
    EXPECT_FALSE(help->isVisible());
    form.reset();
    const TWindowSettings settings = ReadWindowSettings();
    EXPECT_TRUE(settings.MainFormRect.has_value());
}
