// The live results of the design dialog where they need care: the warning colours of the
// acid-capacity balance, a design that cannot run yet (results "-", one message per page entry,
// the fill complete and Filling cleared), a pH the design did not compute, and codes of a file
// that no list holds.
#include "ModuleDialogFixture.h"
#include "PageTexts.h"

#include "framework/CommonRecord.h"
#include "hsg/HsgCalculation.h"
#include "platform/core/NumberFormat.h"
#include "tests/hsg/Scenario.h"

#include <QComboBox>
#include <QTest>

#include <filesystem>

using namespace velmoran;
using velmoran::testing::AcidCapacityColumn;
using velmoran::testing::ClickControl;
using velmoran::testing::EnterPage;
using velmoran::testing::Enter;
using velmoran::testing::ModuleDialogTest;
using velmoran::testing::Shown;

namespace {

constexpr ColorRef kYellow = 0x00FFFF;

class HsgPageResults : public ModuleDialogTest {
protected:
    TLoadCaseBlock CurrentBlock() { return Module().CurrentCommon().Block(0); }
    ColorRef CellColor(int row) { return dlg.Pages().KSGrid->BrushCell(1, row)->Color(); }
    ColorRef GridColor() { return dlg.Pages().KSGrid->Color(); }
};

}  // namespace

TEST_F(HsgPageResults, LowAcidCapacityAndLowPhAreYellow)
{
    // Without denitrification and precipitant, and with the effluent ammonium equal to the
    // inflow's, the effluent acid capacity is exactly the inflow's.
    LoadExample();
    CurrentBlock().SetByte(block::kProcess, 0);
    Module().CurrentCommon().SetByte(common::kFT, 0);
    CurrentBlock().SetDouble(block::kSNH4zb, 1);  // SNH4ANSP 5 gives SNH4an 1
    CurrentBlock().SetDouble(block::kSNO3an, 0);
    CurrentBlock().SetDouble(block::kSKSzb, 1.49);
    runner.Expect([&](QWidget& window) {
        EnterPage(dlg, 6);
        EXPECT_EQ(dlg.Pages().KSGrid->Cells(1, 6), " 1,49");
        EXPECT_EQ(CellColor(6), kYellow);
        EnterPage(dlg, 2);
        Enter(window, "edSKSzb", "1,5");
        EnterPage(dlg, 6);
        EXPECT_EQ(Module().EditCommon().Block(0).Double(block::kSKSan), 1.5);
        EXPECT_EQ(dlg.Pages().KSGrid->Cells(1, 6), " 1,50");
        EXPECT_EQ(CellColor(6), GridColor());
    });
    dlg.Exec("EDIT", {.Mode = 1, .Page = 1});

    // The example's pH of 6.32 lies below 6.6; a tank deep enough brings it above.
    LoadExample();
    runner.Expect([&](QWidget& window) {
        EnterPage(dlg, 6);
        EXPECT_EQ(dlg.Pages().KSGrid->Cells(1, 7), "6,32");
        EXPECT_EQ(CellColor(7), kYellow);
        EXPECT_EQ(CellColor(6), GridColor());
        Enter(window, "VarSSA", "2");
        const double ph = Module().EditCommon().Block(0).Double(block::kpH);
        ASSERT_GE(ph, 6.6);
        EXPECT_EQ(dlg.Pages().KSGrid->Cells(1, 7), FormatFixed(4, 2, ph));
        EXPECT_EQ(CellColor(7), GridColor());
    });
    dlg.Exec("EDIT", {.Mode = 1, .Page = 1});
}

TEST_F(HsgPageResults, ANewCalculationOpensWithOneMessageAndDashes)
{
    // A new calculation has no flow: the design divides by zero.
    runner.Expect([&](QWidget& window) {
        ASSERT_EQ(prompts.Messages().size(), 1u);
        EXPECT_EQ(prompts.Messages()[0].Type, MsgDlgType::Error);
        EXPECT_FALSE(dlg.Filling);
        const TConstLoadCaseBlock block = std::as_const(Module()).EditCommon().Block(0);
        EXPECT_EQ(Shown(window, "VarT"), FloatToStr(block.Double(block::kT)));
        EXPECT_EQ(Shown(window, "VarTSBB"), FloatToStr(block.Double(block::kTSBB)));
        for (const char* result : {"stCPzb", "stXPBM", "stSPO4an", "stPF", "stFM"})
            EXPECT_EQ(Shown(window, result), "-") << result;

        // An edit on the page refreshes (Filling is clear) and fails quietly: one message per entry.
        Enter(window, "VarT", "11");
        EXPECT_EQ(block.Double(block::kT), 11);
        EXPECT_EQ(prompts.Messages().size(), 1u);

        // Scenario A's inflow entered on page 2: page 3 shows results again.
        ClickControl(window, "BtnPrevious");
        EXPECT_EQ(prompts.Messages().size(), 1u);  // the inflow page runs no design
        Enter(window, "edQD", "10000");
        Enter(window, "edCBSBzb", "250");
        Enter(window, "edXTSzb", "200");
        Enter(window, "edCTKNzb", "50");
        Enter(window, "edSNH4zb", "35");
        Enter(window, "edCPzb", "8");
        Enter(window, "edSKSzb", "8");
        ClickControl(window, "BtnNext");
        EXPECT_EQ(Shown(window, "stCPzb"), " 8,00");
        EXPECT_NE(Shown(window, "stXPBM"), "-");
    });
    EXPECT_FALSE(dlg.Exec("EDIT", {.Mode = 1, .Page = 3}));
    EXPECT_EQ(prompts.Messages().size(), 1u);
}

TEST_F(HsgPageResults, NoPhWithoutAlpha)
{
    // The built-in defaults (no "hsg.vdt") leave alpha at 0: the design refuses it, naming the
    // field, and shows no result at all, the pH of an earlier calculation least of all.
    std::filesystem::remove(tmp / "hsg.vdt");
    dlg.Exec("InitData");
    ASSERT_EQ(Module().CurrentHsg().Double(hsg::kAlpha), 0);
    Module().CurrentCommon() = velmoran::testing::ScenarioA().common;
    CurrentBlock().SetDouble(block::kpH, 6.1);  // a value of some earlier calculation
    runner.Expect([&](QWidget&) {
        EnterPage(dlg, 6);
        ASSERT_EQ(prompts.Messages().size(), 1u);
        EXPECT_NE(prompts.Messages()[0].Text.find("Der Alpha-Wert muss größer als 0 sein"), std::string::npos);
        EXPECT_EQ(dlg.Pages().KSGrid->Cells(1, 6), "-");
        EXPECT_EQ(dlg.Pages().KSGrid->Cells(1, 7), "-");
        EXPECT_EQ(CellColor(7), GridColor());
    });
    dlg.Exec("EDIT", {.Mode = 1, .Page = 1});

    // The example after alpha was set to 0 on the page.
    LoadExample();
    runner.Expect([&](QWidget& window) {
        EnterPage(dlg, 6);
        Enter(window, "VarAlpha", "0");
        EXPECT_EQ(Module().EditHsg().Double(hsg::kAlpha), 0);
        EXPECT_EQ(dlg.Pages().KSGrid->Cells(1, 7), "-");
        EXPECT_EQ(CellColor(7), GridColor());
    });
    dlg.Exec("EDIT", {.Mode = 1, .Page = 1});
}

TEST_F(HsgPageResults, CodesNoListHolds)
{
    LoadExample();
    Module().CurrentCommon().SetByte(common::kFT, 7);
    CurrentBlock().SetByte(block::kProcess, 2);
    Module().CurrentHsg().SetAT(3);
    runner.Expect([&](QWidget& window) {
        const THsgPageControls& c = dlg.Pages();
        EnterPage(dlg, 3);
        EXPECT_EQ(c.cbxFM->currentIndex(), -1);
        EnterPage(dlg, 4);
        EXPECT_EQ(c.cbxDV->currentIndex(), -1);
        EnterPage(dlg, 6);
        EXPECT_EQ(c.cbxAT->currentIndex(), -1);
        EXPECT_FALSE(c.pcAeration->isVisibleTo(c.pcAeration->parentWidget()));
        EXPECT_FALSE(c.pnlQLN->isVisibleTo(c.pnlQLN->parentWidget()));
        EXPECT_EQ(c.KSGrid->Cells(1, 7), "-");
        // A list set once by a known code forgets it for an unknown one.
        Module().EditHsg().SetAT(0);
        EnterPage(dlg, 6);
        EXPECT_EQ(c.cbxAT->currentIndex(), 0);
        Module().EditHsg().SetAT(3);
        EnterPage(dlg, 6);
        EXPECT_EQ(c.cbxAT->currentIndex(), -1);
        ClickControl(window, "BtnOK");
    });
    dlg.Exec("EDIT", {.Mode = 1, .Page = 1});
    EXPECT_EQ(Module().CurrentCommon().ByteAt(common::kFT), 7);
    EXPECT_EQ(CurrentBlock().ByteAt(block::kProcess), 2);
    EXPECT_EQ(Module().CurrentHsg().AT(), 3);
}
