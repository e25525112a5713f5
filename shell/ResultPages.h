// The main window's result pages: a page stack without tabs holding the screen result (a frame
// viewer fed by the report engine), the print result, the module's messages and the start page.
// Kept apart from the window because the viewers' event types share names with the controls'.
#pragma once

#include <exception>
#include <functional>
#include <string>

class QScrollArea;
class QStackedWidget;
class QWidget;

namespace velmoran {

class TFrameViewer;
class TMemoryStream;
class TPageViewer;
class TReport;
class TStream;

struct TResultPages {
    QStackedWidget* pcResult = nullptr;
    QWidget* tsResultHTM = nullptr;
    QWidget* tsPrint = nullptr;
    QWidget* tsMessage = nullptr;
    QWidget* tsIntro = nullptr;
    TFrameViewer* ScreenViewer = nullptr;
    TPageViewer* ReportViewer = nullptr;
    // The scroll box the message label goes in.
    QScrollArea* sbMessages = nullptr;
    TPageViewer* IntroViewer = nullptr;
};

// The pages as children of parent, the viewers with their settings; the start page's pictures are
// found below the program folder.
TResultPages CreateResultPages(QWidget& parent, const std::string& programFolderNoSlash);

// Expands a template over the calculation into the output (emptied first, left at its start),
// the calculation's texts written in the code page the page made is read in and its includes
// read beside the template's file.
void ExpandTemplate(TReport& report, TMemoryStream& templateStream, const std::string& templateName,
                    TMemoryStream& output);

// Shows a file in the viewer (the start page).
void LoadPage(TPageViewer& viewer, const std::string& fileName);

// A page of results as the screen view showed it: its source, named as the template it was made
// from.
struct TResultPage {
    std::string Source;
    std::string TemplateFile;
};

// Loads a page made from a template into the viewer, named as the template (templateFile, of the
// kind TTemplates names). A page the viewer cannot read (a comment left open at its end, which may
// come of the calculation's values) raises ETemplateError naming the template and why.
void LoadMadePage(TPageViewer& viewer, TStream& page, const std::string& templateFile, const char* kind);

// The viewer the screen result goes into: that of frame "Main" when the screen template is a
// frameset, else the frame viewer's active (for a plain page its single) viewer; null when none.
TPageViewer* ResultFrameOf(const TFrameViewer& screen);
// Loads the document of the stream into the result frame, if there is one, named as the template
// it was made from (templateFile): its pictures, style sheets and links are found beside it. Where
// a link took the view (or its frame "Main") to another page, the view of the screen template
// (screenFile, a page or the frameset holding the template) comes back first, so that the
// calculation stays in reach. Empty names load the document as it is, into the view as it is.
// `shown` is the page of results shown before, and becomes the document once it is shown. A
// document the frame cannot show leaves `shown` in it (nothing where that is empty) and raises
// again; ETemplateError then also says whether the page before stays.
void LoadResult(TFrameViewer& screen, TStream& document, TResultPage& shown, const std::string& screenFile = {},
                const std::string& templateFile = {});
// The frames of the screen template's frameset (screenFile) back at the pages it names, where links
// took any of them elsewhere or to a page that failed; a view that is no frameset stays.
void ShowTemplateFrames(TFrameViewer& screen, const std::string& screenFile);
// Copies the result frame's selection to the clipboard.
void CopyResultSelection(const TFrameViewer& screen);
// The source of the document the result frame shows; empty without a result frame.
std::string ResultDocumentSource(const TFrameViewer& screen);

// What the window does with the pointer over and clicks on the links of its pages.
struct TResultLinks {
    // A click on a link of the start page, and of the screen result; handled keeps the viewer
    // from following it.
    std::function<void(const std::string& url, bool& handled)> Click;
    std::function<void(const std::string& url, bool& handled)> ScreenClick;
    // The pointer is over a link of the screen result.
    std::function<void(const std::string& url)> Covered;
    std::function<void()> RightClick;
};
void ConnectResultLinks(TFrameViewer& screen, TPageViewer& intro, TResultLinks links);

// What the user reads for an error: a load error of the viewers ("Can't locate file: …", "Can't
// load: …") in German, naming the file, and the parser's refusal of a comment left open in German;
// any other error's own text, as it stands.
std::string ViewerErrorText(const std::exception& error);
// The page a frame of the screen result shows for a source it cannot load, in German; any other
// page source stays as it is.
void GermanFrameErrorPage(std::string& source);

}  // namespace velmoran
