// The folder dialog; see FolderDialog.h.
#include "controls/FolderDialog.h"

#include "platform/Prompt.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace velmoran {

namespace {

std::string CurrentFolder()
{
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    return error ? std::string() : folder.string();
}

bool IsFolder(const std::string& path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(path, error);
}

}  // namespace

TFolderDialog::TFolderDialog(QObject* owner) : QObject(owner), directory_(CurrentFolder()) {}

std::optional<TPoint> TFolderDialog::Placement(TSize dialog, const TRect& screen) const
{
    switch (position_) {
    case TDialogPosition::fdpScreenCenter:
        // Halves rounded toward zero, as integer division does.
        return TPoint{screen.Left + screen.Width() / 2 - dialog.cx / 2, screen.Top + screen.Height() / 2 - dialog.cy / 2};
    case TDialogPosition::fdpXY:
        return TPoint{screen.Left + std::max(x_, 0), screen.Top + std::max(y_, 0)};
    case TDialogPosition::fdpDefault:
        break;
    }
    return std::nullopt;
}

bool TFolderDialog::Execute()
{
    if (!IsFolder(directory_))
        directory_ = CurrentFolder();
    BrowseFolderOptions options;
    options.NoNewFolderButton = (options_ & fdoNoNewFolderButton) != 0;
    options.Place = [this](TSize dialog, const TRect& screen) { return Placement(dialog, screen); };
    std::optional<std::string> chosen;
    try {
        chosen = Prompts().BrowseFolder(title_, directory_, options);
    } catch (...) {
        // A failing browser counts as no choice.
        return false;
    }
    if (!chosen || chosen->empty())
        return false;
    directory_ = *chosen;
    imageIndex_ = 0;
    return true;
}

}  // namespace velmoran
