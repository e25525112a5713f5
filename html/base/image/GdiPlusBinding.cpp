// The GDI+ drawing layer over QImage and QPainter.
#include "html/base/image/GdiPlusBinding.h"

#include "platform/Canvas.h"

#include <QFile>
#include <QPainter>

#include <cmath>
#include <cstdio>

namespace velmoran {

namespace {

bool gdiPlusActive = false;

std::string Formatted(const char* format, const std::string& name)
{
    std::string text(format);
    const auto at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, name);
    return text;
}

}  // namespace

bool GDIPlusActive() { return gdiPlusActive; }

ScopedGDIPlusActive::ScopedGDIPlusActive(bool active) : saved_(gdiPlusActive) { gdiPlusActive = active; }
ScopedGDIPlusActive::~ScopedGDIPlusActive() { gdiPlusActive = saved_; }

TGpImage::TGpImage(const std::string& fileName, bool isTemp)
{
    const QString name = QString::fromUtf8(fileName.data(), static_cast<qsizetype>(fileName.size())).left(1024);
    if (!QFile::exists(name))
        throw EGDIPlus(Formatted("Image file %s not found.", fileName));
    if (isTemp)
        tempFile_ = fileName;
    QImage loaded(name);
    if (loaded.isNull()) {
        if (isTemp)
            std::remove(fileName.c_str());
        throw EGDIPlus(Formatted("Can't load image file %s.", fileName));
    }
    image_ = loaded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

TGpImage::~TGpImage()
{
    if (!tempFile_.empty())
        std::remove(tempFile_.c_str());
}

QImage TGpImage::ToBitmap() const
{
    QImage bitmap(image_.size(), QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    QPainter painter(&bitmap);
    painter.drawImage(0, 0, image_);
    return bitmap;
}

TGpBitmap::TGpBitmap(int width, int height)
{
    image_ = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    if (image_.isNull())
        throw EGDIPlus("Can't create bitmap");
    image_.fill(0);
}

QRgb TGpBitmap::GetPixel(int x, int y) const { return image_.valid(x, y) ? image_.pixel(x, y) : 0; }

void TGpBitmap::SetPixel(int x, int y, QRgb color)
{
    if (image_.valid(x, y))
        image_.setPixel(x, y, qPremultiply(color));
}

TGpGraphics::TGpGraphics(QPaintDevice& device) : painter_(std::make_unique<QPainter>())
{
    if (!painter_->begin(&device))
        throw EGDIPlus("Can't Create Graphics");
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, true);
}

TGpGraphics::TGpGraphics(TGpImage& image) : TGpGraphics(static_cast<QPaintDevice&>(image.Image())) {}

TGpGraphics::~TGpGraphics()
{
    if (painter_->isActive())
        painter_->end();
}

bool TGpGraphics::IsSmallStretch(const TGpImage& image, int w, int h)
{
    const bool plainWidth = image.Width() > 10 || w <= image.Width();
    const bool plainHeight = image.Height() > 10 || h <= image.Height();
    return !(plainWidth && plainHeight);
}

void TGpGraphics::DrawImage(const TGpImage& image, int x, int y, int w, int h)
{
    if (!IsSmallStretch(image, w, h)) {
        painter_->drawImage(QRect(x, y, w, h), image.Image());
        return;
    }
    const QImage stretched = StretchSmallImage(image, w, h);
    if (!stretched.isNull())
        painter_->drawImage(x, y, stretched);
}

QImage TGpGraphics::StretchSmallImage(const TGpImage& image, int w, int h)
{
    const int iw = image.Width(), ih = image.Height();
    if (iw <= 0 || ih <= 0 || w <= 0 || h <= 0)
        return {};
    // One pixel wider and higher, the extra column, row and corner repeating the last ones.
    TGpBitmap widened(iw + 1, ih + 1);
    {
        QPainter p(&widened.Image());
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, image.Image());
        p.drawImage(QPoint(iw, 0), image.Image(), QRect(iw - 1, 0, 1, ih));
        p.drawImage(QPoint(0, ih), image.Image(), QRect(0, ih - 1, iw, 1));
        p.drawImage(QPoint(iw, ih), image.Image(), QRect(iw - 1, ih - 1, 1, 1));
    }
    TGpBitmap stretched(w, h);
    {
        QPainter p(&stretched.Image());
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);  // nearest neighbour
        p.drawImage(QRect(0, 0, w, h), widened.Image(), QRect(0, 0, iw, ih));
    }
    return stretched.Image();
}

void TGpGraphics::DrawImageAt(const TGpImage& image, int x, int y)
{
    painter_->drawImage(QRect(x, y, image.Width(), image.Height()), image.Image());
}

void TGpGraphics::DrawImagePart(const TGpImage& image, int x, int y, int srcX, int srcY, int srcW, int srcH)
{
    painter_->drawImage(QPointF(x, y), image.Image(), QRectF(srcX, srcY, srcW, srcH));
}

void TGpGraphics::DrawImageRectRect(const TGpImage& image, const QRect& destination, const QRect& source)
{
    painter_->drawImage(destination, image.Image(), source);
}

void TGpGraphics::Clear(QRgb argb)
{
    const auto mode = painter_->compositionMode();
    painter_->setCompositionMode(QPainter::CompositionMode_Source);
    painter_->fillRect(QRect(0, 0, painter_->device()->width(), painter_->device()->height()), QColor::fromRgba(argb));
    painter_->setCompositionMode(mode);
}

void TGpGraphics::ScaleTransform(double sx, double sy)
{
    QTransform transform = painter_->worldTransform();
    painter_->setWorldTransform(QTransform::fromScale(sx, sy) * transform);
}

namespace {

TRect ToTRect(const QRect& r)
{
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

int Scaled(int v, double s)
{
    return static_cast<int>(std::lround(v * s));
}

// Draws with halftone stretching and leaves the canvas's stretch mode as it was.
void DrawSmooth(Canvas& canvas, const TRect& destination, const QImage& image, const TRect* source = nullptr)
{
    const StretchMode old = canvas.SetStretchBltMode(StretchMode::Halftone);
    canvas.StretchBlt(destination, image, source);
    canvas.SetStretchBltMode(old);
}

}  // namespace

void DrawGpImage(Canvas& canvas, const TGpImage& image, int x, int y)
{
    DrawSmooth(canvas, {x, y, x + image.Width(), y + image.Height()}, image.Image());
}

void DrawGpImagePart(Canvas& canvas, const TGpImage& image, const QRect& destination, const QRect& source)
{
    const TRect part = ToTRect(source);
    DrawSmooth(canvas, ToTRect(destination), image.Image(), &part);
}

void StretchDrawGpImage(Canvas& canvas, const TGpImage& image, int x, int y, int w, int h)
{
    if (!TGpGraphics::IsSmallStretch(image, w, h)) {
        DrawSmooth(canvas, {x, y, x + w, y + h}, image.Image());
        return;
    }
    const QImage stretched = TGpGraphics::StretchSmallImage(image, w, h);
    if (!stretched.isNull())
        canvas.StretchBlt({x, y, x + w, y + h}, stretched);
}

void DrawGpImageScaled(Canvas& canvas, const TGpImage& image, double sx, double sy, int x, int y, int w, int h)
{
    const int left = Scaled(x, sx), top = Scaled(y, sy);
    StretchDrawGpImage(canvas, image, left, top, Scaled(x + w, sx) - left, Scaled(y + h, sy) - top);
}

void DrawGpImageAtScale(Canvas& canvas, const TGpImage& image, double sx, double sy, int x, int y)
{
    const int left = Scaled(x, sx), top = Scaled(y, sy);
    DrawSmooth(canvas, {left, top, Scaled(x + image.Width(), sx), Scaled(y + image.Height(), sy)}, image.Image());
}

void DrawGpImageViaBitmap(Canvas& canvas, const TGpImage& image, int x, int y, int w, int h, QRgb background)
{
    QImage bitmap(image.Width(), image.Height(), QImage::Format_RGB32);
    if (bitmap.isNull())
        return;
    bitmap.fill(background);
    {
        QPainter p(&bitmap);
        p.drawImage(0, 0, image.Image());
    }
    canvas.StretchBlt({x, y, x + w, y + h}, bitmap);
}

}  // namespace velmoran
