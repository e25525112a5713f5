// Cells: ordered lists of sections laid out one below the other - the content of a block, of a
// table cell, and (as its base) the document root.
#pragma once

#include "html/base/IndentManager.h"
#include "html/layout/Colors.h"
#include "html/layout/SectionBase.h"

#include <memory>
#include <string>

namespace velmoran {

class TBlock;

// The float indent manager a cell lays its sections out with.
class IndentManager : public IndentManagerBasic {};

class TCellBasic : public TFreeList<TSectionBase> {
public:
    explicit TCellBasic(TSectionList* document) : Document(document) {}
    ~TCellBasic() override = default;

    // Adds a finished section: a text section is finished first, and one left without text, clear
    // setting or other reason to keep it is dropped. Returns the section when it was kept.
    TSectionBase* AddSection(std::unique_ptr<TSectionBase> section, int sourceIndex = 0);
    // Removes the HTML default bottom margin of the last block (searching inside a list item); true
    // when it did so.
    bool CheckLastBottomMargin();

    TSectionList* Document;  // not owned
    int TopY = 0;
    int StartPos = 0;
    int PosCount = 0;
    int ContentBottom = 0;
    int TopReached = 0;
    int BottomReached = 0;
    TBlock* OwnerBlock = nullptr;
    bool BkGnd = false;
    TColor BkColor = NoColor;
    std::string OwnerTag;
    IndentManagerBasic* Indents = nullptr;  // not owned (a TCell points it at its own)
};

// A cell with its own indent manager.
class TCell : public TCellBasic {
public:
    explicit TCell(TSectionList* document) : TCellBasic(document) { Indents = &ownIndents_; }

private:
    IndentManager ownIndents_;
};

// The content of a block.
class TBlockCell : public TCellBasic {
public:
    using TCellBasic::TCellBasic;
};

// The content of a table cell.
class TCellObjCell : public TCell {
public:
    using TCell::TCell;

    int CellLeft = 0, CellTop = 0, CellRight = 0, CellBottom = 0;
    std::string Title;
    std::string Url;
    std::string Target;
};

}  // namespace velmoran
