// The print copy of tables: the table with its rows and cells copied deeply, and the table and
// caption boxes around it.
#include "html/layout/Blocks.h"
#include "html/layout/SectionList.h"
#include "html/layout/Tables.h"

namespace velmoran {

namespace {

TProperties& NoProperties()
{
    static TProperties props;
    return props;
}

bool PrintsTableBackgrounds(const TSectionList* document)
{
    return document && document->PrintTableBackground;
}

}  // namespace

std::unique_ptr<TCellObj> TCellObj::CreateCopy(TSectionList* document) const
{
    auto c = std::make_unique<TCellObj>(PlaceholderTag{}, RowSpan);
    c->ColSpan = ColSpan;
    c->Wd = Wd;
    c->AsPercent = AsPercent;
    c->SpecHt = SpecHt;
    c->SpecHtPercent = SpecHtPercent;
    c->HorizontalExtra = HorizontalExtra;
    c->VerticalExtra = VerticalExtra;
    c->VAlign = VAlign;
    c->ContentShift = ContentShift;
    c->Padding = Padding;
    c->Border = Border;
    c->BGPosX = BGPosX;
    c->BGPosY = BGPosY;
    c->BreakBefore = BreakBefore;
    c->BreakAfter = BreakAfter;
    c->BreakInside = BreakInside;
    c->BorderStyles = BorderStyles;
    c->BorderColors = BorderColors;
    c->EmSize = EmSize;
    c->ExSize = ExSize;
    c->HasBorderStyle = HasBorderStyle;
    c->CellWidth = CellWidth;
    c->CellHeight = CellHeight;
    c->ContentHeight = ContentHeight;
    c->ContentLeft = ContentLeft;
    if (BGImage && PrintsTableBackgrounds(document)) {
        c->BGImageName = BGImageName;
        c->BGImage = BGImage->CreateCopy(document);
    }
    if (Cell) {
        c->Cell = std::make_unique<TCellObjCell>(document);
        TCellObjCell& to = *c->Cell;
        to.Extra = Cell->Extra;
        to.CellLeft = Cell->CellLeft;
        to.CellTop = Cell->CellTop;
        to.CellRight = Cell->CellRight;
        to.CellBottom = Cell->CellBottom;
        to.CopySectionsFrom(*Cell);
        // The colour prints only with the table backgrounds.
        to.BkGnd = Cell->BkGnd && PrintsTableBackgrounds(document);
    }
    return c;
}

std::unique_ptr<TCellList> TCellList::CreateCopy(TSectionList* document) const
{
    auto r = std::make_unique<TCellList>(nullptr, nullptr);
    r->RowHeight = RowHeight;
    r->SpanHeight = SpanHeight;
    r->SpecRowHeight = SpecRowHeight;
    r->SpecRowHeightPercent = SpecRowHeightPercent;
    r->BkGnd = BkGnd;
    r->BkColor = BkColor;
    r->BkImage = BkImage;
    r->BGPosX = BGPosX;
    r->BGPosY = BGPosY;
    r->BreakBefore = BreakBefore;
    r->BreakAfter = BreakAfter;
    r->BreakInside = BreakInside;
    r->TablePart = TablePart;
    for (const auto& cell : *this)
        r->Add(cell ? cell->CreateCopy(document) : nullptr);
    return r;
}

std::unique_ptr<TSectionBase> ThtmlTable::CreateCopy(TSectionList* document, TCellBasic* /*cell*/) const
{
    TAttributeList none;
    auto t = std::make_unique<ThtmlTable>(document, none, NoProperties());
    CopyBaseTo(*t);
    t->HeaderHeight = HeaderHeight;
    t->HeaderRowCount = HeaderRowCount;
    t->FooterHeight = FooterHeight;
    t->FootStartRow = FootStartRow;
    t->FootOffset = FootOffset;
    t->TableHeader = TableHeader;
    for (const auto& row : Rows)
        t->Rows.Add(row->CreateCopy(document));
    t->BorderWidth = BorderWidth;
    t->HasBorder = HasBorder;
    t->SpecWidth = SpecWidth;
    t->NumCols = NumCols;
    t->TableWidth = TableWidth;
    t->CellPadding = CellPadding;
    t->CellSpacing = CellSpacing;
    t->BorderColorLight = BorderColorLight;
    t->BorderColorDark = BorderColorDark;
    if (PrintsTableBackgrounds(document)) {
        t->BkGnd = BkGnd;
        t->BkColor = BkColor;
    }
    t->ColSpecs = ColSpecs;
    t->DefaultAlign = DefaultAlign;
    t->GridInitialized = GridInitialized;
    t->FixedCellWidths = FixedCellWidths;
    t->TableLeft = TableLeft;
    t->TableHeight = TableHeight;
    const auto n = static_cast<std::size_t>(NumCols);
    t->Widths = Widths;
    t->MaxWidths = MaxWidths;
    t->MinWidths = MinWidths;
    t->Percents = Percents;
    for (auto* v : {&t->Widths, &t->MaxWidths, &t->MinWidths, &t->Percents})
        v->resize(n, 0);
    t->Heights = Heights;
    t->HeightsComputed = HeightsComputed;
    return t;
}

std::unique_ptr<TSectionBase> TTableBlock::CreateCopy(TSectionList* document, TCellBasic* cell) const
{
    TAttributeList none;
    auto c = std::make_unique<TTableBlock>(document, NoProperties(), cell,
                                           std::make_unique<ThtmlTable>(document, none, NoProperties()), none);
    CopyBlockTo(*c);
    c->Table = c->MyCell->Count() > 0 ? dynamic_cast<ThtmlTable*>(c->MyCell->Items(0)) : nullptr;
    c->WidthAttr = WidthAttr;
    c->AsPercent = AsPercent;
    c->Align = Align;
    c->HasBgColor = HasBgColor;
    c->BgColorAttr = BgColorAttr;
    c->BackgroundAttr = BackgroundAttr;
    c->TableShift = TableShift;
    c->HasCaption = HasCaption;
    c->FrameFromBorderAttribute = FrameFromBorderAttribute;
    c->PercentBase = PercentBase;
    return c;
}

std::unique_ptr<TSectionBase> TTableAndCaptionBlock::CreateCopy(TSectionList* document, TCellBasic* cell) const
{
    TAttributeList none;
    auto inner = std::make_unique<TTableBlock>(document, NoProperties(), nullptr,
                                               std::make_unique<ThtmlTable>(document, none, NoProperties()), none);
    auto c = std::make_unique<TTableAndCaptionBlock>(document, NoProperties(), cell, none, std::move(inner));
    CopyBlockTo(*c);
    c->TableBlock = nullptr;
    c->CaptionBlock = nullptr;
    for (const auto& s : *c->MyCell) {
        if (auto* tb = dynamic_cast<TTableBlock*>(s.get()))
            c->TableBlock = tb;
        else if (auto* b = dynamic_cast<TBlock*>(s.get()))
            c->CaptionBlock = b;
    }
    c->TopCaption = TopCaption;
    c->Align = Align;
    return c;
}

}  // namespace velmoran
