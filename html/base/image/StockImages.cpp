// The stock pictures from their XPM drawings.
#include "html/base/image/StockImages.h"

#include "resources/bitmaps/ImageDelayed.xpm"
#include "resources/bitmaps/ImageError.xpm"
#include "resources/bitmaps/ImageErrorMask.xpm"

namespace velmoran {

const QImage& DelayedImageBitmap()
{
    static const QImage image = QImage(ImageDelayed_xpm).convertToFormat(QImage::Format_RGB32);
    return image;
}

const QImage& ErrorImageBitmap()
{
    static const QImage image = QImage(ImageError_xpm).convertToFormat(QImage::Format_RGB32);
    return image;
}

const QImage& ErrorImageMask()
{
    static const QImage image = QImage(ImageErrorMask_xpm).convertToFormat(QImage::Format_RGB32);
    return image;
}

}  // namespace velmoran
