// Where the aligned grid goes after a cell: a pure function of the grid's size, its fixed counts,
// the direction, the end policy and a test the cell must pass (editable, or a tab stop). The
// answer is the next cell, a row or column to insert before going on, staying, or leaving the grid
// for the next control; the widget carries it out.
#pragma once

#include <functional>

namespace velmoran::aligned {

enum T_nextcell { nc_rightdown, nc_downright, nc_leftdown, nc_downleft, nc_leftup, nc_upleft, nc_rightup, nc_upright };
enum T_lastcell { lc_newcolrow, lc_stop, lc_first, lc_exit };

struct TGridShape {
    int ColCount = 0;
    int RowCount = 0;
    int FixedCols = 0;
    int FixedRows = 0;
};

struct TNextCell {
    enum Kind { Cell, InsertRow, InsertCol, Stay, Leave };
    Kind What = Stay;
    // The cell to go to (for inserts: in the grid after the insert).
    int Col = -1;
    int Row = -1;
    // The index of the inserted row or column.
    int InsertAt = -1;
    bool operator==(const TNextCell&) const = default;
};

// One step from (col, row) in a direction; (-1, -1) when it leaves the non-fixed cells.
void StepCell(const TGridShape& shape, T_nextcell direction, int& col, int& row);

// The next cell after (col, row) that passes the test, with the end policy at the grid's end.
TNextCell NextCell(const TGridShape& shape, int col, int row, T_nextcell direction, T_lastcell policy,
                   const std::function<bool(int col, int row)>& accept);

// The direction Shift+Tab takes for a Tab direction.
T_nextcell Reversed(T_nextcell direction);

}  // namespace velmoran::aligned
