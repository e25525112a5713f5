// Atomic file replacement by temporary file and rename; several files replaced as one, with the
// previous files kept as hard links, or renamed aside where there are none, until every rename
// has succeeded.
#include "platform/core/AtomicFile.h"

#include "platform/core/ScopeExit.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmoran {

namespace {

FileSystemCalls& Calls()
{
    static FileSystemCalls calls;
    return calls;
}

int Link(const char* from, const char* to)
{
    return Calls().Link ? Calls().Link(from, to) : ::link(from, to);
}

int Rename(const char* from, const char* to)
{
    return Calls().Rename ? Calls().Rename(from, to) : ::rename(from, to);
}

SaveResult Failure(const std::string& fileName, const std::string& reason)
{
    return {false, "Die Datei \"" + fileName + "\" konnte nicht gespeichert werden: " + reason};
}

std::string SystemReason(int error)
{
    return FileErrorReason(error);
}

mode_t DefaultMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A new, empty file whose name starts with base, opened for writing; -1 with errno on failure.
int CreateBeside(const std::string& base, const char* tag, std::string& name)
{
    std::vector<char> buffer(base.begin(), base.end());
    buffer.insert(buffer.end(), tag, tag + std::strlen(tag) + 1);
    const int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
    name = fd >= 0 ? std::string(buffer.data()) : std::string();
    return fd;
}

// Writes the bytes into a temporary file beside the target, with the target's permissions, and
// flushes it to the disk. Returns 0 or the error.
int WriteTemporary(const std::string& target, std::string_view bytes, std::string& tempName)
{
    const int fd = CreateBeside(target, ".~tmpXXXXXX", tempName);
    if (fd < 0)
        return errno;
    struct stat old {};
    const mode_t mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : DefaultMode();
    ::fchmod(fd, mode);
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    int error = 0;
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : ENOSPC;
            break;
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

// How the previous file of a target is kept until all new files are in place.
enum class Keeping { Nothing, HardLink, RenameAside };

// A second name for the target's present file, so that it can be put back. A hard link where the
// file system has them; where it has none, only the name is reserved and the old file is renamed
// to it just before the new one takes its place. Nothing for a target that does not exist. Returns
// 0 or the error.
int KeepPrevious(const std::string& target, std::string& keptName, Keeping& keeping)
{
    keptName.clear();
    keeping = Keeping::Nothing;
    struct stat info {};
    if (::lstat(target.c_str(), &info) != 0)
        return errno == ENOENT ? 0 : errno;
    if (!S_ISREG(info.st_mode))
        return 0;  // not a file: the rename over it fails, and nothing need come back
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name;
        const int fd = CreateBeside(target, ".~oldXXXXXX", name);
        if (fd < 0)
            return errno;
        ::close(fd);
        ::unlink(name.c_str());  // the name is reserved only briefly; link() fails if it is taken again
        if (Link(target.c_str(), name.c_str()) == 0) {
            keptName = name;
            keeping = Keeping::HardLink;
            return 0;
        }
        if (errno == EEXIST)
            continue;
        // No hard links here (EPERM on FAT and many shares, or another refusal): the old file is
        // moved aside instead. The empty reservation holds the name until then.
        const int reserved = CreateBeside(target, ".~oldXXXXXX", name);
        if (reserved < 0)
            return errno;
        ::close(reserved);
        keptName = name;
        keeping = Keeping::RenameAside;
        return 0;
    }
    return EEXIST;
}

}  // namespace

std::string ResolvedPath(std::string path)
{
    for (int step = 0; step < 40; ++step) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        char target[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
        if (n <= 0)
            return path;
        const std::string link(target, static_cast<std::size_t>(n));
        const auto slash = path.rfind('/');
        path = link.front() == '/' || slash == std::string::npos ? link : path.substr(0, slash + 1) + link;
    }
    return path;
}

SaveResult WriteFilesAtomically(const std::vector<FileContents>& files)
{
    struct Pending {
        std::string Target, Temporary, Previous;
        Keeping Kept = Keeping::Nothing;
        bool Replaced = false;
        // The previous file lives only under its second name: it must not be removed.
        bool PreviousIsTheOnlyCopy = false;
    };
    std::vector<Pending> pending(files.size());
    const ScopeExit tidy([&pending] {
        for (const Pending& p : pending) {
            if (!p.Temporary.empty() && !p.Replaced)
                ::unlink(p.Temporary.c_str());
            if (!p.Previous.empty() && !p.PreviousIsTheOnlyCopy)
                ::unlink(p.Previous.c_str());
        }
    });
    for (std::size_t i = 0; i < files.size(); ++i) {
        pending[i].Target = ResolvedPath(files[i].FileName);
        if (const int error = WriteTemporary(pending[i].Target, files[i].Bytes, pending[i].Temporary))
            return Failure(files[i].FileName, SystemReason(error));
    }
    // The last file needs no way back: when its rename fails, it was never replaced.
    for (std::size_t i = 0; i + 1 < files.size(); ++i)
        if (const int error = KeepPrevious(pending[i].Target, pending[i].Previous, pending[i].Kept))
            return Failure(files[i].FileName, SystemReason(error));
    // Puts the previous files of the targets before `end` back, newest first.
    const auto restore = [&pending](std::size_t end) {
        for (std::size_t j = end; j-- > 0;) {
            Pending& back = pending[j];
            if (!back.Replaced)
                continue;
            if (back.Previous.empty())
                ::unlink(back.Target.c_str());
            else if (Rename(back.Previous.c_str(), back.Target.c_str()) == 0)
                back.Previous.clear();
        }
    };
    for (std::size_t i = 0; i < files.size(); ++i) {
        Pending& p = pending[i];
        if (p.Kept == Keeping::RenameAside) {
            if (Rename(p.Target.c_str(), p.Previous.c_str()) != 0) {
                const int error = errno;
                restore(i);
                return Failure(files[i].FileName, SystemReason(error));
            }
            p.PreviousIsTheOnlyCopy = true;
        }
        if (Rename(p.Temporary.c_str(), p.Target.c_str()) == 0) {
            p.Replaced = true;
            p.PreviousIsTheOnlyCopy = !p.Previous.empty();
            continue;
        }
        const int error = errno;
        if (p.Kept == Keeping::RenameAside && Rename(p.Previous.c_str(), p.Target.c_str()) == 0)
            p.Previous.clear();
        restore(i);
        return Failure(files[i].FileName, SystemReason(error));
    }
    // Every new file is in place: the previous ones may go.
    for (Pending& p : pending)
        p.PreviousIsTheOnlyCopy = false;
    return {true, {}};
}

SaveResult WriteFileAtomically(const std::string& fileName, const std::function<void(TStream&)>& produce)
{
    TMemoryStream contents;
    try {
        produce(contents);
    } catch (const std::exception& e) {
        return Failure(fileName, e.what());
    }
    return WriteFilesAtomically(
        {{fileName, std::string_view(reinterpret_cast<const char*>(contents.Memory()),
                                     static_cast<std::size_t>(contents.Size()))}});
}

SaveResult WriteFileAtomically(const std::string& fileName, std::string_view bytes)
{
    return WriteFilesAtomically({{fileName, bytes}});
}

int WriteAccessError(const std::string& fileName)
{
    struct stat before {};
    const bool existed = ::stat(fileName.c_str(), &before) == 0;
    // No O_TRUNC: a file that is there keeps its contents.
    const int fd = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, DefaultMode());
    if (fd < 0)
        return errno;
    ::close(fd);
    if (!existed)
        ::unlink(fileName.c_str());
    return 0;
}

std::string FileErrorReason(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return "Keine Berechtigung zum Schreiben an diesem Ort.";
    case ENOENT:
        return "Der Ordner existiert nicht.";
    case ENOTDIR:
        return "Ein Teil des Pfades ist kein Ordner.";
    case EISDIR:
        return "Der Name gehört zu einem Ordner.";
    case EROFS:
        return "Der Datenträger ist schreibgeschützt.";
    case ENOSPC:
    case EDQUOT:
        return "Auf dem Datenträger ist nicht genug Platz.";
    case ENAMETOOLONG:
        return "Der Name ist zu lang.";
    default:
        return std::strerror(error);
    }
}

ScopedFileSystemCalls::ScopedFileSystemCalls(FileSystemCalls calls) : previous_(std::move(Calls()))
{
    Calls() = std::move(calls);
}

ScopedFileSystemCalls::~ScopedFileSystemCalls()
{
    Calls() = std::move(previous_);
}

}  // namespace velmoran
