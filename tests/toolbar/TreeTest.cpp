// The tree's structure and its notifications: insertion limits, Move's nested update pairs, a bad
// index that changes nothing, an End that comes even after a raising handler, handlers that
// remove themselves or others during a call, and the streaming hooks.
#include "tests/toolbar/ItemRecorder.h"
#include "toolbar/TBarItem.h"

#include <gtest/gtest.h>

#include <QWidget>

using namespace velmoran;
using velmoran::testing::ItemRecorder;

namespace {

// A parent with three children named by their captions.
struct ThreeChildren {
    TBarCustomItem parent;
    TBarItem* a = new TBarItem;
    TBarItem* b = new TBarItem;
    TBarItem* c = new TBarItem;
    ThreeChildren()
    {
        a->SetCaption("a");
        b->SetCaption("b");
        c->SetCaption("c");
        parent.Add(a);
        parent.Add(b);
        parent.Add(c);
    }
    std::string Order() const
    {
        std::string order;
        for (TBarCustomItem* child : parent.GetChildren())
            order += child->Caption();
        return order;
    }
};

std::string MessageOf(const std::function<void()>& work)
{
    try {
        work();
    } catch (const ETBItemError& error) {
        return error.Message();
    }
    return "no error";
}

}  // namespace

TEST(Tree, InsertAcceptsCountAndRefusesBeyondOrTwice)
{
    ThreeChildren tree;
    auto* d = new TBarItem;
    tree.parent.Insert(3, d);
    EXPECT_EQ(tree.parent.Items(3), d);
    EXPECT_EQ(d->Parent(), &tree.parent);

    TBarItem loose;
    EXPECT_EQ(MessageOf([&] { tree.parent.Insert(5, &loose); }), "Toolbar item index out of range");
    EXPECT_EQ(loose.Parent(), nullptr);
    EXPECT_EQ(MessageOf([&] { tree.parent.Insert(0, d); }), "Toolbar item already inserted");
    EXPECT_EQ(MessageOf([&] { tree.parent.Items(4); }), "Toolbar item index out of range");
    EXPECT_EQ(tree.parent.Count(), 4);
}

TEST(Tree, MoveSendsInsertsPairInsideItsOwn)
{
    ThreeChildren tree;
    ItemRecorder recorder(tree.parent);
    tree.parent.Move(1, 1);
    EXPECT_TRUE(recorder.Notes.empty());

    tree.parent.Move(0, 2);
    EXPECT_EQ(tree.Order(), "bca");
    const std::vector<TBarItemChangeKind> expected{ickBeginUpdate, ickDeleting, ickBeginUpdate,
                                                   ickInserted,    ickEndUpdate, ickEndUpdate};
    EXPECT_EQ(recorder.Kinds(), expected);
    EXPECT_EQ(recorder.Notes[1].Index, 0);
    EXPECT_EQ(recorder.Notes[3].Index, 2);
    EXPECT_EQ(recorder.Notes[3].Item, tree.a);
}

TEST(Tree, MoveWithABadIndexChangesAndTellsNothing)
{
    ThreeChildren tree;
    ItemRecorder recorder(tree.parent);
    EXPECT_EQ(MessageOf([&] { tree.parent.Move(7, 0); }), "Toolbar item index out of range");
    EXPECT_EQ(MessageOf([&] { tree.parent.Move(0, 3); }), "Toolbar item index out of range");
    EXPECT_EQ(MessageOf([&] { tree.parent.Move(-1, 1); }), "Toolbar item index out of range");
    EXPECT_TRUE(recorder.Notes.empty());
    EXPECT_EQ(tree.Order(), "abc");
}

TEST(Tree, EveryBeginGetsItsEndWhenAHandlerRaises)
{
    TBarCustomItem parent;
    int depth = 0;
    parent.AddChangeHandler(&depth, [&](TBarCustomItem*, bool, TBarItemChangeKind kind, int, TBarCustomItem*) {
        if (kind == ickBeginUpdate)
            ++depth;
        if (kind == ickEndUpdate)
            --depth;
        if (kind == ickInserted)
            throw Exception("Ansicht kaputt");
    });
    auto* item = new TBarItem;
    EXPECT_THROW(parent.Add(item), Exception);
    EXPECT_EQ(depth, 0);
    // The item went in before the handler raised; Move of it nests two pairs, both closed.
    EXPECT_EQ(parent.Count(), 1);
    auto* second = new TBarItem;
    EXPECT_THROW(parent.Add(second), Exception);
    EXPECT_THROW(parent.Move(0, 1), Exception);
    EXPECT_EQ(depth, 0);
    parent.RemoveChangeHandler(&depth);
}

// A handler that raises on the closing notification alone: its exception reaches the caller
// (nothing else is on its way), and the change stands.
TEST(Tree, AnEndHandlerThatRaisesReachesTheCaller)
{
    TBarCustomItem parent;
    bool raise = true;
    parent.AddChangeHandler(&raise, [&](TBarCustomItem*, bool, TBarItemChangeKind kind, int, TBarCustomItem*) {
        if (kind == ickEndUpdate && raise)
            throw Exception("Ansicht kaputt");
    });
    EXPECT_THROW(parent.Add(new TBarItem), Exception);
    EXPECT_EQ(parent.Count(), 1);
    raise = false;
    parent.Add(new TBarItem);
    raise = true;
    EXPECT_THROW(parent.Move(0, 1), Exception);
    EXPECT_EQ(parent.Count(), 2);
    parent.RemoveChangeHandler(&raise);
}

// A handler registered during a call is called in it; one removed before it is reached is not.
TEST(Tree, HandlersAddedOrRemovedDuringACallAreNeitherSkippedNorRepeated)
{
    TBarCustomItem item;
    std::string calls;
    int a = 0, b = 0, c = 0, d = 0, e = 0;
    item.AddChangeHandler(&a, [&](auto...) { calls += 'a'; });
    item.AddChangeHandler(&b, [&](auto...) {
        calls += 'b';
        item.RemoveChangeHandler(&b);  // itself
        item.RemoveChangeHandler(&a);  // one already called
    });
    item.AddChangeHandler(&c, [&](auto...) {
        calls += 'c';
        item.RemoveChangeHandler(&d);  // one still to come
        item.AddChangeHandler(&e, [&](auto...) { calls += 'e'; });
    });
    item.AddChangeHandler(&d, [&](auto...) { calls += 'd'; });
    item.NotifyChange(ickRepaint, -1, nullptr);
    EXPECT_EQ(calls, "abce");
    item.RemoveChangeHandler(&e);
    calls.clear();
    item.NotifyChange(ickRepaint, -1, nullptr);
    EXPECT_EQ(calls, "ce");
    item.RemoveChangeHandler(&c);
    item.RemoveChangeHandler(&e);
}

TEST(Tree, RegistrationsAreCountedByIdentity)
{
    TBarCustomItem item;
    int calls = 0;
    int identity = 0;
    item.AddChangeHandler(&identity, [&](auto...) { ++calls; });
    item.AddChangeHandler(&identity, [&](auto...) { calls += 100; });
    item.NotifyChange(ickRepaint, -1, nullptr);
    EXPECT_EQ(calls, 1);
    item.RemoveChangeHandler(&identity);
    item.NotifyChange(ickRepaint, -1, nullptr);
    EXPECT_EQ(calls, 2);
    item.RemoveChangeHandler(&identity);
    item.NotifyChange(ickRepaint, -1, nullptr);
    EXPECT_EQ(calls, 2);
}

TEST(Tree, ADestroyedChildLeavesItsParentWithANotice)
{
    ThreeChildren tree;
    ItemRecorder recorder(tree.parent);
    delete tree.b;
    EXPECT_EQ(tree.Order(), "ac");
    ASSERT_EQ(recorder.Notes.size(), 1u);
    EXPECT_EQ(recorder.Notes[0].Kind, ickDeleting);
    EXPECT_EQ(recorder.Notes[0].Index, 1);
}

TEST(Tree, ANewNameIsToldToTheParent)
{
    ThreeChildren tree;
    ItemRecorder recorder(tree.parent);
    tree.b->SetName("FileOpenItem");
    tree.b->SetName("FileOpenItem");
    ASSERT_EQ(recorder.Notes.size(), 1u);
    EXPECT_EQ(recorder.Notes[0].Kind, ickNewName);
    EXPECT_EQ(recorder.Notes[0].Item, tree.b);
}

TEST(Tree, StreamingHooks)
{
    ThreeChildren tree;
    tree.parent.SetChildOrder(tree.c, 0);
    EXPECT_EQ(tree.Order(), "cab");
    EXPECT_EQ(tree.a->GetParentComponent(), &tree.parent);
    QObject host;
    TBarRootItem root;
    root.SetHostComponent(&host);
    EXPECT_EQ(root.GetParentComponent(), &host);

    TBarCustomItem other;
    tree.a->SetParentComponent(&other);
    EXPECT_EQ(tree.a->Parent(), &other);
    EXPECT_EQ(tree.Order(), "cb");

    // A widget is no container: the item has left its parent all the same.
    QWidget widget;
    EXPECT_EQ(MessageOf([&] { tree.b->SetParentComponent(&widget); }),
              "Toolbar item cannot be inserted into container of type QWidget");
    EXPECT_EQ(tree.b->Parent(), nullptr);
    EXPECT_EQ(tree.Order(), "c");
    delete tree.b;
}

TEST(Tree, AContainerHandsOverItsRoot)
{
    struct Bar : QObject, ITBItemContainer {
        TBarRootItem root;
        TBarCustomItem* GetItems() override { return &root; }
    } bar;
    auto* item = new TBarItem;
    item->SetParentComponent(&bar);
    EXPECT_EQ(item->Parent(), &bar.root);
}

TEST(Tree, StyleBitsOfTheItemClasses)
{
    EXPECT_EQ(TBarItem().ItemStyle(), 0x1802);
    EXPECT_EQ(TBarSubmenuItem().ItemStyle(), 0x1802 | istOpensPopup | istSubmenuKind);
    EXPECT_EQ(TBarSeparatorItem().ItemStyle(), istSeparator | istPassClicks);
    EXPECT_EQ(TBarControlItem().ItemStyle(), istRepaintOnSelect | istRepaintOnHot | istPassClicks);
}

TEST(Tree, AControlItemFreesItsControlUnlessKept)
{
    QPointer<QObject> freed = new QObject;
    QPointer<QObject> kept = new QObject;
    {
        TBarControlItem first;
        first.SetControl(freed);
        TBarControlItem second;
        second.SetControl(kept);
        second.KeepControl = true;
    }
    EXPECT_TRUE(freed.isNull());
    ASSERT_FALSE(kept.isNull());
    delete kept.data();
}
