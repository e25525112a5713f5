// The menu mode: while a menu is open, or while the user works a toolbar or the menu bar with the
// keyboard, one application event filter sees every input event first and routes it to the views
// of the open menu chain. The event loop keeps running (timers, painting, posted work); nothing
// here waits. The mode ends once, through Finish, and the item tree then carries out its done
// action from a queued call.
#pragma once

#include "toolbar/TBarView.h"

#include <QObject>
#include <QPoint>
#include <QPointer>

class QKeyEvent;
class QMouseEvent;
class QTimer;
class QWheelEvent;

namespace velmoran {

// EnterToolbarLoop's options.
constexpr int kLoopMouse = 1;
constexpr int kLoopOpenAtOnce = 2;
constexpr int kLoopNoPriority = 4;

class TBarModalHandler : public QObject {
public:
    // Starts the mode for a toolbar or menu-bar view and returns at once; nothing when the view
    // is already tracking.
    static void EnterToolbarLoop(TBarView& view, int options);
    // The running mode, else nullptr.
    static TBarModalHandler* Active();
    // The next step re-evaluates the mouse.
    static void ForgetMousePosition();
    // The position of the input event at hand: while the mode handles a mouse event, that
    // event's (its filter sees the event before the application services record it), else the
    // application's last message point.
    static QPoint CurrentMessagePoint();

    // The continue test: ends the mode when its conditions no longer hold.
    void CheckContinue();
    // Ends the mode (once): filter, grab, cursor, tracking, timers, popups, cues and selection.
    void Finish(bool cancelled);
    bool Finished() const { return finished_; }

    ~TBarModalHandler() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TBarModalHandler(TBarView& view, int options);
    void Start(int options);
    bool HandleEvent(QObject* watched, QEvent* event);
    bool MousePress(QObject* watched, QMouseEvent& event);
    void MouseRelease(QMouseEvent& event);
    void MouseMove(QMouseEvent& event);
    void Wheel(QWheelEvent& event);
    void Key(QKeyEvent& event);
    void AfterEvent();
    // Every view of the chain tracks the mouse, then the cursor and the hint follow.
    void UpdateMouse(bool moved);
    // The hint of the deepest selection, asked for once the pointer rests (or at once while a hint
    // shows), or taken away where none is wanted.
    void RequestHint();
    // The window of the chain under the pointer shows the hint there.
    void ShowHint();
    TBarView* DeepestView() const;

    QPointer<TBarView> view_;
    QPointer<QWidget> window_;
    QPointer<QWidget> activeWindow_;
    bool grabLost_ = false;
    bool finished_ = false;
    bool mouseDownOnMenu_ = false;
    bool cursorSet_ = false;
    bool announced_ = false;
    QTimer* hintTimer_;
    // The viewer whose hint was last asked for (compared, never used).
    const TBarItemViewer* hintViewer_ = nullptr;
};

// The chain's mouse helpers, shared with the viewers.
// The point in the view's coordinates (inside a popup's frame, inside a toolbar's border).
QPoint ViewPointFromGlobal(const TBarView& view, QPoint global);
// Whether the global point lies in the view's window (its client area for a toolbar).
bool ViewWindowContains(const TBarView& view, QPoint global);
// The view of the chain whose window is under the global point, the deepest first.
TBarView* ChainViewAt(TBarView& root, QPoint global);
// Mouse tracking of one view (forced: the viewer under the point is selected even when nothing
// is selected yet).
void TrackMouse(TBarView& view, TBarView* under, QPoint global, bool forced);

}  // namespace velmoran
