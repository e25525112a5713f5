// Recognising a picture's kind from its signature.
#include "html/base/image/ImageKind.h"

#include "platform/core/Stream.h"

#include <cstring>
#include <fstream>

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
    // Only the head is needed to tell the kind; the file is not read whole.
    std::ifstream file(fileName, std::ios::binary);
    if (!file)
        return TImageKind::None;
    char head[10];
    file.read(head, sizeof head);
    if (file.gcount() < 10)
        return TImageKind::None;
    return ImageStreamKind(reinterpret_cast<const std::uint8_t*>(head), 5);
}

}  // namespace velmoran
