// Embedded panels and animation in the page viewer: OBJECT panels made through the owner's
// events, placed by painting, hidden out of view, ended by Clear, and printed by the owner or as
// a named box; animated GIFs stepped by the viewer's own timer against an injected clock, only
// while shown, never in a print copy.
#include "tests/html/base/image/ImageTestSupport.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestApp.h"

#include "html/base/image/GifImage.h"
#include "html/layout/HtmlParser.h"
#include "html/layout/PanelObjects.h"
#include "html/layout/TextSection.h"
#include "html/viewer/PageViewer.h"
#include "html/viewer/SectionListDocument.h"
#include "platform/RecordingCanvas.h"
#include "platform/TestFont.h"

#include <QApplication>
#include <QFrame>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace velmoran {
namespace {

using testing::App;
using testing::TempFolder;

struct ObjectViewer {
    ObjectViewer()
    {
        App();
        viewer.SetBorderStyle(THTMLBorderStyle::htNone);
        viewer.SetMarginWidth(0);
        viewer.SetMarginHeight(0);
        viewer.resize(400, 200);
        viewer.AnimationClockSource = [this] { return Now; };
    }
    void Paint()
    {
        viewer.show();
        QApplication::processEvents();
        viewer.PaintPanel()->repaint();
    }
    TSectionList& Doc() { return static_cast<TSectionListDocument&>(viewer.Document()).Sections(); }
    TPageViewer viewer;
    std::uint32_t Now = 100000;
};

// ---------------------------------------------------------------------------------------------
// Panels

TEST(Panels, CreateEventGetsNameTypeAndParamsAndPaintingPlacesThePanel)
{
    ObjectViewer v;
    std::vector<std::string> created;
    QWidget* panel = nullptr;
    v.viewer.OnPanelCreate = [&](TPageViewer* sender, const std::string& name, const std::string& type,
                                 const std::vector<std::string>& params, QWidget* control) {
        EXPECT_EQ(sender, &v.viewer);
        created.push_back(name + "|" + type);
        created.insert(created.end(), params.begin(), params.end());
        panel = control;
    };
    std::vector<std::string> tags;
    v.viewer.OnObjectTag = [&](TPageViewer*, const std::vector<std::string>& attributes, const std::vector<std::string>&) {
        tags.insert(tags.end(), attributes.begin(), attributes.end());
    };
    std::string page = "<p><object name=uhr type=\"application/x-uhr\" width=60 height=40>"
                       "<param name=farbe value=rot><param name=takt value=1>Ersatz</object>";
    for (int i = 0; i < 30; ++i)
        page += "<br>Zeile";
    v.viewer.LoadDocumentString(page);
    EXPECT_EQ(created, (std::vector<std::string>{"uhr|application/x-uhr", "farbe=rot", "takt=1"}));
    EXPECT_EQ(tags.front(), "NAME=uhr");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->parentWidget(), v.viewer.PaintPanel());
    v.Paint();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->size(), QSize(60, 40));
    EXPECT_EQ(panel->x(), 0);
    // Scrolled out of view, the panel is hidden; back in view, shown again.
    v.viewer.SetVScrollBarPosition(200);
    v.viewer.PaintPanel()->repaint();
    EXPECT_FALSE(panel->isVisible());
    v.viewer.SetVScrollBarPosition(0);
    v.viewer.PaintPanel()->repaint();
    EXPECT_TRUE(panel->isVisible());
}

TEST(Panels, AlignLeftFloatsBesideTheText)
{
    ObjectViewer v;
    QWidget* panel = nullptr;
    v.viewer.OnPanelCreate = [&](TPageViewer*, const std::string&, const std::string&, const std::vector<std::string>&,
                                 QWidget* control) { panel = control; };
    v.viewer.LoadDocumentString("<p><object name=links align=left width=50 height=50></object>Text daneben</p>");
    v.Paint();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->pos(), QPoint(3, 0));  // the float's 3 pixels of space
    // The text starts right of the panel and its space, on the panel's first line.
    int x = 0, y = 0;
    ASSERT_TRUE(v.viewer.Document().CursorToXY(v.viewer.MeasureCanvas(), 1, x, y));
    EXPECT_GE(x, 56);
    EXPECT_LT(y, 50);
}

TEST(Panels, ClearFiresTheDestroyEventWithThePanel)
{
    ObjectViewer v;
    QWidget* panel = nullptr;
    std::vector<QWidget*> destroyed;
    v.viewer.OnPanelCreate = [&](TPageViewer*, const std::string&, const std::string&, const std::vector<std::string>&,
                                 QWidget* control) { panel = control; };
    v.viewer.OnPanelDestroy = [&](TPageViewer*, QWidget* control) { destroyed.push_back(control); };
    v.viewer.LoadDocumentString("<object name=a></object>");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(v.Doc().PanelList.size(), 1u);
    v.viewer.Clear();
    EXPECT_EQ(destroyed, std::vector<QWidget*>{panel});
    EXPECT_TRUE(v.Doc().PanelList.empty());
    EXPECT_TRUE(v.viewer.PaintPanel()->findChildren<QFrame*>().isEmpty());
}

TEST(Panels, PrintedByTheOwnerOrAsABoxWithTheName)
{
    ObjectViewer v;
    QWidget* panel = nullptr;
    v.viewer.OnPanelCreate = [&](TPageViewer*, const std::string&, const std::string&, const std::vector<std::string>&,
                                 QWidget* control) { panel = control; };
    v.viewer.LoadDocumentString("<p>A<object name=Messwerte width=80 height=30></object>");
    v.Paint();
    const QPoint screenPos = panel->pos();
    TestFontEngine fonts;
    auto print = [&] {
        std::unique_ptr<TSectionList> copy = v.Doc().CreateCopy();
        copy->Printing = true;
        RecordingCanvas canvas(fonts);
        int maxWidth = 0;
        copy->LayoutDocument(canvas, 400, maxWidth);
        copy->SetYOffset(0);
        copy->PaintDocument(canvas, {0, 0, 400, 200});
        return canvas.Text();
    };
    const std::string placeholder = print();
    EXPECT_NE(placeholder.find("'Messwerte'"), std::string::npos) << placeholder;
    EXPECT_NE(placeholder.find("Rectangle"), std::string::npos);
    EXPECT_EQ(panel->pos(), screenPos);  // the print copy leaves the screen's panel alone
    QWidget* printed = nullptr;
    TRect where;
    v.viewer.OnPanelPrint = [&](TPageViewer*, QWidget* control, Canvas&, const TRect& rect) {
        printed = control;
        where = rect;
    };
    const std::string owned = print();
    EXPECT_EQ(printed, panel);
    EXPECT_EQ(where.Right - where.Left, 80);
    EXPECT_EQ(where.Bottom - where.Top, 30);
    EXPECT_EQ(owned.find("'Messwerte'"), std::string::npos);
}

// ---------------------------------------------------------------------------------------------
// Animation

// Frames of 20 x 10 in colours 1, 2, ..., each shown for 100 ms.
std::string GifOfFrames(int frames)
{
    imagetest::GifWriter gif(20, 10, imagetest::TestPalette(8));
    gif.Loop(0);
    for (std::uint8_t colour = 1; colour <= frames; ++colour) {
        gif.Control(1, 10, -1);
        gif.Image(0, 0, 20, 10, std::vector<std::uint8_t>(200, colour));
    }
    return gif.Finish();
}

std::string ThreeFrameGif()
{
    return GifOfFrames(3);
}

TGIFImage* FirstGif(TSectionList& doc)
{
    for (TGIFImage* gif : doc.AnimatedImages)
        return gif;
    return nullptr;
}

TEST(Animation, StillPagesNeverEnableTheTimer)
{
    ObjectViewer v;
    v.viewer.LoadDocumentString("<p>Nur Text</p>");
    v.Paint();
    EXPECT_TRUE(!v.viewer.AnimationTimer() || !v.viewer.AnimationTimer()->isActive());
}

TEST(Animation, FirstTickAfter50msThenEvery40msAndOnlyShownImagesStep)
{
    TempFolder folder;
    folder.WriteFile("anim.gif", ThreeFrameGif());
    const std::string page = folder.WriteFile("seite.htm", "<p><img src=anim.gif>");
    ObjectViewer v;
    v.viewer.LoadDocumentFile(page);
    v.Paint();
    QTimer* timer = v.viewer.AnimationTimer();
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 50);
    TGIFImage* gif = FirstGif(v.Doc());
    ASSERT_NE(gif, nullptr);
    const int first = gif->CurrentFrame();
    v.Now += 50;  // not yet the frame's 100 ms
    v.viewer.AnimationTimerTick();
    EXPECT_EQ(timer->interval(), 40);
    EXPECT_EQ(gif->CurrentFrame(), first);
    v.Now += 60;
    v.viewer.AnimationTimerTick();
    EXPECT_NE(gif->CurrentFrame(), first);
    EXPECT_TRUE(timer->isActive());
}

TEST(Animation, ImagesOutOfViewStandStill)
{
    TempFolder folder;
    folder.WriteFile("anim.gif", ThreeFrameGif());
    std::string html = "<p>Oben";
    for (int i = 0; i < 60; ++i)
        html += "<br>Zeile";
    html += "<br><img src=anim.gif>";
    const std::string page = folder.WriteFile("seite.htm", html);
    ObjectViewer v;
    v.viewer.LoadDocumentFile(page);
    v.Paint();
    TGIFImage* gif = FirstGif(v.Doc());
    ASSERT_NE(gif, nullptr);
    const int first = gif->CurrentFrame();
    v.Now += 500;
    v.viewer.AnimationTimerTick();
    EXPECT_EQ(gif->CurrentFrame(), first);
}

TEST(Animation, AnimatedBackgroundRepaintsWithItsNextFrame)
{
    TempFolder folder;
    folder.WriteFile("grund.gif", ThreeFrameGif());
    const std::string page = folder.WriteFile("seite.htm", "<body background=grund.gif><p>Text</p></body>");
    ObjectViewer v;
    v.viewer.LoadDocumentFile(page);
    v.Paint();
    const auto colourAt = [&] { return v.viewer.PaintPanel()->grab().toImage().pixel(300, 150) & 0xFFFFFF; };
    const std::vector<QRgb> palette = imagetest::TestPalette(8);
    EXPECT_EQ(colourAt(), palette[1] & 0xFFFFFF);
    v.Now += 150;
    v.viewer.AnimationTimerTick();
    EXPECT_EQ(colourAt(), palette[2] & 0xFFFFFF);
    EXPECT_EQ(v.Doc().AnimatedImages.size(), 1u);
}

TEST(Animation, ActiveImagesStayStillUntilHovered)
{
    TempFolder folder;
    folder.WriteFile("lauf.gif", GifOfFrames(5));
    folder.WriteFile("knopf.gif", GifOfFrames(3));
    const std::string page = folder.WriteFile("seite.htm", "<p><img src=lauf.gif active><img src=knopf.gif active>");
    ObjectViewer v;
    v.viewer.LoadDocumentFile(page);
    v.Paint();
    const auto gifAt = [&](int x) {
        TImageHit hit;
        EXPECT_TRUE(v.viewer.Document().FindImageAt(v.viewer.MeasureCanvas(), x, 5, hit));
        return dynamic_cast<TGIFImage*>(static_cast<const TImageObj*>(hit.Image)->Image);
    };
    TGIFImage* running = gifAt(5);
    TGIFImage* button = gifAt(25);
    ASSERT_TRUE(running && button);
    EXPECT_TRUE(v.Doc().AnimatedImages.empty());
    v.Now += 500;
    v.viewer.AnimationTimerTick();
    EXPECT_EQ(running->CurrentFrame(), 1);
    // Under the mouse the long one runs; moved away it stops on its first frame.
    v.viewer.PanelMouseMove(Qt::NoButton, Qt::NoModifier, 5, 5);
    EXPECT_EQ(v.Doc().AnimatedImages, std::vector<TGIFImage*>{running});
    v.viewer.PaintPanel()->repaint();
    EXPECT_NE(v.viewer.AnimationTimer(), nullptr);
    v.Now += 150;
    v.viewer.AnimationTimerTick();
    EXPECT_EQ(running->CurrentFrame(), 2);
    v.viewer.PanelMouseMove(Qt::NoButton, Qt::NoModifier, 100, 100);
    EXPECT_EQ(running->CurrentFrame(), 1);
    EXPECT_TRUE(v.Doc().AnimatedImages.empty());
    // The three-frame one is a two-state button: frame 2 under the mouse, 3 while pressed.
    v.viewer.PanelMouseMove(Qt::NoButton, Qt::NoModifier, 25, 5);
    EXPECT_EQ(button->CurrentFrame(), 2);
    v.viewer.PanelMouseDown(Qt::LeftButton, Qt::NoModifier, 25, 5);
    EXPECT_EQ(button->CurrentFrame(), 3);
    v.viewer.PanelMouseUp(Qt::LeftButton, Qt::NoModifier, 25, 5);
    EXPECT_EQ(button->CurrentFrame(), 2);
    v.viewer.PanelMouseMove(Qt::NoButton, Qt::NoModifier, 100, 100);
    EXPECT_EQ(button->CurrentFrame(), 1);
}

// The animated picture of the test page objekte.html: a block running along a 60 x 20 strip in
// six frames of 150 ms. The tests write it (VELMORAN_WRITE_TEST_DATA=1) and check that the copy
// in tests/data is what they would write.
std::string RunningBlockGif()
{
    imagetest::GifWriter gif(60, 20, imagetest::TestPalette(4));
    gif.Loop(0);
    for (int frame = 0; frame < 6; ++frame) {
        std::vector<std::uint8_t> pixels(60 * 20, 0);
        for (int y = 4; y < 16; ++y)
            for (int x = frame * 10; x < frame * 10 + 10; ++x)
                pixels[static_cast<std::size_t>(y * 60 + x)] = 2;
        gif.Control(1, 15, -1);
        gif.Image(0, 0, 60, 20, pixels);
    }
    return gif.Finish();
}

TEST(Animation, TestPageGifIsTheOneTheTestsWrite)
{
    const std::string file = std::string(VELMORAN_TEST_DATA) + "/html/lauf.gif";
    if (std::getenv("VELMORAN_WRITE_TEST_DATA"))
        imagetest::WriteFile(file, RunningBlockGif());
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, RunningBlockGif());
    // And the page shows it running.
    ObjectViewer v;
    v.viewer.LoadDocumentFile(std::string(VELMORAN_TEST_DATA) + "/html/objekte.html");
    v.Paint();
    EXPECT_FALSE(v.Doc().AnimatedImages.empty());
    ASSERT_NE(v.viewer.AnimationTimer(), nullptr);
    EXPECT_TRUE(v.viewer.AnimationTimer()->isActive());
}

// Counts the timer requests of a document.
class TimerHost : public TNullDocumentHost {
public:
    void SetTimer(bool enabled, int) override { ++(enabled ? Enabled : Disabled); }
    std::uint32_t AnimationClock() const override { return 0; }
    int Enabled = 0;
    int Disabled = 0;
};

TEST(Animation, PrintCopyNeverAsksForATimer)
{
    App();
    TempFolder folder;
    folder.WriteFile("anim.gif", ThreeFrameGif());
    TestFontEngine fonts;
    ScopedScreenFonts scoped(fonts);
    struct FolderHost : TimerHost {
        std::string Base;
        std::string BasePath() const override { return Base; }
    } screenHost;
    screenHost.Base = folder.Folder();
    TSectionList doc(&screenHost);
    doc.Styles.BuildDefaultStyleSheet({});
    ParseHtmlDocument("<p><img src=anim.gif>", doc);
    RecordingCanvas canvas(fonts);
    int maxWidth = 0;
    doc.LayoutDocument(canvas, 300, maxWidth);
    ASSERT_EQ(doc.AnimatedImages.size(), 1u);
    EXPECT_GT(screenHost.Enabled, 0);
    const int before = screenHost.Enabled + screenHost.Disabled;
    std::unique_ptr<TSectionList> copy = doc.CreateCopy();
    copy->Printing = true;
    copy->LayoutDocument(canvas, 300, maxWidth);
    copy->SetYOffset(0);
    copy->PaintDocument(canvas, {0, 0, 300, 200});
    EXPECT_FALSE(copy->AnimationTick(5000));
    EXPECT_EQ(screenHost.Enabled + screenHost.Disabled, before);
}

}  // namespace
}  // namespace velmoran
