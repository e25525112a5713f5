// The model-parameter dialog through EDITPARAMS: the block shown and stored edit by edit (the
// reserved slot passed through), its two pages, the context-help button, Cancel, and OK with and
// without the check box: parameters committed with their results, defaults written or a write
// failure reported, a calculation refused with any parameters (no flow yet) leaving the command
// to go on.
#include "ModuleDialogFixture.h"

#include "framework/RecordFiles.h"
#include "framework/ui/EditFloat.h"
#include "help/WhatsThis.h"
#include "hsg/HsgCalculation.h"
#include "hsg/ui/HsgPar.h"
#include "platform/core/Exceptions.h"
#include "tests/framework/RecordHelpers.h"
#include "tests/support/DialogScript.h"
#include "tests/support/ImageCompare.h"
#include "tools/hsgdialog/DialogShots.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QWhatsThis>

#include <filesystem>

using namespace velmoran;
using velmoran::testing::Bytes;
using velmoran::testing::ClickControl;
using velmoran::testing::Control;
using velmoran::testing::ModuleDialogTest;
using velmoran::testing::ReadControl;
using velmoran::testing::TempFolder;
using velmoran::testing::TypeInto;
namespace fs = std::filesystem;

namespace {

class HsgParTest : public ModuleDialogTest {
protected:
    // The dialog of the running script.
    static THSGPar& Par(QWidget& window) { return dynamic_cast<THSGPar&>(window); }
    // A script that types the text into the edit (on page 1 or 2) and ends with the button,
    // checking the check box first when asked to.
    void ExpectTyping(const std::string& edit, int page, const QString& text, const std::string& button,
                      bool keepAsDefaults = false)
    {
        runner.Expect([=](QWidget& window) {
            if (page == 2)
                ClickControl(window, "BtnNext");
            TypeInto(window, edit, text);
            if (keepAsDefaults)
                Par(window).chkStdParam->setChecked(true);
            ClickControl(window, button);
        });
    }
    // The example's records calculated with one parameter changed.
    void ExpectedWith(std::size_t offset, double value, TCommonRecord& common, THSGRecord& hsgRecord)
    {
        common = Module().CurrentCommon();
        hsgRecord = Module().CurrentHsg();
        hsgRecord.SetDouble(offset, value);
        HsgCalculate(common, hsgRecord);
    }
};

}  // namespace

TEST_F(HsgParTest, EditsShowTheBlockAndPicturesAreTaken)
{
    LoadExample();
    Module().CurrentHsg().SetDouble(192, 123.0);  // the reserved slot
    Module().SetModified(false);
    const std::pair<const char*, const char*> shown[] = {
        {"edBH", "0,17"},  {"edYh", "0,75"},  {"edATH", "1,072"}, {"edBa", "0,05"},  {"edYa", "0,15"},
        {"edATA", "1,103"}, {"edMueA", "0,52"}, {"edATD", "1,09"},  {"edKN", "1"},     {"edIIN", "0,01"},
        {"edIBP", "0,03"}, {"edfP", "0,6"},   {"edIBN", "0,12"},  {"edFI", "0,2"},   {"edFOVS", "0,56"},
        {"edFOVE", "0,2"}, {"edFOVD", "0,75"}};
    runner.Expect([&](QWidget& window) {
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Parameter"));
        EXPECT_FALSE(Par(window).chkStdParam->isChecked());
        EXPECT_EQ(Par(window).chkStdParam->text(), QStringLiteral("Als Standardwerte verwenden"));
        for (const auto& [name, text] : shown)
            EXPECT_EQ(ReadControl(window, name), text) << name;
        const std::vector<QImage> pages = PagePictures(Par(window));
        ASSERT_EQ(pages.size(), 2u);
        for (std::size_t i = 0; i < pages.size(); ++i)
            velmoran::testing::ExpectLooksLikeRecorded(pages[i], "pictures/hsg-params-" + std::to_string(i + 1) + ".png",
                                                       "hsg", "params-" + std::to_string(i + 1), 24, 40);
        EXPECT_NE(pages[0], pages[1]);
        ClickControl(window, "BtnOK");
    });
    EXPECT_TRUE(dlg.Exec("EditParams"));
    EXPECT_FALSE(dlg.Modified) << "OK without change commits nothing";
    EXPECT_EQ(Module().CurrentHsg().Double(192), 123.0);

    // With a change the reserved slot still comes back as it was.
    ExpectTyping("edYh", 1, "0,7", "BtnOK");
    EXPECT_TRUE(dlg.Exec("EditParams"));
    EXPECT_EQ(Module().CurrentHsg().Double(hsg::kYh), 0.7);
    EXPECT_EQ(Module().CurrentHsg().Double(192), 123.0);
}

TEST_F(HsgParTest, TypedValueIsStoredEvenWhenOkIsClickedInTheEdit)
{
    LoadExample();
    // Leaving the edit stores the value; Cancel then throws it away.
    runner.Expect([&](QWidget& window) {
        ClickControl(window, "BtnNext");
        TypeInto(window, "edfP", "0,7");
        QTest::keyClick(Control(window, "edfP"), Qt::Key_Tab);
        EXPECT_EQ(LoadDoubleLE(Par(window).ParameterBlock().data() + (hsg::kfP - hsg::kParameterBlock)), 0.7);
        ClickControl(window, "BtnCancel");
    });
    EXPECT_TRUE(dlg.Exec("EditParams"));
    EXPECT_EQ(Module().CurrentHsg().Double(hsg::kfP), 0.6);

    // OK straight from the edit: the value reaches the record all the same.
    ExpectTyping("edfP", 2, "0,7", "BtnOK");
    EXPECT_TRUE(dlg.Exec("EditParams"));
    EXPECT_EQ(Module().CurrentHsg().Double(hsg::kfP), 0.7);

    // An emptied edit once stored 0: it is no number, and OK says so and keeps the dialog open.
    runner.Expect([&](QWidget& window) {
        auto* edit = Control<QLineEdit>(window, "edKN");
        edit->setFocus();
        edit->clear();
        ClickControl(window, "BtnOK");
        EXPECT_TRUE(window.isVisible());
        ClickControl(window, "BtnCancel");
    });
    EXPECT_TRUE(dlg.Exec("EditParams"));
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0].Text,
              "Das Feld „Halbwertskonzentration (Autotrophe Organismen)“ ist leer: Ein leeres Feld ist keine Zahl.");
    EXPECT_EQ(Module().CurrentHsg().Double(hsg::kkN), 1.0);
}

TEST_F(HsgParTest, PagesButtonsAndContextHelp)
{
    runner.Expect([&](QWidget& window) {
        THSGPar& par = Par(window);
        EXPECT_EQ(par.pcParam->ActivePageIndex(), 0);
        EXPECT_FALSE(par.BtnPrevious->isEnabled());
        EXPECT_TRUE(par.BtnNext->isEnabled());
        ClickControl(window, "BtnNext");
        EXPECT_EQ(par.pcParam->ActivePageIndex(), 1);
        EXPECT_TRUE(par.BtnPrevious->isEnabled());
        EXPECT_FALSE(par.BtnNext->isEnabled());
        par.BtnNextClick();  // stays on the last page
        EXPECT_EQ(par.pcParam->ActivePageIndex(), 1);
        ClickControl(window, "BtnPrevious");
        EXPECT_EQ(par.pcParam->ActivePageIndex(), 0);
        par.BtnPreviousClick();
        EXPECT_EQ(par.pcParam->ActivePageIndex(), 0);

        // The program's own context help, from the band's button and from the caption's "?": Qt's
        // "What's this?" mode is never entered.
        EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
        ASSERT_EQ(par.ContextHelpButton(), Control<QAbstractButton>(window, "BtnContextHelp"));
        ClickControl(window, "BtnContextHelp");
        EXPECT_TRUE(par.WhatsThis->InContextMode());
        EXPECT_EQ(TWhatsThis::ActiveInstance(), par.WhatsThis);
        EXPECT_FALSE(QWhatsThis::inWhatsThisMode());
        par.WhatsThis->LeaveContextMode();
        QEvent captionHelp(QEvent::EnterWhatsThisMode);
        QApplication::sendEvent(qApp, &captionHelp);
        EXPECT_EQ(par.WhatsThis->CurrentMode(), TWhatsThis::mdCaptionHelp);
        EXPECT_FALSE(QWhatsThis::inWhatsThisMode());
        QTest::keyClick(par.edBH, Qt::Key_Shift);  // a key ends it
        EXPECT_EQ(par.WhatsThis->CurrentMode(), TWhatsThis::mdIdle);
        EXPECT_TRUE(window.isVisible());
    });
    EXPECT_TRUE(dlg.Exec("EditParams"));
}

TEST_F(HsgParTest, CancelChangesNeitherRecordsNorFiles)
{
    LoadExample();
    const TCommonRecord common = Module().CurrentCommon();
    const THSGRecord hsgRecord = Module().CurrentHsg();
    const std::string defaults = TempFolder::Read(tmp / "hsg.vdt");
    ExpectTyping("edYh", 1, "0,7", "BtnCancel", true);
    runner.Expect([](QWidget& window) {
        TypeInto(window, "edYh", "0,7");
        window.close();
    });
    EXPECT_TRUE(dlg.Exec("EditParams"));
    EXPECT_TRUE(dlg.Exec("EditParams"));
    EXPECT_EQ(Module().CurrentCommon(), common);
    EXPECT_EQ(Module().CurrentHsg(), hsgRecord);
    EXPECT_EQ(TempFolder::Read(tmp / "hsg.vdt"), defaults);
    EXPECT_FALSE(dlg.Modified);
    EXPECT_TRUE(prompts.Messages().empty());
}

TEST_F(HsgParTest, OkCommitsTheParametersWithTheirResults)
{
    LoadExample();
    TCommonRecord common;
    THSGRecord hsgRecord;
    ExpectedWith(hsg::kYh, 0.7, common, hsgRecord);
    const std::string oldVolume = dlg.GetValueText("VBB");
    const std::string defaults = TempFolder::Read(tmp / "hsg.vdt");

    ExpectTyping("edYh", 1, "0,7", "BtnOK");
    EXPECT_TRUE(dlg.Exec("EditParams"));
    EXPECT_EQ(Bytes(Module().CurrentCommon()), Bytes(common));
    EXPECT_EQ(Bytes(Module().CurrentHsg()), Bytes(hsgRecord));
    EXPECT_TRUE(dlg.Modified);
    EXPECT_EQ(TempFolder::Read(tmp / "hsg.vdt"), defaults) << "no check box, no defaults";
    EXPECT_EQ(Module().ph().FieldByName("Yh").AsString(), "0,7");
    EXPECT_NE(dlg.GetValueText("VBB"), oldVolume);
    EXPECT_EQ(dlg.GetValueText("VBB"), Module().GetValueText("VBB"));

    // The same parameters again leave an unsaved flag alone, and so does Cancel.
    dlg.Exec("SaveData", {.Text = tmp / "plant.vda"});
    runner.Expect([](QWidget& window) { ClickControl(window, "BtnOK"); });
    EXPECT_TRUE(dlg.Exec("EditParams"));
    EXPECT_FALSE(dlg.Modified);
}

TEST_F(HsgParTest, KeptAsDefaultsTheParametersGoToBothFiles)
{
    LoadExample();
    TCommonRecord common;
    THSGRecord hsgRecord;
    ExpectedWith(hsg::kYh, 0.7, common, hsgRecord);
    THSGRecord defaults = Module().DefaultHsg();
    defaults.SetDouble(hsg::kYh, 0.7);

    ExpectTyping("edYh", 1, "0,7", "BtnOK", true);
    EXPECT_TRUE(dlg.Exec("EditParams"));
    EXPECT_EQ(TempFolder::Read(tmp / "hsg.vdt"), Bytes(defaults));
    EXPECT_EQ(TempFolder::Read(tmp / "common.vdt"), Bytes(Module().DefaultCommon()));
    EXPECT_EQ(Bytes(Module().CurrentHsg()), Bytes(hsgRecord)) << "and the calculation has them too";
    EXPECT_EQ(Bytes(Module().CurrentCommon()), Bytes(common));
    EXPECT_TRUE(prompts.Messages().empty());
}

TEST_F(HsgParTest, FailedDefaultsWriteIsShownAndTheParametersAreCommitted)
{
    LoadExample();
    // A folder stands where "hsg.vdt" goes, so it cannot be replaced.
    fs::remove(tmp / "hsg.vdt");
    fs::create_directories(tmp / "hsg.vdt/inside");
    ExpectTyping("edYh", 1, "0,7", "BtnOK", true);
    EXPECT_TRUE(dlg.Exec("EditParams"));
    ASSERT_EQ(prompts.Messages().size(), 1u);
    const std::string& text = prompts.Messages()[0].Text;
    EXPECT_EQ(text.rfind("Die Standardwerte konnten nicht gespeichert werden.\n", 0), 0u) << text;
    EXPECT_NE(text.find("hsg.vdt"), std::string::npos) << text;
    EXPECT_EQ(prompts.Messages()[0].Type, MsgDlgType::Error);
    EXPECT_TRUE(fs::is_directory(tmp / "hsg.vdt/inside"));
    EXPECT_EQ(Module().CurrentHsg().Double(hsg::kYh), 0.7);
    EXPECT_TRUE(dlg.Modified);
}

TEST_F(HsgParTest, NewCalculationWritesDefaultsAndCommits)
{
    // No flow yet: the calculation is refused with any parameters, so these are taken, and the
    // command goes on (so that the page is rebuilt) rather than raising the refusal of the flow.
    const TCommonRecord common = Module().CurrentCommon();
    ExpectTyping("edYh", 1, "0,7", "BtnOK", true);
    EXPECT_TRUE(dlg.Exec("EditParams"));
    THSGRecord written;
    ASSERT_TRUE(ReadRecordFile(tmp / "hsg.vdt", written.Raw()));
    EXPECT_EQ(written.Double(hsg::kYh), 0.7);
    EXPECT_EQ(Module().CurrentHsg().Double(hsg::kYh), 0.7);
    EXPECT_EQ(Module().CurrentCommon(), common) << "the results keep their values";
    EXPECT_TRUE(dlg.Modified);
}
