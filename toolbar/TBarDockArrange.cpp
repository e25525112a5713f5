// The dock's row layout: which bars share a row, where each one sits, how an overfull row wraps,
// shrinks or stretches, how thick each row and the dock become, and the placing of the bars.
#include "toolbar/TBarDock.h"

#include "platform/core/ScopeExit.h"
#include "toolbar/TBarDockableWindow.h"

#include <algorithm>

namespace velmoran {

namespace {

// The working entry of one bar during an arrangement.
struct Entry {
    TBarCustomDockableWindow* Bar = nullptr;
    int Row = -1;      // the row of a shown bar, -1 for a bar not shown on the dock
    int ListRow = 0;   // the row the bar counts in, shown or not
    int Position = 0;
    int Gap = 0;       // free space kept in front of the bar
    int FullLength = 0;
    int MinLength = 0;
    int Length = 0;
    int Overlap = 0;   // how far the bar wanted to reach into the bar before it
    TBarShrinkMode ShrinkMode = TBarShrinkMode::tbsmNone;
    bool Changed = false;
};

// Moves this entry and every later one at row r or below down by one row.
void MoveDownFrom(std::vector<Entry>& entries, std::size_t first, int r, const Entry* except = nullptr)
{
    for (std::size_t k = first; k < entries.size(); ++k) {
        Entry& e = entries[k];
        if (&e == except)
            continue;
        if (e.ListRow >= r)
            ++e.ListRow;
        if (e.Row >= r)
            ++e.Row;
    }
}

class RowArrangement {
public:
    RowArrangement(TBarDock& dock, std::vector<Entry>& entries, int avail)
        : dock_(dock), entries_(entries), avail_(avail)
    {
    }
    // Measures row r, wrapping it when it is too long; true when it wrapped.
    bool Measure(int r, int& highestRow);
    void Place(int r);

private:
    std::vector<Entry*> ShownIn(int r);
    bool IsDragged(const Entry& e) const { return e.Bar->Dragging; }
    int AlongDock(QPoint p) const { return dock_.Vertical() ? p.y() : p.x(); }

    TBarDock& dock_;
    std::vector<Entry>& entries_;
    int avail_;
    int total_ = 0;
    int count_ = 0;
};

std::vector<Entry*> RowArrangement::ShownIn(int r)
{
    std::vector<Entry*> row;
    for (Entry& e : entries_)
        if (e.Row == r)
            row.push_back(&e);
    return row;
}

bool RowArrangement::Measure(int r, int& highestRow)
{
    total_ = 0;
    count_ = 0;
    int sum = 0;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        Entry& e = entries_[i];
        if (e.Row != r)
            continue;
        e.FullLength = e.Length = AlongDock(e.Bar->GetDockedNCAreaSize()) + AlongDock(e.Bar->GetBaseSize());
        e.ShrinkMode = e.Bar->GetShrinkMode();
        int minimum = e.FullLength;
        e.Bar->GetMinShrinkSize(minimum);
        e.MinLength = std::min(minimum, e.FullLength);
        sum += e.ShrinkMode == TBarShrinkMode::tbsmChevron ? e.MinLength : e.FullLength;
        if (count_ > 0 && sum > avail_ && !dock_.LimitToOneRow()) {
            MoveDownFrom(entries_, i, r);
            ++highestRow;
            return true;
        }
        total_ += e.FullLength;
        ++count_;
    }
    return false;
}

void RowArrangement::Place(int r)
{
    std::vector<Entry*> row = ShownIn(r);
    if (row.empty())
        return;
    int overflow = total_ - avail_;

    // Desired positions: each bar where it wants to be, gaps kept while the row has room.
    int cursor = 0;
    int previousDesiredEnd = 0;
    int minimumSum = 0;
    int draggedDesired = 0;
    int dragged = -1;
    for (std::size_t i = 0; i < row.size(); ++i) {
        Entry& e = *row[i];
        int desired = e.Bar->DockPos();
        if ((e.Bar->FullSize() || e.Bar->Stretch()) && cursor == 0)
            desired = 0;
        if (IsDragged(e)) {
            draggedDesired = desired;
            dragged = static_cast<int>(i);
        }
        desired = std::max(desired, minimumSum);
        if (cursor >= desired) {
            if (desired < previousDesiredEnd)
                e.Overlap = previousDesiredEnd - desired;
        } else if (overflow < 1) {
            e.Gap = desired - cursor;
            cursor = desired;
        } else {
            desired = cursor;
        }
        cursor += e.Length;
        previousDesiredEnd = desired + e.Length;
        minimumSum += e.MinLength;
    }

    // A dragged bar lands where it is dragged: the gaps in front of it give way, and the bar after
    // it takes what they gave, so that the bars behind it stay put.
    if (overflow < 0 && dragged > 0) {
        int end = 0;
        for (int i = 0; i < dragged; ++i)
            end += row[i]->Gap + row[i]->Length;
        int wanted = end - draggedDesired;
        int taken = 0;
        for (int i = dragged - 1; i >= 0 && wanted > 0; --i) {
            const int t = std::min(row[i]->Gap, wanted);
            row[i]->Gap -= t;
            wanted -= t;
            taken += t;
        }
        if (dragged + 1 < static_cast<int>(row.size()))
            row[dragged + 1]->Gap += taken;
    }

    // A row that ends beyond the dock gives up its gaps, the last first.
    int end = 0;
    for (const Entry* e : row)
        end += e->Gap + e->Length;
    for (auto it = row.rbegin(); it != row.rend() && end > avail_; ++it) {
        const int t = std::min((*it)->Gap, end - avail_);
        (*it)->Gap -= t;
        end -= t;
    }

    if (overflow > 0) {
        // A bar that wanted to reach into the one before it pushes the chevron bars in front of it.
        int push = 0;
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (count_ > 1 && IsDragged(*row[i]))
                row[i]->Bar->DragRowOverflow = true;
            push = std::min(push + row[i]->Overlap, overflow);
            for (std::size_t j = i; j-- > 0 && push > 0;) {
                Entry& before = *row[j];
                if (before.ShrinkMode == TBarShrinkMode::tbsmChevron) {
                    const int t = std::min(push, before.Length - before.MinLength);
                    before.Length -= t;
                    overflow -= t;
                    push -= t;
                }
                if (IsDragged(before))
                    break;
            }
        }
        // The rest comes from the bars that can shrink, the last first; a wrapping bar shrinks only
        // when it is alone in its row.
        for (auto it = row.rbegin(); it != row.rend() && overflow > 0; ++it) {
            Entry& e = **it;
            if (e.ShrinkMode == TBarShrinkMode::tbsmChevron || (e.ShrinkMode == TBarShrinkMode::tbsmWrap && count_ < 2)) {
                const int t = std::min(overflow, e.Length - e.MinLength);
                e.Length -= t;
                overflow -= t;
            }
        }
    }

    // Final positions; full-size and stretching bars take up the free space.
    cursor = 0;
    for (std::size_t i = 0; i < row.size(); ++i) {
        Entry& e = *row[i];
        if (e.Bar->FullSize() || e.Bar->Stretch()) {
            e.Length += e.Gap;
            e.Gap = 0;
        }
        e.Position = cursor + e.Gap;
        if (e.Bar->FullSize())
            e.Length = std::max(e.Length, avail_);
        if (e.Bar->Stretch()) {
            if (i + 1 < row.size()) {
                e.Length += row[i + 1]->Gap;
                row[i + 1]->Gap = 0;
            } else {
                e.Length = std::max(e.Length, avail_ - e.Position);
            }
        }
        cursor = e.Position + e.Length;
    }
}

}  // namespace

void TBarDock::SortByRowAndPosition(std::vector<TBarCustomDockableWindow*>& list) const
{
    std::stable_sort(list.begin(), list.end(), [](const TBarCustomDockableWindow* a, const TBarCustomDockableWindow* b) {
        return a->DockRow() != b->DockRow() ? a->DockRow() < b->DockRow() : a->DockPos() < b->DockPos();
    });
}

void TBarDock::ArrangeToolbars()
{
    if (disableArrangeToolbars_ > 0) {
        arrangeToolbarsNeeded_ = true;
        return;
    }
    ++disableArrangeToolbars_;
    const ScopeExit finally([this] {
        --disableArrangeToolbars_;
        arrangeToolbarsNeeded_ = false;
        CommitNewPositions = false;
    });
    const bool vertical = Vertical();

    if (dockVisibleList_.empty()) {
        SetThickness(fixAlign_ ? 1 : 0);
        return;
    }
    const int avail = std::max(0, vertical ? height() - nonClientHeight_ : width() - nonClientWidth_);

    std::erase_if(dockList_, [](const TBarCustomDockableWindow* bar) { return bar->IsDestroying(); });
    std::erase_if(dockVisibleList_, [](const TBarCustomDockableWindow* bar) { return bar->IsDestroying(); });
    if (limitToOneRow_)
        for (TBarCustomDockableWindow* bar : dockList_)
            bar->dockRow_ = 0;

    // The working list in row and position order; a bar dragged within its row keeps its place.
    std::vector<TBarCustomDockableWindow*> list = dockList_;
    const auto draggedAt = std::find_if(list.begin(), list.end(), [](const TBarCustomDockableWindow* b) { return b->Dragging; });
    const std::ptrdiff_t draggedIndex = draggedAt == list.end() ? -1 : draggedAt - list.begin();
    SortByRowAndPosition(list);
    if (draggedIndex >= 0) {
        auto now = std::find_if(list.begin(), list.end(), [](const TBarCustomDockableWindow* b) { return b->Dragging; });
        if ((*now)->DragWithinRow) {
            TBarCustomDockableWindow* bar = *now;
            list.erase(now);
            list.insert(list.begin() + draggedIndex, bar);
        }
    }
    SortByRowAndPosition(dockVisibleList_);
    int highestRow = GetHighestRow(false);

    std::vector<Entry> entries;
    entries.reserve(list.size());
    for (TBarCustomDockableWindow* bar : list) {
        Entry e;
        e.Bar = bar;
        e.Row = IsShownOnDock(bar) ? bar->DockRow() : -1;
        e.ListRow = bar->DockRow();
        e.Position = bar->DockPos();
        entries.push_back(e);
    }

    // Bars that want a row of their own get it; the others of that row move down.
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 0 && limitToOneRow_)
            continue;
        for (int r = 0; r <= highestRow; ++r) {
            for (Entry& e : entries) {
                const bool wants = pass == 0 ? e.Bar->InsertNewRow : e.Bar->FullSize();
                if (!wants || e.ListRow != r)
                    continue;
                const bool shared = std::any_of(entries.begin(), entries.end(), [&e, r](const Entry& o) { return &o != &e && o.ListRow == r; });
                if (shared) {
                    MoveDownFrom(entries, 0, r, &e);
                    ++highestRow;
                }
            }
        }
    }

    // Empty rows close up.
    for (int r = 0; r <= highestRow;) {
        if (std::any_of(entries.begin(), entries.end(), [r](const Entry& e) { return e.ListRow == r; })) {
            ++r;
            continue;
        }
        for (Entry& e : entries) {
            if (e.ListRow > r)
                --e.ListRow;
            if (e.Row > r)
                --e.Row;
        }
        --highestRow;
    }

    RowArrangement rows(*this, entries, avail);
    for (int r = 0; r <= highestRow; ++r) {
        rows.Measure(r, highestRow);
        rows.Place(r);
    }

    for (Entry& e : entries) {
        e.Bar->EffectiveDockRow = e.ListRow;
        e.Bar->EffectiveDockPos = e.Position;
        if (CommitNewPositions) {
            e.Bar->dockRow_ = e.ListRow;
            e.Bar->dockPos_ = e.Position;
        }
    }
    if (CommitNewPositions)
        dockList_ = list;

    // Placement, row after row.
    int offset = 0;
    for (int r = 0; r <= highestRow; ++r) {
        int rowSize = 0;
        for (Entry& e : entries) {
            if (e.Row != r)
                continue;
            TBarCustomDockableWindow* bar = e.Bar;
            const int shrunk = e.Length < e.FullLength ? e.Length : 0;
            const bool shrunkChanged = shrunk != bar->ShrunkLength;
            bar->ShrunkLength = shrunk;
            QPoint size;
            if (e.ShrinkMode != TBarShrinkMode::tbsmNone && shrunkChanged) {
                size = bar->ArrangeControls(false, DockTypeOf(this, false), false, this);
                e.Changed = true;
            } else if (e.ShrinkMode == TBarShrinkMode::tbsmWrap && e.Length < e.FullLength) {
                const QPoint nc = bar->GetDockedNCAreaSize();
                size = QPoint(bar->width() - nc.x(), bar->height() - nc.y());
            } else {
                size = bar->GetBaseSize();
            }
            bar->RowThickness = vertical ? size.x() : size.y();
            rowSize = std::max(rowSize, bar->RowThickness);
        }
        if (rowSize != 0)
            rowSize += 4;
        for (Entry& e : entries) {
            if (e.Row != r)
                continue;
            TBarCustomDockableWindow* bar = e.Bar;
            {
                ++bar->IgnoreBoundsChange;
                const ScopeExit lower([bar] { --bar->IgnoreBoundsChange; });
                bar->SetBounds(vertical ? QRect(offset, e.Position, rowSize, e.Length) : QRect(e.Position, offset, e.Length, rowSize));
            }
            if (e.Changed)
                bar->ArrangeNeeded = true;
            if (bar->ArrangeNeeded)
                bar->Arrange();
        }
        offset += rowSize;
    }
    SetThickness((vertical ? nonClientWidth_ : nonClientHeight_) + offset);
}

}  // namespace velmoran
