// The accessibility objects of the menu bar, a toolbar and an open menu: children, roles, names
// with shortcuts, keyboard shortcuts, states, the default-action table, doAction posting one
// click, and an object whose view has gone.
#include "platform/core/ScopeExit.h"
#include "tests/toolbar/MenuFixture.h"
#include "toolbar/TBarAccessible.h"

#include <QAccessible>
#include <QComboBox>

namespace velmoran::testing {
namespace {

class Accessible : public MenuFixture {
protected:
    void SetUp() override
    {
        MenuFixture::SetUp();
        toolbar = new TBarToolbar(dock);
        toolbar->setObjectName("Datei");
        toolbar->SetDockRow(1);
        button = Item(toolbar->Items(), "&Neu", scCtrl | 'N');
        (new QComboBox(toolbar))->show();
        toolbar->Arrange();
        Settle();
    }
    static QAccessibleInterface* Of(QWidget* widget) { return QAccessible::queryAccessibleInterface(widget); }
    // The default action (the focus one is not the default).
    static QString Action(QAccessibleInterface* object)
    {
        QStringList names = object->actionInterface()->actionNames();
        names.removeAll(QAccessibleActionInterface::setFocusAction());
        EXPECT_LE(names.size(), 1);
        return names.isEmpty() ? QString() : names.front();
    }
    TBarToolbar* toolbar = nullptr;
    TBarItem* button = nullptr;
};

TEST_F(Accessible, ViewsListTheirViewersWithRolesNamesAndShortcuts)
{
    QAccessibleInterface* menuBar = Of(bar);
    ASSERT_NE(menuBar, nullptr);
    EXPECT_EQ(menuBar->role(), QAccessible::MenuBar);
    ASSERT_EQ(menuBar->childCount(), 3);
    QAccessibleInterface* datei = menuBar->child(0);
    EXPECT_EQ(datei->role(), QAccessible::MenuItem);
    EXPECT_EQ(datei->text(QAccessible::Name), "Datei");
    EXPECT_EQ(datei->text(QAccessible::Accelerator), "Alt+d");
    EXPECT_EQ(menuBar->indexOfChild(menuBar->child(2)), 2);
    EXPECT_EQ(datei->parent()->object(), bar);
    EXPECT_EQ(menuBar->child(0), datei);
    EXPECT_EQ(menuBar->childAt(datei->rect().center().x(), datei->rect().center().y()), datei);

    QAccessibleInterface* plain = Of(toolbar);
    EXPECT_EQ(plain->role(), QAccessible::ToolBar);
    ASSERT_EQ(plain->childCount(), 2);
    EXPECT_EQ(plain->child(0)->text(QAccessible::Name), "Neu");
    EXPECT_EQ(plain->child(0)->role(), QAccessible::PushButton);
    // A control item answers with its widget's own object.
    EXPECT_EQ(plain->child(1)->role(), QAccessible::ComboBox);

    AltKey('d');
    QAccessibleInterface* popup = Of(Child(BarView())->Window());
    EXPECT_EQ(popup->role(), QAccessible::PopupMenu);
    EXPECT_EQ(popup->text(QAccessible::Name), "Datei");
    ASSERT_EQ(popup->childCount(), 5);
    EXPECT_EQ(popup->child(0)->text(QAccessible::Name), "Neu\tStrg+N");
    EXPECT_EQ(popup->child(0)->text(QAccessible::Accelerator), "n");
    EXPECT_EQ(popup->child(2)->role(), QAccessible::Separator);
    // The open item leads to its menu.
    ASSERT_EQ(datei->childCount(), 1);
    EXPECT_EQ(datei->child(0)->object(), Child(BarView())->Window());
}

TEST_F(Accessible, StatesAndTheDefaultActionFollowTheItems)
{
    save->SetEnabled(false);
    open->SetChecked(true);
    QAccessibleInterface* datei = Of(bar)->child(0);
    EXPECT_EQ(Action(datei), "Open");
    EXPECT_TRUE(datei->state().hasPopup);
    EXPECT_TRUE(datei->state().focusable);
    EXPECT_FALSE(datei->state().hotTracked);
    EXPECT_EQ(Action(Of(toolbar)->child(0)), "Press");
    AltKey('d');
    EXPECT_TRUE(datei->state().hotTracked);
    EXPECT_TRUE(datei->state().focused);
    EXPECT_EQ(Action(datei), "Close");
    QAccessibleInterface* popup = Of(Child(BarView())->Window());
    EXPECT_EQ(Action(popup->child(0)), "Execute");
    EXPECT_TRUE(popup->child(1)->state().checked);
    EXPECT_TRUE(popup->child(3)->state().disabled);
    EXPECT_EQ(Action(popup->child(3)), "");
    EXPECT_TRUE(popup->child(2)->state().disabled);
}

TEST_F(Accessible, DoActionPostsOneClickOrClosesTheMenu)
{
    QAccessibleInterface* neuButton = Of(toolbar)->child(0);
    neuButton->actionInterface()->doAction("Press");
    EXPECT_TRUE(clicks.empty());
    Settle();
    EXPECT_EQ(clicks, std::vector<std::string>{"Neu"});
    EXPECT_EQ(TBarModalHandler::Active(), nullptr);
    // A name that is not the default action does nothing.
    neuButton->actionInterface()->doAction("Open");
    Settle();
    EXPECT_EQ(clicks.size(), 1u);
    // "Close" on the open menu-bar item closes it and ends the mode.
    AltKey('d');
    QAccessibleInterface* datei = Of(bar)->child(0);
    datei->actionInterface()->doAction("Close");
    Settle();
    ExpectModeGone();
    EXPECT_EQ(clicks.size(), 1u);
}

// "Close" on an open submenu inside a menu closes that submenu only: the menu it stands in and
// the mode stay.
TEST_F(Accessible, CloseOnASubmenuInsideAMenuClosesOnlyThatSubmenu)
{
    AltKey('d');
    TBarView* menu = Child(BarView());
    ASSERT_NE(menu, nullptr);
    Key(Qt::Key_V);
    ASSERT_NE(Child(*menu), nullptr);
    QAccessibleInterface* vorlagen = Of(menu->Window())->child(4);
    ASSERT_EQ(vorlagen->text(QAccessible::Name), "Vorlagen");
    EXPECT_EQ(Action(vorlagen), "Close");
    vorlagen->actionInterface()->doAction("Close");
    Settle();
    EXPECT_EQ(Child(*menu), nullptr);
    ASSERT_NE(TBarModalHandler::Active(), nullptr);
    EXPECT_EQ(Child(BarView()), menu);
    EXPECT_TRUE(clicks.empty());
    Key(Qt::Key_Escape);
    Key(Qt::Key_Escape);
}

TEST_F(Accessible, AnObjectKeptAfterItsViewIsGoneIsInvalidAndSafe)
{
    QAccessibleInterface* item = Of(toolbar)->child(0);
    ASSERT_TRUE(item->isValid());
    delete toolbar;
    EXPECT_FALSE(item->isValid());
    EXPECT_TRUE(item->text(QAccessible::Name).isEmpty());
    EXPECT_EQ(item->parent(), nullptr);
    EXPECT_EQ(item->child(0), nullptr);
    EXPECT_EQ(item->childCount(), 0);
    EXPECT_TRUE(item->rect().isEmpty());
    EXPECT_EQ(item->role(), QAccessible::NoRole);
    EXPECT_TRUE(item->actionInterface()->actionNames().isEmpty());
    item->actionInterface()->doAction("Press");
    Settle();
    EXPECT_TRUE(clicks.empty());
}

// An open menu in the accessible tree hangs under the item that opened it, and accessibility
// clients hear the mode's start with the focused item, each popup's start with its selected
// item, every new selection, each popup's end and the mode's end. SetFocus selects an item; from
// outside a menu it starts the keyboard's menu mode on it.
TEST_F(Accessible, AnOpenPopupHangsUnderItsItemAndItsEventsAreTold)
{
    struct Heard {
        QAccessible::Event Type;
        QObject* Object;
        int Child;
        bool operator==(const Heard&) const = default;
    };
    std::vector<Heard> heard;
    // Gone with the test however it ends: it writes into this frame.
    const TBarAccessibleObserver record = [&heard](QAccessibleEvent& event) {
        heard.push_back({event.type(), event.object(), event.child()});
    };
    const ScopedValue observer(AccessibleEventObserver(), record);
    AltKey('d');
    QWidget* popupWindow = Child(BarView())->Window();
    QAccessibleInterface* popup = Of(popupWindow);
    QAccessibleInterface* datei = Of(bar)->child(0);
    EXPECT_EQ(popup->parent(), datei);
    EXPECT_EQ(datei->child(0), popup);
    EXPECT_EQ(Of(bar)->parent(), Of(bar->parentWidget()));
    Key(Qt::Key_Down);
    Key(Qt::Key_Escape);
    Key(Qt::Key_Escape);
    ExpectModeGone();
    const std::vector<Heard> expected{
        {QAccessible::MenuStart, bar, -1},        {QAccessible::Focus, bar, 0},
        {QAccessible::PopupMenuStart, popupWindow, -1}, {QAccessible::Focus, popupWindow, 0},
        {QAccessible::Focus, popupWindow, 1},     {QAccessible::PopupMenuEnd, popupWindow, -1},
        {QAccessible::MenuEnd, bar, -1}};
    EXPECT_EQ(heard, expected);

    // The form active again (the offscreen platform leaves no window active after the menus).
    QApplication::setActiveWindow(form.get());
    QAccessibleInterface* neuButton = Of(toolbar)->child(0);
    EXPECT_TRUE(neuButton->actionInterface()->actionNames().contains(QAccessibleActionInterface::setFocusAction()));
    neuButton->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
    EXPECT_TRUE(neuButton->state().hotTracked);
    Settle();
    ASSERT_NE(TBarModalHandler::Active(), nullptr);
    EXPECT_TRUE(toolbar->View().Tracking());
    EXPECT_TRUE(neuButton->state().focused);
    EXPECT_TRUE(clicks.empty());
    Key(Qt::Key_Escape);
    EXPECT_EQ(TBarModalHandler::Active(), nullptr);
}

}  // namespace
}  // namespace velmoran::testing
