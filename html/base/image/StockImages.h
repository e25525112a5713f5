// The library's stock pictures for pictures of a page that are not there: the delayed picture,
// shown while a picture is still on its way, and the failed picture with its mask (white is
// transparent), shown for a picture that could not be loaded. Drawn by us in resources/bitmaps.
#pragma once

#include <QImage>

namespace velmoran {

// Each made once.
const QImage& DelayedImageBitmap();
const QImage& ErrorImageBitmap();
const QImage& ErrorImageMask();

}  // namespace velmoran
