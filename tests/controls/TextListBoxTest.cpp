// The text list box: the horizontal extent follows the widest line through additions,
// insertions, deletions, resets, font and tab width changes; the scroll range is what the
// viewport cannot show; Items, ItemIndex, ItemHeight and the click.
#include "controls/TextListBox.h"
#include "tests/controls/ControlsTestSupport.h"

#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>

using namespace velmoran;
using velmoran::testing::ScopedTestFonts;

namespace {

// Characters of the 8-point test font are 5 wide; a line counts one "x" more.
int Width(const std::string& line)
{
    return static_cast<int>(line.size() + 1) * 5;
}

struct ListWindow {
    ListWindow()
    {
        box = new TTextListBox(&window);
        box->SetBorderStyle(TBorderStyle::bsNone);
        box->setGeometry(0, 0, 40, 100);
        window.resize(60, 120);
        window.show();
    }
    int Range() const { return box->horizontalScrollBar()->maximum(); }
    int Viewport() const { return box->viewport()->width(); }

    ScopedTestFonts fonts;
    QWidget window;
    TTextListBox* box;
};

}  // namespace

TEST(TextListBox, ExtentFollowsTheWidestLine)
{
    ListWindow w;
    TTextListBox& box = *w.box;
    EXPECT_EQ(box.HorizontalExtent(), 0);
    EXPECT_EQ(w.Range(), 0);

    box.Items().Add("abc");
    EXPECT_EQ(box.HorizontalExtent(), Width("abc"));
    box.Items().Add("Belebungsbecken");
    EXPECT_EQ(box.HorizontalExtent(), Width("Belebungsbecken"));
    const std::string longest = "/home/ingenieur/Berechnungen/Kläranlage.vda";
    box.Items().Insert(0, longest);
    const int longestWidth = static_cast<int>(std::u16string(u"/home/ingenieur/Berechnungen/Kläranlage.vda").size() + 1) * 5;
    EXPECT_EQ(box.HorizontalExtent(), longestWidth);
    EXPECT_EQ(w.Range(), longestWidth - w.Viewport());

    // A narrower line going changes nothing; the widest going shrinks to the next and scrolls left.
    box.Items().Delete(1);
    EXPECT_EQ(box.HorizontalExtent(), longestWidth);
    box.horizontalScrollBar()->setValue(w.Range());
    ASSERT_GT(box.horizontalScrollBar()->value(), 0);
    // So does the next narrower line going: the view stays where it was scrolled.
    box.Items().Add("x");
    box.Items().Delete(2);
    EXPECT_EQ(box.horizontalScrollBar()->value(), w.Range());
    box.Items().Delete(0);
    EXPECT_EQ(box.HorizontalExtent(), Width("Belebungsbecken"));
    EXPECT_EQ(box.horizontalScrollBar()->value(), 0);
    EXPECT_EQ(w.Range(), Width("Belebungsbecken") - w.Viewport());

    // A bigger font measures every line again.
    TFont large;
    large.Size = 16;  // 21 pixels: characters 10 wide
    box.SetFont(large);
    EXPECT_EQ(box.HorizontalExtent(), 16 * 10);

    // Reset: nothing left to scroll.
    box.horizontalScrollBar()->setValue(w.Range());
    box.Items().Clear();
    EXPECT_EQ(box.HorizontalExtent(), 0);
    EXPECT_EQ(w.Range(), 0);
    EXPECT_EQ(box.horizontalScrollBar()->value(), 0);
}

TEST(TextListBox, TabsExpandToTheTabWidth)
{
    ListWindow w;
    TTextListBox& box = *w.box;
    box.Items().Add("ab\tc");
    EXPECT_EQ(box.HorizontalExtent(), 25);  // the tab counts as a character
    box.SetTabWidth(8);                     // stops every 5 * 8 / 4 = 10 pixels
    EXPECT_EQ(box.HorizontalExtent(), 30);
    box.SetTabWidth(4);  // every 5 pixels
    EXPECT_EQ(box.HorizontalExtent(), 25);
}

TEST(TextListBox, ItemsIndexHeightAndClick)
{
    ListWindow w;
    TTextListBox& box = *w.box;
    int clicks = 0;
    int chosen = -1;
    box.OnClick = [&](QWidget* sender) {
        EXPECT_EQ(sender, &box);
        chosen = box.ItemIndex();  // the handler reads the line just clicked
        ++clicks;
    };
    box.Items() = std::vector<std::string>{"eins", "zwei"};
    box.Items() = std::vector<std::string>{"a.vda", "b.vda", "c.vda"};  // replaces the lines
    EXPECT_EQ(box.Items().Lines(), (std::vector<std::string>{"a.vda", "b.vda", "c.vda"}));
    EXPECT_EQ(box.ItemIndex(), -1);
    box.SetItemIndex(1);
    EXPECT_EQ(box.ItemIndex(), 1);
    EXPECT_EQ(box.Items()[box.ItemIndex()], "b.vda");
    EXPECT_EQ(clicks, 0);  // set by the program: no click
    box.SetItemIndex(-1);
    EXPECT_EQ(box.ItemIndex(), -1);
    // A line past the last selects none either.
    box.SetItemIndex(2);
    box.SetItemIndex(3);
    EXPECT_EQ(box.ItemIndex(), -1);

    EXPECT_EQ(box.ItemHeight(), 13);
    EXPECT_EQ(box.visualItemRect(box.item(2)).top(), 26);
    box.SetItemHeight(20);
    EXPECT_EQ(box.visualItemRect(box.item(2)).top(), 40);

    QTest::mouseClick(box.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 45));
    EXPECT_EQ(box.ItemIndex(), 2);
    EXPECT_EQ(chosen, 2);
    EXPECT_EQ(clicks, 1);
}
