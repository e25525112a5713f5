// The menu mode on the running event loop: it starts and returns at once, lets timers run, ends
// cleanly on every path, and its keys and clicks work the menu chain; the done action runs after
// the mode has ended.
#include "platform/Prompt.h"
#include "platform/Sounds.h"
#include "platform/core/ScopeExit.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/toolbar/MenuFixture.h"
#include "toolbar/TBarAccessible.h"

#include <QTimer>

#include <stdexcept>

namespace velmoran::testing {
namespace {

class MenuMode : public MenuFixture {};
class MenuKeys : public MenuFixture {};
class MenuMouse : public MenuFixture {};

// The sounds the menus would play, and whether the desktop wants them.
class RecordedSounds : public SoundService {
public:
    RecordedSounds() : previous_(SetSoundService(this)) {}
    ~RecordedSounds() override { SetSoundService(previous_); }
    bool Wanted(std::string_view) override { return On; }
    void Play(std::string_view alias) override
    {
        Played.emplace_back(alias);
        bool shown = false;
        for (QWidget* window : QApplication::topLevelWidgets())
            shown = shown || (dynamic_cast<TBarPopupWindow*>(window) && window->isVisible());
        PopupShown.push_back(shown);
    }
    bool On = true;
    std::vector<std::string> Played;
    // Whether a popup menu was on the screen as each sound started.
    std::vector<bool> PopupShown;

private:
    SoundService* previous_;
};

// --- the mode -----------------------------------------------------------------------------------

TEST_F(MenuMode, ReturnsAtOnceAndLetsTimersRunWhileAMenuIsOpen)
{
    EXPECT_TRUE(AltKey('d'));
    ASSERT_NE(TBarModalHandler::Active(), nullptr);
    ASSERT_NE(Child(BarView()), nullptr);
    bool fired = false;
    QTimer::singleShot(5, [&] { fired = true; });
    RunFor(30);
    EXPECT_TRUE(fired);
    EXPECT_NE(Child(BarView()), nullptr);
    // A second start on the tracking view does nothing.
    TBarModalHandler* handler = TBarModalHandler::Active();
    TBarModalHandler::EnterToolbarLoop(BarView(), 0);
    EXPECT_EQ(TBarModalHandler::Active(), handler);
}

TEST_F(MenuMode, EveryEndLeavesNoGrabCursorOrSelection)
{
    // Escape twice.
    SCOPED_TRACE("Escape twice");
    AltKey('d');
    Key(Qt::Key_Escape);
    Key(Qt::Key_Escape);
    ExpectModeGone();
    // The application is deactivated.
    SCOPED_TRACE("The application is deactivated");
    AltKey('d');
    QEvent deactivate(QEvent::ApplicationDeactivate);
    QApplication::sendEvent(qApp, &deactivate);
    Settle();
    ExpectModeGone();
    // Another widget takes the mouse.
    SCOPED_TRACE("Another widget takes the mouse");
    AltKey('d');
    button->grabMouse();
    Mouse(QEvent::MouseMove, button, button->mapToGlobal(QPoint(5, 5)));
    Settle();
    button->releaseMouse();
    ExpectModeGone();
    // Another window becomes active.
    SCOPED_TRACE("Another window becomes active");
    AltKey('d');
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    Settle();
    ExpectModeGone();
    EXPECT_TRUE(clicks.empty());
}

TEST_F(MenuMode, DestroyingTheFormFromATimerEndsTheMode)
{
    AltKey('d');
    ASSERT_NE(TBarModalHandler::Active(), nullptr);
    QTimer::singleShot(0, [this] { form.reset(); });
    RunFor(20);
    EXPECT_EQ(TBarModalHandler::Active(), nullptr);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(MenuMode, AHandlerThatRaisesEndsTheModeAndTheMessageIsShown)
{
    ScriptedPromptService prompts;
    open->OnSelect = [](TBarCustomItem&, TBarItemViewer*, bool selecting) {
        if (selecting)
            throw std::runtime_error("Auswahl fehlgeschlagen");
    };
    AltKey('d');
    Key(Qt::Key_Down);
    EXPECT_EQ(TBarModalHandler::Active(), nullptr);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0].Text, "Auswahl fehlgeschlagen");
    // The click handler's own exception, after the mode.
    open->OnSelect = nullptr;
    neu->OnClick = [](TBarCustomItem&) { throw std::runtime_error("Neu fehlgeschlagen"); };
    AltKey('d');
    Key(Qt::Key_Return);
    Settle();
    EXPECT_EQ(TBarModalHandler::Active(), nullptr);
    ASSERT_EQ(prompts.Messages().size(), 2u);
    EXPECT_EQ(prompts.Messages()[1].Text, "Neu fehlgeschlagen");
}

// --- keys ---------------------------------------------------------------------------------------

TEST_F(MenuKeys, AltDOpensDateiAndEnterRunsTheItemOnceAfterTheMode)
{
    AltKey('d');
    TBarView* popup = Child(BarView());
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(SelectedCaption(&BarView()), "Datei");
    EXPECT_EQ(SelectedCaption(popup), "Neu");
    EXPECT_TRUE(BarView().KeyboardCuesShown());
    // Down twice: past the separator to "Speichern".
    Key(Qt::Key_Down);
    EXPECT_EQ(SelectedCaption(popup), "Öffnen...");
    Key(Qt::Key_Down);
    EXPECT_EQ(SelectedCaption(popup), "Speichern");
    Key(Qt::Key_Up);
    QTest::keyClick(KeyTarget(), Qt::Key_Return);
    EXPECT_TRUE(clicks.empty());
    Settle();
    ASSERT_EQ(clicks, std::vector<std::string>{"Öffnen..."});
    EXPECT_FALSE(clickedInMode[0]);
    ExpectModeGone();
    EXPECT_FALSE(BarView().KeyboardCuesShown());
}

// While the desktop wants menu sounds, a menu that opens plays "MenuPopup" and a command chosen in
// a menu "MenuCommand"; a button of a toolbar plays none. Otherwise nothing plays.
TEST_F(MenuKeys, MenusPlayTheDesktopsSoundsOnlyWhenItWantsThem)
{
    RecordedSounds sounds;
    AltKey('d');
    Key(Qt::Key_Return);
    Settle();
    ASSERT_EQ(clicks, std::vector<std::string>{"Neu"});
    EXPECT_EQ(sounds.Played, (std::vector<std::string>{"MenuPopup", "MenuCommand"}));
    // The program's first menu is on the screen before its sound starts; a later one starts it
    // before it appears.
    AltKey('d');
    Key(Qt::Key_Escape);
    Key(Qt::Key_Escape);
    ASSERT_EQ(sounds.PopupShown.size(), 3u);
    EXPECT_TRUE(sounds.PopupShown[0]);
    EXPECT_FALSE(sounds.PopupShown[2]);
    sounds.PopupShown.clear();

    sounds.Played.clear();
    auto* tools = new TBarToolbar(dock);
    tools->SetDockRow(1);
    TBarItem* knopf = Item(tools->Items(), "Kn");
    Settle();
    sounds.Played.clear();
    Click(tools, GlobalCentre(tools->View(), knopf));
    Settle();
    ASSERT_EQ(clicks.back(), "Kn");
    EXPECT_TRUE(sounds.Played.empty());

    sounds.On = false;
    AltKey('d');
    Key(Qt::Key_Return);
    Settle();
    EXPECT_EQ(clicks.back(), "Neu");
    EXPECT_TRUE(sounds.Played.empty());
}

TEST_F(MenuKeys, EscapeClosesOneLevelThenCancels)
{
    AltKey('d');
    Key(Qt::Key_End);
    EXPECT_EQ(SelectedCaption(Child(BarView())), "Vorlagen");
    Key(Qt::Key_Right);
    TBarView* popup = Child(BarView());
    ASSERT_NE(Child(*popup), nullptr);
    EXPECT_EQ(SelectedCaption(Child(*popup)), "Bildschirm");
    Key(Qt::Key_Escape);
    EXPECT_EQ(Child(*popup), nullptr);
    Key(Qt::Key_Escape);
    EXPECT_EQ(Child(BarView()), nullptr);
    EXPECT_NE(TBarModalHandler::Active(), nullptr);
    EXPECT_EQ(SelectedCaption(&BarView()), "Datei");
    Key(Qt::Key_Escape);
    ExpectModeGone();
    EXPECT_TRUE(clicks.empty());
}

TEST_F(MenuKeys, LeftAndRightMoveAlongTheMenuBarWithMenusOpen)
{
    AltKey('d');
    Key(Qt::Key_Right);
    EXPECT_EQ(SelectedCaption(&BarView()), "Bearbeiten");
    EXPECT_EQ(SelectedCaption(Child(BarView())), "Kopieren");
    Key(Qt::Key_Right);
    EXPECT_EQ(SelectedCaption(&BarView()), "Ansicht");
    Key(Qt::Key_Right);
    EXPECT_EQ(SelectedCaption(&BarView()), "Datei");
    Key(Qt::Key_Left);
    EXPECT_EQ(SelectedCaption(&BarView()), "Ansicht");
    ASSERT_NE(Child(BarView()), nullptr);
    EXPECT_EQ(SelectedCaption(Child(BarView())), "Leiste");
    // Home and End in the open menu.
    Key(Qt::Key_Left);
    Key(Qt::Key_Left);
    Key(Qt::Key_End);
    EXPECT_EQ(SelectedCaption(Child(BarView())), "Vorlagen");
    Key(Qt::Key_Home);
    EXPECT_EQ(SelectedCaption(Child(BarView())), "Neu");
}

TEST_F(MenuKeys, SharedAcceleratorsCycleWithoutRunningAndAUniqueOneRuns)
{
    neu->SetCaption("&Sichern");  // shares "s" with "&Speichern"
    AltKey('d');
    TBarView* popup = Child(BarView());
    QTest::keyClick(KeyTarget(), Qt::Key_S, Qt::NoModifier);
    Settle();
    EXPECT_EQ(SelectedCaption(popup), "Speichern");
    QTest::keyClick(KeyTarget(), Qt::Key_S, Qt::NoModifier);
    Settle();
    EXPECT_EQ(SelectedCaption(popup), "Sichern");
    EXPECT_TRUE(clicks.empty());
    // A unique accelerator runs its item; the key is lowered as Unicode.
    QKeyEvent upper(QEvent::KeyPress, Qt::Key_Odiaeresis, Qt::NoModifier, QString::fromUtf8("Ö"));
    QApplication::sendEvent(KeyTarget(), &upper);
    Settle();
    EXPECT_EQ(clicks, std::vector<std::string>{"Öffnen..."});
    ExpectModeGone();
    // No match beeps.
    AltKey('d');
    QTest::keyClick(KeyTarget(), Qt::Key_Q, Qt::NoModifier);
    EXPECT_EQ(beeps, 1);
}

TEST_F(MenuKeys, F1AsksForHelpOnTheNearestItemWithAContext)
{
    std::vector<long long> contexts;
    AppServices::Instance().HelpEngine = [&](const std::string&, int, long long data) {
        contexts.push_back(data);
        return true;
    };
    file->SetHelpContext(77);
    open->SetHelpContext(12);
    AltKey('d');
    Key(Qt::Key_Down);
    Key(Qt::Key_F1);
    Settle();
    EXPECT_EQ(contexts, std::vector<long long>{12});
    ExpectModeGone();
    // "Neu" has none: the menu's item gives it.
    AltKey('d');
    ASSERT_NE(TBarModalHandler::Active(), nullptr);
    EXPECT_EQ(SelectedCaption(Child(BarView())), "Neu");
    Key(Qt::Key_F1);
    Settle();
    EXPECT_EQ(contexts, (std::vector<long long>{12, 77}));
    // None anywhere: nothing, and the menu stays.
    file->SetHelpContext(0);
    AltKey('d');
    Key(Qt::Key_F1);
    EXPECT_EQ(contexts.size(), 2u);
    EXPECT_NE(TBarModalHandler::Active(), nullptr);
    AppServices::Instance().HelpEngine = {};
}

TEST_F(MenuKeys, AKeyWhileTheLeftButtonIsHeldIsIgnoredExceptF1)
{
    std::vector<long long> contexts;
    AppServices::Instance().HelpEngine = [&](const std::string&, int, long long data) {
        contexts.push_back(data);
        return true;
    };
    neu->SetHelpContext(5);
    AltKey('d');
    TBarView* popup = Child(BarView());
    ASSERT_NE(popup, nullptr);
    // The button goes down over "Neu" through the window system, so the application knows it.
    QWidget* window = popup->Window();
    const QPoint local = window->mapFromGlobal(GlobalCentre(*popup, neu));
    QTest::mousePress(window, Qt::LeftButton, {}, local);
    Settle();
    ASSERT_TRUE(QApplication::mouseButtons() & Qt::LeftButton);
    Key(Qt::Key_Down);
    EXPECT_EQ(SelectedCaption(popup), "Neu");
    Key(Qt::Key_F1);
    Settle();
    EXPECT_EQ(contexts, std::vector<long long>{5});
    // The help ended the mode and closed the menu: the button comes up over the form.
    QTest::mouseRelease(form.get(), Qt::LeftButton, {}, QPoint(300, 250));
    Settle();
    AppServices::Instance().HelpEngine = {};
}

// --- the mouse ----------------------------------------------------------------------------------

TEST_F(MenuMouse, AClickOpensAMenuBarItemAndASecondClickClosesIt)
{
    const QPoint datei = GlobalCentre(BarView(), file);
    Click(bar, datei);
    ASSERT_NE(TBarModalHandler::Active(), nullptr);
    ASSERT_NE(Child(BarView()), nullptr);
    // Opened by the mouse: nothing selected inside.
    EXPECT_EQ(Child(BarView())->Selected(), nullptr);
    Click(bar, datei);
    ExpectModeGone();
    EXPECT_TRUE(clicks.empty());
}

TEST_F(MenuMouse, AClickOnAnItemRunsItAfterTheMode)
{
    Click(bar, GlobalCentre(BarView(), file));
    TBarView* popup = Child(BarView());
    ASSERT_NE(popup, nullptr);
    const QPoint item = GlobalCentre(*popup, save);
    Mouse(QEvent::MouseMove, bar, item);
    EXPECT_EQ(SelectedCaption(popup), "Speichern");
    Click(bar, item);
    EXPECT_EQ(clicks, std::vector<std::string>{"Speichern"});
    EXPECT_FALSE(clickedInMode[0]);
    ExpectModeGone();
}

TEST_F(MenuMouse, AClickOutsideClosesTheMenusAndStillReachesTheButton)
{
    Click(bar, GlobalCentre(BarView(), file));
    ASSERT_NE(Child(BarView()), nullptr);
    const QPoint centre = button->mapToGlobal(button->rect().center());
    // The grab sends the press to the menu bar; the mode hands it on.
    ClickAt(centre);
    ExpectModeGone();
    EXPECT_EQ(buttonClicks, 1);
    // Sent straight to the button, the press ends the mode and goes on as well.
    Click(bar, GlobalCentre(BarView(), file));
    Click(button, centre);
    ExpectModeGone();
    EXPECT_EQ(buttonClicks, 2);
}

TEST_F(MenuMouse, HoverOpensASubmenuAfterTheDelay)
{
    Click(bar, GlobalCentre(BarView(), file));
    TBarView* popup = Child(BarView());
    ASSERT_NE(popup, nullptr);
    Mouse(QEvent::MouseMove, bar, GlobalCentre(*popup, templates));
    EXPECT_EQ(Child(*popup), nullptr);
    EXPECT_TRUE(popup->TimerRunning(0));
    RunFor(60);
    ASSERT_NE(Child(*popup), nullptr);
    EXPECT_EQ(Child(*popup)->Selected(), nullptr);
    // Back onto another item: the submenu closes after the delay.
    Mouse(QEvent::MouseMove, bar, GlobalCentre(*popup, open));
    EXPECT_TRUE(popup->TimerRunning(1));
    RunFor(60);
    EXPECT_EQ(Child(*popup), nullptr);
}

// The pointer leaves an item whose submenu is open and comes back before the menu delay is over:
// the submenu stays, and so it does when the pointer leaves the submenu and comes back onto the
// item it had left there. A split button pressed in its button part looks pushed only while the
// pointer is over that part, not over its arrow.
TEST_F(MenuMouse, ASubmenuStaysForAReturningPointerAndAPressFollowsTheButtonPart)
{
    Click(bar, GlobalCentre(BarView(), file));
    TBarView* popup = Child(BarView());
    ASSERT_NE(popup, nullptr);
    Mouse(QEvent::MouseMove, bar, GlobalCentre(*popup, templates));
    RunFor(60);
    TBarView* submenu = Child(*popup);
    ASSERT_NE(submenu, nullptr);
    Mouse(QEvent::MouseMove, bar, GlobalCentre(*popup, save));
    Mouse(QEvent::MouseMove, bar, GlobalCentre(*popup, templates));
    RunFor(60);
    EXPECT_EQ(SelectedCaption(popup), "Vorlagen");
    ASSERT_EQ(Child(*popup), submenu);
    // Into the submenu, out onto "Speichern" and back onto "Bildschirm".
    Mouse(QEvent::MouseMove, bar, GlobalCentre(*submenu, screen));
    Mouse(QEvent::MouseMove, bar, GlobalCentre(*popup, save));
    EXPECT_EQ(SelectedCaption(popup), "Speichern");
    Mouse(QEvent::MouseMove, bar, GlobalCentre(*submenu, screen));
    RunFor(60);
    EXPECT_EQ(SelectedCaption(popup), "Vorlagen");
    ASSERT_EQ(Child(*popup), submenu);
    EXPECT_EQ(SelectedCaption(submenu), "Bildschirm");
    Key(Qt::Key_Escape);
    Key(Qt::Key_Escape);
    Key(Qt::Key_Escape);
    ExpectModeGone();

    auto* tools = new TBarToolbar(dock);
    tools->SetDockRow(1);
    auto* split = new TBarSubmenuItem(&tools->Items());
    split->SetCaption("Ö&ffnen");
    split->SetDropdownCombo(true);
    split->OnClick = [this](TBarCustomItem&) { clicks.push_back("Knopfteil"); };
    tools->Items().Add(split);
    Item(*split, "&Zuletzt");
    Settle();
    TBarView& toolsView = tools->View();
    toolsView.ValidatePositions();
    const TRect r = toolsView.FindViewer(split)->BoundsRect;
    const auto at = [&](int x) { return tools->mapToGlobal(tools->ClientToWindow(QPoint(x, (r.Top + r.Bottom) / 2))); };
    const QPoint buttonPart = at(r.Left + 3);
    const QPoint arrowPart = at(r.Right - 3);
    Mouse(QEvent::MouseButtonPress, tools, buttonPart);
    ASSERT_TRUE(toolsView.Captured());
    EXPECT_TRUE(toolsView.MouseOverSelected());
    Mouse(QEvent::MouseMove, Routed(tools), arrowPart);
    EXPECT_TRUE(toolsView.Captured());
    EXPECT_FALSE(toolsView.MouseOverSelected());
    Mouse(QEvent::MouseMove, Routed(tools), buttonPart);
    EXPECT_TRUE(toolsView.MouseOverSelected());
    Mouse(QEvent::MouseButtonRelease, Routed(tools), buttonPart);
    Settle();
    EXPECT_EQ(TBarModalHandler::Active(), nullptr);
    EXPECT_EQ(clicks, std::vector<std::string>{"Knopfteil"});
}

// An item's OnSelect handler may move the selection on (here from "Speichern" to the submenu
// below it, as if the mouse were there): the menu then acts on the selection the handler made,
// not on the item the mouse entered. The submenu opens after the delay, and screen readers hear
// of the new selection once.
TEST_F(MenuMouse, ASelectionMovedOnByItsHandlerIsTheOneThatOpens)
{
    Click(bar, GlobalCentre(BarView(), file));
    TBarView* popup = Child(BarView());
    ASSERT_NE(popup, nullptr);
    save->OnSelect = [this](TBarCustomItem&, TBarItemViewer* viewer, bool selecting) {
        if (selecting)
            viewer->View().SetSelected(viewer->View().FindViewer(templates), true);
    };
    int focusEvents = 0;
    {
        const TBarAccessibleObserver count = [&focusEvents](QAccessibleEvent& event) {
            focusEvents += event.type() == QAccessible::Focus ? 1 : 0;
        };
        const ScopedValue observer(AccessibleEventObserver(), count);
        Mouse(QEvent::MouseMove, bar, GlobalCentre(*popup, save));
    }
    EXPECT_EQ(SelectedCaption(popup), "Vorlagen");
    EXPECT_EQ(focusEvents, 1);
    EXPECT_TRUE(popup->TimerRunning(0));
    RunFor(60);
    ASSERT_NE(Child(*popup), nullptr);
    EXPECT_EQ(popup->OpenViewer(), popup->FindViewer(templates));
    save->OnSelect = nullptr;
}

TEST_F(MenuMouse, TheScrollBandsScrollEvery100Ms)
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
    ASSERT_TRUE(popup->ShowDownArrow());
    QWidget* window = popup->Window();
    const QPoint band = window->mapToGlobal(QPoint(window->width() / 2, window->height() - 8));
    Mouse(QEvent::MouseMove, bar, band);
    EXPECT_TRUE(popup->TimerRunning(3));
    const int before = popup->ScrollOffset();
    RunFor(250);
    EXPECT_GT(popup->ScrollOffset(), before);
    EXPECT_TRUE(popup->ShowUpArrow());
}

// A double click on a menu bar item runs the default item of its menu (as a double click on a
// window's system menu closes it); on one whose menu has none it is two clicks, which open the
// menu and close it again, running nothing. A single click only opens the menu, default or not.
TEST_F(MenuMouse, ADoubleClickOnAMenuBarItemRunsItsMenusDefaultItem)
{
    const QPoint datei = GlobalCentre(BarView(), file);
    const auto doubleClick = [&] {
        Mouse(QEvent::MouseButtonPress, bar, datei);
        Mouse(QEvent::MouseButtonRelease, Routed(bar), datei);
        Mouse(QEvent::MouseButtonDblClick, Routed(bar), datei);
        Mouse(QEvent::MouseButtonRelease, Routed(bar), datei);
        Settle();
    };
    doubleClick();
    EXPECT_TRUE(clicks.empty());
    ExpectModeGone();

    save->SetOptions(tboDefault);
    Click(bar, datei);
    EXPECT_TRUE(clicks.empty());
    EXPECT_NE(Child(BarView()), nullptr);
    Click(bar, datei);
    ExpectModeGone();
    doubleClick();
    EXPECT_EQ(clicks, std::vector<std::string>{"Speichern"});
    ExpectModeGone();
}

// A toolbar button runs when the left button is pressed and released on it, its top row of
// pixels included; pressed, dragged off it above or to its left and released there, it runs
// nothing, as it does off its right and bottom sides.
TEST_F(MenuMouse, AToolbarButtonRunsOnlyWhenReleasedOnIt)
{
    auto* tools = new TBarToolbar(dock);
    tools->SetDockRow(1);
    TBarItem* knopf = Item(tools->Items(), "Knopf");
    Settle();
    TBarView& toolsView = tools->View();
    toolsView.ValidatePositions();
    const TRect r = toolsView.FindViewer(knopf)->BoundsRect;
    const auto at = [&](int x, int y) { return tools->mapToGlobal(tools->ClientToWindow(QPoint(x, y))); };
    const QPoint centre = at((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    const auto pressAndRelease = [&](QPoint release) {
        Mouse(QEvent::MouseButtonPress, tools, centre);
        Mouse(QEvent::MouseMove, Routed(tools), release);
        Mouse(QEvent::MouseButtonRelease, Routed(tools), release);
        Settle();
        EXPECT_EQ(TBarModalHandler::Active(), nullptr);
    };
    for (const QPoint off : {at(r.Left + 3, r.Top - 1), at(r.Left - 1, r.Top + 3), at(r.Right, r.Top + 3),
                             at(r.Left + 3, r.Bottom)}) {
        pressAndRelease(off);
        EXPECT_TRUE(clicks.empty()) << off.x() << "," << off.y();
    }
    pressAndRelease(at(r.Left + 3, r.Top));
    EXPECT_EQ(clicks, std::vector<std::string>{"Knopf"});
}

TEST_F(MenuMouse, ADisabledItemDoesNothingAndTheMenuStays)
{
    save->SetEnabled(false);
    Click(bar, GlobalCentre(BarView(), file));
    TBarView* popup = Child(BarView());
    ASSERT_NE(popup, nullptr);
    Click(bar, GlobalCentre(*popup, save));
    EXPECT_TRUE(clicks.empty());
    EXPECT_NE(TBarModalHandler::Active(), nullptr);
}

}  // namespace
}  // namespace velmoran::testing
