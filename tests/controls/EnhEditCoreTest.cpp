// The typed edit's rules without a widget, in the German settings: the text classes, typing
// into each edit type character by character (the plain edit's insertion included), the money
// grouping, mixed case, and the number rules that keep values a plain format would lose.
#include "EnhEditTestSupport.h"

#include "controls/EnhEdit.h"
#include "controls/EnhEditKeys.h"

using namespace velmoran;
using velmoran::testing::EnhEdit;

namespace {

TEnhEditRules RulesOf(TEnhEditType type, int precision = 0)
{
    TEnhEditRules rules;
    rules.EditType = type;
    rules.Precision = precision;
    return rules;
}

TEditState At(std::u16string text, int caret, int length = 0)
{
    TEditState state;
    state.Text = std::move(text);
    state.SelStart = caret;
    state.SelLength = length;
    return state;
}

// Types the characters one by one into the state.
TEditState Type(const TEnhEditRules& rules, std::u16string_view keys, TEditState state = {})
{
    for (const char16_t ch : keys)
        state = TypeCharacter(state, ch, rules, FormatSettings::Current()).State;
    return state;
}

TTextClass Class(std::u16string_view text)
{
    return ClassifyText(text, FormatSettings::Current());
}

}  // namespace

TEST_F(EnhEdit, TextClassesByTheirCharacters)
{
    EXPECT_EQ(Class(u"123"), TTextClass::Numeric);
    EXPECT_EQ(Class(u"-5"), TTextClass::Numeric);
    EXPECT_EQ(Class(u"5-3"), TTextClass::Numeric);  // one "-" anywhere
    EXPECT_EQ(Class(u"1,5"), TTextClass::Float);
    EXPECT_EQ(Class(u"1.234,5"), TTextClass::Float);
    EXPECT_EQ(Class(u"-1.234.567"), TTextClass::Float);
    EXPECT_EQ(Class(u"12.3"), TTextClass::Float);  // only the first separator's place is free
    EXPECT_EQ(Class(u"1F"), TTextClass::Hex);
    EXPECT_EQ(Class(u"ab-"), TTextClass::Hex);
    EXPECT_EQ(Class(u""), TTextClass::Other);
    EXPECT_EQ(Class(u"xyz"), TTextClass::Other);
    EXPECT_EQ(Class(u"1--2"), TTextClass::Other);
    EXPECT_EQ(Class(u"-1-"), TTextClass::Other);
    EXPECT_EQ(Class(u"1,2,3"), TTextClass::Other);
    // Misplaced thousand separators: first, or closer than three characters to the one before.
    EXPECT_EQ(Class(u".123"), TTextClass::Other);
    EXPECT_EQ(Class(u"1.23.456"), TTextClass::Other);
}

TEST_F(EnhEdit, FloatWithTwoDecimals)
{
    const TEnhEditRules rules = RulesOf(TEnhEditType::etFloat, 2);
    const FormatSettings& german = FormatSettings::Current();
    EXPECT_EQ(ValueWriteText(3, rules, german), u"3,00");
    EXPECT_EQ(WrittenValueText(u"12,346", rules, german), u"12,35");
    // A second decimal separator only moves the caret behind the first.
    TPassedOutcome typed = TypeCharacter(At(u"3,00", 0), u',', rules, german);
    EXPECT_EQ(typed.State, At(u"3,00", 2));
    // A digit typed into the full fraction overwrites the next one; at the end nothing goes in.
    EXPECT_EQ(Type(rules, u"5", At(u"3,00", 2)), At(u"3,50", 3));
    EXPECT_EQ(Type(rules, u"57", At(u"3,00", 2)), At(u"3,57", 4));
    EXPECT_EQ(Type(rules, u"9", At(u"3,57", 4)), At(u"3,57", 4));
    // A decimal separator typed first makes "0,".
    typed = TypeCharacter(At(u"", 0), u',', rules, german);
    EXPECT_EQ(typed.State, At(u"0,", 2));
    EXPECT_TRUE(typed.Modified);
    // Letters, and "-" while unsigned, are refused; "." groups thousands.
    EXPECT_EQ(Type(rules, u"1x-2.345"), At(u"12.345", 6));
    // Signed, "-" puts the sign in front wherever the caret stands, and takes it away again;
    // typed over a selection it replaces it, as the start of a negative number.
    TEnhEditRules withSign = rules;
    withSign.Signed = true;
    EXPECT_EQ(Type(withSign, u"-", At(u"12,5", 2)), At(u"-12,5", 3));
    EXPECT_EQ(Type(withSign, u"-", At(u"-12,5", 3)), At(u"12,5", 2));
    EXPECT_EQ(Type(withSign, u"-", At(u"12,5", 0, 4)), At(u"-", 1));
    // Without decimals there is no decimal separator.
    EXPECT_EQ(Type(RulesOf(TEnhEditType::etFloat), u"1,5"), At(u"15", 2));
}

TEST_F(EnhEdit, MoneyGroupsAsItIsTyped)
{
    const TEnhEditRules rules = RulesOf(TEnhEditType::etMoney, 2);
    EXPECT_EQ(Type(rules, u"1234"), At(u"1.234", 5));
    EXPECT_EQ(Type(rules, u"1234567,5"), At(u"1.234.567,5", 11));
    // Leading zeros go; the caret keeps the characters right of it.
    EXPECT_EQ(Type(rules, u"05"), At(u"5", 1));
    EXPECT_EQ(Type(rules, u"9", At(u"1.234", 1)), At(u"19.234", 2));
    // The decimal separator goes in only three characters behind the nearest thousand separator.
    EXPECT_EQ(Type(rules, u",", At(u"1.234", 3)), At(u"1.234", 3));
    EXPECT_EQ(Type(rules, u",", At(u"12.345.678", 6)), At(u"12.345.678", 6));
    EXPECT_EQ(Type(rules, u",", At(u"12.345.678", 10)), At(u"12.345.678,", 11));
    // Deleting regroups too.
    EXPECT_EQ(Type(rules, u"\b", At(u"1.234", 5)), At(u"123", 3));
    EXPECT_EQ(AfterKey(At(u".234", 0), TEditKey::Delete, rules, FormatSettings::Current()), At(u"234", 0));
    // "." is no money character in German.
    EXPECT_EQ(Type(rules, u".", At(u"12", 2)), At(u"12", 2));
    // Without automatic separators the digits stay together.
    TEnhEditRules plain = rules;
    plain.AutoThousandSeparator = false;
    EXPECT_EQ(Type(plain, u"1234"), At(u"1234", 4));
}

TEST_F(EnhEdit, FloatSeparatorDistance)
{
    const TEnhEditRules rules = RulesOf(TEnhEditType::etFloat, 2);
    EXPECT_EQ(Type(rules, u",", At(u"1.23", 4)), At(u"1.23", 4));
    EXPECT_EQ(Type(rules, u".", At(u"1.2345", 6)), At(u"1.2345", 6));
    EXPECT_EQ(Type(rules, u".", At(u"1.234", 5)), At(u"1.234.", 6));
    EXPECT_EQ(Type(rules, u".", At(u"1234", 1)), At(u"1.234", 2));
}

TEST_F(EnhEdit, NumericSignAndLengthLimit)
{
    TEnhEditRules rules = RulesOf(TEnhEditType::etNumeric);
    EXPECT_EQ(Type(rules, u"-12a,"), At(u"12", 2));
    rules.Signed = true;
    TPassedOutcome typed = TypeCharacter(At(u"12", 2), u'-', rules, FormatSettings::Current());
    EXPECT_EQ(typed.State, At(u"-12", 3));
    EXPECT_TRUE(typed.Modified);
    EXPECT_EQ(Type(rules, u"-", At(u"-12", 1, 2)), At(u"12", 0, 2));
    // A selection of the whole value shrinks with it and never reaches past it.
    TEnhEditRules prefixed = rules;
    prefixed.Prefix = u"Q = ";
    EXPECT_EQ(Type(prefixed, u"-", At(u"Q = -12", 4, 3)), At(u"Q = 12", 4, 2));
    // A full integer part takes no more digits where the caret is in it; the tab comes when the
    // caret reaches the limit.
    rules.LengthLimit = 3;
    rules.TabOnFullLength = true;
    TEditState state;
    for (const char16_t ch : std::u16string_view(u"12")) {
        typed = TypeCharacter(state, ch, rules, FormatSettings::Current());
        EXPECT_FALSE(typed.PostTab);
        state = typed.State;
    }
    typed = TypeCharacter(state, u'3', rules, FormatSettings::Current());
    EXPECT_TRUE(typed.PostTab);
    EXPECT_EQ(Type(rules, u"4", typed.State), At(u"123", 3));
    EXPECT_EQ(Type(rules, u"\b", typed.State), At(u"12", 2));
}

TEST_F(EnhEdit, RangeHexAndCase)
{
    const TEnhEditRules range = RulesOf(TEnhEditType::etRange);
    EXPECT_EQ(Type(range, u";1,,2--3;x4"), At(u"1,2-3;4", 7));
    EXPECT_EQ(Type(range, u",", At(u"1,2", 1)), At(u"1,2", 1));

    const TEnhEditRules hex = RulesOf(TEnhEditType::etHex);
    EXPECT_EQ(Type(hex, u"1fG-z"), At(u"1f-", 3));
    EXPECT_EQ(WrittenValueText(u"ff", hex, FormatSettings::Current()), u"FF");
    EXPECT_EQ(WrittenValueText(u"fg", hex, FormatSettings::Current()), u"0");
    EXPECT_DOUBLE_EQ(ValueOfText(u"1F", hex, FormatSettings::Current()), 31.0);
    EXPECT_DOUBLE_EQ(ValueOfText(u"1G", hex, FormatSettings::Current()), 16.0);
    EXPECT_EQ(ValueWriteText(255.9, hex, FormatSettings::Current()), u"FF");

    EXPECT_EQ(Type(RulesOf(TEnhEditType::etUppercase), u"straße").Text, u"STRAßE");
    EXPECT_EQ(Type(RulesOf(TEnhEditType::etLowerCase), u"ÄPFEL").Text, u"äpfel");
    EXPECT_EQ(Type(RulesOf(TEnhEditType::etMixedCase), u"john mcdonald iii"), At(u"John McDonald III", 17));
    // Backspace re-cases too; the caret stays where the deletion left it.
    EXPECT_EQ(Type(RulesOf(TEnhEditType::etMixedCase), u"\b", At(u"John Mcd", 8)), At(u"John Mc", 7));
    EXPECT_EQ(MixedCaseText(u"mcintosh o'neil-smith ii"), u"McIntosh O'Neil-Smith II");
    EXPECT_EQ(MixedCaseText(u"JOHN ivanov"), u"John Ivanov");
    // The alphabet's ends: a and z go up, A and Z down.
    EXPECT_EQ(MixedCaseText(u"zorro ZORRO abel ABEL"), u"Zorro Zorro Abel Abel");
}

TEST_F(EnhEdit, BackspaceStopsAtThePrefix)
{
    TEnhEditRules rules = RulesOf(TEnhEditType::etString);
    rules.Prefix = u"Q = ";
    EXPECT_EQ(Type(rules, u"\b", At(u"Q = 12", 4)), At(u"Q = 12", 4));
    EXPECT_EQ(Type(rules, u"\b", At(u"Q = 12", 5)), At(u"Q = 2", 4));
    // A selection reaching into the value goes with Backspace.
    EXPECT_EQ(Type(rules, u"\b", At(u"Q = 12", 4, 2)), At(u"Q = ", 4));
}

TEST_F(EnhEdit, NumbersKeepTheirValue)
{
    const FormatSettings& german = FormatSettings::Current();
    // The numeric type writes an integer without grouping, whatever precision was left behind.
    TEnhEditRules numeric = RulesOf(TEnhEditType::etNumeric, 2);
    EXPECT_EQ(ValueWriteText(1234, numeric, german), u"1234");
    EXPECT_EQ(ValueWriteText(-1234567.6, numeric, german), u"-1234568");
    EXPECT_EQ(ValueWriteText(-0.4, numeric, german), u"0");
    // A grouped float text reads its value, as money does.
    const TEnhEditRules decimals = RulesOf(TEnhEditType::etFloat, 2);
    EXPECT_DOUBLE_EQ(ValueOfText(u"1.234,50", decimals, german), 1234.5);
    EXPECT_DOUBLE_EQ(ValueOfText(u"1.234.567", RulesOf(TEnhEditType::etFloat), german), 1234567.0);
    EXPECT_EQ(WrittenValueText(u"1.234,5", decimals, german), u"1234,50");
    // A thousand separator just before the last two digits stands for the decimal separator.
    EXPECT_DOUBLE_EQ(ValueOfText(u"12.50", decimals, german), 12.5);
    // Seventeen digits typed into money keep every digit.
    const TEnhEditRules money = RulesOf(TEnhEditType::etMoney, 2);
    EXPECT_EQ(Type(money, u"12345678901234567").Text, u"12.345.678.901.234.567");
    // Money written from a value of seventeen digits keeps them, with one decimal as with two.
    EXPECT_EQ(ValueWriteText(1e16, RulesOf(TEnhEditType::etMoney, 1), german), u"10.000.000.000.000.000,0");
    EXPECT_EQ(ValueWriteText(1e16, money, german), u"10.000.000.000.000.000,00");
    // Without fixed decimals a value beyond the general format's range keeps its digits in place,
    // as the edit takes no exponent.
    const TEnhEditRules free = RulesOf(TEnhEditType::etFloat, -1);
    EXPECT_EQ(ValueWriteText(1.5e16, free, german), u"15000000000000000");
    EXPECT_EQ(ValueWriteText(-2.5e-5, free, german), u"-0,000025");
    EXPECT_DOUBLE_EQ(ValueOfText(ValueWriteText(1.25e-7, free, german), free, german), 1.25e-7);
    EXPECT_EQ(ValueWriteText(1e16, RulesOf(TEnhEditType::etMoney, 0), german), u"10.000.000.000.000.000");
    EXPECT_EQ(GroupMoneyText(u"-0001234,5", money, german), u"-1.234,5");
    EXPECT_EQ(GroupMoneyText(u",5", money, german), u"0,5");
    EXPECT_DOUBLE_EQ(ValueOfText(u"-1.234,", money, german), -1234.0);
    EXPECT_DOUBLE_EQ(ValueOfText(u"-", money, german), 0.0);
    // Types without a number read 0.
    EXPECT_DOUBLE_EQ(ValueOfText(u"12", RulesOf(TEnhEditType::etString), german), 0.0);
    // An integer written into money is grouped; into a numeric edit it is not.
    TEnhEdit edit;
    edit.SetEditType(TEnhEditType::etMoney);
    edit.SetPrecision(2);
    edit.SetIntValue(-1234567);
    EXPECT_EQ(edit.Text(), "-1.234.567,00");
    edit.SetEditType(TEnhEditType::etNumeric);
    edit.SetIntValue(1234567);
    EXPECT_EQ(edit.Text(), "1234567");
}

TEST_F(EnhEdit, KeysAroundPrefixAndSuffix)
{
    TEnhEditRules rules = RulesOf(TEnhEditType::etNumeric);
    rules.Prefix = u"ca. ";
    rules.Suffix = u" kg";
    const FormatSettings& german = FormatSettings::Current();
    const TEditState value = At(u"ca. 123 kg", 7);
    TKeyOutcome key;
    EXPECT_TRUE(FilterKey(value, TEditKey::Right, false, rules, german).Swallow);
    EXPECT_FALSE(FilterKey(At(u"ca. 123 kg", 6), TEditKey::Right, false, rules, german).Swallow);
    EXPECT_TRUE(FilterKey(value, TEditKey::Delete, false, rules, german).Swallow);
    // Delete inside the value, or of a selection that reaches its end, goes on and modifies.
    for (const TEditState& inside : {At(u"ca. 123 kg", 6), At(u"ca. 123 kg", 5, 2)}) {
        key = FilterKey(inside, TEditKey::Delete, false, rules, german);
        EXPECT_FALSE(key.Swallow) << inside.SelStart;
        EXPECT_TRUE(key.SetModified) << inside.SelStart;
    }
    EXPECT_TRUE(FilterKey(At(u"ca. 123 kg", 4), TEditKey::Left, false, rules, german).Swallow);
    key = FilterKey(At(u"ca. 123 kg", 5), TEditKey::End, false, rules, german);
    ASSERT_TRUE(key.State);
    EXPECT_EQ(*key.State, At(u"ca. 123 kg", 7));
    key = FilterKey(At(u"ca. 123 kg", 5), TEditKey::End, true, rules, german);
    EXPECT_EQ(*key.State, At(u"ca. 123 kg", 5, 2));
    key = FilterKey(value, TEditKey::Home, false, rules, german);
    EXPECT_EQ(*key.State, At(u"ca. 123 kg", 4));
    key = FilterKey(value, TEditKey::Home, true, rules, german);
    TEditState whole = At(u"ca. 123 kg", 4, 3);
    whole.CaretAtStart = true;
    EXPECT_EQ(*key.State, whole);
    // A caret that the plain edit or the mouse left in the prefix goes to its end, one in the
    // suffix to the value's end.
    EXPECT_EQ(AfterKey(At(u"ca. 123 kg", 1), TEditKey::Other, rules, german), At(u"ca. 123 kg", 4));
    EXPECT_EQ(AfterKey(At(u"ca. 123 kg", 9), TEditKey::Other, rules, german), At(u"ca. 123 kg", 7));
}
