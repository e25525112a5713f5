// Hints placed at a point: the corner where the caller puts it, kept on the screen, and the
// pointer passing through the hint to the widget under it.
#include "platform/HintPlacement.h"
#include "tests/support/TestApp.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QToolTip>
#include <QWidget>
#include <QWindow>

using namespace velmoran;

// A hint over its own widget must not take the pointer from it (the widget would lose the
// pointer, and with it the hint, at once); one that would stand past the screen's edge is moved
// back just so far that it shows whole.
TEST(HintPlacement, AtTheCornerOnTheScreenAndTransparentToThePointer)
{
    velmoran::testing::App();
    QWidget widget;
    widget.setGeometry(100, 100, 200, 50);
    widget.show();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    ShowHintAt(screen.topLeft() + QPoint(120, 110), QStringLiteral("Zulauf"), &widget);
    QWidget* hint = ShownHintWindow();
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->pos(), screen.topLeft() + QPoint(120, 110));
    ASSERT_NE(hint->windowHandle(), nullptr);
    EXPECT_TRUE(hint->windowHandle()->flags() & Qt::WindowTransparentForInput);
    ShowHintAt(screen.bottomRight(), QStringLiteral("Ablauf"), &widget);
    EXPECT_EQ(hint->frameGeometry().bottomRight(), screen.bottomRight());
    ShowHintAt(screen.topLeft() - QPoint(30, 30), QStringLiteral("Ablauf"), &widget);
    EXPECT_EQ(hint->pos(), screen.topLeft());
    QToolTip::hideText();
}
