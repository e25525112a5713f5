// Pictures of bars compared with recorded ones: a toolbar's buttons with and without drop-down
// arrows, split buttons and the chevron, docked across and upright; a floating bar's caption area
// active, inactive and with its close button held; a menu with checks, a radio item, a shortcut, a
// submenu arrow and a disabled item, also at a scale factor of 2. The recorded pictures are in tests/data/toolbar; a picture
// that differs is kept with its diff in the build's artifacts.
#include "tests/support/ImageCompare.h"
#include "tests/toolbar/MenuFixture.h"
#include "toolbar/TBarFloatingWindow.h"

#include "platform/ImageList.h"

#include <QPainter>
#include <QPixmap>

namespace velmoran::testing {
namespace {

// Two 16 x 16 pictures: a red square crossed by a blue diagonal, a green disc on white.
std::unique_ptr<ImageList> TwoPictures()
{
    auto list = std::make_unique<ImageList>(16, 16);
    QImage square(16, 16, QImage::Format_RGB32);
    square.fill(qRgb(200, 0, 0));
    for (int i = 0; i < 16; ++i)
        square.setPixel(i, i, qRgb(0, 0, 220));
    list->Add(square);
    QImage disc(16, 16, QImage::Format_RGB32);
    disc.fill(Qt::white);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if ((x - 8) * (x - 8) + (y - 8) * (y - 8) < 40)
                disc.setPixel(x, y, qRgb(0, 160, 0));
    list->Add(disc);
    return list;
}

// Anti-aliased caption text may move by a shade; the glyphs and edges may not.
constexpr int kTolerance = 40;

::testing::AssertionResult Matches(QWidget& widget, const std::string& name)
{
    QApplication::processEvents();
    const QImage image = widget.grab().toImage();
    return MatchesRecordedImage(image, std::string(VELMORAN_TEST_DATA) + "/toolbar/" + name + ".png",
                                std::string(VELMORAN_ARTIFACTS) + "/toolbar", kTolerance, 0);
}

class BarPicture : public MenuFixture {
protected:
    // A bar of a plain button, a button with a drop-down arrow, a split button, a disabled
    // drop-down button and a checked button, then two more that the chevron takes when short.
    TBarToolbar* ButtonBar(TBarDock* where)
    {
        auto* toolbar = new TBarToolbar(where);
        toolbar->setObjectName("Werkzeuge");
        Item(toolbar->Items(), "Ab");
        TBarSubmenuItem* arrow = Submenu(toolbar->Items(), "Cd");
        arrow->SetOptions(tboDropdownArrow);
        Item(*arrow, "Eins");
        TBarSubmenuItem* split = Submenu(toolbar->Items(), "Ef");
        split->SetDropdownCombo(true);
        Item(*split, "Zwei");
        TBarSubmenuItem* off = Submenu(toolbar->Items(), "Gh");
        off->SetOptions(tboDropdownArrow);
        off->SetEnabled(false);
        Item(*off, "Drei");
        Item(toolbar->Items(), "Ij")->SetChecked(true);
        Item(toolbar->Items(), "Kl");
        Item(toolbar->Items(), "Mn");
        return toolbar;
    }
};

TEST_F(BarPicture, ButtonsAcrossAndUprightWithArrowsAndTheChevron)
{
    TBarToolbar* across = ButtonBar(dock);
    across->SetDockRow(1);
    Settle();
    EXPECT_TRUE(Matches(*across, "buttons-across"));

    auto* left = new TBarDock(form.get(), TBarDockPosition::dpLeft);
    TBarToolbar* upright = ButtonBar(left);
    Settle();
    EXPECT_TRUE(Matches(*upright, "buttons-upright"));

    // Short of room the last buttons go behind the chevron, drawn across and upright.
    form->resize(150, 170);
    Settle();
    ASSERT_TRUE(across->View().FindViewer(&across->ChevronItem())->Show);
    ASSERT_TRUE(upright->View().FindViewer(&upright->ChevronItem())->Show);
    EXPECT_TRUE(Matches(*across, "chevron-across"));
    EXPECT_TRUE(Matches(*upright, "chevron-upright"));
    // A disabled chevron is drawn embossed.
    across->ChevronItem().SetEnabled(false);
    upright->ChevronItem().SetEnabled(false);
    EXPECT_TRUE(Matches(*across, "chevron-across-disabled"));
    EXPECT_TRUE(Matches(*upright, "chevron-upright-disabled"));
}

TEST_F(BarPicture, AFloatingBarsCaptionActiveInactiveAndWithItsCloseButtonHeld)
{
    QApplicationStateChangeEvent active(Qt::ApplicationActive);
    QCoreApplication::sendEvent(qApp, &active);
    TBarToolbar* toolbar = ButtonBar(dock);
    toolbar->SetDockRow(1);
    toolbar->SetFloatingPosition({100, 100});
    toolbar->SetFloating(true);
    TBarFloatingWindowParent* floating = toolbar->FloatParent();
    ASSERT_NE(floating, nullptr);
    floating->SetInactiveCaption(false);
    EXPECT_TRUE(Matches(*floating, "floating-active"));
    floating->SetInactiveCaption(true);
    EXPECT_TRUE(Matches(*floating, "floating-inactive"));
    floating->SetInactiveCaption(false);
    // Pressed on the close button it shows sunken; moved off and let go it closes nothing.
    const QPoint close = floating->mapToGlobal(floating->CloseButtonRect().center());
    Mouse(QEvent::MouseButtonPress, floating, close);
    EXPECT_TRUE(Matches(*floating, "floating-close-held"));
    Mouse(QEvent::MouseMove, floating, close + QPoint(0, 30));
    Mouse(QEvent::MouseButtonRelease, floating, close + QPoint(0, 30));
    EXPECT_TRUE(toolbar->isVisible());
    EXPECT_TRUE(Matches(*floating, "floating-active"));
    toolbar->SetCloseButton(false);
    EXPECT_TRUE(Matches(*floating, "floating-no-close"));
}

TEST_F(BarPicture, AMenuWithChecksARadioItemAShortcutASubmenuAndADisabledItem)
{
    open->SetChecked(true);
    TBarItem* radio = Item(*file, "&Radio");
    radio->SetRadioItem(true);
    radio->SetChecked(true);
    TBarItem* off = Item(*file, "&Aus");
    off->SetEnabled(false);
    TBarSubmenuItem* split = Submenu(*file, "&Geteilt");
    split->SetDropdownCombo(true);
    Item(*split, "&Innen");
    AltKey('d');
    TBarView* menu = Child(BarView());
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(Matches(*menu->Window(), "menu"));
    // Selected: the split item's part edges and the selection bar.
    menu->SetSelected(menu->FindViewer(split));
    EXPECT_TRUE(Matches(*menu->Window(), "menu-split-selected"));
    menu->SetSelected(menu->FindViewer(off));
    EXPECT_TRUE(Matches(*menu->Window(), "menu-disabled-selected"));
}

// A menu at a scale factor of 2, as the program draws it with QT_SCALE_FACTOR=2: the radio item's
// dot and the check mark in device pixels. Only the test "toolbar.MenuAtScaleFactorTwo" runs it,
// with that factor; elsewhere it has nothing to show.
TEST_F(BarPicture, AMenuWithARadioItemAndACheckAtScaleFactorTwo)
{
    if (qgetenv("QT_SCALE_FACTOR") != "2")
        GTEST_SKIP() << "runs as toolbar.MenuAtScaleFactorTwo";
    ASSERT_EQ(form->devicePixelRatio(), 2.0);
    open->SetChecked(true);
    TBarItem* radio = Item(*file, "&Radio");
    radio->SetRadioItem(true);
    radio->SetChecked(true);
    AltKey('d');
    TBarView* menu = Child(BarView());
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(Matches(*menu->Window(), "menu-scale-2"));
}

// Pictures on buttons beside, above and instead of their captions, checked and disabled; the close
// button of a docked bar; the chevron held open; and in a menu a picture column and the default
// item in bold.
TEST_F(BarPicture, PicturesTheDefaultItemTheDockedCloseButtonAndTheOpenChevron)
{
    const std::unique_ptr<ImageList> pictures = TwoPictures();
    auto* toolbar = new TBarToolbar(dock);
    toolbar->setObjectName("Bilder");
    toolbar->SetDockRow(1);
    toolbar->SetImages(pictures.get());
    toolbar->SetCloseButtonWhenDocked(true);
    Item(toolbar->Items(), "Aa")->SetImageIndex(0);
    TBarItem* beside = Item(toolbar->Items(), "Bb");
    beside->SetImageIndex(1);
    beside->SetDisplayMode(TBarItemDisplayMode::nbdmImageAndText);
    TBarItem* above = Item(toolbar->Items(), "Cc");
    above->SetImageIndex(0);
    above->SetDisplayMode(TBarItemDisplayMode::nbdmImageAndText);
    above->SetOptions(tboImageAboveCaption);
    TBarItem* checked = Item(toolbar->Items(), "Dd");
    checked->SetImageIndex(1);
    checked->SetChecked(true);
    TBarItem* off = Item(toolbar->Items(), "Ee");
    off->SetImageIndex(0);
    off->SetEnabled(false);
    Settle();
    EXPECT_TRUE(Matches(*toolbar, "pictures-across"));

    // The docked close button under the mouse and held; let go beside it, it closes nothing.
    const QPoint close(5, 4);
    Mouse(QEvent::MouseMove, toolbar, toolbar->mapToGlobal(close));
    EXPECT_TRUE(Matches(*toolbar, "docked-close-hover"));
    Mouse(QEvent::MouseButtonPress, toolbar, toolbar->mapToGlobal(close));
    EXPECT_TRUE(Matches(*toolbar, "docked-close-held"));
    Mouse(QEvent::MouseMove, toolbar, toolbar->mapToGlobal(close + QPoint(40, 0)));
    Mouse(QEvent::MouseButtonRelease, toolbar, toolbar->mapToGlobal(close + QPoint(40, 0)));
    EXPECT_TRUE(toolbar->isVisible());
    // Upright, the close button stands at the right of the handle across the top.
    auto* left = new TBarDock(form.get(), TBarDockPosition::dpLeft);
    auto* upright = new TBarToolbar(left);
    upright->SetCloseButtonWhenDocked(true);
    Item(upright->Items(), "Xy");
    Settle();
    EXPECT_TRUE(Matches(*upright, "docked-close-upright"));

    // The chevron pressed open.
    form->resize(150, 300);
    Settle();
    TBarItemViewer* chevron = toolbar->View().FindViewer(&toolbar->ChevronItem());
    ASSERT_TRUE(chevron->Show);
    ClickAt(GlobalCentre(toolbar->View(), &toolbar->ChevronItem()));
    ASSERT_NE(Child(toolbar->View()), nullptr);
    EXPECT_TRUE(Matches(*toolbar, "chevron-open"));
    Key(Qt::Key_Escape);
    Key(Qt::Key_Escape);
    form->resize(600, 300);
    Settle();

    neu->SetImages(pictures.get());
    neu->SetImageIndex(1);
    save->SetOptions(tboDefault);
    AltKey('d');
    TBarView* menu = Child(BarView());
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(Matches(*menu->Window(), "menu-pictures"));
}

}  // namespace
}  // namespace velmoran::testing
