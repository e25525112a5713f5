// Display formats, general and fixed formats, and text-to-number conversion.
#include "platform/core/Exceptions.h"
#include "platform/core/NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace velmoran;

namespace {
const FormatSettings kGerman = FormatSettings::German();
}

TEST(FormatFloat, DisplayFormatsOfTheValueTables)
{
    EXPECT_EQ(FormatFloat("##0.00", 1234.5, kGerman), "1234,50");
    EXPECT_EQ(FormatFloat("##0.00", 0.0, kGerman), "0,00");
    EXPECT_EQ(FormatFloat("#0.00", 3.14159, kGerman), "3,14");
    EXPECT_EQ(FormatFloat("#####0", 8181.3038, kGerman), "8181");
    EXPECT_EQ(FormatFloat("####0", 0.4, kGerman), "0");
    EXPECT_EQ(FormatFloat("###0.0", 35.0, kGerman), "35,0");
    EXPECT_EQ(FormatFloat("####0.0", 247.65901, kGerman), "247,7");
    EXPECT_EQ(FormatFloat("#####0", -764.48461, kGerman), "-764");
    EXPECT_EQ(FormatFloat("##0.00", 1234567.891, kGerman), "1234567,89");
}

TEST(FormatFloat, RoundsHalfAwayFromZeroOnFifteenDigits)
{
    EXPECT_EQ(FormatFloat("0.00", 0.125, kGerman), "0,13");
    EXPECT_EQ(FormatFloat("0.00", -0.125, kGerman), "-0,13");
    EXPECT_EQ(FormatFloat("0.00", 2.675, kGerman), "2,68");  // binary 2.67499999...
    EXPECT_EQ(FormatFloat("0", 2.5, kGerman), "3");
    EXPECT_EQ(FormatFloat("0", -2.5, kGerman), "-3");
    EXPECT_EQ(FormatFloat("#0.0", 9.96, kGerman), "10,0");
    EXPECT_EQ(FormatFloat("#####0", 999999.5, kGerman), "1000000");
}

TEST(FormatFloat, NeverShowsASignOnZero)
{
    EXPECT_EQ(FormatFloat("##0.00", -0.0, kGerman), "0,00");
    EXPECT_EQ(FormatFloat("##0.00", -0.001, kGerman), "0,00");
    EXPECT_EQ(FormatFixed(8, 2, -0.0, kGerman), "    0,00");
    EXPECT_EQ(FormatFixed(0, 1, -0.04, kGerman), "0,0");
}

TEST(FormatFloat, OptionalDecimalsSectionsGroupingAndLiterals)
{
    EXPECT_EQ(FormatFloat("0.##", 1.5, kGerman), "1,5");
    EXPECT_EQ(FormatFloat("0.##", 2.0, kGerman), "2");
    EXPECT_EQ(FormatFloat("#,##0.00", 1234567.5, kGerman), "1.234.567,50");
    EXPECT_EQ(FormatFloat("0.0;(0.0);null", -2.25, kGerman), "(2,3)");
    EXPECT_EQ(FormatFloat("0.0;(0.0);null", 0.0, kGerman), "null");
    EXPECT_EQ(FormatFloat("0.0 \"m³\"", 2.0, kGerman), "2,0 m³");
    FormatSettings english = kGerman;
    english.DecimalSeparator = '.';
    EXPECT_EQ(FormatFloat("##0.00", 1234.5, english), "1234.50");
}

TEST(FloatToStr, GeneralFormat)
{
    EXPECT_EQ(FloatToStr(1.25, kGerman), "1,25");
    EXPECT_EQ(FloatToStr(0.0, kGerman), "0");
    EXPECT_EQ(FloatToStr(-0.0, kGerman), "0");
    EXPECT_EQ(FloatToStr(10000.0, kGerman), "10000");
    EXPECT_EQ(FloatToStr(0.1 + 0.2, kGerman), "0,3");
    EXPECT_EQ(FloatToStr(1.0 / 3.0, kGerman), "0,333333333333333");
    EXPECT_EQ(FloatToStr(0.0001, kGerman), "0,0001");
    EXPECT_EQ(FloatToStr(0.000015, kGerman), "1,5E-5");
    EXPECT_EQ(FloatToStr(1e20, kGerman), "1E20");
    EXPECT_EQ(FloatToStr(-2.5e-7, kGerman), "-2,5E-7");
    EXPECT_EQ(FloatToStr(std::numeric_limits<double>::quiet_NaN(), kGerman), "NAN");
    // The plain form writes the same digits in place at every magnitude.
    EXPECT_EQ(FloatToPlainStr(0.000015, kGerman), "0,000015");
    EXPECT_EQ(FloatToPlainStr(-1.5e20, kGerman), "-150000000000000000000");
    EXPECT_EQ(FloatToPlainStr(1.0 / 3.0, kGerman), "0,333333333333333");
    EXPECT_EQ(FloatToPlainStr(-0.0, kGerman), "0");
}

TEST(FormatFixed, CStyleWidthAndDecimals)
{
    EXPECT_EQ(FormatFixed(8, 2, -0.0, kGerman), "    0,00");
    EXPECT_EQ(FormatFixed(8, 2, 1234.5, kGerman), " 1234,50");
    EXPECT_EQ(FormatFixed(2, 2, 1234.5, kGerman), "1234,50");
    EXPECT_EQ(FormatFixed(-6, 1, 2.25, kGerman), "2,3   ");
    EXPECT_EQ(FormatFixed(0, 0, -3.5, kGerman), "-4");
    EXPECT_EQ(FormatFixed(0, 3, 1e-7, kGerman), "0,000");
    const std::string huge = FormatFixed(0, 255, 1e308, kGerman);
    EXPECT_EQ(huge.size(), 309u + 1u + 255u);
    EXPECT_EQ(huge.substr(0, 3), "100");
}

TEST(StrToFloat, AcceptsTheLocaleAndRejectsTheRest)
{
    EXPECT_DOUBLE_EQ(StrToFloat("1,25", kGerman), 1.25);
    EXPECT_DOUBLE_EQ(StrToFloat("  -3,5e2 ", kGerman), -350.0);
    EXPECT_DOUBLE_EQ(StrToFloat("+7", kGerman), 7.0);
    EXPECT_FALSE(TryStrToFloat("1.25", kGerman).has_value());
    EXPECT_FALSE(TryStrToFloat("", kGerman).has_value());
    EXPECT_FALSE(TryStrToFloat("inf", kGerman).has_value());
    EXPECT_FALSE(TryStrToFloat("1e", kGerman).has_value());
    EXPECT_FALSE(TryStrToFloat("1e999", kGerman).has_value());
    try {
        StrToFloat("abc", kGerman);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'abc' ist kein gültiger Gleitkommawert");
    }
}

TEST(StrToInt, RangeAndMessage)
{
    EXPECT_EQ(StrToInt("42"), 42);
    EXPECT_EQ(StrToInt("-2147483648"), -2147483648LL);
    EXPECT_FALSE(TryStrToInt("2147483648").has_value());
    EXPECT_FALSE(TryStrToInt("1,5").has_value());
    try {
        StrToInt("x");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'x' ist kein gültiger Integerwert");
    }
}

TEST(FormatNumber, GroupsTheIntegerPartAndRoundsAsTheFixedFormat)
{
    EXPECT_EQ(FormatNumber(2, 1234.5, kGerman), "1.234,50");
    EXPECT_EQ(FormatNumber(2, -1234567.891, kGerman), "-1.234.567,89");
    EXPECT_EQ(FormatNumber(0, 999999.5, kGerman), "1.000.000");
    EXPECT_EQ(FormatNumber(0, 123, kGerman), "123");
    EXPECT_EQ(FormatNumber(3, 0.0005, kGerman), "0,001");
    // A value that rounds to zero shows no sign.
    EXPECT_EQ(FormatNumber(2, -0.001, kGerman), "0,00");
    // Other settings put their own separators in.
    FormatSettings english;
    english.DecimalSeparator = '.';
    english.ThousandSeparator = ',';
    EXPECT_EQ(FormatNumber(1, 12345.67, english), "12,345.7");
}
