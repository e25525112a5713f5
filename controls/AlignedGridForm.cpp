// The aligned grid's stored form: its own grid properties, then the cell texts, hints and property
// records, and the older per-cell properties that are read but never written. Every column, row
// or index read that lies outside 0..65535 is skipped (the record lists and the older "FontCell"
// and "BrushCell" take theirs modulo 65536); cell texts outside the grid are dropped when loading
// completes, and the hints and records of cells outside the grid (whose counts the form holds
// first) when they are read. So a damaged or hostile form cannot ask for billions of entries:
// what a cell list holds is bounded by the grid's cells.
#include "controls/AlignedGrid.h"

#include "platform/core/FormStream.h"

#include <array>

namespace velmoran {

using namespace aligned;

namespace {

struct IntProperty {
    const char* Name;
    int (*Get)(const TAlignedGrid&);
    void (*Set)(TAlignedGrid&, int);
    int Default;
};

struct BoolProperty {
    const char* Name;
    bool (*Get)(const TAlignedGrid&);
    void (*Set)(TAlignedGrid&, bool);
    bool Default;
};

// The grid's own properties, written when they differ from their defaults; the counts first, so
// that the fixed counts find their columns and rows.
const std::array<IntProperty, 14> kIntProperties = {{
    {"ColCount", [](const TAlignedGrid& g) { return g.ColCount(); }, [](TAlignedGrid& g, int v) { g.SetColCount(v); }, 5},
    {"RowCount", [](const TAlignedGrid& g) { return g.RowCount(); }, [](TAlignedGrid& g, int v) { g.SetRowCount(v); }, 5},
    {"FixedCols", [](const TAlignedGrid& g) { return g.FixedCols(); }, [](TAlignedGrid& g, int v) { g.SetFixedCols(v); }, 1},
    {"FixedRows", [](const TAlignedGrid& g) { return g.FixedRows(); }, [](TAlignedGrid& g, int v) { g.SetFixedRows(v); }, 1},
    {"DefaultColWidth", [](const TAlignedGrid& g) { return g.DefaultColWidth(); },
     [](TAlignedGrid& g, int v) { g.SetDefaultColWidth(v); }, 64},
    {"DefaultRowHeight", [](const TAlignedGrid& g) { return g.DefaultRowHeight(); },
     [](TAlignedGrid& g, int v) { g.SetDefaultRowHeight(v); }, 24},
    {"GridLineWidth", [](const TAlignedGrid& g) { return g.GridLineWidth(); },
     [](TAlignedGrid& g, int v) { g.SetGridLineWidth(v); }, 1},
    {"Options", [](const TAlignedGrid& g) { return static_cast<int>(g.Options()); },
     [](TAlignedGrid& g, int v) { g.SetOptions(static_cast<GridOptions>(v)); }, static_cast<int>(kDefaultGridOptions)},
    {"Color", [](const TAlignedGrid& g) { return static_cast<int>(g.Color()); },
     [](TAlignedGrid& g, int v) { g.SetColor(static_cast<ColorRef>(v)); }, static_cast<int>(SystemColor(COLOR_WINDOW))},
    {"FixedColor", [](const TAlignedGrid& g) { return static_cast<int>(g.FixedColor()); },
     [](TAlignedGrid& g, int v) { g.SetFixedColor(static_cast<ColorRef>(v)); }, static_cast<int>(SystemColor(COLOR_BTNFACE))},
    {"Alignment", [](const TAlignedGrid& g) { return static_cast<int>(g.Alignment()); },
     [](TAlignedGrid& g, int v) { g.SetAlignment(static_cast<TMyAlign>(v & 3)); }, agLeft},
    {"Wordwrap", [](const TAlignedGrid& g) { return static_cast<int>(g.Wordwrap()); },
     [](TAlignedGrid& g, int v) { g.SetWordwrap(static_cast<T_Wordwrap>(v & 3)); }, ww_none},
    {"SelectedCellColor", [](const TAlignedGrid& g) { return static_cast<int>(g.SelectedCellColor()); },
     [](TAlignedGrid& g, int v) { g.SetSelectedCellColor(static_cast<ColorRef>(v)); },
     static_cast<int>(SystemColor(COLOR_ACTIVECAPTION))},
    {"SelectedFontColor", [](const TAlignedGrid& g) { return static_cast<int>(g.SelectedFontColor()); },
     [](TAlignedGrid& g, int v) { g.SetSelectedFontColor(static_cast<ColorRef>(v)); }, 0xFFFFFF},
}};

const std::array<BoolProperty, 2> kBoolProperties = {{
    {"Editable", [](const TAlignedGrid& g) { return g.Editable(); }, [](TAlignedGrid& g, bool v) { g.SetEditable(v); }, true},
    {"DrawSelection", [](const TAlignedGrid& g) { return g.DrawSelection(); },
     [](TAlignedGrid& g, bool v) { g.SetDrawSelection(v); }, true},
}};

struct LineList {
    const char* Name;
    TPropKind Kind;
    bool ByColumn;
};
const std::array<LineList, 4> kRecordLists = {{
    {"PropCol", TPropKind::Col, true},
    {"PropRow", TPropKind::Row, false},
    {"PropFixedCol", TPropKind::FixedCol, true},
    {"PropFixedRow", TPropKind::FixedRow, false},
}};

// The older properties by name, with the place they apply to.
struct LegacyName {
    const char* Name;
    TPropKind Kind;
};
const std::array<LegacyName, 8> kLegacyBinary = {{
    {"AlignCell", TPropKind::Cell}, {"AlignCol", TPropKind::Col}, {"FixedAlignCol", TPropKind::FixedCol},
    {"AlignRow", TPropKind::Row}, {"FixedAlignRow", TPropKind::FixedRow}, {"EditCell", TPropKind::Cell},
    {"EditCol", TPropKind::Col}, {"EditRow", TPropKind::Row},
}};

enum class LegacyValue { Font, Brush, Color, SelectedColor };
struct LegacyList {
    const char* Name;
    TPropKind Kind;
    LegacyValue Value;
};
const std::array<LegacyList, 18> kLegacyLists = {{
    {"FontCell", TPropKind::Cell, LegacyValue::Font},
    {"FontCol", TPropKind::Col, LegacyValue::Font},
    {"FontFixedCol", TPropKind::FixedCol, LegacyValue::Font},
    {"FontRow", TPropKind::Row, LegacyValue::Font},
    {"FontFixedRow", TPropKind::FixedRow, LegacyValue::Font},
    {"BrushCell", TPropKind::Cell, LegacyValue::Brush},
    {"BrushCol", TPropKind::Col, LegacyValue::Brush},
    {"BrushFixedCol", TPropKind::FixedCol, LegacyValue::Brush},
    {"BrushRow", TPropKind::Row, LegacyValue::Brush},
    {"BrushFixedRow", TPropKind::FixedRow, LegacyValue::Brush},
    {"ColorCell", TPropKind::Cell, LegacyValue::Color},
    {"ColorCol", TPropKind::Col, LegacyValue::Color},
    {"ColorFixedCol", TPropKind::FixedCol, LegacyValue::Color},
    {"ColorRow", TPropKind::Row, LegacyValue::Color},
    {"ColorFixedRow", TPropKind::FixedRow, LegacyValue::Color},
    {"SelectedColorCell", TPropKind::Cell, LegacyValue::SelectedColor},
    {"SelectedColorCol", TPropKind::Col, LegacyValue::SelectedColor},
    {"SelectedColorRow", TPropKind::Row, LegacyValue::SelectedColor},
}};

bool InIndexRange(std::int32_t value)
{
    return value >= 0 && value <= kMaxPropIndex;
}

int Modulo65536(std::int32_t value)
{
    return static_cast<int>(static_cast<std::uint32_t>(value) & 0xFFFFu);
}

// A column and row for a cell entry, or an index for a line entry; false when skipped.
bool ReadPlace(TFormReader& reader, TPropKind kind, bool modulo, TPropPlace& place)
{
    place.Kind = kind;
    const std::int32_t first = reader.ReadInteger();
    const std::int32_t second = kind == TPropKind::Cell ? reader.ReadInteger() : 0;
    if (modulo) {
        place.Index = Modulo65536(first);
        place.Row = Modulo65536(second);
        return true;
    }
    place.Index = first;
    place.Row = second;
    return InIndexRange(first) && InIndexRange(second);
}

}  // namespace

// Lines are always kept; a cell only inside the grid.
bool TAlignedGrid::CellInGrid(const TPropPlace& place) const
{
    return place.Kind != TPropKind::Cell || (place.Index < ColCount() && place.Row < RowCount());
}

// --- writing ---

void TAlignedGrid::WriteForm(TFormWriter& writer) const
{
    writer.WriteListBegin();
    for (const IntProperty& property : kIntProperties)
        if (property.Get(*this) != property.Default) {
            writer.WritePropName(property.Name);
            writer.WriteInteger(property.Get(*this));
        }
    for (const BoolProperty& property : kBoolProperties)
        if (property.Get(*this) != property.Default) {
            writer.WritePropName(property.Name);
            writer.WriteBoolean(property.Get(*this));
        }
    auto writeTexts = [&](const char* name, auto text) {
        writer.WritePropName(name);
        writer.WriteListBegin();
        for (int c = 0; c < ColCount(); ++c)
            for (int r = 0; r < RowCount(); ++r)
                if (const std::string& value = text(c, r); !value.empty()) {
                    writer.WriteInteger(c);
                    writer.WriteInteger(r);
                    writer.WriteString(value);
                }
        writer.WriteListEnd();
    };
    if (hintsRead_)
        writeTexts("HintCell", [this](int c, int r) -> const std::string& { return HintCell(c, r); });
    if (cellsRead_)
        writeTexts("Cells", [this](int c, int r) -> const std::string& { return Cells(c, r); });

    writer.WritePropName("PropCell");
    writer.WriteListBegin();
    for (int c = 0; c < ColCount(); ++c)
        for (int r = 0; r < RowCount(); ++r)
            if (const TCellProperties* record = store_.Find(CellPlace(c, r)); record && !record->IsEmpty()) {
                writer.WriteInteger(c);
                writer.WriteInteger(r);
                record->Write(writer);
            }
    writer.WriteListEnd();
    for (const LineList& list : kRecordLists) {
        writer.WritePropName(list.Name);
        writer.WriteListBegin();
        const int count = list.ByColumn ? ColCount() : RowCount();
        for (int i = 0; i < count; ++i)
            if (const TCellProperties* record = store_.Find({list.Kind, i, 0}); record && !record->IsEmpty()) {
                writer.WriteInteger(i);
                record->Write(writer);
            }
        writer.WriteListEnd();
    }
    writer.WriteListEnd();
}

// --- reading ---

void TAlignedGrid::ReadForm(TFormReader& reader)
{
    reader.ReadProperties([this](const std::string& name, TFormReader& r) { return ReadStoredProperty(name, r); });
    Loaded();
}

void TAlignedGrid::Loaded()
{
    if (!cellsRead_)
        return;
    for (int c = 0; c < ColCount(); ++c)
        for (int r = 0; r < RowCount(); ++r) {
            const auto found = pendingCells_.find({c, r});
            SetCells(c, r, found == pendingCells_.end() ? std::string() : found->second);
        }
    pendingCells_.clear();
}

bool TAlignedGrid::ReadStoredProperty(const std::string& name, TFormReader& reader)
{
    for (const IntProperty& property : kIntProperties)
        if (name == property.Name) {
            property.Set(*this, reader.ReadInteger());
            return true;
        }
    for (const BoolProperty& property : kBoolProperties)
        if (name == property.Name) {
            property.Set(*this, reader.ReadBoolean());
            return true;
        }
    if (name == "Cells" || name == "HintCell") {
        const bool cells = name == "Cells";
        reader.ReadListBegin();
        while (!reader.EndOfList()) {
            TPropPlace place;
            const bool keep = ReadPlace(reader, TPropKind::Cell, false, place) && (cells || CellInGrid(place));
            std::string text = reader.ReadString();
            if (!keep)
                continue;
            if (cells)
                pendingCells_[{place.Index, place.Row}] = std::move(text);
            else
                SetHintCell(place.Index, place.Row, text);
        }
        reader.ReadListEnd();
        (cells ? cellsRead_ : hintsRead_) = true;
        return true;
    }
    auto readRecords = [&](TPropKind kind) {
        reader.ReadListBegin();
        while (!reader.EndOfList()) {
            TPropPlace place;
            ReadPlace(reader, kind, true, place);
            std::unique_ptr<TCellProperties> record = store_.NewRecord();
            record->Read(reader);
            if (CellInGrid(place))
                store_.Put(place, std::move(record));
        }
        reader.ReadListEnd();
        InvalidateGrid();
        return true;
    };
    if (name == "PropCell")
        return readRecords(TPropKind::Cell);
    for (const LineList& list : kRecordLists)
        if (name == list.Name)
            return readRecords(list.Kind);
    for (const LegacyName& legacy : kLegacyBinary)
        if (name == legacy.Name) {
            ReadLegacyBinary(name, reader.ReadBinary());
            return true;
        }
    for (const LegacyList& legacy : kLegacyLists)
        if (name == legacy.Name) {
            reader.ReadListBegin();
            while (!reader.EndOfList()) {
                TPropPlace place;
                const bool modulo = legacy.Kind == TPropKind::Cell &&
                                    (legacy.Value == LegacyValue::Font || legacy.Value == LegacyValue::Brush);
                const bool keep = ReadPlace(reader, legacy.Kind, modulo, place) && CellInGrid(place);
                switch (legacy.Value) {
                case LegacyValue::Font: {
                    const TMyFont font = ReadFont(reader);
                    if (keep)
                        SetFontAt(place, &font);
                    break;
                }
                case LegacyValue::Brush: {
                    const TMyBrush brush = ReadBrush(reader);
                    if (keep)
                        SetBrushAt(place, &brush);
                    break;
                }
                case LegacyValue::Color: {
                    const auto color = static_cast<ColorRef>(reader.ReadInteger());
                    if (keep)
                        SetColorAt(place, color);
                    break;
                }
                case LegacyValue::SelectedColor: {
                    const auto color = static_cast<ColorRef>(reader.ReadInteger());
                    if (keep)
                        SetSelectedColorAt(place, color);
                    break;
                }
                }
            }
            reader.ReadListEnd();
            return true;
        }
    return false;
}

// Entries of 16-bit little-endian column and row (or one index) and one byte; a block that ends
// inside an entry stops at the last whole one.
void TAlignedGrid::ReadLegacyBinary(const std::string& name, const std::string& bytes)
{
    TPropKind kind = TPropKind::Cell;
    for (const LegacyName& legacy : kLegacyBinary)
        if (name == legacy.Name)
            kind = legacy.Kind;
    const bool edit = name.rfind("Edit", 0) == 0;
    const std::size_t entry = kind == TPropKind::Cell ? 5 : 3;
    auto word = [&](std::size_t at) {
        return static_cast<int>(static_cast<unsigned char>(bytes[at]) | (static_cast<unsigned char>(bytes[at + 1]) << 8));
    };
    for (std::size_t at = 0; at + entry <= bytes.size(); at += entry) {
        TPropPlace place{kind, word(at), kind == TPropKind::Cell ? word(at + 2) : 0};
        if (!CellInGrid(place))
            continue;
        const auto value = static_cast<unsigned char>(bytes[at + entry - 1]);
        if (edit)
            SetEditAt(place, value != 0);
        else
            SetAlignAt(place, static_cast<TMyAlign>(value & 3));
    }
}

}  // namespace velmoran
