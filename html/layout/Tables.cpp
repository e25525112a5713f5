// Tables, rows and cell objects as the parser creates them; see Tables.h.
#include "html/layout/Tables.h"

#include "html/base/HtmlSymbols.h"
#include "html/base/WideText.h"

#include <algorithm>

namespace velmoran {

namespace {
constexpr TColor kBtnHighlight = kSystemColorBase + 20;
constexpr TColor kBtnShadow = kSystemColorBase + 16;
}  // namespace

ThtmlTable::ThtmlTable(TSectionList* document, const TAttributeList& attributes, TProperties& props)
    : TSectionBase(document), BorderColorLight(kBtnHighlight), BorderColorDark(kBtnShadow)
{
    for (const auto& a : attributes) {
        TColor c = 0;
        switch (a->Which) {
        case BorderSy:
            HasBorder = true;
            BorderWidth = a->Name.empty() ? 1 : std::min(100, std::max(0, a->Value));
            break;
        case CellPaddingSy:
            if (a->Value >= 0)
                CellPadding = std::min(50, a->Value);
            break;
        case CellSpacingSy:
            if (a->Value >= -1)
                CellSpacing = std::min(40, a->Value);
            break;
        case BorderColorSy:
            if (ParseColor(a->Name, false, c))
                BorderColorLight = BorderColorDark = c;
            break;
        case BorderColorLightSy:
            if (ParseColor(a->Name, false, c))
                BorderColorLight = c;
            break;
        case BorderColorDarkSy:
            if (ParseColor(a->Name, false, c))
                BorderColorDark = c;
            break;
        default:
            break;
        }
    }
    if (props.IsCollapsed())
        CellSpacing = -1;
}

void ThtmlTable::AddColumnSpec(int width, bool isPercent, const std::string& align, std::uint8_t vAlign)
{
    ColSpecs.push_back({width, isPercent, align, vAlign});
}

TCellList::TCellList(const TAttributeList* attributes, TProperties* props)
{
    if (attributes)
        for (const auto& a : *attributes) {
            TColor c = 0;
            switch (a->Which) {
            case BGColorSy:
                if (ParseColor(a->Name, false, c)) {
                    BkGnd = true;
                    BkColor = c;
                }
                break;
            case BackgroundSy:
                BkImage = a->FileName();
                break;
            case HeightSy:
                if (Contains(a->Name, "%"))
                    SpecRowHeightPercent = std::clamp(a->Value, 0, 100);
                else
                    SpecRowHeight = ClampLength(std::max(0, a->Value));
                break;
            default:
                break;
            }
        }
    if (props) {
        const TColor own = props->GetOwnBackgroundColor();
        if (own != NoColor) {
            BkGnd = true;
            BkColor = own;
        }
        std::string url;
        if (props->GetBackgroundImage(url) && !url.empty())
            BkImage = url;
        props->GetBackgroundPos(0, 0, BGPosX, BGPosY);
        props->GetPageBreaks(BreakBefore, BreakAfter, BreakInside);
    }
}

void TCellList::AddCell(std::unique_ptr<TCellObj> cell)
{
    if (cell) {
        cell->BreakBefore = cell->BreakBefore || BreakBefore;
        cell->BreakAfter = cell->BreakAfter || BreakAfter;
        cell->BreakInside = cell->BreakInside || BreakInside;
        if (SpecRowHeight > 0)
            cell->SpecHt = std::max(cell->SpecHt, SpecRowHeight);
        else if (SpecRowHeightPercent > 0)
            cell->SpecHtPercent = std::max(cell->SpecHtPercent, SpecRowHeightPercent);
    }
    Add(std::move(cell));
}

TCellObj::TCellObj(TSectionList* document, const TAttributeList& attributes, TProperties& props, int vAlign)
    : VAlign(vAlign), Cell(std::make_unique<TCellObjCell>(document))
{
    TCellObjCell::TitleAndLink extra{props.PropTitle, {}, {}};
    Cell->OwnerTag = props.PropTag;
    for (const auto& a : attributes) {
        TColor c = 0;
        switch (a->Which) {
        case ColSpanSy:
            if (a->Value > 1)
                ColSpan = std::min(a->Value, kMaxColSpan);
            break;
        case RowSpanSy:
            if (a->Value > 1)
                RowSpan = std::min(a->Value, kMaxRowSpan);
            break;
        case WidthSy: {
            const TSizeAttribute size = ReadSizeAttribute(*a, 1);
            if (size.Given == TSizeAttribute::Percent) {
                Wd = size.Value * 10;
                AsPercent = true;
            } else if (size.Given == TSizeAttribute::Pixels && size.Value > 0) {
                Wd = ClampLength(size.Value);
                AsPercent = false;
            }
            break;
        }
        case HeightSy:
            if (Contains(a->Name, "%"))
                SpecHtPercent = std::clamp(a->Value, 0, 100);
            else
                SpecHt = ClampLength(a->Value);
            break;
        case BGColorSy:
            if (ParseColor(a->Name, false, c)) {
                Cell->BkGnd = true;
                Cell->BkColor = c;
            }
            break;
        case BackgroundSy:
            BGImageName = a->FileName();
            break;
        case HrefSy:
            extra.Url = a->Address();
            break;
        case TargetSy:
            extra.Target = a->Name;
            break;
        default:
            break;
        }
    }
    if (!extra.Title.empty() || !extra.Url.empty() || !extra.Target.empty())
        Cell->Extra = std::make_shared<const TCellObjCell::TitleAndLink>(std::move(extra));
    int va = 0;
    if (props.GetVertAlign(va) && (va == 1 || va == 2 || va == 4))
        VAlign = va;
    EmSize = props.EmSize;
    ExSize = props.ExSize;
    HasBorderStyle = props.HasBorderStyle();
    // The converted box values are read here, and kept only as far as the frame needs them; a cell
    // with no width, height or border style of its own needs none of them.
    auto unset = [&](int index) {
        const PropValue& v = props.Props[static_cast<std::size_t>(index)];
        return v.IsEmpty() || (v.IsInt() && v.Int() == UnsetInteger);
    };
    std::array<int, PropCount> m{};
    m[piWidth] = AutoLength;
    int autos = 0;
    if (HasBorderStyle || !unset(piWidth) || !unset(piHeight))
        m = ConvMargArray(props.Props, 100, 0, EmSize, ExSize, autos);
    if (m[piWidth] > 0 && m[piWidth] != AutoLength) {
        const PropValue& w = props.Props[piWidth];
        if (w.IsText() && Contains(w.Text(), "%")) {
            if (m[piWidth] < 100) {
                Wd = m[piWidth] * 10;
                AsPercent = true;
            }
        } else {
            Wd = m[piWidth];
            AsPercent = false;
        }
    }
    if (m[piHeight] > 0)
        SpecHt = m[piHeight];
    const TColor bg = props.GetOwnBackgroundColor();
    if (bg != NoColor) {
        Cell->BkGnd = true;
        Cell->BkColor = bg;
    }
    std::string url;
    if (props.GetBackgroundImage(url) && !url.empty())
        BGImageName = url;
    if (!BGImageName.empty()) {
        BGImage = std::make_unique<TImageObj>(BGImageName);
        props.GetBackgroundPos(0, 0, BGPosX, BGPosY);
    }
    const auto pads = props.GetCellPaddings(EmSize, ExSize);
    for (int i = 0; i < 4; ++i)
        Padding[static_cast<std::size_t>(i)] = pads[static_cast<std::size_t>(i)];
    if (HasBorderStyle) {
        Border = {m[BorderTopWidth], m[BorderRightWidth], m[BorderBottomWidth], m[BorderLeftWidth]};
        BorderStyles = {m[BorderLeftStyle], m[BorderTopStyle], m[BorderRightStyle], m[BorderBottomStyle]};
        BorderColors = {static_cast<TColor>(m[BorderLeftColor]), static_cast<TColor>(m[BorderTopColor]),
                        static_cast<TColor>(m[BorderRightColor]), static_cast<TColor>(m[BorderBottomColor])};
    }
    props.GetPageBreaks(BreakBefore, BreakAfter, BreakInside);
}

}  // namespace velmoran
