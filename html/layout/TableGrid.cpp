// The grid of a table: every cell is placed at its column, a cell spanning columns or rows leaves
// placeholders (column span 0) in the slots it covers, and columns that hold no real cell at the
// end of the grid are left out, the spans reaching into them cut back.
//
// The placement is worked out on runs of slots first (a cell, the placeholders after a cell that
// spans columns, the placeholders a cell above puts into a row), so that its cost follows the
// cells and not their spans; only the slots up to the last real column are then made. Spans that
// push cells far to the right could still ask for a grid of millions of placeholders from a few
// kilobytes of page: a table holds at most kMaxPlaceholders of them, and the columns beyond are
// left out (their cells are kept but not shown).
#include "html/base/CheckedIndex.h"
#include "html/layout/Tables.h"

#include <algorithm>

namespace velmoran {

namespace {

constexpr std::int64_t kMaxPlaceholders = 250000;

// A run of slots in one row of the grid being placed.
struct GridRun {
    enum Kind : std::uint8_t { Own, Spanned, Above };
    int Start = 0;    // first column
    int Length = 1;
    Kind What = Own;  // Own: the row's item Item; Spanned: the placeholders after it; Above: from a cell above
    int Item = -1;
    int RowSpan = 1;  // rows the slots reach down (the row itself included)
};

// The slots a cell above reserves in a row: consecutive columns from Start.
struct Reserved {
    int Start = 0;
    int Length = 0;
};

// Places one row: its own runs in order, moved right past the columns that cells above reserve;
// reserved columns beyond the row's own slots follow them at the end. Returns the runs in column
// order.
std::vector<GridRun> PlaceRow(const std::vector<GridRun>& own, std::vector<Reserved>& reserved)
{
    std::sort(reserved.begin(), reserved.end(), [](const Reserved& a, const Reserved& b) { return a.Start < b.Start; });
    std::vector<GridRun> placed;
    int column = 0;
    std::size_t next = 0;
    auto takeReserved = [&] {
        placed.push_back({column, reserved[next].Length, GridRun::Above, -1, 1});
        column += reserved[next].Length;
        ++next;
    };
    for (GridRun run : own) {
        while (run.Length > 0) {
            while (next < reserved.size() && reserved[next].Start <= column)
                takeReserved();
            const int room = next < reserved.size() ? reserved[next].Start - column : run.Length;
            GridRun piece = run;
            piece.Start = column;
            piece.Length = std::min(run.Length, room);
            placed.push_back(piece);
            column += piece.Length;
            run.Length -= piece.Length;
        }
    }
    while (next < reserved.size())
        takeReserved();
    return placed;
}

}  // namespace

void ThtmlTable::InitializeCellSpecs()
{
    if (GridInitialized)
        return;
    GridInitialized = true;
    const int rowCount = Rows.Count();
    const bool bordered = BorderWidth > 0;

    // The cells take the row's and the table's settings; row spans are cut to the rows that remain.
    std::vector<std::vector<GridRun>> own(static_cast<std::size_t>(rowCount));
    for (int r = 0; r < rowCount; ++r) {
        TCellList& row = *Rows[r];
        for (int i = row.Count() - 1; i >= 0; --i) {
            TCellObj* cell = row[i];
            if (!cell || !cell->Cell)
                continue;
            if (row.BkGnd && !cell->Cell->BkGnd) {
                cell->Cell->BkGnd = true;
                cell->Cell->BkColor = row.BkColor;
            }
            if (!row.BkImage.empty() && cell->BGImageName.empty()) {
                cell->BGImageName = row.BkImage;
                cell->BGPosX = row.BGPosX;
                cell->BGPosY = row.BGPosY;
            }
            cell->ApplyCellSpacing(CellPadding, bordered);
            if (cell->Wd > 0 && !cell->AsPercent)
                FixedCellWidths = true;
            if (BkGnd && !cell->Cell->BkGnd) {
                cell->Cell->BkGnd = true;
                cell->Cell->BkColor = BkColor;
            }
            cell->RowSpan = std::max(1, std::min(cell->RowSpan, rowCount - r));
        }
        auto& runs = At(own, r);
        for (int i = 0; i < row.Count(); ++i) {
            const TCellObj* cell = row[i];
            const int span = cell && cell->ColSpan > 0 ? cell->RowSpan : 1;
            runs.push_back({0, 1, GridRun::Own, i, span});
            if (cell && cell->ColSpan > 1)
                runs.push_back({0, std::min(cell->ColSpan, kMaxColSpan) - 1, GridRun::Spanned, i, span});
        }
    }

    // Rows from the top: a run that reaches down reserves its columns in the rows below.
    std::vector<std::vector<Reserved>> reserved(static_cast<std::size_t>(rowCount));
    std::vector<std::vector<GridRun>> placed(static_cast<std::size_t>(rowCount));
    std::vector<int> rowLength(static_cast<std::size_t>(rowCount), 0);
    auto isReal = [&](int r, const GridRun& run) {
        const TCellObj* cell = run.What == GridRun::Own ? Rows[r]->Items(run.Item) : nullptr;
        return cell && cell->ColSpan > 0;
    };
    int lastReal = -1;
    for (int r = 0; r < rowCount; ++r) {
        auto& runs = At(placed, r);
        runs = PlaceRow(At(own, r), At(reserved, r));
        At(reserved, r) = {};
        CellsVisited += static_cast<std::int64_t>(runs.size());
        for (const GridRun& run : runs) {
            At(rowLength, r) = run.Start + run.Length;
            if (isReal(r, run))
                lastReal = std::max(lastReal, run.Start);
            for (int k = 1; k < run.RowSpan && r + k < rowCount; ++k) {
                auto& below = At(reserved, r + k);
                if (!below.empty() && below.back().Start + below.back().Length == run.Start)
                    below.back().Length += run.Length;  // runs side by side reserve one stretch
                else
                    below.push_back({run.Start, run.Length});
            }
        }
    }

    // The slots are made up to the last column that holds a real cell (within the placeholder
    // budget); the spans of a row that reached further lose the columns left out, from its
    // rightmost spanning cell on.
    auto placeholdersBefore = [&](int columns) {
        std::int64_t n = 0;
        for (int r = 0; r < rowCount; ++r)
            for (const GridRun& run : At(placed, r))
                if (run.Start < columns && !isReal(r, run))
                    n += std::min(run.Length, columns - run.Start);
        return n;
    };
    NumCols = lastReal + 1;
    if (placeholdersBefore(NumCols) > kMaxPlaceholders) {
        int low = 0, high = NumCols;  // placeholdersBefore(low) fits, (high) does not
        while (high - low > 1) {
            const int middle = low + (high - low) / 2;
            (placeholdersBefore(middle) <= kMaxPlaceholders ? low : high) = middle;
        }
        NumCols = low;
    }
    for (int r = 0; r < rowCount; ++r) {
        TCellList& row = *Rows[r];
        std::vector<std::unique_ptr<TCellObj>> items(static_cast<std::size_t>(row.Count()));
        for (int i = row.Count() - 1; i >= 0; --i)
            At(items, i) = row.Extract(i);
        for (const GridRun& run : At(placed, r)) {
            const int end = std::min(run.Start + run.Length, NumCols);
            for (int c = run.Start; c < end; ++c) {
                ++CellsVisited;
                if (run.What == GridRun::Own)
                    row.Add(std::move(At(items, run.Item)));
                else
                    row.Add(std::make_unique<TCellObj>(TCellObj::PlaceholderTag{},
                                                       run.What == GridRun::Spanned ? run.RowSpan : 1));
            }
        }
        for (auto& item : items)
            if (item)
                LeftOut.push_back(std::move(item));
        for (int cut = At(rowLength, r) - NumCols, i = row.Count() - 1; cut > 0 && i >= 0; --i) {
            TCellObj* cell = row[i];
            if (!cell || cell->ColSpan <= 1)
                continue;
            const int take = std::min(cut, cell->ColSpan - 1);
            cell->ColSpan -= take;
            cut -= take;
        }
    }

    if (!ColSpecs.empty()) {
        ForEachCell([&](TCellObj& cell, int, int c) {
            if (c < static_cast<int>(ColSpecs.size()) && At(ColSpecs, c).ColWidth > 0) {
                cell.Wd = At(ColSpecs, c).ColWidth;
                cell.AsPercent = At(ColSpecs, c).AsPercent;
            }
        });
        FixedCellWidths = false;
        ForEachCell([&](TCellObj& cell, int, int) { FixedCellWidths = FixedCellWidths || (cell.Wd > 0 && !cell.AsPercent); });
        ColSpecs.clear();
    }
    const auto n = static_cast<std::size_t>(NumCols);
    Widths.assign(n, 0);
    MaxWidths.assign(n, 0);
    MinWidths.assign(n, 0);
    Percents.assign(n, 0);
}

void ThtmlTable::ForEachCell(const std::function<void(TCellObj&, int, int)>& fn)
{
    for (int r = 0; r < Rows.Count(); ++r) {
        TCellList& row = *Rows[r];
        for (int c = 0; c < row.Count() && c < NumCols; ++c) {
            ++CellsVisited;
            if (row[c] && row[c]->ColSpan > 0)
                fn(*row[c], r, c);
        }
    }
}

std::vector<ThtmlTable::PlacedCell> ThtmlTable::CellsBySpan(int TCellObj::*span)
{
    ++SpanOrdersMade;
    std::vector<PlacedCell> cells;
    ForEachCell([&](TCellObj& cell, int r, int c) { cells.push_back({&cell, r, c}); });
    // Narrowest first; among equal spans in row and column order.
    std::stable_sort(cells.begin(), cells.end(),
                     [span](const PlacedCell& a, const PlacedCell& b) { return a.Cell->*span < b.Cell->*span; });
    return cells;
}

void ThtmlTable::ForEachCellBySpan(int TCellObj::*span, const std::function<void(TCellObj&, int, int, int)>& fn)
{
    std::vector<PlacedCell> scratch;
    const std::vector<PlacedCell>* cells = &scratch;
    if (!GridInitialized) {
        scratch = CellsBySpan(span);
    } else {
        if (!spanOrdersKept_) {
            byColSpan_ = CellsBySpan(&TCellObj::ColSpan);
            byRowSpan_ = CellsBySpan(&TCellObj::RowSpan);
            spanOrdersKept_ = true;
        }
        if (span == &TCellObj::ColSpan)
            cells = &byColSpan_;
        else if (span == &TCellObj::RowSpan)
            cells = &byRowSpan_;
        else
            scratch = CellsBySpan(span);
    }
    CellsVisited += static_cast<std::int64_t>(cells->size());
    for (const PlacedCell& p : *cells)
        fn(*p.Cell, p.Row, p.Col, p.Cell->*span);
}

}  // namespace velmoran
