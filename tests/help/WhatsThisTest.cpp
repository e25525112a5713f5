// The "What's this?" mode driven by synthetic input over a small form, with a recording help
// engine behind the application's help entry: where a context is found, what F1, Shift+F1, clicks
// and right clicks ask for, the linked items, and the stack of instances.
#include "help/HelpContextMap.h"
#include "help/WhatsThis.h"
#include "platform/Action.h"
#include "platform/Application.h"
#include "platform/core/Exceptions.h"
#include "toolbar/TBarItem.h"
#include "tests/help/RecordingHelpEngine.h"
#include "tests/support/ShownMenus.h"
#include "tests/support/TempFolder.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWhatsThis>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>

namespace velmoran {
namespace {

using testing::RecordingHelpEngine;

// Edits with helpContext 100, behind a label's buddy 200 and in a panel with 300; one with tag
// 710, one without anything and an editable combo with 400.
struct Form {
    Form()
    {
        window.setObjectName("Form1");
        auto* layout = new QVBoxLayout(&window);
        edit1 = Add<QLineEdit>(layout, "Edit1");
        edit1->setProperty("helpContext", 100);
        label = Add<QLabel>(layout, "Label1");
        label->setText("Bezeichnung");
        edit2 = Add<QLineEdit>(layout, "Edit2");
        edit2->setProperty("helpContext", 200);
        label->setBuddy(edit2);
        panel = Add<QFrame>(layout, "Panel1");
        panel->setProperty("helpContext", 300);
        auto* inner = new QVBoxLayout(panel);
        edit3 = new QLineEdit(panel);
        edit3->setObjectName("Edit3");
        inner->addWidget(edit3);
        tagged = Add<QLineEdit>(layout, "Edit4");
        tagged->setProperty("tag", 710);
        bare = Add<QLineEdit>(layout, "Edit5");
        combo = Add<QComboBox>(layout, "Combo1");
        combo->setEditable(true);
        combo->setProperty("helpContext", 400);
        window.setGeometry(100, 120, 300, 320);
        window.show();
        QApplication::setActiveWindow(&window);
        edit1->setFocus();
        QApplication::processEvents();
    }
    template <typename W>
    W* Add(QVBoxLayout* layout, const char* name)
    {
        auto* widget = new W(&window);
        widget->setObjectName(name);
        layout->addWidget(widget);
        return widget;
    }

    QWidget window;
    QLineEdit* edit1;
    QLabel* label;
    QLineEdit* edit2;
    QFrame* panel;
    QLineEdit* edit3;
    QLineEdit* tagged;
    QLineEdit* bare;
    QComboBox* combo;
};

// Counts the input events that reach a widget (after the application's filters).
class Reached : public QObject {
public:
    explicit Reached(QWidget* target) : target_(target) { target->installEventFilter(this); }
    ~Reached() override
    {
        if (target_)
            target_->removeEventFilter(this);
    }
    int Count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease ||
            event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseMove)
            ++Count;
        return false;
    }

private:
    QPointer<QWidget> target_;
};

// Sends a key; true when it reached the widget.
bool Key(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
         QEvent::Type type = QEvent::KeyPress)
{
    Reached reached(target);
    QKeyEvent event(type, key, modifiers);
    QApplication::sendEvent(target, &event);
    return reached.Count > 0;
}

// A press and its release at a point of a widget (its centre by default); true when the press
// reached the widget.
bool Press(QWidget* target, Qt::MouseButton button, QPoint local = QPoint(-1, -1))
{
    if (local == QPoint(-1, -1))
        local = target->rect().center();
    static unsigned long long clock = 1000;
    Reached reached(target);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(local), QPointF(target->mapToGlobal(local)), button, button,
                      Qt::NoModifier);
    press.setTimestamp(++clock);
    QApplication::sendEvent(target, &press);
    const bool passed = reached.Count > 0;
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(local), QPointF(target->mapToGlobal(local)), button,
                        Qt::NoButton, Qt::NoModifier);
    release.setTimestamp(++clock);
    QApplication::sendEvent(target, &release);
    return passed;
}

class WhatsThis : public ::testing::Test {
protected:
    void SetUp() override
    {
        whatsThis = std::make_unique<TWhatsThis>();
        whatsThis->setObjectName("WhatsThis1");
        whatsThis->Loaded();
    }
    void TearDown() override
    {
        if (QApplication::activePopupWidget())
            QApplication::activePopupWidget()->close();
        whatsThis.reset();
    }
    // The commands and data asked for, as (command, data) pairs.
    std::vector<std::pair<int, std::int64_t>> Asked() const
    {
        std::vector<std::pair<int, std::int64_t>> asked;
        for (const auto& call : engine.Calls)
            asked.emplace_back(call.Command, call.Data);
        return asked;
    }
    using Asks = std::vector<std::pair<int, std::int64_t>>;

    RecordingHelpEngine engine;
    Form form;
    std::unique_ptr<TWhatsThis> whatsThis;
};

TEST_F(WhatsThis, TheContextSearch)
{
    EXPECT_EQ(whatsThis->ControlContext(form.edit1), 100);
    EXPECT_EQ(whatsThis->ControlContext(form.edit3), 300);  // the panel's
    EXPECT_EQ(whatsThis->ControlContext(form.label), 200);  // its buddy's
    EXPECT_EQ(whatsThis->ControlContext(form.tagged), 0);
    whatsThis->Options = {wtUseTag};
    EXPECT_EQ(whatsThis->ControlContext(form.tagged), 710);
    // The form's own context counts only with wtInheritFormContext.
    form.window.setProperty("helpContext", 900);
    EXPECT_EQ(whatsThis->ControlContext(form.bare), 0);
    whatsThis->Options = {wtInheritFormContext};
    EXPECT_EQ(whatsThis->ControlContext(form.bare), 900);
    // A label's focus control may also be named by a property.
    auto* other = new QLabel(&form.window);
    other->setProperty("focusControl", QVariant::fromValue<QObject*>(form.edit1));
    form.window.setProperty("helpContext", QVariant());
    EXPECT_EQ(whatsThis->ControlContext(other), 100);
}

TEST_F(WhatsThis, MapKeysAndLookups)
{
    testing::TempFolder folder;
    THelpContextMap map;
    whatsThis->SetHelpContextMap(&map);
    EXPECT_EQ(whatsThis->MapKey(form.edit1), "");  // no project yet
    map.SetFileName(folder.WriteFile("hilfe.hpj", "[MAP]\r\nForm1.Edit5=555\r\nForm1=5\r\n"));
    EXPECT_EQ(whatsThis->MapKey(form.edit1), "Form1.Edit1");
    EXPECT_EQ(whatsThis->MapKey(&form.window), "Form1");
    EXPECT_EQ(whatsThis->ControlContext(form.bare), 555);
    map.SetFileName(folder.WriteFile("hilfe.hhp", "[MAP]\r\nForm1_Edit5=556\r\n"));
    EXPECT_EQ(whatsThis->MapKey(form.edit1), "Form1_Edit1");
    EXPECT_EQ(whatsThis->ControlContext(form.bare), 556);
    map.SetFileName(folder.WriteFile("hilfe.txt", "[MAP]\r\nForm1_Edit5=557\r\n"));
    EXPECT_EQ(whatsThis->MapKey(form.edit1), "");
    EXPECT_EQ(whatsThis->ControlContext(form.bare), 0);
    // A map on the same owner is found when the component is loaded.
    QObject owner;
    auto* ownMap = new THelpContextMap(&owner);
    TWhatsThis placed(&owner);
    placed.SetActive(false);
    placed.Loaded();
    EXPECT_EQ(placed.HelpContextMap(), ownMap);
}

// In context mode the cursor is the help cursor over the application's windows and the arrow
// elsewhere (a move there reaches nobody of ours); a context map placed on the owner after
// Loaded is picked up as one placed before.
TEST_F(WhatsThis, TheContextCursorFollowsTheWindowsAndALaterMapIsPickedUp)
{
    whatsThis->EnterContextMode();
    const auto moveTo = [this](QPoint global) {
        QMouseEvent move(QEvent::MouseMove, QPointF(form.window.mapFromGlobal(global)), QPointF(global), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        move.setTimestamp(static_cast<unsigned long long>(global.x()) * 7 + 3);
        QApplication::sendEvent(&form.window, &move);
    };
    moveTo(QPoint(9000, 9000));
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
    moveTo(form.edit1->mapToGlobal(form.edit1->rect().center()));
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WhatsThisCursor);
    moveTo(QPoint(9100, 9000));
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
    whatsThis->LeaveContextMode();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // The "not yet implemented" message empties the cursor stack, also in the mode: the next move
    // and leaving the mode do without the cursor that has gone.
    whatsThis->EnterContextMode();
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    moveTo(form.edit1->mapToGlobal(form.edit1->rect().center()));
    whatsThis->LeaveContextMode();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    QObject owner;
    TWhatsThis placed(&owner);
    placed.SetActive(false);
    placed.Loaded();
    ASSERT_EQ(placed.HelpContextMap(), nullptr);
    auto* later = new THelpContextMap(&owner);
    QApplication::processEvents();
    EXPECT_EQ(placed.HelpContextMap(), later);
    // One chosen stays chosen.
    new THelpContextMap(&owner);
    QApplication::processEvents();
    EXPECT_EQ(placed.HelpContextMap(), later);
    delete later;
    EXPECT_EQ(placed.HelpContextMap(), nullptr);
}

TEST_F(WhatsThis, F1OnTheFocusedEditAsksForItsPopup)
{
    ASSERT_EQ(QApplication::focusWidget(), form.edit1);
    EXPECT_FALSE(Key(form.edit1, Qt::Key_F1));  // swallowed
    const QPoint corner = form.edit1->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(Asked(), (Asks{{HELP_SETPOPUP_POS, PackHelpPoint(corner)}, {HELP_CONTEXTPOPUP, 100}}));
    // A control without context still asks (wtNoContextHelp): the engine says "no help".
    engine.Calls.clear();
    form.bare->setFocus();
    Key(form.bare, Qt::Key_F1);
    ASSERT_EQ(engine.Calls.size(), 2u);
    EXPECT_EQ(engine.Last().Data, 0);
    // OnF1KeyDown may stop it; OnGetContext has the last word on the context.
    engine.Calls.clear();
    whatsThis->OnF1KeyDown = [](TWhatsThis&, bool& callHelp) { callHelp = false; };
    EXPECT_FALSE(Key(form.bare, Qt::Key_F1));
    EXPECT_TRUE(engine.Calls.empty());
    whatsThis->OnF1KeyDown = nullptr;
    whatsThis->OnGetContext = [](TWhatsThis&, QObject*, bool isMenu, int& context, int, int) {
        EXPECT_FALSE(isMenu);
        context = -42;
    };
    Key(form.bare, Qt::Key_F1);
    // A negative context shows a full topic.
    EXPECT_EQ(Asked(), (Asks{{HELP_CONTEXT, 42}}));

    // F1 after Shift was let go is plain F1 again, not context mode.
    engine.Calls.clear();
    whatsThis->OnGetContext = nullptr;
    form.edit1->setFocus();
    Key(form.edit1, Qt::Key_Shift, Qt::ShiftModifier);
    Key(form.edit1, Qt::Key_Shift, Qt::NoModifier, QEvent::KeyRelease);
    Key(form.edit1, Qt::Key_F1);
    EXPECT_FALSE(whatsThis->InContextMode());
    ASSERT_EQ(engine.Calls.size(), 2u);
    EXPECT_EQ(engine.Last().Data, 100);
}

TEST_F(WhatsThis, F1ActionsOtherThanContext)
{
    whatsThis->F1Action = TF1Action::goDefault;
    Key(form.edit1, Qt::Key_F1);
    whatsThis->F1Action = TF1Action::goTOC;
    Key(form.edit1, Qt::Key_F1);
    EXPECT_EQ(Asked(), (Asks{{HELP_CONTENTS, 0}, {HELP_TAB, 0}}));
    // A repeat of F1 is swallowed without asking again.
    engine.Calls.clear();
    Reached reached(form.edit1);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(form.edit1, &repeat);
    EXPECT_EQ(reached.Count, 0);
    EXPECT_TRUE(engine.Calls.empty());
}

TEST_F(WhatsThis, ShiftF1ThenAClickGivesHelpAndLeavesTheMode)
{
    Action action;
    whatsThis->SetActive(false);
    whatsThis->SetWTAction(&action);
    whatsThis->SetActive(true);
    int entered = 0, left = 0;
    whatsThis->OnEnterContextMode = [&](TWhatsThis&) { ++entered; };
    whatsThis->OnLeaveContextMode = [&](TWhatsThis&) { ++left; };

    EXPECT_FALSE(Key(form.edit1, Qt::Key_F1, Qt::ShiftModifier));
    EXPECT_TRUE(whatsThis->InContextMode());
    EXPECT_TRUE(action.Checked());
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WhatsThisCursor);
    EXPECT_TRUE(engine.Calls.empty());

    EXPECT_FALSE(Press(form.edit3, Qt::LeftButton));  // the edit does not see the click
    EXPECT_FALSE(whatsThis->InContextMode());
    EXPECT_FALSE(action.Checked());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(engine.Calls.empty());  // asked for once the press has passed
    QApplication::processEvents();
    const QPoint at = form.edit3->mapToGlobal(form.edit3->rect().center());
    EXPECT_EQ(Asked(), (Asks{{HELP_SETPOPUP_POS, PackHelpPoint(at)}, {HELP_CONTEXTPOPUP, 300}}));

    // The linked action enters the mode too; any key leaves it and reaches its control.
    engine.Calls.clear();
    action.Execute();
    EXPECT_TRUE(whatsThis->InContextMode());
    EXPECT_TRUE(Key(form.edit1, Qt::Key_A));
    EXPECT_FALSE(whatsThis->InContextMode());
    EXPECT_EQ(entered, 2);
    EXPECT_EQ(left, 2);
    QApplication::processEvents();
    EXPECT_TRUE(engine.Calls.empty());
    // Moves are kept from the controls only in the mode.
    Reached reached(form.edit1);
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), QPointF(form.edit1->mapToGlobal(QPoint(2, 2))), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(form.edit1, &move);
    EXPECT_EQ(reached.Count, 1);
    whatsThis->EnterContextMode();
    move.setTimestamp(77);
    QApplication::sendEvent(form.edit1, &move);
    EXPECT_EQ(reached.Count, 1);
    whatsThis->LeaveContextMode();
}

// A click in context mode as the window system delivers it: taken at the window, so that the clicked
// control does not get the focus.
TEST_F(WhatsThis, ContextClickDoesNotMoveTheFocus)
{
    ASSERT_EQ(QApplication::focusWidget(), form.edit1);
    QWindow* window = form.window.windowHandle();
    ASSERT_NE(window, nullptr);
    whatsThis->EnterContextMode();
    const QPoint local = form.edit3->mapTo(&form.window, form.edit3->rect().center());
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(local), QPointF(form.window.mapToGlobal(local)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &press);
    EXPECT_FALSE(whatsThis->InContextMode());
    EXPECT_EQ(QApplication::focusWidget(), form.edit1);
    QApplication::processEvents();
    ASSERT_EQ(engine.Calls.size(), 2u);
    EXPECT_EQ(engine.Last().Data, 300);
}

// In context mode a right click opens the menu only over the control that runs the linked action.
TEST_F(WhatsThis, RightClickInContextMode)
{
    Action action;
    whatsThis->SetActive(false);
    whatsThis->SetWTAction(&action);
    whatsThis->SetActive(true);
    form.edit2->setProperty("action", QVariant::fromValue<QObject*>(&action));
    whatsThis->EnterContextMode();
    Press(form.edit1, Qt::RightButton);
    QApplication::processEvents();
    EXPECT_TRUE(whatsThis->InContextMode());
    EXPECT_FALSE(whatsThis->PopupMenu()->isVisible());
    Press(form.edit2, Qt::RightButton);
    EXPECT_FALSE(whatsThis->InContextMode());
    QApplication::processEvents();
    EXPECT_TRUE(whatsThis->PopupMenu()->isVisible());
    whatsThis->PopupMenu()->close();
    EXPECT_TRUE(engine.Calls.empty());
}

TEST_F(WhatsThis, RightClickOpensTheMenuAndItsItemAsksForHelp)
{
    whatsThis->SetPopupCaption("Was ist das?");
    EXPECT_TRUE(Press(form.edit3, Qt::RightButton));  // the press passes on
    EXPECT_EQ(whatsThis->CurrentMode(), TWhatsThis::mdPopupRequested);
    QApplication::processEvents();  // the menu opens without waiting for it
    QMenu* menu = whatsThis->PopupMenu();
    ASSERT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->actions().at(0)->text(), QString("Was ist das?"));
    EXPECT_EQ(whatsThis->CurrentMode(), TWhatsThis::mdIdle);
    EXPECT_TRUE(whatsThis->InMenuLoop());
    EXPECT_TRUE(engine.Calls.empty());
    menu->actions().at(0)->trigger();
    menu->close();
    const QPoint at = form.edit3->mapToGlobal(form.edit3->rect().center());
    EXPECT_EQ(Asked(), (Asks{{HELP_SETPOPUP_POS, PackHelpPoint(at)}, {HELP_CONTEXTPOPUP, 300}}));
    EXPECT_FALSE(whatsThis->InMenuLoop());

    // A combo's own line edit counts as the combo.
    engine.Calls.clear();
    Press(form.combo->lineEdit(), Qt::RightButton);
    QApplication::processEvents();
    ASSERT_TRUE(menu->isVisible());
    menu->actions().at(0)->trigger();
    menu->close();
    ASSERT_EQ(engine.Calls.size(), 2u);
    EXPECT_EQ(engine.Last().Data, 400);
    // A control that takes the right button itself opens no menu: the press is its own.
    form.edit2->setContextMenuPolicy(Qt::PreventContextMenu);
    EXPECT_TRUE(Press(form.edit2, Qt::RightButton));
    EXPECT_EQ(whatsThis->CurrentMode(), TWhatsThis::mdIdle);
    QApplication::processEvents();
    EXPECT_FALSE(menu->isVisible());
    form.edit2->setContextMenuPolicy(Qt::DefaultContextMenu);

    // OnPopup may keep the menu shut; with wtDirectHelp the help comes at once.
    engine.Calls.clear();
    whatsThis->OnPopup = [](TWhatsThis&, QObject*, int, int, int, bool& doPopup) { doPopup = false; };
    Press(form.edit1, Qt::RightButton);
    QApplication::processEvents();
    EXPECT_FALSE(menu->isVisible());
    whatsThis->Options = {wtDirectHelp, wtMenuRightClick};
    Press(form.edit1, Qt::RightButton);
    QApplication::processEvents();
    EXPECT_FALSE(menu->isVisible());
    ASSERT_EQ(engine.Calls.size(), 2u);
    EXPECT_EQ(engine.Last().Data, 100);
}

TEST_F(WhatsThis, HelpOnTheMenuItemItself)
{
    whatsThis->SetPopupHelpContext(55);
    Press(form.edit1, Qt::RightButton);
    QApplication::processEvents();
    QMenu* menu = whatsThis->PopupMenu();
    ASSERT_TRUE(menu->isVisible());
    menu->setActiveAction(menu->actions().at(0));  // highlighted
    // A right press in the open menu asks for the item's help and closes the menu.
    const QPoint at(5, 5);
    EXPECT_FALSE(Press(menu, Qt::RightButton, at));
    EXPECT_TRUE(engine.Calls.empty());
    QApplication::processEvents();
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(Asked(), (Asks{{HELP_SETPOPUP_POS, PackHelpPoint(menu->mapToGlobal(at))}, {HELP_CONTEXTPOPUP, 55}}));
    // So does F1 while the menu is open, at the mouse.
    engine.Calls.clear();
    Press(form.edit1, Qt::RightButton);
    QApplication::processEvents();
    ASSERT_TRUE(menu->isVisible());
    menu->setActiveAction(menu->actions().at(0));
    EXPECT_FALSE(Key(menu, Qt::Key_F1));
    EXPECT_FALSE(menu->isVisible());
    ASSERT_FALSE(engine.Calls.empty());
    EXPECT_EQ(engine.Last().Data, 55);
}

TEST_F(WhatsThis, TheBareFormAndForeignWindows)
{
    // A right click on the form itself opens no menu unless wtPopupOnForm is set.
    form.window.setProperty("helpContext", 900);
    const QPoint corner(2, 2);
    Press(&form.window, Qt::RightButton, corner);
    QApplication::processEvents();
    EXPECT_FALSE(whatsThis->PopupMenu()->isVisible());
    whatsThis->Options = {wtPopupOnForm, wtInheritFormContext};
    Press(&form.window, Qt::RightButton, corner);
    QApplication::processEvents();
    EXPECT_TRUE(whatsThis->PopupMenu()->isVisible());
    whatsThis->PopupMenu()->close();
    // So does a component the form owns, as a dialog owns its own: the form's input is input too.
    {
        TWhatsThis owned(&form.window);
        owned.Options = {wtPopupOnForm, wtInheritFormContext};
        owned.Loaded();
        Press(&form.window, Qt::RightButton, corner);
        QApplication::processEvents();
        EXPECT_TRUE(owned.PopupMenu()->isVisible());
        owned.PopupMenu()->close();
    }
    // With no window of ours active, F1 with goContext is left alone.
    QApplication::setActiveWindow(nullptr);
    if (QApplication::activeWindow() == nullptr) {
        EXPECT_TRUE(Key(form.edit1, Qt::Key_F1));
        EXPECT_TRUE(engine.Calls.empty());
    }
}

// A filter installed later (a toolbar's menu mode) sees input first and may serve F1 itself.
TEST_F(WhatsThis, ALaterFilterSeesInputFirst)
{
    struct MenuMode : QObject {
        int F1 = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1)
                return false;
            ++F1;
            return true;
        }
    } menuMode;
    qApp->installEventFilter(&menuMode);
    Key(form.edit1, Qt::Key_F1);
    qApp->removeEventFilter(&menuMode);
    EXPECT_EQ(menuMode.F1, 1);
    EXPECT_TRUE(engine.Calls.empty());
}

TEST_F(WhatsThis, TheApplicationsKeyOpensTheMenuForTheFocusedControl)
{
    whatsThis->Options = {wtUseAppKey, wtNoContextMenu};
    EXPECT_FALSE(Key(form.edit1, Qt::Key_Menu));  // its own menu stays shut
    EXPECT_TRUE(Key(form.edit1, Qt::Key_Menu, Qt::NoModifier, QEvent::KeyRelease));
    QApplication::processEvents();
    ASSERT_TRUE(whatsThis->PopupMenu()->isVisible());
    whatsThis->PopupMenu()->actions().at(0)->trigger();
    whatsThis->PopupMenu()->close();
    const QPoint centre = form.edit1->mapToGlobal(form.edit1->rect().center());
    EXPECT_EQ(Asked(), (Asks{{HELP_SETPOPUP_POS, PackHelpPoint(centre)}, {HELP_CONTEXTPOPUP, 100}}));
}

TEST_F(WhatsThis, LinkedButtonAndMenuItem)
{
    auto* button = new QToolButton(&form.window);
    button->setCheckable(true);
    button->show();
    TBarCustomItem item;
    whatsThis->SetActive(false);
    whatsThis->SetWTToolbarButton(button);
    whatsThis->SetWTMenuItem(&item);
    EXPECT_EQ(ShortCutToText(item.ShortCut()), "Umschalt+F1");
    whatsThis->SetActive(true);
    button->click();
    EXPECT_TRUE(whatsThis->InContextMode());
    EXPECT_TRUE(button->isChecked());
    EXPECT_TRUE(item.Checked());
    // In the mode a press on the button passes on, and its click keeps the mode (it enters it,
    // it does not toggle it): the click after it still asks for help.
    EXPECT_TRUE(Press(button, Qt::LeftButton));
    EXPECT_TRUE(whatsThis->InContextMode());
    EXPECT_TRUE(button->isChecked());
    item.Click();
    EXPECT_TRUE(whatsThis->InContextMode());
    EXPECT_FALSE(Press(form.edit1, Qt::LeftButton));
    EXPECT_FALSE(whatsThis->InContextMode());
    QApplication::processEvents();
    EXPECT_EQ(Asked().back(), (std::pair<int, std::int64_t>{HELP_CONTEXTPOPUP, 100}));
    EXPECT_FALSE(button->isChecked());
    item.Click();
    EXPECT_TRUE(whatsThis->InContextMode());
    // In the mode a right click on another control is that control's; on the button it asks for
    // our menu and leaves the mode.
    Press(form.edit1, Qt::RightButton);
    QApplication::processEvents();
    EXPECT_TRUE(whatsThis->InContextMode());
    EXPECT_FALSE(whatsThis->PopupMenu()->isVisible());
    Press(button, Qt::RightButton);
    EXPECT_FALSE(whatsThis->InContextMode());
    QApplication::processEvents();
    EXPECT_TRUE(whatsThis->PopupMenu()->isVisible());
    whatsThis->PopupMenu()->close();

    // Changing a linked item while installed raises and changes nothing.
    TBarCustomItem other;
    try {
        whatsThis->SetWTMenuItem(&other);
        FAIL() << "changed while installed";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "TWhatsThis must be deactivated to change this property");
    }
    EXPECT_EQ(whatsThis->WTMenuItem(), &item);
    EXPECT_EQ(other.ShortCut(), scNone);
    // Uninstalled, the items have their own handlers back.
    bool ownClick = false;
    whatsThis->SetActive(false);
    item.OnClick = [&](TBarCustomItem&) { ownClick = true; };
    item.Click();
    EXPECT_TRUE(ownClick);
    button->click();
    EXPECT_FALSE(whatsThis->InContextMode());
    // Setting the action clears the other links.
    Action action;
    action.SetChecked(true);
    whatsThis->SetWTAction(&action);
    EXPECT_FALSE(action.Checked());
    EXPECT_EQ(whatsThis->WTToolbarButton(), nullptr);
    EXPECT_EQ(whatsThis->WTMenuItem(), nullptr);
}

TEST_F(WhatsThis, ContextModeNeedsAnInstalledInstance)
{
    whatsThis->SetActive(false);
    try {
        whatsThis->EnterContextMode();
        FAIL() << "entered while inactive";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "WhatsThis1 is currently not active.");
    }
    EXPECT_THROW(whatsThis->LeaveContextMode(), Exception);
    // Inactive, F1 reaches the control.
    EXPECT_TRUE(Key(form.edit1, Qt::Key_F1));
    EXPECT_TRUE(engine.Calls.empty());
}

TEST_F(WhatsThis, AStackOfInstances)
{
    TWhatsThis* first = whatsThis.get();
    {
        TWhatsThis second;
        second.Loaded();
        EXPECT_FALSE(first->Installed());
        EXPECT_TRUE(second.Installed());
        EXPECT_EQ(TWhatsThis::ActiveInstance(), &second);
    }
    EXPECT_TRUE(first->Installed());
    EXPECT_EQ(TWhatsThis::ActiveInstance(), first);

    // Destroying the first while the second is active leaves the second; destroying the second
    // afterwards touches nothing that is gone.
    auto second = std::make_unique<TWhatsThis>();
    second->Loaded();
    whatsThis.reset();
    EXPECT_TRUE(second->Installed());
    EXPECT_EQ(TWhatsThis::ActiveInstance(), second.get());
    second.reset();
    EXPECT_EQ(TWhatsThis::ActiveInstance(), nullptr);
    EXPECT_TRUE(Key(form.edit1, Qt::Key_F1));  // nobody watches any more
    EXPECT_TRUE(engine.Calls.empty());

    // A middle instance goes: the top stays; the top goes: the bottom comes back.
    auto bottom = std::make_unique<TWhatsThis>();
    bottom->Loaded();
    auto middle = std::make_unique<TWhatsThis>();
    middle->Loaded();
    auto top = std::make_unique<TWhatsThis>();
    top->Loaded();
    middle.reset();
    EXPECT_TRUE(top->Installed());
    top.reset();
    EXPECT_TRUE(bottom->Installed());
    EXPECT_EQ(TWhatsThis::ActiveInstance(), bottom.get());
    // An inactive instance below is made active but not installed.
    bottom->SetActive(false);
    auto upper = std::make_unique<TWhatsThis>();
    upper->Loaded();
    upper.reset();
    EXPECT_EQ(TWhatsThis::ActiveInstance(), bottom.get());
    EXPECT_FALSE(bottom->Installed());
}

// ---------------------------------------------------------------------------------------------
// Input as the window system delivers it: to the top-level window, from where Qt hands it to the
// control under the mouse or with the focus (and on up its parents), so that every application
// filter sees it on each step of the way, and a popup that is open takes the mouse.

// A press and release of a button at a control, through its top-level window.
void ClickThroughWindow(QWidget* control, Qt::MouseButton button, QPoint local = QPoint(-1, -1))
{
    if (local == QPoint(-1, -1))
        local = control->rect().center();
    QWidget* top = control->window();
    QTest::mouseClick(top->windowHandle(), button, Qt::NoModifier, control->mapTo(top, local));
}

// The mouse moved onto a point of a window, as the window system reports it.
void MoveThroughWindow(QWidget* window, QPoint local)
{
    QTest::mouseMove(window->windowHandle(), local);
    QApplication::processEvents();
}

TEST_F(WhatsThis, ThroughTheWindowRightClicksOpenTheMenuOnceForTheControlAndItsParent)
{
    whatsThis->SetPopupHelpContext(55);
    QMenu* menu = whatsThis->PopupMenu();
    int shown = 0;
    QObject::connect(menu, &QMenu::aboutToShow, [&] { ++shown; });
    // The press passes from the inner edit to its panel and the form: one menu, the edit's.
    ClickThroughWindow(form.edit3, Qt::RightButton);
    QApplication::processEvents();
    ASSERT_TRUE(menu->isVisible());
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(whatsThis->InMenuLoop());
    menu->actions().at(0)->trigger();
    menu->close();
    ASSERT_EQ(engine.Calls.size(), 2u);
    EXPECT_EQ(engine.Last().Data, 300);
    EXPECT_FALSE(whatsThis->InMenuLoop());
    // A new click on the panel itself, the parent of the control clicked last, is its own.
    engine.Calls.clear();
    ClickThroughWindow(form.panel, Qt::RightButton, QPoint(2, 2));
    QApplication::processEvents();
    ASSERT_TRUE(menu->isVisible());
    EXPECT_EQ(shown, 2);
    menu->actions().at(0)->trigger();
    menu->close();
    ASSERT_EQ(engine.Calls.size(), 2u);
    EXPECT_EQ(engine.Last().Data, 300);
    EXPECT_EQ(engine.Calls[0].Data, PackHelpPoint(form.panel->mapToGlobal(QPoint(2, 2))));
}

// With the menu open, a right click on its highlighted item (the mouse went there first) asks
// for the item's own help and closes the menu; the release is swallowed.
TEST_F(WhatsThis, ThroughTheWindowARightClickOnTheMenuItemAsksForItsHelp)
{
    whatsThis->SetPopupHelpContext(55);
    int left = 0;
    whatsThis->OnLeaveContextMode = [&](TWhatsThis&) { ++left; };
    QMenu* menu = whatsThis->PopupMenu();
    ClickThroughWindow(form.edit1, Qt::RightButton);
    QApplication::processEvents();
    ASSERT_TRUE(menu->isVisible());
    const QPoint item = menu->actionGeometry(menu->actions().at(0)).center();
    MoveThroughWindow(menu, item);
    ASSERT_EQ(menu->activeAction(), menu->actions().at(0));
    Reached reached(menu);
    QTest::mousePress(menu->windowHandle(), Qt::RightButton, Qt::NoModifier, item);
    EXPECT_EQ(reached.Count, 0);  // the menu never saw the press
    QTest::mouseRelease(menu->windowHandle(), Qt::RightButton, Qt::NoModifier, item);
    QApplication::processEvents();
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(Asked(), (Asks{{HELP_SETPOPUP_POS, PackHelpPoint(menu->mapToGlobal(item))}, {HELP_CONTEXTPOPUP, 55}}));
    EXPECT_EQ(whatsThis->CurrentMode(), TWhatsThis::mdIdle);
    EXPECT_FALSE(whatsThis->InMenuLoop());
    EXPECT_EQ(left, 0);  // there was no context mode to leave

    // Without wtMenuRightClick the right click on the item is the menu's own.
    engine.Calls.clear();
    whatsThis->Options = {wtNoContextHelp, wtNoContextMenu, wtInheritFormContext};
    ClickThroughWindow(form.edit1, Qt::RightButton);
    QApplication::processEvents();
    ASSERT_TRUE(menu->isVisible());
    MoveThroughWindow(menu, item);
    Reached ownPress(menu);
    QTest::mouseClick(menu->windowHandle(), Qt::RightButton, Qt::NoModifier, item);
    EXPECT_GT(ownPress.Count, 0);
    QApplication::processEvents();
    EXPECT_TRUE(engine.Calls.empty() || engine.Last().Data != 55);
    menu->close();
}

// A left release in the open menu that leaves it open (no press began there) keeps the menu
// tracked: F1 on its highlighted item still asks for the item's help.
TEST_F(WhatsThis, ThroughTheWindowALeftReleaseKeepsTheMenuTracked)
{
    whatsThis->SetPopupHelpContext(55);
    QMenu* menu = whatsThis->PopupMenu();
    ClickThroughWindow(form.edit1, Qt::RightButton);
    QApplication::processEvents();
    ASSERT_TRUE(menu->isVisible());
    const QPoint item = menu->actionGeometry(menu->actions().at(0)).center();
    MoveThroughWindow(menu, item);
    QTest::mouseRelease(menu->windowHandle(), Qt::LeftButton, Qt::NoModifier, item);
    QApplication::processEvents();
    ASSERT_TRUE(menu->isVisible());
    EXPECT_TRUE(whatsThis->InMenuLoop());
    QTest::keyClick(menu->windowHandle(), Qt::Key_F1);
    QApplication::processEvents();
    EXPECT_FALSE(menu->isVisible());
    ASSERT_FALSE(engine.Calls.empty());
    EXPECT_EQ(engine.Last().Data, 55);
}

// Shift+F1 while the "What's this?" menu is open, then a click on its item: the click is the
// item's help, not the control's the menu was opened for, and it ends the mode with its cursor;
// the next click and Esc are the controls' own again.
TEST_F(WhatsThis, ThroughTheWindowShiftF1InTheMenuThenAClickOnItsItem)
{
    whatsThis->SetPopupHelpContext(55);
    QMenu* menu = whatsThis->PopupMenu();
    ClickThroughWindow(form.edit1, Qt::RightButton);
    QApplication::processEvents();
    ASSERT_TRUE(menu->isVisible());
    const QPoint item = menu->actionGeometry(menu->actions().at(0)).center();
    MoveThroughWindow(menu, item);
    QTest::keyClick(menu->windowHandle(), Qt::Key_F1, Qt::ShiftModifier);
    ASSERT_TRUE(whatsThis->InContextMode());
    ASSERT_TRUE(menu->isVisible());
    MoveThroughWindow(menu, item);
    ASSERT_EQ(menu->activeAction(), menu->actions().at(0));

    QTest::mouseClick(menu->windowHandle(), Qt::LeftButton, Qt::NoModifier, item);
    EXPECT_FALSE(whatsThis->InContextMode());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    QApplication::processEvents();
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(Asked(), (Asks{{HELP_SETPOPUP_POS, PackHelpPoint(menu->mapToGlobal(item))}, {HELP_CONTEXTPOPUP, 55}}));

    engine.Calls.clear();
    Reached reached(form.edit2);
    ClickThroughWindow(form.edit2, Qt::LeftButton);
    QTest::keyClick(form.window.windowHandle(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_GT(reached.Count, 0);
    EXPECT_TRUE(engine.Calls.empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Chosen some other way while the mode is on (the item's action), the mode ends as well.
    ClickThroughWindow(form.edit1, Qt::RightButton);
    QApplication::processEvents();
    ASSERT_TRUE(menu->isVisible());
    whatsThis->EnterContextMode();
    menu->actions().at(0)->trigger();
    menu->close();
    EXPECT_FALSE(whatsThis->InContextMode());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// A left click while the menu is open is the menu's: it closes the menu and asks for nothing, and
// it does not start a context search either.
TEST_F(WhatsThis, ThroughTheWindowALeftClickWhileTheMenuIsOpenOnlyClosesIt)
{
    QMenu* menu = whatsThis->PopupMenu();
    ClickThroughWindow(form.edit2, Qt::RightButton);
    QApplication::processEvents();
    ASSERT_TRUE(menu->isVisible());
    ClickThroughWindow(form.edit1, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_FALSE(menu->isVisible());
    EXPECT_TRUE(engine.Calls.empty());
    EXPECT_EQ(whatsThis->CurrentMode(), TWhatsThis::mdIdle);
    EXPECT_FALSE(whatsThis->InContextMode());
    // The next right click opens the menu again at once.
    ClickThroughWindow(form.edit2, Qt::RightButton);
    QApplication::processEvents();
    EXPECT_TRUE(menu->isVisible());
    menu->close();
}

// Keys typed into the window: F1 asks for the focused control's pop-up once, though the key is
// offered to the control's parents as well; Shift+F1 and a click give the clicked control's help.
TEST_F(WhatsThis, ThroughTheWindowF1AndShiftF1)
{
    form.edit3->setFocus();
    QTest::keyClick(form.window.windowHandle(), Qt::Key_F1);
    QApplication::processEvents();
    EXPECT_EQ(Asked(), (Asks{{HELP_SETPOPUP_POS, PackHelpPoint(form.edit3->mapToGlobal(QPoint(0, 0)))},
                             {HELP_CONTEXTPOPUP, 300}}));
    engine.Calls.clear();
    QTest::keyClick(form.window.windowHandle(), Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_TRUE(whatsThis->InContextMode());
    ClickThroughWindow(form.edit2, Qt::LeftButton);
    EXPECT_FALSE(whatsThis->InContextMode());
    EXPECT_EQ(QApplication::focusWidget(), form.edit3);
    QApplication::processEvents();
    ASSERT_EQ(engine.Calls.size(), 2u);
    EXPECT_EQ(engine.Last().Data, 200);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// A right click in a combo box's open list belongs to the combo: the list is a window of its own,
// whose context comes from the combo below it.
TEST_F(WhatsThis, ThroughTheWindowARightClickInAComboBoxsList)
{
    auto* combo = new QComboBox(&form.window);
    combo->setObjectName("Combo2");
    combo->addItems({"Eins", "Zwei", "Drei"});
    combo->setProperty("helpContext", 450);
    combo->setGeometry(10, 280, 120, 24);
    combo->show();
    combo->showPopup();
    QApplication::processEvents();
    QWidget* list = combo->view()->window();
    ASSERT_NE(list, &form.window);
    ASSERT_TRUE(list->isVisible());
    const QPoint line = combo->view()->visualRect(combo->model()->index(1, 0)).center();
    QTest::mouseClick(list->windowHandle(), Qt::RightButton, Qt::NoModifier,
                      combo->view()->viewport()->mapTo(list, line));
    QApplication::processEvents();
    QMenu* menu = whatsThis->PopupMenu();
    ASSERT_TRUE(menu->isVisible());
    menu->actions().at(0)->trigger();
    menu->close();
    ASSERT_EQ(engine.Calls.size(), 2u);
    EXPECT_EQ(engine.Last().Data, 450);
    combo->hidePopup();
}

// A spin box's own edit counts as the spin box, as a combo's does.
TEST_F(WhatsThis, ThroughTheWindowTheEditInsideASpinBox)
{
    auto* spin = new QSpinBox(&form.window);
    spin->setObjectName("Spin1");
    spin->setProperty("helpContext", 470);
    spin->setGeometry(150, 280, 80, 24);
    spin->show();
    QApplication::processEvents();
    QLineEdit* inner = spin->findChild<QLineEdit*>();
    ASSERT_NE(inner, nullptr);
    inner->setFocusProxy(nullptr);
    spin->setFocusProxy(nullptr);
    EXPECT_EQ(whatsThis->ControlContext(inner), 470);
    QObject* asked = nullptr;
    whatsThis->OnGetContext = [&](TWhatsThis&, QObject* item, bool, int&, int, int) { asked = item; };
    ClickThroughWindow(inner, Qt::RightButton);
    QApplication::processEvents();
    QMenu* menu = whatsThis->PopupMenu();
    ASSERT_TRUE(menu->isVisible());
    menu->actions().at(0)->trigger();
    menu->close();
    ASSERT_EQ(engine.Calls.size(), 2u);
    EXPECT_EQ(engine.Last().Data, 470);
    EXPECT_EQ(asked, spin);  // the item asked about is the spin box, not its inner edit
}

// Other buttons: a middle click opens no menu, and in context mode a right click on an ordinary
// control reaches it and leaves the mode as it is.
TEST_F(WhatsThis, ThroughTheWindowAMiddleClickAndARightClickInContextMode)
{
    QMenu* menu = whatsThis->PopupMenu();
    Reached middle(form.edit1);
    ClickThroughWindow(form.edit1, Qt::MiddleButton);
    QApplication::processEvents();
    EXPECT_FALSE(menu->isVisible());
    EXPECT_GT(middle.Count, 0);
    EXPECT_TRUE(engine.Calls.empty());

    whatsThis->EnterContextMode();
    Reached right(form.edit2);
    ClickThroughWindow(form.edit2, Qt::RightButton);
    QApplication::processEvents();
    EXPECT_GT(right.Count, 0);
    EXPECT_TRUE(whatsThis->InContextMode());
    EXPECT_FALSE(menu->isVisible());
    EXPECT_TRUE(engine.Calls.empty());
    whatsThis->LeaveContextMode();
}

// The "?" of a window's caption: the window manager's message reaches the application as
// EnterWhatsThisMode, which leaves context mode; the next left press asks for help on the control
// under it at the press point and does not reach it; the press after that is the control's own.
TEST_F(WhatsThis, TheCaptionsHelpButtonAsksForHelpOnTheNextPress)
{
    int left = 0;
    whatsThis->OnLeaveContextMode = [&](TWhatsThis&) { ++left; };
    whatsThis->EnterContextMode();
    QEvent captionHelp(QEvent::EnterWhatsThisMode);
    QApplication::sendEvent(qApp, &captionHelp);
    EXPECT_EQ(whatsThis->CurrentMode(), TWhatsThis::mdCaptionHelp);
    EXPECT_EQ(left, 1);
    EXPECT_FALSE(QWhatsThis::inWhatsThisMode());
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WhatsThisCursor);

    const QPoint local(4, 5);
    EXPECT_FALSE(Press(form.edit2, Qt::LeftButton, local));
    EXPECT_EQ(whatsThis->CurrentMode(), TWhatsThis::mdIdle);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(engine.Calls.empty());  // asked for once the press has passed
    QApplication::processEvents();
    const QPoint at = form.edit2->mapToGlobal(local);
    EXPECT_EQ(Asked(), (Asks{{HELP_SETPOPUP_POS, PackHelpPoint(at)}, {HELP_CONTEXTPOPUP, 200}}));
    engine.Calls.clear();
    EXPECT_TRUE(Press(form.edit2, Qt::LeftButton, local));
    QApplication::processEvents();
    EXPECT_TRUE(engine.Calls.empty());

    // Through the window the clicked edit does not get the focus; a key ends the mode and passes on.
    ASSERT_EQ(QApplication::focusWidget(), form.edit1);
    QApplication::sendEvent(qApp, &captionHelp);
    ClickThroughWindow(form.edit3, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), form.edit1);
    QApplication::processEvents();
    ASSERT_EQ(engine.Calls.size(), 2u);
    EXPECT_EQ(engine.Last().Data, 300);
    QApplication::sendEvent(qApp, &captionHelp);
    EXPECT_TRUE(Key(form.edit1, Qt::Key_A));
    EXPECT_EQ(whatsThis->CurrentMode(), TWhatsThis::mdIdle);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(left, 1);
}


using velmoran::testing::CloseMenus;
using velmoran::testing::MenusShown;

// The Applications key on the focused control as the window system sends it: the menu event
// first, then the key's press and release.
void AppKeyThroughWindow(QWidget* control)
{
    control->setFocus();
    QWindow* window = control->window()->windowHandle();
    QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(), QCursor::pos());
    QApplication::sendEvent(window, &menuEvent);
    QTest::keyPress(window, Qt::Key_Menu);
    QTest::keyRelease(window, Qt::Key_Menu);
    QApplication::processEvents();
}

// One context menu at a time: over a control with a context the right click and the Applications
// key open ours alone; over one without (and no wtNoContextMenu), and without wtUseAppKey for the
// key, the control's own alone.
TEST_F(WhatsThis, ThroughTheWindowOneContextMenuAtATime)
{
    whatsThis->Options = {wtUseAppKey};
    QMenu* ours = whatsThis->PopupMenu();
    const auto onlyOurs = [&] { return MenusShown() == std::vector<QMenu*>{ours}; };
    const auto onlyItsOwn = [&] {
        const auto shown = MenusShown();
        return shown.size() == 1 && shown[0] != ours;
    };
    ClickThroughWindow(form.edit1, Qt::RightButton);
    QApplication::processEvents();
    EXPECT_TRUE(onlyOurs());
    CloseMenus();
    AppKeyThroughWindow(form.edit1);
    EXPECT_TRUE(onlyOurs());
    CloseMenus();

    ClickThroughWindow(form.bare, Qt::RightButton);
    QApplication::processEvents();
    EXPECT_TRUE(onlyItsOwn());
    CloseMenus();
    AppKeyThroughWindow(form.bare);
    EXPECT_TRUE(onlyItsOwn());
    CloseMenus();
    whatsThis->Options = {};
    AppKeyThroughWindow(form.edit1);
    EXPECT_TRUE(onlyItsOwn());
    CloseMenus();
    EXPECT_TRUE(engine.Calls.empty());
}

// A change of the active window while our menu is asked for ends the request: no menu opens over
// a window that is no longer active. The activation the click itself brings to its window keeps
// the request.
TEST_F(WhatsThis, AnotherWindowBecomingActiveEndsAWaitingRequest)
{
    QWidget dialog;
    dialog.setGeometry(500, 120, 100, 80);
    dialog.show();
    Press(form.edit1, Qt::RightButton);
    EXPECT_EQ(whatsThis->CurrentMode(), TWhatsThis::mdPopupRequested);
    QApplication::setActiveWindow(&dialog);
    EXPECT_EQ(whatsThis->CurrentMode(), TWhatsThis::mdIdle);
    QApplication::processEvents();
    EXPECT_TRUE(MenusShown().empty());
    CloseMenus();

    QApplication::setActiveWindow(nullptr);
    Press(form.edit1, Qt::RightButton);
    QApplication::setActiveWindow(&form.window);
    QApplication::processEvents();
    EXPECT_EQ(MenusShown(), std::vector<QMenu*>{whatsThis->PopupMenu()});
    CloseMenus();
    EXPECT_TRUE(engine.Calls.empty());
}
}  // namespace
}  // namespace velmoran
