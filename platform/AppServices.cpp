// The shared application services; see AppServices.h.
#include "platform/AppServices.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QCursor>
#include <QPointer>

namespace velmoran {

AppServices& AppServices::Instance()
{
    // Parented to the application, so it goes with it; a later application gets a new one.
    static QPointer<AppServices> instance;
    if (!instance)
        instance = new AppServices();
    return *instance;
}

AppServices::AppServices() : QObject(QCoreApplication::instance())
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

void AppServices::SetHint(const std::string& hint)
{
    if (hint_ == hint)
        return;
    hint_ = hint;
    hintLinks_.Notify();
}

void AppServices::Beep()
{
    if (BeepHook)
        BeepHook();
    else
        QApplication::beep();
}

bool AppServices::HelpCommand(int command, long long data)
{
    bool callHelp = true;
    bool result = false;
    if (OnHelp)
        result = OnHelp(command, data, callHelp);
    if (!callHelp)
        return result;
    return HelpEngine ? HelpEngine(HelpFile, command, data) : false;
}

bool AppServices::HelpContext(long long context)
{
    return HelpCommand(HELP_CONTEXT, context);
}

bool AppServices::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
        messagePoint_ = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        messagePoint_ = QCursor::pos();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace velmoran
