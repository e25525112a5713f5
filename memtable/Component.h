// The component base of the dataset layer: a name, and the free notification by which a table
// forgets a format or delta handler that is destroyed while the table still refers to it (and the
// other way round), so that no reference outlives what it names.
#pragma once

#include <string>
#include <vector>

namespace velmoran {

class TComponent {
public:
    TComponent() = default;
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    std::string Name;

    // Links the two components: whichever is destroyed first is reported to the other through
    // Notification. Linking twice is harmless.
    void FreeNotification(TComponent* other);
    void RemoveFreeNotification(TComponent* other);

protected:
    // Called while `removed` is being destroyed; an implementation only drops its references
    // to it and calls nothing on it.
    virtual void Notification(TComponent* /*removed*/) {}
    // Reports the destruction to every linked component; a class whose Notification handlers
    // of others must see it whole calls this first in its destructor.
    void NotifyDestruction();

private:
    std::vector<TComponent*> linked_;
};

}  // namespace velmoran
