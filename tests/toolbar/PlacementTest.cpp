// Popup placement on explicit monitor rectangles: drop-downs that do not fit below open above,
// submenus keep to the side their parent opened to, popups at a point stay on the monitor, and
// the direction bits say where the popup appears from.
#include "toolbar/TBarPlacement.h"

#include <gtest/gtest.h>

using namespace velmoran;

namespace {

const QRect kMonitor(0, 0, 1000, 800);

TBarPopupPlacementInput DropDown(const QRect& item, QSize size)
{
    TBarPopupPlacementInput in;
    in.ItemRect = item;
    in.MonitorArea = kMonitor;
    in.PopupSize = size;
    in.ParentOrientation = TBarParentOrientation::Horizontal;
    return in;
}

TBarPopupPlacementInput Submenu(const QRect& item, QSize size, bool parentOpenLeft)
{
    TBarPopupPlacementInput in = DropDown(item, size);
    in.ParentOrientation = TBarParentOrientation::Floating;
    in.PositionAsSubmenu = true;
    in.ParentOpenLeft = parentOpenLeft;
    return in;
}

}  // namespace

// From a bar across and from a floating bar alike: a floating bar near the screen's bottom must
// not be covered by its own drop-down.
TEST(Placement, DropDownOpensBelowOrAboveWhenTheBottomIsNear)
{
    for (const TBarParentOrientation orientation : {TBarParentOrientation::Horizontal, TBarParentOrientation::Floating}) {
        TBarPopupPlacementInput in = DropDown(QRect(100, 20, 40, 20), QSize(150, 200));
        in.ParentOrientation = orientation;
        const TBarPopupPlacement below = PlacePopup(in);
        EXPECT_EQ(below.Position, QPoint(100, 40));
        EXPECT_EQ(below.Direction, 4);

        in.ItemRect = QRect(100, 700, 40, 20);
        const TBarPopupPlacement above = PlacePopup(in);
        EXPECT_EQ(above.Position, QPoint(100, 500));
        EXPECT_EQ(above.Direction, 8);
    }
}

TEST(Placement, DropDownCoversFewerViewersAbove)
{
    // Neither way is blocked, but below it would hide three buttons of the bar beneath the item.
    TBarPopupPlacementInput in = DropDown(QRect(100, 400, 40, 20), QSize(100, 100));
    in.ParentViewers = {QRect(100, 430, 20, 20), QRect(120, 430, 20, 20), QRect(150, 430, 20, 20)};
    EXPECT_EQ(PlacePopup(in).Position, QPoint(100, 300));
    in.ParentViewers.clear();
    EXPECT_EQ(PlacePopup(in).Position, QPoint(100, 420));
}

TEST(Placement, DropDownAtTheRightEdgeStaysOnTheMonitor)
{
    const TBarPopupPlacement placed = PlacePopup(DropDown(QRect(950, 20, 40, 20), QSize(150, 200)));
    EXPECT_EQ(placed.Position, QPoint(850, 40));
    EXPECT_EQ(placed.Direction, 4);
}

TEST(Placement, SubmenuOpensRightThenLeftAndKeepsItsParentsSide)
{
    const QRect item(300, 100, 120, 20);
    const TBarPopupPlacement right = PlacePopup(Submenu(item, QSize(150, 100), false));
    EXPECT_EQ(right.Position, QPoint(417, 97));
    EXPECT_FALSE(right.OpenLeft);
    EXPECT_EQ(right.Direction, 2);

    const TBarPopupPlacement left = PlacePopup(Submenu(item, QSize(150, 100), true));
    EXPECT_EQ(left.Position, QPoint(153, 97));
    EXPECT_TRUE(left.OpenLeft);
    EXPECT_EQ(left.Direction, 1);

    // No room on the right: left, and the flag passes on.
    const TBarPopupPlacement full = PlacePopup(Submenu(QRect(800, 100, 120, 20), QSize(150, 100), false));
    EXPECT_EQ(full.Position.x(), 653);
    EXPECT_TRUE(full.OpenLeft);

    // Open-left parent near the monitor's left edge: the child opens right after all.
    const TBarPopupPlacement edge = PlacePopup(Submenu(QRect(50, 100, 120, 20), QSize(150, 100), true));
    EXPECT_EQ(edge.Position.x(), 167);
    EXPECT_FALSE(edge.OpenLeft);
}

TEST(Placement, PopupAtAPointByAlignment)
{
    TBarPopupPlacementInput in;
    in.MonitorArea = kMonitor;
    in.PopupSize = QSize(200, 100);
    in.PopupPoint = QPoint(500, 300);
    in.Alignment = 2;
    EXPECT_EQ(PlacePopup(in).Position, QPoint(400, 300));
    // Right-aligned at the left edge: it opens to the right of the point instead.
    in.PopupPoint = QPoint(50, 300);
    in.Alignment = 1;
    EXPECT_EQ(PlacePopup(in).Position, QPoint(50, 300));
    // Left-aligned at the right edge: it flips to the left of the point.
    in.PopupPoint = QPoint(900, 300);
    in.Alignment = 0;
    EXPECT_EQ(PlacePopup(in).Position, QPoint(700, 300));
}

TEST(Placement, VerticalBarOpensBesideTheItem)
{
    TBarPopupPlacementInput in = DropDown(QRect(100, 200, 30, 30), QSize(150, 100));
    in.ParentOrientation = TBarParentOrientation::Vertical;
    // Left of the bar there is no room: pushed to the edge it would cover the item, so it opens
    // right of it.
    const TBarPopupPlacement placed = PlacePopup(in);
    EXPECT_EQ(placed.Position, QPoint(130, 200));
    EXPECT_EQ(placed.Direction, 2);
    in.ItemRect = QRect(500, 200, 30, 30);
    EXPECT_EQ(PlacePopup(in).Position, QPoint(350, 200));
}
