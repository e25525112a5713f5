// Input in the design dialog as a new user gives it, fourth round, on the real design module and
// the example calculation: switching the input mode keeps the inflow; text that is no number is
// refused where it was typed, in the design dialog and in the parameter dialog; no result stands
// beside an input it was not computed from; a failing calculation explains itself once, naming
// the field, on every path.
#include "tests/shell/CalculationFixture.h"
#include "tests/hsg/ui/PageTexts.h"
#include "tests/support/DialogScript.h"

#include "controls/HtmlRadioButton.h"
#include "framework/CommonRecord.h"
#include "framework/ui/EditFloat.h"
#include "hsg/ui/HsgDlg.h"
#include "hsg/ui/HsgPar.h"
#include "platform/Prompt.h"
#include "platform/core/Cp1252.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/Text.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTest>

#include <array>
#include <cmath>

using namespace velmoran;
using velmoran::testing::Activate;
using velmoran::testing::Control;
using velmoran::testing::Dialog;

namespace {

using UserRoadFour = velmoran::testing::CalculationFixture;

// The concentrations of the inflow page, block 0.
constexpr std::array<std::size_t, 6> kFourInflowConcentrations = {block::kCBSBzb, block::kXTSzb, block::kCTKNzb,
                                                                   block::kSNH4zb, block::kSNO3zb, block::kCPzb};

// The texts of the messages shown since `from`, one a line.
std::string FourMessagesSince(const ScriptedPromptService& prompts, std::size_t from)
{
    std::string texts;
    for (std::size_t i = from; i < prompts.Messages().size(); ++i)
        texts += prompts.Messages()[i].Text + "\n";
    return texts;
}

// Types the text over the edit's (of a frame) and leaves the field with Tab, then lets the
// events that follow the focus change run, as the user's next look at the screen does.
void FourTypeAndLeave(QWidget& window, const std::string& name, const QString& text)
{
    velmoran::testing::Enter(window, name, text);
    QApplication::processEvents();
}

// While it lives, notes what a result label shows whenever a message comes, and hands the
// message on to the prompts below it.
class FourResultAtEveryMessage : public PromptService {
public:
    FourResultAtEveryMessage(QWidget& window, const std::string& label)
        : label_(Control<QLabel>(window, label)), below_(SetPromptService(this))
    {
    }
    ~FourResultAtEveryMessage() override { SetPromptService(below_); }
    FourResultAtEveryMessage(const FourResultAtEveryMessage&) = delete;
    FourResultAtEveryMessage& operator=(const FourResultAtEveryMessage&) = delete;

    int MessageDlg(const std::string& text, MsgDlgType type, unsigned buttons) override
    {
        if (label_ && label_->isVisible())
            seen_ += (seen_.empty() ? "" : " ") + label_->text().trimmed().toStdString();
        return below_->MessageDlg(text, type, buttons);
    }
    // The label's texts at the messages shown on its page, blank-separated.
    const std::string& Seen() const { return seen_; }

private:
    QLabel* label_;
    PromptService* below_;
    std::string seen_;
};

TEditFloat* FourFrameEdit(QWidget& window, const std::string& name)
{
    auto* frame = Control<TVarFrame>(window, name);
    return frame ? frame->Edit : nullptr;
}

}  // namespace

// In "Frachten" a Zufluss of 0 once made every concentration 0 on the spot: switched back to
// "Konzentrationen" they stayed 0, and typing the flow again brought nothing back. Without a flow
// the conversion now leaves both sides as they are; leaving the page or OK says that loads need a
// Zufluss, naming the field, and the page stays. With the flow again the inflow is as it was.
TEST_F(UserRoadFour, SwitchingTheInputModeKeepsTheInflow)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    THSGDlg& dialog = Dialog(Module());
    const TCommonRecord stored = dialog.Module().CurrentCommon();
    const auto inflowAsStored = [&] {
        std::string differences;
        for (std::size_t member : kFourInflowConcentrations) {
            const double now = dialog.Module().EditCommon().Block(0).Double(member);
            const double before = stored.Block(0).Double(member);
            if (std::fabs(now - before) > 1e-9 * std::fabs(before))
                differences += std::to_string(member) + ": " + std::to_string(now) + " statt " +
                               std::to_string(before) + "\n";
        }
        return differences;
    };
    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        velmoran::testing::ClickControl(shown, "rbFracht");
        ASSERT_TRUE(dialog.Pages().rbFracht->Checked());
        velmoran::testing::ClickControl(shown, "BtnNext");
        ASSERT_EQ(dialog.PageControl1->ActivePageIndex(), 1);
        FourTypeAndLeave(shown, "edQD", "0");
        EXPECT_EQ(inflowAsStored(), "");
        EXPECT_TRUE(prompts.Messages().empty()) << FourMessagesSince(prompts, 0);

        // Zurück and OK: the page stays, once each it says why, naming the field.
        velmoran::testing::ClickControl(shown, "BtnPrevious");
        velmoran::testing::ClickControl(shown, "BtnOK");
        ASSERT_EQ(prompts.Messages().size(), 2u);
        for (const auto& message : prompts.Messages()) {
            EXPECT_TRUE(Contains(message.Text, "Frachten brauchen einen Zufluss")) << message.Text;
            EXPECT_TRUE(Contains(message.Text, "Der Zufluss Q_D (bei Trockenwetter im Tagesmittel)")) << message.Text;
        }
        EXPECT_TRUE(shown.isVisible());
        EXPECT_EQ(dialog.PageControl1->ActivePageIndex(), 1);
        EXPECT_TRUE(Control<QWidget>(shown, "edQD")->hasFocus());
        EXPECT_EQ(inflowAsStored(), "");

        // The flow again, back to "Konzentrationen": the inflow as it was.
        FourTypeAndLeave(shown, "edQD", "10000");
        velmoran::testing::ClickControl(shown, "BtnPrevious");
        ASSERT_EQ(dialog.PageControl1->ActivePageIndex(), 0);
        velmoran::testing::ClickControl(shown, "rbKonz");
        velmoran::testing::ClickControl(shown, "BtnNext");
        EXPECT_EQ(velmoran::testing::Shown(shown, "edCBSBzb"),
                  FormatFloat("#####0", stored.Block(0).Double(block::kCBSBzb)));
        EXPECT_EQ(inflowAsStored(), "");
        velmoran::testing::ClickControl(shown, "BtnOK");
    });
    ASSERT_TRUE(window.ExecuteCommand("EDITDLG 1"));
    EXPECT_EQ(prompts.Messages().size(), 2u);
    for (std::size_t member : kFourInflowConcentrations)
        EXPECT_NEAR(dialog.Module().CurrentCommon().Block(0).Double(member), stored.Block(0).Double(member),
                    1e-9 * std::fabs(stored.Block(0).Double(member)))
            << member;
}

// An emptied temperature printed T 0,0 °C and V_BB 26 500 m³, "25-" in Bio-P printed 0,0 %: text
// that is no number was stored as the missing 0 without a word. Leaving the field, OK, Weiter and
// Zurück now say so, naming the field; the dialog and the text stay, the record keeps its value.
TEST_F(UserRoadFour, TextThatIsNoNumberIsRefusedWhereItWasTyped)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    THSGDlg& dialog = Dialog(Module());
    const double temperature = dialog.Module().CurrentCommon().Block(0).Double(block::kT);
    const double removal = dialog.Module().CurrentHsg().Double(hsg::kEtaPBio);
    const std::string volume = velmoran::testing::ValueBeside(Page(), "Volumen des Belebungsbeckens V<sub>BB</sub>");
    const std::string empty = "Das Feld „Temperatur T“ ist leer: Ein leeres Feld ist keine Zahl.\n";
    const std::string minus = "„25-“ im Feld „Biol. Phosphorentfernung“ ist keine Zahl.\n";
    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        TEditFloat* t = FourFrameEdit(shown, "VarT");
        TEditFloat* eta = FourFrameEdit(shown, "VarEtaPbio");
        ASSERT_TRUE(t && eta);
        // Emptied as the user does it: all selected, deleted, the field left.
        t->setFocus(Qt::MouseFocusReason);
        t->selectAll();
        QTest::keyClick(t, Qt::Key_Backspace);
        QTest::keyClick(t, Qt::Key_Tab);
        QApplication::processEvents();
        EXPECT_EQ(FourMessagesSince(prompts, 0), empty);
        EXPECT_TRUE(t->hasFocus());
        EXPECT_EQ(t->text(), "");
        EXPECT_EQ(dialog.Module().EditCommon().Block(0).Double(block::kT), temperature);

        FourTypeAndLeave(shown, "VarT", QString::fromStdString(FloatToStr(temperature)));
        FourTypeAndLeave(shown, "VarEtaPbio", "25-");
        EXPECT_EQ(FourMessagesSince(prompts, 1), minus);
        EXPECT_TRUE(eta->hasFocus());
        velmoran::testing::ClickControl(shown, "BtnOK");
        EXPECT_EQ(FourMessagesSince(prompts, 2), minus);
        QTest::keyClick(eta, Qt::Key_W, Qt::AltModifier);
        QApplication::processEvents();
        EXPECT_EQ(FourMessagesSince(prompts, 3), minus);
        QTest::keyClick(eta, Qt::Key_Z, Qt::AltModifier);
        QApplication::processEvents();
        EXPECT_EQ(FourMessagesSince(prompts, 4), minus);
        EXPECT_TRUE(shown.isVisible());
        EXPECT_EQ(dialog.PageControl1->ActivePageIndex(), 2);
        EXPECT_EQ(eta->text(), "25-");
        EXPECT_EQ(dialog.Module().EditHsg().Double(hsg::kEtaPBio), removal);

        FourTypeAndLeave(shown, "VarEtaPbio", "25");
        velmoran::testing::ClickControl(shown, "BtnOK");
    });
    ASSERT_TRUE(window.ExecuteCommand("EDITDLG 3"));
    EXPECT_EQ(prompts.Messages().size(), 5u);
    EXPECT_EQ(dialog.Module().CurrentCommon().Block(0).Double(block::kT), temperature);
    EXPECT_EQ(dialog.Module().CurrentHsg().Double(hsg::kEtaPBio), 25.0);
    EXPECT_EQ(velmoran::testing::ValueBeside(Page(), "Temperatur T"), FormatFixed(0, 1, temperature));
    EXPECT_EQ(velmoran::testing::ValueBeside(Page(), "Volumen des Belebungsbeckens V<sub>BB</sub>"), volume);
}

// The parameter dialog stored "," or an emptied field as 0 (V_BB 4328 m³ followed). It refuses
// such text as the design dialog does: leaving the field, Weiter and OK say so, naming the field
// with its group; Cancel keeps nothing typed.
TEST_F(UserRoadFour, TheParameterDialogRefusesTextThatIsNoNumber)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    THSGDlg& dialog = Dialog(Module());
    const THSGRecord stored = dialog.Module().CurrentHsg();
    const std::string page = Page();
    const std::string comma = "„,“ im Feld „Halbwertskonzentration (Autotrophe Organismen)“ ist keine Zahl.\n";
    modals.Expect([&](QWidget& shown) {
        auto& parameters = dynamic_cast<THSGPar&>(shown);
        Activate(shown);
        velmoran::testing::TypeInto(shown, "edKN", QStringLiteral(","));
        QTest::keyClick(parameters.edKN, Qt::Key_Tab);
        QApplication::processEvents();
        EXPECT_EQ(FourMessagesSince(prompts, 0), comma);
        EXPECT_TRUE(parameters.edKN->hasFocus());
        velmoran::testing::ClickControl(shown, "BtnNext");
        velmoran::testing::ClickControl(shown, "BtnOK");
        EXPECT_EQ(FourMessagesSince(prompts, 0), comma + comma + comma);
        EXPECT_TRUE(shown.isVisible());
        EXPECT_EQ(parameters.pcParam->ActivePageIndex(), 0);
        EXPECT_EQ(parameters.edKN->text(), ",");
        velmoran::testing::ClickControl(shown, "BtnCancel");
    });
    window.EditParamExecute();
    EXPECT_EQ(prompts.Messages().size(), 3u);
    EXPECT_TRUE(dialog.Module().CurrentHsg() == stored);
    EXPECT_EQ(Page(), page);
}

// Alpha 0, h_E 0 and c_x at saturation printed the new input beside OC_h,RW, Q_L,N or OC_h of the
// input before ("Alpha-Wert 0,00" beside "Q_L,N 5597 m³/h"). The dialog refuses such input as it
// refuses a TS_BB of 0, naming the field, with "-" for the results meanwhile; a file or an import
// that brings it shows the results it could not compute as "#", also after saving and opening.
TEST_F(UserRoadFour, NoResultBesideAnInputItWasNotComputedFrom)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    THSGDlg& dialog = Dialog(Module());
    const TCommonRecord common = dialog.Module().CurrentCommon();
    const THSGRecord hsgRecord = dialog.Module().CurrentHsg();
    const std::string airFlow = "Erforderliche Luftmenge Q<sub>L,N</sub>";
    const std::string cleanWater = "Erforderlicher Sauerstoffeintrag in Reinwasser OC<sub>h,RW</sub>";
    const std::string supply = "Erforderlicher Sauerstoffeintrag OC<sub>h</sub>";
    ASSERT_NE(velmoran::testing::ValueBeside(Page(), airFlow).find_first_of("123456789"), std::string::npos);

    struct Refused {
        int Page;
        const char* Control;
        const char* Typed;
        const char* Named;
    };
    const Refused refusals[] = {
        {6, "VarAlpha", "0", "Der Alpha-Wert muss größer als 0 sein"},
        {6, "VarHE", "0", "Die Einblastiefe h_E muss bei Druckbelüftung größer als 0 m sein"},
        {5, "VarCX", "15", "Die Sauerstoffkonzentration im belüfteten Volumen c_x (15,00 mg/l)"},
    };
    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        for (const Refused& refused : refusals) {
            SCOPED_TRACE(refused.Control);
            velmoran::testing::EnterPage(dialog, refused.Page);
            const std::string before = velmoran::testing::Shown(shown, refused.Control);
            const std::size_t messages = prompts.Messages().size();
            FourTypeAndLeave(shown, refused.Control, QString::fromUtf8(refused.Typed));
            ASSERT_EQ(prompts.Messages().size(), messages + 1) << FourMessagesSince(prompts, messages);
            EXPECT_TRUE(Contains(prompts.Messages().back().Text, refused.Named)) << prompts.Messages().back().Text;
            for (const char* result : {"lbOCh", "lbOCRW", "lbQLN"}) {
                if (velmoran::testing::Control<QLabel>(shown, result)->isVisibleTo(&shown)) {
                    EXPECT_EQ(velmoran::testing::Shown(shown, result), "-") << result;
                }
            }
            velmoran::testing::ClickControl(shown, "BtnOK");
            EXPECT_TRUE(shown.isVisible());
            ASSERT_EQ(prompts.Messages().size(), messages + 2);
            EXPECT_TRUE(Contains(prompts.Messages().back().Text, refused.Named));
            FourTypeAndLeave(shown, refused.Control, QString::fromStdString(before));
        }
        velmoran::testing::ClickControl(shown, "BtnCancel");
    });
    window.ExecuteCommand("EDITDLG 6");
    EXPECT_TRUE(dialog.Module().CurrentCommon() == common);
    EXPECT_TRUE(dialog.Module().CurrentHsg() == hsgRecord);

    // An import of such input: the input as it came, no number computed from other input beside it.
    window.ImportValues(files.WriteFile("tiefe.csv", "HE;0\n"));
    window.RefreshResultPage();
    EXPECT_EQ(velmoran::testing::ValueBeside(Page(), "Einblastiefe h<sub>E</sub>"), "0,00");
    EXPECT_EQ(velmoran::testing::ValueBeside(Page(), airFlow), "#");
    EXPECT_NE(velmoran::testing::ValueBeside(Page(), cleanWater), "#");
    window.ImportValues(files.WriteFile("cx.csv", "HE;5\ncx;15\n"));
    window.RefreshResultPage();
    EXPECT_EQ(velmoran::testing::ValueBeside(Page(), supply), "#");
    EXPECT_EQ(velmoran::testing::ValueBeside(Page(), cleanWater), "#");
    EXPECT_EQ(velmoran::testing::ValueBeside(Page(), airFlow), "#");
    prompts.AnswerFile(files / "gesaettigt.vda");
    window.FileSaveAsExecute();
    window.OpenCalculationFile(Example());
    EXPECT_NE(velmoran::testing::ValueBeside(Page(), supply), "#");
    window.OpenCalculationFile(files / "gesaettigt.vda");
    EXPECT_EQ(velmoran::testing::ValueBeside(Page(), Utf8ToCp1252("Sauerstoffkonzentration im belüfteten Volumen c<sub>x</sub>")),
              "15,0");
    EXPECT_EQ(velmoran::testing::ValueBeside(Page(), supply), "#");

    // The other load cases stay in reach: stepping says once why nothing is computed, and goes on.
    const std::size_t messages = prompts.Messages().size();
    EXPECT_TRUE(window.ExecuteCommand("SETINDEX +"));
    ASSERT_EQ(prompts.Messages().size(), messages + 1);
    EXPECT_TRUE(Contains(prompts.Messages().back().Text, "Die Sauerstoffkonzentration im belüfteten Volumen c_x"));
    EXPECT_EQ(window.LoadCase, 1);
    EXPECT_NE(Page().find("Dieser Lastfall ist nicht aktiv."), std::string::npos);
}

// A new calculation paged with Weiter and no Zufluss showed a bare "Ungültige
// Gleitkommaoperation" at every page while page 3 showed the numbers of the calculation before;
// S_NO3,AN 0 gave a bare "Gleitkommadivision durch Null", and one TS_BB of 0 two different boxes
// for one key. Weiter and Zurück now explain as OK does, naming the field, and keep the page that
// holds it; one box an attempt; the results show "-" while the design fails, before anything is
// said, never another calculation's numbers.
TEST_F(UserRoadFour, AFailingCalculationExplainsItselfOnceOnEveryPath)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    THSGDlg& dialog = Dialog(Module());
    // The example's page 3 once seen: its numbers must not come back for another calculation.
    modals.Expect([&](QWidget& shown) {
        EXPECT_NE(velmoran::testing::Shown(shown, "stXPBM"), "-");
        velmoran::testing::ClickControl(shown, "BtnCancel");
    });
    window.ExecuteCommand("EDITDLG 3");
    ASSERT_TRUE(prompts.Messages().empty());

    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        const FourResultAtEveryMessage bound(shown, "stXPBM");
        velmoran::testing::ClickControl(shown, "BtnNext");
        EXPECT_EQ(dialog.PageControl1->ActivePageIndex(), 1);
        EXPECT_TRUE(prompts.Messages().empty()) << FourMessagesSince(prompts, 0);
        for (int attempt = 0; attempt < 2; ++attempt)
            velmoran::testing::ClickControl(shown, "BtnNext");
        const std::string flow = FourMessagesSince(prompts, 0);
        ASSERT_EQ(prompts.Messages().size(), 2u) << flow;
        EXPECT_TRUE(Contains(flow, "keine Berechnung möglich")) << flow;
        EXPECT_TRUE(Contains(flow, "Der Zufluss Q_D")) << flow;
        EXPECT_FALSE(Contains(flow, "Gleitkomma")) << flow;
        EXPECT_EQ(dialog.PageControl1->ActivePageIndex(), 1);
        EXPECT_TRUE(Control<QWidget>(shown, "edQD")->hasFocus());

        // Page 3 entered all the same (as when the dialog opens there): said once, and only after
        // its results show "-".
        velmoran::testing::EnterPage(dialog, 3);
        ASSERT_EQ(prompts.Messages().size(), 3u) << FourMessagesSince(prompts, 2);
        EXPECT_EQ(bound.Seen(), "-");
        velmoran::testing::EnterPage(dialog, 2);

        // With flow, nitrogen and phosphorus the pages have their own numbers.
        FourTypeAndLeave(shown, "edQD", "12000");
        FourTypeAndLeave(shown, "edCBSBzb", "300");
        FourTypeAndLeave(shown, "edCTKNzb", "50");
        FourTypeAndLeave(shown, "edCPzb", "9");
        velmoran::testing::ClickControl(shown, "BtnNext");
        ASSERT_EQ(dialog.PageControl1->ActivePageIndex(), 2);
        EXPECT_EQ(prompts.Messages().size(), 3u) << FourMessagesSince(prompts, 3);
        EXPECT_EQ(velmoran::testing::Shown(shown, "stCPzb"), " 9,00");

        // TS_BB 0 confirmed with Enter: one box, the results "-" before it shows.
        TEditFloat* sludge = FourFrameEdit(shown, "VarTSBB");
        ASSERT_NE(sludge, nullptr);
        sludge->setFocus(Qt::MouseFocusReason);
        sludge->selectAll();
        QTest::keyClicks(sludge, "0");
        QTest::keyClick(sludge, Qt::Key_Return);
        QApplication::processEvents();
        ASSERT_EQ(prompts.Messages().size(), 4u) << FourMessagesSince(prompts, 3);
        EXPECT_TRUE(Contains(prompts.Messages().back().Text, "Schlammtrockensubstanz TS_BB"));
        EXPECT_EQ(bound.Seen(), "- -");
        // Weiter: the page holds the field; one box, the focus on the field.
        velmoran::testing::ClickControl(shown, "BtnNext");
        EXPECT_EQ(prompts.Messages().size(), 5u);
        EXPECT_EQ(dialog.PageControl1->ActivePageIndex(), 2);
        EXPECT_TRUE(sludge->hasFocus());
        // TS_BB -1 typed and OK clicked at once: one box for the one click.
        sludge->selectAll();
        QTest::keyClicks(sludge, "-1");
        velmoran::testing::ClickControl(shown, "BtnOK");
        EXPECT_EQ(prompts.Messages().size(), 6u) << FourMessagesSince(prompts, 5);
        EXPECT_TRUE(shown.isVisible());
        FourTypeAndLeave(shown, "VarTSBB", "3,5");

        // S_NO3,AN 0 with upstream denitrification: named, not a bare division by zero.
        velmoran::testing::ClickControl(shown, "BtnNext");
        ASSERT_EQ(dialog.PageControl1->ActivePageIndex(), 3);
        velmoran::testing::Pick(dialog.Pages().cbxDV, 1);
        FourTypeAndLeave(shown, "VarSNO3an", "0");
        ASSERT_EQ(prompts.Messages().size(), 7u) << FourMessagesSince(prompts, 6);
        const std::string nitrate = prompts.Messages().back().Text;
        EXPECT_TRUE(Contains(nitrate, "Die Nitrat-Ablaufkonzentration S_NO3,AN")) << nitrate;
        EXPECT_TRUE(Contains(nitrate, "Seite „Verfahrensspezifikation (Stickstoffelimination)“")) << nitrate;
        EXPECT_FALSE(Contains(nitrate, "Gleitkomma")) << nitrate;
        EXPECT_EQ(velmoran::testing::Shown(shown, "resVBB"), "-");
        // Zurück keeps the page that holds the field, too.
        velmoran::testing::ClickControl(shown, "BtnPrevious");
        EXPECT_EQ(dialog.PageControl1->ActivePageIndex(), 3);
        EXPECT_EQ(prompts.Messages().size(), 8u) << FourMessagesSince(prompts, 7);
        velmoran::testing::ClickControl(shown, "BtnCancel");
    });
    window.FileNewExecute();
    EXPECT_EQ(modals.Shown().size(), 2u);
}
