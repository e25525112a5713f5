// Caption pictures, their cache and the picture container; see PictureContainer.h.
#include "controls/PictureContainer.h"

#include "controls/ControlResources.h"
#include "html/base/image/GifImage.h"
#include "html/base/image/IconDecode.h"
#include "html/base/image/ImageLoad.h"
#include "html/base/image/ImageObject.h"
#include "html/base/image/MetafileImage.h"
#include "html/base/WideText.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Stream.h"
#include "platform/core/Text.h"

#include <algorithm>
#include <cstring>

namespace velmoran {

namespace {

// Pictures report their size in HIMETRIC (hundredths of a millimetre) at 96 pixels per inch.
constexpr int kHimetricPerInch = 2540;

std::uint16_t Word(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

// The file a "FILE://" address names, a "\" read as "/".
std::string FileOfAddress(const std::string& address)
{
    std::string path = address.substr(7);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

bool IsFileAddress(const std::string& address)
{
    return StartsWith(UpperCase(address), "FILE://");
}

std::vector<std::uint8_t> ReadStream(TStream& stream)
{
    stream.SetPosition(0);
    const std::int64_t size = std::max<std::int64_t>(0, stream.Size());
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (size > 0)
        stream.ReadBuffer(bytes.data(), size);
    return bytes;
}

}  // namespace

TGifFrameScan ScanGifFrames(const std::uint8_t* bytes, std::size_t size, int wanted)
{
    TGifFrameScan scan;
    // A candidate needs more than 8 bytes after its position (1-based p: size > p + 8).
    for (std::size_t i = 0; i + 9 < size; ++i) {
        if (bytes[i] != 0x21 || bytes[i + 1] != 0xF9 || bytes[i + 2] != 4 || bytes[i + 8] != 0x2C)
            continue;
        ++scan.Count;
        if (scan.Count == wanted && i + 8 + 8 < size) {
            const std::uint8_t* d = bytes + i + 9;
            scan.Left = Word(d);
            scan.Top = Word(d + 2);
            scan.Width = Word(d + 4);
            scan.Height = Word(d + 6);
        }
    }
    return scan;
}

THtmlPicture::THtmlPicture() = default;
THtmlPicture::~THtmlPicture() = default;

void THtmlPicture::Reset()
{
    empty_ = true;
    gif_.reset();
    image_ = QImage();
    metafile_.reset();
    place_ = {};
    decoded_ = false;
    himetricWidth_ = himetricHeight_ = 0;
    frameCount_ = -1;
    frameLeft_ = frameTop_ = frameWidth_ = frameHeight_ = 0;
    screenWidth_ = screenHeight_ = 0;
    frame_ = 1;
}

void THtmlPicture::TakeBytes(std::vector<std::uint8_t> bytes)
{
    // Sized exactly, so that a read past the end shows under the address sanitizer.
    bytes_.assign(bytes.begin(), bytes.end());
    bytes_.shrink_to_fit();
    empty_ = false;
}

bool THtmlPicture::IsGif() const
{
    return bytes_.size() > 4 && std::memcmp(bytes_.data(), "GIF8", 4) == 0;
}

void THtmlPicture::Decode()
{
    place_ = {};
    DecodeBytes();
    place_ = TKeptImages::Shared().Hold(gif_ ? gif_->ByteCount() : image_.sizeInBytes());
}

void THtmlPicture::DecodeBytes()
{
    gif_.reset();
    image_ = QImage();
    metafile_.reset();
    decoded_ = false;
    frameLeft_ = frameTop_ = frameWidth_ = frameHeight_ = 0;
    screenWidth_ = screenHeight_ = 0;
    QImage still;
    if (IsGif()) {
        try {
            bool nonAnimated = false;
            gif_ = GifImageFromBytes(bytes_.data(), bytes_.size(), nonAnimated);
        } catch (const std::exception&) {
            gif_.reset();
        }
        if (!gif_ || gif_->NumFrames() == 0 || gif_->Width() <= 0 || gif_->Height() <= 0) {
            gif_.reset();
            throw Exception(kPictureInvalidFormat);
        }
        if (bytes_.size() >= 10) {
            screenWidth_ = Word(bytes_.data() + 6);
            screenHeight_ = Word(bytes_.data() + 8);
        }
        himetricWidth_ = MulDiv(gif_->Width(), kHimetricPerInch, kPixelsPerInch);
        himetricHeight_ = MulDiv(gif_->Height(), kHimetricPerInch, kPixelsPerInch);
        decoded_ = true;
        SelectFrame();
        return;
    }
    if (IsIconFile(bytes_.data(), bytes_.size())) {
        still = DecodeIcon(bytes_.data(), bytes_.size());
        if (still.isNull())
            throw Exception(kPictureInvalidFormat);
        image_ = still;
        himetricWidth_ = MulDiv(image_.width(), kHimetricPerInch, kPixelsPerInch);
        himetricHeight_ = MulDiv(image_.height(), kHimetricPerInch, kPixelsPerInch);
        decoded_ = true;
        return;
    }
    if (LooksLikeMetafile(bytes_.data(), bytes_.size())) {
        std::optional<TMetafile> metafile = ReadMetafile(bytes_.data(), bytes_.size());
        if (!metafile)
            throw Exception(kPictureInvalidFormat);
        himetricWidth_ = metafile->HimetricWidth;
        himetricHeight_ = metafile->HimetricHeight;
        metafile_ = std::make_unique<TMetafileImage>(std::move(*metafile));
        decoded_ = true;
        return;
    }
    TMemoryStream stream(std::string_view(reinterpret_cast<const char*>(bytes_.data()), bytes_.size()));
    TTransparencyKind transparent = TTransparencyKind::NoTransparency;
    QImage mask;
    still = DecodeImageStream(&stream, transparent, mask);
    if (still.isNull())
        throw Exception(kPictureInvalidFormat);
    image_ = mask.isNull() ? still : ApplyMask(still, mask);
    himetricWidth_ = MulDiv(image_.width(), kHimetricPerInch, kPixelsPerInch);
    himetricHeight_ = MulDiv(image_.height(), kHimetricPerInch, kPixelsPerInch);
    decoded_ = true;
}

void THtmlPicture::SelectFrame()
{
    const TGifFrameScan scan = ScanGifFrames(bytes_.data(), bytes_.size(), frame_);
    frameCount_ = scan.Count;
    frameLeft_ = scan.Left;
    frameTop_ = scan.Top;
    frameWidth_ = scan.Width;
    frameHeight_ = scan.Height;
    // The decoder composed every frame on the logical screen already: the frame's place is in it.
    // The chosen frame is shown over the earlier ones, not alone: a frame holding only what changed
    // would show holes.
    image_ = gif_ ? gif_->FrameImage(frame_) : QImage();
}

void THtmlPicture::Assign(const THtmlPicture* source)
{
    Reset();
    // An empty source empties this one, as nullptr does: it has no bytes to decode, and decoding none
    // would raise as if a damaged picture had been copied.
    if (!source || source->Empty()) {
        bytes_.clear();
        return;
    }
    TakeBytes(source->bytes_);
    Decode();
    if (OnChange)
        OnChange(this);
}

void THtmlPicture::LoadFromStream(TStream* stream)
{
    if (!stream)
        return;
    ReadData(*stream);
    if (OnChange)
        OnChange(this);
}

void THtmlPicture::ReadData(TStream& stream)
{
    const int frame = frame_;
    Reset();
    frame_ = frame;
    TakeBytes(ReadStream(stream));
    Decode();
}

void THtmlPicture::LoadFromFile(const std::string& fileName)
{
    try {
        TMemoryStream stream;
        stream.LoadFromFile(fileName);
        LoadFromStream(&stream);
    } catch (const std::exception&) {
        Reset();
        bytes_.clear();
    }
}

void THtmlPicture::SaveToStream(TStream& stream) const
{
    WriteData(stream);
}

void THtmlPicture::WriteData(TStream& stream) const
{
    if (!bytes_.empty())
        stream.WriteBuffer(bytes_.data(), static_cast<std::int64_t>(bytes_.size()));
}

void THtmlPicture::LoadFromURL(const std::string& address)
{
    const std::string upper = UpperCase(address);
    if (StartsWith(upper, "RES://")) {
        id_ = address;
        std::string bytes;
        if (ReadPictureResource(address.substr(6), bytes)) {
            TMemoryStream stream(bytes);
            LoadFromStream(&stream);
        }
    } else if (IsFileAddress(address)) {
        id_ = address;
        LoadFromFile(FileOfAddress(address));
    } else if (!Asynch) {
        url_ = address;
        id_ = address;
    } else if (!downloadStarted_) {
        url_ = address;
        downloadStarted_ = true;
        download_ = std::make_unique<TDownLoadThread>(this);
    }
}

int THtmlPicture::Width() const
{
    return decoded_ ? MulDiv(himetricWidth_, kPixelsPerInch, kHimetricPerInch) : 0;
}

int THtmlPicture::Height() const
{
    return decoded_ ? MulDiv(himetricHeight_, kPixelsPerInch, kHimetricPerInch) : 0;
}

void THtmlPicture::Draw(Canvas& canvas, const TRect& rect) const
{
    if (empty_ || !decoded_)
        return;
    if (metafile_) {
        const int w = MulDiv(himetricWidth_, canvas.GetDeviceCaps(LOGPIXELSX), kHimetricPerInch);
        const int h = MulDiv(himetricHeight_, canvas.GetDeviceCaps(LOGPIXELSY), kHimetricPerInch);
        // Played once into an image of the size shown (the picture keeps it as a cache).
        metafile_->Draw(canvas, Stretch ? rect : TRect{rect.Left, rect.Top, rect.Left + w, rect.Top + h});
        return;
    }
    if (image_.isNull())
        return;
    if (Stretch) {
        canvas.StretchBlt(rect, image_);
        return;
    }
    const int w = MulDiv(himetricWidth_, canvas.GetDeviceCaps(LOGPIXELSX), kHimetricPerInch);
    const int h = MulDiv(himetricHeight_, canvas.GetDeviceCaps(LOGPIXELSY), kHimetricPerInch);
    canvas.StretchBlt({rect.Left, rect.Top, rect.Left + w, rect.Top + h}, image_);
}

void THtmlPicture::SetFrame(int frame)
{
    frame_ = frame;
    if (bytes_.empty())
        return;
    if (gif_)
        SelectFrame();
    else
        Decode();
    if (OnFrameChange)
        OnFrameChange(this);
}

int THtmlPicture::FrameCount()
{
    if (frameCount_ >= 0)
        return frameCount_;
    if (!IsGif())
        return -1;
    frameCount_ = ScanGifFrames(bytes_.data(), bytes_.size(), 0).Count;
    return frameCount_;
}

int THtmlPicture::FrameWidth() const
{
    if (!decoded_)
        return 0;
    return screenWidth_ != 0 ? screenWidth_ : Width();
}

int THtmlPicture::FrameHeight() const
{
    if (!decoded_)
        return 0;
    return screenHeight_ != 0 ? screenHeight_ : Height();
}

std::string PictureCacheKey(const std::string& address)
{
    return IsFileAddress(address) ? "FILE://" + CanonicalPath(FileOfAddress(address)) : address;
}

THtmlPicture* THtmlPictureCache::AddPicture()
{
    pictures_.push_back(std::make_unique<THtmlPicture>());
    return pictures_.back().get();
}

THtmlPicture* THtmlPictureCache::FindPicture(const std::string& id) const
{
    for (const auto& picture : pictures_)
        if (picture->ID() == id)
            return picture.get();
    return nullptr;
}

void THtmlPictureCache::ClearPictures()
{
    pictures_.clear();
}

void TPictureItem::Assign(const TPictureItem& source)
{
    Name = source.Name;
    Tag = source.Tag;
    picture_.Assign(&source.picture_);
}

TPictureItem& TPictureCollection::Add()
{
    items_.push_back(std::make_unique<TPictureItem>(this));
    return *items_.back();
}

THtmlPicture* TPictureContainer::FindPicture(const std::string& name) const
{
    for (int i = 0; i < items_.Count(); ++i) {
        TPictureItem& item = items_.Items(i);
        if (UpperCase(item.Name) == name)
            return &item.Picture();
    }
    return nullptr;
}

}  // namespace velmoran
