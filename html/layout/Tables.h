// Tables as the parser builds them: the table section with its COL column settings and rows,
// each row a list of cell objects whose content is a cell of sections.
#pragma once

#include "html/layout/Cells.h"
#include "platform/GdiTypes.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmoran {

class Canvas;
class TCellObj;

// How a table reaches the content of its cells: measuring, laying out and painting the cell of
// sections inside a TD. The document's cells do it by default; tests put in cells of given sizes.
class TCellContentOps {
public:
    virtual ~TCellContentOps() = default;
    virtual void MinMaxWidth(Canvas& canvas, TCellObj& cell, int& minWidth, int& maxWidth) = 0;
    // Lays the content out at (x, y) in width and returns its height.
    virtual int Layout(Canvas& canvas, TCellObj& cell, int x, int y, int width, int height, int& curs) = 0;
    virtual void Paint(Canvas& canvas, TCellObj& cell, const TRect& clip, int x, int y) = 0;
    virtual bool HasContent(const TCellObj& cell) const;
    // Moves content laid out at (0, 0) from document position 0 down by dy and on by dcurs, as a
    // layout in that place would have put it, and returns its height there; false (nothing moved)
    // when the content must be laid out again in place.
    virtual bool Shift(TCellObj& /*cell*/, int /*dy*/, int /*dcurs*/, int& /*height*/) { return false; }
    // Whether the content, which cannot be moved once laid out (it holds tables), lays out the same
    // wherever it is placed, only moved, and so may be laid out in its place to find the row heights.
    virtual bool LaysOutInPlace(const TCellObj& /*cell*/) const { return false; }
    // Whether laying the content out at the given width in a box of height a gives what a box of
    // height b gives.
    virtual bool SameInHeights(const TCellObj& /*cell*/, int /*width*/, int /*a*/, int /*b*/) const { return false; }
};

// The operations every table uses unless told otherwise.
TCellContentOps& DefaultCellContentOps();

// The part record the print loop reads from the outermost table with header or footer rows.
struct TTablePartRec {
    std::uint8_t TablePart = 0;  // 0 normal, 1 header, 2 body, 3 body after header, 4 footer done, 5 footer
    int PartStart = 0;
    int PartHeight = 0;
    int FootHeight = 0;
};

// The width and alignment one COL element gives its column.
struct TColObj {
    int ColWidth = 0;
    bool AsPercent = false;
    std::string ColAlign;
    std::uint8_t ColVAlign = 0;  // 0 none, else as TCellObj::VAlign
};

// The spans a cell may ask for, as the HTML standard bounds them; larger values are read as these.
constexpr int kMaxColSpan = 1000;
constexpr int kMaxRowSpan = 65534;

// One TD or TH.
class TCellObj {
public:
    TCellObj(TSectionList* document, const TAttributeList& attributes, TProperties& props, int vAlign);
    // A placeholder for a column or row that a spanning cell covers: column span 0, no content.
    struct PlaceholderTag {};
    TCellObj(PlaceholderTag, int rowSpan) : ColSpan(0), RowSpan(rowSpan) {}

    int ColSpan = 1;
    int RowSpan = 1;
    int Wd = 0;                  // pixels, or per mille with AsPercent
    bool AsPercent = false;
    int SpecHt = 0;
    int SpecHtPercent = 0;
    int HorizontalExtra = 0, VerticalExtra = 0;
    int VAlign = 2;              // 1 top, 2 middle, 3 baseline, 4 bottom
    int ContentShift = 0;
    std::array<int, 4> Padding{-1, -1, -1, -1};
    std::array<int, 4> Border{0, 0, 0, 0};
    std::string BGImageName;
    std::unique_ptr<TImageObj> BGImage;
    PositionRec BGPosX, BGPosY;
    bool BreakBefore = false, BreakAfter = false, BreakInside = false;
    std::unique_ptr<TCellObjCell> Cell;
    // The border styles and colours of a cell with its own border style, in the order the frame
    // is drawn: left, top, right, bottom.
    std::array<int, 4> BorderStyles{};
    std::array<TColor, 4> BorderColors{};
    int EmSize = 16, ExSize = 8;
    bool HasBorderStyle = false;

    // Cell padding defaults of the table and the extras they give.
    void ApplyCellSpacing(int defaultPadding, bool hasTableBorder);
    // Places the content in the cell height (vertical alignment) and lays it out.
    // (x, y) is the top left of the cell box, width its width; the box is the cell height less the
    // spacing above it.
    void LayoutCellContent(Canvas& canvas, TCellContentOps& ops, int y, int x, int& curs, int width, int spacing);
    // Background, content and frame of the cell at (x, y) in document coordinates.
    void PaintCellObj(Canvas& canvas, TCellContentOps& ops, const TRect& clip, int x, int y, int cellSpacing,
                      bool hasTableBorder, TColor light, TColor dark);

    // The tiles of the background picture in the rows dt .. dt + dh of the padding box.
    void DrawBackgroundImage(Canvas& canvas, const TRect& paddingBox, int dt, int dh);
    // The print copy: content copied, the background image only when table backgrounds print.
    std::unique_ptr<TCellObj> CreateCopy(TSectionList* document) const;

    int CellWidth = 0;           // the widths of the columns it spans (one cell spacing included)
    int ContentLeft = 0;         // X of the content in the table's layout frame
    // The content's least and widest widths, measured once per document layout.
    int MinMaxStamp = -1, ContentMin = 0, ContentMax = 0;
    // The content width of the layout at (0, 0) that found the row heights, -1 when none waits to
    // be moved into place.
    int LaidOutAtOriginWidth = -1;
    // The layout in place that found the row heights, kept for the layout in place that follows:
    // the content width (-1 when none), where it was laid out and the box height it was given.
    struct InPlaceLayout {
        int Width = -1, Y = 0, Curs = 0, BoxHeight = 0, Height = 0;
    } LaidOutInPlace;
    int CellHeight = 0;          // the height of the rows it spans, set by the table layout
    int ContentHeight = 0;       // the laid-out height of its content
    bool IsPlaceholder() const { return ColSpan == 0; }
};

// One table row.
class TCellList : public TFreeList<TCellObj> {
public:
    TCellList(const TAttributeList* attributes, TProperties* props);
    // Appends a cell; a non-empty cell takes the row's page breaks and specified height.
    void AddCell(std::unique_ptr<TCellObj> cell);
    std::unique_ptr<TCellList> CreateCopy(TSectionList* document) const;

    int RowHeight = 0;
    int SpanHeight = 0;
    int SpecRowHeight = 0;
    int SpecRowHeightPercent = 0;
    bool BkGnd = false;
    TColor BkColor = NoColor;
    std::string BkImage;
    PositionRec BGPosX, BGPosY;
    bool BreakBefore = false, BreakAfter = false, BreakInside = false;
    std::uint8_t TablePart = 1;  // 0 header, 1 body, 2 footer
};

class ThtmlTable : public TSectionBase {
public:
    ThtmlTable(TSectionList* document, const TAttributeList& attributes, TProperties& props);
    void AddColumnSpec(int width, bool isPercent, const std::string& align, std::uint8_t vAlign);
    int ColumnSpecCount() const { return static_cast<int>(ColSpecs.size()); }

    int HeaderHeight = 0, HeaderRowCount = 0, FooterHeight = 0, FootStartRow = -1, FootOffset = 0;
    bool TableHeader = false;    // repeat parts
    TFreeList<TCellList> Rows;
    int BorderWidth = 0;
    bool HasBorder = false;      // a BORDER attribute was given
    int SpecWidth = 0;
    int NumCols = 0;
    int TableWidth = 0;
    int CellPadding = 1;
    int CellSpacing = 2;
    TColor BorderColorLight;
    TColor BorderColorDark;
    bool BkGnd = false;
    TColor BkColor = NoColor;
    std::vector<TColObj> ColSpecs;
    std::string DefaultAlign;    // the enclosing text-align ("center", "right") cells start from

    // --- layout and painting ---
    // Builds the grid once: spans become placeholders, trailing empty columns go.
    void InitializeCellSpecs();
    // The table's least and widest widths (cell spacing included).
    void GetMinMaxWidth(Canvas& canvas, int& minWidth, int& maxWidth) override;
    int LayoutSection(Canvas& canvas, int x, int& curs, int& maxWidth, IndentManagerBasic& indents, int fallbackHeight,
                      int containingHeight, int availWidth, int refX, int refY, int y) override;
    int PaintSection(Canvas& canvas, const TRect& clip, IndentManagerBasic& indents, int x, int xRef,
                     int yRef) override;
    // The rows with the cell spacing around them (page cuts fall half of it off a row).
    TYBand PaintBand() override;
    void AddToPositionList() override;
    // Rows and cells copied deeply with the settings and the laid-out widths; a new part record.
    std::unique_ptr<TSectionBase> CreateCopy(TSectionList* document, TCellBasic* cell) const override;
    // Queries hand the point to the cell whose columns and rows hold it; searches and the
    // selection visit rows first to last and cells left to right.
    int GetUrlAt(Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& url, std::string& title) override;
    int FindCursorAt(Canvas& canvas, int x, int y, int& lineHeight, int& baseline, bool& inText) override;
    bool CursorToPoint(Canvas& canvas, int cursor, int& x, int& y) override;
    int FindTextForward(const std::u16string& pattern, int from, bool matchCase) override;
    int FindTextBackward(const std::u16string& pattern, int from, bool matchCase) override;
    void CopySelectedText(SelTextCount& buffer) override;
    int FindSourcePos(int docPos) override;
    // Forward over rows and cells, or backward (rows last to first, cells right to left) with prev.
    int FindDocPos(int sourcePos, bool prev) override;
    void AddTextSections(std::vector<TSection*>& sections) override;
    bool CharAt(int pos, char16_t& ch, TFontObj*& font, TSectionBase*& section) override;
    // Lays the table out at (x, y); fallbackHeight is the height the table box gives. Returns the height.
    int LayoutTable(Canvas& canvas, int x, int y, int availWidth, int fallbackHeight, int& curs, int& maxWidth);
    // Paints the rows that meet the clip rectangle; returns the Y below the table.
    int PaintTable(Canvas& canvas, const TRect& clip, int x, int y);

    TCellContentOps* ContentOps = nullptr;  // not owned; the default when null
    // Grid slots made and cells visited by the grid and the width and height passes: the work a
    // table costs, which follows its cells and not their spans.
    std::int64_t CellsVisited = 0;
    // Cells of columns beyond the grid's placeholder budget: kept (the document's names and links
    // may point into them) but neither laid out nor painted.
    std::vector<std::unique_ptr<TCellObj>> LeftOut;
    TTablePartRec TablePartRec;
    bool GridInitialized = false;
    bool FixedCellWidths = false;
    int TableLeft = 0;
    int TableHeight = 0;
    std::vector<int> Widths, MaxWidths, MinWidths, Percents, Heights;
    bool HeightsComputed = false;
    int PageBottomAtCut = 0;
    // How often the cells were put in the order of a span: once per span kind once the grid is made.
    int SpanOrdersMade = 0;

private:
    struct PlacedCell {
        TCellObj* Cell;
        int Row, Col;
    };
    TCellContentOps& Ops() const { return ContentOps ? *ContentOps : DefaultCellContentOps(); }
    std::vector<PlacedCell> CellsBySpan(int TCellObj::*span);
    // The cells by column span and by row span, kept once the grid is made.
    std::vector<PlacedCell> byColSpan_, byRowSpan_;
    bool spanOrdersKept_ = false;
    // The column widths of the last two passes over the cells (kind 1 pixels, 2 percents, 3
    // percents of a table with a width of its own; for a table width: the table's box asks
    // without one, its layout with one), kept for the rest of
    // the document's layout: the tables around this one ask for them again at every level, and
    // the cells' widths do not change within one layout.
    struct KeptWidths {
        int Stamp = 0, Kind = 0, TableWidth = 0;
        std::vector<int> Min, Max, Percents;
        int TableMin = 0, TableMax = 0;
    };
    std::array<KeptWidths, 2> keptWidths_;
    bool ColumnWidthsKept(int kind, int tableWidth, int& tableMin, int& tableMax);
    void KeepColumnWidths(int kind, int tableWidth, int tableMin, int tableMax);
    void ForEachCell(const std::function<void(TCellObj&, int row, int col)>& fn);
    // The cells span by span, narrowest first (span is &TCellObj::ColSpan or &TCellObj::RowSpan), so
    // that a spanning cell finds the columns or rows it covers sized by the cells within them.
    // The order is worked out once per table (the grid does not change once it is made), not at
    // every layout of an enclosing table.
    void ForEachCellBySpan(int TCellObj::*span, const std::function<void(TCellObj&, int row, int col, int span)>& fn);
    // The cells by column span with their least and widest widths: content plus padding, border
    // and spacing, raised to the pixel width a cell asks for.
    void ForEachCellWidth(Canvas& canvas,
                          const std::function<void(TCellObj&, int col, int span, int minWidth, int maxWidth)>& fn);
    void CellMinMax(Canvas& canvas, TCellObj& cell, int& minWidth, int& maxWidth);
    // The cell whose box holds a point of the table (layout X, document Y), or null.
    TCellObj* CellAt(int x, int y) const;
    void MinMaxPixels(Canvas& canvas, int& tableMin, int& tableMax);
    void MinMaxPercents(Canvas& canvas, int tableWidth, int& tableMin, int& tableMax);
    void WidthsPixels(int width, int tableMin, int tableMax);
    void WidthsSpecified(int width);
    void WidthsUnspecified(int width, int tableMin, int tableMax);
    void MinToMaxDistribution(int width, int tableMin, int tableMax);
    void FindRowHeights(Canvas& canvas, int boxHeight);
    // Lays the first cell out in its place to find its height, where its content allows; left is
    // the cell's edge within the table.
    bool LayOutInPlace(Canvas& canvas, TCellObj& cell, int left, int contentWidth, int contentBox);
    int PaintRow(Canvas& canvas, const TRect& clip, int row, int x, int y, int& b);
    int PaintRows(Canvas& canvas, const TRect& clip, int x, int y, int& b, int firstRow, int endRow);
    void PaintParts(Canvas& canvas, const TRect& clip, int x, int y, int& b);
};

}  // namespace velmoran
