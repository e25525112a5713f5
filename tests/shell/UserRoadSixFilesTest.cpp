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
// said that Q_D and T of the lines before had changed; "MUEaMax;0" (a parameter) and "TTS;20" (a
// result) were counted and then lost, "T;" passed over, all without a word. The box says what was
// taken, which line stopped the rest, and names each line not taken with why; those lines leave
// the calculation as it was. A file of names no field has still says that nothing was imported.
TEST_F(UserRoadSix, AnImportSaysWhatItTookAndWhereItStopped)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    THsgModule& module = Dialog(Module()).Module();
    const double growth = module.CurrentHsg().Double(hsg::kMUEaMax);
    const double temperature = module.CurrentCommon().Block(0).Double(block::kT);
    const std::string parameterSet = Module().GetValueText("Mueamax");
    const std::string parameter = "„Mueamax“ ist ein Parameter: ein Import ändert die Parameter der Bemessung nicht. "
                                  "Die Parameter ändern Sie im Menü „Bearbeiten“ unter „Parameter...“.";

    const std::string stopped = files.WriteFile("halt.csv", "QD;12000\nMUEaMax;0,7\nT;\nTTS;20\nQD#2;3\nT;3.8\nT;20\n");
    try {
        window.ImportValues(stopped);
        ADD_FAILURE() << "kein Fehler";
    } catch (const EConvertError& error) {
        EXPECT_EQ(error.Message(), "Die Datei „" + stopped + "“, Zeile 6: „3.8“ ist kein gültiger Gleitkommawert für das "
                                   "Feld „T“.\nDer Import endete in dieser Zeile: sie und die Zeilen danach wurden nicht "
                                   "importiert.\nÜbernommen: QD (Zeile 1).\nNicht übernommen:\nZeile 2: " + parameter +
                                   "\nZeile 3: „T“ hat keinen Wert.\nZeile 4: „TTS“ ist kein Eingabewert der Bemessung."
                                   "\nZeile 5: „QD#2“ gehört zu einem Lastfall, der nicht aktiv ist.");
    }
    EXPECT_EQ(module.CurrentCommon().Block(0).Double(block::kQD), 12000);
    EXPECT_EQ(module.CurrentCommon().Block(0).Double(block::kT), temperature);
    EXPECT_EQ(module.CurrentHsg().Double(hsg::kMUEaMax), growth);
    EXPECT_EQ(Module().GetValueText("Mueamax"), parameterSet);

    // Without a stop the box is a warning, and the values taken are calculated.
    const std::string partly = files.WriteFile("teils.csv", "T;18\nMUEaMax;0,7\n");
    window.ImportValues(partly);
    ASSERT_EQ(prompts.Messages().size(), 1u) << prompts.MessageTexts();
    EXPECT_EQ(prompts.Messages().back().Type, MsgDlgType::Warning);
    EXPECT_EQ(prompts.Messages().back().Text, "Der Import aus der Datei „" + partly + "“ hat nicht jeden Wert "
                                              "übernommen.\nÜbernommen: T (Zeile 1).\nNicht übernommen:\nZeile 2: " +
                                                  parameter);
    EXPECT_EQ(module.CurrentCommon().Block(0).Double(block::kT), 18);

    // Where the inflow is entered as loads, a concentration follows from its load.
    TLoadCaseBlock inflow = module.CurrentCommon().Block(0);
    inflow.SetWord(block::kFlags, inflow.Word(block::kFlags) | block::kFlagLoads);
    const double carbon = inflow.Double(block::kCBSBzb);
    window.ImportValues(files.WriteFile("fracht.csv", "CBSBzb;300\n"));
    EXPECT_TRUE(Contains(prompts.Messages().back().Text, "wurde nichts importiert.\nNicht übernommen:\nZeile 1: "
                                                         "„CBSBzb“ ist eine Konzentration im Zulauf"));
    EXPECT_EQ(inflow.Double(block::kCBSBzb), carbon);

    const bool modified = Module().Modified;
    const std::string names = files.WriteFile("namen.csv", "Temperatur;20\nFeldname;Wert\n");
    window.ImportValues(names);
    EXPECT_EQ(prompts.Messages().back().Text, "Aus der Datei „" + names + "“ wurde nichts importiert: sie enthält "
                                              "keine Zeile „Feldname;Wert“ mit einem Feld der Berechnung.");
    EXPECT_EQ(Module().Modified, modified);
}

// A second window closing last emptied the recent files: each window wrote back the list it had
// read at its start. The window closing takes in what the other saved meanwhile, its own file on
// top.
TEST_F(UserRoadSix, TwoWindowsKeepEachOthersRecentFiles)
{
    TMainForm& window = Form(Example());
    const std::string other = files.WriteFile("Andere.vda", "");
    {
        RegIniFile otherWindow(kSettingsKey);
        otherWindow.WriteString("Recent Files", "MRU1", other);
        ASSERT_TRUE(SyncSettings(otherWindow));
    }
    ASSERT_TRUE(window.close());
    form.reset();
    const RegIniFile settings(kSettingsKey);
    EXPECT_EQ(settings.ReadString("Recent Files", "MRU1", {}), Example());
    EXPECT_EQ(settings.ReadString("Recent Files", "MRU2", {}), other);
}

// A PDF named without a folder went into the program's working folder, and nothing said where.
// It goes into the folder the field showed.
TEST_F(UserRoadSix, APdfNamedWithoutAFolderGoesWhereTheFieldShowed)
{
    const velmoran::testing::PdfPrinter pdf;
    TMainForm& window = Form(Example());
    const std::string name = "SechsBericht.pdf";
    const bool inWorkingFolder = fs::exists(name);
    PrintDialogAnswer answer;
    answer.PdfFileName = name;
    prompts.AnswerPrint(answer);
    window.FilePrintExecute();
    ASSERT_EQ(prompts.PrintRequests().size(), 1u);
    EXPECT_EQ(fs::path(*prompts.PrintRequests()[0].PdfFileName).parent_path(), fs::path(shell.Folders.DataPathNoSlash));
    EXPECT_TRUE(fs::exists(shell.Folders.DataPath + name)) << prompts.MessageTexts();
    if (!inWorkingFolder && fs::exists(name)) {
        ADD_FAILURE() << "in den Arbeitsordner gedruckt";
        fs::remove(name);
    }
}
