// Posted clicks run from the event loop; an item destroyed before delivery gets none, and its
// slot is not given to another item until its event has arrived.
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
