// Tests of the viewer's print run on generated documents printed to PDF: page ranges, the page
// events, a top margin changed by a header handler, the print scale, repeated table headers, the
// clean-up after errors and the printing guard, table footers, the page background, a job the viewer
// holds and what becomes of it when the viewer goes (between runs or during one), and the device
// arithmetic.
#include "tests/support/TempFolder.h"
#include "tests/support/TestApp.h"
#include "PdfProbe.h"

#include "html/layout/DocumentDump.h"
#include "html/viewer/MetaFilePrinter.h"
#include "html/viewer/PageViewer.h"
#include "html/viewer/PrintGeometry.h"
#include "html/viewer/PrinterJob.h"
#include "html/viewer/SectionListDocument.h"
#include "platform/Printer.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>

#include "tests/html/viewer/PrintPagesText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmoran {
namespace {

using testing::App;
using testing::TempFolder;

using test::Lines;

// A table of 130 rows "Reihe 0" .. "Reihe 129" over three pages, with a head or foot part.
std::string LongTable(const std::string& part)
{
    std::string html = "<table border=1>" + part + "<tbody>";
    for (int i = 0; i < 130; ++i)
        html += "<tr><td>Reihe " + std::to_string(i) + "</td><td>" + std::to_string(i * 7) + "</td></tr>";
    return html + "</tbody></table>";
}

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// A column of a printed page at the printer's own resolution (1200 dpi), x given in points from
// the left: the colour of each pixel from top to bottom.
std::vector<QRgb> PageColumn(const std::string& pdf, int page, int xPoints)
{
    const std::string out = pdf + "-column";
    const std::string command = "pdftoppm -r 1200 -f " + std::to_string(page) + " -l " + std::to_string(page) +
                                " -x " + std::to_string(xPoints * 1200 / 72) + " -y 0 -W 1 -H 30000" +
                                " -singlefile -png '" + pdf + "' '" + out + "'";
    std::vector<QRgb> column;
    if (std::system(command.c_str()) != 0)
        return column;
    const QImage image(QString::fromStdString(out + ".png"));
    for (int y = 0; y < image.height(); ++y)
        column.push_back(image.pixel(0, y) & 0xFFFFFF);
    return column;
}

class PrintRunTest : public ::testing::Test {
protected:
    PrintRunTest() : saved_(SetSelectedPrinter(Printer::Pdf(folder_ / "run.pdf")))
    {
        App();
        viewer_ = std::make_unique<TPageViewer>();
        viewer_->resize(600, 400);
        viewer_->OnPrintHeader = [](TPageViewer*, Canvas& canvas, int page, int w, int h, bool&) {
            canvas.TextOut(w / 2, h / 2, u"Seite " + std::u16string(1, char16_t(u'0' + page % 10)));
        };
    }
    ~PrintRunTest() override { SetSelectedPrinter(saved_); }

    void Load(const std::string& html) { viewer_->LoadDocumentString(html); }
    std::string File() const { return folder_ / "run.pdf"; }
    bool Printed() const { return QFile::exists(QString::fromStdString(File())); }
    // The top of the first body line ("Zeile …") of a page, in points.
    double BodyTop(int page) const
    {
        for (const test::PdfWord& w : test::PdfWords(File(), page))
            if (w.Text == "Zeile")
                return w.YMin;
        return -1;
    }
    double LineHeight(int page) const
    {
        const auto words = test::PdfWords(File(), page);
        const test::PdfWord* w = test::FindWord(words, "Zeile");
        return w ? w->YMax - w->YMin : -1;
    }
    // Keeps a PNG of each page of the last print under build/artifacts/print.
    void KeepPictures(const std::string& name) const
    {
        const QString dir = QStringLiteral(VELMORAN_ARTIFACTS "/print");
        QDir().mkpath(dir);
        QFile::remove(dir + "/" + QString::fromStdString(name) + ".pdf");
        QFile::copy(QString::fromStdString(File()), dir + "/" + QString::fromStdString(name) + ".pdf");
        std::system(("pdftoppm -r 40 -png '" + File() + "' '" + dir.toStdString() + "/" + name + "'").c_str());
    }

    TempFolder folder_;
    Printer saved_;
    std::unique_ptr<TPageViewer> viewer_;
};

TEST_F(PrintRunTest, PageRangePrintsOnlyItsSheets)
{
    Load(Lines(300));
    viewer_->PrintPages(1, 99999);
    ASSERT_EQ(test::PdfPageCount(File()), 6);
    EXPECT_EQ(viewer_->PrintedPage(), 6);
    const double fullTop3 = BodyTop(3);
    const std::string fullPage3 = test::PdfToText(File(), 3);

    viewer_->PrintPages(3, 4);
    KeepPictures("range-3-4");
    ASSERT_EQ(test::PdfPageCount(File()), 2);
    const std::string first = test::PdfToText(File(), 1);
    const std::string second = test::PdfToText(File(), 2);
    EXPECT_TRUE(Has(first, "Seite 3"));
    EXPECT_FALSE(Has(first, "Seite 1"));
    EXPECT_FALSE(Has(first, "Zeile 0\n"));
    EXPECT_TRUE(Has(second, "Seite 4"));
    // The first sheet is page 3 of the full print, standing where it stood there.
    EXPECT_EQ(first, fullPage3);
    EXPECT_DOUBLE_EQ(BodyTop(1), fullTop3);
    EXPECT_EQ(viewer_->PrintedPage(), 4);
}

TEST_F(PrintRunTest, FromPageBeyondTheEndLeavesNoFile)
{
    Load(Lines(300));
    viewer_->PrintPages(9, 10);
    EXPECT_FALSE(Printed());
    EXPECT_EQ(viewer_->PrintedPage(), 6);
}

// A document whose text ends on a page with only its bottom margin (MarginHeight) past the page's
// cut ends on that page: no page follows that holds nothing of it. The number of lines runs over a
// page's end, so that one of them ends within the margin of the cut.
TEST_F(PrintRunTest, NoPageHoldsOnlyTheBottomMargin)
{
    viewer_->OnPrintHeader = nullptr;
    viewer_->SetMarginHeight(40);
    const auto inked = [](const MetafilePage& page) {
        QImage image(420, 594, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        page.Replay(painter, image.rect());
        painter.end();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 200)
                    return true;
        return false;
    };
    std::vector<int> pageCounts;
    for (int lines = 40; lines <= 75; ++lines) {
        Load(Lines(lines));
        TMetaFilePrinter recorder;
        const int pages = viewer_->PreviewPages(recorder, false);
        ASSERT_EQ(recorder.PageCount(), pages);
        EXPECT_TRUE(inked(recorder.Page(pages - 1))) << lines << " lines, page " << pages;
        pageCounts.push_back(pages);
    }
    EXPECT_EQ(pageCounts.front(), 1);
    EXPECT_EQ(pageCounts.back(), 2);
}

TEST_F(PrintRunTest, PageEventsComeInOrder)
{
    Load(Lines(120));
    std::vector<int> pages;
    viewer_->OnPageEvent = [&](TPageViewer*, int page, bool&) { pages.push_back(page); };
    viewer_->PrintPages(1, 99999);
    EXPECT_EQ(pages, (std::vector<int>{0, 1, 1, 2, 3}));

    // Stopping at page 2 finishes that page and ends the job normally.
    pages.clear();
    viewer_->OnPageEvent = [&](TPageViewer*, int page, bool& stop) {
        pages.push_back(page);
        stop = page == 2;
    };
    viewer_->PrintPages(1, 99999);
    EXPECT_EQ(pages, (std::vector<int>{0, 1, 1, 2}));
    EXPECT_EQ(test::PdfPageCount(File()), 2);
}

TEST_F(PrintRunTest, EmptyDocumentPrintsNothing)
{
    std::vector<int> pages;
    viewer_->OnPageEvent = [&](TPageViewer*, int page, bool&) { pages.push_back(page); };
    viewer_->PrintPages(1, 99999);
    EXPECT_EQ(pages, (std::vector<int>{0}));
    EXPECT_FALSE(Printed());
}

TEST_F(PrintRunTest, HeaderHandlerRaisingTheTopMarginMovesTheBodyFromTheNextPage)
{
    Load(Lines(200));
    viewer_->PrintPages(1, 99999);
    const double normalTop1 = BodyTop(1);
    const double normalTop2 = BodyTop(2);
    ASSERT_GT(normalTop1, 0);

    viewer_->OnPrintHeader = [](TPageViewer* sender, Canvas&, int page, int, int, bool&) {
        if (page == 1)
            sender->PrintMarginTop = 3.0;
    };
    viewer_->PrintPages(1, 99999);
    EXPECT_DOUBLE_EQ(BodyTop(1), normalTop1);
    // One centimetre is 28.35 points.
    EXPECT_NEAR(BodyTop(2) - normalTop2, 28.35, 1.5);
    EXPECT_NEAR(BodyTop(3) - normalTop2, 28.35, 1.5);
    EXPECT_EQ(viewer_->PrintMarginTop, 2.0);
}

TEST_F(PrintRunTest, PrintScaleShrinksTheText)
{
    Load(Lines(20));
    viewer_->PrintPages(1, 1);
    const double normal = LineHeight(1);
    viewer_->SetPrintScale(2.0);
    viewer_->PrintPages(1, 1);
    EXPECT_NEAR(LineHeight(1), normal / 2, normal * 0.1);
    viewer_->SetPrintScale(4.0);
    viewer_->PrintPages(1, 1);
    const double quarter = LineHeight(1);
    viewer_->SetPrintScale(5.0);
    viewer_->PrintPages(1, 1);
    EXPECT_DOUBLE_EQ(LineHeight(1), quarter);
}

TEST_F(PrintRunTest, TableHeaderRowsRepeatOnEveryPage)
{
    Load(LongTable("<thead><tr><th>Kopfzeile</th><th>Wert</th></tr></thead>"));
    viewer_->PrintPages(1, 99999);
    KeepPictures("table-head");
    ASSERT_GE(test::PdfPageCount(File()), 3);
    for (int page = 1; page <= 3; ++page) {
        const std::string text = test::PdfToText(File(), page);
        EXPECT_TRUE(Has(text, "Kopfzeile")) << "page " << page;
    }
    // No row is lost or printed twice at the cuts.
    std::string all;
    for (int page = 1; page <= test::PdfPageCount(File()); ++page)
        all += test::PdfToText(File(), page);
    for (int i = 0; i < 130; ++i) {
        const std::string row = "Reihe " + std::to_string(i) + " ";
        const std::size_t at = all.find(row);
        EXPECT_NE(at, std::string::npos) << row;
        EXPECT_EQ(all.find(row, at + 1), std::string::npos) << row;
    }
}

TEST_F(PrintRunTest, ErrorInAHeaderHandlerRestoresEverythingAndLeavesNoFile)
{
    Load(Lines(200));
    TvwPrinter* before = &vwPrinter();
    viewer_->OnPrintHeader = [](TPageViewer* sender, Canvas&, int page, int, int, bool&) {
        sender->PrintMarginTop = 4.0;
        if (page == 2)
            throw std::runtime_error("Kopf fehlgeschlagen");
    };
    EXPECT_THROW(viewer_->PrintPages(1, 99999), std::runtime_error);
    EXPECT_EQ(&vwPrinter(), before);
    EXPECT_EQ(viewer_->PrintMarginTop, 2.0);
    EXPECT_FALSE(Printed());
    EXPECT_FALSE(viewer_->Printing());
}

TEST_F(PrintRunTest, UnusablePrinterRaisesAndRestoresTheGlobalPrinter)
{
    Load(Lines(10));
    SetSelectedPrinter(Printer::Pdf(folder_ / "fehlt/run.pdf"));
    TvwPrinter* before = &vwPrinter();
    try {
        viewer_->PrintPages(1, 99999);
        ADD_FAILURE() << "no error";
    } catch (const EPrinter& e) {
        EXPECT_EQ(e.Message(), "Ausgewählter Drucker ist ungültig");
    }
    EXPECT_EQ(&vwPrinter(), before);
    EXPECT_FALSE(viewer_->Printing());
}

TEST_F(PrintRunTest, LoadsDuringARunDoNothing)
{
    Load(Lines(10) + "Original");
    bool guarded = false;
    viewer_->OnPrintHeader = [&](TPageViewer* sender, Canvas&, int, int, int, bool&) {
        guarded = sender->Printing();
        sender->LoadDocumentString("Ersatz");
    };
    viewer_->PrintPages(1, 99999);
    EXPECT_TRUE(guarded);
    EXPECT_FALSE(viewer_->Printing());
    EXPECT_TRUE(Has(test::PdfToText(File(), 1), "Original"));
    viewer_->OnPrintHeader = nullptr;
    viewer_->PrintPages(1, 99999);
    EXPECT_TRUE(Has(test::PdfToText(File(), 1), "Original"));
    EXPECT_FALSE(Has(test::PdfToText(File(), 1), "Ersatz"));
}

TEST_F(PrintRunTest, HtmlHeaderAndFooterAreLoadedAndPrinted)
{
    Load(Lines(80));
    std::vector<bool> lastPages;
    viewer_->OnPrintHTMLHeader = [](TPageViewer*, TPageViewer* band, int page, bool, int&, int&, bool&) {
        band->LoadDocumentString("<b>Kopf " + std::to_string(page) + "</b>");
    };
    viewer_->OnPrintHTMLFooter = [&](TPageViewer*, TPageViewer* band, int page, bool last, int&, int&, bool&) {
        lastPages.push_back(last);
        band->LoadDocumentString("Fusszeile " + std::to_string(page));
    };
    viewer_->PrintPages(1, 99999);
    KeepPictures("html-bands");
    ASSERT_EQ(test::PdfPageCount(File()), 2);
    EXPECT_TRUE(Has(test::PdfToText(File(), 2), "Kopf 2"));
    EXPECT_TRUE(Has(test::PdfToText(File(), 2), "Fusszeile 2"));
    EXPECT_EQ(lastPages, (std::vector<bool>{false, true}));
}

// The owner may take its HTML footer away while the pages are printed (here from the header of
// page 2): the pages after that have no footer, and the run ends normally.
TEST_F(PrintRunTest, AnHtmlFooterTakenAwayDuringTheRunEndsThere)
{
    Load(Lines(80));
    std::vector<int> footers;
    viewer_->OnPrintHTMLFooter = [&](TPageViewer*, TPageViewer* band, int page, bool, int&, int&, bool&) {
        footers.push_back(page);
        band->LoadDocumentString("Fusszeile " + std::to_string(page));
    };
    viewer_->OnPrintHeader = [this](TPageViewer*, Canvas& canvas, int page, int w, int h, bool&) {
        canvas.TextOut(w / 2, h / 2, u"Seite");
        if (page == 2)
            viewer_->OnPrintHTMLFooter = nullptr;
    };
    EXPECT_NO_THROW(viewer_->PrintPages(1, 99999));
    ASSERT_TRUE(Printed());
    ASSERT_EQ(test::PdfPageCount(File()), 2);
    EXPECT_EQ(footers, std::vector<int>{1});
    EXPECT_TRUE(Has(test::PdfToText(File(), 1), "Fusszeile 1"));
    EXPECT_FALSE(Has(test::PdfToText(File(), 2), "Fusszeile"));
    EXPECT_TRUE(Has(test::PdfToText(File(), 2), "Zeile 79"));
}

// An HTML footer taller than the room below the body is cut at the paper's edge like a page: the
// lines that fit whole are printed, the one the edge would cut in two is not. The first print
// measures the footer's line pitch; the second gives it a bottom margin of four and a half lines.
TEST_F(PrintRunTest, AnHtmlFooterTallerThanItsRoomShowsOnlyWholeLines)
{
    Load(Lines(10));
    viewer_->OnPrintHTMLFooter = [](TPageViewer*, TPageViewer* band, int, bool, int&, int&, bool&) {
        std::string lines;
        for (int i = 1; i <= 20; ++i)
            lines += "Fuss" + std::to_string(i) + "<br>";
        band->LoadDocumentString(lines);
    };
    const auto footerLines = [this] {
        std::vector<test::PdfWord> lines;
        for (const test::PdfWord& w : test::PdfWords(File(), 1))
            if (w.Text.rfind("Fuss", 0) == 0)
                lines.push_back(w);
        return lines;
    };
    viewer_->PrintPages(1, 99999);
    auto lines = footerLines();
    ASSERT_GE(lines.size(), 2u);
    const double pitch = lines[1].YMin - lines[0].YMin;
    ASSERT_GT(pitch, 5.0);

    viewer_->PrintMarginBottom = 4.5 * pitch / 72.0 * 2.54;
    viewer_->PrintPages(1, 99999);
    KeepPictures("html-footer-tall");
    const std::string box = test::PdfToText(File(), 1, true);
    const auto at = box.find("height=\"");
    ASSERT_NE(at, std::string::npos);
    const double paperHeight = std::strtod(box.c_str() + at + 8, nullptr);
    lines = footerLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines.back().Text, "Fuss4");
    EXPECT_LE(lines.back().YMax, paperHeight);
    // Nothing of the fifth line reaches the paper: the half line above the edge shows only the
    // footer's background, no dark pixel of a letter, in the columns of "Fuss".
    const auto fifthTop = static_cast<std::size_t>((lines.back().YMin + pitch) * 1200 / 72) + 1;
    int dark = 0;
    for (int x = static_cast<int>(lines.back().XMin); x <= static_cast<int>(lines.back().XMax); ++x) {
        const std::vector<QRgb> column = PageColumn(File(), 1, x);
        ASSERT_FALSE(column.empty());
        for (std::size_t y = fifthTop; y < column.size(); ++y)
            dark += qGray(column[y]) < 128 ? 1 : 0;
    }
    EXPECT_EQ(dark, 0);
}

TEST_F(PrintRunTest, TableFooterRowsRepeatAtEveryPageBottom)
{
    Load(LongTable("<tfoot><tr><td>Fusszeile</td><td>Summe</td></tr></tfoot>"));
    viewer_->PrintPages(1, 99999);
    KeepPictures("table-foot");
    const int pages = test::PdfPageCount(File());
    ASSERT_GE(pages, 3);
    for (int page = 1; page <= pages; ++page) {
        const auto words = test::PdfWords(File(), page);
        const test::PdfWord* foot = test::FindWord(words, "Fusszeile");
        ASSERT_NE(foot, nullptr) << "page " << page;
        // The footer closes the page: every row of the page stands above it.
        for (const test::PdfWord& w : words) {
            if (w.Text == "Reihe") {
                EXPECT_LT(w.YMin, foot->YMin) << "page " << page;
            }
        }
    }
}

// The colour of a printed page at a share of its width and height (page of a PDF made a picture).
QRgb PagePixel(const std::string& pdf, int page, double x, double y)
{
    const std::string out = pdf + "-pixel";
    const std::string command = "pdftoppm -r 30 -f " + std::to_string(page) + " -l " + std::to_string(page) +
                                " -singlefile -png '" + pdf + "' '" + out + "'";
    if (std::system(command.c_str()) != 0)
        return 0;
    const QImage image(QString::fromStdString(out + ".png"));
    if (image.isNull())
        return 0;
    return image.pixel(static_cast<int>(image.width() * x), static_cast<int>(image.height() * y)) & 0xFFFFFF;
}

TEST_F(PrintRunTest, DocumentBackgroundPrintsOnlyWithPrintBackground)
{
    Load("<body bgcolor=\"#C0E0FF\">" + Lines(120));
    viewer_->PrintPages(1, 99999);
    const int pages = test::PdfPageCount(File());
    ASSERT_EQ(pages, 3);
    EXPECT_EQ(PagePixel(File(), 2, 0.5, 0.5), 0xFFFFFFu);

    TPageViewerOptions options = viewer_->htOptions();
    options.Include(htPrintBackground);
    viewer_->SethtOptions(options);
    viewer_->PrintPages(1, 99999);
    KeepPictures("background");
    ASSERT_EQ(test::PdfPageCount(File()), 3);
    for (int page = 1; page <= 3; ++page)
        EXPECT_EQ(PagePixel(File(), page, 0.5, 0.5), 0xC0E0FFu) << "page " << page;
    // Below the end of the text on the last page too, but not in the margins.
    EXPECT_EQ(PagePixel(File(), 3, 0.5, 0.85), 0xC0E0FFu);
    EXPECT_EQ(PagePixel(File(), 3, 0.02, 0.5), 0xFFFFFFu);
}

// With the page background printed, the space a page leaves below its cut is blanked and takes the
// background again: from the body's top to its bottom the background runs on without a white line,
// on the pages cut between lines and on the last one below the end of the text.
TEST_F(PrintRunTest, ThePageBackgroundRunsOnAcrossThePageCut)
{
    Load("<body bgcolor=\"#C0E0FF\">" + Lines(120));
    TPageViewerOptions options = viewer_->htOptions();
    options.Include(htPrintBackground);
    viewer_->SethtOptions(options);
    viewer_->PrintPages(1, 99999);
    ASSERT_EQ(test::PdfPageCount(File()), 3);
    for (int page = 1; page <= 3; ++page) {
        // Right of the short lines, inside the body (the page is at least 595 points wide, the
        // right margin 2 cm, 57 points).
        const std::vector<QRgb> column = PageColumn(File(), page, 400);
        ASSERT_FALSE(column.empty());
        const auto first = std::find(column.begin(), column.end(), 0xC0E0FFu);
        const auto last = std::find(column.rbegin(), column.rend(), 0xC0E0FFu);
        ASSERT_NE(first, column.end()) << "page " << page;
        const auto end = last.base();
        // The body is the page less 2 cm above and below: most of its height is background.
        EXPECT_GT(end - first, static_cast<long>(column.size()) * 3 / 4) << "page " << page;
        EXPECT_EQ(std::count(first, end, 0xFFFFFFu), 0) << "page " << page;
    }
}

// A job the viewer holds already: the run adds its pages to it and leaves it running.
// The print lays the viewer's own document out for the paper. Afterwards the window shows it as
// before: every block, row, cell and line in its place, the scroll position, the same picture;
// the mouse moved over a link while the pages were drawn changed nothing.
TEST_F(PrintRunTest, TheWindowShowsItsPageAsBeforeAfterAPrintOrPreview)
{
    std::string html = "<table border=1 width=\"90%\"><thead><tr><th>Gr&ouml;&szlig;e</th><th>Wert</th></tr></thead>";
    for (int i = 0; i < 130; ++i)
        html += "<tr><td><a href=\"r" + std::to_string(i) + ".htm\">Reihe " + std::to_string(i) + "</a></td><td>" +
                std::to_string(i * 7) + "</td></tr>";
    Load(html + "</table>");
    viewer_->SetVScrollBarPosition(200);
    TSectionList& doc = static_cast<TSectionListDocument&>(viewer_->Document()).Sections();
    auto positions = [&] { return DumpDocument(doc, {false, false, false, true}); };
    const std::string before = positions();
    const QImage shown = viewer_->grab().toImage();
    QWidget* surface = viewer_->childAt(30, 12);
    ASSERT_NE(surface, nullptr);
    viewer_->OnPageEvent = [&](TPageViewer*, int, bool&) {
        for (const QPoint p : {QPoint(20, 12), QPoint(30, 12)}) {
            QMouseEvent move(QEvent::MouseMove, p, surface->mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(surface, &move);
        }
    };
    viewer_->PrintPages(1, 99999);
    ASSERT_GE(test::PdfPageCount(File()), 3);
    EXPECT_EQ(positions(), before);
    EXPECT_EQ(viewer_->VScrollBarPosition(), 200);
    EXPECT_EQ(doc.YOff, 200);
    EXPECT_TRUE(viewer_->HotSpotURL().empty());
    EXPECT_EQ(viewer_->grab().toImage(), shown);

    TMetaFilePrinter recorder;
    EXPECT_GE(viewer_->PreviewPages(recorder, false), 3);
    EXPECT_EQ(positions(), before);
    EXPECT_EQ(viewer_->grab().toImage(), shown);
    // Without a print the same move finds the link: the test moves over one.
    viewer_->OnPageEvent = nullptr;
    QMouseEvent move(QEvent::MouseMove, QPoint(30, 12), surface->mapToGlobal(QPoint(30, 12)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(surface, &move);
    EXPECT_FALSE(viewer_->HotSpotURL().empty());
}

TEST_F(PrintRunTest, AHeldJobGetsTheNextPages)
{
    TvwPrinter* before = &vwPrinter();
    TvwPrinter job;
    job.BeginDoc();
    job.Canvas().TextOut(100, 100, u"Deckblatt");
    viewer_->SetJobPrinter(&job);
    Load(Lines(120));
    viewer_->PrintPages(1, 99999);
    EXPECT_TRUE(job.Printing());
    EXPECT_EQ(job.PageNumber(), 4);
    // The held job is the global printer until it is let go.
    EXPECT_EQ(&vwPrinter(), &job);
    EXPECT_EQ(viewer_->JobPrinter(), &job);

    Load("Anhang");
    viewer_->PrintPages(1, 99999);
    EXPECT_EQ(job.PageNumber(), 5);
    viewer_->SetJobPrinter(nullptr);
    EXPECT_EQ(&vwPrinter(), before);
    job.EndDoc();
    ASSERT_EQ(test::PdfPageCount(File()), 5);
    EXPECT_TRUE(Has(test::PdfToText(File(), 1), "Deckblatt"));
    EXPECT_FALSE(Has(test::PdfToText(File(), 1), "Zeile"));
    EXPECT_TRUE(Has(test::PdfToText(File(), 2), "Zeile 0"));
    EXPECT_TRUE(Has(test::PdfToText(File(), 5), "Anhang"));

    // Without a held job the run makes its own again.
    Load(Lines(10));
    viewer_->PrintPages(1, 99999);
    EXPECT_EQ(viewer_->JobPrinter(), nullptr);
    EXPECT_EQ(test::PdfPageCount(File()), 1);
}

// A viewer that goes while it holds a running job: the half-printed document is aborted (the PDF
// printer leaves no file) and the global printer is the one before the job again.
TEST_F(PrintRunTest, AViewerDestroyedWhileHoldingAJobAbortsItAndBringsBackThePrinter)
{
    TvwPrinter* before = &vwPrinter();
    TvwPrinter job;
    job.BeginDoc();
    viewer_->SetJobPrinter(&job);
    EXPECT_EQ(&vwPrinter(), &job);
    Load(Lines(60));
    viewer_->PrintPages(1, 99999);
    ASSERT_TRUE(job.Printing());
    viewer_.reset();
    EXPECT_FALSE(job.Printing());
    EXPECT_EQ(&vwPrinter(), before);
    EXPECT_FALSE(Printed());

    // A viewer that let its job go leaves it alone.
    TvwPrinter kept;
    kept.BeginDoc();
    auto viewer = std::make_unique<TPageViewer>();
    viewer->SetJobPrinter(&kept);
    viewer->SetJobPrinter(nullptr);
    viewer.reset();
    EXPECT_TRUE(kept.Printing());
    EXPECT_EQ(&vwPrinter(), before);
    kept.EndDoc();
}

// A handler run while the print processes pending events may close the window with the viewer in
// it. The run must stop there without drawing the freed document; its own job is aborted (no file
// is left) and the printer before it is back. A preview that loses its viewer, and with it the
// parent its HTML footer viewer lives in, keeps no pages.
TEST_F(PrintRunTest, AViewerDestroyedDuringItsOwnRunStopsIt)
{
    TvwPrinter* before = &vwPrinter();
    Load(Lines(200));
    std::vector<int> headers;
    viewer_->OnPrintHeader = [&headers](TPageViewer*, Canvas&, int page, int, int, bool&) { headers.push_back(page); };
    TPageViewer* viewer = viewer_.get();
    viewer_->OnPageEvent = [viewer](TPageViewer*, int page, bool&) {
        if (page == 2)
            QMetaObject::invokeMethod(qApp, [viewer] { delete viewer; }, Qt::QueuedConnection);
    };
    QPointer<TPageViewer> watch(viewer);
    viewer_->PrintPages(1, 99999);
    ASSERT_TRUE(watch.isNull());
    viewer_.release();
    EXPECT_EQ(headers, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(&vwPrinter(), before);
    EXPECT_FALSE(Printed());

    auto window = std::make_unique<QWidget>();
    auto* inWindow = new TPageViewer(window.get());
    inWindow->LoadDocumentString(Lines(200));
    inWindow->OnPrintHTMLFooter = [](TPageViewer*, TPageViewer* footer, int, bool, int&, int&, bool&) {
        footer->LoadDocumentString("Fusszeile");
    };
    QWidget* parent = window.get();
    inWindow->OnPageEvent = [parent](TPageViewer*, int page, bool&) {
        if (page == 2)
            QMetaObject::invokeMethod(qApp, [parent] { delete parent; }, Qt::QueuedConnection);
    };
    TMetaFilePrinter recorder;
    EXPECT_EQ(inWindow->PreviewPages(recorder, false), 0);
    window.release();
    EXPECT_FALSE(recorder.Printing());
    EXPECT_EQ(recorder.PageCount(), 0);
    EXPECT_EQ(&vwPrinter(), before);
}

TEST(PrintRunGeometry, MarginsOffsetsAndScale)
{
    PrintDeviceInput in;
    in.DpiX = in.DpiY = 600;
    in.PhysicalWidth = 4960;
    in.PhysicalHeight = 7016;
    in.OffsetX = 100;
    in.OffsetY = 120;
    in.PageWidth = 4760;
    in.PageHeight = 6776;
    PrintGeometry g = ComputePrintGeometry(in);
    EXPECT_EQ(g.WDpi, 96);
    EXPECT_EQ(g.LeftDev, 472 - 100);                  // 2 cm at 600 dpi less the unprintable edge
    EXPECT_EQ(g.LeftLog, 60);                         // 372 × 96 / 600 = 59.52
    EXPECT_EQ(g.RightDev, 472 - 100);                 // the right edge is 4960 - 4760 - 100
    EXPECT_EQ(g.WidthDev, 4760 - 744);
    EXPECT_EQ(g.TopDev, 472 - 120);
    EXPECT_EQ(g.BottomDev, 472 - 120);
    EXPECT_EQ(g.HeightDev, 6776 - 704);
    EXPECT_EQ(g.HeightLog, 972);                      // 6072 × 96 / 600 = 971.52
    EXPECT_EQ(g.PageHeightLog, 1084);                 // 6776 × 96 / 600 = 1084.16
    // An unprintable edge larger than the rest of the sheet counts as none.
    in.PhysicalWidth = 4000;
    EXPECT_EQ(ComputePrintGeometry(in).RightDev, 472);

    in.Scale = 2.0;
    g = ComputePrintGeometry(in);
    EXPECT_EQ(g.WDpi, 192);
    EXPECT_EQ(g.HeightLog, 1943);
    // 96 × 1.015625 = 97.5 rounds to the even 98.
    in.Scale = 1.015625;
    EXPECT_EQ(ComputePrintGeometry(in).WDpi, 98);

    in.Scale = 1.0;
    const PrintGeometry start = ComputePrintGeometry(in);
    const PrintGeometry moved = ShiftTopMargin(start, 1.0, 600);
    EXPECT_EQ(moved.TopDev, start.TopDev + 236);     // trunc(1 / 2.54 × 600)
    EXPECT_EQ(moved.TopLog, start.TopLog + 37);      // trunc(1 / 2.54 × 96)
    EXPECT_EQ(moved.HeightDev, start.HeightDev - 236);
    EXPECT_EQ(moved.HeightLog, start.HeightLog - 37);
    EXPECT_EQ(moved.LeftDev, start.LeftDev);
}

}  // namespace
}  // namespace velmoran
