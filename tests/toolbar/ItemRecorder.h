// A change handler that writes down what an item tells it, for the tree tests.
#pragma once

#include "toolbar/TBarItem.h"

#include <string>
#include <vector>

namespace velmoran::testing {

struct ItemNote {
    TBarCustomItem* Sender;
    bool Relayed;
    TBarItemChangeKind Kind;
    int Index;
    TBarCustomItem* Item;
};

class ItemRecorder {
public:
    explicit ItemRecorder(TBarCustomItem& item) : item_(item)
    {
        item_.AddChangeHandler(this, [this](TBarCustomItem* sender, bool relayed, TBarItemChangeKind kind, int index,
                                            TBarCustomItem* changed) {
            Notes.push_back({sender, relayed, kind, index, changed});
        });
    }
    ~ItemRecorder() { item_.RemoveChangeHandler(this); }

    std::vector<TBarItemChangeKind> Kinds() const
    {
        std::vector<TBarItemChangeKind> kinds;
        for (const ItemNote& note : Notes)
            kinds.push_back(note.Kind);
        return kinds;
    }

    std::vector<ItemNote> Notes;

private:
    TBarCustomItem& item_;
};

}  // namespace velmoran::testing
