// Editing in the aligned grid: the in-place editor with the cell's alignment, the editor opening
// only on editable cells, the edit events run after the handling that caused them, Enter and
// Escape, Tab between cells and going on to the next editable cell.
#include "controls/AlignedGrid.h"

#include "platform/QtCanvas.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QTextBlock>

namespace velmoran {

using namespace aligned;

// --- TNewInplaceEdit ---

TNewInplaceEdit::TNewInplaceEdit(TAlignedGrid& grid) : TInplaceEdit(grid), grid_(grid) {}

void TNewInplaceEdit::SetAlignment(TMyAlign alignment)
{
    alignment_ = alignment;
    QTextOption option = document()->defaultTextOption();
    option.setAlignment(alignment == agRight ? Qt::AlignRight : alignment == agCenter ? Qt::AlignHCenter : Qt::AlignLeft);
    document()->setDefaultTextOption(option);
    // Alignment needs a line as wide as the editor; a single line still never wraps.
    setLineWrapMode(alignment == agLeft && !Multiline() ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    setWordWrapMode(Multiline() ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
}

void TNewInplaceEdit::keyPressEvent(QKeyEvent* event)
{
    // An editor without a cell takes no keys.
    if (EditCol < 0)
        return;
    // A multi-line editor keeps Escape: it neither undoes the text nor ends the edit.
    if (Multiline() && event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    TInplaceEdit::keyPressEvent(event);
}

void TNewInplaceEdit::focusOutEvent(QFocusEvent* event)
{
    TInplaceEdit::focusOutEvent(event);
    QWidget* now = QApplication::focusWidget();
    if (now && now != &grid_ && !grid_.isAncestorOf(now))
        grid_.EditorLeft();
}

// --- the grid's side ---

TInplaceEdit* TAlignedGrid::CreateEditor()
{
    return new TNewInplaceEdit(*this);
}

TNewInplaceEdit* TAlignedGrid::Editor() const
{
    return static_cast<TNewInplaceEdit*>(InplaceEditor());
}

bool TAlignedGrid::CanEditShow() const
{
    return TStringGrid::CanEditShow() && (EditEverything || IsCellEditable(Col(), Row()));
}

void TAlignedGrid::EditorShowing(TInplaceEdit& base)
{
    auto& editor = static_cast<TNewInplaceEdit&>(base);
    const int col = Col(), row = Row();
    const TMyFont font = EffectiveFont(col, row);
    editor.SetMultiline(EditMultiline);
    editor.SetAlignment(EffectiveAlign(col, row));
    editor.setFont(QtFontEngine::MakeQFont(font.ToLogicalFont()));
    QPalette palette = editor.palette();
    palette.setColor(QPalette::Base, ToQColor(EffectiveBrush(col, row).Color()));
    palette.setColor(QPalette::Text, ToQColor(font.Color()));
    editor.setPalette(palette);
    if (editor.EditCol != col || editor.EditRow != row) {
        editor.EditCol = col;
        editor.EditRow = row;
        editor.BeforeEditDone = false;
        editor.StartText = Cells(col, row);
        Post(kBeforeEdit, col, row);
    }
    if (!SelectEditText)
        editor.moveCursor(QTextCursor::End);
}

void TAlignedGrid::Post(PostedMessage message, int col, int row)
{
    QPointer<TAlignedGrid> self(this);
    QMetaObject::invokeMethod(
        this,
        [self, message, col, row] {
            if (self)
                self->HandlePosted(message, col, row);
        },
        Qt::QueuedConnection);
}

void TAlignedGrid::HandlePosted(PostedMessage message, int col, int row)
{
    TNewInplaceEdit* editor = Editor();
    switch (message) {
    case kBeforeEdit:
        if (editor && editor->EditCol == col && editor->EditRow == row && !editor->BeforeEditDone) {
            editor->BeforeEditDone = true;
            if (OnBeforeEdit)
                OnBeforeEdit(*this, col, row);
        }
        break;
    case kEditCancelled:
        if (OnCancelEdit)
            OnCancelEdit(*this, col, row);
        EndEdit(col, row, true);
        break;
    case kEditEndedByEnter: EndEdit(col, row, true); break;
    case kEditEndedByMove: EndEdit(col, row, false); break;
    }
}

void TAlignedGrid::EndEdit(int col, int row, bool byEnter)
{
    endPending_ = false;
    const bool refocus = std::exchange(refocusOnFail_, false);
    bool accepted = true;
    if (OnValidateEdit)
        OnValidateEdit(*this, col, row, accepted);
    if (!accepted) {
        // Back to the cell, editing on.
        if (Col() != col || Row() != row)
            MoveCurrent(col, row);
        if (refocus)
            setFocus(Qt::OtherFocusReason);
        ShowEditor();
        return;
    }
    TNewInplaceEdit* editor = Editor();
    if (editor && editor->EditCol == col && editor->EditRow == row) {
        editor->EditCol = -1;
        editor->EditRow = -1;
        editor->BeforeEditDone = false;
    }
    if (OnAfterEdit)
        OnAfterEdit(*this, col, row);
    if (byEnter && AutoEditNextCell) {
        GoToNextCell(NextCellEdit, AfterLastCellEdit, [this](int c, int r) { return IsCellEditable(c, r); });
        ShowEditor();
    }
}

bool TAlignedGrid::SelectCell(int col, int row)
{
    TNewInplaceEdit* editor = Editor();
    if (editor && editor->EditCol >= 0 && (editor->EditCol != col || editor->EditRow != row) && !endPending_) {
        endPending_ = true;
        Post(kEditEndedByMove, editor->EditCol, editor->EditRow);
    }
    return TStringGrid::SelectCell(col, row);
}

void TAlignedGrid::EditorLeft()
{
    TNewInplaceEdit* editor = Editor();
    if (!editor || editor->EditCol < 0 || endPending_)
        return;
    endPending_ = true;
    refocusOnFail_ = true;
    HideEditor();
    Post(kEditEndedByMove, editor->EditCol, editor->EditRow);
}

bool TAlignedGrid::HandleEditKey(QKeyEvent* event)
{
    TNewInplaceEdit* editor = Editor();
    if (!editor || editor->EditCol < 0 || endPending_)
        return false;
    const int col = editor->EditCol, row = editor->EditRow;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        endPending_ = true;
        HideEditor();
        Post(kEditEndedByEnter, col, row);
        return true;
    case Qt::Key_Escape:
        editor->SetText(editor->StartText);
        SetCells(col, row, editor->StartText);
        endPending_ = true;
        HideEditor();
        Post(kEditCancelled, col, row);
        return true;
    default:
        return false;
    }
}

void TAlignedGrid::CancelEdit()
{
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    HandleEditKey(&escape);
}

void TAlignedGrid::EditorKeyPress(QKeyEvent* event)
{
    if (!HandleEditKey(event))
        keyPressEvent(event);
}

void TAlignedGrid::keyPressEvent(QKeyEvent* event)
{
    if (HandleEditKey(event) || HandleTabKey(event) || HandleClipboardKey(event))
        return;
    TStringGrid::keyPressEvent(event);
}

bool TAlignedGrid::HandleTabKey(QKeyEvent* event)
{
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (!tab || !(Options() & goTabs) || (event->modifiers() & Qt::AltModifier))
        return false;
    const bool back = event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
    GoToNextCell(back ? Reversed(NextCellTab) : NextCellTab, AfterLastCellTab,
                 [this](int c, int) { return TabStops(c); });
    return true;
}

void TAlignedGrid::GoToNextCell(T_nextcell direction, T_lastcell policy, const std::function<bool(int, int)>& accept)
{
    const TGridShape shape{ColCount(), RowCount(), FixedCols(), FixedRows()};
    const TNextCell next = NextCell(shape, Col(), Row(), direction, policy, accept);
    switch (next.What) {
    case TNextCell::Cell: MoveCurrent(next.Col, next.Row); break;
    case TNextCell::InsertRow:
        InsertRow(next.InsertAt);
        MoveCurrent(next.Col, next.Row);
        break;
    case TNextCell::InsertCol:
        InsertColumn(next.InsertAt);
        MoveCurrent(next.Col, next.Row);
        break;
    case TNextCell::Stay: break;
    case TNextCell::Leave:
        // The next control of the form; an edit in progress ends as when the focus leaves.
        EditorLeft();
        HideEditor();
        QWidget::focusNextPrevChild(true);
        break;
    }
}

}  // namespace velmoran
