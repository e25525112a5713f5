// The image cache of a viewer: decoded images by source name (the documents key a picture file by
// its canonical path, so that every spelling of a file finds the same entry), kept for a few
// document loads after the last document stopped using them.
#pragma once

#include "html/base/image/ImageObject.h"

#include <QImage>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velmoran {

struct TBitmapItem {
    TBitmapItem(std::unique_ptr<TImageObject> image, std::unique_ptr<QImage> mask, std::uint8_t transp)
        : Transp(transp), MImage(std::move(image)), Mask(std::move(mask))
    {
    }
    int AccessCount = 0;               // document loads since last use
    int UsageCount = 0;                // document images that hold it
    std::uint8_t Transp = 0;           // transparency kind
    std::unique_ptr<TImageObject> MImage;
    std::unique_ptr<QImage> Mask;      // or none
};

// Sorted by name (case counts); a name that is already present keeps its entry.
class TStringBitmapList {
public:
    TStringBitmapList() = default;
    TStringBitmapList(const TStringBitmapList&) = delete;
    TStringBitmapList& operator=(const TStringBitmapList&) = delete;

    // Adds an entry (its usage rises by one) and returns its index; a name already present keeps
    // the old entry and the new item is dropped.
    int AddObject(const std::string& name, std::unique_ptr<TBitmapItem> item);
    // Index of a name, -1 when absent.
    int IndexOf(const std::string& name) const;
    int Count() const { return static_cast<int>(entries_.size()); }
    const std::string& Strings(int i) const { return entries_[static_cast<std::size_t>(i)].Name; }
    TBitmapItem* Objects(int i) const { return entries_[static_cast<std::size_t>(i)].Item.get(); }
    // Marks entry i as used by one more document image and returns its image.
    TImageObject* GetImage(int i);
    // One document image fewer holds the entry of this name.
    void DecUsage(const std::string& name);
    // Called once at the start of every document load: ages every entry and frees those unused
    // for more than MaxCache loads.
    void BumpAndCheck();
    void SetCacheCount(int n);
    void Delete(int i) { entries_.erase(entries_.begin() + i); }
    void Clear() { entries_.clear(); }
    // Expires when the cache goes, so that what holds its entries can tell.
    std::weak_ptr<const int> Lifetime() const { return alive_; }

    int MaxCache = 4;

private:
    struct Entry {
        std::string Name;
        std::unique_ptr<TBitmapItem> Item;
    };
    // Names are compared as the file system compares them, case included: "a.bmp" and "A.bmp"
    // are two pictures.
    static bool NameBefore(const Entry& entry, const std::string& name) { return entry.Name < name; }
    std::vector<Entry> entries_;
    std::shared_ptr<const int> alive_ = std::make_shared<const int>(0);
};

// The cache entries one document holds, one hold per document image: given back all at once
// when the document is cleared or goes, so that the ageing can free pictures no page uses. A cache
// that went first (a viewer drops its own cache before its document) is left alone.
class TImageCacheHolds {
public:
    TImageCacheHolds() = default;
    ~TImageCacheHolds() { ReleaseAll(); }
    TImageCacheHolds(const TImageCacheHolds&) = delete;
    TImageCacheHolds& operator=(const TImageCacheHolds&) = delete;

    // Notes a hold the cache has counted already (AddObject, GetImage) on the entry of this name.
    void Note(TStringBitmapList& cache, const std::string& name);
    // Holds each entry `other` holds once more: a copy of a document draws the same pictures.
    void HoldAlso(const TImageCacheHolds& other);
    // Gives every hold back (DecUsage).
    void ReleaseAll();
    int Count() const { return static_cast<int>(holds_.size()); }

private:
    struct Hold {
        TStringBitmapList* Cache;
        std::weak_ptr<const int> Alive;
        std::string Name;
    };
    std::vector<Hold> holds_;
};

}  // namespace velmoran
