// Fuzz target: PNG decoding, the transparent-colour scan and the load path that uses both.
#include "html/base/image/ImageLoad.h"
#include "html/base/image/PngDecode.h"
#include "platform/core/Stream.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace velmoran;
    try {
        TPNGImage png;
        png.LoadFromBytes(data, size);
        png.Texts();
    } catch (const EPNGImageException&) {
    } catch (const EZDecompressionError&) {
    }
    TMemoryStream stream(std::string_view(reinterpret_cast<const char*>(data), size));
    QRgb color = 0;
    PngTransparentColor(stream, color);
    TTransparencyKind kind = TTransparencyKind::LowerLeftColor;
    QImage mask;
    DecodeImageStream(&stream, kind, mask);
    return 0;
}
