// The form base class and the idle update; see Form.h.
#include "platform/Form.h"

#include "platform/Application.h"
#include "platform/Action.h"
#include "platform/ThreadHooks.h"
#include "platform/core/ScopeExit.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

namespace velmoran {

namespace {

std::vector<Form*>& LiveForms()
{
    static std::vector<Form*> forms;
    return forms;
}

bool idleRunning = false;
// Set when the thread woke up; the next time the queue runs empty the forms are updated.
bool awoken = true;

// Hooks the idle update to the dispatcher of the GUI thread once.
void ConnectDispatcher()
{
    static QPointer<QAbstractEventDispatcher> connected;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher || connected == dispatcher)
        return;
    connected = dispatcher;
    QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, dispatcher, [] { awoken = true; });
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, dispatcher, [] {
        if (!awoken)
            return;
        awoken = false;
        RunIdleUpdate();
    });
}

bool BlockedByModal(const Form& form)
{
    const QWidget* modal = QApplication::activeModalWidget();
    return modal && modal != &form;
}

}  // namespace

Form::Form(QWidget* parent) : QWidget(parent, Qt::Window), layout_(new AlignLayout(*this))
{
    LiveForms().push_back(this);
    ConnectDispatcher();
}

Form::~Form()
{
    std::erase(LiveForms(), this);
    NotifyPreDestroy(*this);
}

void Form::UpdateActions()
{
    // Action has no meta-object of its own, so the children are sorted out by their C++ type.
    for (QObject* child : findChildren<QObject*>())
        if (auto* action = dynamic_cast<Action*>(child))
            action->Update();
    idleHandlers_.Notify();
}

void Form::RegisterDialogKeyHandler(QObject* owner, std::function<bool(QKeyEvent&)> handler)
{
    UnregisterDialogKeyHandler(owner);
    keyHandlers_.push_back({owner, std::move(handler)});
}

void Form::UnregisterDialogKeyHandler(QObject* owner)
{
    std::erase_if(keyHandlers_, [owner](const KeyHandler& h) { return h.Owner == owner; });
}

void Form::closeEvent(QCloseEvent* event)
{
    if (CloseQuery())
        event->accept();
    else
        event->ignore();
}

void Form::keyPressEvent(QKeyEvent* event)
{
    std::vector<KeyHandler> handlers = keyHandlers_;
    for (const KeyHandler& h : handlers) {
        if (h.Owner && h.Handler(*event)) {
            event->accept();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void Form::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void Form::dropEvent(QDropEvent* event)
{
    std::vector<std::string> files;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            files.push_back(url.toLocalFile().toStdString());
    event->acceptProposedAction();
    if (!files.empty() && OnDropFiles)
        OnDropFiles(*this, files);
}

QWidget* FormOf(const QWidget* widget)
{
    if (!widget)
        return nullptr;
    QWidget* window = widget->window();
    return dynamic_cast<Form*>(window) || qobject_cast<QDialog*>(window) ? window : nullptr;
}

void RunIdleUpdate()
{
    if (idleRunning)
        return;
    const ScopedValue<bool> running(idleRunning, true);
    std::vector<QPointer<Form>> forms(LiveForms().begin(), LiveForms().end());
    for (const QPointer<Form>& form : forms)
        if (form && form->isVisible() && !BlockedByModal(*form))
            RunGuarded([&form] { form->UpdateActions(); });
}

}  // namespace velmoran
