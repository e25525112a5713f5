// The document positions of many source positions at once, each as TCellBasic::FindDocPos finds
// it. After every layout the bordered inline elements of a page are placed by their tags' source
// positions, and a page may hold a hundred thousand of them in as many sections: asking the cell
// for each walks every section before the one that answers, and each section walks its entries.
// Here the text sections are listed once, in the order FindDocPos asks them, with the source
// positions each can answer for; a look-up finds the section that answers first by halving, and
// the section finds the position in its entries by halving.
#pragma once

#include <vector>

namespace velmoran {

class TCellBasic;
class TSection;
class TSectionList;

class TDocPositions {
public:
    // The text sections of a cell (the document) as they are laid out now.
    explicit TDocPositions(TCellBasic& cell);
    // The document position of a source position: the first at or after it, or with prev the last
    // at or before it; -1 when none.
    int Find(int sourcePos, bool prev) const;

private:
    TSectionList* document_;           // counts the steps
    std::vector<TSection*> sections_;  // in the order FindDocPos asks them looking forward
    // The furthest source position one of the sections up to each place answers looking forward
    // (every one before it is answered too); rising.
    std::vector<long long> forward_;
    // The first source position one of the sections from each place on answers looking backward
    // (every one after it is answered too); rising.
    std::vector<long long> backward_;
};

}  // namespace velmoran
