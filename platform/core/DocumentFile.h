// Reading a file the program takes as a document: a calculation, an import, a template, a help
// file, a page. Such names come from links, pages and colleagues' files, so a name is read only
// when it leads (links followed) to a regular file, opened so that a pipe put in its place cannot
// block, and read only up to a limit: a device, a pipe or a folder neither stops the window nor
// fills the memory, and each refusal is a German message that names the file.
#pragma once

#include <cstddef>
#include <string>

namespace velmoran {

// Imports of values, and whatever reads a whole file without a limit of its own.
constexpr std::size_t kDocumentLimit = std::size_t{64} << 20;
// Templates and help files: many times the largest the program ships, far below what a page
// may cost.
constexpr std::size_t kPageLimit = std::size_t{16} << 20;

// What a file longer than the limit gives: a refusal, or its first `limit` bytes (a record file
// whose record is at its start).
enum class LongerFile { Refused, Cut };

// The bytes of a document file. Raises EFOpenError with a German message naming the file when
// the name leads to no file, to a folder, a device or a pipe, when the file is longer than the
// limit (unless it is cut) or cannot be opened; EReadError when reading fails.
std::string ReadDocumentFile(const std::string& fileName, std::size_t limit,
                             LongerFile longer = LongerFile::Refused);

// Whether the name leads, links followed, to a regular file (the test ReadDocumentFile makes
// first).
bool IsDocumentFile(const std::string& fileName);

// Whether the name lies inside the folder (the folder itself included), both taken as they are
// once links and "." or ".." steps are resolved: a link inside that leads out is outside.
bool IsInsideFolder(const std::string& fileName, const std::string& folder);

// Why reading the file failed, in German, for the system's error number, as the write errors
// say theirs: a file that is gone is told apart from a folder that is gone.
std::string ReadErrorReason(int error, const std::string& fileName);
// Why the file cannot be read whole as `minimum` bytes or more, in German: the system's reason,
// a folder or device in its place, an empty or shorter file. Empty when it can be read.
std::string UnreadableReason(const std::string& fileName, std::size_t minimum = 1);
// "Die Datei „name“ konnte nicht gelesen werden: reason" (a full stop in place of an empty reason).
std::string UnreadableMessage(const std::string& fileName, const std::string& reason);

}  // namespace velmoran
