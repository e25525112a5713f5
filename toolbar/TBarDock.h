// The dock bar: a strip along one edge of a form that holds dockable windows (toolbars) in rows.
// It owns the row layout (where each bar sits, which bars share a row, how an overfull row wraps,
// shrinks or stretches, and how thick the dock is: it grows and shrinks with its rows), draws its
// optional one-pixel bound lines, can paint a shared background behind its bars, relays the
// keyboard menu messages to its floating bars, and opens its context menu (also for a bar that
// has none of its own).
//
// A bottom dock grows upward and a right dock leftward: the outer edge stays where it is.
#pragma once

#include "platform/AlignLayout.h"
#include "platform/GdiTypes.h"
#include "platform/NonClientWidget.h"
#include "platform/core/Exceptions.h"

#include <QMenu>
#include <QPointer>

#include <functional>
#include <vector>

class QKeyEvent;

namespace velmoran {

class Canvas;
class TBarCustomDockableWindow;

enum class TBarDockPosition { dpTop, dpBottom, dpLeft, dpRight };

using TBarDockBoundLines = unsigned;
constexpr TBarDockBoundLines blTop = 1;
constexpr TBarDockBoundLines blBottom = 2;
constexpr TBarDockBoundLines blLeft = 4;
constexpr TBarDockBoundLines blRight = 8;

enum class TDockType { dtNotDocked, dtFloating, dtTopBottom, dtLeftRight };

enum class TBarShrinkMode { tbsmNone, tbsmWrap, tbsmChevron };

class TBarDock;
TDockType DockTypeOf(const TBarDock* dock, bool floating);

// What a control does when its context menu is asked for: its handler first (the position in its
// client coordinates, (-1, -1) when the keyboard asked); unless the handler took it, the popup menu
// opens at the screen point. Answers whether either did something.
using TContextPopupEvent = std::function<void(QWidget& sender, QPoint mousePos, bool& handled)>;
bool RunContextPopup(QWidget& sender, const TContextPopupEvent& handler, QMenu* menu, QPoint mousePos,
                     QPoint globalPos);

// A background shared by docks and their bars. No concrete background is part of the program.
class TBarBasicBackground : public QObject {
public:
    using QObject::QObject;
    virtual void Draw(Canvas& canvas, const TRect& drawRect) = 0;
    // The colours the background needs on a palette device; screens are true colour.
    virtual std::vector<ColorRef> GetPalette() = 0;
    virtual void RegisterChanges(QObject* link, std::function<void()> onChange) = 0;
    virtual void SysColorChanged() = 0;
    virtual void UnregisterChanges(QObject* link) = 0;
    virtual bool UsingBackground() = 0;
};

class TBarDock : public NonClientWidget {
public:
    // The parent may be neither a dockable window nor another dock.
    explicit TBarDock(QWidget* parent, TBarDockPosition position = TBarDockPosition::dpTop);
    ~TBarDock() override;

    // Moves the dock to another parent, under the same rule as the constructor.
    void SetParent(QWidget* parent);

    bool AllowDrag() const { return allowDrag_; }
    void SetAllowDrag(bool allow);
    TBarBasicBackground* Background() const { return background_; }
    void SetBackground(TBarBasicBackground* background);
    bool BackgroundOnToolbars() const { return backgroundOnToolbars_; }
    void SetBackgroundOnToolbars(bool value);
    TBarDockBoundLines BoundLines() const { return boundLines_; }
    void SetBoundLines(TBarDockBoundLines lines);
    ColorRef Color() const { return color_; }
    void SetColor(ColorRef color);
    bool FixAlign() const { return fixAlign_; }
    void SetFixAlign(bool value);
    bool LimitToOneRow() const { return limitToOneRow_; }
    void SetLimitToOneRow(bool value) { limitToOneRow_ = value; }
    TBarDockPosition Position() const { return position_; }
    // Raises EInvalidOperation while the dock holds controls.
    void SetPosition(TBarDockPosition position);
    bool Vertical() const { return position_ == TBarDockPosition::dpLeft || position_ == TBarDockPosition::dpRight; }

    // The dock's context menu (not owned), and the handler asked before it opens.
    QPointer<QMenu> PopupMenu;
    TContextPopupEvent OnContextPopup;

    // A bar became shown on (Inserting) or was removed from the dock.
    std::function<void(TBarDock& sender, bool inserting, TBarCustomDockableWindow& bar)> OnInsertRemoveBar;
    // Asked during a drag before a bar may dock here.
    std::function<void(TBarDock& sender, TBarCustomDockableWindow& bar, bool& accept)> OnRequestDock;

    // The row layout.
    void ArrangeToolbars();
    void BeginUpdate() { ++disableArrangeToolbars_; }
    void EndUpdate();
    void ChangeDockList(bool insert, TBarCustomDockableWindow* bar);
    void ToolbarVisibilityChanged(TBarCustomDockableWindow* bar, bool forceRemove);
    void CommitPositions();
    int GetHighestRow(bool effective) const;
    int GetRowSize(int row, bool* fullSizeRow = nullptr) const;
    int GetRowThicknessExcluding(int row, const TBarCustomDockableWindow* bar) const;
    int GetRowOf(int distance) const;
    // Sets the size keeping the outer edge: a bottom dock keeps its bottom, a right dock its right.
    void ChangeWidthHeight(int newWidth, int newHeight);

    // The shared background, when one is in use.
    virtual void DrawBackground(Canvas& canvas, const TRect& drawRect);
    virtual bool UsingBackground() const;
    // Draws the background into a canvas of the given size whose origin lies at `anchor` in the
    // dock's parent: the pattern is anchored to the parent, so it runs on across docks and bars.
    void DrawBackgroundAt(Canvas& canvas, QPoint anchor, QSize size);

    // The keyboard menu messages offered first to the floating bars of the dock, in list order;
    // true when one took it.
    bool RelayDialogKey(QKeyEvent& event);
    bool RelayDialogChar(QKeyEvent& event);
    bool RelayKeyMenu(char32_t key);

    // Whether a bar is shown on this dock: its parent is the dock and it is not hidden.
    bool IsShownOnDock(const TBarCustomDockableWindow* bar) const;

    // The next arrangement writes the rows and positions it found back into the bars.
    bool CommitNewPositions = false;
    int DisableArrangeToolbars() const { return disableArrangeToolbars_; }
    bool ArrangeToolbarsNeeded() const { return arrangeToolbarsNeeded_; }
    int NonClientWidth() const { return nonClientWidth_; }
    int NonClientHeight() const { return nonClientHeight_; }
    // All bars that belong to the dock (docked, hidden, or away with this dock as their last one).
    const std::vector<TBarCustomDockableWindow*>& DockList() const { return dockList_; }
    // The bars shown on the dock.
    const std::vector<TBarCustomDockableWindow*>& DockVisibleList() const { return dockVisibleList_; }

protected:
    void PaintNonClient(Canvas& canvas) override;
    void PaintClient(Canvas& canvas) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    friend class TBarCustomDockableWindow;
    TAlign AlignOfPosition() const;
    void CheckParent(QWidget* parent) const;
    void ForgetBar(TBarCustomDockableWindow* bar);
    void SortByRowAndPosition(std::vector<TBarCustomDockableWindow*>& list) const;
    void SetThickness(int thickness);
    void RecalcNonClient();
    template <typename Relay>
    bool RelayToFloatingBars(Relay relay, bool menuEventsOnly);

    bool allowDrag_ = true;
    QPointer<TBarBasicBackground> background_;
    bool backgroundOnToolbars_ = true;
    TBarDockBoundLines boundLines_ = 0;
    ColorRef color_;
    bool fixAlign_ = false;
    bool limitToOneRow_ = false;
    TBarDockPosition position_ = TBarDockPosition::dpTop;
    int disableArrangeToolbars_ = 0;
    bool arrangeToolbarsNeeded_ = false;
    int nonClientWidth_ = 0;
    int nonClientHeight_ = 0;
    std::vector<TBarCustomDockableWindow*> dockList_;
    std::vector<TBarCustomDockableWindow*> dockVisibleList_;
};

}  // namespace velmoran
