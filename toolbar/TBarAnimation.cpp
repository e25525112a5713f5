// The popup animation; see TBarAnimation.h.
#include "toolbar/TBarAnimation.h"

#include "platform/SystemParams.h"
#include "toolbar/TBarPopupWindow.h"

#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QPainter>
#include <QRegion>
#include <QTimer>

#include <cmath>

namespace velmoran {

namespace {

constexpr int kStepInterval = 10;
constexpr int kFadeDuration = 175;
constexpr int kFadeStart = 40;
constexpr int kSlideDuration = 150;

int MulDiv(int a, int b, int c)
{
    return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

}  // namespace

QPoint SlideOffset(QSize size, int direction, int step)
{
    int x = 0;
    int y = 0;
    if (direction & 4)
        y = MulDiv(size.height(), step, 255) - size.height();
    else if (direction & 8)
        y = size.height() - MulDiv(size.height(), step, 255);
    if (direction & 2)
        x = MulDiv(size.width(), step, 255) - size.width();
    else if (direction & 1)
        x = size.width() - MulDiv(size.width(), step, 255);
    return QPoint(x, y);
}

std::function<long long()>& TBarPopupAnimation::Clock()
{
    static std::function<long long()> clock = [] {
        static QElapsedTimer timer;
        if (!timer.isValid())
            timer.start();
        return timer.elapsed();
    };
    return clock;
}

std::function<QPoint()>& TBarPopupAnimation::CursorPos()
{
    static std::function<QPoint()> pos = [] { return QCursor::pos(); };
    return pos;
}

std::function<void(TBarPopupWindow&)>& TBarPopupAnimation::Ended()
{
    static std::function<void(TBarPopupWindow&)> ended;
    return ended;
}

TBarPopupAnimation& TBarPopupAnimation::Instance()
{
    static TBarPopupAnimation animation;
    return animation;
}

TBarPopupAnimation::TBarPopupAnimation()
{
    timer_ = new QTimer(qApp);
    QObject::connect(timer_, &QTimer::timeout, [this] { Step(); });
    // Shutdown ends a running animation.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [this] { End(); });
}

void TBarPopupAnimation::Install()
{
    if (TBarPopupWindow::StartAnimation())
        return;
    TBarPopupWindow::StartAnimation() = [](TBarPopupWindow& window) {
        return Instance().Start(window, IsMenuFadeEnabled());
    };
    TBarPopupWindow::EndAnimation() = [](TBarPopupWindow& window) { Instance().EndOf(&window); };
    TBarPopupWindow::PaintAnimation() = [](TBarPopupWindow& window, QPainter& painter) {
        return Instance().Paint(window, painter);
    };
}

bool TBarPopupAnimation::Start(TBarPopupWindow& window, bool fade)
{
    End();
    capture_ = window.grab();
    window_ = &window;
    fade_ = fade;
    direction_ = window.SlideDirection;
    cursor_ = CursorPos()();
    clientRect_ = QRect(window.mapToGlobal(QPoint(0, 0)), window.size());
    if (fade_) {
        duration_ = kFadeDuration;
        startStep_ = kFadeStart;
    } else {
        duration_ = kSlideDuration;
        startStep_ = 0;
    }
    step_ = startStep_;
    startTime_ = lastStep_ = Clock()();
    Apply();
    window.show();
    clientRect_ = QRect(window.mapToGlobal(QPoint(0, 0)), window.size());
    timer_->start(kStepInterval);
    return true;
}

void TBarPopupAnimation::Apply()
{
    TBarPopupWindow* window = window_;
    if (fade_) {
        window->setWindowOpacity(step_ / 255.0);
    } else {
        offset_ = SlideOffset(window->size(), direction_, step_);
        window->setMask(QRegion(window->rect().translated(offset_)));
    }
    window->update();
}

void TBarPopupAnimation::Step()
{
    if (!window_) {
        timer_->stop();
        return;
    }
    const long long now = Clock()();
    if (now - lastStep_ < kStepInterval)
        return;
    const long long elapsed = now - startTime_;
    const long long step = elapsed * 255 / duration_ + startStep_;
    if (elapsed < 0 || elapsed >= duration_ || step < 0 || step >= 255) {
        End();
        return;
    }
    const QPoint cursor = CursorPos()();
    if (cursor != cursor_) {
        cursor_ = cursor;
        if (clientRect_.contains(cursor)) {
            End();
            return;
        }
    }
    lastStep_ = now;
    if (step <= step_)
        return;
    step_ = static_cast<int>(step);
    Apply();
}

void TBarPopupAnimation::End()
{
    timer_->stop();
    QPointer<TBarPopupWindow> window = window_;
    window_ = nullptr;
    if (!window)
        return;
    if (fade_)
        window->setWindowOpacity(1.0);
    else
        window->clearMask();
    offset_ = QPoint();
    step_ = 255;
    window->update();
    capture_ = QPixmap();
    // The end notification, without waiting.
    QTimer::singleShot(0, window, [window] {
        if (window && Ended())
            Ended()(*window);
    });
}

void TBarPopupAnimation::EndOf(const TBarPopupWindow* window)
{
    if (window_ && (!window || window == window_))
        End();
}

bool TBarPopupAnimation::Paint(TBarPopupWindow& window, QPainter& painter)
{
    if (window_ != &window)
        return false;
    painter.drawPixmap(fade_ ? QPoint() : offset_, capture_);
    return true;
}

}  // namespace velmoran
