// The date field: format and mask, reading and writing the date, calendar and dialog, keys and
// the check on leaving.
#include "controls/DateEdit.h"

#include "controls/ControlResources.h"
#include "controls/StringUtils.h"
#include "platform/Prompt.h"
#include "platform/SystemColors.h"
#include "platform/core/Exceptions.h"
#include "platform/core/ScopeExit.h"
#include "platform/core/Text.h"

#include <QKeyEvent>
#include <QMetaObject>
#include <QPointer>

#include <cmath>

namespace velmoran {

TCustomDateEdit::TCustomDateEdit(QWidget* parent) : TCustomComboEdit(parent), popupColor_(SystemColor(COLOR_BTNFACE))
{
    SetDefaultNumGlyphs(2);
    dateFormat_ = DefDateFormat(FourDigits());
    SetCalendarStyle(TCalendarStyle::csPopup);
    SetGlyphKind(TGlyphKind::gkDefault);
    UpdateFormat();
    // Changed settings reformat the text when the program follows them.
    settingsListener_ = FormatSettings::AddChangeListener([this] {
        if (FormatSettings::Current().FollowFormatSettings)
            UpdateFormat();
    });
}

TCustomDateEdit::~TCustomDateEdit()
{
    FormatSettings::RemoveChangeListener(settingsListener_);
    if (popupCalendar_)
        popupCalendar_->OnCloseUp = nullptr;
}

bool TCustomDateEdit::FourDigits() const
{
    switch (yearDigits_) {
    case TYearDigits::dyFour: return true;
    case TYearDigits::dyTwo: return false;
    case TYearDigits::dyDefault: break;
    }
    return FourDigitYear();
}

std::string TCustomDateEdit::FormatDate(TDateTime date) const
{
    if (date == NullDate)
        return {};
    // "DD/MM/YYYY" as a pattern: lower-case letters, the slash standing for the separator.
    return FormatDateTime(ReplaceStr(LowerCase(dateFormat_), "/", std::string(1, FormatSettings::Current().DateSeparator)),
                          date);
}

TDateTime TCustomDateEdit::GetDate() const
{
    return StrToDateFmtDef(dateFormat_, Text(), DefaultToday ? velmoran::Date() : NullDate);
}

void TCustomDateEdit::SetDate(TDateTime date)
{
    if (!ValidDate(date) || date == NullDate)
        date = DefaultToday ? velmoran::Date() : NullDate;
    const TDateTime before = GetDate();
    SetText(FormatDate(date));
    SetModified(GetDate() != before);
}

void TCustomDateEdit::ApplyDate(TDateTime date)
{
    SetDate(date);
    if (DirectInput())
        selectAll();
}

bool TCustomDateEdit::TextStored() const
{
    return !ContainsOnlyChars(Text(), std::string{blanksChar_, FormatSettings::Current().DateSeparator});
}

void TCustomDateEdit::CheckValidDate()
{
    ValidateText(true);
}

bool TCustomDateEdit::ConfirmDate()
{
    try {
        ValidateText(true);
        return true;
    } catch (const EConvertError& error) {
        Prompts().ShowError(error.Message());
        return false;
    }
}

bool TCustomDateEdit::HoldsDate() const
{
    if (!TextStored())
        return true;
    try {
        StrToDateFmt(dateFormat_, Text());
        return true;
    } catch (const EConvertError&) {
        return false;
    }
}

void TCustomDateEdit::ValidateText(bool takeFocus)
{
    if (!TextStored())
        return;
    ScopedValue<bool> formatting(formatting_, true);
    try {
        SetDate(StrToDateFmt(dateFormat_, Text()));
    } catch (const EConvertError&) {
        if (takeFocus && isEnabled() && focusPolicy() != Qt::NoFocus)
            setFocus();
        throw;
    }
}

void TCustomDateEdit::UpdateFormat()
{
    const TDateTime date = GetDate();
    const std::string oldFormat = dateFormat_;
    dateFormat_ = DefDateFormat(FourDigits());
    const std::string mask = DefDateMask(blanksChar_, FourDigits());
    // The mask's slash is the separator of its time: a new separator needs the mask set anew.
    const char separator = FormatSettings::Current().DateSeparator;
    if (mask != EditMask() || oldFormat != dateFormat_ || separator != maskSeparator_) {
        maskSeparator_ = separator;
        SetEditMask("");
        SetEditMask(mask);
    }
    RefreshPopup();
    SetDate(date);
}

void TCustomDateEdit::SetBlanksChar(char blanks)
{
    if (static_cast<unsigned char>(blanks) < ' ')
        blanks = ' ';
    if (blanks == blanksChar_)
        return;
    blanksChar_ = blanks;
    UpdateFormat();
}

void TCustomDateEdit::SetCalendarHints(const std::vector<std::string>& hints)
{
    calendarHints_.assign(hints.begin(), hints.begin() + std::min<std::size_t>(hints.size(), 4));
    RefreshPopup();
}

void TCustomDateEdit::SetDialogTitle(const std::string& title)
{
    dialogTitle_ = title.empty() ? "Select a Date" : title;
}

void TCustomDateEdit::SetPopupColor(ColorRef color)
{
    popupColor_ = color;
    if (popupCalendar_)
        popupCalendar_->SetColor(color);
}

void TCustomDateEdit::SetStartOfWeek(TDayOfWeekName day)
{
    if (day == startOfWeek_)
        return;
    startOfWeek_ = day;
    RefreshPopup();
}

void TCustomDateEdit::SetWeekends(TDaysOfWeek days)
{
    if (days == weekends_)
        return;
    weekends_ = days;
    RefreshPopup();
}

void TCustomDateEdit::SetWeekendColor(ColorRef color)
{
    if (color == weekendColor_)
        return;
    weekendColor_ = color;
    RefreshPopup();
}

void TCustomDateEdit::SetYearDigits(TYearDigits digits)
{
    if (digits == yearDigits_)
        return;
    yearDigits_ = digits;
    UpdateFormat();
}

void TCustomDateEdit::SetCalendarStyle(TCalendarStyle style)
{
    if (style == TCalendarStyle::csPopup) {
        if (popupCalendar_)
            return;
        popupCalendar_ = CreatePopupCalendar(this, layoutDirection() == Qt::RightToLeft);
        SetPopup(popupCalendar_);
        popupCalendar_->SetColor(popupColor_);
        RefreshPopup();
    } else if (popupCalendar_) {
        SetPopup(nullptr);
        delete popupCalendar_;
        popupCalendar_ = nullptr;
    }
}

void TCustomDateEdit::RefreshPopup()
{
    if (popupCalendar_)
        SetupPopupCalendar(popupCalendar_, startOfWeek_, weekends_, weekendColor_, calendarHints_);
}

QImage TCustomDateEdit::GetDefaultGlyph()
{
    static const QImage glyph = ControlBitmap("DEDITBMP");
    return glyph;
}

void TCustomDateEdit::ButtonClick()
{
    TCustomComboEdit::ButtonClick();
    if (CalendarStyle() != TCalendarStyle::csDialog || GetReadOnly())
        return;
    TDateTime date = GetDate();
    const bool chosen = SelectDate(date, dialogTitle_, startOfWeek_, weekends_, weekendColor_, calendarHints_);
    if (isEnabled() && focusPolicy() != Qt::NoFocus)
        setFocus();
    if (!chosen)
        return;
    bool accept = true;
    if (OnAcceptDate)
        OnAcceptDate(this, date, accept);
    if (!accept)
        return;
    SetDate(date);
    if (hasFocus())
        selectAll();
}

TDateTime TCustomDateEdit::ValueToDate(const QVariant& value) const
{
    if (!value.isValid() || value.isNull())
        return NullDate;
    if (value.typeId() == QMetaType::Double)
        return value.toDouble();
    const std::string text = value.toString().toStdString();
    if (text.empty())
        return NullDate;
    return StrToDateFmtDef(dateFormat_, text, DefaultToday ? velmoran::Date() : NullDate);
}

bool TCustomDateEdit::AcceptPopup(const QVariant& value)
{
    acceptedDate_ = ValueToDate(value);
    bool accept = true;
    if (OnAcceptDate)
        OnAcceptDate(this, acceptedDate_, accept);
    return accept;
}

void TCustomDateEdit::AcceptValue(const QVariant&)
{
    SetDate(acceptedDate_);
    RefreshPopupVisible();
    if (Modified())
        TCustomComboEdit::Change();
}

void TCustomDateEdit::SetPopupValue(const QVariant& value)
{
    TCustomComboEdit::SetPopupValue(QVariant(StrToDateFmtDef(dateFormat_, value.toString().toStdString(), velmoran::Date())));
}

bool TCustomDateEdit::HandsKeyToPopup(const QKeyEvent& event) const
{
    switch (event.key()) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Plus:
    case Qt::Key_Minus:
        return true;
    default:
        return event.text() == "t" || event.text() == "T";
    }
}

void TCustomDateEdit::Change()
{
    if (!formatting_)
        TCustomComboEdit::Change();
}

void TCustomDateEdit::keyPressEvent(QKeyEvent* event)
{
    if (!PopupVisible() && DirectInput() && CanModify()) {
        const bool plain = !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
        const bool keypad = event->modifiers() & Qt::KeypadModifier;
        if (plain && keypad && (event->key() == Qt::Key_Plus || event->key() == Qt::Key_Minus)) {
            const TDateTime current = GetDate() == NullDate ? Now() : GetDate();
            ApplyDate(std::floor(current) + (event->key() == Qt::Key_Plus ? 1 : -1));
            event->accept();
            return;
        }
        if (event->text() == "+" || event->text() == "-") {
            event->accept();
            return;
        }
        if (event->text() == "t" || event->text() == "T") {
            ApplyDate(velmoran::Date());
            event->accept();
            return;
        }
    }
    TCustomComboEdit::keyPressEvent(event);
}

void TCustomDateEdit::focusOutEvent(QFocusEvent* event)
{
    const bool ownPopup = event->reason() == Qt::PopupFocusReason && Popup() && Popup()->isVisible();
    TCustomComboEdit::focusOutEvent(event);
    // Another window coming to the front (or this one closing) does not leave the field: the
    // focus comes back to it with the window.
    if (!CheckOnExit || ownPopup || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    try {
        ValidateText(false);
    } catch (const EConvertError& error) {
        // The message and the focus come back after the focus change has finished.
        QPointer<TCustomDateEdit> self(this);
        const std::string message = error.Message();
        QMetaObject::invokeMethod(
            this,
            [self, message] {
                Prompts().ShowError(message);
                if (self && self->isEnabled())
                    self->setFocus();
            },
            Qt::QueuedConnection);
    }
}

TDateEdit::TDateEdit(QWidget* parent) : TCustomDateEdit(parent)
{
    UpdateFormat();
}

}  // namespace velmoran
