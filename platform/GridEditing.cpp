// The editing half of the grid base: the in-place editor and the grid's part in opening, placing
// and closing it.
#include "platform/Grid.h"

#include "platform/QtCanvas.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>

namespace velmoran {

// --- TInplaceEdit ---

TInplaceEdit::TInplaceEdit(TCustomGrid& grid) : QPlainTextEdit(grid.viewport()), grid_(grid)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(false);
    document()->setDocumentMargin(1);
    hide();
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!settingText_ && grid_.editing_)
            grid_.SetEditText(grid_.Col(), grid_.Row(), Text());
    });
}

std::string TInplaceEdit::Text() const
{
    return toPlainText().toStdString();
}

void TInplaceEdit::SetText(const std::string& text)
{
    settingText_ = true;
    setPlainText(QString::fromStdString(text));
    settingText_ = false;
}

void TInplaceEdit::SetMultiline(bool multiline)
{
    multiline_ = multiline;
    setLineWrapMode(multiline ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

bool TInplaceEdit::PassesToGrid(const QKeyEvent& event) const
{
    switch (event.key()) {
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A multi-line editor ends with Ctrl+Enter; plain Enter makes a new line.
        return !multiline_ || (event.modifiers() & Qt::ControlModifier);
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return !multiline_;
    default:
        return false;
    }
}

void TInplaceEdit::insertFromMimeData(const QMimeData* source)
{
    if (multiline_ || !source->hasText())
        return QPlainTextEdit::insertFromMimeData(source);
    QString text = source->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    insertPlainText(text);
}

void TInplaceEdit::keyPressEvent(QKeyEvent* event)
{
    if (PassesToGrid(*event)) {
        grid_.EditorKeyPress(event);
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

// --- the grid's side ---

TInplaceEdit* TCustomGrid::CreateEditor()
{
    return new TInplaceEdit(*this);
}

bool TCustomGrid::CanEditShow() const
{
    return (options_ & goEditing) && !(options_ & goRowSelect) && colCount_ > fixedCols_ && rowCount_ > fixedRows_ &&
           isEnabled();
}

void TCustomGrid::ShowEditor()
{
    if (!CanEditShow())
        return;
    if (!editor_)
        editor_ = CreateEditor();
    if (!editing_) {
        editStartText_ = GetEditText(current_.X, current_.Y);
        editor_->SetText(editStartText_);
        editor_->selectAll();
    }
    editing_ = true;
    ScrollIntoView(current_.X, current_.Y);
    EditorShowing(*editor_);
    PlaceEditor();
    editor_->show();
    if (hasFocus() || isActiveWindow())
        editor_->setFocus(Qt::OtherFocusReason);
}

void TCustomGrid::HideEditor()
{
    if (!editing_)
        return;
    editing_ = false;
    const bool hadFocus = editor_->hasFocus();
    editor_->hide();
    if (hadFocus)
        setFocus(Qt::OtherFocusReason);
    InvalidateCell(current_.X, current_.Y);
}

void TCustomGrid::DestroyEditor()
{
    editing_ = false;
    delete editor_;
    editor_ = nullptr;
}

void TCustomGrid::PlaceEditor()
{
    if (!editor_ || !editing_)
        return;
    const TRect r = CellRect(current_.X, current_.Y);
    // A cell scrolled out of sight keeps its editor open, out of sight too.
    if (r.IsEmpty())
        editor_->setGeometry(-r.Width() - 10, -r.Height() - 10, std::max(r.Width(), 1), std::max(r.Height(), 1));
    else
        editor_->setGeometry(r.Left, r.Top, r.Width(), r.Height());
}

bool TCustomGrid::HandleEditingKey(QKeyEvent* event)
{
    if (!(options_ & goEditing))
        return false;
    switch (event->key()) {
    case Qt::Key_F2:
        ShowEditor();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (options_ & goAlwaysShowEditor)
            return true;
        editing_ ? HideEditor() : ShowEditor();
        return true;
    case Qt::Key_Escape:
        if (!editing_)
            return false;
        editor_->SetText(editStartText_);
        SetEditText(current_.X, current_.Y, editStartText_);
        if (!(options_ & goAlwaysShowEditor))
            HideEditor();
        return true;
    default:
        break;
    }
    // A typed printable character opens the editor with that character.
    const QString text = event->text();
    if (editing_ || text.isEmpty() || text.at(0).unicode() < 32 || text.at(0).unicode() == 127 ||
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    ShowEditor();
    if (!editing_)
        return false;
    editor_->setPlainText(text);
    editor_->moveCursor(QTextCursor::End);
    return true;
}

void TCustomGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    const TGridCoord cell = MouseToCell(p.x(), p.y());
    if (event->button() == Qt::LeftButton && cell == current_ && (options_ & goEditing))
        ShowEditor();
    else
        QAbstractScrollArea::mouseDoubleClickEvent(event);
}

}  // namespace velmoran
