// The images kept for metafiles within one budget; see KeptImages.h.
#include "html/base/image/KeptImages.h"

#include <algorithm>

namespace velmoran {

TKeptImages& TKeptImages::Shared()
{
    // Never destroyed: pictures that live until the program ends forget their images into it.
    static TKeptImages* images = new TKeptImages;
    return *images;
}

const QImage* TKeptImages::Find(const void* picture, int width, int height)
{
    const auto found = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
        return e.Picture == picture && e.Width == width && e.Height == height;
    });
    if (found == entries_.end())
        return nullptr;
    entries_.splice(entries_.begin(), entries_, found);
    return &entries_.front().Image;
}

void TKeptImages::Keep(const void* picture, int width, int height, QImage image)
{
    const std::int64_t bytes = image.sizeInBytes();
    if (image.isNull() || held_ + bytes > budget_)
        return;
    int sizes = 0;
    for (auto e = entries_.begin(); e != entries_.end();) {
        const auto next = std::next(e);
        if (e->Picture == picture) {
            const bool sameSize = e->Width == width && e->Height == height;
            if (sameSize || ++sizes >= kSizesPerPicture)
                Drop(e);
        }
        e = next;
    }
    while (held_ + bytes_ + bytes > budget_)
        Drop(std::prev(entries_.end()));
    entries_.push_front({picture, width, height, std::move(image)});
    bytes_ += bytes;
}

void TKeptImages::Forget(const void* picture)
{
    for (auto e = entries_.begin(); e != entries_.end();) {
        const auto next = std::next(e);
        if (e->Picture == picture)
            Drop(e);
        e = next;
    }
}

void TKeptImages::Drop(std::list<Entry>::iterator entry)
{
    bytes_ -= entry->Image.sizeInBytes();
    entries_.erase(entry);
}

}  // namespace velmoran
