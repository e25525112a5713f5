// The aligned grid's row and column work: the property and hint lists move with their rows and
// columns, the sort by the compare events, and copying, cutting and pasting tab-separated text.
#include "controls/AlignedGrid.h"

#include "platform/Clipboard.h"
#include "platform/core/CodePage.h"

#include <QKeyEvent>

#include <algorithm>

namespace velmoran {

using namespace aligned;

namespace {

constexpr long long kMaxPastedGridCells = 1'000'000;

// Where an index stands after the entry at from moved to to.
int MovedIndex(int index, int from, int to)
{
    if (index == from)
        return to;
    if (from < to && index > from && index <= to)
        return index - 1;
    if (to < from && index >= to && index < from)
        return index + 1;
    return index;
}

}  // namespace

void TAlignedGrid::ColumnMoved(int from, int to)
{
    TStringGrid::ColumnMoved(from, to);
    store_.ColumnMoved(from, to);
    if (TNewInplaceEdit* editor = Editor(); editor && editor->EditCol >= 0)
        editor->EditCol = MovedIndex(editor->EditCol, from, to);
}

void TAlignedGrid::RowMoved(int from, int to)
{
    TStringGrid::RowMoved(from, to);
    store_.RowMoved(from, to);
    if (TNewInplaceEdit* editor = Editor(); editor && editor->EditRow >= 0)
        editor->EditRow = MovedIndex(editor->EditRow, from, to);
}

// --- sorting ---

void TAlignedGrid::SortRows(int col, int first, int last, bool ascending)
{
    sortDepth_ = 0;
    QuickSort(true, col, std::max(first, 0), std::min(last, RowCount() - 1), ascending, 1);
}

void TAlignedGrid::SortColumns(int row, int first, int last, bool ascending)
{
    sortDepth_ = 0;
    QuickSort(false, row, std::max(first, 0), std::min(last, ColCount() - 1), ascending, 1);
}

// The pivot is the last element of each range; the elements that stand in the wanted relation to
// it move before it. The smaller side is sorted by recursion and the larger by the loop, so that
// the depth stays logarithmic even on rows already in order.
void TAlignedGrid::QuickSort(bool rows, int colrow, int lo, int hi, bool ascending, int depth)
{
    sortDepth_ = std::max(sortDepth_, depth);
    const t_relation wanted = ascending ? rel_greater : rel_smaller;
    const auto& compare = rows ? OnCompareCol : OnCompareRow;
    auto exchange = [&](int a, int b) { rows ? ExchangeRows(a, b) : ExchangeColumns(a, b); };
    while (lo < hi && compare) {
        int store = lo;
        for (int i = lo; i < hi; ++i)
            if (compare(*this, colrow, hi, i) == wanted) {
                if (i != store)
                    exchange(i, store);
                ++store;
            }
        if (store != hi)
            exchange(store, hi);
        if (store - lo < hi - store) {
            QuickSort(rows, colrow, lo, store - 1, ascending, depth + 1);
            lo = store + 1;
        } else {
            QuickSort(rows, colrow, store + 1, hi, ascending, depth + 1);
            hi = store - 1;
        }
    }
}

// --- clipboard ---

bool TAlignedGrid::HandleClipboardKey(QKeyEvent* event)
{
    if (!ClipboardHandling)
        return false;
    const auto modifiers = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (event->key() == Qt::Key_Insert && modifiers == Qt::ShiftModifier)
        PasteFromClipboard();
    else if (event->key() == Qt::Key_Insert && modifiers == Qt::ControlModifier)
        CopyToClipboard();
    else if (event->key() == Qt::Key_Delete && modifiers == Qt::ShiftModifier)
        CutToClipboard();
    else
        return false;
    return true;
}

std::string TAlignedGrid::RangeText(const TGridRect& range) const
{
    std::string text;
    for (int r = range.Top; r <= range.Bottom; ++r) {
        for (int c = range.Left; c <= range.Right; ++c) {
            text += Cells(c, r);
            text += '\t';
        }
        text += "\r\n";
    }
    return text;
}

void TAlignedGrid::CopyToClipboard()
{
    Clipboard().SetText(Utf8ToWide(RangeText(Selection())));
}

void TAlignedGrid::CutToClipboard()
{
    CopyToClipboard();
    const TGridRect range = Selection();
    for (int r = range.Top; r <= range.Bottom; ++r)
        for (int c = range.Left; c <= range.Right; ++c)
            if (!RespectEditability || IsCellEditable(c, r))
                SetCells(c, r, {});
}

void TAlignedGrid::PasteFromClipboard()
{
    PasteText(WideToUtf8(Clipboard().Text()), Selection());
}

void TAlignedGrid::PasteText(const std::string& text, TGridRect range)
{
    std::vector<std::vector<std::string>> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> fields;
        std::size_t from = 0;
        for (std::size_t tab = line.find('\t'); tab != std::string::npos; tab = line.find('\t', from)) {
            fields.push_back(line.substr(from, tab - from));
            from = tab + 1;
        }
        // A copied line ends with a Tab after its last cell: no field follows it.
        if (from < line.size() || fields.empty())
            fields.push_back(line.substr(from));
        lines.push_back(std::move(fields));
        start = end + 1;
    }
    // How far the text reaches, within the range; the grid grows to it at once but no further
    // than kMaxPastedGridCells cells.
    std::size_t widest = 0;
    for (const auto& fields : lines)
        widest = std::max(widest, fields.size());
    long long rows = range.Top + static_cast<long long>(lines.size());
    long long cols = range.Left + static_cast<long long>(widest);
    if (range.Bottom >= 0)
        rows = std::min<long long>(rows, range.Bottom + 1);
    if (range.Right >= 0)
        cols = std::min<long long>(cols, range.Right + 1);
    rows = std::max<long long>(std::min<long long>(rows, kMaxPropIndex + 1), RowCount());
    cols = std::max<long long>(std::min<long long>(cols, kMaxPropIndex + 1), ColCount());
    if (cols * rows > kMaxPastedGridCells)
        rows = std::max<long long>(RowCount(), kMaxPastedGridCells / cols);
    if (cols * rows > kMaxPastedGridCells)
        cols = std::max<long long>(ColCount(), kMaxPastedGridCells / rows);
    SetColCount(static_cast<int>(cols));
    SetRowCount(static_cast<int>(rows));
    // Filling stops at the range's edges too.
    if (range.Bottom >= 0)
        rows = std::min<long long>(rows, range.Bottom + 1);
    if (range.Right >= 0)
        cols = std::min<long long>(cols, range.Right + 1);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int row = range.Top + static_cast<int>(i);
        if (row >= rows)
            break;
        for (std::size_t j = 0; j < lines[i].size(); ++j) {
            const int col = range.Left + static_cast<int>(j);
            if (col >= cols)
                break;
            if (!RespectEditability || IsCellEditable(col, row))
                SetCells(col, row, lines[i][j]);
        }
    }
}

}  // namespace velmoran
