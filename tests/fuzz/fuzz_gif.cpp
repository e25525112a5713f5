// Fuzz target: GIF decoding into the animated image, its frames and its animation steps.
#include "html/base/image/GifDecoder.h"
#include "html/base/image/GifImage.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace velmoran;
    try {
        bool nonAnimated = false;
        auto image = GifImageFromBytes(data, size, nonAnimated);
        image->FrameImage(image->NumFrames());
        image->GetStaticMask();
        for (std::uint32_t now = 0; now < 2000; now += 100)
            image->CheckTime(now);
    } catch (const EInvalidGraphicOperation&) {
    }
    return 0;
}
