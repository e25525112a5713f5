// Keys in the input dialog as a user presses them, on the real design module and the example
// calculation: Tab passes a radio group once and changes no choice; Alt with a letter is a
// command, never text, while the dialog's mnemonics still act; the text fields take nothing the
// calculation file's Windows-1252 cannot hold, typed or pasted.
#include "tests/shell/CalculationFixture.h"
#include "tests/hsg/ui/PageTexts.h"
#include "tests/support/DialogScript.h"

#include "controls/HtmlRadioButton.h"
#include "framework/CommonRecord.h"
#include "framework/ui/PageControl.h"
#include "hsg/ui/HsgDlg.h"
#include "platform/core/Cp1252.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

using namespace velmoran;
using velmoran::testing::Dialog;
using velmoran::testing::Activate;
using velmoran::testing::Control;

namespace {

using UserRoadTwo = velmoran::testing::CalculationFixture;

// The names of the controls Tab (or Backtab) reaches from `start` until the focus comes back.
std::vector<std::string> TabTour(QWidget& start, Qt::Key key)
{
    std::vector<std::string> reached;
    start.setFocus(Qt::MouseFocusReason);
    for (int step = 0; step < 40; ++step) {
        QTest::keyClick(QApplication::focusWidget(), key);
        QWidget* now = QApplication::focusWidget();
        if (!now || now == &start)
            break;
        reached.push_back(now->objectName().toStdString());
    }
    return reached;
}

long Count(const std::vector<std::string>& names, const std::string& name)
{
    return std::count(names.begin(), names.end(), name);
}

// Typed as a keyboard gives it: one key press with its text for each character.
void TypeText(QWidget& widget, const QString& text)
{
    for (const char32_t ch : text.toUcs4()) {
        const QString one = QString::fromUcs4(&ch, 1);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, one);
        QApplication::sendEvent(&widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, one);
        QApplication::sendEvent(&widget, &release);
    }
}

}  // namespace

// Tab from "Konzentrationen" once landed on "Frachten" and, as the focus checks a radio button,
// switched the inflow to loads. Tab and Backtab through page 1 now pass the inflow group once, at
// its checked button, whichever it is, and leave every choice as it was.
TEST_F(UserRoadTwo, TabThroughPageOneChangesNoChoice)
{
    TMainForm& window = Form(Example());
    THSGDlg& dialog = Dialog(Module());
    const auto loadsChosen = [&] {
        return (dialog.Module().EditCommon().Block(0).Word(block::kFlags) & block::kFlagLoads) != 0;
    };
    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        auto* konz = Control<THtmlRadioButton>(shown, "rbKonz");
        auto* fracht = Control<THtmlRadioButton>(shown, "rbFracht");
        auto* bez = Control<QLineEdit>(shown, "edBez");
        auto* sheets = Control<TPageControl>(shown, "pcKF");
        ASSERT_TRUE(konz && fracht && bez && sheets);
        ASSERT_TRUE(konz->Checked());
        for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
            const auto tour = TabTour(*bez, key);
            EXPECT_EQ(Count(tour, "rbKonz"), 1) << key;
            EXPECT_EQ(Count(tour, "rbFracht"), 0) << key;
            EXPECT_TRUE(konz->Checked());
            EXPECT_FALSE(fracht->Checked());
        }
        EXPECT_FALSE(loadsChosen());
        velmoran::testing::EnterPage(dialog, 2);
        EXPECT_EQ(sheets->currentWidget()->objectName(), "tsKonz");
        velmoran::testing::EnterPage(dialog, 1);

        // The arrow key is the way to the other choice; then Tab passes the group there.
        konz->setFocus(Qt::TabFocusReason);
        QTest::keyClick(konz, Qt::Key_Down);
        ASSERT_TRUE(fracht->Checked());
        EXPECT_TRUE(fracht->hasFocus());
        EXPECT_FALSE(konz->Checked());
        EXPECT_TRUE(loadsChosen());
        const auto tour = TabTour(*bez, Qt::Key_Tab);
        EXPECT_EQ(Count(tour, "rbKonz"), 0);
        EXPECT_EQ(Count(tour, "rbFracht"), 1);
        EXPECT_TRUE(fracht->Checked());
        EXPECT_FALSE(konz->Checked());
        velmoran::testing::EnterPage(dialog, 2);
        EXPECT_EQ(sheets->currentWidget()->objectName(), "tsFracht");
    });
    ASSERT_TRUE(window.ExecuteCommand("EDITDLG 1"));
    EXPECT_EQ(modals.Shown().size(), 1u);
}

// Alt+H, Alt+X and Alt+Q once typed "hxq" into the field. A key with Alt held is a command: no
// edit of the dialog takes its letter, while Alt+W ("&Weiter") still turns the page and a letter
// without Alt is still typed.
TEST_F(UserRoadTwo, AltWithALetterTypesNothingAndMnemonicsAct)
{
    TMainForm& window = Form(Example());
    THSGDlg& dialog = Dialog(Module());
    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        const std::pair<int, const char*> edits[] = {{1, "edBez"}, {1, "edBearb"}, {2, "edQD"}, {2, "edCBSBzb"}};
        for (const auto& [page, name] : edits) {
            velmoran::testing::EnterPage(dialog, page);
            auto* edit = Control<QLineEdit>(shown, name);
            ASSERT_NE(edit, nullptr);
            edit->setFocus(Qt::MouseFocusReason);
            const QString before = edit->text();
            for (Qt::Key key : {Qt::Key_H, Qt::Key_X, Qt::Key_Q})
                QTest::keyClick(edit, key, Qt::AltModifier);
            EXPECT_EQ(edit->text(), before) << name;
        }
        velmoran::testing::EnterPage(dialog, 1);
        auto* bez = Control<QLineEdit>(shown, "edBez");
        bez->setFocus(Qt::MouseFocusReason);
        bez->end(false);
        const QString before = bez->text();
        QTest::keyClick(bez, Qt::Key_W, Qt::AltModifier);
        EXPECT_EQ(dialog.PageControl1->ActivePageIndex(), 1);
        EXPECT_EQ(bez->text(), before);
        QTest::keyClick(bez, Qt::Key_H);
        EXPECT_EQ(bez->text(), before + "h");
    });
    ASSERT_TRUE(window.ExecuteCommand("EDITDLG 1"));
}

// "Ł→✓€" in "Projektbezeichnung" became "???€" in the file. The field refuses what Windows-1252
// cannot hold as it is typed or pasted, without a message: the text stays as it was (its undo
// steps too), the euro sign comes in, and OK stores what the field shows.
TEST_F(UserRoadTwo, TextFieldsTakeOnlyWhatTheFileCanHold)
{
    TMainForm& window = Form(Example());
    THSGDlg& dialog = Dialog(Module());
    std::string shownText;
    modals.Expect([&](QWidget& shown) {
        Activate(shown);
        auto* bez = Control<QLineEdit>(shown, "edBez");
        ASSERT_NE(bez, nullptr);
        bez->setFocus(Qt::MouseFocusReason);
        bez->end(false);
        const QString before = bez->text();
        TypeText(*bez, QStringLiteral("Ł→✓"));
        EXPECT_EQ(bez->text(), before);
        EXPECT_FALSE(dialog.Modified);
        TypeText(*bez, QStringLiteral("Ł→✓€"));
        EXPECT_EQ(bez->text(), before + QStringLiteral("€"));
        EXPECT_EQ(bez->cursorPosition(), bez->text().size());
        // A refused character keeps the typing before it undoable.
        TypeText(*bez, QStringLiteral("Ł"));
        QTest::keyClick(bez, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(bez->text(), before);

        QApplication::clipboard()->setText(QStringLiteral("Ł→✓€ Müller"));
        QTest::keyClick(bez, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(bez->text(), before + QStringLiteral("€ Müller"));
        // Pasted in the middle, the cursor stays behind what came in.
        bez->setCursorPosition(0);
        QApplication::clipboard()->setText(QStringLiteral("x😀y"));
        QTest::keyClick(bez, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(bez->text(), QStringLiteral("xy") + before + QStringLiteral("€ Müller"));
        EXPECT_EQ(bez->cursorPosition(), 2);

        auto* bearb = Control<QLineEdit>(shown, "edBearb");
        bearb->setFocus(Qt::MouseFocusReason);
        bearb->selectAll();
        TypeText(*bearb, QStringLiteral("Łukasz"));
        EXPECT_EQ(bearb->text(), QStringLiteral("ukasz"));
        shownText = bez->text().toStdString();
        velmoran::testing::ClickControl(shown, "BtnOK");
    });
    ASSERT_TRUE(window.ExecuteCommand("EDITDLG 1"));
    ASSERT_EQ(modals.Shown().size(), 1u);
    const std::string saved = dialog.Module().CurrentCommon().String(common::kProjekt);
    EXPECT_EQ(saved, shownText);
    EXPECT_EQ(Cp1252ToUtf8(Utf8ToCp1252(saved)), saved);
    EXPECT_EQ(dialog.Module().CurrentCommon().String(common::kBearbeiter), "ukasz");
}
