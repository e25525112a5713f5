// Picture kinds and transparency kinds, and recognising a picture's kind from its first bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace velmoran {

// The kind of a picture, taken from its first bytes.
enum class TImageKind : std::uint8_t {
    None = 0,
    Bitmap = 1,
    Gif87 = 2,
    Gif89 = 3,
    Png = 4,
    Jpeg = 5,
};

// How a decoded picture is transparent.
enum class TTransparencyKind : std::uint8_t {
    NoTransparency = 0,  // opaque
    LowerLeftColor = 1,  // the colour of the lower-left pixel is transparent (asked for by the caller)
    OwnMask = 2,         // the picture came with a mask of its own (set by the document's image objects)
    PngPaletteEntry = 3, // a palette PNG names a fully transparent palette entry
};

// Looks at the first five bytes at most.
TImageKind ImageStreamKind(const std::uint8_t* bytes, std::size_t count);
// None when the file does not exist or holds fewer than 10 bytes.
TImageKind ImageFileKind(const std::string& fileName);

// The width and height a picture's header declares (a bitmap's info header, a GIF's logical
// screen, a PNG's IHDR, a JPEG's frame header), read without decoding anything; false when the
// bytes are no such picture or end before saying.
bool DeclaredImageSize(const std::uint8_t* bytes, std::size_t count, std::int64_t& width, std::int64_t& height);

}  // namespace velmoran
