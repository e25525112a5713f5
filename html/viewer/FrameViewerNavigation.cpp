// The frame viewer's navigation: loading a top document, reloading, following a link clicked in a
// frame to the frame its target names, and the history of views across frames. Every navigation
// reports the frame viewer busy while it runs.
#include "html/viewer/FrameViewer.h"

#include "html/viewer/ViewerText.h"
#include "platform/core/ScopeExit.h"
#include "platform/core/Text.h"

namespace velmoran {

// ---------------------------------------------------------------------------------------------
// Busy

void TFrameViewer::SetBusy(bool busy)
{
    if (busy_ == busy)
        return;
    busy_ = busy;
    if (OnProcessing)
        OnProcessing(this, busy);
}

auto TFrameViewer::BusyScope()
{
    SetBusy(true);
    return ScopeExit([this] { SetBusy(false); });
}

// The load reports its own busy pair; afterwards the navigation around it is busy again.
void TFrameViewer::LoadWhileBusy(const std::string& name)
{
    const ScopedValue<bool> loadReportsItself(busy_, false);
    Load(name);
}

// ---------------------------------------------------------------------------------------------
// Top documents

void TFrameViewer::LoadFromFile(const std::string& name)
{
    if (busy_)
        return;
    std::string file, anchor;
    SplitAnchor(name, file, anchor);
    if (!FileExists(file) && !(HasRequestEvents() && RequestSource(file).kind != TRequestedSource::None))
        throw EfvLoadError("Can't locate file: " + file);
    const TViewState before = Capture();
    Load(name);
    RecordHistory(before);
}

// The new frameset is built below the old one and takes its place only when it loaded.
void TFrameViewer::Load(const std::string& name)
{
    std::string file, anchor;
    SplitAnchor(name, file, anchor);
    const std::string dest = anchor.empty() ? std::string() : "#" + anchor;
    const auto busy = BusyScope();
    TFrameSet* old = topSet_;
    auto* fresh = new TFrameSet(this, this);
    fresh->setGeometry(rect());
    fresh->lower();
    topSet_ = fresh;
    try {
        fresh->show();
        fresh->LoadFile(file, dest);
    } catch (...) {
        topSet_ = old;
        DiscardLater(fresh);
        throw;
    }
    fresh->raise();
    DiscardLater(old);  // a viewer of the old set may be the one whose click brought us here
    AddVisited(file + dest);
    UpdateVisited();
}

void TFrameViewer::Reload()
{
    if (busy_ || topSet_->DocumentFile.empty())
        return;
    const auto busy = BusyScope();
    topSet_->ReloadContent();
    UpdateVisited();
}

// ---------------------------------------------------------------------------------------------
// Following a link

void TFrameViewer::FollowTarget(TPageViewer* from, const std::string& url, const std::string& linkTarget, bool& handled)
{
    if (busy_) {
        handled = true;
        return;
    }
    clickUrl_ = url;
    clickTarget_ = TargetOf(from, linkTarget);
    if (ClickTakenByApplication(handled))
        return;
    handled = true;
    const TTargetDestination destination = ResolveTarget(url, clickTarget_, TargetContext(from));
    switch (destination.Where) {
    case TTargetDestination::BlankWindow: RequestBlankWindow(destination, url); return;
    case TTargetDestination::Nothing: return;
    default: break;
    }
    const TViewState before = Capture();
    const auto busy = BusyScope();
    ShowDestination(destination, from ? static_cast<TfvFrame*>(from->Frame) : nullptr);
    if (!destination.Query.empty())
        AddVisited(destination.File + destination.Query + destination.Dest);
    UpdateVisited();
    RecordHistory(before);
}

// A link without a target of its own goes where the page's base target, else the nearest
// frameset's base target, sends it.
std::string TFrameViewer::TargetOf(TPageViewer* from, const std::string& linkTarget) const
{
    std::string target = linkTarget;
    if (target.empty() && from)
        target = from->BaseTarget();
    auto* frame = from ? static_cast<TfvFrame*>(from->Frame) : nullptr;
    for (TSubFrameSet* set = frame ? frame->ParentSet() : nullptr; target.empty() && set; set = set->ParentSet())
        target = set->DocBaseTarget;
    return target;
}

// The application sees the click first; true when it took it (or the frame viewer went meanwhile).
bool TFrameViewer::ClickTakenByApplication(bool& handled)
{
    if (!OnHotSpotTargetClick)
        return false;
    QPointer<TFrameViewer> self(this);
    OnHotSpotTargetClick(this, clickTarget_, clickUrl_, handled);
    return !self || handled;
}

TTargetContext TFrameViewer::TargetContext(TPageViewer* from) const
{
    auto* frame = from ? static_cast<TfvFrame*>(from->Frame) : nullptr;
    TTargetContext context;
    context.FromFrame = frame != nullptr;
    context.ParentIsTop = !frame || !frame->ParentSet() || frame->ParentSet() == topSet_;
    context.SingleViewer = topSet_->Registry->AllViewers.size() == 1;
    context.TopFile = topSet_->DocumentFile;
    context.HasFrame = [this](const std::string& name) {
        return topSet_->Registry->NameIndex.count(UpperCase(name)) > 0;
    };
    if (from && !HasRequestEvents())
        context.ExpandFile = [from](const std::string& file) { return from->ExpandFileName(file); };
    return context;
}

void TFrameViewer::RequestBlankWindow(const TTargetDestination& destination, const std::string& url)
{
    if (!OnBlankWindowRequest)
        return;
    AddVisited(destination.File + destination.Query + destination.Dest);
    UpdateVisited();
    OnBlankWindowRequest(this, clickTarget_, url);
}

void TFrameViewer::ShowDestination(const TTargetDestination& destination, TfvFrame* from)
{
    TfvFrame* frame = nullptr;
    switch (destination.Where) {
    case TTargetDestination::ThisFrame: frame = from; break;
    case TTargetDestination::NamedFrame: frame = topSet_->Registry->NameIndex.at(UpperCase(clickTarget_)); break;
    case TTargetDestination::TopDocument:
        LoadWhileBusy((destination.File.empty() ? topSet_->DocumentFile : destination.File) + destination.Dest);
        return;
    case TTargetDestination::ParentSet: from->ParentSet()->ShowOnePage(destination.File, destination.Dest); return;
    default: return;
    }
    frame->Navigate(destination.File.empty() ? frame->SourceFile : destination.File, destination.Dest, false);
}

// ---------------------------------------------------------------------------------------------
// History

TViewState TFrameViewer::Capture() const
{
    TViewState state;
    state.TopFile = topSet_->DocumentFile;
    state.Title = topSet_->DocTitle;
    for (TfvFrame* frame : topSet_->Registry->AllFrames)
        state.Frames.emplace_back(frame->SourceFile, frame->PageViewer ? frame->PageViewer->GetPosition() : 0);
    return state;
}

void TFrameViewer::Restore(const TViewState& state)
{
    if (state.TopFile.empty())
        return;
    if (!SameText(state.TopFile, topSet_->DocumentFile))
        Load(state.TopFile);
    // Frames navigated meanwhile go back to their pages; nested frames may come and go, so the
    // list is walked again after every change.
    for (std::size_t i = 0; i < state.Frames.size(); ++i) {
        const auto& frames = topSet_->Registry->AllFrames;
        if (i >= frames.size())
            break;
        TfvFrame* frame = frames[i];
        if (!SameText(frame->SourceFile, state.Frames[i].first))
            frame->Navigate(state.Frames[i].first, "", false);
    }
    const auto& frames = topSet_->Registry->AllFrames;
    for (std::size_t i = 0; i < state.Frames.size() && i < frames.size(); ++i)
        if (frames[i]->PageViewer)
            frames[i]->PageViewer->SetPosition(state.Frames[i].second);
}

void TFrameViewer::RecordHistory(const TViewState& before)
{
    if (historyMaxCount_ < 1 || topSet_->DocumentFile.empty())
        return;
    if (!history_.empty()) {
        history_[static_cast<std::size_t>(historyPos_)] = before;
        history_.erase(history_.begin(), history_.begin() + historyPos_);
    } else if (!before.TopFile.empty()) {
        history_.push_back(before);
    }
    historyPos_ = 0;
    history_.insert(history_.begin(), Capture());
    if (static_cast<int>(history_.size()) > historyMaxCount_)
        history_.resize(static_cast<std::size_t>(historyMaxCount_));
    if (OnHistoryChange)
        OnHistoryChange(this);
}

void TFrameViewer::SetHistoryPos(int index)
{
    if (busy_ || index < 0 || index >= static_cast<int>(history_.size()) || index == historyPos_)
        return;
    history_[static_cast<std::size_t>(historyPos_)] = Capture();
    const TViewState target = history_[static_cast<std::size_t>(index)];
    const auto busy = BusyScope();
    {
        // The loads below report their own busy pair.
        const ScopedValue<bool> loadsReportThemselves(busy_, false);
        Restore(target);
    }
    historyPos_ = index;
    if (OnHistoryChange)
        OnHistoryChange(this);
}

void TFrameViewer::ClearHistory()
{
    const bool had = !history_.empty();
    history_.clear();
    historyPos_ = 0;
    if (had && OnHistoryChange)
        OnHistoryChange(this);
}

void TFrameViewer::SetHistoryMaxCount(int value)
{
    if (value < 0 || value == historyMaxCount_)
        return;
    ClearHistory();
    historyMaxCount_ = value;
}

}  // namespace velmoran
