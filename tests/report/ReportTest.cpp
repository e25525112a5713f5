// Template expansion over small hand-made tables: blocks, items, assignments, includes, line
// ends, aliases and the record numbers of field lookups.
#include "report/Report.h"

#include "FakeTables.h"

#include "platform/core/DateTime.h"
#include "platform/core/Exceptions.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/Stream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace velmoran;
using velmoran::test::FakeDataSet;

namespace {

namespace fs = std::filesystem;

class ReportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // dl-like table with four load cases, d-like header table with one row.
        loadCases.AddField("Bezeichn", ReportFieldType::String)
            .AddField("QD", ReportFieldType::Float)
            .AddField("Aktiv", ReportFieldType::Integer)
            .AddField("ID", ReportFieldType::Integer)
            .AddRow({std::string("Bemessung"), 1234.5, 1.0, 10.0})
            .AddRow({std::string("tiefste Temperatur"), 2000.0, 0.0, 11.0})
            .AddRow({std::string("h\xF6" "chste Temperatur"), 3000.25, 1.0, 12.0})
            .AddRow({std::string("Sonder- lastfall"), 4000.0, 0.0, 13.0});
        header.AddField("Projekt", ReportFieldType::String)
            .AddField("Datum", ReportFieldType::Date)
            .AddField("Zeit", ReportFieldType::Time)
            .AddField("DN", ReportFieldType::SmallInt)
            .AddField("OP", ReportFieldType::Word)
            .AddField("Flag", ReportFieldType::Other)
            .AddField("ID", ReportFieldType::Integer)
            .AddField("fXNBM_C", ReportFieldType::Float)
            .AddField("_TSBB", ReportFieldType::Float)
            .AddRow({std::string("  Kl\xE4rwerk Nord  "), EncodeDate(2024, 3, 5), 0.5, 1.0, 42.0, 1.0, 99.0, 0.07,
                     3.25});
        report.SetDataSetViews({&loadCases, &header});
        report.LoadVariables("");
        // The default record number is shared by every engine; start each test on record 0.
        TReport reset;
        reset.SetRecord(1);
        reset.SetRecord(0);
        dir = fs::path(VELMORAN_ARTIFACTS) / "report" / ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir);
        fs::create_directories(dir);
    }

    std::string Run(std::string_view templateText)
    {
        TMemoryStream in(templateText);
        TMemoryStream out;
        report.ProcessTemplate(&in, &out);
        return out.ToString();
    }

    std::string Line(std::string_view templateText)
    {
        std::string out = Run(templateText);
        if (out.size() >= 2 && out.substr(out.size() - 2) == "\r\n")
            out.resize(out.size() - 2);
        return out;
    }

    std::string WriteFile(const std::string& name, std::string_view content)
    {
        const fs::path path = dir / name;
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }

    ScopedFormatSettings german{FormatSettings::German()};
    FakeDataSet loadCases;
    FakeDataSet header;
    TReport report;
    fs::path dir;
};

}  // namespace

TEST_F(ReportTest, ConditionalBlocks)
{
    Run("|X=0|");
    EXPECT_EQ(Run("a $?X&gt;1:b$ c"), "a  c\r\n");
    EXPECT_EQ(Run("a $?X=0:b$ c"), "a b c\r\n");
    // Directive-only lines leave no line; the lines inside a false block vanish.
    EXPECT_EQ(Run("vor\r\n$?X&gt;1:\r\ninnen\r\n$\r\nnach\r\n"), "vor\r\nnach\r\n");
    // Nested blocks inside a false block count even when their condition is true.
    EXPECT_EQ(Run("$?X=1:\r\na\r\n$?X=0:\r\nb\r\n$\r\nc\r\n$\r\nd\r\n"), "d\r\n");
    EXPECT_EQ(Run("$?X=0:\r\na\r\n$?X=1:\r\nb\r\n$\r\nc\r\n$\r\nd\r\n"), "a\r\nc\r\nd\r\n");
    // Text on a line whose last directive disabled output is not written.
    EXPECT_EQ(Run("text $?X=1:\r\n$\r\n"), "");
    // A closing "$" without an open block is harmless; "$" at the end of a line closes too.
    EXPECT_EQ(Run("a$b\r\n$\r\n$$$\r\nc\r\n"), "ab\r\nc\r\n");
    // A condition without ":" consumes only "$?".
    EXPECT_EQ(Run("a$?X=1 b"), "aX=1 b\r\n");
    // A block left open at the end is abandoned; the next run starts enabled.
    EXPECT_EQ(Run("$?X=1:\r\nweg\r\n"), "");
    EXPECT_EQ(Run("da\r\n"), "da\r\n");
    // Items inside a disabled block are not evaluated: their assignments do not happen.
    Run("$?X=1:|X=5|$");
    EXPECT_EQ(report.VariableValue("X"), 0.0);
    // Deep nesting inside a false block stays disabled until every block is closed.
    std::string deep = "$?X=1:";
    for (int i = 0; i < 256; ++i)
        deep += "$?X=0:";
    EXPECT_EQ(Run(deep + std::string(256, '$') + "verborgen$sichtbar"), "sichtbar\r\n");
    // A "|" while disabled is dropped and what follows is walked as text, "$" included.
    EXPECT_EQ(Run("$?X=1:a|b$c|"), "c\r\n");
}

TEST_F(ReportTest, CommentsAndEmptyLines)
{
    EXPECT_EQ(Run("a$# Kommentar: b\r\n$# nur Kommentar:\r\n\r\nc"), "a b\r\n\r\nc\r\n");
    EXPECT_EQ(Run("a$#ohne Doppelpunkt"), "aohne Doppelpunkt\r\n");
}

TEST_F(ReportTest, NameItems)
{
    EXPECT_EQ(Line("|QD,8,2|"), " 1234,50");
    EXPECT_EQ(Line("|qd:8:2|"), " 1234,50");
    EXPECT_EQ(Line("|QD#2,8,2|"), " 3000,25");
    EXPECT_EQ(Line("|QD#7,8,2|"), " 1234,50");
    EXPECT_EQ(Line("|QD#0,8,2|"), " 1234,50");
    EXPECT_EQ(Line("|Unbekannt|"), "Unbekannt");
    EXPECT_EQ(Line("|Un bekannt!|"), "Unbekannt");  // the name as filtered
    EXPECT_EQ(Line("[|123|]"), "[]");
    EXPECT_EQ(Line("[|QD,,2|]"), "[]");
    EXPECT_EQ(Line("[|QD,x,2|]"), "[]");
    EXPECT_EQ(Line("|QD,-8,2|"), " 1234,50");
    EXPECT_EQ(Line("|QD,8.5,2|"), std::string(85 - 7, ' ') + "1234,50");
    EXPECT_EQ(Line("|QD,8,2,9|"), " 1234,50");  // text after a third separator is ignored
    EXPECT_EQ(Line("|QD,8|"), "    1235");     // missing decimals count as 0
    EXPECT_EQ(Line("|QD|"), "1235");
    // The dataset stays on the record last read.
    Line("|QD#3|");
    EXPECT_EQ(loadCases.current, 3);
}

TEST_F(ReportTest, NameItemWidthsAreCapped)
{
    EXPECT_EQ(Line("|QD,999999999,2|").size(), 255u);
    EXPECT_EQ(Line("|QD,8,999999999|").size(), 4u + 1u + 255u);
    EXPECT_EQ(Line("[|QD,99999999999,2|]"), "[]");  // does not convert
}

TEST_F(ReportTest, FieldTypes)
{
    EXPECT_EQ(Line("|Projekt|"), "Kl\xE4rwerk Nord");
    EXPECT_EQ(Line("[|Projekt,4,3|]"), "[Kl\xE4r]");
    EXPECT_EQ(Line("[|Projekt,100,20|]"), "[]");
    EXPECT_EQ(Line("[|Bezeichn#2,50,1|]"), "[h\xF6" "chste Temperatur]");
    EXPECT_EQ(Line("|Datum|"), "05.03.2024");
    EXPECT_EQ(Line("|Zeit|"), "12:00:00");
    EXPECT_EQ(Line("|DN,3|"), "  1");
    EXPECT_EQ(Line("|OP,4,2|"), "  42");  // integer types show no decimals
    EXPECT_EQ(Line("|Aktiv#1,2|"), " 0");
    EXPECT_EQ(Line("|Flag,5,2|"), "Flag");  // no format for the type: the name as written
    // In arithmetic text and the other types count 0.
    EXPECT_EQ(Line("|Projekt+1,3,1|"), "1,0");
    EXPECT_EQ(Line("|Flag*1+DN,3,1|"), "1,0");
    // The first dataset listed wins for duplicate names.
    EXPECT_EQ(Line("|ID,3|"), " 10");
}

TEST_F(ReportTest, ExpressionItems)
{
    EXPECT_EQ(Line("|QD/0,8,2|"), "########");
    EXPECT_EQ(Line("|QD/,8,2|"), "********");
    EXPECT_EQ(Line("|QD*2,8,1|"), "  2469,0");
    EXPECT_EQ(Line("|QD#2-QD,8,2|"), " 1765,75");
    EXPECT_EQ(Line("|Q D * 2 ! ,8,1|"), "  2469,0");  // blanks and other characters dropped
    EXPECT_EQ(Line("[|QD*2,8,x|]"), "[]");           // decimals do not convert: nothing
    EXPECT_EQ(Line("[|QD*2,,1|]"), "[]");
    EXPECT_EQ(Line("|QD*2|"), "2469");
    EXPECT_EQ(Line("|_TSBB,6,2|"), "  3,25");        // a leading "_" reaches the field
    EXPECT_EQ(Line("|fXNBM_C,6,2|"), "******");      // an inner "_" splits the name
    EXPECT_EQ(Line("|1E300*1E300,5|"), "#####");
    EXPECT_EQ(Line("|0-EXP(1000),5|"), "#####");
    EXPECT_EQ(Line("|2+1,300,0|"), std::string(43, ' ') + "3");  // 300 as an 8-bit value
    EXPECT_EQ(Line("|abs(QD)|"), "absQD");  // lower case: a name item, shown as filtered
}

TEST_F(ReportTest, AssignmentsAndVariables)
{
    EXPECT_EQ(Run("|x=2*3|\r\n|X,5,1|\r\n"), "  6,0\r\n");
    EXPECT_EQ(Run("|x=2*3|danach\r\n"), "danach\r\n");
    EXPECT_EQ(Line("|x = 2|"), "");
    EXPECT_EQ(report.VariableValue("X"), 2.0);
    Run("|x = 2 * 3|");
    EXPECT_EQ(report.VariableValue("X"), 2.0);  // "2 " does not parse: nothing assigned
    Run("|y=SQRT(0)|");
    EXPECT_EQ(report.VariableValue("Y"), 1e30);
    EXPECT_EQ(Line("|y,4,0|"), "1000000000000000000000000000000");  // variables show no fill
    // Variables survive from run to run and can be used in expressions.
    EXPECT_EQ(Line("|x+1,3,0|"), "  3");
    EXPECT_EQ(Line("|E2=5||E2*3,5,1| |E2,5,1|"), "  0,0   5,0");
    // A field wins over a variable of the same name.
    Run("|QD=1|");
    EXPECT_EQ(Line("|QD,6,0|"), "  1235");
}

TEST_F(ReportTest, ItemsWithoutClosingBar)
{
    EXPECT_EQ(Line("a |QD,8,2x"), "a  1234,50");
    EXPECT_EQ(Line("a |"), "a ");
    EXPECT_EQ(Line("|"), "");
}

TEST_F(ReportTest, LineEnds)
{
    EXPECT_EQ(Run("a\r\nb\n\rc\r\rd\ne"), "a\r\nb\r\nc\r\nd\r\ne\r\n");
    EXPECT_EQ(Run("a\n\nb\n\n\nc"), "a\r\nb\r\n\r\nc\r\n");  // LF LF ends one line
    EXPECT_EQ(Run("\r\n\r\n"), "\r\n\r\n");
    EXPECT_EQ(Run(""), "");
    // The template is read from its position; the output is appended.
    TMemoryStream in(std::string_view("xx\r\nab"));
    in.SetPosition(4);
    TMemoryStream out(std::string_view("vorher"));
    out.Seek(0, SeekOrigin::End);
    report.ProcessTemplate(&in, &out);
    EXPECT_EQ(out.ToString(), "vorherab\r\n");
}

TEST_F(ReportTest, MissingStreamsStillOpenTheDataSets)
{
    TMemoryStream out;
    report.ProcessTemplate(nullptr, &out);
    EXPECT_EQ(loadCases.opened, 1);
    EXPECT_EQ(header.opened, 1);
    EXPECT_EQ(out.Size(), 0);
}

TEST_F(ReportTest, IncludesNestThreeDeep)
{
    const std::string level4 = WriteFile("d.inc", "vier\r\n");
    const std::string level3 = WriteFile("c.inc", "drei\r\n${" + level4 + ":\r\n");
    const std::string level2 = WriteFile("b.inc", "zwei\r\n${" + level3 + ":\r\n");
    const std::string level1 = WriteFile("a.inc", "eins |QD,6,0|\r\n${" + level2 + ":\r\n");
    EXPECT_EQ(Run("${" + level1 + ":nach\r\n"), "eins   1235\r\nzwei\r\ndrei\r\nnach\r\n");
    // Included text comes before the text of the line holding the directive.
    EXPECT_EQ(Run("vor ${ " + level3 + " : nach"), "drei\r\nvier\r\nvor  nach\r\n");
    // No include while output is disabled, nor of a missing file or a folder.
    EXPECT_EQ(Run("$?1=2:${" + level4 + ":$\r\n"), "");
    EXPECT_EQ(Run("${" + (dir / "fehlt.inc").string() + ":x"), "x\r\n");
    EXPECT_EQ(Run("${" + dir.string() + ":x"), "x\r\n");
    // The first ":" ends the name; the rest of the path is walked as text.
    EXPECT_EQ(Run("${C:\\vorlagen\\kopf.htm:"), "\\vorlagen\\kopf.htm:\r\n");
    EXPECT_EQ(Run("a${ohne Doppelpunkt"), "aohne Doppelpunkt\r\n");
    // An include that includes itself stops at the depth limit.
    const std::string self = dir.string() + "/self.inc";
    WriteFile("self.inc", "s\r\n${" + self + ":\r\n");
    EXPECT_EQ(Run("${" + self + ":"), "s\r\ns\r\ns\r\n");
}

TEST_F(ReportTest, AliasTable)
{
    const std::string table = WriteFile("VarTab.tra", "[Aliasnamen]\r\nqd = Zulauf\r\nfXNBM_C=fXNBMC\n"
                                                      "Unbekannt = Nichts\r\n= leer\r\n");
    TReport aliased;
    aliased.SetDataSetViews({&loadCases, &header});
    aliased.LoadVariables(table);
    auto run = [&](std::string_view text) {
        TMemoryStream in(text);
        TMemoryStream out;
        aliased.ProcessTemplate(&in, &out);
        return out.ToString();
    };
    EXPECT_EQ(run("|Zulauf,8,2| |QD| |fXNBMC,5,2|"), " 1234,50 QD  0,07\r\n");
    // A second load appends entries under the field names; the aliases keep precedence.
    aliased.LoadVariables("");
    EXPECT_EQ(run("|Zulauf,8,2| |QD,8,2|"), " 1234,50  1234,50\r\n");
    // A missing table registers the field names only.
    TReport plain;
    plain.SetDataSetViews({&loadCases});
    plain.LoadVariables((dir / "fehlt.tra").string());
    TMemoryStream in(std::string_view("|QD,8,2|"));
    TMemoryStream out;
    plain.ProcessTemplate(&in, &out);
    EXPECT_EQ(out.ToString(), " 1234,50\r\n");
}

TEST_F(ReportTest, NonDigitAfterHashRaisesTheConversionError)
{
    try {
        Run("erste Zeile\r\n|QD#x,8,2|\r\ndritte\r\n");
        FAIL() << "no conversion error";
    } catch (const EConvertError& error) {
        EXPECT_EQ(error.Message(), "'X' ist kein g\xC3\xBCltiger Integerwert");
    }
    TMemoryStream in(std::string_view("erste Zeile\r\n|QD*QD#,8,2|\r\n"));
    TMemoryStream out;
    EXPECT_THROW(report.ProcessTemplate(&in, &out), EConvertError);
    EXPECT_EQ(out.ToString(), "erste Zeile\r\n");
    // Conditions are evaluated even in a disabled block.
    EXPECT_THROW(Run("$?1=2:\r\n$?QD#_=1:\r\n"), EConvertError);
    // An error inside an include ends its level: three levels are available again afterwards.
    const std::string bad = WriteFile("bad.inc", "|QD#x|\r\n");
    EXPECT_THROW(Run("${" + bad + ":"), EConvertError);
    const std::string level3 = WriteFile("c.inc", "drei\r\n");
    const std::string level2 = WriteFile("b.inc", "${" + level3 + ":");
    const std::string level1 = WriteFile("a.inc", "${" + level2 + ":");
    EXPECT_EQ(Run("${" + level1 + ":"), "drei\r\n");
}

TEST_F(ReportTest, RecordNumbers)
{
    report.SetRecord(2);
    EXPECT_EQ(report.RecordNumber(), 2);
    EXPECT_EQ(TReport::DefaultRecordNumber(), 2);
    EXPECT_EQ(Line("|QD,8,2| |QD#1,8,2| |Projekt|"), " 3000,25  2000,00 Kl\xE4rwerk Nord");
    // The default record number is shared: another engine reads the same record.
    TReport second;
    second.SetDataSetViews({&loadCases});
    second.LoadVariables("");
    TMemoryStream in(std::string_view("|QD,8,2|"));
    TMemoryStream out;
    second.ProcessTemplate(&in, &out);
    EXPECT_EQ(out.ToString(), " 3000,25\r\n");
    // A record number beyond the record count reads the first record.
    report.SetRecord(7);
    EXPECT_EQ(Line("|QD,8,2|"), " 1234,50");
    // Setting the engine's own number again changes nothing.
    second.SetRecord(0);
    EXPECT_EQ(TReport::DefaultRecordNumber(), 7);
}
