// No result beside an input it was not computed from, sixth round, on the real design module and
// the example calculation: a refusal of the design's last stage keeps nothing of the run before,
// a calculation opened without its module file shows its results as not computed, impossible
// values are refused naming the field, and the design's own adjustments of the safety factor and
// the phosphorus removal are computed and shown.
#include "tests/shell/CalculationFixture.h"
#include "tests/hsg/ui/PageTexts.h"
#include "tests/support/DialogScript.h"

#include "hsg/HsgCalculation.h"
#include "hsg/ui/HsgDlg.h"
#include "hsg/ui/HsgPar.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/Text.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QStatusBar>

using namespace velmoran;
using velmoran::testing::Activate;
using velmoran::testing::ClickControl;
using velmoran::testing::Control;
using velmoran::testing::Dialog;
using velmoran::testing::Enter;
using velmoran::testing::Shown;
using velmoran::testing::TypeInto;
using velmoran::testing::ValueBeside;

namespace {

using UserRoadSix = velmoran::testing::CalculationFixture;

const std::string kSixSludgeAge = "Schlammalter gesamt t<sub>TS</sub>";
const std::string kSixVolume = "Volumen des Belebungsbeckens V<sub>BB</sub>";
const std::string kSixDemand = "Sauerstoffbedarf gesamt OV<sub>d</sub>";
const std::string kSixSupply = "Erforderlicher Sauerstoffeintrag OC<sub>h</sub>";
const std::string kSixAir = "Erforderliche Luftmenge Q<sub>L,N</sub>";

// The example saved under a new name beside it, with one member of block 0 changed.
std::string SixSavedWith(const std::string& name, std::size_t member, double value)
{
    THsgModule module;
    module.ResetToDefaults();
    module.ReadCalculationFile((std::filesystem::path(name).parent_path() / "Beispiel.vda").string());
    module.CurrentCommon().Block(0).SetDouble(member, value);
    module.WriteCalculationFile(name);
    return name;
}

bool SixSaid(const ScriptedPromptService& prompts, const std::string& text)
{
    return !prompts.Messages().empty() && Contains(prompts.Messages().back().Text, text);
}

}  // namespace

// "T;20" with "TSBB;0" showed 20,0 °C beside the 12 °C sludge age and oxygen demand, "HE;0" the
// OC_h of h_E 5 m, and µA,max 0,7 on a file with c_x 20 kept the sludge age of 0,52: the design
// refused at its last stage and the whole new run was dropped. What it computes stands now, and
// only what the refusal leaves shows "#".
TEST_F(UserRoadSix, ARefusalAtTheLastStageKeepsNothingOfTheRunBefore)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    THsgModule& module = Dialog(Module()).Module();
    TCommonRecord warm = module.CurrentCommon();
    THSGRecord warmHsg = module.CurrentHsg();
    warm.Block(0).SetDouble(block::kT, 20);
    HsgCalculate(warm, warmHsg);
    const std::string supply = ValueBeside(Page(), kSixSupply);

    window.ImportValues(files.WriteFile("warm.csv", "T;20\nTSBB;0\n"));
    window.RefreshResultPage();
    EXPECT_EQ(ValueBeside(Page(), kSixSludgeAge), FormatFixed(1, 2, warm.Block(0).Double(block::kTTS)));
    const TConstLoadCaseBlock b = warm.Block(0);
    EXPECT_EQ(ValueBeside(Page(), kSixDemand),
              FormatFixed(1, 0, b.Double(block::kOVcb) + b.Double(block::kOVn) + b.Double(block::kOVd)));
    EXPECT_EQ(ValueBeside(Page(), kSixVolume), "#");
    EXPECT_TRUE(SixSaid(prompts, "Schlammtrockensubstanz TS_BB"));

    window.ImportValues(files.WriteFile("flach.csv", "HE;0\n"));
    window.RefreshResultPage();
    EXPECT_NE(ValueBeside(Page(), kSixSupply), supply);
    EXPECT_NE(ValueBeside(Page(), kSixSupply), "#");
    EXPECT_EQ(ValueBeside(Page(), kSixAir), "#");

    window.OpenCalculationFile(SixSavedWith(files / "cx20.vda", block::kcx, 20));
    const std::string sludgeAge = ValueBeside(Page(), kSixSludgeAge);
    modals.Expect([&](QWidget& shown) {
        TypeInto(shown, "edMueA", "0,7");
        ClickControl(shown, "BtnOK");
    });
    window.EditParamExecute();
    EXPECT_NE(ValueBeside(Page(), kSixSludgeAge), sludgeAge);
    EXPECT_NE(ValueBeside(Page(), kSixSludgeAge), "#");
    EXPECT_EQ(ValueBeside(Page(), kSixSupply), "#");
}

// A ".vda" opened without its ".vdh" showed its results beside the defaults (Q_L,N 0, a sludge age
// of the lost parameters). The status line says the defaults apply, the results show "#", saved
// so too, until the next calculation.
TEST_F(UserRoadSix, ResultsOfALostModuleFileShowAsNotComputed)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form();
    const std::string lonely = files / "Ohne.vda";
    std::filesystem::copy_file(files / "Beispiel.vda", lonely);
    window.OpenCalculationFile(lonely);
    EXPECT_TRUE(Contains(window.StatusBar->currentMessage().toStdString(), "gelten die Standardwerte"));
    EXPECT_EQ(ValueBeside(Page(), kSixSludgeAge), "#");
    EXPECT_EQ(ValueBeside(Page(), kSixAir), "#");
    window.FileSaveExecute();
    window.OpenCalculationFile(lonely);
    EXPECT_EQ(ValueBeside(Page(), kSixSludgeAge), "#");

    modals.Expect([&](QWidget& shown) { ClickControl(shown, "BtnOK"); });
    ASSERT_TRUE(window.ExecuteCommand("EDITDLG 4"));
    EXPECT_NE(ValueBeside(Page(), kSixSludgeAge).find_first_of("123456789"), std::string::npos);
    EXPECT_NE(ValueBeside(Page(), kSixAir), "#");
}

// A BSB5 of -250 was taken at Weiter, OK and by the import (a negative oxygen demand), f_P -0,6 by
// the parameter dialog and into "hsg.vdt", and Y_A 1000000 ended with the inflow's refusal,
// naming C_TKN,ZB. Each is refused naming the field the user typed.
TEST_F(UserRoadSix, ImpossibleValuesAreRefusedNamingTheField)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    THSGDlg& dialog = Dialog(Module());
    const std::string bod = "„BSB5 im Zulauf C_BSB,ZB“";
    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        Enter(shown, "edCBSBzb", "-250");
        EXPECT_TRUE(SixSaid(prompts, bod));
        for (const char* button : {"BtnNext", "BtnOK"}) {
            ClickControl(shown, button);
            EXPECT_TRUE(shown.isVisible() && dialog.PageControl1->ActivePageIndex() == 1) << button;
        }
        EXPECT_EQ(prompts.Messages().size(), 3u) << prompts.MessageTexts();
        ClickControl(shown, "BtnCancel");
    });
    window.ExecuteCommand("EDITDLG 2");

    const std::string defaults = velmoran::testing::TempFolder::Read(dialog.ModuleTemplateFolder + "hsg.vdt");
    const std::pair<const char*, const char*> parameters[] = {{"edfP", "-0,6"}, {"edYa", "1000000"}};
    for (const auto& [edit, value] : parameters)
        modals.Expect([&](QWidget& shown) {
            Activate(shown);
            TypeInto(shown, edit, value);
            dynamic_cast<THSGPar&>(shown).chkStdParam->setChecked(true);
            ClickControl(shown, "BtnOK");
            EXPECT_TRUE(shown.isVisible());
            EXPECT_TRUE(Control<QWidget>(shown, edit)->hasFocus()) << edit;
            ClickControl(shown, "BtnCancel");
        });
    window.EditParamExecute();
    EXPECT_TRUE(SixSaid(prompts, "„Nicht abbaub. Anteil in Zulauf-Feststoffen (Sonstiges)“"));
    window.EditParamExecute();
    EXPECT_TRUE(SixSaid(prompts, "„Ertragsfaktor (Autotrophe Organismen)“")) << prompts.MessageTexts();
    EXPECT_EQ(velmoran::testing::TempFolder::Read(dialog.ModuleTemplateFolder + "hsg.vdt"), defaults);

    window.ImportValues(files.WriteFile("minus.csv", "CBSBzb;-250\n"));
    window.RefreshResultPage();
    EXPECT_TRUE(SixSaid(prompts, bod));
    EXPECT_EQ(ValueBeside(Page(), kSixDemand), "#");
}

// S_FH 0,8 and Bio-P 150 % were refused; the design raises the first to 1 and lowers the second to
// what the inflow allows, writes both back, and the pages show them with a line saying so.
TEST_F(UserRoadSix, TheDesignsOwnAdjustmentsAreComputedAndShown)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    THSGDlg& dialog = Dialog(Module());
    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        Enter(shown, "VarSFH", "0,8");
        EXPECT_EQ(Shown(shown, "VarSFH"), "1");
        EXPECT_TRUE(Contains(Shown(shown, "MsgV2"), "Der Sicherheitsfaktor ist von 0,80 auf 1,00 angehoben"));
        ClickControl(shown, "BtnPrevious");
        Enter(shown, "VarEtaPbio", "150");
        EXPECT_EQ(Shown(shown, "VarEtaPbio"), "100");
        EXPECT_TRUE(Contains(Shown(shown, "MsgV1"), "von 150,0 % auf 100,0 % gesenkt"));
        ClickControl(shown, "BtnOK");
    });
    ASSERT_TRUE(window.ExecuteCommand("EDITDLG 4"));
    EXPECT_TRUE(prompts.Messages().empty()) << prompts.MessageTexts();
    EXPECT_EQ(dialog.Module().CurrentHsg().Double(hsg::kSFH), 1.0);
    EXPECT_NEAR(dialog.Module().CurrentHsg().Double(hsg::kEtaPBio), 100, 1e-9);
}
