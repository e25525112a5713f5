// The tiled background picture of a table cell: the tiles of the cell's padding box that meet the
// clip rectangle, placed by the cell's background position and repeat settings.
#include "html/layout/BackgroundTiles.h"
#include "html/layout/SectionList.h"
#include "html/layout/Tables.h"
#include "platform/Canvas.h"

namespace velmoran {

void TCellObj::DrawBackgroundImage(Canvas& canvas, const TRect& pad, int dt, int dh)
{
    TSectionList* doc = Cell ? Cell->Document : nullptr;
    if (!BGImage || !doc || !doc->ShowImages || BGImage->Missing || BGImage->Delayed || !BGImage->Image || dh <= 0)
        return;
    DrawBackgroundTiles(canvas, *BGImage, BGPosX, BGPosY, pad, dt, dh);
}

}  // namespace velmoran
