// Filters: the filtered flag with navigation and counting, nulls, LIKE (also against a long text
// with many stars), IN and the functions, parse errors with their position, hand-built trees
// with unknown kinds, finding with the filter, and versioned deletes in an index that shows them.
#include "PlacesTable.h"

#include "platform/core/ScopeExit.h"

namespace velmoran {
namespace {

using testing::MessageOf;
using testing::PlacesTable;

class Filters : public PlacesTable {
protected:
    void SetUp() override
    {
        PlacesTable::SetUp();
        Add({{"München", "BY", 1500000}, {"Ulm", "BW", 120000}, {"Memmingen", "BY", 44000},
             {"Passau", "BY", 52000}, {"Öhringen", "BW", 0}, {"Marburg", "HE", 77000}});
    }
    // The names a filter text accepts, with Filtered on.
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

TEST_F(Filters, FilteredSwitchesNavigationAndCount)
{
    table.SetFilter("Land = 'BY'");
    EXPECT_EQ(table.RecordCount(), 6);
    EXPECT_FALSE(table.IsFiltered());
    table.SetFiltered(true);
    EXPECT_TRUE(table.IsFiltered());
    EXPECT_EQ(table.RecordCount(), 3);
    EXPECT_EQ(name->AsString(), "München");
    EXPECT_EQ(Names(), (std::vector<std::string>{"München", "Memmingen", "Passau"}));
    table.Last();
    EXPECT_EQ(name->AsString(), "Passau");
    table.Prior();
    EXPECT_EQ(name->AsString(), "Memmingen");
    table.SetFiltered(false);
    EXPECT_EQ(table.RecordCount(), 6);
    // The event filters too, and both must accept.
    table.OnFilterRecord = [&](TzebCustomMemTable&, bool& accept) { accept = einwohner->AsInteger() < 100000; };
    table.SetFiltered(true);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Memmingen", "Passau"}));
    EXPECT_EQ(table.State(), dsBrowse);
    // Before the first accepted record stand two the filter hides: going back stops there.
    table.First();
    table.Prior();
    EXPECT_TRUE(table.Bof());
    EXPECT_EQ(name->AsString(), "Memmingen");
}

// A view the filter had emptied shows no record, and its record buffer still holds the last one
// shown. The refresh that brings records back must not take its place from that stale buffer: after
// First on the empty view the table stands before the first record, so it comes back on "München",
// not on the "Passau" that was current before the view emptied.
TEST_F(Filters, ARefreshAfterAnEmptiedViewTakesNoPlaceFromTheLastRecordShown)
{
    bool hideAll = false;
    table.OnFilterRecord = [&](TzebCustomMemTable&, bool& accept) { accept = !hideAll; };
    table.SetFiltered(true);
    ASSERT_TRUE(table.Locate("Name", TVariant("Passau")));
    hideAll = true;
    table.Refresh();
    EXPECT_TRUE(table.IsEmpty());
    table.First();
    EXPECT_TRUE(table.Eof());
    hideAll = false;
    table.Refresh();
    EXPECT_FALSE(table.IsEmpty());
    EXPECT_EQ(name->AsString(), "München");
    table.OnFilterRecord = nullptr;
    table.SetFiltered(false);
}

TEST_F(Filters, NullsCompareFalseAndIsNullAccepts)
{
    EXPECT_EQ(Accepted("Einwohner > 0 or Einwohner <= 0"), (std::vector<std::string>{"München", "Ulm", "Memmingen", "Passau", "Marburg"}));
    EXPECT_EQ(Accepted("Einwohner <> 5"), (std::vector<std::string>{"München", "Ulm", "Memmingen", "Passau", "Marburg"}));
    EXPECT_EQ(Accepted("Einwohner is null"), (std::vector<std::string>{"Öhringen"}));
    EXPECT_EQ(Accepted("not (Einwohner is not null)"), (std::vector<std::string>{"Öhringen"}));
    EXPECT_EQ(Accepted("Einwohner = null"), (std::vector<std::string>{}));
}

TEST_F(Filters, LikeInAndFunctions)
{
    EXPECT_EQ(Accepted("Land = 'BY' and Name like 'M*'"), (std::vector<std::string>{"München", "Memmingen"}));
    EXPECT_EQ(Accepted("Name like '?lm'"), (std::vector<std::string>{"Ulm"}));
    EXPECT_EQ(Accepted("Name like 'U*m' or Name like 'P*u'"), (std::vector<std::string>{"Ulm", "Passau"}));
    EXPECT_EQ(Accepted("Name like 'm*n'"), (std::vector<std::string>{}));
    EXPECT_EQ(Accepted("Name like 'm*n'", foCaseInsensitive), (std::vector<std::string>{"München", "Memmingen"}));
    EXPECT_EQ(Accepted("Name not like '*e*'"), (std::vector<std::string>{"Ulm", "Passau", "Marburg"}));
    EXPECT_EQ(Accepted("Land in ('HE', 'BW')"), (std::vector<std::string>{"Ulm", "Öhringen", "Marburg"}));
    EXPECT_EQ(Accepted("UPPER(Name) = 'ÖHRINGEN'"), (std::vector<std::string>{"Öhringen"}));
    EXPECT_EQ(Accepted("lower(Land) = 'he'"), (std::vector<std::string>{"Marburg"}));
    EXPECT_EQ(Accepted("SUBSTRING(Name, 2, 3) = 'ünc'"), (std::vector<std::string>{"München"}));
}

TEST(FilterMasks, ManyStarsAgainstALongTextStayFast)
{
    // A naive backtracking matcher needs exponential time here; this one is linear in the text
    // for a given mask. The test has no timing assertion: it would simply not finish.
    std::string text(10000, 'a');
    std::string mask;
    for (int i = 0; i < 40; ++i)
        mask += "*a";
    EXPECT_TRUE(MatchesMask(text, mask + "*", false));
    EXPECT_FALSE(MatchesMask(text, mask + "*b", false));
    EXPECT_FALSE(MatchesMask(text, mask + "b*", false));
    EXPECT_TRUE(MatchesMask("abcabc", "a*c", false));
    EXPECT_TRUE(MatchesMask("abcabc", "*b?a*", false));
    EXPECT_FALSE(MatchesMask("abc", "abc?", false));
    EXPECT_TRUE(MatchesMask("", "*", false));
    EXPECT_TRUE(MatchesMask("ÄRZEN", "ä*", true));
    EXPECT_TRUE(MatchesMask("Öhringen", "?hringen", false));  // "?" is one character, not one byte
}

TEST_F(Filters, ParseErrorsNameTheirPosition)
{
    EXPECT_EQ(MessageOf([&] { table.SetFilter("Land = 'BY' and ) Name"); }),
              "Filterausdruck: unerwartetes Zeichen an Position 17");
    EXPECT_EQ(MessageOf([&] { table.SetFilter("Land <="); }), "Filterausdruck: unerwartetes Ende an Position 8");
    EXPECT_EQ(MessageOf([&] { table.SetFilter("Land = 'BY"); }), "Filterausdruck: unerwartetes Ende an Position 11");
    EXPECT_EQ(MessageOf([&] { table.SetFilter("Größe # 3"); }), "Filterausdruck: unerwartetes Zeichen an Position 7");
    EXPECT_EQ(MessageOf([&] { table.SetFilter("Ort = 'Ulm'"); }), "Feld 'Ort' nicht gefunden");
    EXPECT_EQ(MessageOf([&] { table.SetFilter("WURZEL(Einwohner) > 3"); }),
              "Filterausdruck: unerwartetes Zeichen an Position 1");
    // Deep nesting is refused before it can exhaust the stack.
    std::string deep = std::string(300, '(') + "Einwohner > 1" + std::string(300, ')');
    EXPECT_EQ(MessageOf([&] { table.SetFilter(deep); }), "Filterausdruck: unerwartetes Zeichen an Position 257");
    std::string chain = "Einwohner = 1";
    for (int i = 0; i < 5000; ++i)
        chain += " or Einwohner = 1";
    EXPECT_NE(MessageOf([&] { table.SetFilter(chain); }).find("Filterausdruck"), std::string::npos);
    // A refused text leaves the filter that was in force.
    table.SetFilter("Land = 'BW'");
    EXPECT_EQ(MessageOf([&] { table.SetFilter("Land = ("); }), "Filterausdruck: unerwartetes Ende an Position 9");
    EXPECT_EQ(table.Filter(), "Land = 'BW'");
    std::string nested(100, '(');
    EXPECT_EQ(Accepted(nested + "Land = 'HE'" + std::string(100, ')')), (std::vector<std::string>{"Marburg"}));
}

TEST_F(Filters, HandBuiltTreesWithUnknownKindsGiveTheThreeMessages)
{
    auto evaluate = [](std::unique_ptr<TFilterNode> root) {
        return MessageOf([&] { TFilterExpression(std::move(root)).Evaluate(1031); });
    };
    auto field = TFilterNode::MakeField(name);
    field->Operator = opAdd;
    EXPECT_EQ(evaluate(std::move(field)), "Filterausdruck: unbekannter Operator (17)");
    EXPECT_EQ(evaluate(TFilterNode::MakeConst(ftBlob, TVariant(1))), "Filterausdruck: unbekannter Feldtyp (15)");
    std::vector<std::unique_ptr<TFilterNode>> args;
    args.push_back(TFilterNode::MakeConst(ftInteger, TVariant(1)));
    EXPECT_EQ(evaluate(TFilterNode::Make(nkUnary, opAnd, std::move(args))), "Filterausdruck: Operator nicht unterstützt (15).");
    EXPECT_EQ(evaluate(TFilterNode::Make(nkList, opIn)), "Filterausdruck: Operator nicht unterstützt (24).");
    try {
        TFilterExpression(TFilterNode::MakeConst(ftBlob, TVariant(1))).Evaluate(1031);
        FAIL();
    } catch (const EMemTableFilterError&) {
    }
    // Every constant type the tree knows.
    auto constant = [](TFieldType type, TVariant value) {
        return TFilterExpression(TFilterNode::MakeConst(type, std::move(value))).Evaluate(1031);
    };
    EXPECT_EQ(constant(ftSmallint, TVariant(7)).Type(), varSmallint);
    EXPECT_EQ(constant(ftCurrency, TVariant(1.25)).AsCurrency(), 12500);
    EXPECT_EQ(constant(ftBCD, TVariant(2)).Type(), varCurrency);
    EXPECT_EQ(constant(ftTime, TVariant(0.5)).DateKind(), dkTime);
    EXPECT_EQ(constant(ftDate, TVariant("01.02.2003")).AsString(), "01.02.2003");
    EXPECT_EQ(constant(ftWideString, TVariant("Öl")).Type(), varOleStr);
    EXPECT_TRUE(constant(ftInteger, TVariant::Null()).IsNull());
}

TEST_F(Filters, ArithmeticAndPartialCompare)
{
    EXPECT_EQ(Accepted("Einwohner / 1000 >= 100 and Einwohner mod 2 = 0"), (std::vector<std::string>{"München", "Ulm"}));
    EXPECT_EQ(Accepted("-Einwohner + 50000 > 0"), (std::vector<std::string>{"Memmingen"}));
    EXPECT_EQ(Accepted("Name = 'M*'"), (std::vector<std::string>{"München", "Memmingen", "Marburg"}));
    EXPECT_EQ(Accepted("Name = 'M*'", foNoPartialCompare), (std::vector<std::string>{}));
    EXPECT_EQ(Accepted("Name = 'ulm'", foCaseInsensitive), (std::vector<std::string>{"Ulm"}));
    EXPECT_EQ(Accepted("Name > 'N'"), (std::vector<std::string>{"Ulm", "Passau", "Öhringen"}));
}

TEST_F(Filters, FindAppliesTheFilterWhileFilteredIsOff)
{
    table.SetFilter("Land = 'BY'");
    EXPECT_FALSE(table.Filtered());
    EXPECT_TRUE(table.FindFirst());
    EXPECT_EQ(name->AsString(), "München");
    EXPECT_TRUE(table.FindNext());
    EXPECT_EQ(name->AsString(), "Memmingen");
    EXPECT_TRUE(table.FindNext());
    EXPECT_EQ(name->AsString(), "Passau");
    EXPECT_FALSE(table.FindNext());
    EXPECT_FALSE(table.Found());
    EXPECT_EQ(name->AsString(), "Passau");
    EXPECT_TRUE(table.FindPrior());
    EXPECT_EQ(name->AsString(), "Memmingen");
    EXPECT_TRUE(table.FindLast());
    EXPECT_EQ(name->AsString(), "Passau");
    EXPECT_EQ(table.RecordCount(), 6);
}

TEST_F(Filters, CalculatedFieldsAreComputedForTheRecordUnderTest)
{
    table.Close();
    auto& big = table.AddField<TBooleanField>("Gross");
    big.SetFieldKind(fkCalculated);
    int calculations = 0;
    table.OnCalcFields = [&](TDataSet&) {
        ++calculations;
        big.SetAsBoolean(einwohner->AsInteger() >= 100000);
    };
    table.Open();
    Add({{"München", "BY", 1500000}, {"Passau", "BY", 52000}});
    table.SetFilter("Gross = true");
    // The key list with a calculated field switches RecalcOnIndex on.
    TzebFieldList keys;
    table.BuildFieldList("Gross", keys);
    EXPECT_TRUE(table.RecalcOnIndex);
    table.SetFiltered(true);
    calculations = 0;
    EXPECT_EQ(Names(), (std::vector<std::string>{"München"}));
    EXPECT_GT(calculations, 0);
    EXPECT_EQ(table.State(), dsBrowse);
}

TEST_F(Filters, StateIsRestoredWhenTheFilterFails)
{
    table.OnFilterRecord = [&](TzebCustomMemTable&, bool&) {
        EXPECT_EQ(table.State(), dsFilter);
        throw EDatabaseError("kaputt");
    };
    EXPECT_EQ(MessageOf([&] { table.SetFiltered(true); }), "kaputt");
    EXPECT_EQ(table.State(), dsBrowse);
    table.OnFilterRecord = nullptr;
    table.SetFiltered(false);
}

TEST(FilterVersions, AVersionedDeleteIsHiddenInAnIndexThatShowsDeletedRecords)
{
    TextCollator::SetUserDefaultLocale("de_DE");
    const ScopeExit reset([] { TextCollator::SetUserDefaultLocale(""); });
    TzebMemTable t;
    auto& n = t.AddField<TStringField>("Name", 10);
    t.SetEnableVersioning(true);
    t.Open();
    for (const char* s : {"b", "a", "c"}) {
        t.Append();
        n.SetAsString(s);
        t.Post();
    }
    auto* all = t.AddIndex("Alle", "Name", 0, kDefaultShownStatuses | ShowStatus(mtcsDeleted));
    t.SetIndexName("Alle");
    t.Locate("Name", TVariant("b"));
    t.Delete();
    // The index keeps the deleted record, the table does not show it.
    EXPECT_EQ(all->Count(), 3);
    EXPECT_EQ(t.RecordCount(), 2);
    std::vector<std::string> names;
    for (t.First(); !t.Eof(); t.Next())
        names.push_back(n.AsString());
    EXPECT_EQ(names, (std::vector<std::string>{"a", "c"}));
    EXPECT_FALSE(t.Locate("Name", TVariant("b")));
    EXPECT_EQ(t.Indexes().RowOrder().Count(), 2);
}

TEST(FilterRanges, AKeyRangeIsCheckedByTheAcceptanceTest)
{
    // No operation sets a range; a subclass can, and the acceptance test honours it.
    struct RangedTable : TzebMemTable {
        void SetRange(TzebRecord* start, TzebRecord* end) { rangeStart_ = start, rangeEnd_ = end; }
    } t;
    auto& v = t.AddField<TIntegerField>("V");
    t.Open();
    for (int i = 1; i <= 5; ++i) {
        t.Append();
        v.SetAsInteger(i);
        t.Post();
    }
    t.SetIndexFieldNames("V");
    TzebRecord* start = t.CurrentIndex().At(1);
    TzebRecord* end = t.CurrentIndex().At(3);
    t.SetRange(start, end);
    EXPECT_FALSE(t.AcceptRecord(t.CurrentIndex().At(0), true));
    EXPECT_TRUE(t.AcceptRecord(t.CurrentIndex().At(2), true));
    EXPECT_FALSE(t.AcceptRecord(t.CurrentIndex().At(4), true));
    t.SetRange(nullptr, nullptr);
}

}  // namespace
}  // namespace velmoran
