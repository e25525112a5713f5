// Edges of the controls' keyboard and mouse handling, driven through the top-level window (so
// that the application's event filters and the focus handling run as for a user): typed keys
// in an edit with a prefix, Delete with and without a length limit, a hexadecimal edit's letters,
// what entering and leaving the focus do, a value too wide for the edit as its tool tip, and
// what a new edit type keeps, what leaving the focus completes.
#include "EnhEditTestSupport.h"

#include "controls/EnhEdit.h"

#include <QHelpEvent>
#include <QTest>
#include <QToolTip>

using namespace velmoran;
using velmoran::testing::EditsTest;

namespace {

class ControlEdges : public EditsTest {
protected:
    // The edit on the shown dialog, with the focus.
    TEnhEdit* FocusedEdit(TEnhEditType type)
    {
        auto* edit = new TEnhEdit(dialog_.get());
        edit->SetEditType(type);
        Show();
        edit->setFocus();
        QApplication::processEvents();
        return edit;
    }
    // A key through the dialog's window, as the platform delivers it.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(dialog_->windowHandle(), key, modifiers);
    }
    void Keys(const char* keys)
    {
        for (; *keys; ++keys)
            QTest::keyClick(dialog_->windowHandle(), *keys);
    }
};

}  // namespace

// The prefix stays: typed characters go into the value after it, whatever the caret's place;
// Home goes to the value's start, Left and Backspace stop there, Delete takes the value's first
// character and letters stay out of a numeric value.
TEST_F(ControlEdges, TypedKeysInAnEditWithAPrefixGoIntoTheValue)
{
    TEnhEdit* edit = FocusedEdit(TEnhEditType::etNumeric);
    edit->SetPrefix("Q = ");
    edit->SetText("");
    edit->setCursorPosition(4);
    Keys("12a");
    EXPECT_EQ(edit->text(), QStringLiteral("Q = 12"));
    EXPECT_EQ(edit->cursorPosition(), 6);
    Key(Qt::Key_Home);
    EXPECT_EQ(edit->cursorPosition(), 4);
    Keys("3");
    EXPECT_EQ(edit->text(), QStringLiteral("Q = 312"));
    Key(Qt::Key_Left);
    Key(Qt::Key_Left);
    EXPECT_EQ(edit->cursorPosition(), 4);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QStringLiteral("Q = 312"));
    Key(Qt::Key_Delete);
    EXPECT_EQ(edit->text(), QStringLiteral("Q = 12"));
    EXPECT_EQ(edit->Text(), "12");
    EXPECT_TRUE(edit->isModified());
    // A caret left in the prefix: the next digit still goes in after it.
    edit->setCursorPosition(1);
    Keys("9");
    EXPECT_EQ(edit->text(), QStringLiteral("Q = 912"));
}

// Without a length limit Delete takes the character after the caret, also one that joins two
// integer parts; with a limit it refuses to join them beyond it.
TEST_F(ControlEdges, DeleteWithAndWithoutALengthLimit)
{
    TEnhEdit* edit = FocusedEdit(TEnhEditType::etFloat);
    edit->SetPrecision(1);
    edit->SetText("123,4");
    edit->setCursorPosition(3);
    Key(Qt::Key_Delete);
    EXPECT_EQ(edit->text(), QStringLiteral("1234"));
    edit->setCursorPosition(0);
    Key(Qt::Key_Delete);
    EXPECT_EQ(edit->text(), QStringLiteral("234"));

    edit->SetLengthLimit(3);
    edit->SetText("123,4");
    edit->setCursorPosition(3);
    Key(Qt::Key_Delete);
    EXPECT_EQ(edit->text(), QStringLiteral("123,4"));
    edit->setCursorPosition(4);
    Key(Qt::Key_Delete);
    EXPECT_EQ(edit->text(), QStringLiteral("123,"));
}

// A hexadecimal edit takes the letters A to F in either case, the first and the last of them
// included, and nothing past them.
TEST_F(ControlEdges, HexadecimalEditTakesTheLettersAToF)
{
    TEnhEdit* edit = FocusedEdit(TEnhEditType::etHex);
    edit->SetText("");
    Keys("AFafGg@`1");
    EXPECT_EQ(edit->text(), QStringLiteral("AFaf1"));
}

// Focus by Tab through the window: an address selects from after its scheme ("://" or "mailto:")
// on, so that the host can be typed over; without AutoSelect the caret stands at the decimal
// separator; FocusWidthInc widens the edit while focused and FocusAlign aligns it, both undone
// when the focus leaves.
TEST_F(ControlEdges, EnteringAndLeavingTheFocus)
{
    auto* before = new TEnhEdit(dialog_.get());
    auto* edit = new TEnhEdit(dialog_.get());
    edit->setGeometry(0, 30, 150, 21);
    edit->SetShowURL(true);
    edit->SetText("https://example.org");
    edit->SetFocusWidthInc(20);
    edit->SetFocusAlign(TEditAlign::eaRight);
    Show();
    before->setFocus();
    QApplication::processEvents();
    Key(Qt::Key_Tab);
    ASSERT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->selectedText(), QStringLiteral("example.org"));
    EXPECT_EQ(edit->width(), 170);
    EXPECT_EQ(edit->alignment(), Qt::AlignRight | Qt::AlignVCenter);
    Key(Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_TRUE(before->hasFocus());
    EXPECT_EQ(edit->width(), 150);
    EXPECT_EQ(edit->alignment(), Qt::AlignLeft | Qt::AlignVCenter);

    edit->SetText("Schreiben Sie an mailto:info@example.org");
    Key(Qt::Key_Tab);
    EXPECT_EQ(edit->selectedText(), QStringLiteral("info@example.org"));
    Key(Qt::Key_Tab, Qt::ShiftModifier);

    edit->SetFocusAlign(TEditAlign::eaCenter);
    edit->SetEditType(TEnhEditType::etFloat);
    edit->SetPrecision(2);
    edit->SetAutoSelect(false);
    edit->SetText("123,45");
    Key(Qt::Key_Tab);
    EXPECT_FALSE(edit->hasSelectedText());
    EXPECT_EQ(edit->cursorPosition(), 3);
    EXPECT_EQ(edit->alignment(), Qt::AlignHCenter | Qt::AlignVCenter);
}

// With HintShowLargeText a value wider than the edit shows whole as the tool tip (and the
// event counts as handled); a value that fits shows the edit's own tip.
TEST_F(ControlEdges, AValueTooWideForTheEditShowsAsItsToolTip)
{
    TEnhEdit* edit = FocusedEdit(TEnhEditType::etString);
    edit->setGeometry(0, 0, 60, 21);
    edit->setToolTip(QStringLiteral("Name der Anlage"));
    edit->SetHintShowLargeText(true);
    const auto ask = [&] {
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), edit->mapToGlobal(QPoint(5, 5)));
        const bool handled = QApplication::sendEvent(edit, &help);
        return std::make_pair(handled, QToolTip::text());
    };
    edit->SetText("Kläranlage Nord mit zwei Belebungsbecken");
    auto [handled, text] = ask();
    EXPECT_TRUE(handled);
    EXPECT_EQ(text, QStringLiteral("Kläranlage Nord mit zwei Belebungsbecken"));
    QToolTip::hideText();
    edit->SetText("Nord");
    std::tie(handled, text) = ask();
    EXPECT_EQ(text, QStringLiteral("Name der Anlage"));
    QToolTip::hideText();
    edit->SetHintShowLargeText(false);
    edit->SetText("Kläranlage Nord mit zwei Belebungsbecken");
    std::tie(handled, text) = ask();
    EXPECT_EQ(text, QStringLiteral("Name der Anlage"));
    QToolTip::hideText();
}

// A new edit type keeps a text that is a value of it and sets 0 for one that is not.
TEST_F(ControlEdges, ANewEditTypeKeepsOnlyTextsOfItsKind)
{
    TEnhEdit* edit = FocusedEdit(TEnhEditType::etString);
    const auto switched = [&](const char* text, TEnhEditType type) {
        edit->SetEditType(TEnhEditType::etString);
        edit->SetText(text);
        edit->SetEditType(type);
        return edit->Text();
    };
    EXPECT_EQ(switched("1F", TEnhEditType::etHex), "1F");
    EXPECT_EQ(switched("42", TEnhEditType::etHex), "42");
    EXPECT_EQ(switched("1G", TEnhEditType::etHex), "0");
    EXPECT_EQ(switched("42", TEnhEditType::etNumeric), "42");
    EXPECT_EQ(switched("4,2", TEnhEditType::etNumeric), "0");
    EXPECT_EQ(switched("4,2", TEnhEditType::etFloat), "4,2");
    EXPECT_EQ(switched("vier", TEnhEditType::etFloat), "0");
    EXPECT_EQ(switched("vier", TEnhEditType::etUppercase), "vier");
}

// Leaving the focus: an empty number field gets 0, a float its decimals; a text field stays as
// it was left, empty too.
TEST_F(ControlEdges, LeavingTheFocusCompletesNumbersOnly)
{
    auto* other = new TEnhEdit(dialog_.get());
    other->move(0, 60);
    TEnhEdit* edit = FocusedEdit(TEnhEditType::etString);
    const auto leftWith = [&](TEnhEditType type, const char* text) {
        edit->SetEditType(type);
        edit->SetPrecision(2);
        edit->setFocus();
        QApplication::processEvents();
        edit->setText(QString::fromUtf8(text));
        other->setFocus();
        QApplication::processEvents();
        return edit->text().toStdString();
    };
    EXPECT_EQ(leftWith(TEnhEditType::etString, ""), "");
    EXPECT_EQ(leftWith(TEnhEditType::etString, "1,5"), "1,5");
    EXPECT_EQ(leftWith(TEnhEditType::etUppercase, ""), "");
    EXPECT_EQ(leftWith(TEnhEditType::etNumeric, ""), "0");
    EXPECT_EQ(leftWith(TEnhEditType::etFloat, ""), "0,00");
    EXPECT_EQ(leftWith(TEnhEditType::etFloat, "1,5"), "1,50");
    EXPECT_EQ(leftWith(TEnhEditType::etMoney, ""), "0,00");
    EXPECT_EQ(leftWith(TEnhEditType::etMoney, "1234,5"), "1.234,50");
}
