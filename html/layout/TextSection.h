// Text sections: a run of flowing text with its break classes, source positions, font runs and
// inline images, as the parser fills it; and the pre-formatted variant for PRE and plain text.
#pragma once

#include "html/base/TextBuffers.h"
#include "html/layout/FormControls.h"
#include "html/layout/FloatBands.h"
#include "html/layout/SectionBase.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velmoran {

// Placeholders in section text.
constexpr char16_t kFormControlChar = 2;
constexpr char16_t kImageChar = 4;
constexpr char16_t kBreakChar = 8;

// A document position where the source position is not the previous one plus one.
struct IndexObj {
    int Pos;
    int Index;
};

// The compressed source positions of a closed text. They never change once the text is closed,
// so a print copy shares them with the screen document instead of copying them: one block with a
// use count, the entry count and the entries, held by one pointer.
class TSourceIndex {
public:
    TSourceIndex() = default;
    TSourceIndex(const TSourceIndex& other) noexcept : block_(other.block_) { Hold(); }
    TSourceIndex& operator=(const TSourceIndex& other) noexcept;
    ~TSourceIndex() { Release(); }

    // Takes the entries in position order.
    void Assign(const std::vector<IndexObj>& entries);
    bool empty() const { return size() == 0; }
    // Whether every entry's source positions come after those of the entry before it (each entry
    // running on to the next one), so that a source position is looked up by halving. Almost
    // every text is so; one that is not is walked.
    bool Increasing() const { return block_ && block_->Increasing; }
    std::size_t size() const { return block_ ? static_cast<std::size_t>(block_->Count) : 0; }
    const IndexObj* begin() const { return block_ ? reinterpret_cast<const IndexObj*>(block_ + 1) : nullptr; }
    const IndexObj* end() const { return begin() + size(); }
    const IndexObj& front() const { return *begin(); }
    const IndexObj& operator[](std::size_t i) const { return begin()[i]; }

private:
    // Eight bytes, as many as the entry after it: most texts hold one or two entries, and a
    // larger header would make every second block one allocation step larger.
    struct Header {
        int Uses;                 // the documents' sections holding the block (all in one thread)
        unsigned Count : 31;      // at most a text's length
        unsigned Increasing : 1;
    };
    void Hold() noexcept
    {
        if (block_)
            ++block_->Uses;
    }
    void Release() noexcept;
    Header* block_ = nullptr;
};

class TImageObj;

// One laid-out line of a text section.
struct LineRec {
    int Start = 0;          // index of the first character in the section's text
    int Ln = 0;             // character count
    int SpaceBefore = 0;    // extra leading above and below
    int SpaceAfter = 0;
    int LineHt = 0;         // ascent plus descent of the tallest run or object
    int DrawHeight = 0;     // including floating images started on the line
    int Descent = 0;
    int LineIndent = 0;     // X of the first character relative to the section's X
    int Extra = 0;          // justification: pixels to distribute over Spaces spaces
    int Spaces = 0;
    int Width = 0;          // the available width
    int TextWidth = 0;      // the measured width of the line
    bool Shy = false;       // ends at a soft hyphen
    int LineY = 0;          // document Y of the line's top (above SpaceBefore)
    int Height() const { return SpaceBefore + LineHt + SpaceAfter; }
};

class TSection : public TSectionBase {
public:
    TSection(TSectionList* document, bool isFirstLineOfBlock, const TUrlTarget* linkTarget, TProperties& props,
             const TAttributeList* attributes);
    ~TSection() override;

    // Appends a text token; noBreak gives its characters class "n". The element's properties, when
    // given, apply text-transform and small capitals.
    virtual void AppendTokens(const TokenObj& tokens, bool noBreak, TProperties* props = nullptr);
    virtual void AddSingleChar(char16_t ch, int sourceIndex);
    // Cleans the text (leading, doubled and trailing spaces, soft hyphens) and closes it.
    virtual void FinishText(int sourceIndex);
    // A new font run for an element's properties (a run inside a link takes the link's fonts).
    void StartFontRun(TProperties& props);
    // A run that carries a link (opening A) or, with no link, drops it (closing A).
    void StartLinkRun(TProperties& props, const TUrlTarget* link);
    TImageObj* AddImage(const TAttributeList& attributes, int sourceIndex);
    // An embedded panel (OBJECT, PANEL) at the current position.
    class TPanelObj* AddPanel(const TAttributeList& attributes, int sourceIndex);
    // The control object of an INPUT, SELECT or TEXTAREA for the form being built, with its
    // placeholder (an image input's picture, a file input's browse button after its edit). The
    // window controls of inputs are made at once; those of SELECT and TEXTAREA once the parser has
    // read their content.
    TFormControlObj* AddFormControl(std::uint8_t tagSymbol, const TAttributeList& attributes, TProperties& props,
                                    int sourceIndex);
    void AllowBreakAtEnd();
    // The text holds no characters other than... nothing at all.
    bool IsEmptyText() const { return Text.empty(); }
    // Kept even without text (a CLEAR, a pre-formatted line).
    virtual bool KeepWhenEmpty() const { return ClearAttr != 0; }
    bool Finished() const { return finished_; }
    // The source position of every character (expanded from SourceIndex).
    int SourcePosAt(int i) const;
    // The document Y of the top of the line that holds a text index (the section's Y when none).
    int YOfPosition(int index) const;

    int LayoutSection(Canvas& canvas, int x, int& curs, int& maxWidth, IndentManagerBasic& indents,
                      int fallbackHeight, int containingHeight, int availWidth, int refX, int refY, int y) override;
    int PaintSection(Canvas& canvas, const TRect& clip, IndentManagerBasic& indents, int x, int xRef,
                     int yRef) override;
    void GetMinMaxWidth(Canvas& canvas, int& minWidth, int& maxWidth) override;

    int GetUrlAt(Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& url, std::string& title) override;
    int FindCursorAt(Canvas& canvas, int x, int y, int& lineHeight, int& baseline, bool& inText) override;
    bool CursorToPoint(Canvas& canvas, int cursor, int& x, int& y) override;
    // The top of the laid-out line that holds a document position (the section's top when none does).
    int LineTopOf(int cursor) const;
    int FindTextForward(const std::u16string& pattern, int from, bool matchCase) override;
    int FindTextBackward(const std::u16string& pattern, int from, bool matchCase) override;
    void CopySelectedText(SelTextCount& buffer) override;

    std::unique_ptr<TSectionBase> CreateCopy(TSectionList* document, TCellBasic* cell) const override;
    int FindSourcePos(int docPos) override;
    int FindDocPos(int sourcePos, bool prev) override;
    void AddTextSections(std::vector<TSection*>& sections) override;
    bool CharAt(int pos, char16_t& ch, TFontObj*& font, TSectionBase*& section) override;

    std::vector<LineRec> Lines;

    std::u16string Text;
    std::string BreakClasses;          // "y", "n", "a", "s" per character, plus a final "y"
    TSourceIndex SourceIndex;          // compressed after FinishText
    TFontList Fonts;
    TImageObjList Images;
    TFormControlList FormControls;     // the placed controls, owned by their forms
    int LineHeight = -1;
    int TextIndent = 0;
    int TextIndentPercent = 0;
    int SectionNumber = 0;
    int MinWidth = 0, MaxWidth = 0;
    // The small settings and the flags side by side (finished_ too): a page holds tens of
    // thousands of texts.
    std::uint8_t Justify = 1;          // 1 left, 2 center, 3 right, 4 justify
    std::uint8_t ClearAttr = 0;        // 0 none, 1 left, 2 right, 3 both
    bool BreakWord = false;
    bool PreFormatted = false;

protected:
    void AddChar(char16_t ch, int sourceIndex, char cls);
    // Ends the text: the source positions compressed, the break class after the last character,
    // the length and section number set.
    void CloseText();
    // A run in a given font from the current end of the text.
    void StartRunWithFont(const TMyFont& font, TProperties& props);
    void RemoveAt(int i);
    // Removes the characters not kept, with their classes and source positions; runs and images move.
    void Compact(const std::vector<char>& keep);
    // Layout helpers.
    int TextWidth(Canvas& canvas, int from, int to) const;
    // What TextWidth(from, index) gives for each of ascending indexes, found in one walk along the
    // text: a line holding many bordered elements is measured once, not once for each of them.
    std::vector<int> TextWidths(Canvas& canvas, int from, const std::vector<int>& indexes) const;
    int FindCountThatFits(Canvas& canvas, int width, int from, int to) const;
    int FindLineEnd(int start, int fit) const;
    void FinishLine(Canvas& canvas, LineRec& line, int leftEdge, int avail, bool last) const;
    // Draws a line at X with its baseline (clip coordinates) for a paint of the clip `paint`;
    // clipRect, when given, clips its text.
    void DrawLine(Canvas& canvas, const LineRec& line, int x, int baseline, const TRect& paint,
                  const TRect* clipRect = nullptr);
    void SizeImages(Canvas& canvas, int width, int height);
    // Borders and backgrounds of inline elements that touch a line and the paint's clip (clip
    // coordinates).
    void DrawInlineBorders(Canvas& canvas, const LineRec& line, int x, int baseline, const TRect& paint);
    // The text, runs, images and settings of a section into this copy.
    void CopyTextFrom(const TSection& source);
    // The line holding document Y (relative index), with its top; -1 when none.
    int LineAt(int y, int& lineTop) const;
    // The laid-out line that holds a text index (null past the last line).
    const LineRec* LineHolding(int index) const;
    // The index of the character at X in a line (the line's character count past its end).
    int CharIndexAt(Canvas& canvas, const LineRec& line, int x, bool& inText) const;
    // The X of the character with an index in a line.
    int XOfIndex(Canvas& canvas, const LineRec& line, int index) const;
    // The room across a line (width and both spaces) of the placed image or control at a text
    // index; 0 for a float or any other character.
    int InlineRoom(int index) const;
    // The top of a control on a line with its baseline (clip coordinates), by its alignment.
    static int ControlTop(const TFormControlObj& control, const LineRec& line, int baseline);
    void DrawControl(Canvas& canvas, TFormControlObj& control, int x, int y);
    // Controls and images make room for themselves on a line by their vertical alignment.
    static void MakeRoom(LineRec& line, int height, int vertAlign);
    bool finished_ = false;
    // What only a text still being filled needs: the source position of every character and the
    // link the text currently runs in. It is made with the text and given back when the text is
    // closed, so that none of the many closed texts of a page carries its room.
    struct TOpenText {
        std::vector<int> SourceIndexes;
        std::unique_ptr<TUrlTarget> Link;
    };
    std::unique_ptr<TOpenText> open_;  // null once the text is closed
    // Where the layout placed the floating images: a paint looks only at those it can show, not
    // at every image of a section of many pages.
    TFloatBands floats_;
};

// PRE and plain text: not wrapped unless CSS asks for it; characters get class "n".
class TPreFormated : public TSection {
public:
    TPreFormated(TSectionList* document, const TUrlTarget* linkTarget, TProperties& props,
                 const TAttributeList* attributes);
    void AppendTokens(const TokenObj& tokens, bool noBreak, TProperties* props = nullptr) override;
    void FinishText(int sourceIndex) override;
    bool KeepWhenEmpty() const override { return true; }
    int LayoutSection(Canvas& canvas, int x, int& curs, int& maxWidth, IndentManagerBasic& indents,
                      int fallbackHeight, int containingHeight, int availWidth, int refX, int refY, int y) override;
    void GetMinMaxWidth(Canvas& canvas, int& minWidth, int& maxWidth) override;
    std::unique_ptr<TSectionBase> CreateCopy(TSectionList* document, TCellBasic* cell) const override;

    bool Wrap = false;  // word-wrap asks for wrapping
};

}  // namespace velmoran
