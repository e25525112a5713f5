// Painting one page of a long document: the paint visits what reaches into the page and leaves the
// rest alone, so that a page costs the same however long the document is (a print of it then costs
// its length, not the square of it). What starts above the page and reaches into it - a float, a
// long paragraph, a block moved down, a block reaching to the end - is still painted, and a print
// cut page by page shows every line once.
#include "ParserTestSupport.h"

#include "html/layout/PaintIndex.h"
#include "html/layout/PrintMode.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace velmoran {
namespace {

using testing::ParsedPage;

constexpr int kWidth = 500;
constexpr int kPageHeight = 300;

// Paragraphs "Zeile 0" .. "Zeile n-1" after `before`, each with a border, which a block draws
// whenever its paint is visited, in the clip or not.
std::string Paragraphs(int n, const std::string& before = {})
{
    std::string html = "<body>" + before;
    for (int i = 0; i < n; ++i)
        html += "<p style=\"border: 1px solid #000000\">Zeile " + std::to_string(i) + "</p>";
    return html + "</body>";
}

class LaidOutPage {
public:
    explicit LaidOutPage(const std::string& html)
    {
        page_.Parse(html);
        LayOut();
    }
    // Lays the document out again (for the printer while in print mode).
    void LayOut()
    {
        int widest = 0;
        Height = page_.Doc.LayoutDocument(canvas_, kWidth, widest);
    }
    // The drawing calls of one page of the document from document Y top.
    std::vector<std::string> PaintAt(int top)
    {
        canvas_.Clear();
        page_.Doc.SetYOffset(top);
        page_.Doc.PaintDocument(canvas_, {0, 0, kWidth, kPageHeight});
        return canvas_.Calls();
    }
    TSectionList& Doc() { return page_.Doc; }
    TBlock& Block(const std::string& key) { return *page_.BlocksWithKey(key).front(); }
    std::vector<TBlock*> Blocks(const std::string& key) { return page_.BlocksWithKey(key); }
    int Height = 0;

private:
    ParsedPage page_;
    RecordingCanvas canvas_{page_.Fonts, kWidth, kPageHeight};
};

bool Drew(const std::vector<std::string>& calls, const std::string& part)
{
    return std::any_of(calls.begin(), calls.end(), [&](const std::string& c) { return c.find(part) != std::string::npos; });
}

// The same page of a document ten times as long is painted call for call alike, on the screen and
// on paper: the paragraphs below it are not visited.
TEST(PagePaint, APageCostsTheSameHoweverLongTheDocument)
{
    LaidOutPage shorter(Paragraphs(100));
    LaidOutPage longer(Paragraphs(1000));
    ASSERT_GT(shorter.Height, 1500 + 2 * kPageHeight);
    const std::vector<std::string> screen = shorter.PaintAt(1500);
    EXPECT_TRUE(Drew(screen, "'Zeile 4"));
    EXPECT_EQ(longer.PaintAt(1500), screen);

    TPrintMode shorterPrint(shorter.Doc());
    TPrintMode longerPrint(longer.Doc());
    shorter.LayOut();
    longer.LayOut();
    const std::vector<std::string> paper = shorter.PaintAt(1500);
    EXPECT_TRUE(Drew(paper, "'Zeile 4"));
    EXPECT_EQ(longer.PaintAt(1500), paper);
}

// A float taller than many paragraphs, a paragraph of many lines and a block moved far down by
// relative positioning all start near the top; pages far below still show them.
TEST(PagePaint, WhatStartsAboveThePageAndReachesIntoItIsPainted)
{
    std::string lines;
    for (int i = 0; i < 60; ++i)
        lines += "Lang " + std::to_string(i) + "<br>";
    LaidOutPage page(Paragraphs(300, "<div class=\"schwimmt\" style=\"float: left; width: 40px; height: 2500px; "
                                     "background-color: #FF0000\"></div><div class=\"lang\">" + lines +
                                         "</div><div class=\"verschoben\" style=\"position: relative; top: "
                                         "3000px\">Verschoben</div>"));
    EXPECT_TRUE(Drew(page.PaintAt(2200), "#FF0000"));
    const TBlock& longBlock = page.Block("div.lang");
    ASSERT_GT(longBlock.DrawBot, kPageHeight);
    EXPECT_TRUE(Drew(page.PaintAt(longBlock.DrawBot - 100), "'Lang 59'"));
    const TBlock& moved = page.Block("div.verschoben");
    const int movedTop = moved.YPosition + 3000;
    ASSERT_LT(movedTop + kPageHeight, page.Height);
    EXPECT_TRUE(Drew(page.PaintAt(movedTop - 100), "'Verschoben'"));
    EXPECT_FALSE(Drew(page.PaintAt(moved.YPosition - 100), "'Verschoben'"));
}

// A block at the top that reaches down to the end of the document - positioned and 60,000,000
// pixels tall, or a float one pixel wide as tall - is painted on every page, but the paragraphs
// beside it are not all visited for a page far down: a page there costs what one near the top
// costs, call for call, on the screen and on paper.
TEST(PagePaint, ABlockReachingToTheEndLeavesThePagesAboveAlone)
{
    for (const std::string tall : {"position: absolute", "float: left; width: 1px"}) {
        LaidOutPage page(Paragraphs(300, "<div style=\"" + tall + "; height: 60000000px; "
                                         "background-color: #00FF00\"></div>"));
        for (const bool paper : {false, true}) {
            std::optional<TPrintMode> printing;
            if (paper) {
                printing.emplace(page.Doc());
                page.LayOut();
            }
            const std::vector<TBlock*> paragraphs = page.Blocks("p.");
            ASSERT_EQ(paragraphs.size(), 300u);
            const std::vector<std::string> near = page.PaintAt(paragraphs[20]->YPosition);
            const std::vector<std::string> far = page.PaintAt(paragraphs[250]->YPosition);
            // (Backgrounds are not printed.)
            EXPECT_EQ(Drew(far, "#00FF00"), !paper) << tall;
            EXPECT_TRUE(Drew(far, "'Zeile 250'")) << tall;
            EXPECT_FALSE(Drew(far, "'Zeile 200'")) << tall;
            EXPECT_EQ(far.size(), near.size()) << tall << (paper ? " on paper" : "");
        }
    }
}

// A block cleared below a float, with a top margin and a negative top padding, has its content
// lifted above its border: the top border stands at the float's bottom plus the margin, below
// everything else of the block (its content, its bottom, the float). A page that starts just
// above that border, or inside a thick one, still shows it, 16 paragraphs in (where the paint
// looks the block up by the band its paint reaches; a thick border's lower part was left out
// where the page starts more than 64 pixels into it).
TEST(PagePaint, TheTopBorderOfAClearedBlockLiftedByItsPaddingIsPainted)
{
    for (const int width : {10, 100}) {
        LaidOutPage page(Paragraphs(16) +
                         "<div class=\"schwimmt\" style=\"float: left; width: 50px; height: 200px\"></div>"
                         "<div class=\"gerahmt\" style=\"clear: left; margin-top: 200px; padding-top: -500px; "
                         "border-top: " + std::to_string(width) + "px solid #FF0000\"></div>");
        const TBlock& box = page.Block("div.gerahmt");
        const int borderTop = page.Block("div.schwimmt").DrawBot + 200;
        // Further below the rest of the block than a paint looks outside its page.
        ASSERT_GT(borderTop - 20 - box.DrawBot, TPaintIndex::kSlack);
        const std::string border = "Polygon 10," + std::to_string(kPageHeight - 20);
        EXPECT_TRUE(Drew(page.PaintAt(borderTop - kPageHeight + 20), border)) << width;
        EXPECT_TRUE(Drew(page.PaintAt(borderTop - 20), "Polygon 10,20 ")) << width;
        const int into = width - 20;
        EXPECT_TRUE(Drew(page.PaintAt(borderTop + into), "Polygon 10," + std::to_string(-into) + " ")) << width;
    }
}

// Printed page by page as the print loop does, a long document shows each of its lines on exactly
// one page, in order.
TEST(PagePaint, APrintCutPageByPageShowsEveryLineOnce)
{
    LaidOutPage page(Paragraphs(400));
    TPrintMode printing(page.Doc());
    page.LayOut();
    const int height = page.Height;
    const std::regex line("'Zeile ([0-9]+)'");
    std::vector<int> printed;
    int pages = 0;
    for (int top = 0; top < height; ++pages) {
        for (const std::string& call : page.PaintAt(top)) {
            std::smatch m;
            if (std::regex_search(call, m, line))
                printed.push_back(std::stoi(m[1]));
        }
        ASSERT_GT(page.Doc().PageCutY, top);
        top = page.Doc().PageCutY;
    }
    EXPECT_GT(pages, 20);
    ASSERT_EQ(printed.size(), 400u);
    for (int i = 0; i < 400; ++i)
        EXPECT_EQ(printed[static_cast<std::size_t>(i)], i);
}

}  // namespace
}  // namespace velmoran
