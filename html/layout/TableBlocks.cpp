// The boxes around tables: the table block, which sizes the table from WIDTH and its minimum and
// maximum widths, moves it past floats, aligns it and frames it; the table-and-caption block,
// which holds the table with its caption; and the table as a section of the block's cell.
#include "html/base/WideText.h"
#include "html/layout/Blocks.h"
#include "html/layout/Borders.h"
#include "html/layout/SectionList.h"
#include "html/layout/Tables.h"
#include "html/layout/TextSection.h"
#include "platform/Canvas.h"
#include "platform/SystemColors.h"

#include <algorithm>
#include <typeinfo>

namespace velmoran {

namespace {

int Val(int v)
{
    return v == AutoLength ? 0 : v;
}

int HorzPaddingBorder(const std::array<int, PropCount>& m)
{
    return m[PaddingLeft] + m[PaddingRight] + m[BorderLeftWidth] + m[BorderRightWidth];
}

// A cell's content is a cell of sections laid out from its left edge at a document Y.
// A text section without pictures, controls or clearing: its lines depend on the width and not
// on the place (the cell's own float indents stay empty).
bool IsPlainText(const TSectionBase& section)
{
    if (typeid(section) != typeid(TSection))
        return false;
    const auto& text = static_cast<const TSection&>(section);
    return text.Images.Count() == 0 && text.FormControls.Empty() && text.ClearAttr == 0;
}

// Whether a cell's content lies wherever it is laid out in the same way, only moved: text
// sections alone.
bool MovesUnchanged(const TCellBasic& cell)
{
    return std::all_of(cell.begin(), cell.end(), [](const auto& section) { return IsPlainText(*section); });
}

// Whether a table in a cell lays out the same wherever it stands: a table box without caption,
// holding its table alone, in the flow, not floating, not clearing.
bool PlacedAnywhere(const TSectionBase& section)
{
    const auto* block = dynamic_cast<const TBlock*>(&section);
    if (!block || block->DisplayNone || block->FloatKind != 0 || block->ClearKind != 0 || block->Positioning != 0 ||
        !block->MyCell)
        return false;
    const std::type_info& inner = typeid(section) == typeid(TTableAndCaptionBlock) ? typeid(TTableBlock)
                                  : typeid(section) == typeid(TTableBlock)        ? typeid(ThtmlTable)
                                                                                  : typeid(void);
    if (inner == typeid(void))
        return false;
    if (const auto* box = dynamic_cast<const TTableAndCaptionBlock*>(block); box && box->CaptionBlock)
        return false;
    return std::all_of(block->MyCell->begin(), block->MyCell->end(), [&](const auto& s) {
        return typeid(*s) == inner && (inner == typeid(ThtmlTable) || PlacedAnywhere(*s));
    });
}

// Whether such a table lays out alike in a box of height a and one of height b: the boxes' margins
// and heights are the only lengths that can refer to the height around them.
bool LaysOutAlikeInHeights(const TSectionBase& section, int width, int a, int b)
{
    const auto* block = dynamic_cast<const TBlock*>(&section);
    if (!block)
        return true;
    int autoA = 0, autoB = 0;
    const auto ma = block->ConvertedMargins(width, a, autoA);
    const auto mb = block->ConvertedMargins(width, b, autoB);
    if (ma != mb || autoA != autoB)
        return false;
    // The box's content is given its own height where it has one, the height around it otherwise;
    // the table box inside a caption box is also measured against the height around.
    const int innerA = ma[piHeight] >= 1 ? ma[piHeight] : a;
    const int innerB = mb[piHeight] >= 1 ? mb[piHeight] : b;
    return std::all_of(block->MyCell->begin(), block->MyCell->end(), [&](const auto& s) {
        return LaysOutAlikeInHeights(*s, width, innerA, innerB) && LaysOutAlikeInHeights(*s, width, a, b);
    });
}

// Moves the laid-out text sections of a cell down by dy and on by dcurs document positions.
void MoveLaidOutText(TCellBasic& cell, int dy, int dcurs)
{
    for (auto& section : cell) {
        auto& text = static_cast<TSection&>(*section);
        text.StartCurs += dcurs;
        text.YPosition += dy;
        text.DrawTop += dy;
        text.ContentTop += dy;
        text.ContentBot += dy;
        text.DrawBot += dy;
        for (LineRec& line : text.Lines)
            line.LineY += dy;
        if (text.Document)
            text.Document->LayoutProgress(text.StartCurs + text.Len);
    }
    cell.TopY += dy;
    cell.StartPos += dcurs;
    cell.PaintIndex.Reset();
}

class DocumentCellContentOps : public TCellContentOps {
public:
    bool Shift(TCellObj& cell, int dy, int dcurs, int& height) override
    {
        if (!cell.Cell || cell.Cell->TopY != 0 || cell.Cell->StartPos != 0 || !MovesUnchanged(*cell.Cell))
            return false;
        int sections = 0;
        for (const auto& section : *cell.Cell)
            sections = ExtentSum(sections, section->SectionHeight);
        MoveLaidOutText(*cell.Cell, dy, dcurs);
        // As the cell's layout gives it: the sections' height, or down to the top of the document.
        height = std::max(sections, -cell.Cell->TopY);
        return true;
    }
    bool LaysOutInPlace(const TCellObj& cell) const override
    {
        if (!cell.Cell)
            return false;
        bool tables = false;
        for (const auto& section : *cell.Cell) {
            if (PlacedAnywhere(*section))
                tables = true;
            else if (!IsPlainText(*section))
                return false;
        }
        return tables;
    }
    bool SameInHeights(const TCellObj& cell, int width, int a, int b) const override
    {
        // Only the table boxes' own margins and heights can refer to the height of the cell.
        if (!cell.Cell)
            return false;
        return std::all_of(cell.Cell->begin(), cell.Cell->end(),
                           [&](const auto& section) { return LaysOutAlikeInHeights(*section, width, a, b); });
    }
    void MinMaxWidth(Canvas& canvas, TCellObj& cell, int& minWidth, int& maxWidth) override
    {
        minWidth = maxWidth = 0;
        if (cell.Cell)
            cell.Cell->CellMinMaxWidth(canvas, minWidth, maxWidth);
    }
    int Layout(Canvas& canvas, TCellObj& cell, int x, int y, int width, int height, int& curs) override
    {
        int widest = 0;
        return cell.Cell->LayoutCell(canvas, x, y, curs, widest, height, height, width, x, y);
    }
    void Paint(Canvas& canvas, TCellObj& cell, const TRect& clip, int x, int y) override
    {
        cell.Cell->PaintCell(canvas, clip, x, y, x, y);
    }
};

}  // namespace

TCellContentOps& DefaultCellContentOps()
{
    static DocumentCellContentOps ops;
    return ops;
}

// --- the table as a section ---

int ThtmlTable::LayoutSection(Canvas& canvas, int x, int& curs, int& maxWidth, IndentManagerBasic& /*indents*/,
                              int /*fallbackHeight*/, int /*containingHeight*/, int availWidth, int /*refX*/,
                              int /*refY*/, int y)
{
    // A print starts every table at its first part, whatever an earlier print left behind.
    TablePartRec = TTablePartRec{};
    // Row heights fill only a height given to the table's own box.
    int boxHeight = 0;
    if (OwnerCell && OwnerCell->OwnerBlock) {
        const int h = OwnerCell->OwnerBlock->MargArray[piHeight];
        if (h >= 1 && h != AutoLength)
            boxHeight = h;
    }
    return LayoutTable(canvas, x, y, availWidth, boxHeight, curs, maxWidth);
}

int ThtmlTable::PaintSection(Canvas& canvas, const TRect& clip, IndentManagerBasic& /*indents*/, int x, int /*xRef*/,
                             int /*yRef*/)
{
    return PaintTable(canvas, clip, x, YPosition);
}

TYBand ThtmlTable::PaintBand()
{
    TYBand band = TSectionBase::PaintBand();
    const int spacing = CellSpacing < 0 ? -CellSpacing : CellSpacing;
    band.Add(std::int64_t{band.Top} - spacing);
    band.Add(std::int64_t{band.Bottom} + spacing);
    return band;
}

void ThtmlTable::AddToPositionList()
{
    if (Document)
        Document->PositionList.push_back(this);
}

// --- the table block ---

int TTableBlock::LayoutSection(Canvas& canvas, int x, int& curs, int& maxWidth, IndentManagerBasic& indents,
                               int fallbackHeight, int containingHeight, int availWidth, int refX, int refY, int y)
{
    TableShift = 0;
    if (FloatKind == 0 && Positioning != 1) {
        const int shifted = std::max(x, indents.LeftIndent(y));
        TableShift = shifted - x;
        availWidth = std::max(0, std::min(availWidth - TableShift, indents.RightSide(y) - shifted));
        x = shifted;
    }
    return TBlock::LayoutSection(canvas, x, curs, maxWidth, indents, fallbackHeight, containingHeight, availWidth, refX,
                                 refY, y);
}

int TTableBlock::PaintSection(Canvas& canvas, const TRect& clip, IndentManagerBasic& indents, int x, int xRef, int yRef)
{
    return TBlock::PaintSection(canvas, clip, indents, x + TableShift, xRef, yRef);
}

int TTableBlock::FindContentWidth(Canvas& canvas, int availWidth, int /*autoCount*/, int /*containingHeight*/)
{
    auto& m = MargArray;
    const bool inCaptionBlock =
        OwnerCell && dynamic_cast<TTableAndCaptionBlock*>(OwnerCell->OwnerBlock) != nullptr;
    if (inCaptionBlock) {
        m[MarginLeft] = m[MarginRight] = 0;
    } else {
        m[MarginLeft] = Val(m[MarginLeft]);
        m[MarginRight] = Val(m[MarginRight]);
    }
    const int h = HorzPaddingBorder(m);
    const int margins = m[MarginLeft] + m[MarginRight];
    int mn = 0, mx = 0;
    int width = 0;
    if (WidthAttr > 0) {
        const int base = inCaptionBlock && PercentBase >= 0 ? PercentBase : availWidth;
        const int forced = AsPercent ? ClampLength(static_cast<long long>(base) * WidthAttr / 1000) - margins - h
                                     : WidthAttr - h;
        Table->SpecWidth = std::max(0, forced);
        Table->GetMinMaxWidth(canvas, mn, mx);
        width = std::max(mn, forced);
        Table->SpecWidth = width;
    } else {
        const int room = availWidth - margins - h;
        Table->SpecWidth = 0;
        Table->GetMinMaxWidth(canvas, mn, mx);
        width = mx <= room ? mx : std::max(mn, room);
    }
    const int total = width + h + margins;
    if (m[MarginLeft] == 0 && m[MarginRight] == 0 && total < availWidth) {
        // A table inside its caption box is centred in it; elsewhere ALIGN places it.
        if (inCaptionBlock || Align == "CENTER")
            m[MarginLeft] = m[MarginRight] = (availWidth - total) / 2;
        else if (Align == "RIGHT")
            m[MarginLeft] = availWidth - total;
    }
    return width;
}

void TTableBlock::GetMinMaxWidth(Canvas& canvas, int& minWidth, int& maxWidth)
{
    int autoCount = 0;
    const auto m = ConvertedMargins(400, 0, autoCount);
    const int width = (WidthAttr > 0 && !AsPercent) ? std::max(0, WidthAttr - HorzPaddingBorder(m)) : 0;
    Table->SpecWidth = width;
    TBlock::GetMinMaxWidth(canvas, minWidth, maxWidth);
    if (width > 0) {
        minWidth = std::max(minWidth, width);
        maxWidth = minWidth;
    }
}

void TTableBlock::DrawBlockBorder(Canvas& canvas, const TRect& borderBox, const TRect& paddingBox)
{
    if (Table->BorderWidth <= 0 || !FrameFromBorderAttribute) {
        TBlock::DrawBlockBorder(canvas, borderBox, paddingBox);
        return;
    }
    const TColor light = Table->BorderColorLight;
    const TColor dark = Table->BorderColorDark;
    if (light == kSystemColorFlag + COLOR_BTNHIGHLIGHT && dark == kSystemColorFlag + COLOR_BTNSHADOW)
        DrawDocumentBorder3D(canvas, borderBox, true, *Document, Table->BorderWidth);
    else
        DrawBorder3D(canvas, borderBox, Table->BorderWidth, light, dark, true);
}

// --- the table with its caption ---

int TTableAndCaptionBlock::LayoutSection(Canvas& canvas, int x, int& curs, int& maxWidth, IndentManagerBasic& indents,
                                         int fallbackHeight, int containingHeight, int availWidth, int refX, int refY,
                                         int y)
{
    FloatLeft = FloatRight = 0;
    const auto layout = [&] {
        return TBlock::LayoutSection(canvas, x, curs, maxWidth, indents, fallbackHeight, containingHeight, availWidth,
                                     refX, refY, y);
    };
    if (FloatKind != 0 || Positioning == 1 || DisplayNone)
        return layout();
    // The table moves past the floats beside it (as its own box does), so its width, a percentage
    // above all, comes from the room they leave where the table itself stands: below what the box
    // clears, its top margin and a caption on top. A table below every float has the whole width.
    int autoCount = 0;
    const auto m = ConvertedMargins(std::min(availWidth, kMaxLength), containingHeight, autoCount);
    const int contentTop = ExtentSum(ExtentSum(y, ClearAmount(indents, y)),
                                     m[MarginTop] + m[PaddingTop] + m[BorderTopWidth]);
    MeasureFloatsAt(indents, x, availWidth, contentTop);
    const int startCurs = curs;
    const int leftFloats = indents.L.Count();
    const int rightFloats = indents.R.Count();
    int height = layout();
    // A caption on top is as tall as the box is wide, so where the table comes to stand is known
    // only after a layout; beside other floats there the box is laid out again, taking back what
    // the caption registered. Two more rounds settle any caption that changes height with them.
    for (int round = 0; round < 2 && MeasureFloatsAt(indents, x, availWidth, TableBlock->YPosition); ++round) {
        while (indents.L.Count() > leftFloats)
            indents.RemoveLeft(indents.L.Count() - 1);
        while (indents.R.Count() > rightFloats)
            indents.RemoveRight(indents.R.Count() - 1);
        curs = startCurs;
        height = layout();
    }
    return height;
}

bool TTableAndCaptionBlock::MeasureFloatsAt(const IndentManagerBasic& indents, int x, int availWidth, int y)
{
    const int left = std::max(0, indents.LeftIndent(y) - x);
    const int right = std::max(0, x + availWidth - indents.RightSide(y));
    const bool changed = left != FloatLeft || right != FloatRight;
    FloatLeft = left;
    FloatRight = right;
    return changed;
}

int TTableAndCaptionBlock::FindContentWidth(Canvas& canvas, int availWidth, int /*autoCount*/, int containingHeight)
{
    auto& m = MargArray;
    const int marginLeft = Val(m[MarginLeft]);
    const int marginRight = Val(m[MarginRight]);
    int ac = 0;
    // A percentage WIDTH refers to the room the caption box has beside the floats, not to the
    // box's own width.
    const int room = std::max(0, availWidth - std::max(marginLeft, FloatLeft) - std::max(marginRight, FloatRight));
    TableBlock->PercentBase = room;
    TableBlock->MargArray = TableBlock->ConvertedMargins(availWidth, containingHeight, ac);
    const auto& tm = TableBlock->MargArray;
    const int tableWidth = TableBlock->FindContentWidth(canvas, room, ac, containingHeight) + HorzPaddingBorder(tm);
    int captionMin = 0, captionMax = 0;
    if (CaptionBlock)
        CaptionBlock->GetMinMaxWidth(canvas, captionMin, captionMax);
    const int width = std::max(tableWidth, captionMin);
    // The box with its caption stands beside the floats. A floating box keeps its width: margins
    // taking the free space would leave no room beside it.
    m[MarginLeft] = std::max(marginLeft, FloatLeft);
    m[MarginRight] = marginRight;
    const int free = room - width;
    if (marginLeft == 0 && marginRight == 0 && free > 0 && FloatKind == 0) {
        if (Align == "CENTER") {
            m[MarginLeft] = FloatLeft + free / 2;
            m[MarginRight] = FloatRight + free / 2;
        } else if (Align == "RIGHT") {
            m[MarginLeft] = FloatLeft + free;
        }
    }
    return width;
}

}  // namespace velmoran
