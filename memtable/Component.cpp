// Free notification between components.
#include "memtable/Component.h"

#include <algorithm>

namespace velmoran {

TComponent::~TComponent()
{
    NotifyDestruction();
}

void TComponent::FreeNotification(TComponent* other)
{
    if (!other || other == this)
        return;
    if (std::find(linked_.begin(), linked_.end(), other) == linked_.end())
        linked_.push_back(other);
    if (std::find(other->linked_.begin(), other->linked_.end(), this) == other->linked_.end())
        other->linked_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* other)
{
    if (!other)
        return;
    std::erase(linked_, other);
    std::erase(other->linked_, this);
}

void TComponent::NotifyDestruction()
{
    // Each handler may unlink further components; take them one at a time.
    while (!linked_.empty()) {
        TComponent* other = linked_.back();
        linked_.pop_back();
        std::erase(other->linked_, this);
        other->Notification(this);
    }
}

}  // namespace velmoran
