// The floating tool window, and the dockable window's floating operations: becoming floating, the
// floating position, moving onto the screen and the showing of floating windows.
#include "toolbar/TBarFloatingWindow.h"

#include "platform/Canvas.h"
#include "platform/CanvasText.h"
#include "platform/Edges.h"
#include "platform/Form.h"
#include "platform/SystemColors.h"
#include "platform/SystemParams.h"
#include "toolbar/TBarCommon.h"
#include "toolbar/TBarDockableWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <vector>

namespace velmoran {

namespace {

int Blend(int from, int to, int step, int steps)
{
    return from + (to - from) * step / std::max(1, steps);
}

// The caption colour running into its gradient colour from left to right.
void FillGradient(Canvas& canvas, const TRect& r, ColorRef from, ColorRef to)
{
    const ColorRef a = ColorToRGB(from);
    const ColorRef b = ColorToRGB(to);
    const int width = r.Right - r.Left;
    for (int x = 0; x < width; ++x) {
        const ColorRef c = RGBRef(Blend(a & 0xFF, b & 0xFF, x, width - 1), Blend((a >> 8) & 0xFF, (b >> 8) & 0xFF, x, width - 1),
                                  Blend((a >> 16) & 0xFF, (b >> 16) & 0xFF, x, width - 1));
        canvas.FillRect({r.Left + x, r.Top, r.Left + x + 1, r.Bottom}, c);
    }
}

Qt::CursorShape CursorOfCode(int code)
{
    switch (code) {
    case HTLEFT:
    case HTRIGHT: return Qt::SizeHorCursor;
    case HTTOP:
    case HTBOTTOM: return Qt::SizeVerCursor;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: return Qt::SizeFDiagCursor;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: return Qt::SizeBDiagCursor;
    default: return Qt::ArrowCursor;
    }
}

bool ApplicationActive()
{
    return TBarCustomDockableWindow::ApplicationActiveState();
}

bool CanTakeActivation(const QWidget* window)
{
    const Qt::WindowType type = window->windowType();
    return window->isVisible() && window->isEnabled() && type != Qt::Popup && type != Qt::ToolTip;
}

// The window that takes the activation a hidden floating window must not hold: the first shown,
// enabled window of the application other than that one (menus and tips take none), one that
// does not stay on top before one that does. The platform tells no stacking order; the form lies
// right below its tool window, so it is asked first, then the others in the order the platform
// keeps them.
QWidget* SuccessorOf(const TBarFloatingWindowParent& floating)
{
    std::vector<QWidget*> candidates;
    if (QWidget* form = floating.ParentForm())
        candidates.push_back(form->window());
    const QWidgetList widgets = QApplication::topLevelWidgets();
    for (QWindow* handle : QGuiApplication::topLevelWindows()) {
        const auto found = std::find_if(widgets.begin(), widgets.end(),
                                        [handle](const QWidget* widget) { return widget->windowHandle() == handle; });
        if (found != widgets.end())
            candidates.push_back(*found);
    }
    QWidget* onTop = nullptr;
    for (QWidget* window : candidates) {
        if (window == &floating || !CanTakeActivation(window))
            continue;
        if (!window->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
            return window;
        if (!onTop)
            onTop = window;
    }
    return onTop;
}

// Whether a press at this point of the window gives the keyboard to a control, as the platform
// decides it: the first enabled widget from the one under the point up that takes the focus by a
// click.
bool PressTakesKeys(const QWidget& window, QPoint at)
{
    for (const QWidget* widget = window.childAt(at); widget && widget != &window; widget = widget->parentWidget())
        if (widget->isEnabled() && (widget->focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus)
            return true;
    return false;
}

}  // namespace

// --- the floating window ---

TBarFloatingWindowParent::TBarFloatingWindowParent(QWidget* form, TBarCustomDockableWindow* window)
    : NonClientWidget(form), window_(window), form_(form)
{
    // A click does not make it the active window: the window system, told that it takes no focus,
    // leaves its form active while the user clicks its buttons or drags it by its caption. Only a
    // press on a control that takes keys lets it become active (see eventFilter).
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMouseTracking(true);
    FollowCaption();
    ApplyFloatingMode();
    RecalcFrame();
}

TBarFloatingWindowParent::~TBarFloatingWindowParent()
{
    // The window inside goes with this one; it must not reach back to it.
    if (window_ && window_->floatParent_ == this)
        window_->floatParent_ = nullptr;
}

void TBarFloatingWindowParent::FollowCaption()
{
    if (window_)
        setWindowTitle(window_->windowTitle().isEmpty() ? window_->objectName() : window_->windowTitle());
    update();
}

void TBarFloatingWindowParent::ApplyFloatingMode()
{
    const bool onTop = window_ && window_->FloatingMode() == TBarFloatingMode::fmOnTopOfAllForms;
    if (onTop == windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        return;
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (shown)
        show();
}

void TBarFloatingWindowParent::Activated(QWidget* losing)
{
    QWidget* target = nullptr;
    if (!isVisible())
        target = SuccessorOf(*this);
    else if (losing != form_)
        target = form_;
    if (!target)
        return;
    // Not while the platform is still telling the windows of this activation.
    QTimer::singleShot(0, this, [this, target = QPointer<QWidget>(target)] {
        if (target && QApplication::activeWindow() == this)
            target->activateWindow();
    });
}

void TBarFloatingWindowParent::SetInactiveCaption(bool inactive)
{
    if (inactive == inactiveCaption_)
        return;
    inactiveCaption_ = inactive;
    update();
}

void TBarFloatingWindowParent::RecalcFrame()
{
    if (!window_)
        return;
    const QPoint border = window_->GetFloatingBorderSize();
    const int caption = window_->ShowCaption() ? kSmallCaptionHeight : 0;
    SetNonClientMargins(QMargins(border.x(), border.y() + caption, border.x(), border.y()));
}

void TBarFloatingWindowParent::SetClientSize(int width, int height)
{
    const QMargins m = NonClientMargins();
    resize(width + m.left() + m.right(), height + m.top() + m.bottom());
}

QRect TBarFloatingWindowParent::CaptionRect() const
{
    if (!window_ || !window_->ShowCaption())
        return {};
    const QPoint border = window_->GetFloatingBorderSize();
    return QRect(border.x(), border.y(), ClientWidth(), kSmallCaptionHeight - 1);
}

QRect TBarFloatingWindowParent::CloseButtonRect() const
{
    const QRect caption = CaptionRect();
    if (caption.isEmpty() || !window_ || !window_->CloseButton())
        return {};
    const int size = caption.height() - 4;
    return QRect(caption.right() - 1 - size, caption.top() + 2, size, size);
}

int TBarFloatingWindowParent::NonClientHitTest(QPoint p) const
{
    if (CaptionRect().contains(p))
        return CloseButtonRect().contains(p) ? kHitCloseButton : kHitFloatingCaption;
    if (!window_ || !window_->Resizable())
        return HTNOWHERE;
    const QPoint border = window_->GetFloatingBorderSize();
    const int corner = border.y() + kSmallCaptionHeight - 1;
    const bool left = p.x() < border.x();
    const bool right = p.x() >= width() - border.x() - 1;
    const bool top = p.y() < border.y();
    const bool bottom = p.y() >= height() - border.y() - 1;
    if (left || right) {
        if (p.y() < corner)
            return left ? HTTOPLEFT : HTTOPRIGHT;
        if (p.y() >= height() - corner)
            return left ? HTBOTTOMLEFT : HTBOTTOMRIGHT;
        return left ? HTLEFT : HTRIGHT;
    }
    if (top || bottom) {
        if (p.x() < corner)
            return top ? HTTOPLEFT : HTBOTTOMLEFT;
        if (p.x() >= width() - corner)
            return top ? HTTOPRIGHT : HTBOTTOMRIGHT;
        return top ? HTTOP : HTBOTTOM;
    }
    return HTNOWHERE;
}

void TBarFloatingWindowParent::PaintNonClient(Canvas& canvas)
{
    if (!window_)
        return;
    // The frame: a raised edge, a ring of button face inside it, the rest in the border colour.
    TRect r{0, 0, width(), height()};
    DrawEdge(canvas, r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    const QPoint border = window_->GetFloatingBorderSize();
    const ColorRef borderColour = SystemColor(inactiveCaption_ ? COLOR_INACTIVEBORDER : COLOR_ACTIVEBORDER);
    for (int ring = 2; ring < std::max(border.x(), border.y()); ++ring) {
        TRect ringRect{ring, ring, width() - ring, height() - ring};
        const ColorRef c = ring == std::max(border.x(), border.y()) - 1 ? SystemColor(COLOR_BTNFACE) : borderColour;
        Frame3D(canvas, ringRect, c, c, 1);
    }

    const QRect caption = CaptionRect();
    if (caption.isEmpty())
        return;
    const TRect cap{caption.left(), caption.top(), caption.right() + 1, caption.bottom() + 1};
    const int active = inactiveCaption_ ? COLOR_INACTIVECAPTION : COLOR_ACTIVECAPTION;
    const int gradient = inactiveCaption_ ? COLOR_GRADIENTINACTIVECAPTION : COLOR_GRADIENTACTIVECAPTION;
    FillGradient(canvas, cap, SystemColor(active), SystemColor(gradient));
    // The button-face line under the caption.
    canvas.FillRect({cap.Left, cap.Bottom, cap.Right, cap.Bottom + 1}, SystemColor(COLOR_BTNFACE));

    const QRect button = CloseButtonRect();
    LogicalFont font;
    font.Face = "Liberation Sans";
    font.Height = -11;
    font.Weight = 700;
    canvas.SetFont(font);
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextColor(SystemColor(inactiveCaption_ ? COLOR_INACTIVECAPTIONTEXT : COLOR_CAPTIONTEXT));
    TRect text{cap.Left + 2, cap.Top, button.isEmpty() ? cap.Right - 2 : button.left() - 2, cap.Bottom};
    DrawText(canvas, windowTitle().toStdU16String(), text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);

    if (button.isEmpty())
        return;
    TRect b{button.left(), button.top(), button.right() + 1, button.bottom() + 1};
    canvas.FillRect(b, SystemColor(COLOR_BTNFACE));
    const TRect glyphBox = b;
    DrawEdge(canvas, b, closeButtonDown_ ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    const int shift = closeButtonDown_ ? 1 : 0;
    const int x = glyphBox.Left + (glyphBox.Right - glyphBox.Left - 6) / 2 + shift;
    const int y = glyphBox.Top + (glyphBox.Bottom - glyphBox.Top - 6) / 2 - 1 + shift;
    DrawGlyphRows(canvas, {kCloseGlyphRows[0], kCloseGlyphRows[1], kCloseGlyphRows[2], kCloseGlyphRows[3],
                           kCloseGlyphRows[4], kCloseGlyphRows[5], kCloseGlyphRows[6], kCloseGlyphRows[7]},
                  8, x, y, SystemColor(COLOR_BTNTEXT));
}

void TBarFloatingWindowParent::SetCloseButtonDown(bool down)
{
    if (down == closeButtonDown_)
        return;
    closeButtonDown_ = down;
    update();
}

void TBarFloatingWindowParent::UpdateCursor(int code)
{
    if (code >= HTLEFT && code <= HTBOTTOMRIGHT)
        setCursor(CursorOfCode(code));
    else
        unsetCursor();
}

void TBarFloatingWindowParent::mousePressEvent(QMouseEvent* event)
{
    // A click raises the window without activating it; the form is activated instead.
    raise();
    if (window_ && window_->ActivateParent && window_->FloatingMode() == TBarFloatingMode::fmOnTopOfParentForm && form_
        && QApplication::activeWindow() != this)
        form_->activateWindow();
    if (event->button() != Qt::LeftButton || !window_) {
        NonClientWidget::mousePressEvent(event);
        return;
    }
    const QPoint p = event->position().toPoint();
    const int code = HitTest(p);
    if (code >= HTLEFT && code <= HTBOTTOMRIGHT) {
        window_->BeginSizing(code - HTLEFT, event->globalPosition().toPoint());
    } else if (code == kHitFloatingCaption) {
        window_->BeginMoving(event->globalPosition().toPoint());
    } else if (code == kHitCloseButton) {
        closeButtonTracking_ = true;
        SetCloseButtonDown(true);
    }
}

void TBarFloatingWindowParent::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (closeButtonTracking_) {
        SetCloseButtonDown(CloseButtonRect().contains(p));
        return;
    }
    UpdateCursor(HitTest(p));
}

void TBarFloatingWindowParent::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton && window_) {
        // A right click on the frame or caption opens the floating window's context menu.
        window_->ContextPopup(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    if (!closeButtonTracking_ || event->button() != Qt::LeftButton) {
        NonClientWidget::mouseReleaseEvent(event);
        return;
    }
    closeButtonTracking_ = false;
    SetCloseButtonDown(false);
    if (CloseButtonRect().contains(event->position().toPoint()) && window_)
        window_->Close();
}

void TBarFloatingWindowParent::contextMenuEvent(QContextMenuEvent* event)
{
    // The platform asks on the press; the release opens the menu.
    event->accept();
}

void TBarFloatingWindowParent::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && window_ && HitTest(event->position().toPoint()) == kHitFloatingCaption)
        window_->DoubleClick();
}

void TBarFloatingWindowParent::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && form_) {
        form_->activateWindow();
        form_->setFocus(Qt::OtherFocusReason);
        event->accept();
        return;
    }
    NonClientWidget::keyPressEvent(event);
}

void TBarFloatingWindowParent::showEvent(QShowEvent* event)
{
    NonClientWidget::showEvent(event);
    // Given again to a window the platform made anew; a filter is installed once however often.
    if (QWindow* handle = windowHandle())
        handle->installEventFilter(this);
}

// A press on a control that takes keys (a combo box of the bar) makes this window active, as it
// would the form the bar is docked in, so that the keys reach the control and Escape gives them
// back to the form. The widgets count it active before the control sees the press: a combo box
// opens its list on it, and the list, closing, gives the keyboard back to the window that counted
// as active when it opened.
bool TBarFloatingWindowParent::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && watched == windowHandle() && QApplication::activeWindow() != this
        && PressTakesKeys(*this, static_cast<QMouseEvent*>(event)->position().toPoint())) {
        SetTakesFocus(true);
        activateWindow();
        QApplication::setActiveWindow(this);
    }
    return NonClientWidget::eventFilter(watched, event);
}

void TBarFloatingWindowParent::changeEvent(QEvent* event)
{
    NonClientWidget::changeEvent(event);
    // Inactive again, it refuses the focus, so that clicks on its buttons leave the form active.
    if (event->type() == QEvent::ActivationChange && QApplication::activeWindow() != this)
        SetTakesFocus(false);
}

void TBarFloatingWindowParent::SetTakesFocus(bool takes)
{
    Qt::WindowFlags flags = windowFlags();
    if (flags.testFlag(Qt::WindowDoesNotAcceptFocus) == !takes)
        return;
    // Told to the window system directly: changing the widget's flags would hide and show it
    // again, in the middle of the press.
    flags.setFlag(Qt::WindowDoesNotAcceptFocus, !takes);
    overrideWindowFlags(flags);
    if (QWindow* handle = windowHandle())
        handle->setFlag(Qt::WindowDoesNotAcceptFocus, !takes);
}

void TBarFloatingWindowParent::moveEvent(QMoveEvent* event)
{
    NonClientWidget::moveEvent(event);
    if (window_ && window_->DisableOnMove == 0 && window_->OnMove)
        window_->OnMove(*window_);
}

void TBarFloatingWindowParent::closeEvent(QCloseEvent* event)
{
    // The window itself stays; the request goes to the form, which asks its close question.
    event->ignore();
    if (form_)
        form_->close();
}

// --- the dockable window, floating ---

bool TBarCustomDockableWindow::IsFloatingWindowParent(const QWidget* parent) const
{
    return dynamic_cast<const TBarFloatingWindowParent*>(parent) != nullptr;
}

TBarFloatingWindowParent* TBarCustomDockableWindow::FloatParent() const
{
    return static_cast<TBarFloatingWindowParent*>(floatParent_.data());
}

TBarFloatingWindowParent* TBarCustomDockableWindow::NewFloatingWindowParent()
{
    QWidget* form = ParentForm();
    if (!floatParent_ || FloatParent()->ParentForm() != form) {
        if (floatParent_ && floatParent_ != parentWidget())
            delete floatParent_.data();
        auto* floating = new TBarFloatingWindowParent(form, this);
        floatParent_ = floating;
        floating->SetClientSize(width(), height());
    }
    return FloatParent();
}

void TBarCustomDockableWindow::SetFloating(bool value)
{
    if (value == floating_)
        return;
    if (!value) {
        SetParent(ParentForm());
        return;
    }
    // Never placed yet: the tool window opens where the window is now.
    if (!floatingPositionSet_)
        floatingPosition_ = mapToGlobal(QPoint(0, 0));
    if (TBarFloatingWindowParent* floatParent = NewFloatingWindowParent()) {
        SetParent(floatParent);
        SetBounds(QRect(0, 0, width(), height()));
    }
}

void TBarCustomDockableWindow::SetFloatingPosition(QPoint position)
{
    floatingPosition_ = position;
    floatingPositionSet_ = true;
    if (floating_ && FloatParent())
        FloatParent()->move(position);
}

void TBarCustomDockableWindow::MoveOnScreen(bool onlyIfFullyOffscreen)
{
    TBarFloatingWindowParent* floating = floating_ ? FloatParent() : nullptr;
    if (!floating)
        return;
    QRect r = floating->geometry();
    const QRect work = GetMonitorRectOfRect(r, true);
    if (onlyIfFullyOffscreen && r.intersects(work))
        return;
    if (r.right() > work.right())
        r.moveRight(work.right());
    if (r.bottom() > work.bottom())
        r.moveBottom(work.bottom());
    if (r.left() < work.left())
        r.moveLeft(work.left());
    if (r.top() < work.top())
        r.moveTop(work.top());
    SetFloatingPosition(r.topLeft());
}

bool TBarCustomDockableWindow::ShouldBeVisible() const
{
    if (!floating_ || IsExplicitlyHidden(*this) || HideCount > 0)
        return false;
    if (floatingMode_ == TBarFloatingMode::fmOnTopOfParentForm) {
        const TBarFloatingWindowParent* floating = FloatParent();
        const QWidget* form = floating ? floating->ParentForm() : nullptr;
        for (const QWidget* w = form; w; w = w->parentWidget())
            if (w->isWindow() && (!w->isVisible() || w->isMinimized()))
                return false;
        if (!form)
            return false;
    }
    return !hideWhenInactive_ || ApplicationActive();
}

void TBarCustomDockableWindow::UpdateShowing()
{
    TBarFloatingWindowParent* floating = floating_ ? FloatParent() : nullptr;
    if (!floating || floating != parentWidget())
        return;
    const bool show = ShouldBeVisible();
    if (show == floating->isVisible() && !show)
        return;
    floating->ApplyFloatingMode();
    QWidget* form = floating->ParentForm();
    const QWidget* active = QApplication::activeWindow();
    const bool formActive = active && (active == form || active == floating
                                       || (dynamic_cast<const TBarFloatingWindowParent*>(active)
                                           && static_cast<const TBarFloatingWindowParent*>(active)->ParentForm() == form));
    floating->SetInactiveCaption(!(ApplicationActive() && (floatingMode_ == TBarFloatingMode::fmOnTopOfAllForms || formActive)));
    floating->ShouldShow = show;
    if (show == floating->isVisible())
        return;
    const bool wasActive = QApplication::activeWindow() == floating;
    floating->setVisible(show);
    if (!show && wasActive && form)
        form->activateWindow();
}

}  // namespace velmoran
