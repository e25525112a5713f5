// Tests of the lists the viewers keep: the visited list both viewers share (names in any case
// move to the front, the cap, a list that keeps nothing) and the page history's entries when a
// page is left (the entries ahead go, the place and form data of the page left are kept).
#include "html/viewer/ViewerHistory.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace velmoran {
namespace {

TEST(VisitedList, NamesMoveToTheFrontWithoutRegardToCase)
{
    TVisitedList visited;
    visited.SetMaxCount(3);
    EXPECT_TRUE(visited.Add("/a.htm"));
    EXPECT_TRUE(visited.Add("/b.htm"));
    EXPECT_FALSE(visited.Add("/A.HTM"));  // held already: moved, not added
    EXPECT_EQ(visited.Names(), (std::vector<std::string>{"/a.htm", "/b.htm"}));
    EXPECT_TRUE(visited.Contains("/B.htm"));
    visited.Add("/c.htm");
    visited.Add("/d.htm");  // the oldest goes
    EXPECT_EQ(visited.Names(), (std::vector<std::string>{"/d.htm", "/c.htm", "/a.htm"}));
    visited.SetMaxCount(2);
    EXPECT_EQ(visited.Names(), (std::vector<std::string>{"/d.htm", "/c.htm"}));
    visited.SetMaxCount(-1);
    EXPECT_EQ(visited.MaxCount(), 0);
    EXPECT_TRUE(visited.Names().empty());
    EXPECT_FALSE(visited.Add("/e.htm"));
    EXPECT_TRUE(visited.Names().empty());
}

THistoryPage Page(const std::string& file, int pos = 0)
{
    return THistoryPage{file, std::u16string(file.begin(), file.end()), pos, 0};
}

TEST(PageHistory, LeavingAPageKeepsItsPlaceAndDropsTheEntriesAhead)
{
    TPageHistory history;
    history.SetMaxCount(3);
    history.Push(Page(""), Page("a"), true, nullptr);  // the first page: nothing was left
    history.Push(Page("a", 40), Page("b"), true, std::make_unique<TFormSnapshot>(TFormSnapshot{{{"x"}}}));
    history.Push(Page("b", 70), Page("c"), true, nullptr);
    EXPECT_EQ(history.Files(), (std::vector<std::string>{"c", "b", "a"}));
    EXPECT_EQ(history.Place(1).Pos, 70);
    EXPECT_EQ(history.Place(2).Pos, 40);
    ASSERT_NE(history.Place(2).FormData, nullptr);
    EXPECT_EQ(history.Place(2).FormData->Forms, std::vector<std::vector<std::string>>{{"x"}});

    // Back at "a", another page: "b" and "c" ahead of it go.
    history.SetIndex(2);
    history.Push(Page("a", 5), Page("d"), false, nullptr);
    EXPECT_EQ(history.Files(), (std::vector<std::string>{"d", "a"}));
    EXPECT_EQ(history.Titles()[1], u"a");
    EXPECT_EQ(history.Index(), 0);
    EXPECT_EQ(history.Place(1).Pos, 5);
    EXPECT_NE(history.Place(1).FormData, nullptr);  // an anchor jump keeps the form data

    // At most MaxCount entries: the oldest goes.
    history.Push(Page("d"), Page("e"), true, nullptr);
    history.Push(Page("e"), Page("f"), true, nullptr);
    EXPECT_EQ(history.Files(), (std::vector<std::string>{"f", "e", "d"}));
    history.Clear();
    EXPECT_TRUE(history.Empty());
    EXPECT_EQ(history.Index(), 0);
}

}  // namespace
}  // namespace velmoran
