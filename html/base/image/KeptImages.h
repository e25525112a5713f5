// The images kept for pictures that are played at the size they are shown at (metafiles): one
// budget of bytes for all of them, that of a document's decoded pictures. Keeping an image that
// would pass it lets go of the images drawn longest ago; so does a picture's keeping more sizes
// than kSizesPerPicture. An image let go is played again when it is shown again. Used from the
// thread that paints.
#pragma once

#include "html/base/image/ImageObject.h"

#include <QImage>

#include <cstdint>
#include <list>

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

    // The image kept for the picture at that size, now the one drawn last; nullptr when none.
    const QImage* Find(const void* picture, int width, int height);
    // Keeps the image for the picture at that size, letting go of older ones to make room; an
    // image larger than the whole budget is not kept.
    void Keep(const void* picture, int width, int height, QImage image);
    // Lets go of every image of the picture (it is going).
    void Forget(const void* picture);

    std::int64_t Bytes() const { return bytes_; }
    std::int64_t Budget() const { return budget_; }
    int Count() const { return static_cast<int>(entries_.size()); }

private:
    struct Entry {
        const void* Picture;
        int Width;
        int Height;
        QImage Image;
    };
    void Drop(std::list<Entry>::iterator entry);

    std::list<Entry> entries_;  // the one drawn last first
    std::int64_t bytes_ = 0;
    std::int64_t budget_;
};

}  // namespace velmoran
