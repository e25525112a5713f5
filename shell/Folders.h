// The folders every part of the shell works with: the program's own folder and its help folder,
// the folder of calculation files and the root of screen and print templates and module defaults.
// Each is kept with and without its trailing "/". The data and template folders have defaults
// below the user's documents and data folders, which the settings "DataPath" and "TemplatePath"
// override; SaveFolders writes both back. The template root is seeded from the templates that
// come with the program.
#pragma once

#include <string>

namespace velmoran {

class RegIniFile;

struct TFolders {
    std::string ProgramFolder;
    std::string ProgramFolderNoSlash;
    std::string DataPath;
    std::string DataPathNoSlash;
    std::string TemplatePath;
    std::string TemplatePathNoSlash;
    std::string HelpPath;

    // Sets a folder pair from a folder given with or without its trailing "/".
    void SetProgramFolder(const std::string& folder);
    void SetDataPath(const std::string& folder);
    void SetTemplatePath(const std::string& folder);
};

// The registry key the program's settings live under.
inline constexpr const char* kSettingsKey = "Software/Orvelan/Velmoran";

// The folder with one trailing "/" (an empty folder stays empty); and without it.
std::string WithSlash(const std::string& folder);
std::string WithoutSlash(const std::string& folder);

// The folders of a program in programFolder: the data folder below the documents folder (made
// when missing, so that the file dialogs open there), the template root below the user's data
// folder, each overridden by the settings.
TFolders InitFolders(const std::string& programFolder, const RegIniFile& settings);
// The folders of the running program, read from the application's settings (needs the
// application object).
TFolders InitFolders();
// Writes "DataPath" and "TemplatePath" back; false, said once, when the settings could not be
// written (see SyncSettings).
bool SaveFolders(const TFolders& folders, RegIniFile& settings);
bool SaveFolders(const TFolders& folders);

// Copies each file below programFolder + "templates/" that is missing below templatePath there,
// sub-folders included. Existing files are never overwritten, so defaults the user saved stay.
// Returns the number of files copied; files that cannot be copied are passed over.
int SeedTemplateFolder(const std::string& programFolder, const std::string& templatePath);

}  // namespace velmoran
