// A choice box turns its choice by the mouse wheel only while it has the focus. The wheel that
// scrolls a page and passes over a box on the way leaves the choice as the user set it and goes
// on to the page; a click or Tab gives the box the focus, and then the wheel works in it.
#pragma once

class QWidget;

namespace velmoran {

// The wheel gives the widget no focus, and while it has none its wheel events go on to its parent.
void KeepWheelToFocus(QWidget& widget);

}  // namespace velmoran
