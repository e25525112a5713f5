// Reading icon files; see IconDecode.h.
#include "html/base/image/IconDecode.h"

#include "html/base/image/DibDecode.h"

#include <cstring>

namespace velmoran {

namespace {

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;

bool IsPng(const std::uint8_t* bytes, std::size_t size)
{
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return size >= 8 && std::memcmp(bytes, kSignature, 8) == 0;
}

struct IconEntry {
    int Width = 0;
    int Height = 0;
    int Depth = 0;
    std::size_t Offset = 0;
    std::size_t Size = 0;
};

// The colour depth of an entry: the directory's, else its bitmap header's (a PNG counts as 32).
int DepthOf(const IconEntry& entry, const std::uint8_t* bytes)
{
    if (entry.Depth > 0)
        return entry.Depth;
    const std::uint8_t* image = bytes + entry.Offset;
    if (IsPng(image, entry.Size))
        return 32;
    return entry.Size >= 16 ? LeU16(image + 14) : 0;
}

// The bitmap of an icon picture: colour rows, then the 1-bit mask rows (set = transparent).
QImage DecodeIconBitmap(const std::uint8_t* dib, std::size_t size)
{
    if (size < 40)
        return {};
    const auto fullHeight = static_cast<std::int32_t>(LeU32(dib + 8));
    const int rows = fullHeight / 2;
    if (rows <= 0)
        return {};
    QImage colour = DecodePackedDib(dib, size, rows);
    if (colour.isNull())
        return {};
    const std::size_t bitsAt = PackedDibBitsOffset(dib, size);
    const int depth = LeU16(dib + 14);
    const std::size_t colourStride = ((static_cast<std::size_t>(colour.width()) * static_cast<std::size_t>(depth) + 31) / 32) * 4;
    const std::size_t maskAt = bitsAt + colourStride * static_cast<std::size_t>(rows);
    const std::size_t maskStride = ((static_cast<std::size_t>(colour.width()) + 31) / 32) * 4;
    QImage image = colour.convertToFormat(QImage::Format_ARGB32);
    // A picture with its own alpha needs no mask; a missing mask leaves it opaque.
    if (colour.hasAlphaChannel() || maskAt > size || maskStride * static_cast<std::size_t>(rows) > size - maskAt)
        return image;
    for (int y = 0; y < rows; ++y) {
        const std::uint8_t* row = dib + maskAt + maskStride * static_cast<std::size_t>(rows - 1 - y);
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((row[x / 8] >> (7 - x % 8)) & 1)
                line[x] = qRgba(0, 0, 0, 0);
    }
    return image;
}

}  // namespace

bool IsIconFile(const std::uint8_t* bytes, std::size_t size)
{
    if (size < kDirectorySize || LeU16(bytes) != 0 || LeU16(bytes + 2) != 1)
        return false;
    const std::size_t count = LeU16(bytes + 4);
    return count > 0 && count <= (size - kDirectorySize) / kEntrySize;
}

QImage DecodeIcon(const std::uint8_t* bytes, std::size_t size)
{
    if (!IsIconFile(bytes, size))
        return {};
    const std::size_t count = LeU16(bytes + 4);
    IconEntry best;
    long long bestArea = -1;
    int bestDepth = -1;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* e = bytes + kDirectorySize + i * kEntrySize;
        IconEntry entry;
        entry.Width = e[0] == 0 ? 256 : e[0];
        entry.Height = e[1] == 0 ? 256 : e[1];
        entry.Depth = LeU16(e + 6);
        entry.Size = LeU32(e + 8);
        entry.Offset = LeU32(e + 12);
        if (entry.Offset > size || entry.Size > size - entry.Offset || entry.Size == 0)
            continue;
        const long long area = static_cast<long long>(entry.Width) * entry.Height;
        const int depth = DepthOf(entry, bytes);
        if (area > bestArea || (area == bestArea && depth > bestDepth)) {
            best = entry;
            bestArea = area;
            bestDepth = depth;
        }
    }
    if (bestArea < 0)
        return {};
    const std::uint8_t* image = bytes + best.Offset;
    if (IsPng(image, best.Size)) {
        QImage png;
        png.loadFromData(image, static_cast<int>(best.Size), "PNG");
        return png.isNull() ? QImage() : png.convertToFormat(QImage::Format_ARGB32);
    }
    return DecodeIconBitmap(image, best.Size);
}

}  // namespace velmoran
