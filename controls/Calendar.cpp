// The month calendars: grid arithmetic, date steps, keys and drawing.
#include "controls/Calendar.h"

#include "platform/SystemColors.h"
#include "platform/core/CodePage.h"
#include "platform/core/Exceptions.h"
#include "platform/core/ScopeExit.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <cmath>

namespace velmoran {

int DayOfWeek(TDateTime date)
{
    const long long days = static_cast<long long>(std::floor(date)) + kDateDelta;
    return static_cast<int>(((days % 7) + 7) % 7) + 1;
}

TExCalendar::TExCalendar(QWidget* parent) : TCustomGrid(parent), date_(Date())
{
    SetFixedCols(0);
    SetColCount(7);
    SetRowCount(7);
    SetFixedRows(1);
    SetScrollBars(TScrollStyle::None);
    SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goDrawFocusSelected);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    UpdateCalendar();
}

int TExCalendar::Day() const
{
    int y = 0, m = 0, d = 0;
    DecodeDate(date_, y, m, d);
    return d;
}

int TExCalendar::Month() const
{
    int y = 0, m = 0, d = 0;
    DecodeDate(date_, y, m, d);
    return m;
}

int TExCalendar::Year() const
{
    int y = 0, m = 0, d = 0;
    DecodeDate(date_, y, m, d);
    return y;
}

void TExCalendar::Changed()
{
    if (OnChange)
        OnChange();
}

void TExCalendar::SetCalendarDate(TDateTime date)
{
    if (date == date_)
        return;
    date_ = date;
    UpdateCalendar();
    Changed();
}

void TExCalendar::SetStartOfWeek(TDayOfWeekName day)
{
    if (day == startOfWeek_)
        return;
    startOfWeek_ = day;
    UpdateCalendar();
}

void TExCalendar::SetWeekends(TDaysOfWeek days)
{
    if (days == weekends_)
        return;
    weekends_ = days;
    UpdateCalendar();
}

void TExCalendar::SetWeekendColor(ColorRef color)
{
    if (color == weekendColor_)
        return;
    weekendColor_ = color;
    InvalidateGrid();
}

void TExCalendar::SetUseCurrentDate(bool value)
{
    if (value == useCurrentDate_)
        return;
    useCurrentDate_ = value;
    if (value) {
        date_ = Date();
        UpdateCalendar();
    }
}

void TExCalendar::ChangeDateElement(int index, int value)
{
    if (value < 1)
        return;
    int year = 0, month = 0, day = 0;
    DecodeDate(date_, year, month, day);
    switch (index) {
    case 1:
        if (value == year)
            return;
        year = value;
        break;
    case 2:
        if (value > 12 || value == month)
            return;
        month = value;
        day = std::min(day, DaysPerMonth(year, month));
        break;
    case 3:
        if (value > DaysThisMonth() || value == day)
            return;
        day = value;
        break;
    default:
        return;
    }
    // EncodeDate raises for 29 February in a common year, before anything changed.
    date_ = EncodeDate(year, month, day);
    useCurrentDate_ = false;
    UpdateCalendar(index == 3);
    Changed();
}

int TExCalendar::DaysThisMonth() const
{
    return DaysPerMonth(Year(), Month());
}

void TExCalendar::UpdateCalendar(bool dayOnly)
{
    ScopedValue<bool> updating(updating_, true);
    int year = 0, month = 0, day = 0;
    DecodeDate(date_, year, month, day);
    const int weekday = DayOfWeek(EncodeDate(year, month, 1));
    monthOffset_ = 2 - ((weekday - static_cast<int>(startOfWeek_) + 7) % 7);
    if (monthOffset_ == 2)
        monthOffset_ = -5;
    MoveCurrent((day - monthOffset_) % 7, (day - monthOffset_) / 7 + 1);
    if (!dayOnly)
        InvalidateGrid();
}

std::string TExCalendar::CellText(int col, int row) const
{
    if (row == 0)
        return FormatSettings::Current().ShortDayNames[(static_cast<int>(startOfWeek_) + col) % 7];
    const int day = monthOffset_ + col + (row - 1) * 7;
    if (day < 1 || day > DaysThisMonth())
        return {};
    return std::to_string(day);
}

TDateTime TExCalendar::CellDate(int col, int row) const
{
    if (row < 1)
        return NullDate;
    const int day = monthOffset_ + col + (row - 1) * 7;
    if (day < 1 || day > DaysThisMonth())
        return NullDate;
    return EncodeDate(Year(), Month(), day);
}

bool TExCalendar::IsWeekend(int col) const
{
    return weekends_ & (1u << ((static_cast<int>(startOfWeek_) + col) % 7));
}

bool TExCalendar::SelectCell(int col, int row)
{
    if (!updating_ && (readOnly_ || CellText(col, row).empty()))
        return false;
    if (!TCustomGrid::SelectCell(col, row))
        return false;
    // The user picked a day: it becomes the date, which also moves the selection.
    if (!updating_)
        SetDay(std::stoi(CellText(col, row)));
    return true;
}

void TExCalendar::ChangeMonth(int step)
{
    int year = 0, month = 0, day = 0;
    DecodeDate(date_, year, month, day);
    const TDateTime edge = step < 0 ? EncodeDate(year, month, 1) : EncodeDate(year, month, DaysPerMonth(year, month));
    int y = 0, m = 0, d = 0;
    DecodeDate(edge + step, y, m, d);
    const int days = DaysPerMonth(y, m);
    SetCalendarDate(EncodeDate(y, m, day < days ? day : days));
}

void TExCalendar::NextYear()
{
    if (IsLeapYear(Year()) && Month() == 2 && Day() == 29)
        SetDay(28);
    SetYear(Year() + 1);
}

void TExCalendar::PrevYear()
{
    if (IsLeapYear(Year()) && Month() == 2 && Day() == 29)
        SetDay(28);
    SetYear(Year() - 1);
}

void TExCalendar::keyPressEvent(QKeyEvent* event)
{
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    const bool shifted = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    int step = 0;
    if (!shifted) {
        if (event->key() == Qt::Key_Left || (keypad && event->key() == Qt::Key_Minus))
            step = -1;
        else if (event->key() == Qt::Key_Right || (keypad && event->key() == Qt::Key_Plus))
            step = 1;
    }
    if (step) {
        const int day = Day() + step;
        if (day >= 1 && day <= DaysThisMonth())
            SetDay(day);
        else
            SetCalendarDate(date_ + step);
        return;
    }
    if (event->text() == "t" || event->text() == "T") {
        SetCalendarDate(std::floor(Now()));
        return;
    }
    TCustomGrid::keyPressEvent(event);
}

void TExCalendar::resizeEvent(QResizeEvent* event)
{
    const int width = viewport()->width();
    const int height = viewport()->height();
    const bool lines = Options() & (goVertLine | goFixedVertLine);
    SetDefaultColWidth(lines ? (width - 6 * GridLineWidth()) / 7 : width / 7);
    SetDefaultRowHeight((height - 6 * GridLineWidth()) / 7);
    TCustomGrid::resizeEvent(event);
}

void TExCalendar::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (OnDblClick)
        OnDblClick();
    TCustomGrid::mouseDoubleClickEvent(event);
}

void TExCalendar::DrawCell(Canvas& canvas, int col, int row, const TRect& rect, unsigned state)
{
    const std::u16string text = Utf8ToWide(CellText(col, row));
    canvas.SetBkMode(BkMode::Transparent);
    ColorRef color = (state & gdSelected) ? SystemColor(COLOR_HIGHLIGHTTEXT) : SystemColor(COLOR_WINDOWTEXT);
    if (IsWeekend(col) && !(state & gdSelected))
        color = weekendColor_;
    canvas.SetTextColor(color);
    const TextSize size = canvas.TextExtent(text);
    canvas.TextOut(rect.Left + (rect.Width() - size.cx) / 2, rect.Top + (rect.Height() - size.cy) / 2, text);
}

TLocCalendar::TLocCalendar(QWidget* parent) : TExCalendar(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setFrameStyle(QFrame::NoFrame);
    SetUseCurrentDate(false);
    SetOptions(goFixedHorzLine);
}

void TLocCalendar::DrawCell(Canvas& canvas, int col, int row, const TRect& rect, unsigned state)
{
    TExCalendar::DrawCell(canvas, col, row, rect, state);
    if (CellDate(col, row) == NullDate || CellDate(col, row) != Date())
        return;
    // Today sits in a sunken frame.
    canvas.FillRect(TRect{rect.Left, rect.Top, rect.Right, rect.Top + 1}, SystemColor(COLOR_BTNSHADOW));
    canvas.FillRect(TRect{rect.Left, rect.Top, rect.Left + 1, rect.Bottom}, SystemColor(COLOR_BTNSHADOW));
    canvas.FillRect(TRect{rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom}, SystemColor(COLOR_BTNHIGHLIGHT));
    canvas.FillRect(TRect{rect.Right - 1, rect.Top, rect.Right, rect.Bottom}, SystemColor(COLOR_BTNHIGHLIGHT));
}

}  // namespace velmoran
