// The gallery's pages, taken as pictures into the build's artifacts for a person to look at, and
// checked where a fault would show first: on "captions" the message anchor's blue underline and
// the dot of the checked classic radio button; on "buttons", "edits" and "dates" the looks below;
// on "pictures" an icon and both kinds of metafile.
#include "tests/support/TestApp.h"

#include "controls/ComboEdit.h"
#include "controls/DateEdit.h"
#include "controls/EnhCombo.h"
#include "controls/EnhEditBtn.h"
#include "controls/HtmlLabel.h"
#include "controls/HtmlRadioButton.h"
#include "controls/SpeedButton.h"
#include "controls/TextListBox.h"
#include "tests/controls/DateFixture.h"
#include "tools/gallery/GalleryPages.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QScrollBar>

using namespace velmoran;

TEST(Gallery, CaptionsPageShowsTheAnchorUnderlineAndTheCheckedDot)
{
    velmoran::testing::App();
    std::unique_ptr<QWidget> page = gallery::MakePage("captions");
    ASSERT_TRUE(page);
    const QImage shot = gallery::TakeShot(*page);
    QDir().mkpath(QStringLiteral(VELMORAN_ARTIFACTS "/controls"));
    EXPECT_TRUE(shot.save(QStringLiteral(VELMORAN_ARTIFACTS "/controls/captions.png")));

    // A run of blue pixels under the anchor's text.
    auto* message = page->findChild<THtmlLabel*>(QStringLiteral("message"));
    ASSERT_NE(message, nullptr);
    const QRect area = message->geometry();
    int longestRun = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        int run = 0;
        for (int x = area.left(); x <= area.right(); ++x) {
            run = shot.pixel(x, y) == 0xFF0000FFu ? run + 1 : 0;
            longestRun = std::max(longestRun, run);
        }
    }
    EXPECT_GE(longestRun, 30);

    // The dot in the middle of the checked classic button, the well around it white.
    auto* classic = page->findChild<THtmlRadioButton*>(QStringLiteral("classicChecked"));
    ASSERT_NE(classic, nullptr);
    ASSERT_TRUE(classic->Checked());
    const TRect box = classic->ButtonRect();
    const QPoint corner = classic->mapTo(page.get(), QPoint(box.Left, box.Top));
    EXPECT_EQ(shot.pixel(corner + QPoint(5, 5)), 0xFF000000u);
    EXPECT_EQ(shot.pixel(corner + QPoint(6, 6)), 0xFF000000u);
    EXPECT_EQ(shot.pixel(corner + QPoint(3, 3)), 0xFFFFFFFFu);
}

// The "buttons" page: the pressed button's sunken edge (window frame outside at the top-left,
// highlight at the bottom-right, shadow inside), the disabled button's engraved glyph (shadow
// ink with a highlight one pixel right and down), the combo edit's popup drawn into the shot and
// the list scrolled to its right end.
TEST(SpeedButton, GalleryButtonsPageShowsTheSunkenEdgeAndTheEngravedGlyph)
{
    velmoran::testing::App();
    std::unique_ptr<QWidget> page = gallery::MakePage("buttons");
    ASSERT_TRUE(page);
    const QImage shot = gallery::TakeShot(*page);
    QDir().mkpath(QStringLiteral(VELMORAN_ARTIFACTS "/controls"));
    EXPECT_TRUE(shot.save(QStringLiteral(VELMORAN_ARTIFACTS "/controls/buttons.png")));
    constexpr QRgb kFrame = 0xFF000000;
    constexpr QRgb kHighlight = 0xFFFFFFFF;
    constexpr QRgb kShadow = 0xFF808080;

    auto* down = page->findChild<TExSpeedButton*>(QStringLiteral("down"));
    ASSERT_NE(down, nullptr);
    EXPECT_EQ(down->State(), TButtonState::bsDown);
    const QRect d = down->geometry();
    EXPECT_EQ(shot.pixel(d.topLeft()), kFrame);
    EXPECT_EQ(shot.pixel(d.left() + 10, d.top()), kFrame);
    EXPECT_EQ(shot.pixel(d.bottomRight()), kHighlight);
    EXPECT_EQ(shot.pixel(d.left() + 10, d.bottom()), kHighlight);
    EXPECT_EQ(shot.pixel(d.left() + 1, d.top() + 10), kShadow);

    auto* disabled = page->findChild<TExSpeedButton*>(QStringLiteral("disabled"));
    ASSERT_NE(disabled, nullptr);
    const QRect g = disabled->geometry().adjusted(2, 2, -2, -disabled->height() / 2);  // the glyph's half
    int shadows = 0;
    int engraved = 0;
    for (int y = g.top(); y < g.bottom(); ++y)
        for (int x = g.left(); x < g.right(); ++x) {
            if (shot.pixel(x, y) != kShadow)
                continue;
            ++shadows;
            if (shot.pixel(x + 1, y + 1) == kHighlight)
                ++engraved;
        }
    EXPECT_GE(shadows, 40);  // the arrow's ink
    EXPECT_GE(engraved, 5);  // its lower right edge

    // The popup under the combo edit with its one-pixel border, and the list at its right end.
    auto* combo = page->findChild<TCustomComboEdit*>(QStringLiteral("combo"));
    ASSERT_NE(combo, nullptr);
    ASSERT_TRUE(combo->PopupVisible());
    const QPoint popupCorner = page->mapFromGlobal(combo->Popup()->mapToGlobal(QPoint()));
    EXPECT_EQ(popupCorner, combo->geometry().bottomLeft() + QPoint(0, 1));
    EXPECT_EQ(shot.pixel(popupCorner), kFrame);
    EXPECT_EQ(shot.pixel(popupCorner + QPoint(combo->Popup()->width() - 1, 30)), kFrame);
    auto* recent = page->findChild<TTextListBox*>(QStringLiteral("recent"));
    ASSERT_NE(recent, nullptr);
    EXPECT_GT(recent->horizontalScrollBar()->value(), 0);
    EXPECT_EQ(recent->horizontalScrollBar()->value(), recent->horizontalScrollBar()->maximum());
    combo->PopupCloseUp(combo->Popup(), false);
}

namespace {

// Pixels of one colour inside a widget's rectangle on the shot.
int CountColour(const QImage& shot, const QWidget* page, const QWidget* widget, QRgb colour)
{
    const QRect area(widget->mapTo(page, QPoint(0, 0)), widget->size());
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += (shot.pixel(x, y) & 0xFFFFFF) == colour ? 1 : 0;
    return count;
}

}  // namespace

TEST(Gallery, EditsPageShowsFieldsLooksAndFlatCombos)
{
    velmoran::testing::App();
    std::unique_ptr<QWidget> page = gallery::MakePage("edits");
    ASSERT_TRUE(page);
    const QImage shot = gallery::TakeShot(*page);
    QDir().mkpath(QStringLiteral(VELMORAN_ARTIFACTS "/controls"));
    EXPECT_TRUE(shot.save(QStringLiteral(VELMORAN_ARTIFACTS "/controls/edits.png")));
    QWidget* p = page.get();
    const auto find = [&](const char* name) { return page->findChild<QWidget*>(QString::fromLatin1(name)); };

    // The folder fields with their labels above and "..." buttons.
    auto* data = dynamic_cast<TEnhEditBtn*>(find("dataPath"));
    auto* templates = dynamic_cast<TEnhEditBtn*>(find("templatePath"));
    ASSERT_TRUE(data && templates);
    EXPECT_EQ(data->LabelCaption(), "Berechnungsdaten");
    EXPECT_EQ(templates->LabelCaption(), "Bildschirm- und Druckvorlagen");
    EXPECT_LT(templates->Label()->y(), templates->y());
    EXPECT_EQ(data->ButtonCaption(), "...");
    EXPECT_TRUE(data->EditButton()->isVisible());

    // The flat line, the grey EmptyText and the error colours.
    EXPECT_GE(CountColour(shot, p, find("flatLine"), 0x000000), 150);
    // EmptyText: grey text inside the white field, nothing darker than its grey.
    const QWidget* empty = find("emptyText");
    const QPoint emptyAt = empty->mapTo(p, QPoint(0, 0));
    int grey = 0, darker = 0;
    for (int y = 3; y < empty->height() - 3; ++y)
        for (int x = 3; x < empty->width() - 3; ++x) {
            const QRgb c = shot.pixel(emptyAt + QPoint(x, y));
            grey += qRed(c) == qGreen(c) && qGreen(c) == qBlue(c) && qRed(c) <= 0xA0 ? 1 : 0;
            darker += qRed(c) < 0x80 ? 1 : 0;
        }
    EXPECT_GE(grey, 20);
    EXPECT_EQ(darker, 0);
    EXPECT_GE(CountColour(shot, p, find("error"), 0xFF0000), 2000);

    // The drop-down list shows its arrow, the hot combo the etched edge, the simple one no button.
    auto* screen = dynamic_cast<TEnhComboBox*>(find("screenTemplates"));
    auto* hot = dynamic_cast<TEnhComboBox*>(find("hotCombo"));
    auto* modules = dynamic_cast<TEnhComboBox*>(find("modules"));
    ASSERT_TRUE(screen && hot && modules);
    EXPECT_EQ(screen->Text(), "Standard.vst");
    EXPECT_EQ(modules->Text(), "Bemessung nach HSG");
    EXPECT_EQ(screen->ButtonWidth(), 18);
    EXPECT_TRUE(hot->Hot());
    const QPoint screenAt = screen->mapTo(p, QPoint(0, 0));
    const QPoint hotAt = hot->mapTo(p, QPoint(0, 0));
    const QPoint modulesAt = modules->mapTo(p, QPoint(0, 0));
    int arrow = 0;
    for (int y = 0; y < screen->height(); ++y)
        for (int x = screen->width() - 18; x < screen->width(); ++x)
            arrow += (shot.pixel(screenAt + QPoint(x, y)) & 0xFFFFFF) == 0 ? 1 : 0;
    EXPECT_GE(arrow, 4);
    EXPECT_EQ(shot.pixel(hotAt + QPoint(hot->width() - 18, 2)) & 0xFFFFFF, 0x808080u);
    EXPECT_EQ(shot.pixel(hotAt + QPoint(hot->width() - 18, hot->height() - 3)) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(shot.pixel(modulesAt + QPoint(modules->width() - 9, modules->height() / 2)) & 0xFFFFFF, 0xFFFFFFu);
}

// The date field holds today with its calendar dropped down: the Sunday column's numbers in red,
// the 17th selected and in the sunken frame of today (shadow top-left, highlight bottom-right).
TEST_F(DateEdit, GalleryDatesPageShowsRedSundaysAndTodaysFrame)
{
    velmoran::testing::App();
    std::unique_ptr<QWidget> page = gallery::MakePage("dates");
    ASSERT_TRUE(page);
    const QImage shot = gallery::TakeShot(*page);
    QDir().mkpath(QStringLiteral(VELMORAN_ARTIFACTS "/controls"));
    EXPECT_TRUE(shot.save(QStringLiteral(VELMORAN_ARTIFACTS "/controls/dates.png")));

    auto* edit = page->findChild<TDateEdit*>(QStringLiteral("date"));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->Text(), "17.03.2026");
    ASSERT_TRUE(edit->PopupVisible());
    auto* popup = dynamic_cast<TPopupCalendar*>(edit->Popup());
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->Title()->text(), "März, 2026");
    TLocCalendar* calendar = popup->Calendar();
    EXPECT_EQ(calendar->CellText(0, 0), "Mo");
    EXPECT_EQ(calendar->CellText(6, 1), "1");
    const QPoint origin = page->mapFromGlobal(calendar->viewport()->mapToGlobal(QPoint()));
    auto onPage = [&](const TRect& r) { return QRect(origin.x() + r.Left, origin.y() + r.Top, r.Width(), r.Height()); };

    auto redPixels = [&](const QRect& r) {
        int red = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QColor c = shot.pixelColor(x, y);
                if (c.red() > 200 && c.green() < 80 && c.blue() < 80)
                    ++red;
            }
        return red;
    };
    // Sundays (header and the 1st, 8th, 15th) red; Saturday's 7th not.
    EXPECT_GT(redPixels(onPage(calendar->CellRect(6, 0))), 5);
    EXPECT_GT(redPixels(onPage(calendar->CellRect(6, 1))), 5);
    EXPECT_GT(redPixels(onPage(calendar->CellRect(6, 3))), 5);
    EXPECT_EQ(redPixels(onPage(calendar->CellRect(5, 2))), 0);

    const QRect today = onPage(calendar->CellRect(1, 4));
    EXPECT_EQ(calendar->CellText(1, 4), "17");
    EXPECT_EQ((TGridCoord{calendar->Col(), calendar->Row()}), (TGridCoord{1, 4}));
    constexpr QRgb kShadow = 0xFF808080;
    constexpr QRgb kHighlight = 0xFFFFFFFF;
    EXPECT_EQ(shot.pixel(today.left(), today.top() + 3), kShadow);
    EXPECT_EQ(shot.pixel(today.left() + 3, today.top()), kShadow);
    EXPECT_EQ(shot.pixel(today.right(), today.bottom() - 3), kHighlight);
    EXPECT_EQ(shot.pixel(today.left() + 3, today.bottom()), kHighlight);
    // Inside the frame the selection's fill.
    EXPECT_NE(shot.pixel(today.left() + 2, today.top() + 2), shot.pixel(origin + QPoint(1, calendar->CellRect(0, 1).Top + 1)));

    // The dialog drawn in beside it, with its title.
    auto* dialog = page->findChild<QLabel*>(QStringLiteral("dialog"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->pixmap().size(), QSize(224, 173));
    edit->PopupCloseUp(edit->Popup(), false);
}

// The "pictures" page: the icon's red disc with the grey page showing round it, the old
// metafile's blue rectangle and the enhanced one's green rectangle, each at its own size.
TEST(Gallery, PicturesPageShowsAnIconAndBothKindsOfMetafile)
{
    velmoran::testing::App();
    std::unique_ptr<QWidget> page = gallery::MakePage("pictures");
    ASSERT_TRUE(page);
    const QImage shot = gallery::TakeShot(*page);
    QDir().mkpath(QStringLiteral(VELMORAN_ARTIFACTS "/controls"));
    EXPECT_TRUE(shot.save(QStringLiteral(VELMORAN_ARTIFACTS "/controls/pictures.png")));
    // A point of a picture, counted from the top-left corner of its label's picture.
    const auto at = [&](const char* label, int x, int y) {
        auto* found = page->findChild<THtmlLabel*>(QString::fromLatin1(label));
        return found ? shot.pixel(found->pos() + QPoint(x, y)) : 0u;
    };
    EXPECT_EQ(at("ico", 16, 16), qRgb(255, 0, 0));
    EXPECT_EQ(at("ico", 1, 1), qRgb(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(at("wmf", 30, 40), qRgb(0, 0, 255));
    EXPECT_EQ(at("emf", 30, 40), qRgb(0, 255, 0));
    EXPECT_EQ(at("emf", 167, 40), qRgb(255, 0, 0));
    EXPECT_EQ(at("emfGross", 45, 60), qRgb(0, 255, 0));
}
