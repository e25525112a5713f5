// Input in the design dialog as a user gives it, third round, on the real design module and the
// example calculation: a date that is no date is refused where it was typed; the wheel turns no
// choice box it was not aimed at; a dialog closed by its Alt letter leaves the main window's menu
// bar alone; an edit takes no text from a key with Ctrl, Alt or Super, and a float edit nothing
// but the characters of a number.
#include "tests/shell/CalculationFixture.h"
#include "tests/hsg/ui/PageTexts.h"
#include "tests/support/DialogScript.h"

#include "controls/DateEdit.h"
#include "framework/CommonRecord.h"
#include "framework/ui/EditFloat.h"
#include "hsg/ui/HsgDlg.h"
#include "toolbar/TBarModalHandler.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QWheelEvent>

#include <filesystem>

using namespace velmoran;
using velmoran::testing::Dialog;
using velmoran::testing::Activate;
using velmoran::testing::Control;

namespace {

using UserRoadThree = velmoran::testing::CalculationFixture;

// Typed as a keyboard gives it: one key press with its text for each character.
void TypeText(QWidget& widget, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    for (const char32_t ch : text.toUcs4()) {
        const QString one = QString::fromUcs4(&ch, 1);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, modifiers, one);
        QApplication::sendEvent(&widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, modifiers, one);
        QApplication::sendEvent(&widget, &release);
    }
}

// One step of the wheel over the middle of the widget, towards the item after the current one
// (or before it at the end of the list); whether the widget took it.
bool WheelStep(QComboBox& box)
{
    const int towards = box.currentIndex() + 1 < box.count() ? -120 : 120;
    const QPointF centre = QRectF(box.rect()).center();
    QWheelEvent wheel(centre, box.mapToGlobal(centre), QPoint(), QPoint(0, towards), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&box, &wheel);
    return wheel.isAccepted();
}

std::string ErrorsShown(const ScriptedPromptService& prompts)
{
    std::string texts;
    for (const auto& message : prompts.Messages())
        texts += message.Text + "\n";
    return texts;
}

}  // namespace

// "31.02.2026" typed over the date and OK: the page printed today's date, the typed one gone
// without a word. Leaving the field with text that is no date now says so and keeps the focus
// there, OK (clicked or by Alt+O) and Weiter say so and keep the dialog as it is, the record keeps
// its date all the while, and a date typed then is the date stored; Cancel still just closes.
TEST_F(UserRoadThree, ADateThatIsNoDateIsRefusedWhereItWasTyped)
{
    TMainForm& window = Form(Example());
    THSGDlg& dialog = Dialog(Module());
    const double before = dialog.Module().CurrentCommon().Double(common::kDatum);
    ASSERT_NE(before, Date());
    const std::string refusal = "''31.02.2026'' ist kein gültiges Datum\n";
    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        auto* date = Control<TDateEdit>(shown, "edDatum");
        ASSERT_NE(date, nullptr);
        velmoran::testing::TypeInto(shown, "edDatum", QStringLiteral("31022026"));
        ASSERT_EQ(date->Text(), "31.02.2026");
        EXPECT_EQ(dialog.Module().EditCommon().Double(common::kDatum), before);

        QTest::keyClick(date, Qt::Key_Tab);
        QApplication::processEvents();
        EXPECT_EQ(ErrorsShown(prompts), refusal);
        EXPECT_TRUE(date->hasFocus());

        velmoran::testing::ClickControl(shown, "BtnOK");
        QTest::keyClick(date, Qt::Key_O, Qt::AltModifier);
        QTest::keyClick(date, Qt::Key_W, Qt::AltModifier);
        QApplication::processEvents();
        EXPECT_EQ(ErrorsShown(prompts), refusal + refusal + refusal + refusal);
        EXPECT_TRUE(shown.isVisible());
        EXPECT_EQ(dialog.PageControl1->ActivePageIndex(), 0);
        EXPECT_EQ(date->Text(), "31.02.2026");
        EXPECT_EQ(dialog.Module().EditCommon().Double(common::kDatum), before);

        velmoran::testing::TypeInto(shown, "edDatum", QStringLiteral("17032026"));
        velmoran::testing::ClickControl(shown, "BtnOK");
    });
    ASSERT_TRUE(window.ExecuteCommand("EDITDLG 1"));
    EXPECT_EQ(prompts.Messages().size(), 4u);
    EXPECT_EQ(dialog.Module().CurrentCommon().Double(common::kDatum), EncodeDate(2026, 3, 17));
    EXPECT_NE(Page().find("17.03.2026"), std::string::npos);

    // Cancel keeps nothing typed: it closes without a word.
    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        velmoran::testing::TypeInto(shown, "edDatum", QStringLiteral("31022026"));
        velmoran::testing::ClickControl(shown, "BtnCancel");
        EXPECT_FALSE(shown.isVisible());
    });
    window.ExecuteCommand("EDITDLG 1");
    QApplication::processEvents();
    EXPECT_EQ(prompts.Messages().size(), 4u);
    EXPECT_EQ(dialog.Module().CurrentCommon().Double(common::kDatum), EncodeDate(2026, 3, 17));
}

// One wheel step over "Fällmittel" while the focus was in another field switched the precipitant
// and recalculated. A choice box without the focus now leaves the wheel to the page (and takes
// no focus from it); with the focus the wheel still turns it.
TEST_F(UserRoadThree, TheWheelTurnsNoChoiceBoxWithoutTheFocus)
{
    TMainForm& window = Form(Example());
    THSGDlg& dialog = Dialog(Module());
    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        const std::pair<int, const char*> boxes[] = {{3, "cbxFM"}, {4, "cbxDV"}, {6, "cbxAT"}};
        for (const auto& [page, name] : boxes) {
            SCOPED_TRACE(name);
            velmoran::testing::EnterPage(dialog, page);
            auto* box = Control<QComboBox>(shown, name);
            ASSERT_NE(box, nullptr);
            EXPECT_NE(box->focusPolicy(), Qt::WheelFocus);
            dialog.FocusControlByName(page == 6 ? "VarHE" : page == 4 ? "VarSFH" : "VarTSBB");
            const int chosen = box->currentIndex();
            const bool changed = dialog.Module().EditCopiesDiffer();
            EXPECT_FALSE(WheelStep(*box));
            EXPECT_EQ(box->currentIndex(), chosen);
            EXPECT_EQ(dialog.Module().EditCopiesDiffer(), changed);

            box->setFocus(Qt::TabFocusReason);
            EXPECT_TRUE(WheelStep(*box));
            EXPECT_NE(box->currentIndex(), chosen);
        }
    });
    ASSERT_TRUE(window.ExecuteCommand("EDITDLG 3"));
}

// Alt+O closed the dialog and left "Datei" selected in the main window's menu bar, so that the
// next Ctrl+S saved nothing: the letter went to the dialog's button as a shortcut, and the Alt
// let go in the main window counted as Alt pressed alone. Each Alt letter that closes the dialog
// (OK, Abbruch, and Fertigstellen of a new calculation) now leaves the bar as it was, and Ctrl+S
// writes the file.
TEST_F(UserRoadThree, ADialogClosedByItsAltLetterLeavesTheMenuBarAlone)
{
    namespace fs = std::filesystem;
    TMainForm& window = Form(Example());
    THSGDlg& dialog = Dialog(Module());
    window.show();
    const auto closeWith = [&](Qt::Key letter, bool fresh) {
        SCOPED_TRACE(QKeySequence(letter).toString().toStdString());
        Activate(window);
        fs::remove(Example());
        modals.Expect([&](QWidget& shown) {
            Activate(shown);
            if (fresh) {
                velmoran::testing::EnterPage(dialog, 2);
                velmoran::testing::Enter(shown, "edQD", "12000");
                velmoran::testing::Enter(shown, "edCTKNzb", "50");
                velmoran::testing::Enter(shown, "edCPzb", "8");
                velmoran::testing::EnterPage(dialog, 6);
            }
            QWidget* focus = shown.focusWidget() ? shown.focusWidget() : &shown;
            // Alt down, then the letter, whose shortcut closes the dialog.
            QTest::keyPress(focus, letter, Qt::AltModifier);
            EXPECT_FALSE(shown.isVisible());
        });
        if (fresh)
            QTest::keyClick(&window, Qt::Key_N, Qt::ControlModifier);
        else
            window.ExecuteCommand("EDITDLG 1");
        Activate(window);
        // The letter and Alt are let go in the main window.
        QTest::keyRelease(&window, letter, Qt::AltModifier);
        EXPECT_EQ(TBarModalHandler::Active(), nullptr);
        if (TBarModalHandler::Active()) {
            QTest::keyClick(&window, Qt::Key_Escape);
            QTest::keyClick(&window, Qt::Key_Escape);
        }
        window.UpdateActions();
        QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
        EXPECT_TRUE(fs::exists(Example()));
    };
    closeWith(Qt::Key_O, false);
    closeWith(Qt::Key_A, false);
    prompts.AnswerFile(Example());
    closeWith(Qt::Key_F, true);
    EXPECT_EQ(prompts.FileRequests().size(), 1u);
    EXPECT_EQ(modals.Shown().size(), 3u);
    EXPECT_EQ(ErrorsShown(prompts), "");
}

// Super+A and Super+B typed "ab" into "10000", and OK then failed on the calculation. A key with
// Ctrl, Alt or Super types nothing into any edit; a float edit takes only digits, a decimal
// separator and a minus, and refuses a character outside the basic plane or an invisible format
// character as it refuses a letter.
TEST_F(UserRoadThree, AnEditTakesOnlyWhatItHoldsFromTheKeys)
{
    TMainForm& window = Form(Example());
    THSGDlg& dialog = Dialog(Module());
    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        velmoran::testing::EnterPage(dialog, 2);
        auto* flow = Control<TEditFloat>(shown, "edQD");
        ASSERT_NE(flow, nullptr);
        flow->setFocus(Qt::MouseFocusReason);
        flow->end(false);
        const QString number = flow->text();
        for (Qt::KeyboardModifiers held : {Qt::KeyboardModifiers(Qt::MetaModifier),
                                           Qt::KeyboardModifiers(Qt::ControlModifier | Qt::AltModifier),
                                           Qt::KeyboardModifiers(Qt::MetaModifier | Qt::ShiftModifier)}) {
            TypeText(*flow, QStringLiteral("ab5"), held);
            QTest::keyClick(flow, Qt::Key_A, held);
        }
        EXPECT_EQ(flow->text(), number);
        // A format character, a character of another plane, a digit of another script.
        TypeText(*flow, QStringLiteral("\u200B\u00AD\u2066😀𝟓١"));
        // A key whose text is more than one character (a dead key's leftover and the letter).
        QKeyEvent twice(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("5x"));
        QApplication::sendEvent(flow, &twice);
        QInputMethodEvent composed;
        composed.setCommitString(QStringLiteral("ab"));
        QApplication::sendEvent(flow, &composed);
        EXPECT_EQ(flow->text(), number);
        TypeText(*flow, QStringLiteral("5"));
        EXPECT_EQ(flow->text(), number + "5");
        QTest::keyClick(flow, Qt::Key_Tab);
        EXPECT_EQ(flow->Value(), (number + "5").toDouble());

        velmoran::testing::EnterPage(dialog, 1);
        for (const char* name : {"edBez", "edDatum"}) {
            auto* edit = Control<QLineEdit>(shown, name);
            ASSERT_NE(edit, nullptr);
            edit->setFocus(Qt::MouseFocusReason);
            edit->end(false);
            const QString text = edit->text();
            QTest::keyClick(edit, Qt::Key_A, Qt::MetaModifier);
            TypeText(*edit, QStringLiteral("b"), Qt::MetaModifier);
            EXPECT_EQ(edit->text(), text) << name;
        }
    });
    ASSERT_TRUE(window.ExecuteCommand("EDITDLG 2"));
    EXPECT_TRUE(prompts.Messages().empty()) << ErrorsShown(prompts);
}
