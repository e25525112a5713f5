// The gallery's "captions" page, taken as a picture into the build's artifacts for a person to
// look at, and checked where a fault would show first: the message anchor's blue underline and
// the dot of the checked classic radio button.
#include "tests/support/TestApp.h"

#include "controls/HtmlLabel.h"
#include "controls/HtmlRadioButton.h"
#include "tools/gallery/GalleryPages.h"

#include <gtest/gtest.h>

#include <QDir>

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
