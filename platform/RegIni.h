// The registry-ini object: sections and named values of the application's settings. By default it
// is the application's own store, which stands in for the registry (QSettings under organisation
// and application name, the key path kept as a group), or an INI file. Sections are groups; "\"
// and "/" separate the parts of a key path or section alike.
#pragma once

#include <QSettings>

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
    // Writes what is pending to the store; false when the store cannot be written.
    bool Sync();

private:
    RegIniFile(std::unique_ptr<QSettings> settings, std::string keyPath);
    QString Key(const std::string& section, const std::string& name) const;

    std::unique_ptr<QSettings> settings_;
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
