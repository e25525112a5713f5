// Atomic file replacement by temporary file and rename; several files replaced as one, with the
// previous files kept as hard links, or as copies where there are none, until every rename has
// succeeded; and the repair of a save that was cut short.
#include "platform/core/AtomicFile.h"

#include "platform/core/ScopeExit.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

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
    return {false, "Die Datei „" + fileName + "“ konnte nicht gespeichert werden: " + reason};
}


mode_t DefaultMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The tags of the second names beside a target: its new contents while they are written, and
// its previous file while the save runs. Both end in the token that one save shares.
constexpr std::string_view kTemporaryTag = ".~tmp";
constexpr std::string_view kPreviousTag = ".~old";
constexpr std::size_t kTokenLength = 6;

// A new, empty file named base + tag + a fresh token, opened for writing; -1 with errno on
// failure. The token is the part after the tag.
int CreateWithNewToken(const std::string& base, std::string_view tag, std::string& name)
{
    std::string pattern = base + std::string(tag) + std::string(kTokenLength, 'X');
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    name = fd >= 0 ? pattern : std::string();
    return fd;
}

// A new, empty file of exactly that name, opened for writing; -1 with errno when there is one.
int CreateExclusive(const std::string& name)
{
    return ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
}

// Writes the bytes into the open file, flushes them to the disk and closes it. Returns 0 or the
// error.
int WriteAndClose(int fd, std::string_view bytes)
{
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

// Writes the bytes into the temporary file beside the target that carries the save's token (a
// new token when the token is still empty), with the target's permissions. Returns 0 or the error.
int WriteTemporary(const std::string& target, std::string_view bytes, std::string& token, std::string& tempName)
{
    int fd = -1;
    if (token.empty()) {
        fd = CreateWithNewToken(target, kTemporaryTag, tempName);
        if (fd >= 0)
            token = tempName.substr(tempName.size() - kTokenLength);
    } else {
        tempName = target + std::string(kTemporaryTag) + token;
        fd = CreateExclusive(tempName);
        if (fd < 0)
            tempName.clear();
    }
    if (fd < 0)
        return errno;
    struct stat old {};
    const mode_t mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : DefaultMode();
    ::fchmod(fd, mode);
    return WriteAndClose(fd, bytes);
}

// The whole contents of a file; false with errno when it cannot be read.
bool ReadWhole(const std::string& fileName, std::string& bytes)
{
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    const ScopeExit close([fd] { ::close(fd); });
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

// A second name for the target's present file, so that it can be put back: a hard link where the
// file system has them, a copy where it has none (FAT sticks, many shares). The target keeps its
// name all the time, so that no moment leaves it missing. Nothing for a target that does not
// exist. Returns 0 or the error.
int KeepPrevious(const std::string& target, const std::string& token, std::string& keptName)
{
    keptName.clear();
    struct stat info {};
    if (::lstat(target.c_str(), &info) != 0)
        return errno == ENOENT ? 0 : errno;
    if (!S_ISREG(info.st_mode))
        return 0;  // not a file: the rename over it fails, and nothing need come back
    const std::string name = target + std::string(kPreviousTag) + token;
    if (Link(target.c_str(), name.c_str()) != 0) {
        if (errno == EEXIST)
            return EEXIST;
        std::string bytes;
        if (!ReadWhole(target, bytes))
            return errno;
        const int fd = CreateExclusive(name);
        if (fd < 0)
            return errno;
        ::fchmod(fd, info.st_mode & 07777);
        if (const int error = WriteAndClose(fd, bytes)) {
            ::unlink(name.c_str());
            return error;
        }
    }
    keptName = name;
    return 0;
}

// The folder part of a path with its slash ("" for a bare name), and the name after it.
std::pair<std::string, std::string> SplitPath(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return {{}, path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

// The tokens of the previous files kept beside the target.
std::vector<std::string> KeptTokens(const std::string& target)
{
    const auto [folder, name] = SplitPath(target);
    const std::string prefix = name + std::string(kPreviousTag);
    std::vector<std::string> tokens;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return tokens;
    const ScopeExit close([dir] { ::closedir(dir); });
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view entryName = entry->d_name;
        if (entryName.size() == prefix.size() + kTokenLength && entryName.starts_with(prefix))
            tokens.emplace_back(entryName.substr(prefix.size()));
    }
    return tokens;
}

bool IsLink(const std::string& fileName)
{
    struct stat info {};
    return ::lstat(fileName.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

bool Exists(const std::string& fileName)
{
    struct stat info {};
    return ::lstat(fileName.c_str(), &info) == 0;
}

}  // namespace

bool FolderExists(const std::string& fileName)
{
    if (fileName.empty())
        return false;
    const auto slash = fileName.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : fileName.substr(0, slash);
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

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
        bool Replaced = false;
    };
    std::vector<Pending> pending(files.size());
    // Set when a previous file could not be put back: it stays, with the last file's temporary
    // that marks the save as unfinished, for the next opening to take back.
    bool leftForRecovery = false;
    const ScopeExit tidy([&pending, &leftForRecovery] {
        if (leftForRecovery)
            return;
        for (const Pending& p : pending) {
            if (!p.Temporary.empty() && !p.Replaced)
                ::unlink(p.Temporary.c_str());
            if (!p.Previous.empty())
                ::unlink(p.Previous.c_str());
        }
    });
    std::string token;
    for (std::size_t i = 0; i < files.size(); ++i) {
        pending[i].Target = ResolvedPath(files[i].FileName);
        // A name still a link after every step is a loop: the link is not replaced by a file.
        if (IsLink(pending[i].Target))
            return Failure(files[i].FileName, FileErrorReason(ELOOP, pending[i].Target));
        if (const int error = WriteTemporary(pending[i].Target, files[i].Bytes, token, pending[i].Temporary))
            return Failure(files[i].FileName, FileErrorReason(error, pending[i].Target));
    }
    // The last file needs no way back: when its rename fails, it was never replaced.
    for (std::size_t i = 0; i + 1 < files.size(); ++i)
        if (const int error = KeepPrevious(pending[i].Target, token, pending[i].Previous))
            return Failure(files[i].FileName, FileErrorReason(error, pending[i].Target));
    // Puts the previous files of the targets before `end` back, newest first.
    const auto restore = [&pending, &leftForRecovery](std::size_t end) {
        for (std::size_t j = end; j-- > 0;) {
            Pending& back = pending[j];
            if (!back.Replaced)
                continue;
            if (back.Previous.empty())
                ::unlink(back.Target.c_str());
            else if (Rename(back.Previous.c_str(), back.Target.c_str()) == 0)
                back.Previous.clear();
            else
                leftForRecovery = true;
        }
    };
    for (std::size_t i = 0; i < files.size(); ++i) {
        Pending& p = pending[i];
        if (Rename(p.Temporary.c_str(), p.Target.c_str()) == 0) {
            p.Replaced = true;
            continue;
        }
        const int error = errno;
        restore(i);
        return Failure(files[i].FileName, FileErrorReason(error, pending[i].Target));
    }
    return {true, {}};
}

void RecoverInterruptedSave(const std::vector<std::string>& fileNames)
{
    if (fileNames.size() < 2)
        return;
    std::vector<std::string> targets;
    for (const std::string& name : fileNames)
        targets.push_back(ResolvedPath(name));
    // The last file's temporary is renamed onto it as the save's last step: while it is there,
    // the save did not finish, and the previous files are the pair.
    const std::string& last = targets.back();
    std::vector<std::string> unfinished;
    for (std::size_t i = 0; i + 1 < targets.size(); ++i) {
        for (const std::string& token : KeptTokens(targets[i])) {
            const std::string kept = targets[i] + std::string(kPreviousTag) + token;
            const bool takeBack = Exists(last + std::string(kTemporaryTag) + token) || !Exists(targets[i]);
            if (takeBack && Rename(kept.c_str(), targets[i].c_str()) != 0)
                continue;  // kept for a later opening that may succeed
            ::unlink(kept.c_str());  // a hard link to the target itself stays after the rename
            if (takeBack)
                unfinished.push_back(token);
        }
    }
    // The new files that never got in go, the marker last.
    for (const std::string& token : unfinished)
        for (const std::string& target : targets)
            ::unlink((target + std::string(kTemporaryTag) + token).c_str());
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

std::string FileErrorReason(int error, const std::string& fileName)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return "Keine Berechtigung zum Schreiben an diesem Ort.";
    case ENOENT:
        // Also what a folder of the system (/proc) answers that is there but takes no files.
        return FolderExists(fileName) ? "In diesem Ordner können keine Dateien angelegt werden."
                                      : "Der Ordner existiert nicht.";
    case ENOTDIR:
        return "Ein Teil des Pfades ist kein Ordner.";
    case EISDIR:
        return "Der Name gehört zu einem Ordner.";
    case ENOTEMPTY:
        return "Der Name gehört zu einem Ordner, der nicht leer ist.";
    case EROFS:
        return "Der Datenträger ist schreibgeschützt.";
    case ENOSPC:
    case EDQUOT:
        return "Auf dem Datenträger ist nicht genug Platz.";
    case EFBIG:
    case EOVERFLOW:
        return "Die Datei ist für diesen Datenträger zu groß.";
    case ENAMETOOLONG:
        return "Der Name ist zu lang.";
    case ELOOP:
        return "Der Pfad enthält eine Schleife symbolischer Verknüpfungen.";
    case EINVAL:
        return "Der Name ist an diesem Ort nicht zulässig.";
    case EEXIST:
        return "Eine Datei dieses Namens ist bereits vorhanden.";
    case EBUSY:
    case ETXTBSY:
        return "Die Datei wird gerade verwendet.";
    case EAGAIN:
    case ENOLCK:
        return "Die Datei ist gesperrt.";
    case EMFILE:
    case ENFILE:
        return "Es sind zu viele Dateien geöffnet.";
    case ENOMEM:
        return "Der Arbeitsspeicher reicht nicht aus.";
    case EMLINK:
        return "Der Ordner kann keine weiteren Einträge aufnehmen.";
    case EXDEV:
        return "Die Datei und ihr Ordner liegen auf verschiedenen Datenträgern.";
    case EOPNOTSUPP:
        return "Der Datenträger unterstützt diesen Vorgang nicht.";
    case ENXIO:
    case ENODEV:
        return "Das Gerät ist nicht verfügbar.";
    case EIO:
        return "Beim Zugriff auf den Datenträger ist ein Ein-/Ausgabefehler aufgetreten.";
    case EINTR:
    case ECANCELED:
        return "Der Vorgang wurde unterbrochen.";
    case ESTALE:
    case ENOTCONN:
    case ETIMEDOUT:
    case ECONNRESET:
    case ECONNABORTED:
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ENETDOWN:
    case ENETUNREACH:
    case ENOLINK:
        return "Die Verbindung zum Netzlaufwerk ist unterbrochen.";
    default:
        // No system text: it would be English.
        return "Das Betriebssystem hat den Vorgang abgelehnt (Fehlernummer " + std::to_string(error) + ").";
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
