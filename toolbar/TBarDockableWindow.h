// The base of every window that can sit in a dock: its docked frame (border, drag handle with
// grippers, an optional close button), its properties, and the change of parent between docks and
// plain parents that docking is made of. The toolbar supplies the contents and the sizes through
// GetBaseSize and ArrangeControls.
//
// The widget's rectangle is the window rectangle; the docked frame is its emulated non-client
// area, hit-tested with the private codes below. Floating, the window lies in the client area of a
// TBarFloatingWindowParent (TBarFloatingWindow.h, where its floating operations live); dragging
// and sizing run as modes of TBarDragMode.h.
//
// Windows are made in code, never read from a stored form: so there is no "SavedAtRunTime" value
// and no floating position given relative to the form at design time; a floating position is
// always a screen position.
#pragma once

#include "toolbar/TBarDock.h"

#include <QPoint>
#include <QPointer>

#include <functional>
#include <string>
#include <vector>

namespace velmoran {

// Hit-test codes of the docked frame and the floating caption.
constexpr int kHitDockedFrame = 2000;
constexpr int kHitCloseButton = 2001;
constexpr int kHitFloatingCaption = 2002;

enum class TBarDockMode { dmCanFloat, dmCannotFloat, dmCannotFloatOrChangeDocks };
enum class TBarDragHandleStyle { dhDouble, dhNone, dhSingle };
enum class TBarFloatingMode { fmOnTopOfParentForm, fmOnTopOfAllForms };
enum class TBarBorderStyle { bsNone, bsSingle };

using TBarDockableTo = unsigned;
constexpr TBarDockableTo DockableTo(TBarDockPosition position) { return 1u << static_cast<unsigned>(position); }
constexpr TBarDockableTo kDockableToAll = 0xF;

// The drag handle's thickness, and the offset of its first gripper bar.
int DragHandleSize(bool closeButtonWhenDocked, TBarDragHandleStyle style);
int DragHandleOffset(bool closeButtonWhenDocked, TBarDragHandleStyle style);

// The rows of the close button's cross (most significant bit leftmost).
constexpr std::uint8_t kCloseGlyphRows[8] = {0x00, 0xCC, 0x78, 0x30, 0x78, 0xCC, 0x00, 0x00};

class TBarFloatingWindowParent;

class TBarCustomDockableWindow : public NonClientWidget {
public:
    // Made without a parent: docking asks the contents for their size, so a derived class places
    // the window (SetParent) at the end of its own constructor.
    TBarCustomDockableWindow();
    ~TBarCustomDockableWindow() override;

    // --- properties ---
    bool ActivateParent = true;
    bool AutoResize() const { return autoResize_; }
    void SetAutoResize(bool value);
    TBarBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBarBorderStyle style);
    bool CloseButton() const { return closeButton_; }
    // Redraws the floating caption with or without its close button.
    void SetCloseButton(bool value);
    bool CloseButtonWhenDocked() const { return closeButtonWhenDocked_; }
    void SetCloseButtonWhenDocked(bool value);
    ColorRef Color() const { return color_; }
    void SetColor(ColorRef color);
    TBarDock* CurrentDock() const { return currentDock_; }
    // Docks the window there; nullptr lays it on its form, undocked.
    void SetCurrentDock(TBarDock* dock);
    TBarDock* DefaultDock() const { return defaultDock_; }
    void SetDefaultDock(TBarDock* dock) { defaultDock_ = dock; }
    TBarDockableTo DockableToPositions = kDockableToAll;
    TBarDockMode DockMode = TBarDockMode::dmCanFloat;
    int DockPos() const { return dockPos_; }
    void SetDockPos(int value);
    int DockRow() const { return dockRow_; }
    void SetDockRow(int value);
    TBarDragHandleStyle DragHandleStyle() const { return dragHandleStyle_; }
    void SetDragHandleStyle(TBarDragHandleStyle style);
    TBarFloatingMode FloatingMode() const { return floatingMode_; }
    // Above its form or above every window: the floating window's showing follows at once.
    void SetFloatingMode(TBarFloatingMode mode);
    bool FullSize() const { return fullSize_; }
    void SetFullSize(bool value);
    bool HideWhenInactive() const { return hideWhenInactive_; }
    void SetHideWhenInactive(bool value);
    TBarDock* LastDock() const { return lastDock_; }
    void SetLastDock(TBarDock* dock);
    // Both change the floating window's frame at once; its client area keeps its size.
    bool Resizable() const { return resizable_; }
    void SetResizable(bool value);
    bool ShowCaption() const { return showCaption_; }
    void SetShowCaption(bool value);
    bool SmoothDrag = true;
    // While the floating window is sized on a single monitor, the cursor stays in its work area.
    bool ConfineCursorWhileSizing = true;
    bool Stretch() const { return stretch_; }
    void SetStretch(bool value);
    bool UseLastDock() const { return useLastDock_; }
    void SetUseLastDock(bool value);
    bool Docked() const { return currentDock_ != nullptr; }
    bool Floating() const { return floating_; }
    // True puts the window into a floating tool window above its form; false lays it on the form.
    void SetFloating(bool value);
    // The screen position of the floating window; setting it moves a floating window there.
    QPoint FloatingPosition() const { return floatingPosition_; }
    void SetFloatingPosition(QPoint position);
    // The floating tool window made for this window (kept while a drag passes over docks).
    TBarFloatingWindowParent* FloatParent() const;

    // The window's context menu (not owned): a right click on its frame (or on its floating
    // window's frame) opens it; without one the request goes on to the dock.
    QPointer<QMenu> PopupMenu;
    // Opens the popup menu at the screen point; without one a docked window asks its dock.
    // Answers whether a menu or a handler took the request.
    bool ContextPopup(QPoint globalPos);

    // --- events ---
    std::function<void(TBarCustomDockableWindow& sender)> OnClose;
    std::function<void(TBarCustomDockableWindow& sender, bool& canClose)> OnCloseQuery;
    using DockChangingEvent = std::function<void(TBarCustomDockableWindow& sender, bool floating, TBarDock* dockingTo)>;
    DockChangingEvent OnDockChanging;
    DockChangingEvent OnDockChangingHidden;
    std::function<void(TBarCustomDockableWindow& sender)> OnDockChanged;
    std::function<void(TBarCustomDockableWindow& sender)> OnMove;
    std::function<void(TBarCustomDockableWindow& sender)> OnRecreated;
    std::function<void(TBarCustomDockableWindow& sender)> OnRecreating;
    std::function<void(TBarCustomDockableWindow& sender)> OnResize;
    std::function<void(TBarCustomDockableWindow& sender)> OnVisibleChanged;

    // --- operations ---
    // Changes the parent: between docks, onto a plain parent, or away (nullptr).
    void SetParent(QWidget* parent);
    // The form the window belongs to; EInvalidOperation "Element '…' hat kein übergeordnetes
    // Fenster" when there is none.
    QWidget* ParentForm() const;
    void Arrange();
    void BeginArrange() { ++disableArrange_; }
    void EndArrange();
    // Docked: the dock arranges again. On a plain parent the window takes the size with its frame,
    // except along an anchored pair of edges (AnchoredLeftAndRight, AnchoredTopAndBottom).
    void ChangeSize(int width, int height);
    // Whether its parent's layout holds both edges of the window: aligned top, bottom or client it
    // spans its parent's width, aligned left, right or client its height.
    bool AnchoredLeftAndRight() const;
    bool AnchoredTopAndBottom() const;
    // The window's bounds in its parent's client coordinates (the dock places its bars so).
    void SetBounds(const QRect& bounds);
    // OnCloseQuery, then hides the window and fires OnClose.
    void Close();
    // A double-click on the handle or the floating caption.
    void DoubleClick();
    // Moves a floating window into the work area of its monitor (with onlyIfFullyOffscreen only
    // when no part of it lies in that work area).
    void MoveOnScreen(bool onlyIfFullyOffscreen);
    // Whether a floating window should be shown now: the window is not hidden, no change of
    // parent hides it, its form (for fmOnTopOfParentForm) is shown and not minimised, and the
    // application is active unless HideWhenInactive is off.
    bool ShouldBeVisible() const;
    // The drag of the window from a screen point (a press on its handle, client area or floating
    // caption); the mode runs on after this returns.
    void BeginMoving(QPoint screenPoint);
    // Sizing of the floating window from one of its edges (0 left, 1 right, 2 top, 3 top-left,
    // 4 top-right, 5 bottom, 6 bottom-left, 7 bottom-right); only for floating windows.
    // The press point is in screen coordinates.
    void BeginSizing(int edge, QPoint screenPoint);

    // --- what the dock asks of its bars ---
    virtual QPoint GetDockedNCAreaSize() const;
    virtual bool IsPointOverControl(QPoint clientPoint) const;
    // The client size for a placement; with canMoveControls the contents are also laid out.
    virtual QPoint ArrangeControls(bool canMoveControls, TDockType oldDockType, bool floating, TBarDock* dock) = 0;
    virtual QPoint GetBaseSize() = 0;
    // The client size of the window in a dock that shrank it to ShrunkLength: the full size with
    // its length along the dock cut to what is left inside the frame; the full size otherwise.
    QPoint ShrunkClientSize(QPoint fullSize, const TBarDock* dock) const;
    virtual TRect GetDockedCloseButtonRect(bool leftRight) const;
    virtual void GetMinShrinkSize(int& /*minimumSize*/) {}
    virtual void GetMinMaxSize(int& /*minClientWidth*/, int& /*minClientHeight*/, int& /*maxClientWidth*/, int& /*maxClientHeight*/) {}
    virtual TBarShrinkMode GetShrinkMode() const { return TBarShrinkMode::tbsmNone; }
    virtual void SizeChanging(int /*width*/, int /*height*/) {}
    virtual QPoint GetFloatingBorderSize() const;
    // The sizing mode's hooks: at its start, at each new rectangle (which the hook may change),
    // when a rectangle is applied, and at its end.
    virtual void SizingBegin(int /*edge*/) {}
    virtual void SizingTrack(QRect& /*rect*/, const QRect& /*startRect*/) {}
    virtual void SizingApply() {}
    virtual void SizingEnd() {}
    // The keyboard menu messages the dock relays to its floating bars; false: not taken.
    virtual bool DialogKey(QKeyEvent& /*event*/) { return false; }
    virtual bool DialogChar(QKeyEvent& /*event*/) { return false; }
    virtual bool KeyMenu(char32_t /*key*/) { return false; }
    // Whether the window takes system key-menu commands (the menu bar).
    virtual bool HasMenuEvents() const { return false; }

    // --- the dock's working fields ---
    int EffectiveDockRow = -1;
    int EffectiveDockPos = 0;
    int ShrunkLength = 0;
    int RowThickness = 0;
    bool InsertNewRow = false;
    int IgnoreBoundsChange = 0;
    int DisableOnMove = 0;
    int HideCount = 0;
    bool ArrangeNeeded = false;
    // No SavedAtRunTime: windows are never read from a stored form, so positions are always on screen.
    bool Dragging = false;
    bool DragWithinRow = false;
    bool DragRowOverflow = false;
    bool DragSmooth = false;
    int DisableArrange() const { return disableArrange_; }
    bool IsDestroying() const { return destroying_; }

    // The docked close button's state.
    bool CloseButtonDown() const { return closeButtonDown_; }
    bool CloseButtonHover() const { return closeButtonHover_; }

    // The docked frame as paintEvent draws it (tests draw into a recording canvas).
    void DrawNCArea(Canvas& canvas) { PaintNonClient(canvas); }

    // Brings the floating window's showing up to date (docked windows show as they are); the
    // hook procedure calls it on activation and on its form's showing.
    virtual void UpdateShowing();

    // The position-data hooks a position store may call with the window's name: values read with
    // their default, and written. Nothing in the program calls them.
    using PositionReadInt = std::function<int(const std::string& name, const std::string& value, int defaultValue)>;
    using PositionWriteInt = std::function<void(const std::string& name, const std::string& value, int data)>;
    virtual void ReadPositionData(const PositionReadInt& /*readInt*/) {}
    virtual void WritePositionData(const PositionWriteInt& /*writeInt*/) {}

    // Whether the application is active, as the last activation change told (at first, as Qt
    // knows it): floating windows with HideWhenInactive hide while it is not.
    static bool ApplicationActiveState();
    // The floating windows of the program (filled while windows float).
    static std::vector<TBarCustomDockableWindow*>& FloatingWindowList();

protected:
    // Whether a parent is a floating tool window.
    virtual bool IsFloatingWindowParent(const QWidget* parent) const;
    // Makes the floating tool window for this window (nullptr: the window cannot float).
    virtual TBarFloatingWindowParent* NewFloatingWindowParent();
    // Starts dragging the window from a point of the handle (window coordinates).
    virtual void BeginDrag(QPoint windowPoint);
    void DoDockChangingHidden(bool floating, TBarDock* dockingTo);

    int NonClientHitTest(QPoint point) const override;
    void PaintNonClient(Canvas& canvas) override;
    void PaintClient(Canvas& canvas) override;
    void setVisible(bool visible) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class TBarDock;
    friend class TBarMode;
    friend class TBarFloatingWindowParent;
    // The docked frame's size: the handle's thickness when the dock allows dragging, else 0.
    int HandleThickness() const;
    bool HandleAtTop() const;
    void RecalcNCArea();
    void RearrangeDock();
    void UpdateFloatingWindowList();
    void SetCloseButtonState(bool down, bool hover);
    // The floating window's frame again, around the same client size.
    void RefitFloatingFrame();
    bool OverDockedCloseButton(QPoint windowPoint) const;

    bool autoResize_ = true;
    bool closeButton_ = true;
    TBarFloatingMode floatingMode_ = TBarFloatingMode::fmOnTopOfParentForm;
    bool hideWhenInactive_ = true;
    bool resizable_ = true;
    bool showCaption_ = true;
    TBarBorderStyle borderStyle_ = TBarBorderStyle::bsSingle;
    bool closeButtonWhenDocked_ = false;
    ColorRef color_;
    TBarDock* currentDock_ = nullptr;
    QPointer<TBarDock> defaultDock_;
    int dockPos_ = -1;
    int dockRow_ = 0;
    TBarDragHandleStyle dragHandleStyle_ = TBarDragHandleStyle::dhSingle;
    bool fullSize_ = false;
    QPointer<TBarDock> lastDock_;
    bool stretch_ = false;
    bool useLastDock_ = true;
    bool floating_ = false;
    int disableArrange_ = 0;
    bool destroying_ = false;
    bool reparenting_ = false;
    bool closeButtonDown_ = false;
    bool closeButtonHover_ = false;
    bool closeButtonTracking_ = false;
    QPoint floatingPosition_;
    bool floatingPositionSet_ = false;
    QPointer<QWidget> floatParent_;
};

}  // namespace velmoran
