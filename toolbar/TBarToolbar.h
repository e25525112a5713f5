// The item-based toolbar: a dockable window that owns a root item and one view of it, hands the
// view the room its dock gives (wrapping onto further rows, or hiding items behind the chevron),
// and with MenuBar set becomes the form's menu bar: Alt and Alt+letter open its menus and it
// processes the shortcuts of its whole tree. Child widgets of the toolbar become control items.
#pragma once

#include "toolbar/TBarDockableWindow.h"
#include "toolbar/TBarItemViewer.h"
#include "toolbar/TBarView.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <string>

class QKeyEvent;

namespace velmoran {

class TBarCustomToolbar;
class TBarMenuFontUser;

// The chevron button's length along its row.
constexpr int kChevronSize = 12;
// The chevron's double arrows, most significant bit leftmost.
constexpr std::uint8_t kChevronGlyphHorizontal[5] = {0xCC, 0x66, 0x33, 0x66, 0xCC};
constexpr std::uint8_t kChevronGlyphVertical[8] = {0x88, 0xD8, 0x70, 0x20, 0x88, 0xD8, 0x70, 0x20};

enum class TBarChevronPriorityForNewItems { tbcpHighest, tbcpLowest };

// The button that lists the items a toolbar had no room for.
class TBarChevronItem : public TBarCustomItem {
public:
    explicit TBarChevronItem(TBarCustomToolbar& toolbar);
    std::unique_ptr<TBarItemViewer> CreateViewer(TBarView& view, int groupLevel) override;
    TBarView* GetChevronParentView() override;
    // The hint, and as caption its short part with "&" doubled.
    void ApplyHint(const std::string& hint);

private:
    TBarCustomToolbar& toolbar_;
};

class TBarChevronItemViewer : public TBarItemViewer {
public:
    using TBarItemViewer::TBarItemViewer;
    void CalcSize(Canvas& canvas, int& width, int& height) override;
    void Paint(Canvas& canvas, const TRect& clientAreaRect, bool isSelected, bool isPushed,
               bool useDisabledShadow) override;
};

class TBarToolbarView : public TBarView {
public:
    TBarToolbarView(TBarCustomToolbar& toolbar, TBarCustomItem& root);
    LogicalFont GetFont() const override;
    TBarCustomItem* GetChevronItem() override;
    void AutoSize(int width, int height) override;
    // The layout, with a shown chevron at the end of the room the dock gives, not past it.
    TSize UpdatePositions() override;

private:
    TBarCustomToolbar& toolbar_;
};

class TBarCustomToolbar : public TBarCustomDockableWindow, public TBarViewHost, public ITBItemContainer {
public:
    // The chevron's hint until ChevronHint is set: the string table's.
    static std::string DefaultChevronHint();

    // The toolbar places itself on the parent (a dock or a plain widget) when one is given.
    explicit TBarCustomToolbar(QWidget* parent = nullptr);
    ~TBarCustomToolbar() override;

    TBarRootItem& Items() { return *root_; }
    TBarCustomItem* GetItems() override { return root_.get(); }
    TBarToolbarView& View() { return *view_; }
    TBarChevronItem& ChevronItem() { return *chevron_; }

    // --- properties ---
    bool MenuBar() const { return menuBar_; }
    void SetMenuBar(bool value);
    bool ProcessShortCuts() const { return processShortCuts_; }
    void SetProcessShortCuts(bool value);
    TBarShrinkMode ShrinkMode() const { return shrinkMode_; }
    void SetShrinkMode(TBarShrinkMode mode);
    int FloatingWidth() const { return floatingWidth_; }
    void SetFloatingWidth(int width);
    bool SystemFont() const { return systemFont_; }
    void SetSystemFont(bool value);
    bool UpdateActions() const { return updateActions_; }
    void SetUpdateActions(bool value);
    bool ChevronMoveItems() const { return chevronMoveItems_; }
    void SetChevronMoveItems(bool value);
    TBarChevronPriorityForNewItems ChevronPriorityForNewItems() const { return chevronPriority_; }
    // Items given to the bar before it first shows are its contents as built, in their order (as a
    // stored form's items are loaded); items inserted later enter the chevron's priority list at
    // its front (tbcpHighest: they stay shown longest) or at its end.
    void SetChevronPriorityForNewItems(TBarChevronPriorityForNewItems value);
    std::string ChevronHint() const { return chevron_->Hint(); }
    void SetChevronHint(const std::string& hint);
    ImageList* Images() const { return root_->SubMenuImages(); }
    void SetImages(ImageList* images) { root_->SetSubMenuImages(images); }
    TBarItemOptions Options() const { return root_->Options(); }
    void SetOptions(TBarItemOptions options) { root_->SetOptions(options); }
    // Tooltips over the bar's items; the view shows the hints of its items only with it (an item
    // with tboShowHint shows its own anyway). Set: as a widget shows its tooltips.
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value);
    LogicalFont Font;
    // A key press the toolbar may take before its items' shortcuts.
    std::function<void(QKeyEvent& event, bool& handled)> OnShortCut;
    // The short hint shown over the hot viewer (the item's, empty without one).
    const std::string& CurrentHint() const { return hint_; }

    // --- the keyboard ---
    // Shows the underlines and enters the menu mode from the keyboard: #0 selects the first item,
    // any other character the item with that accelerator. Answers whether the mode started.
    bool OpenByKeyboard(char32_t key, bool primaryOnly);
    bool KeyMenu(char32_t key) override;
    bool DialogChar(QKeyEvent& event) override;
    bool HasMenuEvents() const override { return menuBar_; }
    // Runs OnShortCut, then the tree's shortcuts; the shortcut filter calls it.
    bool TryShortCut(QKeyEvent& event);
    // The system's menu font or style changed: the font is read again and the bar re-arranged.
    void SettingsChanged();

    // --- the dock's questions ---
    QPoint ArrangeControls(bool canMoveControls, TDockType oldDockType, bool floating, TBarDock* dock) override;
    QPoint GetBaseSize() override;
    void GetMinShrinkSize(int& minimumSize) override;
    TBarShrinkMode GetShrinkMode() const override { return shrinkMode_; }
    bool IsPointOverControl(QPoint clientPoint) const override;
    void ReadPositionData(const PositionReadInt& readInt) override;
    // Resizing a floating toolbar snaps to the sizes its layout can take.
    void SizingBegin(int edge) override;
    void SizingTrack(QRect& rect, const QRect& startRect) override;
    void SizingApply() override;
    void SizingEnd() override;

    // One size a floating toolbar can take while it is resized: the window size, the row count
    // and the FloatingWidth that gives it (0 for one row).
    struct SizeCandidate {
        QSize Size;
        int Rows = 0;
        int FloatingWidth = 0;
    };
    // The layout sizes from one row down to the narrowest, each row count with its narrowest
    // layout (client sizes).
    std::vector<SizeCandidate> FloatingSizeCandidates();
    void WritePositionData(const PositionWriteInt& writeInt) override;

    // --- the view's host ---
    QWidget& HostWidget() override { return *this; }
    ColorRef HostColor() const override { return Color(); }
    LogicalFont HostFont() const override { return Font; }

    // The view reports its size.
    void ViewSizeChanged(int width, int height);

protected:
    void PaintClient(Canvas& canvas) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void childEvent(QChildEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    // The orientation and the wrap and chevron limits for a placement.
    void SetLimits(TBarDock* dock, bool floating);
    void UpdateShortCutRegistration();
    void UpdateIdleRegistration();
    void AddControlItem(QWidget* control);
    void RemoveControlItems(QObject* control);
    void UpdateTabOrder();
    void ApplyNewItemPriority();
    TBarItemViewer* ViewerAtWindowPoint(QPoint windowPoint) const;
    void SetHotViewer(TBarItemViewer* viewer);

    // The menu font lives while a toolbar does.
    std::unique_ptr<TBarMenuFontUser> menuFont_;
    std::unique_ptr<TBarRootItem> root_;
    std::unique_ptr<TBarChevronItem> chevron_;
    std::unique_ptr<TBarToolbarView> view_;
    bool menuBar_ = false;
    bool processShortCuts_ = false;
    bool shortCutsRegistered_ = false;
    bool idleRegistered_ = false;
    TBarShrinkMode shrinkMode_ = TBarShrinkMode::tbsmChevron;
    int floatingWidth_ = 0;
    bool systemFont_ = true;
    bool updateActions_ = true;
    bool chevronMoveItems_ = true;
    TBarChevronPriorityForNewItems chevronPriority_ = TBarChevronPriorityForNewItems::tbcpHighest;
    bool shownOnce_ = false;
    bool showHint_ = true;
    QSize viewSize_;
    int arranging_ = 0;
    std::string hint_;
    // The state of one resize of the floating toolbar.
    struct SizeData {
        std::vector<SizeCandidate> Candidates;
        bool AlongWidth = true;
        int SnapBelow = 0;
        int SnapAbove = 0;
        // The direction the last change of candidate went: -1 shrinking, 1 growing, 0 none yet.
        int LastDirection = 0;
        // The length the pointer proposed at the step before, -1 before the first step.
        int LastProposed = -1;
        int Chosen = -1;
    };
    std::unique_ptr<SizeData> sizeData_;
};

class TBarToolbar : public TBarCustomToolbar {
public:
    using TBarCustomToolbar::TBarCustomToolbar;
};

// The keyboard's way into the menus: Alt shows the underlines, Alt alone opens the menu bar,
// Alt+letter opens the matching item of the active form's docks and toolbars, and shortcuts go
// to the registered toolbars. Installed while any toolbar is registered; for tests.
bool IsToolbarShortCutFilterInstalled();
// The toolbars registered for shortcuts, newest first.
const std::vector<TBarCustomToolbar*>& ShortCutToolbars();
// Offers Alt+key (the key lowered) to the visible, enabled docks and menu bars of the form,
// depth-first; answers whether one took it.
bool OfferKeyMenu(QWidget& form, char32_t key);

}  // namespace velmoran
