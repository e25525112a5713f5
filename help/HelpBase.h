// The base of the help components: a component that posts private messages to itself. The
// messages arrive as custom events after the current event (a hook) has returned, in the order
// posted, and reach the virtual WndProc; a component that is gone receives none.
#pragma once

#include "platform/Component.h"

#include <QEvent>

#include <cstdint>

namespace velmoran {

// A posted private message.
struct TMessage {
    unsigned Msg = 0;
    std::int64_t WParam = 0;
    std::int64_t LParam = 0;
    std::int64_t Result = 0;
};

class TehsBase : public Component {
public:
    explicit TehsBase(QObject* owner = nullptr) : Component(owner) {}

    // Queues a message for WndProc.
    void PostMessage(unsigned msg, std::int64_t wParam = 0, std::int64_t lParam = 0);

protected:
    // Receives the posted messages; by default nothing is done with them (Result 0).
    virtual void WndProc(TMessage& message) { message.Result = 0; }
    bool event(QEvent* event) override;

private:
    static QEvent::Type MessageEventType();
};

}  // namespace velmoran
