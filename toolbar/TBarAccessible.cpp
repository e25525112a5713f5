// The accessibility objects; see TBarAccessible.h.
#include "toolbar/TBarAccessible.h"

#include "toolbar/TBarCommon.h"
#include "toolbar/TBarModalHandler.h"
#include "toolbar/TBarPopupWindow.h"
#include "toolbar/TBarToolbar.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

#include <map>

namespace velmoran {

namespace {

// Deferred actions of the viewers.
constexpr int kActionExecute = 1;
constexpr int kActionSelect = 2;

const QString kClose = QStringLiteral("Close");
const QString kOpen = QStringLiteral("Open");
const QString kExecute = QStringLiteral("Execute");
const QString kPress = QStringLiteral("Press");

QWidget* ControlWidgetOf(const TBarItemViewer& viewer)
{
    auto* item = dynamic_cast<const TBarControlItem*>(&viewer.Item());
    return item ? qobject_cast<QWidget*>(item->Control()) : nullptr;
}

std::vector<TBarItemViewer*> AccessibleViewers(const TBarView& view)
{
    std::vector<TBarItemViewer*> list;
    for (int i = 0; i < view.ViewerCount(); ++i)
        if (view.Viewers(i)->IsAccessible())
            list.push_back(view.Viewers(i));
    return list;
}

std::map<const TBarItemViewer*, QAccessible::Id>& ViewerIds()
{
    static std::map<const TBarItemViewer*, QAccessible::Id> ids;
    return ids;
}

// The viewer whose open submenu a popup view is (nullptr for a bar, or before its opener
// recorded it).
TBarItemViewer* OpeningViewer(const TBarView& view)
{
    TBarView* opener = view.IsPopup() ? view.ParentView() : nullptr;
    return opener && opener->OpenViewerView() == &view ? opener->OpenViewer() : nullptr;
}

QAccessibleInterface* Factory(const QString& /*className*/, QObject* object)
{
    if (auto* toolbar = dynamic_cast<TBarCustomToolbar*>(object))
        return new TBarViewAccessible(toolbar, toolbar->View());
    if (auto* popup = dynamic_cast<TBarPopupWindow*>(object))
        return new TBarViewAccessible(popup, popup->View());
    return nullptr;
}

void RunDeferred(TBarItemViewer& viewer, int code)
{
    TBarView& view = viewer.View();
    if (code == kActionSelect) {
        // The keyboard's menu mode on the selected viewer.
        if (!view.RootView()->Tracking() && !view.ParentView() && view.Selected() == &viewer)
            TBarModalHandler::EnterToolbarLoop(view, 0);
        return;
    }
    if (code != kActionExecute)
        return;
    if (view.OpenViewer() == &viewer) {
        view.CloseChildPopups();
        if (!view.IsPopup() && view.Tracking())
            view.RootView()->DoneAction().DoneAction = TBarDoneActionData::tbdaCancel;
        if (TBarModalHandler* handler = view.RootView()->ModalHandler())
            handler->CheckContinue();
        return;
    }
    view.SetSelected(&viewer, false);
    view.ScrollSelectedIntoView();
    if (!view.RootView()->Tracking() && !view.IsPopup()) {
        TBarModalHandler::EnterToolbarLoop(view, kLoopOpenAtOnce);
        return;
    }
    view.ExecuteSelected(true);
    if (TBarModalHandler* handler = view.RootView()->ModalHandler())
        handler->CheckContinue();
}

}  // namespace

void InstallToolbarAccessibility()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(Factory);
    TBarItemViewer::DeferredActionHandler() = RunDeferred;
}

TBarAccessibleObserver& AccessibleEventObserver()
{
    static TBarAccessibleObserver observer;
    return observer;
}

void NotifyAccessibleEvent(QAccessibleEvent& event)
{
    if (const TBarAccessibleObserver& observer = AccessibleEventObserver())
        observer(event);
    if (QAccessible::isActive())
        QAccessible::updateAccessibility(&event);
}

QAccessibleInterface* AccessibleOfViewer(TBarView& view, TBarItemViewer& viewer)
{
    if (QWidget* control = ControlWidgetOf(viewer))
        return QAccessible::queryAccessibleInterface(control);
    auto& ids = ViewerIds();
    if (const auto it = ids.find(&viewer); it != ids.end()) {
        QAccessibleInterface* known = QAccessible::accessibleInterface(it->second);
        auto* object = dynamic_cast<TBarViewerAccessible*>(known);
        if (object && object->isValid() && object->Viewer() == &viewer)
            return object;
        ids.erase(it);
    }
    auto* object = new TBarViewerAccessible(view, viewer);
    ids[&viewer] = QAccessible::registerAccessibleInterface(object);
    return object;
}

// --- the view -----------------------------------------------------------------------------------

TBarViewAccessible::TBarViewAccessible(QWidget* window, TBarView& view)
    : QAccessibleWidget(window, QAccessible::ToolBar), view_(&view)
{
}

bool TBarViewAccessible::isValid() const
{
    return view_ && QAccessibleWidget::isValid();
}

QAccessible::Role TBarViewAccessible::role() const
{
    if (!view_)
        return QAccessible::NoRole;
    if (view_->IsPopup())
        return QAccessible::PopupMenu;
    return view_->IsMenuBar() ? QAccessible::MenuBar : QAccessible::ToolBar;
}

QString TBarViewAccessible::text(QAccessible::Text t) const
{
    if (!isValid())
        return {};
    if (t == QAccessible::Name) {
        // Named after what the user opened: a chevron's menu after the chevron, not after the bar
        // whose items it shows.
        if (const TBarItemViewer* opening = OpeningViewer(*view_))
            if (const std::string caption = StripAccelChars(opening->GetCaptionText()); !caption.empty())
                return QString::fromStdString(caption);
        return widget()->windowTitle().isEmpty() ? widget()->objectName() : widget()->windowTitle();
    }
    if (t == QAccessible::Accelerator && view_->IsMenuBar())
        return QStringLiteral("Alt");
    return {};
}

int TBarViewAccessible::childCount() const
{
    return isValid() ? static_cast<int>(AccessibleViewers(*view_).size()) : 0;
}

QAccessibleInterface* TBarViewAccessible::child(int index) const
{
    if (!isValid())
        return nullptr;
    const auto viewers = AccessibleViewers(*view_);
    if (index < 0 || index >= static_cast<int>(viewers.size()))
        return nullptr;
    return AccessibleOfViewer(*view_, *viewers[index]);
}

int TBarViewAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    if (!isValid() || !child)
        return -1;
    const auto viewers = AccessibleViewers(*view_);
    for (int i = 0; i < static_cast<int>(viewers.size()); ++i) {
        if (auto* object = dynamic_cast<const TBarViewerAccessible*>(child); object && object->Viewer() == viewers[i])
            return i;
        if (QWidget* control = ControlWidgetOf(*viewers[i]); control && child->object() == control)
            return i;
    }
    return -1;
}

QAccessibleInterface* TBarViewAccessible::parent() const
{
    if (!isValid())
        return nullptr;
    if (TBarItemViewer* opening = OpeningViewer(*view_))
        return AccessibleOfViewer(*view_->ParentView(), *opening);
    return QAccessibleWidget::parent();
}

QAccessibleInterface* TBarViewAccessible::childAt(int x, int y) const
{
    if (!isValid())
        return nullptr;
    const QPoint p = QPoint(x, y) - ViewScreenOrigin(*view_);
    TBarItemViewer* viewer = view_->ViewerFromPoint(TPoint{p.x(), p.y()});
    return viewer && viewer->IsAccessible() ? AccessibleOfViewer(*view_, *viewer) : nullptr;
}

// --- a viewer -----------------------------------------------------------------------------------

TBarViewerAccessible::TBarViewerAccessible(TBarView& view, TBarItemViewer& viewer) : view_(&view), viewer_(&viewer) {}

TBarItemViewer* TBarViewerAccessible::Viewer() const
{
    return isValid() ? viewer_ : nullptr;
}

bool TBarViewerAccessible::isValid() const
{
    return view_ && !view_->Destroying() && view_->IndexOf(viewer_) >= 0;
}

QWindow* TBarViewerAccessible::window() const
{
    if (!isValid() || !view_->Window())
        return nullptr;
    return view_->Window()->window()->windowHandle();
}

QAccessibleInterface* TBarViewerAccessible::parent() const
{
    if (!isValid() || !view_->Window())
        return nullptr;
    return QAccessible::queryAccessibleInterface(view_->Window());
}

int TBarViewerAccessible::childCount() const
{
    return isValid() && view_->OpenViewer() == viewer_ && view_->OpenViewerWindow() ? 1 : 0;
}

QAccessibleInterface* TBarViewerAccessible::child(int index) const
{
    if (index != 0 || childCount() != 1)
        return nullptr;
    return QAccessible::queryAccessibleInterface(view_->OpenViewerWindow());
}

int TBarViewerAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    return childCount() == 1 && child && child->object() == view_->OpenViewerWindow() ? 0 : -1;
}

QAccessibleInterface* TBarViewerAccessible::childAt(int, int) const
{
    return nullptr;
}

QString TBarViewerAccessible::text(QAccessible::Text t) const
{
    if (!isValid())
        return {};
    const std::string caption = viewer_->GetCaptionText();
    if (t == QAccessible::Name) {
        std::string name = StripAccelChars(caption);
        if (!viewer_->IsToolbarStyle())
            if (const std::string shortCut = viewer_->Item().GetShortCutText(); !shortCut.empty())
                name += "\t" + shortCut;
        return QString::fromStdString(name);
    }
    if (t == QAccessible::Value) {
        std::string value;
        return viewer_->GetAccValue(value) ? QString::fromStdString(value) : QString();
    }
    if (t == QAccessible::Accelerator) {
        const char32_t accel = GetAccelChar(caption);
        if (accel == 0)
            return {};
        const QString key = QString::fromUcs4(std::u32string(1, CharLowerOf(accel)).c_str(), 1);
        return view_->IsPopup() ? key : QStringLiteral("Alt+") + key;
    }
    return {};
}

QRect TBarViewerAccessible::rect() const
{
    if (!isValid())
        return {};
    const TRect& r = viewer_->BoundsRect;
    return QRect(r.Left, r.Top, r.Width(), r.Height()).translated(ViewScreenOrigin(*view_));
}

QAccessible::Role TBarViewerAccessible::role() const
{
    if (!isValid())
        return QAccessible::NoRole;
    switch (viewer_->GetAccRole()) {
    case ROLE_SYSTEM_MENUITEM: return QAccessible::MenuItem;
    case ROLE_SYSTEM_PUSHBUTTON: return QAccessible::PushButton;
    case ROLE_SYSTEM_BUTTONMENU: return QAccessible::ButtonMenu;
    case ROLE_SYSTEM_SEPARATOR: return QAccessible::Separator;
    case ROLE_SYSTEM_CLIENT: return QAccessible::Client;
    default: return QAccessible::NoRole;
    }
}

namespace {

// The view's window can take an action: visible, enabled up its parents, and either in a menu
// mode or the active window (or inside it).
bool WindowAvailable(TBarView& view)
{
    QWidget* window = view.Window();
    if (!window || !window->isVisible() || !window->isEnabled())
        return false;
    if (view.RootView()->Tracking())
        return true;
    QWidget* active = QApplication::activeWindow();
    return active && (active == window->window() || active->isAncestorOf(window));
}

}  // namespace

QAccessible::State TBarViewerAccessible::state() const
{
    QAccessible::State state;
    if (!isValid())
        return state;
    TBarView& view = *view_;
    const TBarCustomItem& item = viewer_->Item();
    if (view.Selected() == viewer_) {
        state.hotTracked = true;
        if (view.RootView()->Tracking()) {
            state.focused = true;
            if (view.Captured() && view.MouseOverSelected())
                state.pressed = true;
        }
    }
    if (item.HasStyle(istOpensPopup))
        state.hasPopup = true;
    if (!viewer_->Show && !viewer_->Clipped)
        state.invisible = true;
    else if (WindowAvailable(view))
        state.focusable = true;
    if (!item.Enabled() || !item.HasStyle(istSelectable))
        state.disabled = true;
    if (item.Checked())
        state.checked = true;
    return state;
}

void* TBarViewerAccessible::interface_cast(QAccessible::InterfaceType type)
{
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
}

bool TBarViewerAccessible::CanDoAction() const
{
    if (!isValid() || !viewer_->IsAccessible())
        return false;
    const TBarCustomItem& item = viewer_->Item();
    return item.Enabled() && item.HasStyle(istSelectable) && WindowAvailable(*view_);
}

QString TBarViewerAccessible::DefaultAction() const
{
    if (!CanDoAction())
        return {};
    if (view_->OpenViewer() == viewer_)
        return kClose;
    if (viewer_->Item().HasStyle(istOpensPopup))
        return kOpen;
    return view_->IsPopup() || view_->IsMenuBar() ? kExecute : kPress;
}

bool TBarViewerAccessible::CanTakeFocus() const
{
    return isValid() && viewer_->Show && WindowAvailable(*view_);
}

QStringList TBarViewerAccessible::actionNames() const
{
    QStringList names;
    if (const QString action = DefaultAction(); !action.isEmpty())
        names.push_back(action);
    if (CanTakeFocus())
        names.push_back(setFocusAction());
    return names;
}

void TBarViewerAccessible::doAction(const QString& actionName)
{
    if (actionName == setFocusAction()) {
        TakeFocus();
        return;
    }
    if (actionName.isEmpty() || actionName != DefaultAction())
        return;
    viewer_->PostDeferredAction(kActionExecute);
}

bool TBarViewerAccessible::TakeFocus()
{
    if (!CanTakeFocus())
        return false;
    TBarView& view = *view_;
    view.SetSelected(viewer_, false);
    view.ScrollSelectedIntoView();
    if (!view.RootView()->Tracking() && !view.ParentView())
        viewer_->PostDeferredAction(kActionSelect);
    return true;
}

QStringList TBarViewerAccessible::keyBindingsForAction(const QString& actionName) const
{
    const QString key = text(QAccessible::Accelerator);
    return !key.isEmpty() && actionName == DefaultAction() ? QStringList{key} : QStringList();
}

}  // namespace velmoran
