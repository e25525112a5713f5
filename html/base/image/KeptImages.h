// The images kept for pictures that are played at the size they are shown at (metafiles): one
// budget of bytes for all of them and the decoded pictures that hold a place in it, that of a
// document's decoded pictures. Keeping an image that would pass it lets go of the images drawn
// longest ago; so does a picture's keeping more sizes than kSizesPerPicture. An image let go is
// played again when it is shown again; a decoded picture cannot be let go, it only leaves less
// room. What a paint draws stays while the paint runs (TKeptImages::Paint): an image it would
// have to let go of is not kept instead, so that a paint drawing more than fits (five sizes of one
// picture, pictures past the budget) keeps what it drew first, and the next paint finds it, rather
// than each image driving out the one drawn next. Used from the thread that paints.
#pragma once

#include "html/base/image/ImageObject.h"

#include <QImage>

#include <cstdint>
#include <list>
#include <utility>

namespace velmoran {

class TKeptImages {
public:
    // A picture shown at a few sizes at once (two labels, a tiled background) keeps each of them;
    // one resized again and again keeps only its latest sizes.
    static constexpr int kSizesPerPicture = 4;

    explicit TKeptImages(std::int64_t budget = kPictureBudget) : budget_(budget) {}
    TKeptImages(const TKeptImages&) = delete;
    TKeptImages& operator=(const TKeptImages&) = delete;
    // The images of every picture the program shows.
    static TKeptImages& Shared();

    // A paint of pictures, while it lasts: the images it draws are not let go of. Paints opened
    // inside one are part of it.
    class Paint {
    public:
        Paint();
        ~Paint();
        Paint(const Paint&) = delete;
        Paint& operator=(const Paint&) = delete;
    };

    // The image kept for the picture at that size, now the one drawn last; nullptr when none.
    const QImage* Find(const void* picture, int width, int height);
    // Keeps the image for the picture at that size, letting go of older ones to make room; an
    // image larger than the whole budget is not kept, nor one that would need the room of images
    // the running paint drew.
    void Keep(const void* picture, int width, int height, QImage image);
    // Lets go of every image of the picture (it is going).
    void Forget(const void* picture);

    // The place a decoded picture holds in the budget while it lives.
    class Place {
    public:
        Place() = default;
        Place(TKeptImages& images, std::int64_t bytes) : images_(&images), bytes_(bytes) { images.held_ += bytes; }
        Place(Place&& other) noexcept : images_(std::exchange(other.images_, nullptr)), bytes_(other.bytes_) {}
        Place& operator=(Place&& other) noexcept
        {
            Place gone(std::move(*this));
            images_ = std::exchange(other.images_, nullptr);
            bytes_ = other.bytes_;
            return *this;
        }
        ~Place()
        {
            if (images_)
                images_->held_ -= bytes_;
        }

    private:
        TKeptImages* images_ = nullptr;
        std::int64_t bytes_ = 0;
    };
    Place Hold(std::int64_t bytes) { return Place(*this, bytes); }

    // The bytes of the images kept, and of the decoded pictures holding a place.
    std::int64_t Bytes() const { return bytes_; }
    std::int64_t Held() const { return held_; }
    std::int64_t Budget() const { return budget_; }
    int Count() const { return static_cast<int>(entries_.size()); }

private:
    struct Entry {
        const void* Picture;
        int Width;
        int Height;
        QImage Image;
        std::uint64_t Paint;  // the paint that drew it last (0: none)
    };
    // The paint running now; 0 when none.
    static std::uint64_t RunningPaint();
    bool Drawn(const Entry& entry) const { return entry.Paint != 0 && entry.Paint == RunningPaint(); }
    // The image drawn longest ago that the running paint did not draw, of the picture (any
    // picture for nullptr); end() when there is none.
    std::list<Entry>::iterator Oldest(const void* picture);
    void Drop(std::list<Entry>::iterator entry);

    std::list<Entry> entries_;  // the one drawn last first
    std::int64_t bytes_ = 0;
    std::int64_t held_ = 0;
    std::int64_t budget_;
};

}  // namespace velmoran
