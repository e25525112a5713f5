// Frames of boxes, cells and tables; see BorderDraw.h.
#include "html/layout/BorderDraw.h"

#include "platform/Canvas.h"
#include "platform/SystemColors.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace velmoran {

namespace {

ColorRef Plain(TColor c)
{
    return ColorToRGB(c) & 0xFFFFFF;
}

// Corners bottom-left, top-left, top-right, bottom-right.
std::array<TPoint, 4> Corners(const TRect& r)
{
    return {TPoint{r.Left, r.Bottom}, TPoint{r.Left, r.Top}, TPoint{r.Right, r.Top}, TPoint{r.Right, r.Bottom}};
}

void FillPolygon(Canvas& canvas, const std::vector<TPoint>& pts, TColor color)
{
    const ColorRef c = Plain(color);
    const Pen oldPen = canvas.SelectPen(Pen{PenStyle::Null, 0, c});
    const Brush oldBrush = canvas.SelectBrush(Brush{BrushStyle::Solid, c});
    canvas.Polygon(pts);
    canvas.SelectBrush(oldBrush);
    canvas.SelectPen(oldPen);
}

// One side: a line when it is one pixel thick, else the filled quadrilateral.
void DrawBorderSide(Canvas& canvas, int side, const std::array<TPoint, 4>& o, const std::array<TPoint, 4>& i,
                    TColor color)
{
    const TPoint o1 = o[side], o2 = o[(side + 1) % 4], i2 = i[(side + 1) % 4], i1 = i[side];
    const bool vertical = side == 0 || side == 2;
    const int thickness = vertical ? std::abs(i1.X - o1.X) : std::abs(i1.Y - o1.Y);
    if (thickness <= 0)
        return;
    if (thickness == 1) {
        const Pen old = canvas.SelectPen(Pen{PenStyle::Solid, 1, Plain(color)});
        if (side == 0) {
            canvas.MoveTo(o1.X, o1.Y - 1);
            canvas.LineTo(o2.X, o2.Y - 1);
        } else if (side == 1) {
            canvas.MoveTo(o1.X, o1.Y);
            canvas.LineTo(o2.X, o2.Y);
        } else if (side == 2) {
            canvas.MoveTo(o1.X - 1, o1.Y);
            canvas.LineTo(o2.X - 1, o2.Y);
        } else {
            canvas.MoveTo(o1.X - 1, o1.Y - 1);
            canvas.LineTo(o2.X - 1, o2.Y - 1);
        }
        canvas.SelectPen(old);
        return;
    }
    FillPolygon(canvas, {o1, o2, i2, i1}, color);
}

TRect Between(const TRect& a, const TRect& b, int num, int den)
{
    return {a.Left + (b.Left - a.Left) * num / den, a.Top + (b.Top - a.Top) * num / den,
            a.Right + (b.Right - a.Right) * num / den, a.Bottom + (b.Bottom - a.Bottom) * num / den};
}

int SideWidth(const TRect& o, const TRect& i, int side)
{
    switch (side) {
    case 0: return i.Left - o.Left;
    case 1: return i.Top - o.Top;
    case 2: return o.Right - i.Right;
    default: return o.Bottom - i.Bottom;
    }
}

}  // namespace

TColor Darker(TColor color)
{
    const ColorRef c = Plain(color);
    auto ch = [](int v) { return static_cast<int>(std::lround(v * 0.75)); };
    return RGBRef(ch(RedOf(c)), ch(GreenOf(c)), ch(BlueOf(c)));
}

void DrawBorder(Canvas& canvas, TRect outer, TRect inner, const std::array<TColor, 4>& colors,
                const std::array<int, 4>& styles, TColor background, bool /*printing*/)
{
    // Very long boxes stay within the device's coordinate range.
    outer.Top = std::max(outer.Top, -200);
    inner.Top = std::max(inner.Top, -200);
    outer.Bottom = std::min(outer.Bottom, 5000);
    inner.Bottom = std::min(inner.Bottom, 5000);
    const bool patterned = std::any_of(styles.begin(), styles.end(),
                                       [](int s) { return s == bssDashed || s == bssDotted || s == bssDouble; });
    const auto o = Corners(outer);
    const auto in = Corners(inner);
    if (background != NoColor && patterned) {
        // The ring between the two rectangles.
        const ColorRef c = Plain(background);
        canvas.FillRect({outer.Left, outer.Top, outer.Right, inner.Top}, c);
        canvas.FillRect({outer.Left, inner.Bottom, outer.Right, outer.Bottom}, c);
        canvas.FillRect({outer.Left, inner.Top, inner.Left, inner.Bottom}, c);
        canvas.FillRect({inner.Right, inner.Top, outer.Right, inner.Bottom}, c);
        return;
    }
    const TRect middle = Between(outer, inner, 1, 2);
    const auto m = Corners(middle);
    for (int side = 0; side < 4; ++side) {
        const TColor color = colors[static_cast<std::size_t>(side)];
        const bool leftTop = side == 0 || side == 1;
        switch (styles[static_cast<std::size_t>(side)]) {
        case bssSolid:
            DrawBorderSide(canvas, side, o, in, color);
            break;
        case bssInset:
            DrawBorderSide(canvas, side, o, in, leftTop ? Darker(color) : color);
            break;
        case bssOutset:
            DrawBorderSide(canvas, side, o, in, leftTop ? color : Darker(color));
            break;
        case bssGroove:
        case bssRidge: {
            const bool groove = styles[static_cast<std::size_t>(side)] == bssGroove;
            const bool outerDark = groove == leftTop;
            DrawBorderSide(canvas, side, o, m, outerDark ? Darker(color) : color);
            DrawBorderSide(canvas, side, m, in, outerDark ? color : Darker(color));
            break;
        }
        case bssDouble: {
            const int w = SideWidth(outer, inner, side);
            const int third = w / 3 + (w % 3 == 2 ? 1 : 0);
            if (third <= 0) {
                DrawBorderSide(canvas, side, o, in, color);
                break;
            }
            TRect oi = outer, io = inner;
            // The outer line runs from the outer edge inwards by a third, the inner one outwards.
            switch (side) {
            case 0: oi.Left += third; io.Left -= third; break;
            case 1: oi.Top += third; io.Top -= third; break;
            case 2: oi.Right -= third; io.Right += third; break;
            default: oi.Bottom -= third; io.Bottom += third; break;
            }
            DrawBorderSide(canvas, side, o, Corners(oi), color);
            DrawBorderSide(canvas, side, Corners(io), in, color);
            break;
        }
        case bssDashed:
        case bssDotted: {
            const int w = SideWidth(outer, inner, side);
            if (w <= 0)
                break;
            const bool dotted = styles[static_cast<std::size_t>(side)] == bssDotted;
            const Pen old = canvas.SelectPen(Pen{dotted ? PenStyle::Dot : PenStyle::Dash, w, Plain(color), true,
                                                 dotted ? PenCap::Round : PenCap::Square, PenJoin::Miter});
            canvas.MoveTo(m[static_cast<std::size_t>(side)].X, m[static_cast<std::size_t>(side)].Y);
            canvas.LineTo(m[static_cast<std::size_t>((side + 1) % 4)].X, m[static_cast<std::size_t>((side + 1) % 4)].Y);
            canvas.SelectPen(old);
            break;
        }
        default:
            break;
        }
    }
}

void DrawBorder3D(Canvas& canvas, const TRect& rect, int width, TColor light, TColor dark, bool raised)
{
    const TColor first = raised ? light : dark;
    const TColor second = raised ? dark : light;
    if (width <= 1) {
        const Pen old = canvas.SelectPen(Pen{PenStyle::Solid, 1, Plain(first)});
        canvas.MoveTo(rect.Left, rect.Bottom - 1);
        canvas.LineTo(rect.Left, rect.Top);
        canvas.LineTo(rect.Right - 1, rect.Top);
        canvas.SelectPen(Pen{PenStyle::Solid, 1, Plain(second)});
        canvas.LineTo(rect.Right - 1, rect.Bottom - 1);
        canvas.LineTo(rect.Left - 1, rect.Bottom - 1);
        canvas.SelectPen(old);
        return;
    }
    const TRect inner{rect.Left + width, rect.Top + width, rect.Right - width, rect.Bottom - width};
    DrawBorder(canvas, rect, inner, {first, first, second, second}, {bssSolid, bssSolid, bssSolid, bssSolid},
               NoColor, false);
}

void DrawDocumentBorder3D(Canvas& canvas, const TRect& rect, bool raised, TColor documentBackground, bool printing,
                          bool monochromeBlack, int width)
{
    const ColorRef window = ColorToRGB(kSystemColorFlag + COLOR_WINDOW) & 0xFFFFFF;
    const bool white = documentBackground != NoColor &&
                       ((ColorToRGB(documentBackground) & 0xFFFFFF) == 0xFFFFFF ||
                        (documentBackground == kSystemColorFlag + COLOR_WINDOW && window == 0xFFFFFF));
    TColor light = (white || printing) ? RGBRef(0xC0, 0xC0, 0xC0) : kSystemColorFlag + COLOR_BTNHIGHLIGHT;
    TColor dark = kSystemColorFlag + COLOR_BTNSHADOW;
    if (printing && monochromeBlack && canvas.IsMonochrome())
        light = dark = 0;
    DrawBorder3D(canvas, rect, width, light, dark, raised);
}

}  // namespace velmoran
