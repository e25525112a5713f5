// The caret, drags, word selection and selected text of the page viewer.
#include "html/viewer/ViewerSelection.h"

#include "html/viewer/ViewerText.h"

#include <algorithm>

namespace velmoran {

void TViewerSelection::Reset()
{
    caret_ = 0;
    anchor_ = -1;
}

bool TViewerSelection::Press(int pos, bool shift)
{
    selecting_ = true;
    anchor_ = pos;
    if (pos < 0)
        return false;
    const bool repaint = document_.GetSelLength() > 0 || shift;
    if (shift) {
        document_.SetSelection(std::min(caret_, pos), std::max(caret_, pos));
    } else {
        document_.SetSelection(pos, pos);
        caret_ = pos;
        document_.SetCaret(pos);
    }
    return repaint;
}

void TViewerSelection::DragTo(int pos, bool select)
{
    if (select)
        document_.SetSelection(std::min(pos, anchor_), std::max(pos, anchor_));
    caret_ = pos;
    document_.SetCaret(pos);
}

void TViewerSelection::SelectWord(int pos, bool onText)
{
    int b = pos, e = pos;
    if (onText && IsWordChar(document_.CharAt(pos))) {
        while (b > 0 && IsWordChar(document_.CharAt(b - 1)))
            --b;
        while (IsWordChar(document_.CharAt(e)))
            ++e;
    }
    document_.SetSelection(b, e);
    caret_ = b;
    document_.SetCaret(b);
}

std::u16string TViewerSelection::Text() const
{
    if (document_.GetSelLength() <= 0)
        return {};
    return document_.GetSelText();
}

std::u16string TViewerSelection::RangeText(int sourceStart, int sourceEnd, int& startPos)
{
    startPos = -1;
    if (sourceStart < 0 || sourceEnd < 0 || sourceStart >= sourceEnd)
        return {};
    const int oldB = document_.SelB(), oldE = document_.SelE();
    const int b = document_.FindDocPos(sourceStart, false);
    const int e = document_.FindDocPos(sourceEnd, true);
    std::u16string text;
    if (b >= 0 && e > b) {
        startPos = b;
        document_.SetSelection(b, e);
        text = document_.GetSelText();
    }
    document_.SetSelection(oldB, oldE);
    return text;
}

void TViewerSelection::FillCopyInput(THtmlCopyInput& input) const
{
    input.StartSource = document_.FindSourcePos(document_.SelB());
    input.EndSource = document_.FindSourcePos(document_.SelE());
    input.CodePage = document_.CodePage();
}

}  // namespace velmoran
