// The date field: a combo edit whose text is a date in the format of the settings under an edit
// mask, read and written as a date, with the drop-down calendar or the date dialog behind its
// button. It follows changed format settings and can insist on a valid date when left.
#pragma once

#include "controls/ComboEdit.h"
#include "controls/DateDialogs.h"
#include "controls/DateUtils.h"

#include <functional>
#include <string>
#include <vector>

namespace velmoran {

enum class TYearDigits { dyDefault, dyFour, dyTwo };
enum class TCalendarStyle { csPopup, csDialog };
// May change the chosen date or refuse it.
using TAcceptDateEvent = std::function<void(QWidget* sender, TDateTime& date, bool& accept)>;

class TCustomDateEdit : public TCustomComboEdit {
public:
    explicit TCustomDateEdit(QWidget* parent = nullptr);
    ~TCustomDateEdit() override;

    // The text as a date: today (DefaultToday) or NullDate when it is none.
    TDateTime GetDate() const;
    // An invalid date or NullDate writes today (DefaultToday) or the empty text; Modified tells
    // whether the date changed.
    void SetDate(TDateTime date);
    // Raises EConvertError "''text'' ist kein gültiges Datum" and takes the focus back when the
    // text holds something that is no date; a date is written back in the format.
    void CheckValidDate();
    // CheckValidDate for a command that must wait for a date: false, after the message and with
    // the focus taken back, when the text is none.
    bool ConfirmDate();
    // The text is a date, or holds none at all (blanks and separators).
    bool HoldsDate() const;
    virtual void UpdateFormat();
    // SetDate, then the whole text selected with DirectInput.
    virtual void ApplyDate(TDateTime date);
    // The format the text is read and written in ("DD/MM/YYYY").
    const std::string& DateFormat() const { return dateFormat_; }

    char BlanksChar() const { return blanksChar_; }
    void SetBlanksChar(char blanks);
    const std::vector<std::string>& CalendarHints() const { return calendarHints_; }
    // Keeps the first four.
    void SetCalendarHints(const std::vector<std::string>& hints);
    bool CheckOnExit = false;
    bool DefaultToday = false;
    const std::string& DialogTitle() const { return dialogTitle_; }
    // The empty text brings back "Select a Date" at once, not after a reload: the dialog shows
    // that title for an empty one anyway.
    void SetDialogTitle(const std::string& title);
    ColorRef PopupColor() const { return popupColor_; }
    void SetPopupColor(ColorRef color);
    TDayOfWeekName StartOfWeek() const { return startOfWeek_; }
    void SetStartOfWeek(TDayOfWeekName day);
    TDaysOfWeek Weekends() const { return weekends_; }
    void SetWeekends(TDaysOfWeek days);
    ColorRef WeekendColor() const { return weekendColor_; }
    void SetWeekendColor(ColorRef color);
    TYearDigits YearDigits() const { return yearDigits_; }
    void SetYearDigits(TYearDigits digits);
    TCalendarStyle CalendarStyle() const { return Popup() ? TCalendarStyle::csPopup : TCalendarStyle::csDialog; }
    void SetCalendarStyle(TCalendarStyle style);
    // The text is worth storing: it holds more than blanks and separators.
    bool TextStored() const;

    TAcceptDateEvent OnAcceptDate;

    void ButtonClick() override;

protected:
    QImage GetDefaultGlyph() override;
    bool AcceptPopup(const QVariant& value) override;
    void AcceptValue(const QVariant& value) override;
    void SetPopupValue(const QVariant& value) override;
    bool HandsKeyToPopup(const QKeyEvent& event) const override;
    void Change() override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool FourDigits() const;
    void ValidateText(bool takeFocus);
    void RefreshPopup();
    std::string FormatDate(TDateTime date) const;
    TDateTime ValueToDate(const QVariant& value) const;

    char blanksChar_ = ' ';
    std::vector<std::string> calendarHints_;
    std::string dialogTitle_ = "Select a Date";
    ColorRef popupColor_;
    TDayOfWeekName startOfWeek_ = Mon;
    TDaysOfWeek weekends_ = DaySet(Sun);
    ColorRef weekendColor_ = RGBRef(255, 0, 0);
    TYearDigits yearDigits_ = TYearDigits::dyDefault;
    std::string dateFormat_;
    bool formatting_ = false;
    char maskSeparator_ = 0;
    int settingsListener_ = 0;
    TDateTime acceptedDate_ = NullDate;
    TPopupCalendar* popupCalendar_ = nullptr;
};

class TDateEdit : public TCustomDateEdit {
public:
    explicit TDateEdit(QWidget* parent = nullptr);
};

}  // namespace velmoran
