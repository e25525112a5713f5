// The registry-ini object: sections of an ini file hold values, missing ones give the fallback,
// deleting a value or a section removes it from the file; the program's store keeps registry key
// paths with either separator; a file written by hand keeps what the program does not change; a
// file that cannot be written is reported; and where an INI file named by a key lies.
#include "platform/RegIni.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestApp.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QStandardPaths>

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace velmoran;
using velmoran::testing::TempFolder;

TEST(RegIni, ValuesLiveInSectionsOfTheFile)
{
    TempFolder folder;
    const std::string file = folder / "v.ini";
    {
        auto ini = RegIniFile::OfIniFile(file);
        ini->WriteString("Recent Files", "MRU1", "/x/a b.vda");
        ini->WriteInteger("Fenster", "Breite", 640);
        ini->WriteString("Fenster", "Titel", "Übersicht");
    }
    auto ini = RegIniFile::OfIniFile(file);
    EXPECT_EQ(ini->ReadString("Recent Files", "MRU1", "-"), "/x/a b.vda");
    EXPECT_EQ(ini->ReadString("Recent Files", "MRU2", "-"), "-");
    EXPECT_EQ(ini->ReadInteger("Fenster", "Breite", 0), 640);
    EXPECT_EQ(ini->ReadInteger("Fenster", "Titel", 7), 7);
    EXPECT_EQ(ini->ReadString("Fenster", "Titel", {}), "Übersicht");
    EXPECT_FALSE(ini->ValueExists("Recent Files", "Breite"));

    ini->DeleteKey("Fenster", "Breite");
    ini->EraseSection("Recent Files");
    ini->Sync();
    auto reread = RegIniFile::OfIniFile(file);
    EXPECT_FALSE(reread->ValueExists("Fenster", "Breite"));
    EXPECT_TRUE(reread->ValueExists("Fenster", "Titel"));
    EXPECT_FALSE(reread->ValueExists("Recent Files", "MRU1"));
}

TEST(RegIni, TheProgramStoreKeepsRegistryKeyPaths)
{
    velmoran::testing::App();
    TempFolder folder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(folder.Folder()));
    {
        RegIniFile store("Software\\Orvelan\\Velmoran");
        store.WriteString("Eingaben", "edWert", "12,5");
        EXPECT_TRUE(store.Sync());
    }
    RegIniFile again;
    EXPECT_EQ(again.ReadValue("Software/Orvelan/Velmoran/Eingaben/", "edWert"), std::optional<std::string>("12,5"));
    EXPECT_EQ(again.ReadValue("Software/Orvelan/Velmoran/Eingaben", "fehlt"), std::nullopt);
    EXPECT_NE(TempFolder::Read(folder / "Orvelan/Velmoran.conf").find("edWert"), std::string::npos);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

TEST(RegIni, IniFileOfAKey)
{
    EXPECT_EQ(ResolveIniFile("/etc/velmoran/edits.ini", "/opt/velmoran/velmoran", "/home/u/.config/Orvelan/Velmoran/"),
              "/etc/velmoran/edits.ini");
    EXPECT_EQ(ResolveIniFile("edits.ini", "/opt/velmoran/velmoran", "/home/u/.config/Orvelan/Velmoran/"),
              "/home/u/.config/Orvelan/Velmoran/edits.ini");
    EXPECT_EQ(ResolveIniFile("", "/opt/velmoran/velmoran.bin", "/cfg"), "/cfg/velmoran.INI");
    EXPECT_EQ(ResolveIniFile("", "/opt/velmoran/velmoran", "/cfg/"), "/cfg/velmoran.INI");
}

// An INI file someone wrote by hand keeps its comments, lines and values when the program writes
// its own values into it; a backslash is a backslash.
TEST(RegIni, AWrittenFileKeepsEverythingTheProgramDidNotChange)
{
    TempFolder folder;
    const std::string written = "; von Hand\n[Pfade]\nDataPath=C:\\Daten\\x\nunbekannte Zeile\n\n[Rest]\nA=1\n";
    const std::string file = folder.WriteFile("v.ini", written);
    {
        auto ini = RegIniFile::OfIniFile(file);
        EXPECT_EQ(ini->ReadString("Pfade", "DataPath", {}), "C:\\Daten\\x");
        ini->WriteString("Pfade", "DataPath", "C:\\Daten\\x");  // the same value: nothing to write
        EXPECT_TRUE(ini->Sync());
        EXPECT_EQ(TempFolder::Read(file), written);
        ini->WriteString("Pfade", "TemplatePath", "D:\\Vorlagen\\");
        EXPECT_TRUE(ini->Sync());
    }
    EXPECT_EQ(TempFolder::Read(file),
              "; von Hand\n[Pfade]\nDataPath=C:\\Daten\\x\nTemplatePath=D:\\Vorlagen\\\nunbekannte Zeile\n\n[Rest]\nA=1\n");

    // Values a line cannot hold as they are come back as they were written.
    const std::string bytes("\x00\x01\r\n=;[]\xFF", 9);
    const std::vector<std::string> texts = {"zwei\nZeilen", "  Rand ", "\"in Anf\xC3\xBChrungszeichen\"", "hex(1):41", ""};
    {
        auto ini = RegIniFile::OfIniFile(file);
        ini->WriteBinary("Rest", "Bytes", bytes);
        for (std::size_t i = 0; i < texts.size(); ++i)
            ini->WriteString("Rest", "T" + std::to_string(i), texts[i]);
    }
    auto reread = RegIniFile::OfIniFile(file);
    EXPECT_EQ(reread->ReadBinary("Rest", "Bytes"), bytes);
    for (std::size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(reread->ReadString("Rest", "T" + std::to_string(i), "-"), texts[i]) << i;
}

// A store that cannot be written says so and why, and loses nothing of the file that is there.
TEST(RegIni, AFileThatCannotBeWrittenIsReported)
{
    TempFolder folder;
    const std::string file = folder.WriteFile("nur-lesen.ini", "[A]\nX=1\n");
    ::chmod(file.c_str(), 0444);
    auto ini = RegIniFile::OfIniFile(file);
    ini->WriteString("A", "X", "2");
    EXPECT_FALSE(ini->Sync());
    EXPECT_EQ(ini->SyncError(), "Die Einstellungen konnten nicht gespeichert werden: \xE2\x80\x9E" + file +
                                    "\xE2\x80\x9C ist schreibgesch\xC3\xBCtzt.");
    EXPECT_EQ(TempFolder::Read(file), "[A]\nX=1\n");

    std::filesystem::create_directories(folder / "ordner.ini");
    auto inFolder = RegIniFile::OfIniFile(folder / "ordner.ini");
    inFolder->WriteString("A", "X", "2");
    EXPECT_FALSE(inFolder->Sync());
    EXPECT_NE(inFolder->SyncError().find("ist ein Ordner"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(folder / "ordner.ini"));
}
