// The main window's settings: the window rectangle's 16 bytes and their round trip, the values
// that must not be trusted (a short value, an empty rectangle, one on no screen), and the
// defaults of absent values; the user's own lines in the file, and a file that cannot be written.
#include "platform/RegIni.h"
#include "shell/Folders.h"
#include "shell/Settings.h"
#include "tests/shell/ShellTestEnvironment.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

#include <filesystem>
#include <sys/stat.h>

using namespace velmoran;

namespace {

class Settings : public velmoran::testing::EmptySettings {};

const std::vector<TRect> kScreens{{0, 0, 1280, 1024}, {1280, 0, 2560, 1024}};

}  // namespace

TEST_F(Settings, TheRectangleIsSixteenLittleEndianBytes)
{
    EXPECT_EQ(EncodeFormRect({1, -2, 0x01020304, 256}),
              std::string("\x01\x00\x00\x00\xfe\xff\xff\xff\x04\x03\x02\x01\x00\x01\x00\x00", 16));
}

TEST_F(Settings, WhatIsWrittenIsReadBack)
{
    {
        RegIniFile settings(kSettingsKey);
        WriteWindowSettings(settings, {1300, 40, 2100, 640}, false, true);
    }
    const TWindowSettings read = ReadWindowSettings(RegIniFile(kSettingsKey), kScreens);
    EXPECT_EQ(read.MainFormRect, std::optional<TRect>(TRect{1300, 40, 2100, 640}));
    EXPECT_FALSE(read.StartDialog);
    EXPECT_TRUE(read.SpeedBar);
    EXPECT_EQ(RegIniFile(kSettingsKey).ReadInteger({}, "StartDialog", -1), 0);
    EXPECT_EQ(RegIniFile(kSettingsKey).ReadInteger({}, "SpeedBar", -1), 1);
}

TEST_F(Settings, AbsentValuesGiveACentredWindowWithStartDialogAndToolbars)
{
    const TWindowSettings read = ReadWindowSettings(RegIniFile(kSettingsKey), kScreens);
    EXPECT_EQ(read.MainFormRect, std::nullopt);
    EXPECT_TRUE(read.StartDialog);
    EXPECT_TRUE(read.SpeedBar);
}

// A rectangle that cannot be shown is not used: the window is centred instead.
TEST_F(Settings, AnUntrustworthyRectangleAnswersNone)
{
    const std::string good = EncodeFormRect({100, 100, 900, 700});
    EXPECT_TRUE(DecodeFormRect(good, kScreens));
    EXPECT_EQ(DecodeFormRect(good.substr(0, 7), kScreens), std::nullopt);
    EXPECT_EQ(DecodeFormRect(good + "x", kScreens), std::nullopt);
    EXPECT_EQ(DecodeFormRect({}, kScreens), std::nullopt);
    EXPECT_EQ(DecodeFormRect(EncodeFormRect({100, 100, 100, 700}), kScreens), std::nullopt);
    EXPECT_EQ(DecodeFormRect(EncodeFormRect({900, 100, 100, 700}), kScreens), std::nullopt);
    EXPECT_EQ(DecodeFormRect(EncodeFormRect({3000, 100, 3800, 700}), kScreens), std::nullopt);
    EXPECT_EQ(DecodeFormRect(EncodeFormRect({-900, -700, 0, 0}), kScreens), std::nullopt);
    // Partly on a screen is enough to be seen and moved.
    EXPECT_TRUE(DecodeFormRect(EncodeFormRect({2500, 1000, 3300, 1600}), kScreens));

    RegIniFile settings(kSettingsKey);
    settings.WriteBinary({}, "MainFormRect", good.substr(0, 7));
    EXPECT_EQ(ReadWindowSettings(settings, kScreens).MainFormRect, std::nullopt);
}

// A rectangle that only touches a screen's edge shows no pixel on it: it counts as off screen,
// on every side, while one pixel across the edge is enough.
TEST_F(Settings, ARectangleTouchingAScreenOnlyAtItsEdgeIsOffScreen)
{
    const std::vector<TRect> one{{0, 0, 1280, 1024}};
    EXPECT_EQ(DecodeFormRect(EncodeFormRect({1280, 100, 1900, 700}), one), std::nullopt);
    EXPECT_EQ(DecodeFormRect(EncodeFormRect({100, 1024, 900, 1600}), one), std::nullopt);
    EXPECT_EQ(DecodeFormRect(EncodeFormRect({-800, 100, 0, 700}), one), std::nullopt);
    EXPECT_EQ(DecodeFormRect(EncodeFormRect({100, -600, 900, 0}), one), std::nullopt);
    EXPECT_TRUE(DecodeFormRect(EncodeFormRect({1279, 1023, 1900, 1600}), one));
    EXPECT_TRUE(DecodeFormRect(EncodeFormRect({-800, -600, 1, 1}), one));
}

TEST_F(Settings, TheScreensThereAreCount)
{
    const std::vector<TRect> screens = ScreenRects();
    ASSERT_FALSE(screens.empty());
    {
        RegIniFile settings(kSettingsKey);
        WriteWindowSettings(settings, {screens[0].Left + 10, screens[0].Top + 10, screens[0].Left + 300, screens[0].Top + 200},
                            true, false);
    }
    const TWindowSettings read = ReadWindowSettings();
    EXPECT_TRUE(read.MainFormRect);
    EXPECT_FALSE(read.SpeedBar);
}

// The screens as Qt reports them reach to their last pixel: a window saved with only its last
// two columns or rows (or only the very last one) on a screen is there to be seen and moved, while
// one that starts just past the screen's edge is not.
TEST_F(Settings, AWindowOnAScreensLastColumnsOrRowsIsRestored)
{
    const QRect area = QGuiApplication::primaryScreen()->geometry();
    const int right = area.right();  // the last column
    const int bottom = area.bottom();  // the last row
    const std::vector<TRect> screens = ScreenRects();
    ASSERT_EQ(screens.size(), 1u);  // nothing lies beyond the edges of the test platform's one screen
    for (const int inside : {2, 1}) {
        const TRect columns{right + 1 - inside, area.top() + 10, right + 600, area.top() + 400};
        const TRect rows{area.left() + 10, bottom + 1 - inside, area.left() + 600, bottom + 400};
        EXPECT_EQ(DecodeFormRect(EncodeFormRect(columns), screens), std::optional<TRect>(columns)) << inside;
        EXPECT_EQ(DecodeFormRect(EncodeFormRect(rows), screens), std::optional<TRect>(rows)) << inside;
    }
    EXPECT_EQ(DecodeFormRect(EncodeFormRect({right + 1, area.top() + 10, right + 600, area.top() + 400}), screens),
              std::nullopt);
    EXPECT_EQ(DecodeFormRect(EncodeFormRect({area.left() + 10, bottom + 1, area.left() + 600, bottom + 400}), screens),
              std::nullopt);

    // The same through the settings the main window reads.
    const TRect corner{right - 1, bottom - 1, right + 500, bottom + 300};
    {
        RegIniFile settings(kSettingsKey);
        WriteWindowSettings(settings, corner, true, true);
    }
    EXPECT_EQ(ReadWindowSettings().MainFormRect, std::optional<TRect>(corner));
}

// The settings file a user edited by hand: the window's values go in, and the user's comment and
// folder stay as written, backslashes and all.
TEST_F(Settings, WritingKeepsWhatTheUserWroteInTheFile)
{
    const std::string file = QSettings().fileName().toStdString();
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    velmoran::testing::TempFolder home;
    const std::string written =
        "; Daten liegen auf dem Server\n[Software\\Orvelan\\Velmoran]\nDataPath=" + home / "Daten\\x" + "\n";
    velmoran::testing::TempFolder::Write(file, written);
    RegIniFile settings(kSettingsKey);
    EXPECT_EQ(settings.ReadValue({}, "DataPath"), std::optional<std::string>(home / "Daten\\x"));
    const TFolders folders = InitFolders(home.Folder(), settings);
    EXPECT_EQ(folders.DataPath, home / "Daten\\x/");
    ASSERT_TRUE(SaveFolders(folders, settings));
    ASSERT_TRUE(WriteWindowSettings(settings, {10, 20, 300, 400}, true, false));
    const std::string now = velmoran::testing::TempFolder::Read(file);
    EXPECT_TRUE(now.starts_with(written)) << now;
    EXPECT_EQ(ReadWindowSettings(RegIniFile(kSettingsKey), kScreens).MainFormRect, std::optional<TRect>(TRect{10, 20, 300, 400}));
}

// A settings file that cannot be written: the user hears of it once, not at every write, and the
// file stays as it was.
TEST_F(Settings, AFailedWriteIsShownOnce)
{
    ScriptedPromptService prompts;
    velmoran::testing::TempFolder folder;
    const std::string file = folder.WriteFile("velmoran.ini", "; schreibgeschützt\n");
    ::chmod(file.c_str(), 0444);
    const auto settings = RegIniFile::OfIniFile(file);
    EXPECT_FALSE(WriteWindowSettings(*settings, {10, 20, 300, 400}, true, false));
    EXPECT_FALSE(WriteWindowSettings(*settings, {11, 20, 300, 400}, false, false));
    TFolders folders;
    folders.SetDataPath("/daten");
    EXPECT_FALSE(SaveFolders(folders, *settings));
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0].Type, MsgDlgType::Error);
    EXPECT_EQ(prompts.Messages()[0].Text,
              "Die Einstellungen konnten nicht gespeichert werden: „" + file + "“ ist schreibgeschützt.");
    EXPECT_EQ(velmoran::testing::TempFolder::Read(file), "; schreibgeschützt\n");
}
