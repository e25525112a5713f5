// The lists the viewers keep of where the user has been: the page viewer's history (file, title and
// place of each page, newest first, with the entry shown; a frame keeps one of its own too) and the
// visited list that both the page
// viewer and the frame viewer keep of the links followed.
#pragma once

#include "html/viewer/ViewerDocument.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmoran {

// The place of one history entry. Seq orders the entries of all histories by the time they were
// made (a frame viewer goes back in the frame that changed last).
struct PositionObj {
    int Pos = 0;
    std::uint8_t FileType = 0;
    std::unique_ptr<TFormSnapshot> FormData;
    int Seq = 0;
};

// The next number of the program-wide count of history entries (the first is 10).
int NextHistorySequence();

// A page as the history records it.
struct THistoryPage {
    std::string File;
    std::u16string Title;
    int Pos = 0;
    std::uint8_t Kind = 0;
};

class TPageHistory {
public:
    const std::vector<std::string>& Files() const { return files_; }
    const std::vector<std::u16string>& Titles() const { return titles_; }
    int Count() const { return static_cast<int>(files_.size()); }
    bool Empty() const { return files_.empty(); }
    const std::string& File(int index) const { return files_[static_cast<std::size_t>(index)]; }
    PositionObj& Place(int index) { return places_[static_cast<std::size_t>(index)]; }
    // The entry shown (0 is the newest).
    int Index() const { return index_; }
    void SetIndex(int index) { index_ = index; }
    int MaxCount() const { return maxCount_; }
    void SetMaxCount(int value) { maxCount_ = value; }

    // A page was left for another: the current entry takes the place that was left (when there
    // are entries and the page left has a file; its form data only with replaceForm), the entries
    // ahead of it go, and the shown page comes in front; at most MaxCount entries stay.
    void Push(const THistoryPage& left, const THistoryPage& shown, bool replaceForm,
              std::unique_ptr<TFormSnapshot> form);
    void Clear();

private:
    std::vector<std::string> files_;
    std::vector<std::u16string> titles_;
    std::vector<PositionObj> places_;
    int index_ = 0;
    int maxCount_ = 0;
};

// The names of the links followed, newest first, compared without regard to case.
class TVisitedList {
public:
    const std::vector<std::string>& Names() const { return names_; }
    int MaxCount() const { return maxCount_; }
    // A negative count is taken as 0; the list keeps at most this many names (none with 0).
    void SetMaxCount(int value);
    bool Contains(std::string_view name) const;
    // Puts a name in front: a name held already moves there. Returns whether the name was new;
    // a list that keeps no names takes nothing.
    bool Add(const std::string& name);

private:
    std::vector<std::string> names_;
    int maxCount_ = 50;
};

}  // namespace velmoran
