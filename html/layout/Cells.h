// Cells: ordered lists of sections laid out one below the other - the content of a block, of a
// table cell, and (as its base) the document root.
#pragma once

#include "html/base/IndentManager.h"
#include "html/layout/PaintIndex.h"
#include "html/layout/SectionBase.h"
#include "html/style/Colors.h"

#include <memory>
#include <string>

namespace velmoran {

class TBlock;
class Canvas;
struct TRect;

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

    // Lays the sections out one below the other from document Y with their left edge at X, using
    // the cell's indent manager; returns the total height. MaxWidth receives the widest section.
    virtual int LayoutCell(Canvas& canvas, int x, int y, int& curs, int& maxWidth, int fallbackHeight,
                           int containingHeight, int width, int refX, int refY);
    // The largest minimum and the largest maximum width of the sections.
    virtual void CellMinMaxWidth(Canvas& canvas, int& minWidth, int& maxWidth);
    // Paints the sections in order at X; returns the document Y below the last one.
    virtual int PaintCell(Canvas& canvas, const TRect& clip, int x, int y, int xRef, int yRef);
    void AddToPositionList();
    // Queries fanned out over the sections (document coordinates; see TSectionBase).
    virtual int GetUrlAt(Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& url, std::string& title);
    int FindCursorAt(Canvas& canvas, int x, int y, int& lineHeight, int& baseline, bool& inText);
    bool CursorToPoint(Canvas& canvas, int cursor, int& x, int& y);
    int FindTextForward(const std::u16string& pattern, int from, bool matchCase);
    int FindTextBackward(const std::u16string& pattern, int from, bool matchCase);
    void CopySelectedText(SelTextCount& buffer);
    int FindSourcePos(int docPos);
    int FindDocPos(int sourcePos, bool prev);
    void AddTextSections(std::vector<TSection*>& sections);
    bool CharAt(int pos, char16_t& ch, TFontObj*& font, TSectionBase*& section);
    // Copies of the sections of another cell (the print copy).
    void CopySectionsFrom(const TCellBasic& source);

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
    TPaintIndex PaintIndex;                 // the sections a paint visits
};

// A cell with its own indent manager.
class TCell : public TCellBasic {
public:
    explicit TCell(TSectionList* document) : TCellBasic(document) { Indents = &ownIndents_; }

    // Laid out from X = 0 in its own float indents; grows to contain its floats.
    int LayoutCell(Canvas& canvas, int x, int y, int& curs, int& maxWidth, int fallbackHeight, int containingHeight,
                   int width, int refX, int refY) override;
    int PaintCell(Canvas& canvas, const TRect& clip, int x, int y, int xRef, int yRef) override;

private:
    IndentManager ownIndents_;
};

// The content of a block.
class TBlockCell : public TCellBasic {
public:
    using TCellBasic::TCellBasic;

    // Gathers the lowest content bottom and the drawn extremes of the sections.
    int LayoutCell(Canvas& canvas, int x, int y, int& curs, int& maxWidth, int fallbackHeight, int containingHeight,
                   int width, int refX, int refY) override;
};

// The content of a table cell.
class TCellObjCell : public TCell {
public:
    using TCell::TCell;

    int CellLeft = 0, CellTop = 0, CellRight = 0, CellBottom = 0;
    // The cell's TITLE and the link over the whole cell (HREF, TARGET). Most cells have none of
    // them; a print copy shares them with the screen document.
    struct TitleAndLink {
        std::string Title;
        std::string Url;
        std::string Target;
    };
    std::shared_ptr<const TitleAndLink> Extra;  // null when all three are empty
    const std::string& Title() const;
    const std::string& Url() const;
    const std::string& Target() const;

    // The sections first; inside the cell rectangle the cell's title and link fill what is missing.
    int GetUrlAt(Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& url, std::string& title) override;
};

}  // namespace velmoran
