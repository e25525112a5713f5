// The aligned grid's way to the next cell; see GridNavigation.h.
#include "controls/GridNavigation.h"

namespace velmoran::aligned {

void StepCell(const TGridShape& s, T_nextcell direction, int& col, int& row)
{
    const int firstCol = s.FixedCols, lastCol = s.ColCount - 1;
    const int firstRow = s.FixedRows, lastRow = s.RowCount - 1;
    // Along a line; past its end, to the other end of the neighbouring line.
    auto along = [](int& pos, int& line, int step, int restart, int lineStep, int first, int last) {
        pos += step;
        if (pos < first || pos > last) {
            pos = restart;
            line += lineStep;
        }
    };
    switch (direction) {
    case nc_rightdown: along(col, row, +1, firstCol, +1, firstCol, lastCol); break;
    case nc_downright: along(row, col, +1, firstRow, +1, firstRow, lastRow); break;
    case nc_leftdown: along(col, row, -1, lastCol, +1, firstCol, lastCol); break;
    case nc_downleft: along(row, col, +1, firstRow, -1, firstRow, lastRow); break;
    case nc_leftup: along(col, row, -1, lastCol, -1, firstCol, lastCol); break;
    case nc_upleft: along(row, col, -1, lastRow, -1, firstRow, lastRow); break;
    case nc_rightup: along(col, row, +1, firstCol, -1, firstCol, lastCol); break;
    case nc_upright: along(row, col, -1, lastRow, +1, firstRow, lastRow); break;
    }
    if (col < firstCol || col > lastCol || row < firstRow || row > lastRow) {
        col = -1;
        row = -1;
    }
}

namespace {

// The corner a direction starts from.
void StartCorner(const TGridShape& s, T_nextcell direction, int& col, int& row)
{
    const bool left = direction == nc_rightdown || direction == nc_downright || direction == nc_rightup ||
                      direction == nc_upright;
    const bool top = direction == nc_rightdown || direction == nc_downright || direction == nc_leftdown ||
                     direction == nc_downleft;
    col = left ? s.FixedCols : s.ColCount - 1;
    row = top ? s.FixedRows : s.RowCount - 1;
}

// The row or column lc_newcolrow adds, and where going on starts in the grown grid.
TNextCell Grow(const TGridShape& s, T_nextcell direction)
{
    TNextCell answer;
    switch (direction) {
    case nc_rightdown: return {TNextCell::InsertRow, s.FixedCols, s.RowCount, s.RowCount};
    case nc_leftdown: return {TNextCell::InsertRow, s.ColCount - 1, s.RowCount, s.RowCount};
    case nc_leftup: return {TNextCell::InsertRow, s.ColCount - 1, s.FixedRows, s.FixedRows};
    case nc_rightup: return {TNextCell::InsertRow, s.FixedCols, s.FixedRows, s.FixedRows};
    case nc_downright: return {TNextCell::InsertCol, s.ColCount, s.FixedRows, s.ColCount};
    case nc_upright: return {TNextCell::InsertCol, s.ColCount, s.RowCount - 1, s.ColCount};
    case nc_downleft: return {TNextCell::InsertCol, s.FixedCols, s.FixedRows, s.FixedCols};
    case nc_upleft: return {TNextCell::InsertCol, s.FixedCols, s.RowCount - 1, s.FixedCols};
    }
    return answer;
}

}  // namespace

TNextCell NextCell(const TGridShape& shape, int col, int row, T_nextcell direction, T_lastcell policy,
                   const std::function<bool(int, int)>& accept)
{
    if (shape.ColCount <= shape.FixedCols || shape.RowCount <= shape.FixedRows)
        return {TNextCell::Stay, col, row};
    const int startCol = col, startRow = row;
    bool wrapped = false;
    // Every cell once, and once more after a wrap to the first corner.
    const long long limit = 2LL * shape.ColCount * shape.RowCount + 2;
    for (long long step = 0; step < limit; ++step) {
        StepCell(shape, direction, col, row);
        if (col < 0) {
            switch (policy) {
            case lc_newcolrow: return Grow(shape, direction);
            case lc_stop: return {TNextCell::Stay, startCol, startRow};
            case lc_exit: return {TNextCell::Leave, startCol, startRow};
            case lc_first:
                if (wrapped)
                    return {TNextCell::Stay, startCol, startRow};
                wrapped = true;
                StartCorner(shape, direction, col, row);
                break;
            }
        }
        if (col == startCol && row == startRow)
            return {TNextCell::Stay, startCol, startRow};
        if (accept(col, row))
            return {TNextCell::Cell, col, row};
    }
    return {TNextCell::Stay, startCol, startRow};
}

T_nextcell Reversed(T_nextcell direction)
{
    switch (direction) {
    case nc_rightdown: return nc_leftup;
    case nc_leftup: return nc_rightdown;
    case nc_downright: return nc_upleft;
    case nc_upleft: return nc_downright;
    case nc_leftdown: return nc_rightup;
    case nc_rightup: return nc_leftdown;
    case nc_downleft: return nc_upright;
    case nc_upright: return nc_downleft;
    }
    return direction;
}

}  // namespace velmoran::aligned
