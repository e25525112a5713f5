// Saving a file so that it is never half-written: the bytes go to a temporary file in the same
// folder, which then replaces the old file by a rename. On any failure the old file stays as it was.
// A name that is a symbolic link is saved through: the file it points to is replaced, the link
// stays. Several files that belong together are saved as one. Also: whether a file can be written
// before a writer that cannot say why it failed (the PDF printer) is given its name, and the German
// reason of a failure.
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
// order given. When one cannot be replaced, the files replaced before it get their previous
// contents back (a file that did not exist goes again), so that the folders hold either all the
// old files or all the new ones. The message names the file that failed.
SaveResult WriteFilesAtomically(const std::vector<FileContents>& files);

// Whether a file of that name could be written now, found out by opening it for writing without
// changing it (a file the look creates is removed again): 0, or the system's error number.
int WriteAccessError(const std::string& fileName);
// Why a file operation failed, in German, for the system's error number.
std::string FileErrorReason(int error);

}  // namespace velmoran
