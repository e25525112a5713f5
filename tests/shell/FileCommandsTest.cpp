// The commands on the calculation file: the check before a file is opened, reads that fail, the
// save question before data are discarded, save and save as, and the new calculation.
#include "tests/shell/CalculationFixture.h"

#include "hsg/ui/HsgDlg.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Text.h"

#include <gtest/gtest.h>

#include <QStackedWidget>

#include <filesystem>

using namespace velmoran;
using velmoran::testing::TempFolder;

namespace {

class OpenCheck : public velmoran::testing::CalculationFixture {};

class SaveQuestion : public velmoran::testing::CalculationFixture {
protected:
    // Unsaved changes, as an edit leaves them in the module.
    void Modify()
    {
        auto& dialog = dynamic_cast<THSGDlg&>(Module());
        dialog.Module().SetModified(true);
        dialog.Modified = true;
    }
};

TEST_F(OpenCheck, NameAndFirstByteDecideWhetherAFileIsOpened)
{
    TMainForm& window = Form();
    const std::string valid = TempFolder::Read(Example());
    struct Case {
        const char* name;
        char firstByte;
        bool accepted;
    };
    const Case cases[] = {
        {"x.vda", 5, true}, {"x.vd", 5, true},   {"x.da.v", 5, true}, {"x.vda", 6, false},
        {"x.VDA", 5, false}, {"x", 5, false},     {"x.txt", 0, false},
    };
    for (const Case& c : cases) {
        std::string bytes = valid;
        bytes[0] = c.firstByte;
        const std::string file = files.WriteFile(c.name, bytes);
        std::filesystem::copy_file(files / "Beispiel.vdh", std::filesystem::path(file).replace_extension(".vdh"),
                                   std::filesystem::copy_options::overwrite_existing);
        shell.FileId.clear();
        const std::size_t messages = prompts.Messages().size();
        window.OpenCalculationFile(file);
        if (c.accepted) {
            // Accepted: the module reads it (a byte-changed record still reads).
            EXPECT_EQ(prompts.Messages().size(), messages) << c.name;
            EXPECT_EQ(shell.FileId, file) << c.name;
        } else {
            ASSERT_EQ(prompts.Messages().size(), messages + 1) << c.name;
            EXPECT_EQ(prompts.Messages().back().Text, "Die gewählte Datei ist keine Velmoran-Datei");
            EXPECT_EQ(prompts.Messages().back().Type, MsgDlgType::Error);
            EXPECT_EQ(shell.FileId, "") << c.name;
        }
    }
}

TEST_F(OpenCheck, AnOpenedFileIsNamedAndItsResultPageShown)
{
    TMainForm& window = Form(Example());
    EXPECT_TRUE(window.CalculationLoaded);
    EXPECT_EQ(shell.FileId, Example());
    EXPECT_EQ(Caption(), "Velmoran - " + Example());
    // Started with a file: the result page is the one shown, not the messages page.
    EXPECT_FALSE(window.pcResult->isHidden());
    EXPECT_EQ(window.pcResult->currentWidget(), window.tsResultHTM);
    EXPECT_EQ(Page(), velmoran::testing::ExpandedPage("Standard.vst", Example()));
    EXPECT_TRUE(prompts.Messages().empty());
}

TEST_F(OpenCheck, AnEmptyOrMissingFileRaisesTheReadErrorAndTouchesNothing)
{
    TMainForm& window = Form(Example());
    const std::string before = Page();
    const std::pair<std::string, std::string> cases[] = {
        {files.WriteFile("leer.vda", ""), "Die Datei ist leer."},
        {files / "fehlt.vda", "Die Datei ist nicht (mehr) vorhanden."}};
    for (const auto& [file, reason] : cases) {
        try {
            window.OpenCalculationFile(file);
            ADD_FAILURE() << file;
        } catch (const Exception& error) {
            EXPECT_EQ(error.Message(), "Die Datei „" + file + "“ konnte nicht gelesen werden: " + reason);
        }
        EXPECT_EQ(shell.FileId, Example());
        EXPECT_EQ(Page(), before);
    }
    // From the command line the window shows the error itself and opens empty.
    shell.FileId.clear();
    Form(files / "fehlt.vda");
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_TRUE(Contains(prompts.Messages()[0].Text, "konnte nicht gelesen werden"));
    EXPECT_EQ(shell.FileId, "");
    EXPECT_EQ(Caption(), "Velmoran");
}

// The calculation in hand stays until another is read: a file the module cannot read is named,
// and the window keeps what it showed.
TEST_F(OpenCheck, AFileTheModuleCannotReadLeavesTheCalculationInHand)
{
    TMainForm& window = Form(Example());
    const std::string broken = files.WriteFile("b.vda", std::string(100, '\x01'));
    std::filesystem::copy_file(files / "Beispiel.vdh", files / "b.vdh");
    window.OpenCalculationFile(broken);

    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0].Text,
              "Die Datei „" + broken + "“ konnte nicht gelesen werden: Die Datei ist unvollständig (100 von 6784 Bytes).");
    EXPECT_EQ(shell.FileId, Example());
    EXPECT_EQ(Caption(), "Velmoran - " + Example());
    EXPECT_FALSE(Module().Modified);
    EXPECT_EQ(Page(), velmoran::testing::ExpandedPage("Standard.vst", Example()));
    EXPECT_FALSE(Contains(Page(), "b.vda"));
}

TEST_F(SaveQuestion, TheAnswerSaysWhetherTheCallerMayGoOn)
{
    TMainForm& window = Form(Example());
    // Not modified: no question.
    EXPECT_TRUE(window.CheckSaveModified());
    EXPECT_TRUE(prompts.Messages().empty());

    Modify();
    prompts.Answer(mrNo);
    EXPECT_TRUE(window.CheckSaveModified());
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0].Text, "Vorhandene Daten speichern ?");
    EXPECT_EQ(prompts.Messages()[0].Buttons, unsigned(mbYes | mbNo | mbCancel));

    prompts.Answer(mrCancel);
    EXPECT_FALSE(window.CheckSaveModified());

    // Yes with a file: saved under its name.
    std::filesystem::remove(Example());
    prompts.Answer(mrYes);
    EXPECT_TRUE(window.CheckSaveModified());
    EXPECT_TRUE(std::filesystem::exists(Example()));
    EXPECT_FALSE(Module().Modified);
}

TEST_F(SaveQuestion, YesGoesOnOnlyWhenTheDataWereSaved)
{
    TMainForm& window = Form();
    window.OpenCalculationFile(Example());
    window.SetFileId({});
    Modify();

    // No file and the save dialog cancelled.
    prompts.Answer(mrYes);
    prompts.AnswerFile(std::nullopt);
    EXPECT_FALSE(window.CheckSaveModified());
    ASSERT_EQ(prompts.FileRequests().size(), 1u);
    EXPECT_TRUE(prompts.FileRequests()[0].Save);
    EXPECT_EQ(prompts.FileRequests()[0].Options.Title, "Daten speichern");
    EXPECT_EQ(prompts.FileRequests()[0].Options.Filter, "Velmoran-Dateien(*.vda)|*.vda|Alle Dateien (*.*)|*.*");
    EXPECT_EQ(prompts.FileRequests()[0].Options.DefaultExt, "vda");
    EXPECT_EQ(prompts.FileRequests()[0].Options.InitialDir, shell.Folders.DataPathNoSlash);

    // A save that fails: the message with the file of the pair that failed and why, the changes
    // kept, the name unchanged.
    const std::string unwritable = files / "fehlt/x.vda";
    prompts.Answer(mrYes);
    prompts.AnswerFile(unwritable);
    EXPECT_FALSE(window.CheckSaveModified());
    EXPECT_EQ(prompts.Messages().back().Text,
              "Die Datei „" + (files / "fehlt/x.vdh") + "“ konnte nicht gespeichert werden: Der Ordner existiert nicht.");
    EXPECT_TRUE(Module().Modified);
    EXPECT_EQ(shell.FileId, "");
    EXPECT_EQ(Caption(), "Velmoran");

    // Save as a new name.
    prompts.Answer(mrYes);
    prompts.AnswerFile(files / "neu.vda");
    EXPECT_TRUE(window.CheckSaveModified());
    EXPECT_EQ(shell.FileId, files / "neu.vda");
    EXPECT_EQ(Caption(), "Velmoran - " + (files / "neu.vda"));
    EXPECT_TRUE(std::filesystem::exists(files / "neu.vdh"));
}

TEST_F(SaveQuestion, DropsOpenLinksAndClosingAskFirst)
{
    TMainForm& window = Form(Example());
    const std::string other = files / "Anlage.vda";
    std::filesystem::copy_file(Example(), other);
    std::filesystem::copy_file(files / "Beispiel.vdh", files / "Anlage.vdh");
    Modify();

    prompts.Answer(mrCancel);
    window.OnDropFiles(window, {other});
    prompts.Answer(mrCancel);
    EXPECT_TRUE(window.ExecuteCommand("FILEOPEN " + other));
    prompts.Answer(mrCancel);
    EXPECT_FALSE(window.close());
    EXPECT_EQ(prompts.Messages().size(), 3u);
    EXPECT_EQ(shell.FileId, Example());
    EXPECT_TRUE(Module().Modified);

    prompts.Answer(mrNo);
    window.OnDropFiles(window, {other});
    EXPECT_EQ(shell.FileId, other);
}

// The window takes files dropped on it: Qt offers a drop only to a window that takes drops, and
// what it hands on is the file list the drop test above opens.
TEST_F(SaveQuestion, TheWindowTakesDroppedFiles)
{
    TMainForm& window = Form(Example());
    EXPECT_TRUE(window.acceptDrops());
    ASSERT_TRUE(window.OnDropFiles);
}

TEST_F(SaveQuestion, NewStartsTheInputDialogOnItsFirstPage)
{
    TMainForm& window = Form(Example());
    int page = -1;
    modals.Expect([&](QWidget&) { page = Module().PageControl1->ActivePageIndex(); });
    window.FileNewExecute();
    EXPECT_EQ(page, 0);
    EXPECT_FALSE(window.CalculationLoaded);
    EXPECT_EQ(shell.FileId, "");
    EXPECT_EQ(Caption(), "Velmoran");
}

}  // namespace
