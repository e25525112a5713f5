// What lies under a point of a table, where a caret position of a cell stands, text search over
// the cells and the selected text of a table. A cell's content is laid out from its own left edge,
// so points go into a cell less the X of its content and come out plus it.
#include "html/layout/SectionList.h"
#include "html/layout/Tables.h"

namespace velmoran {

TCellObj* ThtmlTable::CellAt(int x, int y) const
{
    if (y < YPosition || y >= YPosition + SectionHeight || x < TableLeft || x >= TableLeft + TableWidth)
        return nullptr;
    int rowTop = YPosition;
    for (int r = 0; r < Rows.Count(); ++r) {
        const TCellList& row = *Rows[r];
        int colLeft = TableLeft;
        for (int c = 0; c < row.Count() && c < NumCols && static_cast<std::size_t>(c) < Widths.size(); ++c) {
            const TCellObj* cell = row[c];
            if (cell && cell->ColSpan > 0 && cell->Cell && x >= colLeft && x < colLeft + cell->CellWidth &&
                y >= rowTop && y < rowTop + cell->CellHeight)
                return const_cast<TCellObj*>(cell);
            colLeft = ExtentSum(colLeft, Widths[static_cast<std::size_t>(c)]);
        }
        rowTop += row.RowHeight;
    }
    return nullptr;
}

int ThtmlTable::GetUrlAt(Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& url, std::string& title)
{
    TCellObj* cell = CellAt(x, y);
    if (!cell)
        return 0;
    int flags = cell->Cell->TCellBasic::GetUrlAt(canvas, x - cell->ContentLeft, y, url, title);
    // The cell's TITLE and a link covering the whole cell count where the content has none.
    if (!(flags & 4) && !cell->Cell->Title().empty()) {
        title = cell->Cell->Title();
        flags |= 4;
    }
    if (!(flags & 1) && !cell->Cell->Url().empty()) {
        url = std::make_unique<TUrlTarget>();
        url->URL = cell->Cell->Url();
        url->Target = cell->Cell->Target();
        flags |= 1;
    }
    return flags;
}

int ThtmlTable::FindCursorAt(Canvas& canvas, int x, int y, int& lineHeight, int& baseline, bool& inText)
{
    TCellObj* cell = CellAt(x, y);
    return cell ? cell->Cell->FindCursorAt(canvas, x - cell->ContentLeft, y, lineHeight, baseline, inText) : -1;
}

bool ThtmlTable::CursorToPoint(Canvas& canvas, int cursor, int& x, int& y)
{
    for (int r = 0; r < Rows.Count(); ++r)
        for (int c = 0; c < Rows[r]->Count(); ++c) {
            TCellObj* cell = (*Rows[r])[c];
            if (cell && cell->ColSpan > 0 && cell->Cell && cell->Cell->CursorToPoint(canvas, cursor, x, y)) {
                x += cell->ContentLeft;
                return true;
            }
        }
    return false;
}

int ThtmlTable::FindTextForward(const std::u16string& pattern, int from, bool matchCase)
{
    for (int r = 0; r < Rows.Count(); ++r)
        for (int c = 0; c < Rows[r]->Count(); ++c) {
            TCellObj* cell = (*Rows[r])[c];
            if (cell && cell->ColSpan > 0 && cell->Cell)
                if (const int pos = cell->Cell->FindTextForward(pattern, from, matchCase); pos >= 0)
                    return pos;
        }
    return -1;
}

int ThtmlTable::FindTextBackward(const std::u16string& pattern, int from, bool matchCase)
{
    for (int r = Rows.Count() - 1; r >= 0; --r)
        for (int c = Rows[r]->Count() - 1; c >= 0; --c) {
            TCellObj* cell = (*Rows[r])[c];
            if (cell && cell->ColSpan > 0 && cell->Cell)
                if (const int pos = cell->Cell->FindTextBackward(pattern, from, matchCase); pos >= 0)
                    return pos;
        }
    return -1;
}

void ThtmlTable::CopySelectedText(SelTextCount& buffer)
{
    for (int r = 0; r < Rows.Count(); ++r)
        for (int c = 0; c < Rows[r]->Count(); ++c) {
            TCellObj* cell = (*Rows[r])[c];
            if (cell && cell->ColSpan > 0 && cell->Cell)
                cell->Cell->CopySelectedText(buffer);
        }
}

int ThtmlTable::FindSourcePos(int docPos)
{
    for (int r = 0; r < Rows.Count(); ++r)
        for (int c = 0; c < Rows[r]->Count(); ++c) {
            TCellObj* cell = (*Rows[r])[c];
            if (cell && cell->ColSpan > 0 && cell->Cell)
                if (const int pos = cell->Cell->FindSourcePos(docPos); pos >= 0)
                    return pos;
        }
    return -1;
}

void ThtmlTable::AddTextSections(std::vector<TSection*>& sections)
{
    for (int r = 0; r < Rows.Count(); ++r)
        for (int c = 0; c < Rows[r]->Count(); ++c) {
            TCellObj* cell = (*Rows[r])[c];
            if (cell && cell->ColSpan > 0 && cell->Cell)
                cell->Cell->AddTextSections(sections);
        }
}

int ThtmlTable::FindDocPos(int sourcePos, bool prev)
{
    if (!prev) {
        for (int r = 0; r < Rows.Count(); ++r)
            for (int c = 0; c < Rows[r]->Count(); ++c) {
                CountDocPosStep(Document);
                TCellObj* cell = (*Rows[r])[c];
                if (cell && cell->ColSpan > 0 && cell->Cell)
                    if (const int pos = cell->Cell->FindDocPos(sourcePos, false); pos >= 0)
                        return pos;
            }
        return -1;
    }
    for (int r = Rows.Count() - 1; r >= 0; --r)
        for (int c = Rows[r]->Count() - 1; c >= 0; --c) {
            CountDocPosStep(Document);
            TCellObj* cell = (*Rows[r])[c];
            if (cell && cell->ColSpan > 0 && cell->Cell)
                if (const int pos = cell->Cell->FindDocPos(sourcePos, true); pos >= 0)
                    return pos;
        }
    return -1;
}

bool ThtmlTable::CharAt(int pos, char16_t& ch, TFontObj*& font, TSectionBase*& section)
{
    for (int r = 0; r < Rows.Count(); ++r)
        for (int c = 0; c < Rows[r]->Count(); ++c) {
            TCellObj* cell = (*Rows[r])[c];
            if (cell && cell->ColSpan > 0 && cell->Cell && cell->Cell->CharAt(pos, ch, font, section))
                return true;
        }
    return false;
}

}  // namespace velmoran
