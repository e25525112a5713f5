// The image cache; see ImageCache.h.
#include "html/base/image/ImageCache.h"

#include <algorithm>

namespace velmoran {

int TStringBitmapList::IndexOf(const std::string& name) const
{
    const auto it = std::lower_bound(entries_.begin(), entries_.end(), name, NameBefore);
    if (it != entries_.end() && it->Name == name)
        return static_cast<int>(it - entries_.begin());
    return -1;
}

int TStringBitmapList::AddObject(const std::string& name, std::unique_ptr<TBitmapItem> item)
{
    const int existing = IndexOf(name);
    if (existing >= 0)
        return existing;
    if (item)
        ++item->UsageCount;
    const auto it = std::lower_bound(entries_.begin(), entries_.end(), name, NameBefore);
    const auto pos = entries_.insert(it, Entry{name, std::move(item)});
    return static_cast<int>(pos - entries_.begin());
}

TImageObject* TStringBitmapList::GetImage(int i)
{
    TBitmapItem* item = Objects(i);
    if (!item)
        return nullptr;
    item->AccessCount = 0;
    ++item->UsageCount;
    return item->MImage.get();
}

void TStringBitmapList::DecUsage(const std::string& name)
{
    const int i = IndexOf(name);
    if (i >= 0 && Objects(i))
        --Objects(i)->UsageCount;
}

void TStringBitmapList::BumpAndCheck()
{
    for (int i = Count() - 1; i >= 0; --i) {
        TBitmapItem* item = Objects(i);
        if (!item)
            continue;
        ++item->AccessCount;
        if (item->AccessCount > MaxCache && item->UsageCount < 1)
            Delete(i);
    }
}

void TStringBitmapList::SetCacheCount(int n)
{
    for (int i = Count() - 1; i >= 0; --i) {
        const TBitmapItem* item = Objects(i);
        if (item && item->AccessCount > n && item->UsageCount < 1)
            Delete(i);
    }
    MaxCache = n;
}

void TImageCacheHolds::Note(TStringBitmapList& cache, const std::string& name)
{
    holds_.push_back({&cache, cache.Lifetime(), name});
}

void TImageCacheHolds::HoldAlso(const TImageCacheHolds& other)
{
    for (const Hold& hold : other.holds_) {
        if (hold.Alive.expired())
            continue;
        const int i = hold.Cache->IndexOf(hold.Name);
        if (i < 0 || !hold.Cache->Objects(i))
            continue;
        hold.Cache->GetImage(i);
        holds_.push_back(hold);
    }
}

void TImageCacheHolds::ReleaseAll()
{
    for (const Hold& hold : holds_)
        if (!hold.Alive.expired())
            hold.Cache->DecUsage(hold.Name);
    holds_.clear();
}

}  // namespace velmoran
