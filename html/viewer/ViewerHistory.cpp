// The page history and the visited list.
#include "html/viewer/ViewerHistory.h"

#include "platform/core/Text.h"

#include <algorithm>

namespace velmoran {

int NextHistorySequence()
{
    static int next = 10;
    return next++;
}

void TPageHistory::Push(const THistoryPage& left, const THistoryPage& shown, bool replaceForm,
                        std::unique_ptr<TFormSnapshot> form)
{
    if (!files_.empty() && !left.File.empty()) {
        const auto i = static_cast<std::size_t>(index_);
        files_[i] = left.File;
        titles_[i] = left.Title;
        places_[i].Pos = left.Pos;
        places_[i].FileType = left.Kind;
        if (replaceForm)
            places_[i].FormData = std::move(form);
        files_.erase(files_.begin(), files_.begin() + index_);
        titles_.erase(titles_.begin(), titles_.begin() + index_);
        places_.erase(places_.begin(), places_.begin() + index_);
    }
    index_ = 0;
    files_.insert(files_.begin(), shown.File);
    titles_.insert(titles_.begin(), shown.Title);
    places_.insert(places_.begin(), PositionObj{shown.Pos, shown.Kind, nullptr, NextHistorySequence()});
    if (Count() > maxCount_) {
        files_.pop_back();
        titles_.pop_back();
        places_.pop_back();
    }
}

void TPageHistory::Clear()
{
    files_.clear();
    titles_.clear();
    places_.clear();
    index_ = 0;
}

void TVisitedList::SetMaxCount(int value)
{
    maxCount_ = std::max(value, 0);
    if (static_cast<int>(names_.size()) > maxCount_)
        names_.resize(static_cast<std::size_t>(maxCount_));
}

bool TVisitedList::Contains(std::string_view name) const
{
    return std::any_of(names_.begin(), names_.end(), [&](const std::string& n) { return SameText(n, name); });
}

bool TVisitedList::Add(const std::string& name)
{
    if (maxCount_ <= 0)
        return false;
    const auto found = std::find_if(names_.begin(), names_.end(), [&](const std::string& n) { return SameText(n, name); });
    const bool isNew = found == names_.end();
    if (isNew)
        names_.insert(names_.begin(), name);
    else
        std::rotate(names_.begin(), found, found + 1);
    if (static_cast<int>(names_.size()) > maxCount_)
        names_.resize(static_cast<std::size_t>(maxCount_));
    return isNew;
}

}  // namespace velmoran
