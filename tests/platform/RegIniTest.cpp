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

namespace {

// A value as the earlier builds read it through Qt, from a fresh copy of the file so that Qt parses
// it anew.
QVariant QtValue(const std::string& file, const QString& key)
{
    const std::string copy = file + ".qt";
    std::filesystem::copy_file(file, copy, std::filesystem::copy_options::overwrite_existing);
    const QVariant value = QSettings(QString::fromStdString(copy), QSettings::IniFormat).value(key);
    std::filesystem::remove(copy);
    return value;
}

}  // namespace

// The settings file of the earlier builds, written by Qt ("[Software]" with
// "Orvelan\Velmoran\DataPath=..." and Qt's escapes), is read as those builds read it: nothing the
// user had falls back to its default, and the next write puts it in our form.
TEST(RegIni, SettingsOfTheEarlierBuildsAreTakenOver)
{
    velmoran::testing::App();
    TempFolder folder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(folder.Folder()));
    const std::string file = folder / "Orvelan/Velmoran.conf";
    const std::string rect("\x0A\x00\x00\x00\x14\x00\x00\x00\x2A\x03\x00\x00\x94\xFD\xFF\xFF", 16);
    const std::string dataPath = "C:\\Daten\\Kl\xC3\xA4ranlage, \"Nord\"; alt=1\\";
    std::vector<std::string> recent = {"/home/anna/Velmoran/Kl\xC3\xA4ranlage Nord.vda", "@am Anfang",
                                             "  mit Rand  ", "\xE2\x82\xAC 1a\tb"};
    {
        // As the earlier builds wrote: key path, section and name joined by "/".
        QSettings old(QStringLiteral("Orvelan"), QStringLiteral("Velmoran"));
        ASSERT_EQ(old.fileName().toStdString(), file);
        old.setValue("Software/Orvelan/Velmoran//DataPath", QString::fromStdString(dataPath));
        old.setValue("Software/Orvelan/Velmoran//TemplatePath", QStringLiteral("/home/anna/Vorlagen/"));
        old.setValue("Software/Orvelan/Velmoran//MainFormRect", QByteArray(rect.data(), 16));
        old.setValue("Software/Orvelan/Velmoran//StartDialog", 0);
        old.setValue("Software/Orvelan/Velmoran//SpeedBar", 0);
        for (std::size_t i = 0; i < recent.size(); ++i)
            old.setValue(QStringLiteral("Software/Orvelan/Velmoran/Recent Files/MRU%1").arg(i + 1),
                         QString::fromStdString(recent[i]));
        old.setValue("Software/Orvelan/Velmoran/Eingaben/edWert", QStringLiteral("12,5"));
        old.sync();
        ASSERT_EQ(old.status(), QSettings::NoError);
    }
    std::string text = TempFolder::Read(file);
    ASSERT_NE(text.find("[Software]"), std::string::npos);
    ASSERT_NE(text.find("Orvelan\\Velmoran\\MainFormRect=@ByteArray("), std::string::npos);
    // A comment and lines the user added by hand since, among them spellings Qt reads too.
    text.insert(text.find("[Software]") + 11, "; von Hand\n");
    text += "Orvelan\\Velmoran\\Hand\\Hex=\\x1F600z\\101\\x41g\n"
            "Orvelan\\Velmoran\\Hand\\Unbekannt=a\\qb\n"
            "Orvelan\\Velmoran\\Hand\\Kommentar= x ; dahinter\n"
            "Orvelan\\Velmoran\\Hand\\Zitat=\"x;y\" z\n"
            "Orvelan\\Velmoran\\Hand\\Paar=\\xd83d\\xde00\n"
            "Orvelan\\Velmoran\\Hand\\Oktal=\\0\\x31\n"
            "Orvelan\\Velmoran\\Hand\\Doppelt=@@x\n"
            "Orvelan\\Velmoran\\Hand%5CUnter%U00e4\\Name=1\n"
            "Orvelan\\Velmoran\\Hand\\Bytes=@ByteArray(\\xff\\x100\\0\\x31)\n";
    folder.WriteFile("Orvelan/Velmoran.conf", text);

    const auto expectRead = [&](const RegIniFile& settings) {
        EXPECT_EQ(settings.ReadValue({}, "DataPath"), dataPath);
        EXPECT_EQ(settings.ReadValue({}, "TemplatePath"), "/home/anna/Vorlagen/");
        EXPECT_EQ(settings.ReadBinary({}, "MainFormRect"), rect);
        EXPECT_EQ(settings.ReadInteger({}, "StartDialog", 1), 0);
        EXPECT_EQ(settings.ReadInteger({}, "SpeedBar", 1), 0);
        for (std::size_t i = 0; i < recent.size(); ++i)
            EXPECT_EQ(settings.ReadValue("Recent Files", "MRU" + std::to_string(i + 1)), recent[i]) << i;
        EXPECT_EQ(settings.ReadValue("Eingaben", "edWert"), "12,5");
    };
    {
        RegIniFile settings("Software/Orvelan/Velmoran");
        expectRead(settings);
        // Every key of the file, as Qt reads it.
        const QString copy = QString::fromStdString(file);
        for (const QString& key : QSettings(copy, QSettings::IniFormat).allKeys()) {
            const QVariant qt = QtValue(file, key);
            const std::string path = key.toStdString();
            const std::string section = path.substr(0, path.rfind('/'));
            const std::string name = path.substr(path.rfind('/') + 1);
            auto all = RegIniFile::OfIniFile(file);
            if (qt.typeId() == QMetaType::QByteArray)
                EXPECT_EQ(all->ReadBinary(section, name), qt.toByteArray().toStdString()) << path;
            else
                EXPECT_EQ(all->ReadValue(section, name), qt.toString().toStdString()) << path;
        }
        // Nothing is written while nothing changes.
        EXPECT_TRUE(settings.Sync());
        EXPECT_EQ(TempFolder::Read(file), text);
        // The list got shorter: its last entry goes for good.
        settings.DeleteKey("Recent Files", "MRU4");
        settings.WriteInteger({}, "SpeedBar", 0);
        EXPECT_TRUE(settings.Sync());
    }
    const std::string written = TempFolder::Read(file);
    EXPECT_NE(written.find("; von Hand\n"), std::string::npos);
    EXPECT_NE(written.find("[Software\\Orvelan\\Velmoran]\n"), std::string::npos);
    EXPECT_NE(written.find("\nDataPath=" + dataPath + "\n"), std::string::npos);
    EXPECT_EQ(written.find("Orvelan\\Velmoran\\DataPath"), std::string::npos);
    EXPECT_EQ(written.find("@ByteArray"), std::string::npos);
    RegIniFile reread("Software/Orvelan/Velmoran");
    recent.pop_back();
    expectRead(reread);
    EXPECT_FALSE(reread.ValueExists("Recent Files", "MRU4"));
    EXPECT_EQ(reread.ReadValue("Hand/Unter\xC3\xA4", "Name"), "1");

    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

// Where each taken-over value goes in the text: into a section of that name that is there (after
// its last value, case aside), else into a new section at the end in the order the keys came; the
// last line of a key wins, a value in our form wins, a line nothing could use stays; comments
// and our lines stay where they were.
TEST(RegIni, TakenOverValuesFindTheirPlacesInTheText)
{
    TempFolder folder;
    const std::string file = folder.WriteFile("v.ini", "; Kopf\n"
                                                       "[Software]\n"
                                                       "; von Hand\n"
                                                       "Orvelan\\Velmoran\\A\\x=1\n"
                                                       "Orvelan\\Velmoran\\B\\y=2\n"
                                                       "Orvelan\\Velmoran\\A\\z=3\n"
                                                       "Orvelan\\Velmoran\\A\\x=4\n"
                                                       "Orvelan\\Velmoran\\C\\w=@Invalid()\n"
                                                       "Orvelan\\Velmoran\\D\\v=5\n"
                                                       "Orvelan\\Velmoran\\B\\u=6\n"
                                                       "Orvelan\\Velmoran=7\n"
                                                       "[Software\\Orvelan\\Velmoran\\D]\n"
                                                       "v=unser\n"
                                                       "\n"
                                                       "[software\\orvelan\\velmoran\\a]\n"
                                                       "q=0\n"
                                                       "; zu A\n"
                                                       "\n"
                                                       "[Pfade]\n"
                                                       "Daten=/x\n");
    {
        auto ini = RegIniFile::OfIniFile(file);
        ini->WriteString("Pfade", "Vorlagen", "/y");
        EXPECT_TRUE(ini->Sync());
    }
    EXPECT_EQ(TempFolder::Read(file), "; Kopf\n"
                                      "[Software]\n"
                                      "; von Hand\n"
                                      "Orvelan\\Velmoran\\C\\w=@Invalid()\n"
                                      "[Software\\Orvelan\\Velmoran\\D]\n"
                                      "v=unser\n"
                                      "\n"
                                      "[software\\orvelan\\velmoran\\a]\n"
                                      "q=0\n"
                                      "x=4\n"
                                      "z=3\n"
                                      "; zu A\n"
                                      "\n"
                                      "[Pfade]\n"
                                      "Daten=/x\n"
                                      "Vorlagen=/y\n"
                                      "\n"
                                      "[Software\\Orvelan\\Velmoran\\B]\n"
                                      "y=2\n"
                                      "u=6\n"
                                      "\n"
                                      "[Software\\Orvelan]\n"
                                      "Velmoran=7\n");
}

// A value already in our form wins over the earlier builds' line of the same key, and files of
// others keep their "[General]" section and values as they are.
TEST(RegIni, OurFormWinsAndOtherFilesStayAsTheyAre)
{
    TempFolder folder;
    const std::string file = folder.WriteFile(
        "v.ini", "[Software]\nOrvelan\\Velmoran\\SpeedBar=0\n[Software\\Orvelan\\Velmoran]\nSpeedBar=1\n"
                 "[General]\nName=\"a\\\\b\"\n[Pfade]\nDaten=C:\\Daten\\\n");
    auto ini = RegIniFile::OfIniFile(file);
    EXPECT_EQ(ini->ReadInteger("Software\\Orvelan\\Velmoran", "SpeedBar", 7), 1);
    EXPECT_EQ(ini->ReadValue("General", "Name"), "a\\\\b");
    EXPECT_EQ(ini->ReadValue("Pfade", "Daten"), "C:\\Daten\\");
}
