// The result pages: the refresh of the result frame and of the messages page, and copying from
// the result frame. (The viewers' event types share names with the controls', so this file
// keeps to the viewers.)
#include "tests/shell/CalculationFixture.h"

#include "controls/HtmlLabel.h"
#include "html/viewer/FrameViewer.h"
#include "html/viewer/PageViewer.h"
#include "html/viewer/ViewerDocument.h"
#include "platform/Clipboard.h"
#include "platform/core/Text.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollArea>
#include <QStackedWidget>

using namespace velmoran;
using velmoran::testing::ExpandedPage;

namespace {

class ResultPages : public velmoran::testing::CalculationFixture {};

TEST_F(ResultPages, TheRefreshFillsTheResultFrameOrTheMessagesPage)
{
    TMainForm& window = Form();
    EXPECT_TRUE(window.pcResult->isHidden());
    window.OpenCalculationFile(Example());
    EXPECT_FALSE(window.pcResult->isHidden());
    EXPECT_EQ(window.ResultFrame(), window.ScreenViewer->GetActiveViewer());
    EXPECT_EQ(Page(), ExpandedPage("Standard.vst", Example()));

    // The design module has no messages.
    window.ResultMessages = {"alt"};
    window.ViewMessagesExecute();
    EXPECT_EQ(window.pcResult->currentWidget(), window.tsMessage);
    EXPECT_TRUE(window.ResultMessages.empty());
    window.ViewResultExecute();
    EXPECT_EQ(window.pcResult->currentWidget(), window.tsResultHTM);
    EXPECT_EQ(Page(), ExpandedPage("Standard.vst", Example()));
}

// A long message is read without scrolling sideways: the label takes the scroll area's width and
// wraps its text into lines.
TEST_F(ResultPages, TheMessagesLabelIsAsWideAsItsPageAndWraps)
{
    TMainForm& window = Form(Example());
    window.resize(640, 480);
    window.show();
    window.pcResult->setCurrentWidget(window.tsMessage);
    std::string words;
    for (int i = 0; i < 60; ++i)
        words += "Meldung ";
    window.MsgAll->SetHTMLText(words);
    QApplication::processEvents();
    EXPECT_EQ(window.MsgAll->width(), window.sbMessages->viewport()->width());
    EXPECT_GT(window.MsgAll->height(), 3 * window.MsgAll->fontMetrics().height());
}

TEST_F(ResultPages, CopyTakesTheSelectionOfTheResultFrame)
{
    MemoryClipboard clipboard;
    ScopedClipboard scoped(clipboard);
    TMainForm& window = Form(Example());
    window.resize(800, 600);
    TPageViewer* frame = window.ResultFrame();
    ASSERT_NE(frame, nullptr);
    frame->Document().SetSelection(0, 40);
    ASSERT_FALSE(frame->SelText().empty());
    window.EditCopyExecute();
    EXPECT_EQ(clipboard.Text(), frame->SelText());
}

// A project name that looks like a link is shown as the name it is: the page gets no link from
// it, in either place the name stands.
TEST_F(ResultPages, ValuesFromTheCalculationAreTextInThePage)
{
    TMainForm& window = Form(Example());
    window.resize(800, 600);
    const std::string hostile = "<a href=\"FILESAVE /tmp/x\">Weiter</a>";
    window.ImportValues(files.WriteFile("name.csv", "Projekt;" + hostile + "\n"));
    window.RefreshResultPage();
    EXPECT_FALSE(Contains(Page(), "<a href=\"FILESAVE"));
    EXPECT_FALSE(Contains(Page(), hostile));
    const std::string escaped = "&lt;a href=&quot;FILESAVE /tmp/x&quot;&gt;Weiter&lt;/a&gt;";
    const std::size_t first = Page().find(escaped);
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(Page().find(escaped, first + 1), std::string::npos);
    TPageViewer* frame = window.ResultFrame();
    ASSERT_NE(frame, nullptr);
    frame->Document().SetSelection(0, 100000);
    EXPECT_TRUE(Contains(QString::fromStdU16String(frame->SelText()).toStdString(), hostile));
}

// The print viewer and the start page draw no frame, focused or not, and keep no history; the
// print viewer sets preformatted text in Arial as the rest, underlines no link and prints table
// backgrounds; the start page sets it in Tahoma and takes no option.
TEST(ResultPageViewers, PrintAndStartPageTakeTheirFrameFontsAndOptions)
{
    velmoran::testing::App();
    QWidget window;
    window.resize(600, 400);
    TResultPages pages = CreateResultPages(window, "/");
    pages.pcResult->resize(600, 400);
    window.show();
    velmoran::testing::Activate(window);
    for (TPageViewer* viewer : {pages.ReportViewer, pages.IntroViewer}) {
        pages.pcResult->setCurrentWidget(viewer->parentWidget());
        viewer->LoadDocumentString("<p>Text</p><pre>Vorformatiert</pre>");
        viewer->setFocus();
        QApplication::processEvents();
        ASSERT_TRUE(viewer->hasFocus());
        EXPECT_FALSE(viewer->BorderPanel()->isVisible()) << viewer->objectName().toStdString();
        EXPECT_EQ(viewer->PaintPanel()->pos(), QPoint(0, 0));
        EXPECT_EQ(viewer->HistoryMaxCount(), 0);
    }
    EXPECT_EQ(pages.ReportViewer->Document().PreFontName(), "Arial");
    EXPECT_EQ(pages.ReportViewer->htOptions(), (TPageViewerOptions{htNoLinkUnderline, htPrintTableBackground}));
    EXPECT_EQ(pages.IntroViewer->Document().PreFontName(), "Tahoma");
    EXPECT_EQ(pages.IntroViewer->htOptions(), TPageViewerOptions{});
}

}  // namespace
