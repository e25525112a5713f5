// Metafiles shown from an image played once for each size; see MetafileImage.h.
#include "html/base/image/MetafileImage.h"

#include "html/base/image/KeptImages.h"
#include "platform/QtCanvas.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace velmoran {

namespace {

// A canvas of more pixels per inch than the screen is a printer's, or a preview recording at a
// printer's resolution. There the records are played onto the canvas itself: lines, shapes and
// text stay vectors, sharp at the printer's resolution and in a PDF at any zoom, where an image
// would be the screen's pixels enlarged, or, played at the printer's resolution, tens of
// megabytes for one picture. A print draws each page once, and the budgets bound that play.
bool FinerThanTheScreen(const Canvas& canvas)
{
    return canvas.GetDeviceCaps(LOGPIXELSX) > kPixelsPerInch || canvas.GetDeviceCaps(LOGPIXELSY) > kPixelsPerInch;
}

bool Seen(const Canvas& canvas, const TRect& target)
{
    const TRect clip = canvas.GetClipBox();
    const TRect r = Normalized(target);
    return std::max(r.Left, clip.Left) < std::min(r.Right, clip.Right) &&
           std::max(r.Top, clip.Top) < std::min(r.Bottom, clip.Bottom);
}

}  // namespace

TSize MetafileImageSize(int width, int height, long long maxPixels)
{
    const long long w = std::abs(static_cast<long long>(width));
    const long long h = std::abs(static_cast<long long>(height));
    if (w * h <= maxPixels)
        return {static_cast<int>(w), static_cast<int>(h)};
    const double scale = std::sqrt(static_cast<double>(maxPixels) / (static_cast<double>(w) * h));
    return {static_cast<int>(std::max(1.0, std::floor(w * scale))), static_cast<int>(std::max(1.0, std::floor(h * scale)))};
}

TMetafileImage::TMetafileImage(TMetafile metafile) : TMetafileImage(std::move(metafile), TKeptImages::Shared(), {}) {}

TMetafileImage::TMetafileImage(TMetafile metafile, TKeptImages& kept, Limits limits)
    : metafile_(std::move(metafile)), kept_(kept), limits_(limits)
{
}

TMetafileImage::~TMetafileImage()
{
    kept_.Forget(this);
}

void TMetafileImage::Draw(Canvas& canvas, const TRect& target)
{
    const int width = target.Width();
    const int height = target.Height();
    if (width == 0 || height == 0 || metafile_.Bytes.empty())
        return;
    if (FinerThanTheScreen(canvas)) {
        PlayMetafile(canvas, metafile_, target, kMetafileRecordBudget, limits_.DrawBudget);
        return;
    }
    if (!Seen(canvas, target))
        return;
    if (const QImage* kept = kept_.Find(this, width, height)) {
        canvas.StretchBlt(Normalized(target), *kept);
        return;
    }
    const QImage image = Play(width, height);
    canvas.StretchBlt(Normalized(target), image);
    kept_.Keep(this, width, height, image);
}

QImage TMetafileImage::Play(int width, int height)
{
    ++plays_;
    const TSize size = MetafileImageSize(width, height, limits_.ImagePixels);
    QImage image(size.cx, size.cy, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    // The target moved to the image's origin: a mirrored or upside-down one stays so.
    const int w = width < 0 ? -size.cx : size.cx;
    const int h = height < 0 ? -size.cy : size.cy;
    const int left = w < 0 ? -w : 0;
    const int top = h < 0 ? -h : 0;
    {
        QPainter painter(&image);
        QtCanvas canvas(&painter);
        PlayMetafile(canvas, metafile_, {left, top, left + w, top + h}, kMetafileRecordBudget, limits_.DrawBudget);
    }
    return image;
}

}  // namespace velmoran
