// The shell's state; see ShellState.h.
#include "shell/ShellState.h"

namespace velmoran {

TShellState::TShellState(TFolders folders, std::string languageCode)
    : Folders(std::move(folders)),
      LanguageCode(std::move(languageCode)),
      Templates(Folders.ProgramFolder),
      Modules(*this)
{
}

}  // namespace velmoran
