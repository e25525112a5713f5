// The posted-click queue; see TBarPostedClicks.h.
#include "toolbar/TBarPostedClicks.h"

#include "toolbar/TBarItem.h"

#include <QCoreApplication>
#include <QEvent>

#include <memory>
#include <vector>

namespace velmoran::posted_clicks {

namespace {

const QEvent::Type kClickEvent = static_cast<QEvent::Type>(QEvent::User + 0x100);

class ClickEvent : public QEvent {
public:
    explicit ClickEvent(std::size_t slot) : QEvent(kClickEvent), Slot(slot) {}
    std::size_t Slot;
};

class Receiver;

struct Queue {
    int users = 0;
    std::unique_ptr<Receiver> receiver;
    std::vector<TBarCustomItem*> pending;
    // Stands in a dead item's slot until its event arrives.
    TBarCustomItem* Sentinel() { return reinterpret_cast<TBarCustomItem*>(&pending); }
};

thread_local Queue queue;

class Receiver : public QObject {
public:
    bool event(QEvent* event) override
    {
        if (event->type() != kClickEvent)
            return QObject::event(event);
        Deliver(static_cast<ClickEvent*>(event)->Slot);
        return true;
    }

private:
    static void Deliver(std::size_t slot)
    {
        if (slot >= queue.pending.size())
            return;
        TBarCustomItem* item = queue.pending[slot];
        queue.pending[slot] = nullptr;
        while (!queue.pending.empty() && queue.pending.back() == nullptr)
            queue.pending.pop_back();
        if (item != nullptr && item != queue.Sentinel())
            item->Click();
    }
};

}  // namespace

void AddUser()
{
    ++queue.users;
}

void RemoveUser()
{
    if (--queue.users > 0)
        return;
    queue.receiver.reset();
    queue.pending.clear();
}

void Post(TBarCustomItem* item)
{
    if (!queue.receiver)
        queue.receiver = std::make_unique<Receiver>();
    std::size_t slot = 0;
    while (slot < queue.pending.size() && queue.pending[slot] != nullptr)
        ++slot;
    if (slot == queue.pending.size())
        queue.pending.push_back(item);
    else
        queue.pending[slot] = item;
    QCoreApplication::postEvent(queue.receiver.get(), new ClickEvent(slot));
}

void Cancel(TBarCustomItem* item)
{
    for (TBarCustomItem*& slot : queue.pending)
        if (slot == item)
            slot = queue.Sentinel();
}

std::size_t PendingSlots()
{
    return queue.pending.size();
}

}  // namespace velmoran::posted_clicks
