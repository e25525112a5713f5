// The seam between the atomic writer (and its lock) and the system: the calls a test replaces go
// through here.
#include "platform/core/FileCalls.h"

#include "platform/core/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace velmoran {

namespace {

FileSystemCalls& Calls()
{
    static FileSystemCalls calls;
    return calls;
}

}  // namespace

namespace filecalls {

int Link(const char* from, const char* to)
{
    return Calls().Link ? Calls().Link(from, to) : ::link(from, to);
}

int Rename(const char* from, const char* to)
{
    return Calls().Rename ? Calls().Rename(from, to) : ::rename(from, to);
}

int Unlink(const std::string& name)
{
    return Calls().Unlink ? Calls().Unlink(name.c_str()) : ::unlink(name.c_str());
}

int Sync(int fd)
{
    return Calls().Sync ? Calls().Sync(fd) : ::fsync(fd);
}

int CreateExclusive(const std::string& name, mode_t mode)
{
    return Calls().Create ? Calls().Create(name.c_str())
                          : ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
}

int OpenToRead(const std::string& name, int flags)
{
    return Calls().Open ? Calls().Open(name.c_str(), flags) : ::open(name.c_str(), flags);
}

int Flock(int fd, int operation)
{
    return Calls().Flock ? Calls().Flock(fd, operation) : ::flock(fd, operation);
}

ssize_t ReadAt(int fd, char* buffer, std::size_t size, off_t offset)
{
    for (;;) {
        const ssize_t n = Calls().Read ? Calls().Read(fd, buffer, size, offset) : ::pread(fd, buffer, size, offset);
        if (n >= 0 || errno != EINTR)
            return n;
    }
}

void Pause(int milliseconds)
{
    if (Calls().Wait)
        Calls().Wait(milliseconds);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::int64_t Milliseconds()
{
    if (Calls().Clock)
        return Calls().Clock();
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
}

int RefreshMilliseconds()
{
    // Well within the two minutes after which a lock that does not change counts as left.
    constexpr int kUsual = 30'000;
    return Calls().RefreshMilliseconds > 0 ? Calls().RefreshMilliseconds : kUsual;
}

int WriteAll(int fd, std::string_view bytes)
{
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    return 0;
}

std::pair<std::string, std::string> SplitPath(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return {{}, path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

std::size_t NameLimit(const std::string& folder)
{
    constexpr std::size_t kUsual = 255;
    const long limit = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? std::min(kUsual, static_cast<std::size_t>(limit)) : kUsual;
}

std::uint32_t Fnv1a(std::string_view bytes, std::uint32_t hash)
{
    for (const char c : bytes)
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
}

std::string HexText(std::uint32_t hash)
{
    static constexpr std::string_view kHex = "0123456789abcdef";
    std::string text(8, '0');
    for (std::size_t i = text.size(); i-- > 0; hash >>= 4)
        text[i] = kHex[hash & 0xF];
    return text;
}

std::string HexText(std::span<const std::uint8_t> bytes)
{
    static constexpr std::string_view kHex = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const std::uint8_t byte : bytes) {
        text += kHex[byte >> 4];
        text += kHex[byte & 0xF];
    }
    return text;
}

std::string RandomText(std::size_t length)
{
    static constexpr std::string_view kChars = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 engine{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, kChars.size() - 1);
    std::string text(length, ' ');
    for (char& c : text)
        c = kChars[pick(engine)];
    return text;
}

}  // namespace filecalls

ScopedFileSystemCalls::ScopedFileSystemCalls(FileSystemCalls calls) : previous_(std::move(Calls()))
{
    Calls() = std::move(calls);
}

ScopedFileSystemCalls::~ScopedFileSystemCalls()
{
    Calls() = std::move(previous_);
}

}  // namespace velmoran
