// Saving a file so that it is never half-written: the bytes go to a temporary file in the same
// folder, which then replaces the old file by a rename. On any failure the old file stays as it was.
#pragma once

#include "platform/core/Stream.h"

#include <functional>
#include <string>
#include <string_view>

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

}  // namespace velmoran
