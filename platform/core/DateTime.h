// TDateTime: days since 1899-12-30 as a double, the fraction being the time of day.
#pragma once

#include "platform/core/FormatSettings.h"

#include <optional>
#include <string>
#include <string_view>

namespace velmoran {

using TDateTime = double;

// Days from 0001-01-01 (day 1) to 1899-12-30 (TDateTime 0).
constexpr int kDateDelta = 693594;

// Gregorian: divisible by 4 and not by 100, or by 400.
bool IsLeapYear(int year);
// Days of month (1..12) in year; 0 for a month out of range.
int DaysPerMonth(int year, int month);
bool IsValidDate(int year, int month, int day);
std::optional<TDateTime> TryEncodeDate(int year, int month, int day);
// Raises EConvertError for an impossible date.
TDateTime EncodeDate(int year, int month, int day);
void DecodeDate(TDateTime date, int& year, int& month, int& day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);
void DecodeTime(TDateTime time, int& hour, int& minute, int& second, int& millisecond);

// Formats by a pattern of d, dd, m, mm, yy, yyyy, h, hh, n, nn, s, ss and literal characters.
std::string FormatDateTime(std::string_view pattern, TDateTime value);
std::string DateToStr(TDateTime date, const FormatSettings& settings = FormatSettings::Current());
std::string TimeToStr(TDateTime time, const FormatSettings& settings = FormatSettings::Current());
// Reads day, month and year in the order of the short date format; a two-digit year is taken
// in the century window 1950..2049.
std::optional<TDateTime> TryStrToDate(std::string_view text, const FormatSettings& settings = FormatSettings::Current());
TDateTime StrToDate(std::string_view text, const FormatSettings& settings = FormatSettings::Current());

// The local clock, or the one a ScopedClock installed.
TDateTime Now();
TDateTime Date();

// Fixes the clock for its lifetime (tests and tools that name "today").
class ScopedClock {
public:
    explicit ScopedClock(TDateTime now);
    ~ScopedClock();
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

private:
    std::optional<TDateTime> previous_;
};

}  // namespace velmoran
