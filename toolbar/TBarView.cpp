// The view: its viewers, the change handlers that keep them in step with the tree, the selection
// state and the painting of single viewers. The layout pass lives in TBarViewLayout.cpp.
#include "toolbar/TBarView.h"

#include "platform/NonClientWidget.h"
#include "platform/SystemColors.h"
#include "platform/SystemParams.h"
#include "toolbar/TBarCommon.h"
#include "toolbar/TBarPopupWindow.h"

#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace velmoran {

namespace {

// Inline groups are shown down to this level.
constexpr int kMaxGroupLevel = 10;

const void* ParentHandlerIdentity(const TBarView* view)
{
    return reinterpret_cast<const char*>(view) + 1;
}

}  // namespace

TBarView::TBarView(TBarViewHost* host, TBarView* parentView, TBarCustomItem* parentItem, bool isToolbar,
                   bool customizing, bool usePriorityList)
    : host_(host), customizing_(customizing), isToolbar_(isToolbar), isPopup_(!isToolbar), parentView_(parentView),
      parentItem_(parentItem), usePriorityList_(usePriorityList)
{
    if (parentItem_) {
        parentItem_->AddChangeHandler(ParentHandlerIdentity(this),
                                      [this](TBarCustomItem*, bool, TBarItemChangeKind kind, int, TBarCustomItem*) {
                                          ParentItemChanged(kind);
                                      });
        parentItemWatch_ =
            connect(parentItem_, &QObject::destroyed, this, [this](QObject* gone) { ParentItemDestroyed(gone); });
    }
    ResolveRootItem();
    AttachRoot();
    RecreateAllViewers();
}

TBarView::~TBarView()
{
    destroying_ = true;
    CloseChildPopups();
    if (parentView_ && parentView_->IsToolbar() && parentView_->OpenViewer())
        parentView_->InvalidateViewer(*parentView_->OpenViewer());
    DetachRoot();
    if (parentItem_)
        parentItem_->RemoveChangeHandler(ParentHandlerIdentity(this));
    disconnect(parentItemWatch_);
    selected_ = nullptr;
    FreeViewers();
    if (parentView_ && parentView_->openViewerView_ == this)
        parentView_->openViewerView_ = nullptr;
}

// --- the root item and its handlers ------------------------------------------------------------

void TBarView::ResolveRootItem()
{
    rootItem_ = parentItem_ ? parentItem_->GetSubitemsRoot() : nullptr;
}

void TBarView::AttachRoot()
{
    if (rootItem_)
        rootItem_->AddChangeHandler(this, [this](TBarCustomItem* sender, bool relayed, TBarItemChangeKind kind,
                                                 int index, TBarCustomItem* item) {
            RootItemChanged(sender, relayed, kind, index, item);
        });
}

void TBarView::DetachRoot()
{
    if (rootItem_)
        rootItem_->RemoveChangeHandler(this);
}

void TBarView::ParentItemDestroyed(QObject* gone)
{
    // The parent item is gone with its handlers; a linked root lives on and is left.
    if (rootItem_ && rootItem_ != gone)
        DetachRoot();
    parentItem_ = nullptr;
    rootItem_ = nullptr;
    selected_ = nullptr;
    openViewer_ = nullptr;
    FreeViewers();
    if (parentView_)
        parentView_->CloseChildPopups();
}

void TBarView::ParentItemChanged(TBarItemChangeKind kind)
{
    if (kind == ickLinkChanged) {
        TBarCustomItem* old = rootItem_;
        ResolveRootItem();
        if (rootItem_ == old)
            return;
        TBarCustomItem* fresh = rootItem_;
        rootItem_ = old;
        CloseChildPopups();
        DetachRoot();
        rootItem_ = fresh;
        AttachRoot();
        RecreateAllViewers();
        for (const auto& viewer : viewers_)
            viewer->Item().InitiateAction();
        ValidatePositions();
    } else if (kind == ickSubmenuImages && parentItem_ != rootItem_) {
        RelayoutSubmenuImages();
    }
}

void TBarView::RelayoutSubmenuImages()
{
    InvalidatePositions();
    ValidatePositions();
    if (openViewerView_)
        openViewerView_->RelayoutSubmenuImages();
}

void TBarView::RootItemChanged(TBarCustomItem* sender, bool relayed, TBarItemChangeKind kind, int index,
                               TBarCustomItem* item)
{
    switch (kind) {
    case ickInserted:
        ItemInserted(sender, index, item);
        break;
    case ickDeleting:
        if (const TBarItemViewer* viewer = FindViewer(item))
            DeleteViewers(IndexOf(viewer));
        break;
    case ickLinkChanged:
        if (relayed)
            RecreateAllViewers();
        break;
    case ickBeginUpdate:
        ++updateCount_;
        break;
    case ickEndUpdate:
        updateCount_ = std::max(0, updateCount_ - 1);
        break;
    case ickRepaint:
        for (const auto& viewer : viewers_)
            if (&viewer->Item() == item)
                InvalidateViewer(*viewer);
        break;
    case ickRelayout:
        InvalidatePositions();
        break;
    case ickRebuildViewers:
        InvalidatePositions();
        ReplaceViewers(item);
        break;
    case ickSubmenuImages:
        RelayoutSubmenuImages();
        break;
    case ickNewName:
        return;
    }
    ValidatePositions();
}

// --- viewers ----------------------------------------------------------------------------------

TBarItemViewer* TBarView::Viewers(int index) const
{
    if (index < 0 || index >= ViewerCount())
        throw ETBItemError("Toolbar item index out of range");
    return viewers_[static_cast<std::size_t>(index)].get();
}

int TBarView::IndexOf(const TBarItemViewer* viewer) const
{
    for (std::size_t i = 0; i < viewers_.size(); ++i)
        if (viewers_[i].get() == viewer)
            return static_cast<int>(i);
    return -1;
}

TBarItemViewer* TBarView::FindViewer(const TBarCustomItem* item) const
{
    for (const auto& viewer : viewers_)
        if (&viewer->Item() == item)
            return viewer.get();
    return nullptr;
}

TBarItemViewer* TBarView::ViewerFromPoint(TPoint p) const
{
    for (const auto& viewer : viewers_) {
        const TRect& r = viewer->BoundsRect;
        if (viewer->Show && p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom)
            return viewer.get();
    }
    return nullptr;
}

TBarItemViewer* TBarView::HighestPriorityViewer() const
{
    const auto fits = [](const TBarItemViewer* viewer) {
        return viewer->Show && !viewer->Item().HasStyle(istSeparator);
    };
    if (priority_) {
        for (TBarItemViewer* viewer : *priority_)
            if (fits(viewer))
                return viewer;
        return nullptr;
    }
    for (const auto& viewer : viewers_)
        if (fits(viewer.get()))
            return viewer.get();
    return nullptr;
}

TBarItemViewer* TBarView::FirstSelectable() const
{
    const auto selectable = [](const TBarItemViewer& viewer) {
        return (viewer.Show || viewer.Clipped) && viewer.Item().Visible() && viewer.Item().HasStyle(istSelectable);
    };
    TBarItemViewer* first = nullptr;
    for (const auto& viewer : viewers_) {
        if (!selectable(*viewer))
            continue;
        if (!viewer->Item().HasStyle(istSkipOnFirstSelect))
            return viewer.get();
        if (!first)
            first = viewer.get();
    }
    return first;
}

void TBarView::CollectOffEdgeControls(std::vector<QWidget*>& list) const
{
    for (const auto& viewer : viewers_)
        if (viewer->OffEdge)
            if (auto* control = dynamic_cast<TBarControlItem*>(&viewer->Item()))
                if (auto* widget = qobject_cast<QWidget*>(control->Control()))
                    list.push_back(widget);
}

int TBarView::InsertViewers(int index, TBarCustomItem* item, int groupLevel, bool front)
{
    auto viewer = item->CreateViewer(*this, groupLevel);
    if (usePriorityList_)
        AddToList(priority_, viewer.get(), front);
    viewers_.insert(viewers_.begin() + index, std::move(viewer));
    int added = 1;
    if (item->HasStyle(istInlineSubitems) && !customizing_ && groupLevel < kMaxGroupLevel) {
        TBarCustomItem* group = item->GetSubitemsRoot();
        for (int i = 0; i < group->Count(); ++i)
            added += InsertViewers(index + added, group->Items(i), groupLevel + 1, front);
    }
    return added;
}

void TBarView::ClearSelectionIf(int first, int last)
{
    for (int i = first; i < last; ++i) {
        TBarItemViewer* viewer = viewers_[static_cast<std::size_t>(i)].get();
        if (viewer == selected_)
            selected_ = nullptr;
        if (viewer == openViewer_)
            CloseChildPopups();
        RemoveFromList(priority_, viewer);
    }
}

void TBarView::DeleteViewers(int index)
{
    const int level = viewers_[static_cast<std::size_t>(index)]->GroupLevel();
    int end = index + 1;
    while (end < ViewerCount() && viewers_[static_cast<std::size_t>(end)]->GroupLevel() > level)
        ++end;
    ClearSelectionIf(index, end);
    InvalidatePositions();
    viewers_.erase(viewers_.begin() + index, viewers_.begin() + end);
}

void TBarView::FreeViewers()
{
    priority_.reset();
    viewers_.clear();
    leadingCount_ = 0;
    trailingCount_ = 0;
}

void TBarView::RecreateAllViewers()
{
    CloseChildPopups();
    selected_ = nullptr;
    InvalidatePositions();
    FreeViewers();
    if (TBarCustomItem* leading = GetLeadingExtraItem())
        leadingCount_ = InsertViewers(ViewerCount(), leading, 0, false);
    if (rootItem_)
        for (int i = 0; i < rootItem_->Count(); ++i)
            InsertViewers(ViewerCount(), rootItem_->Items(i), 0, false);
    if (TBarCustomItem* trailing = GetTrailingExtraItem())
        trailingCount_ = InsertViewers(ViewerCount(), trailing, 0, false);
    if (TBarCustomItem* chevron = GetChevronItem()) {
        viewers_.push_back(chevron->CreateViewer(*this, 0));
        ++trailingCount_;
    }
}

int TBarView::ViewerIndexForInsert(TBarCustomItem* sender, int index) const
{
    // The run of viewers that shows the sender's children: the root's, or an inline group's.
    int position = leadingCount_;
    int end = ViewerCount() - trailingCount_;
    int level = 0;
    if (sender != rootItem_) {
        const auto group = std::find_if(viewers_.begin(), viewers_.end(), [&](const auto& viewer) {
            return viewer->Item().HasStyle(istInlineSubitems) &&
                   (&viewer->Item() == sender || viewer->Item().GetSubitemsRoot() == sender);
        });
        if (group == viewers_.end())
            return -1;
        level = (*group)->GroupLevel() + 1;
        if (level > kMaxGroupLevel)
            return -1;
        position = static_cast<int>(group - viewers_.begin()) + 1;
        end = position;
        while (end < ViewerCount() && viewers_[static_cast<std::size_t>(end)]->GroupLevel() >= level)
            ++end;
    }
    int count = 0;
    for (int i = position; i < end; ++i) {
        if (viewers_[static_cast<std::size_t>(i)]->GroupLevel() != level)
            continue;
        if (count == index)
            return i;
        ++count;
    }
    return end;
}

void TBarView::ItemInserted(TBarCustomItem* sender, int index, TBarCustomItem* item)
{
    // A view made while the insertion was being told built the item's viewer already.
    if (FindViewer(item))
        return;
    const int at = ViewerIndexForInsert(sender, index);
    if (at < 0)
        return;
    const int level = sender == rootItem_ ? 0 : viewers_[static_cast<std::size_t>(at - 1)]->GroupLevel();
    int groupLevel = level;
    if (sender != rootItem_) {
        // The level below the group's own viewer.
        for (int i = at - 1; i >= 0; --i) {
            const auto& viewer = viewers_[static_cast<std::size_t>(i)];
            if (viewer->Item().HasStyle(istInlineSubitems) &&
                (&viewer->Item() == sender || viewer->Item().GetSubitemsRoot() == sender)) {
                groupLevel = viewer->GroupLevel() + 1;
                break;
            }
        }
    }
    InvalidatePositions();
    InsertViewers(at, item, groupLevel, newViewersFirst_);
}

void TBarView::ReplaceViewers(TBarCustomItem* item)
{
    for (std::size_t i = 0; i < viewers_.size(); ++i) {
        if (&viewers_[i]->Item() != item)
            continue;
        const bool wasSelected = viewers_[i].get() == selected_;
        if (viewers_[i].get() == openViewer_)
            CloseChildPopups();
        auto fresh = item->CreateViewer(*this, viewers_[i]->GroupLevel());
        if (priority_)
            std::replace(priority_->begin(), priority_->end(), viewers_[i].get(), fresh.get());
        viewers_[i] = std::move(fresh);
        if (wasSelected)
            selected_ = viewers_[i].get();
    }
}

void TBarView::SetUsePriorityList(bool use)
{
    if (usePriorityList_ == use)
        return;
    usePriorityList_ = use;
    RecreateAllViewers();
}

void TBarView::GivePriority(TBarItemViewer* viewer)
{
    if (!viewer)
        return;
    if (chevronParentView_) {
        const int index = IndexOf(viewer) + chevronParentView_->LeadingViewerCount();
        if (index >= 0 && index < chevronParentView_->ViewerCount())
            chevronParentView_->GivePriority(chevronParentView_->Viewers(index));
        return;
    }
    if (parentView_ && parentView_->OpenViewer()) {
        parentView_->GivePriority(parentView_->OpenViewer());
        return;
    }
    if (!priority_)
        return;
    const bool wasOffEdge = viewer->OffEdge;
    RemoveFromList(priority_, viewer);
    AddToList(priority_, viewer, true);
    if (validated_ || wasOffEdge) {
        InvalidatePositions();
        ValidatePositions();
    }
}

// --- settings ---------------------------------------------------------------------------------

void TBarView::SetOrientation(TBarViewOrientation orientation)
{
    if (orientation_ == orientation)
        return;
    orientation_ = orientation;
    InvalidatePositions();
}

void TBarView::SetWrapOffset(int offset)
{
    if (wrapOffset_ == offset)
        return;
    wrapOffset_ = offset;
    InvalidatePositions();
}

void TBarView::SetChevronOffset(int offset)
{
    if (chevronOffset_ == offset)
        return;
    chevronOffset_ = offset;
    InvalidatePositions();
}

void TBarView::SetChevronSize(int size)
{
    if (chevronSize_ == size)
        return;
    chevronSize_ = size;
    InvalidatePositions();
}

void TBarView::SetMaxHeight(int height)
{
    if (maxHeight_ == height)
        return;
    maxHeight_ = height;
    InvalidatePositions();
}

void TBarView::SetChevronParentView(TBarView* view)
{
    chevronParentView_ = view;
}

void TBarView::LayOutAsToolbar()
{
    if (isToolbar_)
        return;
    isToolbar_ = true;
    InvalidatePositions();
}

void TBarView::EndUpdate()
{
    updateCount_ = std::max(0, updateCount_ - 1);
    ValidatePositions();
}

TBarMargins TBarView::GetMargins(TBarViewOrientation orientation) const
{
    if (orientation == TBarViewOrientation::voFloating)
        return {4, 2, 4, 1};
    return {};
}

LogicalFont TBarView::GetFont() const
{
    if (const LogicalFont* menu = TBarMenuFont())
        return *menu;
    return host_ ? host_->HostFont() : LogicalFont{};
}

QWidget* TBarView::Window() const
{
    return host_ ? &host_->HostWidget() : nullptr;
}

void TBarView::InvalidatePositions()
{
    validated_ = false;
    if (QWidget* window = Window())
        window->update();
}

void TBarView::ValidatePositions()
{
    if (validated_ || updateCount_ > 0 || destroying_)
        return;
    UpdatePositions();
}

TSize TBarView::UpdatePositions()
{
    return UpdatePositionsAtLeast({});
}

TSize TBarView::UpdatePositionsAtLeast(TSize least)
{
    TSize baseSize;
    TSize total = least;
    int rows = 0;
    const bool changed =
        CalculatePositions(true, orientation_, wrapOffset_, chevronOffset_, chevronSize_, baseSize, total, rows);
    baseSize_ = baseSize;
    validated_ = true;
    AutoSize(total.cx, total.cy);
    // Qt paints double-buffered: one repaint of the host stands for the off-screen copy.
    if (changed)
        if (QWidget* window = Window())
            window->update();
    return total;
}

bool TBarView::HintWanted(const TBarItemViewer& viewer) const
{
    if (!showHints_ && !(viewer.Item().EffectiveOptions() & tboShowHint))
        return false;
    return !captured_ && !(tracking_ && openViewerView_);
}

// --- scrolling --------------------------------------------------------------------------------

void TBarView::ScrollStep(bool down)
{
    bool found = false;
    int target = 0;
    for (const auto& viewer : viewers_) {
        if (!viewer->Clipped || viewer->Item().HasStyle(istSeparator))
            continue;
        const TRect& r = viewer->BoundsRect;
        if (down && r.Bottom > maxHeight_ - kScrollBandHeight && (!found || r.Bottom < target)) {
            target = r.Bottom;
            found = true;
        } else if (!down && r.Top < kScrollBandHeight && (!found || r.Top > target)) {
            target = r.Top;
            found = true;
        }
    }
    if (!found)
        return;
    scrollOffset_ += down ? target - (maxHeight_ - kScrollBandHeight) : target - kScrollBandHeight;
    UpdatePositions();
}

void TBarView::ScrollSelectedIntoView()
{
    if (!selected_ || !selected_->Clipped)
        return;
    const TRect& r = selected_->BoundsRect;
    if (r.Top < kScrollBandHeight)
        scrollOffset_ += r.Top - kScrollBandHeight;
    else if (r.Bottom > maxHeight_ - kScrollBandHeight)
        scrollOffset_ += r.Bottom - (maxHeight_ - kScrollBandHeight);
    else
        return;
    UpdatePositions();
}

// --- selection and the open submenu -------------------------------------------------------------

void TBarView::SetOpenPopup(TBarItemViewer* viewer, std::unique_ptr<TBarPopupWindow> window)
{
    CloseChildPopups();
    openViewer_ = viewer;
    openViewerView_ = window ? &window->View() : nullptr;
    openViewerWindow_ = std::move(window);
    if (isToolbar_ && viewer)
        InvalidateViewer(*viewer);
}

void TBarView::CloseChildPopups()
{
    if (openViewerView_)
        openViewerView_->CloseChildPopups();
    StopTimer(1);
    TBarItemViewer* was = openViewer_;
    openViewer_ = nullptr;
    openViewerView_ = nullptr;
    openViewerWindow_.reset();
    if (was && isToolbar_ && !destroying_)
        InvalidateViewer(*was);
}

void TBarView::ForgetOpenWindow(const TBarPopupWindow* window)
{
    if (!window || openViewerWindow_.get() != window)
        return;
    (void)openViewerWindow_.release();
    openViewer_ = nullptr;
    openViewerView_ = nullptr;
}

TBarView* TBarView::RootView()
{
    TBarView* view = this;
    while (view->parentView_)
        view = view->parentView_;
    return view;
}

// --- painting ---------------------------------------------------------------------------------

void TBarView::InvalidateViewer(const TBarItemViewer& viewer)
{
    if (QWidget* window = Window()) {
        // The rectangle is the client's: the window's frame (a docked bar's grip, a popup's
        // border) lies before it, or the viewer's right end would keep its old picture.
        const TRect& r = viewer.BoundsRect;
        QPoint topLeft(r.Left, r.Top);
        if (dynamic_cast<TBarPopupWindow*>(window))
            topLeft += QPoint(TBarPopupWindow::kFrame, TBarPopupWindow::kFrame);
        else if (auto* framed = dynamic_cast<NonClientWidget*>(window))
            topLeft = framed->ClientToWindow(topLeft);
        window->update(topLeft.x(), topLeft.y(), r.Width(), r.Height());
    }
}

void TBarView::DrawItem(Canvas& canvas, TBarItemViewer& viewer)
{
    const TRect r = viewer.BoundsRect;
    if (!viewer.Show || r.IsEmpty() || dynamic_cast<TBarControlItem*>(&viewer.Item()))
        return;
    const bool selected = &viewer == selected_;
    const bool pushed = selected && (&viewer == openViewer_ || (mouseOverSelected_ && captured_));
    const int saved = canvas.SaveDC();
    canvas.IntersectClipRect(r);
    viewer.PaintOffscreen = false;
    canvas.SetBrushOrg(r.Left & 1, r.Top & 1);
    const bool menuStyle = !viewer.IsToolbarStyle();
    if (selected && menuStyle)
        canvas.SelectBrush(
            Brush{BrushStyle::Solid, SystemColor(AreFlatMenusEnabled() ? COLOR_MENUHILIGHT : COLOR_HIGHLIGHT)});
    else
        canvas.SelectBrush(Brush{BrushStyle::Null, 0});
    canvas.SetFont(GetFont());
    bool shadow = false;
    if (viewer.Item().Enabled() || customizing_) {
        if (selected && menuStyle)
            canvas.SetTextColor(SystemColor(COLOR_HIGHLIGHTTEXT));
        else
            canvas.SetTextColor(SystemColor(viewer.IsToolbarStyle() ? COLOR_BTNTEXT : COLOR_MENUTEXT));
    } else {
        canvas.SetTextColor(SystemColor(COLOR_GRAYTEXT));
        if (!menuStyle) {
            shadow = true;
        } else {
            // Embossed only where the shadow shows: on button face, or on a gray-text highlight.
            const ColorRef background = selected ? GetSysColor(COLOR_HIGHLIGHT)
                                                 : ColorToRGB(host_ ? host_->HostColor() : SystemColor(COLOR_MENU));
            shadow = background == GetSysColor(COLOR_BTNFACE) || background == GetSysColor(COLOR_GRAYTEXT);
        }
    }
    viewer.Paint(canvas, r, selected, pushed, shadow);
    canvas.RestoreDC(saved);
}

void TBarView::PaintViewers(Canvas& canvas, const TRect& update)
{
    const auto meets = [&](const TRect& r) {
        return r.Left < update.Right && update.Left < r.Right && r.Top < update.Bottom && update.Top < r.Bottom;
    };
    const bool inOrder = paintInOrder_;
    paintInOrder_ = false;
    for (const auto& viewer : viewers_)
        if ((inOrder || viewer.get() != selected_) && meets(viewer->BoundsRect))
            DrawItem(canvas, *viewer);
    if (!inOrder && selected_ && meets(selected_->BoundsRect))
        DrawItem(canvas, *selected_);
}

}  // namespace velmoran
