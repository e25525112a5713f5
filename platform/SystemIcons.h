// The desktop's icons of files and folders (the shell's small and large system icons), through
// QFileIconProvider: the icon of an existing file or folder, or of a file of that name's type.
#pragma once

#include <QImage>

#include <string>

namespace velmoran {

constexpr int kSmallIconSize = 16;
constexpr int kLargeIconSize = 32;

// The icon of 16 (small) or 32 (large) pixels with its alpha; a null image when the desktop has
// none, and for a bare number (an index into the Windows system image list, which we lack).
QImage SystemIcon(const std::string& name, bool large);

}  // namespace velmoran
