// The scripted prompts of the widget tests: every message box, file dialog and folder browser the
// program shows is recorded and answered from a queue, so tests run without anyone at the screen.
#pragma once

#include "platform/Prompt.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace velmoran {

// Records every message and answers from a queue (mrOk, or the first button offered, when empty);
// records every folder browser, every file dialog and every print dialog and answers each kind from a queue of its
// own (nothing when empty).
class ScriptedPromptService : public PromptService {
public:
    struct Message {
        std::string Text;
        MsgDlgType Type;
        unsigned Buttons;
    };
    struct FolderRequest {
        std::string Title;
        std::string StartFolder;
        BrowseFolderOptions Options;
    };

    struct FileRequest {
        bool Save;
        FileDialogOptions Options;
    };

    ScriptedPromptService();
    ~ScriptedPromptService() override;
    int MessageDlg(const std::string& text, MsgDlgType type, unsigned buttons) override;
    std::optional<std::string> BrowseFolder(const std::string& title, const std::string& startFolder,
                                            const BrowseFolderOptions& options) override;
    std::optional<std::string> OpenFileDialog(const FileDialogOptions& options) override;
    std::optional<std::string> SaveFileDialog(const FileDialogOptions& options) override;
    std::optional<PrintDialogAnswer> PrintDialog(const PrintDialogOptions& options) override;

    void Answer(int result) { answers_.push_back(result); }
    // The next folder browser answers this folder, or cancels with nothing.
    void AnswerFolder(std::optional<std::string> folder) { folderAnswers_.push_back(std::move(folder)); }
    // The next file dialog answers this file, or cancels with nothing.
    void AnswerFile(std::optional<std::string> file) { fileAnswers_.push_back(std::move(file)); }
    // The next print dialog answers this choice, or cancels with nothing.
    void AnswerPrint(std::optional<PrintDialogAnswer> answer) { printAnswers_.push_back(std::move(answer)); }
    const std::vector<PrintDialogOptions>& PrintRequests() const { return printRequests_; }
    const std::vector<Message>& Messages() const { return messages_; }
    // The texts of the messages from the `from`th on, one a line: what a failing check prints.
    std::string MessageTexts(std::size_t from = 0) const;
    const std::vector<FileRequest>& FileRequests() const { return fileRequests_; }
    const std::vector<FolderRequest>& FolderRequests() const { return folderRequests_; }

private:
    std::deque<int> answers_;
    std::vector<Message> messages_;
    std::deque<std::optional<std::string>> folderAnswers_;
    std::vector<FolderRequest> folderRequests_;
    std::deque<std::optional<std::string>> fileAnswers_;
    std::vector<FileRequest> fileRequests_;
    std::deque<std::optional<PrintDialogAnswer>> printAnswers_;
    std::vector<PrintDialogOptions> printRequests_;
    PromptService* previous_;
};

// The program's own dialogs on screen in place of the service in use, for the life of the object.
class ScreenPrompts {
public:
    ScreenPrompts() : previous_(SetPromptService(nullptr)) {}
    ~ScreenPrompts() { SetPromptService(previous_); }
    ScreenPrompts(const ScreenPrompts&) = delete;
    ScreenPrompts& operator=(const ScreenPrompts&) = delete;

private:
    PromptService* previous_;
};

}  // namespace velmoran
