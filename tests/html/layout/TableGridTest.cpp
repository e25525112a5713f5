// The grid of a table: random tables placed against a straightforward reference that inserts every
// placeholder one by one and cuts trailing columns afterwards, and hostile spans whose work must
// follow the cells, not the spans.
#include "tests/html/layout/ParserTestSupport.h"
#include "html/layout/SectionList.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace velmoran {
namespace {

using testing::ParsedPage;

// A slot of the reference grid: a real cell (its number in the page) or a placeholder (-1).
struct Slot {
    int Id = -1;
    int ColSpan = 0;
    int RowSpan = 1;
    bool operator==(const Slot&) const = default;
};
using Grid = std::vector<std::vector<Slot>>;

// The grid as the table model describes it step by step: placeholders after each spanning cell,
// placeholders below each slot that spans rows (appended to a row too short to reach its column),
// then trailing columns without a real cell removed, each removal shortening the nearest spanning
// cell before it.
Grid ReferenceGrid(Grid rows)
{
    const int rowCount = static_cast<int>(rows.size());
    for (int r = 0; r < rowCount; ++r) {
        auto& row = rows[static_cast<std::size_t>(r)];
        for (int i = static_cast<int>(row.size()) - 1; i >= 0; --i) {
            Slot& cell = row[static_cast<std::size_t>(i)];
            cell.RowSpan = std::max(1, std::min(cell.RowSpan, rowCount - r));
            const Slot placeholder{-1, 0, cell.RowSpan};
            const int count = cell.ColSpan - 1;
            row.insert(row.begin() + i + 1, static_cast<std::size_t>(count), placeholder);
        }
    }
    auto longest = [&] {
        std::size_t n = 0;
        for (const auto& row : rows)
            n = std::max(n, row.size());
        return static_cast<int>(n);
    };
    for (int c = 0; c < longest(); ++c)
        for (int r = 0; r < rowCount; ++r) {
            const auto& row = rows[static_cast<std::size_t>(r)];
            if (c >= static_cast<int>(row.size()) || row[static_cast<std::size_t>(c)].RowSpan <= 1)
                continue;
            const int span = row[static_cast<std::size_t>(c)].RowSpan;
            for (int k = 1; k < span && r + k < rowCount; ++k) {
                auto& below = rows[static_cast<std::size_t>(r + k)];
                if (static_cast<int>(below.size()) >= c)
                    below.insert(below.begin() + c, Slot{});
                else
                    below.push_back(Slot{});
            }
        }
    int columns = longest();
    while (columns > 0) {
        bool real = false;
        for (const auto& row : rows)
            real = real || (static_cast<int>(row.size()) >= columns && row[static_cast<std::size_t>(columns - 1)].Id >= 0);
        if (real)
            break;
        for (auto& row : rows) {
            if (static_cast<int>(row.size()) < columns)
                continue;
            row.erase(row.begin() + columns - 1);
            for (int i = columns - 2; i >= 0; --i)
                if (row[static_cast<std::size_t>(i)].ColSpan > 1) {
                    --row[static_cast<std::size_t>(i)].ColSpan;
                    break;
                }
        }
        --columns;
    }
    return rows;
}

TEST(TableGrid, RandomTablesPlaceLikeTheReference)
{
    std::mt19937 random(20240611);
    for (int round = 0; round < 250; ++round) {
        std::uniform_int_distribution<int> rowsOf(1, 5), cellsOf(0, 4), spanOf(1, 4);
        std::ostringstream html;
        Grid cells;
        html << "<table>";
        int id = 0;
        const int rows = rowsOf(random);
        for (int r = 0; r < rows; ++r) {
            html << "<tr>";
            cells.emplace_back();
            const int count = cellsOf(random);
            for (int i = 0; i < count; ++i) {
                const Slot cell{id++, spanOf(random), spanOf(random)};
                html << "<td colspan=" << cell.ColSpan << " rowspan=" << cell.RowSpan << ">" << cell.Id << "</td>";
                cells.back().push_back(cell);
            }
        }
        html << "</table>";
        const Grid expected = ReferenceGrid(cells);

        ParsedPage page;
        page.Parse(html.str());
        auto tables = page.All<ThtmlTable>();
        ASSERT_EQ(tables.size(), 1u);
        ThtmlTable& table = *tables[0];
        table.InitializeCellSpecs();
        Grid actual;
        for (int r = 0; r < table.Rows.Count(); ++r) {
            actual.emplace_back();
            for (const auto& cell : *table.Rows[r]) {
                const int cellId = cell->IsPlaceholder() ? -1 : std::stoi(WideToUtf8(dynamic_cast<TSection*>((*cell->Cell)[0])->Text));
                actual.back().push_back({cellId, cell->ColSpan, cell->RowSpan});
            }
        }
        ASSERT_EQ(actual, expected) << html.str();
        EXPECT_EQ(table.NumCols, expected.empty() ? 0 : static_cast<int>(std::max_element(expected.begin(), expected.end(), [](const auto& a, const auto& b) { return a.size() < b.size(); })->size()));
    }
}

class HostileSpans : public ::testing::Test {
protected:
    ThtmlTable& LaidOut(const std::string& html)
    {
        page.Parse(html);
        ThtmlTable& table = *page.All<ThtmlTable>().at(0);
        int maxWidth = 0;
        page.Doc.LayoutDocument(canvas, 800, maxWidth);
        return table;
    }
    ParsedPage page;
    RecordingCanvas canvas{page.Fonts, 800, 600};
};

TEST_F(HostileSpans, HugeColumnSpansCostWhatTheirCellsCost)
{
    // One cell asking for 100,000 columns, and one for the most a number can say (with as many
    // rows): one column and one row, made and measured with a handful of visits.
    for (const char* html : {"<table><tr><td colspan=100000>x</td></tr></table>",
                             "<table border=1><tr><td colspan=2147483647 rowspan=2147483647>x</td></tr></table>"}) {
        ThtmlTable& table = LaidOut(html);
        EXPECT_EQ(table.NumCols, 1) << html;
        ASSERT_EQ(table.Rows[0]->Count(), 1) << html;
        EXPECT_EQ(table.Rows[0]->Items(0)->ColSpan, 1) << html;
        EXPECT_EQ(table.Rows[0]->Items(0)->RowSpan, 1) << html;
        EXPECT_LT(table.CellsVisited, 100) << html;
        EXPECT_GT(table.TableWidth, 0) << html;
    }
}

TEST_F(HostileSpans, SpansAreReadWithinTheStandardsBounds)
{
    // A column span above 1,000 is read as 1,000: the cell after it starts in column 1,000; a row
    // span above 65,534 as 65,534 (then cut to the rows there are).
    page.Parse("<table><tr><td colspan=5000>a</td><td>b</td></tr></table>"
               "<table><tr><td rowspan=99999>c</td></tr></table>");
    auto tables = page.All<ThtmlTable>();
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(tables[0]->Rows[0]->Items(0)->ColSpan, kMaxColSpan);
    EXPECT_EQ(tables[1]->Rows[0]->Items(0)->RowSpan, kMaxRowSpan);
    tables[0]->InitializeCellSpecs();
    EXPECT_EQ(tables[0]->NumCols, kMaxColSpan + 1);
    EXPECT_FALSE(tables[0]->Rows[0]->Items(kMaxColSpan)->IsPlaceholder());
}

TEST_F(HostileSpans, CellsPushedFarRightStayWithinThePlaceholderBudget)
{
    // Each row's cell spans 1,000 rows and columns, so that every row below starts 1,000 columns
    // further right: the full grid would hold 20 million placeholders for 200 rows of page. The
    // grid stops where the budget ends; the cells beyond are kept aside, not shown.
    std::string html = "<table>";
    for (int r = 0; r < 200; ++r)
        html += "<tr><td colspan=1000 rowspan=1000>x</td><td>y</td></tr>";
    html += "</table>";
    ThtmlTable& table = LaidOut(html);
    std::int64_t placeholders = 0;
    for (const auto& row : table.Rows)
        for (const auto& cell : *row)
            placeholders += cell->IsPlaceholder() ? 1 : 0;
    EXPECT_LE(placeholders, 250000);
    EXPECT_GT(table.NumCols, 1000);
    EXPECT_LT(table.NumCols, 200 * 1000);
    EXPECT_FALSE(table.LeftOut.empty());
    EXPECT_LT(table.CellsVisited, 20 * 250000);
}

TEST_F(HostileSpans, NestedTablesPutTheirCellsInSpanOrderOnce)
{
    // Every enclosing table lays out the tables within it again; the order of the cells by their
    // spans was worked out anew each time, which made deep nesting cost depth x cells.
    std::string html;
    for (int i = 0; i < 300; ++i)
        html += "<table><tr><td colspan=2>x</td></tr><tr><td rowspan=2>y</td><td>z";
    ThtmlTable& outer = LaidOut(html);
    int maxWidth = 0;
    page.Doc.LayoutDocument(canvas, 500, maxWidth);
    const auto tables = page.All<ThtmlTable>();
    ASSERT_GT(tables.size(), 100u);
    for (const ThtmlTable* table : tables)
        EXPECT_LE(table->SpanOrdersMade, 2);
    EXPECT_GT(outer.TableWidth, 0);
}

}  // namespace
}  // namespace velmoran
