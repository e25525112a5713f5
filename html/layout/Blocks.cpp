// Blocks and their kinds as the parser creates them; see Blocks.h.
#include "html/layout/Blocks.h"

#include "html/base/WideText.h"
#include "html/layout/SectionList.h"
#include "html/layout/SmallSections.h"
#include "html/layout/Tables.h"

#include <algorithm>

namespace velmoran {

namespace {

// A vertical margin value as pixels against a base of 400; the HTML default reads as 14.
int MarginPixels(const PropValue& v, int em, int ex, bool* isDefault)
{
    if (isDefault)
        *isDefault = false;
    if (v.IsText())
        return LengthToPixels(v.Text(), false, 400, 0, ex, em);
    if (v.IsInt()) {
        if (v.Int() == UnsetInteger || v.Int() == AutoLength)
            return 0;
        if (v.Int() == DefaultMarginLength) {
            if (isDefault)
                *isDefault = true;
            return 14;
        }
        return v.Int();
    }
    if (v.IsReal())
        return static_cast<int>(v.Real());
    return 0;
}

}  // namespace

TBlock::TBlock(TSectionList* document, TProperties& props, TCellBasic* ownerCell, const TAttributeList* attributes)
    : TBlock(document, props, ownerCell, attributes, 0)
{
}

TBlock::TBlock(TSectionList* document, TProperties& props, TCellBasic* ownerCell, const TAttributeList* attributes,
               unsigned options)
    : TSectionBase(document)
{
    OwnerCell = ownerCell;
    Init(props, attributes, options);
}

TBlock::~TBlock() = default;

void TBlock::Init(TProperties& props, const TAttributeList* attributes, unsigned options)
{
    MyCell = std::make_unique<TBlockCell>(Document);
    MyCell->OwnerBlock = this;
    MyCell->OwnerTag = props.PropTag;
    MyCell->Indents = OwnerCell ? OwnerCell->Indents : nullptr;
    MargArrayO = props.Props;
    EmSize = props.EmSize;
    ExSize = props.ExSize;
    FGColor = props.Props[Color].IsInt() ? props.Props[Color].Color() : 0;
    TagClass = props.PropTag;
    if (attributes)
        if (const TAttribute* a = attributes->Find(TitleSy))
            Title = a->Name;
    StyleKey = props.PropTag + "." + props.PropClass;
    HasBorderStyle = props.HasBorderStyle();
    DisplayNone = props.DisplayNone();
    HideOverflow = props.IsOverflowHidden();
    int v = 0;
    if (props.GetFloat(v))
        FloatKind = static_cast<std::uint8_t>(v);
    if (props.GetClear(v))
        ClearKind = static_cast<std::uint8_t>(v);
    Positioning = static_cast<std::uint8_t>(props.GetPosition());
    Visibility = static_cast<std::uint8_t>(props.GetVisibility());
    props.GetPageBreaks(BreakBefore, BreakAfter, BreakInside);
    const std::string align = props.Props[TextAlign].IsText() ? LowerCase(props.Props[TextAlign].Text()) : "";
    Justify = align == "right" ? 3 : align == "center" ? 2 : 1;

    ZIndex = 10 * props.GetZIndex();
    if (Positioning == 1 && ZIndex == 0)
        ZIndex = 1;
    if (Positioning == 1) {
        FloatKind = 0;
        ownIndents_ = std::make_unique<IndentManager>();
        MyCell->Indents = ownIndents_.get();
    }
    if (FloatKind != 0 && ZIndex == 0)
        ZIndex = 1;

    std::string url;
    if (!(options & kNoBackgroundImage) && props.PropTag != "body" && props.GetBackgroundImage(url) && !url.empty()) {
        BGImage = std::make_unique<TImageObj>(url);
        props.GetBackgroundPos(0, 0, BGPosX, BGPosY);
    }
    if (attributes && Document)
        if (const TAttribute* a = attributes->Find(IDSy); a && !a->Name.empty())
            Document->IDNameList.AddObject(a->Name, this);
    if (!(options & kNoCollapse))
        CollapseMargins();
}

int TBlock::TopMargin(bool* isDefault) const { return MarginPixels(MargArrayO[MarginTop], EmSize, ExSize, isDefault); }

int TBlock::BottomMargin(bool* isDefault) const
{
    return MarginPixels(MargArrayO[MarginBottom], EmSize, ExSize, isDefault);
}

bool TBlock::HasDefaultBottomMargin() const
{
    const PropValue& v = MargArrayO[MarginBottom];
    return v.IsInt() && v.Int() == DefaultMarginLength;
}

void TBlock::CollapseMargins()
{
    bool topDefault = false;
    int top = TopMargin(&topDefault);
    const int original = top;
    auto store = [&] {
        if (!(topDefault && top == original))
            MargArrayO[MarginTop] = PropValue(top);
    };
    if (Positioning == 1) {
        if (topDefault)
            top = 0;
        store();
        return;
    }
    if (FloatKind != 0)
        return;
    if (!OwnerCell)
        return;
    TSectionBase* prev = nullptr;
    for (int i = OwnerCell->Count() - 1; i >= 0; --i) {
        auto* b = dynamic_cast<TBlock*>(OwnerCell->Items(i));
        if (b && b->Positioning == 1)
            continue;
        prev = OwnerCell->Items(i);
        break;
    }
    if (!prev) {
        if (topDefault)
            top = 0;
        else if (OwnerCell->OwnerTag == "default" || OwnerCell->OwnerTag == "body")
            top = std::max(0, top - (OwnerCell->OwnerBlock ? OwnerCell->OwnerBlock->TopMargin() : 0));
    } else if (auto* pb = dynamic_cast<TBlock*>(prev)) {
        const bool floatingTable =
            (dynamic_cast<TTableBlock*>(pb) || dynamic_cast<TTableAndCaptionBlock*>(pb)) && pb->FloatKind != 0;
        if (floatingTable) {
            if (topDefault)
                top = 0;
        } else {
            const int m = pb->BottomMargin();
            pb->MargArrayO[MarginBottom] = PropValue(0);
            if (top >= 0 && m >= 0)
                top = std::max(top, m);
            else if (top < 0 && m < 0)
                top = std::min(top, m);
            else
                top += m;
        }
    } else if (OwnerCell->OwnerTag == "li" && topDefault && (StartsWith(StyleKey, "ul.") || StartsWith(StyleKey, "ol."))) {
        top = 0;
    }
    store();
}

TBlockLI::TBlockLI(TSectionList* document, TProperties& props, TCellBasic* ownerCell, Symb listSym, int listNumber,
                   char listTypeChar, bool plain, int level, const TAttributeList* attributes)
    : TBlock(document, props, ownerCell, attributes), ListNumber(listNumber)
{
    switch (listSym) {
    case OLSy:
        ListType = 1;
        ListStyle = listTypeChar == 'A' ? 8 : listTypeChar == 'I' ? 9 : listTypeChar == 'a' ? 4
                    : listTypeChar == 'i' ? 5 : 2;
        break;
    case ULSy:
    case DirSy:
    case MenuSy:
        ListType = 2;
        ListStyle = (level % 3 == 1) ? 3 : (level % 3 == 2) ? 1 : 7;
        if (listSym == ULSy && plain)
            ListStyle = 6;
        break;
    case DLSy:
        ListType = 3;
        break;
    default:
        ListType = 4;
        ListStyle = 3;
        if (MargArrayO[MarginLeft].IsEmpty() || (MargArrayO[MarginLeft].IsInt() && (MargArrayO[MarginLeft].Int() == 0 ||
                                                                                   MargArrayO[MarginLeft].Int() == UnsetInteger)))
            MargArrayO[MarginLeft] = PropValue(16);
        break;
    }
    if (props.Props[ListStyleType].IsText()) {
        // "blank" is the default sheet's value for "not given".
        const int code = props.GetListStyleType();
        if (code != 0)
            ListStyle = static_cast<std::uint8_t>(code);
    }
    ListFont = props.GetFont();
    std::string url;
    if (props.GetListStyleImage(url) && !url.empty())
        ListImage = std::make_unique<TImageObj>(url);
}

TTableBlock::TTableBlock(TSectionList* document, TProperties& props, TCellBasic* ownerCell,
                         std::unique_ptr<ThtmlTable> table, const TAttributeList& attributes)
    : TBlock(document, props, ownerCell, &attributes, kNoCollapse)
{
    Table = table.get();
    MyCell->AddSection(std::move(table));
    for (const auto& a : attributes) {
        switch (a->Which) {
        case WidthSy:
            if (Contains(a->Name, "%")) {
                AsPercent = true;
                if (a->Value >= 1 && a->Value <= 100)
                    WidthAttr = a->Value * 10;
            } else {
                WidthAttr = ClampLength(a->Value);
            }
            break;
        case AlignSy: {
            const std::string s = UpperCase(a->Name);
            if (s == "CENTER" || s == "LEFT" || s == "RIGHT")
                Align = s;
            break;
        }
        case BGColorSy: {
            TColor c = 0;
            if (ParseColor(a->Name, false, c)) {
                HasBgColor = true;
                BgColorAttr = c;
            }
            break;
        }
        case BackgroundSy:
            BackgroundAttr = a->FileName();
            break;
        default:
            break;
        }
    }
    if (Align == "LEFT" && FloatKind == 0 && !props.Originals[psFloat])
        FloatKind = 5;
    else if (Align == "RIGHT" && FloatKind == 0 && !props.Originals[psFloat])
        FloatKind = 6;
    if (!BackgroundAttr.empty() && !BGImage)
        BGImage = std::make_unique<TImageObj>(BackgroundAttr);
    if (const TAttribute* h = attributes.Find(HeightSy); h && !props.Originals[piHeight] && h->Value > 0)
        MargArrayO[piHeight] = PropValue(h->Name);
    // BGCOLOR stands in for a missing CSS background; the table fills cells without their own.
    const TColor own = props.GetOwnBackgroundColor();
    if (own == NoColor && HasBgColor)
        MargArrayO[BackgroundColor] = PropValue(BgColorAttr);
    const TColor tableColor = own != NoColor ? own : HasBgColor ? BgColorAttr : NoColor;
    if (tableColor != NoColor) {
        Table->BkGnd = true;
        Table->BkColor = tableColor;
    }
    // BORDER without a CSS border: a frame of that width, drawn raised in 3-D.
    if (Table->BorderWidth > 0 && !HasBorderStyle) {
        for (int side = 0; side < 4; ++side) {
            MargArrayO[BorderTopWidth + side] = PropValue(Table->BorderWidth);
            MargArrayO[BorderTopStyle + side] = PropValue("outset");
        }
        HasBorderStyle = true;
        FrameFromBorderAttribute = true;
    }
}

TTableBlock::~TTableBlock() = default;

TTableAndCaptionBlock::TTableAndCaptionBlock(TSectionList* document, TProperties& props, TCellBasic* ownerCell,
                                             const TAttributeList& attributes, std::unique_ptr<TTableBlock> tableBlock)
    : TBlock(document, props, ownerCell, nullptr, kNoBackgroundImage)
{
    StyleKey = "TableAndCaption.";
    if (const TAttribute* a = attributes.Find(AlignSy)) {
        const std::string s = UpperCase(a->Name);
        if (s == "CENTER" || s == "LEFT" || s == "RIGHT")
            Align = s;
    }
    if (Align == "CENTER")
        Justify = 2;
    else if (Align == "LEFT" && FloatKind == 0)
        FloatKind = 5;
    else if (Align == "RIGHT" && FloatKind == 0)
        FloatKind = 6;
    tableBlock->FloatKind = 0;
    // The box stands for the table in the flow, as a table's wrapper box does in CSS: the vertical
    // margins are its own, and the table inside keeps none, so that they count once.
    MargArrayO[MarginTop] = tableBlock->MargArrayO[MarginTop];
    MargArrayO[MarginBottom] = tableBlock->MargArrayO[MarginBottom];
    tableBlock->MargArrayO[MarginTop] = PropValue(0);
    tableBlock->MargArrayO[MarginBottom] = PropValue(0);
    for (int i = PaddingTop; i <= BorderLeftStyle; ++i)
        MargArrayO[i] = PropValue();
    MargArrayO[BackgroundColor] = PropValue();
    HasBorderStyle = false;
    if (FloatKind != 0)
        KeepSpaceAround(attributes);
    TableBlock = tableBlock.get();
    tableBlock->OwnerCell = MyCell.get();
    MyCell->AddSection(std::move(tableBlock));
}

void TTableAndCaptionBlock::KeepSpaceAround(const TAttributeList& attributes)
{
    int autoCount = 0;
    const auto m = ConvertedMargins(400, 400, autoCount);
    const auto take = [&](Symb which, std::initializer_list<int> sides) {
        const TAttribute* a = attributes.Find(which);
        if (!a || a->Value <= 0)
            return;
        for (int side : sides)
            if (m[side] == 0 || m[side] == AutoLength)
                MargArrayO[side] = PropValue(ClampLength(a->Value));
    };
    take(HSpaceSy, {MarginLeft, MarginRight});
    take(VSpaceSy, {MarginTop, MarginBottom});
}

void TTableAndCaptionBlock::SetCaption(std::unique_ptr<TBlock> caption, bool top)
{
    TopCaption = top;
    CaptionBlock = caption.get();
    TableBlock->HasCaption = true;
    caption->OwnerCell = MyCell.get();
    if (top)
        MyCell->Insert(0, std::move(caption));
    else
        MyCell->Add(std::move(caption));
}

THRBlock::THRBlock(TSectionList* document, TProperties& props, TCellBasic* ownerCell, const TAttributeList& attributes)
    : TBlock(document, props, ownerCell, &attributes)
{
    auto line = std::make_unique<THorzLine>(document, props, attributes);
    Align = line->Align;
    MargArrayO[piWidth] = props.Props[piWidth];
    MargArrayO[piHeight] = props.Props[piHeight];
    Line = line.get();
    MyCell->AddSection(std::move(line));
}

TBodyBlock::TBodyBlock(TSectionList* document, TProperties& props, TCellBasic* ownerCell,
                       const TAttributeList* attributes)
    : TBlock(document, props, ownerCell, attributes, kNoBackgroundImage)
{
    Positioning = 0;
    std::string url;
    if (Document) {
        if (props.GetBackgroundImage(url) && !url.empty()) {
            Document->BackgroundImageName = url;
            props.GetBackgroundPos(0, 0, Document->BackgroundPosX, Document->BackgroundPosY);
        }
        const TColor c = props.GetOwnBackgroundColor();
        if (c != NoColor)
            Document->Background = c | kPaletteRelative;
    }
}

}  // namespace velmoran
