// The shell's folders: their defaults below the home folder, the settings that override them
// (with or without a trailing "/"), their writing back; the seeding of the template root from
// the program's templates, which never overwrites a file the user changed; the language level of
// a module's template folder; and the files the build puts beside the program.
#include "platform/RegIni.h"
#include "shell/Folders.h"
#include "shell/Language.h"
#include "tests/shell/ShellTestEnvironment.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <QStandardPaths>

#include <filesystem>

using namespace velmoran;
using velmoran::testing::TempFolder;
using velmoran::testing::TestHome;

namespace fs = std::filesystem;

namespace {

class Folders : public velmoran::testing::EmptySettings {};

const char* const kSeededFiles[] = {"de/HSG/Standard.vst", "de/HSG/Standard.vpt", "de/HSG/hsg.vdt",
                                    "de/HSG/common.vdt"};

// A program folder holding the templates that come with the program.
void InstallTemplates(const TempFolder& program)
{
    fs::copy(fs::path(VELMORAN_DATA_DIR) / "templates", program / "templates", fs::copy_options::recursive);
}

}  // namespace

TEST_F(Folders, DefaultsLieBelowTheHomeFolder)
{
    TempFolder program;
    const TFolders folders = InitFolders(program.Folder() + "bin", RegIniFile(kSettingsKey));

    EXPECT_EQ(folders.ProgramFolder, program.Folder() + "bin/");
    EXPECT_EQ(folders.ProgramFolderNoSlash, program.Folder() + "bin");
    EXPECT_EQ(folders.HelpPath, program.Folder() + "bin/help/");
    EXPECT_EQ(folders.DataPath, TestHome() + "Documents/Velmoran/");
    EXPECT_EQ(folders.DataPathNoSlash, TestHome() + "Documents/Velmoran");
    // The file dialogs open there, so it is made.
    EXPECT_TRUE(fs::is_directory(folders.DataPath));
    const std::string data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString();
    EXPECT_EQ(folders.TemplatePath.rfind(TestHome(), 0), 0u) << folders.TemplatePath;
    EXPECT_EQ(folders.TemplatePath, data + "/Velmoran/");
    EXPECT_EQ(folders.TemplatePathNoSlash, data + "/Velmoran");
}

TEST_F(Folders, SettingsOverrideWithOrWithoutSlash)
{
    TempFolder folder;
    RegIniFile settings(kSettingsKey);
    settings.WriteString({}, "DataPath", folder.Folder() + "Daten");
    settings.WriteString({}, "TemplatePath", folder.Folder() + "Vorlagen/");

    const TFolders folders = InitFolders(folder.Folder(), settings);
    EXPECT_EQ(folders.DataPath, folder.Folder() + "Daten/");
    EXPECT_EQ(folders.DataPathNoSlash, folder.Folder() + "Daten");
    EXPECT_TRUE(fs::is_directory(folders.DataPath));
    EXPECT_EQ(folders.TemplatePath, folder.Folder() + "Vorlagen/");
    EXPECT_EQ(folders.TemplatePathNoSlash, folder.Folder() + "Vorlagen");
}

TEST_F(Folders, SaveFoldersWritesBothBackForTheNextStart)
{
    TempFolder folder;
    TFolders folders = InitFolders(folder.Folder(), RegIniFile(kSettingsKey));
    folders.SetDataPath(folder.Folder() + "Berechnungen");
    folders.SetTemplatePath(folder.Folder() + "Vorlagen/");
    SaveFolders(folders);

    RegIniFile settings(kSettingsKey);
    EXPECT_EQ(settings.ReadValue({}, "DataPath"), std::optional<std::string>(folder.Folder() + "Berechnungen/"));
    EXPECT_EQ(settings.ReadValue({}, "TemplatePath"), std::optional<std::string>(folder.Folder() + "Vorlagen/"));
    const TFolders again = InitFolders(folder.Folder(), settings);
    EXPECT_EQ(again.DataPath, folders.DataPath);
    EXPECT_EQ(again.TemplatePath, folders.TemplatePath);
}

TEST(Seeding, AFreshTemplateFolderReceivesTheModuleFiles)
{
    TempFolder program;
    TempFolder user;
    InstallTemplates(program);

    EXPECT_EQ(SeedTemplateFolder(program.Folder(), user.Folder()), 4);
    for (const char* file : kSeededFiles)
        EXPECT_EQ(TempFolder::Read(user / file), TempFolder::Read(fs::path(VELMORAN_DATA_DIR) / "templates" / file))
            << file;
}

TEST(Seeding, FilesTheUserChangedSurviveARestart)
{
    TempFolder program;
    TempFolder user;
    InstallTemplates(program);
    SeedTemplateFolder(program.Folder(), user.Folder());
    TempFolder::Write(user / "de/HSG/hsg.vdt", "eigene Standardwerte");
    fs::remove(user / "de/HSG/Standard.vpt");

    EXPECT_EQ(SeedTemplateFolder(program.Folder(), user.Folder()), 1);
    EXPECT_EQ(TempFolder::Read(user / "de/HSG/hsg.vdt"), "eigene Standardwerte");
    EXPECT_TRUE(fs::exists(user / "de/HSG/Standard.vpt"));
}

TEST(Seeding, NothingToSeedFromIsNoError)
{
    TempFolder program;
    TempFolder user;
    EXPECT_EQ(SeedTemplateFolder(program.Folder(), user.Folder()), 0);
    EXPECT_TRUE(fs::is_empty(user.Folder()));
}

TEST(Seeding, TheModuleFolderFallsBackToGermanTemplates)
{
    TempFolder root;
    fs::create_directories(root / "de/HSG");
    EXPECT_EQ(LanguageTemplateFolder(root.Folder(), "de", "HSG"), root.Folder() + "de/HSG/");
    EXPECT_EQ(LanguageTemplateFolder(root.Folder(), "en", "HSG"), root.Folder() + "de/HSG/");
    EXPECT_EQ(LanguageTemplateFolder(root.Folder(), "", "HSG"), root.Folder() + "de/HSG/");
    fs::create_directories(root / "en/HSG");
    EXPECT_EQ(LanguageTemplateFolder(root.Folder(), "en", "HSG"), root.Folder() + "en/HSG/");
}

TEST(Seeding, TheLanguageIsTheLocalesIsoCode)
{
    EXPECT_EQ(LanguageCodeOf(QLocale(QLocale::German, QLocale::Austria)), "de");
    EXPECT_EQ(LanguageCodeOf(QLocale(QLocale::English)), "en");
    EXPECT_EQ(LanguageCodeOf(QLocale::c()), "");
}

// The program finds its bundled files beside it in the build folder.
TEST(Seeding, TheProgramFolderHoldsTheBundledFiles)
{
    const std::string program = VELMORAN_PROGRAM_DIR "/";
    for (const char* file : {"HSG.MTX", "VarTab.tra", "Standard.vst", "Standard.vpt"})
        EXPECT_TRUE(fs::is_regular_file(program + file)) << file;
    TempFolder user;
    EXPECT_EQ(SeedTemplateFolder(program, user.Folder()), 4);
    for (const char* file : kSeededFiles)
        EXPECT_TRUE(fs::is_regular_file(user / file)) << file;
}
