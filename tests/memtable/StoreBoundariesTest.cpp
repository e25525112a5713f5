// The edges of the record store and the cursor: the size at which a value leaves the record, the
// last record reached by its number, and a long wide string read back whole in and out of the
// record.
#include "memtable/MemTable.h"
#include "memtable/RecordStore.h"

#include <gtest/gtest.h>

#include <string>

namespace velmoran {
namespace {

// Texts and bytes of size 13 or more live in blocks of their own unless the table is fast;
// 12 stays in the record.
TEST(StoreBoundaries, SizeThirteenLeavesTheRecord)
{
    for (TFieldType type : {ftString, ftFixedChar, ftBytes, ftVarBytes, ftWideString}) {
        TzebMemTable balanced;
        balanced.SetPerformance(mtpfBalanced);
        balanced.FieldDefs().Add("Zwoelf", type, 12);
        balanced.FieldDefs().Add("Dreizehn", type, 13);
        balanced.Open();
        EXPECT_EQ(balanced.Store().FieldFlags(1), 0) << "type " << static_cast<int>(type);
        EXPECT_EQ(balanced.Store().FieldFlags(2), mtffOutOfRecord) << "type " << static_cast<int>(type);
        EXPECT_EQ(balanced.Store().OutOfRecordCount(), 1) << "type " << static_cast<int>(type);

        TzebMemTable fast;
        fast.FieldDefs().Add("Dreizehn", type, 13);
        fast.Open();
        EXPECT_EQ(fast.Store().FieldFlags(1), 0) << "type " << static_cast<int>(type);
    }

    // Thirteen characters written out of the record read back whole.
    TzebMemTable table;
    table.SetPerformance(mtpfBalanced);
    auto& text = table.AddField<TStringField>("Text", 13);
    table.Open();
    table.Append();
    text.SetAsString("dreizehn Zeic");
    table.Post();
    table.First();
    EXPECT_EQ(text.AsString(), "dreizehn Zeic");
}

TEST(StoreBoundaries, RecordNumberOfTheLastRecord)
{
    TzebMemTable table;
    auto& name = table.AddField<TStringField>("Name", 10);
    table.Open();
    for (const char* n : {"a", "b", "c"}) {
        table.Append();
        name.SetAsString(n);
        table.Post();
    }
    table.First();
    table.SetRecNo(3);
    EXPECT_EQ(table.RecNo(), 3);
    EXPECT_EQ(name.AsString(), "c");
    table.SetRecNo(4);  // past the last: stays
    EXPECT_EQ(name.AsString(), "c");
}

TEST(StoreBoundaries, LongWideStringsReadBackWhole)
{
    std::u16string value;
    for (int i = 0; i < 300; ++i)
        value += static_cast<char16_t>(u'A' + i % 26);
    value += u"\u00D6\u00DF\u20AC";  // beyond Windows-1252's single bytes too
    for (TzebPerformance performance : {mtpfFast, mtpfBalanced}) {
        TzebMemTable table;
        table.SetPerformance(performance);
        auto& wide = table.AddField<TWideStringField>("Lang", 303);
        table.Open();
        table.Append();
        wide.SetAsWideString(value);
        table.Post();
        table.First();
        EXPECT_EQ(wide.AsWideString(), value) << "performance " << static_cast<int>(performance);
    }
}

}  // namespace
}  // namespace velmoran
