// Values on their way in and out as a user meets them, on the real design module and the example
// calculation: a volume the design could not compute is never shown; an import says what it
// could not keep as the file holds it; the folder dialog, the read errors, the text fields and the
// acid-capacity grid lose or hide nothing without a word.
#include "tests/shell/CalculationFixture.h"
#include "tests/hsg/ui/PageTexts.h"
#include "tests/support/DialogScript.h"

#include "controls/AlignedGrid.h"
#include "controls/EnhEditBtn.h"
#include "framework/CommonRecord.h"
#include "hsg/ui/HsgDlg.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Exceptions.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/Text.h"
#include "shell/DlgPath.h"

#include <gtest/gtest.h>

#include <QLineEdit>

#include <filesystem>

using namespace velmoran;
using velmoran::testing::Dialog;
using namespace std::string_literals;

namespace {

using UserRoadThree = velmoran::testing::CalculationFixture;
namespace fs = std::filesystem;

const std::string kVolume = "Volumen des Belebungsbeckens V<sub>BB</sub>";
const std::string kSludge = "Schlammtrockensubstanz TS<sub>BB</sub>";

}  // namespace

// With TS_BB 0 or -5 the page once showed the volume of the TS_BB before beside it. OK now
// refuses such input as it refuses every input the design cannot calculate, naming the field; a
// file or an import that brings it shows the volume as missing ("#", as the page shows every
// number it cannot print), also after saving and opening again.
TEST_F(UserRoadThree, NoVolumeWithoutAPositiveSludgeContent)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    THSGDlg& dialog = Dialog(Module());
    const TCommonRecord common = dialog.Module().CurrentCommon();
    const std::string volume = velmoran::testing::ValueBeside(Page(), kVolume);
    ASSERT_NE(volume.find_first_of("123456789"), std::string::npos) << volume;

    modals.Expect([&](QWidget& shown) {
        velmoran::testing::EnterPage(dialog, 3);
        for (const char* typed : {"0", "-5"}) {
            velmoran::testing::Enter(shown, "VarTSBB", typed);
            const std::size_t messages = prompts.Messages().size();
            velmoran::testing::ClickControl(shown, "BtnOK");
            EXPECT_TRUE(shown.isVisible()) << typed;
            ASSERT_EQ(prompts.Messages().size(), messages + 1) << typed;
            const std::string& text = prompts.Messages().back().Text;
            EXPECT_TRUE(Contains(text, "keine Berechnung möglich")) << text;
            EXPECT_TRUE(Contains(text, "Schlammtrockensubstanz TS_BB")) << text;
        }
        // The live results beside the field show no volume either.
        velmoran::testing::EnterPage(dialog, 4);
        EXPECT_EQ(velmoran::testing::Shown(shown, "resVBB"), "-");
    });
    window.ExecuteCommand("EDITDLG 3");
    EXPECT_TRUE(dialog.Module().CurrentCommon() == common);
    EXPECT_EQ(velmoran::testing::ValueBeside(Page(), kVolume), volume);

    for (const char* value : {"0", "-5"}) {
        // The second import asks about the first one's changes: they are not saved.
        prompts.Answer(mrNo);
        window.ExecuteCommand("FILEIMPORT " + files.WriteFile("ts.csv", std::string("TSBB;") + value + "\n"));
        EXPECT_EQ(velmoran::testing::ValueBeside(Page(), kSludge), value == std::string("0") ? "0,00" : "-5,00");
        EXPECT_EQ(velmoran::testing::ValueBeside(Page(), kVolume), "#") << value;
    }
    prompts.AnswerFile(files / "ohne.vda");
    window.FileSaveAsExecute();
    window.OpenCalculationFile(Example());
    window.OpenCalculationFile(files / "ohne.vda");
    EXPECT_EQ(velmoran::testing::ValueBeside(Page(), kSludge), "-5,00");
    EXPECT_EQ(velmoran::testing::ValueBeside(Page(), kVolume), "#");
}

// An import once replaced what it could not keep without a word: characters a calculation file
// cannot hold became "?", a zero byte cut the value, a UTF-8 file with one stray byte was read as
// Windows-1252 (every umlaut mangled), and a byte-order mark before Windows text made its umlauts
// "?". Now the first two are said once, naming the file and the lines, and both files read as
// meant, the stray bytes as Windows characters and said too. A Windows file says nothing.
TEST_F(UserRoadThree, AnImportSaysWhatItCouldNotKeep)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    TMainDlg& module = Module();
    const auto imported = [&](const std::string& bytes) {
        window.ImportValues(files.WriteFile("werte.csv", bytes));
        return module.GetValueText("Projekt") + "|" + module.GetValueText("Bearbeiter");
    };

    EXPECT_EQ(imported("Projekt;Kl\xE4ranlage S\xFC" "d\r\nBearbeiter;M\xFCller\r\n"), "Kläranlage Süd|Müller");
    EXPECT_TRUE(prompts.Messages().empty());

    const std::string file = files / "werte.csv";
    EXPECT_EQ(imported("Projekt;Kläranlage Süd\nQD;12\nBearbeiter;M\xFCller\n"), "Kläranlage Süd|Müller");
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages().back().Text,
              "Der Import aus der Datei „" + file + "“ hat nicht alles übernommen, wie es dort stand:\n"
              "Zeile 3: Zeichen, die kein UTF-8 sind, wurden als Windows-1252 gelesen.");
    EXPECT_EQ(prompts.Messages().back().Type, MsgDlgType::Warning);

    EXPECT_EQ(imported("\xEF\xBB\xBFProjekt;Kl\xE4ranlage\nBearbeiter;Wei\xDF\n"), "Kläranlage|Weiß");
    EXPECT_TRUE(Contains(prompts.Messages().back().Text, "Zeilen 1, 2: Zeichen, die kein UTF-8 sind"));

    EXPECT_EQ(imported("Projekt;Łódź Nord\nBearbeiter;Anna\0Berta\n"s), "?ód? Nord|Anna");
    ASSERT_EQ(prompts.Messages().size(), 3u);
    EXPECT_EQ(prompts.Messages().back().Text,
              "Der Import aus der Datei „" + file + "“ hat nicht alles übernommen, wie es dort stand:\n"
              "Zeile 1: Zeichen, die eine Berechnungsdatei nicht aufnehmen kann, wurden durch „?“ ersetzt.\n"
              "Zeile 2: Der Wert enthielt ein Nullzeichen und wurde dort abgeschnitten.");
    // The page shows what the file will hold (the page in the code page it declares).
    EXPECT_TRUE(Contains(Page(), Utf8ToCp1252("?ód? Nord")) || Contains(Page(), "?ód? Nord"));
}

// A value that does not convert once went whole into the message box: 2 MB took 20 s to show.
// The error names the file and the line and quotes the value in part; the lines before it stay.
TEST_F(UserRoadThree, AConversionErrorNamesFileAndLineAndQuotesTheValueInPart)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    const std::string file = files.WriteFile("gross.csv", "Projekt;Nord\nQD;" + std::string(2 << 20, '7') + "x\n");
    try {
        window.ImportValues(file);
        ADD_FAILURE() << "kein Fehler";
    } catch (const EConvertError& error) {
        EXPECT_EQ(error.Message(), "Die Datei „" + file + "“, Zeile 2: „" + std::string(80, '7') +
                                       "…“ ist kein gültiger Gleitkommawert für das Feld „QD“.\nDer Import endete in "
                                       "dieser Zeile: sie und die Zeilen danach wurden nicht importiert.\n"
                                       "Übernommen: Projekt (Zeile 1).");
    }
    EXPECT_EQ(Module().GetValueText("Projekt"), "Nord");
}

// "Verzeichnisse" once took a folder that is not there without a word, and every save into it
// failed later. OK now asks to create it: No keeps the dialog open on the folder, Yes creates it
// and closes; a file in a folder's place is refused with a message.
TEST_F(UserRoadThree, TheFolderDialogCreatesAMissingFolderOnlyWhenAsked)
{
    TDlgPath dialog(shell.Folders);
    const std::string wanted = root.Folder() + "Neu/Daten";
    const std::string file = files.WriteFile("datei", "x");
    modals.Expect([&](QWidget&) {
        dialog.edDataPath->SetText(file);
        velmoran::testing::ClickControl(dialog, "BtnOK");
        EXPECT_TRUE(dialog.isVisible());
        ASSERT_EQ(prompts.Messages().size(), 1u);
        EXPECT_EQ(prompts.Messages().back().Text, "„" + file + "“ ist eine Datei und kein Ordner.");

        dialog.edDataPath->SetText(wanted);
        prompts.Answer(mrNo);
        velmoran::testing::ClickControl(dialog, "BtnOK");
        EXPECT_TRUE(dialog.isVisible());
        ASSERT_EQ(prompts.Messages().size(), 2u);
        EXPECT_EQ(prompts.Messages().back().Text, "Den Ordner „" + wanted + "“ gibt es nicht.\nSoll er angelegt werden?");
        EXPECT_FALSE(fs::exists(wanted));

        prompts.Answer(mrYes);
        velmoran::testing::ClickControl(dialog, "BtnOK");
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    });
    EXPECT_TRUE(dialog.Execute());
    EXPECT_TRUE(fs::is_directory(wanted));
    EXPECT_EQ(shell.Folders.DataPathNoSlash, wanted);
}

// A recent file moved away once gave "…konnte nicht gelesen werden." and nothing more. A read
// error gives its cause as the write errors do: the file gone, its folder gone, a file empty or
// too short for a calculation.
TEST_F(UserRoadThree, AReadErrorSaysWhy)
{
    TMainForm& window = Form(Example());
    const auto refusal = [&](const std::string& file) {
        try {
            window.OpenCalculationFile(file);
        } catch (const Exception& error) {
            return error.Message();
        }
        return prompts.Messages().empty() ? std::string("(gelesen)") : prompts.Messages().back().Text;
    };
    const std::string gone = files / "weg.vda";
    EXPECT_EQ(refusal(gone), "Die Datei „" + gone + "“ konnte nicht gelesen werden: Die Datei ist nicht (mehr) vorhanden.");
    const std::string folderGone = files.Folder() + "Alt/weg.vda";
    EXPECT_EQ(refusal(folderGone),
              "Die Datei „" + folderGone + "“ konnte nicht gelesen werden: Der Ordner der Datei ist nicht (mehr) vorhanden.");
    const std::string empty = files.WriteFile("leer.vda", "");
    EXPECT_EQ(refusal(empty), "Die Datei „" + empty + "“ konnte nicht gelesen werden: Die Datei ist leer.");
    const std::string cut = files.WriteFile("kurz.vda", std::string(100, '\x01'));
    EXPECT_EQ(refusal(cut), "Die Datei „" + cut + "“ konnte nicht gelesen werden: Die Datei ist unvollständig (100 von 6784 Bytes).");
}

// "Bearbeiter(in)" took 255 characters while the page showed 80. The field takes what the page
// shows, and an import longer than its field says it was cut.
TEST_F(UserRoadThree, AFieldTakesNoMoreThanItsTableHolds)
{
    TMainForm& window = Form(Example());
    THSGDlg& dialog = Dialog(Module());
    const std::string longName(100, 'B');
    modals.Expect([&](QWidget& shown) {
        velmoran::testing::EnterPage(dialog, 1);
        velmoran::testing::TypeInto(shown, "edBearb", QString::fromStdString(longName));
        EXPECT_EQ(velmoran::testing::ReadControl(shown, "edBearb"), longName.substr(0, 80));
        velmoran::testing::TypeInto(shown, "edBez", QString(300, QLatin1Char('P')));
        EXPECT_EQ(velmoran::testing::ReadControl(shown, "edBez"), std::string(255, 'P'));
        velmoran::testing::ClickControl(shown, "BtnOK");
    });
    ASSERT_TRUE(window.ExecuteCommand("EDITDLG 1"));
    EXPECT_EQ(dialog.Module().CurrentCommon().String(common::kBearbeiter), longName.substr(0, 80));
    EXPECT_TRUE(Contains(Page(), ">" + longName.substr(0, 80) + "<"));

    window.ImportValues(files.WriteFile("lang.csv", "Projekt;Nord\nBearbeiter;" + std::string(81, 'C') + "\n"));
    EXPECT_EQ(Module().GetValueText("Bearbeiter"), std::string(80, 'C'));
    ASSERT_FALSE(prompts.Messages().empty());
    EXPECT_TRUE(Contains(prompts.Messages().back().Text,
                         "Zeile 2: Der Wert war länger als das Feld und wurde gekürzt."));
}

// A balance value too wide for its cell once showed its last digits ("000000,00"), a number it is
// not. It shows as "#####", as the result page shows a number it cannot print; the others as
// before.
TEST_F(UserRoadThree, TheAcidCapacityGridHidesANumberTooWideForItsCell)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    THSGDlg& dialog = Dialog(Module());
    dialog.Module().CurrentCommon().Block(0).SetDouble(block::kSKSzb, 1e9);
    modals.Expect([&](QWidget&) {
        velmoran::testing::EnterPage(dialog, 6);
        const std::vector<std::string> column = velmoran::testing::AcidCapacityColumn(dialog);
        EXPECT_EQ(column[0], "#####");
        EXPECT_EQ(column[1], velmoran::testing::kExampleAcidCapacity[1]);
        EXPECT_TRUE(dialog.Pages().KSGrid->TextFits(1, 1, column[1]));
    });
    window.ExecuteCommand("EDITDLG 6");
}
