// The viewer's cursors from their XPM drawings, and the wait cursor.
#include "platform/Cursors.h"

#include "resources/cursors/HandCursor.xpm"
#include "resources/cursors/PanCursor.xpm"
#include "resources/cursors/PanDownCursor.xpm"
#include "resources/cursors/PanUpCursor.xpm"

#include <QGuiApplication>
#include <QPixmap>

namespace velmoran {

const QCursor& ViewerCursor(TViewerCursor which)
{
    static const QCursor hand(QPixmap(HandCursor_xpm), 6, 0);
    static const QCursor pan(QPixmap(PanCursor_xpm), 9, 9);
    static const QCursor panUp(QPixmap(PanUpCursor_xpm), 9, 9);
    static const QCursor panDown(QPixmap(PanDownCursor_xpm), 9, 9);
    switch (which) {
    case TViewerCursor::Hand: return hand;
    case TViewerCursor::Pan: return pan;
    case TViewerCursor::PanUp: return panUp;
    case TViewerCursor::PanDown: return panDown;
    }
    return hand;
}

TWaitCursor::TWaitCursor()
{
    if (QGuiApplication::instance())
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

TWaitCursor::~TWaitCursor()
{
    if (QGuiApplication::instance())
        QGuiApplication::restoreOverrideCursor();
}

}  // namespace velmoran
