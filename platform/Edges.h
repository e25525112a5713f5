// Three-dimensional edges and the small frame controls (radio button, combo-box arrow) of the
// classic desktop look, drawn by our own code pixel by pixel in the fixed system colours, so that
// the controls look the same on every machine and on every canvas.
#pragma once

#include "platform/Canvas.h"

namespace velmoran {

// DrawEdge borders: each edge is an outer and an inner ring of one pixel.
constexpr unsigned BDR_RAISEDOUTER = 0x1;
constexpr unsigned BDR_SUNKENOUTER = 0x2;
constexpr unsigned BDR_RAISEDINNER = 0x4;
constexpr unsigned BDR_SUNKENINNER = 0x8;
constexpr unsigned EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr unsigned EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;

// DrawEdge sides and options.
constexpr unsigned BF_LEFT = 0x1;
constexpr unsigned BF_TOP = 0x2;
constexpr unsigned BF_RIGHT = 0x4;
constexpr unsigned BF_BOTTOM = 0x8;
constexpr unsigned BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr unsigned BF_ADJUST = 0x2000;  // the rectangle shrinks by the rings drawn
constexpr unsigned BF_FLAT = 0x4000;    // outer ring in the shadow colour all round, inner in the face colour

// Draws the rings of an edge on the chosen sides. Raised: light top-left and dark bottom-right
// (outer 3-D light / 3-D dark shadow, inner highlight / shadow); sunken the reverse. The
// bottom-right colour owns the top-right and bottom-left corner pixels.
void DrawEdge(Canvas& canvas, TRect& rect, unsigned edge, unsigned flags);

// Draws a frame of width rings, top and left in one colour, bottom and right in another,
// shrinking the rectangle by each ring (the bevels of labels and panels).
void Frame3D(Canvas& canvas, TRect& rect, ColorRef topLeft, ColorRef bottomRight, int width);

// DrawFrameControl kinds and states: the subset the controls use.
constexpr unsigned DFC_SCROLL = 3;
constexpr unsigned DFC_BUTTON = 4;
constexpr unsigned DFCS_SCROLLCOMBOBOX = 0x5;  // with DFC_SCROLL: the drop-down arrow button
constexpr unsigned DFCS_BUTTONRADIO = 0x4;     // with DFC_BUTTON: a 12-pixel round radio button
constexpr unsigned DFCS_INACTIVE = 0x100;
constexpr unsigned DFCS_PUSHED = 0x200;
constexpr unsigned DFCS_CHECKED = 0x400;
constexpr unsigned DFCS_FLAT = 0x4000;

// Draws the control into the rectangle (a radio button at its top-left corner). False for a kind
// outside the subset.
bool DrawFrameControl(Canvas& canvas, const TRect& rect, unsigned kind, unsigned state);

}  // namespace velmoran
