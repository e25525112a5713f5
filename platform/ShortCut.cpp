// The shortcut values and their German texts; see ShortCut.h.
#include "platform/ShortCut.h"

#include <QKeyEvent>

#include <array>

namespace velmoran {

namespace {

struct KeyEntry {
    int QtKey;
    int Code;
    const char* Text;
};

// The named keys; letters, digits and function keys are computed.
constexpr std::array kNamedKeys{
    KeyEntry{Qt::Key_Backspace, 0x08, "Rück"},   KeyEntry{Qt::Key_Tab, 0x09, "Tab"},
    KeyEntry{Qt::Key_Return, 0x0D, "Eingabe"},   KeyEntry{Qt::Key_Enter, 0x0D, "Eingabe"},
    KeyEntry{Qt::Key_Escape, 0x1B, "Esc"},       KeyEntry{Qt::Key_Space, 0x20, "Leer"},
    KeyEntry{Qt::Key_PageUp, 0x21, "Bild auf"},  KeyEntry{Qt::Key_PageDown, 0x22, "Bild ab"},
    KeyEntry{Qt::Key_End, 0x23, "Ende"},         KeyEntry{Qt::Key_Home, 0x24, "Pos1"},
    KeyEntry{Qt::Key_Left, 0x25, "Links"},       KeyEntry{Qt::Key_Up, 0x26, "Auf"},
    KeyEntry{Qt::Key_Right, 0x27, "Rechts"},     KeyEntry{Qt::Key_Down, 0x28, "Ab"},
    KeyEntry{Qt::Key_Insert, 0x2D, "Einfg"},     KeyEntry{Qt::Key_Delete, 0x2E, "Entf"},
};

constexpr int kF1 = 0x70;

}  // namespace

int KeyCodeOfQtKey(int qtKey)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return 0x41 + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return 0x30 + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return kF1 + (qtKey - Qt::Key_F1);
    for (const KeyEntry& entry : kNamedKeys)
        if (entry.QtKey == qtKey)
            return entry.Code;
    return 0;
}

TShortCut ShortCutOf(int keyCode, Qt::KeyboardModifiers modifiers)
{
    if (keyCode <= 0 || keyCode > 0xFF)
        return 0;
    TShortCut value = static_cast<TShortCut>(keyCode);
    if (modifiers & Qt::ShiftModifier)
        value |= scShift;
    if (modifiers & Qt::ControlModifier)
        value |= scCtrl;
    if (modifiers & Qt::AltModifier)
        value |= scAlt;
    return value;
}

TShortCut ShortCutFromKeyEvent(const QKeyEvent& event)
{
    return ShortCutOf(KeyCodeOfQtKey(event.key()), event.modifiers());
}

namespace {

std::string KeyText(int code)
{
    if ((code >= 0x41 && code <= 0x5A) || (code >= 0x30 && code <= 0x39))
        return std::string(1, static_cast<char>(code));
    if (code >= kF1 && code < kF1 + 12)
        return "F" + std::to_string(code - kF1 + 1);
    for (const KeyEntry& entry : kNamedKeys)
        if (entry.Code == code)
            return entry.Text;
    return {};
}

}  // namespace

std::string ShortCutToText(TShortCut shortCut)
{
    std::string key = KeyText(shortCut & 0xFF);
    if (key.empty())
        return {};
    std::string text;
    if (shortCut & scShift)
        text += "Umschalt+";
    if (shortCut & scCtrl)
        text += "Strg+";
    if (shortCut & scAlt)
        text += "Alt+";
    return text + key;
}

}  // namespace velmoran
