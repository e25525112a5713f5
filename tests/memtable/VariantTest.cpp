// Variants (conversions, comparison with null, arithmetic, BCD) and the field classes that read
// and write through text and variants: Boolean, Largeint, WideString, Time, DateTime, Currency
// and AutoInc.
#include "memtable/MemTable.h"
#include "platform/core/CheckedMath.h"
#include "platform/core/FormatSettings.h"

#include <gtest/gtest.h>

namespace velmoran {
namespace {

TEST(Variants, ConversionsBetweenTypes)
{
    ScopedFormatSettings german(FormatSettings::German());
    EXPECT_EQ(TVariant("12,5").AsDouble(), 12.5);
    EXPECT_EQ(TVariant("12.5").AsDouble(), 12.5);  // the point is understood as well
    EXPECT_EQ(TVariant(2.5).AsString(), "2,5");
    EXPECT_EQ(TVariant(2.5).AsInteger(), 2);  // half to even
    EXPECT_EQ(TVariant(true).AsString(), "True");
    EXPECT_TRUE(TVariant("wahr").AsBoolean());
    EXPECT_FALSE(TVariant("0").AsBoolean());
    EXPECT_TRUE(TVariant(5).AsBoolean());
    EXPECT_FALSE(TVariant::Int64(0).AsBoolean());
    EXPECT_TRUE(TVariant(0.5).AsBoolean());
    for (const TVariant& number : {TVariant(true), TVariant(1), TVariant::Int64(1), TVariant(1.5), TVariant::Currency(1)})
        EXPECT_TRUE(number.IsNumeric());
    for (const TVariant& other : {TVariant("1"), TVariant::Date(1), TVariant::Null()})
        EXPECT_FALSE(other.IsNumeric());
    EXPECT_EQ(TVariant::Currency(12345).AsDouble(), 1.2345);
    EXPECT_EQ(TVariant(1.23456).AsCurrency(), 12346);
    EXPECT_EQ(TVariant(9.2e14).AsCurrency(), 9200000000000000000);  // the largest amount taken
    EXPECT_THROW(TVariant(9.3e14).AsCurrency(), EVariantError);
    EXPECT_EQ(TVariant::Date(EncodeDate(2003, 2, 1)).AsString(), "01.02.2003");
    EXPECT_EQ(TVariant("01.02.2003 12:30").AsDateTime(), EncodeDate(2003, 2, 1) + EncodeTime(12, 30, 0, 0));
    EXPECT_EQ(TVariant(u"Öl").AsString(), "Öl");
    EXPECT_EQ(TVariant("Öl").AsWideString(), u"Öl");
    EXPECT_THROW(TVariant("abc").AsDouble(), EVariantError);
    EXPECT_THROW(TVariant::Null().AsInteger(), EVariantError);
    EXPECT_THROW(TVariant(3e10).AsInteger(), EVariantError);
}

TEST(Variants, ComparisonWithNullHasNoResult)
{
    EXPECT_FALSE(VarCompare(TVariant::Null(), TVariant(1)).has_value());
    EXPECT_FALSE(VarCompare(TVariant(1), TVariant()).has_value());
    EXPECT_FALSE(VarCompare(TVariant::Null(), TVariant::Null()).has_value());
    EXPECT_EQ(VarCompare(TVariant(2), TVariant(2.5)), -1);
    EXPECT_EQ(VarCompare(TVariant::Int64(1ll << 40), TVariant(7)), 1);
    EXPECT_EQ(VarCompare(TVariant("10"), TVariant(9)), 1);  // text against a number: as a number
    EXPECT_EQ(VarCompare(TVariant("10"), TVariant("9")), -1);
    EXPECT_EQ(VarCompare(TVariant("abc"), TVariant("ABC"), {true, 1031}), 0);
    EXPECT_EQ(VarCompare(TVariant::Date(5), TVariant(5.5)), -1);
    EXPECT_THROW(VarCompare(TVariant(std::vector<TVariant>{1}), TVariant(1)), EVariantError);
    // Two currencies compare exactly, also where a double no longer tells them apart.
    EXPECT_EQ(VarCompare(TVariant::Currency(9000000000000000001), TVariant::Currency(9000000000000000000)), 1);
}

TEST(Variants, TextsAsTimes)
{
    EXPECT_EQ(TryTextToDateTime("7:05"), EncodeTime(7, 5, 0, 0));
    EXPECT_EQ(TryTextToDateTime(" 007:05:09 "), EncodeTime(7, 5, 9, 0));
    for (const char* wrong : {"0007:05", "7:", "24:00", "7:60", "7:05:60", "7:05:09:01", "7:x5"})
        EXPECT_FALSE(TryTextToDateTime(wrong).has_value()) << wrong;
}

TEST(Variants, ArithmeticKeepsTypesAndNulls)
{
    EXPECT_EQ(VarAdd(TVariant(2), TVariant(3)).Type(), varInteger);
    EXPECT_EQ(VarAdd(TVariant(2147483647), TVariant(1)).AsInt64(), 2147483648ll);
    EXPECT_EQ(VarAdd(TVariant("Ab"), TVariant("c")).AsString(), "Abc");
    EXPECT_EQ(VarAdd(TVariant::Date(10, dkDate), TVariant(2)).Type(), varDate);
    EXPECT_EQ(VarSub(TVariant::Currency(30000), TVariant::Currency(5000)).AsCurrency(), 25000);
    EXPECT_EQ(VarMul(TVariant(1.5), TVariant(4)).AsDouble(), 6.0);
    EXPECT_EQ(VarDiv(TVariant(7), TVariant(2)).AsDouble(), 3.5);
    EXPECT_EQ(VarMod(TVariant(-7), TVariant(3)).AsInteger(), -1);
    EXPECT_EQ(VarRem(TVariant(7), TVariant(4)).AsInteger(), -1);
    EXPECT_EQ(VarNeg(TVariant(5)).AsInteger(), -5);
    EXPECT_TRUE(VarAdd(TVariant::Null(), TVariant(1)).IsNull());
    EXPECT_TRUE(VarNeg(TVariant()).IsNull());
    EXPECT_THROW(VarDiv(TVariant(1), TVariant(0)), EZeroDivide);
    EXPECT_THROW(VarMod(TVariant(1), TVariant(0)), EZeroDivide);
}

TEST(Variants, BcdRoundTripsAndLimits)
{
    for (std::int64_t value : {0ll, 12345ll, -12345ll, 10000ll, 922337203685477ll, -5ll}) {
        auto back = BcdToCurrency(CurrencyToBcd(value, 32));
        ASSERT_TRUE(back.has_value()) << value;
        EXPECT_EQ(*back, value);
    }
    TBcd small = CurrencyToBcd(123456, 3);  // 12,3456 in three digits: 12,3
    EXPECT_EQ(small.Precision, 3);
    EXPECT_EQ(BcdToCurrency(small), 123000);
    EXPECT_THROW(CurrencyToBcd(1234560000, 3), EVariantError);
    TBcd wide;
    wide.Precision = 30;
    wide.Fraction[0] = 0x90;
    EXPECT_FALSE(BcdToCurrency(wide).has_value());  // 9 followed by 29 digits does not fit
}

class FieldClasses : public ::testing::Test {
protected:
    void SetUp() override
    {
        flag = &table.AddField<TBooleanField>("Flag");
        large = &table.AddField<TLargeintField>("Large");
        wide = &table.AddField<TWideStringField>("Wide", 5);
        time = &table.AddField<TTimeField>("Zeit");
        stamp = &table.AddField<TDateTimeField>("Stempel");
        money = &table.AddField<TCurrencyField>("Betrag");
        counter = &table.AddField<TAutoIncField>("Nr");
        table.Open();
        table.Append();
    }
    ScopedFormatSettings german{FormatSettings::German()};
    TzebMemTable table;
    TBooleanField* flag;
    TLargeintField* large;
    TWideStringField* wide;
    TTimeField* time;
    TDateTimeField* stamp;
    TCurrencyField* money;
    TAutoIncField* counter;
};

TEST_F(FieldClasses, TextRoundTrips)
{
    flag->SetAsString("falsch");
    large->SetAsString("9000000000");
    wide->SetAsString("Ölmühle");
    time->SetAsString("12:34:56");
    stamp->SetAsString("01.02.2003 04:05");
    money->SetAsString("1234,5");
    table.Post();
    EXPECT_EQ(flag->AsString(), "False");
    EXPECT_EQ(large->AsLargeInt(), 9000000000ll);
    EXPECT_THROW(large->AsInteger(), EConvertError);
    EXPECT_EQ(wide->AsString(), "Ölmüh");  // cut to five characters
    EXPECT_EQ(time->AsString(), "12:34:56");
    EXPECT_EQ(stamp->AsString(), "01.02.2003 04:05:00");
    EXPECT_EQ(money->DisplayText(), "1.234,50");
    EXPECT_EQ(counter->AsInteger(), 0);  // counted from AutoIncMinValue
    EXPECT_EQ(counter->DataType(), ftAutoInc);
    table.Edit();
    EXPECT_THROW(flag->SetAsString("vielleicht"), EConvertError);
    EXPECT_THROW(time->SetAsString("25:00"), EConvertError);
    EXPECT_THROW(large->SetAsString("12a"), EConvertError);
    table.Cancel();
}

TEST_F(FieldClasses, VariantsInAndOutByNativeForm)
{
    table.SetFieldValue(*flag, TVariant(true));
    table.SetFieldValue(*large, TVariant(2.6));  // a double is rounded
    table.SetFieldValue(*wide, TVariant(u"abcdefg"));
    table.SetFieldValue(*time, TVariant::Date(0.75, dkTime));
    table.SetFieldValue(*stamp, TVariant("24.12.2020 18:00"));
    table.SetFieldValue(*money, TVariant::Currency(19999));
    table.Post();
    EXPECT_TRUE(flag->AsVariant().AsBoolean());
    EXPECT_EQ(large->AsVariant().Type(), varInt64);
    EXPECT_EQ(large->AsLargeInt(), 3);
    EXPECT_EQ(wide->AsVariant().AsWideString(), u"abcde");
    EXPECT_EQ(time->AsVariant().DateKind(), dkTime);
    EXPECT_EQ(time->AsString(), "18:00:00");
    EXPECT_EQ(stamp->AsVariant().AsDateTime(), EncodeDate(2020, 12, 24) + 0.75);
    EXPECT_EQ(money->AsVariant().AsCurrency(), 19999);
    EXPECT_EQ(counter->AsVariant().AsInteger(), 0);

    // BCD and Guid stay plain fields and are written and read natively or as variants.
    TzebMemTable plain;
    auto& bcd = plain.AddField<TField>("Bcd", ftBCD, 2);
    auto& guid = plain.AddField<TField>("Guid", ftGuid, 38);
    plain.Open();
    plain.Append();
    plain.SetFieldValue(bcd, TVariant(12.34));
    plain.SetFieldValue(guid, TVariant("{01234567-89AB-CDEF-0123-456789ABCDEF}"));
    plain.Post();
    EXPECT_EQ(bcd.AsVariant().AsCurrency(), 123400);
    EXPECT_EQ(guid.AsVariant().AsString(), "{01234567-89AB-CDEF-0123-456789ABCDEF}");
    EXPECT_THROW(bcd.AsString(), EDatabaseError);
}

TEST(FieldDefaults, DefinitionsCreateTheMatchingClasses)
{
    TzebMemTable t;
    t.FieldDefs().Add("B", ftBoolean);
    t.FieldDefs().Add("L", ftLargeint);
    t.FieldDefs().Add("W", ftWideString, 10);
    t.FieldDefs().Add("T", ftTime);
    t.FieldDefs().Add("D", ftDateTime);
    t.FieldDefs().Add("C", ftCurrency);
    t.FieldDefs().Add("A", ftAutoInc);
    t.Open();
    EXPECT_NE(dynamic_cast<TBooleanField*>(t.FindField("B")), nullptr);
    EXPECT_NE(dynamic_cast<TLargeintField*>(t.FindField("L")), nullptr);
    EXPECT_NE(dynamic_cast<TWideStringField*>(t.FindField("W")), nullptr);
    EXPECT_NE(dynamic_cast<TTimeField*>(t.FindField("T")), nullptr);
    EXPECT_NE(dynamic_cast<TDateTimeField*>(t.FindField("D")), nullptr);
    EXPECT_NE(dynamic_cast<TCurrencyField*>(t.FindField("C")), nullptr);
    EXPECT_NE(dynamic_cast<TAutoIncField*>(t.FindField("A")), nullptr);
}

}  // namespace
}  // namespace velmoran
