// Metafiles shown from an image played once; see MetafileImage.h.
#include "html/base/image/MetafileImage.h"

#include "platform/QtCanvas.h"

#include <QPainter>

#include <cstdlib>

namespace velmoran {

namespace {

// A canvas of more pixels per inch than the screen is a printer's, or a preview recording at a
// printer's resolution. There the records are played onto the canvas itself: lines, shapes and
// text stay vectors, sharp at the printer's resolution and in a PDF at any zoom, where an image
// would be the screen's pixels enlarged, or, played at the printer's resolution, tens of
// megabytes for one picture. A print draws each page once, and the record budget bounds that play.
bool FinerThanTheScreen(const Canvas& canvas)
{
    return canvas.GetDeviceCaps(LOGPIXELSX) > kPixelsPerInch || canvas.GetDeviceCaps(LOGPIXELSY) > kPixelsPerInch;
}

}  // namespace

void TMetafileImage::Draw(Canvas& canvas, const TRect& target)
{
    const int width = target.Width();
    const int height = target.Height();
    if (width == 0 || height == 0 || metafile_.Bytes.empty())
        return;
    if (FinerThanTheScreen(canvas) ||
        static_cast<long long>(std::abs(width)) * std::abs(height) > kMaxImagePixels) {
        PlayMetafile(canvas, metafile_, target);
        return;
    }
    if (image_.isNull() || width != width_ || height != height_)
        PlayImage(width, height);
    canvas.StretchBlt(Normalized(target), image_);
}

void TMetafileImage::PlayImage(int width, int height)
{
    image_ = QImage(std::abs(width), std::abs(height), QImage::Format_ARGB32_Premultiplied);
    image_.fill(Qt::transparent);
    width_ = width;
    height_ = height;
    QPainter painter(&image_);
    QtCanvas canvas(&painter);
    // The target moved to the image's origin: a mirrored or upside-down one stays so.
    const int left = width < 0 ? -width : 0;
    const int top = height < 0 ? -height : 0;
    PlayMetafile(canvas, metafile_, {left, top, left + width, top + height});
}

}  // namespace velmoran
