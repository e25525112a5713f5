// Shortcut execution: the way to the item is opened level by level (popup handlers first, the
// linked root before the submenu), a disabled level or too many link hops answer false, and a
// handler that rebuilds its submenu on every popup cannot hang the program.
#include "toolbar/TBarItem.h"

#include <gtest/gtest.h>

#include <QKeyEvent>

using namespace velmoran;

namespace {

constexpr TShortCut kCtrlN = scCtrl | 'N';

}  // namespace

TEST(ShortCutWalk, PopupHandlersRunBeforeTheClick)
{
    TBarRootItem root;
    auto* file = new TBarSubmenuItem;
    root.Add(file);
    TBarCustomItem shared;
    file->SetLinkSubitems(&shared);
    auto* newItem = new TBarItem;
    newItem->SetShortCut(kCtrlN);
    shared.Add(newItem);

    std::string calls;
    shared.OnPopup = [&](TBarCustomItem&, bool fromLink) { calls += fromLink ? "shared(link);" : "shared;"; };
    file->OnPopup = [&](TBarCustomItem&, bool fromLink) { calls += fromLink ? "file(link);" : "file;"; };
    file->OnClick = [&](TBarCustomItem&) { calls += "file-click;"; };
    newItem->OnClick = [&](TBarCustomItem&) { calls += "new;"; };

    EXPECT_TRUE(root.IsShortCut(kCtrlN));
    EXPECT_EQ(calls, "shared(link);file;file-click;new;");
    EXPECT_FALSE(root.IsShortCut(scCtrl | 'M'));

    QKeyEvent press(QEvent::KeyPress, Qt::Key_N, Qt::ControlModifier);
    calls.clear();
    EXPECT_TRUE(root.IsShortCut(press));
    EXPECT_EQ(calls, "shared(link);file;file-click;new;");
}

TEST(ShortCutWalk, ADisabledLevelOrItemAnswersFalse)
{
    TBarRootItem root;
    auto* menu = new TBarSubmenuItem;
    root.Add(menu);
    auto* item = new TBarItem;
    item->SetShortCut(kCtrlN);
    menu->Add(item);
    int clicks = 0;
    item->OnClick = [&](TBarCustomItem&) { ++clicks; };

    menu->SetEnabled(false);
    EXPECT_FALSE(root.IsShortCut(kCtrlN));
    menu->SetEnabled(true);
    item->SetEnabled(false);
    EXPECT_FALSE(root.IsShortCut(kCtrlN));
    EXPECT_EQ(clicks, 0);
    item->SetEnabled(true);
    EXPECT_TRUE(root.IsShortCut(kCtrlN));
    EXPECT_EQ(clicks, 1);
}

TEST(ShortCutWalk, MoreThanTwentyFiveLinkHopsFindNothing)
{
    // Each submenu links to a container holding the next submenu; the item sits at the end.
    auto chainOf = [](int hops, TBarRootItem& root, std::vector<std::unique_ptr<TBarCustomItem>>& containers) {
        TBarCustomItem* level = &root;
        for (int i = 0; i < hops; ++i) {
            auto* menu = new TBarSubmenuItem;
            level->Add(menu);
            containers.push_back(std::make_unique<TBarCustomItem>());
            menu->SetLinkSubitems(containers.back().get());
            level = containers.back().get();
        }
        auto* item = new TBarItem;
        item->SetShortCut(kCtrlN);
        level->Add(item);
    };
    {
        TBarRootItem root;
        std::vector<std::unique_ptr<TBarCustomItem>> containers;
        chainOf(25, root, containers);
        EXPECT_TRUE(root.IsShortCut(kCtrlN));
    }
    TBarRootItem root;
    std::vector<std::unique_ptr<TBarCustomItem>> containers;
    chainOf(26, root, containers);
    EXPECT_FALSE(root.IsShortCut(kCtrlN));
}

// Submenus linked round in a cycle never end. The search follows them depth first until the link
// hops run out and then gives up as a whole: it does not go back and search on past the cycle,
// for a search that did would walk every path of the cycle up to that depth (two submenus in it
// are already 2^25 paths) and hang the program at a key press.
TEST(ShortCutWalk, ACycleOfLinkedSubmenusEndsTheSearch)
{
    TBarRootItem root;
    auto* menu = new TBarSubmenuItem;
    root.Add(menu);
    TBarCustomItem shared;
    menu->SetLinkSubitems(&shared);
    auto* again = new TBarSubmenuItem;
    shared.Add(again);
    again->SetLinkSubitems(&shared);

    auto* after = new TBarSubmenuItem;
    root.Add(after);
    auto* item = new TBarItem;
    item->SetShortCut(kCtrlN);
    after->Add(item);
    int clicks = 0;
    item->OnClick = [&](TBarCustomItem&) { ++clicks; };

    EXPECT_FALSE(root.IsShortCut(kCtrlN));
    EXPECT_EQ(clicks, 0);
    // Without the cycle in front of it the item is found.
    delete menu;
    EXPECT_TRUE(root.IsShortCut(kCtrlN));
    EXPECT_EQ(clicks, 1);
}

TEST(ShortCutWalk, ASubmenuRebuiltOnEveryPopupEndsTheWalk)
{
    TBarRootItem root;
    auto* menu = new TBarSubmenuItem;
    root.Add(menu);
    int popups = 0;
    int clicks = 0;
    menu->OnPopup = [&](TBarCustomItem& sender, bool) {
        ++popups;
        while (sender.Count() > 0)
            delete sender.Items(0);
        auto* item = new TBarItem;
        item->SetShortCut(kCtrlN);
        item->OnClick = [&](TBarCustomItem&) { ++clicks; };
        sender.Add(item);
    };
    menu->OnPopup(*menu, false);
    EXPECT_FALSE(root.IsShortCut(kCtrlN));
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(popups, 1 + 26);
}

TEST(ShortCutWalk, ShortCutTextComesFromTheCaptionTabFirst)
{
    TBarItem item;
    item.SetShortCut(kCtrlN);
    EXPECT_EQ(item.GetShortCutText(), "Strg+N");
    item.SetCaption("&Neu\tStrg+Umschalt+N");
    EXPECT_EQ(item.GetShortCutText(), "Strg+Umschalt+N");
}

TEST(Popup, OpeningASubmenuClicksItUnlessItIsASplitButton)
{
    TBarSubmenuItem menu;
    std::string calls;
    menu.OnPopup = [&](TBarCustomItem&, bool) { calls += "popup;"; };
    menu.OnClick = [&](TBarCustomItem&) { calls += "click;"; };
    menu.DoPopup(&menu, false);
    EXPECT_EQ(calls, "popup;click;");
    calls.clear();
    menu.SetDropdownCombo(true);
    EXPECT_TRUE(menu.HasStyle(istSplitButton));
    menu.DoPopup(&menu, false);
    EXPECT_EQ(calls, "popup;");
}
