// Change notification to registered links; see ChangeLinks.h.
#include "platform/ChangeLinks.h"

namespace velmoran {

void ChangeLinks::Register(QObject* link, std::function<void()> onChange)
{
    Unregister(link);
    if (link)
        links_.push_back({link, std::move(onChange)});
}

void ChangeLinks::Unregister(QObject* link)
{
    std::erase_if(links_, [link](const Link& l) { return l.Object.isNull() || l.Object == link; });
}

void ChangeLinks::Notify()
{
    std::erase_if(links_, [](const Link& l) { return l.Object.isNull(); });
    // A listener may register or unregister while being told; tell a copy.
    const std::vector<Link> links = links_;
    for (const Link& l : links)
        if (!l.Object.isNull() && l.OnChange)
            l.OnChange();
}

}  // namespace velmoran
