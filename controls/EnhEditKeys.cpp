// The typed edit's keyboard and clipboard rules; see EnhEditKeys.h.
#include "controls/EnhEditKeys.h"

#include "html/base/WideText.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace velmoran {

namespace {

using Action = TCharOutcome::Action;
constexpr char16_t kBackspace = u'\b';
constexpr char16_t kTab = u'\t';
constexpr char16_t kEnter = u'\r';
constexpr char16_t kEscape = 0x1B;

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool IsNumberType(TEnhEditType type)
{
    return type == TEnhEditType::etNumeric || type == TEnhEditType::etFloat || type == TEnhEditType::etMoney;
}

// The value and the caret and selection counted inside it.
struct ValueView {
    int Start = 0;  // in the text
    int End = 0;
    std::u16string Value;
    int Caret = 0;  // SelStart inside the value
    int SelEnd = 0;

    ValueView(const TEditState& state, const TEnhEditRules& rules)
        : Start(ValueStart(state.Text, rules)), End(ValueEnd(state.Text, rules))
    {
        Value = state.Text.substr(static_cast<std::size_t>(Start), static_cast<std::size_t>(End - Start));
        Caret = std::clamp(state.SelStart - Start, 0, End - Start);
        SelEnd = std::clamp(state.SelEnd() - Start, Caret, End - Start);
    }
};

std::size_t DecimalPosition(std::u16string_view value, const FormatSettings& settings)
{
    return value.find(static_cast<char16_t>(settings.DecimalSeparator));
}

// The digits before the decimal separator.
int IntegerDigits(std::u16string_view value, const FormatSettings& settings)
{
    const std::u16string_view integer = value.substr(0, DecimalPosition(value, settings));
    return static_cast<int>(std::count_if(integer.begin(), integer.end(), IsDigit));
}

bool CaretInIntegerPart(std::u16string_view value, int caret, const FormatSettings& settings)
{
    const std::size_t point = DecimalPosition(value, settings);
    return point == std::u16string_view::npos || caret <= static_cast<int>(point);
}

TEditState WithValue(const TEditState& state, std::u16string_view value, int caret, int length,
                     const TEnhEditRules& rules)
{
    TEditState out;
    out.Text = WithPrefixAndSuffix(value, rules);
    const int start = ValueStart(out.Text, rules);
    const int end = ValueEnd(out.Text, rules);
    out.SelStart = std::clamp(caret, start, end);
    out.SelLength = std::clamp(length, 0, end - out.SelStart);
    out.CaretAtStart = state.CaretAtStart && out.SelLength > 0;
    return out;
}

// "-" adds a leading minus sign or takes the value's first character away.
TCharOutcome ToggleSign(const TEditState& state, const TEnhEditRules& rules, const FormatSettings& settings)
{
    const ValueView view(state, rules);
    const bool numeric = rules.EditType == TEnhEditType::etNumeric;
    const bool remove = view.Value.find(u'-') != std::u16string::npos;
    const std::u16string value = remove ? view.Value.substr(1) : u"-" + view.Value;
    // Written with the precision held at 0: the sign alone does not format the number.
    TEnhEditRules unformatted = rules;
    unformatted.Precision = 0;
    TCharOutcome out;
    out.What = Action::Replace;
    const int caret = remove ? std::max(view.Start, state.SelStart - 1) : state.SelStart + 1;
    out.State = WithValue(state, WrittenValueText(value, unformatted, settings), caret, numeric ? state.SelLength : 0,
                          rules);
    // The numeric type's Text write clears the modified state; only a sign put in sets it.
    out.Modified = numeric ? !remove : true;
    return out;
}

// The distance of a new separator at the caret to the thousand separators already there: none
// closer than 3, the nearest exactly 3. Each separator is measured in what remains behind the one
// before it.
bool SeparatorInPlace(std::u16string_view value, int caret, const FormatSettings& settings)
{
    const char16_t thousand = static_cast<char16_t>(settings.ThousandSeparator);
    std::u16string_view rest = value;
    int nearest = INT_MAX;
    for (std::size_t at = rest.find(thousand); at != std::u16string_view::npos; at = rest.find(thousand)) {
        const int distance = std::abs(static_cast<int>(at) + 1 - caret);
        if (distance < 3)
            return false;
        nearest = std::min(nearest, distance);
        const int cut = static_cast<int>(at) + 1;
        rest.remove_prefix(static_cast<std::size_t>(cut));
        if (caret >= cut)
            caret -= cut;
    }
    return nearest == INT_MAX || nearest == 3;
}

TCharOutcome Passed(const TEditState& state, char16_t ch)
{
    TCharOutcome out;
    out.What = Action::Pass;
    out.State = state;
    out.Char = ch;
    return out;
}

TCharOutcome Refused(const TEditState& state)
{
    TCharOutcome out;
    out.State = state;
    return out;
}

TCharOutcome FilterNumeric(const TEditState& state, char16_t ch, const TEnhEditRules& rules,
                           const FormatSettings& settings)
{
    if (ch == u'-')
        return ToggleSign(state, rules, settings);
    if (ch == kBackspace || ch == kTab || IsDigit(ch))
        return Passed(state, ch);
    return Refused(state);
}

TCharOutcome FilterFloat(const TEditState& state, char16_t ch, const TEnhEditRules& rules,
                         const FormatSettings& settings)
{
    const bool money = rules.EditType == TEnhEditType::etMoney;
    const char16_t point = static_cast<char16_t>(settings.DecimalSeparator);
    const char16_t thousand = static_cast<char16_t>(settings.ThousandSeparator);
    const bool accepted = ch == kBackspace || ch == kTab || ch == u'-' || IsDigit(ch) ||
                          (money ? ch == point : ch == u',' || ch == u'.');
    if (!accepted)
        return Refused(state);
    const ValueView view(state, rules);
    const std::u16string_view value = view.Value;
    const std::u16string_view selected =
        std::u16string_view(value).substr(static_cast<std::size_t>(view.Caret), static_cast<std::size_t>(view.SelEnd - view.Caret));
    const std::size_t pointAt = value.find(point);
    const bool isPoint = ch == point;

    if (isPoint && selected.find(point) == std::u16string_view::npos) {
        if (pointAt != std::u16string_view::npos && rules.Precision > 0) {
            // A second decimal separator only moves the caret behind the first.
            TCharOutcome out = Refused(state);
            out.What = Action::Replace;
            out.State.SelStart = view.Start + static_cast<int>(pointAt) + 1;
            out.State.SelLength = 0;
            out.State.CaretAtStart = false;
            return out;
        }
        if (pointAt != std::u16string_view::npos || rules.Precision == 0)
            return Refused(state);
    }
    if (!money && ch == u',' && thousand != u',') {
        std::u16string outside(value.substr(0, static_cast<std::size_t>(view.Caret)));
        outside += value.substr(static_cast<std::size_t>(view.SelEnd));
        if (outside.find(u',') != std::u16string::npos)
            return Refused(state);
    }
    if ((ch == thousand || isPoint) && !SeparatorInPlace(value, view.Caret, settings))
        return Refused(state);
    if (rules.Precision > 0 && pointAt != std::u16string_view::npos && view.Caret > static_cast<int>(pointAt) &&
        value.size() - pointAt - 1 >= static_cast<std::size_t>(rules.Precision)) {
        // A full fraction: a digit overwrites the next one; at the end nothing more goes in.
        if (IsDigit(ch) && state.SelLength == 0) {
            if (view.Caret >= static_cast<int>(value.size()))
                return Refused(state);
            TCharOutcome out = Passed(state, ch);
            out.State.SelLength = 1;
            out.State.CaretAtStart = false;
            return out;
        }
        if (isPoint)
            return Refused(state);
    }
    if (isPoint && value.empty() && view.Caret == 0) {
        TCharOutcome out;
        out.What = Action::Replace;
        out.State = WithValue(state, std::u16string(u"0") + point, view.Start + 2, 0, rules);
        out.Modified = true;
        return out;
    }
    if (ch == u'-' && state.SelLength == 0)
        return ToggleSign(state, rules, settings);
    TCharOutcome out = Passed(state, ch);
    if (money && !isPoint)
        out.Then = TCharOutcome::After::GroupMoney;
    return out;
}

TCharOutcome FilterRange(const TEditState& state, char16_t ch, const TEnhEditRules& rules)
{
    const auto isSeparator = [](char16_t c) { return c == u',' || c == u'-' || c == u';'; };
    if (!(ch == kBackspace || ch == kTab || IsDigit(ch) || isSeparator(ch)))
        return Refused(state);
    if (isSeparator(ch)) {
        const ValueView view(state, rules);
        const bool before = view.Caret > 0 && isSeparator(view.Value[static_cast<std::size_t>(view.Caret - 1)]);
        const bool after = view.SelEnd < static_cast<int>(view.Value.size()) &&
                           isSeparator(view.Value[static_cast<std::size_t>(view.SelEnd)]);
        if (view.Caret == 0 || before || after)
            return Refused(state);
    }
    return Passed(state, ch);
}

TCharOutcome FilterHex(const TEditState& state, char16_t ch)
{
    const bool hexLetter = (ch >= u'A' && ch <= u'F') || (ch >= u'a' && ch <= u'f');
    if (ch == kBackspace || ch == kTab || ch == u'-' || IsDigit(ch) || hexLetter)
        return Passed(state, ch);
    return Refused(state);
}

char16_t ConvertCase(char16_t ch, bool upper)
{
    const std::u16string one(1, ch);
    const std::u16string converted = upper ? WideUpperText(one) : WideLowerText(one);
    return converted.size() == 1 ? converted.front() : ch;
}

TEditState DeleteForward(const TEditState& state)
{
    TEditState out = state;
    if (state.SelLength > 0)
        out.Text.erase(static_cast<std::size_t>(state.SelStart), static_cast<std::size_t>(state.SelLength));
    else if (state.SelStart < static_cast<int>(state.Text.size()))
        out.Text.erase(static_cast<std::size_t>(state.SelStart), 1);
    out.SelLength = 0;
    out.CaretAtStart = false;
    return out;
}

}  // namespace

TEditState GroupMoney(const TEditState& state, const TEnhEditRules& rules, const FormatSettings& settings)
{
    const std::u16string value = ValueOf(state.Text, rules);
    const std::u16string grouped = GroupMoneyText(value, rules, settings);
    const int rightOfCaret = static_cast<int>(state.Text.size()) - state.SelStart;
    TEditState out = WithValue(state, grouped, 0, 0, rules);
    out.SelStart = std::clamp(static_cast<int>(out.Text.size()) - rightOfCaret, ValueStart(out.Text, rules),
                              ValueEnd(out.Text, rules));
    out.SelLength = 0;
    out.CaretAtStart = false;
    return out;
}

int ValueStart(const std::u16string& text, const TEnhEditRules& rules)
{
    return text.starts_with(rules.Prefix) ? static_cast<int>(rules.Prefix.size()) : 0;
}

int ValueEnd(const std::u16string& text, const TEnhEditRules& rules)
{
    return std::max(ValueStart(text, rules), static_cast<int>(text.size()) - static_cast<int>(rules.Suffix.size()));
}

std::u16string ValueOf(const std::u16string& text, const TEnhEditRules& rules)
{
    const int start = ValueStart(text, rules);
    return text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(ValueEnd(text, rules) - start));
}

std::u16string WithPrefixAndSuffix(std::u16string_view value, const TEnhEditRules& rules)
{
    return rules.Prefix + std::u16string(value) + rules.Suffix;
}

TCharOutcome FilterChar(const TEditState& state, char16_t ch, bool fromKeypad, const TEnhEditRules& rules,
                        const FormatSettings& settings)
{
    if (ch == kEnter) {
        TCharOutcome out = Refused(state);
        out.CallKeyPress = true;
        return out;
    }
    if (ch == kEscape)
        return rules.CanUndo ? Refused(state) : Passed(state, ch);
    if (rules.ExcelStyleDecimalSeparator && fromKeypad && ch == u'.')
        ch = static_cast<char16_t>(settings.DecimalSeparator);
    const ValueView view(state, rules);
    if (ch == kBackspace && !rules.Prefix.empty() && state.SelStart <= view.Start && state.SelLength == 0)
        return Refused(state);
    if (rules.LengthLimit > 0) {
        const bool full = IntegerDigits(view.Value, settings) >= rules.LengthLimit;
        if (full && ch != kBackspace && ch != static_cast<char16_t>(settings.DecimalSeparator) && state.SelLength == 0 &&
            CaretInIntegerPart(view.Value, view.Caret, settings))
            return Refused(state);
        if (ch == kBackspace &&
            IntegerDigits(ValueOf(InsertTyped(state, ch).Text, rules), settings) > rules.LengthLimit)
            return Refused(state);
    }
    if (ch == u'-' && IsNumberType(rules.EditType) && !rules.Signed)
        return Refused(state);

    switch (rules.EditType) {
    case TEnhEditType::etNumeric:
        return FilterNumeric(state, ch, rules, settings);
    case TEnhEditType::etFloat:
    case TEnhEditType::etMoney:
        return FilterFloat(state, ch, rules, settings);
    case TEnhEditType::etUppercase:
    case TEnhEditType::etLowerCase:
        return Passed(state, ConvertCase(ch, rules.EditType == TEnhEditType::etUppercase));
    case TEnhEditType::etMixedCase: {
        TCharOutcome out = Passed(state, ch);
        out.Then = TCharOutcome::After::MixedCase;
        return out;
    }
    case TEnhEditType::etRange:
        return FilterRange(state, ch, rules);
    case TEnhEditType::etHex:
        return FilterHex(state, ch);
    case TEnhEditType::etString:
    case TEnhEditType::etPassword:
        break;
    }
    return Passed(state, ch);
}

TEditState InsertTyped(const TEditState& state, char16_t ch)
{
    TEditState out = state;
    out.CaretAtStart = false;
    out.SelLength = 0;
    const std::size_t start = static_cast<std::size_t>(state.SelStart);
    if (ch == kBackspace) {
        if (state.SelLength > 0) {
            out.Text.erase(start, static_cast<std::size_t>(state.SelLength));
        } else if (state.SelStart > 0) {
            out.Text.erase(start - 1, 1);
            --out.SelStart;
        }
        return out;
    }
    out.Text.replace(start, static_cast<std::size_t>(state.SelLength), 1, ch);
    ++out.SelStart;
    return out;
}

TPassedOutcome AfterPassedChar(const TCharOutcome& outcome, const TEditState& after, const TEnhEditRules& rules,
                               const FormatSettings& settings)
{
    TPassedOutcome result;
    result.State = after;
    result.Modified = after.Text != outcome.State.Text;
    if (outcome.Then == TCharOutcome::After::MixedCase) {
        // The caret stays where the edit put it: one behind its old place for a character typed.
        const TEditState recased = WithValue(after, MixedCaseText(ValueOf(after.Text, rules)), after.SelStart, 0, rules);
        result.State = recased;
    } else if (outcome.Then == TCharOutcome::After::GroupMoney) {
        const std::u16string value = ValueOf(after.Text, rules);
        if (!value.empty() && value != u"-") {
            result.State = GroupMoney(after, rules, settings);
            result.Modified = true;
        }
    }
    if (rules.TabOnFullLength && rules.LengthLimit > 0) {
        const ValueView view(result.State, rules);
        result.PostTab = IntegerDigits(view.Value, settings) >= rules.LengthLimit && result.State.SelLength == 0 &&
                         view.Caret == rules.LengthLimit;
    }
    return result;
}

TPassedOutcome TypeCharacter(const TEditState& state, char16_t ch, const TEnhEditRules& rules,
                             const FormatSettings& settings, bool fromKeypad)
{
    const TCharOutcome outcome = FilterChar(state, ch, fromKeypad, rules, settings);
    TPassedOutcome result;
    result.State = outcome.State;
    result.Modified = outcome.Modified.value_or(false);
    if (outcome.What != Action::Pass)
        return result;
    const bool inserts = outcome.Char >= u' ' || outcome.Char == kBackspace;
    return AfterPassedChar(outcome, inserts ? InsertTyped(outcome.State, outcome.Char) : outcome.State, rules, settings);
}

TKeyOutcome FilterKey(const TEditState& state, TEditKey key, bool shift, const TEnhEditRules& rules,
                      const FormatSettings& settings)
{
    TKeyOutcome out;
    const ValueView view(state, rules);
    const int selEnd = state.SelEnd();
    if (key == TEditKey::Enter && rules.ReturnIsTab) {
        out.Swallow = true;
        out.PostTab = true;
        return out;
    }
    if (!rules.Suffix.empty()) {
        if (key == TEditKey::Right && selEnd >= view.End) {
            out.Swallow = true;
            return out;
        }
        if (key == TEditKey::Delete) {
            if (selEnd >= view.End && state.SelLength == 0) {
                out.Swallow = true;
                return out;
            }
            out.SetModified = true;
        }
    }
    if (!rules.Prefix.empty() && key == TEditKey::Left && selEnd <= view.Start) {
        out.Swallow = true;
        return out;
    }
    if (key == TEditKey::End && !rules.Suffix.empty()) {
        TEditState moved = state;
        const int anchor = state.CaretAtStart ? selEnd : state.SelStart;
        moved.SelStart = shift ? std::min(anchor, view.End) : view.End;
        moved.SelLength = shift ? view.End - moved.SelStart : 0;
        moved.CaretAtStart = false;
        out.Swallow = true;
        out.State = moved;
        return out;
    }
    if (key == TEditKey::Home && !rules.Prefix.empty()) {
        TEditState moved = state;
        moved.SelStart = view.Start;
        moved.SelLength = shift ? view.End - view.Start : 0;
        moved.CaretAtStart = shift && moved.SelLength > 0;
        out.Swallow = true;
        out.State = moved;
        return out;
    }
    if (key == TEditKey::Backspace && !rules.Prefix.empty()) {
        if (state.SelStart <= view.Start + 1)
            out.Swallow = true;
        else
            out.SetModified = true;
    } else if (key == TEditKey::Delete && state.SelStart >= view.Start && state.SelStart <= view.End) {
        const std::u16string after = ValueOf(DeleteForward(state).Text, rules);
        if (rules.LengthLimit > 0 && IntegerDigits(after, settings) > rules.LengthLimit)
            out.Swallow = true;
        else
            out.SetModified = true;
    }
    return out;
}

TEditState AfterKey(const TEditState& state, TEditKey key, const TEnhEditRules& rules, const FormatSettings& settings)
{
    TEditState out = state;
    if (key == TEditKey::Delete && rules.EditType == TEnhEditType::etMoney)
        out = GroupMoney(out, rules, settings);
    const int start = ValueStart(out.Text, rules);
    const int end = ValueEnd(out.Text, rules);
    if (out.SelLength == 0)
        out.SelStart = std::clamp(out.SelStart, start, end);
    return out;
}

TPasteOutcome PasteInto(const TEditState& state, std::u16string_view clip, const TEnhEditRules& rules,
                        const FormatSettings& settings)
{
    // One line only, as a drop takes it: the edit shows a single line, and a folder name with a
    // line break in it names no folder. A clipboard whose first line is empty pastes nothing.
    clip = clip.substr(0, clip.find_first_of(u"\r\n"));
    TPasteOutcome out;
    out.State = state;
    if (clip.empty())
        return out;
    const ValueView view(state, rules);
    const bool replaced = view.SelEnd > view.Caret;
    std::u16string value = view.Value.substr(0, static_cast<std::size_t>(view.Caret)) + std::u16string(clip) +
                           view.Value.substr(static_cast<std::size_t>(view.SelEnd));
    const TTextClass textClass = ClassifyText(value, settings);
    switch (rules.EditType) {
    case TEnhEditType::etString:
    case TEnhEditType::etPassword:
        break;
    case TEnhEditType::etNumeric:
        if (textClass != TTextClass::Numeric)
            return out;
        value = WrittenValueText(value, rules, settings);
        break;
    case TEnhEditType::etFloat:
    case TEnhEditType::etMoney:
        if (textClass != TTextClass::Numeric && textClass != TTextClass::Float)
            return out;
        if (rules.Precision == 0 && value.find(static_cast<char16_t>(settings.DecimalSeparator)) != std::u16string::npos)
            return out;
        value = ValueWriteText(ValueOfText(value, rules, settings), rules, settings);
        break;
    case TEnhEditType::etUppercase:
        value = WideUpperText(value);
        break;
    case TEnhEditType::etLowerCase:
        value = WideLowerText(value);
        break;
    case TEnhEditType::etMixedCase:
        value = MixedCaseText(value);
        break;
    case TEnhEditType::etRange:
    case TEnhEditType::etHex:
        return out;
    }
    out.Accepted = true;
    out.SetModified = true;
    const int at = view.Start + view.Caret;
    const int length = static_cast<int>(clip.size());
    if (rules.EditType == TEnhEditType::etMoney && value.size() > 3)
        out.State = WithValue(state, value, view.Start, static_cast<int>(value.size()), rules);
    else if (replaced)
        out.State = WithValue(state, value, at, length, rules);
    else
        out.State = WithValue(state, value, at + length, 0, rules);
    out.State.CaretAtStart = false;
    return out;
}

std::u16string ValueWriteText(double value, const TEnhEditRules& rules, const FormatSettings& settings)
{
    std::u16string text = WrittenValueText(TextOfValue(value, rules, settings), rules, settings);
    if (rules.EditType == TEnhEditType::etMoney && !text.empty())
        text = GroupMoneyText(text, rules, settings);
    return text;
}

}  // namespace velmoran
