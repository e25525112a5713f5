// Copying between datasets: loading with the structure (and field properties, calculated
// fields, the source's field order), the contradictory options, too many definitions, saving to
// a dataset with a limit, updating a dataset by key fields with each of its two flags, a source
// that reports no record count, auto-increment fields and default expressions.
#include "PlacesTable.h"

namespace velmoran {
namespace {

using testing::MessageOf;
using testing::PlacesTable;

class Copying : public PlacesTable {
protected:
    void SetUp() override
    {
        PlacesTable::SetUp();
        Add({{"Ulm", "BW", 120000}, {"Passau", "BY", 52000}, {"Aalen", "BW", 0}});
    }
    static std::vector<std::string> Rows(TDataSet& t)
    {
        std::vector<std::string> rows;
        for (t.First(); !t.Eof(); t.Next()) {
            std::string row;
            for (int i = 0; i < t.FieldCount(); ++i)
                row += (i ? ";" : "") + t.Fields()[i].AsString();
            rows.push_back(row);
        }
        return rows;
    }
};

TEST_F(Copying, LoadingTakesOverStructurePropertiesAndRecords)
{
    table.Close();
    name->SetDisplayLabel("Ort");
    name->Visible = false;
    name->DefaultExpression = "Neu";
    einwohner->SetDisplayFormat("#,##0");
    einwohner->MaxValue = 5000000;
    auto& doppelt = table.AddField<TIntegerField>("Doppelt");
    doppelt.SetFieldKind(fkCalculated);
    table.Open();
    Add({{"Ulm", "BW", 120000}, {"Passau", "BY", 52000}, {"Aalen", "BW", 0}});
    table.SetIndexFieldNames("Name");

    TzebMemTable copy;
    copy.LoadFromDataSet(table, mtcpoStructure | mtcpoProperties | mtcpoCalculated | mtcpoFieldIndex);
    ASSERT_EQ(copy.FieldCount(), 4);
    EXPECT_EQ(copy.Fields()[3].FieldKind(), fkCalculated);
    EXPECT_EQ(Rows(copy), (std::vector<std::string>{"Aalen;BW;;", "Passau;BY;52000;", "Ulm;BW;120000;"}));
    EXPECT_TRUE(copy.LoadedCompletely);
    const TField& copiedName = copy.FieldByName("Name");
    EXPECT_EQ(copiedName.DisplayLabel(), "Ort");
    EXPECT_FALSE(copiedName.Visible);
    EXPECT_EQ(copiedName.DefaultExpression, "Neu");
    const auto& copiedNumber = dynamic_cast<const TIntegerField&>(copy.FieldByName("Einwohner"));
    EXPECT_EQ(copiedNumber.DisplayFormat(), "#,##0");
    EXPECT_EQ(copiedNumber.MaxValue, 5000000);
    EXPECT_EQ(copiedNumber.Alignment, taRightJustify);
    // The default expression fills a new record.
    copy.Append();
    EXPECT_EQ(copy.FieldByName("Name").AsString(), "Neu");
    copy.Cancel();
    // The source is where it was.
    EXPECT_EQ(name->AsString(), "Aalen");

    // Appending keeps what is there; a limit stops early.
    copy.LoadLimit = 2;
    copy.LoadFromDataSet(table, mtcpoAppend);
    EXPECT_EQ(copy.RecordCount(), 5);
    EXPECT_FALSE(copy.LoadedCompletely);
    EXPECT_EQ(MessageOf([&] { copy.LoadFromDataSet(table, mtcpoStructure | mtcpoAppend); }),
              "Die Struktur kann nicht zugleich kopiert und angehängt werden");
    EXPECT_EQ(copy.RecordCount(), 5);
}

TEST(CopyingStructure, TooManyDefinitionsAreRefused)
{
    TzebMemTable wide;
    for (int i = 0; i <= ZEB_MAX_FIELDS; ++i)
        wide.FieldDefs().Add("F" + std::to_string(i), ftInteger);
    TzebMemTable copy;
    copy.AddField<TIntegerField>("Bleibt");
    EXPECT_EQ(MessageOf([&] { copy.LoadFromDataSet(wide, mtcpoStructure); }),
              "Zu viele Felddefinitionen");
    EXPECT_NE(copy.FindField("Bleibt"), nullptr);
}

TEST_F(Copying, SavingToADatasetWithALimit)
{
    TzebMemTable target;
    target.AddField<TStringField>("Name", 10);
    target.AddField<TAutoIncField>("Nr");
    target.AddField<TIntegerField>("Einwohner");
    table.SaveLimit = 2;
    table.SaveToDataSet(target);
    EXPECT_FALSE(table.SavedCompletely);
    EXPECT_EQ(Rows(target), (std::vector<std::string>{"Ulm;0;120000", "Passau;1;52000"}));
    table.SaveLimit = -1;
    table.SaveToDataSet(target);
    EXPECT_TRUE(table.SavedCompletely);
    EXPECT_EQ(target.RecordCount(), 5);
}

// Records loaded from a dataset are numbered as every new record is: appended to a table that
// holds one, or loaded into an emptied one from a source without the number field, they take the
// next numbers; a source's own numbers come along into an empty table and the numbering goes on
// after them. A read-only field still takes the copied values.
TEST_F(Copying, LoadedRecordsAreNumberedLikeNewOnes)
{
    TzebMemTable target;
    target.AddField<TStringField>("Name", 30);
    target.AddField<TAutoIncField>("Nr");
    target.AddField<TIntegerField>("Einwohner").SetReadOnly(true);
    target.Open();
    target.Append();
    target.FieldByName("Name").SetAsString("Hof");
    target.Post();
    target.LoadLimit = 2;
    target.LoadFromDataSet(table, mtcpoAppend);
    EXPECT_EQ(Rows(target), (std::vector<std::string>{"Hof;0;", "Ulm;1;120000", "Passau;2;52000"}));

    TzebMemTable again;
    again.AddField<TStringField>("Name", 30);
    again.AddField<TAutoIncField>("Nr");
    again.LoadFromDataSet(target, 0);
    again.Append();
    again.FieldByName("Name").SetAsString("Aalen");
    again.Post();
    EXPECT_EQ(Rows(again), (std::vector<std::string>{"Hof;0", "Ulm;1", "Passau;2", "Aalen;3"}));
    target.LoadLimit = -1;
    target.LoadFromDataSet(again, mtcpoAppend);
    EXPECT_EQ(Rows(target), (std::vector<std::string>{"Hof;0;", "Ulm;1;120000", "Passau;2;52000", "Hof;3;", "Ulm;4;",
                                                       "Passau;5;", "Aalen;6;"}));
}

TEST_F(Copying, UpdatingByKeyFieldsWithEachFlag)
{
    TzebMemTable target;
    target.AddField<TStringField>("Name", 30);
    target.AddField<TStringField>("Land", 2);
    target.AddField<TIntegerField>("Einwohner");
    target.Open();
    target.Append();
    target.FieldByName("Name").SetAsString("Ulm");
    target.FieldByName("Land").SetAsString("BW");
    target.FieldByName("Einwohner").SetAsInteger(1);
    target.Post();

    table.UpdateToDataSet(target, "Name", true, false);
    EXPECT_EQ(Rows(target), (std::vector<std::string>{"Ulm;BW;120000"}));
    table.Locate("Name", "Ulm");
    table.Edit();
    einwohner->SetAsInteger(2);
    table.Post();
    table.UpdateToDataSet(target, "Name", false, true);
    EXPECT_EQ(Rows(target), (std::vector<std::string>{"Ulm;BW;120000", "Passau;BY;52000", "Aalen;BW;"}));
    table.UpdateToDataSet(target, "Name;Land");
    EXPECT_EQ(Rows(target), (std::vector<std::string>{"Ulm;BW;2", "Passau;BY;52000", "Aalen;BW;"}));
}

// A dataset that cannot say how many records it has.
class Countless : public TzebMemTable {
protected:
    int GetRecordCount() const override { return 0; }
};

TEST_F(Copying, ASourceWithoutACountReportsHalfway)
{
    Countless source;
    source.AddField<TIntegerField>("Einwohner");
    source.Open();
    for (int i = 0; i < 250; ++i) {
        source.Append();
        source.FieldByName("Einwohner").SetAsInteger(i);
        source.Post();
    }
    std::vector<int> progress;
    table.OnProgress = [&](TzebCustomMemTable&, int percent, TzebProgressCode code) {
        if (code == mtpcCopy)
            progress.push_back(percent);
    };
    source.First();
    EXPECT_EQ(table.CopyRecords(source, table, -1, 0), 250);
    EXPECT_EQ(progress, (std::vector<int>{0, 50, 50, 100}));
    EXPECT_EQ(table.RecordCount(), 253);
}

}  // namespace
}  // namespace velmoran
