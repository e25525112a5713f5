// The main window's settings: its bounds ("MainFormRect", 16 raw bytes: left, top, right and
// bottom as little-endian signed 32-bit integers), whether the start dialog is shown
// ("StartDialog") and whether the toolbars are ("SpeedBar"), each stored as 0 or 1. Read when
// the window is made, written when it goes.
#pragma once

#include "platform/GdiTypes.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmoran {

class RegIniFile;

struct TWindowSettings {
    // Nothing: the window is centred on the screen.
    std::optional<TRect> MainFormRect;
    bool StartDialog = true;
    bool SpeedBar = true;
};

// The 16 bytes of a rectangle.
std::string EncodeFormRect(const TRect& rect);
// The stored rectangle, when it is exactly 16 bytes, not empty and meets one of the screens;
// otherwise nothing, so that a damaged value or one from a screen no longer there cannot hide
// the window.
std::optional<TRect> DecodeFormRect(std::string_view bytes, const std::vector<TRect>& screens);
// The rectangles of the screens there are now.
std::vector<TRect> ScreenRects();

// Reads the settings below the program's key; absent values give the defaults.
TWindowSettings ReadWindowSettings(const RegIniFile& settings, const std::vector<TRect>& screens);
TWindowSettings ReadWindowSettings();
// Writes the three values; false when the settings could not be written (said once, see below).
bool WriteWindowSettings(RegIniFile& settings, const TRect& bounds, bool startDialog, bool speedBar);

// Writes what is pending to the settings' file. When that fails, the reason is shown in an error
// message the first time only for that file: a file that cannot be written fails at every later
// write too, and one message says so. False when it failed.
bool SyncSettings(RegIniFile& settings);

}  // namespace velmoran
