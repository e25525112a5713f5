// Our own help engine: it serves the requests of both Windows help engines from our help files
// (HelpIndex.h) with the program's one help window and text pop-ups. Failures are told through the
// prompt service and answered False; nothing else changes.
#pragma once

#include "platform/HelpEngine.h"

#include <QPoint>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace velmoran {

class THelpWindow;
struct THelpIndex;

class THelpViewerEngine : public HelpEngine {
public:
    THelpViewerEngine();
    ~THelpViewerEngine() override;

    bool winHelp(QWidget* owner, const std::string& file, int command, std::int64_t data) override;
    bool htmlHelpAvailable() override { return true; }
    QWidget* htmlHelp(QWidget* owner, const std::string& file, int command, std::int64_t data,
                      const THHPopup* popup) override;

    // The help window, made on the first request that shows a page.
    THelpWindow* Window() const;
    // The pop-up shown last (its text and global point), for tools and tests.
    const std::string& LastPopupText() const { return lastPopupText_; }
    QPoint LastPopupPoint() const { return lastPopupPoint_; }

private:
    std::optional<THelpIndex> ReadIndex(const std::string& file);
    // Shows a page of a help file in the window; a page that fails leaves the window's help file
    // as it was.
    bool ShowInWindow(const std::string& file, const THelpIndex& index, const std::function<bool(THelpWindow&)>& show);
    bool ShowContext(const std::string& file, std::int64_t context);
    bool ShowContents(const std::string& file);
    bool ShowIndex(const std::string& file);
    bool ShowHelpOnHelp(const std::string& file);
    bool ShowKeyword(const std::string& file, const char* keyword, bool partial);
    bool ContextPopup(const std::string& file, std::int64_t context);
    bool PopupFromFile(const std::string& popupFile, int topic, QPoint point);
    QWidget* ShowPopup(const std::string& text, QPoint point, const std::string& font = {});
    QPoint TakePopupPoint();

    QPointer<THelpWindow> window_;
    std::optional<QPoint> popupPoint_;
    std::string lastPopupText_;
    QPoint lastPopupPoint_;
};

// Installs one engine of this kind for the program's lifetime (idempotent).
void InstallHelpViewerEngine();

// The text of a pop-up for an element without help.
extern const char* const kNoHelpText;

}  // namespace velmoran
