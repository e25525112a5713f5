// The calendar's windows: the drop-down of the date field (TPopupCalendar: a title, four
// navigation buttons and the borderless calendar), the modal date dialog (TSelectDateDlg, run
// through Modals()) with SelectDate, and the navigation button that repeats while held down.
#pragma once

#include "controls/Calendar.h"
#include "controls/ComboEdit.h"
#include "controls/SpeedButton.h"

#include <QDialog>

#include <array>
#include <string>
#include <vector>

class QLabel;
class QPushButton;

namespace velmoran {

// A speed button in the Windows 3.1 look whose click repeats while it is held down.
class TExTimerSpeedButton : public TExSpeedButton {
public:
    explicit TExTimerSpeedButton(QWidget* parent = nullptr);
};

// The hints of the navigation buttons from the string table, in the buttons' order: previous
// year, previous month, next month, next year.
std::array<std::string, 4> CalendarButtonHints();
// The title of a calendar: "März, 2026".
std::string CalendarTitle(TDateTime date);
// The standard dialog font: "MS Sans Serif", 8 points.
TFont StandardDialogFont();

class TPopupCalendar : public TPopupWindow {
public:
    explicit TPopupCalendar(TCustomComboEdit* editor);

    QVariant GetValue() const override;
    // An empty, blank or separator-only text, a null value or one that is no date shows today.
    void SetValue(const QVariant& value) override;

    TLocCalendar* Calendar() const { return calendar_; }
    QLabel* Title() const { return title_; }
    // The colour of the whole popup: its panels and the calendar's day and header cells.
    void SetColor(ColorRef color);
    // Previous year, previous month, next month, next year.
    TExTimerSpeedButton* NavigationButton(int index) const { return buttons_[static_cast<std::size_t>(index)]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateTitle();

    QWidget* back_ = nullptr;
    QWidget* top_ = nullptr;
    TLocCalendar* calendar_ = nullptr;
    QLabel* title_ = nullptr;
    std::array<TExTimerSpeedButton*, 4> buttons_{};
};

// Creates the drop-down of a date field, scaled to the screen's pixels per inch.
TPopupCalendar* CreatePopupCalendar(TCustomComboEdit* editor, bool rightToLeft = false);
// Sets the calendar's week, weekends and colour and the buttons' non-empty hints.
void SetupPopupCalendar(TPopupWindow* popup, TDayOfWeekName startOfWeek, TDaysOfWeek weekends,
                        ColorRef weekendColor, const std::vector<std::string>& hints);

class TSelectDateDlg : public QDialog {
public:
    explicit TSelectDateDlg(QWidget* parent = nullptr);

    TDateTime Date() const { return calendar_->CalendarDate(); }
    // NullDate shows today.
    void SetDate(TDateTime date);
    TExCalendar* Calendar() const { return calendar_; }
    QLabel* Title() const { return title_; }
    TExTimerSpeedButton* NavigationButton(int index) const { return buttons_[static_cast<std::size_t>(index)]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The dialog's keys (it sees them before its controls); true when taken.
    bool HandleKey(QKeyEvent* event);
    void UpdateTitle();

    QWidget* top_ = nullptr;
    TExCalendar* calendar_ = nullptr;
    QLabel* title_ = nullptr;
    std::array<TExTimerSpeedButton*, 4> buttons_{};
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

// Creates the dialog with the caption ("Select a Date" when empty), scaled and centred on the
// screen of the active window.
TSelectDateDlg* CreateDateDialog(const std::string& caption);
// Shows the date dialog modally; OK replaces date with the chosen one and answers true.
bool SelectDate(TDateTime& date, const std::string& caption = {}, TDayOfWeekName startOfWeek = Mon,
                TDaysOfWeek weekends = DaySet(Sun), ColorRef weekendColor = RGBRef(255, 0, 0),
                const std::vector<std::string>& hints = {});

}  // namespace velmoran
