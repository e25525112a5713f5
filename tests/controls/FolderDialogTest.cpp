// The folder dialog over the scripted prompts: the start folder (the current folder when the
// given one is missing, also after a cancel), what cancel and accept return, the options handed
// to the browser, and where the browser is placed on its screen.
#include "EnhEditTestSupport.h"

#include "controls/FolderDialog.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempFolder.h"

#include <filesystem>

using namespace velmoran;
using velmoran::testing::FolderDialog;

TEST_F(FolderDialog, MissingFolderStartsAtTheCurrentOneAndCancelKeepsIt)
{
    ScriptedPromptService prompts;
    TFolderDialog dialog;
    const std::string current = std::filesystem::current_path().string();
    EXPECT_EQ(dialog.Directory(), current);
    dialog.SetDirectory("/gibt/es/nicht");
    dialog.SetTitle("Verzeichnis für Bildschirm- und Druckvorlagen");
    EXPECT_FALSE(dialog.Execute());
    ASSERT_EQ(prompts.FolderRequests().size(), 1u);
    EXPECT_EQ(prompts.FolderRequests()[0].StartFolder, current);
    EXPECT_EQ(prompts.FolderRequests()[0].Title, "Verzeichnis für Bildschirm- und Druckvorlagen");
    EXPECT_FALSE(prompts.FolderRequests()[0].Options.NoNewFolderButton);
    EXPECT_EQ(dialog.Directory(), current);
    EXPECT_EQ(dialog.ImageIndex(), 0);
}

TEST_F(FolderDialog, AcceptReturnsTheFolder)
{
    ScriptedPromptService prompts;
    velmoran::testing::TempFolder start;
    velmoran::testing::TempFolder chosen;
    TFolderDialog dialog;
    dialog.SetDirectory(start.Folder());
    dialog.SetOptions(fdoNewDialogStyle | fdoNoNewFolderButton);
    prompts.AnswerFolder(chosen.Folder());
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(prompts.FolderRequests()[0].StartFolder, start.Folder());
    EXPECT_TRUE(prompts.FolderRequests()[0].Options.NoNewFolderButton);
    EXPECT_EQ(dialog.Directory(), chosen.Folder());
    EXPECT_EQ(dialog.ImageIndex(), 0);
    // The next browser is cancelled: the folder chosen before stays.
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.Directory(), chosen.Folder());
}

TEST_F(FolderDialog, PlacedOnTheScreenAsTold)
{
    ScriptedPromptService prompts;
    TFolderDialog dialog;
    const TRect screen{100, 0, 1125, 769};
    EXPECT_FALSE(dialog.Placement({400, 300}, screen));
    // Halves rounded toward zero: 1025 / 2 - 401 / 2 and 769 / 2 - 301 / 2.
    dialog.SetDialogPosition(TDialogPosition::fdpScreenCenter);
    EXPECT_EQ(dialog.Placement({401, 301}, screen), (TPoint{100 + 312, 234}));
    dialog.SetDialogPosition(TDialogPosition::fdpXY);
    dialog.SetDialogX(-50);
    dialog.SetDialogY(40);
    EXPECT_EQ(dialog.Placement({401, 301}, screen), (TPoint{100, 40}));
    // The browser gets the placement with its options.
    dialog.Execute();
    ASSERT_TRUE(prompts.FolderRequests()[0].Options.Place);
    EXPECT_EQ(prompts.FolderRequests()[0].Options.Place({10, 10}, {0, 0, 800, 600}), (TPoint{0, 40}));
    // The version is fixed.
    dialog.SetVersion("2.0.0.0");
    EXPECT_EQ(dialog.Version(), "1.0.0.0");
}
