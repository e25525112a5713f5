// The typed edit's keyboard and clipboard rules as functions over the edit's state (its text with
// prefix and suffix, the caret and the selection), without a widget: the filter of typed
// characters, the rules for keys (arrows, Home, End, Delete, Backspace), the work after the edit
// inserted a character, and pasting. The edit (EnhEdit.h) feeds them its state and applies what
// they return; tests and tools can run them alone.
#pragma once

#include "controls/EnhEditText.h"

#include <optional>
#include <string>

namespace velmoran {

// The edit's text and selection. The caret is SelStart; CaretAtStart tells the edit which end of
// a selection the caret stands at (a selection made from the end backwards).
struct TEditState {
    std::u16string Text;
    int SelStart = 0;
    int SelLength = 0;
    bool CaretAtStart = false;

    int SelEnd() const { return SelStart + SelLength; }
    bool operator==(const TEditState&) const = default;
};

// Where the value lies in the text: behind the prefix (when the text starts with it) and before
// as many characters as the suffix has.
int ValueStart(const std::u16string& text, const TEnhEditRules& rules);
int ValueEnd(const std::u16string& text, const TEnhEditRules& rules);
std::u16string ValueOf(const std::u16string& text, const TEnhEditRules& rules);
// The text with another value between prefix and suffix.
std::u16string WithPrefixAndSuffix(std::u16string_view value, const TEnhEditRules& rules);

// What becomes of a typed character.
struct TCharOutcome {
    enum class Action {
        Refuse,   // dropped
        Pass,     // the edit inserts Char into State
        Replace,  // the rules changed the text: State is the result
    };
    Action What = Action::Refuse;
    char16_t Char = 0;
    TEditState State;
    // Set or cleared by the rules; nothing leaves the modified state as it is.
    std::optional<bool> Modified;
    bool CallKeyPress = false;  // Enter goes to OnKeyPress
    // After the edit inserted a passed character: re-case the value, or group the money.
    enum class After { Nothing, MixedCase, GroupMoney };
    After Then = After::Nothing;
};

// The key filter for one typed character (Backspace is u'\b', Enter u'\r', Esc 0x1B).
// fromKeypad: the character came from the numeric keypad.
TCharOutcome FilterChar(const TEditState& state, char16_t ch, bool fromKeypad, const TEnhEditRules& rules,
                        const FormatSettings& settings);

// The plain edit's own insertion of a character: Backspace deletes the selection or the
// character before the caret, any other character replaces the selection.
TEditState InsertTyped(const TEditState& state, char16_t ch);

struct TPassedOutcome {
    TEditState State;
    bool PostTab = false;     // the value is full: focus moves on
    bool Modified = false;    // the text changed
};
// The work after the edit inserted a passed character: mixed case, money grouping, and the tab
// on full length. before is the state the character was inserted into, after the edit's result.
TPassedOutcome AfterPassedChar(const TCharOutcome& outcome, const TEditState& after, const TEnhEditRules& rules,
                               const FormatSettings& settings);

// One typed character from start to end, the plain edit's insertion included.
TPassedOutcome TypeCharacter(const TEditState& state, char16_t ch, const TEnhEditRules& rules,
                             const FormatSettings& settings, bool fromKeypad = false);

// The keys the key rules know.
enum class TEditKey { Other, Left, Right, Home, End, Delete, Backspace, Enter };

struct TKeyOutcome {
    // The key goes no further: neither OnKeyDown nor the plain edit sees it. Backspace and Enter
    // carry a character as well, which the character rules still judge.
    bool Swallow = false;
    std::optional<TEditState> State;  // a new caret or selection
    bool SetModified = false;
    bool PostTab = false;  // Enter with ReturnIsTab
};
TKeyOutcome FilterKey(const TEditState& state, TEditKey key, bool shift, const TEnhEditRules& rules,
                      const FormatSettings& settings);
// After the plain edit handled a key (a character key included, before its character is
// typed): money is grouped again after Delete, and a caret left in the prefix goes to its end,
// one in the suffix to the value's end.
TEditState AfterKey(const TEditState& state, TEditKey key, const TEnhEditRules& rules, const FormatSettings& settings);

struct TPasteOutcome {
    bool Accepted = false;
    TEditState State;
    bool SetModified = false;
};
// Pasting the first line of a clipboard text into the value by the type's rules.
TPasteOutcome PasteInto(const TEditState& state, std::u16string_view clip, const TEnhEditRules& rules,
                        const FormatSettings& settings);

// The money grouping applied to the edit: the characters right of the caret stay as many as
// they were, the selection is emptied.
TEditState GroupMoney(const TEditState& state, const TEnhEditRules& rules, const FormatSettings& settings);

// The text a FloatValue write leaves: the Text write of the value's text, money grouped.
std::u16string ValueWriteText(double value, const TEnhEditRules& rules, const FormatSettings& settings);

}  // namespace velmoran
