// The system settings and metrics the menus and toolbars ask for, in one place, with overrides
// for tests: menu delay, hint pause, keyboard cues, menu animation and fade, flat menus, drop
// alignment; the fixed metrics and the menu font; monitors and their work areas; and the choice of
// the display platform (top-level windows must be placeable, which Wayland does not allow).
#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>

#include <optional>
#include <utility>
#include <vector>

namespace velmoran {

struct SystemParamOverrides {
    std::optional<int> MenuShowDelay;
    std::optional<int> HintPause;
    std::optional<bool> KeyboardCues;
    std::optional<bool> MenuAnimation;
    std::optional<bool> MenuFade;
    // Monitor rectangles (full area, work area) used instead of the screens.
    std::optional<std::vector<std::pair<QRect, QRect>>> Monitors;
};
// Tests set what they need; a default-made value restores the system's answers.
SystemParamOverrides& SystemParamsOverride();

int GetMenuShowDelay();            // milliseconds, 400
int GetHintPause();                // milliseconds the pointer rests before a hint shows (the style's)
bool AreKeyboardCuesShown();       // from the style's shortcut underlines
bool IsMenuAnimationEnabled();
bool IsMenuFadeEnabled();
bool AreFlatMenusEnabled();        // always off
bool IsMenuDropAlignmentRight();   // always left

// Fixed metrics.
constexpr int kMenuCheckWidth = 13;
constexpr int kMenuCheckHeight = 13;
constexpr int kSizingFrame = 4;
constexpr int kFixedFrame = 3;
constexpr int kSmallCaptionHeight = 16;
constexpr int kScrollBarSize = 16;
// Liberation Sans 8 pt, 11 pixels.
QFont MenuFont();

// The monitor nearest to a rectangle or point: its work area or its full area.
QRect GetMonitorRectOfRect(const QRect& rect, bool workArea);
QRect GetMonitorRectOfPoint(const QPoint& point, bool workArea);
// The number of monitors, and the primary one's work area.
int GetMonitorCount();
QRect GetPrimaryWorkArea();

// Call before the application object is made: picks xcb when no platform is chosen and the
// session is Wayland, so that popups and floating toolbars can be placed.
void ChooseDisplayPlatform();

}  // namespace velmoran
