// Edges, 3-D frames and frame controls in the classic colours; see Edges.h.
#include "platform/Edges.h"

#include "platform/SystemColors.h"

#include <algorithm>

namespace velmoran {

namespace {

struct RingColors {
    ColorRef TopLeft;
    ColorRef BottomRight;
};

// One ring of one pixel on the chosen sides.
void Ring(Canvas& canvas, const TRect& r, RingColors colors, unsigned sides)
{
    if (r.IsEmpty())
        return;
    if (sides & BF_TOP)
        canvas.FillRect({r.Left, r.Top, r.Right - 1, r.Top + 1}, colors.TopLeft);
    if (sides & BF_LEFT)
        canvas.FillRect({r.Left, r.Top, r.Left + 1, r.Bottom - 1}, colors.TopLeft);
    if (sides & BF_BOTTOM)
        canvas.FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom}, colors.BottomRight);
    if (sides & BF_RIGHT)
        canvas.FillRect({r.Right - 1, r.Top, r.Right, r.Bottom}, colors.BottomRight);
}

void Shrink(TRect& r, unsigned sides)
{
    if (sides & BF_LEFT)
        ++r.Left;
    if (sides & BF_TOP)
        ++r.Top;
    if (sides & BF_RIGHT)
        --r.Right;
    if (sides & BF_BOTTOM)
        --r.Bottom;
}

ColorRef Sys(int index)
{
    return SystemColor(index);
}

// The radio button, 12 by 12: o outer ring, i inner ring, w the well, k the dot. Pixels on or
// above the anti-diagonal (x + y <= 10) are the top-left half of a ring.
constexpr const char* kRadio[12] = {
    "....oooo....",
    "..ooiiiioo..",
    ".oiiwwwwiio.",
    ".oiwwwwwwio.",
    "oiwwwkkwwwio",
    "oiwwkkkkwwio",
    "oiwwkkkkwwio",
    "oiwwwkkwwwio",
    ".oiwwwwwwio.",
    ".oiiwwwwiio.",
    "..ooiiiioo..",
    "....oooo....",
};

struct RadioColors {
    RingColors Outer;
    RingColors Inner;
    ColorRef Well;
    ColorRef Dot;
};

void DrawRadio(Canvas& canvas, int left, int top, unsigned state)
{
    const bool flat = (state & DFCS_FLAT) != 0;
    const bool inactive = (state & DFCS_INACTIVE) != 0;
    RadioColors c;
    c.Well = Sys((state & (DFCS_INACTIVE | DFCS_PUSHED)) ? COLOR_BTNFACE : COLOR_WINDOW);
    c.Dot = (state & DFCS_CHECKED) ? Sys(inactive ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT) : c.Well;
    c.Outer = flat ? RingColors{Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNSHADOW)}
                   : RingColors{Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT)};
    c.Inner = flat ? RingColors{c.Well, c.Well} : RingColors{Sys(COLOR_3DDKSHADOW), Sys(COLOR_3DLIGHT)};
    for (int y = 0; y < 12; ++y) {
        // Runs of one colour along the row.
        int x = 0;
        while (x < 12) {
            const auto colorAt = [&](int px) -> ColorRef {
                const bool topLeft = px + y <= 10;
                switch (kRadio[y][px]) {
                case 'o': return topLeft ? c.Outer.TopLeft : c.Outer.BottomRight;
                case 'i': return topLeft ? c.Inner.TopLeft : c.Inner.BottomRight;
                case 'w': return c.Well;
                case 'k': return c.Dot;
                default: return kNoColor;
                }
            };
            const ColorRef color = colorAt(x);
            int end = x + 1;
            while (end < 12 && colorAt(end) == color)
                ++end;
            canvas.FillRect({left + x, top + y, left + end, top + y + 1}, color);
            x = end;
        }
    }
}

// A downward triangle centred in the rectangle, rows of 2n-1, 2n-3, ... 1 pixels.
void DrawArrow(Canvas& canvas, const TRect& r, ColorRef color)
{
    const int rows = std::max(2, (std::min(r.Width(), r.Height()) + 1) / 4);
    const int cx = r.Left + r.Width() / 2;
    const int top = r.Top + (r.Height() - rows) / 2;
    for (int i = 0; i < rows; ++i) {
        const int half = rows - 1 - i;
        canvas.FillRect({cx - half, top + i, cx + half + 1, top + i + 1}, color);
    }
}

void DrawComboButton(Canvas& canvas, const TRect& rect, unsigned state)
{
    TRect r = rect;
    canvas.FillRect(r, Sys(COLOR_BTNFACE));
    const bool pushed = (state & DFCS_PUSHED) != 0;
    if (state & DFCS_FLAT)
        DrawEdge(canvas, r, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_FLAT | BF_ADJUST);
    else
        DrawEdge(canvas, r, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
    if (pushed)
        r = {r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
    if (state & DFCS_INACTIVE) {
        DrawArrow(canvas, {r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1}, Sys(COLOR_BTNHIGHLIGHT));
        DrawArrow(canvas, r, Sys(COLOR_BTNSHADOW));
    } else {
        DrawArrow(canvas, r, Sys(COLOR_BTNTEXT));
    }
}

}  // namespace

void DrawEdge(Canvas& canvas, TRect& rect, unsigned edge, unsigned flags)
{
    const unsigned sides = flags & BF_RECT;
    const bool flat = (flags & BF_FLAT) != 0;
    TRect r = rect;
    RingColors outer{};
    RingColors inner{};
    if (flat) {
        outer = {Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNSHADOW)};
        inner = {Sys(COLOR_BTNFACE), Sys(COLOR_BTNFACE)};
    } else {
        outer = (edge & BDR_RAISEDOUTER) ? RingColors{Sys(COLOR_3DLIGHT), Sys(COLOR_3DDKSHADOW)}
                                         : RingColors{Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT)};
        inner = (edge & BDR_RAISEDINNER) ? RingColors{Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNSHADOW)}
                                         : RingColors{Sys(COLOR_3DDKSHADOW), Sys(COLOR_3DLIGHT)};
    }
    if (edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER)) {
        Ring(canvas, r, outer, sides);
        Shrink(r, sides);
    }
    if (edge & (BDR_RAISEDINNER | BDR_SUNKENINNER)) {
        Ring(canvas, r, inner, sides);
        Shrink(r, sides);
    }
    if (flags & BF_ADJUST)
        rect = r;
}

void Frame3D(Canvas& canvas, TRect& rect, ColorRef topLeft, ColorRef bottomRight, int width)
{
    for (int i = 0; i < width; ++i) {
        Ring(canvas, rect, {topLeft, bottomRight}, BF_RECT);
        Shrink(rect, BF_RECT);
    }
}

bool DrawFrameControl(Canvas& canvas, const TRect& rect, unsigned kind, unsigned state)
{
    if (kind == DFC_BUTTON && (state & 0xFF) == DFCS_BUTTONRADIO) {
        DrawRadio(canvas, rect.Left, rect.Top, state);
        return true;
    }
    if (kind == DFC_SCROLL && (state & 0xFF) == DFCS_SCROLLCOMBOBOX) {
        DrawComboButton(canvas, rect, state);
        return true;
    }
    return false;
}

}  // namespace velmoran
