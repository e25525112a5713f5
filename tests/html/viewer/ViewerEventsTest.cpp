// The viewer's answers about images and its remaining events: areas of client-side image maps
// under the mouse, clicks on images, pictures the owner hands in, drags over the drawing surface
// (also in frames), and the copied "HTML Format" of pages read in other code pages.
#include "tests/support/TempFolder.h"
#include "tests/support/TestApp.h"

#include "html/viewer/FrameViewer.h"
#include "html/viewer/PageViewer.h"
#include "platform/Clipboard.h"
#include "platform/core/CodePage.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QRegion>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace velmoran {
namespace {

using testing::App;
using testing::TempFolder;

// A viewer without margins or border, so that page and surface coordinates agree.
struct PlainViewer {
    PlainViewer()
    {
        App();
        viewer.SetBorderStyle(THTMLBorderStyle::htNone);
        viewer.SetMarginWidth(0);
        viewer.SetMarginHeight(0);
        viewer.resize(400, 300);
    }
    void Paint()
    {
        viewer.show();
        QApplication::processEvents();
        viewer.PaintPanel()->repaint();
    }
    int Hit(int x, int y, TLinkHit& hit) { return viewer.Document().GetURL(viewer.MeasureCanvas(), x, y, hit); }
    TPageViewer viewer;
};

const std::string kMapPage = std::string(VELMORAN_TEST_DATA) + "/html/karte.html";

TEST(ImageMaps, EachAreaAnswersWithItsUrlTargetAndTitle)
{
    PlainViewer v;
    v.viewer.LoadDocumentFile(kMapPage);
    v.Paint();
    struct Case {
        int x, y;
        const char* url;
        const char* target;
        const char* title;
    };
    const Case cases[] = {{10, 10, "becken.html", "", "Belebungsbecken"},
                          {100, 50, "klaerer.html", "rechts", "Nachklaerbecken"},
                          {125, 50, "klaerer.html", "rechts", "Nachklaerbecken"},  // inside the rim
                          {195, 10, "zulauf.html", "", "Zulauf"}};
    for (const Case& c : cases) {
        TLinkHit hit;
        const int bits = v.Hit(c.x, c.y, hit);
        EXPECT_TRUE(bits & 1) << c.x << "," << c.y;
        EXPECT_EQ(hit.Url, c.url);
        EXPECT_EQ(hit.Target, c.target);
        EXPECT_EQ(hit.Title, c.title);
    }
    // A NOHREF area, a point outside every area (below the triangle, beside the circle's bounding
    // box corner) give no link.
    for (const auto& [x, y] : {std::pair{10, 60}, std::pair{160, 90}, std::pair{75, 25}}) {
        TLinkHit hit;
        EXPECT_FALSE(v.Hit(x, y, hit) & 1) << x << "," << y;
    }
    // The mouse over an area reports it as the hot spot.
    std::string covered;
    v.viewer.OnHotSpotCovered = [&](TPageViewer*, const std::string& url) { covered = url; };
    v.viewer.PanelMouseMove(Qt::NoButton, Qt::NoModifier, 100, 40);
    EXPECT_EQ(covered, "klaerer.html");
}

// The map page's areas were regions made when the page was read; the shapes answer for themselves
// now. Over every pixel of the picture the links are those of the regions the page's areas made:
// exactly for the rectangles and the triangle, and for the circle everywhere but on its rim, where
// the region was a polygon flattened from the curve and the circle now goes by distance.
TEST(ImageMaps, EveryPixelHitsTheAreaItsRegionHeld)
{
    PlainViewer v;
    v.viewer.LoadDocumentFile(kMapPage);
    v.Paint();
    const std::vector<std::pair<QRegion, std::string>> regions = {
        {QRegion(QRect(QPoint(0, 0), QPoint(49, 49))), "becken.html"},
        {QRegion(70, 20, 61, 61, QRegion::Ellipse), "klaerer.html"},
        {QRegion(QPolygon({QPoint(150, 0), QPoint(199, 0), QPoint(199, 99)}), Qt::WindingFill), "zulauf.html"},
        {QRegion(QRect(QPoint(0, 50), QPoint(49, 99))), ""}};
    int rim = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x) {
            std::string expected;
            for (const auto& [region, url] : regions)
                if (region.contains(QPoint(x, y))) {
                    expected = url;
                    break;
                }
            TLinkHit hit;
            const std::string found = v.Hit(x, y, hit) & 1 ? hit.Url : std::string();
            if (std::abs(std::hypot(x - 100.5, y - 50.5) - 30.5) <= 1.5) {
                rim += found != expected;
                continue;
            }
            ASSERT_EQ(found, expected) << x << "," << y;
        }
    EXPECT_LT(rim, 100);  // of the some 570 pixels within 1.5 of the rim
}

TEST(ViewerEvents, ImageClickAndOverGiveThePointWithinTheImage)
{
    PlainViewer v;
    v.viewer.LoadDocumentFile(kMapPage);
    v.Paint();
    const void* clicked = nullptr;
    int clickX = -1, clickY = -1, overs = 0;
    v.viewer.OnImageClick = [&](TPageViewer*, const void* image, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
        clicked = image;
        clickX = x;
        clickY = y;
    };
    v.viewer.OnImageOver = [&](TPageViewer*, const void*, Qt::KeyboardModifiers, int, int) { ++overs; };
    // In the map's area without a link, so that the click follows nothing.
    v.viewer.PanelMouseMove(Qt::NoButton, Qt::NoModifier, 30, 70);
    EXPECT_EQ(overs, 1);
    v.viewer.PanelMouseDown(Qt::LeftButton, Qt::NoModifier, 30, 70);
    v.viewer.PanelMouseUp(Qt::LeftButton, Qt::NoModifier, 30, 70);
    EXPECT_NE(clicked, nullptr);
    EXPECT_EQ(clickX, 30);
    EXPECT_EQ(clickY, 70);
    // Below the picture there is no image.
    clicked = nullptr;
    v.viewer.PanelMouseDown(Qt::LeftButton, Qt::NoModifier, 30, 250);
    v.viewer.PanelMouseUp(Qt::LeftButton, Qt::NoModifier, 30, 250);
    EXPECT_EQ(clicked, nullptr);
}

TEST(ViewerEvents, BitmapRequestSuppliesThePictureShown)
{
    PlainViewer v;
    std::vector<std::string> asked;
    v.viewer.OnBitmapRequest = [&](TPageViewer*, const std::string& src, QImage& bitmap, ColorRef& color) {
        asked.push_back(src);
        if (src != "rot.bmp")
            return;
        bitmap = QImage(40, 30, QImage::Format_RGB32);
        bitmap.fill(qRgb(255, 0, 0));
        bitmap.setPixel(0, 0, qRgb(0, 255, 0));
        color = 0x00FF00;  // green (BGR) is transparent
    };
    v.viewer.SetDefBackground(0xFFFFFF);
    v.viewer.LoadDocumentString("<img src=rot.bmp><img src=fehlt.bmp alt=x>");
    v.Paint();
    EXPECT_EQ(asked, (std::vector<std::string>{"rot.bmp", "fehlt.bmp"}));
    const QImage shown = v.viewer.PaintPanel()->grab().toImage();
    EXPECT_EQ(shown.pixel(20, 15) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(shown.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);  // the transparent colour shows the page
    TImageHit hit;
    EXPECT_TRUE(v.viewer.Document().FindImageAt(v.viewer.MeasureCanvas(), 39, 29, hit));
    EXPECT_EQ(hit.X, 39);
}

// A drop of text at a surface point.
void Drop(QWidget* surface, QPoint at, QMimeData& data)
{
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(surface, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(surface, &drop);
}

TEST(ViewerEvents, DropOnTheSurfaceReachesOnDragDropInSurfaceCoordinates)
{
    PlainViewer v;
    v.viewer.LoadDocumentString("<p>Ziel</p>");
    v.Paint();
    QObject* sender = nullptr;
    QPoint where;
    std::string text;
    int overs = 0;
    v.viewer.SetOnDragOver([&](QObject*, const QMimeData*, int, int, bool& accept) {
        ++overs;
        accept = true;
    });
    v.viewer.SetOnDragDrop([&](QObject* s, const QMimeData* data, int x, int y) {
        sender = s;
        where = {x, y};
        text = data->text().toStdString();
    });
    EXPECT_TRUE(v.viewer.PaintPanel()->acceptDrops());
    QMimeData data;
    data.setText("Becken 1");
    Drop(v.viewer.PaintPanel(), {12, 34}, data);
    EXPECT_EQ(sender, &v.viewer);
    EXPECT_EQ(where, QPoint(12, 34));
    EXPECT_EQ(text, "Becken 1");
    EXPECT_EQ(overs, 1);
    // Clearing both handlers closes the surface to drops.
    v.viewer.SetOnDragOver({});
    v.viewer.SetOnDragDrop({});
    EXPECT_FALSE(v.viewer.PaintPanel()->acceptDrops());
}

TEST(ViewerEvents, FrameViewerHandsItsEventsToEveryFrame)
{
    TempFolder folder;
    const std::string top = folder.Folder() + "rahmen.htm";
    std::ofstream(top) << "<frameset cols=\"50%,50%\"><frame name=links src=l.htm><frame name=rechts src=r.htm></frameset>";
    std::ofstream(folder.Folder() + "l.htm") << "<p>links";
    std::ofstream(folder.Folder() + "r.htm") << "<p><img src=bild.bmp width=20 height=20>";
    App();
    TFrameViewer frames;
    frames.resize(600, 300);
    QObject* dropSender = nullptr;
    frames.SetOnDragDrop([&](QObject* s, const QMimeData*, int, int) { dropSender = s; });
    std::vector<std::string> bitmaps;
    TFrameViewer::TPassedEvents passed;
    passed.OnBitmapRequest = [&](TPageViewer*, const std::string& src, QImage&, ColorRef&) { bitmaps.push_back(src); };
    passed.OnPrintHeader = [](TPageViewer*, Canvas&, int, int, int, bool&) {};
    passed.OnPrintHTMLFooter = [](TPageViewer*, TPageViewer*, int, bool, int&, int&, bool&) {};
    frames.SetPassedEvents(passed);
    frames.LoadFromFile(top);
    EXPECT_EQ(bitmaps, std::vector<std::string>{"bild.bmp"});
    TPageViewer* right = frames.GetViewerFromName("rechts");
    ASSERT_NE(right, nullptr);
    EXPECT_TRUE(static_cast<bool>(right->OnBitmapRequest));
    // A frame prints with the frame viewer's headers and footers.
    EXPECT_TRUE(static_cast<bool>(right->OnPrintHeader));
    EXPECT_TRUE(static_cast<bool>(right->OnPrintHTMLFooter));
    EXPECT_FALSE(static_cast<bool>(right->OnPrintFooter));
    QMimeData data;
    data.setText("x");
    Drop(right->PaintPanel(), {5, 5}, data);
    EXPECT_EQ(dropSender, &frames);
    // On the frame borders (the top frameset itself) the frame viewer takes the drop.
    dropSender = nullptr;
    Drop(&frames, {300, 5}, data);
    EXPECT_EQ(dropSender, &frames);
    // Cleared on the frame viewer, the forwarders go too.
    frames.SetOnDragDrop({});
    EXPECT_FALSE(right->OnDragDrop());
    EXPECT_FALSE(frames.acceptDrops());
}

// A closed comment that starts with "#" is a comment unless the owner reads includes: it once
// became an include the viewer read to the end of the page ("Open Comment at End of HTML File"
// for a quote left open, the page's text swallowed up to a later "'").
TEST(ViewerEvents, AHashCommentIsAnIncludeOnlyForAnOwnerThatReadsThem)
{
    PlainViewer v;
    const std::string page = "<!--# autor='Meier -->A<!--# x='y --> B <p>C ' -->D";
    ASSERT_NO_THROW(v.viewer.LoadDocumentString(page));
    EXPECT_EQ(v.viewer.GetRangeText(0, 100), u"A B\r\nC ' -->D");

    std::vector<std::string> commands;
    v.viewer.OnInclude = [&](TPageViewer*, const std::string& command, const std::vector<std::string>&,
                             std::string& text) {
        commands.push_back(command);
        text = "<b>eingef\xFCgt</b>";
    };
    v.viewer.LoadDocumentString("<!--#kopf datei='k.htm' -->A");
    EXPECT_EQ(commands, std::vector<std::string>{"kopf"});
    EXPECT_EQ(v.viewer.GetRangeText(0, 100), u"eingef\u00FCgtA");
}

// The fragment of the "HTML Format" data on the clipboard after copying the whole page.
std::string CopiedFragment(PlainViewer& v, MemoryClipboard& board, int length)
{
    v.viewer.Document().SetSelection(0, length);
    v.viewer.CopySelectionToClipboard();
    const std::string data = board.HtmlFormat();
    const auto number = [&](const std::string& key) { return std::stol(data.substr(data.find(key) + key.size(), 8)); };
    return data.substr(static_cast<std::size_t>(number("StartFragment:")),
                       static_cast<std::size_t>(number("EndFragment:") - number("StartFragment:")));
}

TEST(CodePage, CopiedHtmlKeepsTheCharactersOfUtf8AndShiftJisPages)
{
    MemoryClipboard board;
    ScopedClipboard scoped(board);
    const std::string nihon = "\xE6\x97\xA5\xE6\x9C\xAC";  // "日本" in UTF-8
    {
        PlainViewer v;
        v.viewer.LoadDocumentString("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                                    "charset=utf-8\"></head><body><p>" + nihon + "</p></body></html>");
        EXPECT_EQ(v.viewer.Document().CodePage(), kUtf8CodePage);
        EXPECT_NE(CopiedFragment(v, board, 2).find(nihon), std::string::npos);
    }
    {
        PlainViewer v;
        v.viewer.LoadDocumentString("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                                    "charset=shift_jis\"></head><body><p>\x93\xFA\x96\x7B</p></body></html>");
        EXPECT_EQ(v.viewer.Document().CodePage(), 932);
        EXPECT_NE(CopiedFragment(v, board, 2).find(nihon), std::string::npos);
    }
    {
        PlainViewer v;  // an 8-bit page without a declaration stays Windows-1252
        v.viewer.LoadDocumentString("<p>K\xF6ln</p>");
        EXPECT_EQ(v.viewer.Document().CodePage(), 1252);
        EXPECT_NE(CopiedFragment(v, board, 4).find("K\xC3\xB6ln"), std::string::npos);
    }
}

}  // namespace
}  // namespace velmoran
