// Calendar conversions of TDateTime.
#include "platform/core/DateTime.h"
#include "platform/core/Exceptions.h"

#include <gtest/gtest.h>

using namespace velmoran;

TEST(DateTime, EpochAndKnownDays)
{
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
    EXPECT_EQ(EncodeDate(1, 1, 1), 1.0 - kDateDelta);
    EXPECT_EQ(EncodeDate(1899, 12, 29), -1.0);
    int y, m, d;
    DecodeDate(36526.75, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 20000101);
    DecodeDate(-1.0, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
}

TEST(DateTime, RoundTripOverCenturiesAndLeapDays)
{
    for (double day = -700000; day < 3000000; day += 997) {
        int y, m, d;
        DecodeDate(day, y, m, d);
        if (y < 1 || y > 9999)
            continue;
        EXPECT_EQ(EncodeDate(y, m, d), day);
    }
    EXPECT_TRUE(IsValidDate(2000, 2, 29));
    EXPECT_FALSE(IsValidDate(1900, 2, 29));
    EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
}

TEST(DateTime, TextInTheGermanFormat)
{
    const FormatSettings german = FormatSettings::German();
    EXPECT_EQ(DateToStr(EncodeDate(2026, 3, 7), german), "07.03.2026");
    EXPECT_EQ(TimeToStr(EncodeTime(9, 5, 3, 0), german), "09:05:03");
    EXPECT_EQ(StrToDate("7.3.2026", german), EncodeDate(2026, 3, 7));
    EXPECT_EQ(StrToDate("07.03.26", german), EncodeDate(2026, 3, 7));
    EXPECT_EQ(StrToDate("1.1.99", german), EncodeDate(1999, 1, 1));
    EXPECT_FALSE(TryStrToDate("31.02.2026", german).has_value());
    EXPECT_FALSE(TryStrToDate("7.3.", german).has_value());
    EXPECT_FALSE(TryStrToDate("7-3-2026", german).has_value());
}

// A month outside 1 to 12 has no days: a typed "13" or "0" as the month is no date, not a day
// looked up past the month table.
TEST(DateTime, MonthsOutsideTheYearHaveNoDays)
{
    EXPECT_EQ(DaysPerMonth(2026, 0), 0);
    EXPECT_EQ(DaysPerMonth(2026, 13), 0);
    EXPECT_EQ(DaysPerMonth(2024, 2), 29);
    EXPECT_EQ(DaysPerMonth(2026, 12), 31);
    EXPECT_FALSE(IsValidDate(2026, 13, 1));
    EXPECT_FALSE(IsValidDate(2026, 0, 1));
    const FormatSettings german = FormatSettings::German();
    EXPECT_FALSE(TryStrToDate("1.13.2026", german).has_value());
    EXPECT_FALSE(TryStrToDate("1.0.2026", german).has_value());
}
