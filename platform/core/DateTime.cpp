// Calendar arithmetic on the proleptic Gregorian calendar.
#include "platform/core/DateTime.h"

#include "platform/core/Exceptions.h"
#include "platform/core/Text.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

namespace velmoran {

namespace {

// Days since 1970-01-01 of a civil date.
long long DaysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& year, int& month, int& day)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2));
}

constexpr long long kUnixEpochDay = 25569;  // 1970-01-01 as TDateTime

std::string Pad(int value, int width)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
    return buffer;
}

}  // namespace

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysPerMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

bool IsValidDate(int year, int month, int day)
{
    return year >= 1 && year <= 9999 && day >= 1 && day <= DaysPerMonth(year, month);
}

std::optional<TDateTime> TryEncodeDate(int year, int month, int day)
{
    if (!IsValidDate(year, month, day))
        return std::nullopt;
    return static_cast<TDateTime>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + kUnixEpochDay);
}

TDateTime EncodeDate(int year, int month, int day)
{
    if (const auto date = TryEncodeDate(year, month, day))
        return *date;
    throw EConvertError("Ungültiges Argument für Datumscodierung");
}

void DecodeDate(TDateTime date, int& year, int& month, int& day)
{
    const long long days = static_cast<long long>(std::floor(date)) - kUnixEpochDay;
    CivilFromDays(days, year, month, day);
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond)
{
    return (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond) / 86400000.0;
}

void DecodeTime(TDateTime time, int& hour, int& minute, int& second, int& millisecond)
{
    const double fraction = std::fabs(time - std::floor(time));
    long long ms = std::llround(fraction * 86400000.0);
    if (ms >= 86400000)
        ms = 86399999;
    hour = static_cast<int>(ms / 3600000);
    minute = static_cast<int>(ms / 60000 % 60);
    second = static_cast<int>(ms / 1000 % 60);
    millisecond = static_cast<int>(ms % 1000);
}

std::string FormatDateTime(std::string_view pattern, TDateTime value)
{
    int year, month, day, hour, minute, second, ms;
    DecodeDate(value, year, month, day);
    DecodeTime(value, hour, minute, second, ms);
    std::string out;
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = static_cast<char>(pattern[i] | 0x20);
        std::size_t run = 1;
        while (i + run < pattern.size() && static_cast<char>(pattern[i + run] | 0x20) == c)
            ++run;
        switch (c) {
        case 'd': out += Pad(day, run >= 2 ? 2 : 1); break;
        case 'm': out += Pad(month, run >= 2 ? 2 : 1); break;
        case 'y': out += run >= 3 ? Pad(year, 4) : Pad(year % 100, 2); break;
        case 'h': out += Pad(hour, run >= 2 ? 2 : 1); break;
        case 'n': out += Pad(minute, run >= 2 ? 2 : 1); break;
        case 's': out += Pad(second, run >= 2 ? 2 : 1); break;
        default: out.append(pattern.substr(i, run)); break;
        }
        i += run;
    }
    return out;
}

std::string DateToStr(TDateTime date, const FormatSettings& settings)
{
    return FormatDateTime(settings.ShortDateFormat, date);
}

std::string TimeToStr(TDateTime time, const FormatSettings& settings)
{
    return FormatDateTime(settings.LongTimeFormat, time);
}

std::optional<TDateTime> TryStrToDate(std::string_view text, const FormatSettings& settings)
{
    std::vector<int> numbers;
    std::vector<int> widths;
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    while (i < text.size()) {
        int value = 0;
        int width = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && width < 5) {
            value = value * 10 + (text[i] - '0');
            ++width;
            ++i;
        }
        if (width == 0)
            return std::nullopt;
        numbers.push_back(value);
        widths.push_back(width);
        while (i < text.size() && text[i] == ' ')
            ++i;
        if (i == text.size())
            break;
        if (text[i] != settings.DateSeparator || numbers.size() == 3)
            return std::nullopt;
        ++i;
    }
    if (numbers.size() != 3)
        return std::nullopt;
    // The order of day, month and year follows the short date format.
    std::string order;
    for (const char c : settings.ShortDateFormat) {
        const char lower = static_cast<char>(c | 0x20);
        if ((lower == 'd' || lower == 'm' || lower == 'y') && order.find(lower) == std::string::npos)
            order += lower;
    }
    if (order.size() != 3)
        order = "dmy";
    int day = 0, month = 0, year = 0, yearWidth = 0;
    for (std::size_t k = 0; k < 3; ++k) {
        if (order[k] == 'd') day = numbers[k];
        if (order[k] == 'm') month = numbers[k];
        if (order[k] == 'y') { year = numbers[k]; yearWidth = widths[k]; }
    }
    if (yearWidth <= 2)
        year += year < 50 ? 2000 : 1900;
    return TryEncodeDate(year, month, day);
}

TDateTime StrToDate(std::string_view text, const FormatSettings& settings)
{
    if (const auto date = TryStrToDate(text, settings))
        return *date;
    throw EConvertError("'" + Excerpt(text) + "' ist kein gültiges Datum");
}

namespace {
std::optional<TDateTime>& FixedNow()
{
    static std::optional<TDateTime> now;
    return now;
}
}  // namespace

ScopedClock::ScopedClock(TDateTime now) : previous_(FixedNow())
{
    FixedNow() = now;
}

ScopedClock::~ScopedClock()
{
    FixedNow() = previous_;
}

TDateTime Now()
{
    if (FixedNow())
        return *FixedNow();
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           EncodeTime(local.tm_hour, local.tm_min, local.tm_sec, 0);
}

TDateTime Date()
{
    return std::floor(Now());
}

}  // namespace velmoran
