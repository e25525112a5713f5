// Tests of the frame viewer's borders: the frames' bevels after the document's BORDER, the one
// page without a frame bevel of its own but with the focus border, and fvNoBorder and
// fvNoFocusRect switched while a document is shown.
#include "tests/support/TempFolder.h"
#include "tests/support/TestApp.h"
#include "html/viewer/FrameViewer.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>

namespace velmoran {
namespace {

class FrameBordersTest : public ::testing::Test {
protected:
    FrameBordersTest()
    {
        testing::App();
        viewer_.emplace();
        viewer_->resize(600, 400);
        viewer_->show();
    }
    std::string Write(const std::string& name, const std::string& text) { return dir_.WriteFile(name, text); }
    // A frameset document of two columns, "links" and "rechts", with the attributes given.
    std::string TwoColumns(const std::string& attributes)
    {
        Write("a.htm", "<p>A</p>");
        Write("b.htm", "<p>B</p>");
        return Write("set.htm", "<frameset cols=\"*,*\" " + attributes +
                                    "><frame name=links src=a.htm><frame name=rechts src=b.htm></frameset>");
    }
    static QFrame* FrameOf(TPageViewer* viewer) { return static_cast<QFrame*>(viewer->parentWidget()); }
    // The bevel a panel draws: its line width, 0 when it draws no frame.
    static int Bevel(const QFrame* panel) { return panel->frameShape() == QFrame::NoFrame ? 0 : panel->lineWidth(); }
    // The default options and the ones given.
    void SetOptions(std::initializer_list<fvOptionEnum> extra)
    {
        TFrameViewerOptions options{fvPrintTableBackground, fvPrintMonochromeBlack};
        for (const fvOptionEnum option : extra)
            options.Include(option);
        viewer_->SetfvOptions(options);
    }
    testing::TempFolder dir_;
    std::optional<TFrameViewer> viewer_;  // made once the application is
};

// BORDER=5 gives every frame a lowered bevel of 5 and the set none (2 - 5 is below 0); the page
// sits inside the frame's bevel.
TEST_F(FrameBordersTest, TheDocumentsBorderIsTheFramesBevel)
{
    viewer_->LoadFromFile(TwoColumns("border=5"));
    EXPECT_EQ(Bevel(viewer_->TopSet()), 0);
    for (const char* name : {"links", "rechts"}) {
        TPageViewer* page = viewer_->GetViewerFromName(name);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(Bevel(FrameOf(page)), 5) << name;
        EXPECT_EQ(page->geometry(), FrameOf(page)->rect().adjusted(5, 5, -5, -5)) << name;
        EXPECT_EQ(page->BorderStyle(), THTMLBorderStyle::htFocused);
    }
    viewer_->LoadFromFile(TwoColumns("frameborder=1"));
    EXPECT_EQ(Bevel(viewer_->TopSet()), 1);
    EXPECT_EQ(Bevel(FrameOf(viewer_->GetViewerFromName("links"))), 1);
    viewer_->LoadFromFile(TwoColumns("border=0"));
    EXPECT_EQ(Bevel(viewer_->TopSet()), 2);
    EXPECT_EQ(Bevel(FrameOf(viewer_->GetViewerFromName("links"))), 0);
    EXPECT_EQ(viewer_->GetViewerFromName("links")->BorderStyle(), THTMLBorderStyle::htNone);

    // One page: the set's bevel of 2 frames it, and its frame adds no second one.
    viewer_->LoadFromFile(Write("seite.htm", "<p>Eine Seite</p>"));
    ASSERT_EQ(viewer_->GetFrameCount(), 1);
    EXPECT_EQ(Bevel(viewer_->TopSet()), 2);
    TPageViewer* single = viewer_->GetFrame(0);
    EXPECT_EQ(Bevel(FrameOf(single)), 0);
    EXPECT_EQ(single->size(), QSize(596, 396));
}

// The options switched while a document is shown change what is shown at once, without a load:
// fvNoBorder takes every bevel and focus border off and gives them back as the document has them,
// fvNoFocusRect takes only the viewers' focus borders.
TEST_F(FrameBordersTest, BorderOptionsApplyToTheDocumentShown)
{
    viewer_->LoadFromFile(TwoColumns("border=5"));
    TPageViewer* left = viewer_->GetViewerFromName("links");
    TPageViewer* right = viewer_->GetViewerFromName("rechts");
    ASSERT_NE(left, nullptr);
    ASSERT_NE(right, nullptr);

    SetOptions({fvNoBorder});
    EXPECT_EQ(Bevel(viewer_->TopSet()), 0);
    for (TPageViewer* page : {left, right}) {
        EXPECT_EQ(Bevel(FrameOf(page)), 0);
        EXPECT_EQ(page->geometry(), FrameOf(page)->rect());
        EXPECT_EQ(page->BorderStyle(), THTMLBorderStyle::htNone);
    }
    EXPECT_EQ(FrameOf(left)->width() + FrameOf(right)->width(), 600);

    SetOptions({});
    EXPECT_EQ(Bevel(FrameOf(left)), 5);
    EXPECT_EQ(left->geometry(), FrameOf(left)->rect().adjusted(5, 5, -5, -5));
    EXPECT_EQ(left->BorderStyle(), THTMLBorderStyle::htFocused);

    SetOptions({fvNoFocusRect});
    EXPECT_EQ(Bevel(FrameOf(left)), 5);
    EXPECT_EQ(left->BorderStyle(), THTMLBorderStyle::htNone);
    EXPECT_EQ(right->BorderStyle(), THTMLBorderStyle::htNone);
    SetOptions({});
    EXPECT_EQ(right->BorderStyle(), THTMLBorderStyle::htFocused);

    // One page: the set's bevel goes and comes back; its frame never has one.
    viewer_->LoadFromFile(Write("seite.htm", "<p>Eine Seite</p>"));
    SetOptions({fvNoBorder});
    EXPECT_EQ(Bevel(viewer_->TopSet()), 0);
    EXPECT_EQ(viewer_->GetFrame(0)->size(), QSize(600, 400));
    SetOptions({});
    EXPECT_EQ(Bevel(viewer_->TopSet()), 2);
    EXPECT_EQ(Bevel(FrameOf(viewer_->GetFrame(0))), 0);
    EXPECT_EQ(viewer_->GetFrame(0)->size(), QSize(596, 396));
}

// One page with the default options shows the focus border while it has the focus, as the frames
// of a frameset do: its frame draws no bevel of its own, but the set it fills has its border. The
// options that take the focus border off take it off here too.
TEST_F(FrameBordersTest, OnePageHasTheFocusBorderOfTheDefaultOptions)
{
    viewer_->LoadFromFile(Write("seite.htm", "<p>Eine Seite</p>"));
    EXPECT_EQ(viewer_->GetFrame(0)->BorderStyle(), THTMLBorderStyle::htFocused);
    SetOptions({fvNoFocusRect});
    EXPECT_EQ(viewer_->GetFrame(0)->BorderStyle(), THTMLBorderStyle::htNone);
    SetOptions({fvNoBorder});
    EXPECT_EQ(viewer_->GetFrame(0)->BorderStyle(), THTMLBorderStyle::htNone);
    SetOptions({});
    viewer_->LoadFromFile(Write("zweite.htm", "<p>Noch eine Seite</p>"));
    EXPECT_EQ(viewer_->GetFrame(0)->BorderStyle(), THTMLBorderStyle::htFocused);
}

}  // namespace
}  // namespace velmoran
