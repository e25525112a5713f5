// Table layout: the grid of cells with their spans, the least and widest widths of the columns,
// the distribution of the available width over the columns (pixel widths, percentages, a given
// table width), row heights and the placement of every cell's content.
#include "html/base/CheckedIndex.h"
#include "html/base/WideText.h"
#include "html/layout/SectionList.h"
#include "html/layout/Tables.h"
#include "platform/Canvas.h"
#include "platform/core/ScopeExit.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace velmoran {

namespace {

int Sum(const std::vector<int>& v, int from = 0, int count = -1)
{
    const int to = count < 0 ? static_cast<int>(v.size()) : std::min(static_cast<int>(v.size()), from + count);
    int s = 0;
    for (int i = from; i < to; ++i)
        s = ExtentSum(s, At(v, i));
    return s;
}

// The left edge of every column within the table, and the right edge of the last.
std::vector<int> ColumnEdges(const std::vector<int>& widths, int columns)
{
    std::vector<int> edges(static_cast<std::size_t>(columns) + 1, 0);
    for (int c = 0; c < columns; ++c)
        At(edges, c + 1) = ExtentSum(At(edges, c), At(widths, c));
    return edges;
}

// Widens the columns first..first+count-1 to want in total, each in proportion to its width; when
// they have no width yet, the first takes it all.
void WidenInProportion(std::vector<int>& widths, int first, int count, int want)
{
    const int sum = Sum(widths, first, count);
    if (sum >= want)
        return;
    if (sum < 1) {
        At(widths, first) = want;
        return;
    }
    const int shortfall = want - sum;
    for (int k = first; k < first + count; ++k)
        At(widths, k) += MulDiv(At(widths, k), shortfall, sum);
}

bool IsReal(const TCellObj* c)
{
    return c && c->ColSpan > 0;
}

bool PixelWidth(const TCellObj& c)
{
    return c.Wd > 0 && !c.AsPercent;
}

}  // namespace

void ThtmlTable::ForEachCellWidth(Canvas& canvas, const std::function<void(TCellObj&, int, int, int, int)>& fn)
{
    ForEachCellBySpan(&TCellObj::ColSpan, [&](TCellObj& cell, int, int c, int span) {
        int mn = 0, mx = 0;
        CellMinMax(canvas, cell, mn, mx);
        const int extra = cell.HorizontalExtra + CellSpacing;
        mn += extra;
        mx += extra;
        if (PixelWidth(cell)) {
            if (span == 1) {
                mn = mx = std::max(mn, cell.Wd + extra);
            } else {
                mn = std::max(mn, cell.Wd);
                mx = std::max(mn, cell.Wd);
            }
        }
        fn(cell, c, span, mn, mx);
    });
}

void ThtmlTable::CellMinMax(Canvas& canvas, TCellObj& cell, int& minWidth, int& maxWidth)
{
    // The content does not change within one layout of the document, and the table and its box
    // ask for the widths several times.
    const int stamp = Document ? Document->LayoutCount : 0;
    if (cell.MinMaxStamp != stamp || stamp == 0) {
        Ops().MinMaxWidth(canvas, cell, cell.ContentMin, cell.ContentMax);
        cell.MinMaxStamp = stamp;
    }
    minWidth = cell.ContentMin;
    maxWidth = cell.ContentMax;
}

bool ThtmlTable::ColumnWidthsKept(int kind, int tableWidth, int& tableMin, int& tableMax)
{
    const int stamp = Document ? Document->LayoutCount : 0;
    for (const KeptWidths& kept : keptWidths_)
        if (stamp != 0 && kept.Stamp == stamp && kept.Kind == kind && kept.TableWidth == tableWidth) {
            MinWidths = kept.Min;
            MaxWidths = kept.Max;
            Percents = kept.Percents;
            tableMin = kept.TableMin;
            tableMax = kept.TableMax;
            return true;
        }
    return false;
}

void ThtmlTable::KeepColumnWidths(int kind, int tableWidth, int tableMin, int tableMax)
{
    // The older of the two gives way.
    keptWidths_[1] = std::move(keptWidths_[0]);
    keptWidths_[0] = {Document ? Document->LayoutCount : 0, kind, tableWidth, MinWidths, MaxWidths, Percents,
                      tableMin, tableMax};
}

void ThtmlTable::MinMaxPixels(Canvas& canvas, int& tableMin, int& tableMax)
{
    if (ColumnWidthsKept(1, 0, tableMin, tableMax))
        return;
    std::fill(MinWidths.begin(), MinWidths.end(), 0);
    std::fill(MaxWidths.begin(), MaxWidths.end(), 0);
    ForEachCellWidth(canvas, [&](TCellObj&, int c, int span, int mn, int mx) {
        if (span == 1) {
            At(MinWidths, c) = std::max(At(MinWidths, c), mn);
            At(MaxWidths, c) = std::max(At(MaxWidths, c), mx);
            return;
        }
        const int count = std::min(span, NumCols - c);
        WidenInProportion(MinWidths, c, count, mn);
        WidenInProportion(MaxWidths, c, count, mx);
    });
    tableMin = Sum(MinWidths);
    tableMax = Sum(MaxWidths);
    KeepColumnWidths(1, 0, tableMin, tableMax);
}

void ThtmlTable::MinMaxPercents(Canvas& canvas, int tableWidth, int& tableMin, int& tableMax)
{
    // Only a table with a width of its own is sure to fill it: its columns are spread over the
    // whole width whatever they ask. A table without one is as wide as its columns, so a cell
    // spanning them all must widen them itself, or its text wraps in a box far wider than they.
    const bool fillsWidth = SpecWidth > 0;
    const int kind = fillsWidth ? 3 : 2;
    if (ColumnWidthsKept(kind, tableWidth, tableMin, tableMax))
        return;
    std::fill(MinWidths.begin(), MinWidths.end(), 0);
    std::fill(MaxWidths.begin(), MaxWidths.end(), 0);
    std::fill(Percents.begin(), Percents.end(), 0);
    ForEachCellWidth(canvas, [&](TCellObj& cell, int c, int span, int mn, int mx) {
        int pct = 0;
        if (cell.AsPercent)
            pct = cell.Wd;
        else if (PixelWidth(cell) && tableWidth > 0)
            pct = std::min(1000, MulDiv(cell.Wd, 1000, tableWidth));
        if (span == 1) {
            At(MinWidths, c) = std::max(At(MinWidths, c), mn);
            At(MaxWidths, c) = std::max(At(MaxWidths, c), mx);
            At(Percents, c) = std::max(At(Percents, c), pct);
            return;
        }
        const int cnt = std::min(span, NumCols - c);
        const int columnsMin = Sum(MinWidths, c, cnt);
        const int columnsMax = Sum(MaxWidths, c, cnt);
        // A cell spanning every column of a table that fills its width asks for no more than that
        // width gives anyway; what it asks beyond that is measured from what the columns have.
        int minSum = columnsMin;
        int maxSum = columnsMax;
        if (cnt == NumCols && fillsWidth) {
            minSum = std::max(minSum, tableWidth);
            maxSum = std::max(maxSum, tableWidth);
        }
        int p = 0, n = 0;
        for (int k = c; k < c + cnt; ++k) {
            p += At(Percents, k);
            if (At(Percents, k) == 0)
                ++n;
        }
        if (pct == 0 && p == 0) {
            auto spread = [&](std::vector<int>& arr, int want, int enough, int sum) {
                if (want <= enough)
                    return;
                int given = 0;
                for (int k = c; k < c + cnt; ++k) {
                    At(arr, k) = sum == 0 ? want / cnt : MulDiv(want, At(arr, k), sum);
                    given += At(arr, k);
                }
                At(arr, c) += want - given;
            };
            spread(MinWidths, mn, minSum, columnsMin);
            spread(MaxWidths, mx, maxSum, columnsMax);
            return;
        }
        if (n == 0 && p + 1 < pct) {
            for (int k = c; k < c + cnt; ++k)
                At(Percents, k) = MulDiv(At(Percents, k), pct, p);
        } else if (n > 0) {
            for (int k = c; k < c + cnt; ++k)
                if (At(Percents, k) == 0)
                    At(Percents, k) = std::max(0, (pct - p) / n);
        }
        const int q = std::max(p, pct);
        if (mn > minSum) {
            const int shortfall = mn - columnsMin;
            const bool byPercent = n < 1 || columnsMax < 1;
            for (int k = c; k < c + cnt; ++k)
                At(MinWidths, k) += byPercent ? MulDiv(shortfall, At(Percents, k), q)
                                              : MulDiv(shortfall, At(MaxWidths, k), columnsMax);
        }
        if (mx - maxSum >= 1) {
            const int shortfall = mx - columnsMax;
            for (int k = c; k < c + cnt; ++k)
                At(MaxWidths, k) += MulDiv(shortfall, At(Percents, k), q);
        }
    });
    tableMin = Sum(MinWidths);
    tableMax = Sum(MaxWidths);
    KeepColumnWidths(kind, tableWidth, tableMin, tableMax);
}

void ThtmlTable::GetMinMaxWidth(Canvas& canvas, int& minWidth, int& maxWidth)
{
    InitializeCellSpecs();
    if (FixedCellWidths && SpecWidth == 0)
        MinMaxPixels(canvas, minWidth, maxWidth);
    else
        MinMaxPercents(canvas, SpecWidth, minWidth, maxWidth);
    minWidth = std::max(minWidth + CellSpacing, SpecWidth);
    maxWidth = std::max(maxWidth + CellSpacing, SpecWidth);
}

void ThtmlTable::WidthsPixels(int width, int tableMin, int tableMax)
{
    if (tableMin > width) {
        Widths = MinWidths;
        return;
    }
    if (tableMax <= width) {
        Widths = MaxWidths;
        return;
    }
    for (int c = 0; c < NumCols; ++c) {
        // A table minimum of 0 scales by nothing (MulDiv by zero gives 0).
        At(Widths, c) = tableMax == tableMin
                            ? At(MinWidths, c) + MulDiv(At(MinWidths, c), width - tableMin, tableMin)
                            : At(MinWidths, c) + MulDiv(At(MaxWidths, c) - At(MinWidths, c), width - tableMin,
                                                        tableMax - tableMin);
    }
    int diff = Sum(Widths) - width;
    for (int c = 0; c < NumCols && diff != 0; ++c) {
        if (diff > 0 && At(MaxWidths, c) > At(MinWidths, c)) {
            --At(Widths, c);
            --diff;
        } else if (diff < 0) {
            ++At(Widths, c);
            ++diff;
        }
    }
}

void ThtmlTable::WidthsSpecified(int width)
{
    std::vector<bool> locked(static_cast<std::size_t>(NumCols), false);
    int others = 0, lastOther = -1, slack = 0;
    for (int c = 0; c < NumCols; ++c) {
        if (At(Percents, c) > 0) {
            At(Widths, c) = MulDiv(width, At(Percents, c), 1000);
            if (At(Widths, c) <= At(MinWidths, c)) {
                At(Widths, c) = At(MinWidths, c);
                At(locked, c) = true;
            }
        } else {
            At(Widths, c) = At(MinWidths, c);
            ++others;
            lastOther = c;
            slack += std::max(0, At(MaxWidths, c) - At(MinWidths, c));
        }
    }
    auto unlockedPercent = [&] {
        int s = 0;
        for (int c = 0; c < NumCols; ++c)
            if (At(Percents, c) > 0 && !At(locked, c))
                s += At(Percents, c);
        return s;
    };
    int excess = Sum(Widths) - width;
    if (excess > 0) {
        for (int round = 0; round < 4; ++round) {
            const int s = unlockedPercent();
            if (s == 0)
                break;
            bool lockedOne = false;
            for (int c = 0; c < NumCols; ++c) {
                if (At(Percents, c) == 0 || At(locked, c))
                    continue;
                if (At(Widths, c) - MulDiv(excess, At(Percents, c), s) < At(MinWidths, c)) {
                    excess -= At(Widths, c) - At(MinWidths, c);
                    At(Widths, c) = At(MinWidths, c);
                    At(locked, c) = true;
                    lockedOne = true;
                }
            }
            if (!lockedOne)
                break;
        }
        const int s = unlockedPercent();
        if (s > 0 && excess > 0) {
            const int e = excess;
            for (int c = 0; c < NumCols; ++c)
                if (At(Percents, c) > 0 && !At(locked, c))
                    At(Widths, c) -= MulDiv(e, At(Percents, c), s);
        }
    }
    int room = width - Sum(Widths);
    if (room > 0) {
        if (others == 0) {
            const int s = unlockedPercent();
            for (int c = 0; c < NumCols && s > 0; ++c)
                if (At(Percents, c) > 0 && !At(locked, c))
                    At(Widths, c) += MulDiv(room, At(Percents, c), s);
        } else if (slack * 4 >= room && slack > 0) {
            for (int c = 0; c < NumCols; ++c)
                if (At(Percents, c) == 0)
                    At(Widths, c) += MulDiv(room, std::max(0, At(MaxWidths, c) - At(MinWidths, c)), slack);
        } else {
            for (int c = 0; c < NumCols; ++c)
                if (At(Percents, c) == 0)
                    At(Widths, c) += room / others;
        }
    }
    excess = Sum(Widths) - width;
    if (excess > 0) {
        for (int c = 0; c < NumCols; ++c)
            if (!At(locked, c)) {
                At(Widths, c) -= excess;
                break;
            }
    }
    room = width - Sum(Widths);
    if (room > 0 && NumCols > 0) {
        if (lastOther >= 0) {
            At(Widths, lastOther) += room;
        } else {
            if (room > NumCols) {
                for (int& w : Widths)
                    w += room / NumCols;
                room %= NumCols;
            }
            for (int c = 0; c < room && c < NumCols; ++c)
                ++At(Widths, c);
        }
    }
}

void ThtmlTable::MinToMaxDistribution(int width, int tableMin, int tableMax)
{
    if (width <= tableMin || NumCols == 0) {
        Widths = MinWidths;
        return;
    }
    int largest = 0;
    for (int c = 0; c < NumCols; ++c) {
        At(Widths, c) = tableMax != tableMin ? At(MinWidths, c) + MulDiv(At(MaxWidths, c) - At(MinWidths, c),
                                                                         width - tableMin, tableMax - tableMin)
                                             : At(MinWidths, c) + (width - tableMin) / NumCols;
        if (At(MaxWidths, c) - At(MinWidths, c) > At(MaxWidths, largest) - At(MinWidths, largest))
            largest = c;
    }
    At(Widths, largest) += width - Sum(Widths);
}

void ThtmlTable::WidthsUnspecified(int width, int tableMin, int tableMax)
{
    const int p = Sum(Percents);
    if (p == 0) {
        if (tableMax <= width)
            Widths = MaxWidths;
        else
            MinToMaxDistribution(width, tableMin, tableMax);
        return;
    }
    int needed = 0, otherMax = 0;
    bool haveOthers = false;
    for (int c = 0; c < NumCols; ++c) {
        if (At(Percents, c) > 0)
            needed = std::max(needed, MulDiv(At(MaxWidths, c), 1000, At(Percents, c)));
        else {
            otherMax += At(MaxWidths, c);
            haveOthers = true;
        }
    }
    if (p >= 1000) {
        if (haveOthers)
            needed = std::max(needed, 30000);
    } else {
        needed = std::max(needed, MulDiv(otherMax, 1000, 1000 - p));
    }
    if (p <= 1000 && needed <= width) {
        int rest = MulDiv(needed, 1000 - p, 1000);
        for (int c = 0; c < NumCols; ++c)
            At(Widths, c) = At(Percents, c) > 0 ? MulDiv(needed, At(Percents, c), 1000)
                                                : MulDiv(rest, At(MaxWidths, c), otherMax);
        return;
    }
    // Too wide: columns whose share falls below their minimum give up their percentage; the rest are
    // scaled to fit. The rounds are capped so that rounding cannot keep them going. The columns
    // without a percentage keep their minimum as well: shares that left them nothing (a cell of
    // 100 % beside others) made the table wider than its box.
    std::vector<bool> fixedCol(static_cast<std::size_t>(NumCols), false);
    for (int c = 0; c < NumCols; ++c)
        At(fixedCol, c) = At(Percents, c) == 0;
    for (int round = 0; round <= NumCols; ++round) {
        bool anyLeft = false;
        for (int c = 0; c < NumCols; ++c) {
            if (At(Percents, c) > 0 && MulDiv(width, At(Percents, c), 1000) < At(MinWidths, c)) {
                At(Percents, c) = 0;
                At(fixedCol, c) = true;
            }
            anyLeft = anyLeft || At(Percents, c) > 0;
        }
        if (!anyLeft)
            break;
        int fixed = 0, shares = 0;
        for (int c = 0; c < NumCols; ++c) {
            if (At(fixedCol, c))
                fixed += At(MinWidths, c);
            if (At(Percents, c) > 0)
                shares += MulDiv(width, At(Percents, c), 1000);
        }
        if (shares + fixed > width && shares > 0) {
            for (int& pc : Percents)
                pc = MulDiv(pc, std::max(0, width - fixed), shares);
            continue;
        }
        for (int c = 0; c < NumCols; ++c)
            if (At(Percents, c) > 0)
                At(MinWidths, c) = At(MaxWidths, c) = MulDiv(width, At(Percents, c), 1000);
        break;
    }
    MinToMaxDistribution(width, Sum(MinWidths), Sum(MaxWidths));
}

void ThtmlTable::FindRowHeights(Canvas& canvas, int boxHeight)
{
    const int rowCount = Rows.Count();
    const int h = boxHeight - CellSpacing;
    std::vector<int> desired(static_cast<std::size_t>(rowCount), 0);
    std::vector<int> percent(static_cast<std::size_t>(rowCount), 0);
    std::vector<bool> specified(static_cast<std::size_t>(rowCount), false);
    const std::vector<int> colLeft = ColumnEdges(Widths, NumCols);
    // The first cell of the first row starts where the table starts, at the table's first document
    // position.
    TCellObj* firstCell = nullptr;
    if (rowCount > 0)
        for (int c = 0; c < Rows[0]->Count() && c < NumCols && !firstCell; ++c)
            if (IsReal((*Rows[0])[c]))
                firstCell = (*Rows[0])[c];
    ForEachCellBySpan(&TCellObj::RowSpan, [&](TCellObj& cell, int r, int c, int span) {
        const int last = std::min(NumCols, c + cell.ColSpan);
        cell.CellWidth = At(colLeft, last) - At(colLeft, c);
        int spec = 0;
        if (cell.SpecHt > 0)
            spec = cell.SpecHt;
        else if (cell.SpecHtPercent > 0)
            spec = MulDiv(cell.SpecHtPercent, h, 100);
        else if (rowCount == 1)
            spec = h;
        int curs = 0;
        const int contentWidth = cell.CellWidth - cell.HorizontalExtra - CellSpacing;
        const int contentBox = std::max(0, spec - cell.VerticalExtra);
        if (&cell == firstCell && LayOutInPlace(canvas, cell, At(colLeft, c), contentWidth, contentBox)) {
            cell.LaidOutAtOriginWidth = -1;
        } else {
            cell.ContentHeight = Ops().HasContent(cell) ? Ops().Layout(canvas, cell, 0, 0, contentWidth, contentBox, curs)
                                                        : 0;
            cell.LaidOutAtOriginWidth = contentWidth;
        }
        int d = cell.ContentHeight + cell.VerticalExtra;
        int pc = d;
        bool isSpec = false;
        if (cell.SpecHt > 0) {
            d = std::max(d, cell.SpecHt);
            pc = d;
            isSpec = true;
        } else if (cell.SpecHtPercent > 0) {
            pc = std::max(d, MulDiv(cell.SpecHtPercent, h, 100));
            isSpec = true;
        }
        d += CellSpacing;
        pc += CellSpacing;
        if (span == 1) {
            At(desired, r) = std::max(At(desired, r), d);
            At(percent, r) = std::max(At(percent, r), pc);
            At(specified, r) = At(specified, r) || isSpec;
            return;
        }
        auto spread = [&](std::vector<int>& arr, int want) {
            const int sum = Sum(arr, r, span);
            if (want <= sum)
                return;
            const int diff = want - sum;
            for (int k = r; k < r + span; ++k)
                At(arr, k) += diff / span;
            At(arr, r + span - 1) += diff % span;
        };
        spread(desired, d);
        spread(percent, pc);
    });
    for (int r = 0; r < rowCount; ++r)
        At(percent, r) = std::max(At(percent, r), At(desired, r));
    Heights = desired;
    const int dTotal = Sum(desired);
    const int pTotal = Sum(percent);
    if (rowCount == 0 || dTotal >= h)
        return;
    if (pTotal >= h) {
        int used = 0;
        for (int r = 0; r + 1 < rowCount; ++r) {
            const double share = static_cast<double>(At(percent, r) - At(desired, r)) * (h - dTotal) / (pTotal - dTotal);
            At(Heights, r) = At(desired, r) + static_cast<int>(std::lround(share));
            used += At(Heights, r);
        }
        Heights.back() = h - used;
    } else if (std::all_of(specified.begin(), specified.end(), [](bool b) { return b; })) {
        // A percentage total of 0 gives nothing to scale by: the desired heights stay.
        if (pTotal <= 0)
            return;
        int used = 0;
        for (int r = 0; r + 1 < rowCount; ++r) {
            At(Heights, r) = MulDiv(At(percent, r), h, pTotal);
            used += At(Heights, r);
        }
        Heights.back() = h - used;
    } else {
        Heights = percent;
        const int unspecified = static_cast<int>(std::count(specified.begin(), specified.end(), false));
        const int remaining = h - pTotal;
        int lastUnspecified = -1;
        for (int r = 0; r < rowCount; ++r)
            if (!At(specified, r)) {
                At(Heights, r) += remaining / unspecified;
                lastUnspecified = r;
            }
        At(Heights, lastUnspecified) += remaining % unspecified;
    }
}

bool ThtmlTable::LayOutInPlace(Canvas& canvas, TCellObj& cell, int left, int contentWidth, int contentBox)
{
    // A table nested in the first cell would otherwise be laid out twice at every level of nesting:
    // here to find the row heights and again in its place; with tables nested deeply, once for every
    // table around it. Laid out in its place (as when its content fills the cell's height, not moved
    // down by VALIGN), the layout that places the cells keeps it.
    if (!Ops().HasContent(cell) || !Ops().LaysOutInPlace(cell))
        return false;
    const int x = TableLeft + left + CellSpacing + cell.Padding[3] + cell.Border[3];
    const int y = YPosition + CellSpacing + cell.Padding[0] + cell.Border[0];
    if (y < 0)
        return false;
    int curs = StartCurs;
    const int height = Ops().Layout(canvas, cell, x, y, contentWidth, contentBox, curs);
    // A height above zero is the height at (0, 0) as well; one of zero or less may be cut off at
    // the document's top there, so the cell is laid out at (0, 0) instead.
    if (height <= 0)
        return false;
    cell.ContentHeight = height;
    cell.LaidOutInPlace = {contentWidth, y, StartCurs, contentBox, height};
    return true;
}

int ThtmlTable::LayoutTable(Canvas& canvas, int x, int y, int availWidth, int fallbackHeight, int& curs, int& maxWidth)
{
    // The document's table nesting level stays raised while the table is laid out.
    if (Document)
        ++Document->TableNestLevel;
    const ScopeExit leave([this] {
        if (Document)
            --Document->TableNestLevel;
    });
    const int nestLevel = Document ? Document->TableNestLevel : 1;
    YPosition = y;
    TableLeft = x;
    StartCurs = curs;
    const int width = (SpecWidth > 0 ? SpecWidth : availWidth) - CellSpacing;
    InitializeCellSpecs();
    int tableMin = 0, tableMax = 0;
    if (FixedCellWidths && SpecWidth == 0) {
        MinMaxPixels(canvas, tableMin, tableMax);
        WidthsPixels(width, tableMin, tableMax);
    } else {
        MinMaxPercents(canvas, width, tableMin, tableMax);
        if (width <= tableMin)
            Widths = MinWidths;
        else if (SpecWidth == 0)
            WidthsUnspecified(width, tableMin, tableMax);
        else
            WidthsSpecified(width);
    }
    TableWidth = CellSpacing + Sum(Widths);
    if (!HeightsComputed || nestLevel < 6) {
        FindRowHeights(canvas, fallbackHeight);
        HeightsComputed = true;
    }

    HeaderHeight = HeaderRowCount = FooterHeight = 0;
    FootStartRow = -1;
    bool bodyRow = false;
    const std::vector<int> colLeft = ColumnEdges(Widths, NumCols);
    int rowY = y;
    const int rowCount = Rows.Count();
    for (int r = 0; r < rowCount; ++r) {
        TCellList& row = *Rows[r];
        row.RowHeight = At(Heights, r);
        if (row.TablePart == 0) {
            ++HeaderRowCount;
            HeaderHeight += row.RowHeight;
        } else if (row.TablePart == 2) {
            if (FootStartRow < 0) {
                FootStartRow = r;
                FootOffset = rowY - y;
            }
            FooterHeight += row.RowHeight;
        } else {
            bodyRow = true;
        }
        row.SpanHeight = 0;
        for (int c = 0; c < row.Count() && c < NumCols; ++c) {
            TCellObj* cell = row[c];
            if (!IsReal(cell))
                continue;
            const int last = std::min(rowCount, r + cell->RowSpan);
            cell->CellHeight = Sum(Heights, r, last - r);
            cell->CellWidth = At(colLeft, std::min(NumCols, c + cell->ColSpan)) - At(colLeft, c);
            row.SpanHeight = std::max(row.SpanHeight, cell->CellHeight);
            cell->ContentLeft = x + At(colLeft, c) + CellSpacing + cell->Padding[3] + cell->Border[3];
            cell->LayoutCellContent(canvas, Ops(), rowY + CellSpacing, x + At(colLeft, c) + CellSpacing,
                                    curs, cell->CellWidth - CellSpacing, CellSpacing);
        }
        rowY = ExtentSum(rowY, row.RowHeight);
    }
    TableHeader = (HeaderHeight > 0 || FooterHeight >= 1) && bodyRow;
    SectionHeight = rowY - y + CellSpacing;
    TableHeight = SectionHeight;
    SectionWidth = TableWidth;
    DrawTop = ContentTop = y;
    DrawBot = ContentBot = y + SectionHeight;
    Len = curs - StartCurs;
    maxWidth = TableWidth;
    return SectionHeight;
}

}  // namespace velmoran
