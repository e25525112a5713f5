// Windows metafiles as pictures: the old format (WMF, with or without the placeable header that
// gives its size) and the enhanced one (EMF). Reading checks the file's frame: the header and
// every record's length lie within the bytes, and the picture has a size. Playing draws the
// records a picture uses onto a canvas, fitted into a rectangle: pens, brushes and fonts and
// their selection, lines, polylines, polygons, rectangles, ellipses, arcs, text, bitmaps through
// the stretch-DIB records, the mapping mode, window and viewport, saving and restoring the state.
// Other records are skipped, and so is a record too short for what it says. A play stops after a
// budget of records. A metafile shown as a picture is played once into an image (MetafileImage.h).
#pragma once

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

// Draws the metafile fitted into the rectangle (a rectangle upside down or mirrored flips it),
// clipped to it; the canvas's state is kept. Records past the budget are not played.
void PlayMetafile(Canvas& canvas, const TMetafile& metafile, const TRect& target,
                  std::size_t recordBudget = kMetafileRecordBudget);

}  // namespace velmoran
