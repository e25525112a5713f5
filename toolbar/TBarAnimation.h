// The slide or fade with which a popup menu opened by the mouse appears. The window's captured
// image is shown moving in from its edge inside a mask of the window rectangle moved by the
// step's offsets, or faded in by the window's opacity; a 10-ms timer drives the steps from a
// monotonic clock. Nothing waits: the menu mode goes on handling input, and the cursor entering the
// popup ends the animation with the full image. One animation runs at a time.
#pragma once

#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QRect>

#include <functional>

class QPainter;
class QTimer;

namespace velmoran {

class TBarPopupWindow;

// The slide's offset at a step (0..255) for a window of the size moving in the direction
// (1 leftward, 2 rightward, 4 downward, 8 upward).
QPoint SlideOffset(QSize size, int direction, int step);

class TBarPopupAnimation {
public:
    static TBarPopupAnimation& Instance();
    // Fills the popup window's animation hooks (once).
    static void Install();

    // The monotonic clock in milliseconds and the cursor position; tests put their own.
    static std::function<long long()>& Clock();
    static std::function<QPoint()>& CursorPos();
    // Told (from the event loop) when an animation has ended.
    static std::function<void(TBarPopupWindow&)>& Ended();

    // Captures and shows the window, animated; answers true (the window is shown).
    bool Start(TBarPopupWindow& window, bool fade);
    void Step();
    void End();
    // Ends the running animation when it is the window's (or any, for nullptr).
    void EndOf(const TBarPopupWindow* window);
    bool IsAnimating() const { return window_ != nullptr; }
    const TBarPopupWindow* Window() const { return window_; }
    int CurrentStep() const { return step_; }
    QPoint Offset() const { return offset_; }
    // Paints the running animation of the window; false when the window is not animating.
    bool Paint(TBarPopupWindow& window, QPainter& painter);

private:
    TBarPopupAnimation();
    void Apply();

    QPointer<TBarPopupWindow> window_;
    QPixmap capture_;
    bool fade_ = false;
    int direction_ = 0;
    int duration_ = 0;
    int startStep_ = 0;
    int step_ = 0;
    QPoint offset_;
    QPoint cursor_;
    QRect clientRect_;
    long long startTime_ = 0;
    long long lastStep_ = 0;
    QTimer* timer_ = nullptr;
};

}  // namespace velmoran
