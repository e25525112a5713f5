// An owning list: it frees its items in index order when it is cleared or destroyed.
#pragma once

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace velmoran {

template <class T>
class TFreeList {
public:
    TFreeList() = default;
    TFreeList(const TFreeList&) = delete;
    TFreeList& operator=(const TFreeList&) = delete;
    TFreeList(TFreeList&&) noexcept = default;
    TFreeList& operator=(TFreeList&&) noexcept = default;
    virtual ~TFreeList() { Clear(); }

    int Count() const { return static_cast<int>(items_.size()); }
    bool Empty() const { return items_.empty(); }
    T* Items(int i) const { return items_[static_cast<std::size_t>(i)].get(); }
    T* operator[](int i) const { return Items(i); }
    T* First() const { return items_.empty() ? nullptr : items_.front().get(); }
    T* Last() const { return items_.empty() ? nullptr : items_.back().get(); }

    T* Add(std::unique_ptr<T> item)
    {
        items_.push_back(std::move(item));
        return items_.back().get();
    }
    void Insert(int index, std::unique_ptr<T> item)
    {
        items_.insert(items_.begin() + index, std::move(item));
    }
    // Frees the item at index and removes it.
    void Delete(int index) { items_.erase(items_.begin() + index); }
    // Removes the item at index and hands it to the caller.
    std::unique_ptr<T> Extract(int index)
    {
        std::unique_ptr<T> item = std::move(items_[static_cast<std::size_t>(index)]);
        items_.erase(items_.begin() + index);
        return item;
    }
    int IndexOf(const T* item) const
    {
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (items_[i].get() == item)
                return static_cast<int>(i);
        return -1;
    }
    // Frees every item in index order, then empties the list.
    virtual void Clear()
    {
        for (auto& item : items_)
            item.reset();
        items_.clear();
    }

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<std::unique_ptr<T>> items_;
};

}  // namespace velmoran
