// The speed button's looks where the behaviour is a picture: its states and the frames of both
// looks (the drop-down mark included) side by side, compared with recorded pictures; on the
// recording canvas its caption colours (engraved when disabled, moved when pressed) and the
// caption's place by alignment, layout and spacing.
#include "controls/DrawUtils.h"
#include "controls/SpeedButton.h"
#include "platform/RecordingCanvas.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/support/ImageCompare.h"

#include <gtest/gtest.h>

#include <string>

#include <QMenu>
#include <QPainter>
#include <QTest>

using namespace velmoran;
using velmoran::testing::ScopedTestFonts;

namespace {

const std::string kRecorded = VELMORAN_TEST_DATA "/controls/";
const std::string kArtifacts = VELMORAN_ARTIFACTS "/controls";

// A 16 x 16 glyph on magenta: a dark red square with a yellow corner, so that greying and the
// disabled engraving show.
QImage Glyph()
{
    QImage glyph(16, 16, QImage::Format_RGB32);
    glyph.fill(0xFFFF00FF);
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x)
            glyph.setPixel(x, y, x < 7 && y < 7 ? 0xFFFFFF00 : 0xFF800000);
    return glyph;
}

// The button that lets a test paint it onto any canvas.
class PaintedButton : public TExSpeedButton {
public:
    using TExSpeedButton::TExSpeedButton;
    using TExSpeedButton::PaintTo;
};

// Each text call with the text colour it is drawn in: "#808080 TextOut 9,6 'Ab'".
std::vector<std::string> ColouredTexts(const RecordingCanvas& canvas)
{
    std::vector<std::string> out;
    std::string colour;
    for (const std::string& line : canvas.Lines()) {
        if (line.rfind("TextColor ", 0) == 0)
            colour = line.substr(10);
        else if (line.rfind("TextOut ", 0) == 0)
            out.push_back(colour + " " + line);
    }
    return out;
}

std::vector<std::string> Painted(PaintedButton& button, FontEngine& fonts)
{
    RecordingCanvas canvas(fonts, button.width(), button.height());
    button.PaintTo(canvas);
    return ColouredTexts(canvas);
}

}  // namespace

// Up, down, exclusive, disabled, flat away from the mouse, and with the drop-down mark: each
// state's frame, face and glyph (the disabled one engraved, the flat one grey).
TEST(ControlLooks, SpeedButtonStatesMatchTheRecordedPicture)
{
    ScopedTestFonts fonts;
    QWidget parent;
    QMenu menu;
    std::vector<TExSpeedButton*> buttons;
    for (int i = 0; i < 6; ++i) {
        auto* button = new TExSpeedButton(&parent);
        button->setGeometry(i * 30, 0, 28, 26);
        button->SetGlyph(Glyph());
        buttons.push_back(button);
    }
    QTest::mousePress(buttons[1], Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    ASSERT_EQ(buttons[1]->State(), TButtonState::bsDown);
    buttons[2]->SetGroupIndex(1);
    buttons[2]->SetDown(true);
    buttons[3]->setEnabled(false);
    buttons[4]->SetFlat(true);
    buttons[5]->SetDropDownMenu(&menu);
    buttons[5]->SetMarkDropDown(true);

    QImage strip(178, 26, QImage::Format_RGB32);
    strip.fill(0xFFFFFFFF);
    QPainter painter(&strip);
    for (TExSpeedButton* button : buttons)
        painter.drawImage(button->pos(), button->Picture());
    painter.end();
    EXPECT_TRUE(velmoran::testing::MatchesRecordedImage(strip, kRecorded + "speedbutton-states.png", kArtifacts, 48));
    QTest::mouseRelease(buttons[1], Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
}

// The frames of both looks, raised and pressed, plain and flat under the mouse, and the
// drop-down mark of a disabled button without glyph (engraved, in the middle).
TEST(ControlLooks, SpeedButtonFramesOfBothLooksMatchTheRecordedPicture)
{
    ScopedTestFonts fonts;
    ScopedForegroundTask foreground(true);
    QWidget parent;
    QMenu menu;
    std::vector<TExSpeedButton*> buttons;
    for (int i = 0; i < 8; ++i) {
        auto* button = new TExSpeedButton(&parent);
        button->setGeometry(i * 30, 0, 28, 26);
        if (i < 7)
            button->SetGlyph(Glyph());
        button->SetStyle(i < 4 ? TButtonStyle::bsWin31 : TButtonStyle::bsNew);
        button->SetFlat(i == 2 || i == 3 || i == 4 || i == 5);
        buttons.push_back(button);
    }
    for (TExSpeedButton* flat : {buttons[2], buttons[3], buttons[4], buttons[5]}) {
        QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3));
        QApplication::sendEvent(flat, &enter);
        ASSERT_TRUE(flat->MouseInControl());
    }
    for (TExSpeedButton* pressed : {buttons[1], buttons[3], buttons[5]})
        QTest::mousePress(pressed, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    buttons[6]->SetGroupIndex(1);
    buttons[6]->SetDown(true);
    buttons[6]->SetStyle(TButtonStyle::bsWin31);
    buttons[7]->SetDropDownMenu(&menu);
    buttons[7]->setEnabled(false);

    QImage strip(238, 26, QImage::Format_RGB32);
    strip.fill(0xFFFFFFFF);
    QPainter painter(&strip);
    for (TExSpeedButton* button : buttons)
        painter.drawImage(button->pos(), button->Picture());
    painter.end();
    EXPECT_TRUE(velmoran::testing::MatchesRecordedImage(strip, kRecorded + "speedbutton-frames.png", kArtifacts, 48));
    for (TExSpeedButton* pressed : {buttons[1], buttons[3], buttons[5]})
        QTest::mouseRelease(pressed, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
}

// An enabled caption in the font's colour; a disabled one twice, highlight one pixel right and
// down under shadow; pressed, the caption moves one pixel with the face.
TEST(ControlLooks, SpeedButtonCaptionColoursFollowEnabledAndPressed)
{
    ScopedTestFonts fonts;
    QWidget parent;
    auto* button = new PaintedButton(&parent);
    button->setGeometry(0, 0, 40, 20);
    TFont font = button->Font();
    font.Color = RGBRef(0, 0, 128);
    button->SetFont(font);
    button->SetCaption("Ab");

    const std::vector<std::string> up = Painted(*button, fonts.Engine);
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(up[0].substr(0, 8), "#000080 ");

    button->setEnabled(false);
    const std::vector<std::string> disabled = Painted(*button, fonts.Engine);
    ASSERT_EQ(disabled.size(), 2u);
    EXPECT_EQ(disabled[0].substr(0, 8), "#FFFFFF ");
    EXPECT_EQ(disabled[1].substr(0, 8), "#808080 ");
    EXPECT_EQ(disabled[1].substr(8), up[0].substr(8));  // the shadow where the enabled text stands
    EXPECT_NE(disabled[0].substr(8), up[0].substr(8));

    button->setEnabled(true);
    QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    const std::vector<std::string> pressed = Painted(*button, fonts.Engine);
    ASSERT_EQ(pressed.size(), 1u);
    EXPECT_EQ(pressed[0].substr(0, 8), "#000080 ");
    EXPECT_EQ(pressed[0].substr(8), disabled[0].substr(8));  // one pixel right and down
    QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
}

// The caption's place follows alignment (seen on the shorter of two lines), the layout of glyph
// and caption and the spacing between them; each setter takes effect on the next paint.
TEST(ControlLooks, SpeedButtonCaptionFollowsAlignmentLayoutAndSpacing)
{
    ScopedTestFonts fonts;
    QWidget parent;
    auto* button = new PaintedButton(&parent);
    button->setGeometry(0, 0, 80, 60);
    button->SetCaption("A\nBBB");
    const auto texts = [&] { return Painted(*button, fonts.Engine); };
    const std::vector<std::string> centred = texts();
    ASSERT_EQ(centred.size(), 2u);
    button->SetAlignment(TAlignment::taLeftJustify);
    const std::vector<std::string> left = texts();
    ASSERT_EQ(left.size(), 2u);
    EXPECT_NE(left[0], centred[0]);
    EXPECT_EQ(left[1], centred[1]);
    button->SetAlignment(TAlignment::taRightJustify);
    EXPECT_NE(texts()[0], left[0]);
    EXPECT_NE(texts()[0], centred[0]);
    button->SetAlignment(TAlignment::taCenter);
    EXPECT_EQ(texts(), centred);

    button->SetCaption("Ab");
    button->SetGlyph(Glyph());
    const TButtonLayout layout = button->Layout();
    const int spacing = button->Spacing();
    const std::vector<std::string> first = texts();
    button->SetLayout(layout == TButtonLayout::blGlyphLeft ? TButtonLayout::blGlyphTop : TButtonLayout::blGlyphLeft);
    const std::vector<std::string> other = texts();
    EXPECT_NE(other, first);
    button->SetSpacing(spacing + 10);
    EXPECT_NE(texts(), other);
    button->SetLayout(layout);
    button->SetSpacing(spacing);
    EXPECT_EQ(texts(), first);
}
