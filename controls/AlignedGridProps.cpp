// The aligned grid's value classes, property records and record store; see AlignedGridProps.h.
#include "controls/AlignedGridProps.h"

#include "platform/HatchBrush.h"

#include "platform/core/FormStream.h"

#include <algorithm>

namespace velmoran::aligned {

namespace {

// Stores a value; true when it differs from the one before.
template <typename T>
bool Replace(T& slot, const T& value)
{
    if (slot == value)
        return false;
    slot = value;
    return true;
}

}  // namespace

// --- TMyBrush ---

void TMyBrush::Changed()
{
    set_ = 1;
    if (OnChange)
        OnChange();
}

void TMyBrush::SetColor(ColorRef color)
{
    if (Replace(color_, color))
        Changed();
}

BrushStyle TMyBrush::Style() const
{
    return style_ == bsSolid ? BrushStyle::Solid : style_ == bsClear ? BrushStyle::Null : BrushStyle::Pattern;
}

void TMyBrush::SetStyle(BrushStyle style)
{
    SetStoredStyle(style == BrushStyle::Null ? bsClear : bsSolid);
}

void TMyBrush::SetStoredStyle(TBrushStyle style)
{
    if (Replace(style_, style))
        Changed();
}

Brush TMyBrush::ToBrush(ColorRef color) const
{
    if (style_ >= bsHorizontal && style_ <= bsDiagCross)
        return HatchBrush(style_ - bsHorizontal, color, SystemColor(COLOR_WINDOW));
    return Brush{Style(), color};
}

void TMyBrush::Assign(const TMyBrush& source)
{
    color_ = source.color_;
    style_ = source.style_;
    Changed();
}

// --- TMyFont ---

void TMyFont::Changed()
{
    set_ = 1;
    if (OnChange)
        OnChange();
}

void TMyFont::SetName(const std::string& name)
{
    if (Replace(name_, name))
        Changed();
}

void TMyFont::SetHeight(int height)
{
    if (Replace(height_, height))
        Changed();
}

void TMyFont::SetPitch(int pitch)
{
    if (Replace(pitch_, pitch))
        Changed();
}

void TMyFont::SetStyle(unsigned style)
{
    style &= fsBold | fsItalic | fsUnderline | fsStrikeOut;
    if (Replace(style_, style))
        Changed();
}

void TMyFont::SetColor(ColorRef color)
{
    if (Replace(color_, color))
        Changed();
}

void TMyFont::Assign(const TMyFont& source)
{
    name_ = source.name_;
    height_ = source.height_;
    pitch_ = source.pitch_;
    style_ = source.style_;
    color_ = source.color_;
    Changed();
}

LogicalFont TMyFont::ToLogicalFont() const
{
    LogicalFont font;
    font.Face = name_;
    font.Height = height_;
    font.Weight = (style_ & fsBold) ? 700 : 400;
    font.Italic = style_ & fsItalic;
    font.Underline = style_ & fsUnderline;
    font.StrikeOut = style_ & fsStrikeOut;
    return font;
}

TMyFont TMyFont::From(const LogicalFont& font, ColorRef color)
{
    TMyFont result;
    result.name_ = font.Face;
    result.height_ = font.Height;
    result.style_ = (font.Weight >= 600 ? fsBold : 0u) | (font.Italic ? fsItalic : 0u) |
                    (font.Underline ? fsUnderline : 0u) | (font.StrikeOut ? fsStrikeOut : 0u);
    result.color_ = color;
    return result;
}

// --- TCellProperties ---

namespace {

void WriteBrush(TFormWriter& writer, const TMyBrush& brush)
{
    writer.WriteInteger(static_cast<std::int32_t>(brush.Color()));
    writer.WriteInteger(brush.StoredStyle());
}

void WriteFont(TFormWriter& writer, const TMyFont& font)
{
    writer.WriteInteger(static_cast<std::int32_t>(font.Color()));
    writer.WriteInteger(font.Height());
    writer.WriteString(font.Name());
    writer.WriteInteger(font.Pitch());
    writer.WriteInteger(static_cast<std::int32_t>(font.Style()));
}

}  // namespace

TMyBrush ReadBrush(TFormReader& reader)
{
    TMyBrush brush;
    brush.SetColor(static_cast<ColorRef>(reader.ReadInteger()));
    const int style = reader.ReadInteger();
    brush.SetStoredStyle(style >= bsSolid && style <= bsDiagCross ? static_cast<TBrushStyle>(style) : bsSolid);
    return brush;
}

TMyFont ReadFont(TFormReader& reader)
{
    TMyFont font;
    font.SetColor(static_cast<ColorRef>(reader.ReadInteger()));
    font.SetHeight(reader.ReadInteger());
    font.SetName(reader.ReadString());
    font.SetPitch(reader.ReadInteger());
    font.SetStyle(static_cast<unsigned>(reader.ReadInteger()));
    return font;
}

template <typename T>
void TCellProperties::SetObject(std::unique_ptr<T>& slot, const T* source)
{
    if (!source) {
        slot.reset();
        return;
    }
    if (!slot)
        slot = std::make_unique<T>();
    slot->OnChange = nullptr;
    slot->Assign(*source);
    slot->SetSet(source->IsSet());
    if (owner_)
        slot->OnChange = owner_->ChangeHandler();
}

void TCellProperties::Write(TFormWriter& writer) const
{
    if (Align != agDefault) {
        writer.WriteInteger(1);
        writer.WriteInteger(Align);
    }
    if (Wordwrap != ww_default) {
        writer.WriteInteger(2);
        writer.WriteInteger(Wordwrap);
    }
    if (Editable != 0) {
        writer.WriteInteger(3);
        writer.WriteInteger(Editable);
    }
    if (brush_) {
        writer.WriteInteger(4);
        WriteBrush(writer, *brush_);
    }
    if (selectedBrush_) {
        writer.WriteInteger(5);
        WriteBrush(writer, *selectedBrush_);
    }
    if (font_) {
        writer.WriteInteger(6);
        WriteFont(writer, *font_);
    }
    if (selectedFont_) {
        writer.WriteInteger(7);
        WriteFont(writer, *selectedFont_);
    }
    writer.WriteInteger(0);
}

void TCellProperties::ReadTag(int tag, TFormReader& reader)
{
    switch (tag) {
    case 1: Align = static_cast<std::uint8_t>(reader.ReadInteger()); break;
    case 2: Wordwrap = static_cast<std::uint8_t>(reader.ReadInteger()); break;
    case 3: Editable = static_cast<std::uint8_t>(reader.ReadInteger()); break;
    case 4: {
        const TMyBrush brush = ReadBrush(reader);
        SetBrush(&brush);
        break;
    }
    case 5: {
        const TMyBrush brush = ReadBrush(reader);
        SetSelectedBrush(&brush);
        break;
    }
    case 6: {
        const TMyFont font = ReadFont(reader);
        SetFont(&font);
        break;
    }
    case 7: {
        const TMyFont font = ReadFont(reader);
        SetSelectedFont(&font);
        break;
    }
    default:
        break;
    }
}

void TCellProperties::Read(TFormReader& reader)
{
    for (int tag = reader.ReadInteger(); tag != 0; tag = reader.ReadInteger())
        ReadTag(tag, reader);
}

void TCellProperties::Assign(const TCellProperties* source)
{
    if (!source) {
        Align = agDefault;
        Wordwrap = ww_default;
        Editable = 0;
        brush_.reset();
        selectedBrush_.reset();
        font_.reset();
        selectedFont_.reset();
        return;
    }
    Align = source->Align;
    Wordwrap = source->Wordwrap;
    Editable = source->Editable;
    SetBrush(source->Brush());
    SetSelectedBrush(source->SelectedBrush());
    SetFont(source->Font());
    SetSelectedFont(source->SelectedFont());
}

bool TCellProperties::IsEmpty() const
{
    return Align == agDefault && Wordwrap == ww_default && Editable == 0 && !brush_ && !selectedBrush_ && !font_ &&
           !selectedFont_;
}

std::unique_ptr<TCellProperties> TCellProperties::Clone() const
{
    auto copy = std::make_unique<TCellProperties>(owner_);
    copy->Assign(this);
    return copy;
}

// --- lists ---

template <typename T>
void TIndexedList<T>::Move(int from, int to)
{
    if (from == to || from < 0 || to < 0 || (from >= Count() && to >= Count()))
        return;
    Slot(std::max(from, to));
    if (from < to)
        std::rotate(items_.begin() + from, items_.begin() + from + 1, items_.begin() + to + 1);
    else
        std::rotate(items_.begin() + to, items_.begin() + from, items_.begin() + from + 1);
}

template class TIndexedList<std::unique_ptr<TCellProperties>>;
template class TIndexedList<std::string>;
template class TIndexedList<TRecordList>;
template class TIndexedList<TIndexedList<std::string>>;

// --- TCellPropertyStore ---

TCellPropertyStore::TCellPropertyStore(std::function<void()> changed) : changed_(std::move(changed))
{
    RecordClass = [](TCellPropertyStore* owner) { return std::make_unique<TCellProperties>(owner); };
}

TRecordList* TCellPropertyStore::LineList(TPropKind kind)
{
    return const_cast<TRecordList*>(std::as_const(*this).LineList(kind));
}

const TRecordList* TCellPropertyStore::LineList(TPropKind kind) const
{
    switch (kind) {
    case TPropKind::Col: return &cols_;
    case TPropKind::Row: return &rows_;
    case TPropKind::FixedCol: return &fixedCols_;
    case TPropKind::FixedRow: return &fixedRows_;
    case TPropKind::Cell: break;
    }
    return nullptr;
}

TCellProperties* TCellPropertyStore::Find(const TPropPlace& place) const
{
    if (place.Kind == TPropKind::Cell) {
        const TRecordList* column = cells_.Find(place.Index);
        const auto* slot = column ? column->Find(place.Row) : nullptr;
        return slot ? slot->get() : nullptr;
    }
    const auto* slot = LineList(place.Kind)->Find(place.Index);
    return slot ? slot->get() : nullptr;
}

std::unique_ptr<TCellProperties> TCellPropertyStore::NewRecord()
{
    return RecordClass(this);
}

std::unique_ptr<TCellProperties> TCellPropertyStore::Put(const TPropPlace& place, std::unique_ptr<TCellProperties> record)
{
    if (!InRange(place.Index) || (place.Kind == TPropKind::Cell && !InRange(place.Row)))
        return record;
    std::unique_ptr<TCellProperties>& slot =
        place.Kind == TPropKind::Cell ? cells_.Slot(place.Index).Slot(place.Row) : LineList(place.Kind)->Slot(place.Index);
    std::swap(slot, record);
    return record;
}

TCellProperties* TCellPropertyStore::Obtain(const TPropPlace& place)
{
    if (TCellProperties* record = Find(place))
        return record;
    if (!InRange(place.Index) || (place.Kind == TPropKind::Cell && !InRange(place.Row)))
        return nullptr;
    Put(place, NewRecord());
    return Find(place);
}

const std::string& TCellPropertyStore::Hint(int col, int row) const
{
    static const std::string none;
    const auto* column = hints_.Find(col);
    const std::string* text = column ? column->Find(row) : nullptr;
    return text ? *text : none;
}

void TCellPropertyStore::SetHint(int col, int row, const std::string& text)
{
    if (!InRange(col) || !InRange(row))
        return;
    if (text.empty() && Hint(col, row).empty())
        return;
    hints_.Slot(col).Slot(row) = text;
}

void TCellPropertyStore::ColumnMoved(int from, int to)
{
    cols_.Move(from, to);
    fixedCols_.Move(from, to);
    cells_.Move(from, to);
    hints_.Move(from, to);
}

void TCellPropertyStore::RowMoved(int from, int to)
{
    rows_.Move(from, to);
    fixedRows_.Move(from, to);
    for (int c = 0; c < cells_.Count(); ++c)
        cells_.Find(c)->Move(from, to);
    for (int c = 0; c < hints_.Count(); ++c)
        hints_.Find(c)->Move(from, to);
}

}  // namespace velmoran::aligned
