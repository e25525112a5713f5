// Fuzz target: JPEG decoding through libjpeg at 24 and at 8 bits with the display palette.
#include "html/base/image/DisplayPalette.h"
#include "html/base/image/JpegDecode.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace velmoran;
    try {
        TJPEGImage jpeg;
        jpeg.LoadFromBytes(data, size);
        jpeg.Bitmap();
        if (size % 2 == 0) {
            jpeg.SetPixelFormat(8);
            jpeg.SetPalette(MakeDisplayPalette());
            jpeg.Bitmap();
        }
    } catch (const EJpegError&) {
    }
    return 0;
}
