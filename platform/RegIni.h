// The registry-ini object: sections and named values of the application's settings. By default it
// is the application's own store, which stands in for the registry (the INI file Qt names for the
// organisation and application, the key path as the section: "[Software\Orvelan\Velmoran]"), or
// an INI file of its own. "\" and "/" separate the parts of a key path or section alike. The file
// is kept as written (comments, other lines, values byte for byte, see IniDocument.h); a value a
// line cannot hold as it is (line breaks, blanks at its ends) and raw bytes are stored in a form of
// their own. Values the earlier builds wrote through Qt ("[Software]" with
// "Orvelan\Velmoran\DataPath=...", see LegacySettings.h) are read where ours are absent and get our
// form with the next write. Every object on one file in the program shares what is read and written.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace velmoran {

class RegIniFile {
public:
    // The application's settings under `keyPath` (for example "Software/Orvelan/Velmoran"); an
    // empty path is the settings' top.
    explicit RegIniFile(const std::string& keyPath = {});
    // An ini file of its own.
    static std::unique_ptr<RegIniFile> OfIniFile(const std::string& fileName);

    std::string ReadString(const std::string& section, const std::string& name, const std::string& fallback) const;
    // The value, or nothing when it is absent.
    std::optional<std::string> ReadValue(const std::string& section, const std::string& name) const;
    void WriteString(const std::string& section, const std::string& name, const std::string& value);
    int ReadInteger(const std::string& section, const std::string& name, int fallback) const;
    void WriteInteger(const std::string& section, const std::string& name, int value);
    // A raw byte block (the registry's binary values); nothing when the value is absent.
    std::optional<std::string> ReadBinary(const std::string& section, const std::string& name) const;
    void WriteBinary(const std::string& section, const std::string& name, const std::string& bytes);
    bool ValueExists(const std::string& section, const std::string& name) const;
    void DeleteKey(const std::string& section, const std::string& name);
    void EraseSection(const std::string& section);
    // Writes what is pending to the file; false when the file cannot be written (read-only, a
    // folder, a file that could not be read and would be lost), with the reason in SyncError.
    bool Sync();
    // Why the last Sync failed, in German; empty after one that succeeded.
    const std::string& SyncError() const;
    const std::string& FileName() const;

    ~RegIniFile();
    RegIniFile(RegIniFile&&) noexcept;
    RegIniFile& operator=(RegIniFile&&) noexcept;

private:
    struct Store;
    // One store per file in the program, shared by every object on it while one lives.
    static std::shared_ptr<Store> StoreOf(const std::string& fileName);
    RegIniFile(const std::string& fileName, std::string keyPath);
    std::string Section(const std::string& section) const;

    std::shared_ptr<Store> store_;
    std::string keyPath_;
};

// The INI file a component names by key: an absolute key as it stands, a relative one in
// configFolder; an empty key names the program file (without its folder), its extension
// replaced by ".INI".
std::string ResolveIniFile(const std::string& key, const std::string& programFile, const std::string& configFolder);
// The user's configuration folder of the program (with a trailing "/").
std::string UserConfigFolder();
// The running program's file.
std::string ProgramFile();

}  // namespace velmoran
