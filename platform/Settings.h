// Where settings are kept: the program's own store, which stands in for the registry key
// "Software\Orvelan\Velmoran" (QSettings of organisation "Orvelan", application "Velmoran"), and
// INI files (QSettings in INI format). Values are strings under a group path; registry key paths
// keep their "\" separators in the caller's hands and become "/" groups here.
#pragma once

#include <memory>
#include <optional>
#include <string>

class QSettings;

namespace velmoran {

class SettingsStore {
public:
    // The program's store (the registry's stand-in).
    static SettingsStore Program();
    // An INI file; it is made when the first value is written.
    static SettingsStore IniFile(const std::string& path);

    SettingsStore(SettingsStore&&) noexcept;
    SettingsStore& operator=(SettingsStore&&) noexcept;
    ~SettingsStore();

    // The value of name in group ("A\B" and "A/B" are the same group; empty is the top level);
    // nothing when absent.
    std::optional<std::string> ReadString(const std::string& group, const std::string& name) const;
    void WriteString(const std::string& group, const std::string& name, const std::string& value);
    // Writes what is pending; false when the store cannot be written.
    bool Flush();

private:
    explicit SettingsStore(std::unique_ptr<QSettings> settings);
    std::unique_ptr<QSettings> settings_;
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
