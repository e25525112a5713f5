// Files and messages as a user meets them, sixth round, on the real design module and the example
// calculation: an import says what it took, what not and where it stopped; two windows keep each
// other's recent files; a PDF named without a folder goes where the field showed; the design
// dialog shows only what the calculation holds; a refusal says what to do.
#include "tests/shell/CalculationFixture.h"
#include "tests/hsg/ui/PageTexts.h"
#include "tests/support/DialogScript.h"

#include "framework/CommonRecord.h"
#include "platform/Clipboard.h"
#include "platform/Prompt.h"
#include "platform/RegIni.h"
#include "platform/core/Exceptions.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/Text.h"
#include "shell/Folders.h"
#include "shell/Settings.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QTest>

#include <filesystem>

using namespace velmoran;
using velmoran::testing::Dialog;
namespace fs = std::filesystem;

namespace {

using UserRoadSix = velmoran::testing::CalculationFixture;

}  // namespace

// "T;3.8" stopped an import with "Zeile 3: '3.8' ist kein gültiger Gleitkommawert", and nothing
// said that Q_D of the line before had changed; "MUEaMax;0" (a parameter) and "TTS;20" (a result)
// were counted and then lost, "T;" passed over, all without a word. The box says what was taken,
// which line stopped the rest, and names each line not taken with why; those lines leave the
// calculation as it was. A file of names no field has still says that nothing was imported.
TEST_F(UserRoadSix, AnImportSaysWhatItTookAndWhereItStopped)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    THsgModule& module = Dialog(Module()).Module();
    TLoadCaseBlock inflow = module.CurrentCommon().Block(0);
    const std::string parameterSet = Module().GetValueText("Mueamax");
    const auto said = [&](const std::string& name, const std::string& lines) {
        try {
            window.ImportValues(files.WriteFile(name, lines));
        } catch (const EConvertError& error) {
            return error.Message();
        }
        return prompts.Messages().empty() ? std::string() : prompts.Messages().back().Text;
    };
    const std::string parameter = "„Mueamax“ ist ein Parameter: ein Import ändert die Parameter der Bemessung nicht. "
                                  "Die Parameter ändern Sie im Menü „Bearbeiten“ unter „Parameter...“.";

    EXPECT_EQ(said("halt.csv", "QD;12000\nMUEaMax;0,7\nT;\nTTS;20\nQD#2;3\nT;3.8\nT;20\n"),
              "Die Datei „" + files / "halt.csv" + "“, Zeile 6: „3.8“ ist kein gültiger Gleitkommawert für das Feld "
              "„T“.\nDer Import endete in dieser Zeile: sie und die Zeilen danach wurden nicht importiert.\nÜbernommen: "
              "QD (Zeile 1).\nNicht übernommen:\nZeile 2: " + parameter + "\nZeile 3: „T“ hat keinen Wert.\nZeile 4: "
              "„TTS“ ist kein Eingabewert der Bemessung.\nZeile 5: „QD#2“ gehört zu einem Lastfall, der nicht aktiv ist.");
    EXPECT_EQ(inflow.Double(block::kQD), 12000);
    EXPECT_EQ(Module().GetValueText("Mueamax"), parameterSet);

    // Without a stop the box is a warning, and the values taken are calculated.
    EXPECT_EQ(said("teils.csv", "T;18\nMUEaMax;0,7\n"), "Der Import aus der Datei „" + files / "teils.csv" +
                                                           "“ hat nicht jeden Wert übernommen.\nÜbernommen: T (Zeile 1)."
                                                           "\nNicht übernommen:\nZeile 2: " + parameter);
    EXPECT_EQ(prompts.Messages().back().Type, MsgDlgType::Warning);
    EXPECT_EQ(inflow.Double(block::kT), 18);

    // Where the inflow is entered as loads, a concentration follows from its load.
    inflow.SetWord(block::kFlags, inflow.Word(block::kFlags) | block::kFlagLoads);
    const double carbon = inflow.Double(block::kCBSBzb);
    EXPECT_TRUE(Contains(said("fracht.csv", "CBSBzb;300\n"), "wurde nichts importiert.\nNicht übernommen:\nZeile 1: "
                                                             "„CBSBzb“ ist eine Konzentration im Zulauf"));
    EXPECT_EQ(inflow.Double(block::kCBSBzb), carbon);

    const bool modified = Module().Modified;
    // The safety factor is a field of the calculation, though none an import writes into.
    EXPECT_EQ(said("namen.csv", "Temperatur;20\nFeldname;Wert\nSFH;0,8\n"),
              "Aus der Datei „" + files / "namen.csv" + "“ wurde nichts importiert: sie enthält keine Zeile "
              "„Feldname;Wert“ mit einem Feld, in das sich Werte importieren lassen.");
    EXPECT_EQ(Module().Modified, modified);
}

// A name no field has ("QDD", a typing error) passed over without a word beside the values taken,
// and a record number beyond the table's records put its value into the first record, over the
// design load case's inflow. Both lines are named as not taken, and the first load case keeps its
// inflow. A link "FILEIMPORT" without a name said that the file „“ could not be read.
TEST_F(UserRoadSix, AnImportNamesTheLinesItCouldNotPlace)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    const TLoadCaseBlock inflow = Dialog(Module()).Module().CurrentCommon().Block(0);
    const double flow = inflow.Double(block::kQD);
    // "QD#12" was read as record 1.
    const std::string file = files.WriteFile("tippfehler.csv", "T;14\nQDD;5\nQD#5;3\n;;\nQD#12;4\n");
    window.ImportValues(file);
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages().back().Text,
              "Der Import aus der Datei „" + file + "“ hat nicht jeden Wert übernommen.\nÜbernommen: T (Zeile 1).\n"
              "Nicht übernommen:\nZeile 2: „QDD“ ist kein Feld, in das sich Werte importieren lassen.\nZeile 3: "
              "„QD#5“ nennt einen Satz, den es nicht gibt: Es gibt die Sätze 0 bis 3.\nZeile 5: „QD#12“ nennt einen "
              "Satz, den es nicht gibt: Es gibt die Sätze 0 bis 3.");
    EXPECT_EQ(inflow.Double(block::kQD), flow);
    EXPECT_EQ(inflow.Double(block::kT), 14);

    const bool modified = Module().Modified;
    EXPECT_TRUE(window.ExecuteCommand("FILEIMPORT"));
    ASSERT_EQ(prompts.Messages().size(), 2u);
    EXPECT_EQ(prompts.Messages().back().Text, "Die Verknüpfung „FILEIMPORT“ nennt keine Datei, aus der Werte "
                                              "importiert werden: Es wurde nichts importiert.");
    EXPECT_EQ(Module().Modified, modified);
}

// A second window closing last emptied the recent files: each window wrote back the list it had
// read at its start. The window closing takes in what the other saved meanwhile, its own on top.
TEST_F(UserRoadSix, TwoWindowsKeepEachOthersRecentFiles)
{
    TMainForm& window = Form(Example());
    RegIniFile otherWindow(kSettingsKey);
    otherWindow.WriteString("Recent Files", "MRU1", files / "Andere.vda");
    ASSERT_TRUE(SyncSettings(otherWindow));
    ASSERT_TRUE(window.close());
    form.reset();
    EXPECT_EQ(otherWindow.ReadString("Recent Files", "MRU1", {}), Example());
    EXPECT_EQ(otherWindow.ReadString("Recent Files", "MRU2", {}), files / "Andere.vda");
}

// A PDF named without a folder went into the program's working folder, and nothing said where.
// It goes into the folder the field showed.
TEST_F(UserRoadSix, APdfNamedWithoutAFolderGoesWhereTheFieldShowed)
{
    const velmoran::testing::PdfPrinter pdf;
    const std::string name = "SechsBericht.pdf";
    const bool inWorkingFolder = fs::exists(name);
    PrintDialogAnswer answer;
    answer.PdfFileName = name;
    prompts.AnswerPrint(answer);
    Form(Example()).FilePrintExecute();
    EXPECT_EQ(*prompts.PrintRequests().at(0).PdfFileName, shell.Folders.DataPath + "Beispiel.pdf");
    EXPECT_TRUE(fs::exists(shell.Folders.DataPath + name)) << prompts.MessageTexts();
    if (!inWorkingFolder && fs::exists(name)) {
        ADD_FAILURE() << "in den Arbeitsordner gedruckt";
        fs::remove(name);
    }
}

// The design dialog's result grid took Shift+Insert (a paste over "4,70") and Shift+Delete (the
// pH emptied); a process code the list has no item for (2 or 4) showed "Keine Denitrifikation"
// beside a denitrified share. The grid changes nothing, and the list shows no item.
TEST_F(UserRoadSix, TheDesignDialogShowsOnlyWhatTheCalculationHolds)
{
    MemoryClipboard clipboard;
    const ScopedClipboard scoped(clipboard);
    clipboard.SetText(u"9,99");
    TMainForm& window = Form(Example());
    THSGDlg& dialog = Dialog(Module());
    dialog.Module().CurrentCommon().Block(0).SetBits(block::kProcess, block::kShiftDV, block::kCountDV, 2);
    modals.Expect([&](QWidget& shown) {
        EXPECT_EQ(velmoran::testing::Control<QComboBox>(shown, "cbxDV")->currentIndex(), -1);
        velmoran::testing::EnterPage(dialog, 6);
        const std::vector<std::string> designed = velmoran::testing::AcidCapacityColumn(dialog);
        for (const int row : {6, 7}) {
            dialog.Pages().KSGrid->MoveCurrent(1, row);
            QTest::keyClick(dialog.Pages().KSGrid, Qt::Key_Insert, Qt::ShiftModifier);
            QTest::keyClick(dialog.Pages().KSGrid, Qt::Key_Delete, Qt::ShiftModifier);
        }
        EXPECT_EQ(velmoran::testing::AcidCapacityColumn(dialog), designed);
        velmoran::testing::ClickControl(shown, "BtnCancel");
    });
    window.ExecuteCommand("EDITDLG 4");
    EXPECT_EQ(modals.Shown().size(), 1u);
}

// "Upper.VDA" was refused as not ending in ".vda", which it seems to. Stepping the load cases of a
// calculation the design refuses gave the bare refusal, without the lead sentence and the page the
// dialog gives. Both say what to do.
TEST_F(UserRoadSix, ARefusalSaysWhatToDo)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    window.ImportValues(files.WriteFile("ohne.csv", "TSBB;0\n"));
    EXPECT_TRUE(window.ExecuteCommand("SETINDEX +"));
    const std::string& stepped = prompts.Messages().back().Text;
    EXPECT_TRUE(StartsWith(stepped, "Mit diesen Eingaben ist keine Berechnung möglich:\n")) << stepped;
    EXPECT_TRUE(Contains(stepped, "\n\nDas Feld steht auf der Seite „Verfahrensspezifikation“.")) << stepped;

    prompts.AnswerFile(files / "Upper.VDA");
    window.FileSaveAsExecute();
    EXPECT_EQ(prompts.Messages().back().Text, "Eine Berechnung wird nur unter einem Namen mit der Endung „.vda“ "
                                              "gespeichert. Die Endung „.vda“ wird kleingeschrieben (etwa "
                                              "„Upper.vda“): „" + files / "Upper.VDA" + "“ wurde nicht geschrieben.");
    EXPECT_FALSE(fs::exists(files / "Upper.VDA"));
}
