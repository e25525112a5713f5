// The popup placement; see TBarPlacement.h. Rectangles are (left, top, right, bottom) with the
// right and bottom edges outside, as the item rectangles are measured.
#include "toolbar/TBarPlacement.h"

namespace velmoran {

namespace {

struct Box {
    int L, T, R, B;
};

Box BoxOf(const QRect& rect)
{
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

bool Overlaps(const Box& a, const Box& b)
{
    return a.L < b.R && b.L < a.R && a.T < b.B && b.T < a.B;
}

// How many of the parent's viewers lie wholly inside the popup at (x, y).
int Covered(const TBarPopupPlacementInput& in, int x, int y, int w, int h)
{
    int count = 0;
    for (const QRect& viewer : in.ParentViewers) {
        const Box v = BoxOf(viewer);
        if (v.L >= x && v.T >= y && v.R <= x + w && v.B <= y + h)
            ++count;
    }
    return count;
}

}  // namespace

TBarPopupPlacement PlacePopup(const TBarPopupPlacementInput& in)
{
    const bool hasParent = in.ParentOrientation != TBarParentOrientation::None;
    const bool vertical = in.ParentOrientation == TBarParentOrientation::Vertical;
    // A floating bar lays its items out in rows, as a bar across does: its drop-downs open below
    // it, or above it when the screen's bottom is near.
    const bool horizontalOrNone = !vertical;
    const Box item = hasParent ? BoxOf(in.ItemRect) : Box{in.PopupPoint.x(), in.PopupPoint.y(), in.PopupPoint.x(), in.PopupPoint.y()};
    const Box m = BoxOf(in.MonitorArea);
    const int w = in.PopupSize.width();
    const int h = in.PopupSize.height();
    const auto [L, T, R, B] = item;
    int x = 0;
    int y = 0;

    // First position.
    if (!hasParent) {
        x = in.PopupPoint.x() - (in.Alignment == 1 ? w : in.Alignment == 2 ? w / 2 : 0);
        y = in.PopupPoint.y();
    } else if (in.PositionAsSubmenu) {
        x = R - 3;
        y = T - 3;
    } else if (in.Chevron) {
        x = in.ChevronViewVertical ? L - w : R - w;
        y = in.ChevronViewVertical ? T : B;
    } else if (vertical) {
        x = L - w;
        y = T;
    } else {
        x = in.MenuDropAlignmentRight ? R - w : L;
        y = B;
    }

    // Vertical fit.
    if (y + h > m.B && horizontalOrNone) {
        const int above = (in.PositionAsSubmenu ? B + 3 : T) - h;
        if (above >= m.T)
            y = above;
    }
    if (y + h > m.B)
        y = m.B - h;
    if (y < m.T)
        y = m.T;

    TBarPopupPlacement out;
    if (!in.PositionAsSubmenu) {
        // Horizontal fit of a drop-down or a popup at a point.
        if (!hasParent && in.Alignment == 1 && x < m.L)
            x += w;
        if (x + w > m.R)
            x = hasParent || in.Alignment != 0 ? m.R - w : x - w;
        if (x < m.L)
            x = m.L;
        const Box itemBox{L, T, R, B};
        auto overlapsItem = [&] { return Overlaps(Box{x, y, x + w, y + h}, itemBox); };
        if (horizontalOrNone) {
            const int y2 = T - h;
            if (y2 >= m.T && (Covered(in, x, y2, w, h) < Covered(in, x, y, w, h) || overlapsItem()))
                y = y2;
            if (overlapsItem()) {
                x = R + w > m.R ? L - w : R;
                if (x < m.L)
                    x = m.L;
            }
        } else {
            const int x2 = R;
            if (R + w <= m.R && (Covered(in, x2, y, w, h) < Covered(in, x, y, w, h) || overlapsItem()))
                x = x2;
            if (overlapsItem()) {
                y = B + h > m.B ? T - h : B;
                if (y < m.T)
                    y = m.T;
            }
        }
        if (y < B && y + h <= T)
            out.Direction |= 8;
        else if (y >= B)
            out.Direction |= 4;
        if (x + w <= L)
            out.Direction |= 1;
        else if (x >= R)
            out.Direction |= 2;
    } else {
        // Horizontal fit of a submenu: an open-left parent keeps its children to the left unless
        // that crosses the monitor's left edge.
        bool preferLeft = in.ParentOpenLeft;
        for (int pass = 0; pass < 2; ++pass) {
            if (!(preferLeft || x + w > m.R))
                break;
            const int candidate = (hasParent ? L + 3 : x) - w;
            if (preferLeft && candidate < m.L) {
                preferLeft = false;
                continue;
            }
            x = candidate;
            out.OpenLeft = true;
            break;
        }
        if (x < m.L)
            x = m.L;
        out.Direction = x + w / 2 < L + (R - L) / 2 ? 1 : 2;
    }
    out.Position = QPoint(x, y);
    return out;
}

}  // namespace velmoran
