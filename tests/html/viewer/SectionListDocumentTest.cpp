// The viewer over the HTML library's document root: a page parsed by the real parser gives its
// title, base, META reports, anchors and link runs to the viewer.
#include "tests/support/TempFolder.h"
#include "tests/support/TestApp.h"
#include "html/layout/LinkFocus.h"
#include "html/viewer/PageViewer.h"
#include "html/viewer/SectionListDocument.h"
#include "platform/Clipboard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmoran {
namespace {

using testing::App;

TEST(SectionListViewer, ParsedPageReachesTheViewer)
{
    App();
    TPageViewer viewer;
    std::vector<std::string> metas;
    viewer.OnMeta = [&](TPageViewer*, const std::string& httpEq, const std::string& name, const std::string&) {
        metas.push_back(httpEq + "|" + name);
    };
    int delay = 0;
    std::string url;
    viewer.OnMetaRefresh = [&](TPageViewer*, int d, const std::string& u) {
        delay = d;
        url = u;
    };
    viewer.LoadDocumentString("<html><head><title>Ergebnis</title><base href=\"file:///srv/seiten/\">"
                              "<meta http-equiv=\"refresh\" content=\"5; URL=weiter.htm\">"
                              "<meta name=\"author\" content=\"x\"></head>"
                              "<body><a name=\"oben\">Start</a> <a href=\"b.htm\">Weiter</a> "
                              "<a href=\"#oben\">Hoch</a></body></html>");
    EXPECT_EQ(viewer.DocumentTitle(), u"Ergebnis");
    EXPECT_EQ(viewer.Base(), "file:///srv/seiten/");
    EXPECT_EQ(metas, (std::vector<std::string>{"refresh|", "|author"}));
    EXPECT_EQ(delay, 5);
    EXPECT_EQ(url, "weiter.htm");
    EXPECT_GT(viewer.Document().SectionCount(), 0);
    ASSERT_EQ(viewer.Document().LinkCount(), 2);
    EXPECT_EQ(viewer.Document().LinkUrl(0), "b.htm");
    EXPECT_EQ(viewer.ExpandFileName("b.htm"), "/srv/seiten/b.htm");
    int y = -1;
    EXPECT_TRUE(viewer.Document().FindAnchor("OBEN", y));
    EXPECT_TRUE(viewer.PositionToAnchor("#oben"));
    EXPECT_FALSE(viewer.PositionToAnchor("#unten"));
    EXPECT_EQ(viewer.Visited().front(), "#oben");
}

TEST(SectionListViewer, ClearEmptiesTheDocument)
{
    App();
    TPageViewer viewer;
    viewer.LoadDocumentString("<p>Text</p>");
    EXPECT_GT(viewer.Document().SectionCount(), 0);
    viewer.Clear();
    EXPECT_EQ(viewer.Document().SectionCount(), 0);
    EXPECT_EQ(viewer.Document().SelB(), -1);
}

// A page in the root folder has "/" as its base path: its linked style sheet is looked for there,
// and the page is shown whether or not the sheet exists (the URL helpers once failed on "/").
TEST(SectionListViewer, APageInTheRootFolderWithAStyleSheetIsShown)
{
    App();
    TPageViewer viewer;
    viewer.LoadDocumentString("<html><head><link rel=\"stylesheet\" href=\"fehlt-hier.css\"></head>"
                              "<body><p>Im Wurzelordner</p></body></html>",
                              "/seite.htm");
    EXPECT_EQ(viewer.GetCurrentFile(), "/seite.htm");
    EXPECT_GT(viewer.Document().SectionCount(), 0);
    EXPECT_GT(viewer.DocumentHeight(), 0);

    // The same through a BASE naming the root folder.
    viewer.LoadDocumentString("<base href=\"file:///\"><link rel=stylesheet href=\"../fehlt-hier.css\"><p>Basis</p>");
    EXPECT_EQ(viewer.Base(), "file:///");
    EXPECT_GT(viewer.Document().SectionCount(), 0);
}

// The point of a source position in the viewer's surface.
QPoint PointOf(TPageViewer& viewer, const std::string& source, const std::string& text)
{
    TViewerDocument& doc = viewer.Document();
    const int pos = doc.FindDocPos(static_cast<int>(source.find(text)), false);
    int x = 0, y = 0;
    EXPECT_TRUE(doc.CursorToXY(viewer.MeasureCanvas(), pos, x, y));
    return QPoint(x + 2, y - viewer.VScrollBarPosition() + 2);
}

TEST(SectionListViewer, LinksAndSelectionThroughTheLaidOutDocument)
{
    App();
    MemoryClipboard board;
    ScopedClipboard scoped(board);
    TPageViewer viewer;
    viewer.SetBorderStyle(THTMLBorderStyle::htNone);
    viewer.resize(500, 300);
    const std::string source = "<html><body><p>Vorher <a href=\"ziel.htm\" target=\"Main\">Verweis</a> nachher "
                               "und mehr Text</p></body></html>";
    viewer.LoadDocumentString(source);
    EXPECT_GT(viewer.DocumentHeight(), 0);

    std::vector<std::string> covered;
    viewer.OnHotSpotCovered = [&](TPageViewer*, const std::string& url) { covered.push_back(url); };
    const QPoint link = PointOf(viewer, source, "erweis");
    viewer.PanelMouseMove(Qt::NoButton, Qt::NoModifier, link.x(), link.y());
    EXPECT_EQ(covered, std::vector<std::string>{"ziel.htm"});
    EXPECT_EQ(viewer.HotSpotTarget(), "Main");
    EXPECT_EQ(viewer.LinkText(), u"Verweis");
    const QPoint plain = PointOf(viewer, source, "orher");
    viewer.PanelMouseMove(Qt::NoButton, Qt::NoModifier, plain.x(), plain.y());
    EXPECT_EQ(covered, (std::vector<std::string>{"ziel.htm", ""}));

    // Select "nachher und" with the mouse and copy it.
    const QPoint from = PointOf(viewer, source, "nachher");
    const QPoint to = PointOf(viewer, source, " mehr");
    viewer.PanelMouseDown(Qt::LeftButton, Qt::NoModifier, from.x() - 2, from.y());
    viewer.PanelMouseMove(Qt::LeftButton, Qt::NoModifier, to.x() - 2, to.y());
    viewer.PanelMouseUp(Qt::LeftButton, Qt::NoModifier, to.x() - 2, to.y());
    EXPECT_EQ(viewer.SelText(), u"nachher und");
    viewer.CopySelectionToClipboard();
    EXPECT_EQ(board.Text(), u"nachher und");
    const std::string data = board.HtmlFormat();
    const auto number = [&](const std::string& key) { return std::stol(data.substr(data.find(key) + key.size(), 8)); };
    EXPECT_EQ(data.substr(static_cast<std::size_t>(number("StartFragment:")),
                          static_cast<std::size_t>(number("EndFragment:") - number("StartFragment:"))),
              "nachher und");
}

// A double click (or a right click asking for its word) on the right half of a word's last letter
// means that word: the caret position there is the blank after it, which selected nothing (and
// Kopieren then copied nothing). A blank still means no word, on either half.
TEST(SectionListViewer, TheLastLetterOfAWordPicksTheWord)
{
    App();
    MemoryClipboard board;
    ScopedClipboard scoped(board);
    TPageViewer viewer;
    viewer.SetBorderStyle(THTMLBorderStyle::htNone);
    viewer.resize(500, 300);
    const std::string source = "<p>Die Belebung danach</p>";
    viewer.LoadDocumentString(source);
    const QPoint blank = PointOf(viewer, source, " danach");  // 2 pixels into the blank
    viewer.PanelDoubleClick(Qt::NoModifier, blank.x() - 3, blank.y());  // the "g", its right edge
    EXPECT_EQ(viewer.SelText(), u"Belebung");
    viewer.CopySelectionToClipboard();
    EXPECT_EQ(board.Text(), u"Belebung");
    std::u16string word;
    viewer.OnRightClick = [&](TPageViewer*, const TRightClickParameters& p) { word = p.ClickWord; };
    viewer.PanelMouseUp(Qt::RightButton, Qt::NoModifier, blank.x() - 3, blank.y());
    EXPECT_EQ(word, u"Belebung");
    const QPoint next = PointOf(viewer, source, "danach");
    for (int x : {blank.x() - 1, next.x() - 3}) {  // the blank's left and right half
        viewer.PanelDoubleClick(Qt::NoModifier, x, blank.y());
        EXPECT_EQ(viewer.SelText(), u"") << x;
    }
}

// A double click, or a right click asking for its word, in the free space of a table cell beside
// its text took the first word of the next cell ("Beta" beside "Alpha"), and past the end of a
// paragraph the next paragraph's: the position there is where the next text begins. Beside the
// text is a blank, which picks no word.
TEST(SectionListViewer, BesideTheTextIsABlank)
{
    App();
    TPageViewer viewer;
    viewer.SetBorderStyle(THTMLBorderStyle::htNone);
    viewer.resize(500, 300);
    const std::string source = "<table><tr><td width=250>Alpha</td><td>Beta</td></tr></table><p>Ende</p><p>Weiter</p>";
    viewer.LoadDocumentString(source);
    const QPoint alpha = PointOf(viewer, source, "Alpha");
    const QPoint ende = PointOf(viewer, source, "Ende");
    ASSERT_GT(PointOf(viewer, source, "Beta").x() - alpha.x(), 200);  // the point beside lies in the first cell
    std::u16string word = u"?";
    viewer.OnRightClick = [&](TPageViewer*, const TRightClickParameters& p) { word = p.ClickWord; };
    viewer.PanelDoubleClick(Qt::NoModifier, alpha.x(), alpha.y());
    EXPECT_EQ(viewer.SelText(), u"Alpha");
    for (const QPoint beside : {alpha + QPoint(150, 0), ende + QPoint(200, 0)}) {
        viewer.PanelDoubleClick(Qt::NoModifier, beside.x(), beside.y());
        EXPECT_EQ(viewer.SelText(), u"") << beside.x();
        viewer.PanelMouseUp(Qt::RightButton, Qt::NoModifier, beside.x(), beside.y());
        EXPECT_EQ(word, u"") << beside.x();
        word = u"?";
    }
}

// A link clicked with the mouse takes the keyboard focus where it stands, so that Tab and Enter go
// on from it (and the viewer takes the focus back when the page goes); the text of a link under the mouse keeps the point where it starts; a page the
// history goes back to reports its META refresh as a load does.
TEST(SectionListViewer, ClickedLinksTabOnAndHistoryMovesReportTheirRefresh)
{
    App();
    TPageViewer viewer;
    viewer.SetBorderStyle(THTMLBorderStyle::htNone);
    viewer.resize(500, 300);
    std::string source = "<p>Oben";
    for (int i = 0; i < 30; ++i)
        source += "<br>Zeile";
    source += "<br><a href=\"eins.htm\">Eins</a> <a href=\"zwei.htm\">Zwei</a>";
    for (int i = 0; i < 30; ++i)
        source += "<br>Zeile";
    viewer.LoadDocumentString(source);
    viewer.show();
    viewer.activateWindow();
    QApplication::processEvents();
    std::vector<std::string> followed;
    viewer.OnHotSpotClick = [&](TPageViewer*, const std::string& url, bool& handled) {
        followed.push_back(url);
        handled = true;
    };
    TViewerDocument& doc = viewer.Document();
    const auto pointOf = [&](const std::string& text) {
        int x = 0, y = 0;
        EXPECT_TRUE(doc.CursorToXY(viewer.MeasureCanvas(), doc.FindDocPos(static_cast<int>(source.find(text)), false), x, y));
        return QPoint(x, y);
    };
    // The links' line lies in the lowest 30 pixels of the view, where a link Tab goes to is
    // scrolled up to the middle; a clicked one stays where it was clicked.
    const QPoint eins = pointOf("Eins");
    viewer.SetVScrollBarPosition(eins.y() - viewer.PaintPanel()->height() + 8);
    const int top = viewer.VScrollBarPosition();
    ASSERT_GT(top, 0);
    viewer.PanelMouseDown(Qt::LeftButton, Qt::NoModifier, eins.x() + 3, eins.y() - 4 - top);
    viewer.PanelMouseUp(Qt::LeftButton, Qt::NoModifier, eins.x() + 3, eins.y() - 4 - top);
    const auto& links = static_cast<TSectionListDocument&>(doc).Sections().LinkList;
    ASSERT_EQ(links.size(), 2u);
    QWidget* first = links[0]->TabControl()->FocusWidget();
    QWidget* second = links[1]->TabControl()->FocusWidget();
    EXPECT_EQ(followed, std::vector<std::string>{"eins.htm"});
    EXPECT_EQ(QApplication::focusWidget(), first);
    EXPECT_EQ(viewer.VScrollBarPosition(), top);
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(QApplication::focusWidget(), &tab);
    QKeyEvent tabUp(QEvent::KeyRelease, Qt::Key_Tab, Qt::NoModifier);  // the document notes Tab held down
    QApplication::sendEvent(QApplication::focusWidget(), &tabUp);
    EXPECT_EQ(QApplication::focusWidget(), second);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(second, &enter);
    QApplication::processEvents();
    EXPECT_EQ(followed, (std::vector<std::string>{"eins.htm", "zwei.htm"}));
    // The page a link loads takes the place of the one whose link had the focus: the viewer keeps it.
    viewer.LoadDocumentString(source);
    EXPECT_EQ(QApplication::focusWidget(), &viewer);

    const QPoint zwei = pointOf("Zwei");
    viewer.PanelMouseMove(Qt::NoButton, Qt::NoModifier, zwei.x() + 3, zwei.y() - 4 - viewer.VScrollBarPosition());
    EXPECT_EQ(viewer.LinkText(), u"Zwei");
    EXPECT_EQ(viewer.RangeTextPoint(), QPoint(zwei.x(), zwei.y() - viewer.VScrollBarPosition()));

    testing::TempFolder folder;
    const std::string weiter = folder.WriteFile("weiter.htm", "<meta http-equiv=refresh content=\"3; url=ende.htm\">Weiter");
    const std::string still = folder.WriteFile("still.htm", "Still");
    viewer.SetHistoryMaxCount(5);
    viewer.LoadDocumentFile(weiter);
    viewer.LoadDocumentFile(still);
    std::vector<std::string> refreshed;
    viewer.OnMetaRefresh = [&](TPageViewer*, int delay, const std::string& url) {
        refreshed.push_back(std::to_string(delay) + " " + url);
    };
    viewer.SetHistoryIndex(1);
    ASSERT_EQ(viewer.GetCurrentFile(), weiter);
    viewer.SetHistoryIndex(0);
    EXPECT_EQ(refreshed, std::vector<std::string>{"3 ende.htm"});
}

// Copying leaves out the marks that stand for line breaks, images and controls: a BR ends its
// section, and the section's own line end is the copy's. Clear frees the animation timer, so
// that the next page's first frame waits its full first interval again.
TEST(SectionListViewer, CopiedTextAndTheAnimationTimerOfAClearedPage)
{
    App();
    MemoryClipboard board;
    ScopedClipboard scoped(board);
    TPageViewer viewer;
    viewer.resize(500, 300);
    viewer.LoadDocumentString("a<br><br>b");
    viewer.Document().SetSelection(0, 5);  // the lines "a ", the second BR's mark and "b "
    viewer.CopySelectionToClipboard();
    EXPECT_EQ(board.Text(), u"a\r\n\r\nb");
    EXPECT_EQ(viewer.SelText(), u"a\r\n\r\nb");
    EXPECT_EQ(viewer.SelLength(), 7);  // the line of the second BR holds its mark, which is counted

    const std::string page = "<p>Bild <img src=\"" + std::string(VELMORAN_TEST_DATA) + "/html/lauf.gif\"> hier";
    viewer.LoadDocumentString(page);
    viewer.Document().SetSelection(0, 11);  // "Bild ", the picture's mark, " hier"
    EXPECT_EQ(viewer.SelText(), u"Bild  hier");
    QPointer<QTimer> timer = viewer.AnimationTimer();
    ASSERT_NE(timer, nullptr);
    viewer.AnimationTimerTick();
    EXPECT_EQ(timer->interval(), 40);
    viewer.Clear();
    EXPECT_EQ(timer, nullptr);
    EXPECT_EQ(viewer.AnimationTimer(), nullptr);
    viewer.LoadDocumentString(page);
    ASSERT_NE(viewer.AnimationTimer(), nullptr);
    EXPECT_EQ(viewer.AnimationTimer()->interval(), 50);
}

}  // namespace
}  // namespace velmoran
