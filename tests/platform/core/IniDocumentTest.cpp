// An INI text kept as written: what the program does not change comes back byte for byte
// (comments, unknown lines, line ends, backslashes in values), and a change touches one line.
#include "platform/core/IniDocument.h"

#include <gtest/gtest.h>

using namespace velmoran;

namespace {

const std::string kWritten =
    "\xEF\xBB\xBF; Einstellungen von Hand\r\n"
    "oben = 1\r\n"
    "[Software\\Orvelan\\Velmoran]\r\n"
    "DataPath = C:\\Daten\\x\r\n"
    "# noch ein Kommentar\r\n"
    "Zeile ohne Gleichheitszeichen\r\n"
    "Leer=\r\n"
    "\r\n"
    "; zum n\xC3\xA4" "chsten Abschnitt\r\n"
    "[software\\orvelan\\velmoran\\Recent Files]\r\n"
    "MRU1=/a/b \\n c.vda";

}  // namespace

TEST(IniDocument, WhatIsNotChangedComesBackByteForByte)
{
    const TIniDocument ini(kWritten);
    EXPECT_EQ(ini.Text(), kWritten);
    EXPECT_EQ(ini.Value("Software\\Orvelan\\Velmoran", "datapath"), "C:\\Daten\\x");
    EXPECT_EQ(ini.Value("", "OBEN"), "1");
    EXPECT_EQ(ini.Value("SOFTWARE\\ORVELAN\\VELMORAN", "Leer"), "");
    EXPECT_EQ(ini.Value("Software\\Orvelan\\Velmoran\\Recent Files", "MRU1"), "/a/b \\n c.vda");
    EXPECT_EQ(ini.Value("Software\\Orvelan\\Velmoran", "MRU1"), std::nullopt);
    EXPECT_EQ(ini.Value("Software\\Orvelan\\Velmoran", "Zeile ohne Gleichheitszeichen"), std::nullopt);
    EXPECT_EQ(TIniDocument().Text(), "");
}

TEST(IniDocument, AChangeTouchesOnlyItsLine)
{
    TIniDocument ini(kWritten);
    ini.SetValue("Software\\Orvelan\\Velmoran", "DATAPATH", "D:\\Neu");
    ini.SetValue("Software\\Orvelan\\Velmoran", "TemplatePath", "/v/");
    ini.SetValue("Software\\Orvelan\\Velmoran\\Recent Files", "MRU2", "/c.vda");
    ini.SetValue("Neu", "Wert", "7");
    EXPECT_EQ(ini.Text(),
              "\xEF\xBB\xBF; Einstellungen von Hand\r\n"
              "oben = 1\r\n"
              "[Software\\Orvelan\\Velmoran]\r\n"
              "DataPath = D:\\Neu\r\n"
              "# noch ein Kommentar\r\n"
              "Zeile ohne Gleichheitszeichen\r\n"
              "Leer=\r\n"
              "TemplatePath=/v/\r\n"
              "\r\n"
              "; zum n\xC3\xA4" "chsten Abschnitt\r\n"
              "[software\\orvelan\\velmoran\\Recent Files]\r\n"
              "MRU1=/a/b \\n c.vda\r\n"
              "MRU2=/c.vda\r\n"
              "\r\n"
              "[Neu]\r\n"
              "Wert=7\r\n");

    ini.RemoveValue("software\\orvelan\\velmoran\\recent files", "mru1");
    ini.RemoveSection("Software\\Orvelan");
    EXPECT_EQ(ini.Text(),
              "\xEF\xBB\xBF; Einstellungen von Hand\r\n"
              "oben = 1\r\n"
              "[Neu]\r\n"
              "Wert=7\r\n");
}

// A file written with LF alone and a blank line after its first line: the blank line is a line
// of its own, so a new value ends with the file's single LF and does not bring a second blank
// line with it.
TEST(IniDocument, ABlankLineIsNoPartOfTheLineEndBeforeIt)
{
    TIniDocument ini("[A]\n\na=1\n");
    ini.SetValue("A", "b", "2");
    EXPECT_EQ(ini.Text(), "[A]\n\na=1\nb=2\n");
}

// Values above the first section: into an empty text, and into a text that starts with a
// section, where the value goes before it.
TEST(IniDocument, ValuesAtTheTopOfAnEmptyTextOrBeforeTheFirstSection)
{
    TIniDocument empty;
    empty.SetValue("", "Name", "1");
    EXPECT_EQ(empty.Text(), "Name=1\n");
    EXPECT_EQ(empty.Value("", "name"), "1");

    TIniDocument sectioned("[A]\r\nx=2\r\n");
    sectioned.SetValue("", "oben", "3");
    EXPECT_EQ(sectioned.Text(), "oben=3\r\n[A]\r\nx=2\r\n");
    EXPECT_EQ(sectioned.Value("A", "oben"), std::nullopt);
}
