// Tests of the page viewer over a small document of the tests' own: the events of a load, failed
// loads, META refresh, history and visited list, property clamps, anchors, scroll bars, scrolling
// by keys and wheel, hover and hot-spot events, following links, selection, clipboard copy, the
// printing guard, painting of the background, and the nested scrolling loop.
#include "tests/support/TempFolder.h"
#include "tests/support/TestApp.h"
#include "FakeDocument.h"

#include "html/viewer/MetaFilePrinter.h"
#include "html/viewer/PageViewer.h"
#include "platform/Clipboard.h"
#include "platform/core/Stream.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmoran {
namespace {

using test::FakeDocument;

using testing::App;
using testing::TempFolder;

class ViewerTest : public ::testing::Test {
protected:
    ViewerTest()
    {
        App();
        auto doc = std::make_unique<FakeDocument>();
        doc_ = doc.get();
        viewer_ = std::make_unique<TPageViewer>(nullptr, std::move(doc));
        viewer_->SetBorderStyle(THTMLBorderStyle::htNone);
        viewer_->resize(400, 300);
        viewer_->PointerOverSurface = [this] { return pointerOver_; };
    }

    // Lines "Zeile 0" .. "Zeile n-1", each a positioned section of 20 pixels.
    static std::string Lines(int n)
    {
        std::string s;
        for (int i = 0; i < n; ++i)
            s += (i ? "<br>" : "") + std::string("<a name=l") + std::to_string(i) + ">Zeile " + std::to_string(i);
        return s;
    }

    std::vector<std::string> RecordEvents()
    {
        viewer_->OnProcessing = [this](TPageViewer*, bool on) { events_.push_back(on ? "Processing(1)" : "Processing(0)"); };
        viewer_->OnProgress = [this](TPageViewer*, ThtProgressStage stage, int pct) {
            events_.push_back("Progress(" + std::to_string(static_cast<int>(stage)) + "," + std::to_string(pct) + ")");
        };
        viewer_->OnParseBegin = [this](TPageViewer*, std::string&) { events_.push_back("ParseBegin"); };
        viewer_->OnParseEnd = [this](TPageViewer*) { events_.push_back("ParseEnd"); };
        viewer_->OnSoundRequest = [this](TPageViewer*, const std::string&, int, bool terminate) {
            events_.push_back(terminate ? "Sound(terminate)" : "Sound");
        };
        viewer_->OnMeta = [this](TPageViewer*, const std::string& httpEq, const std::string&, const std::string&) {
            events_.push_back("Meta(" + httpEq + ")");
        };
        viewer_->OnMetaRefresh = [this](TPageViewer*, int delay, const std::string& url) {
            events_.push_back("MetaRefresh(" + std::to_string(delay) + "," + url + ")");
        };
        viewer_->OnHistoryChange = [this](TPageViewer*) { events_.push_back("HistoryChange"); };
        return events_;
    }

    void Move(int x, int y, Qt::MouseButtons buttons = Qt::NoButton)
    {
        viewer_->PanelMouseMove(buttons, Qt::NoModifier, x, y);
    }
    void Click(int x, int y, Qt::KeyboardModifiers shift = Qt::NoModifier)
    {
        viewer_->PanelMouseDown(Qt::LeftButton, shift, x, y);
        viewer_->PanelMouseUp(Qt::LeftButton, shift, x, y);
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(viewer_.get(), &press);
    }

    FakeDocument* doc_ = nullptr;
    std::unique_ptr<TPageViewer> viewer_;
    std::vector<std::string> events_;
    bool pointerOver_ = true;
    TempFolder dir_;
};

// --- loading ---

TEST_F(ViewerTest, FileLoadFiresEventsInOrder)
{
    const std::string file = dir_.WriteFile("page.htm", "<title>Titel</title><meta http-equiv=refresh content=\"2; url=b.htm\">Text");
    viewer_->SetHistoryMaxCount(5);
    RecordEvents();
    viewer_->LoadDocumentFile(file);
    const std::vector<std::string> expected{"Processing(1)", "Progress(0,0)",   "ParseBegin",
                                            "Sound(terminate)", "Meta(refresh)", "ParseEnd",
                                            "Progress(2,100)", "Processing(0)", "MetaRefresh(2,b.htm)",
                                            "HistoryChange"};
    EXPECT_EQ(events_, expected);
    EXPECT_EQ(viewer_->DocumentTitle(), u"Titel");
    EXPECT_EQ(viewer_->GetCurrentFile(), file);
    EXPECT_FALSE(viewer_->Processing());
}

TEST_F(ViewerTest, StringLoadFiresEventsInOrder)
{
    RecordEvents();
    viewer_->LoadDocumentString("<meta http-equiv=Refresh content=\"0; URL=next.htm\">Text", "");
    const std::vector<std::string> expected{"Processing(1)", "Progress(0,0)",   "Sound(terminate)",
                                            "ParseBegin",    "Meta(Refresh)",   "ParseEnd",
                                            "Progress(2,100)", "Processing(0)", "MetaRefresh(1,next.htm)"};
    EXPECT_EQ(events_, expected);
    EXPECT_EQ(viewer_->GetCurrentFile(), "");
}

TEST_F(ViewerTest, StreamAndBufferLoadsReadFromThePosition)
{
    TMemoryStream stream;
    const std::string text = "XXXX<meta http-equiv=refresh content=\"0; URL=next.htm\">Hallo";
    stream.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
    stream.SetPosition(4);
    int delay = 0;
    std::string url;
    viewer_->OnMetaRefresh = [&](TPageViewer*, int d, const std::string& u) {
        delay = d;
        url = u;
    };
    viewer_->LoadDocumentStream(stream, "");
    EXPECT_EQ(delay, 1);
    EXPECT_EQ(url, "next.htm");
    EXPECT_EQ(viewer_->DocumentSource(), text.substr(4));
    EXPECT_EQ(doc_->Text, u"Hallo");

    viewer_->LoadDocumentBuffer("abcdef", 3, "");
    EXPECT_EQ(doc_->Text, u"abc");
}

TEST_F(ViewerTest, ParseBeginMayChangeTheSource)
{
    viewer_->OnParseBegin = [](TPageViewer*, std::string& source) { source = "Neu"; };
    viewer_->LoadDocumentString("Alt");
    EXPECT_EQ(doc_->Text, u"Neu");
}

TEST_F(ViewerTest, MissingFileRaisesAndKeepsTheDocument)
{
    viewer_->LoadDocumentString("Vorher");
    RecordEvents();
    const std::string missing = dir_ / "fehlt.htm";
    try {
        viewer_->LoadDocumentFile(missing);
        FAIL() << "no exception";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.Message(), "Can't locate file: " + missing);
    }
    EXPECT_EQ(doc_->Text, u"Vorher");
    EXPECT_EQ(viewer_->DocumentSource(), "Vorher");
    EXPECT_FALSE(viewer_->Processing());
    EXPECT_FALSE(viewer_->LayoutRunning());
    const std::vector<std::string> expected{"Processing(1)", "Progress(2,100)", "Processing(0)"};
    EXPECT_EQ(events_, expected);
    // The viewer still loads afterwards.
    viewer_->LoadDocumentString("Danach");
    EXPECT_EQ(doc_->Text, u"Danach");
}

TEST_F(ViewerTest, ParseFailureStillEndsTheLoad)
{
    class Failing : public FakeDocument {
    public:
        TParseResult ParseHtml(const std::string&, const TParseHooks&) override { throw Exception("kaputt"); }
    };
    auto doc = std::make_unique<Failing>();
    TPageViewer viewer(nullptr, std::move(doc));
    bool ended = false;
    viewer.OnProgress = [&](TPageViewer*, ThtProgressStage stage, int) { ended = stage == ThtProgressStage::psEnding; };
    EXPECT_THROW(viewer.LoadDocumentString("x"), Exception);
    EXPECT_TRUE(ended);
    EXPECT_FALSE(viewer.Processing());
    EXPECT_FALSE(viewer.LayoutRunning());
    const std::string file = dir_.WriteFile("a.htm", "x");
    EXPECT_THROW(viewer.LoadDocumentFile(file), Exception);
    EXPECT_FALSE(viewer.Processing());
    EXPECT_FALSE(viewer.LayoutRunning());
}

TEST_F(ViewerTest, ImageFileIsShownThroughAnEscapedPage)
{
    const std::string file = dir_.WriteFile("a&b\"c.gif", "GIF89a");
    viewer_->LoadImageFile(file);
    EXPECT_EQ(doc_->LastParsed, "<img src=\"file://" + (dir_ / "a%26b%22c.gif") + "\">");
    EXPECT_EQ(viewer_->CurrentFileType(), kImageKind);
    EXPECT_EQ(viewer_->DocumentSource(), "");
}

TEST_F(ViewerTest, TextFileIsPlainText)
{
    const std::string file = dir_.WriteFile("a.txt", "<b>\nzwei");
    viewer_->LoadTextFile(file);
    EXPECT_EQ(doc_->Text, u"<b>zwei");
    EXPECT_EQ(doc_->LineCount(), 2);
    EXPECT_EQ(viewer_->CurrentFileType(), kTextKind);
}

TEST_F(ViewerTest, ClearKeepsTheFileAndResets)
{
    const std::string file = dir_.WriteFile("page.htm", "<title>T</title>" + Lines(40));
    viewer_->LoadDocumentFile(file);
    viewer_->SetVScrollBarPosition(100);
    viewer_->Clear();
    EXPECT_EQ(viewer_->GetCurrentFile(), file);
    EXPECT_EQ(viewer_->DocumentTitle(), u"");
    EXPECT_EQ(viewer_->VScrollBarPosition(), 0);
    EXPECT_FALSE(viewer_->VScrollBar()->isVisibleTo(viewer_.get()));
    EXPECT_EQ(doc_->Text, u"");
}

// --- the printing guard ---

TEST_F(ViewerTest, PrintingGuardBlocksLoadsClearAndBackground)
{
    viewer_->LoadDocumentString("Gedruckt");
    RecordEvents();
    {
        TPageViewer::TPrintingGuard guard(*viewer_);
        const int clears = doc_->ClearCount;
        viewer_->LoadDocumentString("Anders");
        viewer_->LoadDocumentFile(dir_.WriteFile("x.htm", "x"));
        viewer_->Clear();
        viewer_->SetDefBackground(0x00FF00);
        EXPECT_EQ(doc_->ClearCount, clears);
        EXPECT_EQ(doc_->Text, u"Gedruckt");
        EXPECT_NE(viewer_->DefBackground(), 0x00FF00u);
        EXPECT_TRUE(events_.empty());
        EXPECT_TRUE(viewer_->Printing());
    }
    EXPECT_FALSE(viewer_->Printing());
    viewer_->LoadDocumentString("Anders");
    EXPECT_EQ(doc_->Text, u"Anders");
}

TEST_F(ViewerTest, PrintingGuardOutlivingItsViewerIsHarmless)
{
    auto guard = std::make_unique<TPageViewer::TPrintingGuard>(*viewer_);
    viewer_.reset();
    guard.reset();
}

// --- properties ---

TEST_F(ViewerTest, DefaultsAndClamps)
{
    TPageViewer v;
    EXPECT_TRUE(v.ViewImages());
    EXPECT_EQ(v.DefBackground(), SystemColor(COLOR_BTNFACE));
    EXPECT_EQ(v.BorderStyle(), THTMLBorderStyle::htFocused);
    EXPECT_EQ(v.HistoryMaxCount(), 0);
    EXPECT_EQ(v.DefFontName(), "Times New Roman");
    EXPECT_EQ(v.DefPreFontName(), "Courier New");
    EXPECT_EQ(v.DefFontSize(), 12);
    EXPECT_EQ(v.DefFontColor(), SystemColor(COLOR_BTNTEXT));
    EXPECT_EQ(v.DefHotSpotColor(), 0xFF0000u);
    EXPECT_EQ(v.DefVisitedLinkColor(), 0x800080u);
    EXPECT_EQ(v.VisitedMaxCount(), 50);
    EXPECT_EQ(v.ImageCacheCount(), 5);
    EXPECT_EQ(v.ScrollBars(), TScrollStyle::ssBoth);
    EXPECT_EQ(v.MarginHeight(), 5);
    EXPECT_EQ(v.MarginWidth(), 10);
    EXPECT_EQ(v.htOptions(), (TPageViewerOptions{htPrintTableBackground, htPrintMonochromeBlack}));
    EXPECT_EQ(v.ViewerCursor(), Qt::IBeamCursor);
    EXPECT_EQ(v.width(), 150);
    EXPECT_EQ(v.height(), 150);

    v.SetImageCacheCount(50);
    EXPECT_EQ(v.ImageCacheCount(), 20);
    v.SetImageCacheCount(-1);
    EXPECT_EQ(v.ImageCacheCount(), 0);
    v.SetServerRoot("  /srv/web/  ");
    EXPECT_EQ(v.ServerRoot(), "/srv/web");
    v.SetPrintScale(10);
    EXPECT_EQ(v.PrintScale(), 4.0);
    v.SetPrintScale(0.1);
    EXPECT_EQ(v.PrintScale(), 0.25);
    v.SetHistoryMaxCount(-3);
    EXPECT_EQ(v.HistoryMaxCount(), 0);
    v.SetVisitedMaxCount(-4);
    EXPECT_EQ(v.VisitedMaxCount(), 0);
    v.SetViewerCursor(2);
    EXPECT_EQ(v.ViewerCursor(), Qt::IBeamCursor);
    v.SetDefPreFontName("Ein sehr langer Schriftname, der mehr als 32 Zeichen hat");
    EXPECT_EQ(v.Document().PreFontName().size(), 32u);
}

TEST_F(ViewerTest, NoSelectClearsTheSelection)
{
    viewer_->LoadDocumentString("Hallo Welt");
    doc_->SetSelection(0, 5);
    viewer_->SetNoSelect(true);
    EXPECT_EQ(viewer_->SelLength(), 0);
    viewer_->PanelMouseDown(Qt::LeftButton, Qt::NoModifier, 0, 5);
    viewer_->PanelMouseMove(Qt::LeftButton, Qt::NoModifier, 50, 5);
    viewer_->PanelMouseUp(Qt::LeftButton, Qt::NoModifier, 50, 5);
    EXPECT_EQ(viewer_->SelLength(), 0);
}

// --- history and visited list ---

TEST_F(ViewerTest, HistoryKeepsTheNewestEntries)
{
    std::vector<std::string> files;
    for (const char* n : {"a.htm", "b.htm", "c.htm", "d.htm"})
        files.push_back(dir_.WriteFile(n, std::string("<title>") + n + "</title>Seite"));
    viewer_->SetHistoryMaxCount(3);
    int changes = 0;
    viewer_->OnHistoryChange = [&](TPageViewer*) { ++changes; };
    for (const auto& f : files)
        viewer_->LoadDocumentFile(f);
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(viewer_->History(), (std::vector<std::string>{files[3], files[2], files[1]}));
    EXPECT_EQ(viewer_->TitleHistory()[1], u"c.htm");

    viewer_->LoadDocumentFile(files[3]);  // the same file again: nothing new
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(viewer_->History().size(), 3u);

    viewer_->SetHistoryIndex(2);  // back to b.htm
    EXPECT_EQ(viewer_->GetCurrentFile(), files[1]);
    EXPECT_EQ(viewer_->HistoryIndex(), 2);
    viewer_->LoadDocumentFile(files[0]);  // the forward entries go
    EXPECT_EQ(viewer_->History(), (std::vector<std::string>{files[0], files[1]}));

    viewer_->SetHistoryMaxCount(1);
    EXPECT_TRUE(viewer_->History().empty());
    EXPECT_EQ(viewer_->GetCurrentFile(), "");
}

TEST_F(ViewerTest, NoHistoryWithMaxCountZero)
{
    int changes = 0;
    viewer_->OnHistoryChange = [&](TPageViewer*) { ++changes; };
    viewer_->LoadDocumentFile(dir_.WriteFile("a.htm", "a"));
    viewer_->LoadDocumentFile(dir_.WriteFile("b.htm", "b"));
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(viewer_->History().empty());
}

TEST_F(ViewerTest, ReloadingTheSameFileKeepsThePosition)
{
    const std::string file = dir_.WriteFile("lang.htm", Lines(60));
    viewer_->LoadDocumentFile(file);
    viewer_->SetVScrollBarPosition(200);
    viewer_->LoadDocumentFile(file);
    EXPECT_EQ(viewer_->VScrollBarPosition(), 200);
    viewer_->LoadDocumentFile(dir_.WriteFile("anders.htm", Lines(60)));
    EXPECT_EQ(viewer_->VScrollBarPosition(), 0);
}

TEST_F(ViewerTest, VisitedLinksAreFlaggedAndListed)
{
    const std::string target = dir_.WriteFile("ziel.htm", "Ziel");
    const std::string start = dir_.WriteFile("start.htm", "<a href=ziel.htm>Ziel</a> <a href=x.htm>X</a>");
    viewer_->LoadDocumentFile(start);
    Click(15, 5);  // follows ziel.htm
    EXPECT_EQ(viewer_->GetCurrentFile(), target);
    ASSERT_FALSE(viewer_->Visited().empty());
    EXPECT_EQ(viewer_->Visited().front(), target);
    viewer_->LoadDocumentFile(start);
    EXPECT_TRUE(doc_->Links[0].Visited);
    EXPECT_FALSE(doc_->Links[1].Visited);

    viewer_->SetVisitedMaxCount(0);
    EXPECT_TRUE(viewer_->Visited().empty());
    EXPECT_FALSE(doc_->Links[0].Visited);
}

// --- anchors and positions ---

TEST_F(ViewerTest, FileNameWithAnchorScrollsToIt)
{
    const std::string file = dir_.WriteFile("page.htm", Lines(60));
    viewer_->LoadDocumentFile(file + "#L20");
    EXPECT_EQ(viewer_->VScrollBarPosition(), 400);
    EXPECT_EQ(viewer_->GetCurrentFile(), file);
    viewer_->LoadDocumentString(Lines(60), "#l30");
    EXPECT_EQ(viewer_->VScrollBarPosition(), 600);
    EXPECT_FALSE(viewer_->PositionToAnchor("#fehlt"));
    EXPECT_EQ(viewer_->VScrollBarPosition(), 600);
}

TEST_F(ViewerTest, PositionCodeSurvivesALayout)
{
    viewer_->LoadDocumentString(Lines(60));
    viewer_->SetVScrollBarPosition(205);
    const int code = viewer_->GetPosition();
    EXPECT_EQ(code, (11 << 16) | 5);
    viewer_->SetVScrollBarPosition(0);
    viewer_->SetPosition(code);
    EXPECT_EQ(viewer_->VScrollBarPosition(), 205);
    viewer_->SetPosition(77);
    EXPECT_EQ(viewer_->VScrollBarPosition(), 77);
    viewer_->SetPosition(500 << 16);  // a section that does not exist: nothing
    EXPECT_EQ(viewer_->VScrollBarPosition(), 77);
}

// --- layout width, bars and scrolling ---

TEST_F(ViewerTest, DocumentAsTallAsTheWindowShowsNoBar)
{
    doc_->FixedHeight = 300;
    viewer_->LoadDocumentString("x");
    EXPECT_FALSE(viewer_->VScrollBar()->isVisibleTo(viewer_.get()));
    EXPECT_EQ(viewer_->PaintPanel()->width(), 400);
    doc_->FixedHeight = 301;
    viewer_->LoadDocumentString("x");
    EXPECT_TRUE(viewer_->VScrollBar()->isVisibleTo(viewer_.get()));
    const int sbw = viewer_->VScrollBar()->width();
    EXPECT_EQ(viewer_->PaintPanel()->width(), 400 - sbw);
    // Laid out at the full width first, then again with room for the bar.
    EXPECT_EQ(doc_->LayoutWidths.back(), 400 - sbw);
}

// A wide document as tall as the window: the horizontal bar takes its height from the surface, so
// the last lines lie under it and the vertical bar is needed to reach them. The bar's range is the
// height the horizontal bar took.
TEST_F(ViewerTest, AWideDocumentAsTallAsTheWindowNeedsBothBars)
{
    const int sbw = viewer_->VScrollBar()->width();
    doc_->FixedNeededWidth = 500;
    for (const int height : {300, 300 - sbw}) {
        doc_->FixedHeight = height;
        viewer_->LoadDocumentString("x");
        EXPECT_TRUE(viewer_->HScrollBar()->isVisibleTo(viewer_.get())) << height;
        EXPECT_TRUE(viewer_->VScrollBar()->isVisibleTo(viewer_.get())) << height;
        EXPECT_EQ(viewer_->PaintPanel()->size(), QSize(400 - sbw, 300 - sbw)) << height;
        EXPECT_EQ(viewer_->VScrollBar()->maximum(), height - (300 - sbw)) << height;
    }
    // One pixel less tall fits above the horizontal bar: no vertical bar.
    doc_->FixedHeight = 300 - sbw - 1;
    viewer_->LoadDocumentString("x");
    EXPECT_TRUE(viewer_->HScrollBar()->isVisibleTo(viewer_.get()));
    EXPECT_FALSE(viewer_->VScrollBar()->isVisibleTo(viewer_.get()));
    EXPECT_EQ(viewer_->PaintPanel()->size(), QSize(400, 300 - sbw));
}

TEST_F(ViewerTest, BorderTakesTwoPixels)
{
    viewer_->SetBorderStyle(THTMLBorderStyle::htSingle);
    viewer_->LoadDocumentString("x");
    EXPECT_EQ(viewer_->PaintPanel()->geometry(), QRect(1, 1, 398, 298));
    EXPECT_EQ(doc_->LayoutWidths.back(), 398);
}

TEST_F(ViewerTest, ShowVScrollKeepsADisabledBar)
{
    viewer_->SethtOptions({htShowVScroll});
    const int before = doc_->LayoutCount;
    viewer_->LoadDocumentString("kurz");
    EXPECT_TRUE(viewer_->VScrollBar()->isVisibleTo(viewer_.get()));
    EXPECT_FALSE(viewer_->VScrollBar()->isEnabled());
    EXPECT_EQ(doc_->LayoutCount - before, 1);  // once, at the narrower width
    EXPECT_EQ(doc_->LayoutWidths.back(), 400 - viewer_->VScrollBar()->width());
}

TEST_F(ViewerTest, WideDocumentsAreLimited)
{
    doc_->FixedNeededWidth = 6500;
    viewer_->LoadDocumentString("x");
    EXPECT_EQ(viewer_->NeededWidth(), 6000);
    EXPECT_TRUE(viewer_->HScrollBar()->isVisibleTo(viewer_.get()));
    EXPECT_EQ(viewer_->HScrollBar()->maximum(), 6000 - viewer_->PaintPanel()->width());
    Key(Qt::Key_Right);
    EXPECT_EQ(viewer_->HScrollBarPosition(), 15);
    Key(Qt::Key_Left);
    Key(Qt::Key_Left);
    EXPECT_EQ(viewer_->HScrollBarPosition(), 0);
}

TEST_F(ViewerTest, NoBarsWithScrollStyleNone)
{
    doc_->FixedHeight = 5000;
    viewer_->SetScrollBars(TScrollStyle::ssNone);
    viewer_->LoadDocumentString("x");
    EXPECT_FALSE(viewer_->VScrollBar()->isVisibleTo(viewer_.get()));
    EXPECT_FALSE(viewer_->HScrollBar()->isVisibleTo(viewer_.get()));
}

TEST_F(ViewerTest, KeysScrollByTheBarSteps)
{
    viewer_->LoadDocumentString(Lines(100));  // 2000 pixels
    const int surface = viewer_->PaintPanel()->height();
    Key(Qt::Key_Down);
    EXPECT_EQ(viewer_->VScrollBarPosition(), 16);
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    EXPECT_EQ(viewer_->VScrollBarPosition(), 0);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(viewer_->VScrollBarPosition(), surface - 16);
    Key(Qt::Key_End);
    EXPECT_EQ(viewer_->VScrollBarPosition(), 2000 - surface);
    EXPECT_EQ(doc_->YOff, 2000 - surface);
    EXPECT_EQ(viewer_->VScrollBar()->value(), 2000 - surface);
    Key(Qt::Key_Home);
    EXPECT_EQ(viewer_->VScrollBarPosition(), 0);
    // Ctrl+End and Ctrl+Home go to the ends as well; other keys with Ctrl are not the viewer's.
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(viewer_->VScrollBarPosition(), 2000 - surface);
    Key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(viewer_->VScrollBarPosition(), 2000 - surface);
    Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(viewer_->VScrollBarPosition(), 0);
}

TEST_F(ViewerTest, WheelScrollsSixteenPixelsPerLine)
{
    viewer_->LoadDocumentString(Lines(100));
    const int lines = QApplication::wheelScrollLines();
    QWheelEvent down(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewer_.get(), &down);
    EXPECT_EQ(viewer_->VScrollBarPosition(), 16 * lines);
    QWheelEvent up(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewer_.get(), &up);
    EXPECT_EQ(viewer_->VScrollBarPosition(), 0);

    viewer_->SethtOptions({htNoWheelMouse});
    QApplication::sendEvent(viewer_.get(), &down);
    EXPECT_EQ(viewer_->VScrollBarPosition(), 0);
}

TEST_F(ViewerTest, ScrollBarMovesTheDocument)
{
    viewer_->LoadDocumentString(Lines(100));
    viewer_->VScrollBar()->setValue(333);
    EXPECT_EQ(viewer_->VScrollBarPosition(), 333);
    EXPECT_EQ(doc_->YOff, 333);
    viewer_->SetVScrollBarPosition(99999);
    EXPECT_EQ(viewer_->VScrollBarPosition(), 2000 - viewer_->PaintPanel()->height());
}

TEST_F(ViewerTest, ResizeWhileProcessingOnlyArrangesTheBars)
{
    viewer_->show();
    int before = doc_->LayoutCount;
    viewer_->LoadDocumentString(Lines(100));
    const int perLoad = doc_->LayoutCount - before;
    viewer_->OnParseEnd = [&](TPageViewer* v) { v->resize(300, 200); };
    before = doc_->LayoutCount;
    viewer_->LoadDocumentString(Lines(100));
    EXPECT_EQ(doc_->LayoutCount - before, perLoad);  // the load's own layout only
    EXPECT_EQ(viewer_->PaintPanel()->height(), 200);
    viewer_->OnParseEnd = nullptr;
    before = doc_->LayoutCount;
    viewer_->resize(500, 400);
    EXPECT_GT(doc_->LayoutCount, before);
}

// ViewImages set while a load or a print runs (here from their events) was kept but never given
// to the document: the viewer said "no pictures" and showed them. It is applied once the run has
// ended, with a layout of its own.
TEST_F(ViewerTest, ViewImagesSetWhileBusyIsAppliedAfterwards)
{
    viewer_->OnParseEnd = [](TPageViewer* v) { v->SetViewImages(false); };
    viewer_->LoadDocumentString(Lines(10));
    viewer_->OnParseEnd = nullptr;
    EXPECT_FALSE(viewer_->ViewImages());
    int before = doc_->LayoutCount;
    QApplication::processEvents();
    EXPECT_FALSE(doc_->ShowImages());
    EXPECT_EQ(doc_->LayoutCount, before + 1);

    viewer_->OnPageEvent = [](TPageViewer* v, int, bool&) { v->SetViewImages(true); };
    TMetaFilePrinter recorder;
    viewer_->PreviewPages(recorder, false);
    viewer_->OnPageEvent = nullptr;
    before = doc_->LayoutCount;
    QApplication::processEvents();
    EXPECT_TRUE(doc_->ShowImages());
    EXPECT_EQ(doc_->LayoutCount, before + 1);
    EXPECT_FALSE(viewer_->Processing());
}

// --- links, hover and hot spots ---

TEST_F(ViewerTest, HoverOverALinkFiresHotSpotEvents)
{
    viewer_->LoadDocumentString("vor <a href=\"ziel.htm\" target=rechts>Link</a> nach");
    std::vector<std::string> covered;
    viewer_->OnHotSpotCovered = [&](TPageViewer*, const std::string& src) { covered.push_back(src); };
    Move(5, 5);  // "v"
    EXPECT_TRUE(covered.empty());
    EXPECT_FALSE(viewer_->HotSpotTimerActive());
    Move(45, 5);  // "L"
    Move(55, 5);  // "i": still the same link
    EXPECT_EQ(covered, std::vector<std::string>{"ziel.htm"});
    EXPECT_EQ(viewer_->HotSpotTarget(), "rechts");
    EXPECT_EQ(viewer_->LinkText(), u"Link");
    EXPECT_TRUE(viewer_->HotSpotTimerActive());
    EXPECT_EQ(viewer_->PaintPanel()->cursor().shape(), Qt::BitmapCursor);
    Move(85, 5);  // " nach"
    EXPECT_EQ(covered, (std::vector<std::string>{"ziel.htm", ""}));
    EXPECT_EQ(viewer_->PaintPanel()->cursor().shape(), Qt::IBeamCursor);
    Move(385, 5);  // beyond the text
    EXPECT_EQ(viewer_->PaintPanel()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(ViewerTest, HotSpotTimerClearsWhenThePointerLeaves)
{
    viewer_->LoadDocumentString("<a href=a.htm>Link</a>");
    std::vector<std::string> covered;
    viewer_->OnHotSpotCovered = [&](TPageViewer*, const std::string& src) { covered.push_back(src); };
    Move(5, 5);
    viewer_->HotSpotTimerTick();  // still over the surface
    EXPECT_TRUE(viewer_->HotSpotTimerActive());
    pointerOver_ = false;
    viewer_->HotSpotTimerTick();
    EXPECT_FALSE(viewer_->HotSpotTimerActive());
    EXPECT_EQ(covered, (std::vector<std::string>{"a.htm", ""}));
    EXPECT_EQ(viewer_->HotSpotURL(), "");
    EXPECT_EQ(doc_->ClearHoverCount, 1);
}

TEST_F(ViewerTest, MouseEventsReachTheViewerThroughTheSurface)
{
    viewer_->LoadDocumentString("<a href=a.htm>Link</a>");
    std::string covered;
    viewer_->OnHotSpotCovered = [&](TPageViewer*, const std::string& src) { covered = src; };
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(viewer_->PaintPanel(), &move);
    EXPECT_EQ(covered, "a.htm");
}

TEST_F(ViewerTest, HandledHotSpotClickIsNotFollowed)
{
    const std::string start = dir_.WriteFile("start.htm", "<a href=ziel.htm>Ziel</a>");
    dir_.WriteFile("ziel.htm", "Ziel");
    viewer_->LoadDocumentFile(start);
    std::string clicked;
    viewer_->OnHotSpotClick = [&](TPageViewer*, const std::string& src, bool& handled) {
        clicked = src;
        handled = true;
    };
    Click(5, 5);
    EXPECT_EQ(clicked, "ziel.htm");
    EXPECT_EQ(viewer_->GetCurrentFile(), start);
}

TEST_F(ViewerTest, LinksToAnchorsTextAndOtherFiles)
{
    const std::string other = dir_.WriteFile("other.htm", Lines(60));
    const std::string start = dir_.WriteFile(
        "start.htm", "<a href=#l40>Hier</a><br><a href=other.htm#L30>Dort</a><br><a href=liesmich.txt>Text</a><br>" +
                         Lines(60));
    dir_.WriteFile("liesmich.txt", "Text");
    viewer_->LoadDocumentFile(start);
    Click(5, 5);  // #l40 in the same document: line 43
    EXPECT_EQ(viewer_->VScrollBarPosition(), 43 * 20);
    EXPECT_EQ(viewer_->GetCurrentFile(), start);

    viewer_->SetVScrollBarPosition(0);
    Click(5, 45);  // a .txt link does nothing
    EXPECT_EQ(viewer_->GetCurrentFile(), start);

    Click(5, 25);  // other.htm#L30
    EXPECT_EQ(viewer_->GetCurrentFile(), other);
    EXPECT_EQ(viewer_->VScrollBarPosition(), 600);
}

TEST_F(ViewerTest, AnchorJumpsEnterTheHistoryOnlyWhenTheyScroll)
{
    const std::string start =
        dir_.WriteFile("start.htm", "<a name=oben><a href=#oben>Oben</a> <a href=#l40>Unten</a><br>" + Lines(60));
    viewer_->SetHistoryMaxCount(5);
    viewer_->LoadDocumentFile(start);
    int changes = 0;
    viewer_->OnHistoryChange = [&](TPageViewer*) { ++changes; };
    Click(5, 5);  // "Oben": the view stands there already
    EXPECT_EQ(viewer_->Visited().front(), start + "#oben");  // the jump was made
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(viewer_->History().size(), 1u);
    Click(65, 5);  // "Unten" scrolls
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(viewer_->History().size(), 2u);
}

TEST_F(ViewerTest, ALinkFollowedAgainMovesToTheFrontOfTheVisitedList)
{
    const std::string start =
        dir_.WriteFile("start.htm", "<a href=#l10>Zehn</a> <a href=#l20>Zwanzig</a><br>" + Lines(60));
    viewer_->LoadDocumentFile(start);
    for (int x : {5, 65, 5}) {  // Zehn, Zwanzig, Zehn again
        viewer_->SetVScrollBarPosition(0);
        Click(x, 5);
    }
    EXPECT_EQ(viewer_->Visited(), (std::vector<std::string>{start + "#l10", start + "#l20"}));
}

TEST_F(ViewerTest, LinkToTheShownFileOnlyScrolls)
{
    const std::string start = dir_.WriteFile("start.htm", "<a href=start.htm#l40>Unten</a><br>" + Lines(60));
    viewer_->LoadDocumentFile(start);
    const int clears = doc_->ClearCount;
    Click(5, 5);
    EXPECT_EQ(doc_->ClearCount, clears);
    EXPECT_EQ(viewer_->VScrollBarPosition(), 41 * 20);
}

TEST_F(ViewerTest, ClickAfterDraggingASelectionDoesNotFollow)
{
    const std::string start = dir_.WriteFile("start.htm", "<a href=ziel.htm>Ziel des Links</a>");
    dir_.WriteFile("ziel.htm", "Ziel");
    viewer_->LoadDocumentFile(start);
    viewer_->PanelMouseDown(Qt::LeftButton, Qt::NoModifier, 5, 5);
    viewer_->PanelMouseMove(Qt::LeftButton, Qt::NoModifier, 65, 5);
    viewer_->PanelMouseUp(Qt::LeftButton, Qt::NoModifier, 65, 5);
    EXPECT_EQ(viewer_->GetCurrentFile(), start);
    EXPECT_EQ(viewer_->SelText(), u"Ziel d");
}

TEST_F(ViewerTest, RightClickAndImageEvents)
{
    viewer_->LoadDocumentString("<a href=a.htm target=t>Link</a>");
    doc_->Images.push_back(QRect(100, 0, 50, 40));
    TRightClickParameters got;
    int rightClicks = 0;
    viewer_->OnRightClick = [&](TPageViewer*, const TRightClickParameters& p) {
        got = p;
        ++rightClicks;
    };
    std::vector<QPoint> over, clicked;
    viewer_->OnImageOver = [&](TPageViewer*, const void*, Qt::KeyboardModifiers, int x, int y) { over.push_back({x, y}); };
    viewer_->OnImageClick = [&](TPageViewer*, const void*, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
        clicked.push_back({x, y});
    };
    viewer_->PanelMouseUp(Qt::RightButton, Qt::NoModifier, 5, 5);
    EXPECT_EQ(rightClicks, 1);
    EXPECT_EQ(got.URL, "a.htm");
    EXPECT_EQ(got.Target, "t");
    EXPECT_EQ(got.Image, nullptr);
    Move(110, 15);
    EXPECT_EQ(over, std::vector<QPoint>{QPoint(10, 15)});
    viewer_->PanelMouseUp(Qt::RightButton, Qt::NoModifier, 120, 30);
    EXPECT_NE(got.Image, nullptr);
    EXPECT_EQ(got.ImageX, 20);
    EXPECT_EQ(got.ImageY, 30);
    EXPECT_EQ(clicked, std::vector<QPoint>{QPoint(20, 30)});
}

TEST_F(ViewerTest, ViewerDestroyedInsideItsClickHandler)
{
    viewer_->LoadDocumentString("<a href=a.htm>Link</a>");
    TPageViewer* raw = viewer_.release();
    raw->OnHotSpotClick = [](TPageViewer* sender, const std::string&, bool&) { delete sender; };
    raw->PanelMouseDown(Qt::LeftButton, Qt::NoModifier, 5, 5);
    raw->PanelMouseUp(Qt::LeftButton, Qt::NoModifier, 5, 5);  // nothing may touch the viewer afterwards
    SUCCEED();
}

// --- selection and clipboard ---

TEST_F(ViewerTest, SelectionByMouseAndShift)
{
    viewer_->LoadDocumentString("Erste Zeile<br>Zweite Zeile");
    viewer_->PanelMouseDown(Qt::LeftButton, Qt::NoModifier, 60, 5);
    viewer_->PanelMouseMove(Qt::LeftButton, Qt::NoModifier, 60, 25);
    viewer_->PanelMouseUp(Qt::LeftButton, Qt::NoModifier, 60, 25);
    EXPECT_EQ(viewer_->SelText(), u"ZeileZweite");
    EXPECT_EQ(viewer_->SelStart(), 6);
    // Shift with a press: from the caret to the point.
    viewer_->PanelMouseDown(Qt::LeftButton, Qt::ShiftModifier, 20, 5);
    EXPECT_EQ(viewer_->SelText(), u"ste ZeileZweite");
    // Dragging backwards orders the ends.
    viewer_->PanelMouseDown(Qt::LeftButton, Qt::NoModifier, 50, 25);
    viewer_->PanelMouseMove(Qt::LeftButton, Qt::NoModifier, 10, 25);
    viewer_->PanelMouseUp(Qt::LeftButton, Qt::NoModifier, 10, 25);
    EXPECT_EQ(viewer_->SelText(), u"weit");
}

TEST_F(ViewerTest, DoubleClickSelectsAWordWithDigits)
{
    viewer_->LoadDocumentString("Becken B12a, Gr\xF6\xDF" "e 3");
    int doubles = 0;
    viewer_->OnMouseDouble = [&](TPageViewer*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { ++doubles; };
    viewer_->PanelDoubleClick(Qt::NoModifier, 85, 5);  // in "B12a"
    EXPECT_EQ(viewer_->SelText(), u"B12a");
    viewer_->PanelDoubleClick(Qt::NoModifier, 145, 5);  // in "Größe"
    EXPECT_EQ(viewer_->SelText(), u"Gr\u00F6\u00DFe");
    viewer_->PanelDoubleClick(Qt::NoModifier, 65, 5);  // on the blank
    EXPECT_EQ(viewer_->SelText(), u"");
    EXPECT_EQ(doubles, 3);
}

TEST_F(ViewerTest, SelectionCopiedAsTextAndHtmlFormat)
{
    MemoryClipboard board;
    ScopedClipboard scoped(board);
    viewer_->SetDefFontName("Arial");
    viewer_->SetDefFontSize(10);
    const std::string source = "<p>Ablauf: K\xF6ln <b>f\xFCr</b> alle</p>";
    viewer_->LoadDocumentString(source);
    viewer_->CopySelectionToClipboard();  // nothing selected: nothing copied
    EXPECT_EQ(board.Text(), u"");
    viewer_->PanelMouseDown(Qt::LeftButton, Qt::NoModifier, 85, 5);  // "K"
    viewer_->PanelMouseMove(Qt::LeftButton, Qt::NoModifier, 150, 5);
    viewer_->PanelMouseUp(Qt::LeftButton, Qt::NoModifier, 150, 5);  // up to the "r" of "f\xFCr"
    ASSERT_EQ(viewer_->SelText(), u"K\u00F6ln f\u00FC");
    viewer_->CopySelectionToClipboard();
    EXPECT_EQ(board.Text(), u"K\u00F6ln f\u00FC");
    const std::string data = board.HtmlFormat();
    const auto number = [&](const std::string& key) { return std::stol(data.substr(data.find(key) + key.size(), 8)); };
    const std::string fragment = data.substr(static_cast<std::size_t>(number("StartFragment:")),
                                             static_cast<std::size_t>(number("EndFragment:") - number("StartFragment:")));
    EXPECT_EQ(fragment, "K\xC3\xB6ln <b>f\xC3\xBC");
    EXPECT_NE(data.find("SourceURL:unsaved:///TPageViewer.htm\r\n"), std::string::npos);
    EXPECT_NE(data.find("font-family: \"Arial\""), std::string::npos);
}

TEST_F(ViewerTest, CopyNamesTheFileItCameFrom)
{
    MemoryClipboard board;
    ScopedClipboard scoped(board);
    const std::string file = dir_.WriteFile("seite.htm", "Text");
    viewer_->LoadDocumentFile(file);
    doc_->SetSelection(0, 4);
    viewer_->CopySelectionToClipboard();
    EXPECT_NE(board.HtmlFormat().find("SourceURL:file://" + file + "\r\n"), std::string::npos);
}

// --- painting ---

TEST_F(ViewerTest, PaintsTheBackgroundColourAndTiles)
{
    viewer_->SetDefBackground(0x00FFFF);  // yellow
    viewer_->LoadDocumentString(Lines(100));
    const int right = viewer_->PaintPanel()->width() - 1;
    QImage plain = viewer_->PaintPanel()->grab().toImage();
    EXPECT_EQ(plain.pixel(right, 290), qRgb(255, 255, 0));
    EXPECT_GT(doc_->DrawCount, 0);

    QImage tile(10, 10, QImage::Format_RGB32);
    tile.fill(qRgb(0, 0, 255));
    for (int i = 0; i < 10; ++i)
        tile.setPixel(i, 0, qRgb(255, 0, 0));  // a red top row
    doc_->Bg.Image = tile;
    doc_->Bg.PosX.PosType = PositionRec::Left;
    doc_->Bg.PosY.PosType = PositionRec::Top;
    QImage tiled = viewer_->PaintPanel()->grab().toImage();
    EXPECT_EQ(tiled.pixel(300, 290), qRgb(255, 0, 0));
    EXPECT_EQ(tiled.pixel(300, 295), qRgb(0, 0, 255));

    // A scrolling background moves with the text ...
    viewer_->SetVScrollBarPosition(5);
    QImage moved = viewer_->PaintPanel()->grab().toImage();
    EXPECT_EQ(moved.pixel(300, 295), qRgb(255, 0, 0));
    EXPECT_EQ(moved.pixel(300, 290), qRgb(0, 0, 255));
    // ... a fixed one stays where it is.
    doc_->Bg.Fixed = true;
    QImage fixed = viewer_->PaintPanel()->grab().toImage();
    EXPECT_EQ(fixed.pixel(300, 290), qRgb(255, 0, 0));
    // A tile that does not repeat is drawn once, at its place.
    doc_->Bg.PosX.RepeatD = false;
    doc_->Bg.PosY.RepeatD = false;
    doc_->Bg.PosX.PosType = PositionRec::Pixels;
    doc_->Bg.PosX.Value = 100;
    QImage single = viewer_->PaintPanel()->grab().toImage();
    EXPECT_EQ(single.pixel(105, 0), qRgb(255, 0, 0));
    EXPECT_EQ(single.pixel(105, 5), qRgb(0, 0, 255));
    EXPECT_EQ(single.pixel(105, 50), qRgb(255, 255, 0));
    EXPECT_EQ(single.pixel(300, 5), qRgb(255, 255, 0));
}

TEST_F(ViewerTest, OnePixelWideImagesAreStretchedIntoTiles)
{
    viewer_->SetDefBackground(0xFFFFFF);
    viewer_->LoadDocumentString("x");
    QImage strip(1, 4, QImage::Format_RGB32);
    strip.fill(qRgb(0, 128, 0));
    strip.setPixel(0, 3, qRgb(0, 0, 0));
    doc_->Bg.Image = strip;
    QImage shot = viewer_->PaintPanel()->grab().toImage();
    EXPECT_EQ(shot.pixel(250, 1), qRgb(0, 128, 0));
    EXPECT_EQ(shot.pixel(250, 7), qRgb(0, 0, 0));
}

// --- the nested scrolling loop ---

TEST_F(ViewerTest, PanLoopScrollsAndStopsWhenTheViewerGoes)
{
    viewer_->LoadDocumentString(Lines(200));
    viewer_->show();
    QPoint pointer(50, 10);
    viewer_->PointerInSurface = [&pointer] { return pointer; };
    viewer_->PanelMouseDown(Qt::MiddleButton, Qt::NoModifier, 50, 10);
    EXPECT_TRUE(viewer_->PanMode());
    pointer = QPoint(50, 200);  // far below: panning downwards
    viewer_->PanelMouseMove(Qt::NoButton, Qt::NoModifier, 50, 200);
    TPageViewer* raw = viewer_.release();
    QTimer::singleShot(400, [raw] { delete raw; });
    QEventLoop wait;
    QTimer::singleShot(700, &wait, &QEventLoop::quit);
    wait.exec();
    SUCCEED();
}

TEST_F(ViewerTest, SelectionBelowTheSurfaceScrollsAndExtends)
{
    viewer_->LoadDocumentString(Lines(200));
    viewer_->show();
    const int h = viewer_->PaintPanel()->height();
    QPoint pointer(30, h + 40);
    viewer_->PointerInSurface = [&pointer] { return pointer; };
    viewer_->PanelMouseDown(Qt::LeftButton, Qt::NoModifier, 30, 5);
    viewer_->PanelMouseMove(Qt::LeftButton, Qt::NoModifier, 30, h + 40);
    // The loop runs inside this wait; the pointer comes back inside after a while and ends it.
    QTimer::singleShot(350, [&pointer] { pointer = QPoint(30, 10); });
    QEventLoop wait;
    QTimer::singleShot(600, &wait, &QEventLoop::quit);
    wait.exec();
    EXPECT_GT(viewer_->VScrollBarPosition(), 0);
    EXPECT_GT(viewer_->SelLength(), 0);
    viewer_->PanelMouseUp(Qt::LeftButton, Qt::NoModifier, 30, 10);
}

TEST_F(ViewerTest, AnyKeyLeavesPanMode)
{
    viewer_->LoadDocumentString(Lines(10));
    viewer_->PanelMouseDown(Qt::MiddleButton, Qt::NoModifier, 50, 10);
    viewer_->PanelMouseUp(Qt::MiddleButton, Qt::NoModifier, 50, 10);  // a click without moving keeps it
    EXPECT_TRUE(viewer_->PanMode());
    Key(Qt::Key_A);
    EXPECT_FALSE(viewer_->PanMode());
    viewer_->SethtOptions({htNoWheelMouse});
    viewer_->PanelMouseDown(Qt::MiddleButton, Qt::NoModifier, 50, 10);
    EXPECT_FALSE(viewer_->PanMode());
}

}  // namespace
}  // namespace velmoran
