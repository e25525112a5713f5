// The cell properties of the aligned grid: the brush and font value classes that tell the grid when
// they change, the property record a cell, column, row, fixed column or fixed row can carry, and the
// store of the grid's owning record lists and hint texts, kept in step when rows and columns move.
// A record is written to a stored form as tagged values ending with tag 0.
#pragma once

#include "platform/Canvas.h"
#include "platform/GdiTypes.h"
#include "platform/SystemColors.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmoran {
class TFormWriter;
class TFormReader;
}  // namespace velmoran

namespace velmoran::aligned {

enum TMyAlign : std::uint8_t { agRight = 0, agLeft = 1, agCenter = 2, agDefault = 3 };
enum T_Wordwrap : std::uint8_t { ww_none = 0, ww_wordwrap = 1, ww_ellipsis = 2, ww_default = 3 };

// Font style bits as a stored form keeps them.
enum TFontStyleBit : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
enum TFontPitch : int { fpDefault = 0, fpVariable = 1, fpFixed = 2 };

// Brush styles as a stored form numbers them.
enum TBrushStyle : int { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

// A brush whose every change sets its "set" flag and calls the change handler.
class TMyBrush {
public:
    ColorRef Color() const { return color_; }
    void SetColor(ColorRef color);
    // How the brush draws: solid, not at all (clear), or a hatch pattern.
    BrushStyle Style() const;
    void SetStyle(BrushStyle style);
    TBrushStyle StoredStyle() const { return style_; }
    void SetStoredStyle(TBrushStyle style);
    // The canvas brush in this style and colour; a hatch draws its lines in the colour on the
    // window colour.
    Brush ToBrush(ColorRef color) const;
    std::uint8_t IsSet() const { return set_; }
    void SetSet(std::uint8_t set) { set_ = set; }
    // Takes colour and style (a change like any other).
    void Assign(const TMyBrush& source);

    std::function<void()> OnChange;

private:
    void Changed();
    ColorRef color_ = 0xFFFFFF;
    TBrushStyle style_ = bsSolid;
    std::uint8_t set_ = 0;
};

// A font whose every change sets its "set" flag and calls the change handler. The height is in
// pixels: negative gives the character height, positive the cell height.
class TMyFont {
public:
    const std::string& Name() const { return name_; }
    void SetName(const std::string& name);
    int Height() const { return height_; }
    void SetHeight(int height);
    int Pitch() const { return pitch_; }
    void SetPitch(int pitch);
    unsigned Style() const { return style_; }
    void SetStyle(unsigned style);
    ColorRef Color() const { return color_; }
    void SetColor(ColorRef color);
    std::uint8_t IsSet() const { return set_; }
    void SetSet(std::uint8_t set) { set_ = set; }
    void Assign(const TMyFont& source);

    LogicalFont ToLogicalFont() const;
    // The font's values from a logical font and a colour, without the change handler.
    static TMyFont From(const LogicalFont& font, ColorRef color);

    std::function<void()> OnChange;

private:
    void Changed();
    std::string name_ = "MS Sans Serif";
    int height_ = -11;
    int pitch_ = fpDefault;
    unsigned style_ = 0;
    ColorRef color_ = SystemColor(COLOR_WINDOWTEXT);
    std::uint8_t set_ = 0;
};

// A brush (colour, style) and a font (colour, height, name, pitch, style) as stored forms hold
// them; EReadError when the values are not there.
TMyBrush ReadBrush(TFormReader& reader);
TMyFont ReadFont(TFormReader& reader);

class TCellPropertyStore;

// One record of properties. Alignment and word wrap at their defaults, editable 0 and no brush or
// font make it empty.
class TCellProperties {
public:
    explicit TCellProperties(TCellPropertyStore* owner) : owner_(owner) {}
    virtual ~TCellProperties() = default;

    std::uint8_t Align = agDefault;
    std::uint8_t Wordwrap = ww_default;
    // 0 not set, 1 not editable, 2 editable.
    std::uint8_t Editable = 0;

    TMyBrush* Brush() const { return brush_.get(); }
    TMyBrush* SelectedBrush() const { return selectedBrush_.get(); }
    TMyFont* Font() const { return font_.get(); }
    TMyFont* SelectedFont() const { return selectedFont_.get(); }
    // No source frees the object; otherwise it is created when absent and takes the source's
    // values and "set" flag, with the owner's change handler.
    void SetBrush(const TMyBrush* source) { SetObject(brush_, source); }
    void SetSelectedBrush(const TMyBrush* source) { SetObject(selectedBrush_, source); }
    void SetFont(const TMyFont* source) { SetObject(font_, source); }
    void SetSelectedFont(const TMyFont* source) { SetObject(selectedFont_, source); }

    virtual void Write(TFormWriter& writer) const;
    // Applies one tagged value; unknown tags read nothing.
    virtual void ReadTag(int tag, TFormReader& reader);
    // From none: back to the defaults, all objects freed.
    virtual void Assign(const TCellProperties* source);
    virtual bool IsEmpty() const;
    virtual std::unique_ptr<TCellProperties> Clone() const;

    // Reads tags until tag 0.
    void Read(TFormReader& reader);
    TCellPropertyStore* Owner() const { return owner_; }

private:
    template <typename T>
    void SetObject(std::unique_ptr<T>& slot, const T* source);

    TCellPropertyStore* owner_;
    std::unique_ptr<TMyBrush> brush_;
    std::unique_ptr<TMyBrush> selectedBrush_;
    std::unique_ptr<TMyFont> font_;
    std::unique_ptr<TMyFont> selectedFont_;
};

// A list indexed by column or row whose items may be absent; storing beyond its end first appends
// empty entries.
template <typename T>
class TIndexedList {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    const T* Find(int index) const { return index >= 0 && index < Count() ? &items_[index] : nullptr; }
    T* Find(int index) { return index >= 0 && index < Count() ? &items_[index] : nullptr; }
    // The slot at index (0 or more), appended when needed.
    T& Slot(int index)
    {
        if (index >= Count())
            items_.resize(index + 1);
        return items_[index];
    }
    // Moves the entry at from to to, the entries between shifting by one.
    void Move(int from, int to);

private:
    std::vector<T> items_;
};

using TRecordList = TIndexedList<std::unique_ptr<TCellProperties>>;

// Where a record lives: a cell, or a column, row, fixed column or fixed row by index.
enum class TPropKind { Cell, Col, Row, FixedCol, FixedRow };
struct TPropPlace {
    TPropKind Kind = TPropKind::Cell;
    int Index = 0;  // the column, or the line's index
    int Row = 0;    // cells only
};

// Indices of records and hints lie in 0..kMaxPropIndex (stored forms keep 16 bits).
constexpr int kMaxPropIndex = 65535;

// The grid's record lists and hint texts, all owned.
class TCellPropertyStore {
public:
    // changed: repaints the grid after a brush or font of a record changed.
    explicit TCellPropertyStore(std::function<void()> changed);

    TCellProperties* Find(const TPropPlace& place) const;
    // The record at a place, created (of the record class) when absent; nullptr outside the
    // index range.
    TCellProperties* Obtain(const TPropPlace& place);
    // Replaces the record at a place; the previous one is handed back.
    std::unique_ptr<TCellProperties> Put(const TPropPlace& place, std::unique_ptr<TCellProperties> record);
    // A new, empty record of the record class.
    std::unique_ptr<TCellProperties> NewRecord();
    // The class of the records made on demand and by reading (default TCellProperties).
    std::function<std::unique_ptr<TCellProperties>(TCellPropertyStore*)> RecordClass;

    const std::string& Hint(int col, int row) const;
    void SetHint(int col, int row, const std::string& text);

    void ColumnMoved(int from, int to);
    void RowMoved(int from, int to);

    // The handler the brushes and fonts of the records call.
    void Changed() const
    {
        if (changed_)
            changed_();
    }
    const std::function<void()>& ChangeHandler() const { return changed_; }

private:
    static bool InRange(int index) { return index >= 0 && index <= kMaxPropIndex; }
    TRecordList* LineList(TPropKind kind);
    const TRecordList* LineList(TPropKind kind) const;

    std::function<void()> changed_;
    TIndexedList<TRecordList> cells_;  // by column, then row
    TRecordList cols_;
    TRecordList rows_;
    TRecordList fixedCols_;
    TRecordList fixedRows_;
    TIndexedList<TIndexedList<std::string>> hints_;  // by column, then row
};

}  // namespace velmoran::aligned
