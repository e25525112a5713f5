// The gallery's "grid" page, taken as a picture into the build's artifacts: the acid-capacity
// grid shows the pH on yellow and the remaining acid capacity in the grid's colour, and the demo
// grid's editor stands open over its right-aligned cell.
#include "tests/support/TestApp.h"

#include "controls/AlignedGrid.h"
#include "platform/SystemColors.h"
#include "tools/gallery/GalleryPages.h"

#include <gtest/gtest.h>

#include <QDir>

using namespace velmoran;

TEST(AlignedGridGallery, ThePhCellIsYellowAndTheRemainingCapacityPlain)
{
    velmoran::testing::App();
    std::unique_ptr<QWidget> page = gallery::MakePage("grid");
    ASSERT_TRUE(page);
    const QImage shot = gallery::TakeShot(*page);
    QDir().mkpath(QStringLiteral(VELMORAN_ARTIFACTS "/controls"));
    EXPECT_TRUE(shot.save(QStringLiteral(VELMORAN_ARTIFACTS "/controls/grid.png")));

    auto* balance = page->findChild<TAlignedGrid*>(QStringLiteral("balance"));
    ASSERT_NE(balance, nullptr);
    EXPECT_EQ(balance->Cells(1, 7), "6,32");
    EXPECT_EQ(balance->Cells(0, 0), "Säurekapazität im Zulauf");
    // A pixel right of the texts, inside each value cell.
    auto pixel = [&](int col, int row) {
        const TRect r = balance->CellRect(col, row);
        const QPoint at = balance->viewport()->mapTo(page.get(), QPoint(r.Right - 3, r.Bottom - 3));
        return shot.pixel(at) & 0xFFFFFF;
    };
    EXPECT_EQ(pixel(1, 7), 0xFFFF00u);
    // The grid's colour, red in the low byte as the picture's blue.
    const ColorRef color = ColorToRGB(balance->Color());
    EXPECT_EQ(pixel(1, 6), static_cast<unsigned>(RedOf(color) << 16 | GreenOf(color) << 8 | BlueOf(color)));

    auto* demo = page->findChild<TAlignedGrid*>(QStringLiteral("demo"));
    ASSERT_NE(demo, nullptr);
    EXPECT_TRUE(demo->EditorMode());
    EXPECT_EQ(demo->Editor()->Alignment(), aligned::agRight);
}
