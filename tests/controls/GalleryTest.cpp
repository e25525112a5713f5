// The gallery's pages, taken as pictures into the build's artifacts for a person to look at, and
// checked where a fault would show first: on "captions" the message anchor's blue underline and
// the dot of the checked classic radio button; on "buttons" the looks below.
#include "tests/support/TestApp.h"

#include "controls/ComboEdit.h"
#include "controls/HtmlLabel.h"
#include "controls/HtmlRadioButton.h"
#include "controls/SpeedButton.h"
#include "controls/TextListBox.h"
#include "tools/gallery/GalleryPages.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QScrollBar>

using namespace velmoran;

TEST(Gallery, CaptionsPageShowsTheAnchorUnderlineAndTheCheckedDot)
{
    velmoran::testing::App();
    std::unique_ptr<QWidget> page = gallery::MakePage("captions");
    ASSERT_TRUE(page);
    const QImage shot = gallery::TakeShot(*page);
    QDir().mkpath(QStringLiteral(VELMORAN_ARTIFACTS "/controls"));
    EXPECT_TRUE(shot.save(QStringLiteral(VELMORAN_ARTIFACTS "/controls/captions.png")));

    // A run of blue pixels under the anchor's text.
    auto* message = page->findChild<THtmlLabel*>(QStringLiteral("message"));
    ASSERT_NE(message, nullptr);
    const QRect area = message->geometry();
    int longestRun = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        int run = 0;
        for (int x = area.left(); x <= area.right(); ++x) {
            run = shot.pixel(x, y) == 0xFF0000FFu ? run + 1 : 0;
            longestRun = std::max(longestRun, run);
        }
    }
    EXPECT_GE(longestRun, 30);

    // The dot in the middle of the checked classic button, the well around it white.
    auto* classic = page->findChild<THtmlRadioButton*>(QStringLiteral("classicChecked"));
    ASSERT_NE(classic, nullptr);
    ASSERT_TRUE(classic->Checked());
    const TRect box = classic->ButtonRect();
    const QPoint corner = classic->mapTo(page.get(), QPoint(box.Left, box.Top));
    EXPECT_EQ(shot.pixel(corner + QPoint(5, 5)), 0xFF000000u);
    EXPECT_EQ(shot.pixel(corner + QPoint(6, 6)), 0xFF000000u);
    EXPECT_EQ(shot.pixel(corner + QPoint(3, 3)), 0xFFFFFFFFu);
}

// The "buttons" page: the pressed button's sunken edge (window frame outside at the top-left,
// highlight at the bottom-right, shadow inside), the disabled button's engraved glyph (shadow
// ink with a highlight one pixel right and down), the combo edit's popup drawn into the shot and
// the list scrolled to its right end.
TEST(SpeedButton, GalleryButtonsPageShowsTheSunkenEdgeAndTheEngravedGlyph)
{
    velmoran::testing::App();
    std::unique_ptr<QWidget> page = gallery::MakePage("buttons");
    ASSERT_TRUE(page);
    const QImage shot = gallery::TakeShot(*page);
    QDir().mkpath(QStringLiteral(VELMORAN_ARTIFACTS "/controls"));
    EXPECT_TRUE(shot.save(QStringLiteral(VELMORAN_ARTIFACTS "/controls/buttons.png")));
    constexpr QRgb kFrame = 0xFF000000;
    constexpr QRgb kHighlight = 0xFFFFFFFF;
    constexpr QRgb kShadow = 0xFF808080;

    auto* down = page->findChild<TExSpeedButton*>(QStringLiteral("down"));
    ASSERT_NE(down, nullptr);
    EXPECT_EQ(down->State(), TButtonState::bsDown);
    const QRect d = down->geometry();
    EXPECT_EQ(shot.pixel(d.topLeft()), kFrame);
    EXPECT_EQ(shot.pixel(d.left() + 10, d.top()), kFrame);
    EXPECT_EQ(shot.pixel(d.bottomRight()), kHighlight);
    EXPECT_EQ(shot.pixel(d.left() + 10, d.bottom()), kHighlight);
    EXPECT_EQ(shot.pixel(d.left() + 1, d.top() + 10), kShadow);

    auto* disabled = page->findChild<TExSpeedButton*>(QStringLiteral("disabled"));
    ASSERT_NE(disabled, nullptr);
    const QRect g = disabled->geometry().adjusted(2, 2, -2, -disabled->height() / 2);  // the glyph's half
    int shadows = 0;
    int engraved = 0;
    for (int y = g.top(); y < g.bottom(); ++y)
        for (int x = g.left(); x < g.right(); ++x) {
            if (shot.pixel(x, y) != kShadow)
                continue;
            ++shadows;
            if (shot.pixel(x + 1, y + 1) == kHighlight)
                ++engraved;
        }
    EXPECT_GE(shadows, 40);  // the arrow's ink
    EXPECT_GE(engraved, 5);  // its lower right edge

    // The popup under the combo edit with its one-pixel border, and the list at its right end.
    auto* combo = page->findChild<TCustomComboEdit*>(QStringLiteral("combo"));
    ASSERT_NE(combo, nullptr);
    ASSERT_TRUE(combo->PopupVisible());
    const QPoint popupCorner = page->mapFromGlobal(combo->Popup()->mapToGlobal(QPoint()));
    EXPECT_EQ(popupCorner, combo->geometry().bottomLeft() + QPoint(0, 1));
    EXPECT_EQ(shot.pixel(popupCorner), kFrame);
    EXPECT_EQ(shot.pixel(popupCorner + QPoint(combo->Popup()->width() - 1, 30)), kFrame);
    auto* recent = page->findChild<TTextListBox*>(QStringLiteral("recent"));
    ASSERT_NE(recent, nullptr);
    EXPECT_GT(recent->horizontalScrollBar()->value(), 0);
    EXPECT_EQ(recent->horizontalScrollBar()->value(), recent->horizontalScrollBar()->maximum());
    combo->PopupCloseUp(combo->Popup(), false);
}
