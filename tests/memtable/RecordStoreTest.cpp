// The record store: layout of every supported type, out-of-record values, slot and unique
// numbering, the unique-number limit, generations, locale ids and store properties.
#include "memtable/MemTable.h"
#include "tests/memtable/PlacesTable.h"
#include "memtable/RecordStore.h"

#include <gtest/gtest.h>

#include <cstring>

namespace velmoran {
namespace {

using testing::MessageOf;

TEST(RecordStoreLayout, MixedTableOffsets)
{
    TzebMemTable table;
    TFieldDefs& defs = table.FieldDefs();
    defs.Add("S", ftString, 10);
    defs.Add("Sm", ftSmallint);
    defs.Add("I", ftInteger);
    defs.Add("W", ftWord);
    defs.Add("B", ftBoolean);
    defs.Add("F", ftFloat);
    defs.Add("C", ftCurrency);
    defs.Add("Bcd", ftBCD);
    defs.Add("Dt", ftDate);
    defs.Add("T", ftTime);
    defs.Add("DT", ftDateTime);
    defs.Add("By", ftBytes, 6);
    defs.Add("VB", ftVarBytes, 6);
    defs.Add("AI", ftAutoInc);
    defs.Add("M", ftMemo);
    defs.Add("WS", ftWideString, 5);
    defs.Add("L", ftLargeint);
    defs.Add("G", ftGuid);
    defs.Add("FC", ftFixedChar, 3);
    TFieldDef& adt = defs.Add("A", ftADT);
    adt.AddChild("X", ftInteger);
    adt.AddChild("Y", ftFloat);
    defs.Add("Arr", ftArray, 2).AddChild("E", ftSmallint);
    table.Open();

    const TzebCommon& store = table.Store();
    ASSERT_EQ(store.FieldCount(), 25);  // the array's element twice
    const int expected[] = {0, 12, 15, 20, 23, 26, 35, 44, 79, 84, 89, 98, 105, 114, -1, 119, 134, 143, 183,
                            188, 189, 194, 203, 204, 207};
    for (int no = 1; no <= 25; ++no)
        EXPECT_EQ(store.DataOffset(no), expected[no - 1]) << "field " << no;
    EXPECT_EQ(store.DataSize(), 210);
    EXPECT_EQ(store.FieldFlags(15), mtffOutOfRecord);
    EXPECT_EQ(store.OutOfRecordCount(), 1);
    EXPECT_EQ(store.CalcFieldsStart(), 210);
    EXPECT_EQ(store.BookmarkStart(), 210);
    EXPECT_EQ(store.OutOfRecordStart(), 210 + kZebBookmarkEntrySize);
    EXPECT_EQ(store.DataAreaSize(), 210 + kZebBookmarkEntrySize + kZebOutOfRecordSlotSize);
    EXPECT_EQ(table.FieldByName("Arr").FieldNo(), 23);

    // The auto-increment field numbers new records from AutoIncMinValue.
    table.Append();
    EXPECT_EQ(table.FieldByName("AI").IsNull(), false);
    table.Post();
    table.Append();
    std::int32_t value = 0;
    ASSERT_TRUE(table.FieldByName("AI").GetData(&value));
    EXPECT_EQ(value, 1);
    table.Cancel();
}

TEST(RecordStoreLayout, RefusesTablesItCannotLayOut)
{
    TzebMemTable empty;
    EXPECT_EQ(MessageOf([&] { empty.Open(); }), "Es muss mindestens ein Feld angegeben sein");
    EXPECT_FALSE(empty.Active());

    TzebMemTable table;
    table.FieldDefs().Add("Ok", ftInteger);
    table.FieldDefs().Add("Cur", ftCursor);
    EXPECT_EQ(MessageOf([&] { table.Open(); }), "Die Felddefinition 'Cur' (Cur) hat den nicht unterstützten Datentyp 22.");
    EXPECT_FALSE(table.Active());
    EXPECT_EQ(table.FieldCount(), 0);  // the default fields went with the failed open

    // A field inside a structure is named as written and with its parent's name.
    TzebMemTable nested;
    nested.FieldDefs().Add("Adresse", ftADT).AddChild("Ort", ftVariant);
    EXPECT_EQ(MessageOf([&] { nested.Open(); }),
              "Die Felddefinition 'Ort' (Adresse.Ort) hat den nicht unterstützten Datentyp 32.");

    TzebMemTable wide;
    for (int n = 0; n <= ZEB_MAX_FIELDS; ++n)
        wide.FieldDefs().Add("F" + std::to_string(n), ftSmallint);
    EXPECT_EQ(MessageOf([&] { wide.Open(); }), "Zu viele Felddefinitionen");
}

TEST(RecordStoreLayout, BalancedPerformanceMovesLongTextOutOfTheRecord)
{
    TzebMemTable table;
    table.SetPerformance(mtpfBalanced);
    auto& longText = table.AddField<TStringField>("Long", 255);
    auto& shortText = table.AddField<TStringField>("Short", 12);
    table.Open();
    EXPECT_EQ(table.Store().FieldFlags(1), mtffOutOfRecord);
    EXPECT_EQ(table.Store().DataOffset(1), -1);
    EXPECT_EQ(table.Store().DataOffset(2), 0);
    table.Append();
    longText.SetAsString(std::string(300, 'x'));
    shortText.SetAsString("kurz");
    table.Post();
    EXPECT_EQ(longText.AsString(), std::string(255, 'x'));
    EXPECT_EQ(shortText.AsString(), "kurz");
    // The stored block holds the text and its terminator only.
    const TzebRecord* stored = table.Store().RecordAt(0);
    EXPECT_EQ(ZebBlockSize(table.Store().OutOfRecordBlock(stored, 0)), 256u);

    TzebMemTable asked;
    asked.SetPerformance(mtpfBalanced);
    asked.AddField<TStringField>("Long", 40);
    asked.AddField<TStringField>("Kept", 40);
    asked.OnSetupField = [](TzebCustomMemTable&, TField* field, std::uint8_t& flags) {
        if (field && field->FieldName() == "Kept")
            flags = 0;
    };
    asked.Open();
    EXPECT_EQ(asked.Store().FieldFlags(1), mtffOutOfRecord);
    EXPECT_EQ(asked.Store().DataOffset(2), 0);

    TzebMemTable small;
    small.SetPerformance(mtpfSmall);
    auto& packed = small.AddField<TStringField>("P", 20);
    small.Open();
    EXPECT_EQ(small.Store().FieldFlags(1), mtffOutOfRecord | mtffCompressed);
    small.Append();
    packed.SetAsString("gepackt");
    small.Post();
    EXPECT_EQ(packed.AsString(), "gepackt");
}

// A store with one integer field, laid out without a table.
class StoreNumbering : public ::testing::Test {
protected:
    void SetUp() override
    {
        defs.Add("N", ftInteger);
        store.Layout(defs, 0, {});
    }
    TzebRecord* Store()
    {
        TzebRecord* record = store.AllocateRecord();
        store.StoreRecord(record);
        return record;
    }
    void Delete(TzebRecord* record)
    {
        store.ReleaseSlot(record);
        store.FreeRecord(record, true, true);
    }

    TFieldDefs defs;
    TzebCommon store{nullptr};
};

TEST_F(StoreNumbering, SlotsAreReusedLastFreedFirstWithNewUniqueNumbers)
{
    TzebRecord* a = Store();
    TzebRecord* b = Store();
    TzebRecord* c = Store();
    EXPECT_EQ(a->SlotNumber, 0);
    EXPECT_EQ(c->SlotNumber, 2);
    EXPECT_EQ(c->UniqueNumber, 2);
    EXPECT_EQ(a->Flags & mtrfOwner, mtrfOwner);
    Delete(a);
    Delete(c);
    EXPECT_EQ(store.SlotCount(), 3);
    EXPECT_EQ(store.RecordAt(0), nullptr);
    TzebRecord* d = Store();
    TzebRecord* e = Store();
    EXPECT_EQ(d->SlotNumber, 2);
    EXPECT_EQ(e->SlotNumber, 0);
    EXPECT_EQ(d->UniqueNumber, 3);
    EXPECT_EQ(e->UniqueNumber, 4);
    EXPECT_EQ(store.FindRecord(0, 0), nullptr);
    EXPECT_EQ(store.FindRecord(0, 4), e);
    EXPECT_EQ(store.FindRecord(1, 1), b);
}

TEST_F(StoreNumbering, UniqueNumberLimitRefusesBeforeStoringOnBothPaths)
{
    TzebRecord* first = Store();
    store.SetNextUniqueNumber(kZebMaxUniqueNumber - 2);
    TzebRecord* last = Store();
    EXPECT_EQ(last->UniqueNumber, kZebMaxUniqueNumber - 2);

    // New-slot path: the record is refused and the store stays as it was.
    TzebRecord* refused = store.AllocateRecord();
    EXPECT_THROW(store.StoreRecord(refused), EMemTableFatalError);
    EXPECT_EQ(refused->SlotNumber, -1);
    EXPECT_EQ(store.SlotCount(), 2);
    EXPECT_EQ(store.NextUniqueNumber(), kZebMaxUniqueNumber - 1);

    // Reused-slot path: the freed slot stays free.
    Delete(first);
    EXPECT_THROW(store.StoreRecord(refused), EMemTableFatalError);
    EXPECT_EQ(store.FreeSlots().size(), 1u);
    EXPECT_EQ(store.RecordAt(0), nullptr);
    store.FreeRecord(refused, true, true);

    store.Empty();
    TzebRecord* again = Store();
    EXPECT_EQ(again->UniqueNumber, 0);
    EXPECT_EQ(again->SlotNumber, 0);
}

TEST_F(StoreNumbering, EmptyingDrawsANewGeneration)
{
    Store();
    for (int n = 0; n < 20; ++n) {
        std::int32_t before = store.Generation();
        store.Empty();
        EXPECT_NE(store.Generation(), before);
        EXPECT_GE(store.Generation(), 0);
        EXPECT_LE(store.Generation(), 1073741824);
    }
    EXPECT_EQ(store.SlotCount(), 0);
}

TEST_F(StoreNumbering, MovingBlocksKeepsTheBlocksTheSourceDoesNotHold)
{
    TFieldDefs texts;
    texts.Add("A", ftString, 20);
    texts.Add("B", ftString, 20);
    texts.Add("C", ftString, 20);
    TzebCommon balanced(nullptr);
    balanced.SetPerformance(mtpfBalanced);
    balanced.Layout(texts, 0, {});
    ASSERT_EQ(balanced.OutOfRecordCount(), 3);
    auto stateOf = [&](TzebRecord* r, int slot) { return r->Data[balanced.OutOfRecordStart() + slot * kZebOutOfRecordSlotSize]; };

    TzebRecord* stored = balanced.AllocateRecord();
    for (int slot = 0; slot < 3; ++slot) {
        balanced.SetOutOfRecordBlock(stored, slot, ZebNewBlock("old", 4));
        stored->Data[balanced.OutOfRecordStart() + slot * kZebOutOfRecordSlotSize] = std::byte{2};
    }
    TzebRecord* buffer = balanced.AllocateRecord();
    balanced.CopyRecord(stored, buffer);
    EXPECT_EQ(balanced.OutOfRecordBlock(buffer, 0), nullptr);  // only state bytes are copied
    balanced.SetOutOfRecordBlock(buffer, 0, ZebNewBlock("new", 4));   // A written
    buffer->Data[balanced.OutOfRecordStart() + 1 * kZebOutOfRecordSlotSize] = std::byte{0};  // B nulled
    // C untouched: state 2, no block.

    balanced.MoveBlocks(buffer, stored);
    EXPECT_STREQ(reinterpret_cast<const char*>(ZebBlockBytes(balanced.OutOfRecordBlock(stored, 0))), "new");
    EXPECT_EQ(balanced.OutOfRecordBlock(stored, 1), nullptr);
    EXPECT_EQ(stateOf(stored, 1), std::byte{0});
    EXPECT_STREQ(reinterpret_cast<const char*>(ZebBlockBytes(balanced.OutOfRecordBlock(stored, 2))), "old");
    EXPECT_EQ(balanced.OutOfRecordBlock(buffer, 0), nullptr);

    TzebRecord* copy = balanced.DuplicateRecord(stored, true);
    EXPECT_NE(balanced.OutOfRecordBlock(copy, 2), balanced.OutOfRecordBlock(stored, 2));
    balanced.FreeRecord(copy, true, true);
    balanced.FreeRecord(buffer, true, false);
    balanced.FreeRecord(stored, true, true);
    EXPECT_EQ(stored, nullptr);
}

TEST(RecordStoreProperties, LocaleIdSplitsAndJoins)
{
    TzebCommon store(nullptr);
    EXPECT_EQ(store.LocaleID(), 1024u);
    EXPECT_EQ(store.LanguageID(), 0u);
    EXPECT_EQ(store.SubLanguageID(), 1u);
    EXPECT_EQ(store.SortID(), 0u);
    store.SetLocaleID(0x10407);  // German, phone-book sort
    EXPECT_EQ(store.LanguageID(), 7u);
    EXPECT_EQ(store.SubLanguageID(), 1u);
    EXPECT_EQ(store.SortID(), 1u);
    store.SetLanguageID(0);
    store.SetSortID(0);
    EXPECT_EQ(store.LocaleID(), 1024u);
}

TEST(RecordStoreProperties, ArgumentsAndOpenTables)
{
    TzebMemTable table;
    table.FieldDefs().Add("N", ftInteger);
    EXPECT_THROW(table.SetAttachMaxCount(0), EInvalidArgument);
    EXPECT_EQ(MessageOf([&] { table.SetAttachMaxCount(0); }), "Ungültiges Argument");
    table.SetAttachMaxCount(3);
    table.Open();
    EXPECT_EQ(table.Store().OutOfRecordStart() - table.Store().BookmarkStart(), 3 * kZebBookmarkEntrySize);
    EXPECT_EQ(MessageOf([&] { table.SetAttachMaxCount(2); }), "Die Tabelle muss für diesen Vorgang geschlossen sein");
    EXPECT_EQ(MessageOf([&] { table.SetPerformance(mtpfSmall); }), "Die Tabelle muss für diesen Vorgang geschlossen sein");

    TzebCommon& store = table.Store();
    store.SetAutoIncMinValue(10);
    EXPECT_EQ(store.AutoIncHighest(), 9);
    store.StartTransaction();
    store.EndTransaction();
    store.EndTransaction();
    EXPECT_EQ(store.TransactionLevel(), 0);
    EXPECT_EQ(TzebMemTable::Version(), "5.50");
}

}  // namespace
}  // namespace velmoran
