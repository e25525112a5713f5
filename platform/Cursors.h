// The cursors the viewer and the controls share, drawn in resources/cursors: the hand over links
// and the three cursors of panning with the middle button; and the wait cursor of a long load.
#pragma once

#include <QCursor>

namespace velmoran {

enum class TViewerCursor { Hand, Pan, PanUp, PanDown };

// The cursor (made once, needs the GUI application).
const QCursor& ViewerCursor(TViewerCursor which);

// Shows the wait cursor over the application while it lives (where there is an application).
class TWaitCursor {
public:
    TWaitCursor();
    ~TWaitCursor();
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

}  // namespace velmoran
