// The main window's result pages: a page stack without tabs holding the screen result (a frame
// viewer fed by the report engine), the print result, the module's messages and the start page.
// Kept apart from the window because the viewers' event types share names with the controls'.
#pragma once

#include <string>

class QScrollArea;
class QStackedWidget;
class QWidget;

namespace velmoran {

class TFrameViewer;
class TPageViewer;

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

// Shows a file in the viewer (the start page).
void LoadPage(TPageViewer& viewer, const std::string& fileName);

}  // namespace velmoran
