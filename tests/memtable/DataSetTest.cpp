// Navigation, editing and events of a simple table through the dataset interface.
#include "memtable/MemTable.h"
#include "platform/FormatSettings.h"

#include <gtest/gtest.h>

namespace velmoran {
namespace {

TEST(DataSet, SimpleTable)
{
    TzebMemTable t;
    t.FieldDefs().Add("Name", ftString, 20);
    t.FieldDefs().Add("N", ftInteger);
    t.FieldDefs().Add("X", ftFloat);
    t.FieldDefs().Add("D", ftDate);
    t.Open();
    EXPECT_TRUE(t.IsEmpty());
    t.Append();
    t.FieldByName("Name").SetAsString("Größe");
    t.FieldByName("N").SetAsInteger(7);
    t.FieldByName("X").SetAsFloat(1.5);
    t.FieldByName("D").SetAsDateTime(EncodeDate(2020, 2, 29));
    t.Post();
    EXPECT_EQ(t.RecordCount(), 1);
    EXPECT_EQ(t.RecNo(), 1);
    EXPECT_EQ(t.FieldByName("Name").AsString(), "Größe");
    EXPECT_EQ(t.FieldByName("N").AsInteger(), 7);
    EXPECT_EQ(t.FieldByName("X").AsFloat(), 1.5);
    EXPECT_EQ(t.FieldByName("D").AsString(), "29.02.2020");
}

}  // namespace
}  // namespace velmoran
