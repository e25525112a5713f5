// The float edit; see EditFloat.h.
#include "framework/ui/EditFloat.h"

#include "platform/CommandKeys.h"
#include "platform/ImageList.h"
#include "platform/Prompt.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/Text.h"

#include <QKeyEvent>
#include <QPointer>

#include <cmath>

namespace velmoran {

namespace {

constexpr ColorRef kYellow = RGBRef(255, 255, 0);
constexpr ColorRef kRed = RGBRef(255, 0, 0);
constexpr ColorRef kWhite = RGBRef(255, 255, 255);

ColorRef ToColorRef(const QColor& color) { return RGBRef(color.red(), color.green(), color.blue()); }

// The text of a value: empty for one that is no number, as a field the user emptied holds none.
QString ValueText(double value)
{
    return std::isfinite(value) ? QString::fromStdString(FloatToStr(value)) : QString();
}

}  // namespace

TEditFloat::TEditFloat(QWidget* parent) : QLineEdit(parent)
{
    resize(61, 19);
    normalBackground_ = background_ = ToColorRef(palette().color(QPalette::Base));
    normalFont_ = fontColor_ = ToColorRef(palette().color(QPalette::Text));
    SetAlignment(TAlignment::taRightJustify);
    // Only typed keys come in, each through the filter: an input method's text would pass it by.
    // Input methods are off for the edit, and text that comes as theirs all the same is refused.
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

void TEditFloat::SetAlignment(TAlignment alignment)
{
    alignment_ = alignment;
    const Qt::Alignment horizontal = alignment == TAlignment::taRightJustify ? Qt::AlignRight : Qt::AlignLeft;
    setAlignment(horizontal | Qt::AlignVCenter);
}

void TEditFloat::SetHideMissing(bool hide)
{
    hideMissing_ = hide;
    Recolor();
}

void TEditFloat::SetDisplayFormat(const std::string& format)
{
    if (format == displayFormat_)
        return;
    displayFormat_ = format;
    ShowText(ValueText(value_));
}

void TEditFloat::SetValue(double value)
{
    value_ = value;
    ShowText(ValueText(value));
    Recolor();
}

void TEditFloat::SetValueMissing(double value)
{
    valueMissing_ = value;
    Recolor();
}

void TEditFloat::SetValueMax(double value)
{
    valueMax_ = value;
    Recolor();
}

void TEditFloat::SetValueHi(double value)
{
    valueHi_ = value;
    Recolor();
}

void TEditFloat::SetValueLo(double value)
{
    valueLo_ = value;
    Recolor();
}

void TEditFloat::SetValueMin(double value)
{
    valueMin_ = value;
    Recolor();
}

void TEditFloat::SetAsString(const std::string& text)
{
    ShowText(QString::fromStdString(text));
    if (const auto number = TryStrToFloat(text)) {
        value_ = *number;
        Recolor();
    }
}

std::string TEditFloat::GetAsString() const { return text().toStdString(); }

void TEditFloat::ShowText(const QString& text)
{
    setText(text);
    settledText_ = text;
}

bool TEditFloat::Commit()
{
    if (!TextChanged())
        return true;
    if (RefusesText())
        return false;
    settledText_ = text();
    const auto number = TryStrToFloat(text().toStdString());
    value_ = number ? *number : valueMissing_;
    Recolor();
    if (OnValidate)
        OnValidate(this);
    return true;
}

bool TEditFloat::RefusesText() const
{
    return CheckOnExit && TextChanged() && !TryStrToFloat(text().toStdString());
}

std::string TEditFloat::RefusalMessage() const
{
    const std::string typed = text().toStdString();
    const std::string field = FieldName.empty() ? std::string("Feld") : "Feld " + Quoted(FieldName);
    if (Trim(typed).empty())
        return "Das " + field + " ist leer: Ein leeres Feld ist keine Zahl.";
    return Quoted(Excerpt(typed)) + " im " + field + " ist keine Zahl.";
}

bool TEditFloat::ConfirmNumber()
{
    if (!RefusesText())
        return Commit();
    refusalPending_ = false;
    Prompts().ShowError(RefusalMessage());
    if (isEnabled() && isVisible()) {
        // Typing goes on here after the message, also where no window manager hands the
        // window back.
        activateWindow();
        setFocus();
        // What is typed next replaces the text refused.
        selectAll();
    }
    return false;
}

void TEditFloat::DiscardTyping()
{
    refusalPending_ = false;
    if (TextChanged())
        setText(settledText_);
}

void TEditFloat::Recolor()
{
    fontColor_ = normalFont_;
    ColorRef color = normalBackground_;
    if (value_ == valueMissing_) {
        // The background stays as it was: a value that turns missing after being red stays red.
        if (hideMissing_)
            fontColor_ = normalBackground_;
        ApplyColors();
        return;
    }
    const bool warning = valueHi_ > valueLo_;
    const bool hard = valueMax_ > valueMin_;
    if (warning && value_ < 0.999 * valueLo_ && valueLo_ != valueMissing_)
        color = kYellow;
    if (hard && value_ < 0.999 * valueMin_ && valueMin_ != valueMissing_)
        color = kRed;
    if (warning && value_ > 1.001 * valueHi_ && valueHi_ != valueMissing_)
        color = kYellow;
    if (hard && value_ > 1.001 * valueMax_ && valueMax_ != valueMissing_)
        color = kRed;
    background_ = color;
    if (color == kRed)
        fontColor_ = kWhite;
    ApplyColors();
}

void TEditFloat::ApplyColors()
{
    QPalette colours = palette();
    colours.setColor(QPalette::Base, QColor::fromRgb(ColorToQRgb(background_)));
    colours.setColor(QPalette::Text, QColor::fromRgb(ColorToQRgb(fontColor_)));
    setPalette(colours);
}

bool TEditFloat::FilterCharacter(QString& character) const
{
    const QChar c = character.at(0);
    if (c >= u'0' && c <= u'9')  // only these: another script's digit would not convert
        return true;
    // The text as it stands once the key has replaced the selection: a separator or a minus typed
    // over a selected "3,5" or "-5" is the only one then.
    QString current = text();
    if (hasSelectedText())
        current.remove(selectionStart(), selectionLength());
    if (c == u',' || c == u'.') {
        if (current.contains(u',') || current.contains(u'.'))
            return false;
        character = QChar::fromLatin1(FormatSettings::Current().DecimalSeparator);
        return true;
    }
    if (c == u'-')
        return !current.contains(u'-');
    return false;
}

void TEditFloat::keyPressEvent(QKeyEvent* event)
{
    // Escape and Enter end here: neither may reach the dialog and close it.
    if (event->key() == Qt::Key_Escape) {
        clear();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        ConfirmNumber();
        event->accept();
        return;
    }
    // A command key (Ctrl, Alt, Meta) types nothing here either, wherever the edit is used.
    DropCommandText(*event);
    QString character = event->text();
    if (character.isEmpty() || character.at(0).category() == QChar::Other_Control) {
        // Arrow, editing and clipboard keys work as in any edit.
        QLineEdit::keyPressEvent(event);
        return;
    }
    // Whatever else the line edit would insert passes the filter: a character outside the basic
    // plane (two code units) and an invisible format character are refused like a letter.
    if (character.size() != 1 || !FilterCharacter(character)) {
        event->accept();
        return;
    }
    QKeyEvent replaced(event->type(), event->key(), event->modifiers(), character, event->isAutoRepeat());
    QLineEdit::keyPressEvent(&replaced);
}

void TEditFloat::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (!RefusesText()) {
        Commit();
        return;
    }
    // Another window coming to the front (the message itself, a menu) does not leave the field:
    // the text waits there for the user.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    // The message and the focus come back after the focus change has finished, unless a command
    // has said it by then.
    refusalPending_ = true;
    QPointer<TEditFloat> self(this);
    QMetaObject::invokeMethod(
        this,
        [self] {
            if (self && self->refusalPending_)
                self->ConfirmNumber();
        },
        Qt::QueuedConnection);
}

void TEditFloat::inputMethodEvent(QInputMethodEvent* event)
{
    event->accept();
}

bool CommitFocusedEdit(const QWidget& window)
{
    if (auto* edit = dynamic_cast<TEditFloat*>(window.focusWidget()); edit && !edit->ConfirmNumber())
        return false;
    // A field left with text it refused holds that text until its message has come, and one left
    // while its window was not the active one had no focus loss at all: a command takes or refuses
    // every such text all the same. (The edit declares no meta-object of its own: it is found as
    // the line edit it is.)
    for (QLineEdit* line : window.findChildren<QLineEdit*>())
        if (auto* edit = dynamic_cast<TEditFloat*>(line); edit && edit->TextChanged() && !edit->ConfirmNumber())
            return false;
    return true;
}

void DiscardTyping(const QWidget& window)
{
    for (QLineEdit* line : window.findChildren<QLineEdit*>())
        if (auto* edit = dynamic_cast<TEditFloat*>(line))
            edit->DiscardTyping();
}

}  // namespace velmoran
