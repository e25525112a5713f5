// The HTML radio button offscreen: grouping among siblings, clicks only for the button that
// becomes checked, mouse capture, keys and focus (Tab enters a group once and changes no
// choice, the arrows move within it, the focus rectangle goes with the focus), the accelerator,
// anchors while focused, where the four looks put their button and how the diamond look draws.
#include "ControlsTestSupport.h"

#include "controls/ControlResources.h"
#include "controls/HtmlRadioButton.h"
#include "platform/RecordingCanvas.h"
#include "platform/Shell.h"

#include <QLineEdit>
#include <QShortcutEvent>
#include <QTest>
#include <QWindow>

#include <memory>

using namespace velmoran;

namespace {

class HtmlRadioButton : public velmoran::testing::ControlsTest {
protected:
    HtmlRadioButton()
    {
        window_ = std::make_unique<QWidget>();
        window_->resize(300, 200);
        for (int i = 0; i < 4; ++i) {
            auto* button = new THtmlRadioButton(window_.get());
            button->move(10, 10 + 25 * i);
            button->SetCaption("Knopf " + std::to_string(i));
            button->OnClick = [this, i](QWidget*) { clicks_.push_back(i); };
            buttons_.push_back(button);
        }
        buttons_[3]->SetGroupIndex(1);
    }

    void Show()
    {
        window_->show();
        window_->activateWindow();
        QApplication::setActiveWindow(window_.get());
        QApplication::processEvents();
    }

    std::unique_ptr<QWidget> window_;
    std::vector<THtmlRadioButton*> buttons_;
    std::vector<int> clicks_;
};

}  // namespace

TEST_F(HtmlRadioButton, SiblingsOfOneGroupUncheckOneAnother)
{
    buttons_[3]->SetChecked(true);
    buttons_[0]->SetChecked(true);
    buttons_[1]->SetChecked(true);
    EXPECT_FALSE(buttons_[0]->Checked());
    EXPECT_TRUE(buttons_[1]->Checked());
    EXPECT_FALSE(buttons_[2]->Checked());
    EXPECT_TRUE(buttons_[3]->Checked());
    // Only the buttons that became checked were clicked; the same value again fires nothing.
    EXPECT_EQ(clicks_, (std::vector<int>{3, 0, 1}));
    buttons_[1]->SetChecked(true);
    buttons_[2]->SetChecked(false);
    EXPECT_EQ(clicks_.size(), 3u);
    // The checked button is the group's tab stop.
    EXPECT_TRUE(buttons_[1]->TabStop());
    EXPECT_FALSE(buttons_[0]->TabStop());
    EXPECT_EQ(buttons_[0]->focusPolicy(), Qt::ClickFocus);
    // A new button is a tab stop and unchecked.
    THtmlRadioButton fresh;
    EXPECT_TRUE(fresh.TabStop());
    EXPECT_FALSE(fresh.Checked());
    EXPECT_EQ(fresh.Caption(), "THtmlRadioButton");
    EXPECT_EQ(fresh.size(), QSize(98, 20));
}

TEST_F(HtmlRadioButton, ReleasingOutsideLeavesTheButtonUnchecked)
{
    Show();
    THtmlRadioButton* b = buttons_[2];
    b->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(b->hasFocus());
    EXPECT_TRUE(b->Checked());  // gaining the focus checks it
    b->SetChecked(false);
    Mouse(b, QEvent::MouseButtonPress, 5, 5);
    EXPECT_TRUE(b->Down());
    Mouse(b, QEvent::MouseMove, 150, 5, true);
    EXPECT_FALSE(b->Down());
    Mouse(b, QEvent::MouseButtonRelease, 150, 5);
    EXPECT_FALSE(b->Checked());
    Mouse(b, QEvent::MouseButtonPress, 5, 5);
    Mouse(b, QEvent::MouseButtonRelease, 5, 5);
    EXPECT_TRUE(b->Checked());
}

// A right click (asking "Was ist das?") or a middle click on "Frachten" checked it and switched
// the input mode without a word. Only the left button chooses, whether the click hands the button
// the focus or finds it there; the clicks go through the window, as the application's own focus
// giving on a press is part of a real one.
TEST_F(HtmlRadioButton, OnlyTheLeftButtonChooses)
{
    Show();
    buttons_[0]->SetChecked(true);
    clicks_.clear();
    const QPoint onSecond = buttons_[1]->mapTo(window_.get(), QPoint(5, 8));
    for (const Qt::MouseButton which : {Qt::RightButton, Qt::MiddleButton, Qt::RightButton}) {
        QTest::mouseClick(window_->windowHandle(), which, Qt::NoModifier, onSecond);
        EXPECT_FALSE(buttons_[1]->Checked()) << which;
        EXPECT_FALSE(buttons_[1]->Down()) << which;
    }
    EXPECT_TRUE(clicks_.empty());
    QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, Qt::NoModifier, onSecond);
    EXPECT_EQ(clicks_, std::vector<int>{1});
}

TEST_F(HtmlRadioButton, TabSpaceEnterAndTheAccelerator)
{
    Show();
    buttons_[0]->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(buttons_[0]->hasFocus());
    buttons_[0]->SetChecked(true);
    // Tab to a tab stop passes by: it stays unchecked, and the group keeps its choice.
    buttons_[1]->SetChecked(false);
    buttons_[1]->SetTabStop(true);
    Key(buttons_[0], QEvent::KeyPress, Qt::Key_Tab);
    QApplication::processEvents();
    ASSERT_TRUE(buttons_[1]->hasFocus());
    EXPECT_FALSE(buttons_[1]->Checked());
    EXPECT_TRUE(buttons_[0]->Checked());
    // The focus rectangle went along with the focus.
    const auto focusRects = [this](THtmlRadioButton* button) {
        RecordingCanvas canvas(engine_, button->width(), button->height());
        button->PaintTo(canvas);
        const std::vector<std::string> calls = canvas.Calls();
        return std::count_if(calls.begin(), calls.end(),
                             [](const std::string& call) { return call.rfind("FocusRect", 0) == 0; });
    };
    EXPECT_EQ(focusRects(buttons_[0]), 0);
    EXPECT_EQ(focusRects(buttons_[1]), 1);
    // The caption, and the focus rectangle around it, begin 5 pixels right of the button.
    {
        RecordingCanvas canvas(engine_, buttons_[1]->width(), buttons_[1]->height());
        buttons_[1]->PaintTo(canvas);
        const std::vector<std::string> calls = canvas.Calls();
        const auto first = [&calls](const std::string& start) {
            const auto found = std::find_if(calls.begin(), calls.end(),
                                            [&start](const std::string& call) { return call.rfind(start, 0) == 0; });
            return found == calls.end() ? std::string() : *found;
        };
        EXPECT_EQ(first("TextOut ").rfind("TextOut 19,", 0), 0u) << canvas.Text();
        EXPECT_EQ(first("FocusRect ").rfind("FocusRect 17,", 0), 0u) << canvas.Text();
    }
    // Space checks an unchecked button on release.
    buttons_[1]->SetChecked(false);
    Key(buttons_[1], QEvent::KeyPress, Qt::Key_Space);
    EXPECT_TRUE(buttons_[1]->Down());
    EXPECT_FALSE(buttons_[1]->Checked());
    Key(buttons_[1], QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_TRUE(buttons_[1]->Checked());
    // Enter moves on only with ReturnIsTab.
    Key(buttons_[1], QEvent::KeyPress, Qt::Key_Return);
    EXPECT_TRUE(buttons_[1]->hasFocus());
    buttons_[1]->ReturnIsTab = true;
    Key(buttons_[1], QEvent::KeyPress, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_FALSE(buttons_[1]->hasFocus());
    // The caption's "&" letter checks the button.
    buttons_[2]->SetCaption("&Frachten");
    QShortcutEvent shortcut(QKeySequence::mnemonic(QStringLiteral("&F")), 0);
    QApplication::sendEvent(buttons_[2], &shortcut);
    EXPECT_TRUE(buttons_[2]->Checked());
    EXPECT_TRUE(buttons_[2]->hasFocus());
    // Typed with Alt, the letter checks the button only while it is enabled.
    buttons_[3]->SetCaption("&Gase");
    buttons_[3]->setEnabled(false);
    QTest::keyClick(window_.get(), Qt::Key_G, Qt::AltModifier);
    EXPECT_FALSE(buttons_[3]->Checked());
    buttons_[3]->setEnabled(true);
    QTest::keyClick(window_.get(), Qt::Key_G, Qt::AltModifier);
    EXPECT_TRUE(buttons_[3]->Checked());
}

// Tab never changes a choice: a group is one tab stop, its checked button, or its first while
// none is checked; Tab and Backtab pass through it and leave every button as it was. The arrows
// move within the group (round at its ends) and check the button they reach.
TEST_F(HtmlRadioButton, TabEntersEachGroupOnceAndArrowsMoveWithinIt)
{
    auto* before = new QLineEdit(window_.get());
    auto* after = new QLineEdit(window_.get());
    QWidget::setTabOrder(before, buttons_[0]);
    QWidget::setTabOrder(buttons_[3], after);
    Show();
    const auto checks = [this] {
        std::string marks;
        for (THtmlRadioButton* b : buttons_)
            marks += b->Checked() ? 'x' : '-';
        return marks;
    };
    // The widgets Tab (or Backtab) reaches from `before` until it comes back.
    const auto tour = [&](int key) {
        std::vector<QWidget*> reached;
        before->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
        for (int i = 0; i < 10; ++i) {
            Key(QApplication::focusWidget(), QEvent::KeyPress, key);
            Key(QApplication::focusWidget(), QEvent::KeyRelease, key);
            QApplication::processEvents();
            if (QApplication::focusWidget() == before)
                break;
            reached.push_back(QApplication::focusWidget());
        }
        return reached;
    };
    using Stops = std::vector<QWidget*>;
    EXPECT_EQ(tour(Qt::Key_Tab), (Stops{buttons_[0], buttons_[3], after}));
    EXPECT_EQ(tour(Qt::Key_Backtab), (Stops{after, buttons_[3], buttons_[0]}));
    EXPECT_EQ(checks(), "----");

    buttons_[2]->SetChecked(true);
    EXPECT_EQ(tour(Qt::Key_Tab), (Stops{buttons_[2], buttons_[3], after}));
    EXPECT_EQ(checks(), "--x-");
    EXPECT_EQ(clicks_, std::vector<int>{2});

    // Within the group: right from the last goes round to the first, up goes back.
    buttons_[2]->setFocus(Qt::TabFocusReason);
    Key(buttons_[2], QEvent::KeyPress, Qt::Key_Right);
    EXPECT_TRUE(buttons_[0]->hasFocus());
    EXPECT_EQ(checks(), "x---");
    Key(buttons_[0], QEvent::KeyPress, Qt::Key_Up);
    Key(buttons_[2], QEvent::KeyPress, Qt::Key_Up);
    EXPECT_TRUE(buttons_[1]->hasFocus());
    EXPECT_EQ(checks(), "-x--");
    EXPECT_EQ(tour(Qt::Key_Tab), (Stops{buttons_[1], buttons_[3], after}));

    // With its check gone the group's first button is its stop again; a button joining another
    // group takes that group's rule with it.
    buttons_[1]->SetChecked(false);
    EXPECT_EQ(tour(Qt::Key_Tab), (Stops{buttons_[0], buttons_[3], after}));
    buttons_[0]->SetGroupIndex(1);
    EXPECT_EQ(tour(Qt::Key_Tab), (Stops{buttons_[0], buttons_[1], after}));
    EXPECT_EQ(checks(), "----");
    // With every other button of its group disabled the arrows have nowhere to go: nothing changes.
    buttons_[2]->setEnabled(false);
    buttons_[1]->setFocus(Qt::TabFocusReason);
    Key(buttons_[1], QEvent::KeyPress, Qt::Key_Down);
    EXPECT_TRUE(buttons_[1]->hasFocus());
    EXPECT_EQ(checks(), "----");
}

TEST_F(HtmlRadioButton, AnchorsReactOnlyWhileFocused)
{
    Show();
    RecordingShell shell;
    ScopedShell scope(shell);
    std::vector<std::string> clicked;
    THtmlRadioButton* b = buttons_[2];
    b->OnAnchorClick = [&](QWidget*, const std::string& a) { clicked.push_back(a); };
    b->SetCaption("<A HREF=\"page1\">Link</A> <A HREF=\"https://example.org\">Netz</A>");
    // The first press only takes the focus (which checks the button).
    Mouse(b, QEvent::MouseButtonPress, 20, 8);
    Mouse(b, QEvent::MouseButtonRelease, 20, 8);
    EXPECT_TRUE(clicked.empty());
    EXPECT_TRUE(b->hasFocus());
    EXPECT_TRUE(b->Checked());
    Mouse(b, QEvent::MouseButtonPress, 20, 8);
    EXPECT_EQ(clicked, (std::vector<std::string>{"page1"}));
    EXPECT_FALSE(b->Down());
    Mouse(b, QEvent::MouseButtonPress, 45, 8);
    EXPECT_EQ(shell.Opened(), (std::vector<std::string>{"https://example.org"}));
    EXPECT_EQ(clicked.size(), 1u);
}

TEST_F(HtmlRadioButton, TheFourLooksPlaceTheirButton)
{
    THtmlRadioButton b;
    b.resize(100, 40);
    struct Case {
        TButtonType Type;
        TTextLayout Layout;
        TLeftRight Side;
        TRect Expected;
    };
    const Case cases[] = {
        {TButtonType::btClassic, TTextLayout::tlTop, TLeftRight::taLeftJustify, {0, 4, 13, 17}},
        {TButtonType::btClassic, TTextLayout::tlCenter, TLeftRight::taLeftJustify, {0, 14, 13, 27}},
        {TButtonType::btFlat, TTextLayout::tlBottom, TLeftRight::taLeftJustify, {0, 23, 13, 36}},
        {TButtonType::btFlat, TTextLayout::tlTop, TLeftRight::taRightJustify, {87, 4, 100, 17}},
        {TButtonType::btQuarnel, TTextLayout::tlTop, TLeftRight::taLeftJustify, {1, 4, 13, 16}},
        {TButtonType::btQuarnel, TTextLayout::tlCenter, TLeftRight::taRightJustify, {87, 14, 99, 26}},
        {TButtonType::btQuarnel, TTextLayout::tlBottom, TLeftRight::taLeftJustify, {1, 24, 13, 36}},
        {TButtonType::btTolvane, TTextLayout::tlTop, TLeftRight::taLeftJustify, {0, 2, 13, 15}},
        {TButtonType::btTolvane, TTextLayout::tlCenter, TLeftRight::taLeftJustify, {0, 14, 13, 27}},
        {TButtonType::btTolvane, TTextLayout::tlBottom, TLeftRight::taRightJustify, {86, 25, 99, 38}},
    };
    b.SetCaption("");
    b.SetChecked(true);
    for (const Case& c : cases) {
        b.SetButtonType(c.Type);
        b.SetButtonVertAlign(c.Layout);
        b.SetAlignment(c.Side);
        EXPECT_EQ(b.ButtonRect(), c.Expected) << static_cast<int>(c.Type) << " " << static_cast<int>(c.Layout);
        // The button is drawn there: its box holds ink, the rest of the control is button face.
        const QImage image = b.grab().toImage();
        int inkInside = 0;
        int inkOutside = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) == 0xFFC0C0C0u)
                    continue;
                const bool inside = x >= c.Expected.Left && x < c.Expected.Right && y >= c.Expected.Top &&
                                    y < c.Expected.Bottom;
                ++(inside ? inkInside : inkOutside);
            }
        EXPECT_GT(inkInside, 20);
        EXPECT_EQ(inkOutside, 0) << static_cast<int>(c.Type);
    }
}

TEST_F(HtmlRadioButton, CheckedDotsOfTheLooks)
{
    THtmlRadioButton b;
    b.SetCaption("");
    b.SetChecked(true);
    b.SetButtonType(TButtonType::btClassic);
    EXPECT_EQ(b.grab().toImage().pixel(5, 9), 0xFF000000u);
    b.SetChecked(false);
    EXPECT_EQ(b.grab().toImage().pixel(5, 9), 0xFFFFFFFFu);
    b.SetChecked(true);
    b.SetButtonType(TButtonType::btQuarnel);
    b.SetCheckColor(0x0000FF);
    EXPECT_EQ(b.grab().toImage().pixel(7, 10), 0xFFFF0000u);
    b.setEnabled(false);
    EXPECT_EQ(b.grab().toImage().pixel(7, 10), 0xFF808080u);
}

// The btQuarnel diamond, 12 pixels across: raised when unchecked, sunk with its dot when checked,
// a double black outline while pressed.
TEST_F(HtmlRadioButton, TheQuarnelDiamondRaisedSunkAndPressed)
{
    THtmlRadioButton b;
    b.SetCaption("");
    b.resize(100, 40);
    b.SetButtonType(TButtonType::btQuarnel);
    ASSERT_EQ(b.ButtonRect(), (TRect{1, 4, 13, 16}));
    const auto picture = [&b] {
        const QImage image = b.grab().toImage();
        std::vector<std::string> rows;
        for (int y = 4; y < 16; ++y) {
            std::string row;
            for (int x = 1; x < 13; ++x) {
                const QRgb p = image.pixel(x, y);
                row += p == 0xFFC0C0C0u ? '.' : p == 0xFF808080u ? 's' : p == 0xFFFFFFFFu ? 'h' : p == 0xFF000000u ? 'k' : '?';
            }
            rows.push_back(row);
        }
        return rows;
    };
    using Rows = std::vector<std::string>;
    EXPECT_EQ(picture(), (Rows{".....hh.....", "....h..h....", "...h....h...", "..h......h..", ".h........h.", "h..........s",
                               "s..........s", ".s........s.", "..s......s..", "...s....s...", "....s..s....", ".....ss....."}));
    b.SetChecked(true);
    EXPECT_EQ(picture(), (Rows{".....ss.....", "....s..s....", "...s....s...", "..s..k...s..", ".s..kkkk..s.", "s..kkkkkk..h",
                               "h...kkkk...h", ".h...k....h.", "..h..k...h..", "...h....h...", "....h..h....", ".....hh....."}));
    Mouse(&b, QEvent::MouseButtonPress, 5, 8);
    ASSERT_TRUE(b.Down());
    EXPECT_EQ(picture(), (Rows{".....kk.....", "....kkkk....", "...kk..kk...", "..kk.k..kk..", ".kk.kkkk.kk.", "kk.kkkkkk.kk",
                               "kk..kkkk..kk", ".kk..k...kk.", "..kk.k..kk..", "...kk..kk...", "....kkkk....", ".....kk....."}));
    Mouse(&b, QEvent::MouseButtonRelease, 5, 8);
}

// The btTolvane pictures are transparent where their lower-left pixel's colour is: there the
// control's own background shows, everywhere else the picture's pixel.
TEST_F(HtmlRadioButton, TolvanePicturesAreTransparentWhereTheirLowerLeftPixelIs)
{
    THtmlRadioButton b;
    b.resize(100, 40);
    b.SetCaption("");
    b.SetButtonType(TButtonType::btTolvane);
    b.SetButtonVertAlign(TTextLayout::tlTop);
    b.SetColor(RGBRef(255, 255, 0));
    for (const bool checked : {true, false}) {
        b.SetChecked(checked);
        const QImage picture = ControlBitmap(checked ? "RAD01" : "RAD02").convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(picture.isNull());
        const QRgb key = picture.pixel(0, picture.height() - 1);
        ASSERT_NE(key, picture.pixel(picture.width() / 2, picture.height() / 2));
        const TRect box = b.ButtonRect();
        ASSERT_EQ(box.Width(), picture.width());
        const QImage shown = b.grab().toImage();
        int seeThrough = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb expected = picture.pixel(x, y) == key ? 0xFFFFFF00u : picture.pixel(x, y);
                seeThrough += picture.pixel(x, y) == key ? 1 : 0;
                EXPECT_EQ(shown.pixel(box.Left + x, box.Top + y), expected) << x << "," << y;
            }
        EXPECT_GT(seeThrough, 0);
    }
}

// With ReturnIsTab both Enter keys move on, while Space still checks in place; over an anchor
// the hand shows and OnAnchorEnter tells it, and leaving the anchor tells OnAnchorExit once and
// gives the cursor back. OnMouseMove follows each move, after the anchor's events.
TEST_F(HtmlRadioButton, EnterKeysMoveOnAndTheHandShowsOverAnchors)
{
    Show();
    THtmlRadioButton* b = buttons_[1];
    b->ReturnIsTab = true;
    b->setFocus();
    QApplication::processEvents();
    Key(b, QEvent::KeyPress, Qt::Key_Space);
    EXPECT_TRUE(b->hasFocus());
    Key(b, QEvent::KeyRelease, Qt::Key_Space);
    b->setFocus();
    Key(b, QEvent::KeyPress, Qt::Key_Enter);
    QApplication::processEvents();
    EXPECT_FALSE(b->hasFocus());

    std::vector<std::string> hovered;
    b->OnAnchorEnter = [&](QWidget*, const std::string& a) { hovered.push_back("enter " + a); };
    b->OnAnchorExit = [&](QWidget*, const std::string&) { hovered.push_back("exit"); };
    std::vector<std::string> moves;
    b->OnMouseMove = [&](QWidget* sender, Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) {
        EXPECT_EQ(sender, b);
        moves.push_back(std::to_string(x) + "," + std::to_string(y) + " after " + std::to_string(hovered.size()));
    };
    b->SetCaption("<A HREF=\"page1\">Link</A> Text");
    b->setFocus();
    QApplication::processEvents();
    const Qt::CursorShape plain = b->cursor().shape();
    Mouse(b, QEvent::MouseMove, 20, 8);
    EXPECT_EQ(hovered, (std::vector<std::string>{"enter page1"}));
    EXPECT_NE(b->cursor().shape(), plain);
    Mouse(b, QEvent::MouseMove, 22, 8);  // still on it: nothing new
    Mouse(b, QEvent::MouseMove, 60, 8);
    Mouse(b, QEvent::MouseMove, 62, 8);
    EXPECT_EQ(hovered, (std::vector<std::string>{"enter page1", "exit"}));
    EXPECT_EQ(b->cursor().shape(), plain);
    EXPECT_EQ(moves, (std::vector<std::string>{"20,8 after 1", "22,8 after 1", "60,8 after 2", "62,8 after 2"}));
}
