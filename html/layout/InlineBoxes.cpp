// The bordered inline elements placed after a layout (see InlineBoxes.h).
#include "html/layout/InlineBoxes.h"

#include "html/layout/DocPositions.h"
#include "html/layout/SectionList.h"

namespace velmoran {

void TInlineBoxIndex::Update(TSectionList& document)
{
    if (layout_ == document.LayoutCount && count_ == document.InlineList.size())
        return;
    const TDocPositions positions(document);
    std::vector<TYBand> held(document.InlineList.size());
    for (std::size_t i = 0; i < held.size(); ++i) {
        InlineRec& r = document.InlineList[i];
        r.StartDoc = positions.Find(r.StartB, false);
        // The end is noted where the closing tag ends; the element's last character is the last
        // one before that.
        r.EndDoc = r.EndB < 0 ? 99999999 : positions.Find(r.EndB - 1, true) + 1;
        if (r.EndDoc == r.StartDoc)
            --r.StartDoc;
        if (r.StartDoc >= 0 && r.EndDoc > r.StartDoc) {
            held[i].Add(r.StartDoc);
            held[i].Add(r.EndDoc - 1);
        }
    }
    ranges_.Assign(held);
    layout_ = document.LayoutCount;
    count_ = document.InlineList.size();
}

std::vector<std::size_t> TInlineBoxIndex::Holding(int from, int to) const
{
    return to > from ? ranges_.Meeting(from, to - 1) : std::vector<std::size_t>{};
}

void TInlineBoxIndex::Reset()
{
    layout_ = -1;
    count_ = 0;
    ranges_.Clear();
}

}  // namespace velmoran
