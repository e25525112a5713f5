// The page viewer's selection and clipboard copy: dragging and double clicks select, the selected
// text is read out or copied as plain text and as "HTML Format" cut from the page's source.
#include "html/viewer/PageViewer.h"

#include "html/viewer/ViewerText.h"
#include "platform/Clipboard.h"

#include <algorithm>

namespace velmoran {

int TPageViewer::SelLength() const
{
    return selection_.Length();
}

std::u16string TPageViewer::SelText()
{
    return selection_.Text();
}

std::u16string TPageViewer::GetRangeText(int start, int end)
{
    int startPos = -1;
    std::u16string text = selection_.RangeText(start, end, startPos);
    int x = 0, y = 0;
    if (startPos >= 0 && document_->CursorToXY(MeasureCanvas(), startPos, x, y))
        rangeTextPoint_ = QPoint(x - hPos_ + panel_->x(), y - document_->YOffset() + panel_->y());
    return text;
}

void TPageViewer::ExtendSelection(int x, int y)
{
    if (!selection_.Dragging())
        return;
    y = std::clamp(y, 0, panel_->height());
    int pos = -1;
    bool inText = false;
    if (!FindCursorAt(x, y, pos, inText))
        return;
    selection_.DragTo(pos, !noSelect_);
    if (!noSelect_)
        panel_->update();
}

void TPageViewer::PanelDoubleClick(Qt::KeyboardModifiers shift, int x, int y)
{
    document_->SetHoverImageState(MeasureCanvas(), x + hPos_, y + document_->YOffset(), false);
    if (processing_ || linkClicked_)
        return;
    // The word of the character under the point: on the right half of a word's last letter the
    // caret position is the blank after it. Beside the text the point is on a blank: the position
    // there is where the next text begins (the next cell's word), not a character under the point.
    if (!noSelect_) {
        bool onText = false;
        if (const int pos = document_->CharacterAt(MeasureCanvas(), x + hPos_, y + document_->YOffset(), onText);
            pos >= 0) {
            selection_.SelectWord(pos, onText);
            panel_->update();
        }
    }
    if (OnMouseDouble)
        OnMouseDouble(this, Qt::LeftButton, shift, x + panel_->x(), y + panel_->y());
}

void TPageViewer::CopySelectionToClipboard()
{
    if (selection_.Length() <= 0)
        return;
    const std::u16string text = document_->GetSelText();
    THtmlCopyInput input;
    input.Source = source_;
    selection_.FillCopyInput(input);
    input.FontName = defFontName_;
    input.FontSize = defFontSize_;
    input.CurrentFile = currentFile_;
    Clipboard().SetTextAndHtml(text, BuildHtmlFormat(input));
}

}  // namespace velmoran
