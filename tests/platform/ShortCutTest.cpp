// Shortcut values from key events through the one key table, and their German texts.
#include "platform/ShortCut.h"

#include <gtest/gtest.h>

#include <QKeyEvent>

using namespace velmoran;

TEST(ShortCut, KeyEventsBecomeKeyCodesWithModifierBits)
{
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        TShortCut value;
    };
    for (const Case& c : {Case{Qt::Key_N, Qt::ControlModifier, 0x4000 | 0x4E}, Case{Qt::Key_F1, Qt::ShiftModifier, 0x2000 | 0x70},
                          Case{Qt::Key_F12, Qt::NoModifier, 0x7B}, Case{Qt::Key_Delete, Qt::NoModifier, 0x2E},
                          Case{Qt::Key_7, Qt::AltModifier, 0x8000 | 0x37},
                          Case{Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier, 0x6000 | 0x25},
                          Case{Qt::Key_Enter, Qt::NoModifier, 0x0D}, Case{Qt::Key_Eacute, Qt::NoModifier, 0}}) {
        QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers);
        EXPECT_EQ(ShortCutFromKeyEvent(event), c.value) << c.key;
    }
}

TEST(ShortCut, GermanTexts)
{
    EXPECT_EQ(ShortCutToText(scCtrl | 'N'), "Strg+N");
    EXPECT_EQ(ShortCutToText(scShift | 0x70), "Umschalt+F1");
    EXPECT_EQ(ShortCutToText(0x2E), "Entf");
    EXPECT_EQ(ShortCutToText(scShift | scCtrl | scAlt | 0x08), "Umschalt+Strg+Alt+Rück");
    const std::vector<std::pair<int, const char*>> named{
        {0x09, "Tab"},   {0x0D, "Eingabe"}, {0x1B, "Esc"},   {0x20, "Leer"},   {0x21, "Bild auf"},
        {0x22, "Bild ab"}, {0x23, "Ende"}, {0x24, "Pos1"},   {0x25, "Links"},  {0x26, "Auf"},
        {0x27, "Rechts"}, {0x28, "Ab"},    {0x2D, "Einfg"},  {0x7B, "F12"},    {0x30, "0"}};
    for (const auto& [code, text] : named)
        EXPECT_EQ(ShortCutToText(static_cast<TShortCut>(code)), text);
    EXPECT_EQ(ShortCutToText(0), "");
    EXPECT_EQ(ShortCutToText(scCtrl | 0xE9), "");
}
