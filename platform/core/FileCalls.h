// The file-system calls of atomic saving and of the save lock, each going to the system or to
// what a test put in its place (ScopedFileSystemCalls), and the small file helpers both build on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <utility>

namespace velmoran::filecalls {

int Link(const char* from, const char* to);
int Rename(const char* from, const char* to);
int Unlink(const std::string& name);
int Sync(int fd);
// A new, empty file of exactly that name, opened for writing, with those permissions (less the
// umask); -1 with errno when there is one.
int CreateExclusive(const std::string& name, mode_t mode = 0600);
// Opens a file to read it, like open.
int OpenToRead(const std::string& name, int flags);
// Takes, tries or gives up a lock of the kernel on an open file, like flock.
int Flock(int fd, int operation);
// Reads like pread, retrying when a signal interrupts.
ssize_t ReadAt(int fd, char* buffer, std::size_t size, off_t offset);
void Pause(int milliseconds);
// Milliseconds of a clock that never goes back (not the time of day, which may be set or differ
// between computers).
std::int64_t Milliseconds();
// How often a lock's holder rewrites its note, in milliseconds.
int RefreshMilliseconds();

// Writes every byte into the open file: 0, or the error (ENOSPC for a write that takes nothing).
int WriteAll(int fd, std::string_view bytes);
// The folder part of a path with its slash ("" for a bare name), and the name after it.
std::pair<std::string, std::string> SplitPath(const std::string& path);
// The longest name a folder takes, in bytes (255 where the system does not say).
std::size_t NameLimit(const std::string& folder);
// FNV-1a over the bytes, continuing from `hash`.
std::uint32_t Fnv1a(std::string_view bytes, std::uint32_t hash = 2166136261u);
// A hash as eight lower-case hexadecimal digits.
std::string HexText(std::uint32_t hash);
// Bytes as two lower-case hexadecimal digits each.
std::string HexText(std::span<const std::uint8_t> bytes);
// Letters and digits drawn at random, for names no other save or lock picks.
std::string RandomText(std::size_t length);

}  // namespace velmoran::filecalls
