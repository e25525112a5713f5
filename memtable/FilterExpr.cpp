// The filter-expression parser (recursive descent with a depth limit, so that a text from
// outside cannot overflow the stack) and the evaluation of the tree on variants.
#include "memtable/FilterExpr.h"

#include "memtable/DataSet.h"
#include "memtable/RecordStore.h"
#include "platform/core/Cp1252.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/ScopeExit.h"
#include "platform/core/Text.h"
#include "platform/core/TextCollator.h"

#include <cmath>

namespace velmoran {

// ---- nodes ----

std::unique_ptr<TFilterNode> TFilterNode::MakeField(const TField* field)
{
    auto node = std::make_unique<TFilterNode>();
    node->Kind = nkField;
    node->Operator = opField;
    node->Field = field;
    return node;
}

std::unique_ptr<TFilterNode> TFilterNode::MakeConst(TFieldType type, TVariant value)
{
    auto node = std::make_unique<TFilterNode>();
    node->Kind = nkConst;
    node->Operator = opConst;
    node->ConstType = type;
    node->Value = std::move(value);
    return node;
}

std::unique_ptr<TFilterNode> TFilterNode::Make(TFilterNodeKind kind, TFilterOperator op,
                                               std::vector<std::unique_ptr<TFilterNode>> args)
{
    auto node = std::make_unique<TFilterNode>();
    node->Kind = kind;
    node->Operator = op;
    node->Args = std::move(args);
    return node;
}

// ---- parser ----

namespace {

enum class TokenKind { End, Identifier, Name, Text, Number, Symbol };

struct Token {
    TokenKind Kind = TokenKind::End;
    std::string Text;
    std::size_t Offset = 0;
};

class Parser {
public:
    Parser(std::string_view text, const TDataSet& dataSet, TFilterOptions options)
        : text_(text), dataSet_(dataSet), options_(options)
    {
        Advance();
    }

    std::unique_ptr<TFilterNode> ParseAll()
    {
        auto root = ParseOr();
        if (token_.Kind != TokenKind::End)
            Fail(token_.Offset);
        return root;
    }

private:
    struct Depth {
        explicit Depth(Parser& parser) : parser_(parser)
        {
            if (++parser_.depth_ > TFilterExpression::kMaxDepth)
                parser_.Fail(parser_.token_.Offset);
        }
        ~Depth() { --parser_.depth_; }
        Parser& parser_;
    };

    [[noreturn]] void Fail(std::size_t offset) const
    {
        // Positions count characters from 1.
        std::size_t position = 1;
        for (std::size_t i = 0; i < offset && i < text_.size(); ++i)
            if ((static_cast<unsigned char>(text_[i]) & 0xC0) != 0x80)
                ++position;
        if (offset >= text_.size())
            throw EDatabaseError("Filterausdruck: unerwartetes Ende an Position " + IntToStr(static_cast<long long>(position)));
        throw EDatabaseError("Filterausdruck: unerwartetes Zeichen an Position " + IntToStr(static_cast<long long>(position)));
    }

    static bool IsIdentifierStart(unsigned char c) { return std::isalpha(c) || c == '_' || c >= 0x80; }
    static bool IsIdentifierPart(unsigned char c) { return IsIdentifierStart(c) || std::isdigit(c); }

    void Advance()
    {
        std::size_t i = pos_;
        while (i < text_.size() && static_cast<unsigned char>(text_[i]) <= ' ')
            ++i;
        token_ = Token{TokenKind::End, {}, i};
        if (i >= text_.size()) {
            pos_ = i;
            return;
        }
        const auto c = static_cast<unsigned char>(text_[i]);
        if (c == '\'') {
            std::string value;
            std::size_t j = i + 1;
            for (;; ++j) {
                if (j >= text_.size())
                    Fail(j);
                if (text_[j] == '\'') {
                    if (j + 1 < text_.size() && text_[j + 1] == '\'') {
                        value += '\'';
                        ++j;
                        continue;
                    }
                    break;
                }
                value += text_[j];
            }
            token_ = Token{TokenKind::Text, std::move(value), i};
            pos_ = j + 1;
        } else if (c == '[' || c == '"') {
            const char close = c == '[' ? ']' : '"';
            std::size_t end = text_.find(close, i + 1);
            if (end == std::string_view::npos)
                Fail(text_.size());
            token_ = Token{TokenKind::Name, std::string(text_.substr(i + 1, end - i - 1)), i};
            pos_ = end + 1;
        } else if (std::isdigit(c) || (c == '.' && i + 1 < text_.size() && std::isdigit(static_cast<unsigned char>(text_[i + 1])))) {
            std::size_t j = i;
            while (j < text_.size() && (std::isdigit(static_cast<unsigned char>(text_[j])) || text_[j] == '.'))
                ++j;
            if (j < text_.size() && (text_[j] == 'e' || text_[j] == 'E')) {
                std::size_t k = j + 1;
                if (k < text_.size() && (text_[k] == '+' || text_[k] == '-'))
                    ++k;
                if (k < text_.size() && std::isdigit(static_cast<unsigned char>(text_[k]))) {
                    j = k;
                    while (j < text_.size() && std::isdigit(static_cast<unsigned char>(text_[j])))
                        ++j;
                }
            }
            token_ = Token{TokenKind::Number, std::string(text_.substr(i, j - i)), i};
            pos_ = j;
        } else if (IsIdentifierStart(c)) {
            std::size_t j = i;
            while (j < text_.size() && IsIdentifierPart(static_cast<unsigned char>(text_[j])))
                ++j;
            token_ = Token{TokenKind::Identifier, std::string(text_.substr(i, j - i)), i};
            pos_ = j;
        } else {
            static const char* const twoCharacter[] = {"<>", "<=", ">=", "!="};
            for (const char* symbol : twoCharacter)
                if (text_.substr(i, 2) == symbol) {
                    token_ = Token{TokenKind::Symbol, symbol, i};
                    pos_ = i + 2;
                    return;
                }
            if (std::string_view("=<>+-*/%(),").find(static_cast<char>(c)) == std::string_view::npos)
                Fail(i);
            token_ = Token{TokenKind::Symbol, std::string(1, static_cast<char>(c)), i};
            pos_ = i + 1;
        }
    }

    bool IsSymbol(std::string_view symbol) const { return token_.Kind == TokenKind::Symbol && token_.Text == symbol; }
    bool IsKeyword(std::string_view word) const { return token_.Kind == TokenKind::Identifier && SameText(token_.Text, word); }
    void Expect(std::string_view symbol)
    {
        if (!IsSymbol(symbol))
            Fail(token_.Offset);
        Advance();
    }

    using NodePtr = std::unique_ptr<TFilterNode>;

    static NodePtr Binary(TFilterOperator op, NodePtr left, NodePtr right)
    {
        std::vector<NodePtr> args;
        args.push_back(std::move(left));
        args.push_back(std::move(right));
        return TFilterNode::Make(nkBinary, op, std::move(args));
    }

    static NodePtr Unary(TFilterOperator op, NodePtr operand)
    {
        std::vector<NodePtr> args;
        args.push_back(std::move(operand));
        return TFilterNode::Make(nkUnary, op, std::move(args));
    }

    // Chains of "and", "or" and arithmetic grow the tree's depth too: each link counts as a
    // level for the rest of the chain.
    void Chain(int& links)
    {
        ++links;
        if (++depth_ > TFilterExpression::kMaxDepth)
            Fail(token_.Offset);
    }

    NodePtr ParseOr()
    {
        NodePtr left = ParseAnd();
        int links = 0;
        const ScopeExit unwind([&] { depth_ -= links; });
        while (IsKeyword("or")) {
            Chain(links);
            Advance();
            left = Binary(opOr, std::move(left), ParseAnd());
        }
        return left;
    }

    NodePtr ParseAnd()
    {
        NodePtr left = ParseNot();
        int links = 0;
        const ScopeExit unwind([&] { depth_ -= links; });
        while (IsKeyword("and")) {
            Chain(links);
            Advance();
            left = Binary(opAnd, std::move(left), ParseNot());
        }
        return left;
    }

    NodePtr ParseNot()
    {
        if (IsKeyword("not")) {
            Depth depth(*this);
            Advance();
            return Unary(opNot, ParseNot());
        }
        return ParseComparison();
    }

    NodePtr ParseComparison()
    {
        NodePtr left = ParseAdditive();
        static const std::pair<const char*, TFilterOperator> comparisons[] = {
            {"=", opEqual}, {"<>", opNotEqual}, {"!=", opNotEqual}, {"<", opLess},
            {">", opGreater}, {"<=", opLessEqual}, {">=", opGreaterEqual}};
        for (const auto& [symbol, op] : comparisons)
            if (IsSymbol(symbol)) {
                Advance();
                return Binary(op, std::move(left), ParseAdditive());
            }
        if (IsKeyword("is")) {
            Advance();
            bool negated = false;
            if (IsKeyword("not")) {
                negated = true;
                Advance();
            }
            if (!IsKeyword("null"))
                Fail(token_.Offset);
            Advance();
            return Unary(negated ? opIsNotNull : opIsNull, std::move(left));
        }
        bool negated = false;
        if (IsKeyword("not")) {
            negated = true;
            Advance();
            if (!IsKeyword("like") && !IsKeyword("in"))
                Fail(token_.Offset);
        }
        NodePtr result;
        if (IsKeyword("like")) {
            Advance();
            NodePtr mask = ParseAdditive();
            if (left->Kind == nkField && mask->Kind == nkConst) {
                result = Binary(opLike, std::move(left), std::move(mask));
                result->Kind = nkCompare;
                result->CaseInsensitive = (options_ & foCaseInsensitive) != 0;
            } else {
                result = Binary(opLike, std::move(left), std::move(mask));
            }
        } else if (IsKeyword("in")) {
            Advance();
            result = Binary(opIn, std::move(left), ParseList());
        } else {
            return left;
        }
        return negated ? Unary(opNot, std::move(result)) : std::move(result);
    }

    NodePtr ParseList()
    {
        Depth depth(*this);
        Expect("(");
        std::vector<NodePtr> elements;
        elements.push_back(ParseAdditive());
        while (IsSymbol(",")) {
            Advance();
            elements.push_back(ParseAdditive());
        }
        Expect(")");
        return TFilterNode::Make(nkList, opList, std::move(elements));
    }

    NodePtr ParseAdditive()
    {
        NodePtr left = ParseMultiplicative();
        int links = 0;
        const ScopeExit unwind([&] { depth_ -= links; });
        while (IsSymbol("+") || IsSymbol("-")) {
            Chain(links);
            TFilterOperator op = IsSymbol("+") ? opAdd : opSubtract;
            Advance();
            left = Binary(op, std::move(left), ParseMultiplicative());
        }
        return left;
    }

    NodePtr ParseMultiplicative()
    {
        NodePtr left = ParseUnary();
        int links = 0;
        const ScopeExit unwind([&] { depth_ -= links; });
        for (;;) {
            TFilterOperator op = opNone;
            if (IsSymbol("*"))
                op = opMultiply;
            else if (IsSymbol("/"))
                op = opDivide;
            else if (IsSymbol("%") || IsKeyword("mod"))
                op = opModulo;
            else if (IsKeyword("rem"))
                op = opRemainder;
            if (op == opNone)
                return left;
            Chain(links);
            Advance();
            left = Binary(op, std::move(left), ParseUnary());
        }
    }

    NodePtr ParseUnary()
    {
        if (IsSymbol("-") || IsSymbol("+")) {
            Depth depth(*this);
            bool negate = IsSymbol("-");
            Advance();
            NodePtr operand = ParseUnary();
            return negate ? Unary(opNegate, std::move(operand)) : std::move(operand);
        }
        return ParsePrimary();
    }

    NodePtr ParseNumber()
    {
        const std::string text = token_.Text;
        const std::size_t offset = token_.Offset;
        Advance();
        if (text.find_first_of(".eE") == std::string::npos && text.size() <= 9)
            return TFilterNode::MakeConst(ftInteger, TVariant(static_cast<int>(std::stol(text))));
        FormatSettings point;
        point.DecimalSeparator = '.';
        point.ThousandSeparator = '\0';
        auto value = TryStrToFloat(text, point);
        if (!value || !std::isfinite(*value))
            Fail(offset);
        return TFilterNode::MakeConst(ftFloat, TVariant(*value));
    }

    NodePtr ParsePrimary()
    {
        switch (token_.Kind) {
        case TokenKind::End:
            Fail(token_.Offset);
        case TokenKind::Number:
            return ParseNumber();
        case TokenKind::Text: {
            NodePtr node = TFilterNode::MakeConst(ftString, TVariant(token_.Text));
            Advance();
            return node;
        }
        case TokenKind::Name: {
            NodePtr node = TFilterNode::MakeField(&dataSet_.FieldByName(token_.Text));
            Advance();
            return node;
        }
        case TokenKind::Symbol: {
            if (!IsSymbol("("))
                Fail(token_.Offset);
            Depth depth(*this);
            Advance();
            NodePtr inner = ParseOr();
            Expect(")");
            return inner;
        }
        case TokenKind::Identifier:
            break;
        }
        if (IsKeyword("null")) {
            Advance();
            return TFilterNode::MakeConst(ftString, TVariant::Null());
        }
        if (IsKeyword("true") || IsKeyword("false")) {
            bool value = IsKeyword("true");
            Advance();
            return TFilterNode::MakeConst(ftBoolean, TVariant(value));
        }
        const Token name = token_;
        Advance();
        if (!IsSymbol("("))
            return TFilterNode::MakeField(&dataSet_.FieldByName(name.Text));
        std::string function = UpperCase(name.Text);
        if (function != "UPPER" && function != "LOWER" && function != "SUBSTRING")
            Fail(name.Offset);
        Depth depth(*this);
        Advance();
        std::vector<NodePtr> args;
        args.push_back(ParseOr());
        while (IsSymbol(",")) {
            Advance();
            args.push_back(ParseOr());
        }
        Expect(")");
        const std::size_t wanted = function == "SUBSTRING" ? 3 : 1;
        if (args.size() != wanted && !(function == "SUBSTRING" && args.size() == 2))
            Fail(name.Offset);
        NodePtr node = TFilterNode::Make(nkFunc, opFunction, std::move(args));
        node->FunctionName = function;
        return node;
    }

    std::string_view text_;
    const TDataSet& dataSet_;
    TFilterOptions options_;
    Token token_;
    std::size_t pos_ = 0;
    int depth_ = 0;
};

// ---- evaluation ----

[[noreturn]] void NotSupported(TFilterOperator op)
{
    throw EMemTableFilterError("Filterausdruck: Operator nicht unterstützt (" + IntToStr(static_cast<int>(op)) + ").");
}

bool IsTrue(const TVariant& value)
{
    return !value.IsNullOrEmpty() && value.AsBoolean();
}

std::u32string CodePoints(std::string_view utf8)
{
    std::u32string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();)
        out.push_back(DecodeUtf8(utf8, i));
    return out;
}

std::string FromCodePoints(std::u32string_view text)
{
    std::string out;
    for (char32_t c : text)
        AppendUtf8(out, c);
    return out;
}

TVarCompareOptions CompareOptions(const TFilterContext& context, bool ignoreCase)
{
    return TVarCompareOptions{ignoreCase, context.LocaleID};
}

// "=" against a text ending in "*" compares only the part before the star, unless partial
// comparison is off.
std::optional<int> CompareEqual(const TVariant& left, const TVariant& right, const TFilterContext& context)
{
    const bool ignoreCase = (context.Options & foCaseInsensitive) != 0;
    if (!(context.Options & foNoPartialCompare) && right.IsText() && !left.IsNullOrEmpty()) {
        std::string mask = right.AsString();
        if (!mask.empty() && mask.back() == '*') {
            mask.pop_back();
            std::u32string prefix = CodePoints(mask);
            std::u32string text = CodePoints(left.AsString());
            if (text.size() > prefix.size())
                text.resize(prefix.size());
            return VarCompareText(FromCodePoints(text), mask, CompareOptions(context, ignoreCase));
        }
    }
    return VarCompare(left, right, CompareOptions(context, ignoreCase));
}

TVariant Compare(TFilterOperator op, const TVariant& left, const TVariant& right, const TFilterContext& context)
{
    std::optional<int> result = op == opEqual || op == opNotEqual
                                    ? CompareEqual(left, right, context)
                                    : VarCompare(left, right, CompareOptions(context, (context.Options & foCaseInsensitive) != 0));
    if (!result)
        return TVariant(false);
    switch (op) {
    case opEqual: return TVariant(*result == 0);
    case opNotEqual: return TVariant(*result != 0);
    case opGreater: return TVariant(*result > 0);
    case opLess: return TVariant(*result < 0);
    case opGreaterEqual: return TVariant(*result >= 0);
    default: return TVariant(*result <= 0);
    }
}

TVariant Like(const TVariant& text, const TVariant& mask, bool ignoreCase)
{
    if (text.IsNullOrEmpty() || mask.IsNullOrEmpty())
        return TVariant(false);
    return TVariant(MatchesMask(text.AsString(), mask.AsString(), ignoreCase));
}

TVariant In(const TVariant& value, const TVariant& list, const TFilterContext& context)
{
    if (!list.IsArray())
        return Compare(opEqual, value, list, context);
    for (const TVariant& element : list.Elements()) {
        if (element.IsEmpty())
            break;
        if (IsTrue(Compare(opEqual, value, element, context)))
            return TVariant(true);
    }
    return TVariant(false);
}

TVariant EvaluateConst(const TFilterNode& node)
{
    const TVariant& value = node.Value;
    if (value.IsNullOrEmpty())
        return TVariant::Null();
    switch (node.ConstType) {
    case ftString:
    case ftFixedChar:
        return TVariant(value.AsString());
    case ftWideString:
        return TVariant(value.AsWideString());
    case ftSmallint:
        return TVariant::Smallint(static_cast<std::int16_t>(value.AsInteger()));
    case ftInteger:
    case ftWord:
        return TVariant(value.AsInteger());
    case ftBoolean:
        return TVariant(value.AsBoolean());
    case ftFloat:
        return TVariant(value.AsDouble());
    case ftCurrency:
    case ftBCD:
        return TVariant::Currency(value.AsCurrency());
    case ftDate:
        return TVariant::Date(value.AsDateTime(), dkDate);
    case ftTime:
        return TVariant::Date(value.AsDateTime(), dkTime);
    case ftDateTime:
        return TVariant::Date(value.AsDateTime(), dkDateTime);
    default:
        throw EMemTableFilterError("Filterausdruck: unbekannter Feldtyp (" + IntToStr(static_cast<int>(node.ConstType)) + ")");
    }
}

const TFilterNode& Arg(const TFilterNode& node, std::size_t i)
{
    if (i >= node.Args.size() || !node.Args[i])
        NotSupported(node.Operator);
    return *node.Args[i];
}

TVariant EvaluateUnary(const TFilterNode& node, const TFilterContext& context)
{
    TVariant operand = EvaluateFilterNode(Arg(node, 0), context);
    switch (node.Operator) {
    case opIsNull: return TVariant(operand.IsNullOrEmpty());
    case opIsNotNull: return TVariant(!operand.IsNullOrEmpty());
    case opNegate: return VarNeg(operand);
    case opNot: return operand.IsNullOrEmpty() ? TVariant::Null() : TVariant(!operand.AsBoolean());
    case opUpper: return operand.IsNullOrEmpty() ? TVariant::Null() : TVariant(UnicodeUpperCase(operand.AsString()));
    case opLower: return operand.IsNullOrEmpty() ? TVariant::Null() : TVariant(UnicodeLowerCase(operand.AsString()));
    default: NotSupported(node.Operator);
    }
}

TVariant EvaluateBinary(const TFilterNode& node, const TFilterContext& context)
{
    const TFilterNode& leftNode = Arg(node, 0);
    const TFilterNode& rightNode = Arg(node, 1);
    if (node.Operator == opAnd)
        return TVariant(IsTrue(EvaluateFilterNode(leftNode, context)) && IsTrue(EvaluateFilterNode(rightNode, context)));
    if (node.Operator == opOr)
        return TVariant(IsTrue(EvaluateFilterNode(leftNode, context)) || IsTrue(EvaluateFilterNode(rightNode, context)));
    TVariant left = EvaluateFilterNode(leftNode, context);
    TVariant right = EvaluateFilterNode(rightNode, context);
    switch (node.Operator) {
    case opEqual:
    case opNotEqual:
    case opGreater:
    case opLess:
    case opGreaterEqual:
    case opLessEqual:
        return Compare(node.Operator, left, right, context);
    case opAdd: return VarAdd(left, right);
    case opSubtract: return VarSub(left, right);
    case opMultiply: return VarMul(left, right);
    case opDivide: return VarDiv(left, right);
    case opModulo: return VarMod(left, right);
    case opRemainder: return VarRem(left, right);
    case opLike: return Like(left, right, (context.Options & foCaseInsensitive) != 0);
    case opIn: return In(left, right, context);
    default: NotSupported(node.Operator);
    }
}

TVariant EvaluateFunction(const TFilterNode& node, const TFilterContext& context)
{
    if (node.Operator != opFunction)
        NotSupported(node.Operator);
    TVariant text = EvaluateFilterNode(Arg(node, 0), context);
    const std::string name = UpperCase(node.FunctionName);
    if (name == "UPPER")
        return text.IsNullOrEmpty() ? TVariant::Null() : TVariant(UnicodeUpperCase(text.AsString()));
    if (name == "LOWER")
        return text.IsNullOrEmpty() ? TVariant::Null() : TVariant(UnicodeLowerCase(text.AsString()));
    if (name != "SUBSTRING")
        NotSupported(node.Operator);
    TVariant start = EvaluateFilterNode(Arg(node, 1), context);
    TVariant length = node.Args.size() > 2 ? EvaluateFilterNode(Arg(node, 2), context) : TVariant();
    if (text.IsNullOrEmpty() || start.IsNullOrEmpty())
        return TVariant::Null();
    std::u32string points = CodePoints(text.AsString());
    std::int64_t from = std::max<std::int64_t>(start.AsInt64(), 1) - 1;
    if (from >= static_cast<std::int64_t>(points.size()))
        return TVariant(std::string());
    std::int64_t count = length.IsNullOrEmpty() ? static_cast<std::int64_t>(points.size()) : std::max<std::int64_t>(length.AsInt64(), 0);
    return TVariant(FromCodePoints(std::u32string_view(points).substr(static_cast<std::size_t>(from), static_cast<std::size_t>(count))));
}

}  // namespace

TVariant EvaluateFilterNode(const TFilterNode& node, const TFilterContext& context)
{
    switch (node.Kind) {
    case nkField:
        if (node.Operator != opField || !node.Field)
            throw EMemTableFilterError("Filterausdruck: unbekannter Operator (" + IntToStr(static_cast<int>(node.Operator)) + ")");
        return node.Field->AsVariant();
    case nkConst:
        return EvaluateConst(node);
    case nkUnary:
        return EvaluateUnary(node, context);
    case nkBinary:
        return EvaluateBinary(node, context);
    case nkCompare:
        if (node.Operator != opLike)
            NotSupported(node.Operator);
        return Like(EvaluateFilterNode(Arg(node, 0), context), EvaluateFilterNode(Arg(node, 1), context),
                    node.CaseInsensitive);
    case nkFunc:
        return EvaluateFunction(node, context);
    case nkList: {
        if (node.Operator != opList)
            NotSupported(node.Operator);
        std::vector<TVariant> elements;
        for (const auto& arg : node.Args)
            elements.push_back(arg ? EvaluateFilterNode(*arg, context) : TVariant());
        return TVariant(std::move(elements));
    }
    }
    NotSupported(node.Operator);
}

// ---- expression ----

TFilterExpression::TFilterExpression(std::string_view text, const TDataSet& dataSet, TFilterOptions options)
    : root_(Parser(text, dataSet, options).ParseAll()), options_(options)
{
}

TFilterExpression::TFilterExpression(std::unique_ptr<TFilterNode> root, TFilterOptions options)
    : root_(std::move(root)), options_(options)
{
}

TFilterExpression::~TFilterExpression() = default;

TVariant TFilterExpression::Evaluate(std::uint32_t localeId) const
{
    return EvaluateFilterNode(*root_, TFilterContext{options_, localeId});
}

bool TFilterExpression::Accepts(std::uint32_t localeId) const
{
    return IsTrue(Evaluate(localeId));
}

// ---- wildcard masks ----

namespace {

bool SegmentAt(std::u32string_view text, std::size_t at, std::u32string_view segment)
{
    if (at + segment.size() > text.size())
        return false;
    for (std::size_t i = 0; i < segment.size(); ++i)
        if (segment[i] != U'?' && segment[i] != text[at + i])
            return false;
    return true;
}

}  // namespace

bool MatchesMask(std::u32string_view text, std::u32string_view mask)
{
    // The mask is cut at its stars: the first piece must match at the start, the last at the
    // end, and each one between at its leftmost place after the previous one. Taking the
    // leftmost place never loses a match, so no backtracking is needed.
    std::vector<std::u32string_view> pieces;
    std::size_t start = 0;
    for (;;) {
        std::size_t star = mask.find(U'*', start);
        pieces.push_back(mask.substr(start, star == std::u32string_view::npos ? std::u32string_view::npos : star - start));
        if (star == std::u32string_view::npos)
            break;
        start = star + 1;
    }
    if (pieces.size() == 1)
        return text.size() == mask.size() && SegmentAt(text, 0, mask);
    const std::u32string_view head = pieces.front();
    const std::u32string_view tail = pieces.back();
    if (head.size() + tail.size() > text.size() || !SegmentAt(text, 0, head) ||
        !SegmentAt(text, text.size() - tail.size(), tail))
        return false;
    std::size_t position = head.size();
    const std::size_t limit = text.size() - tail.size();
    for (std::size_t p = 1; p + 1 < pieces.size(); ++p) {
        const std::u32string_view piece = pieces[p];
        if (piece.empty())
            continue;
        bool found = false;
        for (; position + piece.size() <= limit; ++position)
            if (SegmentAt(text, position, piece)) {
                found = true;
                break;
            }
        if (!found)
            return false;
        position += piece.size();
    }
    return true;
}

bool MatchesMask(std::string_view utf8Text, std::string_view utf8Mask, bool ignoreCase)
{
    if (ignoreCase)
        return MatchesMask(CodePoints(UnicodeLowerCase(utf8Text)), CodePoints(UnicodeLowerCase(utf8Mask)));
    return MatchesMask(CodePoints(utf8Text), CodePoints(utf8Mask));
}

}  // namespace velmoran
