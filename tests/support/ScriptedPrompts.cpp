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

}  // namespace velmoran
