// Field objects: conversions, null handling, display formats, the text setter in the locale,
// cutting of text to the field size, validation and change notification.
#include "memtable/MemTable.h"
#include "platform/core/FormatSettings.h"

#include <gtest/gtest.h>

#include <cstring>

namespace velmoran {
namespace {

// A one-row table with one field of each class, in insert state.
class FieldsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        s = &table.AddField<TStringField>("S", 5);
        small = &table.AddField<TSmallintField>("Small");
        i = &table.AddField<TIntegerField>("I");
        w = &table.AddField<TWordField>("W");
        f = &table.AddField<TFloatField>("F");
        d = &table.AddField<TDateField>("D");
        table.Open();
        table.Append();
    }

    TzebMemTable table;
    TStringField* s = nullptr;
    TSmallintField* small = nullptr;
    TIntegerField* i = nullptr;
    TWordField* w = nullptr;
    TFloatField* f = nullptr;
    TDateField* d = nullptr;
};

TEST_F(FieldsTest, NewRecordReadsNullAndNeutralValues)
{
    for (const auto& field : table.Fields()) {
        EXPECT_TRUE(field->IsNull()) << field->FieldName();
        EXPECT_EQ(field->AsString(), "") << field->FieldName();
        EXPECT_EQ(field->DisplayText(), "") << field->FieldName();
    }
    EXPECT_EQ(f->AsFloat(), 0.0);
    EXPECT_EQ(i->AsInteger(), 0);
}

TEST_F(FieldsTest, StringIsCutToSizeAndKeptAsWindows1252)
{
    s->SetAsString("Müllerstraße");
    EXPECT_EQ(s->AsString(), "Mülle");
    // The slot holds one byte per character.
    char slot[6] = {};
    ASSERT_TRUE(s->GetData(slot));
    EXPECT_EQ(std::strlen(slot), 5u);
    EXPECT_EQ(static_cast<unsigned char>(slot[1]), 0xFC);
    s->SetAsString("");
    EXPECT_FALSE(s->IsNull());
    s->SetText("");
    EXPECT_TRUE(s->IsNull());
}

TEST_F(FieldsTest, IntegerFieldsConvertAndRefuseValuesOutOfRange)
{
    small->SetAsString("-32768");
    EXPECT_EQ(small->AsInteger(), -32768);
    EXPECT_THROW(small->SetAsInteger(32768), EDatabaseError);
    EXPECT_EQ(small->AsInteger(), -32768);
    EXPECT_THROW(w->SetAsInteger(-1), EDatabaseError);
    w->SetAsInteger(65535);
    EXPECT_EQ(w->AsInteger(), 65535);
    // Half to even, as the records' word values are rounded.
    w->SetAsFloat(2.5);
    EXPECT_EQ(w->AsInteger(), 2);
    w->SetAsFloat(3.5);
    EXPECT_EQ(w->AsInteger(), 4);
    // Both ends of the range are allowed as floats too, what rounds beyond them is not.
    small->SetAsFloat(-32768.0);
    EXPECT_EQ(small->AsInteger(), -32768);
    small->SetAsFloat(32767.0);
    EXPECT_EQ(small->AsInteger(), 32767);
    EXPECT_THROW(small->SetAsFloat(32767.6), EDatabaseError);
    i->SetText("12");
    EXPECT_EQ(i->AsFloat(), 12.0);
    EXPECT_THROW(i->SetText("12,5"), EConvertError);
    i->SetAsString("");
    EXPECT_TRUE(i->IsNull());
}

TEST_F(FieldsTest, FloatDisplayFormatAndLocaleText)
{
    ScopedFormatSettings german(FormatSettings::German());
    f->SetDisplayFormat("##0.00");
    f->SetAsFloat(1234.5);
    EXPECT_EQ(f->DisplayText(), "1234,50");
    EXPECT_EQ(f->AsString(), "1234,5");
    f->SetDisplayFormat("");
    EXPECT_EQ(f->DisplayText(), "1234,5");
    f->SetText("12,25");
    EXPECT_EQ(f->AsFloat(), 12.25);
    EXPECT_THROW(f->SetText("abc"), EConvertError);
    EXPECT_EQ(f->AsFloat(), 12.25);
    f->SetText("");
    EXPECT_TRUE(f->IsNull());

    FormatSettings english = FormatSettings::German();
    english.DecimalSeparator = '.';
    english.ThousandSeparator = ',';
    ScopedFormatSettings scope(english);
    f->SetText("0.5");
    EXPECT_EQ(f->AsFloat(), 0.5);
    EXPECT_EQ(f->AsString(), "0.5");
}

TEST_F(FieldsTest, DateStoresDayNumberFromYearOne)
{
    d->SetAsDateTime(0.75);
    std::int32_t day = 0;
    ASSERT_TRUE(d->GetData(&day));
    EXPECT_EQ(day, 693594);
    EXPECT_EQ(d->AsDateTime(), 0.0);
    d->SetAsDateTime(1 - kDateDelta);
    ASSERT_TRUE(d->GetData(&day));
    EXPECT_EQ(day, 1);
    // The day before the first of year one has no number; the largest day number is allowed.
    EXPECT_THROW(d->SetAsDateTime(-kDateDelta), EConvertError);
    d->SetAsDateTime(2147483647.0 - kDateDelta);
    ASSERT_TRUE(d->GetData(&day));
    EXPECT_EQ(day, 2147483647);
    d->SetAsDateTime(1 - kDateDelta);
    ASSERT_TRUE(d->GetData(&day));
    EXPECT_EQ(day, 1);
    d->SetAsString("24.12.2026");
    EXPECT_EQ(d->AsString(), "24.12.2026");
    EXPECT_THROW(d->AsInteger(), EDatabaseError);
}

TEST_F(FieldsTest, ValidationSeesTheNewValueAndCanRefuseIt)
{
    double seen = 0;
    f->OnValidate = [&](TField& field) {
        seen = field.AsFloat();
        if (seen < 0)
            throw EDatabaseError("negativ");
    };
    int changes = 0;
    f->OnChange = [&](TField&) { ++changes; };
    f->SetAsFloat(3);
    EXPECT_EQ(seen, 3.0);
    EXPECT_EQ(changes, 1);
    EXPECT_THROW(f->SetAsFloat(-1), EDatabaseError);
    EXPECT_EQ(f->AsFloat(), 3.0);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(table.Modified());
}

TEST_F(FieldsTest, FieldLookupIsCaseInsensitive)
{
    EXPECT_EQ(table.FindField("small"), small);
    EXPECT_EQ(table.FindField("nix"), nullptr);
    try {
        table.FieldByName("Nix");
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Feld 'Nix' nicht gefunden");
    }
    EXPECT_EQ(s->DataSet(), &table);
    EXPECT_EQ(table.FieldCount(), 6);
}

TEST(FieldLabels, LabelDefaultsToName)
{
    TFloatField field("QD");
    EXPECT_EQ(field.DisplayLabel(), "QD");
    field.SetDisplayLabel("QD [m³/d]");
    EXPECT_EQ(field.DisplayLabel(), "QD [m³/d]");
    EXPECT_EQ(field.DisplayName(), "QD [m³/d]");
}

}  // namespace
}  // namespace velmoran
