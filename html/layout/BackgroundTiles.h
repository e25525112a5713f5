// The tiled background picture of a block or a table cell: the tiles of the padding box that meet
// the visible rows, placed by the background position and repeat settings.
#pragma once

#include "html/style/Properties.h"
#include "platform/GdiTypes.h"

namespace velmoran {

class Canvas;
class TImageObj;

// Draws the tiles of `image` in `paddingBox`, limited to the rows dt .. dt + dh. A picture without
// extent draws nothing (it would never finish a row of tiles).
void DrawBackgroundTiles(Canvas& canvas, const TImageObj& image, const PositionRec& posX, const PositionRec& posY,
                         const TRect& paddingBox, int dt, int dh);

}  // namespace velmoran
