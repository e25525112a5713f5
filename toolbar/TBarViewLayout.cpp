// The layout pass of a view: which viewers show, how big they are, chevron shrinking, placing in
// rows that wrap, centring, right alignment, mirroring of vertical bars, popup scrolling, control
// widgets and the chevron's own place. Everything is worked out in records first and copied into
// the viewers at the end, so that the pass can tell whether anything changed.
#include "toolbar/TBarView.h"

#include "platform/NonClientWidget.h"

#include <QVariant>
#include <QWidget>

#include <algorithm>

namespace velmoran {

struct TBarView::LayoutRecord {
    // Before placing, Right and Bottom hold the width and the height.
    TRect Rect;
    bool Show = false;
    bool OffEdge = false;
    bool LineSeparator = false;
    bool Clipped = false;
    bool SameWidth = false;
};

namespace {

constexpr const char* kHiddenByLayout = "velmoranHiddenByLayout";

bool IsSeparator(const TBarItemViewer& viewer)
{
    return viewer.Item().HasStyle(istSeparator);
}

QWidget* ControlOf(const TBarItemViewer& viewer)
{
    if (auto* control = dynamic_cast<TBarControlItem*>(&viewer.Item()))
        return qobject_cast<QWidget*>(control->Control());
    return nullptr;
}

bool IsControlItem(const TBarItemViewer& viewer)
{
    return dynamic_cast<TBarControlItem*>(&viewer.Item()) != nullptr;
}

// Hides separators that stand first or follow another shown separator.
template <typename Viewers, typename Records>
void HideDoubledSeparators(const Viewers& viewers, Records& records, std::size_t count)
{
    bool previousWasSeparator = true;
    for (std::size_t i = 0; i < count; ++i) {
        if (!records[i].Show)
            continue;
        const bool separator = IsSeparator(*viewers[i]);
        if (separator && previousWasSeparator)
            records[i].Show = false;
        else
            previousWasSeparator = separator;
    }
}

template <typename Viewers, typename Records>
void HideTrailingSeparators(const Viewers& viewers, Records& records, std::size_t count)
{
    for (std::size_t i = count; i-- > 0;) {
        if (!records[i].Show)
            continue;
        if (!IsSeparator(*viewers[i]))
            break;
        records[i].Show = false;
    }
}

}  // namespace

bool TBarView::CalculatePositions(bool canMoveControls, TBarViewOrientation orientation, int wrapOffset,
                                  int chevronOffset, int chevronSize, TSize& baseSize, TSize& totalSize, int& rows)
{
    const TBarViewOrientation savedOrientation = orientation_;
    orientation_ = orientation;
    const bool vertical = orientation == TBarViewOrientation::voVertical;
    TBarCustomItem* chevronItem = GetChevronItem();
    const std::size_t count = viewers_.size();
    // The chevron's viewer is the last of the list and takes no part in the rows.
    const std::size_t itemCount = chevronItem && count > 0 ? count - 1 : count;
    std::vector<LayoutRecord> records(count);

    // 1. Visibility.
    for (std::size_t i = 0; i < itemCount; ++i) {
        TBarItemViewer& viewer = *viewers_[i];
        TBarCustomItem& item = viewer.Item();
        bool show;
        if (IsControlItem(viewer)) {
            QWidget* control = ControlOf(viewer);
            show = control && control->parentWidget() == Window() &&
                   (control->isVisibleTo(Window()) || control->property(kHiddenByLayout).toBool() || customizing_);
        } else if (item.HasStyle(istInlineSubitems)) {
            show = item.Visible() && customizing_;
        } else {
            show = item.Visible();
        }
        if (show && chevronParentView_) {
            const int counterpart = static_cast<int>(i) + chevronParentView_->LeadingViewerCount();
            const bool offEdge = counterpart < chevronParentView_->ViewerCount() &&
                                 chevronParentView_->Viewers(counterpart)->OffEdge;
            show = !IsControlItem(viewer) && (IsSeparator(viewer) || offEdge);
        }
        records[i].Show = show;
    }
    HideDoubledSeparators(viewers_, records, itemCount);
    HideTrailingSeparators(viewers_, records, itemCount);

    // 2. Sizes.
    MeasuringCanvas canvas;
    const LogicalFont font = GetFont();
    int sameWidth = 0;
    for (std::size_t i = 0; i < itemCount; ++i) {
        if (!records[i].Show)
            continue;
        TBarItemViewer& viewer = *viewers_[i];
        int width = 0;
        int height = 0;
        if (QWidget* control = ControlOf(viewer)) {
            width = control->width();
            height = control->height();
        } else {
            LogicalFont itemFont = font;
            if (viewer.Item().EffectiveOptions() & tboDefault)
                itemFont.Weight = 700;
            canvas.SetFont(itemFont);
            viewer.CalcSize(canvas, width, height);
        }
        records[i].Rect = TRect{0, 0, width, height};
        if (viewer.UsesSameWidth()) {
            records[i].SameWidth = true;
            sameWidth = std::max(sameWidth, width);
        }
    }
    for (LayoutRecord& record : records)
        if (record.SameWidth)
            record.Rect.Right = sameWidth;

    const auto along = [vertical](const TRect& sized) { return vertical ? sized.Bottom : sized.Right; };
    const auto across = [vertical](const TRect& sized) { return vertical ? sized.Right : sized.Bottom; };

    // 3. The unwrapped size.
    int length = 0;
    int thickness = 0;
    for (std::size_t i = 0; i < itemCount; ++i)
        if (records[i].Show) {
            length += along(records[i].Rect);
            thickness = std::max(thickness, across(records[i].Rect));
        }
    baseSize = vertical ? TSize{thickness, length} : TSize{length, thickness};

    // 4. Chevron shrinking.
    bool chevronNeeded = false;
    if (chevronItem && chevronOffset >= 1 && length > chevronOffset) {
        const int available = chevronOffset - chevronSize;
        const auto shownNonSeparators = [&] {
            int n = 0;
            for (std::size_t i = 0; i < itemCount; ++i)
                n += records[i].Show && !IsSeparator(*viewers_[i]);
            return n;
        };
        const auto recount = [&] {
            int sum = 0;
            for (std::size_t i = 0; i < itemCount; ++i)
                if (records[i].Show)
                    sum += along(records[i].Rect);
            return sum;
        };
        // Down to the first item: a dock lets a bar shrink to that item and the chevron, and an
        // item kept beyond that would lie over the chevron.
        while (length > available && shownNonSeparators() >= 2) {
            std::size_t last = itemCount;
            for (std::size_t i = itemCount; i-- > 0;)
                if (records[i].Show) {
                    last = i;
                    break;
                }
            if (last < itemCount && IsSeparator(*viewers_[last])) {
                records[last].Show = false;
            } else {
                // The least important shown non-separator goes behind the chevron.
                std::size_t victim = itemCount;
                if (priority_) {
                    for (auto it = priority_->rbegin(); it != priority_->rend() && victim == itemCount; ++it) {
                        const int index = IndexOf(*it);
                        if (index >= 0 && static_cast<std::size_t>(index) < itemCount && records[index].Show &&
                            !IsSeparator(**it))
                            victim = static_cast<std::size_t>(index);
                    }
                } else {
                    for (std::size_t i = itemCount; i-- > 0;)
                        if (records[i].Show && !IsSeparator(*viewers_[i])) {
                            victim = i;
                            break;
                        }
                }
                if (victim == itemCount)
                    break;
                records[victim].Show = false;
                records[victim].OffEdge = true;
            }
            chevronNeeded = true;
            HideDoubledSeparators(viewers_, records, itemCount);
            HideTrailingSeparators(viewers_, records, itemCount);
            length = recount();
        }
    }

    // 5. and 6. Placement in rows.
    const TBarMargins margins = GetMargins(orientation);
    const int alongStart = vertical ? margins.Top : margins.Left;
    const int acrossStart = vertical ? margins.Left : margins.Top;
    // Right and bottom reached so far, from the least size the caller asks for.
    int total[2] = {std::max(0, totalSize.cx), std::max(0, totalSize.cy)};
    int alongPos = alongStart;
    int acrossPos = acrossStart;
    int rowThickness = 0;
    std::vector<std::size_t> row;
    bool anyWrap = false;
    bool lastRowEndedByWrap = false;
    bool previousToolbarSized = false;
    rows = 1;
    const auto place = [&](std::size_t i, int x, int y) {
        TRect& r = records[i].Rect;
        r = TRect{x, y, x + r.Right, y + r.Bottom};
        total[0] = std::max(total[0], r.Right);
        total[1] = std::max(total[1], r.Bottom);
    };
    const auto closeRow = [&](bool byWrap, bool last) {
        if (byWrap && !chevronParentView_)
            (vertical ? total[1] : total[0]) = std::max(vertical ? total[1] : total[0], wrapOffset);
        int rowSize = rowThickness;
        if (last && !anyWrap && orientation != TBarViewOrientation::voFloating && canMoveControls)
            rowSize = (vertical ? total[0] : total[1]) - acrossPos;
        if (isToolbar_) {
            for (std::size_t i : row) {
                TRect& r = records[i].Rect;
                if (IsSeparator(*viewers_[i]) && !records[i].LineSeparator) {
                    if (vertical)
                        r.Right = r.Left + rowSize;
                    else
                        r.Bottom = r.Top + rowSize;
                } else if (!IsSeparator(*viewers_[i])) {
                    const int shift = (rowSize - (vertical ? r.Width() : r.Height())) / 2;
                    r = vertical ? TRect{r.Left + shift, r.Top, r.Right + shift, r.Bottom}
                                 : TRect{r.Left, r.Top + shift, r.Right, r.Bottom + shift};
                }
            }
        }
        // Items flagged to stand right move to the far end of the row.
        const auto right = std::find_if(row.begin(), row.end(),
                                        [&](std::size_t i) { return viewers_[i]->Item().HasStyle(istAlignRight); });
        if (right != row.end()) {
            const TRect& lastRect = records[row.back()].Rect;
            const int farEnd = vertical ? lastRect.Bottom : lastRect.Right;
            const int distance = std::max(wrapOffset, vertical ? total[1] : total[0]) - farEnd;
            for (auto it = right; it != row.end(); ++it) {
                TRect& r = records[*it].Rect;
                r = vertical ? TRect{r.Left, r.Top + distance, r.Right, r.Bottom + distance}
                             : TRect{r.Left + distance, r.Top, r.Right + distance, r.Bottom};
            }
        }
        row.clear();
    };
    const auto newRow = [&](bool byWrap) {
        closeRow(byWrap, false);
        ++rows;
        acrossPos += rowThickness;
        alongPos = alongStart;
        rowThickness = 0;
        lastRowEndedByWrap = byWrap;
    };
    // The length of the items after a separator up to the next one.
    const auto groupLength = [&](std::size_t separator) {
        int sum = 0;
        for (std::size_t j = separator + 1; j < itemCount; ++j) {
            if (!records[j].Show)
                continue;
            if (IsSeparator(*viewers_[j]))
                break;
            sum += along(records[j].Rect);
        }
        return sum;
    };
    for (std::size_t i = 0; i < itemCount; ++i) {
        if (!records[i].Show)
            continue;
        TBarItemViewer& viewer = *viewers_[i];
        const bool toolbarSized = isToolbar_ || (viewer.Item().EffectiveOptions() & tboToolbarSize);
        if (!isToolbar_ && toolbarSized && !previousToolbarSized) {
            // Toolbar-sized items in a popup start a row below the lines placed so far.
            closeRow(false, false);
            acrossPos = std::max(total[1], margins.Top);
            alongPos = alongStart;
            rowThickness = 0;
        }
        const int itemLength = along(records[i].Rect);
        const bool wrapping = wrapOffset >= 1 && alongPos > alongStart && (isToolbar_ || toolbarSized);
        if (wrapping && !IsSeparator(viewer) && alongPos + itemLength > wrapOffset) {
            anyWrap = true;
            newRow(true);
        } else if (wrapping && IsSeparator(viewer)) {
            const bool fits = alongPos + itemLength + groupLength(i) <= wrapOffset;
            if (!fits || (lastRowEndedByWrap && !viewer.Item().HasStyle(istSeparatorNoBreak))) {
                anyWrap = true;
                newRow(false);
                records[i].LineSeparator = true;
                records[i].Rect = vertical ? TRect{0, 0, 6, 0} : TRect{0, 0, 0, 6};
                place(i, vertical ? acrossPos : alongPos, vertical ? alongPos : acrossPos);
                acrossPos += 6;
                continue;
            }
        }
        if (!isToolbar_ && !toolbarSized) {
            // A menu line: one under the other.
            if (previousToolbarSized)
                closeRow(false, false);
            place(i, margins.Left, std::max(total[1], margins.Top));
            previousToolbarSized = false;
            row.push_back(i);
            continue;
        }
        previousToolbarSized = true;
        place(i, vertical ? acrossPos : alongPos, vertical ? alongPos : acrossPos);
        alongPos += itemLength;
        rowThickness = std::max(rowThickness, across(TRect{0, 0, records[i].Rect.Width(), records[i].Rect.Height()}));
        row.push_back(i);
    }
    closeRow(false, true);

    // Menu lines of a popup stretch to the widest of their run.
    if (!isToolbar_) {
        std::size_t i = 0;
        while (i < itemCount) {
            if (!records[i].Show || (viewers_[i]->Item().EffectiveOptions() & tboToolbarSize)) {
                ++i;
                continue;
            }
            std::size_t end = i;
            int widest = 0;
            while (end < itemCount &&
                   (!records[end].Show || !(viewers_[end]->Item().EffectiveOptions() & tboToolbarSize))) {
                if (records[end].Show)
                    widest = std::max(widest, records[end].Rect.Right);
                ++end;
            }
            for (std::size_t j = i; j < end; ++j)
                if (records[j].Show)
                    records[j].Rect.Right = std::max(widest, total[0]);
            i = end;
        }
    }

    // 7. Margins, and vertical bars laid right to left.
    total[0] += margins.Right;
    total[1] += margins.Bottom;
    if (vertical)
        for (std::size_t i = 0; i < itemCount; ++i)
            if (records[i].Show) {
                TRect& r = records[i].Rect;
                r = TRect{total[0] - r.Right, r.Top, total[0] - r.Left, r.Bottom};
            }

    // 8. Popup scrolling.
    if (maxHeight_ >= 1 && total[1] > maxHeight_) {
        scrollOffset_ = std::clamp(scrollOffset_, 0, total[1] - maxHeight_);
        showUpArrow_ = scrollOffset_ > 0;
        showDownArrow_ = scrollOffset_ < total[1] - maxHeight_;
        const int top = showUpArrow_ ? kScrollBandHeight : 0;
        const int bottom = showDownArrow_ ? maxHeight_ - kScrollBandHeight : maxHeight_;
        for (std::size_t i = 0; i < itemCount; ++i) {
            TRect& r = records[i].Rect;
            r.Top -= scrollOffset_;
            r.Bottom -= scrollOffset_;
            if (records[i].Show && (r.Top < top || r.Bottom > bottom)) {
                records[i].Show = false;
                records[i].Clipped = true;
            }
        }
        total[1] = maxHeight_;
    } else {
        scrollOffset_ = 0;
        showUpArrow_ = false;
        showDownArrow_ = false;
    }

    // 9. Control widgets follow their items.
    if (canMoveControls)
        for (std::size_t i = 0; i < itemCount; ++i)
            if (QWidget* control = ControlOf(*viewers_[i])) {
                if (records[i].Show) {
                    const TRect& r = records[i].Rect;
                    const QRect bounds(r.Left, r.Top, r.Width(), r.Height());
                    if (auto* framed = dynamic_cast<NonClientWidget*>(Window()))
                        framed->SetChildBounds(*control, bounds);
                    else
                        control->setGeometry(bounds);
                    control->setProperty(kHiddenByLayout, false);
                    control->setVisible(true);
                } else if (records[i].OffEdge || records[i].Clipped) {
                    // Hidden for want of room, not by its owner: it comes back when room returns.
                    control->setProperty(kHiddenByLayout, true);
                    control->setVisible(false);
                }
            }

    // 10. Row gaps of a toolbar span the whole bar.
    if (isToolbar_)
        for (std::size_t i = 0; i < itemCount; ++i)
            if (records[i].Show && records[i].LineSeparator) {
                TRect& r = records[i].Rect;
                if (vertical) {
                    r.Top = 0;
                    r.Bottom = total[1];
                } else {
                    r.Left = 0;
                    r.Right = total[0];
                }
            }

    // 11. The chevron.
    if (chevronItem && count > 0) {
        LayoutRecord& chevron = records[count - 1];
        chevron.Show = chevronNeeded;
        if (chevronNeeded) {
            chevron.Rect = vertical ? TRect{0, std::max(chevronOffset, total[1]), total[0],
                                            std::max(chevronOffset, total[1]) + chevronSize}
                                    : TRect{std::max(chevronOffset, total[0]), 0,
                                            std::max(chevronOffset, total[0]) + chevronSize, total[1]};
        } else {
            chevron.Rect = {};
        }
        if (canMoveControls) {
            bool anyItem = false;
            for (std::size_t i = 0; i < itemCount; ++i)
                anyItem = anyItem || (records[i].OffEdge && !IsControlItem(*viewers_[i]));
            chevronItem->SetEnabled(anyItem);
        }
    }
    totalSize = TSize{total[0], total[1]};

    // 12. Into the viewers.
    bool changed = false;
    for (std::size_t i = 0; i < count; ++i) {
        TBarItemViewer& viewer = *viewers_[i];
        const LayoutRecord& record = records[i];
        const TRect rect = record.Show || record.Clipped ? record.Rect : TRect{};
        if (viewer.BoundsRect != rect || viewer.Show != record.Show || viewer.OffEdge != record.OffEdge ||
            viewer.Clipped != record.Clipped || viewer.LineSeparator != record.LineSeparator)
            changed = true;
        viewer.BoundsRect = rect;
        viewer.Show = record.Show;
        viewer.OffEdge = record.OffEdge;
        viewer.Clipped = record.Clipped;
        viewer.LineSeparator = record.LineSeparator;
    }
    orientation_ = savedOrientation;
    return changed;
}

}  // namespace velmoran
