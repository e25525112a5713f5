// The main road end to end on the real design module, report engine, frame viewer and shipped
// templates: open the example, change an input through the input dialog, import a value, refuse
// to close, save as, open again and step to the next load case. Only the user is scripted.
#include "tests/shell/CalculationFixture.h"

#include "framework/CommonRecord.h"
#include "hsg/ui/HsgDlg.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/Text.h"
#include "tests/hsg/ui/PageTexts.h"
#include "tests/support/DialogScript.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace velmoran;
using velmoran::testing::ExpandedPage;
using velmoran::testing::TempFolder;

namespace {

class MainRoad : public velmoran::testing::CalculationFixture {
protected:
    bool Click(const std::string& url)
    {
        bool handled = false;
        form->HandleHotSpot(url, handled);
        return handled;
    }
    THSGDlg& Dialog() { return dynamic_cast<THSGDlg&>(Module()); }
};

TEST_F(MainRoad, EndToEnd)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    EXPECT_TRUE(Caption().ends_with("Beispiel.vda"));
    ASSERT_EQ(Page(), ExpandedPage("Standard.vst", Example()));
    const std::string examplePage = Page();

    // The input dialog on its second page; a new flow, OK.
    int page = -1;
    modals.Expect([&](QWidget& dialog) {
        page = Dialog().PageControl1->ActivePageIndex();
        velmoran::testing::Enter(dialog, "edQD", "12000");
        velmoran::testing::ClickControl(dialog, "BtnOK");
    });
    // The aeration volume as the page shows it ("9.818" in German grouping).
    const auto volume = [&] {
        std::string text = Dialog().GetValueText("VBB");
        std::erase(text, '.');
        std::replace(text.begin(), text.end(), ',', '.');
        return std::stod(text);
    };
    const double volumeBefore = volume();
    EXPECT_TRUE(Click("EDITDLG 2"));
    EXPECT_EQ(page, 1);
    EXPECT_TRUE(Dialog().Modified);
    EXPECT_EQ(Dialog().Module().CurrentCommon().Block(0).Double(block::kQD), 12000);
    EXPECT_GT(volume(), volumeBefore);
    EXPECT_NE(Page().find("12000,0"), std::string::npos);
    EXPECT_NE(Page(), examplePage);

    // An imported value: with changes not saved, the import asks first, as the menu's does.
    const std::string csv = files.WriteFile("import.csv", "CBSBzb;300\n");
    prompts.Answer(mrNo);
    EXPECT_TRUE(Click("FILEIMPORT " + csv));
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0].Text, "Vorhandene Daten speichern ?");
    EXPECT_EQ(Dialog().Module().CurrentCommon().Block(0).Double(block::kCBSBzb), 300);

    // Closing, cancelled at the save question: nothing is lost.
    const std::string changedPage = Page();
    prompts.Answer(mrCancel);
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(Dialog().Modified);
    EXPECT_EQ(Page(), changedPage);

    // Saved as a new file and opened again: the same page and records.
    const std::string saved = files / "neu.vda";
    prompts.AnswerFile(saved);
    window.FileSaveAsExecute();
    EXPECT_EQ(shell.FileId, saved);
    EXPECT_FALSE(Dialog().Modified);
    window.OpenCalculationFile(saved);
    EXPECT_EQ(Page(), ExpandedPage("Standard.vst", saved));
    EXPECT_EQ(Page(), changedPage);
    EXPECT_EQ(Dialog().Module().CurrentCommon().Block(0).Double(block::kQD), 12000);
    EXPECT_EQ(Dialog().Module().CurrentCommon().Block(0).Double(block::kCBSBzb), 300);
    ASSERT_TRUE(Module().Exec("SaveData", {files / "wieder.vda"}));
    EXPECT_EQ(TempFolder::Read(files / "wieder.vda"), TempFolder::Read(saved));
    EXPECT_EQ(TempFolder::Read(files / "wieder.vdh"), TempFolder::Read(files / "neu.vdh"));

    // The next load case: the module recalculates once for it.
    int calculations = 0;
    Dialog().OnCommand = [&](const std::string& command) { calculations += SameText(command, "Calculate"); };
    EXPECT_TRUE(Click("SETINDEX +"));
    Dialog().OnCommand = nullptr;
    EXPECT_EQ(calculations, 1);
    EXPECT_EQ(window.LoadCase, 1);
    EXPECT_EQ(Page(), ExpandedPage("Standard.vst", saved, 1));
    EXPECT_EQ(prompts.Messages().size(), 2u);
}

}  // namespace
