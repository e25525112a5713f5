// The page viewer's selection over its document: the caret, the anchor a mouse drag starts from,
// the word a double click selects, and the text of the selection or of a source range.
#pragma once

#include "html/viewer/ViewerDocument.h"

#include <string>

namespace velmoran {

struct THtmlCopyInput;

class TViewerSelection {
public:
    explicit TViewerSelection(TViewerDocument& document) : document_(document) {}

    // After a load or Clear: the caret at the start, no drag anchor.
    void Reset();
    // A left press at a document position (-1: off the text) anchors a drag there. At a position,
    // with shift the selection runs from the caret to it, else the caret moves there. True when
    // the view must be painted again (a selection goes or changes).
    bool Press(int pos, bool shift);
    // Whether a press started a selection that the mouse may drag.
    bool Selecting() const { return selecting_; }
    bool Dragging() const { return selecting_ && anchor_ >= 0; }
    // The mouse dragged to a document position: the selection spans from the anchor (unless the
    // viewer selects nothing) and the caret follows.
    void DragTo(int pos, bool select);
    void EndDrag() { selecting_ = false; }
    // Selects the word at a position (letters, digits and characters from U+00C0 on); off a word,
    // or for a point beside the text (onText false), the selection is empty there. The caret goes
    // to its start.
    void SelectWord(int pos, bool onText);

    int Length() const { return document_.GetSelLength(); }
    std::u16string Text() const;
    // The text between two source positions, and the document position it starts at (-1 when
    // there is none); the selection stays as it was.
    std::u16string RangeText(int sourceStart, int sourceEnd, int& startPos);
    // The selection's source positions and code page for the "HTML Format" copy.
    void FillCopyInput(THtmlCopyInput& input) const;

private:
    TViewerDocument& document_;
    bool selecting_ = false;
    int anchor_ = -1;
    int caret_ = 0;
};

}  // namespace velmoran
