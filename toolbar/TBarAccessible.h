// The accessibility objects of toolbars, menu bars and popup menus: a view answers as a widget
// whose children are its viewers, each viewer with its role, name, keyboard shortcut, state,
// location, one default action ("Close", "Open", "Execute" or "Press") when it can be done, and
// "SetFocus", which selects the viewer (from outside a menu mode it starts the keyboard's).
// A control item answers with its widget's own object. An object whose view or viewer has gone
// answers isValid() false and nothing else.
#pragma once

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleWidget>
#include <QPointer>

#include <functional>
#include <string>

namespace velmoran {

class TBarItemViewer;
class TBarView;

// Installs the accessibility factory and the viewers' deferred-action handler (once).
void InstallToolbarAccessibility();

// The menus' events for accessibility clients go through here: to the platform's accessibility
// while it is active, and to the observer (tests record the events with it).
void NotifyAccessibleEvent(QAccessibleEvent& event);
using TBarAccessibleObserver = std::function<void(QAccessibleEvent& event)>;
TBarAccessibleObserver& AccessibleEventObserver();

// The view's object: a toolbar or a popup window. No accNavigate either, as Qt asks for none:
// first and last child are child(0) and child(childCount() - 1).
class TBarViewAccessible : public QAccessibleWidget {
public:
    TBarViewAccessible(QWidget* window, TBarView& view);
    bool isValid() const override;
    QAccessible::Role role() const override;
    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    // A popup's parent is the object of the item that opened it.
    QAccessibleInterface* parent() const override;
    TBarView* View() const { return view_; }

private:
    QPointer<TBarView> view_;
};

// One viewer's object. It has no accNavigate: Qt's accessibility has no such call; clients walk
// parent(), child() and indexOfChild() to the same neighbours.
class TBarViewerAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    TBarViewerAccessible(TBarView& view, TBarItemViewer& viewer);
    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

    TBarItemViewer* Viewer() const;
    // The default action's name when it can be done, else empty.
    QString DefaultAction() const;
    // Selects the viewer and brings it into view (the accessibility selection that takes the
    // focus); false when its window is not available or it is not shown.
    bool TakeFocus();

private:
    bool CanDoAction() const;
    bool CanTakeFocus() const;

    QPointer<TBarView> view_;
    TBarItemViewer* viewer_;
};

// The object of a viewer (the same one for the viewer's lifetime), or of its control's widget.
QAccessibleInterface* AccessibleOfViewer(TBarView& view, TBarItemViewer& viewer);

}  // namespace velmoran
