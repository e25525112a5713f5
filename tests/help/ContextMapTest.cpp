// The context-string hash and the context map read from help projects: the hash values, the [MAP]
// syntax, includes (missing, relative, cyclic), failed rebuilds, lookups and the stored form data.
#include "help/HelpContextMap.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Stream.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace velmoran {
namespace {

using testing::TempFolder;

class ContextMap : public ::testing::Test {
protected:
    TempFolder folder;
    ScriptedPromptService prompts;
    THelpContextMap map;
};

TEST_F(ContextMap, HashValues)
{
    EXPECT_EQ(HashHelpName(""), 0);
    EXPECT_EQ(HashHelpName("A"), 17);
    EXPECT_EQ(HashHelpName("a"), 17);
    EXPECT_EQ(HashHelpName("AB"), 18 + 43 * 17);
    EXPECT_EQ(HashHelpName("Form1.Edit1"), HashHelpName("FORM1.EDIT1"));
    // Digits, the three marks and the other ranges of the table.
    EXPECT_EQ(HashHelpName("0"), 10);
    EXPECT_EQ(HashHelpName("9"), 9);
    EXPECT_EQ(HashHelpName("!"), 11);
    EXPECT_EQ(HashHelpName("."), 12);
    EXPECT_EQ(HashHelpName("_"), 13);
    EXPECT_EQ(HashHelpName("#"), '#' + 208);
    EXPECT_EQ(HashHelpName("-"), '-' - 48);
    EXPECT_EQ(HashHelpName("["), '[' - 80);
    EXPECT_EQ(HashHelpName("~"), '~' - 80);
    // Bytes above 127 count below zero; "ä" is one Windows-1252 byte (228).
    EXPECT_EQ(HashHelpName("\xC3\xA4"), 228 - 304);
    // A long name wraps as 32-bit unsigned arithmetic does.
    std::uint32_t expected = 0;
    for (char c : std::string("ZZZZZZZZZZZZ"))
        expected = static_cast<std::uint32_t>(c - 'A' + 17) + 43u * expected;
    EXPECT_EQ(HashHelpName("ZZZZZZZZZZZZ"), static_cast<std::int32_t>(expected));
}

// The ends of the letter and digit ranges, where a range's bound decides the value.
TEST_F(ContextMap, HashValuesAtTheEndsOfTheRanges)
{
    EXPECT_EQ(HashHelpName("z"), 'z' - 'a' + 17);
    EXPECT_EQ(HashHelpName("Z"), 'Z' - 'A' + 17);
    EXPECT_EQ(HashHelpName("1"), 1);
    EXPECT_EQ(HashHelpName("@"), '@' - 48);
    EXPECT_EQ(HashHelpName("`"), '`' - 80);
    EXPECT_EQ(HashHelpName("{"), '{' - 80);
    EXPECT_EQ(HashHelpName("az"), HashHelpName("AZ"));
}

// A name with "=" and blanks but no number is passed over, also as the file's last line and
// before more blanks that were trimmed away.
TEST_F(ContextMap, ANameWithoutItsNumber)
{
    map.SetFileName(folder.WriteFile("Hilfe.hpj", "[MAP]\r\nForm1.Edit1 = 100\r\nForm1.Leer =  \t \r\nForm1.Ende =   "));
    EXPECT_EQ(map.Records().size(), 1u);
    EXPECT_EQ(map.Lookup("Form1.Edit1"), 100);
    EXPECT_EQ(map.Lookup("Form1.Leer"), 0);
    EXPECT_EQ(map.Lookup("Form1.Ende"), 0);
}

TEST_F(ContextMap, MapSectionSyntax)
{
    const std::string project = folder.WriteFile("Hilfe.hpj",
        "[OPTIONS]\r\n"
        "Edit1 = 999\r\n"
        "[map]\r\n"
        "  #define IDH_EINS 1\r\n"
        "\r\n"
        "Form1.Edit1 = 100 ; a comment\r\n"
        "Form1.Edit2\t=\t200\r\n"
        "Form1_Edit3=300#comment\r\n"
        "; only a comment\r\n"
        "NurName\r\n"
        "[WINDOWS]\r\n"
        "Spaeter=400\r\n");
    map.SetFileName(project);
    EXPECT_EQ(map.FileName(), project);
    EXPECT_EQ(map.Records().size(), 4u);
    EXPECT_EQ(map.Lookup("IDH_EINS"), 1);
    EXPECT_EQ(map.Lookup("form1.edit1"), 100);
    EXPECT_EQ(map.Lookup("Form1.Edit2"), 200);
    EXPECT_EQ(map.Lookup("Form1_Edit3"), 300);
    EXPECT_EQ(map.Lookup("Edit1"), 0);    // outside [MAP]
    EXPECT_EQ(map.Lookup("Spaeter"), 0);  // after the next section
    EXPECT_EQ(map.Lookup("Unbekannt"), 0);
    EXPECT_EQ(map.Lookup(""), 0);
    EXPECT_TRUE(std::is_sorted(map.Records().begin(), map.Records().end(),
                               [](const auto& a, const auto& b) { return a.Hash < b.Hash; }));
    EXPECT_TRUE(prompts.Messages().empty());
}

TEST_F(ContextMap, Includes)
{
    std::filesystem::create_directories(folder / "inc");
    folder.WriteFile("inc/teil.h", "#define TEIL 5\r\n#include ../noch.h\r\n[ENDE]\r\nDanach 6\r\n");
    folder.WriteFile("noch.h", "NOCH=7\r\n");
    const std::string project = folder.WriteFile("p.hpj",
        "[MAP]\r\n#include inc/teil.h\r\n#INCLUDE fehlt.h\r\nNACH=8\r\n");
    map.SetFileName(project);
    EXPECT_EQ(map.Lookup("TEIL"), 5);
    EXPECT_EQ(map.Lookup("NOCH"), 7);  // relative to the including file
    EXPECT_EQ(map.Lookup("Danach"), 0);
    EXPECT_EQ(map.Lookup("NACH"), 8);  // reading goes on after a missing include
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0].Text, "Include file \"fehlt.h\" not found!");
    EXPECT_EQ(prompts.Messages()[0].Type, MsgDlgType::Error);
}

TEST_F(ContextMap, IncludeCyclesEnd)
{
    folder.WriteFile("selbst.h", "SELBST 1\r\n#include selbst.h\r\nWEITER 2\r\n");
    folder.WriteFile("a.h", "A_NAME 3\r\n#include b.h\r\n");
    folder.WriteFile("b.h", "B_NAME 4\r\n#include a.h\r\n#include ./selbst.h\r\n");
    map.SetFileName(folder.WriteFile("p.hpj", "[MAP]\r\n#include selbst.h\r\n#include a.h\r\n"));
    EXPECT_EQ(map.Lookup("SELBST"), 1);
    EXPECT_EQ(map.Lookup("WEITER"), 2);
    EXPECT_EQ(map.Lookup("A_NAME"), 3);
    EXPECT_EQ(map.Lookup("B_NAME"), 4);
    EXPECT_TRUE(prompts.Messages().empty());
    // Not in the chain any more, a file may be read again: each include counts.
    EXPECT_EQ(map.Records().size(), 6u);
}

TEST_F(ContextMap, FailedRebuildKeepsTheOldMap)
{
    map.SetFileName(folder.WriteFile("gut.hpj", "[MAP]\r\nALT=1\r\n"));
    const std::string bad = folder.WriteFile("schlecht.hpj", "[MAP]\r\nNEU=2\r\nKAPUTT=zwei\r\n");
    EXPECT_THROW(map.SetFileName(bad), EConvertError);
    EXPECT_EQ(map.FileName(), bad);  // the name is stored first
    EXPECT_EQ(map.Lookup("ALT"), 1);
    EXPECT_EQ(map.Lookup("NEU"), 0);
    const std::string missing = folder / "fehlt.hpj";
    try {
        map.SetFileName(missing);
        FAIL() << "a missing project was read";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "File " + missing + " not found.");
    }
    EXPECT_EQ(map.Lookup("ALT"), 1);
    // While loading from a form nothing is read.
    map.BeginLoading();
    map.SetFileName(missing);
    EXPECT_EQ(map.Lookup("ALT"), 1);
}

TEST_F(ContextMap, FileDataRoundTrip)
{
    map.SetFileName(folder.WriteFile("p.hpj", "[MAP]\r\nX1=1\r\nX2=-2\r\nX3=300000\r\n"));
    TMemoryStream stream;
    map.WriteFileData(stream);
    EXPECT_EQ(stream.Size(), 4 + 3 * 8);
    stream.SetPosition(0);
    THelpContextMap copy;
    copy.ReadFileData(stream);
    EXPECT_EQ(copy.Lookup("X1"), 1);
    EXPECT_EQ(copy.Lookup("X2"), -2);
    EXPECT_EQ(copy.Lookup("X3"), 300000);
    EXPECT_TRUE(copy.HasFileData());
    EXPECT_FALSE(THelpContextMap().HasFileData());
}

TEST_F(ContextMap, BadFileDataCountsAreRejected)
{
    auto read = [](std::uint32_t count, int bytesPresent) {
        TMemoryStream stream;
        std::string bytes;
        for (int i = 0; i < 4; ++i)
            bytes += static_cast<char>((count >> (8 * i)) & 0xFF);
        bytes += std::string(bytesPresent, '\0');
        stream.WriteString(bytes);
        stream.SetPosition(0);
        THelpContextMap map;
        map.ReadFileData(stream);
        return map.Records().size();
    };
    EXPECT_EQ(read(16, 16), 2u);
    EXPECT_THROW(read(12, 12), EReadError);          // not a multiple of 8
    EXPECT_THROW(read(24, 16), EReadError);          // not present
    EXPECT_THROW(read(0xFFFFFFF8u, 8), EReadError);  // far too large
    TMemoryStream empty;
    THelpContextMap map;
    EXPECT_THROW(map.ReadFileData(empty), EReadError);
}

}  // namespace
}  // namespace velmoran
