// Atomic file replacement by temporary file and rename; several files replaced as one, with the
// previous files kept as hard links until every rename has succeeded.
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

// The file a name finally stands for: symbolic links followed (a relative link from the folder of
// the link), up to the number of steps the system allows itself.
std::string FollowLinks(std::string path)
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

// A second name for the target's present file, so that it can be put back; empty when the target
// does not exist. Returns 0 or the error.
int KeepPrevious(const std::string& target, std::string& keptName)
{
    keptName.clear();
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
        if (::link(target.c_str(), name.c_str()) == 0) {
            keptName = name;
            return 0;
        }
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

}  // namespace

SaveResult WriteFilesAtomically(const std::vector<FileContents>& files)
{
    struct Pending {
        std::string Target, Temporary, Previous;
        bool Replaced = false;
    };
    std::vector<Pending> pending(files.size());
    const ScopeExit tidy([&pending] {
        for (const Pending& p : pending) {
            if (!p.Temporary.empty() && !p.Replaced)
                ::unlink(p.Temporary.c_str());
            if (!p.Previous.empty())
                ::unlink(p.Previous.c_str());
        }
    });
    for (std::size_t i = 0; i < files.size(); ++i) {
        pending[i].Target = FollowLinks(files[i].FileName);
        if (const int error = WriteTemporary(pending[i].Target, files[i].Bytes, pending[i].Temporary))
            return Failure(files[i].FileName, SystemReason(error));
    }
    // The last file needs no way back: when its rename fails, it was never replaced.
    for (std::size_t i = 0; i + 1 < files.size(); ++i)
        if (const int error = KeepPrevious(pending[i].Target, pending[i].Previous))
            return Failure(files[i].FileName, SystemReason(error));
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (::rename(pending[i].Temporary.c_str(), pending[i].Target.c_str()) == 0) {
            pending[i].Replaced = true;
            continue;
        }
        const int error = errno;
        for (std::size_t j = i; j-- > 0;) {
            Pending& back = pending[j];
            if (back.Previous.empty())
                ::unlink(back.Target.c_str());
            else if (::rename(back.Previous.c_str(), back.Target.c_str()) == 0)
                back.Previous.clear();
        }
        return Failure(files[i].FileName, SystemReason(error));
    }
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

}  // namespace velmoran
