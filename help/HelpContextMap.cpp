// The help project's context map; see HelpContextMap.h.
#include "help/HelpContextMap.h"

#include "platform/Prompt.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Exceptions.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/Stream.h"
#include "platform/core/Text.h"

#include <algorithm>
#include <filesystem>

namespace velmoran {

namespace {

std::int32_t HashValue(unsigned char c)
{
    if (c == 0)
        return 0;
    if (c == '0')
        return 10;
    if (c >= '1' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 17;
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 17;
    switch (c) {
    case '!': return 11;
    case '.': return 12;
    case '_': return 13;
    case '#': case '$': case '%': case '*': case '+': return c + 208;
    default: break;
    }
    if (c < 32)
        return c + 208;
    if (c <= 64)
        return c - 48;
    if (c < 128)
        return c - 80;  // "[", "\", "]", "^", "`" and "{" to 127
    return c - 304;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Reads one file's lines into the records; `chain` holds the files being read, outermost first.
class ProjectReader {
public:
    std::vector<THelpContextMap::Record> Records;

    void ReadFile(const std::filesystem::path& file, bool mapLinesOnly)
    {
        const std::string bytes = ReadFileBytes(file.string());
        chain_.push_back(Canonical(file));
        bool inMap = mapLinesOnly;
        std::size_t start = 0;
        while (start < bytes.size()) {
            auto end = bytes.find('\n', start);
            if (end == std::string::npos)
                end = bytes.size();
            const std::string_view line = TrimView(std::string_view(bytes).substr(start, end - start));
            start = end + 1;
            if (!inMap) {
                inMap = line.size() >= 5 && SameText(line.substr(0, 5), "[MAP]");
                continue;
            }
            if (line.empty())
                continue;
            if (line.front() == '[')
                break;
            MapLine(file, line);
        }
        chain_.pop_back();
    }

private:
    std::vector<std::filesystem::path> chain_;

    static std::filesystem::path Canonical(const std::filesystem::path& file)
    {
        std::error_code error;
        auto path = std::filesystem::weakly_canonical(file, error);
        return error ? file.lexically_normal() : path;
    }

    static bool StartsWithKeyword(std::string_view line, std::string_view keyword)
    {
        return line.size() >= keyword.size() && SameText(line.substr(0, keyword.size()), keyword);
    }

    void MapLine(const std::filesystem::path& file, std::string_view line)
    {
        if (StartsWithKeyword(line, "#include")) {
            Include(file, TrimView(line.substr(8)));
            return;
        }
        if (StartsWithKeyword(line, "#define"))
            line = TrimView(line.substr(7));
        line = line.substr(0, line.find_first_of("#;"));
        std::size_t nameEnd = 0;
        while (nameEnd < line.size() && !IsBlank(line[nameEnd]) && line[nameEnd] != '=')
            ++nameEnd;
        std::size_t numberStart = nameEnd;
        while (numberStart < line.size() && (IsBlank(line[numberStart]) || line[numberStart] == '='))
            ++numberStart;
        const std::string_view name = line.substr(0, nameEnd);
        const std::string_view number = TrimView(line.substr(numberStart));
        if (name.empty() || number.empty())
            return;
        const std::int32_t hash = HashHelpName(Cp1252ToUtf8(name));
        const int context = StrToInt(number);
        if (hash != 0)
            Records.push_back({hash, context});
    }

    void Include(const std::filesystem::path& file, std::string_view rest)
    {
        std::string name(rest);
        // Projects write #include "ctx.h" or <ctx.h> as C does; with the marks kept no file is ever found.
        if (name.size() >= 2 && ((name.front() == '"' && name.back() == '"') || (name.front() == '<' && name.back() == '>')))
            name = name.substr(1, name.size() - 2);
        std::replace(name.begin(), name.end(), '\\', '/');
        const std::filesystem::path included = file.parent_path() / Cp1252ToUtf8(name);
        std::error_code error;
        if (!std::filesystem::is_regular_file(included, error)) {
            Prompts().MessageDlg("Include file \"" + Cp1252ToUtf8(name) + "\" not found!", MsgDlgType::Error, mbOK);
            return;
        }
        // A file that is being read already would include itself again without end.
        if (std::find(chain_.begin(), chain_.end(), Canonical(included)) != chain_.end())
            return;
        ReadFile(included, true);
    }
};

void SortRecords(std::vector<THelpContextMap::Record>& records)
{
    std::stable_sort(records.begin(), records.end(),
                     [](const auto& a, const auto& b) { return a.Hash < b.Hash; });
}

void PutInt32(std::string& bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::int32_t GetInt32(const unsigned char* bytes)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return static_cast<std::int32_t>(value);
}

}  // namespace

std::int32_t HashHelpName(std::string_view name)
{
    std::uint32_t hash = 0;
    for (const char c : Utf8ToCp1252(name))
        hash = static_cast<std::uint32_t>(HashValue(static_cast<unsigned char>(c))) + 43u * hash;
    return static_cast<std::int32_t>(hash);
}

std::vector<THelpContextMap::Record> ReadHelpProjectMap(const std::string& fileName)
{
    ProjectReader reader;
    reader.ReadFile(fileName, false);
    SortRecords(reader.Records);
    return std::move(reader.Records);
}

void THelpContextMap::SetFileName(const std::string& fileName)
{
    fileName_ = fileName;
    if (fileName.empty() || IsLoading())
        return;
    std::error_code error;
    if (!std::filesystem::is_regular_file(fileName, error))
        throw Exception("File " + fileName + " not found.");
    records_ = ReadHelpProjectMap(fileName);
}

int THelpContextMap::Lookup(std::string_view name) const
{
    const std::int32_t hash = HashHelpName(name);
    if (hash == 0 || records_.empty())
        return 0;
    const auto found = std::lower_bound(records_.begin(), records_.end(), hash,
                                        [](const Record& record, std::int32_t value) { return record.Hash < value; });
    return found != records_.end() && found->Hash == hash ? found->Context : 0;
}

void THelpContextMap::WriteFileData(TStream& stream) const
{
    std::string bytes;
    PutInt32(bytes, static_cast<std::uint32_t>(records_.size() * 8));
    for (const Record& record : records_) {
        PutInt32(bytes, static_cast<std::uint32_t>(record.Hash));
        PutInt32(bytes, static_cast<std::uint32_t>(record.Context));
    }
    stream.WriteString(bytes);
}

void THelpContextMap::ReadFileData(TStream& stream)
{
    unsigned char head[4];
    stream.ReadBuffer(head, 4);
    const auto count = static_cast<std::uint32_t>(GetInt32(head));
    const std::int64_t rest = stream.Size() - stream.Position();
    if (count % 8 != 0 || count > rest)
        throw EReadError();
    std::string bytes(count, '\0');
    stream.ReadBuffer(bytes.data(), count);
    std::vector<Record> records;
    for (std::size_t at = 0; at < bytes.size(); at += 8) {
        const auto* raw = reinterpret_cast<const unsigned char*>(bytes.data() + at);
        records.push_back({GetInt32(raw), GetInt32(raw + 4)});
    }
    SortRecords(records);
    records_ = std::move(records);
}

}  // namespace velmoran
