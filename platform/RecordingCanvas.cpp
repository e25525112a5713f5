// The recording canvas; see RecordingCanvas.h.
#include "platform/RecordingCanvas.h"

#include "platform/core/Cp1252.h"
#include "platform/SystemColors.h"

#include <QImage>

#include <cstdio>

namespace velmoran {

namespace {

std::string Num(int v)
{
    return std::to_string(v);
}

std::string RectText(const TRect& r)
{
    return Num(r.Left) + "," + Num(r.Top) + "," + Num(r.Right) + "," + Num(r.Bottom);
}

std::string PointText(TPoint p)
{
    return Num(p.X) + "," + Num(p.Y);
}

std::string BrushText(const Brush& b, TPoint origin)
{
    if (b.Style == BrushStyle::Null)
        return "null";
    if (b.Style == BrushStyle::Solid)
        return "solid " + RecordingCanvas::Hex(b.Color);
    char rows[17];
    std::snprintf(rows, sizeof rows, "%016llX", static_cast<unsigned long long>(b.Pattern));
    return std::string("pattern ") + rows + " " + RecordingCanvas::Hex(b.Color) + " " +
           RecordingCanvas::Hex(b.BackColor) + " origin " + PointText(origin);
}

std::string PointsText(const std::vector<TPoint>& points)
{
    std::string s;
    for (const TPoint& p : points)
        s += " " + PointText(p);
    return s;
}

std::string Utf8(std::u16string_view text)
{
    std::string s;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        AppendUtf8(s, c);
    }
    return s;
}

const char* PenStyleName(PenStyle s)
{
    switch (s) {
    case PenStyle::Solid: return "solid";
    case PenStyle::Dash: return "dash";
    case PenStyle::Dot: return "dot";
    case PenStyle::DashDot: return "dashdot";
    case PenStyle::DashDotDot: return "dashdotdot";
    case PenStyle::Null: return "null";
    case PenStyle::InsideFrame: return "insideframe";
    }
    return "?";
}

std::string FontText(const LogicalFont& f)
{
    std::string s = (f.Face.empty() ? std::string("(default)") : f.Face) + " " + Num(f.Height) + " " + Num(f.Weight);
    if (f.Italic)
        s += " italic";
    if (f.Underline)
        s += " underline";
    if (f.StrikeOut)
        s += " strikeout";
    if (f.Charset != kDefaultCharset)
        s += " charset " + Num(f.Charset);
    if (f.Escapement != 0)
        s += " escapement " + Num(f.Escapement);
    return s;
}

std::string AlignText(unsigned a)
{
    const unsigned h = a & kTaHorizontalMask;
    const unsigned v = a & kTaVerticalMask;
    std::string s = h == TA_CENTER ? "center" : h == TA_RIGHT ? "right" : "left";
    s += v == TA_BASELINE ? " baseline" : v == TA_BOTTOM ? " bottom" : " top";
    if (a & TA_UPDATECP)
        s += " updatecp";
    return s;
}

}  // namespace

RecordingCanvas::RecordingCanvas(FontEngine& fonts, int width, int height)
    : Canvas(fonts), width_(width), height_(height)
{
    // The defaults count as written.
    Call(kText | kPen | kBrush | kFill | kStretch, {});
    lines_.clear();
    isCall_.clear();
}

std::string RecordingCanvas::Hex(ColorRef color)
{
    const ColorRef rgb = ColorToRGB(color);
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
    return buffer;
}

int RecordingCanvas::GetDeviceCaps(int index) const
{
    const auto it = caps_.find(index);
    return it != caps_.end() ? it->second : Canvas::GetDeviceCaps(index);
}

std::vector<std::string> RecordingCanvas::Calls() const
{
    std::vector<std::string> calls;
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (isCall_[i])
            calls.push_back(lines_[i]);
    return calls;
}

std::string RecordingCanvas::Text() const
{
    std::string s;
    for (const std::string& line : lines_)
        s += line + "\n";
    return s;
}

void RecordingCanvas::Note(const std::string& key, const std::string& value)
{
    std::string& known = written_[key];
    if (known == value)
        return;
    known = value;
    lines_.push_back(key + " " + value);
    isCall_.push_back(false);
}

void RecordingCanvas::Call(unsigned needs, std::string line)
{
    const State& s = CurrentState();
    {
        std::string map = "none";
        if (s.Map != MapMode::Text || s.WindowOrg != TPoint{} || s.ViewportOrg != TPoint{})
            map = "window " + PointText(s.WindowOrg) + " " + Num(s.WindowExt.cx) + "x" + Num(s.WindowExt.cy) +
                  " viewport " + PointText(s.ViewportOrg) + " " + Num(s.ViewportExt.cx) + "x" + Num(s.ViewportExt.cy);
        Note("Mapping", map);
        std::string clip = "none";
        if (s.Clip) {
            const std::vector<TRect> rects = s.Clip->Rects();
            clip = rects.empty() ? "empty" : "";
            for (std::size_t i = 0; i < rects.size(); ++i)
                clip += (i ? " + " : "") + RectText(rects[i]);
        }
        Note("Clip", clip);
    }
    if (needs & kText) {
        Note("Font", FontText(s.Font));
        Note("TextColor", Hex(s.TextColor));
        Note("BkMode", s.Background == BkMode::Opaque ? "opaque" : "transparent");
        Note("TextAlign", AlignText(s.TextAlign));
        Note("Justify", Num(s.JustifyExtra) + " " + Num(s.JustifyBreaks));
        Note("CharExtra", Num(s.CharExtra));
    }
    if (needs & kFill)
        Note("BkColor", Hex(s.BkColor));
    if (needs & kPen) {
        const Pen& p = s.SelectedPen;
        std::string pen = PenStyleName(p.Style);
        if (p.Style != PenStyle::Null) {
            pen += " " + Num(p.Width) + " " + Hex(p.Color);
            if (p.Geometric)
                pen += std::string(" geometric") + (p.Cap == PenCap::Flat ? " flat" : p.Cap == PenCap::Square ? " square" : " round") +
                       (p.Join == PenJoin::Miter ? " miter" : p.Join == PenJoin::Bevel ? " bevel" : " round");
        }
        Note("Pen", pen);
    }
    if (needs & kBrush) {
        const Brush& b = s.SelectedBrush;
        Note("Brush", BrushText(b, s.BrushOrigin));
        Note("PolyFill", s.PolyFill == PolyFillMode::Winding ? "winding" : "alternate");
    }
    if (needs & kStretch)
        Note("StretchMode", s.Stretch == StretchMode::Halftone ? "halftone" : "coloroncolor");
    if (!line.empty()) {
        lines_.push_back(std::move(line));
        isCall_.push_back(true);
    }
}

void RecordingCanvas::DoLine(TPoint from, TPoint to)
{
    Call(kPen, "LineTo " + PointText(to) + " from " + PointText(from));
}

void RecordingCanvas::DoPolyline(const std::vector<TPoint>& points)
{
    Call(kPen, "Polyline" + PointsText(points));
}

void RecordingCanvas::DoPolygon(const std::vector<TPoint>& points)
{
    Call(kPen | kBrush, "Polygon" + PointsText(points));
}

void RecordingCanvas::DoRectangle(const TRect& rect)
{
    Call(kPen | kBrush, "Rectangle " + RectText(rect));
}

void RecordingCanvas::DoFillRect(const TRect& rect, ColorRef rgb)
{
    Call(0, "FillRect " + RectText(rect) + " " + Hex(rgb));
}

void RecordingCanvas::DoPatternFill(const TRect& rect)
{
    Call(kBrush, "FillRect " + RectText(rect) + " brush");
}

void RecordingCanvas::DoEllipse(const TRect& rect)
{
    Call(kPen | kBrush, "Ellipse " + RectText(rect));
}

void RecordingCanvas::DoArc(const TRect& rect, TPoint start, TPoint end)
{
    Call(kPen, "Arc " + RectText(rect) + " " + PointText(start) + " " + PointText(end));
}

void RecordingCanvas::DoFocusRect(const TRect& rect)
{
    Call(0, "FocusRect " + RectText(rect));
}

void RecordingCanvas::DoText(const TextOutput& t)
{
    const bool opaque = CurrentState().Background == BkMode::Opaque || (t.Options & ETO_OPAQUE);
    std::string line = t.Extended ? "ExtTextOut " : "TextOut ";
    line += PointText(t.Reference);
    if (t.OptionRect) {
        if (t.Options & ETO_OPAQUE)
            line += " opaque";
        if (t.Options & ETO_CLIPPED)
            line += " clipped";
        line += " " + RectText(*t.OptionRect);
    }
    line += " '" + Utf8(t.Text) + "'";
    Call(kText | (opaque ? kFill : 0u), std::move(line));
}

void RecordingCanvas::DoStretchBlt(const TRect& destination, const QImage& image, const QImage* mask, const TRect& source)
{
    std::string line = mask ? "MaskedStretchBlt " : "StretchBlt ";
    line += RectText(destination) + " from " + RectText(source) + " of " + Num(image.width()) + "x" + Num(image.height());
    if (!mask && image.hasAlphaChannel())
        line += " alpha";
    Call(kStretch, std::move(line));
}

}  // namespace velmoran
