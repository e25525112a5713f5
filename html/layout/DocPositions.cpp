// Many source positions found in the document at once (see DocPositions.h).
#include "html/layout/DocPositions.h"

#include "html/layout/Cells.h"
#include "html/layout/SectionList.h"
#include "html/layout/TextSection.h"

#include <algorithm>
#include <limits>

namespace velmoran {

namespace {

constexpr long long kNone = std::numeric_limits<long long>::max();

// The source positions a text section answers for, as its FindDocPos answers: looking forward
// every one up to Last (an entry holds it or starts after it), looking backward every one from
// First on (an entry holds it or ends before it). A section that answers none has Last below and
// First above every position.
struct Answered {
    long long First = kNone;
    long long Last = -kNone;
};

Answered AnsweredBy(const TSection& s)
{
    Answered a;
    const std::size_t count = s.SourceIndex.size();
    if (count == 0 || s.Len == 0)
        return a;
    for (std::size_t k = 0; k < count; ++k) {
        const IndexObj& e = s.SourceIndex[k];
        const int end = k + 1 < count ? s.SourceIndex[k + 1].Pos : s.Len;
        const long long last = static_cast<long long>(e.Index) + (end - 1 - e.Pos);
        a.Last = std::max({a.Last, last, static_cast<long long>(e.Index) - 1});
        a.First = std::min({a.First, static_cast<long long>(e.Index), last + 1});
    }
    return a;
}

}  // namespace

TDocPositions::TDocPositions(TCellBasic& cell) : document_(cell.Document)
{
    cell.AddTextSections(sections_);
    forward_.resize(sections_.size());
    backward_.resize(sections_.size());
    long long furthest = -kNone;
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        const Answered a = AnsweredBy(*sections_[i]);
        furthest = std::max(furthest, a.Last);
        forward_[i] = furthest;
        backward_[i] = a.First;
    }
    for (std::size_t i = sections_.size(); i-- > 1;)
        backward_[i - 1] = std::min(backward_[i - 1], backward_[i]);
}

int TDocPositions::Find(int sourcePos, bool prev) const
{
    if (!prev) {
        // The first section that answers: the first place whose sections reach the position.
        const auto it = std::partition_point(forward_.begin(), forward_.end(), [&](long long last) {
            CountDocPosStep(document_);
            return last < sourcePos;
        });
        return it == forward_.end() ? -1 : sections_[static_cast<std::size_t>(it - forward_.begin())]->FindDocPos(sourcePos, false);
    }
    // Looking backward from the end, the last section that answers: the last place from which on
    // a section answers.
    const auto it = std::partition_point(backward_.begin(), backward_.end(), [&](long long first) {
        CountDocPosStep(document_);
        return first <= sourcePos;
    });
    return it == backward_.begin() ? -1 : sections_[static_cast<std::size_t>(it - backward_.begin()) - 1]->FindDocPos(sourcePos, true);
}

}  // namespace velmoran
