// Tests of what a frameset document's BASE decides in the frame viewer: the files its frames
// load, and the names of links made full through the enclosing framesets; the viewer of a followed
// link as the active one; and the focus given to the frame viewer, which goes on to the viewer of
// its active frame.
#include "tests/support/TempFolder.h"
#include "tests/support/TestApp.h"
#include "html/viewer/FrameViewer.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace velmoran {
namespace {

using testing::TempFolder;

class FrameBaseTest : public ::testing::Test {
protected:
    FrameBaseTest()
    {
        testing::App();
        std::filesystem::create_directories(dir_ / "seiten");
        std::filesystem::create_directories(dir_ / "mitte");
        viewer_.emplace();
        viewer_->resize(600, 400);
        viewer_->show();
    }
    std::string Write(const std::string& name, const std::string& text) { return dir_.WriteFile(name, text); }
    std::string FileUrl(const std::string& name) const { return "file://" + (dir_ / name); }
    std::string Source(const char* frame) const
    {
        const TPageViewer* viewer = viewer_->GetViewerFromName(frame);
        return viewer ? viewer->DocumentSource() : std::string("(kein Rahmen)");
    }

    TempFolder dir_;
    std::optional<TFrameViewer> viewer_;  // made once the application is
};

// A BASE before the FRAMESET decides where the frames' relative sources lie, in the top document
// and in a frameset document a frame shows; a name beside the document that the BASE does not
// name stays unread. The frames once took their sources before the set had read its BASE.
TEST_F(FrameBaseTest, TheDocumentsBaseDecidesWhereItsFramesLoadFrom)
{
    Write("a.htm", "<p>neben dem Dokument</p>");
    Write("seiten/a.htm", "<p>unter der Basis</p>");
    Write("b.htm", "<p>neben dem inneren Dokument</p>");
    Write("mitte/b.htm", "<p>unter der inneren Basis</p>");
    Write("innen.htm", "<base href=\"" + FileUrl("mitte/innen.htm") +
                           "\"><frameset cols=\"*\"><frame name=Blatt src=\"b.htm\"></frameset>");
    const std::string set =
        Write("set.htm", "<html><head><base href=\"" + FileUrl("seiten/") +
                             "\"></head><frameset rows=\"*,*\"><frame name=Main src=\"a.htm\">"
                             "<frame name=Innen src=\"" + (dir_ / "innen.htm") + "\"></frameset></html>");
    viewer_->LoadFromFile(set);
    EXPECT_EQ(Source("Main"), "<p>unter der Basis</p>");
    EXPECT_EQ(Source("Blatt"), "<p>unter der inneren Basis</p>");
}

// A Windows-1252 frameset names its BASE and its frames' files in its own code page: "Seite\xE4.htm"
// below "Ordner\xE4/" is "Ordnerä/Seiteä.htm" on the disk (the frame stayed empty).
TEST_F(FrameBaseTest, AWindows1252FramesetNamesItsFilesAsTheDiskHasThem)
{
    std::filesystem::create_directories(dir_ / "Ordner\xC3\xA4");
    Write("Ordner\xC3\xA4/Seite\xC3\xA4.htm", "<p>gefunden</p>");
    viewer_->LoadFromFile(Write("set.htm", "<base href=\"" + FileUrl("Ordner\xE4/") +
                                           "\"><frameset cols=\"*\"><frame name=Main src=\"Seite\xE4.htm\"></frameset>"));
    EXPECT_EQ(Source("Main"), "<p>gefunden</p>");
}

// A link is made full against the BASE of the nearest frameset document around the active frame:
// the inner document's over the top one's, and the top one's where the inner one has none. The
// frame viewer once asked only the top document.
TEST_F(FrameBaseTest, LinksFollowTheBaseOfTheNearestEnclosingFrameset)
{
    Write("mitte/b.htm", "<p>b</p>");
    Write("seiten/c.htm", "<p>c</p>");
    Write("innen.htm", "<base href=\"" + FileUrl("mitte/") + "\"><frameset cols=\"*\"><frame name=Blatt src=\"b.htm\"></frameset>");
    Write("ohne.htm", "<frameset cols=\"*\"><frame name=Blatt src=\"seiten/c.htm\"></frameset>");
    const std::string set = Write("set.htm", "<base href=\"" + FileUrl("seiten/") +
                                                 "\"><frameset rows=\"*,*\"><frame name=Main src=\"c.htm\">"
                                                 "<frame name=Innen src=\"" + (dir_ / "innen.htm") + "\"></frameset>");
    viewer_->LoadFromFile(set);
    TPageViewer* leaf = viewer_->GetViewerFromName("Blatt");
    ASSERT_NE(leaf, nullptr);
    leaf->OnActivate(leaf);
    EXPECT_EQ(viewer_->ExpandLinkName("x.htm"), dir_ / "mitte/x.htm");

    const std::string plain = Write("set2.htm", "<base href=\"" + FileUrl("seiten/") +
                                                    "\"><frameset rows=\"*,*\"><frame name=Main src=\"c.htm\">"
                                                    "<frame name=Innen src=\"" + (dir_ / "ohne.htm") + "\"></frameset>");
    viewer_->LoadFromFile(plain);
    leaf = viewer_->GetViewerFromName("Blatt");
    ASSERT_NE(leaf, nullptr);
    leaf->OnActivate(leaf);
    EXPECT_EQ(viewer_->ExpandLinkName("x.htm"), dir_ / "seiten/x.htm");
}

// The viewer whose link is followed is the active one when the application is asked about the
// click (a link followed from the keyboard activates nothing else): the names the application
// makes full are those of the page that links.
TEST_F(FrameBaseTest, AFollowedLinksViewerIsTheActiveOne)
{
    Write("a.htm", "<p>a</p>");
    Write("seiten/b.htm", "<p>b</p>");
    viewer_->LoadFromFile(Write("set.htm", "<frameset cols=\"*,*\"><frame name=links src=a.htm>"
                                           "<frame name=rechts src=\"seiten/b.htm\"></frameset>"));
    TPageViewer* left = viewer_->GetViewerFromName("links");
    TPageViewer* right = viewer_->GetViewerFromName("rechts");
    ASSERT_TRUE(left && right);
    left->OnActivate(left);
    std::string full;
    viewer_->OnHotSpotTargetClick = [&](TFrameViewer* sender, const std::string&, const std::string& url, bool& handled) {
        full = sender->ExpandLinkName(url);
        handled = true;
    };
    bool handled = false;
    viewer_->FollowTarget(right, "c.htm", "", handled);
    EXPECT_EQ(viewer_->GetActiveViewer(), right);
    EXPECT_EQ(full, dir_ / "seiten/c.htm");
}

// The frame viewer given the focus hands it to the viewer of its active frame, so that the keys
// scroll the page shown at once; one page is the active one by itself.
TEST_F(FrameBaseTest, TheFocusGoesToTheActiveFramesViewer)
{
    viewer_->LoadFromFile(Write("seite.htm", "<p>Eine Seite</p>"));
    viewer_->activateWindow();
    QApplication::setActiveWindow(&*viewer_);
    QApplication::processEvents();
    viewer_->setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(QApplication::focusWidget(), viewer_->GetActiveViewer());

    Write("a.htm", "<p>a</p>");
    Write("b.htm", "<p>b</p>");
    viewer_->LoadFromFile(Write("set.htm", "<frameset cols=\"*,*\"><frame name=links src=a.htm>"
                                           "<frame name=rechts src=b.htm></frameset>"));
    TPageViewer* left = viewer_->GetViewerFromName("links");
    TPageViewer* right = viewer_->GetViewerFromName("rechts");
    ASSERT_TRUE(left && right);
    left->setFocus(Qt::OtherFocusReason);
    right->OnActivate(right);
    viewer_->setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(QApplication::focusWidget(), right);
}

}  // namespace
}  // namespace velmoran
