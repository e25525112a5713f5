// Edges the other memtable suites pass by: the cursor's ends while appending and after an edit
// that moves the record, equal keys in the order they came, a switched-off unique index,
// bookmarks compared with themselves, the first record by bisection and the progress of a scan,
// versions with their own out-of-record values, no calculation without calculated fields, the numbering after an array
// of structures, an index on the last field, sorting many records at once, nulls among
// negative keys, out-of-record values never written and their block sizes, versions kept per
// versioning mode; filter numbers, quoted names and comparisons without regard to case; located
// keys whose records the filter hides, in small tables too; located values at the ends of the
// small integer ranges;
// variants at the ends of their types, BCD values at the ends of the currency range.
#include "PlacesTable.h"

#include "memtable/Variant.h"
#include "platform/core/DateTime.h"

#include <cstdint>
#include <limits>
#include <random>

namespace velmoran {
namespace {

using testing::PlacesTable;

TEST(TableEdges, AppendingLeavesNeitherEnd)
{
    TzebMemTable table;
    auto& n = table.AddField<TIntegerField>("N");
    table.Open();
    for (int i = 1; i <= 2; ++i) {
        table.Append();
        EXPECT_FALSE(table.Bof()) << i;
        EXPECT_FALSE(table.Eof()) << i;
        n.SetAsInteger(i);
        table.Post();
    }
}

TEST(TableEdges, AnIndexOnTheLastFieldOrdersByIt)
{
    TzebMemTable table;
    auto& first = table.AddField<TIntegerField>("Erstes");
    auto& last = table.AddField<TIntegerField>("Letztes");
    table.Open();
    for (int i = 1; i <= 4; ++i) {
        table.Append();
        first.SetAsInteger(i);
        last.SetAsInteger(10 - i);
        table.Post();
    }
    table.SetIndexFieldNames("Letztes");
    std::vector<int> order;
    for (table.First(); !table.Eof(); table.Next())
        order.push_back(first.AsInteger());
    EXPECT_EQ(order, (std::vector<int>{4, 3, 2, 1}));
}

TEST(TableEdges, AnOutOfRecordValueNeverWrittenReadsNull)
{
    TzebMemTable table;
    table.SetPerformance(mtpfBalanced);
    auto& text = table.AddField<TStringField>("Text", 40);
    auto& n = table.AddField<TIntegerField>("N");
    table.Open();
    table.Append();
    n.SetAsInteger(1);
    table.Post();
    table.First();
    EXPECT_TRUE(text.IsNull());
    EXPECT_EQ(text.AsString(), "");
}

// After an edit that moves the record in the current order the cursor stays at its place, or
// with AutoReposition follows the record.
TEST(TableEdges, TheCursorAfterAnEditThatMovesTheRecord)
{
    for (bool follow : {false, true}) {
        TzebMemTable table;
        auto& key = table.AddField<TIntegerField>("Key");
        table.AutoReposition = follow;
        table.Open();
        for (int i = 1; i <= 6; ++i) {
            table.Append();
            key.SetAsInteger(i * 10);
            table.Post();
        }
        table.SetIndexFieldNames("Key");
        table.SetRecNo(2);
        table.Edit();
        key.SetAsInteger(55);
        table.Post();
        EXPECT_EQ(key.AsInteger(), follow ? 55 : 30) << follow;
        EXPECT_EQ(table.RecNo(), follow ? 5 : 2) << follow;
        if (!follow)
            continue;
        // An appended record finds its place in the order, and the cursor goes with it.
        table.Append();
        key.SetAsInteger(25);
        table.Post();
        EXPECT_EQ(key.AsInteger(), 25);
        EXPECT_EQ(table.RecNo(), 2);  // 10, 25, 30, 40, 50, 55, 60
    }
}

// OnCalcFields serves calculated fields: a table without any never calls it.
TEST(TableEdges, NoCalculationWithoutCalculatedFields)
{
    TzebMemTable table;
    auto& n = table.AddField<TIntegerField>("N");
    int calls = 0;
    table.OnCalcFields = [&](TDataSet&) { ++calls; };
    table.Open();
    table.Append();
    n.SetAsInteger(1);
    table.Post();
    table.First();
    EXPECT_EQ(n.AsInteger(), 1);
    EXPECT_EQ(calls, 0);
}

// An array's elements are repeated Size times, each repetition with the entries of its
// structured elements; the field after the array is numbered after all of them.
TEST(TableEdges, FieldsAfterAnArrayOfStructures)
{
    TzebMemTable table;
    TFieldDefs& defs = table.FieldDefs();
    TFieldDef& point = defs.Add("Punkte", ftArray, 2).AddChild("P", ftADT);
    point.AddChild("X", ftInteger);
    point.AddChild("Y", ftInteger);
    defs.Add("Nach", ftInteger);
    table.Open();
    // Punkte 1, then P, X, Y twice (2 .. 7), then Nach.
    EXPECT_EQ(table.Store().FieldCount(), 8);
    EXPECT_EQ(table.FieldByName("Nach").FieldNo(), 8);
}

// An index made over records already stored sorts them all at once.
TEST(TableEdges, AnIndexOverManyStoredRecordsSortsThemAll)
{
    TzebMemTable table;
    auto& key = table.AddField<TIntegerField>("Key");
    table.Open();
    std::mt19937 random(42);
    for (int i = 0; i < 3000; ++i) {
        table.Append();
        key.SetAsInteger(static_cast<int>(random() % 1000) - 500);
        table.Post();
    }
    table.SetIndexFieldNames("Key");
    int previous = std::numeric_limits<int>::min();
    int count = 0;
    for (table.First(); !table.Eof(); table.Next(), ++count) {
        ASSERT_LE(previous, key.AsInteger()) << "at " << count;
        previous = key.AsInteger();
    }
    EXPECT_EQ(count, 3000);
}

TEST(TableEdges, NullsComeBeforeNegativeKeys)
{
    TzebMemTable table;
    auto& key = table.AddField<TIntegerField>("Key");
    auto& tag = table.AddField<TIntegerField>("Tag");
    table.Open();
    for (int i = 0; i < 4; ++i) {
        table.Append();
        if (i % 2)
            key.SetAsInteger(-5 * i);
        tag.SetAsInteger(i);
        table.Post();
    }
    table.SetIndexFieldNames("Key");
    std::vector<int> order;
    for (table.First(); !table.Eof(); table.Next())
        order.push_back(tag.AsInteger());
    EXPECT_EQ(order, (std::vector<int>{0, 2, 3, 1}));
}

// An out-of-record text takes a block of its length and the terminator, not of the field's size.
TEST(TableEdges, OutOfRecordTextsTakeTheirOwnLength)
{
    TzebMemTable table;
    table.SetPerformance(mtpfBalanced);
    auto& text = table.AddField<TStringField>("Text", 200);
    table.Open();
    table.Append();
    text.SetAsString("kurz");
    table.Post();
    EXPECT_EQ(ZebBlockSize(table.Store().OutOfRecordBlock(table.Store().RecordAt(0), 0)), 5u);
}

// Versioning keeps one earlier version per record since the check point, or every one.
TEST(TableEdges, VersionsKeptByTheVersioningMode)
{
    for (TzebVersioningMode mode : {mtvm1SinceCheckPoint, mtvmAllSinceCheckPoint}) {
        TzebMemTable table;
        auto& n = table.AddField<TIntegerField>("N");
        table.SetEnableVersioning(true);
        table.SetVersioningMode(mode);
        table.Open();
        table.Append();
        n.SetAsInteger(1);
        table.Post();
        for (int value : {2, 3}) {
            table.Edit();
            n.SetAsInteger(value);
            table.Post();
        }
        int versions = 0;
        for (const TzebRecord* v = table.Store().RecordAt(0)->PreviousVersion; v; v = v->PreviousVersion)
            ++versions;
        EXPECT_EQ(versions, mode == mtvm1SinceCheckPoint ? 1 : 2);
    }
}

// A record posted into a sorted order goes after the records with the same key.
TEST(TableEdges, EqualKeysKeepTheOrderTheyCameIn)
{
    TzebMemTable table;
    auto& key = table.AddField<TIntegerField>("Key");
    auto& tag = table.AddField<TIntegerField>("Tag");
    table.Open();
    table.SetIndexFieldNames("Key");
    for (int i = 0; i < 5; ++i) {
        table.Append();
        key.SetAsInteger(i % 2);
        tag.SetAsInteger(i);
        table.Post();
    }
    std::vector<int> order;
    for (table.First(); !table.Eof(); table.Next())
        order.push_back(tag.AsInteger());
    EXPECT_EQ(order, (std::vector<int>{0, 2, 4, 1, 3}));
}

// A unique index that is switched off checks nothing; switched on, it refuses a second equal key.
TEST(TableEdges, ADisabledUniqueIndexChecksNothing)
{
    TzebMemTable table;
    auto& key = table.AddField<TIntegerField>("Key");
    table.Open();
    TzebSortedIndex* unique = table.AddIndex("Eindeutig", "Key", mtcoUnique);
    ASSERT_NE(unique, nullptr);
    table.Append();
    key.SetAsInteger(1);
    table.Post();
    unique->Enabled = false;
    table.Append();
    key.SetAsInteger(1);
    EXPECT_NO_THROW(table.Post());
    unique->Enabled = true;
    table.Append();
    key.SetAsInteger(2);
    table.Post();
    table.Append();
    key.SetAsInteger(2);
    EXPECT_THROW(table.Post(), EMemTableDupKey);
    table.Cancel();
}

TEST(TableEdges, ABookmarkComparesEqualWithItself)
{
    TzebMemTable table;
    auto& key = table.AddField<TIntegerField>("Key");
    table.Open();
    for (int i = 0; i < 3; ++i) {
        table.Append();
        key.SetAsInteger(i);
        table.Post();
    }
    table.SetRecNo(2);
    const TBookmark b = table.GetBookmark();
    EXPECT_EQ(table.CompareBookmarks(b, b), 0);
    table.Last();
    EXPECT_EQ(table.CompareBookmarks(b, table.GetBookmark()), -1);
}

// By bisection (21 records or more) the first record of the order is found too; a search that
// scans reports its progress when asked to.
TEST(TableEdges, SearchesFindTheFirstRecordAndReportProgress)
{
    TzebMemTable table;
    auto& key = table.AddField<TIntegerField>("Key");
    table.Open();
    for (int i = 0; i < 250; ++i) {
        table.Append();
        key.SetAsInteger(249 - i);
        table.Post();
    }
    std::vector<int> reports;
    table.ProgressFlags = ProgressFlag(mtpcSearch);
    table.OnProgress = [&](TzebCustomMemTable&, int percent, TzebProgressCode) { reports.push_back(percent); };
    EXPECT_TRUE(table.Locate("Key", TVariant(0)));  // the last record of the row order, scanned
    EXPECT_EQ(reports, (std::vector<int>{0, 39, 79, 100}));
    table.SetIndexFieldNames("Key");
    EXPECT_TRUE(table.Locate("Key", TVariant(0)));
    EXPECT_EQ(table.RecNo(), 1);
}

// A version keeps its own copy of an out-of-record value; the record goes on with the new one.
TEST(TableEdges, VersionsKeepTheirOutOfRecordValues)
{
    TzebMemTable table;
    table.SetPerformance(mtpfBalanced);
    auto& text = table.AddField<TStringField>("Text", 40);
    table.SetEnableVersioning(true);
    table.Open();
    table.Append();
    text.SetAsString("alt");
    table.Post();
    table.Edit();
    text.SetAsString("neu und laenger");
    table.Post();
    const TzebRecord* stored = table.Store().RecordAt(0);
    ASSERT_NE(stored->PreviousVersion, nullptr);
    const std::byte* old = table.Store().OutOfRecordBlock(stored->PreviousVersion, 0);
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(ZebBlockBytes(old))), "alt");
    EXPECT_EQ(text.AsString(), "neu und laenger");
}

class FilterEdges : public PlacesTable {
protected:
    std::vector<std::string> Accepted(const std::string& filter, TFilterOptions options = 0)
    {
        table.SetFilterOptions(options);
        table.SetFilter(filter);
        table.SetFiltered(true);
        std::vector<std::string> names = Names();
        table.SetFiltered(false);
        return names;
    }
};

TEST_F(FilterEdges, NumbersMayStartWithTheDecimalPoint)
{
    Add({{"Ulm", "BW", 120000}, {"Öhringen", "BW", 0}, {"Passau", "BY", 1}});
    EXPECT_EQ(Accepted("Einwohner > .5"), (std::vector<std::string>{"Ulm", "Passau"}));
}

TEST_F(FilterEdges, QuotedNamesAndSignedExponents)
{
    Add({{"Ulm", "BW", 120000}, {"Passau", "BY", 52000}});
    EXPECT_EQ(Accepted("\"Name\" = 'Ulm'"), (std::vector<std::string>{"Ulm"}));
    EXPECT_EQ(Accepted("Einwohner > 1e+5"), (std::vector<std::string>{"Ulm"}));
    EXPECT_EQ(Accepted("Einwohner > 5.5e-1"), (std::vector<std::string>{"Ulm", "Passau"}));
}

// Below 21 records Locate scans; with the filter on it finds only what the filter shows.
TEST_F(FilterEdges, LocateInASmallFilteredTable)
{
    Add({{"Ulm", "BW", 120000}, {"Passau", "BY", 52000}, {"Memmingen", "BY", 44000}});
    table.SetFilter("Land = 'BY'");
    table.SetFiltered(true);
    EXPECT_FALSE(table.Locate("Name", TVariant("Ulm")));
    EXPECT_TRUE(table.Locate("Name", TVariant("Memmingen")));
    EXPECT_EQ(einwohner->AsInteger(), 44000);
}

TEST_F(FilterEdges, LikeFollowsTheCaseOption)
{
    Add({{"München", "BY", 1500000}, {"Ulm", "BW", 120000}, {"Marburg", "HE", 77000}});
    EXPECT_EQ(Accepted("Name like 'm*'", foCaseInsensitive), (std::vector<std::string>{"München", "Marburg"}));
    EXPECT_EQ(Accepted("Name like 'm*'"), (std::vector<std::string>{}));
}

// Ordering comparisons follow the case option as equality does: "by" <= "by" without regard to
// case, while with it the capitals come after the small letters.
TEST_F(FilterEdges, OrderingComparisonsWithoutRegardToCase)
{
    Add({{"Ulm", "BW", 120000}, {"Passau", "BY", 52000}, {"Marburg", "HE", 77000}});
    EXPECT_EQ(Accepted("Land <= 'by'", foCaseInsensitive), (std::vector<std::string>{"Ulm", "Passau"}));
    EXPECT_EQ(Accepted("Land <= 'by'"), (std::vector<std::string>{"Ulm"}));
}

// With 21 records or more the located key is found by bisection in the ordered index; when the
// filter hides every record of that key, Locate fails, also for the last key of the order.
TEST_F(FilterEdges, LocatingAKeyWhoseRecordsTheFilterHides)
{
    for (int i = 0; i < 30; ++i)
        Add({"Ort", (i / 3 == 5 || i / 3 == 9) ? "XX" : "BY", i / 3});
    table.SetIndexFieldNames("Einwohner");
    table.SetFilter("Land <> 'XX'");
    table.SetFiltered(true);
    EXPECT_TRUE(table.Locate("Einwohner", TVariant(4)));
    EXPECT_FALSE(table.Locate("Einwohner", TVariant(5)));  // key 6 follows and is shown
    EXPECT_FALSE(table.Locate("Einwohner", TVariant(9)));  // the last key of the order
    EXPECT_TRUE(table.Locate("Einwohner", TVariant(8)));
}

// The values a search looks for are written in the field's own form, to the ends of its range.
TEST(TableEdges, LocatedValuesAtTheEndsOfTheSmallIntegerRanges)
{
    TzebMemTable table;
    auto& small = table.AddField<TSmallintField>("Klein");
    auto& word = table.AddField<TWordField>("Wort");
    table.Open();
    for (int v : {-32768, 0, 32767}) {
        table.Append();
        small.SetAsInteger(v);
        word.SetAsInteger(v < 0 ? 0 : v * 2 + 1);
        table.Post();
    }
    EXPECT_TRUE(table.Locate("Klein", TVariant(-32768)));
    EXPECT_EQ(word.AsInteger(), 0);
    EXPECT_TRUE(table.Locate("Wort", TVariant(0)));
    EXPECT_EQ(small.AsInteger(), -32768);
    EXPECT_TRUE(table.Locate("Wort", TVariant(65535)));
    EXPECT_EQ(small.AsInteger(), 32767);
}

// Variants at the ends of their types: integer sums up to the largest int stay int; small
// integers add as integers; a negated currency stays currency; a date compares with a date text;
// a time may end at 59 seconds.
TEST(VariantEdges, TypesAtTheirEnds)
{
    EXPECT_EQ(VarAdd(TVariant(2147483646), TVariant(1)).Type(), varInteger);
    EXPECT_EQ(VarAdd(TVariant(2147483647), TVariant(1)).Type(), varInt64);
    const TVariant sum = VarAdd(TVariant::Smallint(20000), TVariant::Smallint(20000));
    EXPECT_EQ(sum.Type(), varInteger);
    EXPECT_EQ(sum.AsInteger(), 40000);
    const TVariant negated = VarNeg(TVariant::Currency(15000));
    EXPECT_EQ(negated.Type(), varCurrency);
    EXPECT_EQ(negated.AsCurrency(), -15000);
    EXPECT_EQ(VarCompare(TVariant::Date(EncodeDate(2020, 1, 2)), TVariant("01.01.2020")), std::optional<int>(1));
    const TVariant nextDay = VarAdd(TVariant::Date(EncodeDate(2020, 1, 2)), TVariant(1));
    EXPECT_EQ(nextDay.Type(), varDate);
    EXPECT_EQ(nextDay.AsDateTime(), EncodeDate(2020, 1, 3));
    TzebMemTable table;
    auto& time = table.AddField<TTimeField>("Zeit");
    table.Open();
    table.Append();
    time.SetAsString("23:59:59");
    EXPECT_EQ(time.AsString(), "23:59:59");
    EXPECT_THROW(time.SetAsString("12:30:45:10"), EConvertError);  // no fourth part
}

// Currency keeps four decimals: the fifth and sixth of a BCD are dropped; the largest currency
// converts both ways.
TEST(BcdEdges, DecimalsBeyondTheFourthAndTheLargestCurrency)
{
    TBcd bcd;
    bcd.Precision = 8;
    bcd.SignSpecialPlaces = 6;  // 12.345678
    bcd.Fraction[0] = 0x12;
    bcd.Fraction[1] = 0x34;
    bcd.Fraction[2] = 0x56;
    bcd.Fraction[3] = 0x78;
    EXPECT_EQ(BcdToCurrency(bcd), std::optional<std::int64_t>(123456));
    const std::int64_t largest = std::numeric_limits<std::int64_t>::max();
    EXPECT_EQ(BcdToCurrency(CurrencyToBcd(largest, 19)), std::optional<std::int64_t>(largest));
    // All digits behind the point: 0.1234.
    TBcd fraction;
    fraction.Precision = 4;
    fraction.SignSpecialPlaces = 4;
    fraction.Fraction[0] = 0x12;
    fraction.Fraction[1] = 0x34;
    EXPECT_EQ(BcdToCurrency(fraction), std::optional<std::int64_t>(1234));
    // Less than a whole one: 0.5 and -0.0001.
    EXPECT_EQ(BcdToCurrency(CurrencyToBcd(5000, 8)), std::optional<std::int64_t>(5000));
    EXPECT_EQ(BcdToCurrency(CurrencyToBcd(-1, 8)), std::optional<std::int64_t>(-1));
}

}  // namespace
}  // namespace velmoran
