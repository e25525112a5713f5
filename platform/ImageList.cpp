// The image list; see ImageList.h.
#include "platform/ImageList.h"

#include "platform/SystemColors.h"

#include <algorithm>

namespace velmoran {

namespace {

// Pixels darker than this belong to the disabled look's shape.
constexpr int kShapeGray = 192;

}  // namespace

ImageList::ImageList(int width, int height, QObject* parent)
    : QObject(parent), width_(std::max(1, width)), height_(std::max(1, height))
{
}

ImageList::~ImageList() = default;

int ImageList::AddMasked(const QImage& strip, ColorRef maskColor)
{
    if (strip.isNull() || strip.width() < width_)
        return -1;
    const QImage source = MaskedByColor(strip, maskColor);
    const int first = Count();
    for (int left = 0; left + width_ <= source.width(); left += width_) {
        QImage image(width_, height_, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        for (int y = 0; y < std::min(height_, source.height()); ++y) {
            const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y)) + left;
            std::copy(in, in + width_, reinterpret_cast<QRgb*>(image.scanLine(y)));
        }
        images_.push_back(std::move(image));
    }
    Changed();
    return first;
}

QImage ImageList::Fitted(const QImage& image) const
{
    QImage copy = image.convertToFormat(QImage::Format_ARGB32);
    if (copy.width() != width_ || copy.height() != height_)
        copy = copy.scaled(width_, height_);
    return copy;
}

int ImageList::Add(const QImage& image)
{
    if (image.isNull())
        return -1;
    images_.push_back(Fitted(image));
    Changed();
    return Count() - 1;
}

void ImageList::Replace(int index, const QImage& image)
{
    if (index < 0 || index >= Count() || image.isNull())
        return;
    images_[static_cast<std::size_t>(index)] = Fitted(image);
    Changed();
}

void ImageList::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    images_.erase(images_.begin() + index);
    Changed();
}

void ImageList::Clear()
{
    images_.clear();
    Changed();
}

QImage ImageList::Image(int index) const
{
    return index >= 0 && index < Count() ? images_[static_cast<std::size_t>(index)] : QImage();
}

QImage ImageList::DisabledShape(const QImage& image, ColorRef color) const
{
    const QRgb paint = ColorToQRgb(color);
    QImage shape(image.size(), QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(shape.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            out[x] = qAlpha(in[x]) > 0 && qGray(in[x]) < kShapeGray ? paint : 0;
    }
    return shape;
}

void ImageList::Draw(Canvas& canvas, int x, int y, int index, bool enabled) const
{
    const QImage image = Image(index);
    if (image.isNull())
        return;
    if (enabled) {
        canvas.StretchBlt({x, y, x + width_, y + height_}, image);
        return;
    }
    canvas.StretchBlt({x + 1, y + 1, x + 1 + width_, y + 1 + height_},
                      DisabledShape(image, SystemColor(COLOR_BTNHIGHLIGHT)));
    canvas.StretchBlt({x, y, x + width_, y + height_}, DisabledShape(image, SystemColor(COLOR_BTNSHADOW)));
}

void ImageList::Changed()
{
    links_.Notify();
}

QRgb ColorToQRgb(ColorRef color)
{
    const ColorRef rgb = ColorToRGB(color);
    return qRgb(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

QImage MaskedByColor(const QImage& image, ColorRef maskColor)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = ColorToQRgb(maskColor) & 0xFFFFFF;
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x)
            if ((line[x] & 0xFFFFFF) == transparent)
                line[x] = 0;
    }
    return result;
}

}  // namespace velmoran
