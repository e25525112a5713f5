// The frame viewer's navigation: the busy state of the frame viewer and its frames' viewers,
// loading a top document, reloading, and following a link clicked in a frame to the frame its
// target names. Every navigation reports the frame viewer busy while it runs; the history is in
// FrameViewerHistory.cpp.
#include "html/viewer/FrameViewer.h"

#include "html/viewer/ViewerText.h"
#include "platform/core/ScopeExit.h"
#include "platform/core/Text.h"

#include <algorithm>

namespace velmoran {

// ---------------------------------------------------------------------------------------------
// Busy

bool TFrameViewer::ViewersBusy() const
{
    return std::any_of(busyViewers_.begin(), busyViewers_.end(), [](const QPointer<TPageViewer>& v) { return !v.isNull(); });
}

void TFrameViewer::ReportProcessing()
{
    const bool now = AnyBusy();
    if (now == reportedBusy_)
        return;
    reportedBusy_ = now;
    if (OnProcessing)
        OnProcessing(this, now);
}

// A frame's viewer started or ended a load or layout.
void TFrameViewer::ViewerProcessing(TPageViewer* viewer, bool on)
{
    busyViewers_.erase(std::remove_if(busyViewers_.begin(), busyViewers_.end(),
                                      [viewer](const QPointer<TPageViewer>& v) { return v.isNull() || v == viewer; }),
                       busyViewers_.end());
    if (on)
        busyViewers_.emplace_back(viewer);
    ReportProcessing();
}

// Navigations nest (a link that loads a top document); the outermost one reports.
ScopeExit<std::function<void()>> TFrameViewer::BusyScope()
{
    const bool was = busy_;
    busy_ = true;
    ReportProcessing();
    return ScopeExit<std::function<void()>>([this, was] {
        busy_ = was;
        ReportProcessing();
    });
}

// ---------------------------------------------------------------------------------------------
// Top documents

void TFrameViewer::LoadFromFile(const std::string& name)
{
    if (AnyBusy())
        return;
    std::string file, anchor;
    SplitFileAnchor(name, file, anchor);
    if (!FileExists(file) && !(HasRequestEvents() && RequestSource(file).kind != TRequestedSource::None))
        throw EfvLoadError("Can't locate file: " + file);
    Load(name);
}

void TFrameViewer::Load(const std::string& name)
{
    std::string file, anchor;
    SplitFileAnchor(name, file, anchor);
    const std::string dest = anchor.empty() ? std::string() : "#" + anchor;
    const auto busy = BusyScope();
    busyViewers_.clear();
    if (OnSoundRequest)
        OnSoundRequest(this, "", 0, true);
    if (!topSet_->DocumentFile.empty() && SameDocument(file, topSet_->DocumentFile))
        ReloadTopSet(file, dest);
    else
        LoadNewFrameSet(file, dest);
    AddVisited(file + dest);
    UpdateVisited();
}

// The new frameset is built below the old one and takes its place only when it loaded; the old one
// goes to the history, or away.
void TFrameViewer::LoadNewFrameSet(const std::string& file, const std::string& dest)
{
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
    const int oldPos = old->Registry->AllViewers.size() == 1 ? old->Registry->AllViewers.front()->GetPosition() : 0;
    old->UnloadContent();
    fresh->raise();
    old->hide();
    RecordNewFrameSet(old, oldPos);
}

// The same document again: the frameset is built anew in place, and the place left is an entry.
void TFrameViewer::ReloadTopSet(const std::string& file, const std::string& dest)
{
    const int oldPos = SinglePagePosition();
    const std::u16string title = topSet_->DocTitle;
    const std::string shown = topSet_->DocumentFile;
    topSet_->ClearSet();
    topSet_->LoadFile(file, dest);
    RecordPagePlace(shown, title, oldPos);
}

void TFrameViewer::Reload()
{
    if (AnyBusy() || topSet_->DocumentFile.empty())
        return;
    const auto busy = BusyScope();
    topSet_->ReloadContent();
    UpdateVisited();
}

// ---------------------------------------------------------------------------------------------
// Following a link

void TFrameViewer::FollowTarget(TPageViewer* from, const std::string& url, const std::string& linkTarget, bool& handled)
{
    if (AnyBusy()) {
        handled = true;
        return;
    }
    // The viewer whose link is followed is the active one, also when the keyboard followed it:
    // its target and its names are the ones the application asks about.
    const auto& viewers = topSet_->Registry->AllViewers;
    if (from && std::find(viewers.begin(), viewers.end(), from) != viewers.end())
        topSet_->ActiveViewer = from;
    clickUrl_ = url;
    clickTarget_ = TargetOf(from, linkTarget);
    clickLinkText_ = from ? from->LinkText() : std::u16string();
    clickLinkAttributes_ = from ? from->LinkAttributes() : std::vector<std::string>();
    if (ClickTakenByApplication(handled))
        return;
    handled = true;
    const TTargetDestination destination = ResolveTarget(url, clickTarget_, TargetContext(from));
    switch (destination.Where) {
    case TTargetDestination::BlankWindow: RequestBlankWindow(destination, url); return;
    case TTargetDestination::Nothing: return;
    default: break;
    }
    const auto busy = BusyScope();
    ShowDestination(destination, from ? static_cast<TfvFrame*>(from->Frame) : nullptr);
    if (!destination.Query.empty())
        AddVisited(destination.File + destination.Query + destination.Dest);
    UpdateVisited();
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
        Load((destination.File.empty() ? topSet_->DocumentFile : destination.File) + destination.Dest);
        return;
    case TTargetDestination::ParentSet: from->ParentSet()->ShowOnePage(destination.File, destination.Dest); return;
    default: return;
    }
    frame->Navigate(destination.File.empty() ? frame->SourceFile : destination.File, destination.Dest, false);
}

}  // namespace velmoran
