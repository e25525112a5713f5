// The viewer's own cursors, drawn in resources/cursors: the hand over links and the three
// cursors of panning with the middle button.
#pragma once

#include <QCursor>

namespace velmoran {

enum class TViewerCursor { Hand, Pan, PanUp, PanDown };

// The cursor (made once, needs the GUI application).
const QCursor& ViewerCursor(TViewerCursor which);

}  // namespace velmoran
