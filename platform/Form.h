// The one base class of the program's windows that carry docks, toolbars and actions (the main
// window, the print preview and the developer tools' forms). A top-level QWidget, not a
// QMainWindow: the docks and toolbars are ours, laid out by the form's AlignLayout.
//
// What the form does for its windows:
//  - its destructor tells the thread hooks (hpPreDestroy) while the children are still whole;
//  - closing asks CloseQuery(); false keeps the window open;
//  - when the application has nothing left to do, UpdateActions() runs once per wake-up (never
//    re-entered) for every visible form that no modal window blocks: the actions the form owns
//    update themselves, then the registered idle handlers (the toolbars) are told;
//  - a key press that no child accepted is offered to the registered dialog-key handlers;
//  - files dropped from the desktop are handed to OnDropFiles when accepting them is switched on.
// Modal dialogs stay QDialogs; a form that must run modally is run by the modal runner.
#pragma once

#include "platform/AlignLayout.h"
#include "platform/ChangeLinks.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QKeyEvent;

namespace velmoran {

class Form : public QWidget {
public:
    explicit Form(QWidget* parent = nullptr);
    ~Form() override;

    // Asked before the window closes; the main window asks about unsaved changes here.
    virtual bool CloseQuery() { return true; }
    // The idle-time update of the actions; overrides call the base first.
    virtual void UpdateActions();

    // Told at every idle update while owner lives (the toolbars).
    void RegisterIdleHandler(QObject* owner, std::function<void()> handler) { idleHandlers_.Register(owner, std::move(handler)); }
    void UnregisterIdleHandler(QObject* owner) { idleHandlers_.Unregister(owner); }
    // Offered a key press no child accepted, in the order registered, until one answers true.
    void RegisterDialogKeyHandler(QObject* owner, std::function<bool(QKeyEvent&)> handler);
    void UnregisterDialogKeyHandler(QObject* owner);

    // The layout of the aligned children (docks, status bar, pages).
    AlignLayout& Layout() { return *layout_; }

    // Files dropped from the desktop: their local paths.
    void SetAcceptDroppedFiles(bool accept) { setAcceptDrops(accept); }
    std::function<void(Form& sender, const std::vector<std::string>& files)> OnDropFiles;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct KeyHandler {
        QPointer<QObject> Owner;
        std::function<bool(QKeyEvent&)> Handler;
    };
    AlignLayout* layout_;
    ChangeLinks idleHandlers_;
    std::vector<KeyHandler> keyHandlers_;
};

// The form a widget belongs to: its window when that is a Form or a dialog, else nullptr.
QWidget* FormOf(const QWidget* widget);

// The idle update of every visible form that no modal window blocks; the event dispatcher runs it
// when the queue has become empty. A call while one is running does nothing.
void RunIdleUpdate();

}  // namespace velmoran
