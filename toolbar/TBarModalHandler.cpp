// The menu mode on an application event filter, and the viewers' mouse handlers it calls; see
// TBarModalHandler.h.
#include "toolbar/TBarModalHandler.h"

#include "platform/AppServices.h"
#include "platform/NonClientWidget.h"
#include "platform/ShortCut.h"
#include "platform/SystemParams.h"
#include "platform/core/ScopeExit.h"
#include "toolbar/TBarAccessible.h"
#include "toolbar/TBarPopupWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>
#include <QWidget>

#include <optional>

namespace velmoran {

namespace {

TBarModalHandler* activeHandler = nullptr;
// The last mouse position a step saw; unset forces the next step to look again.
std::optional<QPoint> lastMousePos;
// The position of the mouse event the mode is handling, while it does.
std::optional<QPoint> handledEventPoint;

QPoint GlobalPointOf(const QSinglePointEvent& event)
{
    return event.globalPosition().toPoint();
}

QRect ViewerRect(const TBarItemViewer& viewer)
{
    const TRect& r = viewer.BoundsRect;
    return QRect(r.Left, r.Top, r.Width(), r.Height());
}

bool IsRootToolbarView(const TBarView& view)
{
    return !view.ParentView() && !view.IsPopup();
}

}  // namespace

// --- geometry of the chain ----------------------------------------------------------------------

QPoint ViewPointFromGlobal(const TBarView& view, QPoint global)
{
    QWidget* window = view.Window();
    if (!window)
        return global;
    QPoint p = window->mapFromGlobal(global);
    if (dynamic_cast<TBarPopupWindow*>(window))
        return p - QPoint(TBarPopupWindow::kFrame, TBarPopupWindow::kFrame);
    if (auto* framed = dynamic_cast<NonClientWidget*>(window))
        return framed->WindowToClient(p);
    return p;
}

bool ViewWindowContains(const TBarView& view, QPoint global)
{
    QWidget* window = view.Window();
    if (!window || !window->isVisible())
        return false;
    const QPoint p = window->mapFromGlobal(global);
    if (auto* framed = dynamic_cast<NonClientWidget*>(window))
        return framed->ClientRect().contains(p);
    return window->rect().contains(p);
}

TBarView* ChainViewAt(TBarView& root, QPoint global)
{
    std::vector<TBarView*> chain;
    for (TBarView* view = &root; view; view = view->OpenViewerView())
        chain.push_back(view);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        if (ViewWindowContains(**it, global))
            return *it;
    return nullptr;
}

void TrackMouse(TBarView& view, TBarView* under, QPoint global, bool forced)
{
    view.SetMouseInside(under == &view);
    const QPoint p = ViewPointFromGlobal(view, global);
    if (view.MouseInside() && (forced || view.Selected()))
        view.SetSelected(view.ViewerFromPoint(TPoint{p.x(), p.y()}), true);
    if (!view.IsPopup() || (!view.ShowUpArrow() && !view.ShowDownArrow()))
        return;
    QWidget* window = view.Window();
    const int clientHeight = window ? window->height() - 2 * TBarPopupWindow::kFrame : 0;
    if (view.MouseInside() && view.ShowDownArrow() && p.y() >= clientHeight - kScrollBandHeight) {
        view.StopTimer(2);
        if (!view.TimerRunning(3))
            view.StartTimer(3);
    } else if (view.MouseInside() && view.ShowUpArrow() && p.y() < kScrollBandHeight) {
        view.StopTimer(3);
        if (!view.TimerRunning(2))
            view.StartTimer(2);
    } else {
        view.StopTimer(2);
        view.StopTimer(3);
    }
}

namespace {

// The widget under a global point: the top-level window there (menus first), then its child.
QWidget* WidgetAtGlobal(QPoint global)
{
    if (QWidget* found = QApplication::widgetAt(global))
        return found;
    QWidget* window = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() && top->geometry().contains(global) &&
            (!window || dynamic_cast<TBarPopupWindow*>(top)))
            window = top;
    if (!window)
        return nullptr;
    QWidget* child = window->childAt(window->mapFromGlobal(global));
    return child ? child : window;
}

struct MouseTarget {
    TBarView* View = nullptr;
    TBarItemViewer* Viewer = nullptr;
};

MouseTarget FindMouseTarget(TBarView& root, QPoint global)
{
    for (TBarView* view = &root; view; view = view->OpenViewerView())
        if (view->Captured())
            return {view, view->Selected()};
    MouseTarget target;
    for (TBarView* view = &root; view; view = view->OpenViewerView()) {
        if (TBarItemViewer* selected = view->Selected()) {
            const QPoint p = ViewPointFromGlobal(*view, global);
            if (ViewWindowContains(*view, global) && ViewerRect(*selected).contains(p))
                return {view, selected};
        }
        if (!target.View && ViewWindowContains(*view, global))
            target.View = view;
    }
    return target;
}

}  // namespace

// --- the mode -----------------------------------------------------------------------------------

TBarModalHandler* TBarModalHandler::Active()
{
    return activeHandler;
}

void TBarModalHandler::ForgetMousePosition()
{
    lastMousePos.reset();
}

QPoint TBarModalHandler::CurrentMessagePoint()
{
    return handledEventPoint ? *handledEventPoint : AppServices::Instance().GetMessagePoint();
}

TBarModalHandler::TBarModalHandler(TBarView& view, int /*options*/)
    : view_(&view), window_(view.Window()), hintTimer_(new QTimer(this))
{
    hintTimer_->setSingleShot(true);
    connect(hintTimer_, &QTimer::timeout, this, [this] { ShowHint(); });
}

TBarModalHandler::~TBarModalHandler()
{
    Finish(true);
}

void TBarModalHandler::EnterToolbarLoop(TBarView& view, int options)
{
    if (view.Tracking() || activeHandler)
        return;
    auto* handler = new TBarModalHandler(view, options);
    activeHandler = handler;
    bool started = false;
    const ScopeExit guard([&] {
        if (!started)
            handler->Finish(true);
    });
    handler->Start(options);
    started = true;
}

void TBarModalHandler::Start(int options)
{
    TBarView& view = *view_;
    // 1. The handler takes the mouse and the arrow cursor.
    lastMousePos = AppServices::Instance().GetMessagePoint();
    if (window_)
        window_->grabMouse();
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    cursorSet_ = true;
    // Accessibility clients hear that a menu starts.
    if (window_) {
        QAccessibleEvent event(window_.data(), QAccessible::MenuStart);
        NotifyAccessibleEvent(event);
        announced_ = true;
    }
    // 2. The loop's start.
    const bool cues = view.KeyboardCuesShown();
    view.SetTracking(true);
    view.SetKeyboardCuesShown(cues);
    view.DoneAction() = TBarDoneActionData{};
    view.SetModalHandler(this);
    view.AnnounceSelection();
    if (options & kLoopMouse) {
        if (TBarItemViewer* selected = view.Selected()) {
            const QPoint p = ViewPointFromGlobal(view, *lastMousePos) - ViewerRect(*selected).topLeft();
            bool discarded = false;
            selected->MouseDown(Qt::NoModifier, false, p.x(), p.y(), discarded);
        }
        mouseDownOnMenu_ = false;
    } else if (options & kLoopOpenAtOnce) {
        view.ExecuteSelected(!(options & kLoopNoPriority));
    }
    activeWindow_ = QApplication::activeWindow();
    if (!activeWindow_ || dynamic_cast<TBarPopupWindow*>(activeWindow_.data()))
        activeWindow_ = window_ ? window_->window() : nullptr;
    qApp->installEventFilter(this);
    CheckContinue();
}

TBarView* TBarModalHandler::DeepestView() const
{
    TBarView* view = view_;
    while (view && view->OpenViewerView())
        view = view->OpenViewerView();
    return view;
}

void TBarModalHandler::CheckContinue()
{
    if (finished_)
        return;
    // A menu window that the platform made active is no other window, and neither is none (leaving
    // the application deactivates it, which ends the mode by itself).
    QWidget* active = QApplication::activeWindow();
    const bool otherWindow = active && active != activeWindow_ && !(window_ && active == window_->window()) &&
                             !dynamic_cast<TBarPopupWindow*>(active);
    const bool cancelled = !view_ || !window_ || grabLost_ || otherWindow;
    if (cancelled || view_->DoneAction().DoneAction != TBarDoneActionData::tbdaNone)
        Finish(cancelled);
}

void TBarModalHandler::Finish(bool cancelled)
{
    if (finished_)
        return;
    finished_ = true;
    if (activeHandler == this)
        activeHandler = nullptr;
    qApp->removeEventFilter(this);
    if (window_ && QWidget::mouseGrabber() == window_)
        window_->releaseMouse();
    if (cursorSet_) {
        QApplication::restoreOverrideCursor();
        cursorSet_ = false;
    }
    hintTimer_->stop();
    if (hintViewer_)
        QToolTip::hideText();
    AppServices::Instance().SetHint({});
    if (announced_ && window_) {
        QAccessibleEvent event(window_.data(), QAccessible::MenuEnd);
        NotifyAccessibleEvent(event);
    }
    TBarDoneActionData done;
    if (view_) {
        TBarView& view = *view_;
        done = view.DoneAction();
        view.DoneAction() = TBarDoneActionData{};
        view.SetModalHandler(nullptr);
        view.SetTracking(false);
        for (int number = 0; number < 4; ++number)
            view.StopTimer(number);
        view.CloseChildPopups();
        view.SetOpenMode(false);
        view.CancelCapture();
        view.ShowKeyboardCues(false);
        view.SetSelected(nullptr);
    }
    if (cancelled)
        done = TBarDoneActionData{};
    deleteLater();
    // The done action runs after the mode, from the event loop.
    if (done.DoneAction == TBarDoneActionData::tbdaClickItem || done.DoneAction == TBarDoneActionData::tbdaHelpContext) {
        QPointer<TBarCustomItem> item(done.ClickItem);
        QTimer::singleShot(0, qApp, [done, item] {
            if (done.DoneAction == TBarDoneActionData::tbdaClickItem && !item)
                return;
            ProcessDoneAction(done, false);
        });
    }
}

bool TBarModalHandler::eventFilter(QObject* watched, QEvent* event)
{
    if (finished_)
        return false;
    // Another widget took the mouse (Qt tells the widget that loses it nothing).
    if (!window_ || QWidget::mouseGrabber() != window_) {
        grabLost_ = true;
        CheckContinue();
        return false;
    }
    bool consumed = false;
    std::optional<QPoint> point = handledEventPoint;
    if (event->isSinglePointEvent())
        point = GlobalPointOf(*static_cast<QSinglePointEvent*>(event));
    const ScopedValue<std::optional<QPoint>> handling(handledEventPoint, point);
    try {
        consumed = HandleEvent(watched, event);
    } catch (...) {
        Finish(true);
        throw;
    }
    return consumed;
}

bool TBarModalHandler::HandleEvent(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ApplicationDeactivate:
        grabLost_ = true;
        CheckContinue();
        return false;
    case QEvent::ApplicationStateChange:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
    case QEvent::ActivationChange:
        QTimer::singleShot(0, this, [this] { CheckContinue(); });
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (!watched->isWidgetType())
            return false;
        if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton &&
            static_cast<QMouseEvent*>(event)->button() != Qt::RightButton)
            return true;
        return MousePress(watched, *static_cast<QMouseEvent*>(event));
    case QEvent::MouseButtonRelease:
        if (!watched->isWidgetType())
            return false;
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            MouseRelease(*static_cast<QMouseEvent*>(event));
        AfterEvent();
        return true;
    case QEvent::MouseMove:
        if (!watched->isWidgetType())
            return false;
        MouseMove(*static_cast<QMouseEvent*>(event));
        AfterEvent();
        return true;
    case QEvent::Wheel:
        if (!watched->isWidgetType())
            return false;
        Wheel(*static_cast<QWheelEvent*>(event));
        AfterEvent();
        return true;
    case QEvent::KeyPress:
        if (!watched->isWidgetType())
            return false;
        Key(*static_cast<QKeyEvent*>(event));
        AfterEvent();
        return true;
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
        return watched->isWidgetType();
    default:
        return false;
    }
}

bool TBarModalHandler::MousePress(QObject* watched, QMouseEvent& event)
{
    TBarView& root = *view_;
    const QPoint global = GlobalPointOf(event);
    TBarView* under = ChainViewAt(root, global);
    const bool inPopup = under && under->IsPopup();
    // 4. A press outside the chain ends the mode and goes on to its target.
    bool passOn = !inPopup && (root.IsPopup() || under != &root);
    if (!passOn && !inPopup && event.button() == Qt::LeftButton) {
        TrackMouse(root, under, global, true);
        TBarItemViewer* selected = root.Selected();
        const QPoint p = ViewPointFromGlobal(root, global);
        passOn = !selected || !ViewerRect(*selected).contains(p) || selected->Item().HasStyle(istPassClicks);
    }
    if (passOn) {
        Finish(true);
        QWidget* target = WidgetAtGlobal(global);
        if (target && target != watched && watched == window_.data()) {
            QMouseEvent copy(event.type(), target->mapFromGlobal(event.globalPosition()), event.scenePosition(),
                             event.globalPosition(), event.button(), event.buttons(), event.modifiers());
            QApplication::sendEvent(target, &copy);
            return true;
        }
        return false;
    }
    if (event.button() != Qt::LeftButton)
        return true;
    // 5. A press inside the chain.
    QToolTip::hideText();
    mouseDownOnMenu_ = false;
    for (TBarView* view = &root; view; view = view->OpenViewerView())
        TrackMouse(*view, under, global, true);
    const MouseTarget target = FindMouseTarget(root, global);
    if (target.Viewer) {
        const QPoint p = ViewPointFromGlobal(*target.View, global) - ViewerRect(*target.Viewer).topLeft();
        target.Viewer->MouseDown(event.modifiers(), event.type() == QEvent::MouseButtonDblClick, p.x(), p.y(),
                                 mouseDownOnMenu_);
    }
    lastMousePos = global;
    AfterEvent();
    return true;
}

void TBarModalHandler::MouseRelease(QMouseEvent& event)
{
    TBarView& root = *view_;
    const QPoint global = GlobalPointOf(event);
    TBarView* under = ChainViewAt(root, global);
    for (TBarView* view = &root; view; view = view->OpenViewerView())
        TrackMouse(*view, under, global, false);
    const MouseTarget target = FindMouseTarget(root, global);
    if (target.Viewer) {
        const QPoint p = ViewPointFromGlobal(*target.View, global) - ViewerRect(*target.Viewer).topLeft();
        target.Viewer->MouseUp(p.x(), p.y(), mouseDownOnMenu_);
        return;
    }
    const bool staysOpen = (under && under != &root) || (under == &root && root.IsPopup());
    if (!staysOpen)
        root.DoneAction().DoneAction = TBarDoneActionData::tbdaCancel;
}

void TBarModalHandler::MouseMove(QMouseEvent& event)
{
    const QPoint global = GlobalPointOf(event);
    if (lastMousePos && *lastMousePos == global)
        return;
    lastMousePos = global;
    UpdateMouse(true);
    const MouseTarget target = FindMouseTarget(*view_, global);
    if (target.Viewer && !finished_) {
        const QPoint p = ViewPointFromGlobal(*target.View, global) - ViewerRect(*target.Viewer).topLeft();
        target.Viewer->MouseMove(p.x(), p.y());
    }
}

void TBarModalHandler::Wheel(QWheelEvent& event)
{
    const MouseTarget target = FindMouseTarget(*view_, event.globalPosition().toPoint());
    if (target.Viewer)
        target.Viewer->MouseWheel(event.angleDelta().y());
}

void TBarModalHandler::Key(QKeyEvent& event)
{
    // Qt reports Shift+Tab as a key of its own; the views know it as Tab with Shift. Alt, which
    // ends the mode, has no key code of its own in the shortcut table.
    const bool backtab = event.key() == Qt::Key_Backtab;
    const int code = backtab ? VK_TAB : event.key() == Qt::Key_Alt ? VK_MENU : KeyCodeOfQtKey(event.key());
    const Qt::KeyboardModifiers modifiers = backtab ? event.modifiers() | Qt::ShiftModifier : event.modifiers();
    const Qt::MouseButtons held = QApplication::mouseButtons();
    if ((held & Qt::LeftButton) && code != VK_F1)
        return;
    TBarView* deepest = DeepestView();
    if (!deepest)
        return;
    if (code != 0 && deepest->KeyDown(code, modifiers))
        return;
    const std::u32string text = event.text().toStdU32String();
    for (char32_t ch : text)
        if (ch >= 32 && !finished_ && view_ && view_->DoneAction().DoneAction == TBarDoneActionData::tbdaNone) {
            if (TBarView* view = DeepestView())
                view->CharInput(ch);
        }
}

void TBarModalHandler::UpdateMouse(bool moved)
{
    if (!view_ || !lastMousePos)
        return;
    TBarView& root = *view_;
    TBarView* under = ChainViewAt(root, *lastMousePos);
    // A move selects what it comes over; a look at a position that was forgotten only follows a
    // selection.
    for (TBarView* view = &root; view; view = view->OpenViewerView())
        TrackMouse(*view, under, *lastMousePos, moved);
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (TBarView* deepest = DeepestView(); deepest && deepest->Selected()) {
        const QPoint p = ViewPointFromGlobal(*deepest, *lastMousePos) - ViewerRect(*deepest->Selected()).topLeft();
        shape = deepest->Selected()->GetCursor(p.x(), p.y());
    }
    if (cursorSet_)
        QApplication::changeOverrideCursor(shape);
    RequestHint();
}

void TBarModalHandler::RequestHint()
{
    // The selection under the pointer, in a view that wants its hint (the deepest of the chain).
    TBarView* view = lastMousePos ? ChainViewAt(*view_, *lastMousePos) : nullptr;
    const TBarItemViewer* selected = view ? view->Selected() : nullptr;
    if (selected) {
        const QPoint p = ViewPointFromGlobal(*view, *lastMousePos);
        if (view->ViewerFromPoint(TPoint{p.x(), p.y()}) != selected || !view->HintWanted(*selected))
            selected = nullptr;
    }
    if (!selected) {
        hintTimer_->stop();
        if (hintViewer_)
            QToolTip::hideText();
        hintViewer_ = nullptr;
        return;
    }
    if (selected == hintViewer_ && (hintTimer_->isActive() || QToolTip::isVisible()))
        return;
    hintViewer_ = selected;
    // A hint that shows already follows the pointer to the next item at once, as tooltips do.
    hintTimer_->start(QToolTip::isVisible() ? 0 : GetHintPause());
}

void TBarModalHandler::ShowHint()
{
    // The root bar holds the mouse, so the application asks no popup for its hint itself: the
    // window under the resting pointer is asked as the application would.
    if (finished_ || !view_ || !lastMousePos)
        return;
    TBarView* under = ChainViewAt(*view_, *lastMousePos);
    QWidget* window = under ? under->Window() : nullptr;
    if (!window)
        return;
    QHelpEvent help(QEvent::ToolTip, window->mapFromGlobal(*lastMousePos), *lastMousePos);
    QCoreApplication::sendEvent(window, &help);
}

void TBarModalHandler::AfterEvent()
{
    CheckContinue();
    if (finished_ || !view_)
        return;
    if (!lastMousePos) {
        lastMousePos = QCursor::pos();
        UpdateMouse(false);
    }
    // The status line shows the long hint of the deepest selection.
    std::string hint;
    for (TBarView* view = DeepestView(); view; view = view->ParentView())
        if (TBarItemViewer* selected = view->Selected()) {
            const std::string& full = selected->Item().Hint();
            const auto bar = full.find('|');
            hint = bar == std::string::npos ? full : full.substr(bar + 1);
            break;
        }
    AppServices::Instance().SetHint(hint);
    CheckContinue();
}

// --- the viewers' mouse handlers ----------------------------------------------------------------

void TBarItemViewer::MouseDown(Qt::KeyboardModifiers /*shift*/, bool doubleClick, int x, int y,
                               bool& mouseDownOnMenu)
{
    TBarView& view = View();
    TBarCustomItem& item = Item();
    if (!item.Enabled()) {
        if (IsRootToolbarView(view))
            view.DoneAction().DoneAction = TBarDoneActionData::tbdaCancel;
        return;
    }
    if (!IsPtInButtonPart(x, y)) {
        const bool wasOpen = view.OpenViewer() == this;
        const bool opened = view.OpenChildPopup(false);
        if (opened && wasOpen && IsRootToolbarView(view))
            mouseDownOnMenu = true;
        if (opened && doubleClick && !item.HasStyle(istSplitButton))
            if (TBarView* child = view.OpenViewerView())
                for (int i = 0; i < child->ViewerCount(); ++i) {
                    TBarItemViewer* candidate = child->Viewers(i);
                    const TBarCustomItem& c = candidate->Item();
                    if ((candidate->Show || candidate->Clipped) && (c.EffectiveOptions() & tboDefault) &&
                        c.HasStyle(istSelectable) && c.Enabled() && c.Visible()) {
                        child->SetSelected(candidate, false);
                        child->ExecuteSelected(true);
                        break;
                    }
                }
        return;
    }
    if (IsToolbarStyle()) {
        view.CloseChildPopupsByKeyboard();
        view.SetCapture();
        view.InvalidateViewer(*this);
    }
}

void TBarItemViewer::MouseUp(int x, int y, bool mouseWasDownOnMenu)
{
    TBarView& view = View();
    const bool wasCaptured = view.Captured();
    view.CancelCapture();
    const bool over = view.Selected() == this && x >= 0 && y >= 0 && x < BoundsRect.Width() && y < BoundsRect.Height();
    if (over && Item().Enabled() && !Item().HasStyle(istPassClicks)) {
        if (Item().HasStyle(istSubmenuKind) && !IsPtInButtonPart(x, y)) {
            if (mouseWasDownOnMenu && IsRootToolbarView(view))
                view.DoneAction().DoneAction = TBarDoneActionData::tbdaCancel;
            return;
        }
        if (IsToolbarStyle() && !wasCaptured) {
            view.InvalidateViewer(*this);
            return;
        }
        if (Execute())
            view.GivePriority(this);
        return;
    }
    if (IsRootToolbarView(view))
        view.DoneAction().DoneAction = TBarDoneActionData::tbdaCancel;
}

}  // namespace velmoran
