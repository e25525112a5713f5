// The month calendars: where the days fall, the header, month and year steps, the date elements,
// keys, clicks and a read-only calendar; the drop-down and the dialog around them.
#include "controls/Calendar.h"
#include "controls/DateDialogs.h"
#include "platform/Screen.h"
#include "platform/core/Exceptions.h"
#include "tests/support/ScriptedModals.h"
#include "tests/support/TestApp.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include <cstdlib>
#include <memory>

using namespace velmoran;

namespace {
class Calendar : public ::testing::Test {
protected:
    ScopedClock clock{EncodeDate(2026, 3, 17)};
    ScopedFormatSettings german{FormatSettings::German()};
};

class KeyCalendar : public TExCalendar {
public:
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {})
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
        keyPressEvent(&event);
    }
};
}  // namespace

TEST_F(Calendar, MarchWithMondayFirst)
{
    TExCalendar calendar;
    calendar.SetCalendarDate(EncodeDate(2026, 3, 17));
    EXPECT_EQ(calendar.StartOfWeek(), Mon);
    EXPECT_EQ(calendar.CellText(5, 1), "");
    EXPECT_EQ(calendar.CellText(6, 1), "1");
    EXPECT_EQ(calendar.CellText(0, 2), "2");
    EXPECT_EQ(calendar.CellText(1, 6), "31");
    EXPECT_EQ(calendar.CellText(2, 6), "");
    EXPECT_EQ(calendar.CellText(0, 0), "Mo");
    EXPECT_EQ(calendar.CellText(6, 0), "So");
    EXPECT_TRUE(calendar.IsWeekend(6));
    EXPECT_FALSE(calendar.IsWeekend(5));
    // The 17th is a Tuesday in the fourth week.
    EXPECT_EQ((TGridCoord{calendar.Col(), calendar.Row()}), (TGridCoord{1, 4}));
    // A month that starts on the first day of the week fills row 1 from column 0 (June 2026).
    calendar.SetCalendarDate(EncodeDate(2026, 6, 1));
    EXPECT_EQ(calendar.CellText(0, 1), "1");
    // Sunday first: March begins in column 0.
    calendar.SetCalendarDate(EncodeDate(2026, 3, 17));
    calendar.SetStartOfWeek(Sun);
    EXPECT_EQ(calendar.CellText(0, 1), "1");
    EXPECT_EQ(calendar.CellText(0, 0), "So");
    EXPECT_TRUE(calendar.IsWeekend(0));
}

TEST_F(Calendar, MonthAndYearStepsKeepTheDayWhereTheyCan)
{
    TExCalendar calendar;
    int changes = 0;
    calendar.OnChange = [&] { ++changes; };
    calendar.SetCalendarDate(EncodeDate(2026, 1, 31));
    calendar.NextMonth();
    EXPECT_EQ(calendar.CalendarDate(), EncodeDate(2026, 2, 28));
    calendar.SetCalendarDate(EncodeDate(2026, 4, 30));
    calendar.PrevMonth();
    EXPECT_EQ(calendar.CalendarDate(), EncodeDate(2026, 3, 30));
    calendar.SetCalendarDate(EncodeDate(2026, 12, 15));
    calendar.NextMonth();
    EXPECT_EQ(calendar.CalendarDate(), EncodeDate(2027, 1, 15));
    calendar.SetCalendarDate(EncodeDate(2024, 2, 29));
    calendar.NextYear();
    EXPECT_EQ(calendar.CalendarDate(), EncodeDate(2025, 2, 28));
    calendar.SetCalendarDate(EncodeDate(2024, 2, 29));
    calendar.PrevYear();
    EXPECT_EQ(calendar.CalendarDate(), EncodeDate(2023, 2, 28));
    EXPECT_GE(changes, 10);
}

TEST_F(Calendar, DateElementsIgnoreNoChangesAndRefuseAMissingLeapDay)
{
    TExCalendar calendar;
    EXPECT_TRUE(calendar.UseCurrentDate());
    EXPECT_EQ(calendar.CalendarDate(), EncodeDate(2026, 3, 17));
    int changes = 0;
    calendar.OnChange = [&] { ++changes; };
    calendar.SetDay(17);
    calendar.SetMonth(13);
    calendar.SetDay(0);
    calendar.SetDay(32);
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(calendar.UseCurrentDate());
    calendar.SetDay(31);
    calendar.SetMonth(4);
    EXPECT_EQ(calendar.CalendarDate(), EncodeDate(2026, 4, 30));
    EXPECT_FALSE(calendar.UseCurrentDate());
    EXPECT_EQ(changes, 2);
    calendar.SetCalendarDate(EncodeDate(2024, 2, 29));
    EXPECT_THROW(calendar.SetYear(2025), EConvertError);
    EXPECT_EQ(calendar.CalendarDate(), EncodeDate(2024, 2, 29));
    calendar.SetUseCurrentDate(true);
    EXPECT_EQ(calendar.CalendarDate(), EncodeDate(2026, 3, 17));
}

TEST_F(Calendar, KeysStepDaysAcrossMonthsAndTGivesToday)
{
    KeyCalendar calendar;
    calendar.SetCalendarDate(EncodeDate(2026, 3, 31));
    calendar.Key(Qt::Key_Right);
    EXPECT_EQ(calendar.CalendarDate(), EncodeDate(2026, 4, 1));
    EXPECT_EQ(calendar.CellText(calendar.Col(), calendar.Row()), "1");
    calendar.Key(Qt::Key_Minus, Qt::KeypadModifier, "-");
    EXPECT_EQ(calendar.CalendarDate(), EncodeDate(2026, 3, 31));
    // The keypad's plus goes on a day; its other keys, and the plain plus, do not step.
    calendar.Key(Qt::Key_Plus, Qt::KeypadModifier, "+");
    EXPECT_EQ(calendar.CalendarDate(), EncodeDate(2026, 4, 1));
    calendar.Key(Qt::Key_5, Qt::KeypadModifier, "5");
    calendar.Key(Qt::Key_Plus, Qt::NoModifier, "+");
    EXPECT_EQ(calendar.CalendarDate(), EncodeDate(2026, 4, 1));
    calendar.Key(Qt::Key_Minus, Qt::KeypadModifier, "-");
    EXPECT_EQ(calendar.CalendarDate(), EncodeDate(2026, 3, 31));
    calendar.Key(Qt::Key_Left);
    EXPECT_EQ(calendar.CalendarDate(), EncodeDate(2026, 3, 30));
    // Up follows the grid: a week back.
    calendar.Key(Qt::Key_Up);
    EXPECT_EQ(calendar.CalendarDate(), EncodeDate(2026, 3, 23));
    calendar.Key(Qt::Key_T, Qt::NoModifier, "t");
    EXPECT_EQ(calendar.CalendarDate(), EncodeDate(2026, 3, 17));
}

TEST_F(Calendar, ClicksPickDaysUnlessReadOnlyOrEmpty)
{
    TLocCalendar calendar;
    calendar.resize(187, 106);
    calendar.show();
    EXPECT_EQ(calendar.focusPolicy(), Qt::NoFocus);
    calendar.SetCalendarDate(EncodeDate(2026, 3, 17));
    auto click = [&](int col, int row) {
        const TRect r = calendar.CellRect(col, row);
        const QPointF p(r.Left + 2, r.Top + 2);
        QMouseEvent press(QEvent::MouseButtonPress, p, p, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(calendar.viewport(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, p, p, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(calendar.viewport(), &release);
    };
    click(3, 2);
    EXPECT_EQ(calendar.CalendarDate(), EncodeDate(2026, 3, 5));
    click(0, 1);  // empty cell before the first
    EXPECT_EQ(calendar.CalendarDate(), EncodeDate(2026, 3, 5));
    calendar.SetReadOnly(true);
    click(4, 4);
    EXPECT_EQ(calendar.CalendarDate(), EncodeDate(2026, 3, 5));
    // Read-only still follows the date.
    calendar.SetCalendarDate(EncodeDate(2026, 3, 20));
    EXPECT_EQ(calendar.CellText(calendar.Col(), calendar.Row()), "20");
}

// The drop-down's calendar frames today, also on the month's first and last day.
TEST_F(Calendar, TodaysFrameAlsoOnTheFirstAndTheLastOfTheMonth)
{
    TLocCalendar calendar;
    calendar.resize(187, 106);
    calendar.show();
    for (const int day : {1, 31}) {
        ScopedClock today(EncodeDate(2026, 3, day));
        calendar.SetCalendarDate(EncodeDate(2026, 3, 17));
        const TRect r = day == 1 ? calendar.CellRect(6, 1) : calendar.CellRect(1, 6);
        const TRect before = day == 1 ? calendar.CellRect(5, 1) : calendar.CellRect(0, 6);
        const QImage shot = calendar.viewport()->grab().toImage();
        EXPECT_EQ(shot.pixel(r.Left, r.Top + 3), 0xFF808080u) << day;  // the shadow on its left
        EXPECT_NE(shot.pixel(before.Left, before.Top + 3), 0xFF808080u) << day;
    }
}

// --- The drop-down and the dialog ---

TEST_F(Calendar, ThePopupShowsTodayForABlankTextAndStepsByPages)
{
    TCustomComboEdit edit;
    TPopupCalendar popup(&edit);
    EXPECT_EQ(popup.size(), QSize(187, 124));
    // The buttons' hints are the German ones of the string table, in both calendar windows.
    const std::vector<std::string> german{"Voriges Jahr|", "Voriger Monat|", "Nächster Monat|", "Nächstes Jahr|"};
    TSelectDateDlg dialog;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(popup.NavigationButton(i)->Hint(), german[static_cast<std::size_t>(i)]);
        EXPECT_EQ(dialog.NavigationButton(i)->Hint(), german[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(popup.NavigationButton(3)->geometry(), QRect(170, -1, 14, 14));
    // Its panel is button face, also in the gap between the buttons and the calendar.
    EXPECT_EQ(popup.grab().toImage().pixel(6, 15) & 0xFFFFFFu, 0xC0C0C0u);
    popup.SetValue(QString("17.03.2002"));
    EXPECT_EQ(popup.GetValue().toDouble(), EncodeDate(2002, 3, 17));
    popup.SetValue(QString("  .  .    "));
    EXPECT_EQ(popup.GetValue().toDouble(), EncodeDate(2026, 3, 17));
    EXPECT_EQ(popup.Title()->text(), "März, 2026");
    popup.SetValue(QString("31.02.2002"));
    EXPECT_EQ(popup.GetValue().toDouble(), EncodeDate(2026, 3, 17));
    popup.SetValue(QVariant());
    EXPECT_EQ(popup.GetValue().toDouble(), EncodeDate(2026, 3, 17));

    // Keys the edit hands on: pages step months, Ctrl+pages years, the rest reach the calendar.
    auto deliver = [&](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {}) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
        popup.DeliverKey(&event);
    };
    deliver(Qt::Key_PageDown);
    EXPECT_EQ(popup.Title()->text(), "April, 2026");
    deliver(Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(popup.GetValue().toDouble(), EncodeDate(2025, 4, 17));
    deliver(Qt::Key_Right);
    EXPECT_EQ(popup.GetValue().toDouble(), EncodeDate(2025, 4, 18));
    deliver(Qt::Key_T, Qt::NoModifier, "t");
    EXPECT_EQ(popup.GetValue().toDouble(), EncodeDate(2026, 3, 17));
    popup.NavigationButton(3)->Click();
    EXPECT_EQ(popup.Title()->text(), "März, 2027");
}

TEST_F(Calendar, AClickOnADayClosesThePopupAccepting)
{
    TCustomComboEdit edit;
    TPopupCalendar popup(&edit);
    std::vector<bool> closed;
    popup.OnCloseUp = [&](TPopupWindow*, bool accept) { closed.push_back(accept); };
    popup.SetValue(QVariant(EncodeDate(2026, 3, 17)));
    popup.show();
    TLocCalendar* calendar = popup.Calendar();
    const TRect empty = calendar->CellRect(0, 1);
    QTest::mouseClick(calendar->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(empty.Left + 2, empty.Top + 2));
    EXPECT_TRUE(closed.empty());
    const TRect fifth = calendar->CellRect(3, 2);
    QTest::mouseClick(calendar->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(fifth.Left + 2, fifth.Top + 2));
    EXPECT_EQ(closed, std::vector<bool>{true});
    EXPECT_EQ(popup.GetValue().toDouble(), EncodeDate(2026, 3, 5));
}

TEST_F(Calendar, SelectDateRunsTheDialogThroughTheModalRunner)
{
    ScriptedModalRunner runner;
    TDateTime date = EncodeDate(2026, 1, 31);
    runner.Expect([](QWidget& window) {
        auto* dialog = dynamic_cast<TSelectDateDlg*>(&window);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->size(), QSize(222, 154));
        EXPECT_EQ(dialog->Title()->text(), "Januar, 2026");
        QTest::keyClick(dialog->Calendar(), Qt::Key_PageDown, Qt::ControlModifier);
        EXPECT_EQ(dialog->Title()->text(), "Januar, 2027");
        QTest::keyClick(dialog->Calendar(), Qt::Key_Tab);
        EXPECT_EQ(dialog->Date(), EncodeDate(2027, 2, 28));
        QTest::keyClick(dialog->Calendar(), Qt::Key_Return);
    });
    EXPECT_TRUE(SelectDate(date, "Datum wählen"));
    EXPECT_EQ(date, EncodeDate(2027, 2, 28));
    EXPECT_EQ(runner.Shown().back(), "Datum wählen");

    runner.Expect([](QWidget& window) {
        QTest::keyClick(window.findChild<TExCalendar*>("Calendar"), Qt::Key_PageUp);
        QTest::keyClick(window.findChild<TExCalendar*>("Calendar"), Qt::Key_Escape);
    }, QDialog::Accepted);
    EXPECT_FALSE(SelectDate(date));
    EXPECT_EQ(date, EncodeDate(2027, 2, 28));
    EXPECT_EQ(runner.Shown().back(), "Select a Date");

    // An empty date opens on today; the OK button ends it.
    date = NullDate;
    runner.Expect([](QWidget& window) { QTest::mouseClick(window.findChild<QPushButton*>("OK"), Qt::LeftButton); });
    EXPECT_TRUE(SelectDate(date));
    EXPECT_EQ(date, EncodeDate(2026, 3, 17));
}

TEST_F(Calendar, WindowsScaleWithTheScreenAndTakeHints)
{
    ScopedScreenPixelsPerInch large(120);
    std::unique_ptr<TSelectDateDlg> dialog(CreateDateDialog(""));
    EXPECT_EQ(dialog->size(), QSize(278, 193));
    EXPECT_EQ(dialog->windowTitle(), "Select a Date");
    TCustomComboEdit edit;
    TPopupCalendar* popup = CreatePopupCalendar(&edit);
    EXPECT_EQ(popup->size(), QSize(234, 155));
    SetupPopupCalendar(popup, Sun, DaySet(Sat) | DaySet(Sun), RGBRef(0, 0, 255), {"Jahr zurück|", "", "Monat vor|"});
    EXPECT_EQ(popup->Calendar()->StartOfWeek(), Sun);
    EXPECT_TRUE(popup->Calendar()->IsWeekend(6));
    EXPECT_EQ(popup->NavigationButton(0)->Hint(), "Jahr zurück|");
    EXPECT_EQ(popup->NavigationButton(1)->Hint(), "Voriger Monat|");
    EXPECT_EQ(popup->NavigationButton(2)->Hint(), "Monat vor|");
    // A combo edit without a drop-down, or with one that is no calendar, has nothing to set up.
    SetupPopupCalendar(nullptr, Mon, DaySet(Sun), RGBRef(255, 0, 0), {});
    EXPECT_EQ(popup->Calendar()->StartOfWeek(), Sun);
}

// On a screen other than 96 ppi the drop-down is laid out at 96 ppi and scaled once: its "next"
// buttons stay at the right end of the top panel, inside the popup, and the title stays in the
// middle. Scaling the already scaled width again put both buttons outside the popup.
TEST_F(Calendar, PopupButtonsAndTitleKeepTheirPlacesAtOtherResolutions)
{
    struct Case {
        int Ppi;
        QSize Popup;
        QRect Buttons[4];
        QRect Title;
    };
    // 96 ppi: buttons 14 wide at -1, 12, 157 and 170; the title 125 wide at 29; the popup 187 × 124.
    const Case cases[] = {
        {120, {234, 155}, {{-1, -1, 18, 18}, {15, -1, 18, 18}, {196, -1, 18, 18}, {213, -1, 18, 18}}, {36, 1, 156, 18}},
        {144, {281, 186}, {{-2, -2, 21, 21}, {18, -2, 21, 21}, {236, -2, 21, 21}, {255, -2, 21, 21}}, {44, 2, 188, 21}},
    };
    for (const Case& c : cases) {
        ScopedScreenPixelsPerInch screen(c.Ppi);
        TCustomComboEdit edit;
        std::unique_ptr<TPopupCalendar> popup(CreatePopupCalendar(&edit));
        EXPECT_EQ(popup->size(), c.Popup) << c.Ppi;
        for (int i = 0; i < 4; ++i) {
            TExTimerSpeedButton* button = popup->NavigationButton(i);
            EXPECT_EQ(button->geometry(), c.Buttons[i]) << c.Ppi << " button " << i;
            const QRect inPopup(button->mapTo(popup.get(), QPoint()), button->size());
            EXPECT_LE(inPopup.right(), popup->width() - 1) << c.Ppi << " button " << i;
        }
        EXPECT_EQ(popup->Title()->geometry(), c.Title) << c.Ppi;
        // The title's middle is the popup's, within the pixel the 96 ppi layout leaves.
        const int middle = popup->Title()->mapTo(popup.get(), QPoint(popup->Title()->width() / 2, 0)).x();
        EXPECT_LE(std::abs(middle - popup->width() / 2), 2) << c.Ppi;
    }
}
