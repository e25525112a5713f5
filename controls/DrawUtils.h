// The drawing utilities of the date, list and button controls: the background of a transparent
// control taken from its parent, pictures drawn with a transparent colour, disabled renderings,
// text shortened with "...", the foreground test, posted-event removal, the "not implemented"
// message, small memory helpers and the two screen cursors of the controls.
//
// Masks are alpha composition (there are no raster operations on our canvases) and palettes are
// ignored: screens are true colour.
#pragma once

#include "platform/Canvas.h"
#include "platform/ImageList.h"
#include "platform/SystemColors.h"

#include <QCursor>
#include <QEvent>
#include <QImage>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace velmoran {

// "The default colour": a picture's transparent colour taken from its bottom-left pixel.
constexpr ColorRef clDefault = 0x20000000;

// Paints into image (the control's size, its top-left at the control's) what lies under the
// control: the parent's own background and painting (without its children), then every earlier
// sibling (below the control) that is visible and overlaps it. A parent already being copied is
// not copied again (a transparent control inside the copy).
void CopyParentImage(QWidget* control, QImage& image);

// The source part stretched into the destination, pixels of the mask colour left out.
void StretchBltTransparent(Canvas& canvas, int x, int y, int width, int height, const QImage& source, int sourceX,
                           int sourceY, int sourceWidth, int sourceHeight, ColorRef maskColor);
// The same with the framework's defaults: a destination size below 1 takes the picture's, a
// source size below 1 the whole picture; kNoColor draws without transparency, clDefault takes
// the bottom-left pixel's colour; a monochrome picture is transparent where it is white.
void StretchBitmapRectTransparent(Canvas& canvas, int x, int y, int width, int height, const QImage& bitmap,
                                  int sourceX, int sourceY, int sourceWidth, int sourceHeight, ColorRef transparent);
void DrawTransparentBitmapRect(Canvas& canvas, int x, int y, const TRect& source, const QImage& bitmap,
                               ColorRef transparent);

// The engraved look of a disabled picture, the picture's size: background everywhere, every
// pixel that is not the outline colour (nor transparent) is ink, drawn in the highlight colour
// one pixel right and down (when drawHighlight) and then in the shadow colour in place.
QImage CreateDisabledBitmapEx(const QImage& bitmap, ColorRef outline, ColorRef background, ColorRef highlight,
                              ColorRef shadow, bool drawHighlight);
// In the button colours: face background, highlight and shadow ink.
QImage CreateDisabledBitmap(const QImage& bitmap, ColorRef outline);
// An image of the list drawn engraved at (x, y): every pixel that is not transparent is ink.
void ImageListDrawDisabled(const ImageList& images, Canvas& canvas, int x, int y, int index, ColorRef highlight,
                           ColorRef shadow, bool drawHighlight);

// The text as it fits into maxWidth on the canvas: unchanged when it fits, else cut from the end
// (two characters first) with "..." appended, and "..." alone when nothing fits.
std::u16string ShortenString(std::u16string_view text, const Canvas& canvas, int maxWidth);

// Whether one of the program's windows is the active window.
bool IsForegroundTask();
// Answers IsForegroundTask for its lifetime (tests).
class ScopedForegroundTask {
public:
    explicit ScopedForegroundTask(bool foreground);
    ~ScopedForegroundTask();
    ScopedForegroundTask(const ScopedForegroundTask&) = delete;
    ScopedForegroundTask& operator=(const ScopedForegroundTask&) = delete;

private:
    int previous_;
};

// Removes the next event of that type posted to the receiver and not yet delivered; later ones
// stay queued in their order (behind events of other types posted meanwhile). A quit event stays.
void KillMessage(QObject* receiver, QEvent::Type type);

// The colour as RGB (a system colour looked up) marked palette-relative.
inline ColorRef PaletteColor(ColorRef color) { return ColorToRGB(color) | kPaletteRelativeFlag; }
constexpr int RectWidth(const TRect& r) { return r.Right - r.Left; }
constexpr int RectHeight(const TRect& r) { return r.Bottom - r.Top; }

// Resets the cursor, says "Function not yet implemented" and ends the operation silently (EAbort).
[[noreturn]] void ShowNotImplemented();

// Zero-filled memory blocks: an empty block stands for "none".
using TGlobalBlock = std::vector<std::uint8_t>;
TGlobalBlock AllocGlobalBlock(int size);
void FreeGlobalBlock(TGlobalBlock& block);
// Equal when all length bytes match; length 0 is equal.
bool CompareMemBlock(const void* a, const void* b, std::size_t length);
void CopyMemBlock(void* destination, const void* source, std::size_t length);
inline const void* OffsetPointer(const void* p, std::ptrdiff_t offset) { return static_cast<const std::uint8_t*>(p) + offset; }
inline std::string ReturnString(std::string text) { return text; }

// The controls' screen cursors by number: the hand (the viewer's) and the drag cursor; an arrow
// for any other number.
constexpr int crExHand = 14000;
constexpr int crExDrag = 14001;
QCursor ScreenCursor(int number);
// The same by resource name, "EX_HANDCUR" and "EX_DRAGCUR".
QCursor CursorResource(std::string_view name);

}  // namespace velmoran
