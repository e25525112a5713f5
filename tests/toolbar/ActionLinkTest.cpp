// Items linked to actions: what is copied on assignment and after loading, which properties keep
// following the action, and what a click runs.
#include "toolbar/TBarItem.h"

#include <gtest/gtest.h>

using namespace velmoran;

namespace {

void Fill(Action& action)
{
    action.SetCaption("&Öffnen...");
    action.SetHint("Öffnen|Öffnet eine Berechnung");
    action.SetImageIndex(5);
    action.SetShortCut(scCtrl | 'O');
    action.SetHelpContext(120);
}

}  // namespace

TEST(ActionLink, AssignmentCopiesEverythingButLoadingOnlyIntoDefaults)
{
    Action action;
    Fill(action);
    TBarItem item;
    item.SetCaption("Eigen");
    item.SetAction(&action);
    EXPECT_EQ(item.Caption(), "&Öffnen...");
    EXPECT_EQ(item.ShortCut(), scCtrl | 'O');

    TBarItem loading;
    loading.BeginLoading();
    loading.SetCaption("Eigen");
    loading.SetAction(&action);
    EXPECT_EQ(loading.Caption(), "Eigen");
    EXPECT_EQ(loading.Hint(), "Öffnen|Öffnet eine Berechnung");
    EXPECT_EQ(loading.ImageIndex(), 5);
    EXPECT_EQ(loading.HelpContext(), 120);
    loading.Loaded();
    EXPECT_EQ(loading.Caption(), "Eigen");
}

// The shortcut is what a user presses to run the action, so the item linked to it must answer to
// the same keys: assigned in the program it takes the action's; read from a stored form it takes
// the action's only when the stored item had none, and keeps what it has when loading ends.
TEST(ActionLink, TheShortCutComesFromTheActionUnlessALoadedItemHasItsOwn)
{
    Action action;
    Fill(action);
    TBarItem item;
    item.SetShortCut(scCtrl | 'S');
    item.SetAction(&action);
    EXPECT_EQ(item.ShortCut(), scCtrl | 'O');

    TBarItem bare;
    bare.BeginLoading();
    bare.SetAction(&action);
    EXPECT_EQ(bare.ShortCut(), scCtrl | 'O');
    bare.Loaded();
    EXPECT_EQ(bare.ShortCut(), scCtrl | 'O');

    TBarItem own;
    own.BeginLoading();
    own.SetShortCut(scCtrl | 'S');
    own.SetAction(&action);
    EXPECT_EQ(own.ShortCut(), scCtrl | 'S');
    own.Loaded();
    EXPECT_EQ(own.ShortCut(), scCtrl | 'S');

    // After loading, the one that took the action's shortcut follows it; the other keeps its own.
    action.SetShortCut(scCtrl | 'L');
    EXPECT_EQ(bare.ShortCut(), scCtrl | 'L');
    EXPECT_EQ(own.ShortCut(), scCtrl | 'S');
}

TEST(ActionLink, APropertyFollowsTheActionOnlyWhileLinked)
{
    Action action;
    Fill(action);
    TBarItem item;
    item.SetAction(&action);
    item.SetCaption("Anders");
    action.SetCaption("&Laden...");
    action.SetEnabled(false);
    action.SetImageIndex(6);
    EXPECT_EQ(item.Caption(), "Anders");
    EXPECT_FALSE(item.Enabled());
    EXPECT_EQ(item.ImageIndex(), 6);

    // Unlinked, the item keeps what it has.
    item.SetAction(nullptr);
    action.SetEnabled(true);
    EXPECT_FALSE(item.Enabled());
}

TEST(ActionLink, ClickRunsOnClickOrTheActionAutoCheckingFirst)
{
    Action action;
    std::string ran;
    action.OnExecute = [&](Action&) { ran += "action;"; };
    TBarItem item;
    item.SetAction(&action);
    item.SetAutoCheck(true);
    item.Click();
    EXPECT_EQ(ran, "action;");
    EXPECT_TRUE(item.Checked());

    // An OnClick of its own wins over the action; it sees the toggled state.
    item.OnClick = [&](TBarCustomItem& sender) { ran += sender.Checked() ? "click+;" : "click-;"; };
    item.Click();
    EXPECT_EQ(ran, "action;click-;");

    // Disabled (here through the action): nothing happens, not even the check.
    action.SetEnabled(false);
    item.Click();
    EXPECT_EQ(ran, "action;click-;");
    EXPECT_FALSE(item.Checked());
}

TEST(ActionLink, ADestroyedActionLeavesTheItem)
{
    auto action = std::make_unique<Action>();
    int updates = 0;
    action->OnUpdate = [&](Action&) { ++updates; };
    TBarItem item;
    item.SetAction(action.get());
    item.InitiateAction();
    EXPECT_EQ(updates, 1);
    action.reset();
    EXPECT_EQ(item.GetAction(), nullptr);
    item.InitiateAction();
    item.Click();
}
