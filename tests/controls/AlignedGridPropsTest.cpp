// The aligned grid's cell properties: the order of the look-up (cell over column over row over
// grid, the fixed records and colour for fixed cells), editability from a record, the selected
// colours, the brush handed out by BrushCell and its repaint, the "set" flags, and the owning
// lists that grow on demand and keep records when entries move.
#include "tests/controls/AlignedGridSupport.h"

#include <gtest/gtest.h>

#include <QPaintEvent>

using namespace velmoran;
using namespace velmoran::aligned;
using velmoran::testing::TestAlignedGrid;

TEST(AlignedGridLookup, CellOverColumnOverRowOverGrid)
{
    TestAlignedGrid grid;
    EXPECT_EQ(grid.EffectiveAlign(2, 2), agLeft);
    grid.SetAlignment(agDefault);
    EXPECT_EQ(grid.EffectiveAlign(2, 2), agLeft);  // agDefault on the grid means left
    grid.SetAlignRow(2, agCenter);
    EXPECT_EQ(grid.EffectiveAlign(2, 2), agCenter);
    grid.SetAlignCol(2, agRight);
    EXPECT_EQ(grid.EffectiveAlign(2, 2), agRight);
    grid.SetAlignCell(2, 2, agCenter);
    EXPECT_EQ(grid.EffectiveAlign(2, 2), agCenter);
    EXPECT_EQ(grid.EffectiveAlign(2, 3), agRight);

    EXPECT_EQ(grid.EffectiveWordwrap(2, 2), ww_none);
    grid.SetWordwrap(ww_ellipsis);
    EXPECT_EQ(grid.EffectiveWordwrap(2, 2), ww_ellipsis);
    grid.SetWordwrapAt(TAlignedGrid::RowPlace(2), ww_wordwrap);
    EXPECT_EQ(grid.EffectiveWordwrap(2, 2), ww_wordwrap);

    EXPECT_EQ(grid.EffectiveBrush(3, 1).Color(), 0xFFFFFFu);
    grid.SetColorRow(1, 0x00FF00);
    grid.SetColorCol(3, 0x0000FF);
    EXPECT_EQ(grid.EffectiveBrush(3, 1).Color(), 0x0000FFu);
    EXPECT_EQ(grid.EffectiveBrush(2, 1).Color(), 0x00FF00u);

    TMyFont bold;
    bold.SetName("Courier New");
    bold.SetStyle(fsBold);
    grid.SetFontAt(TAlignedGrid::ColPlace(4), &bold);
    EXPECT_EQ(grid.EffectiveFont(4, 2).Name(), "Courier New");
    EXPECT_EQ(grid.EffectiveFont(4, 2).ToLogicalFont().Weight, 700);
    EXPECT_EQ(grid.EffectiveFont(3, 2).Name(), "Arial");
}

TEST(AlignedGridLookup, FixedCellsTakeTheFixedRecordsAndTheFixedColour)
{
    TestAlignedGrid grid;
    grid.SetColorCol(2, 0x0000FF);
    grid.SetAlignCol(2, agRight);
    // The header cell of column 2 is fixed: the column's record does not count there.
    EXPECT_EQ(grid.EffectiveBrush(2, 0).Color(), grid.FixedColor());
    EXPECT_EQ(grid.EffectiveAlign(2, 0), agLeft);
    grid.SetFixedAlignCol(2, agCenter);
    grid.SetColorFixedRow(0, 0x808080);
    EXPECT_EQ(grid.EffectiveAlign(2, 0), agCenter);
    EXPECT_EQ(grid.EffectiveBrush(2, 0).Color(), 0x808080u);
    EXPECT_EQ(grid.EffectiveBrush(0, 2).Color(), grid.FixedColor());
    grid.SetFixedColor(0x123456);
    EXPECT_EQ(grid.EffectiveBrush(0, 2).Color(), 0x123456u);
    EXPECT_EQ(grid.BrushCell(0, 2, false)->Color(), 0x123456u);
}

TEST(AlignedGridLookup, EditabilityFromTheFirstRecordThatSetsIt)
{
    TestAlignedGrid grid;
    EXPECT_TRUE(grid.IsCellEditable(2, 2));
    // Tag 3 with the value 1 makes the cell read-only under an editable grid.
    grid.Properties().Obtain(TAlignedGrid::CellPlace(2, 2))->Editable = 1;
    EXPECT_FALSE(grid.IsCellEditable(2, 2));
    grid.SetEditable(false);
    grid.SetEditCol(3, true);
    EXPECT_TRUE(grid.IsCellEditable(3, 1));
    grid.SetEditCell(3, 2, false);
    EXPECT_FALSE(grid.IsCellEditable(3, 2));
    grid.SetEditRow(1, true);
    EXPECT_TRUE(grid.IsCellEditable(1, 1));
    EXPECT_FALSE(grid.IsCellEditable(1, 2));
}

TEST(AlignedGridLookup, SelectedColoursFromTheSelectedBrushesAndFonts)
{
    TestAlignedGrid grid;
    EXPECT_EQ(grid.EffectiveSelectedColor(1, 1), SystemColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(grid.EffectiveSelectedFontColor(1, 1), 0xFFFFFFu);
    grid.SetSelectedColorRow(1, 0x00AA00);
    grid.SetSelectedColorCell(2, 1, 0xAA0000);
    EXPECT_EQ(grid.EffectiveSelectedColor(1, 1), 0x00AA00u);
    EXPECT_EQ(grid.EffectiveSelectedColor(2, 1), 0xAA0000u);
    EXPECT_EQ(grid.SelectedColorCell(3, 3), SystemColor(COLOR_ACTIVECAPTION));
    TMyFont selected;
    selected.SetColor(0x0000AA);
    grid.Properties().Obtain(TAlignedGrid::ColPlace(1))->SetSelectedFont(&selected);
    EXPECT_EQ(grid.EffectiveSelectedFontColor(1, 3), 0x0000AAu);
}

namespace {

// Counts the paints of its viewport.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

}  // namespace

TEST(AlignedGridBrushCell, IsACopyOfTheGridBrushUntilChangedAndRepaints)
{
    TestAlignedGrid grid;
    grid.SetColor(0xE0E0E0);
    EXPECT_EQ(grid.Color(), 0xE0E0E0u);
    TMyBrush* brush = grid.BrushCell(1, 2);
    ASSERT_NE(brush, nullptr);
    EXPECT_EQ(brush->Color(), 0xE0E0E0u);
    EXPECT_EQ(brush->IsSet(), 0);
    EXPECT_EQ(grid.BrushCell(1, 2), brush);

    grid.show();
    PaintCounter counter;
    grid.viewport()->installEventFilter(&counter);
    QCoreApplication::processEvents();
    const int before = counter.paints;
    brush->SetColor(0x00FFFF);
    EXPECT_EQ(brush->IsSet(), 1);
    QCoreApplication::processEvents();
    EXPECT_GT(counter.paints, before);
    EXPECT_EQ(grid.EffectiveBrush(1, 2).Color(), 0x00FFFFu);
    EXPECT_EQ(grid.ColorCell(1, 2), 0x00FFFFu);
    EXPECT_EQ(grid.EffectiveBrush(1, 3).Color(), 0xE0E0E0u);

    // Without the request nothing is created: the grid's own brush comes back.
    EXPECT_EQ(grid.BrushCell(3, 3, false)->Color(), 0xE0E0E0u);
    EXPECT_EQ(grid.Properties().Find(TAlignedGrid::CellPlace(3, 3)), nullptr);
    // A font on request is a copy of the grid font.
    TMyFont* font = grid.FontCell(2, 2);
    EXPECT_EQ(font->Name(), "Arial");
    EXPECT_EQ(font->Height(), -16);
    EXPECT_EQ(font->IsSet(), 0);
}

TEST(AlignedGridRecords, EmptyCloneAndAssign)
{
    TCellPropertyStore store(nullptr);
    TCellProperties record(&store);
    EXPECT_TRUE(record.IsEmpty());
    record.Align = agRight;
    TMyBrush brush;
    brush.SetColor(0x00FFFF);
    record.SetBrush(&brush);
    EXPECT_EQ(record.Brush()->IsSet(), 1);  // copied from the source
    const std::unique_ptr<TCellProperties> copy = record.Clone();
    EXPECT_EQ(copy->Align, agRight);
    ASSERT_NE(copy->Brush(), nullptr);
    EXPECT_NE(copy->Brush(), record.Brush());
    EXPECT_EQ(copy->Brush()->Color(), 0x00FFFFu);
    copy->Assign(nullptr);
    EXPECT_TRUE(copy->IsEmpty());
    record.SetBrush(nullptr);
    record.Align = agDefault;
    EXPECT_TRUE(record.IsEmpty());
}

TEST(AlignedGridRecords, ListsGrowOnDemandAndStayWithinTheIndexRange)
{
    int changes = 0;
    TCellPropertyStore store([&] { ++changes; });
    EXPECT_EQ(store.Find(TAlignedGrid::CellPlace(7, 9)), nullptr);
    TCellProperties* record = store.Obtain(TAlignedGrid::CellPlace(7, 9));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(store.Obtain(TAlignedGrid::CellPlace(7, 9)), record);
    EXPECT_EQ(store.Obtain(TAlignedGrid::CellPlace(-1, 0)), nullptr);
    EXPECT_EQ(store.Obtain(TAlignedGrid::RowPlace(kMaxPropIndex + 1)), nullptr);
    // Storing replaces and hands back the previous record.
    auto previous = store.Put(TAlignedGrid::CellPlace(7, 9), store.NewRecord());
    EXPECT_EQ(previous.get(), record);
    // A brush of a record calls the store's change handler.
    TMyBrush brush;
    store.Obtain(TAlignedGrid::ColPlace(2))->SetBrush(&brush);
    store.Find(TAlignedGrid::ColPlace(2))->Brush()->SetColor(0x123456);
    EXPECT_EQ(changes, 1);
    // A move between places past the list's end, or to a place before its start, leaves it alone.
    TIndexedList<std::string> hints;
    hints.Slot(1) = "b";
    hints.Move(4, 6);
    EXPECT_EQ(hints.Count(), 2);
    hints.Move(1, -1);
    EXPECT_EQ(hints.Count(), 2);
    EXPECT_EQ(*hints.Find(1), "b");
    hints.Move(1, 3);
    EXPECT_EQ(hints.Count(), 4);
    EXPECT_EQ(*hints.Find(3), "b");
}
