// The drag, dock and size modes of dockable windows. A drag follows the mouse, decides at every
// move whether the window would dock into one of its form's docks (which row, which position) or
// float, shows it by moving the window itself or by a halftone outline, and applies the result
// when the button is released; sizing does the same for a floating window's edges.
//
// The modes never wait: BeginMoving and BeginSizing start one and return at once. While it runs,
// the mode object is an application event filter that sees every event first: mouse moves drive
// it, a left release accepts, a left press or double click and Escape cancel, Ctrl re-evaluates;
// other keys and right or middle buttons are swallowed, everything else goes on as usual. Its end
// runs exactly once (Finish), also when the grab is lost, the application is deactivated or
// quits, the window or its form goes, or handling an event raises.
#pragma once

#include <QCursor>
#include <QObject>
#include <QPointer>
#include <QRect>

#include <memory>
#include <vector>

namespace velmoran {

class TBarCustomDockableWindow;
class TBarDock;
class TBarDragOutline;
class TBarFloatingWindowParent;

// A row of a dock as the drop test sees it: its thickness and whether a FullSize bar holds it.
struct TBarRowSize {
    int Size = 0;
    bool FullSize = false;
};

// A place the dragged window may go: a dock, or floating (Dock nullptr).
struct TDockedSize {
    TBarDock* Dock = nullptr;
    QRect BoundsRect;  // the dock's client rectangle on the screen; empty for floating
    QPoint Size;       // the outer size the window would have there
    std::vector<TBarRowSize> RowSizes;
};

// The row a position across a dock falls into: the first quarter of a normal row inserts a new
// row before it (newRow), its middle half joins it; FullSize rows, or a FullSize window, split at
// the half and are never joined; past the last row comes a new last row.
int FindRow(const std::vector<TBarRowSize>& rowSizes, int highestRow, int position, bool windowFullSize, bool& newRow);

// value * grab / size, rounded; a window of 1 pixel (size 0) is grabbed at its centre.
int GrabShare(int value, int grab, int size);

// The grab of a drag: the press point's offset in the window and the window's size less 1.
struct TBarGrab {
    QPoint Offset;
    QPoint OrigSize1;
};

// The outline for a place: its size there, placed so that the grab point keeps its proportion.
QRect OutlineAt(const TDockedSize& place, QPoint cursor, const TBarGrab& grab);
// Whether the window dropped at the cursor would dock into the entry's dock: the cursor near
// enough (25 pixels shared between the sides in the grab's proportion) and the outline touching.
bool CheckIfCanDockTo(const TDockedSize& entry, bool verticalDock, QPoint cursor, const TBarGrab& grab);

// The running mode, if any (there is at most one).
class TBarMode : public QObject {
public:
    ~TBarMode() override;
    static TBarMode* Running();
    // Ends the mode, applying its result when accepted; later calls do nothing.
    void Finish(bool accept);
    bool Finished() const { return finished_; }
    // Ends the mode without touching its window or form (one of them is going).
    void Abandon();
    TBarCustomDockableWindow* Window() const { return window_; }
    QWidget* Grabber() const { return grabber_; }
    const TBarDragOutline* Outline() const { return outline_.get(); }

protected:
    TBarMode(TBarCustomDockableWindow& window, QWidget& grabber);
    // Grabs the mouse, sets the cursor and installs the filter.
    void Start(Qt::CursorShape cursor);
    void SetCursorShape(Qt::CursorShape cursor);
    TBarDragOutline& OutlineWindow();
    // The wanted row and position, set without arranging; the floating window a drag left.
    static void PlaceWanted(TBarCustomDockableWindow& window, int row, int pos);
    static void DropFloatParent(TBarCustomDockableWindow& window);
    virtual void Moved(QPoint cursor) = 0;
    virtual void CtrlChanged(bool /*down*/) {}
    // The mode's own end, after the grab, cursor, filter and outline are gone.
    virtual void End(bool accept) = 0;
    bool eventFilter(QObject* watched, QEvent* event) override;

    QPointer<TBarCustomDockableWindow> window_;
    QPointer<QWidget> grabber_;
    QPoint lastCursor_;

private:
    bool Handle(QEvent* event);
    bool finished_ = false;
    bool abandoned_ = false;
    bool cursorSet_ = false;
    std::unique_ptr<TBarDragOutline> outline_;
};

// Ends a running mode of the object (a window or form going) without applying it.
void CancelModeOf(const QObject* object);

}  // namespace velmoran
