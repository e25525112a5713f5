// The masked edit: the framework's masks in Qt's terms, and Text as the user sees it (blanks and
// separators included) while typing goes into the digit places only.
#include "platform/MaskEdit.h"
#include "platform/Screen.h"
#include "tests/support/TestApp.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

using namespace velmoran;

TEST(MaskEdit, MasksBecomeQtInputMasks)
{
    struct Case {
        const char* Mask;
        char DateSeparator;
        const char* Expected;
    };
    const Case cases[] = {
        {"!99/99/9999;1; ", '.', "00.00.0000; "},  // the date masks with a blank
        {"!9999/99/99;1;_", '-', "0000-00-00;_"},
        {"!99/99/99;1;", '/', "00/00/00;_"},       // no blank given: "_"
        {"00:00;0;*", '.', "99:99;*"},             // "0" required, the time separator
        {"9h/9", 'b', "0\\h\\b0;_"},               // literals Qt would read as mask characters
        {"LlAaCc#", '.', "AaNnXx#;_"},
        {">L<>l", '.', ">A!a;_"},
        {"\\9_\\;", '.', "\\9 \\;;_"},             // escaped literals stay literal
        {"", '.', ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QtInputMask(c.Mask, c.DateSeparator, ':').toStdString(), c.Expected) << c.Mask;
}

TEST(MaskEdit, TextShowsBlanksAndSeparatorsAndTypingFillsDigits)
{
    velmoran::testing::App();
    TCustomMaskEdit edit;
    int changes = 0;
    edit.OnChange = [&](QWidget* sender) {
        EXPECT_EQ(sender, &edit);
        ++changes;
    };
    edit.SetEditMask("!99/99/9999;1; ");
    EXPECT_EQ(edit.Text(), "  .  .    ");
    edit.SetText("17.03.2002");
    EXPECT_EQ(edit.Text(), "17.03.2002");
    EXPECT_FALSE(edit.Modified());
    EXPECT_GE(changes, 1);

    edit.SetText("");
    edit.setCursorPosition(0);
    QTest::keyClicks(&edit, QStringLiteral("0x5"));  // a letter has no place in the mask
    EXPECT_EQ(edit.Text(), "05.  .    ");
    EXPECT_TRUE(edit.Modified());
    EXPECT_TRUE(edit.CanModify());
    edit.setReadOnly(true);
    EXPECT_FALSE(edit.CanModify());

    // Without a mask Text is the plain text.
    TCustomMaskEdit plain;
    plain.SetText("Kläranlage");
    EXPECT_EQ(plain.Text(), "Kläranlage");
}

TEST(Screen, PixelsPerInchIsTheScreensUnlessATestSetsIt)
{
    velmoran::testing::App();
    const int screen = static_cast<int>(std::lround(QGuiApplication::primaryScreen()->logicalDotsPerInch()));
    EXPECT_EQ(ScreenPixelsPerInch(), screen);
    {
        ScopedScreenPixelsPerInch large(120);
        EXPECT_EQ(ScreenPixelsPerInch(), 120);
        // The start dialog's width at 120 dpi.
        EXPECT_EQ(ScreenPixelsPerInch() * 320 / 96, 400);
    }
    EXPECT_EQ(ScreenPixelsPerInch(), screen);
}
