// A help engine that records every call and answers as told, so that router and "What's this?"
// tests see which engine each request reached, with which file, command and data.
#pragma once

#include "platform/HelpEngine.h"

#include <QWidget>

#include <memory>
#include <string>
#include <vector>

namespace velmoran::testing {

class RecordingHelpEngine : public HelpEngine {
public:
    struct Call {
        std::string Engine;  // "win" or "html"
        std::string File;
        int Command = 0;
        std::int64_t Data = 0;
        bool HasPopup = false;
        THHPopup Popup;
        QWidget* Owner = nullptr;
    };

    RecordingHelpEngine() : previous_(SetHelpEngine(this)) {}
    ~RecordingHelpEngine() override { SetHelpEngine(previous_); }

    bool winHelp(QWidget* owner, const std::string& file, int command, std::int64_t data) override
    {
        Calls.push_back({"win", file, command, data, false, {}, owner});
        return WinResult;
    }
    bool htmlHelpAvailable() override { return HtmlAvailable; }
    QWidget* htmlHelp(QWidget* owner, const std::string& file, int command, std::int64_t data,
                      const THHPopup* popup) override
    {
        Calls.push_back({"html", file, command, data, popup != nullptr, popup ? *popup : THHPopup{}, owner});
        return HtmlShowsWindow ? &window_ : nullptr;
    }

    const Call& Last() const { return Calls.back(); }

    bool WinResult = true;
    bool HtmlAvailable = true;
    bool HtmlShowsWindow = true;
    std::vector<Call> Calls;

private:
    HelpEngine* previous_;
    QWidget window_;
};

}  // namespace velmoran::testing
