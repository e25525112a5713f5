// Tables as the parser builds them: the table section with its column specifications and rows,
// each row a list of cell objects whose content is a cell of sections.
#pragma once

#include "html/layout/Cells.h"

#include <memory>
#include <string>
#include <vector>

namespace velmoran {

// One COL specification.
struct TColObj {
    int ColWidth = 0;
    bool AsPercent = false;
    std::string ColAlign;
    std::uint8_t ColVAlign = 0;  // 0 none, else as TCellObj::VAlign
};

// One TD or TH.
class TCellObj {
public:
    TCellObj(TSectionList* document, const TAttributeList& attributes, TProperties& props, int vAlign);

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
    std::array<PropValue, PropCount> MargArrayO;
    std::array<int, PropCount> MargArray{};
    int EmSize = 16, ExSize = 8;
    bool HasBorderStyle = false;
};

// One table row.
class TCellList : public TFreeList<TCellObj> {
public:
    TCellList(const TAttributeList* attributes, TProperties* props);
    // Appends a cell; a non-empty cell takes the row's page breaks and specified height.
    void AddCell(std::unique_ptr<TCellObj> cell);

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
};

}  // namespace velmoran
