// The page viewer's history and visited list: entries recorded when a load or an anchor jump leaves
// a page, going back and forth through them with their places and form data, and the visited
// links flagged in the document.
#include "html/viewer/PageViewer.h"

#include "platform/core/Text.h"

#include <algorithm>

namespace velmoran {

// ---------------------------------------------------------------------------------------------
// History

THistoryPage TPageViewer::ShownPage()
{
    return THistoryPage{currentFile_, title_, GetPosition(), currentKind_};
}

// A load left a page: an entry when another file or kind is shown now.
void TPageViewer::RecordHistory(const THistoryPage& left, std::unique_ptr<TFormSnapshot> snapshot)
{
    if (currentFile_ == left.File && currentKind_ == left.Kind)
        return;
    if (history_.MaxCount() < 1 || currentFile_.empty())
        return;
    // The form data of a page that is left is kept with its entry; a page that stays has none.
    history_.Push(left, ShownPage(), true, left.File == currentFile_ ? nullptr : std::move(snapshot));
    if (OnHistoryChange)
        OnHistoryChange(this);
}

// A jump to an anchor of the shown document: an entry when the place changed.
void TPageViewer::RecordAnchorHistory(const THistoryPage& left)
{
    if (history_.MaxCount() < 1 || currentFile_.empty() || left.Pos == GetPosition())
        return;
    history_.Push(left, ShownPage(), false, nullptr);
    if (OnHistoryChange)
        OnHistoryChange(this);
}

void TPageViewer::SetHistoryIndex(int index)
{
    if (Blocked() || index < 0 || index >= history_.Count() || index == history_.Index())
        return;
    // The entry that is left keeps where the user was and what the forms held.
    const int old = history_.Index();
    if (!currentFile_.empty() && history_.File(old) == currentFile_) {
        history_.Place(old).Pos = GetPosition();
        history_.Place(old).FormData = document_->GetFormData();
    }
    const std::string file = history_.File(index);
    PositionObj& place = history_.Place(index);
    if (file != currentFile_ || place.FileType != currentKind_)
        LoadFileByKind(file, place.FileType);
    history_.SetIndex(index);
    SetPosition(place.Pos);
    if (place.FormData)
        SetFormData(*place.FormData);
    if (OnHistoryChange)
        OnHistoryChange(this);
}

void TPageViewer::ClearHistory()
{
    const bool hadEntries = !history_.Empty();
    history_.Clear();
    currentFile_.clear();
    if (hadEntries && OnHistoryChange)
        OnHistoryChange(this);
}

void TPageViewer::SetHistoryMaxCount(int value)
{
    if (value < 0 || value == history_.MaxCount())
        return;
    if (value < history_.MaxCount())
        ClearHistory();
    history_.SetMaxCount(value);
}

// ---------------------------------------------------------------------------------------------
// Visited list

void TPageViewer::SetVisitedMaxCount(int value)
{
    value = std::max(value, 0);
    if (value == visited_.MaxCount())
        return;
    visited_.SetMaxCount(value);
    if (value == 0) {
        for (int i = 0; i < document_->LinkCount(); ++i)
            document_->SetLinkVisited(i, false);
        panel_->update();
    }
}

std::string TPageViewer::FullLinkName(const std::string& url)
{
    if (!url.empty() && url.front() == '#')
        return currentFile_ + url;
    return ExpandFileName(url);
}

void TPageViewer::FlagVisitedLinks()
{
    if (visited_.MaxCount() <= 0 || visited_.Names().empty())
        return;
    for (int i = 0; i < document_->LinkCount(); ++i)
        if (visited_.Contains(FullLinkName(document_->LinkUrl(i))))
            document_->SetLinkVisited(i, true);
}

// A name new to the list flags the links of the shown document that lead there. A frame's viewer
// keeps no list: its frame viewer keeps one for all frames.
void TPageViewer::AddVisited(const std::string& name)
{
    if (Frame || !visited_.Add(name))
        return;
    for (int i = 0; i < document_->LinkCount(); ++i)
        if (SameText(FullLinkName(document_->LinkUrl(i)), name))
            document_->SetLinkVisited(i, true);
    panel_->update();
}

}  // namespace velmoran
