// The aligned string grid: a string grid whose cells, columns, rows, fixed columns and fixed rows
// carry their own alignment, word wrap, editability, brushes and fonts, and whose cells carry
// hints. It draws every cell through the canvas with its effective properties, edits cells in
// place under per-cell rules with edit events that fire after the key or mouse handling that
// caused them, moves to the next editable cell in eight directions, keeps its properties in step
// when rows and columns move or are sorted, copies and pastes tab-separated text, and stores its
// texts and properties in a stored form.
#pragma once

#include "controls/AlignedGridProps.h"
#include "controls/GridNavigation.h"
#include "platform/Grid.h"

#include <QPoint>

#include <array>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>

namespace velmoran {

class TFormWriter;
class TFormReader;
class TAlignedGrid;

namespace aligned {

// How the first value relates to the second.
enum t_relation { rel_smaller = 0, rel_equal = 1, rel_greater = 2 };

// Where and how a cell's hint shows.
struct THintInfo {
    QPoint Position;  // screen coordinates of the hint's top-left corner
    TRect CellRect;   // the cell in the viewport
};

}  // namespace aligned

// The in-place editor of the aligned grid: the cell's alignment, the cell being edited (-1 when
// none), whether the edit's first-time work is done and the text the cell had when editing began.
class TNewInplaceEdit : public TInplaceEdit {
public:
    explicit TNewInplaceEdit(TAlignedGrid& grid);

    aligned::TMyAlign Alignment() const { return alignment_; }
    void SetAlignment(aligned::TMyAlign alignment);

    int EditCol = -1;
    int EditRow = -1;
    bool BeforeEditDone = false;
    std::string StartText;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    TAlignedGrid& grid_;
    aligned::TMyAlign alignment_ = aligned::agLeft;
};

class TAlignedGrid : public TStringGrid {
public:
    using TMyAlign = aligned::TMyAlign;
    using T_Wordwrap = aligned::T_Wordwrap;
    using TMyBrush = aligned::TMyBrush;
    using TMyFont = aligned::TMyFont;
    using TPropPlace = aligned::TPropPlace;
    using TPropKind = aligned::TPropKind;

    explicit TAlignedGrid(QWidget* parent = nullptr);
    ~TAlignedGrid() override;

    // --- published properties ---
    TMyAlign Alignment() const { return alignment_; }
    void SetAlignment(TMyAlign value) { Change(alignment_, value); }
    T_Wordwrap Wordwrap() const { return wordwrap_; }
    void SetWordwrap(T_Wordwrap value) { Change(wordwrap_, value); }
    bool Editable() const { return editable_; }
    void SetEditable(bool value) { editable_ = value; }
    // Also the colour of the fixed-cell brush.
    void SetFixedColor(ColorRef color) override;
    ColorRef SelectedCellColor() const { return selectedCellColor_; }
    void SetSelectedCellColor(ColorRef value) { Change(selectedCellColor_, value); }
    ColorRef SelectedFontColor() const { return selectedFontColor_; }
    void SetSelectedFontColor(ColorRef value) { Change(selectedFontColor_, value); }
    bool DrawSelection() const { return drawSelection_; }
    void SetDrawSelection(bool value) { Change(drawSelection_, value); }
    // The colour of the grid font.
    ColorRef FontColor() const { return fontColor_; }
    void SetFontColor(ColorRef value) { Change(fontColor_, value); }
    bool AutoAdjustLastCol() const { return autoAdjustLastCol_; }
    void SetAutoAdjustLastCol(bool value);
    void SetGridLineWidth(int width);
    bool RedrawWhileScroll() const { return (Options() & goThumbTracking) != 0; }
    void SetRedrawWhileScroll(bool value);

    bool ShowCellHints = true;
    bool SelectEditText = true;
    bool EditMultiline = false;
    bool AutoEditNextCell = false;
    aligned::T_nextcell NextCellEdit = aligned::nc_rightdown;
    aligned::T_nextcell NextCellTab = aligned::nc_rightdown;
    aligned::T_lastcell AfterLastCellEdit = aligned::lc_newcolrow;
    aligned::T_lastcell AfterLastCellTab = aligned::lc_first;

    // Internal switches: open the editor on every cell; let cut and paste leave read-only cells
    // alone; take the clipboard keys.
    bool EditEverything = false;
    bool RespectEditability = false;
    bool ClipboardHandling = true;

    // --- events ---
    std::function<void(TAlignedGrid&, int col, int row, std::string& hint, bool& canShow, aligned::THintInfo& info)>
        OnShowHintCell;
    std::function<void(TAlignedGrid&, int col, int row)> OnBeforeEdit;
    std::function<void(TAlignedGrid&, int col, int row)> OnAfterEdit;
    std::function<void(TAlignedGrid&, int col, int row)> OnCancelEdit;
    std::function<void(TAlignedGrid&, int col, int row, bool& result)> OnValidateEdit;
    std::function<aligned::t_relation(TAlignedGrid&, int colrow, int compare1, int compare2)> OnCompareCol;
    std::function<aligned::t_relation(TAlignedGrid&, int colrow, int compare1, int compare2)> OnCompareRow;
    std::function<void(TAlignedGrid&)> OnColWidthsChanged;
    std::function<void(TAlignedGrid&)> OnRowHeightsChanged;
    std::function<void(TAlignedGrid&, int col)> OnFixedColClick;
    std::function<void(TAlignedGrid&, int row)> OnFixedRowClick;
    std::function<void(TAlignedGrid&, Canvas&, int col, int row, const TRect& rect, unsigned state)> OnDrawCell;
    // May change a cell's alignment and word wrap just before its text is drawn.
    std::function<void(TAlignedGrid&, int col, int row, TMyAlign& alignment, T_Wordwrap& wordwrap)> OnAlignCell;

    // --- properties of cells, columns and rows ---
    aligned::TCellPropertyStore& Properties() { return store_; }
    TMyAlign AlignAt(const TPropPlace& place) const;
    void SetAlignAt(const TPropPlace& place, TMyAlign alignment);
    T_Wordwrap WordwrapAt(const TPropPlace& place) const;
    void SetWordwrapAt(const TPropPlace& place, T_Wordwrap wordwrap);
    // True when the place's record says editable; false when not set or not editable.
    bool EditAt(const TPropPlace& place) const;
    void SetEditAt(const TPropPlace& place, bool editable);
    // The place's own brush or font for changing, created on request as a copy of the grid's
    // (its "set" flag 0); without the request the place's own, else the fixed cells', else the
    // grid's.
    TMyBrush* BrushAt(const TPropPlace& place, bool create = true);
    void SetBrushAt(const TPropPlace& place, const TMyBrush* brush);
    TMyFont* FontAt(const TPropPlace& place, bool create = true);
    void SetFontAt(const TPropPlace& place, const TMyFont* font);
    ColorRef ColorAt(const TPropPlace& place);
    void SetColorAt(const TPropPlace& place, ColorRef color) { BrushAt(place)->SetColor(color); }
    // The selected brush's colour (SelectedCellColor when the place has none).
    ColorRef SelectedColorAt(const TPropPlace& place) const;
    void SetSelectedColorAt(const TPropPlace& place, ColorRef color);

    // The names the stored form and the callers use.
    static TPropPlace CellPlace(int c, int r) { return {TPropKind::Cell, c, r}; }
    static TPropPlace ColPlace(int i) { return {TPropKind::Col, i, 0}; }
    static TPropPlace RowPlace(int i) { return {TPropKind::Row, i, 0}; }
    static TPropPlace FixedColPlace(int i) { return {TPropKind::FixedCol, i, 0}; }
    static TPropPlace FixedRowPlace(int i) { return {TPropKind::FixedRow, i, 0}; }
    TMyAlign AlignCell(int c, int r) const { return AlignAt(CellPlace(c, r)); }
    void SetAlignCell(int c, int r, TMyAlign a) { SetAlignAt(CellPlace(c, r), a); }
    void SetAlignCol(int i, TMyAlign a) { SetAlignAt(ColPlace(i), a); }
    void SetAlignRow(int i, TMyAlign a) { SetAlignAt(RowPlace(i), a); }
    void SetFixedAlignCol(int i, TMyAlign a) { SetAlignAt(FixedColPlace(i), a); }
    void SetFixedAlignRow(int i, TMyAlign a) { SetAlignAt(FixedRowPlace(i), a); }
    bool EditCell(int c, int r) const { return EditAt(CellPlace(c, r)); }
    void SetEditCell(int c, int r, bool e) { SetEditAt(CellPlace(c, r), e); }
    void SetEditCol(int i, bool e) { SetEditAt(ColPlace(i), e); }
    void SetEditRow(int i, bool e) { SetEditAt(RowPlace(i), e); }
    TMyBrush* BrushCell(int c, int r, bool create = true) { return BrushAt(CellPlace(c, r), create); }
    TMyBrush* BrushCol(int i, bool create = true) { return BrushAt(ColPlace(i), create); }
    TMyBrush* BrushRow(int i, bool create = true) { return BrushAt(RowPlace(i), create); }
    TMyBrush* BrushFixedCol(int i, bool create = true) { return BrushAt(FixedColPlace(i), create); }
    TMyBrush* BrushFixedRow(int i, bool create = true) { return BrushAt(FixedRowPlace(i), create); }
    TMyFont* FontCell(int c, int r, bool create = true) { return FontAt(CellPlace(c, r), create); }
    TMyFont* FontCol(int i, bool create = true) { return FontAt(ColPlace(i), create); }
    TMyFont* FontRow(int i, bool create = true) { return FontAt(RowPlace(i), create); }
    TMyFont* FontFixedCol(int i, bool create = true) { return FontAt(FixedColPlace(i), create); }
    TMyFont* FontFixedRow(int i, bool create = true) { return FontAt(FixedRowPlace(i), create); }
    ColorRef ColorCell(int c, int r) { return ColorAt(CellPlace(c, r)); }
    void SetColorCell(int c, int r, ColorRef color) { SetColorAt(CellPlace(c, r), color); }
    void SetColorCol(int i, ColorRef color) { SetColorAt(ColPlace(i), color); }
    void SetColorRow(int i, ColorRef color) { SetColorAt(RowPlace(i), color); }
    void SetColorFixedCol(int i, ColorRef color) { SetColorAt(FixedColPlace(i), color); }
    void SetColorFixedRow(int i, ColorRef color) { SetColorAt(FixedRowPlace(i), color); }
    ColorRef SelectedColorCell(int c, int r) const { return SelectedColorAt(CellPlace(c, r)); }
    void SetSelectedColorCell(int c, int r, ColorRef color) { SetSelectedColorAt(CellPlace(c, r), color); }
    void SetSelectedColorCol(int i, ColorRef color) { SetSelectedColorAt(ColPlace(i), color); }
    void SetSelectedColorRow(int i, ColorRef color) { SetSelectedColorAt(RowPlace(i), color); }
    const std::string& HintCell(int c, int r) const { return store_.Hint(c, r); }
    void SetHintCell(int c, int r, const std::string& hint) { store_.SetHint(c, r, hint); }

    // --- a cell's effective values ---
    TMyAlign EffectiveAlign(int col, int row) const;
    T_Wordwrap EffectiveWordwrap(int col, int row) const;
    TMyFont EffectiveFont(int col, int row) const;
    TMyBrush EffectiveBrush(int col, int row) const;
    // Whether the text fits on one line between the margins the drawing leaves in the cell, in
    // the cell's font: a number that does not would show only some of its digits.
    bool TextFits(int col, int row, std::string_view text) const;
    bool IsCellEditable(int col, int row) const;
    ColorRef EffectiveSelectedColor(int col, int row) const;
    ColorRef EffectiveSelectedFontColor(int col, int row) const;

    // --- editing ---
    TNewInplaceEdit* Editor() const;
    // Ends the current edit as Escape does.
    void CancelEdit();
    // Goes to the next cell by a direction and end policy, the cell passing the test.
    void GoToNextCell(aligned::T_nextcell direction, aligned::T_lastcell policy,
                      const std::function<bool(int, int)>& accept);

    // --- maintenance and sorting ---
    // Sorts rows first..last by the texts of a column (columns by a row), with the compare events.
    void SortRows(int col, int first, int last, bool ascending);
    void SortColumns(int row, int first, int last, bool ascending);
    // The deepest recursion of the last sort (for tests).
    int LastSortDepth() const { return sortDepth_; }

    // --- clipboard ---
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    // The cells of a range as tab-separated lines.
    std::string RangeText(const TGridRect& range) const;
    // Fills cells from a tab-separated text from the range's top-left cell, growing the grid where
    // the text reaches beyond it; a negative Right or Bottom is unbounded.
    void PasteText(const std::string& text, TGridRect range);

    // --- hints ---
    // The hint of a cell with its place; false when there is none to show.
    bool CellHint(int col, int row, std::string& hint, aligned::THintInfo& info);

    // --- stored form ---
    void WriteForm(TFormWriter& writer) const;
    // Reads a stored form and completes the loading; EReadError leaves the grid as far as read.
    void ReadForm(TFormReader& reader);
    // Loading is complete: the cell texts read are copied into the cells.
    void Loaded();

    // The cell brush, font and property changes repaint through here.
    void PropertiesChanged() { InvalidateGrid(); }

protected:
    virtual void InitProperties();
    virtual void PrepareCellCanvas(Canvas& canvas, int col, int row, const TRect& rect, unsigned state, TRect& textRect);
    virtual void DrawCellText(Canvas& canvas, int col, int row, const TRect& rect, unsigned state);

    void DrawCell(Canvas& canvas, int col, int row, const TRect& rect, unsigned state) override;
    bool CanEditShow() const override;
    TInplaceEdit* CreateEditor() override;
    void EditorShowing(TInplaceEdit& editor) override;
    void EditorKeyPress(QKeyEvent* event) override;
    bool SelectCell(int col, int row) override;
    void ColumnMoved(int from, int to) override;
    void RowMoved(int from, int to) override;
    void ColWidthsChanged() override;
    void RowHeightsChanged() override;

    // The hints: the viewport's tool-tip events.
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class TNewInplaceEdit;
    // The edit events, run after the handling that caused them.
    enum PostedMessage { kEditCancelled = 3024, kEditEndedByEnter = 3025, kEditEndedByMove = 3026, kBeforeEdit = 3027 };
    void Post(PostedMessage message, int col, int row);
    void HandlePosted(PostedMessage message, int col, int row);
    void EndEdit(int col, int row, bool byEnter);
    // Enter and Escape while a cell is edited.
    bool HandleEditKey(QKeyEvent* event);
    void EditorLeft();
    bool HandleTabKey(QKeyEvent* event);
    bool HandleClipboardKey(QKeyEvent* event);

    // The records a cell's value is looked up in: cell, column (fixed column), row (fixed row).
    std::array<const aligned::TCellProperties*, 3> Chain(int col, int row) const;
    bool IsFixed(int col, int row) const { return col < FixedCols() || row < FixedRows(); }
    TMyFont GridFont() const;
    void AdjustLastCol();
    void QuickSort(bool rows, int colrow, int lo, int hi, bool ascending, int depth);
    void ReadLegacyBinary(const std::string& name, const std::string& bytes);
    bool ReadStoredProperty(const std::string& name, TFormReader& reader);
    bool CellInGrid(const TPropPlace& place) const;
    // A byte of a place's record (none without a record); setting creates the record.
    std::uint8_t ByteAt(const TPropPlace& place, std::uint8_t aligned::TCellProperties::*member, std::uint8_t none) const;
    void SetByteAt(const TPropPlace& place, std::uint8_t aligned::TCellProperties::*member, std::uint8_t value);

    template <typename T>
    void Change(T& member, T value)
    {
        if (member == value)
            return;
        member = value;
        InvalidateGrid();
    }

    aligned::TCellPropertyStore store_;
    TMyAlign alignment_ = aligned::agLeft;
    T_Wordwrap wordwrap_ = aligned::ww_none;
    bool editable_ = true;
    ColorRef selectedCellColor_ = SystemColor(COLOR_ACTIVECAPTION);
    ColorRef selectedFontColor_ = 0xFFFFFF;
    ColorRef fontColor_ = SystemColor(COLOR_WINDOWTEXT);
    bool drawSelection_ = true;
    bool autoAdjustLastCol_ = false;
    TMyFont fixedFont_;
    TMyBrush fixedBrush_;
    // Handed out when a place has no brush or font of its own; changing them changes the grid.
    TMyBrush gridBrush_;
    TMyFont gridFont_;

    bool endPending_ = false;
    bool refocusOnFail_ = false;
    int sortDepth_ = 0;
    TGridCoord hintCell_{-1, -1};

    // Stored-form state.
    bool cellsRead_ = false;
    bool hintsRead_ = false;
    std::map<std::pair<int, int>, std::string> pendingCells_;
};

}  // namespace velmoran
