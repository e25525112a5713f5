// The settings stores: an INI file written and read back, the program's store in a folder of the
// test's own, group paths with either separator, and where an INI file named by a key lies.
#include "platform/Settings.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestApp.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QStandardPaths>

using namespace velmoran;

TEST(Settings, IniFileRoundTrip)
{
    velmoran::testing::TempFolder folder;
    const std::string file = folder / "edits.ini";
    {
        SettingsStore store = SettingsStore::IniFile(file);
        store.WriteString("Eingaben", "edProjekt", "Kläranlage Nord");
        store.WriteString("", "Oben", "1");
        EXPECT_TRUE(store.Flush());
    }
    const std::string text = velmoran::testing::TempFolder::Read(file);
    EXPECT_NE(text.find("[Eingaben]"), std::string::npos);
    SettingsStore again = SettingsStore::IniFile(file);
    EXPECT_EQ(again.ReadString("Eingaben", "edProjekt"), std::optional<std::string>("Kläranlage Nord"));
    EXPECT_EQ(again.ReadString("", "Oben"), std::optional<std::string>("1"));
    EXPECT_EQ(again.ReadString("Eingaben", "fehlt"), std::nullopt);
}

TEST(Settings, ProgramStoreKeepsKeyPaths)
{
    velmoran::testing::App();
    velmoran::testing::TempFolder folder;
    const QString home = QString::fromStdString(folder.Folder());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home);
    {
        SettingsStore store = SettingsStore::Program();
        store.WriteString("Software\\Orvelan\\Velmoran\\Eingaben", "edWert", "12,5");
        EXPECT_TRUE(store.Flush());
    }
    SettingsStore again = SettingsStore::Program();
    EXPECT_EQ(again.ReadString("Software/Orvelan/Velmoran/Eingaben/", "edWert"), std::optional<std::string>("12,5"));
    EXPECT_NE(velmoran::testing::TempFolder::Read(folder / "Orvelan/Velmoran.conf").find("edWert"), std::string::npos);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

TEST(Settings, IniFileOfAKey)
{
    EXPECT_EQ(ResolveIniFile("/etc/velmoran/edits.ini", "/opt/velmoran/velmoran", "/home/u/.config/Orvelan/Velmoran/"),
              "/etc/velmoran/edits.ini");
    EXPECT_EQ(ResolveIniFile("edits.ini", "/opt/velmoran/velmoran", "/home/u/.config/Orvelan/Velmoran/"),
              "/home/u/.config/Orvelan/Velmoran/edits.ini");
    EXPECT_EQ(ResolveIniFile("", "/opt/velmoran/velmoran.bin", "/cfg"), "/cfg/velmoran.INI");
    EXPECT_EQ(ResolveIniFile("", "/opt/velmoran/velmoran", "/cfg/"), "/cfg/velmoran.INI");
}
