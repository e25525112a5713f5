// Qt fonts and canvas; see QtCanvas.h.
#include "platform/QtCanvas.h"

#include "platform/SystemColors.h"
#include "platform/core/Text.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainter>
#include <QRawFont>

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>
#include <unordered_map>

namespace velmoran {

namespace {

struct Substitute {
    const char* Windows;
    const char* Liberation;
};
constexpr Substitute kSubstitutes[] = {
    {"arial", "Liberation Sans"},
    {"times new roman", "Liberation Serif"},
    {"courier new", "Liberation Mono"},
    {"ms sans serif", "Liberation Sans"},
};

// The order of the font caches: every field of the logical font.
auto FontKey(const LogicalFont& f)
{
    return std::tie(f.Face, f.Height, f.Weight, f.Italic, f.Underline, f.StrikeOut, f.Charset, f.Escapement);
}

}  // namespace

void InstallQtScreenFonts()
{
    // Never destroyed: cached Qt fonts must not be released after the application object.
    static QtFontEngine* engine = new QtFontEngine;
    InstallScreenFonts(*engine);
}

struct QtFontEngine::Cached {
    QFont Font;
    TextMetrics Metrics;
    std::unordered_map<char32_t, int> Advances;
    std::array<int, 256> Latin1 = MakeUnknown();  // the common characters without hashing; -1 = not asked yet

    static std::array<int, 256> MakeUnknown()
    {
        std::array<int, 256> a;
        a.fill(-1);
        return a;
    }
};

QtFontEngine::QtFontEngine() = default;
QtFontEngine::~QtFontEngine() = default;

bool QtFontEngine::FontLess::operator()(const LogicalFont& a, const LogicalFont& b) const
{
    return FontKey(a) < FontKey(b);
}

std::string QtFontEngine::ResolveFace(const std::string& face)
{
    const std::string lower = LowerCase(face);
    for (const auto& s : kSubstitutes)
        if (lower == s.Windows)
            return s.Liberation;
    return face;
}

QFont QtFontEngine::MakeQFont(const LogicalFont& lf)
{
    QFont font(QString::fromStdString(ResolveFace(lf.Face.empty() ? "Arial" : lf.Face)));
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferOutline | QFont::NoSubpixelAntialias));
    font.setWeight(static_cast<QFont::Weight>(std::clamp(lf.Weight, 1, 1000)));
    font.setItalic(lf.Italic);
    font.setUnderline(lf.Underline);
    font.setStrikeOut(lf.StrikeOut);
    int pixels = lf.Height < 0 ? -lf.Height : lf.Height;
    if (pixels == 0)
        pixels = 16;
    font.setPixelSize(pixels);
    if (lf.Height > 0) {
        // A cell height: scale so that ascent plus descent come to the height asked for.
        const QFontMetrics fm(font);
        const int cell = fm.ascent() + fm.descent();
        if (cell > 0)
            font.setPixelSize(std::max(1, static_cast<int>(std::lround(static_cast<double>(pixels) * pixels / cell))));
    }
    return font;
}

QtFontEngine::Cached& QtFontEngine::Lookup(const LogicalFont& lf)
{
    if (last_ && lf == *lastFont_)
        return *last_;
    if (prev_ && lf == *prevFont_) {
        std::swap(lastFont_, prevFont_);
        std::swap(last_, prev_);
        return *last_;
    }
    auto it = cache_.find(lf);
    if (it != cache_.end())
        return Remember(&it->first, it->second.get());
    auto c = std::make_unique<Cached>();
    c->Font = MakeQFont(lf);
    const QFontMetrics fm(c->Font);
    TextMetrics& m = c->Metrics;
    m.Ascent = fm.ascent();
    m.Descent = fm.descent();
    m.Height = m.Ascent + m.Descent;
    m.InternalLeading = std::max(0, m.Height - c->Font.pixelSize());
    m.ExternalLeading = std::max(0, fm.leading());
    m.AveCharWidth = fm.averageCharWidth();
    m.MaxCharWidth = fm.maxWidth();
    m.Charset = lf.Charset == kSymbolCharset ? kSymbolCharset : (lf.Charset == kDefaultCharset ? kAnsiCharset : lf.Charset);
    const auto added = cache_.emplace(lf, std::move(c)).first;
    return Remember(&added->first, added->second.get());
}

QtFontEngine::Cached& QtFontEngine::Remember(const LogicalFont* lf, Cached* cached)
{
    prevFont_ = lastFont_;
    prev_ = last_;
    lastFont_ = lf;
    last_ = cached;
    return *last_;
}

TextMetrics QtFontEngine::Metrics(const LogicalFont& font)
{
    return Lookup(font).Metrics;
}

const int* QtFontEngine::KnownLatin1Advances(const LogicalFont& font)
{
    return Lookup(font).Latin1.data();
}

int QtFontEngine::CharAdvance(const LogicalFont& font, char32_t ch)
{
    Cached& c = Lookup(font);
    if (ch < 256 && c.Latin1[ch] >= 0)
        return c.Latin1[ch];
    const auto it = c.Advances.find(ch);
    if (it != c.Advances.end())
        return it->second;
    const QFontMetrics fm(c.Font);
    const char32_t one[1] = {ch};
    const int advance = fm.horizontalAdvance(QString::fromUcs4(one, 1));
    if (ch < 256 && advance >= 0)
        c.Latin1[ch] = advance;
    else
        c.Advances.emplace(ch, advance);
    return advance;
}

std::vector<std::string> QtFontEngine::Families()
{
    std::vector<std::string> families;
    bool liberation[3] = {false, false, false};
    for (const QString& f : QFontDatabase::families()) {
        families.push_back(f.toStdString());
        for (int i = 0; i < 3; ++i)
            if (f.compare(QString::fromLatin1(kSubstitutes[i].Liberation), Qt::CaseInsensitive) == 0)
                liberation[i] = true;
    }
    const char* windowsNames[3] = {"Arial", "Times New Roman", "Courier New"};
    for (int i = 0; i < 3; ++i) {
        const bool present = std::any_of(families.begin(), families.end(),
                                         [&](const std::string& f) { return LowerCase(f) == kSubstitutes[i].Windows; });
        if (liberation[i] && !present)
            families.push_back(windowsNames[i]);
    }
    return families;
}

QColor ToQColor(ColorRef c)
{
    const ColorRef rgb = ColorToRGB(c);
    return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

ColorRef FromQColor(const QColor& color)
{
    return RGBRef(color.red(), color.green(), color.blue());
}

namespace {

QRect ToQRect(const TRect& r)
{
    return QRect(r.Left, r.Top, r.Width(), r.Height());
}

bool IsWide(const Pen& pen)
{
    return pen.Width > 1;
}

// Wide strokes are centred on the pixel the coordinate names.
QPointF StrokePoint(TPoint p, bool wide)
{
    return wide ? QPointF(p.X + 0.5, p.Y + 0.5) : QPointF(p.X, p.Y);
}

QPen MakeQPen(const Pen& pen)
{
    if (pen.Style == PenStyle::Null)
        return QPen(Qt::NoPen);
    QPen q(ToQColor(pen.Color));
    q.setWidth(std::max(0, pen.Width));
    Qt::PenStyle style = Qt::SolidLine;
    if (pen.Geometric || pen.Width <= 1) {
        switch (pen.Style) {
        case PenStyle::Dash: style = Qt::DashLine; break;
        case PenStyle::Dot: style = Qt::DotLine; break;
        case PenStyle::DashDot: style = Qt::DashDotLine; break;
        case PenStyle::DashDotDot: style = Qt::DashDotDotLine; break;
        default: break;
        }
    }
    q.setStyle(style);
    if (pen.Geometric) {
        q.setCapStyle(pen.Cap == PenCap::Flat ? Qt::FlatCap : pen.Cap == PenCap::Square ? Qt::SquareCap : Qt::RoundCap);
        q.setJoinStyle(pen.Join == PenJoin::Miter ? Qt::MiterJoin : pen.Join == PenJoin::Bevel ? Qt::BevelJoin : Qt::RoundJoin);
    } else {
        // A thin line leaves out its end pixel; a wide one has round ends.
        q.setCapStyle(pen.Width <= 1 ? Qt::FlatCap : Qt::RoundCap);
        q.setJoinStyle(Qt::RoundJoin);
    }
    return q;
}

bool IsSolidLike(const Pen& pen)
{
    return pen.Style == PenStyle::Solid || pen.Style == PenStyle::InsideFrame || (!pen.Geometric && pen.Width > 1);
}

double AngleOf(TPoint p, double cx, double cy)
{
    return std::atan2(-(p.Y - cy), p.X - cx) * 180.0 / M_PI;
}

struct FontLess {
    bool operator()(const LogicalFont& a, const LogicalFont& b) const { return FontKey(a) < FontKey(b); }
};

// A face as the canvas draws it.
struct CanvasFace {
    QFont Font;
    QRawFont Raw;
    double UnderlinePos = 1;
    double StrikeOutPos = 4;
    double LineWidth = 1;
    // For text kept as text (recorded pages): the face without its lines (the canvas draws
    // them) and without shaping (no ligatures: one glyph per character at its own advance),
    // and the advances Qt lays it out with.
    QFont Plain;
    std::unordered_map<char32_t, int> PlainAdvances;

    int PlainAdvance(char32_t ch)
    {
        const auto it = PlainAdvances.find(ch);
        if (it != PlainAdvances.end())
            return it->second;
        const char32_t one[1] = {ch};
        const int advance = QFontMetrics(Plain).horizontalAdvance(QString::fromUcs4(one, 1));
        PlainAdvances.emplace(ch, advance);
        return advance;
    }
};

}  // namespace

struct QtCanvas::FaceCache {
    using Face = CanvasFace;
    std::map<LogicalFont, Face, FontLess> Faces;

    Face& Get(const LogicalFont& lf)
    {
        auto it = Faces.find(lf);
        if (it != Faces.end())
            return it->second;
        Face f;
        f.Font = QtFontEngine::MakeQFont(lf);
        f.Raw = QRawFont::fromFont(f.Font);
        const QFontMetricsF fm(f.Font);
        f.UnderlinePos = std::round(fm.underlinePos());
        f.StrikeOutPos = std::round(fm.strikeOutPos());
        f.LineWidth = std::max(1.0, std::round(fm.lineWidth()));
        f.Plain = f.Font;
        f.Plain.setUnderline(false);
        f.Plain.setStrikeOut(false);
        f.Plain.setStyleStrategy(QFont::StyleStrategy(f.Plain.styleStrategy() | QFont::PreferNoShaping));
        return Faces.emplace(lf, std::move(f)).first->second;
    }
};

QtCanvas::QtCanvas(QPainter* painter)
    : Canvas(ScreenFonts()), painter_(painter), faces_(std::make_unique<FaceCache>())
{
    if (painter_) {
        base_ = painter_->worldTransform();
        if (painter_->hasClipping())
            deviceClip_ = painter_->clipRegion();
    }
}

QtCanvas::~QtCanvas()
{
    // The painter goes back to its own transform and clip.
    if (!painter_ || !painter_->isActive())
        return;
    painter_->setWorldTransform(base_);
    if (deviceClip_)
        painter_->setClipRegion(*deviceClip_);
    else
        painter_->setClipping(false);
    painter_->setBackgroundMode(Qt::TransparentMode);
}

void QtCanvas::SetFont(const LogicalFont& font)
{
    Canvas::SetFont(font);
    if (painter_)
        painter_->setFont(faces_->Get(font).Font);
}

void QtCanvas::SetDeviceCaps(int index, int value)
{
    caps_[index] = value;
}

int QtCanvas::GetDeviceCaps(int index) const
{
    const auto it = caps_.find(index);
    if (it != caps_.end())
        return it->second;
    const QPaintDevice* device = painter_ ? painter_->device() : nullptr;
    if (!device)
        return Canvas::GetDeviceCaps(index);
    switch (index) {
    case LOGPIXELSX: return device->logicalDpiX();
    case LOGPIXELSY: return device->logicalDpiY();
    case BITSPIXEL: return device->depth() == 1 ? 1 : std::min(device->depth(), 24);
    case PLANES: return 1;
    case HORZRES:
    case PHYSICALWIDTH: return device->width();
    case VERTRES:
    case PHYSICALHEIGHT: return device->height();
    default: return 0;
    }
}

TRect QtCanvas::DeviceBounds() const
{
    if (!painter_ || !painter_->device())
        return Canvas::DeviceBounds();
    const QPaintDevice* device = painter_->device();
    QRect r = base_.inverted().mapRect(QRect(0, 0, device->width(), device->height()));
    if (deviceClip_)
        r &= deviceClip_->boundingRect();
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

void QtCanvas::ClipChanged()
{
    if (!painter_)
        return;
    const QTransform current = painter_->worldTransform();
    painter_->setWorldTransform(base_);
    Region clip;
    if (GetClipRgn(clip)) {
        QRegion r = clip.ToQRegion();
        if (deviceClip_)
            r &= *deviceClip_;
        painter_->setClipRegion(r);
    } else if (deviceClip_) {
        painter_->setClipRegion(*deviceClip_);
    } else {
        // Not setClipping(false): after it the raster engine ignores the next clip region set.
        painter_->setClipRegion(QRegion(), Qt::NoClip);
    }
    painter_->setWorldTransform(current);
}

void QtCanvas::MappingChanged()
{
    if (!painter_)
        return;
    const State& s = CurrentState();
    const double sx = static_cast<double>(s.ViewportExt.cx) / s.WindowExt.cx;
    const double sy = static_cast<double>(s.ViewportExt.cy) / s.WindowExt.cy;
    const QTransform mapping(sx, 0, 0, sy, s.ViewportOrg.X - s.WindowOrg.X * sx, s.ViewportOrg.Y - s.WindowOrg.Y * sy);
    painter_->setWorldTransform(mapping * base_);
}

void QtCanvas::UsePen()
{
    const State& s = CurrentState();
    const QPen pen = MakeQPen(s.SelectedPen);
    painter_->setPen(pen);
    // The gaps of a styled thin line take the background colour in opaque mode.
    const bool styled = pen.style() != Qt::SolidLine && pen.style() != Qt::NoPen;
    if (styled && s.Background == BkMode::Opaque) {
        painter_->setBackgroundMode(Qt::OpaqueMode);
        painter_->setBackground(ToQColor(s.BkColor));
    } else {
        painter_->setBackgroundMode(Qt::TransparentMode);
    }
}

bool QtCanvas::OnePixelIsOneUnit() const
{
    const State& s = CurrentState();
    return s.ViewportExt.cx == s.WindowExt.cx && s.ViewportExt.cy == s.WindowExt.cy && base_.isIdentity();
}

QBrush QtCanvas::CurrentBrush() const
{
    const State& s = CurrentState();
    const Brush& b = s.SelectedBrush;
    if (b.Style == BrushStyle::Null)
        return QBrush(Qt::NoBrush);
    if (b.Style == BrushStyle::Solid)
        return QBrush(ToQColor(b.Color));
    QImage tile(8, 8, QImage::Format_RGB32);
    const QRgb set = ToQColor(b.Color).rgb();
    const QRgb clear = ToQColor(b.BackColor).rgb();
    for (int y = 0; y < 8; ++y) {
        const unsigned row = static_cast<unsigned>(b.Pattern >> (8 * (7 - y))) & 0xFF;
        for (int x = 0; x < 8; ++x)
            tile.setPixel(x, y, (row & (0x80u >> x)) ? set : clear);
    }
    QBrush brush(tile);
    // The pattern stands still in device units: from the origin through the inverse mapping.
    brush.setTransform(QTransform::fromTranslate(s.BrushOrigin.X, s.BrushOrigin.Y) * base_ *
                       painter_->worldTransform().inverted());
    return brush;
}

void QtCanvas::UseBrush()
{
    painter_->setBrush(CurrentBrush());
}

void QtCanvas::DoPatternFill(const TRect& rect)
{
    if (painter_)
        painter_->fillRect(ToQRect(rect), CurrentBrush());
}

void QtCanvas::DoLine(TPoint from, TPoint to)
{
    if (!painter_)
        return;
    const Pen& pen = CurrentState().SelectedPen;
    if (pen.Style == PenStyle::Null)
        return;
    // Thin solid lines along an axis: exactly the pixels from the start up to the end.
    if ((pen.Width == 1 || (pen.Width <= 0 && OnePixelIsOneUnit())) && IsSolidLike(pen) &&
        (from.X == to.X || from.Y == to.Y)) {
        if (from == to)
            return;
        const QColor color = ToQColor(pen.Color);
        if (from.Y == to.Y)
            painter_->fillRect(QRect(std::min(from.X, to.X + 1), from.Y, std::abs(to.X - from.X), 1), color);
        else
            painter_->fillRect(QRect(from.X, std::min(from.Y, to.Y + 1), 1, std::abs(to.Y - from.Y)), color);
        return;
    }
    UsePen();
    painter_->drawLine(StrokePoint(from, IsWide(pen)), StrokePoint(to, IsWide(pen)));
}

void QtCanvas::DoPolyline(const std::vector<TPoint>& points)
{
    if (!painter_)
        return;
    const bool wide = IsWide(CurrentState().SelectedPen);
    QPolygonF polygon;
    for (const TPoint& p : points)
        polygon << StrokePoint(p, wide);
    UsePen();
    painter_->drawPolyline(polygon);
}

void QtCanvas::DoPolygon(const std::vector<TPoint>& points)
{
    if (!painter_)
        return;
    const State& s = CurrentState();
    const Qt::FillRule rule = s.PolyFill == PolyFillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill;
    QPolygon polygon;
    for (const TPoint& p : points)
        polygon << QPoint(p.X, p.Y);
    if (s.SelectedBrush.Style != BrushStyle::Null) {
        painter_->setPen(Qt::NoPen);
        UseBrush();
        painter_->drawPolygon(polygon, rule);
    }
    if (s.SelectedPen.Style != PenStyle::Null) {
        const bool wide = IsWide(s.SelectedPen);
        QPolygonF outline;
        for (const TPoint& p : points)
            outline << StrokePoint(p, wide);
        UsePen();
        painter_->setBrush(Qt::NoBrush);
        painter_->drawPolygon(outline, rule);
    }
}

void QtCanvas::DoRectangle(const TRect& r)
{
    if (!painter_)
        return;
    const State& s = CurrentState();
    const Pen& pen = s.SelectedPen;
    const bool fill = s.SelectedBrush.Style != BrushStyle::Null;
    if (pen.Style == PenStyle::Null) {
        if (fill && r.Width() > 1 && r.Height() > 1)
            painter_->fillRect(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1), CurrentBrush());
        return;
    }
    if (fill)
        painter_->fillRect(ToQRect(r), CurrentBrush());
    if (IsSolidLike(pen) && (pen.Width > 0 || OnePixelIsOneUnit())) {
        // The frame as four bands, centred on the outermost pixels (inside them for an inside frame).
        const int w = std::max(1, pen.Width);
        const int o = pen.Style == PenStyle::InsideFrame ? 0 : w / 2;
        const int left = r.Left - o;
        const int top = r.Top - o;
        const int right = pen.Style == PenStyle::InsideFrame ? r.Right - w : r.Right - 1 - o;
        const int bottom = pen.Style == PenStyle::InsideFrame ? r.Bottom - w : r.Bottom - 1 - o;
        const QColor color = ToQColor(pen.Color);
        painter_->fillRect(QRect(left, top, right + w - left, w), color);
        painter_->fillRect(QRect(left, bottom, right + w - left, w), color);
        painter_->fillRect(QRect(left, top, w, bottom + w - top), color);
        painter_->fillRect(QRect(right, top, w, bottom + w - top), color);
        return;
    }
    UsePen();
    painter_->setBrush(Qt::NoBrush);
    painter_->drawRect(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1));
}

void QtCanvas::DoFillRect(const TRect& rect, ColorRef rgb)
{
    if (painter_)
        painter_->fillRect(ToQRect(rect), ToQColor(rgb));
}

void QtCanvas::DoEllipse(const TRect& r)
{
    if (!painter_)
        return;
    UsePen();
    UseBrush();
    painter_->drawEllipse(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1));
}

void QtCanvas::DoArc(const TRect& r, TPoint start, TPoint end)
{
    if (!painter_)
        return;
    const double cx = (r.Left + r.Right) / 2.0;
    const double cy = (r.Top + r.Bottom) / 2.0;
    const double a0 = AngleOf(start, cx, cy);
    double span = AngleOf(end, cx, cy) - a0;
    while (span <= 0)
        span += 360;
    UsePen();
    painter_->setBrush(Qt::NoBrush);
    painter_->drawArc(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1), static_cast<int>(std::lround(a0 * 16)),
                      static_cast<int>(std::lround(span * 16)));
}

void QtCanvas::DoFocusRect(const TRect& r)
{
    if (!painter_)
        return;
    painter_->save();
    const QPaintEngine* engine = painter_->paintEngine();
    QColor color(Qt::black);
    if (engine && engine->hasFeature(QPaintEngine::RasterOpModes)) {
        painter_->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        color = Qt::white;
    }
    // Every other pixel of the frame, each one once.
    for (int x = r.Left; x < r.Right; x += 2) {
        painter_->fillRect(QRect(x, r.Top, 1, 1), color);
        if (r.Bottom - 1 > r.Top)
            painter_->fillRect(QRect(x + (r.Height() - 1) % 2, r.Bottom - 1, 1, 1), color);
    }
    for (int y = r.Top + 2; y < r.Bottom - 1; y += 2) {
        painter_->fillRect(QRect(r.Left, y, 1, 1), color);
        if (r.Right - 1 > r.Left)
            painter_->fillRect(QRect(r.Right - 1, y + (r.Width() - 1) % 2, 1, 1), color);
    }
    painter_->restore();
}

namespace {

// Calls visit(index, units, x, advance) for every character of a text output: its first UTF-16
// unit, its number of units (2 for a surrogate pair), its place and its advance.
template <typename Visit>
void VisitCharacters(const TextOutput& t, Visit&& visit)
{
    int x = t.Left;
    for (std::size_t i = 0; i < t.Text.size(); ++i) {
        const char16_t c = t.Text[i];
        const bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < t.Text.size() && t.Text[i + 1] >= 0xDC00 &&
                          t.Text[i + 1] <= 0xDFFF;
        const int units = pair ? 2 : 1;
        const int advance = t.Advances[i] + (pair ? t.Advances[i + 1] : 0);
        visit(i, units, x, advance);
        x = ExtentSum(x, advance);
        i += static_cast<std::size_t>(units - 1);
    }
}

void DrawGlyphs(QPainter& painter, const TextOutput& t, const CanvasFace& face)
{
    QList<quint32> glyphs;
    QList<QPointF> positions;
    glyphs.reserve(static_cast<qsizetype>(t.Text.size()));
    positions.reserve(static_cast<qsizetype>(t.Text.size()));
    std::vector<std::pair<int, QString>> fallbacks;
    VisitCharacters(t, [&](std::size_t i, int units, int x, int) {
        const char16_t c = t.Text[i];
        if (c <= 0x20)
            return;
        const QChar chars[2] = {QChar(c), QChar(units == 2 ? t.Text[i + 1] : 0)};
        quint32 glyph = 0;
        int count = 1;
        if (face.Raw.isValid() && face.Raw.glyphIndexesForChars(chars, units, &glyph, &count) && count == 1 && glyph != 0) {
            glyphs.push_back(glyph);
            positions.push_back(QPointF(x, 0));
        } else {
            fallbacks.emplace_back(x, QString(chars, units));
        }
    });
    if (!glyphs.isEmpty()) {
        QGlyphRun run;
        run.setRawFont(face.Raw);
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        painter.drawGlyphRun(QPointF(0, t.Baseline), run);
    }
    if (!fallbacks.empty()) {
        painter.setFont(face.Font);
        for (const auto& [fx, text] : fallbacks)
            painter.drawText(QPointF(fx, t.Baseline), text);
    }
}

void DrawPlainText(QPainter& painter, const TextOutput& t, CanvasFace& face)
{
    // A recorded page keeps a glyph run as outlines (some 700 bytes a character); as text it keeps
    // the characters and the font once per piece. A piece is a stretch of characters standing at
    // the face's own advances, so that laying it out again on replay puts every character where the
    // canvas put it; a character moved by letter spacing or justification ends its piece.
    painter.setFont(face.Plain);
    QString piece;
    int pieceX = 0;
    auto flush = [&] {
        if (!piece.isEmpty())
            painter.drawText(QPointF(pieceX, t.Baseline), piece);
        piece.clear();
    };
    VisitCharacters(t, [&](std::size_t i, int units, int x, int advance) {
        const char16_t c = t.Text[i];
        if (c < 0x20 || (c == 0x20 && piece.isEmpty())) {
            flush();
            return;
        }
        const char32_t code = units == 2 ? QChar::surrogateToUcs4(t.Text[i], t.Text[i + 1]) : c;
        // From Hebrew on, scripts are reordered or joined when laid out: each character stands alone.
        const bool alone = code >= 0x0590;
        if (alone)
            flush();
        if (piece.isEmpty())
            pieceX = x;
        piece.append(QStringView(&t.Text[i], units));
        if (alone || advance != face.PlainAdvance(code))
            flush();
    });
    flush();
}

}  // namespace

void QtCanvas::DoText(const TextOutput& t)
{
    if (!painter_)
        return;
    const State& s = CurrentState();
    FaceCache::Face& face = faces_->Get(s.Font);
    const bool clipped = (t.Options & ETO_CLIPPED) != 0;
    const bool rotated = s.Font.Escapement % 3600 != 0;
    if (clipped || rotated)
        painter_->save();
    if (clipped)
        painter_->setClipRect(ToQRect(*t.OptionRect), Qt::IntersectClip);
    if (rotated) {
        // Counter-clockwise on the screen, about the reference point; everything below (cell,
        // glyphs, underline) is laid out unrotated and turns with the transform.
        painter_->translate(t.Reference.X, t.Reference.Y);
        painter_->rotate(-s.Font.Escapement / 10.0);
        painter_->translate(-t.Reference.X, -t.Reference.Y);
    }
    if (t.Options & ETO_OPAQUE)
        painter_->fillRect(ToQRect(*t.OptionRect), ToQColor(s.BkColor));
    const int top = t.Baseline - t.Metrics.Ascent;
    if (s.Background == BkMode::Opaque && t.Width > 0)
        painter_->fillRect(QRect(t.Left, top, t.Width, t.Metrics.Height), ToQColor(s.BkColor));
    painter_->setBackgroundMode(Qt::TransparentMode);

    const QColor color = ToQColor(s.TextColor);
    painter_->setPen(color);
    if (KeepsTextAsText())
        DrawPlainText(*painter_, t, face);
    else
        DrawGlyphs(*painter_, t, face);
    // Underline and strike-out run along the whole extent, spacing included.
    const int lineWidth = static_cast<int>(face.LineWidth);
    if (s.Font.Underline && t.Width > 0)
        painter_->fillRect(QRect(t.Left, t.Baseline + static_cast<int>(face.UnderlinePos), t.Width, lineWidth), color);
    if (s.Font.StrikeOut && t.Width > 0)
        painter_->fillRect(QRect(t.Left, t.Baseline - static_cast<int>(face.StrikeOutPos), t.Width, lineWidth), color);
    if (clipped || rotated)
        painter_->restore();
}

bool QtCanvas::KeepsTextAsText() const
{
    const QPaintDevice* device = painter_->device();
    return device && device->devType() == QInternal::Picture;
}

void QtCanvas::DoStretchBlt(const TRect& destination, const QImage& image, const QImage* mask, const TRect& source)
{
    if (!painter_)
        return;
    const bool smooth = CurrentState().Stretch == StretchMode::Halftone;
    const bool oldSmooth = painter_->testRenderHint(QPainter::SmoothPixmapTransform);
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    const QRectF target(destination.Left, destination.Top, destination.Width(), destination.Height());
    const QRectF part(source.Left, source.Top, source.Width(), source.Height());
    if (mask)
        painter_->drawImage(target, ComposeMask(image, *mask), part);
    else
        painter_->drawImage(target, image, part);
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, oldSmooth);
}

QImage ComposeMask(const QImage& image, const QImage& mask)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (mask.isNull())
        return result;
    const QImage m = mask.convertToFormat(QImage::Format_Grayscale8);
    const int w = std::min(result.width(), m.width());
    const int h = std::min(result.height(), m.height());
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        const uchar* bits = m.constScanLine(y);
        for (int x = 0; x < w; ++x)
            if (bits[x] >= 128)
                line[x] = 0;
    }
    return result;
}

}  // namespace velmoran
