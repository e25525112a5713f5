// Icon files (.ico): of the pictures a file holds, the largest is taken, and of those the
// deepest; a picture is a bitmap with its transparency mask, or a PNG file.
#pragma once

#include <QImage>

#include <cstddef>
#include <cstdint>

namespace velmoran {

// An icon directory: reserved 0, type 1, at least one entry, all entries within the bytes.
bool IsIconFile(const std::uint8_t* bytes, std::size_t size);
// The chosen picture with its mask as alpha; a null picture when the file is damaged.
QImage DecodeIcon(const std::uint8_t* bytes, std::size_t size);

}  // namespace velmoran
