// The event types the controls share: a notification naming its sender, and a mouse button event
// with the modifiers and the point in the sender's coordinates.
#pragma once

#include <Qt>

#include <functional>

class QWidget;

namespace velmoran {

using TNotifyEvent = std::function<void(QWidget* sender)>;
using TMouseEvent =
    std::function<void(QWidget* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)>;

}  // namespace velmoran
