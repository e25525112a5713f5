// Saving a file so that it is never half-written: the bytes go to a temporary file in the same
// folder, which then replaces the old file by a rename. On any failure the old file stays as it was.
// A name that is a symbolic link is saved through: the file it points to is replaced, the link
// stays. Several files that belong together are saved as one, also on file systems without hard
// links (FAT sticks, many network shares). Also: whether a file can be written before a writer that
// cannot say why it failed (the PDF printer) is given its name, and the German reason of a failure.
#pragma once

#include "platform/core/Stream.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmoran {

struct SaveResult {
    bool Ok = false;
    std::string Message;  // German, for the user, when not Ok
    explicit operator bool() const { return Ok; }
};

// `produce` writes the new contents into the stream it is given; an exception it raises
// aborts the save.
SaveResult WriteFileAtomically(const std::string& fileName, const std::function<void(TStream&)>& produce);
SaveResult WriteFileAtomically(const std::string& fileName, std::string_view bytes);

struct FileContents {
    std::string FileName;
    std::string_view Bytes;
};
// Every new file is written in full beside its target first; then the targets are replaced in the
// order given, each by one rename, so that no target is ever missing. The previous files are kept
// under a second name (a hard link, or, where the file system has none, a copy) until every new
// file is in place. When one cannot be replaced, the files replaced before it get their previous
// contents back (a file that did not exist goes again), so that the folders hold either all the
// old files or all the new ones. The message names the file that failed. A save cut short (the
// program killed, the power gone) leaves its second names behind for RecoverInterruptedSave.
SaveResult WriteFilesAtomically(const std::vector<FileContents>& files);
// Before files saved together are read: a save of them that was cut short before its last file
// was in place gets the previous files back, and one cut short after it loses only the kept
// copies, so that the files are again all old or all new. The names in the order of the save.
void RecoverInterruptedSave(const std::vector<std::string>& fileNames);

// Whether a file of that name could be written now, found out by opening it for writing without
// changing it (a file the look creates is removed again): 0, or the system's error number.
int WriteAccessError(const std::string& fileName);
// Whether the folder a file would be created in (or lies in) is there.
bool FolderExists(const std::string& fileName);
// Why writing the file failed, in German, for the system's error number: one reason for every
// error a write can give, an honest general one for the rest. With the file's name, a folder
// that is missing is told apart from one that is there but takes no new files. A read gives the
// same reasons but for a missing file and a missing permission.
std::string FileErrorReason(int error, const std::string& fileName = {});
// The file a name finally stands for: symbolic links followed (a relative link from the folder of
// the link); a name that is no link is returned as it is.
std::string ResolvedPath(std::string path);

// The two calls of the atomic writer that file systems treat differently, in place of the
// system's for tests: each answers 0 or -1 with errno set, like the system call.
struct FileSystemCalls {
    std::function<int(const char* from, const char* to)> Link;
    std::function<int(const char* from, const char* to)> Rename;
};
// Puts other calls in place for its lifetime; an empty function keeps the system's.
class ScopedFileSystemCalls {
public:
    explicit ScopedFileSystemCalls(FileSystemCalls calls);
    ~ScopedFileSystemCalls();
    ScopedFileSystemCalls(const ScopedFileSystemCalls&) = delete;
    ScopedFileSystemCalls& operator=(const ScopedFileSystemCalls&) = delete;

private:
    FileSystemCalls previous_;
};

}  // namespace velmoran
