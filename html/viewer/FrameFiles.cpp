// File kinds of the frames.
#include "html/viewer/FrameFiles.h"

#include "html/layout/HtmlParser.h"
#include "html/viewer/ViewerText.h"
#include "platform/core/Stream.h"
#include "platform/core/Text.h"

#include <filesystem>

namespace velmoran {
namespace {

// The lower-case extension, at most five characters with its dot.
std::string ExtensionOf(const std::string& file)
{
    return LowerCase(std::filesystem::path(file).extension().string()).substr(0, 5);
}

}  // namespace

bool IsImageFile(const std::string& file)
{
    return IsPictureExtension(ExtensionOf(file));
}

bool IsTextFile(const std::string& file)
{
    return ExtensionOf(file) == ".txt";
}

bool IsFramesetFile(const std::string& file)
{
    try {
        return IsFramesetDocument(ReadFileBytes(file));
    } catch (const std::exception&) {
        throw EfvLoadError("Can't load: " + file);
    }
}

bool HoldsFrameset(const std::string& file)
{
    return FileExists(file) && !IsImageFile(file) && !IsTextFile(file) && IsFramesetFile(file);
}

std::string AbsolutePath(const std::string& file)
{
    return std::filesystem::absolute(file).lexically_normal().string();
}

}  // namespace velmoran
