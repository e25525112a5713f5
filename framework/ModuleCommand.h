// The text commands a calculation module accepts through its command entry, and the argument
// that comes with them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmoran {

class TStream;

// In protocol order: the value is the command number a module dispatches on.
enum class ModuleCommand {
    InitData,
    ReadData,
    SaveData,
    EditParams,
    SetToData,
    Calculate,
    Edit,
    PushData,
    PopData,
    CheckTopics,
    EditSpecial,
};

// The keywords in protocol order ("INITDATA" ... "EDITSPECIAL").
const std::vector<std::string>& ModuleKeywords();

// The command a text names, compared after conversion to upper case; nullopt for any other text
// (such as "CheckAll").
std::optional<ModuleCommand> ParseModuleCommand(std::string_view text);

// What a command carries besides its name: a file or control name, a stream, or a list of texts,
// depending on the command; Mode and Page are used by EDIT only. READDATA and SAVEDATA add to a
// given list what the user should read: why a file failed, or a note on what was read.
struct ModuleArgument {
    std::string Text = {};
    TStream* Stream = nullptr;
    std::vector<std::string>* List = nullptr;
    int Mode = 0;
    int Page = 0;
    // SAVEDATA: a copy under a name that is not the calculation's file; the modified flag stays
    // as it was, since the calculation's own file still holds what it held.
    bool Copy = false;
    // SAVEDATA over the file the calculation was read from or last saved to, which another window
    // or user has changed since: without WriteOverChanges nothing is written, the answer is false
    // and *ChangedOnDisk is set (the list says which file); with it the change is written over
    // (the user was asked).
    bool WriteOverChanges = false;
    bool* ChangedOnDisk = nullptr;
    // READDATA, SAVEDATA: set to why the files were read or saved without their lock, where they
    // were (in German); the caller says each such note once per file and program run.
    std::string* LockNote = nullptr;
};

}  // namespace velmoran
