// Fonts and the canvas over Qt: QFont/QFontMetrics with kerning off, sizes in pixels, the Windows
// core faces resolved to the Liberation faces. The canvas draws through a QPainter when it has one.
#pragma once

#include "platform/Canvas.h"

#include <QFont>

#include <map>
#include <memory>

class QPainter;

namespace velmoran {

// Needs the application object (QGuiApplication) to exist before the first measurement.
class QtFontEngine : public FontEngine {
public:
    QtFontEngine();
    ~QtFontEngine() override;
    TextMetrics Metrics(const LogicalFont& font) override;
    int CharAdvance(const LogicalFont& font, char32_t ch) override;
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
};

// A canvas over a QPainter (screen, image, printer); without a painter it only measures.
class QtCanvas : public Canvas {
public:
    explicit QtCanvas(QPainter* painter = nullptr);
    void SetFont(const LogicalFont& font) override;
    QPainter* Painter() const { return painter_; }

private:
    QPainter* painter_;
};

}  // namespace velmoran
