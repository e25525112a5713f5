// Sorted indexes: field lists and their options, value comparison per type, nulls, sorting with
// the tie-break against a reference, unique indexes, and keeping several indexes in order while
// records are inserted, edited and deleted.
#include "PlacesTable.h"

#include <algorithm>
#include <cstring>
#include <random>

namespace velmoran {
namespace {

using testing::MessageOf;
using testing::PlacesTable;

using IndexFieldLists = PlacesTable;

TEST_F(IndexFieldLists, OptionLettersInAnyCaseAndTheErrors)
{
    TzebFieldList list;
    table.BuildFieldList("Land:cd ; Name:P L N", list);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0].Field, land);
    EXPECT_EQ(list[0].Options, mtcoCaseInsensitive | mtcoDescending);
    EXPECT_EQ(list[1].Options, mtcoPartialKey | mtcoIgnoreLocale | mtcoIgnoreNullKey);
    EXPECT_EQ(MessageOf([&] { table.BuildFieldList("Name;Ort", list); }), "Feld 'Ort' nicht gefunden");
    EXPECT_EQ(MessageOf([&] { table.BuildFieldList("Name:X", list); }), "Ungültige Feldoption 'X' in 'Name:X'");

    // A blob field cannot be a key; the message names its display label.
    TzebMemTable notes;
    auto& text = notes.AddField<TField>("Text", ftMemo);
    text.SetDisplayLabel("Bemerkung");
    notes.AddField<TStringField>("Kurz", 10);
    notes.Open();
    EXPECT_EQ(MessageOf([&] { notes.BuildFieldList("Kurz;Text", list); }), "Über Feld 'Bemerkung' kann kein Index angelegt werden");
    EXPECT_EQ(MessageOf([&] { notes.SetIndexFieldNames("Text"); }), "Über Feld 'Bemerkung' kann kein Index angelegt werden");
    EXPECT_EQ(notes.IndexFieldNames(), "");
}

// One field of each type, written natively, compared through a one-field index.
class ValueComparison : public ::testing::Test {
protected:
    template <typename T>
    int Compare(TFieldType type, T a, T b, std::uint8_t options = 0, int size = 0)
    {
        TzebMemTable t;
        TField& field = t.AddField<TField>("F", type, size);
        t.Open();
        std::vector<std::byte> x(static_cast<std::size_t>(std::max(field.DataSize(), 8))), y(x.size());
        std::memcpy(x.data(), &a, std::min(sizeof a, x.size()));
        std::memcpy(y.data(), &b, std::min(sizeof b, y.size()));
        return t.CompareFieldValues(field, x.data(), y.data(), options);
    }
};

TEST_F(ValueComparison, EachTypeWithDescending)
{
    EXPECT_EQ(Compare<std::int16_t>(ftSmallint, -5, 3), -1);
    EXPECT_EQ(Compare<std::int16_t>(ftSmallint, -5, 3, mtcoDescending), 1);
    EXPECT_EQ(Compare<std::uint16_t>(ftWord, 65535, 1), 1);  // unsigned
    EXPECT_EQ(Compare<std::int16_t>(ftBoolean, 1, 0), 1);
    EXPECT_EQ(Compare<std::int16_t>(ftBoolean, -1, 1), 0);  // any non-zero is true
    EXPECT_EQ(Compare<std::int32_t>(ftInteger, -100000, 7), -1);
    EXPECT_EQ(Compare<std::int32_t>(ftAutoInc, 8, 7), 1);
    EXPECT_EQ(Compare<std::int32_t>(ftDate, 730000, 730000), 0);
    EXPECT_EQ(Compare<std::int32_t>(ftTime, 1000, 2000, mtcoDescending), 1);
    EXPECT_EQ(Compare<std::int64_t>(ftLargeint, -(std::int64_t{1} << 40), 1), -1);
    EXPECT_EQ(Compare<double>(ftFloat, 2.5, 2.25), 1);
    EXPECT_EQ(Compare<double>(ftCurrency, 1.0, 1.0), 0);
    EXPECT_EQ(Compare<double>(ftDateTime, 1e12, 2e12), -1);
    EXPECT_EQ(Compare<TBcd>(ftBCD, CurrencyToBcd(-15000, 32), CurrencyToBcd(12345, 32)), -1);
    EXPECT_EQ(Compare<TBcd>(ftBCD, CurrencyToBcd(15000, 32), CurrencyToBcd(15000, 10)), 0);
    TBcd invalid;
    invalid.Precision = 2;
    invalid.Fraction[0] = 0xFF;
    EXPECT_EQ(Compare<TBcd>(ftBCD, invalid, CurrencyToBcd(1, 32)), 0);  // a failed conversion is equal
    EXPECT_EQ(Compare<std::int32_t>(ftArray, 1, 2), 0);  // containers compare equal
}

TEST_F(ValueComparison, TextsByLocaleByCodeAndPartly)
{
    TextCollator::SetUserDefaultLocale("de_DE");
    using Text = std::array<char, 21>;
    auto text = [](const char* s) {
        Text t{};
        std::string bytes = Utf8ToCp1252(s);
        std::memcpy(t.data(), bytes.data(), bytes.size());
        return t;
    };
    EXPECT_EQ(Compare(ftString, text("Ärzen"), text("Augsburg"), 0, 20), -1);
    EXPECT_EQ(Compare(ftString, text("Ärzen"), text("Augsburg"), mtcoIgnoreLocale, 20), 1);
    EXPECT_EQ(Compare(ftString, text("abc"), text("ABC"), mtcoCaseInsensitive, 20), 0);
    EXPECT_EQ(Compare(ftString, text("ärzen"), text("ÄRZEN"), mtcoCaseInsensitive | mtcoIgnoreLocale, 20), 0);
    // The capitals of the code page's upper half fold too: Š, Œ, Ž and Ÿ.
    EXPECT_EQ(Compare(ftString, text("ŠŒŽŸ"), text("šœžÿ"), mtcoCaseInsensitive | mtcoIgnoreLocale, 20), 0);
    EXPECT_EQ(Compare(ftString, text("Š"), text("z"), mtcoCaseInsensitive | mtcoIgnoreLocale, 20), 1);
    EXPECT_EQ(Compare(ftString, text("Ab"), text("Abc"), mtcoPartialKey, 20), 0);
    EXPECT_EQ(Compare(ftString, text("Abd"), text("Ab"), mtcoPartialKey, 20), 1);
    EXPECT_EQ(Compare(ftGuid, text("{A}"), text("{B}"), 0, 38), -1);

    auto wide = [](std::u16string s) {
        std::array<char16_t, 24> w{};
        auto bytes = static_cast<std::uint32_t>(s.size() * 2);
        std::memcpy(w.data(), &bytes, 4);
        std::memcpy(w.data() + 2, s.data(), bytes);
        return w;
    };
    EXPECT_EQ(Compare(ftWideString, wide(u"Öhringen"), wide(u"Ottobrunn"), 0, 20), -1);
    // Ignoring the locale, wide texts still compare in the default locale.
    EXPECT_EQ(Compare(ftWideString, wide(u"Öhringen"), wide(u"Ottobrunn"), mtcoIgnoreLocale, 20), -1);
    EXPECT_EQ(Compare(ftWideString, wide(u"Ö"), wide(u"Öhringen"), mtcoPartialKey, 20), 0);
    TextCollator::SetUserDefaultLocale("");
}

TEST_F(ValueComparison, UnmappedLocaleAndCompareHandler)
{
    TzebMemTable t;
    auto& field = t.AddField<TStringField>("S", 5);
    t.Open();
    t.SetLocaleID(0x9999);
    char a[6] = "a", b[6] = "b";
    EXPECT_EQ(MessageOf([&] {
                  t.CompareFieldValues(field, reinterpret_cast<std::byte*>(a), reinterpret_cast<std::byte*>(b), 0);
              }),
              "Ungültiges Gebietsschema");
    try {
        t.CompareFieldValues(field, reinterpret_cast<std::byte*>(a), reinterpret_cast<std::byte*>(b), 0);
    } catch (const EMemTableInvalidLocale&) {
        SUCCEED();
    }
    // A handler replaces the default comparison: here by length only.
    t.OnCompareFields = [](TzebCustomMemTable&, const TField&, const std::byte* x, const std::byte* y, TFieldType,
                           std::uint8_t, bool&) {
        auto lx = std::strlen(reinterpret_cast<const char*>(x)), ly = std::strlen(reinterpret_cast<const char*>(y));
        return lx < ly ? -1 : lx > ly ? 1 : 0;
    };
    EXPECT_EQ(t.CompareFieldValues(field, reinterpret_cast<std::byte*>(a), reinterpret_cast<std::byte*>(b), 0), 0);
}

using Sorting = PlacesTable;

TEST_F(Sorting, NullsFirstAscendingLastDescending)
{
    Add({{"Bonn", "NW", 300000}, {"Kleinkleckersdorf", "BY", 0}, {"Aachen", "NW", 250000}});
    table.SetIndexFieldNames("Einwohner");
    EXPECT_EQ(Names(), (std::vector<std::string>{"Kleinkleckersdorf", "Aachen", "Bonn"}));
    table.SetIndexFieldNames("Einwohner:D");
    EXPECT_EQ(Names(), (std::vector<std::string>{"Bonn", "Aachen", "Kleinkleckersdorf"}));
    // With N the null key is skipped when it is the first record's value: equal to anything.
    TzebFieldList keys;
    table.BuildFieldList("Einwohner:N", keys);
    const TzebIndex& index = table.CurrentIndex();
    EXPECT_EQ(table.CompareKeys(keys, index.At(2), index.At(0)), 0);
    EXPECT_EQ(table.CompareKeys(keys, index.At(0), index.At(2)), 1);
}

TEST_F(Sorting, CompareModesStopWhereAsked)
{
    Add({{"A", "BY", 5}, {"B", "AA", 9}});
    TzebFieldList keys;
    table.BuildFieldList("Einwohner;Land", keys);
    const TzebRecord* a = table.CurrentIndex().At(0);  // 5, BY
    const TzebRecord* b = table.CurrentIndex().At(1);  // 9, AA
    EXPECT_EQ(table.CompareKeys(keys, a, b, -1, 0), -1);
    EXPECT_EQ(table.CompareKeys(keys, a, b, -1, 1), -1);  // stops at the negative first field
    EXPECT_EQ(table.CompareKeys(keys, a, b, -1, 2), 1);   // runs on to the positive second field
    EXPECT_EQ(table.CompareKeys(keys, a, b, -1, 4), 1);
    // Modes other than 0 ignore descending.
    table.BuildFieldList("Einwohner:D", keys);
    EXPECT_EQ(table.CompareKeys(keys, a, b, -1, 0), 1);
    EXPECT_EQ(table.CompareKeys(keys, a, b, -1, 3), -1);
}

TEST_F(Sorting, TieBreakAndTenThousandRandomRecordsAgainstAReference)
{
    std::mt19937 random(4711);
    const char* lands[] = {"BY", "BW", "NW", "HE", "SN"};
    for (int i = 0; i < 10000; ++i) {
        std::string n = "Ort" + std::to_string(random() % 3000);
        table.Append();
        name->SetAsString(n);
        land->SetAsString(lands[random() % 5]);
        if (random() % 10 != 0)
            einwohner->SetAsInteger(static_cast<int>(random() % 500));
        table.Post();
    }
    TzebSortedIndex* index = table.AddIndex("Ort", "Einwohner;Name:D");
    ASSERT_NE(index, nullptr);
    ASSERT_EQ(index->Count(), 10000);
    EXPECT_TRUE(index->Ordered());
    // The reference: the records ordered by the comparison with the tie-break, which for
    // records that all have a position leaves equal keys equal.
    std::vector<TzebRecord*> reference;
    for (int i = 0; i < 10000; ++i)
        reference.push_back(table.Indexes().RowOrder().At(i));
    std::stable_sort(reference.begin(), reference.end(),
                     [&](auto* x, auto* y) { return table.CompareWithTieBreak(index->KeyFields(), x, y) < 0; });
    for (int i = 0; i < 10000; ++i) {
        ASSERT_EQ(table.CompareKeys(index->KeyFields(), index->At(i), reference[static_cast<std::size_t>(i)]), 0) << i;
        if (i > 0) {
            ASSERT_LE(index->CompareRecords(index->At(i - 1), index->At(i)), 0) << i;
        }
    }
    std::vector<TzebRecord*> sorted;
    for (int i = 0; i < 10000; ++i)
        sorted.push_back(index->At(i));
    std::sort(sorted.begin(), sorted.end());
    std::sort(reference.begin(), reference.end());
    EXPECT_EQ(sorted, reference);
}

TEST_F(Sorting, EqualKeysOrderedByTheTieBreak)
{
    Add({{"Ulm", "BW", 1}, {"Ulm", "BW", 2}});
    TzebFieldList keys;
    table.BuildFieldList("Name", keys);
    TzebCommon& store = table.Store();
    TzebRecord* a = store.DuplicateRecord(table.CurrentIndex().At(0), false);
    TzebRecord* b = store.DuplicateRecord(table.CurrentIndex().At(1), false);
    // Both without a position: by slot number.
    a->Position = b->Position = -1;
    EXPECT_EQ(table.CompareWithTieBreak(keys, a, b), -1);
    EXPECT_EQ(table.CompareWithTieBreak(keys, b, a), 1);
    // Only one with a position: the one without comes first; both with one: equal.
    b->Position = 4;
    EXPECT_EQ(table.CompareWithTieBreak(keys, a, b), -1);
    EXPECT_EQ(table.CompareWithTieBreak(keys, b, a), 1);
    a->Position = 7;
    EXPECT_EQ(table.CompareWithTieBreak(keys, a, b), 0);
    // A descending first key turns the tie-break round.
    a->Position = -1;
    table.BuildFieldList("Name:D", keys);
    EXPECT_EQ(table.CompareWithTieBreak(keys, a, b), 1);
    store.FreeRecord(a, false, false);
    store.FreeRecord(b, false, false);
}

TEST_F(Sorting, UniqueIndexRefusesTheSecondEqualKeyAndChangesNothing)
{
    Add({{"Ulm", "BW", 120000}, {"Passau", "BY", 50000}});
    ASSERT_NE(table.AddIndex("Eindeutig", "Name", mtcoUnique), nullptr);
    table.SetIndexName("Eindeutig");
    const int slots = table.Store().SlotCount();
    const auto unique = table.Store().NextUniqueNumber();
    table.Append();
    name->SetAsString("Ulm");
    einwohner->SetAsInteger(1);
    EXPECT_EQ(MessageOf([&] { table.Post(); }), "Doppelter Indexwert. Vorgang abgebrochen.");
    EXPECT_EQ(table.State(), dsInsert);
    EXPECT_EQ(name->AsString(), "Ulm");
    EXPECT_EQ(table.Store().SlotCount(), slots);
    EXPECT_EQ(table.Store().NextUniqueNumber(), unique);
    table.Cancel();
    EXPECT_EQ(Names(), (std::vector<std::string>{"Passau", "Ulm"}));

    // An edit to an existing key is refused too; editing a record to its own key is not.
    table.First();
    table.Edit();
    name->SetAsString("Ulm");
    EXPECT_THROW(table.Post(), EMemTableDupKey);
    EXPECT_EQ(table.State(), dsEdit);
    table.Cancel();
    table.Edit();
    einwohner->SetAsInteger(50001);
    table.Post();
    EXPECT_EQ(einwohner->AsInteger(), 50001);

    // Building a unique index over equal keys fails and leaves no index behind.
    table.DeleteIndex("Eindeutig");
    EXPECT_EQ(table.IndexName(), "");
    Add({"Passau", "BY", 1});
    EXPECT_TRUE(table.Store().SlotCount() > slots);
    table.SetIndexName("");
    EXPECT_EQ(MessageOf([&] { table.AddIndex("Doppelt", "Land", mtcoUnique); }),
              "Doppelter Indexwert. Vorgang abgebrochen.");
    EXPECT_EQ(table.Indexes().Find("Doppelt"), nullptr);
    EXPECT_EQ(table.IndexDefs().Find("Doppelt"), nullptr);
}

// A post that a sorted index cannot place (its comparison fails: here the locale is unknown) is
// undone whole, whether the record took a freed slot or a new one: no record in any index, no
// slot and no number used, and the edit buffer keeps what was typed (a text kept outside the
// record among it), so that the post succeeds once the cause is gone and Cancel drops it.
TEST(SortedIndexPost, APostTheIndexCannotPlaceLeavesTheStoreAsItWas)
{
    TzebMemTable table;
    table.SetPerformance(mtpfBalanced);
    auto& name = table.AddField<TStringField>("Name", 40);
    table.Open();
    for (const char* place : {"Ulm", "Hof", "Passau"}) {
        table.Append();
        name.SetAsString(place);
        table.Post();
    }
    table.First();
    table.Delete();  // a freed slot for the next post
    table.SetIndexFieldNames("Name");
    const std::uint32_t locale = table.LocaleID();
    for (int attempt = 0; attempt < 2; ++attempt) {
        const TzebCommon& store = table.Store();
        const int slots = store.SlotCount();
        const std::vector<std::int32_t> freeSlots = store.FreeSlots();
        const std::int32_t unique = store.NextUniqueNumber();
        table.SetLocaleID(0x9999);
        table.Append();
        name.SetAsString("Zwiesel im Bayerischen Wald");
        EXPECT_EQ(MessageOf([&] { table.Post(); }), "Ungültiges Gebietsschema") << attempt;
        EXPECT_EQ(table.State(), dsInsert);
        EXPECT_EQ(name.AsString(), "Zwiesel im Bayerischen Wald");
        EXPECT_EQ(store.SlotCount(), slots);
        EXPECT_EQ(store.FreeSlots(), freeSlots);
        EXPECT_EQ(store.NextUniqueNumber(), unique);
        EXPECT_EQ(table.Indexes().RowOrder().Count(), 2 + attempt);
        table.SetLocaleID(locale);
        if (attempt == 0) {
            table.Post();  // takes the freed slot
            EXPECT_EQ(store.FreeSlots().size(), 0u);
        } else {
            table.Cancel();
        }
    }
    EXPECT_EQ(table.RecordCount(), 3);
    table.Last();
    EXPECT_EQ(name.AsString(), "Zwiesel im Bayerischen Wald");
}

// An edit that a sorted index cannot place (its comparison fails under an unknown locale, or its
// filter fails) changes nothing: the record keeps its status, has no version and its places in
// every order, the data-modified flag stays clear, the buffer keeps what was typed. Once the cause
// is gone the post moves the record, before its old place and after it.
TEST(SortedIndexPost, AnEditTheIndexCannotPlaceChangesNothing)
{
    TzebMemTable table;
    auto& name = table.AddField<TStringField>("Name", 40);
    auto& number = table.AddField<TIntegerField>("Nr");
    table.SetEnableVersioning(true);
    table.Open();
    for (int i = 1; i <= 7; ++i) {
        table.Append();
        name.SetAsString("Ort " + std::to_string(i));
        number.SetAsInteger(10 * i);
        table.Post();
    }
    TzebSortedIndex* byName = table.AddIndex("N", "Name");
    TzebSortedIndex* byNumber = table.AddIndex("Z", "Nr");
    bool filterFails = false;
    byNumber->OnFilter = [&](TzebSortedIndex&, bool&) {
        if (filterFails)
            throw EDatabaseError("Filter kaputt");
    };
    const auto orders = [&] {
        std::vector<const TzebRecord*> records;
        for (const TzebIndex* index : {static_cast<TzebIndex*>(byName), static_cast<TzebIndex*>(byNumber)})
            for (int i = 0; i < index->Count(); ++i)
                records.push_back(index->At(i));
        return records;
    };
    const std::uint32_t locale = table.LocaleID();
    for (const int row : {0, 6}) {
        const bool badLocale = row == 0;
        table.First();
        table.MoveBy(row);
        const TzebRecord* stored = table.Store().RecordAt(row);
        const auto before = orders();
        table.Store().SetDataModified(false);
        table.Edit();
        name.SetAsString(badLocale ? "Zwiesel" : "Alling");
        number.SetAsInteger(badLocale ? 35 : 15);
        table.SetLocaleID(badLocale ? 0x9999 : locale);
        filterFails = !badLocale;
        EXPECT_EQ(MessageOf([&] { table.Post(); }), badLocale ? "Ungültiges Gebietsschema" : "Filter kaputt");
        table.SetLocaleID(locale);
        filterFails = false;
        EXPECT_EQ(name.AsString(), badLocale ? "Zwiesel" : "Alling");
        EXPECT_EQ(stored->ChangeStatus, mtcsInserted) << row;
        EXPECT_EQ(stored->PreviousVersion, nullptr) << row;
        EXPECT_FALSE(table.Store().DataModified()) << row;
        EXPECT_EQ(orders(), before) << row;
        table.Post();
    }
    const auto walk = [&](const std::string& index, TField& field) {
        table.SetIndexName(index);
        std::string values;
        for (table.First(); !table.Eof(); table.Next())
            values += field.AsString() + " ";
        return values;
    };
    EXPECT_EQ(walk("Z", number), "15 20 30 35 40 50 60 ");
    EXPECT_EQ(walk("N", name), "Alling Ort 2 Ort 3 Ort 4 Ort 5 Ort 6 Zwiesel ");
}

// The duplicate check bisects the unique index to the first equal key; with three records and
// more the bisection takes several steps, and a key past the last, between two or before the
// first must be taken while an equal one anywhere is still refused.
TEST_F(Sorting, UniqueIndexOverSeveralRecordsTakesNewKeysAnywhere)
{
    Add({{"Ulm", "BW", 120000}, {"Hof", "BY", 45000}, {"Passau", "BY", 50000}});
    ASSERT_NE(table.AddIndex("Eindeutig", "Name", mtcoUnique), nullptr);
    table.SetIndexName("Eindeutig");
    Add({"Zwiesel", "BY", 9000});
    Add({"Regen", "BY", 11000});
    Add({"Aalen", "BW", 68000});
    EXPECT_EQ(Names(), (std::vector<std::string>{"Aalen", "Hof", "Passau", "Regen", "Ulm", "Zwiesel"}));
    for (const char* taken : {"Aalen", "Passau", "Regen", "Zwiesel"}) {
        table.Append();
        name->SetAsString(taken);
        EXPECT_THROW(table.Post(), EMemTableDupKey) << taken;
        table.Cancel();
    }
    EXPECT_EQ(table.RecordCount(), 6);
}

TEST_F(Sorting, IndexDefinitionsAtOpenAndTheMissingFields)
{
    table.Close();
    table.IndexDefs().Add("NachLand", "Land;Name", ixDescending);
    table.SetIndexName("NachLand");
    table.Open();
    Add({{"Ulm", "BW", 1}, {"Passau", "BY", 2}, {"Aalen", "BW", 3}});
    EXPECT_EQ(table.IndexName(), "NachLand");
    EXPECT_EQ(table.IndexFieldNames(), "Land;Name");
    EXPECT_EQ(Names(), (std::vector<std::string>{"Passau", "Ulm", "Aalen"}));
    table.Close();
    table.IndexDefs().Add("Leer", "");
    EXPECT_EQ(MessageOf([&] { table.Open(); }), "Der Indexdefinition fehlt der Name oder die Feldliste");
}

// Three indexes of one table stay in order through inserts, edits and deletes; under the
// sanitizers no index keeps a freed record.
TEST_F(Sorting, ThreeIndexesStayInOrderThroughChanges)
{
    ASSERT_NE(table.AddIndex("N", "Name"), nullptr);
    ASSERT_NE(table.AddIndex("L", "Land;Einwohner:D"), nullptr);
    ASSERT_NE(table.AddIndex("E", "Einwohner"), nullptr);
    table.SetIndexName("L");
    std::mt19937 random(17);
    const char* lands[] = {"BY", "BW", "NW"};
    for (int step = 0; step < 600; ++step) {
        int action = static_cast<int>(random() % 4);
        if (action <= 1 || table.IsEmpty()) {
            if (action == 0 && !table.IsEmpty())
                table.Insert();
            else
                table.Append();
            name->SetAsString("P" + std::to_string(random() % 200));
            land->SetAsString(lands[random() % 3]);
            einwohner->SetAsInteger(static_cast<int>(random() % 100));
            table.Post();
        } else if (action == 2) {
            table.SetRecNo(1 + static_cast<int>(random() % static_cast<unsigned>(table.RecordCount())));
            table.Edit();
            if (random() % 2)
                land->SetAsString(lands[random() % 3]);
            else
                einwohner->SetAsInteger(static_cast<int>(random() % 100));
            table.Post();
        } else {
            table.SetRecNo(1 + static_cast<int>(random() % static_cast<unsigned>(table.RecordCount())));
            table.Delete();
        }
    }
    int live = 0;
    for (int slot = 0; slot < table.Store().SlotCount(); ++slot)
        live += table.Store().RecordAt(slot) != nullptr;
    ASSERT_GT(live, 50);
    for (const char* indexName : {"N", "L", "E"}) {
        auto* index = static_cast<TzebSortedIndex*>(table.Indexes().Find(indexName));
        ASSERT_EQ(index->Count(), live) << indexName;
        for (int i = 1; i < index->Count(); ++i)
            ASSERT_LE(table.CompareKeys(index->KeyFields(), index->At(i - 1), index->At(i)), 0) << indexName << i;
        for (int i = 0; i < index->Count(); ++i)
            ASSERT_EQ(table.Store().RecordAt(index->At(i)->SlotNumber), index->At(i));
    }
    EXPECT_EQ(table.Indexes().RowOrder().Count(), live);
}

TEST_F(Sorting, DisabledIndexesGoUnorderedAndAreRebuiltWhenChosen)
{
    Add({{"Ulm", "BW", 1}, {"Passau", "BY", 2}});
    auto* index = table.AddIndex("N", "Name");
    table.EnableIndexes = false;
    Add({"Aalen", "BW", 3});
    EXPECT_FALSE(index->Ordered());
    table.EnableIndexes = true;
    table.SetIndexName("N");
    EXPECT_TRUE(index->Ordered());
    EXPECT_EQ(Names(), (std::vector<std::string>{"Aalen", "Passau", "Ulm"}));
    // The current record stays across the switch.
    table.Locate("Name", TVariant("Passau"));
    table.SetIndexName("");
    EXPECT_EQ(name->AsString(), "Passau");
    EXPECT_EQ(table.RecNo(), 2);
    // Switched off, the current index is kept exact through a delete only, so that its cursor
    // stays right; an insert leaves it unordered as any other.
    table.SetIndexName("N");
    table.EnableIndexes = false;
    ASSERT_TRUE(table.Locate("Name", TVariant("Passau")));
    table.Delete();
    EXPECT_TRUE(index->Ordered());
    EXPECT_EQ(name->AsString(), "Ulm");
    Add({"Biberach", "BW", 4});
    EXPECT_FALSE(index->Ordered());
    // So does an edit.
    table.EnableIndexes = true;
    table.SetIndexName("");
    table.SetIndexName("N");
    ASSERT_TRUE(index->Ordered());
    table.EnableIndexes = false;
    ASSERT_TRUE(table.Locate("Name", TVariant("Biberach")));
    table.Edit();
    name->SetAsString("Aach");
    table.Post();
    EXPECT_FALSE(index->Ordered());
}

TEST_F(Sorting, ProgressOfSortAndSearchWhenAsked)
{
    Add({{"Ulm", "BW", 1}, {"Passau", "BY", 2}});
    std::vector<std::pair<int, TzebProgressCode>> reports;
    table.OnProgress = [&](TzebCustomMemTable&, int percent, TzebProgressCode code) { reports.emplace_back(percent, code); };
    table.AddIndex("N", "Name");
    EXPECT_TRUE(reports.empty());  // not in the default flags
    table.ProgressFlags = ProgressFlag(mtpcSort) | ProgressFlag(mtpcSearch);
    table.AddIndex("L", "Land");
    table.Locate("Name", TVariant("Ulm"));
    const std::vector<std::pair<int, TzebProgressCode>> expected = {
        {0, mtpcSort}, {100, mtpcSort}, {0, mtpcSearch}, {100, mtpcSearch}};
    EXPECT_EQ(reports, expected);
}

TEST_F(Sorting, SortFieldsAndIndexFilters)
{
    Add({{"Ulm", "BW", 120000}, {"Passau", "BY", 50000}, {"Aalen", "BW", 68000}});
    table.SortFields = "Einwohner";
    table.SortOptions = mtcoDescending;
    table.Sort();
    EXPECT_EQ(Names(), (std::vector<std::string>{"Ulm", "Aalen", "Passau"}));
    // An index with a filter expression and the table's index filter event.
    auto* index = table.AddIndex("BW", "Name");
    index->SetFilter("Land = 'BW'");
    table.OnFilterIndex = [&](TzebCustomMemTable&, TzebSortedIndex&, bool& accept) {
        accept = name->AsString() != "Ulm" || einwohner->AsInteger() > 100000;
    };
    table.SetIndexName("BW");
    EXPECT_EQ(Names(), (std::vector<std::string>{"Aalen", "Ulm"}));
    Add({"Biberach", "BW", 33000});
    Add({"Hof", "BY", 45000});
    EXPECT_EQ(Names(), (std::vector<std::string>{"Aalen", "Biberach", "Ulm"}));
}

}  // namespace
}  // namespace velmoran
