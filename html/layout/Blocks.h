// Blocks: the CSS box of a block-level element around a content cell, and its kinds - list items,
// table blocks, the table-and-caption wrapper, rule blocks and the body.
#pragma once

#include "html/base/HtmlSymbols.h"
#include "html/layout/Cells.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace velmoran {

class ThtmlTable;
class THorzLine;

class TBlock : public TSectionBase {
public:
    TBlock(TSectionList* document, TProperties& props, TCellBasic* ownerCell, const TAttributeList* attributes);
    ~TBlock() override;

    // The vertical margins as pixels (the HTML default 14 flagged), against a base of 400.
    int TopMargin(bool* isDefault = nullptr) const;
    int BottomMargin(bool* isDefault = nullptr) const;
    void SetBottomMargin(const PropValue& v) { MargArrayO[MarginBottom] = v; }
    // A bottom margin of 14 flagged as the HTML default, which an enclosing element may remove.
    void SetDefaultBottomMargin() { MargArrayO[MarginBottom] = PropValue(DefaultMarginLength); }
    bool HasDefaultBottomMargin() const;

    int LayoutSection(Canvas& canvas, int x, int& curs, int& maxWidth, IndentManagerBasic& indents,
                      int fallbackHeight, int containingHeight, int availWidth, int refX, int refY, int y) override;
    int PaintSection(Canvas& canvas, const TRect& clip, IndentManagerBasic& indents, int x, int xRef,
                     int yRef) override;
    // The box, its page-cut places and the children's bands, moved with a relative block.
    TYBand PaintBand() override;
    void GetMinMaxWidth(Canvas& canvas, int& minWidth, int& maxWidth) override;
    void AddToPositionList() override;
    int GetUrlAt(Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& url, std::string& title) override;
    int FindCursorAt(Canvas& canvas, int x, int y, int& lineHeight, int& baseline, bool& inText) override;
    bool CursorToPoint(Canvas& canvas, int cursor, int& x, int& y) override;
    int FindTextForward(const std::u16string& pattern, int from, bool matchCase) override;
    int FindTextBackward(const std::u16string& pattern, int from, bool matchCase) override;
    void CopySelectedText(SelTextCount& buffer) override;
    int FindSourcePos(int docPos) override;
    int FindDocPos(int sourcePos, bool prev) override;
    void AddTextSections(std::vector<TSection*>& sections) override;
    bool CharAt(int pos, char16_t& ch, TFontObj*& font, TSectionBase*& section) override;
    std::string Title;  // the element's TITLE
    std::unique_ptr<TSectionBase> CreateCopy(TSectionList* document, TCellBasic* cell) const override;
    // The block's values and copies of its content into a copy.
    void CopyBlockTo(TBlock& target) const;
    // The border over the children, from the border box and the padding box (clip coordinates).
    virtual void DrawBlockBorder(Canvas& canvas, const TRect& borderBox, const TRect& paddingBox);
    // The content width for the available width; sets the margins that take the free space.
    virtual int FindContentWidth(Canvas& canvas, int availWidth, int autoCount, int containingHeight);
    // Converts the box values against a width and height (the HTML default margin reads as 14).
    std::array<int, PropCount> ConvertedMargins(int width, int height, int& autoCount) const;
    // How far the block moves down at y to clear the floats its clear names.
    int ClearAmount(const IndentManagerBasic& indents, int y) const;
    // Paints the children in z-order.
    void PaintChildren(Canvas& canvas, const TRect& clip, IndentManagerBasic& indents, int x, int xRef, int yRef);
    // Colour and tiled image of the padding box (clip coordinates).
    void DrawBackground(Canvas& canvas, const TRect& clip, const TRect& paddingBox);

    int ContentTop = 0, BlockBottom = 0, ContentLeft = 0, BlockDrawTop = 0, BlockDrawBottom = 0, BlockY = 0;
    std::array<int, PropCount> MargArray{};
    std::unique_ptr<TBlockCell> MyCell;
    int EmSize = 16, ExSize = 8;
    TColor FGColor = 0;
    std::string TagClass;  // the tag
    std::array<PropValue, PropCount> MargArrayO;
    int NewWidth = 0, ClearAddon = 0, ContentOffset = 0, TopP = 0, LeftP = 0;
    std::unique_ptr<TImageObj> BGImage;
    PositionRec BGPosX, BGPosY;
    int BlockContentBottom = 0;
    std::string StyleKey;  // tag "." class
    bool HasBorderStyle = false;
    std::uint8_t FloatKind = 0;    // 0 none, 5 left, 6 right
    std::uint8_t ClearKind = 0;    // 0 none, 1 left, 2 right, 3 both
    std::uint8_t Positioning = 0;  // 0 static, 1 absolute, 2 relative
    std::uint8_t Visibility = 2;   // 1 hidden, 2 visible
    bool BreakBefore = false, BreakAfter = false, BreakInside = false;
    bool DisplayNone = false;
    bool HideOverflow = false;
    std::uint8_t Justify = 1;      // 3 right, 2 center, 1 otherwise

protected:
    enum Options : unsigned { kNoBackgroundImage = 1, kNoCollapse = 2 };
    TBlock(TSectionList* document, TProperties& props, TCellBasic* ownerCell, const TAttributeList* attributes,
           unsigned options);

private:
    void Init(TProperties& props, const TAttributeList* attributes, unsigned options);
    void CollapseMargins();
    std::unique_ptr<IndentManager> ownIndents_;  // absolutely positioned blocks

public:
    std::vector<TSectionBase*> ZList;  // children in paint order, not owned
    TPaintIndex ChildIndex;            // the children a paint visits
    int LevelID = 0;                   // the float level this block opens
};

class TBlockLI : public TBlock {
public:
    // listSym: OLSy, ULSy, DirSy, MenuSy, DLSy, or NoSy for an item outside any list.
    TBlockLI(TSectionList* document, TProperties& props, TCellBasic* ownerCell, Symb listSym, int listNumber,
             char listTypeChar, bool plain, int level, const TAttributeList* attributes);

    std::uint8_t ListType = 0;    // 1 ordered, 2 unordered, 3 definition, 4 outside a list
    int ListNumber = 1;
    std::uint8_t ListStyle = 3;   // the keyword index of list-style-type
    TMyFont ListFont;
    std::unique_ptr<TImageObj> ListImage;
    int FirstLineBaseline = 0;

    int LayoutSection(Canvas& canvas, int x, int& curs, int& maxWidth, IndentManagerBasic& indents,
                      int fallbackHeight, int containingHeight, int availWidth, int refX, int refY, int y) override;
    int PaintSection(Canvas& canvas, const TRect& clip, IndentManagerBasic& indents, int x, int xRef,
                     int yRef) override;
    // The block's band with the label or list image at the first line.
    TYBand PaintBand() override;
    std::unique_ptr<TSectionBase> CreateCopy(TSectionList* document, TCellBasic* cell) const override;
    // The text of a numbered label ("3.", "c.", "iv."), decimal for numbers below 1.
    static std::u16string LabelText(int style, int number);
};

class TTableBlock : public TBlock {
public:
    TTableBlock(TSectionList* document, TProperties& props, TCellBasic* ownerCell, std::unique_ptr<ThtmlTable> table,
                const TAttributeList& attributes);
    ~TTableBlock() override;

    ThtmlTable* Table;          // owned by the content cell
    int WidthAttr = 0;          // pixels, or tenths of a percent
    bool AsPercent = false;
    std::string Align;          // "CENTER", "LEFT", "RIGHT" or empty
    bool HasBgColor = false;
    TColor BgColorAttr = NoColor;
    std::string BackgroundAttr;
    int TableShift = 0;
    bool HasCaption = false;
    bool FrameFromBorderAttribute = false;  // BORDER without a CSS border: a raised 3-D frame
    int PercentBase = -1;  // the width a percentage WIDTH refers to, set by the caption box (-1: the available width)

    int LayoutSection(Canvas& canvas, int x, int& curs, int& maxWidth, IndentManagerBasic& indents,
                      int fallbackHeight, int containingHeight, int availWidth, int refX, int refY, int y) override;
    int PaintSection(Canvas& canvas, const TRect& clip, IndentManagerBasic& indents, int x, int xRef,
                     int yRef) override;
    void GetMinMaxWidth(Canvas& canvas, int& minWidth, int& maxWidth) override;
    int FindContentWidth(Canvas& canvas, int availWidth, int autoCount, int containingHeight) override;
    void DrawBlockBorder(Canvas& canvas, const TRect& borderBox, const TRect& paddingBox) override;
    std::unique_ptr<TSectionBase> CreateCopy(TSectionList* document, TCellBasic* cell) const override;
};

class TTableAndCaptionBlock : public TBlock {
public:
    TTableAndCaptionBlock(TSectionList* document, TProperties& props, TCellBasic* ownerCell,
                          const TAttributeList& attributes, std::unique_ptr<TTableBlock> tableBlock);
    // Attaches the caption block above or below the table.
    void SetCaption(std::unique_ptr<TBlock> caption, bool top);

    TBlock* CaptionBlock = nullptr;    // both owned by the content cell
    TTableBlock* TableBlock = nullptr;
    bool TopCaption = true;
    std::string Align;

    int LayoutSection(Canvas& canvas, int x, int& curs, int& maxWidth, IndentManagerBasic& indents,
                      int fallbackHeight, int containingHeight, int availWidth, int refX, int refY, int y) override;
    int FindContentWidth(Canvas& canvas, int availWidth, int autoCount, int containingHeight) override;
    // How far the floats beside the table reach into the box from the left and from the right.
    int FloatLeft = 0, FloatRight = 0;
    // Takes the floats beside y as those the table stands beside; true when they differ from before.
    bool MeasureFloatsAt(const IndentManagerBasic& indents, int x, int availWidth, int y);
    // The caption stands before the table in the source wherever it is shown, so a source
    // position is looked for in it first (in the table first when looking backward).
    int FindDocPos(int sourcePos, bool prev) override;
    void AddTextSections(std::vector<TSection*>& sections) override;
    std::unique_ptr<TSectionBase> CreateCopy(TSectionList* document, TCellBasic* cell) const override;

private:
    // A floating table keeps HSPACE and VSPACE between itself and the text beside it, as a picture
    // does, on every side a style gives no margin of its own.
    void KeepSpaceAround(const TAttributeList& attributes);
};

class THRBlock : public TBlock {
public:
    THRBlock(TSectionList* document, TProperties& props, TCellBasic* ownerCell, const TAttributeList& attributes);

    THorzLine* Line = nullptr;  // owned by the content cell
    std::uint8_t Align = 2;

    int FindContentWidth(Canvas& canvas, int availWidth, int autoCount, int containingHeight) override;
    std::unique_ptr<TSectionBase> CreateCopy(TSectionList* document, TCellBasic* cell) const override;
};

class TBodyBlock : public TBlock {
public:
    // The attributes of the BODY element (its TITLE, its ID); none for the body a page starts with.
    TBodyBlock(TSectionList* document, TProperties& props, TCellBasic* ownerCell,
               const TAttributeList* attributes = nullptr);
    std::unique_ptr<TSectionBase> CreateCopy(TSectionList* document, TCellBasic* cell) const override;
    // The body's TITLE holds wherever the content has none, its empty space included.
    int GetUrlAt(Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& url, std::string& title) override;

    int LayoutSection(Canvas& canvas, int x, int& curs, int& maxWidth, IndentManagerBasic& indents,
                      int fallbackHeight, int containingHeight, int availWidth, int refX, int refY, int y) override;
    int PaintSection(Canvas& canvas, const TRect& clip, IndentManagerBasic& indents, int x, int xRef,
                     int yRef) override;
};

}  // namespace velmoran
