// Device-independent bitmaps as metafiles and icons carry them: a BITMAPINFO header (or the
// older core header), its colour table and the rows of pixels, uncompressed (BI_RGB) at 1, 4, 8,
// 16, 24 or 32 bits per pixel, or with colour masks (BI_BITFIELDS) at 16 and 32. Every size and
// count is checked against the bytes there are before anything is read.
#pragma once

#include <QImage>

#include <cstddef>
#include <cstdint>

namespace velmoran {

// Little-endian reads of bytes the caller knows to be there.
inline std::uint16_t LeU16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t LeU32(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// The largest side and the most pixels a decoded bitmap may have.
inline constexpr int kDibMaxSide = 32768;
inline constexpr long long kDibMaxPixels = 64LL * 1024 * 1024;

// The header and colour table in `info`, the pixel rows in `bits`; `rows` replaces the header's
// height when above 0 (an icon's header counts its mask rows too). A null picture for anything
// that cannot be decoded.
QImage DecodeDib(const std::uint8_t* info, std::size_t infoSize, const std::uint8_t* bits, std::size_t bitsSize,
                 int rows = 0);
// A packed bitmap: the pixel rows follow the header and colour table directly.
QImage DecodePackedDib(const std::uint8_t* dib, std::size_t size, int rows = 0);
// The size the bitmap in `info` decodes to, read from its header alone (nothing is decoded); an
// empty size when the header cannot be decoded.
QSize DibSize(const std::uint8_t* info, std::size_t infoSize);
// Where the pixel rows of a packed bitmap start; 0 when the header cannot be read.
std::size_t PackedDibBitsOffset(const std::uint8_t* dib, std::size_t size);

}  // namespace velmoran
