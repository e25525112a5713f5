// The installed help engine and its place behind the application's help entry.
#include "platform/HelpEngine.h"

#include "platform/AppServices.h"
#include "platform/Application.h"

#include <QApplication>

namespace velmoran {

namespace {
HelpEngine*& Installed()
{
    static HelpEngine* engine = nullptr;
    return engine;
}

bool& HtmlLoaded()
{
    static bool loaded = false;
    return loaded;
}
}  // namespace

HelpEngine* CurrentHelpEngine() { return Installed(); }

bool HtmlHelpLoaded() { return HtmlLoaded(); }

void MarkHtmlHelpLoaded() { HtmlLoaded() = true; }

HelpEngine* SetHelpEngine(HelpEngine* engine)
{
    HelpEngine* previous = Installed();
    Installed() = engine;
    HtmlLoaded() = false;
    auto& services = AppServices::Instance();
    if (!engine) {
        services.HelpEngine = nullptr;
        return previous;
    }
    // A request the hooks leave to the engine goes to the classic engine with the application's
    // help file, owned by the active window.
    services.HelpEngine = [](const std::string& helpFile, int command, long long data) {
        HelpEngine* current = CurrentHelpEngine();
        if (!current)
            return false;
        const std::string& file = helpFile.empty() ? ApplicationHelpFile() : helpFile;
        return current->winHelp(QApplication::activeWindow(), file, command, data);
    };
    return previous;
}

}  // namespace velmoran
