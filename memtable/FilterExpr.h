// Filter expressions of the dataset layer: the text a table's Filter holds ("Land = 'BY' and
// Einwohner > 50000") parsed into a tree of field, constant, unary, binary, compare, function and
// list nodes, and the tree evaluated on variants for the record under test. Comparison binds
// tighter than "not", "not" tighter than "and", "and" tighter than "or"; arithmetic binds
// tighter than comparison. LIKE masks take "*" for any run and "?" for one character.
#pragma once

#include "memtable/Variant.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmoran {

class TDataSet;
class TField;
enum class TFieldType : std::uint8_t;

enum class TFilterNodeKind : std::uint8_t { nkField, nkConst, nkUnary, nkBinary, nkCompare, nkFunc, nkList };
using enum TFilterNodeKind;

// Operators of the nodes; the numbers appear in the messages about unknown operators.
enum class TFilterOperator : int {
    opNone = 0, opField = 1, opConst = 2,
    opIsNull = 3, opIsNotNull = 4, opNegate = 5, opNot = 6, opUpper = 7, opLower = 8,
    opEqual = 9, opNotEqual = 10, opGreater = 11, opLess = 12, opGreaterEqual = 13, opLessEqual = 14,
    opAnd = 15, opOr = 16, opAdd = 17, opSubtract = 18, opMultiply = 19, opDivide = 20, opModulo = 21,
    opRemainder = 22, opLike = 23, opIn = 24, opFunction = 25, opList = 26
};
using enum TFilterOperator;

// Filter options: compare texts without regard to case; "=" with a text ending in "*" compares
// only the part before it unless partial compare is off.
using TFilterOptions = std::uint8_t;
constexpr TFilterOptions foCaseInsensitive = 1;
constexpr TFilterOptions foNoPartialCompare = 2;

struct TFilterNode {
    TFilterNodeKind Kind = nkConst;
    TFilterOperator Operator = opNone;
    // Field node: the field (resolved when parsed).
    const TField* Field = nullptr;
    // Constant node: the value and the field type it stands for.
    TFieldType ConstType{};
    TVariant Value;
    // Function node: "UPPER", "LOWER" or "SUBSTRING".
    std::string FunctionName;
    // Compare node: its own case option.
    bool CaseInsensitive = false;
    std::vector<std::unique_ptr<TFilterNode>> Args;

    static std::unique_ptr<TFilterNode> MakeField(const TField* field);
    static std::unique_ptr<TFilterNode> MakeConst(TFieldType type, TVariant value);
    static std::unique_ptr<TFilterNode> Make(TFilterNodeKind kind, TFilterOperator op,
                                             std::vector<std::unique_ptr<TFilterNode>> args = {});
};

// What evaluation needs besides the tree: how texts compare.
struct TFilterContext {
    TFilterOptions Options = 0;
    std::uint32_t LocaleID = 1024;
};

class TFilterExpression {
public:
    // Parses `text` with the fields of `dataSet`. A text that does not parse raises
    // EDatabaseError "Filterausdruck: unerwartetes Zeichen an Position N" (N counted from 1,
    // "unerwartetes Ende" at the end); so does nesting deeper than kMaxDepth. An unknown field
    // raises the field-lookup error.
    TFilterExpression(std::string_view text, const TDataSet& dataSet, TFilterOptions options);
    // A tree built by hand.
    explicit TFilterExpression(std::unique_ptr<TFilterNode> root, TFilterOptions options = 0);
    ~TFilterExpression();

    static constexpr int kMaxDepth = 256;

    const TFilterNode& Root() const { return *root_; }
    TFilterOptions Options() const { return options_; }
    // The value of the tree for the fields' current values (the dataset decides which record
    // its fields read).
    TVariant Evaluate(std::uint32_t localeId) const;
    // True when the value converts to true; null and empty are false.
    bool Accepts(std::uint32_t localeId) const;

private:
    std::unique_ptr<TFilterNode> root_;
    TFilterOptions options_;
};

TVariant EvaluateFilterNode(const TFilterNode& node, const TFilterContext& context);

// Wildcard match of `text` against `mask` ("*" any run, "?" one character), in time proportional
// to the text length times the mask length, never exponential.
bool MatchesMask(std::u32string_view text, std::u32string_view mask);
bool MatchesMask(std::string_view utf8Text, std::string_view utf8Mask, bool ignoreCase);

}  // namespace velmoran
