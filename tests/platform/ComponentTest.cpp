// The component model: removal notices reach both sides while the dying component is whole, a
// withdrawn request is not told, and the owner deletes what it owns.
#include "platform/Component.h"

#include <gtest/gtest.h>

#include <QPointer>

#include <memory>
#include <string>

using namespace velmoran;

namespace {

class Named : public Component {
public:
    explicit Named(std::string name, std::string* log, QObject* owner = nullptr)
        : Component(owner), Name(std::move(name)), log_(log)
    {
    }
    ~Named() override { SendRemovalNotices(); }
    std::string Name;

protected:
    void Notification(Component* component, TOperation operation) override
    {
        if (operation == TOperation::opRemove)
            *log_ += Name + " hears " + static_cast<Named*>(component)->Name + ";";
    }

private:
    std::string* log_;
};

}  // namespace

TEST(Component, RemovalNoticesGoBothWaysWhileTheComponentIsWhole)
{
    std::string log;
    auto a = std::make_unique<Named>("a", &log);
    auto b = std::make_unique<Named>("b", &log);
    auto c = std::make_unique<Named>("c", &log);
    a->FreeNotification(b.get());
    a->FreeNotification(c.get());
    a->FreeNotification(c.get());
    a->RemoveFreeNotification(c.get());
    b.reset();
    EXPECT_EQ(log, "a hears b;");
    log.clear();
    a->FreeNotification(c.get());
    a.reset();
    EXPECT_EQ(log, "c hears a;");
}

TEST(Component, LoadingStateAndOwner)
{
    std::string log;
    auto owner = std::make_unique<QObject>();
    QPointer<Named> owned = new Named("x", &log, owner.get());
    EXPECT_EQ(owned->Owner(), owner.get());
    owned->BeginLoading();
    EXPECT_TRUE(owned->IsLoading());
    owned->Loaded();
    EXPECT_FALSE(owned->IsLoading());
    owner.reset();
    EXPECT_TRUE(owned.isNull());
}
