// The drawing surface the HTML layout and painting speak to, in Windows terms: a device context
// with its font, colours, pen, brush, text alignment, current position, clip region and mapping,
// and the drawing calls. The base class keeps the whole state and does the geometry of every
// call; the surfaces (QtCanvas, RecordingCanvas) only draw. The base itself draws nothing and
// serves as the measuring canvas of layout.
//
// Fonts are sized in pixels on a fixed 96 ppi device, kerning is off and every character advances
// by a whole number of pixels, so that the extent of a text is the sum of the extents of its
// pieces. Layout and painting measure through the same routine (CharAdvances).
#pragma once

#include "platform/GdiTypes.h"
#include "platform/Region.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QImage;

namespace velmoran {

constexpr int kPixelsPerInch = 96;

// Charsets as the HTML side names them.
constexpr std::uint8_t kAnsiCharset = 0;
constexpr std::uint8_t kDefaultCharset = 1;
constexpr std::uint8_t kSymbolCharset = 2;

// A logical font. Height < 0: the character height (em) in pixels; Height > 0: the cell height
// (ascent plus descent); 0: a default size.
struct LogicalFont {
    std::string Face;
    int Height = -16;
    int Weight = 400;  // 100..900, 700 bold
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    std::uint8_t Charset = kDefaultCharset;
    // The angle of the text line in tenths of a degree, counter-clockwise; the characters turn
    // with it about the output's reference point. Measuring is the same at every angle.
    int Escapement = 0;

    bool operator==(const LogicalFont&) const = default;
};

struct TextMetrics {
    int Height = 0;  // ascent + descent
    int Ascent = 0;
    int Descent = 0;
    int InternalLeading = 0;  // Height minus the character height
    int ExternalLeading = 0;
    int AveCharWidth = 0;
    int MaxCharWidth = 0;
    std::uint8_t Charset = kAnsiCharset;  // the charset the realised font delivers
};

struct TextSize {
    int cx = 0;
    int cy = 0;
    bool operator==(const TextSize&) const = default;
};

// Where fonts come from: the real faces through Qt, or the fixed-metric test font.
class FontEngine {
public:
    virtual ~FontEngine() = default;
    virtual TextMetrics Metrics(const LogicalFont& font) = 0;
    // Advance of one character in whole pixels, without kerning.
    virtual int CharAdvance(const LogicalFont& font, char32_t ch) = 0;
    // The advances of code points 0..255 already measured in a font (-1 where not yet), so that a
    // run of text needs one font look-up; nullptr when the engine keeps no such table. The table
    // stays valid as long as the engine lives.
    virtual const int* KnownLatin1Advances(const LogicalFont&) { return nullptr; }
    // The installed family names, including the names that resolve to substitute faces.
    virtual std::vector<std::string> Families() = 0;
};

// The process-wide engine that stands for the screen. The application object (or a tool, or the
// test fixture) installs it once at start; asking before that raises std::logic_error.
FontEngine& ScreenFonts();
// Installs the screen's engine (not owned; it must live until the process ends).
void InstallScreenFonts(FontEngine& engine);

// Puts another engine in place of the screen's for its lifetime (tests).
class ScopedScreenFonts {
public:
    explicit ScopedScreenFonts(FontEngine& engine);
    ~ScopedScreenFonts();
    ScopedScreenFonts(const ScopedScreenFonts&) = delete;
    ScopedScreenFonts& operator=(const ScopedScreenFonts&) = delete;

private:
    FontEngine* previous_;
};

// One text output as the base class worked it out: where the text stands and the advance of
// every UTF-16 unit (character extra and justification included).
// Coordinates and extents stay within this many pixels either way: a long word in a huge font
// measures at most this, a document of many huge blocks ends there, so that adding a few of them
// cannot overflow.
constexpr int kMaxExtent = 1 << 29;
// a + b, held within ±kMaxExtent.
int ExtentSum(long long a, long long b);

struct TextOutput {
    bool Extended = false;          // ExtTextOut rather than TextOut
    TPoint Reference;               // the reference point used (the current position with TA_UPDATECP)
    unsigned Options = 0;           // ETO_ flags
    std::optional<TRect> OptionRect;
    std::u16string_view Text;
    std::vector<int> Advances;
    int Left = 0;                   // x of the first character
    int Baseline = 0;
    int Width = 0;                  // sum of the advances (within ±kMaxExtent)
    TextMetrics Metrics;
};

class Canvas {
public:
    explicit Canvas(FontEngine& fonts) : fonts_(&fonts) {}
    virtual ~Canvas() = default;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // The logical resolution fonts are sized for (every canvas, printers included).
    int PixelsPerInch() const { return kPixelsPerInch; }
    FontEngine& Fonts() const { return *fonts_; }
    // Device measures by GetDeviceCaps index (LOGPIXELSX, BITSPIXEL, HORZRES, ...).
    virtual int GetDeviceCaps(int index) const;
    // One bit and one plane: a monochrome device.
    bool IsMonochrome() const { return GetDeviceCaps(BITSPIXEL) * GetDeviceCaps(PLANES) == 1; }

    // --- fonts and measuring ---
    virtual void SetFont(const LogicalFont& font)
    {
        state_.Font = font;
        measures_ = {};
    }
    const LogicalFont& Font() const { return state_.Font; }
    // Extra pixels after every character (letter spacing).
    void SetTextCharacterExtra(int extra) { state_.CharExtra = extra; }
    int TextCharacterExtra() const { return state_.CharExtra; }
    // Spreads extra pixels over the next outputs' break characters (spaces): each gets
    // extra / count, the first extra % count of every output one more. (0, 0) switches it off.
    void SetTextJustification(int extra, int breakCount);
    int JustificationExtra() const { return state_.JustifyExtra; }
    int JustificationBreaks() const { return state_.JustifyBreaks; }

    TextMetrics GetTextMetrics() const { return Measures().Metrics; }
    // The advance of every UTF-16 unit of a text, character extra and justification included;
    // the second unit of a surrogate pair advances by 0. Layout and painting both place
    // characters by these.
    std::vector<int> CharAdvances(std::u16string_view text) const;
    TextSize TextExtent(std::u16string_view text) const;
    // How many leading units fit into maxWidth pixels, and their extent.
    int TextFitCount(std::u16string_view text, int maxWidth, int* extent = nullptr) const;

    // --- colours and modes ---
    ColorRef SetTextColor(ColorRef color);
    ColorRef GetTextColor() const { return state_.TextColor; }
    ColorRef SetBkColor(ColorRef color);
    ColorRef GetBkColor() const { return state_.BkColor; }
    BkMode SetBkMode(BkMode mode);
    BkMode GetBkMode() const { return state_.Background; }
    unsigned SetTextAlign(unsigned flags);
    unsigned GetTextAlign() const { return state_.TextAlign; }
    PolyFillMode SetPolyFillMode(PolyFillMode mode);
    PolyFillMode GetPolyFillMode() const { return state_.PolyFill; }
    StretchMode SetStretchBltMode(StretchMode mode);
    StretchMode GetStretchBltMode() const { return state_.Stretch; }

    // --- pens and brushes (select returns the previous one) ---
    Pen SelectPen(const Pen& pen);
    const Pen& GetPen() const { return state_.SelectedPen; }
    Brush SelectBrush(const Brush& brush);
    const Brush& GetBrush() const { return state_.SelectedBrush; }
    // Where pattern brushes start, in device units; returns the previous origin.
    TPoint SetBrushOrg(int x, int y);
    TPoint GetBrushOrg() const { return state_.BrushOrigin; }

    // --- current position, lines and shapes (logical coordinates) ---
    TPoint MoveTo(int x, int y);
    TPoint GetCurrentPosition() const { return state_.Position; }
    // A line from the current position to (x, y), the end pixel left out; moves there.
    void LineTo(int x, int y);
    void Polyline(const std::vector<TPoint>& points);
    // Filled with the brush by the poly-fill mode and outlined with the pen.
    void Polygon(const std::vector<TPoint>& points);
    // Outlined with the pen along its edges, filled inside with the brush; with the null pen the
    // fill leaves out the last column and row.
    void Rectangle(const TRect& rect);
    void Rectangle(int left, int top, int right, int bottom) { Rectangle(TRect{left, top, right, bottom}); }
    // Fills all of the rectangle with the brush (or with a colour), without the pen.
    void FillRect(const TRect& rect);
    void FillRect(const TRect& rect, ColorRef color);
    // The ellipse inside the rectangle, outlined and filled.
    void Ellipse(const TRect& rect);
    // The part of the ellipse's outline counter-clockwise from the ray through start to the ray
    // through end.
    void Arc(const TRect& rect, TPoint start, TPoint end);
    // The dotted frame of keyboard focus, inverting the pixels it covers where the device can.
    void DrawFocusRect(const TRect& rect);

    // --- text ---
    // At (x, y), or at the current position with TA_UPDATECP (which then moves past the text),
    // aligned by the text alignment; opaque mode fills the text's cell with the background colour.
    void TextOut(int x, int y, std::u16string_view text);
    // With ETO_OPAQUE the rectangle is filled with the background colour first; with ETO_CLIPPED
    // the text is clipped to it.
    void ExtTextOut(int x, int y, unsigned options, const TRect* rect, std::u16string_view text);

    // --- pictures (no raster operations: transparency is alpha composition) ---
    // The source part (all of the image when none) stretched into the destination; pixels with
    // alpha compose over what is there.
    void StretchBlt(const TRect& destination, const QImage& image, const TRect* source = nullptr);
    // The same, transparent where the mask (a picture of the same size) is white.
    void MaskedStretchBlt(const TRect& destination, const QImage& image, const QImage& mask,
                          const TRect* source = nullptr);

    // --- clipping: regions in device units, rectangles in logical units ---
    // Intersects the clip with the rectangle (the whole rectangle when there is no clip yet).
    void IntersectClipRect(const TRect& rect);
    void ExcludeClipRect(const TRect& rect);
    // Sets the clip region (device units); nullptr removes it.
    void SelectClipRgn(const Region* region);
    void ExtSelectClipRgn(const Region& region, RegionOp op);
    // The clip region in device units; false when there is none.
    bool GetClipRgn(Region& region) const;
    bool HasClipRgn() const { return state_.Clip.has_value(); }
    // The bounding box of what can be drawn, in logical units.
    TRect GetClipBox() const;

    // --- mapping: device = (logical - window origin) * viewport extent / window extent + viewport origin ---
    MapMode SetMapMode(MapMode mode);
    MapMode GetMapMode() const { return state_.Map; }
    TPoint SetWindowOrg(int x, int y);
    TPoint GetWindowOrg() const { return state_.WindowOrg; }
    TPoint SetViewportOrg(int x, int y);
    TPoint GetViewportOrg() const { return state_.ViewportOrg; }
    // Extents count only in the anisotropic mode; a zero extent is refused (false).
    bool SetWindowExt(int cx, int cy);
    TSize GetWindowExt() const { return state_.WindowExt; }
    bool SetViewportExt(int cx, int cy);
    TSize GetViewportExt() const { return state_.ViewportExt; }
    TPoint LPtoDP(TPoint p) const;
    TPoint DPtoLP(TPoint p) const;
    // Both corners mapped, the result normalised.
    TRect LPtoDP(const TRect& r) const;
    TRect DPtoLP(const TRect& r) const;

    // --- state stack ---
    // Saves the whole state; returns its level (1 for the first).
    int SaveDC();
    // Restores the state saved at a level (negative: relative to the top, -1 the last); the levels
    // above go with it. False when there is no such level.
    bool RestoreDC(int level = -1);

protected:
    struct State {
        LogicalFont Font;
        int CharExtra = 0;
        int JustifyExtra = 0;
        int JustifyBreaks = 0;
        ColorRef TextColor = 0;
        ColorRef BkColor = 0xFFFFFF;
        BkMode Background = BkMode::Opaque;
        unsigned TextAlign = 0;
        PolyFillMode PolyFill = PolyFillMode::Alternate;
        StretchMode Stretch = StretchMode::BlackOnWhite;
        Pen SelectedPen;
        Brush SelectedBrush;
        TPoint BrushOrigin;
        TPoint Position;
        MapMode Map = MapMode::Text;
        TPoint WindowOrg;
        TPoint ViewportOrg;
        TSize WindowExt{1, 1};
        TSize ViewportExt{1, 1};
        std::optional<Region> Clip;  // device units
    };
    const State& CurrentState() const { return state_; }

    // The device's drawable area in device units (the clip when there is no clip region).
    virtual TRect DeviceBounds() const;

    // Drawing hooks, in logical units with the state in CurrentState(); the base draws nothing.
    virtual void DoLine(TPoint /*from*/, TPoint /*to*/) {}
    virtual void DoPolyline(const std::vector<TPoint>& /*points*/) {}
    virtual void DoPolygon(const std::vector<TPoint>& /*points*/) {}
    virtual void DoRectangle(const TRect& /*rect*/) {}
    virtual void DoFillRect(const TRect& /*rect*/, ColorRef /*rgb*/) {}
    // The rectangle filled with the selected pattern brush.
    virtual void DoPatternFill(const TRect& /*rect*/) {}
    virtual void DoEllipse(const TRect& /*rect*/) {}
    virtual void DoArc(const TRect& /*rect*/, TPoint /*start*/, TPoint /*end*/) {}
    virtual void DoFocusRect(const TRect& /*rect*/) {}
    virtual void DoText(const TextOutput& /*text*/) {}
    virtual void DoStretchBlt(const TRect& /*destination*/, const QImage& /*image*/, const QImage* /*mask*/,
                              const TRect& /*source*/) {}
    // Told after the clip or the mapping changed.
    virtual void ClipChanged() {}
    virtual void MappingChanged() {}
    // Told the length in UTF-16 units of every text handed over to be measured or drawn, as a
    // device would measure all of it (TextFitCount here stops at the first unit that does not fit).
    virtual void TextMeasured(std::size_t /*units*/) const {}

private:
    // The current font's metrics and table of Latin-1 advances, looked up in the engine once per
    // font change rather than once per measurement.
    struct FontMeasures {
        bool Known = false;
        const int* Latin1 = nullptr;
        TextMetrics Metrics;
    };
    const FontMeasures& Measures() const;
    // Calls visit(index, advance) for every UTF-16 unit as CharAdvances works the advances out,
    // until visit returns false.
    template <typename Visit>
    void VisitAdvances(std::u16string_view text, Visit&& visit) const;
    void SetClip(std::optional<Region> clip);
    void Text(bool extended, int x, int y, unsigned options, const TRect* rect, std::u16string_view text);

    FontEngine* fonts_;
    State state_;
    std::vector<State> saved_;
    mutable FontMeasures measures_;
};

// A canvas that only measures (the screen's device context for layout).
class MeasuringCanvas : public Canvas {
public:
    MeasuringCanvas() : Canvas(ScreenFonts()) {}
    explicit MeasuringCanvas(FontEngine& fonts) : Canvas(fonts) {}
};

}  // namespace velmoran
