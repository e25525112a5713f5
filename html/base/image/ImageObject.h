// The picture objects that the image cache holds and the documents draw: a still bitmap, an
// animated GIF image or a GDI+ image, each with its size; and the monochrome masks that go with
// pictures (white where the picture is transparent, black where it is opaque).
#pragma once

#include <QImage>

#include <cstdint>

namespace velmoran {

// The memory the pictures of one document may hold decoded, and the images kept for the
// metafiles that captions show (KeptImages.h): enough for any page a person reads, short of
// what would take the machine's memory.
inline constexpr std::int64_t kPictureBudget = std::int64_t{512} << 20;

class TImageObject {
public:
    virtual ~TImageObject() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // The memory the decoded picture holds, for the picture budget of a document.
    virtual std::int64_t ByteCount() const { return std::int64_t{Width()} * Height() * 4; }
};

// A still picture; decoded pictures are 32-bit or palette QImages.
class TBitmapImage final : public TImageObject {
public:
    explicit TBitmapImage(QImage image) : image_(std::move(image)) {}
    int Width() const override { return image_.width(); }
    int Height() const override { return image_.height(); }
    std::int64_t ByteCount() const override { return image_.sizeInBytes(); }
    const QImage& Image() const { return image_; }
    QImage& Image() { return image_; }

private:
    QImage image_;
};

// Masks are Format_Mono images whose index 1 (white) marks a transparent pixel.
QImage NewMask(int width, int height, bool transparent);
inline bool MaskIsTransparent(const QImage& mask, int x, int y)
{
    return (mask.constScanLine(y)[x >> 3] >> (7 - (x & 7))) & 1;
}
inline void SetMaskPixel(QImage& mask, int x, int y, bool transparent)
{
    std::uint8_t* line = mask.scanLine(y) + (x >> 3);
    const std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> (x & 7));
    *line = transparent ? (*line | bit) : (*line & ~bit);
}
// The picture made drawable: 32-bit premultiplied, with every pixel the mask marks transparent
// cleared. A null mask keeps the picture's own alpha.
QImage ApplyMask(const QImage& image, const QImage& mask);

}  // namespace velmoran
