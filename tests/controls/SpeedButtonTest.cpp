// The speed button and its glyphs: image counts from the strip's shape (an empty glyph included),
// shared glyph lists and their slots, the layout of glyph and caption, the looks that matter
// (grey away from the mouse, exclusive and disabled), groups, auto-repeat, the drop-down menu,
// accelerators, ModalResult and a linked action.
#include "controls/SpeedButton.h"
#include "controls/DrawUtils.h"
#include "platform/Action.h"
#include "platform/QtCanvas.h"
#include "platform/RecordingCanvas.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/support/ScriptedModals.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>

using namespace velmoran;
using velmoran::testing::ScopedTestFonts;

namespace {

constexpr QRgb kMagenta = 0xFFFF00FF;
constexpr QRgb kInk = 0xFFC86432;  // red 200, green 100, blue 50

// Images of size x size side by side on magenta, each with an ink block in the middle.
QImage Strip(int count, int size = 16, QRgb ink = kInk)
{
    QImage strip(count * size, size, QImage::Format_RGB32);
    strip.fill(kMagenta);
    for (int i = 0; i < count; ++i)
        for (int y = size / 2 - 2; y < size / 2 + 2; ++y)
            for (int x = size / 2 - 2; x < size / 2 + 2; ++x)
                strip.setPixel(i * size + x, y, ink);
    return strip;
}

void Click(QWidget* widget, QPoint at = QPoint(5, 5))
{
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
}

// Records the drop-down calls instead of running the menu's loop.
struct RecordedPopups {
    RecordedPopups()
    {
        previous = SetDropDownPopup([this](QMenu& menu, const QPoint& at) {
            menus.push_back(&menu);
            points.push_back(at);
            if (during)
                during(menu);
        });
    }
    ~RecordedPopups() { SetDropDownPopup(std::move(previous)); }
    TDropDownPopup previous;
    std::vector<QMenu*> menus;
    std::vector<QPoint> points;
    std::function<void(QMenu&)> during;
};

}  // namespace

TEST(SpeedButton, ImageCountFollowsTheStripShape)
{
    ScopedTestFonts fonts;
    TExSpeedButton button;
    button.SetGlyph(Strip(4));  // 64 x 16
    EXPECT_EQ(button.NumGlyphs(), 4);
    button.SetGlyph(Strip(7));  // 112 x 16: seven squares are too many, one image
    EXPECT_EQ(button.NumGlyphs(), 1);
    button.SetNumGlyphs(7);
    EXPECT_EQ(button.NumGlyphs(), 5);
    button.SetNumGlyphs(0);
    EXPECT_EQ(button.NumGlyphs(), 5);
    // One image again: the whole strip is the glyph.
    TExButtonGlyph single;
    single.SetGlyph(Strip(4));
    int changes = 0;
    single.OnChange = [&] { ++changes; };
    single.SetNumGlyphs(1);
    EXPECT_EQ(single.NumGlyphs(), 1);
    EXPECT_EQ(single.GlyphSize(), (TSize{64, 16}));
    EXPECT_EQ(changes, 1);

    // The transparent colour is the bottom-left pixel's.
    QImage blue = Strip(1);
    blue.setPixel(0, 15, 0xFF0000FF);
    button.SetGlyph(blue);
    EXPECT_EQ(button.NumGlyphs(), 1);
    TExButtonGlyph glyph;
    glyph.SetGlyph(blue);
    EXPECT_EQ(glyph.TransparentColor(), RGBRef(0, 0, 255));

    // Clearing the glyph (an empty picture, height 0) gives one image and keeps the colour.
    button.SetGlyph(QImage());
    EXPECT_EQ(button.NumGlyphs(), 1);
    glyph.SetNumGlyphs(3);
    glyph.SetGlyph(QImage());
    EXPECT_EQ(glyph.NumGlyphs(), 1);
    EXPECT_EQ(glyph.TransparentColor(), RGBRef(0, 0, 255));
    EXPECT_EQ(glyph.CreateButtonGlyph(TButtonState::bsUp), -1);
}

TEST(SpeedButton, GlyphListsAreSharedBySizeAndHandOutTheLowestFreeSlot)
{
    ScopedTestFonts fonts;
    TGlyphList list(16, 16);
    EXPECT_EQ(list.AddGlyph(Strip(1), RGBRef(255, 0, 255)), 0);
    EXPECT_EQ(list.AddGlyph(Strip(1), RGBRef(255, 0, 255)), 1);
    EXPECT_EQ(list.AddGlyph(Strip(1), RGBRef(255, 0, 255)), 2);
    list.DeleteGlyph(1);
    list.DeleteGlyph(1);  // twice: no harm
    list.DeleteGlyph(-1);
    list.DeleteGlyph(3);  // outside: no harm either
    EXPECT_EQ(list.UsedCount(), 2);
    EXPECT_EQ(list.AddGlyph(Strip(1, 16, 0xFF000000), RGBRef(255, 0, 255)), 1);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Image(1).pixel(8, 8), 0xFF000000u);  // the slot holds the new picture
    list.DeleteGlyph(0);  // the first slot is freed like any other
    EXPECT_EQ(list.UsedCount(), 2);
    EXPECT_EQ(list.AddGlyph(Strip(1), RGBRef(255, 0, 255)), 0);
    EXPECT_EQ(qAlpha(list.Image(1).pixel(0, 0)), 0);

    {
        auto first = std::make_unique<TExButtonGlyph>();
        auto second = std::make_unique<TExButtonGlyph>();
        auto large = std::make_unique<TExButtonGlyph>();
        first->SetGlyph(Strip(3));
        second->SetGlyph(Strip(2));
        large->SetGlyph(Strip(1, 24));
        EXPECT_EQ(first->CreateButtonGlyph(TButtonState::bsUp), 0);
        EXPECT_EQ(first->CreateButtonGlyph(TButtonState::bsUp), 0);  // built once
        EXPECT_EQ(first->CreateButtonGlyph(TButtonState::bsDown), 1);
        EXPECT_EQ(second->CreateButtonGlyph(TButtonState::bsDown), 2);  // fewer than three: the up image
        EXPECT_EQ(second->CreateButtonGlyph(TButtonState::bsUp), 2);
        EXPECT_EQ(second->CreateButtonGlyph(TButtonState::bsDisabled), 3);
        large->CreateButtonGlyph(TButtonState::bsUp);
        ASSERT_NE(SharedGlyphCache(), nullptr);
        EXPECT_EQ(first->List(), second->List());
        EXPECT_NE(first->List(), large->List());
        EXPECT_EQ(SharedGlyphCache()->Count(), 2);

        // Given back: the freed slots are the next to be handed out.
        first.reset();
        EXPECT_EQ(second->List()->UsedCount(), 2);
        EXPECT_EQ(second->CreateButtonGlyph(TButtonState::bsExclusive), 0);
        second->Invalidate();
        EXPECT_EQ(SharedGlyphCache()->Count(), 1);  // the empty list went
        large.reset();
    }
    EXPECT_EQ(SharedGlyphCache(), nullptr);  // with the last glyph and its last list
}

TEST(SpeedButton, MarginAndSpacingPlaceGlyphAndCaption)
{
    ScopedTestFonts fonts;
    TExButtonGlyph glyph;
    glyph.SetGlyph(Strip(1));
    MeasuringCanvas canvas(fonts.Engine);
    canvas.SetFont(LogicalFont{"Arial", -10});  // "Abc" is 15 wide, 10 high
    const TRect client{0, 0, 100, 30};
    const auto place = [&](int margin, int spacing) {
        return glyph.CalcButtonLayout(canvas, client, {}, u"Abc", TButtonLayout::blGlyphLeft, margin, spacing, false);
    };
    // Both -1: three equal gaps of (100 - 16 - 15) div 3.
    TButtonLayoutResult even = place(-1, -1);
    EXPECT_EQ(even.GlyphPos, (TPoint{23, 7}));
    EXPECT_EQ(even.TextBounds, (TRect{62, 10, 77, 20}));
    // Margin -1 only: glyph, spacing and caption centred as one block.
    EXPECT_EQ(place(-1, 4).GlyphPos.X, 50 - (16 + 4 + 15) / 2);
    // Spacing -1 only: the caption centred in what is left after margin and glyph.
    TButtonLayoutResult spaced = place(2, -1);
    EXPECT_EQ(spaced.TextBounds.Left, 2 + 16 + (100 - 2 - 16) / 2 - 15 / 2);
    // Glyph right and bottom, shifted by the offset.
    TButtonLayoutResult right =
        glyph.CalcButtonLayout(canvas, client, {1, 1}, u"Abc", TButtonLayout::blGlyphRight, 3, 2, false);
    EXPECT_EQ(right.GlyphPos, (TPoint{100 - 3 - 16 + 1, 7 + 1}));
    EXPECT_EQ(right.TextBounds.Right, 100 - 3 - 16 - 2 + 1);

    // Without a glyph the spacing counts nothing; the caption alone is centred.
    TExButtonGlyph none;
    EXPECT_EQ(none.CalcButtonLayout(canvas, client, {}, u"Abc", TButtonLayout::blGlyphTop, -1, 5, false).TextBounds,
              (TRect{43, 10, 58, 20}));
    // The drop-down arrow's 9 pixels then widen the caption's box, which moves left by half.
    EXPECT_EQ(none.CalcButtonLayout(canvas, client, {}, u"Abc", TButtonLayout::blGlyphTop, -1, 5, true).TextBounds,
              (TRect{38, 10, 53, 20}));
    // The arrow stands 3 pixels right of the caption, its 4 rows in the middle of the caption's 10.
    {
        RecordingCanvas drawn(fonts.Engine);
        drawn.SetFont(LogicalFont{"Arial", -10});
        none.DrawButton(drawn, client, {}, u"Abc", TButtonLayout::blGlyphTop, -1, 5, TButtonState::bsUp, true);
        const std::vector<std::string> calls = drawn.Calls();
        for (const char* row : {"FillRect 56,13,63,14 #000000", "FillRect 59,16,60,17 #000000"})
            EXPECT_NE(std::find(calls.begin(), calls.end(), row), calls.end()) << row << "\n" << drawn.Text();
    }

    TExSpeedButton button;
    button.SetMargin(4);
    button.SetMargin(-2);
    EXPECT_EQ(button.Margin(), 4);
    button.SetMargin(-1);
    EXPECT_EQ(button.Margin(), -1);
}

// The button takes its parent's font, also a later one, until a font of its own is set.
TEST(SpeedButton, TheCaptionTakesTheParentsFontUntilItHasItsOwn)
{
    ScopedTestFonts fonts;
    QWidget parent;
    TFont bold;
    bold.Size = 12;
    bold.Bold = true;
    parent.setFont(QtFontEngine::MakeQFont(bold.Logical()));
    auto* button = new TExSpeedButton(&parent);
    EXPECT_TRUE(button->ParentFont());
    EXPECT_EQ(button->Font().Size, 12);
    EXPECT_TRUE(button->Font().Bold);
    TFont small;
    small.Size = 7;
    parent.setFont(QtFontEngine::MakeQFont(small.Logical()));
    EXPECT_EQ(button->Font().Size, 7);
    EXPECT_FALSE(button->Font().Bold);
    // A parent's font given in points counts the same.
    QFont inPoints = parent.font();
    inPoints.setPointSize(9);
    parent.setFont(inPoints);
    EXPECT_EQ(button->Font().Size, 9);
    button->SetFont(bold);
    EXPECT_FALSE(button->ParentFont());
    parent.setFont(QtFontEngine::MakeQFont(small.Logical()));
    EXPECT_EQ(button->Font(), bold);
    // The caption is painted in the parent's font again once asked to.
    button->SetParentFont(true);
    button->SetCaption("Weiter");
    button->resize(80, 25);
    const QImage inParentFont = button->Picture();
    button->SetFont(small);  // the same font, as its own
    EXPECT_EQ(button->Picture(), inParentFont);
    button->SetFont(bold);
    EXPECT_NE(button->Picture(), inParentFont);
}

TEST(SpeedButton, CaptionTooWideEndsInDotsUnlessWrapping)
{
    ScopedTestFonts fonts;
    TExButtonGlyph glyph;
    MeasuringCanvas canvas(fonts.Engine);
    canvas.SetFont(LogicalFont{"Arial", -10});
    const TRect client{0, 0, 30, 20};
    const auto caption = [&] {
        return glyph.CalcButtonLayout(canvas, client, {}, u"Zurück  ", TButtonLayout::blGlyphTop, -1, 1, false).Caption;
    };
    EXPECT_EQ(caption(), u"Zur...");
    EXPECT_EQ(glyph.CalcButtonLayout(canvas, client, {}, u"Ende  ", TButtonLayout::blGlyphTop, -1, 1, false).Caption,
              u"Ende");  // trailing blanks cut
    glyph.WordWrap = true;
    EXPECT_EQ(caption(), u"Zurück  ");
    glyph.WordWrap = false;
    // Each line is shortened by itself, a line feed's carriage return dropped.
    const std::u16string_view lines = u"Zurücksetzen\r\nEnde\nWeitergehen";
    EXPECT_EQ(glyph.CalcButtonLayout(canvas, client, {}, lines, TButtonLayout::blGlyphTop, -1, 1, false).Caption,
              u"Zur...\nEnde\nWei...");
    // With the drop-down arrow the caption of a left glyph leaves room for it.
    EXPECT_EQ(glyph.CalcButtonLayout(canvas, client, {}, u"Zurück", TButtonLayout::blGlyphLeft, -1, 1, true).Caption,
              u"Z...");
}

TEST(SpeedButton, FlatButtonAwayFromTheMouseShowsItsGlyphGrey)
{
    ScopedTestFonts fonts;
    TExSpeedButton button;
    button.SetGlyph(Strip(1));
    button.SetFlat(true);
    const int grey = (77 * 200 + 150 * 100 + 29 * 50) >> 8;
    QImage picture = button.Picture();
    EXPECT_EQ(picture.pixel(12, 12), qRgb(grey, grey, grey));
    EXPECT_EQ(picture.pixel(0, 0), 0xFFC0C0C0u);  // no frame
    EXPECT_EQ(picture.pixel(5, 5), 0xFFC0C0C0u);  // the transparent colour stays transparent

    // Under the mouse (while the program is in the foreground): the colours and a frame.
    ScopedForegroundTask foreground(true);
    QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3));
    QApplication::sendEvent(&button, &enter);
    ASSERT_TRUE(button.MouseInControl());
    picture = button.Picture();
    EXPECT_EQ(picture.pixel(12, 12), kInk);
    EXPECT_EQ(picture.pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(picture.pixel(24, 24), 0xFF808080u);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    EXPECT_FALSE(button.MouseInControl());

    button.SetGrayedInactive(false);
    EXPECT_EQ(button.Picture().pixel(12, 12), kInk);

    // In the background the mouse does not count.
    ScopedForegroundTask background(false);
    QApplication::sendEvent(&button, &enter);
    EXPECT_FALSE(button.MouseInControl());
}

TEST(SpeedButton, ExclusiveButtonIsSunkenAndCheckered)
{
    ScopedTestFonts fonts;
    QWidget parent;
    auto* button = new TExSpeedButton(&parent);
    button->SetGroupIndex(1);
    button->SetDown(true);
    EXPECT_EQ(button->State(), TButtonState::bsExclusive);
    const QImage picture = button->Picture();
    EXPECT_EQ(picture.pixel(0, 0), 0xFF000000u);    // window frame, top-left
    EXPECT_EQ(picture.pixel(24, 24), 0xFFFFFFFFu);  // highlight, bottom-right
    EXPECT_EQ(picture.pixel(1, 1), 0xFF808080u);    // shadow inside
    EXPECT_EQ(picture.pixel(2, 2), 0xFFFFFFFFu);    // the checkered face
    EXPECT_EQ(picture.pixel(3, 2), 0xFFC0C0C0u);
}

TEST(SpeedButton, GroupsActAsRadioButtons)
{
    ScopedTestFonts fonts;
    QWidget parent;
    new QWidget(&parent);  // other children are no part of any group
    auto* first = new TExSpeedButton(&parent);
    auto* second = new TExSpeedButton(&parent);
    auto* other = new TExSpeedButton(&parent);
    auto* plain = new TExSpeedButton(&parent);
    for (TExSpeedButton* b : {first, second})
        b->SetGroupIndex(1);
    other->SetGroupIndex(2);
    other->SetDown(true);
    int clicks = 0;
    second->OnClick = [&](QWidget*) { ++clicks; };

    Click(first);
    EXPECT_TRUE(first->Down());
    Click(second);
    EXPECT_TRUE(second->Down());
    EXPECT_FALSE(first->Down());
    EXPECT_EQ(first->State(), TButtonState::bsUp);
    EXPECT_TRUE(other->Down());  // another group
    Click(second);               // without AllowAllUp the down button stays down
    EXPECT_TRUE(second->Down());
    EXPECT_EQ(second->State(), TButtonState::bsExclusive);
    EXPECT_EQ(clicks, 2);

    // AllowAllUp spreads over the group.
    first->SetAllowAllUp(true);
    EXPECT_TRUE(second->AllowAllUp());
    Click(second);
    EXPECT_FALSE(second->Down());

    // A press released outside leaves a button as it was.
    QTest::mousePress(first, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(first->State(), TButtonState::bsDown);
    QTest::mouseRelease(first, Qt::LeftButton, Qt::NoModifier, QPoint(40, 5));
    EXPECT_FALSE(first->Down());
    EXPECT_EQ(first->State(), TButtonState::bsUp);

    plain->SetDown(true);  // no group: never down
    EXPECT_FALSE(plain->Down());
}

TEST(SpeedButton, AutoRepeatClicksWhileHeld)
{
    ScopedTestFonts fonts;
    TExSpeedButton button;
    button.SetAllowTimer(true);
    button.InitPause = 40;
    button.RepeatInterval = 1;
    int clicks = 0;
    button.OnClick = [&](QWidget*) { ++clicks; };

    // A short press clicks once, on release.
    Click(&button);
    EXPECT_EQ(clicks, 1);

    QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    ASSERT_NE(button.RepeatTimer(), nullptr);
    EXPECT_EQ(button.RepeatTimer()->interval(), 40);
    EXPECT_TRUE(QTest::qWaitFor([&] { return clicks >= 4; }));
    EXPECT_EQ(button.RepeatTimer()->interval(), 1);
    QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_FALSE(button.RepeatTimer()->isActive());
    const int afterRelease = clicks;
    QTest::qWait(5);
    EXPECT_EQ(clicks, afterRelease);

    button.SetAllowTimer(false);
    EXPECT_EQ(button.RepeatTimer(), nullptr);
}

TEST(SpeedButton, DropDownMenuShowsOnPressAndNeverClicks)
{
    ScopedTestFonts fonts;
    RecordedPopups popups;
    QWidget parent;
    parent.resize(100, 100);
    auto* button = new TExSpeedButton(&parent);
    button->setGeometry(10, 10, 30, 25);
    QMenu menu;
    menu.addAction(QStringLiteral("Öffnen"));
    int clicks = 0;
    button->OnClick = [&](QWidget*) { ++clicks; };
    const QImage without = button->Picture();
    button->SetDropDownMenu(&menu);
    EXPECT_NE(button->Picture(), without);  // the arrow mark

    // While the menu is open, a press on the button closes it without being replayed.
    popups.during = [&](QMenu& shown) {
        const QPoint on = button->mapToGlobal(QPoint(5, 5));
        QMouseEvent press(QEvent::MouseButtonPress, shown.mapFromGlobal(on), on, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&shown, &press);
    };
    QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    ASSERT_EQ(popups.menus.size(), 1u);
    EXPECT_EQ(popups.menus[0], &menu);
    EXPECT_EQ(popups.points[0], button->mapToGlobal(QPoint(-1, 25)));
    EXPECT_TRUE(menu.testAttribute(Qt::WA_NoMouseReplay));
    QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(button->State(), TButtonState::bsUp);

    // Aligned to its right edge or its middle, the menu stands left of the point by its width or half of it.
    const int menuWidth = menu.sizeHint().width();
    button->MenuAlignment = TPopupAlignment::paCenter;
    QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    ASSERT_EQ(popups.points.size(), 2u);
    EXPECT_EQ(popups.points[1], button->mapToGlobal(QPoint(15, 25)) - QPoint(menuWidth / 2, 0));
    button->MenuAlignment = TPopupAlignment::paRight;
    QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    ASSERT_EQ(popups.points.size(), 3u);
    EXPECT_EQ(popups.points[2], button->mapToGlobal(QPoint(31, 25)) - QPoint(menuWidth, 0));
    button->MenuAlignment = TPopupAlignment::paLeft;

    EXPECT_EQ(DropDownMenuPoint(TExDropDownMenuPos::dmpRight, TPopupAlignment::paLeft, 30, 25), (TPoint{30, -1}));
    EXPECT_EQ(DropDownMenuPoint(TExDropDownMenuPos::dmpBottom, TPopupAlignment::paRight, 30, 25), (TPoint{31, 25}));

    // The menu gone, the button forgets it.
    auto* doomed = new QMenu;
    button->SetDropDownMenu(doomed);
    delete doomed;
    EXPECT_EQ(button->DropDownMenu(), nullptr);
    EXPECT_EQ(button->Picture(), without);
}

// A double click while the drop-down menu is open: on the menu over the button it is not
// replayed; reaching the button itself it opens no second menu and clicks nothing. After the
// menu, a double click opens it again, and a grouped button that is down tells OnDblClick.
TEST(SpeedButton, DoubleClickWhileTheMenuIsOpenOpensNoSecondMenu)
{
    ScopedTestFonts fonts;
    RecordedPopups popups;
    QWidget parent;
    parent.resize(100, 100);
    auto* button = new TExSpeedButton(&parent);
    button->setGeometry(10, 10, 30, 25);
    QMenu menu;
    menu.addAction(QStringLiteral("Öffnen"));
    button->SetDropDownMenu(&menu);
    int clicks = 0;
    int doubleClicks = 0;
    button->OnClick = [&](QWidget*) { ++clicks; };
    button->OnDblClick = [&](QWidget*) { ++doubleClicks; };
    popups.during = [&](QMenu& shown) {
        const QPoint on = button->mapToGlobal(QPoint(5, 5));
        QMouseEvent twice(QEvent::MouseButtonDblClick, shown.mapFromGlobal(on), on, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        shown.setAttribute(Qt::WA_NoMouseReplay, false);
        QApplication::sendEvent(&shown, &twice);
        EXPECT_TRUE(shown.testAttribute(Qt::WA_NoMouseReplay));
        QMouseEvent onButton(QEvent::MouseButtonDblClick, QPointF(5, 5), on, Qt::LeftButton, Qt::LeftButton,
                             Qt::NoModifier);
        QApplication::sendEvent(button, &onButton);
    };
    QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(popups.menus.size(), 1u);
    QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(doubleClicks, 0);
    EXPECT_EQ(button->State(), TButtonState::bsUp);

    // Away from the button, a double click on the menu is replayed as usual.
    popups.during = [&](QMenu& shown) {
        const QPoint away = button->mapToGlobal(QPoint(60, 60));
        QMouseEvent twice(QEvent::MouseButtonDblClick, shown.mapFromGlobal(away), away, Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        shown.setAttribute(Qt::WA_NoMouseReplay, false);
        QApplication::sendEvent(&shown, &twice);
        EXPECT_FALSE(shown.testAttribute(Qt::WA_NoMouseReplay));
    };
    QTest::mouseDClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_GE(popups.menus.size(), 2u);
    EXPECT_EQ(clicks, 0);

    // Without a menu, a grouped button that the first click put down tells its double click.
    button->SetDropDownMenu(nullptr);
    button->SetGroupIndex(2);
    button->SetAllowAllUp(true);
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    ASSERT_TRUE(button->Down());
    QTest::mouseDClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(doubleClicks, 1);
}

TEST(SpeedButton, ModalResultEndsTheDialogAndAcceleratorsClick)
{
    ScopedTestFonts fonts;
    ScriptedModalRunner runner;
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Seite 1"));
    auto* next = new TExSpeedButton(&dialog);
    next->setObjectName(QStringLiteral("BtnNext"));
    next->SetCaption("&Weiter");
    next->ModalResult = 1;
    int clicks = 0;
    next->OnClick = [&](QWidget*) { ++clicks; };
    runner.Expect([](QWidget& window) { Click(window.findChild<TExSpeedButton*>(QStringLiteral("BtnNext"))); });
    EXPECT_EQ(Modals().Run(dialog), QDialog::Accepted);
    EXPECT_EQ(clicks, 1);

    // Alt+W clicks an enabled button; disabled, the key does nothing.
    runner.Expect([&](QWidget& window) {
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_W, Qt::AltModifier);
    });
    EXPECT_EQ(Modals().Run(dialog), QDialog::Accepted);
    EXPECT_EQ(clicks, 2);
    next->setEnabled(false);
    runner.Expect([&](QWidget& window) {
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_W, Qt::AltModifier);
    });
    EXPECT_EQ(Modals().Run(dialog), QDialog::Rejected);
    EXPECT_EQ(clicks, 2);

    // A new caption gives its old letter up: Alt+W reaches the button that has it now, each time.
    QWidget window;
    auto* back = new TExSpeedButton(&window);
    back->SetCaption("&Weiter");
    back->SetCaption("&Zurück");
    auto* forward = new TExSpeedButton(&window);
    forward->move(0, 30);
    forward->SetCaption("&Weiter");
    int backClicks = 0, forwardClicks = 0;
    back->OnClick = [&](QWidget*) { ++backClicks; };
    forward->OnClick = [&](QWidget*) { ++forwardClicks; };
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_W, Qt::AltModifier);
    QTest::keyClick(&window, Qt::Key_W, Qt::AltModifier);
    QTest::keyClick(&window, Qt::Key_Z, Qt::AltModifier);
    EXPECT_EQ(forwardClicks, 2);
    EXPECT_EQ(backClicks, 1);
}

TEST(SpeedButton, LinkedActionLendsItsStateAndRunsOnClick)
{
    ScopedTestFonts fonts;
    QWidget parent;
    auto* button = new TExSpeedButton(&parent);
    button->SetGroupIndex(3);
    ImageList images(16, 16);
    images.AddMasked(Strip(2), RGBRef(255, 0, 255));
    Action action;
    action.SetCaption("&Drucken");
    action.SetHint("Drucken|Druckt die Ergebnisse");
    action.SetImages(&images);
    action.SetImageIndex(1);
    int runs = 0;
    action.OnExecute = [&](Action&) { ++runs; };
    button->SetAction(&action);

    EXPECT_EQ(button->Caption(), "&Drucken");
    EXPECT_EQ(button->toolTip(), QStringLiteral("Drucken"));
    ASSERT_EQ(button->Glyph().size(), QSize(16, 16));  // taken from the image list on magenta
    EXPECT_EQ(button->Glyph().pixel(8, 8), kInk);
    EXPECT_EQ(button->Glyph().pixel(0, 15), kMagenta);

    action.SetChecked(true);
    EXPECT_TRUE(button->Down());
    action.SetChecked(false);
    EXPECT_FALSE(button->Down());
    action.SetEnabled(false);
    EXPECT_FALSE(button->isEnabled());
    action.SetEnabled(true);
    Click(button);
    EXPECT_EQ(runs, 1);
    action.SetVisible(false);
    EXPECT_TRUE(button->isHidden());

    // A button's own click handler comes before the action.
    int own = 0;
    button->OnClick = [&](QWidget*) { ++own; };
    button->Click();
    EXPECT_EQ(own, 1);
    EXPECT_EQ(runs, 1);
}

// A change of the linked action that leaves its checked state alone (a new caption while the
// user holds the button) keeps the button's pressed look, grouped or not.
TEST(SpeedButton, ActionChangesKeepAPressedButtonPressed)
{
    ScopedTestFonts fonts;
    QWidget parent;
    for (const int group : {0, 3}) {
        auto* button = new TExSpeedButton(&parent);
        button->SetGroupIndex(group);
        Action action;
        action.SetCaption("&Drucken");
        button->SetAction(&action);
        QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        ASSERT_EQ(button->State(), TButtonState::bsDown) << group;
        action.SetCaption("&Vorschau");
        EXPECT_EQ(button->Caption(), "&Vorschau");
        EXPECT_EQ(button->State(), TButtonState::bsDown) << group;
        EXPECT_FALSE(button->Down()) << group;
        QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, QPoint(40, 5));
        button->SetAction(nullptr);
        delete button;
    }
}

TEST(SpeedButton, TransparentButtonShowsWhatLiesUnderIt)
{
    ScopedTestFonts fonts;
    QWidget parent;
    parent.resize(60, 40);
    parent.setAutoFillBackground(true);
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, Qt::green);
    parent.setPalette(palette);
    auto* button = new TExSpeedButton(&parent);
    button->setGeometry(10, 5, 30, 30);
    button->SetFlat(true);
    button->SetTransparent(true);
    parent.show();
    const QImage shot = parent.grab().toImage();
    EXPECT_EQ(shot.pixel(25, 20), 0xFF00FF00u);  // the parent through the button
    EXPECT_EQ(button->Picture().pixel(15, 15), 0xFF00FF00u);
    button->SetTransparent(false);
    EXPECT_EQ(parent.grab().toImage().pixel(25, 20), 0xFFC0C0C0u);
}
