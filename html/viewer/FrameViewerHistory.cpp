// The frame viewer's history: the top documents shown, each with the frameset it was shown in. A
// frameset left for another is kept, hidden, while an entry refers to it, so that going back shows
// its frames as they were left (pages, places, typed values); the frames keep their own histories
// beside it, and back and forward step first through the frame that changed last.
#include "html/viewer/FrameViewer.h"

#include <algorithm>

namespace velmoran {

int TFrameViewer::SinglePagePosition() const
{
    const auto& viewers = topSet_->Registry->AllViewers;
    return viewers.size() == 1 ? viewers.front()->GetPosition() : 0;
}

void TFrameViewer::SetSinglePagePosition(int pos)
{
    const auto& viewers = topSet_->Registry->AllViewers;
    if (viewers.size() == 1)
        viewers.front()->SetPosition(pos);
}

bool TFrameViewer::Referenced(const TFrameSet* set) const
{
    return std::any_of(history_.begin(), history_.end(),
                       [set](const TFrameViewerHistoryEntry& entry) { return entry.Set == set; });
}

void TFrameViewer::Release(TFrameSet* set)
{
    if (set && set != topSet_ && !Referenced(set))
        DiscardLater(set);
}

void TFrameViewer::HistoryChanged()
{
    if (OnHistoryChange)
        OnHistoryChange(this);
}

void TFrameViewer::FrameHistoryChanged()
{
    HistoryChanged();
}

// The entries ahead of the one shown go.
void TFrameViewer::DropNewerEntries()
{
    std::vector<TFrameSet*> dropped;
    for (int i = 0; i < historyPos_; ++i)
        dropped.push_back(history_[static_cast<std::size_t>(i)].Set);
    history_.erase(history_.begin(), history_.begin() + historyPos_);
    historyPos_ = 0;
    for (TFrameSet* set : dropped)
        Release(set);
}

// The entry shown takes what was left, the entries ahead of it go, and the frameset shown now
// comes in front; at most HistoryMaxCount entries stay.
void TFrameViewer::PushEntry(TFrameViewerHistoryEntry left)
{
    if (!history_.empty()) {
        auto& current = history_[static_cast<std::size_t>(historyPos_)];
        TFrameSet* replaced = current.Set;
        current = std::move(left);
        Release(replaced);
    } else {
        Release(left.Set);
    }
    DropNewerEntries();
    history_.insert(history_.begin(), TFrameViewerHistoryEntry{topSet_->DocumentFile, topSet_, topSet_->DocTitle, 0});
    if (static_cast<int>(history_.size()) > historyMaxCount_) {
        TFrameSet* last = history_.back().Set;
        history_.pop_back();
        Release(last);
    }
    HistoryChanged();
}

void TFrameViewer::RecordNewFrameSet(TFrameSet* old, int oldPos)
{
    if (historyMaxCount_ < 1 || topSet_->DocumentFile.empty()) {
        Release(old);
        return;
    }
    // The frames of the frameset left start their histories again with what they show.
    for (TfvFrame* frame : old->Registry->AllFrames)
        frame->RestartHistory(historyMaxCount_);
    PushEntry(TFrameViewerHistoryEntry{old->DocumentFile, old, old->DocTitle, oldPos});
}

void TFrameViewer::RecordPagePlace(const std::string& file, const std::u16string& title, int pos)
{
    if (historyMaxCount_ < 1 || topSet_->DocumentFile.empty() || file.empty())
        return;
    PushEntry(TFrameViewerHistoryEntry{file, topSet_, title, pos});
}

// Shows a frameset the history kept in place of the one shown.
void TFrameViewer::ShowFrameSet(TFrameSet* set)
{
    TFrameSet* old = topSet_;
    old->UnloadContent();
    topSet_ = set;
    set->setGeometry(rect());
    set->LayoutChildren();
    set->show();
    set->raise();
    old->hide();
    Release(old);
}

void TFrameViewer::SetHistoryPos(int index)
{
    if (AnyBusy() || index < 0 || index >= static_cast<int>(history_.size()) || index == historyPos_)
        return;
    const auto busy = BusyScope();
    auto& left = history_[static_cast<std::size_t>(historyPos_)];
    if (left.Set == topSet_)
        left.Pos = SinglePagePosition();
    const TFrameViewerHistoryEntry target = history_[static_cast<std::size_t>(index)];
    historyPos_ = index;
    if (target.Set && target.Set != topSet_)
        ShowFrameSet(target.Set);
    SetSinglePagePosition(target.Pos);
    UpdateVisited();
    HistoryChanged();
}

// Back: the frame whose shown entry is the newest step of all; forward: the frame whose next entry
// is the oldest step ahead.
TfvFrame* TFrameViewer::FrameToStep(bool back) const
{
    TfvFrame* best = nullptr;
    int bestSeq = 0;
    for (TfvFrame* frame : topSet_->Registry->AllFrames) {
        TPageHistory& h = frame->History;
        const int at = back ? h.Index() : h.Index() - 1;
        if (at < 0 || (back && h.Index() + 1 >= h.Count()))
            continue;
        const int seq = h.Place(at).Seq;
        if (!best || (back ? seq > bestSeq : seq < bestSeq)) {
            best = frame;
            bestSeq = seq;
        }
    }
    return best;
}

void TFrameViewer::GoBack()
{
    if (AnyBusy())
        return;
    if (TfvFrame* frame = FrameToStep(true)) {
        const auto busy = BusyScope();
        frame->SetHistoryIndex(frame->History.Index() + 1);
        UpdateVisited();
        return;
    }
    SetHistoryPos(historyPos_ + 1);
}

void TFrameViewer::GoFwd()
{
    if (AnyBusy())
        return;
    if (TfvFrame* frame = FrameToStep(false)) {
        const auto busy = BusyScope();
        frame->SetHistoryIndex(frame->History.Index() - 1);
        UpdateVisited();
        return;
    }
    SetHistoryPos(historyPos_ - 1);
}

bool TFrameViewer::FwdButtonEnabled() const
{
    return historyPos_ >= 1 || FrameToStep(false) != nullptr;
}

bool TFrameViewer::BackButtonEnabled() const
{
    return historyPos_ <= static_cast<int>(history_.size()) - 2 || FrameToStep(true) != nullptr;
}

void TFrameViewer::ClearHistory()
{
    bool had = !history_.empty() || FrameToStep(true) || FrameToStep(false);
    std::vector<TFrameSet*> kept;
    for (const TFrameViewerHistoryEntry& entry : history_)
        kept.push_back(entry.Set);
    history_.clear();
    historyPos_ = 0;
    for (TFrameSet* set : kept)
        Release(set);
    for (TfvFrame* frame : topSet_->Registry->AllFrames) {
        had = had || frame->History.Count() > 0;
        frame->RestartHistory(historyMaxCount_);
    }
    if (had)
        HistoryChanged();
}

void TFrameViewer::SetHistoryMaxCount(int value)
{
    if (value < 0 || value == historyMaxCount_)
        return;
    historyMaxCount_ = value;
    ClearHistory();
}

}  // namespace velmoran
