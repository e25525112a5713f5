// The animated GIF image: building it from the decoder, drawing its frames and stepping the
// animation.
#include "html/base/image/GifImage.h"

#include "html/base/image/GifDecoder.h"
#include "platform/Canvas.h"
#include "platform/core/Stream.h"

#include <algorithm>

namespace velmoran {

ThtBitmap::ThtBitmap(QImage image, QImage mask) : image_(std::move(image)), mask_(std::move(mask)) {}

namespace {
TRect ToTRect(const QRect& r)
{
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}
}  // namespace

void ThtBitmap::Draw(Canvas& canvas, const QRect& destination, const QRect& source) const
{
    if (image_.isNull())
        return;
    // The mask is applied once; every later draw composes the prepared picture.
    if (drawable_.isNull())
        drawable_ = HasMask() ? ApplyMask(image_, mask_) : image_;
    const TRect part = ToTRect(source);
    canvas.StretchBlt(ToTRect(destination), drawable_, &part);
}

void TGIFImage::SetAnimate(bool animate, std::uint32_t now)
{
    if (animate == animate_)
        return;
    animate_ = animate;
    if (animate && NumFrames() > 1) {
        currentInterval_ = std::max(1, frames_[currentFrame_ - 1].Delay);
        lastTime_ = now;
        clockStarted_ = true;
    }
}

void TGIFImage::SetCurrentFrame(int frame)
{
    if (frame == currentFrame_ || NumFrames() == 0)
        return;
    lastDisposal_ = frames_[currentFrame_ - 1].Disposal;
    if (frame > NumFrames())
        frame = 1;
    else if (frame < 1)
        frame = NumFrames();
    currentFrame_ = frame;
    if (animate_)
        lastDisposal_ = 2;
}

bool TGIFImage::CheckTime(std::uint32_t now)
{
    if (!animate_ || NumFrames() == 0)
        return false;
    if (!clockStarted_) {
        // A new image's first frame is shown for its full delay from the first check on.
        clockStarted_ = true;
        lastTime_ = now;
        return false;
    }
    if (now - lastTime_ < static_cast<std::uint32_t>(currentInterval_))
        return false;
    lastTime_ = now;
    if (currentFrame_ == NumFrames()) {
        if (numIterations_ >= 1 && numIterations_ <= currentIteration_) {
            SetAnimate(false, now);
            return false;
        }
        ++currentIteration_;
    }
    lastDisposal_ = frames_[currentFrame_ - 1].Disposal;
    ++currentFrame_;
    if (currentFrame_ > NumFrames() || currentFrame_ < 1)
        currentFrame_ = 1;
    currentInterval_ = std::max(1, frames_[currentFrame_ - 1].Delay);
    return true;
}

void TGIFImage::Draw(Canvas& canvas, int x, int y, int w, int h)
{
    if (!Visible || NumFrames() == 0)
        return;
    frameRect_ = QRect(x, y, w, h);
    canvas.SetStretchBltMode(StretchMode::ColorOnColor);
    strip_->Draw(canvas, frameRect_, QRect((currentFrame_ - 1) * width_, 0, width_, height_));
}

const QImage& TGIFImage::GetStaticBitmap()
{
    if (!staticMade_) {
        staticBitmap_ = strip_->Image().copy(0, 0, width_, height_);
        if (strip_->HasMask())
            staticMask_ = strip_->Mask().copy(0, 0, width_, height_);
        staticMade_ = true;
    }
    return staticBitmap_;
}

QImage TGIFImage::GetStaticMask()
{
    if (!isTransparent_)
        return {};
    GetStaticBitmap();
    return staticMask_;
}

QImage TGIFImage::FrameImage(int n) const
{
    if (n < 1 || n > NumFrames())
        return {};
    const QRect slot((n - 1) * width_, 0, width_, height_);
    const QImage image = strip_->Image().copy(slot);
    return strip_->HasMask() ? ApplyMask(image, strip_->Mask().copy(slot)) : image;
}

std::int64_t TGIFImage::ByteCount() const
{
    return strip_ ? strip_->Image().sizeInBytes() + strip_->Mask().sizeInBytes() : 0;
}

std::unique_ptr<TGIFImage> TGIFImage::CreateCopy(const TGIFImage& source)
{
    auto copy = std::make_unique<TGIFImage>();
    copy->width_ = source.width_;
    copy->height_ = source.height_;
    copy->animate_ = source.animate_;
    copy->numIterations_ = source.numIterations_;
    copy->isTransparent_ = source.isTransparent_;
    copy->Visible = source.Visible;
    copy->currentInterval_ = source.currentInterval_;
    copy->lastTime_ = source.lastTime_;
    copy->frames_ = source.frames_;
    for (TAnimFrame& frame : copy->frames_)
        frame.IsCopy = true;
    copy->strip_ = source.strip_;
    copy->isCopy_ = true;
    copy->lastDisposal_ = copy->animate_ ? 2 : 0;
    return copy;
}

std::unique_ptr<TGIFImage> GifImageFromBytes(const std::uint8_t* bytes, std::size_t count, bool& nonAnimated)
{
    TGif gif;
    gif.LoadFromBytes(bytes, count);
    auto image = std::make_unique<TGIFImage>();
    const int frames = gif.ImageCount();
    image->animate_ = frames >= 2;
    nonAnimated = frames < 2;
    image->width_ = gif.ScreenWidth();
    image->height_ = gif.ScreenHeight();
    const int loops = gif.LoopCount();
    image->numIterations_ = loops < 0 ? 1 : loops > 0 ? loops + 1 : 0;
    image->isTransparent_ = gif.AnyTransparent();
    QImage mask;
    QImage strip = gif.GetStripBitmap(mask);
    image->strip_ = std::make_shared<const ThtBitmap>(std::move(strip), std::move(mask));
    for (int i = 0; i < frames; ++i) {
        TAnimFrame frame;
        frame.Disposal = gif.FrameDisposal(i);
        frame.Left = gif.ImageLeft(i);
        frame.Top = gif.ImageTop(i);
        frame.Width = gif.ImageWidth(i);
        frame.Height = gif.ImageHeight(i);
        frame.Delay = std::max(30, 10 * gif.FrameDelay(i));
        image->frames_.push_back(frame);
    }
    if (image->animate_) {
        image->lastDisposal_ = 2;
        image->currentInterval_ = std::max(1, image->frames_[0].Delay);
    }
    return image;
}

std::unique_ptr<TGIFImage> GifImageFromStream(TStream& stream, bool& nonAnimated)
{
    stream.SetPosition(0);
    std::vector<std::uint8_t> data(static_cast<std::size_t>(std::max<std::int64_t>(0, stream.Size())));
    const std::int64_t got = data.empty() ? 0 : stream.Read(data.data(), static_cast<std::int64_t>(data.size()));
    data.resize(static_cast<std::size_t>(std::max<std::int64_t>(0, got)));
    return GifImageFromBytes(data.data(), data.size(), nonAnimated);
}

std::unique_ptr<TGIFImage> GifImageFromFile(const std::string& fileName, bool& nonAnimated)
{
    TFileStream stream(fileName, FileMode::OpenRead);
    return GifImageFromStream(stream, nonAnimated);
}

}  // namespace velmoran
