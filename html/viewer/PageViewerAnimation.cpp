// The page viewer's animation timer: the document asks for it on its layouts and paints, the
// timer's ticks step the animated images shown in the last paint and repaint what changed.
#include "html/viewer/PageViewer.h"

#include "platform/Application.h"

#include <QTimer>

namespace velmoran {

namespace {
constexpr int kLaterTickMs = 40;
}

void TPageViewer::SetTimer(bool enabled, int intervalMs)
{
    if (!animationTimer_) {
        animationTimer_ = new QTimer(this);
        animationTimer_->setInterval(intervalMs);
        QObject::connect(animationTimer_, &QTimer::timeout, this,
                         [this] { RunGuarded([this] { AnimationTimerTick(); }); });
    }
    // The interval stays as it is: paints stop and restart the timer, only a tick shortens it.
    if (!enabled)
        animationTimer_->stop();
    else if (!animationTimer_->isActive())
        animationTimer_->start();
}

void TPageViewer::FreeTimer()
{
    delete animationTimer_;
    animationTimer_ = nullptr;
}

std::uint32_t TPageViewer::AnimationClock() const
{
    return AnimationClockSource ? AnimationClockSource() : THtmlDocumentHost::AnimationClock();
}

void TPageViewer::AnimationTimerTick()
{
    if (!animationTimer_)
        return;
    animationTimer_->setInterval(kLaterTickMs);
    document_->AnimationTick(AnimationClock());
}

}  // namespace velmoran
