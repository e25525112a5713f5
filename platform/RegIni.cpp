// The registry-ini object over our own INI text; see RegIni.h.
#include "platform/RegIni.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/IniDocument.h"
#include "platform/core/LegacySettings.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/Text.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <unordered_set>
#include <sys/stat.h>
#include <unistd.h>

namespace velmoran {

namespace {

namespace fs = std::filesystem;

// What a file on the disk was when it was read or written; nothing for no file.
struct FileStamp {
    dev_t Device = 0;
    ino_t Inode = 0;
    off_t Size = 0;
    timespec Modified{};
    friend bool operator==(const FileStamp& a, const FileStamp& b)
    {
        return a.Device == b.Device && a.Inode == b.Inode && a.Size == b.Size &&
               a.Modified.tv_sec == b.Modified.tv_sec && a.Modified.tv_nsec == b.Modified.tv_nsec;
    }
};

std::optional<FileStamp> StampOf(const std::string& fileName)
{
    struct stat info {};
    if (::stat(fileName.c_str(), &info) != 0)
        return std::nullopt;
    return FileStamp{info.st_dev, info.st_ino, info.st_size, info.st_mtim};
}

// Raw bytes: "hex:" and the bytes as two hex digits each, separated by ",", as the registry
// exports them; a string value a line cannot hold is stored the same way after "hex(1):".
constexpr std::string_view kBinaryPrefix = "hex:";
constexpr std::string_view kStringBytesPrefix = "hex(1):";

std::string HexBytes(std::string_view bytes)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (i > 0)
            text += ',';
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}

std::optional<std::string> BytesOfHex(std::string_view text)
{
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); i += 3) {
        if (i + 2 > text.size() || (i + 2 < text.size() && text[i + 2] != ','))
            return std::nullopt;
        unsigned value = 0;
        const char* digits = text.data() + i;
        const auto [end, error] = std::from_chars(digits, digits + 2, value, 16);
        if (error != std::errc() || end != digits + 2)
            return std::nullopt;
        bytes += static_cast<char>(value);
    }
    return bytes;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// A string as a line holds it: as it is, in quotes when blanks at its ends would be lost or it is
// quoted itself, as bytes when it holds a line break or could be taken for bytes.
std::string EncodeString(std::string_view value)
{
    if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos || value.starts_with(kStringBytesPrefix))
        return std::string(kStringBytesPrefix) + HexBytes(value);
    const bool quoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
    if (quoted || (!value.empty() && (IsBlank(value.front()) || IsBlank(value.back()))))
        return '"' + std::string(value) + '"';
    return std::string(value);
}

std::string DecodeString(std::string_view raw)
{
    if (raw.starts_with(kStringBytesPrefix))
        if (auto bytes = BytesOfHex(raw.substr(kStringBytesPrefix.size())))
            return *std::move(bytes);
    if (raw.size() >= 2 && raw.front() == '"' && raw.back() == '"')
        return std::string(raw.substr(1, raw.size() - 2));
    return std::string(raw);
}

// Where a line the earlier builds wrote belongs now: the section and name of its key path, or
// nothing for a line in our own form. Their lines are told by a name that holds a group ("\") or
// a section or name with "%" escapes; our sections hold "\" where theirs never do, and they wrote
// no line before the first section. "[General]" stays as it is: a file of others may have such a
// section of its own.
std::optional<std::pair<std::string, std::string>> LegacyPlace(const std::string& section, const std::string& name)
{
    if (section.empty() || section.find('\\') != std::string::npos || SameText(section, "General"))
        return std::nullopt;
    const std::string sectionPath = SameText(section, "%General") ? section.substr(1) : UnescapeLegacyKey(section);
    const std::string namePath = UnescapeLegacyKey(name);
    if (sectionPath == section && namePath == name)
        return std::nullopt;
    std::vector<std::string> parts;
    std::string part;
    for (const char c : sectionPath + "/" + namePath + "/") {
        if (c != '/') {
            part += c;
        } else if (!part.empty()) {
            parts.push_back(std::move(part));
            part.clear();
        }
    }
    if (parts.size() < 2)
        return std::nullopt;
    std::string newName = parts.back();
    parts.pop_back();
    std::string newSection;
    for (const std::string& group : parts)
        newSection += (newSection.empty() ? "" : "\\") + group;
    // A place our lines cannot spell keeps its line as it is.
    const auto breaks = [](const std::string& text, std::string_view bad) {
        return text.find_first_of(bad) != std::string::npos || text.front() == ' ' || text.back() == ' ';
    };
    if (breaks(newSection, std::string_view("]\r\n\0", 4)) || breaks(newName, std::string_view("=\r\n\0", 4)) ||
        newName.front() == '[' || newName.front() == ';' || newName.front() == '#')
        return std::nullopt;
    return std::pair{newSection, newName};
}

// A place as a key: no section or name holds a line break.
std::string PlaceKey(const std::string& section, const std::string& name)
{
    return LowerCase(section) + '\n' + LowerCase(name);
}

// What the earlier builds' lines of a text become.
struct TakeOver {
    // Their lines that go.
    std::vector<TIniDocument::Entry> OldLines;
    // Their values in our form at their new places, in the order of the text.
    std::vector<TIniDocument::Entry> Values;
    // The places of the lines in our form.
    std::unordered_set<std::string> Ours;
};

TakeOver FindLegacyValues(const std::vector<TIniDocument::Entry>& entries)
{
    TakeOver found;
    for (const TIniDocument::Entry& entry : entries) {
        auto place = LegacyPlace(entry.Section, entry.Name);
        if (!place) {
            found.Ours.insert(PlaceKey(entry.Section, entry.Name));
            continue;
        }
        const std::optional<LegacyValue> value = DecodeLegacyValue(entry.Value);
        if (!value)
            continue;  // nothing the earlier builds could use either; the line stays
        auto& [section, name] = *place;
        found.Values.push_back({std::move(section), std::move(name),
                                value->Bytes ? std::string(kBinaryPrefix) + HexBytes(value->Data)
                                             : EncodeString(value->Data)});
        found.OldLines.push_back({entry.Section, entry.Name, {}});
    }
    return found;
}

// Moves the values the earlier builds wrote to the places we read them from, in our form; a value
// already in its new place wins. The old lines go, so that a value deleted later stays deleted;
// comments and every other line stay. Happens in memory, in a few passes over the text however
// many values there are: the file gets the new form with its next write.
void TakeOverLegacyValues(TIniDocument& document)
{
    TakeOver found = FindLegacyValues(document.Entries());
    if (found.Values.empty())
        return;
    std::erase_if(found.Values, [&found](const TIniDocument::Entry& value) {
        return found.Ours.contains(PlaceKey(value.Section, value.Name));
    });
    document.RemoveValues(found.OldLines);
    // Their last line of a key wins, as they read it: SetValues writes the lines in turn.
    document.SetValues(found.Values);
}

}  // namespace

struct RegIniFile::Store {
    std::string FileName;
    TIniDocument Document;
    std::optional<FileStamp> Stamp;
    // Changes not yet written.
    bool Dirty = false;
    // The file is there but could not be read: writing would lose it.
    bool Unreadable = false;
    std::string Error;

    void Load()
    {
        Stamp = StampOf(FileName);
        Document = TIniDocument();
        Unreadable = false;
        std::error_code error;
        if (!Stamp || fs::is_directory(FileName, error))
            return;
        std::ifstream in(FileName, std::ios::binary);
        std::string text;
        if (in)
            text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (!in.is_open() || in.bad()) {
            Unreadable = true;
            return;
        }
        Document = TIniDocument(text);
        TakeOverLegacyValues(Document);
    }

    // Reads the file again when nothing is pending and it changed since (another program or the
    // user wrote it).
    void Refresh()
    {
        if (!Dirty && StampOf(FileName) != Stamp)
            Load();
    }

    bool Write()
    {
        Error.clear();
        const std::string failed = "Die Einstellungen konnten nicht gespeichert werden: " + Quoted(FileName);
        struct stat info {};
        const bool exists = ::stat(FileName.c_str(), &info) == 0;
        if (Unreadable)
            Error = failed + " konnte nicht gelesen werden und bleibt unverändert.";
        else if (exists && S_ISDIR(info.st_mode))
            Error = failed + " ist ein Ordner.";
        else if (exists && ((info.st_mode & 0222) == 0 || ::access(FileName.c_str(), W_OK) != 0))
            Error = failed + " ist schreibgeschützt.";
        if (!Error.empty())
            return false;
        std::error_code error;
        fs::create_directories(fs::path(FileName).parent_path(), error);
        const SaveResult saved = WriteFileAtomically(FileName, Document.Text());
        if (!saved) {
            Error = "Die Einstellungen wurden nicht gespeichert. " + saved.Message;
            return false;
        }
        Dirty = false;
        Stamp = StampOf(FileName);
        return true;
    }
};

RegIniFile::RegIniFile(const std::string& keyPath)
    : RegIniFile(QSettings(QCoreApplication::organizationName(), QCoreApplication::applicationName())
                     .fileName()
                     .toStdString(),
                 keyPath)
{
}

RegIniFile::RegIniFile(const std::string& fileName, std::string keyPath)
    : store_(StoreOf(fileName)), keyPath_(std::move(keyPath))
{
}

RegIniFile::~RegIniFile()
{
    if (store_ && store_->Dirty)
        store_->Write();
}

RegIniFile::RegIniFile(RegIniFile&&) noexcept = default;
RegIniFile& RegIniFile::operator=(RegIniFile&&) noexcept = default;

std::unique_ptr<RegIniFile> RegIniFile::OfIniFile(const std::string& fileName)
{
    return std::unique_ptr<RegIniFile>(new RegIniFile(fileName, {}));
}

std::string RegIniFile::Section(const std::string& section) const
{
    // The parts of the key path and the section, joined by "\\" without empty parts.
    std::string joined;
    std::string part;
    for (const char c : keyPath_ + "/" + section + "/") {
        if (c != '/' && c != '\\') {
            part += c;
            continue;
        }
        if (part.empty())
            continue;
        if (!joined.empty())
            joined += '\\';
        joined += part;
        part.clear();
    }
    return joined;
}

std::string RegIniFile::ReadString(const std::string& section, const std::string& name,
                                   const std::string& fallback) const
{
    return ReadValue(section, name).value_or(fallback);
}

std::optional<std::string> RegIniFile::ReadValue(const std::string& section, const std::string& name) const
{
    store_->Refresh();
    const std::optional<std::string> raw = store_->Document.Value(Section(section), name);
    if (!raw)
        return std::nullopt;
    return DecodeString(*raw);
}

void RegIniFile::WriteString(const std::string& section, const std::string& name, const std::string& value)
{
    store_->Refresh();
    const std::string raw = EncodeString(value);
    if (store_->Document.Value(Section(section), name) == raw)
        return;
    store_->Document.SetValue(Section(section), name, raw);
    store_->Dirty = true;
}

int RegIniFile::ReadInteger(const std::string& section, const std::string& name, int fallback) const
{
    const std::optional<std::string> value = ReadValue(section, name);
    return value ? TryStrToInt(*value).value_or(fallback) : fallback;
}

void RegIniFile::WriteInteger(const std::string& section, const std::string& name, int value)
{
    WriteString(section, name, std::to_string(value));
}

std::optional<std::string> RegIniFile::ReadBinary(const std::string& section, const std::string& name) const
{
    store_->Refresh();
    const std::optional<std::string> raw = store_->Document.Value(Section(section), name);
    if (!raw)
        return std::nullopt;
    if (raw->starts_with(kBinaryPrefix))
        if (auto bytes = BytesOfHex(std::string_view(*raw).substr(kBinaryPrefix.size())))
            return bytes;
    return DecodeString(*raw);
}

void RegIniFile::WriteBinary(const std::string& section, const std::string& name, const std::string& bytes)
{
    store_->Refresh();
    const std::string raw = std::string(kBinaryPrefix) + HexBytes(bytes);
    if (store_->Document.Value(Section(section), name) == raw)
        return;
    store_->Document.SetValue(Section(section), name, raw);
    store_->Dirty = true;
}

bool RegIniFile::ValueExists(const std::string& section, const std::string& name) const
{
    store_->Refresh();
    return store_->Document.Value(Section(section), name).has_value();
}

void RegIniFile::DeleteKey(const std::string& section, const std::string& name)
{
    store_->Refresh();
    if (!store_->Document.Value(Section(section), name))
        return;
    store_->Document.RemoveValue(Section(section), name);
    store_->Dirty = true;
}

void RegIniFile::EraseSection(const std::string& section)
{
    store_->Refresh();
    const std::string before = store_->Document.Text();
    store_->Document.RemoveSection(Section(section));
    if (store_->Document.Text() != before)
        store_->Dirty = true;
}

bool RegIniFile::Sync()
{
    store_->Error.clear();
    if (!store_->Dirty) {
        store_->Refresh();
        return true;
    }
    return store_->Write();
}

const std::string& RegIniFile::SyncError() const
{
    return store_->Error;
}

const std::string& RegIniFile::FileName() const
{
    return store_->FileName;
}

std::shared_ptr<RegIniFile::Store> RegIniFile::StoreOf(const std::string& fileName)
{
    static std::map<std::string, std::weak_ptr<RegIniFile::Store>> stores;
    std::error_code error;
    fs::path path = fs::absolute(fs::path(fileName), error);
    const std::string key = (error ? fs::path(fileName) : path).lexically_normal().string();
    if (auto existing = stores[key].lock())
        return existing;
    auto store = std::make_shared<RegIniFile::Store>();
    store->FileName = fileName;
    store->Load();
    stores[key] = store;
    return store;
}

std::string ResolveIniFile(const std::string& key, const std::string& programFile, const std::string& configFolder)
{
    std::filesystem::path file(key);
    if (key.empty())
        file = std::filesystem::path(programFile).filename().replace_extension(".INI");
    if (file.is_absolute())
        return file.string();
    return (std::filesystem::path(configFolder) / file).string();
}

std::string UserConfigFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString() + "/";
}

std::string ProgramFile()
{
    return QCoreApplication::applicationFilePath().toStdString();
}

}  // namespace velmoran
