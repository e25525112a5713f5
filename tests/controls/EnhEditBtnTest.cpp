// The edit with button offscreen: its least height, F4 and the button press with their senders,
// where the button and the text margin go, the editor switch over cut and paste, and the speed
// button's flat, etched and pressed looks on the recording canvas.
#include "EnhEditTestSupport.h"

#include "controls/EnhEditBtn.h"
#include "platform/Clipboard.h"
#include "platform/RecordingCanvas.h"

#include <QApplication>
#include <QTest>

using namespace velmoran;
using velmoran::testing::EnhEditBtn;

TEST_F(EnhEditBtn, HeightSnapsToTheLeast)
{
    auto* edit = new TEnhEditBtn(dialog_.get());
    const int least = QFontMetrics(edit->font()).height() +
                      std::min(QFontMetrics(QApplication::font()).height(), QFontMetrics(edit->font()).height()) / 4;
    EXPECT_EQ(edit->MinimumEditHeight(), least);
    edit->resize(200, 5);
    EXPECT_EQ(edit->height(), least);
    // A bigger font raises it.
    TFont big;
    big.Size = 20;
    edit->SetFont(big);
    EXPECT_GT(edit->MinimumEditHeight(), least);
    EXPECT_EQ(edit->height(), edit->MinimumEditHeight());
}

TEST_F(EnhEditBtn, F4AndTheButtonFireWithTheirSenders)
{
    auto* edit = new TEnhEditBtn(dialog_.get());
    auto* other = new QLineEdit(dialog_.get());
    other->move(0, 50);
    edit->setGeometry(0, 0, 200, 21);
    std::vector<QWidget*> senders;
    edit->OnClickBtn = [&](QWidget* sender) { senders.push_back(sender); };
    Show();
    edit->setFocus();
    Press(edit, Qt::Key_F4);
    EXPECT_EQ(senders, (std::vector<QWidget*>{edit}));
    Press(edit, Qt::Key_F4, Qt::AltModifier);
    Press(edit, Qt::Key_F4, Qt::ControlModifier);
    EXPECT_EQ(senders.size(), 1u);
    // A press on the button fires at once, with the holder as sender, and focuses the edit.
    other->setFocus();
    QApplication::processEvents();
    ASSERT_FALSE(edit->hasFocus());
    Mouse(edit->EditButton()->Button(), QEvent::MouseButtonPress, 3, 3);
    ASSERT_EQ(senders.size(), 2u);
    EXPECT_EQ(senders[1], edit->EditButton());
    EXPECT_TRUE(edit->hasFocus());
    Mouse(edit->EditButton()->Button(), QEvent::MouseButtonRelease, 3, 3);
    EXPECT_EQ(senders.size(), 2u);
}

// A click whose handler takes the mouse's release (as a dialog opened from it does) leaves the
// button up, not pressed until the next click; while the button is held it stays down.
TEST_F(EnhEditBtn, TheButtonComesUpWhenItsHandlerTookTheRelease)
{
    auto* edit = new TEnhEditBtn(dialog_.get());
    edit->setGeometry(0, 0, 200, 21);
    QWidget dialog;
    dialog.resize(100, 60);
    bool takeRelease = true;
    bool downInHandler = false;
    edit->OnClickBtn = [&](QWidget*) {
        downInHandler = edit->EditButton()->Button()->isDown();
        if (!takeRelease)
            return;
        dialog.show();
        QTest::mouseRelease(dialog.windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    };
    Show();
    TEnhSpeedButton* button = edit->EditButton()->Button();
    const QPoint at = button->mapTo(dialog_.get(), QPoint(3, 3));
    QTest::mousePress(dialog_->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_TRUE(downInHandler);
    EXPECT_FALSE(button->isDown());

    takeRelease = false;
    dialog.hide();
    QTest::mousePress(dialog_->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_TRUE(button->isDown());
    QTest::mouseRelease(dialog_->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_FALSE(button->isDown());
}

TEST_F(EnhEditBtn, ButtonAndTextMarginInTheirPlaces)
{
    auto* edit = new TEnhEditBtn(dialog_.get());
    edit->setGeometry(0, 0, 200, 25);
    Show();
    EXPECT_EQ(edit->ButtonWidth(), 16);
    // Framed: one pixel in from the client area's right and top, two above its bottom.
    EXPECT_EQ(edit->EditButton()->geometry(), QRect(200 - 16 - 3, 3, 16, 25 - 7));
    EXPECT_EQ(edit->textMargins().right(), 16 + 4);
    edit->SetButtonWidth(20);
    EXPECT_EQ(edit->EditButton()->width(), 20);
    EXPECT_EQ(edit->EditButton()->Button()->geometry(), QRect(0, 0, 20, 25 - 7));
    EXPECT_EQ(edit->textMargins().right(), 20 + 4);
    edit->SetFlat(true);
    EXPECT_TRUE(edit->EditButton()->Button()->Flat());
    EXPECT_EQ(edit->EditButton()->geometry(), QRect(200 - 20 - 3, 2, 20, 25 - 5));
    EXPECT_EQ(edit->textMargins().right(), 20 + 4);
    edit->SetButtonCaption("...");
    edit->SetButtonHint("Verzeichnis wählen");
    EXPECT_EQ(edit->ButtonCaption(), "...");
    EXPECT_EQ(edit->EditButton()->Button()->toolTip(), QStringLiteral("Verzeichnis wählen"));
    edit->SetButtonHint("");
    EXPECT_TRUE(edit->EditButton()->Button()->toolTip().isEmpty());
}

TEST_F(EnhEditBtn, EditorSwitchBlocksCutAndPaste)
{
    MemoryClipboard board;
    ScopedClipboard scope(board);
    auto* edit = new TEnhEditBtn(dialog_.get());
    edit->SetText("/daten/velmoran");
    edit->SetEditorEnabled(false);
    board.SetText(u"/tmp");
    edit->selectAll();
    edit->PasteFromClipboard();
    edit->CutToClipboard();
    EXPECT_EQ(edit->Text(), "/daten/velmoran");
    EXPECT_EQ(board.Text(), u"/tmp");
    // Copying still works.
    edit->CopyToClipboard();
    EXPECT_EQ(board.Text(), u"/daten/velmoran");
    edit->SetEditorEnabled(true);
    board.SetText(u"/tmp");
    edit->selectAll();
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), "/tmp");
}

TEST_F(EnhEditBtn, SpeedButtonLooks)
{
    TEnhSpeedButton button;
    button.resize(30, 18);
    button.setText(QStringLiteral("..."));
    RecordingCanvas canvas(engine_, 30, 18);
    const auto ringColours = [&] {
        std::vector<std::string> fills;
        for (const std::string& call : canvas.Calls())
            if (call.rfind("FillRect", 0) == 0)
                fills.push_back(call.substr(call.rfind(' ') + 1));
        return fills;
    };
    // Raised: light and dark outer ring, highlight and shadow inner ring over the face; the
    // caption centred in the button less three pixels each side (test font: 5 pixels a character).
    button.PaintTo(canvas);
    EXPECT_EQ(ringColours(), (std::vector<std::string>{"#C0C0C0", "#C0C0C0", "#C0C0C0", "#000000", "#000000",
                                                       "#FFFFFF", "#FFFFFF", "#808080", "#808080"}));
    EXPECT_NE(canvas.Text().find("TextOut 7,1 '...'"), std::string::npos);
    // Flat and etched: the edge reaches one pixel beyond the right and bottom.
    button.SetFlat(true);
    button.SetEtched(true);
    canvas.Clear();
    button.PaintTo(canvas);
    EXPECT_EQ(ringColours(), (std::vector<std::string>{"#C0C0C0", "#808080", "#808080", "#FFFFFF", "#FFFFFF",
                                                       "#FFFFFF", "#FFFFFF", "#808080", "#808080"}));
    EXPECT_NE(canvas.Text().find("FillRect 0,18,31,19 #FFFFFF"), std::string::npos);
    // Down: the flat edge, the caption one pixel right and down.
    button.setDown(true);
    canvas.Clear();
    button.PaintTo(canvas);
    EXPECT_EQ(ringColours(), (std::vector<std::string>{"#C0C0C0", "#808080", "#808080", "#808080", "#808080",
                                                       "#C0C0C0", "#C0C0C0", "#C0C0C0", "#C0C0C0"}));
    EXPECT_NE(canvas.Text().find("TextOut 8,2 '...'"), std::string::npos);
}
