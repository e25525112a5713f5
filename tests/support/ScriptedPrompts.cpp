// Recording and answering message boxes in tests.
#include "tests/support/ScriptedPrompts.h"

namespace velmoran {

ScriptedPromptService::ScriptedPromptService() : previous_(SetPromptService(this)) {}

ScriptedPromptService::~ScriptedPromptService()
{
    SetPromptService(previous_);
}

int ScriptedPromptService::MessageDlg(const std::string& text, MsgDlgType type, unsigned buttons)
{
    messages_.push_back({text, type, buttons});
    if (!answers_.empty()) {
        const int answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    if (buttons & mbOK)
        return mrOk;
    if (buttons & mbYes)
        return mrYes;
    return mrNone;
}

std::optional<std::string> ScriptedPromptService::BrowseFolder(const std::string& title, const std::string& startFolder,
                                                               const BrowseFolderOptions& options)
{
    folderRequests_.push_back({title, startFolder, options});
    if (folderAnswers_.empty())
        return std::nullopt;
    std::optional<std::string> answer = std::move(folderAnswers_.front());
    folderAnswers_.pop_front();
    return answer;
}

}  // namespace velmoran
