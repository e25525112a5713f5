// A hint placed where its control wants it. Qt's tooltip moves below and beside the point it is
// given, by the height of the mouse cursor, as befits a hint that stands under the pointer; the
// controls that place their hints themselves (beside an anchor, over an edit, below a grid cell)
// give the very point for the hint's top-left corner.
#pragma once

#include <QPoint>
#include <QRect>
#include <QString>

class QWidget;

namespace velmoran {

// Shows the text as the application's hint with its top-left corner at the screen point (moved
// only as far as it takes to keep it on that screen). It goes as a tooltip goes: the pointer
// leaving the widget (or the area, in the widget's coordinates, when one is given), a click, a
// key. The pointer passes through it, so a hint laid over its own widget leaves the widget under
// the pointer.
void ShowHintAt(QPoint topLeft, const QString& text, QWidget* widget, const QRect& area = {});

// The window of the hint that shows, nullptr when none shows.
QWidget* ShownHintWindow();

}  // namespace velmoran
