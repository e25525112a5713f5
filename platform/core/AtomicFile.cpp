// Atomic file replacement by temporary file and rename.
#include "platform/core/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace velmoran {

namespace {

SaveResult Failure(const std::string& fileName, const std::string& reason)
{
    return {false, "Die Datei \"" + fileName + "\" konnte nicht gespeichert werden: " + reason};
}

std::string SystemReason(int error)
{
    return std::strerror(error);
}

mode_t DefaultMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

SaveResult WriteFileAtomically(const std::string& fileName, const std::function<void(TStream&)>& produce)
{
    TMemoryStream contents;
    try {
        produce(contents);
    } catch (const std::exception& e) {
        return Failure(fileName, e.what());
    }

    std::vector<char> tempName(fileName.begin(), fileName.end());
    const char suffix[] = ".~tmpXXXXXX";
    tempName.insert(tempName.end(), suffix, suffix + sizeof suffix);
    const int fd = ::mkostemp(tempName.data(), O_CLOEXEC);
    if (fd < 0)
        return Failure(fileName, SystemReason(errno));

    struct stat old {};
    const mode_t mode = ::stat(fileName.c_str(), &old) == 0 ? (old.st_mode & 07777) : DefaultMode();
    ::fchmod(fd, mode);

    const char* data = reinterpret_cast<const char*>(contents.Memory());
    std::size_t left = static_cast<std::size_t>(contents.Size());
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
    if (error == 0 && ::rename(tempName.data(), fileName.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(tempName.data());
        return Failure(fileName, SystemReason(error));
    }
    return {true, {}};
}

SaveResult WriteFileAtomically(const std::string& fileName, std::string_view bytes)
{
    return WriteFileAtomically(fileName, [bytes](TStream& out) { out.WriteString(bytes); });
}

}  // namespace velmoran
