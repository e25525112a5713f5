// Saving a file so that it is never half-written: the bytes go to a temporary file in the same
// folder, which then replaces the old file by a rename. On any failure the old file stays as it was.
// A name that is a symbolic link is saved through: the file it points to is replaced, the link
// stays. Several files that belong together are saved as one, also on file systems without hard
// links (FAT sticks, many network shares), under a lock that other saves and openings of them
// respect, and never over a change on disk the caller has not seen. Also: whether a file can be
// written before a writer that cannot say why it failed (the PDF printer) is given its name, and
// the German reason of a failure.
#pragma once

#include "platform/core/Stream.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace velmoran {

class SaveLock;

struct SaveResult {
    bool Ok = false;
    std::string Message;  // German, for the user, when not Ok
    // Not saved because a file was changed on disk since the caller saw it (FileContents::SeenAs);
    // Message names it.
    bool ChangedOnDisk = false;
    // German, when Ok: the files were saved without their lock, and why (see RecoveredFiles).
    std::string LockNote = {};
    explicit operator bool() const { return Ok; }
};

// `produce` writes the new contents into the stream it is given; an exception it raises
// aborts the save.
SaveResult WriteFileAtomically(const std::string& fileName, const std::function<void(TStream&)>& produce);
SaveResult WriteFileAtomically(const std::string& fileName, std::string_view bytes);

struct FileContents {
    std::string FileName;
    std::string_view Bytes;
    // A copy of the file shorter than this is broken: it is never put in its place.
    std::size_t WholeSize = 1;
    // The file's FileFingerprint when the caller last read or saved it; when the file holds
    // something else now, nothing is saved (ChangedOnDisk). Empty: not looked at.
    std::string SeenAs = {};
};
// Every new file is written in full beside its target first; then the targets are replaced in the
// order given, each by one rename, so that no target is ever missing. The previous files are kept
// under a second name (a hard link, or, where the file system has none, a copy that gets that name
// only when it is whole and on the disk) until every new file is in place. When one cannot be
// replaced, the files replaced before it get their previous contents back (a file that did not
// exist goes again), so that the folders hold either all the old files or all the new ones. The
// message names the file that failed. What an earlier save of the same names left is settled
// first, so that a save that completes leaves nothing behind; one cut short (the program killed,
// the power gone) leaves its second names for RecoverInterruptedSave. The whole save holds the
// files' lock (see SaveLock): while another save or opening holds it, the save waits briefly and
// then fails with a message saying so. It fails too where a lock no program holds cannot be
// removed, and where the lock cannot be made but for a folder that takes none (no new files, an
// entry at its name that is no lock file): there it saves without, and LockNote says so.
SaveResult WriteFilesAtomically(const std::vector<FileContents>& files);

struct SavedFile {
    std::string FileName;
    std::size_t WholeSize = 1;  // as in FileContents
};
struct RecoveredFiles {
    // False: the files as they stand are no set saved together, and nothing of the save cut short
    // can make them one; Message says so, naming them.
    bool Ok = false;
    // For every name, the file that holds its contents: the name itself, or, where the folder
    // could not be changed, a kept copy or a new file of the save cut short.
    std::vector<std::string> ReadFrom;
    // German; when Ok, set only when ReadFrom is not the names, saying which files are read, or
    // when entries beside them were left alone, naming them: ones that no save makes, what an
    // earlier build left under side names another file shares.
    std::string Message;
    // The FileFingerprint of every name as the files stand now (for FileContents::SeenAs).
    std::vector<std::string> Fingerprints = {};
    // The files' lock, held until the last copy of this is gone: no save changes the files while
    // they are read, a save of them from this thread included (let go of it before saving). Null
    // where none could be made (a folder that cannot be changed).
    std::shared_ptr<const SaveLock> Lock = {};
    // German, when Ok: the files were read without their lock, and why a save and an opening of
    // them will keep no one out while that lasts (an entry at the lock's name that is no lock
    // file, a lock no program holds that cannot be removed). A user is told this once per file
    // and program run, in a box to read whole, whether it comes first from an opening or a save.
    std::string LockNote = {};
};
// Before files saved together are read (the names in the order of the save): a save of them that
// was cut short before its last file was in place gets the previous files back, or, where a kept
// copy is not a whole regular file, is completed with its new files; one cut short after it loses
// only its leftovers. Only the leftovers of the last save of the names count: those of a save
// whose last file has been replaced since are removed unused. Leftovers that no save of ours can
// have made (a kept copy that is a link or a folder beside an empty marker) never stop the reading
// of files that are whole: they are left alone and named once. Where side names hold a hash of a
// name too long to keep, nothing is taken from leftovers whose owner note names other files, and
// leftovers of earlier builds (whose hash two names share easily) are left alone where another
// entry shares their side names. Waits briefly while a save of the files runs, and refuses with a
// message naming them and their lock when it goes on.
RecoveredFiles RecoverInterruptedSave(const std::vector<SavedFile>& files);

// Stands for what a file holds: equal for equal contents, also after a copy to another disk. A
// large file is told by its size, start and end only, so that the look costs little whatever its
// size; a file that is missing or no regular file (a link, a folder) gives a fingerprint of its own.
std::string FileFingerprint(const std::string& fileName);
// The fingerprint a file of exactly these bytes has.
std::string BytesFingerprint(std::string_view bytes);

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

// The calls by which the atomic writer changes a folder, in place of the system's for tests (a
// file system without hard links, a folder that cannot be changed, a save killed at any step):
// each answers like the system call, -1 with errno set on failure; Create makes a new file
// (O_EXCL) for writing and answers its descriptor; Sync flushes an open file or folder to the disk
// (tests that never lose power may leave that out); Read reads like pread what the writer reads
// of files' contents; Wait pauses while another holds a lock (tests need not wait); Open opens
// another's lock file to read it, like open; Flock takes or tries a lock of the kernel on an open
// lock file, like flock (on a share where that does not reach the server, ENOLCK); Clock tells the milliseconds of a clock that only
// goes forward, by which a lock is watched (tests let minutes pass at once). A lock's holder
// rewrites its note every RefreshMilliseconds (0: the usual half minute).
struct FileSystemCalls {
    std::function<int(const char* from, const char* to)> Link{};
    std::function<int(const char* from, const char* to)> Rename{};
    std::function<int(const char* name)> Create{};
    std::function<int(const char* name)> Unlink{};
    std::function<int(int fd)> Sync{};
    std::function<ssize_t(int fd, char* buffer, std::size_t size, off_t offset)> Read{};
    std::function<void(int milliseconds)> Wait{};
    std::function<int(const char* name, int flags)> Open{};
    std::function<int(int fd, int operation)> Flock{};
    std::function<std::int64_t()> Clock{};
    int RefreshMilliseconds = 0;
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
