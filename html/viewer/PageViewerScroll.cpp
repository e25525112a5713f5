// The page viewer's layout width, scroll bars and scrolling: positions that survive a layout,
// anchors, the bars placed by what the document needs, keys and the wheel, and the nested loop
// that scrolls while a selection is dragged out of the surface or the middle button pans.
#include "html/viewer/PageViewer.h"

#include "platform/Cursors.h"
#include "platform/Application.h"
#include "platform/core/ScopeExit.h"
#include "platform/core/Text.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFrame>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>

namespace velmoran {
namespace {

constexpr int kLongSource = 10000;

// Lets the events of about 24 milliseconds run; false when the viewer went meanwhile.
bool RunEventsAWhile(const QPointer<TPageViewer>& viewer)
{
    for (int i = 0; i < 4; ++i) {
        QEventLoop wait;
        QTimer::singleShot(6, &wait, &QEventLoop::quit);
        wait.exec();
        if (!viewer)
            return false;
    }
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Positions

int TPageViewer::GetPosition()
{
    int sectionY = 0, index = 0;
    if (document_->FindSectionAtPosition(vPos_, sectionY, index))
        return ((index + 1) << 16) | ((vPos_ - sectionY) & 0xFFFF);
    return vPos_;
}

void TPageViewer::SetPosition(int code)
{
    const int high = static_cast<int>(static_cast<unsigned>(code) >> 16);
    if (high == 0) {
        ScrollTo(code & 0xFFFF);
        return;
    }
    int y = 0;
    if (document_->PositionedSectionY(high - 1, y))
        ScrollTo(y + (code & 0xFFFF));
}

int TPageViewer::MaxVPos() const
{
    return std::max(0, docHeight_ - panel_->height());
}

// Moves a bar without the move coming back as a scroll of the user.
void TPageViewer::SetBarValue(QScrollBar* bar, int value)
{
    const ScopedValue<bool> setting(settingBars_, true);
    bar->setValue(value);
}

void TPageViewer::ScrollTo(int y)
{
    y = std::clamp(y, 0, MaxVPos());
    vPos_ = y;
    SetBarValue(vBar_, y);
    document_->SetYOffset(y);
    panel_->update();
}

void TPageViewer::SetVScrollBarPosition(int y)
{
    y = std::clamp(y, 0, MaxVPos());
    if (y != vPos_)
        ScrollTo(y);
}

void TPageViewer::SetHScrollBarPosition(int x)
{
    x = std::clamp(x, 0, std::max(0, neededWidth_ - panel_->width()));
    if (x == hPos_)
        return;
    hPos_ = x;
    SetBarValue(hBar_, x);
    panel_->update();
}

bool TPageViewer::PositionToAnchor(const std::string& name)
{
    std::string n = name;
    if (!n.empty() && n.front() == '#')
        n.erase(0, 1);
    if (n.empty())
        return false;
    int y = 0;
    if (!document_->FindAnchor(UpperCase(n), y))
        return false;
    ScrollTo(y);
    SetHScrollBarPosition(0);
    AddVisited(currentFile_ + "#" + n);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Layout width and bars

int TPageViewer::LayoutAt(int width)
{
    layoutWidth_ = width;
    neededWidth_ = 0;
    docHeight_ = document_->DoLogic(MeasureCanvas(), 0, std::max(0, width), std::max(0, height() - BorderWidth()),
                                    neededWidth_);
    return docHeight_;
}

// A print lays the document out at the page width: the screen's layout comes back at the width of
// the last one, at the scroll position the window shows, and the window is drawn anew.
void TPageViewer::LayOutAgainAfterPrint()
{
    {
        const ScopedValue<bool> running(layoutRunning_, true);
        LayoutAt(layoutWidth_);
    }
    document_->SetYOffset(vPos_);
    panel_->update();
}

// Lays out at the full width first and again with room for the vertical bar only when the
// document turns out to need it (a long source or htShowVScroll takes the narrower width at once).
void TPageViewer::DoLayout()
{
    layoutRunning_ = true;
    const int W = width(), H = height();
    const int b = BorderWidth();
    const int SBW = scrollBarWidth_;
    const bool vertical = scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth;
    const bool both = scrollBars_ == TScrollStyle::ssBoth;
    // A document exactly as tall as the window needs no bar: only a taller one does.
    const auto barNeeded = [&](int widthLimit) {
        return docHeight_ > H - b || (both && docHeight_ >= H - b - SBW && neededWidth_ > widthLimit);
    };
    if (!vertical) {
        LayoutAt(W - b);
    } else if (options_.Has(htShowVScroll) || static_cast<int>(source_.size()) >= kLongSource) {
        LayoutAt(W - b - SBW);
    } else {
        LayoutAt(W - b);
        if (barNeeded(W - SBW - b)) {
            LayoutAt(W - b - SBW);
            if (!barNeeded(W - b))
                LayoutAt(W - b);
        }
    }
    ArrangeBars();
    layoutRunning_ = false;
}

TPageViewer::TBarsShown TPageViewer::BarsShown() const
{
    const int W = width(), H = height();
    const int b = BorderWidth();
    const int SBW = scrollBarWidth_;
    const bool showVScroll = options_.Has(htShowVScroll);
    const bool vertical = scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth;
    const bool both = scrollBars_ == TScrollStyle::ssBoth;
    TBarsShown bars;
    const bool fits = docHeight_ <= H - b && neededWidth_ <= W - b;
    if ((!showVScroll && fits) || scrollBars_ == TScrollStyle::ssNone)
        return bars;
    if (vertical) {
        bars.VNeeded = docHeight_ > H - b || (both && docHeight_ >= H - b - SBW && neededWidth_ > W - SBW - b);
        bars.H = both && (neededWidth_ > W - b || ((bars.VNeeded || showVScroll) && neededWidth_ > W - SBW - b));
        bars.V = bars.VNeeded || showVScroll;
    } else if (scrollBars_ == TScrollStyle::ssHorizontal) {
        bars.H = neededWidth_ > W - b;
    }
    return bars;
}

// Places the border, the surface and the bars for the laid-out document.
void TPageViewer::ArrangeBars()
{
    neededWidth_ = std::min(neededWidth_, kMaxNeededWidth);
    const int W = width(), H = height();
    const int b = BorderWidth();
    const int o = b / 2;
    const int SBW = scrollBarWidth_;
    const bool vertical = scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth;
    const bool keepV = options_.Has(htShowVScroll) && vertical;  // shown, and disabled when not needed
    if (b > 0) {
        border_->setGeometry(0, 0, W, H);
        border_->show();
        border_->lower();
    } else {
        border_->hide();
    }
    const TBarsShown bars = BarsShown();
    const int surfaceW = std::max(0, W - b - (bars.V || keepV ? SBW : 0));
    const int surfaceH = std::max(0, H - b - (bars.H ? SBW : 0));
    panel_->setGeometry(o, o, surfaceW, surfaceH);

    const int V = bars.V ? W - SBW : W;
    const ScopedValue<bool> setting(settingBars_, true);
    hBar_->setVisible(bars.H);
    hBar_->setPageStep(std::max(1, V - 20));
    // V - 2o: the border takes o on both sides; V - o would run the bar over the right border line.
    hBar_->setGeometry(o, H - SBW - o, std::max(0, V - 2 * o), SBW);
    hBar_->setRange(0, std::max(0, neededWidth_ - surfaceW));
    hPos_ = std::clamp(hPos_, 0, hBar_->maximum());
    hBar_->setValue(hPos_);

    vBar_->setGeometry(W - SBW - o, o, SBW, surfaceH);
    vBar_->setPageStep(std::max(1, surfaceH - kSmallChangeV));
    vBar_->setRange(0, MaxVPos());
    vPos_ = std::clamp(vPos_, 0, MaxVPos());
    vBar_->setValue(vPos_);
    vBar_->setVisible(bars.V || keepV);
    vBar_->setEnabled(!keepV || bars.VNeeded);
    document_->SetYOffset(vPos_);
}

void TPageViewer::UpdateBorder()
{
    const bool line = borderStyle_ == THTMLBorderStyle::htSingle ||
                      (borderStyle_ == THTMLBorderStyle::htFocused && hasFocus());
    border_->setFrameShape(line ? QFrame::Box : QFrame::NoFrame);
}

void TPageViewer::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (creating_)
        return;
    RunGuarded([this] {
        if (Blocked()) {
            ArrangeBars();
        } else {
            const int code = GetPosition();
            SetProcessing(true);
            BeginLoad(0);
            DoLayout();
            EndLoad();
            SetPosition(code);
        }
        ScrollTo(panel_->height() <= docHeight_ ? vPos_ : 0);
        SetHScrollBarPosition(hPos_);
    });
}

// ---------------------------------------------------------------------------------------------
// Scrolling

bool TPageViewer::BackgroundFixed() const
{
    return document_->BackgroundImage().Fixed && !document_->BackgroundImage().Image.isNull();
}

void TPageViewer::VScrolled(int value)
{
    if (settingBars_)
        return;
    MoveVPos(value, !BackgroundFixed());
}

void TPageViewer::HScrolled(int value)
{
    if (settingBars_)
        return;
    hPos_ = std::clamp(value, 0, std::max(0, neededWidth_ - panel_->width()));
    panel_->update();
}

// Scrolls to y; a short move of a document without a fixed background shifts the pixels shown
// and paints only the strip that comes in.
void TPageViewer::MoveVPos(int y, bool scrollPixels)
{
    y = std::clamp(y, 0, MaxVPos());
    if (y == vPos_)
        return;
    const int dy = vPos_ - y;
    vPos_ = y;
    SetBarValue(vBar_, y);
    document_->SetYOffset(y);
    if (scrollPixels && std::abs(dy) < panel_->height())
        panel_->scroll(0, dy);
    else
        panel_->update();
}

void TPageViewer::keyPressEvent(QKeyEvent* event)
{
    QWidget::keyPressEvent(event);
    // Ctrl+Home and Ctrl+End go to the page's ends as Home and End do, as in every document.
    const bool toAnEnd = event->modifiers() == Qt::ControlModifier &&
                         (event->key() == Qt::Key_Home || event->key() == Qt::Key_End);
    if ((event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) && !toAnEnd)
        return;
    if (panMode_) {
        LeavePanMode();
        return;
    }
    const bool fixed = BackgroundFixed();
    switch (event->key()) {
    case Qt::Key_PageUp: MoveVPos(vPos_ - vBar_->pageStep(), false); break;
    case Qt::Key_PageDown: MoveVPos(vPos_ + vBar_->pageStep(), false); break;
    case Qt::Key_Up: MoveVPos(vPos_ - kSmallChangeV, !fixed); break;
    case Qt::Key_Down: MoveVPos(vPos_ + kSmallChangeV, !fixed); break;
    case Qt::Key_Home: MoveVPos(0, false); break;
    case Qt::Key_End: MoveVPos(docHeight_, false); break;
    case Qt::Key_Left: SetHScrollBarPosition(hPos_ - kSmallChangeH); break;
    case Qt::Key_Right: SetHScrollBarPosition(hPos_ + kSmallChangeH); break;
    default: return;
    }
    event->accept();
}

void TPageViewer::wheelEvent(QWheelEvent* event)
{
    if (options_.Has(htNoWheelMouse)) {
        QWidget::wheelEvent(event);
        return;
    }
    const int delta = event->angleDelta().y();
    const int lines = QApplication::wheelScrollLines();
    const int move = lines < 1 ? -delta / 2 : -delta * lines * kSmallChangeV / 120;
    MoveVPos(vPos_ + move, !BackgroundFixed());
    event->accept();
}

// ---------------------------------------------------------------------------------------------
// Panning and the scrolling loop

// The middle button starts panning (unless the wheel mouse is switched off).
bool TPageViewer::StartPan(Qt::MouseButton button, int y)
{
    if (button != Qt::MiddleButton || options_.Has(htNoWheelMouse))
        return false;
    panMode_ = true;
    panStartY_ = y;
    SetCursorShape(velmoran::ViewerCursor(TViewerCursor::Pan));
    return true;
}

void TPageViewer::LeavePanMode()
{
    panMode_ = false;
    SetCursorShape(QCursor(cursor_));
}

void TPageViewer::StartAutoScroll()
{
    autoScrolling_ = true;
    Post(&TPageViewer::AutoScrollLoop);
}

// Scrolls a step every 100 milliseconds while a selection is dragged above or below the surface,
// or the pointer stands away from where panning started; the events run meanwhile.
void TPageViewer::AutoScrollLoop()
{
    QPointer<TPageViewer> self(this);
    QElapsedTimer clock;
    clock.start();
    qint64 lastStep = -1000;
    while (autoScrolling_) {
        const QPoint p = PointerInSurface();
        const int h = panel_->height();
        const bool selectingOut = !panMode_ && selection_.Selecting() && (p.y() < 1 || p.y() > h);
        const bool panning = panMode_ && std::abs(p.y() - panStartY_) >= 21;
        if (!selectingOut && !panning)
            break;
        if (clock.elapsed() - lastStep >= 100) {
            lastStep = clock.elapsed();
            MoveVPos(vPos_ + AutoScrollStep(p, selectingOut), false);
            if (selectingOut)
                ExtendSelection(p.x(), p.y());
            panel_->update();
        }
        if (!RunEventsAWhile(self))
            return;  // the viewer went while the events ran
    }
    autoScrolling_ = false;
    if (panMode_)
        SetCursorShape(velmoran::ViewerCursor(TViewerCursor::Pan));
}

// A step of the loop: far out of the surface faster; panning by the distance from its start,
// with the cursor showing the direction.
int TPageViewer::AutoScrollStep(QPoint pointer, bool selectingOut)
{
    const int y = pointer.y();
    if (selectingOut) {
        const int h = panel_->height();
        const bool far = y < -15 || y > h + 15;
        return (far ? 8 : 1) * kSmallChangeV * (y < 1 ? -1 : 1);
    }
    const int distance = std::abs(y - panStartY_);
    const int delta = (distance > 60 ? 32 : distance > 20 ? 8 : 0) * (y < panStartY_ ? -1 : 1);
    SetCursorShape(velmoran::ViewerCursor(delta < 0 ? TViewerCursor::PanUp : TViewerCursor::PanDown));
    return delta;
}

}  // namespace velmoran
