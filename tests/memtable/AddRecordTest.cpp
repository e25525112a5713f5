// The table core's remaining routines: records added with their values in one call (appended,
// inserted before the current record, a failing value or key leaving nothing behind), the
// application's handler taking an exception, the indexes brought in step with their definitions
// after a load, and a BCD field that writes with its own precision.
#include "BinaryFormat.h"
#include "PlacesTable.h"

#include "platform/core/ExceptionHandler.h"

namespace velmoran {
namespace {

using testing::MessageOf;
using testing::PlacesTable;

// A table whose exception hook the test calls as the dataset layer does.
class HandlingTable : public TzebMemTable {
public:
    using TzebMemTable::InternalHandleException;
};

class AddRecord : public PlacesTable {};

// A table whose record hook the test calls as the dataset layer does.
class AddingTable : public TzebMemTable {
public:
    using TzebMemTable::ActiveBuffer;
    using TzebMemTable::InternalAddRecord;
};

TEST_F(AddRecord, AppendAndInsertPostTheValuesAtOnce)
{
    Add({{"Ulm", "BW", 120000}, {"Passau", "BY", 52000}});
    table.AppendRecord({TVariant("Hof"), TVariant("BY"), TVariant(45000)});
    EXPECT_EQ(table.State(), dsBrowse);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Ulm", "Passau", "Hof"}));
    EXPECT_EQ(einwohner->AsInteger(), 45000);

    // Inserted before the current record; a null and a missing value leave their fields empty.
    ASSERT_TRUE(table.Locate("Name", TVariant("Passau")));
    table.InsertRecord({TVariant("Kempten"), TVariant::Null()});
    EXPECT_EQ(Names(), (std::vector<std::string>{"Ulm", "Kempten", "Passau", "Hof"}));
    EXPECT_EQ(name->AsString(), "Kempten");
    EXPECT_TRUE(land->IsNull());
    EXPECT_TRUE(einwohner->IsNull());
}

TEST_F(AddRecord, AFailingRecordLeavesNothingBehind)
{
    Add({{"Ulm", "BW", 120000}});
    table.AddIndex("NameEindeutig", "Name", mtcoUnique);
    EXPECT_EQ(MessageOf([&] { table.AppendRecord({TVariant("Ulm")}); }), "Doppelter Indexwert. Vorgang abgebrochen.");
    EXPECT_EQ(table.State(), dsBrowse);
    EXPECT_EQ(table.RecordCount(), 1);
    EXPECT_THROW(table.InsertRecord({TVariant("Hof"), TVariant("BY"), TVariant("viele")}), Exception);
    EXPECT_EQ(table.State(), dsBrowse);
    EXPECT_EQ(table.RecordCount(), 1);
}

// The dataset layer's hook stores the record of a buffer as it stands, appended after the others,
// and refuses one whose key a unique index already holds, storing nothing.
TEST_F(AddRecord, TheRecordHookAppendsAndRefusesADuplicateKey)
{
    AddingTable adding;
    TField& city = adding.AddField<TStringField>("Name", 30);
    adding.Open();
    const auto addFromBuffer = [&](const std::string& value) {
        adding.Append();
        city.SetAsString(value);
        try {
            adding.InternalAddRecord(adding.ActiveBuffer(), true);
        } catch (...) {
            adding.Cancel();
            throw;
        }
        adding.Cancel();
    };
    addFromBuffer("Ulm");
    addFromBuffer("Hof");
    ASSERT_EQ(adding.RecordCount(), 2);
    adding.Last();
    EXPECT_EQ(city.AsString(), "Hof");
    adding.First();
    EXPECT_EQ(city.AsString(), "Ulm");

    adding.AddIndex("NameEindeutig", "Name", mtcoUnique);
    EXPECT_THROW(addFromBuffer("Ulm"), Exception);
    EXPECT_EQ(adding.RecordCount(), 2);
}

TEST_F(AddRecord, AnExceptionGoesToTheApplicationsHandler)
{
    HandlingTable handling;
    std::vector<std::string> shown;
    SetApplicationExceptionHandler([&] {
        try {
            throw;
        } catch (const std::exception& e) {
            shown.push_back(e.what());
        }
    });
    try {
        throw EMemTableError("Tabelle defekt");
    } catch (...) {
        handling.InternalHandleException();
    }
    SetApplicationExceptionHandler(nullptr);
    EXPECT_EQ(shown, std::vector<std::string>{"Tabelle defekt"});
    // Without a handler the exception goes on.
    EXPECT_THROW(
        {
            try {
                throw EMemTableError("weiter");
            } catch (...) {
                handling.InternalHandleException();
            }
        },
        EMemTableError);
}

TEST_F(AddRecord, ALoadBringsTheIndexesInStepWithTheirDefinitions)
{
    Add({{"Ulm", "BW", 120000}, {"Passau", "BY", 52000}, {"Hof", "BY", 45000}});
    TBinaryTableFormat format;
    TMemoryStream saved;
    table.SaveToStreamViaFormat(saved, &format);

    table.AddIndex("NachName", "Name", 0);
    table.SetIndexName("NachName");
    table.IndexDefs().Remove("NachName");
    table.IndexDefs().Add("NachEinwohnern", "Einwohner", 0);
    table.EmptyTable();
    saved.SetPosition(0);
    table.LoadFromStreamViaFormat(saved, &format);

    // The index without a definition went and the row order is current again; the definition
    // without an index got one, ordered over the loaded records.
    EXPECT_EQ(table.Indexes().Find("NachName"), nullptr);
    EXPECT_EQ(table.IndexName(), "");
    EXPECT_EQ(Names(), (std::vector<std::string>{"Ulm", "Passau", "Hof"}));
    ASSERT_NE(table.Indexes().Find("NachEinwohnern"), nullptr);
    table.SetIndexName("NachEinwohnern");
    EXPECT_EQ(Names(), (std::vector<std::string>{"Hof", "Passau", "Ulm"}));
}

// A BCD field keeps to its own precision: today's largest precision let any value through.
TEST(BcdField, WritesWithItsOwnPrecision)
{
    TzebMemTable table;
    auto& betrag = table.AddField<TBCDField>("Betrag", 2);
    betrag.Precision = 5;
    table.Open();
    table.Append();
    table.SetFieldValue(betrag, TVariant(123.45));
    EXPECT_EQ(betrag.AsVariant().AsCurrency(), 1234500);
    // The fraction digits beyond the precision go.
    table.SetFieldValue(betrag, TVariant(12.3456));
    EXPECT_EQ(betrag.AsVariant().AsCurrency(), 123450);
    EXPECT_THROW(table.SetFieldValue(betrag, TVariant(123456.0)), EVariantError);
    // No precision: the largest.
    betrag.Precision = 0;
    table.SetFieldValue(betrag, TVariant(123456.0));
    EXPECT_EQ(betrag.AsVariant().AsCurrency(), 1234560000);
    table.Cancel();
    // A definition of the type makes the BCD field.
    TFieldDefs defs;
    defs.Add("Summe", ftBCD, 2);
    EXPECT_NE(dynamic_cast<TBCDField*>(CreateFieldForDef(defs[0]).get()), nullptr);
}

}  // namespace
}  // namespace velmoran
