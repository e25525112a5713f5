// Calendar arithmetic and the reading of date texts shared by the date field and the calendars:
// leap years and month lengths, the two-digit-year window, the date order of a format, the default
// format and edit mask, and the parser that reads a text by its format and falls back to a free
// scan of numbers. Everything follows FormatSettings::Current() and the clock of Now().
#pragma once

#include "platform/core/DateTime.h"

#include <string>
#include <string_view>

namespace velmoran {

// The empty date of the date field and the calendars.
constexpr TDateTime NullDate = 0.0;
// The width of the past part of the two-digit-year window.
constexpr int CenturyOffset = 60;

enum class TDateOrder { MDY, DMY, YMD };
enum TDayOfWeekName : unsigned { Sun, Mon, Tue, Wed, Thu, Fri, Sat };
// A set of TDayOfWeekName as bits (1 << day).
using TDaysOfWeek = unsigned;
constexpr TDaysOfWeek DaySet(TDayOfWeekName day) { return 1u << day; }

// False also for a value that cannot be split into a date.
bool ValidDate(TDateTime date);
int CurrentYear();
// A year below 100 moves into the window from CenturyOffset years before this year.
int ExpandYear(int year);
// True when the short date format of the settings in force at start-up has a four-digit year;
// settings installed later do not change it.
bool FourDigitYear();

TDateOrder GetDateOrder(std::string_view format);
// "DD/MM/YYYY" and its kin in the order of the settings' short date format.
std::string DefDateFormat(bool fourDigitYear);
// "!99/99/9999;1;_" and its kin: the edit mask for DefDateFormat with blanks as the blank.
std::string DefDateMask(char blanks, bool fourDigitYear);

// Raises EConvertError "''text'' ist kein gültiges Datum" for a text that is no date; the empty
// text gives NullDate.
TDateTime StrToDateFmt(std::string_view format, std::string_view text);
TDateTime StrToDateFmtDef(std::string_view format, std::string_view text, TDateTime fallback);
// The message of StrToDateFmt for a text.
std::string InvalidDateMessage(std::string_view text);

}  // namespace velmoran
