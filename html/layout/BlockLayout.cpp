// Block layout: converting the box values for the available width, the content width with its
// auto margins, clearing floats, float levels, floating and positioned blocks, the z-order of the
// children, minimum and maximum widths; and the layout of rule, list-item and body blocks.
#include "html/base/WideText.h"
#include "html/layout/Blocks.h"

#include "html/layout/SectionList.h"
#include "html/layout/SmallSections.h"
#include "html/layout/TextSection.h"
#include "platform/Canvas.h"

#include <algorithm>
#include <atomic>

namespace velmoran {

namespace {

std::atomic<int> gLevelIDs{0};

int HorzExtra(const std::array<int, PropCount>& m)
{
    return m[PaddingLeft] + m[PaddingRight] + m[BorderLeftWidth] + m[BorderRightWidth];
}

int Val(int v) { return v == AutoLength ? 0 : v; }

}  // namespace

std::array<int, PropCount> TBlock::ConvertedMargins(int width, int height, int& autoCount) const
{
    auto m = ConvMargArray(MargArrayO, width, height, EmSize, ExSize, autoCount);
    // Blocks keep the HTML default margin as a marker; it reads as 14 pixels.
    for (int i : {MarginTop, MarginBottom})
        if (m[i] == DefaultMarginLength || m[i] == UnsetInteger)
            m[i] = m[i] == DefaultMarginLength ? 14 : 0;
    if (!HasBorderStyle)
        for (int i = BorderTopWidth; i <= BorderLeftWidth; ++i)
            m[i] = 0;
    return m;
}

int TBlock::FindContentWidth(Canvas& canvas, int availWidth, int autoCount, int /*containingHeight*/)
{
    int mn = 0, mx = 0;
    MyCell->CellMinMaxWidth(canvas, mn, mx);
    auto& m = MargArray;
    if (!(m[piWidth] != AutoLength && m[piWidth] > 20))
        HideOverflow = false;
    const int h = HorzExtra(m);
    int width = m[piWidth];
    const bool floating = FloatKind != 0;
    auto automatic = [&] {
        const int margins = Val(m[MarginLeft]) + Val(m[MarginRight]);
        if (Positioning == 1)
            width = std::max(mn, availWidth - h - margins - LeftP);
        else if (!floating)
            width = std::max(mn, availWidth - h - margins);
        else
            width = std::min(mx, availWidth - h - margins);
    };
    switch (autoCount) {
    case 0:
        if (!HideOverflow)
            width = std::max(mn, width);
        if ((Justify == 2 || Justify == 3) && Positioning == 0 && !floating && m[MarginLeft] == 0 &&
            m[MarginRight] == 0) {
            const int extra = std::max(0, availWidth - width - h);
            if (Justify == 3)
                m[MarginLeft] = extra;
            else
                m[MarginLeft] = m[MarginRight] = extra / 2;
        }
        break;
    case 1:
        if (width != AutoLength) {
            if (!HideOverflow)
                width = std::max(width, mn);
            if (m[MarginRight] == AutoLength)
                m[MarginRight] = floating ? 0 : std::max(0, availWidth - h - m[MarginLeft] - width);
            if (m[MarginLeft] == AutoLength)
                m[MarginLeft] = std::max(0, availWidth - h - m[MarginRight] - width);
        } else {
            automatic();
        }
        break;
    case 2:
        if (width != AutoLength) {
            if (!HideOverflow)
                width = std::max(width, mn);
            m[MarginLeft] = m[MarginRight] = std::max(0, availWidth - width - h) / 2;
        } else {
            if (m[MarginLeft] == AutoLength)
                m[MarginLeft] = 0;
            else
                m[MarginRight] = 0;
            automatic();
        }
        break;
    default:
        m[MarginLeft] = m[MarginRight] = 0;
        automatic();
        break;
    }
    m[MarginLeft] = Val(m[MarginLeft]);
    m[MarginRight] = Val(m[MarginRight]);
    return std::max(0, width);
}

int TBlock::ClearAmount(const IndentManagerBasic& indents, int y) const
{
    int cl = 0, cr = 0;
    indents.GetClearY(cl, cr);
    // With the clear Ys L and R of the indent manager the block moves by max(0, L - Y - 1).
    const int l = std::max(0, cl - y - 1);
    const int r = std::max(0, cr - y - 1);
    return ClearKind == 1 ? l : ClearKind == 2 ? r : ClearKind == 3 ? std::max(l, r) : 0;
}

int TBlock::LayoutSection(Canvas& canvas, int x, int& curs, int& maxWidth, IndentManagerBasic& indents,
                          int fallbackHeight, int containingHeight, int availWidth, int refX, int refY, int y)
{
    YPosition = y;
    ChildIndex.Reset();
    if (DisplayNone) {
        SectionHeight = DrawHeight = 0;
        ContentTop = ContentBot = BlockBottom = y;
        DrawTop = DrawBot = y;
        maxWidth = 0;
        return 0;
    }
    if (LevelID == 0)
        LevelID = ++gLevelIDs;
    BlockY = y;
    // Negative margins give a box more room than its container; boxes nested in them would gain
    // without end. The room stays within the bounds of a length, so that a percentage of it (a
    // width, an indent) cannot overflow.
    availWidth = std::min(availWidth, kMaxLength);
    ClearAddon = ClearAmount(indents, y);
    StartCurs = curs;
    maxWidth = availWidth;
    int autoCount = 0;
    MargArray = ConvertedMargins(availWidth, containingHeight, autoCount);
    auto& m = MargArray;
    TopP = m[piTop];
    LeftP = m[piLeft];
    if (Positioning == 2) {
        if (TopP == AutoLength)
            TopP = 0;
        if (LeftP == AutoLength)
            LeftP = 0;
    } else if (Positioning == 1) {
        if (TopP == AutoLength)
            TopP = 0;
        if (LeftP == AutoLength) {
            if (m[piRight] != AutoLength && autoCount == 0)
                LeftP = availWidth - m[piRight] - m[piWidth] - m[MarginLeft] - m[MarginRight] - HorzExtra(m);
            else
                LeftP = 0;
        }
        x = LeftP;
        y = TopP + refY;
    } else {
        TopP = LeftP = 0;
    }
    BlockY = y;  // an absolute block stands at its own Y
    NewWidth = FindContentWidth(canvas, availWidth, autoCount, containingHeight);

    // An absolutely positioned block lays its content out against its own indents; clearing any
    // other manager would take the entries of the blocks around it away from under them.
    IndentManagerBasic* im = &indents;
    if (Positioning == 1 && ownIndents_) {
        im = ownIndents_.get();
        MyCell->Indents = im;
        im->Clear();
        im->Reset(0, NewWidth);
    } else {
        MyCell->Indents = &indents;
    }
    const int saveID = im->CurrentID;

    const int yClear = y + ClearAddon;
    BlockDrawTop = m[MarginTop] < 1 ? yClear + m[MarginTop] : yClear;
    if (FloatKind == 5)
        ContentOffset = std::max(x, im->LeftIndent(yClear)) + m[MarginLeft] + m[PaddingLeft] + m[BorderLeftWidth] - x;
    else if (FloatKind == 6)
        ContentOffset = std::min(x + availWidth, im->RightSide(yClear)) - m[MarginRight] - m[PaddingRight] -
                        m[BorderRightWidth] - NewWidth - x;
    else
        ContentOffset = m[MarginLeft] + m[PaddingLeft] + m[BorderLeftWidth];
    const int contentX = x + ContentOffset;
    ContentTop = yClear + m[MarginTop] + m[PaddingTop] + m[BorderTopWidth];
    im->CurrentID = LevelID;
    const int li = im->AddLeft(contentX - im->LfEdge, ContentTop);
    const int ri = im->AddRight(contentX + NewWidth - im->LfEdge, ContentTop);
    ContentLeft = contentX;

    const int cellHeight = m[piHeight] >= 1 ? m[piHeight] : containingHeight >= 1 ? containingHeight : fallbackHeight;
    int cellRefX = refX, cellRefY = refY;
    if (Positioning == 2) {
        cellRefY = refY + TopP;
    } else if (Positioning == 1) {
        cellRefX = LeftP + refX + m[MarginLeft] + m[BorderLeftWidth];
        cellRefY = TopP + refY + m[MarginTop] + m[BorderTopWidth];
    }
    int cellWidest = 0;
    MyCell->LayoutCell(canvas, contentX, ContentTop, curs, cellWidest, fallbackHeight,
                       m[piHeight] >= 1 ? m[piHeight] : cellHeight, NewWidth, cellRefX, cellRefY);
    Len = curs - StartCurs;
    maxWidth = cellWidest + m[MarginLeft] + m[MarginRight] + HorzExtra(m);
    if (Positioning != 0)
        maxWidth = maxWidth - m[MarginRight] + LeftP - x;

    BlockContentBottom = std::max(ContentTop, MyCell->ContentBottom);
    const int height = m[piHeight] == AutoLength ? 0 : m[piHeight];
    if (HideOverflow && height > 3)
        BlockContentBottom = ContentTop + height;
    else
        BlockContentBottom = std::max(BlockContentBottom, ContentTop + height);
    if (Positioning == 1)
        BlockContentBottom = std::max(BlockContentBottom, im->ImageBottom());
    BlockBottom = BlockContentBottom + m[PaddingBottom] + m[BorderBottomWidth] + m[MarginBottom];
    BlockDrawBottom = std::max(BlockContentBottom, MyCell->BottomReached) + m[PaddingBottom] + m[BorderBottomWidth];
    SectionHeight = BlockBottom - YPosition;

    if (BGImage && Document && Document->ShowImages) {
        BGImage->DrawLogic(Document, canvas, nullptr, 0, 0);
        if (BGImage->Missing)
            BGImage.reset();
    }

    im->RemoveRight(ri);
    im->RemoveLeft(li);
    im->CurrentID = saveID;

    if (FloatKind == 0 && Positioning != 1) {
        DrawHeight = std::max(SectionHeight, indents.ImageBottom() - YPosition);
    } else {
        DrawHeight = Positioning == 1 ? 0 : SectionHeight;
        if (FloatKind == 5) {
            auto rec = std::make_unique<IndentRec>();
            rec->X = contentX + NewWidth + m[MarginRight] + m[PaddingRight] + m[BorderRightWidth] - indents.LfEdge;
            rec->YT = y;
            rec->YB = BlockDrawBottom;
            indents.L.Add(std::move(rec));
        } else if (FloatKind == 6) {
            auto rec = std::make_unique<IndentRec>();
            rec->X = contentX - m[MarginLeft] - m[PaddingLeft] - m[BorderLeftWidth] - indents.LfEdge;
            rec->YT = y;
            rec->YB = BlockDrawBottom;
            indents.R.Add(std::move(rec));
        }
        SectionHeight = 0;
    }
    // What the block gives its cell's content bottom: the bottom of its border, not of its content.
    ContentBot = BlockContentBottom + m[PaddingBottom] + m[BorderBottomWidth];
    DrawTop = BlockDrawTop;
    DrawBot = std::max(BlockDrawBottom, BlockBottom);

    if (ZList.empty()) {
        for (auto& s : *MyCell)
            ZList.push_back(s.get());
        std::stable_sort(ZList.begin(), ZList.end(),
                         [](const TSectionBase* a, const TSectionBase* b) { return a->ZIndex < b->ZIndex; });
    }
    return SectionHeight;
}

void TBlock::GetMinMaxWidth(Canvas& canvas, int& minWidth, int& maxWidth)
{
    minWidth = maxWidth = 0;
    if (DisplayNone || Positioning == 1)
        return;
    int autoCount = 0;
    const auto m = ConvertedMargins(400, 0, autoCount);
    const int width = m[piWidth] == AutoLength ? 0 : m[piWidth];
    int mn = 0, mx = 0;
    if (HideOverflow && width > 20)
        mn = mx = width;
    else
        MyCell->CellMinMaxWidth(canvas, mn, mx);
    const int extra = Val(m[MarginLeft]) + Val(m[MarginRight]) + HorzExtra(m);
    minWidth = std::max(mn, width) + extra;
    maxWidth = width >= 1 ? minWidth : extra + std::max(mx, width);
    maxWidth = std::max(maxWidth, minWidth);
}

void TBlock::AddToPositionList() { MyCell->AddToPositionList(); }

int THRBlock::FindContentWidth(Canvas& /*canvas*/, int availWidth, int /*autoCount*/, int /*containingHeight*/)
{
    auto& m = MargArray;
    const int h = HorzExtra(m);
    const int margins = Val(m[MarginLeft]) + Val(m[MarginRight]);
    m[MarginLeft] = Val(m[MarginLeft]);
    m[MarginRight] = Val(m[MarginRight]);
    int width = m[piWidth] == AutoLength ? 0 : m[piWidth];
    if (width < 1)
        width = std::max(15, availWidth - h - margins);
    else
        width = std::min(width, availWidth - h - margins);
    const std::uint8_t align = Positioning == 1 ? 1 : Align;
    const int free = availWidth - width - h - margins;
    if (free > 0) {
        if (align == 2)
            m[MarginLeft] += free / 2;
        else if (align == 3)
            m[MarginLeft] += free;
    }
    if (Line && !(Document && Document->IsCopy) && m[piHeight] >= 1)
        Line->VSize = m[piHeight];
    return std::max(0, width);
}

int TBlockLI::LayoutSection(Canvas& canvas, int x, int& curs, int& maxWidth, IndentManagerBasic& indents,
                            int fallbackHeight, int containingHeight, int availWidth, int refX, int refY, int y)
{
    if (ListImage && Document && Document->ShowImages) {
        ListImage->DrawLogic(Document, canvas, nullptr, 0, 0);
        if (ListImage->Missing)
            ListImage.reset();
    }
    FirstLineBaseline = 0;
    if (Document)
        Document->FirstLineBaseline = &FirstLineBaseline;
    const int h = TBlock::LayoutSection(canvas, x, curs, maxWidth, indents, fallbackHeight, containingHeight,
                                        availWidth, refX, refY, y);
    if (Document && Document->FirstLineBaseline == &FirstLineBaseline)
        Document->FirstLineBaseline = nullptr;
    return h;
}

int TBodyBlock::LayoutSection(Canvas& canvas, int x, int& curs, int& maxWidth, IndentManagerBasic& indents,
                              int fallbackHeight, int containingHeight, int availWidth, int refX, int refY, int y)
{
    YPosition = y;
    ChildIndex.Reset();
    if (LevelID == 0)
        LevelID = ++gLevelIDs;
    BlockY = y;
    StartCurs = curs;
    int autoCount = 0;
    MargArray = ConvertedMargins(availWidth, containingHeight, autoCount);
    auto& m = MargArray;
    m[MarginLeft] = Val(m[MarginLeft]);
    m[MarginRight] = Val(m[MarginRight]);
    NewWidth = std::max(0, availWidth - m[MarginLeft] - m[MarginRight] - HorzExtra(m));
    ContentOffset = m[MarginLeft] + m[PaddingLeft] + m[BorderLeftWidth];
    const int contentX = x + ContentOffset;
    ContentTop = y + m[MarginTop] + m[PaddingTop] + m[BorderTopWidth];
    ContentLeft = contentX;
    MyCell->Indents = &indents;
    const int saveID = indents.CurrentID;
    indents.CurrentID = LevelID;
    const int li = indents.AddLeft(contentX - indents.LfEdge, ContentTop);
    const int ri = indents.AddRight(contentX + NewWidth - indents.LfEdge, ContentTop);
    int widest = 0;
    MyCell->LayoutCell(canvas, contentX, ContentTop, curs, widest, fallbackHeight, containingHeight, NewWidth, refX,
                       refY);
    indents.RemoveRight(ri);
    indents.RemoveLeft(li);
    indents.CurrentID = saveID;
    Len = curs - StartCurs;
    BlockContentBottom = std::max(ContentTop, MyCell->ContentBottom);
    BlockBottom = BlockContentBottom + m[PaddingBottom] + m[BorderBottomWidth] + m[MarginBottom];
    BlockBottom = std::max(BlockBottom, indents.ImageBottom());
    BlockDrawBottom = std::max(BlockContentBottom, MyCell->BottomReached) + m[PaddingBottom] + m[BorderBottomWidth];
    SectionHeight = BlockBottom - y;
    DrawHeight = SectionHeight;
    ContentBot = BlockContentBottom;
    DrawTop = y;
    DrawBot = std::max(BlockBottom, BlockDrawBottom);
    maxWidth = std::max(availWidth, widest + ContentOffset);
    if (ZList.empty())
        for (auto& s : *MyCell)
            ZList.push_back(s.get());
    std::stable_sort(ZList.begin(), ZList.end(),
                     [](const TSectionBase* a, const TSectionBase* b) { return a->ZIndex < b->ZIndex; });
    return SectionHeight;
}

}  // namespace velmoran
