// The screen and print templates; see Templates.h.
#include "shell/Templates.h"

#include "html/viewer/Frame.h"
#include "html/viewer/FrameSet.h"
#include "html/viewer/FrameViewer.h"
#include "html/viewer/PageViewer.h"
#include "platform/Prompt.h"
#include "platform/core/DocumentFile.h"
#include "platform/core/Text.h"
#include "shell/Folders.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace velmoran {

namespace fs = std::filesystem;

namespace {

const FileDialogOptions kScreenTemplateDialog{
    "Bildschirmvorlage wählen",
    "Bildschirmvorlagen (*.vst)|*.vst|HTML-Dateien (*.ht*)|*.htm; *.html|Alle Dateien (*.*)|*.*",
    "ht*",
    {},
    {},
};
const FileDialogOptions kPrintTemplateDialog{
    "Druckvorlage wählen",
    "Druckvorlagen (*.vpt)|*.vpt|HTML-Dateien (*.ht*)|*.htm; *.html|Alle Dateien (*.*)|*.*",
    {},
    {},
    {},
};

bool IsFile(const std::string& fileName)
{
    std::error_code error;
    return fs::is_regular_file(fileName, error);
}

// Reads the whole file before the stream changes, so that a read error keeps the old template.
void LoadStream(TMemoryStream& stream, const std::string& fileName)
{
    TMemoryStream loaded(ReadDocumentFile(fileName, kPageLimit));
    stream = std::move(loaded);
}

// The file the frame "Main" of the viewer's frameset shows; empty when there is no such frame.
// Taken from the frame, which holds the file as it was found: a page viewer reports an absolute
// file below a server root with the root put in front once more.
std::string MainFrameFile(const TFrameViewer& viewer)
{
    const TfvFrame* main = viewer.GetFrameFromName("Main");
    return main ? main->SourceFile : std::string();
}

}  // namespace

std::string TTemplateList::Text() const
{
    if (ItemIndex < 0 || ItemIndex >= static_cast<int>(Items.size()))
        return {};
    return Items[static_cast<std::size_t>(ItemIndex)];
}

void TTemplateList::Show(const std::string& fileName, const std::string& folder)
{
    const fs::path file(fileName);
    const bool inFolder = WithSlash(file.parent_path().string()) == folder;
    const std::string entry = inFolder ? file.filename().string() : fileName;
    auto found = std::find(Items.begin(), Items.end(), entry);
    if (found == Items.end())
        found = Items.insert(Items.end(), entry);
    ItemIndex = static_cast<int>(found - Items.begin());
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
    if (!IsFile(templateFolder_ + kStandardScreen))
        templateFolder_ = programFolder_;
    templateFolderNoSlash_ = WithoutSlash(templateFolder_);
    if (screenViewer_)
        screenViewer_->SetServerRoot(templateFolderNoSlash_);
    if (printViewer_)
        printViewer_->SetServerRoot(templateFolderNoSlash_);

    screenTemplates_ = {TemplateNames(templateFolder_, ".vst"), -1};
    printTemplates_ = {TemplateNames(templateFolder_, ".vpt"), -1};
    if (IsFile(templateFolder_ + kStandardScreen))
        LoadScreenTemplate(templateFolder_ + kStandardScreen);
    if (IsFile(templateFolder_ + kStandardPrint))
        LoadPrintTemplate(templateFolder_ + kStandardPrint);
}

void TTemplates::LoadScreenTemplate(const std::string& fileName)
{
    std::string shown = fileName;
    if (screenViewer_) {
        screenViewer_->LoadFromFile(fileName);
        if (const std::string main = MainFrameFile(*screenViewer_); !main.empty())
            shown = main;
    }
    LoadStream(screenTemplateStream_, shown);
    screenTemplateName_ = shown;
    screenFile_ = fileName;
    screenTemplates_.Show(fileName, templateFolder_);
}

void TTemplates::LoadMainTemplate(const std::string& fileName)
{
    LoadStream(screenTemplateStream_, fileName);
    screenTemplateName_ = fileName;
}

void TTemplates::LoadPrintTemplate(const std::string& fileName)
{
    LoadStream(printTemplateStream_, fileName);
    printTemplateName_ = fileName;
    printTemplates_.Show(fileName, templateFolder_);
}

std::string TTemplates::EntryFile(const TTemplateList& list) const
{
    const std::string entry = list.Text();
    if (entry.empty() || fs::path(entry).is_absolute())
        return entry;
    return templateFolder_ + entry;
}

void TTemplates::ChooseScreenEntry(int index)
{
    screenTemplates_.ItemIndex = index;
    LoadShownScreenTemplate();
}

void TTemplates::ChoosePrintEntry(int index)
{
    printTemplates_.ItemIndex = index;
    LoadShownPrintTemplate();
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
    const auto file = PickFile(kScreenTemplateDialog);
    if (file)
        LoadScreenTemplate(*file);
    return file.has_value();
}

bool TTemplates::PickPrintTemplate()
{
    const auto file = PickFile(kPrintTemplateDialog);
    if (file)
        LoadPrintTemplate(*file);
    return file.has_value();
}

}  // namespace velmoran
