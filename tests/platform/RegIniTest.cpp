// The registry-ini object: sections of an ini file hold values, missing ones give the fallback,
// deleting a value or a section removes it from the file; the program's store keeps registry key
// paths with either separator; and where an INI file named by a key lies.
#include "platform/RegIni.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestApp.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QStandardPaths>

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
