// The wheel filter of choice boxes; see WheelToFocus.h.
#include "platform/WheelToFocus.h"

#include <QEvent>
#include <QWidget>

namespace velmoran {

namespace {

// Lets a wheel event reach the widget only while it has the focus; otherwise the event, ignored,
// goes up to the parent as one the widget did not take.
class TWheelToFocusFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Wheel || static_cast<QWidget*>(watched)->hasFocus())
            return QObject::eventFilter(watched, event);
        event->ignore();
        return true;
    }
};

}  // namespace

void KeepWheelToFocus(QWidget& widget)
{
    // A wheel focus would hand the box the focus first and then the turn.
    if (widget.focusPolicy() == Qt::WheelFocus)
        widget.setFocusPolicy(Qt::StrongFocus);
    widget.installEventFilter(new TWheelToFocusFilter(&widget));
}

}  // namespace velmoran
