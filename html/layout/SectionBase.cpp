// Font runs and floating objects; see SectionBase.h.
#include "html/layout/SectionBase.h"

#include "html/base/HtmlSymbols.h"
#include "html/base/WideText.h"
#include "html/layout/LinkFocus.h"
#include "html/layout/SectionList.h"
#include "html/style/Fonts.h"
#include "platform/core/CodePage.h"

#include <algorithm>
#include <memory>
#include <new>
#include <cstdlib>
#include <iterator>

namespace velmoran {

TFontObj::TFontObj(TSection* section, const TMyFont& font, int pos) : Section(section), Pos(pos)
{
    ReplaceFont(font);
}

TFontObj::~TFontObj() = default;

TFontRunLink::TFontRunLink() = default;
TFontRunLink::~TFontRunLink() = default;

const TUrlTarget& TFontObj::UrlTarget() const
{
    static const TUrlTarget none;
    return Link ? Link->UrlTarget : none;
}

const std::string& TFontObj::Title() const
{
    static const std::string none;
    return Link ? Link->Title : none;
}

TFontRunLink& TFontObj::LinkState()
{
    if (!Link)
        Link = std::make_unique<TFontRunLink>();
    return *Link;
}

void TFontObj::SetTitle(const std::string& title)
{
    if (!title.empty())
        LinkState().Title = title;
    else if (Link)
        Link->Title.clear();
}

void TFontObj::ClearLink()
{
    if (!Link)
        return;
    Link->UrlTarget.Clear();
    Link->FIArray.reset();
    Link->TabControl.reset();
    if (Link->Title.empty())
        Link.reset();
}

void TFontObj::ReplaceFont(const TMyFont& font)
{
    TheFont = font;
    TheFont.UpdateMetrics();
    FontHeight = TheFont.tmHeight + TheFont.tmExternalLeading;
    Descent = TheFont.tmDescent;
    tmExternalLeading = TheFont.tmExternalLeading;
    Overhang = (TheFont.Style & fsItalic) ? TheFont.tmHeight / 10 : 0;
    tmAveCharWidth = TheFont.tmAveCharWidth;
    tmMaxCharWidth = TheFont.tmMaxCharWidth;
    tmCharset = TheFont.tmCharset;
}

void TFontList::Release() noexcept
{
    if (block_ && --block_->Uses == 0) {
        std::destroy_n(Runs(), block_->Count);
        ::operator delete(block_);
    }
    block_ = nullptr;
}

void TFontList::Own(int room)
{
    if (block_ && block_->Uses == 1 && block_->Room >= room)
        return;
    const int count = Count();
    room = std::max(room, count);
    void* raw = ::operator new(sizeof(Header) + static_cast<std::size_t>(room) * sizeof(Run));
    auto* fresh = new (raw) Header{1, count, room};
    auto* to = reinterpret_cast<Run*>(fresh + 1);
    if (block_ && block_->Uses == 1)
        std::uninitialized_move_n(Runs(), count, to);
    else if (block_)
        std::uninitialized_copy_n(Runs(), count, to);
    Release();
    block_ = fresh;
}

TFontObj* TFontList::Add(Run run)
{
    const int count = Count();
    if (!block_ || block_->Uses > 1 || block_->Room == count)
        Own(count == 0 ? 1 : count * 2);
    new (Runs() + count) Run(std::move(run));
    ++block_->Count;
    return Runs()[count].get();
}

void TFontList::Delete(int index)
{
    Own(Count());
    Run* runs = Runs();
    std::move(runs + index + 1, runs + block_->Count, runs + index);
    std::destroy_at(runs + block_->Count - 1);
    --block_->Count;
}

void TFontList::Reserve(int count)
{
    if (count > (block_ ? block_->Room : 0))
        Own(count);
}

namespace {

// The first run that starts after pos (the runs are in position order). Each caller has it inlined:
// a page asks for the run at a position a few times for every text.
const TFontList::Run* FirstRunAfter(const TFontList& runs, int pos)
{
    return std::upper_bound(runs.begin(), runs.end(), pos, [](int p, const auto& f) { return p < f->Pos; });
}

}  // namespace

int TFontList::IndexAt(int pos) const { return static_cast<int>(FirstRunAfter(*this, pos) - begin()) - 1; }

TFontObj* TFontList::GetFontAt(int pos) const
{
    const Run* after = FirstRunAfter(*this, pos);
    return after == begin() ? nullptr : std::prev(after)->get();
}

int TFontList::NextRunStart(int pos, int limit) const
{
    const Run* after = FirstRunAfter(*this, pos);
    return after == end() ? limit : std::min(limit, (*after)->Pos);
}

void TFloatingObj::ApplyProperties(TProperties& props)
{
    int align = 0;
    if (props.GetVertAlign(align) && align >= 1 && align <= 4)
        VertAlign = static_cast<std::uint8_t>(align);
    if (props.GetFloat(align) && (align == 5 || align == 6)) {
        VertAlign = static_cast<std::uint8_t>(align);
        if (HSpaceL == 0 && HSpaceR == 0)
            HSpaceL = HSpaceR = 3;
    }
    if (Title.empty())
        Title = props.PropTitle;
    int autos = 0;
    const auto m = ConvMargArray(props.Props, 200, 200, props.EmSize, props.ExSize, autos);
    auto isSet = [&](int i) { return !props.Props[i].IsEmpty() && !(props.Props[i].IsInt() && props.Props[i].Int() == UnsetInteger); };
    if (isSet(MarginLeft) && m[MarginLeft] != AutoLength)
        HSpaceL = m[MarginLeft];
    if (isSet(MarginRight) && m[MarginRight] != AutoLength)
        HSpaceR = m[MarginRight];
    if (isSet(MarginTop))
        VSpaceT = m[MarginTop];
    if (isSet(MarginBottom))
        VSpaceB = m[MarginBottom];
    if (props.HasBorderStyle()) {
        HSpaceL += m[BorderLeftWidth];
        HSpaceR += m[BorderRightWidth];
        VSpaceT += m[BorderTopWidth];
        VSpaceB += m[BorderBottomWidth];
        BorderByCss = true;
        BorderSize = 0;
    }
    // A length of 0 is a size as the attribute 0 is (the picture takes no room); a negative one,
    // or text that is no length, leaves the size as it was.
    auto size = [&](int index, int& spec, bool& percent) {
        const PropValue& v = props.Props[index];
        if (m[index] == AutoLength || !isSet(index))
            return;
        if (v.IsText() && LengthToPixels(v.Text(), false, 200, AutoLength, props.ExSize, props.EmSize) == AutoLength)
            return;
        if (v.IsText() && Contains(v.Text(), "%")) {
            spec = m[index] * 100 / 200;
            percent = true;
        } else if (m[index] >= 0) {
            spec = m[index];
            percent = false;
        }
    };
    size(piWidth, SpecWidth, PercentWidth);
    size(piHeight, SpecHeight, PercentHeight);
}

TSizeAttribute ReadSizeAttribute(const TAttribute& attribute, int lowest)
{
    if (!Contains(attribute.Name, "%"))
        return {TSizeAttribute::Pixels, attribute.Value};
    if (attribute.Value < lowest || attribute.Value > 100)
        return {TSizeAttribute::Ignored, 0};
    return {TSizeAttribute::Percent, attribute.Value};
}

namespace {
// An image's WIDTH or HEIGHT: pixels, or a percentage from 0 to 100.
void ReadImageSize(const TAttribute& attribute, int& spec, bool& percent)
{
    const TSizeAttribute size = ReadSizeAttribute(attribute, 0);
    if (size.Given == TSizeAttribute::Percent) {
        spec = size.Value;
        percent = true;
    } else if (size.Given == TSizeAttribute::Pixels) {
        spec = ClampLength(std::max(0, size.Value));
    }
}
}  // namespace

TImageObj::TImageObj(TSectionList* document, int position, const TAttributeList& attributes)
{
    Pos = position;
    VertAlign = 4;
    bool hspaceGiven = false;
    for (const auto& a : attributes) {
        switch (a->Which) {
        case HSpaceSy:
            HSpaceL = std::min(40, std::abs(a->Value));
            hspaceGiven = true;
            break;
        case VSpaceSy:
            VSpaceT = std::min(40, std::abs(a->Value));
            break;
        case IsMapSy:
            IsMap = true;
            break;
        case UseMapSy: {
            std::string name = UpperCase(Trim(a->Name));
            if (!name.empty() && name[0] == '#')
                name.erase(0, 1);
            MapName = name;
            UseMap = true;
            break;
        }
        case HeightSy:
            ReadImageSize(*a, SpecHeight, PercentHeight);
            break;
        case WidthSy:
            ReadImageSize(*a, SpecWidth, PercentWidth);
            break;
        case BorderSy:
            BorderSize = std::min(10, std::max(0, a->Value));
            NoBorder = BorderSize == 0;
            break;
        case AlignSy: {
            const std::string s = UpperCase(a->Name);
            if (s == "TOP")
                VertAlign = 1;
            else if (s == "MIDDLE" || s == "ABSMIDDLE")
                VertAlign = 2;
            else if (s == "LEFT")
                VertAlign = 5;
            else if (s == "RIGHT")
                VertAlign = 6;
            break;
        }
        case SrcSy:
            Source = Trim(a->FileName());
            break;
        case AltSy: {
            std::string alt = a->Name;
            while (!alt.empty() && (alt.back() == '\r' || alt.back() == '\n'))
                alt.pop_back();
            Alt = alt;
            AltW = MultibyteToWide(a->CodePage, alt);
            break;
        }
        case NameSy:
            if (document && !a->Name.empty())
                document->IDNameList.AddObject(a->Name, this);
            break;
        case TranspSy:
            Transparent = true;
            break;
        case ActiveSy:
            ImageActive = true;
            break;
        case TitleSy:
            Title = a->Name;
            break;
        default:
            break;
        }
    }
    if (!hspaceGiven && (VertAlign == 5 || VertAlign == 6))
        HSpaceL = 3;
    HSpaceR = HSpaceL;
    VSpaceB = VSpaceT;
}

TImageObj::TImageObj(const std::string& source) : Source(source)
{
    BorderSize = 0;
}

std::span<const std::unique_ptr<TFloatingObj>> TImageObjList::Between(int from, int to) const
{
    auto before = [](const std::unique_ptr<TFloatingObj>& o, int pos) { return o->Pos < pos; };
    const auto first = std::lower_bound(begin(), end(), from, before);
    const auto last = std::lower_bound(first, end(), std::max(from, to), before);
    return {first, last};
}

TFloatingObj* TImageObjList::FindByPosition(int pos) const
{
    const auto at = Between(pos, pos + 1);
    return at.empty() ? nullptr : at.front().get();
}

}  // namespace velmoran
