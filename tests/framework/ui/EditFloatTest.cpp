// The float edit and the input frames: range colours, the key filter, the commit (which changes
// nothing for a text the user left alone), the program's setters, and the frames' parts and
// properties; a row of frames in their colours is saved for a person to look at.
#include "framework/ui/EditFloat.h"
#include "framework/ui/VarFrame.h"
#include "platform/core/FormatSettings.h"
#include "tests/support/DialogScript.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TestApp.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTest>

#include <cstring>

using namespace velmoran;

namespace {

constexpr ColorRef kYellow = RGBRef(255, 255, 0);
constexpr ColorRef kRed = RGBRef(255, 0, 0);
constexpr ColorRef kWhite = RGBRef(255, 255, 255);

class EditFloatTest : public ::testing::Test {
protected:
    EditFloatTest() { velmoran::testing::App(); }

    // An edit with the bounds of the colour cases: warning 10..20, hard 5..30, missing -1.
    void SetBounds()
    {
        edit.SetValueMissing(-1);
        edit.SetValueLo(10);
        edit.SetValueHi(20);
        edit.SetValueMin(5);
        edit.SetValueMax(30);
    }
    // Types the keys into the edit one by one.
    void Type(const QString& keys) { QTest::keyClicks(&edit, keys); }

    ScopedFormatSettings german{FormatSettings::German()};
    TEditFloat edit;
    int validated = 0;
};

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

TEST_F(EditFloatTest, RangeColoursWithTheirTolerance)
{
    const ColorRef normal = edit.BackgroundColor();
    SetBounds();
    const struct {
        double Value;
        ColorRef Background;
    } cases[] = {{9.995, normal}, {9.98, kYellow}, {4.99, kRed}, {15, normal},
                 {20.01, normal}, {20.03, kYellow}, {30.04, kRed}};
    for (const auto& c : cases) {
        edit.SetValue(c.Value);
        EXPECT_EQ(edit.BackgroundColor(), c.Background) << c.Value;
        EXPECT_EQ(edit.FontColor() == kWhite, c.Background == kRed) << c.Value;
    }
}

TEST_F(EditFloatTest, MissingKeepsTheBackgroundAndHidesOnlyWhenAsked)
{
    SetBounds();
    edit.SetValue(31);
    ASSERT_EQ(edit.BackgroundColor(), kRed);
    edit.SetValue(-1);  // missing after red: the red stays, the text colour is normal again
    EXPECT_EQ(edit.BackgroundColor(), kRed);
    EXPECT_NE(edit.FontColor(), kWhite);
    TEditFloat hidden;
    hidden.SetValueMissing(-1);
    hidden.SetHideMissing(true);
    hidden.SetValue(-1);
    EXPECT_EQ(hidden.FontColor(), hidden.BackgroundColor());
    hidden.SetValue(3);
    EXPECT_NE(hidden.FontColor(), hidden.BackgroundColor());
}

TEST_F(EditFloatTest, AllBoundsZeroNeverColourAndZeroCommitsAsMissing)
{
    const ColorRef normal = edit.BackgroundColor();
    for (double v : {-1e9, -3.0, 0.0, 0.5, 1e9}) {
        edit.SetValue(v);
        EXPECT_EQ(edit.BackgroundColor(), normal) << v;
    }
    edit.SetValue(7);
    edit.OnValidate = [this](TEditFloat*) { ++validated; };
    edit.clear();
    Type(QStringLiteral("0"));
    edit.Commit();
    EXPECT_EQ(edit.Value(), edit.ValueMissing());
    EXPECT_EQ(validated, 1);
}

// Equal bounds are no range: hard bounds Min = Max leave only the warning colour, equal warning
// bounds leave only the hard one.
TEST_F(EditFloatTest, EqualBoundsAreNoRange)
{
    const ColorRef normal = edit.BackgroundColor();
    SetBounds();
    edit.SetValueMin(25);
    edit.SetValueMax(25);
    edit.SetValue(26);
    EXPECT_EQ(edit.BackgroundColor(), kYellow);
    edit.SetValue(9);
    EXPECT_EQ(edit.BackgroundColor(), kYellow);
    edit.SetValueMin(5);
    edit.SetValueMax(30);
    edit.SetValueLo(15);
    edit.SetValueHi(15);
    edit.SetValue(25);
    EXPECT_EQ(edit.BackgroundColor(), normal);
    edit.SetValue(31);
    EXPECT_EQ(edit.BackgroundColor(), kRed);
}

// A value exactly at a bound's tolerance is still inside it, at all four bounds.
TEST_F(EditFloatTest, AValueAtTheToleranceIsInside)
{
    const ColorRef normal = edit.BackgroundColor();
    SetBounds();
    edit.SetValue(1.001 * 20);
    EXPECT_EQ(edit.BackgroundColor(), normal);
    edit.SetValue(0.999 * 10);
    EXPECT_EQ(edit.BackgroundColor(), normal);
    edit.SetValue(1.001 * 30);
    EXPECT_EQ(edit.BackgroundColor(), kYellow);
    edit.SetValue(0.999 * 5);
    EXPECT_EQ(edit.BackgroundColor(), kYellow);
}

TEST_F(EditFloatTest, KeyFilterTypesOneDecimalSeparatorAndOneMinus)
{
    Type(QStringLiteral("1,5"));
    EXPECT_EQ(edit.text(), QStringLiteral("1,5"));
    Type(QStringLiteral("."));
    EXPECT_EQ(edit.text(), QStringLiteral("1,5"));  // a second separator is refused
    edit.clear();
    Type(QStringLiteral(".5"));
    EXPECT_EQ(edit.text(), QStringLiteral(",5"));  // "." types the decimal separator
    edit.clear();
    Type(QStringLiteral("-3"));
    QTest::keyClick(&edit, Qt::Key_Home);
    Type(QStringLiteral("-"));
    QTest::keyClick(&edit, Qt::Key_End);
    Type(QStringLiteral("-"));
    EXPECT_EQ(edit.text(), QStringLiteral("-3"));  // wherever the first "-" stands
    Type(QStringLiteral("#$%'aE +"));
    EXPECT_EQ(edit.text(), QStringLiteral("-3"));
    // Digits of other scripts would commit as missing: only "0" to "9" are digits here.
    for (const char16_t digit : {u'\u0663', u'\u0967', u'\uFF15'}) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(digit)));
        QApplication::sendEvent(&edit, &key);
    }
    EXPECT_EQ(edit.text(), QStringLiteral("-3"));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Left);
    Type(QStringLiteral("4"));
    EXPECT_EQ(edit.text(), QStringLiteral("4-"));  // editing keys work as in any edit
}

// The filter once looked at the text before the key replaced the selection: "," typed over a
// selected "3,5" was dropped, so ",5" became 5, and "-" over a selected "-5" gave 3 for "-3". It
// judges the text as the key leaves it: what is selected goes, what stays counts.
TEST_F(EditFloatTest, KeyFilterJudgesTheTextTheKeyLeaves)
{
    const auto typeOver = [this](const QString& old, int start, int length, const QString& keys) {
        edit.setText(old);
        edit.setSelection(start, length);
        Type(keys);
        return edit.text();
    };
    EXPECT_EQ(typeOver(QStringLiteral("3,5"), 0, 3, QStringLiteral(",5")), QStringLiteral(",5"));
    EXPECT_EQ(typeOver(QStringLiteral("3,5"), 0, 3, QStringLiteral(".5")), QStringLiteral(",5"));
    EXPECT_EQ(typeOver(QStringLiteral("-5"), 0, 2, QStringLiteral("-3")), QStringLiteral("-3"));
    EXPECT_EQ(typeOver(QStringLiteral("12,25"), 2, 1, QStringLiteral(",")), QStringLiteral("12,25"));
    EXPECT_EQ(typeOver(QStringLiteral("-12"), 0, 1, QStringLiteral("-")), QStringLiteral("-12"));
    // What stays beside the selection still counts.
    EXPECT_EQ(typeOver(QStringLiteral("1,25"), 2, 2, QStringLiteral(",")), QStringLiteral("1,25"));
    EXPECT_EQ(typeOver(QStringLiteral("-12"), 1, 2, QStringLiteral("-4")), QStringLiteral("-4"));
    // Selected backwards (Shift+Left) it is the same selection.
    edit.setText(QStringLiteral("0,17"));
    edit.end(false);
    edit.cursorBackward(true, 4);
    Type(QStringLiteral(","));
    EXPECT_EQ(edit.text(), QStringLiteral(","));
}

TEST_F(EditFloatTest, KeyFilterWithAPointSeparator)
{
    FormatSettings english = FormatSettings::German();
    english.DecimalSeparator = '.';
    ScopedFormatSettings scoped(english);
    Type(QStringLiteral(",25"));
    EXPECT_EQ(edit.text(), QStringLiteral(".25"));
    edit.Commit();
    EXPECT_EQ(edit.Value(), 0.25);
}

TEST_F(EditFloatTest, CommitOfNoNumberGivesMissingOnce)
{
    edit.SetValueMissing(-1);
    edit.SetValue(5);
    edit.OnValidate = [this](TEditFloat* sender) {
        EXPECT_EQ(sender, &edit);
        ++validated;
    };
    edit.clear();
    Type(QStringLiteral("1-2"));
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(edit.Value(), -1);
    EXPECT_EQ(edit.text(), QStringLiteral("1-2"));  // the text stays as typed
    EXPECT_EQ(validated, 1);
    edit.Commit();  // committed already: the text counts as unchanged
    EXPECT_EQ(validated, 1);

    QGuiApplication::clipboard()->setText(QStringLiteral("abc"));
    edit.selectAll();
    edit.paste();  // pasted text is not filtered
    EXPECT_EQ(edit.text(), QStringLiteral("abc"));
    edit.SetValueMissing(-2);
    edit.Commit();
    EXPECT_EQ(edit.Value(), -2);
    EXPECT_EQ(validated, 2);
}

// With CheckOnExit the edit refuses text that is no number instead of committing the missing
// value: Enter and a command say so, naming the field, and the value and the text stay. A command
// of the window also takes a number typed into an edit that lost the focus unseen (its window was
// not the active one, so no focus loss committed it).
TEST_F(EditFloatTest, CheckOnExitRefusesTextThatIsNoNumber)
{
    ScriptedPromptService prompts;
    QWidget window;
    auto* refusing = new TEditFloat(&window);
    auto* other = new TEditFloat(&window);
    refusing->CheckOnExit = true;
    refusing->FieldName = "Temperatur T";
    refusing->SetValue(12);
    other->SetValue(3);
    refusing->OnValidate = [this](TEditFloat*) { ++validated; };
    for (const char* typed : {"25-", ",", "-", ""}) {
        refusing->setText(QString::fromUtf8(typed));
        QTest::keyClick(refusing, Qt::Key_Return);
        EXPECT_EQ(refusing->Value(), 12) << typed;
        EXPECT_EQ(refusing->text().toStdString(), typed);
        EXPECT_FALSE(CommitFocusedEdit(window)) << typed;
    }
    ASSERT_EQ(prompts.Messages().size(), 8u);
    EXPECT_EQ(prompts.Messages()[0].Text, "„25-“ im Feld „Temperatur T“ ist keine Zahl.");
    EXPECT_EQ(prompts.Messages()[1].Text, prompts.Messages()[0].Text);
    EXPECT_EQ(prompts.Messages()[6].Text, "Das Feld „Temperatur T“ ist leer: Ein leeres Feld ist keine Zahl.");
    EXPECT_EQ(validated, 0);

    refusing->setText(QStringLiteral("13"));
    other->setText(QStringLiteral("4"));
    EXPECT_TRUE(CommitFocusedEdit(window));
    EXPECT_EQ(refusing->Value(), 13);
    EXPECT_EQ(other->Value(), 4);
    EXPECT_EQ(validated, 1);
    EXPECT_EQ(prompts.Messages().size(), 8u);

    // Without CheckOnExit the control keeps its own commit: the missing value, without a word.
    other->setText(QStringLiteral("25-"));
    EXPECT_TRUE(CommitFocusedEdit(window));
    EXPECT_EQ(other->Value(), other->ValueMissing());
    EXPECT_EQ(prompts.Messages().size(), 8u);
}

// After a refusal the correction was typed behind the refused text ("25-" and 7 gave "25-7"): the
// field takes the focus back with its text selected. Typing a window gives up comes back as it
// was set, and its refusal is not said.
TEST_F(EditFloatTest, ARefusedTextComesBackSelectedAndGivenUpTypingIsGone)
{
    ScriptedPromptService prompts;
    edit.CheckOnExit = true;
    edit.SetValue(12);
    edit.show();
    QApplication::setActiveWindow(&edit);
    Type(QStringLiteral("5-"));
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(edit.selectedText(), QStringLiteral("125-"));
    Type(QStringLiteral("7"));
    EXPECT_EQ(edit.text(), QStringLiteral("7"));
    QTest::keyClick(&edit, Qt::Key_Escape);
    edit.DiscardTyping();
    EXPECT_EQ(edit.text(), QStringLiteral("12"));
    EXPECT_TRUE(edit.ConfirmNumber());
    EXPECT_EQ(prompts.Messages().size(), 1u);
}

// A field left with text it refuses says so once the focus has moved on: once, even where a
// command (a click on a button that takes no focus) has said it before the message was due. A
// field left for another window (the message itself, a menu) says nothing.
TEST_F(EditFloatTest, ARefusalAfterAFocusLossIsSaidOnce)
{
    ScriptedPromptService prompts;
    QWidget window;
    auto* refusing = new TEditFloat(&window);
    refusing->CheckOnExit = true;
    refusing->FieldName = "Temperatur T";
    refusing->SetValue(12);
    refusing->setText(QStringLiteral("25-"));
    const auto leave = [refusing](Qt::FocusReason reason) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(refusing, &out);
    };
    leave(Qt::TabFocusReason);
    EXPECT_FALSE(CommitFocusedEdit(window));
    QCoreApplication::processEvents();
    EXPECT_EQ(prompts.Messages().size(), 1u);
    leave(Qt::MouseFocusReason);
    EXPECT_EQ(prompts.Messages().size(), 1u);
    QCoreApplication::processEvents();
    EXPECT_EQ(prompts.Messages().size(), 2u);
    leave(Qt::ActiveWindowFocusReason);
    leave(Qt::PopupFocusReason);
    QCoreApplication::processEvents();
    ASSERT_EQ(prompts.Messages().size(), 2u);
    EXPECT_EQ(prompts.Messages()[1].Text, "„25-“ im Feld „Temperatur T“ ist keine Zahl.");
    EXPECT_EQ(refusing->Value(), 12);
}

TEST_F(EditFloatTest, EnterCommitsAndEscapeClears)
{
    edit.OnValidate = [this](TEditFloat*) { ++validated; };
    Type(QStringLiteral("12,5"));
    EXPECT_EQ(edit.Value(), 0);  // typing changes only the text
    QTest::keyClick(&edit, Qt::Key_Enter);
    EXPECT_EQ(edit.Value(), 12.5);
    QTest::keyClick(&edit, Qt::Key_Escape);
    EXPECT_EQ(edit.text(), QString());
    EXPECT_EQ(validated, 1);
}

TEST_F(EditFloatTest, ProgramSettersFireNothing)
{
    SetBounds();
    edit.OnValidate = [this](TEditFloat*) { ++validated; };
    edit.SetValue(1234.5);
    EXPECT_EQ(edit.text(), QStringLiteral("1234,5"));
    edit.SetValue(31);
    edit.SetAsString("abc");  // no number: value and colour stay
    EXPECT_EQ(edit.AsString(), "abc");
    EXPECT_EQ(edit.Value(), 31);
    EXPECT_EQ(edit.BackgroundColor(), kRed);
    edit.SetAsString("15");
    EXPECT_EQ(edit.Value(), 15);
    EXPECT_NE(edit.BackgroundColor(), kRed);
    edit.SetValue(2.25);
    edit.setText(QStringLiteral("7"));
    edit.SetDisplayFormat("###0.0");  // stored, not applied: the value shows in the general format
    EXPECT_EQ(edit.DisplayFormat(), "###0.0");
    EXPECT_EQ(edit.text(), QStringLiteral("2,25"));
    edit.Commit();
    EXPECT_EQ(validated, 0);
}

TEST_F(EditFloatTest, AnUntouchedFieldKeepsItsValueThroughFocusInAndOut)
{
    // The program's text is rounded ("0,3" for 0.1 + 0.2): a focus loss must not write it back.
    edit.OnValidate = [this](TEditFloat*) { ++validated; };
    const double value = 0.1 + 0.2;
    edit.SetValue(value);
    EXPECT_EQ(edit.text(), QStringLiteral("0,3"));
    QTest::keyClick(&edit, Qt::Key_Right);
    edit.Commit();
    edit.SetAsString("250");
    edit.Commit();
    EXPECT_TRUE(SameBits(edit.Value(), 250));
    edit.SetValue(value);
    edit.Commit();
    EXPECT_TRUE(SameBits(edit.Value(), value));
    EXPECT_EQ(validated, 0);
}

TEST_F(EditFloatTest, AlignmentShowsLeftForLeftAndCentre)
{
    EXPECT_TRUE(edit.alignment() & Qt::AlignRight);
    edit.SetAlignment(TAlignment::taCenter);
    EXPECT_TRUE(edit.alignment() & Qt::AlignLeft);
    EXPECT_EQ(edit.size(), QSize(61, 19));
}

TEST(VarFrame, PartsStandWhereTheLayoutsPutThem)
{
    velmoran::testing::App();
    TVarFrame2 two;
    TVarFrame3 three;
    EXPECT_EQ(two.size(), QSize(180, 36));
    EXPECT_EQ(two.Edit->geometry(), QRect(62, 18, 61, 17));
    EXPECT_EQ(two.FBezeichnung->geometry(), QRect(0, 0, 180, 17));
    EXPECT_EQ(two.FEinheit->x(), 126);
    EXPECT_EQ(two.FHinweis, nullptr);
    EXPECT_EQ(three.size(), QSize(180, 55));
    EXPECT_EQ(three.Edit->geometry(), QRect(62, 35, 61, 17));
    EXPECT_EQ(three.FHinweis->geometry(), QRect(0, 17, 180, 17));
    EXPECT_EQ(three.FHinweis->Font().Color, RGBRef(0, 0, 128));
    EXPECT_TRUE(three.FHinweis->Font().Bold);
    EXPECT_EQ(three.FPrompt->palette().color(QPalette::WindowText), QColor(128, 0, 0));
    EXPECT_EQ(three.FPrompt->textFormat(), Qt::PlainText);  // a "<" in a prompt is shown as written
    EXPECT_EQ(three.FEinheit->AutoSizeType(), TAutoSizeType::asHorizontal);
    EXPECT_EQ(three.FEinheit->VAlignment(), TVAlignment::tvaCenter);
}

TEST(VarFrame, PropertiesReachTheirParts)
{
    velmoran::testing::App();
    ScopedFormatSettings german(FormatSettings::German());
    TVarFrame3 frame;
    int validated = 0;
    frame.Edit->OnValidate = [&](TEditFloat*) { ++validated; };
    frame.SetBezeichnung("Zulauf CSB<sub>zb</sub>");
    EXPECT_EQ(frame.Bezeichnung(), "Zulauf CSB<sub>zb</sub>");
    frame.SetHinweis("Tagesmittel");
    EXPECT_EQ(frame.FHinweis->HTMLText(), "Tagesmittel");
    frame.SetEinheit("mg/l");
    frame.SetPrompt("C<sub>zb</sub>");
    EXPECT_EQ(frame.Einheit(), "mg/l");
    EXPECT_EQ(frame.Prompt(), "C<sub>zb</sub>");
    frame.SetValue(250.4);  // through the edit's SetValue: text follows, nothing fires
    EXPECT_EQ(frame.Edit->text(), QStringLiteral("250,4"));
    EXPECT_EQ(frame.Value(), 250.4);
    EXPECT_EQ(validated, 0);
}

TEST(VarFrame, RowOfColouredValuesAsPicture)
{
    velmoran::testing::App();
    ScopedFormatSettings german(FormatSettings::German());
    QWidget row;
    row.resize(4 * 185, 60);
    const char* captions[] = {"normal", "Warnbereich", "außerhalb", "fehlt (verborgen)"};
    const double values[] = {15, 22, 40, -1};
    TVarFrame3* frames[4];
    for (int i = 0; i < 4; ++i) {
        auto* frame = frames[i] = new TVarFrame3(&row);
        frame->move(i * 185, 2);
        frame->SetBezeichnung(std::string("T<sub>W</sub> ") + captions[i]);
        frame->SetHinweis("10 bis 20, höchstens 30");
        frame->SetPrompt("T");
        frame->SetEinheit("°C");
        frame->Edit->SetValueMissing(-1);
        frame->Edit->SetValue(-1);  // missing while the bounds come: no colour yet
        frame->Edit->SetHideMissing(true);
        frame->Edit->SetValueLo(10);
        frame->Edit->SetValueHi(20);
        frame->Edit->SetValueMin(5);
        frame->Edit->SetValueMax(30);
        frame->SetValue(values[i]);
    }
    row.show();
    const QImage shot = velmoran::testing::SaveArtifact(row, "framework", "var-frames");
    auto inside = [&](int i) {
        const QRect r = frames[i]->Edit->geometry().translated(frames[i]->pos());
        return shot.pixelColor(r.left() + 4, r.center().y());
    };
    EXPECT_EQ(inside(1), QColor(255, 255, 0));
    EXPECT_EQ(inside(2), QColor(255, 0, 0));
    EXPECT_EQ(inside(0), QColor(255, 255, 255));
    EXPECT_EQ(inside(3), QColor(255, 255, 255));
    EXPECT_EQ(frames[3]->Edit->FontColor(), frames[3]->Edit->BackgroundColor());  // hidden text
}
