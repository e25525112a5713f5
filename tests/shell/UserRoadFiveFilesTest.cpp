// Files, prints and messages as a user meets them, fifth round, on the real design module and the
// example calculation: nothing the user has is changed unasked. A print or an export never writes
// over a calculation, nor over a PDF without a question; an opening that fails keeps the
// calculation in hand; an empty date prints empty; a page range that holds no page, a file on the
// command line that is no calculation, a long name and an entry in place of a lock file are said
// whole; the parameter dialog's menu
// is German, and Escape leaves the print preview.
#include "tests/shell/CalculationFixture.h"
#include "tests/html/viewer/PdfProbe.h"
#include "tests/support/DialogScript.h"

#include "framework/CommonRecord.h"
#include "framework/ui/EditFloat.h"
#include "help/WhatsThis.h"
#include "hsg/ui/HsgPar.h"
#include "html/preview/PreviewForm.h"
#include "platform/Prompt.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/SaveLock.h"
#include "platform/core/Text.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>

using namespace velmoran;
using velmoran::testing::Activate;
using velmoran::testing::Dialog;
using velmoran::testing::TempFolder;
namespace fs = std::filesystem;

namespace {

using UserRoadFive = velmoran::testing::CalculationFixture;

// Hands the modal window that `run` opens to `step`, once it is shown.
void SafeWithModal(const std::function<void(QWidget&)>& step, const std::function<void()>& run)
{
    bool done = false;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* shown = QApplication::activeModalWidget();
        if (done || !shown || !shown->isVisible())
            return;
        done = true;
        // Outside the timer's call, so that a step that opens a window does not stop the polling.
        QTimer::singleShot(0, shown, [&step, shown] { step(*shown); });
    });
    timer.start();
    run();
    timer.stop();
}

// A right press and release on the middle of a control, as the mouse gives them.
void SafeRightClick(QWidget& control)
{
    const QPoint at = control.rect().center();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), QPointF(control.mapToGlobal(at)), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(&control, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), QPointF(control.mapToGlobal(at)), Qt::RightButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&control, &release);
    QApplication::processEvents();
}

PrintDialogAnswer SafePdfAnswer(const std::string& file)
{
    PrintDialogAnswer answer;
    answer.AllPages = true;
    answer.PdfFileName = file;
    return answer;
}

}  // namespace

// "Drucken" with the PDF file set to the open calculation turned it into a PDF, "Exportieren" onto
// it into HTML: the pair no longer opened, and closing the window lost it. Every calculation name
// (any case, the module file too, from the preview as well) is refused now, naming it, and the
// calculation opens as before; a PDF that is there is written over only after a question; and a
// "FILEPRINT" link, which shows no dialog, says where the PDF went.
TEST_F(UserRoadFive, PrintAndExportNeverWriteOverACalculation)
{
    const velmoran::testing::PdfPrinter pdf;
    TMainForm& window = Form(Example());
    const std::string calculation = TempFolder::Read(Example());
    const std::string moduleFile = TempFolder::Read(files / "Beispiel.vdh");
    const std::string upperCase = files / "KOPIE.VDA";
    for (const std::string& name : {Example(), files / "Beispiel.vdh", upperCase}) {
        SCOPED_TRACE(name);
        const std::size_t said = prompts.Messages().size();
        prompts.AnswerPrint(SafePdfAnswer(name));
        window.FilePrintExecute();
        ASSERT_EQ(prompts.Messages().size(), said + 1);
        EXPECT_EQ(prompts.Messages().back().Type, MsgDlgType::Error);
        EXPECT_TRUE(StartsWith(prompts.Messages().back().Text, Quoted(name) + " ist ")) << prompts.Messages().back().Text;
        EXPECT_TRUE(Contains(prompts.Messages().back().Text, "Es wurde nichts gedruckt."));

        prompts.AnswerFile(name);
        window.FileExportExecute();
        ASSERT_EQ(prompts.Messages().size(), said + 2);
        EXPECT_EQ(prompts.Messages().back().Type, MsgDlgType::Error);
        EXPECT_TRUE(StartsWith(prompts.Messages().back().Text, Quoted(name) + " ist ")) << prompts.Messages().back().Text;
        EXPECT_TRUE(Contains(prompts.Messages().back().Text, "nicht dorthin exportiert"));
    }
    // The preview's own print is held to the same.
    prompts.AnswerPrint(SafePdfAnswer(Example()));
    modals.Expect([](QWidget& shown) { dynamic_cast<TPreviewForm&>(shown).PreviewPrint->Execute(); });
    window.FilePrintPreviewExecute();
    ASSERT_EQ(prompts.Messages().size(), 7u);
    EXPECT_TRUE(StartsWith(prompts.Messages().back().Text, Quoted(Example()) + " ist die Datei der geöffneten Berechnung"));
    EXPECT_EQ(TempFolder::Read(Example()), calculation);
    EXPECT_EQ(TempFolder::Read(files / "Beispiel.vdh"), moduleFile);
    EXPECT_FALSE(fs::exists(upperCase));
    window.OpenCalculationFile(Example());
    EXPECT_EQ(prompts.Messages().size(), 7u);

    // A PDF that is there: asked, and kept on "Nein".
    const std::string report = files.WriteFile("Bericht.pdf", "alt");
    for (const int choice : {int(mrNo), int(mrYes)}) {
        prompts.AnswerPrint(SafePdfAnswer(report));
        prompts.Answer(choice);
        window.FilePrintExecute();
        EXPECT_EQ(prompts.Messages().back().Text,
                  "Die Datei „" + report + "“ ist bereits vorhanden.\nSoll sie mit dem Ausdruck überschrieben werden?");
        EXPECT_EQ(prompts.Messages().back().Buttons, unsigned(mbYes | mbNo));
        EXPECT_EQ(TempFolder::Read(report).substr(0, 4), choice == mrNo ? "alt" : "%PDF");
    }

    // From a link: the file is named once written; one that is there is asked about first.
    const std::string linked = shell.Folders.DataPath + "Beispiel.pdf";
    const std::size_t beforeLink = prompts.Messages().size();
    ASSERT_TRUE(window.ExecuteCommand("FILEPRINT"));
    ASSERT_EQ(prompts.Messages().size(), beforeLink + 1);
    EXPECT_EQ(prompts.Messages().back().Text, "Der Ausdruck wurde in die Datei „" + linked + "“ geschrieben.");
    EXPECT_EQ(prompts.Messages().back().Type, MsgDlgType::Information);
    EXPECT_GE(test::PdfPageCount(linked), 2);
    std::ofstream(linked, std::ios::binary) << "alt";
    prompts.Answer(mrNo);
    ASSERT_TRUE(window.ExecuteCommand("FILEPRINT"));
    ASSERT_EQ(prompts.Messages().size(), beforeLink + 2);
    EXPECT_EQ(prompts.Messages().back().Type, MsgDlgType::Warning);
    EXPECT_TRUE(TempFolder::Read(linked) == "alt");

    // The export's dialog refuses a calculation while it is still open, before it asks whether
    // to replace the file; "Speichern unter" refuses its wrong names there too.
    prompts.AnswerFile(std::nullopt);
    window.FileExportExecute();
    const auto& exportRefusal = prompts.FileRequests().back().Options.Refusal;
    ASSERT_TRUE(exportRefusal);
    EXPECT_TRUE(exportRefusal(files / "Beispiel.vdh"));
    EXPECT_FALSE(exportRefusal(files / "Bericht.html"));
    prompts.AnswerFile(std::nullopt);
    window.FileSaveAsExecute();
    const auto& saveRefusal = prompts.FileRequests().back().Options.Refusal;
    ASSERT_TRUE(saveRefusal);
    EXPECT_TRUE(saveRefusal(files / "Bericht.txt"));
    EXPECT_FALSE(saveRefusal(files / "Neu.vda"));

    // A PDF name that is a link to a calculation already ends in ".pdf": the user is told where it
    // leads and asked for another name, not for the ending it has.
    // One leads to the open file through "..", one to its module file, one to a name no file has.
    fs::create_directory(files / "unter");
    fs::create_symlink("../Beispiel.vda", files / "unter/offen.pdf");
    fs::create_symlink(files / "Beispiel.vdh", files / "modul.pdf");
    fs::create_symlink(upperCase, files / "kopie.pdf");
    for (const std::string& name : {files / "unter/offen.pdf", files / "modul.pdf", files / "kopie.pdf"}) {
        prompts.AnswerPrint(SafePdfAnswer(name));
        window.FilePrintExecute();
        const std::string& said = prompts.Messages().back().Text;
        EXPECT_TRUE(Contains(said, "Wählen Sie einen anderen Namen.")) << said;
        EXPECT_FALSE(Contains(said, "Endung")) << said;
        const std::string leadsTo =
            name == files / "kopie.pdf"
                ? " verweist auf den Namen einer Velmoran-Berechnung " + Quoted(upperCase)
                : " verweist auf die geöffnete Berechnung " +
                      Quoted(name == files / "modul.pdf" ? files / "Beispiel.vdh" : Example());
        EXPECT_TRUE(StartsWith(said, Quoted(name) + leadsTo)) << said;
    }
    EXPECT_EQ(TempFolder::Read(Example()), calculation);
}

// Opening a file whose lock another save held had already put a fresh calculation in place of the
// one in hand: an empty window, the changes gone. An opening that fails for any reason (busy, no
// calculation, a module file that cannot be read) now leaves the calculation, its page, its name
// and its modified flag as they were, and saving it still goes to its own file without a question.
TEST_F(UserRoadFive, AnOpeningThatFailsKeepsTheCalculationInHand)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    prompts.AnswerFile(files.WriteFile("projekt.csv", "Projekt;Kläranlage Süd\n"));
    window.FileImportExecute();
    ASSERT_TRUE(Module().Modified);
    const std::string page = Page();
    ASSERT_TRUE(Contains(page, "Kl\xE4ranlage S\xFC" "d"));

    for (const char* file : {"Besetzt.vda", "Ordner.vda"})
        fs::copy_file(Example(), files / file);
    fs::copy_file(files / "Beispiel.vdh", files / "Besetzt.vdh");
    fs::create_directory(files / "Ordner.vdh");
    const std::string note = files.WriteFile("Notiz.txt", "Einkaufsliste");
    {
        const ScopedFileSystemCalls noWaiting({.Wait = [](int) {}});
        const SaveLock::Attempt otherSave = SaveLock::Take(files / "Besetzt.vda.~lock");
        ASSERT_TRUE(otherSave.Lock);
        for (const std::string& name : {files / "Besetzt.vda", files / "Ordner.vda", note}) {
            SCOPED_TRACE(name);
            const std::size_t said = prompts.Messages().size();
            window.OpenCalculationFile(name);
            ASSERT_EQ(prompts.Messages().size(), said + 1);
            EXPECT_EQ(prompts.Messages().back().Type, MsgDlgType::Error);
            EXPECT_TRUE(window.CalculationLoaded);
            EXPECT_EQ(shell.FileId, Example());
            EXPECT_EQ(Caption(), "Velmoran - " + Example());
            EXPECT_TRUE(Module().Modified);
            EXPECT_EQ(Module().GetValueText("Projekt"), "Kläranlage Süd");
            EXPECT_EQ(Page(), page);
        }
    }
    const std::size_t said = prompts.Messages().size();
    window.FileSaveExecute();
    EXPECT_EQ(prompts.Messages().size(), said);
    EXPECT_FALSE(Module().Modified);
    window.OpenCalculationFile(Example());
    EXPECT_EQ(Module().GetValueText("Projekt"), "Kläranlage Süd");
}

// A pipe (a link, a folder) in place of a calculation's lock file was said only in the status line
// of an opening, cut at the window's width and gone at the next hint, and a save said nothing. It
// is now said whole in a box, once per file and program run, by the opening or the first save,
// whichever comes first; the status line keeps a short note.
TEST_F(UserRoadFive, AnEntryInPlaceOfTheLockIsSaidOnceAndWhole)
{
    ASSERT_EQ(::mkfifo((files / "Beispiel.vda.~lock").c_str(), 0644), 0);
    TMainForm& window = Form();
    window.OpenCalculationFile(Example());
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0].Type, MsgDlgType::Warning);
    EXPECT_TRUE(prompts.Messages()[0].Text.starts_with("An der Stelle der Sperrdatei " +
                                                       Quoted(files / "Beispiel.vda.~lock")));
    EXPECT_EQ(window.StatusBar->currentMessage().toStdString(),
              "Ohne Sperre gelesen: Andere werden von dieser Berechnung nicht ferngehalten.");
    window.OpenCalculationFile(Example());
    window.FileSaveExecute();
    EXPECT_EQ(prompts.Messages().size(), 1u);

    ASSERT_EQ(::mkfifo((files / "Kopie.vda.~lock").c_str(), 0644), 0);
    prompts.AnswerFile(files / "Kopie.vda");
    window.FileSaveAsExecute();
    ASSERT_EQ(prompts.Messages().size(), 2u);
    EXPECT_TRUE(prompts.Messages()[1].Text.starts_with("An der Stelle der Sperrdatei " +
                                                       Quoted(files / "Kopie.vda.~lock")));
    window.OpenCalculationFile(files / "Kopie.vda");
    EXPECT_EQ(prompts.Messages().size(), 2u);
}

// A calculation without a date showed "30.12.1899" on its page, in its export and on paper: a date
// nobody entered shows empty now.
TEST_F(UserRoadFive, AnEmptyDateShowsEmptyOnThePageAndInPrint)
{
    const velmoran::testing::PdfPrinter pdf;
    const std::string undated = files / "OhneDatum.vda";
    {
        THsgModule module;
        module.SetModuleTemplateFolder(std::string(VELMORAN_DATA_DIR) + "/templates/de/HSG/");
        module.ResetToDefaults();
        ASSERT_TRUE(module.ReadCalculationFile(Example()));
        module.CurrentCommon().SetDouble(common::kDatum, 0);
        ASSERT_TRUE(module.WriteCalculationFile(undated));
    }
    TMainForm& window = Form(undated);
    EXPECT_TRUE(Contains(Page(), "Berechnungsdatum </td>"));
    EXPECT_FALSE(Contains(Page(), "1899"));

    const std::string exported = files / "OhneDatum.html";
    prompts.AnswerFile(exported);
    window.FileExportExecute();
    EXPECT_TRUE(Contains(TempFolder::Read(exported), "Berechnungsdatum </td>"));
    EXPECT_FALSE(Contains(TempFolder::Read(exported), "1899"));

    const std::string printed = files / "OhneDatum.pdf";
    prompts.AnswerPrint(SafePdfAnswer(printed));
    window.FilePrintExecute();
    const std::string firstPage = test::PdfToText(printed, 1);
    EXPECT_TRUE(Contains(firstPage, "Berechnungsdatum")) << firstPage;
    EXPECT_FALSE(Contains(firstPage, "1899"));
    EXPECT_TRUE(prompts.Messages().empty());
}

// "Seiten von 2 bis 1" printed page 2 without a word, and a file on the command line that is no
// calculation was "Die gewählte Datei" with no name, before anything named it. The range is
// refused where it was typed (the dialog stays open) and where it arrives; the file is named.
TEST_F(UserRoadFive, ARangeWithoutPagesAndAFileThatIsNoCalculationAreSaid)
{
    const velmoran::testing::PdfPrinter pdf;
    const std::string note = files.WriteFile("Notiz.txt", "Einkaufsliste");
    TMainForm& window = Form(note);
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0].Text, "Die Datei „" + note + "“ ist keine Velmoran-Datei.");
    EXPECT_EQ(prompts.Messages()[0].Type, MsgDlgType::Error);

    window.OpenCalculationFile(Example());
    const std::string file = files / "Bereich.pdf";
    PrintDialogAnswer backwards = SafePdfAnswer(file);
    backwards.AllPages = false;
    backwards.FromPage = 2;
    backwards.ToPage = 1;
    prompts.AnswerPrint(backwards);
    window.FilePrintExecute();
    ASSERT_EQ(prompts.Messages().size(), 2u);
    const std::string refusal =
        "Der Druckbereich von Seite 2 bis Seite 1 enthält keine Seite: „von“ darf nicht hinter „bis“ liegen.";
    EXPECT_EQ(prompts.Messages()[1].Text, refusal + " Es wurde nichts gedruckt.");
    EXPECT_EQ(prompts.Messages()[1].Type, MsgDlgType::Error);
    EXPECT_FALSE(fs::exists(file));

    // The dialog on screen: OK on 2 to 1 says so and keeps the dialog; 2 to 2 then goes.
    bool keptOpen = false;
    std::optional<PrintDialogAnswer> chosen;
    SafeWithModal(
        [&](QWidget& shown) {
            const QList<QSpinBox*> pages = shown.findChildren<QSpinBox*>();
            ASSERT_EQ(pages.size(), 2);
            for (QRadioButton* button : shown.findChildren<QRadioButton*>())
                if (button->text() == QStringLiteral("&Seiten"))
                    button->setChecked(true);
            pages[0]->setValue(2);
            pages[1]->setValue(1);
            QPushButton* ok = shown.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
            ok->click();
            keptOpen = shown.isVisible();
            pages[1]->setValue(2);
            ok->click();
        },
        [&] { chosen = RunPrintDialog(PrintDialogOptions{}); });
    EXPECT_TRUE(keptOpen);
    ASSERT_EQ(prompts.Messages().size(), 3u);
    EXPECT_EQ(prompts.Messages()[2].Text, refusal);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->FromPage, 2);
    EXPECT_EQ(chosen->ToPage, 2);
}

// A folder name of 300 bytes ran past the right edge of its message box: the box breaks such a
// name inside itself now.
TEST_F(UserRoadFive, ALongNameStaysInsideItsMessageBox)
{
    const ScreenPrompts screen;
    const std::string name = files / std::string(300, 'x');
    const std::string text = "Auf den Ordner „" + name + "“ kann nicht zugegriffen werden: Der Name ist zu lang.";
    int needed = 0;
    int given = 0;
    SafeWithModal(
        [&](QWidget& shown) {
            if (auto* label = shown.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
                needed = label->minimumSizeHint().width();
                given = label->width();
                QDir().mkpath(QStringLiteral(VELMORAN_ARTIFACTS "/shell"));
                shown.grab().save(QStringLiteral(VELMORAN_ARTIFACTS "/shell/long-name-message.png"));
            }
            static_cast<QMessageBox&>(shown).accept();
        },
        [&] { Prompts().ShowError(text); });
    EXPECT_GT(given, 0);
    EXPECT_LE(needed, given);
}

// The parameter dialog's right-click menu said "What's this?" in a German program, and Escape did
// not leave the print preview, whose "Schliessen" it is everywhere else.
TEST_F(UserRoadFive, TheParameterMenuIsGermanAndEscapeLeavesThePreview)
{
    const velmoran::testing::PdfPrinter pdf;
    TMainForm& window = Form(Example());
    QString menuItem;
    modals.Expect([&](QWidget& shown) {
        auto& parameters = dynamic_cast<THSGPar&>(shown);
        Activate(shown);
        SafeRightClick(*parameters.edKN);
        QMenu* menu = parameters.WhatsThis->PopupMenu();
        if (menu->isVisible() && !menu->actions().isEmpty())
            menuItem = menu->actions().at(0)->text();
        menu->close();
        velmoran::testing::ClickControl(shown, "BtnCancel");
    });
    window.EditParamExecute();
    EXPECT_EQ(menuItem.toStdString(), "Was ist das?");

    bool leftByEscape = false;
    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        QWidget* focused = QApplication::focusWidget();
        QTest::keyClick(focused && shown.isAncestorOf(focused) ? focused : &shown, Qt::Key_Escape);
        leftByEscape = !shown.isVisible();
    });
    window.FilePrintPreviewExecute();
    EXPECT_TRUE(leftByEscape);
}
