// Parser, evaluator, number format and conditions of the template expressions.
#include "report/Expression.h"

#include "platform/core/FormatSettings.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/Text.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace velmoran {

namespace {

constexpr std::string_view kTokens[] = {"+",    "-",    "*",    "/",    "^",     "_",     "ABS(",
                                        "EXP(", "INT(", "LN(",  "SQR(", "SQRT(", "SQRT3("};
constexpr std::string_view kFunctions[] = {"ABS", "EXP", "INT", "LN", "SQR", "SQRT", "SQRT3"};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view Cut(std::string_view text)
{
    return text.substr(0, std::min(text.size(), kMaxExpressionLength));
}

// Recursive descent over one text, all calls sharing the valid flag of the parse.
class Parser {
public:
    explicit Parser(NameResolver& names) : names_(names) {}

    ExprTree Parse(std::string_view s)
    {
        if (!valid_ || s.empty()) {
            valid_ = false;
            return nullptr;
        }
        if (ExprTree node = Split(s, "+-"))
            return node;
        if (!valid_)
            return nullptr;
        if (ExprTree node = Split(s, "*/"))
            return node;
        if (!valid_)
            return nullptr;
        if (s.front() == '+')
            return Parse(s.substr(1));
        if (s.front() == '-') {
            auto node = std::make_unique<ExprNode>();
            node->Kind = ExprNodeKind::Negate;
            node->Left = Parse(s.substr(1));
            return node;
        }
        if (ExprTree node = Split(s, "^"))
            return node;
        if (!valid_)
            return nullptr;
        if (ExprTree node = Split(s, "_"))
            return node;
        if (!valid_)
            return nullptr;
        if (ExprTree node = Function(s))
            return node;
        if (!valid_)
            return nullptr;
        if (const auto number = ConvertExpressionNumber(s)) {
            auto node = std::make_unique<ExprNode>();
            node->Kind = ExprNodeKind::Number;
            node->Value = *number;
            return node;
        }
        if (const auto value = names_.ResolveName(s)) {
            auto node = std::make_unique<ExprNode>();
            node->Kind = ExprNodeKind::Variable;
            node->Value = *value;
            return node;
        }
        valid_ = false;
        return nullptr;
    }

    bool Valid() const { return valid_; }

private:
    // Splits at the rightmost operator of the class at parenthesis depth 0 that is neither the
    // first character nor directly after "^"; the rightmost split makes the class left-associative.
    ExprTree Split(std::string_view s, std::string_view operators)
    {
        int depth = 0;
        for (std::size_t i = s.size(); i-- > 0;) {
            const char c = s[i];
            if (c == ')')
                ++depth;
            else if (c == '(')
                --depth;
            else if (depth == 0 && i > 0 && operators.find(c) != std::string_view::npos && s[i - 1] != '^') {
                auto node = std::make_unique<ExprNode>();
                node->Kind = ExprNodeKind::Operator;
                node->Operator = c;
                node->Left = Parse(s.substr(0, i));
                node->Right = Parse(s.substr(i + 1));
                return node;
            }
        }
        return nullptr;
    }

    // A function call or plain parentheses: a known name (or none) before the first "(", and
    // the text ending with ")".
    ExprTree Function(std::string_view s)
    {
        const std::size_t open = s.find('(');
        if (open == std::string_view::npos || s.back() != ')')
            return nullptr;
        const std::string_view name = s.substr(0, open);
        bool known = name.empty();
        for (const auto function : kFunctions)
            known = known || name == function;
        if (!known)
            return nullptr;
        auto node = std::make_unique<ExprNode>();
        node->Kind = ExprNodeKind::Function;
        node->FunctionName = std::string(name);
        node->Left = Parse(s.substr(open + 1, s.size() - open - 2));
        return node;
    }

    NameResolver& names_;
    bool valid_ = true;
};

class Evaluator {
public:
    double Evaluate(const ExprNode* node)
    {
        if (node == nullptr) {
            valid_ = false;
            return 0;
        }
        const double result = Compute(*node);
        // The floating-point unit raises nothing here: an infinite or undefined result is
        // invalid rather than flowing on into the output as "inf".
        if (!std::isfinite(result))
            valid_ = false;
        return result;
    }

    bool Valid() const { return valid_; }

private:
    double Invalid()
    {
        valid_ = false;
        return 0;
    }

    static bool FitsInt64(double value)
    {
        // -2^63 is exact as a double; 2^63 is the first value beyond the range.
        return value >= -9223372036854775808.0 && value < 9223372036854775808.0;
    }

    double Compute(const ExprNode& node)
    {
        switch (node.Kind) {
        case ExprNodeKind::Negate:
            return -Evaluate(node.Left.get());
        case ExprNodeKind::Number:
        case ExprNodeKind::Variable:
            return node.Value;
        case ExprNodeKind::Operator: {
            const double left = Evaluate(node.Left.get());
            const double right = Evaluate(node.Right.get());
            switch (node.Operator) {
            case '+':
                return left + right;
            case '-':
                return left - right;
            case '*':
                return left * right;
            case '/':
                if (!(std::fabs(right) > 1e-30))
                    return Invalid();
                return left / right;
            case '^':
                if (!(left > 1e-30))
                    return Invalid();
                return std::exp(right * std::log(left));
            case '_': {
                // Truncating NaN, infinity or a value outside the 64-bit range has no defined
                // result: such an operand makes the expression invalid.
                const double a = std::trunc(left);
                const double b = std::trunc(right);
                if (!FitsInt64(a) || !FitsInt64(b))
                    return Invalid();
                return static_cast<double>(static_cast<std::int64_t>(a) & static_cast<std::int64_t>(b));
            }
            default:
                return Invalid();
            }
        }
        case ExprNodeKind::Function: {
            const double x = Evaluate(node.Left.get());
            const std::string& name = node.FunctionName;
            if (name.empty())
                return x;
            if (name == "ABS")
                return std::fabs(x);
            if (name == "EXP")
                return std::exp(x);
            if (name == "INT")
                return std::trunc(x);
            if (name == "LN")
                return x > 0 ? std::log(x) : Invalid();
            if (name == "SQR")
                return x * x;
            if (name == "SQRT")
                return x > 0 ? std::sqrt(x) : Invalid();
            if (name == "SQRT3")
                return x > 1e-30 ? std::exp(std::log(x) / 3) : Invalid();
            return Invalid();
        }
        }
        return Invalid();
    }

    bool valid_ = true;
};

}  // namespace

bool HasExpressionToken(std::string_view text)
{
    for (const auto token : kTokens)
        if (text.find(token) != std::string_view::npos)
            return true;
    return false;
}

bool IsExpressionCharacter(char c)
{
    return IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           std::string_view("#()*+-./^_").find(c) != std::string_view::npos;
}

std::optional<double> ConvertExpressionNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    const std::size_t start = i;
    std::size_t digits = 0;
    bool nonZeroInteger = false;
    while (i < text.size() && IsDigit(text[i])) {
        nonZeroInteger = nonZeroInteger || text[i] != '0';
        ++i, ++digits;
    }
    std::size_t leadingFractionZeros = 0;
    bool nonZeroSeen = nonZeroInteger;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            if (!nonZeroSeen && text[i] == '0')
                ++leadingFractionZeros;
            nonZeroSeen = nonZeroSeen || text[i] != '0';
            ++i, ++digits;
        }
    }
    bool exponent = false;
    std::size_t exponentDigits = 0;
    long long exponentValue = 0;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        exponent = true;
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            exponentValue = std::min(exponentValue * 10 + (text[i] - '0'), 1000000LL);
            ++i, ++exponentDigits;
        }
    }
    if (i != text.size() || (exponent && exponentDigits == 0) || (digits == 0 && !exponent))
        return std::nullopt;
    if (digits == 0)
        return 0.0;  // "E2": an empty mantissa is zero
    const std::string_view number = text.substr(start);
    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value,
                                        std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Beyond the double range: an overflow stays infinite (the evaluation turns it invalid),
        // an underflow is zero.
        const bool overflow =
            nonZeroInteger || exponentValue > static_cast<long long>(leadingFractionZeros);
        return overflow ? HUGE_VAL : 0.0;
    }
    if (result.ec != std::errc() || result.ptr != number.data() + number.size())
        return std::nullopt;
    return value;
}

ExprTree ParseExpression(std::string_view text, NameResolver& names)
{
    const std::string upper = UpperCase(Cut(text));
    Parser parser(names);
    ExprTree tree = parser.Parse(upper);
    if (!parser.Valid())
        return nullptr;
    return tree;
}

double ExpressionValue(const ExprNode* tree)
{
    if (tree == nullptr)
        return kInvalidValue;
    Evaluator evaluator;
    const double value = evaluator.Evaluate(tree);
    return evaluator.Valid() ? value : kInvalidValue;
}

std::string FormatNumber(int width, int decimals, double value)
{
    // As large below zero as the invalid value above it: no room for hundreds of digits either.
    if (!(std::fabs(value) < kInvalidValue))
        return std::string(static_cast<std::size_t>(std::max(width, 0)), '#');
    return FormatFixed(width, decimals, value, FormatSettings::Current());
}

std::string ExpressionItem(std::string_view text, int width, int decimals, NameResolver& names)
{
    const ExprTree tree = ParseExpression(text, names);
    if (!tree)
        return std::string(static_cast<std::size_t>(std::max(width, 0)), '*');
    return FormatNumber(width, decimals, ExpressionValue(tree.get()));
}

bool EvaluateCondition(std::string_view text, NameResolver& names)
{
    text = Cut(text);
    for (std::size_t op = 0; op < std::size(kComparisonOperators); ++op) {
        const std::string_view spelling = kComparisonOperators[op];
        const std::size_t at = text.find(spelling);
        if (at == std::string_view::npos)
            continue;
        const ExprTree left = ParseExpression(TrimView(text.substr(0, at)), names);
        if (!left)
            return false;
        const double a = ExpressionValue(left.get());
        const ExprTree right = ParseExpression(TrimView(text.substr(at + spelling.size())), names);
        if (!right)
            return false;
        const double b = ExpressionValue(right.get());
        switch (op) {
        case 0:
        case 8:
            return a != b;
        case 1:
        case 9:
            return a <= b;
        case 2:
        case 10:
            return a >= b;
        case 3:
        case 11:
            return a == b;
        case 4:
        case 6:
        case 12:
            return a < b;
        default:
            return a > b;
        }
    }
    return false;
}

}  // namespace velmoran
