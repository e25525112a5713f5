// Item viewers: their sizes in toolbars and menus with the fixed-metric test font, the display
// modes, hints and roles, and what they paint on the recording canvas.
#include "ViewHost.h"

#include "platform/AppServices.h"
#include "platform/Edges.h"
#include "platform/ImageList.h"
#include "platform/SystemParams.h"
#include "platform/core/ScopeExit.h"
#include "toolbar/TBarItemViewer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>

namespace velmoran {
namespace {

using testing::AddItem;
using testing::AddSeparator;
using testing::ContainsRun;
using testing::kCharWidth;
using testing::kTextHeight;
using testing::PaintCalls;
using testing::ViewHost;

ImageList* MakeImages(int width, int height)
{
    auto* list = new ImageList(width, height);
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::black);
    list->Add(picture);
    return list;
}

struct Sized {
    int Width = 0;
    int Height = 0;
};

Sized SizeOf(TBarItemViewer& viewer)
{
    MeasuringCanvas canvas;
    canvas.SetFont(viewer.View().GetFont());
    Sized size;
    viewer.CalcSize(canvas, size.Width, size.Height);
    return size;
}

// One tree, one toolbar view and one menu view over it.
class ItemViewer : public ::testing::Test {
protected:
    TBarItem* Item(const std::string& caption, int image = -1) { return AddItem<TBarItem>(root, caption, image); }
    TBarItemViewer& InToolbar(TBarCustomItem* item) { return *Toolbar().FindViewer(item); }
    TBarItemViewer& InMenu(TBarCustomItem* item) { return *Menu().FindViewer(item); }
    testing::TestView& Toolbar()
    {
        if (!toolbar_)
            toolbar_ = std::make_unique<testing::TestView>(toolbarHost, root, true);
        return *toolbar_;
    }
    testing::TestView& Menu()
    {
        if (!menu_)
            menu_ = std::make_unique<testing::TestView>(menuHost, root, false);
        return *menu_;
    }

    ViewHost toolbarHost;
    ViewHost menuHost{SystemColor(COLOR_MENU)};
    TBarRootItem root;
    std::unique_ptr<ImageList> images{MakeImages(16, 16)};
    std::unique_ptr<testing::TestView> toolbar_;
    std::unique_ptr<testing::TestView> menu_;
};

// --- sizes ------------------------------------------------------------------------------------

TEST_F(ItemViewer, ToolbarSizes)
{
    const int neu = 3 * kCharWidth;
    TBarItem* text = Item("&Neu");
    TBarItem* image = Item("&Neu", 0);
    image->SetImages(images.get());
    TBarItem* both = Item("&Neu", 0);
    both->SetImages(images.get());
    both->SetDisplayMode(TBarItemDisplayMode::nbdmImageAndText);
    TBarItem* above = Item("", 0);
    above->SetImages(images.get());
    above->SetOptions(tboImageAboveCaption);
    auto* split = AddItem<TBarSubmenuItem>(root, "&Neu");
    split->SetDropdownCombo(true);
    auto* arrow = AddItem<TBarSubmenuItem>(root, "&Neu");
    arrow->SetOptions(tboDropdownArrow);

    EXPECT_EQ(SizeOf(InToolbar(text)).Width, 6 + neu + 6);
    EXPECT_EQ(SizeOf(InToolbar(text)).Height, 6 + kTextHeight);
    // An image alone: the caption is not shown on a toolbar.
    EXPECT_EQ(SizeOf(InToolbar(image)).Width, 6 + 16 + 1);
    EXPECT_EQ(SizeOf(InToolbar(image)).Height, 16 + 6);
    EXPECT_EQ(SizeOf(InToolbar(both)).Width, 6 + neu + 6 + 16 + 1);
    // Image above the caption keeps room for an empty caption.
    EXPECT_EQ(SizeOf(InToolbar(above)).Height, 6 + kTextHeight + 16);
    EXPECT_EQ(SizeOf(InToolbar(above)).Width, 16 + 7);
    EXPECT_EQ(SizeOf(InToolbar(split)).Width, 6 + neu + 6 + 11);
    EXPECT_EQ(SizeOf(InToolbar(arrow)).Width, 6 + neu + 6 + 8);

    // Rotated in a vertical bar: text height across, text width along, the arrow below.
    Toolbar().SetOrientation(TBarViewOrientation::voVertical);
    EXPECT_EQ(SizeOf(InToolbar(text)).Width, 6 + kTextHeight);
    EXPECT_EQ(SizeOf(InToolbar(text)).Height, 6 + neu + 6);
    EXPECT_EQ(SizeOf(InToolbar(arrow)).Height, 6 + neu + 6 + 8);
    text->SetOptions(tboNoRotation);
    EXPECT_FALSE(InToolbar(text).IsRotated());
}

TEST_F(ItemViewer, MenuSizes)
{
    TBarItem* plain = Item("&Neu");
    TBarItem* shortcut = Item("&Neu\tStrg+N");
    const int height = kTextHeight + 0 + 4;
    // Without an image list the image column is as wide as the line is high.
    EXPECT_EQ(SizeOf(InMenu(plain)).Height, height);
    EXPECT_EQ(SizeOf(InMenu(plain)).Width, height + 6 + 3 * kCharWidth + height);
    // The part after the tab is the shortcut text, measured apart.
    EXPECT_EQ(InMenu(shortcut).CaptionText(), "&Neu");
    EXPECT_EQ(shortcut->GetShortCutText(), "Strg+N");
    EXPECT_EQ(SizeOf(InMenu(shortcut)).Width,
              height + 6 + 3 * kCharWidth + (6 * kCharWidth + height - 6) + height);

    // With an image list: at least image height + 3, the column scaled by (iw + 3) / (ih + 3).
    plain->SetImages(images.get());
    EXPECT_EQ(SizeOf(InMenu(plain)).Height, 19);
    EXPECT_EQ(SizeOf(InMenu(plain)).Width, 19 + 6 + 15 + 19);
    std::unique_ptr<ImageList> wide(MakeImages(20, 10));
    plain->SetImages(wide.get());
    const int column = (20 + 3) * 14 / (10 + 3);
    EXPECT_EQ(column, 24);
    EXPECT_EQ(SizeOf(InMenu(plain)).Width, column + 6 + 15 + 14);
}

TEST_F(ItemViewer, DisplayModesDecideImageAndCaption)
{
    TBarItem* item = Item("&Öffnen", 0);
    item->SetImages(images.get());
    EXPECT_TRUE(InToolbar(item).IsImageShown());
    EXPECT_FALSE(InToolbar(item).IsCaptionShown());
    item->SetDisplayMode(TBarItemDisplayMode::nbdmTextOnly);
    EXPECT_FALSE(InToolbar(item).IsImageShown());
    EXPECT_FALSE(InMenu(item).IsImageShown());
    EXPECT_TRUE(InToolbar(item).IsCaptionShown());
    EXPECT_EQ(SizeOf(InToolbar(item)).Width, 6 + 6 * kCharWidth + 6);
    item->SetDisplayMode(TBarItemDisplayMode::nbdmTextOnlyInMenus);
    EXPECT_TRUE(InToolbar(item).IsImageShown());
    EXPECT_FALSE(InMenu(item).IsImageShown());
    item->SetDisplayMode(TBarItemDisplayMode::nbdmImageAndText);
    EXPECT_TRUE(InToolbar(item).IsCaptionShown());
    // A menu always shows its caption.
    item->SetDisplayMode(TBarItemDisplayMode::nbdmDefault);
    EXPECT_TRUE(InMenu(item).IsCaptionShown());
}

TEST_F(ItemViewer, ImageListComesFromTheItemOrTheSubmenuImagesUpTheChain)
{
    TBarItem* item = Item("&Neu", 0);
    EXPECT_EQ(InMenu(item).GetImageList(), nullptr);
    root.SetSubMenuImages(images.get());
    EXPECT_EQ(InMenu(item).GetImageList(), images.get());
    std::unique_ptr<ImageList> own(MakeImages(16, 16));
    item->SetImages(own.get());
    EXPECT_EQ(InMenu(item).GetImageList(), own.get());
}

// A submenu's items take their pictures from a menu further up when neither the submenu nor
// its own parent has any: a menu bar gives its images once, for every level of its menus. The
// lines of the nested menu are then as high as an image needs.
TEST_F(ItemViewer, ANestedSubmenuTakesTheImagesOfAMenuFurtherUp)
{
    auto* templates = AddItem<TBarSubmenuItem>(root, "&Vorlagen");
    TBarItem* screen = AddItem<TBarItem>(*templates, "&Bildschirm", 0);
    root.SetSubMenuImages(images.get());
    ViewHost submenuHost{SystemColor(COLOR_MENU)};
    testing::TestView submenu(submenuHost, *templates, false, &Menu());
    TBarItemViewer& line = *submenu.FindViewer(screen);
    EXPECT_EQ(line.GetImageList(), images.get());
    EXPECT_TRUE(line.IsImageShown());
    EXPECT_EQ(SizeOf(line).Height, 16 + 3);

    // The submenu's own images come first.
    std::unique_ptr<ImageList> own(MakeImages(20, 20));
    templates->SetSubMenuImages(own.get());
    EXPECT_EQ(line.GetImageList(), own.get());
    templates->SetSubMenuImages(nullptr);
}

TEST_F(ItemViewer, Hints)
{
    TBarItem* open = Item("Ö&ffnen...");
    EXPECT_EQ(InToolbar(open).GetHintText(), "Öffnen");
    open->SetHint("Datei öffnen|Öffnet eine Berechnung");
    EXPECT_EQ(InToolbar(open).GetHintText(), "Datei öffnen");
    open->SetHint("");
    open->SetOptions(tboNoAutoHint);
    EXPECT_EQ(InToolbar(open).GetHintText(), "");

    // A submenu shows its lines: its caption makes no hint, unless it is a split button.
    auto* submenu = AddItem<TBarSubmenuItem>(root, "&Vorlage:");
    EXPECT_EQ(InMenu(submenu).GetHintText(), "");
    submenu->SetDropdownCombo(true);
    EXPECT_EQ(InMenu(submenu).GetHintText(), "Vorlage");

    TBarItem* save = Item("&Speichern");
    save->SetShortCut(scCtrl | 'S');
    AppServices::Instance().HintShortCuts = true;
    EXPECT_EQ(InToolbar(save).GetHintText(), "Speichern (Strg+S)");
    AppServices::Instance().HintShortCuts = false;
    EXPECT_EQ(InToolbar(save).GetHintText(), "Speichern");
}

TEST_F(ItemViewer, RolesAndButtonParts)
{
    TBarItem* button = Item("&Neu");
    auto* submenu = AddItem<TBarSubmenuItem>(root, "&Vorlage");
    TBarSeparatorItem* separator = AddSeparator(root);
    auto* control = new TBarControlItem(&root);
    root.Add(control);
    EXPECT_EQ(InToolbar(button).GetAccRole(), ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(InToolbar(submenu).GetAccRole(), ROLE_SYSTEM_BUTTONMENU);
    EXPECT_EQ(InMenu(button).GetAccRole(), ROLE_SYSTEM_MENUITEM);
    EXPECT_EQ(InMenu(separator).GetAccRole(), ROLE_SYSTEM_SEPARATOR);
    EXPECT_EQ(InToolbar(control).GetAccRole(), ROLE_SYSTEM_CLIENT);
    Toolbar().SetMenuBar(true);
    EXPECT_EQ(InToolbar(submenu).GetAccRole(), ROLE_SYSTEM_MENUITEM);

    EXPECT_TRUE(InToolbar(button).IsPtInButtonPart(100, 0));
    EXPECT_FALSE(InToolbar(submenu).IsPtInButtonPart(0, 0));
    submenu->SetDropdownCombo(true);
    Toolbar().UpdatePositions();
    TBarItemViewer& split = InToolbar(submenu);
    const int width = split.BoundsRect.Width();
    EXPECT_TRUE(split.IsPtInButtonPart(width - 12, 0));
    EXPECT_FALSE(split.IsPtInButtonPart(width - 11, 0));
    Menu().UpdatePositions();
    TBarItemViewer& line = InMenu(submenu);
    EXPECT_FALSE(line.IsPtInButtonPart(line.BoundsRect.Width() - kMenuCheckWidth, 0));
}

TEST_F(ItemViewer, SelectionTellsTheItem)
{
    TBarItem* item = Item("&Neu");
    std::vector<bool> told;
    item->OnSelect = [&](TBarCustomItem&, TBarItemViewer* viewer, bool selecting) {
        EXPECT_EQ(viewer, &InMenu(item));
        told.push_back(selecting);
    };
    Menu().SetSelected(&InMenu(item));
    Menu().SetSelected(nullptr);
    EXPECT_EQ(told, (std::vector<bool>{true, false}));
}

TEST_F(ItemViewer, ExecuteRecordsTheClickInTheRootView)
{
    TBarItem* item = Item("&Neu");
    EXPECT_TRUE(InMenu(item).Execute());
    EXPECT_EQ(Menu().DoneAction().DoneAction, TBarDoneActionData::tbdaClickItem);
    EXPECT_EQ(Menu().DoneAction().ClickItem, item);
}

// --- paint ------------------------------------------------------------------------------------

std::vector<std::string> EdgeCalls(TRect rect, unsigned edge, unsigned flags)
{
    static TestFontEngine fonts;
    RecordingCanvas canvas(fonts);
    DrawEdge(canvas, rect, edge, flags);
    return canvas.Calls();
}

std::vector<std::string> Matching(const std::vector<std::string>& lines, const std::string& start)
{
    std::vector<std::string> found;
    for (const std::string& line : lines)
        if (line.rfind(start, 0) == 0)
            found.push_back(line);
    return found;
}

TEST_F(ItemViewer, DisabledToolbarButtonDrawsItsTextEmbossed)
{
    TBarItem* item = Item("Ab");
    item->SetEnabled(false);
    Toolbar().UpdatePositions();
    std::string text;
    const std::vector<std::string> lines = [&] {
        TestFontEngine fonts;
        RecordingCanvas canvas(fonts);
        Toolbar().DrawItem(canvas, InToolbar(item));
        text = canvas.Text();
        return canvas.Lines();
    }();
    const std::vector<std::string> outs = Matching(lines, "TextOut");
    ASSERT_EQ(outs.size(), 2u) << text;
    // Highlight one pixel right and down first, then the shadow in place.
    const auto highlight = std::find(lines.begin(), lines.end(), "TextColor #FFFFFF");
    const auto shadow = std::find(lines.begin(), lines.end(), "TextColor #808080");
    ASSERT_NE(highlight, lines.end());
    ASSERT_NE(shadow, lines.end());
    EXPECT_LT(highlight, std::find(lines.begin(), lines.end(), outs[0]));
    EXPECT_LT(std::find(lines.begin(), lines.end(), outs[0]), shadow);
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    ASSERT_EQ(std::sscanf(outs[0].c_str(), "TextOut %d,%d", &x0, &y0), 2);
    ASSERT_EQ(std::sscanf(outs[1].c_str(), "TextOut %d,%d", &x1, &y1), 2);
    EXPECT_EQ(x0, x1 + 1);
    EXPECT_EQ(y0, y1 + 1);
}

TEST_F(ItemViewer, DisabledMenuLineIsEmbossedOnlyOnButtonFace)
{
    TBarItem* item = Item("Ab");
    item->SetEnabled(false);
    Menu().UpdatePositions();
    EXPECT_EQ(Matching(PaintCalls(Menu(), InMenu(item)), "TextOut").size(), 2u);
    // On a white menu the gray text stands alone, and so it does on the highlight.
    ViewHost white(SystemColor(COLOR_WINDOW));
    testing::TestView& view = white.MakeView(root, false);
    view.UpdatePositions();
    EXPECT_EQ(Matching(PaintCalls(view, *view.FindViewer(item)), "TextOut").size(), 1u);
    Menu().SetSelected(&InMenu(item));
    EXPECT_EQ(Matching(PaintCalls(Menu(), InMenu(item)), "TextOut").size(), 1u);
}

TEST_F(ItemViewer, TickAndRadioGlyphsStandAtTheirPoints)
{
    TBarItem* tick = Item("Ab");
    tick->SetChecked(true);
    TBarItem* radio = Item("Cd");
    radio->SetRadioItem(true);
    radio->SetChecked(true);
    Menu().UpdatePositions();
    // Lines of 14 pixels: the column is 14 wide, its centre (7, 7) in the line.
    const TRect tickRect = InMenu(tick).BoundsRect;
    ASSERT_EQ(tickRect.Height(), 14);
    // The checked column moves one pixel right and down.
    const int cx = tickRect.Left + 1 + 7, cy = tickRect.Top + 1 + 7;
    const int x = cx - 2, y = cy + 1;
    const auto point = [](int px, int py) { return std::to_string(px) + "," + std::to_string(py); };
    const std::string dark = "Polyline " + point(x - 2, y - 2) + " " + point(x, y) + " " + point(x + 4, y - 4) + " " +
                             point(x + 4, y - 3) + " " + point(x, y + 1) + " " + point(x - 2, y - 1) + " " +
                             point(x - 2, y - 2);
    const std::string light = "Polyline " + point(x - 3, y - 2) + " " + point(x - 3, y - 1) + " " + point(x, y + 2) +
                              " " + point(x + 5, y - 3) + " " + point(x + 5, y - 5);
    const std::vector<std::string> tickCalls = PaintCalls(Menu(), InMenu(tick));
    EXPECT_EQ(Matching(tickCalls, "Polyline"), (std::vector<std::string>{dark, light}));

    std::string text;
    const std::vector<std::string> radioCalls = PaintCalls(Menu(), InMenu(radio), &text);
    const TRect radioRect = InMenu(radio).BoundsRect;
    const int rx = radioRect.Left + 1 + 7, ry = radioRect.Top + 1 + 7;
    EXPECT_EQ(Matching(radioCalls, "Ellipse"),
              (std::vector<std::string>{"Ellipse " + point(rx - 4, ry - 4) + "," + point(rx + 3, ry + 3)}))
        << text;
    const std::vector<std::string> dot = Matching(radioCalls, "Polygon");
    ASSERT_EQ(dot.size(), 1u);
    // The dot spans centre - 3 to centre + 2, its corners cut.
    EXPECT_NE(dot[0].find(point(rx - 2, ry - 3)), std::string::npos) << dot[0];
    EXPECT_NE(dot[0].find(point(rx - 3, ry - 2)), std::string::npos) << dot[0];
    EXPECT_NE(dot[0].find(point(rx + 1, ry - 2)), std::string::npos) << dot[0];
}

TEST_F(ItemViewer, SplitButtonEdgesAndTheDropDownArrow)
{
    auto* split = AddItem<TBarSubmenuItem>(root, "Ab");
    split->SetDropdownCombo(true);
    auto* arrow = AddItem<TBarSubmenuItem>(root, "Cd");
    arrow->SetOptions(tboDropdownArrow);
    Toolbar().UpdatePositions();

    // Hot split button: the button part and the 9-pixel arrow part, two pixels off the right edge.
    TBarItemViewer& splitViewer = InToolbar(split);
    const TRect r = splitViewer.BoundsRect;
    Toolbar().SetSelected(&splitViewer);
    const TRect arrowPart{r.Right - 11, r.Top, r.Right - 2, r.Bottom};
    const TRect buttonPart{r.Left, r.Top, r.Right - 11, r.Bottom};
    std::vector<std::string> calls = PaintCalls(Toolbar(), splitViewer);
    EXPECT_TRUE(ContainsRun(calls, EdgeCalls(buttonPart, BDR_RAISEDINNER, BF_RECT)));
    EXPECT_TRUE(ContainsRun(calls, EdgeCalls(arrowPart, BDR_RAISEDINNER, BF_RECT)));
    // Pushed in the button part (captured): the button sinks, the arrow stays raised.
    Toolbar().SetCaptured(true);
    Toolbar().SetMouseOverSelected(true);
    calls = PaintCalls(Toolbar(), splitViewer);
    EXPECT_TRUE(ContainsRun(calls, EdgeCalls(buttonPart, BDR_SUNKENOUTER, BF_RECT)));
    EXPECT_TRUE(ContainsRun(calls, EdgeCalls(arrowPart, BDR_RAISEDINNER, BF_RECT)));

    // The drop-down arrow: a band 8 wide ending 3 before the right edge, a triangle at its centre.
    Toolbar().SetSelected(nullptr);
    TBarItemViewer& arrowViewer = InToolbar(arrow);
    const TRect a = arrowViewer.BoundsRect;
    const int cx = a.Right - 3 - 8 + 4;
    const int cy = a.Top + a.Height() / 2;
    const auto point = [](int px, int py) { return std::to_string(px) + "," + std::to_string(py); };
    EXPECT_EQ(Matching(PaintCalls(Toolbar(), arrowViewer), "Polygon"),
              (std::vector<std::string>{"Polygon " + point(cx - 2, cy - 1) + " " + point(cx + 2, cy - 1) + " " +
                                        point(cx, cy + 1)}));
}

// Upright, both kinds of arrow point left, toward where their menu opens beside the bar: the
// split button's in its 9-pixel part at the right, the drop-down button's in its band at the
// bottom. The split button's pointed down there, at a menu that never opens below it.
TEST_F(ItemViewer, InAnUprightBarSplitAndDropDownArrowsPointLeft)
{
    auto* split = AddItem<TBarSubmenuItem>(root, "Ab");
    split->SetDropdownCombo(true);
    auto* arrow = AddItem<TBarSubmenuItem>(root, "Cd");
    arrow->SetOptions(tboDropdownArrow);
    Toolbar().SetOrientation(TBarViewOrientation::voVertical);
    Toolbar().UpdatePositions();
    const auto point = [](int px, int py) { return std::to_string(px) + "," + std::to_string(py); };
    const auto left = [&](int cx, int cy) {
        return std::vector<std::string>{"Polygon " + point(cx - 1, cy + 2) + " " + point(cx - 1, cy - 2) + " " +
                                        point(cx - 3, cy)};
    };
    const TRect s = InToolbar(split).BoundsRect;
    EXPECT_EQ(Matching(PaintCalls(Toolbar(), InToolbar(split)), "Polygon"),
              left(s.Right - 11 + 9 / 2, s.Top + s.Height() / 2));
    const TRect a = InToolbar(arrow).BoundsRect;
    EXPECT_EQ(Matching(PaintCalls(Toolbar(), InToolbar(arrow)), "Polygon"),
              left(a.Left + a.Width() / 2, a.Bottom - 3 - 8 + 4));
}

TEST_F(ItemViewer, CheckedButtonIsDitheredFromTheRectanglesParity)
{
    Item("A");
    TBarItem* checked = Item("Cd");
    checked->SetChecked(true);
    Toolbar().UpdatePositions();
    TBarItemViewer& viewer = InToolbar(checked);
    const TRect r = viewer.BoundsRect;
    ASSERT_EQ(r.Left % 2, 1) << "the second button should start at an odd x";
    std::string text;
    const std::vector<std::string> calls = [&] {
        TestFontEngine fonts;
        RecordingCanvas canvas(fonts);
        Toolbar().DrawItem(canvas, viewer);
        text = canvas.Text();
        return canvas.Lines();
    }();
    EXPECT_TRUE(ContainsRun(calls, {"Brush pattern 55AA55AA55AA55AA #C0C0C0 #FFFFFF origin 1," +
                                        std::to_string(r.Top & 1)}))
        << text;
    const std::string fill = "FillRect " + std::to_string(r.Left + 1) + "," + std::to_string(r.Top + 1) + "," +
                             std::to_string(r.Right - 1) + "," + std::to_string(r.Bottom - 1) + " brush";
    EXPECT_NE(std::find(calls.begin(), calls.end(), fill), calls.end()) << text;
    EXPECT_TRUE(ContainsRun(calls, EdgeCalls(r, BDR_SUNKENOUTER, BF_RECT)));
}

TEST_F(ItemViewer, SeparatorLines)
{
    Item("Ab");
    TBarSeparatorItem* separator = AddSeparator(root);
    Item("Cd");
    Menu().UpdatePositions();
    // In a menu: 10 high, a horizontal etched line inset by 12 on both sides.
    const TRect m = InMenu(separator).BoundsRect;
    EXPECT_EQ(m.Height(), 10);
    EXPECT_EQ(PaintCalls(Menu(), InMenu(separator)),
              EdgeCalls(TRect{m.Left + 12, m.Top + 10 / 2 - 1, m.Right - 12, m.Bottom}, EDGE_ETCHED, BF_TOP));

    // In a horizontal toolbar: a vertical line in the middle of its 6 pixels.
    Toolbar().UpdatePositions();
    const TRect t = InToolbar(separator).BoundsRect;
    EXPECT_EQ(t.Width(), 6);
    EXPECT_EQ(PaintCalls(Toolbar(), InToolbar(separator)),
              EdgeCalls(TRect{t.Left + 6 / 2 - 1, t.Top, t.Right, t.Bottom}, EDGE_ETCHED, BF_LEFT));

    // At a row break of a wrapped toolbar: horizontal, inset by 4; by 1 when floating.
    Toolbar().SetWrapOffset(12);
    Toolbar().UpdatePositions();
    TBarItemViewer& gap = InToolbar(separator);
    ASSERT_TRUE(gap.LineSeparator);
    const TRect g = gap.BoundsRect;
    EXPECT_EQ(PaintCalls(Toolbar(), gap),
              EdgeCalls(TRect{g.Left + 4, g.Top + 6 / 2 - 1, g.Right - 4, g.Bottom}, EDGE_ETCHED, BF_TOP));
    Toolbar().SetOrientation(TBarViewOrientation::voFloating);
    Toolbar().UpdatePositions();
    const TRect f = gap.BoundsRect;
    ASSERT_TRUE(gap.LineSeparator);
    EXPECT_EQ(PaintCalls(Toolbar(), gap),
              EdgeCalls(TRect{f.Left + 1, f.Top + 6 / 2 - 1, f.Right - 1, f.Bottom}, EDGE_ETCHED, BF_TOP));

    // A blank separator takes its room and draws nothing.
    separator->SetBlank(true);
    EXPECT_TRUE(PaintCalls(Toolbar(), gap).empty());
}

TEST_F(ItemViewer, DeferredActionsRunLaterAndNotForAFreedViewer)
{
    TBarItem* item = Item("Ab");
    std::vector<int> codes;
    // The handler the first toolbar installed (the accessibility's) comes back for later tests.
    const ScopedValue handler(TBarItemViewer::DeferredActionHandler(),
                              std::function<void(TBarItemViewer&, int)>(
                                  [&](TBarItemViewer&, int code) { codes.push_back(code); }));
    InMenu(item).PostDeferredAction(5);
    InToolbar(item).PostDeferredAction(6);
    EXPECT_TRUE(codes.empty());
    toolbar_.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(codes, std::vector<int>{5});
}

}  // namespace
}  // namespace velmoran
