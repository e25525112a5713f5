// The grid base and the string grid: geometry, scrolling, keyboard and mouse, painting.
#include "platform/Grid.h"

#include "platform/QtCanvas.h"
#include "platform/SystemColors.h"
#include "platform/core/CodePage.h"
#include "platform/core/Exceptions.h"
#include "platform/core/ScopeExit.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <utility>

namespace velmoran {

namespace {
constexpr ColorRef kLineColor = RGBRef(0xC0, 0xC0, 0xC0);
constexpr ColorRef kFixedLineColor = RGBRef(0, 0, 0);
// How near a line the mouse must be to size a column or row.
constexpr int kSizingMargin = 3;

template <typename T>
void MoveItem(std::vector<T>& items, int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= static_cast<int>(items.size()) || to >= static_cast<int>(items.size()))
        return;
    if (from < to)
        std::rotate(items.begin() + from, items.begin() + from + 1, items.begin() + to + 1);
    else
        std::rotate(items.begin() + to, items.begin() + from, items.begin() + from + 1);
}
}  // namespace

TCustomGrid::TCustomGrid(QWidget* parent)
    : QAbstractScrollArea(parent), color_(SystemColor(COLOR_WINDOW)), fixedColor_(SystemColor(COLOR_BTNFACE))
{
    font_.Face = "MS Sans Serif";
    font_.Height = -11;
    colWidths_.assign(colCount_, -1);
    rowHeights_.assign(rowCount_, -1);
    tabStops_.assign(colCount_, true);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    UpdateScrollBars();
}

TCustomGrid::~TCustomGrid()
{
    DestroyEditor();
}

void TCustomGrid::ChangeCounts(int cols, int rows)
{
    cols = std::max(cols, 0);
    rows = std::max(rows, 0);
    if (cols == colCount_ && rows == rowCount_)
        return;
    if (cols > kMaxGridCells || rows > kMaxGridCells || static_cast<long long>(cols) * rows > kMaxGridCells)
        throw EReadError();
    const int oldCols = colCount_;
    const int oldRows = rowCount_;
    colCount_ = cols;
    rowCount_ = rows;
    colWidths_.resize(cols, -1);
    rowHeights_.resize(rows, -1);
    tabStops_.resize(cols, true);
    fixedCols_ = std::min(fixedCols_, std::max(cols - 1, 0));
    fixedRows_ = std::min(fixedRows_, std::max(rows - 1, 0));
    SizeChanged(oldCols, oldRows);
    ClampPositions();
    UpdateScrollBars();
    InvalidateGrid();
    PlaceEditor();
}

void TCustomGrid::SetColCount(int count) { ChangeCounts(count, rowCount_); }
void TCustomGrid::SetRowCount(int count) { ChangeCounts(colCount_, count); }

void TCustomGrid::SetFixedCols(int count)
{
    count = std::clamp(count, 0, std::max(colCount_ - 1, 0));
    if (count == fixedCols_)
        return;
    fixedCols_ = count;
    ClampPositions();
    UpdateScrollBars();
    InvalidateGrid();
}

void TCustomGrid::SetFixedRows(int count)
{
    count = std::clamp(count, 0, std::max(rowCount_ - 1, 0));
    if (count == fixedRows_)
        return;
    fixedRows_ = count;
    ClampPositions();
    UpdateScrollBars();
    InvalidateGrid();
}

void TCustomGrid::ClampPositions()
{
    auto clampCol = [&](int c) { return std::clamp(c, fixedCols_, std::max(colCount_ - 1, fixedCols_)); };
    auto clampRow = [&](int r) { return std::clamp(r, fixedRows_, std::max(rowCount_ - 1, fixedRows_)); };
    current_ = {clampCol(current_.X), clampRow(current_.Y)};
    anchor_ = {clampCol(anchor_.X), clampRow(anchor_.Y)};
    topLeft_ = {std::clamp(topLeft_.X, fixedCols_, std::max(MaxLeftCol(), fixedCols_)),
                std::clamp(topLeft_.Y, fixedRows_, std::max(MaxTopRow(), fixedRows_))};
}

void TCustomGrid::SetDefaultColWidth(int width)
{
    if (width == defaultColWidth_)
        return;
    defaultColWidth_ = width;
    ColWidthsChanged();
    UpdateScrollBars();
    InvalidateGrid();
}

void TCustomGrid::SetDefaultRowHeight(int height)
{
    if (height == defaultRowHeight_)
        return;
    defaultRowHeight_ = height;
    RowHeightsChanged();
    UpdateScrollBars();
    InvalidateGrid();
}

int TCustomGrid::ColWidths(int col) const
{
    if (col < 0 || col >= colCount_)
        return 0;
    return colWidths_[col] < 0 ? defaultColWidth_ : colWidths_[col];
}

void TCustomGrid::SetColWidths(int col, int width)
{
    if (col < 0 || col >= colCount_ || ColWidths(col) == width)
        return;
    colWidths_[col] = std::max(width, 0);
    ColWidthsChanged();
    UpdateScrollBars();
    InvalidateGrid();
    PlaceEditor();
}

int TCustomGrid::RowHeights(int row) const
{
    if (row < 0 || row >= rowCount_)
        return 0;
    return rowHeights_[row] < 0 ? defaultRowHeight_ : rowHeights_[row];
}

void TCustomGrid::SetRowHeights(int row, int height)
{
    if (row < 0 || row >= rowCount_ || RowHeights(row) == height)
        return;
    rowHeights_[row] = std::max(height, 0);
    RowHeightsChanged();
    UpdateScrollBars();
    InvalidateGrid();
    PlaceEditor();
}

void TCustomGrid::SetGridLineWidth(int width)
{
    width = std::max(width, 0);
    if (width == gridLineWidth_)
        return;
    gridLineWidth_ = width;
    UpdateScrollBars();
    InvalidateGrid();
}

void TCustomGrid::SetColor(ColorRef color)
{
    if (color == color_)
        return;
    color_ = color;
    InvalidateGrid();
}

void TCustomGrid::SetFixedColor(ColorRef color)
{
    if (color == fixedColor_)
        return;
    fixedColor_ = color;
    InvalidateGrid();
}

void TCustomGrid::SetScrollBars(TScrollStyle style)
{
    if (style == scrollBars_)
        return;
    scrollBars_ = style;
    UpdateScrollBars();
}

void TCustomGrid::SetDefaultDrawing(bool value)
{
    if (value == defaultDrawing_)
        return;
    defaultDrawing_ = value;
    InvalidateGrid();
}

void TCustomGrid::SetOptions(GridOptions options)
{
    if (options == options_)
        return;
    options_ = options;
    if (!(options_ & goRangeSelect))
        anchor_ = current_;
    UpdateScrollBars();
    InvalidateGrid();
}

void TCustomGrid::SetFont(const LogicalFont& font)
{
    if (font == font_)
        return;
    font_ = font;
    InvalidateGrid();
}

void TCustomGrid::SetCol(int col) { MoveCurrent(col, current_.Y); }
void TCustomGrid::SetRow(int row) { MoveCurrent(current_.X, row); }

TGridRect TCustomGrid::Selection() const
{
    TGridRect r{std::min(anchor_.X, current_.X), std::min(anchor_.Y, current_.Y), std::max(anchor_.X, current_.X),
                std::max(anchor_.Y, current_.Y)};
    if (options_ & goRowSelect) {
        r.Left = fixedCols_;
        r.Right = colCount_ - 1;
    }
    return r;
}

void TCustomGrid::SetSelection(const TGridRect& selection)
{
    anchor_ = {selection.Left, selection.Top};
    MoveCurrent(selection.Right, selection.Bottom, true);
}

bool TCustomGrid::TabStops(int col) const
{
    return col >= 0 && col < colCount_ && tabStops_[col];
}

void TCustomGrid::SetTabStops(int col, bool stop)
{
    if (col >= 0 && col < colCount_)
        tabStops_[col] = stop;
}

int TCustomGrid::LineWidthAfterCol(int col) const
{
    const unsigned flag = col < fixedCols_ ? goFixedVertLine : goVertLine;
    return (options_ & flag) ? gridLineWidth_ : 0;
}

int TCustomGrid::LineWidthAfterRow(int row) const
{
    const unsigned flag = row < fixedRows_ ? goFixedHorzLine : goHorzLine;
    return (options_ & flag) ? gridLineWidth_ : 0;
}

int TCustomGrid::ColLeft(int col) const
{
    if (col < 0 || col >= colCount_ || (col >= fixedCols_ && col < topLeft_.X))
        return -1;
    int x = 0;
    for (int c = 0; c < fixedCols_ && c < col; ++c)
        x += ColWidths(c) + LineWidthAfterCol(c);
    if (col >= fixedCols_)
        for (int c = topLeft_.X; c < col; ++c)
            x += ColWidths(c) + LineWidthAfterCol(c);
    return x < viewport()->width() ? x : -1;
}

int TCustomGrid::RowTop(int row) const
{
    if (row < 0 || row >= rowCount_ || (row >= fixedRows_ && row < topLeft_.Y))
        return -1;
    int y = 0;
    for (int r = 0; r < fixedRows_ && r < row; ++r)
        y += RowHeights(r) + LineWidthAfterRow(r);
    if (row >= fixedRows_)
        for (int r = topLeft_.Y; r < row; ++r)
            y += RowHeights(r) + LineWidthAfterRow(r);
    return y < viewport()->height() ? y : -1;
}

TRect TCustomGrid::CellRect(int col, int row) const
{
    const int x = ColLeft(col);
    const int y = RowTop(row);
    if (x < 0 || y < 0)
        return {};
    return {x, y, x + ColWidths(col), y + RowHeights(row)};
}

TGridCoord TCustomGrid::MouseToCell(int x, int y) const
{
    auto find = [](int pos, int count, int fixed, int first, auto size, auto line) {
        if (pos < 0)
            return -1;
        int edge = 0;
        for (int i = 0; i < count; ++i) {
            const int index = i < fixed ? i : first + (i - fixed);
            if (index >= count)
                break;
            edge += size(index) + line(index);
            if (pos < edge)
                return index;
        }
        return -1;
    };
    const int col = find(x, colCount_, fixedCols_, topLeft_.X, [&](int c) { return ColWidths(c); },
                         [&](int c) { return LineWidthAfterCol(c); });
    const int row = find(y, rowCount_, fixedRows_, topLeft_.Y, [&](int r) { return RowHeights(r); },
                         [&](int r) { return LineWidthAfterRow(r); });
    if (col < 0 || row < 0)
        return {-1, -1};
    return {col, row};
}

int TCustomGrid::VisibleColCount() const
{
    return VisibleColCountFrom(topLeft_.X);
}

int TCustomGrid::VisibleRowCount() const
{
    return VisibleRowCountFrom(topLeft_.Y);
}

int TCustomGrid::MaxLeftCol() const
{
    int room = viewport()->width();
    for (int c = 0; c < fixedCols_; ++c)
        room -= ColWidths(c) + LineWidthAfterCol(c);
    int col = colCount_ - 1;
    room -= ColWidths(col) + LineWidthAfterCol(col);
    while (col > fixedCols_ && room - (ColWidths(col - 1) + LineWidthAfterCol(col - 1)) >= 0) {
        --col;
        room -= ColWidths(col) + LineWidthAfterCol(col);
    }
    return std::max(col, fixedCols_);
}

int TCustomGrid::MaxTopRow() const
{
    int room = viewport()->height();
    for (int r = 0; r < fixedRows_; ++r)
        room -= RowHeights(r) + LineWidthAfterRow(r);
    int row = rowCount_ - 1;
    room -= RowHeights(row) + LineWidthAfterRow(row);
    while (row > fixedRows_ && room - (RowHeights(row - 1) + LineWidthAfterRow(row - 1)) >= 0) {
        --row;
        room -= RowHeights(row) + LineWidthAfterRow(row);
    }
    return std::max(row, fixedRows_);
}

void TCustomGrid::SetTopLeft(int col, int row)
{
    col = std::clamp(col, fixedCols_, std::max(MaxLeftCol(), fixedCols_));
    row = std::clamp(row, fixedRows_, std::max(MaxTopRow(), fixedRows_));
    if (col == topLeft_.X && row == topLeft_.Y)
        return;
    topLeft_ = {col, row};
    UpdateScrollBars();
    InvalidateGrid();
    PlaceEditor();
    TopLeftChanged();
}

void TCustomGrid::SetTopRow(int row) { SetTopLeft(topLeft_.X, row); }
void TCustomGrid::SetLeftCol(int col) { SetTopLeft(col, topLeft_.Y); }

void TCustomGrid::ScrollIntoView(int col, int row)
{
    int left = topLeft_.X;
    int top = topLeft_.Y;
    if (col >= fixedCols_) {
        if (col < left)
            left = col;
        else
            while (left < col && col >= left + VisibleColCountFrom(left))
                ++left;
    }
    if (row >= fixedRows_) {
        if (row < top)
            top = row;
        else
            while (top < row && row >= top + VisibleRowCountFrom(top))
                ++top;
    }
    SetTopLeft(left, top);
}

int TCustomGrid::VisibleColCountFrom(int left) const
{
    int room = viewport()->width();
    for (int c = 0; c < fixedCols_; ++c)
        room -= ColWidths(c) + LineWidthAfterCol(c);
    int count = 0;
    for (int c = left; c < colCount_; ++c) {
        room -= ColWidths(c) + LineWidthAfterCol(c);
        if (room < 0)
            break;
        ++count;
    }
    return std::max(count, 1);
}

int TCustomGrid::VisibleRowCountFrom(int top) const
{
    int room = viewport()->height();
    for (int r = 0; r < fixedRows_; ++r)
        room -= RowHeights(r) + LineWidthAfterRow(r);
    int count = 0;
    for (int r = top; r < rowCount_; ++r) {
        room -= RowHeights(r) + LineWidthAfterRow(r);
        if (room < 0)
            break;
        ++count;
    }
    return std::max(count, 1);
}

void TCustomGrid::UpdateScrollBars()
{
    ScopedValue<bool> guard(updatingScrollBars_, true);
    const bool horizontal = scrollBars_ == TScrollStyle::Horizontal || scrollBars_ == TScrollStyle::Both;
    const bool vertical = scrollBars_ == TScrollStyle::Vertical || scrollBars_ == TScrollStyle::Both;
    setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    horizontalScrollBar()->setRange(0, std::max(MaxLeftCol() - fixedCols_, 0));
    horizontalScrollBar()->setPageStep(VisibleColCount());
    horizontalScrollBar()->setValue(topLeft_.X - fixedCols_);
    horizontalScrollBar()->setTracking(options_ & goThumbTracking);
    verticalScrollBar()->setRange(0, std::max(MaxTopRow() - fixedRows_, 0));
    verticalScrollBar()->setPageStep(VisibleRowCount());
    verticalScrollBar()->setValue(topLeft_.Y - fixedRows_);
    verticalScrollBar()->setTracking(options_ & goThumbTracking);
}

void TCustomGrid::scrollContentsBy(int, int)
{
    if (updatingScrollBars_)
        return;
    SetTopLeft(horizontalScrollBar()->value() + fixedCols_, verticalScrollBar()->value() + fixedRows_);
}

void TCustomGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    ClampPositions();
    UpdateScrollBars();
    PlaceEditor();
}

bool TCustomGrid::SelectCell(int, int)
{
    return true;
}

void TCustomGrid::MoveCurrent(int col, int row, bool extend)
{
    if (colCount_ <= fixedCols_ || rowCount_ <= fixedRows_)
        return;
    col = std::clamp(col, fixedCols_, colCount_ - 1);
    row = std::clamp(row, fixedRows_, rowCount_ - 1);
    const TGridCoord target{col, row};
    if (target != current_ && !SelectCell(col, row))
        return;
    const bool moved = target != current_;
    if (moved)
        HideEditor();
    current_ = target;
    if (!extend || !(options_ & goRangeSelect))
        anchor_ = current_;
    ScrollIntoView(col, row);
    InvalidateGrid();
    if (moved && (options_ & goAlwaysShowEditor))
        ShowEditor();
}

void TCustomGrid::InvalidateGrid()
{
    viewport()->update();
}

void TCustomGrid::InvalidateCell(int col, int row)
{
    const TRect r = CellRect(col, row);
    if (!r.IsEmpty())
        viewport()->update(QRect(r.Left, r.Top, r.Width() + gridLineWidth_, r.Height() + gridLineWidth_));
}

void TCustomGrid::DrawCell(Canvas&, int, int, const TRect&, unsigned) {}

void TCustomGrid::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    QtCanvas canvas(&painter);
    canvas.SetFont(font_);
    const int width = viewport()->width();
    const int height = viewport()->height();
    canvas.FillRect(TRect{0, 0, width, height}, color_);
    const TGridRect selection = Selection();
    const bool focused = hasFocus();
    auto rows = [&](auto visit) {
        for (int r = 0; r < fixedRows_; ++r)
            visit(r);
        for (int r = topLeft_.Y; r < rowCount_ && RowTop(r) >= 0; ++r)
            visit(r);
    };
    auto cols = [&](auto visit) {
        for (int c = 0; c < fixedCols_; ++c)
            visit(c);
        for (int c = topLeft_.X; c < colCount_ && ColLeft(c) >= 0; ++c)
            visit(c);
    };
    rows([&](int row) {
        cols([&](int col) {
            const TRect rect = CellRect(col, row);
            if (rect.IsEmpty() && (ColWidths(col) > 0 && RowHeights(row) > 0))
                return;
            const bool fixed = col < fixedCols_ || row < fixedRows_;
            unsigned state = fixed ? static_cast<unsigned>(gdFixed) : 0u;
            const bool isCurrent = TGridCoord{col, row} == current_;
            if (!fixed && focused && isCurrent)
                state |= gdFocused;
            // The focused cell shows as selected only with goDrawFocusSelected or goRowSelect.
            if (!fixed && selection.Contains(col, row) &&
                (!(state & gdFocused) || (options_ & (goDrawFocusSelected | goRowSelect))))
                state |= gdSelected;
            // Grid lines to the right and below the cell.
            const int vline = LineWidthAfterCol(col) && (options_ & (fixed ? goFixedVertLine : goVertLine)) ? gridLineWidth_ : 0;
            const int hline = LineWidthAfterRow(row) && (options_ & (fixed ? goFixedHorzLine : goHorzLine)) ? gridLineWidth_ : 0;
            const ColorRef lineColor = fixed ? kFixedLineColor : kLineColor;
            if (vline)
                canvas.FillRect(TRect{rect.Right, rect.Top, rect.Right + vline, rect.Bottom + hline}, lineColor);
            if (hline)
                canvas.FillRect(TRect{rect.Left, rect.Bottom, rect.Right + vline, rect.Bottom + hline}, lineColor);
            if (defaultDrawing_)
                canvas.FillRect(rect, fixed ? fixedColor_ : (state & gdSelected) ? SystemColor(COLOR_HIGHLIGHT) : color_);
            const int saved = canvas.SaveDC();
            canvas.IntersectClipRect(rect);
            DrawCell(canvas, col, row, rect, state);
            canvas.RestoreDC(saved);
            if (defaultDrawing_ && (state & gdFocused) && !(options_ & goRowSelect))
                canvas.DrawFocusRect(rect);
        });
    });
}

bool TCustomGrid::focusNextPrevChild(bool next)
{
    // With tabs on, Tab moves between cells and reaches keyPressEvent.
    if (options_ & goTabs)
        return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

void TCustomGrid::keyPressEvent(QKeyEvent* event)
{
    if (HandleEditingKey(event))
        return;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    int col = current_.X;
    int row = current_.Y;
    switch (event->key()) {
    case Qt::Key_Up: --row; break;
    case Qt::Key_Down: ++row; break;
    case Qt::Key_Left: --col; break;
    case Qt::Key_Right: ++col; break;
    case Qt::Key_Home:
        col = fixedCols_;
        if (ctrl)
            row = fixedRows_;
        break;
    case Qt::Key_End:
        col = colCount_ - 1;
        if (ctrl)
            row = rowCount_ - 1;
        break;
    case Qt::Key_PageUp: {
        const int page = VisibleRowCount();
        row -= page;
        SetTopRow(topLeft_.Y - page);
        break;
    }
    case Qt::Key_PageDown: {
        const int page = VisibleRowCount();
        row += page;
        SetTopRow(topLeft_.Y + page);
        break;
    }
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
        if (!(options_ & goTabs))
            return QAbstractScrollArea::keyPressEvent(event);
        const bool back = shift || event->key() == Qt::Key_Backtab;
        // The next column with a tab stop, wrapping to the next (previous) row.
        const int span = colCount_ - fixedCols_;
        for (int step = 0; step < span * std::max(rowCount_ - fixedRows_, 1); ++step) {
            col += back ? -1 : 1;
            if (col >= colCount_) {
                col = fixedCols_;
                row = row + 1 >= rowCount_ ? fixedRows_ : row + 1;
            } else if (col < fixedCols_) {
                col = colCount_ - 1;
                row = row - 1 < fixedRows_ ? rowCount_ - 1 : row - 1;
            }
            if (TabStops(col))
                break;
        }
        MoveCurrent(col, row);
        return;
    }
    default:
        return QAbstractScrollArea::keyPressEvent(event);
    }
    MoveCurrent(col, row, shift);
}

void TCustomGrid::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(event);
    if (focusPolicy() != Qt::NoFocus)
        setFocus(Qt::MouseFocusReason);
    const int x = event->position().toPoint().x();
    const int y = event->position().toPoint().y();
    const TGridCoord cell = MouseToCell(x, y);
    if (cell.X < 0)
        return;
    // Sizing by mouse starts on a line between fixed cells.
    if ((options_ & goColSizing) && cell.Y < fixedRows_) {
        const TRect r = CellRect(cell.X, cell.Y);
        if (x >= r.Right - kSizingMargin) {
            sizingCol_ = cell.X;
            sizingStart_ = x;
            sizingOrigin_ = ColWidths(cell.X);
            return;
        }
    }
    if ((options_ & goRowSizing) && cell.X < fixedCols_) {
        const TRect r = CellRect(cell.X, cell.Y);
        if (y >= r.Bottom - kSizingMargin) {
            sizingRow_ = cell.Y;
            sizingStart_ = y;
            sizingOrigin_ = RowHeights(cell.Y);
            return;
        }
    }
    if (cell.X < fixedCols_ || cell.Y < fixedRows_)
        return;
    MoveCurrent(cell.X, cell.Y, event->modifiers() & Qt::ShiftModifier);
    selecting_ = true;
}

void TCustomGrid::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (sizingCol_ >= 0)
        return SetColWidths(sizingCol_, std::max(sizingOrigin_ + p.x() - sizingStart_, 0));
    if (sizingRow_ >= 0)
        return SetRowHeights(sizingRow_, std::max(sizingOrigin_ + p.y() - sizingStart_, 0));
    if (selecting_ && (options_ & goRangeSelect)) {
        const TGridCoord cell = MouseToCell(p.x(), p.y());
        if (cell.X >= fixedCols_ && cell.Y >= fixedRows_)
            MoveCurrent(cell.X, cell.Y, true);
    }
}

void TCustomGrid::mouseReleaseEvent(QMouseEvent*)
{
    selecting_ = false;
    sizingCol_ = -1;
    sizingRow_ = -1;
}

void TCustomGrid::MoveRow(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= rowCount_ || to >= rowCount_)
        return;
    MoveItem(rowHeights_, from, to);
    RowMoved(from, to);
    InvalidateGrid();
}

void TCustomGrid::MoveColumn(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= colCount_ || to >= colCount_)
        return;
    MoveItem(colWidths_, from, to);
    MoveItem(tabStops_, from, to);
    ColumnMoved(from, to);
    InvalidateGrid();
}

void TCustomGrid::InsertRow(int index)
{
    index = std::clamp(index, 0, rowCount_);
    SetRowCount(rowCount_ + 1);
    MoveRow(rowCount_ - 1, index);
}

void TCustomGrid::DeleteRow(int index)
{
    if (index < 0 || index >= rowCount_)
        return;
    MoveRow(index, rowCount_ - 1);
    SetRowCount(rowCount_ - 1);
}

void TCustomGrid::ExchangeRows(int a, int b)
{
    if (a == b)
        return;
    if (a > b)
        std::swap(a, b);
    MoveRow(a, b);
    MoveRow(b - 1, a);
}

void TCustomGrid::InsertColumn(int index)
{
    index = std::clamp(index, 0, colCount_);
    SetColCount(colCount_ + 1);
    MoveColumn(colCount_ - 1, index);
}

void TCustomGrid::DeleteColumn(int index)
{
    if (index < 0 || index >= colCount_)
        return;
    MoveColumn(index, colCount_ - 1);
    SetColCount(colCount_ - 1);
}

void TCustomGrid::ExchangeColumns(int a, int b)
{
    if (a == b)
        return;
    if (a > b)
        std::swap(a, b);
    MoveColumn(a, b);
    MoveColumn(b - 1, a);
}

// --- TStringGrid ---

TStringGrid::TStringGrid(QWidget* parent) : TCustomGrid(parent)
{
    SizeChanged(0, 0);
}

const std::string& TStringGrid::Cells(int col, int row) const
{
    static const std::string empty;
    if (row < 0 || row >= static_cast<int>(cells_.size()) || col < 0 || col >= static_cast<int>(cells_[row].size()))
        return empty;
    return cells_[row][col].Text;
}

void TStringGrid::SetCells(int col, int row, const std::string& text)
{
    if (row < 0 || row >= static_cast<int>(cells_.size()) || col < 0 || col >= static_cast<int>(cells_[row].size()))
        return;
    if (cells_[row][col].Text == text)
        return;
    cells_[row][col].Text = text;
    InvalidateCell(col, row);
}

void* TStringGrid::Objects(int col, int row) const
{
    if (row < 0 || row >= static_cast<int>(cells_.size()) || col < 0 || col >= static_cast<int>(cells_[row].size()))
        return nullptr;
    return cells_[row][col].Object;
}

void TStringGrid::SetObjects(int col, int row, void* object)
{
    if (row < 0 || row >= static_cast<int>(cells_.size()) || col < 0 || col >= static_cast<int>(cells_[row].size()))
        return;
    cells_[row][col].Object = object;
}

void TStringGrid::SizeChanged(int, int)
{
    cells_.resize(RowCount());
    for (auto& row : cells_)
        row.resize(ColCount());
}

void TStringGrid::RowMoved(int from, int to)
{
    MoveItem(cells_, from, to);
}

void TStringGrid::ColumnMoved(int from, int to)
{
    for (auto& row : cells_)
        MoveItem(row, from, to);
}

void TStringGrid::DrawCell(Canvas& canvas, int col, int row, const TRect& rect, unsigned state)
{
    if (!DefaultDrawing())
        return;
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextColor((state & gdSelected) ? SystemColor(COLOR_HIGHLIGHTTEXT) : SystemColor(COLOR_WINDOWTEXT));
    canvas.TextOut(rect.Left + 2, rect.Top + 2, Utf8ToWide(Cells(col, row)));
}

}  // namespace velmoran
