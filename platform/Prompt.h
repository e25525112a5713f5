// Message boxes behind one replaceable service: the program asks through Prompts(), tests install
// one that records the questions and answers them.
#pragma once

#include <string>

namespace velmoran {

enum class MsgDlgType { Warning, Error, Information, Confirmation, Custom };

// Button set, combinable.
enum MsgDlgButton : unsigned {
    mbYes = 1u << 0,
    mbNo = 1u << 1,
    mbOK = 1u << 2,
    mbCancel = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
};

enum ModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
};

class PromptService {
public:
    virtual ~PromptService() = default;
    // Shows a message and returns the button chosen.
    virtual int MessageDlg(const std::string& text, MsgDlgType type, unsigned buttons) = 0;
    void ShowMessage(const std::string& text) { MessageDlg(text, MsgDlgType::Custom, mbOK); }
    void ShowError(const std::string& text) { MessageDlg(text, MsgDlgType::Error, mbOK); }
};

// The service in use; by default message boxes on screen.
PromptService& Prompts();
// Installs a service (not owned) and returns the previous one; nullptr restores the default.
PromptService* SetPromptService(PromptService* service);

}  // namespace velmoran
