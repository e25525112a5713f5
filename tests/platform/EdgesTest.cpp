// Edges and frame controls pixel by pixel on a Qt image against the classic colours (3-D light
// C0C0C0, dark shadow 000000, highlight FFFFFF, shadow 808080, face C0C0C0, window FFFFFF).
#include "platform/Edges.h"
#include "platform/QtCanvas.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <functional>

using namespace velmoran;

namespace {

constexpr QRgb kBackground = 0xFFFF00FF;  // magenta: untouched
constexpr QRgb kLight = 0xFFC0C0C0;
constexpr QRgb kDark = 0xFF000000;
constexpr QRgb kHighlight = 0xFFFFFFFF;
constexpr QRgb kShadow = 0xFF808080;

QImage Paint(const std::function<void(Canvas&)>& draw)
{
    QImage image(24, 24, QImage::Format_RGB32);
    image.fill(kBackground);
    QPainter painter(&image);
    QtCanvas canvas(&painter);
    draw(canvas);
    return image;
}

class Edges : public ::testing::Test {};

}  // namespace

TEST_F(Edges, RaisedAndSunkenRingsTakeTheirColoursAndAdjustTheRectangle)
{
    TRect adjusted{2, 2, 12, 12};
    const QImage raised = Paint([&](Canvas& c) { DrawEdge(c, adjusted, EDGE_RAISED, BF_RECT | BF_ADJUST); });
    EXPECT_EQ(raised.pixel(2, 2), kLight);
    EXPECT_EQ(raised.pixel(11, 11), kDark);
    EXPECT_EQ(raised.pixel(3, 3), kHighlight);
    EXPECT_EQ(raised.pixel(10, 10), kShadow);
    // The bottom-right colours own the corners off the diagonal.
    EXPECT_EQ(raised.pixel(11, 2), kDark);
    EXPECT_EQ(raised.pixel(2, 11), kDark);
    EXPECT_EQ(raised.pixel(4, 4), kBackground);
    EXPECT_EQ(adjusted, (TRect{4, 4, 10, 10}));

    TRect kept{2, 2, 12, 12};
    const QImage sunken = Paint([&](Canvas& c) { DrawEdge(c, kept, EDGE_SUNKEN, BF_RECT); });
    EXPECT_EQ(sunken.pixel(2, 2), kShadow);
    EXPECT_EQ(sunken.pixel(11, 11), kHighlight);
    EXPECT_EQ(sunken.pixel(3, 3), kDark);
    EXPECT_EQ(sunken.pixel(10, 10), kLight);
    EXPECT_EQ(kept, (TRect{2, 2, 12, 12}));
}

TEST_F(Edges, EtchedBumpFlatAndPartialSides)
{
    TRect r{2, 2, 12, 12};
    const QImage etched = Paint([&](Canvas& c) { DrawEdge(c, r, EDGE_ETCHED, BF_RECT); });
    EXPECT_EQ(etched.pixel(2, 5), kShadow);
    EXPECT_EQ(etched.pixel(3, 5), kHighlight);
    EXPECT_EQ(etched.pixel(11, 5), kHighlight);
    EXPECT_EQ(etched.pixel(10, 5), kShadow);
    const QImage bump = Paint([&](Canvas& c) { DrawEdge(c, r, EDGE_BUMP, BF_RECT); });
    EXPECT_EQ(bump.pixel(2, 5), kLight);
    EXPECT_EQ(bump.pixel(3, 5), kDark);
    const QImage flat = Paint([&](Canvas& c) { DrawEdge(c, r, EDGE_RAISED, BF_RECT | BF_FLAT); });
    EXPECT_EQ(flat.pixel(2, 5), kShadow);
    EXPECT_EQ(flat.pixel(11, 5), kShadow);
    EXPECT_EQ(flat.pixel(3, 5), kLight);  // the face colour
    TRect partial{2, 2, 12, 12};
    const QImage topLeft = Paint([&](Canvas& c) { DrawEdge(c, partial, EDGE_SUNKEN, BF_LEFT | BF_TOP | BF_ADJUST); });
    EXPECT_EQ(topLeft.pixel(2, 5), kShadow);
    EXPECT_EQ(topLeft.pixel(11, 5), kBackground);
    EXPECT_EQ(topLeft.pixel(5, 11), kBackground);
    EXPECT_EQ(partial, (TRect{4, 4, 12, 12}));
}

TEST_F(Edges, Frame3DDrawsRingsOfTheWidth)
{
    TRect r{2, 2, 12, 12};
    const QImage image = Paint([&](Canvas& c) { Frame3D(c, r, 0x0000FF, 0x00FF00, 2); });
    EXPECT_EQ(image.pixel(2, 5), 0xFFFF0000);
    EXPECT_EQ(image.pixel(3, 5), 0xFFFF0000);
    EXPECT_EQ(image.pixel(11, 5), 0xFF00FF00);
    EXPECT_EQ(image.pixel(4, 5), kBackground);
    EXPECT_EQ(r, (TRect{4, 4, 10, 10}));
}

TEST_F(Edges, RadioButtonLooks)
{
    const auto radio = [](unsigned state) {
        return Paint([&](Canvas& c) { DrawFrameControl(c, {0, 0, 13, 13}, DFC_BUTTON, DFCS_BUTTONRADIO | state); });
    };
    const QImage checked = radio(DFCS_CHECKED);
    EXPECT_EQ(checked.pixel(5, 5), kDark);      // the dot
    EXPECT_EQ(checked.pixel(2, 5), kHighlight);  // the well
    EXPECT_EQ(checked.pixel(0, 5), kShadow);     // outer ring, left
    EXPECT_EQ(checked.pixel(11, 5), kHighlight); // outer ring, right
    EXPECT_EQ(checked.pixel(1, 5), kDark);       // inner ring, left
    EXPECT_EQ(checked.pixel(0, 0), kBackground); // outside the circle
    EXPECT_EQ(radio(0).pixel(5, 5), kHighlight);
    const QImage disabled = radio(DFCS_CHECKED | DFCS_INACTIVE);
    EXPECT_EQ(disabled.pixel(5, 5), kShadow);
    EXPECT_EQ(disabled.pixel(2, 5), kLight);
    const QImage flat = radio(DFCS_FLAT);
    EXPECT_EQ(flat.pixel(0, 5), kShadow);
    EXPECT_EQ(flat.pixel(11, 5), kShadow);
    EXPECT_EQ(flat.pixel(1, 5), kHighlight);
}

TEST_F(Edges, ComboArrowButton)
{
    const auto combo = [](unsigned state) {
        return Paint([&](Canvas& c) { DrawFrameControl(c, {0, 0, 16, 20}, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | state); });
    };
    const QImage normal = combo(0);
    EXPECT_EQ(normal.pixel(0, 0), kLight);
    EXPECT_EQ(normal.pixel(15, 19), kDark);
    EXPECT_EQ(normal.pixel(8, 9), kDark);  // the arrow's tip row passes the centre
    EXPECT_EQ(normal.pixel(3, 3), kLight); // face
    EXPECT_EQ(combo(DFCS_INACTIVE).pixel(8, 9), kShadow);
    EXPECT_FALSE(Paint([](Canvas& c) { EXPECT_FALSE(DrawFrameControl(c, {0, 0, 16, 16}, DFC_BUTTON, 0)); }).isNull());
}
