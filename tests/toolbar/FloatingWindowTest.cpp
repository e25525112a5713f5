// The floating window: docking, floating and docking back by double-click, the tool window's
// frame and hit-test codes, its showing with the application and a minimised form, moving onto
// the work area, the close button and a close request, the properties that change the frame and
// the showing, the context menus of bar and dock, the activation it keeps or hands on, the keyboard
// it takes for a control of the bar, and going with its form.
#include "toolbar/TBarFloatingWindow.h"
#include "toolbar/TBarDragMode.h"

#include "FakeBar.h"
#include "platform/SystemParams.h"
#include "platform/ThreadHooks.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QWindow>

using namespace velmoran;
using namespace velmoran::testing;

namespace {

// One monitor of 1000 x 700 whose work area leaves 40 pixels for a panel at the bottom.
class FloatingWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        SystemParamsOverride().Monitors = std::vector<std::pair<QRect, QRect>>{{QRect(0, 0, 1000, 700), QRect(0, 0, 1000, 660)}};
        form = ShownForm(400, 300);
        form->move(50, 50);
        top = new TBarDock(form.get());
        bottom = new TBarDock(form.get(), TBarDockPosition::dpBottom);
        other = new FakeBar(nullptr, {60, 20});
        other->SetParent(top);
        bar = new FakeBar(nullptr, {80, 22});
        bar->setObjectName("Werkzeuge");
        bar->SetDockRow(1);
        bar->SetDockPos(40);
        bar->SetParent(top);
        // Told once the bars listen.
        SetApplicationActive(true);
    }
    void TearDown() override
    {
        form.reset();
        SystemParamsOverride() = {};
        SetApplicationActive(true);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    static void SetApplicationActive(bool active)
    {
        QApplicationStateChangeEvent event(active ? Qt::ApplicationActive : Qt::ApplicationInactive);
        QCoreApplication::sendEvent(qApp, &event);
    }
    static void SendMouse(QWidget& widget, QEvent::Type type, QPoint at)
    {
        QMouseEvent event(type, at, widget.mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&widget, &event);
    }

    std::unique_ptr<Form> form;
    TBarDock* top = nullptr;
    TBarDock* bottom = nullptr;
    FakeBar* other = nullptr;
    FakeBar* bar = nullptr;
};

class QuestionForm : public Form {
public:
    bool CloseQuery() override
    {
        ++Asked;
        return Allow;
    }
    int Asked = 0;
    bool Allow = false;
};

}  // namespace

TEST_F(FloatingWindow, FloatsInAToolWindowOfItsFormAndDocksBackWhereItWas)
{
    bar->SetFloatingPosition({300, 200});
    bar->SetFloating(true);
    TBarFloatingWindowParent* floating = bar->FloatParent();
    ASSERT_NE(floating, nullptr);
    EXPECT_TRUE(bar->Floating());
    EXPECT_FALSE(bar->Docked());
    EXPECT_EQ(bar->parentWidget(), floating);
    EXPECT_EQ(floating->parentWidget(), form.get());
    EXPECT_TRUE(floating->isWindow());
    EXPECT_TRUE(floating->windowFlags().testFlag(Qt::Tool));
    EXPECT_TRUE(floating->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(floating->isVisible());
    EXPECT_EQ(floating->pos(), QPoint(300, 200));
    // Border of 4 on each side and a caption of 16 above the 80 x 22 contents.
    EXPECT_EQ(floating->size(), QSize(88, 46));
    EXPECT_EQ(bar->geometry(), QRect(4, 20, 80, 22));
    EXPECT_EQ(bar->ParentForm(), form.get());
    EXPECT_EQ(floating->windowTitle(), "Werkzeuge");
    EXPECT_EQ(TBarCustomDockableWindow::FloatingWindowList(), std::vector<TBarCustomDockableWindow*>{bar});
    EXPECT_EQ(bar->LastDock(), top);
    EXPECT_EQ(bar->DockRow(), 1);
    EXPECT_EQ(bar->DockPos(), 40);

    // The double-click on the caption docks it back at its old row and position.
    const QPointer<TBarFloatingWindowParent> gone = floating;
    SendMouse(*floating, QEvent::MouseButtonDblClick, floating->CaptionRect().center() - QPoint(10, 0));
    EXPECT_EQ(bar->CurrentDock(), top);
    EXPECT_EQ(bar->EffectiveDockRow, 1);
    EXPECT_EQ(bar->geometry().left(), 40);
    EXPECT_TRUE(TBarCustomDockableWindow::FloatingWindowList().empty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(gone.isNull());

    // A double-click on the docked handle floats it again, on the screen.
    bar->DoubleClick();
    EXPECT_TRUE(bar->Floating());
    EXPECT_TRUE(bar->FloatParent()->geometry().intersects(QRect(0, 0, 1000, 660)));

    // Without a last dock the default dock takes it in front of its first row.
    bar->SetUseLastDock(false);
    bar->SetDefaultDock(bottom);
    bar->DoubleClick();
    EXPECT_EQ(bar->CurrentDock(), bottom);
    EXPECT_EQ(bar->DockRow(), 0);
    EXPECT_EQ(bar->DockPos(), -8);
}

TEST_F(FloatingWindow, NeverPlacedItOpensWhereItWasAndFollowsItsTitle)
{
    const QPoint docked = other->mapToGlobal(QPoint(0, 0));
    other->DoubleClick();
    ASSERT_TRUE(other->Floating());
    EXPECT_EQ(other->FloatParent()->pos(), docked);
    other->setWindowTitle("Ansicht");
    EXPECT_EQ(other->FloatParent()->windowTitle(), "Ansicht");
    int moves = 0;
    other->OnMove = [&moves](TBarCustomDockableWindow&) { ++moves; };
    other->SetFloatingPosition(docked + QPoint(30, 40));
    EXPECT_EQ(moves, 1);
}

TEST_F(FloatingWindow, TheToolWindowAnswersTheSizingCodesOfItsBorders)
{
    bar->SetFloating(true);
    TBarFloatingWindowParent& floating = *bar->FloatParent();
    const int w = floating.width();
    const int h = floating.height();
    EXPECT_EQ(floating.HitTest({30, 10}), kHitFloatingCaption);
    EXPECT_EQ(floating.HitTest(floating.CloseButtonRect().center()), kHitCloseButton);
    EXPECT_EQ(floating.HitTest({30, 30}), HTCLIENT);
    EXPECT_EQ(floating.HitTest({0, 22}), HTLEFT);
    EXPECT_EQ(floating.HitTest({w - 1, 22}), HTRIGHT);
    EXPECT_EQ(floating.HitTest({40, 0}), HTTOP);
    EXPECT_EQ(floating.HitTest({40, h - 1}), HTBOTTOM);
    // Corners reach border + caption - 1 = 19 pixels along each edge.
    EXPECT_EQ(floating.HitTest({0, 18}), HTTOPLEFT);
    EXPECT_EQ(floating.HitTest({18, 0}), HTTOPLEFT);
    EXPECT_EQ(floating.HitTest({w - 1, 0}), HTTOPRIGHT);
    EXPECT_EQ(floating.HitTest({0, h - 1}), HTBOTTOMLEFT);
    EXPECT_EQ(floating.HitTest({w - 19, h - 1}), HTBOTTOMRIGHT);

    // Not resizable: a fixed frame of 3 and no sizing codes; without the close button, caption.
    bar->SetResizable(false);
    bar->SetCloseButton(false);
    floating.RecalcFrame();
    EXPECT_EQ(floating.HitTest({0, 22}), HTNOWHERE);
    EXPECT_EQ(floating.HitTest(QPoint(floating.CaptionRect().right() - 3, 8)), kHitFloatingCaption);
}

TEST_F(FloatingWindow, HidesWhileTheApplicationIsInactiveOrTheFormMinimised)
{
    bar->SetFloating(true);
    TBarFloatingWindowParent& floating = *bar->FloatParent();
    ASSERT_TRUE(floating.isVisible());

    SetApplicationActive(false);
    EXPECT_FALSE(floating.isVisible());
    SetApplicationActive(true);
    EXPECT_TRUE(floating.isVisible());

    bar->SetHideWhenInactive(false);
    SetApplicationActive(false);
    EXPECT_TRUE(floating.isVisible());
    SetApplicationActive(true);

    form->showMinimized();
    EXPECT_FALSE(floating.isVisible());
    form->showNormal();
    EXPECT_TRUE(floating.isVisible());

    // Hiding the window hides its tool window with it at once, and showing it brings it back.
    bar->hide();
    EXPECT_FALSE(floating.isVisible());
    bar->show();
    EXPECT_TRUE(floating.isVisible());

    // On top of all forms: the tool window stays on top and does not follow the form.
    bar->SetFloatingMode(TBarFloatingMode::fmOnTopOfAllForms);
    form->showMinimized();
    bar->UpdateShowing();
    EXPECT_TRUE(floating.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(floating.isVisible());
    form->showNormal();
}

// The floating window's properties take effect when they are set: without the caption the tool
// window is shorter by it at once, with a fixed frame smaller by the borders, and the client size
// stays; HideWhenInactive and FloatingMode re-evaluate the showing at once.
TEST_F(FloatingWindow, ItsFrameAndShowingFollowThePropertiesAtOnce)
{
    bar->SetFloating(true);
    TBarFloatingWindowParent& floating = *bar->FloatParent();
    const QSize withCaption = floating.size();
    const QSize client = bar->size();
    bar->SetShowCaption(false);
    EXPECT_EQ(floating.size(), withCaption - QSize(0, kSmallCaptionHeight));
    EXPECT_EQ(bar->size(), client);
    EXPECT_TRUE(floating.CaptionRect().isEmpty());
    bar->SetResizable(false);
    const int thinner = 2 * (kSizingFrame - kFixedFrame);
    EXPECT_EQ(floating.size(), withCaption - QSize(thinner, kSmallCaptionHeight + thinner));
    EXPECT_EQ(floating.ClientRect().size(), client);
    bar->SetShowCaption(true);
    bar->SetResizable(true);
    EXPECT_EQ(floating.size(), withCaption);

    SetApplicationActive(false);
    ASSERT_FALSE(floating.isVisible());
    bar->SetHideWhenInactive(false);
    EXPECT_TRUE(floating.isVisible());
    SetApplicationActive(true);
    bar->SetFloatingMode(TBarFloatingMode::fmOnTopOfAllForms);
    EXPECT_TRUE(floating.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

// A right click on a floating window's frame opens the window's popup menu; on the frame of a
// docked bar without a menu of its own it goes to the dock: its handler first, then its menu.
TEST_F(FloatingWindow, ARightClickOnAFrameOpensTheBarsOrTheDocksMenu)
{
    const auto rightClick = [](QWidget& widget, QPoint at) {
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, widget.mapToGlobal(at), Qt::RightButton,
                              type == QEvent::MouseButtonPress ? Qt::RightButton : Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(&widget, &event);
        }
    };
    QMenu barMenu;
    bar->PopupMenu = &barMenu;
    bar->SetFloating(true);
    rightClick(*bar->FloatParent(), QPoint(1, 30));
    EXPECT_TRUE(barMenu.isVisible());
    barMenu.hide();

    QMenu dockMenu;
    top->PopupMenu = &dockMenu;
    std::vector<QPoint> asked;
    bool handled = false;
    top->OnContextPopup = [&](QWidget& sender, QPoint mousePos, bool& done) {
        EXPECT_EQ(&sender, top);
        asked.push_back(mousePos);
        done = handled;
    };
    rightClick(*other, QPoint(2, 10));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], top->WindowToClient(top->mapFromGlobal(other->mapToGlobal(QPoint(2, 10)))));
    EXPECT_TRUE(dockMenu.isVisible());
    dockMenu.hide();
    handled = true;
    rightClick(*other, QPoint(2, 10));
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_FALSE(dockMenu.isVisible());
    EXPECT_FALSE(barMenu.isVisible());
}

TEST_F(FloatingWindow, MovesOntoTheWorkAreaFromEverySide)
{
    bar->SetFloating(true);
    const QSize size = bar->FloatParent()->size();
    struct Case {
        QPoint From;
        QPoint To;
    } cases[] = {
        {{1200, 100}, {1000 - size.width(), 100}},  // right
        {{100, 900}, {100, 660 - size.height()}},   // bottom, above the panel
        {{-500, 100}, {0, 100}},                    // left
        {{100, -300}, {100, 0}},                    // top
    };
    for (const Case& c : cases) {
        bar->SetFloatingPosition(c.From);
        bar->MoveOnScreen(true);
        EXPECT_EQ(bar->FloatParent()->pos(), c.To) << c.From.x() << "," << c.From.y();
    }
    // Partly on the screen: only a full move asked for brings it in.
    bar->SetFloatingPosition({980, 100});
    bar->MoveOnScreen(true);
    EXPECT_EQ(bar->FloatParent()->pos(), QPoint(980, 100));
    bar->MoveOnScreen(false);
    EXPECT_EQ(bar->FloatParent()->pos(), QPoint(1000 - size.width(), 100));
}

TEST_F(FloatingWindow, ACloseRequestGoesToTheFormAndTheCloseButtonClosesTheWindow)
{
    SystemParamsOverride().Monitors = std::vector<std::pair<QRect, QRect>>{{QRect(0, 0, 1000, 700), QRect(0, 0, 1000, 700)}};
    QuestionForm form;
    form.resize(300, 200);
    form.show();
    auto* bar = new FakeBar(nullptr, {80, 22});
    bar->SetParent(&form);
    bar->SetHideWhenInactive(false);
    bar->SetFloating(true);
    TBarFloatingWindowParent& floating = *bar->FloatParent();

    floating.close();
    EXPECT_EQ(form.Asked, 1);
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(floating.isVisible());

    // The close button: pressed, left and released outside does nothing; inside it closes.
    int closed = 0;
    bar->OnClose = [&closed](TBarCustomDockableWindow&) { ++closed; };
    const QPoint button = floating.CloseButtonRect().center();
    QMouseEvent press(QEvent::MouseButtonPress, button, floating.mapToGlobal(button), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&floating, &press);
    EXPECT_TRUE(floating.CloseButtonDown());
    QMouseEvent away(QEvent::MouseMove, QPoint(5, 30), floating.mapToGlobal(QPoint(5, 30)), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&floating, &away);
    EXPECT_FALSE(floating.CloseButtonDown());
    QMouseEvent outside(QEvent::MouseButtonRelease, QPoint(5, 30), floating.mapToGlobal(QPoint(5, 30)), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&floating, &outside);
    EXPECT_EQ(closed, 0);
    QCoreApplication::sendEvent(&floating, &press);
    QMouseEvent inside(QEvent::MouseButtonRelease, button, floating.mapToGlobal(button), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&floating, &inside);
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(floating.isVisible());
    // Shown again, the closed window comes back in its tool window at once.
    bar->show();
    EXPECT_TRUE(floating.isVisible());
    SystemParamsOverride() = {};
}

// A window floating without its caption has no close button, though its close button is switched
// on: no point of its frame is on a button. The caption may be taken away while the user holds
// the button down; the release on the frame's corner then closes nothing.
TEST_F(FloatingWindow, WithoutItsCaptionAFloatingWindowHasNoCloseButton)
{
    bar->SetFloating(true);
    TBarFloatingWindowParent& floating = *bar->FloatParent();
    int closed = 0;
    bar->OnClose = [&closed](TBarCustomDockableWindow&) { ++closed; };
    ASSERT_TRUE(bar->CloseButton());
    SendMouse(floating, QEvent::MouseButtonPress, floating.CloseButtonRect().center());
    ASSERT_TRUE(floating.CloseButtonDown());

    bar->SetShowCaption(false);
    EXPECT_TRUE(floating.CloseButtonRect().isNull());
    for (const QPoint corner : {QPoint(0, 0), QPoint(1, 1), QPoint(-1, -1)})
        EXPECT_FALSE(floating.CloseButtonRect().contains(corner)) << corner.x() << "," << corner.y();
    SendMouse(floating, QEvent::MouseMove, QPoint(1, 1));
    EXPECT_FALSE(floating.CloseButtonDown());
    SendMouse(floating, QEvent::MouseButtonRelease, QPoint(1, 1));
    EXPECT_EQ(closed, 0);
    EXPECT_TRUE(bar->Floating());
}

TEST_F(FloatingWindow, TheFormTakesItsFloatingWindowsAlong)
{
    bar->SetFloating(true);
    other->SetFloating(true);
    const QPointer<TBarFloatingWindowParent> floating = bar->FloatParent();
    const QPointer<FakeBar> watched = bar;
    EXPECT_EQ(TBarCustomDockableWindow::FloatingWindowList().size(), 2u);
    // A floating window deleted on its own takes its tool window along.
    const QPointer<TBarFloatingWindowParent> otherFloating = other->FloatParent();
    delete other;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(otherFloating.isNull());
    EXPECT_EQ(TBarCustomDockableWindow::FloatingWindowList(), std::vector<TBarCustomDockableWindow*>{bar});
    form.reset();
    EXPECT_TRUE(floating.isNull());
    EXPECT_TRUE(watched.isNull());
    EXPECT_TRUE(TBarCustomDockableWindow::FloatingWindowList().empty());
    EXPECT_FALSE(HookListsExist());
}

// A click on a floating bar's window activates its form, when the bar asks for that
// (ActivateParent) and floats on top of its form only.
TEST_F(FloatingWindow, AClickActivatesTheFormOnlyForABarOnTopOfItThatAsks)
{
    bar->SetFloatingPosition({300, 200});
    bar->SetFloating(true);
    TBarFloatingWindowParent& floating = *bar->FloatParent();
    QWidget stranger;
    stranger.setGeometry(600, 400, 100, 100);
    stranger.show();
    const auto formActiveAfterClick = [&] {
        stranger.activateWindow();
        QCoreApplication::processEvents();
        EXPECT_EQ(QApplication::activeWindow(), &stranger);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(30, 10), floating.mapToGlobal(QPointF(30, 10)),
                          Qt::MiddleButton, Qt::MiddleButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&floating, &press);
        QCoreApplication::processEvents();
        return QApplication::activeWindow() == form.get();
    };
    EXPECT_TRUE(formActiveAfterClick());
    // A window manager that activates what it is clicked in is told that the tool window takes
    // no focus: clicking or dragging it leaves the form active.
    ASSERT_NE(floating.windowHandle(), nullptr);
    EXPECT_TRUE(floating.windowHandle()->flags().testFlag(Qt::WindowDoesNotAcceptFocus));
    bar->ActivateParent = false;
    EXPECT_FALSE(formActiveAfterClick());
    bar->ActivateParent = true;
    bar->SetFloatingMode(TBarFloatingMode::fmOnTopOfAllForms);
    EXPECT_FALSE(formActiveAfterClick());
}

// A press on a control of the bar that takes keys makes the tool window active, so that the keys
// reach the control rather than the form; a combo box, which opens its list on the press and gives
// the keyboard back when the list closes, keeps it. Escape gives the keys back to the form, and the
// window takes no focus again. Presses elsewhere in it, or on a disabled control, leave the form
// active.
TEST_F(FloatingWindow, APressOnAControlThatTakesKeysGivesItTheKeyboard)
{
    bar->SetFloating(true);
    TBarFloatingWindowParent& floating = *bar->FloatParent();
    auto* combo = new QComboBox(bar->Content);
    combo->addItems({"eins", "zwei"});
    combo->setGeometry(20, 1, 56, 20);
    combo->show();
    QWindow& window = *floating.windowHandle();
    const auto activeAfterPress = [&](QWidget& target) {
        form->activateWindow();
        QCoreApplication::processEvents();
        QTest::mouseClick(&window, Qt::LeftButton, {}, window.mapFromGlobal(target.mapToGlobal(QPoint(4, 4))));
        combo->hidePopup();
        QCoreApplication::processEvents();
        return QApplication::activeWindow();
    };
    EXPECT_EQ(activeAfterPress(*bar->Content), form.get());
    ASSERT_EQ(activeAfterPress(*combo), &floating);
    QTest::keyClick(&window, Qt::Key_Down);
    EXPECT_EQ(combo->currentIndex(), 1);
    QTest::keyClick(&window, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), form.get());
    EXPECT_TRUE(window.flags().testFlag(Qt::WindowDoesNotAcceptFocus));
    combo->setEnabled(false);
    EXPECT_EQ(activeAfterPress(*combo), form.get());
}

// The platform makes a floating window active. Shown, it keeps the activation only when it took
// it from its form; from another window the form is activated instead. Hidden, it hands the
// activation to a shown, enabled window: its form first, else one that does not stay on top
// before one that does.
TEST_F(FloatingWindow, BecomingActiveItKeepsTheActivationOnlyFromItsForm)
{
    bar->SetFloatingPosition({300, 200});
    bar->SetFloating(true);
    TBarFloatingWindowParent& floating = *bar->FloatParent();
    ASSERT_TRUE(floating.isVisible());
    QWidget onTop(nullptr, Qt::WindowStaysOnTopHint);
    onTop.setGeometry(600, 100, 100, 100);
    onTop.show();
    QWidget plain;
    plain.setGeometry(600, 400, 100, 100);
    plain.show();
    const auto activeAfter = [&floating](QWidget* before) {
        before->activateWindow();
        QCoreApplication::processEvents();
        QApplication::setActiveWindow(&floating);
        for (int i = 0; i < 4; ++i)
            QCoreApplication::processEvents();
        return QApplication::activeWindow();
    };
    EXPECT_EQ(activeAfter(form.get()), &floating);
    EXPECT_EQ(activeAfter(&plain), form.get());
    // Hidden while the application is inactive.
    SetApplicationActive(false);
    ASSERT_FALSE(floating.isVisible());
    EXPECT_EQ(activeAfter(&plain), form.get());
    form->setEnabled(false);
    EXPECT_EQ(activeAfter(&onTop), &plain);
    form->setEnabled(true);
}

// The caption looks active while its form, the tool window itself or another floating window of
// the same form is the active window, and inactive while another form is.
TEST_F(FloatingWindow, TheCaptionIsActiveWithItsFormOnly)
{
    bar->SetFloating(true);
    TBarFloatingWindowParent& floating = *bar->FloatParent();
    other->SetFloating(true);
    TBarFloatingWindowParent& second = *other->FloatParent();
    QWidget stranger;
    stranger.resize(100, 100);
    stranger.show();
    const auto activate = [](QWidget* window) {
        QApplication::setActiveWindow(window);
        SetApplicationActive(true);
    };
    activate(form.get());
    EXPECT_FALSE(floating.InactiveCaption());
    activate(&stranger);
    EXPECT_TRUE(floating.InactiveCaption());
    activate(&floating);
    EXPECT_FALSE(floating.InactiveCaption());
    activate(&second);
    EXPECT_FALSE(floating.InactiveCaption());
    activate(&stranger);
    EXPECT_TRUE(second.InactiveCaption());
    // On top of all forms it looks active whenever the application is.
    bar->SetFloatingMode(TBarFloatingMode::fmOnTopOfAllForms);
    activate(&stranger);
    EXPECT_FALSE(floating.InactiveCaption());
    SetApplicationActive(false);
    bar->SetHideWhenInactive(false);
    bar->UpdateShowing();
    EXPECT_TRUE(floating.InactiveCaption());
}

// The tool window driven as the window system drives it: the cursor over each border shows its
// sizing shape, a press on a border sizes from that border and one on the caption moves the bar
// (the moves going to the form that holds the mouse); a double-click on the docked bar's frame
// floats it.
TEST_F(FloatingWindow, ItsBordersAndCaptionWorkThroughTheWindow)
{
    bar->SetFloatingPosition({300, 200});
    bar->SetFloating(true);
    TBarFloatingWindowParent& floating = *bar->FloatParent();
    const int w = floating.width();
    const int h = floating.height();
    const auto cursorAt = [&](QPoint at) {
        SendMouse(floating, QEvent::MouseMove, at);
        return floating.cursor().shape();
    };
    EXPECT_EQ(cursorAt({0, 22}), Qt::SizeHorCursor);
    EXPECT_EQ(cursorAt({w - 1, 22}), Qt::SizeHorCursor);
    EXPECT_EQ(cursorAt({40, 0}), Qt::SizeVerCursor);
    EXPECT_EQ(cursorAt({40, h - 1}), Qt::SizeVerCursor);
    EXPECT_EQ(cursorAt({0, 0}), Qt::SizeFDiagCursor);
    EXPECT_EQ(cursorAt({w - 1, h - 1}), Qt::SizeFDiagCursor);
    EXPECT_EQ(cursorAt({w - 1, 0}), Qt::SizeBDiagCursor);
    EXPECT_EQ(cursorAt({0, h - 1}), Qt::SizeBDiagCursor);
    EXPECT_EQ(cursorAt({30, 10}), Qt::ArrowCursor);

    const auto toForm = [this](QEvent::Type type, QPoint global) {
        QMouseEvent event(type, form->mapFromGlobal(global), global, Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &event);
    };
    // The caption dragged 40 right and 25 down.
    const QPoint caption = floating.mapToGlobal(QPoint(30, 10));
    SendMouse(floating, QEvent::MouseButtonPress, QPoint(30, 10));
    ASSERT_NE(TBarMode::Running(), nullptr);
    toForm(QEvent::MouseMove, caption + QPoint(40, 25));
    toForm(QEvent::MouseButtonRelease, caption + QPoint(40, 25));
    EXPECT_EQ(TBarMode::Running(), nullptr);
    ASSERT_NE(bar->FloatParent(), nullptr);
    EXPECT_EQ(bar->FloatParent()->geometry(), QRect(340, 225, w, h));

    // The right border dragged 30 pixels out.
    TBarFloatingWindowParent& moved = *bar->FloatParent();
    const QPoint right = moved.mapToGlobal(QPoint(w - 1, 22));
    SendMouse(moved, QEvent::MouseButtonPress, QPoint(w - 1, 22));
    ASSERT_NE(TBarMode::Running(), nullptr);
    toForm(QEvent::MouseMove, right + QPoint(30, 0));
    toForm(QEvent::MouseButtonRelease, right + QPoint(30, 0));
    EXPECT_EQ(TBarMode::Running(), nullptr);
    EXPECT_EQ(moved.geometry(), QRect(340, 225, w + 30, h));

    // Docked again, a double-click on its frame floats it.
    SendMouse(moved, QEvent::MouseButtonDblClick, QPoint(30, 10));
    ASSERT_TRUE(bar->Docked());
    SendMouse(*bar, QEvent::MouseButtonDblClick, QPoint(1, 10));
    EXPECT_TRUE(bar->Floating());
}
