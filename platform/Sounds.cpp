// The desktop's event sounds through GSettings and the sound theme library; see Sounds.h.
#include "platform/Sounds.h"

#include <canberra.h>
#include <gio/gio.h>

#include <string>

namespace velmoran {

namespace {

constexpr char kSoundSchema[] = "org.gnome.desktop.sound";

// The desktop's sound settings, or nullptr where their schema is not installed (asking GSettings
// for a schema it does not know ends the program, so it is looked up first).
GSettings* DesktopSoundSettings()
{
    static GSettings* const settings = []() -> GSettings* {
        GSettingsSchemaSource* source = g_settings_schema_source_get_default();
        if (!source)
            return nullptr;
        GSettingsSchema* schema = g_settings_schema_source_lookup(source, kSoundSchema, TRUE);
        if (!schema)
            return nullptr;
        GSettings* found = nullptr;
        if (g_settings_schema_has_key(schema, "input-feedback-sounds") && g_settings_schema_has_key(schema, "theme-name"))
            found = g_settings_new_full(schema, nullptr, nullptr);
        g_settings_schema_unref(schema);
        return found;
    }();
    return settings;
}

std::string SoundThemeName()
{
    std::string name = "freedesktop";
    if (GSettings* settings = DesktopSoundSettings()) {
        gchar* value = g_settings_get_string(settings, "theme-name");
        if (value && *value)
            name = value;
        g_free(value);
    }
    return name;
}

SoundService* installed = nullptr;

}  // namespace

std::string_view SoundThemeEventOf(std::string_view alias)
{
    if (alias == "MenuPopup")
        return "menu-popup";
    if (alias == "MenuCommand")
        return "menu-click";
    return {};
}

bool InputFeedbackSoundsEnabled()
{
    GSettings* settings = DesktopSoundSettings();
    return settings && g_settings_get_boolean(settings, "input-feedback-sounds");
}

// The sound theme library's context, made at the first sound; a failure to make it is kept, so
// that a machine without sound does not try again at every menu.
struct DesktopSounds::Player {
    ~Player()
    {
        if (context)
            ca_context_destroy(context);
    }
    ca_context* Context()
    {
        if (!tried) {
            tried = true;
            if (ca_context_create(&context) != CA_SUCCESS)
                context = nullptr;
            else
                ca_context_change_props(context, CA_PROP_APPLICATION_NAME, "Velmoran", nullptr);
        }
        return context;
    }
    ca_context* context = nullptr;
    bool tried = false;
};

DesktopSounds::DesktopSounds(std::function<bool()> inputFeedback)
    : inputFeedback_(std::move(inputFeedback)), player_(std::make_unique<Player>())
{
}

DesktopSounds::~DesktopSounds() = default;

bool DesktopSounds::Wanted(std::string_view alias)
{
    return !SoundThemeEventOf(alias).empty() && inputFeedback_ && inputFeedback_();
}

void DesktopSounds::Play(std::string_view alias)
{
    const std::string event(SoundThemeEventOf(alias));
    if (event.empty())
        return;
    ca_context* context = player_->Context();
    if (!context)
        return;
    // Without a sound server or device the library answers an error; there is nothing to say.
    ca_context_play(context, 0, CA_PROP_EVENT_ID, event.c_str(), CA_PROP_CANBERRA_XDG_THEME_NAME,
                    SoundThemeName().c_str(), CA_PROP_CANBERRA_CACHE_CONTROL, "permanent", nullptr);
}

SoundService& Sounds()
{
    static DesktopSounds desktop;
    return installed ? *installed : desktop;
}

SoundService* SetSoundService(SoundService* service)
{
    SoundService* previous = installed;
    installed = service;
    return previous;
}

}  // namespace velmoran
