// The event types the controls share: a notification naming its sender, and mouse button and
// move events with the modifiers and the point in the sender's coordinates.
#pragma once

#include <Qt>

#include <functional>

class QWidget;

namespace velmoran {

using TNotifyEvent = std::function<void(QWidget* sender)>;
using TMouseEvent =
    std::function<void(QWidget* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)>;
// A move of the mouse over a control: the buttons held, the modifiers and the point.
using TControlMouseMoveEvent =
    std::function<void(QWidget* sender, Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int x, int y)>;

}  // namespace velmoran
