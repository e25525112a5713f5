// Files, prints and dialogs as a user meets them, fourth round, on the real design module and the
// example calculation: no failure passes in silence (a print range behind the last page, a save
// under a name the open dialog does not list, an import of no values or of mixed lines, a folder
// the system cannot look at, the status line after a failed open), and every dialog is German with
// every control in reach (the folder chooser and the PDF file dialog, the input dialog's least
// size, the focus mark of a choice box, the messages page with no messages).
#include "tests/shell/CalculationFixture.h"
#include "tests/hsg/ui/PageTexts.h"
#include "tests/support/DialogScript.h"

#include "controls/EnhEditBtn.h"
#include "controls/HtmlLabel.h"
#include "framework/ui/MainDlg.h"
#include "platform/FileDialogColumns.h"
#include "platform/Prompt.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/Text.h"
#include "shell/DlgPath.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QImage>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>

#include <filesystem>
#include <functional>

using namespace velmoran;
using velmoran::testing::Activate;
using velmoran::testing::Control;
using velmoran::testing::Dialog;
namespace fs = std::filesystem;

namespace {

using UserRoadFour = velmoran::testing::CalculationFixture;

std::string RoadFourTexts(const ScriptedPromptService& prompts)
{
    std::string texts;
    for (const auto& message : prompts.Messages())
        texts += message.Text + "\n";
    return texts;
}

using RoadFourScreenPrompts = ScreenPrompts;

// What a file dialog of the program showed.
struct RoadFourFileDialogSeen {
    bool Seen = false;
    bool ColumnsGerman = false;
    std::string TypeLabel;
    int TypeColumnWidth = 0;
    int FolderWordWidth = 0;
};

RoadFourFileDialogSeen RoadFourLookAt(QFileDialog& dialog)
{
    RoadFourFileDialogSeen seen;
    seen.Seen = true;
    seen.ColumnsGerman = dynamic_cast<FileDialogColumns*>(dialog.proxyModel()) != nullptr;
    seen.TypeLabel = dialog.labelText(QFileDialog::FileType).toStdString();
    if (auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        seen.TypeColumnWidth = view->header()->sectionSize(FileDialogColumns::kTypeColumn);
        seen.FolderWordWidth = QFontMetrics(view->font()).horizontalAdvance(QStringLiteral("Verzeichnis"));
    }
    return seen;
}

// Answers the modal windows that open while `run` runs: each one the step for it is given
// (by the order they come in), until `run` returns.
void RoadFourWithModals(const std::vector<std::function<void(QWidget&)>>& steps, const std::function<void()>& run)
{
    std::size_t next = 0;
    QWidget* last = nullptr;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* shown = QApplication::activeModalWidget();
        if (!shown || !shown->isVisible() || shown == last || next >= steps.size())
            return;
        last = shown;
        // Outside the timer's call, so that a step that opens a window does not stop the polling.
        QTimer::singleShot(0, shown, [&, shown, step = next++] { steps[step](*shown); });
    });
    timer.start();
    run();
    timer.stop();
}

// Pixels of the highlight colour in the widget's picture.
int RoadFourHighlightPixels(QWidget& widget)
{
    const QImage picture = widget.grab().toImage();
    const QRgb highlight = widget.palette().color(QPalette::Highlight).rgb();
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            count += picture.pixel(x, y) == highlight ? 1 : 0;
    return count;
}

}  // namespace

// "Seiten 9 bis 9" of a two-page print wrote no file and said nothing: the run dropped its empty
// job. Now the user learns how many pages there are and that nothing was printed.
TEST_F(UserRoadFour, APrintRangeBehindTheLastPageSaysSo)
{
    velmoran::testing::PdfPrinter pdf;
    TMainForm& window = Form(Example());
    const std::string file = files / "Seite9.pdf";
    PrintDialogAnswer answer;
    answer.AllPages = false;
    answer.FromPage = 9;
    answer.ToPage = 9;
    answer.PdfFileName = file;
    prompts.AnswerPrint(answer);
    window.FilePrintExecute();
    EXPECT_FALSE(fs::exists(file));
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0].Type, MsgDlgType::Error);
    EXPECT_TRUE(StartsWith(prompts.Messages()[0].Text, "Der Ausdruck hat nur ")) << prompts.Messages()[0].Text;
    EXPECT_TRUE(Contains(prompts.Messages()[0].Text, "Seiten: Seite 9 gibt es darin nicht. Es wurde nichts gedruckt."))
        << prompts.Messages()[0].Text;
}

// The file commands say what failed. "Speichern unter" notiz.txt wrote notiz.txt and notiz.vdh,
// which the open dialog did not list, and a name ".vda" was saved and then refused on opening:
// both are refused now, naming the file, and nothing is written. "Verzeichnisse" with a folder
// the system cannot look at asked to create it and then showed an English "filesystem error".
// After an open that failed, the status line still named the module file of the open before.
TEST_F(UserRoadFour, TheFileCommandsSayWhatFailed)
{
    TMainForm& window = Form(Example());
    for (const std::string name : {"notiz.txt", ".vda", "notiz"}) {
        SCOPED_TRACE(name);
        const std::size_t said = prompts.Messages().size();
        prompts.AnswerFile(files / name);
        window.FileSaveAsExecute();
        ASSERT_EQ(prompts.Messages().size(), said + 1);
        // ".vda" alone ends in ".vda": what it lacks is the name in front.
        EXPECT_EQ(prompts.Messages().back().Text,
                  (name == ".vda" ? std::string("Vor der Endung „.vda“ fehlt der Name der Berechnung (etwa „Kläranlage.vda“): „")
                                  : std::string("Eine Berechnung wird nur unter einem Namen mit der Endung „.vda“ gespeichert "
                                                "(etwa „Kläranlage.vda“): „")) +
                      files / name + "“ wurde nicht geschrieben.");
        EXPECT_FALSE(fs::exists(files / name));
        EXPECT_FALSE(fs::exists(fs::path(files / name).replace_extension(".vdh")));
        EXPECT_EQ(Caption(), "Velmoran - " + Example());
    }
    const std::size_t refused = prompts.Messages().size();
    prompts.AnswerFile(files / "notiz.vda");
    window.FileSaveAsExecute();
    EXPECT_EQ(prompts.Messages().size(), refused);
    EXPECT_TRUE(fs::exists(files / "notiz.vda"));
    EXPECT_TRUE(fs::exists(files / "notiz.vdh"));
    EXPECT_EQ(Caption(), "Velmoran - " + files / "notiz.vda");

    // A folder name with a part of 300 bytes: refused in German, with no question to create it.
    TDlgPath paths(shell.Folders);
    const std::string tooLong = files / std::string(300, 'x');
    paths.edDataPath->SetText(tooLong);
    paths.accept();
    ASSERT_EQ(prompts.Messages().size(), refused + 1);
    EXPECT_EQ(prompts.Messages().back().Text,
              "Auf den Ordner „" + tooLong + "“ kann nicht zugegriffen werden: Der Name ist zu lang.");
    EXPECT_EQ(prompts.Messages().back().Type, MsgDlgType::Error);
    EXPECT_FALSE(paths.isVisible());
    EXPECT_EQ(shell.Folders.DataPathNoSlash + "/", shell.Folders.DataPath);
    EXPECT_NE(shell.Folders.DataPathNoSlash, tooLong);

    // An open that reads the calculation but not its module file says so on the status line; an
    // open that fails after it leaves nothing of that there.
    fs::copy_file(Example(), files / "ohne.vda");
    window.OpenCalculationFile(files / "ohne.vda");
    EXPECT_TRUE(Contains(window.StatusBar->currentMessage().toStdString(), "ohne.vdh“ fehlt"));
    window.OpenCalculationFile(files.WriteFile("kurz.vda", std::string(10, '\0')));
    EXPECT_EQ(prompts.Messages().size(), refused + 2);
    EXPECT_EQ(window.StatusBar->currentMessage().toStdString(), "");
}

// An import of a picture changed nothing and said nothing; a file of UTF-8 lines and
// Windows-1252 lines was read wholly as Windows-1252 ("KlÃ¤ranlage") without a word. Now a file
// without one value the calculation knows says so and leaves the calculation as it was, and
// each line of a mixed file is read as what it is, the Windows lines named.
TEST_F(UserRoadFour, AnImportSaysWhatItDidNotTake)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    TMainDlg& module = Module();
    const std::string project = module.GetValueText("Projekt");

    std::string picture = "\x89PNG\r\n\x1A\n";
    picture += std::string("\0\0\0\rIHDR\0\0\0\x01\0\0\0\x01\x08\x06\0\0\0\x1F\x15\xC4\x89", 25);
    const std::string binary = files.WriteFile("bild.png", picture);
    window.ImportValues(binary);
    EXPECT_EQ(RoadFourTexts(prompts), "Aus der Datei „" + binary +
                                          "“ wurde nichts importiert: sie enthält keine Zeile "
                                          "„Feldname;Wert“ mit einem Feld, in das sich Werte "
                                          "importieren lassen.\n");
    EXPECT_EQ(module.GetValueText("Projekt"), project);
    EXPECT_FALSE(module.Modified);

    const std::string mixed =
        files.WriteFile("gemischt.csv", "Projekt;Kläranlage Süd\nBearbeiter;M\xFCller\nOrt;W\xFCrzburg\n");
    window.ImportValues(mixed);
    EXPECT_EQ(module.GetValueText("Projekt") + "|" + module.GetValueText("Bearbeiter"), "Kläranlage Süd|Müller");
    ASSERT_EQ(prompts.Messages().size(), 2u);
    EXPECT_EQ(prompts.Messages()[1].Text,
              "Der Import aus der Datei „" + mixed + "“ hat nicht jeden Wert übernommen.\nÜbernommen: Projekt "
              "(Zeile 1), Bearbeiter (Zeile 2).\nNicht übernommen:\nZeile 3: „Ort“ ist kein Feld, in das sich Werte "
              "importieren lassen.\n\nDer Import aus der Datei „" + mixed + "“ hat nicht alles übernommen, wie es "
              "dort stand:\nZeilen 2, 3: Zeichen, die kein UTF-8 sind, wurden als Windows-1252 gelesen.");
}

// Under a system locale other than German the folder chooser and the PDF "Durchsuchen…" dialog
// showed "8 Dec …" and "Dateien des Typs:", and "Verzeichnis" cut to "Ver…nis": they are set up
// as the open and save dialogs are now, and the type column holds the German word.
TEST_F(UserRoadFour, TheFolderChooserAndThePdfDialogAreGermanAsTheFileDialogs)
{
    Form(Example());
    RoadFourScreenPrompts screen;
    RoadFourFileDialogSeen folderChooser;
    TDlgPath paths(shell.Folders);
    RoadFourWithModals({[&](QWidget& shown) {
                           if (auto* dialog = qobject_cast<QFileDialog*>(&shown))
                               folderChooser = RoadFourLookAt(*dialog);
                           static_cast<QDialog&>(shown).reject();
                       }},
                       [&] { paths.edTemplPath->OnClickBtn(paths.edTemplPath); });
    ASSERT_TRUE(folderChooser.Seen);
    EXPECT_TRUE(folderChooser.ColumnsGerman);
    EXPECT_EQ(folderChooser.TypeLabel, "Dateityp:");
    EXPECT_GE(folderChooser.TypeColumnWidth, folderChooser.FolderWordWidth);

    RoadFourFileDialogSeen pdfChooser;
    PrintDialogOptions options;
    options.PdfFileName = files / "Beispiel.pdf";
    std::optional<PrintDialogAnswer> answer;
    RoadFourWithModals({[](QWidget& printDialog) {
                            for (QPushButton* button : printDialog.findChildren<QPushButton*>())
                                if (button->text() == QStringLiteral("Durchsuchen…"))
                                    button->click();
                        },
                        [&](QWidget& shown) {
                            if (auto* dialog = qobject_cast<QFileDialog*>(&shown))
                                pdfChooser = RoadFourLookAt(*dialog);
                            static_cast<QDialog&>(shown).reject();
                            // The print dialog again, answered at once.
                            QTimer::singleShot(0, [] {
                                if (auto* printDialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                                    printDialog->reject();
                            });
                        }},
                       [&] { answer = RunPrintDialog(options); });
    EXPECT_FALSE(answer);
    ASSERT_TRUE(pdfChooser.Seen);
    EXPECT_TRUE(pdfChooser.ColumnsGerman);
    EXPECT_EQ(pdfChooser.TypeLabel, "Dateityp:");
    EXPECT_GE(pdfChooser.TypeColumnWidth, pdfChooser.FolderWordWidth);
}

// The input dialog could be made so small that Zurück, Weiter and OK were cut off; a choice box
// reached by Tab looked like every other, so that Down changed the "Verfahren" unseen; and
// "Ansicht → Meldungen" with no messages was an empty grey page.
TEST_F(UserRoadFour, EveryControlOfTheInputDialogIsInReachAndTheFocusSeen)
{
    TMainForm& window = Form(Example());
    THSGDlg& dialog = Dialog(Module());
    dialog.resize(300, 200);
    for (const TExSpeedButton* button : {dialog.BtnCancel, dialog.BtnPrevious, dialog.BtnNext, dialog.BtnOK}) {
        SCOPED_TRACE(button->objectName().toStdString());
        EXPECT_LE(button->geometry().right(), dialog.width() - 1);
    }

    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        for (const auto& [page, name] : {std::pair{3, "cbxFM"}, std::pair{4, "cbxDV"}, std::pair{6, "cbxAT"}}) {
            SCOPED_TRACE(name);
            velmoran::testing::EnterPage(dialog, page);
            auto* box = Control<QComboBox>(shown, name);
            ASSERT_NE(box, nullptr);
            dialog.FocusControlByName(page == 6 ? "VarHE" : page == 4 ? "VarSFH" : "VarTSBB");
            const int unfocused = RoadFourHighlightPixels(*box);
            box->setFocus(Qt::TabFocusReason);
            QApplication::processEvents();
            ASSERT_TRUE(box->hasFocus());
            // The choice stands on the highlight colour, most of the box's text field.
            EXPECT_GT(RoadFourHighlightPixels(*box), unfocused + box->width() * box->height() / 3);
        }
    });
    ASSERT_TRUE(window.ExecuteCommand("EDITDLG 3"));

    window.ViewMessagesExecute();
    EXPECT_EQ(window.MsgAll->HTMLText(), "Keine Meldungen.<br>");
    EXPECT_TRUE(window.ResultMessages.empty());
}
