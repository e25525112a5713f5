// Recognising a picture's kind from its signature.
#include "html/base/image/ImageKind.h"

#include "platform/core/DocumentFile.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Stream.h"

#include <cstring>

namespace velmoran {

TImageKind ImageStreamKind(const std::uint8_t* bytes, std::size_t count)
{
    if (bytes == nullptr)
        return TImageKind::None;
    if (count >= 4 && std::memcmp(bytes, "GIF8", 4) == 0)
        return count >= 5 && bytes[4] == '9' ? TImageKind::Gif89 : TImageKind::Gif87;
    if (count >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
        return TImageKind::Bitmap;
    if (count >= 4 && bytes[0] == 0x89 && bytes[1] == 'P' && bytes[2] == 'N' && bytes[3] == 'G')
        return TImageKind::Png;
    if (count >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8)
        return TImageKind::Jpeg;
    return TImageKind::None;
}

TImageKind ImageFileKind(const std::string& fileName)
{
    // Only the head is needed to tell the kind; the file is not read whole. A name that leads to
    // no regular file (a pipe would block) is no picture.
    std::string head;
    try {
        head = ReadDocumentFile(fileName, 10, LongerFile::Cut);
    } catch (const Exception&) {
        return TImageKind::None;
    }
    if (head.size() < 10)
        return TImageKind::None;
    return ImageStreamKind(reinterpret_cast<const std::uint8_t*>(head.data()), 5);
}

namespace {

std::uint32_t BigEndian(const std::uint8_t* p, int bytes)
{
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = v << 8 | p[i];
    return v;
}

std::uint32_t LittleEndian(const std::uint8_t* p, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

// A bitmap's height is negative for rows stored top down.
std::int64_t Magnitude(std::uint32_t v, int bits)
{
    const std::int64_t signedValue = bits == 16 ? static_cast<std::int16_t>(v) : static_cast<std::int32_t>(v);
    return signedValue < 0 ? -signedValue : signedValue;
}

bool JpegFrameSize(const std::uint8_t* bytes, std::size_t count, std::int64_t& width, std::int64_t& height)
{
    std::size_t at = 2;
    while (at + 4 <= count) {
        if (bytes[at] != 0xFF)
            return false;
        const std::uint8_t marker = bytes[at + 1];
        if (marker == 0xFF) {  // a fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {  // markers without a segment
            at += 2;
            continue;
        }
        const std::size_t length = BigEndian(bytes + at + 2, 2);
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (at + 9 > count)
                return false;
            height = BigEndian(bytes + at + 5, 2);
            width = BigEndian(bytes + at + 7, 2);
            return true;
        }
        if (marker == 0xD9 || marker == 0xDA || length < 2)  // the end, or the scan before any frame
            return false;
        at += 2 + length;
    }
    return false;
}

}  // namespace

bool DeclaredImageSize(const std::uint8_t* bytes, std::size_t count, std::int64_t& width, std::int64_t& height)
{
    switch (ImageStreamKind(bytes, count)) {
    case TImageKind::Png:
        if (count < 24 || std::memcmp(bytes + 12, "IHDR", 4) != 0)
            return false;
        width = BigEndian(bytes + 16, 4);
        height = BigEndian(bytes + 20, 4);
        return true;
    case TImageKind::Gif87:
    case TImageKind::Gif89:
        if (count < 10)
            return false;
        width = LittleEndian(bytes + 6, 2);
        height = LittleEndian(bytes + 8, 2);
        return true;
    case TImageKind::Bitmap: {
        if (count < 26)
            return false;
        const bool core = LittleEndian(bytes + 14, 4) == 12;  // the old header of 16-bit sizes
        width = core ? Magnitude(LittleEndian(bytes + 18, 2), 16) : Magnitude(LittleEndian(bytes + 18, 4), 32);
        height = core ? Magnitude(LittleEndian(bytes + 20, 2), 16) : Magnitude(LittleEndian(bytes + 22, 4), 32);
        return true;
    }
    case TImageKind::Jpeg:
        return JpegFrameSize(bytes, count, width, height);
    case TImageKind::None:
        break;
    }
    return false;
}

}  // namespace velmoran
