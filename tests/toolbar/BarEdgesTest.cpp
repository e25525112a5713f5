// Edges of the menu loop and the bars reached through the windows, as the window system sends
// the input: tooltips where no item is, the right button in a menu, presses and moves along the
// menu bar and a toolbar while a menu is open, a split button's two parts, submenus flipping up
// near the screen's bottom, an upright bar's Left and Right and its chevron's menu, a bar
// destroyed in its own mode, Tab, Shift+Tab, F10, Alt and letters in a menu, the scroll bands,
// a shared menu-bar accelerator, a dock's bound lines and a bar following its captions.
#include "tests/toolbar/MenuFixture.h"

#include <QHelpEvent>
#include <QToolTip>

namespace velmoran::testing {
namespace {

class BarEdges : public MenuFixture {
protected:
    // The tooltip the platform asks for at a global point of a window; empty when it showed none
    // (a marker shown before tells whether another came).
    static QString TooltipAt(QWidget& window, QPoint global)
    {
        const QString marker = QStringLiteral("\u2013");
        QToolTip::showText(global, marker);
        QHelpEvent event(QEvent::ToolTip, window.mapFromGlobal(global), global);
        QCoreApplication::sendEvent(&window, &event);
        return QToolTip::text() == marker ? QString() : QToolTip::text();
    }
    // An item's rectangle in global coordinates, right and bottom outside.
    static QRect GlobalRect(TBarView& view, TBarCustomItem* item)
    {
        const TRect& r = view.FindViewer(item)->BoundsRect;
        const QPoint centre = GlobalCentre(view, item);
        const QPoint origin = centre - QPoint((r.Left + r.Right) / 2 - r.Left, (r.Top + r.Bottom) / 2 - r.Top);
        return QRect(origin, QSize(r.Width(), r.Height()));
    }
    void RightClick(QPoint global)
    {
        Mouse(QEvent::MouseButtonPress, Routed(WidgetAt(global)), global, Qt::RightButton);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(), QPointF(), QPointF(global), Qt::RightButton,
                            Qt::NoButton, Qt::NoModifier);
        QWidget* receiver = Routed(WidgetAt(global));
        QMouseEvent local(QEvent::MouseButtonRelease, receiver->mapFromGlobal(QPointF(global)),
                          receiver->mapFromGlobal(QPointF(global)), QPointF(global), Qt::RightButton, Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(receiver, &local);
        Settle();
    }
};

// Over the menu bar's empty right part, over a popup's frame and over a toolbar's free end no
// item is found: no tooltip shows and nothing breaks; over an item its hint still shows.
TEST_F(BarEdges, ATooltipAskedWhereNoItemIsShowsNothing)
{
    view->SetHint("Ansicht|Zeigt Leisten");
    const QRect ansicht = GlobalRect(BarView(), view);
    const QPoint beyond(ansicht.right() + 40, ansicht.center().y());
    ASSERT_LT(bar->mapFromGlobal(beyond).x(), bar->width());
    EXPECT_EQ(TooltipAt(*bar, beyond), "");
    EXPECT_EQ(TooltipAt(*bar, ansicht.center()), "Ansicht");

    neu->SetOptions(tboShowHint);
    neu->SetHint("Neu|Legt eine neue Anlage an");
    AltKey('d');
    TBarView& menu = *Child(BarView());
    QWidget& popup = *menu.Window();
    EXPECT_EQ(TooltipAt(popup, popup.mapToGlobal(QPoint(1, 1))), "");
    EXPECT_EQ(TooltipAt(popup, popup.mapToGlobal(QPoint(popup.width() - 1, popup.height() - 1))), "");
    EXPECT_EQ(TooltipAt(popup, GlobalCentre(menu, neu)), "Neu");
    Key(Qt::Key_Escape);
    Key(Qt::Key_Escape);
    ExpectModeGone();

    auto* toolbar = new TBarToolbar(dock);
    toolbar->SetDockRow(1);
    TBarItem* eins = Item(toolbar->Items(), "&Eins");
    eins->SetHint("Eins|Das erste");
    Settle();
    toolbar->View().ValidatePositions();
    const QRect first = GlobalRect(toolbar->View(), eins);
    EXPECT_EQ(TooltipAt(*toolbar, first.center()), "Eins");
    // The gripper is no item.
    EXPECT_EQ(TooltipAt(*toolbar, toolbar->mapToGlobal(QPoint(2, toolbar->height() / 2))), "");
}

// The right button neither runs an item nor closes the menus; the left one afterwards does.
TEST_F(BarEdges, ARightClickOnAMenuItemRunsNothingAndKeepsTheMenu)
{
    Click(bar, GlobalCentre(BarView(), file));
    TBarView* popup = Child(BarView());
    ASSERT_NE(popup, nullptr);
    const QPoint item = GlobalCentre(*popup, save);
    Mouse(QEvent::MouseMove, Routed(bar), item);
    RightClick(item);
    EXPECT_TRUE(clicks.empty());
    ASSERT_NE(TBarModalHandler::Active(), nullptr);
    EXPECT_EQ(Child(BarView()), popup);
    // A right click on the menu bar's other item ends nothing either.
    RightClick(GlobalCentre(BarView(), edit));
    EXPECT_NE(TBarModalHandler::Active(), nullptr);
    EXPECT_TRUE(clicks.empty());
    ClickAt(item);
    EXPECT_EQ(clicks, std::vector<std::string>{"Speichern"});
    ExpectModeGone();
}

// While a menu is open, pressing on another menu-bar item switches the open menu to it (as the
// mouse moving there would), and releasing there closes it as a click on an open menu's title
// does; a click on the bar's empty space ends the mode. Nothing runs.
TEST_F(BarEdges, AClickOnTheMenuBarWhileAMenuIsOpen)
{
    Click(bar, GlobalCentre(BarView(), file));
    ASSERT_NE(Child(BarView()), nullptr);
    const QPoint bearbeiten = GlobalCentre(BarView(), edit);
    Mouse(QEvent::MouseButtonPress, Routed(WidgetAt(bearbeiten)), bearbeiten);
    Settle();
    ASSERT_NE(TBarModalHandler::Active(), nullptr);
    EXPECT_EQ(SelectedCaption(&BarView()), "Bearbeiten");
    TBarView* popup = Child(BarView());
    ASSERT_NE(popup, nullptr);
    EXPECT_NE(popup->FindViewer(copy), nullptr);
    Mouse(QEvent::MouseButtonRelease, Routed(WidgetAt(bearbeiten)), bearbeiten);
    Settle();
    ExpectModeGone();
    // Opened again, a click right of the last item ends it.
    Click(bar, GlobalCentre(BarView(), file));
    ASSERT_NE(Child(BarView()), nullptr);
    const QRect ansicht = GlobalRect(BarView(), view);
    ClickAt(QPoint(ansicht.right() + 40, ansicht.center().y()));
    ExpectModeGone();
    EXPECT_TRUE(clicks.empty());
    EXPECT_EQ(buttonClicks, 0);
}

// A split button on a toolbar, not its first item: a click on the button part runs it, a click on
// the arrow part opens its menu without running it.
TEST_F(BarEdges, ASplitButtonRunsFromItsButtonPartAndOpensFromItsArrow)
{
    auto* toolbar = new TBarToolbar(dock);
    toolbar->SetDockRow(1);
    Item(toolbar->Items(), "&Eins");
    Item(toolbar->Items(), "&Zwei");
    TBarSubmenuItem* split = Submenu(toolbar->Items(), "&Geteilt");
    split->SetDropdownCombo(true);
    split->OnClick = [this](TBarCustomItem&) { clicks.push_back("Geteilt"); };
    Item(*split, "&Innen");
    Settle();
    toolbar->View().ValidatePositions();
    const QRect r = GlobalRect(toolbar->View(), split);
    ASSERT_GT(r.left(), toolbar->mapToGlobal(QPoint(20, 0)).x());
    const QPoint buttonPart(r.left() + 4, r.center().y());
    const QPoint arrowPart(r.right() - 4, r.center().y());
    ClickAt(buttonPart);
    EXPECT_EQ(clicks, std::vector<std::string>{"Geteilt"});
    ExpectModeGone();
    ClickAt(arrowPart);
    EXPECT_EQ(clicks.size(), 1u);
    ASSERT_NE(TBarModalHandler::Active(), nullptr);
    TBarView* popup = Child(toolbar->View());
    ASSERT_NE(popup, nullptr);
    EXPECT_NE(popup->FindViewer(split->Items(0)), nullptr);
    Key(Qt::Key_Escape);
}

// Near the bottom of the work area a submenu that does not fit below its item opens upward: its
// bottom three pixels below the item's; the menu it comes from stays where it was.
TEST_F(BarEdges, ASubmenuNearTheScreensBottomFlipsUp)
{
    for (const char* caption : {"&Eins", "&Zwei", "&Drei", "&Vier"})
        Item(*templates, caption);
    // Measured once on a large screen, then the work area ends just below the menu.
    AltKey('d');
    ASSERT_NE(Child(BarView()), nullptr);
    const QRect menuFrame = Child(BarView())->Window()->geometry();
    const QRect item = GlobalRect(*Child(BarView()), templates);
    Key(Qt::Key_Escape);
    Key(Qt::Key_Escape);
    const QRect area(QPoint(-1000, -1000), QPoint(3000, menuFrame.bottom() + 4));
    SystemParamsOverride().Monitors = std::vector<std::pair<QRect, QRect>>{{area, area}};
    AltKey('d');
    TBarView* menu = Child(BarView());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->Window()->geometry(), menuFrame);
    Key(Qt::Key_V);
    TBarView* sub = Child(*menu);
    ASSERT_NE(sub, nullptr);
    const QRect subFrame = sub->Window()->geometry();
    EXPECT_EQ(subFrame.top() + subFrame.height(), item.top() + item.height() + 3);
    EXPECT_LT(subFrame.top(), item.top());
    EXPECT_EQ(subFrame.left(), item.left() + item.width() - 3);
    EXPECT_EQ(menu->Window()->geometry(), menuFrame);
    for (int level = 0; level < 3; ++level)
        Key(Qt::Key_Escape);
    ExpectModeGone();
    // With room below it opens downward, three pixels above the item's top.
    const QRect roomy(QPoint(-1000, -1000), QPoint(3000, 3000));
    SystemParamsOverride().Monitors = std::vector<std::pair<QRect, QRect>>{{roomy, roomy}};
    AltKey('d');
    ASSERT_NE(Child(BarView()), nullptr);
    Key(Qt::Key_V);
    ASSERT_NE(Child(*Child(BarView())), nullptr);
    EXPECT_EQ(Child(*Child(BarView()))->Window()->geometry().top(), item.top() - 3);
}

// With a menu open the mouse moving along the menu bar switches the open menu; the new one stays
// open after the submenu delay has passed, and the old one is gone at once.
TEST_F(BarEdges, MovingAlongTheMenuBarSwitchesTheOpenMenuForGood)
{
    Click(bar, GlobalCentre(BarView(), file));
    TBarView* first = Child(BarView());
    ASSERT_NE(first, nullptr);
    QPointer<QWidget> firstWindow = first->Window();
    Mouse(QEvent::MouseMove, Routed(bar), GlobalCentre(BarView(), edit));
    Settle();
    EXPECT_EQ(SelectedCaption(&BarView()), "Bearbeiten");
    ASSERT_NE(Child(BarView()), nullptr);
    EXPECT_NE(Child(BarView())->FindViewer(copy), nullptr);
    EXPECT_TRUE(firstWindow.isNull() || !firstWindow->isVisible());
    RunFor(80);
    ASSERT_NE(Child(BarView()), nullptr);
    EXPECT_NE(Child(BarView())->FindViewer(copy), nullptr);
    EXPECT_NE(TBarModalHandler::Active(), nullptr);
}

// On an upright toolbar Left and Right both open the selected item's menu from the bar, and Left
// in that menu goes back to the bar with the item still selected.
TEST_F(BarEdges, AnUprightToolbarOpensItsMenuWithLeftAndRight)
{
    auto* left = new TBarDock(form.get(), TBarDockPosition::dpLeft);
    auto* toolbar = new TBarToolbar(left);
    Item(toolbar->Items(), "&Eins");
    TBarSubmenuItem* more = Submenu(toolbar->Items(), "&Mehr");
    Item(*more, "&Innen");
    Item(*more, "&Außen");
    Settle();
    toolbar->View().ValidatePositions();
    ASSERT_EQ(toolbar->View().Orientation(), TBarViewOrientation::voVertical);
    ClickAt(GlobalCentre(toolbar->View(), more));
    ASSERT_NE(TBarModalHandler::Active(), nullptr);
    ASSERT_NE(Child(toolbar->View()), nullptr);
    Key(Qt::Key_Left);
    EXPECT_EQ(Child(toolbar->View()), nullptr);
    ASSERT_NE(TBarModalHandler::Active(), nullptr);
    EXPECT_EQ(SelectedCaption(&toolbar->View()), "Mehr");
    Key(Qt::Key_Right);
    ASSERT_NE(Child(toolbar->View()), nullptr);
    EXPECT_EQ(SelectedCaption(Child(toolbar->View())), "Innen");
    Key(Qt::Key_Left);
    EXPECT_EQ(Child(toolbar->View()), nullptr);
    Key(Qt::Key_Left);
    ASSERT_NE(Child(toolbar->View()), nullptr);
    EXPECT_EQ(SelectedCaption(Child(toolbar->View())), "Innen");
    Key(Qt::Key_Escape);
    Key(Qt::Key_Escape);
}

// A bar destroyed while its own menu is open takes the mode with it; destroying another bar leaves
// a running mode alone.
TEST_F(BarEdges, DestroyingABarEndsOnlyItsOwnMode)
{
    auto* other = new TBarToolbar(dock);
    other->SetDockRow(1);
    Item(other->Items(), "&Eins");
    AltKey('d');
    ASSERT_NE(Child(BarView()), nullptr);
    delete other;
    Settle();
    ASSERT_NE(TBarModalHandler::Active(), nullptr);
    EXPECT_NE(Child(BarView()), nullptr);
    delete bar;
    bar = nullptr;
    Settle();
    EXPECT_EQ(TBarModalHandler::Active(), nullptr);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// A toolbar whose drop-down menu is open: the menu stands below the button, the mouse moving onto
// a plain button closes it at once; a click on a split button's button part runs it, the menu gone.
TEST_F(BarEdges, AClickOnAToolbarWhileItsMenuIsOpen)
{
    auto* toolbar = new TBarToolbar(dock);
    toolbar->SetDockRow(1);
    TBarItem* eins = Item(toolbar->Items(), "&Eins");
    TBarSubmenuItem* more = Submenu(toolbar->Items(), "&Mehr");
    more->SetOptions(tboDropdownArrow);
    Item(*more, "&Innen");
    TBarSubmenuItem* split = Submenu(toolbar->Items(), "&Geteilt");
    split->SetDropdownCombo(true);
    split->OnClick = [this](TBarCustomItem&) { clicks.push_back("Geteilt"); };
    Item(*split, "&Außen");
    Settle();
    toolbar->View().ValidatePositions();
    ClickAt(GlobalCentre(toolbar->View(), more));
    ASSERT_NE(Child(toolbar->View()), nullptr);
    // The menu drops from the button's bottom left corner, wherever the bar's frame puts it.
    const QRect button = GlobalRect(toolbar->View(), more);
    EXPECT_EQ(Child(toolbar->View())->Window()->geometry().topLeft(), QPoint(button.left(), button.top() + button.height()));
    Mouse(QEvent::MouseMove, Routed(toolbar), GlobalCentre(toolbar->View(), eins));
    Settle();
    EXPECT_EQ(SelectedCaption(&toolbar->View()), "Eins");
    EXPECT_EQ(Child(toolbar->View()), nullptr);
    ASSERT_NE(TBarModalHandler::Active(), nullptr);
    Key(Qt::Key_Escape);
    ExpectModeGone();

    ClickAt(GlobalCentre(toolbar->View(), more));
    ASSERT_NE(Child(toolbar->View()), nullptr);
    const QRect r = GlobalRect(toolbar->View(), split);
    ClickAt(QPoint(r.left() + 4, r.center().y()));
    EXPECT_EQ(clicks, std::vector<std::string>{"Geteilt"});
    EXPECT_EQ(TBarModalHandler::Active(), nullptr);
}

// Tab and Shift+Tab (which Qt sends as Backtab) walk a menu like Down and Up, over the separator;
// F10 and Alt pressed while a menu is open end the mode without running anything; a release on
// the menu bar's empty space after a press on an item ends it too.
TEST_F(BarEdges, TabShiftTabF10AltAndAReleaseBesideTheItems)
{
    AltKey('d');
    TBarView* menu = Child(BarView());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(SelectedCaption(menu), "Neu");
    Key(Qt::Key_Tab);
    EXPECT_EQ(SelectedCaption(menu), "Öffnen...");
    Key(Qt::Key_Tab);
    EXPECT_EQ(SelectedCaption(menu), "Speichern");
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(SelectedCaption(menu), "Öffnen...");
    Key(Qt::Key_F10);
    ExpectModeGone();
    AltKey('d');
    ASSERT_NE(Child(BarView()), nullptr);
    QKeyEvent alt(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
    QApplication::sendEvent(KeyTarget(), &alt);
    Settle();
    ExpectModeGone();
    EXPECT_TRUE(clicks.empty());

    const QPoint datei = GlobalCentre(BarView(), file);
    Mouse(QEvent::MouseButtonPress, bar, datei);
    Settle();
    ASSERT_NE(TBarModalHandler::Active(), nullptr);
    const QRect ansicht = GlobalRect(BarView(), view);
    const QPoint beside(ansicht.right() + 40, ansicht.center().y());
    Mouse(QEvent::MouseMove, Routed(bar), beside);
    Mouse(QEvent::MouseButtonRelease, Routed(bar), beside);
    Settle();
    ExpectModeGone();
    EXPECT_TRUE(clicks.empty());
}

// A letter that is no item's accelerator, typed in an open menu whose items all have one, beeps
// and changes nothing; the item's own letter still runs it.
TEST_F(BarEdges, ALetterNoItemAnswersToBeepsInAMenu)
{
    AltKey('d');
    TBarView* menu = Child(BarView());
    ASSERT_NE(menu, nullptr);
    QTest::keyClick(KeyTarget(), Qt::Key_Q, Qt::NoModifier);
    Settle();
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(SelectedCaption(menu), "Neu");
    EXPECT_TRUE(clicks.empty());
    ASSERT_NE(TBarModalHandler::Active(), nullptr);
    QTest::keyClick(KeyTarget(), Qt::Key_S, Qt::NoModifier);
    Settle();
    EXPECT_EQ(clicks, std::vector<std::string>{"Speichern"});
    ExpectModeGone();
}

// The chevron of an upright bar opens its menu to the left of the chevron, level with its top
// (measured from where the chevron really is, inside the bar's border and gripper), and the menu
// holds just the buttons the bar had no room for.
TEST_F(BarEdges, TheChevronOfAnUprightBarOpensBesideItWithTheHiddenButtons)
{
    auto* left = new TBarDock(form.get(), TBarDockPosition::dpLeft);
    auto* toolbar = new TBarToolbar(left);
    std::vector<TBarItem*> items;
    for (const char* caption : {"&Eins", "&Zwei", "&Drei", "&Vier", "&Fünf", "&Sechs", "&Sieben", "&Acht"})
        items.push_back(Item(toolbar->Items(), caption));
    SystemParamsOverride().Monitors = std::vector<std::pair<QRect, QRect>>{
        {QRect(-2000, -2000, 6000, 6000), QRect(-2000, -2000, 6000, 6000)}};
    form->resize(600, 200);
    Settle();
    toolbar->View().ValidatePositions();
    TBarItemViewer* chevron = toolbar->View().FindViewer(&toolbar->ChevronItem());
    ASSERT_TRUE(chevron->Show);
    std::vector<std::string> hidden;
    for (TBarItem* item : items)
        if (!toolbar->View().FindViewer(item)->Show)
            hidden.push_back(StripAccelChars(item->Caption()));
    ASSERT_FALSE(hidden.empty());
    const QRect r = GlobalRect(toolbar->View(), &toolbar->ChevronItem());
    ClickAt(r.center());
    TBarView* popup = Child(toolbar->View());
    ASSERT_NE(popup, nullptr);
    const QRect frame = popup->Window()->geometry();
    EXPECT_EQ(frame.top(), r.top());
    EXPECT_EQ(frame.left() + frame.width(), r.left());
    std::vector<std::string> listed;
    for (int i = 0; i < popup->ViewerCount(); ++i)
        if (popup->Viewers(i)->Show)
            listed.push_back(StripAccelChars(popup->Viewers(i)->Item().Caption()));
    EXPECT_EQ(listed, hidden);
    Key(Qt::Key_Escape);
    Key(Qt::Key_Escape);
}

// A long menu scrolled down scrolls back up while the mouse rests on its upper band.
TEST_F(BarEdges, TheUpperScrollBandScrollsBack)
{
    SystemParamsOverride().Monitors = std::vector<std::pair<QRect, QRect>>{
        {QRect(-2000, -2000, 6000, 6000), QRect(-2000, -2000, 6000, 6000)}};
    for (int i = 0; i < 60; ++i)
        Item(*edit, "Eintrag " + std::to_string(i));
    const QPoint origin = form->mapToGlobal(QPoint(0, 0));
    SystemParamsOverride().Monitors = std::vector<std::pair<QRect, QRect>>{
        {QRect(origin, QSize(600, 200)), QRect(origin, QSize(600, 200))}};
    Click(bar, GlobalCentre(BarView(), edit));
    TBarView* popup = Child(BarView());
    ASSERT_NE(popup, nullptr);
    QWidget* window = popup->Window();
    Mouse(QEvent::MouseMove, Routed(bar), window->mapToGlobal(QPoint(window->width() / 2, window->height() - 8)));
    RunFor(350);
    ASSERT_TRUE(popup->ShowUpArrow());
    const int down = popup->ScrollOffset();
    ASSERT_GT(down, 0);
    Mouse(QEvent::MouseMove, Routed(bar), window->mapToGlobal(QPoint(window->width() / 2, 8)));
    EXPECT_TRUE(popup->TimerRunning(2));
    RunFor(250);
    EXPECT_LT(popup->ScrollOffset(), down);
    // Between the bands it rests.
    Mouse(QEvent::MouseMove, Routed(bar), window->mapToGlobal(QPoint(window->width() / 2, window->height() / 2)));
    const int resting = popup->ScrollOffset();
    RunFor(250);
    EXPECT_EQ(popup->ScrollOffset(), resting);
    // Nothing lies under a band: the last shown item ends above the lower band.
    for (int i = 0; i < popup->ViewerCount(); ++i)
        if (popup->Viewers(i)->Show) {
            EXPECT_LE(popup->Viewers(i)->BoundsRect.Bottom, window->height() - 2 * TBarPopupWindow::kFrame - kScrollBandHeight)
                << i;
        }
}

// An accelerator two menu-bar items share selects the first of them and opens nothing; the
// selection stays while the mouse is elsewhere, and Down opens its menu.
TEST_F(BarEdges, AnAcceleratorTwoMenuBarItemsShareSelectsWithoutOpening)
{
    TBarSubmenuItem* anlage = Submenu(bar->Items(), "&Anlage");
    Item(*anlage, "&Becken");
    ASSERT_TRUE(AltKey('a'));
    ASSERT_NE(TBarModalHandler::Active(), nullptr);
    EXPECT_EQ(SelectedCaption(&BarView()), "Ansicht");
    EXPECT_EQ(Child(BarView()), nullptr);
    Mouse(QEvent::MouseMove, Routed(bar), button->mapToGlobal(button->rect().center()));
    Settle();
    EXPECT_EQ(SelectedCaption(&BarView()), "Ansicht");
    Key(Qt::Key_Down);
    ASSERT_NE(Child(BarView()), nullptr);
    EXPECT_EQ(SelectedCaption(Child(BarView())), "Leiste");
    Key(Qt::Key_Escape);
    Key(Qt::Key_Escape);
}

// A dock with bound lines at its ends leaves its bars the room inside them: a bar that shrinks
// behind its chevron ends within the dock's client area.
TEST_F(BarEdges, ADocksBoundLinesTakeRoomFromItsBars)
{
    auto* toolbar = new TBarToolbar(dock);
    toolbar->SetDockRow(1);
    for (const char* caption : {"&Eins", "&Zwei", "&Drei", "&Vier", "&Fünf", "&Sechs", "&Sieben", "&Acht"})
        Item(toolbar->Items(), caption);
    dock->SetBoundLines(blLeft | blRight | blTop | blBottom);
    form->resize(160, 300);
    Settle();
    ASSERT_TRUE(toolbar->View().FindViewer(&toolbar->ChevronItem())->Show);
    EXPECT_EQ(toolbar->geometry().right(), dock->ClientRect().right());
    EXPECT_EQ(bar->geometry().right(), dock->ClientRect().right());
}

// Bound lines across an upright dock shorten its bars' room the same way.
TEST_F(BarEdges, AnUprightDocksBoundLinesTakeRoomFromItsBars)
{
    auto* left = new TBarDock(form.get(), TBarDockPosition::dpLeft);
    auto* toolbar = new TBarToolbar(left);
    for (const char* caption : {"&Eins", "&Zwei", "&Drei", "&Vier", "&Fünf", "&Sechs", "&Sieben", "&Acht"})
        Item(toolbar->Items(), caption);
    left->SetBoundLines(blLeft | blRight | blTop | blBottom);
    form->resize(600, 160);
    Settle();
    ASSERT_TRUE(toolbar->View().FindViewer(&toolbar->ChevronItem())->Show);
    EXPECT_EQ(toolbar->geometry().bottom(), left->ClientRect().bottom());
}

// A caption that grows makes its bar longer at once, and one that shrinks shorter.
TEST_F(BarEdges, ABarFollowsItsCaptionsLength)
{
    auto* toolbar = new TBarToolbar(dock);
    toolbar->SetDockRow(1);
    TBarItem* eins = Item(toolbar->Items(), "&Eins");
    Item(toolbar->Items(), "&Zwei");
    Settle();
    const int width = toolbar->width();
    eins->SetCaption("&Eins und noch mehr");
    Settle();
    EXPECT_GT(toolbar->width(), width + 40);
    eins->SetCaption("&Eins");
    Settle();
    EXPECT_EQ(toolbar->width(), width);
}

// The mouse resting on another item of a menu closes its open submenu after the delay; a letter
// typed in that submenu first brings the menu's selection back to the submenu's item, and the
// submenu stays.
TEST_F(BarEdges, ALetterTypedInASubmenuKeepsItOpenAgainstTheMouse)
{
    Item(*templates, "&Zwei");
    Item(*templates, "&Zeile");
    AltKey('d');
    TBarView* menu = Child(BarView());
    ASSERT_NE(menu, nullptr);
    Key(Qt::Key_V);
    TBarView* sub = Child(*menu);
    ASSERT_NE(sub, nullptr);
    Mouse(QEvent::MouseMove, Routed(bar), GlobalCentre(*menu, neu));
    Settle();
    ASSERT_TRUE(menu->TimerRunning(1));
    QTest::keyClick(KeyTarget(), Qt::Key_Z, Qt::NoModifier);
    Settle();
    EXPECT_EQ(SelectedCaption(sub), "Zwei");
    EXPECT_EQ(SelectedCaption(menu), "Vorlagen");
    RunFor(80);
    EXPECT_EQ(Child(*menu), sub);
    EXPECT_TRUE(clicks.empty());
}

}  // namespace
}  // namespace velmoran::testing
