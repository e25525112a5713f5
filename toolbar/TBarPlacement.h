// Where a popup menu opens: below or beside the item that opens it, kept on the item's monitor,
// covering as few of the parent bar's buttons as it can, and the direction it appears from.
// A pure function of rectangles, so that the popup window only has to apply the answer.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <vector>

namespace velmoran {

enum class TBarParentOrientation { None, Horizontal, Vertical, Floating };

struct TBarPopupPlacementInput {
    // The opening item's rectangle in screen coordinates (ignored without a parent view).
    QRect ItemRect;
    // The monitor area the popup must stay in.
    QRect MonitorArea;
    QSize PopupSize;
    // None: a popup at PopupPoint with Alignment (0 left, 1 right, 2 centre).
    TBarParentOrientation ParentOrientation = TBarParentOrientation::None;
    QPoint PopupPoint;
    int Alignment = 0;
    bool PositionAsSubmenu = false;
    // A chevron's popup, and whether the chevron's own view is vertical.
    bool Chevron = false;
    bool ChevronViewVertical = false;
    // The parent popup opened to the left.
    bool ParentOpenLeft = false;
    bool MenuDropAlignmentRight = false;
    // The parent view's visible viewers in screen coordinates.
    std::vector<QRect> ParentViewers;
};

struct TBarPopupPlacement {
    QPoint Position;
    // 1 leftward, 2 rightward, 4 downward, 8 upward.
    int Direction = 0;
    bool OpenLeft = false;
};

TBarPopupPlacement PlacePopup(const TBarPopupPlacementInput& input);

}  // namespace velmoran
