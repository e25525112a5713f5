// Shared HTML types: image-map areas, float indents, the selection collectors, name lists,
// attribute lists and the parser's text buffers.
#include "html/base/Attributes.h"
#include "html/base/IDObjects.h"
#include "html/base/IndentManager.h"
#include "html/base/MapItem.h"
#include "html/base/SelText.h"
#include "html/base/TextBuffers.h"

#include "platform/core/CodePage.h"

#include <QPolygon>
#include <QRegion>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace velmoran;

namespace {

TAttributeList Attrs(std::initializer_list<std::pair<const char*, const char*>> list)
{
    TAttributeList attrs;
    for (const auto& [name, value] : list) {
        auto a = std::make_unique<TAttribute>();
        a->WhichName = name;
        a->Name = value;
        attrs.Add(std::move(a));
    }
    return attrs;
}

}  // namespace

TEST(MapItem, ShapesAndHitTests)
{
    TMapItem map;
    map.AddArea(Attrs({{"shape", "CIRCLE"}, {"coords", "10, 10, 5"}, {"href", "c.htm"}, {"title", "Kreis"}}));
    map.AddArea(Attrs({{"shape", "poly"}, {"coords", "1,2,3,4,5"}, {"href", "never"}}));
    map.AddArea(Attrs({{"coords", "0 0,,30  30"}, {"href", "r.htm"}, {"target", "Main"}}));
    map.AddArea(Attrs({{"shape", "rect"}, {"coords", "40,0,50,10"}, {"href", "x"}, {"nohref", ""}}));
    ASSERT_EQ(map.AreaCount(), 3);
    EXPECT_EQ(map.Areas[0].Shape.Bounds(), (TRect{5, 5, 16, 16}));

    std::string title;
    std::unique_ptr<TUrlTarget> link;
    ASSERT_TRUE(map.FindArea(10, 10, title, link));
    EXPECT_EQ(link->URL, "c.htm");
    EXPECT_EQ(title, "Kreis");
    ASSERT_TRUE(map.FindArea(30, 30, title, link));  // right and bottom are inclusive
    EXPECT_EQ(link->URL, "r.htm");
    EXPECT_EQ(link->Target, "Main");
    EXPECT_FALSE(map.FindArea(31, 30, title, link));
    EXPECT_FALSE(map.FindArea(45, 5, title, link));  // an area without HREF
}

TEST(MapItem, AreasPastTheThousandthAreIgnored)
{
    TMapItem map;
    const auto area = Attrs({{"coords", "0,0,1,1"}, {"href", "a"}});
    for (int i = 0; i < 1001; ++i)
        map.AddArea(area);
    EXPECT_EQ(map.AreaCount(), 1000);
}

// Coordinates as written by hand: a number past the largest length is that length (the rectangle
// reaches x = 1000000, inclusive), a circle without its radius is no area, and a polygon with an
// odd count of numbers drops the last one (a triangle, not a quadrilateral reaching to x = 50).
TEST(MapItem, OversizedMissingAndOddCoordinates)
{
    std::string title;
    std::unique_ptr<TUrlTarget> link;

    TMapItem wide;
    wide.AddArea(Attrs({{"shape", "rect"}, {"coords", "0,0,2000000,10"}, {"href", "w"}}));
    ASSERT_EQ(wide.AreaCount(), 1);
    EXPECT_TRUE(wide.FindArea(1000000, 5, title, link));
    EXPECT_FALSE(wide.FindArea(1000001, 5, title, link));

    TMapItem circle;
    circle.AddArea(Attrs({{"shape", "circle"}, {"coords", "10,10"}, {"href", "c"}}));
    EXPECT_EQ(circle.AreaCount(), 0);

    TMapItem odd;
    odd.AddArea(Attrs({{"shape", "poly"}, {"coords", "0,0,10,0,10,10,50"}, {"href", "p"}}));
    ASSERT_EQ(odd.AreaCount(), 1);
    EXPECT_TRUE(odd.FindArea(9, 2, title, link));
    EXPECT_FALSE(odd.FindArea(20, 1, title, link));
    EXPECT_EQ(odd.Areas[0].Shape.Bounds(), (TRect{0, 0, 11, 11}));
}

// The areas once were Qt regions made when the map was read; the shapes answer for themselves now,
// and a polygon must hit exactly where its region did: the winding rule (the middle of a
// pentagram is inside), a pixel taken as its top-left corner, an edge's left column and top row
// inside, its right column and bottom row outside. Random polygons, crossing themselves too,
// against the region Qt makes of them, over every pixel around them.
TEST(MapItem, PolygonsHitExactlyWhereTheirRegionsDid)
{
    std::mt19937 random(56);
    std::vector<std::vector<QPoint>> polygons = {
        {{30, 0}, {48, 57}, {0, 21}, {60, 21}, {12, 57}},    // pentagram
        {{0, 0}, {50, 40}, {50, 0}, {0, 40}},                // bow-tie
        {{10, 10}, {40, 10}, {40, 40}, {10, 40}, {10, 10}},  // a square closed twice
        {{5, 5}, {5, 5}, {5, 5}},                            // one point
    };
    for (int i = 0; i < 300; ++i) {
        std::vector<QPoint> polygon(3 + random() % 10);
        for (QPoint& p : polygon)
            p = QPoint(static_cast<int>(random() % 61) - 10, static_cast<int>(random() % 61) - 10);
        polygons.push_back(polygon);
    }
    std::string title;
    std::unique_ptr<TUrlTarget> link;
    for (const auto& polygon : polygons) {
        std::string coords;
        for (const QPoint& p : polygon)
            coords += std::to_string(p.x()) + "," + std::to_string(p.y()) + ",";
        TMapItem map;
        map.AddArea(Attrs({{"shape", "poly"}, {"coords", coords.c_str()}, {"href", "p"}}));
        const QRegion region(QPolygon(QList<QPoint>(polygon.begin(), polygon.end())), Qt::WindingFill);
        for (int y = -12; y < 55; ++y)
            for (int x = -12; x < 55; ++x)
                ASSERT_EQ(map.FindArea(x, y, title, link), region.contains(QPoint(x, y)))
                    << coords << " at " << x << "," << y;
    }
}

// A circle holds the pixels whose centres lie within r + 1/2 of its centre's: symmetric about the
// centre, reaching r pixels each way. The regions it replaces were polygons flattened from the
// curve, one pixel off here and there on the rim: away from the rim both agree.
TEST(MapItem, CirclesHitByDistanceFromTheirCentre)
{
    std::string title;
    std::unique_ptr<TUrlTarget> link;
    TMapItem map;
    map.AddArea(Attrs({{"shape", "circle"}, {"coords", "100,50,30"}, {"href", "k"}}));
    // In: the ends of the axes, and pixels a little farther than r whose centres lie within r + 1/2.
    for (const auto& [x, y] : {std::pair{130, 50}, std::pair{70, 50}, std::pair{100, 20}, std::pair{100, 80},
                               std::pair{121, 71}, std::pair{130, 55}, std::pair{129, 58}, std::pair{105, 80}})
        EXPECT_TRUE(map.FindArea(x, y, title, link)) << x << "," << y;
    for (const auto& [x, y] : {std::pair{131, 50}, std::pair{69, 50}, std::pair{100, 19}, std::pair{100, 81}, std::pair{122, 72}})
        EXPECT_FALSE(map.FindArea(x, y, title, link)) << x << "," << y;
    for (int dy = -32; dy <= 32; ++dy)
        for (int dx = -32; dx <= 32; ++dx)
            ASSERT_EQ(map.FindArea(100 + dx, 50 + dy, title, link), map.FindArea(100 - dx, 50 + dy, title, link));

    for (int r : {0, 1, 2, 3, 7, 30, 31, 300}) {
        TMapItem circle;
        circle.AddArea(Attrs({{"shape", "circ"}, {"coords", ("0 0 " + std::to_string(r)).c_str()}, {"href", "c"}}));
        const QRegion region(-r, -r, 2 * r + 1, 2 * r + 1, QRegion::Ellipse);
        for (int y = -r - 3; y <= r + 3; ++y)
            for (int x = -r - 3; x <= r + 3; ++x) {
                const double fromRim = std::abs(std::hypot(x - 0.5, y - 0.5) - (r + 0.5));
                if (fromRim > 1.5) {
                    ASSERT_EQ(circle.FindArea(x, y, title, link), region.contains(QPoint(x, y))) << r << ": " << x << "," << y;
                }
            }
    }
    TMapItem none;
    none.AddArea(Attrs({{"shape", "circle"}, {"coords", "10,10,-1"}, {"href", "n"}}));
    EXPECT_FALSE(none.FindArea(10, 10, title, link));
}

TEST(IndentManager, FloatsNarrowTheLinesTheyCover)
{
    IndentManagerBasic im;
    im.Reset(10, 500);
    EXPECT_EQ(im.LeftIndent(0), 10);
    EXPECT_EQ(im.RightSide(0), 500);
    const int l1 = im.AddLeft(100, 0);
    im.L[l1]->YB = 50;
    const int l2 = im.AddLeft(60, 20);
    im.L[l2]->YB = 80;
    const int r1 = im.AddRight(400, 10);
    im.R[r1]->YB = 40;
    EXPECT_EQ(im.LeftIndent(25), 110);
    EXPECT_EQ(im.LeftIndent(60), 70);
    EXPECT_EQ(im.LeftIndent(80), 10);
    EXPECT_EQ(im.RightSide(15), 410);
    EXPECT_EQ(im.RightSide(40), 500);
    EXPECT_EQ(im.ImageBottom(), 80);
    int cl = 0, cr = 0;
    im.GetClearY(cl, cr);
    EXPECT_EQ(cl, 81);
    EXPECT_EQ(cr, 41);
    EXPECT_EQ(im.GetNextWiderY(30), 40);
    EXPECT_EQ(im.GetNextWiderY(80), 80);

    im.CurrentID = 7;  // floats of another owner apply only while it is current
    const int own = im.AddLeft(300, 0);
    im.L[own]->YB = 10;
    EXPECT_EQ(im.LeftIndent(5), 310);
    im.CurrentID = 0;
    EXPECT_EQ(im.LeftIndent(5), 110);
    im.RemoveLeft(own);
    im.Clear();
    EXPECT_EQ(im.ImageBottom(), 0);
}

TEST(SelText, CountIncludesTheLineBreakMarkTheBufferLeavesItOut)
{
    const std::u16string run = u"a\u0002b\u0004c\u0008d";
    SelTextCount count;
    count.AddText(run);
    EXPECT_EQ(count.Terminate(), 5);

    char16_t buffer[16];
    SelTextBuf buf(buffer, 16);
    buf.AddText(run);
    EXPECT_EQ(buf.Terminate(), 5);
    EXPECT_EQ(std::u16string(buffer), u"abcd");

    SelTextCount lines;
    lines.AddTextLine(u"ab", 2);
    EXPECT_EQ(lines.Terminate(), 4);
}

TEST(SelText, FullBufferDropsTheRestAndNoRoomWritesNothing)
{
    char16_t buffer[10];
    SelTextBuf buf(buffer, 10);
    buf.AddText(u"abcdefghijklmnopqrst");
    EXPECT_EQ(buf.Terminate(), 10);
    EXPECT_EQ(std::u16string(buffer), u"abcdefghi");

    char16_t guard[2] = {u'x', u'y'};
    SelTextBuf none(guard + 1, 0);
    none.AddText(u"abc");
    EXPECT_EQ(none.Terminate(), 1);
    EXPECT_EQ(guard[0], u'x');
    EXPECT_EQ(guard[1], u'y');
    SelTextBuf negative(guard + 1, -3);
    negative.AddText(u"abc");
    EXPECT_EQ(negative.Terminate(), 1);
    EXPECT_EQ(guard[1], u'y');
}

TEST(SelText, ClipBufferHandsTheTextToTheClipboard)
{
    std::u16string got;
    ClipBuffer::SetClipboardSink([&](const std::u16string& t) { got = t; });
    {
        ClipBuffer clip(8);
        clip.AddTextLine(u"Zeile", 5);
        EXPECT_EQ(clip.Terminate(), 8);
    }
    EXPECT_EQ(got, u"Zeile\r\n");
    ClipBuffer::SetClipboardSink(nullptr);
}

namespace {
struct FakeDocument : TChPosDocument {
    int YPositionOfChar(int chPos) override { return chPos * 2; }
};
struct Block : TIDObject {
    int GetYPosition() override { return 77; }
};
}  // namespace

TEST(IDNameList, NamesReplaceEarlierEntriesAndAnchorsAskTheDocument)
{
    FakeDocument doc;
    TIDNameList names(&doc);
    names.AddChPosObject("Top", 5);
    ASSERT_NE(names.Find("top"), nullptr);
    EXPECT_EQ(names.Find("TOP")->GetYPosition(), 10);
    Block block;
    names.AddObject("top", &block);  // the anchor object is freed, the block is not owned
    EXPECT_EQ(names.Count(), 1);
    EXPECT_EQ(names.Find("Top")->GetYPosition(), 77);
    EXPECT_EQ(names.Find("missing"), nullptr);
}

TEST(Attributes, IdClassAndLinkRecords)
{
    TAttributeList attrs = Attrs({{"HREF", "x.htm"}, {"Class", "  Warn  Big "}, {"ID", "Main"}});
    EXPECT_EQ(attrs.GetID(), "main");
    EXPECT_EQ(attrs.GetClass(), "big.warn");
    EXPECT_EQ(Attrs({{"class", "Solo"}}).GetClass(), "solo");
    EXPECT_EQ(Attrs({}).GetClass(), "");
    EXPECT_EQ(attrs.FindName("href")->Name, "x.htm");
    EXPECT_EQ(TAttributeList().Find(3), nullptr);

    TUrlTarget a, b;
    a.Assign("x.htm", "Main", &attrs, 12);
    b.Assign("y.htm", "", nullptr, 20);
    EXPECT_EQ(b.ID, a.ID + 1);
    EXPECT_EQ(a.GetStart(), 12);
    EXPECT_EQ(a.GetLast(), -1);
    EXPECT_EQ(a.Attr, "HREF=x.htm\r\nClass=  Warn  Big \r\nID=Main\r\n");
    a.SetLast(30);
    TUrlTarget c;
    c.Copy(a);
    EXPECT_EQ(c.ID, a.ID);
    EXPECT_EQ(c.GetLast(), 30);
    c.Clear();
    EXPECT_EQ(c.GetStart(), -1);
    EXPECT_EQ(c.ID, 0);
}

TEST(TextBuffers, TokenKeepsTheSourceIndexOfEachCharactersFirstByte)
{
    TCharCollection raw;
    const std::string text = "a\xC3\xA4\xE2\x82\xAC" "b";  // a, ä, €, b in UTF-8
    for (std::size_t i = 0; i < text.size(); ++i)
        raw.Add(text[i], static_cast<int>(i) + 100);
    TokenObj token;
    token.AddString(raw, 65001);
    EXPECT_EQ(token.GetString(), u"a\u00E4\u20ACb");
    EXPECT_EQ(token.Indexes(), (std::vector<int>{100, 101, 103, 106}));

    TokenObj ansi;
    TCharCollection raw2;
    raw2.Add('\x80', 7);
    raw2.Add('\xE4', 8);
    ansi.AddString(raw2, 1252);
    ansi.Concat(token);
    EXPECT_EQ(ansi.GetString(), u"\u20AC\u00E4a\u00E4\u20ACb");
    EXPECT_EQ(ansi.Leng(), 6);
    EXPECT_EQ(ansi.Indexes()[2], 100);
}

// Windows-1252 (and the default page 0) takes every byte as one character, the undefined ones
// included, each as the page's conversion gives it alone.
TEST(TextBuffers, EveryByteOfTheDefaultPageIsOneCharacter)
{
    TCharCollection raw;
    for (int b = 0; b < 256; ++b)
        raw.Add(static_cast<char>(b), 1000 + b);
    for (int page : {0, 1252}) {
        TokenObj token;
        token.AddString(raw, page);
        ASSERT_EQ(token.Leng(), 256) << page;
        for (int b = 0; b < 256; ++b) {
            const std::u16string alone = MultibyteToWide(1252, std::string(1, static_cast<char>(b)));
            ASSERT_EQ(alone.size(), 1u) << b;
            EXPECT_EQ(token.GetString()[static_cast<std::size_t>(b)], alone[0]) << "byte " << b << ", page " << page;
            EXPECT_EQ(token.Indexes()[static_cast<std::size_t>(b)], 1000 + b);
        }
    }
}

TEST(TextBuffers, DoubleByteCodePageKeepsPairsTogether)
{
    TCharCollection raw;
    const std::string sjis = "x\x82\xA0y";  // x, HIRAGANA A, y in Shift-JIS
    for (std::size_t i = 0; i < sjis.size(); ++i)
        raw.Add(sjis[i], static_cast<int>(i));
    TokenObj token;
    token.AddString(raw, 932);
    EXPECT_EQ(token.GetString(), u"x\u3042y");
    EXPECT_EQ(token.Indexes(), (std::vector<int>{0, 1, 3}));
}
