// The toolbar and menu bar: the menu-bar switch, Alt+letter, shortcut processing in registration
// order, control items, the space limits (wrap, floating width, chevron and its glyph, minimum
// shrink size), a floating bar's edge dragged, the chevron's German hint and its menu of buttons
// with their hints, walked by Left and Right and named after the chevron, a right click taking
// the hot button away, the idle update of the items' actions and the saved floating width.
#include "platform/Action.h"
#include "platform/ImageList.h"
#include "platform/QtCanvas.h"
#include "tests/toolbar/MenuFixture.h"
#include "toolbar/TBarDragMode.h"
#include "toolbar/TBarFloatingWindow.h"

#include <QAccessible>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QImage>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <map>

namespace velmoran::testing {
namespace {

class Toolbar : public MenuFixture {
protected:
    TBarToolbar* AddToolbar(const char* name)
    {
        auto* toolbar = new TBarToolbar(dock);
        toolbar->setObjectName(name);
        toolbar->SetDockRow(1);
        return toolbar;
    }
    QKeyEvent CtrlKey(int key) { return QKeyEvent(QEvent::KeyPress, key, Qt::ControlModifier); }
    std::vector<TBarItem*> FiveItems(TBarToolbar& toolbar)
    {
        std::vector<TBarItem*> items;
        for (const char* caption : {"&Eins", "&Zwei", "&Drei", "&Vier", "&Fünf"})
            items.push_back(Item(toolbar.Items(), caption));
        return items;
    }
    // The length of the first items laid out in one row.
    static int LengthOfFirst(TBarToolbar& toolbar, const std::vector<TBarItem*>& items, int count)
    {
        TSize base, total;
        int rows = 0;
        toolbar.View().CalculatePositions(false, TBarViewOrientation::voHorizontal, 0, 0, kChevronSize, base, total, rows);
        int length = 0;
        for (int i = 0; i < count; ++i)
            length += toolbar.View().FindViewer(items[i])->BoundsRect.Width();
        return length;
    }
};

TEST_F(Toolbar, TheMenuBarSwitchSetsItsCompanionsBothWays)
{
    TBarToolbar* plain = AddToolbar("Leiste");
    EXPECT_EQ(plain->ShrinkMode(), TBarShrinkMode::tbsmChevron);
    EXPECT_TRUE(plain->CloseButton());
    plain->SetMenuBar(true);
    EXPECT_TRUE(plain->FullSize());
    EXPECT_EQ(plain->ShrinkMode(), TBarShrinkMode::tbsmWrap);
    EXPECT_FALSE(plain->CloseButton());
    EXPECT_TRUE(plain->ProcessShortCuts());
    EXPECT_TRUE(plain->HasMenuEvents());
    EXPECT_TRUE(plain->View().IsMenuBar());
    plain->SetMenuBar(false);
    EXPECT_FALSE(plain->FullSize());
    EXPECT_EQ(plain->ShrinkMode(), TBarShrinkMode::tbsmChevron);
    EXPECT_TRUE(plain->CloseButton());
    EXPECT_FALSE(plain->ProcessShortCuts());
    EXPECT_FALSE(plain->View().IsMenuBar());
}

TEST_F(Toolbar, AltLettersOpenBeepOrGoToTheWindowManager)
{
    EXPECT_TRUE(AltKey('b'));
    EXPECT_EQ(SelectedCaption(&BarView()), "Bearbeiten");
    ASSERT_NE(Child(BarView()), nullptr);
    Key(Qt::Key_Escape);
    Key(Qt::Key_Escape);
    ExpectModeGone();
    EXPECT_FALSE(AltKey('q'));
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(TBarModalHandler::Active(), nullptr);
    EXPECT_FALSE(AltKey('-'));
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(TBarModalHandler::Active(), nullptr);
    // Alt alone selects the first item, menus closed.
    QTest::keyClick(KeyTarget(), Qt::Key_Alt, Qt::AltModifier);
    Settle();
    ASSERT_NE(TBarModalHandler::Active(), nullptr);
    EXPECT_EQ(SelectedCaption(&BarView()), "Datei");
    EXPECT_EQ(Child(BarView()), nullptr);
    Key(Qt::Key_Down);
    EXPECT_EQ(SelectedCaption(Child(BarView())), "Neu");
    Key(Qt::Key_Escape);
    Key(Qt::Key_Escape);
    ExpectModeGone();
    // With the menus closed the mouse moves the selection along the bar and opens nothing.
    QTest::keyClick(KeyTarget(), Qt::Key_Alt, Qt::AltModifier);
    Settle();
    ASSERT_EQ(SelectedCaption(&BarView()), "Datei");
    Mouse(QEvent::MouseMove, bar, GlobalCentre(BarView(), edit));
    Settle();
    EXPECT_EQ(SelectedCaption(&BarView()), "Bearbeiten");
    EXPECT_EQ(Child(BarView()), nullptr);
}

// Counts the key presses that get past the application's filters to the object it watches.
class KeyPressCounter : public QObject {
public:
    int Presses = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress)
            ++Presses;
        return false;
    }
};

// Holding Alt underlines the accelerators of the form's menu bars. A letter that opens no menu
// takes them away at once, while Alt is still down, on every menu bar, not only on the one that
// was offered the letter; Alt with a key of the window manager (Alt+Space, Alt+-, Alt+F4) takes
// them away as well and goes on to the focused control and the window manager, which would never
// see it if the bars kept it.
TEST_F(Toolbar, AnAltKeyThatOpensNoMenuTakesTheUnderlinesAway)
{
    TBarToolbar* second = AddToolbar("Zweites Menü");
    second->SetMenuBar(true);
    Item(second->Items(), "&Hilfe");
    Settle();
    const auto cues = [&] { return BarView().KeyboardCuesShown() || second->View().KeyboardCuesShown(); };
    QWidget* target = KeyTarget();
    KeyPressCounter counter;
    target->installEventFilter(&counter);
    // Alt down, the key with Alt: whether underlines are still shown then; then both up.
    const auto altWith = [&](int key, const QString& text) {
        QKeyEvent altDown(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
        QApplication::sendEvent(target, &altDown);
        EXPECT_TRUE(BarView().KeyboardCuesShown());
        EXPECT_TRUE(second->View().KeyboardCuesShown());
        counter.Presses = 0;
        QKeyEvent down(QEvent::KeyPress, key, Qt::AltModifier, text);
        QApplication::sendEvent(target, &down);
        const bool shown = cues();
        QKeyEvent up(QEvent::KeyRelease, key, Qt::AltModifier, text);
        QApplication::sendEvent(target, &up);
        QKeyEvent altUp(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
        QApplication::sendEvent(target, &altUp);
        Settle();
        EXPECT_EQ(TBarModalHandler::Active(), nullptr);
        return shown;
    };
    EXPECT_FALSE(altWith(Qt::Key_Q, "q"));
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(counter.Presses, 0);
    EXPECT_FALSE(altWith(Qt::Key_Space, " "));
    EXPECT_EQ(counter.Presses, 1);
    EXPECT_FALSE(altWith(Qt::Key_Minus, "-"));
    EXPECT_EQ(counter.Presses, 1);
    EXPECT_FALSE(altWith(Qt::Key_F4, {}));
    EXPECT_EQ(counter.Presses, 1);
    EXPECT_EQ(beeps, 1);
    EXPECT_FALSE(cues());
}

// Alt alone enters the menu bar when it is let go, not before: a key held down repeats as
// release and press pairs flagged as repeats, and a key pressed before Alt (Shift) may come up
// while Alt is still down. Neither is the end of Alt; the user may still add a letter.
TEST_F(Toolbar, AltAloneEntersTheMenuBarOnlyWhenAltItselfComesUp)
{
    QWidget* target = KeyTarget();
    const auto send = [target](QEvent::Type type, int key, Qt::KeyboardModifiers modifiers, bool repeat = false) {
        QKeyEvent event(type, key, modifiers, QString(), repeat);
        QApplication::sendEvent(target, &event);
    };
    // Alt still down: no menu yet, the underlines shown; Alt up: the first menu-bar item.
    const auto altStillDownThenUp = [&] {
        Settle();
        EXPECT_EQ(TBarModalHandler::Active(), nullptr);
        EXPECT_TRUE(BarView().KeyboardCuesShown());
        send(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
        Settle();
        EXPECT_NE(TBarModalHandler::Active(), nullptr);
        EXPECT_EQ(SelectedCaption(&BarView()), "Datei");
        Key(Qt::Key_Escape);
        ExpectModeGone();
    };
    send(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
    for (int i = 0; i < 3; ++i) {
        send(QEvent::KeyRelease, Qt::Key_Alt, Qt::AltModifier, true);
        send(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier, true);
    }
    altStillDownThenUp();

    send(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
    send(QEvent::KeyPress, Qt::Key_Alt, Qt::ShiftModifier | Qt::AltModifier);
    send(QEvent::KeyRelease, Qt::Key_Shift, Qt::AltModifier);
    altStillDownThenUp();
}

TEST_F(Toolbar, ADialogCharacterRunsAToolbarItemByItsAcceleratorOnly)
{
    TBarToolbar* toolbar = AddToolbar("Leiste");
    Item(toolbar->Items(), "&Eingabe");
    Item(toolbar->Items(), "Parameter");
    // No child takes the key: the form offers it to the toolbar.
    QKeyEvent e(QEvent::KeyPress, Qt::Key_E, Qt::NoModifier, "e");
    QApplication::sendEvent(form.get(), &e);
    Settle();
    EXPECT_EQ(clicks, std::vector<std::string>{"Eingabe"});
    ExpectModeGone();
    // A first letter is no accelerator here.
    QKeyEvent p(QEvent::KeyPress, Qt::Key_P, Qt::NoModifier, "p");
    QApplication::sendEvent(form.get(), &p);
    Settle();
    EXPECT_EQ(clicks.size(), 1u);
    EXPECT_EQ(TBarModalHandler::Active(), nullptr);
}

// A floating toolbar still answers its accelerators from the form while it shows and is enabled;
// hidden or disabled it takes none.
TEST_F(Toolbar, AFloatingToolbarAnswersItsAcceleratorsOnlyWhileShownAndEnabled)
{
    TBarToolbar* toolbar = AddToolbar("Leiste");
    Item(toolbar->Items(), "&Eingabe");
    toolbar->SetFloating(true);
    ASSERT_TRUE(toolbar->Floating());
    const auto typeE = [this] {
        QKeyEvent e(QEvent::KeyPress, Qt::Key_E, Qt::NoModifier, "e");
        QApplication::sendEvent(form.get(), &e);
        Settle();
    };
    typeE();
    EXPECT_EQ(clicks, std::vector<std::string>{"Eingabe"});
    toolbar->setEnabled(false);
    typeE();
    EXPECT_EQ(clicks.size(), 1u);
    toolbar->setEnabled(true);
    toolbar->hide();
    typeE();
    EXPECT_EQ(clicks.size(), 1u);
    ExpectModeGone();
}

TEST_F(Toolbar, ShortCutsGoToTheNewestToolbarOfTheActiveFormThatIsEnabled)
{
    ASSERT_TRUE(IsToolbarShortCutFilterInstalled());
    TBarToolbar* first = AddToolbar("Erste");
    TBarToolbar* second = AddToolbar("Zweite");
    std::vector<std::string> order;
    Item(first->Items(), "&Eins", scCtrl | 'K');
    Item(second->Items(), "&Zwei", scCtrl | 'K');
    first->SetProcessShortCuts(true);
    second->SetProcessShortCuts(true);
    ASSERT_EQ(ShortCutToolbars().front(), second);
    // Every key press is offered, the Ctrl key's own too.
    second->OnShortCut = [&](QKeyEvent& event, bool&) {
        if (event.key() == Qt::Key_K)
            order.push_back("OnShortCut");
    };
    QTest::keyClick(KeyTarget(), Qt::Key_K, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(order, std::vector<std::string>{"OnShortCut"});
    EXPECT_EQ(clicks, std::vector<std::string>{"Zwei"});
    // OnShortCut takes the key first.
    second->OnShortCut = [&](QKeyEvent&, bool& handled) { handled = true; };
    QTest::keyClick(KeyTarget(), Qt::Key_K, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(clicks.size(), 1u);
    second->OnShortCut = nullptr;
    // The menu bar's Ctrl+N; a disabled item's shortcut does nothing.
    QTest::keyClick(KeyTarget(), Qt::Key_N, Qt::ControlModifier);
    save->SetEnabled(false);
    QTest::keyClick(KeyTarget(), Qt::Key_S, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(clicks, (std::vector<std::string>{"Zwei", "Neu"}));
    // A disabled form is skipped.
    form->setEnabled(false);
    QKeyEvent key = CtrlKey(Qt::Key_N);
    QApplication::sendEvent(form.get(), &key);
    Settle();
    EXPECT_EQ(clicks.size(), 2u);
    form->setEnabled(true);
    // The last registration gone, the filter goes.
    form.reset();
    EXPECT_FALSE(IsToolbarShortCutFilterInstalled());
}

TEST_F(Toolbar, AChildWidgetBecomesAControlItemAndSurvivesItsRemoval)
{
    TBarToolbar* toolbar = AddToolbar("Modus");
    Item(toolbar->Items(), "&Eingabe");
    auto* combo = new QComboBox(toolbar);
    auto* second = new QComboBox(toolbar);
    ASSERT_EQ(toolbar->Items().Count(), 3);
    auto* item = dynamic_cast<TBarControlItem*>(toolbar->Items().Items(1));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Control(), combo);
    Settle();
    toolbar->Arrange();
    // The tab order follows the items.
    EXPECT_EQ(combo->nextInFocusChain(), second);
    QPointer<QComboBox> alive(combo);
    combo->setParent(nullptr);
    EXPECT_EQ(toolbar->Items().Count(), 2);
    ASSERT_TRUE(alive);
    delete combo;
    // A deleted child takes its item along.
    delete second;
    EXPECT_EQ(toolbar->Items().Count(), 1);
}

TEST_F(Toolbar, TheMenuBarWrapsInANarrowDockAndFloatingWidthZeroIsOneRow)
{
    const int oneRow = bar->height();
    form->resize(90, 300);
    Settle();
    EXPECT_GT(bar->height(), oneRow);
    EXPECT_LE(bar->width(), 90);
    // Floating: FloatingWidth 0 gives one row, a narrow width several.
    TBarToolbar* toolbar = AddToolbar("Leiste");
    for (const char* caption : {"&Eins", "&Zwei", "&Drei", "&Vier"})
        Item(toolbar->Items(), caption);
    const QPoint single = toolbar->ArrangeControls(true, TDockType::dtNotDocked, true, nullptr);
    toolbar->SetFloatingWidth(single.x() / 2);
    const QPoint wrapped = toolbar->ArrangeControls(true, TDockType::dtNotDocked, true, nullptr);
    EXPECT_GT(wrapped.y(), single.y());
    EXPECT_LT(wrapped.x(), single.x());
    toolbar->SetFloatingWidth(0);
    EXPECT_EQ(toolbar->ArrangeControls(true, TDockType::dtNotDocked, true, nullptr), single);
}

TEST_F(Toolbar, AShrunkToolbarShowsTheChevronAndItsGlyph)
{
    TBarToolbar* toolbar = AddToolbar("Leiste");
    std::vector<TBarItem*> items;
    for (const char* caption : {"&Eins", "&Zwei", "&Drei", "&Vier", "&Fünf"})
        items.push_back(Item(toolbar->Items(), caption));
    // The minimum: the first item, the frame and the chevron.
    int minimum = 0;
    toolbar->GetMinShrinkSize(minimum);
    const TRect first = toolbar->View().FindViewer(items[0])->BoundsRect;
    EXPECT_EQ(minimum, first.Width() + toolbar->GetDockedNCAreaSize().x() + kChevronSize);
    // Shrunk by the dock to the minimum's room.
    toolbar->ShrunkLength = minimum + 30;
    toolbar->ArrangeControls(true, TDockType::dtTopBottom, false, dock);
    TBarItemViewer* chevron = toolbar->View().FindViewer(&toolbar->ChevronItem());
    ASSERT_TRUE(chevron->Show);
    EXPECT_EQ(chevron->BoundsRect.Right, minimum + 30 - toolbar->GetDockedNCAreaSize().x());
    // The glyph: a double arrow of rows 0xCC, 0x66, 0x33, 0x66, 0xCC at (2, 4).
    QImage image(kChevronSize, 22, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QtCanvas canvas(&painter);
        chevron->Paint(canvas, TRect{0, 0, kChevronSize, 22}, false, false, false);
    }
    const std::uint8_t rows[5] = {0xCC, 0x66, 0x33, 0x66, 0xCC};
    for (int row = 0; row < 5; ++row)
        for (int bit = 0; bit < 8; ++bit) {
            const bool set = rows[row] & (0x80 >> bit);
            EXPECT_EQ(image.pixel(2 + bit, 4 + row) != qRgb(255, 255, 255), set) << row << "," << bit;
        }
}

TEST_F(Toolbar, ResizingAFloatingToolbarSnapsToItsLayoutSizes)
{
    TBarToolbar* toolbar = AddToolbar("Leiste");
    for (const char* caption : {"&Eins", "&Zwei", "&Drei", "&Vier", "&Fünf", "&Sechs"})
        Item(toolbar->Items(), caption);
    const auto candidates = toolbar->FloatingSizeCandidates();
    ASSERT_GE(candidates.size(), 3u);
    EXPECT_EQ(candidates[0].FloatingWidth, 0);
    EXPECT_EQ(candidates[0].Rows, 1);
    for (std::size_t i = 1; i < candidates.size(); ++i) {
        EXPECT_GT(candidates[i].Rows, candidates[i - 1].Rows);
        EXPECT_LT(candidates[i].Size.width(), candidates[i - 1].Size.width());
        EXPECT_LT(candidates[i].FloatingWidth, candidates[i].Size.width());
        EXPECT_GT(candidates[i].FloatingWidth, 0);
    }
    // From the two-row size, dragging the right edge: 5 pixels wider stays in the snap zone.
    toolbar->resize(candidates[1].Size);
    toolbar->SizingBegin(1);
    const QRect start(QPoint(100, 100), candidates[1].Size);
    QRect rect = start.adjusted(0, 0, 5, 0);
    toolbar->SizingTrack(rect, start);
    EXPECT_EQ(rect, start);
    // Past it: the one-row size, the smallest at least as wide.
    rect = start.adjusted(0, 0, std::min(13, candidates[0].Size.width() - start.width()), 0);
    toolbar->SizingTrack(rect, start);
    EXPECT_EQ(rect.size(), candidates[0].Size);
    EXPECT_EQ(rect.topLeft(), start.topLeft());
    // Shrinking far from the left edge: the narrowest, anchored at the right.
    rect = start.adjusted(start.width() - 1, 0, 0, 0);
    toolbar->SizingTrack(rect, start);
    EXPECT_EQ(rect.size(), candidates.back().Size);
    EXPECT_EQ(rect.right(), start.right());
    toolbar->SizingEnd();
    EXPECT_EQ(toolbar->FloatingWidth(), candidates.back().FloatingWidth);
}

// Sized smoothly, the bar lays its items out at each size it snaps to while the mouse is still
// held: grown from two rows to the one-row size, its items stand in one row before the release.
TEST_F(Toolbar, ASmoothlySizedFloatingToolbarShowsEachLayoutAsItSnaps)
{
    TBarToolbar* toolbar = AddToolbar("Leiste");
    std::vector<TBarItem*> items;
    for (const char* caption : {"&Eins", "&Zwei", "&Drei", "&Vier", "&Fünf", "&Sechs"})
        items.push_back(Item(toolbar->Items(), caption));
    const auto candidates = toolbar->FloatingSizeCandidates();
    ASSERT_GE(candidates.size(), 2u);
    ASSERT_EQ(candidates[0].FloatingWidth, 0);
    toolbar->SetFloatingWidth(candidates[1].FloatingWidth);
    toolbar->SetFloatingPosition({100, 100});
    toolbar->SetFloating(true);
    Settle();
    ASSERT_TRUE(toolbar->SmoothDrag);
    const QRect start = toolbar->FloatParent()->geometry();
    const QPoint edge(start.right(), start.center().y());
    const auto sameRow = [&] {
        toolbar->View().ValidatePositions();
        return toolbar->View().FindViewer(items.back())->BoundsRect.Top ==
               toolbar->View().FindViewer(items.front())->BoundsRect.Top;
    };
    ASSERT_FALSE(sameRow());
    toolbar->BeginSizing(1, edge);
    ASSERT_NE(TBarMode::Running(), nullptr);
    const QPoint wider = edge + QPoint(candidates[0].Size.width() - candidates[1].Size.width() + 20, 0);
    Mouse(QEvent::MouseMove, Routed(form.get()), wider);
    EXPECT_EQ(toolbar->FloatingWidth(), 0);
    EXPECT_TRUE(sameRow());
    Mouse(QEvent::MouseButtonRelease, Routed(form.get()), wider);
    EXPECT_EQ(TBarMode::Running(), nullptr);
    EXPECT_EQ(toolbar->FloatingWidth(), 0);
    EXPECT_TRUE(sameRow());
}

// The snap zone works both ways: from the two-row size a right edge 5 pixels narrower stays in
// it as well.
TEST_F(Toolbar, ShrinkingAFloatingToolbarALittleKeepsItsSize)
{
    TBarToolbar* toolbar = AddToolbar("Leiste");
    for (const char* caption : {"&Eins", "&Zwei", "&Drei", "&Vier", "&Fünf", "&Sechs"})
        Item(toolbar->Items(), caption);
    const auto candidates = toolbar->FloatingSizeCandidates();
    ASSERT_GE(candidates.size(), 3u);
    toolbar->resize(candidates[1].Size);
    toolbar->SizingBegin(1);
    const QRect start(QPoint(100, 100), candidates[1].Size);
    QRect rect = start.adjusted(0, 0, -5, 0);
    toolbar->SizingTrack(rect, start);
    EXPECT_EQ(rect, start);
    toolbar->SizingEnd();
    EXPECT_EQ(toolbar->FloatingWidth(), candidates[1].FloatingWidth);
}

// A floating bar's edge dragged slowly, one pixel at a time, follows the pointer: narrower and
// narrower down to the narrowest layout without ever widening again on the way, and back out
// again the same way. A snapped size lies beyond the pointer, so a direction taken from it rather
// than from the pointer's movement flipped the window between two layouts at every pixel.
TEST_F(Toolbar, AFloatingToolbarsEdgeDraggedPixelByPixelNeverFlipsBack)
{
    TBarToolbar* toolbar = AddToolbar("Leiste");
    for (const char* caption : {"&Eins", "&Zwei", "&Drei", "&Vier", "&Fünf", "&Sechs"})
        Item(toolbar->Items(), caption);
    const auto candidates = toolbar->FloatingSizeCandidates();
    ASSERT_GE(candidates.size(), 3u);
    toolbar->SetFloatingPosition({100, 100});
    toolbar->SetFloating(true);
    Settle();
    QWidget* window = toolbar->FloatParent();
    const int widest = window->width();
    const QPoint edge(window->geometry().right(), window->geometry().center().y());
    toolbar->BeginSizing(1, edge);
    ASSERT_NE(TBarMode::Running(), nullptr);
    const int span = candidates.front().Size.width() - candidates.back().Size.width() + 20;
    const auto drag = [&](int from, int to) {
        std::vector<int> widths;
        for (int x = from; x != to; x += from < to ? 1 : -1) {
            Mouse(QEvent::MouseMove, Routed(form.get()), QPoint(edge.x() + x, edge.y()));
            if (widths.empty() || widths.back() != window->width())
                widths.push_back(window->width());
        }
        return widths;
    };
    // Every layout once, in order, each way.
    std::vector<int> layouts;
    for (const auto& candidate : candidates)
        layouts.push_back(candidate.Size.width() + widest - candidates.front().Size.width());
    EXPECT_EQ(drag(0, -span), layouts);
    std::reverse(layouts.begin(), layouts.end());
    EXPECT_EQ(drag(-span, 0), layouts);
    Mouse(QEvent::MouseButtonRelease, Routed(form.get()), edge);
    EXPECT_EQ(TBarMode::Running(), nullptr);
    EXPECT_EQ(toolbar->FloatingWidth(), 0);
}

// Pictures of another width alone (the height the same) lay the bar out anew.
TEST_F(Toolbar, PicturesOfAnotherWidthLayTheBarOutAnew)
{
    TBarToolbar* toolbar = AddToolbar("Leiste");
    TBarItem* item = Item(toolbar->Items(), "&Eins");
    ImageList narrow(16, 16);
    ImageList wide(28, 16);
    QImage picture(28, 16, QImage::Format_RGB32);
    picture.fill(Qt::black);
    narrow.Add(picture);
    wide.Add(picture);
    item->SetImages(&narrow);
    item->SetImageIndex(0);
    Settle();
    toolbar->View().ValidatePositions();
    const int before = toolbar->View().FindViewer(item)->BoundsRect.Width();
    item->SetImages(&wide);
    toolbar->View().ValidatePositions();
    EXPECT_EQ(toolbar->View().FindViewer(item)->BoundsRect.Width(), before + 12);
    item->SetImages(nullptr);
}

TEST_F(Toolbar, TheIdleUpdateEnablesAnItemThroughItsAction)
{
    Action action;
    bool ready = false;
    action.OnUpdate = [&](Action& sender) { sender.SetEnabled(ready); };
    save->SetAction(&action);
    RunIdleUpdate();
    EXPECT_FALSE(save->Enabled());
    ready = true;
    RunIdleUpdate();
    EXPECT_TRUE(save->Enabled());
    // Without UpdateActions the items are left alone.
    bar->SetUpdateActions(false);
    ready = false;
    RunIdleUpdate();
    EXPECT_TRUE(save->Enabled());
    save->SetAction(nullptr);
}

TEST_F(Toolbar, TheFloatingWidthGoesThroughThePositionHooks)
{
    std::map<std::string, int> store;
    bar->SetFloatingWidth(140);
    bar->WritePositionData([&](const std::string& name, const std::string& value, int data) {
        store[name + "/" + value] = data;
    });
    EXPECT_EQ(store, (std::map<std::string, int>{{"Menü/FloatRightX", 140}}));
    TBarToolbar* other = AddToolbar("Menü");
    other->ReadPositionData([&](const std::string& name, const std::string& value, int defaultValue) {
        const auto it = store.find(name + "/" + value);
        return it == store.end() ? defaultValue : it->second;
    });
    EXPECT_EQ(other->FloatingWidth(), 140);
    other->setObjectName("Neu");
    other->ReadPositionData([&](const std::string& name, const std::string& value, int defaultValue) {
        const auto it = store.find(name + "/" + value);
        return it == store.end() ? defaultValue : it->second;
    });
    EXPECT_EQ(other->FloatingWidth(), 0);
}

// A bar thinner than its dock row takes the row's thickness: beside a 40-pixel bar its button sits
// centred across the row, not at the top; when the thick bar goes it is at the top again.
TEST_F(Toolbar, AButtonOfAThinBarIsCentredInItsThickerRow)
{
    TBarToolbar* toolbar = AddToolbar("Leiste");
    TBarItem* eins = Item(toolbar->Items(), "&Eins");
    Settle();
    toolbar->View().ValidatePositions();
    const TRect alone = toolbar->View().FindViewer(eins)->BoundsRect;
    ASSERT_EQ(alone.Top, 0);
    ASSERT_LT(alone.Height(), 40);

    auto* thick = new FakeBar(nullptr, {60, 40});
    thick->SetDockRow(1);
    thick->SetDockPos(300);
    thick->SetParent(dock);
    Settle();
    toolbar->View().ValidatePositions();
    EXPECT_EQ(toolbar->ClientHeight(), 40);
    const int top = (40 - alone.Height()) / 2;
    EXPECT_EQ(toolbar->View().FindViewer(eins)->BoundsRect, (TRect{alone.Left, top, alone.Right, top + alone.Height()}));

    delete thick;
    Settle();
    toolbar->View().ValidatePositions();
    EXPECT_EQ(toolbar->View().FindViewer(eins)->BoundsRect, alone);
}

// Items given to a bar before it shows are its contents in their order: at a width for three of
// five, the first three stay and the last two go behind the chevron. An item inserted later is
// new: with tbcpHighest it stays shown and pushes an old one out, with tbcpLowest it goes first.
TEST_F(Toolbar, ABarBuiltInCodeKeepsItsFirstItemsAndNewItemsFollowTheirPriority)
{
    Form window;
    auto* topDock = new TBarDock(&window, TBarDockPosition::dpTop);
    auto* toolbar = new TBarToolbar(topDock);
    const std::vector<TBarItem*> items = FiveItems(*toolbar);
    const int three = LengthOfFirst(*toolbar, items, 3);
    window.resize(toolbar->GetDockedNCAreaSize().x() + three + kChevronSize, 200);
    window.show();
    Settle();
    toolbar->View().ValidatePositions();
    const auto shown = [toolbar](TBarCustomItem* item) { return toolbar->View().FindViewer(item)->Show; };
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(shown(items[i]), i < 3) << i;
    EXPECT_TRUE(toolbar->View().FindViewer(&toolbar->ChevronItem())->Show);

    TBarItem* neu = Item(toolbar->Items(), "&Neu");
    toolbar->View().ValidatePositions();
    EXPECT_TRUE(shown(neu));
    EXPECT_TRUE(shown(items[0]));
    EXPECT_FALSE(shown(items[2]));

    toolbar->SetChevronPriorityForNewItems(TBarChevronPriorityForNewItems::tbcpLowest);
    TBarItem* later = Item(toolbar->Items(), "&Später");
    toolbar->View().ValidatePositions();
    EXPECT_FALSE(shown(later));
    EXPECT_TRUE(toolbar->View().FindViewer(later)->OffEdge);
    EXPECT_TRUE(shown(neu));
}

// A tooltip over a viewer, as the platform asks for one: its text, empty when none showed (a
// tooltip hides only after a while, so a marker shown before tells whether another came).
QString TooltipAt(QWidget& window, QPoint global)
{
    const QString marker = QStringLiteral("\u2013");
    QToolTip::showText(global, marker);
    QHelpEvent event(QEvent::ToolTip, window.mapFromGlobal(global), global);
    QCoreApplication::sendEvent(&window, &event);
    return QToolTip::text() == marker ? QString() : QToolTip::text();
}

// A menu shows an item's hint only when its view shows hints or the item asks for it
// (tboShowHint); a bar shows its items' hints as its ShowHint says, and the hint it shows is the
// only one.
TEST_F(Toolbar, HintsShowOnlyWhereTheViewOrTheItemAsksForThem)
{
    neu->SetHint("Neu|Legt eine neue Anlage an");
    open->SetHint("Öffnen|Öffnet eine Anlage");
    AltKey('d');
    TBarView& menu = *Child(BarView());
    QWidget& popup = *menu.Window();
    EXPECT_EQ(TooltipAt(popup, GlobalCentre(menu, neu)), "");
    open->SetOptions(tboShowHint);
    EXPECT_EQ(TooltipAt(popup, GlobalCentre(menu, open)), "Öffnen");
    EXPECT_EQ(TooltipAt(popup, GlobalCentre(menu, neu)), "");
    Key(Qt::Key_Escape);
    Key(Qt::Key_Escape);
    ExpectModeGone();

    TBarToolbar* toolbar = AddToolbar("Leiste");
    TBarItem* eins = Item(toolbar->Items(), "&Eins");
    eins->SetHint("Eins|Das erste");
    Settle();
    toolbar->View().ValidatePositions();
    EXPECT_TRUE(toolbar->ShowHint());
    EXPECT_EQ(TooltipAt(*toolbar, GlobalCentre(toolbar->View(), eins)), "Eins");
    // The bar takes the event of a hint it shows: the dock behind it does not show its own.
    dock->setToolTip(QStringLiteral("Andockleiste"));
    EXPECT_EQ(TooltipAt(*toolbar, GlobalCentre(toolbar->View(), eins)), "Eins");
    dock->setToolTip({});
    toolbar->SetShowHint(false);
    EXPECT_FALSE(toolbar->View().ShowHints());
    EXPECT_EQ(TooltipAt(*toolbar, GlobalCentre(toolbar->View(), eins)), "");
}

// The chevron of a bar too narrow for its buttons speaks German: its hint and caption come from
// the string table, and its tooltip shows the short hint. A right click on the button under the
// pointer takes its highlight away.
TEST_F(Toolbar, TheChevronHintIsGermanAndARightClickClearsTheHotButton)
{
    Form window;
    auto* toolbar = new TBarToolbar(&window);
    SetAlign(*toolbar, TAlign::alTop);
    const std::vector<TBarItem*> items = FiveItems(*toolbar);
    window.resize(LengthOfFirst(*toolbar, items, 3) + kChevronSize, 200);
    window.show();
    Settle();
    toolbar->Arrange();
    toolbar->View().ValidatePositions();
    ASSERT_TRUE(toolbar->View().FindViewer(&toolbar->ChevronItem())->Show);
    EXPECT_EQ(toolbar->ChevronHint(), "Weitere Schaltflächen|");
    EXPECT_EQ(toolbar->ChevronItem().Caption(), "Weitere Schaltflächen");
    EXPECT_EQ(TooltipAt(*toolbar, GlobalCentre(toolbar->View(), &toolbar->ChevronItem())), "Weitere Schaltflächen");

    // The right press alone (another handler may take the menu request), then a request alone
    // (the Applications key).
    const QPoint first = GlobalCentre(toolbar->View(), items[0]);
    const QPoint local = toolbar->mapFromGlobal(first);
    const auto hover = [&] {
        QMouseEvent move(QEvent::MouseMove, local, local, first, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(toolbar, &move);
        return toolbar->View().Selected();
    };
    ASSERT_EQ(hover(), toolbar->View().FindViewer(items[0]));
    QMouseEvent press(QEvent::MouseButtonPress, local, local, first, Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(toolbar, &press);
    EXPECT_EQ(toolbar->View().Selected(), nullptr);
    EXPECT_EQ(TBarModalHandler::Active(), nullptr);
    ASSERT_EQ(hover(), toolbar->View().FindViewer(items[0]));
    QContextMenuEvent request(QContextMenuEvent::Keyboard, local, first);
    QCoreApplication::sendEvent(toolbar, &request);
    EXPECT_EQ(toolbar->View().Selected(), nullptr);
}

// The chevron's menu holds the buttons the bar had no room for as buttons again, a toolbar in a
// popup: in a row as long as the screen is wide less the popup's frame, wrapping beyond it. It is
// still a menu of the running menu mode: the pointer resting on a button there shows the
// button's hint, although the bar holds the mouse and the application asks no popup for a hint.
TEST_F(Toolbar, TheChevronsMenuIsARowOfButtonsWithTheirHints)
{
    SystemParamsOverride().HintPause = 0;
    TBarToolbar* toolbar = AddToolbar("Leiste");
    std::vector<TBarItem*> items;
    for (const char* caption : {"&Eins", "&Zwei", "&Drei", "&Vier", "&Fünf", "&Sechs", "&Sieben", "&Acht"}) {
        items.push_back(Item(toolbar->Items(), caption));
        items.back()->SetHint(StripAccelChars(caption) + "|Knopf " + StripAccelChars(caption));
    }
    form->resize(LengthOfFirst(*toolbar, items, 3) + kChevronSize + 20, 300);
    Settle();
    toolbar->View().ValidatePositions();
    ASSERT_TRUE(toolbar->View().FindViewer(&toolbar->ChevronItem())->Show);
    std::vector<TBarItem*> hidden;
    for (TBarItem* item : items)
        if (!toolbar->View().FindViewer(item)->Show)
            hidden.push_back(item);
    ASSERT_GE(hidden.size(), 3u);
    const auto open = [&](int screenWidth) {
        const QPoint chevron = GlobalCentre(toolbar->View(), &toolbar->ChevronItem());
        const QRect screen(chevron.x() - screenWidth / 2, -2000, screenWidth, 6000);
        SystemParamsOverride().Monitors = std::vector<std::pair<QRect, QRect>>{{screen, screen}};
        ClickAt(chevron);
        return Child(toolbar->View());
    };

    // Wide: one row of buttons drawn as on a bar, each beside the one before.
    TBarView* popup = open(4000);
    ASSERT_NE(popup, nullptr);
    int right = 0;
    for (TBarItem* item : hidden) {
        TBarItemViewer* viewer = popup->FindViewer(item);
        ASSERT_TRUE(viewer->Show);
        EXPECT_TRUE(viewer->IsToolbarStyle());
        EXPECT_EQ(viewer->BoundsRect.Top, popup->FindViewer(hidden.front())->BoundsRect.Top);
        if (item != hidden.front()) {
            EXPECT_EQ(viewer->BoundsRect.Left, right);
        }
        right = viewer->BoundsRect.Right;
    }
    EXPECT_EQ(popup->Window()->width(), right + 2 * TBarPopupWindow::kFrame);
    const int narrow = right - popup->FindViewer(hidden.front())->BoundsRect.Left;

    // The pointer resting on a button: its hint; on the next: that one's.
    for (TBarItem* item : {hidden[0], hidden[1]}) {
        Mouse(QEvent::MouseMove, Routed(form.get()), GlobalCentre(*popup, item));
        RunFor(10);
        EXPECT_EQ(QToolTip::text(), QString::fromStdString(StripAccelChars(item->Caption())));
        EXPECT_TRUE(QToolTip::isVisible());
    }
    Key(Qt::Key_Escape);
    Key(Qt::Key_Escape);
    ExpectModeGone();

    // A screen narrower than the row: the buttons wrap within it.
    popup = open(narrow);
    ASSERT_NE(popup, nullptr);
    EXPECT_LE(popup->Window()->width(), narrow);
    EXPECT_GT(popup->FindViewer(hidden.back())->BoundsRect.Top, popup->FindViewer(hidden.front())->BoundsRect.Top);
    Key(Qt::Key_Escape);
    Key(Qt::Key_Escape);
}

// The chevron's menu is a row of buttons, walked with Right and back with Left (which must not
// close it), and a screen reader names it after the chevron that opened it, not after the bar.
TEST_F(Toolbar, TheChevronsMenuIsWalkedBothWaysAndNamedAfterTheChevron)
{
    TBarToolbar* toolbar = AddToolbar("Leiste");
    toolbar->Items().SetCaption("Leiste");
    const std::vector<TBarItem*> items = FiveItems(*toolbar);
    form->resize(LengthOfFirst(*toolbar, items, 2) + kChevronSize + 20, 300);
    Settle();
    toolbar->View().ValidatePositions();
    ASSERT_TRUE(toolbar->View().FindViewer(&toolbar->ChevronItem())->Show);
    ClickAt(GlobalCentre(toolbar->View(), &toolbar->ChevronItem()));
    TBarView* popup = Child(toolbar->View());
    ASSERT_NE(popup, nullptr);

    EXPECT_EQ(QAccessible::queryAccessibleInterface(popup->Window())->text(QAccessible::Name), "Weitere Schaltflächen");
    Key(Qt::Key_Right);
    const std::string first = SelectedCaption(popup);
    Key(Qt::Key_Right);
    const std::string second = SelectedCaption(popup);
    ASSERT_NE(first, second);
    Key(Qt::Key_Left);
    ASSERT_EQ(Child(toolbar->View()), popup);
    EXPECT_EQ(SelectedCaption(popup), first);
    Key(Qt::Key_Escape);
    Key(Qt::Key_Escape);
}

// On a plain form, a bar that resizes itself but is aligned to the top (held at the left and the
// right) keeps to the form's width: the items that do not fit go behind the chevron.
TEST_F(Toolbar, ABarAnchoredLeftAndRightKeepsToItsWidthAndShrinks)
{
    Form window;
    auto* toolbar = new TBarToolbar(&window);
    SetAlign(*toolbar, TAlign::alTop);
    const std::vector<TBarItem*> items = FiveItems(*toolbar);
    ASSERT_TRUE(toolbar->AutoResize());
    ASSERT_TRUE(toolbar->AnchoredLeftAndRight());
    const int three = LengthOfFirst(*toolbar, items, 3);
    const int all = LengthOfFirst(*toolbar, items, 5);
    window.resize(three + kChevronSize, 200);
    window.show();
    Settle();
    toolbar->Arrange();
    toolbar->View().ValidatePositions();
    EXPECT_EQ(toolbar->width(), three + kChevronSize);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(toolbar->View().FindViewer(items[i])->Show, i < 3) << i;
    EXPECT_TRUE(toolbar->View().FindViewer(&toolbar->ChevronItem())->Show);
    // Wider again, the bar shows everything.
    window.resize(all + 40, 200);
    Settle();
    toolbar->View().ValidatePositions();
    EXPECT_TRUE(toolbar->View().FindViewer(items[4])->Show);
    EXPECT_FALSE(toolbar->View().FindViewer(&toolbar->ChevronItem())->Show);
}

}  // namespace
}  // namespace velmoran::testing
