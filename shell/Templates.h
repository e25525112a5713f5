// The screen and print templates: the folder they are taken from (a module's template folder, or
// the program's own folder when that has no "Standard.vst"), the "*.vst" and "*.vpt" names the
// two template combo boxes offer, the templates loaded (file name and a memory copy each), and
// the choice of a template file through the file dialog.
#pragma once

#include "platform/Prompt.h"
#include "platform/core/Stream.h"

#include <optional>
#include <string>
#include <vector>

namespace velmoran {

class TFrameViewer;
class TPageViewer;

// What one template combo box holds: the names offered and the entry shown.
struct TTemplateList {
    std::vector<std::string> Items;
    int ItemIndex = -1;

    // The entry shown; empty when none is.
    std::string Text() const;
    // Shows the file's entry: its bare name when it lies in `folder` (the template folder, with
    // its "/"), else its full name. An entry not there yet is added.
    void Show(const std::string& fileName, const std::string& folder);
};

// The file names (without folder) of the folder's files with that extension (compared in lower
// case), sorted without regard to case.
std::vector<std::string> TemplateNames(const std::string& folder, const std::string& extension);

class TTemplates {
public:
    static constexpr const char* kStandardScreen = "Standard.vst";
    static constexpr const char* kStandardPrint = "Standard.vpt";

    explicit TTemplates(std::string programFolder);

    // The viewers whose server root follows the template folder, so that pictures and style
    // sheets of templates are found beside them; the screen viewer also loads screen templates.
    // Either may be null (not owned).
    void SetViewers(TFrameViewer* screenViewer, TPageViewer* printViewer);

    // Takes templates from the folder, or from the program folder when the folder has no
    // "Standard.vst"; loads the standard templates there and lists the folder's templates.
    void SetTemplateFolder(const std::string& folder);
    // Loads a screen template; a frameset whose frame "Main" shows a file makes that file the
    // template. A file that cannot be read raises its load error; the template loaded before
    // then stays.
    void LoadScreenTemplate(const std::string& fileName);
    void LoadPrintTemplate(const std::string& fileName);
    // Makes a file the template of the screen view's frame "Main" (a link there to a template):
    // the view stays; the report runs over that file.
    void LoadMainTemplate(const std::string& fileName);
    // The combo boxes' choice: shows entry `index` and loads it (see LoadShownTemplates).
    void ChooseScreenEntry(int index);
    void ChoosePrintEntry(int index);
    // Loads the entries the two lists show: a name from the template folder, an entry holding a
    // full path as it stands. A list that shows nothing loads nothing, and its template stays.
    void LoadShownScreenTemplate();
    void LoadShownPrintTemplate();
    // Lets the user pick a screen or print template file and loads it; false when cancelled.
    bool PickScreenTemplate();
    bool PickPrintTemplate();

    const std::string& TemplateFolder() const { return templateFolder_; }
    const std::string& TemplateFolderNoSlash() const { return templateFolderNoSlash_; }
    const std::string& ScreenTemplateName() const { return screenTemplateName_; }
    // The file the screen view shows: the screen template, or the frameset that holds it.
    const std::string& ScreenFile() const { return screenFile_; }
    const std::string& PrintTemplateName() const { return printTemplateName_; }
    TMemoryStream& ScreenTemplateStream() { return screenTemplateStream_; }
    TMemoryStream& PrintTemplateStream() { return printTemplateStream_; }
    const TTemplateList& ScreenTemplates() const { return screenTemplates_; }
    const TTemplateList& PrintTemplates() const { return printTemplates_; }

private:
    std::string EntryFile(const TTemplateList& list) const;
    // The file the user picks with these dialog options, starting in the template folder.
    std::optional<std::string> PickFile(FileDialogOptions options) const;

    std::string programFolder_;
    TFrameViewer* screenViewer_ = nullptr;
    TPageViewer* printViewer_ = nullptr;
    std::string templateFolder_;
    std::string templateFolderNoSlash_;
    std::string screenFile_;
    std::string screenTemplateName_;
    std::string printTemplateName_;
    TMemoryStream screenTemplateStream_;
    TMemoryStream printTemplateStream_;
    TTemplateList screenTemplates_;
    TTemplateList printTemplates_;
};

}  // namespace velmoran
