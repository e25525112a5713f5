// Picture loading, masks, masked drawing and printing.
#include "html/base/image/ImageLoad.h"

#include "html/base/image/DisplayPalette.h"
#include "html/base/image/GdiPlusBinding.h"
#include "html/base/image/GifImage.h"
#include "html/base/image/JpegDecode.h"
#include "html/base/image/PngDecode.h"
#include "platform/Canvas.h"
#include "platform/core/Stream.h"

#include <QDir>
#include <QPainter>

#include <cstdlib>
#include <unistd.h>

namespace velmoran {

namespace {

std::uint32_t BigEndian32(const std::uint8_t* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

std::uint32_t LittleEndian32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}

// A bitmap file must hold the pixel data its headers announce; a short one is a read error.
bool BitmapComplete(const std::vector<std::uint8_t>& bytes)
{
    if (bytes.size() < 54)
        return false;
    const std::uint64_t offset = LittleEndian32(bytes.data() + 10);
    const std::uint32_t headerSize = LittleEndian32(bytes.data() + 14);
    if (headerSize < 40)
        return bytes.size() > offset;  // old core header: Qt checks the rest
    const auto width = static_cast<std::int32_t>(LittleEndian32(bytes.data() + 18));
    const auto height = static_cast<std::int32_t>(LittleEndian32(bytes.data() + 22));
    const int bits = bytes[28] | (bytes[29] << 8);
    const std::uint32_t compression = LittleEndian32(bytes.data() + 30);
    const std::uint64_t imageSize = LittleEndian32(bytes.data() + 34);
    std::uint64_t needed = imageSize;
    if (compression == 0 || compression == 3) {
        const std::uint64_t rowBytes = (std::uint64_t(std::abs(std::int64_t(width))) * bits + 31) / 32 * 4;
        needed = rowBytes * std::uint64_t(std::abs(std::int64_t(height)));
    }
    return offset + needed <= bytes.size();
}

std::vector<std::uint8_t> ReadAll(TStream& stream)
{
    stream.SetPosition(0);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<std::int64_t>(0, stream.Size())));
    const std::int64_t got = bytes.empty() ? 0 : stream.Read(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(std::max<std::int64_t>(0, got)));
    return bytes;
}

// The PNG goes to a temporary file that is created exclusively under a name nobody can predict.
std::string WriteTemporaryPng(const std::vector<std::uint8_t>& bytes)
{
    std::string path = (QDir::tempPath() + QStringLiteral("/pngXXXXXX")).toStdString();
    const int fd = mkstemp(path.data());
    if (fd < 0)
        throw EFOpenError::CannotCreate(path);
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n <= 0) {
            ::close(fd);
            std::remove(path.c_str());
            throw EWriteError();
        }
        written += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return path;
}

}  // namespace

bool PngTransparentColor(TStream& stream, QRgb& color)
{
    const std::int64_t saved = stream.Position();
    const std::int64_t size = stream.Size();
    bool found = false;
    stream.SetPosition(0);
    std::uint8_t signature[8];
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (stream.Read(signature, 8) == 8 && std::memcmp(signature, kSignature, 8) == 0) {
        int colorType = -1;
        std::uint8_t palette[768];
        int paletteEntries = 0;
        for (;;) {
            std::uint8_t head[8];
            if (stream.Read(head, 8) != 8)
                break;
            const std::uint32_t length = BigEndian32(head);
            const std::string name(reinterpret_cast<const char*>(head + 4), 4);
            if (length > 0x7FFFFFFFu || std::int64_t(length) + 4 > size - stream.Position())
                break;
            if (name == "IHDR") {
                std::uint8_t header[13];
                if (length != 13 || stream.Read(header, 13) != 13)
                    break;
                stream.Seek(4, SeekOrigin::Current);
                colorType = header[9];
                if (colorType != 2 && colorType != 3)
                    break;
            } else if (name == "PLTE") {
                if (length > sizeof palette || length % 3 != 0 ||
                    stream.Read(palette, length) != std::int64_t(length))
                    break;
                paletteEntries = static_cast<int>(length / 3);
                stream.Seek(4, SeekOrigin::Current);
            } else if (name == "tRNS") {
                if (colorType == 3 && length <= 256) {
                    std::uint8_t alpha[256];
                    if (stream.Read(alpha, length) == std::int64_t(length)) {
                        for (int i = 0; i < static_cast<int>(length) && i < paletteEntries; ++i) {
                            if (alpha[i] == 0) {
                                color = qRgb(palette[3 * i], palette[3 * i + 1], palette[3 * i + 2]);
                                found = true;
                                break;
                            }
                        }
                    }
                }
                break;
            } else if (name == "IDAT") {
                break;
            } else {
                stream.Seek(std::int64_t(length) + 4, SeekOrigin::Current);
            }
        }
    }
    stream.SetPosition(saved);
    return found;
}

QImage CreateMaskBitmap(const QImage& bitmap, bool useColor, QRgb color)
{
    if (bitmap.isNull())
        return {};
    const QImage source = bitmap.convertToFormat(QImage::Format_RGB32);
    const QRgb key = (useColor ? color : source.pixel(0, source.height() - 1)) & 0xFFFFFF;
    QImage mask = NewMask(source.width(), source.height(), false);
    if (mask.isNull())
        return {};
    for (int y = 0; y < source.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        for (int x = 0; x < source.width(); ++x)
            if ((line[x] & 0xFFFFFF) == key)
                SetMaskPixel(mask, x, y, true);
    }
    return mask;
}

QImage CreateMaskFromAlpha(const QImage& bitmap)
{
    if (bitmap.isNull())
        return {};
    const QImage source = bitmap.convertToFormat(QImage::Format_ARGB32);
    QImage mask = NewMask(source.width(), source.height(), false);
    if (mask.isNull())
        return {};
    for (int y = 0; y < source.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        for (int x = 0; x < source.width(); ++x)
            if (qAlpha(line[x]) == 0)
                SetMaskPixel(mask, x, y, true);
    }
    return mask;
}

QImage DecodeImageStream(TStream* stream, TTransparencyKind& transparent, QImage& mask)
{
    mask = QImage();
    if (stream == nullptr || stream->Size() < 20)
        return {};
    try {
        const std::vector<std::uint8_t> bytes = ReadAll(*stream);
        QImage bitmap;
        switch (ImageStreamKind(bytes.data(), std::min<std::size_t>(bytes.size(), 5))) {
        case TImageKind::Jpeg: {
            transparent = TTransparencyKind::NoTransparency;
            TJPEGImage jpeg;
            jpeg.LoadFromBytes(bytes.data(), bytes.size());
            if (DisplayColorBits() <= 8) {
                jpeg.SetPixelFormat(8);
                if (!jpeg.Grayscale() && DisplayColorBits() == 8)
                    jpeg.SetPalette(CopyPalette(ThePalette()));
            }
            bitmap = jpeg.Bitmap();
            break;
        }
        case TImageKind::Png: {
            QRgb color = 0;
            if (PngTransparentColor(*stream, color))
                transparent = TTransparencyKind::PngPaletteEntry;
            TPNGImage png;
            png.LoadFromBytes(bytes.data(), bytes.size());
            bitmap = png.Picture();
            break;
        }
        case TImageKind::Bitmap:
            if (!BitmapComplete(bytes))
                return {};
            bitmap.loadFromData(bytes.data(), static_cast<int>(bytes.size()), "BMP");
            break;
        default:
            return {};
        }
        if (bitmap.isNull())
            return {};
        if (transparent == TTransparencyKind::LowerLeftColor) {
            mask = CreateMaskBitmap(bitmap, false);
        } else if (transparent == TTransparencyKind::PngPaletteEntry) {
            // By alpha, not by the transparent entry's colour: an opaque entry of that colour would vanish too.
            // Transparent pixels hold black, so the picture also paints correctly through its mask.
            mask = CreateMaskFromAlpha(bitmap);
            bitmap = bitmap.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        }
        QImage adapted = AdaptToDisplay(bitmap);
        if (adapted.isNull())
            mask = QImage();
        return adapted;
    } catch (const std::exception&) {
        mask = QImage();
        return {};
    }
}

std::unique_ptr<TImageObject> LoadImageFromStream(TStream* stream, TTransparencyKind& transparent, QImage& mask)
{
    mask = QImage();
    if (stream == nullptr || stream->Size() < 20)
        return nullptr;
    stream->SetPosition(0);
    if (GDIPlusActive()) {
        std::uint8_t head[5] = {};
        const std::int64_t got = stream->Read(head, 5);
        stream->SetPosition(0);
        if (ImageStreamKind(head, static_cast<std::size_t>(got)) == TImageKind::Png) {
            transparent = TTransparencyKind::NoTransparency;
            const std::string file = WriteTemporaryPng(ReadAll(*stream));
            return std::make_unique<TGpImage>(file, true);
        }
    }
    QImage bitmap = DecodeImageStream(stream, transparent, mask);
    if (bitmap.isNull())
        return nullptr;
    return std::make_unique<TBitmapImage>(std::move(bitmap));
}

std::unique_ptr<TImageObject> LoadImageFromFile(const std::string& fileName, TTransparencyKind& transparent,
                                                QImage& mask)
{
    mask = QImage();
    if (!FileExists(fileName))
        return nullptr;
    if (GDIPlusActive() && ImageFileKind(fileName) == TImageKind::Png)
        return std::make_unique<TGpImage>(fileName, false);
    TMemoryStream stream;
    try {
        stream.LoadFromFile(fileName);
    } catch (const EStreamError&) {
        return nullptr;
    }
    return LoadImageFromStream(&stream, transparent, mask);
}

void DrawMaskedBitmap(Canvas& canvas, const QImage& bitmap, const QImage& mask, int x, int y, int w, int h)
{
    if (bitmap.isNull() || canvas.IsMonochrome())
        return;
    canvas.MaskedStretchBlt({x, y, x + w, y + h}, bitmap, mask);
}

QRegion MaskToRegion(const QImage& bitmap, QRgb color, const QTransform& transform)
{
    const QImage source = bitmap.convertToFormat(QImage::Format_RGB32);
    QRegion region;
    QList<QRect> block;
    const QRgb key = color & 0xFFFFFF;
    for (int y = 0; y < source.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        for (int x = 0; x < source.width();) {
            if ((line[x] & 0xFFFFFF) == key) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < source.width() && (line[x] & 0xFFFFFF) != key)
                ++x;
            block.push_back(QRect(start, y, x - start, 1));
            if (block.size() == 2000) {
                QRegion part;
                part.setRects(block.constData(), static_cast<int>(block.size()));
                region += transform.map(part);
                block.clear();
            }
        }
    }
    if (!block.isEmpty()) {
        QRegion part;
        part.setRects(block.constData(), static_cast<int>(block.size()));
        region += transform.map(part);
    }
    return region;
}

QImage EnlargeImage(const TImageObject& image, int w, int h)
{
    QImage source;
    if (const auto* gp = dynamic_cast<const TGpImage*>(&image))
        source = gp->ToBitmap();
    else if (const auto* bitmap = dynamic_cast<const TBitmapImage*>(&image))
        source = bitmap->Image();
    else if (const auto* gif = dynamic_cast<const TGIFImage*>(&image))
        source = gif->FrameImage(1);
    if (source.isNull())
        return {};
    const int width = source.width() == 1 ? std::clamp(w, 1, 100) : source.width();
    const int height = source.height() == 1 ? std::clamp(h, 1, 100) : source.height();
    if (width == source.width() && height == source.height())
        return source.copy();
    return source.scaled(width, height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

void PrintBitmap(Canvas& canvas, int x, int y, int w, int h, const QImage& bitmap)
{
    canvas.StretchBlt({x, y, x + w, y + h}, bitmap);
}

void PrintMaskedImage(Canvas& canvas, int x, int y, int w, int h, const QImage& bitmap, const QImage& mask,
                      int firstRow, int rows)
{
    if (bitmap.isNull() || bitmap.height() == 0 || bitmap.width() == 0)
        return;
    firstRow = std::clamp(firstRow, 0, bitmap.height());
    rows = std::clamp(rows, 0, bitmap.height() - firstRow);
    if (rows == 0)
        return;
    const TRect source{0, firstRow, bitmap.width(), firstRow + rows};
    canvas.MaskedStretchBlt({x, y, x + w, y + h}, bitmap, mask, &source);
}

namespace {
const TImageObject& Checked(const TImageObject* image)
{
    if (dynamic_cast<const TBitmapImage*>(image) == nullptr && dynamic_cast<const TGIFImage*>(image) == nullptr &&
        dynamic_cast<const TGpImage*>(image) == nullptr)
        throw EGDIPlus("Not a TBitmap, TGifImage, TMetafile, or TGpImage");
    return *image;
}
}  // namespace

int ImageWidthOf(const TImageObject* image) { return Checked(image).Width(); }
int ImageHeightOf(const TImageObject* image) { return Checked(image).Height(); }

}  // namespace velmoran
