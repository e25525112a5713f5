// Input in the design dialog as a new user gives it, fifth round, on the real design module and
// the example calculation: what is typed over a selection or clicked with another button than the
// left one changes only what the user meant; every dialog can be finished: a cancelled opening
// leaves no text and no value behind, a field the design refuses takes the focus back, and the
// dialog opens and changes pages with a field to type in.
#include "tests/shell/CalculationFixture.h"
#include "tests/hsg/ui/PageTexts.h"
#include "tests/support/DialogScript.h"
#include "tests/support/ShownMenus.h"

#include "controls/HtmlRadioButton.h"
#include "framework/CommonRecord.h"
#include "framework/ui/EditFloat.h"
#include "help/WhatsThis.h"
#include "hsg/ui/HsgDlg.h"
#include "hsg/ui/HsgPar.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/Text.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QWindow>

#include <string>

using namespace velmoran;
using velmoran::testing::Activate;
using velmoran::testing::Control;
using velmoran::testing::Dialog;

namespace {

using UserRoadFive = velmoran::testing::CalculationFixture;

TEditFloat* FiveFrameEdit(QWidget& window, const std::string& name)
{
    auto* frame = Control<TVarFrame>(window, name);
    return frame ? frame->Edit : nullptr;
}

// Keys typed on the keyboard: they go to whatever has the focus in the window.
void FiveTypeOnKeyboard(QWidget& window, const char* keys)
{
    for (const char* key = keys; *key; ++key)
        QTest::keyClick(window.windowHandle(), *key);
    QApplication::processEvents();
}

// Ctrl+A in the field, then the keys, as the user selects and types over a value.
void FiveSelectAllAndType(TEditFloat& edit, const QString& keys)
{
    edit.setFocus(Qt::MouseFocusReason);
    QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(&edit, keys);
}

}  // namespace

// Ctrl+A in TS_BB ("3,5") and ",5" gave 5, a factor of ten without a word; "," over a selected
// "0,17" in the parameter dialog did nothing; a right click on "Frachten" (asking "Was ist das?")
// switched the input to loads. A key is judged by the text it leaves, and only the left button
// chooses. A number too large for a double stays what it is: no number.
TEST_F(UserRoadFive, InputChangesOnlyByTheUsersAim)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    window.show();
    Activate(window);
    THSGDlg& dialog = Dialog(Module());
    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        auto* loads = Control<THtmlRadioButton>(shown, "rbFracht");
        ASSERT_NE(loads, nullptr);
        QTest::mouseClick(shown.windowHandle(), Qt::RightButton, Qt::NoModifier, loads->mapTo(&shown, QPoint(6, 8)));
        QApplication::processEvents();
        EXPECT_EQ(velmoran::testing::MenusShown(), std::vector<QMenu*>{window.WhatsThis->PopupMenu()});
        velmoran::testing::CloseMenus();
        EXPECT_FALSE(loads->Checked());
        EXPECT_EQ(dialog.Module().EditCommon().Block(0).Word(block::kFlags) & block::kFlagLoads, 0);

        velmoran::testing::EnterPage(dialog, 3);
        TEditFloat* sludge = FiveFrameEdit(shown, "VarTSBB");
        ASSERT_NE(sludge, nullptr);
        FiveSelectAllAndType(*sludge, QStringLiteral(",5"));
        QTest::keyClick(sludge, Qt::Key_Tab);
        QApplication::processEvents();
        EXPECT_EQ(dialog.Module().EditCommon().Block(0).Double(block::kTSBB), 0.5);
        FiveSelectAllAndType(*sludge, QString(330, QChar(u'9')));
        QTest::keyClick(sludge, Qt::Key_Tab);
        QApplication::processEvents();
        ASSERT_EQ(prompts.Messages().size(), 1u);
        EXPECT_TRUE(Contains(prompts.Messages()[0].Text, "ist keine Zahl.")) << prompts.Messages()[0].Text;
        EXPECT_EQ(dialog.Module().EditCommon().Block(0).Double(block::kTSBB), 0.5);
        velmoran::testing::ClickControl(shown, "BtnCancel");
    });
    window.ExecuteCommand("EDITDLG 1");

    modals.Expect([&](QWidget& shown) {
        auto& parameters = dynamic_cast<THSGPar&>(shown);
        Activate(shown);
        ASSERT_EQ(parameters.edBH->text(), QStringLiteral("0,17"));
        FiveSelectAllAndType(*parameters.edBH, QStringLiteral(",2"));
        QTest::keyClick(parameters.edBH, Qt::Key_Tab);
        EXPECT_EQ(parameters.edBH->Value(), 0.2);
        velmoran::testing::ClickControl(shown, "BtnCancel");
    });
    window.EditParamExecute();
    EXPECT_EQ(prompts.Messages().size(), 1u) << prompts.MessageTexts();
}

// Esc in TS_BB (the field empties) or "25-" in Bio-P, then Abbruch: every later opening, new
// calculations included, refused Weiter and OK for that hidden field until the program ended.
// Every opening starts from the records.
TEST_F(UserRoadFive, ACancelledTextRefusesNothingLater)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    THSGDlg& dialog = Dialog(Module());
    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        TEditFloat* sludge = FiveFrameEdit(shown, "VarTSBB");
        ASSERT_NE(sludge, nullptr);
        sludge->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(sludge, Qt::Key_Escape);
        velmoran::testing::ClickControl(shown, "BtnCancel");
    });
    window.ExecuteCommand("EDITDLG 3");
    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        velmoran::testing::ClickControl(shown, "BtnNext");
        velmoran::testing::ClickControl(shown, "BtnNext");
        EXPECT_EQ(velmoran::testing::Shown(shown, "VarTSBB"), "3,5");
        velmoran::testing::ClickControl(shown, "BtnOK");
        EXPECT_FALSE(shown.isVisible());
    });
    EXPECT_TRUE(window.ExecuteCommand("EDITDLG 1"));
    EXPECT_TRUE(prompts.Messages().empty()) << prompts.MessageTexts();

    // Refused and cancelled, then a new calculation.
    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        velmoran::testing::Enter(shown, "VarEtaPbio", QStringLiteral("25-"));
        QApplication::processEvents();
        velmoran::testing::ClickControl(shown, "BtnCancel");
    });
    window.ExecuteCommand("EDITDLG 3");
    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        velmoran::testing::ClickControl(shown, "BtnNext");
        EXPECT_EQ(dialog.PageControl1->ActivePageIndex(), 1);
    });
    window.FileNewExecute();
    EXPECT_EQ(prompts.Messages().size(), 1u) << prompts.MessageTexts();
}

// After Abbruch the dialog's working copy kept the cancelled input: "nächster Lastfall" then
// refused "C_P,ZB 2,00 mg/l" while the page showed 8,00. Abbruch keeps nothing it cancelled.
TEST_F(UserRoadFive, CancelLeavesNothingOfWhatItCancelled)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        velmoran::testing::Enter(shown, "edCPzb", QStringLiteral("2"));
        QApplication::processEvents();
        velmoran::testing::ClickControl(shown, "BtnCancel");
    });
    window.ExecuteCommand("EDITDLG 2");
    EXPECT_TRUE(window.ExecuteCommand("SETINDEX +"));
    EXPECT_EQ(window.LoadCase, 1);
    EXPECT_TRUE(prompts.Messages().empty()) << prompts.MessageTexts();
}

// After a refusal on leaving a field with Tab the focus stayed in the next field, and the
// correction went there: a 7 typed after h_E 0 made the Alpha-Wert "70,6". The refused field
// takes the focus back with its text selected, on every path (Tab, Enter, a click into another
// field), and each value it refuses is answered.
TEST_F(UserRoadFive, ARefusedFieldTakesTheFocusBack)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        TEditFloat* blowIn = FiveFrameEdit(shown, "VarHE");
        TEditFloat* alpha = FiveFrameEdit(shown, "VarAlpha");
        ASSERT_TRUE(blowIn && alpha);
        const auto refusedAndBack = [&](std::size_t messages) {
            ASSERT_EQ(prompts.Messages().size(), messages) << prompts.MessageTexts();
            EXPECT_TRUE(Contains(prompts.Messages().back().Text, "Einblastiefe h_E"));
            EXPECT_TRUE(blowIn->hasFocus());
            EXPECT_EQ(blowIn->selectedText(), blowIn->text());
        };
        velmoran::testing::Enter(shown, "VarHE", QStringLiteral("0"));
        QApplication::processEvents();
        refusedAndBack(1);
        FiveTypeOnKeyboard(shown, "-1");
        QTest::keyClick(blowIn, Qt::Key_Return);
        QApplication::processEvents();
        refusedAndBack(2);
        FiveTypeOnKeyboard(shown, "0");
        QTest::mouseClick(shown.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                          alpha->mapTo(&shown, alpha->rect().center()));
        QApplication::processEvents();
        refusedAndBack(3);
        FiveTypeOnKeyboard(shown, "7");
        QTest::keyClick(blowIn, Qt::Key_Tab);
        QApplication::processEvents();
        EXPECT_EQ(blowIn->text(), QStringLiteral("7"));
        EXPECT_EQ(alpha->text(), QStringLiteral("0,6"));
        EXPECT_TRUE(alpha->hasFocus());
        EXPECT_EQ(prompts.Messages().size(), 3u);
    });
    window.ExecuteCommand("EDITDLG 6");
}

// The dialog opened with no field focused, and keys typed at once went nowhere. The first input
// of the page shown takes the focus on opening and after Weiter and Zurück, its text selected.
TEST_F(UserRoadFive, TypingAtOnceGoesIntoThePage)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    THSGDlg& dialog = Dialog(Module());
    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        FiveTypeOnKeyboard(shown, "4");
        velmoran::testing::ClickControl(shown, "BtnNext");
        FiveTypeOnKeyboard(shown, "1,3");
        velmoran::testing::ClickControl(shown, "BtnPrevious");
        velmoran::testing::ClickControl(shown, "BtnPrevious");
        FiveTypeOnKeyboard(shown, "12000");
        velmoran::testing::ClickControl(shown, "BtnOK");
    });
    EXPECT_TRUE(window.ExecuteCommand("EDITDLG 3"));
    EXPECT_TRUE(prompts.Messages().empty()) << prompts.MessageTexts();
    const TConstLoadCaseBlock block = std::as_const(dialog.Module()).CurrentCommon().Block(0);
    EXPECT_EQ(block.Double(block::kTSBB), 4.0);
    EXPECT_EQ(dialog.Module().CurrentHsg().Double(hsg::kSFH), 1.3);
    EXPECT_EQ(block.Double(block::kQD), 12000.0);
}
