// The view's layout with the fixed-metric test font: a text button "Ab" is 22 x 16, a separator
// 6 pixels, a menu line 14 high. Separators, wrapped rows, centring, right alignment, vertical
// mirroring, margins, chevron shrinking, popup scrolling, inline groups and held-back updates.
#include "ViewHost.h"

#include "platform/ImageList.h"

#include <gtest/gtest.h>

#include <QImage>

#include <utility>

namespace velmoran {
namespace {

using testing::AddItem;
using testing::AddSeparator;
using testing::TestView;
using testing::ViewHost;

constexpr int kButton = 22;  // 6 + two characters + 6
constexpr int kButtonHeight = 16;
constexpr int kLine = 14;

class AlignedRightItem : public TBarItem {
public:
    explicit AlignedRightItem(QObject* owner) : TBarItem(owner) { SetStyle(istAlignRight); }
};

class UnbrokenSeparator : public TBarSeparatorItem {
public:
    explicit UnbrokenSeparator(QObject* owner) : TBarSeparatorItem(owner) { SetStyle(istSeparatorNoBreak); }
};

class InlineItem : public TBarItem {
public:
    explicit InlineItem(QObject* owner = nullptr) : TBarItem(owner) { SetStyle(istInlineSubitems); }
};

class View : public ::testing::Test {
protected:
    TBarItem* Button(const std::string& caption = "Ab") { return AddItem<TBarItem>(root, caption); }
    TestView& Bar()
    {
        if (!view_)
            view_ = &host.MakeView(root, true);
        return *view_;
    }
    TestView& Menu()
    {
        if (!view_)
            view_ = &host.MakeView(root, false);
        return *view_;
    }
    TRect RectOf(TBarCustomItem* item) { return view_->FindViewer(item)->BoundsRect; }
    bool Shown(TBarCustomItem* item) { return view_->FindViewer(item)->Show; }
    TSize Layout()
    {
        view_->InvalidatePositions();
        return view_->UpdatePositions();
    }

    TBarRootItem root;
    ViewHost host;
    TestView* view_ = nullptr;

    // Four buttons, 88 pixels, before a chevron at 60 that is 12 long.
    void MakeChevronBar(bool priority)
    {
        for (auto*& item : items)
            item = Button();
        Bar().Chevron = &chevron;
        Bar().SetUsePriorityList(priority);
        Bar().RecreateAllViewers();
        Bar().SetChevronOffset(60);
        Bar().SetChevronSize(12);
    }
    // The chevron bar with its buttons hidden and a 30 x 10 control after them, laid out with
    // room for all.
    std::pair<TBarControlItem*, QWidget*> MakeControlBar()
    {
        MakeChevronBar(false);
        auto* widget = new QWidget(&host);
        widget->resize(30, 10);
        auto* control = new TBarControlItem(&root);
        control->SetControl(widget);
        control->KeepControl = true;
        root.Add(control);
        for (TBarItem* item : items)
            item->SetVisible(false);
        Bar().SetChevronOffset(200);
        Layout();
        return {control, widget};
    }
    TBarItem* items[4] = {};
    TBarItem chevron;
};

TEST_F(View, ViewersFollowTheTreeAndRaiseOutOfRange)
{
    TBarItem* a = Button();
    Bar();
    TBarItem* b = Button();
    EXPECT_EQ(Bar().ViewerCount(), 2);
    EXPECT_EQ(&Bar().Viewers(1)->Item(), b);
    root.Remove(a);
    delete a;
    EXPECT_EQ(Bar().ViewerCount(), 1);
    EXPECT_THROW(Bar().Viewers(1), ETBItemError);
    EXPECT_EQ(Bar().IndexOf(nullptr), -1);

    // A view made by a handler while an insertion is told hears of it in that pass, and keeps one
    // viewer of the new item.
    std::unique_ptr<TestView> late;
    int identity = 0;
    root.AddChangeHandler(&identity, [&](TBarCustomItem*, bool, TBarItemChangeKind kind, int, TBarCustomItem*) {
        if (kind == ickInserted && !late)
            late = std::make_unique<TestView>(host, root, true);
    });
    TBarItem* c = Button();
    ASSERT_NE(late, nullptr);
    ASSERT_EQ(late->ViewerCount(), 2);
    EXPECT_EQ(&late->Viewers(1)->Item(), c);
    root.RemoveChangeHandler(&identity);
}

TEST_F(View, SeparatorsAreNeverDoubledFirstOrLast)
{
    TBarSeparatorItem* first = AddSeparator(root);
    TBarItem* a = Button();
    TBarSeparatorItem* middle = AddSeparator(root);
    TBarSeparatorItem* doubled = AddSeparator(root);
    TBarItem* b = Button();
    TBarSeparatorItem* last = AddSeparator(root);
    Bar();
    EXPECT_EQ(Layout(), (TSize{kButton + 6 + kButton, kButtonHeight}));
    EXPECT_FALSE(Shown(first));
    EXPECT_FALSE(Shown(doubled));
    EXPECT_FALSE(Shown(last));
    EXPECT_EQ(RectOf(a), (TRect{0, 0, kButton, kButtonHeight}));
    // A separator takes the row's whole thickness.
    EXPECT_EQ(RectOf(middle), (TRect{kButton, 0, kButton + 6, kButtonHeight}));
    EXPECT_EQ(RectOf(b).Left, kButton + 6);
    // A hidden item between two separators makes them neighbours.
    b->SetVisible(false);
    Layout();
    EXPECT_FALSE(Shown(middle));
}

TEST_F(View, WrappedRowsAndSeparatorRowGaps)
{
    TBarItem* a = Button();
    TBarItem* b = Button();
    TBarSeparatorItem* separator = AddSeparator(root);
    TBarItem* c = Button();
    TBarItem* d = Button();
    Bar().SetWrapOffset(50);
    const TSize size = Layout();
    // The group after the separator does not fit behind it: a 6-pixel gap starts the next row.
    TBarItemViewer* gap = Bar().FindViewer(separator);
    EXPECT_TRUE(gap->LineSeparator);
    EXPECT_EQ(RectOf(a), (TRect{0, 0, kButton, kButtonHeight}));
    EXPECT_EQ(RectOf(b).Left, kButton);
    EXPECT_EQ(gap->BoundsRect, (TRect{0, kButtonHeight, 2 * kButton, kButtonHeight + 6}));
    EXPECT_EQ(RectOf(c), (TRect{0, kButtonHeight + 6, kButton, 2 * kButtonHeight + 6}));
    EXPECT_EQ(RectOf(d).Left, kButton);
    EXPECT_EQ(size, (TSize{2 * kButton, 2 * kButtonHeight + 6}));

    // Without the separator the third button wraps, and the bar is at least the wrap width.
    separator->SetVisible(false);
    Bar().SetWrapOffset(70);
    const TSize wrapped = Layout();
    EXPECT_EQ(RectOf(c).Top, 0);
    EXPECT_EQ(RectOf(d), (TRect{0, kButtonHeight, kButton, 2 * kButtonHeight}));
    EXPECT_EQ(wrapped, (TSize{70, 2 * kButtonHeight}));
    int rows = 0;
    TSize base, total;
    Bar().CalculatePositions(false, TBarViewOrientation::voHorizontal, 70, 0, 0, base, total, rows);
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(base, (TSize{4 * kButton, kButtonHeight}));
}

// A separator whose group fits behind it stays in its row; after a row that ended by wrapping it
// starts the next row as a gap all the same, unless it must not break. A wrap width of one pixel
// still wraps: every item stands in a row of its own.
TEST_F(View, ASeparatorWhoseGroupFitsBreaksOnlyAfterAWrappedRow)
{
    TBarItem* a = Button();
    TBarSeparatorItem* separator = AddSeparator(root);
    TBarItem* b = Button();
    Bar().SetWrapOffset(100);
    Layout();
    EXPECT_FALSE(Bar().FindViewer(separator)->LineSeparator);
    EXPECT_EQ(RectOf(separator), (TRect{kButton, 0, kButton + 6, kButtonHeight}));
    EXPECT_EQ(RectOf(b).Top, 0);

    // "Ab Ab | Ab | Ab" in 50 pixels: the third button wraps; behind it the group fits, yet the
    // separator breaks, since its row began by wrapping.
    root.Remove(b);
    delete b;
    root.Remove(separator);
    delete separator;
    TBarItem* second = Button();
    TBarItem* wrapped = Button();
    TBarSeparatorItem* afterWrap = AddSeparator(root);
    TBarItem* last = Button();
    Bar().RecreateAllViewers();
    Bar().SetWrapOffset(50);
    Layout();
    ASSERT_EQ(RectOf(second).Top, 0);
    ASSERT_EQ(RectOf(wrapped), (TRect{0, kButtonHeight, kButton, 2 * kButtonHeight}));
    EXPECT_TRUE(Bar().FindViewer(afterWrap)->LineSeparator);
    EXPECT_EQ(RectOf(last), (TRect{0, 2 * kButtonHeight + 6, kButton, 3 * kButtonHeight + 6}));

    auto* unbroken = new UnbrokenSeparator(&root);
    root.Insert(root.IndexOf(afterWrap), unbroken);
    root.Remove(afterWrap);
    delete afterWrap;
    Layout();
    EXPECT_FALSE(Bar().FindViewer(unbroken)->LineSeparator);
    EXPECT_EQ(RectOf(last), (TRect{kButton + 6, kButtonHeight, 2 * kButton + 6, 2 * kButtonHeight}));

    Bar().SetWrapOffset(1);
    Layout();
    EXPECT_EQ(RectOf(a).Top, 0);
    EXPECT_EQ(RectOf(second).Top, kButtonHeight);
    EXPECT_EQ(RectOf(wrapped).Top, 2 * kButtonHeight);
}

TEST_F(View, ItemsAreCentredInTheirRowAndRightAlignedTailsMove)
{
    std::unique_ptr<ImageList> images(new ImageList(16, 16));
    images->Add(QImage(16, 16, QImage::Format_RGB32));
    TBarItem* tall = Button();
    tall->SetImages(images.get());
    tall->SetImageIndex(0);
    TBarItem* low = Button();
    auto* right = new AlignedRightItem(&root);
    right->SetCaption("Ab");
    root.Add(right);
    Bar().SetWrapOffset(100);
    Layout();
    EXPECT_EQ(RectOf(tall).Height(), 22);
    // Centred across the 22-pixel row, halves rounded down.
    EXPECT_EQ(RectOf(low), (TRect{23, 3, 23 + kButton, 3 + kButtonHeight}));
    // From the right-aligned item on, the row ends at the wrap width.
    EXPECT_EQ(RectOf(right).Right, 100);
    EXPECT_EQ(RectOf(right).Left, 100 - kButton);
}

TEST_F(View, VerticalBarsAreMirroredAndFloatingBarsHaveMargins)
{
    TBarItem* a = Button();
    TBarItem* b = Button();
    TBarItem* c = Button();
    Bar().SetOrientation(TBarViewOrientation::voVertical);
    Bar().SetWrapOffset(50);
    const TSize size = Layout();
    // Turned buttons are 16 wide and 22 long; the third starts a second column, laid right to left.
    EXPECT_EQ(size, (TSize{32, 50}));
    EXPECT_EQ(RectOf(a), (TRect{16, 0, 32, 22}));
    EXPECT_EQ(RectOf(b), (TRect{16, 22, 32, 44}));
    EXPECT_EQ(RectOf(c), (TRect{0, 0, 16, 22}));

    Bar().SetOrientation(TBarViewOrientation::voFloating);
    Bar().SetWrapOffset(0);
    const TSize floating = Layout();
    EXPECT_EQ(RectOf(a), (TRect{4, 2, 4 + kButton, 2 + kButtonHeight}));
    EXPECT_EQ(floating, (TSize{4 + 3 * kButton + 4, 2 + kButtonHeight + 1}));
}

TEST_F(View, ItemsDisappearFromTheEndBehindTheChevron)
{
    MakeChevronBar(false);
    Layout();
    // 88 pixels into 60 - 12: the last two go.
    EXPECT_TRUE(Shown(items[1]));
    EXPECT_FALSE(Shown(items[2]));
    EXPECT_FALSE(Shown(items[3]));
    EXPECT_TRUE(Bar().FindViewer(items[3])->OffEdge);
    TBarItemViewer* viewer = Bar().FindViewer(&chevron);
    EXPECT_EQ(Bar().IndexOf(viewer), Bar().ViewerCount() - 1);
    EXPECT_TRUE(viewer->Show);
    EXPECT_EQ(viewer->BoundsRect, (TRect{60, 0, 72, kButtonHeight}));
    EXPECT_TRUE(chevron.Enabled());
    EXPECT_EQ(Bar().BaseSize(), (TSize{4 * kButton, kButtonHeight}));

    // The first stays however little room there is; a second would lie over the chevron, which
    // a dock squeezing the bar to its first item and the chevron left covered and unclickable.
    Bar().SetChevronOffset(10);
    Layout();
    EXPECT_TRUE(Shown(items[0]));
    EXPECT_FALSE(Shown(items[1]));
    EXPECT_TRUE(Bar().FindViewer(&chevron)->Show);
    // Enough room: no chevron.
    Bar().SetChevronOffset(200);
    Layout();
    EXPECT_TRUE(Shown(items[3]));
    EXPECT_FALSE(Bar().FindViewer(&chevron)->Show);
}

TEST_F(View, ThePriorityListDecidesWhatHides)
{
    MakeChevronBar(true);
    Layout();
    Bar().GivePriority(Bar().FindViewer(items[3]));
    Layout();
    // The last button is now the most important: the third and then the second go first.
    EXPECT_TRUE(Shown(items[3]));
    EXPECT_TRUE(Shown(items[0]));
    EXPECT_FALSE(Shown(items[1]));
    EXPECT_FALSE(Shown(items[2]));
    ASSERT_NE(Bar().PriorityList(), nullptr);
    EXPECT_EQ(&Bar().PriorityList()->front()->Item(), items[3]);
}

TEST_F(View, ControlWidgetsFollowTheirItemsAndDisableAChevronOfControlsOnly)
{
    auto [control, widget] = MakeControlBar();
    EXPECT_EQ(widget->geometry(), QRect(0, 0, 30, 10));
    EXPECT_FALSE(widget->isHidden());

    // Only a control hidden behind the chevron: the chevron has nothing to offer.
    items[0]->SetVisible(true);
    items[1]->SetVisible(true);
    Bar().SetChevronOffset(60);
    Layout();
    EXPECT_TRUE(Bar().FindViewer(control)->OffEdge);
    EXPECT_TRUE(widget->isHidden());
    EXPECT_FALSE(chevron.Enabled());
    std::vector<QWidget*> offEdge;
    Bar().CollectOffEdgeControls(offEdge);
    EXPECT_EQ(offEdge, std::vector<QWidget*>{widget});
    // Room again: the widget the layout hid comes back.
    Bar().SetChevronOffset(200);
    Layout();
    EXPECT_FALSE(widget->isHidden());
    EXPECT_EQ(widget->geometry().left(), 2 * kButton);
}

// A program hides a bar's control (a combo it does not need now) by hiding the widget; the bar
// must take that as the owner's choice and not show it again at its next layout, neither a
// control the layout has always shown nor one it hid for want of room and showed again.
TEST_F(View, AControlItsOwnerHidesStaysHiddenAtTheNextLayout)
{
    auto [control, widget] = MakeControlBar();
    ASSERT_FALSE(widget->isHidden());
    widget->hide();
    Layout();
    EXPECT_FALSE(Shown(control));
    EXPECT_TRUE(widget->isHidden());
    widget->show();
    Layout();
    EXPECT_TRUE(Shown(control));

    // Hidden behind the chevron and back: from then on it is the owner's again.
    items[0]->SetVisible(true);
    items[1]->SetVisible(true);
    Bar().SetChevronOffset(40);
    Layout();
    ASSERT_TRUE(widget->isHidden());
    Bar().SetChevronOffset(200);
    Layout();
    ASSERT_FALSE(widget->isHidden());
    widget->hide();
    Layout();
    EXPECT_FALSE(Shown(control));
    EXPECT_TRUE(widget->isHidden());
}

TEST_F(View, TallPopupsScrollBetweenArrowBands)
{
    std::vector<TBarItem*> lines;
    for (int i = 0; i < 10; ++i)
        lines.push_back(Button("L" + std::to_string(i)));
    Menu().SetMaxHeight(60);
    EXPECT_EQ(Layout().cy, 60);
    EXPECT_FALSE(Menu().ShowUpArrow());
    EXPECT_TRUE(Menu().ShowDownArrow());
    // Lines reaching into the lower band (below 60 - 19) are clipped.
    EXPECT_TRUE(Shown(lines[1]));
    EXPECT_FALSE(Shown(lines[2]));
    EXPECT_TRUE(Menu().FindViewer(lines[2])->Clipped);

    // One step down: the nearest clipped line ends where the band begins.
    Menu().ScrollStep(true);
    EXPECT_EQ(Menu().ScrollOffset(), 2 * kLine + kLine - (60 - 19));
    EXPECT_TRUE(Menu().ShowUpArrow());
    EXPECT_EQ(RectOf(lines[2]).Bottom, 60 - 19);
    EXPECT_TRUE(Shown(lines[2]));
    EXPECT_FALSE(Shown(lines[1]));

    // The selection brought into view scrolls at most to the end.
    Menu().SetSelected(Menu().FindViewer(lines[9]));
    Menu().ScrollSelectedIntoView();
    EXPECT_EQ(Menu().ScrollOffset(), 10 * kLine - 60);
    EXPECT_FALSE(Menu().ShowDownArrow());
    EXPECT_TRUE(Shown(lines[9]));
    EXPECT_EQ(RectOf(lines[9]).Bottom, 60);

    // And one step up: the nearest clipped line starts under the upper band.
    const int before = Menu().ScrollOffset();
    Menu().ScrollStep(false);
    EXPECT_LT(Menu().ScrollOffset(), before);
    bool startsAtBand = false;
    for (TBarItem* line : lines)
        startsAtBand = startsAtBand || (Shown(line) && RectOf(line).Top == 19);
    EXPECT_TRUE(startsAtBand);
}

TEST_F(View, MenuLinesStackAndStretchToTheWidest)
{
    TBarItem* narrow = Button("A");
    TBarItem* wide = Button("Abcdef");
    Menu();
    Layout();
    EXPECT_EQ(RectOf(narrow).Top, 0);
    EXPECT_EQ(RectOf(wide).Top, kLine);
    EXPECT_EQ(RectOf(narrow).Width(), RectOf(wide).Width());
}

TEST_F(View, InlineGroupsFollowTheirLinkedContainer)
{
    TBarItem* before = Button();
    TBarRootItem container;
    AddItem<TBarItem>(container, "C1");
    TBarItem* c2 = AddItem<TBarItem>(container, "C2");
    auto* group = new InlineItem(&root);
    group->SetLinkSubitems(&container);
    root.Add(group);
    TBarItem* after = Button();
    Menu();
    ASSERT_EQ(Menu().ViewerCount(), 5);
    EXPECT_EQ(Menu().Viewers(2)->GroupLevel(), 1);

    // Added to the container: a viewer after the group's last, one level down.
    TBarItem* c3 = AddItem<TBarItem>(container, "C3");
    ASSERT_EQ(Menu().ViewerCount(), 6);
    EXPECT_EQ(&Menu().Viewers(4)->Item(), c3);
    EXPECT_EQ(Menu().Viewers(4)->GroupLevel(), 1);
    EXPECT_EQ(&Menu().Viewers(5)->Item(), after);
    // Inserted in front: before the first member.
    auto* c0 = new TBarItem(&container);
    container.Insert(0, c0);
    EXPECT_EQ(&Menu().Viewers(2)->Item(), c0);

    // Deleted from the container: its viewer goes.
    container.Remove(c2);
    delete c2;
    EXPECT_EQ(Menu().FindViewer(c2), nullptr);
    EXPECT_EQ(Menu().ViewerCount(), 6);
    // The group's own item is only shown while customizing; its members are laid out in place.
    Layout();
    EXPECT_FALSE(Shown(group));
    EXPECT_EQ(RectOf(before).Top, 0);
    EXPECT_EQ(RectOf(c0).Top, kLine);
}

TEST_F(View, InlineGroupsStopAtLevelTen)
{
    TBarCustomItem* parent = &root;
    std::vector<InlineItem*> chain;
    for (int level = 0; level < 12; ++level) {
        auto* group = new InlineItem(parent);
        parent->Add(group);
        AddItem<TBarItem>(*group, "L" + std::to_string(level + 1));
        chain.push_back(group);
        parent = group;
    }
    Menu();
    int deepest = 0;
    for (int i = 0; i < Menu().ViewerCount(); ++i)
        deepest = std::max(deepest, Menu().Viewers(i)->GroupLevel());
    EXPECT_EQ(deepest, 10);
    // An insert below the cut shows nothing either.
    const int count = Menu().ViewerCount();
    AddItem<TBarItem>(*chain[11], "tief");
    EXPECT_EQ(Menu().ViewerCount(), count);
    AddItem<TBarItem>(*chain[9], "Ebene 10");
    EXPECT_EQ(Menu().ViewerCount(), count + 1);
}

TEST_F(View, InsertsInsideAnUpdateGiveOneLayout)
{
    Button();
    Bar();
    const int sizes = Bar().AutoSizes;
    root.NotifyChange(ickBeginUpdate, -1, nullptr);
    Button();
    Button();
    Button();
    EXPECT_EQ(Bar().AutoSizes, sizes);
    root.NotifyChange(ickEndUpdate, -1, nullptr);
    EXPECT_EQ(Bar().AutoSizes, sizes + 1);
    EXPECT_EQ(Bar().Size, (TSize{4 * kButton, kButtonHeight}));

    Bar().BeginUpdate();
    Button();
    Button();
    EXPECT_EQ(Bar().AutoSizes, sizes + 1);
    Bar().EndUpdate();
    EXPECT_EQ(Bar().AutoSizes, sizes + 2);
}

// A submenu showing the items of another container takes its pictures' size from its own item's
// SubMenuImages: when they change, the popup lays itself out again.
TEST_F(View, ALinkedSubmenuLaysOutAgainWhenItsItemsSubmenuImagesChange)
{
    TBarSubmenuItem submenu;
    TBarRootItem other;
    TBarItem* entry = AddItem<TBarItem>(other, "Zwei", 0);
    submenu.SetLinkSubitems(&other);
    ViewHost popupHost;
    TestView& view = popupHost.MakeView(submenu, false);
    ASSERT_EQ(view.RootItem(), &other);
    view.UpdatePositions();
    const int sizes = view.AutoSizes;
    const int height = view.FindViewer(entry)->BoundsRect.Height();
    ImageList large(32, 32);
    QImage picture(32, 32, QImage::Format_RGB32);
    picture.fill(Qt::red);
    large.Add(picture);
    submenu.SetSubMenuImages(&large);
    EXPECT_GT(view.AutoSizes, sizes);
    EXPECT_GT(view.FindViewer(entry)->BoundsRect.Height(), height);
    EXPECT_GE(view.FindViewer(entry)->BoundsRect.Height(), 32);
    submenu.SetSubMenuImages(nullptr);
}

TEST_F(View, LinkingTheParentItemSwitchesTheViewersAndDestroyingItEmptiesTheView)
{
    auto* submenu = new TBarSubmenuItem;
    AddItem<TBarItem>(*submenu, "Eins");
    TBarRootItem other;
    AddItem<TBarItem>(other, "Zwei");
    AddItem<TBarItem>(other, "Drei");
    {
        ViewHost popupHost;
        TestView& view = popupHost.MakeView(*submenu, false);
        EXPECT_EQ(view.ViewerCount(), 1);
        submenu->SetLinkSubitems(&other);
        EXPECT_EQ(view.ViewerCount(), 2);
        EXPECT_EQ(view.RootItem(), &other);
        delete submenu;
        EXPECT_EQ(view.ViewerCount(), 0);
        EXPECT_EQ(view.ParentItem(), nullptr);
    }
}

}  // namespace
}  // namespace velmoran
