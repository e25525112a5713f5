// The GDI+ drawing layer: graphics on a paint device or an image, images loaded from files
// (optionally temporary ones, deleted with the image) and in-memory ARGB bitmaps. Linux has no
// GDI+, so the layer stands on QImage/QPainter and is switched off in production (GDIPlusActive
// is false, PNG pictures go through the library's own decoder); tests switch it on through
// ScopedGDIPlusActive.
#pragma once

#include "html/base/image/ImageObject.h"
#include "platform/core/Exceptions.h"

#include <QImage>

#include <memory>
#include <string>

class QPainter;
class QPaintDevice;

namespace velmoran {

class Canvas;

class EGDIPlus : public Exception {
public:
    using Exception::Exception;
};

bool GDIPlusActive();

// Test seam: the GDI+ path on or off for the lifetime of the object.
class ScopedGDIPlusActive {
public:
    explicit ScopedGDIPlusActive(bool active);
    ~ScopedGDIPlusActive();
    ScopedGDIPlusActive(const ScopedGDIPlusActive&) = delete;
    ScopedGDIPlusActive& operator=(const ScopedGDIPlusActive&) = delete;

private:
    bool saved_;
};

class TGpImage : public TImageObject {
public:
    // Loads a picture file; "Image file %s not found." / "Can't load image file %s.". With
    // isTemp the file is deleted when the image is freed.
    TGpImage(const std::string& fileName, bool isTemp);
    ~TGpImage() override;
    TGpImage(const TGpImage&) = delete;
    TGpImage& operator=(const TGpImage&) = delete;

    int Width() const override { return image_.width(); }
    int Height() const override { return image_.height(); }
    std::int64_t ByteCount() const override { return image_.sizeInBytes(); }
    const std::string& TempFile() const { return tempFile_; }
    // The image drawn onto white in a plain bitmap of its size.
    QImage ToBitmap() const;

    QImage& Image() { return image_; }
    const QImage& Image() const { return image_; }

protected:
    TGpImage() = default;
    QImage image_;  // Format_ARGB32_Premultiplied

private:
    std::string tempFile_;
};

class TGpBitmap final : public TGpImage {
public:
    // An empty 32-bit ARGB bitmap; "Can't create bitmap" on failure.
    TGpBitmap(int width, int height);
    QRgb GetPixel(int x, int y) const;
    void SetPixel(int x, int y, QRgb color);
};

class TGpGraphics {
public:
    // Graphics on a paint device; "Can't Create Graphics" when it cannot be painted on.
    explicit TGpGraphics(QPaintDevice& device);
    // Graphics drawing into an image.
    explicit TGpGraphics(TGpImage& image);
    ~TGpGraphics();
    TGpGraphics(const TGpGraphics&) = delete;
    TGpGraphics& operator=(const TGpGraphics&) = delete;

    // Stretched; small images that are enlarged are first widened by repeating their last
    // column and row, then stretched by nearest neighbour, so their edges do not fade.
    void DrawImage(const TGpImage& image, int x, int y, int w, int h);
    void DrawImageAt(const TGpImage& image, int x, int y);
    void DrawImagePart(const TGpImage& image, int x, int y, int srcX, int srcY, int srcW, int srcH);
    void DrawImageRectRect(const TGpImage& image, const QRect& destination, const QRect& source);
    void Clear(QRgb argb);
    void ScaleTransform(double sx, double sy);

    QPainter& Painter() { return *painter_; }

    // A small image enlarged to w x h: first widened by repeating its last column and row, then
    // stretched by nearest neighbour, so that its edges do not fade. Null for an empty size.
    static QImage StretchSmallImage(const TGpImage& image, int w, int h);
    // Whether DrawImage takes that path for the size.
    static bool IsSmallStretch(const TGpImage& image, int w, int h);

private:

    std::unique_ptr<QPainter> painter_;
};

// Drawing shortcuts onto a document's canvas, with the smoothing of GDI+ (halftone stretching);
// the canvas's stretch mode is left as it was.
void DrawGpImage(Canvas& canvas, const TGpImage& image, int x, int y);
void DrawGpImagePart(Canvas& canvas, const TGpImage& image, const QRect& destination, const QRect& source);
// Small images that are enlarged keep sharp edges, as TGpGraphics::DrawImage draws them.
void StretchDrawGpImage(Canvas& canvas, const TGpImage& image, int x, int y, int w, int h);
// (x, y, w, h) and the image's own size scaled by (sx, sy), as under a world scale transform.
void DrawGpImageScaled(Canvas& canvas, const TGpImage& image, double sx, double sy, int x, int y, int w, int h);
void DrawGpImageAtScale(Canvas& canvas, const TGpImage& image, double sx, double sy, int x, int y);
// Through a bitmap of the image's size filled with the background colour, stretched onto the
// canvas: for devices that take no alpha composition (printing).
void DrawGpImageViaBitmap(Canvas& canvas, const TGpImage& image, int x, int y, int w, int h, QRgb background);

}  // namespace velmoran
