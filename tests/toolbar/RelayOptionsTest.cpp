// Relay through inline groups, effective options, pictures and radio groups: what reaches which
// handler and whether it asks for a new layout or only a repaint.
#include "tests/toolbar/ItemRecorder.h"
#include "toolbar/TBarItem.h"

#include <gtest/gtest.h>

using namespace velmoran;
using velmoran::testing::ItemRecorder;

namespace {

class InlineGroup : public TBarCustomItem {
public:
    InlineGroup() { SetStyle(istInlineSubitems); }
};

}  // namespace

TEST(Relay, AChangeInALinkedContainerReachesTheMenusEmbeddingIt)
{
    TBarCustomItem container;
    TBarCustomItem fileMenu, openDropdown;
    auto* inFile = new InlineGroup;
    auto* inDropdown = new InlineGroup;
    fileMenu.Add(inFile);
    openDropdown.Add(inDropdown);
    inFile->SetLinkSubitems(&container);
    inDropdown->SetLinkSubitems(&container);
    ItemRecorder fileNotes(fileMenu), dropdownNotes(openDropdown), containerNotes(container);

    auto* entry = new TBarItem;
    container.Add(entry);
    for (const ItemRecorder* notes : {&fileNotes, &dropdownNotes}) {
        ASSERT_EQ(notes->Notes.size(), 3u);
        EXPECT_EQ(notes->Notes[1].Kind, ickInserted);
        EXPECT_EQ(notes->Notes[1].Sender, &container);
        EXPECT_TRUE(notes->Notes[1].Relayed);
        EXPECT_EQ(notes->Notes[1].Item, entry);
    }
    EXPECT_FALSE(containerNotes.Notes[1].Relayed);

}

TEST(Relay, StopsAfterElevenLevels)
{
    // A chain of inline groups, each the only child of the next.
    TBarCustomItem top;
    std::vector<TBarCustomItem*> chain{new InlineGroup};
    for (int i = 0; i < 12; ++i) {
        auto* next = new InlineGroup;
        next->Add(chain.back());
        chain.push_back(next);
    }
    top.Add(chain.back());  // chain[12] is top's child: 13 relays from chain[0] reach top
    ItemRecorder level11(*chain[11]), level12(*chain[12]), topNotes(top);
    chain[0]->NotifyChange(ickRepaint, -1, nullptr);
    EXPECT_EQ(level11.Notes.size(), 1u);
    EXPECT_TRUE(level11.Notes[0].Relayed);
    EXPECT_EQ(level11.Notes[0].Sender, chain[0]);
    EXPECT_TRUE(level12.Notes.empty());
    EXPECT_TRUE(topNotes.Notes.empty());
}

TEST(Options, ToolbarSizeNeedsToolbarStyle)
{
    TBarItem item;
    item.SetOptions(tboToolbarSize);
    EXPECT_EQ(item.Options(), 0);
    item.SetOptions(tboToolbarSize | tboToolbarStyle);
    EXPECT_EQ(item.Options(), tboToolbarSize | tboToolbarStyle);
}

TEST(Options, ChildrenInheritAllButDefaultAndOnlyLayoutBitsRelayout)
{
    TBarCustomItem bar;
    auto* menu = new TBarSubmenuItem;
    bar.Add(menu);
    auto* entry = new TBarItem;
    menu->Add(entry);
    ItemRecorder barNotes(bar), menuNotes(*menu);

    menu->SetOptions(tboDefault | tboShowHint);
    EXPECT_EQ(entry->EffectiveOptions(), tboShowHint);
    EXPECT_EQ(barNotes.Kinds(), std::vector<TBarItemChangeKind>{ickRelayout});  // tboDefault is a layout bit
    EXPECT_TRUE(menuNotes.Notes.empty());  // tboShowHint alone changes no layout

    entry->SetMaskOptions(tboShowHint);
    EXPECT_EQ(entry->EffectiveOptions(), 0);
    entry->SetInheritOptions(false);
    menu->SetOptions(tboToolbarStyle);
    EXPECT_EQ(entry->EffectiveOptions(), 0);
    entry->SetInheritOptions(true);
    EXPECT_EQ(entry->EffectiveOptions(), tboToolbarStyle);
    EXPECT_EQ(menuNotes.Kinds(), std::vector<TBarItemChangeKind>{ickRelayout});
}

TEST(Pictures, IndexAndListChangesRepaintOrRelayout)
{
    TBarCustomItem bar;
    auto* item = new TBarItem;
    bar.Add(item);
    ItemRecorder notes(bar);
    item->SetImageIndex(3);   // gains a picture
    item->SetImageIndex(4);   // another picture
    item->SetImageIndex(-1);  // loses it
    EXPECT_EQ(notes.Kinds(), (std::vector<TBarItemChangeKind>{ickRelayout, ickRepaint, ickRelayout}));

    notes.Notes.clear();
    auto small = std::make_unique<ImageList>(16, 16);
    auto same = std::make_unique<ImageList>(16, 16);
    auto large = std::make_unique<ImageList>(24, 24);
    item->SetImages(small.get());
    item->SetImages(same.get());
    item->SetImages(large.get());
    EXPECT_EQ(notes.Kinds(), (std::vector<TBarItemChangeKind>{ickRelayout, ickRepaint, ickRelayout}));

    notes.Notes.clear();
    large.reset();
    EXPECT_EQ(item->Images(), nullptr);
    EXPECT_EQ(notes.Kinds(), std::vector<TBarItemChangeKind>{ickRelayout});
}

TEST(Pictures, SubmenuImagesTellTheItemItself)
{
    TBarSubmenuItem menu;
    ItemRecorder notes(menu);
    auto list = std::make_unique<ImageList>(16, 16);
    menu.SetSubMenuImages(list.get());
    list.reset();
    EXPECT_EQ(menu.SubMenuImages(), nullptr);
    EXPECT_EQ(notes.Kinds(), (std::vector<TBarItemChangeKind>{ickSubmenuImages, ickSubmenuImages}));
}

TEST(RadioGroups, CheckingUnchecksSiblingsOfTheSameNonZeroGroup)
{
    TBarCustomItem menu;
    std::vector<TBarItem*> items;
    for (int i = 0; i < 4; ++i) {
        items.push_back(new TBarItem);
        menu.Add(items.back());
    }
    for (int i = 0; i < 3; ++i)
        items[i]->SetGroupIndex(1);
    items[0]->SetChecked(true);
    items[1]->SetChecked(true);
    items[3]->SetChecked(true);
    EXPECT_FALSE(items[0]->Checked());
    EXPECT_TRUE(items[1]->Checked());
    EXPECT_TRUE(items[3]->Checked());

    // Group 0 is no group; a checked item joining a group clears the others there.
    for (TBarItem* item : items)
        item->SetGroupIndex(0);
    items[0]->SetChecked(true);
    EXPECT_TRUE(items[1]->Checked());
    items[0]->SetGroupIndex(2);
    items[1]->SetGroupIndex(2);
    EXPECT_FALSE(items[0]->Checked());
}

TEST(Relay, DestroyingATargetUnlinksItsLinkers)
{
    auto container = std::make_unique<TBarCustomItem>();
    TBarCustomItem menu;
    auto* group = new InlineGroup;
    menu.Add(group);
    group->SetLinkSubitems(container.get());
    ItemRecorder notes(*group);
    container.reset();
    EXPECT_EQ(group->LinkSubitems(), nullptr);
    EXPECT_EQ(group->GetSubitemsRoot(), group);
    EXPECT_EQ(notes.Kinds(), std::vector<TBarItemChangeKind>{ickLinkChanged});
    group->SetLinkSubitems(group);
    EXPECT_EQ(group->LinkSubitems(), nullptr);
}

TEST(Relay, ADestroyedLinkerLeavesItsTarget)
{
    TBarCustomItem container;
    auto* first = new InlineGroup;
    auto* second = new InlineGroup;
    TBarCustomItem menu;
    menu.Add(first);
    menu.Add(second);
    first->SetLinkSubitems(&container);
    second->SetLinkSubitems(&container);
    ASSERT_NE(container.LinkedBy(), nullptr);
    EXPECT_EQ(*container.LinkedBy(), (std::vector<TBarCustomItem*>{second, first}));
    delete first;
    EXPECT_EQ(*container.LinkedBy(), std::vector<TBarCustomItem*>{second});
    second->SetLinkSubitems(nullptr);
    EXPECT_EQ(container.LinkedBy(), nullptr);
    // Still told of its own changes, without a relay to the old linkers.
    ItemRecorder notes(menu);
    container.Add(new TBarItem);
    EXPECT_TRUE(notes.Notes.empty());
}
