// The screen and print templates: the folder they are taken from (a module's template folder, or
// the program's own folder when that has no "Standard.vst"), the "*.vst" and "*.vpt" names the
// two template combo boxes offer, the templates loaded (file name and a memory copy each), and
// the choice of a template file through the file dialog.
#pragma once

#include "platform/Prompt.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Stream.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmoran {

class TFrameViewer;
class TPageViewer;

// What one template combo box holds: the names offered and the entry shown.
struct TTemplateList {
    std::vector<std::string> Items;
    // The file of each entry from another folder, by index (empty for a name of the template
    // folder, and for entries past its end).
    std::vector<std::string> Files;
    int ItemIndex = -1;

    // The entry shown; empty when none is.
    std::string Text() const;
    // The file entry `index` stands for, from another folder; empty for a name of the template
    // folder.
    std::string FileOf(int index) const;
    // Shows the file's entry: its bare name when it lies in `folder` (the template folder, with
    // its "/"), else its name first and its folder after it ("Zweit.vst – /home/u/Vorlagen"), so
    // that two such entries differ where a closed box shows them. An entry not there yet is added.
    void Show(const std::string& fileName, const std::string& folder);
};

// The file names (without folder) of the folder's files with that extension (compared in lower
// case), sorted without regard to case.
std::vector<std::string> TemplateNames(const std::string& folder, const std::string& extension);

// A template that cannot serve; the message (German) names it and says why.
class ETemplateError : public Exception {
public:
    using Exception::Exception;
};

class TTemplates {
public:
    static constexpr const char* kStandardScreen = "Standard.vst";
    static constexpr const char* kStandardPrint = "Standard.vpt";
    // The templates' kinds as messages name them.
    static constexpr const char* kScreenKind = "Bildschirmvorlage";
    static constexpr const char* kPrintKind = "Druckvorlage";

    explicit TTemplates(std::string programFolder);

    // The viewers whose server root follows the template folder, so that pictures and style
    // sheets of templates are found beside them; the screen viewer also loads screen templates.
    // Either may be null (not owned).
    void SetViewers(TFrameViewer* screenViewer, TPageViewer* printViewer);

    // Takes templates from the folder, or from the program folder when the folder has no
    // "Standard.vst" (one there that is no file is told); loads the standard templates there and lists the folder's templates. A
    // standard template that cannot serve is told in a message, and the next template of its list
    // that can is loaded instead; when none can, none is (an empty result page, nothing to print).
    void SetTemplateFolder(const std::string& folder);
    // Loads a screen template; a frameset whose frame "Main" shows a file makes that file the
    // template. Raises ETemplateError when the file or the file of frame "Main" cannot be read
    // whole, when a frameset has no frame "Main" for the results, or when the viewer cannot show
    // the page of the results (the HTML parser rejects it); the template loaded before then stays,
    // in the screen viewer as well.
    void LoadScreenTemplate(const std::string& fileName);
    // Raises ETemplateError for a file that cannot be read whole, for a frameset, which would
    // print as borders only, and for a page the print viewer cannot read (a comment left open);
    // the template before then stays.
    void LoadPrintTemplate(const std::string& fileName);
    // Makes a file the template of the screen view's frame "Main" (a link there to a template):
    // the view stays, the frame shows the file, and the report runs over it. A frameset takes the
    // whole view as LoadScreenTemplate does. Raises ETemplateError as LoadScreenTemplate does; the
    // template before then stays, and the frame shows it again (the result is to be shown anew).
    void LoadMainTemplate(const std::string& fileName);
    // The combo boxes' choice: shows entry `index` and loads it (see LoadShownTemplates). When it
    // cannot be loaded the list shows the entry before again.
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
    // Shows the template file in the screen viewer; null when there is no viewer. Raises when the
    // viewer cannot show it, or when it is a frameset without a frame "Main"; returns the file
    // of that frame, or the file itself for a page.
    std::string ShowInScreenViewer(const std::string& fileName);
    // The screen viewer shows the current template again, or nothing when there is none.
    void RestoreScreenViewer();
    // Loads the standard template of a list, or the first one after it that can be loaded; tells
    // the user about each one that cannot, and forgets the list's template when none can.
    void LoadFirstUsable(TTemplateList& list, const std::string& standard, const char* kind,
                         const std::function<void(const std::string&)>& load, const std::function<void()>& forget);
    void ForgetScreenTemplate();
    void ForgetPrintTemplate();
    // The file the user picks with these dialog options, starting in the template folder.
    std::optional<std::string> PickFile(FileDialogOptions options) const;

    std::string programFolder_;
    TFrameViewer* screenViewer_ = nullptr;
    TPageViewer* printViewer_ = nullptr;
    std::string templateFolder_;
    std::string templateFolderNoSlash_;
    // The file the screen view was set to: the template or its frameset.
    std::string screenFile_;
    std::string screenTemplateName_;
    std::string printTemplateName_;
    TMemoryStream screenTemplateStream_;
    TMemoryStream printTemplateStream_;
    TTemplateList screenTemplates_;
    TTemplateList printTemplates_;
};

}  // namespace velmoran
