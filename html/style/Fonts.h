// Lengths to pixels, font sizes to points, font family lists to an installed face, and the font
// objects the layout builds from a property set.
#pragma once

#include "html/style/Colors.h"
#include "html/style/PropValue.h"
#include "platform/Canvas.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmoran {

// The default font size in points, recorded by the last default style sheet (12 until then).
double DefaultFontSize();
void SetDefaultFontSize(double points);

// A CSS length as pixels on the 96 ppi device: in, cm, mm, pt, px, pc, em, ex, %; no unit gives
// number * base when relative, else the number; an unknown unit (or no number) gives def.
int LengthToPixels(std::string_view text, bool relative, int base, int def, int exSize, int emSize);

// A CSS font size as points against the parent's size; keywords against the default size.
double FontSizeToPoints(std::string_view text, double parentSize);

// The point sizes of the HTML font sizes 1 to 7 (FONT SIZE, BASEFONT), for normal and for
// pre-formatted text. The table is made for a base of 12 points; another base scales it. A parse
// takes its table as a parameter, so one document's scaling never reaches another.
class HtmlFontSizes {
public:
    explicit HtmlFontSizes(double basePoints = 12);
    // Sizes outside 1..7 count as the nearest of them.
    double Points(int htmlSize, bool preformatted) const;

private:
    std::array<double, 8> normal_{};
    std::array<double, 8> pre_{};
};

// The first family of a comma-separated list that is installed (generic names mapped), or empty.
std::string FirstInstalledFontFamily(std::string_view list);

// Font style bits.
enum : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// The font of one link state.
struct ThtFontInfo {
    std::string Name;
    double Size = 12;  // points
    std::uint8_t Style = 0;
    TColor Color = 0;
    TColor BGColor = NoColor;
    std::uint8_t Charset = kDefaultCharset;
    PropValue LetterSpacing;
};

// The four link states: [0] link, [1] visited, [2] hover, [3] visited and hover.
struct TFontInfoArray {
    std::array<ThtFontInfo, 4> Ar;
};

// A font with its screen metrics.
struct TMyFont {
    std::string Name;
    int Height = -16;  // pixels, negative: character height
    std::uint8_t Style = 0;
    TColor Color = 0;
    std::uint8_t Charset = kDefaultCharset;

    TColor BGColor = NoColor;
    int tmHeight = 0;
    int tmDescent = 0;
    int tmExternalLeading = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
    std::uint8_t tmCharset = kAnsiCharset;
    int CharExtra = 0;  // letter spacing in pixels

    LogicalFont Logical() const;
    // Whether the canvas's current font is this one.
    bool IsSelectedIn(const Canvas& canvas) const;
    // Reads the metrics of the font through the screen's fonts.
    void UpdateMetrics();
    // Selects the font into a canvas, with its letter spacing.
    void SelectInto(Canvas& canvas) const;
};

}  // namespace velmoran
