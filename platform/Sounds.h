// The program's event sounds: the menus' "MenuPopup" (a menu opens) and "MenuCommand" (a menu
// command is chosen), played through the desktop's sound theme as its events "menu-popup" and
// "menu-click". The desktop decides whether they play: only while it has input-feedback sounds
// switched on. Without a sound server or sound card nothing is heard and nothing else happens.
// Tests install a service of their own to decide and to hear what would be played.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

namespace velmoran {

class SoundService {
public:
    virtual ~SoundService() = default;
    // Whether the sound of the alias is to be played now.
    virtual bool Wanted(std::string_view alias) = 0;
    // Starts the sound of the alias and returns at once.
    virtual void Play(std::string_view alias) = 0;
};

// The sound theme's event of an alias; empty for an alias that has none.
std::string_view SoundThemeEventOf(std::string_view alias);

// Whether the desktop has input-feedback sounds switched on: the desktop setting
// "input-feedback-sounds" of "org.gnome.desktop.sound", read through GSettings from the user's
// settings database (no running desktop needed); off where that setting does not exist.
bool InputFeedbackSoundsEnabled();

// The desktop's sounds, played with the sound theme library. A sound is wanted when the alias
// has a theme event and inputFeedback answers true.
class DesktopSounds : public SoundService {
public:
    explicit DesktopSounds(std::function<bool()> inputFeedback = InputFeedbackSoundsEnabled);
    ~DesktopSounds() override;
    bool Wanted(std::string_view alias) override;
    void Play(std::string_view alias) override;

private:
    struct Player;
    std::function<bool()> inputFeedback_;
    std::unique_ptr<Player> player_;
};

// The service in use; by default the desktop's sounds.
SoundService& Sounds();
// Installs a service (not owned) and returns the previous one; nullptr restores the default.
SoundService* SetSoundService(SoundService* service);

}  // namespace velmoran
