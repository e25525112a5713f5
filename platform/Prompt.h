// Message boxes, the file dialogs and the folder browser behind one replaceable service: the program asks through
// Prompts(), tests install one that records the questions and answers them.
#pragma once

#include "platform/GdiTypes.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

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

// How the folder browser is shown.
struct BrowseFolderOptions {
    // Hides the button that makes a new folder (the browser then offers no way to change the file
    // system).
    bool NoNewFolderButton = false;
    // Where the shown browser goes: given its size and the rectangle of the screen it is on, the
    // top-left corner in screen coordinates; nothing (or no function) keeps the desktop's place.
    std::function<std::optional<TPoint>(TSize dialog, const TRect& screen)> Place;
};

// What a file dialog is opened with.
struct FileDialogOptions {
    std::string Title;
    // Pairs of description and patterns, all separated by "|", the patterns of one pair by ";":
    // "Druckvorlagen (*.vpt)|*.vpt|Alle Dateien (*.*)|*.*".
    std::string Filter;
    // Added to a typed name without extension (a pattern such as "ht*" adds nothing).
    std::string DefaultExt;
    std::string InitialDir;
    // The file name proposed.
    std::string FileName;
    // For a save: why a chosen name is refused (German, naming it), or nothing. The refusal is
    // said while the dialog stays open for another name, before any question about replacing a
    // file of that name.
    std::function<std::optional<std::string>(const std::string&)> Refusal;
    // For a save: whether the dialog asks before a file that is there is replaced; off where the
    // caller asks itself, so that the user is asked once.
    bool ConfirmOverwrite = true;
};

// What the print dialog is opened with: the page range offered (all pages, or from-to within
// MinPage..MaxPage when page numbers are selectable) and, for the PDF printer of a machine
// without a printer, the file proposed.
struct PrintDialogOptions {
    int MinPage = 1;
    int MaxPage = 9999;
    int FromPage = 1;
    int ToPage = 1;
    bool PageNumbersSelectable = true;
    std::optional<std::string> PdfFileName;
};

// The user's choice in the print dialog.
struct PrintDialogAnswer {
    bool AllPages = true;
    int FromPage = 1;
    int ToPage = 9999;
    // The file the PDF printer writes into (empty when printing on a printer).
    std::string PdfFileName;
};

// Why a page range chosen in the print dialog holds no page (German), or nothing when it holds
// one: a "von" page behind its "bis" page is refused, neither printed alone nor swapped unasked.
std::optional<std::string> PageRangeRefusal(const PrintDialogAnswer& answer);

// The PDF file a print dialog's answer names: the file proposed when the field was left empty; a
// name without a folder, or with a relative one, in the folder of the file proposed, which is the
// folder the field showed (the program's working folder is nothing the user sees).
std::string ChosenPdfFileName(const PrintDialogOptions& options, const PrintDialogAnswer& answer);

// The file dialog's name filters of a "description|pattern" filter: each description with its
// patterns, taken from the pattern part, in parentheses ("Alle Dateien (*)"; "*.*" matches every
// file, as it does where the filters come from).
std::vector<std::string> NameFilters(const std::string& filter);

class PromptService {
public:
    virtual ~PromptService() = default;
    // Shows a message and returns the button chosen.
    virtual int MessageDlg(const std::string& text, MsgDlgType type, unsigned buttons) = 0;
    void ShowMessage(const std::string& text) { MessageDlg(text, MsgDlgType::Custom, mbOK); }
    void ShowError(const std::string& text) { MessageDlg(text, MsgDlgType::Error, mbOK); }
    // Lets the user pick a folder, starting at startFolder; the folder chosen, or nothing when the
    // user cancelled. A service without a browser answers nothing.
    virtual std::optional<std::string> BrowseFolder(const std::string& title, const std::string& startFolder,
                                                    const BrowseFolderOptions& options);
    // Lets the user pick an existing file to open, or a file to save to; the file chosen, or
    // nothing when the user cancelled. A service without dialogs answers nothing.
    virtual std::optional<std::string> OpenFileDialog(const FileDialogOptions& options);
    virtual std::optional<std::string> SaveFileDialog(const FileDialogOptions& options);
    // The print dialog; nothing when the user cancelled. A service without dialogs answers nothing.
    virtual std::optional<PrintDialogAnswer> PrintDialog(const PrintDialogOptions& options);
};

// The save dialog on screen (the screen service shows it).
std::optional<std::string> RunSaveFileDialog(const FileDialogOptions& options);
// The print dialog on screen (the screen service shows it).
std::optional<PrintDialogAnswer> RunPrintDialog(const PrintDialogOptions& options);

// The service in use; by default message boxes on screen.
PromptService& Prompts();
// Installs a service (not owned) and returns the previous one; nullptr restores the default.
PromptService* SetPromptService(PromptService* service);

}  // namespace velmoran
