// The scripted prompts of the widget tests: every message box the program shows is recorded and
// answered from a queue, so tests run without anyone at the screen.
#pragma once

#include "platform/Prompt.h"

#include <deque>
#include <string>
#include <vector>

namespace velmoran {

// Records every message and answers from a queue (mrOk, or the first button offered, when empty).
class ScriptedPromptService : public PromptService {
public:
    struct Message {
        std::string Text;
        MsgDlgType Type;
        unsigned Buttons;
    };

    ScriptedPromptService();
    ~ScriptedPromptService() override;
    int MessageDlg(const std::string& text, MsgDlgType type, unsigned buttons) override;

    void Answer(int result) { answers_.push_back(result); }
    const std::vector<Message>& Messages() const { return messages_; }

private:
    std::deque<int> answers_;
    std::vector<Message> messages_;
    PromptService* previous_;
};

}  // namespace velmoran
