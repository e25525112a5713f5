// The docked frame of a dockable window: its non-client sizes, the border, the drag handle with
// its grippers and the docked close button, the hit-test codes, the size-all cursor over the handle,
// the close button's press tracking and the context menu.
#include "toolbar/TBarDockableWindow.h"

#include "platform/Canvas.h"
#include "platform/Edges.h"
#include "platform/SystemColors.h"
#include "toolbar/TBarCommon.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMouseEvent>

namespace velmoran {

namespace {

// The docked border on each side.
constexpr int kBorder = 2;

}  // namespace

int TBarCustomDockableWindow::HandleThickness() const
{
    return currentDock_ && currentDock_->AllowDrag() ? DragHandleSize(closeButtonWhenDocked_, dragHandleStyle_) : 0;
}

bool TBarCustomDockableWindow::HandleAtTop() const
{
    return currentDock_ && currentDock_->Vertical();
}

void TBarCustomDockableWindow::RecalcNCArea()
{
    if (!currentDock_) {
        SetNonClientMargins({});
        return;
    }
    const int handle = HandleThickness();
    const bool top = HandleAtTop();
    SetNonClientMargins(QMargins(kBorder + (top ? 0 : handle), kBorder + (top ? handle : 0), kBorder, kBorder));
    RearrangeDock();
}

TRect TBarCustomDockableWindow::GetDockedCloseButtonRect(bool leftRight) const
{
    const int size = DragHandleSize(closeButtonWhenDocked_, dragHandleStyle_) - 3;
    if (leftRight) {
        const int left = ClientWidth() + kBorder - size;
        return {left, 3, left + size, 3 + size};
    }
    return {3, 2, 3 + size, 2 + size};
}

bool TBarCustomDockableWindow::OverDockedCloseButton(QPoint p) const
{
    if (!closeButtonWhenDocked_ || !currentDock_ || !currentDock_->AllowDrag())
        return false;
    const TRect r = GetDockedCloseButtonRect(HandleAtTop());
    return p.x() >= r.Left && p.x() < r.Right && p.y() >= r.Top && p.y() < r.Bottom;
}

int TBarCustomDockableWindow::NonClientHitTest(QPoint point) const
{
    if (!currentDock_)
        return HTNOWHERE;
    return OverDockedCloseButton(point) ? kHitCloseButton : kHitDockedFrame;
}

void TBarCustomDockableWindow::PaintNonClient(Canvas& canvas)
{
    if (!currentDock_)
        return;
    const bool background = currentDock_->UsingBackground() && currentDock_->BackgroundOnToolbars();
    TRect r{0, 0, width(), height()};
    if (borderStyle_ == TBarBorderStyle::bsSingle) {
        DrawEdge(canvas, r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    } else {
        Frame3D(canvas, r, color_, color_, 1);
    }
    if (background) {
        // Inside the border, around the client area.
        canvas.SaveDC();
        canvas.IntersectClipRect(r);
        canvas.ExcludeClipRect({NonClientMargins().left(), NonClientMargins().top(), width() - kBorder, height() - kBorder});
        currentDock_->DrawBackgroundAt(canvas, currentDock_->pos() + pos(), size());
        canvas.RestoreDC();
    } else {
        Frame3D(canvas, r, color_, color_, 1);
    }
    if (!currentDock_->AllowDrag())
        return;

    const int handle = HandleThickness();
    const bool leftRight = HandleAtTop();
    const int length = leftRight ? ClientWidth() : ClientHeight();
    if (!background)
        canvas.FillRect(leftRight ? TRect{2, 2, length + 2, handle + 2} : TRect{2, 2, handle + 2, length + 2}, color_);

    const int bars = dragHandleStyle_ == TBarDragHandleStyle::dhDouble ? 2 : dragHandleStyle_ == TBarDragHandleStyle::dhSingle ? 1 : 0;
    const int offset = DragHandleOffset(closeButtonWhenDocked_, dragHandleStyle_);
    for (int i = 0; i < bars; ++i) {
        const int across = offset + 2 + 3 * i;
        int from = 2;
        int to = length + 2;
        if (dragHandleStyle_ == TBarDragHandleStyle::dhSingle) {
            ++from;
            --to;
        }
        if (closeButtonWhenDocked_) {
            if (leftRight)
                to -= handle - 2;
            else
                from += handle - 2;
        }
        TRect bar = leftRight ? TRect{from, across, to, across + 3} : TRect{across, from, across + 3, to};
        const TRect whole = bar;
        DrawEdge(canvas, bar, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
        canvas.FillRect(bar, SystemColor(COLOR_BTNFACE));
        // The far end's corner on the first column (row) keeps the light colour.
        if (leftRight)
            canvas.FillRect({whole.Right - 1, whole.Top, whole.Right, whole.Top + 1}, SystemColor(COLOR_BTNHIGHLIGHT));
        else
            canvas.FillRect({whole.Left, whole.Bottom - 1, whole.Left + 1, whole.Bottom}, SystemColor(COLOR_BTNHIGHLIGHT));
    }

    if (closeButtonWhenDocked_) {
        TRect button = GetDockedCloseButtonRect(leftRight);
        const TRect glyphBox = button;
        if (closeButtonDown_)
            DrawEdge(canvas, button, BDR_SUNKENOUTER, BF_RECT);
        else if (closeButtonHover_)
            DrawEdge(canvas, button, BDR_RAISEDINNER, BF_RECT);
        const int shift = closeButtonDown_ ? 1 : 0;
        DrawGlyphRows(canvas, {kCloseGlyphRows[0], kCloseGlyphRows[1], kCloseGlyphRows[2], kCloseGlyphRows[3],
                               kCloseGlyphRows[4], kCloseGlyphRows[5], kCloseGlyphRows[6], kCloseGlyphRows[7]},
                      8, glyphBox.Left + 2 + shift, glyphBox.Top + 2 + shift, SystemColor(COLOR_BTNTEXT));
    }
}

void TBarCustomDockableWindow::PaintClient(Canvas& canvas)
{
    if (currentDock_ && currentDock_->UsingBackground() && currentDock_->BackgroundOnToolbars())
        currentDock_->DrawBackgroundAt(canvas, currentDock_->pos() + ClientToWindow(pos()), QSize(ClientWidth(), ClientHeight()));
    else
        canvas.FillRect({0, 0, ClientWidth(), ClientHeight()}, color_);
}

void TBarCustomDockableWindow::SetCloseButtonState(bool down, bool hover)
{
    if (down == closeButtonDown_ && hover == closeButtonHover_)
        return;
    closeButtonDown_ = down;
    closeButtonHover_ = hover;
    update();
}

void TBarCustomDockableWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        NonClientWidget::mousePressEvent(event);
        return;
    }
    const QPoint p = event->position().toPoint();
    const int code = HitTest(p);
    if (code == kHitCloseButton) {
        closeButtonTracking_ = true;
        SetCloseButtonState(true, true);
    } else if (code == kHitDockedFrame) {
        if (currentDock_ && currentDock_->AllowDrag())
            BeginDrag(p);
    } else if (code == HTCLIENT && !IsPointOverControl(WindowToClient(p))) {
        if ((currentDock_ && currentDock_->AllowDrag()) || floating_)
            BeginDrag(p);
    }
}

void TBarCustomDockableWindow::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    const bool overClose = OverDockedCloseButton(p);
    if (closeButtonTracking_) {
        SetCloseButtonState(overClose, overClose);
        return;
    }
    SetCloseButtonState(false, overClose);
    const int along = HandleAtTop() ? p.y() : p.x();
    if (HitTest(p) == kHitDockedFrame && along < HandleThickness() + kBorder && dragHandleStyle_ != TBarDragHandleStyle::dhNone)
        setCursor(Qt::SizeAllCursor);
    else
        unsetCursor();
}

void TBarCustomDockableWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton && HitTest(event->position().toPoint()) != HTCLIENT) {
        // A right click on the frame asks for the context menu.
        ContextPopup(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    if (!closeButtonTracking_ || event->button() != Qt::LeftButton) {
        NonClientWidget::mouseReleaseEvent(event);
        return;
    }
    closeButtonTracking_ = false;
    const bool inside = OverDockedCloseButton(event->position().toPoint());
    SetCloseButtonState(false, inside);
    if (inside)
        Close();
}

void TBarCustomDockableWindow::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    const int code = HitTest(p);
    if (event->button() == Qt::LeftButton
        && (code == kHitDockedFrame || (code == HTCLIENT && !IsPointOverControl(WindowToClient(p)))))
        DoubleClick();
}

bool TBarCustomDockableWindow::ContextPopup(QPoint globalPos)
{
    if (RunContextPopup(*this, nullptr, PopupMenu, WindowToClient(mapFromGlobal(globalPos)), globalPos))
        return true;
    // Without a menu of its own the request goes on to the dock, as the frame's is not passed on
    // by itself.
    if (!currentDock_)
        return false;
    QContextMenuEvent request(QContextMenuEvent::Mouse, currentDock_->mapFromGlobal(globalPos), globalPos);
    request.ignore();
    QCoreApplication::sendEvent(currentDock_, &request);
    return request.isAccepted();
}

void TBarCustomDockableWindow::contextMenuEvent(QContextMenuEvent* event)
{
    // The platform asks on the press over the frame; the release there opens the menu.
    if (event->reason() == QContextMenuEvent::Mouse && HitTest(event->pos()) != HTCLIENT) {
        event->accept();
        return;
    }
    const QPoint mousePos = event->reason() == QContextMenuEvent::Keyboard ? QPoint(-1, -1) : WindowToClient(event->pos());
    if (RunContextPopup(*this, nullptr, PopupMenu, mousePos, event->globalPos()))
        event->accept();
    else
        event->ignore();
}

void TBarCustomDockableWindow::BeginDrag(QPoint windowPoint)
{
    BeginMoving(mapToGlobal(windowPoint));
}

void TBarCustomDockableWindow::leaveEvent(QEvent* event)
{
    NonClientWidget::leaveEvent(event);
    if (!closeButtonTracking_)
        SetCloseButtonState(false, false);
}

}  // namespace velmoran
