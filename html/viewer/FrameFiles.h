// What the frames make of a file before they load it: a picture or a plain text shown by itself,
// or a frameset document that becomes a nested frameset; and the error a frameset document or
// frame raises when it cannot be read.
#pragma once

#include "platform/core/Exceptions.h"

#include <string>

namespace velmoran {

// A frameset document or a frame that cannot be read.
class EfvLoadError : public Exception {
public:
    using Exception::Exception;
};

// Judged by the extension, of which the first five characters count (".jpeg" and ".html" whole).
bool IsImageFile(const std::string& file);
bool IsTextFile(const std::string& file);
// True when the file is a frameset document; an unreadable file raises EfvLoadError "Can't load: ".
bool IsFramesetFile(const std::string& file);
// A file that is a frameset document: it exists, is no picture or text by its name, and holds a
// FRAMESET.
bool HoldsFrameset(const std::string& file);
// A file name made absolute against the working folder, its "." and ".." steps resolved.
std::string AbsolutePath(const std::string& file);

}  // namespace velmoran
