// The command-key filter; see CommandKeys.h.
#include "platform/CommandKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>

namespace velmoran {

namespace {

// A key event's text has no setter; a class derived from the event may name the member, and the
// member pointer it gives works on every key event.
struct KeyEventText : QKeyEvent {
    static QString QKeyEvent::*Member() { return &KeyEventText::m_text; }
};

// Installed with the application, so it runs after the filters installed later (the menu bar's
// Alt+letter, an open menu's typed letters), which see the key as typed.
class TCommandKeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress)
            DropCommandText(static_cast<QKeyEvent&>(*event));
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

void InstallCommandKeys(QApplication& application)
{
    static QPointer<TCommandKeyFilter> filter;
    if (filter && filter->parent() == &application)
        return;
    filter = new TCommandKeyFilter(&application);
    application.installEventFilter(filter);
}

bool IsCommandKey(const QKeyEvent& key)
{
    return key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
}

void DropCommandText(QKeyEvent& key)
{
    if (IsCommandKey(key) && !key.text().isEmpty())
        (key.*KeyEventText::Member()).clear();
}

}  // namespace velmoran
