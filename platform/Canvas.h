// The drawing surface the HTML layout and painting speak to, in Windows terms. This part holds
// fonts and text measuring; the drawing side (text output, pens, brushes, shapes, clipping,
// bitmaps) joins the same interface.
//
// Fonts are sized in pixels on a fixed 96 ppi device, kerning is off and every character advances
// by a whole number of pixels, so that the extent of a text is the sum of the extents of its
// pieces. Layout and painting measure through the same routine (CharAdvances).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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
    // The installed family names, including the names that resolve to substitute faces.
    virtual std::vector<std::string> Families() = 0;
};

// The process-wide engine that stands for the screen: the Qt engine unless a test put another in.
FontEngine& ScreenFonts();

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

class Canvas {
public:
    explicit Canvas(FontEngine& fonts) : fonts_(&fonts) {}
    virtual ~Canvas() = default;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    int PixelsPerInch() const { return kPixelsPerInch; }
    FontEngine& Fonts() const { return *fonts_; }

    // --- fonts and measuring ---
    virtual void SetFont(const LogicalFont& font) { font_ = font; }
    const LogicalFont& Font() const { return font_; }
    // Extra pixels after every character (letter spacing).
    void SetTextCharacterExtra(int extra) { extra_ = extra; }
    int TextCharacterExtra() const { return extra_; }

    TextMetrics GetTextMetrics() const { return fonts_->Metrics(font_); }
    // The advance of every UTF-16 unit of a text, character extra included; the second unit of a
    // surrogate pair advances by 0. Layout and painting both place characters by these.
    std::vector<int> CharAdvances(std::u16string_view text) const;
    TextSize TextExtent(std::u16string_view text) const;
    // How many leading units fit into maxWidth pixels, and their extent.
    int TextFitCount(std::u16string_view text, int maxWidth, int* extent = nullptr) const;

private:
    FontEngine* fonts_;
    LogicalFont font_;
    int extra_ = 0;
};

// A canvas that only measures (the screen's device context for layout).
class MeasuringCanvas : public Canvas {
public:
    MeasuringCanvas() : Canvas(ScreenFonts()) {}
    explicit MeasuringCanvas(FontEngine& fonts) : Canvas(fonts) {}
};

}  // namespace velmoran
