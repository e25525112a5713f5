// Windows metafiles as pictures: the old format (WMF, with or without the placeable header that
// gives its size) and the enhanced one (EMF). Reading checks the file's frame: the header and
// every record's length lie within the bytes, and the picture has a size. Playing draws the
// records a picture uses onto a canvas, fitted into a rectangle: pens, brushes and fonts and
// their selection, lines, polylines, polygons, rectangles, ellipses, arcs, text, bitmaps through
// the stretch-DIB records, the mapping mode, window and viewport, saving and restoring the state.
// Other records are skipped, and so is a record too short for what it says. A play stops after a
// budget of records and before a drawing that would pass a budget of what it draws or of the
// bitmap pixels it decodes. A metafile
// shown as a picture is played once into an image (MetafileImage.h).
#pragma once

#include "html/base/image/DibDecode.h"
#include "platform/Canvas.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace velmoran {

enum class TMetafileKind { Wmf, Emf };

struct TMetafile {
    TMetafileKind Kind = TMetafileKind::Wmf;
    std::vector<std::uint8_t> Bytes;
    // Where the records start.
    std::size_t RecordsAt = 0;
    // The picture's frame in the units its records draw in before the file's own mapping: the
    // placeable header's box or the first window of an old metafile; the reference device's
    // pixels of an enhanced one.
    double FrameLeft = 0, FrameTop = 0, FrameWidth = 1, FrameHeight = 1;
    // The file's window when its records draw with the placeable header's mapping.
    bool PlaceableMapping = false;
    int WindowLeft = 0, WindowTop = 0, WindowWidth = 1, WindowHeight = 1;
    // Millimetres per reference-device pixel (enhanced metafiles), for the metric mapping modes.
    double PixelsPerMmX = 96 / 25.4, PixelsPerMmY = 96 / 25.4;
    // The size in HIMETRIC units (hundredths of a millimetre).
    int HimetricWidth = 0;
    int HimetricHeight = 0;
};

// Whether the bytes start like a metafile of either kind (nothing more is checked).
bool LooksLikeMetafile(const std::uint8_t* bytes, std::size_t size);
// The checked metafile; nothing when the bytes are no metafile or a damaged one.
std::optional<TMetafile> ReadMetafile(const std::uint8_t* bytes, std::size_t size);
// The records a play takes at most: a file of many records (4 MB of ellipses are 166,000) stops
// there with the picture as far as it got, after about half a second. Drawings made by hand or
// by a chart program take a few thousand.
inline constexpr std::size_t kMetafileRecordBudget = 25000;
// What a play draws at most, in pixels of the screen's resolution: each drawing counts the part
// of its bounds that can be seen when it fills, and the whole length of its outline times the
// pen's width (a curve is flattened along all of it, seen or not). Few records can draw a lot: a
// file of 24,000 ellipses each as large as the picture would fill 400 billion pixels at
// 4096 x 4096; the play stops after about a quarter of a second of drawing. A drawing made by hand
// or by a chart program fills its picture a few times over.
inline constexpr double kMetafileDrawBudget = 384.0 * 1024 * 1024;
// What the bitmaps of a play decode at most, in pixels, whatever they are drawn into: one bitmap
// of the largest size a bitmap may have (8192 x 8192), or more smaller ones. Decoding is charged
// before it is done: a file of seven such bitmaps, each drawn into one pixel, stops after the
// first, a third of a second in. A drawing made by hand or by a chart program decodes a few
// screens' worth.
inline constexpr double kMetafileBitmapBudget = double(kDibMaxPixels);

// Draws the metafile fitted into the rectangle (a rectangle upside down or mirrored flips it),
// clipped to it; the canvas's state is kept. Records past the record budget are not played, nor
// is the drawing that would pass the draw budget or the bitmap budget, or any after it.
void PlayMetafile(Canvas& canvas, const TMetafile& metafile, const TRect& target,
                  std::size_t recordBudget = kMetafileRecordBudget, double drawBudget = kMetafileDrawBudget,
                  double bitmapBudget = kMetafileBitmapBudget);

}  // namespace velmoran
