// Table painting: the rows that meet the clip rectangle, each cell at the left edge of its column,
// and while printing the rules that move the page cut above rows that must not be split.
#include "html/layout/SectionList.h"
#include "html/layout/Tables.h"
#include "platform/Canvas.h"

#include <algorithm>

namespace velmoran {

int ThtmlTable::PaintRow(Canvas& canvas, const TRect& clip, int row, int x, int y, int& b)
{
    TCellList& r = *Rows[row];
    TSectionList* doc = Document;
    const bool printing = doc && doc->Printing;
    const int yOffset = doc ? doc->YOff : 0;
    const int half = CellSpacing / 2;
    const int pageTop = yOffset + clip.Top;
    const int spanBottom = y + std::max(r.RowHeight, r.SpanHeight);
    if (printing) {
        const bool firstOnPage = y <= pageTop;
        // No rule moves the cut to or above the page top: the page loop would make no progress.
        auto cutAt = [&](int cut) {
            if (cut > pageTop && cut < b)
                b = cut;
        };
        if (r.BreakBefore && !firstOnPage) {
            cutAt(y + half);
            return y + r.RowHeight;
        }
        if (r.BreakInside && !firstOnPage && spanBottom > b && spanBottom - y <= clip.Bottom - clip.Top)
            cutAt(y);
        else if (r.BreakInside && !firstOnPage && y + r.RowHeight > b && r.RowHeight <= clip.Bottom - clip.Top)
            cutAt(y + half);
        if (r.BreakAfter && y + r.RowHeight < b)
            b = y + r.RowHeight + half;
        // Short rows are not cut but moved to the next page, unless they start it.
        if (!firstOnPage && spanBottom - y <= 100 && spanBottom > b)
            cutAt(y);
        if (y >= b)
            return y + r.RowHeight;
    }
    if (y - yOffset > clip.Bottom || spanBottom + CellSpacing - yOffset < clip.Top)
        return y + r.RowHeight;
    int cx = x;
    for (int c = 0; c < r.Count() && c < NumCols; ++c) {
        TCellObj* cell = r[c];
        if (cell && cell->ColSpan > 0)
            cell->PaintCellObj(canvas, ContentOps ? *ContentOps : DefaultCellContentOps(), clip, cx, y, CellSpacing,
                               BorderWidth > 0, BorderColorLight, BorderColorDark);
        cx += Widths[static_cast<std::size_t>(c)];
    }
    return y + r.RowHeight;
}

int ThtmlTable::PaintTable(Canvas& canvas, const TRect& clip, int x, int y)
{
    if (Document)
        ++Document->TableNestLevel;
    int b = Document ? Document->PageCutY : 0;
    int rowY = y;
    for (int r = 0; r < Rows.Count() && static_cast<std::size_t>(r) < Heights.size(); ++r)
        rowY = PaintRow(canvas, clip, r, x, rowY, b);
    if (Document) {
        if (Document->Printing)
            Document->PageCutY = std::min(Document->PageCutY, b);
        --Document->TableNestLevel;
    }
    return y + SectionHeight;
}

}  // namespace velmoran
