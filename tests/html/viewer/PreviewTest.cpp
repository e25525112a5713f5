// Tests of the preview: the viewer's preview run into the page recorder beside its print run, and
// the preview window run through the scripted modal runner: the zoom list and the fit formulas, the
// zoom tool's limits and its double click, one and two pages, navigation, a document with no pages,
// a cancelled recording, the picture of a page, the main window's hints while it is shown, printing
// from it, and that nothing of it stays; where the pages stand and when the bars show, the point
// the zoom tool centres, the fit buttons, the page in the second box, the pages printed, half a
// sheet, the bars at fit width, the floated bar without a close button.
#include "tests/support/ScriptedModals.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestApp.h"
#include "PdfProbe.h"

#include "controls/EnhCombo.h"
#include "html/preview/PreviewForm.h"
#include "html/viewer/MetaFilePrinter.h"
#include "html/viewer/PageViewer.h"
#include "html/viewer/PrnStatusForm.h"
#include "platform/Action.h"
#include "platform/AppServices.h"
#include "platform/Printer.h"
#include "toolbar/TBarFloatingWindow.h"
#include "toolbar/TBarToolbar.h"

#include <QApplication>
#include <QImage>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include "tests/html/viewer/PrintPagesText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <utility>
#include <string>
#include <vector>

namespace velmoran {
namespace {

using testing::App;
using testing::TempFolder;

using test::Lines;

// An A4 sheet at 300 dpi, all of it printable.
PrinterMeasures A4()
{
    PrinterMeasures m;
    m.PhysicalWidth = m.PageWidth = 2480;
    m.PhysicalHeight = m.PageHeight = 3508;
    m.DpiX = m.DpiY = 300;
    return m;
}

int DarkPixels(const QImage& image, const QRect& area)
{
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 100)
                ++dark;
    return dark;
}

class Preview : public ::testing::Test {
protected:
    Preview() : saved_(SetSelectedPrinter(Printer::Pdf(folder_ / "druck.pdf")))
    {
        App();
        viewer_.resize(600, 400);
        // A black bar across the header band of every page.
        viewer_.OnPrintHeader = [](TPageViewer*, Canvas& canvas, int, int w, int h, bool&) {
            canvas.FillRect(TRect{50, 10, w - 50, h - 10}, 0);
        };
    }
    ~Preview() override { SetSelectedPrinter(saved_); }

    // The window on the viewer's document, its pages recorded.
    std::unique_ptr<TPreviewForm> Open()
    {
        bool abort = true;
        std::unique_ptr<TPreviewForm> form = TPreviewForm::CreateWithViewer(nullptr, viewer_, abort);
        EXPECT_FALSE(abort);
        return form;
    }
    // Runs the window modally with the script, as the shell does.
    void Run(TPreviewForm& form, std::function<void(TPreviewForm&)> script)
    {
        modals_.Expect([&form, script](QWidget& window) {
            ASSERT_EQ(&window, &form);
            form.resize(900, 700);
            QApplication::processEvents();
            script(form);
        });
        Modals().Run(form);
    }
    static void Click(QWidget* box, Qt::MouseButton button, QPoint at = QPoint(5, 5))
    {
        QTest::mouseClick(box, button, Qt::NoModifier, at);
    }
    std::string File() const { return folder_ / "druck.pdf"; }

    TempFolder folder_;
    Printer saved_;
    TPageViewer viewer_;
    ScriptedModalRunner modals_;
    ScriptedPromptService prompts_;
};

TEST_F(Preview, RecordsThePagesThePrintPrintsHoldingThePrintingGuard)
{
    viewer_.LoadDocumentString(Lines(200));
    viewer_.PrintPages(1, 99999);
    const int printed = test::PdfPageCount(File());
    ASSERT_GE(printed, 3);

    std::vector<int> events;
    bool guarded = true;
    viewer_.OnPageEvent = [&](TPageViewer* sender, int page, bool&) {
        events.push_back(page);
        guarded = guarded && sender->Printing();
    };
    TMetaFilePrinter recorder;
    EXPECT_EQ(viewer_.PreviewPages(recorder, false), printed);
    EXPECT_EQ(recorder.PageCount(), printed);
    EXPECT_FALSE(recorder.Printing());
    EXPECT_TRUE(guarded);
    EXPECT_FALSE(viewer_.Printing());
    EXPECT_EQ(viewer_.PrintedPage(), printed);
    // Formatting, page 1 after the layout, then every page.
    ASSERT_EQ(static_cast<int>(events.size()), printed + 2);
    EXPECT_EQ(events[0], 0);
    EXPECT_EQ(events[1], 1);
    EXPECT_EQ(events.back(), printed);

    // An empty document records nothing and does not start a recording.
    viewer_.Clear();
    TMetaFilePrinter empty;
    EXPECT_EQ(viewer_.PreviewPages(empty, false), 0);
    EXPECT_EQ(empty.PageCount(), 0);
    EXPECT_EQ(empty.Device().DpiX, 0);
}

TEST_F(Preview, ZoomListAndFitFormulas)
{
    const QSize client(820, 620);
    // Fit page leaves 20 pixels of the client's height, fit width of its width.
    const double page = PreviewZoomFactor(zeFitPage, 7.0, client, A4(), 96);
    EXPECT_EQ(PreviewPageSize(page, A4(), 96).height(), 600);
    EXPECT_NEAR(page, 600.0 / (96 * 3508 / 300.0), 1e-12);
    const double width = PreviewZoomFactor(zeFitWidth, 7.0, client, A4(), 96);
    EXPECT_EQ(PreviewPageSize(width, A4(), 96).width(), 800);
    // A4 at 100 %: 8.27 × 11.69 inches at 96 pixels each.
    EXPECT_EQ(PreviewPageSize(1.0, A4(), 96), QSize(794, 1123));
    EXPECT_EQ(PreviewZoomFactor(zeCustom, 7.0, client, A4(), 96), 7.0);
    const double percents[] = {0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 3.0, 4.0};
    for (int entry = zeFirstPercent; entry < kPreviewZoomEntries; ++entry)
        EXPECT_EQ(PreviewZoomFactor(entry, 7.0, client, A4(), 96), percents[entry - zeFirstPercent]) << entry;
    // A sheet without size or resolution (no page was recorded): 1.0, not a division by zero.
    PrinterMeasures none;
    EXPECT_EQ(PreviewZoomFactor(zeFitPage, 7.0, client, none, 96), 1.0);
    EXPECT_EQ(PreviewZoomFactor(zeFitWidth, 7.0, client, none, 96), 1.0);
    EXPECT_EQ(PreviewPageSize(1.0, none, 96), QSize(0, 0));

    viewer_.LoadDocumentString(Lines(10));
    auto form = Open();
    std::vector<std::string> texts;
    for (const std::string& text : form->cbxZoom->Items())
        texts.push_back(text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Ganze Seite", "Seitenbreite", "Individuell", " 25 % ", " 50 %", " 75 %",
                                                "100 %", "125 %", "150 %", "200 %", "300 %", "400 %"}));
    EXPECT_EQ(form->cbxZoom->ItemIndex(), zeFitPage);
    EXPECT_EQ(form->windowTitle().toStdString(), "Druckvorschau");
    EXPECT_EQ(form->PreviewClose->Caption(), "&Schliessen");
    EXPECT_EQ(form->PreviewPrint->Hint(), "Aktuelles Dokument drucken");
    EXPECT_EQ(form->PreviewBack->Caption(), "&Zurück");
    EXPECT_EQ(form->PreviewNext->Hint(), "Eine Seite vor");
    EXPECT_EQ(form->PreviewPan->Hint(), "Verschiebe-Modus");
    EXPECT_EQ(form->PreviewZoom->Hint(), "Zoom-Modus");
    EXPECT_TRUE(form->PreviewZoom->Checked());
    EXPECT_TRUE(form->PreviewOnePage->Checked());
}

TEST_F(Preview, TheZoomToolStopsAtItsLimitsAndSwitchesToIndividuell)
{
    viewer_.LoadDocumentString(Lines(10));
    auto form = Open();
    Run(*form, [](TPreviewForm& f) {
        ASSERT_TRUE(f.ZoomTool());
        // Two quick clicks, the second of which comes as a double click, zoom twice.
        const double start = f.Zoom();
        Click(f.PB1, Qt::LeftButton);
        QTest::mouseDClick(f.PB1, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QTest::mouseRelease(f.PB1, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        EXPECT_DOUBLE_EQ(f.Zoom(), start * 1.5 * 1.5);
        double last = f.Zoom();
        for (int i = 0; i < 12; ++i) {
            Click(f.PB1, Qt::LeftButton);
            EXPECT_GE(f.Zoom(), last);
            last = f.Zoom();
        }
        EXPECT_GE(f.Zoom(), 20.0);
        EXPECT_LT(f.Zoom(), 30.0);
        EXPECT_EQ(f.cbxZoom->ItemIndex(), zeCustom);
        EXPECT_EQ(f.cbxZoom->Text(), "Individuell");
        EXPECT_EQ(f.PB1->width(), PreviewPageSize(f.Zoom(), f.Recorder().Device(), 96).width());
        for (int i = 0; i < 30; ++i)
            Click(f.PB1, Qt::RightButton);
        EXPECT_LE(f.Zoom(), 0.1);
        EXPECT_GT(f.Zoom(), 0.1 / 1.5);
        // A list entry again: its own zoom.
        f.cbxZoom->SetItemIndex(6);
        f.ScrollBox1Resize();
        EXPECT_EQ(f.Zoom(), 1.0);
    });
}

TEST_F(Preview, TheHandToolDragsThePages)
{
    viewer_.LoadDocumentString(Lines(10));
    auto form = Open();
    Run(*form, [](TPreviewForm& f) {
        f.cbxZoom->SetItemIndex(zeFirstPercent + 8);  // 400 %
        f.ScrollBox1Resize();
        f.PreviewPan->Execute();
        EXPECT_FALSE(f.ZoomTool());
        QScrollBar* h = f.ScrollBox1->horizontalScrollBar();
        QScrollBar* v = f.ScrollBox1->verticalScrollBar();
        ASSERT_TRUE(h->isVisible());
        // Any button drags.
        for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
            h->setValue(100);
            v->setValue(100);
            QTest::mousePress(f.PB1, button, Qt::NoModifier, QPoint(300, 300));
            QTest::mouseMove(f.PB1, QPoint(250, 220));
            QTest::mouseRelease(f.PB1, button, Qt::NoModifier, QPoint(250, 220));
            EXPECT_EQ(h->value(), 150) << button;
            EXPECT_EQ(v->value(), 180) << button;
            EXPECT_DOUBLE_EQ(f.Zoom(), 4.0) << button;
        }
        // The zoom tool is back with its button.
        f.PreviewZoom->Execute();
        EXPECT_TRUE(f.ZoomTool());
        EXPECT_TRUE(f.PreviewZoom->Checked());
        EXPECT_FALSE(f.PreviewPan->Checked());
    });
}

TEST_F(Preview, NavigationAndTwoPages)
{
    viewer_.LoadDocumentString(Lines(200));
    auto form = Open();
    const int pages = form->Recorder().PageCount();
    ASSERT_GE(pages, 3);
    Run(*form, [pages](TPreviewForm& f) {
        EXPECT_EQ(f.CurrentPage(), 0);
        EXPECT_FALSE(f.PreviewBack->Enabled());
        EXPECT_TRUE(f.PreviewNext->Enabled());
        f.PreviewNext->Execute();
        EXPECT_EQ(f.CurrentPage(), 1);
        EXPECT_TRUE(f.PreviewBack->Enabled());
        for (int i = 1; i < pages; ++i)
            f.PreviewNext->Execute();
        EXPECT_EQ(f.CurrentPage(), pages - 1);
        EXPECT_FALSE(f.PreviewNext->Enabled());
        f.PreviewBack->Execute();
        EXPECT_EQ(f.CurrentPage(), pages - 2);

        f.cbxZoom->SetItemIndex(zeFirstPercent);
        f.PreviewTwoPages->Execute();
        EXPECT_TRUE(f.TwoPages());
        EXPECT_TRUE(f.PagePanel2->isVisible());
        EXPECT_FALSE(f.PreviewOnePage->Checked());
        // Two pages fit the page again.
        EXPECT_EQ(f.cbxZoom->ItemIndex(), zeFitPage);
        EXPECT_EQ(f.PagePanel2->x(), f.PagePanel->x() + f.PagePanel->width() + 20);
        EXPECT_EQ(f.PagePanel2->y(), f.PagePanel->y());
        f.PreviewOnePage->Execute();
        EXPECT_FALSE(f.PagePanel2->isVisible());
    });
}

// The bar floated by the user has no close button: closed, nothing in the preview would bring
// its buttons back.
TEST_F(Preview, AFloatedBarHasNoCloseButton)
{
    auto form = Open();
    form->ToolBar->SetFloating(true);
    ASSERT_NE(form->ToolBar->FloatParent(), nullptr);
    EXPECT_TRUE(form->ToolBar->FloatParent()->CloseButtonRect().isEmpty());
}

TEST_F(Preview, ASinglePageInTwoPageModeLeavesTheSecondPanelEmpty)
{
    viewer_.LoadDocumentString("Eine Seite");
    auto form = Open();
    ASSERT_EQ(form->Recorder().PageCount(), 1);
    Run(*form, [](TPreviewForm& f) {
        f.PreviewTwoPages->Execute();
        EXPECT_TRUE(f.PagePanel2->isVisible());
        EXPECT_FALSE(f.PreviewNext->Enabled());
        const QImage first = f.PagePanel->grab().toImage();
        const QImage second = f.PagePanel2->grab().toImage();
        EXPECT_GT(DarkPixels(first, first.rect()), 0);
        EXPECT_EQ(DarkPixels(second, second.rect()), 0);
    });
}

TEST_F(Preview, AGrabOfPageOneIsDarkWhereTheHeaderIs)
{
    viewer_.LoadDocumentString(Lines(200));
    auto form = Open();
    Run(*form, [](TPreviewForm& f) {
        const QImage page = f.PB1->grab().toImage();
        ASSERT_FALSE(page.isNull());
        // The header band is the top margin of 2 cm: the bar fills its middle.
        const double zoom = f.Zoom();
        const int bandMiddle = static_cast<int>(zoom * 2.0 / 2.54 * 96 / 2);
        EXPECT_LT(qGray(page.pixel(page.width() / 2, bandMiddle)), 100);
        // Above the bar and in the side margin the sheet is white.
        EXPECT_EQ(qGray(page.pixel(page.width() / 2, 2)), 255);
        EXPECT_EQ(qGray(page.pixel(3, page.height() / 2)), 255);
        const QString dir = QStringLiteral(VELMORAN_ARTIFACTS "/print");
        QDir().mkpath(dir);
        page.save(dir + QStringLiteral("/preview-page1.png"));
    });
}

TEST_F(Preview, ADocumentWithoutPagesShowsNothingAtZoomOne)
{
    viewer_.Clear();
    auto form = Open();
    EXPECT_EQ(form->Recorder().PageCount(), 0);
    Run(*form, [](TPreviewForm& f) {
        EXPECT_EQ(f.Zoom(), 1.0);
        f.PreviewFitWidth->Execute();
        EXPECT_EQ(f.Zoom(), 1.0);
        EXPECT_FALSE(f.PreviewNext->Enabled());
        EXPECT_FALSE(f.PreviewBack->Enabled());
        EXPECT_TRUE(f.PB1->size().isEmpty());
        f.PreviewTwoPages->Execute();
        Click(f.PB1, Qt::LeftButton);
        f.grab();
    });
}

TEST_F(Preview, ACancelledRecordingGivesAbortAndKeepsItsPages)
{
    viewer_.LoadDocumentString(Lines(200));
    TMetaFilePrinter all;
    const int pages = viewer_.PreviewPages(all, false);
    ASSERT_GE(pages, 4);
    viewer_.OnPageEvent = [](TPageViewer*, int page, bool&) {
        if (page != 2)
            return;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* progress = dynamic_cast<TPrnStatusForm*>(window); progress && progress->isVisible())
                progress->CancelButton()->click();
    };
    bool abort = false;
    auto form = TPreviewForm::CreateWithViewer(nullptr, viewer_, abort);
    EXPECT_TRUE(abort);
    EXPECT_GE(form->Recorder().PageCount(), 2);
    EXPECT_LT(form->Recorder().PageCount(), pages);
}

TEST_F(Preview, TheMainWindowsStatusLineHearsNoHintWhileItIsShown)
{
    viewer_.LoadDocumentString(Lines(10));
    QObject statusLine;
    int told = 0;
    AppServices::Instance().RegisterHintChanges(&statusLine, [&] { ++told; });
    auto form = Open();
    Run(*form, [&](TPreviewForm&) {
        AppServices::Instance().SetHint("Eine Seite vor");
        AppServices::Instance().SetHint("");
        EXPECT_EQ(told, 0);
    });
    EXPECT_FALSE(form->isVisible());
    AppServices::Instance().SetHint("Neu");
    EXPECT_EQ(told, 1);
    AppServices::Instance().SetHint("");
}

TEST_F(Preview, PrintsFromThePreviewAndLeavesNothingBehind)
{
    viewer_.LoadDocumentString(Lines(200));
    QPointer<TPreviewForm> watched;
    {
        auto form = Open();
        watched = form.get();
        const int pages = form->Recorder().PageCount();
        const std::string file = folder_ / "aus-vorschau.pdf";
        PrintDialogAnswer answer;
        answer.AllPages = true;
        answer.PdfFileName = file;
        prompts_.AnswerPrint(answer);
        Run(*form, [&](TPreviewForm& f) {
            f.PreviewPrint->Execute();
            ASSERT_EQ(prompts_.PrintRequests().size(), 1u);
            // The dialog proposes every page: 1 to the last.
            EXPECT_EQ(prompts_.PrintRequests()[0].MaxPage, pages);
            EXPECT_EQ(prompts_.PrintRequests()[0].FromPage, 1);
            EXPECT_EQ(prompts_.PrintRequests()[0].ToPage, pages);
            EXPECT_EQ(test::PdfPageCount(file), pages);
            f.PreviewClose->Execute();
            EXPECT_FALSE(f.isVisible());
        });
        EXPECT_TRUE(prompts_.Messages().empty());
    }
    EXPECT_TRUE(watched.isNull());
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_EQ(dynamic_cast<TPreviewForm*>(window), nullptr);
}

// --- where the pages stand, what the tools do, what is printed ------------------------------------

// The sheet's length on the screen at a zoom: inches of the sheet times 96 pixels, rounded.
int OnScreen(double zoom, int sheetPixels, int dpi)
{
    return static_cast<int>(std::lround(96 * zoom * sheetPixels / dpi));
}

// The dark stretches along row y of the image: how many marks a line crosses.
int DarkRuns(const QImage& image, int y)
{
    int runs = 0;
    bool inDark = false;
    for (int x = 0; x < image.width(); ++x) {
        const bool dark = qGray(image.pixel(x, y)) < 100;
        runs += dark && !inDark;
        inDark = dark;
    }
    return runs;
}

// The page's own number of squares in its header band, so that a picture tells which page it is.
void MarkPagesByTheirNumber(TPageViewer& viewer)
{
    viewer.OnPrintHeader = [](TPageViewer*, Canvas& canvas, int page, int, int h, bool&) {
        for (int i = 0; i < page; ++i)
            canvas.FillRect(TRect{100 + i * 200, 10, 200 + i * 200, h - 10}, 0);
    };
}

// The squares on a page box's picture, counted across the middle of the header band of 2 cm.
int SquaresOn(QWidget* box, double zoom)
{
    const QImage picture = box->grab().toImage();
    return DarkRuns(picture, static_cast<int>(zoom * 2.0 / 2.54 * 96 / 2));
}

// The container is as large as the scroll box but a pixel, or as the pages and their gaps when they
// are larger; the page, or the pair of pages, stands in its middle (a short page in the middle of the
// height too), else 10 pixels from its edge; the
// bars show as soon as the page does not fit either way, so that all of it can be reached.
TEST_F(Preview, ThePagesStandInTheMiddleAndTheBarsShowWhenTheyDoNotFit)
{
    viewer_.LoadDocumentString(Lines(200));
    auto form = Open();
    Run(*form, [](TPreviewForm& f) {
        const PrinterMeasures sheet = f.Recorder().Device();
        const QSize client = f.ScrollBox1->contentsRect().size();
        const int cw = client.width();
        const int ch = client.height();
        ASSERT_GT(cw, 800);
        ASSERT_LT(ch, 1000);
        auto bars = [&f] {
            return std::pair(f.ScrollBox1->horizontalScrollBarPolicy(), f.ScrollBox1->verticalScrollBarPolicy());
        };
        const auto off = std::pair(Qt::ScrollBarAlwaysOff, Qt::ScrollBarAlwaysOff);
        const auto on = std::pair(Qt::ScrollBarAlwaysOn, Qt::ScrollBarAlwaysOn);

        // Whole page: as tall as the box but 20 pixels, so it sits 10 from the top, across in the middle.
        const double fit = (ch - 20) / 96.0 / (static_cast<double>(sheet.PhysicalHeight) / sheet.DpiY);
        const int w = OnScreen(fit, sheet.PhysicalWidth, sheet.DpiX);
        ASSERT_EQ(f.PagePanel->size(), QSize(w, OnScreen(fit, sheet.PhysicalHeight, sheet.DpiY)));
        EXPECT_EQ(f.ContainPanel->size(), QSize(cw - 1, ch));
        EXPECT_EQ(f.PagePanel->pos(), QPoint((cw - 1) / 2 - w / 2, 10));
        EXPECT_EQ(bars(), off);

        // 100 %: an A4 page is wider than nothing here but taller than the box: both bars show.
        f.cbxZoom->SetItemIndex(zeFirstPercent + 3);
        f.ScrollBox1Resize();
        const int w1 = OnScreen(1.0, sheet.PhysicalWidth, sheet.DpiX);
        const int h1 = OnScreen(1.0, sheet.PhysicalHeight, sheet.DpiY);
        ASSERT_LT(w1 + 20, cw);
        ASSERT_GT(h1 + 20, ch);
        EXPECT_EQ(f.ContainPanel->size(), QSize(cw - 1, h1 + 20));
        EXPECT_EQ(f.PagePanel->pos(), QPoint((cw - 1) / 2 - w1 / 2, 10));
        EXPECT_EQ(bars(), on);

        // 25 %: a page shorter than the box stands in its middle both ways.
        f.cbxZoom->SetItemIndex(zeFirstPercent);
        f.ScrollBox1Resize();
        const int w4 = OnScreen(0.25, sheet.PhysicalWidth, sheet.DpiX);
        const int h4 = OnScreen(0.25, sheet.PhysicalHeight, sheet.DpiY);
        ASSERT_LT(h4 + 20, ch - 1);
        EXPECT_EQ(f.ContainPanel->size(), QSize(cw - 1, ch - 1));
        EXPECT_EQ(f.PagePanel->pos(), QPoint((cw - 1) / 2 - w4 / 2, (ch - 1) / 2 - h4 / 2));
        EXPECT_EQ(bars(), off);

        // Two whole pages are wider than the box: both pages and gaps make the width, from 10.
        f.PreviewTwoPages->Execute();
        ASSERT_GT(2 * (w + 20), cw);
        EXPECT_EQ(f.ContainPanel->size(), QSize(2 * (w + 20), ch));
        EXPECT_EQ(f.PagePanel->pos(), QPoint(10, 10));
        EXPECT_EQ(f.PagePanel2->pos(), QPoint(10 + w + 20, 10));
        EXPECT_EQ(bars(), on);

        // A wider window: the pair, with the gap between them, in the middle, without bars.
        f.resize(1300, 700);
        QApplication::processEvents();
        const int wide = f.ScrollBox1->contentsRect().width();
        ASSERT_EQ(f.ScrollBox1->contentsRect().height(), ch);
        ASSERT_GT(wide, 2 * (w + 20));
        EXPECT_EQ(f.ContainPanel->size(), QSize(wide - 1, ch));
        EXPECT_EQ(f.PagePanel->pos(), QPoint((wide - 1) / 2 - (2 * w + 20) / 2, 10));
        EXPECT_EQ(f.PagePanel2->pos(), QPoint((wide - 1) / 2 - (2 * w + 20) / 2 + w + 20, 10));
        EXPECT_EQ(bars(), off);
        f.resize(900, 700);
        QApplication::processEvents();

        // Two pages at 100 % are wider than the box: both pages and gaps make the width, from 10.
        f.cbxZoom->SetItemIndex(zeFirstPercent + 3);
        f.ScrollBox1Resize();
        ASSERT_GT(2 * (w1 + 20), cw);
        EXPECT_EQ(f.ContainPanel->size(), QSize(2 * (w1 + 20), h1 + 20));
        EXPECT_EQ(f.PagePanel->pos(), QPoint(10, 10));
        EXPECT_EQ(f.PagePanel2->pos(), QPoint(10 + w1 + 20, 10));
        EXPECT_EQ(bars(), on);
    });
}

// A click of the zoom tool enlarges by half and scrolls so that the point clicked comes to the
// middle of the box; dragging with the zoom tool moves nothing (only the hand tool drags).
TEST_F(Preview, TheZoomToolBringsThePointClickedToTheMiddleAndDoesNotDrag)
{
    viewer_.LoadDocumentString(Lines(200));
    auto form = Open();
    Run(*form, [](TPreviewForm& f) {
        const PrinterMeasures sheet = f.Recorder().Device();
        f.cbxZoom->SetItemIndex(zeFirstPercent + 3);  // 100 %
        f.ScrollBox1Resize();
        const int w1 = OnScreen(1.0, sheet.PhysicalWidth, sheet.DpiX);
        const int h1 = OnScreen(1.0, sheet.PhysicalHeight, sheet.DpiY);
        const QPoint at(w1 / 2, 700);
        QTest::mousePress(f.PB1, Qt::LeftButton, Qt::NoModifier, at);
        EXPECT_DOUBLE_EQ(f.Zoom(), 1.5);
        const int w = OnScreen(1.5, sheet.PhysicalWidth, sheet.DpiX);
        const int h = OnScreen(1.5, sheet.PhysicalHeight, sheet.DpiY);
        ASSERT_EQ(f.PB1->size(), QSize(w, h));
        QScrollBar* hb = f.ScrollBox1->horizontalScrollBar();
        QScrollBar* vb = f.ScrollBox1->verticalScrollBar();
        const int x = static_cast<int>(std::lround(w * (static_cast<double>(at.x()) / w1))) - f.ScrollBox1->width() / 2;
        const int y = static_cast<int>(std::lround(h * (700.0 / h1))) - f.ScrollBox1->height() / 2;
        // Both within the bars' ranges, so neither is cut at an end.
        ASSERT_GT(x, 0);
        ASSERT_LT(x, hb->maximum());
        ASSERT_GT(y, 0);
        ASSERT_LT(y, vb->maximum());
        EXPECT_EQ(hb->value(), x);
        EXPECT_EQ(vb->value(), y);

        QTest::mouseMove(f.PB1, at - QPoint(60, 80));
        QTest::mouseRelease(f.PB1, Qt::LeftButton, Qt::NoModifier, at - QPoint(60, 80));
        EXPECT_EQ(hb->value(), x);
        EXPECT_EQ(vb->value(), y);
        EXPECT_DOUBLE_EQ(f.Zoom(), 1.5);
    });
}

// The two fit buttons show which fit is in use: one pressed, the other not, and the page fills
// the box's width but 20 pixels with fit width.
TEST_F(Preview, TheFitButtonsShowWhichFitIsInUse)
{
    viewer_.LoadDocumentString(Lines(10));
    auto form = Open();
    Run(*form, [](TPreviewForm& f) {
        EXPECT_TRUE(f.PreviewFitPage->Checked());
        EXPECT_FALSE(f.PreviewFitWidth->Checked());
        f.PreviewFitWidth->Execute();
        EXPECT_TRUE(f.PreviewFitWidth->Checked());
        EXPECT_FALSE(f.PreviewFitPage->Checked());
        EXPECT_EQ(f.cbxZoom->ItemIndex(), zeFitWidth);
        EXPECT_EQ(f.PB1->width(), f.ScrollBox1->contentsRect().width() - 20);
        f.PreviewFitPage->Execute();
        EXPECT_TRUE(f.PreviewFitPage->Checked());
        EXPECT_FALSE(f.PreviewFitWidth->Checked());
        EXPECT_EQ(f.cbxZoom->ItemIndex(), zeFitPage);
        EXPECT_EQ(f.PB1->height(), f.ScrollBox1->contentsRect().height() - 20);
    });
}

// In two-page mode the second box shows the page after the current one, and nothing after the last:
// on the last page the second box asks for no page past the recorded ones, so its paint raises
// no error for the user to read.
TEST_F(Preview, TheSecondBoxShowsThePageAfterTheCurrentOne)
{
    viewer_.LoadDocumentString(Lines(200));
    MarkPagesByTheirNumber(viewer_);
    auto form = Open();
    const int pages = form->Recorder().PageCount();
    ASSERT_GE(pages, 3);
    Run(*form, [this, pages](TPreviewForm& f) {
        f.PreviewTwoPages->Execute();
        EXPECT_EQ(SquaresOn(f.PB1, f.Zoom()), 1);
        EXPECT_EQ(SquaresOn(f.PB2, f.Zoom()), 2);
        f.PreviewNext->Execute();
        EXPECT_EQ(SquaresOn(f.PB1, f.Zoom()), 2);
        EXPECT_EQ(SquaresOn(f.PB2, f.Zoom()), 3);
        f.ShowPage(pages - 1);
        EXPECT_EQ(SquaresOn(f.PB1, f.Zoom()), pages);
        EXPECT_EQ(SquaresOn(f.PB2, f.Zoom()), 0);
        EXPECT_TRUE(prompts_.Messages().empty());
    });
}

// Fit width makes the page exactly as wide as the box but its gaps. A page that is then no taller
// than the box fits whole: no bar may show, as there is nothing to scroll to; a taller page needs both.
TEST_F(Preview, AtFitWidthAPageNoTallerThanTheBoxShowsNoBars)
{
    viewer_.LoadDocumentString(Lines(10));
    auto form = Open();
    Run(*form, [](TPreviewForm& f) {
        auto bars = [&f] {
            return std::pair(f.ScrollBox1->horizontalScrollBarPolicy(), f.ScrollBox1->verticalScrollBarPolicy());
        };
        // A narrow, tall window: the page at fit width is shorter than the box.
        f.resize(500, 900);
        QApplication::processEvents();
        f.PreviewFitWidth->Execute();
        const QSize client = f.ScrollBox1->contentsRect().size();
        ASSERT_EQ(f.PB1->width() + 20, client.width());
        ASSERT_LE(f.PB1->height() + 20, client.height());
        EXPECT_EQ(bars(), std::pair(Qt::ScrollBarAlwaysOff, Qt::ScrollBarAlwaysOff));
        // A wide, low window: the page at fit width is taller than the box.
        f.resize(900, 500);
        QApplication::processEvents();
        ASSERT_GT(f.PB1->height() + 20, f.ScrollBox1->contentsRect().height());
        EXPECT_EQ(bars(), std::pair(Qt::ScrollBarAlwaysOn, Qt::ScrollBarAlwaysOn));
    });
}

// Printing from the preview: the name the printer had when the dialog leaves it empty, and only
// the pages chosen: a run of pages 2 to 3 prints the two pages the whole print has in that place.
TEST_F(Preview, PrintsIntoThePrintersFileAndOnlyThePagesChosen)
{
    viewer_.LoadDocumentString(Lines(200));
    auto form = Open();
    const int pages = form->Recorder().PageCount();
    ASSERT_GE(pages, 3);
    PrintDialogAnswer all;
    all.AllPages = true;
    prompts_.AnswerPrint(all);
    PrintDialogAnswer some;
    some.AllPages = false;
    some.FromPage = 2;
    some.ToPage = 3;
    some.PdfFileName = folder_ / "teil.pdf";
    prompts_.AnswerPrint(some);
    Run(*form, [&](TPreviewForm& f) {
        f.PreviewPrint->Execute();
        f.PreviewPrint->Execute();
    });
    EXPECT_TRUE(prompts_.Messages().empty());
    ASSERT_EQ(test::PdfPageCount(File()), pages);
    ASSERT_EQ(test::PdfPageCount(some.PdfFileName), 2);
    auto firstLine = [](const std::string& text) {
        const auto at = text.find("Zeile ");
        return at == std::string::npos ? std::string() : text.substr(at, text.find_first_of(" \n", at + 6) - at);
    };
    EXPECT_NE(firstLine(test::PdfToText(File(), 2)), "");
    EXPECT_EQ(firstLine(test::PdfToText(some.PdfFileName, 1)), firstLine(test::PdfToText(File(), 2)));
    EXPECT_EQ(firstLine(test::PdfToText(some.PdfFileName, 2)), firstLine(test::PdfToText(File(), 3)));
}

// A sheet with a size but no resolution, or a resolution but no size, is as good as none: zoom 1.0
// and no page on the screen, not a division by zero.
TEST(PreviewZoom, HalfASheetIsNoSheet)
{
    PrinterMeasures sized;
    sized.PhysicalWidth = 2480;
    sized.PhysicalHeight = 3508;
    PrinterMeasures resolved;
    resolved.DpiX = resolved.DpiY = 300;
    for (const PrinterMeasures& sheet : {sized, resolved}) {
        EXPECT_EQ(PreviewZoomFactor(zeFitPage, 7.0, QSize(820, 620), sheet, 96), 1.0);
        EXPECT_EQ(PreviewZoomFactor(zeFitWidth, 7.0, QSize(820, 620), sheet, 96), 1.0);
        EXPECT_EQ(PreviewPageSize(1.0, sheet, 96), QSize(0, 0));
    }
}

}  // namespace
}  // namespace velmoran
