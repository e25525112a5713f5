// The settings stores over QSettings; see Settings.h.
#include "platform/Settings.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>

#include <filesystem>

namespace velmoran {

namespace {

QString GroupKey(const std::string& group, const std::string& name)
{
    QString key = QString::fromStdString(group);
    key.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (key.endsWith(QLatin1Char('/')))
        key.chop(1);
    if (!key.isEmpty())
        key += QLatin1Char('/');
    return key + QString::fromStdString(name);
}

}  // namespace

SettingsStore::SettingsStore(std::unique_ptr<QSettings> settings) : settings_(std::move(settings)) {}
SettingsStore::SettingsStore(SettingsStore&&) noexcept = default;
SettingsStore& SettingsStore::operator=(SettingsStore&&) noexcept = default;
SettingsStore::~SettingsStore() = default;

SettingsStore SettingsStore::Program()
{
    return SettingsStore(std::make_unique<QSettings>(QStringLiteral("Orvelan"), QStringLiteral("Velmoran")));
}

SettingsStore SettingsStore::IniFile(const std::string& path)
{
    return SettingsStore(std::make_unique<QSettings>(QString::fromStdString(path), QSettings::IniFormat));
}

std::optional<std::string> SettingsStore::ReadString(const std::string& group, const std::string& name) const
{
    const QVariant value = settings_->value(GroupKey(group, name));
    if (!value.isValid())
        return std::nullopt;
    return value.toString().toStdString();
}

void SettingsStore::WriteString(const std::string& group, const std::string& name, const std::string& value)
{
    settings_->setValue(GroupKey(group, name), QString::fromStdString(value));
}

bool SettingsStore::Flush()
{
    settings_->sync();
    return settings_->status() == QSettings::NoError;
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
