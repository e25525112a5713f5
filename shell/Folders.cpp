// The shell's folders and the seeding of the template root; see Folders.h.
#include "shell/Folders.h"

#include "platform/RegIni.h"
#include "shell/Settings.h"

#include <QCoreApplication>
#include <QStandardPaths>

#include <filesystem>
#include <optional>
#include <utility>
#include <system_error>

namespace velmoran {

namespace fs = std::filesystem;

namespace {

std::string StandardFolder(QStandardPaths::StandardLocation location)
{
    return QStandardPaths::writableLocation(location).toStdString();
}

// The override of a folder when the settings hold one.
void ReadOverride(const RegIniFile& settings, const char* name, std::string& withSlash, std::string& noSlash)
{
    if (const auto value = settings.ReadValue({}, name)) {
        withSlash = WithSlash(*value);
        noSlash = WithoutSlash(withSlash);
    }
}

}  // namespace

std::string WithSlash(const std::string& folder)
{
    if (folder.empty() || folder.back() == '/')
        return folder;
    return folder + '/';
}

std::string WithoutSlash(const std::string& folder)
{
    // The root folder keeps its only "/".
    if (folder.size() > 1 && folder.back() == '/')
        return folder.substr(0, folder.size() - 1);
    return folder;
}

void TFolders::SetProgramFolder(const std::string& folder)
{
    ProgramFolder = WithSlash(folder);
    ProgramFolderNoSlash = WithoutSlash(ProgramFolder);
    HelpPath = ProgramFolder + "help/";
}

void TFolders::SetDataPath(const std::string& folder)
{
    DataPath = WithSlash(folder);
    DataPathNoSlash = WithoutSlash(DataPath);
}

void TFolders::SetTemplatePath(const std::string& folder)
{
    TemplatePath = WithSlash(folder);
    TemplatePathNoSlash = WithoutSlash(TemplatePath);
}

TFolders InitFolders(const std::string& programFolder, const RegIniFile& settings)
{
    TFolders folders;
    folders.SetProgramFolder(programFolder);
    // An unknown documents folder leaves the data folder relative to the current one.
    const std::string documents = StandardFolder(QStandardPaths::DocumentsLocation);
    folders.SetDataPath(WithSlash(documents) + "Velmoran");
    folders.SetTemplatePath(WithSlash(StandardFolder(QStandardPaths::GenericDataLocation)) + "Velmoran");
    ReadOverride(settings, "DataPath", folders.DataPath, folders.DataPathNoSlash);
    ReadOverride(settings, "TemplatePath", folders.TemplatePath, folders.TemplatePathNoSlash);
    // The file dialogs open in the data folder, so it must be there; when it cannot be made they
    // open wherever the desktop puts them.
    std::error_code error;
    fs::create_directories(folders.DataPathNoSlash, error);
    return folders;
}

TFolders InitFolders()
{
    const RegIniFile settings(kSettingsKey);
    return InitFolders(QCoreApplication::applicationDirPath().toStdString(), settings);
}

bool SaveFolders(const TFolders& folders, RegIniFile& settings)
{
    // A folder the settings already name, with or without its "/", keeps the user's spelling.
    for (const auto& [name, folder] : {std::pair{"DataPath", folders.DataPath}, std::pair{"TemplatePath", folders.TemplatePath}}) {
        const std::optional<std::string> stored = settings.ReadValue({}, name);
        if (!stored || WithSlash(*stored) != folder)
            settings.WriteString({}, name, folder);
    }
    return SyncSettings(settings);
}

bool SaveFolders(const TFolders& folders)
{
    RegIniFile settings(kSettingsKey);
    return SaveFolders(folders, settings);
}

int SeedTemplateFolder(const std::string& programFolder, const std::string& templatePath)
{
    const fs::path source = fs::path(WithSlash(programFolder) + "templates");
    std::error_code error;
    if (templatePath.empty() || !fs::is_directory(source, error))
        return 0;
    int copied = 0;
    for (auto entry = fs::recursive_directory_iterator(source, error); !error && entry != fs::recursive_directory_iterator();
         entry.increment(error)) {
        std::error_code fileError;
        if (!entry->is_regular_file(fileError))
            continue;
        const fs::path target = fs::path(templatePath) / fs::relative(entry->path(), source, fileError);
        if (fileError || fs::exists(target, fileError) || fileError)
            continue;
        fs::create_directories(target.parent_path(), fileError);
        if (!fileError && fs::copy_file(entry->path(), target, fs::copy_options::skip_existing, fileError))
            ++copied;
    }
    return copied;
}

}  // namespace velmoran
