// The dock bar's properties, lists, painting and message relay; the row layout is in
// TBarDockArrange.cpp.
#include "toolbar/TBarDock.h"

#include "platform/Canvas.h"
#include "platform/SystemColors.h"
#include "platform/core/ScopeExit.h"
#include "toolbar/TBarDockableWindow.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMoveEvent>
#include <QResizeEvent>

#include <algorithm>

namespace velmoran {

TDockType DockTypeOf(const TBarDock* dock, bool floating)
{
    if (floating)
        return TDockType::dtFloating;
    if (!dock)
        return TDockType::dtNotDocked;
    return dock->Vertical() ? TDockType::dtLeftRight : TDockType::dtTopBottom;
}

bool RunContextPopup(QWidget& sender, const TContextPopupEvent& handler, QMenu* menu, QPoint mousePos,
                     QPoint globalPos)
{
    bool handled = false;
    if (handler)
        handler(sender, mousePos, handled);
    if (handled)
        return true;
    if (!menu)
        return false;
    menu->popup(globalPos);
    return true;
}

TBarDock::TBarDock(QWidget* parent, TBarDockPosition position)
    : NonClientWidget(nullptr), color_(SystemColor(COLOR_BTNFACE)), position_(position)
{
    SetParent(parent);
    // Made in code, the dock is loaded at once: empty, it is 0 or 1 pixel thick before its form
    // is first laid out, not as large as a new window, which would squeeze the form's other
    // aligned children (a dock not yet shown has no resize events to arrange it).
    ArrangeToolbars();
}

TBarDock::~TBarDock()
{
    if (background_)
        background_->UnregisterChanges(this);
    // The bars that still count on this dock forget it before its lists go; the docked ones are
    // deleted with the dock's children afterwards.
    for (TBarCustomDockableWindow* bar : dockList_)
        if (bar->lastDock_ == this)
            bar->lastDock_ = nullptr;
    for (QObject* child : children())
        if (auto* bar = dynamic_cast<TBarCustomDockableWindow*>(child); bar && bar->currentDock_ == this)
            bar->currentDock_ = nullptr;
}

void TBarDock::CheckParent(QWidget* parent) const
{
    if (dynamic_cast<TBarCustomDockableWindow*>(parent) || dynamic_cast<TBarDock*>(parent))
        throw EInvalidOperation("A TBarDock control cannot be placed inside a tool window or another TBarDock");
}

void TBarDock::SetParent(QWidget* parent)
{
    CheckParent(parent);
    const bool hidden = IsExplicitlyHidden(*this);
    setParent(parent);
    if (parent) {
        SetAlign(*this, AlignOfPosition());
        setVisible(!hidden);
    }
}

TAlign TBarDock::AlignOfPosition() const
{
    switch (position_) {
    case TBarDockPosition::dpBottom: return TAlign::alBottom;
    case TBarDockPosition::dpLeft: return TAlign::alLeft;
    case TBarDockPosition::dpRight: return TAlign::alRight;
    default: return TAlign::alTop;
    }
}

void TBarDock::SetPosition(TBarDockPosition position)
{
    if (position == position_)
        return;
    if (!findChildren<QWidget*>(Qt::FindDirectChildrenOnly).isEmpty())
        throw EInvalidOperation("Cannot change Position of a TBarDock if it already contains controls");
    position_ = position;
    if (parentWidget())
        SetAlign(*this, AlignOfPosition());
    ArrangeToolbars();
}

void TBarDock::SetAllowDrag(bool allow)
{
    if (allow == allowDrag_)
        return;
    allowDrag_ = allow;
    for (TBarCustomDockableWindow* bar : std::vector(dockList_))
        if (bar->parentWidget() == this)
            bar->RecalcNCArea();
    ArrangeToolbars();
}

void TBarDock::SetBackground(TBarBasicBackground* background)
{
    if (background == background_)
        return;
    if (background_)
        background_->UnregisterChanges(this);
    background_ = background;
    if (background_)
        background_->RegisterChanges(this, [this] { update(); });
    update();
    for (TBarCustomDockableWindow* bar : dockVisibleList_)
        bar->update();
}

void TBarDock::SetBackgroundOnToolbars(bool value)
{
    if (value == backgroundOnToolbars_)
        return;
    backgroundOnToolbars_ = value;
    update();
}

void TBarDock::SetBoundLines(TBarDockBoundLines lines)
{
    if (lines == boundLines_)
        return;
    boundLines_ = lines;
    RecalcNonClient();
}

void TBarDock::RecalcNonClient()
{
    const auto line = [this](TBarDockBoundLines l) { return (boundLines_ & l) ? 1 : 0; };
    nonClientHeight_ = line(blTop) + line(blBottom);
    nonClientWidth_ = line(blLeft) + line(blRight);
    SetNonClientMargins(QMargins(line(blLeft), line(blTop), line(blRight), line(blBottom)));
    ArrangeToolbars();
}

void TBarDock::SetColor(ColorRef color)
{
    if (color == color_)
        return;
    color_ = color;
    update();
}

void TBarDock::SetFixAlign(bool value)
{
    if (value == fixAlign_)
        return;
    fixAlign_ = value;
    ArrangeToolbars();
}

void TBarDock::EndUpdate()
{
    if (--disableArrangeToolbars_ == 0 && arrangeToolbarsNeeded_)
        ArrangeToolbars();
}

bool TBarDock::IsShownOnDock(const TBarCustomDockableWindow* bar) const
{
    return bar->parentWidget() == this && !IsExplicitlyHidden(*bar);
}

void TBarDock::ChangeDockList(bool insert, TBarCustomDockableWindow* bar)
{
    const auto found = std::find(dockList_.begin(), dockList_.end(), bar);
    if (insert && found == dockList_.end())
        dockList_.push_back(bar);
    else if (!insert && found != dockList_.end())
        dockList_.erase(found);
    ToolbarVisibilityChanged(bar, false);
}

void TBarDock::ToolbarVisibilityChanged(TBarCustomDockableWindow* bar, bool forceRemove)
{
    const bool shouldBeListed = !forceRemove && IsShownOnDock(bar);
    const auto found = std::find(dockVisibleList_.begin(), dockVisibleList_.end(), bar);
    const bool listed = found != dockVisibleList_.end();
    if (shouldBeListed == listed)
        return;
    if (shouldBeListed)
        dockVisibleList_.push_back(bar);
    else
        dockVisibleList_.erase(found);
    ArrangeToolbars();
    if (OnInsertRemoveBar)
        OnInsertRemoveBar(*this, shouldBeListed, *bar);
}

void TBarDock::ForgetBar(TBarCustomDockableWindow* bar)
{
    std::erase(dockList_, bar);
    std::erase(dockVisibleList_, bar);
}

void TBarDock::CommitPositions()
{
    for (TBarCustomDockableWindow* bar : dockVisibleList_) {
        bar->dockRow_ = bar->EffectiveDockRow;
        bar->dockPos_ = bar->EffectiveDockPos;
    }
}

int TBarDock::GetHighestRow(bool effective) const
{
    int highest = -1;
    for (const TBarCustomDockableWindow* bar : dockList_)
        highest = std::max(highest, effective ? bar->EffectiveDockRow : bar->DockRow());
    return highest;
}

int TBarDock::GetRowSize(int row, bool* fullSizeRow) const
{
    if (fullSizeRow)
        *fullSizeRow = false;
    if (row < 0)
        return 0;
    int size = 0;
    for (const TBarCustomDockableWindow* bar : dockList_) {
        if (!IsShownOnDock(bar) || bar->EffectiveDockRow != row)
            continue;
        size = std::max(size, Vertical() ? bar->width() : bar->height());
        if (fullSizeRow && bar->FullSize())
            *fullSizeRow = true;
    }
    return size;
}

int TBarDock::GetRowThicknessExcluding(int row, const TBarCustomDockableWindow* excluded) const
{
    int thickness = 0;
    for (const TBarCustomDockableWindow* bar : dockList_)
        if (bar != excluded && IsShownOnDock(bar) && bar->EffectiveDockRow == row)
            thickness = std::max(thickness, bar->RowThickness);
    return thickness;
}

int TBarDock::GetRowOf(int distance) const
{
    const int highest = GetHighestRow(true);
    int sum = 0;
    for (int row = 0; row <= highest + 1; ++row) {
        sum += GetRowSize(row);
        if (sum > distance)
            return row;
    }
    return highest + 1;
}

void TBarDock::ChangeWidthHeight(int newWidth, int newHeight)
{
    QRect bounds = geometry();
    switch (AlignOfPosition()) {
    case TAlign::alBottom:
        bounds.setTop(bounds.top() + bounds.height() - newHeight);
        bounds.setWidth(newWidth);
        break;
    case TAlign::alRight:
        bounds.setLeft(bounds.left() + bounds.width() - newWidth);
        bounds.setHeight(newHeight);
        break;
    default:
        bounds.setSize(QSize(newWidth, newHeight));
        break;
    }
    setGeometry(bounds);
}

void TBarDock::SetThickness(int thickness)
{
    if (Vertical())
        ChangeWidthHeight(thickness, height());
    else
        ChangeWidthHeight(width(), thickness);
}

void TBarDock::DrawBackground(Canvas& canvas, const TRect& drawRect)
{
    if (background_)
        background_->Draw(canvas, drawRect);
}

bool TBarDock::UsingBackground() const
{
    return background_ && background_->UsingBackground();
}

void TBarDock::PaintNonClient(Canvas& canvas)
{
    if (boundLines_ == 0 || dockVisibleList_.empty())
        return;
    const int w = width();
    const int h = height();
    canvas.FillRect({0, 0, w, h}, color_);
    const ColorRef shadow = SystemColor(COLOR_BTNSHADOW);
    const ColorRef light = SystemColor(COLOR_BTNHIGHLIGHT);
    if (boundLines_ & blTop)
        canvas.FillRect({0, 0, w, 1}, shadow);
    if (boundLines_ & blLeft)
        canvas.FillRect({0, 0, 1, h}, shadow);
    if (boundLines_ & blBottom)
        canvas.FillRect({0, h - 1, w, h}, light);
    if (boundLines_ & blRight)
        canvas.FillRect({w - 1, 0, w, h}, light);
}

void TBarDock::DrawBackgroundAt(Canvas& canvas, QPoint anchor, QSize size)
{
    canvas.SaveDC();
    canvas.SetViewportOrg(canvas.GetViewportOrg().X - anchor.x(), canvas.GetViewportOrg().Y - anchor.y());
    DrawBackground(canvas, {anchor.x(), anchor.y(), anchor.x() + size.width(), anchor.y() + size.height()});
    canvas.RestoreDC();
}

void TBarDock::PaintClient(Canvas& canvas)
{
    if (UsingBackground())
        DrawBackgroundAt(canvas, ClientToWindow(pos()), QSize(ClientWidth(), ClientHeight()));
    else
        canvas.FillRect({0, 0, ClientWidth(), ClientHeight()}, color_);
}

void TBarDock::resizeEvent(QResizeEvent* event)
{
    NonClientWidget::resizeEvent(event);
    ArrangeToolbars();
}

void TBarDock::moveEvent(QMoveEvent* event)
{
    NonClientWidget::moveEvent(event);
    if (!UsingBackground())
        return;
    update();
    for (TBarCustomDockableWindow* bar : dockVisibleList_)
        bar->update();
}

template <typename Relay>
bool TBarDock::RelayToFloatingBars(Relay relay, bool menuEventsOnly)
{
    for (TBarCustomDockableWindow* bar : std::vector(dockList_)) {
        if (!bar->Floating() || !bar->isVisible() || !bar->isEnabled())
            continue;
        if (menuEventsOnly && !bar->HasMenuEvents())
            continue;
        if (relay(*bar))
            return true;
    }
    return false;
}

bool TBarDock::RelayDialogKey(QKeyEvent& event)
{
    return RelayToFloatingBars([&event](TBarCustomDockableWindow& bar) { return bar.DialogKey(event); }, false);
}

bool TBarDock::RelayDialogChar(QKeyEvent& event)
{
    return RelayToFloatingBars([&event](TBarCustomDockableWindow& bar) { return bar.DialogChar(event); }, false);
}

bool TBarDock::RelayKeyMenu(char32_t key)
{
    return RelayToFloatingBars([key](TBarCustomDockableWindow& bar) { return bar.KeyMenu(key); }, true);
}

void TBarDock::contextMenuEvent(QContextMenuEvent* event)
{
    const bool fromKeyboard = event->reason() == QContextMenuEvent::Keyboard;
    const QPoint mousePos = fromKeyboard ? QPoint(-1, -1) : WindowToClient(event->pos());
    if (RunContextPopup(*this, OnContextPopup, PopupMenu, mousePos, event->globalPos()))
        event->accept();
    else
        event->ignore();
}

}  // namespace velmoran
