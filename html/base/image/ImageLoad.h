// Loading pictures from files and streams into the image objects the cache holds, their masks,
// and drawing and printing bitmaps with masks.
#pragma once

#include "html/base/image/ImageKind.h"
#include "html/base/image/ImageObject.h"

#include <QImage>
#include <QRegion>
#include <QTransform>

#include <memory>
#include <string>

namespace velmoran {

class Canvas;
class TStream;

// Reads the transparent palette entry of a palette PNG: the colour of the first tRNS entry whose
// alpha is 0. The stream position is kept; every read is bounded by the chunk and the stream.
bool PngTransparentColor(TStream& stream, QRgb& color);

// Decodes a bitmap, PNG or JPEG (never GIF) into a picture made ready for the display; transparent
// comes in as LowerLeftColor to ask for the lower-left colour's mask and may come back as
// PngPaletteEntry. A null picture for anything that cannot be decoded; nothing is reported.
QImage DecodeImageStream(TStream* stream, TTransparencyKind& transparent, QImage& mask);
// A picture object: a GDI+ image for PNG when GDI+ is active, else the decoded bitmap; null when
// the picture cannot be decoded.
std::unique_ptr<TImageObject> LoadImageFromStream(TStream* stream, TTransparencyKind& transparent, QImage& mask);
std::unique_ptr<TImageObject> LoadImageFromFile(const std::string& fileName, TTransparencyKind& transparent,
                                                QImage& mask);

// The mask of the pixels that have the transparent colour: the given one, or the colour of the
// lower-left pixel.
QImage CreateMaskBitmap(const QImage& bitmap, bool useColor, QRgb color = 0);
// The mask of the pixels whose alpha is 0.
QImage CreateMaskFromAlpha(const QImage& bitmap);

// Stretches the bitmap into (x, y, w, h) on the canvas, transparent where the mask is white (by
// alpha composition); nothing on a monochrome device.
void DrawMaskedBitmap(Canvas& canvas, const QImage& bitmap, const QImage& mask, int x, int y, int w, int h);
// All pixels whose colour differs from color, as one-row rectangles through the transform.
QRegion MaskToRegion(const QImage& bitmap, QRgb color, const QTransform& transform = QTransform());
// A picture for tiling a background: a side of exactly 1 pixel is stretched to the wanted size,
// at most 100 and at least 1 pixel; other sides keep their size.
QImage EnlargeImage(const TImageObject& image, int w, int h);
// Prints the bitmap stretched into (x, y, w, h).
void PrintBitmap(Canvas& canvas, int x, int y, int w, int h, const QImage& bitmap);
// Prints rows firstRow .. firstRow + rows - 1 of the bitmap, stretched into (x, y, w, h) and
// transparent where the mask is white.
void PrintMaskedImage(Canvas& canvas, int x, int y, int w, int h, const QImage& bitmap, const QImage& mask,
                      int firstRow, int rows);

// Sizes of the picture objects; any other object raises EGDIPlus.
int ImageWidthOf(const TImageObject* image);
int ImageHeightOf(const TImageObject* image);

}  // namespace velmoran
