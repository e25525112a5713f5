// Tests of the frame viewer: a frameset document with the frame "Main", nested framesets, link
// targets, the error page, META refresh in a frame, history, dragged borders and the source hooks.
#include "tests/support/DialogScript.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestApp.h"
#include "html/layout/SectionList.h"
#include "html/viewer/FrameViewer.h"
#include "html/viewer/SectionListDocument.h"
#include "platform/core/Stream.h"

#include <QApplication>
#include <QLineEdit>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTimer>

#include "tests/html/viewer/PrintPagesText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>

namespace velmoran {
namespace {

using testing::App;
using testing::TempFolder;

// Makes the application before the fixture's widgets.
struct WithApp {
    WithApp() { App(); }
};

class FrameTest : public ::testing::Test, private WithApp {
protected:
    // Without the frameset's bevel, so that the frames share exactly the window's 600 pixels.
    FrameTest()
    {
        TFrameViewerOptions options = viewer_.fvOptions();
        options.Include(fvNoBorder);
        viewer_.SetfvOptions(options);
        viewer_.resize(600, 400);
        viewer_.show();
    }
    std::string Write(const std::string& name, const std::string& text) { return dir_.WriteFile(name, text); }
    // The frames of the document shown (the frames of replaced documents go later).
    std::size_t FrameCount() const
    {
        const auto panels = viewer_.TopSet()->findChildren<QFrame*>();
        return static_cast<std::size_t>(
            std::count_if(panels.begin(), panels.end(), [](QFrame* p) { return dynamic_cast<TfvFrame*>(p) != nullptr; }));
    }
    TempFolder dir_;
    TFrameViewer viewer_;
};

TEST_F(FrameTest, AServerRootAppliesToLinksNotToTheFilesLoaded)
{
    Write("ergebnis.htm", "<p>Ergebnis</p>");
    Write("unten.htm", "<p>Unten</p>");
    const std::string set = Write("set.htm", "<frameset rows=\"*,40\"><frame name=Main src=\"ergebnis.htm\">"
                                             "<frame name=Fuss src=\"/unten.htm\"></frameset>");
    viewer_.SetServerRoot(dir_.Folder());
    viewer_.LoadFromFile(set);
    TPageViewer* main = viewer_.GetViewerFromName("Main");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->GetCurrentFile(), dir_ / "ergebnis.htm");
    // "/unten.htm" is a link below the root.
    TPageViewer* foot = viewer_.GetViewerFromName("Fuss");
    ASSERT_NE(foot, nullptr);
    EXPECT_EQ(foot->GetCurrentFile(), dir_ / "unten.htm");
    main->LoadDocumentFile(dir_ / "unten.htm");
    EXPECT_EQ(main->GetCurrentFile(), dir_ / "unten.htm");
}

// A link in a frame that writes a file's "%" as "%25" names the file of that name: its escapes
// were read once for the link and once more for the frame's page ("100%2541" named "100A").
TEST_F(FrameTest, ALinkInAFrameReadsItsEscapesOnce)
{
    Write("menue.htm", "<p>Men\xFC</p>");
    Write("start.htm", "<p>Start</p>");
    viewer_.LoadFromFile(Write("set.htm", "<frameset cols=\"*,*\"><frame name=Menue src=menue.htm>"
                                          "<frame name=Main src=start.htm></frameset>"));
    TPageViewer* main = viewer_.GetViewerFromName("Main");
    ASSERT_NE(main, nullptr);
    main->OnActivate(main);
    EXPECT_EQ(viewer_.ExpandLinkName("100%2541.htm"), dir_ / "100%41.htm");
}

TEST_F(FrameTest, FrameMainIsFoundByName)
{
    Write("menu.htm", "<p>Men\xFC</p>");
    Write("start.htm", "<p>Start</p>");
    const std::string set = Write("set.htm", "<html><head><title>Rahmen</title></head>"
                                             "<frameset cols=\"150,*\"><frame name=menu src=\"menu.htm\">"
                                             "<frame NAME=\"Main\" src=\"start.htm\"></frameset></html>");
    viewer_.LoadFromFile(set);
    EXPECT_EQ(viewer_.DocumentTitle(), u"Rahmen");
    EXPECT_EQ(viewer_.GetFrameCount(), 2);
    TPageViewer* main = viewer_.GetViewerFromName("main");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main, viewer_.GetViewerFromName("MAIN"));
    EXPECT_EQ(main->GetCurrentFile(), dir_ / "start.htm");
    EXPECT_EQ(viewer_.GetViewerFromName("fehlt"), nullptr);
    EXPECT_EQ(viewer_.GetActiveViewer(), nullptr);  // two frames and none active yet

    // A result page streamed into the frame "Main".
    TMemoryStream stream;
    const std::string page = "<title>Ergebnis</title><p>Werte</p>";
    stream.WriteBuffer(page.data(), static_cast<std::int64_t>(page.size()));
    stream.SetPosition(0);
    main->LoadDocumentStream(stream);
    EXPECT_EQ(main->DocumentTitle(), u"Ergebnis");

    // The columns: 150 pixels, and the rest.
    TPageViewer* menu = viewer_.GetViewerFromName("menu");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->parentWidget()->width(), 150);
    EXPECT_EQ(main->parentWidget()->width(), 450);
}

TEST_F(FrameTest, NestedFramesetsWithMixedSizes)
{
    Write("a.htm", "a");
    Write("b.htm", "b");
    Write("c.htm", "c");
    const std::string set = Write("set.htm", "<frameset rows=\"100,*\" border=2><frame name=kopf src=a.htm>"
                                             "<frameset cols=\"25%,*,2*\"><frame name=links src=b.htm>"
                                             "<frame name=mitte src=c.htm><frame name=rechts src=c.htm>"
                                             "</frameset></frameset>");
    viewer_.LoadFromFile(set);
    EXPECT_EQ(viewer_.GetFrameCount(), 4);
    auto frameOf = [&](const char* name) { return viewer_.GetViewerFromName(name)->parentWidget()->geometry(); };
    EXPECT_EQ(frameOf("kopf").height(), 100);
    EXPECT_EQ(frameOf("links").width(), 150);
    EXPECT_EQ(frameOf("mitte").width(), 150);
    EXPECT_EQ(frameOf("rechts").width(), 300);
}

TEST_F(FrameTest, MissingFilesAndTheErrorPage)
{
    EXPECT_THROW(viewer_.LoadFromFile(dir_ / "fehlt.htm"), EfvLoadError);
    try {
        viewer_.LoadFromFile(dir_ / "fehlt.htm");
    } catch (const EfvLoadError& e) {
        EXPECT_EQ(e.Message(), "Can't locate file: " + (dir_ / "fehlt.htm"));
    }
    const std::string set = Write("set.htm", "<frameset rows=\"*\"><frame name=x src=\"nicht&lt;da.htm\"></frameset>");
    viewer_.LoadFromFile(set);
    TPageViewer* x = viewer_.GetViewerFromName("x");
    ASSERT_NE(x, nullptr);
    const std::string& source = x->DocumentSource();
    EXPECT_NE(source.find("Can't load "), std::string::npos);
    EXPECT_NE(source.find("nicht&lt;da.htm"), std::string::npos);
    EXPECT_EQ(source.find("nicht<da"), std::string::npos);
}

// A frameset of 16 frames each src the set itself.
std::string SelfLoadingSet(const std::string& self)
{
    std::string text = "<frameset cols=\"*,*,*,*,*,*,*,*,*,*,*,*,*,*,*,*\">";
    for (int i = 0; i < 16; ++i)
        text += "<frame src=\"" + self + "\">";
    return text + "</frameset>";
}

TEST_F(FrameTest, FramesLoadingTheirOwnFramesetStayEmpty)
{
    // Every frame names the document that holds it (under other spellings too): 16 empty frames
    // instead of 16 to the fourth.
    Write("sub/x.htm", "x");
    const std::string set = Write("set.htm", SelfLoadingSet("sub/../set.htm"));
    viewer_.LoadFromFile(set);
    EXPECT_EQ(FrameCount(), 16u);
    EXPECT_EQ(viewer_.GetFrameCount(), 0);

    // Two documents that load each other: the second one's frames stay empty.
    Write("a.htm", "<frameset rows=\"*,*\"><frame src=b.htm><frame src=x.htm></frameset>");
    Write("x.htm", "<p>x</p>");
    Write("b.htm", "<frameset cols=\"*,*\"><frame name=zurueck src=./a.htm><frame name=seite src=x.htm></frameset>");
    viewer_.LoadFromFile(dir_ / "a.htm");
    EXPECT_EQ(FrameCount(), 4u);
    EXPECT_EQ(viewer_.GetFrameCount(), 2);  // the two frames that show x.htm
    EXPECT_EQ(viewer_.GetViewerFromName("zurueck"), nullptr);
    EXPECT_NE(viewer_.GetViewerFromName("seite"), nullptr);
}

TEST_F(FrameTest, ATopDocumentHoldsAtMostAThousandFrames)
{
    // Four levels of 16 frames each would be 69,904 frames.
    const char* const levels[] = {"a.htm", "b.htm", "c.htm", "d.htm"};
    for (int level = 0; level < 4; ++level) {
        std::string text = "<frameset cols=\"*,*,*,*,*,*,*,*,*,*,*,*,*,*,*,*\">";
        for (int i = 0; i < 16; ++i)
            text += level < 3 ? std::string("<frame src=") + levels[level + 1] + ">" : std::string("<frame>");
        Write(levels[level], text + "</frameset>");
    }
    viewer_.LoadFromFile(dir_ / "a.htm");
    const auto frames = FrameCount();
    EXPECT_GE(frames, TFrameViewer::kMaxFrames);
    EXPECT_LE(frames, TFrameViewer::kMaxFrames + 20);
}

TEST_F(FrameTest, TargetsChooseTheFrame)
{
    Write("menu.htm", "menu");
    Write("start.htm", "start");
    Write("ziel.htm", "ziel");
    const std::string single = Write("single.htm", "einzeln");
    const std::string set = Write("set.htm", "<frameset cols=\"100,*\"><frame name=menu src=menu.htm>"
                                             "<frame name=Main src=start.htm></frameset>");
    viewer_.LoadFromFile(set);
    TPageViewer* menu = viewer_.GetViewerFromName("menu");
    std::string gotTarget, gotUrl;
    viewer_.OnHotSpotTargetClick = [&](TFrameViewer*, const std::string& target, const std::string& url, bool&) {
        gotTarget = target;
        gotUrl = url;
    };
    bool handled = false;
    viewer_.FollowTarget(menu, "ziel.htm", "main", handled);
    EXPECT_TRUE(handled);
    EXPECT_EQ(gotTarget, "main");
    EXPECT_EQ(viewer_.GetViewerFromName("Main")->GetCurrentFile(), dir_ / "ziel.htm");
    EXPECT_EQ(viewer_.GetViewerFromName("menu")->GetCurrentFile(), dir_ / "menu.htm");

    // _self (and no target) load into the clicked frame.
    handled = false;
    viewer_.FollowTarget(menu, "start.htm", "_self", handled);
    EXPECT_EQ(viewer_.GetViewerFromName("menu")->GetCurrentFile(), dir_ / "start.htm");

    // An unknown name without a blank-window handler does nothing.
    handled = false;
    viewer_.FollowTarget(menu, "ziel.htm", "neu", handled);
    EXPECT_EQ(viewer_.GetCurrentFile(), set);

    // _top replaces the whole frameset.
    handled = false;
    viewer_.FollowTarget(viewer_.GetViewerFromName("menu"), "single.htm", "_top", handled);
    QApplication::processEvents();
    EXPECT_EQ(viewer_.GetCurrentFile(), single);
    EXPECT_EQ(viewer_.GetFrameCount(), 1);
    EXPECT_EQ(viewer_.GetActiveViewer()->GetCurrentFile(), single);
    EXPECT_EQ(viewer_.GetViewerFromName("main"), nullptr);
}

TEST_F(FrameTest, ParentTargetReplacesTheNestedFrameset)
{
    Write("a.htm", "a");
    Write("b.htm", "b");
    Write("inner.htm", "<frameset rows=\"*,*\"><frame name=eins src=a.htm><frame name=zwei src=b.htm></frameset>");
    const std::string set =
        Write("set.htm", "<frameset cols=\"*,*\"><frame name=aussen src=a.htm><frame name=innen src=inner.htm></frameset>");
    viewer_.LoadFromFile(set);
    EXPECT_EQ(viewer_.GetFrameCount(), 3);
    TPageViewer* eins = viewer_.GetViewerFromName("eins");
    ASSERT_NE(eins, nullptr);
    bool handled = false;
    viewer_.FollowTarget(eins, "b.htm", "_parent", handled);
    QApplication::processEvents();
    EXPECT_EQ(viewer_.GetViewerFromName("eins"), nullptr);
    EXPECT_EQ(viewer_.GetViewerFromName("aussen")->GetCurrentFile(), dir_ / "a.htm");
    EXPECT_EQ(viewer_.GetCurrentFile(), set);
}

TEST_F(FrameTest, CoveredBlankWindowAndActiveViewer)
{
    Write("a.htm", "a");
    Write("b.htm", "b");
    const std::string set = Write("set.htm", "<frameset rows=\"*,*\"><frame name=oben src=a.htm>"
                                             "<frame name=unten src=b.htm></frameset>");
    viewer_.LoadFromFile(set);
    TPageViewer* oben = viewer_.GetViewerFromName("oben");
    TPageViewer* unten = viewer_.GetViewerFromName("unten");
    ASSERT_TRUE(oben && unten);
    std::string coveredUrl = "-";
    viewer_.OnHotSpotTargetCovered = [&](TFrameViewer*, const std::string&, const std::string& url) { coveredUrl = url; };
    oben->OnHotSpotCovered(oben, "");
    EXPECT_EQ(coveredUrl, "");

    std::string blankTarget;
    viewer_.OnBlankWindowRequest = [&](TFrameViewer*, const std::string& target, const std::string&) {
        blankTarget = target;
    };
    bool handled = false;
    viewer_.FollowTarget(oben, "b.htm", "_blank", handled);
    EXPECT_TRUE(handled);
    EXPECT_EQ(blankTarget, "_blank");
    EXPECT_EQ(oben->GetCurrentFile(), dir_ / "a.htm");

    unten->OnActivate(unten);
    EXPECT_EQ(viewer_.GetActiveViewer(), unten);
    EXPECT_EQ(viewer_.ExpandLinkName("c.htm"), dir_ / "c.htm");
}

TEST_F(FrameTest, HistoryBackAndForwardAcrossFrames)
{
    Write("menu.htm", "menu");
    Write("start.htm", "start");
    Write("ziel.htm", "ziel");
    const std::string other = Write("anders.htm", "anders");
    const std::string set = Write("set.htm", "<frameset cols=\"100,*\"><frame name=menu src=menu.htm>"
                                             "<frame name=Main src=start.htm></frameset>");
    viewer_.SetHistoryMaxCount(5);
    int changes = 0;
    viewer_.OnHistoryChange = [&](TFrameViewer*) { ++changes; };
    viewer_.LoadFromFile(set);
    EXPECT_EQ(viewer_.History().size(), 1u);
    EXPECT_FALSE(viewer_.BackButtonEnabled());

    // A frame that navigates keeps the step in its own history.
    bool handled = false;
    viewer_.FollowTarget(viewer_.GetViewerFromName("menu"), "ziel.htm", "Main", handled);
    EXPECT_EQ(viewer_.History().size(), 1u);
    EXPECT_TRUE(viewer_.BackButtonEnabled());

    viewer_.LoadFromFile(other);
    QApplication::processEvents();
    EXPECT_EQ(viewer_.History().size(), 2u);
    EXPECT_EQ(viewer_.GetCurrentFile(), other);

    viewer_.SetHistoryPos(1);  // back: the frameset with "ziel.htm" in Main
    QApplication::processEvents();
    EXPECT_EQ(viewer_.GetCurrentFile(), set);
    ASSERT_NE(viewer_.GetViewerFromName("main"), nullptr);
    EXPECT_EQ(viewer_.GetViewerFromName("main")->GetCurrentFile(), dir_ / "ziel.htm");
    EXPECT_TRUE(viewer_.FwdButtonEnabled());
    // The frames of a frameset that was left start their histories again with what they showed.
    EXPECT_FALSE(viewer_.BackButtonEnabled());

    viewer_.SetHistoryPos(0);  // forward to the newest view
    QApplication::processEvents();
    EXPECT_EQ(viewer_.GetCurrentFile(), other);
    EXPECT_GE(changes, 4);

    viewer_.SetHistoryMaxCount(0);
    EXPECT_TRUE(viewer_.History().empty());
    EXPECT_FALSE(viewer_.FwdButtonEnabled());
    EXPECT_FALSE(viewer_.BackButtonEnabled());
}

TEST_F(FrameTest, MetaRefreshInAFrame)
{
    Write("weiter.htm", "<title>Weiter</title>weiter");
    Write("erst.htm", "<meta http-equiv=refresh content=\"0; url=weiter.htm\">erst");
    Write("menu.htm", "menu");
    const std::string set = Write("set.htm", "<frameset cols=\"*,*\"><frame name=menu src=menu.htm>"
                                             "<frame name=Main src=erst.htm></frameset>");
    viewer_.SetfvOptions({fvMetaRefresh, fvPrintTableBackground});
    viewer_.LoadFromFile(set);
    EXPECT_EQ(viewer_.GetViewerFromName("main")->GetCurrentFile(), dir_ / "erst.htm");
    // The refresh comes after a second; a busy machine may take longer, so the wait ends with it.
    const auto refreshed = [&] { return viewer_.GetViewerFromName("main")->GetCurrentFile() != dir_ / "erst.htm"; };
    for (int waited = 0; waited < 10000 && !refreshed(); waited += 50) {
        QEventLoop wait;
        QTimer::singleShot(50, &wait, &QEventLoop::quit);
        wait.exec();
    }
    EXPECT_EQ(viewer_.GetViewerFromName("main")->GetCurrentFile(), dir_ / "weiter.htm");
    EXPECT_EQ(viewer_.GetCurrentFile(), set);
}

// A mouse event sent to a widget at a point of its own.
void Mouse(QWidget* widget, QEvent::Type type, QPoint at)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Presses on a frame's border at a point, drags to another point and lets go.
void Drag(QWidget* frame, QPoint from, QPoint to)
{
    Mouse(frame, QEvent::MouseButtonPress, from);
    Mouse(frame, QEvent::MouseMove, to);
    Mouse(frame, QEvent::MouseButtonRelease, to);
}

TEST_F(FrameTest, BordersAreDraggedUnlessLocked)
{
    Write("a.htm", "a");
    Write("b.htm", "b");
    Write("c.htm", "c");
    const std::string set = Write("set.htm", "<frameset cols=\"50%,50%\"><frame name=links src=a.htm>"
                                             "<frame name=rechts src=b.htm></frameset>");
    viewer_.LoadFromFile(set);
    QWidget* left = viewer_.GetViewerFromName("links")->parentWidget();
    QWidget* right = viewer_.GetViewerFromName("rechts")->parentWidget();
    ASSERT_EQ(left->width(), 300);

    // Over the line the cursor shows the split; away from it, not.
    Mouse(left, QEvent::MouseMove, QPoint(298, 200));
    EXPECT_EQ(left->cursor().shape(), Qt::SplitHCursor);

    Drag(left, QPoint(298, 200), QPoint(148, 200));
    EXPECT_EQ(left->width(), 148);
    EXPECT_EQ(right->width(), 452);
    EXPECT_EQ(right->x(), 148);
    // The dragged sizes keep their proportions when the window changes.
    viewer_.resize(300, 400);
    EXPECT_EQ(left->width(), 74);
    EXPECT_EQ(right->width(), 226);
    viewer_.resize(600, 400);

    // Dragged far outside, the line stops one pixel inside the frameset: no negative sizes.
    Drag(right, QPoint(1, 200), QPoint(-5000, 200));
    EXPECT_EQ(left->width(), 1);
    EXPECT_EQ(right->width(), 599);
    Drag(right, QPoint(1, 200), QPoint(9000, 200));
    EXPECT_EQ(left->width(), 599);
    EXPECT_EQ(right->width(), 1);

    // NORESIZE keeps both lines of the frame in place.
    const std::string locked = Write("locked.htm", "<frameset rows=\"100,*,100\"><frame src=a.htm>"
                                                   "<frame name=mitte src=b.htm noresize><frame src=c.htm></frameset>");
    viewer_.LoadFromFile(locked);
    QWidget* middle = viewer_.GetViewerFromName("mitte")->parentWidget();
    ASSERT_EQ(middle->height(), 200);
    Drag(middle, QPoint(300, 1), QPoint(300, 50));
    Drag(middle, QPoint(300, 198), QPoint(300, 250));
    EXPECT_EQ(middle->height(), 200);
    EXPECT_EQ(middle->y(), 100);
    Mouse(middle, QEvent::MouseMove, QPoint(300, 1));
    EXPECT_NE(middle->cursor().shape(), Qt::SplitVCursor);
}

// Pixel entries wider than the window are scaled down, and a frame can be left with nothing. A line
// two pixels from its neighbour (or the window's edge) can move only to the one place one pixel
// inside both, whichever way it is dragged: each of the two frames gets one pixel.
TEST_F(FrameTest, ALineTwoPixelsFromItsNeighbourMovesToTheMiddle)
{
    Write("a.htm", "a");
    // 598 and 2 fill the 600 pixels; the "*" frame at the right edge gets none.
    const std::string right = Write("rechts.htm", "<frameset cols=\"598,2,*\"><frame name=eins src=a.htm>"
                                                  "<frame name=zwei src=a.htm><frame name=drei src=a.htm></frameset>");
    viewer_.LoadFromFile(right);
    QWidget* two = viewer_.GetViewerFromName("zwei")->parentWidget();
    QWidget* three = viewer_.GetViewerFromName("drei")->parentWidget();
    ASSERT_EQ(two->width(), 2);
    ASSERT_EQ(three->width(), 0);
    Drag(two, QPoint(2, 200), QPoint(-300, 200));
    EXPECT_EQ(viewer_.GetViewerFromName("eins")->parentWidget()->width(), 598);
    EXPECT_EQ(two->width(), 1);
    EXPECT_EQ(three->width(), 1);
    EXPECT_EQ(three->x(), 599);

    // 1, 4 and 1000 pixels in 600, rounded: 1 x 600 / 1005 = 0.6 -> 1, 4 x 600 / 1005 = 2.4 -> 2,
    // 1000 x 600 / 1005 = 597.0 -> 597. The line after the first frame lies between the window's
    // edge and the next line, three pixels apart: dragged left it stays one pixel inside the edge,
    // dragged right it stops one pixel before the next line.
    const std::string left = Write("links.htm", "<frameset cols=\"1,4,1000\"><frame name=eins src=a.htm>"
                                                "<frame name=zwei src=a.htm><frame name=drei src=a.htm></frameset>");
    for (const int to : {-300, 300}) {
        viewer_.LoadFromFile(left);
        QWidget* one = viewer_.GetViewerFromName("eins")->parentWidget();
        two = viewer_.GetViewerFromName("zwei")->parentWidget();
        ASSERT_EQ(one->width(), 1);
        ASSERT_EQ(two->width(), 2);
        ASSERT_EQ(viewer_.GetViewerFromName("drei")->parentWidget()->width(), 597);
        Drag(two, QPoint(0, 200), QPoint(to, 200));
        EXPECT_EQ(one->width(), to < 0 ? 1 : 2) << to;
        EXPECT_EQ(two->width(), to < 0 ? 2 : 1) << to;
        EXPECT_EQ(viewer_.GetViewerFromName("drei")->parentWidget()->width(), 597) << to;
    }
}

// The same frameset loaded again is built anew from its list: a line dragged before is forgotten,
// and when the window changes, its frames take the sizes of a frameset that was never dragged.
TEST_F(FrameTest, AFramesetLoadedAgainAfterADragForgetsTheDrag)
{
    Write("a.htm", "a");
    Write("b.htm", "b");
    const std::string set = Write("set.htm", "<frameset cols=\"100,*\"><frame name=links src=a.htm>"
                                             "<frame name=rechts src=b.htm></frameset>");
    TFrameViewer neverDragged;
    neverDragged.resize(600, 400);
    neverDragged.show();
    neverDragged.LoadFromFile(set);

    viewer_.LoadFromFile(set);
    Drag(viewer_.GetViewerFromName("links")->parentWidget(), QPoint(98, 200), QPoint(248, 200));
    ASSERT_EQ(viewer_.GetViewerFromName("links")->parentWidget()->width(), 248);
    viewer_.LoadFromFile(set);
    QApplication::processEvents();
    QWidget* left = viewer_.GetViewerFromName("links")->parentWidget();
    QWidget* right = viewer_.GetViewerFromName("rechts")->parentWidget();
    EXPECT_EQ(left->width(), 100);
    EXPECT_EQ(right->width(), 500);
    for (const int width : {300, 900, 600}) {
        viewer_.resize(width, 400);
        neverDragged.resize(width, 400);
        const QWidget* expected = neverDragged.GetViewerFromName("links")->parentWidget();
        EXPECT_EQ(left->width(), expected->width()) << width;
        EXPECT_EQ(right->x(), expected->width()) << width;
        EXPECT_EQ(left->width() + right->width(), width) << width;
    }
}

TEST_F(FrameTest, NestedBorderMovesBetweenItsNeighbours)
{
    Write("a.htm", "a");
    const std::string set = Write("set.htm", "<frameset rows=\"100,*\"><frame name=kopf src=a.htm>"
                                             "<frameset cols=\"200,200,*\"><frame name=eins src=a.htm>"
                                             "<frame name=zwei src=a.htm><frame name=drei src=a.htm>"
                                             "</frameset></frameset>");
    viewer_.LoadFromFile(set);
    QWidget* one = viewer_.GetViewerFromName("eins")->parentWidget();
    QWidget* two = viewer_.GetViewerFromName("zwei")->parentWidget();
    QWidget* three = viewer_.GetViewerFromName("drei")->parentWidget();
    // The line between the second and third frame cannot pass the one before it.
    Drag(two, QPoint(two->width() - 2, 100), QPoint(-400, 100));
    EXPECT_EQ(one->width(), 200);
    EXPECT_EQ(two->width(), 1);
    EXPECT_EQ(three->width(), 399);
    // The top edge of a nested frame drags the outer rows line.
    QWidget* head = viewer_.GetViewerFromName("kopf")->parentWidget();
    Drag(one, QPoint(100, 1), QPoint(100, -100));
    EXPECT_EQ(head->height(), 1);  // stops one pixel below the top
    EXPECT_GE(one->height(), 0);
}

TEST_F(FrameTest, SourcesComeFromTheApplication)
{
    const std::string set = Write("set.htm", "<frameset cols=\"*,*\"><frame name=menu src=\"menu\">"
                                             "<frame name=Main src=\"start\"></frameset>");
    std::vector<std::string> asked;
    const std::vector<std::string> menu{"<title>Men\xFC</title>", "<a href=\"ergebnis\" target=Main>Ergebnis</a>"};
    const std::vector<std::string> start{"<title>Start</title><p>Start</p>"};
    const std::vector<std::string> result{"<title>Ergebnis</title><p>Werte</p>"};
    viewer_.OnStringsRequest = [&](TFrameViewer*, const std::string& src, const std::vector<std::string>*& strings) {
        asked.push_back(src);
        if (src == "menu")
            strings = &menu;
        else if (src == "start")
            strings = &start;
        else if (src == "ergebnis")
            strings = &result;
    };
    viewer_.LoadFromFile(set);
    // Names are handed over as written: neither made into paths nor tested for existence.
    EXPECT_NE(std::find(asked.begin(), asked.end(), "menu"), asked.end());
    TPageViewer* main = viewer_.GetViewerFromName("main");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->DocumentTitle(), u"Start");

    // A link from the menu frame into "Main" comes through the same hook.
    bool handled = false;
    viewer_.FollowTarget(viewer_.GetViewerFromName("menu"), "ergebnis", "Main", handled);
    QApplication::processEvents();
    EXPECT_TRUE(handled);
    main = viewer_.GetViewerFromName("main");
    EXPECT_EQ(main->DocumentTitle(), u"Ergebnis");

    // Reload asks again; the frame shows what the application supplies now.
    const std::vector<std::string> changed{"<title>Neu</title><p>neu</p>"};
    viewer_.OnStringsRequest = [&](TFrameViewer*, const std::string& src, const std::vector<std::string>*& strings) {
        strings = src == "ergebnis" ? &changed : &menu;
    };
    viewer_.Reload();
    EXPECT_EQ(viewer_.GetViewerFromName("main")->DocumentTitle(), u"Neu");

    // The frame names tell which edges of the whole area each frame reaches.
    const auto& names = viewer_.GetFrameNames();
    ASSERT_EQ(names.size(), 2u);
    std::map<TPageViewer*, std::string> byViewer;
    for (const auto& [e, v] : names)
        byViewer[v] = e;
    EXPECT_EQ(byViewer[viewer_.GetViewerFromName("menu")], "ltb");
    EXPECT_EQ(byViewer[viewer_.GetViewerFromName("main")], "trb");
}

TEST_F(FrameTest, TheFirstAssignedSourceHookDecides)
{
    const std::string page = Write("seite.htm", "<title>Datei</title>datei");
    const std::string set = Write("set.htm", "<frameset rows=\"*,*\"><frame name=oben src=\"oben\">"
                                             "<frame name=unten src=\"" + page + "\"></frameset>");
    const std::string text = "<title>Puffer</title>puffer";
    viewer_.OnBufferRequest = [&](TFrameViewer*, const std::string& src, const char*& buffer, int& size) {
        if (src == "oben") {
            buffer = text.data();
            size = static_cast<int>(text.size());
        }
    };
    std::string renamed = Write("anders.htm", "<title>Anders</title>anders");
    viewer_.OnFileRequest = [&](TFrameViewer*, const std::string&, std::string& name) { name = renamed; };
    viewer_.LoadFromFile(set);
    // The buffer hook comes first; what it leaves alone is read from the file.
    EXPECT_EQ(viewer_.GetViewerFromName("oben")->DocumentTitle(), u"Puffer");
    EXPECT_EQ(viewer_.GetViewerFromName("unten")->DocumentTitle(), u"Datei");

    // A stream is read whole, wherever its position stands.
    viewer_.OnBufferRequest = nullptr;
    TMemoryStream stream;
    const std::string streamed = "<title>Strom</title>strom";
    stream.WriteBuffer(streamed.data(), static_cast<std::int64_t>(streamed.size()));
    viewer_.OnStreamRequest = [&](TFrameViewer*, const std::string& src, TStream*& s) {
        if (src == "oben")
            s = &stream;
    };
    viewer_.Reload();
    EXPECT_EQ(viewer_.GetViewerFromName("oben")->DocumentTitle(), u"Strom");
    // Only the file hook left: it names another file.
    viewer_.OnStreamRequest = nullptr;
    viewer_.Reload();
    EXPECT_EQ(viewer_.GetViewerFromName("oben")->DocumentTitle(), u"Anders");
}

// Lines "Zeile 0" .. "Zeile n-1", one per line: a page that scrolls.
using test::Lines;

std::string NameOf(const std::string& path)
{
    return path.substr(path.find_last_of('/') + 1);
}

// The first edit of a frame's form.
// The edit of the page's first form control (made when asked for), or null for none.
QLineEdit* EditOf(TPageViewer* viewer)
{
    if (!viewer)
        return nullptr;
    const auto& controls = static_cast<TSectionListDocument&>(viewer->Document()).Sections().FormControlList;
    return controls.empty() ? nullptr : qobject_cast<QLineEdit*>(controls.front()->GetWinControl());
}

// Settings made on the frame viewer reach every frame's viewer: those there are when the setting
// is made, and those made later (a frameset loaded afterwards, a frame that navigates to a nested
// frameset).
TEST_F(FrameTest, SettingsReachEveryFrameBeforeAndAfterALoad)
{
    Write("a.htm", "a");
    Write("b.htm", "b");
    Write("inner.htm", "<frameset rows=\"*,*\"><frame name=eins src=a.htm><frame name=zwei src=b.htm></frameset>");
    const std::string set =
        Write("set.htm", "<frameset cols=\"*,*\"><frame name=links src=a.htm><frame name=rechts src=b.htm></frameset>");
    const auto settingsOf = [](TPageViewer& v) {
        return std::make_tuple(v.DefPreFontName(), v.DefFontColor(), v.DefHotSpotColor(), v.DefVisitedLinkColor(),
                               v.DefOverLinkColor(), v.ViewImages(), v.ImageCacheCount(), v.PrintMarginLeft,
                               v.PrintMarginRight, v.PrintMarginTop, v.PrintMarginBottom, v.PrintScale(), v.CharSet(),
                               v.ViewerCursor());
    };
    const auto expectEveryFrame = [&](const auto& expected, const char* when) {
        ASSERT_GT(viewer_.GetFrameCount(), 0) << when;
        for (int i = 0; i < viewer_.GetFrameCount(); ++i)
            EXPECT_EQ(settingsOf(*viewer_.GetFrame(i)), expected) << when << ", frame " << i;
    };

    viewer_.SetDefPreFontName("Arial");
    viewer_.SetDefFontColor(0x112233);
    viewer_.SetDefHotSpotColor(0x0000FF);
    viewer_.SetDefVisitedLinkColor(0x00FF00);
    viewer_.SetDefOverLinkColor(0x00FFFF);
    viewer_.SetViewImages(false);
    viewer_.SetImageCacheCount(7);
    viewer_.SetPrintMarginLeft(1.0);
    viewer_.SetPrintMarginRight(1.5);
    viewer_.SetPrintMarginTop(2.5);
    viewer_.SetPrintMarginBottom(3.0);
    viewer_.SetPrintScale(1.5);
    viewer_.SetCharSet(238);
    viewer_.SetViewerCursor(Qt::ArrowCursor);
    viewer_.LoadFromFile(set);
    expectEveryFrame(std::make_tuple(std::string("Arial"), ColorRef(0x112233), ColorRef(0x0000FF), ColorRef(0x00FF00),
                                     ColorRef(0x00FFFF), false, 7, 1.0, 1.5, 2.5, 3.0, 1.5, 238, Qt::ArrowCursor),
                     "before the load");

    viewer_.SetDefPreFontName("Courier New");
    viewer_.SetDefFontColor(0x445566);
    viewer_.SetDefHotSpotColor(0x010203);
    viewer_.SetDefVisitedLinkColor(0x040506);
    viewer_.SetDefOverLinkColor(0x070809);
    viewer_.SetViewImages(true);
    viewer_.SetImageCacheCount(50);  // at most 20
    viewer_.SetPrintMarginLeft(0.5);
    viewer_.SetPrintMarginRight(0.6);
    viewer_.SetPrintMarginTop(0.7);
    viewer_.SetPrintMarginBottom(0.8);
    viewer_.SetPrintScale(9.0);  // at most 4
    viewer_.SetCharSet(1);
    viewer_.SetViewerCursor(Qt::PointingHandCursor);
    const auto after = std::make_tuple(std::string("Courier New"), ColorRef(0x445566), ColorRef(0x010203),
                                       ColorRef(0x040506), ColorRef(0x070809), true, 20, 0.5, 0.6, 0.7, 0.8, 4.0, 1,
                                       Qt::PointingHandCursor);
    expectEveryFrame(after, "after the load");
    EXPECT_EQ(viewer_.ImageCacheCount(), 20);
    EXPECT_EQ(viewer_.PrintScale(), 4.0);

    bool handled = false;
    viewer_.FollowTarget(viewer_.GetViewerFromName("links"), "inner.htm", "rechts", handled);
    QApplication::processEvents();
    ASSERT_EQ(viewer_.GetFrameCount(), 3);
    expectEveryFrame(after, "frames made later");
}

// Frames report their loads to the frame viewer, which reports one busy span for all of them and
// refuses loads and links meanwhile.
TEST_F(FrameTest, FramesLoadingAtOnceGiveOneBusySpan)
{
    Write("a.htm", "a");
    Write("b.htm", "b");
    const std::string other = Write("anders.htm", "anders");
    const std::string set =
        Write("set.htm", "<frameset cols=\"*,*\"><frame name=links src=a.htm><frame name=rechts src=b.htm></frameset>");
    std::vector<bool> reported;
    viewer_.OnProcessing = [&](TFrameViewer*, bool on) { reported.push_back(on); };
    viewer_.LoadFromFile(set);
    EXPECT_EQ(reported, (std::vector<bool>{true, false}));  // the frames' own loads inside it count too

    TPageViewer* left = viewer_.GetViewerFromName("links");
    TPageViewer* right = viewer_.GetViewerFromName("rechts");
    reported.clear();
    bool nested = false;
    bool busyInside = false;
    bool linkHandled = false;
    TFrameViewer::TPassedEvents events;
    events.OnParseBegin = [&](TPageViewer* sender, std::string&) {
        if (sender != left || nested)
            return;
        nested = true;
        right->LoadDocumentString("<p>rechts neu</p>");  // the second frame loads while the first one does
        busyInside = viewer_.ViewersBusy();
        viewer_.LoadFromFile(other);
        viewer_.FollowTarget(left, "b.htm", "", linkHandled);
    };
    viewer_.SetPassedEvents(events);
    left->LoadDocumentString("<p>links neu</p>");
    EXPECT_EQ(reported, (std::vector<bool>{true, false}));
    EXPECT_TRUE(busyInside);
    EXPECT_FALSE(viewer_.ViewersBusy());
    // The load and the link asked for meanwhile were refused.
    EXPECT_EQ(viewer_.GetCurrentFile(), set);
    EXPECT_TRUE(linkHandled);
    EXPECT_NE(viewer_.GetViewerFromName("links")->GetCurrentFile(), dir_ / "b.htm");

    // One frame alone reports its own span.
    reported.clear();
    right->LoadDocumentString("<p>nochmals</p>");
    EXPECT_EQ(reported, (std::vector<bool>{true, false}));
}

TEST_F(FrameTest, ClickedLinkAndSoundRequestsOfFrames)
{
    Write("b.htm", "b");
    Write("menu.htm", "<a href=\"b.htm\" target=Main title=\"Zum Ergebnis\">Weiter zu B</a>");
    Write("start.htm", "<bgsound src=\"klang.wav\" loop=2><p>Start</p>");
    const std::string set = Write("set.htm", "<frameset cols=\"200,*\"><frame name=menu src=menu.htm>"
                                             "<frame name=Main src=start.htm></frameset>");
    std::vector<std::string> sounds;
    viewer_.OnSoundRequest = [&](TFrameViewer* sender, const std::string& src, int loop, bool terminate) {
        EXPECT_EQ(sender, &viewer_);
        sounds.push_back(terminate ? "Ende" : src + " " + std::to_string(loop));
    };
    viewer_.LoadFromFile(set);
    EXPECT_NE(std::find(sounds.begin(), sounds.end(), "klang.wav 2"), sounds.end());
    EXPECT_EQ(sounds.front(), "Ende");  // a load stops the sound first

    TPageViewer* menu = viewer_.GetViewerFromName("menu");
    ASSERT_NE(menu, nullptr);
    menu->PanelMouseMove(Qt::NoButton, Qt::NoModifier, 20, 12);
    menu->PanelMouseDown(Qt::LeftButton, Qt::NoModifier, 20, 12);
    menu->PanelMouseUp(Qt::LeftButton, Qt::NoModifier, 20, 12);
    EXPECT_EQ(viewer_.ClickURL(), "b.htm");
    EXPECT_EQ(viewer_.ClickLinkText(), u"Weiter zu B");
    const auto& attributes = viewer_.ClickLinkAttributes();
    EXPECT_TRUE(std::any_of(attributes.begin(), attributes.end(),
                            [](const std::string& a) { return a.find("Zum Ergebnis") != std::string::npos; }));
    EXPECT_EQ(viewer_.GetViewerFromName("main")->GetCurrentFile(), dir_ / "b.htm");
}

// Back and forward across a change of the frameset show the frameset as it was left (each frame's
// place and a typed value), and a frame's own steps go back with their places and typed values too.
TEST_F(FrameTest, BackAndForwardRestorePlacesAndTypedValues)
{
    Write("menu.htm", Lines(200));
    Write("form.htm", "<form><input name=n value=leer></form>" + Lines(200));
    Write("b.htm", "b");
    const std::string other = Write("anders.htm", "anders");
    const std::string set = Write("set.htm", "<frameset cols=\"*,*\"><frame name=menu src=menu.htm>"
                                             "<frame name=Main src=form.htm></frameset>");
    viewer_.SetHistoryMaxCount(10);
    viewer_.LoadFromFile(set);
    TPageViewer* menu = viewer_.GetViewerFromName("menu");
    menu->SetVScrollBarPosition(300);
    ASSERT_EQ(menu->VScrollBarPosition(), 300);
    EditOf(viewer_.GetViewerFromName("main"))->setText(QStringLiteral("getippt"));
    viewer_.GetViewerFromName("main")->SetVScrollBarPosition(120);

    viewer_.LoadFromFile(other);
    QApplication::processEvents();
    EXPECT_EQ(viewer_.GetCurrentFile(), other);
    EXPECT_TRUE(viewer_.BackButtonEnabled());
    viewer_.GoBack();
    QApplication::processEvents();
    ASSERT_EQ(viewer_.GetCurrentFile(), set);
    EXPECT_EQ(viewer_.GetViewerFromName("menu")->VScrollBarPosition(), 300);
    EXPECT_EQ(viewer_.GetViewerFromName("main")->VScrollBarPosition(), 120);
    EXPECT_EQ(EditOf(viewer_.GetViewerFromName("main"))->text(), "getippt");
    viewer_.GoFwd();
    QApplication::processEvents();
    EXPECT_EQ(viewer_.GetCurrentFile(), other);
    viewer_.GoBack();
    QApplication::processEvents();
    EXPECT_EQ(EditOf(viewer_.GetViewerFromName("main"))->text(), "getippt");

    // Main goes to another page and back: the form page is read again, with its place and value.
    bool handled = false;
    viewer_.FollowTarget(viewer_.GetViewerFromName("menu"), "b.htm", "Main", handled);
    EXPECT_EQ(viewer_.GetViewerFromName("main")->GetCurrentFile(), dir_ / "b.htm");
    EXPECT_EQ(EditOf(viewer_.GetViewerFromName("main")), nullptr);
    EXPECT_EQ(viewer_.GetFrameCount(), 2);
    viewer_.GoBack();
    TPageViewer* main = viewer_.GetViewerFromName("main");
    EXPECT_EQ(main->GetCurrentFile(), dir_ / "form.htm");
    ASSERT_NE(EditOf(main), nullptr);
    EXPECT_EQ(EditOf(main)->text(), "getippt");
    EXPECT_EQ(main->VScrollBarPosition(), 120);
    EXPECT_EQ(viewer_.GetCurrentFile(), set);  // the step was the frame's, not the frameset's
    viewer_.GoFwd();
    EXPECT_EQ(viewer_.GetViewerFromName("main")->GetCurrentFile(), dir_ / "b.htm");
}

// Back goes through the frame that changed last, forward through the one that changed first.
TEST_F(FrameTest, FrameStepsAreTakenBackInTheOrderTheyWereMade)
{
    Write("a.htm", "a");
    Write("b.htm", "b");
    Write("c.htm", "c");
    const std::string set =
        Write("set.htm", "<frameset cols=\"*,*\"><frame name=links src=a.htm><frame name=rechts src=a.htm></frameset>");
    viewer_.SetHistoryMaxCount(10);
    viewer_.LoadFromFile(set);
    bool handled = false;
    viewer_.FollowTarget(viewer_.GetViewerFromName("links"), "b.htm", "", handled);
    viewer_.FollowTarget(viewer_.GetViewerFromName("rechts"), "c.htm", "", handled);
    const auto shown = [&] {
        return NameOf(viewer_.GetViewerFromName("links")->GetCurrentFile()) + "," +
               NameOf(viewer_.GetViewerFromName("rechts")->GetCurrentFile());
    };
    EXPECT_EQ(shown(), "b.htm,c.htm");
    viewer_.GoBack();
    EXPECT_EQ(shown(), "b.htm,a.htm");
    viewer_.GoBack();
    EXPECT_EQ(shown(), "a.htm,a.htm");
    EXPECT_FALSE(viewer_.BackButtonEnabled());
    viewer_.GoFwd();
    EXPECT_EQ(shown(), "b.htm,a.htm");
    viewer_.GoFwd();
    EXPECT_EQ(shown(), "b.htm,c.htm");
    EXPECT_FALSE(viewer_.FwdButtonEnabled());
}

// HistoryMaxCount bounds the frame viewer's entries (a frameset that drops out goes with them) and
// every frame's own steps.
TEST_F(FrameTest, HistoryMaxCountTrimsFramesetsAndFrameSteps)
{
    Write("a.htm", "a");
    Write("b.htm", "b");
    Write("c.htm", "c");
    const std::string set =
        Write("set.htm", "<frameset cols=\"*,*\"><frame name=links src=a.htm><frame name=rechts src=a.htm></frameset>");
    viewer_.SetHistoryMaxCount(2);
    viewer_.LoadFromFile(set);
    bool handled = false;
    viewer_.FollowTarget(viewer_.GetViewerFromName("links"), "b.htm", "", handled);
    viewer_.FollowTarget(viewer_.GetViewerFromName("links"), "c.htm", "", handled);
    viewer_.GoBack();
    EXPECT_EQ(viewer_.GetViewerFromName("links")->GetCurrentFile(), dir_ / "b.htm");
    EXPECT_FALSE(viewer_.BackButtonEnabled());  // a.htm fell out of the frame's two entries

    viewer_.LoadFromFile(dir_ / "a.htm");
    viewer_.LoadFromFile(dir_ / "b.htm");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(viewer_.History().size(), 2u);
    EXPECT_EQ(viewer_.History()[1].File, dir_ / "a.htm");
    // The frameset of set.htm is gone; the two of the entries stay.
    EXPECT_EQ(viewer_.findChildren<TFrameSet*>(Qt::FindDirectChildrenOnly).size(), 2);
}

// A view of one page records its places itself: an anchor jump, and the same file loaded again.
TEST_F(FrameTest, AViewOfOnePageKeepsItsPlacesInTheFrameViewersHistory)
{
    const std::string page = Write("seite.htm", Lines(100) + "<a name=unten>Unten</a>" + Lines(100));
    viewer_.SetHistoryMaxCount(10);
    viewer_.LoadFromFile(page);
    TPageViewer* view = viewer_.GetActiveViewer();
    ASSERT_NE(view, nullptr);
    bool handled = false;
    viewer_.FollowTarget(view, "#unten", "", handled);
    const int below = view->VScrollBarPosition();
    EXPECT_GT(below, 0);
    ASSERT_EQ(viewer_.History().size(), 2u);
    viewer_.GoBack();
    EXPECT_EQ(viewer_.GetActiveViewer()->VScrollBarPosition(), 0);
    viewer_.GoFwd();
    EXPECT_EQ(viewer_.GetActiveViewer()->VScrollBarPosition(), below);

    viewer_.LoadFromFile(page);  // the same file again: the place left is an entry
    QApplication::processEvents();
    EXPECT_EQ(viewer_.History().size(), 3u);
    viewer_.GoBack();
    EXPECT_EQ(viewer_.GetActiveViewer()->VScrollBarPosition(), below);
}

// A frame that shows a nested frameset, sent to the document it shows, puts back only the nested
// frames that went elsewhere; the others keep their viewer and what was typed into it.
TEST_F(FrameTest, NestedFramesetSentToItsOwnSourceReloadsOnlyTheChangedFrame)
{
    Write("a.htm", "a");
    Write("b.htm", "b");
    Write("form.htm", "<form><input name=n value=leer></form>");
    Write("inner.htm", "<frameset rows=\"*,*\"><frame name=eins src=a.htm><frame name=zwei src=form.htm></frameset>");
    const std::string set =
        Write("set.htm", "<frameset cols=\"*,*\"><frame name=aussen src=a.htm><frame name=innen src=inner.htm></frameset>");
    viewer_.LoadFromFile(set);
    bool handled = false;
    viewer_.FollowTarget(viewer_.GetViewerFromName("eins"), "b.htm", "", handled);
    ASSERT_EQ(viewer_.GetViewerFromName("eins")->GetCurrentFile(), dir_ / "b.htm");
    TPageViewer* zwei = viewer_.GetViewerFromName("zwei");
    EditOf(zwei)->setText(QStringLiteral("getippt"));

    viewer_.FollowTarget(viewer_.GetViewerFromName("aussen"), "inner.htm", "innen", handled);
    QApplication::processEvents();
    EXPECT_EQ(viewer_.GetViewerFromName("eins")->GetCurrentFile(), dir_ / "a.htm");
    EXPECT_EQ(viewer_.GetViewerFromName("zwei"), zwei);
    EXPECT_EQ(EditOf(zwei)->text(), "getippt");
}

// A history place outside the list (before the newest or past the oldest) is no place to go: the
// view, the place and the history stay as they were, and no change is told.
TEST_F(FrameTest, HistoryPlacesOutsideTheHistoryAreIgnored)
{
    const std::string a = Write("a.htm", "a");
    const std::string b = Write("b.htm", "b");
    viewer_.SetHistoryMaxCount(5);
    viewer_.LoadFromFile(a);
    viewer_.LoadFromFile(b);
    QApplication::processEvents();
    ASSERT_EQ(viewer_.History().size(), 2u);
    int changes = 0;
    viewer_.OnHistoryChange = [&](TFrameViewer*) { ++changes; };
    for (const int index : {-1, 2, 7}) {
        viewer_.SetHistoryPos(index);
        QApplication::processEvents();
        EXPECT_EQ(viewer_.HistoryPos(), 0) << index;
        EXPECT_EQ(viewer_.GetCurrentFile(), b) << index;
    }
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(viewer_.History().size(), 2u);
}

// The application takes a link by setting Handled in its target-click handler (as the main window
// does with every link): the frame viewer then loads nothing itself.
TEST_F(FrameTest, ALinkTheApplicationHandledIsNotFollowed)
{
    Write("menu.htm", "menu");
    Write("start.htm", "start");
    Write("ziel.htm", "ziel");
    const std::string set = Write("set.htm", "<frameset cols=\"100,*\"><frame name=menu src=menu.htm>"
                                             "<frame name=Main src=start.htm></frameset>");
    viewer_.LoadFromFile(set);
    int clicks = 0;
    viewer_.OnHotSpotTargetClick = [&](TFrameViewer*, const std::string&, const std::string&, bool& handled) {
        ++clicks;
        handled = true;
    };
    bool handled = false;
    viewer_.FollowTarget(viewer_.GetViewerFromName("menu"), "ziel.htm", "Main", handled);
    QApplication::processEvents();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(handled);
    EXPECT_EQ(viewer_.GetViewerFromName("Main")->GetCurrentFile(), dir_ / "start.htm");
    EXPECT_EQ(viewer_.GetCurrentFile(), set);

    // A handler that leaves Handled alone lets the frame viewer follow the link.
    viewer_.OnHotSpotTargetClick = [&](TFrameViewer*, const std::string&, const std::string&, bool&) { ++clicks; };
    handled = false;
    viewer_.FollowTarget(viewer_.GetViewerFromName("menu"), "ziel.htm", "Main", handled);
    EXPECT_EQ(viewer_.GetViewerFromName("Main")->GetCurrentFile(), dir_ / "ziel.htm");
}

// The character set a frameset document's META names is the one its frames' pages are read in
// when they name none; a nested frameset passes it on; without META the pages read as Latin.
TEST_F(FrameTest, AFramesetsCharacterSetReachesItsFrames)
{
    const std::string greeting = "\xCF\xF0\xE8\xE2\xE5\xF2";  // "Privet" in Windows-1251
    Write("gruss.htm", "<p>" + greeting + "</p>");
    Write("innen.htm", "<frameset rows=\"*,*\"><frame name=tief src=gruss.htm><frame src=gruss.htm></frameset>");
    const std::string set =
        Write("set.htm", "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">"
                         "</head><frameset cols=\"*,*\"><frame name=links src=gruss.htm>"
                         "<frame src=innen.htm></frameset></html>");
    const auto text = [&](const char* name) {
        TPageViewer* v = viewer_.GetViewerFromName(name);
        return v ? v->GetRangeText(0, 100) : std::u16string(u"(kein Rahmen)");
    };
    viewer_.LoadFromFile(set);
    EXPECT_NE(text("links").find(u"\u041F\u0440\u0438\u0432\u0435\u0442"), std::u16string::npos);
    EXPECT_NE(text("tief").find(u"\u041F\u0440\u0438\u0432\u0435\u0442"), std::u16string::npos);

    const std::string latin = Write("latin.htm", "<frameset cols=\"*,*\"><frame name=links src=gruss.htm>"
                                                 "<frame src=gruss.htm></frameset>");
    viewer_.LoadFromFile(latin);
    EXPECT_NE(text("links").find(u"\u00CF\u00F0\u00E8"), std::u16string::npos);
}

// The sizes come from COLS until the frameset is shown at its real size; every resize after that
// scales them in proportion. A frameset laid out before its window showed keeps nothing of the
// size it had then.
TEST_F(FrameTest, ResizesScaleTheSizesTheFramesetWasShownWith)
{
    Write("a.htm", "a");
    const std::string set = Write("set.htm", "<frameset cols=\"100,*\"><frame name=links src=a.htm>"
                                             "<frame name=rechts src=a.htm></frameset>");
    const TFrameViewerOptions options = viewer_.fvOptions();
    viewer_.LoadFromFile(set);
    QWidget* left = viewer_.GetViewerFromName("links")->parentWidget();
    QWidget* right = viewer_.GetViewerFromName("rechts")->parentWidget();
    ASSERT_EQ(left->width(), 100);
    viewer_.resize(300, 400);
    EXPECT_EQ(left->width(), 50);
    EXPECT_EQ(right->width(), 250);
    viewer_.resize(600, 400);
    EXPECT_EQ(left->width(), 100);

    TFrameViewer hidden;
    hidden.SetfvOptions(options);
    hidden.resize(300, 400);
    hidden.LoadFromFile(set);
    hidden.resize(600, 400);
    hidden.show();
    QApplication::processEvents();
    left = hidden.GetViewerFromName("links")->parentWidget();
    EXPECT_EQ(left->width(), 100);
    hidden.resize(900, 400);
    EXPECT_EQ(left->width(), 150);
}

// An empty frame hands presses, moves and releases to the frame viewer's mouse handlers, with
// itself as sender and the point in its coordinates; a frame with a page keeps them.
TEST_F(FrameTest, AnEmptyFrameHandsItsMouseToTheFrameViewer)
{
    Write("a.htm", "a");
    const std::string set = Write("set.htm", "<frameset cols=\"*,*\"><frame name=links src=a.htm>"
                                             "<frame name=leer></frameset>");
    std::vector<std::tuple<std::string, QWidget*, int, int>> seen;
    viewer_.OnMouseDown = [&](QWidget* sender, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
        seen.emplace_back("down", sender, x, y);
    };
    viewer_.OnMouseMove = [&](QWidget* sender, Qt::KeyboardModifiers, int x, int y) {
        seen.emplace_back("move", sender, x, y);
    };
    viewer_.OnMouseUp = [&](QWidget* sender, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
        seen.emplace_back("up", sender, x, y);
    };
    viewer_.LoadFromFile(set);
    ASSERT_EQ(viewer_.TopSet()->Children.size(), 2u);
    QWidget* empty = viewer_.TopSet()->Children[1];
    QWidget* full = viewer_.GetViewerFromName("links")->parentWidget();
    Mouse(empty, QEvent::MouseButtonPress, QPoint(50, 60));
    Mouse(empty, QEvent::MouseMove, QPoint(70, 80));
    Mouse(empty, QEvent::MouseButtonRelease, QPoint(70, 81));
    Mouse(full, QEvent::MouseButtonPress, QPoint(50, 60));
    Mouse(full, QEvent::MouseButtonRelease, QPoint(50, 60));
    using Seen = std::tuple<std::string, QWidget*, int, int>;
    EXPECT_EQ(seen, (std::vector<Seen>{{"down", empty, 50, 60}, {"move", empty, 70, 80}, {"up", empty, 70, 81}}));
}

// Without fvNoBorder the frameset has a lowered bevel of 2 pixels and each frame its border;
// fvNoBorder takes both off, and the page reaches the window's edge.
TEST_F(FrameTest, TheBevelComesOffWithNoBorder)
{
    Write("gruen.htm", "<body bgcolor=\"#00FF00\">&nbsp;</body>");
    const std::string set = Write("set.htm", "<frameset cols=\"*,*\"><frame src=gruen.htm><frame src=gruen.htm>"
                                             "</frameset>");
    const QRgb green = qRgb(0, 255, 0);
    viewer_.SetfvOptions({fvPrintTableBackground, fvPrintMonochromeBlack});  // the defaults
    viewer_.LoadFromFile(set);
    QImage shown = testing::SaveArtifact(viewer_, "frames", "frameset-bevel");
    // Two pixels of the set's bevel, then two of the frame's border, on the left and the top.
    for (int i = 0; i < 4; ++i) {
        EXPECT_NE(shown.pixel(i, 200), green) << i;
        EXPECT_NE(shown.pixel(150, i), green) << i;
    }
    // Lowered: darker at the top than at the bottom.
    EXPECT_LT(qGray(shown.pixel(150, 0)), qGray(shown.pixel(150, 399)));
    EXPECT_EQ(shown.pixel(20, 200), green);

    viewer_.SetfvOptions({fvPrintTableBackground, fvPrintMonochromeBlack, fvNoBorder});
    viewer_.LoadFromFile(set);
    shown = testing::SaveArtifact(viewer_, "frames", "frameset-no-border");
    EXPECT_EQ(shown.pixel(0, 200), green);
    EXPECT_EQ(shown.pixel(150, 0), green);
    EXPECT_EQ(shown.pixel(599, 399), green);
}

}  // namespace
}  // namespace velmoran
