// A view lays out the items of one item tree inside one host window: a toolbar row or a popup
// menu column. It keeps one viewer per shown item, computes every viewer's rectangle (rows that
// wrap, right-aligned tails, chevron shrinking, scrolling popups), tells the host its size,
// paints the viewers, and carries the selection and menu-loop state of a chain of menus.
#pragma once

#include "platform/Canvas.h"
#include "toolbar/TBarItem.h"
#include "toolbar/TBarItemViewer.h"

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <memory>
#include <vector>

class QTimer;
class QWidget;

namespace velmoran {

class TBarPopupWindow;
class TBarModalHandler;

enum class TBarViewOrientation { voHorizontal, voVertical, voFloating };

// What a view needs of the window it lives in. Toolbars and popup windows are hosts.
class TBarViewHost {
public:
    virtual ~TBarViewHost() = default;
    virtual QWidget& HostWidget() = 0;
    // The window's background colour.
    virtual ColorRef HostColor() const = 0;
    // The window's own font, used when there is no menu font.
    virtual LogicalFont HostFont() const = 0;
    // The host is being designed: changed positions only invalidate.
    virtual bool HostDesigning() const { return false; }
};

struct TBarMargins {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

// The key codes the menu mode reads (the ShortCut table's codes).
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_MENU = 0x12;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_F1 = 0x70;
constexpr int VK_F10 = 0x79;

// The height of a popup's scroll-arrow bands.
constexpr int kScrollBandHeight = 19;

class TBarView : public QObject {
public:
    TBarView(TBarViewHost* host, TBarView* parentView, TBarCustomItem* parentItem, bool isToolbar,
             bool customizing, bool usePriorityList);
    ~TBarView() override;

    // --- the viewers ---
    int ViewerCount() const { return static_cast<int>(viewers_.size()); }
    // Raises ETBItemError for an index outside the list.
    TBarItemViewer* Viewers(int index) const;
    int IndexOf(const TBarItemViewer* viewer) const;
    TBarItemViewer* ViewerFromPoint(TPoint point) const;
    TBarItemViewer* FindViewer(const TBarCustomItem* item) const;
    // The first shown non-separator, the most important first.
    TBarItemViewer* HighestPriorityViewer() const;
    int LeadingViewerCount() const { return leadingCount_; }
    int TrailingViewerCount() const { return trailingCount_; }
    const std::vector<TBarItemViewer*>* PriorityList() const { return priority_.get(); }
    // The widgets of control items that did not fit.
    void CollectOffEdgeControls(std::vector<QWidget*>& list) const;
    void RecreateAllViewers();

    // --- what the host and the subclasses say ---
    virtual void AutoSize(int /*width*/, int /*height*/) {}
    virtual TSize UpdatePositions();
    // The layout for the current settings, at least as large as `least`, and the repaint.
    TSize UpdatePositionsAtLeast(TSize least);
    virtual TBarCustomItem* GetChevronItem() { return nullptr; }
    virtual TBarMargins GetMargins(TBarViewOrientation orientation) const;
    virtual TBarCustomItem* GetTrailingExtraItem() { return nullptr; }
    virtual TBarCustomItem* GetLeadingExtraItem() { return nullptr; }
    virtual LogicalFont GetFont() const;
    virtual void InvalidatePositions();
    // Lays out when positions are not current (unless updates are held back).
    void ValidatePositions();
    bool Validated() const { return validated_; }

    // The layout pass: answers whether any viewer's rectangle or state changed. On entry
    // totalSize is the least size the layout takes (before its right and bottom margins): a row
    // of a layout without wraps is as thick as that, and its items are centred in it.
    bool CalculatePositions(bool canMoveControls, TBarViewOrientation orientation, int wrapOffset, int chevronOffset,
                            int chevronSize, TSize& baseSize, TSize& totalSize, int& rows);

    // --- painting ---
    // One viewer in its rectangle (the clip narrowed to it).
    void DrawItem(Canvas& canvas, TBarItemViewer& viewer);
    // Every viewer meeting the update rectangle, the selected one last unless asked otherwise once.
    void PaintViewers(Canvas& canvas, const TRect& update);
    void InvalidateViewer(const TBarItemViewer& viewer);

    // --- layout settings ---
    TBarViewOrientation Orientation() const { return orientation_; }
    void SetOrientation(TBarViewOrientation orientation);
    int WrapOffset() const { return wrapOffset_; }
    void SetWrapOffset(int offset);
    int ChevronOffset() const { return chevronOffset_; }
    void SetChevronOffset(int offset);
    int ChevronSize() const { return chevronSize_; }
    void SetChevronSize(int size);
    int MaxHeight() const { return maxHeight_; }
    void SetMaxHeight(int height);
    bool UsePriorityList() const { return usePriorityList_; }
    void SetUsePriorityList(bool use);
    // Whether an item inserted into a built view enters the priority list at its front (it stays
    // shown longest) or at its end; the viewers of a rebuild keep the items' order.
    bool NewViewersGetHighestPriority() const { return newViewersFirst_; }
    void SetNewViewersGetHighestPriority(bool value) { newViewersFirst_ = value; }
    TSize BaseSize() const { return baseSize_; }
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();

    // --- popup scrolling ---
    int ScrollOffset() const { return scrollOffset_; }
    bool ShowUpArrow() const { return showUpArrow_; }
    bool ShowDownArrow() const { return showDownArrow_; }
    void ScrollStep(bool down);
    void ScrollSelectedIntoView();

    // Executed or opened: to the front of the priority list.
    void GivePriority(TBarItemViewer* viewer);

    // --- the chain and its state (driven by the menu loop) ---
    TBarViewHost* Host() const { return host_; }
    QWidget* Window() const;
    TBarView* ParentView() const { return parentView_; }
    TBarCustomItem* ParentItem() const { return parentItem_; }
    TBarCustomItem* RootItem() const { return rootItem_; }
    TBarView* ChevronParentView() const { return chevronParentView_; }
    void SetChevronParentView(TBarView* view);
    // A popup lives in a popup window of a menu chain; a toolbar view lays its items out as
    // buttons in rows and is navigated as a row. A chevron's popup is both.
    bool IsPopup() const { return isPopup_; }
    bool IsToolbar() const { return isToolbar_; }
    // The popup lays its items out and is navigated as a toolbar (the chevron's popup).
    void LayOutAsToolbar();
    bool Customizing() const { return customizing_; }
    bool IsMenuBar() const { return menuBar_; }
    void SetMenuBar(bool value) { menuBar_ = value; }
    bool HideKeyboardCuesStyle() const { return hideKeyboardCues_; }
    void SetHideKeyboardCuesStyle(bool value) { hideKeyboardCues_ = value; }
    bool ShowHints() const { return showHints_; }
    void SetShowHints(bool value) { showHints_ = value; }
    // Whether a tooltip may show over the viewer: the view shows hints or the item asks for its
    // own (tboShowHint), nothing is held down, and in a menu mode the view is the deepest of its
    // chain.
    bool HintWanted(const TBarItemViewer& viewer) const;
    bool KeyboardCuesShown() const { return keyboardCuesShown_; }
    void SetKeyboardCuesShown(bool value) { keyboardCuesShown_ = value; }
    bool OpenLeft() const { return openLeft_; }
    void SetOpenLeft(bool value) { openLeft_ = value; }
    bool Tracking() const { return tracking_; }
    void SetTracking(bool value) { tracking_ = value; }
    bool OpenMode() const { return openMode_; }
    void SetOpenMode(bool value) { openMode_ = value; }
    bool PaintInOrderOnce() const { return paintInOrder_; }
    void SetPaintInOrderOnce(bool value) { paintInOrder_ = value; }
    bool MouseInside() const { return mouseInside_; }
    void SetMouseInside(bool value) { mouseInside_ = value; }
    bool Captured() const { return captured_; }
    void SetCaptured(bool value) { captured_ = value; }
    bool MouseOverSelected() const { return mouseOverSelected_; }
    void SetMouseOverSelected(bool value) { mouseOverSelected_ = value; }
    bool Destroying() const { return destroying_; }
    // Running timers 0..7 as bits.
    std::uint8_t RunningTimers() const { return timers_; }
    void SetRunningTimers(std::uint8_t timers) { timers_ = timers; }

    TBarItemViewer* Selected() const { return selected_; }
    bool SelectedViaMouse() const { return selectedViaMouse_; }
    // Stores the selection, tells the old and the new viewer, and repaints both.
    void SetSelected(TBarItemViewer* viewer, bool viaMouse = false);
    // Tells accessibility clients which viewer has the focus of the running menu mode (while the
    // view and its chain track and its window shows).
    void AnnounceSelection();
    // The first shown or clipped viewer of a visible, selectable item.
    TBarItemViewer* FirstSelectable() const;

    // The open submenu: the viewer, its popup's view and window (the window is owned).
    TBarItemViewer* OpenViewer() const { return openViewer_; }
    TBarView* OpenViewerView() const { return openViewerView_; }
    TBarPopupWindow* OpenViewerWindow() const { return openViewerWindow_.get(); }
    void SetOpenPopup(TBarItemViewer* viewer, std::unique_ptr<TBarPopupWindow> window);
    void CloseChildPopups();
    // A popup window that goes by other hands than this view's: the open-submenu fields forget it.
    void ForgetOpenWindow(const TBarPopupWindow* window);
    // The view at the top of the chain.
    TBarView* RootView();

    // What the menu loop ends with; kept in the root view of a chain.
    TBarDoneActionData& DoneAction() { return doneAction_; }

    // --- selection and keyboard ---
    // The next shown or clipped viewer of a visible, selectable item after `from` (from the start
    // when nullptr), cycling in the direction; nullptr when there is none.
    TBarItemViewer* NextSelectable(TBarItemViewer* from, bool goForward) const;
    // The viewer whose accelerator (or, without one, first letter) is the key, searched after
    // start and cycling once; enabled items first.
    TBarItemViewer* FindAccelerator(char32_t key, TBarItemViewer* start, bool& isOnlyOne, bool enabledOnly) const;
    // Opens the selected submenu (first item selected) or executes the selected item; anything
    // else cancels the menu mode.
    void ExecuteSelected(bool givePriority);
    // Opens the selected item's submenu unless it is open already; answers whether one is open.
    bool OpenChildPopup(bool selectFirst);
    // The keyboard's variant: a toolbar view also leaves open mode.
    void CloseChildPopupsByKeyboard();
    // The mouse went down on the selected viewer's button part, or the capture ends.
    void SetCapture();
    void CancelCapture();
    // The mode ends, cancelled: every view of the chain stops its timers and hides its popup.
    void CancelMode();
    void ShowKeyboardCues(bool show);
    // A key of the menu mode; answers whether it was used. Runs the selected viewer first.
    bool KeyDown(int key, Qt::KeyboardModifiers modifiers);
    // A typed character of the menu mode.
    void CharInput(char32_t ch);

    // --- the view timers: 0 open submenu, 1 close submenu, 2 scroll up, 3 scroll down ---
    void StartTimer(int number);
    void StopTimer(int number);
    bool TimerRunning(int number) const { return (timers_ & (1u << number)) != 0; }
    void TimerExpired(int number);
    // The menu mode running on this chain (kept in the root view).
    TBarModalHandler* ModalHandler() const { return handler_; }
    void SetModalHandler(TBarModalHandler* handler) { handler_ = handler; }

private:
    struct LayoutRecord;

    void RootItemChanged(TBarCustomItem* sender, bool relayed, TBarItemChangeKind kind, int index,
                         TBarCustomItem* item);
    void ParentItemChanged(TBarItemChangeKind kind);
    void ParentItemDestroyed(QObject* gone);
    void ResolveRootItem();
    void AttachRoot();
    void DetachRoot();
    // Viewers for the item (and its inline group) at a list index; answers how many were added.
    int InsertViewers(int index, TBarCustomItem* item, int groupLevel, bool front);
    void DeleteViewers(int index);
    void FreeViewers();
    void ItemInserted(TBarCustomItem* sender, int index, TBarCustomItem* item);
    int ViewerIndexForInsert(TBarCustomItem* sender, int index) const;
    void ReplaceViewers(TBarCustomItem* item);
    void RelayoutSubmenuImages();
    void ClearSelectionIf(int first, int last);

    TBarViewHost* host_;
    std::vector<std::unique_ptr<TBarItemViewer>> viewers_;
    std::unique_ptr<std::vector<TBarItemViewer*>> priority_;
    std::uint8_t timers_ = 0;
    TSize baseSize_;
    bool captured_ = false;
    int chevronOffset_ = 0;
    QPointer<TBarView> chevronParentView_;
    int chevronSize_ = 0;
    TBarCustomItem* rootItem_ = nullptr;
    bool customizing_;
    TBarDoneActionData doneAction_;
    int leadingCount_ = 0;
    int trailingCount_ = 0;
    bool isToolbar_;
    bool isPopup_;
    int maxHeight_ = 0;
    bool mouseOverSelected_ = false;
    TBarItemViewer* openViewer_ = nullptr;
    TBarView* openViewerView_ = nullptr;
    std::unique_ptr<TBarPopupWindow> openViewerWindow_;
    QPointer<TBarView> parentView_;
    TBarCustomItem* parentItem_;
    TBarViewOrientation orientation_ = TBarViewOrientation::voHorizontal;
    int scrollOffset_ = 0;
    TBarItemViewer* selected_ = nullptr;
    bool selectedViaMouse_ = false;
    bool showDownArrow_ = false;
    bool showUpArrow_ = false;
    bool tracking_ = false;
    bool mouseInside_ = false;
    bool paintInOrder_ = false;
    bool openLeft_ = false;
    bool keyboardCuesShown_ = false;
    bool openMode_ = false;
    bool destroying_ = false;
    bool menuBar_ = false;
    bool hideKeyboardCues_ = false;
    bool showHints_ = false;
    int updateCount_ = 0;
    bool usePriorityList_;
    bool newViewersFirst_ = false;
    bool validated_ = false;
    int wrapOffset_ = 0;
    QMetaObject::Connection parentItemWatch_;
    std::unique_ptr<QTimer> timerObjects_[4];
    TBarModalHandler* handler_ = nullptr;
};

}  // namespace velmoran
