// The desktop as a user meets it, through the window on the real design module: a cancelled new
// calculation or a failed open leaves nothing of the calculation before within reach; keys act
// only in their own window and an edit keeps its own keys; input that cannot be calculated keeps
// the input dialog open with every value typed; Qt's own texts are German; a PDF that cannot be
// written is named with the reason.
#include "tests/shell/CalculationFixture.h"

#include "framework/ui/EditFloat.h"
#include "hsg/ui/HsgDlg.h"
#include "platform/Printer.h"
#include "platform/core/Text.h"
#include "tests/hsg/ui/PageTexts.h"
#include "tests/support/DialogScript.h"
#include "toolbar/TBarFloatingWindow.h"
#include "toolbar/TBarItem.h"
#include "toolbar/TBarToolbar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

#include <filesystem>

using namespace velmoran;
using velmoran::testing::Dialog;
using velmoran::testing::TempFolder;
namespace fs = std::filesystem;

namespace {

// Shows dialogs modally as the program's runner does (a dialog's own loop makes it application
// modal), then hands them to the fixture's scripts.
class ModalScripts : public ModalRunner {
public:
    explicit ModalScripts(ModalRunner& scripts) : scripts_(scripts), previous_(SetModalRunner(this)) {}
    ~ModalScripts() override { SetModalRunner(previous_); }
    int Run(QDialog& dialog) override
    {
        dialog.setWindowModality(Qt::ApplicationModal);
        const int result = scripts_.Run(dialog);
        dialog.setWindowModality(Qt::NonModal);
        return result;
    }
    void Run(QWidget& window) override { scripts_.Run(window); }

private:
    ModalRunner& scripts_;
    ModalRunner* previous_;
};

// Every test of the suite runs on the same fixture type.
using UserRoad = velmoran::testing::CalculationFixture;

// A key as the user presses it on a widget.
void Press(QWidget& widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
{
    QTest::keyClick(&widget, key, modifiers);
}

// The file toolbar's button with that short hint.
TBarCustomItem* FileToolbarButton(TMainForm& window, const std::string& hint)
{
    TBarCustomItem& bar = *window.Bars().FileToolbar;
    for (int i = 0; i < bar.Count(); ++i)
        if (bar.Items(i)->Hint().starts_with(hint + "|"))
            return bar.Items(i);
    ADD_FAILURE() << "kein Knopf " << hint;
    return nullptr;
}

using velmoran::testing::PdfPrinter;

// What the calculation files hold, to see that nothing wrote them.
struct FilePair {
    std::string Common, Hsg;
    bool operator==(const FilePair&) const = default;
};

FilePair ReadPair(const fs::path& vda)
{
    return {TempFolder::Read(vda), TempFolder::Read(fs::path(vda).replace_extension(".vdh"))};
}

// A new calculation cancelled in its input dialog (and a file the module cannot read, opened
// then) leaves the module on its defaults: the window must not show the calculation before, nor save, print,
// export or edit anything through a command, a button, a link or a shortcut.
TEST_F(UserRoad, ACancelledNewOrAFailedOpenLeavesNothingStale)
{
    const PdfPrinter pdf;
    TMainForm& window = Form(Example());
    window.show();
    window.UpdateActions();
    ASSERT_TRUE(window.Actions().FileSave->Enabled());
    const FilePair before = ReadPair(Example());

    // A new calculation from a link, given up at the save question: the calculation stays, and
    // so does its page.
    Dialog(Module()).Module().SetModified(true);
    Dialog(Module()).Modified = true;
    prompts.Answer(mrCancel);
    bool handled = false;
    window.HandleHotSpot("FILENEW", handled);
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_TRUE(window.CalculationLoaded);
    EXPECT_FALSE(window.pcResult->isHidden());
    Dialog(Module()).Module().SetModified(false);
    Dialog(Module()).Modified = false;

    // Ctrl+N, then "Abbruch" in the input dialog.
    modals.Expect([](QWidget& dialog) { velmoran::testing::ClickControl(dialog, "BtnCancel"); });
    Press(window, Qt::Key_N);
    ASSERT_EQ(modals.Shown().size(), 1u);

    const auto nothingWithinReach = [&](const std::string& when) {
        SCOPED_TRACE(when);
        const std::size_t windows = modals.Shown().size();
        EXPECT_FALSE(window.CalculationLoaded);
        EXPECT_TRUE(window.pcResult->isHidden());
        EXPECT_EQ(window.pcResult->currentWidget(), window.tsResultHTM);
        EXPECT_EQ(Caption(), "Velmoran");
        EXPECT_EQ(shell.FileId, "");
        // At once, and after the idle update as well.
        for (int pass = 0; pass < 2; ++pass) {
            for (Action* action : window.Actions().EnabledByCalculation())
                EXPECT_FALSE(action->Enabled()) << action->objectName().toStdString();
            window.UpdateActions();
        }

        // Shortcut, buttons, commands and links: no dialog and no file of the calculation before.
        // The save button asks for a new file (given up here); the print button, the print command
        // and the print link say why nothing prints.
        const std::size_t asked = prompts.FileRequests().size();
        const std::size_t said = prompts.Messages().size();
        Press(window, Qt::Key_S);
        FileToolbarButton(window, "Speichern")->Click();
        FileToolbarButton(window, "Drucken")->Click();
        window.FileSaveAsExecute();
        window.FileExportExecute();
        window.FilePrintExecute();
        for (const char* link : {"EDITDLG 2", "FILEPRINT", "FILESAVE", "SETINDEX +"}) {
            bool handled = false;
            window.HandleHotSpot(link, handled);
            EXPECT_TRUE(handled) << link;
        }
        EXPECT_TRUE(window.ExecuteCommand("FILESAVE " + Example()));
        EXPECT_TRUE(window.ExecuteCommand("EDITDLG 1"));
        EXPECT_TRUE(window.ExecuteCommand("FILEPRINT"));
        ASSERT_EQ(prompts.FileRequests().size(), asked + 1);
        EXPECT_EQ(prompts.FileRequests().back().Options.Title, "Daten speichern");
        ASSERT_EQ(prompts.Messages().size(), said + 3);
        for (std::size_t i = said; i < said + 3; ++i)
            EXPECT_TRUE(Contains(prompts.Messages()[i].Text, "Es ist keine Berechnung geöffnet")) << i;
        EXPECT_TRUE(prompts.PrintRequests().empty());
        EXPECT_EQ(modals.Shown().size(), windows);
        EXPECT_EQ(ReadPair(Example()), before);
        EXPECT_FALSE(fs::exists(shell.Folders.DataPath + "Velmoran.pdf"));
    };
    nothingWithinReach("Neu, Abbruch");
    EXPECT_EQ(prompts.Messages().size(), 4u);

    // The toolbar's input-dialog button starts a new calculation then: confirmed, it is loaded and
    // shown again.
    modals.Expect([](QWidget& dialog) { velmoran::testing::ClickControl(dialog, "BtnOK"); });
    FileToolbarButton(window, "Eingabedialog")->Click();
    EXPECT_TRUE(window.CalculationLoaded);
    EXPECT_FALSE(window.pcResult->isHidden());
    window.UpdateActions();
    EXPECT_TRUE(window.Actions().FileSave->Enabled());

    // A file the module cannot read, opened after "Abbruch": nothing comes within reach, the
    // defaults the module holds are no calculation of the user's.
    modals.Expect([](QWidget& dialog) { velmoran::testing::ClickControl(dialog, "BtnCancel"); });
    Press(window, Qt::Key_N);
    ASSERT_FALSE(window.CalculationLoaded);
    const std::string broken = files.WriteFile("kaputt.vda", std::string(100, '\x01'));
    fs::copy_file(files / "Beispiel.vdh", files / "kaputt.vdh");
    window.OpenCalculationFile(broken);
    ASSERT_EQ(prompts.Messages().size(), 5u);
    EXPECT_TRUE(Contains(prompts.Messages().back().Text, "konnte nicht gelesen werden"));
    nothingWithinReach("Öffnen gescheitert");
    EXPECT_EQ(TempFolder::Read(broken), std::string(100, '\x01'));
}

// Before any calculation the toolbar's buttons still answer: "Speichern" saves through the save
// dialog (which asks before it writes over a file) while Ctrl+S, whose action is disabled, does
// nothing; the saved file opens as a calculation. "Druckvorschau" and "Drucken" say in German why
// nothing is shown or printed.
TEST_F(UserRoad, TheToolbarButtonsAnswerBeforeAnyCalculation)
{
    const PdfPrinter pdf;
    TMainForm& window = Form();
    window.show();
    window.UpdateActions();
    ASSERT_FALSE(window.CalculationLoaded);

    Press(window, Qt::Key_S);
    EXPECT_TRUE(prompts.FileRequests().empty());
    const std::string saved = files / "Neu.vda";
    prompts.AnswerFile(saved);
    FileToolbarButton(window, "Speichern")->Click();
    ASSERT_EQ(prompts.FileRequests().size(), 1u);
    EXPECT_TRUE(prompts.FileRequests()[0].Save);
    EXPECT_EQ(prompts.FileRequests()[0].Options.Title, "Daten speichern");
    EXPECT_TRUE(fs::exists(saved));
    EXPECT_TRUE(fs::exists(files / "Neu.vdh"));
    EXPECT_EQ(shell.FileId, saved);
    EXPECT_EQ(Caption(), "Velmoran - " + saved);

    const std::size_t windows = modals.Shown().size();
    FileToolbarButton(window, "Druckvorschau")->Click();
    FileToolbarButton(window, "Drucken")->Click();
    ASSERT_EQ(prompts.Messages().size(), 2u);
    const std::string advice = " werden könnten. Erstellen Sie eine neue Berechnung oder öffnen Sie eine vorhandene.";
    EXPECT_EQ(prompts.Messages()[0].Text,
              "Es ist keine Berechnung geöffnet, deren Ergebnisse in der Druckvorschau gezeigt" + advice);
    EXPECT_EQ(prompts.Messages()[1].Text, "Es ist keine Berechnung geöffnet, deren Ergebnisse gedruckt" + advice);
    EXPECT_EQ(prompts.Messages()[1].Type, MsgDlgType::Information);
    EXPECT_EQ(modals.Shown().size(), windows);
    EXPECT_TRUE(prompts.PrintRequests().empty());

    window.OpenCalculationFile(saved);
    EXPECT_TRUE(window.CalculationLoaded);
    EXPECT_EQ(prompts.Messages().size(), 2u);
}

// Ctrl+N inside the input dialog once reset the calculation under it, Ctrl+O opened a second open
// dialog and Ctrl+S saved in the background; and the main window's Ctrl+C took the key from the
// edit the user was copying from.
TEST_F(UserRoad, ShortcutsActOnlyInTheirOwnWindow)
{
    ModalScripts modal(modals);
    TMainForm& window = Form(Example());
    window.show();
    window.UpdateActions();
    fs::remove(Example());
    const std::string page = Page();

    modals.Expect([&](QWidget& dialog) {
        ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
        auto* edit = velmoran::testing::Control<TEditFloat>(dialog, "edQD");
        ASSERT_NE(edit, nullptr);
        edit->setFocus(Qt::MouseFocusReason);
        const QString typed = edit->text();
        for (Qt::Key key : {Qt::Key_N, Qt::Key_O, Qt::Key_S, Qt::Key_P}) {
            // Pressed in the dialog, and sent to the main window below it.
            Press(*edit, key);
            Press(window, key);
            Press(*velmoran::testing::Control(window, "ScreenViewer"), key);
        }
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(edit->text(), typed);

        // The edit's own keys reach the edit: copy, select all, Home, End, Del.
        QApplication::clipboard()->setText(QStringLiteral("vorher"));
        edit->selectAll();
        Press(*edit, Qt::Key_C);
        EXPECT_EQ(QApplication::clipboard()->text(), typed);
        edit->deselect();
        Press(*edit, Qt::Key_A);
        EXPECT_EQ(edit->selectedText(), typed);
        Press(*edit, Qt::Key_Home, Qt::NoModifier);
        EXPECT_EQ(edit->cursorPosition(), 0);
        Press(*edit, Qt::Key_Delete, Qt::NoModifier);
        EXPECT_EQ(edit->text(), typed.mid(1));
        Press(*edit, Qt::Key_End, Qt::NoModifier);
        EXPECT_EQ(edit->cursorPosition(), typed.size() - 1);
    });
    ASSERT_TRUE(window.ExecuteCommand("EDITDLG 2"));
    EXPECT_EQ(modals.Shown().size(), 1u);
    EXPECT_TRUE(prompts.FileRequests().empty());
    EXPECT_TRUE(prompts.PrintRequests().empty());
    EXPECT_TRUE(prompts.Messages().empty());
    EXPECT_FALSE(fs::exists(Example()));
    EXPECT_TRUE(window.CalculationLoaded);
    EXPECT_EQ(shell.FileId, Example());
    EXPECT_EQ(Page(), page);

    // In its own window the shortcut works.
    Press(window, Qt::Key_S);
    EXPECT_TRUE(fs::exists(Example()));

    // A bar floating in a window of its own still belongs to the main window: the floated menu
    // bar's shortcuts act there, and in the floating window.
    TBarToolbar& menuBar = *window.Bars().MenuBar;
    menuBar.SetFloating(true);
    ASSERT_NE(menuBar.FloatParent(), nullptr);
    fs::remove(Example());
    Press(window, Qt::Key_S);
    EXPECT_TRUE(fs::exists(Example()));
    fs::remove(Example());
    Press(*menuBar.FloatParent(), Qt::Key_S);
    EXPECT_TRUE(fs::exists(Example()));
    EXPECT_TRUE(prompts.FileRequests().empty());
}

// An inflow of 0 once made the design divide by nothing. OK once closed the dialog with the bare
// arithmetic error and every edit lost; it now keeps the dialog open on its page with what was
// typed, says once what is wrong, naming the field, and Cancel still leaves the records as they
// were.
TEST_F(UserRoad, AnImpossibleCalculationKeepsTheDialogAndEveryValue)
{
    TMainForm& window = Form(Example());
    THSGDlg& dialog = Dialog(Module());
    const TCommonRecord common = dialog.Module().CurrentCommon();
    const THSGRecord hsg = dialog.Module().CurrentHsg();
    const std::string page = Page();

    const auto emptyInflowAndOk = [&](QWidget& shown, const std::string& okCaption) {
        velmoran::testing::Enter(shown, "edCBSBzb", "333");
        velmoran::testing::Enter(shown, "edQD", "0");
        const int pageShown = dialog.PageControl1->ActivePageIndex();
        const std::size_t messages = prompts.Messages().size();
        EXPECT_EQ(dialog.DlgOK->Caption(), okCaption);
        velmoran::testing::ClickControl(shown, "BtnOK");

        EXPECT_TRUE(shown.isVisible());
        ASSERT_EQ(prompts.Messages().size(), messages + 1);
        const std::string& text = prompts.Messages().back().Text;
        EXPECT_TRUE(Contains(text, "keine Berechnung möglich")) << text;
        EXPECT_TRUE(Contains(text, "Der Zufluss Q_D")) << text;
        EXPECT_TRUE(Contains(text, "Seite „Belastung“")) << text;
        EXPECT_EQ(dialog.PageControl1->ActivePageIndex(), pageShown);
        EXPECT_EQ(velmoran::testing::Shown(shown, "edQD"), "0");
        EXPECT_EQ(velmoran::testing::Shown(shown, "edCBSBzb"), "333");
    };
    // Left open by the script: the user cancels.
    modals.Expect([&](QWidget& shown) { emptyInflowAndOk(shown, "&OK"); });
    EXPECT_TRUE(window.ExecuteCommand("EDITDLG 2"));
    EXPECT_TRUE(dialog.Module().CurrentCommon() == common);
    EXPECT_TRUE(dialog.Module().CurrentHsg() == hsg);
    EXPECT_FALSE(dialog.Modified);
    EXPECT_EQ(Page(), page);

    // The new-calculation road: a new calculation has no inflow; its last page's "Fertigstellen"
    // is refused the same way, and the name typed on the first page stays.
    modals.Expect([&](QWidget& shown) {
        velmoran::testing::TypeInto(shown, "edBez", "Anlage Nord");
        velmoran::testing::EnterPage(dialog, 6);
        const std::size_t messages = prompts.Messages().size();
        EXPECT_EQ(dialog.DlgOK->Caption(), "&Fertigstellen");
        velmoran::testing::ClickControl(shown, "BtnOK");
        EXPECT_TRUE(shown.isVisible());
        ASSERT_EQ(prompts.Messages().size(), messages + 1);
        EXPECT_TRUE(Contains(prompts.Messages().back().Text, "keine Berechnung möglich"));
        EXPECT_EQ(dialog.PageControl1->ActivePageIndex(), 5);
        EXPECT_EQ(velmoran::testing::ReadControl(shown, "edBez"), "Anlage Nord");
    });
    window.FileNewExecute();
    EXPECT_FALSE(window.CalculationLoaded);
    EXPECT_TRUE(dialog.Module().CurrentCommon() == dialog.Module().DefaultCommon());
    EXPECT_FALSE(dialog.Modified);
}

// Qt's own dialogs and buttons (file dialogs, the overwrite question, the edits' menu) speak the
// program's language once the application object exists.
TEST_F(UserRoad, QtsOwnTextsAreGerman)
{
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes").toStdString(), "&Ja");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel").toStdString(), "Abbrechen");
    QDialogButtonBox buttons(QDialogButtonBox::Yes | QDialogButtonBox::No | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::No)->text().toStdString(), "&Nein");
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text().toStdString(), "Abbrechen");
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Save As").toStdString(), "Speichern unter");
    EXPECT_EQ(QCoreApplication::translate("QLineEdit", "&Copy").toStdString(), "&Kopieren");
}

// A PDF whose folder cannot take it once reported an invalid printer; the user is now told which
// file could not be written and why, through the print dialog and from a link. (The tests run as
// root, who may write anywhere: a "folder" that is a file makes the write fail.)
TEST_F(UserRoad, APdfThatCannotBeWrittenIsNamedWithTheReason)
{
    const PdfPrinter pdf;
    TMainForm& window = Form(Example());
    const std::string notAFolder = files.WriteFile("Bericht", "kein Ordner");

    PrintDialogAnswer answer;
    answer.AllPages = true;
    answer.PdfFileName = notAFolder + "/Beispiel.pdf";
    prompts.AnswerPrint(answer);
    window.FilePrintExecute();
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0].Text, "Die Datei „" + answer.PdfFileName +
                                              "“ konnte nicht geschrieben werden: Ein Teil des Pfades ist kein Ordner.");
    EXPECT_EQ(prompts.Messages()[0].Type, MsgDlgType::Error);

    // From a link the file goes into the data folder: here a folder that does not exist.
    shell.Folders.SetDataPath(files / "fehlt");
    EXPECT_TRUE(window.ExecuteCommand("FILEPRINT"));
    ASSERT_EQ(prompts.Messages().size(), 2u);
    EXPECT_EQ(prompts.Messages()[1].Text, "Die Datei „" + (files / "fehlt/Beispiel.pdf") +
                                              "“ konnte nicht geschrieben werden: Der Ordner existiert nicht.");
    EXPECT_FALSE(fs::exists(files / "fehlt"));
    EXPECT_EQ(TempFolder::Read(notAFolder), "kein Ordner");

    // A file that can be written is printed as before, and the link says where it went.
    shell.Folders.SetDataPath(files.Folder());
    EXPECT_TRUE(window.ExecuteCommand("FILEPRINT"));
    ASSERT_EQ(prompts.Messages().size(), 3u);
    EXPECT_EQ(prompts.Messages()[2].Type, MsgDlgType::Information);
    EXPECT_TRUE(fs::exists(files / "Beispiel.pdf"));
}

}  // namespace
