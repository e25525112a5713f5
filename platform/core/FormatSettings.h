// Locale settings for numbers and dates shown to the user: German by default, replaceable in
// tests through ScopedFormatSettings.
#pragma once

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

    static FormatSettings German() { return {}; }
    // The settings the program formats with.
    static const FormatSettings& Current();
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
