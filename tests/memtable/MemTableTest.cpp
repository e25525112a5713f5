// The in-memory table through the dataset interface: navigation, editing, which record is
// current after each operation, read-only rules, bookmarks, events and out-of-record values.
#include "memtable/MemTable.h"
#include "tests/memtable/PlacesTable.h"
#include "platform/core/FormatSettings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace velmoran {
namespace {

using testing::MessageOf;

// A table with a text and a number field.
class MemTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        name = &table.AddField<TStringField>("Name", 20);
        value = &table.AddField<TFloatField>("Value");
        table.Open();
    }
    void AppendRows(std::initializer_list<const char*> names)
    {
        for (const char* n : names) {
            table.Append();
            name->SetAsString(n);
            value->SetAsFloat(static_cast<double>(table.RecordCount() + 1));
            table.Post();
        }
    }
    std::vector<std::string> Names()
    {
        std::vector<std::string> all;
        TBookmark here = table.GetBookmark();
        for (table.First(); !table.Eof(); table.Next())
            all.push_back(name->AsString());
        if (table.BookmarkValid(here))
            table.GotoBookmark(here);
        return all;
    }

    TzebMemTable table;
    TStringField* name = nullptr;
    TFloatField* value = nullptr;
};

TEST_F(MemTableTest, EmptyTableNavigation)
{
    EXPECT_TRUE(table.IsEmpty());
    EXPECT_TRUE(table.Eof());
    EXPECT_TRUE(table.Bof());
    EXPECT_EQ(table.RecNo(), -1);
    EXPECT_EQ(table.RecordCount(), 0);
    EXPECT_EQ(table.MoveBy(3), 0);
    table.SetRecNo(1);
    EXPECT_EQ(table.RecNo(), -1);
    EXPECT_TRUE(name->IsNull());
    EXPECT_EQ(MessageOf([&] { table.Delete(); }), "Operation bei leerer Datenmenge nicht ausführbar");
}

TEST_F(MemTableTest, AppendPostGivesFirstRecord)
{
    AppendRows({"a"});
    EXPECT_EQ(table.RecordCount(), 1);
    EXPECT_EQ(table.RecNo(), 1);
    EXPECT_FALSE(table.IsEmpty());
    EXPECT_EQ(name->AsString(), "a");
}

TEST_F(MemTableTest, MoveByReturnsTheDistanceMovedAndSetsEofBof)
{
    AppendRows({"a", "b", "c", "d"});
    table.First();
    EXPECT_TRUE(table.Bof());
    EXPECT_FALSE(table.Eof());
    EXPECT_EQ(table.MoveBy(10), 3);
    EXPECT_TRUE(table.Eof());
    EXPECT_EQ(table.RecNo(), 4);
    EXPECT_EQ(name->AsString(), "d");
    EXPECT_EQ(table.MoveBy(1), 0);
    EXPECT_EQ(table.MoveBy(-2), -2);
    EXPECT_FALSE(table.Eof());
    EXPECT_EQ(name->AsString(), "b");
    EXPECT_EQ(table.MoveBy(-5), -1);
    EXPECT_TRUE(table.Bof());
    EXPECT_EQ(table.RecNo(), 1);
    // Moving by nothing leaves both ends as they are.
    EXPECT_EQ(table.MoveBy(0), 0);
    EXPECT_TRUE(table.Bof());
    table.Last();
    EXPECT_EQ(table.MoveBy(0), 0);
    EXPECT_TRUE(table.Eof());
    table.Last();
    EXPECT_TRUE(table.Eof());
    EXPECT_FALSE(table.Bof());
    EXPECT_EQ(name->AsString(), "d");
    table.Prior();
    EXPECT_EQ(name->AsString(), "c");
    EXPECT_FALSE(table.Eof());
    table.First();
    table.Next();
    EXPECT_FALSE(table.Bof());
    EXPECT_EQ(name->AsString(), "b");

    table.SetRecNo(3);
    EXPECT_EQ(name->AsString(), "c");
    table.SetRecNo(0);
    table.SetRecNo(5);
    EXPECT_EQ(table.RecNo(), 3);
}

TEST_F(MemTableTest, InsertPlacesBeforeTheCurrentRecord)
{
    AppendRows({"a", "b", "c"});
    table.SetRecNo(2);
    table.Insert();
    EXPECT_EQ(table.State(), dsInsert);
    EXPECT_EQ(table.RecNo(), -1);
    name->SetAsString("neu");
    table.Post();
    EXPECT_EQ(name->AsString(), "neu");
    EXPECT_EQ(table.RecNo(), 2);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "neu", "b", "c"}));
    // Bookmarks compare by the row order, not by the order the records were stored in.
    TBookmark inserted = table.GetBookmark();
    table.Next();
    TBookmark b = table.GetBookmark();
    EXPECT_EQ(name->AsString(), "b");
    EXPECT_GT(inserted.Slot, b.Slot);
    EXPECT_EQ(table.CompareBookmarks(inserted, b), -1);
    EXPECT_EQ(table.CompareBookmarks(b, inserted), 1);

    table.First();
    table.Insert();
    EXPECT_FALSE(table.Bof());
    EXPECT_FALSE(table.Eof());
    name->SetAsString("erster");
    table.Post();
    EXPECT_EQ(Names(), (std::vector<std::string>{"erster", "a", "neu", "b", "c"}));

    TzebMemTable empty;
    empty.FieldDefs().Add("N", ftInteger);
    empty.Open();
    empty.Insert();
    empty.FieldByName("N").SetAsInteger(1);
    empty.Post();
    EXPECT_EQ(empty.RecNo(), 1);
}

TEST_F(MemTableTest, CancelLeavesTheStoreAndReturnsToTheRecord)
{
    AppendRows({"a", "b"});
    table.First();
    table.Edit();
    name->SetAsString("x");
    table.Cancel();
    EXPECT_EQ(table.State(), dsBrowse);
    EXPECT_EQ(name->AsString(), "a");
    table.Append();
    name->SetAsString("c");
    table.Cancel();
    EXPECT_EQ(table.RecordCount(), 2);
    EXPECT_EQ(name->AsString(), "b");
    table.SetRecNo(1);
    table.Insert();
    table.Cancel();
    EXPECT_EQ(name->AsString(), "a");
    // Moving on from an insert posts it when something was written into it, else drops it.
    table.Append();
    name->SetAsString("d");
    table.First();
    EXPECT_EQ(table.State(), dsBrowse);
    EXPECT_EQ(table.RecordCount(), 3);
    table.Append();
    table.Last();
    EXPECT_EQ(table.State(), dsBrowse);
    EXPECT_EQ(table.RecordCount(), 3);
    EXPECT_EQ(name->AsString(), "d");
}

TEST_F(MemTableTest, DeleteMakesTheFollowingRecordCurrent)
{
    AppendRows({"a", "b", "c"});
    table.SetRecNo(2);
    table.Delete();
    EXPECT_EQ(name->AsString(), "c");
    EXPECT_EQ(table.RecNo(), 2);
    table.Delete();
    EXPECT_EQ(name->AsString(), "a");
    EXPECT_EQ(table.RecNo(), 1);
    table.Delete();
    EXPECT_TRUE(table.IsEmpty());
    EXPECT_TRUE(table.Eof());
    // Deleting every row one by one, as a table is emptied before it is refilled.
    AppendRows({"a", "b", "c"});
    table.First();
    while (!table.IsEmpty())
        table.Delete();
    EXPECT_EQ(table.RecordCount(), 0);
}

TEST_F(MemTableTest, WritesNeedAnEditState)
{
    AppendRows({"a"});
    EXPECT_EQ(MessageOf([&] { value->SetAsFloat(1); }), "Datenmenge ist nicht im Bearbeitungsmodus");
    table.Edit();
    value->SetAsFloat(42);
    table.Post();
    EXPECT_EQ(value->AsFloat(), 42.0);
    table.Edit();
    value->SetAsFloat(7);
    table.Cancel();
    EXPECT_EQ(value->AsFloat(), 42.0);
    // Navigating posts a modified record.
    table.Edit();
    value->SetAsFloat(8);
    table.First();
    EXPECT_EQ(table.State(), dsBrowse);
    EXPECT_EQ(value->AsFloat(), 8.0);
}

TEST_F(MemTableTest, ReadOnlyTableAndFields)
{
    AppendRows({"a"});
    name->SetReadOnly(true);
    table.Edit();
    EXPECT_EQ(MessageOf([&] { name->SetAsString("b"); }), "Feld 'Name' ist schreibgeschützt");
    name->SetDisplayLabel("Bezeichnung");
    EXPECT_EQ(MessageOf([&] { name->SetAsString("b"); }), "Feld 'Bezeichnung' ist schreibgeschützt");
    value->SetAsFloat(3);
    table.ReadOnly = true;
    EXPECT_EQ(MessageOf([&] { value->SetAsFloat(4); }), "Feld 'Value' ist schreibgeschützt");
    table.Post();
    EXPECT_EQ(value->AsFloat(), 3.0);
    EXPECT_EQ(name->AsString(), "a");
    EXPECT_THROW(table.Edit(), EDatabaseError);
    EXPECT_THROW(table.Append(), EDatabaseError);
    EXPECT_THROW(table.Delete(), EDatabaseError);
    EXPECT_EQ(table.RecordCount(), 1);
}

TEST_F(MemTableTest, ClosedTableRefusesOperations)
{
    AppendRows({"a"});
    table.Close();
    EXPECT_FALSE(table.Active());
    EXPECT_EQ(MessageOf([&] { (void)table.RecordCount(); }), "Operation bei geschlossener Datenmenge nicht ausführbar");
    EXPECT_THROW(table.First(), EDatabaseError);
    EXPECT_EQ(table.RecNo(), -1);
    EXPECT_TRUE(name->IsNull());
    EXPECT_EQ(name->FieldNo(), -1);  // no longer bound to a record field
    table.Open();
    EXPECT_EQ(table.RecordCount(), 0);  // closing the table empties it
}

TEST_F(MemTableTest, BookmarksNameOneRecordForItsLife)
{
    AppendRows({"a", "b", "c"});
    table.SetRecNo(2);
    TBookmark b = table.GetBookmark();
    table.Last();
    TBookmark c = table.GetBookmark();
    EXPECT_TRUE(table.BookmarkValid(b));
    EXPECT_EQ(table.CompareBookmarks(b, c), -1);
    EXPECT_EQ(table.CompareBookmarks(c, b), 1);
    EXPECT_EQ(table.CompareBookmarks(b, b), 0);
    table.GotoBookmark(b);
    EXPECT_EQ(name->AsString(), "b");

    table.Delete();
    EXPECT_FALSE(table.BookmarkValid(b));
    EXPECT_EQ(table.CompareBookmarks(b, c), 0);
    // A new record takes the deleted record's slot, but not its bookmark.
    AppendRows({"d"});
    EXPECT_EQ(table.GetBookmark().Slot, b.Slot);
    EXPECT_FALSE(table.BookmarkValid(b));
    table.First();
    table.GotoBookmark(b);
    EXPECT_EQ(name->AsString(), "a");  // an invalid bookmark leaves the cursor where it was

    TBookmark empty;
    EXPECT_FALSE(table.BookmarkValid(empty));
    EXPECT_EQ(MessageOf([&] { table.GotoBookmark(empty); }), "Lesezeichen -200 nicht gefunden");
    table.FreeBookmark(c);
    EXPECT_TRUE(c.Empty());

    TBookmark d = table.GetBookmark();
    table.Close();
    table.Open();
    AppendRows({"a"});
    EXPECT_EQ(table.GetBookmark().Slot, d.Slot);
    EXPECT_EQ(table.GetBookmark().UniqueNumber, d.UniqueNumber);
    EXPECT_FALSE(table.BookmarkValid(d));  // a new generation
}

TEST_F(MemTableTest, EventOrderOfAppendAndPost)
{
    std::vector<std::string> events;
    auto log = [&](const char* what) { return [&events, what](TDataSet&) { events.push_back(what); }; };
    table.BeforeInsert = log("BeforeInsert");
    table.AfterInsert = log("AfterInsert");
    table.BeforeScroll = log("BeforeScroll");
    table.AfterScroll = log("AfterScroll");
    table.OnNewRecord = [&](TDataSet&) {
        events.push_back("OnNewRecord");
        value->SetAsFloat(99);  // defaults may be written here
    };
    table.BeforePost = log("BeforePost");
    table.AfterPost = log("AfterPost");
    table.Append();
    EXPECT_FALSE(table.Modified());
    EXPECT_EQ(value->AsFloat(), 99.0);
    table.Post();
    EXPECT_EQ(events, (std::vector<std::string>{"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert",
                                                 "AfterScroll", "BeforePost", "AfterPost"}));

    events.clear();
    table.BeforeClose = log("BeforeClose");
    table.AfterClose = log("AfterClose");
    table.BeforeCancel = log("BeforeCancel");
    table.Edit();
    table.Close();
    EXPECT_EQ(events, (std::vector<std::string>{"BeforeCancel", "BeforeClose", "AfterClose"}));
}

TEST_F(MemTableTest, AbortingErrorHandlerAndFailingEvents)
{
    AppendRows({"a"});
    table.BeforePost = [](TDataSet&) { throw EDatabaseError("nein"); };
    table.Edit();
    value->SetAsFloat(5);
    EXPECT_THROW(table.Post(), EDatabaseError);
    EXPECT_EQ(table.State(), dsEdit);
    EXPECT_EQ(value->AsFloat(), 5.0);
    table.BeforePost = nullptr;
    table.Post();
    EXPECT_EQ(value->AsFloat(), 5.0);

    // A refused store (the unique numbers are used up) leaves the insert pending and the store
    // as it was; the error handler decides how it ends.
    table.Store().SetNextUniqueNumber(kZebMaxUniqueNumber - 1);
    int calls = 0;
    table.OnPostError = [&](TDataSet&, const EDatabaseError& error, TDataAction& action) {
        ++calls;
        EXPECT_EQ(error.Message(), "Der Zähler der Lesezeichen ist erschöpft. Bitte die Tabelle schließen und wieder öffnen.");
        action = calls == 1 ? TDataAction::daFail : TDataAction::daAbort;
    };
    table.Append();
    name->SetAsString("zu viel");
    EXPECT_THROW(table.Post(), EMemTableFatalError);
    EXPECT_THROW(table.Post(), EAbort);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(table.State(), dsInsert);
    EXPECT_EQ(name->AsString(), "zu viel");
    EXPECT_EQ(table.RecordCount(), 1);
    EXPECT_EQ(table.Store().SlotCount(), 1);
    table.Cancel();
    EXPECT_EQ(name->AsString(), "a");
    // Retried after the handler has made room, the post goes through.
    table.OnPostError = [&](TDataSet&, const EDatabaseError&, TDataAction& action) {
        table.Store().SetNextUniqueNumber(100);
        action = TDataAction::daRetry;
    };
    table.Append();
    name->SetAsString("danach");
    table.Post();
    EXPECT_EQ(table.State(), dsBrowse);
    EXPECT_EQ(table.RecordCount(), 2);
    table.OnPostError = nullptr;
    table.First();

    table.BeforeDelete = [](TDataSet&) { throw EAbort(); };
    EXPECT_THROW(table.Delete(), EAbort);
    EXPECT_EQ(table.RecordCount(), 2);
}

TEST_F(MemTableTest, CalculatedFieldsFollowTheRecord)
{
    TzebMemTable calc;
    auto& x = calc.AddField<TFloatField>("X");
    auto& twice = calc.AddField<TFloatField>("Twice");
    twice.SetFieldKind(fkCalculated);
    calc.OnCalcFields = [&](TDataSet&) {
        if (!x.IsNull())
            twice.SetAsFloat(2 * x.AsFloat());
    };
    // Values written while calculating are no changes a field reports.
    int xChanges = 0, twiceChanges = 0;
    x.OnChange = [&](TField&) { ++xChanges; };
    twice.OnChange = [&](TField&) { ++twiceChanges; };
    calc.Open();
    EXPECT_EQ(calc.FieldDefs().Count(), 1);
    calc.Append();
    x.SetAsFloat(4);
    EXPECT_EQ(twice.AsFloat(), 8.0);
    calc.Post();
    calc.Append();
    x.SetAsFloat(5);
    calc.Post();
    calc.First();
    EXPECT_EQ(twice.AsFloat(), 8.0);
    calc.Next();
    EXPECT_EQ(twice.AsFloat(), 10.0);
    EXPECT_EQ(xChanges, 2);
    EXPECT_EQ(twiceChanges, 0);
}

TEST_F(MemTableTest, DeclaredFieldsReplaceStoredDefinitions)
{
    TzebMemTable t;
    t.FieldDefs().Add("Alt", ftString, 10);
    auto& neu = t.AddField<TIntegerField>("Neu");
    t.Open();
    ASSERT_EQ(t.FieldDefs().Count(), 1);
    EXPECT_EQ(t.FieldDefs()[0].Name(), "Neu");
    EXPECT_EQ(t.FieldDefs()[0].DataType(), ftInteger);
    EXPECT_EQ(t.FindField("Alt"), nullptr);
    EXPECT_EQ(&t.FieldByName("neu"), &neu);
    t.Close();
    EXPECT_EQ(t.FieldCount(), 1);  // declared fields stay

    TzebMemTable defaults;
    defaults.FieldDefs().Add("A", ftSmallint);
    defaults.Open();
    EXPECT_TRUE(defaults.DefaultFields());
    EXPECT_NE(dynamic_cast<TSmallintField*>(defaults.FindField("a")), nullptr);
    defaults.Close();
    EXPECT_EQ(defaults.FieldCount(), 0);  // created at open, destroyed at close
    EXPECT_THROW(defaults.AddField<TFloatField>("B").SetAsFloat(1), EDatabaseError);
}

// A table with long texts kept outside the record.
class OutOfRecordTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        table.SetPerformance(mtpfBalanced);
        note = &table.AddField<TStringField>("Note", 255);
        title = &table.AddField<TStringField>("Title", 80);
        x = &table.AddField<TFloatField>("X");
        table.Open();
        table.Append();
        note->SetAsString("Notiz über die Anlage");
        title->SetAsString("Titel");
        x->SetAsFloat(1);
        table.Post();
    }
    TzebMemTable table;
    TStringField* note = nullptr;
    TStringField* title = nullptr;
    TFloatField* x = nullptr;
};

TEST_F(OutOfRecordTest, EditThatLeavesALongTextAloneKeepsIt)
{
    table.Edit();
    EXPECT_EQ(note->AsString(), "Notiz über die Anlage");  // read through the stored record
    x->SetAsFloat(2);
    title->SetAsString("Neuer Titel");
    table.Post();
    EXPECT_EQ(note->AsString(), "Notiz über die Anlage");
    EXPECT_EQ(title->AsString(), "Neuer Titel");
    EXPECT_EQ(x->AsFloat(), 2.0);

    table.Edit();
    note->Clear();
    table.Post();
    EXPECT_TRUE(note->IsNull());
    EXPECT_EQ(table.Store().OutOfRecordBlock(table.Store().RecordAt(0), 0), nullptr);
    EXPECT_EQ(title->AsString(), "Neuer Titel");
}

TEST_F(OutOfRecordTest, CancelledWritesDoNotReachTheStore)
{
    table.Edit();
    note->SetAsString("verworfen");
    EXPECT_EQ(note->AsString(), "verworfen");
    table.Cancel();
    EXPECT_EQ(note->AsString(), "Notiz über die Anlage");
    table.Append();
    note->SetAsString("nie gespeichert");
    table.Close();  // cancels the insert; its block is released
    table.Open();
    EXPECT_TRUE(table.IsEmpty());
}

TEST_F(OutOfRecordTest, RecordsKeepTheirOwnTextsAcrossDeleteAndReuse)
{
    table.Append();
    note->SetAsString("zweite");
    table.Post();
    table.First();
    table.Delete();
    EXPECT_EQ(note->AsString(), "zweite");
    table.Append();
    note->SetAsString("dritte");
    table.Post();
    EXPECT_EQ(table.Store().RecordAt(0)->SlotNumber, 0);
    table.First();
    EXPECT_EQ(note->AsString(), "zweite");
    table.Next();
    EXPECT_EQ(note->AsString(), "dritte");
}

TEST(MemTableVersioning, KeepsOldContentsAndDeletedRecords)
{
    TzebMemTable table;
    auto& x = table.AddField<TFloatField>("X");
    table.SetEnableVersioning(true);
    table.Open();
    table.Append();
    x.SetAsFloat(1);
    table.Post();
    TzebRecord* stored = table.Store().RecordAt(0);
    EXPECT_EQ(stored->ChangeStatus, mtcsInserted);
    table.Edit();
    x.SetAsFloat(2);
    table.Post();
    EXPECT_EQ(stored->ChangeStatus, mtcsModified);
    ASSERT_NE(stored->PreviousVersion, nullptr);
    double old = 0;
    std::memcpy(&old, table.Store().FieldPointer(stored->PreviousVersion, 1) + 1, sizeof old);
    EXPECT_EQ(old, 1.0);
    EXPECT_EQ(x.AsFloat(), 2.0);
    table.Delete();
    EXPECT_EQ(table.RecordCount(), 0);
    EXPECT_EQ(table.Store().DeletedCount(), 1);
    EXPECT_EQ(stored->ChangeStatus, mtcsDeleted);
}

TEST(ValueTables, EightyNineFieldTableOpensWithEveryFieldNull)
{
    // The fields of the calculation header table: texts of 255, 80, 40 and 20 characters, a
    // date, integers, small integers and floats.
    struct Def {
        const char* name;
        TFieldType type;
        int size;
    };
    const std::vector<Def> defs = {
        {"Projekt", ftString, 255}, {"Bearbeiter", ftString, 80}, {"Datum", ftDate, 0}, {"ID", ftInteger, 0},
        {"PATH", ftString, 20}, {"Modus", ftInteger, 0}, {"BM", ftInteger, 0}, {"RZ", ftInteger, 0},
        {"RZIEL", ftString, 20}, {"GE", ftInteger, 0}, {"VE", ftInteger, 0}, {"DN", ftSmallint, 0},
        {"FS", ftSmallint, 0}, {"VK", ftSmallint, 0}, {"MB", ftSmallint, 0}, {"AS", ftSmallint, 0},
        {"NS", ftSmallint, 0}, {"FT", ftInteger, 0}, {"FTYP", ftString, 40}, {"aFM", ftFloat, 0},
        {"NT", ftInteger, 0}, {"NTYP", ftString, 40}, {"RT", ftInteger, 0}, {"RTYP", ftString, 40},
        {"STYP", ftString, 40}};
    const char* floats[] = {"Qsr", "_QSR", "BDBSB", "_TSBB", "_TSBA", "_TTS", "_TTSa", "_SF", "VBB", "_VBB",
                            "nKask", "VMB", "VAS", "HE", "QM", "QZN", "a", "ANB", "ANBEFF", "_ANB", "VNB",
                            "qA", "_qA", "qSV", "_qSV", "ISV", "tE", "RV", "_RV", "TSRS", "TSBS", "R2B",
                            "TSZN", "_TSZN", "Qk", "QRS", "H1", "H2", "H3", "H4", "HNB", "_HNB", "HVNB",
                            "HEinl", "dNB", "_dNB", "dMB", "bNB", "lNB", "_lNB", "dSNB", "xNB", "aR", "fSR",
                            "bSR", "hSR", "tSR", "tS", "lB", "lW", "lSR", "vSR", "vF", "nTr"};
    for (TzebPerformance performance : {mtpfFast, mtpfBalanced}) {
        TzebMemTable d;
        d.SetPerformance(performance);
        for (const Def& def : defs)
            d.FieldDefs().Add(def.name, def.type, def.size);
        for (const char* f : floats)
            d.FieldDefs().Add(f, ftFloat);
        d.Open();
        ASSERT_EQ(d.FieldCount(), 89);
        for (const auto& field : d.Fields())
            EXPECT_TRUE(field->IsNull()) << field->FieldName();
        d.Edit();  // an empty table starts a new record
        EXPECT_EQ(d.State(), dsInsert);
        for (const auto& field : d.Fields())
            EXPECT_TRUE(field->IsNull()) << field->FieldName();
        d.FieldByName("Projekt").SetAsString(std::string(300, 'p'));
        d.FieldByName("RZIEL").SetAsString("Aerobe Schlammstabilisierung");
        d.FieldByName("_TSBB").SetAsFloat(3.5);
        d.Post();
        EXPECT_EQ(d.FieldByName("Projekt").AsString().size(), 255u);
        EXPECT_EQ(d.FieldByName("RZIEL").AsString(), "Aerobe Schlammstabil");
        EXPECT_TRUE(d.FieldByName("Datum").IsNull());
        EXPECT_TRUE(d.FieldByName("nTr").IsNull());
    }
}

}  // namespace
}  // namespace velmoran
