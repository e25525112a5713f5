// Edges the other memtable suites pass by: the cursor's ends while appending, an index on the
// last field, an out-of-record value never written, filter numbers without a leading digit and
// ordering comparisons without regard to case, a located key whose records the filter hides,
// and BCD values at the ends of the currency range.
#include "PlacesTable.h"

#include "memtable/Variant.h"

#include <cstdint>
#include <limits>

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
}

}  // namespace
}  // namespace velmoran
