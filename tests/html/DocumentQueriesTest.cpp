// Tests of the queries on a laid-out document: links and titles under a point, caret positions
// and points, text search across sections and the selected text.
#include "ParserTestSupport.h"

#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

namespace velmoran::testing {
namespace {

struct Doc {
    ParsedPage Page;
    RecordingCanvas Canvas{Page.Fonts, 800, 2000};
    explicit Doc(const std::string& html, int width = 420)
    {
        Page.Parse(html);
        int mw = 0;
        Page.Doc.LayoutDocument(Canvas, width, mw);
        Page.Doc.PaintDocument(Canvas, TRect{0, 0, 800, 2000});
    }
    int Url(int x, int y, std::string& url, std::string& title)
    {
        std::unique_ptr<TUrlTarget> target;
        const int flags = Page.Doc.GetUrlAt(Canvas, x, y, target, title);
        url = target ? target->URL : "";
        return flags;
    }
};

TEST(DocumentQueries, LinksImageLinksAndTitlesUnderThePoint)
{
    // "go " is 24 pixels; the link "here" runs from x 34 to 66 on the line 10..26.
    Doc d("<p>go <a href='x.htm'>here</a> <span title='tip'>now</span></p>"
          "<p><a href='y.htm'><img width=20 height=20 alt=''></a></p>");
    std::string url, title;
    EXPECT_EQ(d.Url(40, 15, url, title), 1);
    EXPECT_EQ(url, "x.htm");
    EXPECT_EQ(d.Url(12, 15, url, title), 0);
    EXPECT_EQ(url, "");
    EXPECT_EQ(d.Url(80, 15, url, title), 4);
    EXPECT_EQ(title, "tip");
    auto* img = d.Page.All<TSection>()[1]->Images.Items(0);
    EXPECT_EQ(d.Url(img->DrawX + 5, img->DrawYY + 5, url, title), 1);
    EXPECT_EQ(url, "y.htm");
}

TEST(DocumentQueries, CaretRoundTrips)
{
    Doc d("<p>hello world and more words</p><p>second</p>", 20 + 80);
    auto& doc = d.Page.Doc;
    const int count = doc.PosCount;
    int checked = 0;
    for (int pos = 0; pos < count; ++pos) {
        int x = 0, y = 0;
        if (!doc.CursorToPoint(d.Canvas, pos, x, y))
            continue;
        int lh = 0, base = 0;
        bool inText = false;
        const int found = doc.FindCursorAt(d.Canvas, x + 1, y - 2, lh, base, inText);
        TSection* s = nullptr;
        for (TSection* t : d.Page.All<TSection>())
            if (pos >= t->StartCurs && pos < t->StartCurs + t->Len)
                s = t;
        ASSERT_NE(s, nullptr);
        if (s->Text[static_cast<std::size_t>(pos - s->StartCurs)] == u' ')
            continue;  // a space that ends a line is not drawn: its point belongs to the next line
        EXPECT_EQ(found, pos) << "at " << x << "," << y;
        EXPECT_EQ(base, y);
        ++checked;
    }
    EXPECT_GT(checked, 20);
}

TEST(DocumentQueries, TextSearchAcrossSections)
{
    Doc d("<p>abc def abc</p><p>ghi ABC</p>");
    auto& doc = d.Page.Doc;
    EXPECT_EQ(doc.FindTextForward(u"abc", 0, true), 0);
    EXPECT_EQ(doc.FindTextForward(u"abc", 1, true), 8);
    EXPECT_EQ(doc.FindTextForward(u"abc", 9, true), -1);
    // "abc def abc " holds positions 0..11, "ghi ABC " 12..19.
    EXPECT_EQ(doc.FindTextForward(u"abc", 9, false), 16);
    EXPECT_EQ(doc.FindTextBackward(u"abc", 30, false), 16);
    EXPECT_EQ(doc.FindTextBackward(u"abc", 15, false), 8);
    EXPECT_EQ(doc.FindTextBackward(u"ghi", 11, false), -1);
}

TEST(DocumentQueries, SelectedTextOfParagraphs)
{
    Doc d("<p>abc def</p><p>ghi</p>");
    auto& doc = d.Page.Doc;
    doc.SelB = 4;
    doc.SelE = 11;
    EXPECT_EQ(doc.GetSelText(), u"def\r\nghi");
    doc.SelB = 0;
    doc.SelE = 12;
    EXPECT_EQ(doc.GetSelText(), u"abc def\r\nghi");
    EXPECT_EQ(doc.GetSelLength(), 12);
    doc.SelE = 0;
    EXPECT_EQ(doc.GetSelText(), u"");
}

}  // namespace
}  // namespace velmoran::testing

namespace velmoran::testing {
namespace {

TEST(PrintCopy, PaintsLikeTheScreenDocumentAndRunsNoTimer)
{
    Doc d("<h1>Title</h1><p>Some <b>bold</b> text <a href='x'>link</a></p><ul><li>one<li>two</ul><hr>"
          "<pre>  pre  text</pre><div style='float:left;width:40px;height:30px;background-color:red'></div>"
          "<p>beside</p>",
          400);
    auto screen = [&] {
        d.Canvas.Clear();
        d.Page.Doc.PaintDocument(d.Canvas, TRect{0, 0, 800, 2000});
        return d.Canvas.Calls();
    }();
    auto copy = d.Page.Doc.CreateCopy();
    EXPECT_TRUE(copy->IsCopy);
    RecordingCanvas c(d.Page.Fonts, 800, 2000);
    int mw = 0;
    const int h = copy->LayoutDocument(c, 400, mw);
    EXPECT_EQ(h, d.Page.Doc.DocumentHeight);
    EXPECT_TRUE(copy->PositionList.empty());
    copy->PaintDocument(c, TRect{0, 0, 800, 2000});
    EXPECT_EQ(c.Calls(), screen);
    // The links of the copy are not entered in the screen document's list.
    EXPECT_EQ(d.Page.Doc.LinkList.size(), 1u);
}

}  // namespace
}  // namespace velmoran::testing
