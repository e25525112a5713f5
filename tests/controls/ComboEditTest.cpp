// The combo edit: where its popup goes (a pure function of edit, popup, alignment and screen),
// what ReadOnly and DirectInput block, the popup's cycle through the button, the keys and the
// mouse (closing it from the button accepts and does not open it again), and the glyph kinds.
#include "controls/ComboEdit.h"
#include "platform/core/ScopeExit.h"
#include "tests/controls/ControlsTestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QScreen>
#include <QLineEdit>
#include <QStyle>
#include <QStyleHints>
#include <QTest>

using namespace velmoran;
using velmoran::testing::ScopedTestFonts;

namespace {

// Counts the keys the edit hands on.
class KeyCounter : public QWidget {
public:
    using QWidget::QWidget;
    int Keys = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        ++Keys;
        event->accept();
    }
};

class ChoicePopup : public TPopupWindow {
public:
    explicit ChoicePopup(TCustomComboEdit* editor) : TPopupWindow(editor), Content(new KeyCounter(this))
    {
        resize(80, 60);
        Content->setGeometry(1, 1, 78, 58);
    }
    QVariant GetValue() const override { return Value; }
    void SetValue(const QVariant& value) override
    {
        Given = value;
        ++Sets;
    }
    QVariant Value = QStringLiteral("17.03.2002");
    QVariant Given;
    int Sets = 0;
    KeyCounter* Content;
};

class CountingComboEdit : public TCustomComboEdit {
public:
    explicit CountingComboEdit(QWidget* parent) : TCustomComboEdit(parent), Choices(new ChoicePopup(this))
    {
        SetPopup(Choices);
        OnButtonClick = [this](QWidget*) { ++ButtonClicks; };
        OnChange = [this](QWidget*) { ++Changes; };
    }
    int CaretRectWidth() const { return CaretRect().width(); }
    ChoicePopup* Choices;
    int ButtonClicks = 0;
    int Changes = 0;
    int PopupChanges = 0;

protected:
    void PopupChange() override { ++PopupChanges; }
};

// A window holding the edit, shown and active, the edit focused.
struct EditWindow {
    EditWindow()
    {
        window.resize(300, 200);
        edit = new CountingComboEdit(&window);
        edit->setGeometry(10, 10, 140, 21);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
    }
    // A click through the window system at a screen point, as the user's would arrive while
    // the popup holds the mouse.
    void ClickOnScreen(QPoint screenPoint)
    {
        QWindow* popupWindow = edit->Choices->windowHandle();
        ASSERT_NE(popupWindow, nullptr);
        QTest::mouseClick(popupWindow, Qt::LeftButton, Qt::NoModifier, popupWindow->mapFromGlobal(screenPoint));
        QApplication::processEvents();
    }
    QPoint ButtonCentre() const { return edit->Button()->mapToGlobal(edit->Button()->rect().center()); }

    ScopedTestFonts fonts;
    QWidget window;
    CountingComboEdit* edit;
};

}  // namespace

TEST(ComboEdit, PopupPlacementFlipsShiftsAndStaysOnItsScreen)
{
    const TRect screen{0, 0, 1920, 1080};
    const TSize popup{150, 200};
    // Under the edit, right edges in line.
    EXPECT_EQ(PopupPosition({100, 100, 200, 121}, popup, TPopupAlign::epaRight, screen), (TPoint{50, 121}));
    // Near the bottom: above the edit.
    EXPECT_EQ(PopupPosition({100, 1000, 200, 1021}, popup, TPopupAlign::epaRight, screen), (TPoint{50, 800}));
    // Right alignment passing the left edge falls back to the edit's left edge.
    EXPECT_EQ(PopupPosition({10, 100, 110, 121}, popup, TPopupAlign::epaRight, screen), (TPoint{10, 121}));
    // epaLeft near the right edge: the right edges line up instead.
    EXPECT_EQ(PopupPosition({1000, 100, 1100, 121}, popup, TPopupAlign::epaLeft, screen), (TPoint{1000, 121}));
    EXPECT_EQ(PopupPosition({1800, 100, 1900, 121}, popup, TPopupAlign::epaLeft, screen), (TPoint{1750, 121}));
    // A popup that just fits, its right edge on the screen's, stays under the edit's left edge.
    EXPECT_EQ(PopupPosition({1770, 100, 1870, 121}, popup, TPopupAlign::epaLeft, screen), (TPoint{1770, 121}));
    // An edit partly off the screen: the popup is kept on it.
    EXPECT_EQ(PopupPosition({1880, 100, 1930, 121}, popup, TPopupAlign::epaLeft, screen), (TPoint{1770, 121}));
    // The edit on a second screen right of the first: the popup stays there.
    const TRect second{1920, 0, 3840, 1080};
    EXPECT_EQ(PopupPosition({1930, 100, 2030, 121}, popup, TPopupAlign::epaRight, second), (TPoint{1930, 121}));
    EXPECT_EQ(PopupPosition({3700, 1000, 3800, 1021}, popup, TPopupAlign::epaLeft, second), (TPoint{3650, 800}));
}

TEST(ComboEdit, ReadOnlyBlocksButtonClickKeyPasteAndCut)
{
    EditWindow w;
    CountingComboEdit& edit = *w.edit;
    edit.SetText("abc");
    edit.SetReadOnly(true);
    QTest::mouseClick(edit.Button(), Qt::LeftButton);
    QTest::keyClick(&edit, Qt::Key_Down, Qt::AltModifier);
    edit.PopupDropDown(true);
    EXPECT_EQ(edit.ButtonClicks, 0);
    EXPECT_FALSE(edit.PopupVisible());
    EXPECT_FALSE(edit.CanModify());

    QApplication::clipboard()->setText(QStringLiteral("99"));
    edit.selectAll();
    edit.Paste();
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    edit.selectAll();
    edit.Cut();
    QTest::keyClick(&edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(edit.Text(), "abc");
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("99"));

    // Writable again: the click key opens the drop-down, and paste works.
    edit.SetReadOnly(false);
    QTest::keyClick(&edit, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(edit.ButtonClicks, 1);
    EXPECT_TRUE(edit.PopupVisible());
    QTest::keyClick(edit.Choices, Qt::Key_Escape);  // reaches the popup, goes to the edit
    EXPECT_FALSE(edit.PopupVisible());
    EXPECT_EQ(edit.Text(), "abc");
    edit.selectAll();
    edit.Paste();
    EXPECT_EQ(edit.Text(), "99");
    edit.SetDirectInput(false);
    edit.selectAll();
    edit.Cut();
    EXPECT_EQ(edit.Text(), "99");
}

TEST(ComboEdit, WithoutDirectInputOnlyThePopupWritesTheText)
{
    EditWindow w;
    CountingComboEdit& edit = *w.edit;
    edit.SetDirectInput(false);
    QTest::keyClicks(&edit, QStringLiteral("12"));
    EXPECT_EQ(edit.Text(), "");
    EXPECT_TRUE(edit.CanModify());

    QTest::mouseClick(edit.Button(), Qt::LeftButton);
    ASSERT_TRUE(edit.PopupVisible());
    EXPECT_FALSE(edit.Choices->Given.isValid());  // an empty text is handed over as no value
    QTest::keyClick(edit.Choices, Qt::Key_Return);
    EXPECT_FALSE(edit.PopupVisible());
    EXPECT_EQ(edit.Text(), "17.03.2002");
    EXPECT_TRUE(edit.Modified());
    EXPECT_EQ(edit.Changes, 1);
    EXPECT_TRUE(edit.isReadOnly());  // still no typing
}

TEST(ComboEdit, ButtonClosesTheOpenPopupAcceptingWithoutReopeningIt)
{
    EditWindow w;
    CountingComboEdit& edit = *w.edit;
    edit.SetText("01.01.2000");
    QTest::mouseClick(edit.Button(), Qt::LeftButton);
    ASSERT_TRUE(edit.PopupVisible());
    EXPECT_EQ(edit.ButtonClicks, 1);
    EXPECT_EQ(edit.Choices->Given, QVariant(QStringLiteral("01.01.2000")));
    EXPECT_TRUE(edit.isReadOnly());  // the drop-down disables typing while it shows
    QApplication::processEvents();
    EXPECT_TRUE(edit.Choices->isVisible());  // the focus-out its opening caused did not close it
    // Under the edit, its right edge on the edit's.
    const QPoint corner = edit.mapToGlobal(QPoint());
    EXPECT_EQ(edit.Choices->geometry().topLeft(), corner + QPoint(140 - 80, 21));

    w.ClickOnScreen(w.ButtonCentre());
    EXPECT_FALSE(edit.PopupVisible());
    EXPECT_FALSE(edit.Choices->isVisible());
    EXPECT_EQ(edit.Text(), "17.03.2002");
    EXPECT_EQ(edit.ButtonClicks, 1);  // no second click
    // Qt replays the closing press to the widget under the mouse unless the popup says not to
    // (offscreen, without a grab, it never replays, so the attribute is what can be checked).
    EXPECT_TRUE(edit.Choices->testAttribute(Qt::WA_NoMouseReplay));
    EXPECT_EQ(edit.Button()->State(), TButtonState::bsUp);
    EXPECT_FALSE(edit.isReadOnly());

    // A press elsewhere outside closes without accepting.
    edit.Choices->Value = QStringLiteral("24.12.2024");
    QTest::mouseClick(edit.Button(), Qt::LeftButton);
    ASSERT_TRUE(edit.PopupVisible());
    w.ClickOnScreen(w.window.mapToGlobal(QPoint(250, 150)));
    EXPECT_FALSE(edit.PopupVisible());
    EXPECT_FALSE(edit.Choices->testAttribute(Qt::WA_NoMouseReplay));  // that press may go on
    EXPECT_EQ(edit.Text(), "17.03.2002");

    // A click inside the popup accepts.
    QTest::mouseClick(edit.Button(), Qt::LeftButton);
    ASSERT_TRUE(edit.PopupVisible());
    w.ClickOnScreen(edit.Choices->mapToGlobal(QPoint(0, 30)));
    EXPECT_FALSE(edit.PopupVisible());
    EXPECT_EQ(edit.Text(), "24.12.2024");

    // The release of a press that began before the popup opened, outside it, leaves it open.
    edit.PopupDropDown(false);
    ASSERT_TRUE(edit.PopupVisible());
    QWindow* popupWindow = edit.Choices->windowHandle();
    ASSERT_NE(popupWindow, nullptr);
    QTest::mouseRelease(popupWindow, Qt::LeftButton, Qt::NoModifier,
                        popupWindow->mapFromGlobal(w.window.mapToGlobal(QPoint(250, 150))));
    QApplication::processEvents();
    EXPECT_TRUE(edit.PopupVisible());

    // Closed by the window system (as when another program comes to the front), it does not accept.
    edit.Choices->Value = QStringLiteral("31.12.1999");
    edit.Choices->close();
    QApplication::processEvents();
    EXPECT_FALSE(edit.PopupVisible());
    EXPECT_FALSE(edit.isReadOnly());
    EXPECT_EQ(edit.Text(), "24.12.2024");
}

// Presses that reach the edit's own widgets while the popup shows (as they do where the popup
// does not hold the mouse): on the button it closes accepting and clicks nothing; on the edit it
// closes without accepting. The button gives an unfocused edit the focus.
TEST(ComboEdit, PressesOnTheEditAndItsButtonWhileThePopupShows)
{
    EditWindow w;
    CountingComboEdit& edit = *w.edit;
    edit.SetText("01.01.2000");
    QTest::mouseClick(edit.Button(), Qt::LeftButton);
    ASSERT_TRUE(edit.PopupVisible());
    QTest::mouseClick(edit.Button(), Qt::LeftButton);
    EXPECT_FALSE(edit.PopupVisible());
    EXPECT_EQ(edit.Text(), "17.03.2002");
    EXPECT_EQ(edit.ButtonClicks, 1);
    // The next click is a click again.
    QTest::mouseClick(edit.Button(), Qt::LeftButton);
    EXPECT_TRUE(edit.PopupVisible());
    EXPECT_EQ(edit.ButtonClicks, 2);

    edit.Choices->Value = QStringLiteral("24.12.2024");
    QTest::mousePress(&edit, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseRelease(&edit, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_FALSE(edit.PopupVisible());
    EXPECT_EQ(edit.Text(), "17.03.2002");
    EXPECT_TRUE(edit.hasFocus());
    // Only the left button closes it.
    edit.PopupDropDown(false);
    ASSERT_TRUE(edit.PopupVisible());
    QMouseEvent right(QEvent::MouseButtonPress, QPointF(5, 5), edit.mapToGlobal(QPointF(5, 5)), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(&edit, &right);
    EXPECT_TRUE(edit.PopupVisible());
    QTest::mouseClick(&edit, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_FALSE(edit.PopupVisible());

    auto* other = new QLineEdit(&w.window);
    other->setGeometry(10, 100, 100, 21);
    other->show();
    other->setFocus();
    ASSERT_FALSE(edit.hasFocus());
    QTest::mouseClick(edit.Button(), Qt::LeftButton);
    EXPECT_TRUE(edit.hasFocus());
    EXPECT_EQ(edit.ButtonClicks, 3);
    // An edit that takes no focus leaves it where it was when its popup opens.
    QTest::mouseClick(edit.Button(), Qt::LeftButton);
    ASSERT_FALSE(edit.PopupVisible());
    edit.setFocusPolicy(Qt::NoFocus);
    other->setFocus();
    QTest::mouseClick(edit.Button(), Qt::LeftButton);
    EXPECT_TRUE(edit.PopupVisible());
    EXPECT_FALSE(edit.hasFocus());
}

TEST(ComboEdit, KeysWhileThePopupShows)
{
    EditWindow w;
    CountingComboEdit& edit = *w.edit;
    edit.PopupDropDown(false);  // typing stays possible
    ASSERT_TRUE(edit.PopupVisible());
    // Keys reaching the popup go to the edit; the navigation keys go on to the popup's content.
    QTest::keyClicks(edit.Choices, QStringLiteral("4"));
    EXPECT_EQ(edit.Text(), "4");
    EXPECT_EQ(edit.PopupChanges, 1);  // a change while the popup shows is the popup's
    EXPECT_EQ(edit.Changes, 0);
    QTest::keyClick(edit.Choices, Qt::Key_Down);
    QTest::keyClick(&edit, Qt::Key_PageUp);
    EXPECT_EQ(edit.Choices->Content->Keys, 2);
    EXPECT_EQ(edit.Text(), "4");
    EXPECT_TRUE(edit.hasFocus());
    QTest::keyClick(edit.Choices, Qt::Key_Enter);
    EXPECT_FALSE(edit.PopupVisible());
    EXPECT_EQ(edit.Text(), "17.03.2002");
    EXPECT_EQ(edit.Changes, 1);

    // The button again while it shows: closes accepting, does not reopen.
    edit.PopupDropDown(false);
    edit.Choices->Value = QStringLiteral("02.02.2002");
    edit.ButtonClick();
    EXPECT_FALSE(edit.PopupVisible());
    EXPECT_EQ(edit.Text(), "02.02.2002");
}

TEST(ComboEdit, GlyphKindsAndButtonWidth)
{
    ScopedTestFonts fonts;
    QWidget window;
    TCustomComboEdit edit(&window);
    edit.resize(140, 21);
    EXPECT_EQ(edit.ButtonWidth(), 21);
    EXPECT_EQ(edit.GlyphKind(), TGlyphKind::gkCustom);

    edit.SetGlyphKind(TGlyphKind::gkEllipsis);
    ASSERT_EQ(edit.Glyph().size(), QSize(15, 4));
    // Dots of 2 x 2 at 1, 6 and 11 on the second row.
    std::string row;
    for (int x = 0; x < 15; ++x)
        row += edit.Glyph().pixel(x, 1) == 0xFF000000u ? 'k' : '.';
    EXPECT_EQ(row, ".kk...kk...kk..");

    edit.SetGlyphKind(TGlyphKind::gkDropDown);
    EXPECT_EQ(edit.ButtonWidth(), 16);
    EXPECT_TRUE(edit.Button()->DropDownLook);
    EXPECT_TRUE(edit.Glyph().isNull());
    const QImage arrow = edit.Button()->Picture();
    const int middle = arrow.height() / 2;
    bool black = false;
    for (int x = 0; x < arrow.width(); ++x)
        black = black || arrow.pixel(x, middle) == 0xFF000000u || arrow.pixel(x, middle - 1) == 0xFF000000u;
    EXPECT_TRUE(black);  // the combo box's arrow
    // Raised while up, sunk while pressed.
    const QPoint bottomRight(arrow.width() - 1, arrow.height() - 1);
    EXPECT_EQ(arrow.pixel(bottomRight), 0xFF000000u);  // the dark shadow
    EXPECT_EQ(arrow.pixel(0, 0), 0xFFC0C0C0u);         // light
    QTest::mousePress(edit.Button(), Qt::LeftButton);
    ASSERT_EQ(edit.Button()->State(), TButtonState::bsDown);
    const QImage pressed = edit.Button()->Picture();
    EXPECT_EQ(pressed.pixel(bottomRight), 0xFFFFFFFFu);  // the highlight
    EXPECT_EQ(pressed.pixel(0, 0), 0xFF808080u);         // the shadow
    QTest::mouseRelease(edit.Button(), Qt::LeftButton);

    edit.SetNumGlyphs(3);
    EXPECT_EQ(edit.NumGlyphs(), 1);
    edit.SetGlyph(QImage(32, 16, QImage::Format_RGB32));
    EXPECT_EQ(edit.GlyphKind(), TGlyphKind::gkCustom);
    EXPECT_FALSE(edit.Button()->DropDownLook);
    edit.SetNumGlyphs(2);
    EXPECT_EQ(edit.NumGlyphs(), 2);

    // Width 1 hides the button; the text may use the whole width.
    edit.SetButtonWidth(1);
    EXPECT_TRUE(edit.ButtonHost()->isHidden());
    EXPECT_EQ(edit.textMargins().right(), 0);
    edit.SetButtonWidth(20);
    EXPECT_FALSE(edit.ButtonHost()->isHidden());
    EXPECT_EQ(edit.textMargins().right(), 22);
    EXPECT_EQ(edit.ButtonHost()->geometry().right(), edit.width() - 1 - (edit.hasFrame() ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0));
    edit.SetButtonWidth(500);  // wider than the edit: refused
    EXPECT_EQ(edit.ButtonWidth(), 20);
}

// A form may store any height: the edit is never lower than its text and borders need, also
// after a font change; a bold font gets the broader caret.
TEST(ComboEdit, MinimumHeightAndCaretFollowTheFont)
{
    ScopedTestFonts fonts;
    QWidget window;
    auto* edit = new CountingComboEdit(&window);
    const int minimum = ScreenFonts().Metrics(TFont().Logical()).Height + 5;
    EXPECT_EQ(edit->MinimumHeight(), minimum);
    edit->resize(121, 5);
    EXPECT_EQ(edit->height(), minimum);

    // The caret takes its width when the edit paints.
    edit->grab();
    const int thinCaret = edit->CaretRectWidth();
    TFont bold;
    bold.Bold = true;
    edit->SetFont(bold);
    edit->grab();
    EXPECT_EQ(edit->CaretWidth(), 2);
    EXPECT_EQ(edit->CaretRectWidth(), thinCaret + 1);
    EXPECT_EQ(edit->CaretRect().height(), minimum - 5);
    TFont large;
    large.Size = 14;
    edit->SetFont(large);
    // The smaller of the screen font and the edit's own decides.
    EXPECT_EQ(edit->MinimumHeight(), minimum);
    edit->resize(121, 2);
    EXPECT_EQ(edit->height(), minimum);
    edit->grab();
    EXPECT_EQ(edit->CaretRectWidth(), thinCaret);
    // The caret keeps the height of the smaller text, lower than the edit's own line.
    EXPECT_EQ(edit->CaretRect().height(), minimum - 5);
    EXPECT_LT(edit->CaretRect().height(), QFontMetrics(edit->font()).height());
}

// The caret the edit draws: of the rule's height at the cursor while focused, in the text colour;
// none without the focus or while the open popup makes the edit read-only.
TEST(ComboEdit, TheCaretIsDrawnAtTheCursorWhileFocused)
{
    EditWindow w;
    TFont large;
    large.Size = 14;
    w.edit->SetFont(large);
    w.edit->setGeometry(10, 10, 140, 30);
    w.edit->setText("ab");
    w.edit->setCursorPosition(1);
    QApplication::processEvents();
    ASSERT_TRUE(w.edit->hasFocus());
    const QRect caret = w.edit->CaretRect();
    const auto darkRows = [&](const QImage& image) {
        int rows = 0;
        for (int y = 0; y < image.height(); ++y)
            rows += qGray(image.pixel(caret.left(), y)) < 64 ? 1 : 0;
        return rows;
    };
    // The test font's glyphs are boxes: a caret between two of them stands in their gap.
    const QImage shown = w.edit->grab().toImage();
    EXPECT_EQ(darkRows(shown), caret.height());
    // It blinks at the desktop's rate; with blinking switched off it stays.
    QStyleHints* hints = QGuiApplication::styleHints();
    const int flash = hints->cursorFlashTime();
    const ScopeExit restore([&] { hints->setCursorFlashTime(flash); });
    hints->setCursorFlashTime(40);
    w.edit->setCursorPosition(2);
    w.edit->setCursorPosition(1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return darkRows(w.edit->grab().toImage()) == 0; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return darkRows(w.edit->grab().toImage()) == caret.height(); }, 5000));
    hints->setCursorFlashTime(0);
    w.edit->setCursorPosition(2);
    w.edit->setCursorPosition(1);
    for (int pass = 0; pass < 3; ++pass) {
        QApplication::processEvents();
        EXPECT_EQ(darkRows(w.edit->grab().toImage()), caret.height()) << pass;
    }
    w.edit->SetAutoSelect(false);
    w.window.setFocus();
    QApplication::processEvents();
    EXPECT_EQ(darkRows(w.edit->grab().toImage()), 0);
}

// A change of the reading direction reaches the popup, which Qt would leave as it is (a window).
// A popup attached to an edit that already reads right to left reads so too, also one made
// before the edit turned: Qt gives a new window the application's direction, not the edit's.
TEST(ComboEdit, ThePopupFollowsTheReadingDirection)
{
    EditWindow w;
    w.edit->setLayoutDirection(Qt::RightToLeft);
    EXPECT_EQ(w.edit->Choices->layoutDirection(), Qt::RightToLeft);
    w.edit->setLayoutDirection(Qt::LeftToRight);
    EXPECT_EQ(w.edit->Choices->layoutDirection(), Qt::LeftToRight);

    QWidget arabic;
    arabic.setLayoutDirection(Qt::RightToLeft);
    CountingComboEdit edit(&arabic);
    ASSERT_EQ(edit.layoutDirection(), Qt::RightToLeft);
    EXPECT_EQ(edit.Choices->layoutDirection(), Qt::RightToLeft);
    auto* early = new ChoicePopup(w.edit);
    w.edit->setLayoutDirection(Qt::RightToLeft);
    w.edit->SetPopup(early);
    EXPECT_EQ(early->layoutDirection(), Qt::RightToLeft);
}

// An edit reaching past the screen's right edge opens its popup flush with that edge: not a
// pixel over it, not a pixel short of it.
TEST(ComboEdit, APopupAtTheScreensRightEdgeSitsFlushWithIt)
{
    EditWindow w;
    const QRect area = w.window.screen()->availableGeometry();
    w.window.move(area.right() + 1 - 200, 100);
    QApplication::processEvents();
    w.edit->setGeometry(120, 10, 140, 21);
    w.edit->PopupAlign = TPopupAlign::epaLeft;
    w.edit->ButtonClick();
    ASSERT_TRUE(w.edit->PopupVisible());
    const QRect popup(w.edit->Choices->pos(), w.edit->Choices->size());
    EXPECT_EQ(popup.right(), area.right());
    EXPECT_EQ(popup.top(), w.edit->mapToGlobal(QPoint(0, w.edit->height())).y());
    w.edit->PopupCloseUp(w.edit->Choices, false);
}

// Entering by the keyboard selects the whole text with DirectInput, even with a mask that would
// put the cursor on its first blank; without DirectInput nothing is selected; a click selects
// nothing.
TEST(ComboEdit, KeyboardEntrySelectsAllWithDirectInput)
{
    EditWindow w;
    auto* other = new QLineEdit(&w.window);
    other->setGeometry(10, 60, 100, 21);
    other->show();
    w.edit->SetEditMask("!99/99/0000;1;_");
    w.edit->setText("17.03.2002");
    other->setFocus(Qt::OtherFocusReason);
    w.edit->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(w.edit->selectedText(), w.edit->text());

    other->setFocus(Qt::OtherFocusReason);
    w.edit->SetAutoSelect(false);
    w.edit->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(w.edit->hasSelectedText());

    other->setFocus(Qt::OtherFocusReason);
    w.edit->SetAutoSelect(true);
    w.edit->SetDirectInput(false);
    w.edit->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(w.edit->hasSelectedText());
}
