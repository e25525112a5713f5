// The drag, dock and size modes; see TBarDragMode.h.
#include "toolbar/TBarDragMode.h"

#include "platform/AlignLayout.h"
#include "platform/Application.h"
#include "platform/SystemParams.h"
#include "platform/core/ScopeExit.h"
#include "toolbar/TBarDockableWindow.h"
#include "toolbar/TBarDragOutline.h"
#include "toolbar/TBarFloatingWindow.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <cstdlib>

namespace velmoran {

namespace {

TBarMode* running = nullptr;

constexpr TBarDockPosition kSearchOrder[] = {TBarDockPosition::dpTop, TBarDockPosition::dpBottom, TBarDockPosition::dpLeft,
                                             TBarDockPosition::dpRight};

bool Accepts(const TBarDock& dock, const TBarCustomDockableWindow& window)
{
    return dock.AllowDrag() && (window.DockableToPositions & DockableTo(dock.Position())) != 0;
}

// The docks of a container: its child docks by position (each searched in turn), then its other
// children, then the container itself when it is a dock. The dragged window and other top-level
// windows are not searched.
void CollectDocks(QWidget& container, const QWidget& dragged, std::vector<TBarDock*>& docks)
{
    const QList<QWidget*> children = container.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    const auto searchable = [&dragged](const QWidget* child) {
        return child != &dragged && !dragged.isAncestorOf(child) && !child->isWindow() && !IsExplicitlyHidden(*child);
    };
    for (TBarDockPosition position : kSearchOrder)
        for (QWidget* child : children)
            if (auto* dock = dynamic_cast<TBarDock*>(child); dock && dock->Position() == position && searchable(child))
                CollectDocks(*dock, dragged, docks);
    for (QWidget* child : children)
        if (!dynamic_cast<TBarDock*>(child) && searchable(child))
            CollectDocks(*child, dragged, docks);
    if (auto* dock = dynamic_cast<TBarDock*>(&container); dock && std::find(docks.begin(), docks.end(), dock) == docks.end())
        docks.push_back(dock);
}

QRect ScreenClientRect(const TBarDock& dock)
{
    const QRect client = dock.ClientRect();
    return QRect(dock.mapToGlobal(client.topLeft()), client.size());
}

// The floating frame's sizes: the border on each side and the caption above.
QMargins FloatingFrame(const TBarCustomDockableWindow& window)
{
    const QPoint border = window.GetFloatingBorderSize();
    const int caption = window.ShowCaption() ? kSmallCaptionHeight : 0;
    return QMargins(border.x(), border.y() + caption, border.x(), border.y());
}

// --- the drag ---

class TBarMoveMode : public TBarMode {
public:
    TBarMoveMode(TBarCustomDockableWindow& window, QWidget& form) : TBarMode(window, form) {}

    void Begin(QPoint cursor);

protected:
    void Moved(QPoint cursor) override;
    void CtrlChanged(bool down) override;
    void End(bool accept) override;

private:
    const TDockedSize& EntryOf(const TBarDock* dock) const;
    void MoveToTarget();
    // Docks the window at a wanted row and position (a row of its own with newRow).
    void Dock(TBarDock& drop, int row, int pos, bool newRow);

    // Where the last smooth move docked the window.
    struct Placement {
        QPointer<TBarDock> Dock;
        int Row = 0;
        int Pos = 0;
        bool NewRow = false;
    };

    QPointer<TBarDock> startDock_;
    int startRow_ = 0;
    int startPos_ = -1;
    QPoint startCursor_;
    TBarGrab grab_;
    bool ctrlDown_ = false;
    bool cannotFloat_ = false;
    bool considerDocking_ = false;
    bool startVertical_ = false;
    bool rowOverflowAtStart_ = false;
    Qt::CursorShape startCursorShape_ = Qt::ArrowCursor;
    std::vector<TBarDock*> docks_;
    // The floating entry first, then one per candidate dock.
    std::vector<TDockedSize> sizes_;
    QPointer<TBarDock> dropDock_;
    QRect outline_;
    Placement placed_;
};

void TBarMoveMode::Begin(QPoint cursor)
{
    TBarCustomDockableWindow& window = *window_;
    startDock_ = window.CurrentDock();
    startRow_ = window.DockRow();
    startPos_ = window.DockPos();
    window.Dragging = true;
    window.DragWithinRow = false;
    if (TBarDock* dock = window.CurrentDock()) {
        window.DragRowOverflow = false;
        dock->CommitNewPositions = true;
        dock->ArrangeToolbars();
        startVertical_ = dock->Vertical();
        rowOverflowAtStart_ = window.DragRowOverflow;
    }
    window.DragSmooth = window.SmoothDrag;
    const QRect outer = window.Floating() && window.FloatParent() ? window.FloatParent()->geometry()
                                                                  : QRect(window.mapToGlobal(QPoint(0, 0)), window.size());
    grab_.Offset = cursor - outer.topLeft();
    grab_.OrigSize1 = QPoint(outer.width() - 1, outer.height() - 1);
    ctrlDown_ = QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
    cannotFloat_ = window.DockMode != TBarDockMode::dmCanFloat;

    if (window.DockMode == TBarDockMode::dmCannotFloatOrChangeDocks) {
        if (window.CurrentDock())
            docks_.push_back(window.CurrentDock());
    } else {
        if (TBarDock* dock = window.CurrentDock(); dock && Accepts(*dock, window))
            docks_.push_back(dock);
        std::vector<TBarDock*> found;
        CollectDocks(*window.ParentForm(), window, found);
        for (TBarDock* dock : found)
            if (Accepts(*dock, window) && std::find(docks_.begin(), docks_.end(), dock) == docks_.end())
                docks_.push_back(dock);
    }
    for (TBarDock* dock : docks_)
        dock->CommitPositions();

    const TDockType present = DockTypeOf(window.CurrentDock(), window.Floating());
    TDockedSize floating;
    const QMargins frame = FloatingFrame(window);
    floating.Size = window.ArrangeControls(false, present, true, nullptr)
                    + QPoint(frame.left() + frame.right(), frame.top() + frame.bottom());
    sizes_.push_back(floating);
    for (TBarDock* dock : docks_) {
        TDockedSize entry;
        entry.Dock = dock;
        entry.BoundsRect = ScreenClientRect(*dock);
        if (dock == window.CurrentDock()) {
            entry.Size = QPoint(window.width(), window.height());
        } else {
            const int handle = DragHandleSize(window.CloseButtonWhenDocked(), window.DragHandleStyle());
            entry.Size = window.ArrangeControls(false, present, false, dock) + QPoint(4, 4)
                         + (dock->Vertical() ? QPoint(0, handle) : QPoint(handle, 0));
        }
        for (int row = 0; row <= dock->GetHighestRow(false); ++row) {
            TBarRowSize size;
            size.Size = dock->GetRowSize(row, &size.FullSize);
            entry.RowSizes.push_back(size);
        }
        sizes_.push_back(std::move(entry));
    }

    startCursorShape_ = window.cursor().shape();
    startCursor_ = cursor;
    lastCursor_ = cursor;
    Start(startCursorShape_);
    considerDocking_ = window.Docked();
    Moved(cursor);
    considerDocking_ = true;
}

const TDockedSize& TBarMoveMode::EntryOf(const TBarDock* dock) const
{
    for (const TDockedSize& entry : sizes_)
        if (entry.Dock == dock)
            return entry;
    return sizes_.front();
}

void TBarMoveMode::Moved(QPoint cursor)
{
    TBarCustomDockableWindow& window = *window_;
    TBarDock* drop = nullptr;
    if (window.DragWithinRow) {
        drop = window.CurrentDock();
    } else if (considerDocking_ && !ctrlDown_) {
        for (const TDockedSize& entry : sizes_) {
            if (!entry.Dock || !CheckIfCanDockTo(entry, entry.Dock->Vertical(), cursor, grab_))
                continue;
            bool accept = true;
            if (entry.Dock->OnRequestDock)
                entry.Dock->OnRequestDock(*entry.Dock, window, accept);
            if (accept) {
                drop = entry.Dock;
                break;
            }
        }
    }
    dropDock_ = drop;

    if (!drop) {
        const QRect work = GetMonitorRectOfPoint(cursor, true);
        cursor.setX(std::clamp(cursor.x(), work.left(), work.right()));
        cursor.setY(std::clamp(cursor.y(), work.top(), work.bottom()));
    }
    QRect outline = OutlineAt(EntryOf(drop), cursor, grab_);
    const QPoint border = window.GetFloatingBorderSize();
    if (!drop) {
        // Floating: keep a grip of the outline within the work area, its caption below its top.
        const QRect work = GetMonitorRectOfPoint(cursor, true);
        const QRect area = work.adjusted(border.x() + 4, border.y() + 4, -(border.x() + 4), -(border.y() + 4));
        if (outline.bottom() < area.top())
            outline.moveBottom(area.top());
        else if (outline.top() > area.bottom())
            outline.moveTop(area.bottom());
        else if (outline.right() < area.left())
            outline.moveRight(area.left());
        else if (outline.left() > area.right())
            outline.moveLeft(area.right());
        const int topFrame = FloatingFrame(window).top();
        if (outline.top() + topFrame < work.top() + 4)
            outline.moveTop(work.top() + 4 - topFrame);
    }

    if (drop || !cannotFloat_) {
        SetCursorShape(window.DragWithinRow ? (startVertical_ ? Qt::SizeVerCursor : Qt::SizeHorCursor) : startCursorShape_);
    } else {
        outline = QRect();
        SetCursorShape(Qt::ForbiddenCursor);
    }
    outline_ = outline;

    if (!window.DragSmooth)
        OutlineWindow().Draw(outline, drop ? QSize(1, 1) : QSize(border.x(), border.x()));
    else if (!outline.isEmpty())
        MoveToTarget();
}

void TBarMoveMode::CtrlChanged(bool down)
{
    if (down == ctrlDown_)
        return;
    ctrlDown_ = down;
    Moved(lastCursor_);
}

void TBarMoveMode::MoveToTarget()
{
    TBarCustomDockableWindow& window = *window_;
    TBarDock* drop = dropDock_;
    if (!drop) {
        window.InsertNewRow = false;
        window.SetFloatingPosition(outline_.topLeft());
        window.SetFloating(true);
        window.MoveOnScreen(true);
        if (TBarFloatingWindowParent* floating = window.FloatParent())
            floating->update();
        return;
    }
    const QPoint topLeft = drop->WindowToClient(drop->mapFromGlobal(outline_.topLeft()));
    const QRect r(topLeft, outline_.size());
    int row = window.DockRow();
    bool newRow = false;
    if (!window.DragWithinRow) {
        const TDockedSize& entry = EntryOf(drop);
        const int across = drop->Vertical() ? r.left() + r.width() / 2 : r.top() + r.height() / 2;
        row = FindRow(entry.RowSizes, static_cast<int>(entry.RowSizes.size()) - 1, across, window.FullSize(), newRow);
        if (newRow)
            rowOverflowAtStart_ = false;
    }
    if (rowOverflowAtStart_) {
        if (drop == startDock_ && row == startRow_) {
            const int along = startVertical_ ? lastCursor_.y() - startCursor_.y() : lastCursor_.x() - startCursor_.x();
            if (std::abs(along) > 9) {
                rowOverflowAtStart_ = false;
                window.DragWithinRow = true;
                SetCursorShape(startVertical_ ? Qt::SizeVerCursor : Qt::SizeHorCursor);
            }
        } else {
            rowOverflowAtStart_ = false;
        }
    }
    Dock(*drop, row, drop->Vertical() ? r.top() : r.left(), newRow);
}

void TBarMoveMode::Dock(TBarDock& drop, int row, int pos, bool newRow)
{
    TBarCustomDockableWindow& window = *window_;
    placed_ = {&drop, row, pos, newRow};
    PlaceWanted(window, row, pos);
    window.SetParent(&drop);
    if (!window.DragSmooth)
        drop.CommitNewPositions = true;
    window.InsertNewRow = newRow;
    const ScopeExit clear([&window] { window.InsertNewRow = false; });
    drop.ArrangeToolbars();
}

void TBarMoveMode::End(bool accept)
{
    if (!window_)
        return;
    TBarCustomDockableWindow& window = *window_;
    const ScopeExit clear([&window] {
        window.Dragging = false;
        window.DragWithinRow = false;
    });
    const bool smooth = window.DragSmooth;
    window.DragSmooth = false;
    // A smooth drag commits what its last move showed: a bottom or right dock that grew since
    // has moved its client area, so the outline would fall into another row now.
    if (accept && !outline_.isEmpty()) {
        if (smooth && dropDock_ && placed_.Dock == dropDock_)
            Dock(*dropDock_, placed_.Row, placed_.Pos, placed_.NewRow);
        else
            MoveToTarget();
    }
    if (window.UseLastDock() && window.Docked())
        window.SetLastDock(window.CurrentDock());
    if (TBarFloatingWindowParent* floating = window.FloatParent(); floating && floating != window.parentWidget())
        DropFloatParent(window);
    if (!window.Docked()) {
        PlaceWanted(window, startRow_, startPos_);
        // The home dock last arranged the window hidden at the row of a dock it crossed; arranged
        // again at the restored row, the next drag's commit keeps the other bars' rows.
        if (TBarDock* home = window.LastDock())
            home->ArrangeToolbars();
    }
}

// --- sizing ---

class TBarSizeMode : public TBarMode {
public:
    TBarSizeMode(TBarCustomDockableWindow& window, QWidget& form) : TBarMode(window, form) {}

    void Begin(int edge, QPoint cursor);

protected:
    void Moved(QPoint cursor) override;
    void End(bool accept) override;

private:
    void Apply(const QRect& rect);

    bool smooth_ = true;
    bool horizontal_ = false, fromLeft_ = false, vertical_ = false, fromTop_ = false;
    QSize min_, max_;
    QRect startRect_, rect_;
    QPoint startCursor_;
    // The work area the cursor is held in, empty when it goes where it likes.
    QRect confine_;
};

void TBarSizeMode::Begin(int edge, QPoint cursor)
{
    TBarCustomDockableWindow& window = *window_;
    TBarFloatingWindowParent& floating = *window.FloatParent();
    smooth_ = window.SmoothDrag;
    int minW = 0, minH = 0, maxW = 0, maxH = 0;
    window.GetMinMaxSize(minW, minH, maxW, maxH);
    const QSize frame = floating.size() - QSize(floating.ClientWidth(), floating.ClientHeight());
    min_ = QSize(minW + frame.width(), minH + frame.height());
    max_ = QSize(maxW > 0 ? maxW + frame.width() : 0, maxH > 0 ? maxH + frame.height() : 0);
    horizontal_ = edge != 2 && edge != 5;
    fromLeft_ = edge == 0 || edge == 3 || edge == 6;
    vertical_ = edge >= 2;
    fromTop_ = edge >= 2 && edge <= 4;
    window.SizingBegin(edge);
    if (window.ConfineCursorWhileSizing && GetMonitorCount() <= 1)
        confine_ = GetPrimaryWorkArea();
    startRect_ = rect_ = floating.geometry();
    startCursor_ = lastCursor_ = cursor;
    Start(floating.cursor().shape());
    if (!smooth_)
        OutlineWindow().Draw(rect_, QSize(window.GetFloatingBorderSize().x(), window.GetFloatingBorderSize().x()));
}

void TBarSizeMode::Moved(QPoint cursor)
{
    if (!confine_.isEmpty()) {
        const QPoint held(std::clamp(cursor.x(), confine_.left(), confine_.right()),
                          std::clamp(cursor.y(), confine_.top(), confine_.bottom()));
        if (held != cursor) {
            QCursor::setPos(held);
            cursor = held;
        }
    }
    const QPoint d = cursor - startCursor_;
    QRect r = startRect_;
    // One axis: the dragged edge follows the cursor, held back at the minimum and maximum.
    const auto size = [](int& low, int& high, bool fromLow, int delta, int minimum, int maximum) {
        if (fromLow)
            low += delta;
        else
            high += delta;
        const int length = high - low;
        int wanted = std::max(length, minimum);
        if (maximum > 0)
            wanted = std::min(wanted, maximum);
        if (fromLow)
            low = high - wanted;
        else
            high = low + wanted;
    };
    int left = r.left(), right = r.left() + r.width(), top = r.top(), bottom = r.top() + r.height();
    if (horizontal_)
        size(left, right, fromLeft_, d.x(), min_.width(), max_.width());
    if (vertical_)
        size(top, bottom, fromTop_, d.y(), min_.height(), max_.height());
    r = QRect(left, top, right - left, bottom - top);
    window_->SizingTrack(r, startRect_);
    rect_ = r;
    if (smooth_)
        Apply(r);
    else
        OutlineWindow().Draw(r, QSize(window_->GetFloatingBorderSize().x(), window_->GetFloatingBorderSize().x()));
}

void TBarSizeMode::Apply(const QRect& rect)
{
    TBarCustomDockableWindow& window = *window_;
    TBarFloatingWindowParent* floating = window.FloatParent();
    if (!floating)
        return;
    window.BeginArrange();
    {
        const ScopeExit endArrange([&window] { window.EndArrange(); });
        window.SizingApply();
        floating->setGeometry(rect);
        window.SetFloatingPosition(rect.topLeft());
        window.SetBounds(QRect(0, 0, floating->ClientWidth(), floating->ClientHeight()));
    }
    window.MoveOnScreen(true);
}

void TBarSizeMode::End(bool accept)
{
    if (!window_)
        return;
    const QPointer<TBarCustomDockableWindow> window = window_;
    const ScopeExit end([window] {
        if (window)
            window->SizingEnd();
    });
    if (accept && !smooth_)
        Apply(rect_);
}

}  // namespace

// --- the proportions and the drop test ---

int FindRow(const std::vector<TBarRowSize>& rowSizes, int highestRow, int position, bool windowFullSize, bool& newRow)
{
    newRow = false;
    if (highestRow < 0)
        return 0;
    int start = 0;
    for (int row = 0; row <= highestRow && row < static_cast<int>(rowSizes.size()); ++row) {
        const int size = rowSizes[row].Size;
        if (size == 0)
            continue;
        const bool full = windowFullSize || rowSizes[row].FullSize;
        const int edge = full ? size / 2 : size / 4;
        if (start + edge > position) {
            newRow = true;
            return row;
        }
        start += size;
        if (!full && start - edge > position)
            return row;
    }
    return highestRow + 1;
}

int GrabShare(int value, int grab, int size)
{
    if (size <= 0)
        return value / 2;
    const long long product = static_cast<long long>(value) * grab;
    const long long half = size / 2;
    return static_cast<int>((product >= 0 ? product + half : product - half) / size);
}

QRect OutlineAt(const TDockedSize& place, QPoint cursor, const TBarGrab& grab)
{
    const int left = cursor.x() - GrabShare(place.Size.x() - 1, grab.Offset.x(), grab.OrigSize1.x());
    const int top = cursor.y() - GrabShare(place.Size.y() - 1, grab.Offset.y(), grab.OrigSize1.y());
    return QRect(left, top, place.Size.x(), place.Size.y());
}

bool CheckIfCanDockTo(const TDockedSize& entry, bool verticalDock, QPoint cursor, const TBarGrab& grab)
{
    const QRect r = entry.BoundsRect.adjusted(-3, -3, 3, 3);
    const int right = r.left() + r.width();
    const int bottom = r.top() + r.height();
    const int kx = GrabShare(25, grab.Offset.x(), grab.OrigSize1.x());
    const int ky = GrabShare(25, grab.Offset.y(), grab.OrigSize1.y());
    if (!(r.left() - (25 - kx) <= cursor.x() && cursor.x() < right + kx))
        return false;
    if (verticalDock && !(r.top() <= cursor.y() && cursor.y() < bottom))
        return false;
    if (!(r.top() - (25 - ky) <= cursor.y() && cursor.y() < bottom + ky))
        return false;
    return OutlineAt(entry, cursor, grab).intersects(r);
}

// --- the mode ---

TBarMode::TBarMode(TBarCustomDockableWindow& window, QWidget& grabber) : window_(&window), grabber_(&grabber)
{
    running = this;
}

TBarMode::~TBarMode()
{
    abandoned_ = true;
    Finish(false);
    if (running == this)
        running = nullptr;
}

TBarMode* TBarMode::Running()
{
    return running;
}

void TBarMode::Start(Qt::CursorShape cursor)
{
    qApp->installEventFilter(this);
    if (grabber_)
        grabber_->grabMouse();
    QGuiApplication::setOverrideCursor(QCursor(cursor));
    cursorSet_ = true;
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { Finish(false); });
}

void TBarMode::SetCursorShape(Qt::CursorShape cursor)
{
    if (cursorSet_ && (!QGuiApplication::overrideCursor() || QGuiApplication::overrideCursor()->shape() != cursor))
        QGuiApplication::changeOverrideCursor(QCursor(cursor));
}

TBarDragOutline& TBarMode::OutlineWindow()
{
    if (!outline_)
        outline_ = std::make_unique<TBarDragOutline>();
    return *outline_;
}

void TBarMode::PlaceWanted(TBarCustomDockableWindow& window, int row, int pos)
{
    window.dockRow_ = row;
    window.dockPos_ = pos;
}

void TBarMode::DropFloatParent(TBarCustomDockableWindow& window)
{
    if (QWidget* floating = window.floatParent_) {
        window.floatParent_ = nullptr;
        floating->hide();
        floating->deleteLater();
    }
}

void TBarMode::Abandon()
{
    abandoned_ = true;
    Finish(false);
    deleteLater();
}

void TBarMode::Finish(bool accept)
{
    if (finished_)
        return;
    finished_ = true;
    if (running == this)
        running = nullptr;
    qApp->removeEventFilter(this);
    disconnect(qApp, &QCoreApplication::aboutToQuit, this, nullptr);
    if (grabber_ && QWidget::mouseGrabber() == grabber_)
        grabber_->releaseMouse();
    if (cursorSet_) {
        cursorSet_ = false;
        QGuiApplication::restoreOverrideCursor();
    }
    outline_.reset();
    if (!abandoned_) {
        const ScopeExit later([this] { deleteLater(); });
        End(accept && window_ && grabber_);
    }
}

bool TBarMode::Handle(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseMove: {
        const QPoint cursor = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        event->accept();
        if (cursor != lastCursor_) {
            lastCursor_ = cursor;
            Moved(cursor);
        }
        return true;
    }
    case QEvent::MouseButtonRelease:
        event->accept();
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            Finish(true);
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        event->accept();
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            Finish(false);
        return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        event->accept();
        if (key->key() == Qt::Key_Escape)
            Finish(false);
        else if (key->key() == Qt::Key_Control)
            CtrlChanged(event->type() == QEvent::KeyPress);
        return true;
    }
    case QEvent::ShortcutOverride:
        event->accept();
        return true;
    case QEvent::ApplicationStateChange:
        if (static_cast<QApplicationStateChangeEvent*>(event)->applicationState() != Qt::ApplicationActive)
            Finish(false);
        return false;
    default:
        return false;
    }
}

bool TBarMode::eventFilter(QObject* watched, QEvent* event)
{
    if (finished_)
        return false;
    if (!window_ || !grabber_ || (event->type() == QEvent::UngrabMouse && watched == grabber_)
        || QWidget::mouseGrabber() != grabber_) {
        Finish(false);
        return false;
    }
    try {
        return Handle(event);
    } catch (...) {
        // The mode ends, cancelled; then the application shows what went wrong, as it does for
        // an exception at the event loop (it is not thrown on through Qt's delivery).
        RunGuarded([this] { Finish(false); });
        ShowCurrentException();
        return true;
    }
}

void CancelModeOf(const QObject* object)
{
    TBarMode* mode = TBarMode::Running();
    if (!mode || !object)
        return;
    const QWidget* form = mode->Grabber();
    if (mode->Window() == object || form == object)
        mode->Abandon();
}

// --- the dockable window's entries ---

void TBarCustomDockableWindow::BeginMoving(QPoint screenPoint)
{
    if (TBarMode::Running())
        return;
    auto* mode = new TBarMoveMode(*this, *ParentForm());
    try {
        mode->Begin(screenPoint);
    } catch (...) {
        mode->Finish(false);
        throw;
    }
}

void TBarCustomDockableWindow::BeginSizing(int edge, QPoint screenPoint)
{
    if (TBarMode::Running() || !floating_ || !FloatParent() || edge < 0 || edge > 7)
        return;
    auto* mode = new TBarSizeMode(*this, *ParentForm());
    try {
        mode->Begin(edge, screenPoint);
    } catch (...) {
        mode->Finish(false);
        throw;
    }
}

}  // namespace velmoran
