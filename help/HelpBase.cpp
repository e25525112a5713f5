// Posted messages as custom events; see HelpBase.h.
#include "help/HelpBase.h"

#include <QCoreApplication>

namespace velmoran {

namespace {

class TMessageEvent : public QEvent {
public:
    TMessageEvent(QEvent::Type type, const TMessage& message) : QEvent(type), Message(message) {}
    TMessage Message;
};

}  // namespace

QEvent::Type TehsBase::MessageEventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void TehsBase::PostMessage(unsigned msg, std::int64_t wParam, std::int64_t lParam)
{
    QCoreApplication::postEvent(this, new TMessageEvent(MessageEventType(), TMessage{msg, wParam, lParam, 0}));
}

bool TehsBase::event(QEvent* event)
{
    if (event->type() != MessageEventType())
        return Component::event(event);
    WndProc(static_cast<TMessageEvent*>(event)->Message);
    return true;
}

}  // namespace velmoran
