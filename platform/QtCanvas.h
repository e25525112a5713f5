// Fonts and the canvas over Qt: QFont/QFontMetrics with kerning off, sizes in pixels, the Windows
// core faces resolved to the Liberation faces. The canvas draws through a QPainter on any paint
// device (image, widget, printer, picture) when it has one; characters stand exactly at the
// advances of the measuring routine.
#pragma once

#include "platform/Canvas.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QRegion>
#include <QTransform>

#include <map>
#include <memory>
#include <optional>

class QPainter;

namespace velmoran {

// Installs one process-long Qt engine as the screen's fonts (see InstallScreenFonts).
void InstallQtScreenFonts();

// Needs the application object (QGuiApplication) to exist before the first measurement.
class QtFontEngine : public FontEngine {
public:
    QtFontEngine();
    ~QtFontEngine() override;
    TextMetrics Metrics(const LogicalFont& font) override;
    int CharAdvance(const LogicalFont& font, char32_t ch) override;
    const int* KnownLatin1Advances(const LogicalFont& font) override;
    std::vector<std::string> Families() override;

    // The face that stands for a family name ("Arial" -> "Liberation Sans").
    static std::string ResolveFace(const std::string& face);
    // The QFont of a font lf, as painting uses it.
    static QFont MakeQFont(const LogicalFont& font);

private:
    struct Cached;
    Cached& Lookup(const LogicalFont& font);
    struct FontLess {
        bool operator()(const LogicalFont& a, const LogicalFont& b) const;
    };
    std::map<LogicalFont, std::unique_ptr<Cached>, FontLess> cache_;
    // The font asked for last: text is measured character by character in one font. The one before
    // it is kept too, since measuring a run alternates between the text's font and the line's metrics.
    // The two fonts asked for last, as keys of the cache (stable while the cache lives).
    const LogicalFont* lastFont_ = nullptr;
    Cached* last_ = nullptr;
    const LogicalFont* prevFont_ = nullptr;
    Cached* prev_ = nullptr;
    Cached& Remember(const LogicalFont* font, Cached* cached);
};

// A canvas over a QPainter (screen, image, printer, picture); without a painter it only measures.
// The painter's transform and clip at construction are the device: the mapping is set on top of
// the transform, and clip regions (device units) are kept inside the painter's own clip.
class QtCanvas : public Canvas {
public:
    explicit QtCanvas(QPainter* painter = nullptr);
    ~QtCanvas() override;
    void SetFont(const LogicalFont& font) override;
    QPainter* Painter() const { return painter_; }

    int GetDeviceCaps(int index) const override;
    // Replaces a device measure, e.g. a printer's physical page and offsets or a monochrome device.
    void SetDeviceCaps(int index, int value);

protected:
    TRect DeviceBounds() const override;
    void DoLine(TPoint from, TPoint to) override;
    void DoPolyline(const std::vector<TPoint>& points) override;
    void DoPolygon(const std::vector<TPoint>& points) override;
    void DoRectangle(const TRect& rect) override;
    void DoFillRect(const TRect& rect, ColorRef rgb) override;
    void DoPatternFill(const TRect& rect) override;
    void DoEllipse(const TRect& rect) override;
    void DoArc(const TRect& rect, TPoint start, TPoint end) override;
    void DoFocusRect(const TRect& rect) override;
    void DoText(const TextOutput& text) override;
    void DoStretchBlt(const TRect& destination, const QImage& image, const QImage* mask, const TRect& source) override;
    void ClipChanged() override;
    void MappingChanged() override;

private:
    struct FaceCache;
    // Pictures keep text as text (characters and font); other devices get glyphs at exact places.
    bool KeepsTextAsText() const;
    void UsePen();
    void UseBrush();
    QBrush CurrentBrush() const;
    // No mapping scale and no device transform: a width-0 pen is one logical unit wide.
    bool OnePixelIsOneUnit() const;

    QPainter* painter_;
    QTransform base_;
    std::optional<QRegion> deviceClip_;
    std::map<int, int> caps_;
    std::unique_ptr<FaceCache> faces_;
};

// A colour reference as a Qt colour (system colours resolved) and back.
QColor ToQColor(ColorRef color);
ColorRef FromQColor(const QColor& color);

// The picture with alpha 0 where the mask (same size) is white, premultiplied ARGB.
QImage ComposeMask(const QImage& image, const QImage& mask);

}  // namespace velmoran
