// Locale settings for numbers and dates shown to the user: German by default, replaceable in
// tests through ScopedFormatSettings.
#pragma once

#include <array>
#include <functional>
#include <string>

namespace velmoran {

struct FormatSettings {
    char DecimalSeparator = ',';
    char ThousandSeparator = '.';
    char DateSeparator = '.';
    char TimeSeparator = ':';
    // Date and time patterns: d/dd day, m/mm month, yy/yyyy year, h/hh hour, n/nn minute, s/ss second.
    std::string ShortDateFormat = "dd.mm.yyyy";
    std::string LongTimeFormat = "hh:nn:ss";
    std::string ShortTimeFormat = "hh:nn";
    std::array<std::string, 12> LongMonthNames{"Januar", "Februar", "März",     "April",   "Mai",      "Juni",
                                               "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
    // Sunday first, as the day-of-week numbering of the dates.
    std::array<std::string, 7> ShortDayNames{"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
    // A Chinese, Japanese or Korean system locale: date texts may carry words around the numbers.
    bool FarEast = false;
    // Controls that show dates take changed settings over when they are told of them.
    bool FollowFormatSettings = true;

    static FormatSettings German() { return {}; }
    // The settings the program formats with.
    static const FormatSettings& Current();

    // Told whenever other settings are installed or the previous ones come back; the id removes it.
    static int AddChangeListener(std::function<void()> listener);
    static void RemoveChangeListener(int id);
};

// Installs other settings for its lifetime (tests, or a locale chosen at start-up).
class ScopedFormatSettings {
public:
    explicit ScopedFormatSettings(const FormatSettings& settings);
    ~ScopedFormatSettings();
    ScopedFormatSettings(const ScopedFormatSettings&) = delete;
    ScopedFormatSettings& operator=(const ScopedFormatSettings&) = delete;

private:
    FormatSettings previous_;
};

}  // namespace velmoran
