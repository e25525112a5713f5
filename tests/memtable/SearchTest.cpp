// Key search, locate and lookup, the choice of the current index, and going to a bookmark in
// a row-order index whose order no longer follows the slot numbers.
#include "PlacesTable.h"

namespace velmoran {
namespace {

using testing::MessageOf;
using testing::PlacesTable;

using KeySearch = PlacesTable;

int NativeKey(const TzebMemTable& t, const TzebRecord* record)
{
    std::int32_t value = 0;
    std::memcpy(&value, t.Store().FieldPointer(record, 1) + 1, 4);
    return value;
}

// A scratch record holding one integer key to search for, freed with the probe.
class IntegerProbe {
public:
    explicit IntegerProbe(TzebMemTable& table) : table_(table), record_(table.Store().AllocateRecord()) {}
    ~IntegerProbe() { table_.Store().FreeRecord(record_, false, false); }
    IntegerProbe(const IntegerProbe&) = delete;
    IntegerProbe& operator=(const IntegerProbe&) = delete;
    const TzebRecord* Key(std::int32_t value)
    {
        *table_.Store().FieldPointer(record_, 1) = std::byte{2};
        std::memcpy(table_.Store().FieldPointer(record_, 1) + 1, &value, 4);
        return record_;
    }

private:
    TzebMemTable& table_;
    TzebRecord* record_;
};

// Opens the table with one integer field "Key", appends count records keyed by keyOf and orders
// the table by the key.
void FillKeys(TzebMemTable& t, int count, const std::function<int(int)>& keyOf)
{
    auto& key = t.AddField<TIntegerField>("Key");
    t.Open();
    for (int i = 0; i < count; ++i) {
        t.Append();
        key.SetAsInteger(keyOf(i));
        t.Post();
    }
    t.SetIndexFieldNames("Key");
}

// The same first match by scan (20 records) and by bisection (21 records), with runs of equal
// keys in which the first one in the index's order must be found.
TEST_F(KeySearch, ScanAndBisectionFindTheSameFirstRecord)
{
    for (int count : {20, 21}) {
        TzebMemTable t;
        FillKeys(t, count, [count](int i) { return (i * 11) % count / 4; });  // runs of four, mixed
        auto& index = static_cast<TzebSortedIndex&>(t.CurrentIndex());
        TzebFieldList keys;
        t.BuildFieldList("Key", keys);
        IntegerProbe probe(t);
        auto search = [&](int wanted, bool nearest) {
            return t.SearchKey(index, keys, 1, probe.Key(wanted), true, nearest);
        };
        for (int wanted = 0; wanted <= (count - 1) / 4; ++wanted) {
            int first = 0;
            while (NativeKey(t, index.At(first)) != wanted)
                ++first;
            // Bisection (21 records) or scan (20) against a scan of the same list.
            int found = search(wanted, false);
            index.SetOrdered(false);
            int scanned = search(wanted, false);
            index.SetOrdered(true);
            EXPECT_EQ(found, first) << count << " " << wanted;
            EXPECT_EQ(scanned, first) << count << " " << wanted;
            ASSERT_TRUE(t.Locate("Key", TVariant(wanted)));
            EXPECT_EQ(t.RecNo(), first + 1);
        }
        EXPECT_FALSE(t.Locate("Key", TVariant(99)));
        // Nearest mode gives the insertion point: the first record above the key.
        EXPECT_EQ(search(99, true), count);
        EXPECT_EQ(search(-1, true), 0);
    }
}

// Asked for the last of equal keys, the bisection walks up the run it lands in; the last run ends
// at the index's end, where the walk must stop without looking past it.
TEST_F(KeySearch, BisectionFindsTheLastOfEqualKeysUpToTheIndexEnd)
{
    TzebMemTable t;
    FillKeys(t, 24, [](int i) { return i % 6; });  // six runs of four equal keys, stored mixed
    auto& index = static_cast<TzebSortedIndex&>(t.CurrentIndex());
    TzebFieldList keys;
    t.BuildFieldList("Key", keys);
    IntegerProbe probe(t);
    for (int wanted = 0; wanted < 6; ++wanted) {
        EXPECT_EQ(t.SearchKey(index, keys, 1, probe.Key(wanted), false, false), wanted * 4 + 3) << wanted;
        EXPECT_EQ(t.SearchKey(index, keys, 1, probe.Key(wanted), true, false), wanted * 4) << wanted;
    }
    EXPECT_EQ(t.SearchKey(index, keys, 1, probe.Key(6), false, false), -1);
}

TEST_F(KeySearch, PartialAndCaseInsensitiveLocate)
{
    Add({{"Abc", "BW", 1}, {"Xaver", "BY", 2}, {"abenberg", "BY", 3}});
    EXPECT_TRUE(table.Locate("Name", TVariant("Ab"), loPartialKey));
    EXPECT_EQ(name->AsString(), "Abc");
    EXPECT_FALSE(table.Locate("Name", TVariant("ABC")));
    EXPECT_TRUE(table.Locate("Name", TVariant("ABC"), loCaseInsensitive));
    EXPECT_EQ(name->AsString(), "Abc");
    EXPECT_TRUE(table.Locate("Name;Land", TVariant(std::vector<TVariant>{"ABENB", "by"}), loCaseInsensitive | loPartialKey));
    EXPECT_EQ(name->AsString(), "abenberg");
    // A text longer than the field is cut to its size before it is searched.
    Add({"Neustadt an der Waldnaab Landk", "BY", 4});
    EXPECT_TRUE(table.Locate("Name", TVariant("Neustadt an der Waldnaab Landkreis und mehr")));
    EXPECT_EQ(einwohner->AsInteger(), 4);
}

TEST_F(KeySearch, LocateErrorsAndLookupKeepsTheCursor)
{
    Add({{"Ulm", "BW", 120000}, {"Passau", "BY", 50000}});
    EXPECT_EQ(MessageOf([&] { table.Locate("Name;Land", TVariant("Ulm")); }), "Mehr Felder als Werte");
    EXPECT_EQ(MessageOf([&] { table.Locate(" ; ", TVariant("Ulm")); }), "Es muss mindestens ein Feld angegeben sein");
    TVariant nested(std::vector<TVariant>{TVariant(std::vector<TVariant>{"Ulm"}), "BW"});
    EXPECT_EQ(MessageOf([&] { table.Locate("Name;Land", nested); }), "Die Werteliste hat eine ungültige Zahl von Dimensionen");

    table.First();
    TVariant found = table.Lookup("Name", TVariant("Passau"), "Land;Einwohner");
    ASSERT_TRUE(found.IsArray());
    EXPECT_EQ(found.Elements()[0].AsString(), "BY");
    EXPECT_EQ(found.Elements()[1].AsInteger(), 50000);
    EXPECT_EQ(table.Lookup("Name", TVariant("Ulm"), "Einwohner").AsInteger(), 120000);
    EXPECT_TRUE(table.Lookup("Name", TVariant("Hof"), "Einwohner").IsNull());
    EXPECT_EQ(name->AsString(), "Ulm");
    EXPECT_EQ(table.State(), dsBrowse);
}

TEST_F(KeySearch, SearchUsesAMatchingIndexOrAddsOne)
{
    for (int i = 0; i < 30; ++i)
        Add({("Ort" + std::to_string(100 - i)).c_str(), i % 2 ? "BY" : "BW", i});
    // Without an index on the field the row order is scanned.
    EXPECT_TRUE(table.Locate("Name", TVariant("Ort80")));
    EXPECT_EQ(einwohner->AsInteger(), 20);
    EXPECT_EQ(table.Indexes().Count(), 1);
    // With AutoAddIndexes the search adds its own index and translates the place found there.
    table.AutoAddIndexes = true;
    EXPECT_TRUE(table.Locate("Name", TVariant("Ort75")));
    EXPECT_EQ(einwohner->AsInteger(), 25);
    EXPECT_EQ(table.RecNo(), 26);
    ASSERT_NE(table.Indexes().Find("__MT__AUTO_Name"), nullptr);
    EXPECT_TRUE(table.Indexes().Find("__MT__AUTO_Name")->Ordered());
    // A descending index that starts with the field serves too: its options are taken over.
    table.AutoAddIndexes = false;
    table.AddIndex("Absteigend", "Land:D;Name");
    EXPECT_TRUE(table.Locate("Land;Name", TVariant(std::vector<TVariant>{"BW", "Ort72"})));
    EXPECT_EQ(einwohner->AsInteger(), 28);
}

// In a table ordered by another field no bisection may be tried: every record is found, from
// 21 records on (where an order by the key field would be bisected) as below.
TEST_F(KeySearch, LocateInATableOrderedByAnotherField)
{
    for (int i = 0; i < 30; ++i)
        Add({("Ort" + std::to_string(i)).c_str(), i % 2 ? "BY" : "BW", (i * 7) % 30 + 1});
    table.SetIndexFieldNames("Einwohner");
    for (int i = 0; i < 30; ++i) {
        const std::string wanted = "Ort" + std::to_string(i);
        ASSERT_TRUE(table.Locate("Name", TVariant(wanted))) << wanted;
        EXPECT_EQ(einwohner->AsInteger(), (i * 7) % 30 + 1);
        EXPECT_EQ(table.RecNo(), (i * 7) % 30 + 1);
        EXPECT_EQ(table.Lookup("Name;Land", TVariant(std::vector<TVariant>{wanted, i % 2 ? "BY" : "BW"}), "Einwohner")
                      .AsInteger(),
                  (i * 7) % 30 + 1);
    }
    EXPECT_FALSE(table.Locate("Name", TVariant("Ort30")));
    EXPECT_EQ(table.Indexes().Count(), 2);
}

// Key values of the date and time kinds and currency are converted to the field's own form.
TEST(KeySearchByValueKind, DatesTimesAndMoney)
{
    TzebMemTable t;
    auto& day = t.AddField<TDateField>("Tag");
    auto& time = t.AddField<TTimeField>("Zeit");
    auto& stamp = t.AddField<TDateTimeField>("Stempel");
    auto& money = t.AddField<TCurrencyField>("Betrag");
    auto& number = t.AddField<TIntegerField>("Nr");
    t.Open();
    for (int i = 0; i < 3; ++i) {
        t.Append();
        day.SetAsDateTime(EncodeDate(2020, 5, 1 + i));
        time.SetAsDateTime(EncodeTime(8 + i, 30, 0, 0));
        stamp.SetAsDateTime(EncodeDate(2021, 1, 1 + i) + EncodeTime(12, 0, 0, 0));
        money.SetAsFloat(1.25 * (i + 1));
        number.SetAsInteger(i);
        t.Post();
    }
    ASSERT_TRUE(t.Locate("Tag", TVariant::Date(EncodeDate(2020, 5, 2))));
    EXPECT_EQ(number.AsInteger(), 1);
    ASSERT_TRUE(t.Locate("Zeit", TVariant::Date(EncodeTime(10, 30, 0, 0))));
    EXPECT_EQ(number.AsInteger(), 2);
    ASSERT_TRUE(t.Locate("Stempel", TVariant::Date(EncodeDate(2021, 1, 1) + EncodeTime(12, 0, 0, 0))));
    EXPECT_EQ(number.AsInteger(), 0);
    ASSERT_TRUE(t.Locate("Betrag", TVariant::Currency(25000)));
    EXPECT_EQ(number.AsInteger(), 1);
    EXPECT_FALSE(t.Locate("Tag", TVariant::Date(EncodeDate(2020, 5, 4))));
}

TEST_F(KeySearch, IndexChoiceIsRememberedWhileClosedAndKeepsTheRecord)
{
    Add({{"Ulm", "BW", 120000}, {"Passau", "BY", 50000}, {"Aalen", "BW", 68000}});
    table.Locate("Name", TVariant("Passau"));
    table.SetIndexFieldNames("Name");
    EXPECT_EQ(name->AsString(), "Passau");
    EXPECT_EQ(table.RecNo(), 2);
    EXPECT_EQ(table.IndexName(), "Name");
    EXPECT_EQ(table.IndexFieldList().Count(), 1);
    table.SetIndexFieldNames("Einwohner:D");
    EXPECT_EQ(name->AsString(), "Passau");
    EXPECT_EQ(table.RecNo(), 3);
    EXPECT_EQ(MessageOf([&] { table.SetIndexName("Gibtsnicht"); }), "Index 'Gibtsnicht' nicht gefunden");
    table.SetIndexName("");
    EXPECT_EQ(table.IndexFieldNames(), "");
    EXPECT_EQ(table.RecNo(), 2);

    table.Close();
    table.SetIndexFieldNames("Land;Name");
    EXPECT_EQ(table.IndexFieldNames(), "Land;Name");
    table.Open();
    Add({{"Ulm", "BW", 1}, {"Hof", "BY", 2}, {"Aalen", "BW", 3}});
    EXPECT_EQ(table.IndexFieldNames(), "Land;Name");
    EXPECT_EQ(Names(), (std::vector<std::string>{"Aalen", "Ulm", "Hof"}));
}

// Going to a bookmark must find the record in a row order that is no longer in slot order:
// records inserted in the middle and slots reused after deletes.
TEST_F(KeySearch, GotoBookmarkInARowOrderOutOfSlotOrder)
{
    for (int i = 0; i < 40; ++i)
        Add({("R" + std::to_string(i)).c_str(), "BY", i + 1});
    for (int i = 0; i < 5; ++i) {  // five deletes free five slots
        table.SetRecNo(3 + i * 5);
        table.Delete();
    }
    for (int i = 0; i < 15; ++i) {  // inserts in the middle reuse them, then take new ones
        table.SetRecNo(2 + i * 2);
        table.Insert();
        name->SetAsString("I" + std::to_string(i));
        einwohner->SetAsInteger(1000 + i);
        table.Post();
    }
    ASSERT_EQ(table.RecordCount(), 50);
    std::vector<TBookmark> marks;
    std::vector<std::string> names;
    for (table.First(); !table.Eof(); table.Next()) {
        marks.push_back(table.GetBookmark());
        names.push_back(name->AsString());
    }
    for (std::size_t i = 0; i < marks.size(); ++i) {
        std::size_t k = (i * 17) % marks.size();
        table.GotoBookmark(marks[k]);
        ASSERT_EQ(name->AsString(), names[k]) << k;
        ASSERT_EQ(table.RecNo(), static_cast<int>(k) + 1);
    }
    // Switching to an index and back keeps the record as well.
    table.GotoBookmark(marks[30]);
    table.SetIndexFieldNames("Einwohner:D");
    EXPECT_EQ(name->AsString(), names[30]);
    table.SetIndexFieldNames("");
    EXPECT_EQ(table.RecNo(), 31);
}

TEST_F(KeySearch, VariantWriterCutsTextsAndNullsFields)
{
    Add({"Ulm", "BW", 120000});
    table.Edit();
    table.SetFieldValue(*name, TVariant(std::string(40, 'x')));
    table.SetFieldValue(*einwohner, TVariant::Null());
    table.SetFieldValue(*land, TVariant());
    table.Post();
    EXPECT_EQ(name->AsString(), std::string(30, 'x'));
    EXPECT_TRUE(einwohner->IsNull());
    EXPECT_TRUE(land->IsNull());
    table.Edit();
    table.SetFieldValue(*einwohner, TVariant("4711"));
    table.Post();
    EXPECT_EQ(einwohner->AsInteger(), 4711);
    EXPECT_EQ(MessageOf([&] { table.SetFieldValue(*einwohner, TVariant(1)); }), "Datenmenge ist nicht im Bearbeitungsmodus");
}

}  // namespace
}  // namespace velmoran
