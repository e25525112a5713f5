// The services of the application object that menus, toolbars and forms share, made on first use
// and working with any QApplication: the application hint a status line shows, the position of the
// last input event, the beep and the help entry.
#pragma once

#include "platform/ChangeLinks.h"

#include <QObject>
#include <QPoint>

#include <functional>
#include <string>
#include <utility>

namespace velmoran {

// Help commands as the help engine knows them.
constexpr int HELP_CONTEXT = 1;
constexpr int HELP_CONTEXTPOPUP = 8;

class AppServices : public QObject {
public:
    static AppServices& Instance();

    // The long hint of what the mouse is over; links hear of every change.
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    void RegisterHintChanges(QObject* link, std::function<void()> onChange) { hintLinks_.Register(link, std::move(onChange)); }
    // Puts other links in place of all hint links and returns the ones before: a window whose
    // hints must not reach the main window's status line takes them out while it is shown and
    // puts them back afterwards.
    ChangeLinks ReplaceHintLinks(ChangeLinks links) { return std::exchange(hintLinks_, std::move(links)); }
    bool HintShortCuts = false;

    // The global position of the last input event (mouse or key); (-1, -1) before the first.
    QPoint GetMessagePoint() const { return messagePoint_; }

    // The beep; tests replace it to count.
    std::function<void()> BeepHook;
    void Beep();

    // The help entry.
    std::string HelpFile;
    // Asked first; leaving callHelp true passes the call on to the help engine.
    std::function<bool(int command, long long data, bool& callHelp)> OnHelp;
    // The help engine (the help window); none yet: the calls answer false.
    std::function<bool(const std::string& helpFile, int command, long long data)> HelpEngine;
    bool HelpCommand(int command, long long data);
    bool HelpContext(long long context);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AppServices();

    std::string hint_;
    ChangeLinks hintLinks_;
    QPoint messagePoint_{-1, -1};
};

inline bool IsNoPoint(const QPoint& point)
{
    return point.x() == -1 && point.y() == -1;
}

}  // namespace velmoran
