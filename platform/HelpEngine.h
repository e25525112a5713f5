// The help engine the help router speaks to: the two Windows engines' entry points (the classic
// one with its command vocabulary, and the compiled HTML one with its own), behind one interface
// so that the program installs its own help window at start-up and tests a recording engine.
// Command data is an integer; for the keyword commands it carries the address of a NUL-terminated
// UTF-8 keyword, as the Windows engines expect (see KeywordData and KeywordOf).
#pragma once

#include "platform/AppServices.h"  // HELP_CONTEXT, HELP_CONTEXTPOPUP
#include "platform/GdiTypes.h"

#include <QPoint>
#include <QRect>

#include <cstdint>
#include <string>

class QWidget;

namespace velmoran {

// The classic engine's commands (HELP_CONTEXT and HELP_CONTEXTPOPUP are in AppServices.h).
constexpr int HELP_QUIT = 2;
constexpr int HELP_CONTENTS = 3;
constexpr int HELP_HELPONHELP = 4;
constexpr int HELP_FINDER = 11;
constexpr int HELP_SETPOPUP_POS = 13;
constexpr int HELP_TAB = 15;
constexpr int HELP_KEY = 257;
constexpr int HELP_PARTIALKEY = 261;

// The HTML engine's commands.
constexpr int HH_DISPLAY_TOC = 1;
constexpr int HH_DISPLAY_INDEX = 2;
constexpr int HH_DISPLAY_TEXT_POPUP = 14;
constexpr int HH_HELP_CONTEXT = 15;
constexpr int HH_CLOSE_ALL = 18;

// The text pop-up record of HH_DISPLAY_TEXT_POPUP: a text, or a topic number of the pop-up file.
struct THHPopup {
    int cbStruct = 52;
    int idString = 0;
    std::string pszText;
    QPoint pt;
    ColorRef clrForeground = kNoColor;
    ColorRef clrBackground = kNoColor;
    QRect rcMargins{QPoint(-1, -1), QPoint(-1, -1)};
    std::string pszFont;
};

class HelpEngine {
public:
    virtual ~HelpEngine() = default;
    // The classic engine: true when the request was served.
    virtual bool winHelp(QWidget* owner, const std::string& file, int command, std::int64_t data) = 0;
    // Whether the HTML engine can be loaded (the "HtmlHelpA" entry of "HHCTRL.OCX").
    virtual bool htmlHelpAvailable() = 0;
    // The HTML engine: the window shown, or none. `popup` is the record of HH_DISPLAY_TEXT_POPUP.
    virtual QWidget* htmlHelp(QWidget* owner, const std::string& file, int command, std::int64_t data,
                              const THHPopup* popup = nullptr) = 0;
};

// The engine in use (none until the program installs one).
HelpEngine* CurrentHelpEngine();
// Installs an engine (not owned; nullptr removes it) and returns the previous one. The
// application's help entry then calls its winHelp with the application's help file whenever a
// request is left to the engine.
HelpEngine* SetHelpEngine(HelpEngine* engine);

// Whether the HTML engine of the installed engine was asked for since it was installed (it then
// counts as loaded until another engine is installed), and marking it so.
bool HtmlHelpLoaded();
void MarkHtmlHelpLoaded();

// A point as the data of HELP_SETPOPUP_POS: X in the low, Y in the high 16 bits, both signed.
inline std::int64_t PackHelpPoint(QPoint point)
{
    return static_cast<std::int64_t>((static_cast<std::uint32_t>(point.y() & 0xFFFF) << 16) |
                                     static_cast<std::uint32_t>(point.x() & 0xFFFF));
}
inline QPoint UnpackHelpPoint(std::int64_t data)
{
    const auto packed = static_cast<std::uint32_t>(data);
    return {static_cast<std::int16_t>(packed & 0xFFFF), static_cast<std::int16_t>(packed >> 16)};
}

// A keyword as command data, and back; the keyword must outlive the request.
inline std::int64_t KeywordData(const char* keyword) { return reinterpret_cast<std::intptr_t>(keyword); }
inline const char* KeywordOf(std::int64_t data) { return reinterpret_cast<const char*>(static_cast<std::intptr_t>(data)); }

}  // namespace velmoran
