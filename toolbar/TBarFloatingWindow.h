// The small tool window a dockable window floats in: a top-level frameless Qt::Tool widget whose
// widget parent is the form, so it stays above the form and goes with it. It paints its own small
// caption with the window's text and a close button, and sizing borders when the window is
// resizable; presses on them start the drag and size modes of the dockable window, and a right
// click opens the dockable window's context menu. A click does
// not activate it (it takes no focus; with ActivateParent the form is activated instead), unless it
// lands on a control that takes keys (a combo box of the bar), which then gets the keyboard; nor
// does the platform keep it active unless it took the activation from its form; Escape gives the
// focus back to the form, and a close request is passed on to the form.
#pragma once

#include "platform/NonClientWidget.h"

#include <QPointer>

namespace velmoran {

class TBarCustomDockableWindow;

// The standard sizing hit-test codes; less 10 they are the edge numbers of BeginSizing.
constexpr int HTLEFT = 10;
constexpr int HTRIGHT = 11;
constexpr int HTTOP = 12;
constexpr int HTTOPLEFT = 13;
constexpr int HTTOPRIGHT = 14;
constexpr int HTBOTTOM = 15;
constexpr int HTBOTTOMLEFT = 16;
constexpr int HTBOTTOMRIGHT = 17;

class TBarFloatingWindowParent : public NonClientWidget {
public:
    // A tool window of the form (fmOnTopOfAllForms keeps it above every window).
    TBarFloatingWindowParent(QWidget* form, TBarCustomDockableWindow* window);
    ~TBarFloatingWindowParent() override;

    TBarCustomDockableWindow* DockableWindow() const { return window_; }
    QWidget* ParentForm() const { return form_; }
    bool ShouldShow = false;
    bool CloseButtonDown() const { return closeButtonDown_; }
    // The caption's look: inactive while neither the application nor the form is active.
    bool InactiveCaption() const { return inactiveCaption_; }
    void SetInactiveCaption(bool inactive);

    // The frame around the client area (borders and caption) as the dockable window asks for it.
    void RecalcFrame();
    // Resizes so that the client area has this size.
    void SetClientSize(int width, int height);
    // The caption rectangle and its close button (window coordinates).
    QRect CaptionRect() const;
    QRect CloseButtonRect() const;

    // The caption shows the window's title (its name when it has none).
    void FollowCaption();
    // Follows the window's floating mode: above all windows or above the form.
    void ApplyFloatingMode();
    // This window became active, taking the activation from `losing` (nullptr: from no window
    // of the application). Hidden, it hands the activation to the window that should have it;
    // shown, it keeps it only from its form, and otherwise the form is activated.
    void Activated(QWidget* losing);

    // Draws the frame, caption and close button (tests use a recording canvas).
    void DrawNCArea(Canvas& canvas) { PaintNonClient(canvas); }

protected:
    int NonClientHitTest(QPoint point) const override;
    void PaintNonClient(Canvas& canvas) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Sees every press in the window before the control under it does.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Whether the window system may make this window the active one.
    void SetTakesFocus(bool takes);
    void SetCloseButtonDown(bool down);
    void UpdateCursor(int code);

    QPointer<TBarCustomDockableWindow> window_;
    QPointer<QWidget> form_;
    bool closeButtonDown_ = false;
    bool closeButtonTracking_ = false;
    bool inactiveCaption_ = false;
};

}  // namespace velmoran
