// Decoding device-independent bitmaps; see DibDecode.h.
#include "html/base/image/DibDecode.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <vector>

namespace velmoran {

namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;

struct DibHeader {
    std::size_t HeaderSize = 0;
    int Width = 0;
    int Height = 0;  // negative: top row first
    int BitCount = 0;
    std::uint32_t Compression = kBiRgb;
    std::size_t Colors = 0;
    bool Core = false;     // 3-byte colour entries
    std::uint32_t Masks[3] = {0, 0, 0};
    std::size_t TableEnd = 0;  // header, masks and colour table
};

bool ReadHeader(const std::uint8_t* info, std::size_t size, DibHeader& h)
{
    if (size < 12)
        return false;
    h.HeaderSize = LeU32(info);
    if (h.HeaderSize == 12) {
        h.Core = true;
        h.Width = LeU16(info + 4);
        h.Height = static_cast<std::int16_t>(LeU16(info + 6));
        h.BitCount = LeU16(info + 10);
    } else {
        if (h.HeaderSize < 40 || h.HeaderSize > size)
            return false;
        h.Width = static_cast<std::int32_t>(LeU32(info + 4));
        h.Height = static_cast<std::int32_t>(LeU32(info + 8));
        h.BitCount = LeU16(info + 14);
        h.Compression = LeU32(info + 16);
        h.Colors = LeU32(info + 32);
    }
    std::size_t end = h.HeaderSize;
    if (h.Compression == kBiBitfields) {
        if (h.BitCount != 16 && h.BitCount != 32)
            return false;
        // The masks stand after the first 40 bytes: behind a plain header, inside larger ones.
        if (size < 40 + 12)
            return false;
        for (int i = 0; i < 3; ++i)
            h.Masks[i] = LeU32(info + 40 + 4 * i);
        if (h.HeaderSize == 40)
            end += 12;
    } else if (h.Compression != kBiRgb) {
        return false;
    }
    if (h.BitCount <= 8) {
        if (h.BitCount != 1 && h.BitCount != 4 && h.BitCount != 8)
            return false;
        const std::size_t most = std::size_t{1} << h.BitCount;
        if (h.Colors == 0 || h.Colors > most)
            h.Colors = most;
    } else if (h.BitCount != 16 && h.BitCount != 24 && h.BitCount != 32) {
        return false;
    } else if (h.Colors > 256) {
        return false;
    }
    const std::size_t entry = h.Core ? 3 : 4;
    if (h.Colors > (size - std::min(size, end)) / entry)
        return false;
    h.TableEnd = end + h.Colors * entry;
    if (h.Width <= 0 || h.Width > kDibMaxSide || h.Height == 0 || std::abs(h.Height) > kDibMaxSide)
        return false;
    return static_cast<long long>(h.Width) * std::abs(h.Height) <= kDibMaxPixels;
}

// The value of a pixel under a colour mask, scaled to 0..255.
int MaskedChannel(std::uint32_t value, std::uint32_t mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const std::uint32_t max = mask >> shift;
    return static_cast<int>(((value & mask) >> shift) * 255 / max);
}

}  // namespace

QSize DibSize(const std::uint8_t* info, std::size_t infoSize)
{
    DibHeader h;
    if (!info || !ReadHeader(info, infoSize, h))
        return {};
    return {h.Width, std::abs(h.Height)};
}

std::size_t PackedDibBitsOffset(const std::uint8_t* dib, std::size_t size)
{
    DibHeader h;
    return ReadHeader(dib, size, h) ? h.TableEnd : 0;
}

QImage DecodePackedDib(const std::uint8_t* dib, std::size_t size, int rows)
{
    const std::size_t offset = PackedDibBitsOffset(dib, size);
    if (offset == 0 || offset > size)
        return {};
    return DecodeDib(dib, offset, dib + offset, size - offset, rows);
}

QImage DecodeDib(const std::uint8_t* info, std::size_t infoSize, const std::uint8_t* bits, std::size_t bitsSize,
                 int rows)
{
    DibHeader h;
    if (!info || !bits || !ReadHeader(info, infoSize, h) || h.TableEnd > infoSize)
        return {};
    const bool topDown = h.Height < 0;
    const int height = rows > 0 ? std::min(rows, std::abs(h.Height)) : std::abs(h.Height);
    const std::size_t stride = ((static_cast<std::size_t>(h.Width) * static_cast<std::size_t>(h.BitCount) + 31) / 32) * 4;
    if (stride * static_cast<std::size_t>(height) > bitsSize)
        return {};
    std::vector<QRgb> table(h.Colors);
    const std::size_t entry = h.Core ? 3 : 4;
    for (std::size_t i = 0; i < h.Colors; ++i) {
        const std::uint8_t* c = info + h.TableEnd - h.Colors * entry + i * entry;
        table[i] = qRgb(c[2], c[1], c[0]);
    }
    const bool alpha = h.BitCount == 32 && h.Compression == kBiRgb;
    QImage image(h.Width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        return {};
    bool anyAlpha = false;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = bits + stride * static_cast<std::size_t>(y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(topDown ? y : height - 1 - y));
        for (int x = 0; x < h.Width; ++x) {
            QRgb pixel = 0;
            switch (h.BitCount) {
            case 1:
            case 4:
            case 8: {
                const int perByte = 8 / h.BitCount;
                const int shift = 8 - h.BitCount * (x % perByte + 1);
                const std::size_t index = (row[x / perByte] >> shift) & ((1u << h.BitCount) - 1);
                pixel = index < table.size() ? table[index] : qRgb(0, 0, 0);
                break;
            }
            case 16: {
                const std::uint32_t v = LeU16(row + 2 * x);
                if (h.Compression == kBiBitfields)
                    pixel = qRgb(MaskedChannel(v, h.Masks[0]), MaskedChannel(v, h.Masks[1]), MaskedChannel(v, h.Masks[2]));
                else
                    pixel = qRgb(MaskedChannel(v, 0x7C00), MaskedChannel(v, 0x03E0), MaskedChannel(v, 0x001F));
                break;
            }
            case 24:
                pixel = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
                break;
            default: {
                const std::uint32_t v = LeU32(row + 4 * x);
                if (h.Compression == kBiBitfields) {
                    pixel = qRgb(MaskedChannel(v, h.Masks[0]), MaskedChannel(v, h.Masks[1]), MaskedChannel(v, h.Masks[2]));
                } else {
                    pixel = qRgba(row[4 * x + 2], row[4 * x + 1], row[4 * x], row[4 * x + 3]);
                    anyAlpha = anyAlpha || row[4 * x + 3] != 0;
                }
                break;
            }
            }
            out[x] = pixel;
        }
    }
    // A 32-bit bitmap whose fourth bytes are all 0 has no alpha: it is opaque.
    if (alpha && !anyAlpha)
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] |= 0xFF000000u;
        }
    return alpha && !anyAlpha ? image.convertToFormat(QImage::Format_RGB32) : image;
}

}  // namespace velmoran
