// Template expansion: line reading, directives, items, field lookup and the alias table.
#include "report/Report.h"

#include "report/DataSetView.h"

#include "platform/core/DateTime.h"
#include "platform/core/DocumentFile.h"
#include "platform/core/Exceptions.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/ScopeExit.h"
#include "platform/core/Stream.h"
#include "platform/core/Text.h"

#include <algorithm>

namespace velmoran {

namespace {

// The record number of names without "#", shared by every engine.
std::uint8_t gDefaultRecordNumber = 0;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsNameCharacter(char c)
{
    return IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '#' || c == '_';
}

template <typename Keep>
std::string Filter(std::string_view text, Keep keep)
{
    std::string kept;
    for (const char c : text)
        if (keep(c))
            kept += c;
    return kept;
}

// Splits lines at CR or LF; a CR or LF directly after the line end belongs to it, so CR LF,
// LF CR, CR CR and LF LF each end one line.
std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(pos));
            break;
        }
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 1;
        if (pos < text.size() && (text[pos] == '\r' || text[pos] == '\n'))
            ++pos;
    }
    return lines;
}

std::string ReadRemainder(TStream& stream)
{
    const std::int64_t size = stream.Size() - stream.Position();
    std::string bytes(static_cast<std::size_t>(std::max<std::int64_t>(size, 0)), '\0');
    if (!bytes.empty())
        stream.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    return bytes;
}

}  // namespace

void TReport::SetDataSets(const std::vector<TDataSet*>& dataSets)
{
    std::vector<ReportDataSet*> list;
    for (TDataSet* dataSet : dataSets) {
        if (dataSet == nullptr)
            continue;
        views_.push_back(std::make_unique<DataSetView>(*dataSet));
        list.push_back(views_.back().get());
    }
    dataSets_ = std::move(list);
}

std::uint8_t TReport::DefaultRecordNumber() { return gDefaultRecordNumber; }

void TReport::SetRecord(std::uint8_t index)
{
    if (index != recordNumber_) {
        recordNumber_ = index;
        gDefaultRecordNumber = index;
    }
}

void TReport::LoadVariables(const std::string& fileName)
{
    for (ReportDataSet* dataSet : dataSets_) {
        if (dataSet == nullptr)
            continue;
        const std::size_t count = dataSet->FieldCount();
        for (std::size_t i = 0; i < count; ++i) {
            ReportField& field = dataSet->Field(i);
            names_.push_back({field.Name(), &field});
        }
    }
    const ScopeExit indexNames([this] { IndexNames(); });
    if (fileName.empty() || !FileExists(fileName))
        return;
    const std::string text = ReadFileBytes(fileName);
    for (const std::string_view line : SplitLines(text)) {
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string_view left = TrimView(line.substr(0, equals));
        const std::string_view right = TrimView(line.substr(equals + 1));
        const auto entry = std::find_if(names_.begin(), names_.end(),
                                        [&](const NameEntry& e) { return SameText(e.Name, left); });
        if (entry != names_.end())
            entry->Name = std::string(right);
    }
}

void TReport::IndexNames()
{
    nameIndex_.clear();
    for (std::size_t i = 0; i < names_.size(); ++i)
        nameIndex_.emplace(UpperCase(names_[i].Name), i);  // the first entry of a name wins
}

ReportField* TReport::LookupField(std::string_view upperName)
{
    std::string_view base = upperName;
    int record = gDefaultRecordNumber;
    if (const std::size_t hash = upperName.find('#'); hash != std::string_view::npos) {
        base = upperName.substr(0, hash);
        const std::string_view digit = upperName.substr(hash + 1, 1);
        if (digit.empty() || !IsDigit(digit.front()))
            throw EConvertError::InvalidInteger(digit);
        record = digit.front() - '0';
    }
    const auto found = nameIndex_.find(UpperCase(base));
    if (found == nameIndex_.end())
        return nullptr;
    const NameEntry* entry = &names_[found->second];
    ReportDataSet& dataSet = entry->Field->DataSet();
    dataSet.First();
    const int count = dataSet.RecordCount();
    if (count > 1 && record > 0 && record < count)
        dataSet.MoveBy(record);
    return entry->Field;
}

std::optional<double> TReport::VariableValue(std::string_view upperName) const
{
    const auto found = variableIndex_.find(std::string(upperName));
    if (found == variableIndex_.end())
        return std::nullopt;
    return variables_[found->second].Value;
}

std::optional<double> TReport::ResolveName(std::string_view upperName)
{
    if (ReportField* field = LookupField(upperName)) {
        switch (field->Type()) {
        case ReportFieldType::SmallInt:
        case ReportFieldType::Integer:
        case ReportFieldType::Word:
        case ReportFieldType::Float:
            return field->AsFloat();
        default:
            return 0.0;  // text, date and the other types count as 0 in arithmetic
        }
    }
    return VariableValue(upperName);
}

void TReport::SetVariable(const std::string& name, double value)
{
    const auto [found, added] = variableIndex_.emplace(name, variables_.size());
    if (added)
        variables_.push_back({name, value});
    else
        variables_[found->second].Value = value;
}

void TReport::ProcessTemplate(TStream* templateStream, TStream* output)
{
    for (ReportDataSet* dataSet : dataSets_)
        if (dataSet != nullptr)
            dataSet->Open();
    if (templateStream == nullptr || output == nullptr)
        return;
    output_ = output;
    std::string text = ReadRemainder(*templateStream);
    // The signature says how the page is read only at the page's start: kept in the text, it
    // would stand behind what an include on the first line writes, or in the middle of the page.
    if (text.starts_with(kUtf8Signature)) {
        text.erase(0, kUtf8Signature.size());
        if (includeDepth_ == 0)
            output_->WriteString(std::string(kUtf8Signature));
        else
            text = InPageCodePage(text, kUtf8CodePage);
    }
    RunState state;
    for (const std::string_view line : SplitLines(text)) {
        bool flagged = false;
        std::string expanded = ExpandLine(line, state, flagged);
        if (state.Enabled && !(expanded.empty() && flagged)) {
            expanded += "\r\n";
            output_->WriteString(expanded);
        }
    }
}

std::string TReport::ExpandLine(std::string_view line, RunState& state, bool& flagged)
{
    std::string text;
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == '$') {
            flagged = true;
            i = Directive(line, i, state);
        } else if (c == '|' && state.Enabled) {
            const std::size_t close = line.find('|', i + 1);
            std::string_view item;
            if (close == std::string_view::npos) {
                // No closing "|": the item runs to the line's end, whose last character is
                // consumed without being part of it.
                const std::size_t length = line.size() - i - 1;
                item = line.substr(i + 1, length > 0 ? length - 1 : 0);
                i = line.size();
            } else {
                item = line.substr(i + 1, close - i - 1);
                i = close + 1;
            }
            bool assignment = false;
            text += FormatItem(item, assignment);
            flagged = flagged || assignment;
        } else {
            if (state.Enabled)
                text += c;  // a "|" while output is disabled is dropped like any character
            ++i;
        }
    }
    return text;
}

std::size_t TReport::Directive(std::string_view line, std::size_t dollar, RunState& state)
{
    const std::size_t next = dollar + 1;
    const char kind = next < line.size() ? line[next] : '\0';
    if (kind == '#' || kind == '?' || kind == '{') {
        const std::size_t colon = line.find(':', next + 1);
        if (colon == std::string_view::npos)
            return next + 1;  // only "$#", "$?" or "${" is consumed
        const std::string_view argument = TrimView(line.substr(next + 1, colon - next - 1));
        if (kind == '?') {
            const std::string_view condition = argument.substr(0, std::min(argument.size(), kMaxExpressionLength));
            if (!EvaluateCondition(condition))
                state.Enabled = false;
            if (!state.Enabled)
                ++state.Nesting;
        } else if (kind == '{') {
            // Named as the page writes names: a Windows-1252 "K\xF6pfe.htm" is the file "Köpfe.htm".
            std::string fileName = MultibyteToUtf8(pageCodePage_, argument);
            std::replace(fileName.begin(), fileName.end(), '\\', '/');
            if (!includeFolder_.empty() && !fileName.empty() && fileName.front() != '/')
                fileName = (includeFolder_.back() == '/' ? includeFolder_ : includeFolder_ + '/') + fileName;
            if (state.Enabled && includeDepth_ < kMaxIncludeDepth && FileExists(fileName))
                Include(fileName);
        }
        return colon + 1;
    }
    // End of block: only the "$" is consumed.
    if (state.Nesting > 0)
        --state.Nesting;
    state.Enabled = state.Nesting == 0;
    return next;
}

void TReport::Include(const std::string& fileName)
{
    TMemoryStream included(ReadDocumentFile(fileName, kPageLimit));
    // The level ends with the included run, also when a conversion error leaves it.
    const ScopedValue<std::uint8_t> level(includeDepth_, static_cast<std::uint8_t>(includeDepth_ + 1));
    ProcessTemplate(&included, output_);
}

std::string TReport::FormatItem(std::string_view item, bool& assignmentFlag)
{
    item = item.substr(0, std::min(item.size(), kMaxExpressionLength));
    if (const std::size_t equals = item.find('='); equals != std::string_view::npos) {
        assignmentFlag = true;
        const std::string name = UpperCase(TrimView(item.substr(0, equals)));
        const ExprTree tree = ParseExpression(item.substr(equals + 1), *this);
        if (tree)
            SetVariable(name, ExpressionValue(tree.get()));
        return {};
    }
    const bool expression = HasExpressionToken(item);
    // At most three parts, separated by "," or ":"; text after a third separator is ignored.
    std::string_view parts[3];
    std::size_t partCount = 0;
    std::size_t start = 0;
    while (partCount < 3) {
        const std::size_t separator = item.find_first_of(",:", start);
        parts[partCount++] = item.substr(start, separator == std::string_view::npos ? std::string_view::npos
                                                                                     : separator - start);
        if (separator == std::string_view::npos)
            break;
        start = separator + 1;
    }
    const std::string value = expression ? Filter(parts[0], IsExpressionCharacter) : Filter(parts[0], IsNameCharacter);
    // A missing width or decimals part counts as 0; a part that is present must convert.
    int width = 0;
    int decimals = 0;
    if (partCount > 1) {
        const auto converted = TryStrToInt(Filter(parts[1], IsNameCharacter));
        if (!converted)
            return {};
        width = *converted;
    }
    if (partCount > 2) {
        const auto converted = TryStrToInt(Filter(parts[2], IsNameCharacter));
        if (!converted)
            return {};
        decimals = *converted;
    }
    if (expression)
        return ExpressionItem(value, width & 0xFF, decimals & 0xFF, *this);
    if (value.empty() || IsDigit(value.front()))
        return {};  // a name item needs a name; "123" prints nothing
    return FormatNameItem(value, std::min(width, kMaxNameItemWidth), std::min(decimals, kMaxNameItemWidth));
}

std::string TReport::InPageCodePage(std::string_view text, int codePage) const
{
    const int page = pageCodePage_ == 0 ? kAnsiCodePage : pageCodePage_;
    if (page == codePage)
        return std::string(text);
    return WideToMultibyte(page, MultibyteToWide(codePage, text));
}

std::string TReport::FormatNameItem(const std::string& name, int width, int decimals)
{
    const std::string upper = UpperCase(name);
    if (ReportField* field = LookupField(upper)) {
        switch (field->Type()) {
        case ReportFieldType::String: {
            // What the user typed (or a file brought) is text in the page, never markup: only the
            // template's own text carries tags.
            const std::string text = field->AsString();
            if (decimals == 0)
                return InPageCodePage(HtmlEscaped(TrimView(text)), kAnsiCodePage);
            // Width characters starting at character number Decimals.
            const std::size_t from = static_cast<std::size_t>(decimals - 1);
            if (from >= text.size())
                return {};
            return InPageCodePage(HtmlEscaped(std::string_view(text).substr(from, static_cast<std::size_t>(width))),
                                  kAnsiCodePage);
        }
        case ReportFieldType::SmallInt:
        case ReportFieldType::Integer:
        case ReportFieldType::Word:
            return FormatNumber(width, 0, field->AsFloat());
        case ReportFieldType::Float:
            return FormatNumber(width, decimals, field->AsFloat());
        // A date or time nobody entered shows empty, not as day 0 ("30.12.1899").
        case ReportFieldType::Date:
            return field->IsNull() ? std::string() : DateToStr(field->AsDateTime());
        case ReportFieldType::Time:
            return field->IsNull() ? std::string() : TimeToStr(field->AsDateTime());
        case ReportFieldType::Other:
            return name;
        }
        return name;
    }
    if (const auto value = VariableValue(upper))
        return FormatFixed(width, decimals, *value);
    return name;
}

}  // namespace velmoran
