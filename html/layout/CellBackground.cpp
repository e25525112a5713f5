// The tiled background picture of a table cell: the tiles of the cell's padding box that meet the
// clip rectangle, placed by the cell's background position and repeat settings.
#include "html/base/GifImage.h"
#include "html/base/ImageLoad.h"
#include "html/layout/SectionList.h"
#include "html/layout/Tables.h"
#include "platform/Canvas.h"

#include <QImage>

#include <algorithm>

namespace velmoran {

namespace {

// Start of one axis of the tiles by the position record, kept within one tile of the area.
int TileStart(const PositionRec& p, int area, int image)
{
    int start = p.Value;
    switch (p.PosType) {
    case PositionRec::Top:
    case PositionRec::Left: start = 0; break;
    case PositionRec::Center: start = area / 2 - image / 2; break;
    case PositionRec::Bottom:
    case PositionRec::Right: start = area - image; break;
    case PositionRec::Percent: start = (area - image) * p.Value / 100; break;
    default: break;
    }
    return std::clamp(start, -image, std::max(-image, area));
}

}  // namespace

void TCellObj::DrawBackgroundImage(Canvas& canvas, const TRect& pad, int dt, int dh)
{
    TSectionList* doc = Cell ? Cell->Document : nullptr;
    if (!BGImage || !doc || !doc->ShowImages || BGImage->Missing || BGImage->Delayed || !BGImage->Image || dh <= 0)
        return;
    QImage picture;
    QImage mask = BGImage->Mask;
    if (auto* bmp = dynamic_cast<TBitmapImage*>(BGImage->Image)) {
        picture = bmp->Image();
    } else if (auto* gif = dynamic_cast<TGIFImage*>(BGImage->Image)) {
        picture = gif->GetStaticBitmap();
        mask = gif->GetStaticMask();
    }
    const int iw = picture.width(), ih = picture.height();
    // A picture without extent would never finish a row of tiles.
    if (iw <= 0 || ih <= 0)
        return;
    const int areaW = pad.Right - pad.Left;
    const int areaH = pad.Bottom - pad.Top;
    int sx = TileStart(BGPosX, areaW, iw);
    int sy = TileStart(BGPosY, areaH, ih);
    int ex = sx, ey = sy;
    if (BGPosX.RepeatD) {
        while (sx > 0)
            sx -= iw;
        ex = areaW;
    }
    if (BGPosY.RepeatD) {
        while (sy > 0)
            sy -= ih;
        ey = areaH;
    }
    // Only the rows in the clip are tiled.
    const int firstRow = dt - pad.Top;
    const int lastRow = firstRow + dh;
    if (BGPosY.RepeatD && sy + ih <= firstRow)
        sy += ((firstRow - sy) / ih) * ih;
    const int save = canvas.SaveDC();
    canvas.IntersectClipRect({pad.Left, dt, pad.Right, dt + dh});
    for (int ty = sy; ty <= std::max(sy, ey - 1) && ty < lastRow; ty += ih) {
        for (int tx = sx; tx <= std::max(sx, ex - 1) && tx < areaW; tx += iw) {
            const TRect dest{pad.Left + tx, pad.Top + ty, pad.Left + tx + iw, pad.Top + ty + ih};
            if (!mask.isNull())
                canvas.MaskedStretchBlt(dest, picture, mask);
            else
                canvas.StretchBlt(dest, picture);
            if (!BGPosX.RepeatD)
                break;
        }
        if (!BGPosY.RepeatD)
            break;
    }
    canvas.RestoreDC(save);
}

}  // namespace velmoran
