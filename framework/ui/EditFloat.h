// TEditFloat: the single-line edit of one floating-point input value on the module dialogs'
// pages. It keeps the value apart from its text, filters the typed characters down to a number,
// commits the text into the value on Enter and when it loses the focus, and colours itself by two
// pairs of range bounds (yellow: warning range left, red: hard range left).
//
// A commit of a text the user has not changed since the program last set it changes nothing:
// otherwise tabbing through a field whose text the program rounded would write the rounded
// value back into the record.
//
// The control's own commit turns text that is no number into the missing value. An edit with
// CheckOnExit refuses such text instead, where it was typed: leaving the field or Enter keeps the
// value and the text, says "… ist keine Zahl" naming FieldName, and the field keeps the focus.
#pragma once

#include "controls/ButtonGlyph.h"
#include "platform/GdiTypes.h"

#include <QLineEdit>

#include <functional>
#include <string>

namespace velmoran {

class TEditFloat : public QLineEdit {
public:
    explicit TEditFloat(QWidget* parent = nullptr);

    // Right shows the text right-aligned; left and centre both show it left-aligned.
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    bool HideMissing() const { return hideMissing_; }
    void SetHideMissing(bool hide);
    // Kept with the control only: a different text re-shows the value in the general format.
    const std::string& DisplayFormat() const { return displayFormat_; }
    void SetDisplayFormat(const std::string& format);

    double Value() const { return value_; }
    double ValueMissing() const { return valueMissing_; }
    double ValueMax() const { return valueMax_; }
    double ValueMin() const { return valueMin_; }
    double ValueHi() const { return valueHi_; }
    double ValueLo() const { return valueLo_; }
    std::string AsString() const { return GetAsString(); }

    // The value and its general-format text; recolours, fires nothing. A value that is no number
    // (NaN, infinity, from a file) shows as an empty field, never as "NAN" or "INF".
    virtual void SetValue(double value);
    // The bounds: stored, then recoloured; the text stays.
    virtual void SetValueMissing(double value);
    virtual void SetValueMax(double value);
    virtual void SetValueHi(double value);
    virtual void SetValueLo(double value);
    virtual void SetValueMin(double value);
    // The text; when it is a number it also becomes the value (recoloured), else the value and
    // the colours stay.
    virtual void SetAsString(const std::string& text);
    virtual std::string GetAsString() const;

    // Fired after the user committed a changed text.
    std::function<void(TEditFloat* sender)> OnValidate;

    // Text that is no number (the empty text too) is refused rather than committed as missing.
    bool CheckOnExit = false;
    // The name of the field in the refusal's message.
    std::string FieldName;

    // Takes a text the user changed into the value (the missing value when it is no number),
    // recolours and fires OnValidate; an unchanged text does nothing. With CheckOnExit a text
    // that is no number is not taken: the answer is false, and nothing changes.
    bool Commit();
    // Whether the text differs from the one the program set or the last commit took.
    bool TextChanged() const { return text() != settledText_; }
    // Whether a commit would refuse the text: CheckOnExit, a changed text, and no number.
    bool RefusesText() const;
    // The refusal's German message for the text as it stands.
    std::string RefusalMessage() const;
    // Commit for a command that must wait for a number: with a text that is refused, the message
    // is shown, the field takes the focus back with its text selected and the answer is false.
    bool ConfirmNumber();
    // Gives up a text typed and not taken: the text the program set or the last commit took comes
    // back, and a refusal still to be said is dropped.
    void DiscardTyping();

    // The colours the edit shows now.
    ColorRef BackgroundColor() const { return background_; }
    ColorRef FontColor() const { return fontColor_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    // The key filter: false when the character is to be dropped; may replace it. It judges the
    // text as it will be once the key has replaced the selection.
    bool FilterCharacter(QString& character) const;
    void ShowText(const QString& text);
    void Recolor();
    void ApplyColors();

    TAlignment alignment_ = TAlignment::taRightJustify;
    bool hideMissing_ = false;
    std::string displayFormat_;
    double value_ = 0;
    double valueMissing_ = 0;
    double valueMax_ = 0;
    double valueMin_ = 0;
    double valueHi_ = 0;
    double valueLo_ = 0;
    ColorRef normalBackground_;
    ColorRef normalFont_;
    ColorRef background_;
    ColorRef fontColor_;
    QString settledText_;
    // A refusal noticed on leaving the field whose message is still to come.
    bool refusalPending_ = false;
};

// Commits the float edit that has the focus in the window, as its focus loss would: the buttons
// of the module dialogs take no focus, so a value typed and confirmed by a click must be taken
// before the click acts; so is any other float edit of the window whose text was changed and not
// taken. False, after the message, when such an edit refuses its text: the click must not act
// then.
bool CommitFocusedEdit(const QWidget& window);
// Gives up what was typed and not taken in every float edit of the window: a dialog shown again
// starts from its values, never from the text of a showing that was cancelled.
void DiscardTyping(const QWidget& window);

}  // namespace velmoran
