// The golden layouts: every page of tests/data/html/layout is laid out at the widths its header
// comment names, and its layout record (htmldump --layout: every box, column, row, cell and line
// with its place, the paint calls, the print pages) is compared with the record kept beside it.
// The header also states facts worked out by hand from the layout rules the page is about
// ("expect WIDTH: text that the record holds", "A then B" for an order), so a record cannot
// quietly keep a wrong answer.
// VELMORAN_GOLDEN_UPDATE=1 writes the records anew; a record changes only in a commit saying why.
#include "tools/htmldump/LayoutRecord.h"

#include "tests/html/layout/ParserTestSupport.h"

#include "platform/RecordingCanvas.h"
#include "platform/core/Stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace velmoran::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kPages = fs::path(VELMORAN_TEST_DATA) / "html" / "layout";

struct Expectation {
    int Width;
    std::string Text;
};

// What the header comment of a page asks for.
struct PageSpec {
    std::vector<int> Widths;
    int PageHeight = 0;
    std::vector<Expectation> Expected;
};

std::string ReadText(const fs::path& file)
{
    const auto bytes = ReadFileBytes(file.string());
    return std::string(bytes.begin(), bytes.end());
}

std::string Trimmed(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t\r");
    const auto last = s.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string() : s.substr(first, last - first + 1);
}

PageSpec ReadSpec(const std::string& html)
{
    PageSpec spec;
    const auto open = html.find("<!--");
    const auto close = html.find("-->", open);
    if (open == std::string::npos || close == std::string::npos)
        return spec;
    std::istringstream lines(html.substr(open + 4, close - open - 4));
    for (std::string line; std::getline(lines, line);) {
        line = Trimmed(line);
        std::istringstream words(line);
        std::string key;
        words >> key;
        if (key == "widths:") {
            for (int w; words >> w;)
                spec.Widths.push_back(w);
        } else if (key == "pages:") {
            words >> spec.PageHeight;
        } else if (key == "expect") {
            Expectation e{};
            char colon = 0;
            words >> e.Width >> colon;
            std::getline(words, e.Text);
            e.Text = Trimmed(e.Text);
            spec.Expected.push_back(e);
        }
    }
    return spec;
}

// The record of a page: one section per width, the print pages with the first width.
std::string Record(const std::string& html, const PageSpec& spec)
{
    std::string out;
    for (std::size_t i = 0; i < spec.Widths.size(); ++i) {
        LayoutRecordOptions o;
        o.Width = spec.Widths[i];
        o.PageHeight = i == 0 ? spec.PageHeight : 0;
        out += LayoutRecord(html, o);
    }
    return out;
}

std::vector<std::string> Split(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The first line where two records part, with the width section it lies in.
std::string FirstDifference(const std::string& expected, const std::string& actual)
{
    const auto e = Split(expected);
    const auto a = Split(actual);
    std::string section;
    for (std::size_t i = 0; i < std::max(e.size(), a.size()); ++i) {
        const std::string& line = i < a.size() ? a[i] : e[i];
        if (line.rfind("layout width", 0) == 0)
            section = line;
        if (i >= e.size() || i >= a.size() || e[i] != a[i])
            return section + "\n  line " + std::to_string(i + 1) + "\n  recorded: " + (i < e.size() ? e[i] : "(end)") +
                   "\n  now:      " + (i < a.size() ? a[i] : "(end)");
    }
    return {};
}

// The record of one width (its "layout width" line up to the next one).
std::string WidthSection(const std::string& record, int width)
{
    const std::string head = "layout width " + std::to_string(width) + ":";
    const auto from = record.find(head);
    if (from == std::string::npos)
        return {};
    const auto to = record.find("\nlayout width ", from);
    return record.substr(from, to == std::string::npos ? std::string::npos : to - from);
}

// Whether a record holds the text of an expectation; "A then B" asks for A and later B.
bool HoldsInOrder(const std::string& record, const std::string& expected)
{
    const std::string separator = " then ";
    std::size_t at = 0;
    std::size_t from = 0;
    while (true) {
        const std::size_t end = expected.find(separator, from);
        const std::string piece = expected.substr(from, end == std::string::npos ? std::string::npos : end - from);
        at = record.find(piece, at);
        if (at == std::string::npos)
            return false;
        at += piece.size();
        if (end == std::string::npos)
            return true;
        from = end + separator.size();
    }
}

std::vector<std::string> PageNames()
{
    std::vector<std::string> names;
    if (fs::is_directory(kPages))
        for (const auto& entry : fs::directory_iterator(kPages))
            if (entry.path().extension() == ".html")
                names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class GoldenPage : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenPage, LaysOutAsRecorded)
{
    const fs::path page = kPages / (GetParam() + ".html");
    const fs::path kept = kPages / (GetParam() + ".txt");
    const std::string html = ReadText(page);
    const PageSpec spec = ReadSpec(html);
    ASSERT_FALSE(spec.Widths.empty()) << page << " names no widths";
    const std::string now = Record(html, spec);

    for (const Expectation& e : spec.Expected)
        EXPECT_TRUE(HoldsInOrder(WidthSection(now, e.Width), e.Text))
            << "at width " << e.Width << " the record lacks: " << e.Text;

    const char* update = std::getenv("VELMORAN_GOLDEN_UPDATE");
    if (update && std::string(update) == "1") {
        std::ofstream(kept, std::ios::binary) << now;
        return;
    }
    ASSERT_TRUE(fs::exists(kept)) << kept << " is missing; VELMORAN_GOLDEN_UPDATE=1 writes it";
    const std::string recorded = ReadText(kept);
    if (recorded != now) {
        const fs::path artifacts = fs::path(VELMORAN_ARTIFACTS) / "golden";
        fs::create_directories(artifacts);
        std::ofstream(artifacts / (GetParam() + ".txt"), std::ios::binary) << now;
        ADD_FAILURE() << GetParam() << " is laid out differently from its record:\n"
                      << FirstDifference(recorded, now) << "\n(the whole record now: "
                      << (artifacts / (GetParam() + ".txt")).string() << ")";
    }
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenPage, ::testing::ValuesIn(PageNames()), [](const auto& info) {
    std::string name = info.param;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
});

TEST(GoldenCorpus, HoldsAPageForEveryRuleItCovers)
{
    EXPECT_GE(PageNames().size(), 40u);
}

// A second computation of the column widths of two golden pages over many widths, written from
// the rules rather than from the layout code: the widths the records hold are checked by hand at
// one width, these at every width of a range.

// Integer a x b / c rounded half away from zero, as the rules' MulDiv.
int Scaled(int a, int b, int c)
{
    const long long n = static_cast<long long>(a) * b;
    return static_cast<int>((2 * n + c) / (2 * c));
}

std::vector<int> LaidOutColumns(const std::string& html, int width)
{
    ParsedPage page;
    page.Parse(html);
    RecordingCanvas canvas(page.Fonts, 1000, 600);
    int widest = 0;
    page.Doc.LayoutDocument(canvas, width, widest);
    return page.All<ThtmlTable>().at(0)->Widths;
}

// The page table-spare-room-mixed with WIDTH w: 20% "aa", 100 pixels "bbb", automatic "cc dddd"
// (32 to 64) and "e" (8 to 16). The percentage column gets w x 20%; the pixel column counts as
// its share of w, at least its 100; the automatic columns take the rest beyond their minimums,
// by their slack (32 : 8) when the slack is at least a quarter of it, else half each, the last
// of them keeping what is left.
std::vector<int> SpareRoomColumns(int w)
{
    const int percent = Scaled(w, 200, 1000);
    const int pixel = std::max(100, Scaled(w, Scaled(100, 1000, w), 1000));
    const int room = w - percent - pixel - 32 - 8;
    int wide = 32, narrow = 8;
    if (40 * 4 >= room) {
        wide += Scaled(room, 32, 40);
        narrow += Scaled(room, 8, 40);
    } else {
        wide += room / 2;
        narrow += room / 2;
    }
    narrow += w - (percent + pixel + wide + narrow);
    return {percent, pixel, wide, narrow};
}

TEST(GoldenWidths, SpareRoomOfASpecifiedWidthAtEveryWidth)
{
    for (int w = 260; w <= 800; w += 7) {
        const std::string html = "<table width=" + std::to_string(w) +
                                 " cellspacing=0 cellpadding=0><tr><td width=\"20%\">aa</td><td width=100>bbb</td>"
                                 "<td>cc dddd</td><td>e</td></tr></table>";
        EXPECT_EQ(LaidOutColumns(html, 1000), SpareRoomColumns(w)) << "WIDTH " << w;
    }
}

// The page table-min-to-max-leftover in a room r between its minimum (3 x 32) and maximum
// (3 x 80): each column gets 32 + 48 x (r - 96) / 144, the first also what rounding leaves.
TEST(GoldenWidths, MinimumToMaximumAtEveryRoom)
{
    const std::string html = "<table cellspacing=0 cellpadding=0><tr><td>aaaa aaaa</td><td>bbbb bbbb</td>"
                             "<td>cccc cccc</td></tr></table>";
    for (int room = 97; room < 240; room += 5) {
        const int each = 32 + Scaled(48, room - 96, 144);
        const std::vector<int> expected{each + room - 3 * each, each, each};
        EXPECT_EQ(LaidOutColumns(html, room + 20), expected) << "room " << room;
    }
}

}  // namespace
}  // namespace velmoran::testing
