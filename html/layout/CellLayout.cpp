// Layout and paint of cells: the sections of a cell one below the other, the own float indents
// of a table cell or of the document, and the default operations of the section base.
#include "html/layout/Cells.h"

#include "html/layout/Blocks.h"
#include "html/layout/SectionList.h"
#include "platform/Canvas.h"

#include <algorithm>
#include <vector>

namespace velmoran {

int TSectionBase::LayoutSection(Canvas& /*canvas*/, int /*x*/, int& /*curs*/, int& maxWidth,
                                IndentManagerBasic& /*indents*/, int /*fallbackHeight*/, int /*containingHeight*/,
                                int /*availWidth*/, int /*refX*/, int /*refY*/, int y)
{
    YPosition = y;
    DrawTop = ContentTop = y;
    DrawBot = ContentBot = y + SectionHeight;
    maxWidth = 0;
    return SectionHeight;
}

int TSectionBase::PaintSection(Canvas& /*canvas*/, const TRect& /*clip*/, IndentManagerBasic& /*indents*/,
                               int /*x*/, int /*xRef*/, int /*yRef*/)
{
    return YPosition + SectionHeight;
}

TYBand TSectionBase::PlacedBand() const
{
    // (Not ContentTop: a block keeps its own, and leaves this one at 0.)
    TYBand band;
    for (const std::int64_t y : {std::int64_t{YPosition}, std::int64_t{YPosition} + SectionHeight,
                                 std::int64_t{DrawTop}, std::int64_t{DrawBot}, std::int64_t{ContentBot}})
        band.Add(y);
    return band;
}

TYBand TSectionBase::PaintBand()
{
    TYBand band = PlacedBand();
    band.Add(std::int64_t{YPosition} + DrawHeight);
    return band;
}

void TSectionBase::GetMinMaxWidth(Canvas& /*canvas*/, int& minWidth, int& maxWidth)
{
    minWidth = 0;
    maxWidth = 0;
}

void TSectionBase::AddToPositionList()
{
    if (Document)
        Document->PositionList.push_back(this);
}

int TCellBasic::LayoutCell(Canvas& canvas, int x, int y, int& curs, int& maxWidth, int fallbackHeight,
                           int containingHeight, int width, int refX, int refY)
{
    PaintIndex.Reset();
    TopY = y;
    StartPos = curs;
    int height = 0;
    maxWidth = 0;
    IndentManagerBasic fallback;
    IndentManagerBasic& indents = Indents ? *Indents : fallback;
    for (auto& section : *this) {
        int sw = 0;
        // A document of many huge sections ends at the far edge instead of overflowing.
        height = ExtentSum(height, section->LayoutSection(canvas, x, curs, sw, indents, fallbackHeight,
                                                          containingHeight, width, refX, refY, ExtentSum(y, height)));
        maxWidth = std::max(maxWidth, sw);
    }
    PosCount = curs - StartPos;
    return height;
}

int TBlockCell::LayoutCell(Canvas& canvas, int x, int y, int& curs, int& maxWidth, int fallbackHeight,
                           int containingHeight, int width, int refX, int refY)
{
    PaintIndex.Reset();
    TopY = y;
    StartPos = curs;
    ContentBottom = 0;
    TopReached = 990000;
    BottomReached = 0;
    int height = 0;
    maxWidth = 0;
    IndentManagerBasic fallback;
    IndentManagerBasic& indents = Indents ? *Indents : fallback;
    for (auto& section : *this) {
        int sw = 0;
        height = ExtentSum(height, section->LayoutSection(canvas, x, curs, sw, indents, fallbackHeight,
                                                          containingHeight, width, refX, refY, ExtentSum(y, height)));
        maxWidth = std::max(maxWidth, sw);
        const auto* block = dynamic_cast<const TBlock*>(section.get());
        if (!(block && block->Positioning == 1))
            ContentBottom = std::max(ContentBottom, section->ContentBot);
        TopReached = std::min(TopReached, section->DrawTop);
        BottomReached = std::max(BottomReached, section->DrawBot);
    }
    if (OwnerBlock && OwnerBlock->HideOverflow)
        maxWidth = width;
    PosCount = curs - StartPos;
    return height;
}

void TCellBasic::CellMinMaxWidth(Canvas& canvas, int& minWidth, int& maxWidth)
{
    minWidth = 0;
    maxWidth = 0;
    for (auto& section : *this) {
        int mn = 0, mx = 0;
        section->GetMinMaxWidth(canvas, mn, mx);
        minWidth = std::max(minWidth, mn);
        maxWidth = std::max(maxWidth, mx);
    }
}

int TCellBasic::PaintCell(Canvas& canvas, const TRect& clip, int x, int y, int xRef, int yRef)
{
    IndentManagerBasic fallback;
    IndentManagerBasic& indents = Indents ? *Indents : fallback;
    const std::vector<std::size_t> visit = PaintIndex.ToPaint(
        static_cast<std::size_t>(Count()), [this](std::size_t i) { return Items(static_cast<int>(i)); }, Document, clip);
    for (const std::size_t i : visit)
        y = Items(static_cast<int>(i))->PaintSection(canvas, clip, indents, x, xRef, yRef);
    // What a paint of the last section returns, when it lay outside the clip.
    if (Count() > 0 && (visit.empty() || visit.back() + 1 < static_cast<std::size_t>(Count())))
        y = ExtentSum(Last()->YPosition, Last()->SectionHeight);
    return y;
}

void TCellBasic::AddToPositionList()
{
    for (auto& section : *this)
        section->AddToPositionList();
}

int TCell::LayoutCell(Canvas& canvas, int /*x*/, int y, int& curs, int& maxWidth, int fallbackHeight,
                      int containingHeight, int width, int refX, int refY)
{
    IndentManagerBasic& im = *Indents;
    im.Clear();
    im.Reset(0, width);
    const int saveID = im.CurrentID;
    im.CurrentID = 0;
    const int height = TCellBasic::LayoutCell(canvas, 0, y, curs, maxWidth, fallbackHeight, containingHeight, width,
                                              refX, refY);
    const int floatBottom = im.ImageBottom();
    im.CurrentID = saveID;
    return std::max(height, floatBottom - TopY);
}

int TCell::PaintCell(Canvas& canvas, const TRect& clip, int x, int y, int xRef, int yRef)
{
    const int width = Indents->Width - Indents->LfEdge;
    Indents->Reset(x, x + width);
    return TCellBasic::PaintCell(canvas, clip, x, y, xRef, yRef);
}

}  // namespace velmoran
