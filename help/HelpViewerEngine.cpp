// Our help engine; see HelpViewerEngine.h.
#include "help/HelpViewerEngine.h"

#include "help/HelpIndex.h"
#include "help/HelpPopup.h"
#include "help/HelpWindow.h"
#include "platform/AppServices.h"
#include "platform/Prompt.h"
#include "platform/core/Stream.h"
#include "platform/core/Text.h"

#include <QApplication>
#include <QCursor>

#include <filesystem>

namespace velmoran {

const char* const kNoHelpText = "Zu diesem Element ist keine Hilfe vorhanden.";

namespace {

constexpr const char* kHelpOnHelpPage = "hilfe-benutzen.htm";
constexpr const char* kChmPopupSeparator = "::/";

std::string ContextMissingMessage(std::int64_t context, const std::string& file)
{
    return "Zur Kontextnummer " + std::to_string(context) + " gibt es in \xE2\x80\x9E" + file +
           "\xE2\x80\x9C kein Hilfethema.";
}

}  // namespace

THelpViewerEngine::THelpViewerEngine() = default;

THelpViewerEngine::~THelpViewerEngine()
{
    delete window_.data();
}

THelpWindow* THelpViewerEngine::Window() const { return window_; }

std::optional<THelpIndex> THelpViewerEngine::ReadIndex(const std::string& file)
{
    auto index = LoadHelpIndex(file);
    if (!index)
        Prompts().ShowError(HelpFileMissingMessage(file));
    return index;
}

bool THelpViewerEngine::ShowInWindow(const std::string& file, const THelpIndex& index,
                                     const std::function<bool(THelpWindow&)>& show)
{
    if (!window_)
        window_ = new THelpWindow();
    const std::string oldFile = window_->HelpFile();
    const THelpIndex oldIndex = window_->Index();
    window_->SetHelpFile(file, index);
    if (show(*window_))
        return true;
    if (!oldFile.empty())
        window_->SetHelpFile(oldFile, oldIndex);
    return false;
}

bool THelpViewerEngine::winHelp(QWidget* /*owner*/, const std::string& file, int command, std::int64_t data)
{
    switch (command) {
    case HELP_CONTEXT:
        return ShowContext(file, data);
    case HELP_QUIT:
        if (window_)
            window_->close();
        return true;
    case HELP_CONTENTS:
    case HELP_FINDER:
        return ShowContents(file);
    case HELP_HELPONHELP:
        return ShowHelpOnHelp(file);
    case HELP_SETPOPUP_POS:
        popupPoint_ = UnpackHelpPoint(data);
        return true;
    case HELP_CONTEXTPOPUP:
        return ContextPopup(file, data);
    case HELP_TAB:
        return data == 0 ? ShowContents(file) : ShowIndex(file);
    case HELP_KEY:
    case HELP_PARTIALKEY:
        return ShowKeyword(file, KeywordOf(data), command == HELP_PARTIALKEY);
    default:
        return false;
    }
}

QWidget* THelpViewerEngine::htmlHelp(QWidget* /*owner*/, const std::string& file, int command, std::int64_t data,
                                     const THHPopup* popup)
{
    auto shown = [this](bool ok) -> QWidget* { return ok ? window_.data() : nullptr; };
    switch (command) {
    case HH_DISPLAY_TOC:
        return shown(ShowContents(file));
    case HH_DISPLAY_INDEX:
        return shown(data ? ShowKeyword(file, KeywordOf(data), true) : ShowIndex(file));
    case HH_HELP_CONTEXT:
        return shown(ShowContext(file, data));
    case HH_CLOSE_ALL:
        if (window_)
            window_->close();
        return nullptr;
    case HH_DISPLAY_TEXT_POPUP: {
        if (!popup)
            return nullptr;
        if (!popup->pszText.empty() || file.empty())
            return ShowPopup(popup->pszText.empty() ? kNoHelpText : popup->pszText, popup->pt, popup->pszFont);
        const auto separator = file.find(kChmPopupSeparator);
        if (separator == std::string::npos)
            return nullptr;
        const std::string folder = TopicFolderOf(file.substr(0, separator));
        const std::string popupFile = TopicPath(folder, file.substr(separator + 3));
        return PopupFromFile(popupFile, popup->idString, popup->pt) ? THelpPopup::Shown() : nullptr;
    }
    default:
        return nullptr;
    }
}

bool THelpViewerEngine::ShowContext(const std::string& file, std::int64_t context)
{
    const auto index = ReadIndex(file);
    if (!index)
        return false;
    const std::optional<int> number = ContextNumber(context);
    const auto topic = number ? index->Map.find(*number) : index->Map.end();
    if (topic == index->Map.end()) {
        Prompts().ShowError(ContextMissingMessage(context, file));
        return false;
    }
    return ShowInWindow(file, *index, [&](THelpWindow& window) { return window.ShowTopic(topic->second); });
}

bool THelpViewerEngine::ShowContents(const std::string& file)
{
    const auto index = ReadIndex(file);
    return index && ShowInWindow(file, *index, [](THelpWindow& window) { return window.ShowContents(); });
}

bool THelpViewerEngine::ShowIndex(const std::string& file)
{
    const auto index = ReadIndex(file);
    if (!index)
        return false;
    return ShowInWindow(file, *index, [](THelpWindow& window) {
        window.ShowIndex();
        return true;
    });
}

bool THelpViewerEngine::ShowHelpOnHelp(const std::string& file)
{
    // The page lies in the help folder itself; the window keeps the file's title when it has one.
    const std::string folder = std::filesystem::path(file).parent_path().string();
    const std::string page = (folder.empty() ? std::string(".") : folder) + "/" + kHelpOnHelpPage;
    THelpIndex index = LoadHelpIndex(file).value_or(THelpIndex{});
    return ShowInWindow(file, index, [&](THelpWindow& window) { return window.ShowFile(page, kHelpOnHelpPage); });
}

bool THelpViewerEngine::ShowKeyword(const std::string& file, const char* keyword, bool partial)
{
    const auto index = ReadIndex(file);
    if (!index)
        return false;
    const auto topics = KeywordTopics(*index, keyword ? keyword : "", partial);
    return ShowInWindow(file, *index, [&](THelpWindow& window) {
        if (topics.size() == 1)
            return window.ShowTopic(topics.front());
        window.ShowIndex();
        return true;
    });
}

QPoint THelpViewerEngine::TakePopupPoint()
{
    const QPoint point = popupPoint_.value_or(QCursor::pos());
    popupPoint_.reset();
    return point;
}

bool THelpViewerEngine::ContextPopup(const std::string& file, std::int64_t context)
{
    const QPoint point = TakePopupPoint();
    const auto index = ReadIndex(file);
    if (!index)
        return false;
    if (index->Popups.empty()) {
        ShowPopup(kNoHelpText, point);
        return true;
    }
    // A number out of range has no pop-up: topic 0 never has one.
    return PopupFromFile(TopicPath(TopicFolderOf(file), index->Popups), ContextNumber(context).value_or(0), point);
}

bool THelpViewerEngine::PopupFromFile(const std::string& popupFile, int topic, QPoint point)
{
    std::string bytes;
    try {
        bytes = ReadFileBytes(popupFile);
    } catch (const std::exception&) {
        Prompts().ShowError(HelpFileMissingMessage(popupFile));
        return false;
    }
    const auto topics = ParsePopupTopics(bytes);
    const auto found = topics.find(topic);
    ShowPopup(found == topics.end() || topic == 0 ? std::string(kNoHelpText) : found->second, point);
    return true;
}

QWidget* THelpViewerEngine::ShowPopup(const std::string& text, QPoint point, const std::string& font)
{
    lastPopupText_ = text;
    lastPopupPoint_ = point;
    return THelpPopup::ShowText(text, point, THelpPopup::FontOf(font));
}

void InstallHelpViewerEngine()
{
    static THelpViewerEngine* engine = nullptr;
    if (!engine)
        engine = new THelpViewerEngine();  // lives as long as the program
    SetHelpEngine(engine);
}

}  // namespace velmoran
