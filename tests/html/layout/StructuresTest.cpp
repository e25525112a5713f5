// Tables, lists, framesets and malformed input in the parser.
#include "tests/html/layout/ParserTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace velmoran;
using velmoran::testing::ParsedPage;

namespace {

ThtmlTable& FirstTable(ParsedPage& p)
{
    const auto tables = p.All<ThtmlTable>();
    EXPECT_FALSE(tables.empty());
    return *tables.front();
}

std::string CellText(const TCellObj& cell)
{
    std::string s;
    for (const auto& sec : *cell.Cell)
        if (auto* t = dynamic_cast<TSection*>(sec.get()))
            s += WideToUtf8(t->Text);
    return s;
}

// The texts of the cells of every row, "|" between cells, rows in order.
std::vector<std::string> Grid(ThtmlTable& t)
{
    std::vector<std::string> rows;
    for (const auto& row : t.Rows) {
        std::string line;
        for (int i = 0; i < row->Count(); ++i)
            line += (i ? "|" : "") + CellText(*(*row)[i]);
        rows.push_back(line);
    }
    return rows;
}

}  // namespace

TEST(Tables, RowGroupsPutTheFooterLastWhateverItsPlace)
{
    ParsedPage p;
    p.Parse("<table border cellpadding=80 cellspacing=-5><tfoot><tr><td>F</td></tr></tfoot>"
            "<thead><tr><th>H</th></tr></thead><tbody><tr><td>B1<tr><td>B2</tbody></table>");
    ThtmlTable& t = FirstTable(p);
    EXPECT_EQ(Grid(t), (std::vector<std::string>{"H ", "B1 ", "B2 ", "F "}));
    EXPECT_EQ(t.Rows[0]->TablePart, 0) << "held footer rows do not count as rows";
    EXPECT_EQ(t.Rows[3]->TablePart, 2);
    EXPECT_EQ(t.BorderWidth, 1);
    EXPECT_EQ(t.CellPadding, 50);
    EXPECT_EQ(t.CellSpacing, 2) << "below -1 is ignored";

    ParsedPage q;
    q.Parse("<table><thead><tr><th>H<th>I</thead><tr><td>B</table>");
    ThtmlTable& u = FirstTable(q);
    EXPECT_EQ(Grid(u), (std::vector<std::string>{"H |I ", "B "}));
    EXPECT_EQ(u.Rows[0]->TablePart, 0);
    EXPECT_EQ(u.Rows[1]->TablePart, 1);
}

TEST(Tables, CellManagerResolvesSpans)
{
    // ROWSPAN=2 in row 0, column 0: the first cell of row 1 lands in column 1 and takes its alignment.
    ParsedPage p;
    p.Parse("<table><col align=left><col align=right valign=bottom><col>"
            "<tr><td rowspan=2>a<td>b<tr><td>c</table>");
    ThtmlTable& t = FirstTable(p);
    ASSERT_EQ(t.Rows.Count(), 2);
    const TCellObj& c = *(*t.Rows[1])[0];
    EXPECT_EQ(c.VAlign, 4);
    EXPECT_EQ(dynamic_cast<TSection*>(c.Cell->First())->Justify, 3);

    // COLSPAN=3 where column 2 is taken from above: the span shrinks to 2.
    ParsedPage q;
    q.Parse("<table><col span=3><tr><td>a<td>b<td rowspan=2>c<tr><td colspan=3>d</table>");
    ThtmlTable& u = FirstTable(q);
    EXPECT_EQ(u.ColumnSpecCount(), 3);
    EXPECT_EQ((*u.Rows[1])[0]->ColSpan, 2);
    EXPECT_EQ((*u.Rows[0])[2]->RowSpan, 2);
}

TEST(Tables, CellManagerRowsAndSlots)
{
    TCellManager m(3);
    EXPECT_EQ(m.FindColNum(5), 0) << "a row beyond the rows so far is appended, with the rows before it";
    EXPECT_EQ(m.RowCount(), 6);
    int span = 2;
    m.AddCell(0, 2, span);
    EXPECT_EQ(m.Row(0), "xxo");
    EXPECT_EQ(m.Row(1), "xxo");
    EXPECT_EQ(m.FindColNum(1), 2);
    span = 3;
    m.AddCell(1, 1, span);
    EXPECT_EQ(span, 1);
    EXPECT_EQ(m.FindColNum(1), -1);
    EXPECT_EQ(m.FindColNum(-1), -1);
    span = 1;
    m.AddCell(1, 1, span);  // no free slot: nothing changes
    EXPECT_EQ(m.Row(1), "xxx");
}

TEST(Tables, ColumnGroupsAndLateColumnsAreIgnoredAfterCells)
{
    ParsedPage p;
    p.Parse("<table><colgroup width=\"20%\" valign=top><col><col width=30></colgroup><col span=500 width=7>"
            "<tr><td>a</td><col width=99></table>");
    ThtmlTable& t = FirstTable(p);
    ASSERT_EQ(t.ColumnSpecCount(), 102);
    EXPECT_EQ(t.ColSpecs[0].ColWidth, 200);
    EXPECT_TRUE(t.ColSpecs[0].AsPercent);
    EXPECT_EQ(t.ColSpecs[0].ColVAlign, 1);
    EXPECT_EQ(t.ColSpecs[1].ColWidth, 30);
    EXPECT_TRUE(t.ColSpecs[1].AsPercent) << "the group's percent flag stays";
    EXPECT_EQ(t.ColSpecs[2].ColWidth, 7);
    EXPECT_FALSE(t.ColSpecs[2].AsPercent);
}

TEST(Tables, CellsOutsideRowsTextOutsideCellsAndCaptions)
{
    ParsedPage p;
    p.Parse("<div><table width=50%><td bgcolor=#00ff00 width=10% nowrap>x y<td width=120 valign=bottom>z"
            "<caption align=bottom>Unten</caption></table></div>"
            "<table><tr>lose<td>in</table>");
    ThtmlTable& t = FirstTable(p);
    EXPECT_EQ(Grid(t), (std::vector<std::string>{"x y |z "}));
    const TCellObj& a = *(*t.Rows[0])[0];
    EXPECT_TRUE(a.Cell->BkGnd);
    EXPECT_EQ(a.Cell->BkColor & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(a.Wd, 100);
    EXPECT_TRUE(a.AsPercent);
    EXPECT_EQ(dynamic_cast<TSection*>(a.Cell->First())->BreakClasses.substr(0, 3), "nnn");
    EXPECT_EQ((*t.Rows[0])[1]->VAlign, 4);
    const auto outers = p.All<TTableAndCaptionBlock>();
    ASSERT_EQ(outers.size(), 2u);
    ASSERT_NE(outers[0]->CaptionBlock, nullptr);
    EXPECT_FALSE(outers[0]->TopCaption);
    EXPECT_EQ(outers[0]->TableBlock->WidthAttr, 500);
    EXPECT_TRUE(outers[0]->TableBlock->AsPercent);
    // Text between TR and TD goes to the cell that holds the table, after the table.
    const auto texts = p.Texts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "lose "), texts.end());
    EXPECT_EQ(Grid(*p.All<ThtmlTable>()[1]), (std::vector<std::string>{"in "}));
}

TEST(Tables, NestedTablesAndCellDefaultAlignment)
{
    ParsedPage p;
    p.Parse("<table><tr><th>K<td>W<table><tr><td>innen</table>rest</table>");
    const auto tables = p.All<ThtmlTable>();
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(Grid(*tables[1]), (std::vector<std::string>{"innen "}));
    const TCellObj& th = *(*tables[0]->Rows[0])[0];
    EXPECT_EQ(dynamic_cast<TSection*>(th.Cell->First())->Justify, 2);
}

TEST(Lists, NumberingStylesAndItems)
{
    ParsedPage p;
    p.Parse("<ol start=3 type=i><li>a<li value=9>b<li></ol><ul type=plain><li>u</ul><ul><li><ul><li>tief</ul></ul>");
    const auto items = p.All<TBlockLI>();
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[0]->ListType, 1);
    EXPECT_EQ(items[0]->ListStyle, 5);
    EXPECT_EQ(items[0]->ListNumber, 3);
    EXPECT_EQ(items[1]->ListNumber, 9);
    EXPECT_EQ(items[2]->ListNumber, 10);
    // An empty item keeps a line for its number.
    EXPECT_EQ(dynamic_cast<TSection*>(items[2]->MyCell->First())->Text, u"\u00A0 ");
    EXPECT_EQ(items[3]->ListStyle, 6);
    EXPECT_EQ(items[4]->ListStyle, 3);  // level 1: disc
    EXPECT_EQ(items[5]->ListStyle, 1);  // level 2: circle
}

TEST(Lists, EmptyListsItemsOutsideListsAndBlockquotes)
{
    ParsedPage p;
    p.Parse("<ul></ol>nach<li>frei<dd>def<blockquote><li>zitat</blockquote>");
    const auto items = p.All<TBlockLI>();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0]->ListType, 4);
    EXPECT_EQ(items[0]->MargArrayO[MarginLeft], PropValue(16));
    EXPECT_EQ(items[1]->ListType, 3);
    EXPECT_EQ(items[2]->ListType, 4);
    EXPECT_EQ(items[2]->OwnerCell->OwnerBlock->StyleKey, "blockquote.");
    EXPECT_EQ(p.Texts().front(), "nach ");
}

TEST(Lists, DefinitionListsAndParagraphsInItems)
{
    ParsedPage p;
    p.Parse("<dl><dt>Begriff<dd><p>Absatz<p>zwei</dl><ul><li>x<hr>y</ul>");
    const auto items = p.All<TBlockLI>();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[1]->MyCell->Count(), 2);  // two paragraphs in the DD
    // HR ends the item; the rule follows inside the list block.
    EXPECT_EQ(p.All<THRBlock>()[0]->OwnerCell->OwnerBlock->StyleKey, "ul.");
}

namespace {

// Records the frameset operations in order.
class RecordingViewer : public TFrameViewerBase {
public:
    struct Set : TFrameSetBase {
        explicit Set(int n) : N(n) {}
        int N;
    };
    RecordingViewer() { sets_.push_back(std::make_unique<Set>(0)); }
    void AddFrame(TFrameSetBase* fs, const TAttributeList& a, const std::string& base) override
    {
        Log.push_back("frame " + Name(fs) + " " + (a.Find(SrcSy) ? a.Find(SrcSy)->Name : "") + " " + base);
    }
    TFrameSetBase* CreateSubFrameSet(TFrameSetBase* parent) override
    {
        sets_.push_back(std::make_unique<Set>(static_cast<int>(sets_.size())));
        Log.push_back("sub " + Name(parent) + "->" + Name(sets_.back().get()));
        return sets_.back().get();
    }
    void DoAttributes(TFrameSetBase* fs, const TAttributeList& a) override
    {
        Log.push_back("attributes " + Name(fs) + " " + (a.Count() ? a[0]->WhichName + "=" + a[0]->Name : ""));
    }
    void EndFrameSet(TFrameSetBase* fs) override { Log.push_back("end " + Name(fs)); }
    TFrameSetBase* TopFrameSet() override { return sets_.front().get(); }

    std::vector<std::string> Log;

private:
    static std::string Name(TFrameSetBase* fs) { return "#" + std::to_string(static_cast<Set*>(fs)->N); }
    std::vector<std::unique_ptr<Set>> sets_;
};

}  // namespace

TEST(Frameset, DetectionStopsAtBodyContent)
{
    EXPECT_TRUE(IsFramesetDocument("<html><head><title>t</title><script>document.write('<body>')</script></head>"
                                   "<frameset cols=2>"));
    EXPECT_FALSE(IsFramesetDocument("<html><body><frameset>"));
    EXPECT_FALSE(IsFramesetDocument("<p>text<frameset>"));
    EXPECT_FALSE(IsFramesetDocument("nur Text"));
    // Text before the FRAMESET is a page's: shown as frames, the text would be lost. Blanks between
    // tags, the title and a style sheet are no page text.
    EXPECT_FALSE(IsFramesetDocument("Hallo <frameset cols=\"*,*\"><frame src=a.htm></frameset>"));
    EXPECT_FALSE(IsFramesetDocument("<html><head></head>&nbsp;<frameset rows=2>"));
    EXPECT_TRUE(IsFramesetDocument("<html>\r\n <head><title>Rahmen</title><style>p { color: red }</style></head>\n"
                                   "\t<frameset rows=2>"));
    // What a browser without frames shows may come first; it is no page text of a frameset.
    EXPECT_TRUE(IsFramesetDocument("<noframes><body><p>Ihr Programm zeigt keine Rahmen.</p></body></noframes>"
                                   "<frameset cols=\"*,*\"><frame name=Main src=a.htm></frameset>"));
    EXPECT_FALSE(IsFramesetDocument("<noframes>x</noframes><p>Seite<frameset rows=2>"));
    TMemoryStream stream;
    const std::string doc = "<!-- c --><frameset rows=2>";
    stream.Write(doc.data(), static_cast<std::int64_t>(doc.size()));
    EXPECT_TRUE(IsFramesetDocument(stream));
    RecordingViewer viewer;
    ParseFramesetDocument(viewer, {}, stream);
    EXPECT_EQ(viewer.Log, (std::vector<std::string>{"attributes #0 rows=2", "end #0"}));
}

TEST(Frameset, NestedSetsReachTheViewerInDocumentOrder)
{
    RecordingViewer viewer;
    std::vector<std::string> metas;
    const TParseResult r = ParseFramesetDocument(
        viewer, [&](const std::string& h, const std::string&, const std::string& c) { metas.push_back(h + c); },
        "<html><head><title>Rahmen</title><base href=http://s/><meta http-equiv=refresh content=5></head>"
        "<frameset rows=\"20%,*\"><frame src=oben.htm>"
        "<frameset cols=\"50%,50%\"><frame src=links.htm><script>x</script><frame src=rechts.htm></frameset>"
        "<noframes><frame src=nie.htm></noframes></frameset><body><frameset>");
    EXPECT_EQ(viewer.Log, (std::vector<std::string>{"attributes #0 rows=20%,*", "frame #0 oben.htm http://s/",
                                                    "sub #0->#1", "attributes #1 cols=50%,50%",
                                                    "frame #1 links.htm http://s/", "frame #1 rechts.htm http://s/",
                                                    "end #1", "end #0"}));
    EXPECT_EQ(WideToUtf8(r.Title), "Rahmen");
    EXPECT_EQ(metas, (std::vector<std::string>{"refresh5"}));
}

TEST(Malformed, BrokenInputNeverCrashesOrHangs)
{
    const std::vector<std::string> inputs = {
        "<b><i><u>unclosed",
        "</b></table></li></ul></div></td></tr>stray ends",
        "<table><tr><td><table><tr><td>",
        "<ul><li><ol><li><dl><dd>",
        "&#x;&#;&amp&#99999999999999999999;&", "<!-->", "<!---", "<%", "<a href=", "<p align=\"",
        "<td>cell</td><tr><th>", "<caption>ohne Tabelle", "<col span=100000>", "<select><option>",
        "<textarea>", "<script>", "<style>", "<pre>", "<h1>", "<font size=+99999999999>",
        "<table><col span=100><col span=100><tr><td rowspan=2147483647 colspan=2147483647>x</table>",
        std::string("\0\x01\x02\xff\xfe<\x80>\x9f&\x01;", 13),
    };
    for (const std::string& in : inputs) {
        ParsedPage p;
        try {
            p.Parse(in);
        } catch (const EParseError&) {
        }
        p.Dump(true);
    }
    std::string garbage;
    for (int i = 0; i < 20000; ++i)
        garbage += static_cast<char>((i * 7919 + 13) % 256);
    ParsedPage g;
    try {
        g.Parse(garbage);
    } catch (const EParseError&) {
    }
    SUCCEED();
}

TEST(Malformed, DeepNestingIsCutAt256Levels)
{
    for (const char* open : {"<div>", "<ul><li>", "<table><tr><td>", "<font size=2>", "<blockquote>", "<center>",
                             "<h1><div>", "<p><span>"}) {
        std::string html;
        for (int i = 0; i < 10000; ++i)
            html += open;
        html += "tief";
        ParsedPage p;
        p.Parse(html);
        const auto texts = p.Texts();
        ASSERT_FALSE(texts.empty()) << open;
        EXPECT_EQ(texts.back(), "tief ") << open;
        int depth = 0;
        for (TCellBasic* c = p.All<TSection>().back()->OwnerCell; c && c->OwnerBlock; c = c->OwnerBlock->OwnerCell)
            ++depth;
        EXPECT_LE(depth, 2 * 256 + 4) << open;
    }
}

TEST(Tables, CellPropertiesDoNotPassToTheNextCell)
{
    ParsedPage p;
    p.Parse("<style>td.z { text-align: right; font-weight: bold }</style>"
            "<table><tr><td class=z>12,5<td>m<tr><td><b>offen<td>zu</table>");
    ThtmlTable& t = FirstTable(p);
    const TSection* second = dynamic_cast<TSection*>((*t.Rows[0])[1]->Cell->First());
    EXPECT_EQ(second->Justify, 1);
    EXPECT_FALSE(second->Fonts[0]->TheFont.Style & fsBold);
    const TSection* last = dynamic_cast<TSection*>((*t.Rows[1])[1]->Cell->First());
    EXPECT_FALSE(last->Fonts[0]->TheFont.Style & fsBold) << "an unclosed B ends with its cell";
}

TEST(Malformed, HugeRunsOfReferencedBlanksCollapse)
{
    std::string html = "a";
    for (int i = 0; i < 100000; ++i)
        html += "&#32;&shy;";
    html += "x";
    ParsedPage p;
    p.Parse(html);
    EXPECT_EQ(p.Texts(), (std::vector<std::string>{"a x "}));
}
