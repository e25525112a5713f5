// Recording and answering message boxes in tests.
#include "tests/support/ScriptedPrompts.h"

namespace velmoran {

namespace {

template <typename T>
std::optional<T> NextAnswer(std::deque<std::optional<T>>& answers)
{
    if (answers.empty())
        return std::nullopt;
    std::optional<T> answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

}  // namespace

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
    return NextAnswer(folderAnswers_);
}

std::optional<std::string> ScriptedPromptService::OpenFileDialog(const FileDialogOptions& options)
{
    fileRequests_.push_back({false, options});
    return NextAnswer(fileAnswers_);
}

std::optional<std::string> ScriptedPromptService::SaveFileDialog(const FileDialogOptions& options)
{
    fileRequests_.push_back({true, options});
    return NextAnswer(fileAnswers_);
}

std::optional<PrintDialogAnswer> ScriptedPromptService::PrintDialog(const PrintDialogOptions& options)
{
    printRequests_.push_back(options);
    return NextAnswer(printAnswers_);
}

std::string ScriptedPromptService::MessageTexts(std::size_t from) const
{
    std::string texts;
    for (std::size_t i = from; i < messages_.size(); ++i)
        texts += messages_[i].Text + "\n";
    return texts;
}

}  // namespace velmoran
