// Border drawing; see Borders.h.
#include "html/layout/Borders.h"

#include "html/layout/SectionList.h"
#include "platform/Canvas.h"
#include "platform/SystemColors.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace velmoran {

namespace {

constexpr int kBtnHighlight = 20;
constexpr int kBtnShadow = 16;
constexpr int kWindow = 5;

ColorRef Rgb(TColor c) { return (c & kSystemColorBase) ? ColorToRGB(c) : (c & 0xFFFFFF); }

void FillPolygon(Canvas& canvas, const std::vector<TPoint>& pts, ColorRef color)
{
    const Pen oldPen = canvas.SelectPen(Pen{PenStyle::Solid, 0, color});
    const Brush oldBrush = canvas.SelectBrush(Brush{BrushStyle::Solid, color});
    canvas.Polygon(pts);
    canvas.SelectBrush(oldBrush);
    canvas.SelectPen(oldPen);
}

// Corners of a rectangle in the order bottom-left, top-left, top-right, bottom-right.
std::array<TPoint, 4> Corners(const TRect& r)
{
    return {TPoint{r.Left, r.Bottom - 1}, TPoint{r.Left, r.Top}, TPoint{r.Right - 1, r.Top},
            TPoint{r.Right - 1, r.Bottom - 1}};
}

// Side i: outer corners i and i + 1, inner corners i + 1 and i.
std::vector<TPoint> SideQuad(const std::array<TPoint, 4>& o, const std::array<TPoint, 4>& in, int i)
{
    const int j = (i + 1) % 4;
    return {o[static_cast<std::size_t>(i)], o[static_cast<std::size_t>(j)], in[static_cast<std::size_t>(j)],
            in[static_cast<std::size_t>(i)]};
}

int SideWidth(const TRect& outer, const TRect& inner, int side)
{
    switch (side) {
    case 0: return inner.Left - outer.Left;
    case 1: return inner.Top - outer.Top;
    case 2: return outer.Right - inner.Right;
    default: return outer.Bottom - inner.Bottom;
    }
}

void DrawSide(Canvas& canvas, const std::vector<TPoint>& quad, int width, ColorRef color)
{
    if (width <= 0)
        return;
    if (width == 1) {
        const Pen old = canvas.SelectPen(Pen{PenStyle::Solid, 1, color});
        canvas.MoveTo(quad[0].X, quad[0].Y);
        canvas.LineTo(quad[1].X, quad[1].Y);
        canvas.SelectPen(old);
        return;
    }
    FillPolygon(canvas, quad, color);
}

TRect Shrunk(const TRect& outer, const TRect& inner, int num, int den)
{
    return {outer.Left + (inner.Left - outer.Left) * num / den, outer.Top + (inner.Top - outer.Top) * num / den,
            outer.Right - (outer.Right - inner.Right) * num / den,
            outer.Bottom - (outer.Bottom - inner.Bottom) * num / den};
}

}  // namespace

ColorRef Darker(TColor color)
{
    const ColorRef c = Rgb(color);
    auto ch = [](int v) { return static_cast<ColorRef>(std::lround(v * 0.75)); };
    return ch(RedOf(c)) | (ch(GreenOf(c)) << 8) | (ch(BlueOf(c)) << 16);
}

void DrawBorder(Canvas& canvas, TRect outer, TRect inner, const std::array<TColor, 4>& colors,
                const std::array<int, 4>& styles, TColor background, bool /*printing*/)
{
    // Very long boxes stay within the device's coordinate range.
    outer.Top = std::max(outer.Top, -200);
    inner.Top = std::max(inner.Top, -200);
    outer.Bottom = std::min(outer.Bottom, 5000);
    inner.Bottom = std::min(inner.Bottom, 5000);
    const auto o = Corners(outer);
    const auto in = Corners(inner);
    const bool broken = std::any_of(styles.begin(), styles.end(), [](int s) { return s >= 6 && s <= 8; });
    if (background != NoColor && broken) {
        // The gaps of dashed, dotted and double sides show the box's background colour. The sides are
        // drawn over the filled ring as well, where a fill alone would hide such a border entirely.
        for (int i = 0; i < 4; ++i)
            if (SideWidth(outer, inner, i) > 0)
                FillPolygon(canvas, SideQuad(o, in, i), Rgb(background));
    }
    for (int i = 0; i < 4; ++i) {
        const int w = SideWidth(outer, inner, i);
        if (w <= 0)
            continue;
        const ColorRef color = Rgb(colors[static_cast<std::size_t>(i)]);
        const ColorRef dark = Darker(colors[static_cast<std::size_t>(i)]);
        const bool leftTop = i == 0 || i == 1;
        switch (styles[static_cast<std::size_t>(i)]) {
        case 1:
            DrawSide(canvas, SideQuad(o, in, i), w, color);
            break;
        case 2:
            DrawSide(canvas, SideQuad(o, in, i), w, leftTop ? dark : color);
            break;
        case 3:
            DrawSide(canvas, SideQuad(o, in, i), w, leftTop ? color : dark);
            break;
        case 4:
        case 5: {
            const TRect mid = Shrunk(outer, inner, 1, 2);
            const auto m = Corners(mid);
            const bool groove = styles[static_cast<std::size_t>(i)] == 4;
            const ColorRef outerColor = (leftTop == groove) ? dark : color;
            const ColorRef innerColor = (leftTop == groove) ? color : dark;
            DrawSide(canvas, SideQuad(o, m, i), SideWidth(outer, mid, i), outerColor);
            DrawSide(canvas, SideQuad(m, in, i), SideWidth(mid, inner, i), innerColor);
            break;
        }
        case 8: {
            const int third = w / 3 + (w % 3 == 2 ? 1 : 0);
            if (third <= 0) {
                DrawSide(canvas, SideQuad(o, in, i), w, color);
                break;
            }
            const TRect a = Shrunk(outer, inner, third, w);
            const TRect b = Shrunk(outer, inner, w - third, w);
            DrawSide(canvas, SideQuad(o, Corners(a), i), third, color);
            DrawSide(canvas, SideQuad(Corners(b), in, i), third, color);
            break;
        }
        case 6:
        case 7: {
            // Sides alike in style, colour and width make one line, so that its dashes or dots
            // go on round the corners; it ends at the bottom side or where the next side differs.
            const auto alike = [&](int a, int b) {
                const auto sa = static_cast<std::size_t>(a), sb = static_cast<std::size_t>(b);
                return styles[sa] == styles[sb] && Rgb(colors[sa]) == Rgb(colors[sb]) &&
                       SideWidth(outer, inner, a) == SideWidth(outer, inner, b);
            };
            if (i > 0 && alike(i - 1, i))
                break;  // drawn with the line of the side before
            const bool dotted = styles[static_cast<std::size_t>(i)] == 7;
            Pen pen{dotted ? PenStyle::Dot : PenStyle::Dash, w, color};
            pen.Geometric = true;
            pen.Join = PenJoin::Miter;
            if (!dotted)
                pen.Cap = PenCap::Square;
            const Pen old = canvas.SelectPen(pen);
            const auto m = Corners(Shrunk(outer, inner, 1, 2));
            std::vector<TPoint> line{m[static_cast<std::size_t>(i)]};
            int side = i;
            do {
                line.push_back(m[static_cast<std::size_t>((side + 1) % 4)]);
                ++side;
            } while (side < 4 && alike(side - 1, side));
            canvas.Polyline(line);
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
    if (width <= 0)
        return;
    const ColorRef first = Rgb(raised ? light : dark);
    const ColorRef second = Rgb(raised ? dark : light);
    if (width == 1) {
        const Pen old = canvas.SelectPen(Pen{PenStyle::Solid, 1, first});
        canvas.MoveTo(rect.Right - 1, rect.Top);
        canvas.LineTo(rect.Left, rect.Top);
        canvas.LineTo(rect.Left, rect.Bottom - 1);
        canvas.SelectPen(Pen{PenStyle::Solid, 1, second});
        canvas.MoveTo(rect.Right - 1, rect.Top);
        canvas.LineTo(rect.Right - 1, rect.Bottom - 1);
        canvas.LineTo(rect.Left - 1, rect.Bottom - 1);
        canvas.SelectPen(old);
        return;
    }
    const TRect inner{rect.Left + width, rect.Top + width, rect.Right - width, rect.Bottom - width};
    DrawBorder(canvas, rect, inner, {first, first, second, second}, {1, 1, 1, 1}, NoColor, false);
}

void DrawFormControlFrame(Canvas& canvas, const TRect& rect, TColor color, bool useBtnFace, bool raised, bool printing)
{
    const bool mono = printing && canvas.IsMonochrome();
    canvas.FillRect(rect, useBtnFace && !mono ? Rgb(SystemColor(COLOR_BTNFACE)) : Rgb(color));
    if (mono) {
        DrawBorder3D(canvas, rect, 1, 0, 0, raised);
        return;
    }
    const TColor shadow = SystemColor(COLOR_BTNSHADOW);
    DrawBorder3D(canvas, rect, 1, 0xC0C0C0, shadow, raised);
    DrawBorder3D(canvas, TRect{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1}, 1, 0xC0C0C0, shadow, raised);
}

void DrawDocumentBorder3D(Canvas& canvas, const TRect& rect, bool raised, const TSectionList& document, int width)
{
    // The system colour "window" counts by its value; a page of no colour of its own shows the window.
    const TColor background = document.Background;
    const bool window = background == NoColor || (background & ~kPaletteRelative) == SystemColor(kWindow);
    const bool whiteBack = window ? GetSysColor(kWindow) == 0xFFFFFF : (background & 0xFFFFFF) == 0xFFFFFF;
    TColor light = (whiteBack || document.Printing) ? TColor(0xC0C0C0) : GetSysColor(kBtnHighlight);
    TColor dark = GetSysColor(kBtnShadow);
    if (document.Printing && document.PrintMonoBlack && canvas.IsMonochrome())
        light = dark = 0;
    DrawBorder3D(canvas, rect, width, light, dark, raised);
}

}  // namespace velmoran
