// Masks of pictures and their composition into drawable images.
#include "html/base/image/ImageObject.h"

namespace velmoran {

QImage NewMask(int width, int height, bool transparent)
{
    QImage mask(width, height, QImage::Format_Mono);
    if (mask.isNull())
        return mask;
    mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mask.fill(transparent ? 1u : 0u);
    return mask;
}

QImage ApplyMask(const QImage& image, const QImage& mask)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (mask.isNull() || result.isNull())
        return result;
    const int w = std::min(result.width(), mask.width());
    const int h = std::min(result.height(), mask.height());
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < w; ++x)
            if (MaskIsTransparent(mask, x, y))
                line[x] = 0;
    }
    return result;
}

}  // namespace velmoran
