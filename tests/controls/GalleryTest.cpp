// The gallery's pages, taken as pictures into the build's artifacts for a person to look at, and
// checked where a fault would show first: on "captions" the message anchor's blue underline and
// the dot of the checked classic radio button; on "edits" the folder fields, the edits' looks and
// the flat combos' buttons.
#include "tests/support/TestApp.h"

#include "controls/EnhCombo.h"
#include "controls/EnhEditBtn.h"
#include "controls/HtmlLabel.h"
#include "controls/HtmlRadioButton.h"
#include "tools/gallery/GalleryPages.h"

#include <gtest/gtest.h>

#include <QDir>

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
