// The aligned grid's stored form: the tagged records as written and read back, the lists always
// written and the texts only when read, the index rules (modulo 65536 for the record lists, other
// indices outside 0..65535 skipped, cell texts outside the grid dropped), the older properties
// landing where the records would, and damaged forms failing with the read error.
#include "tests/controls/AlignedGridSupport.h"

#include "platform/core/Exceptions.h"
#include "platform/core/FormStream.h"
#include "platform/core/Stream.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>

using namespace velmoran;
using namespace velmoran::aligned;
using velmoran::testing::TestAlignedGrid;

namespace {

constexpr std::int32_t kHuge = std::numeric_limits<std::int32_t>::max();

// A form of the properties the writer function puts in.
std::string Form(const std::function<void(TFormWriter&)>& properties)
{
    TMemoryStream stream;
    TFormWriter writer(stream);
    writer.WriteListBegin();
    properties(writer);
    writer.WriteListEnd();
    return stream.ToString();
}

void Load(TAlignedGrid& grid, const std::string& form)
{
    TMemoryStream stream(form);
    TFormReader reader(stream);
    grid.ReadForm(reader);
}

std::string Written(const TAlignedGrid& grid)
{
    TMemoryStream stream;
    TFormWriter writer(stream);
    grid.WriteForm(writer);
    return stream.ToString();
}

// Every integer of each list property as read, by property name; other values are skipped.
std::map<std::string, std::vector<std::int64_t>> Lists(const std::string& form)
{
    std::map<std::string, std::vector<std::int64_t>> lists;
    TMemoryStream stream(form);
    TFormReader reader(stream);
    reader.ReadProperties([&](const std::string& name, TFormReader& r) {
        if (r.NextValue() != TValueType::vaList)
            return false;
        std::vector<std::int64_t>& values = lists[name];
        r.ReadListBegin();
        while (!r.EndOfList()) {
            const TValueType type = r.NextValue();
            if (type == TValueType::vaInt8 || type == TValueType::vaInt16 || type == TValueType::vaInt32)
                values.push_back(r.ReadInteger());
            else
                r.SkipValue();
        }
        r.ReadListEnd();
        return true;
    });
    return lists;
}

void WriteBrushRecord(TFormWriter& w, ColorRef color)
{
    w.WriteInteger(4);
    w.WriteInteger(static_cast<std::int32_t>(color));
    w.WriteInteger(0);
    w.WriteInteger(0);
}

}  // namespace

TEST(AlignedGridForm, ARecordWithOnlyABrushColourWritesTagFourThenZero)
{
    TestAlignedGrid grid;
    grid.BrushCell(1, 2)->SetColor(0x00FFFF);
    const auto lists = Lists(Written(grid));
    EXPECT_EQ(lists.at("PropCell"), (std::vector<std::int64_t>{1, 2, 4, 0x00FFFF, 0, 0}));
}

TEST(AlignedGridForm, AnEmptyGridWritesFiveEmptyListsAndNoTexts)
{
    TestAlignedGrid grid;
    grid.SetCells(1, 1, "nicht gelesen");
    grid.SetHintCell(1, 1, "auch nicht");
    const auto lists = Lists(Written(grid));
    const std::map<std::string, std::vector<std::int64_t>> expected = {
        {"PropCell", {}}, {"PropCol", {}}, {"PropRow", {}}, {"PropFixedCol", {}}, {"PropFixedRow", {}}};
    EXPECT_EQ(lists, expected);
}

// The two switches are written only when switched off, and a form without them leaves them on.
TEST(AlignedGridForm, SwitchesAreWrittenOnlyWhenOffAndReadBack)
{
    const auto names = [](const std::string& form) {
        std::vector<std::string> found;
        TMemoryStream stream(form);
        TFormReader reader(stream);
        reader.ReadProperties([&](const std::string& name, TFormReader&) {
            if (name == "Editable" || name == "DrawSelection")
                found.push_back(name);
            return false;
        });
        return found;
    };
    TestAlignedGrid grid;
    EXPECT_TRUE(names(Written(grid)).empty());
    grid.SetEditable(false);
    grid.SetDrawSelection(false);
    const std::string form = Written(grid);
    EXPECT_EQ(names(form), (std::vector<std::string>{"Editable", "DrawSelection"}));
    TestAlignedGrid read;
    Load(read, form);
    EXPECT_FALSE(read.Editable());
    EXPECT_FALSE(read.DrawSelection());
    TestAlignedGrid fresh;
    Load(fresh, Written(TestAlignedGrid()));
    EXPECT_TRUE(fresh.Editable());
    EXPECT_TRUE(fresh.DrawSelection());
}

TEST(AlignedGridForm, AFullRecordRoundTrips)
{
    TCellPropertyStore store(nullptr);
    TCellProperties record(&store);
    record.Align = agCenter;
    record.Wordwrap = ww_ellipsis;
    record.Editable = 1;
    TMyBrush brush;
    brush.SetColor(0x102030);
    brush.SetStyle(BrushStyle::Null);
    record.SetBrush(&brush);
    brush.SetColor(0x405060);
    record.SetSelectedBrush(&brush);
    TMyFont font;
    font.SetName("Courier New");
    font.SetHeight(-13);
    font.SetPitch(fpFixed);
    font.SetStyle(fsBold | fsUnderline);
    font.SetColor(0x0000FF);
    record.SetFont(&font);
    font.SetColor(0xFFFFFF);
    font.SetStyle(fsItalic | fsStrikeOut);
    record.SetSelectedFont(&font);

    TMemoryStream stream;
    TFormWriter writer(stream);
    record.Write(writer);
    stream.SetPosition(0);
    TFormReader reader(stream);
    TCellProperties read(&store);
    read.Read(reader);
    EXPECT_EQ(stream.Position(), stream.Size());
    EXPECT_EQ(read.Align, agCenter);
    EXPECT_EQ(read.Wordwrap, ww_ellipsis);
    EXPECT_EQ(read.Editable, 1);
    EXPECT_EQ(read.Brush()->Style(), BrushStyle::Null);
    EXPECT_EQ(read.SelectedBrush()->Color(), 0x405060u);
    EXPECT_EQ(read.Font()->Name(), "Courier New");
    EXPECT_EQ(read.Font()->Pitch(), fpFixed);
    EXPECT_EQ(read.SelectedFont()->Style(), fsItalic | fsStrikeOut);
    TMemoryStream again;
    TFormWriter againWriter(again);
    read.Write(againWriter);
    EXPECT_EQ(again.ToString(), stream.ToString());
}

TEST(AlignedGridForm, CellsAreKeptAsideAndCopiedWhenLoadingCompletes)
{
    TestAlignedGrid grid;
    grid.SetCells(4, 3, "vorher");
    Load(grid, Form([](TFormWriter& w) {
        w.WritePropName("Cells");
        w.WriteListBegin();
        for (auto [col, row] : {std::pair{0, 0}, {2, 3}, {-1, 1}, {1, kHuge}, {70000, 1}}) {
            w.WriteInteger(col);
            w.WriteInteger(row);
            w.WriteString("t" + std::to_string(col));
        }
        w.WriteListEnd();
        // Written after the texts: the texts still land in the grown grid.
        w.WritePropName("ColCount");
        w.WriteInteger(8);
    }));
    EXPECT_EQ(grid.Cells(0, 0), "t0");
    EXPECT_EQ(grid.Cells(2, 3), "t2");
    EXPECT_EQ(grid.Cells(4, 3), "");  // no entry: empty
    EXPECT_EQ(grid.ColCount(), 8);
    // Read once, the texts are written again, in column order.
    const auto lists = Lists(Written(grid));
    EXPECT_EQ(lists.at("Cells"), (std::vector<std::int64_t>{0, 0, 2, 3}));
    EXPECT_EQ(lists.count("HintCell"), 0u);
}

// Unlike the record lists, cell texts and hints are not taken modulo 65536: an index outside
// 0..65535 drops its entry even where its remainder would lie in the grid.
TEST(AlignedGridForm, TextIndicesOutsideTheRangeAreDroppedNotWrapped)
{
    TestAlignedGrid grid;
    Load(grid, Form([](TFormWriter& w) {
        for (const char* name : {"Cells", "HintCell"}) {
            w.WritePropName(name);
            w.WriteListBegin();
            for (auto [col, row] : {std::pair{65536 + 1, 2}, {2, -65535}, {3, 1}}) {
                w.WriteInteger(col);
                w.WriteInteger(row);
                w.WriteString(std::string(name) + std::to_string(col));
            }
            w.WriteListEnd();
        }
    }));
    EXPECT_EQ(grid.Cells(1, 2), "");
    EXPECT_EQ(grid.Cells(2, 1), "");
    EXPECT_EQ(grid.Cells(3, 1), "Cells3");
    EXPECT_EQ(grid.HintCell(1, 2), "");
    EXPECT_EQ(grid.HintCell(2, 1), "");
    EXPECT_EQ(grid.HintCell(3, 1), "HintCell3");
}

// Texts and hints of columns and rows the grid no longer has are not written.
TEST(AlignedGridForm, TextsOutsideAShrunkGridAreNotWritten)
{
    TestAlignedGrid grid;
    Load(grid, Form([](TFormWriter& w) {
        for (const char* name : {"Cells", "HintCell"}) {
            w.WritePropName(name);
            w.WriteListBegin();
            for (auto [col, row] : {std::pair{1, 1}, {4, 1}, {2, 3}}) {
                w.WriteInteger(col);
                w.WriteInteger(row);
                w.WriteString(name);
            }
            w.WriteListEnd();
        }
    }));
    grid.SetColCount(4);
    grid.SetRowCount(3);
    const auto lists = Lists(Written(grid));
    EXPECT_EQ(lists.at("Cells"), (std::vector<std::int64_t>{1, 1}));
    EXPECT_EQ(lists.at("HintCell"), (std::vector<std::int64_t>{1, 1}));
}

// So are the records of cells, columns and rows it no longer has: they stay in the grid, to come
// back when it grows, but the form holds only what it shows.
TEST(AlignedGridForm, RecordsOutsideAShrunkGridAreNotWritten)
{
    TestAlignedGrid shrunk;
    TestAlignedGrid kept;
    for (TestAlignedGrid* grid : {&shrunk, &kept}) {
        grid->SetAlignCell(3, 2, agRight);
        grid->SetAlignCol(3, agRight);
        grid->SetAlignRow(2, agCenter);
        grid->SetFixedAlignCol(3, agRight);
        grid->SetFixedAlignRow(2, agCenter);
    }
    shrunk.SetAlignCell(4, 2, agRight);
    shrunk.SetAlignCell(3, 3, agRight);
    shrunk.SetAlignCol(4, agRight);
    shrunk.SetAlignRow(3, agCenter);
    shrunk.SetFixedAlignCol(4, agRight);
    shrunk.SetFixedAlignRow(3, agCenter);
    for (TestAlignedGrid* grid : {&shrunk, &kept}) {
        grid->SetColCount(4);
        grid->SetRowCount(3);
    }
    EXPECT_EQ(Lists(Written(shrunk)), Lists(Written(kept)));
    EXPECT_EQ(Lists(Written(kept)).at("PropCol").front(), 3);
    shrunk.SetColCount(5);
    EXPECT_EQ(shrunk.EffectiveAlign(4, 1), agRight);
}

TEST(AlignedGridForm, RecordIndicesAreTakenModulo65536)
{
    TestAlignedGrid grid;
    Load(grid, Form([](TFormWriter& w) {
        w.WritePropName("PropCol");
        w.WriteListBegin();
        w.WriteInteger(70000);
        w.WriteInteger(1);
        w.WriteInteger(agRight);
        w.WriteInteger(0);
        w.WriteListEnd();
        w.WritePropName("PropCell");
        w.WriteListBegin();
        w.WriteInteger(65536 + 2);
        w.WriteInteger(-65535);  // 1 modulo 65536
        WriteBrushRecord(w, 0x00FFFF);
        w.WriteListEnd();
    }));
    EXPECT_EQ(grid.Properties().Find(TAlignedGrid::ColPlace(4464))->Align, agRight);
    EXPECT_EQ(grid.EffectiveBrush(2, 1).Color(), 0x00FFFFu);
}

TEST(AlignedGridForm, OlderPropertiesLandWhereTheRecordsWould)
{
    TestAlignedGrid legacy;
    Load(legacy, Form([](TFormWriter& w) {
        w.WritePropName("AlignCell");
        w.WriteBinary(std::string("\x02\x00\x03\x00\x02", 5));
        w.WritePropName("ColorCell");
        w.WriteListBegin();
        w.WriteInteger(3);
        w.WriteInteger(1);
        w.WriteInteger(0x00FFFF);
        w.WriteListEnd();
        w.WritePropName("EditRow");
        w.WriteBinary(std::string("\x02\x00\x00", 3));
    }));
    TestAlignedGrid records;
    Load(records, Form([](TFormWriter& w) {
        w.WritePropName("PropCell");
        w.WriteListBegin();
        w.WriteInteger(2);
        w.WriteInteger(3);
        w.WriteInteger(1);
        w.WriteInteger(agCenter);
        w.WriteInteger(0);
        w.WriteInteger(3);
        w.WriteInteger(1);
        WriteBrushRecord(w, 0x00FFFF);
        w.WriteListEnd();
        w.WritePropName("PropRow");
        w.WriteListBegin();
        w.WriteInteger(2);
        w.WriteInteger(3);
        w.WriteInteger(1);
        w.WriteInteger(0);
        w.WriteListEnd();
    }));
    for (int col = 0; col < 5; ++col)
        for (int row = 0; row < 4; ++row) {
            EXPECT_EQ(legacy.EffectiveAlign(col, row), records.EffectiveAlign(col, row)) << col << "," << row;
            EXPECT_EQ(legacy.EffectiveBrush(col, row).Color(), records.EffectiveBrush(col, row).Color());
            EXPECT_EQ(legacy.IsCellEditable(col, row), records.IsCellEditable(col, row));
        }
    EXPECT_EQ(legacy.EffectiveAlign(2, 3), agCenter);
    EXPECT_FALSE(legacy.IsCellEditable(1, 2));
    // The older properties are never written back.
    EXPECT_EQ(Lists(Written(legacy)).count("ColorCell"), 0u);
}

TEST(AlignedGridForm, OutOfRangeEntriesAndTruncatedBlocksAreSkipped)
{
    TestAlignedGrid grid;
    Load(grid, Form([](TFormWriter& w) {
        w.WritePropName("ColorCol");
        w.WriteListBegin();
        for (std::int32_t index : {-1, kHuge, 3}) {
            w.WriteInteger(index);
            w.WriteInteger(0x0000FF);
        }
        w.WriteListEnd();
        // One whole entry and two bytes of the next.
        w.WritePropName("AlignCell");
        w.WriteBinary(std::string("\x01\x00\x01\x00\x00\x02\x00", 7));
        w.WritePropName("HintCell");
        w.WriteListBegin();
        w.WriteInteger(-1);
        w.WriteInteger(0);
        w.WriteString("weg");
        w.WriteInteger(1);
        w.WriteInteger(2);
        w.WriteString("Hinweis");
        w.WriteInteger(60000);  // outside the grid's columns
        w.WriteInteger(60000);
        w.WriteString("weg");
        w.WriteListEnd();
        // Records of cells outside the grid could never show: a form of many of them must not
        // ask for a list per column as long as 65536 rows.
        w.WritePropName("PropCell");
        w.WriteListBegin();
        for (int col : {1, 4000, 4001}) {
            w.WriteInteger(col);
            w.WriteInteger(65535);
            WriteBrushRecord(w, 0x00FF00);
        }
        w.WriteListEnd();
    }));
    EXPECT_EQ(grid.Properties().Find(TAlignedGrid::CellPlace(1, 65535)), nullptr);
    EXPECT_EQ(grid.Properties().Find(TAlignedGrid::CellPlace(4000, 65535)), nullptr);
    EXPECT_EQ(grid.HintCell(60000, 60000), "");
    EXPECT_EQ(grid.EffectiveBrush(3, 2).Color(), 0x0000FFu);
    EXPECT_EQ(grid.EffectiveBrush(2, 2).Color(), 0xFFFFFFu);
    EXPECT_EQ(grid.AlignCell(1, 1), agRight);
    EXPECT_EQ(grid.AlignCell(2, 0), agDefault);
    EXPECT_EQ(grid.HintCell(1, 2), "Hinweis");
    EXPECT_EQ(Lists(Written(grid)).at("HintCell"), (std::vector<std::int64_t>{1, 2}));
}

TEST(AlignedGridForm, UnknownTagsReadNoValue)
{
    TestAlignedGrid grid;
    Load(grid, Form([](TFormWriter& w) {
        w.WritePropName("PropRow");
        w.WriteListBegin();
        w.WriteInteger(1);
        w.WriteInteger(9);  // unknown: the next integer is the next tag
        w.WriteInteger(2);
        w.WriteInteger(ww_wordwrap);
        w.WriteInteger(0);
        w.WriteListEnd();
    }));
    EXPECT_EQ(grid.EffectiveWordwrap(2, 1), ww_wordwrap);
}

TEST(AlignedGridForm, ARecordCutOffBeforeTagZeroFailsTheLoad)
{
    TestAlignedGrid grid;
    const std::string form = Form([](TFormWriter& w) {
        w.WritePropName("PropCell");
        w.WriteListBegin();
        w.WriteInteger(1);
        w.WriteInteger(1);
        w.WriteInteger(4);
        w.WriteInteger(0x00FFFF);
        w.WriteInteger(0);
        w.WriteListEnd();
    });
    EXPECT_THROW(Load(grid, form), EReadError);
    // The sample cut inside a record: the stream ends there.
    std::string cut = Written(grid);
    EXPECT_NO_THROW(Load(grid, cut));
    grid.BrushCell(1, 1)->SetColor(0x00FFFF);
    cut = Written(grid);
    const std::size_t at = cut.find("PropCell") + 14;
    EXPECT_THROW(Load(grid, cut.substr(0, at)), EReadError);
}

// Every brush style a stored form can hold reads back as it was written, and the hatches draw as
// patterns in the brush colour; a style no brush has reads as solid.
TEST(AlignedGridForm, BrushStylesRoundTrip)
{
    TCellPropertyStore store(nullptr);
    for (int style = bsSolid; style <= bsDiagCross; ++style) {
        TCellProperties record(&store);
        TMyBrush brush;
        brush.SetColor(0x0000FF);
        brush.SetStoredStyle(static_cast<TBrushStyle>(style));
        record.SetBrush(&brush);
        TMemoryStream stream;
        TFormWriter writer(stream);
        record.Write(writer);
        stream.SetPosition(0);
        TFormReader reader(stream);
        TCellProperties read(&store);
        read.Read(reader);
        ASSERT_TRUE(read.Brush()) << style;
        EXPECT_EQ(read.Brush()->StoredStyle(), style);
        const Brush drawn = read.Brush()->ToBrush(0x0000FF);
        EXPECT_EQ(drawn.Style, style == bsSolid   ? BrushStyle::Solid
                               : style == bsClear ? BrushStyle::Null
                                                  : BrushStyle::Pattern)
            << style;
    }
    EXPECT_EQ(TMyBrush().ToBrush(0x112233), (Brush{BrushStyle::Solid, 0x112233}));
    // A damaged form's style past either end of the list reads as solid, and draws so.
    for (const std::int32_t style : {bsDiagCross + 1, bsSolid - 1}) {
        TMemoryStream stream;
        TFormWriter writer(stream);
        writer.WriteInteger(4);  // the brush
        writer.WriteInteger(0x0000FF);
        writer.WriteInteger(style);
        writer.WriteInteger(0);
        stream.SetPosition(0);
        TFormReader reader(stream);
        TCellProperties read(&store);
        read.Read(reader);
        ASSERT_TRUE(read.Brush()) << style;
        EXPECT_EQ(read.Brush()->StoredStyle(), bsSolid) << style;
        EXPECT_EQ(read.Brush()->ToBrush(0x0000FF), (Brush{BrushStyle::Solid, 0x0000FF})) << style;
    }
}

TEST(AlignedGridForm, CountsBeyondAMillionCellsFailTheLoadWithoutGrowingTheGrid)
{
    // A form of a few bytes once grew the grid's cell table to gigabytes.
    auto counts = [](std::int32_t cols, std::int32_t rows) {
        return Form([&](TFormWriter& w) {
            w.WritePropName("ColCount");
            w.WriteInteger(cols);
            w.WritePropName("RowCount");
            w.WriteInteger(rows);
        });
    };
    for (const auto& [cols, rows] : {std::pair{100000, 100000}, std::pair{kHuge, 5}, std::pair{2, kHuge},
                                     std::pair{1000, 1001}}) {
        TestAlignedGrid grid;
        try {
            Load(grid, counts(cols, rows));
            ADD_FAILURE() << cols << " x " << rows << " loaded";
        } catch (const EReadError& e) {
            EXPECT_STREQ(e.what(), "Stream-Lesefehler");
        }
        EXPECT_LE(static_cast<long long>(grid.ColCount()) * grid.RowCount(), kMaxGridCells);
    }
    // Exactly a million cells is still a grid.
    TestAlignedGrid grid;
    Load(grid, counts(1000, 1000));
    EXPECT_EQ(grid.ColCount(), 1000);
    EXPECT_EQ(grid.RowCount(), 1000);
}
