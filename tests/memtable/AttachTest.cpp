// Tables attached to one store: both see the same records and keep their own sorted indexes in
// order through inserts, edits and deletes in either; the attach errors; the entry of a table
// that leaves stays empty for the next; closing or destroying the owner; going to the record
// that is current in another table.
#include "PlacesTable.h"

#include <memory>

namespace velmoran {
namespace {

using testing::MessageOf;
using testing::PlacesTable;

// `table` (from PlacesTable) owns the store; `second` is attached to it.
class Attached : public PlacesTable {
protected:
    void SetUp() override
    {
        PlacesTable::SetUp();
        table.Close();
        table.SetAttachMaxCount(4);
        second.SetAttachedTo(&table);
        table.Open();
        Add({{"Ulm", "BW", 120000}, {"Passau", "BY", 52000}, {"Aalen", "BW", 68000}});
        second.Open();
    }
    static std::vector<std::string> NamesOf(TDataSet& dataSet)
    {
        std::vector<std::string> all;
        for (dataSet.First(); !dataSet.Eof(); dataSet.Next())
            all.push_back(dataSet.FieldByName("Name").AsString());
        return all;
    }
    static void ExpectOrdered(TzebCustomMemTable& t)
    {
        const TzebIndex& index = t.CurrentIndex();
        for (int i = 1; i < index.Count(); ++i)
            EXPECT_LE(t.CompareKeys(t.IndexFieldList(), index.At(i - 1), index.At(i)), 0) << t.Name;
        EXPECT_EQ(index.Count(), t.RecordCount()) << t.Name;
    }

    TzebMemTable second;
};

TEST_F(Attached, BothTablesSeeTheSameRecordsInTheirOwnOrder)
{
    second.Name = "second";
    table.Name = "owner";
    EXPECT_EQ(second.AttachedTo(), &table);
    EXPECT_EQ(&second.Store(), &table.Store());
    EXPECT_EQ(second.FieldCount(), 3);
    EXPECT_EQ(NamesOf(second), (std::vector<std::string>{"Ulm", "Passau", "Aalen"}));
    table.SetIndexFieldNames("Name");
    second.SetIndexFieldNames("Einwohner:D");

    // Changes in either reach both orders, with no entry left behind.
    second.Append();
    second.FieldByName("Name").SetAsString("Bamberg");
    second.FieldByName("Einwohner").SetAsInteger(77000);
    second.Post();
    table.Locate("Name", "Ulm");
    table.Edit();
    einwohner->SetAsInteger(10);
    name->SetAsString("Zell");
    table.Post();
    second.Locate("Name", "Passau");
    second.Delete();
    EXPECT_EQ(NamesOf(table), (std::vector<std::string>{"Aalen", "Bamberg", "Zell"}));
    EXPECT_EQ(NamesOf(second), (std::vector<std::string>{"Bamberg", "Aalen", "Zell"}));
    ExpectOrdered(table);
    ExpectOrdered(second);
}

TEST_F(Attached, AttachErrors)
{
    EXPECT_EQ(MessageOf([&] { table.SetAttachedTo(&table); }), "Eine Tabelle kann nicht an sich selbst angehängt werden");
    TzebMemTable third;
    EXPECT_EQ(MessageOf([&] { third.SetAttachedTo(&second); }),
              "Eine Tabelle kann nicht an eine selbst angehängte Tabelle angehängt werden");
    EXPECT_EQ(MessageOf([&] { table.SetAttachedTo(&third); }), "An diese Tabelle sind andere Tabellen angehängt");
    EXPECT_EQ(MessageOf([&] { table.SetAttachMaxCount(4); }), "Die Tabelle muss für diesen Vorgang geschlossen sein");
    EXPECT_EQ(MessageOf([&] { second.SetStandalone(true); }), "Die Tabelle muss für diesen Vorgang geschlossen sein");
    second.Close();
    EXPECT_EQ(MessageOf([&] { second.SetStandalone(true); }), "Die Tabelle ist an eine andere Tabelle angehängt");

    // Free entries take tables while the others are open; once they are taken, no more.
    third.SetAttachedTo(&table);
    EXPECT_EQ(third.AttachIndex(), 2);
    TzebMemTable extra;
    extra.SetAttachedTo(&table);
    EXPECT_EQ(extra.AttachIndex(), 3);
    TzebMemTable fourth;
    fourth.FieldDefs().Add("X", ftInteger);
    fourth.Open();
    EXPECT_EQ(MessageOf([&] { fourth.SetAttachedTo(&table); }), "Die Tabelle muss für diesen Vorgang geschlossen sein");
    // A refused table stays as it was.
    EXPECT_TRUE(fourth.Active());
    EXPECT_EQ(fourth.AttachedTo(), nullptr);
    // With every table closed the list grows.
    table.Close();
    fourth.SetAttachedTo(&table);
    EXPECT_EQ(fourth.AttachIndex(), 4);
    EXPECT_EQ(table.AttachMaxCount(), 5);
    EXPECT_EQ(MessageOf([&] { table.SetStandalone(true); }), "An diese Tabelle sind andere Tabellen angehängt");
}

TEST_F(Attached, TheEntryOfATableThatLeavesStaysFreeAndLaterBookmarksHold)
{
    auto middle = std::make_unique<TzebMemTable>();
    TzebMemTable last;
    middle->SetAttachedTo(&table);
    last.SetAttachedTo(&table);
    ASSERT_EQ(last.AttachIndex(), 3);
    last.Open();
    last.Locate("Name", "Passau");
    const TBookmark passau = last.GetBookmark();

    middle.reset();
    EXPECT_EQ(table.Store().AttachedTables()[2], nullptr);
    EXPECT_EQ(table.Store().AttachedTables()[last.AttachIndex()], &last);
    // The freed entry goes to the next table; the last one keeps its own.
    TzebMemTable next;
    next.SetAttachedTo(&table);
    EXPECT_EQ(next.AttachIndex(), 2);
    next.Open();
    next.Locate("Name", "Aalen");
    next.Edit();
    next.FieldByName("Einwohner").SetAsInteger(1);
    next.Post();

    last.First();
    ASSERT_TRUE(last.BookmarkValid(passau));
    last.GotoBookmark(passau);
    EXPECT_EQ(last.FieldByName("Name").AsString(), "Passau");
    EXPECT_EQ(last.GetBookmark(), passau);
    EXPECT_EQ(last.CompareBookmarks(passau, last.GetBookmark()), 0);
}

TEST_F(Attached, ShrinkingTheListClosesItsGaps)
{
    auto middle = std::make_unique<TzebMemTable>();
    TzebMemTable last;
    middle->SetAttachedTo(&table);
    last.SetAttachedTo(&table);
    middle.reset();
    table.Close();
    EXPECT_EQ(MessageOf([&] { table.SetAttachMaxCount(2); }), "Ungültiges Argument");
    second.SetAttachedTo(nullptr);
    table.SetAttachMaxCount(2);
    EXPECT_EQ(last.AttachIndex(), 1);
    EXPECT_EQ(table.Store().AttachedTables(), (std::vector<TzebCustomMemTable*>{&table, &last}));
    last.Open();
    last.Append();
    last.FieldByName("Name").SetAsString("Hof");
    last.Post();
    EXPECT_EQ(NamesOf(table), (std::vector<std::string>{"Hof"}));
}

TEST_F(Attached, ClosingOrDestroyingTheOwnerReachesTheOthers)
{
    table.Close();
    EXPECT_FALSE(second.Active());
    EXPECT_EQ(table.Store().SlotCount(), 0);
    // Opening an attached table opens the owner first.
    second.Open();
    EXPECT_TRUE(table.Active());
    EXPECT_TRUE(second.IsEmpty());

    auto owner = std::make_unique<TzebMemTable>();
    owner->AddField<TIntegerField>("N");
    TzebMemTable follower;
    follower.SetAttachedTo(owner.get());
    follower.Open();
    owner.reset();
    EXPECT_FALSE(follower.Active());
    EXPECT_EQ(follower.AttachedTo(), nullptr);
    EXPECT_EQ(follower.Store().Owner(), &follower);
    follower.Open();
    EXPECT_TRUE(follower.IsEmpty());
}

TEST_F(Attached, CalculatedFieldsOfEveryTableFitTheStore)
{
    TzebMemTable third;
    third.AddField<TStringField>("Name", 30);
    auto& label = third.AddField<TStringField>("Etikett", 60);
    label.SetFieldKind(fkCalculated);
    third.OnCalcFields = [&](TDataSet&) { label.SetAsString("Ort " + third.FieldByName("Name").AsString()); };
    third.SetAttachedTo(&table);
    EXPECT_EQ(third.FieldCount(), 4);
    // The owner laid its records out for its own calculated fields, which are none.
    EXPECT_EQ(MessageOf([&] { third.Open(); }), "Die berechneten Felder einer angehängten Tabelle passen nicht in ihren Speicher");
    table.Close();
    third.Open();
    EXPECT_TRUE(table.Active());
    Add({{"Hof", "BY", 45000}});
    third.First();
    EXPECT_EQ(label.AsString(), "Ort Hof");
}

TEST_F(Attached, GotoCurrentFindsTheOtherTablesRecord)
{
    table.Locate("Name", "Aalen");
    second.GotoCurrent(table);
    EXPECT_EQ(second.FieldByName("Name").AsString(), "Aalen");
    second.SetFilter("Land = 'BY'");
    second.SetFiltered(true);
    EXPECT_EQ(MessageOf([&] { second.GotoCurrent(table); }), "Datensatz nicht gefunden");
}

}  // namespace
}  // namespace velmoran
