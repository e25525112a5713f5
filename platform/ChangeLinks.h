// The list of objects that want to hear when a shared object changes (an image list, an action):
// each registers a callback with the QObject that owns it, and a registration whose object is
// gone drops out by itself, so a control never has to unregister on its way out.
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

namespace velmoran {

class ChangeLinks {
public:
    // A second registration of the same link replaces the first.
    void Register(QObject* link, std::function<void()> onChange);
    void Unregister(QObject* link);
    // Calls every living link's callback; a callback may register or unregister meanwhile.
    void Notify();

private:
    struct Link {
        QPointer<QObject> Object;
        std::function<void()> OnChange;
    };
    std::vector<Link> links_;
};

}  // namespace velmoran
