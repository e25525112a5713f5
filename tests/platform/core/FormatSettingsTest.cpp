// The German format settings, the notification when other settings come and go, and the clock
// that tests and tools fix.
#include "platform/core/DateTime.h"
#include "platform/core/FormatSettings.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace velmoran;

TEST(FormatSettings, GermanNamesAndAFourDigitYear)
{
    const FormatSettings german = FormatSettings::German();
    EXPECT_EQ(german.LongMonthNames[2], "März");
    EXPECT_EQ(german.LongMonthNames[11], "Dezember");
    EXPECT_EQ(german.ShortDayNames[0], "So");
    EXPECT_EQ(german.ShortDayNames[1], "Mo");
    EXPECT_NE(german.ShortDateFormat.find("yyyy"), std::string::npos);
    EXPECT_FALSE(german.FarEast);
    EXPECT_TRUE(german.FollowFormatSettings);
}

TEST(FormatSettings, ListenersHearInstallAndRestoreUntilRemoved)
{
    std::vector<char> heard;
    const int id = FormatSettings::AddChangeListener([&] { heard.push_back(FormatSettings::Current().DateSeparator); });
    {
        FormatSettings slashes;
        slashes.DateSeparator = '/';
        ScopedFormatSettings scoped(slashes);
        EXPECT_EQ(heard, std::vector<char>{'/'});
    }
    // Restoring told the listener with the old settings already back.
    EXPECT_EQ(heard, (std::vector<char>{'/', '.'}));
    FormatSettings::RemoveChangeListener(id);
    {
        ScopedFormatSettings scoped(FormatSettings::German());
    }
    EXPECT_EQ(heard.size(), 2u);

    // A listener that removes another while being told does not call it.
    int second = 0;
    int secondId = 0;
    const int first = FormatSettings::AddChangeListener([&] { FormatSettings::RemoveChangeListener(secondId); });
    secondId = FormatSettings::AddChangeListener([&] { ++second; });
    {
        ScopedFormatSettings scoped(FormatSettings::German());
    }
    EXPECT_EQ(second, 0);
    FormatSettings::RemoveChangeListener(first);
}

TEST(Clock, AFixedClockNamesTodayAndNests)
{
    const TDateTime advent = EncodeDate(2026, 12, 6) + EncodeTime(14, 30, 0, 0);
    {
        ScopedClock clock(advent);
        EXPECT_DOUBLE_EQ(Now(), advent);
        EXPECT_DOUBLE_EQ(Date(), EncodeDate(2026, 12, 6));
        {
            ScopedClock inner(EncodeDate(2024, 2, 29));
            EXPECT_DOUBLE_EQ(Date(), EncodeDate(2024, 2, 29));
        }
        EXPECT_DOUBLE_EQ(Now(), advent);
    }
}
