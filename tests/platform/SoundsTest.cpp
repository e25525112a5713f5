// The desktop's event sounds: the theme events of the menus' aliases, the decision that follows
// the desktop's input-feedback setting (read through GSettings, here from its in-memory store) and
// playing where no sound server answers.
#include "platform/Sounds.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace velmoran {
namespace {

class DesktopSound : public ::testing::Test {
protected:
    // Before the process first asks GSettings: its in-memory store, so that the user's own
    // desktop setting neither shows nor changes.
    void SetUp() override { setenv("GSETTINGS_BACKEND", "memory", 1); }
};

TEST_F(DesktopSound, TheMenuAliasesAreTheThemesMenuEvents)
{
    EXPECT_EQ(SoundThemeEventOf("MenuPopup"), "menu-popup");
    EXPECT_EQ(SoundThemeEventOf("MenuCommand"), "menu-click");
    EXPECT_EQ(SoundThemeEventOf("SystemStart"), "");
}

// The decision follows the desktop's input-feedback setting, and only for an alias with an event.
TEST_F(DesktopSound, TheDecisionFollowsTheDesktopsInputFeedbackSetting)
{
    bool feedback = true;
    DesktopSounds sounds([&feedback] { return feedback; });
    EXPECT_TRUE(sounds.Wanted("MenuPopup"));
    EXPECT_TRUE(sounds.Wanted("MenuCommand"));
    EXPECT_FALSE(sounds.Wanted("SystemStart"));
    feedback = false;
    EXPECT_FALSE(sounds.Wanted("MenuPopup"));
    EXPECT_FALSE(sounds.Wanted("MenuCommand"));

    GSettings* desktop = g_settings_new("org.gnome.desktop.sound");
    g_settings_set_boolean(desktop, "input-feedback-sounds", TRUE);
    EXPECT_TRUE(InputFeedbackSoundsEnabled());
    EXPECT_TRUE(DesktopSounds().Wanted("MenuCommand"));
    g_settings_set_boolean(desktop, "input-feedback-sounds", FALSE);
    EXPECT_FALSE(InputFeedbackSoundsEnabled());
    EXPECT_FALSE(DesktopSounds().Wanted("MenuCommand"));
    g_object_unref(desktop);
}

// Without a sound server the sounds are asked for, nothing is heard, and the program goes on.
TEST_F(DesktopSound, PlayingNeedsNoSoundServer)
{
    setenv("CANBERRA_DRIVER", "pulse", 1);
    setenv("PULSE_SERVER", "unix:/nonexistent/velmoran-no-sound-server", 1);
    DesktopSounds sounds([] { return true; });
    for (int i = 0; i < 3; ++i) {
        sounds.Play("MenuPopup");
        sounds.Play("MenuCommand");
    }
    sounds.Play("SystemStart");
    unsetenv("CANBERRA_DRIVER");
    unsetenv("PULSE_SERVER");
    SUCCEED();
}

}  // namespace
}  // namespace velmoran
