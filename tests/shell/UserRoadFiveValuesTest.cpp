// No result beside an input it was not computed from, fifth round, on the real design module and
// the example calculation: an import is calculated at once; the parameter dialog refuses at OK
// what the design refuses; a later pass of the design that leaves nothing to nitrify is refused;
// too little phosphorus in the inflow leaves only the effluent phosphate uncomputed; a number that
// is none names its field, and a huge negative result prints as "#".
#include "tests/shell/CalculationFixture.h"
#include "tests/hsg/ui/PageTexts.h"
#include "tests/support/DialogScript.h"

#include "framework/CommonRecord.h"
#include "framework/ui/EditFloat.h"
#include "hsg/HsgCalculation.h"
#include "hsg/ui/HsgDlg.h"
#include "hsg/ui/HsgPar.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/Text.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QTest>

#include <cmath>
#include <limits>

using namespace velmoran;
using velmoran::testing::Activate;
using velmoran::testing::ClickControl;
using velmoran::testing::Control;
using velmoran::testing::Dialog;
using velmoran::testing::ValueBeside;

namespace {

using UserRoadFive = velmoran::testing::CalculationFixture;

const std::string kSludgeAge = "Schlammalter gesamt t<sub>TS</sub>";
const std::string kVolume = "Volumen des Belebungsbeckens V<sub>BB</sub>";
const std::string kEffluentPhosphate = "PO<sub>4</sub>-P im Ablauf S<sub>PO4,AN</sub>";

// The example calculation with one member of block 0 changed, calculated as the design does.
struct FiveDesigned {
    TCommonRecord common;
    THSGRecord hsg;
};
FiveDesigned FiveExampleWith(THSGDlg& dialog, std::size_t member, double value)
{
    FiveDesigned designed{dialog.Module().CurrentCommon(), dialog.Module().CurrentHsg()};
    designed.common.Block(0).SetDouble(member, value);
    HsgCalculate(designed.common, designed.hsg);
    return designed;
}

// The example saved under a new name with one member changed, results as they were.
std::string FiveSavedWith(const std::string& name, void (*change)(THsgModule&))
{
    THsgModule module;
    module.ResetToDefaults();
    // The fixture's copy of the example lies beside the new name.
    if (!module.ReadCalculationFile((std::filesystem::path(name).parent_path() / "Beispiel.vda").string()))
        return "(nicht gelesen)";
    change(module);
    module.WriteCalculationFile(name);
    return name;
}

// The focused edit of the window holds the focus with its whole text selected.
bool FiveFocusedAndSelected(QWidget& window, const std::string& name)
{
    auto* edit = Control<QLineEdit>(window, name);
    return edit && edit->hasFocus() && edit->selectedText() == edit->text() && !edit->text().isEmpty();
}

}  // namespace

// "T;20" imported showed 20,0 °C beside t_TS 11,48 d and V_BB 8181 m³ of 12 °C, on the page, in the
// file and in print: an import changed inputs and never recalculated. It is calculated at once;
// where the design refuses the import, its results show "#".
TEST_F(UserRoadFive, AnImportIsCalculated)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    THSGDlg& dialog = Dialog(Module());
    const FiveDesigned warm = FiveExampleWith(dialog, block::kT, 20);
    const std::string oldVolume = ValueBeside(Page(), kVolume);

    window.ImportValues(files.WriteFile("warm.csv", "T;20\n"));
    window.RefreshResultPage();
    EXPECT_EQ(ValueBeside(Page(), "Temperatur T"), "20,0");
    EXPECT_EQ(ValueBeside(Page(), kSludgeAge), FormatFixed(1, 2, warm.common.Block(0).Double(block::kTTS)));
    EXPECT_EQ(ValueBeside(Page(), kVolume), FormatFixed(1, 0, warm.common.Double(common::kVBB)));
    EXPECT_NE(ValueBeside(Page(), kVolume), oldVolume);
    // The file holds the results of 20 °C, and the print made from it shows them.
    prompts.AnswerFile(files / "warm.vda");
    window.FileSaveAsExecute();
    EXPECT_TRUE(dialog.Module().CurrentCommon() == warm.common);
    EXPECT_EQ(ValueBeside(velmoran::testing::ExpandedPage("Standard.vpt", files / "warm.vda"), kVolume),
              FormatFixed(1, 0, warm.common.Double(common::kVBB)));

    // Input the design refuses: taken as it came, and nothing computed from other input beside it.
    // Every result "#" once came without a word: why is said, naming the field, in the one box
    // that also says what the import could not take as the file held it.
    const std::size_t before = prompts.Messages().size();
    window.ImportValues(
        files.WriteFile("duenn.csv", "CTKNzb;18\nXTSzb;900\nBearbeiter;" + std::string(81, 'C') + "\n"));
    window.RefreshResultPage();
    EXPECT_EQ(ValueBeside(Page(), "Gesamt-Kjeldahl-Stickstoff C<sub>TKN,ZB</sub>"), "18,0");
    EXPECT_EQ(ValueBeside(Page(), kSludgeAge), "#");
    EXPECT_EQ(ValueBeside(Page(), kVolume), "#");
    ASSERT_EQ(prompts.Messages().size(), before + 1) << prompts.MessageTexts();
    const std::string& said = prompts.Messages().back().Text;
    EXPECT_TRUE(Contains(said, "Mit den importierten Werten ist keine Berechnung möglich")) << said;
    EXPECT_TRUE(Contains(said, "Der Gesamt-Kjeldahl-Stickstoff C_TKN,ZB (18,0 mg/l)")) << said;
    EXPECT_TRUE(Contains(said, "Zeile 3")) << said;
}

// µA,max 0 or a temperature constant 0 closed the parameter dialog, then a bare "Gleitkomma-
// division durch Null" came, the page kept the old results; with "Als Standardwerte verwenden" the
// value went into the defaults and stopped every new calculation. OK now refuses them in the
// dialog, naming the field, which takes the focus with its text selected, on its page; the
// defaults file never sees them. A share of phosphorus of 0,2 the design computes with: the page
// is rebuilt from it, the volume anew and the effluent phosphate "#".
TEST_F(UserRoadFive, TheParameterDialogRefusesWhatTheDesignRefuses)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    THSGDlg& dialog = Dialog(Module());
    const THSGRecord stored = dialog.Module().CurrentHsg();
    const std::string page = Page();
    const std::string defaultsFile = dialog.ModuleTemplateFolder + "hsg.vdt";
    const std::string defaults = velmoran::testing::TempFolder::Read(defaultsFile);
    modals.Expect([&](QWidget& shown) {
        auto& parameters = dynamic_cast<THSGPar&>(shown);
        Activate(shown);
        velmoran::testing::TypeInto(shown, "edMueA", "0");
        ClickControl(shown, "BtnOK");
        ASSERT_EQ(prompts.Messages().size(), 1u);
        EXPECT_TRUE(Contains(prompts.Messages()[0].Text, "Mit diesen Parametern ist keine Berechnung möglich"));
        EXPECT_TRUE(Contains(prompts.Messages()[0].Text, "„Max. Wachstumsrate bei 15 Grad C (Autotrophe Organismen)“"));
        EXPECT_TRUE(shown.isVisible());
        EXPECT_TRUE(FiveFocusedAndSelected(shown, "edMueA"));
        velmoran::testing::TypeInto(shown, "edMueA", "0,52");

        // aTh 0, the dialog paged on, the defaults asked for: back on the field's page.
        velmoran::testing::TypeInto(shown, "edATH", "0");
        ClickControl(shown, "BtnNext");
        parameters.chkStdParam->setChecked(true);
        ClickControl(shown, "BtnOK");
        ASSERT_EQ(prompts.Messages().size(), 2u);
        EXPECT_TRUE(Contains(prompts.Messages()[1].Text, "„Temperaturkonstante (Heterotrophe Organismen)“"));
        EXPECT_FALSE(Contains(prompts.Messages()[1].Text, "Gleitkomma"));
        EXPECT_EQ(parameters.pcParam->ActivePageIndex(), 0);
        EXPECT_TRUE(FiveFocusedAndSelected(shown, "edATH"));
        ClickControl(shown, "BtnCancel");
    });
    window.EditParamExecute();
    EXPECT_TRUE(dialog.Module().CurrentHsg() == stored);
    EXPECT_EQ(velmoran::testing::TempFolder::Read(defaultsFile), defaults);
    EXPECT_EQ(Page(), page);

    // 0,2 as the share of phosphorus, kept as a default: computed, with the effluent phosphate
    // it could not compute as "#" beside the new volume.
    modals.Expect([&](QWidget& shown) {
        ClickControl(shown, "BtnNext");
        velmoran::testing::TypeInto(shown, "edIBP", "0,2");
        dynamic_cast<THSGPar&>(shown).chkStdParam->setChecked(true);
        ClickControl(shown, "BtnOK");
    });
    window.EditParamExecute();
    EXPECT_EQ(prompts.Messages().size(), 2u);
    EXPECT_EQ(ValueBeside(Page(), kEffluentPhosphate), "#");
    EXPECT_NE(ValueBeside(Page(), kVolume), ValueBeside(page, kVolume));
    EXPECT_NE(ValueBeside(Page(), kVolume).find_first_of("123456789"), std::string::npos);
    EXPECT_NE(velmoran::testing::TempFolder::Read(defaultsFile), defaults);

    // On a calculation the design refuses anyway (C_TKN 18, X_TS 900), an autotrophic decay of 5
    // went through into the defaults, and every new calculation stopped on page 3 with the
    // parameter dialog greyed. Refused at OK, naming the field, which takes the focus.
    window.OpenCalculationFile(FiveSavedWith(files / "duenn.vda", [](THsgModule& m) {
        m.CurrentCommon().Block(0).SetDouble(block::kCTKNzb, 18);
        m.CurrentCommon().Block(0).SetDouble(block::kXTSzb, 900);
    }));
    const std::string keptDefaults = velmoran::testing::TempFolder::Read(defaultsFile);
    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        velmoran::testing::TypeInto(shown, "edBa", "5");
        dynamic_cast<THSGPar&>(shown).chkStdParam->setChecked(true);
        ClickControl(shown, "BtnOK");
        ASSERT_EQ(prompts.Messages().size(), 3u);
        EXPECT_TRUE(Contains(prompts.Messages()[2].Text, "„Zerfallsrate (Autotrophe Organismen)“"))
            << prompts.Messages()[2].Text;
        EXPECT_TRUE(shown.isVisible());
        EXPECT_TRUE(FiveFocusedAndSelected(shown, "edBa"));
        ClickControl(shown, "BtnCancel");
    });
    window.EditParamExecute();
    EXPECT_EQ(velmoran::testing::TempFolder::Read(defaultsFile), keptDefaults);
}

// The example with C_TKN 18 and X_TS 900 kept the first pass's results: a 16 m³ denitrification
// volume credited with -1312 kg/d and a halved OC_h, which OK took. Refused at OK with the
// C_TKN message and the figures of the pass that found it, the focus on the field.
TEST_F(UserRoadFive, ALaterPassWithNothingLeftToNitrifyIsRefused)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    THSGDlg& dialog = Dialog(Module());
    const TCommonRecord stored = dialog.Module().CurrentCommon();
    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        velmoran::testing::Enter(shown, "edXTSzb", "900");
        velmoran::testing::Enter(shown, "edCTKNzb", "18");
        ClickControl(shown, "BtnOK");
        ASSERT_EQ(prompts.Messages().size(), 1u);
        const std::string& message = prompts.Messages()[0].Text;
        EXPECT_TRUE(Contains(message, "Der Gesamt-Kjeldahl-Stickstoff C_TKN,ZB (18,0 mg/l)")) << message;
        EXPECT_TRUE(Contains(message, "(X_N,BM 16,1 mg/l)")) << message;
        EXPECT_TRUE(shown.isVisible());
        EXPECT_TRUE(Control<QWidget>(shown, "edCTKNzb")->hasFocus());
        ClickControl(shown, "BtnCancel");
    });
    window.ExecuteCommand("EDITDLG 2");
    EXPECT_TRUE(dialog.Module().CurrentCommon() == stored);
}

// C_P,ZB 2 mg/l was refused whole: OK and Weiter blocked, the page could not be left (20 of 300
// plausible plants). The design goes on; page 3 shows "#" for the effluent phosphate and says why,
// and the result page has volumes beside it.
TEST_F(UserRoadFive, TooLittlePhosphorusLeavesOnlyTheEffluentPhosphateUncomputed)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    THSGDlg& dialog = Dialog(Module());
    const FiveDesigned lean = FiveExampleWith(dialog, block::kCPzb, 2);
    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        velmoran::testing::Enter(shown, "edCPzb", "2");
        ClickControl(shown, "BtnNext");
        ASSERT_EQ(dialog.PageControl1->ActivePageIndex(), 2);
        EXPECT_EQ(velmoran::testing::Shown(shown, "stSPO4an"), "#");
        EXPECT_EQ(velmoran::testing::Shown(shown, "stXPBM"), " 2,30");
        auto* why = Control<QLabel>(shown, "MsgV1");
        ASSERT_NE(why, nullptr);
        EXPECT_TRUE(why->isVisibleTo(&shown));
        EXPECT_EQ(why->text().toStdString(), "Das Phosphat im Ablauf lässt sich nicht berechnen: Die Biomasse bindet "
                                             "mehr Phosphor (X_P,BM 2,30 mg/l), als der Zulauf bringt (C_P,ZB 2,00 "
                                             "mg/l).");
        ClickControl(shown, "BtnOK");
    });
    ASSERT_TRUE(window.ExecuteCommand("EDITDLG 2"));
    EXPECT_TRUE(prompts.Messages().empty());
    EXPECT_EQ(ValueBeside(Page(), kEffluentPhosphate), "#");
    EXPECT_EQ(ValueBeside(Page(), kVolume), FormatFixed(1, 0, lean.common.Double(common::kVBB)));
}

// NaN, infinity or 1e308 from a file and the temperature constants at 0 gave a bare
// "Ungültige Gleitkommaoperation", "Gleitkommaüberlauf" or "Gleitkommadivision durch Null".
// Each names its field, quoting no "NAN" or 308 digits; a file's temperature constant of 0 is
// named by the design dialog with where to put it right, and refused by the parameter dialog
// until it is. A huge negative result prints "#" as a huge positive one does.
TEST_F(UserRoadFive, EveryRefusalNamesItsField)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    const auto stepMessage = [&](const std::string& file) {
        window.OpenCalculationFile(file);
        const std::size_t before = prompts.Messages().size();
        window.ExecuteCommand("SETINDEX +");
        const std::string said =
            prompts.Messages().size() == before + 1 ? prompts.Messages().back().Text : "(keine Meldung)";
        window.ExecuteCommand("SETINDEX 0");
        return said;
    };
    const std::string none = stepMessage(FiveSavedWith(files / "keinezahl.vda", [](THsgModule& m) {
        m.CurrentCommon().Block(0).SetDouble(block::kCTKNzb, std::numeric_limits<double>::quiet_NaN());
    }));
    EXPECT_EQ(none, "Mit diesen Eingaben ist keine Berechnung möglich:\nIm Feld „Gesamt-Kjeldahl-Stickstoff "
                    "C_TKN,ZB“ steht keine Zahl, mit der sich rechnen lässt. Bitte geben Sie den Wert neu ein.\n\n"
                    "Das Feld steht auf der Seite „Belastung“.");
    EXPECT_EQ(ValueBeside(Page(), kSludgeAge), "#");
    // Its page shows the field empty, not "NAN", and gives it the focus to type the value in.
    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        ClickControl(shown, "BtnNext");
        auto* nitrogen = Control<QLineEdit>(shown, "edCTKNzb");
        ASSERT_NE(nitrogen, nullptr);
        EXPECT_EQ(nitrogen->text(), QString());
        EXPECT_TRUE(nitrogen->hasFocus());
        EXPECT_TRUE(Contains(prompts.Messages().back().Text, "„Gesamt-Kjeldahl-Stickstoff C_TKN,ZB“"));
        ClickControl(shown, "BtnCancel");
    });
    window.ExecuteCommand("EDITDLG 1");
    const std::string huge = stepMessage(FiveSavedWith(files / "riesig.vda", [](THsgModule& m) {
        m.CurrentCommon().Block(0).SetDouble(block::kT, 1e308);
    }));
    EXPECT_EQ(huge, "Mit diesen Eingaben ist keine Berechnung möglich:\nDer Wert 1E308 im Feld „Temperatur T“ ist "
                    "zu groß, um damit zu rechnen: Sein Betrag darf höchstens 1.000.000.000.000 sein.\n\nDas Feld "
                    "steht auf der Seite „Verfahrensspezifikation“.");

    // A file's temperature constant of 0: the parameter dialog names it at OK until it is put right.
    window.OpenCalculationFile(FiveSavedWith(files / "null.vda", [](THsgModule& m) {
        m.CurrentHsg().SetDouble(hsg::kaTh, 0);
    }));
    EXPECT_EQ(ValueBeside(Page(), kVolume), "#");
    // The design dialog names it too, and where to put it right.
    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        velmoran::testing::Enter(shown, "VarT", "13");
        ClickControl(shown, "BtnOK");
        ClickControl(shown, "BtnCancel");
    });
    window.ExecuteCommand("EDITDLG 3");
    ASSERT_FALSE(prompts.Messages().empty());
    EXPECT_TRUE(Contains(prompts.Messages().back().Text, "„Temperaturkonstante (Heterotrophe Organismen)“"));
    EXPECT_TRUE(Contains(prompts.Messages().back().Text, "im Menü „Bearbeiten“ unter „Parameter...“"));
    const std::size_t before = prompts.Messages().size();
    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        ClickControl(shown, "BtnOK");
        EXPECT_TRUE(FiveFocusedAndSelected(shown, "edATH"));
        velmoran::testing::TypeInto(shown, "edATH", "1,072");
        ClickControl(shown, "BtnOK");
    });
    window.EditParamExecute();
    ASSERT_EQ(prompts.Messages().size(), before + 1);
    EXPECT_TRUE(Contains(prompts.Messages().back().Text, "„Temperaturkonstante (Heterotrophe Organismen)“"));
    EXPECT_NE(ValueBeside(Page(), kVolume), "#");

    // A biological removal above what the inflow allows, stored as typed (the design lowers it
    // and writes it back): the phosphorus results beside it were not computed from it and show
    // "#", the sludge age beside them does not depend on it.
    window.OpenCalculationFile(FiveSavedWith(files / "hundertfuenfzig.vda", [](THsgModule& m) {
        m.CurrentHsg().SetDouble(hsg::kEtaPBio, 150);
    }));
    EXPECT_EQ(ValueBeside(Page(), kEffluentPhosphate), "#");
    EXPECT_NE(ValueBeside(Page(), kSludgeAge), "#");

    // A stored result far below zero: "#", not 42 digits.
    window.OpenCalculationFile(FiveSavedWith(files / "tief.vda", [](THsgModule& m) {
        m.CurrentCommon().Block(0).SetDouble(block::kOVd, -1e40);
    }));
    EXPECT_EQ(ValueBeside(Page(), "Sauerstoffgewinn durch Denitrifikation OV<sub>d,D</sub>"), "#");
}

// Simultaneous denitrification with nothing to denitrify (S_NO3,AN 40) was credited with a 0,1 %
// volume. Nothing to denitrify gives no volume and no credit, and page 4 says why.
TEST_F(UserRoadFive, NothingIsChangedOrCreditedWithoutAWord)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        ClickControl(shown, "BtnNext");
        velmoran::testing::Pick(Control<QComboBox>(shown, "cbxDV"), 2);
        velmoran::testing::Enter(shown, "VarSNO3an", QStringLiteral("40"));
        EXPECT_EQ(velmoran::testing::Shown(shown, "resVD"), "    0");
        EXPECT_TRUE(Control<QWidget>(shown, "MsgBoxV2")->isVisibleTo(&shown));
        EXPECT_EQ(velmoran::testing::Shown(shown, "MsgV2"),
                  "Kein Nitrat zu denitrifizieren (S_NO3,D0 -5,39 mg/l): kein Denitrifikationsvolumen, keine "
                  "Gutschrift.");
        ClickControl(shown, "BtnOK");
    });
    ASSERT_TRUE(window.ExecuteCommand("EDITDLG 3"));
    EXPECT_TRUE(prompts.Messages().empty()) << prompts.MessageTexts();
    EXPECT_EQ(ValueBeside(Page(), "Denitrifikationsvolumen V<sub>D</sub>"), "0");
}
