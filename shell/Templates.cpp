// The screen and print templates; see Templates.h.
#include "shell/Templates.h"

#include "html/base/HtmlTokenizer.h"
#include "html/layout/HtmlParser.h"
#include "html/viewer/Frame.h"
#include "html/viewer/FrameSet.h"
#include "html/viewer/FrameViewer.h"
#include "html/viewer/PageViewer.h"
#include "platform/Prompt.h"
#include "platform/core/DocumentFile.h"
#include "platform/core/Text.h"
#include "shell/Folders.h"
#include "shell/ResultPages.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace velmoran {

namespace fs = std::filesystem;

namespace {

// The dialog that picks a screen (or else print) template.
FileDialogOptions TemplateDialog(bool screen)
{
    FileDialogOptions options;
    options.Title = screen ? "Bildschirmvorlage wählen" : "Druckvorlage wählen";
    options.Filter = std::string(screen ? "Bildschirmvorlagen (*.vst)|*.vst" : "Druckvorlagen (*.vpt)|*.vpt") +
                     "|HTML-Dateien (*.ht*)|*.htm; *.html|Alle Dateien (*.*)|*.*";
    if (screen)
        options.DefaultExt = "ht*";
    return options;
}

bool IsFile(const std::string& fileName)
{
    std::error_code error;
    return fs::is_regular_file(fileName, error);
}

constexpr const char* kScreenKind = TTemplates::kScreenKind;
constexpr const char* kPrintKind = TTemplates::kPrintKind;

std::string UnusableMessage(const char* kind, const std::string& fileName, const std::string& reason)
{
    return std::string("Die ") + kind + " " + Quoted(fileName) + " kann nicht verwendet werden. " + reason;
}

// The whole file, read before anything changes, so that a file that cannot be read keeps the old
// template; the reason in German.
std::string ReadTemplate(const char* kind, const std::string& fileName)
{
    try {
        return ReadDocumentFile(fileName, kPageLimit);
    } catch (const std::exception& error) {
        throw ETemplateError(UnusableMessage(kind, fileName, error.what()));
    }
}

// The file the frame "Main" of the viewer's frameset shows; empty when there is no such frame.
// Taken from the frame, which holds the file as it was found: a page viewer reports an absolute
// file below a server root with the root put in front once more.
std::string MainFrameFile(const TFrameViewer& viewer)
{
    const TfvFrame* main = viewer.GetFrameFromName("Main");
    return main ? main->SourceFile : std::string();
}

// The frame of the screen view that shows the template: "Main" of a frameset, else the view's one
// frame; null when there is none.
const TfvFrame* TemplateFrame(const TFrameViewer& viewer)
{
    if (const TfvFrame* main = viewer.GetFrameFromName("Main"))
        return main;
    const TFrameSet* top = viewer.TopSet();
    return top && top->Registry->AllFrames.size() == 1 ? top->Registry->AllFrames.front() : nullptr;
}

// A page the viewer could not show (the HTML parser rejects a comment left open) would leave an
// empty result page behind a template box that names it: it is refused, naming the reason.
void RefuseFailedPage(const TfvFrame* frame, const std::string& fileName)
{
    if (!frame || !frame->LoadFailure)
        return;
    try {
        std::rethrow_exception(frame->LoadFailure);
    } catch (const std::exception& error) {
        throw ETemplateError(UnusableMessage(kScreenKind, fileName, ViewerErrorText(error)));
    }
}

// The file of a frameset's frame "Main", which the results are made from.
std::string ReadMainFrame(const std::string& frameset, const std::string& main)
{
    try {
        return ReadDocumentFile(main, kPageLimit);
    } catch (const std::exception& error) {
        throw ETemplateError(UnusableMessage(
            kScreenKind, frameset,
            "Der Frame " + Quoted("Main") + " zeigt eine Datei, die sich nicht lesen lässt. " + error.what()));
    }
}

// A "Standard.vst" that is there but no file (a pipe, a folder, a link that leads nowhere) once
// put the program's own templates in place of the user's without a word.
void TellStandardIsNoFile(const std::string& standard, const std::string& programFolder)
{
    std::error_code error;
    if (!fs::exists(fs::symlink_status(standard, error)))
        return;
    const bool otherFolder = fs::path(standard).parent_path() != fs::path(WithoutSlash(programFolder));
    Prompts().ShowError(UnusableMessage(kScreenKind, standard, UnreadableReason(standard)) +
                        (otherFolder ? "\n\nStattdessen werden die Vorlagen aus " + Quoted(WithoutSlash(programFolder)) +
                                           " verwendet."
                                     : std::string()));
}

}  // namespace

std::string TTemplateList::Text() const
{
    if (ItemIndex < 0 || ItemIndex >= static_cast<int>(Items.size()))
        return {};
    return Items[static_cast<std::size_t>(ItemIndex)];
}

std::string TTemplateList::FileOf(int index) const
{
    if (index < 0 || index >= static_cast<int>(Files.size()))
        return {};
    return Files[static_cast<std::size_t>(index)];
}

void TTemplateList::Show(const std::string& fileName, const std::string& folder)
{
    const fs::path file(fileName);
    const bool inFolder = WithSlash(file.parent_path().string()) == folder;
    const std::string other = inFolder ? std::string() : fileName;
    int index = 0;
    for (; index < static_cast<int>(Items.size()); ++index)
        if (FileOf(index) == other && (!inFolder || Items[static_cast<std::size_t>(index)] == file.filename().string()))
            break;
    if (index == static_cast<int>(Items.size())) {
        Items.push_back(inFolder ? file.filename().string()
                                 : file.filename().string() + " – " + file.parent_path().string());
        Files.resize(Items.size());
        Files.back() = other;
    }
    ItemIndex = index;
}

std::vector<std::string> TemplateNames(const std::string& folder, const std::string& extension)
{
    std::vector<std::string> names;
    std::error_code error;
    const std::string wanted = LowerCase(extension);
    for (auto entry = fs::directory_iterator(folder, error); !error && entry != fs::directory_iterator();
         entry.increment(error)) {
        std::error_code fileError;
        if (entry->is_regular_file(fileError) && LowerCase(entry->path().extension().string()) == wanted)
            names.push_back(entry->path().filename().string());
    }
    // Sorted, not in the folder's order: Linux lists a folder in no useful order, and the choice
    // would change from one machine to the next.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string lowerA = LowerCase(a);
        const std::string lowerB = LowerCase(b);
        return lowerA != lowerB ? lowerA < lowerB : a < b;
    });
    return names;
}

TTemplates::TTemplates(std::string programFolder) : programFolder_(WithSlash(programFolder)) {}

void TTemplates::SetViewers(TFrameViewer* screenViewer, TPageViewer* printViewer)
{
    screenViewer_ = screenViewer;
    printViewer_ = printViewer;
}

void TTemplates::SetTemplateFolder(const std::string& folder)
{
    templateFolder_ = WithSlash(folder);
    if (!IsFile(templateFolder_ + kStandardScreen)) {
        TellStandardIsNoFile(templateFolder_ + kStandardScreen, programFolder_);
        templateFolder_ = programFolder_;
    }
    templateFolderNoSlash_ = WithoutSlash(templateFolder_);
    if (screenViewer_)
        screenViewer_->SetServerRoot(templateFolderNoSlash_);
    if (printViewer_)
        printViewer_->SetServerRoot(templateFolderNoSlash_);

    screenTemplates_ = {TemplateNames(templateFolder_, ".vst"), {}, -1};
    printTemplates_ = {TemplateNames(templateFolder_, ".vpt"), {}, -1};
    if (IsFile(templateFolder_ + kStandardScreen))
        LoadFirstUsable(screenTemplates_, kStandardScreen, kScreenKind,
                        [this](const std::string& file) { LoadScreenTemplate(file); },
                        [this] { ForgetScreenTemplate(); });
    if (IsFile(templateFolder_ + kStandardPrint))
        LoadFirstUsable(printTemplates_, kStandardPrint, kPrintKind,
                        [this](const std::string& file) { LoadPrintTemplate(file); },
                        [this] { ForgetPrintTemplate(); });
}

// A template that cannot be read must not end the program when it is met at start or at a change
// of module: the user hears which one and why, and works on with another.
void TTemplates::LoadFirstUsable(TTemplateList& list, const std::string& standard, const char* kind,
                                 const std::function<void(const std::string&)>& load,
                                 const std::function<void()>& forget)
{
    std::vector<std::string> candidates{standard};
    for (const std::string& name : list.Items)
        if (name != standard)
            candidates.push_back(name);
    std::string failures;
    for (const std::string& name : candidates) {
        try {
            load(templateFolder_ + name);
        } catch (const ETemplateError& error) {
            failures += (failures.empty() ? "" : "\n\n") + error.Message();
            continue;
        }
        if (!failures.empty())
            Prompts().ShowError(failures + "\n\nStattdessen wird die " + kind + " " + Quoted(name) + " verwendet.");
        return;
    }
    forget();
    list.ItemIndex = -1;
    Prompts().ShowError(failures + "\n\nEine andere verwendbare " + kind + " gibt es in " +
                        Quoted(templateFolderNoSlash_) + " nicht.");
}

void TTemplates::ForgetScreenTemplate()
{
    screenTemplateName_.clear();
    screenFile_.clear();
    screenTemplateStream_ = TMemoryStream();
    RestoreScreenViewer();
}

void TTemplates::ForgetPrintTemplate()
{
    printTemplateName_.clear();
    printTemplateStream_ = TMemoryStream();
}

std::string TTemplates::ShowInScreenViewer(const std::string& fileName)
{
    try {
        screenViewer_->LoadFromFile(fileName);
    } catch (const std::exception& error) {
        throw ETemplateError(UnusableMessage(kScreenKind, fileName, ViewerErrorText(error)));
    }
    if (!screenViewer_->TopSet() || screenViewer_->TopSet()->FramesetDocument.empty())
        return fileName;
    const std::string main = MainFrameFile(*screenViewer_);
    if (main.empty())
        throw ETemplateError(UnusableMessage(
            kScreenKind, fileName,
            "Sie ist in Frames geteilt, aber keiner davon heißt " + Quoted("Main") + ": dort stünden die Ergebnisse."));
    return main;
}

void TTemplates::RestoreScreenViewer()
{
    if (!screenViewer_)
        return;
    if (!screenFile_.empty()) {
        try {
            screenViewer_->LoadFromFile(screenFile_);
            return;
        } catch (const std::exception&) {
            // gone meanwhile: the viewer shows nothing rather than the template that failed
        }
    }
    if (TFrameSet* top = screenViewer_->TopSet())
        top->ClearSet();
}

void TTemplates::LoadScreenTemplate(const std::string& fileName)
{
    std::string bytes = ReadTemplate(kScreenKind, fileName);
    std::string shown = fileName;
    if (screenViewer_) {
        try {
            shown = ShowInScreenViewer(fileName);
            if (shown != fileName)
                bytes = ReadMainFrame(fileName, shown);
            RefuseFailedPage(TemplateFrame(*screenViewer_), fileName);
        } catch (...) {
            RestoreScreenViewer();
            throw;
        }
    }
    screenTemplateStream_ = TMemoryStream(bytes);
    screenTemplateName_ = shown;
    screenFile_ = fileName;
    screenTemplates_.Show(fileName, templateFolder_);
}

void TTemplates::LoadMainTemplate(const std::string& fileName)
{
    std::string bytes = ReadTemplate(kScreenKind, fileName);
    // Frames inside the frame of the results would hide them: a frameset takes the whole view, with
    // the checks of a template chosen in the box.
    if (IsFramesetDocument(bytes)) {
        LoadScreenTemplate(fileName);
        return;
    }
    if (TfvFrame* main = screenViewer_ ? screenViewer_->GetFrameFromName("Main") : nullptr) {
        main->Navigate(fileName, "", false);
        try {
            RefuseFailedPage(main, fileName);
        } catch (...) {
            main->Navigate(screenTemplateName_, "", false);
            throw;
        }
    }
    screenTemplateStream_ = TMemoryStream(std::move(bytes));
    screenTemplateName_ = fileName;
}

void TTemplates::LoadPrintTemplate(const std::string& fileName)
{
    std::string bytes = ReadTemplate(kPrintKind, fileName);
    // A print is one page: of a frameset only the frames' borders would be printed, with the
    // header and footer around them.
    if (IsFramesetDocument(bytes))
        throw ETemplateError(UnusableMessage(kPrintKind, fileName,
                                             "Sie ist in Frames geteilt, gedruckt wird aber eine einzelne Seite. "
                                             "Wählen Sie als Druckvorlage die Seite, die einer der Frames zeigt."));
    // A page the viewer cannot read would stop every print, preview and export made from it.
    if (printViewer_) {
        try {
            printViewer_->LoadDocumentString(bytes, fileName);
        } catch (const EParseError& error) {
            throw ETemplateError(UnusableMessage(kPrintKind, fileName, ViewerErrorText(error)));
        }
    }
    printTemplateStream_ = TMemoryStream(std::move(bytes));
    printTemplateName_ = fileName;
    printTemplates_.Show(fileName, templateFolder_);
}

std::string TTemplates::EntryFile(const TTemplateList& list) const
{
    if (std::string file = list.FileOf(list.ItemIndex); !file.empty())
        return file;
    const std::string entry = list.Text();
    return entry.empty() ? entry : templateFolder_ + entry;
}

void TTemplates::ChooseScreenEntry(int index)
{
    const int before = screenTemplates_.ItemIndex;
    screenTemplates_.ItemIndex = index;
    try {
        LoadShownScreenTemplate();
    } catch (...) {
        screenTemplates_.ItemIndex = before;
        throw;
    }
}

void TTemplates::ChoosePrintEntry(int index)
{
    const int before = printTemplates_.ItemIndex;
    printTemplates_.ItemIndex = index;
    try {
        LoadShownPrintTemplate();
    } catch (...) {
        printTemplates_.ItemIndex = before;
        throw;
    }
}

void TTemplates::LoadShownScreenTemplate()
{
    if (const std::string file = EntryFile(screenTemplates_); !file.empty())
        LoadScreenTemplate(file);
}

void TTemplates::LoadShownPrintTemplate()
{
    if (const std::string file = EntryFile(printTemplates_); !file.empty())
        LoadPrintTemplate(file);
}

std::optional<std::string> TTemplates::PickFile(FileDialogOptions options) const
{
    options.InitialDir = templateFolderNoSlash_;
    return Prompts().OpenFileDialog(options);
}

bool TTemplates::PickScreenTemplate()
{
    const auto file = PickFile(TemplateDialog(true));
    if (file)
        LoadScreenTemplate(*file);
    return file.has_value();
}

bool TTemplates::PickPrintTemplate()
{
    const auto file = PickFile(TemplateDialog(false));
    if (file)
        LoadPrintTemplate(*file);
    return file.has_value();
}

}  // namespace velmoran
