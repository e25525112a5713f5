// The current format settings.
#include "platform/core/FormatSettings.h"

namespace velmoran {

namespace {
FormatSettings& CurrentSettings()
{
    static FormatSettings settings;
    return settings;
}
}  // namespace

const FormatSettings& FormatSettings::Current()
{
    return CurrentSettings();
}

ScopedFormatSettings::ScopedFormatSettings(const FormatSettings& settings) : previous_(CurrentSettings())
{
    CurrentSettings() = settings;
}

ScopedFormatSettings::~ScopedFormatSettings()
{
    CurrentSettings() = previous_;
}

}  // namespace velmoran
