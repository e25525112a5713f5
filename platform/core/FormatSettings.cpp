// The current format settings.
#include "platform/core/FormatSettings.h"

#include <map>

namespace velmoran {

namespace {
FormatSettings& CurrentSettings()
{
    static FormatSettings settings;
    return settings;
}

std::map<int, std::function<void()>>& Listeners()
{
    static std::map<int, std::function<void()>> listeners;
    return listeners;
}

void TellListeners()
{
    // A copy: a listener may remove itself or others while being told.
    const auto listeners = Listeners();
    for (const auto& [id, listener] : listeners)
        if (Listeners().count(id))
            listener();
}
}  // namespace

int FormatSettings::AddChangeListener(std::function<void()> listener)
{
    static int nextId = 0;
    Listeners().emplace(++nextId, std::move(listener));
    return nextId;
}

void FormatSettings::RemoveChangeListener(int id)
{
    Listeners().erase(id);
}

const FormatSettings& FormatSettings::Current()
{
    return CurrentSettings();
}

ScopedFormatSettings::ScopedFormatSettings(const FormatSettings& settings) : previous_(CurrentSettings())
{
    CurrentSettings() = settings;
    TellListeners();
}

ScopedFormatSettings::~ScopedFormatSettings()
{
    CurrentSettings() = previous_;
    TellListeners();
}

}  // namespace velmoran
