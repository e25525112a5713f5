// The small objects every part of a document is made of: the section base class, font runs with
// their link targets, and inline or floating images with their lists. The layout adds the drawing
// and measuring operations to these classes.
#pragma once

#include "html/base/Attributes.h"
#include "html/base/FreeList.h"
#include "html/base/IDObjects.h"
#include "html/base/SelText.h"
#include "html/base/image/ImageKind.h"
#include "html/base/image/ImageObject.h"
#include "html/style/Fonts.h"
#include "html/style/Properties.h"
#include "html/layout/YBand.h"

#include <QImage>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace velmoran {

class TSectionList;
class TCellBasic;
class TSection;
class TFontObj;
class Canvas;
class IndentManagerBasic;
struct TRect;

// Base of every section of a cell: text, blocks, tables, rules, page breaks.
class TSectionBase : public TIDObject {
public:
    explicit TSectionBase(TSectionList* document) : Document(document) {}
    ~TSectionBase() override = default;
    TSectionBase(const TSectionBase&) = delete;
    TSectionBase& operator=(const TSectionBase&) = delete;

    int GetYPosition() override { return YPosition; }

    // Lays the section out at document Y with its left edge at X (relative to the enclosing cell)
    // in the available width; returns the height it takes in the flow. MaxWidth receives the width
    // the section needs, Curs advances over its document positions.
    virtual int LayoutSection(Canvas& canvas, int x, int& curs, int& maxWidth, IndentManagerBasic& indents,
                              int fallbackHeight, int containingHeight, int availWidth, int refX, int refY, int y);
    // Paints the section with its left edge at X into the clip rectangle (clip coordinates are
    // document Y less the document's Y offset); returns the document Y below the section.
    virtual int PaintSection(Canvas& canvas, const TRect& clip, IndentManagerBasic& indents, int x, int xRef,
                             int yRef);
    // The band of document Y that painting the section as laid out may reach, drawing or moving
    // a page cut; outside it (and a little slack) PaintSection does nothing.
    virtual TYBand PaintBand();
    // The band of the section's own place and drawing, without the floats that hang below it
    // (DrawHeight): those a block only makes room for are painted by their own sections.
    TYBand PlacedBand() const;
    // The narrowest and the widest the section can be laid out.
    virtual void GetMinMaxWidth(Canvas& canvas, int& minWidth, int& maxWidth);
    // A copy for the print copy of the document, owned by a cell of it; null for a kind that
    // cannot be copied (it is then left out of the print).
    virtual std::unique_ptr<TSectionBase> CreateCopy(TSectionList* document, TCellBasic* cell) const;
    // The section base's values into a copy.
    void CopyBaseTo(TSectionBase& target) const;
    // The section as a list of sections to be asked for vertical positions.
    virtual void AddToPositionList();
    // Queries in document coordinates (layout X, document Y). GetUrlAt returns flags: 1 a link
    // (url set), 4 a title text.
    virtual int GetUrlAt(Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& url, std::string& title);
    // The document position under a point, or -1.
    virtual int FindCursorAt(Canvas& canvas, int x, int y, int& lineHeight, int& baseline, bool& inText);
    // The X and baseline Y of a document position; false when it is not in the section.
    virtual bool CursorToPoint(Canvas& canvas, int cursor, int& x, int& y);
    // The document position of a match at or after (before) From, or -1; without matchCase the
    // pattern comes lower-cased.
    virtual int FindTextForward(const std::u16string& pattern, int from, bool matchCase);
    virtual int FindTextBackward(const std::u16string& pattern, int from, bool matchCase);
    // Feeds the selected part of the section (document selection SelB..SelE) to a collector.
    virtual void CopySelectedText(SelTextCount& buffer);
    // The source position of a document position, or -1.
    virtual int FindSourcePos(int docPos);
    // The document position of a source position: the first at or after it, or with prev the last
    // at or before it; -1 when none.
    virtual int FindDocPos(int sourcePos, bool prev);
    // Adds the text sections FindDocPos asks, in the order it asks them looking forward (looking
    // backward it asks them in the reverse order), so that many positions can be found at once.
    virtual void AddTextSections(std::vector<TSection*>& sections);
    // The character at a document position with its run and section.
    virtual bool CharAt(int pos, char16_t& ch, TFontObj*& font, TSectionBase*& section);
    int LayoutX = 0;               // the X the section was laid out at

    TSectionList* Document;        // not owned
    TCellBasic* OwnerCell = nullptr;
    int SectionHeight = 0;
    int DrawHeight = 0;            // height including floats that hang below
    int SectionWidth = 0;
    int YPosition = 0;             // Y on the page
    int DrawTop = 0;
    int DrawBot = 0;
    int ContentTop = 0;
    int ContentBot = 0;
    int StartCurs = 0;             // first document position
    int Len = 0;                   // number of document positions
    int SourceStart = -1;          // source position range
    int SourceEnd = -1;
    bool Display = true;
    int ZIndex = 0;
};

// One run of text in one font; a link run also carries its target.
class TLinkFocusControl;
class TImageFormControlObj;

// What only a link run or a run with a title has: the link's target, its state fonts, the focus
// control of its first run, the title. Nearly all runs of a page have none of it, so it lives
// apart from the run and is made only for those that need it.
struct TFontRunLink {
    TFontRunLink();
    ~TFontRunLink();
    TUrlTarget UrlTarget;
    std::unique_ptr<TFontInfoArray> FIArray;        // link-state fonts of a link run
    std::unique_ptr<TLinkFocusControl> TabControl;  // the first run of a link: its keyboard focus
    std::string Title;
};

class TFontObj {
public:
    TFontObj(TSection* section, const TMyFont& font, int pos);
    ~TFontObj();

    // A copy of the run for another section (a link run keeps its target and link fonts).
    std::unique_ptr<TFontObj> CreateCopy(TSection* section) const;
    // Takes the font of the run's link state (link, visited, hover, visited and hover).
    void ApplyLinkStateFont();
    // Changes the hover state of this run and of the neighbouring runs of the same link.
    void SetHover(bool hover);
    // Takes the font and refreshes the metrics.
    void ReplaceFont(const TMyFont& font);
    const std::string& GetUrl() const { return UrlTarget().URL; }
    bool IsLink() const { return Link && !Link->UrlTarget.URL.empty(); }

    // The link state; an empty target, no fonts, no focus control and no title for a plain run.
    const TUrlTarget& UrlTarget() const;
    TFontInfoArray* FIArray() const { return Link ? Link->FIArray.get() : nullptr; }
    TLinkFocusControl* TabControl() const { return Link ? Link->TabControl.get() : nullptr; }
    const std::string& Title() const;
    // Whether the run carries anything of a link (a print copy must then copy it).
    bool HasLinkState() const { return Link && (IsLink() || Link->FIArray || Link->TabControl); }
    // The link state, made on first use.
    TFontRunLink& LinkState();
    // Sets the title; an empty one on a run without a link makes no link state.
    void SetTitle(const std::string& title);
    // Makes the run a plain one: no target, no state fonts, no focus control (the title stays).
    void ClearLink();

    TSection* Section;  // the section that made it (a print copy shares runs without a link), not owned
    TMyFont TheFont;
    std::unique_ptr<TFontRunLink> Link;  // null for a plain run
    int Pos;            // start in the section's text
    // metrics
    int FontHeight = 0;
    int Descent = 0;
    int tmExternalLeading = 0;
    int Overhang = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
    std::uint8_t tmCharset = 0;
    std::uint8_t SScript = 0;  // 0 none, 1 sub, 2 super
    bool Visited = false;
    bool Hover = false;
    bool Active = false;
    bool InLinkList = false;  // entered in the document's list of link runs
};

// The runs of a section in position order. A run without a link never changes once the text is
// finished, so a print copy shares it with the screen document instead of copying it; a link run
// (hover, visited and focus states of its own) is copied. A section whose runs carry no link
// state shares the whole list: one block with a use count, the count, the room and the runs, held
// by one pointer and copied before it changes while shared.
class TFontList {
public:
    using Run = std::shared_ptr<TFontObj>;
    TFontList() = default;
    TFontList(const TFontList&) = delete;
    TFontList& operator=(const TFontList&) = delete;
    ~TFontList() { Release(); }

    int Count() const { return block_ ? block_->Count : 0; }
    TFontObj* Items(int i) const { return begin()[i].get(); }
    TFontObj* operator[](int i) const { return Items(i); }
    TFontObj* Last() const { return Count() == 0 ? nullptr : Items(Count() - 1); }
    TFontObj* Add(Run run);
    // Takes another list's run at index i: shared with it when the run carries no link state,
    // else a copy of it for this section.
    void AddForCopy(const TFontList& from, int i, TSection* section);
    // All runs of another list for a copy of its section: the list itself shared when no run
    // carries link state.
    void CopyFrom(const TFontList& from, TSection* section);
    // Frees the run at index (unless another list still shares it) and removes it.
    void Delete(int index);
    void Clear() { Release(); }
    void Reserve(int count);
    const Run* begin() const { return block_ ? reinterpret_cast<const Run*>(block_ + 1) : nullptr; }
    const Run* end() const { return begin() + Count(); }
    // The run containing a position (the last one starting at or before it).
    TFontObj* GetFontAt(int pos) const;
    // The index of that run (-1 when the position lies before every run).
    int IndexAt(int pos) const;
    // The start of the first run after pos, or limit when none comes before it.
    int NextRunStart(int pos, int limit) const;

private:
    struct alignas(Run) Header {
        int Uses;  // the lists holding the block (all in one thread)
        int Count;
        int Room;
    };
    Run* Runs() { return reinterpret_cast<Run*>(block_ + 1); }
    // A block of its own with room for at least count runs.
    void Own(int room);
    void Release() noexcept;
    Header* block_ = nullptr;
};

// How a WIDTH or HEIGHT attribute of an image, a panel or a table cell gives a size: in pixels, as
// a percentage from `lowest` to 100, or not at all: a percentage outside that range is ignored (the
// size stays as it was), not clamped to it.
struct TSizeAttribute {
    enum Kind { Pixels, Percent, Ignored };
    Kind Given;
    int Value;  // pixels or percent
};
TSizeAttribute ReadSizeAttribute(const TAttribute& attribute, int lowest);

// An image or panel placed in a line or floating beside it.
class TFloatingObj : public TIDObject {
public:
    TFloatingObj() = default;
    ~TFloatingObj() override = default;
    TFloatingObj(const TFloatingObj&) = delete;
    TFloatingObj& operator=(const TFloatingObj&) = delete;

    int GetYPosition() override { return DrawYY; }
    bool IsFloat() const { return VertAlign == 5 || VertAlign == 6; }
    // Sizes the object for an available width and height (percent sizes refer to them).
    virtual void DrawLogic(TSectionList* document, Canvas& canvas, const TFontObj* font, int availWidth,
                           int availHeight);
    // Draws the object with its top-left corner at (x, y) in clip coordinates.
    virtual void Draw(Canvas& canvas, int x, int y, const TFontObj* font) { (void)canvas, (void)x, (void)y, (void)font; }
    // CSS vertical-align, float, margins, borders and sizes of the element.
    void ApplyProperties(TProperties& props);
    // Gives a print copy the place, size, spacing and title of this object.
    void CopyPlacementTo(TFloatingObj& copy) const;

    int Pos = 0;                 // position in the section's text
    int ObjWidth = 0;
    int ObjHeight = 0;
    std::uint8_t VertAlign = 4;  // 1 top, 2 middle, 3 baseline, 4 bottom, 5 float left, 6 float right
    int HSpaceL = 0, HSpaceR = 0;
    int VSpaceT = 0, VSpaceB = 0;
    int SpecWidth = -1;          // -1 when not given
    int SpecHeight = -1;
    bool PercentWidth = false;
    bool PercentHeight = false;
    std::string Alt;
    std::u16string AltW;
    std::string Title;
    int BorderSize = 0;
    bool NoBorder = false;
    bool BorderByCss = false;
    int DrawX = 0;
    int DrawYY = 0;
};

// An IMG element (or a background or list-bullet image by its source name).
class TImageObj : public TFloatingObj {
public:
    TImageObj(TSectionList* document, int position, const TAttributeList& attributes);
    // Only a source name: border given, no size.
    explicit TImageObj(const std::string& source);

    std::string Source;
    bool IsMap = false;
    bool UseMap = false;
    std::string MapName;
    bool Transparent = false;  // TRANSP
    bool ImageActive = false;  // ACTIVE: animation only under the mouse
    bool ImageKnown = false;
    bool Missing = false;

    void DrawLogic(TSectionList* document, Canvas& canvas, const TFontObj* font, int availWidth,
                   int availHeight) override;
    void Draw(Canvas& canvas, int x, int y, const TFontObj* font) override;
    // A copy for the print copy of the document: the same picture (an animated one is copied).
    std::unique_ptr<TImageObj> CreateCopy(TSectionList* document) const;

    TImageObject* Image = nullptr;     // from the image cache (or OwnImage), not owned
    std::unique_ptr<TImageObject> OwnImage;  // a private copy of an animated image used more than once
    QImage Mask;
    TTransparencyKind Transp = TTransparencyKind::NoTransparency;
    bool Delayed = false;              // the host supplies the picture later
    bool Fetched = false;
    TSectionList* Doc = nullptr;
    TImageFormControlObj* FormControl = nullptr;  // the image input this picture belongs to
};

// A section's images and panels. Their positions ascend in list order (each is added at the end
// of the section's text, and removing characters keeps the order), so a position is found by
// halving the list.
class TImageObjList : public TFreeList<TFloatingObj> {
public:
    TFloatingObj* FindByPosition(int pos) const;
    // The objects at positions from..to-1, in order.
    std::span<const std::unique_ptr<TFloatingObj>> Between(int from, int to) const;
};

}  // namespace velmoran
