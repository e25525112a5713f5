// Keyboard shortcuts as the menus store them: a 16-bit value of a key code (the classic virtual
// key numbers) and the modifier bits, read from a Qt key event through one key table and shown in
// German ("Strg+N", "Umschalt+F1", "Entf").
#pragma once

#include <Qt>

#include <cstdint>
#include <string>

class QKeyEvent;

namespace velmoran {

using TShortCut = std::uint16_t;

constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;

// The key code of a Qt key, 0 for a key the table does not know.
int KeyCodeOfQtKey(int qtKey);
// The value of a key code with Qt's modifiers.
TShortCut ShortCutOf(int keyCode, Qt::KeyboardModifiers modifiers);
// The value of a key press; 0 for a key outside the table.
TShortCut ShortCutFromKeyEvent(const QKeyEvent& event);
// German text of a shortcut; empty for 0 or an unknown key.
std::string ShortCutToText(TShortCut shortCut);

}  // namespace velmoran
