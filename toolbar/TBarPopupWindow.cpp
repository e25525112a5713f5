// The popup window, its view, the menu font and CreatePopup; see TBarPopupWindow.h.
#include "toolbar/TBarPopupWindow.h"

#include "platform/Edges.h"
#include "platform/NonClientWidget.h"
#include "platform/QtCanvas.h"
#include "platform/SystemColors.h"
#include "platform/SystemParams.h"
#include "toolbar/TBarAccessible.h"
#include "toolbar/TBarCommon.h"
#include "toolbar/TBarPlacement.h"

#include <QCloseEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <optional>

namespace velmoran {

// --- the menu font ----------------------------------------------------------------------------

namespace {

struct MenuFontUnit {
    int users = 0;
    std::optional<LogicalFont> font;
};

MenuFontUnit& Unit()
{
    static MenuFontUnit unit;
    return unit;
}

LogicalFont SystemMenuFont()
{
    const QFont menu = MenuFont();
    LogicalFont font;
    font.Face = menu.family().toStdString();
    font.Height = menu.pixelSize() > 0 ? -menu.pixelSize() : -(menu.pointSize() * kPixelsPerInch / 72);
    return font;
}

QRect ToQRect(const TRect& r)
{
    return QRect(r.Left, r.Top, r.Width(), r.Height());
}

}  // namespace

TBarMenuFontUser::TBarMenuFontUser()
{
    if (Unit().users++ == 0)
        Unit().font = SystemMenuFont();
}

TBarMenuFontUser::~TBarMenuFontUser()
{
    if (--Unit().users == 0)
        Unit().font.reset();
}

const LogicalFont* TBarMenuFont()
{
    return Unit().font ? &*Unit().font : nullptr;
}

void ReloadMenuFont()
{
    if (Unit().font)
        Unit().font = SystemMenuFont();
}

// --- the popup view ---------------------------------------------------------------------------

TBarPopupView::TBarPopupView(TBarPopupWindow& window, TBarView* parentView, TBarCustomItem* parentItem,
                             bool customizing)
    : TBarView(&window, parentView, parentItem, false, customizing, false), window_(window)
{
}

void TBarPopupView::AutoSize(int width, int height)
{
    const int frame = 2 * TBarPopupWindow::kFrame;
    window_.setGeometry(window_.x(), window_.y(), width + frame, height + frame);
}

LogicalFont TBarPopupView::GetFont() const
{
    return window_.Font;
}

// --- the window -------------------------------------------------------------------------------

std::function<bool(TBarPopupWindow&)>& TBarPopupWindow::StartAnimation()
{
    static std::function<bool(TBarPopupWindow&)> hook;
    return hook;
}

std::function<void(TBarPopupWindow&)>& TBarPopupWindow::EndAnimation()
{
    static std::function<void(TBarPopupWindow&)> hook;
    return hook;
}

std::function<bool(TBarPopupWindow&, QPainter&)>& TBarPopupWindow::PaintAnimation()
{
    static std::function<bool(TBarPopupWindow&, QPainter&)> hook;
    return hook;
}

namespace {

// Keeps the menu font alive while any popup window exists.
thread_local std::optional<TBarMenuFontUser> popupFontUser;
thread_local int popupWindows = 0;

QWidget* PopupParentWindow(TBarView* parentView)
{
    if (parentView && parentView->Window())
        return parentView->Window()->window();
    return nullptr;
}

}  // namespace

TBarPopupWindow::TBarPopupWindow(TBarView* parentView, TBarCustomItem* parentItem, bool customizing)
    : QWidget(PopupParentWindow(parentView), Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                                                 Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint),
      color_(SystemColor(COLOR_MENU))
{
    if (popupWindows++ == 0)
        popupFontUser.emplace();
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 320, 240);
    if (parentView)
        Font = parentView->GetFont();
    else if (const LogicalFont* menu = TBarMenuFont())
        Font = *menu;
    view_ = std::make_unique<TBarPopupView>(*this, parentView, parentItem, customizing);
    view_->SetTracking(true);
    if (!parentView) {
        view_->SetHideKeyboardCuesStyle(true);
        view_->SetKeyboardCuesShown(AreKeyboardCuesShown());
    } else {
        view_->SetHideKeyboardCuesStyle(parentView->HideKeyboardCuesStyle());
        view_->SetKeyboardCuesShown(parentView->KeyboardCuesShown());
    }
}

TBarPopupWindow::~TBarPopupWindow()
{
    if (TBarView* parent = view_->ParentView())
        parent->ForgetOpenWindow(this);
    view_->CloseChildPopups();
    if (EndAnimation())
        EndAnimation()(*this);
    view_->SetRunningTimers(0);
    if (announced_) {
        QAccessibleEvent event(this, QAccessible::PopupMenuEnd);
        NotifyAccessibleEvent(event);
    }
    view_.reset();
    if (--popupWindows == 0)
        popupFontUser.reset();
}

void TBarPopupWindow::AnnounceStart()
{
    QAccessibleEvent event(this, QAccessible::PopupMenuStart);
    NotifyAccessibleEvent(event);
    announced_ = true;
}

QRect TBarPopupWindow::ClientRect() const
{
    return rect().adjusted(kFrame, kFrame, -kFrame, -kFrame);
}

void TBarPopupWindow::PaintFrame(Canvas& canvas)
{
    TRect r{0, 0, width(), height()};
    if (AreFlatMenusEnabled()) {
        const auto ring = [&](ColorRef color) {
            canvas.FillRect(TRect{r.Left, r.Top, r.Right, r.Top + 1}, color);
            canvas.FillRect(TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom}, color);
            canvas.FillRect(TRect{r.Left, r.Top, r.Left + 1, r.Bottom}, color);
            canvas.FillRect(TRect{r.Right - 1, r.Top, r.Right, r.Bottom}, color);
            r = TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
        };
        ring(SystemColor(COLOR_BTNSHADOW));
        ring(color_);
        ring(color_);
        return;
    }
    DrawEdge(canvas, r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    Frame3D(canvas, r, SystemColor(COLOR_BTNFACE), SystemColor(COLOR_BTNFACE), 1);
}

void TBarPopupWindow::PaintScrollArrows(Canvas& canvas)
{
    const QRect client = ClientRect();
    const auto arrow = [&](int bandTop, bool up) {
        const int cx = client.left() + client.width() / 2;
        const int cy = bandTop + kScrollBandHeight / 2 - 1;
        const Pen pen = canvas.SelectPen(Pen{PenStyle::Solid, 0, SystemColor(COLOR_MENUTEXT)});
        const Brush brush = canvas.SelectBrush(Brush{BrushStyle::Solid, SystemColor(COLOR_MENUTEXT)});
        if (up)
            canvas.Polygon({{cx - 3, cy + 2}, {cx + 3, cy + 2}, {cx, cy - 1}});
        else
            canvas.Polygon({{cx - 3, cy - 1}, {cx + 3, cy - 1}, {cx, cy + 2}});
        canvas.SelectPen(pen);
        canvas.SelectBrush(brush);
    };
    if (view_->ShowUpArrow())
        arrow(client.top(), true);
    if (view_->ShowDownArrow())
        arrow(client.bottom() + 1 - kScrollBandHeight, false);
}

void TBarPopupWindow::PaintTo(Canvas& canvas, const TRect& update)
{
    canvas.FillRect(TRect{0, 0, width(), height()}, color_);
    PaintFrame(canvas);
    const int saved = canvas.SaveDC();
    // The viewers lie in client coordinates: inside the frame.
    canvas.SetWindowOrg(-kFrame, -kFrame);
    canvas.IntersectClipRect(TRect{0, 0, width() - 2 * kFrame, height() - 2 * kFrame});
    view_->PaintViewers(canvas, TRect{update.Left - kFrame, update.Top - kFrame, update.Right - kFrame,
                                      update.Bottom - kFrame});
    canvas.SetWindowOrg(0, 0);
    PaintScrollArrows(canvas);
    canvas.RestoreDC(saved);
}

void TBarPopupWindow::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    // A running animation shows its captured image; other painting ends it.
    if (PaintAnimation() && PaintAnimation()(*this, painter))
        return;
    if (EndAnimation())
        EndAnimation()(*this);
    QtCanvas canvas(&painter);
    const QRect r = event->rect();
    PaintTo(canvas, TRect{r.left(), r.top(), r.right() + 1, r.bottom() + 1});
}

void TBarPopupWindow::closeEvent(QCloseEvent* event)
{
    // Menus close through their loop, never through the window system.
    event->ignore();
}

bool TBarPopupWindow::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QPoint client = help->pos() - QPoint(kFrame, kFrame);
        TBarItemViewer* viewer = view_->ViewerFromPoint(TPoint{client.x(), client.y()});
        if (!viewer || !view_->HintWanted(*viewer)) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        const std::string hint = viewer->GetHintText();
        const QRect area = ToQRect(viewer->BoundsRect).translated(kFrame, kFrame);
        QToolTip::showText(help->globalPos(), QString::fromStdString(hint), this, area);
        return true;
    }
    return QWidget::event(event);
}

// --- CreatePopup ------------------------------------------------------------------------------

namespace {

TBarParentOrientation OrientationOf(const TBarView* view)
{
    if (!view)
        return TBarParentOrientation::None;
    switch (view->Orientation()) {
    case TBarViewOrientation::voHorizontal: return TBarParentOrientation::Horizontal;
    case TBarViewOrientation::voVertical: return TBarParentOrientation::Vertical;
    case TBarViewOrientation::voFloating: return TBarParentOrientation::Floating;
    }
    return TBarParentOrientation::Horizontal;
}

QRect ScreenRectOf(const TBarView& view, const TRect& r)
{
    return ToQRect(r).translated(ViewScreenOrigin(view));
}

}  // namespace

QPoint ViewScreenOrigin(const TBarView& view)
{
    QWidget* window = view.Window();
    if (!window)
        return {};
    if (dynamic_cast<TBarPopupWindow*>(window))
        return window->mapToGlobal(QPoint(TBarPopupWindow::kFrame, TBarPopupWindow::kFrame));
    if (auto* framed = dynamic_cast<NonClientWidget*>(window))
        return window->mapToGlobal(framed->ClientToWindow(QPoint(0, 0)));
    return window->mapToGlobal(QPoint(0, 0));
}

TBarPopupWindow* CreatePopup(TBarCustomItem& item, const TBarPopupRequest& request,
                             std::unique_ptr<TBarPopupWindow>* owner)
{
    // 1. Handlers that fill the submenu run first.
    TBarCustomItem* root = item.GetSubitemsRoot();
    if (root != &item)
        root->DoPopup(&item, true);
    item.DoPopup(&item, false);

    // 2. The window and its view.
    TBarView* chevronView = item.GetChevronParentView();
    TBarCustomItem* popupItem = &item;
    if (chevronView && chevronView->ParentItem())
        popupItem = chevronView->ParentItem();
    auto window = std::make_unique<TBarPopupWindow>(request.ParentView, popupItem, request.Customizing);
    TBarPopupView& view = window->View();
    if (chevronView) {
        view.SetChevronParentView(chevronView);
        view.LayOutAsToolbar();
        view.SetShowHints(chevronView->ShowHints());
        window->SetHostColor(SystemColor(COLOR_BTNFACE));
    }

    // 3. The item's rectangle and the monitor.
    TBarPopupPlacementInput input;
    if (!request.ParentView) {
        input.ItemRect = QRect(request.PopupPoint, QSize(0, 0));
        input.MonitorArea = GetMonitorRectOfPoint(request.PopupPoint, true);
    } else {
        request.ParentView->ValidatePositions();
        if (request.ParentViewer)
            input.ItemRect = ScreenRectOf(*request.ParentView, request.ParentViewer->BoundsRect);
        const auto* parentPopup = dynamic_cast<const TBarPopupView*>(request.ParentView);
        input.MonitorArea = parentPopup && !parentPopup->MonitorRect.isEmpty()
                                ? parentPopup->MonitorRect
                                : GetMonitorRectOfRect(input.ItemRect, true);
    }
    view.MonitorRect = input.MonitorArea;
    // A menu scrolls beyond the monitor's height; a chevron's buttons wrap at its width.
    if (chevronView)
        view.SetWrapOffset(input.MonitorArea.width() - 2 * TBarPopupWindow::kFrame);
    else
        view.SetMaxHeight(input.MonitorArea.height() - 2 * TBarPopupWindow::kFrame);

    // 4. The first item, and the layout that gives the size.
    view.ValidatePositions();
    if (request.SelectFirstItem) {
        view.SetSelected(view.FirstSelectable());
        if (!request.ParentView)
            view.SetKeyboardCuesShown(true);
    }
    view.UpdatePositions();
    input.PopupSize = window->size();
    input.ParentOrientation = OrientationOf(request.ParentView);
    input.PopupPoint = request.PopupPoint;
    input.Alignment = request.Alignment;
    input.PositionAsSubmenu = request.PositionAsSubmenu;
    input.Chevron = chevronView != nullptr;
    input.ChevronViewVertical = chevronView && chevronView->Orientation() == TBarViewOrientation::voVertical;
    input.ParentOpenLeft = request.ParentView && request.ParentView->OpenLeft();
    input.MenuDropAlignmentRight = IsMenuDropAlignmentRight();
    if (request.ParentView)
        for (int i = 0; i < request.ParentView->ViewerCount(); ++i) {
            const TBarItemViewer* viewer = request.ParentView->Viewers(i);
            if (viewer->Show)
                input.ParentViewers.push_back(ScreenRectOf(*request.ParentView, viewer->BoundsRect));
        }

    // 5. to 9. The place.
    const TBarPopupPlacement placement = PlacePopup(input);
    window->SlideDirection = placement.Direction;
    if (placement.OpenLeft)
        view.SetOpenLeft(true);

    // 10. The bounds, and the parent view's open submenu.
    window->setGeometry(QRect(placement.Position, input.PopupSize));
    TBarPopupWindow* result = window.get();
    if (request.ParentView) {
        request.ParentView->SetPaintInOrderOnce(true);
        request.ParentView->SetOpenMode(true);
        request.ParentView->SetOpenPopup(request.ParentViewer, std::move(window));
    } else if (owner) {
        *owner = std::move(window);
    } else {
        window.release();  // a caller without an owner takes it from the answer
    }

    // 11. Shown, with the desktop's menu sound when it wants one: the first popup of the program
    // is shown and painted before its sound starts (the first sound takes a moment to load),
    // every later one starts the sound first. A popup opened by the mouse slides or fades in when
    // the system animates menus; the animation shows the window itself. One opened by the
    // keyboard (its first item selected) appears at once.
    static bool firstPopup = true;
    const bool sound = NeedToPlaySound("MenuPopup");
    if (sound && !firstPopup)
        PlayMenuSound("MenuPopup");
    const bool animate = TBarPopupWindow::StartAnimation() && view.Selected() == nullptr &&
                         !(request.ParentView && request.ParentView->Destroying()) && IsMenuAnimationEnabled();
    const bool animated = animate && TBarPopupWindow::StartAnimation()(*result);
    if (!animated)
        result->show();
    if (sound && firstPopup) {
        ProcessPaintMessages();
        PlayMenuSound("MenuPopup");
    }
    firstPopup = firstPopup && !sound;

    // 12. Accessibility clients hear of the popup and of its selected item.
    result->AnnounceStart();
    view.AnnounceSelection();
    return result;
}

}  // namespace velmoran
