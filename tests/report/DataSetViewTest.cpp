// The engine over real in-memory tables: field types, Windows-1252 texts, record positioning,
// opening closed tables, aliases and duplicate names in the main window's order.
#include "report/Report.h"

#include "memtable/MemTable.h"
#include "platform/core/DateTime.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/Stream.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using namespace velmoran;

namespace {

class DataSetViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A load-case table with three rows and a header table with one.
        name = &cases.AddField<TStringField>("Bezeichn", 80);
        qd = &cases.AddField<TFloatField>("QD");
        aktiv = &cases.AddField<TIntegerField>("Aktiv");
        auto& caseId = cases.AddField<TIntegerField>("ID");
        cases.Open();
        const char* names[] = {"Bemessung", "tiefste Temperatur", "h\xC3\xB6" "chste Temperatur"};
        for (int i = 0; i < 3; ++i) {
            cases.Append();
            name->SetAsString(names[i]);
            qd->SetAsFloat(1234.5 + 1000 * i);
            aktiv->SetAsInteger(i == 1 ? 0 : 1);
            caseId.SetAsInteger(10 + i);
            cases.Post();
        }
        auto& projekt = header.AddField<TStringField>("Projekt", 255);
        auto& datum = header.AddField<TDateField>("Datum");
        auto& dn = header.AddField<TSmallintField>("DN");
        auto& op = header.AddField<TWordField>("OP100");
        auto& flag = header.AddField<TField>("Flag", ftBoolean);
        auto& headerId = header.AddField<TIntegerField>("ID");
        auto& leer = header.AddField<TFloatField>("Leer");
        header.AddField<TFloatField>("fXNBM_C");
        header.Open();
        header.Append();
        projekt.SetAsString("  Kl\xC3\xA4rwerk S\xC3\xBC" "d  ");
        datum.SetAsDateTime(EncodeDate(2026, 12, 6));
        dn.SetAsInteger(1);
        op.SetAsInteger(3);
        headerId.SetAsInteger(99);
        (void)flag;
        (void)leer;
        header.Post();
        closed.AddField<TFloatField>("Z");  // the engine opens it
    }

    std::string Run(TReport& report, std::string_view text)
    {
        TMemoryStream in(text);
        TMemoryStream out;
        report.ProcessTemplate(&in, &out);
        return out.ToString();
    }

    ScopedFormatSettings german{FormatSettings::German()};
    TzebMemTable cases;
    TzebMemTable header;
    TzebMemTable closed;
    TStringField* name = nullptr;
    TFloatField* qd = nullptr;
    TIntegerField* aktiv = nullptr;
};

}  // namespace

TEST_F(DataSetViewTest, FieldTypesAndTexts)
{
    TReport report;
    report.SetDataSets({&cases, &header, &closed});
    report.LoadVariables("");
    report.SetRecord(1);
    report.SetRecord(0);
    EXPECT_FALSE(closed.Active());
    EXPECT_EQ(Run(report, "|QD,8,2|;|Projekt|;|Projekt,3,3|;|Datum|;|DN,2|;|OP100,3,1|;|Flag|;|Leer,4,1|"),
              " 1234,50;Kl\xE4rwerk S\xFC" "d;Kl\xE4;06.12.2026; 1;  3;Flag; 0,0\r\n");
    EXPECT_TRUE(closed.Active());
    EXPECT_EQ(Run(report, "[|Z,3,1|]"), "[0,0]\r\n");  // an empty table reads as 0
    EXPECT_EQ(Run(report, "|Bezeichn#2|/|Aktiv#1,1|/|QD#2-QD,1,2|/|Bezeichn+Flag+1,1,0|"),
              "h\xF6" "chste Temperatur/0/2000,00/1\r\n");
    // The dataset stays on the record last read; a record number beyond the rows reads the first.
    Run(report, "|QD#2|");
    EXPECT_EQ(cases.RecNo(), 3);
    EXPECT_EQ(Run(report, "|QD#5,1,1|"), "1234,5\r\n");
    EXPECT_EQ(cases.RecNo(), 1);
    // The default record number selects the load case.
    report.SetRecord(1);
    EXPECT_EQ(Run(report, "$?Aktiv=0:inaktiv: |Bezeichn|$"), "inaktiv: tiefste Temperatur\r\n");
    report.SetRecord(0);
}

TEST_F(DataSetViewTest, DuplicateNamesAndAliasesInWindowOrder)
{
    const velmoran::testing::TempFolder tmp;
    const std::string table = tmp / "VarTab.tra";
    tmp.Write(table, "fXNBM_C = fXNBMC\r\nqd=Zulauf\r\n");
    TReport report;
    // The module lists cases, header; the main window reverses the list.
    report.SetDataSets({&header, &cases});
    report.LoadVariables(table);
    report.SetRecord(1);
    report.SetRecord(0);
    EXPECT_EQ(Run(report, "|ID,1| |Zulauf,1,1| |QD| |fXNBMC,1,1| |fXNBM_C,1,1|"), "99 1234,5 QD 0,0 *\r\n");
}
