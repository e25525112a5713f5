// The window of a submenu: a borderless top-level window that never takes the keyboard focus,
// with its 3-pixel frame painted inside, its popup view laying the sub-items out as menu lines,
// scroll arrows in 19-pixel bands, and hints from the viewer under the mouse. CreatePopup opens
// one for an item, placed beside or below the item that opens it.
#pragma once

#include "toolbar/TBarView.h"

#include <QPoint>
#include <QWidget>

#include <functional>

#include <memory>

class QPainter;

namespace velmoran {

class TBarPopupWindow;

class TBarPopupView : public TBarView {
public:
    TBarPopupView(TBarPopupWindow& window, TBarView* parentView, TBarCustomItem* parentItem, bool customizing);
    // The window's bounds keep their corner and take the frame on every side.
    void AutoSize(int width, int height) override;
    LogicalFont GetFont() const override;
    // Where the popup may lie, from the placement.
    QRect MonitorRect;

private:
    TBarPopupWindow& window_;
};

class TBarPopupWindow : public QWidget, public TBarViewHost {
public:
    // The frame painted inside the window.
    static constexpr int kFrame = 3;

    TBarPopupWindow(TBarView* parentView, TBarCustomItem* parentItem, bool customizing);
    ~TBarPopupWindow() override;

    TBarPopupView& View() { return *view_; }
    // 1 leftward, 2 rightward, 4 downward, 8 upward (the animation's direction).
    int SlideDirection = 0;
    LogicalFont Font;

    // The client area inside the frame.
    QRect ClientRect() const;
    // Paints frame, viewers and scroll arrows onto a canvas in window coordinates.
    void PaintTo(Canvas& canvas, const TRect& update);
    // Tells accessibility clients that the popup starts; its end is told when it goes.
    void AnnounceStart();

    QWidget& HostWidget() override { return *this; }
    ColorRef HostColor() const override { return color_; }
    void SetHostColor(ColorRef color) { color_ = color; }
    LogicalFont HostFont() const override { return Font; }

    // The hooks the popup animation fills: it shows the window itself while it runs.
    static std::function<bool(TBarPopupWindow&)>& StartAnimation();
    static std::function<void(TBarPopupWindow&)>& EndAnimation();
    // Paints the running animation instead of the window; false when none runs for it.
    static std::function<bool(TBarPopupWindow&, QPainter&)>& PaintAnimation();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void PaintFrame(Canvas& canvas);
    void PaintScrollArrows(Canvas& canvas);

    ColorRef color_;
    bool announced_ = false;
    std::unique_ptr<TBarPopupView> view_;
};

// While an object of this lives, the menu font exists; the last one frees it.
class TBarMenuFontUser {
public:
    TBarMenuFontUser();
    ~TBarMenuFontUser();
    TBarMenuFontUser(const TBarMenuFontUser&) = delete;
    TBarMenuFontUser& operator=(const TBarMenuFontUser&) = delete;
};
// The menu font while a user lives, else nullptr.
const LogicalFont* TBarMenuFont();
// Reads the system's menu font again (the toolbar does so when settings change).
void ReloadMenuFont();

// What CreatePopup needs besides the item.
struct TBarPopupRequest {
    TBarView* ParentView = nullptr;
    TBarItemViewer* ParentViewer = nullptr;
    bool PositionAsSubmenu = false;
    bool SelectFirstItem = false;
    bool Customizing = false;
    // Without a parent view: the point and its alignment (0 left, 1 right, 2 centre).
    QPoint PopupPoint;
    int Alignment = 0;
};

// The screen point of a view's client origin: inside a popup's frame, or inside a bar's border and
// gripper; viewer rectangles are measured from it.
QPoint ViewScreenOrigin(const TBarView& view);

// Opens the item's children as a popup window, placed and shown. With a parent view the window
// belongs to that view (its open popup) and the answer only points at it; without one the caller
// owns it.
TBarPopupWindow* CreatePopup(TBarCustomItem& item, const TBarPopupRequest& request,
                             std::unique_ptr<TBarPopupWindow>* owner = nullptr);

}  // namespace velmoran
