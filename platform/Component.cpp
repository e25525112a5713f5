// The component model; see Component.h.
#include "platform/Component.h"

#include <algorithm>

namespace velmoran {

Component::~Component()
{
    SendRemovalNotices();
}

void Component::SendRemovalNotices()
{
    destroying_ = true;
    if (noticesSent_)
        return;
    noticesSent_ = true;
    // A notice may make the told component let go of others: take them one at a time.
    while (!notified_.empty()) {
        Component* other = notified_.back();
        notified_.pop_back();
        std::erase(other->notified_, this);
        other->Notification(this, TOperation::opRemove);
    }
}

void Component::FreeNotification(Component* other)
{
    if (other == nullptr || other == this)
        return;
    if (std::find(notified_.begin(), notified_.end(), other) == notified_.end())
        notified_.push_back(other);
    if (std::find(other->notified_.begin(), other->notified_.end(), this) == other->notified_.end())
        other->notified_.push_back(this);
}

void Component::RemoveFreeNotification(Component* other)
{
    if (other == nullptr)
        return;
    std::erase(notified_, other);
    std::erase(other->notified_, this);
}

}  // namespace velmoran
