// Display palette, colour lookups, error diffusion and octree quantisation.
#include "html/base/image/DisplayPalette.h"

#include <algorithm>
#include <cstdlib>

namespace velmoran {

namespace {

int colorBits = 24;
TPalette displayPalette;

// The static colours of the system palette: the first ten and the last ten entries.
constexpr QRgb kSystemFirst[10] = {0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080,
                                   0xFF800080, 0xFF008080, 0xFFC0C0C0, 0xFFC0DCC0, 0xFFA6CAF0};
constexpr QRgb kSystemLast[10] = {0xFFFFFBF0, 0xFFA0A0A4, 0xFF808080, 0xFFFF0000, 0xFF00FF00,
                                  0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF};

int ColorKey(int r, int g, int b) { return (r >> 3) + ((g >> 3) << 5) + ((b >> 3) << 10); }

TPalette QuantizedPalette(const QImage& picture)
{
    TColorQuantizer quantizer(236, 8);
    for (int y = 0; y < picture.height(); ++y) {
        const std::uint8_t* p = picture.constScanLine(y);
        for (int x = 0; x < picture.width(); ++x, p += 3)
            quantizer.AddColor(p[0], p[1], p[2]);
    }
    TPalette palette(kSystemFirst, kSystemFirst + 10);
    const TPalette colors = quantizer.Colors();
    palette.insert(palette.end(), colors.begin(), colors.end());
    palette.resize(246, qRgb(0, 0, 0));
    palette.insert(palette.end(), kSystemLast, kSystemLast + 10);
    return palette;
}

}  // namespace

int DisplayColorBits() { return colorBits; }

int ColorBitsForScreenDepth(int bitsPerPixel)
{
    if (bitsPerPixel < 5)
        return 4;
    return bitsPerPixel > 8 ? 24 : 8;
}

const TPalette& ThePalette() { return displayPalette; }

ScopedDisplayColorBits::ScopedDisplayColorBits(int bits) : saved_(colorBits)
{
    colorBits = ColorBitsForScreenDepth(bits);
    displayPalette = colorBits == 8 ? MakeDisplayPalette() : TPalette();
}

ScopedDisplayColorBits::~ScopedDisplayColorBits()
{
    colorBits = saved_;
    displayPalette = colorBits == 8 ? MakeDisplayPalette() : TPalette();
}

TPalette MakeDisplayPalette()
{
    TPalette palette(kSystemFirst, kSystemFirst + 10);
    static constexpr int kLevels[6] = {55, 115, 165, 205, 235, 255};
    for (int b : kLevels)
        for (int g : kLevels)
            for (int r : kLevels)
                if (r != 255 || g != 255 || b != 255)
                    palette.push_back(qRgb(r, g, b));
    static constexpr int kGreys[20] = {135, 140, 145, 150, 155, 160, 170, 175, 180, 185,
                                       190, 195, 200, 210, 215, 220, 225, 230, 240, 245};
    for (int v : kGreys)
        palette.push_back(qRgb(v, v, v));
    palette.push_back(qRgb(255, 255, 254));
    palette.insert(palette.end(), kSystemLast, kSystemLast + 10);
    return palette;
}

TPalette DefaultPalette20()
{
    TPalette palette(kSystemFirst, kSystemFirst + 10);
    palette.insert(palette.end(), kSystemLast, kSystemLast + 10);
    return palette;
}

TPalette CubePalette216()
{
    TPalette palette;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                palette.push_back(qRgb(51 * r, 51 * g, 51 * b));
    return palette;
}

TPalette CopyPalette(const TPalette& palette)
{
    if (colorBits > 8 || palette.empty())
        return {};
    return TPalette(palette.begin(), palette.begin() + std::min<std::size_t>(palette.size(), 256));
}

// --- lookups ---

TFastColorLookup::TFastColorLookup(const TPalette& palette)
    : palette_(palette.begin(), palette.begin() + std::min<std::size_t>(palette.size(), 256)),
      cache_(32768, 0xFFFF)
{
    colors_ = static_cast<int>(palette_.size());
    for (int i = 0; i < colors_; ++i) {
        const QRgb c = palette_[i];
        std::uint16_t& slot = cache_[ColorKey(qRed(c), qGreen(c), qBlue(c))];
        if (slot == 0xFFFF)
            slot = static_cast<std::uint16_t>(i);
    }
}

int TFastColorLookup::Lookup(int& r, int& g, int& b)
{
    std::uint16_t& slot = cache_[ColorKey(r, g, b)];
    if (slot == 0xFFFF) {
        int best = 0;
        int bestDistance = 0x30000;
        for (int i = 0; i < colors_; ++i) {
            const QRgb c = palette_[i];
            const int d = std::abs(qRed(c) - r) + std::abs(qGreen(c) - g) + std::abs(qBlue(c) - b);
            if (d < bestDistance) {
                bestDistance = d;
                best = i;
            }
        }
        slot = static_cast<std::uint16_t>(best);
    }
    const QRgb chosen = palette_[slot];
    r = qRed(chosen);
    g = qGreen(chosen);
    b = qBlue(chosen);
    return slot;
}

int TNetscapeColorLookup::Lookup(int& r, int& g, int& b)
{
    const int lr = std::min(5, (r + 3) / 51), lg = std::min(5, (g + 3) / 51), lb = std::min(5, (b + 3) / 51);
    r = 51 * lr;
    g = 51 * lg;
    b = 51 * lb;
    return 36 * lr + 6 * lg + lb;
}

// --- engines ---

int TDitherEngine::Dither(int r, int g, int b)
{
    const int index = lookup_.Lookup(r, g, b);
    column_ += direction_;
    return index;
}

void TDitherEngine::NextLine()
{
    direction_ = -direction_;
    column_ = direction_ > 0 ? 0 : width_ - 1;
}

TFloydSteinbergEngine::TFloydSteinbergEngine(int width, TColorLookup& lookup) : TDitherEngine(width, lookup)
{
    for (int c = 0; c < 3; ++c) {
        current_[c].assign(std::size_t(width) + 2, 0);
        next_[c].assign(std::size_t(width) + 2, 0);
    }
}

int TFloydSteinbergEngine::Dither(int r, int g, int b)
{
    const int at = column_ + 1;  // error rows have one guard entry on each side
    int value[3] = {r, g, b};
    for (int c = 0; c < 3; ++c)
        value[c] = std::clamp(value[c] + (current_[c][at] + carried_[c] + 8) / 16, 0, 255);
    int chosen[3] = {value[0], value[1], value[2]};
    const int index = lookup_.Lookup(chosen[0], chosen[1], chosen[2]);
    for (int c = 0; c < 3; ++c) {
        const int e = value[c] - chosen[c];
        carried_[c] = 7 * e;
        next_[c][at - direction_] += 3 * e;
        next_[c][at] += 5 * e;
        next_[c][at + direction_] += e;
    }
    column_ += direction_;
    return index;
}

void TFloydSteinbergEngine::NextLine()
{
    for (int c = 0; c < 3; ++c) {
        std::swap(current_[c], next_[c]);
        std::fill(next_[c].begin(), next_[c].end(), 0);
    }
    carried_ = {};
    TDitherEngine::NextLine();
}

// --- octree ---

struct TColorQuantizer::Node {
    bool Leaf = false;
    std::int64_t PixelCount = 0;
    std::int64_t Red = 0, Green = 0, Blue = 0;
    Node* NextReducible = nullptr;
    std::array<std::unique_ptr<Node>, 8> Children;
};

TColorQuantizer::TColorQuantizer(int maxColors, int bitDepth)
    : maxColors_(maxColors), bitDepth_(std::clamp(bitDepth, 1, 8))
{
}

TColorQuantizer::~TColorQuantizer() = default;

void TColorQuantizer::AddColor(int r, int g, int b)
{
    std::unique_ptr<Node>* slot = &root_;
    for (int level = 0;; ++level) {
        if (!*slot) {
            *slot = std::make_unique<Node>();
            if (level == bitDepth_) {
                (*slot)->Leaf = true;
                ++leafCount_;
            } else {
                (*slot)->NextReducible = reducible_[level];
                reducible_[level] = slot->get();
            }
        }
        Node* node = slot->get();
        if (node->Leaf) {
            ++node->PixelCount;
            node->Red += r;
            node->Green += g;
            node->Blue += b;
            break;
        }
        const int shift = 7 - level;
        const int child = 4 * ((r >> shift) & 1) + 2 * ((g >> shift) & 1) + ((b >> shift) & 1);
        slot = &node->Children[child];
    }
    while (leafCount_ > maxColors_)
        Reduce();
}

void TColorQuantizer::Reduce()
{
    int level = bitDepth_ - 1;
    while (level > 0 && reducible_[level] == nullptr)
        --level;
    Node* node = reducible_[level];
    if (node == nullptr)
        return;
    reducible_[level] = node->NextReducible;
    int children = 0;
    for (auto& child : node->Children) {
        if (!child)
            continue;
        node->PixelCount += child->PixelCount;
        node->Red += child->Red;
        node->Green += child->Green;
        node->Blue += child->Blue;
        child.reset();
        ++children;
    }
    node->Leaf = true;
    leafCount_ -= children - 1;
}

TPalette TColorQuantizer::Colors() const
{
    TPalette colors;
    auto walk = [&](auto&& self, const Node* node) -> void {
        if (node == nullptr)
            return;
        if (node->Leaf) {
            if (node->PixelCount > 0)
                colors.push_back(qRgb(static_cast<int>(node->Red / node->PixelCount),
                                      static_cast<int>(node->Green / node->PixelCount),
                                      static_cast<int>(node->Blue / node->PixelCount)));
            else
                colors.push_back(qRgb(0, 0, 0));
            return;
        }
        for (const auto& child : node->Children)
            self(self, child.get());
    };
    walk(walk, root_.get());
    if (colors.size() > std::size_t(maxColors_))
        colors.resize(std::size_t(maxColors_));
    return colors;
}

// --- reduction ---

QImage ReduceColors(const QImage& picture, int reductionKind, int ditherKind)
{
    if (reductionKind == ReduceTo24Bit)
        return picture.convertToFormat(QImage::Format_RGB888);
    QImage result(picture.width(), picture.height(), QImage::Format_Indexed8);
    if (result.isNull())
        return result;
    result.fill(0);
    const QImage source = picture.convertToFormat(QImage::Format_RGB888);
    TPalette palette;
    switch (reductionKind) {
    case ReduceToSystem20: palette = DefaultPalette20(); break;
    case ReduceToCube216: palette = CubePalette216(); break;
    case ReduceToDisplay: palette = MakeDisplayPalette(); break;
    case ReduceToQuantized: palette = QuantizedPalette(source); break;
    default: return result;
    }
    result.setColorTable(QList<QRgb>(palette.begin(), palette.end()));

    std::unique_ptr<TColorLookup> lookup;
    if (reductionKind == ReduceToCube216)
        lookup = std::make_unique<TNetscapeColorLookup>();
    else
        lookup = std::make_unique<TFastColorLookup>(palette);
    if (lookup->Colors() == 0)
        return result;
    std::unique_ptr<TDitherEngine> engine;
    if (ditherKind == DitherNearest)
        engine = std::make_unique<TDitherEngine>(source.width(), *lookup);
    else if (ditherKind == DitherFloydSteinberg)
        engine = std::make_unique<TFloydSteinbergEngine>(source.width(), *lookup);
    else
        return result;

    for (int y = 0; y < source.height(); ++y) {
        const std::uint8_t* row = source.constScanLine(y);
        std::uint8_t* out = result.scanLine(y);
        while (engine->Column() >= 0 && engine->Column() < source.width()) {
            const int x = engine->Column();
            out[x] = static_cast<std::uint8_t>(engine->Dither(row[3 * x], row[3 * x + 1], row[3 * x + 2]));
        }
        engine->NextLine();
    }
    return result;
}

QImage DitherBitmap(const QImage& picture)
{
    if (picture.isNull() || picture.width() == 0 || picture.height() == 0)
        return {};
    return ReduceColors(picture, DisplayColorBits() < 8 ? ReduceToSystem20 : ReduceToDisplay, DitherFloydSteinberg);
}

QImage AdaptToDisplay(const QImage& picture)
{
    if (DisplayColorBits() <= 8)
        return DitherBitmap(picture);
    if (picture.depth() <= 8)
        return picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                 : QImage::Format_RGB32);
    return picture;
}

}  // namespace velmoran
