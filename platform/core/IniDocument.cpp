// The text of an INI file kept as written; see IniDocument.h.
#include "platform/core/IniDocument.h"

#include "platform/core/CodePage.h"
#include "platform/core/Text.h"

#include <algorithm>
#include <deque>
#include <unordered_map>
#include <unordered_set>

namespace velmoran {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Whether a section is the one asked for or lies below it ("A\B" below "A").
bool InOrBelow(std::string_view name, std::string_view section)
{
    if (name.size() == section.size())
        return SameText(name, section);
    return name.size() > section.size() && name[section.size()] == '\\' &&
           SameText(name.substr(0, section.size()), section);
}

// "[" and a text, built by appending: `"[" + text` inserts at the front of a temporary, which
// GCC 12 at -O3 warns about wrongly (-Wrestrict false positive, GCC bugs 105329/105651).
std::string Bracketed(std::string_view text)
{
    std::string result(1, '[');
    result += text;
    return result;
}

}  // namespace

TIniDocument::TIniDocument(std::string_view text)
{
    if (text.substr(0, kUtf8Signature.size()) == kUtf8Signature) {
        bom_ = kUtf8Signature;
        text.remove_prefix(kUtf8Signature.size());
    }
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines_.push_back({std::string(text.substr(start)), {}});
            break;
        }
        const std::size_t endLength = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1;
        lines_.push_back({std::string(text.substr(start, end - start)), std::string(text.substr(end, endLength))});
        start = end + endLength;
    }
}

TIniDocument::Parsed TIniDocument::Parse(std::string_view line)
{
    Parsed parsed;
    const std::string_view content = TrimBlanks(line);
    if (content.empty() || content.front() == ';' || content.front() == '#')
        return parsed;
    if (content.front() == '[') {
        const std::size_t close = content.find(']');
        if (close != std::string_view::npos) {
            parsed.Type = Kind::Section;
            parsed.Name = TrimBlanks(content.substr(1, close - 1));
        }
        return parsed;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return parsed;
    parsed.Type = Kind::Value;
    parsed.Name = TrimBlanks(line.substr(0, equals));
    parsed.ValueStart = equals + 1;
    while (parsed.ValueStart < line.size() && IsBlank(line[parsed.ValueStart]))
        ++parsed.ValueStart;
    return parsed;
}

std::string TIniDocument::ValueText(std::string_view line, const Parsed& parsed)
{
    return std::string(TrimBlanks(line.substr(parsed.ValueStart)));
}

std::vector<std::pair<std::size_t, std::size_t>> TIniDocument::Sections(std::string_view section) const
{
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    bool inside = section.empty();
    std::size_t first = 0;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Parsed parsed = Parse(lines_[i].Text);
        if (parsed.Type != Kind::Section)
            continue;
        if (inside)
            ranges.emplace_back(first, i);
        inside = !section.empty() && SameText(parsed.Name, section);
        first = i + 1;
    }
    if (inside)
        ranges.emplace_back(first, lines_.size());
    return ranges;
}

std::optional<std::string> TIniDocument::Value(std::string_view section, std::string_view name) const
{
    for (const auto& [first, last] : Sections(section)) {
        for (std::size_t i = first; i < last; ++i) {
            const Parsed parsed = Parse(lines_[i].Text);
            if (parsed.Type == Kind::Value && SameText(parsed.Name, name))
                return ValueText(lines_[i].Text, parsed);
        }
    }
    return std::nullopt;
}

std::string TIniDocument::NewLineEnd() const
{
    for (const Line& line : lines_)
        if (!line.End.empty())
            return line.End;
    return "\n";
}

void TIniDocument::Insert(std::size_t at, std::string text)
{
    // New lines end like the text's first line that ends; the line before gets an end if it has none.
    const std::string end = NewLineEnd();
    if (at > 0 && lines_[at - 1].End.empty())
        lines_[at - 1].End = end;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), {std::move(text), end});
}

void TIniDocument::SetValue(std::string_view section, std::string_view name, std::string_view value)
{
    const auto ranges = Sections(section);
    for (const auto& [first, last] : ranges) {
        for (std::size_t i = first; i < last; ++i) {
            const Parsed parsed = Parse(lines_[i].Text);
            if (parsed.Type == Kind::Value && SameText(parsed.Name, name)) {
                lines_[i].Text = lines_[i].Text.substr(0, parsed.ValueStart) + std::string(value);
                return;
            }
        }
    }
    const std::string line = std::string(name) + "=" + std::string(value);
    if (!ranges.empty()) {
        // After the section's last value, so that comments and blank lines before the next
        // section stay with it.
        const auto [first, last] = ranges.front();
        std::size_t at = first;
        for (std::size_t i = first; i < last; ++i)
            if (Parse(lines_[i].Text).Type == Kind::Value)
                at = i + 1;
        Insert(at, line);
        return;
    }
    if (!lines_.empty() && !TrimBlanks(lines_.back().Text).empty())
        Insert(lines_.size(), {});
    Insert(lines_.size(), Bracketed(section) + "]");
    Insert(lines_.size(), line);
}

void TIniDocument::RemoveValue(std::string_view section, std::string_view name)
{
    const auto ranges = Sections(section);
    // From the back, so that the ranges stay right.
    for (auto range = ranges.rbegin(); range != ranges.rend(); ++range)
        for (std::size_t i = range->second; i-- > range->first;) {
            const Parsed parsed = Parse(lines_[i].Text);
            if (parsed.Type == Kind::Value && SameText(parsed.Name, name))
                lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
        }
}

namespace {

// A section as the batch edits look it up: the top is "", a section "[" and its name in lower
// case, so that a section written "[]" is not the top.
std::string SectionKey(std::string_view section)
{
    return section.empty() ? std::string() : Bracketed(LowerCase(section));
}

// A value's place: its section's key and its name in lower case (no line holds a line break).
std::string PlaceKey(std::string_view sectionKey, std::string_view name)
{
    return std::string(sectionKey) + '\n' + LowerCase(name);
}

}  // namespace

void TIniDocument::SetValues(const std::vector<Entry>& values)
{
    if (values.empty())
        return;
    // One pass: the first line of each name in each section, and where a section's first range
    // takes a new value (after its last value line).
    std::unordered_map<std::string, std::size_t> lineOf;
    std::unordered_map<std::string, std::size_t> insertAt;
    {
        std::string section;  // the top
        bool firstRange = true;
        insertAt[section] = 0;
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            const Parsed parsed = Parse(lines_[i].Text);
            if (parsed.Type == Kind::Section) {
                section = Bracketed(LowerCase(parsed.Name));
                firstRange = insertAt.emplace(section, i + 1).second;
            } else if (parsed.Type == Kind::Value) {
                lineOf.emplace(PlaceKey(section, parsed.Name), i);
                if (firstRange)
                    insertAt[section] = i + 1;
            }
        }
    }
    // The new lines: after a line of the text (by its index, lines_.size() for the end), or in a
    // section of their own at the end, in the order they came.
    struct NewSection {
        std::string Header;
        std::vector<std::string> Lines;
    };
    std::unordered_map<std::size_t, std::vector<std::string>> inserted;
    std::deque<NewSection> added;  // keeps its elements in place as it grows
    std::unordered_map<std::string, std::size_t> addedIndex;
    // Where a value set in this batch stands: its list and its place in it.
    std::unordered_map<std::string, std::pair<std::vector<std::string>*, std::size_t>> newLineOf;
    for (const Entry& value : values) {
        const std::string section = SectionKey(value.Section);
        const std::string key = PlaceKey(section, value.Name);
        const std::string line = value.Name + "=" + value.Value;
        if (const auto found = lineOf.find(key); found != lineOf.end()) {
            Line& existing = lines_[found->second];
            existing.Text = existing.Text.substr(0, Parse(existing.Text).ValueStart) + value.Value;
        } else if (const auto pending = newLineOf.find(key); pending != newLineOf.end()) {
            std::string& text = (*pending->second.first)[pending->second.second];
            text = text.substr(0, text.find('=') + 1) + value.Value;
        } else if (const auto at = insertAt.find(section); at != insertAt.end()) {
            std::vector<std::string>& list = inserted[at->second];
            list.push_back(line);
            newLineOf[key] = {&list, list.size() - 1};
        } else {
            auto [index, isNew] = addedIndex.emplace(section, added.size());
            if (isNew)
                added.push_back({"[" + value.Section + "]", {}});
            std::vector<std::string>& list = added[index->second].Lines;
            list.push_back(line);
            newLineOf[key] = {&list, list.size() - 1};
        }
    }
    const std::string end = NewLineEnd();
    std::vector<Line> merged;
    merged.reserve(lines_.size() + values.size() + 2 * added.size());
    const auto append = [&merged, &end](std::string text) {
        if (!merged.empty() && merged.back().End.empty())
            merged.back().End = end;
        merged.push_back({std::move(text), end});
    };
    for (std::size_t i = 0; i <= lines_.size(); ++i) {
        if (const auto at = inserted.find(i); at != inserted.end())
            for (std::string& text : at->second)
                append(std::move(text));
        if (i < lines_.size())
            merged.push_back(std::move(lines_[i]));
    }
    for (NewSection& section : added) {
        if (!merged.empty() && !TrimBlanks(merged.back().Text).empty())
            append({});
        append(std::move(section.Header));
        for (std::string& text : section.Lines)
            append(std::move(text));
    }
    lines_ = std::move(merged);
}

void TIniDocument::RemoveValues(const std::vector<Entry>& places)
{
    std::unordered_set<std::string> removed;
    for (const Entry& place : places)
        removed.insert(PlaceKey(SectionKey(place.Section), place.Name));
    std::vector<Line> kept;
    kept.reserve(lines_.size());
    std::string section;
    for (Line& line : lines_) {
        const Parsed parsed = Parse(line.Text);
        if (parsed.Type == Kind::Section)
            section = Bracketed(LowerCase(parsed.Name));
        else if (parsed.Type == Kind::Value && removed.contains(PlaceKey(section, parsed.Name)))
            continue;
        kept.push_back(std::move(line));
    }
    lines_ = std::move(kept);
}

void TIniDocument::RemoveSection(std::string_view section)
{
    std::vector<Line> kept;
    bool removing = false;
    for (Line& line : lines_) {
        const Parsed parsed = Parse(line.Text);
        if (parsed.Type == Kind::Section)
            removing = InOrBelow(parsed.Name, section);
        if (!removing)
            kept.push_back(std::move(line));
    }
    lines_ = std::move(kept);
}

std::vector<TIniDocument::Entry> TIniDocument::Entries() const
{
    std::vector<Entry> entries;
    std::string section;
    for (const Line& line : lines_) {
        const Parsed parsed = Parse(line.Text);
        if (parsed.Type == Kind::Section)
            section = parsed.Name;
        else if (parsed.Type == Kind::Value)
            entries.push_back({section, std::string(parsed.Name),
                               ValueText(line.Text, parsed)});
    }
    return entries;
}

std::string TIniDocument::Text() const
{
    std::string text = bom_;
    for (const Line& line : lines_)
        text += line.Text + line.End;
    return text;
}

}  // namespace velmoran
