// Reading help indexes and pop-up files; see HelpIndex.h.
#include "help/HelpIndex.h"

#include "platform/core/Cp1252.h"
#include "platform/core/DocumentFile.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/Stream.h"
#include "platform/core/Text.h"
#include "platform/core/TextCollator.h"

#include <algorithm>
#include <filesystem>
#include <limits>

namespace velmoran {

namespace {

enum class Section { None, Options, Map, Keywords };

// The locale id of the index page's order.
constexpr std::uint32_t kGerman = 1031;

Section SectionOf(std::string_view line)
{
    if (SameText(line, "[OPTIONS]"))
        return Section::Options;
    if (SameText(line, "[MAP]"))
        return Section::Map;
    if (SameText(line, "[KEYWORDS]"))
        return Section::Keywords;
    return Section::None;
}

// The line without its comment, trimmed.
std::string_view Uncommented(std::string_view line)
{
    const auto semicolon = line.find(';');
    return TrimView(line.substr(0, semicolon));
}

void AddOption(THelpIndex& index, std::string_view key, const std::string& value)
{
    if (SameText(key, "Title"))
        index.Title = value;
    else if (SameText(key, "Contents"))
        index.Contents = value;
    else if (SameText(key, "Popups"))
        index.Popups = value;
}

// Calls `take` with every line of a text (CR LF, LF or CR).
template <typename Take>
void ForEachLine(std::string_view text, Take take)
{
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            take(text.substr(start));
            return;
        }
        take(text.substr(start, end - start));
        start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
}

// ".topic" followed by a blank and the number, or nothing.
bool IsTopicLine(std::string_view line)
{
    return line.size() >= 6 && SameText(line.substr(0, 6), ".topic") &&
           (line.size() == 6 || line[6] == ' ' || line[6] == '\t');
}

// Whether a path lies in a folder (both absolute and without links), the folder itself included.
bool Inside(const std::filesystem::path& file, const std::filesystem::path& folder)
{
    const auto [folderEnd, unused] = std::mismatch(folder.begin(), folder.end(), file.begin(), file.end());
    // A folder path with its trailing slash ends in an empty part.
    return folderEnd == folder.end() || (folderEnd->empty() && std::next(folderEnd) == folder.end());
}

}  // namespace

THelpIndex ParseHelpIndex(std::string_view bytes)
{
    THelpIndex index;
    Section section = Section::None;
    ForEachLine(bytes, [&](std::string_view raw) {
        const std::string_view line = Uncommented(raw);
        if (line.empty())
            return;
        if (line.front() == '[') {
            section = SectionOf(line);
            return;
        }
        const auto equals = line.find('=');
        if (equals == std::string_view::npos)
            return;
        const std::string_view key = TrimView(line.substr(0, equals));
        const std::string value = Cp1252ToUtf8(TrimView(line.substr(equals + 1)));
        switch (section) {
        case Section::Options:
            AddOption(index, key, value);
            break;
        case Section::Map:
            if (const auto number = TryStrToInt(key); number && !value.empty())
                index.Map[*number] = value;
            break;
        case Section::Keywords:
            if (!key.empty() && !value.empty())
                index.Keywords.emplace_back(Cp1252ToUtf8(key), value);
            break;
        case Section::None:
            break;
        }
    });
    return index;
}

std::optional<THelpIndex> LoadHelpIndex(const std::string& fileName)
{
    std::error_code error;
    if (fileName.empty() || !std::filesystem::is_regular_file(fileName, error))
        return std::nullopt;
    try {
        return ParseHelpIndex(ReadDocumentFile(fileName, kPageLimit));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::string TopicFolderOf(const std::string& indexFile)
{
    return std::filesystem::path(indexFile).replace_extension().string();
}

std::string TopicPath(const std::string& topicFolder, const std::string& topic)
{
    std::string name = topic;
    std::replace(name.begin(), name.end(), '\\', '/');
    while (!name.empty() && name.front() == '/')
        name.erase(0, 1);
    // A topic may reach the help file's folder ("../hilfe-benutzen.htm"), never past it: an index
    // from elsewhere must not show the user's other files.
    std::filesystem::path helpFolder = std::filesystem::path(topicFolder).parent_path().lexically_normal();
    if (helpFolder == ".")
        helpFolder.clear();
    const std::filesystem::path file =
        (std::filesystem::path(topicFolder) / name.substr(0, name.find('#'))).lexically_normal();
    const auto [helpEnd, unused] = std::mismatch(helpFolder.begin(), helpFolder.end(), file.begin(), file.end());
    if (helpEnd != helpFolder.end() && !helpFolder.empty())
        return {};
    if (helpFolder.empty() && !file.empty() && *file.begin() == "..")
        return {};
    // The text stays inside; the file it leads to must too: a link in the help folder (to a file
    // or a folder) may not lead out of it.
    if (!Inside(CanonicalPath(file.string()), CanonicalPath(helpFolder.empty() ? "." : helpFolder.string())))
        return {};
    return topicFolder + "/" + name;
}

std::optional<int> ContextNumber(std::int64_t context)
{
    if (context < std::numeric_limits<std::int32_t>::min() || context > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<int>(context);
}

std::map<int, std::string> ParsePopupTopics(std::string_view bytes)
{
    std::map<int, std::string> topics;
    std::optional<int> current;
    std::string text;
    auto finish = [&] {
        if (current)
            topics[*current] = Cp1252ToUtf8(Trim(text));
        text.clear();
    };
    ForEachLine(bytes, [&](std::string_view line) {
        const std::string_view trimmed = TrimView(line);
        if (IsTopicLine(trimmed)) {
            finish();
            current = TryStrToInt(TrimView(trimmed.substr(6)));
            return;
        }
        if (current) {
            text += line;
            text += '\n';
        }
    });
    finish();
    return topics;
}

std::vector<std::string> KeywordTopics(const THelpIndex& index, std::string_view key, bool partial)
{
    std::vector<std::string> topics;
    const std::string wanted = LowerCase(Trim(key));
    for (const auto& [keyword, topic] : index.Keywords) {
        const std::string name = LowerCase(keyword);
        const bool match = partial ? StartsWith(name, wanted) : name == wanted;
        if (match && std::find(topics.begin(), topics.end(), topic) == topics.end())
            topics.push_back(topic);
    }
    return topics;
}

std::string IndexPageSource(const THelpIndex& index)
{
    auto keywords = index.Keywords;
    // German order: "Säure" before "Stick", without regard to case.
    std::stable_sort(keywords.begin(), keywords.end(), [](const auto& a, const auto& b) {
        return TextCollator::CompareUtf8(a.first, b.first, kGerman, true) < 0;
    });
    std::string page = "<html><head><title>Index</title></head><body>\n<h2>Index</h2>\n";
    if (keywords.empty())
        page += "<p>Diese Hilfedatei hat keine Stichw\xC3\xB6rter.</p>\n";
    for (const auto& [keyword, topic] : keywords)
        page += "<a href=\"" + HtmlEscaped(topic) + "\">" + HtmlEscaped(keyword) + "</a><br>\n";
    page += "</body></html>\n";
    return Utf8ToCp1252(page);
}

}  // namespace velmoran
