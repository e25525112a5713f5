// The typed edit's input: keys through the key rules, the clipboard commands and context menu,
// the mouse (addresses, arming a drag), the drag source and the edit's drop target.
#include "controls/EnhEdit.h"

#include "platform/Clipboard.h"
#include "platform/core/CodePage.h"
#include "platform/Shell.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include <algorithm>

namespace velmoran {

namespace {

const FormatSettings& Settings()
{
    return FormatSettings::Current();
}

TEditKey EditKeyOf(int key)
{
    switch (key) {
    case Qt::Key_Left: return TEditKey::Left;
    case Qt::Key_Right: return TEditKey::Right;
    case Qt::Key_Home: return TEditKey::Home;
    case Qt::Key_End: return TEditKey::End;
    case Qt::Key_Delete: return TEditKey::Delete;
    case Qt::Key_Backspace: return TEditKey::Backspace;
    case Qt::Key_Return:
    case Qt::Key_Enter: return TEditKey::Enter;
    default: return TEditKey::Other;
    }
}

// The character a key event types: Enter and Backspace by their keys, printable text; 0 for
// keys with Ctrl or Meta held (shortcuts) and for keys that type nothing.
char16_t TypedCharacter(const QKeyEvent* event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        return 0;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return u'\r';
    if (event->key() == Qt::Key_Backspace)
        return u'\b';
    const QString text = event->text();
    if (text.size() == 1 && text.front().isPrint())
        return text.front().unicode();
    return 0;
}

}  // namespace

// --- keys ---

void TEnhEdit::keyPressEvent(QKeyEvent* event)
{
    if (ClipboardKey(event))
        return;
    const int key = event->key();
    if (key == Qt::Key_Escape) {
        if (rules_.CanUndo) {
            SetControlText(focusText_);
            setSelection(ValueStart(focusText_, rules_),
                         ValueEnd(focusText_, rules_) - ValueStart(focusText_, rules_));
            SetModifiedState(false);
        }
        // The dialog's cancel button sees Esc too.
        event->ignore();
        return;
    }
    const TEditKey editKey = EditKeyOf(key);
    const TKeyOutcome down = FilterKey(EditState(), editKey, (event->modifiers() & Qt::ShiftModifier) != 0, rules_, Settings());
    if (down.SetModified)
        SetModifiedState(true);
    if (down.State)
        ApplyState(*down.State);
    if (down.PostTab)
        focusNextChild();
    if (!down.Swallow && OnKeyDown) {
        int changed = key;
        OnKeyDown(this, changed, event->modifiers());
        if (changed == 0) {
            event->accept();
            return;
        }
    }
    if (const char16_t ch = TypedCharacter(event)) {
        // The key's own step: a caret put into the prefix or suffix by the mouse comes out first.
        ApplyState(AfterKey(EditState(), editKey, rules_, Settings()));
        TypeCharacter(event, ch);
        // Enter never reaches the line edit; the dialog's default button reacts to it.
        // With ReturnIsTab it only moves on: the default button too would close the dialog mid-entry.
        if (ch == u'\r' && !rules_.ReturnIsTab)
            event->ignore();
        else
            event->accept();
        return;
    }
    if (down.Swallow) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
    ApplyState(AfterKey(EditState(), editKey, rules_, Settings()));
}

void TEnhEdit::TypeCharacter(QKeyEvent* event, char16_t ch)
{
    if (ch != u'\r' && OnKeyPress) {
        OnKeyPress(this, ch);
        if (ch == 0)
            return;
    }
    const TEditState before = EditState();
    const TCharOutcome outcome =
        FilterChar(before, ch, (event->modifiers() & Qt::KeypadModifier) != 0, rules_, Settings());
    if (outcome.CallKeyPress) {
        char16_t enter = ch;
        if (OnKeyPress)
            OnKeyPress(this, enter);
        return;
    }
    if (outcome.What == TCharOutcome::Action::Refuse)
        return;
    ApplyState(outcome.State);
    if (outcome.Modified)
        SetModifiedState(*outcome.Modified);
    if (outcome.What == TCharOutcome::Action::Replace)
        return;
    if (outcome.Char == u'\b' || outcome.Char >= u' ') {
        const int passedKey = outcome.Char == u'\b' ? int(Qt::Key_Backspace) : event->key();
        QKeyEvent passed(QEvent::KeyPress, passedKey, event->modifiers() & ~Qt::KeypadModifier,
                         outcome.Char == u'\b' ? QString() : QString(QChar(outcome.Char)));
        QLineEdit::keyPressEvent(&passed);
    }
    const TPassedOutcome after = AfterPassedChar(outcome, EditState(), rules_, Settings());
    ApplyState(after.State);
    if (after.Modified)
        SetModifiedState(true);
    if (after.PostTab)
        focusNextChild();
}

bool TEnhEdit::ClipboardKey(QKeyEvent* event)
{
    const Qt::KeyboardModifiers keys =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const int key = event->key();
    const auto is = [&](int k, Qt::KeyboardModifiers m) { return key == k && keys == m; };
    if (event->matches(QKeySequence::Paste) || is(Qt::Key_V, Qt::ControlModifier) || is(Qt::Key_Insert, Qt::ShiftModifier))
        PasteFromClipboard();
    else if (event->matches(QKeySequence::Cut) || is(Qt::Key_X, Qt::ControlModifier) || is(Qt::Key_Delete, Qt::ShiftModifier))
        CutToClipboard();
    else if (event->matches(QKeySequence::Copy) || is(Qt::Key_C, Qt::ControlModifier) ||
             is(Qt::Key_Insert, Qt::ControlModifier))
        CopyToClipboard();
    else
        return false;
    event->accept();
    return true;
}

// --- clipboard ---

std::u16string TEnhEdit::SelectedValue() const
{
    const TEditState state = EditState();
    const int start = std::clamp(state.SelStart, ValueStart(state.Text, rules_), ValueEnd(state.Text, rules_));
    const int end = std::clamp(state.SelEnd(), start, ValueEnd(state.Text, rules_));
    return state.Text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
}

void TEnhEdit::DeleteSelectedValue()
{
    const TEditState state = EditState();
    const int start = std::clamp(state.SelStart, ValueStart(state.Text, rules_), ValueEnd(state.Text, rules_));
    const int end = std::clamp(state.SelEnd(), start, ValueEnd(state.Text, rules_));
    if (end == start || isReadOnly())
        return;
    setSelection(start, end - start);
    del();
    SetModifiedState(true);
}

void TEnhEdit::CopyToClipboard()
{
    if (echoMode() != QLineEdit::Normal)
        return;
    const std::u16string value = SelectedValue();
    bool allow = true;
    if (OnClipboardCopy)
        OnClipboardCopy(this, WideToUtf8(value), allow);
    if (allow && !value.empty())
        Clipboard().SetText(value);
}

void TEnhEdit::CutToClipboard()
{
    if (!ClipboardEditAllowed() || echoMode() != QLineEdit::Normal)
        return;
    const std::u16string value = SelectedValue();
    bool allow = true;
    if (OnClipboardCut)
        OnClipboardCut(this, WideToUtf8(value), allow);
    if (!allow || value.empty())
        return;
    Clipboard().SetText(value);
    DeleteSelectedValue();
}

void TEnhEdit::PasteFromClipboard()
{
    if (!ClipboardEditAllowed())
        return;
    const std::u16string clip = Clipboard().Text();
    if (clip.empty())
        return;
    bool allow = true;
    if (OnClipboardPaste)
        OnClipboardPaste(this, WideToUtf8(SelectedValue()), allow);
    if (!allow)
        return;
    const TPasteOutcome outcome = PasteInto(EditState(), clip, rules_, Settings());
    if (!outcome.Accepted)
        return;
    ApplyState(outcome.State);
    if (outcome.SetModified)
        SetModifiedState(true);
}

std::unique_ptr<QMenu> TEnhEdit::CreateContextMenu()
{
    auto menu = std::make_unique<QMenu>(this);
    const bool selected = !SelectedValue().empty();
    const bool plain = echoMode() == QLineEdit::Normal;
    const auto add = [&](const char* caption, bool enabled, auto work) {
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, work);
    };
    add("&Rückgängig", isUndoAvailable() && !isReadOnly(), [this] { undo(); });
    menu->addSeparator();
    add("&Ausschneiden", selected && plain && ClipboardEditAllowed(), [this] { CutToClipboard(); });
    add("&Kopieren", selected && plain, [this] { CopyToClipboard(); });
    add("&Einfügen", ClipboardEditAllowed() && !Clipboard().Text().empty(), [this] { PasteFromClipboard(); });
    add("&Löschen", selected && !isReadOnly(), [this] { DeleteSelectedValue(); });
    menu->addSeparator();
    add("Alles &markieren", !text().isEmpty(), [this] { selectAll(); });
    return menu;
}

void TEnhEdit::contextMenuEvent(QContextMenuEvent* event)
{
    const std::unique_ptr<QMenu> menu = CreateContextMenu();
    menu->exec(event->globalPos());
}

// --- mouse ---

void TEnhEdit::mousePressEvent(QMouseEvent* event)
{
    const bool wasFocused = hasFocus() && !focusByMouse_;
    focusByMouse_ = false;
    if (event->button() == Qt::MiddleButton) {
        // No pasting of the selection: the clipboard goes through the type's rules only.
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton && oleDropSource_ && wasFocused && hasSelectedText()) {
        const int at = CharIndexAt(event->position().toPoint());
        if (at >= selectionStart() && at < selectionStart() + selectionLength()) {
            dragArmed_ = true;
            event->accept();
            return;
        }
    }
    QLineEdit::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && wasFocused && UrlShown())
        OpenWebOrMailAddress(UrlToOpen(ValueOf(text().toStdU16String(), rules_)));
}

void TEnhEdit::mouseMoveEvent(QMouseEvent* event)
{
    if (dragArmed_ && (event->buttons() & Qt::LeftButton) && hasSelectedText()) {
        dragArmed_ = false;
        StartDrag();
        return;
    }
    QLineEdit::mouseMoveEvent(event);
}

void TEnhEdit::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    if (dragArmed_) {
        dragArmed_ = false;
        setCursorPosition(CharIndexAt(event->position().toPoint()));
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

// --- drag and drop ---

void TEnhEdit::SetOleDropTarget(bool on)
{
    if (on && !dropTarget_) {
        dropTarget_ = new TEditDropTarget(this);
    } else if (!on && dropTarget_) {
        delete dropTarget_;
        dropTarget_ = nullptr;
    }
}

void TEnhEdit::StartDrag()
{
    const QPointer<TEnhEdit> self(this);
    dragRunning_ = true;
    selfDropDone_ = false;
    Qt::DropAction effect = Qt::IgnoreAction;
    const TDragResult result =
        StartTextDrag(this, selectedText().toStdString(), std::string(), Qt::CopyAction | Qt::MoveAction, effect);
    if (!self)
        return;
    dragRunning_ = false;
    // A move to elsewhere takes the text away here; a move within the edit was done by the drop.
    if (result == TDragResult::Drop && effect == Qt::MoveAction && !selfDropDone_)
        DeleteSelectedValue();
    selfDropDone_ = false;
}

TEditDropTarget::TEditDropTarget(TEnhEdit* edit) : TAEDropTarget(edit), edit_(edit) {}

void TEditDropTarget::DragMouseMove(TPoint point, bool& allow)
{
    allow = true;
    edit_->SetDropCaret(edit_->CharIndexAt(QPoint(point.X, point.Y)));
}

void TEditDropTarget::DragLeave()
{
    edit_->SetDropCaret(-1);
}

void TEditDropTarget::DropText(TPoint point, const std::string& text)
{
    const std::string line = text.substr(0, text.find_first_of("\r\n"));
    const int at = edit_->CharIndexAt(QPoint(point.X, point.Y));
    const TEditState state = edit_->EditState();
    const bool fromHere = edit_->dragRunning_;
    edit_->SetDropCaret(-1);
    if (fromHere) {
        // The source's part happens here; the drag's source must not delete anything more.
        edit_->selfDropDone_ = true;
        if (at > state.SelStart && at < state.SelEnd())
            return;
    }
    int insertAt = at;
    if (fromHere && !(KeyState() & Qt::ControlModifier) && state.SelLength > 0) {
        // Where the mouse is in the text before the selection goes.
        if (at >= state.SelEnd())
            insertAt -= state.SelLength;
        edit_->setSelection(state.SelStart, state.SelLength);
        edit_->del();
    }
    const TEditState now = edit_->EditState();
    insertAt = std::clamp(insertAt, ValueStart(now.Text, edit_->Rules()), ValueEnd(now.Text, edit_->Rules()));
    edit_->setCursorPosition(insertAt);
    edit_->insert(QString::fromStdString(line));
    edit_->SetModifiedState(true);
    edit_->update();
}

}  // namespace velmoran
