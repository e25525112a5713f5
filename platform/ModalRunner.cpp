// The program's modal runner; see ModalRunner.h.
#include "platform/ModalRunner.h"

#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>

namespace velmoran {

namespace {

// Ends the local loop when the window is hidden for good (closed) or destroyed; a minimised
// window stays visible and keeps the loop running.
class CloseWatcher : public QObject {
public:
    CloseWatcher(QWidget& window, QEventLoop& loop) : window_(&window), loop_(loop)
    {
        window.installEventFilter(this);
        connect(&window, &QObject::destroyed, &loop, &QEventLoop::quit);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && event->type() == QEvent::Hide && !window_->isVisible())
            loop_.quit();
        return false;
    }

private:
    QPointer<QWidget> window_;
    QEventLoop& loop_;
};

class ScreenModalRunner : public ModalRunner {
public:
    int Run(QDialog& dialog) override { return dialog.exec(); }

    void Run(QWidget& window) override
    {
        QPointer<QWidget> guard(&window);
        QEventLoop loop;
        CloseWatcher watcher(window, loop);
        window.setWindowModality(Qt::ApplicationModal);
        window.show();
        if (guard && guard->isVisible())
            loop.exec();
        if (guard)
            guard->removeEventFilter(&watcher);
    }
};

ModalRunner*& Installed()
{
    static ModalRunner* runner = nullptr;
    return runner;
}

}  // namespace

ModalRunner& Modals()
{
    static ScreenModalRunner screen;
    ModalRunner* runner = Installed();
    return runner ? *runner : screen;
}

ModalRunner* SetModalRunner(ModalRunner* runner)
{
    ModalRunner* previous = Installed();
    Installed() = runner;
    return previous;
}

}  // namespace velmoran
