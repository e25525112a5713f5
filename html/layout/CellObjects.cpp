// Table cell objects: padding and border defaults from the table, the vertical placement and
// layout of a cell's content, and the painting of a cell - background, clipped content and frame.
#include "html/layout/Borders.h"
#include "html/layout/SectionList.h"
#include "html/layout/Tables.h"
#include "platform/Canvas.h"
#include "platform/SystemColors.h"

#include <algorithm>
#include <utility>

namespace velmoran {

namespace {

enum Side { kTop = 0, kRight = 1, kBottom = 2, kLeft = 3 };

constexpr int kSolid = 1;

}  // namespace

bool TCellContentOps::HasContent(const TCellObj& cell) const
{
    return cell.Cell && !cell.Cell->Empty();
}

void TCellObj::ApplyCellSpacing(int defaultPadding, bool hasTableBorder)
{
    for (int& p : Padding)
        if (p < 0)
            p = defaultPadding;
    const bool ownBorder = std::any_of(Border.begin(), Border.end(), [](int b) { return b > 0; });
    if (hasTableBorder && !ownBorder) {
        for (int& b : Border)
            b = std::max(b, 1);
        for (int& p : Padding)
            p = std::max(p, 1);
    }
    HorizontalExtra = Padding[kLeft] + Padding[kRight] + Border[kLeft] + Border[kRight];
    VerticalExtra = Padding[kTop] + Padding[kBottom] + Border[kTop] + Border[kBottom];
    if (!BGImageName.empty() && !BGImage)
        BGImage = std::make_unique<TImageObj>(BGImageName);
}

void TCellObj::LayoutCellContent(Canvas& canvas, TCellContentOps& ops, int y, int x, int& curs, int width, int spacing)
{
    // The background picture at its own size; one that cannot be had is dropped.
    if (BGImage && Cell && Cell->Document && Cell->Document->ShowImages) {
        BGImage->DrawLogic(Cell->Document, canvas, nullptr, 0, 0);
        if (BGImage->Missing)
            BGImage.reset();
    }
    const int laidOutWidth = std::exchange(LaidOutAtOriginWidth, -1);
    const InPlaceLayout inPlace = std::exchange(LaidOutInPlace, {});
    if (!ops.HasContent(*this))
        return;
    // The cell's height counts the spacing above its box: left in, it would push bottom-aligned
    // content that far below the box's edge, where the clip cuts it off (and centred content half).
    const int boxHeight = CellHeight - std::max(0, spacing);
    const int free = boxHeight - VerticalExtra;
    switch (VAlign) {
    case 1:
        ContentShift = 0;
        break;
    case 2:
        ContentShift = (free - ContentHeight) / 2;
        break;
    default:
        ContentShift = free - ContentHeight;
        break;
    }
    const int contentY = y + ContentShift + Padding[kTop] + Border[kTop];
    // The row heights were found by laying the content out right here, in a box whose height is
    // checked to make no difference: that layout stands.
    const int contentWidth = width - HorizontalExtra;
    const int contentBox = std::max(0, boxHeight - VerticalExtra);
    if (inPlace.Width == contentWidth && inPlace.Y == contentY && inPlace.Curs == curs && Cell->TopY == contentY &&
        Cell->StartPos == curs &&
        (inPlace.BoxHeight == contentBox || ops.SameInHeights(*this, contentWidth, inPlace.BoxHeight, contentBox))) {
        ContentHeight = inPlace.Height;
        curs += Cell->PosCount;
        return;
    }
    // The row heights were found by laying the content out at (0, 0) at this width; where that
    // layout can simply be moved down into place, it is not done again.
    int shiftedHeight = 0;
    if (laidOutWidth == width - HorizontalExtra && ops.Shift(*this, contentY, curs, shiftedHeight)) {
        ContentHeight = shiftedHeight;
        curs += Cell->PosCount;
        return;
    }
    ContentHeight = ops.Layout(canvas, *this, x + Padding[kLeft] + Border[kLeft], contentY, width - HorizontalExtra,
                               std::max(0, boxHeight - VerticalExtra), curs);
}

void TCellObj::PaintCellObj(Canvas& canvas, TCellContentOps& ops, const TRect& clip, int x, int y, int cellSpacing,
                            bool hasTableBorder, TColor light, TColor dark)
{
    if (!Cell)
        return;
    TSectionList* doc = Cell->Document;
    const int yOffset = doc ? doc->YOff : 0;
    const bool printing = doc && doc->Printing;
    const int s = cellSpacing;
    const int top = y + s - yOffset;
    const TRect box{x + s, top, x + CellWidth, s < 0 ? y + s + CellHeight - yOffset : y + CellHeight - yOffset};
    const TRect pad{box.Left + Border[kLeft], box.Top + Border[kTop], box.Right - Border[kRight],
                    box.Bottom - Border[kBottom]};
    Cell->CellLeft = box.Left;
    Cell->CellTop = box.Top + yOffset;
    Cell->CellRight = box.Right;
    Cell->CellBottom = box.Bottom + yOffset;
    if (!(clip.Bottom >= box.Top && clip.Top <= box.Bottom))
        return;

    // Background colour and picture, reaching under the 3-D frame of a bordered table; on paper only
    // when table backgrounds are printed.
    const bool ownBackground = Cell->BkGnd && (!printing || doc->PrintTableBackground);
    {
        TRect bg = pad;
        if (HasBorderStyle) {
            if (Border[kRight] > 0)
                ++bg.Right;
            if (Border[kBottom] > 0)
                ++bg.Bottom;
        } else if (hasTableBorder) {
            --bg.Left;
            --bg.Top;
        }
        // Only the rows in the clip, with two pixels of slack above it.
        const int dt = std::max(bg.Top, clip.Top - 2);
        const int dh = std::min(bg.Bottom - dt, clip.Bottom - dt);
        if (dh > 0 && ownBackground && Cell->BkColor != NoColor)
            canvas.FillRect({bg.Left, dt, bg.Right, dt + dh}, ColorToRGB(Cell->BkColor) & 0xFFFFFF);
        if (dh > 0 && (!printing || doc->PrintTableBackground))
            DrawBackgroundImage(canvas, bg, dt, dh);
    }

    // Content, clipped to the cell box. A cell whose bottom is above the canvas top by more than
    // 200 pixels shows nothing; one nearer the top is painted.
    const bool hasContent = ops.HasContent(*this);
    if (hasContent && box.Top < clip.Bottom + 200 && box.Bottom > -200) {
        const int saved = canvas.SaveDC();
        canvas.IntersectClipRect(box);
        ops.Paint(canvas, *this, clip, x + s + Padding[kLeft] + Border[kLeft],
                  y + s + ContentShift + Padding[kTop] + Border[kTop]);
        canvas.RestoreDC(saved);
    }

    // Frame.
    const TRect frame{x + s, top, x + CellWidth, box.Bottom};
    if (HasBorderStyle) {
        const std::array<int, 4>& styles = BorderStyles;
        std::array<TColor, 4> colors{};
        for (std::size_t i = 0; i < 4; ++i)
            colors[i] = BorderColors[i] == NoColor ? 0 : BorderColors[i];
        const bool thinSolid = std::all_of(Border.begin(), Border.end(), [](int b) { return b == 1; }) &&
                               std::all_of(styles.begin(), styles.end(), [](int st) { return st == kSolid; }) &&
                               std::all_of(colors.begin(), colors.end(), [&](TColor c) { return c == colors[0]; });
        if (thinSolid)
            DrawBorder3D(canvas, frame, 1, colors[0], colors[0], false);
        else
            DrawBorder(canvas, box, pad, colors, styles, ownBackground ? Cell->BkColor : NoColor, printing);
    } else if (hasTableBorder && hasContent) {
        if (doc && light == kSystemColorFlag + COLOR_BTNHIGHLIGHT && dark == kSystemColorFlag + COLOR_BTNSHADOW)
            DrawDocumentBorder3D(canvas, frame, false, *doc, 1);
        else
            DrawBorder3D(canvas, frame, 1, light, dark, false);
    }
}

}  // namespace velmoran
