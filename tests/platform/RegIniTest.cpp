// The registry-ini object over an ini file: sections hold values, missing ones give the fallback,
// deleting a value or a section removes it from the file.
#include "platform/RegIni.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

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
