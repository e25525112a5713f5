// The drawing utilities: text shortened with "...", pictures with a transparent colour, the
// engraved look pixel by pixel, the parent's image under a transparent control, and the small
// services (foreground seam, posted-event removal, "not implemented", memory blocks, cursors).
#include "controls/DrawUtils.h"
#include "platform/Cursors.h"
#include "platform/QtCanvas.h"
#include "platform/SystemColors.h"
#include "platform/TestFont.h"
#include "platform/core/Exceptions.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TestApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QWidget>

#include <string>
#include <vector>

using namespace velmoran;

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kMagenta = 0xFFFF00FF;
constexpr QRgb kFace = 0xFFC0C0C0;
constexpr QRgb kShadow = 0xFF808080;
constexpr QRgb kHighlight = 0xFFFFFFFF;

// A picture from rows of letters: m magenta, k black, r red, w white.
QImage Picture(const std::vector<std::string>& rows)
{
    QImage image(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const char c = rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
            image.setPixel(x, y, c == 'm' ? kMagenta : c == 'k' ? 0xFF000000 : c == 'r' ? kRed : kWhite);
        }
    return image;
}

// The picture's pixels as letters: F face, S shadow, H highlight, W white, R red, ? other.
std::vector<std::string> Letters(const QImage& image)
{
    std::vector<std::string> rows;
    for (int y = 0; y < image.height(); ++y) {
        std::string row;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y) | 0xFF000000;
            row += p == kFace ? 'F' : p == kShadow ? 'S' : p == kWhite ? 'W' : p == kRed ? 'R' : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

QImage White(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kWhite);
    return image;
}

}  // namespace

TEST(DrawUtils, ShortenStringFitsCutsOrLeavesTheDots)
{
    TestFontEngine engine;
    MeasuringCanvas canvas(engine);
    canvas.SetFont(LogicalFont{"Arial", -10});  // every character 5 wide
    EXPECT_EQ(ShortenString(u"Belebung", canvas, 40), u"Belebung");
    EXPECT_EQ(ShortenString(u"Belebung", canvas, 39), u"Bele...");  // two off first: "Belebu..." is 45
    EXPECT_EQ(ShortenString(u"Belebung", canvas, 30), u"Bel...");
    EXPECT_EQ(ShortenString(u"Belebung", canvas, 14), u"...");
    EXPECT_EQ(ShortenString(u"B", canvas, 2), u"...");
    EXPECT_EQ(ShortenString(u"", canvas, 0), u"");
}

TEST(DrawUtils, TransparentColoursDefaultNoneAndMonochrome)
{
    velmoran::testing::App();
    // The bottom-left pixel is red: "default" leaves every red pixel out.
    const QImage bitmap = Picture({"kr", "rk"});
    QImage target = White(4, 4);
    {
        QPainter painter(&target);
        QtCanvas canvas(&painter);
        StretchBitmapRectTransparent(canvas, 1, 1, 0, 0, bitmap, 0, 0, 0, 0, clDefault);
    }
    EXPECT_EQ(Letters(target), (std::vector<std::string>{"WWWW", "W?WW", "WW?W", "WWWW"}));

    // No colour: a plain copy; a source part stretched to twice its size.
    target = White(4, 4);
    {
        QPainter painter(&target);
        QtCanvas canvas(&painter);
        DrawTransparentBitmapRect(canvas, 0, 0, {1, 0, 2, 2}, bitmap, kNoColor);
        StretchBltTransparent(canvas, 2, 0, 2, 2, bitmap, 1, 0, 1, 1, RGBRef(0, 0, 0));
    }
    EXPECT_EQ(Letters(target), (std::vector<std::string>{"RWRR", "?WRR", "WWWW", "WWWW"}));
    // No colour, a part of one row inside the picture (the second, black), stretched to two:
    // nothing of the rows below it.
    target = White(3, 4);
    {
        QPainter painter(&target);
        QtCanvas canvas(&painter);
        StretchBitmapRectTransparent(canvas, 1, 1, 1, 2, Picture({"w", "k", "r", "w"}), 0, 1, 1, 1, kNoColor);
    }
    EXPECT_EQ(Letters(target), (std::vector<std::string>{"WWW", "W?W", "W?W", "WWW"}));

    // A monochrome picture is transparent where it is white, whatever colour is asked for.
    QImage mono = Picture({"wk", "kw"}).convertToFormat(QImage::Format_Mono);
    target = QImage(2, 2, QImage::Format_RGB32);
    target.fill(kRed);
    {
        QPainter painter(&target);
        QtCanvas canvas(&painter);
        StretchBitmapRectTransparent(canvas, 0, 0, 0, 0, mono, 0, 0, 0, 0, RGBRef(0, 0, 0));
    }
    EXPECT_EQ(Letters(target), (std::vector<std::string>{"R?", "?R"}));
}

TEST(DrawUtils, DisabledRenderingPixelByPixel)
{
    velmoran::testing::App();
    // Ink is everything but the outline colour (magenta): highlight at (1, 1), shadow on top.
    const QImage bitmap = Picture({"mmmm", "mkrm", "mmmk", "mmmm"});
    EXPECT_EQ(Letters(CreateDisabledBitmap(bitmap, RGBRef(255, 0, 255))),
              (std::vector<std::string>{"FFFF", "FSSF", "FFWS", "FFFF"}));
    EXPECT_EQ(Letters(CreateDisabledBitmapEx(bitmap, RGBRef(255, 0, 255), RGBRef(255, 255, 255),
                                             RGBRef(255, 0, 0), SystemColor(COLOR_BTNSHADOW), false)),
              (std::vector<std::string>{"WWWW", "WSSW", "WWWS", "WWWW"}));

    // An image of a list: every pixel that is not transparent is ink.
    ImageList images(4, 4);
    images.AddMasked(bitmap, RGBRef(255, 0, 255));
    QImage target = White(6, 6);
    {
        QPainter painter(&target);
        QtCanvas canvas(&painter);
        ImageListDrawDisabled(images, canvas, 1, 1, 0, RGBRef(255, 0, 0), SystemColor(COLOR_BTNSHADOW), true);
    }
    EXPECT_EQ(Letters(target),
              (std::vector<std::string>{"WWWWWW", "WWWWWW", "WWSSWW", "WWWRSW", "WWWWWR", "WWWWWW"}));
}

TEST(DrawUtils, CopyParentImageShowsTheParentAndEarlierSiblingsOnly)
{
    velmoran::testing::App();
    const auto filled = [](QWidget* widget, Qt::GlobalColor color) {
        widget->setAutoFillBackground(true);
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Window, color);
        widget->setPalette(palette);
    };
    QWidget parent;
    parent.resize(60, 20);
    filled(&parent, Qt::green);
    auto* below = new QWidget(&parent);
    below->setGeometry(0, 0, 25, 20);
    filled(below, Qt::red);
    auto* control = new QWidget(&parent);
    control->setGeometry(20, 0, 20, 20);
    auto* above = new QWidget(&parent);
    above->setGeometry(35, 0, 25, 20);
    filled(above, Qt::blue);
    auto* hidden = new QWidget(&parent);
    hidden->setGeometry(20, 10, 20, 10);
    filled(hidden, Qt::yellow);
    hidden->hide();
    control->raise();
    above->raise();  // stacking order: below, hidden, control, above
    parent.show();

    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::black);
    CopyParentImage(control, image);
    EXPECT_EQ(image.pixel(2, 2), 0xFFFF0000u);    // the earlier sibling
    EXPECT_EQ(image.pixel(10, 5), 0xFF00FF00u);   // the parent
    EXPECT_EQ(image.pixel(17, 15), 0xFF00FF00u);  // neither the later nor the hidden sibling
    CopyParentImage(nullptr, image);              // nothing to copy: no harm
}

TEST(DrawUtils, ForegroundPostedEventsNotImplementedMemoryAndCursors)
{
    velmoran::testing::App();
    {
        ScopedForegroundTask background(false);
        EXPECT_FALSE(IsForegroundTask());
        ScopedForegroundTask foreground(true);
        EXPECT_TRUE(IsForegroundTask());
    }
    EXPECT_EQ(IsForegroundTask(), QApplication::activeWindow() != nullptr);

    // The next posted event of the type goes, as one message taken from the queue: the later
    // ones of that type stay in their order, whole, and events of other types stay too. (It
    // once took every event of the type.)
    struct Numbered : QEvent {
        explicit Numbered(int number) : QEvent(QEvent::User), Number(number) {}
        Numbered* clone() const override { return new Numbered(Number); }
        int Number;
    };
    struct Counter : QObject {
        std::vector<int> Users;
        int Others = 0;
        bool event(QEvent* e) override
        {
            if (e->type() == QEvent::User)
                Users.push_back(dynamic_cast<Numbered*>(e) ? static_cast<Numbered*>(e)->Number : 0);
            else
                ++Others;
            return true;
        }
    } counter;
    for (int number : {1, 2, 3})
        QCoreApplication::postEvent(&counter, new Numbered(number));
    QCoreApplication::postEvent(&counter, new QEvent(QEvent::Type(QEvent::User + 1)));
    KillMessage(&counter, QEvent::User);
    EXPECT_TRUE(counter.Users.empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.Users, (std::vector<int>{2, 3}));
    EXPECT_EQ(counter.Others, 1);
    // Nothing queued: nothing happens, and a later event is not taken in advance.
    KillMessage(&counter, QEvent::User);
    QCoreApplication::postEvent(&counter, new Numbered(4));
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.Users, (std::vector<int>{2, 3, 4}));

    ScriptedPromptService prompts;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    EXPECT_THROW(ShowNotImplemented(), EAbort);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0].Text, "Function not yet implemented");
    EXPECT_EQ(prompts.Messages()[0].Type, MsgDlgType::Information);

    EXPECT_TRUE(AllocGlobalBlock(0).empty());
    TGlobalBlock block = AllocGlobalBlock(5);
    EXPECT_EQ(block, TGlobalBlock(5, 0));
    const std::uint8_t source[5] = {1, 2, 3, 4, 5};
    CopyMemBlock(block.data(), source, 5);
    EXPECT_TRUE(CompareMemBlock(block.data(), source, 5));
    EXPECT_FALSE(CompareMemBlock(OffsetPointer(block.data(), 1), source, 4));
    EXPECT_TRUE(CompareMemBlock(OffsetPointer(block.data(), 1), source, 0));
    FreeGlobalBlock(block);
    EXPECT_TRUE(block.empty());
    EXPECT_EQ(PaletteColor(SystemColor(COLOR_BTNFACE)), 0x02C0C0C0u);
    EXPECT_EQ(PaletteColor(RGBRef(1, 2, 3)), 0x02030201u);

    // The hand is the viewer's drawing; the drag cursor is our own, its hot spot at the tip.
    const QCursor hand = ScreenCursor(crExHand);
    EXPECT_EQ(hand.pixmap().toImage(), ViewerCursor(TViewerCursor::Hand).pixmap().toImage());
    EXPECT_EQ(hand.hotSpot(), QPoint(6, 0));
    const QCursor drag = CursorResource("EX_DRAGCUR");
    EXPECT_EQ(drag.pixmap().size(), QSize(20, 22));
    EXPECT_EQ(drag.hotSpot(), QPoint(0, 0));
    EXPECT_EQ(drag.pixmap().toImage(), ScreenCursor(crExDrag).pixmap().toImage());
    EXPECT_EQ(ScreenCursor(1).shape(), Qt::ArrowCursor);
    EXPECT_EQ(CursorResource("EX_HANDCUR").hotSpot(), QPoint(6, 0));
}
