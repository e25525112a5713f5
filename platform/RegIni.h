// The registry-ini object: sections and named values of the application's settings. By default it
// is the application's own store (QSettings under organisation and application name, the key
// path kept as a group), or an explicit ini file for tests and tools. Sections are groups.
#pragma once

#include <QSettings>

#include <memory>
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
    void WriteString(const std::string& section, const std::string& name, const std::string& value);
    int ReadInteger(const std::string& section, const std::string& name, int fallback) const;
    void WriteInteger(const std::string& section, const std::string& name, int value);
    bool ValueExists(const std::string& section, const std::string& name) const;
    void DeleteKey(const std::string& section, const std::string& name);
    void EraseSection(const std::string& section);
    // Writes what is pending to the store.
    void Sync();

private:
    RegIniFile(std::unique_ptr<QSettings> settings, std::string keyPath);
    QString Key(const std::string& section, const std::string& name) const;

    std::unique_ptr<QSettings> settings_;
    std::string keyPath_;
};

}  // namespace velmoran
