// Printing the document itself: what a print shows of a document in print mode is what a print
// copy of it shows (no selection, no caret, no table backgrounds unless asked for), a print that
// stopped half-way leaves nothing behind for the next one, and the screen gets every setting back.
#include "ParserTestSupport.h"

#include "html/layout/PrintMode.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace velmoran {
namespace {

using testing::ParsedPage;

constexpr int kPrintWidth = 500;
constexpr int kPrintPageHeight = 300;

// A selection over a link and a coloured cell, a table whose header rows repeat on every page.
std::string MixedPage()
{
    std::string html = "<body><p>Vorwort mit <a href=\"x.htm\">Verweis</a> und Text.</p>"
                       "<table border=1 bgcolor=#FFE0C0><thead><tr><th>Gr&ouml;&szlig;e</th><th>Wert</th></tr></thead>";
    for (int i = 0; i < 60; ++i)
        html += "<tr><td bgcolor=#C0FFC0>Zeile " + std::to_string(i) +
                "</td><td bgcolor=#C0C0FF style=\"border: 3px dashed #808080\">" + std::to_string(i * 7) + "</td></tr>";
    return html + "</table><p>Schluss</p></body>";
}

// Prints a document laid out for the printer page by page as the print loop does, into one
// record: where each page is cut and what it paints. At most `pages` pages.
std::string PrintRecord(TSectionList& doc, FontEngine& fonts, int pages = 100)
{
    RecordingCanvas canvas(fonts, kPrintWidth, kPrintPageHeight);
    int widest = 0;
    const int height = doc.LayoutDocument(canvas, kPrintWidth, widest);
    std::string out;
    for (int top = 0, page = 1; top < height && page <= pages; ++page) {
        canvas.Clear();
        doc.SetYOffset(top);
        doc.PaintDocument(canvas, {0, 0, kPrintWidth, kPrintPageHeight});
        out += "page " + std::to_string(page) + " cut " + std::to_string(doc.PageCutY) + "\n" + canvas.Text() + "\n";
        if (doc.PageCutY <= top)
            break;
        top = doc.PageCutY;
    }
    return out;
}

std::string ScreenPaint(TSectionList& doc, FontEngine& fonts)
{
    RecordingCanvas canvas(fonts, kPrintWidth, 2000);
    doc.PaintDocument(canvas, {0, 0, kPrintWidth, 2000});
    return canvas.Text();
}

// Counts how often the document asks for its animation timer.
class TimerHost : public THtmlDocumentHost {
public:
    void SetTimer(bool, int) override { ++Calls; }
    int Calls = 0;
};

class PrintModeTest : public ::testing::Test {
protected:
    PrintModeTest()
    {
        page_.Parse(MixedPage());
        int widest = 0;
        page_.Doc.LayoutDocument(measure_, 640, widest);
        page_.Doc.SelB = 5;
        page_.Doc.SelE = 40;
        page_.Doc.ShowDummyCaret = true;
        page_.Doc.Background = 0xE0E0E0;
        page_.Doc.SetYOffset(120);
    }
    std::string Positions() { return DumpDocument(page_.Doc, {false, false, false, true}); }
    void LayOutForScreen()
    {
        int widest = 0;
        page_.Doc.LayoutDocument(measure_, 640, widest);
    }

    TimerHost host_;
    ParsedPage page_{&host_};
    RecordingCanvas measure_{page_.Fonts, 640, 480};
};

// The pages of the document itself are those of a print copy, page for page and call for call,
// with and without table backgrounds; the copy is printed first, as it never touches the document.
TEST_F(PrintModeTest, PrintsAsItsPrintCopyDoes)
{
    for (const bool backgrounds : {false, true}) {
        page_.Doc.PrintTableBackground = backgrounds;
        std::unique_ptr<TSectionList> copy = page_.Doc.CreateCopy();
        copy->Printing = true;
        copy->Background = 0xFFFFFF;
        const std::string fromCopy = PrintRecord(*copy, page_.Fonts);
        std::string inPlace;
        {
            TPrintMode printing(page_.Doc);
            page_.Doc.Background = 0xFFFFFF;
            inPlace = PrintRecord(page_.Doc, page_.Fonts);
        }
        EXPECT_EQ(inPlace, fromCopy) << "table backgrounds " << backgrounds;
        // More than one page, the header repeated, the cell colour only when asked for.
        EXPECT_NE(inPlace.find("page 3 cut"), std::string::npos);
        EXPECT_EQ(inPlace.find("#C0FFC0") != std::string::npos, backgrounds);
        LayOutForScreen();
    }
}

// The print leaves the window's timer alone; the screen's settings come back and, laid out again,
// every block, row, cell and line stands where it stood; the screen paints as before, selection,
// caret and cell colours included.
TEST_F(PrintModeTest, TheScreenGetsEverythingBack)
{
    const std::string positions = Positions();
    const std::string painted = ScreenPaint(page_.Doc, page_.Fonts);
    int areas = 0;
    page_.Doc.LinkAreaCallback = [&](int, const std::string&, const std::string&, const TRect&) { ++areas; };
    page_.Doc.NoOutput = false;
    {
        TPrintMode printing(page_.Doc);
        page_.Doc.Background = 0xFFFFFF;
        page_.Doc.NoOutput = true;
        EXPECT_TRUE(page_.Doc.Printing);
        EXPECT_EQ(page_.Doc.SelE - page_.Doc.SelB, 0);
        const int timerCalls = host_.Calls;
        PrintRecord(page_.Doc, page_.Fonts);
        EXPECT_EQ(host_.Calls, timerCalls);
    }
    EXPECT_EQ(areas, 0) << "the screen's link-area handler is not the printer's";
    EXPECT_FALSE(page_.Doc.Printing);
    EXPECT_FALSE(page_.Doc.IsCopy);
    EXPECT_FALSE(page_.Doc.NoOutput);
    EXPECT_EQ(page_.Doc.Background, TColor(0xE0E0E0));
    EXPECT_EQ(page_.Doc.YOff, 120);
    EXPECT_EQ(page_.Doc.SelB, 5);
    EXPECT_EQ(page_.Doc.SelE, 40);
    LayOutForScreen();
    EXPECT_EQ(Positions(), positions);
    EXPECT_EQ(ScreenPaint(page_.Doc, page_.Fonts), painted);
}

// A print given up after its first page leaves the table in the middle of its parts; the next
// print still starts at the table's first part and shows what a first print shows.
TEST_F(PrintModeTest, AStoppedPrintLeavesNothingForTheNext)
{
    std::string first;
    {
        TPrintMode printing(page_.Doc);
        first = PrintRecord(page_.Doc, page_.Fonts);
    }
    {
        TPrintMode printing(page_.Doc);
        PrintRecord(page_.Doc, page_.Fonts, 2);
    }
    {
        TPrintMode printing(page_.Doc);
        EXPECT_EQ(PrintRecord(page_.Doc, page_.Fonts), first);
    }
}

}  // namespace
}  // namespace velmoran
