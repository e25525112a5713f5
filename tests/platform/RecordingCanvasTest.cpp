// The canvas state and the geometry of its calls, seen through the recording canvas with the
// test font: text alignment and the current position, justification, colours and modes, pens and
// brushes, clipping with save and restore, mapping, and the system colours.
#include "platform/RecordingCanvas.h"
#include "platform/SystemColors.h"
#include "platform/TestFont.h"

#include <gtest/gtest.h>

#include <QImage>

using namespace velmoran;
using Lines = std::vector<std::string>;

namespace {

LogicalFont Font(int height, int weight = 400)
{
    LogicalFont f;
    f.Face = "Arial";
    f.Height = height;
    f.Weight = weight;
    return f;
}

}  // namespace

TEST(RecordingCanvas, TextRunsAtTheCurrentPositionOnTheBaseline)
{
    TestFontEngine fonts;
    RecordingCanvas c(fonts);
    c.SetFont(Font(-20));  // ascent 15, descent 5, 10 pixels a character
    c.SetBkMode(BkMode::Transparent);
    c.SetTextAlign(TA_BASELINE | TA_UPDATECP);
    c.MoveTo(10, 30);
    c.TextOut(0, 0, u"abc");
    EXPECT_EQ(c.GetCurrentPosition(), (TPoint{40, 30}));
    c.SetFont(Font(-20, 700));  // 11 pixels a character
    c.SetTextColor(SystemColor(COLOR_HIGHLIGHT));
    c.TextOut(0, 0, u"dé");
    EXPECT_EQ(c.GetCurrentPosition(), (TPoint{62, 30}));
    EXPECT_EQ(c.Lines(), (Lines{"Font Arial -20 400", "BkMode transparent", "TextAlign left baseline updatecp",
                                "TextOut 10,30 'abc'", "Font Arial -20 700", "TextColor #000080",
                                "TextOut 40,30 'dé'"}))
        << c.Text();

    // Right alignment moves the position back; centred output leaves it; without TA_UPDATECP the
    // given point counts and the position stays.
    c.SetTextAlign(TA_RIGHT | TA_BASELINE | TA_UPDATECP);
    c.TextOut(0, 0, u"xy");
    EXPECT_EQ(c.GetCurrentPosition(), (TPoint{40, 30}));
    c.SetTextAlign(TA_CENTER | TA_TOP | TA_UPDATECP);
    c.TextOut(0, 0, u"xy");
    EXPECT_EQ(c.GetCurrentPosition(), (TPoint{40, 30}));
    c.SetTextAlign(TA_LEFT | TA_BOTTOM);
    c.TextOut(5, 6, u"z");
    EXPECT_EQ(c.GetCurrentPosition(), (TPoint{40, 30}));
    EXPECT_EQ(c.Calls().back(), "TextOut 5,6 'z'");
}

TEST(RecordingCanvas, JustificationSpreadsOverSpacesAndMeasuresAlike)
{
    TestFontEngine fonts;
    RecordingCanvas c(fonts);
    c.SetFont(Font(-20));
    c.SetTextJustification(7, 3);  // 2 a space, the first one 3
    EXPECT_EQ(c.CharAdvances(u"a b c d"), (std::vector<int>{10, 13, 10, 12, 10, 12, 10}));
    EXPECT_EQ(c.TextExtent(u"a b c d").cx, 77);
    // Each output starts the remainder afresh, as the line's pieces each set it again.
    EXPECT_EQ(c.CharAdvances(u"x y"), (std::vector<int>{10, 13, 10}));
    c.SetTextCharacterExtra(1);
    EXPECT_EQ(c.CharAdvances(u"x y"), (std::vector<int>{11, 14, 11}));
    c.SetTextJustification(0, 0);
    c.SetTextCharacterExtra(0);
    EXPECT_EQ(c.TextExtent(u"a b c d").cx, 70);
    int extent = 0;
    c.SetTextJustification(-2, 2);  // negative extra narrows the spaces
    EXPECT_EQ(c.TextFitCount(u"a b c", 1000, &extent), 5);
    EXPECT_EQ(extent, 48);
    c.SetTextAlign(TA_UPDATECP);
    c.TextOut(0, 0, u"a b c");
    EXPECT_EQ(c.GetCurrentPosition().X, 48);
    EXPECT_EQ(c.Lines()[c.Lines().size() - 2], "Justify -2 2");
}

TEST(RecordingCanvas, OpaqueAndClippedText)
{
    TestFontEngine fonts;
    RecordingCanvas c(fonts);
    c.SetFont(Font(-16));
    c.SetBkColor(RGBRef(255, 255, 0));
    const TRect box{0, 0, 50, 20};
    c.ExtTextOut(2, 3, ETO_CLIPPED | ETO_OPAQUE, &box, u"Hallo");
    c.SetBkMode(BkMode::Transparent);
    c.ExtTextOut(2, 3, ETO_CLIPPED, &box, u"Welt");
    c.ExtTextOut(2, 3, ETO_CLIPPED, nullptr, u"ohne");  // options need a rectangle
    EXPECT_EQ(c.Lines(), (Lines{"Font Arial -16 400", "BkColor #FFFF00", "ExtTextOut 2,3 opaque clipped 0,0,50,20 'Hallo'",
                                "BkMode transparent", "ExtTextOut 2,3 clipped 0,0,50,20 'Welt'", "ExtTextOut 2,3 'ohne'"}))
        << c.Text();
}

TEST(RecordingCanvas, PensBrushesAndShapes)
{
    TestFontEngine fonts;
    RecordingCanvas c(fonts);
    c.FillRect({0, 0, 100, 20});  // the default white brush
    c.SelectBrush({BrushStyle::Solid, SystemColor(COLOR_BTNFACE)});
    c.FillRect({0, 0, 100, 20});
    c.FillRect({0, 0, 100, 20}, RGBRef(1, 2, 3) | kPaletteRelativeFlag);
    c.FillRect({0, 0, 100, 20}, kNoColor);  // nothing
    c.FillRect({5, 5, 5, 10});              // empty: nothing
    const Pen old = c.SelectPen({PenStyle::Dot, 1, RGBRef(255, 0, 0)});
    EXPECT_EQ(old, Pen{});
    c.MoveTo(0, 5);
    c.LineTo(10, 5);
    c.LineTo(10, 15);
    c.SelectBrush({BrushStyle::Null, 0});
    c.Rectangle(20, 20, 10, 10);  // normalised
    c.SelectPen({PenStyle::Dash, 3, 0, true, PenCap::Square, PenJoin::Miter});
    c.Polyline({{0, 0}, {5, 0}, {5, 5}});
    c.SelectPen({PenStyle::Null});
    c.SelectBrush({BrushStyle::Solid, RGBRef(0, 0, 255)});
    c.SetPolyFillMode(PolyFillMode::Winding);
    c.Polygon({{0, 0}, {4, 0}, {0, 4}});
    c.Ellipse({0, 0, 7, 7});
    c.Arc({0, 0, 10, 10}, {10, 5}, {5, 0});
    c.DrawFocusRect({1, 1, 9, 9});
    c.Polygon({{1, 1}});  // too few points: nothing
    EXPECT_EQ(c.Lines(), (Lines{"FillRect 0,0,100,20 #FFFFFF", "FillRect 0,0,100,20 #C0C0C0", "FillRect 0,0,100,20 #010203",
                                "Pen dot 1 #FF0000", "LineTo 10,5 from 0,5", "LineTo 10,15 from 10,5",
                                "Brush null", "Rectangle 10,10,20,20", "Pen dash 3 #000000 geometric square miter",
                                "Polyline 0,0 5,0 5,5", "Pen null", "Brush solid #0000FF", "PolyFill winding",
                                "Polygon 0,0 4,0 0,4", "Ellipse 0,0,7,7", "Arc 0,0,10,10 10,5 5,0", "FocusRect 1,1,9,9"}))
        << c.Text();
}

TEST(RecordingCanvas, ClipIntersectExcludeSaveAndRestore)
{
    TestFontEngine fonts;
    RecordingCanvas c(fonts, 200, 100);
    EXPECT_FALSE(c.HasClipRgn());
    EXPECT_EQ(c.GetClipBox(), (TRect{0, 0, 200, 100}));
    const int level = c.SaveDC();
    EXPECT_EQ(level, 1);
    c.IntersectClipRect({10, 10, 110, 60});
    c.IntersectClipRect({50, 0, 300, 300});
    EXPECT_EQ(c.GetClipBox(), (TRect{50, 10, 110, 60}));
    c.SaveDC();
    c.ExcludeClipRect({50, 10, 60, 60});
    c.SetTextColor(RGBRef(255, 0, 0));
    c.FillRect({0, 0, 200, 100});
    EXPECT_TRUE(c.RestoreDC(-1));
    c.FillRect({0, 0, 200, 100});
    EXPECT_TRUE(c.RestoreDC(level));
    EXPECT_FALSE(c.RestoreDC(-1));  // nothing left
    EXPECT_EQ(c.GetTextColor(), 0u);
    c.FillRect({0, 0, 200, 100});
    // A region selected in device units, and one that clips away everything.
    Region two(TRect{0, 0, 10, 10});
    two.Combine(Region(TRect{20, 0, 30, 10}), RegionOp::Or);
    c.SelectClipRgn(&two);
    Region back;
    EXPECT_TRUE(c.GetClipRgn(back));
    EXPECT_EQ(back, two);
    c.FillRect({0, 0, 200, 100});
    c.ExtSelectClipRgn(Region(TRect{100, 100, 120, 120}), RegionOp::And);
    EXPECT_EQ(c.GetClipBox(), (TRect{}));
    c.FillRect({0, 0, 200, 100});
    c.SelectClipRgn(nullptr);
    EXPECT_FALSE(c.GetClipRgn(back));
    EXPECT_EQ(c.Lines(), (Lines{"Clip 60,10,110,60", "FillRect 0,0,200,100 #FFFFFF", "Clip 50,10,110,60",
                                "FillRect 0,0,200,100 #FFFFFF", "Clip none", "FillRect 0,0,200,100 #FFFFFF",
                                "Clip 0,0,10,10 + 20,0,30,10", "FillRect 0,0,200,100 #FFFFFF", "Clip empty",
                                "FillRect 0,0,200,100 #FFFFFF"}))
        << c.Text();
}

TEST(RecordingCanvas, MappingForPrinting)
{
    TestFontEngine fonts;
    RecordingCanvas c(fonts, 4800, 6600);  // a 600 dpi page
    c.SetMapMode(MapMode::Anisotropic);
    EXPECT_FALSE(c.SetWindowExt(0, 96));
    c.SetWindowExt(96, 96);
    c.SetViewportExt(600, 600);
    EXPECT_EQ(c.LPtoDP(TPoint{96, 48}), (TPoint{600, 300}));
    EXPECT_EQ(c.DPtoLP(TPoint{600, 301}), (TPoint{96, 48}));
    EXPECT_EQ(c.GetClipBox(), (TRect{0, 0, 768, 1056}));
    // Clip rectangles are logical and kept in device units; the window origin shifts both.
    c.SetWindowOrg(0, -100);
    c.IntersectClipRect({0, 0, 96, 96});
    Region clip;
    ASSERT_TRUE(c.GetClipRgn(clip));
    EXPECT_EQ(clip.Box(), (TRect{0, 625, 600, 1225}));
    EXPECT_EQ(c.GetClipBox(), (TRect{0, 0, 96, 96}));
    c.FillRect({0, 0, 10, 10});
    EXPECT_EQ(c.Lines(), (Lines{"Mapping window 0,-100 96x96 viewport 0,0 600x600", "Clip 0,625,600,1225",
                                "FillRect 0,0,10,10 #FFFFFF"}));
    // Back to device pixels.
    c.SetMapMode(MapMode::Text);
    EXPECT_EQ(c.GetWindowExt(), (TSize{1, 1}));
    EXPECT_EQ(c.LPtoDP(TPoint{5, 5}), (TPoint{5, 105}));
}

TEST(RecordingCanvas, PicturesAndDeviceMeasures)
{
    TestFontEngine fonts;
    RecordingCanvas c(fonts, 300, 200);
    QImage image(10, 5, QImage::Format_RGB32);
    QImage alpha(10, 5, QImage::Format_ARGB32);
    QImage mask(10, 5, QImage::Format_Mono);
    c.StretchBlt({0, 0, 20, 10}, image);
    const TRect part{0, 2, 10, 5};
    c.SetStretchBltMode(StretchMode::Halftone);
    c.StretchBlt({0, 0, 20, 10}, alpha, &part);
    c.MaskedStretchBlt({5, 5, 15, 10}, image, mask);
    c.MaskedStretchBlt({5, 5, 15, 10}, image, QImage());
    c.StretchBlt({0, 0, 20, 10}, QImage());  // nothing
    EXPECT_EQ(c.Lines(), (Lines{"StretchBlt 0,0,20,10 from 0,0,10,5 of 10x5", "StretchMode halftone",
                                "StretchBlt 0,0,20,10 from 0,2,10,5 of 10x5 alpha",
                                "MaskedStretchBlt 5,5,15,10 from 0,0,10,5 of 10x5",
                                "StretchBlt 5,5,15,10 from 0,0,10,5 of 10x5"}))
        << c.Text();
    EXPECT_EQ(c.GetDeviceCaps(HORZRES), 300);
    EXPECT_EQ(c.GetDeviceCaps(LOGPIXELSY), 96);
    EXPECT_FALSE(c.IsMonochrome());
    c.SetDeviceCaps(BITSPIXEL, 1);
    EXPECT_TRUE(c.IsMonochrome());
}

TEST(SystemColors, ClassicTableAndColourReferences)
{
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGBRef(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGBRef(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), 0u);
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), 0x00800000u);  // navy: blue in the third byte
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHTTEXT), RGBRef(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), RGBRef(0x80, 0x80, 0x80));
    EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), RGBRef(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(GetSysColor(-1), 0u);
    EXPECT_EQ(GetSysColor(99), 0u);
    EXPECT_EQ(ColorToRGB(0x80000000u + COLOR_BTNFACE), 0x00C0C0C0u);
    EXPECT_EQ(ColorToRGB(0x02123456u), 0x00123456u);
    EXPECT_EQ(RecordingCanvas::Hex(RGBRef(0x12, 0x34, 0x56)), "#123456");
    EXPECT_EQ(RecordingCanvas::Hex(SystemColor(COLOR_INFOBK)), "#FFFFE1");
}

TEST(Region, RectanglesEllipsesPolygonsAndCombinations)
{
    Region r(TRect{0, 0, 10, 10});
    EXPECT_TRUE(r.Contains(9, 9));
    EXPECT_FALSE(r.Contains(10, 9));
    r.Combine(Region(TRect{5, 0, 20, 5}), RegionOp::Or);
    EXPECT_EQ(r.Box(), (TRect{0, 0, 20, 10}));
    EXPECT_FALSE(r.Contains(15, 7));
    Region cut = r - Region(TRect{0, 0, 20, 5});
    EXPECT_EQ(cut.Rects(), (std::vector<TRect>{{0, 5, 10, 10}}));
    EXPECT_TRUE((r ^ r).IsEmpty());
    EXPECT_TRUE(Region(TRect{5, 5, 5, 9}).IsEmpty());
    const Region circle = Region::Ellipse({5, 5, 16, 16});
    EXPECT_TRUE(circle.Contains(10, 10));
    EXPECT_FALSE(circle.Contains(5, 5));
    EXPECT_EQ(circle.Box(), (TRect{5, 5, 16, 16}));
    const Region triangle = Region::Polygon({{0, 0}, {10, 0}, {0, 10}}, PolyFillMode::Alternate);
    EXPECT_TRUE(triangle.Contains(1, 1));
    EXPECT_FALSE(triangle.Contains(8, 8));
    Region moved = triangle;
    moved.Offset(100, 0);
    EXPECT_TRUE(moved.Contains(101, 1));
    EXPECT_TRUE(moved.Intersects({100, 0, 102, 2}));
    EXPECT_FALSE(moved.Intersects({0, 0, 50, 50}));
}
