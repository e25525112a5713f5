// The animated GIF image of documents: one strip holding every composed frame side by side with
// one mask, the frames with their timing, and the animation as a state machine stepped by a
// millisecond clock value that the document's timer passes in.
#pragma once

#include "html/base/image/ImageObject.h"

#include <QRect>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velmoran {

class Canvas;
class TStream;

// A bitmap that carries its own mask and draws through it.
class ThtBitmap {
public:
    ThtBitmap() = default;
    ThtBitmap(QImage image, QImage mask);
    const QImage& Image() const { return image_; }
    const QImage& Mask() const { return mask_; }
    bool HasMask() const { return !mask_.isNull(); }
    // Draws the source rectangle of the bitmap stretched into the destination rectangle on the
    // canvas, transparent where the mask is white (by alpha composition).
    void Draw(Canvas& canvas, const QRect& destination, const QRect& source) const;
    void Draw(Canvas& canvas, const QRect& destination) const { Draw(canvas, destination, image_.rect()); }

private:
    QImage image_;
    QImage mask_;
    mutable QImage drawable_;  // image with the mask applied, made on first draw
};

struct TAnimFrame {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    int Delay = 0;  // milliseconds
    int Disposal = 0;
    bool IsCopy = false;
};

class TGIFImage final : public TImageObject {
public:
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // The frame strip (shared with copies) and its mask.
    std::int64_t ByteCount() const override;

    bool Animate() const { return animate_; }
    // Switching on with more than one frame starts the current frame's interval at now.
    void SetAnimate(bool animate, std::uint32_t now);
    int CurrentFrame() const { return currentFrame_; }
    void SetCurrentFrame(int frame);
    int NumFrames() const { return static_cast<int>(frames_.size()); }
    int NumIterations() const { return numIterations_; }
    int CurrentIteration() const { return currentIteration_; }
    bool IsTransparent() const { return isTransparent_; }
    bool Visible = true;
    bool IsCopy() const { return isCopy_; }
    int LastDisposal() const { return lastDisposal_; }
    int CurrentInterval() const { return currentInterval_; }
    const QRect& FrameRect() const { return frameRect_; }
    const std::vector<TAnimFrame>& Frames() const { return frames_; }
    const ThtBitmap& Strip() const { return *strip_; }

    // One animation step at the clock value now (milliseconds): when the current frame's time is
    // up, moves to the next frame (or ends the animation after the last iteration). Returns true
    // when FrameRect must be repainted.
    bool CheckTime(std::uint32_t now);

    // Draws the current frame into (x, y, w, h) through the strip's mask (colour-on-colour
    // stretching) and remembers the rectangle as FrameRect.
    void Draw(Canvas& canvas, int x, int y, int w, int h);

    // The first frame as a still picture and its mask (null unless transparent).
    const QImage& GetStaticBitmap();
    QImage GetStaticMask();
    // The composed frame n (1-based) with its transparency as alpha.
    QImage FrameImage(int n) const;

    // A second image over the same strip: own animation state, frames copied.
    static std::unique_ptr<TGIFImage> CreateCopy(const TGIFImage& source);

private:
    friend std::unique_ptr<TGIFImage> GifImageFromBytes(const std::uint8_t*, std::size_t, bool&);

    int width_ = 0, height_ = 0;
    bool animate_ = false;
    int currentFrame_ = 1;
    int numIterations_ = 1;
    int currentIteration_ = 1;
    bool isTransparent_ = false;
    bool isCopy_ = false;
    int lastDisposal_ = 0;
    std::uint32_t lastTime_ = 0;
    bool clockStarted_ = false;
    int currentInterval_ = 0;
    QRect frameRect_;
    std::vector<TAnimFrame> frames_;
    std::shared_ptr<const ThtBitmap> strip_;
    QImage staticBitmap_;
    QImage staticMask_;
    bool staticMade_ = false;
};

// Decodes a GIF into an animated image; decoder errors (EInvalidGraphicOperation) propagate.
std::unique_ptr<TGIFImage> GifImageFromStream(TStream& stream, bool& nonAnimated);
std::unique_ptr<TGIFImage> GifImageFromBytes(const std::uint8_t* bytes, std::size_t count, bool& nonAnimated);
std::unique_ptr<TGIFImage> GifImageFromFile(const std::string& fileName, bool& nonAnimated);

}  // namespace velmoran
