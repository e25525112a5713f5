// The grid base of the calendars and the string grids: a scroll area of fixed and scrolling cells
// whose viewport our code paints through a canvas. It keeps the counts and sizes, the current
// cell and the selection, scrolls by whole cells while the fixed cells stay, moves by keyboard and
// mouse, and moves rows and columns with their contents. Grids with goEditing edit the current
// cell in place: the in-place editor opens on a typed character, F2, Enter or a double click and
// follows its cell when the grid scrolls.
#pragma once

#include "platform/Canvas.h"
#include "platform/GdiTypes.h"

#include <QAbstractScrollArea>
#include <QPlainTextEdit>

#include <string>
#include <vector>

namespace velmoran {

class Canvas;
class TCustomGrid;

// The in-place editor: a frameless text edit without scroll bars over the cell being edited.
// Single-line unless multi-line is asked for; the keys that move between cells or end the edit
// (Enter, Escape, Tab, up, down, page up and down) go to the grid. Every change of the text is
// handed to the grid at once.
class TInplaceEdit : public QPlainTextEdit {
public:
    explicit TInplaceEdit(TCustomGrid& grid);

    std::string Text() const;
    // Sets the text without telling the grid.
    void SetText(const std::string& text);
    bool Multiline() const { return multiline_; }
    void SetMultiline(bool multiline);
    TCustomGrid& Grid() const { return grid_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // A single-line editor takes pasted line breaks as blanks.
    void insertFromMimeData(const QMimeData* source) override;
    // True when the key goes to the grid rather than into the text.
    virtual bool PassesToGrid(const QKeyEvent& event) const;

private:
    TCustomGrid& grid_;
    bool multiline_ = false;
    bool settingText_ = false;
};

struct TGridCoord {
    int X = 0;  // column
    int Y = 0;  // row
    bool operator==(const TGridCoord&) const = default;
};

// Columns Left..Right and rows Top..Bottom, inclusive.
struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TGridRect&) const = default;
    bool Contains(int col, int row) const { return col >= Left && col <= Right && row >= Top && row <= Bottom; }
};

enum GridOption : unsigned {
    goFixedVertLine = 1u << 0,
    goFixedHorzLine = 1u << 1,
    goVertLine = 1u << 2,
    goHorzLine = 1u << 3,
    goRangeSelect = 1u << 4,
    goDrawFocusSelected = 1u << 5,
    goRowSizing = 1u << 6,
    goColSizing = 1u << 7,
    goRowMoving = 1u << 8,
    goColMoving = 1u << 9,
    goEditing = 1u << 10,
    goTabs = 1u << 11,
    goRowSelect = 1u << 12,
    goAlwaysShowEditor = 1u << 13,
    goThumbTracking = 1u << 14,
};
using GridOptions = unsigned;
constexpr GridOptions kDefaultGridOptions = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;

enum GridDrawState : unsigned { gdSelected = 1, gdFocused = 2, gdFixed = 4 };
enum class TScrollStyle { None, Horizontal, Vertical, Both };

// A grid holds at most this many cells (columns times rows), and neither count goes beyond it:
// counts from a stored form or a paste cannot ask for gigabytes.
constexpr long long kMaxGridCells = 1'000'000;

class TCustomGrid : public QAbstractScrollArea {
public:
    explicit TCustomGrid(QWidget* parent = nullptr);
    ~TCustomGrid() override;

    int ColCount() const { return colCount_; }
    // Counts beyond kMaxGridCells raise EReadError ("Stream-Lesefehler") and change nothing.
    void SetColCount(int count);
    int RowCount() const { return rowCount_; }
    void SetRowCount(int count);
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int count);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int count);

    int DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(int width);
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int height);
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    int RowHeights(int row) const;
    void SetRowHeights(int row, int height);
    int GridLineWidth() const { return gridLineWidth_; }
    void SetGridLineWidth(int width);

    ColorRef Color() const { return color_; }
    void SetColor(ColorRef color);
    ColorRef FixedColor() const { return fixedColor_; }
    virtual void SetFixedColor(ColorRef color);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle style);
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool value);
    GridOptions Options() const { return options_; }
    void SetOptions(GridOptions options);
    const LogicalFont& Font() const { return font_; }
    void SetFont(const LogicalFont& font);

    int Col() const { return current_.X; }
    void SetCol(int col);
    int Row() const { return current_.Y; }
    void SetRow(int row);
    TGridRect Selection() const;
    void SetSelection(const TGridRect& selection);
    TGridCoord Anchor() const { return anchor_; }
    int TopRow() const { return topLeft_.Y; }
    void SetTopRow(int row);
    int LeftCol() const { return topLeft_.X; }
    void SetLeftCol(int col);
    // Whole scrolling cells that fit the viewport below and right of the fixed ones (at least 1).
    int VisibleColCount() const;
    int VisibleRowCount() const;
    bool TabStops(int col) const;
    void SetTabStops(int col, bool stop);

    // Viewport rectangle of a cell without its grid line; empty when the cell is not shown.
    TRect CellRect(int col, int row) const;
    // The cell under a viewport point (a grid line belongs to the cell before it); -1, -1 when none.
    TGridCoord MouseToCell(int x, int y) const;

    void InsertRow(int index);
    void DeleteRow(int index);
    void MoveRow(int from, int to);
    void ExchangeRows(int a, int b);
    void InsertColumn(int index);
    void DeleteColumn(int index);
    void MoveColumn(int from, int to);
    void ExchangeColumns(int a, int b);

    // Moves the current cell as the keyboard does; extend keeps the anchor (range selection).
    void MoveCurrent(int col, int row, bool extend = false);

    // --- editing in place ---
    // True while the editor is open over the current cell.
    bool EditorMode() const { return editing_; }
    void SetEditorMode(bool on) { on ? ShowEditor() : HideEditor(); }
    // Opens the editor over the current cell when CanEditShow allows it.
    void ShowEditor();
    // Closes the editor; its text is already in the cell.
    void HideEditor();
    // The editor, once it was first shown.
    TInplaceEdit* InplaceEditor() const { return editor_; }

protected:
    // Whether the editor may open over the current cell.
    virtual bool CanEditShow() const;
    virtual std::string GetEditText(int /*col*/, int /*row*/) const { return {}; }
    virtual void SetEditText(int /*col*/, int /*row*/, const std::string& /*text*/) {}
    // Makes the editor (a child of the viewport, owned by it).
    virtual TInplaceEdit* CreateEditor();
    // Before the editor shows over the current cell, its text already set.
    virtual void EditorShowing(TInplaceEdit& /*editor*/) {}
    // A key the editor passed on; the grid takes it as its own.
    virtual void EditorKeyPress(QKeyEvent* event) { keyPressEvent(event); }
    // Puts the editor over its cell (out of sight while the cell is scrolled away).
    void PlaceEditor();
    // Deletes the editor, so that it never outlives the grid's own part of it.
    void DestroyEditor();
    void mouseDoubleClickEvent(QMouseEvent* event) override;

    virtual void DrawCell(Canvas& canvas, int col, int row, const TRect& rect, unsigned state);
    // Asked before the current cell moves; false refuses the move.
    virtual bool SelectCell(int col, int row);
    virtual void TopLeftChanged() {}
    virtual void ColumnMoved(int /*from*/, int /*to*/) {}
    virtual void RowMoved(int /*from*/, int /*to*/) {}
    // The counts changed (old counts given); also the place for grids that keep cell contents.
    virtual void SizeChanged(int /*oldColCount*/, int /*oldRowCount*/) {}
    virtual void ColWidthsChanged() {}
    virtual void RowHeightsChanged() {}
    // The whole grid repaints.
    void InvalidateGrid();
    void InvalidateCell(int col, int row);

    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool focusNextPrevChild(bool next) override;

private:
    // F2, Enter, Escape and typed characters while the grid edits; true when taken.
    bool HandleEditingKey(QKeyEvent* event);
    int LineWidthAfterCol(int col) const;
    int LineWidthAfterRow(int row) const;
    // Left edges of the visible columns (fixed first, then from LeftCol); -1 when hidden.
    int ColLeft(int col) const;
    int RowTop(int row) const;
    void ChangeCounts(int cols, int rows);
    void ClampPositions();
    void ScrollIntoView(int col, int row);
    void SetTopLeft(int col, int row);
    void UpdateScrollBars();
    int MaxTopRow() const;
    int VisibleColCountFrom(int left) const;
    int VisibleRowCountFrom(int top) const;
    int MaxLeftCol() const;

    int colCount_ = 5;
    int rowCount_ = 5;
    int fixedCols_ = 1;
    int fixedRows_ = 1;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 24;
    std::vector<int> colWidths_;
    std::vector<int> rowHeights_;
    std::vector<bool> tabStops_;
    int gridLineWidth_ = 1;
    ColorRef color_;
    ColorRef fixedColor_;
    TScrollStyle scrollBars_ = TScrollStyle::Both;
    bool defaultDrawing_ = true;
    GridOptions options_ = kDefaultGridOptions;
    LogicalFont font_;
    TGridCoord current_{1, 1};
    TGridCoord anchor_{1, 1};
    TGridCoord topLeft_{1, 1};
    bool updatingScrollBars_ = false;
    bool selecting_ = false;
    int sizingCol_ = -1;
    int sizingRow_ = -1;
    int sizingStart_ = 0;
    int sizingOrigin_ = 0;
    TInplaceEdit* editor_ = nullptr;
    bool editing_ = false;
    // The text the cell had when the editor opened, for Escape.
    std::string editStartText_;

    friend class TInplaceEdit;
};

// A grid with a text and an object per cell; both move with their rows and columns.
class TStringGrid : public TCustomGrid {
public:
    explicit TStringGrid(QWidget* parent = nullptr);

    const std::string& Cells(int col, int row) const;
    void SetCells(int col, int row, const std::string& text);
    void* Objects(int col, int row) const;
    void SetObjects(int col, int row, void* object);

protected:
    std::string GetEditText(int col, int row) const override { return Cells(col, row); }
    void SetEditText(int col, int row, const std::string& text) override { SetCells(col, row, text); }
    void DrawCell(Canvas& canvas, int col, int row, const TRect& rect, unsigned state) override;
    void ColumnMoved(int from, int to) override;
    void RowMoved(int from, int to) override;
    void SizeChanged(int oldColCount, int oldRowCount) override;

private:
    struct Cell {
        std::string Text;
        void* Object = nullptr;
    };
    // [row][col], sized with the counts.
    std::vector<std::vector<Cell>> cells_;
};

}  // namespace velmoran
