// Fuzz target: the metafile reader and player (both formats, drawn at the file's size, enlarged
// and mirrored onto a recording canvas, and stopped part-way by a small record budget), and the
// icon and bitmap decoders they share.
#include "html/base/image/DibDecode.h"
#include "html/base/image/IconDecode.h"
#include "html/base/image/Metafile.h"
#include "platform/RecordingCanvas.h"
#include "platform/TestFont.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace velmoran;
    if (const std::optional<TMetafile> metafile = ReadMetafile(data, size)) {
        TestFontEngine fonts;
        RecordingCanvas canvas(fonts);
        PlayMetafile(canvas, *metafile, {0, 0, 200, 100});
        PlayMetafile(canvas, *metafile, {3000, 0, 0, 3000});
        PlayMetafile(canvas, *metafile, {0, 0, 200, 100}, 7);
    }
    DecodeIcon(data, size);
    DecodePackedDib(data, size);
    return 0;
}
