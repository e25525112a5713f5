// Posted clicks run from the event loop; an item destroyed before delivery gets none, and its
// slot is not given to another item until its event has arrived.
#include "platform/AppServices.h"
#include "platform/core/ScopeExit.h"
#include "toolbar/TBarItem.h"
#include "toolbar/TBarPostedClicks.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

using namespace velmoran;

TEST(PostedClicks, RunLaterFromTheEventLoop)
{
    TBarItem item;
    int clicks = 0;
    item.OnClick = [&](TBarCustomItem&) { ++clicks; };
    item.PostClick();
    item.PostClick();
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(posted_clicks::PendingSlots(), 2u);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(posted_clicks::PendingSlots(), 0u);
}

TEST(PostedClicks, ADestroyedItemKeepsItsSlotUntilDelivery)
{
    TBarItem keeper;  // keeps the queue alive
    auto doomed = std::make_unique<TBarItem>();
    int doomedClicks = 0;
    doomed->OnClick = [&](TBarCustomItem&) { ++doomedClicks; };
    doomed->PostClick();
    doomed.reset();

    // The new item may not take slot 0: the pending event names it.
    TBarItem later;
    int laterClicks = 0;
    later.OnClick = [&](TBarCustomItem&) { ++laterClicks; };
    later.PostClick();
    EXPECT_EQ(posted_clicks::PendingSlots(), 2u);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(doomedClicks, 0);
    EXPECT_EQ(laterClicks, 1);
    EXPECT_EQ(posted_clicks::PendingSlots(), 0u);

    // After delivery the slot is free again.
    later.PostClick();
    EXPECT_EQ(posted_clicks::PendingSlots(), 1u);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(laterClicks, 2);
}

TEST(PostedClicks, TheLastItemTakesTheQueueWithIt)
{
    {
        auto item = std::make_unique<TBarItem>();
        item->PostClick();
    }
    // Nothing is left to deliver to, and nothing dangles.
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(posted_clicks::PendingSlots(), 0u);
}

TEST(PostedClicks, DoneActionPostsTheClickOrOnlyReportsTheItem)
{
    TBarItem item;
    int clicks = 0;
    item.OnClick = [&](TBarCustomItem&) { ++clicks; };
    TBarDoneActionData done;
    done.DoneAction = TBarDoneActionData::tbdaClickItem;
    done.ClickItem = &item;
    EXPECT_EQ(ProcessDoneAction(done, true), &item);
    EXPECT_EQ(ProcessDoneAction(done, false), &item);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(clicks, 1);
    done.DoneAction = TBarDoneActionData::tbdaOpenSystemMenu;
    EXPECT_EQ(ProcessDoneAction(done, false), nullptr);
}

TEST(PostedClicks, DoneActionAsksForContextHelp)
{
    AppServices& services = AppServices::Instance();
    ScopeExit restore([&] { services.HelpEngine = nullptr; });
    std::vector<std::pair<int, long long>> asked;
    services.HelpEngine = [&](const std::string&, int command, long long data) {
        asked.emplace_back(command, data);
        return true;
    };
    TBarDoneActionData done;
    done.DoneAction = TBarDoneActionData::tbdaHelpContext;
    done.ContextID = 310;
    EXPECT_EQ(ProcessDoneAction(done, false), nullptr);
    EXPECT_EQ(asked, (std::vector<std::pair<int, long long>>{{HELP_CONTEXT, 310}}));
}
