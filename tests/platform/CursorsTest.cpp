// The cursors the viewer and the controls share: each drawn with its hot spot where the pointer
// acts (the hand's finger tip, the middle of the pan cursors), and the wait cursor shown over the
// application only while it lives.
#include "platform/Cursors.h"
#include "tests/support/TestApp.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPixmap>

using namespace velmoran;

TEST(Cursors, HotSpotsAndDrawings)
{
    velmoran::testing::App();
    EXPECT_EQ(ViewerCursor(TViewerCursor::Hand).hotSpot(), QPoint(6, 0));
    for (TViewerCursor pan : {TViewerCursor::Pan, TViewerCursor::PanUp, TViewerCursor::PanDown})
        EXPECT_EQ(ViewerCursor(pan).hotSpot(), QPoint(9, 9));
    const QImage pan = ViewerCursor(TViewerCursor::Pan).pixmap().toImage();
    EXPECT_FALSE(pan.isNull());
    EXPECT_NE(pan, ViewerCursor(TViewerCursor::PanUp).pixmap().toImage());
    EXPECT_NE(ViewerCursor(TViewerCursor::PanUp).pixmap().toImage(),
              ViewerCursor(TViewerCursor::PanDown).pixmap().toImage());
    // Made once: every call hands out the same cursor.
    EXPECT_EQ(&ViewerCursor(TViewerCursor::Hand), &ViewerCursor(TViewerCursor::Hand));
}

TEST(Cursors, TheWaitCursorLastsAsLongAsItsObject)
{
    velmoran::testing::App();
    {
        TWaitCursor wait;
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
