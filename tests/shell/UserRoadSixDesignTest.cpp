// No result beside an input it was not computed from, sixth round, on the real design module and
// the example calculation: a refusal at the design's last stage keeps nothing of the run before,
// a calculation opened without its module file shows its results as not computed, impossible
// values are refused naming the field, and the design's own adjustments are computed and shown.
#include "tests/shell/CalculationFixture.h"
#include "tests/hsg/ui/PageTexts.h"
#include "tests/support/DialogScript.h"

#include "hsg/ui/HsgPar.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/Text.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFontMetrics>
#include <QStatusBar>

using namespace velmoran;
using velmoran::testing::ClickControl;
using velmoran::testing::Dialog;
using velmoran::testing::Enter;
using velmoran::testing::Shown;
using velmoran::testing::TypeInto;
using velmoran::testing::ValueBeside;

namespace {

using UserRoadSix = velmoran::testing::CalculationFixture;

const std::string kSixSludgeAge = "Schlammalter gesamt t<sub>TS</sub>";
const std::string kSixDemand = "Sauerstoffbedarf gesamt OV<sub>d</sub>";
const std::string kSixSupply = "Erforderlicher Sauerstoffeintrag OC<sub>h</sub>";
const std::string kSixAir = "Erforderliche Luftmenge Q<sub>L,N</sub>";

bool SixSaid(const ScriptedPromptService& prompts, const std::string& text)
{
    return !prompts.Messages().empty() && Contains(prompts.Messages().back().Text, text);
}

}  // namespace

// "T;20" with "TSBB;0" showed 20,0 °C beside the sludge age and oxygen demand of 12 °C, "HE;0" the
// OC_h of h_E 5 m: the design refused at its last stage and the whole new run was dropped.
TEST_F(UserRoadSix, AnImportRefusedAtTheLastStageKeepsNothingOfTheRunBefore)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    const std::string demand = ValueBeside(Page(), kSixDemand), supply = ValueBeside(Page(), kSixSupply);
    window.ImportValues(files.WriteFile("warm.csv", "T;20\nTSBB;0\n"));
    window.RefreshResultPage();
    EXPECT_TRUE(SixSaid(prompts, "lässt sich nicht alles berechnen:\nDie Schlammtrockensubstanz TS_BB"));
    EXPECT_EQ(ValueBeside(Page(), kSixSludgeAge), "5,12");
    EXPECT_NE(ValueBeside(Page(), kSixDemand), demand);
    EXPECT_EQ(ValueBeside(Page(), "Volumen des Belebungsbeckens V<sub>BB</sub>"), "#");

    window.ImportValues(files.WriteFile("flach.csv", "HE;0\n"));
    window.RefreshResultPage();
    // Each refusal is said beside the other: Q_L,N shows "#" for the depth, not for TS_BB.
    EXPECT_TRUE(SixSaid(prompts, "TS_BB muss größer als 0 kg/m³ sein") && SixSaid(prompts, "Die Einblastiefe h_E"))
        << prompts.MessageTexts();
    EXPECT_NE(ValueBeside(Page(), kSixSupply), supply);
    EXPECT_NE(ValueBeside(Page(), kSixSupply), "#");
    EXPECT_EQ(ValueBeside(Page(), kSixAir), "#");
}

// µA,max 0,7 on a file with c_x 20 kept the sludge age of 0,52 beside it.
TEST_F(UserRoadSix, AParameterChangeOnARefusedCalculationIsCalculated)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    window.ImportValues(files.WriteFile("cx.csv", "cx;20\n"));
    modals.Expect([&](QWidget& shown) {
        TypeInto(shown, "edMueA", "0,7");
        ClickControl(shown, "BtnOK");
    });
    window.EditParamExecute();
    EXPECT_EQ(ValueBeside(Page(), kSixSludgeAge), "7,99");
    EXPECT_EQ(ValueBeside(Page(), kSixSupply), "#");
}

// A ".vda" opened without its ".vdh" showed its results beside the defaults (Q_L,N 0, the sludge
// age of the lost parameters): "#" now, saved so too, until the next calculation.
TEST_F(UserRoadSix, ResultsOfALostModuleFileShowAsNotComputed)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form();
    const std::string lonely = files / "Ohne.vda";
    std::filesystem::copy_file(files / "Beispiel.vda", lonely);
    window.OpenCalculationFile(lonely);
    // Said where an 800-pixel window's status line shows it, however long the folder's name.
    const QString status = window.StatusBar->currentMessage();
    const qsizetype said = status.indexOf(QStringLiteral("„#“"));
    ASSERT_GT(said, status.indexOf(QStringLiteral("gelten die Standardwerte"))) << status.toStdString();
    EXPECT_LT(window.StatusBar->fontMetrics().horizontalAdvance(status.left(said + 3)), 780) << status.toStdString();
    EXPECT_EQ(ValueBeside(Page(), kSixAir), "#");
    window.FileSaveExecute();
    window.OpenCalculationFile(lonely);
    EXPECT_EQ(ValueBeside(Page(), kSixSludgeAge), "#");

    modals.Expect([&](QWidget& shown) { ClickControl(shown, "BtnOK"); });
    window.ExecuteCommand("EDITDLG 4");
    EXPECT_EQ(ValueBeside(Page(), kSixSludgeAge), "11,28");
}

// BSB5 -250 was taken at Weiter, OK and by the import, f_P -0,6 by the parameter dialog into
// "hsg.vdt", and Y_A 1000000 was refused naming C_TKN,ZB: each is refused naming the field typed.
TEST_F(UserRoadSix, ImpossibleValuesAreRefusedNamingTheField)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    THSGDlg& dialog = Dialog(Module());
    const std::string bod = "„BSB5 im Zulauf C_BSB,ZB“";
    modals.Expect([&](QWidget& shown) {
        Enter(shown, "edCBSBzb", "-250");
        ClickControl(shown, "BtnNext");
        ClickControl(shown, "BtnOK");
        EXPECT_TRUE(shown.isVisible() && dialog.PageControl1->ActivePageIndex() == 1);
        EXPECT_EQ(prompts.Messages().size(), 3u) << prompts.MessageTexts();
        ClickControl(shown, "BtnCancel");
    });
    window.ExecuteCommand("EDITDLG 2");
    EXPECT_TRUE(SixSaid(prompts, bod));

    const std::string defaults = velmoran::testing::TempFolder::Read(dialog.ModuleTemplateFolder + "hsg.vdt");
    for (const auto& [edit, value, field] : {std::tuple{"edfP", "-0,6", "„Nicht abbaub. Anteil in Zulauf-Feststoffen"},
                                             std::tuple{"edYa", "1000000", "„Ertragsfaktor (Autotrophe Organismen)“"}}) {
        modals.Expect([&](QWidget& shown) {
            TypeInto(shown, edit, value);
            dynamic_cast<THSGPar&>(shown).chkStdParam->setChecked(true);
            ClickControl(shown, "BtnOK");
            EXPECT_TRUE(velmoran::testing::Control<QWidget>(shown, edit)->hasFocus()) << edit;
            ClickControl(shown, "BtnCancel");
        });
        window.EditParamExecute();
        EXPECT_TRUE(SixSaid(prompts, field)) << prompts.MessageTexts();
    }
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
    modals.Expect([&](QWidget& shown) {
        Enter(shown, "VarSFH", "0,8");
        EXPECT_EQ(Shown(shown, "VarSFH"), "1");
        EXPECT_TRUE(Contains(Shown(shown, "MsgV2"), "Der Sicherheitsfaktor ist von 0,80 auf 1,00 angehoben"));
        ClickControl(shown, "BtnPrevious");
        Enter(shown, "VarEtaPbio", "150");
        EXPECT_EQ(Shown(shown, "VarEtaPbio"), "100");
        EXPECT_TRUE(Contains(Shown(shown, "MsgV1"), "von 150,0 % auf 100,0 % gesenkt"));
        ClickControl(shown, "BtnOK");
    });
    window.ExecuteCommand("EDITDLG 4");
    EXPECT_TRUE(prompts.Messages().empty()) << prompts.MessageTexts();
    EXPECT_EQ(ValueBeside(Page(), "Biologische Phosphorentfernung"), "100,0");
    EXPECT_EQ(Dialog(Module()).Module().CurrentHsg().Double(hsg::kSFH), 1.0);
}
