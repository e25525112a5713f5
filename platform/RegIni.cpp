// The registry-ini object over QSettings; see RegIni.h.
#include "platform/RegIni.h"

#include <QCoreApplication>
#include <QStandardPaths>

#include <filesystem>

namespace velmoran {

namespace {

QString Path(const std::string& text)
{
    QString path = QString::fromStdString(text);
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
}

}  // namespace

RegIniFile::RegIniFile(const std::string& keyPath)
    : RegIniFile(std::make_unique<QSettings>(QCoreApplication::organizationName(), QCoreApplication::applicationName()),
                 keyPath)
{
}

RegIniFile::RegIniFile(std::unique_ptr<QSettings> settings, std::string keyPath)
    : settings_(std::move(settings)), keyPath_(std::move(keyPath))
{
}

std::unique_ptr<RegIniFile> RegIniFile::OfIniFile(const std::string& fileName)
{
    return std::unique_ptr<RegIniFile>(
        new RegIniFile(std::make_unique<QSettings>(QString::fromStdString(fileName), QSettings::IniFormat), {}));
}

QString RegIniFile::Key(const std::string& section, const std::string& name) const
{
    QString key = Path(keyPath_);
    if (!key.isEmpty() && !key.endsWith(QLatin1Char('/')))
        key += QLatin1Char('/');
    key += Path(section);
    if (!name.empty())
        key += QLatin1Char('/') + QString::fromStdString(name);
    return key;
}

std::string RegIniFile::ReadString(const std::string& section, const std::string& name,
                                   const std::string& fallback) const
{
    return ReadValue(section, name).value_or(fallback);
}

std::optional<std::string> RegIniFile::ReadValue(const std::string& section, const std::string& name) const
{
    const QVariant value = settings_->value(Key(section, name));
    if (!value.isValid())
        return std::nullopt;
    return value.toString().toStdString();
}

void RegIniFile::WriteString(const std::string& section, const std::string& name, const std::string& value)
{
    settings_->setValue(Key(section, name), QString::fromStdString(value));
}

int RegIniFile::ReadInteger(const std::string& section, const std::string& name, int fallback) const
{
    bool ok = false;
    const int value = settings_->value(Key(section, name)).toString().toInt(&ok);
    return ok ? value : fallback;
}

void RegIniFile::WriteInteger(const std::string& section, const std::string& name, int value)
{
    settings_->setValue(Key(section, name), value);
}

std::optional<std::string> RegIniFile::ReadBinary(const std::string& section, const std::string& name) const
{
    const QVariant value = settings_->value(Key(section, name));
    if (!value.isValid())
        return std::nullopt;
    return value.toByteArray().toStdString();
}

void RegIniFile::WriteBinary(const std::string& section, const std::string& name, const std::string& bytes)
{
    settings_->setValue(Key(section, name), QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

bool RegIniFile::ValueExists(const std::string& section, const std::string& name) const
{
    return settings_->contains(Key(section, name));
}

void RegIniFile::DeleteKey(const std::string& section, const std::string& name)
{
    settings_->remove(Key(section, name));
}

void RegIniFile::EraseSection(const std::string& section)
{
    settings_->remove(Key(section, {}));
}

bool RegIniFile::Sync()
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
