// The images kept for metafiles within one budget; see KeptImages.h.
#include "html/base/image/KeptImages.h"

#include <algorithm>

namespace velmoran {

namespace {

// The paints of pictures: how deep the running one is nested, and the number of the last one.
int paintDepth = 0;
std::uint64_t paintNumber = 0;

}  // namespace

TKeptImages::Paint::Paint()
{
    if (paintDepth++ == 0)
        ++paintNumber;
}

TKeptImages::Paint::~Paint()
{
    --paintDepth;
}

std::uint64_t TKeptImages::RunningPaint()
{
    return paintDepth > 0 ? paintNumber : 0;
}

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
    entries_.front().Paint = RunningPaint();
    return &entries_.front().Image;
}

void TKeptImages::Keep(const void* picture, int width, int height, QImage image)
{
    const std::int64_t bytes = image.sizeInBytes();
    if (image.isNull())
        return;
    const auto sameSize = [&](const Entry& e) { return e.Picture == picture && e.Width == width && e.Height == height; };
    std::int64_t drawn = 0;
    for (const Entry& e : entries_)
        if (Drawn(e) && !sameSize(e))
            drawn += e.Image.sizeInBytes();
    if (held_ + drawn + bytes > budget_)
        return;
    int sizes = 0;
    for (auto e = entries_.begin(); e != entries_.end();) {
        const auto next = std::next(e);
        if (sameSize(*e))
            Drop(e);
        else if (e->Picture == picture)
            ++sizes;
        e = next;
    }
    for (; sizes >= kSizesPerPicture; --sizes) {
        const auto oldest = Oldest(picture);
        if (oldest == entries_.end())
            break;
        Drop(oldest);
    }
    // What the running paint drew leaves room enough (counted above): the others make it.
    while (held_ + bytes_ + bytes > budget_)
        Drop(Oldest(nullptr));
    entries_.push_front({picture, width, height, std::move(image), RunningPaint()});
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

std::list<TKeptImages::Entry>::iterator TKeptImages::Oldest(const void* picture)
{
    for (auto e = entries_.end(); e != entries_.begin();) {
        --e;
        if ((!picture || e->Picture == picture) && !Drawn(*e))
            return e;
    }
    return entries_.end();
}

void TKeptImages::Drop(std::list<Entry>::iterator entry)
{
    bytes_ -= entry->Image.sizeInBytes();
    entries_.erase(entry);
}

}  // namespace velmoran
