// Embedded objects in the parser and the layout: OBJECT with its PARAMs and PANEL become panel
// objects at a placeholder in the text, sized and aligned from their attributes; the content of
// an OBJECT is not shown. A host that makes controls sees each panel once with its lines. The
// window controls of a form are placed by the paint that reaches them and leave the view when the
// page scrolls away from them; only those in view are shown.
#include "tests/html/layout/ParserTestSupport.h"
#include "tests/support/TestApp.h"

#include "html/layout/FormControls.h"
#include "html/layout/PanelObjects.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace velmoran {
namespace {

using testing::ParsedPage;

std::vector<TPanelObj*> Panels(ParsedPage& page)
{
    std::vector<TPanelObj*> out;
    for (TSection* s : page.All<TSection>())
        for (const auto& o : s->Images)
            if (auto* p = dynamic_cast<TPanelObj*>(o.get()))
                out.push_back(p);
    return out;
}

TEST(ObjectParse, ObjectWithParamsBecomesAPanelAndItsContentIsSkipped)
{
    ParsedPage page;
    page.Parse("<p>vor<object name=uhr type=\"application/x-uhr\"><param name=farbe value=rot>\n"
               "<param value=ohne> <param name=takt value=1>Ersatztext<b>fett</b></object>nach</p>");
    EXPECT_EQ(page.Texts(), std::vector<std::string>{"vor\x04nach "});
    const auto panels = Panels(page);
    ASSERT_EQ(panels.size(), 1u);
    EXPECT_EQ(panels[0]->Name, "uhr");
    EXPECT_EQ(panels[0]->Type, "application/x-uhr");
    // A PARAM without NAME adds nothing.
    EXPECT_EQ(panels[0]->Params, (std::vector<std::string>{"farbe=rot", "takt=1"}));
    EXPECT_NE(std::find(panels[0]->AttributeLines.begin(), panels[0]->AttributeLines.end(), "NAME=uhr"),
              panels[0]->AttributeLines.end());
}

TEST(ObjectParse, UnendedObjectSwallowsTheRestAndPanelTagNeedsNoEnd)
{
    ParsedPage page;
    page.Parse("<p>a<panel name=p>b<object name=o>c d e");
    EXPECT_EQ(page.Texts(), std::vector<std::string>{"a\x04" "b\x04 "});
    ASSERT_EQ(Panels(page).size(), 2u);
}

TEST(ObjectParse, SizeAndAlignmentFromTheAttributes)
{
    ParsedPage page;
    page.Parse("<p><object name=a></object><object name=b width=60 height=40 align=top></object>"
               "<object name=c width=50% align=left></object><panel name=d align=right hspace=-5>"
               "<object name=e align=absmiddle hspace=7></object>Text</p>");
    const auto panels = Panels(page);
    ASSERT_EQ(panels.size(), 5u);
    RecordingCanvas canvas(page.Fonts);
    int maxWidth = 0;
    page.Doc.LayoutDocument(canvas, 420, maxWidth);
    // Without WIDTH and HEIGHT a panel is 30 x 20.
    EXPECT_EQ(panels[0]->ObjWidth, TPanelObj::kDefaultWidth);
    EXPECT_EQ(panels[0]->ObjHeight, TPanelObj::kDefaultHeight);
    EXPECT_EQ(panels[0]->VertAlign, 4);
    EXPECT_EQ(panels[1]->ObjWidth, 60);
    EXPECT_EQ(panels[1]->ObjHeight, 40);
    EXPECT_EQ(panels[1]->VertAlign, 1);
    EXPECT_TRUE(panels[2]->PercentWidth);
    EXPECT_EQ(panels[2]->SpecWidth, 50);
    EXPECT_EQ(panels[2]->VertAlign, 5);
    EXPECT_GT(panels[2]->ObjWidth, 100);  // half of the text width, less its spaces
    // A floating panel keeps 3 pixels from the text, also when HSPACE was negative.
    EXPECT_EQ(panels[2]->HSpaceL, 3);
    EXPECT_EQ(panels[3]->VertAlign, 6);
    EXPECT_EQ(panels[3]->HSpaceL, 3);
    EXPECT_EQ(panels[4]->VertAlign, 2);
    EXPECT_EQ(panels[4]->HSpaceL, 7);
}

// A percentage size outside its range is ignored, not clamped: an image of WIDTH=150% keeps its
// own width instead of filling the column, a panel of 150% or 0% keeps the default size (clamped,
// it filled the column or shrank to a sliver), and an image, a panel and a table cell read their
// percentages alike, inside the range as given. An image takes 0% (it has no lower bound above 0).
TEST(ObjectParse, PercentSizesOutsideTheirRangeAreIgnored)
{
    ParsedPage page;
    page.Parse("<p><img width=150% height=101%><img width=100% height=0%><img width=-5%>"
               "<object name=a width=150% height=0%></object><object name=b width=100% height=1%></object>"
               "<object name=c width=-1%></object></p>"
               "<table><tr><td width=150%>x<td width=0%>y<td width=100%>z</table>");
    std::vector<TImageObj*> images;
    for (TSection* s : page.All<TSection>())
        for (const auto& o : s->Images)
            if (auto* i = dynamic_cast<TImageObj*>(o.get()))
                images.push_back(i);
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(images[0]->SpecWidth, -1);
    EXPECT_FALSE(images[0]->PercentWidth);
    EXPECT_EQ(images[0]->SpecHeight, -1);
    EXPECT_FALSE(images[0]->PercentHeight);
    EXPECT_EQ(images[1]->SpecWidth, 100);
    EXPECT_TRUE(images[1]->PercentWidth);
    EXPECT_EQ(images[1]->SpecHeight, 0);
    EXPECT_TRUE(images[1]->PercentHeight);
    EXPECT_EQ(images[2]->SpecWidth, -1);
    EXPECT_FALSE(images[2]->PercentWidth);

    const auto panels = Panels(page);
    ASSERT_EQ(panels.size(), 3u);
    RecordingCanvas canvas(page.Fonts);
    int maxWidth = 0;
    page.Doc.LayoutDocument(canvas, 420, maxWidth);
    EXPECT_FALSE(panels[0]->PercentWidth);
    EXPECT_EQ(panels[0]->ObjWidth, TPanelObj::kDefaultWidth);
    EXPECT_FALSE(panels[0]->PercentHeight);
    EXPECT_EQ(panels[0]->ObjHeight, TPanelObj::kDefaultHeight);
    EXPECT_TRUE(panels[1]->PercentWidth);
    EXPECT_EQ(panels[1]->SpecWidth, 100);
    EXPECT_TRUE(panels[1]->PercentHeight);
    EXPECT_EQ(panels[1]->SpecHeight, 1);
    EXPECT_EQ(panels[2]->ObjWidth, TPanelObj::kDefaultWidth);

    const TCellList& row = *page.All<ThtmlTable>()[0]->Rows[0];
    for (int i : {0, 1}) {
        EXPECT_EQ(row[i]->Wd, 0) << i;
        EXPECT_FALSE(row[i]->AsPercent) << i;
    }
    EXPECT_EQ(row[2]->Wd, 1000);
    EXPECT_TRUE(row[2]->AsPercent);
}

// Hands out a control for every panel and counts the ends.
class PanelHost : public TNullDocumentHost {
public:
    QWidget* PanelCreate(const TPanelObj& panel) override
    {
        Created.push_back(panel.Name + ":" + std::to_string(panel.Params.size()));
        auto* w = new QWidget(&Surface);
        w->resize(44, 22);
        return w;
    }
    void PanelDestroy(QWidget* panel) override { Destroyed.push_back(panel); }
    QWidget* DrawingSurface() override { return &Surface; }
    QWidget Surface;
    std::vector<std::string> Created;
    std::vector<QWidget*> Destroyed;
};

TEST(ObjectParse, HostMakesTheControlsAndSeesThemGo)
{
    testing::App();
    PanelHost host;
    {
        ParsedPage page(&host);
        page.Parse("<object name=x><param name=a value=1></object><object name=y width=80></object>");
        EXPECT_EQ(host.Created, (std::vector<std::string>{"x:1", "y:0"}));
        ASSERT_EQ(page.Doc.PanelList.size(), 2u);
        RecordingCanvas canvas(page.Fonts);
        int maxWidth = 0;
        page.Doc.LayoutDocument(canvas, 400, maxWidth);
        const auto panels = Panels(page);
        // The control's own size counts where the page gives none.
        EXPECT_EQ(panels[0]->ObjWidth, 44);
        EXPECT_EQ(panels[1]->ObjWidth, 80);
        EXPECT_EQ(panels[1]->Panel->width(), 80);
        // The print copy makes no controls of its own.
        auto copy = page.Doc.CreateCopy();
        EXPECT_EQ(host.Created.size(), 2u);
        EXPECT_TRUE(copy->PanelList.empty());
    }
    EXPECT_EQ(host.Destroyed.size(), 2u);
    EXPECT_TRUE(host.Surface.findChildren<QWidget*>().isEmpty());
}

// An edit field in view stands at its place on the surface; scrolled out of the view, the next
// paint takes it off the surface (hidden: Tab still finds it, see the viewer's tab order), and
// scrolled back, it returns to its place. Of a long page of controls only those in view are shown,
// none before the first paint: each show on a shown surface costs as many as are shown. Window
// controls are made only as paints place them.
TEST(ObjectParse, AFormControlScrolledOutOfViewLeavesTheSurface)
{
    testing::App();
    PanelHost host;
    ParsedPage page(&host);
    page.Parse("<p><input name=e></p><p style=\"margin-top: 2000px\">b</p>");
    RecordingCanvas canvas(page.Fonts);
    int maxWidth = 0;
    page.Doc.LayoutDocument(canvas, 400, maxWidth);
    ASSERT_EQ(page.Doc.FormControlList.size(), 1u);
    QWidget* edit = page.Doc.FormControlList[0]->GetWinControl();
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->isHidden());

    page.Doc.PaintDocument(canvas, {0, 0, 400, 300});
    const QPoint place = edit->pos();
    EXPECT_GE(place.x(), 0);
    EXPECT_LT(place.y(), 300);
    EXPECT_FALSE(edit->isHidden());

    page.Doc.SetYOffset(1500);
    page.Doc.PaintDocument(canvas, {0, 0, 400, 300});
    EXPECT_TRUE(edit->isHidden());

    page.Doc.SetYOffset(0);
    page.Doc.PaintDocument(canvas, {0, 0, 400, 300});
    EXPECT_EQ(edit->pos(), place);
    EXPECT_FALSE(edit->isHidden());
}

TEST(ObjectParse, OnlyTheFormControlsInViewAreShown)
{
    testing::App();
    PanelHost host;
    host.Surface.resize(400, 300);
    host.Surface.show();
    ParsedPage page(&host);
    std::string html = "<form>";
    for (int i = 0; i < 200; ++i)
        html += "<p style=\"margin: 0; height: 100px\"><input name=e" + std::to_string(i) + "></p>";
    page.Parse(html + "</form>");
    RecordingCanvas canvas(page.Fonts);
    int maxWidth = 0;
    page.Doc.LayoutDocument(canvas, 400, maxWidth);
    ASSERT_EQ(page.Doc.FormControlList.size(), 200u);
    // The controls with a window control, and those whose top lies in the view, as the paint at
    // that offset shows them.
    auto controls = [&](bool shownOnly) {
        std::vector<int> out;
        for (std::size_t i = 0; i < page.Doc.FormControlList.size(); ++i)
            if (const QWidget* w = page.Doc.FormControlList[i]->FocusWidget(); w && (!shownOnly || w->isVisible()))
                out.push_back(static_cast<int>(i));
        return out;
    };
    auto shown = [&] { return controls(true); };
    // Before a paint only the first and the last stop of the tab order have theirs.
    EXPECT_TRUE(shown().empty());
    EXPECT_EQ(controls(false), (std::vector<int>{0, 199}));
    page.Doc.PaintDocument(canvas, {0, 0, 400, 250});
    EXPECT_EQ(shown(), (std::vector<int>{0, 1, 2}));
    page.Doc.SetYOffset(10000);
    page.Doc.PaintDocument(canvas, {0, 0, 400, 250});
    EXPECT_EQ(shown(), (std::vector<int>{100, 101, 102}));
    EXPECT_EQ(controls(false), (std::vector<int>{0, 1, 2, 100, 101, 102, 199}));
    // Scrolled on by half a view: the paragraphs reaching into it (edges included) show theirs.
    page.Doc.SetYOffset(10150);
    page.Doc.PaintDocument(canvas, {0, 0, 400, 250});
    EXPECT_EQ(shown(), (std::vector<int>{101, 102, 103, 104}));
}

}  // namespace
}  // namespace velmoran
