// The component model of the forms built in code: an owner (the QObject parent, which deletes
// what it owns), a loading state that ends with Loaded once a form has set a component up, a
// destroying state, and removal notification: a component that asked another with
// FreeNotification hears Notification(that one, opRemove) from the start of its destructor, while
// it is still whole, and can drop what it holds of it. Where only a reference has to be cleared a
// QPointer is enough.
#pragma once

#include <QObject>

#include <memory>
#include <vector>

namespace velmoran {

enum class TOperation { opInsert, opRemove };

class Component : public QObject {
public:
    explicit Component(QObject* owner = nullptr) : QObject(owner) {}
    ~Component() override;

    QObject* Owner() const { return parent(); }
    void BeginLoading() { loading_ = true; }
    bool IsLoading() const { return loading_; }
    // Ends loading; overrides do their set-up and call this first.
    virtual void Loaded() { loading_ = false; }
    bool IsDestroying() const { return destroying_; }

    // `other` hears of this component's removal, and this one of `other`'s.
    void FreeNotification(Component* other);
    void RemoveFreeNotification(Component* other);

protected:
    // Told that `component` is going (opRemove) while it is whole.
    virtual void Notification(Component* /*component*/, TOperation /*operation*/) {}
    // For derived destructors that must do their own work before the notices go out.
    void SendRemovalNotices();

private:
    std::vector<Component*> notified_;
    bool loading_ = false;
    bool destroying_ = false;
    bool noticesSent_ = false;
};

}  // namespace velmoran
