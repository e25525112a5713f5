// A key pressed with Ctrl, Alt or Meta (the Super key) is a command, never text: Alt+H in an edit
// types no "h", Super+A no "a". One application filter takes the text off such a key press
// before any widget sees it; shortcuts, mnemonics and the menu bar's Alt+letter match on the key,
// before that, and still work.
#pragma once

class QApplication;
class QKeyEvent;

namespace velmoran {

// Installs the filter on the application (once; the filter goes with the application).
void InstallCommandKeys(QApplication& application);

// Whether the key press is a command: Ctrl, Alt or Meta held. AltGr reaches the program as a
// modifier of its own, so the characters it types stay text.
bool IsCommandKey(const QKeyEvent& key);

// Takes the text off a command key press; other keys keep theirs.
void DropCommandText(QKeyEvent& key);

}  // namespace velmoran
