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
            return ExtentSum(y, r.RowHeight);
        }
        if (r.BreakInside && !firstOnPage && spanBottom > b && spanBottom - y <= clip.Bottom - clip.Top)
            cutAt(y);
        else if (r.BreakInside && !firstOnPage && ExtentSum(y, r.RowHeight) > b && r.RowHeight <= clip.Bottom - clip.Top)
            cutAt(y + half);
        // A row that ends at or above the page top has had its break.
        if (r.BreakAfter && ExtentSum(y, r.RowHeight) > pageTop && ExtentSum(y, r.RowHeight) < b)
            cutAt(ExtentSum(y, r.RowHeight) + half);
        // Short rows are not cut but moved to the next page, unless they start it.
        if (!firstOnPage && spanBottom - y <= 100 && spanBottom > b)
            cutAt(y);
        if (y >= b)
            return ExtentSum(y, r.RowHeight);
    }
    if (y - yOffset > clip.Bottom || spanBottom + CellSpacing - yOffset < clip.Top)
        return ExtentSum(y, r.RowHeight);
    int cx = x;
    for (int c = 0; c < r.Count() && c < NumCols; ++c) {
        TCellObj* cell = r[c];
        if (cell && cell->ColSpan > 0)
            cell->PaintCellObj(canvas, ContentOps ? *ContentOps : DefaultCellContentOps(), clip, cx, y, CellSpacing,
                               BorderWidth > 0, BorderColorLight, BorderColorDark);
        cx = ExtentSum(cx, Widths[static_cast<std::size_t>(c)]);
    }
    return ExtentSum(y, r.RowHeight);
}

int ThtmlTable::PaintRows(Canvas& canvas, const TRect& clip, int x, int y, int& b, int firstRow, int endRow)
{
    int rowY = y;
    for (int r = 0; r < firstRow; ++r)
        rowY = ExtentSum(rowY, Rows[r]->RowHeight);
    for (int r = firstRow; r < endRow && r < Rows.Count() && static_cast<std::size_t>(r) < Heights.size(); ++r)
        rowY = PaintRow(canvas, clip, r, x, rowY, b);
    return rowY;
}

int ThtmlTable::PaintTable(Canvas& canvas, const TRect& clip, int x, int y)
{
    TSectionList* doc = Document;
    if (!doc) {
        int b = 0;
        PaintRows(canvas, clip, x, y, b, 0, Rows.Count());
        return y + SectionHeight;
    }
    ++doc->TableNestLevel;
    int b = doc->PageCutY;
    const bool parts = doc->Printing && TableHeader && doc->TableNestLevel == 1 &&
                       (!doc->TablePrinting || doc->TablePrinting == this);
    if (!parts) {
        PaintRows(canvas, clip, x, y, b, 0, Rows.Count());
    } else {
        PaintParts(canvas, clip, x, y, b);
    }
    if (doc->Printing)
        doc->PageCutY = std::min(doc->PageCutY, b);
    --doc->TableNestLevel;
    return y + SectionHeight;
}

// Printing a table with header or footer rows: the body is cut into pages, each page ends with the
// footer rows and the next begins with the header rows. The page loop paints those strips where the
// part record says.
void ThtmlTable::PaintParts(Canvas& canvas, const TRect& clip, int x, int y, int& b)
{
    TSectionList& doc = *Document;
    TTablePartRec& p = TablePartRec;
    const int s = std::max(CellSpacing, 0);
    const int pageTop = doc.YOff + clip.Top;
    const int rowCount = Rows.Count();
    const int footStart = FootStartRow >= 0 ? FootStartRow : rowCount;
    auto cutBody = [&](int lowered) {
        int cut = std::min(b, lowered);
        PaintRows(canvas, clip, x, y, cut, HeaderRowCount > 0 && p.TablePart != 0 ? HeaderRowCount : 0, footStart);
        PageBottomAtCut = cut;
        b = cut;
        doc.TablePrinting = this;
        if (FootStartRow >= 0) {
            p.TablePart = 5;
            p.PartStart = y + FootOffset;
            p.PartHeight = std::max(2 * s, s + 1) + FooterHeight + BorderWidth;
        } else {
            p.TablePart = 1;
            p.PartStart = y;
            p.PartHeight = HeaderHeight + s;
        }
    };
    switch (p.TablePart) {
    case 0: {
        if (y + SectionHeight <= b) {
            PaintRows(canvas, clip, x, y, b, 0, rowCount);
            return;
        }
        const int firstBody = HeaderRowCount < rowCount ? Rows[HeaderRowCount]->RowHeight : 0;
        if (y > pageTop && y + HeaderHeight + FooterHeight + firstBody > b) {
            // The table starts on the next page; one at the page's top would gain nothing, it is cut.
            if (y + CellSpacing / 2 > pageTop)
                b = std::min(b, y + CellSpacing / 2);
            return;
        }
        cutBody(b - (FooterHeight + s + BorderWidth + 5));
        return;
    }
    case 1:
        // The header rows at the top of a new page.
        PaintRows(canvas, clip, x, y, b, 0, HeaderRowCount);
        p.TablePart = 2;
        p.PartStart = PageBottomAtCut - 1;
        p.FootHeight = std::max(s, 1) + FooterHeight + BorderWidth;
        return;
    case 5:
        PaintRows(canvas, clip, x, y, b, footStart, rowCount);
        if (HeaderRowCount == 0) {
            p.TablePart = 4;
            p.PartStart = PageBottomAtCut - 1;
            p.PartHeight = std::max(s, 1) + FooterHeight;
        } else {
            p.TablePart = 1;
            p.PartStart = y;
            p.PartHeight = HeaderHeight + s;
        }
        return;
    default: {
        // Body continuing (after a header): the rest, or up to the next cut.
        if (y + SectionHeight <= b) {
            PaintRows(canvas, clip, x, y, b, HeaderRowCount, rowCount);
            p = TTablePartRec{};
            doc.TablePrinting = nullptr;
            return;
        }
        const int lowered = p.TablePart == 2 ? b - FooterHeight - std::max(s, 1) + BorderWidth : b - FooterHeight;
        p.TablePart = 2;
        cutBody(lowered);
        return;
    }
    }
}

}  // namespace velmoran
