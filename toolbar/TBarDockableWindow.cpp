// The dockable window's properties, arrangement, closing and change of parent; the docked frame's
// painting, hit testing and mouse handling are in TBarDockedFrame.cpp.
#include "toolbar/TBarDockableWindow.h"

#include "platform/AlignLayout.h"
#include "platform/Application.h"
#include "platform/Form.h"
#include "platform/SystemColors.h"
#include "platform/SystemParams.h"
#include "platform/ThreadHooks.h"
#include "platform/core/ScopeExit.h"
#include "toolbar/TBarDragMode.h"
#include "toolbar/TBarFloatingWindow.h"

#include <QGuiApplication>
#include <QPointer>

#include <QMoveEvent>
#include <QResizeEvent>

#include <algorithm>
#include <exception>
#include <optional>
#include <utility>

namespace velmoran {

namespace {

// The form of a window, also of one floating in its tool window.
QWidget* FloatingFormOf(const TBarCustomDockableWindow* window)
{
    if (const auto* floating = dynamic_cast<const TBarFloatingWindowParent*>(window->parentWidget()))
        return floating->ParentForm();
    return FormOf(window);
}

std::optional<bool>& ApplicationActiveOverride()
{
    static std::optional<bool> active;
    return active;
}

// The window activated last: the platform tells a window that it becomes active, not which
// window lost the activation, and a floating window that becomes active needs to know.
QPointer<QWidget>& LastActivatedWindow()
{
    static QPointer<QWidget> window;
    return window;
}

// The one hook procedure of all dockable windows: floating windows follow their form's showing
// and the application's activation, and a floating window that becomes active hands the
// activation on where it should not keep it. The floating tool windows are children of their
// form and go with it, so a dying form only takes its floating windows off the list (and ends a
// drag of one).
void DockableWindowHook(THookProcType code, QWidget* wnd, std::uintptr_t wParam, std::intptr_t lParam)
{
    std::vector<TBarCustomDockableWindow*> windows = TBarCustomDockableWindow::FloatingWindowList();
    switch (code) {
    case THookProcType::hpSendActivateApp:
        ApplicationActiveOverride() = wParam != 0;
        [[fallthrough]];
    case THookProcType::hpSendActivate:
        if (code == THookProcType::hpSendActivate && wParam != 0 && wnd) {
            QPointer<QWidget> losing = std::exchange(LastActivatedWindow(), wnd);
            if (auto* floating = dynamic_cast<TBarFloatingWindowParent*>(wnd))
                floating->Activated(losing);
        }
        for (TBarCustomDockableWindow* window : windows)
            window->UpdateShowing();
        break;
    case THookProcType::hpSendWindowPosChanged:
        if (lParam & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED))
            for (TBarCustomDockableWindow* window : windows)
                if (QWidget* form = FloatingFormOf(window); window->FloatingMode() == TBarFloatingMode::fmOnTopOfParentForm && wnd
                                                            && form && (wnd == form || wnd->isAncestorOf(form)))
                    window->UpdateShowing();
        break;
    case THookProcType::hpPreDestroy:
        CancelModeOf(wnd);
        for (TBarCustomDockableWindow* window : windows)
            if (FloatingFormOf(window) == wnd)
                std::erase(TBarCustomDockableWindow::FloatingWindowList(), window);
        break;
    default:
        break;
    }
}

// A closing step that runs however the block ends. Ending an update arranges the docks, which
// calls the bars' code; should that raise while another exception is already on its way, the
// first one reaches the caller and the second is dropped.
template <typename Work>
class ClosingStep {
public:
    explicit ClosingStep(Work work) : work_(std::move(work)), pending_(std::uncaught_exceptions()) {}
    ~ClosingStep() noexcept(false)
    {
        if (std::uncaught_exceptions() == pending_) {
            work_();
            return;
        }
        try {
            work_();
        } catch (...) {
        }
    }
    ClosingStep(const ClosingStep&) = delete;
    ClosingStep& operator=(const ClosingStep&) = delete;

private:
    Work work_;
    int pending_;
};

const THookProcTypes kHookTypes = THookProcType::hpSendActivate | THookProcType::hpSendActivateApp
                                  | THookProcType::hpSendWindowPosChanged | THookProcType::hpPreDestroy;

}  // namespace

int DragHandleSize(bool closeButtonWhenDocked, TBarDragHandleStyle style)
{
    if (closeButtonWhenDocked)
        return 14;
    switch (style) {
    case TBarDragHandleStyle::dhDouble: return 9;
    case TBarDragHandleStyle::dhNone: return 0;
    default: return 6;
    }
}

int DragHandleOffset(bool closeButtonWhenDocked, TBarDragHandleStyle style)
{
    switch (style) {
    case TBarDragHandleStyle::dhDouble: return closeButtonWhenDocked ? 3 : 2;
    case TBarDragHandleStyle::dhNone: return 0;
    default: return closeButtonWhenDocked ? 5 : 1;
    }
}

bool TBarCustomDockableWindow::ApplicationActiveState()
{
    if (const std::optional<bool>& told = ApplicationActiveOverride())
        return *told;
    return QGuiApplication::applicationState() == Qt::ApplicationActive;
}

std::vector<TBarCustomDockableWindow*>& TBarCustomDockableWindow::FloatingWindowList()
{
    static std::vector<TBarCustomDockableWindow*> list;
    return list;
}

TBarCustomDockableWindow::TBarCustomDockableWindow() : NonClientWidget(nullptr), color_(SystemColor(COLOR_BTNFACE))
{
    setMouseTracking(true);
    InstallHookProc(this, DockableWindowHook, kHookTypes);
}

TBarCustomDockableWindow::~TBarCustomDockableWindow()
{
    destroying_ = true;
    CancelModeOf(this);
    std::erase(FloatingWindowList(), this);
    // The floating tool window goes with the window (later: this may run inside its event);
    // one that is taking the window along has already let go of it.
    if (floatParent_) {
        floatParent_->hide();
        floatParent_->deleteLater();
    }
    UninstallHookProc(this, DockableWindowHook);
    if (lastDock_)
        lastDock_->ForgetBar(this);
    if (TBarDock* dock = currentDock_) {
        dock->ForgetBar(this);
        currentDock_ = nullptr;
        // The other bars close up; a destructor hands what they raise to the application.
        if (dock->disableArrangeToolbars_ == 0)
            RunGuarded([dock] { dock->ArrangeToolbars(); });
    }
}

// --- properties ---

void TBarCustomDockableWindow::RearrangeDock()
{
    if (currentDock_)
        currentDock_->ArrangeToolbars();
}

void TBarCustomDockableWindow::SetAutoResize(bool value)
{
    if (value == autoResize_)
        return;
    autoResize_ = value;
    if (value)
        Arrange();
}

void TBarCustomDockableWindow::SetBorderStyle(TBarBorderStyle style)
{
    if (style == borderStyle_)
        return;
    borderStyle_ = style;
    RecalcNCArea();
}

void TBarCustomDockableWindow::SetCloseButtonWhenDocked(bool value)
{
    if (value == closeButtonWhenDocked_)
        return;
    closeButtonWhenDocked_ = value;
    RecalcNCArea();
}

void TBarCustomDockableWindow::SetDragHandleStyle(TBarDragHandleStyle style)
{
    if (style == dragHandleStyle_)
        return;
    dragHandleStyle_ = style;
    RecalcNCArea();
}

void TBarCustomDockableWindow::SetColor(ColorRef color)
{
    if (color == color_)
        return;
    color_ = color;
    update();
}

void TBarCustomDockableWindow::SetCurrentDock(TBarDock* dock)
{
    if (dock == currentDock_)
        return;
    SetParent(dock ? static_cast<QWidget*>(dock) : ParentForm());
}

void TBarCustomDockableWindow::SetDockPos(int value)
{
    if (value == dockPos_)
        return;
    dockPos_ = value;
    RearrangeDock();
}

void TBarCustomDockableWindow::SetDockRow(int value)
{
    if (value == dockRow_)
        return;
    dockRow_ = value;
    RearrangeDock();
}

void TBarCustomDockableWindow::SetFullSize(bool value)
{
    if (value == fullSize_)
        return;
    fullSize_ = value;
    RearrangeDock();
}

void TBarCustomDockableWindow::SetStretch(bool value)
{
    if (value == stretch_)
        return;
    stretch_ = value;
    RearrangeDock();
}

void TBarCustomDockableWindow::SetLastDock(TBarDock* dock)
{
    if (useLastDock_ && currentDock_)
        dock = currentDock_;
    if (dock == lastDock_)
        return;
    if (lastDock_ && lastDock_ != parentWidget())
        lastDock_->ChangeDockList(false, this);
    lastDock_ = dock;
    useLastDock_ = true;
    if (dock)
        dock->ChangeDockList(true, this);
}

void TBarCustomDockableWindow::SetCloseButton(bool value)
{
    if (closeButton_ == value)
        return;
    closeButton_ = value;
    if (TBarFloatingWindowParent* floating = FloatParent())
        floating->update();
}

void TBarCustomDockableWindow::SetFloatingMode(TBarFloatingMode mode)
{
    if (floatingMode_ == mode)
        return;
    floatingMode_ = mode;
    UpdateShowing();
}

void TBarCustomDockableWindow::SetHideWhenInactive(bool value)
{
    if (hideWhenInactive_ == value)
        return;
    hideWhenInactive_ = value;
    UpdateShowing();
}

void TBarCustomDockableWindow::SetResizable(bool value)
{
    if (resizable_ == value)
        return;
    resizable_ = value;
    RefitFloatingFrame();
}

void TBarCustomDockableWindow::SetShowCaption(bool value)
{
    if (showCaption_ == value)
        return;
    showCaption_ = value;
    RefitFloatingFrame();
    Arrange();
}

void TBarCustomDockableWindow::RefitFloatingFrame()
{
    TBarFloatingWindowParent* floating = FloatParent();
    if (!floating)
        return;
    floating->RecalcFrame();
    if (floating_ && floating == parentWidget())
        floating->SetClientSize(width(), height());
    floating->update();
}

void TBarCustomDockableWindow::SetUseLastDock(bool value)
{
    useLastDock_ = value;
    SetLastDock(value ? currentDock_ : nullptr);
}

QWidget* TBarCustomDockableWindow::ParentForm() const
{
    if (QWidget* form = FloatingFormOf(this); form && form != this)
        return form;
    throw EInvalidOperation("Element '" + objectName().toStdString() + "' hat kein übergeordnetes Fenster");
}

// --- arrangement ---

void TBarCustomDockableWindow::Arrange()
{
    if (disableArrange_ > 0 || !parentWidget()) {
        ArrangeNeeded = true;
        return;
    }
    ArrangeNeeded = false;
    const QPoint size = ArrangeControls(true, DockTypeOf(currentDock_, floating_), floating_, currentDock_);
    if (autoResize_ || Docked() || floating_)
        ChangeSize(size.x(), size.y());
}

void TBarCustomDockableWindow::EndArrange()
{
    if (--disableArrange_ == 0 && ArrangeNeeded)
        Arrange();
}

void TBarCustomDockableWindow::ChangeSize(int width, int height)
{
    if (currentDock_) {
        currentDock_->ArrangeToolbars();
        return;
    }
    if (floating_) {
        SetBounds(QRect(0, 0, width, height));
        return;
    }
    const QPoint nc = GetDockedNCAreaSize();
    QRect bounds = geometry();
    bounds.setSize(QSize(AnchoredLeftAndRight() ? bounds.width() : width + nc.x(),
                         AnchoredTopAndBottom() ? bounds.height() : height + nc.y()));
    ++IgnoreBoundsChange;
    const ScopeExit lower([this] { --IgnoreBoundsChange; });
    setGeometry(bounds);
}

namespace {

TAlign AlignmentOf(const QWidget& window)
{
    const AlignLayout* layout = AlignLayout::Of(window.parentWidget());
    return layout ? layout->AlignOf(window) : TAlign::alNone;
}

}  // namespace

bool TBarCustomDockableWindow::AnchoredLeftAndRight() const
{
    const TAlign align = AlignmentOf(*this);
    return align == TAlign::alTop || align == TAlign::alBottom || align == TAlign::alClient;
}

bool TBarCustomDockableWindow::AnchoredTopAndBottom() const
{
    const TAlign align = AlignmentOf(*this);
    return align == TAlign::alLeft || align == TAlign::alRight || align == TAlign::alClient;
}

void TBarCustomDockableWindow::SetBounds(const QRect& bounds)
{
    if (IgnoreBoundsChange == 0 && bounds.size() != size())
        SizeChanging(bounds.width(), bounds.height());
    if (auto* floating = dynamic_cast<TBarFloatingWindowParent*>(parentWidget()); floating && floating_) {
        // Floating, the window fills the tool window's client area.
        floating->SetClientSize(bounds.width(), bounds.height());
        floating->SetChildBounds(*this, QRect(QPoint(0, 0), bounds.size()));
        return;
    }
    if (auto* host = dynamic_cast<NonClientWidget*>(parentWidget()))
        host->SetChildBounds(*this, bounds);
    else
        setGeometry(bounds);
}

QPoint TBarCustomDockableWindow::GetDockedNCAreaSize() const
{
    if (!currentDock_)
        return {0, 0};
    QPoint size(4, 4);
    if (currentDock_->AllowDrag()) {
        const int handle = DragHandleSize(closeButtonWhenDocked_, dragHandleStyle_);
        if (currentDock_->Vertical())
            size.ry() += handle;
        else
            size.rx() += handle;
    }
    return size;
}

QPoint TBarCustomDockableWindow::ShrunkClientSize(QPoint fullSize, const TBarDock* dock) const
{
    if (!dock || ShrunkLength <= 0)
        return fullSize;
    const QPoint nc = GetDockedNCAreaSize();
    if (dock->Vertical())
        fullSize.setY(std::max(0, ShrunkLength - nc.y()));
    else
        fullSize.setX(std::max(0, ShrunkLength - nc.x()));
    return fullSize;
}

QPoint TBarCustomDockableWindow::GetFloatingBorderSize() const
{
    return resizable_ ? QPoint(kSizingFrame, kSizingFrame) : QPoint(kFixedFrame, kFixedFrame);
}

bool TBarCustomDockableWindow::IsPointOverControl(QPoint clientPoint) const
{
    const QPoint windowPoint = ClientToWindow(clientPoint);
    for (const QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!IsExplicitlyHidden(*child) && child->geometry().contains(windowPoint))
            return true;
    return false;
}

// --- closing ---

void TBarCustomDockableWindow::Close()
{
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(*this, canClose);
    if (!canClose)
        return;
    hide();
    if (OnClose)
        OnClose(*this);
}

void TBarCustomDockableWindow::DoubleClick()
{
    if (floating_) {
        if (lastDock_) {
            SetCurrentDock(lastDock_);
        } else if (defaultDock_) {
            // In front of every bar of the first row.
            dockRow_ = 0;
            dockPos_ = -8;
            SetCurrentDock(defaultDock_);
        }
    } else if (Docked() && DockMode == TBarDockMode::dmCanFloat) {
        SetFloating(true);
        MoveOnScreen(true);
    }
}

// --- visibility and moves ---

void TBarCustomDockableWindow::setVisible(bool visible)
{
    const bool wasHidden = IsExplicitlyHidden(*this);
    NonClientWidget::setVisible(visible);
    if (wasHidden == IsExplicitlyHidden(*this) || reparenting_)
        return;
    if (currentDock_)
        currentDock_->ToolbarVisibilityChanged(this, false);
    // A floating window's tool window goes and comes with it, not only at the next activation.
    UpdateShowing();
    if (OnVisibleChanged)
        OnVisibleChanged(*this);
}

void TBarCustomDockableWindow::moveEvent(QMoveEvent* event)
{
    NonClientWidget::moveEvent(event);
    if (DisableOnMove == 0 && OnMove)
        OnMove(*this);
}

void TBarCustomDockableWindow::resizeEvent(QResizeEvent* event)
{
    NonClientWidget::resizeEvent(event);
    if (OnResize)
        OnResize(*this);
}

void TBarCustomDockableWindow::changeEvent(QEvent* event)
{
    NonClientWidget::changeEvent(event);
    if (event->type() == QEvent::WindowTitleChange && FloatParent())
        FloatParent()->FollowCaption();
}

void TBarCustomDockableWindow::DoDockChangingHidden(bool floating, TBarDock* dockingTo)
{
    if (!destroying_ && OnDockChangingHidden)
        OnDockChangingHidden(*this, floating, dockingTo);
}

void TBarCustomDockableWindow::UpdateFloatingWindowList()
{
    std::vector<TBarCustomDockableWindow*>& list = FloatingWindowList();
    std::erase(list, this);
    if (floating_)
        list.push_back(this);
}

// --- the change of parent ---

void TBarCustomDockableWindow::SetParent(QWidget* newParent)
{
    auto* oldDock = dynamic_cast<TBarDock*>(parentWidget());
    auto* newDock = dynamic_cast<TBarDock*>(newParent);
    const bool newFloating = IsFloatingWindowParent(newParent);
    if (newParent == parentWidget()) {
        currentDock_ = newDock;
        floating_ = newFloating;
        UpdateFloatingWindowList();
        return;
    }
    const bool announce = !destroying_ && newParent;
    if (announce) {
        if (OnDockChanging)
            OnDockChanging(*this, newFloating, newDock);
        if (OnRecreating)
            OnRecreating(*this);
    }
    {
        // Every counter raised here is lowered again, in reverse order, however the block ends.
        ++HideCount;
        ++DisableOnMove;
        const ScopeExit lowerHidden([this] {
            --DisableOnMove;
            --HideCount;
        });
        UpdateShowing();
        DoDockChangingHidden(newFloating, newDock);
        if (oldDock)
            oldDock->BeginUpdate();
        const ClosingStep endOld([oldDock] {
            if (oldDock)
                oldDock->EndUpdate();
        });
        if (newDock)
            newDock->BeginUpdate();
        const ClosingStep endNew([newDock] {
            if (newDock)
                newDock->EndUpdate();
        });
        ++IgnoreBoundsChange;
        const ScopeExit lowerBounds([this] { --IgnoreBoundsChange; });
        BeginArrange();
        const ClosingStep endArrange([this] { EndArrange(); });
        ShrunkLength = 0;

        if (oldDock) {
            if (!(useLastDock_ && lastDock_ == oldDock))
                oldDock->ChangeDockList(false, this);
            oldDock->ToolbarVisibilityChanged(this, true);
        }

        QWidget* oldParent = parentWidget();
        // The widget itself moves to its new parent and is shown again as it was.
        {
            const bool hidden = IsExplicitlyHidden(*this);
            const ScopedValue<bool> quiet(reparenting_, true);
            setParent(newParent);
            if (newParent && !hidden)
                show();
        }
        currentDock_ = newDock;
        floating_ = newFloating;
        EffectiveDockRow = -1;
        RecalcNCArea();

        // A floating window left behind goes, unless a smooth drag may come back to it.
        if (IsFloatingWindowParent(oldParent) && !DragSmooth) {
            oldParent->hide();
            oldParent->deleteLater();
            if (floatParent_ == oldParent)
                floatParent_ = nullptr;
        }

        if (newDock) {
            // A dock passed over in a smooth drag is no dock to come back to: the drag's end
            // decides where the window stays.
            if (!useLastDock_ || DragSmooth)
                newDock->ChangeDockList(true, this);
            else
                SetLastDock(newDock);
            newDock->ToolbarVisibilityChanged(this, false);
        }
        UpdateFloatingWindowList();
        if (auto* floating = dynamic_cast<TBarFloatingWindowParent*>(newParent); floating && floating_) {
            floating->RecalcFrame();
            floating->move(floatingPosition_);
        }
        Arrange();
    }
    UpdateShowing();
    if (parentWidget() && DisableOnMove == 0 && OnMove)
        OnMove(*this);
    if (announce) {
        if (OnRecreated)
            OnRecreated(*this);
        if (OnDockChanged)
            OnDockChanged(*this);
    }
}

}  // namespace velmoran
