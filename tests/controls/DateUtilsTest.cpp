// The date utilities with today fixed at 6 December 2026: the year window, date orders, formats
// and masks, positional reading, the free scan, month names and the blank year.
#include "controls/DateUtils.h"
#include "platform/core/Exceptions.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace velmoran;

namespace {
class DateUtils : public ::testing::Test {
protected:
    ScopedClock clock{EncodeDate(2026, 12, 6)};
    ScopedFormatSettings german{FormatSettings::German()};
};
}  // namespace

TEST_F(DateUtils, CalendarArithmetic)
{
    EXPECT_TRUE(IsValidDate(2000, 2, 29));
    EXPECT_TRUE(IsValidDate(2004, 2, 29));
    EXPECT_FALSE(IsValidDate(1900, 2, 29));
    EXPECT_FALSE(IsValidDate(2003, 2, 29));
    EXPECT_FALSE(IsValidDate(0, 1, 1));
    EXPECT_FALSE(IsValidDate(10000, 1, 1));
    EXPECT_FALSE(IsValidDate(2026, 13, 1));
    EXPECT_EQ(DaysPerMonth(2024, 2), 29);
    EXPECT_EQ(DaysPerMonth(2026, 4), 30);
    EXPECT_TRUE(ValidDate(EncodeDate(2026, 3, 17)));
    EXPECT_FALSE(ValidDate(1e12));
    EXPECT_FALSE(ValidDate(std::nan("")));
    EXPECT_EQ(CurrentYear(), 2026);
}

TEST_F(DateUtils, TwoDigitYearsFallIntoTheWindow)
{
    EXPECT_EQ(ExpandYear(30), 2030);
    EXPECT_EQ(ExpandYear(70), 1970);
    EXPECT_EQ(ExpandYear(65), 2065);
    EXPECT_EQ(ExpandYear(66), 1966);
    EXPECT_EQ(ExpandYear(100), 100);
    EXPECT_EQ(ExpandYear(2002), 2002);
}

TEST_F(DateUtils, OrdersFormatsAndMasks)
{
    EXPECT_EQ(GetDateOrder("dd.mm.yyyy"), TDateOrder::DMY);
    EXPECT_EQ(GetDateOrder("DD/MM/YYYY"), TDateOrder::DMY);
    EXPECT_EQ(GetDateOrder("m/d/yy"), TDateOrder::MDY);
    EXPECT_EQ(GetDateOrder("ee/mm/dd"), TDateOrder::YMD);
    EXPECT_EQ(GetDateOrder("--"), TDateOrder::DMY);
    EXPECT_TRUE(FourDigitYear());
    EXPECT_EQ(DefDateFormat(true), "DD/MM/YYYY");
    EXPECT_EQ(DefDateFormat(false), "DD/MM/YY");
    EXPECT_EQ(DefDateMask(' ', true), "!99/99/9999;1; ");
    EXPECT_EQ(DefDateMask('_', false), "!99/99/99;1;_");

    FormatSettings american;
    american.ShortDateFormat = "M/d/yy";
    american.DateSeparator = '/';
    ScopedFormatSettings scoped(american);
    EXPECT_TRUE(FourDigitYear());  // taken at start-up, from the German settings
    EXPECT_EQ(DefDateFormat(true), "MM/DD/YYYY");
    american.ShortDateFormat = "yyyy-MM-dd";
    ScopedFormatSettings iso(american);
    EXPECT_EQ(DefDateFormat(false), "YY/MM/DD");
    EXPECT_EQ(DefDateMask(' ', true), "!9999/99/99;1; ");
}

TEST_F(DateUtils, ReadsByPositionThenByAFreeScan)
{
    const std::string format = "DD/MM/YYYY";
    // Positional: the separator in the text does not matter.
    EXPECT_EQ(StrToDateFmt(format, "17.03.2002"), EncodeDate(2002, 3, 17));
    EXPECT_EQ(StrToDateFmt(format, "17-03-2002"), EncodeDate(2002, 3, 17));
    EXPECT_EQ(StrToDateFmt(format, " 7.03.2002"), EncodeDate(2002, 3, 7));
    // Two numbers: this year, unexpanded.
    EXPECT_EQ(StrToDateFmt(format, "3.4"), EncodeDate(2026, 4, 3));
    EXPECT_EQ(StrToDateFmt(format, "17.3.30"), EncodeDate(2030, 3, 17));
    EXPECT_EQ(StrToDateFmt(format, "17.3.70"), EncodeDate(1970, 3, 17));
    // A second separator asks for the year.
    EXPECT_EQ(StrToDateFmtDef(format, "17.3.", -1), -1);
    EXPECT_EQ(StrToDateFmt(format, ""), NullDate);
    EXPECT_EQ(StrToDateFmt("MM/DD/YYYY", "3.4"), EncodeDate(2026, 3, 4));
    EXPECT_EQ(StrToDateFmt("YYYY/MM/DD", "2002.3.17"), EncodeDate(2002, 3, 17));
    // Five digits stop the number reader before the separator.
    EXPECT_THROW(StrToDateFmt(format, "12345.1.2000"), EConvertError);
    // Left-overs, impossible days and missing parts fail.
    EXPECT_EQ(StrToDateFmtDef(format, "17.3.2002 x", -1), -1);
    EXPECT_EQ(StrToDateFmtDef(format, "31.02.2002", -1), -1);
    EXPECT_EQ(StrToDateFmtDef(format, "17.", -1), -1);
    EXPECT_EQ(StrToDateFmtDef(format, "17.03.2002", -1), EncodeDate(2002, 3, 17));
    try {
        StrToDateFmt(format, "31.02.2002");
        FAIL();
    } catch (const EConvertError& error) {
        EXPECT_EQ(error.Message(), "''31.02.2002'' ist kein gültiges Datum");
    }
}

TEST_F(DateUtils, ABlankYearIsNoDate)
{
    EXPECT_THROW(StrToDateFmt("DD/MM/YYYY", "17.03.    "), EConvertError);
    EXPECT_EQ(StrToDateFmtDef("DD/MM/YY", "17.03.  ", -1), -1);
    // A blank day or month is no date either.
    EXPECT_EQ(StrToDateFmtDef("DD/MM/YYYY", "  .03.2002", -1), -1);
}

TEST_F(DateUtils, MonthNamesMatchByPrefix)
{
    EXPECT_EQ(StrToDateFmt("DD/MMM/YYYY", "17/Mär/2002"), EncodeDate(2002, 3, 17));
    EXPECT_EQ(StrToDateFmt("DD/MMM/YYYY", "17/mär/2002"), EncodeDate(2002, 3, 17));
    // "Ju" is shared by Juni and Juli: the earlier month wins.
    EXPECT_EQ(StrToDateFmt("DD/MMM/YYYY", "17/Ju /2002"), EncodeDate(2002, 6, 17));
    EXPECT_EQ(StrToDateFmtDef("DD/MMM/YYYY", "17/Xyz/2002", -1), -1);
}

TEST_F(DateUtils, FarEastWordsAroundTheDateAreSkipped)
{
    FormatSettings fareast;
    fareast.FarEast = true;
    fareast.ShortDateFormat = "dd.mm.yyyy ddd";
    fareast.ShortTimeFormat = "AMPM hh:nn";
    fareast.TimeAMString = "vm";
    ScopedFormatSettings scoped(fareast);
    EXPECT_EQ(StrToDateFmt("DD/MM/YYYY/DDD", "17.3.2002 Sonntag"), EncodeDate(2002, 3, 17));
    EXPECT_EQ(StrToDateFmtDef("DD/MM/YYYY/DDD", "17.3.2002 Sonntag vm", -1), -1);
}
