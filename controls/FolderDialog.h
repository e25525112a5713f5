// TFolderDialog: lets the user pick a folder through the prompt service's folder browser (Qt's
// own, the same on every desktop), starting at Directory and placing the browser as
// DialogPosition says on the screen it is shown on. Execute is true when a folder was chosen;
// Directory then holds it.
//
// Of the browse options only fdoNoNewFolderButton changes the browser (no way to make a folder);
// browsing for computers or printers, fdoDontgoBelowDomain, fdoStatusText and
// fdoReturnFSAncestors have nothing to act on and stay inert.
#pragma once

#include "platform/GdiTypes.h"

#include <QObject>

#include <optional>
#include <string>

namespace velmoran {

enum TFolderOption : unsigned {
    fdoBrowseForComputer = 1u << 0,
    fdoBrowseForPrinter = 1u << 1,
    fdoDontgoBelowDomain = 1u << 2,
    fdoReturnFSAncestors = 1u << 3,
    fdoReturnOnlyFSDirs = 1u << 4,
    fdoStatusText = 1u << 5,
    fdoNewDialogStyle = 1u << 6,
    fdoNoNewFolderButton = 1u << 7,
};
using TFolderOptions = unsigned;

enum class TDialogPosition { fdpDefault, fdpScreenCenter, fdpXY };

class TFolderDialog : public QObject {
public:
    explicit TFolderDialog(QObject* owner = nullptr);

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    // The start folder; after Execute the folder chosen. Starts as the current folder.
    const std::string& Directory() const { return directory_; }
    void SetDirectory(const std::string& folder) { directory_ = folder; }
    // The icon of the chosen folder in the system image list: the folder icon.
    int ImageIndex() const { return imageIndex_; }
    TFolderOptions Options() const { return options_; }
    void SetOptions(TFolderOptions options) { options_ = options; }
    TDialogPosition DialogPosition() const { return position_; }
    void SetDialogPosition(TDialogPosition position) { position_ = position; }
    int DialogX() const { return x_; }
    void SetDialogX(int x) { x_ = x; }
    int DialogY() const { return y_; }
    void SetDialogY(int y) { y_ = y; }
    // "1.0.0.0"; writing changes nothing.
    std::string Version() const { return "1.0.0.0"; }
    void SetVersion(const std::string&) {}

    // Shows the browser. A Directory that is no folder becomes the current folder first (and
    // stays so when the user cancels).
    bool Execute();

    // Where the browser of that size goes on a screen (screen coordinates); nothing keeps the
    // desktop's place.
    std::optional<TPoint> Placement(TSize dialog, const TRect& screen) const;

private:
    std::string title_;
    std::string directory_;
    int imageIndex_ = 0;
    TFolderOptions options_ = fdoNewDialogStyle;
    TDialogPosition position_ = TDialogPosition::fdpDefault;
    int x_ = 0;
    int y_ = 0;
};

}  // namespace velmoran
