// The design module's dialog as the main window drives it: what it tells about itself, the data
// commands handed to the module, the commands it refuses, and EDIT over the edit copies (pages,
// OK caption, Cancel and close, the commit with its recalculation, an arithmetic error at OK).
#include "ModuleDialogFixture.h"
#include "PageTexts.h"

#include "hsg/HsgCalculation.h"
#include "framework/CommonRecord.h"
#include "platform/core/DateTime.h"
#include "platform/core/Exceptions.h"
#include "tests/support/DialogScript.h"
#include "tests/support/ImageCompare.h"
#include "tools/hsgdialog/DialogShots.h"

#include <QLabel>

using namespace velmoran;
using velmoran::testing::ClickControl;
using velmoran::testing::Control;
using velmoran::testing::ModuleDialogTest;
using velmoran::testing::Records;
using velmoran::testing::SaveArtifact;

namespace {

class HsgDlgCommands : public ModuleDialogTest {};
class HsgDlgEdit : public ModuleDialogTest {};

}  // namespace

TEST_F(HsgDlgCommands, TheModuleAsTheMainWindowSeesIt)
{
    EXPECT_EQ(dlg.ModuleName, "Bemessung nach HSG");
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Bemessung nach HSG"));
    // The caption's "?" for context help, where the window manager draws one.
    EXPECT_TRUE(dlg.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
    EXPECT_EQ(dlg.CompanionExt, ".vdh");
    EXPECT_EQ(dlg.ModuleTemplateFolder, tmp.Folder());
    EXPECT_EQ(dlg.DataSets, Module().DataSets());
    ASSERT_EQ(dlg.FieldNames.size(), 245u);
    EXPECT_EQ(dlg.FieldNames.back(), "fKLA");

    const char* titles[] = {" Allgemeines", " Belastung", " Verfahrensspezifikation",
                            " Verfahrensspezifikation (Stickstoffelimination)", " Sauerstoffbedarf",
                            " Belüftung und Säurekapazität"};
    ASSERT_EQ(dlg.PageControl1->PageCount(), 6);
    for (int page = 0; page < 6; ++page) {
        const std::string name = "lbPT0" + std::to_string(page + 1);
        auto* title = Control<QLabel>(dlg, name);
        ASSERT_NE(title, nullptr);
        EXPECT_EQ(title->text().toStdString(), titles[page]);
        EXPECT_EQ(dlg.PageIndexOfControl(title), page) << name;
    }
    EXPECT_EQ(dlg.DlgCancel->Hint(), "Bearbeitung abbrechen");
    EXPECT_EQ(dlg.DlgPrevious->Hint(), "Zur vorigen Seite gehen");
    EXPECT_EQ(dlg.DlgNext->Hint(), "Zur nächsten Seite gehen");
    EXPECT_EQ(dlg.DlgOK->Hint(), "Bearbeitung abschließen");
}

TEST_F(HsgDlgCommands, DataCommandsGoToTheModule)
{
    LoadExample();
    EXPECT_FALSE(dlg.Modified);
    EXPECT_EQ(dlg.GetValueText("QD"), Module().GetValueText("QD"));
    EXPECT_EQ(dlg.GetValueText("SFH"), Module().dh().FieldByName("SFH").AsString());
    EXPECT_EQ(dlg.GetValueText("KeinFeld"), "");

    // "calculate" in lower case calculates the edit copies, and only them.
    const Records before(Module());
    Module().TakeEditCopies();
    TCommonRecord common = Module().EditCommon();
    THSGRecord hsgRecord = Module().EditHsg();
    common.Block(0).SetDouble(block::kT, 10);
    Module().EditCommon().Block(0).SetDouble(block::kT, 10);
    HsgCalculate(common, hsgRecord);
    EXPECT_TRUE(dlg.Exec("calculate"));
    EXPECT_EQ(Module().EditCommon(), common);
    EXPECT_EQ(Module().EditHsg(), hsgRecord);
    EXPECT_EQ(Records(Module()), before);

    // The flag the main window reads follows the module's.
    Module().SetModified(true);
    EXPECT_TRUE(dlg.Exec("SaveData", {.Text = tmp / "plant.vda"}));
    EXPECT_FALSE(dlg.Modified);
    EXPECT_FALSE(dlg.Exec("SaveData", {.Text = ""}));

    // A new calculation has no flow: CALCULATE raises for the application to show.
    EXPECT_TRUE(dlg.Exec("InitData"));
    Module().TakeEditCopies();
    EXPECT_THROW(dlg.Exec("Calculate"), EMathError);
}

TEST_F(HsgDlgCommands, ForeignCommandsChangeNothing)
{
    LoadExample();
    Module().SetModified(true);
    const Records before(Module());
    // No script is queued: a window shown here would fail the test.
    for (const char* command : {"EDITSPECIAL", "EditSpecial", "CheckAll", "foo", ""})
        EXPECT_FALSE(dlg.Exec(command, {.Text = "x", .Mode = 1, .Page = 2})) << command;
    EXPECT_EQ(Records(Module()), before);
    EXPECT_TRUE(dlg.Modified);

    std::vector<std::string> topics = {"ZB;T1"};
    EXPECT_FALSE(dlg.Exec("CHECKTOPICS", {.List = &topics}));
    EXPECT_TRUE(topics.empty());
    topics = {"PH"};
    EXPECT_FALSE(dlg.CheckAll(topics));
    EXPECT_TRUE(topics.empty());
    EXPECT_FALSE(dlg.ShowMessages("ZB;T1"));
    EXPECT_TRUE(dlg.MessageList.empty());
}

TEST_F(HsgDlgEdit, OkCaptionFollowsTheMode)
{
    LoadExample();
    // Mode 1: OK on every page.
    runner.Expect([&](QWidget& window) {
        for (int page = 0; page < 6; ++page) {
            EXPECT_EQ(dlg.PageControl1->ActivePageIndex(), page);
            EXPECT_TRUE(Control(window, "BtnOK")->isVisible()) << "page " << page + 1;
            if (page < 5)
                ClickControl(window, "BtnNext");
        }
        EXPECT_FALSE(Control(window, "BtnNext")->isEnabled());
    });
    EXPECT_FALSE(dlg.Exec("EDIT", {.Mode = 1, .Page = 1}));
    EXPECT_EQ(dlg.DlgOK->Caption(), "&OK");

    // Mode 0: "Fertigstellen" on the last page only.
    runner.Expect([&](QWidget& window) {
        for (int page = 0; page < 6; ++page) {
            EXPECT_EQ(Control(window, "BtnOK")->isVisible(), page == 5) << "page " << page + 1;
            if (page < 5)
                ClickControl(window, "BtnNext");
        }
        ClickControl(window, "BtnPrevious");
        EXPECT_EQ(dlg.PageControl1->ActivePageIndex(), 4);
        EXPECT_FALSE(Control(window, "BtnOK")->isVisible());
    });
    EXPECT_FALSE(dlg.Exec("EDIT", {.Mode = 0, .Page = 1}));
    EXPECT_EQ(dlg.DlgOK->Caption(), "&Fertigstellen");
}

TEST_F(HsgDlgEdit, PageOutsideTheDialogKeepsThePageShownLast)
{
    LoadExample();
    auto expectPage = [&](int index) {
        runner.Expect([this, index](QWidget&) {
            EXPECT_EQ(dlg.PageControl1->ActivePageIndex(), index);
            EXPECT_EQ(dlg.CurrentPage, index);
        });
    };
    expectPage(2);
    dlg.Exec("EDIT", {.Mode = 1, .Page = 3});
    for (const int page : {0, -1, 7}) {
        expectPage(2);
        dlg.Exec("EDIT", {.Mode = 1, .Page = page});
    }
    expectPage(5);
    dlg.Exec("EDIT", {.Mode = 1, .Page = 6});
}

TEST_F(HsgDlgEdit, CancelAndCloseKeepTheRecords)
{
    LoadExample();
    Module().SetModified(false);
    const Records before(Module());
    // A change in the edit copies, then Cancel; a change, then the close button.
    runner.Expect([&](QWidget& window) {
        Module().EditCommon().Block(0).SetDouble(block::kT, 10);
        ClickControl(window, "BtnCancel");
    });
    runner.Expect([&](QWidget& window) {
        Module().EditCommon().Block(0).SetDouble(block::kT, 10);
        window.close();
    });
    EXPECT_FALSE(dlg.Exec("EDIT", {.Mode = 1, .Page = 2}));
    EXPECT_FALSE(dlg.Exec("EDIT", {.Mode = 1, .Page = 2}));
    EXPECT_EQ(Records(Module()), before);
    EXPECT_FALSE(dlg.Modified);
}

TEST_F(HsgDlgEdit, OkCommitsTheCalculatedCopies)
{
    LoadExample();
    TCommonRecord common = Module().CurrentCommon();
    THSGRecord hsgRecord = Module().CurrentHsg();
    common.Block(0).SetDouble(block::kT, 10);
    HsgCalculate(common, hsgRecord);
    const std::string oldVolume = dlg.GetValueText("VBB");

    runner.Expect([&](QWidget& window) {
        Module().EditCommon().Block(0).SetDouble(block::kT, 10);
        ClickControl(window, "BtnOK");
    });
    EXPECT_TRUE(dlg.Exec("EDIT", {.Mode = 1, .Page = 4}));
    EXPECT_TRUE(dlg.Modified);
    EXPECT_EQ(Module().CurrentCommon(), common);
    EXPECT_EQ(Module().CurrentHsg(), hsgRecord);
    EXPECT_NE(dlg.GetValueText("VBB"), oldVolume);

    // A second look confirmed without change keeps the first change unsaved.
    runner.Expect([&](QWidget& window) { ClickControl(window, "BtnOK"); });
    EXPECT_TRUE(dlg.Exec("EDIT", {.Mode = 1, .Page = 4}));
    EXPECT_TRUE(dlg.Modified);
    EXPECT_EQ(Module().CurrentCommon(), common);
}

TEST_F(HsgDlgEdit, ArithmeticErrorAtOkCommitsNothing)
{
    // A new calculation: no flow, which the calculation at OK refuses. OK is refused with a
    // message naming the field and its page, and the dialog stays open on the edit; the user then
    // cancels.
    const Records before(Module());
    runner.Expect([&](QWidget& window) {
        Module().EditCommon().Block(0).SetDouble(block::kT, 10);
        ClickControl(window, "BtnOK");
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(Module().EditCommon().Block(0).Double(block::kT), 10);
    });
    EXPECT_FALSE(dlg.Exec("EDIT", {.Mode = 1, .Page = 1}));
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_NE(prompts.Messages()[0].Text.find("Zufluss Q_D"), std::string::npos) << prompts.Messages()[0].Text;
    EXPECT_NE(prompts.Messages()[0].Text.find("Seite „Belastung“"), std::string::npos) << prompts.Messages()[0].Text;
    EXPECT_EQ(Records(Module()), before);
    EXPECT_FALSE(dlg.Modified);
}

// A calculation without a date shows today on the first page; OK keeps that date when nothing
// else changed. A date the user never saw (the first page not shown) is not stored, and a
// calculation that cannot be designed yet is confirmed as it is, without an error.
TEST_F(HsgDlgEdit, OkKeepsTheDateTheFirstPageShowed)
{
    // The defaults: no flow, no date.
    runner.Expect([&](QWidget& window) { ClickControl(window, "BtnOK"); });
    EXPECT_TRUE(dlg.Exec("EDIT", {.Mode = 1, .Page = 1}));
    EXPECT_TRUE(prompts.Messages().empty());
    EXPECT_EQ(Module().CurrentCommon().Double(common::kDatum), 0.0);

    LoadExample();
    Module().CurrentCommon().SetDouble(common::kDatum, 0);
    Module().SetModified(false);
    runner.Expect([&](QWidget& window) { ClickControl(window, "BtnOK"); });
    EXPECT_TRUE(dlg.Exec("EDIT", {.Mode = 1, .Page = 3}));
    EXPECT_EQ(Module().CurrentCommon().Double(common::kDatum), 0.0);
    EXPECT_FALSE(dlg.Modified);
    runner.Expect([&](QWidget& window) { ClickControl(window, "BtnOK"); });
    EXPECT_TRUE(dlg.Exec("EDIT", {.Mode = 1, .Page = 1}));
    EXPECT_EQ(Module().CurrentCommon().Double(common::kDatum), Date());
    EXPECT_TRUE(dlg.Modified);
}

TEST_F(HsgDlgEdit, PagesAsPictures)
{
    LoadExample();
    runner.Expect([&](QWidget& window) {
        const std::vector<QImage> pages = PagePictures(dlg);
        ASSERT_EQ(pages.size(), 6u);
        for (std::size_t i = 0; i < pages.size(); ++i) {
            const QImage& page = pages[i];
            EXPECT_EQ(page.size(), dlg.size());
            // The title band spans the page in blue; the navigation band is dark blue.
            const QColor band = page.pixelColor(page.width() - 3, 3);
            EXPECT_EQ(band.red(), 0) << "page " << i + 1;
            EXPECT_GT(band.blue(), 40) << "page " << i + 1;
            EXPECT_EQ(page.pixelColor(5, page.height() - 5), QColor(0, 0, 128));
            // Compared with its recording: where the frames, grids and results stand, and
            // their fonts.
            velmoran::testing::ExpectLooksLikeRecorded(page, "pictures/hsg-page-" + std::to_string(i + 1) + ".png",
                                                       "hsg", "page-" + std::to_string(i + 1), 24, 40);
        }
        EXPECT_EQ(dlg.PageControl1->ActivePageIndex(), 0) << "the page shown before comes back";
        // What the pictures show is the example's reference.
        EXPECT_EQ(velmoran::testing::TextDifferences(dlg, velmoran::testing::kExampleTexts), "");
        EXPECT_EQ(velmoran::testing::AcidCapacityColumn(dlg), velmoran::testing::kExampleAcidCapacity);
        ClickControl(window, "BtnOK");
    });
    EXPECT_TRUE(dlg.Exec("EDIT", {.Mode = 1, .Page = 1}));
    EXPECT_FALSE(dlg.Modified);
}
