// The style sheet and the cascade; see StyleList.h.
#include "html/style/StyleList.h"

#include "html/base/WideText.h"

#include <algorithm>
#include <set>

namespace velmoran {

namespace {

std::vector<std::string> SplitClasses(const std::string& cls)
{
    std::vector<std::string> out;
    std::string word;
    for (char c : cls + ".") {
        if (c == '.') {
            if (!word.empty())
                out.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    return out;
}

// One simple selector of a compound key, taken apart.
struct SimpleSelector {
    std::string Tag;
    std::vector<std::string> Classes;
    std::string Pseudo;
    std::string Id;
    bool Child = false;  // must be the immediate parent
};

SimpleSelector ParseSimple(std::string word)
{
    SimpleSelector s;
    const auto gt = word.find('>');
    if (gt != std::string::npos) {
        s.Child = true;
        word.erase(std::remove(word.begin(), word.end(), '>'), word.end());
    }
    char kind = 0;
    std::string part;
    auto flush = [&] {
        if (kind == 0)
            s.Tag = part;
        else if (kind == '.' && !part.empty())
            s.Classes.push_back(part);
        else if (kind == ':')
            s.Pseudo = part;
        else if (kind == '#')
            s.Id = part;
        part.clear();
    };
    for (char c : word) {
        if (c == '.' || c == ':' || c == '#') {
            flush();
            kind = c;
        } else {
            part += c;
        }
    }
    flush();
    return s;
}

bool AllIn(const std::vector<std::string>& wanted, const std::vector<std::string>& have)
{
    return std::all_of(wanted.begin(), wanted.end(),
                       [&](const std::string& c) { return std::find(have.begin(), have.end(), c) != have.end(); });
}

bool AncestorMatches(const SimpleSelector& s, const TProperties& a)
{
    return (s.Tag.empty() || s.Tag == a.PropTag) && (s.Id.empty() || s.Id == a.PropID) &&
           (s.Pseudo.empty() || s.Pseudo == a.PropPseudo) && AllIn(s.Classes, SplitClasses(a.PropClass));
}

bool IsBoldValue(const PropValue& v)
{
    if (v.IsNumber())
        return v.AsNumber() >= 600;
    if (!v.IsText())
        return false;
    const std::string t = LowerCase(v.Text());
    return Contains(t, "bold") || std::atoi(t.c_str()) >= 600;
}

}  // namespace

void MergeIntoFontInfo(TFontInfoArray& info, int index, const PropValue& value)
{
    for (ThtFontInfo& f : info.Ar) {
        const std::string text = value.IsText() ? LowerCase(value.Text()) : std::string();
        switch (index) {
        case FontFamily:
            if (value.IsText()) {
                const std::string face = FirstInstalledFontFamily(value.Text());
                if (!face.empty())
                    f.Name = face;
            }
            break;
        case FontSize:
            if (value.IsNumber())
                f.Size = value.AsNumber();
            else if (value.IsText())
                f.Size = FontSizeToPoints(value.Text(), f.Size);
            break;
        case FontStyle:
            if (text == "italic" || text == "oblique")
                f.Style |= fsItalic;
            else if (text == "normal")
                f.Style &= static_cast<std::uint8_t>(~fsItalic);
            break;
        case FontWeight:
            if (IsBoldValue(value))
                f.Style |= fsBold;
            else if (Contains(text, "normal"))
                f.Style &= static_cast<std::uint8_t>(~fsBold);
            break;
        case TextDecoration:
            if (Contains(text, "underline"))
                f.Style |= fsUnderline;
            if (Contains(text, "line-through"))
                f.Style |= fsStrikeOut;
            if (text == "none")
                f.Style &= static_cast<std::uint8_t>(~(fsUnderline | fsStrikeOut));
            break;
        case LetterSpacing:
            f.LetterSpacing = value;
            break;
        case Color:
            if (value.IsInt())
                f.Color = value.Color();
            break;
        case BackgroundColor:
            if (value.IsInt())
                f.BGColor = value.Color();
            break;
        default:
            break;
        }
    }
}

TStyleList::TStyleList() = default;
TStyleList::~TStyleList() = default;

void TStyleList::Clear()
{
    entries_.clear();
    added_.clear();
    firstOfKey_.clear();
    compound_.clear();
    default_ = nullptr;
    seq_ = 10;
    HoverUsed = false;
    ++generation_;
}

const std::vector<TStyleList::Item>& TStyleList::Sorted() const
{
    if (added_.empty())
        return entries_;
    const auto byKey = [](const Item& a, const Item& b) { return a.Key < b.Key; };
    std::stable_sort(added_.begin(), added_.end(), byKey);
    bool compoundAdded = false;
    for (const Item& item : added_)
        if (item.Key.find(' ') != std::string::npos) {
            compound_.push_back(item.Key);
            compoundAdded = true;
        }
    if (compoundAdded)
        std::sort(compound_.begin(), compound_.end());
    const auto middle = static_cast<std::ptrdiff_t>(entries_.size());
    entries_.insert(entries_.end(), std::make_move_iterator(added_.begin()), std::make_move_iterator(added_.end()));
    added_.clear();
    std::inplace_merge(entries_.begin(), entries_.begin() + middle, entries_.end(), byKey);
    return entries_;
}

bool TStyleList::CompoundStartsWith(std::string_view prefix) const
{
    const auto it = std::lower_bound(compound_.begin(), compound_.end(), prefix,
                                     [](const std::string& k, std::string_view p) { return k < p; });
    return it != compound_.end() && StartsWith(*it, prefix);
}

bool TStyleList::ReadsAncestors(const std::string& tag, const std::string& cls, const std::string& pseudo) const
{
    Sorted();
    if (compound_.empty())
        return false;
    // The cascade tries the tag, each class (".name") and the pseudo-class (":name") as the
    // beginning of such a rule; any rule beginning with "." or ":" counts for every class.
    return CompoundStartsWith(tag) || (!cls.empty() && CompoundStartsWith(".")) ||
           (!pseudo.empty() && CompoundStartsWith(":"));
}

std::size_t TStyleList::LowerBound(const std::string& key) const
{
    const std::vector<Item>& sorted = Sorted();
    return static_cast<std::size_t>(
        std::lower_bound(sorted.begin(), sorted.end(), key, [](const Item& e, const std::string& k) { return e.Key < k; }) -
        sorted.begin());
}

TProperties* TStyleList::Find(const std::string& key) const
{
    const auto it = firstOfKey_.find(key);
    return it == firstOfKey_.end() ? nullptr : it->second;
}

TProperties* TStyleList::Add(const std::string& key, std::unique_ptr<TProperties> props)
{
    props->PropTag = key;  // the entry records its selector text
    TProperties* p = props.get();
    firstOfKey_.emplace(key, p);  // a key added again keeps its first entry
    ++generation_;
    added_.push_back(Item{key, std::move(props)});
    return p;
}

std::string TStyleList::NextSeqNumberText()
{
    return std::to_string(seq_++);
}

void TStyleList::SetPseudoLinkColor(const std::string& pseudoName, TColor color)
{
    if (TProperties* p = Find("::" + pseudoName))
        p->Props[Color] = color;
    ++generation_;
}

void TStyleList::SetSelectorProperty(const std::string& selector, const std::string& name, const std::string& value)
{
    if (PropertyIndex(name) < 0)
        return;
    if (Contains(selector, ":hover"))
        HoverUsed = true;
    TProperties* entry = Find(selector);
    std::unique_ptr<TProperties> fresh;
    if (!entry) {
        fresh = std::make_unique<TProperties>();
        entry = fresh.get();
    }
    if (PropertyIndex(name) == Color) {
        TColor c = 0;
        if (ParseColor(value, false, c)) {
            if (selector == ":link") {
                SetPseudoLinkColor("hover", c);
                SetPseudoLinkColor("visited", c);
            } else if (selector == ":visited") {
                SetPseudoLinkColor("hover", c);
            }
        }
    }
    StoreProperty(*entry, name, value, false);
    ++generation_;
    if (fresh)
        Add(selector, std::move(fresh));
    if (selector == "a")
        SetSelectorProperty("::link", name, value);
}

void TStyleList::BuildDefaultStyleSheet(const DefaultSheetOptions& o)
{
    Clear();
    const double d = o.FontSize;
    SetDefaultFontSize(d);
    auto add = [&](const std::string& key) -> TProperties& { return *Add(key, std::make_unique<TProperties>()); };

    TProperties& def = add("default");
    def.Props[FontFamily] = o.FontName;
    def.Props[FontSize] = d;
    def.Props[FontStyle] = "none";
    def.Props[FontWeight] = "normal";
    def.Props[TextAlign] = "left";
    def.Props[TextDecoration] = "none";
    def.Props[TextTransform] = 0;
    def.Props[WordWrap] = "normal";
    def.Props[FontVariant] = "normal";
    def.Props[Color] = o.FontColor;
    def.Props[MarginTop] = o.MarginTopBottom;
    def.Props[MarginBottom] = o.MarginTopBottom;
    def.Props[MarginLeft] = o.MarginLeftRight;
    def.Props[MarginRight] = o.MarginLeftRight;
    def.Props[Visibility] = 2;
    def.Props[LetterSpacing] = 0;
    def.DefFontname = o.FontName;
    def.AssignCharSet(o.Charset);
    default_ = &def;

    TProperties& link = add("::link");
    link.Props[Color] = o.LinkColor + kPaletteRelative;
    link.Props[TextDecoration] = o.UnderlineLinks ? "underline" : "none";
    add("::visited").Props[Color] = o.VisitedColor + kPaletteRelative;
    add("::hover").Props[Color] = o.HoverColor + kPaletteRelative;
    add("null");

    TProperties& pre = add("pre");
    pre.Props[FontFamily] = o.PreFontName;
    pre.Props[FontSize] = d * 10 / 12;
    pre.Props[FontStyle] = "none";
    pre.Props[FontWeight] = "normal";
    pre.Props[TextDecoration] = "none";

    TProperties& p = add("p");
    p.Props[MarginTop] = DefaultMarginLength;
    p.Props[MarginBottom] = DefaultMarginLength;
    add("p 11pre").Props[MarginTop] = 0;

    for (const char* key : {"ul", "ol", "menu", "dir"}) {
        TProperties& e = add(key);
        e.Props[PaddingLeft] = 35;
        e.Props[MarginTop] = DefaultMarginLength;
        e.Props[MarginBottom] = DefaultMarginLength;
        e.Props[ListStyleType] = "blank";
    }
    TProperties& dl = add("dl");
    dl.Props[PaddingLeft] = 0;
    dl.Props[MarginLeft] = 0;
    dl.Props[MarginTop] = 0;
    dl.Props[MarginBottom] = 0;
    dl.Props[ListStyleType] = "none";
    TProperties& dd = add("dd");
    dd.Props[PaddingLeft] = 35;
    dd.Props[MarginTop] = 0;
    dd.Props[MarginBottom] = 0;
    TProperties& bq = add("blockquote");
    bq.Props[PaddingLeft] = 35;
    bq.Props[MarginTop] = DefaultMarginLength;
    bq.Props[MarginBottom] = 14;
    for (const char* key : {"code", "tt", "kbd", "samp"}) {
        TProperties& e = add(key);
        e.Props[FontFamily] = o.PreFontName;
        e.Props[FontSize] = "0.833em";
    }
    for (const char* key : {"b", "strong", "th"})
        add(key).Props[FontWeight] = "bold";
    TProperties& sup = add("sup");
    sup.Props[FontSize] = "75%";
    sup.Props[VerticalAlign] = "super";
    TProperties& sub = add("sub");
    sub.Props[FontSize] = "75%";
    sub.Props[VerticalAlign] = "sub";
    add("big").Props[FontSize] = "1.25em";
    add("small").Props[FontSize] = "0.75em";
    add("table").Props[TextAlign] = "none";
    for (const char* key : {"i", "em", "cite", "var", "address"})
        add(key).Props[FontStyle] = "italic";
    add("u").Props[TextDecoration] = "underline";
    for (const char* key : {"s", "strike"})
        add(key).Props[TextDecoration] = "line-through";
    for (const char* key : {"center", "caption"})
        add(key).Props[TextAlign] = "center";
    for (const char* key : {"input", "select", "textarea"}) {
        TProperties& e = add(key);
        const bool pre = std::string(key) == "textarea" && !o.UnicodeDocument;
        e.Props[FontFamily] = pre ? o.PreFontName : std::string("Arial Unicode MS, Arial");
        e.Props[FontSize] = "10pt";
        e.Props[FontStyle] = "none";
        e.Props[FontWeight] = "normal";
        e.Props[TextAlign] = "left";
        e.Props[TextDecoration] = "none";
        e.Props[Color] = o.FontColor;
    }
    TProperties& hr = add("hr");
    hr.Props[MarginLeft] = 0;
    hr.Props[MarginRight] = 0;
    hr.Props[MarginTop] = 10;
    hr.Props[MarginBottom] = 10;
    const int factors[6] = {24, 18, 14, 12, 10, 8};
    for (int h = 0; h < 6; ++h) {
        TProperties& e = add("h" + std::to_string(h + 1));
        e.Props[FontSize] = factors[h] * d / 12;
        e.Props[MarginTop] = 19;
        e.Props[MarginBottom] = 19;
        e.Props[FontWeight] = "bold";
    }
}

void TStyleList::MergeKey(TProperties& props, const std::string& key)
{
    for (std::size_t i = LowerBound(key); i < entries_.size() && entries_[i].Key == key; ++i) {
        const TProperties& entry = *entries_[i].Props;
        for (int k = 0; k < PropCount; ++k) {
            const PropValue& v = entry.Props[k];
            if (v.IsEmpty())
                continue;
            if (k >= MarginTop && k <= piLeft && v.IsInt() && v.Int() == UnsetInteger)
                continue;
            // Every new set starts with z-index 0; a rule that does not name it leaves it alone.
            if (k == ZIndex && !entry.Originals[k])
                continue;
            props.Props[k] = v;
            props.Originals[k] = true;
            if (props.FIArray)
                MergeIntoFontInfo(*props.FIArray, k, v);
        }
    }
    props.DropFont();
}

void TStyleList::MergeCompound(TProperties& props, const std::string& prefix, const std::string& tag,
                               const std::vector<std::string>& classes, const std::string& id,
                               const std::string& pseudo, const std::vector<const TProperties*>& ancestors)
{
    for (std::size_t i = LowerBound(prefix); i < entries_.size() && StartsWith(entries_[i].Key, prefix); ++i) {
        const std::string& key = entries_[i].Key;
        if (key.find(' ') == std::string::npos)
            continue;
        std::vector<std::string> words;
        std::string w;
        for (char c : key + " ") {
            if (c == ' ') {
                if (!w.empty())
                    words.push_back(w);
                w.clear();
            } else {
                w += c;
            }
        }
        if (words.size() < 2 || words.size() > 10)
            continue;
        const SimpleSelector subject = ParseSimple(words[0]);
        const bool pseudoOk = subject.Pseudo.empty() ? (pseudo.empty() || pseudo == "link") : subject.Pseudo == pseudo;
        // An entry for another element is passed over; the scan goes on to the end of the prefix, since
        // the sort mixes such entries in ("a.extern td" lies between "a td" and "a:link td").
        if (!((subject.Tag.empty() || subject.Tag == tag) && AllIn(subject.Classes, classes) &&
              (subject.Id.empty() || subject.Id == id) && pseudoOk))
            continue;
        std::size_t first = words[1].find_first_not_of("0123456789");
        words[1] = first == std::string::npos ? std::string() : words[1].substr(first);
        std::size_t pos = 0;
        bool match = true;
        for (std::size_t k = 1; k < words.size() && match; ++k) {
            const SimpleSelector anc = ParseSimple(words[k]);
            if (anc.Child) {
                match = pos < ancestors.size() && AncestorMatches(anc, *ancestors[pos]);
                ++pos;
            } else {
                while (pos < ancestors.size() && !AncestorMatches(anc, *ancestors[pos]))
                    ++pos;
                match = pos < ancestors.size();
                ++pos;
            }
        }
        if (match)
            MergeKey(props, key);
    }
}

void TStyleList::ApplyStyles(TProperties& props, const std::string& tag, const std::string& cls,
                             const std::string& id, const std::string& pseudo, const std::string& title,
                             const TProperties* styleAttr)
{
    props.StyleList = this;
    const std::string& T = tag;
    const std::string& P = pseudo;
    const std::string& I = id;
    std::vector<std::string> single = SplitClasses(cls);
    std::vector<std::string_view> forms(single.begin(), single.end());  // each class alone, then the whole list
    if (single.size() > 1)
        forms.push_back(cls);
    const double parentSize = props.Props[FontSize].IsNumber() ? props.Props[FontSize].AsNumber() : DefaultFontSize();
    const bool hoverOrVisited = P == "hover" || P == "visited";

    // Keys are assembled in one buffer: this runs for every element.
    std::string key;
    auto merge = [&](std::initializer_list<std::string_view> parts) {
        key.clear();
        for (std::string_view part : parts)
            key += part;
        MergeKey(props, key);
    };
    // Simple keys in cascade order; IDs and pseudo-classes are written as the style-sheet parser
    // stores them (classes, then pseudo-class, then ID).
    if (T == "a" && !P.empty())
        merge({"::", P});
    if (!hoverOrVisited)
        merge({T});
    if (!P.empty())
        merge({":", P});
    if (!hoverOrVisited)
        for (const auto& c : forms) {
            merge({".", c});
            merge({T, ".", c});
        }
    if (!P.empty()) {
        merge({T, ":", P});
        for (const auto& c : forms)
            merge({".", c, ":", P});
        for (const auto& c : forms)
            merge({T, ".", c, ":", P});
    }
    if (!I.empty()) {
        merge({"#", I});
        merge({T, "#", I});
        for (const auto& c : forms)
            merge({".", c, "#", I});
        if (!P.empty()) {
            merge({":", P, "#", I});
            merge({T, ":", P, "#", I});
        }
        for (const auto& c : forms)
            merge({T, ".", c, "#", I});
        if (!P.empty())
            for (const auto& c : forms) {
                merge({".", c, ":", P, "#", I});
                merge({T, ".", c, ":", P, "#", I});
            }
    }

    // Compound selectors, tested against the ancestors on the property stack.
    if (ReadsAncestors(T, cls, P)) {
        std::vector<const TProperties*> ancestors;
        if (props.PropStack) {
            ancestors.reserve(static_cast<std::size_t>(std::max(0, props.PropStack->IndexOf(&props))));
            for (int k = props.PropStack->IndexOf(&props) - 1; k >= 0; --k)
                ancestors.push_back(props.PropStack->Items(k));
        }
        MergeCompound(props, T, T, single, I, P, ancestors);
        for (const auto& c : forms)
            MergeCompound(props, std::string(".").append(c), T, single, I, P, ancestors);
        if (!P.empty())
            MergeCompound(props, ":" + P, T, single, I, P, ancestors);
    }

    // The element's own STYLE attribute wins over every rule.
    if (styleAttr) {
        for (int k = 0; k < PropCount; ++k) {
            const PropValue& v = styleAttr->Props[k];
            if (v.IsEmpty() || (k >= MarginTop && k <= piLeft && v.IsInt() && v.Int() == UnsetInteger))
                continue;
            if (!styleAttr->Originals[k])
                continue;  // only what its declarations set
            props.Props[k] = v;
            props.Originals[k] = true;
            if (props.FIArray)
                MergeIntoFontInfo(*props.FIArray, k, v);
        }
    }
    if (props.Props[FontSize].IsText())
        props.Props[FontSize] = FontSizeToPoints(props.Props[FontSize].Text(), parentSize);

    props.PropTag = T;
    props.PropClass = cls;
    props.PropID = I;
    props.PropPseudo = P;
    if (!title.empty())
        props.PropTitle = title;
    props.DropFont();
    if (P == "link")
        BuildLinkFontInfo(props);
}

void TStyleList::BuildLinkFontInfo(TProperties& props)
{
    auto info = std::make_unique<TFontInfoArray>();
    info->Ar[0] = props.FontInfo();
    // The temporary sets go on top of the element; an element that is not the top of its stack (a
    // set re-derived after its neighbour closed) uses a stack of its own.
    TPropStack local;
    TPropStack& stack = props.PropStack && props.PropStack->Last() == &props ? *props.PropStack : local;
    auto state = [&](const TProperties& below, const std::string& pseudo) {
        TProperties* t = stack.Push();
        t->Inherit("a", &below);
        ApplyStyles(*t, "a", props.PropClass, props.PropID, pseudo, "", nullptr);
        return t;
    };
    const TProperties* visited = state(props, "visited");
    info->Ar[1] = const_cast<TProperties*>(visited)->FontInfo();
    info->Ar[3] = state(*visited, "hover")->FontInfo();
    stack.Pop();
    stack.Pop();
    info->Ar[2] = state(props, "hover")->FontInfo();
    stack.Pop();
    props.FIArray = std::move(info);
    props.LinkFont = true;
}

}  // namespace velmoran
