// Reading document files: regular files only, opened without blocking, up to a limit.
#include "platform/core/DocumentFile.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/Exceptions.h"
#include "platform/core/ScopeExit.h"
#include "platform/core/Text.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmoran {

namespace {

std::string Megabytes(std::size_t limit)
{
    return std::to_string(limit >> 20) + " MB";
}

[[noreturn]] void RaiseUnreadable(const std::string& fileName, int error)
{
    throw EFOpenError(UnreadableMessage(fileName, ReadErrorReason(error, fileName)));
}

[[noreturn]] void RaiseTooLarge(const std::string& fileName, std::size_t limit)
{
    throw EFOpenError("Die Datei " + Quoted(fileName) + " ist größer als " + Megabytes(limit) +
                      " und wird nicht gelesen.");
}

// Raises the refusal for anything but a regular file.
void CheckRegular(const std::string& fileName, const struct stat& info)
{
    if (S_ISREG(info.st_mode))
        return;
    if (S_ISDIR(info.st_mode))
        throw EFOpenError(Quoted(fileName) + " ist ein Ordner und keine Datei.");
    throw EFOpenError(Quoted(fileName) +
                      " ist keine gewöhnliche Datei (ein Gerät oder eine Pipe) und wird nicht gelesen.");
}

}  // namespace

bool IsDocumentFile(const std::string& fileName)
{
    struct stat info {};
    return ::stat(fileName.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsInsideFolder(const std::string& fileName, const std::string& folder)
{
    namespace fs = std::filesystem;
    if (fileName.empty() || folder.empty())
        return false;
    std::error_code error;
    const fs::path root = fs::weakly_canonical(fs::absolute(folder, error), error);
    if (error)
        return false;
    const fs::path file = fs::weakly_canonical(fs::absolute(fileName, error), error);
    if (error)
        return false;
    const auto [rootEnd, unused] = std::mismatch(root.begin(), root.end(), file.begin(), file.end());
    // A folder named with its trailing "/" ends in an empty part.
    return rootEnd == root.end() || (rootEnd->empty() && std::next(rootEnd) == root.end());
}

std::string ReadErrorReason(int error, const std::string& fileName)
{
    switch (error) {
    case ENOENT:
        return FolderExists(fileName) ? "Die Datei ist nicht (mehr) vorhanden."
                                      : "Der Ordner der Datei ist nicht (mehr) vorhanden.";
    case EACCES:
    case EPERM:
        return "Keine Berechtigung zum Lesen dieser Datei.";
    default:
        // The rest reads as it does for a write.
        return FileErrorReason(error, fileName);
    }
}

std::string UnreadableReason(const std::string& fileName, std::size_t minimum)
{
    struct stat info {};
    if (::stat(fileName.c_str(), &info) != 0)
        return ReadErrorReason(errno, fileName);
    if (S_ISDIR(info.st_mode))
        return ReadErrorReason(EISDIR, fileName);
    if (!S_ISREG(info.st_mode))
        return "Der Name gehört zu keiner gewöhnlichen Datei (ein Gerät oder eine Pipe).";
    if (::access(fileName.c_str(), R_OK) != 0)
        return ReadErrorReason(errno, fileName);
    const auto size = static_cast<std::size_t>(info.st_size);
    if (size == 0)
        return "Die Datei ist leer.";
    if (size < minimum)
        return "Die Datei ist unvollständig (" + std::to_string(size) + " von " + std::to_string(minimum) +
               " Bytes).";
    return {};
}

std::string UnreadableMessage(const std::string& fileName, const std::string& reason)
{
    return "Die Datei " + Quoted(fileName) + " konnte nicht gelesen werden" + (reason.empty() ? "." : ": " + reason);
}

std::string ReadDocumentFile(const std::string& fileName, std::size_t limit, LongerFile longer)
{
    struct stat info {};
    if (::stat(fileName.c_str(), &info) != 0)
        RaiseUnreadable(fileName, errno);
    CheckRegular(fileName, info);
    const auto size = static_cast<std::size_t>(info.st_size);
    if (longer == LongerFile::Refused && size > limit)
        RaiseTooLarge(fileName, limit);
    // Not blocking: a pipe put in the file's place since the look above opens at once, and the
    // look after opening refuses it.
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        RaiseUnreadable(fileName, errno);
    const ScopeExit close([fd] { ::close(fd); });
    if (::fstat(fd, &info) != 0)
        RaiseUnreadable(fileName, errno);
    CheckRegular(fileName, info);
    // One byte beyond the limit tells a file that grew since the look.
    const std::size_t wanted = limit + (longer == LongerFile::Refused ? 1 : 0);
    std::string bytes(std::min(size, limit) + 1, '\0');
    std::size_t total = 0;
    while (total < wanted) {
        if (total == bytes.size())
            bytes.resize(std::min(wanted, bytes.size() * 2));
        const ssize_t n = ::read(fd, bytes.data() + total, std::min(bytes.size(), wanted) - total);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw EReadError(UnreadableMessage(fileName, ReadErrorReason(errno, fileName)));
        if (n == 0)
            break;
        total += static_cast<std::size_t>(n);
    }
    if (total > limit)
        RaiseTooLarge(fileName, limit);
    bytes.resize(total);
    return bytes;
}

}  // namespace velmoran
