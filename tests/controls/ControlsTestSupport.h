// What the widget tests of the controls share: the application object with the fixed-metric
// test font as the screen's fonts (so that captions measure in plain arithmetic: an 8-point
// font is 11 pixels, characters 5 wide), and mouse, key and paint helpers.
#pragma once

#include "platform/Canvas.h"
#include "platform/TestFont.h"
#include "tests/support/TestApp.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

namespace velmoran::testing {

// The same fonts for one scope, for suites that are no ControlsTest.
struct ScopedTestFonts {
    ScopedTestFonts() { App(); }
    TestFontEngine Engine;
    ScopedScreenFonts Fonts{Engine};
};

class ControlsTest : public ::testing::Test {
protected:
    ControlsTest() : fonts_(engine_) { App(); }

    // A press, a release or a move (with the left button held when told) at a client point.
    static void Mouse(QWidget* widget, QEvent::Type type, int x, int y, bool held = false)
    {
        const QPointF local(x, y);
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons buttons = type == QEvent::MouseButtonPress || held ? Qt::LeftButton : Qt::NoButton;
        QMouseEvent event(type, local, widget->mapToGlobal(local), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }
    static void Key(QWidget* widget, QEvent::Type type, int key)
    {
        QKeyEvent event(type, key, Qt::NoModifier, key == Qt::Key_Space ? QStringLiteral(" ") : QString());
        QApplication::sendEvent(widget, &event);
    }

    TestFontEngine engine_;
    ScopedScreenFonts fonts_;
};

}  // namespace velmoran::testing
