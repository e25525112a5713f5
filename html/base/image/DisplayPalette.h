// The display palette of screens with 8 bits per pixel or fewer and the colour reduction that
// maps true-colour pictures onto it with error diffusion. Linux screens are true colour, so this
// is reached only through ScopedDisplayColorBits, the seam that makes the library believe it
// runs on an 8-bit or 4-bit screen.
#pragma once

#include <QImage>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace velmoran {

using TPalette = std::vector<QRgb>;  // empty: no palette

// 4, 8 or 24: the colour depth the library draws for.
int DisplayColorBits();
// The rule of the library's start-up: fewer than 5 bits give 4, more than 8 give 24, else 8.
int ColorBitsForScreenDepth(int bitsPerPixel);
// The display palette; empty unless the display has 8 bits.
const TPalette& ThePalette();

// Test seam: a display of the given depth (with its palette) for the lifetime of the object.
class ScopedDisplayColorBits {
public:
    explicit ScopedDisplayColorBits(int bits);
    ~ScopedDisplayColorBits();
    ScopedDisplayColorBits(const ScopedDisplayColorBits&) = delete;
    ScopedDisplayColorBits& operator=(const ScopedDisplayColorBits&) = delete;

private:
    int saved_;
};

// The 256 entries: system colours, a 6×6×6 cube without white, greys, near-white, system colours.
TPalette MakeDisplayPalette();
// The system's default 20 colours.
TPalette DefaultPalette20();
// The 216-colour cube, entry 36r + 6g + b holding 51 × each level.
TPalette CubePalette216();
// A copy of the palette; nothing on a display of more than 8 bits.
TPalette CopyPalette(const TPalette& palette);

// Colour lookups: the palette index for a colour, writing the chosen colour back.
class TColorLookup {
public:
    virtual ~TColorLookup() = default;
    virtual int Lookup(int& r, int& g, int& b) = 0;
    int Colors() const { return colors_; }

protected:
    int colors_ = 0;
};

class TFastColorLookup final : public TColorLookup {
public:
    explicit TFastColorLookup(const TPalette& palette);
    int Lookup(int& r, int& g, int& b) override;

private:
    TPalette palette_;
    std::vector<std::uint16_t> cache_;  // 32768 entries keyed by 5 bits a channel
};

class TNetscapeColorLookup final : public TColorLookup {
public:
    TNetscapeColorLookup() { colors_ = 216; }
    int Lookup(int& r, int& g, int& b) override;
};

// Nearest colour, rows scanned alternately left to right and right to left.
class TDitherEngine {
public:
    TDitherEngine(int width, TColorLookup& lookup) : width_(width), lookup_(lookup) {}
    virtual ~TDitherEngine() = default;
    virtual int Dither(int r, int g, int b);
    virtual void NextLine();
    int Column() const { return column_; }
    int Direction() const { return direction_; }

protected:
    int direction_ = 1;
    int column_ = 0;
    int width_;
    TColorLookup& lookup_;
};

// Floyd-Steinberg error diffusion: 7/16 ahead, 3/16, 5/16 and 1/16 to the next row.
class TFloydSteinbergEngine final : public TDitherEngine {
public:
    TFloydSteinbergEngine(int width, TColorLookup& lookup);
    int Dither(int r, int g, int b) override;
    void NextLine() override;

private:
    std::array<std::vector<int>, 3> current_;  // errors this row reads, width + 2 each
    std::array<std::vector<int>, 3> next_;     // errors gathered for the next row
    std::array<int, 3> carried_{};
};

// Octree colour quantiser.
class TColorQuantizer {
public:
    TColorQuantizer(int maxColors, int bitDepth);
    ~TColorQuantizer();
    TColorQuantizer(const TColorQuantizer&) = delete;
    TColorQuantizer& operator=(const TColorQuantizer&) = delete;

    void AddColor(int r, int g, int b);
    int LeafCount() const { return leafCount_; }
    // The leaves' colours, depth first, children 0 to 7.
    TPalette Colors() const;

private:
    struct Node;
    void Reduce();

    std::unique_ptr<Node> root_;
    int leafCount_ = 0;
    std::array<Node*, 9> reducible_{};
    int maxColors_;
    int bitDepth_;
};

enum : int {
    ReduceTo24Bit = 0,
    ReduceToSystem20 = 1,
    ReduceToCube216 = 3,
    ReduceToDisplay = 4,
    ReduceToQuantized = 5,
};
enum : int { DitherNearest = 0, DitherFloydSteinberg = 1 };

// The picture reduced to the kind's palette (Format_Indexed8), or a 24-bit copy for kind 0.
QImage ReduceColors(const QImage& picture, int reductionKind, int ditherKind);
// The library's own reduction: kind 1 on 4-bit displays, else kind 4, with error diffusion; null
// for an empty picture.
QImage DitherBitmap(const QImage& picture);
// A decoded picture made ready for the display once at load time: palette pictures become 32-bit
// on true-colour displays, everything is reduced to the palette on 8-bit and 4-bit displays.
QImage AdaptToDisplay(const QImage& picture);

}  // namespace velmoran
