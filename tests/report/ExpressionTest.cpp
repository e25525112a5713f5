// The evaluator: precedence and its quirks, validity, the number format with its fills, the
// expression item and the conditions with every operator spelling.
#include "report/Expression.h"

#include "platform/core/FormatSettings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>

using namespace velmoran;

namespace {

// Names resolve from a fixed map; every lookup is recorded.
class MapResolver : public NameResolver {
public:
    std::map<std::string, double, std::less<>> values{{"X", 0}, {"QD", 1234.5}, {"Y", 2}};
    std::vector<std::string> asked;
    std::optional<double> ResolveName(std::string_view upperName) override
    {
        asked.emplace_back(upperName);
        const auto it = values.find(upperName);
        if (it == values.end())
            return std::nullopt;
        return it->second;
    }
};

struct Evaluation {
    bool parsed;
    double value;
};

Evaluation Evaluate(std::string_view text)
{
    MapResolver names;
    const ExprTree tree = ParseExpression(text, names);
    return {tree != nullptr, ExpressionValue(tree.get())};
}

class ExpressionTest : public ::testing::Test {
protected:
    ScopedFormatSettings german{FormatSettings::German()};
    MapResolver names;
};

}  // namespace

// Texts that parse and their values; kInvalidValue where an operation is invalid.
constexpr std::pair<const char*, double> kValues[] = {
    // Precedence, associativity, signs and functions.
    {"8-3-2", 3}, {"2^3^2", 64}, {"-2^2", -4}, {"2^-1", 0.5}, {"2+3*4", 14}, {"5_4", 4}, {"7.9_3", 3},
    {"2*(-3)", -6}, {"+5", 5}, {"12/4/3", 1}, {"-2*3", -6}, {"2^2_3", 4}, {"(1+2)*(3+4)", 21}, {"-(2+3)", -5},
    {"E2", 0}, {"5.", 5}, {".5", 0.5}, {"1.5E2", 150}, {" 2", 2}, {"QD/2", 617.25}, {"abs(-3)", 3},
    {"ABS(-3)", 3}, {"EXP(0)", 1}, {"INT(-2.7)", -2}, {"SQR(3)", 9}, {"SQRT(4)", 2}, {"(5)", 5}, {"2^(1+1)", 4},
    {"10-2^2*2", 2}, {"-2^-1", -0.5},
    // Invalid operations.
    {"SQRT(0)", kInvalidValue}, {"SQRT(-1)", kInvalidValue}, {"LN(0)", kInvalidValue}, {"LN(-1)", kInvalidValue},
    {"SQRT3(-8)", kInvalidValue}, {"SQRT3(0)", kInvalidValue}, {"(-2)^2", kInvalidValue}, {"0^2", kInvalidValue},
    {"1/0", kInvalidValue}, {"1/(1/1E31)", kInvalidValue}, {"QD/0", kInvalidValue}, {"(0-2)^0.5", kInvalidValue},
    // Overflow to infinity, in intermediate or final results.
    {"1E300*1E300", kInvalidValue}, {"EXP(1000)", kInvalidValue}, {"-EXP(1000)", kInvalidValue},
    {"1E400", kInvalidValue}, {"1/1E400", kInvalidValue}, {"0-1E300*1E300", kInvalidValue},
    {"1E300*1E300-1E300*1E300", kInvalidValue}, {"1E99999999999999999999", kInvalidValue},
    {"10^400", kInvalidValue}, {"SQR(1E200)", kInvalidValue},
    // Bit-and operands must be 64-bit integers; the sign binds looser than "_".
    {"(-1)_3", 3}, {"-1_3", -1}, {"9007199254740993_1", 0} /* 2^53+1 rounds to 2^53 */, {"1E19_1", kInvalidValue},
    {"1_1E19", kInvalidValue}, {"(0-1E19)_1", kInvalidValue}, {"(0-9223372036854775808)_1", 0},
    {"9223372036854775808_1", kInvalidValue}, {"EXP(1000)_1", kInvalidValue},
};

TEST_F(ExpressionTest, ValuesPrecedenceAndInvalidOperations)
{
    for (const auto& [text, expected] : kValues) {
        const Evaluation result = Evaluate(text);
        EXPECT_TRUE(result.parsed) << text;
        if (expected == kInvalidValue)
            EXPECT_EQ(result.value, kInvalidValue) << text;
        else
            EXPECT_DOUBLE_EQ(result.value, expected) << text;
    }
    EXPECT_NEAR(Evaluate("SQRT3(8)").value, 2.0, 1e-12);
    EXPECT_EQ(ExpressionValue(nullptr), kInvalidValue);
    EXPECT_EQ(FormatNumber(6, 1, Evaluate("1E400").value), "######") << "an overflow never reaches the output";
}

TEST_F(ExpressionTest, TextsThatDoNotParse)
{
    // A sign only at the start or after "^"; a signed exponent splits at the sign; blanks
    // after a number and unknown names break the parse.
    for (const char* text : {"2*-3", "1E-5", "", "2 ", "2*", "*2", "()", "UNBEKANNT", "2 * 3", "1E", ".",
                             "FOO(2)", "ABS(2", "2^^3", "X Y", "(2)3", "1..2", "--2", "2+-3"})
        EXPECT_FALSE(Evaluate(text).parsed) << '"' << text << '"';
}

TEST_F(ExpressionTest, NumberConversion)
{
    EXPECT_EQ(ConvertExpressionNumber("  12.5"), 12.5);
    EXPECT_EQ(ConvertExpressionNumber("E7"), 0.0);
    EXPECT_EQ(ConvertExpressionNumber("3E2"), 300.0);
    EXPECT_EQ(ConvertExpressionNumber("12.5 "), std::nullopt);
    EXPECT_EQ(ConvertExpressionNumber("1,5"), std::nullopt);
    EXPECT_EQ(ConvertExpressionNumber("-1"), std::nullopt);
    EXPECT_EQ(ConvertExpressionNumber("1E+5"), std::nullopt);
    // Beyond the double range: overflow is infinite (and invalid later), underflow is zero.
    EXPECT_EQ(ConvertExpressionNumber("1E400"), HUGE_VAL);
    EXPECT_EQ(ConvertExpressionNumber("0.000001E400"), HUGE_VAL);
    EXPECT_EQ(ConvertExpressionNumber("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_NEAR(*ConvertExpressionNumber("0." + std::string(399, '0') + "1E300"), 1e-100, 1e-110);
    // Only the zeros before the first other digit after the point count against the exponent:
    // 0.(400 zeros)1E2 is 1e-399, below the range, so zero and not an overflow. (Items and
    // conditions are cut at 255 characters, so only the conversion itself meets such a number.)
    EXPECT_EQ(ConvertExpressionNumber("0." + std::string(400, '0') + "1E2"), 0.0);
}

TEST_F(ExpressionTest, NamesAreResolvedAfterNumbers)
{
    names.values["E2"] = 5;
    names.values["FELD"] = 7;
    EXPECT_EQ(ExpressionValue(ParseExpression("E2*3", names).get()), 0);  // E2 is the number 0
    names.asked.clear();
    EXPECT_EQ(ExpressionValue(ParseExpression("feld+1", names).get()), 8);
    EXPECT_EQ(names.asked, std::vector<std::string>{"FELD"});
    // A blank beside a name makes the name unknown.
    EXPECT_EQ(ParseExpression("FELD +1", names), nullptr);
}

TEST_F(ExpressionTest, TextsAreCutAt255Characters)
{
    std::string text = "1";
    while (text.size() < 255)
        text += "+1";
    ASSERT_EQ(text.size(), 255u);
    EXPECT_EQ(ExpressionValue(ParseExpression(text, names).get()), 128);
    // Whatever follows the 255th character is never seen.
    EXPECT_EQ(ExpressionValue(ParseExpression(text + "+1", names).get()), 128);
    EXPECT_EQ(ExpressionValue(ParseExpression(text + "*", names).get()), 128);
    EXPECT_EQ(ParseExpression(text.substr(0, 254) + "*1", names), nullptr);
}

TEST_F(ExpressionTest, FormatNumberFillsAndSeparators)
{
    EXPECT_EQ(FormatNumber(8, 2, 1234.5), " 1234,50");
    EXPECT_EQ(FormatNumber(2, 2, 1234.5), "1234,50");  // never cut
    EXPECT_EQ(FormatNumber(0, 0, 2.5), "3");
    EXPECT_EQ(FormatNumber(5, 1, -0.04), "  0,0");
    EXPECT_EQ(FormatNumber(8, 2, 1e30), "########");
    EXPECT_EQ(FormatNumber(3, 2, 5e35), "###");
    EXPECT_EQ(FormatNumber(4, 0, std::nan("")), "####");
    EXPECT_EQ(FormatNumber(4, 0, -HUGE_VAL), "####");
    EXPECT_EQ(FormatNumber(0, 0, 1e30), "");
    // A huge negative result is as unprintable as a huge positive one: it once printed 42 digits
    // (and 310 for the most negative double) where "#" stands for its positive twin.
    EXPECT_EQ(FormatNumber(4, 0, -1e40), "####");
    EXPECT_EQ(FormatNumber(8, 2, -1e30), "########");
    EXPECT_EQ(FormatNumber(0, 0, -1e40), "");
    {
        FormatSettings english = FormatSettings::German();
        english.DecimalSeparator = '.';
        ScopedFormatSettings scoped(english);
        EXPECT_EQ(FormatNumber(8, 2, 1234.5), " 1234.50");
    }
    // The widest case: the most negative printable value with 255 decimals.
    EXPECT_EQ(FormatNumber(255, 255, -1.7976931348623157e308), std::string(255, '#'));
    const std::string widest = FormatNumber(255, 255, -9.99999999999999e29);
    EXPECT_EQ(widest.size(), 1u + 30u + 1u + 255u);
    EXPECT_EQ(widest.substr(0, 6), "-99999");
}

TEST_F(ExpressionTest, ExpressionItemFills)
{
    EXPECT_EQ(ExpressionItem("QD/0", 8, 2, names), "########");
    EXPECT_EQ(ExpressionItem("QD/", 8, 2, names), "********");
    EXPECT_EQ(ExpressionItem("QD/", 0, 2, names), "");
    EXPECT_EQ(ExpressionItem("QD/2", 8, 1, names), "   617,3");
    EXPECT_EQ(ExpressionItem("SQRT(0)", 3, 0, names), "###");
}

TEST_F(ExpressionTest, TokensTellExpressionItemsFromNameItems)
{
    for (const char* text : {"QD+1", "A-B", "2*3", "X/Y", "2^3", "_TSBB", "fXNBM_C", "ABS(X)", "SQRT3(8)", "LN(2)"})
        EXPECT_TRUE(HasExpressionToken(text)) << text;
    for (const char* text : {"QD", "abs(x)", "sqrt(4)", "QD#2", "QD,8,2", "Abs(2)"})
        EXPECT_FALSE(HasExpressionToken(text)) << text;
}

TEST_F(ExpressionTest, EveryComparisonSpelling)
{
    struct Case {
        const char* text;
        bool expected;
    };
    const Case cases[] = {
        {"1<>2", true},   {"2<>2", false},  {"1<=1", true},   {"2<=1", false},  {"1>=1", true},
        {"0>=1", false},  {"2=2", true},    {"2=3", false},   {"1<2", true},    {"2<2", false},
        {"2>1", true},    {"2>2", false},   {"1&lt;2", true}, {"2&lt;1", false}, {"2&gt;1", true},
        {"1&gt;2", false}, {"1.ne.2", true}, {"1.ne.1", false}, {"1.le.1", true}, {"2.le.1", false},
        {"1.ge.1", true}, {"0.ge.1", false}, {"1.eq.1", true}, {"1.eq.2", false}, {"1.lt.2", true},
        {"2.lt.1", false}, {"2.gt.1", true}, {"1.gt.2", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EvaluateCondition(c.text, names), c.expected) << c.text;
}

TEST_F(ExpressionTest, ConditionQuirksAndUndecidableConditions)
{
    EXPECT_TRUE(EvaluateCondition("X > -1", names));           // the sides are trimmed
    EXPECT_TRUE(EvaluateCondition("QD > 1", names));           // blanks before a number are skipped
    EXPECT_FALSE(EvaluateCondition("X + 1 > 0", names));       // "X " does not parse
    EXPECT_TRUE(EvaluateCondition("x.gt.-1", names));
    EXPECT_FALSE(EvaluateCondition("X.GT.-1", names));         // no operator: false
    EXPECT_FALSE(EvaluateCondition("1", names));
    EXPECT_FALSE(EvaluateCondition("Y&lt;=3", names));         // splits at "=": left "Y&lt;" fails
    EXPECT_TRUE(EvaluateCondition("X<>Y", names));
    EXPECT_FALSE(EvaluateCondition("UNBEKANNT<>1", names));    // a side that does not parse: false
    EXPECT_FALSE(EvaluateCondition("1<>", names));
    // An invalid value compares as 1e30.
    EXPECT_TRUE(EvaluateCondition("SQRT(0)=1E30", names));
    EXPECT_TRUE(EvaluateCondition("1/0>1E29", names));
}

TEST_F(ExpressionTest, ArbitraryTextNeverCrashes)
{
    std::mt19937 random(4711);
    const std::string alphabet = "0123456789.+-*/^_()EXQDSRTABLNI #<>=&;gtl";
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 40);
        for (int i = 0; i < length; ++i)
            text += alphabet[random() % alphabet.size()];
        const std::string item = ExpressionItem(text, 6, 2, names);
        EXPECT_EQ(item.find("inf"), std::string::npos) << text;
        EXPECT_EQ(item.find("nan"), std::string::npos) << text;
        EvaluateCondition(text, names);
    }
    EXPECT_EQ(ExpressionValue(ParseExpression(std::string(127, '(') + "1" + std::string(127, ')'), names).get()), 1);
    EXPECT_EQ(ParseExpression(std::string(300, '('), names), nullptr);
}
