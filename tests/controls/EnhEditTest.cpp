// The typed edit offscreen, through its real key, focus, mouse and clipboard handling: the caret
// around prefix and suffix, Esc and Enter left to the dialog, typing per type, leaving the field,
// the clipboard rules over a memory clipboard, persistence in an INI file, addresses through the
// shell, the label's ten places, the colours, and what it draws over the line edit.
#include "EnhEditTestSupport.h"

#include "controls/EnhEdit.h"
#include "controls/MiniHtml.h"
#include "platform/Clipboard.h"
#include "platform/HintPlacement.h"
#include "platform/RecordingCanvas.h"
#include "platform/Shell.h"
#include "platform/SystemColors.h"
#include "tests/support/TempFolder.h"

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolTip>

#include <algorithm>

using namespace velmoran;
using velmoran::testing::EnhEdit;

namespace {

std::vector<std::string> CallsWith(const RecordingCanvas& canvas, const std::string& start)
{
    std::vector<std::string> found;
    for (const std::string& call : canvas.Calls())
        if (call.rfind(start, 0) == 0)
            found.push_back(call);
    return found;
}

}  // namespace

TEST_F(EnhEdit, CaretStaysBetweenPrefixAndSuffix)
{
    auto* edit = new TEnhEdit(dialog_.get());
    edit->SetEditType(TEnhEditType::etNumeric);
    edit->SetPrefix("ca. ");
    edit->SetSuffix(" kg");
    edit->SetText("123");
    EXPECT_EQ(edit->text(), QStringLiteral("ca. 123 kg"));
    EXPECT_EQ(edit->Text(), "123");
    Show();
    edit->setFocus();
    QApplication::processEvents();
    // Focus selects the value alone.
    EXPECT_EQ(edit->selectedText(), QStringLiteral("123"));
    Press(edit, Qt::Key_End);
    EXPECT_EQ(edit->cursorPosition(), 7);
    Press(edit, Qt::Key_Right);
    EXPECT_EQ(edit->cursorPosition(), 7);
    Press(edit, Qt::Key_Delete);
    EXPECT_EQ(edit->Text(), "123");
    Press(edit, Qt::Key_Home);
    EXPECT_EQ(edit->cursorPosition(), 4);
    Press(edit, Qt::Key_Left);
    EXPECT_EQ(edit->cursorPosition(), 4);
    Press(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->Text(), "123");
    Press(edit, Qt::Key_Right);
    Press(edit, Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(edit->selectedText(), QStringLiteral("23"));
    TypeText(edit, u"4");
    EXPECT_EQ(edit->text(), QStringLiteral("ca. 14 kg"));
    // Shift+Home leaves the anchor at the value's end, so Shift+End then selects nothing.
    Press(edit, Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(edit->selectedText(), QStringLiteral("14"));
    EXPECT_EQ(edit->cursorPosition(), 4);
    Press(edit, Qt::Key_End, Qt::ShiftModifier);
    EXPECT_FALSE(edit->hasSelectedText());
    EXPECT_EQ(edit->cursorPosition(), 6);
    // A click into the prefix or suffix: typing goes into the value.
    edit->setCursorPosition(1);
    TypeText(edit, u"5");
    EXPECT_EQ(edit->text(), QStringLiteral("ca. 514 kg"));
    edit->setCursorPosition(10);
    TypeText(edit, u"6");
    EXPECT_EQ(edit->text(), QStringLiteral("ca. 5146 kg"));
    // Ctrl+Left goes to the line edit, which leaves the caret in the prefix; it comes back out.
    Press(edit, Qt::Key_Left, Qt::ControlModifier);
    Press(edit, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(edit->cursorPosition(), 4);
    // Backspace one character behind the prefix: its key-down reaches neither OnKeyDown nor the
    // line edit (Ctrl+Backspace deletes no word), only its character deletes. Further on, both go.
    std::vector<int> keysDown;
    edit->OnKeyDown = [&](QWidget*, int& key, Qt::KeyboardModifiers) { keysDown.push_back(key); };
    edit->setCursorPosition(5);
    Press(edit, Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_EQ(edit->Text(), "5146");
    EXPECT_TRUE(keysDown.empty());
    Press(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->Text(), "146");
    EXPECT_TRUE(keysDown.empty());
    edit->setCursorPosition(6);
    Press(edit, Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_EQ(edit->Text(), "6");
    EXPECT_EQ(keysDown, (std::vector<int>{Qt::Key_Backspace}));
}

TEST_F(EnhEdit, EscAndEnterReachTheDialog)
{
    auto* edit = new TEnhEdit(dialog_.get());
    auto* ok = new QPushButton(QStringLiteral("OK"), dialog_.get());
    ok->setDefault(true);
    ok->move(0, 40);
    edit->SetPrefix("nach ");
    edit->SetSuffix(" hin");
    edit->SetText("Nord");
    int rejected = 0, accepted = 0, keyPresses = 0, returns = 0;
    QObject::connect(dialog_.get(), &QDialog::rejected, [&] { ++rejected; });
    QObject::connect(ok, &QPushButton::clicked, [&] { ++accepted; });
    QObject::connect(edit, &QLineEdit::returnPressed, [&] { ++returns; });
    edit->OnKeyPress = [&](QWidget* sender, char16_t& key) {
        EXPECT_EQ(sender, edit);
        if (key == u'\r')
            ++keyPresses;
    };
    Show();
    edit->setFocus();
    QApplication::processEvents();
    TypeText(edit, u"Süd");
    EXPECT_EQ(edit->Text(), "Süd");
    EXPECT_TRUE(edit->Modified());
    Press(edit, Qt::Key_Escape);
    EXPECT_EQ(edit->Text(), "Nord");
    // The value alone is selected again, without prefix or suffix.
    EXPECT_EQ(edit->selectedText(), QStringLiteral("Nord"));
    EXPECT_FALSE(edit->Modified());
    EXPECT_EQ(rejected, 1);
    // Enter goes to OnKeyPress and the default button, never to the line edit.
    dialog_->show();
    edit->setFocus();
    Press(edit, Qt::Key_Return);
    EXPECT_EQ(keyPresses, 1);
    EXPECT_EQ(accepted, 1);
    EXPECT_EQ(returns, 0);
    // With ReturnIsTab Enter only moves on: the default button is not pressed.
    edit->SetReturnIsTab(true);
    edit->setFocus();
    Press(edit, Qt::Key_Return);
    EXPECT_EQ(keyPresses, 2);
    EXPECT_FALSE(edit->hasFocus());
    EXPECT_EQ(accepted, 1);
    edit->SetReturnIsTab(false);
    edit->setFocus();
    // Without undo Esc changes nothing, and the dialog still sees it.
    edit->SetCanUndo(false);
    edit->end(false);
    TypeText(edit, u"x");
    Press(edit, Qt::Key_Escape);
    EXPECT_EQ(edit->Text(), "Nordx");
    EXPECT_EQ(rejected, 2);
}

TEST_F(EnhEdit, TypingLeavingAndTheTabs)
{
    auto* edit = new TEnhEdit(dialog_.get());
    auto* next = new QLineEdit(dialog_.get());
    next->move(0, 40);
    edit->SetEditType(TEnhEditType::etFloat);
    edit->SetPrecision(2);
    EXPECT_EQ(edit->Text(), "0,00");
    edit->SetExcelStyleDecimalSeparator(true);
    edit->SetShowModified(true);
    Show();
    edit->setFocus();
    QApplication::processEvents();
    TypeText(edit, u"1.234");
    // The keypad's "." is the decimal separator here.
    Press(edit, Qt::Key_Period, Qt::KeypadModifier, QStringLiteral("."));
    TypeText(edit, u"5");
    EXPECT_EQ(edit->Text(), "1.234,5");
    EXPECT_EQ(edit->ShownFontColor(), SystemColor(COLOR_HIGHLIGHT));
    next->setFocus();
    QApplication::processEvents();
    // Leaving formats the value; what the user changed stays changed.
    EXPECT_EQ(edit->Text(), "1234,50");
    EXPECT_DOUBLE_EQ(edit->FloatValue(), 1234.5);
    EXPECT_TRUE(edit->Modified());

    // A full integer part moves the focus on; so does Enter with ReturnIsTab.
    auto* code = new TEnhEdit(dialog_.get());
    code->move(0, 80);
    code->show();
    code->SetEditType(TEnhEditType::etNumeric);
    code->SetLengthLimit(3);
    code->SetTabOnFullLength(true);
    code->SetReturnIsTab(true);
    code->setFocus();
    QApplication::processEvents();
    TypeText(code, u"12");
    EXPECT_TRUE(code->hasFocus());
    TypeText(code, u"3");
    EXPECT_FALSE(code->hasFocus());
    code->setFocus();
    Press(code, Qt::Key_Return);
    EXPECT_FALSE(code->hasFocus());
    // Empty numbers read 0 once left.
    code->setFocus();
    code->SetText("");
    next->setFocus();
    EXPECT_EQ(code->Text(), "0");

    // The mixed case follows every character.
    auto* name = new TEnhEdit(dialog_.get());
    name->SetEditType(TEnhEditType::etMixedCase);
    name->show();
    name->setFocus();
    TypeText(name, u"john mcdonald iii");
    EXPECT_EQ(name->Text(), "John McDonald III");
    EXPECT_EQ(name->cursorPosition(), 17);
}

TEST_F(EnhEdit, ValidationShowsTheErrorColours)
{
    auto* edit = new TEnhEdit(dialog_.get());
    auto* next = new QLineEdit(dialog_.get());
    next->move(0, 40);
    edit->SetShowError(true);
    std::vector<std::string> seen;
    edit->OnValueValidate = [&](QWidget*, const std::string& value, bool& valid) {
        seen.push_back(value);
        valid = value != "x";
    };
    int changes = 0;
    edit->OnChange = [&](QWidget*) { ++changes; };
    edit->SetText("x");
    EXPECT_TRUE(edit->ErrorShown());
    EXPECT_EQ(edit->ShownColor(), clRed);
    EXPECT_EQ(edit->ShownFontColor(), clWhite);
    EXPECT_EQ(edit->palette().color(QPalette::Base), QColor(Qt::red));
    Show();
    edit->setFocus();
    QApplication::processEvents();
    // The error colours stay while focused.
    EXPECT_EQ(edit->ShownColor(), clRed);
    TypeText(edit, u"y");
    EXPECT_FALSE(edit->ErrorShown());
    EXPECT_EQ(edit->ShownColor(), SystemColor(COLOR_WINDOW));
    next->setFocus();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(seen, (std::vector<std::string>{"x", "y", "y"}));
}

// ShowError alone, with no one to validate, finds nothing wrong: leaving the edit (where the value
// is checked once more) keeps the normal colours instead of marking every edit as an error.
TEST_F(EnhEdit, WithoutAValidatorLeavingKeepsTheNormalColours)
{
    auto* edit = new TEnhEdit(dialog_.get());
    auto* next = new QLineEdit(dialog_.get());
    next->move(0, 40);
    edit->SetShowError(true);
    edit->SetColor(RGBRef(255, 255, 0));
    Show();
    edit->setFocus();
    QApplication::processEvents();
    TypeText(edit, u"x");
    next->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(edit->hasFocus());
    EXPECT_FALSE(edit->ErrorShown());
    EXPECT_EQ(edit->ShownColor(), RGBRef(255, 255, 0));
    EXPECT_EQ(edit->palette().color(QPalette::Base), QColor(Qt::yellow));
}

TEST_F(EnhEdit, ClipboardByTheTypesRules)
{
    MemoryClipboard board;
    ScopedClipboard scope(board);
    auto* edit = new TEnhEdit(dialog_.get());
    edit->SetEditType(TEnhEditType::etNumeric);
    edit->SetPrefix("Nr. ");
    edit->SetText("12");
    Show();
    edit->setFocus();
    QApplication::processEvents();
    edit->setCursorPosition(6);
    board.SetText(u"3a");
    Press(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->Text(), "12");
    board.SetText(u"34");
    Press(edit, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(edit->Text(), "1234");
    EXPECT_EQ(edit->cursorPosition(), 8);
    EXPECT_TRUE(edit->Modified());
    // Copy takes the value alone, even with the prefix selected.
    edit->selectAll();
    Press(edit, Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(board.Text(), u"1234");
    edit->setSelection(4, 2);
    Press(edit, Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(board.Text(), u"12");
    EXPECT_EQ(edit->Text(), "34");
    // A pasted selection stays selected.
    edit->setSelection(4, 1);
    board.SetText(u"99");
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), "994");
    EXPECT_EQ(edit->selectedText(), QStringLiteral("99"));

    // OnClipboardPaste sees the selection and may refuse.
    std::string offered;
    edit->OnClipboardPaste = [&](QWidget*, const std::string& value, bool& allow) {
        offered = value;
        allow = false;
    };
    edit->PasteFromClipboard();
    EXPECT_EQ(offered, "99");
    EXPECT_EQ(edit->Text(), "994");
    edit->OnClipboardPaste = nullptr;
    // OnClipboardCut may refuse too: the clipboard and the text stay.
    edit->OnClipboardCut = [&](QWidget*, const std::string& value, bool& allow) {
        offered = value;
        allow = false;
    };
    edit->setSelection(4, 2);
    Press(edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(offered, "99");
    EXPECT_EQ(board.Text(), u"99");
    EXPECT_EQ(edit->Text(), "994");
    board.SetText(u"bleibt");
    edit->OnClipboardCut = nullptr;
    edit->setSelection(0, 4);  // the prefix alone: no value to cut
    Press(edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(board.Text(), u"bleibt");
    board.SetText(u"99");

    // Float without decimals takes no decimal separator; with them the value is formatted.
    edit->SetPrefix("");
    edit->SetEditType(TEnhEditType::etFloat);
    edit->selectAll();
    board.SetText(u"1,5");
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), "994");
    edit->SetPrecision(2);
    edit->selectAll();
    board.SetText(u"1.234,5");
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), "1234,50");
    // Money selects all of a value longer than three characters.
    edit->SetEditType(TEnhEditType::etMoney);
    edit->setCursorPosition(0);
    board.SetText(u"9");
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), "91.234,50");
    EXPECT_EQ(edit->selectedText(), QStringLiteral("91.234,50"));
    // One line only, as a drop takes it: the first line of a copied address; an empty first line
    // pastes nothing (the selection stays).
    edit->SetEditType(TEnhEditType::etString);
    edit->selectAll();
    board.SetText(u"/home/daten/Kl\u00E4ranlage\r\nzweite Zeile");
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), "/home/daten/Kl\u00E4ranlage");
    edit->selectAll();
    board.SetText(u"\nzweite Zeile");
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), "/home/daten/Kl\u00E4ranlage");
    // Case types convert; hex and range lists take no paste.
    edit->SetEditType(TEnhEditType::etUppercase);
    edit->selectAll();
    board.SetText(u"abc");
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), "ABC");
    edit->SetEditType(TEnhEditType::etRange);
    edit->selectAll();
    board.SetText(u"1-3");
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), "ABC");
    // A password is never copied.
    edit->SetEditType(TEnhEditType::etPassword);
    EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(edit->CanUndo());
    edit->selectAll();
    edit->CopyToClipboard();
    EXPECT_EQ(board.Text(), u"1-3");
}

TEST_F(EnhEdit, ContextMenuGoesThroughTheRules)
{
    MemoryClipboard board;
    ScopedClipboard scope(board);
    auto* edit = new TEnhEdit(dialog_.get());
    edit->SetEditType(TEnhEditType::etNumeric);
    edit->SetText("5");
    edit->setCursorPosition(1);
    board.SetText(u"x");
    std::unique_ptr<QMenu> menu = edit->CreateContextMenu();
    const QList<QAction*> actions = menu->actions();
    const auto action = [&](const QString& caption) {
        const auto found = std::find_if(actions.begin(), actions.end(), [&](QAction* a) { return a->text() == caption; });
        return found == actions.end() ? nullptr : *found;
    };
    QAction* paste = action(QStringLiteral("&Einfügen"));
    ASSERT_NE(paste, nullptr);
    paste->trigger();
    EXPECT_EQ(edit->Text(), "5");
    ASSERT_NE(action(QStringLiteral("&Ausschneiden")), nullptr);
    EXPECT_FALSE(action(QStringLiteral("&Ausschneiden"))->isEnabled());
}

TEST_F(EnhEdit, TextKeptInAnIniFile)
{
    velmoran::testing::TempFolder folder;
    const std::string ini = folder / "Eingaben.ini";
    {
        TEnhEdit edit;
        edit.setObjectName(QStringLiteral("edProjekt"));
        edit.Persistence() = {true, ini, "Projekt", TPersistenceLocation::plInifile};
        edit.SetPrefix("P: ");
        edit.Loaded();
        EXPECT_EQ(edit.Text(), "");
        edit.SetText("Kläranlage Nord");
    }
    EXPECT_NE(velmoran::testing::TempFolder::Read(ini).find("edProjekt"), std::string::npos);
    TEnhEdit again;
    again.setObjectName(QStringLiteral("edProjekt"));
    again.Persistence() = {true, ini, "Projekt", TPersistenceLocation::plInifile};
    again.Loaded();
    EXPECT_EQ(again.text(), QStringLiteral("P: Kläranlage Nord"));
    // A value absent leaves the text.
    TEnhEdit other;
    other.setObjectName(QStringLiteral("edIngenieur"));
    other.SetText("Meier");
    other.Persistence() = {true, ini, "Projekt", TPersistenceLocation::plInifile};
    other.Loaded();
    EXPECT_EQ(other.Text(), "Meier");
    other.Persistence().Enable = false;
    // With persistence off a stored value is not read.
    TEnhEdit off;
    off.setObjectName(QStringLiteral("edProjekt"));
    off.SetText("Eigene Angabe");
    off.Persistence() = {false, ini, "Projekt", TPersistenceLocation::plInifile};
    off.Loaded();
    EXPECT_EQ(off.Text(), "Eigene Angabe");
}

TEST_F(EnhEdit, AddressesOpenThroughTheShell)
{
    RecordingShell shell;
    ScopedShell scope(shell);
    auto* edit = new TEnhEdit(dialog_.get());
    edit->resize(200, 21);
    edit->SetShowURL(true);
    edit->SetText("info@orvelan.de");
    EXPECT_TRUE(edit->UrlShown());
    EXPECT_EQ(edit->ShownFontColor(), clBlue);
    EXPECT_TRUE(edit->font().underline());
    // Not focused: the click only focuses.
    Mouse(edit, QEvent::MouseButtonPress, 5, 5);
    Mouse(edit, QEvent::MouseButtonRelease, 5, 5);
    EXPECT_TRUE(shell.Opened().empty());
    Show();
    edit->setFocus();
    QApplication::processEvents();
    Mouse(edit, QEvent::MouseButtonPress, 5, 5);
    Mouse(edit, QEvent::MouseButtonRelease, 5, 5);
    edit->SetText("https://orvelan.de/velmoran");
    Mouse(edit, QEvent::MouseButtonPress, 5, 5);
    EXPECT_EQ(shell.Opened(), (std::vector<std::string>{"mailto:info@orvelan.de", "https://orvelan.de/velmoran"}));
    // Only web and mail addresses open, as on the result pages.
    edit->SetText("file:///etc/passwd");
    EXPECT_TRUE(edit->UrlShown());
    Mouse(edit, QEvent::MouseButtonPress, 5, 5);
    EXPECT_EQ(shell.Opened().size(), 2u);
    edit->SetText("Kläranlage");
    EXPECT_FALSE(edit->UrlShown());
    EXPECT_FALSE(edit->font().underline());
}

TEST_F(EnhEdit, LabelInItsTenPlaces)
{
    auto* edit = new TEnhEdit(dialog_.get());
    edit->setGeometry(150, 100, 120, 21);
    EXPECT_EQ(edit->Label(), nullptr);
    EXPECT_EQ(edit->LabelCaption(), "");
    edit->SetLabelMargin(6);
    edit->SetLabelCaption("Zufluss & Ablauf");
    QLabel* label = edit->Label();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->buddy(), edit);
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_EQ(label->parentWidget(), dialog_.get());
    const int w = label->width();
    const int h = label->height();
    struct Place {
        TLabelPosition Position;
        int X, Y;
    };
    const Place places[] = {
        {TLabelPosition::lpLeftTop, 150 - w - 6, 100},
        {TLabelPosition::lpLeftCenter, 150 - w - 6, 100 + (21 - h) / 2},
        {TLabelPosition::lpLeftBottom, 150 - w - 6, 121 - h},
        {TLabelPosition::lpTopLeft, 150, 100 - h - 6},
        {TLabelPosition::lpBottomLeft, 150, 127},
        {TLabelPosition::lpLeftTopLeft, 144, 100},
        {TLabelPosition::lpLeftCenterLeft, 144, 100 + (21 - h) / 2},
        {TLabelPosition::lpLeftBottomLeft, 144, 121 - h},
        {TLabelPosition::lpTopCenter, 150 + (120 - w) / 2, 100 - h - 6},
        {TLabelPosition::lpBottomCenter, 150 + (120 - w) / 2, 127},
    };
    for (const Place& place : places) {
        edit->SetLabelPosition(place.Position);
        EXPECT_EQ(label->pos(), QPoint(place.X, place.Y)) << static_cast<int>(place.Position);
    }
    // The label follows the edit, its visibility and its enabled state.
    Show();
    edit->move(160, 100);
    EXPECT_EQ(label->x(), 160 + (120 - w) / 2);
    edit->setVisible(false);
    EXPECT_TRUE(label->isHidden());
    edit->setEnabled(false);
    EXPECT_FALSE(label->isEnabled());
}

TEST_F(EnhEdit, DisabledColourAndBack)
{
    auto* edit = new TEnhEdit(dialog_.get());
    edit->SetColor(RGBRef(255, 255, 0));
    EXPECT_EQ(edit->palette().color(QPalette::Base), QColor(255, 255, 0));
    edit->setEnabled(false);
    EXPECT_EQ(edit->ShownColor(), 0xC0C0C0u);
    EXPECT_EQ(edit->palette().color(QPalette::Disabled, QPalette::Base), QColor(0xC0, 0xC0, 0xC0));
    edit->setEnabled(true);
    EXPECT_EQ(edit->palette().color(QPalette::Active, QPalette::Base), QColor(255, 255, 0));
    // Flat takes the parent's colour and gives the own one back.
    QPalette grey = dialog_->palette();
    grey.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    dialog_->setPalette(grey);
    edit->SetFlat(true);
    EXPECT_FALSE(edit->hasFrame());
    EXPECT_EQ(edit->ShownColor(), 0xC0C0C0u);
    edit->SetFlat(false);
    EXPECT_EQ(edit->ShownColor(), RGBRef(255, 255, 0));
    EXPECT_TRUE(edit->hasFrame());
}

TEST_F(EnhEdit, DrawnOverTheLineEdit)
{
    auto* edit = new TEnhEdit(dialog_.get());
    auto* next = new QLineEdit(dialog_.get());
    next->move(0, 40);
    edit->resize(100, 21);
    edit->SetEmptyText("Name");
    RecordingCanvas canvas(engine_, 100, 21);
    edit->PaintOverlay(canvas);
    EXPECT_EQ(CallsWith(canvas, "TextOut"), (std::vector<std::string>{"TextOut 2,2 'Name'"}));
    EXPECT_NE(canvas.Text().find("TextColor #808080"), std::string::npos);
    // Not with a value, and not while focused.
    edit->SetText("x");
    canvas.Clear();
    edit->PaintOverlay(canvas);
    EXPECT_TRUE(CallsWith(canvas, "TextOut").empty());
    edit->SetText("");
    Show();
    edit->setFocus();
    QApplication::processEvents();
    canvas.Clear();
    edit->PaintOverlay(canvas);
    EXPECT_TRUE(CallsWith(canvas, "TextOut").empty());
    next->setFocus();

    // Flat: a line along the bottom row from the formatting rectangle's left less two, or a
    // soft border from four above its top.
    edit->SetEmptyText("");
    edit->SetFlat(true);
    canvas.Clear();
    edit->PaintOverlay(canvas);
    EXPECT_EQ(canvas.Calls(), (std::vector<std::string>{"LineTo 100,20 from 0,20"}));
    edit->SetSoftBorder(true);
    canvas.Clear();
    edit->PaintOverlay(canvas);
    EXPECT_EQ(CallsWith(canvas, "Rectangle"), (std::vector<std::string>{"Rectangle 0,0,100,21"}));
    // The focus frame: two rings in the parent's colour when not hot.
    edit->SetFocusBorder(true);
    canvas.Clear();
    edit->PaintOverlay(canvas);
    EXPECT_EQ(CallsWith(canvas, "FillRect").size(), 8u);
    // Under the mouse it is hot: a sunken ring in the shadow's colour, until the mouse leaves.
    const auto shadowed = [&] {
        canvas.Clear();
        edit->PaintOverlay(canvas);
        return canvas.Text().find("#808080") != std::string::npos;
    };
    EXPECT_FALSE(shadowed());
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), edit->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(edit, &enter);
    EXPECT_TRUE(shadowed());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(edit, &leave);
    EXPECT_FALSE(shadowed());
}

// The modified colour shows only while the edit is modified and ShowModified is on: neither of
// the two alone changes the font colour, and taking either away brings the normal colour back.
TEST_F(EnhEdit, ModifiedColourOnlyForAModifiedEdit)
{
    auto* edit = new TEnhEdit(dialog_.get());
    const ColorRef normal = edit->ShownFontColor();
    edit->SetModifiedColor(clRed);
    edit->SetShowModified(true);
    EXPECT_FALSE(edit->Modified());
    EXPECT_EQ(edit->ShownFontColor(), normal);
    Show();
    edit->setFocus();
    QApplication::processEvents();
    const ColorRef focused = edit->ShownFontColor();
    TypeText(edit, u"a");
    EXPECT_TRUE(edit->Modified());
    EXPECT_EQ(edit->ShownFontColor(), clRed);
    EXPECT_EQ(edit->palette().color(QPalette::Active, QPalette::Text), QColor(Qt::red));
    edit->SetShowModified(false);
    EXPECT_TRUE(edit->Modified());
    EXPECT_EQ(edit->ShownFontColor(), focused);
    // Delete before a suffix and Backspace after a prefix modify too.
    edit->SetSuffix(" m");
    edit->SetPrefix("L = ");
    edit->SetText("12");
    edit->SetModifiedState(false);
    ASSERT_FALSE(edit->Modified());
    edit->setCursorPosition(4);
    Press(edit, Qt::Key_Delete);
    EXPECT_EQ(edit->Text(), "2");
    EXPECT_TRUE(edit->Modified());
    edit->SetText("12");
    edit->SetModifiedState(false);
    edit->setCursorPosition(6);
    Press(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->Text(), "1");
    EXPECT_TRUE(edit->Modified());
}

// A password shows one "*" for every character whatever the desktop style would show, and the
// text again once the type changes back.
TEST_F(EnhEdit, PasswordShowsStars)
{
    auto* edit = new TEnhEdit(dialog_.get());
    edit->SetText("Klär1");
    edit->SetEditType(TEnhEditType::etPassword);
    EXPECT_EQ(edit->displayText(), QStringLiteral("*****"));
    EXPECT_EQ(edit->Text(), "Klär1");
    edit->SetEditType(TEnhEditType::etString);
    EXPECT_EQ(edit->displayText(), QStringLiteral("Klär1"));
}

// A float edit with one decimal formats what is written into it like what is typed.
TEST_F(EnhEdit, FloatWithOneDecimalFormatsWrittenText)
{
    auto* edit = new TEnhEdit(dialog_.get());
    edit->SetEditType(TEnhEditType::etFloat);
    edit->SetPrecision(1);
    edit->SetText("2");
    EXPECT_EQ(edit->Text(), "2,0");
    edit->SetText("3,25");
    EXPECT_EQ(edit->Text(), "3,3");
}

// The focus looks: wider by FocusWidthInc, aligned by FocusAlign and with a bold label while
// focused, all given back on leaving; AutoFocus takes the focus when the mouse comes in; with
// HintShowLargeText the hint shows a value wider than the edit, and only then.
TEST_F(EnhEdit, FocusLooksComeAndGoWithTheFocus)
{
    auto* edit = new TEnhEdit(dialog_.get());
    auto* next = new QLineEdit(dialog_.get());
    next->move(0, 60);
    edit->setGeometry(100, 10, 80, 21);
    edit->SetLabelCaption("Zulauf");
    edit->SetFocusWidthInc(30);
    edit->SetFocusAlign(TEditAlign::eaRight);
    edit->SetFocusLabel(true);
    Show();
    next->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(edit->Label()->font().bold());
    const Qt::Alignment normalAlign = edit->alignment();
    edit->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(edit->width(), 110);
    EXPECT_TRUE(edit->alignment() & Qt::AlignRight);
    EXPECT_TRUE(edit->Label()->font().bold());
    next->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(edit->width(), 80);
    EXPECT_EQ(edit->alignment(), normalAlign);
    EXPECT_FALSE(edit->Label()->font().bold());

    QEnterEvent enter(QPointF(5, 5), QPointF(105, 15), edit->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(edit, &enter);
    EXPECT_FALSE(edit->hasFocus());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(edit, &leave);
    edit->SetAutoFocus(true);
    QApplication::sendEvent(edit, &enter);
    EXPECT_TRUE(edit->hasFocus());
    next->setFocus();

    // The hint shows the value (and the event is taken), or the edit has no hint to show.
    const auto hint = [&] {
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), edit->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(edit, &help);
        return help.isAccepted() ? QToolTip::text() : QString();
    };
    const std::string wide = "Belebungsbecken mit vorgeschalteter Denitrifikation";
    edit->SetText(wide);
    EXPECT_TRUE(hint().isEmpty());
    edit->SetHintShowLargeText(true);
    EXPECT_EQ(hint(), QString::fromStdString(wide));
    // Laid over the edit from its top-left corner, the value reads on where the edit cuts it.
    ASSERT_NE(ShownHintWindow(), nullptr);
    EXPECT_EQ(ShownHintWindow()->pos(), edit->mapToGlobal(QPoint(0, 0)));
    edit->SetText("12");
    EXPECT_TRUE(hint().isEmpty());
    QToolTip::hideText();
}
