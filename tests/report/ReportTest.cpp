// Template expansion over small hand-made tables: blocks, items, assignments, includes, line
// ends, aliases and the record numbers of field lookups. Templates that expand the same on a
// fresh engine are rows of two tables; what depends on earlier runs or on files is a test each.
#include "report/Report.h"

#include "FakeTables.h"

#include "platform/core/DateTime.h"
#include "platform/core/Exceptions.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/Stream.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <vector>

using namespace velmoran;
using velmoran::test::FakeDataSet;
using velmoran::testing::TempFolder;

namespace {

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
        Run("|X=0|");
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

    ScopedFormatSettings german{FormatSettings::German()};
    FakeDataSet loadCases;
    FakeDataSet header;
    TReport report;
};

// A template, what it expands to and why, on a fresh engine whose variable X is 0.
struct Expansion {
    std::string templateText;
    std::string expected;
    const char* why;
};

// The test's name from its reason: its words run together, each capitalised.
std::string CaseName(const ::testing::TestParamInfo<Expansion>& info)
{
    std::string name;
    bool wordStart = true;
    for (const char c : std::string_view(info.param.why)) {
        const bool alnum = std::isalnum(static_cast<unsigned char>(c)) != 0;
        if (alnum)
            name += wordStart ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
        wordStart = !alnum;
    }
    return name;
}

void PrintTo(const Expansion& e, std::ostream* out)
{
    *out << e.why;
}

std::vector<Expansion> WithLineEnds(std::vector<Expansion> rows)
{
    for (Expansion& row : rows)
        row.expected += "\r\n";
    return rows;
}

// One-line templates: the line written (its CR LF is added here).
const std::vector<Expansion> kItems = WithLineEnds({
    // Name items.
    {"|QD,8,2|", " 1234,50", "width and decimals"},
    {"|qd:8:2|", " 1234,50", "names ignore case and colons separate"},
    {"|QD#2,8,2|", " 3000,25", "a record number reads that record"},
    {"|QD#7,8,2|", " 1234,50", "a record number beyond the rows reads the first"},
    {"|QD#4,8,2|", " 1234,50", "a record number equal to the row count reads the first"},
    {"|QD#0,8,2|", " 1234,50", "record number 0 is the first"},
    {"|Unbekannt|", "Unbekannt", "an unknown name shows itself"},
    {"|Un bekannt!|", "Unbekannt", "an unknown name shows itself as filtered"},
    {"[|123|]", "[]", "a number is no name"},
    {"[|QD,,2|]", "[]", "an empty width does not convert"},
    {"[|QD,x,2|]", "[]", "a width that is no number does not convert"},
    {"|QD,-8,2|", " 1234,50", "the sign of a width is filtered out"},
    {"|QD,8.5,2|", std::string(85 - 7, ' ') + "1234,50", "a dot in the width is filtered out"},
    {"|QD,8,2,9|", " 1234,50", "text after a third separator is ignored"},
    {"|QD,8|", "    1235", "missing decimals count as 0"},
    {"|QD|", "1235", "a missing width counts as 0"},
    {"|QD,999999999,2|", std::string(255 - 7, ' ') + "1234,50", "the width is capped at 255"},
    {"|QD,8,999999999|", "1234,5" + std::string(254, '0'), "the decimals are capped at 255"},
    {"[|QD,99999999999,2|]", "[]", "a width beyond the integer range does not convert"},
    // Field types.
    {"|Projekt|", "Kl\xE4rwerk Nord", "a text without decimals is trimmed"},
    {"[|Projekt,4,3|]", "[Kl\xE4r]", "a text gives width characters from character number decimals"},
    {"[|Projekt,100,20|]", "[]", "a text shorter than the start character gives nothing"},
    {"[|Bezeichn#2,50,1|]", "[h\xF6" "chste Temperatur]", "a text of another record"},
    {"|Datum|", "05.03.2024", "a date in the German format"},
    {"|Zeit|", "12:00:00", "a time"},
    {"|DN,3|", "  1", "a small integer"},
    {"|OP,4,2|", "  42", "integer types show no decimals"},
    {"|Aktiv#1,2|", " 0", "an integer of another record"},
    {"|Flag,5,2|", "Flag", "a type without a format shows the name as written"},
    {"|Projekt+1,3,1|", "1,0", "a text counts 0 in arithmetic"},
    {"|Flag*1+DN,3,1|", "1,0", "the other types count 0 in arithmetic"},
    {"|ID,3|", " 10", "the first dataset listed wins for duplicate names"},
    // Expression items.
    {"|QD/0,8,2|", "########", "an invalid value fills with hashes"},
    {"|QD/,8,2|", "********", "an expression that does not parse fills with stars"},
    {"|QD*2,8,1|", "  2469,0", "an expression with width and decimals"},
    {"|QD#2-QD,8,2|", " 1765,75", "record numbers inside an expression"},
    {"|Q D * 2 ! ,8,1|", "  2469,0", "blanks and other characters are dropped from an expression"},
    {"[|QD*2,8,x|]", "[]", "decimals that do not convert give nothing"},
    {"[|QD*2,,1|]", "[]", "an empty width of an expression gives nothing"},
    {"|QD*2|", "2469", "an expression without width"},
    {"|_TSBB,6,2|", "  3,25", "a leading underscore reaches the field"},
    {"|fXNBM_C,6,2|", "******", "an inner underscore splits the name"},
    {"|1E300*1E300,5|", "#####", "an overflow fills with hashes"},
    {"|0-EXP(1000),5|", "#####", "a negative overflow fills with hashes"},
    {"|2+1,300,0|", std::string(43, ' ') + "3", "the width of an expression is taken as an 8-bit value"},
    {"|abs(QD)|", "absQD", "a function in lower case is a name item shown as filtered"},
    // Items without a closing bar run to the line's end, whose last character they lose.
    {"a |QD,8,2x", "a  1234,50", "an item without a closing bar"},
    {"a |", "a ", "a bar at the line end"},
    {"|", "", "a lone bar"},
});

std::string Repeated(std::string_view text, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += text;
    return out;
}

// Whole templates: everything written.
const Expansion kTemplates[] = {
    // Blocks.
    {"a $?X&gt;1:b$ c", "a  c\r\n", "a false block drops its text"},
    {"a $?X=0:b$ c", "a b c\r\n", "a true block keeps its text"},
    {"vor\r\n$?X&gt;1:\r\ninnen\r\n$\r\nnach\r\n", "vor\r\nnach\r\n",
     "directive lines leave no line and the lines of a false block vanish"},
    {"$?X=1:\r\na\r\n$?X=0:\r\nb\r\n$\r\nc\r\n$\r\nd\r\n", "d\r\n",
     "a true block inside a false block counts as a block"},
    {"$?X=0:\r\na\r\n$?X=1:\r\nb\r\n$\r\nc\r\n$\r\nd\r\n", "a\r\nc\r\nd\r\n", "a false block inside a true block"},
    {"text $?X=1:\r\n$\r\n", "", "text on a line whose last directive disabled output is not written"},
    {"a$b\r\n$\r\n$$$\r\nc\r\n", "ab\r\nc\r\n", "a closing dollar without an open block is harmless"},
    {"a$?X=1 b", "aX=1 b\r\n", "a condition without a colon consumes only its two characters"},
    {"$?X=1:|X=5|$|X,1,0|", "0\r\n", "items inside a false block are not evaluated"},
    {"$?X=1:" + Repeated("$?X=0:", 256) + std::string(256, '$') + "verborgen$sichtbar", "sichtbar\r\n",
     "deep nesting stays disabled until every block is closed"},
    {"$?X=1:a|b$c|", "c\r\n", "a bar while disabled is dropped and what follows is walked as text"},
    // Comments.
    {"a$# Kommentar: b\r\n$# nur Kommentar:\r\n\r\nc", "a b\r\n\r\nc\r\n",
     "a comment leaves its line and a comment line leaves no line"},
    {"a$#ohne Doppelpunkt", "aohne Doppelpunkt\r\n", "a comment without a colon consumes only its two characters"},
    // Line ends.
    {"a\r\nb\n\rc\r\rd\ne", "a\r\nb\r\nc\r\nd\r\ne\r\n", "every line end becomes CR LF"},
    {"a\n\nb\n\n\nc", "a\r\nb\r\n\r\nc\r\n", "LF LF ends one line"},
    {"\r\n\r\n", "\r\n\r\n", "empty lines stay"},
    {"", "", "an empty template writes nothing"},
    // Assignments.
    {"|x=2*3|\r\n|X,5,1|\r\n", "  6,0\r\n", "an assignment line leaves no line"},
    {"|x=2*3|danach\r\n", "danach\r\n", "an assignment writes nothing"},
    {"|E2=5||E2*3,5,1| |E2,5,1|", "  0,0   5,0\r\n", "in an expression E2 is the number 0"},
};

class ReportExpansion : public ReportTest, public ::testing::WithParamInterface<Expansion> {};

TEST_P(ReportExpansion, Expands)
{
    EXPECT_EQ(Run(GetParam().templateText), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Items, ReportExpansion, ::testing::ValuesIn(kItems), CaseName);
INSTANTIATE_TEST_SUITE_P(Templates, ReportExpansion, ::testing::ValuesIn(kTemplates), CaseName);

// The tests that write their own template files.
class ReportFiles : public ReportTest {
protected:
    std::string WriteFile(const std::string& name, std::string_view content)
    {
        TempFolder::Write(tmp / name, std::string(content));
        return tmp / name;
    }

    TempFolder tmp;
};

}  // namespace

TEST_F(ReportTest, ABlockLeftOpenIsAbandonedAtTheEnd)
{
    EXPECT_EQ(Run("$?X=1:\r\nweg\r\n"), "");
    EXPECT_EQ(Run("da\r\n"), "da\r\n");
}

TEST_F(ReportTest, TheDataSetStaysOnTheRecordLastRead)
{
    Line("|QD#3|");
    EXPECT_EQ(loadCases.current, 3);
}

TEST_F(ReportTest, AssignmentsAndVariables)
{
    EXPECT_EQ(Line("|x = 2|"), "");
    EXPECT_EQ(report.VariableValue("X"), 2.0);
    Run("|x = 2 * 3|");
    EXPECT_EQ(report.VariableValue("X"), 2.0);  // "2 " does not parse: nothing assigned
    Run("|y=SQRT(0)|");
    EXPECT_EQ(report.VariableValue("Y"), 1e30);
    EXPECT_EQ(Line("|y,4,0|"), "1000000000000000000000000000000");  // variables show no fill
    // Variables survive from run to run and can be used in expressions.
    EXPECT_EQ(Line("|x+1,3,0|"), "  3");
    // A field wins over a variable of the same name.
    Run("|QD=1|");
    EXPECT_EQ(Line("|QD,6,0|"), "  1235");
}

TEST_F(ReportTest, ManyVariablesKeepTheirOrderAndValues)
{
    // A template that sets thousands of variables: each is found by its name, a second assignment
    // changes the value in place, and the list keeps the order of first assignment.
    std::string text;
    for (int i = 0; i < 5000; ++i)
        text += "|v" + std::to_string(i) + "=" + std::to_string(i) + "|";
    text += "|v17=4|";
    Run(text);
    EXPECT_EQ(report.VariableValue("V4999"), 4999.0);
    EXPECT_EQ(report.VariableValue("V17"), 4.0);
    EXPECT_FALSE(report.VariableValue("V5000").has_value());
    const auto& vars = report.Variables();
    ASSERT_EQ(vars.size(), 5001u);  // X from the set-up first
    EXPECT_EQ(vars[1].Name, "V0");
    EXPECT_EQ(vars[18].Name, "V17");
    EXPECT_EQ(Line("|v17+v4999,5,0|"), " 5003");
}

TEST_F(ReportTest, TheTemplateIsReadFromItsPositionAndTheOutputAppended)
{
    TMemoryStream in(std::string_view("xx\r\nab"));
    in.SetPosition(4);
    TMemoryStream out(std::string_view("vorher"));
    out.Seek(0, SeekOrigin::End);
    report.ProcessTemplate(&in, &out);
    EXPECT_EQ(out.ToString(), "vorherab\r\n");
}

TEST_F(ReportTest, MissingStreamsStillOpenTheDataSets)
{
    const int before = loadCases.opened;
    TMemoryStream out;
    report.ProcessTemplate(nullptr, &out);
    EXPECT_EQ(loadCases.opened, before + 1);
    EXPECT_EQ(header.opened, before + 1);
    EXPECT_EQ(out.Size(), 0);
}

TEST_F(ReportFiles, IncludesNestThreeDeep)
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
    EXPECT_EQ(Run("${" + (tmp / "fehlt.inc") + ":x"), "x\r\n");
    EXPECT_EQ(Run("${" + tmp.Folder() + ":x"), "x\r\n");
    // The first ":" ends the name; the rest of the path is walked as text.
    EXPECT_EQ(Run("${C:\\vorlagen\\kopf.htm:"), "\\vorlagen\\kopf.htm:\r\n");
    EXPECT_EQ(Run("a${ohne Doppelpunkt"), "aohne Doppelpunkt\r\n");
    // An include that includes itself stops at the depth limit.
    const std::string self = tmp / "self.inc";
    WriteFile("self.inc", "s\r\n${" + self + ":\r\n");
    EXPECT_EQ(Run("${" + self + ":"), "s\r\ns\r\ns\r\n");
}

// A relative include is read beside the template at every level, wherever the program was
// started: it was once looked for in the start folder, and started elsewhere the page lacked it
// without a word.
TEST_F(ReportFiles, RelativeIncludesAreReadBesideTheTemplate)
{
    TempFolder start;
    std::filesystem::create_directories(tmp / "teile");
    WriteFile("teile/kopf.htm", "Kopf\r\n${fuss.htm:\r\n");
    WriteFile("fuss.htm", "Fuss\r\n");
    start.WriteFile("fuss.htm", "fremder Fuss\r\n");
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(start.Folder());
    report.SetIncludeFolder(tmp.Folder());
    const std::string beside = Run("${teile\\kopf.htm:");
    const std::string full = Run("${" + (start / "fuss.htm") + ":");  // a full name as it stands
    std::filesystem::current_path(saved);
    EXPECT_EQ(beside, "Kopf\r\nFuss\r\n");
    EXPECT_EQ(full, "fremder Fuss\r\n");
}

// An include is named as the page writes its names: "${K\xF6pfe.htm:" in a Windows-1252 template
// reads the file "Köpfe.htm" (the name's byte was looked for as it stood, and the page lacked the
// include without a word); in a UTF-8 page the name is UTF-8 already.
TEST_F(ReportFiles, AnIncludeNamedWithAnUmlautIsFoundInThePagesCodePage)
{
    WriteFile("K\xC3\xB6pfe.htm", "Kopf\r\n");
    report.SetIncludeFolder(tmp.Folder());
    EXPECT_EQ(Run("${K\xF6pfe.htm:"), "Kopf\r\n");
    report.SetPageCodePage(kUtf8CodePage);
    EXPECT_EQ(Run("${K\xC3\xB6pfe.htm:"), "Kopf\r\n");
}

// Editors put the UTF-8 signature before what they save as UTF-8. An included file's signature
// stood in the middle of the page ("ï»¿" on screen), its text in UTF-8 beside a Windows-1252
// page's own; a template's own signature stood behind what an include on its first line wrote,
// and the page was no longer read as UTF-8.
TEST_F(ReportFiles, TheUtf8SignatureStandsOnlyAtThePagesStart)
{
    WriteFile("kopf.htm", "\xEF\xBB\xBFKopf Gr\xC3\xB6\xC3\x9F" "e\r\n");
    report.SetIncludeFolder(tmp.Folder());
    EXPECT_EQ(Run("${kopf.htm:\r\nGr\xF6\xDF" "e"), "Kopf Gr\xF6\xDF" "e\r\nGr\xF6\xDF" "e\r\n");
    report.SetPageCodePage(kUtf8CodePage);
    EXPECT_EQ(Run("\xEF\xBB\xBF${kopf.htm:\r\n${kopf.htm:"),
              "\xEF\xBB\xBFKopf Gr\xC3\xB6\xC3\x9F" "e\r\nKopf Gr\xC3\xB6\xC3\x9F" "e\r\n");
}

TEST_F(ReportFiles, AliasTable)
{
    const std::string table = WriteFile("VarTab.tra", "[Aliasnamen]\r\nqd = Zulauf\r\nfXNBM_C=fXNBMC\n"
                                                      "Unbekannt = Nichts\r\n= leer\r\n");
    TReport aliased;
    aliased.SetDataSetViews({&loadCases, &header});
    aliased.LoadVariables(table);
    auto run = [&](TReport& engine, std::string_view text) {
        TMemoryStream in(text);
        TMemoryStream out;
        engine.ProcessTemplate(&in, &out);
        return out.ToString();
    };
    EXPECT_EQ(run(aliased, "|Zulauf,8,2| |QD| |fXNBMC,5,2|"), " 1234,50 QD  0,07\r\n");
    // A second load appends entries under the field names; the aliases keep precedence.
    aliased.LoadVariables("");
    EXPECT_EQ(run(aliased, "|Zulauf,8,2| |QD,8,2|"), " 1234,50  1234,50\r\n");
    // A missing table registers the field names only.
    TReport plain;
    plain.SetDataSetViews({&loadCases});
    plain.LoadVariables(tmp / "fehlt.tra");
    EXPECT_EQ(run(plain, "|QD,8,2|"), " 1234,50\r\n");
}

TEST_F(ReportFiles, NonDigitAfterHashRaisesTheConversionError)
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

// A calculation file may hold any text in its names: the page shows it as text and gets no
// markup from it, while the template's own tags stay tags.
TEST_F(ReportTest, StringValuesAreTextAndTheTemplateKeepsItsMarkup)
{
    FakeDataSet typed;
    typed.AddField("Bearbeiter", ReportFieldType::String)
        .AddRow({std::string(" <a href=\"FILESAVE /tmp/x\">Weiter</a> & Co ")});
    TReport own;
    own.SetDataSetViews({&typed});
    own.LoadVariables("");
    TMemoryStream in(std::string_view("<td>Q<sub>d</sub> |Bearbeiter|</td>|Bearbeiter,3,2|"));
    TMemoryStream out;
    own.ProcessTemplate(&in, &out);
    EXPECT_EQ(out.ToString(), "<td>Q<sub>d</sub> &lt;a href=&quot;FILESAVE /tmp/x&quot;&gt;Weiter&lt;/a&gt; &amp; Co</td>"
                              "&lt;a \r\n");
}
