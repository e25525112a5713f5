// The tiled background picture of blocks and table cells.
#include "html/layout/BackgroundTiles.h"

#include "html/base/image/GifImage.h"
#include "html/base/image/ImageLoad.h"
#include "html/layout/SectionBase.h"
#include "platform/Canvas.h"

#include <QImage>

#include <algorithm>

namespace velmoran {

namespace {

// Start of one axis of a background tile by the position record.
int TileStart(const PositionRec& p, int area, int image)
{
    int start;
    switch (p.PosType) {
    case PositionRec::Top:
    case PositionRec::Left: start = 0; break;
    case PositionRec::Center: start = area / 2 - image / 2; break;
    case PositionRec::Bottom:
    case PositionRec::Right: start = area - image; break;
    case PositionRec::Percent: start = (area - image) * p.Value / 100; break;
    default: start = p.Value; break;
    }
    return std::clamp(start, -image, std::max(-image, area));
}

}  // namespace

void DrawBackgroundTiles(Canvas& canvas, const TImageObj& image, const PositionRec& posX, const PositionRec& posY,
                         const TRect& pad, int dt, int dh)
{
    QImage picture;
    QImage mask = image.Mask;
    if (auto* bmp = dynamic_cast<TBitmapImage*>(image.Image)) {
        picture = bmp->Image();
    } else if (auto* gif = dynamic_cast<TGIFImage*>(image.Image)) {
        picture = gif->GetStaticBitmap();
        mask = gif->GetStaticMask();
    }
    int iw = picture.width(), ih = picture.height();
    // A picture without extent would never finish a row of tiles.
    if (iw <= 0 || ih <= 0)
        return;
    const int areaW = pad.Right - pad.Left;
    const int areaH = pad.Bottom - pad.Top;
    int sx = TileStart(posX, areaW, iw);
    int sy = TileStart(posY, areaH, ih);
    int ex = sx, ey = sy;
    if (posX.RepeatD) {
        sx -= ((sx + iw - 1) / iw) * iw * (sx > 0 ? 1 : 0);  // into (-iw, 0]
        ex = areaW;
    }
    if (posY.RepeatD) {
        sy -= ((sy + ih - 1) / ih) * ih * (sy > 0 ? 1 : 0);
        ey = areaH;
    }
    // A side of one pixel is stretched first (at most 100 pixels), so that a thin strip does not
    // take one drawing call per pixel.
    if (iw == 1 || ih == 1) {
        const int wantW = ex - sx + 1, wantH = ey - sy + 1;
        picture = EnlargeImage(TBitmapImage(picture), wantW, wantH);
        if (!mask.isNull())
            mask = EnlargeImage(TBitmapImage(mask), wantW, wantH);
        iw = picture.width();
        ih = picture.height();
        if (iw <= 0 || ih <= 0)
            return;
        if (posX.RepeatD)
            sx -= ((sx + iw - 1) / iw) * iw * (sx > 0 ? 1 : 0);
        if (posY.RepeatD)
            sy -= ((sy + ih - 1) / ih) * ih * (sy > 0 ? 1 : 0);
    }
    // Only the rows in the clip are tiled: the same pixels, without a bitmap of the whole box.
    const int firstRow = dt - pad.Top;
    const int lastRow = firstRow + dh;
    if (posY.RepeatD && sy + ih <= firstRow)
        sy += ((firstRow - sy) / ih) * ih;
    const int save = canvas.SaveDC();
    canvas.IntersectClipRect(TRect{pad.Left, dt, pad.Right, dt + dh});
    for (int ty = sy; ty <= std::max(sy, ey - 1) && ty < lastRow; ty += ih) {
        for (int tx = sx; tx <= std::max(sx, ex - 1) && tx < areaW; tx += iw) {
            const TRect dest{pad.Left + tx, pad.Top + ty, pad.Left + tx + iw, pad.Top + ty + ih};
            if (!mask.isNull())
                canvas.MaskedStretchBlt(dest, picture, mask);
            else
                canvas.StretchBlt(dest, picture);
            if (!posX.RepeatD)
                break;
        }
        if (!posY.RepeatD)
            break;
    }
    canvas.RestoreDC(save);
}

}  // namespace velmoran
