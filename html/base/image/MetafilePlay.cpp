// Playing a metafile onto a canvas: the drawing state the records keep (objects, colours, modes,
// mapping, the current position, saved states), the mapping of the records' coordinates into
// the target rectangle, what each drawing costs against the draw budget, and the records of both
// formats.
#include "html/base/image/Metafile.h"

#include "html/base/image/DibDecode.h"
#include "html/base/image/MetafileRecords.h"
#include "platform/HatchBrush.h"
#include "platform/core/Cp1252.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace velmoran {

using namespace metafile;

namespace {

// Bounds that keep a damaged or hostile file cheap.
constexpr std::size_t kMaxObjects = 65536;
constexpr std::size_t kMaxSavedStates = 1000;

// Mapping modes as the records number them.
enum : int {
    kMmText = 1,
    kMmLoMetric = 2,
    kMmHiMetric = 3,
    kMmLoEnglish = 4,
    kMmHiEnglish = 5,
    kMmTwips = 6,
    kMmIsotropic = 7,
    kMmAnisotropic = 8
};

enum : int { kBsSolid = 0, kBsNull = 1, kBsHatched = 2 };
enum : int { kPsNull = 5 };

struct TPlayObject {
    enum Kind { None, PenObject, BrushObject, FontObject, Other } Kind = None;
    int Style = 0;
    double Width = 0;  // pen width, logical units (0: one pixel)
    ColorRef Color = 0;
    int Hatch = 0;
    LogicalFont Font;  // height in logical units (0: the default size)
};

struct TDcState {
    int MapMode = kMmText;
    double WinOrgX = 0, WinOrgY = 0, WinExtX = 1, WinExtY = 1;
    double VpOrgX = 0, VpOrgY = 0, VpExtX = 1, VpExtY = 1;
    TPlayObject Pen{TPlayObject::PenObject, 0, 0, 0, 0, {}};
    TPlayObject Brush{TPlayObject::BrushObject, kBsSolid, 0, 0xFFFFFF, 0, {}};
    TPlayObject Font{TPlayObject::FontObject, 0, 0, 0, 0, LogicalFont{"Arial", 0}};
    ColorRef TextColor = 0;
    ColorRef BkColor = 0xFFFFFF;
    BkMode Background = BkMode::Opaque;
    unsigned TextAlign = 0;
    PolyFillMode Fill = PolyFillMode::Alternate;
    double PosX = 0, PosY = 0;
};

ColorRef Colour(std::uint32_t value)
{
    return value & 0xFFFFFF;
}

int ClampToExtent(double v)
{
    if (!std::isfinite(v))
        return 0;
    return static_cast<int>(std::lround(std::clamp(v, -double(kMaxExtent), double(kMaxExtent))));
}

// The area two rectangles share, as a double (the extents reach 2^29).
double SharedArea(const TRect& a, const TRect& b)
{
    const double width = double(std::min(a.Right, b.Right)) - std::max(a.Left, b.Left);
    const double height = double(std::min(a.Bottom, b.Bottom)) - std::max(a.Top, b.Top);
    return width > 0 && height > 0 ? width * height : 0;
}

// The smallest rectangle holding the points.
TRect Bounds(const std::vector<TPoint>& points)
{
    if (points.empty())
        return {};
    TRect r{points[0].X, points[0].Y, points[0].X, points[0].Y};
    for (const TPoint& p : points) {
        r.Left = std::min(r.Left, p.X);
        r.Top = std::min(r.Top, p.Y);
        r.Right = std::max(r.Right, p.X);
        r.Bottom = std::max(r.Bottom, p.Y);
    }
    return r;
}

double Length(TPoint a, TPoint b)
{
    return std::abs(double(b.X) - a.X) + std::abs(double(b.Y) - a.Y);
}

// The cost of drawings in pixels of the screen's resolution, charged against a budget. What can
// be seen is the canvas's clip box; a printer's pixels count by their share of a screen pixel.
class TDrawBudget {
public:
    TDrawBudget(const Canvas& canvas, double budget) : visible_(canvas.GetClipBox()), left_(budget)
    {
        const double x = kPixelsPerInch / double(std::max(1, canvas.GetDeviceCaps(LOGPIXELSX)));
        const double y = kPixelsPerInch / double(std::max(1, canvas.GetDeviceCaps(LOGPIXELSY)));
        area_ = x * y;
        length_ = (x + y) / 2;
    }
    // Charges a drawing within these bounds that fills them or not, with an outline of that
    // length and width; false (and nothing charged) when the budget cannot pay for it.
    bool Charge(const TRect& bounds, bool fills, double outline, double width)
    {
        const double cost = (fills ? SharedArea(Normalized(bounds), visible_) * area_ : 0) +
                            outline * std::max(1.0, width) * length_;
        if (cost > left_)
            return false;
        left_ -= cost;
        return true;
    }

private:
    TRect visible_;
    double left_;
    double area_ = 1;
    double length_ = 1;
};

class TPlayer {
public:
    TPlayer(Canvas& canvas, const TMetafile& metafile, const TRect& target, std::size_t recordBudget,
            double drawBudget, double bitmapBudget)
        : canvas_(canvas), m_(metafile), target_(target), recordsLeft_(recordBudget), draws_(canvas, drawBudget),
          bitmapPixelsLeft_(bitmapBudget)
    {
        if (m_.PlaceableMapping) {
            dc_.MapMode = kMmAnisotropic;
            dc_.WinOrgX = m_.WindowLeft;
            dc_.WinOrgY = m_.WindowTop;
            dc_.WinExtX = dc_.VpExtX = m_.WindowWidth;
            dc_.WinExtY = dc_.VpExtY = m_.WindowHeight;
        }
    }

    void Play()
    {
        const TBytes file(m_.Bytes.data(), m_.Bytes.size());
        if (m_.Kind == TMetafileKind::Wmf)
            PlayWmf(file);
        else
            PlayEmf(file);
    }

private:
    // Counts a record against the budget; false once it is spent, or once a drawing was refused.
    bool TakeRecord()
    {
        if (recordsLeft_ == 0 || spent_)
            return false;
        --recordsLeft_;
        return true;
    }
    // Charges a drawing against the draw budget; once one is refused, the play ends.
    bool Afford(const TRect& bounds, bool fills, double outline, double width = 1)
    {
        if (!spent_ && draws_.Charge(bounds, fills, outline, width))
            return true;
        spent_ = true;
        return false;
    }
    // Charges the pixels a bitmap decodes to against their budget, before it is decoded; once one
    // is refused, the play ends.
    bool AffordDecoding(const QSize& size)
    {
        const double pixels = double(size.width()) * size.height();
        if (!spent_ && pixels <= bitmapPixelsLeft_) {
            bitmapPixelsLeft_ -= pixels;
            return true;
        }
        spent_ = true;
        return false;
    }
    bool Fills() const { return dc_.Brush.Style != kBsNull; }
    double PenWidth() const { return dc_.Pen.Style == kPsNull ? 0 : LengthX(dc_.Pen.Width); }
    static double Perimeter(const TRect& r) { return 2 * (std::abs(double(r.Width())) + std::abs(double(r.Height()))); }

    // --- mapping ---

    // The scale of logical units to the reference device's pixels.
    void LogicalScale(double& sx, double& sy) const
    {
        const auto metric = [&](double mmPerUnit) {
            sx = mmPerUnit * m_.PixelsPerMmX;
            sy = -mmPerUnit * m_.PixelsPerMmY;
        };
        switch (dc_.MapMode) {
        case kMmLoMetric: metric(0.1); return;
        case kMmHiMetric: metric(0.01); return;
        case kMmLoEnglish: metric(0.254); return;
        case kMmHiEnglish: metric(0.0254); return;
        case kMmTwips: metric(25.4 / 1440); return;
        case kMmIsotropic:
        case kMmAnisotropic: {
            sx = dc_.WinExtX != 0 ? dc_.VpExtX / dc_.WinExtX : 1;
            sy = dc_.WinExtY != 0 ? dc_.VpExtY / dc_.WinExtY : 1;
            if (dc_.MapMode == kMmIsotropic) {
                const double s = std::min(std::abs(sx), std::abs(sy));
                sx = std::copysign(s, sx);
                sy = std::copysign(s, sy);
            }
            return;
        }
        default:
            sx = sy = 1;
            return;
        }
    }
    // The scale of the reference device's pixels to the target.
    double FrameScaleX() const { return m_.FrameWidth != 0 ? target_.Width() / m_.FrameWidth : 0; }
    double FrameScaleY() const { return m_.FrameHeight != 0 ? target_.Height() / m_.FrameHeight : 0; }

    TPoint Map(double x, double y) const
    {
        double sx = 1, sy = 1;
        LogicalScale(sx, sy);
        const double rx = (x - dc_.WinOrgX) * sx + dc_.VpOrgX;
        const double ry = (y - dc_.WinOrgY) * sy + dc_.VpOrgY;
        return {ClampToExtent(target_.Left + (rx - m_.FrameLeft) * FrameScaleX()),
                ClampToExtent(target_.Top + (ry - m_.FrameTop) * FrameScaleY())};
    }
    // A logical length along x (pen widths) or y (font heights) in target pixels.
    double LengthX(double v) const
    {
        double sx = 1, sy = 1;
        LogicalScale(sx, sy);
        return std::abs(v * sx * FrameScaleX());
    }
    double LengthY(double v) const
    {
        double sx = 1, sy = 1;
        LogicalScale(sx, sy);
        return std::abs(v * sy * FrameScaleY());
    }
    TRect MapRect(double left, double top, double right, double bottom) const
    {
        const TPoint a = Map(left, top), b = Map(right, bottom);
        return {std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y)};
    }

    // --- what the canvas draws with ---

    void UsePen()
    {
        const TPlayObject& p = dc_.Pen;
        Pen pen;
        pen.Style = p.Style >= 0 && p.Style <= 6 ? static_cast<PenStyle>(p.Style) : PenStyle::Solid;
        pen.Width = p.Width <= 0 ? 0 : std::max(1, ClampToExtent(LengthX(p.Width)));
        pen.Color = p.Color;
        pen.Geometric = pen.Width > 1;
        canvas_.SelectPen(pen);
    }
    void UseBrush()
    {
        const TPlayObject& b = dc_.Brush;
        if (b.Style == kBsNull)
            canvas_.SelectBrush(Brush{BrushStyle::Null, 0});
        else if (b.Style == kBsHatched)
            canvas_.SelectBrush(HatchBrush(b.Hatch, b.Color, dc_.BkColor));
        else
            canvas_.SelectBrush(Brush{BrushStyle::Solid, b.Color});
        canvas_.SetPolyFillMode(dc_.Fill);
    }
    void UseFont()
    {
        LogicalFont font = dc_.Font.Font;
        font.Height = font.Height == 0 ? -12 : (font.Height < 0 ? -1 : 1) * std::max(1, ClampToExtent(LengthY(font.Height)));
        // Turned text is drawn level.
        font.Escapement = 0;
        canvas_.SetFont(font);
        canvas_.SetTextColor(dc_.TextColor);
        canvas_.SetBkColor(dc_.BkColor);
        canvas_.SetBkMode(dc_.Background);
        canvas_.SetTextAlign(dc_.TextAlign & ~TA_UPDATECP);
    }

    // --- drawing ---

    void LineTo(double x, double y)
    {
        const TPoint from = Map(dc_.PosX, dc_.PosY), to = Map(x, y);
        if (!Afford({}, false, Length(from, to), PenWidth()))
            return;
        UsePen();
        canvas_.MoveTo(from.X, from.Y);
        canvas_.LineTo(to.X, to.Y);
        dc_.PosX = x;
        dc_.PosY = y;
    }
    void Poly(const std::vector<TPoint>& points, bool closed)
    {
        double outline = points.empty() || !closed ? 0 : Length(points.back(), points.front());
        for (std::size_t i = 1; i < points.size(); ++i)
            outline += Length(points[i - 1], points[i]);
        if (!Afford(Bounds(points), closed && Fills(), outline, PenWidth()))
            return;
        UsePen();
        if (closed) {
            UseBrush();
            canvas_.Polygon(points);
        } else {
            canvas_.Polyline(points);
        }
    }
    void Shape(bool ellipse, double left, double top, double right, double bottom)
    {
        const TRect r = MapRect(left, top, right, bottom);
        if (!Afford(r, Fills(), Perimeter(r), PenWidth()))
            return;
        UsePen();
        UseBrush();
        if (ellipse)
            canvas_.Ellipse(r);
        else
            canvas_.Rectangle(r);
    }
    void Arc(double left, double top, double right, double bottom, double xs, double ys, double xe, double ye)
    {
        const TRect r = MapRect(left, top, right, bottom);
        if (!Afford(r, false, Perimeter(r), PenWidth()))
            return;
        UsePen();
        canvas_.Arc(r, Map(xs, ys), Map(xe, ye));
    }
    void Text(double x, double y, const std::u16string& text, unsigned options, const TRect* opaque)
    {
        UseFont();
        if ((dc_.TextAlign & TA_UPDATECP) != 0) {
            x = dc_.PosX;
            y = dc_.PosY;
        }
        const TPoint at = Map(x, y);
        const bool fillsBox = opaque && (options & ETO_OPAQUE) != 0;
        // The text lies on either side of its point by its alignment: both sides are charged.
        const TextSize size = canvas_.TextExtent(text);
        const TRect box{ExtentSum(at.X, -size.cx), ExtentSum(at.Y, -size.cy), ExtentSum(at.X, size.cx),
                        ExtentSum(at.Y, size.cy)};
        if ((fillsBox && !Afford(*opaque, true, 0)) || !Afford(box, true, double(size.cy) * text.size()))
            return;
        if (fillsBox)
            canvas_.FillRect(*opaque, dc_.BkColor);
        canvas_.TextOut(at.X, at.Y, text);
    }
    // A bitmap's source rectangle (in the bitmap's own rows, counted from its bottom when it is
    // stored bottom-up) stretched into the destination. The header in `info` tells the size the
    // bitmap decodes to, which is charged with the destination before `decode` is asked for it: a
    // huge bitmap drawn into a pixel costs its decoding, not the pixel.
    template <typename Decode>
    void Bitmap(const TBytes& info, const Decode& decode, double xSrc, double ySrc, double wSrc, double hSrc,
                double xDst, double yDst, double wDst, double hDst)
    {
        const QSize size = DibSize(info.Data(), info.Size());
        if (size.isEmpty())
            return;
        const bool bottomUp = info.U32(0) == 12 ? info.S16(6) > 0 : info.S32(8) > 0;
        const double top = bottomUp ? size.height() - ySrc - hSrc : ySrc;
        TRect source{ClampToExtent(xSrc), ClampToExtent(top), ClampToExtent(xSrc + wSrc), ClampToExtent(top + hSrc)};
        source.Left = std::clamp(source.Left, 0, size.width());
        source.Right = std::clamp(source.Right, 0, size.width());
        source.Top = std::clamp(source.Top, 0, size.height());
        source.Bottom = std::clamp(source.Bottom, 0, size.height());
        const TRect destination = MapRect(xDst, yDst, xDst + wDst, yDst + hDst);
        if (source.IsEmpty() || !Afford(destination, true, 0) || !AffordDecoding(size))
            return;
        const QImage image = decode();
        if (!image.isNull())
            canvas_.StretchBlt(destination, image, &source);
    }

    // --- state ---

    void Select(const TPlayObject& object)
    {
        switch (object.Kind) {
        case TPlayObject::PenObject: dc_.Pen = object; break;
        case TPlayObject::BrushObject: dc_.Brush = object; break;
        case TPlayObject::FontObject: dc_.Font = object; break;
        default: break;
        }
    }
    // The old format puts a new object in the first free place of its table.
    void AddWmfObject(const TPlayObject& object)
    {
        for (TPlayObject& slot : objects_)
            if (slot.Kind == TPlayObject::None) {
                slot = object;
                return;
            }
        if (objects_.size() < kMaxObjects)
            objects_.push_back(object);
    }
    void PutEmfObject(std::uint32_t index, const TPlayObject& object)
    {
        if (index >= kMaxObjects)
            return;
        if (objects_.size() <= index)
            objects_.resize(index + 1);
        objects_[index] = object;
    }
    void SelectObject(std::uint32_t index)
    {
        if (index < objects_.size())
            Select(objects_[index]);
    }
    void DeleteObject(std::uint32_t index)
    {
        if (index < objects_.size())
            objects_[index] = TPlayObject{};
    }
    void SelectStockObject(std::uint32_t stock)
    {
        static constexpr ColorRef kGreys[] = {0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040, 0x000000};
        TPlayObject object;
        if (stock <= 4) {
            object = {TPlayObject::BrushObject, kBsSolid, 0, kGreys[stock], 0, {}};
        } else if (stock == 5) {
            object = {TPlayObject::BrushObject, kBsNull, 0, 0, 0, {}};
        } else if (stock == 6 || stock == 7) {
            object = {TPlayObject::PenObject, 0, 0, stock == 6 ? 0xFFFFFFu : 0u, 0, {}};
        } else if (stock == 8) {
            object = {TPlayObject::PenObject, kPsNull, 0, 0, 0, {}};
        } else if (stock >= 10 && stock <= 17) {
            object = {TPlayObject::FontObject, 0, 0, 0, 0, LogicalFont{stock == 10 || stock == 11 || stock == 16 ? "Courier New" : "Arial", 0}};
        }
        Select(object);
    }
    void SaveDC()
    {
        if (saved_.size() < kMaxSavedStates)
            saved_.push_back(dc_);
    }
    void RestoreDC(int which)
    {
        // Negative: counted back from the last saved state; positive: the state of that number.
        const long long count = static_cast<long long>(saved_.size());
        const long long keep = which < 0 ? count + which : which - 1;
        if (keep < 0 || keep >= count)
            return;
        dc_ = saved_[static_cast<std::size_t>(keep)];
        saved_.resize(static_cast<std::size_t>(keep));
    }

    static LogicalFont FontOf(int height, int weight, bool italic, bool underline, bool strikeOut, int charset,
                              std::string face)
    {
        LogicalFont font;
        font.Face = face.empty() ? "Arial" : std::move(face);
        font.Height = height;
        font.Weight = weight <= 0 ? 400 : std::clamp(weight, 100, 900);
        font.Italic = italic;
        font.Underline = underline;
        font.StrikeOut = strikeOut;
        font.Charset = static_cast<std::uint8_t>(charset);
        return font;
    }

    // --- the old format ---

    std::vector<TPoint> WmfPoints(const TBytes& r, std::size_t at, std::size_t count) const
    {
        r.Need(at, count * 4);
        std::vector<TPoint> points;
        points.reserve(count);
        for (std::size_t i = 0; i < count; ++i)
            points.push_back(Map(r.S16(at + 4 * i), r.S16(at + 4 * i + 2)));
        return points;
    }

    void PlayWmf(const TBytes& file)
    {
        std::size_t pos = m_.RecordsAt;
        while (file.Has(pos, 6) && TakeRecord()) {
            const std::uint64_t words = file.U32(pos);
            const unsigned function = file.U16(pos + 4);
            if (words < 3 || words * 2 > file.Size() - pos || function == kWmfEof)
                return;
            const TBytes params = file.Part(pos + 6, static_cast<std::size_t>(words) * 2 - 6);
            try {
                PlayWmfRecord(function, params);
            } catch (const TShortRecord&) {
                // A record too short for what it says is skipped.
            }
            pos += static_cast<std::size_t>(words) * 2;
        }
    }

    void PlayWmfRecord(unsigned function, const TBytes& r)
    {
        switch (function) {
        case kWmfSetMapMode: dc_.MapMode = r.U16(0); break;
        case kWmfSetBkMode: dc_.Background = r.U16(0) == 1 ? BkMode::Transparent : BkMode::Opaque; break;
        case kWmfSetPolyFillMode: dc_.Fill = r.U16(0) == 2 ? PolyFillMode::Winding : PolyFillMode::Alternate; break;
        case kWmfSetTextAlign: dc_.TextAlign = r.U16(0); break;
        case kWmfSetBkColor: dc_.BkColor = Colour(r.U32(0)); break;
        case kWmfSetTextColor: dc_.TextColor = Colour(r.U32(0)); break;
        case kWmfSetWindowOrg: dc_.WinOrgY = r.S16(0); dc_.WinOrgX = r.S16(2); break;
        case kWmfSetWindowExt: dc_.WinExtY = r.S16(0); dc_.WinExtX = r.S16(2); break;
        case kWmfSetViewportOrg: dc_.VpOrgY = r.S16(0); dc_.VpOrgX = r.S16(2); break;
        case kWmfSetViewportExt: dc_.VpExtY = r.S16(0); dc_.VpExtX = r.S16(2); break;
        case kWmfSaveDC: SaveDC(); break;
        case kWmfRestoreDC: RestoreDC(r.S16(0)); break;
        case kWmfMoveTo: dc_.PosY = r.S16(0); dc_.PosX = r.S16(2); break;
        case kWmfLineTo: LineTo(r.S16(2), r.S16(0)); break;
        case kWmfRectangle: Shape(false, r.S16(6), r.S16(4), r.S16(2), r.S16(0)); break;
        case kWmfRoundRect: Shape(false, r.S16(10), r.S16(8), r.S16(6), r.S16(4)); break;
        case kWmfEllipse: Shape(true, r.S16(6), r.S16(4), r.S16(2), r.S16(0)); break;
        case kWmfArc:
            Arc(r.S16(14), r.S16(12), r.S16(10), r.S16(8), r.S16(6), r.S16(4), r.S16(2), r.S16(0));
            break;
        case kWmfPolyline:
        case kWmfPolygon: {
            const int count = r.S16(0);
            if (count > 0)
                Poly(WmfPoints(r, 2, static_cast<std::size_t>(count)), function == kWmfPolygon);
            break;
        }
        case kWmfPolyPolygon: {
            const std::size_t polygons = r.U16(0);
            std::size_t at = 2 + 2 * polygons;
            r.Need(2, 2 * polygons);
            for (std::size_t i = 0; i < polygons; ++i) {
                const std::size_t count = r.U16(2 + 2 * i);
                Poly(WmfPoints(r, at, count), true);
                at += count * 4;
            }
            break;
        }
        case kWmfTextOut: {
            const std::size_t count = static_cast<std::size_t>(std::max<int>(0, r.S16(0)));
            const std::size_t padded = (count + 1) / 2 * 2;
            const std::string bytes(reinterpret_cast<const char*>(r.Need(2, count)), count);
            Text(r.S16(2 + padded + 2), r.S16(2 + padded), Utf16Of(bytes), 0, nullptr);
            break;
        }
        case kWmfExtTextOut: {
            const double y = r.S16(0), x = r.S16(2);
            const std::size_t count = static_cast<std::size_t>(std::max<int>(0, r.S16(4)));
            const unsigned options = r.U16(6);
            std::size_t at = 8;
            TRect opaque;
            const bool hasRect = (options & (ETO_OPAQUE | ETO_CLIPPED)) != 0;
            if (hasRect) {
                opaque = MapRect(r.S16(8), r.S16(10), r.S16(12), r.S16(14));
                at += 8;
            }
            const std::string bytes(reinterpret_cast<const char*>(r.Need(at, count)), count);
            Text(x, y, Utf16Of(bytes), options, hasRect ? &opaque : nullptr);
            break;
        }
        case kWmfStretchDib: {
            const TBytes dib = r.Part(22, r.Size() - std::min<std::size_t>(22, r.Size()));
            WmfBitmap(dib, r.S16(12), r.S16(10), r.S16(8), r.S16(6), r.S16(20), r.S16(18), r.S16(16), r.S16(14));
            break;
        }
        case kWmfDibStretchBlt: {
            const TBytes dib = r.Part(20, r.Size() - std::min<std::size_t>(20, r.Size()));
            WmfBitmap(dib, r.S16(10), r.S16(8), r.S16(6), r.S16(4), r.S16(18), r.S16(16), r.S16(14), r.S16(12));
            break;
        }
        case kWmfDibBitBlt: {
            const TBytes dib = r.Part(16, r.Size() - std::min<std::size_t>(16, r.Size()));
            const double w = r.S16(10), h = r.S16(8);
            WmfBitmap(dib, r.S16(6), r.S16(4), w, h, r.S16(14), r.S16(12), w, h);
            break;
        }
        case kWmfCreatePenIndirect:
            AddWmfObject({TPlayObject::PenObject, r.U16(0) & 0x0F, double(r.S16(2)), Colour(r.U32(6)), 0, {}});
            break;
        case kWmfCreateBrushIndirect:
            AddWmfObject({TPlayObject::BrushObject, r.U16(0), 0, Colour(r.U32(2)), r.U16(6), {}});
            break;
        case kWmfCreateFontIndirect: {
            std::string face;
            for (std::size_t i = 18; i < 18 + 32 && r.Has(i, 1) && r.U8(i) != 0; ++i)
                face += static_cast<char>(r.U8(i));
            AddWmfObject({TPlayObject::FontObject, 0, 0, 0, 0,
                          FontOf(r.S16(0), r.S16(8), r.U8(10) != 0, r.U8(11) != 0, r.U8(12) != 0, r.U8(13),
                                 Cp1252ToUtf8(face))});
            break;
        }
        case kWmfCreatePalette:
        case kWmfCreatePatternBrush:
        case kWmfDibCreatePatternBrush:
        case kWmfCreateRegion:
            // Not drawn with, but each takes its place in the table.
            AddWmfObject({TPlayObject::Other, 0, 0, 0, 0, {}});
            break;
        case kWmfSelectObject: SelectObject(r.U16(0)); break;
        case kWmfDeleteObject: DeleteObject(r.U16(0)); break;
        default: break;
        }
    }

    void WmfBitmap(const TBytes& dib, double xSrc, double ySrc, double wSrc, double hSrc, double xDst, double yDst,
                   double wDst, double hDst)
    {
        Bitmap(dib, [&] { return DecodePackedDib(dib.Data(), dib.Size()); }, xSrc, ySrc, wSrc, hSrc, xDst, yDst, wDst,
               hDst);
    }

    static std::u16string Utf16Of(const std::string& cp1252)
    {
        std::u16string text;
        text.reserve(cp1252.size());
        for (unsigned char c : cp1252) {
            const char32_t u = Cp1252ToUnicode(c);
            text.push_back(static_cast<char16_t>(u));
        }
        return text;
    }

    // --- the enhanced format ---

    std::vector<TPoint> EmfPoints(const TBytes& r, std::size_t at, std::size_t count, bool small) const
    {
        const std::size_t each = small ? 4 : 8;
        r.Need(at, count * each);
        std::vector<TPoint> points;
        points.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t p = at + i * each;
            points.push_back(small ? Map(r.S16(p), r.S16(p + 2)) : Map(r.S32(p), r.S32(p + 4)));
        }
        return points;
    }

    void PlayEmf(const TBytes& file)
    {
        std::size_t pos = 0;
        while (file.Has(pos, 8) && TakeRecord()) {
            const std::uint32_t type = file.U32(pos);
            const std::uint32_t size = file.U32(pos + 4);
            if (size < 8 || size > file.Size() - pos || type == kEmfEof)
                return;
            try {
                PlayEmfRecord(type, file.Part(pos, size));
            } catch (const TShortRecord&) {
                // A record too short for what it says is skipped.
            }
            pos += size;
        }
    }

    void PlayEmfRecord(std::uint32_t type, const TBytes& r)
    {
        switch (type) {
        case kEmrSetMapMode: dc_.MapMode = static_cast<int>(r.U32(8)); break;
        case kEmrSetBkMode: dc_.Background = r.U32(8) == 1 ? BkMode::Transparent : BkMode::Opaque; break;
        case kEmrSetPolyFillMode: dc_.Fill = r.U32(8) == 2 ? PolyFillMode::Winding : PolyFillMode::Alternate; break;
        case kEmrSetTextAlign: dc_.TextAlign = r.U32(8); break;
        case kEmrSetTextColor: dc_.TextColor = Colour(r.U32(8)); break;
        case kEmrSetBkColor: dc_.BkColor = Colour(r.U32(8)); break;
        case kEmrSetWindowExtEx: dc_.WinExtX = r.S32(8); dc_.WinExtY = r.S32(12); break;
        case kEmrSetWindowOrgEx: dc_.WinOrgX = r.S32(8); dc_.WinOrgY = r.S32(12); break;
        case kEmrSetViewportExtEx: dc_.VpExtX = r.S32(8); dc_.VpExtY = r.S32(12); break;
        case kEmrSetViewportOrgEx: dc_.VpOrgX = r.S32(8); dc_.VpOrgY = r.S32(12); break;
        case kEmrSaveDC: SaveDC(); break;
        case kEmrRestoreDC: RestoreDC(r.S32(8)); break;
        case kEmrMoveToEx: dc_.PosX = r.S32(8); dc_.PosY = r.S32(12); break;
        case kEmrLineTo: LineTo(r.S32(8), r.S32(12)); break;
        case kEmrRectangle:
        case kEmrRoundRect: Shape(false, r.S32(8), r.S32(12), r.S32(16), r.S32(20)); break;
        case kEmrEllipse: Shape(true, r.S32(8), r.S32(12), r.S32(16), r.S32(20)); break;
        case kEmrArc:
            Arc(r.S32(8), r.S32(12), r.S32(16), r.S32(20), r.S32(24), r.S32(28), r.S32(32), r.S32(36));
            break;
        case kEmrPolygon:
        case kEmrPolyline:
        case kEmrPolygon16:
        case kEmrPolyline16: {
            const bool small = type == kEmrPolygon16 || type == kEmrPolyline16;
            const std::size_t count = r.U32(24);
            Poly(EmfPoints(r, 28, count, small), type == kEmrPolygon || type == kEmrPolygon16);
            break;
        }
        case kEmrPolyPolygon:
        case kEmrPolyPolygon16: {
            const bool small = type == kEmrPolyPolygon16;
            const std::size_t polygons = r.U32(24);
            r.Need(32, polygons * 4);
            std::size_t at = 32 + polygons * 4;
            for (std::size_t i = 0; i < polygons; ++i) {
                const std::size_t count = r.U32(32 + 4 * i);
                Poly(EmfPoints(r, at, count, small), true);
                at += count * (small ? 4 : 8);
            }
            break;
        }
        case kEmrExtTextOutW: {
            const std::size_t count = r.U32(44);
            const std::size_t offset = r.U32(48);
            const unsigned options = r.U32(52);
            r.Need(offset, count * 2);
            std::u16string text(count, u'\0');
            for (std::size_t i = 0; i < count; ++i)
                text[i] = static_cast<char16_t>(r.U16(offset + 2 * i));
            const TRect opaque = MapRect(r.S32(56), r.S32(60), r.S32(64), r.S32(68));
            Text(r.S32(36), r.S32(40), text, options, &opaque);
            break;
        }
        case kEmrStretchDiBits: {
            const std::size_t bmiAt = r.U32(48), bmiSize = r.U32(52), bitsAt = r.U32(56), bitsSize = r.U32(60);
            const TBytes info = r.Part(bmiAt, bmiSize);
            const TBytes bits = r.Part(bitsAt, bitsSize);
            Bitmap(info, [&] { return DecodeDib(info.Data(), info.Size(), bits.Data(), bits.Size()); }, r.S32(32),
                   r.S32(36), r.S32(40), r.S32(44), r.S32(24), r.S32(28), r.S32(72), r.S32(76));
            break;
        }
        case kEmrCreatePen:
            PutEmfObject(r.U32(8), {TPlayObject::PenObject, static_cast<int>(r.U32(12) & 0x0F), double(r.S32(16)),
                                    Colour(r.U32(24)), 0, {}});
            break;
        case kEmrExtCreatePen: {
            const std::uint32_t style = r.U32(28);
            // A cosmetic pen is one pixel wide whatever its width says.
            const bool geometric = (style & 0x00010000) != 0;
            PutEmfObject(r.U32(8), {TPlayObject::PenObject, static_cast<int>(style & 0x0F),
                                    geometric ? double(r.U32(32)) : 0.0, Colour(r.U32(40)), 0, {}});
            break;
        }
        case kEmrCreateBrushIndirect:
            PutEmfObject(r.U32(8), {TPlayObject::BrushObject, static_cast<int>(r.U32(12)), 0, Colour(r.U32(16)),
                                    static_cast<int>(r.U32(20)), {}});
            break;
        case kEmrExtCreateFontIndirectW: {
            std::string face;
            for (std::size_t i = 0; i < 32 && r.Has(40 + 2 * i, 2); ++i) {
                const char16_t c = static_cast<char16_t>(r.U16(40 + 2 * i));
                if (c == 0)
                    break;
                AppendUtf8(face, c);
            }
            PutEmfObject(r.U32(8), {TPlayObject::FontObject, 0, 0, 0, 0,
                                    FontOf(r.S32(12), r.S32(28), r.U8(32) != 0, r.U8(33) != 0, r.U8(34) != 0, r.U8(35),
                                           face)});
            break;
        }
        case kEmrSelectObject: {
            const std::uint32_t index = r.U32(8);
            if ((index & 0x80000000u) != 0)
                SelectStockObject(index & 0x7FFFFFFFu);
            else
                SelectObject(index);
            break;
        }
        case kEmrDeleteObject: DeleteObject(r.U32(8)); break;
        default: break;
        }
    }

    Canvas& canvas_;
    const TMetafile& m_;
    TRect target_;
    std::size_t recordsLeft_;
    TDrawBudget draws_;
    double bitmapPixelsLeft_;
    bool spent_ = false;  // a drawing was refused: the play ends
    TDcState dc_;
    std::vector<TDcState> saved_;
    std::vector<TPlayObject> objects_;
};

}  // namespace

void PlayMetafile(Canvas& canvas, const TMetafile& metafile, const TRect& target, std::size_t recordBudget,
                  double drawBudget, double bitmapBudget)
{
    if (target.Width() == 0 || target.Height() == 0 || metafile.Bytes.empty())
        return;
    canvas.SaveDC();
    canvas.IntersectClipRect(Normalized(target));
    TPlayer(canvas, metafile, target, recordBudget, drawBudget, bitmapBudget).Play();
    canvas.RestoreDC();
}

}  // namespace velmoran
