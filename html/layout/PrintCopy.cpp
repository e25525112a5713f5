// The print copy of a document: every section copied by its own kind into a new root that shares
// the image cache and display settings of the screen document.
#include "html/base/image/GifImage.h"
#include "html/layout/Blocks.h"
#include "html/layout/PanelObjects.h"
#include "html/layout/SectionList.h"
#include "html/layout/SmallSections.h"
#include "html/layout/TextSection.h"

#include <algorithm>

namespace velmoran {

namespace {
TProperties& EmptyProperties()
{
    static TProperties props;
    return props;
}
}  // namespace

std::unique_ptr<TSectionBase> TSectionBase::CreateCopy(TSectionList* /*document*/, TCellBasic* /*cell*/) const
{
    return nullptr;
}

void TSectionBase::CopyBaseTo(TSectionBase& t) const
{
    t.SectionHeight = SectionHeight;
    t.DrawHeight = DrawHeight;
    t.SectionWidth = SectionWidth;
    t.YPosition = YPosition;
    t.DrawTop = DrawTop;
    t.DrawBot = DrawBot;
    t.ContentTop = ContentTop;
    t.ContentBot = ContentBot;
    t.StartCurs = StartCurs;
    t.Len = Len;
    t.SourceStart = SourceStart;
    t.SourceEnd = SourceEnd;
    t.Display = Display;
    t.ZIndex = ZIndex;
    t.LayoutX = LayoutX;
}

void TCellBasic::CopySectionsFrom(const TCellBasic& source)
{
    TopY = source.TopY;
    StartPos = source.StartPos;
    PosCount = source.PosCount;
    BkGnd = source.BkGnd;
    BkColor = source.BkColor;
    OwnerTag = source.OwnerTag;
    for (const auto& s : source)
        if (auto copy = s->CreateCopy(Document, this)) {
            copy->OwnerCell = this;
            Add(std::move(copy));
        }
}

std::unique_ptr<TFontObj> TFontObj::CreateCopy(TSection* section) const
{
    auto f = std::make_unique<TFontObj>(section, TheFont, Pos);
    if (Link) {
        TFontRunLink& state = f->LinkState();
        state.UrlTarget.Copy(Link->UrlTarget);
        if (Link->FIArray)
            state.FIArray = std::make_unique<TFontInfoArray>(*Link->FIArray);
        state.Title = Link->Title;
    }
    f->Visited = Visited;
    f->SScript = SScript;
    return f;
}

void TFontList::AddForCopy(const TFontList& from, int i, TSection* section)
{
    const Run& run = from.begin()[i];
    if (run->HasLinkState())
        Add(run->CreateCopy(section));
    else
        Add(run);
}

void TFontList::CopyFrom(const TFontList& from, TSection* section)
{
    Clear();
    if (std::none_of(from.begin(), from.end(), [](const Run& run) { return run->HasLinkState(); })) {
        block_ = from.block_;
        if (block_)
            ++block_->Uses;
        return;
    }
    Reserve(from.Count());
    for (int i = 0; i < from.Count(); ++i)
        AddForCopy(from, i, section);
}

void TFloatingObj::CopyPlacementTo(TFloatingObj& copy) const
{
    TFloatingObj* c = &copy;
    c->Pos = Pos;
    c->ObjWidth = ObjWidth;
    c->ObjHeight = ObjHeight;
    c->VertAlign = VertAlign;
    c->HSpaceL = HSpaceL;
    c->HSpaceR = HSpaceR;
    c->VSpaceT = VSpaceT;
    c->VSpaceB = VSpaceB;
    c->SpecWidth = SpecWidth;
    c->SpecHeight = SpecHeight;
    c->PercentWidth = PercentWidth;
    c->PercentHeight = PercentHeight;
    c->Title = Title;
}

std::unique_ptr<TImageObj> TImageObj::CreateCopy(TSectionList* document) const
{
    auto c = std::make_unique<TImageObj>(Source);
    CopyPlacementTo(*c);
    c->Alt = Alt;
    c->AltW = AltW;
    c->BorderSize = BorderSize;
    c->NoBorder = NoBorder;
    c->BorderByCss = BorderByCss;
    c->IsMap = IsMap;
    c->UseMap = UseMap;
    c->MapName = MapName;
    c->Transparent = Transparent;
    c->ImageActive = ImageActive;
    c->ImageKnown = ImageKnown;
    c->Missing = Missing;
    c->Image = Image;
    if (const auto* gif = dynamic_cast<const TGIFImage*>(Image); gif && gif->NumFrames() > 1) {
        c->OwnImage = TGIFImage::CreateCopy(*gif);  // prints its own current frame
        c->Image = c->OwnImage.get();
    }
    c->Mask = Mask;
    c->Transp = Transp;
    c->Delayed = Delayed;
    c->Fetched = Fetched;
    c->Doc = document;
    return c;
}

void TSection::CopyTextFrom(const TSection& s)
{
    s.CopyBaseTo(*this);
    Text = s.Text;
    BreakClasses = s.BreakClasses;
    SourceIndex = s.SourceIndex;
    Fonts.CopyFrom(s.Fonts, this);
    for (const auto& o : s.Images)
        if (const auto* img = dynamic_cast<const TImageObj*>(o.get()))
            Images.Add(img->CreateCopy(Document));
        else if (const auto* panel = dynamic_cast<const TPanelObj*>(o.get()))
            Images.Add(panel->CreateCopy(Document));
    FormControls = s.FormControls;
    Justify = s.Justify;
    BreakWord = s.BreakWord;
    LineHeight = s.LineHeight;
    TextIndent = s.TextIndent;
    TextIndentPercent = s.TextIndentPercent;
    ClearAttr = s.ClearAttr;
    SectionNumber = s.SectionNumber;
    PreFormatted = s.PreFormatted;
    finished_ = true;
    open_.reset();
}

std::unique_ptr<TSectionBase> TSection::CreateCopy(TSectionList* document, TCellBasic* /*cell*/) const
{
    auto c = std::make_unique<TSection>(document, false, nullptr, EmptyProperties(), nullptr);
    c->CopyTextFrom(*this);
    return c;
}

std::unique_ptr<TSectionBase> TPreFormated::CreateCopy(TSectionList* document, TCellBasic* /*cell*/) const
{
    auto c = std::make_unique<TPreFormated>(document, nullptr, EmptyProperties(), nullptr);
    c->CopyTextFrom(*this);
    c->Wrap = Wrap;
    return c;
}

std::unique_ptr<TSectionBase> THorzLine::CreateCopy(TSectionList* document, TCellBasic* /*cell*/) const
{
    auto c = std::make_unique<THorzLine>(document);
    CopyBaseTo(*c);
    c->VSize = VSize;
    c->Color = Color;
    c->Align = Align;
    c->NoShade = NoShade;
    c->HorzX = HorzX;
    c->HorzWidth = HorzWidth;
    return c;
}

std::unique_ptr<TSectionBase> TPage::CreateCopy(TSectionList* document, TCellBasic* /*cell*/) const
{
    auto c = std::make_unique<TPage>(document);
    CopyBaseTo(*c);
    return c;
}

void TBlock::CopyBlockTo(TBlock& t) const
{
    CopyBaseTo(t);
    t.ContentTop = ContentTop;
    t.BlockBottom = BlockBottom;
    t.ContentLeft = ContentLeft;
    t.BlockDrawTop = BlockDrawTop;
    t.BlockDrawBottom = BlockDrawBottom;
    t.BlockY = BlockY;
    t.MargArray = MargArray;
    t.EmSize = EmSize;
    t.ExSize = ExSize;
    t.FGColor = FGColor;
    t.TagClass = TagClass;
    t.MargArrayO = MargArrayO;
    t.NewWidth = NewWidth;
    t.ClearAddon = ClearAddon;
    t.ContentOffset = ContentOffset;
    t.TopP = TopP;
    t.LeftP = LeftP;
    // The background image of a print copy is printed only when backgrounds are.
    if (BGImage)
        t.BGImage = BGImage->CreateCopy(t.Document);
    t.BGPosX = BGPosX;
    t.BGPosY = BGPosY;
    t.BlockContentBottom = BlockContentBottom;
    t.StyleKey = StyleKey;
    t.HasBorderStyle = HasBorderStyle;
    t.FloatKind = FloatKind;
    t.ClearKind = ClearKind;
    t.Positioning = Positioning;
    if (Positioning == 1 && !t.ownIndents_) {
        t.ownIndents_ = std::make_unique<IndentManager>();
        t.MyCell->Indents = t.ownIndents_.get();
    }
    t.Visibility = Visibility;
    t.BreakBefore = BreakBefore;
    t.BreakAfter = BreakAfter;
    t.BreakInside = BreakInside;
    t.DisplayNone = DisplayNone;
    t.HideOverflow = HideOverflow;
    t.Justify = Justify;
    t.Title = Title;
    t.MyCell->Clear();
    t.MyCell->CopySectionsFrom(*MyCell);
    t.ZList.clear();
}

std::unique_ptr<TSectionBase> TBlock::CreateCopy(TSectionList* document, TCellBasic* cell) const
{
    // Collapsing at creation only repeats what the screen document did (the bottom margins it
    // zeroes are zero already); the copied values replace the rest.
    auto c = std::make_unique<TBlock>(document, EmptyProperties(), cell, nullptr);
    CopyBlockTo(*c);
    return c;
}

std::unique_ptr<TSectionBase> TBlockLI::CreateCopy(TSectionList* document, TCellBasic* cell) const
{
    auto c = std::make_unique<TBlockLI>(document, EmptyProperties(), cell, NoSy, ListNumber, '1', false, 1, nullptr);
    CopyBlockTo(*c);
    c->ListType = ListType;
    c->ListNumber = ListNumber;
    c->ListStyle = ListStyle;
    c->ListFont = ListFont;
    if (ListImage)
        c->ListImage = ListImage->CreateCopy(document);
    return c;
}

std::unique_ptr<TSectionBase> THRBlock::CreateCopy(TSectionList* document, TCellBasic* cell) const
{
    TAttributeList none;
    auto c = std::make_unique<THRBlock>(document, EmptyProperties(), cell, none);
    CopyBlockTo(*c);
    c->Align = Align;
    c->Line = c->MyCell->Count() > 0 ? dynamic_cast<THorzLine*>(c->MyCell->Items(0)) : nullptr;
    return c;
}

std::unique_ptr<TSectionBase> TBodyBlock::CreateCopy(TSectionList* document, TCellBasic* cell) const
{
    // The body's background was handed to the document; the copy takes the document's own.
    const TColor background = document ? document->Background : NoColor;
    const std::string image = document ? document->BackgroundImageName : std::string();
    auto c = std::make_unique<TBodyBlock>(document, EmptyProperties(), cell);
    if (document) {
        document->Background = background;
        document->BackgroundImageName = image;
    }
    CopyBlockTo(*c);
    return c;
}

std::unique_ptr<TSectionList> TSectionList::CreateCopy() const
{
    auto c = std::make_unique<TSectionList>(owner_);
    c->IsCopy = true;
    c->BitmapList = BitmapList ? BitmapList : ownCache_.get();
    c->Background = Background;
    c->BackgroundImageName = BackgroundImageName;
    c->BackgroundPosX = BackgroundPosX;
    c->BackgroundPosY = BackgroundPosY;
    c->LinksActive = LinksActive;
    c->ShowImages = ShowImages;
    c->PrintTableBackground = PrintTableBackground;
    c->PrintBackground = PrintBackground;
    c->PrintMonoBlack = PrintMonoBlack;
    c->InlineList = InlineList;
    c->SectionCount = SectionCount;
    c->CopySectionsFrom(*this);
    c->pictureHolds_.HoldAlso(pictureHolds_);  // its images are this document's
    return c;
}

}  // namespace velmoran
