// The cascade's remembered results; see CascadeMemo.h.
#include "html/style/CascadeMemo.h"

#include "html/style/StyleList.h"
#include "html/style/StyleSheetParser.h"

namespace velmoran {

namespace {

constexpr std::size_t kMemoSize = 16;

// Everything of a set that inheriting and the cascade read or write, apart from its identity and
// the stack it lives on.
void CopyState(TProperties& to, const TProperties& from)
{
    to.Props = from.Props;
    to.Originals = from.Originals;
    to.LinkFont = from.LinkFont;
    to.DefFontname = from.DefFontname;
    to.PropTag = from.PropTag;
    to.PropClass = from.PropClass;
    to.PropID = from.PropID;
    to.PropPseudo = from.PropPseudo;
    to.PropTitle = from.PropTitle;
    to.EffectiveBackground = from.EffectiveBackground;
    to.Charset = from.Charset;
    to.CodePage = from.CodePage;
    to.EmSize = from.EmSize;
    to.ExSize = from.ExSize;
    to.StyleList = from.StyleList;
    to.FIArray.reset();
    to.DropFont();
}

// The parent's part in a child's result: all that inheriting reads. Values holding the very same
// texts (parents served or remembered from the same rules) compare by their bytes; the others
// value by value.
bool SameParent(const TProperties& a, const TProperties& b)
{
    return a.EmSize == b.EmSize && a.Charset == b.Charset && a.CodePage == b.CodePage &&
           a.EffectiveBackground == b.EffectiveBackground && a.Originals == b.Originals &&
           (PropValue::Identical(a.Props.data(), b.Props.data(), a.Props.size()) || a.Props == b.Props) &&
           a.PropTag == b.PropTag && a.DefFontname == b.DefFontname && a.PropTitle == b.PropTitle;
}

}  // namespace

TProperties* TCascadeMemo::Open(TPropStack& stack, TStyleList& styles, const std::string& tag,
                                const std::string& cls, const std::string& id, const std::string& pseudo,
                                const std::string& title, const std::string& style)
{
    TProperties* parent = stack.Last();
    TProperties* p = stack.Push();
    const bool memo = parent && style.empty() && pseudo.empty() && title.empty() && Applies(*parent, tag, cls, styles);
    if (memo && Serve(*p, *parent, tag, cls, id, styles))
        return p;
    p->Inherit(tag, parent);
    std::unique_ptr<TProperties> styleAttr;
    if (!style.empty()) {
        styleAttr = std::make_unique<TProperties>();
        ParseStyleAttribute(style, *styleAttr, p->CodePage);
    }
    p->ApplyStyles(styles, tag, cls, id, pseudo, title, styleAttr.get());
    if (memo)
        Remember(*p, *parent, tag, cls, id, styles);
    return p;
}

bool TCascadeMemo::Applies(const TProperties& parent, const std::string& tag, const std::string& cls,
                           const TStyleList& styles)
{
    return !parent.FIArray && !styles.ReadsAncestors(tag, cls, "");
}

bool TCascadeMemo::Serve(TProperties& props, const TProperties& parent, const std::string& tag,
                         const std::string& cls, const std::string& id, const TStyleList& styles)
{
    auto matches = [&](const Entry& e) {
        return e.Generation == styles.Generation() && e.DefaultSize == DefaultFontSize() && e.Tag == tag && e.Class == cls && e.Id == id &&
               SameParent(*e.Parent, parent);
    };
    std::size_t found = entries_.size();
    if (recent_ < entries_.size() && matches(entries_[recent_]))
        found = recent_;
    for (std::size_t i = 0; found == entries_.size() && i < entries_.size(); ++i)
        if (i != recent_ && matches(entries_[i]))
            found = i;
    if (found == entries_.size())
        return false;
    recent_ = found;
    CopyState(props, *entries_[found].Result);
    ++hits_;
    return true;
}

void TCascadeMemo::Remember(const TProperties& props, const TProperties& parent, const std::string& tag,
                            const std::string& cls, const std::string& id, const TStyleList& styles)
{
    if (props.FIArray)
        return;
    if (entries_.size() < kMemoSize) {
        entries_.push_back({{}, {}, {}, 0, 0, std::make_unique<TProperties>(), std::make_unique<TProperties>()});
        recent_ = entries_.size() - 1;
    } else {
        recent_ = next_;
        next_ = (next_ + 1) % kMemoSize;
    }
    // A full memo reuses the sets of the entry it replaces.
    Entry& e = entries_[recent_];
    e.Tag = tag;
    e.Class = cls;
    e.Id = id;
    e.Generation = styles.Generation();
    e.DefaultSize = DefaultFontSize();
    CopyState(*e.Parent, parent);
    CopyState(*e.Result, props);
}

}  // namespace velmoran
