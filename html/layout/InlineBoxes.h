// Where the bordered inline elements of a document stand after a layout, and which of them a line
// holds. Their document positions come from their tags' source positions, found for all of them
// at once after each layout; a line asks for the elements that hold its characters without passing
// over the others, so that a page of many bordered elements is laid out and drawn in time by their
// number and by its lines, not by the two multiplied.
#pragma once

#include "html/layout/RangeIndex.h"

#include <cstddef>
#include <vector>

namespace velmoran {

class TSectionList;

class TInlineBoxIndex {
public:
    // Finds the document positions (StartDoc, EndDoc) of every record of the document's list for
    // its current layout, once for each layout. A record no text holds gets StartDoc -1.
    void Update(TSectionList& document);
    // The places in the list of the records whose elements hold characters of the document
    // positions [from, to), in list order (the order they are drawn in).
    std::vector<std::size_t> Holding(int from, int to) const;
    // Forgets the positions: they are found again when next asked.
    void Reset();

private:
    int layout_ = -1;       // the layout the positions were found for
    std::size_t count_ = 0; // and the records then
    TRangeIndex ranges_;    // each record's document positions, its last character inside
};

}  // namespace velmoran
