// The month calendar drawn on our grid: a header row of short day names and six rows of day
// numbers, the week starting on a chosen day, weekends in their own colour. TExCalendar is the
// framed calendar of the date dialog; TLocCalendar the borderless one of the drop-down, which
// never takes the focus but still gets the mouse and frames today.
#pragma once

#include "controls/DateUtils.h"
#include "platform/Grid.h"

#include <functional>
#include <string>

namespace velmoran {

class TExCalendar : public TCustomGrid {
public:
    explicit TExCalendar(QWidget* parent = nullptr);

    TDateTime CalendarDate() const { return date_; }
    void SetCalendarDate(TDateTime date);
    int Day() const;
    void SetDay(int day) { ChangeDateElement(3, day); }
    int Month() const;
    void SetMonth(int month) { ChangeDateElement(2, month); }
    int Year() const;
    // Raises EConvertError when 29 February would fall into a common year; the date stays.
    void SetYear(int year) { ChangeDateElement(1, year); }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }
    TDayOfWeekName StartOfWeek() const { return startOfWeek_; }
    void SetStartOfWeek(TDayOfWeekName day);
    bool UseCurrentDate() const { return useCurrentDate_; }
    void SetUseCurrentDate(bool value);
    TDaysOfWeek Weekends() const { return weekends_; }
    void SetWeekends(TDaysOfWeek days);
    ColorRef WeekendColor() const { return weekendColor_; }
    void SetWeekendColor(ColorRef color);

    void NextMonth() { ChangeMonth(1); }
    void PrevMonth() { ChangeMonth(-1); }
    void NextYear();
    void PrevYear();
    // Repositions the selection on the shown date and redraws.
    virtual void UpdateCalendar(bool dayOnly = false);
    std::string CellText(int col, int row) const;
    int DaysThisMonth() const;
    bool IsWeekend(int col) const;

    std::function<void()> OnChange;

protected:
    bool SelectCell(int col, int row) override;
    void DrawCell(Canvas& canvas, int col, int row, const TRect& rect, unsigned state) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // The date the cell shows, or NullDate.
    TDateTime CellDate(int col, int row) const;

public:
    std::function<void()> OnDblClick;

private:
    void ChangeDateElement(int index, int value);
    void ChangeMonth(int step);
    void Changed();

    TDateTime date_;
    bool readOnly_ = false;
    TDayOfWeekName startOfWeek_ = Mon;
    bool useCurrentDate_ = true;
    TDaysOfWeek weekends_ = DaySet(Sun);
    ColorRef weekendColor_ = RGBRef(255, 0, 0);
    int monthOffset_ = 0;
    bool updating_ = false;
};

class TLocCalendar : public TExCalendar {
public:
    explicit TLocCalendar(QWidget* parent = nullptr);

protected:
    void DrawCell(Canvas& canvas, int col, int row, const TRect& rect, unsigned state) override;
};

// The weekday of a date, 1 (Sunday) to 7 (Saturday).
int DayOfWeek(TDateTime date);

}  // namespace velmoran
