// The state of the shell that outlives every window: the folders, the system language, the file
// of the current calculation, the templates and the modules. The main window owns one; tests
// make their own.
#pragma once

#include "shell/Folders.h"
#include "shell/Modules.h"
#include "shell/Templates.h"

#include <set>
#include <string>

namespace velmoran {

class TShellState {
public:
    TShellState(TFolders folders, std::string languageCode);
    TShellState(const TShellState&) = delete;
    TShellState& operator=(const TShellState&) = delete;

    TFolders Folders;
    // The system locale's ISO 639 code, read once; empty for the C locale.
    std::string LanguageCode;
    // The file of the current calculation; empty while none is named.
    std::string FileId;
    // The notes on files read or saved without their lock that the user was shown: each is shown
    // once a program run, not at every opening and save of those files.
    std::set<std::string> LockNotesShown;
    TTemplates Templates;
    // Last, so that the module dialogs go first.
    TModules Modules;
};

}  // namespace velmoran
