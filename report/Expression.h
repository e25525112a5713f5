// The arithmetic of report templates: the expression parser with its precedence rules, the
// evaluation with one valid flag, the number format with its fills, and the conditions of "$?"
// directives. Names in expressions are resolved through a NameResolver supplied by the engine.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace velmoran {

// The value an invalid or unparsable expression stands for; values at or above it print as fill.
constexpr double kInvalidValue = 1e30;

// Expressions, items and conditions are held in 255-character strings: longer texts are cut.
constexpr std::size_t kMaxExpressionLength = 255;

enum class ExprNodeKind : std::uint8_t { Negate = 0, Operator = 1, Function = 2, Number = 3, Variable = 4 };

// One node of an expression tree. Negate and Function nodes keep their operand in Left.
struct ExprNode {
    ExprNodeKind Kind = ExprNodeKind::Number;
    char Operator = 0;          // "+", "-", "*", "/", "^" or "_"
    std::string FunctionName;   // "ABS" ... "SQRT3", empty for parentheses
    double Value = 0;           // number, or a variable's value read at parse time
    std::unique_ptr<ExprNode> Left;
    std::unique_ptr<ExprNode> Right;
};
using ExprTree = std::unique_ptr<ExprNode>;

// Supplies the value of a name met in an expression: a field of the datasets or a template
// variable. The name arrives in upper case; no value means the name is unknown. May raise the
// conversion error for a non-digit after "#".
class NameResolver {
public:
    virtual ~NameResolver() = default;
    virtual std::optional<double> ResolveName(std::string_view upperName) = 0;
};

// True when the text holds one of the thirteen operator and function tokens ("+", "-", "*", "/",
// "^", "_", "ABS(", "EXP(", "INT(", "LN(", "SQR(", "SQRT(", "SQRT3("), compared case-sensitively.
bool HasExpressionToken(std::string_view text);

// True for the characters an expression item keeps: "#", "(", ")", "*", "+", "-", ".", "/", "^",
// digits, ASCII letters and "_".
bool IsExpressionCharacter(char c);

// Converts a number as expressions write it: leading blanks, digits with "." and an optional
// "E" with digits; the mantissa may be empty ("E2" is 0). Anything else fails.
std::optional<double> ConvertExpressionNumber(std::string_view text);

// Parses the text (upper-cased, cut at 255 characters); no tree when it does not parse.
ExprTree ParseExpression(std::string_view text, NameResolver& names);

// The value of a tree: kInvalidValue for no tree or when any operation was invalid (division by
// almost zero, logarithm or root of a non-positive number, a non-finite intermediate result,
// a bit-and operand outside the 64-bit integers).
double ExpressionValue(const ExprNode* tree);

// "%*.*f" in the locale's decimal separator; values of 1e30 and above, of -1e30 and below and
// non-finite values give width times "#".
std::string FormatNumber(int width, int decimals, double value);

// The text of an expression item: width times "*" when the text does not parse.
std::string ExpressionItem(std::string_view text, int width, int decimals, NameResolver& names);

// The comparison operators in the order they are searched for.
inline constexpr std::string_view kComparisonOperators[] = {
    "<>", "<=", ">=", "=", "<", ">", "&lt;", "&gt;", ".ne.", ".le.", ".ge.", ".eq.", ".lt.", ".gt."};

// Evaluates a condition "left OP right". A condition without an operator, or with a side that
// does not parse, is false.
bool EvaluateCondition(std::string_view text, NameResolver& names);

}  // namespace velmoran
