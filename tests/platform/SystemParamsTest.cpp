// System settings with their fixed answers and overrides, the menu font, and the monitor of a
// point or rectangle, the nearest one for a place outside every screen.
#include "platform/SystemParams.h"

#include <gtest/gtest.h>

#include <QFontInfo>

using namespace velmoran;

namespace {

struct Overridden {
    explicit Overridden(SystemParamOverrides overrides) { SystemParamsOverride() = std::move(overrides); }
    ~Overridden() { SystemParamsOverride() = {}; }
};

}  // namespace

TEST(SystemParams, FixedAnswersAndOverrides)
{
    EXPECT_EQ(GetMenuShowDelay(), 400);
    EXPECT_FALSE(AreFlatMenusEnabled());
    EXPECT_FALSE(IsMenuDropAlignmentRight());
    SystemParamOverrides overrides;
    overrides.MenuShowDelay = 0;
    overrides.KeyboardCues = false;
    overrides.MenuFade = true;
    Overridden scope(overrides);
    EXPECT_EQ(GetMenuShowDelay(), 0);
    EXPECT_FALSE(AreKeyboardCuesShown());
    EXPECT_TRUE(IsMenuFadeEnabled());
    EXPECT_EQ(MenuFont().pixelSize(), 11);
    EXPECT_EQ(MenuFont().family(), "Liberation Sans");
}

TEST(SystemParams, TheNearestMonitorAnswersForAnyPlace)
{
    SystemParamOverrides overrides;
    overrides.Monitors = std::vector<std::pair<QRect, QRect>>{{QRect(0, 0, 1000, 800), QRect(0, 0, 1000, 770)},
                                                              {QRect(1000, 0, 800, 600), QRect(1040, 0, 760, 600)}};
    Overridden scope(overrides);
    EXPECT_EQ(GetMonitorRectOfPoint(QPoint(10, 10), true), QRect(0, 0, 1000, 770));
    EXPECT_EQ(GetMonitorRectOfPoint(QPoint(1500, 10), false), QRect(1000, 0, 800, 600));
    // Below the second monitor, outside both: the second is nearer.
    EXPECT_EQ(GetMonitorRectOfPoint(QPoint(1500, 900), true), QRect(1040, 0, 760, 600));
    // Far to the left: the first.
    EXPECT_EQ(GetMonitorRectOfPoint(QPoint(-300, 100), true), QRect(0, 0, 1000, 770));
    // A rectangle across both belongs to the one it covers more of.
    EXPECT_EQ(GetMonitorRectOfRect(QRect(900, 100, 400, 100), false), QRect(1000, 0, 800, 600));
}

TEST(SystemParams, TheRealScreensAnswerToo)
{
    const QRect area = GetMonitorRectOfPoint(QPoint(-100000, -100000), true);
    EXPECT_FALSE(area.isEmpty());
}

TEST(SystemParams, DisplayPlatformAvoidsWaylandOnlyWhenNoneIsChosen)
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    qunsetenv("QT_QPA_PLATFORM");
    qputenv("WAYLAND_DISPLAY", "wayland-0");
    ChooseDisplayPlatform();
    EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), "xcb");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ChooseDisplayPlatform();
    EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), "offscreen");
    qunsetenv("QT_QPA_PLATFORM");
    qunsetenv("WAYLAND_DISPLAY");
    ChooseDisplayPlatform();
    EXPECT_TRUE(qgetenv("QT_QPA_PLATFORM").isEmpty());
    qputenv("QT_QPA_PLATFORM", platform);
    if (wayland.isEmpty())
        qunsetenv("WAYLAND_DISPLAY");
    else
        qputenv("WAYLAND_DISPLAY", wayland);
}
