// Canvas state, geometry of the drawing calls, measuring and the screen's font engine; see Canvas.h.
#include "platform/Canvas.h"

#include "platform/SystemColors.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace velmoran {

namespace {

FontEngine*& CurrentScreenFonts()
{
    static FontEngine* engine = nullptr;
    return engine;
}

}  // namespace

FontEngine& ScreenFonts()
{
    if (FontEngine* e = CurrentScreenFonts())
        return *e;
    throw std::logic_error("no screen font engine installed");
}

void InstallScreenFonts(FontEngine& engine)
{
    CurrentScreenFonts() = &engine;
}

ScopedScreenFonts::ScopedScreenFonts(FontEngine& engine) : previous_(CurrentScreenFonts())
{
    CurrentScreenFonts() = &engine;
}

ScopedScreenFonts::~ScopedScreenFonts()
{
    CurrentScreenFonts() = previous_;
}

int ExtentSum(long long a, long long b)
{
    return static_cast<int>(std::clamp<long long>(a + b, -kMaxExtent, kMaxExtent));
}

const Canvas::FontMeasures& Canvas::Measures() const
{
    if (!measures_.Known) {
        measures_.Latin1 = fonts_->KnownLatin1Advances(state_.Font);
        measures_.Metrics = fonts_->Metrics(state_.Font);
        measures_.Known = true;
    }
    return measures_;
}

template <typename Visit>
void Canvas::VisitAdvances(std::u16string_view text, Visit&& visit) const
{
    TextMeasured(text.size());
    if (text.empty())
        return;
    const int breaks = state_.JustifyBreaks;
    const int perBreak = breaks > 0 ? state_.JustifyExtra / breaks : 0;
    int remainder = breaks > 0 ? state_.JustifyExtra % breaks : 0;
    const int* known = Measures().Latin1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        std::size_t units = 1;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            units = 2;
        }
        const int measured = known && c < 256 && known[c] >= 0 ? known[c] : fonts_->CharAdvance(state_.Font, c);
        int advance = measured + state_.CharExtra;
        if (c == U' ' && breaks > 0) {
            advance += perBreak;
            if (remainder > 0) {
                ++advance;
                --remainder;
            } else if (remainder < 0) {
                --advance;
                ++remainder;
            }
        }
        if (!visit(i, advance))
            return;
        // The second unit of a pair advances by 0.
        if (units == 2) {
            ++i;
            if (!visit(i, 0))
                return;
        }
    }
}

std::vector<int> Canvas::CharAdvances(std::u16string_view text) const
{
    std::vector<int> advances(text.size(), 0);
    VisitAdvances(text, [&](std::size_t i, int advance) {
        advances[i] = advance;
        return true;
    });
    return advances;
}

TextSize Canvas::TextExtent(std::u16string_view text) const
{
    int width = 0;
    VisitAdvances(text, [&](std::size_t, int advance) {
        width = ExtentSum(width, advance);
        return true;
    });
    return {width, GetTextMetrics().Height};
}

int Canvas::TextFitCount(std::u16string_view text, int maxWidth, int* extent) const
{
    int width = 0;
    std::size_t n = 0;
    int last = 0;
    VisitAdvances(text, [&](std::size_t, int advance) {
        if (static_cast<long long>(width) + advance > maxWidth)
            return false;
        width = ExtentSum(width, advance);
        last = advance;
        ++n;
        return true;
    });
    // A surrogate pair is never split.
    if (n > 0 && n < text.size() && text[n] >= 0xDC00 && text[n] <= 0xDFFF) {
        --n;
        width -= last;
    }
    if (extent)
        *extent = width;
    return static_cast<int>(n);
}

namespace {

int Scale(int value, int numerator, int denominator)
{
    return static_cast<int>(std::lround(static_cast<double>(value) * numerator / denominator));
}

}  // namespace

int Canvas::GetDeviceCaps(int index) const
{
    switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY: return kPixelsPerInch;
    case BITSPIXEL: return 24;
    case PLANES: return 1;
    case HORZRES:
    case PHYSICALWIDTH: return DeviceBounds().Width();
    case VERTRES:
    case PHYSICALHEIGHT: return DeviceBounds().Height();
    default: return 0;
    }
}

TRect Canvas::DeviceBounds() const
{
    return {0, 0, 32767, 32767};
}

void Canvas::SetTextJustification(int extra, int breakCount)
{
    state_.JustifyExtra = breakCount > 0 ? extra : 0;
    state_.JustifyBreaks = std::max(0, breakCount);
}

ColorRef Canvas::SetTextColor(ColorRef color)
{
    return std::exchange(state_.TextColor, color);
}

ColorRef Canvas::SetBkColor(ColorRef color)
{
    return std::exchange(state_.BkColor, color);
}

BkMode Canvas::SetBkMode(BkMode mode)
{
    return std::exchange(state_.Background, mode);
}

unsigned Canvas::SetTextAlign(unsigned flags)
{
    return std::exchange(state_.TextAlign, flags);
}

PolyFillMode Canvas::SetPolyFillMode(PolyFillMode mode)
{
    return std::exchange(state_.PolyFill, mode);
}

StretchMode Canvas::SetStretchBltMode(StretchMode mode)
{
    return std::exchange(state_.Stretch, mode);
}

Pen Canvas::SelectPen(const Pen& pen)
{
    return std::exchange(state_.SelectedPen, pen);
}

Brush Canvas::SelectBrush(const Brush& brush)
{
    return std::exchange(state_.SelectedBrush, brush);
}

TPoint Canvas::MoveTo(int x, int y)
{
    return std::exchange(state_.Position, TPoint{x, y});
}

void Canvas::LineTo(int x, int y)
{
    const TPoint from = state_.Position;
    state_.Position = {x, y};
    DoLine(from, {x, y});
}

void Canvas::Polyline(const std::vector<TPoint>& points)
{
    if (points.size() >= 2)
        DoPolyline(points);
}

void Canvas::Polygon(const std::vector<TPoint>& points)
{
    if (points.size() >= 2)
        DoPolygon(points);
}

void Canvas::Rectangle(const TRect& rect)
{
    const TRect r = Normalized(rect);
    if (!r.IsEmpty())
        DoRectangle(r);
}

TPoint Canvas::SetBrushOrg(int x, int y)
{
    return std::exchange(state_.BrushOrigin, TPoint{x, y});
}

void Canvas::FillRect(const TRect& rect)
{
    if (state_.SelectedBrush.Style == BrushStyle::Pattern) {
        if (!rect.IsEmpty())
            DoPatternFill(rect);
    } else if (state_.SelectedBrush.Style != BrushStyle::Null) {
        FillRect(rect, state_.SelectedBrush.Color);
    }
}

void Canvas::FillRect(const TRect& rect, ColorRef color)
{
    if (!rect.IsEmpty() && color != kNoColor)
        DoFillRect(rect, ColorToRGB(color));
}

void Canvas::Ellipse(const TRect& rect)
{
    const TRect r = Normalized(rect);
    if (!r.IsEmpty())
        DoEllipse(r);
}

void Canvas::Arc(const TRect& rect, TPoint start, TPoint end)
{
    const TRect r = Normalized(rect);
    if (!r.IsEmpty())
        DoArc(r, start, end);
}

void Canvas::DrawFocusRect(const TRect& rect)
{
    if (!rect.IsEmpty())
        DoFocusRect(rect);
}

void Canvas::TextOut(int x, int y, std::u16string_view text)
{
    Text(false, x, y, 0, nullptr, text);
}

void Canvas::ExtTextOut(int x, int y, unsigned options, const TRect* rect, std::u16string_view text)
{
    Text(true, x, y, options, rect, text);
}

void Canvas::Text(bool extended, int x, int y, unsigned options, const TRect* rect, std::u16string_view text)
{
    TextOutput t;
    t.Extended = extended;
    const bool updateCp = (state_.TextAlign & TA_UPDATECP) != 0;
    t.Reference = updateCp ? state_.Position : TPoint{x, y};
    t.Options = rect ? options & (ETO_OPAQUE | ETO_CLIPPED) : 0;
    if (rect)
        t.OptionRect = *rect;
    t.Text = text;
    t.Advances = CharAdvances(text);
    for (int a : t.Advances)
        t.Width = ExtentSum(t.Width, a);
    t.Metrics = GetTextMetrics();
    const unsigned horizontal = state_.TextAlign & kTaHorizontalMask;
    const unsigned vertical = state_.TextAlign & kTaVerticalMask;
    if (horizontal == TA_CENTER)
        t.Left = t.Reference.X - t.Width / 2;
    else if (horizontal == TA_RIGHT)
        t.Left = t.Reference.X - t.Width;
    else
        t.Left = t.Reference.X;
    if (vertical == TA_BASELINE)
        t.Baseline = t.Reference.Y;
    else if (vertical == TA_BOTTOM)
        t.Baseline = t.Reference.Y - t.Metrics.Descent;
    else
        t.Baseline = t.Reference.Y + t.Metrics.Ascent;
    if (updateCp) {
        if (horizontal == TA_RIGHT)
            state_.Position.X = ExtentSum(state_.Position.X, -static_cast<long long>(t.Width));
        else if (horizontal != TA_CENTER)
            state_.Position.X = ExtentSum(state_.Position.X, t.Width);
    }
    DoText(t);
}

void Canvas::StretchBlt(const TRect& destination, const QImage& image, const TRect* source)
{
    if (image.isNull() || destination.IsEmpty())
        return;
    DoStretchBlt(destination, image, nullptr, source ? *source : TRect{0, 0, image.width(), image.height()});
}

void Canvas::MaskedStretchBlt(const TRect& destination, const QImage& image, const QImage& mask, const TRect* source)
{
    if (image.isNull() || destination.IsEmpty())
        return;
    DoStretchBlt(destination, image, mask.isNull() ? nullptr : &mask,
                 source ? *source : TRect{0, 0, image.width(), image.height()});
}

void Canvas::SetClip(std::optional<Region> clip)
{
    state_.Clip = std::move(clip);
    ClipChanged();
}

void Canvas::IntersectClipRect(const TRect& rect)
{
    Region r(LPtoDP(Normalized(rect)));
    if (state_.Clip)
        r = *state_.Clip & r;
    SetClip(std::move(r));
}

void Canvas::ExcludeClipRect(const TRect& rect)
{
    const Region base = state_.Clip ? *state_.Clip : Region(DeviceBounds());
    SetClip(base - Region(LPtoDP(Normalized(rect))));
}

void Canvas::SelectClipRgn(const Region* region)
{
    SetClip(region ? std::optional<Region>(*region) : std::nullopt);
}

void Canvas::ExtSelectClipRgn(const Region& region, RegionOp op)
{
    if (op == RegionOp::Copy) {
        SetClip(region);
        return;
    }
    Region base = state_.Clip ? *state_.Clip : Region(DeviceBounds());
    base.Combine(region, op);
    SetClip(std::move(base));
}

bool Canvas::GetClipRgn(Region& region) const
{
    if (!state_.Clip)
        return false;
    region = *state_.Clip;
    return true;
}

TRect Canvas::GetClipBox() const
{
    const Region bounds(DeviceBounds());
    const TRect device = state_.Clip ? (*state_.Clip & bounds).Box() : bounds.Box();
    return DPtoLP(device);
}

MapMode Canvas::SetMapMode(MapMode mode)
{
    const MapMode old = std::exchange(state_.Map, mode);
    if (mode == MapMode::Text) {
        state_.WindowExt = {1, 1};
        state_.ViewportExt = {1, 1};
    }
    MappingChanged();
    return old;
}

TPoint Canvas::SetWindowOrg(int x, int y)
{
    const TPoint old = std::exchange(state_.WindowOrg, TPoint{x, y});
    MappingChanged();
    return old;
}

TPoint Canvas::SetViewportOrg(int x, int y)
{
    const TPoint old = std::exchange(state_.ViewportOrg, TPoint{x, y});
    MappingChanged();
    return old;
}

bool Canvas::SetWindowExt(int cx, int cy)
{
    if (cx == 0 || cy == 0)
        return false;
    if (state_.Map == MapMode::Anisotropic) {
        state_.WindowExt = {cx, cy};
        MappingChanged();
    }
    return true;
}

bool Canvas::SetViewportExt(int cx, int cy)
{
    if (cx == 0 || cy == 0)
        return false;
    if (state_.Map == MapMode::Anisotropic) {
        state_.ViewportExt = {cx, cy};
        MappingChanged();
    }
    return true;
}

TPoint Canvas::LPtoDP(TPoint p) const
{
    const State& s = state_;
    return {Scale(p.X - s.WindowOrg.X, s.ViewportExt.cx, s.WindowExt.cx) + s.ViewportOrg.X,
            Scale(p.Y - s.WindowOrg.Y, s.ViewportExt.cy, s.WindowExt.cy) + s.ViewportOrg.Y};
}

TPoint Canvas::DPtoLP(TPoint p) const
{
    const State& s = state_;
    return {Scale(p.X - s.ViewportOrg.X, s.WindowExt.cx, s.ViewportExt.cx) + s.WindowOrg.X,
            Scale(p.Y - s.ViewportOrg.Y, s.WindowExt.cy, s.ViewportExt.cy) + s.WindowOrg.Y};
}

TRect Canvas::LPtoDP(const TRect& r) const
{
    const TPoint a = LPtoDP(TPoint{r.Left, r.Top});
    const TPoint b = LPtoDP(TPoint{r.Right, r.Bottom});
    return Normalized({a.X, a.Y, b.X, b.Y});
}

TRect Canvas::DPtoLP(const TRect& r) const
{
    const TPoint a = DPtoLP(TPoint{r.Left, r.Top});
    const TPoint b = DPtoLP(TPoint{r.Right, r.Bottom});
    return Normalized({a.X, a.Y, b.X, b.Y});
}

int Canvas::SaveDC()
{
    saved_.push_back(state_);
    return static_cast<int>(saved_.size());
}

bool Canvas::RestoreDC(int level)
{
    const int count = static_cast<int>(saved_.size());
    const int index = level < 0 ? count + level : level - 1;
    if (level == 0 || index < 0 || index >= count)
        return false;
    state_ = std::move(saved_[static_cast<std::size_t>(index)]);
    saved_.resize(static_cast<std::size_t>(index));
    SetFont(state_.Font);
    ClipChanged();
    MappingChanged();
    return true;
}

}  // namespace velmoran
