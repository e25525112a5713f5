// Resizing a floating toolbar: the sizes its layout can take are worked out when the drag starts,
// and the window snaps to them, with a 12-pixel zone around the current size that holds it until
// the cursor has clearly moved on.
#include "toolbar/TBarFloatingWindow.h"
#include "toolbar/TBarToolbar.h"

#include <algorithm>

namespace velmoran {

namespace {

constexpr int kSnapZone = 12;

}  // namespace

std::vector<TBarCustomToolbar::SizeCandidate> TBarCustomToolbar::FloatingSizeCandidates()
{
    const int saved = floatingWidth_;
    const auto trial = [this](int width, int& rows) {
        TSize base;
        TSize total;
        view_->CalculatePositions(false, TBarViewOrientation::voFloating, width, 0, kChevronSize, base, total, rows);
        return QSize(total.cx, total.cy);
    };
    std::vector<SizeCandidate> list;
    int rows = 0;
    const QSize one = trial(0, rows);
    list.push_back({one, rows, 0});
    const TBarMargins margins = view_->GetMargins(TBarViewOrientation::voFloating);
    // The wrap limit counts from the left edge to the end of the row; the right margin lies beyond.
    const auto measured = [&margins](QSize size) { return size.width() - margins.Right; };
    int width = measured(one) - 1;
    while (width >= margins.Left + margins.Right) {
        const QSize size = trial(width, rows);
        if (measured(size) > width)
            break;
        if (measured(size) < width) {
            width = measured(size);
            continue;
        }
        if (rows == list.back().Rows)
            list.back() = {size, rows, width};
        else
            list.push_back({size, rows, width});
        --width;
    }
    floatingWidth_ = saved;
    view_->InvalidatePositions();
    return list;
}

void TBarCustomToolbar::SizingBegin(int edge)
{
    auto data = std::make_unique<SizeData>();
    data->AlongWidth = edge == 0 || edge == 1;
    data->Candidates = FloatingSizeCandidates();
    // To window sizes: the floating window's frame around the client layout.
    QSize frame(0, 0);
    if (TBarFloatingWindowParent* floating = FloatParent()) {
        int rows = 0;
        TSize base;
        TSize total;
        view_->CalculatePositions(false, TBarViewOrientation::voFloating, floatingWidth_, 0, kChevronSize, base, total,
                                  rows);
        view_->InvalidatePositions();
        frame = floating->size() - QSize(total.cx, total.cy);
    }
    for (SizeCandidate& candidate : data->Candidates)
        candidate.Size += frame;
    const bool alongWidth = data->AlongWidth;
    std::stable_sort(data->Candidates.begin(), data->Candidates.end(),
                     [alongWidth](const SizeCandidate& a, const SizeCandidate& b) {
                         return alongWidth ? a.Size.width() > b.Size.width() : a.Size.height() > b.Size.height();
                     });
    // The current size among them, and the snap zone to its neighbours.
    const QSize current = FloatParent() ? FloatParent()->size() : size();
    const auto length = [alongWidth](QSize s) { return alongWidth ? s.width() : s.height(); };
    int best = 0;
    for (int i = 0; i < static_cast<int>(data->Candidates.size()); ++i)
        if (std::abs(length(data->Candidates[i].Size) - length(current)) <
            std::abs(length(data->Candidates[best].Size) - length(current)))
            best = i;
    data->Chosen = best;
    const int here = length(data->Candidates[best].Size);
    if (best > 0)
        data->SnapAbove = std::min(kSnapZone, length(data->Candidates[best - 1].Size) - here);
    if (best + 1 < static_cast<int>(data->Candidates.size()))
        data->SnapBelow = std::min(kSnapZone, here - length(data->Candidates[best + 1].Size));
    sizeData_ = std::move(data);
}

void TBarCustomToolbar::SizingTrack(QRect& rect, const QRect& startRect)
{
    if (!sizeData_ || sizeData_->Candidates.empty())
        return;
    SizeData& data = *sizeData_;
    const auto length = [&data](QSize s) { return data.AlongWidth ? s.width() : s.height(); };
    const int proposed = length(rect.size());
    const int current = length(data.Candidates[data.Chosen].Size);
    // The direction is the pointer's own movement. Taken against the size last chosen it would
    // turn at once after every snap (the snapped size lies beyond the pointer), and the window
    // would flip between two layouts at every pixel of a steady drag.
    const int previous = data.LastProposed >= 0 ? data.LastProposed : length(startRect.size());
    data.LastProposed = proposed;
    const int direction = proposed > previous ? 1 : proposed < previous ? -1 : 0;
    int chosen = data.Chosen;
    const bool inZone = proposed >= current - data.SnapBelow && proposed <= current + data.SnapAbove;
    if (direction == 0 || (data.LastDirection != direction && inZone)) {
        chosen = data.Chosen;
    } else if (direction > 0) {
        // Growing: the smallest candidate at least as large, from the small end.
        chosen = 0;
        for (int i = static_cast<int>(data.Candidates.size()) - 1; i >= 0; --i)
            if (length(data.Candidates[i].Size) >= proposed) {
                chosen = i;
                break;
            }
    } else {
        // Shrinking: the largest at most that large, from the large end.
        chosen = static_cast<int>(data.Candidates.size()) - 1;
        for (int i = 0; i < static_cast<int>(data.Candidates.size()); ++i)
            if (length(data.Candidates[i].Size) <= proposed) {
                chosen = i;
                break;
            }
    }
    if (chosen != data.Chosen)
        data.LastDirection = direction;
    data.Chosen = chosen;
    // The candidate's size, anchored at the edge opposite the dragged one.
    const QSize size = data.Candidates[chosen].Size;
    const bool leftMoved = rect.left() != startRect.left();
    const bool topMoved = rect.top() != startRect.top();
    const int left = leftMoved ? rect.right() + 1 - size.width() : rect.left();
    const int top = topMoved ? rect.bottom() + 1 - size.height() : rect.top();
    rect = QRect(left, top, size.width(), size.height());
}

void TBarCustomToolbar::SizingApply()
{
    if (sizeData_ && sizeData_->Chosen >= 0)
        SetFloatingWidth(sizeData_->Candidates[sizeData_->Chosen].FloatingWidth);
}

void TBarCustomToolbar::SizingEnd()
{
    if (sizeData_ && sizeData_->Chosen >= 0)
        SetFloatingWidth(sizeData_->Candidates[sizeData_->Chosen].FloatingWidth);
    sizeData_.reset();
}

}  // namespace velmoran
