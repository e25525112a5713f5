// The flat combo box offscreen: the button width's range, the parent's colour while disabled,
// the simple style (no button, the list when tall, switching styles at run time), the drop-down
// list's width, OnChange only for the user, and the flat and hot looks on the recording canvas.
#include "EnhEditTestSupport.h"

#include "controls/EnhCombo.h"
#include "platform/QtCanvas.h"
#include "platform/RecordingCanvas.h"

#include <QAbstractItemView>
#include <QEnterEvent>
#include <QLineEdit>
#include <QListView>

using namespace velmoran;
using velmoran::testing::EnhCombo;

namespace {

// The fill colours and edges drawn in the button area (x from 80 in a 100 wide combo).
std::vector<std::string> ButtonCalls(const RecordingCanvas& canvas)
{
    std::vector<std::string> calls;
    for (const std::string& call : canvas.Calls())
        if (call.rfind("FillRect 8", 0) == 0 || call.rfind("FillRect 9", 0) == 0)
            calls.push_back(call);
    return calls;
}

bool Contains(const std::vector<std::string>& calls, const std::string& call)
{
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

}  // namespace

TEST_F(EnhCombo, ButtonWidthFrom14To32)
{
    TEnhComboBox combo;
    EXPECT_EQ(combo.ButtonWidth(), 18);
    EXPECT_TRUE(combo.Flat());
    EXPECT_EQ(combo.Style(), TComboBoxStyle::csDropDown);
    EXPECT_TRUE(combo.isEditable());
    combo.SetButtonWidth(13);
    EXPECT_EQ(combo.ButtonWidth(), 18);
    combo.SetButtonWidth(33);
    EXPECT_EQ(combo.ButtonWidth(), 18);
    combo.SetButtonWidth(14);
    EXPECT_EQ(combo.ButtonWidth(), 14);
    combo.SetButtonWidth(32);
    EXPECT_EQ(combo.ButtonWidth(), 32);
}

TEST_F(EnhCombo, DisabledTakesTheParentsColour)
{
    QPalette grey = dialog_->palette();
    grey.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    dialog_->setPalette(grey);
    auto* combo = new TEnhComboBox(dialog_.get());
    combo->SetColor(RGBRef(255, 255, 0));
    combo->setEnabled(false);
    EXPECT_TRUE(combo->ParentColor());
    EXPECT_EQ(combo->ShownColor(), 0xC0C0C0u);
    EXPECT_EQ(combo->palette().color(QPalette::Disabled, QPalette::Base), QColor(0xC0, 0xC0, 0xC0));
    combo->setEnabled(true);
    EXPECT_FALSE(combo->ParentColor());
    EXPECT_EQ(combo->ShownColor(), RGBRef(255, 255, 0));
}

TEST_F(EnhCombo, SimpleStyleHasNoButtonAndShowsItsListWhenTall)
{
    auto* combo = new TEnhComboBox(dialog_.get());
    combo->setGeometry(0, 0, 100, 21);
    combo->SetItems({"Bemessung nach HSG", "Nachklärbecken", "Belüftung"});
    combo->SetItemIndex(0);
    int changes = 0;
    combo->OnChange = [&](QWidget*) { ++changes; };
    combo->SetStyle(TComboBoxStyle::csSimple);
    Show();
    EXPECT_TRUE(combo->isEditable());
    EXPECT_EQ(combo->SimpleList(), nullptr);
    combo->showPopup();
    EXPECT_FALSE(combo->view()->isVisible());
    EXPECT_FALSE(combo->DroppedDown());
    // No button: nothing is drawn in the button area but field and frame.
    RecordingCanvas canvas(engine_, 100, 21);
    combo->PaintFlat(canvas);
    EXPECT_EQ(canvas.Text().find("#000000"), std::string::npos) << canvas.Text();
    EXPECT_EQ(canvas.Text().find("Clip"), std::string::npos);
    // Up and Down step through the items, as the user's choice.
    combo->setFocus();
    Press(combo, Qt::Key_Down);
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(changes, 1);
    // Tall: the list on the same model fills the rest.
    combo->resize(100, 80);
    QApplication::processEvents();
    QListView* list = combo->SimpleList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->model(), combo->model());
    EXPECT_EQ(list->geometry().bottom(), 79);
    // A larger font makes the edit line taller: the list moves down below it.
    const int top = list->geometry().top();
    QFont large = combo->font();
    large.setPixelSize(24);
    combo->setFont(large);
    EXPECT_EQ(list->geometry().top(), QFontMetrics(large).height() + 8);
    EXPECT_GT(list->geometry().top(), top);
    combo->setFont(QFont());
    combo->resize(100, 80);
    EXPECT_EQ(list->currentIndex().row(), 1);
    const QRect third = list->visualRect(combo->model()->index(2, 0));
    Mouse(list->viewport(), QEvent::MouseButtonPress, third.center().x(), third.center().y());
    Mouse(list->viewport(), QEvent::MouseButtonRelease, third.center().x(), third.center().y());
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(changes, 2);
    // To a drop-down list and back at run time.
    combo->SetStyle(TComboBoxStyle::csDropDownList);
    EXPECT_FALSE(combo->isEditable());
    EXPECT_EQ(combo->SimpleList(), nullptr);
    EXPECT_EQ(combo->Text(), "Belüftung");
    combo->SetStyle(TComboBoxStyle::csSimple);
    EXPECT_TRUE(combo->isEditable());
    ASSERT_NE(combo->SimpleList(), nullptr);
    combo->lineEdit()->setFocus();
    TypeText(combo->lineEdit(), u"x");
    EXPECT_EQ(changes, 3);
}

TEST_F(EnhCombo, DropWidthWidensThePopup)
{
    auto* combo = new TEnhComboBox(dialog_.get());
    combo->setGeometry(0, 0, 100, 21);
    combo->SetStyle(TComboBoxStyle::csDropDownList);
    combo->SetItems({"Ganze Seite", "Seitenbreite", "100 %"});
    combo->SetDropWidth(300);
    Show();
    combo->showPopup();
    EXPECT_TRUE(combo->DroppedDown());
    EXPECT_GE(combo->view()->window()->width(), 300);
    combo->hidePopup();
    EXPECT_FALSE(combo->DroppedDown());
}

// The drop-down list shows eight rows and scrolls for the rest (the preview's zoom list has
// twelve), in both styles with a list; Qt alone would show ten.
TEST_F(EnhCombo, TheDropDownShowsEightRows)
{
    auto* combo = new TEnhComboBox(dialog_.get());
    combo->setGeometry(0, 0, 100, 21);
    std::vector<std::string> items;
    for (int i = 1; i <= 12; ++i)
        items.push_back(std::to_string(i * 25) + " %");
    combo->SetItems(items);
    Show();
    for (const TComboBoxStyle style : {TComboBoxStyle::csDropDown, TComboBoxStyle::csDropDownList}) {
        combo->SetStyle(style);
        combo->SetItemIndex(0);
        combo->showPopup();
        QAbstractItemView* list = combo->view();
        const int rows = list->viewport()->height() / list->visualRect(list->model()->index(0, 0)).height();
        EXPECT_EQ(rows, 8);
        EXPECT_EQ(list->indexAt(QPoint(2, list->viewport()->height() - 2)).row(), 7);
        combo->hidePopup();
    }
}

TEST_F(EnhCombo, OnChangeOnlyForTheUser)
{
    auto* combo = new TEnhComboBox(dialog_.get());
    int changes = 0, clicks = 0;
    combo->OnChange = [&](QWidget* sender) {
        EXPECT_EQ(sender, combo);
        ++changes;
    };
    combo->OnClick = [&](QWidget*) { ++clicks; };
    combo->SetItems({"Standard.vst", "Kurz.vst"});
    combo->SetItemIndex(1);
    combo->SetText("Eigene.vst");
    EXPECT_EQ(combo->Text(), "Eigene.vst");
    EXPECT_EQ(changes, 0);
    Show();
    combo->setFocus();
    TypeText(combo->lineEdit(), u"x");
    EXPECT_EQ(changes, 1);
    // Picking an item.
    combo->SetStyle(TComboBoxStyle::csDropDownList);
    combo->SetText("Kurz.vst");
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(changes, 1);
    Press(combo, Qt::Key_Up);
    EXPECT_EQ(combo->Text(), "Standard.vst");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(clicks, 1);
}

TEST_F(EnhCombo, FlatAndHotLooks)
{
    auto* combo = new TEnhComboBox(dialog_.get());
    auto* other = new QLineEdit(dialog_.get());
    other->move(0, 50);
    combo->setGeometry(0, 0, 100, 21);
    combo->SetStyle(TComboBoxStyle::csDropDownList);
    combo->SetEtched(true);
    Show();
    other->setFocus();
    RecordingCanvas canvas(engine_, 100, 21);
    // Not hot: the button area is filled with the face colour around the arrow left alone.
    combo->PaintFlat(canvas);
    std::vector<std::string> calls = ButtonCalls(canvas);
    EXPECT_TRUE(Contains(calls, "FillRect 82,3,97,18 #C0C0C0")) << canvas.Text();
    EXPECT_NE(canvas.Text().find("Clip 0,0,100,4 + 0,4,86,17 + 96,4,100,17 + 0,17,100,21"), std::string::npos);
    // The frame blends into the parent: two rings in its colour, one in the field's.
    const std::string parent = RecordingCanvas::Hex(FromQColor(dialog_->palette().color(QPalette::Window)));
    EXPECT_NE(canvas.Text().find("FillRect 1,1,98,2 " + parent), std::string::npos);
    EXPECT_NE(canvas.Text().find("FillRect 2,2,97,3 #FFFFFF"), std::string::npos);
    // Hot: the etched edge, sunken outer and raised inner ring.
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), combo->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(combo, &enter);
    EXPECT_TRUE(combo->Hot());
    canvas.Clear();
    combo->PaintFlat(canvas);
    calls = ButtonCalls(canvas);
    EXPECT_TRUE(Contains(calls, "FillRect 82,2,97,3 #808080")) << canvas.Text();
    EXPECT_TRUE(Contains(calls, "FillRect 82,18,98,19 #FFFFFF"));
    EXPECT_TRUE(Contains(calls, "FillRect 83,3,96,4 #FFFFFF"));
    EXPECT_FALSE(Contains(calls, "FillRect 82,3,97,18 #C0C0C0"));
    // Raised when not etched; the frame sinks with FocusBorder.
    combo->SetEtched(false);
    combo->SetFocusBorder(true);
    canvas.Clear();
    combo->PaintFlat(canvas);
    calls = ButtonCalls(canvas);
    EXPECT_TRUE(Contains(calls, "FillRect 82,18,98,19 #000000")) << canvas.Text();
    EXPECT_NE(canvas.Text().find("FillRect 0,0,99,1 #808080"), std::string::npos);
    EXPECT_NE(canvas.Text().find("FillRect 1,1,98,2 #C0C0C0"), std::string::npos);
}

// The flat combo box's inner edit stays inside the frame (3 pixels) and left of the button (2
// more), follows a new size and button width, and in the simple style takes the whole width of
// one line, the list below.
TEST_F(EnhCombo, InnerEditKeepsInsideTheFrameAndLeftOfTheButton)
{
    auto* combo = new TEnhComboBox(dialog_.get());
    combo->setGeometry(0, 0, 100, 21);
    Show();
    ASSERT_NE(combo->lineEdit(), nullptr);
    EXPECT_EQ(combo->lineEdit()->geometry(), QRect(3, 3, 100 - 18 - 2 - 3, 21 - 6));
    combo->resize(150, 25);
    QApplication::processEvents();
    EXPECT_EQ(combo->lineEdit()->geometry(), QRect(3, 3, 150 - 18 - 2 - 3, 25 - 6));
    combo->SetButtonWidth(30);
    EXPECT_EQ(combo->lineEdit()->geometry(), QRect(3, 3, 150 - 30 - 2 - 3, 25 - 6));
    combo->SetStyle(TComboBoxStyle::csSimple);
    combo->resize(150, 80);
    QApplication::processEvents();
    const int line = combo->fontMetrics().height() + 8;
    EXPECT_EQ(combo->lineEdit()->geometry(), QRect(3, 3, 150 - 3 - 3, line - 6));
    // Squeezed to nothing, the edit has no negative size.
    combo->SetStyle(TComboBoxStyle::csDropDown);
    combo->resize(20, 4);
    QApplication::processEvents();
    EXPECT_EQ(combo->lineEdit()->geometry().size(), QSize(0, 0));
}
