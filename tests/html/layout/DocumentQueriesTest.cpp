// Tests of the queries on a laid-out document: links and titles under a point, caret positions
// and points, text search across sections and the selected text.
#include "tests/html/layout/ParserTestSupport.h"

#include "html/layout/Blocks.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

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
    // Past the end: the last character's point, 15 pixels further right.
    int xl = 0, yl = 0, xe = 0, ye = 0;
    ASSERT_TRUE(doc.TCellBasic::CursorToPoint(d.Canvas, count - 1, xl, yl));
    ASSERT_TRUE(doc.CursorToPoint(d.Canvas, count + 5, xe, ye));
    EXPECT_EQ(xe, xl + 15);
    EXPECT_EQ(ye, yl);
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

// A paragraph's own line end comes after its text's, so copied paragraphs stand apart by an
// empty line, as they stand apart on the page.
TEST(DocumentQueries, SelectedTextOfParagraphs)
{
    Doc d("<p>abc def</p><p>ghi</p>");
    auto& doc = d.Page.Doc;
    doc.SelB = 4;
    doc.SelE = 11;
    EXPECT_EQ(doc.GetSelText(), u"def\r\n\r\nghi");
    doc.SelB = 0;
    doc.SelE = 12;
    EXPECT_EQ(doc.GetSelText(), u"abc def\r\n\r\nghi");
    EXPECT_EQ(doc.GetSelLength(), 14);
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

namespace velmoran::testing {
namespace {

// The print copy shares the source positions and the run lists of its texts with the screen
// document: it must answer the same and keep them when the screen document is gone first.
TEST(PrintCopy, SourcePositionsAndRunsOutliveTheScreenDocument)
{
    auto d = std::make_unique<Doc>("<p>ab <b>cd</b></p><p>x&amp;y <i>i</i></p>"
                                   "<table><tr><td>z&lt;<sub>w</sub></td></tr></table>");
    auto copy = d->Page.Doc.CreateCopy();
    auto runStart = [](TSectionList& doc, int pos) {
        char16_t ch = 0;
        TFontObj* font = nullptr;
        TSectionBase* section = nullptr;
        return doc.CharAt(pos, ch, font, section) && font ? font->Pos : -1;
    };
    std::vector<int> sources;
    std::vector<int> runs;
    for (int pos = 0; pos < d->Page.Doc.PosCount; ++pos) {
        sources.push_back(d->Page.Doc.FindSourcePos(pos));
        runs.push_back(runStart(d->Page.Doc, pos));
        EXPECT_EQ(copy->FindSourcePos(pos), sources.back()) << pos;
    }
    ASSERT_TRUE(std::any_of(runs.begin(), runs.end(), [](int start) { return start > 0; }));  // a second run
    d.reset();
    for (int pos = 0; pos < static_cast<int>(sources.size()); ++pos) {
        EXPECT_EQ(copy->FindSourcePos(pos), sources[static_cast<std::size_t>(pos)]) << pos;
        EXPECT_EQ(runStart(*copy, pos), runs[static_cast<std::size_t>(pos)]) << pos;
        if (sources[static_cast<std::size_t>(pos)] >= 0) {
            EXPECT_EQ(copy->FindDocPos(sources[static_cast<std::size_t>(pos)], false), pos) << pos;
        }
    }
}

TEST(DocumentQueries, SourceAndDocumentPositionsAreInverse)
{
    Doc d("<p>ab  cd</p><p>x&amp;y</p>");
    auto& doc = d.Page.Doc;
    for (int pos = 0; pos < doc.PosCount - 1; ++pos) {
        const int src = doc.FindSourcePos(pos);
        if (src < 0)
            continue;
        EXPECT_EQ(doc.FindDocPos(src, false), pos) << pos;
    }
    // "&amp;" is one character from five source characters: the positions after it jump.
    const int amp = doc.FindTextForward(u"&", 0, true);
    ASSERT_GE(amp, 0);
    EXPECT_EQ(doc.FindSourcePos(amp + 1), doc.FindSourcePos(amp) + 5);
    char16_t ch = 0;
    TFontObj* font = nullptr;
    TSectionBase* section = nullptr;
    ASSERT_TRUE(doc.CharAt(amp, ch, font, section));
    EXPECT_EQ(ch, u'&');
    EXPECT_NE(font, nullptr);
    EXPECT_FALSE(doc.CharAt(1000, ch, font, section));
    int sy = 0, index = 0;
    EXPECT_EQ(doc.FindSectionAtPosition(45, sy, index), section);
    EXPECT_EQ(sy, 40);
}

TEST(SelectionPaint, SelectedPiecesAreDrawnInverted)
{
    Doc d("<p>abc def</p>");
    d.Page.Doc.SelB = 4;
    d.Page.Doc.SelE = 7;
    d.Canvas.Clear();
    d.Page.Doc.PaintDocument(d.Canvas, TRect{0, 0, 800, 200});
    std::vector<std::string> texts;
    for (const auto& c : d.Canvas.Calls())
        if (c.rfind("TextOut", 0) == 0)
            texts.push_back(c);
    EXPECT_EQ(texts, (std::vector<std::string>{"TextOut 10,22 'abc '", "TextOut 42,22 'def'"}));
    // The selected piece is opaque on the text colour with white letters.
    const std::string all = d.Canvas.Text();
    const auto sel = all.find("TextOut 42,22 'def'");
    ASSERT_NE(sel, std::string::npos);
    const std::string before = all.substr(0, sel);
    EXPECT_NE(before.rfind("BkMode opaque"), std::string::npos) << before;
    EXPECT_NE(before.rfind("TextColor #FFFFFF"), std::string::npos) << before;
}

}  // namespace
}  // namespace velmoran::testing

namespace velmoran::testing {
namespace {

TEST(DocumentQueries, HoverRecoloursEveryRunOfTheLink)
{
    Doc d("<style>a:hover { color: #ff0000 }</style><p><a href='x'>ab<b>cd</b></a> ef</p>");
    d.Page.Doc.LinksActive = true;
    auto* s = d.Page.All<TSection>()[0];
    std::string url, title;
    ASSERT_EQ(d.Url(12, 15, url, title), 1);
    int hovered = 0;
    for (auto& r : s->Fonts) {
        hovered += r->Hover ? 1 : 0;
        EXPECT_EQ(r->TheFont.Color & 0xFFFFFF, r->Hover ? 0x0000FFu : 0u);  // red, as 0x00BBGGRR
    }
    EXPECT_EQ(hovered, 2);
    EXPECT_EQ(d.Url(80, 15, url, title), 0);
    for (auto& r : s->Fonts) {
        EXPECT_FALSE(r->Hover);
        EXPECT_EQ(r->TheFont.Color & 0xFFFFFF, 0u);
    }
    // From the link's second run back to its first, the section's first run.
    ASSERT_EQ(d.Url(36, 15, url, title), 1);
    EXPECT_TRUE(s->Fonts.Items(0)->Hover);
    EXPECT_TRUE(s->Fonts.Items(1)->Hover);
}

// A ":hover" rule recolours the links under the mouse, as a BODY's OLINK does (the rule set a flag
// nothing read); the next page, without one, does not.
TEST(DocumentQueries, AHoverRuleRecoloursTheLinkUnderTheMouse)
{
    Doc d("<style>a:hover { color: #ff0000 }</style><p><a href='x'>ab</a> ef</p>");
    std::string url, title;
    ASSERT_EQ(d.Url(12, 15, url, title), 1);
    EXPECT_EQ(d.Page.All<TSection>()[0]->Fonts.Items(0)->TheFont.Color & 0xFFFFFF, 0x0000FFu);  // red
    d.Page.Doc.Clear();
    d.Page.Doc.LinksActive = false;  // as the viewer's defaults set it for each page
    d.Page.Doc.Styles.BuildDefaultStyleSheet({});
    d.Page.Parse("<p><a href='y'>cd</a></p>");
    EXPECT_FALSE(d.Page.Doc.LinksActive);
}

// A link that loads a new page into the viewer empties the document under the mouse: the run the
// mouse was over goes with its page, and the next move over the new page must not recolour it
// (under ASan the old code's write into the freed run shows as well).
TEST(DocumentQueries, ANewPageForgetsTheLinkUnderTheMouse)
{
    const std::string page = "<body olink='#ff0000'><p><a href='x'>ab</a> ef</p></body>";
    Doc d(page);
    auto& doc = d.Page.Doc;
    ASSERT_TRUE(doc.LinksActive);
    std::string url, title;
    ASSERT_EQ(d.Url(12, 15, url, title), 1);
    ASSERT_NE(doc.HoverRun, nullptr);
    ASSERT_NE(doc.HitRun, nullptr);

    doc.Clear();
    EXPECT_EQ(doc.HoverRun, nullptr);
    EXPECT_EQ(doc.HitRun, nullptr);
    EXPECT_EQ(doc.HitPicture, nullptr);
    d.Page.Parse("<body olink='#ff0000'><p>nur Text</p><p><a href='y'>cd</a></p></body>");
    int width = 0;
    doc.LayoutDocument(d.Canvas, 420, width);
    EXPECT_EQ(d.Url(12, 15, url, title), 0);
    EXPECT_EQ(doc.HoverRun, nullptr);
}

TEST(PrintCopy, SharesPlainRunsAndKeepsLinkStatesApart)
{
    Doc d("<style>a:hover { color: #ff0000 }</style><p>plain <b>bold</b> <a href='x'>ab<b>cd</b></a> ef</p>");
    d.Page.Doc.LinksActive = true;
    auto copy = d.Page.Doc.CreateCopy();
    auto* screen = d.Page.All<TSection>()[0];
    std::vector<TSection*> sections;
    std::function<void(const TCellBasic&)> collect = [&](const TCellBasic& cell) {
        for (const auto& s : cell) {
            if (auto* t = dynamic_cast<TSection*>(s.get()))
                sections.push_back(t);
            else if (auto* b = dynamic_cast<TBlock*>(s.get()))
                collect(*b->MyCell);
        }
    };
    collect(*copy);
    ASSERT_EQ(sections.size(), 1u);
    TSection* printed = sections[0];
    ASSERT_EQ(printed->Fonts.Count(), screen->Fonts.Count());
    int shared = 0;
    for (int i = 0; i < screen->Fonts.Count(); ++i) {
        const bool same = printed->Fonts[i] == screen->Fonts[i];
        EXPECT_EQ(same, !screen->Fonts[i]->IsLink()) << i;
        shared += same ? 1 : 0;
    }
    EXPECT_GE(shared, 3);  // "plain ", "bold", " ef"
    EXPECT_LT(shared, screen->Fonts.Count());
    // A hover on the screen recolours the screen's link runs only.
    std::string url, title;
    int x = 0;
    while (x < 400 && d.Url(x, 15, url, title) != 1)
        x += 2;
    ASSERT_LT(x, 400);
    int hovered = 0;
    for (const auto& r : screen->Fonts)
        hovered += r->Hover ? 1 : 0;
    EXPECT_EQ(hovered, 2);
    for (const auto& r : printed->Fonts) {
        EXPECT_FALSE(r->Hover);
        EXPECT_EQ(r->TheFont.Color & 0xFFFFFF, 0u);
    }
    // The copy outlives the screen document's sections: its shared runs stay.
    d.Page.Doc.Clear();
    int mw = 0;
    RecordingCanvas c(d.Page.Fonts, 800, 2000);
    copy->LayoutDocument(c, 400, mw);
    copy->PaintDocument(c, TRect{0, 0, 800, 2000});
    EXPECT_NE(c.Text().find("TextOut 10,22 'plain '"), std::string::npos) << c.Text();
    EXPECT_NE(c.Text().find("TextOut 136,22 ' ef'"), std::string::npos) << c.Text();
}

// Link state lives apart from the run and only where it is needed: most runs of a page are plain
// text, and a run that once was a link or had a title must not keep anything of it.
TEST(PrintCopy, LinkStateOnlyOnLinkAndTitledRuns)
{
    Doc d("<p>plain <span title='tip'>titled</span> <a href='x.htm' tabindex=2>li<b>nk</b></a> after</p>");
    auto* screen = d.Page.All<TSection>()[0];
    int links = 0, titled = 0, plain = 0;
    for (const auto& r : screen->Fonts) {
        if (r->IsLink()) {
            ++links;
            EXPECT_EQ(r->UrlTarget().URL, "x.htm");
            EXPECT_TRUE(r->HasLinkState());
        } else if (!r->Title().empty()) {
            ++titled;
            EXPECT_EQ(r->Title(), "tip");
            EXPECT_FALSE(r->HasLinkState());
        } else {
            ++plain;
            EXPECT_EQ(r->Link, nullptr);
            EXPECT_EQ(r->FIArray(), nullptr);
            EXPECT_EQ(r->TabControl(), nullptr);
        }
    }
    EXPECT_EQ(links, 2);
    EXPECT_EQ(titled, 1);
    EXPECT_GE(plain, 2);
    // One focus control for the link, on its first run, with the link's tab index.
    ASSERT_FALSE(d.Page.Doc.LinkList.empty());
    ASSERT_NE(d.Page.Doc.LinkList[0]->TabControl(), nullptr);
    EXPECT_EQ(d.Page.Doc.LinkList[0]->UrlTarget().TabIndex, 2);
    EXPECT_EQ(d.Page.Doc.LinkList[1]->TabControl(), nullptr);
    // The print copy shares the titled run (nothing of it changes) and still finds its title.
    auto copy = d.Page.Doc.CreateCopy();
    std::function<TSection*(const TCellBasic&)> first = [&](const TCellBasic& cell) -> TSection* {
        for (const auto& s : cell) {
            if (auto* t = dynamic_cast<TSection*>(s.get()))
                return t;
            if (auto* b = dynamic_cast<TBlock*>(s.get()))
                if (TSection* t = first(*b->MyCell))
                    return t;
        }
        return nullptr;
    };
    TSection* printed = first(*copy);
    ASSERT_NE(printed, nullptr);
    ASSERT_EQ(printed->Fonts.Count(), screen->Fonts.Count());
    for (int i = 0; i < screen->Fonts.Count(); ++i) {
        EXPECT_EQ(printed->Fonts[i] == screen->Fonts[i], !screen->Fonts[i]->IsLink()) << i;
        EXPECT_EQ(printed->Fonts[i]->Title(), screen->Fonts[i]->Title()) << i;
        EXPECT_EQ(printed->Fonts[i]->UrlTarget().URL, screen->Fonts[i]->UrlTarget().URL) << i;
    }
}

TEST(PrintCopy, LinkAreasAreReportedForPrintedLinks)
{
    Doc d("<p>go <a href='x.htm' target='main'>here</a></p>");
    auto copy = d.Page.Doc.CreateCopy();
    std::vector<std::string> areas;
    copy->LinkAreaCallback = [&](int page, const std::string& url, const std::string& target, const TRect& r) {
        areas.push_back(std::to_string(page) + " " + url + " " + target + " " + std::to_string(r.Left) + "," +
                        std::to_string(r.Top) + "," + std::to_string(r.Right) + "," + std::to_string(r.Bottom));
    };
    copy->PageNumber = 3;
    copy->Printing = true;
    int mw = 0;
    copy->LayoutDocument(d.Canvas, 420, mw);
    copy->PaintDocument(d.Canvas, TRect{0, 0, 800, 1000});
    EXPECT_EQ(areas, (std::vector<std::string>{"3 x.htm main 34,10,67,26"}));
}

}  // namespace
}  // namespace velmoran::testing

namespace velmoran::testing {
namespace {

TEST(SelectionPaint, DummyCaretAtTheSelectionStart)
{
    Doc d("<p>abc def</p>");
    d.Page.Doc.ShowDummyCaret = true;
    d.Page.Doc.SelB = d.Page.Doc.SelE = 2;
    d.Canvas.Clear();
    d.Page.Doc.PaintDocument(d.Canvas, TRect{0, 0, 800, 200});
    const auto calls = d.Canvas.Calls();
    // After "ab": x 26, from the text bottom (baseline 22 + descent 4) up by the font height.
    EXPECT_NE(std::find(calls.begin(), calls.end(), "Rectangle 26,10,27,26"), calls.end()) << ::testing::PrintToString(calls);

    // In a later section, and after its last character.
    Doc e("<p>abc def</p><p>gh</p>");
    e.Page.Doc.ShowDummyCaret = true;
    for (const auto& [at, rect] : {std::pair{9, "Rectangle 18,40,19,56"}, {10, "Rectangle 26,40,27,56"}}) {
        e.Page.Doc.SelB = e.Page.Doc.SelE = at;
        e.Canvas.Clear();
        e.Page.Doc.PaintDocument(e.Canvas, TRect{0, 0, 800, 200});
        const auto later = e.Canvas.Calls();
        EXPECT_NE(std::find(later.begin(), later.end(), rect), later.end()) << at << ::testing::PrintToString(later);
    }
}

TEST(DocumentQueries, NamedAnchorsLieAtTheTopOfTheirLine)
{
    Doc d("<p>eins</p><p>zwei</p><p>drei</p><p>vier <a name='ziel'>Ziel</a></p>"
          "<p>aaa bbb ccc ddd eee fff ggg hhh <a name='unten'>iii</a></p>", 100);
    auto sections = d.Page.All<TSection>();
    ASSERT_GE(sections.size(), 5u);
    TIDObject* ziel = d.Page.Doc.IDNameList.Find("ziel");
    ASSERT_NE(ziel, nullptr);
    EXPECT_GT(sections[3]->YPosition, 0);
    EXPECT_EQ(ziel->GetYPosition(), sections[3]->YPosition);

    // An anchor on a later line of a wrapped paragraph lies at that line's top.
    const TSection& wrapped = *sections[4];
    ASSERT_GE(wrapped.Lines.size(), 2u);
    TIDObject* unten = d.Page.Doc.IDNameList.Find("UNTEN");
    ASSERT_NE(unten, nullptr);
    int top = wrapped.YPosition;
    for (std::size_t i = 0; i + 1 < wrapped.Lines.size(); ++i)
        top += wrapped.Lines[i].Height();
    EXPECT_EQ(unten->GetYPosition(), top);
}

// The table-and-caption box stands for the table: its vertical margins count once; a caption shown
// below the table still comes first in the source, so source positions are looked for in it first;
// and the body's TITLE holds over the body wherever its content has none.
TEST(DocumentQueries, CaptionBoxesAndTheBody)
{
    // Lines of 16: "K" at 10..26; the table's margin-top 10 puts "ab" at 36, its margin-bottom 6
    // the next paragraph at 36 + 16 + 6 = 58.
    Doc margins("<p style='margin:0'>K</p><table style='margin-top:10px;margin-bottom:6px' cellspacing=0 "
                "cellpadding=0><tr><td>ab</td></tr></table><p style='margin:0'>x</p>");
    const auto lines = margins.Page.All<TSection>();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0]->YPosition, 10);
    EXPECT_EQ(lines[1]->YPosition, 36);
    EXPECT_EQ(lines[2]->YPosition, 58);

    const std::string page = "<table cellspacing=0 cellpadding=0><caption align=bottom>"
                             "<span style='border:1px solid black'>Fuss</span></caption>"
                             "<tr><td>Zelle</td></tr></table>";
    Doc caption(page);
    auto& doc = caption.Page.Doc;
    TSection* foot = nullptr;
    for (TSection* s : caption.Page.All<TSection>())
        if (s->Text.rfind(u"Fuss", 0) == 0)
            foot = s;
    ASSERT_NE(foot, nullptr);
    const int start = static_cast<int>(page.find("Fuss"));
    EXPECT_EQ(doc.FindDocPos(start, false), foot->StartCurs);
    EXPECT_EQ(doc.FindDocPos(start + 3, true), foot->StartCurs + 3);
    EXPECT_EQ(doc.FindSourcePos(foot->StartCurs), start);
    // The span's border goes around the caption's text, not around the cell's.
    ASSERT_EQ(doc.InlineList.size(), 1u);
    EXPECT_EQ(doc.InlineList[0].StartDoc, foot->StartCurs);
    EXPECT_EQ(doc.InlineList[0].EndDoc, foot->StartCurs + 4);

    // "kurz " ends at 50, "hier" runs to 82 on the line 10..26; the body is 36 high.
    Doc body("<body title='Seite'><p style='margin:0'>kurz <span title='Wort'>hier</span></p></body>");
    struct TitleAt {
        int X, Y;
        std::string Title;
    };
    for (const TitleAt& at : {TitleAt{300, 15, "Seite"}, TitleAt{415, 30, "Seite"}, TitleAt{60, 15, "Wort"}}) {
        std::string url, title;
        EXPECT_EQ(body.Url(at.X, at.Y, url, title), 4) << at.X << "," << at.Y;
        EXPECT_EQ(title, at.Title) << at.X << "," << at.Y;
    }
}

}  // namespace
}  // namespace velmoran::testing
