// The date field: format and mask, blank and null dates, Modified, OnChange, the keys, the popup,
// the dialog style, the check on leaving and reformatting when the format settings change.
#include "controls/DateEdit.h"
#include "platform/core/Exceptions.h"
#include "tests/controls/DateFixture.h"
#include "tests/support/ScriptedModals.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TestApp.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace velmoran;

namespace {
class KeyDateEdit : public TDateEdit {
public:
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {})
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
        keyPressEvent(&event);
    }
};
}  // namespace

TEST_F(DateEdit, FormatMaskAndTheBlankDate)
{
    TDateEdit edit;
    edit.SetYearDigits(TYearDigits::dyFour);
    EXPECT_EQ(edit.DateFormat(), "DD/MM/YYYY");
    EXPECT_EQ(edit.EditMask(), "!99/99/9999;1; ");
    EXPECT_EQ(edit.CalendarStyle(), TCalendarStyle::csPopup);
    EXPECT_EQ(edit.DialogTitle(), "Select a Date");
    EXPECT_EQ(edit.GetDate(), NullDate);
    EXPECT_FALSE(edit.TextStored());
    edit.DefaultToday = true;
    EXPECT_EQ(edit.GetDate(), EncodeDate(2026, 3, 17));
    edit.SetDate(EncodeDate(2002, 3, 17));
    EXPECT_EQ(edit.Text(), "17.03.2002");
    EXPECT_TRUE(edit.TextStored());
    edit.SetDate(NullDate);
    EXPECT_EQ(edit.Text(), "17.03.2026");
    edit.DefaultToday = false;
    edit.SetDate(NullDate);
    EXPECT_EQ(edit.GetDate(), NullDate);
    edit.SetDate(1e12);
    EXPECT_EQ(edit.GetDate(), NullDate);
    edit.SetYearDigits(TYearDigits::dyTwo);
    edit.SetDate(EncodeDate(2002, 3, 17));
    EXPECT_EQ(edit.Text(), "17.03.02");
    EXPECT_EQ(edit.GetDate(), EncodeDate(2002, 3, 17));
    edit.SetCalendarHints({"a", "b", "c", "d", "e", "f"});
    EXPECT_EQ(edit.CalendarHints().size(), 4u);
    edit.SetDialogTitle("");
    EXPECT_EQ(edit.DialogTitle(), "Select a Date");
}

TEST_F(DateEdit, ModifiedOnlyForANewDateAndOnChangeForEveryText)
{
    TDateEdit edit;
    int changes = 0;
    edit.OnChange = [&](QWidget*) { ++changes; };
    edit.SetDate(EncodeDate(2002, 3, 17));
    EXPECT_TRUE(edit.Modified());
    EXPECT_GE(changes, 1);
    const int before = changes;
    edit.SetDate(EncodeDate(2002, 3, 17));
    EXPECT_FALSE(edit.Modified());
    edit.SetDate(EncodeDate(2002, 3, 18));
    EXPECT_TRUE(edit.Modified());
    EXPECT_GT(changes, before);
}

TEST_F(DateEdit, KeypadStepsAndTGivesTodayWithDirectInputOnly)
{
    KeyDateEdit edit;
    edit.Key(Qt::Key_Plus, Qt::KeypadModifier, "+");
    EXPECT_EQ(edit.GetDate(), EncodeDate(2026, 3, 18));
    edit.Key(Qt::Key_Minus, Qt::KeypadModifier, "-");
    edit.Key(Qt::Key_Minus, Qt::KeypadModifier, "-");
    EXPECT_EQ(edit.GetDate(), EncodeDate(2026, 3, 16));
    edit.Key(Qt::Key_Plus, Qt::NoModifier, "+");
    EXPECT_EQ(edit.Text(), "16.03.2026");
    edit.Key(Qt::Key_T, Qt::NoModifier, "t");
    EXPECT_EQ(edit.GetDate(), EncodeDate(2026, 3, 17));
    edit.SetDate(NullDate);
    edit.SetDirectInput(false);
    edit.Key(Qt::Key_T, Qt::NoModifier, "t");
    EXPECT_EQ(edit.GetDate(), NullDate);
}

TEST_F(DateEdit, ThePopupOpensOnTodayAndHandsBackTheChosenDate)
{
    TDateEdit edit;
    edit.show();
    int accepted = 0;
    int changed = 0;
    edit.OnAcceptDate = [&](QWidget*, TDateTime& date, bool& accept) {
        ++accepted;
        accept = date != EncodeDate(2026, 4, 1);
    };
    edit.OnChange = [&](QWidget*) { ++changed; };
    edit.PopupDropDown(false);
    ASSERT_TRUE(edit.PopupVisible());
    auto* popup = dynamic_cast<TPopupCalendar*>(edit.Popup());
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->GetValue().toDouble(), EncodeDate(2026, 3, 17));
    QTest::keyClick(&edit, Qt::Key_Right);
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(edit.Text(), "18.03.2026");
    EXPECT_TRUE(edit.Modified());
    // The chosen date is the field's change.
    EXPECT_EQ(changed, 1);
    // A refused date leaves the text.
    edit.SetDate(EncodeDate(2026, 3, 31));
    edit.PopupDropDown(false);
    QTest::keyClick(&edit, Qt::Key_Right);
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(edit.Text(), "31.03.2026");
    EXPECT_EQ(accepted, 2);
}

TEST_F(DateEdit, TheDialogStyleAsksThroughTheModalRunner)
{
    ScriptedModalRunner runner;
    TDateEdit edit;
    edit.SetCalendarStyle(TCalendarStyle::csDialog);
    EXPECT_EQ(edit.Popup(), nullptr);
    edit.SetDialogTitle("Datum wählen");
    edit.SetDate(EncodeDate(2002, 3, 17));
    runner.Expect([](QWidget& window) {
        auto& dialog = dynamic_cast<TSelectDateDlg&>(window);
        EXPECT_EQ(dialog.Date(), EncodeDate(2002, 3, 17));
        QTest::keyClick(dialog.Calendar(), Qt::Key_PageDown);
        QTest::keyClick(dialog.Calendar(), Qt::Key_Return);
    });
    edit.ButtonClick();
    EXPECT_EQ(edit.Text(), "17.04.2002");
    EXPECT_EQ(runner.Shown().back(), "Datum wählen");
}

TEST_F(DateEdit, LeavingWithNoDateQueuesOneMessageAndKeepsTheFocus)
{
    ScriptedPromptService prompts;
    QWidget window;
    auto* edit = new TDateEdit(&window);
    auto* other = new QLineEdit(&window);
    other->move(0, 40);
    edit->CheckOnExit = true;
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
    edit->SetText("31.02.2002");
    other->setFocus();
    // Nothing inside the focus change itself.
    EXPECT_TRUE(prompts.Messages().empty());
    QCoreApplication::processEvents();
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0].Text, "''31.02.2002'' ist kein gültiges Datum");
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_THROW(edit->CheckValidDate(), EConvertError);

    // A date is written back in the format when the focus leaves.
    edit->SetText("3 .4 .2026");
    other->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(edit->Text(), "03.04.2026");
}

TEST_F(DateEdit, AFormatChangeReformatsTheText)
{
    TDateEdit edit;
    edit.SetDate(EncodeDate(2002, 3, 17));
    FormatSettings slashes = FormatSettings::German();
    slashes.DateSeparator = '/';
    {
        ScopedFormatSettings scoped(slashes);
        EXPECT_EQ(edit.Text(), "17/03/2002");
        EXPECT_EQ(edit.GetDate(), EncodeDate(2002, 3, 17));
    }
    EXPECT_EQ(edit.Text(), "17.03.2002");
    // Not when the program does not follow the settings.
    slashes.FollowFormatSettings = false;
    ScopedFormatSettings scoped(slashes);
    EXPECT_EQ(edit.Text(), "17.03.2002");
}

// A stored form may give the date field any height: it is raised to what its text needs.
TEST_F(DateEdit, AStoredLowHeightIsRaised)
{
    TDateEdit edit;
    edit.resize(121, 5);
    EXPECT_EQ(edit.width(), 121);
    EXPECT_EQ(edit.height(), edit.MinimumHeight());
    EXPECT_GT(edit.height(), 5);
}

// Clicks into the popup's calendar: the day names and an empty cell leave it open; a day of the
// first week closes it with that date; a click with Shift or the right button changes nothing.
TEST_F(DateEdit, ClicksIntoThePopupCalendarChooseOnlyDays)
{
    TDateEdit edit;
    edit.show();
    edit.PopupDropDown(false);
    auto* popup = dynamic_cast<TPopupCalendar*>(edit.Popup());
    ASSERT_NE(popup, nullptr);
    TLocCalendar* calendar = popup->Calendar();
    QWidget* view = calendar->viewport();
    const auto centre = [&](int col, int row) {
        const TRect r = calendar->CellRect(col, row);
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    };
    int firstDay = -1;
    int emptyDay = -1;
    for (int col = 0; col < 7; ++col) {
        if (calendar->CellText(col, 1).empty())
            emptyDay = col;
        else if (firstDay < 0)
            firstDay = col;
    }
    ASSERT_GE(firstDay, 0);
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, centre(3, 0));
    EXPECT_TRUE(edit.PopupVisible());
    if (emptyDay >= 0) {
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, centre(emptyDay, 1));
        EXPECT_TRUE(edit.PopupVisible());
    }
    QTest::mouseClick(view, Qt::LeftButton, Qt::ShiftModifier, centre(firstDay, 1));
    EXPECT_TRUE(edit.PopupVisible());
    QTest::mouseClick(view, Qt::RightButton, Qt::NoModifier, centre(firstDay, 1));
    EXPECT_TRUE(edit.PopupVisible());
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, centre(firstDay, 1));
    EXPECT_FALSE(edit.PopupVisible());
    EXPECT_EQ(edit.Text(), "01.03.2026");
}

// The popup's title: a click leaves the popup open (its release fell through to the popup, which
// closed it taking the month it showed), and a double click brings today back; the popup closes
// only when a day is chosen. Clicks beside the calendar, on the panel, leave it open too.
TEST_F(DateEdit, TheTitleTakesClicksAndADoubleClickGivesToday)
{
    TDateEdit edit;
    edit.show();
    edit.SetDate(EncodeDate(2026, 12, 8));
    edit.PopupDropDown(false);
    auto* popup = dynamic_cast<TPopupCalendar*>(edit.Popup());
    ASSERT_NE(popup, nullptr);
    QTest::keyClick(&edit, Qt::Key_PageDown);
    EXPECT_EQ(popup->Title()->text(), "Januar, 2027");
    QTest::mouseClick(popup->Title(), Qt::LeftButton);
    EXPECT_TRUE(edit.PopupVisible());
    EXPECT_EQ(edit.Text(), "08.12.2026");
    QTest::mouseDClick(popup->Title(), Qt::LeftButton);
    EXPECT_TRUE(edit.PopupVisible());
    EXPECT_EQ(popup->GetValue().toDouble(), EncodeDate(2026, 3, 17));
    QWidget* panel = popup->Title()->parentWidget();
    QTest::mouseClick(panel, Qt::LeftButton, Qt::NoModifier, QPoint(panel->width() - 1, panel->height() - 1));
    EXPECT_TRUE(edit.PopupVisible());
    // Pressed on the title and released off the popup: the release is the title's as well.
    QTest::mousePress(popup->Title(), Qt::LeftButton);
    QTest::mouseRelease(popup->Title(), Qt::LeftButton, Qt::NoModifier, QPoint(-40, 300));
    EXPECT_TRUE(edit.PopupVisible());
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_FALSE(edit.PopupVisible());
    EXPECT_EQ(edit.Text(), "17.03.2026");
}

// PopupColor colours the whole popup: its panel round the buttons and the title, and the
// calendar's header and day cells, also when set while the popup exists.
TEST_F(DateEdit, PopupColorColoursTheWholePopup)
{
    TDateEdit edit;
    edit.show();
    const ColorRef yellow = RGBRef(255, 255, 192);
    edit.SetPopupColor(yellow);
    edit.PopupDropDown(false);
    auto* popup = dynamic_cast<TPopupCalendar*>(edit.Popup());
    ASSERT_NE(popup, nullptr);
    TLocCalendar* calendar = popup->Calendar();
    const QImage shot = popup->grab().toImage();
    const auto at = [&](int col, int row) {
        const TRect r = calendar->CellRect(col, row);
        return shot.pixel(calendar->viewport()->mapTo(popup, QPoint(r.Left + 1, r.Top + 1))) & 0xFFFFFFu;
    };
    EXPECT_EQ(shot.pixel(6, 15) & 0xFFFFFFu, 0xFFFFC0u);  // the panel between button and calendar
    EXPECT_EQ(at(0, 0), 0xFFFFC0u);                       // a day's name
    EXPECT_EQ(at(0, 4), 0xFFFFC0u);                       // a day
}

// Dropping the popup down gives the field the focus; the field's week settings reach the popup's
// calendar, also when changed while it shows.
TEST_F(DateEdit, ThePopupTakesTheFocusAndTheFieldsWeek)
{
    QWidget window;
    auto* other = new QLineEdit(&window);
    auto* edit = new TDateEdit(&window);
    edit->move(0, 40);
    window.show();
    other->setFocus();
    QApplication::processEvents();
    edit->SetWeekends(DaySet(Sat) | DaySet(Sun));
    EXPECT_EQ(edit->Weekends(), DaySet(Sat) | DaySet(Sun));
    edit->PopupDropDown(false);
    ASSERT_TRUE(edit->PopupVisible());
    EXPECT_TRUE(edit->hasFocus());
    auto* popup = dynamic_cast<TPopupCalendar*>(edit->Popup());
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->Calendar()->Weekends(), DaySet(Sat) | DaySet(Sun));
    edit->SetWeekends(DaySet(Fri));
    EXPECT_EQ(popup->Calendar()->Weekends(), DaySet(Fri));
    edit->SetStartOfWeek(Sun);
    EXPECT_EQ(popup->Calendar()->StartOfWeek(), Sun);
}
